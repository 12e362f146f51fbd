#include "setup/ReportOptions.h"

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "common/Text.h"

#include <algorithm>
#include <array>

namespace kelo::setup {

namespace {

using namespace common;

constexpr std::array<REPORTCHOICE, 29> kFullList{{
    {kReportEmployees, "Employees Roll"},
    {kReportLeavers, "Leavers Roll"},
    {kReportLengthOfService, "Length of Service"},
    {kReportEmployeeMaster, "Employee Master"},
    {kReportLeaverMaster, "Leavers Master"},
    {kReportAbsenceAnalysis, "Absence Analysis"},
    {kReportAnnualLeaveAnalysis, "Leave Analysis"},
    {kReportAbsenceLeaveDetails, "Leave Details"},
    {kReportLeaveBooked, "Leave Booked"},
    {kReportPayrollSummary, "Payroll Summary"},
    {kReportControlAccount, "Control Account"},
    {kReportMusterRoll, "Muster Roll"},
    {kReportPayslips, "Payslips"},
    {kReportDeductions, "Deductions"},
    {kReportEarnings, "Earnings"},
    {kReportBenefits, "Benefits"},
    {kReportLumpSums, "Lump Sums"},
    {kReportRefunds, "Refunds"},
    {kReportBasicPay, "Basic Pay"},
    {kReportHourlyPay, "Hourly Pay"},
    {kReportCompanyLoan, "Company Loan"},
    {kReportCoopLoan, "Co-operative Loan"},
    {kReportSavingsPlan, "Savings Plan"},
    {kReportLumpSumTax, "Tax on Lump Sums"},
    {kReportCashList, "Cash List"},
    {kReportChequeList, "Cheque List"},
    {kReportLowInterestBenefit, "Low Interest Benefit"},
    {kReportItx215, "ITX215"},
    {kReportEmployeePaySummary, "Employee Pay Summary"},
}};

constexpr std::array<REPORTCHOICE, 7> kPersonnelList{{
    kFullList[0],
    kFullList[1],
    kFullList[2],
    kFullList[5],
    kFullList[6],
    kFullList[7],
    kFullList[8],
}};

// The two rolls, then every pay-run and year-to-date report.
constexpr std::array<REPORTCHOICE, 22> kPayrollList = [] {
    std::array<REPORTCHOICE, 22> list{};
    list[0] = kFullList[0];
    list[1] = kFullList[1];
    for (std::size_t i = 2; i < list.size(); ++i)
        list[i] = kFullList[i + 7];
    return list;
}();

} // namespace

std::span<const REPORTCHOICE> reportChoices(std::int32_t menuType) {
    switch (menuType) {
    case kFullMenu:
        return kFullList;
    case kPersonnelMenu:
        return kPersonnelList;
    case kPayrollMenu:
        return kPayrollList;
    default:
        return {};
    }
}

std::int32_t findReportChoice(std::int32_t menuType, std::string_view name) {
    for (const REPORTCHOICE& report : reportChoices(menuType)) {
        if (equalsIgnoreCase(report.name, name))
            return report.id;
    }
    return 0;
}

bool hasSortKey(std::int32_t id) {
    return std::ranges::any_of(kFullList, [id](const REPORTCHOICE& r) { return r.id == id; });
}

} // namespace kelo::setup
