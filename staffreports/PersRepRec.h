#pragma once

#include "common/ReportRecords.h"
#include "common/TaggedFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelo::staffreports {

// Which personnel report file: the active employees, rewritten whenever it
// is older than its sources, or the former employees, which grows at every
// month end by the employees whose termination has just gone through.
enum DB : std::int32_t { DB_ACTIVE = 6, DB_LEAVERS = 7 };

inline constexpr const char* kActiveFileName = "active.dbf";
inline constexpr const char* kLeaversFileName = "leavers.dbf";

// One employee of a personnel report file, his codes already turned into
// names. `depth` lives in memory only: his place in the supervisor tree.
struct PERSREPREC {
    int seqNum = 0;
    std::string empNum, lastName, otherNames, idNum, title, gender, maritalStatus, nationality;
    common::date birthDate;
    std::string jobTitle, gradeName;
    int terms = 0;
    std::string unitPath, stationName;
    common::date startDate;
    int terminated = 0;
    common::date dateLeft;
    std::string reasonLeft, remarks;
    std::string supervisorNum, supervisorName;
    float leaveEntitlement = 0;
    std::string officeName, officePhone, email, homePhone, mobile, poBox, town, postCode;
    std::array<std::string, 4> resAddress;
    int payFreq = 0;
    int payMethod = 0;
    std::string payGroupName, bankName, branchName, accountNum;
    int payBasis = 0;
    double payRate = 0;
    float hoursPerDay = 0, hoursPerMonth = 0;
    int timeBasis = 0;
    int overtimeEligible = 0;
    double normalOvertimeRate = 0, doubleOvertimeRate = 0;
    int housed = 0;
    double housingValue = 0, housingExpense = 0, rent = 0;
    int payeApplies = 0, useTopTaxRate = 0, nssfMember = 0;
    std::string tin, nssfNum;
    std::array<std::string, 2> coopName, coopMemberNum, pensionName, pensionMemberNum;

    int depth = 0;

    friend bool operator==(const PERSREPREC&, const PERSREPREC&) = default;
};

// "2025/active.dbf", relative to the organisation folder; empty for another DB.
std::string personnelFilePath(DB db, int year);
// "Active Employees" or "Former Employees".
const char* fileKindOf(DB db);

// The file's opening: its comment line, "[orgFolder/path]", an empty
// comment and the identity group.
bool writePreamble(common::TaggedWriter& w, DB db, std::string_view orgFolder,
                   std::string_view path);
// The organisation's year and name.
bool writeHeader(common::TaggedWriter& w, int year, std::string_view orgName);
// One `item` group; `seqNum` is written as the record's place in the file.
bool writeRecord(common::TaggedWriter& w, const PERSREPREC& rec, int seqNum);

// From just after the identity group.
bool readHeader(common::TaggedReader& r, int& year, std::string& orgName);
// The next `item`; false at the end of the records block or for a damaged
// record (`damaged` tells which).
bool readRecord(common::TaggedReader& r, PERSREPREC& rec, bool& damaged);

// "%s, %s" of last and other names.
std::string fullName(const PERSREPREC& rec);

} // namespace kelo::staffreports
