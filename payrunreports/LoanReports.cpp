#include "payrunreports/LoanReports.h"

namespace kelo::payrunreports {

namespace {

using Kind = FieldColumn::Kind;

FieldPage landscapeList() {
    return {common::Orientation::Landscape, 10, 3, 23, arialFonts()};
}

template <class Figures> Figures figuresOf(const REPORTREC& rec, const std::string& fieldName) {
    const ReportItem* item = namedItem(rec, common::DEDUCTIONS, fieldName);
    const auto* figures = item ? std::get_if<Figures>(&item->figures) : nullptr;
    return figures ? *figures : Figures{};
}

double amountOf(const REPORTREC& rec, const std::string& fieldName) {
    const ReportItem* item = namedItem(rec, common::DEDUCTIONS, fieldName);
    return item ? item->amount : 0;
}

} // namespace

std::string loanMemberNumber(const REPORTREC& rec, const ReportItem& loan) {
    if (!loan.definition || loan.definition->reportType != kCoopLoanReport)
        return {};
    return memberNumber(rec.coopName, rec.coopMemberNum, loan.definition->groupName);
}

LOANREP::LOANREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::REPORTPARAM& param)
    : SingleFieldReport(ui, code, folder, param, landscapeList()) {}

std::vector<FieldColumn> LOANREP::fieldColumns() const {
    return {{"Employee\nNumber", 28},
            {"Name", 49},
            {"Membership\nNumber", 24},
            {"Opening\nBalance", 20, Kind::Amount},
            {"Interest", 20, Kind::Amount},
            // The payment's three columns share "Payment:" above the middle one.
            {"\nInterest", 20, Kind::Amount},
            {"Payment:\nPrincipal", 20, Kind::Amount},
            {"\nTotal", 20, Kind::Amount},
            {"Closing\nBalance", 20, Kind::Amount}};
}

std::vector<std::string> LOANREP::titles() const {
    return {param().fieldName + " - " + periodAndGroup()};
}

common::ReportRow LOANREP::recordRow(const REPORTREC& rec, int number) const {
    const ReportItem* item = namedItem(rec, common::DEDUCTIONS, param().fieldName);
    const LoanFigures loan = figuresOf<LoanFigures>(rec, param().fieldName);
    return FieldRow(number)
        .text(rec.empNum)
        .text(rec.name)
        .text(item ? loanMemberNumber(rec, *item) : std::string())
        .amount(loan.openingBalance)
        .amount(loan.interest)
        .amount(loan.interestPaid)
        .amount(loan.principalPaid)
        .amount(item ? item->amount : 0)
        .amount(loan.closingBalance)
        .done();
}

SAVINGSREP::SAVINGSREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       const common::REPORTPARAM& param)
    : SingleFieldReport(ui, code, folder, param, landscapeList()) {}

std::vector<FieldColumn> SAVINGSREP::fieldColumns() const {
    return {{"Employee\nNumber", 28},
            {"Name", 49},
            {"Opening\nBalance", 23, Kind::Amount},
            {"Interest\nEarned", 23, Kind::Amount},
            {"Amount\nDeposited", 23, Kind::Amount},
            {"Closing\nBalance", 23, Kind::Amount}};
}

std::vector<std::string> SAVINGSREP::titles() const {
    return {param().fieldName + " - " + periodAndGroup()};
}

common::ReportRow SAVINGSREP::recordRow(const REPORTREC& rec, int number) const {
    const SavingsFigures savings = figuresOf<SavingsFigures>(rec, param().fieldName);
    return FieldRow(number)
        .text(rec.empNum)
        .text(rec.name)
        .amount(savings.openingBalance)
        .amount(savings.interest)
        .amount(amountOf(rec, param().fieldName))
        .amount(savings.closingBalance)
        .done();
}

LOWINTRREP::LOWINTRREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       const common::REPORTPARAM& param)
    : SingleFieldReport(ui, code, folder, param, landscapeList()) {}

std::vector<FieldColumn> LOWINTRREP::fieldColumns() const {
    return {{"Employee Number", 29},
            {"Name", 51},
            {"Opening Balance", 25, Kind::Amount},
            {"Statutory Interest Rate (%)", 25, Kind::Number},
            {"Employer's Interest Rate (%)", 27, Kind::Number},
            {"Low Interest Benefit", 23, Kind::Amount}};
}

std::vector<std::string> LOWINTRREP::titles() const {
    return {"Low Interest Benefit for " + param().fieldName + " - " + periodAndGroup()};
}

common::ReportRow LOWINTRREP::recordRow(const REPORTREC& rec, int number) const {
    const LoanFigures loan = figuresOf<LoanFigures>(rec, param().fieldName);
    return FieldRow(number)
        .text(rec.empNum)
        .text(rec.name)
        .amount(loan.openingBalance)
        .decimal(loan.statutoryRate)
        .decimal(loan.interestRate)
        .amount(loan.lowInterestBenefit)
        .done();
}

} // namespace kelo::payrunreports
