#include "database/TransactionsRebuild.h"

#include "database/TableSupport.h"
#include "database/VarDb.h"
#include "engine/Data4.h"
#include "engine/EngineCodes.h"
#include "engine/Field4.h"
#include "engine/TableFile.h"

#include <filesystem>
#include <memory>
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

bool copyRows(engine::Data4& source, engine::Data4& work, const VARDB& layout) {
    // Pairs of work column and the source column of the same name, if any.
    std::vector<std::pair<engine::Field4*, const engine::Field4*>> columns;
    for (int i = 1; i <= work.fieldCount(); ++i) {
        engine::Field4* to = work.field(i);
        columns.emplace_back(to, source.field(to->name()));
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

bool replaceTable(const std::string& workPath, const std::string& tablePath) {
    std::error_code error;
    // The index file only defines the employee-number tags, which are the
    // same before and after, so the two renames need not be one step.
    fs::rename(indexPathOf(workPath), indexPathOf(tablePath), error);
    if (!error)
        fs::rename(workPath, tablePath, error);
    return !error;
}

} // namespace

bool rebuildTransactions(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         common::PAYFREQ payFreq, const common::PayItemDefs& defs) {
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
    bool ok = copyRows(*source, *work, layout);
    ok = work->close() == engine::r4success && ok;
    work.reset();
    // Renamed while the old table is still held, so nobody opens it between.
    ok = ok && replaceTable(workPath, tablePath);
    source->close();
    if (!ok) {
        code.setErrorCode(0);
        removeWorkFiles(workPath);
        ui.error(std::string("Unable to create ") + kRebuildWorkTable);
        return false;
    }
    return true;
}

} // namespace kelo::database
