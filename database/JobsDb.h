#pragma once

#include "database/LookupTable.h"

namespace kelo::database {

// A job: its title, the grade it is paid in and what it involves.
struct JOBREC {
    long code = 0;
    std::string title;
    long gradeCode = 0;
    std::string description;
};

// The jobs of an organisation (settings/jobs.dbf); the title is the name.
class JOBSDB : public LookupTable {
public:
    static constexpr const char* kPath = "settings/jobs.dbf";
    static constexpr const char* kTitle = "TITLE";
    static constexpr const char* kGrade = "GRADE";
    static constexpr const char* kDescription = "DESCR";
    static constexpr std::size_t kDescriptionWidth = 199;

    JOBSDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override;

    bool orderByTitle() const { return orderByName(); }

    // Fills `rec` from the job with this code; false (rec untouched) when
    // there is none.
    bool getJobRec(long code, JOBREC& rec);
    // Empty for an unknown code.
    std::string getJobTitle(long code) { return nameOf(code); }
    // 0 for an unknown title; titles compare without regard to case.
    long getJobCode(std::string_view title) { return codeOf(title); }
    // How many jobs are of this grade: the grade's members, which keep it
    // from being deleted.
    long getMemberCnt(long gradeCode);
    long getGradeCnt(long gradeCode) { return getMemberCnt(gradeCode); }

    // The current row; nothing read when the table stands on no row.
    JOBREC currentRec() const;
    // Appends a job under the next code, which is stored in `rec.code`.
    bool appendRecord(JOBREC& rec);
    // Stores everything but the code into the current row and writes it;
    // false, with the row unchanged, when another user holds it.
    bool updateRecord(const JOBREC& rec);

private:
    void assign(const JOBREC& rec) const;
};

} // namespace kelo::database
