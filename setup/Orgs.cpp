#include "setup/Orgs.h"

#include "common/Calendar.h"
#include "database/TableUse.h"
#include "setup/OrgFiles.h"
#include "setup/StatutoryFiles.h"

#include <filesystem>

namespace kelo::setup {

namespace fs = std::filesystem;
using common::DialogView;
using common::ORGREC;

namespace {

bool renameFolder(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::rename(from, to, error);
    return !error;
}

} // namespace

ORGS::ORGS(common::Ui& ui, engine::Code4& code, common::WorkingFolder& folder)
    : ORGDB(code, folder),
      ui_(ui),
      folder_(folder) {
    openFile(false);
    code.setErrorCode(0);
}

ORGS::~ORGS() {
    closeBankFiles();
    closeFile();
}

std::string ORGS::caption() const {
    return std::string(common::kMessageCaption) + " - " + open_.name;
}

bool ORGS::checkTable() {
    if (isOpen() || openFile(false))
        return true;
    const std::string reason = database::openFailureText(code(), relativePath());
    code().setErrorCode(0);
    ui_.error("The organisations file cannot be used. " + reason);
    return false;
}

bool ORGS::isFirstStart() {
    if (orgCount() != 0)
        return false;
    const std::string first = common::orgFolder(1);
    if (!orgFolderHoldsFiles(folder_, first))
        return true;
    ui_.error("The organisations file " + relativePath() + " lists no organisation, but folder " +
              first +
              " holds an organisation's files. The organisations file may be damaged: restore it "
              "from a copy before going on.");
    return false;
}

int ORGS::orgCount() {
    return ORGDB::orgCount();
}

int ORGS::hasMaxOrg() {
    if (!checkTable())
        return 1;
    const int count = orgCount();
    if (count < kMaxOrganisations)
        return 0;
    ui_.information("You already have " + std::to_string(count) +
                    " organisations which is the maximum supported.");
    return 1;
}

bool ORGS::createOrgFiles(const ORGREC& org) {
    for (const std::string& sub : {std::string("database"), std::string("settings"),
                                   std::string("graphics"), std::to_string(org.year)}) {
        std::error_code error;
        if (!fs::create_directory(folder_.resolve(sub), error)) {
            ui_.error("Can't create " + sub);
            return false;
        }
    }
    return createOrgTables(ui_, code(), folder_, org.folder);
}

bool ORGS::appendOrgRec(const ORGREC& org) {
    engine::Data4* table = data();
    int rc = engine::e4data;
    if (table) {
        table->appendStart();
        table->blank();
        storeRec(org);
        rc = table->append();
        if (rc == engine::r4success)
            rc = table->flush();
    }
    if (rc != engine::r4success) {
        if (table)
            table->goEof(); // drops the half-built record
        code().setErrorCode(0);
        if (rc == engine::r4locked)
            ui_.warning(database::TableUse::inUseMessage(*this));
        else
            ui_.error("Can't update " + relativePath());
        return false;
    }
    table->unlock();
    loadRec(open_);
    return true;
}

int ORGS::createNewOrg(DialogView& dialog, std::string_view /*userName*/) {
    if (hasMaxOrg())
        return 0;
    const std::optional<Entry> entry = readEntry(dialog, Purpose::Create);
    return entry ? createFromEntry(*entry) : 0;
}

int ORGS::createOrg(const NewOrg& wanted) {
    if (hasMaxOrg())
        return 0;
    EntryField fault = EntryField::Name;
    const std::optional<Entry> entry =
        checkEntry(wanted.name, std::to_string(wanted.year), wanted.month, Purpose::Create, fault);
    return entry ? createFromEntry(*entry) : 0;
}

int ORGS::createFromEntry(const Entry& entry) {
    const std::string previous = folder_.current();
    ORGREC org = common::newOrgRec(orgCount() + 1);
    org.name = entry.name;
    org.month = entry.month;
    org.year = entry.year;
    org.fiscalYear = common::fiscalYearOf(common::monthNumber(org.month), org.year);

    // A folder that holds files but has no row is either the leftover of a
    // deletion or the data of a row the table lost: only a person can tell,
    // so it is never cleared here.
    if (orgFolderHoldsFiles(folder_, org.folder)) {
        ui_.error("Folder " + org.folder + " already holds files, but no organisation in " +
                  relativePath() +
                  " uses it. Nothing has been changed. If the organisations file was damaged, "
                  "restore it from a copy; otherwise move the folder away and try again.");
        return 0;
    }
    deleteOrgFiles(ui_, folder_, org.folder, true); // empty subfolders only
    std::error_code error;
    if (!fs::create_directory(folder_.resolve(org.folder), error)) {
        ui_.error("Can't open " + org.folder);
        return 0;
    }
    folder_.moveTo(org.folder);
    // The row comes last, so that a failure leaves nothing to undo but the
    // folder.
    if (!createOrgFiles(org) || !appendOrgRec(org)) {
        folder_.moveTo(previous);
        deleteOrgFiles(ui_, folder_, org.folder, true);
        return 0;
    }
    return 1;
}

int ORGS::initOrgList(DialogView& dialog, const std::string& caption) {
    dialog.setCaption(caption);
    dialog.clearItems(orglistdlg::List);
    if (isOpen()) {
        engine::Data4& table = *data();
        orderByName();
        for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
            if (table.deleted() || table.recNo() == open_.orgNum)
                continue;
            ORGREC row;
            loadRec(row);
            dialog.addItem(orglistdlg::List, row.name, row.orgNum);
        }
    }
    if (dialog.itemCount(orglistdlg::List) == 0) {
        ui_.information("No other organisations were found.");
        return 0;
    }
    return 1;
}

void ORGS::moveToOpenOrg() {
    folder_.moveToSystem();
    folder_.moveTo(open_.folder);
}

int ORGS::openSelOrg(DialogView& dialog, std::string_view /*userName*/) {
    const int row = dialog.selectedRow(orglistdlg::List);
    if (row < 0 || !isOpen() || !findByName(dialog.itemText(orglistdlg::List, row)))
        return 0;
    closeBankFiles();
    loadRec(open_);
    moveToOpenOrg();
    return 1;
}

void ORGS::initDelOrgDlg(DialogView& caution) {
    caution.setCaption("Delete Organisation");
    caution.setText(cautiondlg::Text,
                    "Deleting an organisation will cause all its data files to be deleted. You "
                    "are strongly advised to back up these files before continuing.");
    ui_.beep();
}

int ORGS::deleteOrg(DialogView& dialog, std::string_view /*userName*/) {
    const int row = dialog.selectedRow(orglistdlg::List);
    if (row < 0 || !isOpen())
        return 0;
    const std::string name = dialog.itemText(orglistdlg::List, row);
    if (!findByName(name) || (open_.orgNum != 0 && data()->recNo() == open_.orgNum))
        return 0;
    if (!ui_.ask("Are you sure you want to delete " + name + " and all its data files?",
                 common::Answer::No) ||
        ui_.message("Will now delete " + name + " and all its data files.",
                    common::MessageIcon::Warning, common::MessageButtons::OkCancel,
                    common::kMessageCaption, common::Answer::Cancel) != common::Answer::Ok) {
        ui_.information(name + " has not been deleted.");
        return 0;
    }
    // The lock comes first: another user's lock must leave files and row
    // alike.
    engine::Data4& table = *data();
    if (table.lockAll() != engine::r4success) {
        code().setErrorCode(0);
        ui_.warning(database::TableUse::inUseMessage(*this));
        return 0;
    }
    ORGREC doomed;
    const bool found = findByName(name);
    if (found)
        loadRec(doomed);
    if (!found || !checkOrgFolder(ui_, doomed.folder)) {
        table.unlock();
        return 0;
    }
    // Whatever cannot be removed now is cleared when the number is next used.
    deleteOrgFiles(ui_, folder_, doomed.folder, true);
    table.deleteRec();
    table.pack();
    renumber();
    ui_.information(name + " has been deleted.");
    return 1;
}

void ORGS::renumber() {
    engine::Data4& table = *data();
    folder_.moveToSystem();
    table.select(nullptr);
    for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
        ORGREC row;
        loadRec(row);
        const bool isOpenOrg =
            open_.orgNum != 0 && common::WorkingFolder::samePath(row.folder, open_.folder);
        const std::string expected = common::orgFolder(row.orgNum);
        if (!common::WorkingFolder::samePath(row.folder, expected) && isOrgFolderPath(row.folder) &&
            renameFolder(folder_.resolve(row.folder), folder_.resolve(expected))) {
            row.folder = expected;
            storeRec(row);
            if (isOpenOrg)
                open_.folder = expected;
        }
        // The row number is what later saves and checks go by, renamed or not.
        if (isOpenOrg)
            open_.orgNum = row.orgNum;
    }
    table.flush();
    table.unlock();
    code().setErrorCode(0);
    orderByName();
    if (open_.orgNum != 0)
        moveToOpenOrg();
}

bool ORGS::saveOpenRec(const std::string& previousName) {
    if (!isOpen() || open_.orgNum == 0 ||
        !findByName(previousName.empty() ? open_.name : previousName))
        return false;
    engine::Data4& table = *data();
    if (table.lock(table.recNo()) != engine::r4success) {
        code().setErrorCode(0);
        return false;
    }
    storeRec(open_);
    const bool written = table.flush() == engine::r4success;
    if (!written) {
        // Dropped, so that a later move does not try the write again.
        table.setChanged(false);
        table.go(table.recNo());
    }
    table.unlock();
    code().setErrorCode(0);
    return written;
}

int ORGS::newStatutoryFiles(const std::string& sourceFolder) {
    if (open_.orgNum == 0)
        return 0;
    return setup::newStatutoryFiles(ui_, code(), folder_, open_.fiscalYear, sourceFolder) ? 1 : 0;
}

} // namespace kelo::setup
