#include "database/PayFieldsFile.h"

#include "common/Money.h"
#include "common/TaggedFile.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

namespace kelo::database {

namespace fs = std::filesystem;
using common::PayItemDef;
using common::PayItemDefs;
using common::TagKind;

namespace {

constexpr std::array<const char*, common::kFieldsTableCount> kSections{
    "earnings", "deductions", "benefits", "lumpsums", "refunds"};
// After the sections, where readers that do not know it never look.
constexpr const char* kHighestIds = "highestids";

std::string whole(double value) {
    return common::fixedText(value, 0);
}

std::string twoDecimals(float value) {
    return common::fixedText(static_cast<double>(value), 2);
}

bool writeItem(common::TaggedWriter& w, const PayItemDef& def) {
    bool ok = w.writeTag("item", TagKind::GroupStart, 1) && w.writeInt(def.position) &&
              w.writeInt(def.id) && w.writeValue(def.itemName) && w.writeValue(def.itemType);
    if (common::isCoopType(def.itemType))
        ok = ok && w.writeValue(std::to_string(def.link ? def.link->id : 0));
    if (def.itemType == common::kTypePensionContribution) {
        const common::EmployerContribution employer =
            def.link && def.link->employer ? *def.link->employer : common::EmployerContribution{};
        ok = ok && w.writeValue(std::to_string(def.link ? def.link->id : 0)) &&
             w.writeValue(employer.function) && w.writeValue(twoDecimals(employer.percentage)) &&
             w.writeInt(employer.applyLimits) && w.writeValue(whole(employer.lowerLimit)) &&
             w.writeValue(whole(employer.upperLimit));
    }
    ok = ok && w.writeValue(def.itemFunction);
    if (common::isPercentFunction(def.itemFunction))
        ok = ok && w.writeValue(twoDecimals(def.funcParams.percentage));
    else if (def.itemFunction == common::kFuncBasedOnHours)
        ok = ok && w.writeInt(def.funcParams.rateKind) &&
             w.writeValue(twoDecimals(def.funcParams.factor));
    return ok && w.writeInt(def.applyLimits) && w.writeValue(whole(def.lowerLimit)) &&
           w.writeValue(whole(def.upperLimit)) && w.writeInt(def.isStatic) &&
           w.writeInt(def.taxable) && w.writeInt(def.builtIn) && w.writeTag({}, TagKind::GroupEnd);
}

// Values of one item, read in the order they were written.
class ItemReader {
public:
    explicit ItemReader(common::TaggedReader& reader) : reader_(reader) {}

    bool text(std::string& out) { return reader_.readValue(out); }
    template <class Int> bool integer(Int& out) {
        long parsed = 0;
        if (!number(parsed))
            return false;
        out = static_cast<Int>(parsed);
        return true;
    }
    template <class Real> bool real(Real& out) {
        double parsed = 0;
        if (!number(parsed))
            return false;
        out = static_cast<Real>(parsed);
        return true;
    }

private:
    // The whole value, blanks around it allowed, as a long or a double.
    template <class Number> bool number(Number& parsed) {
        std::string value;
        if (!reader_.readValue(value))
            return false;
        const std::string_view v = trimmed(value);
        const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), parsed);
        return error == std::errc() && end == v.data() + v.size() && !v.empty();
    }
    static std::string_view trimmed(std::string_view v) {
        while (!v.empty() && v.front() == ' ')
            v.remove_prefix(1);
        while (!v.empty() && v.back() == ' ')
            v.remove_suffix(1);
        return v;
    }
    common::TaggedReader& reader_;
};

bool readItem(common::TaggedReader& reader, PayItemDef& def) {
    ItemReader in(reader);
    if (!in.integer(def.position) || !in.integer(def.id) || !in.text(def.itemName) ||
        !in.text(def.itemType))
        return false;
    if (common::isCoopType(def.itemType)) {
        common::PayItemLink link;
        if (!in.integer(link.id))
            return false;
        if (link.id != 0)
            def.link = link;
    }
    if (def.itemType == common::kTypePensionContribution) {
        common::PayItemLink link;
        common::EmployerContribution employer;
        if (!in.integer(link.id) || !in.text(employer.function) || !in.real(employer.percentage) ||
            !in.integer(employer.applyLimits) || !in.real(employer.lowerLimit) ||
            !in.real(employer.upperLimit))
            return false;
        link.employer = employer;
        def.link = link;
    }
    if (!in.text(def.itemFunction))
        return false;
    if (common::isPercentFunction(def.itemFunction) && !in.real(def.funcParams.percentage))
        return false;
    if (def.itemFunction == common::kFuncBasedOnHours &&
        (!in.integer(def.funcParams.rateKind) || !in.real(def.funcParams.factor)))
        return false;
    return in.integer(def.applyLimits) && in.real(def.lowerLimit) && in.real(def.upperLimit) &&
           in.integer(def.isStatic) && in.integer(def.taxable) && in.integer(def.builtIn) &&
           reader.findTag({}, TagKind::GroupEnd);
}

bool readTables(common::TaggedReader& reader, PayFieldTables& tables) {
    if (!reader.skipFileId())
        return false;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        if (!reader.findTag(kSections[t], TagKind::BlockStart))
            return false;
        while (reader.findTag("item", TagKind::GroupStart)) {
            PayItemDef def;
            if (!readItem(reader, def))
                return false;
            tables[t].push_back(std::move(def));
        }
        if (!reader.findTag(kSections[t], TagKind::BlockEnd))
            return false;
    }
    if (reader.findTag(kHighestIds, TagKind::GroupStart)) {
        for (std::int32_t& highest : tables.highestIds) {
            int value = 0;
            if (!reader.readInt(value))
                return false;
            highest = value;
        }
        if (!reader.findTag({}, TagKind::GroupEnd))
            return false;
    }
    for (common::FIELDSTABLE table : common::kFieldsTables)
        tables.highestIds[static_cast<std::size_t>(table)] = highestItemId(tables, table);
    PayItemDefs ignored;
    return payItemDefsOf(tables, ignored);
}

} // namespace

std::int32_t highestItemId(const PayFieldTables& tables, common::FIELDSTABLE table) {
    const auto t = static_cast<std::size_t>(table);
    std::int32_t highest = tables.highestIds[t];
    for (const PayItemDef& def : tables[t])
        highest = std::max(highest, def.id);
    return highest;
}

std::int32_t nextItemId(const PayFieldTables& tables, common::FIELDSTABLE table) {
    return highestItemId(tables, table) + 1;
}

PayFieldTables fieldTablesOf(const common::PayItemDefs& defs) {
    PayFieldTables tables;
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        auto& out = tables[static_cast<std::size_t>(table)];
        if (table == common::EARNINGS) {
            for (const auto& builtIn : {defs.basicPay, defs.overtime})
                if (builtIn)
                    out.push_back(*builtIn);
        }
        if (table == common::DEDUCTIONS && defs.rent)
            out.push_back(*defs.rent);
        for (const auto& def : *defs.list(table))
            out.push_back(*def);
        std::int32_t position = 0;
        for (PayItemDef& def : out) {
            def.position = ++position;
            if (def.id <= 0)
                def.id = position;
        }
    }
    return tables;
}

bool payItemDefsOf(const PayFieldTables& tables, common::PayItemDefs& out) {
    const auto& earnings = tables[common::EARNINGS];
    const auto& deductions = tables[common::DEDUCTIONS];
    if (earnings.size() < 2 || deductions.empty() || !earnings[0].builtIn || !earnings[1].builtIn ||
        !deductions[0].builtIn)
        return false;
    PayItemDefs defs;
    defs.basicPay = std::make_shared<const PayItemDef>(earnings[0]);
    defs.overtime = std::make_shared<const PayItemDef>(earnings[1]);
    defs.rent = std::make_shared<const PayItemDef>(deductions[0]);
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        const auto& source = tables[static_cast<std::size_t>(table)];
        const std::size_t builtIns =
            table == common::EARNINGS ? 2 : (table == common::DEDUCTIONS ? 1 : 0);
        for (std::size_t i = builtIns; i < source.size(); ++i)
            defs.list(table)->push_back(std::make_shared<const PayItemDef>(source[i]));
    }
    out = std::move(defs);
    return true;
}

std::string payFieldsComment(common::PAYFREQ payFreq) {
    return std::string(common::payFreqLabel(payFreq)) + " payroll file";
}

bool writePayFields(const common::WorkingFolder& folder, std::string_view orgFolder,
                    common::PAYFREQ payFreq, std::string_view comment,
                    const PayFieldTables& tables) {
    const std::string path(common::payFieldDefinitionsPath(payFreq));
    if (path.empty())
        return false;
    common::TaggedWriter w(folder.resolve(path), common::TaggedWriter::Mode::Replace);
    bool ok =
        w.writeComment(comment) &&
        w.writeComment("[" + common::WorkingFolder::normalise(orgFolder) + "/" + path + "]") &&
        w.writeComment({}) && w.writeTag("fileid", TagKind::GroupStart) &&
        w.writeValue(common::fileKind::PayrollFields) && w.writeValue(path) &&
        w.writeValue(common::expectedVersion(common::fileKind::PayrollFields)) &&
        w.writeTag({}, TagKind::GroupEnd);
    for (std::size_t t = 0; ok && t < tables.size(); ++t) {
        ok = w.writeTag(kSections[t], TagKind::BlockStart);
        for (const PayItemDef& def : tables[t])
            ok = ok && writeItem(w, def);
        ok = ok && w.writeTag(kSections[t], TagKind::BlockEnd);
    }
    ok = ok && w.writeTag(kHighestIds, TagKind::GroupStart);
    for (common::FIELDSTABLE table : common::kFieldsTables)
        ok = ok && w.writeInt(highestItemId(tables, table));
    ok = ok && w.writeTag({}, TagKind::GroupEnd) && w.writeEof();
    return w.close() && ok;
}

bool readPayFields(common::Ui& ui, const common::WorkingFolder& folder, common::PAYFREQ payFreq,
                   PayFieldTables& out) {
    const std::string path(common::payFieldDefinitionsPath(payFreq));
    const std::string resolved = folder.resolve(path);
    std::error_code error;
    if (path.empty() || !fs::is_regular_file(resolved, error)) {
        ui.error("Unable to open " + path);
        return false;
    }
    if (!common::checkFileId(ui, resolved, path))
        return false;
    common::TaggedReader reader;
    PayFieldTables tables;
    if (!reader.open(resolved) || !readTables(reader, tables)) {
        ui.error("Unable to open " + path);
        return false;
    }
    out = std::move(tables);
    return true;
}

bool loadPayItemDefs(common::Ui& ui, const common::WorkingFolder& folder, common::PAYFREQ payFreq,
                     common::PayItemDefs& out) {
    PayFieldTables tables;
    if (!readPayFields(ui, folder, payFreq, tables))
        return false;
    return payItemDefsOf(tables, out);
}

} // namespace kelo::database
