#pragma once

#include "engine/TableFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelo::engine {

// A redo journal beside a table for writes that a killed process could leave
// half done: a record that straddles a page and the rewrite of a pack. The
// after-image is written completely to the journal first, then applied to the
// table, then the journal is emptied. A complete journal found later is
// applied again; an incomplete one is discarded, the table being untouched.
class Journal {
public:
    struct Write {
        std::uint64_t offset = 0;
        std::string bytes;
    };
    struct Change {
        std::vector<Write> writes;
        std::uint64_t newSize = 0; // 0: keep the file's size
    };

    static std::string pathFor(const std::string& tablePath) { return tablePath + ".jnl"; }

    // Writes `change` to the journal at `journalPath`, applies it to `table`
    // and empties the journal. The caller holds the table's journal lock.
    static bool commit(const std::string& journalPath, const TableFile& table,
                       const Change& change);

    // Applies a complete leftover journal to `table`; discards a torn one.
    // The caller holds the journal lock, so no live writer is using it.
    static bool recover(const std::string& journalPath, const TableFile& table);

    static std::string encode(const Change& change);
    static bool decode(const std::string& bytes, Change& change);
};

} // namespace kelo::engine
