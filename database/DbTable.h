#pragma once

#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Data4.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::database {

// The columns and tags a table is created with.
struct Schema {
    std::vector<engine::Field4Info> fields;
    std::vector<engine::Tag4Info> tags;
};

// The base of every table class: where the table lives (a path relative to
// the working folder), its schema, and the open table while it is open.
// Callers also read the open table through the engine (data()).
class DbTable {
public:
    DbTable(engine::Code4& code, const common::WorkingFolder& folder, std::string relativePath);
    virtual ~DbTable();
    DbTable(const DbTable&) = delete;
    DbTable& operator=(const DbTable&) = delete;

    virtual Schema schema() const = 0;

    // Opens shared, or exclusively. False when the table cannot be opened;
    // the engine's error code says why and no message is shown: the caller
    // tells the user in its own words. A table whose index file is missing,
    // damaged or without a tag of the schema fails a shared open (e4index,
    // naming the index file); an exclusive open writes it again from the
    // schema.
    bool openFile(bool exclusive = false);
    void closeFile();
    bool isOpen() const { return table_ != nullptr; }
    // Creates the table empty (replacing none: an existing table is an
    // error), announcing "Creating %s..." and showing "Can't create %s" on
    // failure. The table is left closed.
    bool createFile(common::Ui& ui);

    engine::Data4* data() const { return table_.get(); }
    engine::Code4& code() const { return code_; }
    const common::WorkingFolder& folder() const { return folder_; }
    const std::string& relativePath() const { return relativePath_; }
    std::string path() const { return folder_.resolve(relativePath_); }

protected:
    void setRelativePath(std::string relativePath) { relativePath_ = std::move(relativePath); }
    // A column of the open table; the schema guarantees it exists.
    engine::Field4& field(std::string_view name) const;
    // Selects a tag of the open table by name; false when it has none.
    bool order(std::string_view tagName) const;

private:
    // False (and the table closed, e4field) when a column is missing.
    bool hasColumns(const Schema& s);

    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    std::string relativePath_;
    std::unique_ptr<engine::Data4> table_;
};

// The table at `relativePath` exists and opens (its companions too). The
// engine's error code is reset; nothing is shown.
bool isValid(engine::Code4& code, const common::WorkingFolder& folder,
             std::string_view relativePath);
// The table holds at least one record; otherwise tells the user that the
// `title` file is empty.
bool hasData(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
             std::string_view relativePath, std::string_view title);

// The engine's last error is another user's lock: of a row, of the whole
// table, or of the place an append needed.
bool isLockedByOther(const engine::Code4& code);

// Every one of `relativePaths` passes isValid; otherwise "Can't open %s" is
// told for the first that does not.
bool allValid(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
              std::initializer_list<const char*> relativePaths);

// Why the last open or create of the table at `relativePath` failed, in the
// user's words, from the engine's error code: in use by another user, no
// permission to write, damaged, a companion file missing, another key.
std::string openFailureText(const engine::Code4& code, std::string_view relativePath);

// The file name part of a path, for messages ("static.dbf").
std::string fileTitle(std::string_view path);

} // namespace kelo::database
