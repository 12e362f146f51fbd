#include "procedures/LiveGuard.h"

#include "database/AbsenceDb.h"
#include "database/DbTable.h"
#include "database/LeaveDb.h"
#include "database/OrgDb.h"
#include "database/PayLogDb.h"
#include "database/StaticDb.h"
#include "engine/Data4.h"
#include "procedures/MonthEndRecovery.h"
#include "procedures/RecoveryCopy.h"
#include "setup/Backup.h"

#include <filesystem>

namespace kelo::procedures {

LiveMonthEndGuard::LiveMonthEndGuard(engine::Code4& code, const common::WorkingFolder& folder)
    : code_(code),
      folder_(folder) {}

std::vector<std::string> LiveMonthEndGuard::exclusiveTables() {
    std::vector<std::string> tables{database::STATDB::kPath};
    for (common::PAYFREQ payFreq : common::kPayFreqs)
        tables.emplace_back(common::transactionsTablePath(payFreq));
    tables.insert(tables.end(), {database::ABSENCEDB::kPath, database::LEAVEDB::kPath,
                                 database::PAYLOGDB::kPath});
    return tables;
}

std::string LiveMonthEndGuard::busyTable(const common::ORGREC& org) {
    for (const std::string& table : exclusiveTables()) {
        if (heldByOther(table))
            return table;
    }
    return rowHeldByOther(org) ? std::string(database::ORGDB::kPath) : std::string();
}

// A table missing or damaged is no other user's; the step that needs it
// tells its own failure.
bool LiveMonthEndGuard::heldByOther(const std::string& relativePath) {
    const unsigned char savedMode = code_.accessMode;
    code_.accessMode = engine::OPEN4DENY_RW;
    auto table = engine::Data4::open(code_, folder_.resolve(relativePath));
    code_.accessMode = savedMode;
    const bool busy = !table && code_.errorCode() == engine::e4access;
    if (table)
        table->close();
    code_.setErrorCode(0);
    return busy;
}

bool LiveMonthEndGuard::rowHeldByOther(const common::ORGREC& org) {
    database::ORGDB table(code_, folder_);
    bool busy = false;
    if (table.openFile() && table.findByName(org.name)) {
        engine::Data4& data = *table.data();
        busy = data.lock(data.recNo()) != engine::r4success;
        data.unlock();
    } else {
        busy = database::isLockedByOther(code_);
    }
    table.closeFile();
    code_.setErrorCode(0);
    return busy;
}

bool LiveMonthEndGuard::begin(const common::ORGREC& org, Closing closing) {
    point_ = std::make_unique<RecoveryPoint>(folder_.dataFolder(), folder_.current());
    // Another month end under way, or an interrupted one not put back yet,
    // whose copy is the only way back: neither may be replaced.
    if (!point_->hold() || point_->marker()) {
        point_.reset();
        return false;
    }
    RecoveryPoint::Marker marker{org, {}, true, {}, closing == Closing::Period};
    if (closing == Closing::Month && org.month == "June") {
        marker.newStatutoryFolder =
            folder_.resolve("../system/" + std::to_string(org.fiscalYear + 1));
        std::error_code error;
        marker.statutoryFolderExisted = std::filesystem::exists(marker.newStatutoryFolder, error);
        for (std::filesystem::directory_iterator it(marker.newStatutoryFolder, error), end;
             !error && it != end; it.increment(error))
            marker.statutoryFiles.push_back(it->path().filename().string());
    }
    if (!point_->make(marker)) {
        point_.reset();
        return false;
    }
    newStatutoryFolder_ = marker.newStatutoryFolder;
    // The copy is the way back from a torn record as from a killed run, and
    // a journal per record would cost more than the rest of the month end.
    code_.journalExclusiveWrites = false;
    return true;
}

void LiveMonthEndGuard::end() {
    if (!point_)
        return;
    code_.journalExclusiveWrites = true;
    // Only what is on the disk may take the copy's place; a folder that
    // cannot be flushed keeps the copy, and the month end counts as
    // interrupted.
    std::error_code error;
    const bool flushed =
        syncTree(folder_.current()) &&
        (newStatutoryFolder_.empty() || !std::filesystem::exists(newStatutoryFolder_, error) ||
         syncTree(newStatutoryFolder_));
    if (flushed)
        point_->drop();
    point_.reset(); // lets the hold go
}

int recoverMonthEnds(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder) {
    return recoverMonthEnds(ui, folder.dataFolder(), [&](const common::ORGREC& org) {
        return setup::saveOrgRec(code, folder, org);
    });
}

} // namespace kelo::procedures
