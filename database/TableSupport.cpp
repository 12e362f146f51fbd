#include "database/TableSupport.h"

#include "common/Text.h"
#include "engine/EngineCodes.h"

#include <cstdio>

namespace kelo::database {

std::unique_ptr<engine::Data4> openTableAt(engine::Code4& code, const std::string& path,
                                           bool exclusive) {
    const unsigned char saved = code.accessMode;
    code.accessMode = exclusive ? engine::OPEN4DENY_RW : engine::OPEN4DENY_NONE;
    auto table = engine::Data4::open(code, path);
    code.accessMode = saved;
    return table;
}

TablePlace::TablePlace(engine::Data4* table) : table_(table) {
    if (!table_)
        return;
    tag_ = table_->selected();
    recNo_ = table_->recNo();
    atRecord_ = !table_->eof() && recNo_ >= 1 && recNo_ <= table_->recCount();
}

TablePlace::~TablePlace() {
    if (!table_)
        return;
    table_->select(tag_);
    if (!restorePosition_)
        return;
    // Another user may have packed the table meanwhile.
    if (atRecord_ && recNo_ <= table_->recCount())
        table_->go(recNo_);
    else
        table_->goEof();
}

std::set<std::string> liveKeys(engine::Data4& table, const engine::Field4& column,
                               const std::function<std::string(std::string_view)>& keyOf) {
    std::set<std::string> keys;
    table.select(nullptr);
    for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
        if (!table.deleted())
            keys.insert(keyOf(column.str()));
    }
    return keys;
}

engine::Tag4Info tagInfo(std::string name, std::string expression) {
    return {std::move(name), std::move(expression), "", false, false};
}

std::string upperKey(std::string_view text, std::size_t width) {
    std::string key = common::toUpper(common::trimRight(text));
    if (key.size() > width)
        return {};
    key.resize(width, ' ');
    return key;
}

std::string numberKey(long value, int width) {
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%*ld", width, value);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

namespace {

bool skipDeleted(engine::Data4& table, int rc, std::string_view key) {
    while (rc == engine::r4success && table.deleted())
        rc = table.seekNext(key);
    return rc == engine::r4success;
}

} // namespace

bool seekExact(engine::Data4& table, std::string_view key) {
    if (key.empty() || !table.selected())
        return false;
    return skipDeleted(table, table.seek(key), key);
}

bool seekExactNumber(engine::Data4& table, double key) {
    if (!table.selected())
        return false;
    int rc = table.seekDouble(key);
    while (rc == engine::r4success && table.deleted())
        rc = table.seekNextDouble(key);
    return rc == engine::r4success;
}

bool appendNow(engine::Data4& table) {
    if (table.append() != engine::r4success) {
        table.goEof();
        return false;
    }
    return table.flush() == engine::r4success;
}

bool writeOrRevert(engine::Data4& table) {
    if (table.write() == engine::r4success)
        return true;
    const long recNo = table.recNo();
    table.setChanged(false);
    table.go(recNo);
    return false;
}

} // namespace kelo::database
