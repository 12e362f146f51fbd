#include "database/LeaveDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

using common::date;

LEAVEROW event(date day, std::int32_t kind, float days) {
    LEAVEROW row;
    row.date = day;
    row.kind = kind;
    row.days = days;
    return row;
}

void expectSameRow(const LEAVEROW& a, const LEAVEROW& b) {
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.date, b.date);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_FLOAT_EQ(a.days, b.days);
}

common::STATICREC employee(const std::string& empNum) {
    common::STATICREC e;
    e.empNum = empNum;
    e.lastName = "Mushi";
    e.leaveEntitlement = 28;
    return e;
}

class LeaveDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/database"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(leave.createFile(ui));
        ui.clear();
    }
    void personnel(const std::vector<std::string>& empNums) {
        auto table = engine::Data4::create(code, folder.resolve("database/static.dbf"),
                                           {{"EMPNO", 'C', 19, 0}});
        ASSERT_NE(table, nullptr);
        for (const std::string& empNum : empNums) {
            table->appendStart();
            table->blank();
            table->field("EMPNO")->assign(empNum);
            ASSERT_EQ(table->append(), engine::r4success);
        }
    }
    LEAVEROW add(const std::string& empNum, LEAVEROW row) {
        EXPECT_TRUE(leave.appendRec(empNum, row));
        return row;
    }
    std::vector<LEAVEROW> rowsOf(const std::string& empNum) {
        std::vector<LEAVEROW> rows;
        EXPECT_TRUE(leave.readRows(empNum, rows));
        return rows;
    }
    std::vector<std::int32_t> idsOf(const std::string& empNum) {
        std::vector<std::int32_t> ids;
        for (const LEAVEROW& row : rowsOf(empNum))
            ids.push_back(row.id);
        return ids;
    }
    long rows() {
        auto table = engine::Data4::open(code, leave.path());
        return table ? table->recCount() : -1;
    }
    // E001: opening balance 1, earned 2 and 3, sold 4; E002: opening 5, forfeited 6.
    void addSome() {
        ASSERT_TRUE(leave.addEmployee(employee("E001"), 2024));
        add("E001", event({2024, 31, 1}, kLeaveEarned, 2.33f));
        ASSERT_TRUE(leave.addEmployee(employee("E002"), 2024));
        add("E001", event({2024, 29, 2}, kLeaveEarned, 2.33f));
        add("E001", event({2024, 15, 2}, kLeaveSold, 3));
        add("E002", event({2024, 10, 3}, kLeaveForfeited, 1.5f));
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    LEAVEDB leave{code, folder, ui};
    const std::string inUse = "Can't update database/leave.dbf because another user is using it.";
};

TEST_F(LeaveDbTest, SchemaAndPlace) {
    EXPECT_EQ(leave.path(), dir.file("org01/database/leave.dbf"));
    std::vector<std::string> columns;
    for (const auto& f : leave.schema().fields)
        columns.push_back(f.name);
    EXPECT_EQ(columns, (std::vector<std::string>{"EMPNO", "ID", "EVENTDATE", "KIND", "DAYS"}));
    ASSERT_TRUE(leave.openFile());
    EXPECT_TRUE(leave.orderByEmpNum());
    EXPECT_EQ(leave.data()->selected()->info().expression, "UPPER(EMPNO)+DTOS(EVENTDATE)");
}

TEST_F(LeaveDbTest, ANewEmployeeOpensWithABalanceBroughtForward) {
    ASSERT_TRUE(leave.addEmployee(employee("E001"), 2024));
    const auto rows = rowsOf("E001");
    ASSERT_EQ(rows.size(), 1u);
    expectSameRow(rows[0], LEAVEROW{1, {2024, 1, 1}, kBalanceBF, 0});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(leave.isOpen());
}

TEST_F(LeaveDbTest, ANewEmployeeDropsRowsLeftUnderTheNumber) {
    add("E001", event({2023, 5, 6}, kLeaveEarned, 7));
    add("E001", event({2023, 5, 7}, kLeaveSold, 2));
    ASSERT_TRUE(leave.addEmployee(employee("e001"), 2025));
    const auto rows = rowsOf("E001");
    ASSERT_EQ(rows.size(), 1u);
    expectSameRow(rows[0], LEAVEROW{1, {2025, 1, 1}, kBalanceBF, 0});
    EXPECT_EQ(this->rows(), 1);
}

TEST_F(LeaveDbTest, AddingAnEmployeeRefusesBadInput) {
    EXPECT_FALSE(leave.addEmployee(employee(""), 2024));
    EXPECT_EQ(ui.lastMessage(), "Can't update database/leave.dbf: the employee number is blank.");
    for (int year : {0, 1899, 3001}) {
        EXPECT_FALSE(leave.addEmployee(employee("E001"), year));
        EXPECT_EQ(ui.lastMessage(), "Can't update database/leave.dbf: the year " +
                                        std::to_string(year) + " is not valid.");
    }
    EXPECT_EQ(rows(), 0);
}

TEST_F(LeaveDbTest, EventsRoundTripInDateOrder) {
    addSome();
    const auto rows = rowsOf("e001");
    ASSERT_EQ(rows.size(), 4u);
    expectSameRow(rows[0], LEAVEROW{1, {2024, 1, 1}, kBalanceBF, 0});
    expectSameRow(rows[1], LEAVEROW{2, {2024, 31, 1}, kLeaveEarned, 2.33f});
    expectSameRow(rows[2], LEAVEROW{5, {2024, 15, 2}, kLeaveSold, 3});
    expectSameRow(rows[3], LEAVEROW{4, {2024, 29, 2}, kLeaveEarned, 2.33f});
    EXPECT_EQ(leave.maxID(), 6);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LeaveDbTest, UpdatingAndDeletingEvents) {
    addSome();
    LEAVEROW sold = rowsOf("E001").at(2);
    sold.days = 1.25f;
    sold.date = {2024, 20, 2};
    ASSERT_TRUE(leave.updateRec(sold));
    expectSameRow(rowsOf("E001").at(2), sold);

    ASSERT_TRUE(leave.deleteRec(2));
    EXPECT_EQ(idsOf("E001"), (std::vector<std::int32_t>{1, 5, 4}));
    EXPECT_EQ(rows(), 5);
    EXPECT_FALSE(leave.deleteRec(2));
    EXPECT_EQ(ui.lastMessage(), "Can't update database/leave.dbf: event 2 no longer exists.");
    EXPECT_FALSE(leave.updateRec(event({2024, 1, 1}, kLeaveEarned, 1)));
    EXPECT_EQ(ui.lastMessage(), "Can't update database/leave.dbf: event 0 no longer exists.");
    EXPECT_EQ(rows(), 5);
}

TEST_F(LeaveDbTest, TheAccountSumsEventsByKind) {
    addSome();
    add("E001", event({2024, 1, 3}, 9, 100)); // an unknown kind does not count
    LEAVEROW opening = rowsOf("E001").at(0);
    opening.days = 10;
    ASSERT_TRUE(leave.updateRec(opening));
    LEAVEREC account;
    account.empNum = "E001";
    account.taken = 4;
    ASSERT_TRUE(leave.readAccount(account));
    EXPECT_FLOAT_EQ(account.balanceBF, 10);
    EXPECT_FLOAT_EQ(account.earned, 4.66f);
    EXPECT_FLOAT_EQ(account.sold, 3);
    EXPECT_FLOAT_EQ(account.forfeited, 0);
    EXPECT_FLOAT_EQ(account.taken, 4); // the absence table's part is left alone
    EXPECT_FLOAT_EQ(account.balance(), 7.66f);

    LEAVEREC other;
    other.empNum = "E002";
    ASSERT_TRUE(leave.readAccount(other));
    EXPECT_FLOAT_EQ(other.forfeited, 1.5f);
    EXPECT_FLOAT_EQ(other.balance(), -1.5f);
}

TEST_F(LeaveDbTest, DeletingRenumberingAndPurgingEmployees) {
    addSome();
    common::EMPNUMREC change{"E002", "E200", common::WEEKLY};
    ASSERT_TRUE(leave.updateEmpNum(change));
    EXPECT_TRUE(rowsOf("E002").empty());
    EXPECT_EQ(idsOf("E200"), (std::vector<std::int32_t>{3, 6}));

    add("E300", event({2024, 2, 2}, kLeaveEarned, 1));
    personnel({"E001", "E300"});
    ASSERT_TRUE(leave.purgeOrphans());
    EXPECT_TRUE(rowsOf("E200").empty());
    EXPECT_EQ(rows(), 5);

    ASSERT_TRUE(leave.delEmployee("E300"));
    EXPECT_TRUE(rowsOf("E300").empty());
    EXPECT_EQ(idsOf("E001"), (std::vector<std::int32_t>{1, 2, 5, 4}));
    EXPECT_EQ(rows(), 4);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LeaveDbTest, AMissingTableIsTold) {
    std::filesystem::remove(leave.path());
    EXPECT_FALSE(leave.addEmployee(employee("E001"), 2024));
    EXPECT_EQ(ui.lastMessage(), "Can't open database/leave.dbf");
    LEAVEROW row = event({2024, 1, 2}, kLeaveEarned, 1);
    EXPECT_FALSE(leave.appendRec("E001", row));
    EXPECT_EQ(row.id, 0);
    EXPECT_FALSE(leave.updateRec(row));
    EXPECT_FALSE(leave.deleteRec(1));
    LEAVEREC account;
    account.empNum = "E001";
    EXPECT_FALSE(leave.readAccount(account));
    personnel({"E001"});
    EXPECT_FALSE(leave.purgeOrphans());
    EXPECT_EQ(ui.messages.size(), 6u);
    for (const auto& message : ui.messages)
        EXPECT_EQ(message.text, "Can't open database/leave.dbf");
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(LeaveDbTest, ALockedRowIsLeftAsItWas) {
    addSome();
    auto other = engine::Data4::open(code, leave.path());
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->lock(2), engine::r4success);

    LEAVEROW earned = rowsOf("E001").at(1);
    ASSERT_EQ(earned.id, 2);
    const LEAVEROW before = earned;
    earned.days = 9;
    EXPECT_FALSE(leave.updateRec(earned));
    EXPECT_FALSE(leave.addEmployee(employee("E003"), 2024));
    LEAVEROW row = event({2024, 1, 2}, kLeaveEarned, 1);
    EXPECT_FALSE(leave.appendRec("E001", row));
    EXPECT_FALSE(leave.deleteRec(2));
    personnel({"E002"});
    EXPECT_FALSE(leave.purgeOrphans());
    EXPECT_EQ(ui.messages.size(), 5u);
    for (const auto& message : ui.messages)
        EXPECT_EQ(message.text, inUse);

    other.reset();
    EXPECT_EQ(rows(), 6);
    expectSameRow(rowsOf("E001").at(1), before);
}

} // namespace
} // namespace kelo::database
