#pragma once

#include "engine/Data4.h"

#include <functional>

namespace kelo::database {

// Editing of tables whose rows are ordered by their physical position (the
// PAYE bands, the income brackets): record n is row n of the list. Several
// users may edit one table: an insert or a delete locks the whole table, an
// edit locks its record. Every operation returns false, changing nothing,
// when another user holds a lock it needs.
namespace orderedrows {

using Fill = std::function<void(engine::Data4&)>;

// Locks record `recNo` for an edit (releasing this handle's other locks).
bool lockRecord(engine::Data4& table, long recNo);
// Lets `fill` write into record `recNo`, flushes and unlocks. Uses the
// record's lock when held, else takes it. On failure the record is read
// again, so that the refused values are not written later.
bool storeRecord(engine::Data4& table, long recNo, const Fill& fill);
// Inserts a record after `recNo` (0: before the first): appends a blank
// record, moves every later record one place towards the end, then lets
// `fill` write the new one. The table stands on the new record.
bool insertAfter(engine::Data4& table, long recNo, const Fill& fill);
// Deletes record `recNo` and packs the table.
bool removeRecord(engine::Data4& table, long recNo);

} // namespace orderedrows
} // namespace kelo::database
