#include "paycalc/tests/PaycalcFixture.h"

#include <gtest/gtest.h>
#include <string_view>
#include <utility>
#include <vector>

namespace kelo::paycalc {
namespace {

using common::VARIATIONSREC;
using testing::employee;
using testing::Engine;
using testing::item;
using testing::itemDef;
using testing::tanzania2025;

// Cases worked by hand with the 2025/26 figures of Tanzania mainland:
//   PAYE on monthly chargeable pay: 0 % to 270,000; 8 % to 520,000 (20,000
//   at the top); 20 % to 760,000 (68,000); 25 % to 1,000,000 (128,000);
//   30 % above.
//   NSSF 10 % employee + 10 % employer, rounded down; SDL 3.5 % of gross pay,
//   rounded down; employer pension contributions (NSSF included) are a
//   taxable benefit and relieved as pension; no cap on pension relief.
// Each case lists the computed fields it pins down.
using Expected = std::vector<std::pair<std::string_view, double>>;

double field(const VARIATIONSREC& r, std::string_view name) {
    static const std::pair<std::string_view, double VARIATIONSREC::*> kFields[] = {
        {"fullPay", &VARIATIONSREC::fullPay},
        {"basicPay", &VARIATIONSREC::basicPay},
        {"overtimePay", &VARIATIONSREC::overtimePay},
        {"grossPay", &VARIATIONSREC::grossPay},
        {"taxableEarnings", &VARIATIONSREC::taxableEarnings},
        {"nssfEmployee", &VARIATIONSREC::nssfEmployee},
        {"nssfEmployer", &VARIATIONSREC::nssfEmployer},
        {"employerPensionBenefit", &VARIATIONSREC::employerPensionBenefit},
        {"loanBenefit", &VARIATIONSREC::loanBenefit},
        {"housingBenefit", &VARIATIONSREC::housingBenefit},
        {"totalBenefits", &VARIATIONSREC::totalBenefits},
        {"taxablePay", &VARIATIONSREC::taxablePay},
        {"pensionRelief", &VARIATIONSREC::pensionRelief},
        {"chargeablePay", &VARIATIONSREC::chargeablePay},
        {"paye", &VARIATIONSREC::paye},
        {"statutoryDeductions", &VARIATIONSREC::statutoryDeductions},
        {"otherDeductions", &VARIATIONSREC::otherDeductions},
        {"totalPay", &VARIATIONSREC::totalPay},
        {"totalDeductions", &VARIATIONSREC::totalDeductions},
        {"netPay", &VARIATIONSREC::netPay},
        {"roundingCF", &VARIATIONSREC::roundingCF},
        {"deficit", &VARIATIONSREC::deficit},
        {"sdl", &VARIATIONSREC::sdl},
    };
    for (const auto& [fieldName, member] : kFields) {
        if (fieldName == name)
            return r.*member;
    }
    ADD_FAILURE() << "no field " << name;
    return 0;
}

void expectFields(const VARIATIONSREC& r, const Expected& expected) {
    for (const auto& [name, value] : expected)
        EXPECT_EQ(field(r, name), value) << name;
}

VARIATIONSREC run(const Engine& e, const common::STATICREC& staff, VARIATIONSREC rec = {}) {
    CALCFIELDS::copyStatFields(rec, staff);
    e.calc.computeFields(rec);
    return rec;
}

TEST(WorkedExample, MonthlySalaryOfOneMillion) {
    // Salary 1,000,000, NSSF member, paid in cash without rounding.
    //   NSSF 10 % = 100,000 each side.
    //   Taxable = 1,000,000 + 100,000 employer NSSF = 1,100,000.
    //   Relief = 100,000 + 100,000 = 200,000; chargeable 900,000.
    //   PAYE = 68,000 + 25 % x (900,000 - 760,000) = 103,000.
    //   Net = 1,000,000 - 100,000 - 103,000 = 797,000; SDL 3.5 % = 35,000.
    Engine e;
    const VARIATIONSREC rec = run(e, employee(1'000'000));
    expectFields(rec, {{"basicPay", 1'000'000},
                       {"grossPay", 1'000'000},
                       {"nssfEmployee", 100'000},
                       {"nssfEmployer", 100'000},
                       {"employerPensionBenefit", 100'000},
                       {"totalBenefits", 100'000},
                       {"taxablePay", 1'100'000},
                       {"pensionRelief", 200'000},
                       {"chargeablePay", 900'000},
                       {"paye", 103'000},
                       {"statutoryDeductions", 203'000},
                       {"totalDeductions", 203'000},
                       {"netPay", 797'000},
                       {"deficit", 0},
                       {"sdl", 35'000}});
}

TEST(WorkedExample, LowPayBelowTheTaxThreshold) {
    // Salary 250,000: NSSF 25,000 each side; taxable 275,000; chargeable
    // 275,000 - 50,000 = 225,000, inside the 0 % band: no PAYE.
    // Net 250,000 - 25,000 = 225,000; SDL 8,750.
    Engine e;
    expectFields(run(e, employee(250'000)), {{"taxablePay", 275'000},
                                             {"chargeablePay", 225'000},
                                             {"paye", 0},
                                             {"netPay", 225'000},
                                             {"sdl", 8'750}});
}

TEST(WorkedExample, DailyWorkerWithDaysAbsentAndOvertime) {
    // 15,000 a day, 8 h a day, 208 h a month (26 days): full pay
    // 15,000 x 208 / 8 = 390,000. Two days absent: (26 - 2) x 15,000 =
    // 360,000. Overtime 6 h x 2,800 + 2 h x 3,750 = 16,800 + 7,500 = 24,300.
    // Gross 384,300; NSSF 38,430 each side; taxable 422,730; relief 76,860;
    // chargeable 345,870; PAYE 8 % x 75,870 = 6,069.6 -> 6,069.
    // Net 384,300 - 38,430 - 6,069 = 339,801; SDL 13,450.5 -> 13,450.
    Engine e;
    common::STATICREC staff = employee(0);
    staff.payBasis = common::kPayBasisDaily;
    staff.dailyRate = 15'000;
    staff.hoursPerDay = 8;
    staff.hoursPerMonth = 208;
    staff.timeBasis = common::kTimeDaysAbsent;
    staff.overtimeEligible = 1;
    staff.normalOvertimeRate = 2'800;
    staff.doubleOvertimeRate = 3'750;
    VARIATIONSREC rec;
    rec.timeWorked = 2;
    rec.normalOvertimeHours = 6;
    rec.doubleOvertimeHours = 2;
    expectFields(run(e, staff, rec), {{"fullPay", 390'000},
                                      {"basicPay", 360'000},
                                      {"overtimePay", 24'300},
                                      {"grossPay", 384'300},
                                      {"nssfEmployee", 38'430},
                                      {"nssfEmployer", 38'430},
                                      {"taxablePay", 422'730},
                                      {"chargeablePay", 345'870},
                                      {"paye", 6'069},
                                      {"netPay", 339'801},
                                      {"sdl", 13'450}});
}

TEST(WorkedExample, HourlyWorkerPaidForHoursPresent) {
    // 2,500 an hour for 150 hours: basic 375,000. A 10 % "Percentage of
    // Basic Pay" allowance (taxable) of 37,500. Gross 412,500; NSSF
    // 41,250 each side; taxable 453,750; chargeable 371,250; PAYE 8 % x
    // 101,250 = 8,100. Net 412,500 - 41,250 - 8,100 = 363,150; SDL
    // 14,437.5 -> 14,437.
    Engine e;
    common::STATICREC staff = employee(0);
    staff.payBasis = common::kPayBasisHourly;
    staff.hourlyRate = 2'500;
    staff.timeBasis = common::kTimeHoursPresent;
    auto allowance = itemDef("", "Percentage of Basic Pay", 10);
    allowance->taxable = 1;
    VARIATIONSREC rec;
    rec.timeWorked = 150;
    rec.earnings.push_back(item(allowance));
    rec = run(e, staff, rec);
    EXPECT_EQ(rec.earnings[0].amount, 37'500);
    expectFields(rec, {{"fullPay", 440'000},
                       {"basicPay", 375'000},
                       {"grossPay", 412'500},
                       {"taxablePay", 453'750},
                       {"chargeablePay", 371'250},
                       {"paye", 8'100},
                       {"netPay", 363'150},
                       {"sdl", 14'437}});
}

TEST(WorkedExample, HousedEmployeePayingRent) {
    // Salary 800,000; NSSF 80,000 each side; taxable before housing 880,000.
    // Housing: 15 % = 132,000, at least the expense 100,000, at most the
    // value 150,000, less rent 30,000 = 102,000. Taxable 982,000; relief
    // 160,000; chargeable 822,000; PAYE 68,000 + 25 % x 62,000 = 83,500.
    // Deductions 80,000 + 83,500 + rent 30,000; net 606,500; SDL 28,000.
    Engine e;
    common::STATICREC staff = employee(800'000);
    staff.housed = 1;
    staff.housingValue = 150'000;
    staff.housingExpense = 100'000;
    staff.rent = 30'000;
    expectFields(run(e, staff), {{"housingBenefit", 102'000},
                                 {"taxablePay", 982'000},
                                 {"chargeablePay", 822'000},
                                 {"paye", 83'500},
                                 {"otherDeductions", 30'000},
                                 {"totalDeductions", 193'500},
                                 {"netPay", 606'500},
                                 {"sdl", 28'000}});
}

TEST(WorkedExample, CompanyLoanWithTaxedBenefit) {
    // Salary 600,000 in March; a 2,400,000 loan at 3 % a year against the
    // January-June statutory rate of 5.75 %: benefit 2.75 % x 2,400,000 / 12
    // = 5,500. NSSF 60,000 each side; taxable 665,500; chargeable 545,500;
    // PAYE 20,000 + 20 % x 25,500 = 25,100. Repayment 5 % of salary =
    // 30,000 (less than the 2,406,000 owed). Net 600,000 - 60,000 - 25,100
    // - 30,000 = 484,900; SDL 21,000.
    Engine e(tanzania2025("March"));
    VARIATIONSREC rec;
    rec.deductions.push_back(item(itemDef("Company Loan Payment", "Percentage of Salary", 5), 0, 1,
                                  common::LoanParams{2'400'000, 3, 48, 0, 1}));
    rec = run(e, employee(600'000), rec);
    EXPECT_EQ(rec.deductions[0].amount, 30'000);
    expectFields(rec, {{"loanBenefit", 5'500},
                       {"totalBenefits", 65'500},
                       {"taxablePay", 665'500},
                       {"chargeablePay", 545'500},
                       {"paye", 25'100},
                       {"otherDeductions", 30'000},
                       {"netPay", 484'900},
                       {"sdl", 21'000}});
}

TEST(WorkedExample, PensionFundInsteadOfNssf) {
    // Salary 2,000,000, not an NSSF member; a pension fund taking 5 % of
    // salary (100,000) from the employee and 15 % (300,000) from the
    // employer. Taxable 2,000,000 + 300,000 = 2,300,000; relief 400,000;
    // chargeable 1,900,000; PAYE 128,000 + 30 % x 900,000 = 398,000.
    // Net 2,000,000 - 100,000 - 398,000 = 1,502,000; SDL 70,000.
    Engine e;
    common::STATICREC staff = employee(2'000'000);
    staff.nssfMember = 0;
    auto fund = itemDef("Pension Contribution", "Percentage of Salary", 5);
    common::PayItemLink link;
    link.id = 1;
    link.employer = common::EmployerContribution{"Percentage of Salary", 0, 0, 0, 15};
    fund->link = link;
    VARIATIONSREC rec;
    rec.deductions.push_back(item(fund, 0, 1, common::PensionParams{}));
    rec = run(e, staff, rec);
    EXPECT_EQ(rec.deductions[0].amount, 100'000);
    EXPECT_EQ(std::get<common::PensionParams>(rec.deductions[0].params).employerContribution,
              300'000);
    expectFields(rec, {{"nssfEmployee", 0},
                       {"employerPensionBenefit", 300'000},
                       {"taxablePay", 2'300'000},
                       {"pensionRelief", 400'000},
                       {"chargeablePay", 1'900'000},
                       {"paye", 398'000},
                       {"otherDeductions", 100'000},
                       {"netPay", 1'502'000},
                       {"sdl", 70'000}});
}

TEST(WorkedExample, AveragingInTheSecondHalfYear) {
    // October, averaging on. July to September: 3 months with 2,100,000
    // chargeable in all and 168,000 PAYE paid. This month chargeable 900,000
    // (salary 1,000,000): average (900,000 + 2,100,000) / 4 = 750,000, whose
    // PAYE is 20,000 + 20 % x 230,000 = 66,000; x 4 = 264,000 less the
    // 168,000 already paid = 96,000. The January-June figures are not used.
    CalcSettings settings = tanzania2025("October");
    settings.taxAverage = 1;
    Engine e(settings);
    VARIATIONSREC rec;
    rec.halfYearMonths = {5, 3};
    rec.halfYearTaxable = {9'000'000, 2'100'000};
    rec.halfYearPaye = {1'000'000, 168'000};
    expectFields(
        run(e, employee(1'000'000), rec),
        {{"chargeablePay", 900'000}, {"paye", 96'000}, {"netPay", 804'000}, {"sdl", 35'000}});
}

TEST(WorkedExample, CashPayRoundedToThousands) {
    // Salary 500,000 in cash, net pay rounded down to 1,000. NSSF 50,000
    // each side; chargeable 550,000 - 100,000 = 450,000; PAYE 8 % x 180,000
    // = 14,400. Net 435,600 -> 435,000; 600 is carried to next period.
    CalcSettings settings = tanzania2025();
    settings.roundNetPay = 1;
    settings.roundingUnit = 1'000;
    Engine e(settings);
    expectFields(run(e, employee(500'000)), {{"paye", 14'400},
                                             {"roundingCF", 600},
                                             {"otherDeductions", 600},
                                             {"totalDeductions", 65'000},
                                             {"netPay", 435'000}});
}

TEST(WorkedExample, DeductionsAboveThePay) {
    // Salary 300,000; a deficit of 20,000 brought forward, a keyed advance
    // of 250,000 and a canteen bill of 10,000. NSSF 30,000; chargeable
    // 330,000 - 60,000 = 270,000: no PAYE. Deductions 30,000 + 20,000 +
    // 250,000 + 10,000 = 310,000 against pay of 300,000: deficit 10,000
    // carried to next period, total pay raised to 310,000, net 0.
    Engine e;
    VARIATIONSREC rec;
    rec.deficitBF = 20'000;
    rec.deductions.push_back(item(itemDef("", "Key in"), 250'000));
    rec.deductions.push_back(item(itemDef("", "Key in"), 10'000));
    expectFields(run(e, employee(300'000), rec), {{"chargeablePay", 270'000},
                                                  {"paye", 0},
                                                  {"otherDeductions", 280'000},
                                                  {"totalDeductions", 310'000},
                                                  {"totalPay", 310'000},
                                                  {"deficit", 10'000},
                                                  {"netPay", 0},
                                                  {"sdl", 10'500}});
}

} // namespace
} // namespace kelo::paycalc
