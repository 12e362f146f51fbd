#include "setup/TreeDialogs.h"

#include "common/Text.h"
#include "database/StaticDb.h"
#include "database/TableSupport.h"
#include "database/TableUse.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <system_error>

namespace kelo::setup {

using common::DialogView;
using common::Ui;
using database::POSTREC;
using database::TableUse;
using database::UNITREC;
using TreeItem = common::DialogView::TreeItem;

namespace {

constexpr const char* kStaticPath = database::STATDB::kPath;
constexpr std::size_t kNameWidth = database::LookupTable::kNameWidth;
constexpr int kCountDigits = 5;
constexpr int kMaxCount = 99999;

constexpr const char* kUnitLocked = "This unit is currently locked by another user.";
constexpr const char* kPleaseEnter = "Please enter a value for this field.";

std::string clean(std::string_view text, std::size_t width) {
    return common::trim(common::fitText(common::trim(text), width));
}

std::string invalidField(const char* label) {
    return std::string("The value entered for the \"") + label + "\" field is invalid.";
}

// Why an append or write failed: another user's lock is a warning, anything
// else an error with the engine's reason.
void tellWriteFailure(Ui& ui, database::DbTable& table, const std::string& name, const char* what) {
    engine::Code4& code = table.code();
    const bool locked = database::isLockedByOther(code);
    const std::string reason = code.errorText();
    code.setErrorCode(0);
    if (locked)
        ui.warning(TableUse::inUseMessage(table) + " " + name + " has not been " + what + ".");
    else
        ui.error(TableUse::cantUpdateMessage(table) + ": " + name + " has not been " + what + "." +
                 (reason.empty() ? "" : " (" + reason + ")"));
}

// Appends a row whose columns `fill` assigns; a failure is told by `name`.
bool appendRow(Ui& ui, database::DbTable& table, const std::string& name,
               const std::function<void(engine::Data4&)>& fill) {
    engine::Data4& data = *table.data();
    bool ok = data.appendStart() == engine::r4success;
    if (ok) {
        data.blank();
        fill(data);
        ok = database::appendNow(data);
    }
    if (!ok) {
        tellWriteFailure(ui, table, name, "added");
        return false;
    }
    data.flush();
    data.unlock();
    return true;
}

// Deletes the current row and packs, under a whole-table lock the caller
// holds; tells why when it cannot.
bool deleteCurrent(Ui& ui, database::DbTable& table) {
    engine::Data4& data = *table.data();
    data.deleteRec();
    const bool packed = data.pack() == engine::r4success;
    if (!packed) {
        const std::string reason = table.code().errorText();
        ui.error(TableUse::cantUpdateMessage(table) + (reason.empty() ? "" : " (" + reason + ")"));
    }
    data.unlock();
    table.code().setErrorCode(0);
    return packed;
}

// Locks the row of `code`: beeps when it is gone, warns with `lockedText`
// when another user holds it. `heldBefore` tells whether this handle held it
// already (an open properties dialog), so that a refusal keeps that lock.
bool lockLookupRow(Ui& ui, database::LookupTable& table, long code, const char* lockedText,
                   bool& heldBefore) {
    heldBefore = false;
    if (!table.isOpen() || !table.gotoCode(code)) {
        ui.beep();
        return false;
    }
    engine::Data4& data = *table.data();
    const long recNo = data.recNo();
    heldBefore = data.lockTest(recNo);
    const int rc = data.lock(recNo);
    if (rc == engine::r4locked) {
        table.code().setErrorCode(0);
        ui.warning(lockedText);
        return false;
    }
    if (rc != engine::r4success) {
        tellWriteFailure(ui, table, std::to_string(code), "changed");
        return false;
    }
    // Another user may have deleted and packed meanwhile: the record number
    // then belongs to another row.
    if (data.deleted() || data.field(database::LookupTable::kCode)->getLong() != code) {
        if (!heldBefore)
            data.unlock();
        ui.beep();
        return false;
    }
    return true;
}

// The item of `code` anywhere in the tree; kRoot when none.
TreeItem findByCode(const DialogView& view, std::string_view control, long code) {
    std::vector<TreeItem> pending = view.treeChildren(control, DialogView::kRoot);
    while (!pending.empty()) {
        const TreeItem item = pending.back();
        pending.pop_back();
        if (view.treeItemCode(control, item) == code)
            return item;
        const auto children = view.treeChildren(control, item);
        pending.insert(pending.end(), children.begin(), children.end());
    }
    return DialogView::kRoot;
}

TreeItem findByText(const DialogView& view, std::string_view control, TreeItem parent,
                    std::string_view text) {
    for (TreeItem item : view.treeChildren(control, parent)) {
        if (common::equalsIgnoreCase(view.treeItemText(control, item), text))
            return item;
    }
    return DialogView::kRoot;
}

// Where the selection goes when `item` is removed: the previous sibling,
// else the item above, else the next sibling.
TreeItem neighbourOf(const DialogView& view, std::string_view control, TreeItem item) {
    const TreeItem parent = view.treeParent(control, item);
    const auto siblings = view.treeChildren(control, parent);
    const auto at = std::find(siblings.begin(), siblings.end(), item);
    if (at == siblings.end())
        return DialogView::kRoot;
    if (at != siblings.begin())
        return *(at - 1);
    if (parent != DialogView::kRoot)
        return parent;
    return at + 1 != siblings.end() ? *(at + 1) : DialogView::kRoot;
}

void removeAndSelectNeighbour(DialogView& view, std::string_view control, TreeItem item) {
    const TreeItem next = neighbourOf(view, control, item);
    view.removeTreeItem(control, item);
    if (next != DialogView::kRoot)
        view.selectTreeItem(control, next);
}

void selectFirst(DialogView& view, std::string_view control) {
    const auto top = view.treeChildren(control, DialogView::kRoot);
    if (!top.empty())
        view.selectTreeItem(control, top.front());
}

// "%d" as the dialogs read it: the leading whole number, 0 when there is
// none.
int readCount(const std::string& text) {
    int value = 0;
    return std::sscanf(text.c_str(), "%d", &value) == 1 ? value : 0;
}

// A path's tables opened shared for a dialog's life, or kept as they are.
bool openForDialog(Ui& ui, database::DbTable& table, std::vector<database::DbTable*>& opened) {
    if (table.isOpen())
        return true;
    if (!table.openFile()) {
        ui.error(database::openFailureText(table.code(), table.relativePath()));
        table.code().setErrorCode(0);
        return false;
    }
    opened.push_back(&table);
    return true;
}

void closeOpened(std::vector<database::DbTable*>& opened) {
    for (database::DbTable* table : opened)
        table->closeFile();
    opened.clear();
}

} // namespace

// ---------------------------------------------------------------------------
// FileWatch

std::filesystem::file_time_type FileWatch::latest(const std::vector<std::string>& paths, bool& ok) {
    // The clock's zero may lie after today's times: start from its minimum.
    auto newest = std::filesystem::file_time_type::min();
    ok = true;
    for (const std::string& path : paths) {
        std::error_code ec;
        const auto time = std::filesystem::last_write_time(path, ec);
        if (ec)
            ok = false;
        else
            newest = std::max(newest, time);
    }
    return newest;
}

void FileWatch::remember(const std::vector<std::string>& paths) {
    bool ok = false;
    stamp_ = latest(paths, ok);
}

bool FileWatch::changed(const std::vector<std::string>& paths) const {
    bool ok = false;
    const auto now = latest(paths, ok);
    return ok && now != stamp_;
}

// ---------------------------------------------------------------------------
// Administrative units

UNITSDLG::UNITSDLG(engine::Code4& code, const common::WorkingFolder& folder)
    : UNITSDB(code, folder) {}

UNITSDLG::~UNITSDLG() {
    closeDlg();
}

bool UNITSDLG::checkFile(Ui& ui) {
    return database::allValid(ui, code(), folder(), {kPath, database::POSTSDB::kPath, kStaticPath});
}

namespace {

// The fully qualified name of `unit`, reading `renamed` as `newName`.
std::string qualifiedName(database::UNITSDB& units, long unit, long renamed,
                          const std::string& newName) {
    std::string path;
    std::set<long> seen;
    UNITREC rec;
    for (long at = unit; at != 0 && seen.insert(at).second && units.getUnitRec(at, rec);
         at = rec.parent) {
        if (!path.empty())
            path += ".";
        path += at == renamed ? newName : rec.name;
    }
    return path;
}

} // namespace

bool UNITSDLG::checkName(Ui& ui, std::string& name, long own, long parent) {
    name = clean(name, kNameWidth);
    if (name.empty()) {
        ui.warning(std::string("Unit name must not be blank. ") + kPleaseEnter);
        return false;
    }
    if (name.find('.') != std::string::npos) {
        ui.warning("Unit name cannot contain period character.");
        return false;
    }
    // A renamed unit lengthens the names of every unit below it too.
    std::string longest =
        own != 0 ? qualifiedName(*this, own, own, name)
                 : (parent == 0 ? name : name + "." + qualifiedName(*this, parent, 0, {}));
    if (own != 0) {
        for (const UNITREC& unit : units()) {
            if (unit.code == own || !isChildUnit(unit.code, own))
                continue;
            std::string path = qualifiedName(*this, unit.code, own, name);
            if (path.size() > longest.size())
                longest = std::move(path);
        }
    }
    if (longest.size() > kMaxQualifiedName) {
        ui.warning("Fully qualified unit name can't have more than " +
                   std::to_string(kMaxQualifiedName) + " characters. \"" + longest + "\" has " +
                   std::to_string(longest.size()) + ".");
        return false;
    }
    if (gotoName(name) && data()->field(kCode)->getLong() != own) {
        ui.warning("Unit with this name already exists. Please enter a different name.");
        return false;
    }
    return true;
}

long UNITSDLG::addUnit(Ui& ui, const std::string& unitName, long parent) {
    TableUse use(*this, &ui);
    if (!use)
        return 0;
    // The unit above may have gone meanwhile.
    if (parent != 0 && !gotoCode(parent)) {
        ui.beep();
        return 0;
    }
    UNITREC rec{0, unitName, parent};
    if (!checkName(ui, rec.name, 0, parent))
        return 0;
    if (!appendRecord(rec)) {
        tellWriteFailure(ui, *this, rec.name, "added");
        return 0;
    }
    data()->flush();
    data()->unlock();
    return rec.code;
}

bool UNITSDLG::lockUnit(Ui& ui, long unit, bool& heldBefore) {
    return lockLookupRow(ui, *this, unit, kUnitLocked, heldBefore);
}

bool UNITSDLG::renameUnit(Ui& ui, long unit, const std::string& unitName) {
    TableUse use(*this, &ui);
    bool heldBefore = false;
    if (!use || !lockUnit(ui, unit, heldBefore))
        return false;
    const UNITREC before = currentRec();
    std::string name = clean(unitName, kNameWidth);
    if (name == before.name) {
        data()->unlock();
        return true;
    }
    const auto release = [&] {
        if (!heldBefore)
            data()->unlock();
    };
    if (!checkName(ui, name, unit, before.parent) || !gotoCode(unit)) {
        release();
        return false;
    }
    if (!updateCurrent([&] { field(kName).assign(name); })) {
        tellWriteFailure(ui, *this, name, "changed");
        release();
        return false;
    }
    data()->flush();
    data()->unlock();
    return true;
}

bool UNITSDLG::deleteUnit(Ui& ui, long unit) {
    TableUse use(*this, &ui);
    if (!use)
        return false;
    if (!gotoCode(unit)) {
        ui.beep();
        return false;
    }
    if (hasSubUnits(unit)) {
        ui.information("Unit has sub-units and cannot be deleted.");
        return false;
    }
    database::POSTSDB posts(code(), folder());
    TableUse postsUse(posts, &ui);
    if (!postsUse)
        return false;
    const long postsCount = posts.getMemberCnt(database::POSTSDB::ByUnit, unit);
    if (postsCount > 0) {
        ui.information("There are " + std::to_string(postsCount) +
                       " posts(s) in this unit. The unit can therefore not be deleted.");
        return false;
    }
    // Employees assigned to a deleted unit would name a unit nobody can see.
    database::STATDB personnel(code(), folder());
    const std::optional<long> employees = personnel.getMemberCnt(database::STATDB::ByUnit, unit);
    code().setErrorCode(0);
    if (!employees) {
        ui.error("Can't open " + std::string(kStaticPath));
        return false;
    }
    if (*employees > 0) {
        ui.information("The personnel file has " + std::to_string(*employees) +
                       " employee(s) assigned to this unit. The unit can therefore not be "
                       "deleted.");
        return false;
    }
    engine::Data4& table = *data();
    if (table.lockAll() != engine::r4success) {
        code().setErrorCode(0);
        ui.warning("Cannot delete this unit because another user has locked some\nof the records "
                   "in the Admin Units file. Try again later.");
        return false;
    }
    // Another user may have added a sub-unit before the lock.
    if (hasSubUnits(unit)) {
        table.unlock();
        ui.information("Unit has sub-units and cannot be deleted.");
        return false;
    }
    if (!gotoCode(unit)) {
        table.unlock();
        ui.beep();
        return false;
    }
    return deleteCurrent(ui, *this);
}

bool UNITSDLG::initDlg(Ui& ui, DialogView& tree) {
    if (!isOpen()) {
        if (!openFile()) {
            ui.error(database::openFailureText(code(), relativePath()));
            code().setErrorCode(0);
            return false;
        }
        opened_ = true;
    }
    tree.setCaption("Administrative Units");
    fillTree(tree, 0);
    return true;
}

void UNITSDLG::fillTree(DialogView& tree, long select) {
    displayUnits(tree, unitsdlg::Tree);
    if (select == 0 || !selectUnit(tree, unitsdlg::Tree, select))
        selectFirst(tree, unitsdlg::Tree);
    enableButtons(tree);
    watch_.remember({path()});
}

void UNITSDLG::enableButtons(DialogView& tree) {
    const bool any = !tree.treeChildren(unitsdlg::Tree, DialogView::kRoot).empty();
    tree.setEnabled(unitsdlg::Delete, any);
    tree.setEnabled(unitsdlg::Properties, any);
}

bool UNITSDLG::refreshDlg(DialogView& tree) {
    if (!isOpen() || !watch_.changed({path()}))
        return false;
    fillTree(tree, getSelUnitCode(tree));
    return true;
}

void UNITSDLG::closeDlg() {
    cancelPrptsDlg();
    if (opened_)
        closeFile();
    opened_ = false;
}

bool UNITSDLG::initNewUnitDlg(Ui& ui, const DialogView& tree, DialogView& prpts) {
    TableUse use(*this, &ui);
    if (!use)
        return false;
    const bool any = !units().empty();
    if (any && getSelUnitCode(tree) == 0) {
        ui.beep();
        return false;
    }
    using namespace unitprptsdlg;
    prpts.setCaption("Unit Properties");
    prpts.setText(Name, "");
    prpts.setTextLimit(Name, static_cast<int>(kNameWidth));
    for (const char* control : {InsertAt, ThisLevel, OneLevelDown})
        prpts.setVisible(control, true);
    prpts.setChecked(ThisLevel, true);
    prpts.setChecked(OneLevelDown, false);
    prpts.setEnabled(ThisLevel, any);
    prpts.setEnabled(OneLevelDown, any);
    prpts.setFocus(Name);
    return true;
}

bool UNITSDLG::closeNewUnitDlg(Ui& ui, DialogView& prpts, DialogView& tree) {
    TableUse use(*this, &ui);
    if (!use)
        return false;
    const long selected = getSelUnitCode(tree);
    long parent = 0;
    if (selected != 0) {
        UNITREC sel;
        if (!getUnitRec(selected, sel)) {
            ui.beep();
            return false;
        }
        parent = prpts.isChecked(unitprptsdlg::OneLevelDown) ? selected : sel.parent;
    }
    const long unit = addUnit(ui, prpts.text(unitprptsdlg::Name), parent);
    if (unit == 0) {
        prpts.setFocus(unitprptsdlg::Name);
        return false;
    }
    const TreeItem above =
        parent == 0 ? DialogView::kRoot : findByCode(tree, unitsdlg::Tree, parent);
    if (parent != 0 && above == DialogView::kRoot) {
        fillTree(tree, unit); // the tree lags behind another user's changes
        return true;
    }
    const TreeItem item = tree.addTreeItem(unitsdlg::Tree, above, getUnitName(unit), unit);
    tree.sortTreeChildren(unitsdlg::Tree, above);
    if (above != DialogView::kRoot)
        tree.expandTreeItem(unitsdlg::Tree, above);
    tree.selectTreeItem(unitsdlg::Tree, item);
    enableButtons(tree);
    watch_.remember({path()});
    return true;
}

bool UNITSDLG::initPrptsDlg(Ui& ui, const DialogView& tree, DialogView& prpts) {
    const long selected = getSelUnitCode(tree);
    if (selected == 0) {
        ui.beep();
        return false;
    }
    TableUse use(*this, &ui);
    bool heldBefore = false;
    if (!use || !lockUnit(ui, selected, heldBefore))
        return false;
    edited_ = selected;
    using namespace unitprptsdlg;
    prpts.setCaption("Unit Properties");
    for (const char* control : {InsertAt, ThisLevel, OneLevelDown})
        prpts.setVisible(control, false);
    prpts.setText(Name, currentRec().name);
    prpts.setTextLimit(Name, static_cast<int>(kNameWidth));
    prpts.setFocus(Name);
    return true;
}

bool UNITSDLG::closePrptsDlg(Ui& ui, DialogView& prpts, DialogView& tree) {
    if (edited_ == 0)
        return false;
    if (!renameUnit(ui, edited_, prpts.text(unitprptsdlg::Name))) {
        prpts.setFocus(unitprptsdlg::Name);
        return false;
    }
    const long unit = edited_;
    edited_ = 0;
    const TreeItem item = findByCode(tree, unitsdlg::Tree, unit);
    if (item != DialogView::kRoot) {
        tree.setTreeItemText(unitsdlg::Tree, item, getUnitName(unit));
        tree.sortTreeChildren(unitsdlg::Tree, tree.treeParent(unitsdlg::Tree, item));
    }
    watch_.remember({path()});
    return true;
}

void UNITSDLG::cancelPrptsDlg() {
    if (edited_ != 0 && isOpen())
        data()->unlock();
    edited_ = 0;
}

bool UNITSDLG::deleteUnit(Ui& ui, DialogView& tree) {
    const long selected = getSelUnitCode(tree);
    if (selected == 0) {
        ui.beep();
        return false;
    }
    if (!deleteUnit(ui, selected))
        return false;
    const TreeItem item = findByCode(tree, unitsdlg::Tree, selected);
    if (item != DialogView::kRoot)
        removeAndSelectNeighbour(tree, unitsdlg::Tree, item);
    enableButtons(tree);
    watch_.remember({path()});
    return true;
}

// ---------------------------------------------------------------------------
// Posts

namespace {

constexpr std::array<const char*, POSTREC::kTermsCount> kCountControls{
    editpostsdlg::Permanent, editpostsdlg::Contract, editpostsdlg::Temporary, editpostsdlg::Casual};
constexpr std::array<const char*, POSTREC::kTermsCount> kCountLabels{"Permanent", "Contract",
                                                                     "Temporary", "Casual"};

} // namespace

POSTSDLG::POSTSDLG(engine::Code4& code, const common::WorkingFolder& folder)
    : POSTSDB(code, folder),
      units_(code, folder),
      jobs_(code, folder) {}

POSTSDLG::~POSTSDLG() {
    closeDlg();
}

bool POSTSDLG::checkFiles(Ui& ui) {
    return database::allValid(ui, code(), folder(), {kPath, database::UNITSDB::kPath}) &&
           database::hasData(ui, code(), folder(), database::UNITSDB::kPath,
                             "Administrative Units") &&
           database::allValid(ui, code(), folder(), {database::JOBSDB::kPath}) &&
           database::hasData(ui, code(), folder(), database::JOBSDB::kPath, "Jobs") &&
           database::allValid(ui, code(), folder(), {kStaticPath});
}

bool POSTSDLG::openFiles() {
    if (!openFile(true) || !units_.openFile() || !jobs_.openFile()) {
        const int error = code().errorCode();
        closeFiles();
        code().setErrorCode(error);
        return false;
    }
    orderByUnit();
    units_.orderByName();
    jobs_.orderByTitle();
    return true;
}

void POSTSDLG::closeFiles() {
    closeFile();
    units_.closeFile();
    jobs_.closeFile();
    openedByDlg_.clear();
}

bool POSTSDLG::refuse(Ui& ui, const char* control, const std::string& text) {
    fault_ = control;
    ui.warning(text);
    return false;
}

bool POSTSDLG::setPosts(Ui& ui, const POSTREC& rec) {
    fault_ = nullptr;
    for (std::size_t i = 0; i < POSTREC::kTermsCount; ++i) {
        if (rec.count[i] < 0 || rec.count[i] > kMaxCount)
            return refuse(ui, kCountControls[i], invalidField(kCountLabels[i]));
    }
    TableUse postsUse(*this, &ui);
    if (!postsUse)
        return false;
    TableUse unitsUse(units_, &ui);
    if (!unitsUse)
        return false;
    TableUse jobsUse(jobs_, &ui);
    if (!jobsUse)
        return false;
    if (rec.job == 0 || jobs_.getJobTitle(rec.job).empty())
        return refuse(ui, editpostsdlg::JobTitle, invalidField("Job Title"));
    bool heldBefore = false;
    if (!lockLookupRow(ui, units_, rec.unit, kUnitLocked, heldBefore))
        return false;
    const auto fail = [&] {
        if (!heldBefore)
            units_.data()->unlock();
        return false;
    };

    database::STATDB personnel(code(), folder());
    const std::optional<database::STATDB::PostCounts> occupants =
        personnel.getPostsCnt(rec.unit, rec.job);
    code().setErrorCode(0);
    if (!occupants) {
        ui.error("Can't open " + std::string(kStaticPath));
        return fail();
    }
    for (std::size_t i = 0; i < POSTREC::kTermsCount; ++i) {
        if (rec.count[i] < (*occupants)[i]) {
            refuse(ui, kCountControls[i],
                   std::string(kCountLabels[i]) +
                       " posts cannot be fewer than current occupants (" +
                       std::to_string((*occupants)[i]) + ")");
            return fail();
        }
    }

    const std::string what =
        units_.getUnitName(rec.unit) + " / " + jobs_.getJobTitle(rec.job) + " posts";
    engine::Data4& table = *data();
    if (gotoPost(rec.unit, rec.job)) {
        if (rec.total() > 0) {
            const int rc = table.lock(table.recNo());
            if (rc == engine::r4locked) {
                code().setErrorCode(0);
                ui.warning("This posts record is currently locked by another user.");
                return fail();
            }
            const POSTREC stored = currentRec();
            if (rc != engine::r4success || table.deleted() || stored.unit != rec.unit ||
                stored.job != rec.job || !updateRecord(rec)) {
                tellWriteFailure(ui, *this, what, "changed");
                table.unlock();
                return fail();
            }
            table.flush();
            table.unlock();
        } else {
            if (table.lockAll() != engine::r4success) {
                code().setErrorCode(0);
                ui.warning("Cannot update Posts file because another user has locked\nsome of "
                           "the records in the file. Try again later.");
                return fail();
            }
            if (gotoPost(rec.unit, rec.job) && !deleteCurrent(ui, *this))
                return fail();
            table.unlock();
        }
    } else if (rec.total() > 0) {
        if (!appendRecord(rec)) {
            tellWriteFailure(ui, *this, what, "added");
            return fail();
        }
        table.flush();
        table.unlock();
    }
    units_.data()->unlock();
    code().setErrorCode(0);
    return true;
}

std::vector<std::string> POSTSDLG::watched() const {
    return {path(), units_.path(), jobs_.path()};
}

bool POSTSDLG::openShared(Ui& ui) {
    if (openForDialog(ui, *this, openedByDlg_) && openForDialog(ui, units_, openedByDlg_) &&
        openForDialog(ui, jobs_, openedByDlg_))
        return true;
    closeOpened(openedByDlg_);
    return false;
}

bool POSTSDLG::initDlg(Ui& ui, DialogView& view) {
    if (!openShared(ui))
        return false;
    view.setCaption("Posts");
    units_.displayUnits(view, postsdlg::Tree);
    selectFirst(view, postsdlg::Tree);
    displayPosts(view);
    watch_.remember(watched());
    return true;
}

bool POSTSDLG::refreshDlg(DialogView& view) {
    if (!isOpen() || !watch_.changed(watched()))
        return false;
    const long unit = units_.getSelUnitCode(view, postsdlg::Tree);
    units_.displayUnits(view, postsdlg::Tree);
    if (unit == 0 || !units_.selectUnit(view, postsdlg::Tree, unit))
        selectFirst(view, postsdlg::Tree);
    displayPosts(view);
    watch_.remember(watched());
    return true;
}

void POSTSDLG::closeDlg() {
    cancelEditDlg();
    closeOpened(openedByDlg_);
}

void POSTSDLG::displayPosts(DialogView& view) {
    using namespace postsdlg;
    const int row = view.selectedRow(Posts);
    const long keptJob = row < 0 ? 0 : view.itemCode(Posts, row);
    view.clearItems(Posts);
    const long unit = units_.getSelUnitCode(view, Tree);
    TableUse unitsUse(units_, nullptr);
    TableUse jobsUse(jobs_, nullptr);
    TableUse postsUse(*this, nullptr);
    const std::string unitName = unitsUse ? units_.getUnitName(unit) : std::string();
    if (unit == 0 || unitName.empty() || !jobsUse || !postsUse) {
        view.setText(PostsLabel, "");
        return;
    }
    view.setText(PostsLabel, "Posts in " + unitName + ":");
    struct Line {
        std::string title;
        long job;
        long total;
    };
    std::vector<Line> lines;
    for (const POSTREC& rec : unitPosts(unit))
        lines.push_back({jobs_.getJobTitle(rec.job), rec.job, rec.total()});
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return common::toUpper(a.title) < common::toUpper(b.title);
    });
    int select = -1;
    for (const Line& line : lines) {
        const int at =
            view.addItem(Posts, line.title + " (" + std::to_string(line.total) + ")", line.job);
        if (line.job == keptJob)
            select = at;
    }
    view.selectRow(Posts, select);
}

bool POSTSDLG::initEditDlg(Ui& ui, const DialogView& view, DialogView& edit) {
    const long unit = units_.getSelUnitCode(view, postsdlg::Tree);
    if (unit == 0) {
        ui.beep();
        return false;
    }
    TableUse unitsUse(units_, &ui);
    bool heldBefore = false;
    if (!unitsUse || !lockLookupRow(ui, units_, unit, kUnitLocked, heldBefore))
        return false;
    editedUnit_ = unit;
    using namespace editpostsdlg;
    edit.setCaption("Edit Posts");
    edit.setText(Unit, units_.getUnitName(unit));
    edit.clearItems(JobTitle);
    {
        TableUse jobsUse(jobs_, nullptr);
        if (jobsUse) {
            jobs_.orderByTitle();
            for (const database::LookupEntry& job : jobs_.entries())
                edit.addItem(JobTitle, job.name, job.code);
        }
    }
    for (const char* control : kCountControls)
        edit.setTextLimit(control, kCountDigits);
    // The job chosen in the posts list, by its row code or else by its text
    // up to the blank before the last "(".
    const int row = view.selectedRow(postsdlg::Posts);
    long job = row < 0 ? 0 : view.itemCode(postsdlg::Posts, row);
    if (row >= 0 && job == 0) {
        const std::string text = view.itemText(postsdlg::Posts, row);
        const auto open = text.rfind(" (");
        TableUse jobsUse(jobs_, nullptr);
        if (open != std::string::npos && jobsUse)
            job = jobs_.getJobCode(text.substr(0, open));
    }
    POSTREC rec;
    TableUse postsUse(*this, nullptr);
    const bool exists = job != 0 && postsUse && getPostRec(unit, job, rec);
    int jobRow = -1;
    for (int i = 0; exists && i < edit.itemCount(JobTitle); ++i) {
        if (edit.itemCode(JobTitle, i) == job)
            jobRow = i;
    }
    edit.selectRow(JobTitle, jobRow);
    for (std::size_t i = 0; i < POSTREC::kTermsCount; ++i)
        edit.setText(kCountControls[i], std::to_string(exists ? rec.count[i] : 0));
    return true;
}

void POSTSDLG::displayNumPosts(DialogView& edit) {
    const int row = edit.selectedRow(editpostsdlg::JobTitle);
    const long job = row < 0 ? 0 : edit.itemCode(editpostsdlg::JobTitle, row);
    POSTREC rec;
    TableUse postsUse(*this, nullptr);
    const bool exists =
        editedUnit_ != 0 && job != 0 && postsUse && getPostRec(editedUnit_, job, rec);
    for (std::size_t i = 0; i < POSTREC::kTermsCount; ++i)
        edit.setText(kCountControls[i], std::to_string(exists ? rec.count[i] : 0));
}

bool POSTSDLG::closeEditDlg(Ui& ui, DialogView& edit, DialogView& view) {
    if (editedUnit_ == 0)
        return false;
    POSTREC rec;
    rec.unit = editedUnit_;
    const int row = edit.selectedRow(editpostsdlg::JobTitle);
    rec.job = row < 0 ? 0 : edit.itemCode(editpostsdlg::JobTitle, row);
    for (std::size_t i = 0; i < POSTREC::kTermsCount; ++i)
        rec.count[i] = readCount(edit.text(kCountControls[i]));
    if (!setPosts(ui, rec)) {
        if (fault_)
            edit.setFocus(fault_);
        return false;
    }
    editedUnit_ = 0;
    // The edited job stays selected when it still has posts.
    view.selectRow(postsdlg::Posts, -1);
    displayPosts(view);
    for (int i = 0; i < view.itemCount(postsdlg::Posts); ++i) {
        if (view.itemCode(postsdlg::Posts, i) == rec.job)
            view.selectRow(postsdlg::Posts, i);
    }
    watch_.remember(watched());
    return true;
}

void POSTSDLG::cancelEditDlg() {
    if (editedUnit_ != 0 && units_.isOpen())
        units_.data()->unlock();
    editedUnit_ = 0;
}

// ---------------------------------------------------------------------------
// Banks and branches

namespace {

constexpr std::size_t kBankCodeWidth = database::BANKSDB::kBankCodeWidth;
constexpr std::size_t kBranchCodeWidth = database::BANKSDB::kBranchCodeWidth;

// The branches of a bank with their record numbers and codes.
struct BranchRow {
    long recNo;
    std::string name;
    std::string code;
};

std::vector<BranchRow> branchRows(engine::Data4* table, std::string_view bank) {
    std::vector<BranchRow> rows;
    const std::string key = database::upperKey(bank, kNameWidth);
    if (!table || key.empty())
        return rows;
    database::TablePlace place(table);
    table->select(database::BANKSDB::kBranchTag);
    for (int rc = table->seek(key); rc == engine::r4success && !table->eof(); rc = table->skip()) {
        if (database::upperKey(table->field(database::BANKSDB::kBank)->str(), kNameWidth) != key)
            break;
        if (!table->deleted())
            rows.push_back({table->recNo(), table->field(database::BANKSDB::kName)->trimmed(),
                            table->field(database::BANKSDB::kCode)->trimmed()});
    }
    return rows;
}

} // namespace

BANKSDLG::BANKSDLG(engine::Code4& code, const common::WorkingFolder& folder)
    : BANKSDB(code, folder) {}

BANKSDLG::~BANKSDLG() {
    closeDlg();
}

bool BANKSDLG::refuse(Ui& ui, const char* control, const std::string& text) {
    fault_ = control;
    ui.warning(text);
    return false;
}

bool BANKSDLG::checkBank(Ui& ui, std::string& name, std::string& bankCode, const std::string& own) {
    name = clean(name, kNameWidth);
    if (name.empty())
        return refuse(ui, bankprptsdlg::Name,
                      std::string("Bank name must not be blank. ") + kPleaseEnter);
    if (gotoBank(name) && (own.empty() || !common::equalsIgnoreCase(name, own)))
        return refuse(ui, bankprptsdlg::Name,
                      "Bank with this name already exists. Please enter a different name.");
    bankCode = clean(bankCode, kBankCodeWidth);
    if (bankCode.empty())
        return refuse(ui, bankprptsdlg::Code,
                      std::string("Bank code must not be blank. ") + kPleaseEnter);
    return true;
}

bool BANKSDLG::checkBranch(Ui& ui, const std::string& bank, std::string& name,
                           std::string& branchCode, const std::string& own) {
    name = clean(name, kNameWidth);
    if (name.empty())
        return refuse(ui, bankprptsdlg::Name,
                      std::string("Branch name must not be blank. ") + kPleaseEnter);
    const auto isOwn = [&](const std::string& other) {
        return !own.empty() && common::equalsIgnoreCase(other, own);
    };
    const std::vector<BranchRow> rows = branchRows(branchData(), bank);
    for (const BranchRow& row : rows) {
        if (common::equalsIgnoreCase(row.name, name) && !isOwn(row.name))
            return refuse(ui, bankprptsdlg::Name,
                          "Branch with this name already exists. Please enter a different name.");
    }
    branchCode = clean(branchCode, kBranchCodeWidth);
    if (branchCode.empty())
        return refuse(ui, bankprptsdlg::Code,
                      std::string("Branch code must not be blank. ") + kPleaseEnter);
    for (const BranchRow& row : rows) {
        if (row.code == branchCode && !isOwn(row.name))
            return refuse(ui, bankprptsdlg::Code,
                          std::string("Branch with this code already exists.") + " " +
                              "Please enter a different code.");
    }
    return true;
}

bool BANKSDLG::addBank(Ui& ui, const std::string& bankName, const std::string& bankCodeText) {
    fault_ = nullptr;
    TableUse banksUse(bankTable(), &ui);
    if (!banksUse)
        return false;
    std::string name = bankName;
    std::string bankCodeValue = bankCodeText;
    if (!checkBank(ui, name, bankCodeValue, {}))
        return false;
    return appendRow(ui, bankTable(), name, [&](engine::Data4& table) {
        table.field(kName)->assign(name);
        table.field(kCode)->assign(bankCodeValue);
    });
}

bool BANKSDLG::addBranch(Ui& ui, const std::string& bank, const std::string& branchName,
                         const std::string& branchCodeText) {
    fault_ = nullptr;
    TableUse banksUse(bankTable(), &ui);
    if (!banksUse)
        return false;
    TableUse branchesUse(branchTable(), &ui);
    if (!branchesUse)
        return false;
    if (!gotoBank(bank)) {
        ui.beep();
        return false;
    }
    // Branches carry their bank's name as it is stored.
    const std::string storedBank = bankData()->field(kName)->trimmed();
    std::string name = branchName;
    std::string branchCodeValue = branchCodeText;
    if (!checkBranch(ui, storedBank, name, branchCodeValue, {}))
        return false;
    return appendRow(ui, branchTable(), name, [&](engine::Data4& table) {
        table.field(kBank)->assign(storedBank);
        table.field(kName)->assign(name);
        table.field(kCode)->assign(branchCodeValue);
    });
}

bool BANKSDLG::lockBank(Ui& ui, const std::string& bank, const char* lockedText, bool& heldBefore) {
    heldBefore = false;
    if (!gotoBank(bank)) {
        ui.beep();
        return false;
    }
    engine::Data4& table = *bankData();
    const long recNo = table.recNo();
    heldBefore = table.lockTest(recNo);
    const int rc = table.lock(recNo);
    if (rc == engine::r4locked) {
        bankTable().code().setErrorCode(0);
        ui.warning(lockedText);
        return false;
    }
    if (rc != engine::r4success) {
        tellWriteFailure(ui, bankTable(), bank, "changed");
        return false;
    }
    if (table.deleted() || !common::equalsIgnoreCase(table.field(kName)->trimmed(), bank)) {
        if (!heldBefore)
            table.unlock();
        ui.beep();
        return false;
    }
    return true;
}

bool BANKSDLG::renameBranchesOf(const std::string& bank, const std::string& name) {
    engine::Data4& table = *branchData();
    std::vector<long> done;
    bool ok = true;
    for (const BranchRow& row : branchRows(&table, bank)) {
        ok = table.go(row.recNo) == engine::r4success;
        if (ok) {
            table.field(kBank)->assign(name);
            ok = database::writeOrRevert(table);
        }
        if (!ok)
            break;
        done.push_back(row.recNo);
    }
    if (ok)
        return true;
    // Put back what was renamed, so that no branch loses its bank.
    for (long recNo : done) {
        if (table.go(recNo) == engine::r4success) {
            table.field(kBank)->assign(bank);
            database::writeOrRevert(table);
        }
    }
    return false;
}

bool BANKSDLG::changeBank(Ui& ui, const std::string& bank, const std::string& bankName,
                          const std::string& bankCodeText) {
    fault_ = nullptr;
    TableUse banksUse(bankTable(), &ui);
    if (!banksUse)
        return false;
    TableUse branchesUse(branchTable(), &ui);
    if (!branchesUse)
        return false;
    bool heldBefore = false;
    if (!lockBank(ui, bank, "This bank is currently locked by another user.", heldBefore))
        return false;
    engine::Data4& banks = *bankData();
    const std::string oldName = banks.field(kName)->trimmed();
    const std::string oldCode = banks.field(kCode)->trimmed();
    std::string name = clean(bankName, kNameWidth);
    std::string bankCodeValue = clean(bankCodeText, kBankCodeWidth);
    if (name == oldName && bankCodeValue == oldCode) {
        banks.unlock();
        return true;
    }
    const auto fail = [&] {
        if (!heldBefore)
            banks.unlock();
        return false;
    };
    if (!checkBank(ui, name, bankCodeValue, oldName))
        return fail();
    engine::Data4& branches = *branchData();
    if (branches.lockAll() != engine::r4success) {
        bankTable().code().setErrorCode(0);
        ui.warning("Cannot change this bank because another user has locked\nsome of the records "
                   "in the Bank Branches file. Try again later.");
        return fail();
    }
    if (!gotoBank(oldName)) {
        branches.unlock();
        ui.beep();
        return fail();
    }
    banks.field(kName)->assign(name);
    banks.field(kCode)->assign(bankCodeValue);
    if (!database::writeOrRevert(banks)) {
        tellWriteFailure(ui, bankTable(), name, "changed");
        branches.unlock();
        return fail();
    }
    if (name != oldName && !renameBranchesOf(oldName, name)) {
        tellWriteFailure(ui, branchTable(), name, "changed");
        if (gotoBank(name)) {
            banks.field(kName)->assign(oldName);
            banks.field(kCode)->assign(oldCode);
            database::writeOrRevert(banks);
        }
        branches.unlock();
        return fail();
    }
    branches.flush();
    branches.unlock();
    banks.flush();
    banks.unlock();
    bankTable().code().setErrorCode(0);
    return true;
}

bool BANKSDLG::changeBranch(Ui& ui, const std::string& bank, const std::string& branch,
                            const std::string& branchName, const std::string& branchCodeText) {
    fault_ = nullptr;
    TableUse banksUse(bankTable(), &ui);
    if (!banksUse)
        return false;
    TableUse branchesUse(branchTable(), &ui);
    if (!branchesUse)
        return false;
    bool heldBefore = false;
    if (!lockBank(ui, bank, "The parent bank is currently locked by another user.", heldBefore))
        return false;
    engine::Data4& banks = *bankData();
    const auto fail = [&] {
        if (!heldBefore)
            banks.unlock();
        return false;
    };
    const std::string storedBank = banks.field(kName)->trimmed();
    if (!gotoBranch(storedBank, branch)) {
        ui.beep();
        return fail();
    }
    engine::Data4& branches = *branchData();
    const std::string oldName = branches.field(kName)->trimmed();
    const std::string oldCode = branches.field(kCode)->trimmed();
    std::string name = clean(branchName, kNameWidth);
    std::string branchCodeValue = clean(branchCodeText, kBranchCodeWidth);
    if (name == oldName && branchCodeValue == oldCode) {
        banks.unlock();
        return true;
    }
    if (!checkBranch(ui, storedBank, name, branchCodeValue, oldName))
        return fail();
    if (!gotoBranch(storedBank, oldName)) {
        ui.beep();
        return fail();
    }
    const int rc = branches.lock(branches.recNo());
    if (rc == engine::r4locked) {
        bankTable().code().setErrorCode(0);
        ui.warning("This branch is currently locked by another user.");
        return fail();
    }
    if (rc == engine::r4success) {
        branches.field(kName)->assign(name);
        branches.field(kCode)->assign(branchCodeValue);
    }
    if (rc != engine::r4success || !database::writeOrRevert(branches)) {
        tellWriteFailure(ui, branchTable(), name, "changed");
        branches.unlock();
        return fail();
    }
    branches.flush();
    branches.unlock();
    banks.unlock();
    return true;
}

bool BANKSDLG::deleteBank(Ui& ui, const std::string& bank) {
    TableUse banksUse(bankTable(), &ui);
    if (!banksUse)
        return false;
    TableUse branchesUse(branchTable(), &ui);
    if (!branchesUse)
        return false;
    if (!gotoBank(bank)) {
        ui.beep();
        return false;
    }
    if (!branchNames(bank).empty()) {
        ui.information("Bank has branches and cannot be deleted.");
        return false;
    }
    engine::Data4& banks = *bankData();
    if (banks.lockAll() != engine::r4success) {
        bankTable().code().setErrorCode(0);
        ui.warning("Cannot delete this bank because another user has locked\nsome of the records "
                   "in the Banks file. Try again later.");
        return false;
    }
    if (!gotoBank(bank)) {
        banks.unlock();
        ui.beep();
        return false;
    }
    return deleteCurrent(ui, bankTable());
}

bool BANKSDLG::deleteBranch(Ui& ui, const std::string& bank, const std::string& branch) {
    TableUse branchesUse(branchTable(), &ui);
    if (!branchesUse)
        return false;
    engine::Data4& branches = *branchData();
    if (branches.lockAll() != engine::r4success) {
        bankTable().code().setErrorCode(0);
        ui.warning("Cannot delete this branch because another user has locked some\nof the "
                   "records in the Bank Branches file. Try again later.");
        return false;
    }
    if (!gotoBranch(bank, branch)) {
        branches.unlock();
        ui.beep();
        return false;
    }
    return deleteCurrent(ui, branchTable());
}

std::string BANKSDLG::bankCode(const std::string& bank) {
    TableUse banksUse(bankTable(), nullptr);
    if (!banksUse)
        return {};
    database::TablePlace place(bankData());
    return gotoBank(bank) ? bankData()->field(kCode)->trimmed() : std::string();
}

std::string BANKSDLG::branchCode(const std::string& bank, const std::string& branch) {
    TableUse branchesUse(branchTable(), nullptr);
    if (!branchesUse)
        return {};
    database::TablePlace place(branchData());
    return gotoBranch(bank, branch) ? branchData()->field(kCode)->trimmed() : std::string();
}

std::vector<std::string> BANKSDLG::watched() {
    return {bankTable().path(), branchTable().path()};
}

bool BANKSDLG::openShared(Ui& ui) {
    if (openForDialog(ui, bankTable(), openedByDlg_) &&
        openForDialog(ui, branchTable(), openedByDlg_)) {
        orderByName();
        return true;
    }
    closeOpened(openedByDlg_);
    return false;
}

bool BANKSDLG::initDlg(Ui& ui, DialogView& tree) {
    if (!openShared(ui))
        return false;
    tree.setCaption("Banks and Branches");
    fillTree(tree, {}, {});
    return true;
}

void BANKSDLG::fillTree(DialogView& tree, const std::string& bank, const std::string& branch) {
    using namespace banksdlg;
    tree.clearTree(Tree);
    orderByName();
    const std::vector<std::string> banks = bankNames();
    for (const std::string& name : banks) {
        const TreeItem item = tree.addTreeItem(Tree, DialogView::kRoot, name, 0);
        for (const std::string& branchName : branchNames(name))
            tree.addTreeItem(Tree, item, branchName, 0);
    }
    const auto top = tree.treeChildren(Tree, DialogView::kRoot);
    if (top.size() == 1)
        tree.expandTreeItem(Tree, top.front());
    const TreeItem bankItem = findByText(tree, Tree, DialogView::kRoot, bank);
    const TreeItem branchItem = bankItem == DialogView::kRoot
                                    ? DialogView::kRoot
                                    : findByText(tree, Tree, bankItem, branch);
    if (branchItem != DialogView::kRoot)
        tree.selectTreeItem(Tree, branchItem);
    else if (bankItem != DialogView::kRoot)
        tree.selectTreeItem(Tree, bankItem);
    else
        selectFirst(tree, Tree);
    enableButtons(tree);
    watch_.remember(watched());
}

void BANKSDLG::enableButtons(DialogView& tree) {
    const bool any = !tree.treeChildren(banksdlg::Tree, DialogView::kRoot).empty();
    tree.setEnabled(banksdlg::Delete, any);
    tree.setEnabled(banksdlg::Properties, any);
}

bool BANKSDLG::refreshDlg(DialogView& tree) {
    if (!isOpen() || !watch_.changed(watched()))
        return false;
    const TreeItem sel = tree.selectedTreeItem(banksdlg::Tree);
    std::string bank;
    std::string branch;
    if (isBank(tree)) {
        bank = tree.treeItemText(banksdlg::Tree, sel);
    } else if (isBranch(tree)) {
        bank = tree.treeItemText(banksdlg::Tree, tree.treeParent(banksdlg::Tree, sel));
        branch = tree.treeItemText(banksdlg::Tree, sel);
    }
    fillTree(tree, bank, branch);
    return true;
}

void BANKSDLG::closeDlg() {
    cancelPrptsDlg();
    closeOpened(openedByDlg_);
}

bool BANKSDLG::isBank(const DialogView& tree) {
    const TreeItem sel = tree.selectedTreeItem(banksdlg::Tree);
    return sel != DialogView::kRoot && tree.treeParent(banksdlg::Tree, sel) == DialogView::kRoot;
}

bool BANKSDLG::isBranch(const DialogView& tree) {
    const TreeItem sel = tree.selectedTreeItem(banksdlg::Tree);
    return sel != DialogView::kRoot && tree.treeParent(banksdlg::Tree, sel) != DialogView::kRoot;
}

namespace {

void initBankFields(DialogView& prpts, const char* caption, std::size_t codeWidth) {
    prpts.setCaption(caption);
    prpts.setTextLimit(bankprptsdlg::Name, static_cast<int>(kNameWidth));
    prpts.setTextLimit(bankprptsdlg::Code, static_cast<int>(codeWidth));
    prpts.setFocus(bankprptsdlg::Name);
}

} // namespace

void BANKSDLG::initNewBankDlg(DialogView& prpts) {
    initBankFields(prpts, "Bank Properties", kBankCodeWidth);
    prpts.setText(bankprptsdlg::Name, "New Bank");
    prpts.setText(bankprptsdlg::Code, "00");
}

bool BANKSDLG::closeNewBankDlg(Ui& ui, DialogView& prpts, DialogView& tree) {
    const std::string name = clean(prpts.text(bankprptsdlg::Name), kNameWidth);
    if (!addBank(ui, name, prpts.text(bankprptsdlg::Code))) {
        if (fault_)
            prpts.setFocus(fault_);
        return false;
    }
    const TreeItem item = tree.addTreeItem(banksdlg::Tree, DialogView::kRoot, name, 0);
    tree.sortTreeChildren(banksdlg::Tree, DialogView::kRoot);
    tree.selectTreeItem(banksdlg::Tree, item);
    enableButtons(tree);
    watch_.remember(watched());
    return true;
}

bool BANKSDLG::initNewBranchDlg(Ui& ui, const DialogView& tree, DialogView& prpts) {
    if (tree.selectedTreeItem(banksdlg::Tree) == DialogView::kRoot) {
        ui.beep();
        return false;
    }
    initBankFields(prpts, "Branch Properties", kBranchCodeWidth);
    prpts.setText(bankprptsdlg::Name, "New Branch");
    prpts.setText(bankprptsdlg::Code, "000");
    return true;
}

bool BANKSDLG::closeNewBranchDlg(Ui& ui, DialogView& prpts, DialogView& tree) {
    const TreeItem sel = tree.selectedTreeItem(banksdlg::Tree);
    if (sel == DialogView::kRoot) {
        ui.beep();
        return false;
    }
    const TreeItem bankItem = isBank(tree) ? sel : tree.treeParent(banksdlg::Tree, sel);
    const std::string bank = tree.treeItemText(banksdlg::Tree, bankItem);
    const std::string name = clean(prpts.text(bankprptsdlg::Name), kNameWidth);
    if (!addBranch(ui, bank, name, prpts.text(bankprptsdlg::Code))) {
        if (fault_)
            prpts.setFocus(fault_);
        return false;
    }
    const TreeItem item = tree.addTreeItem(banksdlg::Tree, bankItem, name, 0);
    tree.sortTreeChildren(banksdlg::Tree, bankItem);
    tree.expandTreeItem(banksdlg::Tree, bankItem);
    tree.selectTreeItem(banksdlg::Tree, item);
    watch_.remember(watched());
    return true;
}

bool BANKSDLG::initBankPrptsDlg(Ui& ui, const DialogView& tree, DialogView& prpts) {
    if (!isBank(tree)) {
        ui.beep();
        return false;
    }
    const std::string bank =
        tree.treeItemText(banksdlg::Tree, tree.selectedTreeItem(banksdlg::Tree));
    TableUse banksUse(bankTable(), &ui);
    bool heldBefore = false;
    if (!banksUse ||
        !lockBank(ui, bank, "This bank is currently locked by another user.", heldBefore))
        return false;
    editedBank_ = bankData()->field(kName)->trimmed();
    editedBranch_.clear();
    initBankFields(prpts, "Bank Properties", kBankCodeWidth);
    prpts.setText(bankprptsdlg::Name, editedBank_);
    prpts.setText(bankprptsdlg::Code, bankData()->field(kCode)->trimmed());
    return true;
}

bool BANKSDLG::closeBankPrptsDlg(Ui& ui, DialogView& prpts, DialogView& tree) {
    if (editedBank_.empty() || !editedBranch_.empty())
        return false;
    const std::string name = clean(prpts.text(bankprptsdlg::Name), kNameWidth);
    if (!changeBank(ui, editedBank_, name, prpts.text(bankprptsdlg::Code))) {
        if (fault_)
            prpts.setFocus(fault_);
        return false;
    }
    const TreeItem item = findByText(tree, banksdlg::Tree, DialogView::kRoot, editedBank_);
    editedBank_.clear();
    if (item != DialogView::kRoot) {
        tree.setTreeItemText(banksdlg::Tree, item, name);
        tree.sortTreeChildren(banksdlg::Tree, DialogView::kRoot);
    }
    watch_.remember(watched());
    return true;
}

bool BANKSDLG::initBranchPrptsDlg(Ui& ui, const DialogView& tree, DialogView& prpts) {
    if (!isBranch(tree)) {
        ui.beep();
        return false;
    }
    const TreeItem sel = tree.selectedTreeItem(banksdlg::Tree);
    const std::string bank =
        tree.treeItemText(banksdlg::Tree, tree.treeParent(banksdlg::Tree, sel));
    const std::string branch = tree.treeItemText(banksdlg::Tree, sel);
    TableUse banksUse(bankTable(), &ui);
    if (!banksUse)
        return false;
    TableUse branchesUse(branchTable(), &ui);
    bool heldBefore = false;
    if (!branchesUse ||
        !lockBank(ui, bank, "The parent bank is currently locked by another user.", heldBefore))
        return false;
    editedBank_ = bankData()->field(kName)->trimmed();
    if (!gotoBranch(editedBank_, branch)) {
        if (!heldBefore)
            bankData()->unlock();
        editedBank_.clear();
        ui.beep();
        return false;
    }
    editedBranch_ = branchData()->field(kName)->trimmed();
    initBankFields(prpts, "Branch Properties", kBranchCodeWidth);
    prpts.setText(bankprptsdlg::Name, editedBranch_);
    prpts.setText(bankprptsdlg::Code, branchData()->field(kCode)->trimmed());
    return true;
}

bool BANKSDLG::closeBranchPrptsDlg(Ui& ui, DialogView& prpts, DialogView& tree) {
    if (editedBank_.empty() || editedBranch_.empty())
        return false;
    const std::string name = clean(prpts.text(bankprptsdlg::Name), kNameWidth);
    if (!changeBranch(ui, editedBank_, editedBranch_, name, prpts.text(bankprptsdlg::Code))) {
        if (fault_)
            prpts.setFocus(fault_);
        return false;
    }
    const TreeItem bankItem = findByText(tree, banksdlg::Tree, DialogView::kRoot, editedBank_);
    const TreeItem item = bankItem == DialogView::kRoot
                              ? DialogView::kRoot
                              : findByText(tree, banksdlg::Tree, bankItem, editedBranch_);
    editedBank_.clear();
    editedBranch_.clear();
    if (item != DialogView::kRoot) {
        tree.setTreeItemText(banksdlg::Tree, item, name);
        tree.sortTreeChildren(banksdlg::Tree, bankItem);
    }
    watch_.remember(watched());
    return true;
}

void BANKSDLG::cancelPrptsDlg() {
    if (!editedBank_.empty() && bankData())
        bankData()->unlock();
    editedBank_.clear();
    editedBranch_.clear();
}

bool BANKSDLG::deleteItem(Ui& ui, DialogView& tree) {
    const TreeItem sel = tree.selectedTreeItem(banksdlg::Tree);
    if (sel == DialogView::kRoot) {
        ui.beep();
        return false;
    }
    const bool ok =
        isBank(tree)
            ? deleteBank(ui, tree.treeItemText(banksdlg::Tree, sel))
            : deleteBranch(ui,
                           tree.treeItemText(banksdlg::Tree, tree.treeParent(banksdlg::Tree, sel)),
                           tree.treeItemText(banksdlg::Tree, sel));
    if (!ok)
        return false;
    removeAndSelectNeighbour(tree, banksdlg::Tree, sel);
    enableButtons(tree);
    watch_.remember(watched());
    return true;
}

} // namespace kelo::setup
