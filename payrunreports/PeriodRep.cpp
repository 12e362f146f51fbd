#include "payrunreports/PeriodRep.h"

#include "common/Money.h"
#include "common/Text.h"
#include "database/OptionsDb.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

namespace kelo::payrunreports {

namespace {

std::vector<std::string_view> unitNames(std::string_view unitPath) {
    std::vector<std::string_view> names;
    if (unitPath.empty())
        return names;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = unitPath.find('.', start);
        names.push_back(unitPath.substr(start, dot - start));
        if (dot == std::string_view::npos)
            return names;
        start = dot + 1;
    }
}

bool lessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The named item of `table` when its type is `reportType`.
const ReportItem* namedOfType(const REPORTREC& rec, common::FIELDSTABLE table,
                              std::string_view name, std::string_view reportType) {
    const ReportItem* item = namedItem(rec, table, name);
    return item && item->definition->reportType == reportType ? item : nullptr;
}

double amountOf(const ReportItem* item) {
    return item ? item->amount : 0;
}

double overtimeAmount(const REPORTREC& rec, float hours, double rate) {
    if (rec.overtimePay <= 0)
        return 0;
    return common::roundShillings(common::decimalOf(hours) * rate);
}

double loanAmount(const REPORTREC& rec, std::string_view name, std::string_view reportType) {
    const ReportItem* item = namedOfType(rec, common::DEDUCTIONS, name, reportType);
    if (!item)
        return 0;
    if (item->amount != 0)
        return item->amount;
    const auto* loan = std::get_if<LoanFigures>(&item->figures);
    return loan ? loan->openingBalance : 0;
}

// Net pay or an advance of the employees paid by `payMethod`.
double paidBy(const REPORTREC& rec, const common::REPORTPARAM& param, int payMethod) {
    if (rec.payMethod != payMethod)
        return 0;
    return param.fieldName == "Net Pay"
               ? rec.netPay
               : amountOf(namedItem(rec, common::DEDUCTIONS, param.fieldName));
}

double bankTransfer(const REPORTREC& rec, const common::REPORTPARAM& param) {
    const bool byBank = rec.payMethod == common::kPayByBankTransfer;
    if (param.fieldName == "Net Pay")
        return byBank ? rec.netPay : 0;
    if (byBank) {
        if (const ReportItem* advance =
                namedOfType(rec, common::DEDUCTIONS, param.fieldName, "Advance"))
            return advance->amount;
    }
    return amountOf(
        namedOfType(rec, common::DEDUCTIONS, param.fieldName, common::kTypeBankLoanPayment));
}

double coopAmount(const REPORTREC& rec, std::string_view coop) {
    for (const ReportItem& item : rec.itemsOf(common::DEDUCTIONS)) {
        const std::string& type = item.definition->reportType;
        if ((type == common::kTypeCoopContribution || type == kCoopLoanReport ||
             type == common::kTypeCoopBenevolentFund) &&
            item.definition->groupName == coop && item.amount > 0)
            return item.amount;
    }
    return 0;
}

double pensionAmount(const REPORTREC& rec, std::string_view fund) {
    for (const ReportItem& item : rec.itemsOf(common::DEDUCTIONS)) {
        if (item.definition->reportType != common::kTypePensionContribution ||
            item.definition->groupName != fund)
            continue;
        if (item.amount != 0)
            return item.amount;
        const auto* pension = std::get_if<PensionFigures>(&item.figures);
        return pension ? pension->employerContribution : 0;
    }
    return 0;
}

} // namespace

std::string ownUnit(std::string_view unitPath) {
    return std::string(unitPath.substr(0, unitPath.find('.')));
}

bool inGroup(const REPORTREC& rec, std::int32_t groupBy, std::string_view groupName) {
    switch (groupBy) {
    case common::kGroupByUnit: {
        const auto names = unitNames(rec.unitPath);
        return std::any_of(names.begin(), names.end(), [&](std::string_view name) {
            return common::equalsIgnoreCase(name, groupName);
        });
    }
    case common::kGroupByStation:
        return rec.stationName == groupName;
    case common::kGroupByPayGroup:
        return rec.payGroupName == groupName;
    case common::kGroupByBank:
        return rec.bankName == groupName;
    case common::kGroupByCoop:
        return rec.coopName[0] == groupName || rec.coopName[1] == groupName;
    case common::kGroupByPensionFund:
        return rec.pensionFundName[0] == groupName || rec.pensionFundName[1] == groupName;
    default:
        return true;
    }
}

std::string groupKey(std::string_view unitPath, std::string_view groupName) {
    const auto names = unitNames(unitPath);
    if (names.empty())
        return {};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!groupName.empty() && common::equalsIgnoreCase(names[i], groupName))
            return std::string(names[i == 0 ? 0 : i - 1]);
    }
    return std::string(names.back());
}

const ReportItem* namedItem(const REPORTREC& rec, common::FIELDSTABLE table,
                            std::string_view name) {
    for (const ReportItem& item : rec.itemsOf(table)) {
        if (item.definition && item.definition->name == name)
            return &item;
    }
    return nullptr;
}

double admissionAmount(const REPORTREC& rec, const common::REPORTPARAM& param) {
    using namespace common;
    const std::string& field = param.fieldName;
    switch (param.reportType) {
    case kReportBasicPay:
        return rec.basicPay;
    case kReportDeductions:
        if (field == "Rent")
            return rec.rent;
        if (field == "Overdraft Recovery")
            return rec.deficitBF;
        if (field == "Rounding C/F")
            return rec.roundingCF;
        return amountOf(namedItem(rec, DEDUCTIONS, field));
    case kReportEarnings:
        if (field == "Basic Pay")
            return rec.basicPay;
        if (field == "Overtime")
            return rec.overtimePay;
        return amountOf(namedItem(rec, EARNINGS, field));
    case kReportBenefits:
        return field == "Housing Benefit" ? rec.housingBenefit
                                          : amountOf(namedItem(rec, BENEFITS, field));
    case kReportLumpSums:
        return amountOf(namedItem(rec, LUMPSUMS, field));
    case kReportRefunds:
        return field == "Rounding B/F" ? rec.roundingBF : amountOf(namedItem(rec, REFUNDS, field));
    case kReportHourlyPay:
        if (field == "Normal Overtime")
            return overtimeAmount(rec, rec.normalOvertimeHours, rec.normalOvertimeRate);
        if (field == "Double Overtime")
            return overtimeAmount(rec, rec.doubleOvertimeHours, rec.doubleOvertimeRate);
        return amountOf(namedOfType(rec, EARNINGS, field, kTypeHourlyPay));
    case kReportCompanyLoan:
        return loanAmount(rec, field, kCompanyLoanReport);
    case kReportCoopLoan:
        return loanAmount(rec, field, kCoopLoanReport);
    case kReportSavingsPlan:
        return amountOf(namedOfType(rec, DEDUCTIONS, field, kSavingsPlanReport));
    case kReportCoop:
        return coopAmount(rec, param.groupName);
    case kReportPensionFund:
        return pensionAmount(rec, param.groupName);
    case kReportLumpSumTax:
        return rec.lumpSumTax;
    case kReportCashList:
    case kReportCoinage:
        return paidBy(rec, param, kPayByCash);
    case kReportChequeList:
        return paidBy(rec, param, kPayByCheque);
    case kReportBankTransfer:
    case kReportStandardCharteredFile:
    case kReportBarclaysFile:
    case kReportCitibankFile:
    case kReportStanbicFile:
        return bankTransfer(rec, param);
    case kReportLowInterestBenefit: {
        const ReportItem* loan = namedOfType(rec, DEDUCTIONS, field, kCompanyLoanReport);
        const auto* figures = loan ? std::get_if<LoanFigures>(&loan->figures) : nullptr;
        return figures ? figures->lowInterestBenefit : 0;
    }
    default:
        return 1;
    }
}

std::string numberText(int number) {
    return std::to_string(number) + ".";
}

PERIODREP::PERIODREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     const common::REPORTPARAM& param)
    : REPORTBASE(ui),
      code_(code),
      folder_(folder),
      param_(param) {}

PERIODREP::~PERIODREP() = default;

bool PERIODREP::requireFile(const common::ORGREC& org) const {
    return PERIODDB::requireFile(folder_, param_, org);
}

bool PERIODREP::admits(const REPORTREC& rec) const {
    return admissionAmount(rec, param_) > 0;
}

int PERIODREP::option(std::string_view key) const {
    database::OPTIONSDB options(code_, folder_);
    if (!options.openFile())
        return 0;
    const int value = options.getValue(param_.reportType, key);
    options.closeFile();
    return value;
}

bool PERIODREP::readFile(const common::ORGREC& org) {
    PERIODDBEX reader(ui(), code_, folder_);
    const std::optional<std::string> path = reader.reportFilePath(ui(), param_);
    if (!path || !reader.open(ui(), *path, org))
        return false;
    setReadStamp(common::ReadStamp::now());
    header_ = reader.header();
    definitions_ = reader.definitions();
    param_.payFreq = header_.payFreq;
    records_.clear();
    REPORTREC rec;
    while (reader.readRecord(ui(), rec)) {
        if (inGroup(rec, param_.groupBy, param_.groupName) && admits(rec))
            records_.push_back(std::move(rec));
        rec = REPORTREC();
    }
    if (!reader.isOpen()) {
        records_.clear();
        return false;
    }
    reader.close();
    if (records_.empty()) {
        const bool bankFile = param_.reportType >= common::kReportStandardCharteredFile &&
                              param_.reportType <= common::kReportStanbicFile;
        ui().error(bankFile ? "Sorry, bank transfer file has no records\nand will not be saved."
                            : "Sorry, report has no records\nand will not be printed.");
        return false;
    }
    return true;
}

bool PERIODREP::takeFile(PeriodFile file) {
    setReadStamp(common::ReadStamp::now());
    header_ = std::move(file.header);
    definitions_ = std::move(file.definitions);
    records_.clear();
    for (REPORTREC& rec : file.records) {
        if (inGroup(rec, param_.groupBy, param_.groupName) && admits(rec))
            records_.push_back(std::move(rec));
    }
    if (records_.empty()) {
        ui().error("Sorry, report has no records\nand will not be printed.");
        return false;
    }
    return true;
}

void PERIODREP::sort() {
    if (sortKey_ == 1)
        sortByName();
}

void PERIODREP::sortByName() {
    std::stable_sort(records_.begin(), records_.end(), [](const REPORTREC& a, const REPORTREC& b) {
        return lessIgnoringCase(a.name, b.name);
    });
}

std::vector<RecordGroup> PERIODREP::groupRecords(int grouping) {
    if (grouping != 1 && grouping != 2)
        return {{{}, 0, records_.size()}};
    std::vector<std::pair<std::string, REPORTREC>> keyed;
    keyed.reserve(records_.size());
    for (REPORTREC& rec : records_) {
        std::string key =
            grouping == 1 ? groupKey(rec.unitPath, param_.groupName) : rec.stationName;
        keyed.emplace_back(std::move(key), std::move(rec));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return lessIgnoringCase(a.first, b.first);
    });
    std::vector<RecordGroup> groups;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        if (groups.empty() || !common::equalsIgnoreCase(groups.back().key, keyed[i].first))
            groups.push_back({keyed[i].first, i, 0});
        ++groups.back().count;
        records_[i] = std::move(keyed[i].second);
    }
    return groups;
}

void PERIODREP::layOutRows() {
    for (std::size_t i = 0; i < records_.size(); ++i)
        addRow(recordRow(records_[i], static_cast<int>(i + 1)));
}

common::ReportRow PERIODREP::recordRow(const REPORTREC& rec, int number) const {
    return {{numberText(number), rec.empNum, rec.name}, {}};
}

bool PERIODREP::writeText(common::TextExport& out) const {
    out.fields({header_.orgName});
    out.fields({titleLine()});
    out.emptyLine();
    writeHeadings(out);
    writeRows(out);
    const std::vector<double> totals = totalsThrough(pageCount());
    std::vector<std::string> cells(columns().size());
    for (std::size_t c = 0; c < cells.size() && c < totals.size(); ++c) {
        if (totals[c] != 0)
            cells[c] = common::withThousands(totals[c]);
    }
    if (cells.size() > 2)
        cells[2] = "Total";
    out.fields(visibleCells(cells));
    return true;
}

} // namespace kelo::payrunreports
