#pragma once

#include "database/DbTable.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::database {

// One row of a lookup list as the lists and combo boxes show it.
struct LookupEntry {
    long code = 0;
    std::string name;
    friend bool operator==(const LookupEntry&, const LookupEntry&) = default;
};

// A table whose rows are numbered by a unique code (never 0, which stands
// for "none" wherever a code is stored) and named by a text unique without
// regard to case. Stations, pay groups, co-operatives, pension funds,
// grades, jobs and administrative units are such tables.
//
// Look-ups leave the table in the order the last selector chose and on the
// record it stood on; the goto operations move it.
class LookupTable : public DbTable {
public:
    static constexpr const char* kCode = "CODE";
    static constexpr unsigned kCodeWidth = 10;
    static constexpr std::size_t kNameWidth = 24;
    static constexpr const char* kCodeTag = "CODE";

    // The column holding the name ("NAME", or "TITLE" for jobs); its tag on
    // UPPER() of it has the same name.
    const std::string& nameColumn() const { return nameColumn_; }

    // Sort-order selectors; false when the table is not open.
    bool orderByName() const { return order(nameColumn_); }
    bool orderByCode() const { return order(kCodeTag); }

    // Moves to the row with this code or name (names compare without regard
    // to case); false, at end of file, when there is none.
    bool gotoCode(long code);
    bool gotoName(std::string_view name);

    // Every row in the order last selected.
    std::vector<LookupEntry> entries();
    // Every row in name order, the table opened shared for it when it is not
    // open (and its order kept when it is); nullopt, with the engine's error
    // code reset, when it cannot be opened. Nothing is shown.
    std::optional<std::vector<LookupEntry>> entriesByName();
    // The code for a new row: the largest code plus 1, 1 for an empty table.
    long nextCode();

protected:
    // Runs `read` on the row of `code`, keeping the table's order and
    // position; false when there is no such row.
    bool readCode(long code, const std::function<void()>& read);
    // Appends a row with the next free code and the values `fill` assigns;
    // the new code, or 0 when the row could not be added.
    long appendWithNextCode(const std::function<void()>& fill);
    // Assigns with `fill` on the current row and writes it.
    bool updateCurrent(const std::function<void()>& fill);

    LookupTable(engine::Code4& code, const common::WorkingFolder& folder, std::string relativePath,
                std::string nameColumn = "NAME");

    // The code and name columns and their tags; members add their own.
    Schema lookupSchema() const;
    // Empty for an unknown code or a closed table.
    std::string nameOf(long code);
    // 0 for an unknown name or a closed table.
    long codeOf(std::string_view name);

private:
    std::string nameColumn_;
};

} // namespace kelo::database
