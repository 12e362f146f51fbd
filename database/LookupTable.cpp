#include "database/LookupTable.h"

#include "database/TableSupport.h"
#include "database/TableUse.h"

namespace kelo::database {

LookupTable::LookupTable(engine::Code4& code, const common::WorkingFolder& folder,
                         std::string relativePath, std::string nameColumn)
    : DbTable(code, folder, std::move(relativePath)),
      nameColumn_(std::move(nameColumn)) {}

Schema LookupTable::lookupSchema() const {
    return {{{kCode, 'N', kCodeWidth, 0}, {nameColumn_, 'C', kNameWidth, 0}},
            {tagInfo(nameColumn_, "UPPER(" + nameColumn_ + ")"), tagInfo(kCodeTag, kCode)}};
}

bool LookupTable::gotoCode(long code) {
    if (!data())
        return false;
    TablePlace place(data());
    order(kCodeTag);
    const bool found = seekExactNumber(*data(), static_cast<double>(code));
    if (!found)
        data()->goEof();
    place.keepPosition();
    return found;
}

bool LookupTable::gotoName(std::string_view name) {
    if (!data())
        return false;
    TablePlace place(data());
    order(nameColumn_);
    const bool found = seekExact(*data(), upperKey(name, kNameWidth));
    if (!found)
        data()->goEof();
    place.keepPosition();
    return found;
}

std::vector<LookupEntry> LookupTable::entries() {
    std::vector<LookupEntry> rows;
    if (!data())
        return rows;
    TablePlace place(data());
    for (int rc = data()->top(); rc == engine::r4success && !data()->eof(); rc = data()->skip()) {
        if (!data()->deleted())
            rows.push_back({field(kCode).getLong(), field(nameColumn_).trimmed()});
    }
    return rows;
}

std::optional<std::vector<LookupEntry>> LookupTable::entriesByName() {
    TableUse use(*this, nullptr);
    if (!use)
        return std::nullopt;
    orderByName();
    return entries();
}

bool LookupTable::readCode(long code, const std::function<void()>& read) {
    if (!data())
        return false;
    TablePlace place(data());
    if (!gotoCode(code))
        return false;
    read();
    return true;
}

long LookupTable::appendWithNextCode(const std::function<void()>& fill) {
    if (!data())
        return 0;
    const long code = nextCode();
    if (data()->appendStart() != engine::r4success)
        return 0;
    data()->blank();
    field(kCode).assignLong(code);
    fill();
    return appendNow(*data()) ? code : 0;
}

bool LookupTable::updateCurrent(const std::function<void()>& fill) {
    if (!data() || data()->eof())
        return false;
    fill();
    return writeOrRevert(*data());
}

long LookupTable::nextCode() {
    if (!data())
        return 1;
    TablePlace place(data());
    order(kCodeTag);
    if (data()->bottom() != engine::r4success || data()->eof())
        return 1;
    return field(kCode).getLong() + 1;
}

std::string LookupTable::nameOf(long code) {
    if (!data() || code == 0)
        return {};
    TablePlace place(data());
    order(kCodeTag);
    return seekExactNumber(*data(), static_cast<double>(code)) ? field(nameColumn_).trimmed()
                                                               : std::string();
}

long LookupTable::codeOf(std::string_view name) {
    if (!data())
        return 0;
    TablePlace place(data());
    order(nameColumn_);
    return seekExact(*data(), upperKey(name, kNameWidth)) ? field(kCode).getLong() : 0;
}

} // namespace kelo::database
