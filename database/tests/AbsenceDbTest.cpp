#include "database/AbsenceDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

using common::date;

ABSENCEROW absence(date from, date to, float days, const std::string& reason) {
    ABSENCEROW row;
    row.fromDate = from;
    row.toDate = to;
    row.days = days;
    row.reason = reason;
    return row;
}

const ABSENCEROW kSick = absence({2024, 4, 3}, {2024, 6, 3}, 3, "Sick Leave");
const ABSENCEROW kAnnual = absence({2024, 10, 6}, {2024, 21, 6}, 9.5f, "Annual Leave");
const ABSENCEROW kBooked = absence({2024, 16, 12}, {2024, 20, 12}, 5, "Annual Leave");
const ABSENCEROW kBookedNextYear = absence({2025, 6, 1}, {2025, 10, 1}, 4.5f, "Annual Leave");

void expectSameRow(const ABSENCEROW& a, const ABSENCEROW& b) {
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.fromDate, b.fromDate);
    EXPECT_EQ(a.toDate, b.toDate);
    EXPECT_FLOAT_EQ(a.days, b.days);
    EXPECT_EQ(a.reason, b.reason);
}

class AbsenceDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/database"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(absences.createFile(ui));
        ui.clear();
    }
    // The personnel table as far as the absence table looks at it.
    void personnel(const std::vector<std::string>& empNums) {
        auto table = engine::Data4::create(code, folder.resolve("database/static.dbf"),
                                           {{"EMPNO", 'C', 19, 0}, {"LASTNAME", 'C', 19, 0}});
        ASSERT_NE(table, nullptr);
        for (const std::string& empNum : empNums) {
            table->appendStart();
            table->blank();
            table->field("EMPNO")->assign(empNum);
            ASSERT_EQ(table->append(), engine::r4success);
        }
    }
    ABSENCEROW add(const std::string& empNum, ABSENCEROW row, bool booking) {
        EXPECT_TRUE(absences.appendRec(empNum, row, booking));
        return row;
    }
    std::vector<ABSENCEROW> rowsOf(const std::string& empNum, bool bookings) {
        std::vector<ABSENCEROW> rows;
        EXPECT_TRUE(absences.readRows(empNum, bookings, rows));
        return rows;
    }
    std::vector<std::int32_t> idsOf(const std::string& empNum, bool bookings) {
        std::vector<std::int32_t> ids;
        for (const ABSENCEROW& row : rowsOf(empNum, bookings))
            ids.push_back(row.id);
        return ids;
    }
    long rows() {
        auto table = engine::Data4::open(code, absences.path());
        return table ? table->recCount() : -1;
    }
    // Three employees: E001 with two events and a booking, E002 with one of each.
    void addSome() {
        add("E001", kSick, false);
        add("E002", kAnnual, false);
        add("E001", kAnnual, false);
        add("E001", kBooked, true);
        add("E002", kBookedNextYear, true);
    }
    std::unique_ptr<engine::Data4> lockedByOther(long recNo) {
        auto other = engine::Data4::open(code, absences.path());
        EXPECT_NE(other, nullptr);
        if (other) {
            EXPECT_EQ(other->lock(recNo), engine::r4success);
        }
        return other;
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    ABSENCEDB absences{code, folder, ui};
    const std::string inUse = "Can't update database/absence.dbf because another user is using it.";
};

TEST_F(AbsenceDbTest, SchemaAndPlace) {
    EXPECT_EQ(absences.path(), dir.file("org01/database/absence.dbf"));
    std::vector<std::string> columns;
    for (const auto& f : absences.schema().fields)
        columns.push_back(f.name);
    EXPECT_EQ(columns, (std::vector<std::string>{"EMPNO", "ID", "FROMDATE", "TODATE", "DAYS",
                                                 "REASON", "BOOKING"}));
    ASSERT_TRUE(absences.openFile());
    EXPECT_TRUE(absences.orderByEmpNum());
    EXPECT_EQ(absences.data()->selected()->info().expression, "UPPER(EMPNO)+DTOS(FROMDATE)");
    EXPECT_TRUE(absences.orderById());
}

TEST_F(AbsenceDbTest, RowsRoundTripWithNewIdentifiers) {
    EXPECT_EQ(absences.maxID(), 0);
    const ABSENCEROW first = add("E001", kAnnual, false);
    const ABSENCEROW second = add("E001", kBooked, true);
    EXPECT_EQ(first.id, 1);
    EXPECT_EQ(second.id, 2);
    EXPECT_EQ(absences.maxID(), 2);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(absences.isOpen());

    const auto events = rowsOf("E001", false);
    ASSERT_EQ(events.size(), 1u);
    expectSameRow(events[0], first);
    const auto bookings = rowsOf("e001", true);
    ASSERT_EQ(bookings.size(), 1u);
    expectSameRow(bookings[0], second);

    ASSERT_TRUE(absences.openFile());
    ASSERT_TRUE(absences.orderById());
    ASSERT_EQ(absences.data()->top(), engine::r4success);
    EXPECT_FALSE(absences.isBooking());
    EXPECT_EQ(absences.data()->field("BOOKING")->str(), "F");
    EXPECT_EQ(absences.data()->field("FROMDATE")->str(), "20240610");
    ASSERT_EQ(absences.data()->skip(), engine::r4success);
    EXPECT_TRUE(absences.isBooking());
    EXPECT_EQ(absences.data()->field("BOOKING")->str(), "T");
}

TEST_F(AbsenceDbTest, AnEmployeesRowsComeInDateOrder) {
    add("E001", kAnnual, false);
    add("E001", kSick, false);
    add("E0011", kSick, false); // a longer number is another employee
    EXPECT_EQ(idsOf("E001", false), (std::vector<std::int32_t>{2, 1}));
    EXPECT_EQ(idsOf("E0011", false), (std::vector<std::int32_t>{3}));
    EXPECT_TRUE(idsOf("E00", false).empty());
}

TEST_F(AbsenceDbTest, AnOverlongReasonIsCut) {
    const ABSENCEROW row =
        add("E001",
            absence({2024, 1, 2}, {2024, 2, 2}, 2, "Unauthorised Absence (without notice given)"),
            false);
    const auto loaded = rowsOf("E001", false);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].reason, row.reason.substr(0, kReasonWidth));
    EXPECT_EQ(loaded[0].reason.size(), 25u);
}

TEST_F(AbsenceDbTest, UpdatingRewritesTheRowAndMayTurnABookingIntoAnEvent) {
    addSome();
    ABSENCEROW booking = rowsOf("E001", true).at(0);
    booking.fromDate = {2024, 17, 12};
    booking.days = 4;
    ASSERT_TRUE(absences.updateRec(booking, true));
    expectSameRow(rowsOf("E001", true).at(0), booking);

    ASSERT_TRUE(absences.updateRec(booking, false));
    EXPECT_TRUE(rowsOf("E001", true).empty());
    EXPECT_EQ(idsOf("E001", false), (std::vector<std::int32_t>{1, 3, 4}));
    EXPECT_EQ(rows(), 5);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AbsenceDbTest, DeletingARowByIdentifier) {
    addSome();
    ASSERT_TRUE(absences.deleteRec(3));
    EXPECT_EQ(idsOf("E001", false), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(rows(), 4);
    ASSERT_TRUE(absences.deleteRec(5));
    EXPECT_EQ(absences.maxID(), 4);
    // The next row takes the highest identifier left plus one.
    EXPECT_EQ(add("E002", kBookedNextYear, true).id, 5);

    EXPECT_FALSE(absences.deleteRec(42));
    EXPECT_EQ(ui.lastMessage(), "Can't update database/absence.dbf: event 42 no longer exists.");
    EXPECT_FALSE(absences.updateRec(absence({2024, 1, 1}, {2024, 1, 1}, 1, "Sick Leave"), false));
    EXPECT_EQ(ui.lastMessage(), "Can't update database/absence.dbf: event 0 no longer exists.");
    EXPECT_EQ(rows(), 4);
}

TEST_F(AbsenceDbTest, DeletingAnEmployeeRemovesOnlyTheirRows) {
    addSome();
    ASSERT_TRUE(absences.delEmployee(" e001 "));
    EXPECT_TRUE(rowsOf("E001", false).empty());
    EXPECT_TRUE(rowsOf("E001", true).empty());
    EXPECT_EQ(idsOf("E002", false), (std::vector<std::int32_t>{2}));
    EXPECT_EQ(idsOf("E002", true), (std::vector<std::int32_t>{5}));
    EXPECT_EQ(rows(), 2);
    // An employee without rows is no failure.
    EXPECT_TRUE(absences.delEmployee("E999"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AbsenceDbTest, ANewEmployeeStartsWithoutLeftovers) {
    addSome();
    common::STATICREC employee;
    employee.empNum = "E002";
    ASSERT_TRUE(absences.addEmployee(employee));
    EXPECT_TRUE(rowsOf("E002", false).empty());
    EXPECT_TRUE(rowsOf("E002", true).empty());
    EXPECT_EQ(rows(), 3);
    employee.empNum = "  ";
    EXPECT_FALSE(absences.addEmployee(employee));
    EXPECT_EQ(ui.lastMessage(), "Can't update database/absence.dbf: the employee number is blank.");
}

TEST_F(AbsenceDbTest, RenumberingMovesTheRows) {
    addSome();
    common::EMPNUMREC change;
    change.oldEmpNum = "e001";
    change.newEmpNum = "E100";
    ASSERT_TRUE(absences.updateEmpNum(change));
    EXPECT_TRUE(rowsOf("E001", false).empty());
    EXPECT_EQ(idsOf("E100", false), (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(idsOf("E100", true), (std::vector<std::int32_t>{4}));
    EXPECT_EQ(idsOf("E002", false), (std::vector<std::int32_t>{2}));

    // A new number longer than the column is cut to it.
    change.oldEmpNum = "E100";
    change.newEmpNum = "EMP-2024-000000000001";
    ASSERT_TRUE(absences.updateEmpNum(change));
    EXPECT_EQ(idsOf("EMP-2024-0000000000", false), (std::vector<std::int32_t>{1, 3}));

    change.newEmpNum = "";
    EXPECT_FALSE(absences.updateEmpNum(change));
    EXPECT_EQ(ui.lastMessage(), "Can't update database/absence.dbf: the employee number is blank.");
    EXPECT_EQ(rows(), 5);
}

TEST_F(AbsenceDbTest, OrphansArePurged) {
    addSome();
    add("E003", kSick, false);
    personnel({"e001", "E003"});
    ASSERT_TRUE(absences.purgeOrphans());
    EXPECT_TRUE(rowsOf("E002", false).empty());
    EXPECT_TRUE(rowsOf("E002", true).empty());
    EXPECT_EQ(idsOf("E001", false), (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(idsOf("E003", false), (std::vector<std::int32_t>{6}));
    EXPECT_EQ(rows(), 4);
}

TEST_F(AbsenceDbTest, WithoutThePersonnelTableNothingIsPurged) {
    addSome();
    EXPECT_FALSE(absences.purgeOrphans());
    EXPECT_EQ(ui.lastMessage(), "Can't open database/static.dbf");
    EXPECT_EQ(rows(), 5);
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(AbsenceDbTest, ExpiredBookingsAreThoseEndingByTheCurrentMonth) {
    addSome();
    add("E002", absence({2024, 1, 11}, {2024, 3, 11}, 3, "Study Leave"), true);
    struct Case {
        const char* month;
        int year;
        bool ok;
        std::int32_t count;
    };
    for (const Case& c : std::vector<Case>{{"December", 2024, true, 2},
                                           {"November", 2024, true, 1},
                                           {"October", 2024, true, 0},
                                           {"January", 2025, true, 3},
                                           {"Smarch", 2024, false, 0}}) {
        SCOPED_TRACE(c.month);
        common::ORGREC org = common::newOrgRec(1);
        org.month = c.month;
        org.year = c.year;
        std::int32_t count = -1;
        EXPECT_EQ(absences.cntExpiredBookings(org, count), c.ok);
        EXPECT_EQ(count, c.count);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AbsenceDbTest, TheYearPurgeKeepsOnlyBookings) {
    addSome();
    ASSERT_TRUE(absences.purgeAbsence());
    EXPECT_TRUE(rowsOf("E001", false).empty());
    EXPECT_TRUE(rowsOf("E002", false).empty());
    EXPECT_EQ(idsOf("E001", true), (std::vector<std::int32_t>{4}));
    EXPECT_EQ(idsOf("E002", true), (std::vector<std::int32_t>{5}));
    EXPECT_EQ(rows(), 2);
}

TEST_F(AbsenceDbTest, TheAccountCountsAnnualLeaveTakenAndBooked) {
    addSome();
    add("E001", absence({2024, 1, 9}, {2024, 2, 9}, 2, "Annual Leave"), false);
    add("E001", absence({2024, 1, 10}, {2024, 2, 10}, 2, "Sick Leave"), true);
    LEAVEREC account;
    account.empNum = "e001";
    account.earned = 21;
    account.taken = 99;
    ASSERT_TRUE(absences.readAccount(account));
    EXPECT_FLOAT_EQ(account.taken, 11.5f);
    EXPECT_FLOAT_EQ(account.booked, 5);
    EXPECT_FLOAT_EQ(account.earned, 21); // the leave table's part is left alone
    EXPECT_FLOAT_EQ(account.balance(), 9.5f);
    EXPECT_FLOAT_EQ(account.available(), 4.5f);
}

TEST_F(AbsenceDbTest, AnOpenTableIsUsedAndKeepsItsOrder) {
    ASSERT_TRUE(absences.openFile());
    ASSERT_TRUE(absences.orderByEmpNum());
    addSome();
    EXPECT_TRUE(absences.isOpen());
    EXPECT_EQ(absences.data()->selected(), absences.data()->tag(ABSENCEDB::kEmpNumTag));
    ASSERT_TRUE(absences.deleteRec(1));
    EXPECT_EQ(absences.maxID(), 5);
    EXPECT_TRUE(absences.isOpen());
    EXPECT_EQ(absences.data()->selected(), absences.data()->tag(ABSENCEDB::kEmpNumTag));
    absences.closeFile();
    EXPECT_EQ(rows(), 4);
}

TEST_F(AbsenceDbTest, AMissingTableIsTold) {
    std::filesystem::remove(absences.path());
    ABSENCEROW row = kSick;
    EXPECT_FALSE(absences.appendRec("E001", row, false));
    EXPECT_EQ(ui.lastMessage(), "Can't open database/absence.dbf");
    EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");
    EXPECT_EQ(row.id, 0);
    EXPECT_EQ(absences.maxID(), std::nullopt);
    std::vector<ABSENCEROW> read(1);
    EXPECT_FALSE(absences.readRows("E001", false, read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(absences.delEmployee("E001"));
    EXPECT_FALSE(absences.purgeAbsence());
    EXPECT_EQ(ui.messages.size(), 5u);
    // The month end's count says nothing of its own.
    common::ORGREC org = common::newOrgRec(1);
    org.month = "December";
    org.year = 2024;
    std::int32_t count = 0;
    EXPECT_FALSE(absences.cntExpiredBookings(org, count));
    EXPECT_EQ(ui.messages.size(), 5u);
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(AbsenceDbTest, ATableOpenedExclusivelyElsewhereIsInUse) {
    addSome();
    code.accessMode = engine::OPEN4DENY_RW;
    auto other = engine::Data4::open(code, absences.path());
    code.accessMode = engine::OPEN4DENY_NONE;
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(absences.deleteRec(1));
    EXPECT_EQ(ui.lastMessage(), inUse);
    other.reset();
    EXPECT_EQ(rows(), 5);
}

TEST_F(AbsenceDbTest, ALockedRowIsLeftAsItWas) {
    addSome();
    auto other = lockedByOther(3);

    ABSENCEROW changed = rowsOf("E001", false).at(1);
    ASSERT_EQ(changed.id, 3);
    changed.days = 1;
    EXPECT_FALSE(absences.updateRec(changed, false));
    EXPECT_EQ(ui.lastMessage(), inUse);
    ABSENCEROW row = kSick;
    EXPECT_FALSE(absences.appendRec("E001", row, false));
    EXPECT_FALSE(absences.deleteRec(3));
    EXPECT_FALSE(absences.delEmployee("E001"));
    common::EMPNUMREC change{"E001", "E100", common::MONTHLY};
    EXPECT_FALSE(absences.updateEmpNum(change));
    EXPECT_FALSE(absences.purgeAbsence());
    EXPECT_EQ(ui.messages.size(), 6u);
    for (const auto& message : ui.messages)
        EXPECT_EQ(message.text, inUse);
    EXPECT_EQ(code.errorCode(), 0);

    other.reset();
    EXPECT_EQ(rows(), 5);
    ABSENCEROW unchanged = kAnnual;
    unchanged.id = 3;
    expectSameRow(rowsOf("E001", false).at(1), unchanged);
    // Once released the update goes through.
    ASSERT_TRUE(absences.updateRec(changed, false));
    EXPECT_FLOAT_EQ(rowsOf("E001", false).at(1).days, 1);
}

} // namespace
} // namespace kelo::database
