#include "common/PayRecords.h"
#include "payrunreports/Payslips.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kelo::payrunreports {
namespace {

using Kind = PayslipLine::Kind;
using Lines = std::vector<PayslipLine>;

std::shared_ptr<const ReportItemDef> def(std::string name, std::string type, int taxable = 1) {
    auto d = std::make_shared<ReportItemDef>();
    d->name = std::move(name);
    d->reportType = std::move(type);
    d->taxable = taxable;
    return d;
}

ReportItem item(std::shared_ptr<const ReportItemDef> d, double amount, ItemFigures figures = {}) {
    return ReportItem{std::move(d), amount, std::move(figures)};
}

PayslipLine amount(std::string label, std::string figure) {
    return {Kind::Amount, std::move(label), std::move(figure)};
}
PayslipLine detail(std::string label, std::string figure) {
    return {Kind::Detail, std::move(label), std::move(figure)};
}
PayslipLine label(std::string text) {
    return {Kind::Label, std::move(text), {}};
}
PayslipLine subtotal(std::string figure) {
    return {Kind::Subtotal, {}, std::move(figure)};
}

// An employee paid 100,000 of basic pay and nothing else.
REPORTREC plain() {
    REPORTREC rec;
    rec.hoursPerDay = 8;
    rec.hoursPerMonth = 176;
    rec.payRate = 20000;
    rec.basicPay = rec.grossPay = rec.netPay = 100000;
    return rec;
}

// The lines between a heading and the end of its section.
Lines section(const Lines& lines, std::string_view heading) {
    const auto start = std::find_if(lines.begin(), lines.end(), [&](const PayslipLine& l) {
        return l.kind == Kind::Heading && l.label == heading;
    });
    if (start == lines.end())
        return {};
    const auto end =
        std::find_if(start, lines.end(), [](const PayslipLine& l) { return l.kind == Kind::End; });
    return Lines(start + 1, end);
}

bool hasHeading(const Lines& lines, std::string_view heading) {
    return std::any_of(lines.begin(), lines.end(), [&](const PayslipLine& l) {
        return l.kind == Kind::Heading && l.label == heading;
    });
}

TEST(PayslipLines, BasicPayByPayBasisAndTimeBasis) {
    using namespace common;
    struct Case {
        int payBasis, timeBasis;
        float timeWorked;
        Lines detailLines; // after "Basic Pay" and its rate; empty: the single line
    };
    const char* rates[] = {"Salary", "Daily Rate", "Hourly Rate"};
    const Case cases[] = {
        {kPayBasisSalary, kTimeFullPeriod, 0, {}},
        {kPayBasisSalary, kTimeDaysAbsent, 0, {}}, // nothing missed: one line
        {kPayBasisSalary, kTimeHoursAbsent, 0, {}},
        {kPayBasisSalary,
         kTimeDaysAbsent,
         2,
         {detail("  Days Absent", "2.00"), detail("  Standard Days", "22.00")}},
        {kPayBasisSalary,
         kTimeHoursAbsent,
         4,
         {detail("  Hours Absent", "4.00"), detail("  Standard Hours", "176.00")}},
        {kPayBasisSalary, kTimeDaysPresent, 20, {detail("  Days Present", "20.00")}},
        {kPayBasisSalary, kTimeHoursPresent, 150, {detail("  Hours Present", "150.00")}},
        {kPayBasisDaily, kTimeFullPeriod, 0, {detail("  Days Present", "22.00")}},
        {kPayBasisDaily,
         kTimeDaysAbsent,
         2,
         {detail("  Days Absent", "2.00"), detail("  Standard Days", "22.00")}},
        {kPayBasisDaily,
         kTimeHoursAbsent,
         12,
         {detail("  Days Absent", "1.50"), detail("  Standard Days", "22.00")}},
        {kPayBasisDaily, kTimeDaysPresent, 20, {detail("  Days Present", "20.00")}},
        {kPayBasisDaily, kTimeHoursPresent, 60, {detail("  Days Present", "7.50")}},
        {kPayBasisHourly, kTimeFullPeriod, 0, {detail("  Hours Present", "176.00")}},
        {kPayBasisHourly,
         kTimeDaysAbsent,
         2,
         {detail("  Hours Absent", "16.00"), detail("  Standard Hours", "176.00")}},
        {kPayBasisHourly,
         kTimeHoursAbsent,
         5,
         {detail("  Hours Absent", "5.00"), detail("  Standard Hours", "176.00")}},
        {kPayBasisHourly, kTimeDaysPresent, 20, {detail("  Hours Present", "160.00")}},
        {kPayBasisHourly, kTimeHoursPresent, 150.5f, {detail("  Hours Present", "150.50")}},
    };
    for (const Case& c : cases) {
        REPORTREC rec = plain();
        rec.payBasis = c.payBasis;
        rec.timeBasis = c.timeBasis;
        rec.timeWorked = c.timeWorked;
        const bool single = c.payBasis == kPayBasisSalary && c.detailLines.empty();
        Lines expected;
        if (single) {
            expected.push_back(amount("Basic Pay", "100,000"));
        } else {
            expected.push_back(label("Basic Pay"));
            expected.push_back(detail(rates[c.payBasis], "20,000"));
            expected.insert(expected.end(), c.detailLines.begin(), c.detailLines.end());
            expected.push_back(amount("  Amount Earned", "100,000"));
        }
        expected.push_back(subtotal("100,000"));
        EXPECT_EQ(section(payslipLines(rec, {}), "Earnings"), expected)
            << c.payBasis << " " << c.timeBasis;
    }
}

TEST(PayslipLines, ALoanPaidOnlyInInterestShowsOnlyTheInterest) {
    REPORTREC rec = plain();
    LoanFigures loan;
    loan.interestPaid = 5000;
    rec.itemsOf(common::DEDUCTIONS)
        .push_back(item(def("Staff Loan", "Company Loan Report"), 5000, loan));
    rec.totalDeductions = 5000;
    PayslipOptions options;
    options.loanBreakdown = true;
    EXPECT_EQ(section(payslipLines(rec, options), "Deductions"),
              (Lines{label("Staff Loan"), amount("  Interest", "5,000"), subtotal("5,000")}));
    options.loanBreakdown = false;
    EXPECT_EQ(section(payslipLines(rec, options), "Deductions"),
              (Lines{amount("Staff Loan", "5,000"), subtotal("5,000")}));
}

TEST(PayslipLines, EmptySectionsAreLeftOut) {
    REPORTREC rec = plain();
    // Benefits without PAYE; lump sum tax alone is no deduction.
    rec.housingBenefit = 10000;
    rec.itemsOf(common::BENEFITS).push_back(item(def("Car", "Default"), 5000));
    rec.lumpSumTax = rec.totalDeductions = 3000;
    const Lines lines = payslipLines(rec, {});
    for (const char* heading : {"PAYE Information", "Deductions", "Lump Sum Payments", "Refunds",
                                "Overdraft", "Other Information"})
        EXPECT_FALSE(hasHeading(lines, heading)) << heading;
    EXPECT_EQ(lines.back(), (PayslipLine{Kind::End, {}, {}}));
    EXPECT_EQ(lines[lines.size() - 2], (PayslipLine{Kind::Total, "Net Pay", "100,000"}));
}

TEST(PayslipLines, AnOverdraftHasItsOwnSection) {
    REPORTREC rec = plain();
    rec.deficit = 12500;
    EXPECT_EQ(section(payslipLines(rec, {}), "Overdraft"), (Lines{amount("Overdraft", "12,500")}));
}

TEST(PayslipLines, TaxablePayIsWorkedOutFromTheEarnings) {
    REPORTREC rec = plain();
    rec.itemsOf(common::EARNINGS).push_back(item(def("Meals", "Default", 0), 30000));
    rec.itemsOf(common::EARNINGS).push_back(item(def("Acting", "Default"), 20000));
    rec.itemsOf(common::BENEFITS).push_back(item(def("Car", "Default"), 5000));
    rec.grossPay = 150000;
    rec.loanBenefit = 1000;
    rec.pensionRelief = 15000;
    rec.chargeablePay = 111000; // 150,000 - 30,000 + 6,000 - 15,000
    rec.paye = 2000;
    EXPECT_EQ(section(payslipLines(rec, {}), "PAYE Information"),
              (Lines{amount("Total Earnings", "150,000"),
                     {Kind::SpacedLabel, "Less Non-Taxable Earnings:", {}},
                     amount("  Meals", "30,000"),
                     subtotal("120,000"),
                     {Kind::SpacedLabel, "Add Benefits:", {}},
                     amount("  Low Interest Benefit", "1,000"),
                     amount("  Car", "5,000"),
                     subtotal("126,000"),
                     {Kind::SpacedLabel, "Less Pre-Tax Deductions:", {}},
                     amount("  Pension Contribution", "15,000"),
                     amount("Taxable Pay", "111,000"),
                     amount("PAYE", "2,000")}));
}

TEST(PayslipLines, PensionLinesFollowTheOptions) {
    REPORTREC rec = plain();
    rec.itemsOf(common::DEDUCTIONS)
        .push_back(
            item(def("PSSSF", "Pension Contribution"), 0, PensionFigures{4000, 30000, 20000}));
    struct Case {
        bool employerPension, pensionBalance;
        Lines expected;
    };
    const Case cases[] = {
        {false, false, {}},
        {false, true, {label("PSSSF:"), amount("  Balance", "30,000")}},
        {true, false, {label("PSSSF:"), amount("  Employer Contribution", "4,000")}},
        {true,
         true,
         {label("PSSSF:"), amount("  Employer Contribution", "4,000"),
          amount("  Balance", "50,000")}},
    };
    for (const Case& c : cases) {
        PayslipOptions options;
        options.employerPension = c.employerPension;
        options.pensionBalance = c.pensionBalance;
        EXPECT_EQ(section(payslipLines(rec, options), "Other Information"), c.expected)
            << c.employerPension << c.pensionBalance;
    }
}

TEST(PayslipLines, BitmapSizeReadsOnlyABitmapHeader) {
    EXPECT_FALSE(bitmapSize("/nonexistent/logo.bmp"));
}

} // namespace
} // namespace kelo::payrunreports
