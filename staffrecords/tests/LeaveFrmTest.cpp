#include "LeaveFrmFixture.h"
#include "testsupport/ChildProcess.h"

#include <functional>
#include <gtest/gtest.h>

namespace kelo::staffrecords {
namespace {

namespace lf = leavefrm;
using common::Answer;
using database::ABSENCEROW;
using database::LEAVEROW;
using testing::Employee;
using testing::fillAbsence;
using testing::fillLeave;
using testing::ymd;
using View = testsupport::FakeDialogView;

using LeaveFrmTest = testing::LeaveFrmFixture;

const std::string kSickRow = "03/02/2025\t04/02/2025\t2.00\tSick Leave";
const std::string kOpeningRow = "01/01/2025\tBalance B/F\t0.00";
const std::vector<std::string> kNewAccount{"28.00", "0.00", "0.00", "0.00", "0.00",
                                           "0.00",  "0.00", "0.00", "0.00"};

// Opening and browsing

TEST_F(LeaveFrmTest, OpensOnTheFirstEmployeesAbsences) {
    openLeaveForm();
    EXPECT_EQ(leave->getView(), ABSENCE_VIEW);
    EXPECT_EQ(window.itemTexts(lf::kView),
              (std::vector<std::string>{"Absence", "Annual Leave", "Leave Booked"}));
    EXPECT_EQ(window.selectedRow(lf::kView), 0);
    EXPECT_EQ(window.text(lf::kPosition), "Record 1 of 3");
    EXPECT_EQ(window.text(lf::kEmployee), "MH001  Mwakyusa, Emmanuel Joseph");
    EXPECT_EQ(window.text(lf::kReadOnly), "");
    EXPECT_EQ(window.text(lf::kColumns), "From\tTo\tDays\tReason");
    EXPECT_EQ(rows(), std::vector<std::string>{kSickRow});
    EXPECT_EQ(window.selectedRow(lf::kList), -1);
    EXPECT_EQ(account(), kNewAccount);
    EXPECT_FALSE(leave->isReadOnly());
    EXPECT_FALSE(leave->isChanged());
    expectNoMessage();
}

TEST_F(LeaveFrmTest, CheckFilesNamesWhatIsMissing) {
    struct Case {
        const char* name;
        std::function<void()> spoil;
        std::string message;
    };
    const std::vector<Case> cases{
        {"no absence table",
         [&] { std::filesystem::remove(folder.resolve(database::ABSENCEDB::kPath)); },
         "Can't open database/absence.dbf"},
        {"no leave table",
         [&] { std::filesystem::remove(folder.resolve(database::LEAVEDB::kPath)); },
         "Can't open database/leave.dbf"},
        {"no employees",
         [&] {
             for (const char* empNum : {"MH001", "MH002", "MH003"})
                 fire(empNum);
         },
         ""},
    };
    const std::string spare = dir.file("spare");
    std::filesystem::copy(dir.file("org01"), spare, std::filesystem::copy_options::recursive);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir.file("org01"));
        std::filesystem::copy(spare, dir.file("org01"), std::filesystem::copy_options::recursive);
        c.spoil();
        ui.clear();
        LEAVEFRM fresh(ui, code, folder);
        EXPECT_FALSE(fresh.checkFiles());
        ASSERT_EQ(ui.messages.size(), 1u);
        if (!c.message.empty())
            EXPECT_EQ(ui.lastMessage(), c.message);
        else
            EXPECT_NE(ui.lastMessage().find("Employee Master"), std::string::npos)
                << ui.lastMessage();
        code.setErrorCode(0);
    }
}

TEST_F(LeaveFrmTest, MovesThroughTheEmployeesInTheFormOrder) {
    org.formSortKey = common::kSortByLastName;
    openLeaveForm();
    // By last name: Banda, Kileo, Mwakyusa.
    EXPECT_EQ(leave->getCurrentRec().empNum, "MH002");
    struct Step {
        const char* name;
        std::function<bool()> move;
        bool moved;
        const char* employee;
        const char* position;
        std::string message;
    };
    const std::vector<Step> steps{
        {"previous at the first", [&] { return leave->previousRecord(); }, false,
         "MH002  Banda, Grace Anyelwisye", "Record 2 of 3", ""},
        {"next", [&] { return leave->nextRecord(); }, true, "MH003  Kileo, Ali Hassan",
         "Record 3 of 3", ""},
        {"last", [&] { return leave->lastRecord(); }, true, "MH001  Mwakyusa, Emmanuel Joseph",
         "Record 1 of 3", ""},
        {"next at the last", [&] { return leave->nextRecord(); }, false,
         "MH001  Mwakyusa, Emmanuel Joseph", "Record 1 of 3", ""},
        {"first", [&] { return leave->firstRecord(); }, true, "MH002  Banda, Grace Anyelwisye",
         "Record 2 of 3", ""},
        {"number, other case", [&] { return leave->findEmpNum("mh003"); }, true,
         "MH003  Kileo, Ali Hassan", "Record 3 of 3", ""},
        {"unknown number", [&] { return leave->findEmpNum("MH009"); }, false,
         "MH003  Kileo, Ali Hassan", "Record 3 of 3", "Record not found."},
        {"last name", [&] { return leave->findName("mwak"); }, true,
         "MH001  Mwakyusa, Emmanuel Joseph", "Record 1 of 3", ""},
        {"unknown name", [&] { return leave->findName("Zulu"); }, false,
         "MH001  Mwakyusa, Emmanuel Joseph", "Record 1 of 3", "Record not found."},
        {"record 2", [&] { return leave->gotoRec(2); }, true, "MH002  Banda, Grace Anyelwisye",
         "Record 2 of 3", ""},
        {"record 7", [&] { return leave->gotoRec(7); }, false, "MH002  Banda, Grace Anyelwisye",
         "Record 2 of 3", "Record not found."},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        ui.clear();
        EXPECT_EQ(s.move(), s.moved);
        if (s.message.empty())
            expectNoMessage();
        else
            expectOneMessage(s.message);
        EXPECT_EQ(window.text(lf::kEmployee), s.employee);
        EXPECT_EQ(window.text(lf::kPosition), s.position);
        EXPECT_EQ(rows(), std::vector<std::string>{kSickRow});
    }
}

TEST_F(LeaveFrmTest, ViewsChangeColumnsAndRowsAndStopAtEitherEnd) {
    openLeaveForm();
    struct Step {
        const char* name;
        std::function<bool()> move;
        bool moved;
        LEAVEVIEW view;
        const char* columns;
        std::vector<std::string> rows;
    };
    const std::vector<Step> steps{
        {"PgUp at the first",
         [&] { return leave->pageUp(); },
         false,
         ABSENCE_VIEW,
         "From\tTo\tDays\tReason",
         {kSickRow}},
        {"PgDn",
         [&] { return leave->pageDown(); },
         true,
         ANNUAL_LEAVE_VIEW,
         "Date\tEvent\tDays",
         {kOpeningRow}},
        {"PgDn",
         [&] { return leave->pageDown(); },
         true,
         LEAVE_BOOKED_VIEW,
         "From\tTo\tDays\tType",
         {}},
        {"PgDn at the last",
         [&] { return leave->pageDown(); },
         false,
         LEAVE_BOOKED_VIEW,
         "From\tTo\tDays\tType",
         {}},
        {"PgUp",
         [&] { return leave->pageUp(); },
         true,
         ANNUAL_LEAVE_VIEW,
         "Date\tEvent\tDays",
         {kOpeningRow}},
        {"the list",
         [&] {
             window.selectRow(lf::kView, ABSENCE_VIEW);
             leave->switchView();
             return true;
         },
         true,
         ABSENCE_VIEW,
         "From\tTo\tDays\tReason",
         {kSickRow}},
    };
    int beeps = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(s.move(), s.moved);
        beeps += s.moved ? 0 : 1;
        EXPECT_EQ(ui.beeps, beeps);
        EXPECT_EQ(leave->getView(), s.view);
        EXPECT_EQ(window.selectedRow(lf::kView), static_cast<int>(s.view));
        EXPECT_EQ(window.text(lf::kColumns), s.columns);
        EXPECT_EQ(rows(), s.rows);
    }
    // Moving on keeps the view.
    leave->pageDown();
    ASSERT_TRUE(leave->nextRecord());
    EXPECT_EQ(leave->getView(), ANNUAL_LEAVE_VIEW);
    EXPECT_EQ(rows(), std::vector<std::string>{kOpeningRow});
    expectNoMessage();
}

// The account

TEST_F(LeaveFrmTest, TheAccountFollowsEarnedSoldForfeitedTakenAndBookedLeave) {
    openLeaveForm();
    showEmployee("MH002");
    View dialog;

    chooseView(ANNUAL_LEAVE_VIEW);
    selectRow(kOpeningRow);
    ASSERT_TRUE(leave->initEditLeaveDlg(dialog));
    dialog.setText(leavedlg::kDays, "10");
    ASSERT_TRUE(leave->closeEditLeaveDlg(dialog)) << ui.lastMessage();
    for (const auto& [date, kind, days] :
         std::vector<std::tuple<const char*, std::int32_t, const char*>>{
             {"01/02/2025", database::kLeaveEarned, "2.33"},
             {"15/02/2025", database::kLeaveSold, "3"},
             {"28/02/2025", database::kLeaveForfeited, "1.5"}}) {
        dialog = View();
        ASSERT_TRUE(leave->initNewLeaveDlg(dialog));
        fillLeave(dialog, date, kind, days);
        ASSERT_TRUE(leave->closeNewLeaveDlg(dialog)) << ui.lastMessage();
    }
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          "01/01/2025\tBalance B/F\t10.00", "01/02/2025\tLeave Earned\t2.33",
                          "15/02/2025\tLeave Sold\t3.00", "28/02/2025\tLeave Forfeited\t1.50"}));
    EXPECT_EQ(selectedText(), "28/02/2025\tLeave Forfeited\t1.50");

    chooseView(ABSENCE_VIEW);
    dialog = View();
    ASSERT_TRUE(leave->initNewAbsenceDlg(dialog));
    fillAbsence(dialog, "10/03/2025", "14/03/2025", "5", "Annual Leave");
    ASSERT_TRUE(leave->closeNewAbsenceDlg(dialog)) << ui.lastMessage();

    chooseView(LEAVE_BOOKED_VIEW);
    dialog = View();
    ASSERT_TRUE(leave->initNewBookingDlg(dialog));
    fillAbsence(dialog, "07/04/2025", "10/04/2025", "4", "Annual Leave");
    ASSERT_TRUE(leave->closeNewBookingDlg(dialog)) << ui.lastMessage();

    // 10 + 2.33 - 3 - 1.5 - 5 = 2.83 due; less 4 booked, 1.17 short. The
    // sick leave takes nothing from the account.
    EXPECT_EQ(account(), (std::vector<std::string>{"28.00", "10.00", "2.33", "3.00", "1.50", "5.00",
                                                   "2.83", "4.00", "-1.17"}));
    EXPECT_TRUE(leave->isChanged());
    EXPECT_TRUE(leave->saveCurrentRec());
    EXPECT_FALSE(leave->isChanged());
    expectNoMessage();

    // The same account, read again as the window opens next time.
    LEAVEFRM again(ui, code, folder);
    View other;
    again.attach(other);
    ASSERT_TRUE(again.open(org));
    ASSERT_TRUE(again.findEmpNum("MH002"));
    EXPECT_NEAR(again.getAccount().balance(), 2.83, 1e-5);
    EXPECT_NEAR(again.getAccount().available(), -1.17, 1e-5);
}

// Former employees

TEST_F(LeaveFrmTest, AFormerEmployeeIsReadOnly) {
    makeFormerEmployee("MH003");
    openLeaveForm();
    showEmployee("MH003");
    EXPECT_TRUE(leave->isReadOnly());
    EXPECT_EQ(window.text(lf::kReadOnly), "Read-Only");
    const std::string absenceBytes = testing::bytesOf(folder.resolve(database::ABSENCEDB::kPath));
    const std::string leaveBytes = testing::bytesOf(folder.resolve(database::LEAVEDB::kPath));

    const std::string noAdd = "Cannot add a new event because the current record is read-only.";
    const std::string noEdit =
        "This event cannot be edited because the current record is read-only.";
    struct Case {
        const char* name;
        LEAVEVIEW view;
        std::function<bool(View&)> run;
        std::string message;
    };
    const std::vector<Case> cases{
        {"new absence", ABSENCE_VIEW, [&](View& d) { return leave->initNewAbsenceDlg(d); }, noAdd},
        {"new leave event", ANNUAL_LEAVE_VIEW, [&](View& d) { return leave->initNewLeaveDlg(d); },
         noAdd},
        {"new booking", LEAVE_BOOKED_VIEW, [&](View& d) { return leave->initNewBookingDlg(d); },
         noAdd},
        {"edit absence", ABSENCE_VIEW, [&](View& d) { return leave->initEditAbsenceDlg(d); },
         noEdit},
        {"edit leave event", ANNUAL_LEAVE_VIEW, [&](View& d) { return leave->initEditLeaveDlg(d); },
         noEdit},
        {"delete absence", ABSENCE_VIEW, [&](View&) { return leave->deleteRow(); },
         "This event cannot be deleted because the current record is read-only."},
        {"save", ABSENCE_VIEW, [&](View&) { return leave->saveCurrentRec(); },
         "The current record is read-only and cannot be saved."},
        {"add without a window", ABSENCE_VIEW,
         [&](View&) {
             ABSENCEROW row;
             row.fromDate = row.toDate = ymd(2025, 3, 10);
             row.days = 1;
             row.reason = "Sick Leave";
             return leave->addAbsence(org, "MH003", row, false);
         },
         noAdd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chooseView(c.view);
        window.selectRow(lf::kList, 0);
        View dialog;
        ui.clear();
        EXPECT_FALSE(c.run(dialog));
        expectOneMessage(c.message);
        EXPECT_EQ(dialog.caption(), "");
    }
    EXPECT_EQ(testing::bytesOf(folder.resolve(database::ABSENCEDB::kPath)), absenceBytes);
    EXPECT_EQ(testing::bytesOf(folder.resolve(database::LEAVEDB::kPath)), leaveBytes);

    // Others still save without a word.
    showEmployee("MH001");
    EXPECT_EQ(window.text(lf::kReadOnly), "");
    EXPECT_TRUE(leave->saveCurrentRec());
    expectNoMessage();
}

// Without a window

TEST_F(LeaveFrmTest, EventsAreAddedWithoutAWindowWithTheDialogsChecks) {
    openLeaveForm();
    ABSENCEROW annual;
    annual.fromDate = ymd(2025, 3, 10);
    annual.toDate = ymd(2025, 3, 14);
    annual.days = 5;
    annual.reason = "Annual Leave";
    ASSERT_TRUE(leave->addAbsence(org, "mh002", annual, false)) << ui.lastMessage();
    EXPECT_EQ(annual.id, 4); // after the three sick leaves
    LEAVEROW earned;
    earned.date = ymd(2025, 2, 1);
    earned.kind = database::kLeaveEarned;
    earned.days = 2.333f;
    ASSERT_TRUE(leave->addLeaveEvent(org, "MH002", earned)) << ui.lastMessage();
    EXPECT_EQ(earned.id, 4);
    EXPECT_FLOAT_EQ(earned.days, 2.33f);
    // The employee shown is not disturbed.
    EXPECT_EQ(window.text(lf::kEmployee), "MH001  Mwakyusa, Emmanuel Joseph");
    EXPECT_EQ(account(), kNewAccount);
    expectNoMessage();

    // For the employee shown, the window follows.
    ABSENCEROW booking = annual;
    booking.fromDate = ymd(2025, 6, 2);
    booking.toDate = ymd(2025, 6, 6);
    ASSERT_TRUE(leave->addAbsence(org, "MH001", booking, true));
    EXPECT_EQ(window.text(lf::kBooked), "5.00");

    showEmployee("MH002");
    EXPECT_EQ(account(), (std::vector<std::string>{"28.00", "0.00", "2.33", "0.00", "0.00", "5.00",
                                                   "-2.67", "0.00", "-2.67"}));

    makeFormerEmployee("MH003");
    struct Case {
        const char* name;
        std::function<bool()> add;
        std::string message;
    };
    const auto absenceOf = [&](const char* empNum, common::date from, common::date to, float days,
                               bool isBooking) {
        return [=, this] {
            ABSENCEROW row;
            row.fromDate = from;
            row.toDate = to;
            row.days = days;
            row.reason = "Annual Leave";
            return leave->addAbsence(org, empNum, row, isBooking);
        };
    };
    const auto eventOf = [&](const char* empNum, common::date day, std::int32_t kind, float days) {
        return [=, this] {
            LEAVEROW row;
            row.date = day;
            row.kind = kind;
            row.days = days;
            return leave->addLeaveEvent(org, empNum, row);
        };
    };
    const std::vector<Case> cases{
        {"unknown employee", absenceOf("MH009", ymd(2025, 3, 3), ymd(2025, 3, 3), 1, false),
         "Record not found."},
        {"former employee", eventOf("MH003", ymd(2025, 3, 3), database::kLeaveEarned, 1),
         "Cannot add a new event because the current record is read-only."},
        {"booking across the year", absenceOf("MH001", ymd(2025, 12, 29), ymd(2026, 1, 2), 4, true),
         "Start date and end date must be in the same calendar year"},
        {"end before start", absenceOf("MH001", ymd(2025, 3, 4), ymd(2025, 3, 3), 1, false),
         "Start date cannot be later than end date"},
        {"no start", absenceOf("MH001", {}, ymd(2025, 3, 3), 1, false),
         testing::blank("Start Date")},
        {"no such day", absenceOf("MH001", ymd(2025, 2, 30), ymd(2025, 3, 3), 1, false),
         testing::invalid("Start Date")},
        {"a balance brought forward", eventOf("MH001", ymd(2025, 3, 3), database::kBalanceBF, 1),
         testing::invalid("Event")},
        {"last year", eventOf("MH001", ymd(2024, 12, 31), database::kLeaveEarned, 1),
         "The date must fall in the current calendar year, 2025."},
        {"no days", eventOf("MH001", ymd(2025, 3, 3), database::kLeaveSold, 0),
         testing::invalid("Days")},
    };
    const std::string absenceBytes = testing::bytesOf(folder.resolve(database::ABSENCEDB::kPath));
    const std::string leaveBytes = testing::bytesOf(folder.resolve(database::LEAVEDB::kPath));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        EXPECT_FALSE(c.add());
        expectOneMessage(c.message);
    }
    EXPECT_EQ(testing::bytesOf(folder.resolve(database::ABSENCEDB::kPath)), absenceBytes);
    EXPECT_EQ(testing::bytesOf(folder.resolve(database::LEAVEDB::kPath)), leaveBytes);
}

// Other users

TEST_F(LeaveFrmTest, AnotherUsersChangesAreShownByTheRefresh) {
    openLeaveForm();
    EXPECT_FALSE(leave->refreshRecord());
    selectRow(kSickRow);

    // Another clerk, in a process of his own, books and records leave for
    // the employee shown while the form has the tables open.
    const int status = testsupport::runInChild([&] {
        engine::Code4 other;
        testsupport::RecordingUi otherUi;
        database::ABSENCEDB absence(other, folder, otherUi);
        ABSENCEROW annual;
        annual.fromDate = ymd(2025, 3, 3);
        annual.toDate = ymd(2025, 3, 5);
        annual.days = 3;
        annual.reason = "Annual Leave";
        return absence.appendRec("MH001", annual, false) ? 0 : 1;
    });
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(leave->refreshRecord());
    EXPECT_EQ(rows(),
              (std::vector<std::string>{kSickRow, "03/03/2025\t05/03/2025\t3.00\tAnnual Leave"}));
    EXPECT_EQ(selectedText(), kSickRow);
    EXPECT_EQ(window.text(lf::kTaken), "3.00");
    EXPECT_EQ(window.text(lf::kBalance), "-3.00");
    EXPECT_FALSE(leave->refreshRecord());

    changeAsOtherUser("MH001", [](Employee& e) { e.rec.leaveEntitlement = 30; });
    EXPECT_TRUE(leave->refreshRecord());
    EXPECT_EQ(window.text(lf::kEntitlement), "30.00");

    // An employee deleted by another user gives way to the first one left.
    fire("MH001");
    ui.clear();
    EXPECT_TRUE(leave->refreshRecord());
    expectOneMessage("This employee has been deleted by another user.");
    EXPECT_EQ(window.text(lf::kEmployee), "MH002  Banda, Grace Anyelwisye");
}

TEST_F(LeaveFrmTest, AnEditOfARowAnotherUserChangedIsRefused) {
    openLeaveForm();
    selectRow(kSickRow);
    View dialog;
    ASSERT_TRUE(leave->initEditAbsenceDlg(dialog));
    const int status = testsupport::runInChild([&] {
        engine::Code4 other;
        testsupport::RecordingUi otherUi;
        database::ABSENCEDB absence(other, folder, otherUi);
        ABSENCEROW sick;
        sick.id = 1;
        sick.fromDate = ymd(2025, 2, 3);
        sick.toDate = ymd(2025, 2, 5);
        sick.days = 3;
        sick.reason = "Sick Leave";
        return absence.updateRec(sick, false) ? 0 : 1;
    });
    ASSERT_EQ(status, 0);
    dialog.setText(absencedlg::kDuration, "1");
    EXPECT_FALSE(leave->closeEditAbsenceDlg(dialog));
    expectOneMessage("Can't update database/absence.dbf: another user has changed event 1 since "
                     "it was shown.");
    // The other user's row is shown, and stays.
    EXPECT_EQ(rows(), std::vector<std::string>{"03/02/2025\t05/02/2025\t3.00\tSick Leave"});
    EXPECT_FALSE(leave->isChanged());
}

TEST_F(LeaveFrmTest, AnotherUsersLockRefusesTheChangeUntilItIsLetGo) {
    openLeaveForm();
    // Another clerk holds MH001's sick leave (row 1 of the absence table).
    testing::LockHolder holder;
    ASSERT_TRUE(holder.hold(folder.resolve(database::ABSENCEDB::kPath), 1));
    selectRow(kSickRow);
    View dialog;
    ASSERT_TRUE(leave->initEditAbsenceDlg(dialog));
    dialog.setText(absencedlg::kDuration, "1.5");
    EXPECT_FALSE(leave->closeEditAbsenceDlg(dialog));
    expectOneMessage("Can't update database/absence.dbf because another user is using it.");
    EXPECT_EQ(rows(), std::vector<std::string>{kSickRow});

    // Other employees' rows are free meanwhile.
    showEmployee("MH002");
    selectRow(kSickRow);
    View other;
    ASSERT_TRUE(leave->initEditAbsenceDlg(other));
    other.setText(absencedlg::kDuration, "1");
    ASSERT_TRUE(leave->closeEditAbsenceDlg(other)) << ui.lastMessage();
    EXPECT_EQ(rows(), std::vector<std::string>{"03/02/2025\t04/02/2025\t1.00\tSick Leave"});

    holder.release();
    showEmployee("MH001");
    selectRow(kSickRow);
    ASSERT_TRUE(leave->initEditAbsenceDlg(dialog));
    dialog.setText(absencedlg::kDuration, "1.5");
    ASSERT_TRUE(leave->closeEditAbsenceDlg(dialog)) << ui.lastMessage();
    EXPECT_EQ(rows(), std::vector<std::string>{"03/02/2025\t04/02/2025\t1.50\tSick Leave"});

    // A whole-table lock on the leave table stops a new event.
    testing::LockHolder table;
    ASSERT_TRUE(table.hold(folder.resolve(database::LEAVEDB::kPath), 0));
    chooseView(ANNUAL_LEAVE_VIEW);
    View event;
    ASSERT_TRUE(leave->initNewLeaveDlg(event));
    fillLeave(event, "01/03/2025", database::kLeaveEarned, "2.33");
    EXPECT_FALSE(leave->closeNewLeaveDlg(event));
    expectOneMessage("Can't update database/leave.dbf because another user is using it.");
    EXPECT_EQ(rows(), std::vector<std::string>{kOpeningRow});
    table.release();
    ASSERT_TRUE(leave->closeNewLeaveDlg(event)) << ui.lastMessage();
    EXPECT_EQ(rows(), (std::vector<std::string>{kOpeningRow, "01/03/2025\tLeave Earned\t2.33"}));
}

} // namespace
} // namespace kelo::staffrecords
