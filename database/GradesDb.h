#pragma once

#include "common/OrgRecords.h"
#include "database/LookupTable.h"

#include <array>

namespace kelo::database {

// A job grade: its rank (1 is the most senior) and, for each pay frequency,
// the lowest and highest salary of the grade in whole shillings.
struct GRADEREC {
    long code = 0;
    std::string name;
    int rank = 1;
    std::array<double, common::kPayFreqCount> lowerLimit{}; // by PAYFREQ
    std::array<double, common::kPayFreqCount> upperLimit{};
};

// The job grades (settings/grades.dbf).
class GRADESDB : public LookupTable {
public:
    static constexpr const char* kPath = "settings/grades.dbf";
    static constexpr const char* kName = "NAME";
    static constexpr const char* kRank = "RANK";
    // LOWER1..LOWER4 and UPPER1..UPPER4, by pay frequency.
    static std::string lowerColumn(common::PAYFREQ payFreq);
    static std::string upperColumn(common::PAYFREQ payFreq);

    GRADESDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override;

    // Fills `rec` from the grade with this code; false (rec untouched) when
    // there is none.
    bool getGradeRec(long code, GRADEREC& rec);
    // Empty for an unknown code.
    std::string getGradeName(long code) { return nameOf(code); }
    // 0 for an unknown name; names compare without regard to case.
    long getGradeCode(std::string_view name) { return codeOf(name); }
    // How many grades the table holds.
    long getGradeCnt();

    // The current row; nothing read when the table stands on no row.
    GRADEREC currentRec() const;
    // Appends a grade under the next code, which is stored in `rec.code`.
    bool appendRecord(GRADEREC& rec);
    // Stores everything but the code into the current row and writes it;
    // false, with the row unchanged, when another user holds it.
    bool updateRecord(const GRADEREC& rec);

private:
    void assign(const GRADEREC& rec) const;
};

} // namespace kelo::database
