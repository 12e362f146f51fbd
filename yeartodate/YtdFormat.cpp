#include "yeartodate/YtdFormat.h"

#include "common/Money.h"
#include "common/Text.h"
#include "common/WorkingFolder.h"

#include <algorithm>

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

// A deduction row shown also shows the deductions' total.
void addDeduction(YTDREC& rec, FixedRow row, double amount, std::size_t month) {
    add(rec.rows[row], amount, month, amount > 0);
    if (amount > 0)
        rec.rows[kTotalDeductionsRow].flag = 1;
}

} // namespace

void addMonth(YTDREC& rec, const common::VARIATIONSREC& pay, std::size_t month) {
    rec.monthFlags[month] = 1;
    YtdRow* rows = rec.rows.data();
    add(rows[kBasicPayRow], pay.basicPay, month, true);
    add(rows[kOvertimeRow], pay.overtimePay, month, pay.overtimePay > 0);
    addDeduction(rec, kRentRow, pay.rent, month);
    addDeduction(rec, kOverdraftRecoveryRow, pay.deficitBF, month);
    addDeduction(rec, kRoundingCFRow, pay.roundingCF, month);
    add(rows[kHousingBenefitRow], pay.housingBenefit, month, pay.housingBenefit > 0);
    if (pay.housingBenefit > 0)
        rows[kTotalBenefitsRow].flag = 1;
    addDeduction(rec, kLumpSumTaxRow, pay.lumpSumTax, month);
    add(rows[kRoundingBFRow], pay.roundingBF, month, pay.roundingBF > 0);
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
    addDeduction(rec, kPayeRow, pay.paye, month);
    addDeduction(rec, kNssfRow, pay.nssfEmployee, month);
    add(rows[kTotalPaymentsRow], pay.totalPay, month, true);
    add(rows[kTotalDeductionsRow], pay.totalDeductions, month, false);
    add(rows[kTotalBenefitsRow], pay.totalBenefits + pay.housingBenefit, month, false);
    add(rows[kOverdraftRow], pay.deficit, month, pay.deficit > 0);
    add(rows[kNetPayRow], pay.netPay, month, true);
    add(rows[kChargeablePayRow], pay.chargeablePay, month, true);
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
