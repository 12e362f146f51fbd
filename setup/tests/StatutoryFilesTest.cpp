// The statutory tables of a new fiscal year.
#include "setup/StatutoryFiles.h"

#include "OrgsFixture.h"
#include "database/DbTable.h"
#include "database/SdlDb.h"
#include "database/WcfDb.h"

namespace kelo::setup::testing {
namespace {

using StatutoryFilesTest = OrgsFixture;

const char* const kTables[] = {"paye.dbf", "nssf.dbf", "payepara.dbf", "sdl.dbf", "wcf.dbf"};

TEST_F(StatutoryFilesTest, AYearWithoutTablesGetsThemFromTheShippedSource) {
    ASSERT_TRUE(newStatutoryFiles(ui, code, folder, 2025, KELO_SOURCE_FOLDER));
    for (const char* table : kTables)
        EXPECT_TRUE(database::isValid(code, folder, folder.statutoryFile(2025, table))) << table;
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(), "New PAYE, NSSF and SDL files for the year 2025/2026 have just "
                                "been created. Please review them and update if necessary.");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Information);

    // A year that has its tables keeps them, silently.
    ui.clear();
    EXPECT_FALSE(newStatutoryFiles(ui, code, folder, 2025, KELO_SOURCE_FOLDER));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StatutoryFilesTest, TheNextYearStartsFromThePreviousYearsFigures) {
    ASSERT_TRUE(newStatutoryFiles(ui, code, folder, 2025, KELO_SOURCE_FOLDER));
    {
        // The user reviewed last year's rate.
        database::SDLDB sdl(code, folder);
        ASSERT_TRUE(sdl.openFile(2025, false));
        ASSERT_TRUE(sdl.updateRec({3.5f}));
        database::WCFDB wcf(code, folder);
        ASSERT_TRUE(wcf.openFile(2025, false));
        ASSERT_TRUE(wcf.updateRec({1.5f}));
    }
    ui.clear();
    // Working from an organisation folder, with no shipped source at hand.
    ASSERT_EQ(create("Statutory", "July", "2026"), 1);
    ASSERT_TRUE(newStatutoryFiles(ui, code, folder, 2026, "/no/such/source"));
    EXPECT_EQ(ui.lastMessage(), "New PAYE, NSSF and SDL files for the year 2026/2027 have just "
                                "been created. Please review them and update if necessary.");
    ASSERT_EQ(ui.messages.size(), 1u) << ui.messages.front().text;
    for (const char* table : kTables)
        EXPECT_TRUE(fs::exists(data(std::string("system/2026/") + table))) << table;
    database::SDLDB sdl(code, folder);
    database::SDLREC rate;
    ASSERT_TRUE(sdl.readFile(2026, rate));
    EXPECT_FLOAT_EQ(rate.rate, 3.5f);
    EXPECT_EQ(database::WCFDB(code, folder).rateOf(2026), 1.5);
}

// A data folder made before the WCF table: the new year gets the default.
TEST_F(StatutoryFilesTest, ALastYearWithoutTheWcfTableGivesTheDefaultRate) {
    ASSERT_TRUE(newStatutoryFiles(ui, code, folder, 2025, KELO_SOURCE_FOLDER));
    fs::remove(data("system/2025/wcf.dbf"));
    ui.clear();
    ASSERT_TRUE(newStatutoryFiles(ui, code, folder, 2026, "/no/such/source"));
    ASSERT_EQ(ui.messages.size(), 1u) << ui.messages.front().text;
    database::WCFREC rate;
    ASSERT_TRUE(database::WCFDB(code, folder).readFile(2026, rate));
    EXPECT_FLOAT_EQ(rate.rate, 0.5f);
}

TEST_F(StatutoryFilesTest, AMissingSourceIsReportedByEachTableAndTheMessageStillFollows) {
    EXPECT_TRUE(newStatutoryFiles(ui, code, folder, 2030, dir.file("nowhere")));
    ASSERT_EQ(ui.messages.size(), 5u);
    EXPECT_EQ(ui.messages.front().text, "Can't open " + dir.file("nowhere") + "/paye.dbf");
    EXPECT_EQ(ui.messages.front().icon, common::MessageIcon::Error);
    EXPECT_TRUE(fs::is_directory(data("system/2030")));
    EXPECT_FALSE(fs::exists(data("system/2030/paye.dbf")));
}

TEST_F(StatutoryFilesTest, TheOpenOrganisationsFiscalYearIsUsed) {
    EXPECT_EQ(orgs->newStatutoryFiles(KELO_SOURCE_FOLDER), 0); // nothing open
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(create("Fiscal", "March", "2026"), 1);
    ASSERT_EQ(orgs->newStatutoryFiles(KELO_SOURCE_FOLDER), 1);
    EXPECT_TRUE(fs::exists(data("system/2025/paye.dbf")));
    EXPECT_EQ(orgs->newStatutoryFiles(KELO_SOURCE_FOLDER), 0);
    for (int i = 0; i < 4; ++i)
        orgs->incrMonth(); // into July: fiscal year 2026, made from 2025
    ASSERT_EQ(orgs->newStatutoryFiles("/no/such/source"), 1);
    EXPECT_TRUE(fs::exists(data("system/2026/sdl.dbf")));
}

TEST_F(StatutoryFilesTest, TheSourceFolderLiesBesideTheProgram) {
    EXPECT_EQ(sourceFolderBeside("/opt/kelo"), "/opt/kelo/source");
    EXPECT_EQ(sourceFolderBeside("/opt/kelo/"), "/opt/kelo/source");
}

} // namespace
} // namespace kelo::setup::testing
