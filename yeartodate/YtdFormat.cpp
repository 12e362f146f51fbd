#include "yeartodate/YtdFormat.h"

#include "common/Money.h"
#include "common/Text.h"
#include "common/WorkingFolder.h"

#include <algorithm>
#include <optional>

namespace kelo::yeartodate {

using common::TagKind;

YTDREC newYtdRec(const YtdNames& names) {
    YTDREC rec;
    for (FixedRow row : {kBasicPayRow, kTotalPaymentsRow, kNetPayRow, kChargeablePayRow})
        rec.rows[row].flag = 1;
    fitLists(rec, names);
    return rec;
}

void fitLists(YTDREC& rec, const YtdNames& names) {
    for (std::size_t t = 0; t < names.size(); ++t) {
        std::vector<YtdNamedRow>& rows = rec.lists[t];
        // Lists only grow at their end, so a row mostly stays where it was.
        const bool sameNames = rows.size() == names[t].size() &&
                               std::equal(rows.begin(), rows.end(), names[t].begin(),
                                          [](const YtdNamedRow& row, const std::string& name) {
                                              return common::equalsIgnoreCase(row.name, name);
                                          });
        if (sameNames) {
            for (std::size_t i = 0; i < rows.size(); ++i)
                rows[i].name = names[t][i];
            continue;
        }
        std::vector<YtdNamedRow> fitted;
        fitted.reserve(names[t].size());
        for (const std::string& name : names[t]) {
            const auto old = std::find_if(rows.begin(), rows.end(), [&](const YtdNamedRow& row) {
                return common::equalsIgnoreCase(row.name, name);
            });
            fitted.push_back(YtdNamedRow{name, old == rows.end() ? YtdRow{} : old->row});
        }
        rows = std::move(fitted);
    }
}

namespace {

void add(YtdRow& row, double amount, std::size_t month, bool show) {
    row.amounts[month] += amount;
    if (show)
        row.flag = 1;
}

// A month end shows these rows whatever they hold.
bool alwaysShown(FixedRow row) {
    return row == kBasicPayRow || row == kTotalPaymentsRow || row == kNetPayRow ||
           row == kChargeablePayRow;
}

// The total a fixed row holding an amount shows too; the two totals only
// show through them.
void showFixed(YTDREC& rec, FixedRow row, double amount) {
    const bool total = row == kTotalDeductionsRow || row == kTotalBenefitsRow;
    if (alwaysShown(row) || (amount > 0 && !total))
        rec.rows[row].flag = 1;
    if (amount <= 0)
        return;
    switch (row) {
    case kRentRow:
    case kOverdraftRecoveryRow:
    case kRoundingCFRow:
    case kLumpSumTaxRow:
    case kPayeRow:
    case kNssfRow:
        rec.rows[kTotalDeductionsRow].flag = 1;
        break;
    case kHousingBenefitRow:
        rec.rows[kTotalBenefitsRow].flag = 1;
        break;
    default:
        break;
    }
}

void addFixed(YTDREC& rec, FixedRow row, double amount, std::size_t month) {
    rec.rows[row].amounts[month] += amount;
    showFixed(rec, row, amount);
}

} // namespace

void addMonth(YTDREC& rec, const common::VARIATIONSREC& pay, std::size_t month) {
    rec.monthFlags[month] = 1;
    addFixed(rec, kBasicPayRow, pay.basicPay, month);
    addFixed(rec, kOvertimeRow, pay.overtimePay, month);
    addFixed(rec, kRentRow, pay.rent, month);
    addFixed(rec, kOverdraftRecoveryRow, pay.deficitBF, month);
    addFixed(rec, kRoundingCFRow, pay.roundingCF, month);
    addFixed(rec, kHousingBenefitRow, pay.housingBenefit, month);
    addFixed(rec, kLumpSumTaxRow, pay.lumpSumTax, month);
    addFixed(rec, kRoundingBFRow, pay.roundingBF, month);
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        for (YtdNamedRow& named : rec.lists[table]) {
            double amount = 0;
            for (const common::PayItem& item : *pay.items(table)) {
                if (item.definition &&
                    common::equalsIgnoreCase(item.definition->itemName, named.name)) {
                    amount = item.amount;
                    break;
                }
            }
            add(named.row, amount, month, amount > 0);
        }
    }
    addFixed(rec, kPayeRow, pay.paye, month);
    addFixed(rec, kNssfRow, pay.nssfEmployee, month);
    addFixed(rec, kTotalPaymentsRow, pay.totalPay, month);
    addFixed(rec, kTotalDeductionsRow, pay.totalDeductions, month);
    addFixed(rec, kTotalBenefitsRow, pay.totalBenefits + pay.housingBenefit, month);
    addFixed(rec, kOverdraftRow, pay.deficit, month);
    addFixed(rec, kNetPayRow, pay.netPay, month);
    addFixed(rec, kChargeablePayRow, pay.chargeablePay, month);
}

const std::array<const char*, kFixedRows>& fixedRowNames() {
    static constexpr std::array<const char*, kFixedRows> names{
        "Basic Pay",      "Overtime",
        "Rent",           "Overdraft Recovery",
        "Rounding C/F",   "Housing Benefit",
        "Lump Sums Tax",  "Rounding B/F",
        "PAYE",           "NSSF",
        "Total Payments", "Total Deductions",
        "Total Benefits", "Overdraft",
        "Net Pay",        "Chargeable Pay"};
    return names;
}

std::optional<std::string> fieldNamed(const YtdNames& names, std::string_view field) {
    for (const char* name : fixedRowNames())
        if (common::equalsIgnoreCase(name, field))
            return std::string(name);
    for (const std::vector<std::string>& list : names)
        for (const std::string& name : list)
            if (common::equalsIgnoreCase(name, field))
                return name;
    return std::nullopt;
}

bool setMonthAmount(YTDREC& rec, std::string_view field, std::size_t month, double amount) {
    const auto& fixed = fixedRowNames();
    for (std::size_t r = 0; r < fixed.size(); ++r) {
        if (common::equalsIgnoreCase(fixed[r], field)) {
            rec.monthFlags[month] = 1;
            rec.rows[r].amounts[month] = amount;
            showFixed(rec, static_cast<FixedRow>(r), amount);
            return true;
        }
    }
    for (std::vector<YtdNamedRow>& list : rec.lists) {
        for (YtdNamedRow& named : list) {
            if (common::equalsIgnoreCase(named.name, field)) {
                rec.monthFlags[month] = 1;
                named.row.amounts[month] = amount;
                if (amount > 0)
                    named.row.flag = 1;
                return true;
            }
        }
    }
    return false;
}

void mergeNames(YtdNames& names, const database::PayFieldTables& definitions) {
    for (std::size_t t = 0; t < definitions.size(); ++t) {
        const std::size_t builtIns = t == common::EARNINGS ? 2 : t == common::DEDUCTIONS ? 1 : 0;
        const std::vector<common::PayItemDef>& defs = definitions[t];
        for (std::size_t d = std::min(builtIns, defs.size()); d < defs.size(); ++d) {
            const std::string& name = defs[d].itemName;
            const auto found = std::find_if(names[t].begin(), names[t].end(), [&](const auto& n) {
                return common::equalsIgnoreCase(n, name);
            });
            if (found == names[t].end())
                names[t].push_back(name);
            else
                *found = name;
        }
    }
}

bool empNumBefore(std::string_view a, std::string_view b) {
    return common::employeeKey(a) < common::employeeKey(b);
}

bool writePreamble(common::TaggedWriter& w, int year, std::string_view orgFolder,
                   std::string_view path) {
    return w.writeComment("YTD report file for " + std::to_string(year)) &&
           w.writeComment("[" + common::WorkingFolder::normalise(orgFolder) + "/" +
                          std::string(path) + "]") &&
           w.writeComment({}) && w.writeTag("fileid", TagKind::GroupStart) &&
           w.writeValue(common::fileKind::Ytd) && w.writeValue(path) &&
           w.writeValue(common::expectedVersion(common::fileKind::Ytd)) &&
           w.writeTag({}, TagKind::GroupEnd);
}

bool writeHeader(common::TaggedWriter& w, const YtdHeader& header) {
    return w.writeTag(kHeaderGroup, TagKind::GroupStart) && w.writeValue(header.yearText) &&
           w.writeValue(header.orgName) && w.writeTag({}, TagKind::GroupEnd);
}

bool writeNames(common::TaggedWriter& w, const YtdNames& names) {
    for (std::size_t t = 0; t < names.size(); ++t) {
        if (!w.writeTag(kNameBlocks[t], TagKind::BlockStart))
            return false;
        for (const std::string& name : names[t]) {
            if (!w.writeTag(kItemGroup, TagKind::GroupStart, 1) || !w.writeValue(name) ||
                !w.writeTag({}, TagKind::GroupEnd))
                return false;
        }
        if (!w.writeTag(kNameBlocks[t], TagKind::BlockEnd))
            return false;
    }
    return true;
}

namespace {

bool writeRow(common::TaggedWriter& w, const YtdRow& row) {
    bool ok = w.writeTag(kItemGroup, TagKind::GroupStart, 1) && w.writeInt(row.flag);
    for (double amount : row.amounts)
        ok = ok && w.writeValue(common::fixedText(common::roundShillings(amount), 0));
    return ok && w.writeTag({}, TagKind::GroupEnd);
}

bool readRow(common::TaggedReader& r, YtdRow& row) {
    if (!r.findTag(kItemGroup, TagKind::GroupStart) || !r.readInt(row.flag))
        return false;
    for (double& amount : row.amounts)
        if (!r.readDouble(amount))
            return false;
    return r.findTag({}, TagKind::GroupEnd);
}

} // namespace

bool writeBlock(common::TaggedWriter& w, const YTDREC& rec) {
    bool ok = w.writeTag(kEmployeeBlock, TagKind::BlockStart) &&
              w.writeTag(kHeaderGroup, TagKind::GroupStart, 1);
    for (const std::string* text : {&rec.empNum, &rec.lastName, &rec.otherNames, &rec.jobTitle,
                                    &rec.unitPath, &rec.stationName})
        ok = ok && w.writeValue(*text);
    ok = ok && w.writeInt(rec.payFreq);
    for (int flag : rec.monthFlags)
        ok = ok && w.writeInt(flag);
    ok = ok && w.writeTag({}, TagKind::GroupEnd);
    for (std::size_t row = 0; row < kRowsBeforeLists; ++row)
        ok = ok && writeRow(w, rec.rows[row]);
    for (const auto& list : rec.lists)
        for (const YtdNamedRow& named : list)
            ok = ok && writeRow(w, named.row);
    for (std::size_t row = kRowsBeforeLists; row < kFixedRows; ++row)
        ok = ok && writeRow(w, rec.rows[row]);
    return ok && w.writeTag(kEmployeeBlock, TagKind::BlockEnd);
}

bool readHeader(common::TaggedReader& r, YtdHeader& header) {
    return r.findTag(kHeaderGroup, TagKind::GroupStart) && r.readValue(header.yearText) &&
           r.readValue(header.orgName) && r.findTag({}, TagKind::GroupEnd);
}

bool readNames(common::TaggedReader& r, YtdNames& names) {
    for (std::size_t t = 0; t < names.size(); ++t) {
        names[t].clear();
        if (!r.findTag(kNameBlocks[t], TagKind::BlockStart))
            return false;
        std::string name;
        while (r.findTag(kItemGroup, TagKind::GroupStart)) {
            if (!r.readValue(name) || !r.findTag({}, TagKind::GroupEnd))
                return false;
            names[t].push_back(name);
        }
        if (!r.findTag(kNameBlocks[t], TagKind::BlockEnd))
            return false;
    }
    return true;
}

bool readBlock(common::TaggedReader& r, const YtdNames& names, YTDREC& rec, bool& damaged) {
    damaged = false;
    if (!r.findTag(kEmployeeBlock, TagKind::BlockStart)) {
        damaged = !r.findTag("eof", TagKind::GroupStart);
        return false;
    }
    damaged = true;
    int payFreq = 0;
    if (!r.findTag(kHeaderGroup, TagKind::GroupStart))
        return false;
    for (std::string* text : {&rec.empNum, &rec.lastName, &rec.otherNames, &rec.jobTitle,
                              &rec.unitPath, &rec.stationName})
        if (!r.readValue(*text))
            return false;
    if (!r.readInt(payFreq) || !common::isValidPayFreq(payFreq))
        return false;
    rec.payFreq = static_cast<common::PAYFREQ>(payFreq);
    for (int& flag : rec.monthFlags)
        if (!r.readInt(flag))
            return false;
    if (!r.findTag({}, TagKind::GroupEnd))
        return false;
    for (std::size_t row = 0; row < kRowsBeforeLists; ++row)
        if (!readRow(r, rec.rows[row]))
            return false;
    for (std::size_t t = 0; t < names.size(); ++t) {
        rec.lists[t].resize(names[t].size());
        for (std::size_t i = 0; i < names[t].size(); ++i) {
            rec.lists[t][i].name = names[t][i];
            if (!readRow(r, rec.lists[t][i].row))
                return false;
        }
    }
    for (std::size_t row = kRowsBeforeLists; row < kFixedRows; ++row)
        if (!readRow(r, rec.rows[row]))
            return false;
    if (!r.findTag(kEmployeeBlock, TagKind::BlockEnd))
        return false;
    damaged = false;
    return true;
}

} // namespace kelo::yeartodate
