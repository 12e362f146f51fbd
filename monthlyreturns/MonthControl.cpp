#include "monthlyreturns/MonthControl.h"

#include "common/Money.h"
#include "payrunreports/ControlAccount.h"
#include "payrunreports/PeriodDbEx.h"
#include "payrunreports/SummaryTable.h"

#include <utility>

namespace kelo::monthlyreturns {

namespace {

void addItems(std::vector<payrunreports::ReportItem>& month,
              const std::vector<payrunreports::ReportItem>& period) {
    for (const payrunreports::ReportItem& item : period) {
        const std::string name = item.definition ? item.definition->name : std::string();
        bool found = false;
        for (payrunreports::ReportItem& sum : month)
            if (sum.definition && sum.definition->name == name) {
                sum.amount += item.amount;
                found = true;
                break;
            }
        if (!found)
            month.push_back(item);
    }
}

} // namespace

bool readPeriodFile(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    const std::string& path, const common::ORGREC& org,
                    payrunreports::PeriodFile& out) {
    payrunreports::PERIODDBEX reader(ui, code, folder);
    if (!reader.open(ui, path, org))
        return false;
    payrunreports::PeriodFile file;
    file.header = reader.header();
    file.definitions = reader.definitions();
    payrunreports::REPORTREC rec;
    while (reader.readRecord(ui, rec))
        file.records.push_back(std::move(rec));
    if (!reader.isOpen())
        return false;
    reader.close();
    out = std::move(file);
    return true;
}

void addControlTotal(payrunreports::ControlTotal& m, const payrunreports::ControlTotal& p) {
    m.basicPay += p.basicPay;
    m.overtimePay += p.overtimePay;
    m.rent += p.rent;
    m.deficitBF += p.deficitBF;
    m.roundingCF += p.roundingCF;
    m.lumpSumTax += p.lumpSumTax;
    m.paye += p.paye;
    m.nssfEmployee += p.nssfEmployee;
    m.roundingBF += p.roundingBF;
    m.deficit += p.deficit;
    m.totalPay += p.totalPay;
    m.totalDeductions += p.totalDeductions;
    m.netPay += p.netPay;
    for (std::size_t t = 0; t < m.items.size(); ++t)
        addItems(m.items[t], p.items[t]);
}

MONTHCONTROLACREP::MONTHCONTROLACREP(common::Ui& ui, engine::Code4& code,
                                     const common::WorkingFolder& folder,
                                     const common::REPORTPARAM& param)
    : MONTHREP(ui, folder, param),
      code_(code),
      periodFolder_(folder) {}

// The store keeps only what the returns list; the control account wants
// every item, which the period files hold.
bool MONTHCONTROLACREP::readPeriods(const common::ORGREC& org) {
    payrunreports::ControlTotal month;
    for (const MONTHPERIOD& period : file().periods) {
        payrunreports::PeriodFile data;
        if (!readPeriodFile(ui(), code_, periodFolder_, period.source, org, data))
            return false;
        addControlTotal(month, payrunreports::sumRecords(data.records, 0, data.records.size()));
    }
    total_ = std::move(month);
    return true;
}

std::vector<MonthColumn> MONTHCONTROLACREP::monthColumns() const {
    return {{"", 110, MonthColumn::Kind::Text}, {"Sh.", 40, MonthColumn::Kind::Amount}};
}

std::vector<std::string> MONTHCONTROLACREP::titles() const {
    return {"Payroll Control Account", monthTitle()};
}

void MONTHCONTROLACREP::addRows() {
    using Kind = payrunreports::ControlLine::Kind;
    for (const payrunreports::ControlLine& line : payrunreports::controlLines(total_)) {
        common::ReportRow row;
        switch (line.kind) {
        case Kind::Heading:
            row.cells = {line.label, {}};
            row.figures = {0, 0};
            break;
        case Kind::Amount:
            row.cells = {"    " + line.label, common::withThousands(line.amount)};
            row.figures = {0, line.amount};
            break;
        case Kind::Total:
            row.cells = {"Total", common::withThousands(line.amount)};
            row.figures = {0, line.amount};
            break;
        }
        addRow(std::move(row));
    }
}

std::vector<std::string> MONTHCONTROLACREP::footLines() const {
    std::vector<std::string> lines{
        "Please note that this report:", "1. includes refunds paid to employees, if any;",
        "2. does not include the employer's contribution to NSSF and pension/provident funds.", "",
        "Checked by"};
    for (const char* label : {"NAME:", "SIGNATURE:", "DESIGNATION:", "DATE:"})
        lines.push_back(payrunreports::signOffLine(label));
    return lines;
}

} // namespace kelo::monthlyreturns
