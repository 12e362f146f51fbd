#pragma once

#include "engine/Data4.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace kelo::database {

// Opens any table path shared or exclusively, whatever the engine's access
// mode was; nullptr when it cannot be opened.
std::unique_ptr<engine::Data4> openTableAt(engine::Code4& code, const std::string& path,
                                           bool exclusive);

// Keeps an open table's selected order and current record across a look-up,
// so that callers find the table as they left it (they rely on the order the
// last selector chose). keepPosition() leaves the record where the look-up
// went, restoring only the order.
class TablePlace {
public:
    explicit TablePlace(engine::Data4* table);
    ~TablePlace();
    TablePlace(const TablePlace&) = delete;
    TablePlace& operator=(const TablePlace&) = delete;

    void keepPosition() { restorePosition_ = false; }

private:
    engine::Data4* table_;
    engine::Tag4* tag_ = nullptr;
    long recNo_ = 0;
    bool atRecord_ = false;
    bool restorePosition_ = true;
};

// The keys `keyOf` makes of `column`'s text in every live row, the table
// read in record order; callers keep their place with a TablePlace.
std::set<std::string> liveKeys(engine::Data4& table, const engine::Field4& column,
                               const std::function<std::string(std::string_view)>& keyOf);

// An ascending tag over every record.
engine::Tag4Info tagInfo(std::string name, std::string expression);

// The key a tag on UPPER(column) holds for `text`: trailing blanks dropped,
// upper case, blank padded to `width`. Empty when the text is longer than
// the column, since no row can hold it.
std::string upperKey(std::string_view text, std::size_t width);
// The text STR(value, width) gives, for keys of compound tags.
std::string numberKey(long value, int width);

// Seeks `key` in the selected tag and stops on the first row that matches
// it exactly and is not deleted. False, at end of file, when there is none.
bool seekExact(engine::Data4& table, std::string_view key);
bool seekExactNumber(engine::Data4& table, double key);

// Appends the record being built (appendStart, assignments) and writes it.
// On failure the half-built record is dropped and the table stands at end of
// file.
bool appendNow(engine::Data4& table);
// Writes the current record's changes; when that fails (another user holds
// the record) the changes are dropped and the stored record read again, so
// that later moves do not fail on them.
bool writeOrRevert(engine::Data4& table);

} // namespace kelo::database
