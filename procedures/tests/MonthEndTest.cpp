#include "procedures/MonthEnd.h"

#include "RecordingStores.h"
#include "procedures/PasswordCaution.h"
#include "testsupport/RecordingUi.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kelo::procedures::testing {
namespace {

using common::Answer;
using common::MessageIcon;

class MonthEndTest : public ::testing::Test {
protected:
    // The backup question is answered No unless a test scripts otherwise.
    int run(Answer backupAnswer = Answer::No) {
        ui.answers.push_back(backupAnswer);
        MONTHEND monthEnd(ui, stores, stores, caution, "/opt/kelo/source");
        return monthEnd.monthEnd();
    }
    bool called(const std::string& call) const {
        return std::find(stores.calls.begin(), stores.calls.end(), call) != stores.calls.end();
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : ui.messages)
            texts.push_back(message.text);
        return texts;
    }
    // Only questions and checks ran: no store was changed.
    bool nothingChanged() const {
        for (const std::string& call : stores.calls) {
            if (call.rfind("getNotProcdCnt", 0) != 0 && call != "cntExpiredBookings" &&
                call != "initMonEndDlg" && call.rfind("checkPasswd", 0) != 0 &&
                call != "busyTable" && call != "backup")
                return false;
        }
        return true;
    }

    testsupport::RecordingUi ui;
    RecordingStores stores;
    ScriptedCaution caution;
};

std::vector<std::string> periodClose(int freq) {
    const std::string f = std::to_string(freq);
    return {"getNotProcdCnt " + f,  "checkPeriodFiles " + f,  "writePeriodFile " + f,
            "saveLeaveDays " + f,   "updatePayLog " + f,      "checkMonthFiles",
            "updateMonthFile " + f, "checkAnnualFiles",       "updateAnnualFile " + f,
            "checkYtdFiles",        "updateYtdFile " + f,     "checkTaxFiles",
            "updateTaxFiles " + f,  "updatePersonnel 1 " + f, "updateTransactions 1 " + f,
            "incrPeriodEndDay " + f};
}

TEST_F(MonthEndTest, RunsEveryStepInOrder) {
    std::vector<std::string> expected{"initMonEndDlg",
                                      "checkPasswd secret",
                                      "busyTable",
                                      "begin",
                                      "delActiveFile",
                                      "delPeriodTmpFiles",
                                      "delMonthInterimFile",
                                      "delAnnualInterimFile",
                                      "delTaxInterimFiles",
                                      "delYtdInterimFile",
                                      "delLeaveRepInterimFile",
                                      "checkLeaveRepFiles",
                                      "updateLeaveRepFile",
                                      "updatePersonnel 2 -1"};
    for (int freq : {3, 2, 1, 0}) {
        const auto close = periodClose(freq);
        expected.insert(expected.end(), close.begin(), close.end());
    }
    expected.insert(expected.end(),
                    {"checkLeaversFiles", "writeLeaversFile", "updatePersonnel 4 -1",
                     "purgeAbsenceOrphans", "purgeLeaveOrphans", "incrMonth",
                     "updateTransactions 2 0", "updateTransactions 2 1", "updateTransactions 2 2",
                     "updateTransactions 2 3", "updateLeave 2", "end"});

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(stores.calls, expected);
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{"Do you wish to back up your data?",
                                        "Month end procedure completed successfully."}));
    EXPECT_EQ(ui.messages[0].buttons, common::MessageButtons::YesNoCancel);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Information);
    EXPECT_EQ(stores.org.month, "April");
    EXPECT_EQ(ui.waitDepth, 0);
}

TEST_F(MonthEndTest, CautionShowsTheOrganisationsTextAndChecksThePassword) {
    run();
    EXPECT_EQ(caution.shown, 1);
    EXPECT_EQ(caution.caption, "Month End Procedure");
    EXPECT_EQ(caution.text, "close March");
}

struct TooEarlyCase {
    const char* name;
    const char* month;
    int year;
    int weekEndDay;
    int fortnightEndDay;
    long weekly;
    long biweekly;
    const char* refusal; // nullptr: the month may close
};

class TooEarlyTest : public MonthEndTest, public ::testing::WithParamInterface<TooEarlyCase> {};

TEST_P(TooEarlyTest, RefusesWhileAnotherPeriodEndsInTheMonth) {
    const TooEarlyCase& c = GetParam();
    stores.org.month = c.month;
    stores.org.year = c.year;
    stores.org.weekEndDay = c.weekEndDay;
    stores.org.fortnightEndDay = c.fortnightEndDay;
    stores.counts = {{common::WEEKLY, c.weekly}, {common::BIWEEKLY, c.biweekly}};
    const int result = run();
    if (c.refusal) {
        EXPECT_EQ(result, -1);
        EXPECT_EQ(messageTexts(),
                  (std::vector<std::string>{c.refusal, "Month end procedure cancelled."}));
        EXPECT_EQ(caution.shown, 0);
        EXPECT_TRUE(nothingChanged());
    } else {
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(called("incrMonth"));
    }
}

constexpr const char* kWeekly = "Too early to close month for weekly employees.";
constexpr const char* kBiweekly = "Too early to close month for biweekly employees.";

INSTANTIATE_TEST_SUITE_P(
    Months, TooEarlyTest,
    ::testing::Values(
        // 23 + 7 = 30 <= 30 days of April; 24 + 7 = 31 > 30.
        TooEarlyCase{"Weekly23In30Days", "April", 2025, 23, 30, 5, 5, kWeekly},
        TooEarlyCase{"Weekly24In30Days", "April", 2025, 24, 30, 5, 5, nullptr},
        // 17 + 14 = 31 <= 31 days of March; 18 + 14 = 32 > 31.
        TooEarlyCase{"Biweekly17In31Days", "March", 2025, 31, 17, 5, 5, kBiweekly},
        TooEarlyCase{"Biweekly18In31Days", "March", 2025, 31, 18, 5, 5, nullptr},
        // No weekly employees: any end day passes.
        TooEarlyCase{"NoWeeklyEmployees", "April", 2025, 2, 30, 0, 5, nullptr},
        TooEarlyCase{"NoBiweeklyEmployees", "March", 2025, 31, 3, 5, 0, nullptr},
        // February: 22 + 7 = 29 fits 29 days of 2024, not 28 of 2023.
        TooEarlyCase{"FebruaryLeapYear", "February", 2024, 22, 29, 5, 5, kWeekly},
        TooEarlyCase{"FebruaryOtherYear", "February", 2023, 22, 29, 5, 5, nullptr},
        TooEarlyCase{"FebruaryCenturyNotLeap", "February", 2100, 22, 29, 5, 5, nullptr},
        TooEarlyCase{"FebruaryFourHundredLeap", "February", 2000, 22, 29, 5, 5, kWeekly},
        // Biweekly in February: 15 + 14 = 29.
        TooEarlyCase{"FebruaryBiweeklyLeap", "February", 2024, 29, 15, 5, 5, kBiweekly},
        TooEarlyCase{"FebruaryBiweeklyOther", "February", 2023, 28, 15, 5, 5, nullptr}),
    [](const ::testing::TestParamInfo<TooEarlyCase>& param) { return param.param.name; });

TEST_F(MonthEndTest, FailedCountCancelsWithOnlyTheCancelledMessage) {
    stores.org.month = "April";
    stores.org.weekEndDay = 23;
    stores.failing = {"getNotProcdCnt 1"};
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Month end procedure cancelled."});
    EXPECT_TRUE(nothingChanged());
}

TEST_F(MonthEndTest, DecemberWithOneExpiredBookingChangesNothing) {
    stores.org.month = "December";
    stores.expiredBookings = 1;
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{
                                  "Cannot close the year because the absence and leave file has 1 "
                                  "expired leave booking(s).",
                                  "Month end procedure cancelled."}));
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(stores.calls, std::vector<std::string>{"cntExpiredBookings"});
    EXPECT_EQ(stores.org.month, "December");
}

TEST_F(MonthEndTest, ExpiredBookingsAreCountedOnlyInDecember) {
    stores.org.month = "November";
    stores.expiredBookings = 3;
    EXPECT_EQ(run(), 0);
    EXPECT_FALSE(called("cntExpiredBookings"));
}

TEST_F(MonthEndTest, DecemberPassesTheYearEndToEveryFrequencyAndTheLeaveFile) {
    stores.org.month = "December";
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(stores.callsOf("updateTransactions 3"),
              (std::vector<std::string>{"updateTransactions 3 0", "updateTransactions 3 1",
                                        "updateTransactions 3 2", "updateTransactions 3 3"}));
    EXPECT_TRUE(stores.callsOf("updateTransactions 2").empty());
    EXPECT_EQ(stores.callsOf("updateLeave "),
              (std::vector<std::string>{"updateLeave 3", "updateLeave 2"}));
    EXPECT_EQ(stores.calls[stores.calls.size() - 2], "purgeAbsence");
    EXPECT_EQ(stores.org.month, "January");
    EXPECT_EQ(stores.org.year, 2026);
}

TEST_F(MonthEndTest, OtherMonthsPassTheMonthEnd) {
    stores.org.month = "November";
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(stores.callsOf("updateTransactions 3").size(), 0u);
    EXPECT_EQ(stores.callsOf("updateLeave "), std::vector<std::string>{"updateLeave 2"});
    EXPECT_FALSE(called("purgeAbsence"));
}

TEST_F(MonthEndTest, JuneMakesTheNextFiscalYearsFilesWhenMissing) {
    stores.org.month = "June";
    stores.org.fiscalYear = 2004;
    stores.statutoryYears = {2004};
    EXPECT_EQ(run(), 0);
    const std::vector<std::string> expected{"incrMonth",
                                            "statutoryTableOpens 2005",
                                            "statutoryTableOpens 2004",
                                            "makeStatutoryFolder 2005",
                                            "newPayeFile ../system/2004 2005",
                                            "newNssfFile ../system/2004 2005",
                                            "newPayeParamFile ../system/2004 2005",
                                            "newSdlFile ../system/2004 2005",
                                            "newWcfFile ../system/2004 2005",
                                            "updateTransactions 2 0"};
    const auto at = std::find(stores.calls.begin(), stores.calls.end(), "incrMonth");
    ASSERT_NE(at, stores.calls.end());
    EXPECT_EQ(std::vector<std::string>(at, at + 10), expected);
    EXPECT_EQ(messageTexts()[1], "New PAYE, NSSF and SDL files for the year 2005/2006 have just "
                                 "been created. Please review them and update if necessary.");
    EXPECT_EQ(messageTexts()[2], "Month end procedure completed successfully.");
}

TEST_F(MonthEndTest, JuneLeavesExistingFilesAlone) {
    stores.org.month = "June";
    stores.org.fiscalYear = 2004;
    stores.statutoryYears = {2004, 2005};
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(called("statutoryTableOpens 2005"));
    EXPECT_FALSE(called("makeStatutoryFolder 2005"));
    EXPECT_TRUE(stores.callsOf("new").empty());
    EXPECT_EQ(messageTexts().size(), 2u);
}

TEST_F(MonthEndTest, AYearWithoutPredecessorIsMadeFromTheShippedTables) {
    stores.org.month = "June";
    stores.org.fiscalYear = 2004;
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(called("newPayeFile /opt/kelo/source 2005"));
    EXPECT_TRUE(called("newSdlFile /opt/kelo/source 2005"));
    EXPECT_TRUE(called("newWcfFile /opt/kelo/source 2005"));
}

TEST_F(MonthEndTest, OnlyTheMonthIntoJulyMakesStatutoryFiles) {
    stores.org.month = "May";
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(stores.callsOf("statutoryTableOpens").empty());
}

TEST_F(MonthEndTest, AFrequencyWithNoRecordsSkipsItsReportsButStillRolls) {
    stores.counts = {{common::IRREGULAR, 0}};
    EXPECT_EQ(run(), 0);
    const auto at = std::find(stores.calls.begin(), stores.calls.end(), "getNotProcdCnt 3");
    ASSERT_NE(at, stores.calls.end());
    EXPECT_EQ(std::vector<std::string>(at, at + 5),
              (std::vector<std::string>{"getNotProcdCnt 3", "updatePersonnel 1 3",
                                        "updateTransactions 1 3", "incrPeriodEndDay 3",
                                        "getNotProcdCnt 2"}));
    EXPECT_TRUE(called("updateTransactions 2 3"));
}

TEST_F(MonthEndTest, AFailedCountStillReportsThePeriod) {
    stores.failing = {"getNotProcdCnt 0"};
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(called("writePeriodFile 0"));
}

struct ErrorCase {
    const char* name;
    std::set<std::string> failing;
    int errors;
};

class ErrorCountTest : public MonthEndTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorCountTest, CountsAndTellsTheErrors) {
    stores.failing = GetParam().failing;
    const int errors = GetParam().errors;
    EXPECT_EQ(run(), errors);
    EXPECT_TRUE(called("incrMonth"));
    EXPECT_EQ(stores.calls.back(), "end");
    if (errors == 0) {
        EXPECT_EQ(ui.lastMessage(), "Month end procedure completed successfully.");
        return;
    }
    EXPECT_EQ(ui.lastMessage(),
              "Month end procedure completed with " + std::to_string(errors) + " errors.");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Warning);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ErrorCountTest,
    ::testing::Values(
        // Each counts once; the chain of the period file stops at its first failure.
        ErrorCase{"PersonnelMonthEnd", {"updatePersonnel 2 -1"}, 1},
        ErrorCase{"PeriodFileOfEveryFrequency", {"checkPeriodFiles"}, 4},
        ErrorCase{"PayLogOnce", {"updatePayLog 1"}, 1},
        ErrorCase{"StoreChecksCount", {"checkMonthFiles", "checkYtdFiles"}, 8},
        ErrorCase{"StoreUpdatesDoNotCount",
                  {"updateMonthFile", "updateAnnualFile", "updateYtdFile", "updateTaxFiles"},
                  0},
        ErrorCase{"PeriodRolls", {"updatePersonnel 1 2", "updateTransactions 1 0"}, 2},
        ErrorCase{"LeaversFileOnceForBoth", {"checkLeaversFiles"}, 1},
        ErrorCase{"LeaversWrite", {"writeLeaversFile"}, 1},
        ErrorCase{"AfterMonthEnd", {"updatePersonnel 4 -1"}, 1},
        ErrorCase{"TransactionsMonthEnd", {"updateTransactions 2"}, 4},
        ErrorCase{
            "UncountedSteps",
            {"purgeAbsenceOrphans", "purgeLeaveOrphans", "updateLeave", "purgeAbsence", "purgeLog"},
            0}),
    [](const ::testing::TestParamInfo<ErrorCase>& param) { return param.param.name; });

TEST_F(MonthEndTest, PurgesReportsWhenAsked) {
    stores.org.purgeReports = 1;
    EXPECT_EQ(run(), 0);
    const auto end = stores.calls.end();
    EXPECT_EQ(std::vector<std::string>(end - 3, end),
              (std::vector<std::string>{"purgeLog", "delRepFiles", "end"}));
}

TEST_F(MonthEndTest, CancelledCautionStopsWithoutAMessage) {
    caution.accept = false;
    ui.answers.clear();
    MONTHEND monthEnd(ui, stores, stores, caution, "source");
    EXPECT_EQ(monthEnd.monthEnd(), -1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(stores.calls, std::vector<std::string>{"initMonEndDlg"});
}

TEST_F(MonthEndTest, CancelledBackupQuestionCancels) {
    EXPECT_EQ(run(Answer::Cancel), -1);
    EXPECT_EQ(ui.lastMessage(), "Month end procedure cancelled.");
    EXPECT_TRUE(nothingChanged());
    EXPECT_FALSE(called("backup"));
}

TEST_F(MonthEndTest, FailedBackupCancels) {
    stores.failing = {"backup"};
    EXPECT_EQ(run(Answer::Yes), -1);
    EXPECT_EQ(ui.lastMessage(), "Month end procedure cancelled.");
    EXPECT_TRUE(nothingChanged());
}

TEST_F(MonthEndTest, BackupBeforeTheWork) {
    EXPECT_EQ(run(Answer::Yes), 0);
    EXPECT_EQ(stores.calls[2], "backup");
    EXPECT_EQ(stores.calls[3], "busyTable");
}

TEST_F(MonthEndTest, ATableInUseStopsBeforeAnythingChanges) {
    stores.busy = "database/wkpay.dbf";
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(messageTexts()[1],
              "The month end cannot start because database/wkpay.dbf is in use by another user. "
              "Nothing has been changed. Please try again when it is free.");
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Warning);
    EXPECT_EQ(ui.lastMessage(), "Month end procedure cancelled.");
    EXPECT_TRUE(nothingChanged());
}

TEST_F(MonthEndTest, NoRecoveryPointNoMonthEnd) {
    stores.beginFails = true;
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Error);
    EXPECT_EQ(ui.lastMessage(), "Month end procedure cancelled.");
    EXPECT_EQ(stores.calls.back(), "begin");
}

TEST_F(MonthEndTest, LeaveReportFailureIsUnsuccessful) {
    for (const char* failing : {"checkLeaveRepFiles", "updateLeaveRepFile"}) {
        stores.calls.clear();
        ui.clear();
        stores.failing = {failing};
        EXPECT_EQ(run(), -1);
        EXPECT_EQ(ui.lastMessage(), "Month end procedure unsuccessful.");
        EXPECT_EQ(stores.calls.back(), "end");
        EXPECT_FALSE(called("updatePersonnel 2 -1"));
    }
}

TEST_F(MonthEndTest, WrongPasswordIsRefusedByTheUsersCheck) {
    stores.failing = {"checkPasswd"};
    caution.password = "guess";
    EXPECT_EQ(run(), -1);
    EXPECT_TRUE(called("checkPasswd guess"));
    EXPECT_FALSE(called("busyTable"));
}

TEST_F(MonthEndTest, WithoutAWindowThePasswordGivenIsTyped) {
    PasswordCaution typed("secret");
    ui.answers.push_back(Answer::No);
    MONTHEND monthEnd(ui, stores, stores, typed, "source");
    EXPECT_EQ(monthEnd.monthEnd(), 0);
    EXPECT_EQ(stores.calls[0], "initMonEndDlg");
    EXPECT_EQ(stores.calls[1], "checkPasswd secret");
}

TEST_F(MonthEndTest, WithoutAWindowARefusedPasswordStopsQuietly) {
    PasswordCaution typed("guess");
    stores.failing = {"checkPasswd"};
    MONTHEND monthEnd(ui, stores, stores, typed, "source");
    EXPECT_EQ(monthEnd.monthEnd(), -1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(stores.calls.back(), "checkPasswd guess");
}

TEST_F(MonthEndTest, WaitCursorIsOffForEveryMessage) {
    // The recording Ui shows the depth at each message through a wrapper.
    stores.org.month = "June";
    stores.org.fiscalYear = 2004;
    int depthAtMessages = 0;
    class DepthUi : public testsupport::RecordingUi {
    public:
        explicit DepthUi(int& worst) : worst_(worst) {}
        common::Answer message(const std::string& text, MessageIcon icon,
                               common::MessageButtons buttons, const std::string& caption,
                               std::optional<Answer> answer) override {
            worst_ = std::max(worst_, waitDepth);
            return RecordingUi::message(text, icon, buttons, caption, answer);
        }

    private:
        int& worst_;
    } depthUi(depthAtMessages);
    depthUi.answers.push_back(Answer::No);
    MONTHEND monthEnd(depthUi, stores, stores, caution, "source");
    EXPECT_EQ(monthEnd.monthEnd(), 0);
    EXPECT_EQ(depthAtMessages, 0);
    EXPECT_GT(depthUi.waitCount, 0);
}

TEST_F(MonthEndTest, ClosePeriodAloneCountsItsOwnErrors) {
    stores.failing = {"checkPeriodFiles", "checkTaxFiles", "updateTransactions 1 1"};
    MONTHEND monthEnd(ui, stores, stores, caution, "source");
    EXPECT_EQ(monthEnd.closePeriod(common::WEEKLY), 3);
    EXPECT_EQ(stores.calls.back(), "incrPeriodEndDay 1");
}

TEST_F(MonthEndTest, NewStatutoryFilesReturnsWhetherMade) {
    MONTHEND monthEnd(ui, stores, stores, caution, "source");
    stores.statutoryYears = {2024};
    EXPECT_EQ(monthEnd.newStatutoryFiles(), 0);
    stores.statutoryYears.clear();
    EXPECT_EQ(monthEnd.newStatutoryFiles(), 1);
    EXPECT_EQ(ui.lastMessage(), "New PAYE, NSSF and SDL files for the year 2024/2025 have just "
                                "been created. Please review them and update if necessary.");
}

} // namespace
} // namespace kelo::procedures::testing
