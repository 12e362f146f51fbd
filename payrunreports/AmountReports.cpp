#include "payrunreports/AmountReports.h"

#include "common/Money.h"

namespace kelo::payrunreports {

namespace {

using Kind = FieldColumn::Kind;

// The portrait lists: 37 rows under a 16 mm top margin.
FieldPage portraitList(double columnGap, int rowsPerPage = 37) {
    return {common::Orientation::Portrait, 16, columnGap, rowsPerPage, helveticaFonts()};
}

} // namespace

bool listsBalance(std::string_view reportType) {
    return reportType == common::kTypeCoopContribution ||
           reportType == common::kTypePensionContribution ||
           reportType == common::kTypeCostRecovery;
}

std::string fieldLabel(std::int32_t reportType, std::string_view fieldName, bool withBalance) {
    const std::string name(fieldName);
    switch (reportType) {
    case common::kReportDeductions:
        if (name == "Overdraft Recovery" || withBalance)
            return name;
        return name + " Deduction";
    case common::kReportEarnings:
        return name == "Basic Pay" ? name : name + " Payments";
    case common::kReportBenefits:
        return name == "Housing Benefit" ? name : name + " Benefit";
    default:
        return name + " Payments";
    }
}

double closingBalance(const ReportItem& item) {
    if (const auto* coop = std::get_if<CoopFigures>(&item.figures))
        return coop->closingBalance;
    if (const auto* pension = std::get_if<PensionFigures>(&item.figures))
        return pension->employeeBalance;
    if (const auto* recovery = std::get_if<CostRecoveryFigures>(&item.figures))
        return recovery->balance;
    return 0;
}

AMOUNTREP::AMOUNTREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     const common::REPORTPARAM& param)
    : SingleFieldReport(ui, code, folder, param, portraitList(6)) {}

bool AMOUNTREP::withBalance() const {
    if (param().reportType != common::kReportDeductions)
        return false;
    for (const auto& def : definitions()[common::DEDUCTIONS]) {
        if (def->name == param().fieldName)
            return listsBalance(def->reportType);
    }
    return false;
}

std::vector<FieldColumn> AMOUNTREP::fieldColumns() const {
    std::vector<FieldColumn> columns{{"Employee\nNumber", 27}, {"Name", 62}};
    if (withBalance()) {
        columns.push_back({"Amount\nDeducted", 24, Kind::Amount});
        columns.push_back({"Closing\nBalance", 24, Kind::Amount});
    } else {
        columns.push_back({"Amount", 24, Kind::Amount});
    }
    return columns;
}

std::vector<std::string> AMOUNTREP::titles() const {
    return {fieldLabel(param().reportType, param().fieldName, withBalance()) + " - " +
            periodAndGroup()};
}

common::ReportRow AMOUNTREP::recordRow(const REPORTREC& rec, int number) const {
    FieldRow row(number);
    row.text(rec.empNum).text(rec.name).amount(admissionAmount(rec, param()));
    if (withBalance()) {
        const ReportItem* item = namedItem(rec, common::DEDUCTIONS, param().fieldName);
        row.amount(item ? closingBalance(*item) : 0);
    }
    return row.done();
}

std::string payBasisText(int payBasis) {
    switch (payBasis) {
    case common::kPayBasisSalary:
        return "Salary";
    case common::kPayBasisDaily:
        return "Daily";
    default:
        return "Hourly";
    }
}

std::string timeWorkedText(const REPORTREC& rec) {
    const char* label = "Hours Present";
    double value = common::decimalOf(rec.timeWorked);
    switch (rec.timeBasis) {
    case common::kTimeFullPeriod:
        label = "Standard Hours";
        value = common::decimalOf(rec.hoursPerMonth);
        break;
    case common::kTimeDaysAbsent:
        label = "Days Absent";
        break;
    case common::kTimeHoursAbsent:
        label = "Hours Absent";
        break;
    case common::kTimeDaysPresent:
        label = "Days Present";
        break;
    default:
        break;
    }
    return common::fixedText(value, 2) + " " + label;
}

BASICPAYREP::BASICPAYREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         const common::REPORTPARAM& param)
    : SingleFieldReport(ui, code, folder, param,
                        {common::Orientation::Landscape, 10, 3, 23, arialFonts()}) {}

std::vector<FieldColumn> BASICPAYREP::fieldColumns() const {
    return {{"Employee\nNumber", 28},
            {"Name", 64},
            {"Pay Rate", 26, Kind::Number},
            {"Type", 23},
            {"Time Worked", 45},
            {"Amount\nEarned", 26, Kind::Amount}};
}

std::vector<std::string> BASICPAYREP::titles() const {
    return {titleLine()};
}

std::string BASICPAYREP::titleLine() const {
    return "Basic Pay - " + periodAndGroup();
}

common::ReportRow BASICPAYREP::recordRow(const REPORTREC& rec, int number) const {
    return FieldRow(number)
        .text(rec.empNum)
        .text(rec.name)
        .rate(rec.payRate)
        .text(payBasisText(rec.payBasis))
        .text(timeWorkedText(rec))
        .amount(rec.basicPay)
        .done();
}

bool BASICPAYREP::writeText(common::TextExport& out) const {
    return PERIODREP::writeText(out);
}

std::optional<HourlyPay> hourlyPay(const REPORTREC& rec, std::string_view fieldName) {
    const auto overtime = [](float hours, double rate) {
        const double h = common::decimalOf(hours);
        return HourlyPay{rate, h, common::roundShillings(h * rate)};
    };
    if (fieldName == "Normal Overtime")
        return overtime(rec.normalOvertimeHours, rec.normalOvertimeRate);
    if (fieldName == "Double Overtime")
        return overtime(rec.doubleOvertimeHours, rec.doubleOvertimeRate);
    const ReportItem* item = namedItem(rec, common::EARNINGS, fieldName);
    const auto* hourly = item ? std::get_if<HourlyFigures>(&item->figures) : nullptr;
    if (!hourly)
        return std::nullopt;
    return HourlyPay{hourly->hourlyRate, common::decimalOf(hourly->hoursWorked), item->amount};
}

HOURLYPAYREP::HOURLYPAYREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           const common::REPORTPARAM& param)
    : SingleFieldReport(ui, code, folder, param, portraitList(3)) {}

std::vector<FieldColumn> HOURLYPAYREP::fieldColumns() const {
    return {{"Employee\nNumber", 27},
            {"Name", 52},
            {"Hourly\nRate", 20, Kind::Number},
            {"Hours\nWorked", 20, Kind::Number},
            {"Amount\nEarned", 22, Kind::Amount}};
}

std::vector<std::string> HOURLYPAYREP::titles() const {
    return {param().fieldName + " Payment - " + periodAndGroup()};
}

common::ReportRow HOURLYPAYREP::recordRow(const REPORTREC& rec, int number) const {
    const HourlyPay pay = hourlyPay(rec, param().fieldName).value_or(HourlyPay{});
    return FieldRow(number)
        .text(rec.empNum)
        .text(rec.name)
        .rate(pay.rate)
        .decimal(pay.hours)
        .amount(pay.amount)
        .done();
}

LUMPSUMTAXREP::LUMPSUMTAXREP(common::Ui& ui, engine::Code4& code,
                             const common::WorkingFolder& folder, const common::REPORTPARAM& param)
    : SingleFieldReport(ui, code, folder, param, portraitList(3, 36)) {}

std::vector<FieldColumn> LUMPSUMTAXREP::fieldColumns() const {
    return {
        {"Employee\nNumber", 29.5}, {"Name", 68}, {"T.I.N.", 28.5}, {"Amount", 20.5, Kind::Amount}};
}

std::vector<std::string> LUMPSUMTAXREP::titles() const {
    return {"Tax on Lump Sum Payments - " + periodAndGroup(),
            "EMPLOYER'S T.I.N.:  " + header().itNum};
}

common::ReportRow LUMPSUMTAXREP::recordRow(const REPORTREC& rec, int number) const {
    return FieldRow(number)
        .text(rec.empNum)
        .text(rec.name)
        .text(rec.tin)
        .amount(rec.lumpSumTax)
        .done();
}

} // namespace kelo::payrunreports
