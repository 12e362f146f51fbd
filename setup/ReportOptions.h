#pragma once

#include "database/OptionsDb.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace kelo::setup {

// A report whose options the Report Options list offers.
struct REPORTCHOICE {
    std::int32_t id = 0; // report identifier, the id its options are kept under
    const char* name = "";
};

// The reports a user of `menuType` (common::kFullMenu, kPersonnelMenu,
// kPayrollMenu) may set options for, in list order: 29, 7 and 22 of them;
// none for any other menu type.
std::span<const REPORTCHOICE> reportChoices(std::int32_t menuType);
// The id of the report named `name` (compared without regard to case) among
// those of `menuType`; 0 when the user has no such report.
std::int32_t findReportChoice(std::int32_t menuType, std::string_view name);
// The report is in the full list, so it has a "Sort Key".
bool hasSortKey(std::int32_t id);

// "Sort Key": the order of the report's employees.
inline constexpr int kSortByNumber = 0;
inline constexpr int kSortByName = 1;
// "Footer": who signs the payslip.
inline constexpr int kNotSigned = 0;
inline constexpr int kSignedByEmployer = 1;
inline constexpr int kSignedByEmployee = 2;
inline constexpr int kSignedByBoth = 3;
// "Breakdown" of the control account and "Grouping" of the muster roll.
inline constexpr int kGroupNone = 0;
inline constexpr int kGroupByUnit = 1;
inline constexpr int kGroupByStation = 2;
// What a form gives for a choice none of whose buttons is ticked. A stored
// value that is none of a choice's values ticks none, so that saving asks
// for a choice instead of writing one the user never saw.
inline constexpr int kNoChoice = -1;

// The options of "Payslip Options", all kept under report 34. Members start
// at the values a new options table holds.
struct PSOPTIONS {
    int sortKey = kSortByNumber;
    bool separator = true;        // "Separator"
    bool duplicate = false;       // "Duplicate"
    bool employerPension = false; // "Employer Pension"
    bool pensionBalance = true;   // "Pension Balance"
    bool loanBreakdown = true;    // "Loan Breakdown"
    bool leaveBalance = true;     // "Leave Balance"
    int footer = kSignedByEmployee;
};

// "Control Account Options": the "Breakdown" of report 33.
struct CAOPTIONS {
    int breakdown = kGroupNone;
};

// "Muster Roll Options": the "Sort Key" and "Grouping" of report 32.
struct MROPTIONS {
    int sortKey = kSortByNumber;
    int grouping = kGroupNone;
};

// "Cash List Options": the "Sort Key" and "Denominations" of report 61, the
// notes and coins the cash list and the coinage summary pay out in as bits
// (database/OptionsDb.h).
struct CLOPTIONS {
    int sortKey = kSortByNumber;
    int denominations = database::kAllDenominations;
};

} // namespace kelo::setup
