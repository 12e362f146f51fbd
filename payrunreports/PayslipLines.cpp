#include "common/Money.h"
#include "payrunreports/Payslips.h"

namespace kelo::payrunreports {

namespace {

using Kind = PayslipLine::Kind;

std::string money(double amount) {
    return common::withThousands(amount);
}

std::string hours(double value) {
    return common::fixedText(value, 2);
}

double quotient(double a, double b) {
    return b != 0 ? a / b : 0;
}

bool isLoan(const ReportItem& item) {
    const std::string& type = item.definition->reportType;
    return type == kCompanyLoanReport || type == kCoopLoanReport;
}

class Lines {
public:
    explicit Lines(std::vector<PayslipLine>& out) : out_(out) {}

    void heading(std::string text) { add(Kind::Heading, std::move(text), {}); }
    void label(std::string text) { add(Kind::Label, std::move(text), {}); }
    void spacedLabel(std::string text) { add(Kind::SpacedLabel, std::move(text), {}); }
    void amount(std::string text, double value) {
        add(Kind::Amount, std::move(text), money(value));
    }
    void amountIfPositive(std::string text, double value) {
        if (value > 0)
            amount(std::move(text), value);
    }
    void rate(std::string text, double value) { add(Kind::Detail, std::move(text), money(value)); }
    void time(std::string text, double value) { add(Kind::Detail, std::move(text), hours(value)); }
    void subtotal(double value) { add(Kind::Subtotal, {}, money(value)); }
    void total(std::string text, double value) { add(Kind::Total, std::move(text), money(value)); }
    void end() { add(Kind::End, {}, {}); }

private:
    void add(Kind kind, std::string label, std::string figure) {
        out_.push_back({kind, std::move(label), std::move(figure)});
    }
    std::vector<PayslipLine>& out_;
};

// The time lines of a detailed basic pay, by pay basis and time basis.
void basicPayDetail(Lines& lines, const REPORTREC& rec) {
    const double worked = common::decimalOf(rec.timeWorked);
    const double perDay = common::decimalOf(rec.hoursPerDay);
    const double perMonth = common::decimalOf(rec.hoursPerMonth);
    const double standardDays = quotient(perMonth, perDay);
    switch (rec.payBasis) {
    case common::kPayBasisSalary:
        lines.rate("Salary", rec.payRate);
        switch (rec.timeBasis) {
        case common::kTimeDaysAbsent:
            lines.time("  Days Absent", worked);
            lines.time("  Standard Days", standardDays);
            break;
        case common::kTimeHoursAbsent:
            lines.time("  Hours Absent", worked);
            lines.time("  Standard Hours", perMonth);
            break;
        case common::kTimeDaysPresent:
            lines.time("  Days Present", worked);
            break;
        case common::kTimeHoursPresent:
            lines.time("  Hours Present", worked);
            break;
        default:
            break;
        }
        break;
    case common::kPayBasisDaily:
        lines.rate("Daily Rate", rec.payRate);
        switch (rec.timeBasis) {
        case common::kTimeFullPeriod:
            lines.time("  Days Present", standardDays);
            break;
        case common::kTimeDaysAbsent:
            lines.time("  Days Absent", worked);
            lines.time("  Standard Days", standardDays);
            break;
        case common::kTimeHoursAbsent:
            lines.time("  Days Absent", quotient(worked, perDay));
            lines.time("  Standard Days", standardDays);
            break;
        case common::kTimeDaysPresent:
            lines.time("  Days Present", worked);
            break;
        default:
            lines.time("  Days Present", quotient(worked, perDay));
            break;
        }
        break;
    default:
        lines.rate("Hourly Rate", rec.payRate);
        switch (rec.timeBasis) {
        case common::kTimeFullPeriod:
            lines.time("  Hours Present", perMonth);
            break;
        case common::kTimeDaysAbsent:
            lines.time("  Hours Absent", worked * perDay);
            lines.time("  Standard Hours", perMonth);
            break;
        case common::kTimeHoursAbsent:
            lines.time("  Hours Absent", worked);
            lines.time("  Standard Hours", perMonth);
            break;
        case common::kTimeDaysPresent:
            lines.time("  Hours Present", worked * perDay);
            break;
        default:
            lines.time("  Hours Present", worked);
            break;
        }
        break;
    }
}

void hourlyBlock(Lines& lines, std::string name, double rate, float hoursWorked, double earned) {
    lines.label(std::move(name));
    lines.rate("  Hourly Rate", rate);
    lines.time("  Hours Worked", common::decimalOf(hoursWorked));
    lines.amount("  Amount Earned", earned);
}

void earnings(Lines& lines, const REPORTREC& rec) {
    lines.heading("Earnings");
    const bool fullTime = rec.timeBasis == common::kTimeFullPeriod;
    const bool nothingMissed =
        (rec.timeBasis == common::kTimeDaysAbsent || rec.timeBasis == common::kTimeHoursAbsent) &&
        rec.timeWorked == 0;
    if (rec.payBasis == common::kPayBasisSalary && (fullTime || nothingMissed)) {
        lines.amount("Basic Pay", rec.basicPay);
    } else {
        lines.label("Basic Pay");
        basicPayDetail(lines, rec);
        lines.amount("  Amount Earned", rec.basicPay);
    }
    if (rec.overtimePay > 0) {
        const struct {
            const char* name;
            float hours;
            double rate;
        } overtime[] = {{"Normal Overtime", rec.normalOvertimeHours, rec.normalOvertimeRate},
                        {"Double Overtime", rec.doubleOvertimeHours, rec.doubleOvertimeRate}};
        for (const auto& o : overtime) {
            const double earned = common::roundShillings(common::decimalOf(o.hours) * o.rate);
            if (earned > 0)
                hourlyBlock(lines, o.name, o.rate, o.hours, earned);
        }
    }
    for (const ReportItem& item : rec.itemsOf(common::EARNINGS)) {
        if (item.amount <= 0)
            continue;
        const auto* hourly = std::get_if<HourlyFigures>(&item.figures);
        if (item.definition->reportType == common::kTypeHourlyPay && hourly)
            hourlyBlock(lines, item.definition->name, hourly->hourlyRate, hourly->hoursWorked,
                        item.amount);
        else
            lines.amount(item.definition->name, item.amount);
    }
    lines.subtotal(rec.grossPay);
    lines.end();
}

void deductions(Lines& lines, const REPORTREC& rec, const PayslipOptions& options) {
    if (rec.totalDeductions - rec.lumpSumTax == 0)
        return;
    lines.heading("Deductions");
    if (rec.paye != 0)
        lines.amount("PAYE", rec.paye);
    lines.amountIfPositive("NSSF", rec.nssfEmployee);
    lines.amountIfPositive("Rent", rec.rent);
    lines.amountIfPositive("Overdraft Recovery", rec.deficitBF);
    lines.amountIfPositive("Rounding C/F", rec.roundingCF);
    for (const ReportItem& item : rec.itemsOf(common::DEDUCTIONS)) {
        if (item.amount <= 0)
            continue;
        const auto* loan = std::get_if<LoanFigures>(&item.figures);
        if (options.loanBreakdown && isLoan(item) && loan) {
            lines.label(item.definition->name);
            lines.amountIfPositive("  Principal", loan->principalPaid);
            lines.amountIfPositive("  Interest", loan->interestPaid);
        } else {
            lines.amount(item.definition->name, item.amount);
        }
    }
    lines.subtotal(rec.totalDeductions - rec.lumpSumTax);
    lines.end();
}

void lumpSumsAndRefunds(Lines& lines, const REPORTREC& rec) {
    if (rec.totalLumpSums != 0) {
        lines.heading("Lump Sum Payments");
        for (const ReportItem& item : rec.itemsOf(common::LUMPSUMS))
            lines.amountIfPositive(item.definition->name, item.amount);
        lines.subtotal(rec.totalLumpSums);
        lines.amount("Tax on Lump Sum(s)", rec.lumpSumTax);
        lines.subtotal(rec.totalLumpSums - rec.lumpSumTax);
        lines.end();
    }
    if (rec.totalRefunds != 0) {
        lines.heading("Refunds");
        lines.amountIfPositive("Rounding B/F", rec.roundingBF);
        for (const ReportItem& item : rec.itemsOf(common::REFUNDS))
            lines.amountIfPositive(item.definition->name, item.amount);
        lines.subtotal(rec.totalRefunds);
        lines.end();
    }
    if (rec.deficit != 0) {
        lines.heading("Overdraft");
        lines.amount("Overdraft", rec.deficit);
        lines.end();
    }
}

void payeInformation(Lines& lines, const REPORTREC& rec) {
    if (rec.paye == 0)
        return;
    lines.heading("PAYE Information");
    lines.amount("Total Earnings", rec.grossPay);
    double running = rec.grossPay;
    bool shown = false;
    for (const ReportItem& item : rec.itemsOf(common::EARNINGS)) {
        if (item.definition->taxable != 0 || item.amount <= 0)
            continue;
        if (!shown)
            lines.spacedLabel("Less Non-Taxable Earnings:");
        shown = true;
        lines.amount("  " + item.definition->name, item.amount);
        running -= item.amount;
    }
    if (shown)
        lines.subtotal(running);
    std::vector<std::pair<std::string, double>> benefits{
        {"  Housing Benefit", rec.housingBenefit},
        {"  Pension Benefit", rec.employerPensionBenefit},
        {"  Low Interest Benefit", rec.loanBenefit}};
    for (const ReportItem& item : rec.itemsOf(common::BENEFITS))
        benefits.emplace_back("  " + item.definition->name, item.amount);
    shown = false;
    for (const auto& [name, value] : benefits) {
        if (value <= 0)
            continue;
        if (!shown)
            lines.spacedLabel("Add Benefits:");
        shown = true;
        lines.amount(name, value);
        running += value;
    }
    if (shown)
        lines.subtotal(running);
    if (rec.pensionRelief > 0) {
        lines.spacedLabel("Less Pre-Tax Deductions:");
        lines.amount("  Pension Contribution", rec.pensionRelief);
    }
    lines.amount("Taxable Pay", rec.chargeablePay);
    lines.amount("PAYE", rec.paye);
    lines.end();
}

void otherInformation(std::vector<PayslipLine>& out, const REPORTREC& rec,
                      const PayslipOptions& options) {
    std::vector<PayslipLine> body;
    Lines lines(body);
    const std::vector<ReportItem>& items = rec.itemsOf(common::DEDUCTIONS);
    for (const ReportItem& item : items) {
        const auto* coop = std::get_if<CoopFigures>(&item.figures);
        if (item.definition->reportType == common::kTypeCoopContribution && coop)
            lines.amountIfPositive(item.definition->name + " Balance", coop->closingBalance);
    }
    for (const ReportItem& item : items) {
        const auto* pension = std::get_if<PensionFigures>(&item.figures);
        if (item.definition->reportType != common::kTypePensionContribution || !pension)
            continue;
        const double employer = options.employerPension ? pension->employerContribution : 0;
        const double balance = !options.pensionBalance ? 0
                               : options.employerPension
                                   ? pension->employeeBalance + pension->employerBalance
                                   : pension->employeeBalance;
        if (employer <= 0 && balance <= 0)
            continue;
        lines.label(item.definition->name + ":");
        lines.amountIfPositive("  Employer Contribution", employer);
        lines.amountIfPositive("  Balance", balance);
    }
    for (const ReportItem& item : items) {
        const auto* loan = std::get_if<LoanFigures>(&item.figures);
        if (isLoan(item) && loan)
            lines.amountIfPositive(item.definition->name + " Balance", loan->closingBalance);
    }
    for (const ReportItem& item : items) {
        const auto* savings = std::get_if<SavingsFigures>(&item.figures);
        if (item.definition->reportType == kSavingsPlanReport && savings)
            lines.amountIfPositive(item.definition->name + " Balance", savings->closingBalance);
    }
    if (options.leaveBalance && rec.leaveBalance != 0)
        body.push_back({Kind::Amount, "Leave Days",
                        common::fixedText(common::decimalOf(rec.leaveBalance), 2)});
    if (body.empty())
        return;
    Lines(out).heading("Other Information");
    out.insert(out.end(), body.begin(), body.end());
    Lines(out).end();
}

} // namespace

std::vector<PayslipLine> payslipLines(const REPORTREC& rec, const PayslipOptions& options) {
    std::vector<PayslipLine> out;
    Lines lines(out);
    earnings(lines, rec);
    deductions(lines, rec, options);
    lumpSumsAndRefunds(lines, rec);
    lines.total("Net Pay", rec.netPay);
    lines.end();
    payeInformation(lines, rec);
    otherInformation(out, rec, options);
    return out;
}

} // namespace kelo::payrunreports
