#pragma once

#include "database/DbTable.h"

#include <array>
#include <cstddef>
#include <vector>

namespace kelo::database {

// The posts of one job in one administrative unit, by terms of employment.
struct POSTREC {
    enum Terms : std::size_t { Permanent = 0, Contract = 1, Temporary = 2, Casual = 3 };
    static constexpr std::size_t kTermsCount = 4;

    long unit = 0;
    long job = 0;
    std::array<int, kTermsCount> count{}; // by Terms
    long total() const { return long{count[0]} + count[1] + count[2] + count[3]; }
    friend bool operator==(const POSTREC&, const POSTREC&) = default;
};

// The posts of an organisation (settings/posts.dbf): one row per unit and
// job; a row whose counts are all 0 is not kept.
class POSTSDB : public DbTable {
public:
    static constexpr const char* kPath = "settings/posts.dbf";
    static constexpr const char* kUnit = "UNIT";
    static constexpr const char* kJob = "JOB";
    // Count columns by POSTREC::Terms.
    static constexpr std::array<const char*, POSTREC::kTermsCount> kCounts{"PERMANENT", "CONTRACT",
                                                                           "TEMPORARY", "CASUAL"};
    static constexpr const char* kUnitJobTag = "UNITJOB";

    // What getMemberCnt counts the rows of.
    enum MemberKind { ByUnit = 1, ByJob = 2 };

    POSTSDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override;

    // Orders by unit, then job; false when the table is not open.
    bool orderByUnit() const { return order(kUnitJobTag); }

    // How many posts rows the unit (ByUnit) or the job (ByJob) with this
    // code has: anything but 0 keeps it from being deleted.
    long getMemberCnt(int kind, long code);

    // Moves to the row of this unit and job; false, at end of file, when
    // there is none.
    bool gotoPost(long unit, long job);
    // Fills `rec` from the row of this unit and job; false when none.
    bool getPostRec(long unit, long job, POSTREC& rec);
    // The rows of one unit, by job code.
    std::vector<POSTREC> unitPosts(long unit);
    // Every row, by unit, then job.
    std::vector<POSTREC> allPosts();

    POSTREC currentRec() const;
    bool appendRecord(const POSTREC& rec);
    // Stores the four counts into the current row and writes it; false, with
    // the row unchanged, when another user holds it.
    bool updateRecord(const POSTREC& rec);

private:
    static std::string unitJobKey(long unit, long job);
    void assignCounts(const POSTREC& rec) const;
    std::vector<POSTREC> rowsFrom(std::string_view keyPrefix);
};

} // namespace kelo::database
