#include "paycalc/tests/PaycalcFixture.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kelo::paycalc {
namespace {

using common::PayItem;
using common::VARIATIONSREC;
using testing::item;
using testing::itemDef;

bool whole(double amount) {
    return std::isfinite(amount) && amount == std::round(amount);
}

double sum(const std::vector<PayItem>& items, bool taxableOnly = false) {
    double total = 0;
    for (const PayItem& it : items) {
        if (!taxableOnly || it.definition->taxable)
            total += it.amount;
    }
    return total;
}

const char* const kFunctions[] = {"Key in",
                                  "Percentage of Salary",
                                  "Percentage of Basic Pay",
                                  "Percentage of Gross Pay",
                                  "Use Reducing Balance",
                                  "Based on Hours Worked",
                                  "Amortise",
                                  "Nonsense"};
const char* const kTypes[] = {
    "",           "Company Loan Payment", "Co-op Loan Payment",   "Pension Contribution",
    "Hourly Pay", "Bank Loan Payment",    "Savings Plan Deposit", "Cost Recovery"};
const char* const kMonths[] = {"January",  "march",  "JUNE", "July", "sEPTEMBER",
                               "December", "Smarch", "",     "Juni"};

// Random records whose keyed amounts are whole shillings; rates, hours and
// the pay rate of hourly workers are not.
class RandomRecords {
public:
    explicit RandomRecords(unsigned seed) : random_(seed) {}

    double pick(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random_);
    }
    int pickInt(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }
    bool chance(double p) { return pick(0, 1) < p; }
    double shillings(double high) { return std::round(pick(0, high)); }
    float rate(double high) { return static_cast<float>(std::round(pick(0, high) * 100) / 100); }
    template <typename T, std::size_t N> T oneOf(T const (&list)[N]) {
        return list[static_cast<std::size_t>(pickInt(0, static_cast<int>(N) - 1))];
    }

    CalcSettings settings() {
        CalcSettings s = testing::tanzania2025(oneOf(kMonths));
        s.nssfRates = {rate(20), rate(20)};
        s.sdlRate.rate = rate(6);
        s.taxAverage = chance(0.5);
        s.taxEmployerPension = chance(0.7);
        s.roundNetPay = chance(0.5);
        s.roundingUnit = chance(0.1) ? pickInt(-10, 0) : pickInt(1, 1'000);
        s.paySdl = chance(0.8);
        s.payeParams.maxPension =
            chance(0.3) ? 999'999'999 : static_cast<unsigned long>(shillings(400'000));
        return s;
    }

    common::STATICREC employee() {
        common::STATICREC staff = testing::employee(shillings(5'000'000));
        staff.payBasis = pickInt(-1, 3);
        staff.dailyRate = shillings(100'000);
        staff.hourlyRate = pick(0, 20'000);
        staff.hoursPerDay = chance(0.05) ? 0 : rate(12);
        staff.hoursPerMonth = chance(0.05) ? 0 : rate(300);
        staff.timeBasis = pickInt(-1, 5);
        staff.overtimeEligible = chance(0.5);
        staff.normalOvertimeRate = pick(0, 5'000);
        staff.doubleOvertimeRate = pick(0, 8'000);
        staff.housed = chance(0.3);
        staff.housingValue = pick(0, 500'000);
        staff.housingExpense = pick(0, 300'000);
        staff.rent = chance(0.3) ? shillings(100'000) : 0;
        staff.payMethod = pickInt(0, 2);
        staff.useTopTaxRate = chance(0.1);
        staff.nssfMember = chance(0.8);
        staff.payeApplies = chance(0.9);
        return staff;
    }

    PayItem payItem() {
        auto def = itemDef(oneOf(kTypes), oneOf(kFunctions), rate(30));
        def->applyLimits = chance(0.3);
        def->lowerLimit = shillings(50'000);
        def->upperLimit = def->lowerLimit + shillings(500'000);
        def->taxable = chance(0.5);
        def->funcParams.rateKind = chance(0.5) ? common::kBasicPayRateKind : pickInt(0, 3);
        def->funcParams.factor = rate(3);
        if (def->itemType == common::kTypePensionContribution && chance(0.8)) {
            common::PayItemLink link;
            link.id = pickInt(1, 5);
            if (chance(0.9))
                link.employer =
                    common::EmployerContribution{oneOf(kFunctions), chance(0.3), shillings(20'000),
                                                 20'000 + shillings(300'000), rate(20)};
            def->link = link;
        }
        common::PayItemParams params = common::newPayItem(def).params;
        if (auto* loan = std::get_if<common::LoanParams>(&params)) {
            *loan = {shillings(3e6), rate(25), pickInt(-2, 60), 0, chance(0.5)};
        } else if (auto* hours = std::get_if<common::HourlyParams>(&params)) {
            *hours = {rate(50), pick(0, 5'000)};
        } else if (auto* pension = std::get_if<common::PensionParams>(&params)) {
            pension->employerContribution = shillings(50'000);
        }
        return item(def, shillings(100'000), chance(0.8), params);
    }

    VARIATIONSREC record() {
        VARIATIONSREC rec;
        rec.timeWorked = rate(30);
        rec.normalOvertimeHours = rate(40);
        rec.doubleOvertimeHours = rate(20);
        rec.deficitBF = chance(0.2) ? shillings(200'000) : 0;
        rec.roundingBF = chance(0.2) ? shillings(999) : 0;
        rec.lumpSumTax = chance(0.1) ? shillings(50'000) : 0;
        rec.fullPay = shillings(100'000); // kept for a pay basis out of range
        rec.basicPay = shillings(100'000);
        rec.halfYearMonths = {pickInt(0, 5), pickInt(0, 5)};
        rec.halfYearTaxable = {shillings(5e6), shillings(5e6)};
        rec.halfYearPaye = {shillings(1e6), shillings(1e6)};
        rec.monthTaxable = chance(0.2) ? shillings(1e6) : 0;
        rec.monthPaye = chance(0.2) ? shillings(1e5) : 0;
        for (auto* list :
             {&rec.earnings, &rec.deductions, &rec.benefits, &rec.lumpSums, &rec.refunds}) {
            const int count = pickInt(0, 5);
            for (int i = 0; i < count; ++i)
                list->push_back(payItem());
        }
        return rec;
    }

private:
    std::mt19937 random_;
};

// Thousands of random employees: every amount is finite, rounded amounts are
// whole shillings, and the pay adds up.
TEST(PayProperties, HoldForRandomRecords) {
    RandomRecords random(20251);
    // How often the records reach the branches worth reaching.
    int deficits = 0, roundings = 0, housing = 0, loans = 0, refunds = 0, capped = 0;
    for (int n = 0; n < 10'000; ++n) {
        const CalcSettings settings = random.settings();
        testing::Engine e(settings);
        if (random.chance(0.05))
            e.calc.load(settings, nullptr, nullptr, 0); // a year without bands
        const common::STATICREC staff = random.employee();
        VARIATIONSREC rec = random.record();
        CALCFIELDS::copyStatFields(rec, staff);
        e.calc.computeFields(rec);

        SCOPED_TRACE("record " + std::to_string(n));
        // Whole shillings wherever the calculation rounds, and so wherever it
        // only adds up whole amounts.
        for (double amount : {rec.fullPay,
                              rec.basicPay,
                              rec.overtimePay,
                              rec.nssfEmployee,
                              rec.nssfEmployer,
                              rec.sdl,
                              rec.housingBenefit,
                              rec.loanBenefit,
                              rec.paye,
                              rec.employerPensionBenefit,
                              rec.grossPay,
                              rec.taxableEarnings,
                              rec.totalBenefits,
                              rec.taxablePay,
                              rec.pensionRelief,
                              rec.chargeablePay,
                              rec.otherDeductions,
                              rec.statutoryDeductions,
                              rec.totalLumpSums,
                              rec.totalRefunds,
                              rec.totalPay,
                              rec.totalDeductions,
                              rec.netPay,
                              rec.deficit,
                              rec.roundingCF})
            ASSERT_TRUE(whole(amount)) << amount;
        for (const auto* list :
             {&rec.earnings, &rec.deductions, &rec.benefits, &rec.lumpSums, &rec.refunds}) {
            for (const PayItem& it : *list) {
                ASSERT_TRUE(whole(it.amount)) << it.definition->itemFunction;
                if (const auto* hours = std::get_if<common::HourlyParams>(&it.params)) {
                    ASSERT_TRUE(std::isfinite(hours->hourlyRate));
                } else if (const auto* pension = std::get_if<common::PensionParams>(&it.params)) {
                    ASSERT_TRUE(whole(pension->employerContribution));
                }
            }
        }

        // Never below zero.
        ASSERT_GE(rec.netPay, 0);
        ASSERT_GE(rec.deficit, 0);
        ASSERT_GE(rec.housingBenefit, 0);
        ASSERT_GE(rec.loanBenefit, 0);
        // Gross pay itself goes below zero when more time is absent than the
        // period holds; the levies follow it.
        if (rec.grossPay >= 0) {
            ASSERT_GE(rec.nssfEmployee, 0);
            ASSERT_GE(rec.nssfEmployer, 0);
            ASSERT_GE(rec.sdl, 0);
        }

        // Each total is the sum of its parts.
        ASSERT_EQ(rec.grossPay, rec.basicPay + rec.overtimePay + sum(rec.earnings));
        ASSERT_EQ(rec.taxableEarnings, rec.basicPay + rec.overtimePay + sum(rec.earnings, true));
        ASSERT_EQ(rec.totalBenefits,
                  sum(rec.benefits) +
                      (settings.taxEmployerPension ? rec.employerPensionBenefit : 0) +
                      rec.loanBenefit);
        ASSERT_EQ(rec.taxablePay, rec.totalBenefits + rec.taxableEarnings + rec.housingBenefit);
        ASSERT_LE(rec.pensionRelief, static_cast<double>(settings.payeParams.maxPension));
        ASSERT_EQ(rec.pensionDeduction, rec.pensionRelief);
        ASSERT_EQ(rec.chargeablePay, rec.taxablePay - rec.pensionRelief);
        ASSERT_EQ(rec.statutoryDeductions, rec.lumpSumTax + rec.paye + rec.nssfEmployee);
        ASSERT_EQ(rec.otherDeductions,
                  rec.deficitBF + rec.rent + sum(rec.deductions) + rec.roundingCF);
        ASSERT_EQ(rec.totalLumpSums, sum(rec.lumpSums));
        ASSERT_EQ(rec.totalRefunds, rec.roundingBF + sum(rec.refunds));
        ASSERT_EQ(rec.totalDeductions, rec.statutoryDeductions + rec.otherDeductions);

        // Net pay, or the deficit when the deductions exceed the pay.
        const double pay = rec.totalRefunds + rec.totalLumpSums + rec.grossPay;
        ASSERT_EQ(rec.totalPay - rec.totalDeductions, rec.netPay);
        ASSERT_EQ(rec.totalPay, std::max(pay, rec.totalDeductions));
        if (rec.deficit > 0) {
            ASSERT_EQ(rec.deficit, rec.totalDeductions - pay);
            ASSERT_EQ(rec.netPay, 0);
        }
        if (rec.netPay > 0) {
            ASSERT_EQ(rec.deficit, 0);
        }

        // What is held back is less than one rounding unit, and only for cash.
        const bool rounds = settings.roundNetPay && settings.roundingUnit > 0 &&
                            rec.payMethod == common::kPayByCash && rec.deficit == 0;
        if (rounds) {
            ASSERT_GE(rec.roundingCF, 0);
            ASSERT_LT(rec.roundingCF, settings.roundingUnit);
            ASSERT_EQ(std::fmod(rec.netPay, settings.roundingUnit), 0);
        } else {
            ASSERT_EQ(rec.roundingCF, 0);
        }

        // Switched off means 0.
        if (!rec.payeApplies) {
            ASSERT_EQ(rec.paye, 0);
        }
        if (!rec.nssfMember) {
            ASSERT_EQ(rec.nssfEmployee, 0);
            ASSERT_EQ(rec.nssfEmployer, 0);
        }
        if (!settings.paySdl) {
            ASSERT_EQ(rec.sdl, 0);
        }
        if (!rec.housed) {
            ASSERT_EQ(rec.housingBenefit, 0);
        }

        deficits += rec.deficit > 0;
        roundings += rec.roundingCF > 0;
        housing += rec.housingBenefit > 0;
        loans += rec.loanBenefit > 0;
        refunds += rec.paye < 0;
        capped += rec.pensionRelief == static_cast<double>(settings.payeParams.maxPension);
    }
    for (int count : {deficits, roundings, housing, loans, refunds, capped})
        EXPECT_GT(count, 50);
}

// The same records computed twice give the same fields: nothing computed is
// read back as input.
TEST(PayProperties, RecomputingChangesNothing) {
    RandomRecords random(7);
    for (int n = 0; n < 2'000; ++n) {
        const CalcSettings settings = random.settings();
        const testing::Engine e(settings);
        const common::STATICREC staff = random.employee();
        VARIATIONSREC rec = random.record();
        CALCFIELDS::copyStatFields(rec, staff);
        e.calc.computeFields(rec);
        VARIATIONSREC again = rec;
        CALCFIELDS::copyStatFields(again, staff);
        e.calc.computeFields(again);
        SCOPED_TRACE("record " + std::to_string(n));
        for (auto member :
             {&VARIATIONSREC::fullPay, &VARIATIONSREC::basicPay, &VARIATIONSREC::grossPay,
              &VARIATIONSREC::taxablePay, &VARIATIONSREC::chargeablePay, &VARIATIONSREC::paye,
              &VARIATIONSREC::otherDeductions, &VARIATIONSREC::netPay, &VARIATIONSREC::deficit,
              &VARIATIONSREC::roundingCF, &VARIATIONSREC::sdl})
            ASSERT_EQ(again.*member, rec.*member);
    }
}

} // namespace
} // namespace kelo::paycalc
