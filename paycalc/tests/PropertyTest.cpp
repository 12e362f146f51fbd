#include "paycalc/tests/PaycalcFixture.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace kelo::paycalc {
namespace {

using common::PayItem;
using common::VARIATIONSREC;
using testing::item;
using testing::itemDef;

bool whole(double amount) {
    return std::isfinite(amount) && amount == std::round(amount);
}

// Thousands of random employees: every amount is finite, rounded amounts are
// whole shillings, and the pay adds up.
TEST(PayProperties, HoldForRandomRecords) {
    std::mt19937 random(20251);
    auto pick = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto chance = [&](double p) { return pick(0, 1) < p; };
    const char* functions[] = {"Key in",
                               "Percentage of Salary",
                               "Percentage of Basic Pay",
                               "Percentage of Gross Pay",
                               "Use Reducing Balance",
                               "Based on Hours Worked",
                               "Amortise",
                               "Nonsense"};
    const char* types[] = {"", "Company Loan Payment", "Co-op Loan Payment", "Pension Contribution",
                           "Hourly Pay"};
    for (int n = 0; n < 5'000; ++n) {
        auto settings = testing::tanzania2025(chance(0.5) ? "March" : "November");
        settings.taxAverage = chance(0.5);
        settings.taxEmployerPension = chance(0.7);
        settings.roundNetPay = chance(0.5);
        settings.roundingUnit = chance(0.1) ? 0 : static_cast<int>(pick(1, 1'000));
        settings.paySdl = chance(0.8);
        settings.payeParams.maxPension = static_cast<unsigned long>(pick(0, 400'000));
        testing::Engine e(settings);

        common::STATICREC staff = testing::employee(std::round(pick(0, 5'000'000)));
        staff.payBasis = static_cast<int>(pick(0, 3.2));
        staff.dailyRate = std::round(pick(0, 100'000));
        staff.hourlyRate = pick(0, 20'000);
        staff.hoursPerDay = static_cast<float>(pick(1, 12));
        staff.hoursPerMonth = static_cast<float>(pick(staff.hoursPerDay, 300));
        staff.timeBasis = static_cast<int>(pick(0, 5.2));
        staff.overtimeEligible = chance(0.5);
        staff.normalOvertimeRate = pick(0, 5'000);
        staff.doubleOvertimeRate = pick(0, 8'000);
        staff.housed = chance(0.3);
        staff.housingValue = pick(0, 500'000);
        staff.housingExpense = pick(0, 300'000);
        staff.rent = std::round(pick(0, 100'000));
        staff.payMethod = static_cast<int>(pick(0, 2.99));
        staff.useTopTaxRate = chance(0.1);
        staff.nssfMember = chance(0.8);
        staff.payeApplies = chance(0.9);

        VARIATIONSREC rec;
        rec.timeWorked = static_cast<float>(pick(0, 30));
        rec.normalOvertimeHours = static_cast<float>(pick(0, 40));
        rec.doubleOvertimeHours = static_cast<float>(pick(0, 20));
        rec.deficitBF = chance(0.2) ? std::round(pick(0, 200'000)) : 0;
        rec.roundingBF = chance(0.2) ? std::round(pick(0, 999)) : 0;
        rec.halfYearMonths = {static_cast<int>(pick(0, 6)), static_cast<int>(pick(0, 6))};
        rec.halfYearTaxable = {std::round(pick(0, 5e6)), std::round(pick(0, 5e6))};
        rec.halfYearPaye = {std::round(pick(0, 1e6)), std::round(pick(0, 1e6))};
        rec.monthTaxable = chance(0.2) ? std::round(pick(0, 1e6)) : 0;
        for (auto* list :
             {&rec.earnings, &rec.deductions, &rec.benefits, &rec.lumpSums, &rec.refunds}) {
            const int count = static_cast<int>(pick(0, 5));
            for (int i = 0; i < count; ++i) {
                auto def = itemDef(types[static_cast<int>(pick(0, 4.99))],
                                   functions[static_cast<int>(pick(0, 7.99))],
                                   static_cast<float>(pick(0, 30)));
                def->applyLimits = chance(0.3);
                def->lowerLimit = std::round(pick(0, 50'000));
                def->upperLimit = def->lowerLimit + std::round(pick(0, 500'000));
                def->taxable = chance(0.5);
                def->funcParams.rateKind = chance(0.5) ? common::kBasicPayRateKind : 0;
                def->funcParams.factor = static_cast<float>(pick(0, 3));
                common::PayItemParams params = common::newPayItem(def).params;
                if (auto* loan = std::get_if<common::LoanParams>(&params)) {
                    *loan = {std::round(pick(0, 3e6)), static_cast<float>(pick(0, 20)),
                             static_cast<int>(pick(-2, 60)), 0, chance(0.5)};
                } else if (auto* hours = std::get_if<common::HourlyParams>(&params)) {
                    *hours = {static_cast<float>(pick(0, 50)), pick(0, 5'000)};
                }
                list->push_back(item(def, std::round(pick(0, 100'000)), chance(0.8), params));
            }
        }
        CALCFIELDS::copyStatFields(rec, staff);
        e.calc.computeFields(rec);

        SCOPED_TRACE("record " + std::to_string(n));
        for (double rounded : {rec.basicPay, rec.overtimePay, rec.nssfEmployee, rec.nssfEmployer,
                               rec.sdl, rec.housingBenefit, rec.loanBenefit, rec.paye})
            ASSERT_TRUE(whole(rounded)) << rounded;
        for (const auto* list :
             {&rec.earnings, &rec.deductions, &rec.benefits, &rec.lumpSums, &rec.refunds}) {
            for (const PayItem& it : *list)
                ASSERT_TRUE(whole(it.amount)) << it.definition->itemFunction;
        }
        for (double amount : {rec.fullPay, rec.grossPay, rec.taxablePay, rec.chargeablePay,
                              rec.totalPay, rec.totalDeductions, rec.netPay, rec.deficit,
                              rec.roundingCF, rec.pensionRelief, rec.otherDeductions})
            ASSERT_TRUE(std::isfinite(amount));
        ASSERT_GE(rec.netPay, 0);
        ASSERT_GE(rec.housingBenefit, 0);
        ASSERT_GE(rec.loanBenefit, 0);
        if (rec.netPay > 0) {
            ASSERT_NEAR(rec.totalPay - rec.totalDeductions, rec.netPay, 1e-6);
            ASSERT_EQ(rec.deficit, 0);
        } else {
            ASSERT_NEAR(rec.totalPay, rec.totalDeductions, 1e-6);
            ASSERT_GE(rec.deficit, 0);
        }
    }
}

} // namespace
} // namespace kelo::paycalc
