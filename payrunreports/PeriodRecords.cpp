#include "payrunreports/PeriodRecords.h"

namespace kelo::payrunreports {

std::string reportTypeOf(std::string_view itemType) {
    if (itemType == common::kTypeCompanyLoanPayment)
        return std::string(kCompanyLoanReport);
    if (itemType == common::kTypeCoopLoanPayment)
        return std::string(kCoopLoanReport);
    if (itemType == common::kTypeSavingsPlanDeposit)
        return std::string(kSavingsPlanReport);
    return std::string(itemType);
}

bool namesGroup(std::string_view reportType) {
    return reportType == common::kTypeCoopContribution || reportType == kCoopLoanReport ||
           reportType == common::kTypeCoopBenevolentFund ||
           reportType == common::kTypePensionContribution;
}

ItemFigures figuresFor(common::FIELDSTABLE table, std::string_view reportType) {
    if (table == common::EARNINGS)
        return reportType == common::kTypeHourlyPay ? ItemFigures(HourlyFigures{}) : ItemFigures();
    if (table != common::DEDUCTIONS)
        return {};
    if (reportType == common::kTypeCoopContribution)
        return CoopFigures{};
    if (reportType == common::kTypePensionContribution)
        return PensionFigures{};
    if (reportType == kCompanyLoanReport || reportType == kCoopLoanReport)
        return LoanFigures{};
    if (reportType == common::kTypeBankLoanPayment)
        return BankLoanFigures{};
    if (reportType == kSavingsPlanReport)
        return SavingsFigures{};
    if (reportType == common::kTypeCostRecovery)
        return CostRecoveryFigures{};
    return {};
}

std::size_t builtInCount(common::FIELDSTABLE table) {
    return table == common::EARNINGS ? 2 : table == common::DEDUCTIONS ? 1 : 0;
}

} // namespace kelo::payrunreports
