#include "staffrecords/EmployeeFiles.h"

#include "StaffFixture.h"
#include "database/AbsenceDb.h"
#include "database/LeaveDb.h"
#include "staffrecords/VarDbEx.h"
#include "testsupport/ChildProcess.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace kelo::staffrecords {
namespace {

using common::MessageIcon;

constexpr const char* kLockedText =
    "Cannot delete this employee because another user has locked\nsome of the records in this "
    "file. Try again later.";

constexpr const char* kStatic = "database/static.dbf";
constexpr const char* kMonpay = "database/monpay.dbf";
constexpr const char* kWkpay = "database/wkpay.dbf";
constexpr const char* kAbsence = "database/absence.dbf";
constexpr const char* kLeave = "database/leave.dbf";

// What a table holds: the employee number of every live row in record order,
// and how many rows the file has, deleted ones included.
struct Rows {
    std::vector<std::string> empNums;
    long stored = 0;
};

struct EmployeeFilesTest : testing::StaffFixture {
    void SetUp() override {
        StaffFixture::SetUp();
        ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).createFile(ui));
        ASSERT_TRUE(database::LEAVEDB(code, folder, ui).createFile(ui));
        ui.clear();
    }

    Rows rows(const char* relativePath) {
        Rows out;
        auto table = engine::Data4::open(code, folder.resolve(relativePath));
        EXPECT_TRUE(table) << relativePath;
        if (!table)
            return out;
        out.stored = table->recCount();
        for (int rc = table->top(); rc == engine::r4success; rc = table->skip()) {
            if (!table->deleted())
                out.empNums.push_back(table->field("EMPNO")->trimmed());
        }
        code.setErrorCode(0);
        return out;
    }

    // Every file of the organisation's database folder, byte for byte.
    std::map<std::string, std::string> snapshot() {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.resolve("database"))) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[entry.path().filename().string()] =
                std::string(std::istreambuf_iterator<char>(in), {});
        }
        return files;
    }

    // A hired employee with his transactions record, `absences` absence
    // events, one booking when `booking`, and a leave account with `earned`
    // more events.
    void enrol(const common::STATICREC& e, int absences, bool booking, int earned) {
        hire(e);
        testsupport::RecordingUi owner;
        VARDBEX transactions(owner, code, folder);
        ASSERT_TRUE(transactions.appendNewRec(ui, e));
        database::ABSENCEDB absence(code, folder, ui);
        for (int i = 0; i < absences + (booking ? 1 : 0); ++i) {
            database::ABSENCEROW row;
            row.fromDate = common::date{2025, static_cast<std::uint8_t>(3 + i), 2};
            row.toDate = row.fromDate;
            row.days = 1;
            row.reason = "Sick Leave";
            ASSERT_TRUE(absence.appendRec(e.empNum, row, i >= absences));
        }
        database::LEAVEDB leave(code, folder, ui);
        ASSERT_TRUE(leave.addEmployee(e, 2025));
        for (int i = 0; i < earned; ++i) {
            database::LEAVEROW row;
            row.date = common::date{2025, 28, static_cast<std::uint8_t>(1 + i)};
            row.kind = database::kLeaveEarned;
            row.days = 1.75f;
            ASSERT_TRUE(leave.appendRec(e.empNum, row));
        }
        ASSERT_TRUE(ui.messages.empty()) << ui.lastMessage();
    }

    // Three employees: E001 and E002 monthly, W001 weekly.
    void enrolThree() {
        enrol(employee("E001", 900000), 2, true, 1);
        enrol(employee("E002", 700000), 1, false, 2);
        enrol(employee("W001", 100000, common::WEEKLY), 1, true, 0);
    }

    // The personnel file open shared, as the form keeps it.
    std::unique_ptr<database::STATDB> openStaff() {
        auto staff = std::make_unique<database::STATDB>(code, folder);
        EXPECT_TRUE(staff->openFile());
        staff->orderByEmpNum();
        return staff;
    }

    // Another user can lock the whole table: nobody else holds a lock on it.
    bool freeOfLocks(const char* relativePath) {
        engine::Code4 otherCode;
        auto other = engine::Data4::open(otherCode, folder.resolve(relativePath));
        return other && other->lockAll() == engine::r4success;
    }
};

using Names = std::vector<std::string>;

TEST_F(EmployeeFilesTest, RemovalTakesTheEmployeeOutOfAllFourFiles) {
    enrolThree();
    // Before: personnel 3; monthly 2; weekly 1; absence 3 + 1 + 2 = 6 rows
    // (E001 two events and a booking, E002 one event, W001 one event and a
    // booking); leave 2 + 3 + 1 = 6 rows (each a Balance B/F and his earned
    // events).
    ASSERT_EQ(rows(kAbsence).empNums.size(), 6u);
    ASSERT_EQ(rows(kLeave).empNums.size(), 6u);
    auto staff = openStaff();

    EXPECT_TRUE(removeEmployee(ui, *staff, "e001", common::MONTHLY));
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();

    const Rows personnel = rows(kStatic);
    EXPECT_EQ(personnel.empNums, (Names{"E002", "W001"}));
    EXPECT_EQ(personnel.stored, 2);
    const Rows monthly = rows(kMonpay);
    EXPECT_EQ(monthly.empNums, (Names{"E002"}));
    EXPECT_EQ(monthly.stored, 1);
    EXPECT_EQ(rows(kWkpay).empNums, (Names{"W001"}));
    const Rows absence = rows(kAbsence);
    EXPECT_EQ(absence.empNums, (Names{"E002", "W001", "W001"}));
    EXPECT_EQ(absence.stored, 3);
    const Rows leave = rows(kLeave);
    EXPECT_EQ(leave.empNums, (Names{"E002", "E002", "E002", "W001"}));
    EXPECT_EQ(leave.stored, 4);

    // The others' rows are as they were.
    database::ABSENCEDB absenceDb(code, folder, ui);
    std::vector<database::ABSENCEROW> events;
    ASSERT_TRUE(absenceDb.readRows("E002", false, events));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].fromDate, (common::date{2025, 3, 2}));
    EXPECT_EQ(events[0].reason, "Sick Leave");
    ASSERT_TRUE(absenceDb.readRows("W001", true, events));
    EXPECT_EQ(events.size(), 1u);
    database::LEAVEDB leaveDb(code, folder, ui);
    std::vector<database::LEAVEROW> accounts;
    ASSERT_TRUE(leaveDb.readRows("E002", accounts));
    ASSERT_EQ(accounts.size(), 3u);
    EXPECT_EQ(accounts[0].kind, database::kBalanceBF);
    EXPECT_FLOAT_EQ(accounts[1].days, 1.75f);
    EXPECT_FLOAT_EQ(accounts[2].days, 1.75f);

    // The personnel file stays open for browsing, and nobody's locks are left.
    EXPECT_TRUE(staff->isOpen());
    EXPECT_TRUE(staff->seekEmpNum("E002"));
    for (const char* path : {kStatic, kMonpay, kAbsence, kLeave})
        EXPECT_TRUE(freeOfLocks(path)) << path;
    EXPECT_TRUE(code.autoUnlock);
}

struct LockCase {
    const char* path;
    bool wholeTable;
    bool autoUnlock; // the caller's setting, which must survive
};

class EmployeeFilesLockTest : public EmployeeFilesTest,
                              public ::testing::WithParamInterface<LockCase> {};

TEST_P(EmployeeFilesLockTest, AnotherUsersLockChangesNothing) {
    const LockCase& c = GetParam();
    enrolThree();
    auto staff = openStaff();
    const auto before = snapshot();

    engine::Code4 otherCode;
    {
        auto other = engine::Data4::open(otherCode, folder.resolve(c.path));
        ASSERT_TRUE(other);
        // Record 1 is E001's own row in each table.
        ASSERT_EQ(c.wholeTable ? other->lockAll() : other->lock(1), engine::r4success);

        code.autoUnlock = c.autoUnlock;
        EXPECT_FALSE(removeEmployee(ui, *staff, "E001", common::MONTHLY));
        EXPECT_EQ(code.autoUnlock, c.autoUnlock);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, kLockedText);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
        EXPECT_EQ(code.errorCode(), 0);
        EXPECT_TRUE(staff->isOpen());
    }
    EXPECT_TRUE(snapshot() == before);
    for (const char* path : {kStatic, kMonpay, kAbsence, kLeave})
        EXPECT_TRUE(freeOfLocks(path)) << path;

    // Once the other user lets go, the same removal goes through.
    ui.clear();
    EXPECT_TRUE(removeEmployee(ui, *staff, "E001", common::MONTHLY));
    EXPECT_EQ(rows(kStatic).empNums, (Names{"E002", "W001"}));
    EXPECT_EQ(code.autoUnlock, c.autoUnlock);
}

INSTANTIATE_TEST_SUITE_P(
    EachTable, EmployeeFilesLockTest,
    ::testing::Values(LockCase{kStatic, false, true}, LockCase{kStatic, true, false},
                      LockCase{kMonpay, false, false}, LockCase{kMonpay, true, true},
                      LockCase{kAbsence, false, true}, LockCase{kAbsence, true, false},
                      LockCase{kLeave, false, false}, LockCase{kLeave, true, true}));

TEST_F(EmployeeFilesTest, ATableHeldByAnotherUserIsNamed) {
    enrolThree();
    auto staff = openStaff();
    const auto before = snapshot();
    engine::Code4 otherCode;
    otherCode.accessMode = engine::OPEN4DENY_RW;
    auto other = engine::Data4::open(otherCode, folder.resolve(kLeave));
    ASSERT_TRUE(other);

    EXPECT_FALSE(removeEmployee(ui, *staff, "E001", common::MONTHLY));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "database/leave.dbf is currently in use by another user.");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(code.errorCode(), 0);
    EXPECT_TRUE(code.autoUnlock);
    EXPECT_TRUE(snapshot() == before);
}

struct WithoutCase {
    bool transactions;
    bool events; // absence and leave rows
};

class EmployeeFilesWithoutTest : public EmployeeFilesTest,
                                 public ::testing::WithParamInterface<WithoutCase> {};

TEST_P(EmployeeFilesWithoutTest, WhatIsMissingIsNoFailure) {
    const WithoutCase& c = GetParam();
    // E002 keeps 1 absence event and 1 leave row; the new N001 adds his own.
    enrol(employee("E002", 700000), 1, false, 0);
    const auto newcomer = employee("N001", 500000);
    hire(newcomer);
    if (c.transactions) {
        testsupport::RecordingUi owner;
        ASSERT_TRUE(VARDBEX(owner, code, folder).appendNewRec(ui, newcomer));
    }
    if (c.events) {
        database::ABSENCEDB absence(code, folder, ui);
        database::ABSENCEROW row;
        row.fromDate = row.toDate = common::date{2025, 10, 3};
        row.days = 1;
        row.reason = "Study Leave";
        ASSERT_TRUE(absence.appendRec("N001", row, false));
        ASSERT_TRUE(database::LEAVEDB(code, folder, ui).addEmployee(newcomer, 2025));
    }
    auto staff = openStaff();

    EXPECT_TRUE(removeEmployee(ui, *staff, "N001", common::MONTHLY));
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    EXPECT_EQ(rows(kStatic).empNums, (Names{"E002"}));
    EXPECT_EQ(rows(kMonpay).empNums, (Names{"E002"}));
    EXPECT_EQ(rows(kAbsence).empNums, (Names{"E002"}));
    EXPECT_EQ(rows(kLeave).empNums, (Names{"E002"}));
    EXPECT_EQ(rows(kAbsence).stored, 1);
    EXPECT_EQ(rows(kLeave).stored, 1);
}

INSTANTIATE_TEST_SUITE_P(Records, EmployeeFilesWithoutTest,
                         ::testing::Values(WithoutCase{false, false}, WithoutCase{true, false},
                                           WithoutCase{false, true}));

TEST_F(EmployeeFilesTest, AFailedWriteIsReported) {
    enrolThree();
    const std::string path = folder.resolve(kStatic);
    std::ifstream in(path, std::ios::binary);
    unsigned char header[10] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    const auto headerLength = static_cast<rlim_t>(header[8] | (header[9] << 8));
    // No byte past the header may be written: the master row is the first to go.
    const int status = testsupport::runWithFileSizeLimit(headerLength, [&] {
        testsupport::RecordingUi childUi;
        database::STATDB staff(code, folder);
        if (!staff.openFile() || !staff.orderByEmpNum())
            return 1;
        if (removeEmployee(childUi, staff, "E001", common::MONTHLY))
            return 2;
        if (childUi.messages.size() != 1 ||
            childUi.lastMessage() != "Can't update database/static.dbf" ||
            childUi.messages[0].icon != MessageIcon::Error)
            return 3;
        return code.autoUnlock && code.errorCode() == 0 ? 0 : 4;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(rows(kStatic).empNums, (Names{"E001", "E002", "W001"}));
    EXPECT_EQ(rows(kMonpay).empNums, (Names{"E001", "E002"}));
    EXPECT_EQ(rows(kAbsence).empNums.size(), 6u);
    EXPECT_EQ(rows(kLeave).empNums.size(), 6u);
}

struct JoinCase {
    common::PAYFREQ payFreq;
    const char* table;
    const char* otherTable;
    bool autoUnlock;
};

class EmployeeFilesJoinTest : public EmployeeFilesTest,
                              public ::testing::WithParamInterface<JoinCase> {};

TEST_P(EmployeeFilesJoinTest, ANewEmployeeGetsHisRecordAndLeaveAccount) {
    const JoinCase& c = GetParam();
    const auto e = employee("N001", 400000, c.payFreq);
    hire(e);
    code.autoUnlock = c.autoUnlock;

    EXPECT_TRUE(joinOtherFiles(ui, code, folder, e, 2026));
    EXPECT_EQ(code.autoUnlock, c.autoUnlock);
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    EXPECT_EQ(rows(c.table).empNums, (Names{"N001"}));
    EXPECT_EQ(rows(c.otherTable).empNums, Names{});

    database::LEAVEDB leave(code, folder, ui);
    std::vector<database::LEAVEROW> account;
    ASSERT_TRUE(leave.readRows("N001", account));
    ASSERT_EQ(account.size(), 1u);
    EXPECT_EQ(account[0].kind, database::kBalanceBF);
    EXPECT_EQ(account[0].date, (common::date{2026, 1, 1}));
    EXPECT_FLOAT_EQ(account[0].days, 0.0f);
    for (const char* path : {c.table, kLeave})
        EXPECT_TRUE(freeOfLocks(path)) << path;
}

INSTANTIATE_TEST_SUITE_P(
    Frequencies, EmployeeFilesJoinTest,
    ::testing::Values(JoinCase{common::MONTHLY, kMonpay, kWkpay, true},
                      JoinCase{common::WEEKLY, kWkpay, kMonpay, false},
                      JoinCase{common::BIWEEKLY, "database/bwkpay.dbf", kMonpay, true},
                      JoinCase{common::IRREGULAR, "database/irrpay.dbf", kMonpay, false}));

struct Holder {
    const char* path;
    bool exclusive; // open exclusively, else shared with the whole table locked
};

struct JoinFailureCase {
    std::vector<Holder> others; // what other users hold
    std::vector<std::string> told;
    bool hasRecord, hasAccount;
};

class EmployeeFilesJoinFailureTest : public EmployeeFilesTest,
                                     public ::testing::WithParamInterface<JoinFailureCase> {};

TEST_P(EmployeeFilesJoinFailureTest, AFailureIsToldAndTheSettingRestored) {
    const JoinFailureCase& c = GetParam();
    const auto e = employee("N001", 400000);
    hire(e);
    engine::Code4 otherCode;
    std::vector<std::unique_ptr<engine::Data4>> others;
    for (const Holder& h : c.others) {
        otherCode.accessMode = h.exclusive ? engine::OPEN4DENY_RW : engine::OPEN4DENY_NONE;
        others.push_back(engine::Data4::open(otherCode, folder.resolve(h.path)));
        ASSERT_TRUE(others.back());
        if (!h.exclusive) {
            ASSERT_EQ(others.back()->lockAll(), engine::r4success);
        }
    }

    for (bool setting : {true, false}) {
        ui.clear();
        code.autoUnlock = setting;
        EXPECT_FALSE(joinOtherFiles(ui, code, folder, e, 2026));
        EXPECT_EQ(code.autoUnlock, setting);
        EXPECT_EQ(code.errorCode(), 0);
        std::vector<std::string> texts;
        for (const auto& m : ui.messages) {
            texts.push_back(m.text);
            EXPECT_EQ(m.icon, MessageIcon::Error);
        }
        EXPECT_EQ(texts, c.told);
    }
    others.clear();
    EXPECT_EQ(rows(kMonpay).empNums.size(), c.hasRecord ? 1u : 0u);
    EXPECT_EQ(rows(kLeave).empNums.size(), c.hasAccount ? 1u : 0u);
}

const std::string kMonpayInUse =
    "Can't update database/monpay.dbf because another user is using it.";
const std::string kLeaveInUse = "Can't update database/leave.dbf because another user is using it.";

INSTANTIATE_TEST_SUITE_P(
    HeldTables, EmployeeFilesJoinFailureTest,
    ::testing::Values(JoinFailureCase{{{kMonpay, false}}, {kMonpayInUse}, false, true},
                      JoinFailureCase{{{kMonpay, true}}, {kMonpayInUse}, false, true},
                      JoinFailureCase{{{kLeave, false}}, {kLeaveInUse}, true, false},
                      JoinFailureCase{{{kLeave, true}}, {kLeaveInUse}, true, false},
                      JoinFailureCase{{{kMonpay, true}, {kLeave, false}},
                                      {kMonpayInUse, kLeaveInUse},
                                      false,
                                      false}));

} // namespace
} // namespace kelo::staffrecords
