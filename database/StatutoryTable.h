#pragma once

#include "database/DbTable.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kelo::database {

// A table of one fiscal year's statutory figures, kept in the system folder's
// year folder ("../system/<year>/<name>") and shared by every organisation.
// The object addresses the year last opened; the reading operations open
// their own handle, so an open table (a dialog's) is left as it is.
class StatutoryTable : public DbTable {
public:
    StatutoryTable(engine::Code4& code, const common::WorkingFolder& folder, std::string fileName);

    const std::string& fileName() const { return fileName_; }
    int year() const { return year_; }
    // "../system/<year>/<name>".
    std::string yearPath(int year) const;

    // The year's table exists and opens. Nothing is shown.
    bool checkFile(int year);
    // Opens the year's table, shared or exclusively; false when it cannot be
    // opened (the engine's error code says why; nothing is shown).
    bool openFile(int year, bool exclusive);
    // Makes the year's table as a copy of the table of the same name in
    // `sourceFolder` (absolute, or relative to the working folder), creating
    // the year folder when needed. A year that already has a usable table
    // keeps it: figures the user reviewed are never replaced.
    bool newFile(common::Ui& ui, std::string_view sourceFolder, int year);

protected:
    using Reader = std::function<void(const engine::Data4&)>;
    using Writer = std::function<void(engine::Data4&)>;

    // A shared handle on the year's table with the schema's columns, or
    // nullptr (error code reset) when it is missing or of another layout.
    std::unique_ptr<engine::Data4> openForReading(int year) const;
    // For the tables of one record: `read` gets the year's record, or the
    // open table's; false when there is none.
    bool readYearRecord(int year, const Reader& read) const;
    bool readOpenRecord(const Reader& read) const;
    // `write` fills the open table's record (made when the table is empty)
    // under its lock; false, storing nothing, when another user holds it.
    bool storeOpenRecord(const Writer& write);
    // The table of this name in `sourceFolder` opens with the schema's
    // columns.
    bool sourceOpens(std::string_view sourceFolder) const;
    // For a table with a default of its own: makes the year's table with one
    // record that `write` fills, creating the year folder when needed. A
    // year that already has a usable table keeps it.
    bool newRecordFile(common::Ui& ui, int year, const Writer& write);

private:
    // `sourceFolder` (absolute, or relative to the working folder) joined
    // with the table's name.
    std::string sourcePath(std::string_view sourceFolder) const;

    std::string fileName_;
    int year_ = 0;
};

// Copies the rows of the table at `sourcePath` (absolute, or relative to the
// working folder) into a new table made with `target`'s schema at its path.
// Announces "Creating <name>..."; tells the user and leaves no table behind
// when the source is missing or of another layout or the copy fails.
bool copyTable(common::Ui& ui, DbTable& target, std::string_view sourcePath);

// A shared handle on the table at the absolute `path` when it opens and has
// the schema's columns, else nullptr; the engine's error code is reset.
std::unique_ptr<engine::Data4> openSharedTable(engine::Code4& code, const std::string& path,
                                               const Schema& schema);

// The open table has every column of the schema with its type.
bool hasColumns(const engine::Data4& table, const Schema& schema);

// Whole shillings of a stored limit: blanks, text and negative values read 0.
unsigned long wholeShillings(const engine::Field4& field);
// A stored percentage.
float percentage(const engine::Field4& field);

} // namespace kelo::database
