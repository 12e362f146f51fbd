#include "common/Money.h"
#include "database/AbsenceDb.h"
#include "database/LeaveDb.h"
#include "database/StaticDb.h"
#include "engine/Data4.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace kelo::database {
namespace {

using common::date;

constexpr date ymd(int year, int month, int day) {
    return date{year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
}

common::ORGREC orgAt(const char* month, int year) {
    common::ORGREC org;
    org.month = month;
    org.year = year;
    return org;
}

LEAVEROW event(date day, std::int32_t kind, float days) {
    LEAVEROW row;
    row.date = day;
    row.kind = kind;
    row.days = days;
    return row;
}

ABSENCEROW absence(date from, date to, float days, const char* reason) {
    ABSENCEROW row;
    row.fromDate = from;
    row.toDate = to;
    row.days = days;
    row.reason = reason;
    return row;
}

// An event without its identifier, to compare what a table holds.
struct Event {
    date day;
    std::int32_t kind = 0;
    double days = 0;
    friend bool operator==(const Event&, const Event&) = default;
};

std::ostream& operator<<(std::ostream& out, const Event& e) {
    return out << e.day.day << "/" << int(e.day.month) << "/" << e.day.year << " kind " << e.kind
               << " " << e.days;
}

class LeaveDbUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/database"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(leave.createFile(ui));
        ASSERT_TRUE(absences.createFile(ui));
        ASSERT_TRUE(staff.createFile(ui));
        ui.clear();
    }

    void hire(const std::string& empNum, float entitlement, date start = {},
              std::optional<date> left = std::nullopt) {
        common::STATICREC rec;
        rec.empNum = empNum;
        rec.lastName = "Mushi";
        rec.otherNames = empNum;
        rec.leaveEntitlement = entitlement;
        rec.startDate = start;
        if (left) {
            rec.terminated = 1;
            rec.separated = 1;
            rec.terminationDate = *left;
        }
        ASSERT_TRUE(staff.openFile());
        ASSERT_TRUE(staff.updateFields(rec, true));
        staff.closeFile();
    }

    void add(const std::string& empNum, LEAVEROW row) { ASSERT_TRUE(leave.appendRec(empNum, row)); }
    void add(const std::string& empNum, ABSENCEROW row, bool booking) {
        ASSERT_TRUE(absences.appendRec(empNum, row, booking));
    }

    std::vector<Event> eventsOf(const std::string& empNum) {
        std::vector<LEAVEROW> rows;
        EXPECT_TRUE(leave.readRows(empNum, rows));
        std::vector<Event> events;
        for (const LEAVEROW& row : rows)
            events.push_back({row.date, row.kind, common::decimalOf(row.days)});
        return events;
    }

    std::string bytesOf(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    LEAVEDB leave{code, folder, ui};
    ABSENCEDB absences{code, folder, ui};
    STATDB staff{code, folder};
    const std::string inUse = "Can't update database/leave.dbf because another user is using it.";
};

// Month end

struct ShareCase {
    const char* name;
    float entitlement;
    date start;
    std::optional<date> left;
    const char* newMonth;
    int year; // of the new month
    std::optional<Event> earned;
};

class LeaveMonthEndTest : public LeaveDbUpdateTest,
                          public ::testing::WithParamInterface<ShareCase> {};

TEST_P(LeaveMonthEndTest, CreditsTheClosedMonthsShare) {
    const ShareCase& c = GetParam();
    hire("E001", c.entitlement, c.start, c.left);
    ASSERT_TRUE(leave.updateFile(orgAt(c.newMonth, c.year), common::UPDATE_MONTH_END));
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    EXPECT_EQ(ui.statusTexts,
              (std::vector<std::string>{"Updating database/leave.dbf...", std::string()}));
    std::vector<Event> expected;
    if (c.earned)
        expected.push_back(*c.earned);
    EXPECT_EQ(eventsOf("E001"), expected);
}

// Hand-worked: a whole month m of 28 days a year is 28m/12 - 28(m-1)/12, each
// to the hundredth; a part month 28/12 x days employed / days of the month.
INSTANTIATE_TEST_SUITE_P(
    Shares, LeaveMonthEndTest,
    ::testing::Values(
        // January: 2.33 - 0.
        ShareCase{"January",
                  28,
                  ymd(2009, 7, 1),
                  {},
                  "February",
                  2025,
                  Event{ymd(2025, 2, 1), kLeaveEarned, 2.33}},
        // February: 4.67 - 2.33.
        ShareCase{"February",
                  28,
                  ymd(2009, 7, 1),
                  {},
                  "March",
                  2025,
                  Event{ymd(2025, 3, 1), kLeaveEarned, 2.34}},
        // December, credited on 1 January of the new year: 28.00 - 25.67.
        ShareCase{"December",
                  28,
                  ymd(2009, 7, 1),
                  {},
                  "January",
                  2026,
                  Event{ymd(2026, 1, 1), kLeaveEarned, 2.33}},
        // 21 days a year: 3.50 - 1.75.
        ShareCase{
            "TwentyOneDays", 21, {}, {}, "March", 2025, Event{ymd(2025, 3, 1), kLeaveEarned, 1.75}},
        // Joined 17 January: 15 of 31 days, 2.3333 x 15 / 31 = 1.129.
        ShareCase{"JoinedMidMonth",
                  28,
                  ymd(2025, 1, 17),
                  {},
                  "February",
                  2025,
                  Event{ymd(2025, 2, 1), kLeaveEarned, 1.13}},
        // Left 14 February 2025: 14 of 28 days, 2.3333 / 2 = 1.1667.
        ShareCase{"LeftMidMonth", 28, ymd(2009, 7, 1), ymd(2025, 2, 14), "March", 2025,
                  Event{ymd(2025, 3, 1), kLeaveEarned, 1.17}},
        // Joined 15 February 2024, a leap year: 15 of 29 days, 2 x 15 / 29 = 1.034.
        ShareCase{"LeapFebruary",
                  24,
                  ymd(2024, 2, 15),
                  {},
                  "March",
                  2024,
                  Event{ymd(2024, 3, 1), kLeaveEarned, 1.03}},
        ShareCase{"LeftEarlier", 28, ymd(2009, 7, 1), ymd(2025, 1, 31), "March", 2025, {}},
        ShareCase{"StartsNextMonth", 28, ymd(2025, 3, 3), {}, "March", 2025, {}},
        ShareCase{"NoEntitlement", 0, ymd(2009, 7, 1), {}, "March", 2025, {}}),
    [](const ::testing::TestParamInfo<ShareCase>& row) { return std::string(row.param.name); });

TEST_F(LeaveDbUpdateTest, TwelveMonthEndsEarnTheWholeEntitlement) {
    hire("E001", 28, ymd(2009, 7, 1));
    const char* months[] = {"February", "March",     "April",   "May",      "June",    "July",
                            "August",   "September", "October", "November", "December"};
    for (const char* month : months)
        ASSERT_TRUE(leave.updateFile(orgAt(month, 2025), common::UPDATE_MONTH_END));
    ASSERT_TRUE(leave.updateFile(orgAt("January", 2026), common::UPDATE_MONTH_END));
    std::vector<double> credits;
    for (const Event& e : eventsOf("E001"))
        credits.push_back(e.days);
    // Cumulative hundredths 2.33, 4.67, 7.00, 9.33, 11.67, 14.00, ... 28.00.
    EXPECT_EQ(credits, (std::vector<double>{2.33, 2.34, 2.33, 2.33, 2.34, 2.33, 2.33, 2.34, 2.33,
                                            2.33, 2.34, 2.33}));
    LEAVEREC account;
    account.empNum = "E001";
    ASSERT_TRUE(leave.readAccount(account));
    EXPECT_DOUBLE_EQ(common::decimalOf(account.earned), 28.00);
}

TEST_F(LeaveDbUpdateTest, EveryEmployeeEarnsInOneUpdate) {
    hire("E001", 28, ymd(2009, 7, 1));
    hire("E002", 21, ymd(2020, 1, 6));
    add("E001", event(ymd(2025, 1, 1), kBalanceBF, 4));
    ASSERT_TRUE(leave.updateFile(orgAt("February", 2025), common::UPDATE_MONTH_END));
    EXPECT_EQ(eventsOf("E001"), (std::vector<Event>{{ymd(2025, 1, 1), kBalanceBF, 4},
                                                    {ymd(2025, 2, 1), kLeaveEarned, 2.33}}));
    EXPECT_EQ(eventsOf("E002"), (std::vector<Event>{{ymd(2025, 2, 1), kLeaveEarned, 1.75}}));
}

// Year end

TEST_F(LeaveDbUpdateTest, TheYearEndCarriesEachBalanceIntoANewYear) {
    // E001: 10 + 2.33 + 2.34 - 3 - 1.5 - (4 + 2.5) taken = 3.67; sick leave
    // and a booking do not count.
    add("E001", event(ymd(2024, 1, 1), kBalanceBF, 10));
    add("E001", event(ymd(2024, 2, 1), kLeaveEarned, 2.33f));
    add("E001", event(ymd(2024, 3, 1), kLeaveEarned, 2.34f));
    add("E001", event(ymd(2024, 3, 15), kLeaveSold, 3));
    add("E001", event(ymd(2024, 4, 10), kLeaveForfeited, 1.5f));
    add("E001", absence(ymd(2024, 6, 3), ymd(2024, 6, 6), 4, "Annual Leave"), false);
    add("E001", absence(ymd(2024, 8, 12), ymd(2024, 8, 14), 2.5f, "Annual Leave"), false);
    add("E001", absence(ymd(2024, 9, 2), ymd(2024, 9, 4), 3, "Sick Leave"), false);
    add("E001", absence(ymd(2025, 3, 3), ymd(2025, 3, 7), 5, "Annual Leave"), true);
    // E002: 0 + 2.33 - 5 taken = -2.67; his sale dated in the new year stays.
    add("E002", event(ymd(2024, 1, 1), kBalanceBF, 0));
    add("E002", event(ymd(2024, 12, 1), kLeaveEarned, 2.33f));
    add("E002", event(ymd(2025, 1, 5), kLeaveSold, 1));
    add("E002", absence(ymd(2024, 7, 1), ymd(2024, 7, 5), 5, "Annual Leave"), false);
    // E003: leave taken without a leave account: -2.
    add("E003", absence(ymd(2024, 10, 1), ymd(2024, 10, 2), 2, "Annual Leave"), false);
    // E004 was carried by a run that stopped half way: his new opening
    // balance stands and his old event only goes.
    add("E004", event(ymd(2024, 12, 1), kLeaveEarned, 1));
    add("E004", event(ymd(2025, 1, 1), kBalanceBF, 7));

    ASSERT_TRUE(leave.updateFile(orgAt("January", 2025), common::UPDATE_YEAR_END));
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    const std::vector<std::vector<Event>> expected{
        {{ymd(2025, 1, 1), kBalanceBF, 3.67}},
        {{ymd(2025, 1, 1), kBalanceBF, -2.67}, {ymd(2025, 1, 5), kLeaveSold, 1}},
        {{ymd(2025, 1, 1), kBalanceBF, -2}},
        {{ymd(2025, 1, 1), kBalanceBF, 7}},
    };
    const std::vector<std::string> empNums{"E001", "E002", "E003", "E004"};
    for (std::size_t i = 0; i < empNums.size(); ++i)
        EXPECT_EQ(eventsOf(empNums[i]), expected[i]) << empNums[i];

    // Running it again changes nothing.
    ASSERT_TRUE(leave.updateFile(orgAt("January", 2025), common::UPDATE_YEAR_END));
    for (std::size_t i = 0; i < empNums.size(); ++i)
        EXPECT_EQ(eventsOf(empNums[i]), expected[i]) << empNums[i];

    // Once the absence events are purged, the account shows the same balance.
    ASSERT_TRUE(absences.purgeAbsence());
    LEAVEREC account;
    account.empNum = "E001";
    ASSERT_TRUE(leave.readAccount(account));
    ASSERT_TRUE(absences.readAccount(account));
    EXPECT_NEAR(account.balance(), 3.67, 1e-5);
    EXPECT_NEAR(account.booked, 5, 1e-5);
}

TEST_F(LeaveDbUpdateTest, TheMonthEndIntoJanuaryFollowsTheYearEnd) {
    hire("E001", 28, ymd(2009, 7, 1));
    add("E001", event(ymd(2025, 1, 1), kBalanceBF, 2));
    add("E001", event(ymd(2025, 12, 1), kLeaveEarned, 2.34f));
    add("E001", absence(ymd(2025, 12, 22), ymd(2025, 12, 23), 2, "Annual Leave"), false);
    const common::ORGREC january = orgAt("January", 2026);
    ASSERT_TRUE(leave.updateFile(january, common::UPDATE_YEAR_END));
    ASSERT_TRUE(leave.updateFile(january, common::UPDATE_MONTH_END));
    ASSERT_TRUE(absences.purgeAbsence());
    // 2 + 2.34 - 2 = 2.34 carried; December's share opens the new year.
    EXPECT_EQ(eventsOf("E001"), (std::vector<Event>{{ymd(2026, 1, 1), kBalanceBF, 2.34},
                                                    {ymd(2026, 1, 1), kLeaveEarned, 2.33}}));
}

TEST_F(LeaveDbUpdateTest, OtherModesChangeNothing) {
    hire("E001", 28, ymd(2009, 7, 1));
    add("E001", event(ymd(2024, 1, 1), kBalanceBF, 3));
    const std::string before = bytesOf(leave.path());
    for (common::UPDATEMODE mode :
         {common::UPDATE_ON_CLOSE, common::UPDATE_PERIOD_END, common::UPDATE_AFTER_MONTH_END}) {
        EXPECT_TRUE(leave.updateFile(orgAt("January", 2025), mode));
    }
    EXPECT_EQ(bytesOf(leave.path()), before);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.statusTexts.empty());
}

TEST_F(LeaveDbUpdateTest, ABadMonthOrYearIsTold) {
    struct Case {
        common::ORGREC org;
        common::UPDATEMODE mode;
        const char* message;
    };
    const std::vector<Case> cases{
        {orgAt("Januar", 2025), common::UPDATE_MONTH_END,
         "Can't update database/leave.dbf: the month \"Januar\" is not valid."},
        {orgAt("March", 0), common::UPDATE_MONTH_END,
         "Can't update database/leave.dbf: the year 0 is not valid."},
        {orgAt("January", 3001), common::UPDATE_YEAR_END,
         "Can't update database/leave.dbf: the year 3001 is not valid."},
    };
    for (const Case& c : cases) {
        ui.clear();
        EXPECT_FALSE(leave.updateFile(c.org, c.mode));
        EXPECT_EQ(ui.lastMessage(), c.message);
    }
}

TEST_F(LeaveDbUpdateTest, AnotherUsersLockStopsEitherUpdateWithNothingChanged) {
    hire("E001", 28, ymd(2009, 7, 1));
    add("E001", event(ymd(2024, 1, 1), kBalanceBF, 3));
    add("E001", event(ymd(2024, 12, 1), kLeaveEarned, 2.33f));
    const std::string before = bytesOf(leave.path());
    auto other = engine::Data4::open(code, leave.path());
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->lock(2), engine::r4success);

    for (common::UPDATEMODE mode : {common::UPDATE_YEAR_END, common::UPDATE_MONTH_END}) {
        ui.clear();
        EXPECT_FALSE(leave.updateFile(orgAt("January", 2025), mode));
        EXPECT_EQ(ui.lastMessage(), inUse);
        EXPECT_EQ(ui.messages.size(), 1u);
    }
    other.reset();
    EXPECT_EQ(bytesOf(leave.path()), before);
}

TEST_F(LeaveDbUpdateTest, AMissingAbsenceOrPersonnelTableStopsItsUpdate) {
    add("E001", event(ymd(2024, 1, 1), kBalanceBF, 3));
    const std::string before = bytesOf(leave.path());
    std::filesystem::remove(absences.path());
    EXPECT_FALSE(leave.updateFile(orgAt("January", 2025), common::UPDATE_YEAR_END));
    EXPECT_EQ(ui.lastMessage(), "Can't open database/absence.dbf");
    std::filesystem::remove(staff.path());
    ui.clear();
    EXPECT_FALSE(leave.updateFile(orgAt("February", 2025), common::UPDATE_MONTH_END));
    EXPECT_EQ(ui.lastMessage(), "Can't open database/static.dbf");
    EXPECT_EQ(bytesOf(leave.path()), before);
}

// Orders and changes by others

TEST_F(LeaveDbUpdateTest, DateOrdersWalkEveryEmployeesRows) {
    add("E002", event(ymd(2025, 3, 1), kLeaveEarned, 1));
    add("E001", event(ymd(2025, 1, 1), kBalanceBF, 2));
    add("E002", event(ymd(2025, 2, 1), kLeaveEarned, 3));
    add("E001", absence(ymd(2025, 5, 5), ymd(2025, 5, 6), 2, "Sick Leave"), false);
    add("E002", absence(ymd(2025, 4, 1), ymd(2025, 4, 30), 20, "Annual Leave"), true);

    ASSERT_TRUE(leave.openFile());
    ASSERT_TRUE(leave.orderByDate());
    EXPECT_EQ(leave.data()->selected()->info().expression, "DTOS(EVENTDATE)");
    std::vector<double> days;
    for (int rc = leave.data()->top(); rc == engine::r4success && !leave.data()->eof();
         rc = leave.data()->skip()) {
        LEAVEROW row;
        leave.loadRow(row);
        days.push_back(row.days);
    }
    EXPECT_EQ(days, (std::vector<double>{2, 3, 1}));
    leave.closeFile();

    ASSERT_TRUE(absences.openFile());
    ASSERT_TRUE(absences.orderBySDate());
    EXPECT_EQ(absences.data()->selected()->info().expression, "DTOS(FROMDATE)");
    ASSERT_EQ(absences.data()->top(), engine::r4success);
    ABSENCEROW first;
    absences.loadRow(first);
    EXPECT_EQ(first.fromDate, ymd(2025, 4, 1));
    absences.closeFile();
}

TEST_F(LeaveDbUpdateTest, ATableFromBeforeTheDateTagGetsIt) {
    // The leave table as it was made before: both older tags only.
    std::filesystem::remove(leave.path());
    std::filesystem::remove(engine::companionPath(leave.path(), "cdx"));
    Schema old = leave.schema();
    old.tags.pop_back();
    ASSERT_NE(engine::Data4::create(code, leave.path(), old.fields, old.tags), nullptr);
    EXPECT_FALSE(leave.openFile());
    code.setErrorCode(0);

    // While another user has it open it cannot be written again.
    {
        auto other = engine::Data4::open(code, leave.path());
        ASSERT_NE(other, nullptr);
        EXPECT_FALSE(leave.ensureIndex());
    }
    EXPECT_EQ(code.errorCode(), 0);
    ASSERT_TRUE(leave.ensureIndex());
    ASSERT_TRUE(leave.openFile());
    EXPECT_TRUE(leave.orderByDate());
    leave.closeFile();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LeaveDbUpdateTest, AnEditIsRefusedWhenAnotherUserChangedTheRowSinceItWasShown) {
    add("E001", event(ymd(2025, 2, 1), kLeaveEarned, 2.33f));
    add("E001", absence(ymd(2025, 4, 1), ymd(2025, 4, 4), 4, "Annual Leave"), true);
    std::vector<LEAVEROW> leaveRows;
    ASSERT_TRUE(leave.readRows("E001", leaveRows));
    ASSERT_EQ(leaveRows.size(), 1u);
    const LEAVEROW shownEvent = leaveRows[0];
    std::vector<ABSENCEROW> bookings;
    ASSERT_TRUE(absences.readRows("E001", true, bookings));
    ASSERT_EQ(bookings.size(), 1u);
    const ABSENCEROW shownBooking = bookings[0];

    // Another user changes both.
    {
        LEAVEDB otherLeave(code, folder, ui);
        LEAVEROW changed = shownEvent;
        changed.days = 2.34f;
        ASSERT_TRUE(otherLeave.updateRec(changed));
        ABSENCEDB otherAbsence(code, folder, ui);
        ASSERT_TRUE(otherAbsence.updateRec(shownBooking, false)); // taken
    }

    LEAVEROW mine = shownEvent;
    mine.days = 3;
    EXPECT_FALSE(leave.updateRec(mine, shownEvent));
    EXPECT_EQ(ui.lastMessage(),
              "Can't update database/leave.dbf: another user has changed event 1 since it was "
              "shown.");
    ABSENCEROW myBooking = shownBooking;
    myBooking.days = 3;
    EXPECT_FALSE(absences.updateRec(myBooking, true, shownBooking, true));
    EXPECT_EQ(ui.lastMessage(),
              "Can't update database/absence.dbf: another user has changed event 1 since it was "
              "shown.");
    EXPECT_EQ(eventsOf("E001"), (std::vector<Event>{{ymd(2025, 2, 1), kLeaveEarned, 2.34}}));
    std::vector<ABSENCEROW> events;
    ASSERT_TRUE(absences.readRows("E001", false, events));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FLOAT_EQ(events[0].days, 4);

    // Unchanged since shown, the edit goes through.
    ui.clear();
    const LEAVEROW now{1, ymd(2025, 2, 1), kLeaveEarned, 2.34f};
    EXPECT_TRUE(leave.updateRec(mine, now));
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    EXPECT_EQ(eventsOf("E001"), (std::vector<Event>{{ymd(2025, 2, 1), kLeaveEarned, 3}}));
}

} // namespace
} // namespace kelo::database
