#pragma once

#include "engine/TableFile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelo::engine {

// The moments of a journaled change at which a test may stop the process.
enum class JournalStep {
    Written, // the journal is on disk and the table marked; nothing applied yet
    Applied, // the records are applied; the header still names the old state
    Sealed,  // the change is complete; the journal is not cleared yet
};
using JournalHook = std::function<void(JournalStep)>;

// A redo journal beside a table for writes that a killed process could leave
// half done: a record that straddles a page and the rewrite of a pack. The
// after-image is flushed to the journal first, the table is marked (a byte of
// its header, so that handles already open notice a writer that died half
// way), the change is applied and sealed by the header write that raises the
// change counter and clears the mark, the table is flushed, and only then is
// the journal emptied.
//
// A journal names the table state it was written for and the state it makes
// (change counter and file size). A leftover journal is applied again only
// while the table is still in one of those states: once anyone has completed
// a write since, the counter has moved on and the journal is refused, so a
// stale journal never undoes later work.
class Journal {
public:
    struct Write {
        std::uint64_t offset = 0;
        std::string bytes;
    };
    struct State {
        std::uint32_t counter = 0;
        std::uint64_t size = 0;
    };
    struct Change {
        State before;              // the table the change was made for
        State after;               // the table once it is applied
        std::vector<Write> writes; // applied first; then the file takes after.size
        Write seal;                // header bytes written last: the new counter, the mark cleared
    };
    enum class Recovery {
        Nothing, // no journal, or an empty one
        Applied, // the change is (again) complete
        Refused, // a whole journal for another state of the table: discarded
        Torn,    // an incomplete journal: the table was never touched; discarded
        Failed,  // the table could not be written
    };

    static std::string pathFor(const std::string& tablePath) { return tablePath + ".jnl"; }

    // A journal with something in it waits beside the table.
    static bool waiting(const std::string& journalPath) { return fileLength(journalPath) > 0; }
    // The table's change counter and size as they stand.
    static bool readState(const TableFile& table, State& state);
    // The table carries the mark of a journaled change begun and not sealed.
    static bool marked(const char* fixedHeader);

    // Writes `change` to the journal at `journalPath`, applies it to `table`
    // and empties the journal. The caller holds the table's journal and
    // header locks.
    static bool commit(const std::string& journalPath, const TableFile& table, const Change& change,
                       const JournalHook& hook = {});

    // Finishes or refuses what a dead writer left; afterwards the journal is
    // empty and the table unmarked. The caller holds the journal and header
    // locks, so no live writer is using either.
    static Recovery recover(const std::string& journalPath, const TableFile& table,
                            const JournalHook& hook = {});

    static std::string encode(const Change& change);
    static bool decode(const std::string& bytes, Change& change);
};

} // namespace kelo::engine
