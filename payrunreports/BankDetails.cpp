#include "payrunreports/BankDetails.h"

#include "payrunreports/PeriodRep.h"

#include <variant>

namespace kelo::payrunreports {

BankDetails bankDetails(const REPORTREC& rec, std::string_view fieldName) {
    BankDetails details{rec.bankName, rec.branchName, rec.accountNum, 0};
    if (fieldName == "Net Pay") {
        details.amount = rec.netPay;
        return details;
    }
    const ReportItem* item = namedItem(rec, common::DEDUCTIONS, fieldName);
    if (!item)
        return details;
    details.amount = item->amount;
    const auto* loan = std::get_if<BankLoanFigures>(&item->figures);
    if (loan && item->definition->reportType == common::kTypeBankLoanPayment) {
        details.bankName = loan->bankName;
        details.branchName = loan->branchName;
        details.accountNum = loan->loanNumber;
    }
    return details;
}

} // namespace kelo::payrunreports
