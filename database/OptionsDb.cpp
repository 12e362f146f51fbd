#include "database/OptionsDb.h"

#include "common/ReportRecords.h"
#include "common/Text.h"
#include "database/TableSupport.h"

#include <array>
#include <vector>

namespace kelo::database {

namespace {

constexpr unsigned kReportWidth = 5;
constexpr unsigned kValueWidth = 10;

// Every report of the Report Options list has a sort key.
constexpr std::array<std::int32_t, 29> kSortedReports = {
    // In the order the list shows them.
    common::kReportEmployees,
    common::kReportLeavers,
    common::kReportLengthOfService,
    common::kReportEmployeeMaster,
    common::kReportLeaverMaster,
    common::kReportAbsenceAnalysis,
    common::kReportAnnualLeaveAnalysis,
    common::kReportAbsenceLeaveDetails,
    common::kReportLeaveBooked,
    common::kReportPayrollSummary,
    common::kReportControlAccount,
    common::kReportMusterRoll,
    common::kReportPayslips,
    common::kReportDeductions,
    common::kReportEarnings,
    common::kReportBenefits,
    common::kReportLumpSums,
    common::kReportRefunds,
    common::kReportBasicPay,
    common::kReportHourlyPay,
    common::kReportCompanyLoan,
    common::kReportCoopLoan,
    common::kReportSavingsPlan,
    common::kReportLumpSumTax,
    common::kReportCashList,
    common::kReportChequeList,
    common::kReportLowInterestBenefit,
    common::kReportItx215,
    common::kReportEmployeePaySummary};

// Reports start in employee-number order, the personnel table's own. The
// payslip shows the balances employees ask about and is signed for on
// receipt; breakdowns and groupings are off; pay is taxed period by period
// until averaging is chosen.
constexpr std::array<OptionValue, 10> kOtherDefaults{{
    {common::kReportPayslips, kOptionSeparator, 1},
    {common::kReportPayslips, kOptionDuplicate, 0},
    {common::kReportPayslips, kOptionEmployerPension, 0},
    {common::kReportPayslips, kOptionPensionBalance, 1},
    {common::kReportPayslips, kOptionLoanBreakdown, 1},
    {common::kReportPayslips, kOptionLeaveBalance, 1},
    {common::kReportPayslips, kOptionFooter, 2},
    {common::kReportControlAccount, kOptionBreakdown, 0},
    {common::kReportMusterRoll, kOptionGrouping, 0},
    {kPayrollOptionsId, kOptionAverage, 0},
}};

std::vector<OptionValue> makeDefaults() {
    std::vector<OptionValue> all;
    for (std::int32_t id : kSortedReports)
        all.push_back({id, kOptionSortKey, 0});
    all.insert(all.end(), kOtherDefaults.begin(), kOtherDefaults.end());
    return all;
}

std::string optionKey(std::int32_t id, std::string_view key) {
    const std::string text = upperKey(key, OPTIONSDB::kOptionWidth);
    return text.empty() ? std::string() : numberKey(id, static_cast<int>(kReportWidth)) + text;
}

} // namespace

std::span<const OptionValue> OPTIONSDB::defaults() {
    static const std::vector<OptionValue> all = makeDefaults();
    return all;
}

OPTIONSDB::OPTIONSDB(engine::Code4& code, const common::WorkingFolder& folder)
    : DbTable(code, folder, kPath) {}

Schema OPTIONSDB::schema() const {
    return {
        {{kReport, 'N', kReportWidth, 0},
         {kOption, 'C', static_cast<unsigned>(kOptionWidth), 0},
         {kValue, 'N', kValueWidth, 0}},
        {tagInfo(kOptionTag, "STR(REPORT," + std::to_string(kReportWidth) + ")+UPPER(OPTION)")}};
}

bool OPTIONSDB::checkFile() const {
    return isValid(code(), folder(), kPath);
}

bool OPTIONSDB::createFile(common::Ui& ui) {
    if (!DbTable::createFile(ui))
        return false;
    bool filled = openFile(true);
    for (const OptionValue& option : defaults()) {
        if (!filled)
            break;
        filled = setValue(option.id, option.key, option.value);
    }
    closeFile();
    if (!filled) {
        code().setErrorCode(0);
        ui.error("Can't create " + relativePath());
    }
    return filled;
}

bool OPTIONSDB::seekOption(std::int32_t id, std::string_view key) {
    order(kOptionTag);
    return seekExact(*data(), optionKey(id, key));
}

int OPTIONSDB::getValue(std::int32_t id, std::string_view key) {
    if (!data())
        return 0;
    TablePlace place(data());
    return seekOption(id, key) ? field(kValue).getInt() : 0;
}

bool OPTIONSDB::setValue(std::int32_t id, std::string_view key, int value) {
    if (!data() || optionKey(id, key).empty())
        return false;
    TablePlace place(data());
    if (seekOption(id, key)) {
        field(kValue).assignInt(value);
        return writeOrRevert(*data());
    }
    if (data()->appendStart() != engine::r4success)
        return false;
    data()->blank();
    field(kReport).assignInt(id);
    field(kOption).assign(common::trimRight(key));
    field(kValue).assignInt(value);
    return appendNow(*data());
}

} // namespace kelo::database
