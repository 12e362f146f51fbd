#include "database/TransactionsRebuild.h"

#include "common/Text.h"
#include "database/TableSupport.h"
#include "engine/Data4.h"
#include "engine/EngineCodes.h"
#include "engine/Field4.h"
#include "engine/TableFile.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace kelo::database {

namespace fs = std::filesystem;

namespace {

std::string indexPathOf(const std::string& tablePath) {
    return engine::companionPath(tablePath, "cdx");
}

void removeWorkFiles(const std::string& workPath) {
    std::error_code ignored;
    for (const char* suffix : {"", ".jnl"})
        fs::remove(workPath + suffix, ignored);
    for (const char* extension : {"cdx", "fpt"})
        fs::remove(engine::companionPath(workPath, extension), ignored);
}

// Creates the work table encrypted exactly when the table it replaces is.
std::unique_ptr<engine::Data4> createWork(engine::Code4& code, const std::string& path,
                                          const Schema& schema, bool encrypted) {
    const bool saved = code.encrypting();
    code.encryptFile(encrypted);
    auto table = engine::Data4::create(code, path, schema.fields, schema.tags);
    code.encryptFile(saved);
    return table;
}

// The names, in upper case, of the columns of the items of `restart`.
std::set<std::string> restartedColumns(const VARDB& layout, const PayItemIds& restart) {
    std::set<std::string> names;
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        const auto t = static_cast<std::size_t>(table);
        const auto& ids = layout.itemIds()[t];
        const auto& defs = *layout.definitions().list(table);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            if (std::find(restart[t].begin(), restart[t].end(), ids[i]) == restart[t].end())
                continue;
            for (const engine::Field4Info& column : payItemColumns(table, ids[i], *defs[i]))
                names.insert(common::toUpper(column.name));
        }
    }
    return names;
}

bool copyRows(engine::Data4& source, engine::Data4& work, const VARDB& layout,
              const PayItemIds& restart) {
    // Pairs of work column and the source column of the same name, if any.
    const std::set<std::string> restarted = restartedColumns(layout, restart);
    std::vector<std::pair<engine::Field4*, const engine::Field4*>> columns;
    for (int i = 1; i <= work.fieldCount(); ++i) {
        engine::Field4* to = work.field(i);
        const bool carried = !restarted.contains(common::toUpper(to->name()));
        columns.emplace_back(to, carried ? source.field(to->name()) : nullptr);
    }
    // New columns start as a new item's.
    const common::VARIATIONSREC fresh = common::newVariationsRec(layout.definitions());
    source.select(static_cast<engine::Tag4*>(nullptr));
    for (int rc = source.top(); rc == engine::r4success && !source.eof(); rc = source.skip()) {
        if (source.deleted())
            continue;
        if (work.appendStart() != engine::r4success)
            return false;
        work.blank();
        if (!layout.storeInto(work, fresh))
            return false;
        for (const auto& [to, from] : columns)
            if (from)
                to->assignField(*from);
        if (work.append() != engine::r4success)
            return false;
    }
    return source.code().errorCode() >= 0;
}

// Puts the work table and its index in the place of the table and its
// index, keeping the old pair under `oldPath`. Each step is undone when a
// later one fails, so the live table and index are either both old or both
// new.
bool replaceTable(const std::string& workPath, const std::string& tablePath,
                  const std::string& oldPath) {
    std::vector<std::pair<std::string, std::string>> moves;
    std::error_code error;
    // A table without tags may have no index file.
    if (fs::exists(indexPathOf(tablePath), error))
        moves.emplace_back(indexPathOf(tablePath), indexPathOf(oldPath));
    moves.emplace_back(indexPathOf(workPath), indexPathOf(tablePath));
    moves.emplace_back(tablePath, oldPath);
    moves.emplace_back(workPath, tablePath);
    std::size_t done = 0;
    for (; done < moves.size(); ++done) {
        fs::rename(moves[done].first, moves[done].second, error);
        if (error)
            break;
    }
    if (done == moves.size())
        return true;
    while (done > 0) {
        --done;
        std::error_code ignored;
        fs::rename(moves[done].second, moves[done].first, ignored);
    }
    return false;
}

void removeOldFiles(const std::string& oldPath) {
    std::error_code ignored;
    fs::remove(oldPath, ignored);
    fs::remove(indexPathOf(oldPath), ignored);
}

} // namespace

bool rebuildTransactions(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         common::PAYFREQ payFreq, const common::PayItemDefs& defs,
                         const PayItemIds& restart) {
    const std::string relative(common::transactionsTablePath(payFreq));
    if (relative.empty())
        return false;
    common::StatusText status(ui, "Updating " + relative + "...");
    const std::string tablePath = folder.resolve(relative);
    std::unique_ptr<engine::Data4> source = openTableAt(code, tablePath, true);
    if (!source) {
        code.setErrorCode(0);
        ui.error("Unable to open " + relative);
        return false;
    }
    VARDB layout(code, folder);
    const std::string workPath = folder.resolve(kRebuildWorkTable);
    removeWorkFiles(workPath);
    std::unique_ptr<engine::Data4> work;
    if (layout.setDefinitions(defs))
        work = createWork(code, workPath, layout.schema(), source->isEncrypted());
    if (!work) {
        code.setErrorCode(0);
        removeWorkFiles(workPath);
        ui.error(std::string("Unable to create ") + kRebuildWorkTable);
        return false;
    }
    bool ok = copyRows(*source, *work, layout, restart);
    ok = work->close() == engine::r4success && ok;
    work.reset();
    // Renamed while the old table is still held, so nobody opens it between.
    const std::string oldPath = folder.resolve(kRebuildOldTable);
    ok = ok && replaceTable(workPath, tablePath, oldPath);
    source->close();
    if (ok)
        removeOldFiles(oldPath);
    if (!ok) {
        code.setErrorCode(0);
        removeWorkFiles(workPath);
        ui.error(std::string("Unable to create ") + kRebuildWorkTable);
        return false;
    }
    return true;
}

} // namespace kelo::database
