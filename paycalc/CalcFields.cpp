#include "paycalc/CalcFields.h"

#include "common/Calendar.h"
#include "common/Money.h"
#include "database/OptionsDb.h"
#include "database/PayeDb.h"

#include <algorithm>
#include <cmath>

namespace kelo::paycalc {

using common::decimalOf;
using common::floorShillings;
using common::ItemFunction;
using common::ItemType;
using common::PayItem;
using common::percentOf;
using common::roundShillings;
using common::VARIATIONSREC;

namespace {

// A quotient whose divisor is missing (no working hours keyed) counts as 0
// instead of an infinite amount.
double ratio(double numerator, double denominator) {
    return denominator == 0 ? 0 : numerator / denominator;
}

// A computed amount raised to the lower limit when not above it and lowered
// to the upper limit when not below it.
double clampToLimits(double amount, double lower, double upper) {
    if (amount <= lower)
        amount = lower;
    if (amount >= upper)
        amount = upper;
    return amount;
}

double percentageAmount(const common::PayItemDef& def, double base) {
    const double amount = roundShillings(percentOf(base, decimalOf(def.funcParams.percentage)));
    return def.applyLimits ? clampToLimits(amount, def.lowerLimit, def.upperLimit) : amount;
}

// The base of a percentage function, or nullopt for any other function.
std::optional<double> percentageBase(ItemFunction function, const VARIATIONSREC& rec) {
    switch (function) {
    case ItemFunction::PercentOfSalary:
        return rec.fullPay;
    case ItemFunction::PercentOfBasicPay:
        return rec.basicPay;
    case ItemFunction::PercentOfGrossPay:
        return rec.grossPay;
    default:
        return std::nullopt;
    }
}

// Benefits, lump sums and refunds: only "Percentage of Salary" is computed;
// every other item keeps its keyed amount.
double sumSalaryPercentageItems(std::vector<PayItem>& items, double fullPay) {
    double total = 0;
    for (PayItem& item : items) {
        if (item.definition &&
            common::itemFunctionOf(*item.definition) == ItemFunction::PercentOfSalary)
            item.amount = item.active ? percentageAmount(*item.definition, fullPay) : 0;
        total += item.amount;
    }
    return total;
}

double fullPayOf(const VARIATIONSREC& rec, double rate, double perDay, double perMonth) {
    switch (rec.payBasis) {
    case common::kPayBasisSalary:
        return rate;
    case common::kPayBasisDaily:
        return roundShillings(ratio(rate * perMonth, perDay));
    case common::kPayBasisHourly:
        return roundShillings(rate * perMonth);
    default:
        return rec.fullPay;
    }
}

double basicPayOf(const VARIATIONSREC& rec, double r, double d, double m, double t) {
    const int basis = rec.payBasis;
    if (basis < common::kPayBasisSalary || basis > common::kPayBasisHourly)
        return rec.basicPay;
    switch (rec.timeBasis) {
    case common::kTimeFullPeriod:
        return basis == common::kPayBasisSalary ? r : rec.fullPay;
    case common::kTimeDaysAbsent:
        return basis == common::kPayBasisSalary  ? r * (1 - ratio(t * d, m))
               : basis == common::kPayBasisDaily ? (ratio(m, d) - t) * r
                                                 : (m - t * d) * r;
    case common::kTimeHoursAbsent:
        return basis == common::kPayBasisSalary  ? r * (1 - ratio(t, m))
               : basis == common::kPayBasisDaily ? ratio(m - t, d) * r
                                                 : (m - t) * r;
    case common::kTimeDaysPresent:
        return basis == common::kPayBasisSalary  ? ratio(t * d * r, m)
               : basis == common::kPayBasisDaily ? t * r
                                                 : t * d * r;
    case common::kTimeHoursPresent:
        return basis == common::kPayBasisSalary  ? ratio(t * r, m)
               : basis == common::kPayBasisDaily ? ratio(t, d) * r
                                                 : t * r;
    default:
        return rec.basicPay;
    }
}

const common::EmployerContribution* employerRule(const common::PayItemDef& def) {
    return def.link && def.link->employer ? &*def.link->employer : nullptr;
}

} // namespace

CALCFIELDS::CALCFIELDS(engine::Code4& code, const common::WorkingFolder& folder)
    : code_(code),
      folder_(folder) {}

int CALCFIELDS::checkCalcFiles(const common::ORGREC& org) {
    database::PAYEPARAMDB params(code_, folder_);
    database::PAYEDB paye(code_, folder_);
    database::NSSFDB nssf(code_, folder_);
    return params.checkFile(org.fiscalYear) && paye.checkFile(org.fiscalYear) &&
                   nssf.checkFile(org.fiscalYear)
               ? 1
               : 0;
}

bool CALCFIELDS::initCalcFields(common::Ui& ui, const common::ORGREC& org) {
    CalcSettings s;
    s.currentMonth = org.month;
    s.taxEmployerPension = org.taxEmployerPension;
    s.paySdl = org.paySdl;
    s.roundNetPay = org.roundNetPay;
    s.roundingUnit = org.roundingUnit;
    std::array<unsigned long, kMaxBands> limits{};
    std::array<float, kMaxBands> rates{};
    const int bands =
        database::PAYEDB(code_, folder_).readBrackets(org.fiscalYear, limits, rates, kMaxBands);
    database::NSSFDB(code_, folder_).readFile(org.fiscalYear, s.nssfRates);
    database::PAYEPARAMDB(code_, folder_).readParams(org.fiscalYear, s.payeParams);
    database::SDLDB(code_, folder_).readFile(org.fiscalYear, s.sdlRate);
    database::OPTIONSDB options(code_, folder_);
    const bool optionsRead = options.openFile(false);
    if (optionsRead) {
        s.taxAverage = options.getValue(database::kPayrollOptionsId, database::kOptionAverage);
        options.closeFile();
    } else {
        s.taxAverage = 0;
        ui.error(database::openFailureText(code_, options.relativePath()) +
                 " Pay cannot be computed without the payroll options.");
    }
    code_.setErrorCode(0);
    // Loaded either way, so that no figures of an earlier period remain.
    load(s, limits.data(), rates.data(), bands);
    return optionsRead;
}

void CALCFIELDS::load(const CalcSettings& settings, const unsigned long* limits, const float* rates,
                      int bandCount) {
    settings_ = settings;
    setBands(limits, rates, bandCount);
    applyMonth();
}

void CALCFIELDS::applyMonth() {
    // Month index 0..11; a name that is no month counts as 12, after June.
    const int number = common::monthNumber(settings_.currentMonth);
    const int index = number == 0 ? 12 : number - 1;
    afterJune_ = index > 5 ? 1 : 0;
    statutoryRate_ =
        index < 6 ? settings_.payeParams.statRateJanJun : settings_.payeParams.statRateJulDec;
}

void CALCFIELDS::copyStatFields(VARIATIONSREC& rec, const common::STATICREC& employee) {
    rec.lastName = employee.lastName;
    rec.otherNames = employee.otherNames;
    rec.payFreq = employee.payFreq;
    rec.payMethod = employee.payMethod;
    rec.payeApplies = employee.payeApplies;
    rec.useTopTaxRate = employee.useTopTaxRate;
    rec.nssfMember = employee.nssfMember;
    rec.coop1 = employee.coop1;
    rec.coop2 = employee.coop2;
    rec.pensionFund1 = employee.pensionFund1;
    rec.pensionFund2 = employee.pensionFund2;
    rec.payBasis = employee.payBasis;
    common::setPayRate(rec, employee);
    rec.hoursPerDay = employee.hoursPerDay;
    rec.hoursPerMonth = employee.hoursPerMonth;
    rec.timeBasis = employee.timeBasis;
    rec.overtimeEligible = employee.overtimeEligible;
    rec.normalOvertimeRate = employee.normalOvertimeRate;
    rec.doubleOvertimeRate = employee.doubleOvertimeRate;
    rec.housed = employee.housed;
    rec.rentDeducted = employee.housed;
    rec.housingValue = employee.housingValue;
    rec.housingExpense = employee.housingExpense;
    rec.rent = employee.rent;
}

void CALCFIELDS::computeFields(VARIATIONSREC& rec) const {
    const CalcSettings& s = settings_;
    const double d = decimalOf(rec.hoursPerDay);
    const double m = decimalOf(rec.hoursPerMonth);
    const double t = decimalOf(rec.timeWorked);

    // 1. Basic pay.
    rec.fullPay = fullPayOf(rec, rec.payRate, d, m);
    rec.basicPay = roundShillings(basicPayOf(rec, rec.payRate, d, m, t));

    // 2. Overtime.
    rec.overtimePay =
        rec.overtimeEligible
            ? roundShillings(decimalOf(rec.doubleOvertimeHours) * rec.doubleOvertimeRate +
                             decimalOf(rec.normalOvertimeHours) * rec.normalOvertimeRate)
            : 0;

    // 3. Earnings.
    rec.grossPay = rec.taxableEarnings = rec.overtimePay + rec.basicPay;
    for (PayItem& item : rec.earnings) {
        if (!item.definition)
            continue;
        const common::PayItemDef& def = *item.definition;
        const ItemFunction function = common::itemFunctionOf(def);
        if (function == ItemFunction::PercentOfSalary ||
            function == ItemFunction::PercentOfBasicPay) {
            item.amount = item.active ? percentageAmount(def, *percentageBase(function, rec)) : 0;
        } else if (function == ItemFunction::BasedOnHours) {
            auto* hours = std::get_if<common::HourlyParams>(&item.params);
            if (item.active && hours) {
                if (def.funcParams.rateKind == common::kBasicPayRateKind)
                    hours->hourlyRate = ratio(decimalOf(def.funcParams.factor) * rec.fullPay, m);
                item.amount = roundShillings(decimalOf(hours->hoursWorked) * hours->hourlyRate);
            } else {
                item.amount = 0;
            }
        }
        rec.grossPay += item.amount;
        if (def.taxable)
            rec.taxableEarnings += item.amount;
    }

    // 4. Employer contributions.
    rec.nssfEmployer =
        rec.nssfMember
            ? floorShillings(percentOf(rec.grossPay, decimalOf(s.nssfRates.employerRate)))
            : 0;
    double employerPension = 0;
    for (PayItem& item : rec.deductions) {
        auto* pension = std::get_if<common::PensionParams>(&item.params);
        if (!item.definition || !pension ||
            common::itemTypeOf(*item.definition) != ItemType::PensionContribution)
            continue;
        if (!item.active) {
            pension->employerContribution = 0;
        } else if (const common::EmployerContribution* rule = employerRule(*item.definition)) {
            if (const auto base = percentageBase(common::itemFunctionOf(rule->function), rec)) {
                double amount = roundShillings(percentOf(*base, decimalOf(rule->percentage)));
                if (rule->applyLimits)
                    amount = clampToLimits(amount, rule->lowerLimit, rule->upperLimit);
                pension->employerContribution = amount;
            }
        }
        employerPension += pension->employerContribution;
    }

    // 5. Benefits.
    rec.totalBenefits = sumSalaryPercentageItems(rec.benefits, rec.fullPay);
    if (s.taxEmployerPension) {
        rec.employerPensionBenefit = rec.nssfEmployer + employerPension;
        rec.totalBenefits += rec.employerPensionBenefit;
    }
    rec.loanBenefit = 0;
    for (const PayItem& item : rec.deductions) {
        const auto* loan = std::get_if<common::LoanParams>(&item.params);
        if (item.definition && loan && loan->taxableBenefit &&
            common::itemTypeOf(*item.definition) == ItemType::CompanyLoanPayment) {
            const double gap =
                common::decimalValue(decimalOf(statutoryRate_) - decimalOf(loan->interestRate));
            rec.loanBenefit += roundShillings(std::max(0.0, gap * loan->balance / 1200));
        }
    }
    rec.totalBenefits += rec.loanBenefit;
    rec.taxablePay = rec.totalBenefits + rec.taxableEarnings;
    rec.housingBenefit = 0;
    if (rec.housed) {
        double h = percentOf(rec.taxablePay, 15);
        h = std::max(h, rec.housingExpense);
        h = std::min(h, rec.housingValue);
        h -= rec.rent;
        rec.housingBenefit = roundShillings(std::max(h, 0.0));
        rec.taxablePay += rec.housingBenefit;
    }

    // 6. Lump sums.
    rec.totalLumpSums = sumSalaryPercentageItems(rec.lumpSums, rec.fullPay);

    // 7. Deductions and PAYE.
    rec.nssfEmployee =
        rec.nssfMember
            ? floorShillings(percentOf(rec.grossPay, decimalOf(s.nssfRates.employeeRate)))
            : 0;
    rec.otherDeductions = rec.deficitBF + rec.rent;
    double relief = rec.nssfEmployee + (s.taxEmployerPension ? rec.nssfEmployer : 0);
    for (PayItem& item : rec.deductions) {
        if (!item.definition)
            continue;
        const common::PayItemDef& def = *item.definition;
        const ItemFunction function = common::itemFunctionOf(def);
        const ItemType type = common::itemTypeOf(def);
        const auto* loan = std::get_if<common::LoanParams>(&item.params);
        if (const auto base = percentageBase(function, rec)) {
            if (item.active) {
                item.amount = percentageAmount(def, *base);
                if (loan &&
                    (type == ItemType::CompanyLoanPayment || type == ItemType::CoopLoanPayment)) {
                    // Never more than is owed with one month's interest.
                    const double owed =
                        roundShillings(loan->balance * (1 + decimalOf(loan->interestRate) / 1200));
                    item.amount = std::min(item.amount, owed);
                }
            } else {
                item.amount = 0;
            }
        } else if (function == ItemFunction::ReducingBalance) {
            // Fewer than one payment left pays the whole balance now.
            const double payments = loan ? std::max(1, loan->paymentsLeft) : 1;
            item.amount =
                item.active && loan
                    ? roundShillings(decimalOf(loan->interestRate) * loan->balance / 1200 +
                                     loan->balance / payments)
                    : 0;
        }
        rec.otherDeductions += item.amount;
        if (type == ItemType::PensionContribution && !def.taxable) {
            relief += item.amount;
            const auto* pension = std::get_if<common::PensionParams>(&item.params);
            if (s.taxEmployerPension && pension)
                relief += pension->employerContribution;
        }
    }
    rec.pensionRelief = rec.pensionDeduction =
        std::min(static_cast<double>(s.payeParams.maxPension), relief);
    rec.chargeablePay = rec.taxablePay - rec.pensionRelief;
    if (rec.payeApplies) {
        const auto h = static_cast<std::size_t>(afterJune_);
        if (s.taxAverage) {
            const long n = std::max(0, rec.halfYearMonths[h]) + 1;
            const long perMonth =
                PAYE((rec.chargeablePay + rec.halfYearTaxable[h]) / static_cast<double>(n),
                     rec.useTopTaxRate != 0);
            rec.paye = static_cast<double>(perMonth * n) - rec.halfYearPaye[h];
        } else {
            rec.paye = static_cast<double>(
                           PAYE(rec.chargeablePay + rec.monthTaxable, rec.useTopTaxRate != 0)) -
                       rec.monthPaye;
        }
    } else {
        rec.paye = 0;
    }
    rec.statutoryDeductions = rec.lumpSumTax + rec.paye + rec.nssfEmployee;

    // 8. Refunds.
    rec.totalRefunds = rec.roundingBF + sumSalaryPercentageItems(rec.refunds, rec.fullPay);

    // 9. Net pay.
    rec.totalPay = rec.totalRefunds + rec.totalLumpSums + rec.grossPay;
    rec.totalDeductions = rec.statutoryDeductions + rec.otherDeductions;
    rec.roundingCF = 0;
    if (rec.totalPay > rec.totalDeductions) {
        rec.deficit = 0;
        rec.netPay = common::decimalValue(rec.totalPay - rec.totalDeductions);
        // A rounding unit of 0 would divide by zero: such a payroll pays exactly.
        if (s.roundNetPay && rec.payMethod == common::kPayByCash && s.roundingUnit > 0) {
            const double r = common::decimalValue(std::fmod(rec.netPay, s.roundingUnit));
            rec.roundingCF = r;
            rec.otherDeductions += r;
            rec.totalDeductions += r;
            rec.netPay -= r;
        }
    } else {
        rec.deficit = common::decimalValue(rec.totalDeductions - rec.totalPay);
        rec.totalPay = rec.totalDeductions;
        rec.netPay = 0;
    }

    // 10. Skills and development levy.
    rec.sdl = s.paySdl ? floorShillings(percentOf(rec.grossPay, decimalOf(s.sdlRate.rate))) : 0;
}

} // namespace kelo::paycalc
