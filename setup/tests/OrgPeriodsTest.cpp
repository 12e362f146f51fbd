// Pay periods, months, the Caution texts and the purge of report folders.
#include "OrgsFixture.h"

#include <fstream>

namespace kelo::setup::testing {
namespace {

using OrgPeriodsTest = OrgsFixture;

TEST_F(OrgPeriodsTest, EndDaysAdvanceByPeriodAndToTheNextMonthsFirstPeriodEnd) {
    ASSERT_EQ(create("Periods", "January", "2026"), 1);
    struct Case {
        common::PAYFREQ freq;
        const char* month;
        int year;
        int start;
        int atMonthEnd;
        int after;
    };
    const Case cases[] = {
        // A period close moves one period on.
        {common::WEEKLY, "January", 2026, 3, 0, 10},
        {common::WEEKLY, "January", 2026, 28, 0, 35},
        {common::BIWEEKLY, "January", 2026, 14, 0, 28},
        {common::IRREGULAR, "January", 2026, 3, 0, 4},
        // The month end: the first period end of the next month.
        {common::WEEKLY, "January", 2026, 28, 1, 4},
        {common::WEEKLY, "January", 2026, 31, 1, 7},
        {common::WEEKLY, "January", 2026, 3, 1, 7},
        {common::WEEKLY, "January", 2026, 25, 1, 1},
        {common::WEEKLY, "January", 2026, 35, 1, 4}, // already past the month's end
        {common::WEEKLY, "April", 2026, 30, 1, 7},
        {common::WEEKLY, "April", 2026, 24, 1, 1},
        {common::WEEKLY, "February", 2024, 29, 1, 7},
        {common::WEEKLY, "February", 2024, 23, 1, 1},
        {common::WEEKLY, "February", 2026, 28, 1, 7},
        {common::WEEKLY, "February", 2026, 22, 1, 1},
        {common::BIWEEKLY, "January", 2026, 28, 1, 11},
        {common::BIWEEKLY, "January", 2026, 17, 1, 14},
        {common::BIWEEKLY, "January", 2026, 18, 1, 1},
        {common::BIWEEKLY, "February", 2026, 28, 1, 14},
        {common::IRREGULAR, "January", 2026, 3, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(common::payFreqLabel(c.freq)) + " " + c.month + " from " +
                     std::to_string(c.start) + (c.atMonthEnd ? " at month end" : ""));
        common::ORGREC& org = openOrg();
        org.month = c.month;
        org.year = c.year;
        org.weekEndDay = org.fortnightEndDay = org.irregEndDay = c.start;
        org.monthEditable = org.weekEndEditable = org.fortnightEndEditable = 1;
        orgs->incrPeriodEndDay(c.freq, c.atMonthEnd);
        const int after = c.freq == common::WEEKLY     ? org.weekEndDay
                          : c.freq == common::BIWEEKLY ? org.fortnightEndDay
                                                       : org.irregEndDay;
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(org.monthEditable, 0);
        EXPECT_EQ(org.weekEndEditable, c.freq == common::WEEKLY ? 0 : 1);
        EXPECT_EQ(org.fortnightEndEditable, c.freq == common::BIWEEKLY ? 0 : 1);
        const common::ORGREC stored = storedRow("Periods");
        EXPECT_EQ(stored.weekEndDay, org.weekEndDay);
        EXPECT_EQ(stored.fortnightEndDay, org.fortnightEndDay);
        EXPECT_EQ(stored.irregEndDay, org.irregEndDay);
        EXPECT_EQ(stored.monthEditable, 0);
        EXPECT_EQ(stored.weekEndEditable, org.weekEndEditable);
    }
}

TEST_F(OrgPeriodsTest, TheMonthlyPayrollChangesNoDay) {
    ASSERT_EQ(create("Monthly", "January", "2026"), 1);
    common::ORGREC& org = openOrg();
    org.weekEndDay = 9;
    org.fortnightEndDay = 16;
    org.irregEndDay = 2;
    for (int atMonthEnd : {0, 1}) {
        orgs->incrPeriodEndDay(common::MONTHLY, atMonthEnd);
        EXPECT_EQ(org.weekEndDay, 9);
        EXPECT_EQ(org.fortnightEndDay, 16);
        EXPECT_EQ(org.irregEndDay, 2);
        EXPECT_EQ(org.weekEndEditable, 1);
        EXPECT_EQ(org.monthEditable, 0);
    }
    EXPECT_EQ(storedRow("Monthly").monthEditable, 0);
}

TEST_F(OrgPeriodsTest, MonthsRunIntoNewCalendarAndFiscalYears) {
    ASSERT_EQ(create("Months", "March", "2026"), 1);
    const common::ORGREC& org = *orgs->getOpenOrg();
    struct Step {
        const char* month;
        int year;
        int fiscalYear;
    };
    const Step steps[] = {
        {"April", 2026, 2025},   {"May", 2026, 2025},      {"June", 2026, 2025},
        {"July", 2026, 2026},    {"August", 2026, 2026},   {"September", 2026, 2026},
        {"October", 2026, 2026}, {"November", 2026, 2026}, {"December", 2026, 2026},
        {"January", 2027, 2026}, {"February", 2027, 2026}, {"March", 2027, 2026}};
    for (const Step& s : steps) {
        orgs->incrMonth();
        EXPECT_EQ(org.month, s.month);
        EXPECT_EQ(org.year, s.year) << s.month;
        EXPECT_EQ(org.fiscalYear, s.fiscalYear) << s.month;
        EXPECT_EQ(orgs->fiscalYear(), s.fiscalYear);
        EXPECT_EQ(org.monthEditable, 0);
        const common::ORGREC stored = storedRow("Months");
        EXPECT_EQ(stored.month, s.month);
        EXPECT_EQ(stored.year, s.year);
        EXPECT_EQ(stored.fiscalYear, s.fiscalYear);
    }
    // January brought the new year's report folder.
    EXPECT_TRUE(fs::is_directory(data("org01/2027")));
    EXPECT_TRUE(fs::is_directory(data("org01/2026")));
    EXPECT_FALSE(fs::exists(data("system/2027")));
}

TEST_F(OrgPeriodsTest, BankTransferFilesAreCounted) {
    ASSERT_EQ(create("Transfers"), 1);
    orgs->incrBTrFileID();
    orgs->incrBTrFileID();
    EXPECT_EQ(orgs->getOpenOrg()->bTrFileID, 2);
    EXPECT_EQ(storedRow("Transfers").bTrFileID, 2);
}

TEST_F(OrgPeriodsTest, ARowAnotherUserHoldsIsLeftAsItWasWithoutAWord) {
    ASSERT_EQ(create("Locked", "March", "2026"), 1);
    ASSERT_EQ(create("Free", "March", "2026"), 1);
    ASSERT_EQ(open("Locked"), 1);
    database::ORGDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_EQ(other.data()->lock(1), engine::r4success);
    ui.clear();
    orgs->incrBTrFileID();
    orgs->incrMonth();
    orgs->incrPeriodEndDay(common::IRREGULAR, 0);
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    // Memory keeps the new values.
    EXPECT_EQ(orgs->getOpenOrg()->bTrFileID, 1);
    EXPECT_EQ(orgs->getOpenOrg()->month, "April");
    EXPECT_EQ(orgs->getOpenOrg()->irregEndDay, 2);
    other.data()->unlock();
    other.closeFile();
    const common::ORGREC stored = storedRow("Locked");
    EXPECT_EQ(stored.bTrFileID, 0);
    EXPECT_EQ(stored.month, "March");
    EXPECT_EQ(stored.irregEndDay, 1);
    EXPECT_EQ(stored.monthEditable, 1);
    EXPECT_EQ(storedRow("Free").bTrFileID, 0);
    // The next save, with the row free again, writes everything.
    orgs->incrBTrFileID();
    EXPECT_EQ(storedRow("Locked").bTrFileID, 2);
    EXPECT_EQ(storedRow("Locked").month, "April");
}

TEST_F(OrgPeriodsTest, TheCautionTextsNameThePeriodAndTheMonths) {
    ASSERT_EQ(create("Texts", "December", "2026"), 1);
    common::ORGREC& org = openOrg();
    org.weekEndDay = 5;
    org.fortnightEndDay = 12;
    org.irregEndDay = 3;
    struct Case {
        common::PAYFREQ freq;
        const char* text;
    };
    const Case cases[] = {
        {common::WEEKLY, "Running the period end procedure will close the payroll  for the week "
                         "ending 5 December 2026."},
        {common::BIWEEKLY, "Running the period end procedure will close the payroll for the "
                           "fortnight ending 12 December 2026."},
        {common::IRREGULAR, "Running the period end procedure will close the irregular payroll "
                            "for the period ending 3 December 2026."},
    };
    for (const Case& c : cases) {
        ui.clear();
        org.payFreq = c.freq;
        FakeDialogView caution;
        orgs->initPeriodEndDlg(caution);
        EXPECT_EQ(caution.caption(), "Period End Procedure");
        EXPECT_EQ(caution.text(cautiondlg::Text), c.text);
        EXPECT_EQ(ui.beeps, 1);
    }

    ui.clear();
    FakeDialogView caution;
    orgs->initMonEndDlg(caution);
    EXPECT_EQ(caution.caption(), "Month End Procedure");
    EXPECT_EQ(caution.text(cautiondlg::Text),
              "Running the month end procedure will close data entry for December 2026.  "
              "Subsequent payroll and personnel entries will appear in January 2027.");
    EXPECT_EQ(ui.beeps, 1);
    org.month = "June";
    orgs->initMonEndDlg(caution);
    EXPECT_EQ(caution.text(cautiondlg::Text),
              "Running the month end procedure will close data entry for June 2026.  "
              "Subsequent payroll and personnel entries will appear in July 2026.");
}

TEST_F(OrgPeriodsTest, OnlyYearFoldersOlderThanThePurgeAgeArePurged) {
    ASSERT_EQ(create("Purge", "March", "2026"), 1); // purge age 2: years before 2024
    const auto put = [this](const std::string& path) {
        fs::create_directories(fs::path(data("org01/" + path)).parent_path());
        std::ofstream(data("org01/" + path)) << "x";
    };
    for (const char* path :
         {"2020/ytd.dbf", "2020/p9.dbf", "2023/YTD.DBF", "2021/ytd.dbf", "2021/ytd.int",
          "2024/ytd.dbf", "02020/ytd.dbf", "2020a/ytd.dbf", "-2020/ytd.dbf"})
        put(path);
    ui.clear();
    orgs->delRepFiles();
    EXPECT_FALSE(fs::exists(data("org01/2020")));
    EXPECT_FALSE(fs::exists(data("org01/2023")));
    // Only the tables go; a folder holding anything else stays with it.
    EXPECT_FALSE(fs::exists(data("org01/2021/ytd.dbf")));
    EXPECT_TRUE(fs::exists(data("org01/2021/ytd.int")));
    for (const char* kept :
         {"2024/ytd.dbf", "02020/ytd.dbf", "2020a/ytd.dbf", "-2020/ytd.dbf", "database/static.dbf"})
        EXPECT_TRUE(fs::exists(data(std::string("org01/") + kept))) << kept;
    EXPECT_NE(std::find(ui.statusTexts.begin(), ui.statusTexts.end(), "Deleting 2020/p9.dbf..."),
              ui.statusTexts.end());
    EXPECT_TRUE(ui.messages.empty());

    openOrg().purgeAge = 5; // years before 2021
    put("2020/ytd.dbf");
    orgs->delRepFiles();
    EXPECT_FALSE(fs::exists(data("org01/2020")));
    EXPECT_TRUE(fs::exists(data("org01/2021/ytd.int")));
}

TEST_F(OrgPeriodsTest, NothingIsPurgedWhileNoOrganisationIsOpen) {
    // The system folder's year folders hold the statutory tables.
    fs::create_directories(data("system/2001"));
    std::ofstream(data("system/2001/paye.dbf")) << "x";
    orgs->delRepFiles();
    EXPECT_TRUE(fs::exists(data("system/2001/paye.dbf")));
}

} // namespace
} // namespace kelo::setup::testing
