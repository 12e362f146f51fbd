#include "paycalc/tests/PaycalcFixture.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kelo::paycalc {
namespace {

using common::LoanParams;
using common::PayItem;
using common::VARIATIONSREC;
using testing::employee;
using testing::Engine;
using testing::item;
using testing::itemDef;
using testing::tanzania2025;

VARIATIONSREC computed(Engine& e, const common::STATICREC& staff, VARIATIONSREC rec = {}) {
    CALCFIELDS::copyStatFields(rec, staff);
    e.calc.computeFields(rec);
    return rec;
}

TEST(CalcFields, BasicPayForEveryPayAndTimeBasis) {
    // 176 hours a month, 8 a day: every rate below is worth 176,000 a month.
    struct Case {
        int payBasis;
        double rate;
        int timeBasis;
        float time;
        double basic;
        double full = 176'000;
    };
    std::vector<Case> cases;
    const std::pair<int, double> bases[] = {{0, 176'000}, {1, 8'000}, {2, 1'000}};
    for (auto [basis, rate] : bases) {
        cases.push_back({basis, rate, 0, 0, 176'000});
        cases.push_back({basis, rate, 1, 2, 160'000}); // 2 days absent
        cases.push_back({basis, rate, 2, 4, 172'000}); // 4 hours absent
        cases.push_back({basis, rate, 3, 10, 80'000}); // 10 days present
        cases.push_back({basis, rate, 4, 20, 20'000}); // 20 hours present
    }
    cases.push_back({0, 100'000, 1, 1, 95'455, 100'000}); // 95,454.55 rounded
    cases.push_back({2, 1'000.5, 4, 0.5f, 500, 176'088}); // 500.25 rounded
    for (const Case& c : cases) {
        Engine e;
        common::STATICREC staff = employee(0);
        staff.payBasis = c.payBasis;
        staff.salary = staff.dailyRate = staff.hourlyRate = c.rate;
        staff.timeBasis = c.timeBasis;
        VARIATIONSREC rec;
        rec.timeWorked = c.time;
        rec = computed(e, staff, rec);
        EXPECT_EQ(rec.basicPay, c.basic) << "basis " << c.payBasis << " time " << c.timeBasis;
        EXPECT_EQ(rec.fullPay, c.full) << "basis " << c.payBasis;
    }
}

TEST(CalcFields, OutOfRangeBasesKeepWhatIsStored) {
    Engine e;
    common::STATICREC staff = employee(500'000);
    staff.payBasis = 7;
    VARIATIONSREC rec;
    rec.payRate = 42;
    rec.fullPay = 1'000;
    rec.basicPay = 1'234.5;
    rec = computed(e, staff, rec);
    EXPECT_EQ(rec.payRate, 42); // copy leaves the rate alone
    EXPECT_EQ(rec.fullPay, 1'000);
    EXPECT_EQ(rec.basicPay, 1'235); // then rounded
    staff.payBasis = 0;
    staff.timeBasis = 9;
    rec.basicPay = 777.4;
    rec = computed(e, staff, rec);
    EXPECT_EQ(rec.basicPay, 777);
}

TEST(CalcFields, MissingWorkingHoursNeverGiveInfiniteAmounts) {
    Engine e;
    common::STATICREC staff = employee(0);
    staff.payBasis = 1;
    staff.dailyRate = 10'000;
    staff.hoursPerDay = 0;
    staff.hoursPerMonth = 0;
    for (int timeBasis = 0; timeBasis <= 4; ++timeBasis) {
        staff.timeBasis = timeBasis;
        VARIATIONSREC rec;
        rec.timeWorked = 3;
        rec = computed(e, staff, rec);
        EXPECT_TRUE(std::isfinite(rec.basicPay)) << timeBasis;
        EXPECT_TRUE(std::isfinite(rec.netPay)) << timeBasis;
    }
}

TEST(CalcFields, OvertimeOnlyWhenEligible) {
    Engine e;
    common::STATICREC staff = employee(100'000);
    staff.normalOvertimeRate = 1'500.25;
    staff.doubleOvertimeRate = 2'000;
    VARIATIONSREC rec;
    rec.normalOvertimeHours = 2;
    rec.doubleOvertimeHours = 1.5f;
    EXPECT_EQ(computed(e, staff, rec).overtimePay, 0);
    staff.overtimeEligible = 1;
    EXPECT_EQ(computed(e, staff, rec).overtimePay, 6'001); // 3,000.5 + 3,000 rounded up
}

TEST(CalcFields, PercentageEarningsWithLimitsAndActivity) {
    struct Case {
        float percent;
        int applyLimits;
        double lower, upper;
        int active;
        double amount;
    };
    const Case cases[] = {
        {3.6f, 0, 0, 0, 1, 36'000},        // exact decimal value
        {10, 1, 120'000, 1e9, 1, 120'000}, // raised to the lower limit
        {10, 1, 100'000, 1e9, 1, 100'000}, // equal to it
        {10, 1, 0, 50'000, 1, 50'000},     // lowered to the upper limit
        {10, 0, 120'000, 50'000, 1, 100'000}, {10, 1, 120'000, 1e9, 0, 0}, // inactive
        {0.35f, 0, 0, 0, 1, 3'500},
    };
    for (const Case& c : cases) {
        Engine e;
        auto def = itemDef("", "Percentage of Salary", c.percent);
        def->applyLimits = c.applyLimits;
        def->lowerLimit = c.lower;
        def->upperLimit = c.upper;
        def->taxable = 1;
        VARIATIONSREC rec;
        rec.earnings.push_back(item(def, 0, c.active));
        rec = computed(e, employee(1'000'000), rec);
        EXPECT_EQ(rec.earnings[0].amount, c.amount) << c.percent;
        EXPECT_EQ(rec.grossPay, 1'000'000 + c.amount);
        EXPECT_EQ(rec.taxableEarnings, 1'000'000 + c.amount);
    }
}

TEST(CalcFields, HoursKeyedAndOtherEarnings) {
    Engine e;
    auto byBasicRate = itemDef("Hourly Pay", "Based on Hours Worked");
    byBasicRate->funcParams.rateKind = common::kBasicPayRateKind;
    byBasicRate->funcParams.factor = 1.5f;
    auto keyedRate = itemDef("Hourly Pay", "Based on Hours Worked");
    auto keyIn = itemDef("", "Key in");
    auto notTaxed = itemDef("", "Key in");
    keyIn->taxable = 1;
    VARIATIONSREC rec;
    rec.earnings.push_back(item(byBasicRate, 0, 1, common::HourlyParams{10, 0}));
    rec.earnings.push_back(item(keyedRate, 0, 1, common::HourlyParams{3, 333.5}));
    rec.earnings.push_back(item(keyIn, 2'500, 0)); // an inactive keyed amount stands
    rec.earnings.push_back(item(notTaxed, 1'000));
    rec.earnings.push_back(item(keyedRate, 99, 0, common::HourlyParams{3, 333.5}));
    rec = computed(e, employee(176'000), rec);
    EXPECT_EQ(std::get<common::HourlyParams>(rec.earnings[0].params).hourlyRate, 1'500);
    EXPECT_EQ(rec.earnings[0].amount, 15'000);
    EXPECT_EQ(rec.earnings[1].amount, 1'001); // 1,000.5 rounded up
    EXPECT_EQ(rec.earnings[2].amount, 2'500);
    EXPECT_EQ(rec.earnings[4].amount, 0);
    EXPECT_EQ(rec.grossPay, 176'000 + 15'000 + 1'001 + 2'500 + 1'000);
    EXPECT_EQ(rec.taxableEarnings, 176'000 + 2'500);
}

std::shared_ptr<common::PayItemDef> pensionDef(const char* fundFunction, float percent) {
    auto def = itemDef("Pension Contribution", "Percentage of Salary", 5);
    common::PayItemLink link;
    link.id = 1;
    link.employer = common::EmployerContribution{fundFunction, 0, 0, 0, percent};
    def->link = link;
    return def;
}

TEST(CalcFields, EmployerPensionIsABenefitAndRelievedWhenTheOptionIsOn) {
    for (int option : {1, 0}) {
        common::STATICREC staff = employee(1'000'000);
        auto settings = tanzania2025();
        settings.taxEmployerPension = option;
        Engine e(settings);
        VARIATIONSREC rec;
        rec.deductions.push_back(
            item(pensionDef("Percentage of Gross Pay", 10), 0, 1, common::PensionParams{}));
        rec.deductions.push_back(
            item(pensionDef("Percentage of Gross Pay", 10), 0, 0, common::PensionParams{77, 0, 0}));
        rec = computed(e, staff, rec);
        EXPECT_EQ(std::get<common::PensionParams>(rec.deductions[0].params).employerContribution,
                  100'000);
        EXPECT_EQ(std::get<common::PensionParams>(rec.deductions[1].params).employerContribution,
                  0);
        EXPECT_EQ(rec.deductions[0].amount, 50'000);
        EXPECT_EQ(rec.nssfEmployer, 100'000);
        if (option) {
            EXPECT_EQ(rec.employerPensionBenefit, 200'000);
            EXPECT_EQ(rec.totalBenefits, 200'000);
            EXPECT_EQ(rec.pensionRelief, 100'000 + 100'000 + 50'000 + 100'000);
        } else {
            EXPECT_EQ(rec.employerPensionBenefit, 0);
            EXPECT_EQ(rec.totalBenefits, 0);
            EXPECT_EQ(rec.pensionRelief, 100'000 + 50'000);
        }
        EXPECT_EQ(rec.chargeablePay, rec.taxablePay - rec.pensionRelief);
    }
}

TEST(CalcFields, PensionReliefIsCappedAndTaxableItemsGiveNone) {
    auto settings = tanzania2025();
    settings.payeParams.maxPension = 150'000;
    Engine e(settings);
    auto taxed = pensionDef("Percentage of Salary", 10);
    taxed->taxable = 1;
    VARIATIONSREC rec;
    rec.deductions.push_back(item(taxed, 0, 1, common::PensionParams{}));
    rec = computed(e, employee(1'000'000), rec);
    EXPECT_EQ(rec.pensionRelief, 150'000);
    EXPECT_EQ(rec.pensionDeduction, 150'000);

    Engine uncapped;
    rec = computed(uncapped, employee(1'000'000), rec);
    EXPECT_EQ(rec.pensionRelief, 200'000); // NSSF both sides only
}

TEST(CalcFields, LowInterestLoanBenefit) {
    struct Case {
        const char* month;
        float interest;
        int taxableBenefit;
        double benefit;
    };
    const Case cases[] = {
        {"March", 0, 1, 5'750},                            // 5.75 % a year on 1,200,000 for a month
        {"August", 0, 1, 6'000},                           // the July to December rate
        {"Smarch", 0, 1, 6'000},                           // not a month: after June
        {"March", 2.5f, 1, 3'250}, {"March", 5.75f, 1, 0}, // at the statutory rate
        {"March", 9, 1, 0},                                // above it: never negative
        {"March", 0, 0, 0},                                // benefit not taxable
    };
    for (const Case& c : cases) {
        Engine e(tanzania2025(c.month));
        VARIATIONSREC rec;
        rec.deductions.push_back(item(itemDef("Company Loan Payment", "Key in"), 10'000, 1,
                                      LoanParams{1'200'000, c.interest, 12, 0, c.taxableBenefit}));
        rec = computed(e, employee(500'000), rec);
        EXPECT_EQ(rec.loanBenefit, c.benefit) << c.month << " " << c.interest;
        EXPECT_EQ(rec.totalBenefits, 50'000 + c.benefit); // with employer NSSF
    }
}

TEST(CalcFields, HousingBenefit) {
    struct Case {
        double value, expense, rent, benefit;
    };
    // Taxable pay is 1,000,000 + 100,000 employer NSSF; 15 % is 165,000.
    const Case cases[] = {
        {1e9, 0, 0, 165'000},          {120'000, 0, 0, 120'000}, {1e9, 200'000, 0, 200'000},
        {120'000, 0, 20'000, 100'000}, {120'000, 0, 200'000, 0},
    };
    for (const Case& c : cases) {
        Engine e;
        common::STATICREC staff = employee(1'000'000);
        staff.housed = 1;
        staff.housingValue = c.value;
        staff.housingExpense = c.expense;
        staff.rent = c.rent;
        const VARIATIONSREC rec = computed(e, staff);
        EXPECT_EQ(rec.housingBenefit, c.benefit) << c.value << " " << c.rent;
        EXPECT_EQ(rec.taxablePay, 1'100'000 + c.benefit);
        EXPECT_EQ(rec.rentDeducted, 1);
        EXPECT_EQ(rec.otherDeductions, c.rent);
    }
}

TEST(CalcFields, LoanDeductionsNeverExceedWhatIsOwed) {
    Engine e;
    VARIATIONSREC rec;
    rec.deductions.push_back(item(itemDef("Company Loan Payment", "Percentage of Salary", 10), 0, 1,
                                  LoanParams{10'000, 12, 3, 0, 0}));
    rec.deductions.push_back(item(itemDef("Co-op Loan Payment", "Percentage of Basic Pay", 1), 0, 1,
                                  LoanParams{50'000, 0, 3, 0, 0}));
    rec.deductions.push_back(
        item(itemDef("", "Use Reducing Balance"), 0, 1, LoanParams{120'000, 12, 12, 0, 0}));
    rec.deductions.push_back(item(itemDef("", "Use Reducing Balance"), 0, 1,
                                  LoanParams{120'000, 12, 0, 0, 0})); // no payments left
    rec.deductions.push_back(
        item(itemDef("", "Use Reducing Balance"), 55, 0, LoanParams{120'000, 12, 12, 0, 0}));
    rec.deductions.push_back(item(itemDef("", "Key in"), 4'321, 0));
    rec = computed(e, employee(1'000'000), rec);
    EXPECT_EQ(rec.deductions[0].amount, 10'100); // balance plus a month's interest
    EXPECT_EQ(rec.deductions[1].amount, 10'000);
    EXPECT_EQ(rec.deductions[2].amount, 11'200);  // 1,200 interest + 10,000
    EXPECT_EQ(rec.deductions[3].amount, 121'200); // the whole balance now
    EXPECT_EQ(rec.deductions[4].amount, 0);
    EXPECT_EQ(rec.deductions[5].amount, 4'321);
    EXPECT_EQ(rec.otherDeductions, 10'100 + 10'000 + 11'200 + 121'200 + 4'321);
}

TEST(CalcFields, PayeWithAndWithoutAveraging) {
    struct Case {
        const char* month;
        int average;
        int months;
        double halfTaxable, halfPaye, monthTaxable, monthPaye, paye;
    };
    // Chargeable pay of 1,000,000 salary with NSSF is 900,000 (PAYE 103,000).
    const Case cases[] = {
        {"March", 0, 0, 0, 0, 0, 0, 103'000},
        {"March", 0, 0, 0, 0, 100'000, 20'000, 108'000}, // PAYE(1,000,000) less earlier
        {"March", 1, 0, 0, 0, 0, 0, 103'000},            // first month of the half year
        {"March", 1, 2, 1'800'000, 206'000, 0, 0, 103'000},
        {"March", 1, 2, 600'000, 40'000, 0, 0, 15'200}, // average 500,000: 18,400 x 3 - 40,000
        {"September", 1, 2, 1'800'000, 206'000, 0, 0, 103'000},
        {"March", 1, 1, 1'500'000, 0, 0, 0, 376'000}, // average 1,200,000: 188,000 x 2
    };
    for (const Case& c : cases) {
        auto settings = tanzania2025(c.month);
        settings.taxAverage = c.average;
        Engine e(settings);
        VARIATIONSREC rec;
        const auto h = static_cast<std::size_t>(e.calc.afterJune());
        rec.halfYearMonths[h] = c.months;
        rec.halfYearTaxable[h] = c.halfTaxable;
        rec.halfYearPaye[h] = c.halfPaye;
        rec.monthTaxable = c.monthTaxable;
        rec.monthPaye = c.monthPaye;
        rec = computed(e, employee(1'000'000), rec);
        EXPECT_EQ(rec.paye, c.paye) << c.month << " " << c.months << " " << c.halfTaxable;
        EXPECT_EQ(rec.statutoryDeductions, rec.paye + rec.nssfEmployee + rec.lumpSumTax);
    }
}

TEST(CalcFields, MonthNamesChooseTheHalfYearInAnyCase) {
    struct Case {
        const char* month;
        int afterJune;
        float statutoryRate;
    };
    const Case cases[] = {{"january", 0, 5.75f}, {"JUNE", 0, 5.75f}, {"July", 1, 6.0f},
                          {"december", 1, 6.0f}, {"", 1, 6.0f},      {"Juni", 1, 6.0f}};
    for (const Case& c : cases) {
        Engine e(tanzania2025(c.month));
        EXPECT_EQ(e.calc.afterJune(), c.afterJune) << c.month;
        EXPECT_EQ(e.calc.statutoryRate(), c.statutoryRate) << c.month;
    }
}

TEST(CalcFields, NetPayRoundingOnlyForPositiveCashPay) {
    struct Case {
        int method, unit, roundOn;
        double net, carried;
    };
    const Case cases[] = {
        {common::kPayByCash, 1'000, 1, 123'000, 456}, {common::kPayByCheque, 1'000, 1, 123'456, 0},
        {common::kPayByCash, 1'000, 0, 123'456, 0},   {common::kPayByCash, 0, 1, 123'456, 0},
        {common::kPayByCash, -10, 1, 123'456, 0},     {common::kPayByCash, 50, 1, 123'450, 6},
    };
    for (const Case& c : cases) {
        auto settings = tanzania2025();
        settings.roundNetPay = c.roundOn;
        settings.roundingUnit = c.unit;
        Engine e(settings);
        common::STATICREC staff = employee(123'456);
        staff.nssfMember = staff.payeApplies = 0;
        staff.payMethod = c.method;
        const VARIATIONSREC rec = computed(e, staff);
        EXPECT_EQ(rec.netPay, c.net) << c.method << " " << c.unit;
        EXPECT_EQ(rec.roundingCF, c.carried);
        EXPECT_EQ(rec.totalPay - rec.totalDeductions, rec.netPay);
    }
}

TEST(CalcFields, DeficitAndExactlyZeroNetPay) {
    struct Case {
        double deduction, deficit, totalPay;
    };
    const Case cases[] = {{100'000, 0, 100'000}, {130'000, 30'000, 130'000}, {40'000, 0, 100'000}};
    for (const Case& c : cases) {
        Engine e;
        common::STATICREC staff = employee(100'000);
        staff.nssfMember = staff.payeApplies = 0;
        VARIATIONSREC rec;
        rec.deductions.push_back(item(itemDef("", "Key in"), c.deduction));
        rec = computed(e, staff, rec);
        EXPECT_EQ(rec.deficit, c.deficit) << c.deduction;
        EXPECT_EQ(rec.totalPay, c.totalPay);
        EXPECT_EQ(rec.netPay, std::max(0.0, 100'000 - c.deduction));
    }
}

TEST(CalcFields, LumpSumsRefundsCarriedAmountsAndSdl) {
    auto settings = tanzania2025();
    settings.paySdl = 0;
    Engine e(settings);
    common::STATICREC staff = employee(200'000);
    staff.nssfMember = staff.payeApplies = 0;
    VARIATIONSREC rec;
    rec.lumpSums.push_back(item(itemDef("", "Percentage of Salary", 50)));
    rec.lumpSums.push_back(item(itemDef("", "Key in"), 7'000));
    rec.refunds.push_back(item(itemDef("", "Key in"), 3'000));
    rec.benefits.push_back(item(itemDef("", "Percentage of Salary", 10), 0, 0));
    rec.roundingBF = 450;
    rec.deficitBF = 2'000;
    rec.lumpSumTax = 1'500;
    rec = computed(e, staff, rec);
    EXPECT_EQ(rec.totalLumpSums, 107'000);
    EXPECT_EQ(rec.totalRefunds, 3'450);
    EXPECT_EQ(rec.totalBenefits, 0);
    EXPECT_EQ(rec.otherDeductions, 2'000);
    EXPECT_EQ(rec.statutoryDeductions, 1'500);
    EXPECT_EQ(rec.netPay, 200'000 + 107'000 + 3'450 - 2'000 - 1'500);
    EXPECT_EQ(rec.sdl, 0);
}

TEST(CalcFields, CopyStatFieldsTakesTheRateOfThePayBasis) {
    common::STATICREC staff = employee(900'000);
    staff.dailyRate = 30'000;
    staff.hourlyRate = 4'000;
    staff.housed = 1;
    staff.coop1 = 3;
    staff.lastName = "Mrema";
    for (auto [basis, rate] : {std::pair{0, 900'000.0}, {1, 30'000.0}, {2, 4'000.0}, {3, 55.0}}) {
        staff.payBasis = basis;
        VARIATIONSREC rec;
        rec.payRate = 55;
        CALCFIELDS::copyStatFields(rec, staff);
        EXPECT_EQ(rec.payRate, rate) << basis;
        EXPECT_EQ(rec.rentDeducted, 1);
        EXPECT_EQ(rec.housed, 1);
        EXPECT_EQ(rec.coop1, 3);
        EXPECT_EQ(rec.lastName, "Mrema");
    }
}

} // namespace
} // namespace kelo::paycalc
