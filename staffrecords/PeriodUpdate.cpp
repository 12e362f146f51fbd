#include "staffrecords/PeriodUpdate.h"

#include "common/Money.h"

#include <cmath>
#include <cstddef>
#include <variant>

namespace kelo::staffrecords {

using common::ItemFunction;
using common::ItemType;
using common::PayItem;
using common::VARIATIONSREC;

namespace {

bool isLoan(ItemType type) {
    return type == ItemType::CompanyLoanPayment || type == ItemType::CoopLoanPayment;
}

bool isStatic(const PayItem& item) {
    return item.definition && item.definition->isStatic;
}

bool keyedBackToLowerLimit(const PayItem& item) {
    return item.definition && !item.definition->isStatic && common::isKeyIn(*item.definition);
}

void clearLoan(PayItem& item, common::LoanParams& loan) {
    item.active = 0;
    item.amount = 0;
    loan = common::LoanParams{};
    loan.paymentsLeft = 1;
    loan.newLoan = 1;
}

// Interest, then this period's payment; the loan continues while money is
// owed and, for instalment loans, payments are left.
void rollLoan(PayItem& item, common::LoanParams& loan, ItemFunction function) {
    loan.balance = withMonthsInterest(loan.balance, loan.interestRate) - item.amount;
    loan.newLoan = 0;
    bool continues = loan.balance > 0;
    if (continues &&
        (function == ItemFunction::Amortise || function == ItemFunction::ReducingBalance)) {
        if (item.active)
            --loan.paymentsLeft;
        continues = loan.paymentsLeft != 0;
    }
    if (!continues)
        clearLoan(item, loan);
}

void rollActiveDeduction(PayItem& item, ItemType type) {
    if (auto* coop = std::get_if<common::CoopParams>(&item.params);
        coop && type == ItemType::CoopContribution) {
        coop->balance += item.amount;
    } else if (auto* pension = std::get_if<common::PensionParams>(&item.params);
               pension && type == ItemType::PensionContribution) {
        pension->employeeBalance += item.amount;
        pension->employerBalance += pension->employerContribution;
    } else if (auto* bank = std::get_if<common::BankLoanParams>(&item.params);
               bank && type == ItemType::BankLoanPayment) {
        bank->newLoan = 0;
        if (--bank->paymentsLeft <= 0) {
            item.active = 0;
            item.amount = 0;
            bank->paymentsLeft = 1;
            bank->newLoan = 1;
        }
    } else if (auto* recovery = std::get_if<common::CostRecoveryParams>(&item.params);
               recovery && type == ItemType::CostRecovery) {
        recovery->newRecovery = 0;
        recovery->balance -= item.amount;
        if (recovery->balance <= 0) {
            item.active = 0;
            item.amount = 0;
            recovery->balance = 0;
            recovery->paidOff = 1;
            recovery->newRecovery = 1;
        }
    }
}

// Next period's payment never exceeds what is owed.
void capNextPayment(PayItem& item, ItemType type, ItemFunction function) {
    if (auto* loan = std::get_if<common::LoanParams>(&item.params); loan && isLoan(type)) {
        const double owed = withMonthsInterest(loan->balance, loan->interestRate);
        if (function == ItemFunction::KeyIn && owed < item.amount)
            item.amount = owed;
        else if (function == ItemFunction::Amortise && loan->paymentsLeft == 1)
            item.amount = owed;
    } else if (auto* recovery = std::get_if<common::CostRecoveryParams>(&item.params);
               recovery && type == ItemType::CostRecovery && function == ItemFunction::KeyIn) {
        if (recovery->balance < item.amount)
            item.amount = recovery->balance;
    }
}

void rollDeduction(PayItem& item) {
    if (!item.definition)
        return;
    const ItemType type = common::itemTypeOf(*item.definition);
    const ItemFunction function = common::itemFunctionOf(*item.definition);
    if (auto* loan = std::get_if<common::LoanParams>(&item.params);
        loan && isLoan(type) && loan->balance > 0)
        rollLoan(item, *loan, function);
    if (auto* savings = std::get_if<common::SavingsParams>(&item.params);
        savings && type == ItemType::SavingsPlanDeposit && (item.active || savings->balance > 0))
        savings->balance =
            withMonthsInterest(savings->balance, savings->interestRate) + item.amount;
    if (!item.active)
        return;
    rollActiveDeduction(item, type);
    if (keyedBackToLowerLimit(item))
        item.amount = item.definition->lowerLimit;
    capNextPayment(item, type, function);
}

void rollEarning(PayItem& item) {
    if (!item.active || !item.definition || isStatic(item))
        return;
    if (common::isKeyIn(*item.definition))
        item.amount = item.definition->lowerLimit;
    else if (common::itemFunctionOf(*item.definition) == ItemFunction::BasedOnHours)
        if (auto* hourly = std::get_if<common::HourlyParams>(&item.params))
            hourly->hoursWorked = 0;
}

void resetMonth(VARIATIONSREC& rec) {
    rec.monthGross = rec.monthBasic = rec.monthTaxable = rec.monthPaye = 0;
}

} // namespace

double withMonthsInterest(double balance, float yearlyRate) {
    return common::roundShillings(balance * (1 + common::decimalOf(yearlyRate) / 1200));
}

double amortisedInstalment(double principal, float yearlyRate, int payments) {
    if (payments < 1)
        return common::roundShillings(principal);
    const auto r = static_cast<float>(common::decimalOf(yearlyRate) / 1200);
    if (r == 0)
        return common::roundShillings(principal / payments);
    const double rate = r;
    return common::roundShillings(principal * rate / (1 - std::pow(1 + rate, -payments)));
}

void rollPeriod(VARIATIONSREC& rec, int afterJune) {
    rec.lumpSumTax = 0;
    rec.openingPeriod = 0;
    rec.deficitBF = rec.deficit;
    rec.roundingBF = rec.roundingCF;
    if (!rec.basicPayDef || !rec.basicPayDef->isStatic)
        rec.timeWorked = 0;
    if (!rec.overtimeDef || !rec.overtimeDef->isStatic)
        rec.normalOvertimeHours = rec.doubleOvertimeHours = 0;
    for (PayItem& item : rec.earnings)
        rollEarning(item);
    for (PayItem& item : rec.deductions)
        rollDeduction(item);
    for (auto* list : {&rec.benefits, &rec.lumpSums, &rec.refunds})
        for (PayItem& item : *list)
            if (item.active && keyedBackToLowerLimit(item))
                item.amount = item.definition->lowerLimit;
    rec.monthGross += rec.grossPay;
    rec.monthBasic += rec.basicPay;
    rec.monthTaxable += rec.chargeablePay;
    rec.monthPaye += rec.paye;
    const auto half = static_cast<std::size_t>(afterJune != 0 ? 1 : 0);
    rec.halfYearTaxable[half] += rec.chargeablePay;
    rec.halfYearPaye[half] += rec.paye;
}

void closeMonth(VARIATIONSREC& rec, std::string_view newMonth, int afterJune) {
    if (rec.monthGross > 0) {
        std::size_t half = afterJune != 0 ? 1 : 0;
        if (newMonth == "January")
            half = 1;
        else if (newMonth == "July")
            half = 0;
        ++rec.halfYearMonths[half];
    }
    resetMonth(rec);
}

void resetYear(VARIATIONSREC& rec) {
    resetMonth(rec);
    rec.halfYearMonths = {};
    rec.halfYearTaxable = {};
    rec.halfYearPaye = {};
}

void carryFields(const VARIATIONSREC& from, VARIATIONSREC& to) {
    to.openingPeriod = from.openingPeriod;
    to.removed = from.removed;
    to.basicPay = from.basicPay;
    to.timeWorked = from.timeWorked;
    to.overtimePay = from.overtimePay;
    to.normalOvertimeHours = from.normalOvertimeHours;
    to.doubleOvertimeHours = from.doubleOvertimeHours;
    to.rentDeducted = from.rentDeducted;
    to.rent = from.rent;
    to.deficitBF = from.deficitBF;
    to.roundingCF = from.roundingCF;
    to.lumpSumTax = from.lumpSumTax;
    to.roundingBF = from.roundingBF;
    to.deficit = from.deficit;
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        const std::vector<PayItem>& source = *from.items(table);
        std::vector<PayItem>& target = *to.items(table);
        for (std::size_t i = 0; i < source.size() && i < target.size(); ++i)
            target[i] = source[i];
    }
    to.monthGross = from.monthGross;
    to.monthBasic = from.monthBasic;
    to.monthTaxable = from.monthTaxable;
    to.monthPaye = from.monthPaye;
    to.halfYearMonths = from.halfYearMonths;
    to.halfYearTaxable = from.halfYearTaxable;
    to.halfYearPaye = from.halfYearPaye;
}

bool followMasterRecord(VARIATIONSREC& rec, const common::STATICREC& employee) {
    bool changed = false;
    for (PayItem& item : rec.deductions) {
        if (!item.active || !item.definition)
            continue;
        const ItemType type = common::itemTypeOf(*item.definition);
        const std::int32_t link = item.definition->link ? item.definition->link->id : 0;
        const bool isPension = type == ItemType::PensionContribution;
        const bool isCoop = type == ItemType::CoopContribution ||
                            type == ItemType::CoopLoanPayment ||
                            type == ItemType::CoopBenevolentFund;
        if ((isPension && (link == employee.pensionFund1 || link == employee.pensionFund2)) ||
            (isCoop && (link == employee.coop1 || link == employee.coop2)) ||
            (!isPension && !isCoop))
            continue;
        item.amount = 0;
        item.active = 0;
        if (auto* pension = std::get_if<common::PensionParams>(&item.params))
            *pension = common::PensionParams{};
        else if (auto* coop = std::get_if<common::CoopParams>(&item.params))
            *coop = common::CoopParams{};
        else if (auto* loan = std::get_if<common::LoanParams>(&item.params)) {
            loan->balance = 0;
            loan->interestRate = 0;
            loan->paymentsLeft = 1;
            loan->newLoan = 1;
        }
        changed = true;
    }
    if (!employee.payeApplies && rec.lumpSumTax != 0) {
        rec.lumpSumTax = 0;
        changed = true;
    }
    return changed;
}

} // namespace kelo::staffrecords
