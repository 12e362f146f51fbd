#include "LeaveFrmFixture.h"
#include "common/Money.h"

#include <gtest/gtest.h>
#include <optional>

namespace kelo::staffrecords {
namespace {

namespace lf = leavefrm;
namespace ad = absencedlg;
namespace ld = leavedlg;
using common::Answer;
using testing::blank;
using testing::fillAbsence;
using testing::fillLeave;
using testing::invalid;
using View = testsupport::FakeDialogView;

using LeaveFrmDialogsTest = testing::LeaveFrmFixture;

const std::string kSickRow = "03/02/2025\t04/02/2025\t2.00\tSick Leave";
const std::string kOpeningRow = "01/01/2025\tBalance B/F\t0.00";

// New absence events and bookings: one row per rule, through the dialog.

struct AbsenceCase {
    const char* name;
    bool booking;
    const char* from;
    const char* to;
    const char* days;
    const char* reason;
    std::optional<std::string> message; // nullopt: accepted
    const char* focus = nullptr;        // where a refusal puts the focus
};

AbsenceCase accepted(const char* name, bool booking, const char* from, const char* to,
                     const char* days, const char* reason) {
    return {name, booking, from, to, days, reason, std::nullopt};
}

AbsenceCase refused(const char* name, bool booking, const char* from, const char* to,
                    const char* days, const char* reason, std::string message, const char* focus) {
    return {name, booking, from, to, days, reason, std::move(message), focus};
}

std::vector<AbsenceCase> absenceCases() {
    return {
        refused("BookingAcrossTheYear", true, "28/12/2025", "03/01/2026", "5", "Annual Leave",
                "Start date and end date must be in the same calendar year", ad::kToDate),
        accepted("AbsenceAcrossTheYear", false, "28/12/2025", "03/01/2026", "5", "Annual Leave"),
        accepted("OneDayBooking", true, "14/03/2025", "14/03/2025", "1", "Annual Leave"),
        accepted("HalfDayAbsence", false, "14/03/2025", "14/03/2025", "0.5", "Sick Leave"),
        accepted("BookingNextYear", true, "05/01/2026", "09/01/2026", "5", "Annual Leave"),
        refused("EndBeforeStart", false, "14/03/2025", "13/03/2025", "1", "Sick Leave",
                "Start date cannot be later than end date", ad::kFromDate),
        refused("BookingEndBeforeStart", true, "14/03/2025", "13/03/2025", "1", "Annual Leave",
                "Start date cannot be later than end date", ad::kFromDate),
        refused("NoDuration", false, "10/03/2025", "11/03/2025", "0", "Sick Leave",
                invalid("Duration"), ad::kDuration),
        refused("BlankDuration", false, "10/03/2025", "11/03/2025", "", "Sick Leave",
                invalid("Duration"), ad::kDuration),
        refused("DurationNotANumber", false, "10/03/2025", "11/03/2025", "two", "Sick Leave",
                invalid("Duration"), ad::kDuration),
        refused("NegativeDuration", true, "10/03/2025", "11/03/2025", "-1", "Annual Leave",
                invalid("Duration"), ad::kDuration),
        // Two calendar days hold at most two days of leave.
        refused("LongerThanItsDates", false, "10/03/2025", "11/03/2025", "2.5", "Sick Leave",
                invalid("Duration"), ad::kDuration),
        accepted("AsLongAsItsDates", false, "10/03/2025", "11/03/2025", "2", "Sick Leave"),
        refused("NoStartDate", false, "", "11/03/2025", "1", "Sick Leave", blank("Start Date"),
                ad::kFromDate),
        refused("NoSuchStartDate", false, "31/02/2025", "11/03/2025", "1", "Sick Leave",
                invalid("Start Date"), ad::kFromDate),
        refused("NoEndDate", true, "10/03/2025", "", "1", "Annual Leave", blank("End Date"),
                ad::kToDate),
        refused("NoReason", false, "10/03/2025", "11/03/2025", "1", "", blank("Reason"),
                ad::kReason),
        refused("ReasonNotOffered", false, "10/03/2025", "11/03/2025", "1", "Holiday",
                invalid("Reason"), ad::kReason),
    };
}

struct LeaveFrmAbsenceTest : LeaveFrmDialogsTest, ::testing::WithParamInterface<AbsenceCase> {};

TEST_P(LeaveFrmAbsenceTest, ANewEventOrBookingIsCheckedBeforeItIsStored) {
    const AbsenceCase& c = GetParam();
    openLeaveForm();
    chooseView(c.booking ? LEAVE_BOOKED_VIEW : ABSENCE_VIEW);
    const std::vector<std::string> before = rows();
    View dialog;
    ASSERT_TRUE(c.booking ? leave->initNewBookingDlg(dialog) : leave->initNewAbsenceDlg(dialog));
    EXPECT_EQ(dialog.caption(), c.booking ? "New Leave Booking" : "New Absence Event");
    EXPECT_EQ(
        dialog.itemTexts(ad::kReason),
        (std::vector<std::string>{"Annual Leave", "Sick Leave", "Maternity Leave", "Study Leave",
                                  "Authorised Absence", "Unauthorised Absence"}));
    fillAbsence(dialog, c.from, c.to, c.days, c.reason);
    const bool stored =
        c.booking ? leave->closeNewBookingDlg(dialog) : leave->closeNewAbsenceDlg(dialog);
    if (c.message) {
        EXPECT_FALSE(stored);
        expectOneMessage(*c.message);
        EXPECT_EQ(dialog.focus(), c.focus);
        EXPECT_EQ(rows(), before);
        EXPECT_FALSE(leave->isChanged());
        return;
    }
    EXPECT_TRUE(stored);
    expectNoMessage();
    const std::string days = common::fixedText(std::stod(c.days), 2);
    const std::string added = std::string(c.from) + "\t" + c.to + "\t" + days + "\t" + c.reason;
    std::vector<std::string> after = before;
    after.push_back(added);
    std::sort(after.begin(), after.end(), [](const std::string& a, const std::string& b) {
        // dd/mm/yyyy: by year, month, day.
        const auto key = [](const std::string& s) {
            return s.substr(6, 4) + s.substr(3, 2) + s.substr(0, 2);
        };
        return key(a) < key(b);
    });
    EXPECT_EQ(rows(), after);
    EXPECT_EQ(selectedText(), added);
    EXPECT_TRUE(leave->isChanged());
    // Stored as what it was entered as.
    std::vector<database::ABSENCEROW> stored2;
    ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).readRows("MH001", c.booking, stored2));
    EXPECT_EQ(stored2.size(), after.size());
}

INSTANTIATE_TEST_SUITE_P(EveryRule, LeaveFrmAbsenceTest, ::testing::ValuesIn(absenceCases()),
                         [](const ::testing::TestParamInfo<AbsenceCase>& row) {
                             return std::string(row.param.name);
                         });

// Editing bookings: taking the leave.

struct Booking {
    const char* from;
    const char* to;
    const char* days;
};

void book(testing::LeaveFrmFixture& f, const Booking& b) {
    View dialog;
    ASSERT_TRUE(f.leave->initNewBookingDlg(dialog));
    fillAbsence(dialog, b.from, b.to, b.days, "Annual Leave");
    ASSERT_TRUE(f.leave->closeNewBookingDlg(dialog)) << f.ui.lastMessage();
}

TEST_F(LeaveFrmDialogsTest, ANewBookingCannotBeMarkedTaken) {
    openLeaveForm();
    chooseView(LEAVE_BOOKED_VIEW);
    View dialog;
    ASSERT_TRUE(leave->initNewBookingDlg(dialog));
    EXPECT_FALSE(dialog.isVisible(ad::kLeaveTaken));
    EXPECT_FALSE(dialog.isEnabled(ad::kLeaveTaken));
    EXPECT_EQ(dialog.selectedRow(ad::kReason), 0); // "Annual Leave"
    fillAbsence(dialog, "07/04/2025", "10/04/2025", "4", "Annual Leave");
    leave->resetLeaveTaken(dialog);
    EXPECT_FALSE(dialog.isEnabled(ad::kLeaveTaken));
    ASSERT_TRUE(leave->closeNewBookingDlg(dialog));
    EXPECT_EQ(rows(), std::vector<std::string>{"07/04/2025\t10/04/2025\t4.00\tAnnual Leave"});
}

TEST_F(LeaveFrmDialogsTest, AnEditedBookingTickedAsTakenBecomesAnAbsenceEvent) {
    openLeaveForm();
    chooseView(LEAVE_BOOKED_VIEW);
    book(*this, {"07/04/2025", "10/04/2025", "4"});
    book(*this, {"01/09/2025", "05/09/2025", "5"});
    EXPECT_EQ(account()[7], "9.00"); // booked

    // Unticked it stays a booking.
    selectRow("01/09/2025\t05/09/2025\t5.00\tAnnual Leave");
    View dialog;
    ASSERT_TRUE(leave->initEditBookingDlg(dialog));
    EXPECT_EQ(dialog.caption(), "Edit Leave Booking");
    EXPECT_TRUE(dialog.isVisible(ad::kLeaveTaken));
    EXPECT_TRUE(dialog.isEnabled(ad::kLeaveTaken));
    EXPECT_FALSE(dialog.isChecked(ad::kLeaveTaken));
    EXPECT_EQ(dialog.text(ad::kFromDate), "01/09/2025");
    EXPECT_EQ(dialog.text(ad::kDuration), "5.00");
    dialog.setText(ad::kDuration, "3");
    ASSERT_TRUE(leave->closeEditBookingDlg(dialog)) << ui.lastMessage();
    EXPECT_EQ(rows(), (std::vector<std::string>{"07/04/2025\t10/04/2025\t4.00\tAnnual Leave",
                                                "01/09/2025\t05/09/2025\t3.00\tAnnual Leave"}));

    // Ticked it is taken: gone from the bookings, among the absences.
    selectRow("07/04/2025\t10/04/2025\t4.00\tAnnual Leave");
    dialog = View();
    ASSERT_TRUE(leave->initEditBookingDlg(dialog));
    dialog.setChecked(ad::kLeaveTaken, true);
    ASSERT_TRUE(leave->closeEditBookingDlg(dialog)) << ui.lastMessage();
    EXPECT_EQ(rows(), std::vector<std::string>{"01/09/2025\t05/09/2025\t3.00\tAnnual Leave"});
    EXPECT_EQ(selectedText(), "");
    // Taken 4, booked 3: 0 - 4 = -4 due, -7 once the booking is taken.
    EXPECT_EQ(account(), (std::vector<std::string>{"28.00", "0.00", "0.00", "0.00", "0.00", "4.00",
                                                   "-4.00", "3.00", "-7.00"}));
    chooseView(ABSENCE_VIEW);
    EXPECT_EQ(rows(),
              (std::vector<std::string>{kSickRow, "07/04/2025\t10/04/2025\t4.00\tAnnual Leave"}));
    expectNoMessage();
}

TEST_F(LeaveFrmDialogsTest, ABookingInALaterYearCannotBeMarkedTaken) {
    openLeaveForm();
    chooseView(LEAVE_BOOKED_VIEW);
    book(*this, {"05/01/2026", "09/01/2026", "5"});
    book(*this, {"07/04/2025", "10/04/2025", "4"});

    selectRow("05/01/2026\t09/01/2026\t5.00\tAnnual Leave");
    View dialog;
    ASSERT_TRUE(leave->initEditBookingDlg(dialog));
    EXPECT_FALSE(dialog.isEnabled(ad::kLeaveTaken));
    EXPECT_FALSE(dialog.isChecked(ad::kLeaveTaken));
    // Ticked all the same (the window did not ask), it is refused.
    dialog.setChecked(ad::kLeaveTaken, true);
    EXPECT_FALSE(leave->closeEditBookingDlg(dialog));
    expectOneMessage("Leave booked for a later year cannot be marked as taken.");
    EXPECT_EQ(dialog.focus(), ad::kLeaveTaken);
    EXPECT_EQ(rows().size(), 2u);

    // The box follows the start date as it is typed.
    selectRow("07/04/2025\t10/04/2025\t4.00\tAnnual Leave");
    dialog = View();
    ASSERT_TRUE(leave->initEditBookingDlg(dialog));
    dialog.setChecked(ad::kLeaveTaken, true);
    const std::vector<std::pair<const char*, bool>> steps{
        {"07/04/2025", true},
        {"07/04/202", true},   // half typed: as it was
        {"07/04/2026", false}, // a later year: cleared
        {"31/12/2025", true},
    };
    for (const auto& [from, enabled] : steps) {
        SCOPED_TRACE(from);
        dialog.setText(ad::kFromDate, from);
        leave->resetLeaveTaken(dialog);
        EXPECT_EQ(dialog.isEnabled(ad::kLeaveTaken), enabled);
    }
    EXPECT_FALSE(dialog.isChecked(ad::kLeaveTaken));
}

// Absence events

TEST_F(LeaveFrmDialogsTest, AnAbsenceEventIsEditedInPlace) {
    openLeaveForm();
    View dialog;
    // Nothing selected: nothing to edit.
    EXPECT_FALSE(leave->initEditAbsenceDlg(dialog));
    EXPECT_EQ(ui.beeps, 1);
    selectRow(kSickRow);
    ASSERT_TRUE(leave->initEditAbsenceDlg(dialog));
    EXPECT_EQ(dialog.caption(), "Edit Absence Event");
    EXPECT_FALSE(dialog.isVisible(ad::kLeaveTaken));
    EXPECT_EQ(dialog.text(ad::kToDate), "04/02/2025");
    EXPECT_EQ(dialog.itemText(ad::kReason, dialog.selectedRow(ad::kReason)), "Sick Leave");
    // A refusal keeps the dialog; the rule holds for edits as well.
    dialog.setText(ad::kToDate, "02/02/2025");
    EXPECT_FALSE(leave->closeEditAbsenceDlg(dialog));
    expectOneMessage("Start date cannot be later than end date");
    dialog.setText(ad::kToDate, "05/02/2025");
    dialog.setText(ad::kDuration, "3");
    testing::choose(dialog, ad::kReason, 4); // "Authorised Absence"
    ASSERT_TRUE(leave->closeEditAbsenceDlg(dialog));
    EXPECT_EQ(rows(), std::vector<std::string>{"03/02/2025\t05/02/2025\t3.00\tAuthorised Absence"});
    EXPECT_EQ(selectedText(), "03/02/2025\t05/02/2025\t3.00\tAuthorised Absence");
    expectNoMessage();
}

// Leave events

struct LeaveCase {
    const char* name;
    const char* date;
    std::int32_t kind;
    const char* days;
    std::optional<std::string> row;     // accepted: the row shown
    std::optional<std::string> message; // refused
    const char* focus = nullptr;
};

std::vector<LeaveCase> leaveCases() {
    const std::string notThisYear = "The date must fall in the current calendar year, 2025.";
    return {
        {"Earned", "01/03/2025", database::kLeaveEarned, "2.33", "01/03/2025\tLeave Earned\t2.33",
         std::nullopt},
        {"Sold", "05/03/2025", database::kLeaveSold, "2", "05/03/2025\tLeave Sold\t2.00",
         std::nullopt},
        {"ForfeitedOnTheLastDay", "31/12/2025", database::kLeaveForfeited, "0.5",
         "31/12/2025\tLeave Forfeited\t0.50", std::nullopt},
        {"LastYear", "31/12/2024", database::kLeaveEarned, "1", std::nullopt, notThisYear,
         ld::kDate},
        {"NextYear", "01/01/2026", database::kLeaveEarned, "1", std::nullopt, notThisYear,
         ld::kDate},
        {"NoDate", "", database::kLeaveEarned, "1", std::nullopt, blank("Date"), ld::kDate},
        {"NoSuchDate", "29/02/2025", database::kLeaveEarned, "1", std::nullopt, invalid("Date"),
         ld::kDate},
        {"NoEvent", "01/03/2025", -1, "1", std::nullopt, invalid("Event"), ld::kEvent},
        {"NoDays", "01/03/2025", database::kLeaveSold, "0", std::nullopt, invalid("Days"),
         ld::kDays},
        {"NegativeDays", "01/03/2025", database::kLeaveSold, "-1", std::nullopt, invalid("Days"),
         ld::kDays},
        {"MoreThanAYear", "01/03/2025", database::kLeaveEarned, "367", std::nullopt,
         invalid("Days"), ld::kDays},
    };
}

struct LeaveFrmEventTest : LeaveFrmDialogsTest, ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveFrmEventTest, ANewLeaveEventIsCheckedBeforeItIsStored) {
    const LeaveCase& c = GetParam();
    openLeaveForm();
    chooseView(ANNUAL_LEAVE_VIEW);
    View dialog;
    ASSERT_TRUE(leave->initNewLeaveDlg(dialog));
    EXPECT_EQ(dialog.caption(), "New Leave Event");
    EXPECT_EQ(dialog.itemTexts(ld::kEvent),
              (std::vector<std::string>{"Leave Earned", "Leave Sold", "Leave Forfeited"}));
    fillLeave(dialog, c.date, c.kind, c.days);
    const bool stored = leave->closeNewLeaveDlg(dialog);
    if (c.message) {
        EXPECT_FALSE(stored);
        expectOneMessage(*c.message);
        EXPECT_EQ(dialog.focus(), c.focus);
        EXPECT_EQ(rows(), std::vector<std::string>{kOpeningRow});
        return;
    }
    EXPECT_TRUE(stored);
    expectNoMessage();
    EXPECT_EQ(rows(), (std::vector<std::string>{kOpeningRow, *c.row}));
    EXPECT_EQ(selectedText(), *c.row);
}

INSTANTIATE_TEST_SUITE_P(EveryRule, LeaveFrmEventTest, ::testing::ValuesIn(leaveCases()),
                         [](const ::testing::TestParamInfo<LeaveCase>& row) {
                             return std::string(row.param.name);
                         });

TEST_F(LeaveFrmDialogsTest, TheBalanceBroughtForwardKeepsItsKindAndDateAndCannotBeDeleted) {
    openLeaveForm();
    chooseView(ANNUAL_LEAVE_VIEW);
    selectRow(kOpeningRow);
    View dialog;
    ASSERT_TRUE(leave->initEditLeaveDlg(dialog));
    EXPECT_EQ(dialog.caption(), "Edit Leave Event");
    EXPECT_EQ(dialog.itemTexts(ld::kEvent), std::vector<std::string>{"Balance B/F"});
    EXPECT_FALSE(dialog.isEnabled(ld::kEvent));
    EXPECT_FALSE(dialog.isEnabled(ld::kDate));
    EXPECT_EQ(dialog.text(ld::kDays), "0.00");
    // A debt brought forward, and none, are balances all the same.
    for (const auto& [days, row] : std::vector<std::pair<const char*, const char*>>{
             {"-2.5", "01/01/2025\tBalance B/F\t-2.50"},
             {"0", "01/01/2025\tBalance B/F\t0.00"},
             {"12.75", "01/01/2025\tBalance B/F\t12.75"}}) {
        SCOPED_TRACE(days);
        selectRow(rows().front());
        dialog = View();
        ASSERT_TRUE(leave->initEditLeaveDlg(dialog));
        dialog.setText(ld::kDate, "01/06/2025"); // disabled: not read
        dialog.setText(ld::kDays, days);
        ASSERT_TRUE(leave->closeEditLeaveDlg(dialog)) << ui.lastMessage();
        EXPECT_EQ(rows(), std::vector<std::string>{row});
    }
    EXPECT_EQ(window.text(lf::kBalanceBF), "12.75");

    ui.clear();
    selectRow(rows().front());
    EXPECT_FALSE(leave->deleteRow());
    expectOneMessage("This event cannot be deleted.");
    EXPECT_EQ(rows().size(), 1u);

    // Another event offers the other three kinds only.
    dialog = View();
    ASSERT_TRUE(leave->initNewLeaveDlg(dialog));
    fillLeave(dialog, "01/02/2025", database::kLeaveEarned, "2.33");
    ASSERT_TRUE(leave->closeNewLeaveDlg(dialog));
    dialog = View();
    ASSERT_TRUE(leave->initEditLeaveDlg(dialog));
    EXPECT_EQ(dialog.itemTexts(ld::kEvent),
              (std::vector<std::string>{"Leave Earned", "Leave Sold", "Leave Forfeited"}));
    EXPECT_TRUE(dialog.isEnabled(ld::kDate));
    fillLeave(dialog, "01/02/2025", database::kLeaveSold, "2");
    ASSERT_TRUE(leave->closeEditLeaveDlg(dialog));
    EXPECT_EQ(selectedText(), "01/02/2025\tLeave Sold\t2.00");
}

// Deleting

TEST_F(LeaveFrmDialogsTest, DeletingAsksFirstAndDefaultsToNo) {
    openLeaveForm();
    chooseView(ANNUAL_LEAVE_VIEW);
    View dialog;
    for (const char* date : {"01/02/2025", "01/03/2025"}) {
        dialog = View();
        ASSERT_TRUE(leave->initNewLeaveDlg(dialog));
        fillLeave(dialog, date, database::kLeaveEarned, "2.33");
        ASSERT_TRUE(leave->closeNewLeaveDlg(dialog));
    }
    ASSERT_TRUE(leave->saveCurrentRec());
    // Nothing selected: nothing to delete.
    window.selectRow(lf::kList, -1);
    EXPECT_FALSE(leave->deleteRow());
    expectNoMessage();

    selectRow("01/02/2025\tLeave Earned\t2.33");
    ui.answers = {Answer::No};
    EXPECT_FALSE(leave->deleteRow());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Are you sure you want to delete this event?");
    EXPECT_EQ(ui.messages[0].defaultAnswer, Answer::No);
    ui.clear();
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_FALSE(leave->isChanged());

    ui.answers = {Answer::Yes};
    ASSERT_TRUE(leave->deleteRow());
    EXPECT_EQ(rows(), (std::vector<std::string>{kOpeningRow, "01/03/2025\tLeave Earned\t2.33"}));
    // The next row takes the deleted one's place.
    EXPECT_EQ(selectedText(), "01/03/2025\tLeave Earned\t2.33");
    EXPECT_EQ(window.text(lf::kEarned), "2.33");
    EXPECT_TRUE(leave->isChanged());

    // Absence events go the same way.
    chooseView(ABSENCE_VIEW);
    selectRow(kSickRow);
    ui.clear();
    ui.answers = {Answer::Yes};
    ASSERT_TRUE(leave->deleteRow());
    EXPECT_TRUE(rows().empty());
    std::vector<database::ABSENCEROW> left;
    ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).readRows("MH001", false, left));
    EXPECT_TRUE(left.empty());
}

} // namespace
} // namespace kelo::staffrecords
