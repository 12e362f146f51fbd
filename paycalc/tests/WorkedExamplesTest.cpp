#include "paycalc/tests/PaycalcFixture.h"

#include <gtest/gtest.h>

namespace kelo::paycalc {
namespace {

using common::VARIATIONSREC;
using testing::employee;
using testing::Engine;
using testing::item;
using testing::itemDef;
using testing::tanzania2025;

// Cases worked by hand with the 2025/26 figures: PAYE 0 % to 270,000, 8 % to
// 520,000, 20 % to 760,000, 25 % to 1,000,000, 30 % above; NSSF 10 % + 10 %;
// SDL 3.5 %; employer pension taxed and relieved.
struct Expected {
    double gross, nssfEmployee, nssfEmployer, taxable, chargeable, paye, net, sdl;
};

void expectFields(const VARIATIONSREC& r, const Expected& x) {
    EXPECT_EQ(r.grossPay, x.gross);
    EXPECT_EQ(r.nssfEmployee, x.nssfEmployee);
    EXPECT_EQ(r.nssfEmployer, x.nssfEmployer);
    EXPECT_EQ(r.taxablePay, x.taxable);
    EXPECT_EQ(r.chargeablePay, x.chargeable);
    EXPECT_EQ(r.paye, x.paye);
    EXPECT_EQ(r.netPay, x.net);
    EXPECT_EQ(r.sdl, x.sdl);
}

VARIATIONSREC run(Engine& e, const common::STATICREC& staff, VARIATIONSREC rec = {}) {
    CALCFIELDS::copyStatFields(rec, staff);
    e.calc.computeFields(rec);
    return rec;
}

TEST(WorkedExample, MonthlySalaryOfOneMillion) {
    // NSSF 100,000 each side. Taxable = 1,000,000 + 100,000 employer NSSF;
    // relief = 200,000; chargeable 900,000; PAYE = 68,000 + 25 % x 140,000
    // = 103,000; net = 1,000,000 - 100,000 - 103,000 = 797,000; SDL 35,000.
    Engine e;
    expectFields(run(e, employee(1'000'000)),
                 {1'000'000, 100'000, 100'000, 1'100'000, 900'000, 103'000, 797'000, 35'000});
}

TEST(WorkedExample, DailyWorkerWithDaysAbsentAndOvertime) {
    // 15,000 a day, 8 h a day, 208 h a month: full pay 390,000. Two days
    // absent: (26 - 2) x 15,000 = 360,000. Overtime 6 h x 2,800 + 2 h x 3,750
    // = 24,300. Gross 384,300; NSSF 38,430 each side; taxable 422,730;
    // chargeable 345,870; PAYE 8 % x 75,870 = 6,069.6 -> 6,069;
    // net 384,300 - 38,430 - 6,069 = 339,801; SDL 13,450.5 -> 13,450.
    Engine e;
    common::STATICREC staff = employee(0);
    staff.payBasis = common::kPayBasisDaily;
    staff.dailyRate = 15'000;
    staff.hoursPerMonth = 208;
    staff.timeBasis = common::kTimeDaysAbsent;
    staff.overtimeEligible = 1;
    staff.normalOvertimeRate = 2'800;
    staff.doubleOvertimeRate = 3'750;
    VARIATIONSREC rec;
    rec.timeWorked = 2;
    rec.normalOvertimeHours = 6;
    rec.doubleOvertimeHours = 2;
    rec = run(e, staff, rec);
    EXPECT_EQ(rec.fullPay, 390'000);
    EXPECT_EQ(rec.basicPay, 360'000);
    EXPECT_EQ(rec.overtimePay, 24'300);
    expectFields(rec, {384'300, 38'430, 38'430, 422'730, 345'870, 6'069, 339'801, 13'450});
}

TEST(WorkedExample, HousedEmployeePayingRent) {
    // Salary 800,000; NSSF 80,000 each side; taxable before housing 880,000;
    // housing: 15 % = 132,000, at least the expense 100,000, at most the value
    // 150,000, less rent 30,000 = 102,000; taxable 982,000; chargeable
    // 822,000; PAYE 68,000 + 25 % x 62,000 = 83,500; deductions 80,000 +
    // 83,500 + rent 30,000; net 606,500; SDL 28,000.
    Engine e;
    common::STATICREC staff = employee(800'000);
    staff.housed = 1;
    staff.housingValue = 150'000;
    staff.housingExpense = 100'000;
    staff.rent = 30'000;
    const VARIATIONSREC rec = run(e, staff);
    EXPECT_EQ(rec.housingBenefit, 102'000);
    expectFields(rec, {800'000, 80'000, 80'000, 982'000, 822'000, 83'500, 606'500, 28'000});
}

TEST(WorkedExample, CompanyLoanWithTaxedBenefit) {
    // Salary 600,000; a 2,400,000 loan at 3 % a year, statutory rate 5.75 %
    // (March): benefit 2.75 % x 2,400,000 / 12 = 5,500. NSSF 60,000 each
    // side; taxable 665,500; chargeable 545,500; PAYE 20,000 + 20 % x 25,500
    // = 25,100. Repayment 50,000. Net 600,000 - 60,000 - 25,100 - 50,000 =
    // 464,900; SDL 21,000.
    Engine e;
    VARIATIONSREC rec;
    rec.deductions.push_back(item(itemDef("Company Loan Payment", "Key in"), 50'000, 1,
                                  common::LoanParams{2'400'000, 3, 48, 0, 1}));
    rec = run(e, employee(600'000), rec);
    EXPECT_EQ(rec.loanBenefit, 5'500);
    expectFields(rec, {600'000, 60'000, 60'000, 665'500, 545'500, 25'100, 464'900, 21'000});
}

TEST(WorkedExample, AveragingInTheSecondHalfYear) {
    // October, averaging on. July to September: 3 months with 2,100,000
    // chargeable in all and 168,000 PAYE paid. This month chargeable 900,000
    // (salary 1,000,000): average (900,000 + 2,100,000) / 4 = 750,000, whose
    // PAYE is 20,000 + 20 % x 230,000 = 66,000; x 4 = 264,000 less the
    // 168,000 already paid = 96,000.
    auto settings = tanzania2025("October");
    settings.taxAverage = 1;
    Engine e(settings);
    VARIATIONSREC rec;
    rec.halfYearMonths[1] = 3;
    rec.halfYearTaxable[1] = 2'100'000;
    rec.halfYearPaye[1] = 168'000;
    rec = run(e, employee(1'000'000), rec);
    EXPECT_EQ(rec.chargeablePay, 900'000);
    EXPECT_EQ(rec.paye, 96'000);
    EXPECT_EQ(rec.netPay, 1'000'000 - 100'000 - 96'000);
}

} // namespace
} // namespace kelo::paycalc
