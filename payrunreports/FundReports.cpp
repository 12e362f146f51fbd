#include "payrunreports/FundReports.h"

namespace kelo::payrunreports {

namespace {

using Kind = FieldColumn::Kind;

} // namespace

PensionPaid pensionPaid(const REPORTREC& rec, std::string_view fund) {
    PensionPaid paid;
    for (const ReportItem& item : rec.itemsOf(common::DEDUCTIONS)) {
        if (item.definition->reportType != common::kTypePensionContribution ||
            item.definition->groupName != fund)
            continue;
        paid.employee += item.amount;
        if (const auto* pension = std::get_if<PensionFigures>(&item.figures))
            paid.employer += pension->employerContribution;
    }
    return paid;
}

PENSIONREP::PENSIONREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       const common::REPORTPARAM& param)
    : SingleFieldReport(ui, code, folder, param,
                        {common::Orientation::Portrait, 16, 3, 37, helveticaFonts()}) {}

std::vector<FieldColumn> PENSIONREP::fieldColumns() const {
    return {{"Name", 55},
            {"Membership\nNumber", 24},
            {"Employee", 20, Kind::Amount},
            {"Employer", 20, Kind::Amount},
            {"Total\nContribution", 22, Kind::Amount}};
}

std::vector<std::string> PENSIONREP::titles() const {
    return {param().groupName + " - Contributions for " + header().periodTitle};
}

common::ReportRow PENSIONREP::recordRow(const REPORTREC& rec, int number) const {
    const PensionPaid paid = pensionPaid(rec, param().groupName);
    return FieldRow(number)
        .text(rec.name)
        .text(memberNumber(rec.pensionFundName, rec.pensionMemberNum, param().groupName))
        .amount(paid.employee)
        .amount(paid.employer)
        .amount(paid.employee + paid.employer)
        .done();
}

bool PENSIONREP::writeText(common::TextExport& out) const {
    out.fields({"Pension Fund Report"});
    out.fields({"Employer:", header().orgName});
    out.fields({"Pension Fund:", param().groupName});
    out.fields({"Pay Period:", header().periodTitle});
    out.emptyLine();
    writeTable(out);
    return true;
}

bool owedToCoop(std::string_view reportType) {
    return reportType == common::kTypeCoopContribution || reportType == kCoopLoanReport ||
           reportType == common::kTypeCoopBenevolentFund;
}

COOPREP::COOPREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::REPORTPARAM& param)
    : SingleFieldReport(ui, code, folder, param,
                        {common::Orientation::Landscape, 10, 3, 23, arialFonts()}) {}

std::vector<std::shared_ptr<const ReportItemDef>> COOPREP::coopItems() const {
    std::vector<std::shared_ptr<const ReportItemDef>> items;
    for (const auto& def : definitions()[common::DEDUCTIONS]) {
        if (owedToCoop(def->reportType) && def->groupName == param().groupName)
            items.push_back(def);
    }
    return items;
}

std::vector<FieldColumn> COOPREP::fieldColumns() const {
    std::vector<FieldColumn> columns{{"Name", 55}, {"Membership\nNumber", 24}};
    for (const auto& def : coopItems())
        columns.push_back({def->name, 22, Kind::Amount});
    columns.push_back({"Total Deduction", 24, Kind::Amount});
    return columns;
}

std::vector<std::string> COOPREP::titles() const {
    return {param().groupName + " - Deductions for " + header().periodTitle};
}

common::ReportRow COOPREP::recordRow(const REPORTREC& rec, int number) const {
    FieldRow row(number);
    row.text(rec.name).text(memberNumber(rec.coopName, rec.coopMemberNum, param().groupName));
    double total = 0;
    for (const auto& def : coopItems()) {
        const ReportItem* item = namedItem(rec, common::DEDUCTIONS, def->name);
        const double amount = item ? item->amount : 0;
        row.amount(amount);
        total += amount;
    }
    return row.amount(total).done();
}

bool COOPREP::writeText(common::TextExport& out) const {
    out.fields({"Co-operative Report"});
    out.fields({"Employer:", header().orgName});
    out.fields({"Co-operative:", param().groupName});
    out.fields({"Pay Period:", header().periodTitle});
    out.emptyLine();
    writeTable(out);
    return true;
}

} // namespace kelo::payrunreports
