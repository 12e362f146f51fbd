#include "staffrecords/EmployeeFiles.h"

#include "common/Text.h"
#include "database/AbsenceDb.h"
#include "database/LeaveDb.h"
#include "database/PostsDb.h"
#include "database/TableSupport.h"
#include "database/TableUse.h"
#include "database/VarDb.h"
#include "engine/Data4.h"
#include "engine/EngineCodes.h"
#include "engine/Field4.h"
#include "engine/TableFile.h"
#include "staffrecords/VarDbEx.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelo::staffrecords {

namespace {

// Puts the engine's automatic unlocking back as it was, however the
// operation ends.
class AutoUnlockGuard {
public:
    AutoUnlockGuard(engine::Code4& code, bool during) : code_(code), saved_(code.autoUnlock) {
        code_.autoUnlock = during;
    }
    ~AutoUnlockGuard() { code_.autoUnlock = saved_; }
    AutoUnlockGuard(const AutoUnlockGuard&) = delete;
    AutoUnlockGuard& operator=(const AutoUnlockGuard&) = delete;

private:
    engine::Code4& code_;
    bool saved_;
};

// Passes everything on and counts the messages, so that a failure its callee
// kept quiet about is told once and one it told is not told twice.
class CountingUi : public common::Ui {
public:
    explicit CountingUi(common::Ui& ui) : ui_(ui) {}

    common::Answer message(const std::string& text, common::MessageIcon icon,
                           common::MessageButtons buttons, const std::string& caption,
                           std::optional<common::Answer> defaultAnswer) override {
        ++messages;
        return ui_.message(text, icon, buttons, caption, defaultAnswer);
    }
    void beep() override { ui_.beep(); }
    void setStatusText(const std::string& text) override { ui_.setStatusText(text); }
    void beginWait() override { ui_.beginWait(); }
    void endWait() override { ui_.endWait(); }
    std::optional<std::string> chooseSaveFile(const common::FileChoice& choice) override {
        return ui_.chooseSaveFile(choice);
    }
    std::optional<std::string> chooseOpenFile(const common::FileChoice& choice) override {
        return ui_.chooseOpenFile(choice);
    }
    std::optional<std::string> chooseFolder(const std::string& title,
                                            const std::string& initialFolder) override {
        return ui_.chooseFolder(title, initialFolder);
    }

    int messages = 0;

private:
    common::Ui& ui_;
};

// The words for a failed update of `table` the callee did not explain.
std::string updateFailureText(const database::DbTable& table) {
    const int rc = table.code().errorCode();
    if (database::isLockedByOther(table.code()) || rc == engine::e4access)
        return database::TableUse::inUseMessage(table);
    return database::TableUse::cantUpdateMessage(table);
}

// Deletes and writes every live row the selected tag finds under `key` (all
// rows of the employee). False when a row cannot be written.
bool deleteRows(engine::Data4& table, const engine::Field4& empNum, const std::string& key,
                bool& any) {
    std::vector<long> rows;
    for (int rc = table.seek(key); (rc == engine::r4success || rc == engine::r4after);
         rc = table.skip()) {
        if (table.eof() || common::employeeKey(common::trim(empNum.str())) != key)
            break;
        if (!table.deleted())
            rows.push_back(table.recNo());
    }
    for (long recNo : rows) {
        if (table.go(recNo) != engine::r4success)
            return false;
        table.deleteRec();
        if (table.write() != engine::r4success)
            return false;
        any = true;
    }
    return true;
}

bool deleteEventRows(database::EmployeeEventTable& table, std::string_view empNum, bool& any) {
    table.orderByEmpNum();
    const engine::Field4* column = table.data()->field(database::EmployeeEventTable::kEmpNumColumn);
    return column &&
           deleteRows(*table.data(), *column, common::employeeKey(common::trim(empNum)), any);
}

// The master row and the transactions record are sought as their own classes
// seek them; a second row under one number goes too.
template <typename Table> bool deleteKeyedRows(Table& table, std::string_view empNum, bool& any) {
    while (table.seekEmpNum(empNum)) {
        table.data()->deleteRec();
        if (table.data()->write() != engine::r4success)
            return false;
        any = true;
    }
    return true;
}

// Packs a table that lost rows, then writes everything out.
bool packAndFlush(database::DbTable& table, bool any) {
    engine::Data4& data = *table.data();
    if (any && data.pack() != engine::r4success)
        return false;
    return data.flush() == engine::r4success;
}

// The staff table comes to these operations open; false, told, when it is not.
bool staffOpen(common::Ui& ui, const database::STATDB& staff) {
    if (staff.isOpen())
        return true;
    ui.error("Can't open " + staff.relativePath());
    return false;
}

// Tells the user which table would not open and leaves no error behind.
bool openFailed(common::Ui& ui, const database::DbTable& table) {
    ui.error(database::openFailureText(table.code(), table.relativePath()));
    table.code().setErrorCode(0);
    return false;
}

bool openEventTables(common::Ui& ui, database::ABSENCEDB& absence, database::LEAVEDB& leave) {
    if (!absence.openFile())
        return openFailed(ui, absence);
    if (!leave.openFile())
        return openFailed(ui, leave);
    return true;
}

// Locks every table whole, all at once; when one cannot be had, none is
// held and the user is told why (`lockedText` for another user's lock).
bool lockTogether(common::Ui& ui, engine::Code4& code,
                  const std::vector<database::DbTable*>& tables, const char* lockedText) {
    for (database::DbTable* table : tables)
        code.lockAddAll(*table->data());
    const int rc = code.lockGroup();
    if (rc == engine::r4success)
        return true;
    if (rc == engine::r4locked || database::isLockedByOther(code)) {
        ui.warning(lockedText);
    } else {
        // The engine names the table it could not lock.
        const database::DbTable* failed = tables.front();
        for (database::DbTable* table : tables) {
            if (code.errorText().find(table->data()->path()) != std::string::npos)
                failed = table;
        }
        ui.error(code.errorCode() == engine::e4permission
                     ? database::openFailureText(code, failed->relativePath())
                     : database::TableUse::cantUpdateMessage(*failed));
    }
    code.setErrorCode(0);
    return false;
}

// A table's bytes before a batch of changes, to be put back should the
// batch fail.
struct TableBytes {
    const database::DbTable* table;
    std::string bytes;
};

bool readTableBytes(const database::DbTable& table, TableBytes& out) {
    out.table = &table;
    return engine::readWholeFile(table.data()->path(), out.bytes);
}

// Writes back what differs (after appends, only the header with its count)
// and then cuts the file to its old length: a table cut short of the
// count its header gives is never left behind.
bool putBack(const TableBytes& before) {
    engine::TableFile file;
    if (!file.open(before.table->data()->path(), true))
        return false;
    const std::uint64_t size = file.size();
    std::string now(static_cast<std::size_t>(size), '\0');
    if (!file.readAt(0, now.data(), now.size()))
        return false;
    const std::string& old = before.bytes;
    const std::size_t shared = std::min(now.size(), old.size());
    std::size_t first = 0;
    while (first < shared && now[first] == old[first])
        ++first;
    std::size_t end = shared;
    while (end > first && now[end - 1] == old[end - 1])
        --end;
    if (end > first && !file.writeAt(first, old.data() + first, end - first))
        return false;
    if (old.size() > now.size() &&
        !file.writeAt(now.size(), old.data() + now.size(), old.size() - now.size()))
        return false;
    if (now.size() > old.size() && !file.truncate(old.size()))
        return false;
    return file.sync();
}

} // namespace

bool joinOtherFiles(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    const common::STATICREC& employee, int year) {
    // Neither table's own locks may release what the caller holds meanwhile.
    AutoUnlockGuard noAutoUnlock(code, false);
    bool ok = true;
    {
        CountingUi told(ui);
        VARDBEX transactions(told, code, folder);
        if (!transactions.appendNewRec(told, employee)) {
            ok = false;
            if (told.messages == 0)
                ui.error(updateFailureText(transactions));
        }
        code.setErrorCode(0);
    }
    {
        CountingUi told(ui);
        database::LEAVEDB leave(code, folder, told);
        if (!leave.addEmployee(employee, year)) {
            ok = false;
            if (told.messages == 0)
                ui.error(updateFailureText(leave));
        }
        code.setErrorCode(0);
    }
    return ok;
}

bool removeEmployee(common::Ui& ui, database::STATDB& staff, std::string_view empNum,
                    common::PAYFREQ payFreq) {
    engine::Code4& code = staff.code();
    const common::WorkingFolder& folder = staff.folder();
    // Off, so that no lock taken on the way lets the others go.
    AutoUnlockGuard noAutoUnlock(code, false);
    if (!staffOpen(ui, staff))
        return false;

    database::VARDB transactions(code, folder);
    database::ABSENCEDB absence(code, folder, ui);
    database::LEAVEDB leave(code, folder, ui);
    if (!transactions.openFile(payFreq))
        return openFailed(ui, transactions);
    if (!openEventTables(ui, absence, leave))
        return false;

    const std::array<database::DbTable*, 4> tables{&staff, &transactions, &absence, &leave};
    if (!lockTogether(ui, code, {tables.begin(), tables.end()}, kEmployeeLockedText))
        return false;

    // The master row goes first: should a later table fail, what is left are
    // rows of nobody, which the period updates clear.
    std::array<bool, 4> any{};
    const database::DbTable* failed = nullptr;
    if (!deleteKeyedRows(staff, empNum, any[0]))
        failed = &staff;
    else if (!deleteKeyedRows(transactions, empNum, any[1]))
        failed = &transactions;
    else if (!deleteEventRows(absence, empNum, any[2]))
        failed = &absence;
    else if (!deleteEventRows(leave, empNum, any[3]))
        failed = &leave;
    for (std::size_t i = 0; i < tables.size() && !failed; ++i) {
        if (!packAndFlush(*tables[i], any[i]))
            failed = tables[i];
    }
    if (failed) {
        failed->data()->setChanged(false);
        ui.error(database::TableUse::cantUpdateMessage(*failed));
    }

    for (database::DbTable* table : tables) {
        table->data()->setChanged(false);
        table->data()->unlock();
    }
    transactions.closeFile();
    absence.closeFile();
    leave.closeFile();
    code.setErrorCode(0);
    return failed == nullptr;
}

std::optional<PostVacancies> readPostVacancies(database::STATDB& staff) {
    database::POSTSDB posts(staff.code(), staff.folder());
    if (!staff.isOpen() || !posts.openFile(false)) {
        staff.code().setErrorCode(0);
        return std::nullopt;
    }
    PostVacancies vacancies;
    for (const database::POSTREC& post : posts.allPosts())
        vacancies.addPost(post);
    posts.closeFile();
    database::TablePlace place(staff.data());
    engine::Data4& data = *staff.data();
    data.select(nullptr);
    const engine::Field4* unit = data.field("UNIT");
    const engine::Field4* job = data.field("JOB");
    const engine::Field4* terms = data.field("TERMS");
    const engine::Field4* separated = data.field("SEPARATED");
    if (!unit || !job || !terms || !separated)
        return std::nullopt;
    for (int rc = data.top(); rc == engine::r4success && !data.eof(); rc = data.skip()) {
        if (!data.deleted() && !separated->getLogical())
            vacancies.addHolder(unit->getLong(), job->getLong(), terms->getLong());
    }
    staff.code().setErrorCode(0);
    return vacancies;
}

bool addEmployeeFiles(common::Ui& ui, database::STATDB& staff,
                      const std::vector<NewEmployee>& employees, int year,
                      const std::function<bool()>& check, const char* lockedText) {
    engine::Code4& code = staff.code();
    const common::WorkingFolder& folder = staff.folder();
    // Off, so that no lock taken on the way lets the others go.
    AutoUnlockGuard noAutoUnlock(code, false);
    if (!staffOpen(ui, staff))
        return false;

    std::map<common::PAYFREQ, std::vector<const common::STATICREC*>> byPayFreq;
    std::vector<const common::STATICREC*> all;
    for (const NewEmployee& employee : employees) {
        byPayFreq[employee.rec.payFreq].push_back(&employee.rec);
        all.push_back(&employee.rec);
    }
    CountingUi told(ui);
    std::vector<std::unique_ptr<VARDBEX>> transactions;
    database::ABSENCEDB absence(code, folder, told);
    database::LEAVEDB leave(code, folder, told);
    for (const auto& [payFreq, list] : byPayFreq) {
        transactions.push_back(std::make_unique<VARDBEX>(told, code, folder));
        if (!transactions.back()->openFile(payFreq))
            return openFailed(ui, *transactions.back());
    }
    if (!openEventTables(ui, absence, leave))
        return false;

    std::vector<database::DbTable*> written{&staff};
    for (const auto& table : transactions)
        written.push_back(table.get());
    written.push_back(&leave);
    std::vector<database::DbTable*> locked = written;
    locked.push_back(&absence);
    if (!lockTogether(ui, code, locked, lockedText))
        return false;

    bool ok = check();
    std::vector<TableBytes> before(written.size());
    for (std::size_t i = 0; ok && i < written.size(); ++i) {
        if (!readTableBytes(*written[i], before[i])) {
            ui.error("Can't open " + written[i]->relativePath());
            before.resize(i);
            ok = false;
        }
    }
    const bool wrote = ok;
    if (ok) {
        const int toldBefore = told.messages;
        const database::DbTable* failed = nullptr;
        for (const NewEmployee& employee : employees) {
            if (!staff.updateFields(employee.rec, employee.personnel, true)) {
                failed = &staff;
                break;
            }
        }
        for (std::size_t i = 0; !failed && i < transactions.size(); ++i) {
            VARDBEX& table = *transactions[i];
            if (!table.appendNewRecs(told, byPayFreq[table.payFreq()]))
                failed = &table;
        }
        if (!failed && !leave.addEmployees(all, year))
            failed = &leave;
        for (database::DbTable* table : written) {
            if (!failed && table->data()->flush() != engine::r4success)
                failed = table;
        }
        if (failed) {
            if (told.messages == toldBefore)
                ui.error(updateFailureText(*failed));
            ok = false;
        }
    }
    if (!ok && wrote) {
        // All or none: every table as it was before the first row.
        for (database::DbTable* table : written) {
            table->data()->setChanged(false);
            table->data()->goEof();
        }
        for (const TableBytes& bytes : before) {
            if (!putBack(bytes))
                ui.error("Can't restore " + bytes.table->relativePath() +
                         " as it was before the employees were added.");
        }
        for (database::DbTable* table : written)
            table->data()->refresh();
    }

    for (database::DbTable* table : locked) {
        table->data()->setChanged(false);
        table->data()->unlock();
    }
    for (const auto& table : transactions)
        table->closeFile();
    absence.closeFile();
    leave.closeFile();
    code.setErrorCode(0);
    return ok;
}

} // namespace kelo::staffrecords
