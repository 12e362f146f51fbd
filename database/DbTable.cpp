#include "database/DbTable.h"

#include "database/TableSupport.h"
#include "engine/IndexFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kelo::database {

DbTable::DbTable(engine::Code4& code, const common::WorkingFolder& folder, std::string relativePath)
    : code_(code),
      folder_(folder),
      relativePath_(std::move(relativePath)) {}

DbTable::~DbTable() = default;

namespace {
bool hasAllTags(const engine::Data4& table, const Schema& schema) {
    return std::all_of(schema.tags.begin(), schema.tags.end(),
                       [&](const engine::Tag4Info& t) { return table.tag(t.name) != nullptr; });
}
} // namespace

bool DbTable::openFile(bool exclusive) {
    closeFile();
    const Schema s = schema();
    const std::string indexFile = engine::IndexFile::pathFor(relativePath_);
    table_ = openTableAt(code_, path(), exclusive);
    if (!table_ && !(exclusive && code_.errorCode() == engine::e4index)) {
        if (code_.errorCode() == engine::e4index)
            code_.error(engine::e4index, "index file " + indexFile + " is damaged");
        return false;
    }
    if (table_ && !hasColumns(s))
        return false;
    // Held alone, a table gets back the index file it lost or that lost its
    // tags; shared, it must not open without them, or seeks would quietly
    // find nothing.
    if (exclusive && (!table_ || !hasAllTags(*table_, s))) {
        const bool checked = table_ != nullptr;
        table_.reset();
        code_.setErrorCode(0);
        table_ = engine::Data4::openWithTags(code_, path(), s.tags);
        if (!table_) {
            if (code_.errorCode() == engine::e4index)
                code_.error(engine::e4index, "index file " + indexFile + " cannot be written");
            return false;
        }
        if (!checked && !hasColumns(s))
            return false;
    }
    for (const engine::Tag4Info& wanted : s.tags) {
        if (!table_->tag(wanted.name)) {
            table_.reset();
            code_.error(engine::e4index,
                        engine::fileExists(engine::IndexFile::pathFor(path()))
                            ? "index file " + indexFile + " has no tag " + wanted.name
                            : "index file " + indexFile + " is missing");
            return false;
        }
    }
    return true;
}

bool DbTable::hasColumns(const Schema& s) {
    // A table of another layout is refused here, so that every column the
    // schema names can be relied on afterwards.
    for (const engine::Field4Info& wanted : s.fields) {
        const engine::Field4* found = table_->field(wanted.name);
        if (!found || found->type() != wanted.type) {
            table_.reset();
            code_.error(engine::e4field, relativePath_ + " has no column " + wanted.name);
            return false;
        }
    }
    return true;
}

void DbTable::closeFile() {
    if (table_) {
        table_->close();
        table_.reset();
    }
}

bool DbTable::createFile(common::Ui& ui) {
    closeFile();
    common::StatusText status(ui, "Creating " + fileTitle(relativePath_) + "...");
    const Schema s = schema();
    auto created = engine::Data4::create(code_, path(), s.fields, s.tags);
    if (!created) {
        code_.setErrorCode(0);
        ui.error("Can't create " + relativePath_);
        return false;
    }
    created->close();
    return true;
}

engine::Field4& DbTable::field(std::string_view name) const {
    engine::Field4* f = table_ ? table_->field(name) : nullptr;
    if (!f) {
        // openFile checked the schema's columns: only a name outside the
        // schema gets here, a programming error.
        std::fprintf(stderr, "kelo: table %s has no column %.*s\n", relativePath_.c_str(),
                     static_cast<int>(name.size()), name.data());
        std::abort();
    }
    return *f;
}

bool DbTable::order(std::string_view tagName) const {
    if (!table_)
        return false;
    engine::Tag4* tag = table_->tag(tagName);
    table_->select(tag);
    return tag != nullptr;
}

bool isValid(engine::Code4& code, const common::WorkingFolder& folder,
             std::string_view relativePath) {
    const unsigned char saved = code.accessMode;
    code.accessMode = engine::OPEN4DENY_NONE;
    auto table = engine::Data4::open(code, folder.resolve(relativePath));
    code.accessMode = saved;
    code.setErrorCode(0);
    return table != nullptr;
}

bool hasData(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
             std::string_view relativePath, std::string_view title) {
    auto table = engine::Data4::open(code, folder.resolve(relativePath));
    code.setErrorCode(0);
    if (!table) {
        ui.error("Can't open " + std::string(relativePath));
        return false;
    }
    if (table->recCount() == 0) {
        ui.error("The " + std::string(title) + " file is empty.");
        return false;
    }
    return true;
}

std::string fileTitle(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace kelo::database

namespace kelo::database {

bool isLockedByOther(const engine::Code4& code) {
    return code.errorCode() == engine::r4locked || code.errorCode() == engine::e4lock;
}

bool allValid(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
              std::initializer_list<const char*> relativePaths) {
    for (const char* path : relativePaths) {
        if (!isValid(code, folder, path)) {
            ui.error("Can't open " + std::string(path));
            return false;
        }
    }
    return true;
}

std::string openFailureText(const engine::Code4& code, std::string_view relativePath) {
    const std::string file(relativePath);
    switch (code.errorCode()) {
    case engine::e4access:
    case engine::e4lock:
        return file + " is currently in use by another user.";
    case engine::e4permission:
        return file + " cannot be written: you have no permission to change files in its folder.";
    case engine::e4index:
        return file + " cannot be opened: " + code.errorText() + ".";
    case engine::e4encrypt:
        return file + " cannot be read with this data folder's key.";
    case engine::e4data:
    case engine::e4memo:
    case engine::e4expr:
    case engine::e4field:
        return file + " is damaged (" + code.errorText() + ").";
    default:
        return "Can't open " + file + " (" + code.errorText() + ").";
    }
}

} // namespace kelo::database
