#include "procedures/PeriodEnd.h"

#include "RecordingStores.h"
#include "testsupport/RecordingUi.h"

#include <gtest/gtest.h>

namespace kelo::procedures::testing {
namespace {

using common::MessageIcon;

class PeriodEndTest : public ::testing::Test {
protected:
    int run() {
        PERIODEND periodEnd(ui, stores, stores, caution);
        return periodEnd.periodEnd();
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : ui.messages)
            texts.push_back(message.text);
        return texts;
    }

    testsupport::RecordingUi ui;
    RecordingStores stores;
    ScriptedCaution caution;
};

// The period close of one payroll, as the month end makes it, but moved on
// within the month.
std::vector<std::string> periodClose(int freq) {
    const std::string f = std::to_string(freq);
    return {"getNotProcdCnt " + f,       "checkPeriodFiles " + f,
            "writePeriodFile " + f,      "saveLeaveDays " + f,
            "updatePayLog " + f,         "checkMonthFiles",
            "updateMonthFile " + f,      "checkAnnualFiles",
            "updateAnnualFile " + f,     "checkYtdFiles",
            "updateYtdFile " + f,        "checkTaxFiles",
            "updateTaxFiles " + f,       "updatePersonnel 1 " + f,
            "updateTransactions 1 " + f, "incrPeriodEndDay " + f + " 0"};
}

class ClosesUsersPayroll : public PeriodEndTest,
                           public ::testing::WithParamInterface<common::PAYFREQ> {};

TEST_P(ClosesUsersPayroll, RunsThePeriodCloseAloneAndKeepsTheMonth) {
    stores.org.payFreq = GetParam();
    stores.org.weekEndDay = 7;
    stores.org.fortnightEndDay = 14;
    std::vector<std::string> expected{"initPeriodEndDlg", "checkPasswd secret", "busyTable",
                                      "begin"};
    const auto close = periodClose(GetParam());
    expected.insert(expected.end(), close.begin(), close.end());
    expected.push_back("end");

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(stores.calls, expected);
    EXPECT_EQ(caution.caption, "Period End Procedure");
    EXPECT_EQ(stores.org.month, "March");
    EXPECT_EQ(stores.org.year, 2025);
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"Period end procedure completed successfully."});
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Information);
    EXPECT_EQ(ui.waitDepth, 0);
}

INSTANTIATE_TEST_SUITE_P(Payrolls, ClosesUsersPayroll,
                         ::testing::Values(common::WEEKLY, common::BIWEEKLY, common::IRREGULAR));

TEST_F(PeriodEndTest, PayrollWithNothingToReportIsStillMovedOn) {
    stores.org.payFreq = common::WEEKLY;
    stores.org.weekEndDay = 7;
    stores.counts[common::WEEKLY] = 0;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(stores.calls,
              (std::vector<std::string>{"initPeriodEndDlg", "checkPasswd secret", "busyTable",
                                        "begin", "getNotProcdCnt 1", "updatePersonnel 1 1",
                                        "updateTransactions 1 1", "incrPeriodEndDay 1 0", "end"}));
}

// Whether the period may be closed by a period end: the monthly payroll
// and the last weekly or biweekly period of the month belong to the month
// end. March 2025 has 31 days, February 2024 29.
struct RefusalCase {
    const char* name;
    common::PAYFREQ payFreq;
    const char* month;
    std::int32_t year;
    std::int32_t weekEndDay;
    std::int32_t fortnightEndDay;
    const char* refusal; // nullptr when the period end runs
};

class Refusal : public PeriodEndTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusal, TellsWhyAndChangesNothing) {
    const RefusalCase& c = GetParam();
    stores.org.payFreq = c.payFreq;
    stores.org.month = c.month;
    stores.org.year = c.year;
    stores.org.weekEndDay = c.weekEndDay;
    stores.org.fortnightEndDay = c.fortnightEndDay;
    const int result = run();
    if (!c.refusal) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ui.lastMessage(), "Period end procedure completed successfully.");
        return;
    }
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(stores.calls.empty());
    EXPECT_EQ(caution.shown, 0);
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{c.refusal, "Period end procedure cancelled."}));
    EXPECT_EQ(ui.messages.front().icon, MessageIcon::Information);
}

INSTANTIATE_TEST_SUITE_P(
    Periods, Refusal,
    ::testing::Values(
        RefusalCase{"Monthly", common::MONTHLY, "March", 2025, 7, 14,
                    "The period end is for weekly, biweekly and irregular payrolls; the monthly "
                    "payroll is closed by the month end."},
        RefusalCase{"WeeklyOneMoreWeekInMarch", common::WEEKLY, "March", 2025, 24, 14, nullptr},
        RefusalCase{"WeeklyLastWeekOfMarch", common::WEEKLY, "March", 2025, 25, 14,
                    "The week ending 25 March 2025 is the last weekly period of the month; it is "
                    "closed by the month end."},
        RefusalCase{"WeeklyOneMoreWeekInLeapFebruary", common::WEEKLY, "February", 2024, 22, 14,
                    nullptr},
        RefusalCase{"WeeklyLastWeekOfFebruary", common::WEEKLY, "February", 2025, 22, 14,
                    "The week ending 22 February 2025 is the last weekly period of the month; it "
                    "is closed by the month end."},
        RefusalCase{"BiweeklyOneMoreFortnightInMarch", common::BIWEEKLY, "March", 2025, 28, 17,
                    nullptr},
        RefusalCase{"BiweeklyLastFortnightOfMarch", common::BIWEEKLY, "March", 2025, 7, 18,
                    "The fortnight ending 18 March 2025 is the last biweekly period of the "
                    "month; it is closed by the month end."},
        RefusalCase{"IrregularAnyDay", common::IRREGULAR, "March", 2025, 28, 28, nullptr}),
    [](const ::testing::TestParamInfo<RefusalCase>& param) { return param.param.name; });

TEST_F(PeriodEndTest, CancelledCautionStopsWithoutAMessage) {
    stores.org.payFreq = common::WEEKLY;
    stores.org.weekEndDay = 7;
    caution.accept = false;
    EXPECT_EQ(run(), -1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(stores.calls, std::vector<std::string>{"initPeriodEndDlg"});
    EXPECT_EQ(stores.org.weekEndDay, 7);
}

TEST_F(PeriodEndTest, TableInUseStopsBeforeAnythingChanges) {
    stores.org.payFreq = common::BIWEEKLY;
    stores.org.fortnightEndDay = 14;
    stores.busy = "database/wkpay.dbf";
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(stores.calls,
              (std::vector<std::string>{"initPeriodEndDlg", "checkPasswd secret", "busyTable"}));
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{
                  "The period end cannot start because database/wkpay.dbf is in use by another "
                  "user. Nothing has been changed. Please try again when it is free.",
                  "Period end procedure cancelled."}));
    EXPECT_EQ(ui.messages.front().icon, MessageIcon::Warning);
}

TEST_F(PeriodEndTest, NoRecoveryPointStopsBeforeAnythingChanges) {
    stores.org.payFreq = common::IRREGULAR;
    stores.beginFails = true;
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(stores.calls.back(), "begin");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[1].text, "Period end procedure cancelled.");
}

TEST_F(PeriodEndTest, FailedStepsAreCountedAndThePeriodStillMovesOn) {
    stores.org.payFreq = common::WEEKLY;
    stores.org.weekEndDay = 7;
    stores.failing = {"writePeriodFile", "checkTaxFiles", "updateTransactions"};
    EXPECT_EQ(run(), 3);
    EXPECT_EQ(ui.lastMessage(), "Period end procedure completed with 3 errors.");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Warning);
    const auto end = stores.calls.end();
    EXPECT_EQ(std::vector<std::string>(end - 2, end),
              (std::vector<std::string>{"incrPeriodEndDay 1 0", "end"}));
}

} // namespace
} // namespace kelo::procedures::testing
