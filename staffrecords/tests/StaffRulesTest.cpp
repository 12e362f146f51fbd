#include "staffrecords/StaffRules.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace kelo::staffrecords {
namespace {

using common::STATICREC;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A grade of 100,000 to 1,000,000 a month; at 8 hours a day and 176 a month
// that is 4,545.45 to 45,454.55 a day and 568.18 to 5,681.82 an hour.
constexpr SalaryRange kGrade{100000, 1000000};

STATICREC validRecord() {
    STATICREC rec;
    rec.empNum = "E001";
    rec.lastName = "Mushi";
    rec.otherNames = "Amina Rose";
    rec.station = 3;
    rec.startDate = common::date{2020, 15, 3};
    rec.leaveEntitlement = 28;
    rec.payFreq = common::MONTHLY;
    rec.payMethod = common::kPayByBankTransfer;
    rec.bankName = "CRDB";
    rec.branchName = "Azikiwe";
    rec.accountNum = "0150123456";
    rec.payBasis = common::kPayBasisSalary;
    rec.salary = 450000;
    rec.hoursPerDay = 8;
    rec.hoursPerMonth = 176;
    rec.timeBasis = common::kTimeDaysAbsent;
    rec.overtimeEligible = 1;
    rec.normalOvertimeRate = 3835.23;
    rec.doubleOvertimeRate = 5113.64;
    rec.housed = 1;
    rec.housingValue = 300000;
    rec.housingExpense = 120000;
    rec.rent = 20000;
    rec.payeApplies = 1;
    rec.useTopTaxRate = 1;
    rec.nssfMember = 1;
    rec.coop1 = 1;
    rec.coop2 = 2;
    rec.pensionFund1 = 4;
    rec.pensionFund2 = 5;
    return rec;
}

PostFacts validPost() {
    return PostFacts{true, kGrade};
}

std::string blank(const std::string& field) {
    return "The " + field + " must not be blank. Please enter a value.";
}

std::string invalid(const std::string& field) {
    return "This is not a valid value for the " + field + ".";
}

std::string bankBlank(const std::string& field) {
    return "For bank transfer, the \"" + field +
           "\" field must not be blank. Please enter a value for this field.";
}

struct Row {
    const char* name;
    STATPAGE page;
    std::function<void(STATICREC&, PostFacts&)> change;
    std::optional<StaffRefusal> expected; // nullopt: accepted
};

StaffRefusal refusal(std::string message, std::string field) {
    return StaffRefusal{std::move(message), std::move(field)};
}

const std::vector<Row>& rows() {
    static const std::vector<Row> table{
        // Page 1
        {"last name blank", PERSONAL_DETAILS, [](STATICREC& r, PostFacts&) { r.lastName = ""; },
         refusal(blank("Last Name"), "lastName")},
        {"last name only blanks", PERSONAL_DETAILS,
         [](STATICREC& r, PostFacts&) { r.lastName = "   "; },
         refusal(blank("Last Name"), "lastName")},
        {"last name one letter", PERSONAL_DETAILS,
         [](STATICREC& r, PostFacts&) { r.lastName = "M"; }, std::nullopt},
        {"other names blank", PERSONAL_DETAILS,
         [](STATICREC& r, PostFacts&) { r.otherNames = " "; },
         refusal(blank("Other Names"), "otherNames")},
        // Page 2
        {"no post", EMPLOYMENT_DETAILS, [](STATICREC&, PostFacts& p) { p.attached = false; },
         refusal("This employee is not attached to any post.", "post")},
        {"active, no termination date", EMPLOYMENT_DETAILS,
         [](STATICREC& r, PostFacts&) { r.terminated = 0; }, std::nullopt},
        {"terminated the day it started", EMPLOYMENT_DETAILS,
         [](STATICREC& r, PostFacts&) {
             r.terminated = 1;
             r.terminationDate = r.startDate;
         },
         std::nullopt},
        {"terminated the day before it started", EMPLOYMENT_DETAILS,
         [](STATICREC& r, PostFacts&) {
             r.terminated = 1;
             r.terminationDate = common::date{2020, 14, 3};
         },
         refusal("Start date cannot be later than termination date", "startDate")},
        {"terminated a month before it started", EMPLOYMENT_DETAILS,
         [](STATICREC& r, PostFacts&) {
             r.terminated = 1;
             r.terminationDate = common::date{2020, 20, 2};
         },
         refusal("Start date cannot be later than termination date", "startDate")},
        {"terminated without a date", EMPLOYMENT_DETAILS,
         [](STATICREC& r, PostFacts&) { r.terminated = 1; },
         refusal(blank("Termination Date"), "terminationDate")},
        {"no station", EMPLOYMENT_DETAILS, [](STATICREC& r, PostFacts&) { r.station = 0; },
         refusal(blank("Station"), "station")},
        {"leave 0", EMPLOYMENT_DETAILS, [](STATICREC& r, PostFacts&) { r.leaveEntitlement = 0; },
         std::nullopt},
        {"leave below 0", EMPLOYMENT_DETAILS,
         [](STATICREC& r, PostFacts&) { r.leaveEntitlement = -0.01f; },
         refusal(invalid("Leave Entitlement"), "leaveEntitlement")},
        {"leave 366", EMPLOYMENT_DETAILS,
         [](STATICREC& r, PostFacts&) { r.leaveEntitlement = 366; }, std::nullopt},
        {"leave above 366", EMPLOYMENT_DETAILS,
         [](STATICREC& r, PostFacts&) { r.leaveEntitlement = 366.01f; },
         refusal(invalid("Leave Entitlement"), "leaveEntitlement")},
        {"leave NaN", EMPLOYMENT_DETAILS,
         [](STATICREC& r, PostFacts&) { r.leaveEntitlement = static_cast<float>(kNaN); },
         refusal(invalid("Leave Entitlement"), "leaveEntitlement")},
        // Page 3
        {"contact details empty", CONTACT_INFO,
         [](STATICREC& r, PostFacts&) { r.office = r.email = r.mobile = r.town = ""; },
         std::nullopt},
        // Page 4
        {"pay frequency out of range", PAYMENT,
         [](STATICREC& r, PostFacts&) { r.payFreq = static_cast<common::PAYFREQ>(4); },
         refusal(invalid("Pay Frequency"), "payFreq")},
        {"irregular pay frequency", PAYMENT,
         [](STATICREC& r, PostFacts&) { r.payFreq = common::IRREGULAR; }, std::nullopt},
        {"payment mode below 0", PAYMENT, [](STATICREC& r, PostFacts&) { r.payMethod = -1; },
         refusal(invalid("Payment Mode"), "payMethod")},
        {"payment mode above 2", PAYMENT, [](STATICREC& r, PostFacts&) { r.payMethod = 3; },
         refusal(invalid("Payment Mode"), "payMethod")},
        {"transfer without bank", PAYMENT, [](STATICREC& r, PostFacts&) { r.bankName = " "; },
         refusal(bankBlank("Bank"), "bankName")},
        {"transfer without branch", PAYMENT, [](STATICREC& r, PostFacts&) { r.branchName = ""; },
         refusal(bankBlank("Branch"), "branchName")},
        {"transfer without account", PAYMENT, [](STATICREC& r, PostFacts&) { r.accountNum = ""; },
         refusal(bankBlank("Account Number"), "accountNum")},
        {"cash without bank details", PAYMENT,
         [](STATICREC& r, PostFacts&) {
             r.payMethod = common::kPayByCash;
             r.bankName = r.branchName = r.accountNum = "";
         },
         std::nullopt},
        {"cheque without bank details", PAYMENT,
         [](STATICREC& r, PostFacts&) {
             r.payMethod = common::kPayByCheque;
             r.bankName = r.branchName = r.accountNum = "";
         },
         std::nullopt},
        // Page 5
        {"pay basis out of range", BASIC_PAY, [](STATICREC& r, PostFacts&) { r.payBasis = 3; },
         refusal(invalid("Pay Basis"), "payBasis")},
        {"salary at the grade's lowest", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.salary = 100000; }, std::nullopt},
        {"salary below the grade", BASIC_PAY, [](STATICREC& r, PostFacts&) { r.salary = 99999; },
         refusal("The salary must be at least 100000.", "salary")},
        {"salary at the grade's highest", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.salary = 1000000; }, std::nullopt},
        {"salary above the grade", BASIC_PAY, [](STATICREC& r, PostFacts&) { r.salary = 1000001; },
         refusal("The salary must not exceed 1000000.", "salary")},
        {"daily rate at the lowest", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisDaily;
             r.salary = 0;
             r.dailyRate = 4545.45;
         },
         std::nullopt},
        {"daily rate below", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisDaily;
             r.salary = 0;
             r.dailyRate = 4545.44;
         },
         refusal("The daily rate must be at least 4545.45.", "dailyRate")},
        {"daily rate at the highest", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisDaily;
             r.salary = 0;
             r.dailyRate = 45454.55;
         },
         std::nullopt},
        {"daily rate above", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisDaily;
             r.salary = 0;
             r.dailyRate = 45454.56;
         },
         refusal("The daily rate must not exceed 45454.55.", "dailyRate")},
        {"daily rate at 7.5 hours a day, 162.5 a month", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisDaily;
             r.hoursPerDay = 7.5f;
             r.hoursPerMonth = 162.5f;
             r.dailyRate = 4615.37; // 100,000 / 162.5 * 7.5 = 4,615.38
         },
         refusal("The daily rate must be at least 4615.38.", "dailyRate")},
        {"hourly rate at the lowest", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisHourly;
             r.hourlyRate = 568.18;
         },
         std::nullopt},
        {"hourly rate below", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisHourly;
             r.hourlyRate = 568.17;
         },
         refusal("The hourly rate must be at least 568.18.", "hourlyRate")},
        {"hourly rate at the highest", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisHourly;
             r.hourlyRate = 5681.82;
         },
         std::nullopt},
        {"hourly rate above", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisHourly;
             r.hourlyRate = 5681.83;
         },
         refusal("The hourly rate must not exceed 5681.82.", "hourlyRate")},
        {"hourly rate with no hours: the hours are refused, not a bound of infinity", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.payBasis = common::kPayBasisHourly;
             r.hourlyRate = 1000;
             r.hoursPerDay = 8;
             r.hoursPerMonth = 0;
         },
         refusal(invalid("Hours per Month"), "hoursPerMonth")},
        {"salary out of the grade is found before bad hours", BASIC_PAY,
         [](STATICREC& r, PostFacts&) {
             r.salary = 5;
             r.hoursPerDay = 0;
         },
         refusal("The salary must be at least 100000.", "salary")},
        {"no grade: any salary", BASIC_PAY,
         [](STATICREC& r, PostFacts& p) {
             p.grade.reset();
             r.salary = 5;
         },
         std::nullopt},
        {"no grade: negative salary", BASIC_PAY,
         [](STATICREC& r, PostFacts& p) {
             p.grade.reset();
             r.salary = -1;
         },
         refusal(invalid("Salary"), "salary")},
        {"negative daily rate beside a salary", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.dailyRate = -0.01; },
         refusal(invalid("Daily Rate"), "dailyRate")},
        {"negative hourly rate beside a salary", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.hourlyRate = -0.01; },
         refusal(invalid("Hourly Rate"), "hourlyRate")},
        {"NaN salary, no grade", BASIC_PAY,
         [](STATICREC& r, PostFacts& p) {
             p.grade.reset();
             r.salary = kNaN;
         },
         refusal(invalid("Salary"), "salary")},
        {"hours per day 1", BASIC_PAY, [](STATICREC& r, PostFacts&) { r.hoursPerDay = 1; },
         std::nullopt},
        {"hours per day below 1", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.hoursPerDay = 0.99f; },
         refusal(invalid("Hours per Day"), "hoursPerDay")},
        {"hours per day 24", BASIC_PAY, [](STATICREC& r, PostFacts&) { r.hoursPerDay = 24; },
         std::nullopt},
        {"hours per day above 24", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.hoursPerDay = 24.01f; },
         refusal(invalid("Hours per Day"), "hoursPerDay")},
        {"hours per month equal to hours per day", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.hoursPerMonth = 8; }, std::nullopt},
        {"hours per month below hours per day", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.hoursPerMonth = 7.99f; },
         refusal(invalid("Hours per Month"), "hoursPerMonth")},
        {"hours per month 999", BASIC_PAY, [](STATICREC& r, PostFacts&) { r.hoursPerMonth = 999; },
         std::nullopt},
        {"hours per month 1000", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.hoursPerMonth = 1000; },
         refusal(invalid("Hours per Month"), "hoursPerMonth")},
        {"time basis hours present", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.timeBasis = common::kTimeHoursPresent; }, std::nullopt},
        {"time basis full period", BASIC_PAY,
         [](STATICREC& r, PostFacts&) { r.timeBasis = common::kTimeFullPeriod; }, std::nullopt},
        {"time basis above 4", BASIC_PAY, [](STATICREC& r, PostFacts&) { r.timeBasis = 5; },
         refusal(invalid("Time Worked"), "timeBasis")},
        {"time basis below 0", BASIC_PAY, [](STATICREC& r, PostFacts&) { r.timeBasis = -1; },
         refusal(invalid("Time Worked"), "timeBasis")},
        // Page 6
        {"normal overtime rate 0", OVERTIME,
         [](STATICREC& r, PostFacts&) { r.normalOvertimeRate = 0; }, std::nullopt},
        {"normal overtime rate negative", OVERTIME,
         [](STATICREC& r, PostFacts&) { r.normalOvertimeRate = -0.01; },
         refusal(invalid("Normal Overtime Rate"), "normalOvertimeRate")},
        {"double overtime rate 0", OVERTIME,
         [](STATICREC& r, PostFacts&) { r.doubleOvertimeRate = 0; }, std::nullopt},
        {"double overtime rate negative", OVERTIME,
         [](STATICREC& r, PostFacts&) { r.doubleOvertimeRate = -0.01; },
         refusal(invalid("Double Overtime Rate"), "doubleOvertimeRate")},
        // Page 7
        {"housing all 0", HOUSING,
         [](STATICREC& r, PostFacts&) { r.housingValue = r.housingExpense = r.rent = 0; },
         std::nullopt},
        {"housing value negative", HOUSING,
         [](STATICREC& r, PostFacts&) { r.housingValue = -0.01; },
         refusal(invalid("Value of Housing"), "housingValue")},
        {"employer's expense negative", HOUSING,
         [](STATICREC& r, PostFacts&) { r.housingExpense = -0.01; },
         refusal(invalid("Employer's Expense"), "housingExpense")},
        {"rent negative", HOUSING, [](STATICREC& r, PostFacts&) { r.rent = -0.01; },
         refusal(invalid("Rent to Employer"), "rent")},
        // Page 8
        {"no PAYE, no top rate", STATUTORY_DEDUCTIONS,
         [](STATICREC& r, PostFacts&) { r.payeApplies = r.useTopTaxRate = 0; }, std::nullopt},
        {"top rate without PAYE", STATUTORY_DEDUCTIONS,
         [](STATICREC& r, PostFacts&) { r.payeApplies = 0; },
         refusal("\"Use Top Tax Rate\" can only be set when \"Deduct PAYE\" is set.",
                 "useTopTaxRate")},
        // Page 9
        {"no co-operatives", COOPERATIVES, [](STATICREC& r, PostFacts&) { r.coop1 = r.coop2 = 0; },
         std::nullopt},
        {"second co-operative only", COOPERATIVES, [](STATICREC& r, PostFacts&) { r.coop1 = 0; },
         std::nullopt},
        {"same co-operative twice", COOPERATIVES, [](STATICREC& r, PostFacts&) { r.coop2 = 1; },
         refusal("Employee cannot belong to the same co-operative twice.", "coop2")},
        // Page 10
        {"no pension funds", PENSION_FUNDS,
         [](STATICREC& r, PostFacts&) { r.pensionFund1 = r.pensionFund2 = 0; }, std::nullopt},
        {"same pension fund twice", PENSION_FUNDS,
         [](STATICREC& r, PostFacts&) { r.pensionFund2 = 4; },
         refusal("Employee cannot belong to the same pension fund twice.", "pensionFund2")},
    };
    return table;
}

TEST(StaffRulesTest, ValidRecordPassesEveryPageAndWhole) {
    const STATICREC rec = validRecord();
    for (int page = PERSONAL_DETAILS; page <= PENSION_FUNDS; ++page)
        EXPECT_EQ(checkPage(static_cast<STATPAGE>(page), rec, validPost()), std::nullopt) << page;
    EXPECT_EQ(checkRecord(rec, validPost()), std::nullopt);
    EXPECT_EQ(checkRecord(rec, PostFacts{true, std::nullopt}), std::nullopt);
}

TEST(StaffRulesTest, EachRuleOnItsPageAndInTheWholeRecord) {
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.name);
        STATICREC rec = validRecord();
        PostFacts post = validPost();
        row.change(rec, post);
        EXPECT_EQ(checkPage(row.page, rec, post), row.expected);
        // The base record is valid, so the whole record stops at the same rule.
        EXPECT_EQ(checkRecord(rec, post), row.expected);
        // No other page objects to the change.
        for (int page = PERSONAL_DETAILS; page <= PENSION_FUNDS; ++page) {
            if (page == row.page)
                continue;
            EXPECT_EQ(checkPage(static_cast<STATPAGE>(page), rec, post), std::nullopt) << page;
        }
    }
}

TEST(StaffRulesTest, PageFunctionsMatchTheDispatcher) {
    STATICREC rec = validRecord();
    rec.lastName = "";
    rec.station = 0;
    rec.accountNum = "";
    rec.hoursPerDay = 25;
    rec.normalOvertimeRate = -1;
    rec.rent = -1;
    rec.payeApplies = 0;
    rec.coop2 = rec.coop1;
    rec.pensionFund2 = rec.pensionFund1;
    const PostFacts post = validPost();
    EXPECT_EQ(checkPersonalDetails(rec), checkPage(PERSONAL_DETAILS, rec, post));
    EXPECT_EQ(checkEmploymentDetails(rec, post), checkPage(EMPLOYMENT_DETAILS, rec, post));
    EXPECT_EQ(checkContactInfo(rec), checkPage(CONTACT_INFO, rec, post));
    EXPECT_EQ(checkPayment(rec), checkPage(PAYMENT, rec, post));
    EXPECT_EQ(checkBasicPay(rec, post.grade), checkPage(BASIC_PAY, rec, post));
    EXPECT_EQ(checkOvertime(rec), checkPage(OVERTIME, rec, post));
    EXPECT_EQ(checkHousing(rec), checkPage(HOUSING, rec, post));
    EXPECT_EQ(checkStatutoryDeductions(rec), checkPage(STATUTORY_DEDUCTIONS, rec, post));
    EXPECT_EQ(checkCoops(rec), checkPage(COOPERATIVES, rec, post));
    EXPECT_EQ(checkPensionFunds(rec), checkPage(PENSION_FUNDS, rec, post));
    EXPECT_EQ(checkPage(static_cast<STATPAGE>(11), rec, post), std::nullopt);
    EXPECT_EQ(checkPage(static_cast<STATPAGE>(0), rec, post), std::nullopt);
}

TEST(StaffRulesTest, WholeRecordGoesInPageOrder) {
    STATICREC rec = validRecord();
    rec.pensionFund2 = rec.pensionFund1;
    EXPECT_EQ(checkRecord(rec, validPost())->field, "pensionFund2");
    rec.coop2 = rec.coop1;
    EXPECT_EQ(checkRecord(rec, validPost())->field, "coop2");
    rec.payeApplies = 0;
    EXPECT_EQ(checkRecord(rec, validPost())->field, "useTopTaxRate");
    rec.rent = -1;
    EXPECT_EQ(checkRecord(rec, validPost())->field, "rent");
    rec.doubleOvertimeRate = -1;
    EXPECT_EQ(checkRecord(rec, validPost())->field, "doubleOvertimeRate");
    rec.hoursPerMonth = 1000;
    EXPECT_EQ(checkRecord(rec, validPost())->field, "hoursPerMonth");
    rec.bankName = "";
    EXPECT_EQ(checkRecord(rec, validPost())->field, "bankName");
    rec.station = 0;
    EXPECT_EQ(checkRecord(rec, validPost())->field, "station");
    EXPECT_EQ(checkRecord(rec, PostFacts{})->field, "post");
    rec.otherNames = "";
    EXPECT_EQ(checkRecord(rec, validPost())->field, "otherNames");
    rec.lastName = "";
    EXPECT_EQ(checkRecord(rec, validPost())->field, "lastName");
    rec.empNum = "  ";
    EXPECT_EQ(checkRecord(rec, validPost()), refusal(blank("Employee Number"), "empNum"));
}

TEST(StaffRulesTest, Termination) {
    struct Case {
        const char* name;
        common::date date;
        const char* reason;
        std::optional<StaffRefusal> expected;
    };
    const std::vector<Case> cases{
        {"on the start date", {2020, 15, 3}, "Resigned", std::nullopt},
        {"years later", {2031, 1, 1}, "Retired", std::nullopt},
        {"the day before the start",
         {2020, 14, 3},
         "Resigned",
         refusal("Termination date cannot be earlier than start date", "terminationDate")},
        {"a year before the start",
         {2019, 15, 3},
         "Resigned",
         refusal("Termination date cannot be earlier than start date", "terminationDate")},
        {"no date",
         {},
         "Resigned",
         refusal("Termination date cannot be earlier than start date", "terminationDate")},
        {"no reason", {2024, 1, 1}, "", refusal(blank("Reason"), "terminationReason")},
        {"blank reason", {2024, 1, 1}, "  ", refusal(blank("Reason"), "terminationReason")},
    };
    const STATICREC rec = validRecord();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(checkTermination(rec, c.date, c.reason), c.expected);
    }
}

TEST(StaffRulesTest, LumpSumTax) {
    struct Case {
        const char* name;
        double tax;
        double total;
        bool paye;
        std::optional<StaffRefusal> expected;
    };
    const StaffRefusal negative{"Tax on lump sum payments cannot be negative", "lumpSumTax"};
    const StaffRefusal tooMuch{"Tax on lump sum payments cannot exceed their total.", "lumpSumTax"};
    const StaffRefusal noPaye{"Tax on lump sum payments can only be keyed when PAYE is deducted.",
                              "lumpSumTax"};
    const std::vector<Case> cases{
        {"none", 0, 0, true, std::nullopt},
        {"none without PAYE", 0, 50000, false, std::nullopt},
        {"some", 15000, 50000, true, std::nullopt},
        {"equal to the total", 50000, 50000, true, std::nullopt},
        {"equal to a total with binary noise", 0.3, 0.1 + 0.2, true, std::nullopt},
        {"a cent above the total", 50000.01, 50000, true, tooMuch},
        {"negative", -0.01, 50000, true, negative},
        {"NaN", kNaN, 50000, true, negative},
        {"keyed without PAYE", 100, 50000, false, noPaye},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(checkLumpSumTax(c.tax, c.total, c.paye), c.expected);
    }
}

TEST(StaffRulesTest, SalaryRangeOfTheEmployeesPayFrequency) {
    database::GRADEREC grade;
    grade.lowerLimit = {100, 200, 300, 400};
    grade.upperLimit = {1000, 2000, 3000, 4000};
    const SalaryRange weekly = salaryRangeOf(grade, common::WEEKLY);
    EXPECT_EQ(weekly.lowest, 200);
    EXPECT_EQ(weekly.highest, 2000);
    const SalaryRange irregular = salaryRangeOf(grade, common::IRREGULAR);
    EXPECT_EQ(irregular.lowest, 400);
    EXPECT_EQ(irregular.highest, 4000);
    const SalaryRange none = salaryRangeOf(grade, static_cast<common::PAYFREQ>(9));
    EXPECT_EQ(none.lowest, 0);
    EXPECT_EQ(none.highest, 0);
}

struct VacancyCase {
    const char* name;
    // Holders already in place: unit, job, terms.
    std::vector<std::array<long, 3>> holders;
    long unit, job;
    long vacancies;
    StaffFault fault;
};

TEST(StaffRulesTest, APostTakesNewEmployeesWhileItHasFreePlacesOfAnyTerms) {
    // Unit 1, job 1: 2 permanent and 1 contract place; unit 1, job 2: 1
    // casual place.
    const StaffRefusal noPost{kNoVacantPostsText, std::string(kPostField)};
    const StaffRefusal postFull{kNoVacancyInPostText, std::string(kPostField)};
    const std::vector<VacancyCase> cases{
        {"no one yet", {}, 1, 1, 3, std::nullopt},
        {"two permanent holders leave the contract place",
         {{1, 1, 0}, {1, 1, 0}},
         1,
         1,
         1,
         std::nullopt},
        // 3 permanent holders on 2 places count as 2: the contract place
        // stays free.
        {"more holders than places of their terms",
         {{1, 1, 0}, {1, 1, 0}, {1, 1, 0}},
         1,
         1,
         1,
         std::nullopt},
        {"every place of the post taken", {{1, 1, 0}, {1, 1, 0}, {1, 1, 1}}, 1, 1, 0, postFull},
        {"a post not established", {}, 2, 1, 0, postFull},
        {"holders of terms outside the four hold nothing",
         {{1, 2, 4}, {1, 2, -1}},
         1,
         2,
         1,
         std::nullopt},
        {"no place free anywhere", {{1, 1, 0}, {1, 1, 0}, {1, 1, 1}, {1, 2, 3}}, 1, 2, 0, noPost},
    };
    for (const VacancyCase& c : cases) {
        PostVacancies posts;
        posts.addPost({1, 1, {2, 1, 0, 0}});
        posts.addPost({1, 2, {0, 0, 0, 1}});
        for (const auto& [unit, job, terms] : c.holders)
            posts.addHolder(unit, job, terms);
        EXPECT_EQ(posts.vacancies(c.unit, c.job), c.vacancies) << c.name;
        EXPECT_EQ(checkVacancy(posts, c.unit, c.job), c.fault) << c.name;
    }
}

} // namespace
} // namespace kelo::staffrecords
