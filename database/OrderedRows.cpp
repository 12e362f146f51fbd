#include "database/OrderedRows.h"

#include <string>
#include <vector>

namespace kelo::database::orderedrows {

namespace {
bool inRange(engine::Data4& table, long recNo) {
    return recNo >= 1 && recNo <= table.recCount();
}

// Record `from` is written over record `to`, column by column.
bool copyRecord(engine::Data4& table, long from, long to) {
    if (table.go(from) != engine::r4success)
        return false;
    std::vector<std::string> values;
    for (int i = 1; i <= table.fieldCount(); ++i)
        values.push_back(table.field(i)->str());
    if (table.go(to) != engine::r4success)
        return false;
    for (int i = 1; i <= table.fieldCount(); ++i)
        table.field(i)->assign(values[static_cast<std::size_t>(i - 1)]);
    return table.flush() == engine::r4success;
}

// Drops what could not be written and reads the record again.
void discard(engine::Data4& table, long recNo) {
    table.setChanged(false);
    table.code().setErrorCode(0);
    if (inRange(table, recNo))
        table.go(recNo);
    table.code().setErrorCode(0);
}
} // namespace

bool lockRecord(engine::Data4& table, long recNo) {
    if (!inRange(table, recNo))
        return false;
    if (table.lock(recNo) != engine::r4success) {
        table.code().setErrorCode(0);
        return false;
    }
    return table.go(recNo) == engine::r4success;
}

bool storeRecord(engine::Data4& table, long recNo, const Fill& fill) {
    if (!table.lockTest(recNo) && !lockRecord(table, recNo))
        return false;
    if (table.go(recNo) != engine::r4success) {
        discard(table, recNo);
        table.unlock();
        return false;
    }
    fill(table);
    if (table.flush() != engine::r4success) {
        discard(table, recNo);
        table.unlock();
        return false;
    }
    table.unlock();
    return true;
}

bool insertAfter(engine::Data4& table, long recNo, const Fill& fill) {
    if (recNo < 0 || recNo > table.recCount())
        return false;
    if (table.lockAll() != engine::r4success) {
        table.code().setErrorCode(0);
        return false;
    }
    bool ok = table.appendStart() == engine::r4success;
    if (ok) {
        table.blank();
        ok = table.append() == engine::r4success;
    }
    const long last = table.recCount();
    for (long to = last; ok && to > recNo + 1; --to)
        ok = copyRecord(table, to - 1, to);
    if (ok)
        ok = table.go(recNo + 1) == engine::r4success;
    if (ok) {
        table.blank();
        fill(table);
        ok = table.flush() == engine::r4success;
    }
    if (!ok)
        discard(table, recNo + 1);
    table.unlock();
    return ok;
}

bool removeRecord(engine::Data4& table, long recNo) {
    if (!inRange(table, recNo))
        return false;
    if (table.lockAll() != engine::r4success) {
        table.code().setErrorCode(0);
        return false;
    }
    bool ok = table.go(recNo) == engine::r4success;
    if (ok) {
        table.deleteRec();
        ok = table.pack() == engine::r4success;
    }
    if (!ok) {
        // A pack that failed keeps every row, the deleted one brought back.
        discard(table, recNo);
        if (table.recNo() == recNo && table.deleted()) {
            table.recall();
            table.flush();
            table.code().setErrorCode(0);
        }
    }
    table.unlock();
    return ok;
}

} // namespace kelo::database::orderedrows
