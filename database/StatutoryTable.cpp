#include "database/StatutoryTable.h"

#include "database/OrderedRows.h"
#include "database/TableSupport.h"
#include "engine/IndexFile.h"
#include "engine/MemoFile.h"

#include <cmath>
#include <filesystem>

namespace kelo::database {

namespace {
std::unique_ptr<engine::Data4> openShared(engine::Code4& code, const std::string& path) {
    return openTableAt(code, path, false);
}

// A half-made copy goes with its companions, so that the next try starts clean.
void removeTable(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(engine::IndexFile::pathFor(path), ignored);
    std::filesystem::remove(engine::MemoFile::pathFor(path), ignored);
    std::filesystem::remove(path, ignored);
}
} // namespace

StatutoryTable::StatutoryTable(engine::Code4& code, const common::WorkingFolder& folder,
                               std::string fileName)
    // Until a year is opened the object addresses year 0, which never exists.
    : DbTable(code, folder, "../system/0/" + fileName),
      fileName_(std::move(fileName)) {}

std::string StatutoryTable::yearPath(int year) const {
    return "../system/" + std::to_string(year) + "/" + fileName_;
}

bool StatutoryTable::checkFile(int year) {
    return openForReading(year) != nullptr;
}

bool StatutoryTable::openFile(int year, bool exclusive) {
    closeFile();
    year_ = year;
    setRelativePath(yearPath(year));
    return DbTable::openFile(exclusive);
}

std::string StatutoryTable::sourcePath(std::string_view sourceFolder) const {
    std::string source(sourceFolder);
    if (!source.empty() && source.back() != '/' && source.back() != '\\')
        source += '/';
    return source + fileName_;
}

bool StatutoryTable::sourceOpens(std::string_view sourceFolder) const {
    return openSharedTable(code(), folder().resolve(sourcePath(sourceFolder)), schema()) != nullptr;
}

bool StatutoryTable::newFile(common::Ui& ui, std::string_view sourceFolder, int year) {
    closeFile();
    year_ = year;
    setRelativePath(yearPath(year));
    if (checkFile(year))
        return true;
    const std::string source = sourcePath(sourceFolder);
    // A missing source must leave no empty year folder behind either.
    auto probe = openShared(code(), folder().resolve(source));
    code().setErrorCode(0);
    if (!probe) {
        ui.error("Can't open " + source);
        return false;
    }
    probe->close();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path()).parent_path(), ignored);
    return copyTable(ui, *this, source);
}

bool StatutoryTable::newRecordFile(common::Ui& ui, int year, const Writer& write) {
    closeFile();
    year_ = year;
    setRelativePath(yearPath(year));
    if (checkFile(year))
        return true;
    common::StatusText status(ui, "Creating " + fileTitle(relativePath()) + "...");
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path()).parent_path(), ignored);
    const Schema layout = schema();
    auto table = engine::Data4::create(code(), path(), layout.fields, layout.tags);
    bool ok = table && table->appendStart() == engine::r4success;
    if (ok) {
        table->blank();
        write(*table);
        ok = table->append() == engine::r4success;
    }
    if (table)
        ok = table->close() == engine::r4success && ok;
    if (!ok) {
        code().setErrorCode(0);
        removeTable(path());
        ui.error("Can't create " + relativePath());
    }
    return ok;
}

std::unique_ptr<engine::Data4> StatutoryTable::openForReading(int year) const {
    return openSharedTable(code(), folder().resolve(yearPath(year)), schema());
}

bool StatutoryTable::readYearRecord(int year, const Reader& read) const {
    auto table = openForReading(year);
    if (!table)
        return false;
    const bool found = table->top() == engine::r4success;
    if (found)
        read(*table);
    table->close();
    code().setErrorCode(0);
    return found;
}

bool StatutoryTable::readOpenRecord(const Reader& read) const {
    if (!data())
        return false;
    const bool found = data()->top() == engine::r4success;
    code().setErrorCode(0);
    if (found)
        read(*data());
    return found;
}

bool StatutoryTable::storeOpenRecord(const Writer& write) {
    if (!data())
        return false;
    if (data()->recCount() == 0)
        return orderedrows::insertAfter(*data(), 0, write);
    return orderedrows::storeRecord(*data(), 1, write);
}

bool copyTable(common::Ui& ui, DbTable& target, std::string_view sourcePath) {
    target.closeFile();
    engine::Code4& code = target.code();
    common::StatusText status(ui, "Creating " + fileTitle(target.relativePath()) + "...");
    const std::string sourceText(sourcePath);
    auto source = openShared(code, target.folder().resolve(sourceText));
    if (!source) {
        code.setErrorCode(0);
        ui.error("Can't open " + sourceText);
        return false;
    }
    const Schema schema = target.schema();
    if (!hasColumns(*source, schema)) {
        code.setErrorCode(0);
        ui.error("Can't read " + sourceText);
        return false;
    }
    const std::string path = target.path();
    auto copy = engine::Data4::create(code, path, schema.fields, schema.tags);
    if (!copy) {
        code.setErrorCode(0);
        ui.error("Can't create " + target.relativePath());
        return false;
    }
    bool ok = true;
    int rc = source->top();
    for (; ok && rc == engine::r4success; rc = source->skip()) {
        if (source->deleted())
            continue;
        ok = copy->appendStart() == engine::r4success;
        if (!ok)
            break;
        copy->blank();
        for (const engine::Field4Info& column : schema.fields)
            copy->field(column.name)->assignField(*source->field(column.name));
        ok = copy->append() == engine::r4success;
    }
    ok = ok && rc == engine::r4eof;
    ok = copy->close() == engine::r4success && ok;
    source->close();
    if (!ok) {
        code.setErrorCode(0);
        removeTable(path);
        ui.error("Can't create " + target.relativePath());
    }
    return ok;
}

std::unique_ptr<engine::Data4> openSharedTable(engine::Code4& code, const std::string& path,
                                               const Schema& schema) {
    auto table = openShared(code, path);
    if (table && !hasColumns(*table, schema)) {
        table->close();
        table.reset();
    }
    code.setErrorCode(0);
    return table;
}

bool hasColumns(const engine::Data4& table, const Schema& schema) {
    for (const engine::Field4Info& wanted : schema.fields) {
        const engine::Field4* found = table.field(wanted.name);
        if (!found || found->type() != wanted.type)
            return false;
    }
    return true;
}

unsigned long wholeShillings(const engine::Field4& field) {
    const double value = field.getDouble();
    if (!(value > 0))
        return 0;
    return static_cast<unsigned long>(std::llround(value));
}

float percentage(const engine::Field4& field) {
    return static_cast<float>(field.getDouble());
}

} // namespace kelo::database
