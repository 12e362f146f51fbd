#include "procedures/EmpNumLive.h"

#include "absencereports/LeaveRepDb.h"
#include "annualreturns/AnnualDb.h"
#include "monthlyreturns/MonthDb.h"
#include "payrunreports/tests/PeriodFixture.h"
#include "staffreports/PersRepRec.h"
#include "taxreports/TaxRepDb.h"
#include "testsupport/ChildProcess.h"
#include "yeartodate/YtdDb.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace kelo::procedures {
namespace {

using common::MessageIcon;
using payrunreports::testing::bytesOf;
using payrunreports::testing::readableView;

constexpr const char* kStatic = "database/static.dbf";
constexpr const char* kMonpay = "database/monpay.dbf";
constexpr const char* kAbsence = "database/absence.dbf";
constexpr const char* kLeave = "database/leave.dbf";
constexpr const char* kLeavers = "2025/leavers.dbf";

using Names = std::vector<std::string>;
// Sequence number, employee number and supervisor's number of a former
// employees file's items.
using Leavers = std::vector<std::tuple<int, std::string, std::string>>;

// The worked March payroll closed into every report store, with MH001's
// absences and leave account, and MH001 as MH002's supervisor.
struct EmpNumLiveTest : payrunreports::testing::PeriodFixture {
    void SetUp() override {
        PeriodFixture::SetUp();
        if (HasFatalFailure())
            return;
        Employee banda = PeriodFixture::banda();
        banda.personnel.supervisor = "MH001";
        hire(banda);
        database::ABSENCEDB absence(code, folder, ui);
        for (int i = 0; i < 3; ++i) {
            database::ABSENCEROW row;
            row.fromDate = row.toDate = common::date{2025, static_cast<std::uint8_t>(3 + i), 2};
            row.days = 1;
            row.reason = "Sick Leave";
            ASSERT_TRUE(absence.appendRec(i == 1 ? "MH003" : "MH001", row, i == 2));
        }
        database::LEAVEDB leave(code, folder, ui);
        for (const Employee& e : {mwakyusa(), kileo()})
            ASSERT_TRUE(leave.addEmployee(e.rec, 2025));
        database::LEAVEROW earned;
        earned.date = common::date{2025, 28, 2};
        earned.kind = database::kLeaveEarned;
        earned.days = 1.75f;
        ASSERT_TRUE(leave.appendRec("MH001", earned));
        closeMarch();
        ASSERT_TRUE(ui.messages.empty()) << messages();
    }

    // What the month end does with the monthly period and every store.
    void closeMarch() {
        payrunreports::PERIODDB period(owner, code, folder);
        ASSERT_TRUE(period.checkFiles(ui, common::MONTHLY, org)) << messages();
        ASSERT_TRUE(period.writeFile(ui, common::MONTHLY, org, true)) << messages();
        ASSERT_TRUE(database::PAYLOGDB(code, folder).updatePayLog(ui, common::MONTHLY, org));
        monthlyreturns::MONTHDB month(owner, code, folder);
        ASSERT_TRUE(month.checkFiles(ui, org) && month.updateFile(ui, common::MONTHLY, org, true))
            << messages();
        annualreturns::ANNUALDB annual(owner, code, folder);
        ASSERT_TRUE(annual.checkFiles(ui, org) && annual.updateFile(ui, common::MONTHLY, org, true))
            << messages();
        taxreports::TAXREPDB tax(owner, code, folder);
        ASSERT_TRUE(tax.checkFiles(ui, org) && tax.updateFiles(ui, common::MONTHLY, org, true))
            << messages();
        ASSERT_TRUE(
            yeartodate::YTDDB(owner, code, folder).updateFile(ui, common::MONTHLY, org, true))
            << messages();
        absencereports::LEAVEREPDB leaveRep(owner, code, folder);
        ASSERT_TRUE(leaveRep.checkFiles(ui) && leaveRep.updateFile(ui, org, true)) << messages();
    }

    // The report stores of 2025, relative to the organisation folder.
    static std::vector<std::string> storeFiles() {
        return {monthlyreturns::MONTHDB::monthFilePath(2025, 3),
                annualreturns::ANNUALDB::storeFilePath(2025),
                taxreports::TAXREPDB::filePath(taxreports::TaxFile::P9, 2025),
                yeartodate::YTDDB::filePath(2025), absencereports::LEAVEREPDB::yearFilePath(2025)};
    }

    // The employee number column of every live row, in record order.
    Names column(const char* relativePath, const char* name = "EMPNO") {
        Names out;
        auto table = engine::Data4::open(code, folder.resolve(relativePath));
        EXPECT_TRUE(table) << relativePath;
        if (!table)
            return out;
        for (int rc = table->top(); rc == engine::r4success && !table->eof(); rc = table->skip()) {
            if (!table->deleted())
                out.push_back(table->field(name)->trimmed());
        }
        code.setErrorCode(0);
        return out;
    }

    // Every file of the organisation's folder, byte for byte.
    std::map<std::string, std::string> snapshot() {
        std::map<std::string, std::string> files;
        const std::filesystem::path root = folder.resolve(".");
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file())
                files[std::filesystem::relative(entry.path(), root).string()] =
                    bytesOf(entry.path().string());
        }
        return files;
    }

    // Another user can lock the whole table: nobody holds a lock on it.
    bool freeOfLocks(const char* relativePath) {
        engine::Code4 otherCode;
        auto other = engine::Data4::open(otherCode, folder.resolve(relativePath));
        return other && other->lockAll() == engine::r4success;
    }

    // Where record `recNo` of a table ends in its file, from the header's
    // lengths.
    std::uintmax_t recordEnd(const char* relativePath, long recNo) {
        std::ifstream in(folder.resolve(relativePath), std::ios::binary);
        unsigned char header[12] = {};
        in.read(reinterpret_cast<char*>(header), sizeof header);
        const std::uintmax_t headerLength = header[8] | (header[9] << 8);
        const std::uintmax_t recordLength = header[10] | (header[11] << 8);
        return headerLength + static_cast<std::uintmax_t>(recNo) * recordLength;
    }

    // The former employees file of 2025 with one item per employee number
    // and supervisor's number in `items`.
    void writeLeavers(const std::vector<std::pair<std::string, std::string>>& items) {
        common::TaggedWriter w(folder.resolve(kLeavers));
        bool ok = staffreports::writePreamble(w, staffreports::DB_LEAVERS, org.folder, kLeavers) &&
                  staffreports::writeHeader(w, org.year, org.name) &&
                  w.writeTag("records", common::TagKind::BlockStart);
        int seqNum = 0;
        for (const auto& [empNum, supervisor] : items) {
            staffreports::PERSREPREC rec;
            rec.empNum = empNum;
            rec.lastName = "Former " + empNum;
            rec.supervisorNum = supervisor;
            rec.terminated = 1;
            ok = ok && staffreports::writeRecord(w, rec, ++seqNum);
        }
        ok = ok && w.writeTag("records", common::TagKind::BlockEnd) && w.writeEof();
        ok = w.close() && ok;
        ASSERT_TRUE(ok);
    }

    Leavers leavers() {
        common::TaggedReader r(folder.resolve(kLeavers));
        int year = 0;
        std::string name;
        EXPECT_TRUE(r.skipFileId() && staffreports::readHeader(r, year, name) &&
                    r.findTag("records", common::TagKind::BlockStart));
        Leavers out;
        staffreports::PERSREPREC rec;
        bool damaged = false;
        while (staffreports::readRecord(r, rec, damaged))
            out.emplace_back(rec.seqNum, rec.empNum, rec.supervisorNum);
        EXPECT_FALSE(damaged);
        return out;
    }

    EmpNumStatus change(const std::string& oldEmpNum, const std::string& newEmpNum) {
        LiveEmpNumStores stores(ui, code, folder);
        return changeEmployeeNumber(ui, stores, org, oldEmpNum, newEmpNum);
    }
};

TEST_F(EmpNumLiveTest, EveryTableAndStoreTakesTheNewNumber) {
    for (const std::string& file : storeFiles()) {
        const std::string view = readableView(bytesOf(folder.resolve(file)));
        ASSERT_NE(view.find("MH001|"), std::string::npos) << file;
        ASSERT_EQ(view.find("MH101|"), std::string::npos) << file;
    }
    ASSERT_EQ(column(kStatic), (Names{"MH001", "MH002", "MH003", "MH004"}));
    ASSERT_EQ(column(kMonpay), (Names{"MH003", "MH002", "MH001", "MH004", "MH005"}));

    EXPECT_EQ(change("mh001", "MH101"), EmpNumStatus::Changed);
    ASSERT_EQ(ui.messages.size(), 2u) << messages();
    EXPECT_EQ(ui.messages[0].text, "Are you sure you want to change the employee number for\n"
                                   "Mwakyusa, Emmanuel from MH001 to MH101?");
    EXPECT_EQ(ui.messages[1].text, "The employee number has been changed.");

    // The rows stay where they were, under the new number; the supervisor
    // of MH002 follows.
    EXPECT_EQ(column(kStatic), (Names{"MH101", "MH002", "MH003", "MH004"}));
    EXPECT_EQ(column(kStatic, "SUPERVISOR"), (Names{"", "MH101", "", ""}));
    EXPECT_EQ(column(kMonpay), (Names{"MH003", "MH002", "MH101", "MH004", "MH005"}));
    EXPECT_EQ(column(kAbsence), (Names{"MH101", "MH003", "MH101"}));
    EXPECT_EQ(column(kLeave), (Names{"MH101", "MH003", "MH101"}));

    // And the indexes find them by it.
    database::STATDB staff(code, folder);
    ASSERT_TRUE(staff.openFile());
    EXPECT_FALSE(staff.seekEmpNum("MH001"));
    ASSERT_TRUE(staff.seekEmpNum("mh101"));
    common::STATICREC rec;
    ASSERT_TRUE(staff.initRec(rec));
    EXPECT_EQ(rec.lastName, "Mwakyusa");
    EXPECT_DOUBLE_EQ(rec.salary, 1000000);
    staff.closeFile();
    database::VARDB pay(code, folder);
    ASSERT_TRUE(pay.openFile(common::MONTHLY));
    pay.orderByEmpNum1();
    EXPECT_FALSE(pay.seekEmpNum("MH001"));
    EXPECT_TRUE(pay.seekEmpNum("MH101"));
    pay.closeFile();
    std::vector<database::ABSENCEROW> absences;
    ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).readRows("MH101", false, absences));
    EXPECT_EQ(absences.size(), 1u);
    ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).readRows("MH101", true, absences));
    EXPECT_EQ(absences.size(), 1u);
    std::vector<database::LEAVEROW> leave;
    ASSERT_TRUE(database::LEAVEDB(code, folder, ui).readRows("MH101", leave));
    ASSERT_EQ(leave.size(), 2u);
    EXPECT_FLOAT_EQ(leave[1].days, 1.75f);

    for (const std::string& file : storeFiles()) {
        const std::string view = readableView(bytesOf(folder.resolve(file)));
        EXPECT_EQ(view.find("MH001|"), std::string::npos) << file;
        EXPECT_NE(view.find("MH101|"), std::string::npos) << file;
    }
    for (const char* path : {kStatic, kMonpay, kAbsence, kLeave})
        EXPECT_TRUE(freeOfLocks(path)) << path;
    EXPECT_TRUE(code.autoUnlock);
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(EmpNumLiveTest, AnEmployeeNoStoreHoldsLeavesThemAsTheyWere) {
    // MH009 joined after March was closed: no store holds him.
    Employee late = kileo();
    late.rec.empNum = "MH009";
    hire(late);
    writeLeavers({{"MH001", ""}, {"MH003", "MH001"}});
    std::vector<std::string> files = storeFiles();
    files.push_back(kLeavers);
    std::map<std::string, std::string> before;
    for (const std::string& file : files)
        before[file] = bytesOf(folder.resolve(file));

    EXPECT_EQ(change("MH009", "MH109"), EmpNumStatus::Changed);
    EXPECT_EQ(ui.lastMessage(), "The employee number has been changed.");
    ASSERT_EQ(ui.messages.size(), 2u) << messages();
    EXPECT_EQ(column(kStatic), (Names{"MH001", "MH002", "MH003", "MH004", "MH109"}));
    EXPECT_EQ(column(kMonpay), (Names{"MH003", "MH002", "MH001", "MH004", "MH005"}));
    for (const std::string& file : files)
        EXPECT_TRUE(bytesOf(folder.resolve(file)) == before[file]) << file;
}

TEST_F(EmpNumLiveTest, TheFormerEmployeesFileTakesTheNewNumber) {
    // MH001 left this month: his item is in the file while his personnel
    // row waits for the next month end. MH003 left naming him as supervisor.
    writeLeavers({{"MH001", ""}, {"MH003", "mh001"}});

    EXPECT_EQ(change("MH001", "MH101"), EmpNumStatus::Changed);
    ASSERT_EQ(ui.messages.size(), 2u) << messages();
    EXPECT_EQ(ui.lastMessage(), "The employee number has been changed.");
    EXPECT_EQ(leavers(), (Leavers{{1, "MH003", "MH101"}, {2, "MH101", ""}}));
}

TEST_F(EmpNumLiveTest, ADamagedFormerEmployeesFileIsToldAndEveryOtherFileChanged) {
    writeLeavers({{"MH001", ""}, {"MH003", "MH001"}});
    const std::string path = folder.resolve(kLeavers);
    const std::string cut = bytesOf(path).substr(0, bytesOf(path).size() - 12);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << cut;
    }

    EXPECT_EQ(change("MH001", "MH101"), EmpNumStatus::Changed);
    ASSERT_EQ(ui.messages.size(), 3u) << messages();
    EXPECT_EQ(ui.messages[1].text, "File \"" + path + "\" has invalid terminator.");
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[2].text, "The employee number has been changed.");
    EXPECT_TRUE(bytesOf(path) == cut);
    EXPECT_EQ(column(kStatic).front(), "MH101");
    EXPECT_EQ(column(kAbsence), (Names{"MH101", "MH003", "MH101"}));
    for (const std::string& file : storeFiles()) {
        const std::string view = readableView(bytesOf(folder.resolve(file)));
        EXPECT_EQ(view.find("MH001|"), std::string::npos) << file;
        EXPECT_NE(view.find("MH101|"), std::string::npos) << file;
    }
}

TEST_F(EmpNumLiveTest, AWriteFailingHalfWayPutsBackWhatWasWritten) {
    // MH009's personnel and transactions rows stand early in their files and
    // his absence far into its own, behind 300 of MH003's: a child that may
    // not write that far renumbers the first two, then fails on the third.
    Employee late = kileo();
    late.rec.empNum = "MH009";
    hire(late);
    {
        common::PayItemDefs defs;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, common::MONTHLY, defs));
        database::VARDB pay(code, folder);
        ASSERT_TRUE(pay.setDefinitions(defs) && pay.openFile(common::MONTHLY));
        common::VARIATIONSREC rec = common::newVariationsRec(pay.definitions());
        rec.empNum = "MH009";
        ASSERT_TRUE(pay.appendRec(rec));
    }
    database::ABSENCEDB absence(code, folder, ui);
    database::ABSENCEROW row;
    row.fromDate = row.toDate = common::date{2025, 10, 3};
    row.days = 1;
    row.reason = "Sick Leave";
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(absence.appendRec("MH003", row, false));
    ASSERT_TRUE(absence.appendRec("MH009", row, false));
    ASSERT_EQ(column(kStatic).back(), "MH009");
    ASSERT_EQ(column(kMonpay).back(), "MH009");
    const long absenceRows = static_cast<long>(column(kAbsence).size());
    ASSERT_EQ(column(kAbsence).back(), "MH009");
    const std::uintmax_t limit = std::max(recordEnd(kStatic, 5), recordEnd(kMonpay, 6)) + 1024;
    ASSERT_LT(limit, recordEnd(kAbsence, absenceRows - 1));

    const int status = testsupport::runWithFileSizeLimit(limit, [&] {
        testsupport::RecordingUi childUi;
        if (renumberEmployeeFiles(childUi, code, folder, {"MH009", "MH109", common::MONTHLY}))
            return 1;
        if (childUi.messages.size() != 1 ||
            childUi.lastMessage() != "Can't update database/absence.dbf" ||
            childUi.messages[0].icon != MessageIcon::Error)
            return 2;
        return code.autoUnlock && code.errorCode() == 0 ? 0 : 3;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(column(kStatic), (Names{"MH001", "MH002", "MH003", "MH004", "MH009"}));
    EXPECT_EQ(column(kMonpay), (Names{"MH003", "MH002", "MH001", "MH004", "MH005", "MH009"}));
    EXPECT_EQ(column(kAbsence).back(), "MH009");
    database::STATDB staff(code, folder);
    ASSERT_TRUE(staff.openFile());
    EXPECT_TRUE(staff.seekEmpNum("MH009"));
    EXPECT_FALSE(staff.seekEmpNum("MH109"));
    staff.closeFile();
    for (const char* path : {kStatic, kMonpay, kAbsence, kLeave})
        EXPECT_TRUE(freeOfLocks(path)) << path;

    // Without the limit the same change goes through.
    EXPECT_TRUE(renumberEmployeeFiles(ui, code, folder, {"MH009", "MH109", common::MONTHLY}))
        << messages();
    EXPECT_EQ(column(kAbsence).back(), "MH109");
}

struct LockCase {
    const char* path;
    bool wholeTable;
    bool autoUnlock; // the caller's setting, which must survive
};

class EmpNumLockTest : public EmpNumLiveTest, public ::testing::WithParamInterface<LockCase> {};

TEST_P(EmpNumLockTest, AnotherUsersLockChangesNothing) {
    const LockCase& c = GetParam();
    const auto before = snapshot();
    {
        engine::Code4 otherCode;
        auto other = engine::Data4::open(otherCode, folder.resolve(c.path));
        ASSERT_TRUE(other);
        long row = 0; // MH001's first row in the table
        for (int rc = other->top(); rc == engine::r4success && !other->eof() && row == 0;
             rc = other->skip()) {
            if (other->field("EMPNO")->trimmed() == "MH001")
                row = other->recNo();
        }
        ASSERT_NE(row, 0);
        ASSERT_EQ(c.wholeTable ? other->lockAll() : other->lock(row), engine::r4success);

        code.autoUnlock = c.autoUnlock;
        EXPECT_EQ(change("MH001", "MH101"), EmpNumStatus::NotChanged);
        EXPECT_EQ(code.autoUnlock, c.autoUnlock);
        ASSERT_EQ(ui.messages.size(), 3u) << messages();
        EXPECT_EQ(ui.messages[1].text,
                  std::string("Can't update ") + c.path + " because another user is using it.");
        EXPECT_EQ(ui.messages[1].icon, MessageIcon::Warning);
        EXPECT_EQ(ui.messages[2].text, "The employee number has not been changed.");
        EXPECT_EQ(ui.messages[2].icon, MessageIcon::Information);
        EXPECT_EQ(code.errorCode(), 0);
    }
    EXPECT_TRUE(snapshot() == before);
    for (const char* path : {kStatic, kMonpay, kAbsence, kLeave})
        EXPECT_TRUE(freeOfLocks(path)) << path;

    // Once the other user lets go, the same change goes through.
    ui.clear();
    EXPECT_EQ(change("MH001", "MH101"), EmpNumStatus::Changed) << messages();
    EXPECT_EQ(column(kStatic).front(), "MH101");
}

INSTANTIATE_TEST_SUITE_P(
    EachTable, EmpNumLockTest,
    ::testing::Values(LockCase{kStatic, false, true}, LockCase{kStatic, true, false},
                      LockCase{kMonpay, false, false}, LockCase{kMonpay, true, true},
                      LockCase{kAbsence, false, true}, LockCase{kAbsence, true, false},
                      LockCase{kLeave, false, false}, LockCase{kLeave, true, true}));

TEST_F(EmpNumLiveTest, ATableAnotherUserHoldsAloneIsNamed) {
    const auto before = snapshot();
    engine::Code4 otherCode;
    otherCode.accessMode = engine::OPEN4DENY_RW;
    auto other = engine::Data4::open(otherCode, folder.resolve(kAbsence));
    ASSERT_TRUE(other);

    EXPECT_EQ(change("MH001", "MH101"), EmpNumStatus::NotChanged);
    ASSERT_EQ(ui.messages.size(), 3u) << messages();
    EXPECT_EQ(ui.messages[1].text, "database/absence.dbf is currently in use by another user.");
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[2].text, "The employee number has not been changed.");
    EXPECT_TRUE(code.autoUnlock);
    EXPECT_TRUE(snapshot() == before);
}

TEST_F(EmpNumLiveTest, ANumberTakenMeanwhileIsRefusedUnderTheLocks) {
    // Looked at again under the locks, as another user may have taken the
    // number or removed the employee since the dialog's checks.
    const auto before = snapshot();
    EXPECT_FALSE(renumberEmployeeFiles(ui, code, folder, {"MH001", "mh003", common::MONTHLY}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Record with this employee number already exists. Please enter "
                                   "a different new employee number.");
    EXPECT_FALSE(renumberEmployeeFiles(ui, code, folder, {"MH009", "MH109", common::MONTHLY}));
    EXPECT_EQ(ui.lastMessage(), "No record with this employee number exists.");
    EXPECT_TRUE(snapshot() == before);
    for (const char* path : {kStatic, kMonpay, kAbsence, kLeave})
        EXPECT_TRUE(freeOfLocks(path)) << path;
}

} // namespace
} // namespace kelo::procedures
