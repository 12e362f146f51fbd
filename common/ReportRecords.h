#pragma once

#include "common/OrgRecords.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelo::common {

// A calendar date passed by value. Members keep the stored order (year, day,
// month); comparisons order by year, month, then day.
struct date {
    std::int32_t year = 0;
    std::uint8_t day = 0; // 0 when only a month is meant
    std::uint8_t month = 0;

    // From the local clock.
    static date today();

    friend constexpr bool operator==(const date&, const date&) = default;
    friend constexpr std::strong_ordering operator<=>(const date& a, const date& b) {
        if (a.year != b.year)
            return a.year <=> b.year;
        if (a.month != b.month)
            return a.month <=> b.month;
        return a.day <=> b.day;
    }
};

// Report identifiers (REPORTPARAM::reportType).
inline constexpr std::int32_t kReportEmployees = 11;
inline constexpr std::int32_t kReportLeavers = 12;
inline constexpr std::int32_t kReportLengthOfService = 13;
inline constexpr std::int32_t kReportEmployeeMaster = 14;
inline constexpr std::int32_t kReportLeaverMaster = 15;
inline constexpr std::int32_t kReportHierarchy = 16;
inline constexpr std::int32_t kReportPosts = 21;
inline constexpr std::int32_t kReportAbsenceAnalysis = 22;
inline constexpr std::int32_t kReportAnnualLeaveAnalysis = 23;
inline constexpr std::int32_t kReportAbsenceLeaveDetails = 24;
inline constexpr std::int32_t kReportLeaveBooked = 25;
inline constexpr std::int32_t kReportPayrollSummary = 31;
inline constexpr std::int32_t kReportMusterRoll = 32;     // the dialog makes it 204, 205 or 206
inline constexpr std::int32_t kReportControlAccount = 33; // the dialog makes it 201, 202 or 203
inline constexpr std::int32_t kReportPayslips = 34;
inline constexpr std::int32_t kReportBasicPay = 37;
inline constexpr std::int32_t kReportDeductions = 41;
inline constexpr std::int32_t kReportEarnings = 42;
inline constexpr std::int32_t kReportBenefits = 43;
inline constexpr std::int32_t kReportLumpSums = 44;
inline constexpr std::int32_t kReportRefunds = 45;
inline constexpr std::int32_t kReportHourlyPay = 51; // overtime and hourly payments
inline constexpr std::int32_t kReportCompanyLoan = 52;
inline constexpr std::int32_t kReportCoopLoan = 53;
inline constexpr std::int32_t kReportSavingsPlan = 54;
inline constexpr std::int32_t kReportCoop = 55;
inline constexpr std::int32_t kReportPensionFund = 56;
inline constexpr std::int32_t kReportLumpSumTax = 57;
inline constexpr std::int32_t kReportCashList = 61;
inline constexpr std::int32_t kReportCoinage = 62;
inline constexpr std::int32_t kReportChequeList = 63;
inline constexpr std::int32_t kReportBankTransfer = 64;
inline constexpr std::int32_t kReportPayeReturn = 71;
inline constexpr std::int32_t kReportNssfReturn = 72;
inline constexpr std::int32_t kReportSdlReturn = 73;
inline constexpr std::int32_t kReportLowInterestBenefit = 76;
inline constexpr std::int32_t kReportP9 = 80;
inline constexpr std::int32_t kReportP10 = 81;
inline constexpr std::int32_t kReportItx215 = 82;
inline constexpr std::int32_t kReportEmployeePaySummary = 85;
inline constexpr std::int32_t kReportStandardCharteredFile = 91;
inline constexpr std::int32_t kReportBarclaysFile = 92;
inline constexpr std::int32_t kReportCitibankFile = 93;
inline constexpr std::int32_t kReportStanbicFile = 94;
inline constexpr std::int32_t kReportPeriodControlAccount = 201;
inline constexpr std::int32_t kReportMonthControlAccount = 202;
inline constexpr std::int32_t kReportYearControlAccount = 203;
inline constexpr std::int32_t kReportPeriodMusterRoll = 204;
inline constexpr std::int32_t kReportMonthMusterRoll = 205;
inline constexpr std::int32_t kReportYearMusterRoll = 206;

// REPORTPARAM::groupBy: which employees a report selects.
inline constexpr std::int32_t kGroupByNone = 0;
inline constexpr std::int32_t kGroupByUnit = 1;
inline constexpr std::int32_t kGroupByStation = 2;
inline constexpr std::int32_t kGroupByPayGroup = 3;
inline constexpr std::int32_t kGroupByBank = 4;
inline constexpr std::int32_t kGroupByCoop = 5;
inline constexpr std::int32_t kGroupByPensionFund = 6;

inline constexpr std::string_view kAllUnitsTitle = "All Units";

// Most characters each text field of REPORTPARAM holds.
struct ReportWidths {
    static constexpr std::size_t kGroupNameWidth = 24;
    static constexpr std::size_t kGroupTitleWidth = 99;
    static constexpr std::size_t kFieldNameWidth = 49;
};

// What a parameter dialog hands to a report. The lookup tables the dialogs
// fill their lists from belong to the main program, not to this record.
// Members start at the defaults that do not depend on the organisation.
struct REPORTPARAM {
    std::int32_t reportType = 0;
    PAYFREQ payFreq = MONTHLY;
    bool choice = false;              // two-way choice of some personnel reports
    std::int32_t isCurrentPeriod = 1; // 0 for a closed period
    std::int32_t groupBy = kGroupByNone;
    date period;      // day 0: the period is named by its month
    date processDate; // bank transfer files: the value date, never before today
    std::int32_t fromMonth = 1;
    std::int32_t toMonth = 12;
    std::string groupName;
    std::string groupTitle{kAllUnitsTitle};
    std::string fieldName; // the pay field of a single-field report
};

// The parameters a report command starts with: the organisation's current
// pay frequency and month, processed today.
REPORTPARAM newReportParam(std::int32_t reportType, const ORGREC& org);
REPORTPARAM newReportParam(std::int32_t reportType, const ORGREC& org, date today);

// "All Units", "%s Unit", "%s Station", "%s Pay Group", "%s" (bank),
// "%s Co-operative" or "%s Pension Fund"; "All Units" for an unknown groupBy.
std::string groupTitle(std::int32_t groupBy, std::string_view groupName);

// Stores a selection of employees with its title, as the selection page does.
// No selection (0, or a kind that does not exist) always comes with an empty
// name and "All Units"; name and title are cut to the widths above.
void setGroup(REPORTPARAM& param, std::int32_t groupBy, std::string_view groupName);

// PRINTERREC::pageRange
inline constexpr std::int32_t kPrintAllPages = 0;
inline constexpr std::int32_t kPrintCurrentPage = 1;
inline constexpr std::int32_t kPrintPageSpan = 2; // fromPage to toPage

// How a report prints; the drawing device travels separately with the canvas.
struct PRINTERREC {
    std::int32_t preview = 0; // nonzero: draw one page into the preview window
    std::int32_t pageRange = kPrintAllPages;
    std::uint32_t fromPage = 1; // 1-based
    std::uint32_t toPage = 1;
    std::int32_t copies = 1; // each copy prints the whole selection again
};

} // namespace kelo::common
