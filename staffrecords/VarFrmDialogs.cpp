// The parameters dialogs of the payroll transactions form, and the same
// changes made without a window. Each dialog's values pass one check, which
// the windowless operations run as well.
#include "common/Money.h"
#include "common/Text.h"
#include "engine/Data4.h"
#include "engine/EngineCodes.h"
#include "staffrecords/PeriodUpdate.h"
#include "staffrecords/VarFrm.h"
#include "staffrecords/VarFrmControls.h"

#include <algorithm>
#include <variant>

namespace kelo::staffrecords {

namespace tw = timeworkeddlg;
namespace od = overtimedlg;
namespace hd = hourlypaydlg;
namespace bd = balancedlg;
namespace pd = pensiondlg;
namespace ld = loandlg;
namespace bl = bankloandlg;
namespace sd = savingsdlg;
using common::DialogView;
using common::PayItem;

namespace {

constexpr double kMostHours = 999;

std::string money(double amount) {
    return common::withThousands(amount, 0);
}

// Hours and rates.
std::string twoPlaces(double value) {
    return common::withThousands(value, 2);
}

// A keyed number; text that is no number reads as -1, which every check
// refuses.
double numberIn(const DialogView& dlg, const char* control) {
    double value = 0;
    return common::parseAmount(dlg.text(control), value) ? value : -1;
}

std::string invalidValue(std::string_view field) {
    return "The value entered for the \"" + std::string(field) + "\" field is invalid.";
}

template <class T> void update(bool& changed, T& field, const T& value) {
    if (field != value) {
        field = value;
        changed = true;
    }
}

template <class P> P* paramsOf(PayItem* item) {
    return item ? std::get_if<P>(&item->params) : nullptr;
}

bool usesPayments(const common::PayItemDef& def) {
    const common::ItemFunction function = common::itemFunctionOf(def);
    return function == common::ItemFunction::Amortise ||
           function == common::ItemFunction::ReducingBalance;
}

// A pension fund without a percentage rule leaves its contribution keyed.
const common::EmployerContribution* keyedRule(const common::PayItemDef& def, bool& keyed) {
    const common::EmployerContribution* rule =
        def.link && def.link->employer ? &*def.link->employer : nullptr;
    keyed = !rule || !common::isPercentFunction(rule->function);
    return rule;
}

std::string selectedText(const DialogView& dlg, const char* control) {
    const int row = dlg.selectedRow(control);
    return row < 0 ? std::string() : dlg.itemText(control, row);
}

void fillNames(DialogView& dlg, const char* control, const std::vector<std::string>& names,
               const std::string& current) {
    dlg.clearItems(control);
    for (const std::string& name : names)
        dlg.addItem(control, name);
    dlg.selectRow(control, dlg.findItem(control, current));
}

} // namespace

bool VARFRM::accept(DialogView& dlg, const Refusal& fault) {
    if (fault) {
        ui_.information(fault->message);
        if (fault->control)
            dlg.setFocus(fault->control);
        return false;
    }
    recompute();
    displayPage(false);
    return true;
}

// "Time Worked".
std::string VARFRM::timeLabel() const {
    switch (rec_.timeBasis) {
    case common::kTimeDaysAbsent:
        return "Days Absent";
    case common::kTimeHoursAbsent:
        return "Hours Absent";
    case common::kTimeDaysPresent:
        return "Days Present";
    case common::kTimeHoursPresent:
        return "Hours Present";
    default:
        return {};
    }
}

bool VARFRM::displayBPParams(DialogView& dlg) {
    if (!hasRecord_ || timeLabel().empty()) {
        ui_.beep();
        return false;
    }
    dlg.setCaption("Basic Pay");
    dlg.setText(tw::kLabel, timeLabel());
    dlg.setText(tw::kTimeWorked, twoPlaces(common::decimalOf(rec_.timeWorked)));
    dlg.setEnabled(tw::kTimeWorked, !isReadOnly());
    return true;
}

bool VARFRM::getBPParams(DialogView& dlg) {
    return isReadOnly() || accept(dlg, applyTimeWorked(numberIn(dlg, tw::kTimeWorked)));
}

VARFRM::Refusal VARFRM::applyTimeWorked(double value) {
    const std::string label = timeLabel();
    if (label.empty())
        return Fault{"This employee is paid for the full period: no time is keyed.", nullptr, {}};
    const double perMonth = common::decimalOf(rec_.hoursPerMonth);
    const double perDay = common::decimalOf(rec_.hoursPerDay);
    const bool days =
        rec_.timeBasis == common::kTimeDaysAbsent || rec_.timeBasis == common::kTimeDaysPresent;
    const double most = !days ? perMonth : perDay > 0 ? perMonth / perDay : 0;
    if (value < 0 || common::decimalValue(value) > common::decimalValue(most))
        return Fault{invalidValue(label), tw::kTimeWorked, {}};
    update(changed_, rec_.timeWorked, static_cast<float>(value));
    return std::nullopt;
}

// "Overtime".
bool VARFRM::displayOTHrs(DialogView& dlg) {
    if (!hasRecord_ || !rec_.overtimeEligible) {
        ui_.beep();
        return false;
    }
    dlg.setCaption("Overtime");
    dlg.setText(od::kNormalHours, twoPlaces(common::decimalOf(rec_.normalOvertimeHours)));
    dlg.setText(od::kDoubleHours, twoPlaces(common::decimalOf(rec_.doubleOvertimeHours)));
    dlg.setEnabled(od::kNormalHours, !isReadOnly());
    dlg.setEnabled(od::kDoubleHours, !isReadOnly());
    return true;
}

bool VARFRM::getOTHrs(DialogView& dlg) {
    return isReadOnly() || accept(dlg, applyOvertime(numberIn(dlg, od::kNormalHours),
                                                     numberIn(dlg, od::kDoubleHours)));
}

VARFRM::Refusal VARFRM::applyOvertime(double normalHours, double doubleHours) {
    if (!rec_.overtimeEligible)
        return Fault{"This employee is not paid overtime.", nullptr, {}};
    if (normalHours < 0 || normalHours > kMostHours)
        return Fault{invalidValue("Normal Overtime Hours"), od::kNormalHours, {}};
    if (doubleHours < 0 || doubleHours > kMostHours)
        return Fault{invalidValue("Double Overtime Hours"), od::kDoubleHours, {}};
    update(changed_, rec_.normalOvertimeHours, static_cast<float>(normalHours));
    update(changed_, rec_.doubleOvertimeHours, static_cast<float>(doubleHours));
    return std::nullopt;
}

// "Hourly Pay".
bool VARFRM::displayHPParams(DialogView& dlg) {
    const auto* hours = paramsOf<common::HourlyParams>(currentItem());
    if (!hours) {
        ui_.beep();
        return false;
    }
    const common::PayItemDef& def = *currentItem()->definition;
    dlg.setCaption(def.itemName);
    dlg.setText(hd::kHours, twoPlaces(common::decimalOf(hours->hoursWorked)));
    dlg.setText(hd::kRate, twoPlaces(hours->hourlyRate));
    dlg.setEnabled(hd::kHours, !isReadOnly());
    dlg.setEnabled(hd::kRate,
                   !isReadOnly() && def.funcParams.rateKind != common::kBasicPayRateKind);
    return true;
}

bool VARFRM::getHPParams(DialogView& dlg) {
    const auto* hours = paramsOf<common::HourlyParams>(currentItem());
    if (isReadOnly() || !hours)
        return true;
    const bool keyedRate =
        currentItem()->definition->funcParams.rateKind != common::kBasicPayRateKind;
    return accept(dlg, applyHourlyPay(numberIn(dlg, hd::kHours),
                                      keyedRate ? numberIn(dlg, hd::kRate) : hours->hourlyRate));
}

VARFRM::Refusal VARFRM::applyHourlyPay(double hoursWorked, double rate) {
    auto* hours = paramsOf<common::HourlyParams>(currentItem());
    if (!hours)
        return Fault{"This pay item is not paid by the hour.", nullptr, {}};
    if (hoursWorked < 0 || hoursWorked > kMostHours)
        return Fault{invalidValue("Hours Worked"), hd::kHours, {}};
    if (rate < 0)
        return Fault{invalidValue("Hourly Rate"), hd::kRate, {}};
    update(changed_, hours->hoursWorked, static_cast<float>(hoursWorked));
    update(changed_, hours->hourlyRate, rate);
    return std::nullopt;
}

// Co-operative contribution "Balance".
bool VARFRM::displayBalance(DialogView& dlg) {
    const auto* coop = paramsOf<common::CoopParams>(currentItem());
    if (!coop) {
        ui_.beep();
        return false;
    }
    dlg.setCaption("Balance");
    dlg.setText(bd::kLabel, "Balance B/F");
    dlg.setText(bd::kBalance, money(coop->balance));
    dlg.setEnabled(bd::kBalance, !isReadOnly());
    return true;
}

bool VARFRM::getBalance(DialogView& dlg) {
    return isReadOnly() || accept(dlg, applyCoopBalance(numberIn(dlg, bd::kBalance)));
}

VARFRM::Refusal VARFRM::applyCoopBalance(double balance) {
    auto* coop = paramsOf<common::CoopParams>(currentItem());
    if (!coop)
        return Fault{"This pay item keeps no co-operative balance.", nullptr, {}};
    if (balance < 0)
        return Fault{
            currentItem()->definition->itemName + " balance cannot be negative.", bd::kBalance, {}};
    update(changed_, coop->balance, balance);
    return std::nullopt;
}

// "Pension Fund Parameters".
bool VARFRM::displayPFParams(DialogView& dlg) {
    const auto* pension = paramsOf<common::PensionParams>(currentItem());
    if (!pension) {
        ui_.beep();
        return false;
    }
    bool keyed = false;
    keyedRule(*currentItem()->definition, keyed);
    dlg.setCaption("Pension Fund Parameters");
    dlg.setText(pd::kEmployerContribution, money(pension->employerContribution));
    dlg.setText(pd::kEmployeeBalance, money(pension->employeeBalance));
    dlg.setText(pd::kEmployerBalance, money(pension->employerBalance));
    dlg.setEnabled(pd::kEmployerContribution, !isReadOnly() && keyed);
    dlg.setEnabled(pd::kEmployeeBalance, !isReadOnly());
    dlg.setEnabled(pd::kEmployerBalance, !isReadOnly());
    return true;
}

bool VARFRM::getPFParams(DialogView& dlg) {
    const auto* pension = paramsOf<common::PensionParams>(currentItem());
    if (isReadOnly() || !pension)
        return true;
    bool keyed = false;
    keyedRule(*currentItem()->definition, keyed);
    common::PensionParams wanted;
    wanted.employerContribution =
        keyed ? numberIn(dlg, pd::kEmployerContribution) : pension->employerContribution;
    wanted.employeeBalance = numberIn(dlg, pd::kEmployeeBalance);
    wanted.employerBalance = numberIn(dlg, pd::kEmployerBalance);
    return accept(dlg, applyPension(wanted));
}

VARFRM::Refusal VARFRM::applyPension(const common::PensionParams& wanted) {
    auto* pension = paramsOf<common::PensionParams>(currentItem());
    if (!pension)
        return Fault{"This pay item is no pension contribution.", nullptr, {}};
    const common::PayItemDef& def = *currentItem()->definition;
    bool keyed = false;
    const common::EmployerContribution* rule = keyedRule(def, keyed);
    if (keyed && rule && wanted.employerContribution < rule->lowerLimit)
        return Fault{"Employer contribution below set lower limit, " +
                         common::fixedText(rule->lowerLimit, 0) + ".",
                     pd::kEmployerContribution,
                     {}};
    if (keyed && rule && wanted.employerContribution > rule->upperLimit)
        return Fault{"Employer contribution above set upper limit, " +
                         common::fixedText(rule->upperLimit, 0) + ".",
                     pd::kEmployerContribution,
                     {}};
    if (wanted.employeeBalance < 0)
        return Fault{
            def.itemName + " employee balance cannot be negative.", pd::kEmployeeBalance, {}};
    if (wanted.employerBalance < 0)
        return Fault{
            def.itemName + " employer balance cannot be negative.", pd::kEmployerBalance, {}};
    // A contribution the fund works out is not the clerk's to key.
    if (keyed)
        update(changed_, pension->employerContribution, wanted.employerContribution);
    update(changed_, pension->employeeBalance, wanted.employeeBalance);
    update(changed_, pension->employerBalance, wanted.employerBalance);
    return std::nullopt;
}

// "Loan Parameters".
bool VARFRM::displayLoanParams(DialogView& dlg) {
    const auto* loan = paramsOf<common::LoanParams>(currentItem());
    if (!loan) {
        ui_.beep();
        return false;
    }
    const common::PayItemDef& def = *currentItem()->definition;
    const bool editable = !isReadOnly();
    dlg.setCaption("Loan Parameters");
    dlg.setText(ld::kBalanceLabel, loan->newLoan ? "Principal" : "Balance B/F");
    dlg.setText(ld::kBalance, money(loan->balance));
    dlg.setEnabled(ld::kBalance, editable && loan->newLoan);
    dlg.setText(ld::kInterestRate, twoPlaces(common::decimalOf(loan->interestRate)));
    dlg.setEnabled(ld::kInterestRate, editable);
    dlg.setText(ld::kPaymentsLabel, loan->newLoan ? "Number of Payments" : "Outstanding Payments");
    dlg.setText(ld::kPayments, std::to_string(loan->paymentsLeft));
    dlg.setEnabled(ld::kPayments, editable && usesPayments(def));
    dlg.setChecked(ld::kTaxableBenefit, loan->taxableBenefit != 0);
    dlg.setEnabled(ld::kTaxableBenefit,
                   editable && common::itemTypeOf(def) == common::ItemType::CompanyLoanPayment);
    return true;
}

bool VARFRM::getLoanParams(DialogView& dlg) {
    const auto* loan = paramsOf<common::LoanParams>(currentItem());
    if (isReadOnly() || !loan)
        return true;
    const common::PayItemDef& def = *currentItem()->definition;
    common::LoanParams wanted = *loan;
    if (loan->newLoan)
        wanted.balance = numberIn(dlg, ld::kBalance);
    wanted.interestRate = static_cast<float>(numberIn(dlg, ld::kInterestRate));
    if (usesPayments(def))
        wanted.paymentsLeft = static_cast<std::int32_t>(numberIn(dlg, ld::kPayments));
    if (common::itemTypeOf(def) == common::ItemType::CompanyLoanPayment)
        wanted.taxableBenefit = dlg.isChecked(ld::kTaxableBenefit) ? 1 : 0;
    return accept(dlg, applyLoan(wanted));
}

VARFRM::Refusal VARFRM::applyLoan(const common::LoanParams& wanted) {
    PayItem* item = currentItem();
    auto* loan = paramsOf<common::LoanParams>(item);
    if (!loan)
        return Fault{"This pay item is no loan.", nullptr, {}};
    const common::PayItemDef& def = *item->definition;
    if (wanted.newLoan && wanted.balance <= 0)
        return Fault{"Principal must be greater than zero.", ld::kBalance, {}};
    if (wanted.interestRate < 0)
        return Fault{"Interest rate cannot be negative.", ld::kInterestRate, {}};
    if (usesPayments(def) && wanted.paymentsLeft < 1)
        return Fault{"Number of payments cannot be less than one.", ld::kPayments, {}};
    const bool terms = wanted.balance != loan->balance ||
                       wanted.interestRate != loan->interestRate ||
                       wanted.paymentsLeft != loan->paymentsLeft;
    update(changed_, loan->balance, wanted.balance);
    update(changed_, loan->interestRate, wanted.interestRate);
    update(changed_, loan->paymentsLeft, wanted.paymentsLeft);
    update(changed_, loan->newLoan, wanted.newLoan);
    if (common::itemTypeOf(def) == common::ItemType::CompanyLoanPayment)
        update(changed_, loan->taxableBenefit, wanted.taxableBenefit);
    if (terms && common::itemFunctionOf(def) == common::ItemFunction::Amortise)
        update(changed_, item->amount,
               amortisedInstalment(loan->balance, loan->interestRate, loan->paymentsLeft));
    return std::nullopt;
}

// "Bank Loan Parameters".
bool VARFRM::displayBLParams(DialogView& dlg) {
    const auto* bankLoan = paramsOf<common::BankLoanParams>(currentItem());
    if (!bankLoan) {
        ui_.beep();
        return false;
    }
    const bool editable = !isReadOnly() && bankLoan->newLoan;
    dlg.setCaption("Bank Loan Parameters");
    fillNames(dlg, bl::kBank, banks_.bankNames(), bankLoan->bankName);
    fillNames(dlg, bl::kBranch, banks_.branchNames(bankLoan->bankName), bankLoan->branchName);
    dlg.setText(bl::kLoanNumber, bankLoan->loanNumber);
    dlg.setText(bl::kPaymentsLabel,
                bankLoan->newLoan ? "Number of Payments" : "Outstanding Payments");
    dlg.setText(bl::kPayments, std::to_string(bankLoan->paymentsLeft));
    for (const char* control : {bl::kBank, bl::kBranch, bl::kLoanNumber, bl::kPayments})
        dlg.setEnabled(control, editable);
    return true;
}

void VARFRM::resetBranches(DialogView& dlg) {
    fillNames(dlg, bl::kBranch, banks_.branchNames(selectedText(dlg, bl::kBank)), {});
    dlg.setText(bl::kLoanNumber, "");
}

bool VARFRM::getBLParams(DialogView& dlg) {
    const auto* bankLoan = paramsOf<common::BankLoanParams>(currentItem());
    // A loan under way is shown, not changed.
    if (isReadOnly() || !bankLoan || !bankLoan->newLoan)
        return true;
    common::BankLoanParams wanted = *bankLoan;
    wanted.paymentsLeft = static_cast<std::int32_t>(numberIn(dlg, bl::kPayments));
    wanted.bankName = selectedText(dlg, bl::kBank);
    wanted.branchName = selectedText(dlg, bl::kBranch);
    wanted.loanNumber = dlg.text(bl::kLoanNumber);
    return accept(dlg, applyBankLoan(wanted));
}

VARFRM::Refusal VARFRM::applyBankLoan(const common::BankLoanParams& wanted) {
    auto* bankLoan = paramsOf<common::BankLoanParams>(currentItem());
    if (!bankLoan)
        return Fault{"This pay item is no bank loan.", nullptr, {}};
    using W = common::PayItemWidths;
    const std::string bank(common::fitText(common::trim(wanted.bankName), W::kBankNameWidth));
    const std::string branch(common::fitText(common::trim(wanted.branchName), W::kBranchNameWidth));
    const std::string number(common::fitText(common::trim(wanted.loanNumber), W::kLoanNumberWidth));
    if (wanted.paymentsLeft < 1)
        return Fault{"Number of payments cannot be less than one.", bl::kPayments, {}};
    if (bank.empty())
        return Fault{"Bank name must not be blank.", bl::kBank, {}};
    if (branch.empty())
        return Fault{"Branch name must not be blank.", bl::kBranch, {}};
    if (number.empty())
        return Fault{"Account number must not be blank.", bl::kLoanNumber, {}};
    update(changed_, bankLoan->paymentsLeft, wanted.paymentsLeft);
    update(changed_, bankLoan->newLoan, wanted.newLoan);
    update(changed_, bankLoan->bankName, bank);
    update(changed_, bankLoan->branchName, branch);
    update(changed_, bankLoan->loanNumber, number);
    return std::nullopt;
}

// "Savings Parameters".
bool VARFRM::displaySPParams(DialogView& dlg) {
    const auto* savings = paramsOf<common::SavingsParams>(currentItem());
    if (!savings) {
        ui_.beep();
        return false;
    }
    dlg.setCaption("Savings Parameters");
    dlg.setText(sd::kBalance, money(savings->balance));
    dlg.setText(sd::kInterestRate, twoPlaces(common::decimalOf(savings->interestRate)));
    dlg.setEnabled(sd::kBalance, !isReadOnly());
    dlg.setEnabled(sd::kInterestRate, !isReadOnly());
    return true;
}

bool VARFRM::getSPParams(DialogView& dlg) {
    common::SavingsParams wanted;
    wanted.balance = numberIn(dlg, sd::kBalance);
    wanted.interestRate = static_cast<float>(numberIn(dlg, sd::kInterestRate));
    return isReadOnly() || accept(dlg, applySavings(wanted));
}

VARFRM::Refusal VARFRM::applySavings(const common::SavingsParams& wanted) {
    auto* savings = paramsOf<common::SavingsParams>(currentItem());
    if (!savings)
        return Fault{"This pay item is no savings plan.", nullptr, {}};
    if (wanted.balance < 0)
        return Fault{"Balance B/F cannot be negative.", sd::kBalance, {}};
    if (wanted.interestRate < 0)
        return Fault{"Interest rate cannot be negative.", sd::kInterestRate, {}};
    update(changed_, savings->balance, wanted.balance);
    update(changed_, savings->interestRate, wanted.interestRate);
    return std::nullopt;
}

// Cost recovery "Balance".
bool VARFRM::displayRecoveryParam(DialogView& dlg) {
    const auto* recovery = paramsOf<common::CostRecoveryParams>(currentItem());
    if (!recovery) {
        ui_.beep();
        return false;
    }
    dlg.setCaption("Balance");
    dlg.setText(bd::kLabel, recovery->newRecovery ? "Initial Balance" : "Balance B/F");
    dlg.setText(bd::kBalance, money(recovery->balance));
    dlg.setEnabled(bd::kBalance, !isReadOnly() && recovery->newRecovery);
    return true;
}

bool VARFRM::getRecoveryParam(DialogView& dlg) {
    const auto* recovery = paramsOf<common::CostRecoveryParams>(currentItem());
    if (isReadOnly() || !recovery || !recovery->newRecovery)
        return true;
    return accept(dlg, applyRecovery(numberIn(dlg, bd::kBalance)));
}

VARFRM::Refusal VARFRM::applyRecovery(double balance) {
    auto* recovery = paramsOf<common::CostRecoveryParams>(currentItem());
    if (!recovery)
        return Fault{"This pay item is no cost recovery.", nullptr, {}};
    if (!recovery->newRecovery)
        return Fault{"The balance of a recovery under way cannot be changed.", nullptr, {}};
    if (balance <= 0)
        return Fault{"Initial balance must be greater than zero.", bd::kBalance, {}};
    update(changed_, recovery->balance, balance);
    return std::nullopt;
}

} // namespace kelo::staffrecords
