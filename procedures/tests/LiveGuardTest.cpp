#include "procedures/LiveGuard.h"

#include "FolderSnapshot.h"
#include "RecordingStores.h"
#include "database/OrgDb.h"
#include "engine/Data4.h"
#include "procedures/MonthEnd.h"
#include "procedures/MonthEndRecovery.h"
#include "setup/Backup.h"
#include "setup/Orgs.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <memory>

namespace kelo::procedures::testing {
namespace {

namespace fs = std::filesystem;

// A data folder with one organisation, open, as the program has it when
// the month end starts.
class LiveGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("data/system/settings"));
        folder = common::WorkingFolder(dir.file("data"));
        ASSERT_TRUE(database::ORGDB(code, folder).createFile(ui));
        orgs = std::make_unique<setup::ORGS>(ui, code, folder);
        ASSERT_EQ(orgs->createOrg({"Acme Ltd", "March", 2025}), 1);
        orgPath = folder.current();
        ui.clear();
    }
    const common::ORGREC& org() const { return *orgs->getOpenOrg(); }
    // Another user's handle on a table of the organisation.
    std::unique_ptr<engine::Data4> holdTable(const std::string& relative) {
        return engine::Data4::open(otherUser, folder.resolve(relative));
    }
    common::ORGREC storedRow() {
        database::ORGDB table(code, folder);
        common::ORGREC row;
        if (table.openFile() && table.findByName("Acme Ltd"))
            table.loadRec(row);
        return row;
    }

    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    engine::Code4 code;
    engine::Code4 otherUser;
    common::WorkingFolder folder;
    std::unique_ptr<setup::ORGS> orgs;
    std::string orgPath;
};

TEST_F(LiveGuardTest, FreeTablesLetTheMonthEndStart) {
    LiveMonthEndGuard guard(code, folder);
    EXPECT_EQ(guard.busyTable(org()), "");
}

TEST_F(LiveGuardTest, EveryTableTheMonthEndTakesAloneIsChecked) {
    for (const char* table : {"database/static.dbf", "database/monpay.dbf", "database/wkpay.dbf",
                              "database/bwkpay.dbf", "database/irrpay.dbf", "database/absence.dbf",
                              "database/leave.dbf", "settings/paylog.dbf"}) {
        LiveMonthEndGuard guard(code, folder);
        auto held = holdTable(table);
        ASSERT_TRUE(held) << table;
        EXPECT_EQ(guard.busyTable(org()), table);
        held->close();
        EXPECT_EQ(guard.busyTable(org()), "") << table;
    }
}

TEST_F(LiveGuardTest, TheOrganisationsRowHeldByAnotherUserIsNamed) {
    database::ORGDB other(otherUser, folder);
    ASSERT_TRUE(other.openFile() && other.findByName("Acme Ltd"));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    LiveMonthEndGuard guard(code, folder);
    EXPECT_EQ(guard.busyTable(org()), "../system/settings/org.dbf");
    other.data()->unlock();
    EXPECT_EQ(guard.busyTable(org()), "");
}

TEST_F(LiveGuardTest, ACompletedMonthEndLeavesNoRecoveryPoint) {
    LiveMonthEndGuard guard(code, folder);
    ASSERT_TRUE(guard.begin(org(), Closing::Month));
    EXPECT_TRUE(fs::exists(dir.file("data/monthend/org01/marker.txt")));
    // The copy stands in for the journal only while it exists.
    EXPECT_FALSE(code.journalExclusiveWrites);
    guard.end();
    EXPECT_TRUE(code.journalExclusiveWrites);
    EXPECT_FALSE(fs::exists(dir.file("data/monthend/org01")));
}

TEST_F(LiveGuardTest, AMonthEndUnderWayIsLeftAlone) {
    LiveMonthEndGuard guard(code, folder);
    ASSERT_TRUE(guard.begin(org(), Closing::Month));
    writeFile(orgPath + "/database/static.dbf", "rolled");
    const auto during = snapshot(orgPath);
    const auto save = [](const common::ORGREC&) { return true; };
    EXPECT_EQ(recoverMonthEnds(ui, folder.dataFolder(), save), 0);
    EXPECT_TRUE(snapshot(orgPath) == during);
    EXPECT_TRUE(ui.messages.empty());
    LiveMonthEndGuard second(code, folder);
    EXPECT_FALSE(second.begin(org(), Closing::Month));
    guard.end();
    EXPECT_EQ(recoverMonthEnds(ui, folder.dataFolder(), save), 0);
    EXPECT_TRUE(snapshot(orgPath) == during);
}

TEST_F(LiveGuardTest, StartUpPutsBackEveryInterruptedMonthEnd) {
    const auto before = snapshot(orgPath);
    {
        LiveMonthEndGuard guard(code, folder);
        ASSERT_TRUE(guard.begin(org(), Closing::Month));
        orgs->incrPeriodEndDay(common::WEEKLY, 1);
        orgs->incrMonth();
        writeFile(orgPath + "/database/static.dbf", "rolled");
        // The program dies here: the guard's hold goes with it, the marker stays.
    }
    EXPECT_EQ(recoverMonthEnds(ui, code, folder), 1);
    EXPECT_TRUE(snapshot(orgPath) == before);
    const common::ORGREC row = storedRow();
    EXPECT_EQ(row.month, "March");
    EXPECT_EQ(row.weekEndDay, 1);
    EXPECT_EQ(row.weekEndEditable, 1);
    EXPECT_EQ(ui.lastMessage(),
              "The month end of March 2025 for Acme Ltd was interrupted before it finished. The "
              "organisation's files have been put back as they were before it started, so "
              "nothing is half done. Please run the month end again.");
}

TEST_F(LiveGuardTest, StartUpPutsBackAnInterruptedPeriodEndAndNamesIt) {
    const auto before = snapshot(orgPath);
    common::ORGREC weekly = org();
    weekly.payFreq = common::WEEKLY;
    {
        LiveMonthEndGuard guard(code, folder);
        ASSERT_TRUE(guard.begin(weekly, Closing::Period));
        orgs->incrPeriodEndDay(common::WEEKLY, 0);
        writeFile(orgPath + "/database/wkpay.dbf", "rolled");
        // The program dies here.
    }
    EXPECT_EQ(recoverMonthEnds(ui, code, folder), 1);
    EXPECT_TRUE(snapshot(orgPath) == before);
    EXPECT_EQ(storedRow().weekEndDay, 1);
    EXPECT_EQ(ui.lastMessage(),
              "The period end of the weekly payroll in March 2025 for Acme Ltd was interrupted "
              "before it finished. The organisation's files have been put back as they were "
              "before it started, so nothing is half done. Please run the period end again.");
}

TEST_F(LiveGuardTest, AnInterruptedMonthEndNotPutBackIsNeverCopiedOver) {
    {
        LiveMonthEndGuard crashed(code, folder);
        ASSERT_TRUE(crashed.begin(org(), Closing::Month));
        // The program dies here.
    }
    writeFile(orgPath + "/database/static.dbf", "half rolled");
    const auto copy = snapshot(dir.file("data/monthend"));
    LiveMonthEndGuard next(code, folder);
    EXPECT_FALSE(next.begin(org(), Closing::Month));
    EXPECT_TRUE(snapshot(dir.file("data/monthend")) == copy);
}

// What the steps do to the organisation's files and row, through the
// organisation object for its row.
void changeFiles(setup::ORGS& orgs, const std::string& orgPath, const std::string& call) {
    if (call.rfind("updatePersonnel", 0) == 0 || call.rfind("updateTransactions", 0) == 0)
        writeFile(orgPath + "/database/static.dbf", call);
    else if (call.rfind("writePeriodFile", 0) == 0)
        writeFile(orgPath + "/2025/period" + call.substr(call.size() - 1) + ".dbf", call);
    else if (call.rfind("incrPeriodEndDay", 0) == 0)
        orgs.incrPeriodEndDay(static_cast<common::PAYFREQ>(call.back() - '0'), 1);
    else if (call == "incrMonth")
        orgs.incrMonth();
    else if (call.rfind("updateLeave", 0) == 0)
        fs::remove(orgPath + "/database/leave.dbf");
}

TEST_F(LiveGuardTest, AMonthEndKilledAnywhereIsPutBackWhole) {
    const auto before = snapshot(orgPath);
    const common::ORGREC row = storedRow();
    // With no weekly or biweekly employees the run makes 65 calls on the
    // stores, the recovery point coming after the fourth; kill it at a
    // spread of the rest.
    for (int killAt : {5, 7, 11, 13, 14, 20, 29, 38, 45, 53, 56, 59, 61, 63, 64}) {
        const int status = testsupport::runInChild([&] {
            RecordingStores stores;
            stores.org = org();
            stores.counts = {{common::WEEKLY, 0}, {common::BIWEEKLY, 0}};
            int calls = 0;
            stores.afterCall = [&](const std::string& call) {
                changeFiles(*orgs, orgPath, call);
                stores.org = org();
                if (++calls == killAt)
                    ::raise(SIGKILL);
            };
            LiveMonthEndGuard guard(code, folder);
            ScriptedCaution caution;
            testsupport::RecordingUi childUi;
            childUi.answers.push_back(common::Answer::No);
            MONTHEND monthEnd(childUi, stores, guard, caution, "source");
            monthEnd.monthEnd();
            return 0;
        });
        EXPECT_EQ(status, -1) << killAt;
        const bool recovered =
            recoverMonthEnd(ui, folder.dataFolder(), orgPath, [&](const common::ORGREC& saved) {
                return setup::saveOrgRec(code, folder, saved);
            });
        EXPECT_TRUE(recovered) << killAt;
        EXPECT_TRUE(snapshot(orgPath) == before) << killAt;
        const common::ORGREC restored = storedRow();
        EXPECT_EQ(restored.month, "March");
        EXPECT_EQ(restored.weekEndDay, row.weekEndDay);
        EXPECT_EQ(restored.irregEndDay, row.irregEndDay);
        EXPECT_EQ(restored.monthEditable, row.monthEditable);
    }
}

} // namespace
} // namespace kelo::procedures::testing
