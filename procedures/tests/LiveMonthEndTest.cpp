#include "FolderSnapshot.h"
#include "KillingStores.h"
#include "database/GradesDb.h"
#include "database/OrgDb.h"
#include "database/PayFieldsFile.h"
#include "database/PayLogDb.h"
#include "engine/Data4.h"
#include "payrunreports/tests/PeriodFixture.h"
#include "procedures/LiveGuard.h"
#include "procedures/LiveStores.h"
#include "procedures/MonthEnd.h"
#include "procedures/MonthEndRecovery.h"
#include "procedures/PeriodEnd.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/FakeDialogView.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sys/time.h>

namespace kelo::procedures {
namespace {

namespace fs = std::filesystem;

// The user who knows the password: OK at once.
class AcceptingCaution : public CautionHost {
public:
    bool runCaution(MONENDDLG& form) override {
        testsupport::FakeDialogView view;
        form.initMonEndDlg(view);
        text = view.text(setup::cautiondlg::Text);
        return true;
    }
    std::string text;
};

void killNow(int) {
    ::raise(SIGKILL);
}

// The process is killed after `delay`, as by a power cut.
void killLater(std::chrono::microseconds delay) {
    std::signal(SIGALRM, killNow);
    itimerval timer{};
    timer.it_value.tv_sec = static_cast<time_t>(delay.count() / 1000000);
    timer.it_value.tv_usec = static_cast<suseconds_t>(delay.count() % 1000000);
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

// The worked March payroll of a monthly organisation, open in the program
// with its row in the organisations table and every frequency's table.
struct LiveMonthEndTest : payrunreports::testing::PeriodFixture {
    void SetUp() override {
        PeriodFixture::SetUp();
        if (HasFatalFailure())
            return;
        makeOtherPayrolls();
        makeGrade();
        addOrgRow();
        orgs = std::make_unique<setup::ORGS>(ui, code, folder);
        users = std::make_unique<setup::USERS>(code, folder);
        openOrg();
        ui.clear();
    }

    void makeOtherPayrolls() {
        const common::PayItemDefs defs = monthlyDefs();
        for (common::PAYFREQ payFreq : {common::WEEKLY, common::BIWEEKLY, common::IRREGULAR}) {
            ASSERT_TRUE(database::writePayFields(folder, org.folder, payFreq,
                                                 database::payFieldsComment(payFreq),
                                                 database::fieldTablesOf(defs)));
            database::VARDB pay(code, folder);
            ASSERT_TRUE(pay.setDefinitions(defs));
            ASSERT_TRUE(pay.createFile(ui, payFreq));
        }
    }

    void makeGrade() {
        database::GRADESDB grades(code, folder);
        ASSERT_TRUE(grades.createFile(ui));
        ASSERT_TRUE(grades.openFile());
        database::GRADEREC grade;
        grade.name = "TGS B";
        ASSERT_TRUE(grades.appendRecord(grade));
        grades.closeFile();
    }

    void addOrgRow() {
        database::ORGDB table(code, folder);
        ASSERT_TRUE(table.createFile(ui));
        ASSERT_TRUE(table.openFile());
        engine::Data4& data = *table.data();
        data.appendStart();
        data.blank();
        table.storeRec(org);
        ASSERT_EQ(data.append(), engine::r4success);
        table.closeFile();
    }

    void openOrg() {
        testsupport::FakeDialogView list;
        ASSERT_EQ(orgs->initOrgList(list, "Open Organisation"), 1);
        list.selectRow(setup::orglistdlg::List, 0);
        ASSERT_EQ(orgs->openSelOrg(list), 1);
    }

    // The organisation as the program finds it in another month.
    void reopenIn(const char* month, std::int32_t year, std::int32_t fiscalYear) {
        common::ORGREC row = *orgs->getOpenOrg();
        row.month = month;
        row.year = year;
        row.fiscalYear = fiscalYear;
        ASSERT_TRUE(setup::saveOrgRec(code, folder, row));
        orgs = std::make_unique<setup::ORGS>(ui, code, folder);
        openOrg();
        ui.clear();
    }

    int runMonthEnd() {
        LiveMonthEndStores stores(
            {ui, code, folder, *orgs, *users, setup::systemDrive(), setup::systemClock()});
        LiveMonthEndGuard guard(code, folder);
        ui.answers.push_back(common::Answer::No);
        MONTHEND monthEnd(ui, stores, guard, caution, dir.file("source"));
        return monthEnd.monthEnd();
    }

    // The organisation as the program finds it with the clerk on another
    // payroll and other period ends.
    void reopenOn(common::PAYFREQ payFreq, std::int32_t weekEnd, std::int32_t fortnightEnd,
                  std::int32_t irregEnd) {
        common::ORGREC row = *orgs->getOpenOrg();
        row.payFreq = payFreq;
        row.weekEndDay = weekEnd;
        row.fortnightEndDay = fortnightEnd;
        row.irregEndDay = irregEnd;
        ASSERT_TRUE(setup::saveOrgRec(code, folder, row));
        orgs = std::make_unique<setup::ORGS>(ui, code, folder);
        openOrg();
        ui.clear();
    }

    int runPeriodEnd() {
        LiveMonthEndStores stores(
            {ui, code, folder, *orgs, *users, setup::systemDrive(), setup::systemClock()});
        LiveMonthEndGuard guard(code, folder);
        PERIODEND periodEnd(ui, stores, guard, caution);
        return periodEnd.periodEnd();
    }

    common::ORGREC storedRow() {
        database::ORGDB table(code, folder);
        common::ORGREC stored;
        if (table.openFile() && table.findByName(org.name))
            table.loadRec(stored);
        return stored;
    }

    // The month end in a child process, killed as its store call numbered
    // `killAt` starts (never with 0): 0 when it completed, -1 when killed.
    // With `killAfter`, the child is killed that long after it starts,
    // wherever it is, in the middle of a write as well. With `countCalls`,
    // a completed run answers how many store calls it made.
    int monthEndInChild(int killAt, std::chrono::microseconds killAfter = {},
                        bool countCalls = false) {
        return testsupport::runInChild([&] {
            if (!orgs) { // opened here, its handles the child's own
                orgs = std::make_unique<setup::ORGS>(ui, code, folder);
                openOrg();
            }
            if (killAfter.count() > 0)
                killLater(killAfter);
            LiveMonthEndStores live(
                {ui, code, folder, *orgs, *users, setup::systemDrive(), setup::systemClock()});
            testing::KillingStores stores(live, killAt);
            LiveMonthEndGuard guard(code, folder);
            ui.answers.push_back(common::Answer::No);
            MONTHEND monthEnd(ui, stores, guard, caution, dir.file("source"));
            if (monthEnd.monthEnd() != 0)
                return 1;
            // An exit status holds no more.
            return countCalls ? std::min(stores.calls(), 255) : 0;
        });
    }

    // A whole month end in a child: how many store calls it made, or -1
    // when it did not complete.
    int storeCallsOfAMonthEnd() {
        const int calls = monthEndInChild(0, {}, true);
        return calls > 1 ? calls : -1;
    }

    // Every file of the data folder but the month end's own recovery points.
    std::map<std::string, std::string> dataFiles() const {
        auto files = testing::snapshot(dir.path());
        std::erase_if(files, [](const auto& file) { return file.first.rfind("monthend", 0) == 0; });
        // The organisations table's change counter rises with every write
        // of the row, as other users' handles need to see the row change.
        std::string& organisations = files["system/settings/org.dbf"];
        if (organisations.size() > 16)
            organisations.replace(12, 4, 4, '\0');
        return files;
    }

    // The data folder as it was, each file written over in place, as the
    // open handles of this process expect.
    void putBack(const std::map<std::string, std::string>& files) {
        for (const auto& [name, bytes] : dataFiles()) {
            if (!files.count(name))
                fs::remove_all(dir.file(name));
        }
        for (const auto& [name, bytes] : files) {
            if (bytes == "<folder>")
                fs::create_directories(dir.file(name));
            else
                testing::writeFile(dir.file(name), bytes);
        }
    }

    bool exists(const std::string& relative) const { return fs::exists(folder.resolve(relative)); }

    std::unique_ptr<setup::ORGS> orgs;
    std::unique_ptr<setup::USERS> users;
    AcceptingCaution caution;
};

TEST_F(LiveMonthEndTest, ClosesMarchIntoEveryStoreAndOpensApril) {
    EXPECT_EQ(runMonthEnd(), 0) << messages();
    EXPECT_EQ(ui.lastMessage(), "Month end procedure completed successfully.");
    EXPECT_EQ(caution.text, "Running the month end procedure will close data entry for March "
                            "2025.  Subsequent payroll and personnel entries will appear in "
                            "April 2025.");
    const common::ORGREC& open = *orgs->getOpenOrg();
    EXPECT_EQ(open.month, "April");
    EXPECT_EQ(open.year, 2025);
    EXPECT_EQ(open.weekEndDay, 4); // 7, 14, 21, 28, then 4 April
    EXPECT_EQ(open.fortnightEndDay, 11);
    EXPECT_EQ(open.irregEndDay, 1);
    for (const std::string& kept :
         {payrunreports::PERIODDB::periodFilePath(common::MONTHLY, org, true),
          monthlyreturns::MONTHDB::monthFilePath(2025, 3),
          annualreturns::ANNUALDB::storeFilePath(2025), yeartodate::YTDDB::filePath(2025),
          absencereports::LEAVEREPDB::yearFilePath(2025),
          taxreports::TAXREPDB::filePath(taxreports::TaxFile::P9, 2025),
          taxreports::TAXREPDB::filePath(taxreports::TaxFile::P10, 2025)})
        EXPECT_TRUE(exists(kept)) << kept;
    EXPECT_TRUE(database::PAYLOGDB(code, folder)
                    .getPeriodFile(common::MONTHLY, common::date{2025, 0, 3})
                    .has_value());
    EXPECT_FALSE(fs::exists(folder.resolve("../monthend/org01")));
    database::ORGDB table(code, folder);
    common::ORGREC stored;
    ASSERT_TRUE(table.openFile() && table.findByName(org.name));
    table.loadRec(stored);
    EXPECT_EQ(stored.month, "April");
    EXPECT_EQ(stored.monthEditable, 0);
}

TEST_F(LiveMonthEndTest, AnotherUsersTransactionsWindowStopsItUnchanged) {
    engine::Code4 otherUser;
    auto held = engine::Data4::open(otherUser, folder.resolve("database/monpay.dbf"));
    ASSERT_TRUE(held);
    EXPECT_EQ(runMonthEnd(), -1);
    EXPECT_EQ(ui.messages[1].text,
              "The month end cannot start because database/monpay.dbf is in use by another "
              "user. Nothing has been changed. Please try again when it is free.");
    EXPECT_EQ(orgs->getOpenOrg()->month, "March");
    EXPECT_FALSE(exists(payrunreports::PERIODDB::periodFilePath(common::MONTHLY, org, true)));
}

TEST_F(LiveMonthEndTest, JuneIntoJulyMakesTheNewFiscalYearsTables) {
    reopenIn("June", 2025, 2024);
    EXPECT_EQ(runMonthEnd(), 0) << messages();
    EXPECT_EQ(ui.messages[1].text, "New PAYE, NSSF and SDL files for the year 2025/2026 have just "
                                   "been created. Please review them and update if necessary.");
    EXPECT_EQ(orgs->getOpenOrg()->month, "July");
    EXPECT_EQ(orgs->getOpenOrg()->fiscalYear, 2025);
    for (const char* table : {"paye.dbf", "nssf.dbf", "payepara.dbf", "sdl.dbf"})
        EXPECT_TRUE(exists(std::string("../system/2025/") + table)) << table;
}

TEST_F(LiveMonthEndTest, DecemberIntoJanuaryStartsTheYear) {
    // December of the fiscal year whose tax tables there are.
    reopenIn("December", 2024, 2024);
    fs::create_directories(folder.resolve("2024"));
    EXPECT_EQ(runMonthEnd(), 0) << messages();
    EXPECT_EQ(ui.lastMessage(), "Month end procedure completed successfully.");
    EXPECT_EQ(orgs->getOpenOrg()->month, "January");
    EXPECT_EQ(orgs->getOpenOrg()->year, 2025);
    EXPECT_TRUE(exists("2024/mon12.dbf"));
}

// Kill points of the two crash tests together: every store call of the run,
// then random moments for the rest.
constexpr int kKillPoints = 200;
// The store calls a month end makes before its recovery point is taken: a
// kill there leaves nothing to put back.
constexpr int kCallsBeforeRecoveryPoint = 3;

// The names of the files that differ, for a failure's message.
std::string differences(const std::map<std::string, std::string>& a,
                        const std::map<std::string, std::string>& b) {
    std::string names;
    for (const auto& [name, bytes] : a) {
        const auto it = b.find(name);
        if (it == b.end() || it->second != bytes)
            names += " " + name;
    }
    for (const auto& [name, bytes] : b) {
        if (!a.count(name))
            names += " -" + name;
    }
    return names;
}

TEST_F(LiveMonthEndTest, AKilledMonthEndIsPutBackAndRunsAgainAsIfNeverKilled) {
    const auto initial = dataFiles();
    const int storeCalls = storeCallsOfAMonthEnd();
    // About 50; a count the exit status cannot hold would be cut.
    ASSERT_GT(storeCalls, kCallsBeforeRecoveryPoint);
    ASSERT_LT(storeCalls, 255);
    RecordProperty("storeCalls", storeCalls);
    const auto finished = dataFiles();
    ASSERT_FALSE(finished == initial);
    const auto save = [this](const common::ORGREC& row) {
        return setup::saveOrgRec(code, folder, row);
    };
    orgs.reset(); // each child opens the organisation for itself
    for (int killAt = 1; killAt <= storeCalls; ++killAt) {
        putBack(initial);
        EXPECT_EQ(monthEndInChild(killAt), -1) << killAt;
        EXPECT_EQ(recoverMonthEnd(ui, folder.dataFolder(), folder.current(), save),
                  killAt > kCallsBeforeRecoveryPoint)
            << killAt;
        EXPECT_TRUE(dataFiles() == initial) << killAt << differences(dataFiles(), initial);
        EXPECT_EQ(monthEndInChild(0), 0) << killAt;
        EXPECT_TRUE(dataFiles() == finished) << killAt << differences(dataFiles(), finished);
    }
}

TEST_F(LiveMonthEndTest, KilledAtRandomMomentsItIsNeverLeftHalfRolled) {
    const auto initial = dataFiles();
    const auto start = std::chrono::steady_clock::now();
    const int storeCalls = storeCallsOfAMonthEnd();
    ASSERT_GT(storeCalls, 0);
    ASSERT_LT(storeCalls, kKillPoints);
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    const auto finished = dataFiles();
    const auto save = [this](const common::ORGREC& row) {
        return setup::saveOrgRec(code, folder, row);
    };
    // A child sharing this process's handle of the organisations table
    // would share its locks too, and a child killed holding the row's lock
    // would leave it held; each child opens the organisation for itself.
    orgs.reset();
    std::mt19937 random(2126);
    std::uniform_int_distribution<long> moment(1, took.count() * 5 / 4);
    // With the other test's kill at every store call, kKillPoints in all.
    for (int trial = storeCalls; trial < kKillPoints; ++trial) {
        putBack(initial);
        const std::chrono::microseconds killAfter(moment(random));
        monthEndInChild(0, killAfter);
        recoverMonthEnd(ui, folder.dataFolder(), folder.current(), save);
        // Put back whole, never started, or finished whole.
        const auto after = dataFiles();
        EXPECT_TRUE(after == initial || after == finished)
            << killAfter.count() << differences(after, initial);
        if (after == initial) {
            EXPECT_EQ(monthEndInChild(0), 0) << killAfter.count();
        }
        EXPECT_TRUE(dataFiles() == finished) << killAfter.count();
    }
}

// A period end of each payroll that closes within the month: March 2025
// has 31 days, the week of 7 March moves to 14 March, the fortnight of 14
// March to 28 March, irregular period 2 to 3; the month stays.
struct PeriodEndCase {
    const char* name;
    common::PAYFREQ payFreq;
    const char* cautionText;
    std::int32_t weekEnd, fortnightEnd, irregEnd; // after
};

class LivePeriodEnd : public LiveMonthEndTest,
                      public ::testing::WithParamInterface<PeriodEndCase> {};

TEST_P(LivePeriodEnd, MovesThePayrollOnWithinMarch) {
    const PeriodEndCase& c = GetParam();
    reopenOn(c.payFreq, 7, 14, 2);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(runPeriodEnd(), 0) << messages();
    EXPECT_EQ(ui.lastMessage(), "Period end procedure completed successfully.");
    EXPECT_EQ(caution.text, c.cautionText);
    for (const common::ORGREC& o : {*orgs->getOpenOrg(), storedRow()}) {
        EXPECT_EQ(o.month, "March");
        EXPECT_EQ(o.year, 2025);
        EXPECT_EQ(o.weekEndDay, c.weekEnd);
        EXPECT_EQ(o.fortnightEndDay, c.fortnightEnd);
        EXPECT_EQ(o.irregEndDay, c.irregEnd);
        EXPECT_EQ(o.monthEditable, 0);
    }
    EXPECT_FALSE(fs::exists(folder.resolve("../monthend/org01")));
    // The monthly payroll's period stays open.
    EXPECT_FALSE(exists(payrunreports::PERIODDB::periodFilePath(common::MONTHLY, org, true)));
}

INSTANTIATE_TEST_SUITE_P(
    Payrolls, LivePeriodEnd,
    ::testing::Values(
        PeriodEndCase{"Weekly", common::WEEKLY,
                      "Running the period end procedure will close the payroll  for the week "
                      "ending 7 March 2025.",
                      14, 14, 2},
        PeriodEndCase{"Biweekly", common::BIWEEKLY,
                      "Running the period end procedure will close the payroll for the fortnight "
                      "ending 14 March 2025.",
                      7, 28, 2},
        PeriodEndCase{"Irregular", common::IRREGULAR,
                      "Running the period end procedure will close the irregular payroll for the "
                      "period ending 2 March 2025.",
                      7, 14, 3}),
    [](const ::testing::TestParamInfo<PeriodEndCase>& param) { return param.param.name; });

TEST_F(LiveMonthEndTest, ThePeriodEndOfTheMonthlyPayrollIsRefusedUnchanged) {
    const auto before = dataFiles();
    EXPECT_EQ(runPeriodEnd(), -1);
    EXPECT_EQ(ui.messages.front().text,
              "The period end is for weekly, biweekly and irregular payrolls; the monthly payroll "
              "is closed by the month end.");
    EXPECT_TRUE(dataFiles() == before) << differences(dataFiles(), before);
}

TEST_F(LiveMonthEndTest, AnotherUsersWeeklyWindowStopsThePeriodEndUnchanged) {
    reopenOn(common::WEEKLY, 7, 14, 2);
    if (HasFatalFailure())
        return;
    const auto before = dataFiles();
    engine::Code4 otherUser;
    auto held = engine::Data4::open(otherUser, folder.resolve("database/wkpay.dbf"));
    ASSERT_TRUE(held);
    EXPECT_EQ(runPeriodEnd(), -1);
    EXPECT_EQ(ui.messages.front().text,
              "The period end cannot start because database/wkpay.dbf is in use by another user. "
              "Nothing has been changed. Please try again when it is free.");
    EXPECT_EQ(ui.lastMessage(), "Period end procedure cancelled.");
    EXPECT_EQ(orgs->getOpenOrg()->weekEndDay, 7);
    EXPECT_TRUE(dataFiles() == before) << differences(dataFiles(), before);
}

} // namespace
} // namespace kelo::procedures
