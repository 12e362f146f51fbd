// Creating, listing, opening and deleting organisations.
#include "OrgsFixture.h"
#include "common/ReportRecords.h"
#include "common/TaggedFile.h"
#include "database/StaticDb.h"
#include "database/VarDb.h"
#include "setup/OrgFiles.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace kelo::setup::testing {
namespace {

using OrgsTest = OrgsFixture;

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Appends rows straight into the organisations table, as earlier sessions
// would have left them.
void appendRows(engine::Code4& code, const common::WorkingFolder& folder, int count) {
    database::ORGDB table(code, folder);
    ASSERT_TRUE(table.openFile());
    for (int i = 1; i <= count; ++i) {
        common::ORGREC row = common::newOrgRec(i);
        row.name = "Org " + std::to_string(i);
        ASSERT_EQ(table.data()->appendStart(), engine::r4success);
        table.data()->blank();
        table.storeRec(row);
        ASSERT_EQ(table.data()->append(), engine::r4success);
    }
}

TEST_F(OrgsTest, NoOrganisationIsOpenAtFirst) {
    const common::ORGREC& org = *orgs->getOpenOrg();
    EXPECT_EQ(org.name, "");
    EXPECT_EQ(org.orgNum, 0);
    EXPECT_EQ(org.year, 0);
    EXPECT_EQ(org.folder, "");
    EXPECT_EQ(orgs->fiscalYear(), 0);
    EXPECT_EQ(orgs->orgCount(), 0);
    EXPECT_EQ(folder.current(), data("system"));
    FakeDialogView list;
    EXPECT_EQ(orgs->initOrgList(list, "Open Organisation"), 0);
    EXPECT_EQ(list.caption(), "Open Organisation");
    EXPECT_EQ(ui.lastMessage(), "No other organisations were found.");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Information);
}

TEST_F(OrgsTest, CreatingMakesTheFolderTreeAndEveryTableAndOpensIt) {
    ASSERT_EQ(create("Kilimanjaro Coffee", "March", "2026"), 1) << ui.lastMessage();
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    for (const char* path :
         {"database/static.dbf",   "database/monpay.dbf",   "database/wkpay.dbf",
          "database/bwkpay.dbf",   "database/irrpay.dbf",   "database/monpay.dat",
          "database/wkpay.dat",    "database/bwkpay.dat",   "database/irrpay.dat",
          "database/absence.dbf",  "database/leave.dbf",    "settings/units.dbf",
          "settings/grades.dbf",   "settings/jobs.dbf",     "settings/posts.dbf",
          "settings/stations.dbf", "settings/paygroup.dbf", "settings/coops.dbf",
          "settings/pensions.dbf", "settings/options.dbf",  "settings/paylog.dbf"})
        EXPECT_TRUE(fs::is_regular_file(data(std::string("org01/") + path))) << path;
    for (const char* path : {"org01/graphics", "org01/2026"})
        EXPECT_TRUE(fs::is_directory(data(path))) << path;
    EXPECT_TRUE(fs::is_empty(data("org01/graphics")));

    const common::ORGREC& org = *orgs->getOpenOrg();
    EXPECT_EQ(org.orgNum, 1);
    EXPECT_EQ(org.name, "Kilimanjaro Coffee");
    EXPECT_EQ(org.folder, "../org01");
    EXPECT_EQ(org.month, "March");
    EXPECT_EQ(org.year, 2026);
    EXPECT_EQ(org.fiscalYear, 2025);
    EXPECT_EQ(org.weekEndDay, 1);
    EXPECT_EQ(org.fortnightEndDay, 1);
    EXPECT_EQ(org.irregEndDay, 1);
    EXPECT_EQ(org.monthEditable + org.weekEndEditable + org.fortnightEndEditable, 3);
    EXPECT_EQ(org.purgeReports, 0);
    EXPECT_EQ(org.purgeAge, 2);
    EXPECT_EQ(org.taxEmployerPension, 1);
    EXPECT_EQ(org.paySdl, 1);
    EXPECT_EQ(org.roundNetPay, 0);
    EXPECT_EQ(org.roundingUnit, 10);
    EXPECT_EQ(org.payFreq, common::MONTHLY);
    EXPECT_EQ(org.formSortKey, 0);
    EXPECT_EQ(org.bTrFileID, 0);
    const common::ORGREC stored = storedRow("Kilimanjaro Coffee");
    EXPECT_EQ(stored.folder, "../org01");
    EXPECT_EQ(stored.monthEditable, 1);
    EXPECT_EQ(stored.fiscalYear, 2025);
    EXPECT_EQ(orgs->caption(), "Kelo Roster - Kilimanjaro Coffee");
    EXPECT_EQ(folder.current(), data("org01"));

    // The transactions tables carry the columns of the default items only.
    database::VARDB transactions(code, folder);
    ASSERT_TRUE(transactions.openFile(common::WEEKLY));
    EXPECT_TRUE(transactions.setDefinitions(defaultPayItemDefs()));
}

TEST_F(OrgsTest, TheDefaultPayFieldFilesHoldTheBuiltInItems) {
    ASSERT_EQ(create("Fields"), 1);
    struct Case {
        const char* path;
        const char* comment;
    };
    const Case cases[] = {{"database/monpay.dat", "Monthly payroll fields file"},
                          {"database/wkpay.dat", "Weekly payroll fields file"},
                          {"database/bwkpay.dat", "Biweekly payroll fields file"},
                          {"database/irrpay.dat", "Irregular payroll fields file"}};
    using Values = std::vector<std::string>;
    const Values basicPay{"1", "1", "Basic Pay", "Basic Pay", "Use Built-In Function",
                          "0", "0", "200000",    "0",         "1",
                          "1"};
    const Values overtime{"2",      "2", "Overtime", "Overtime", "Use Built-In Function", "0", "0",
                          "100000", "0", "1",        "1"};
    const Values rent{"1",     "1", "Rent", "Rent", "Defined in Master File", "0", "0",
                      "50000", "1", "1",    "1"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_TRUE(common::checkFileId(ui, folder.resolve(c.path), c.path)) << ui.lastMessage();
        EXPECT_EQ(
            fileText(folder.resolve(c.path))
                .rfind(std::string("# ") + c.comment + "\n# [../org01/" + c.path + "]\n# \n", 0),
            0u);
        common::TaggedReader reader(folder.resolve(c.path));
        common::FileId id;
        ASSERT_TRUE(reader.readFileId(id));
        EXPECT_EQ(id.kind, "Payroll Fields");
        EXPECT_EQ(id.path, c.path);
        EXPECT_EQ(id.version, "4.2");
        const auto readBlock = [&reader](const char* block) {
            std::vector<Values> items;
            EXPECT_TRUE(reader.findTag(block, common::TagKind::BlockStart)) << block;
            for (;;) {
                const std::size_t before = reader.position();
                if (!reader.findTag("item", common::TagKind::GroupStart)) {
                    reader.setPosition(before);
                    break;
                }
                Values values(11);
                for (std::string& v : values)
                    EXPECT_TRUE(reader.readValue(v));
                EXPECT_TRUE(reader.findTag({}, common::TagKind::GroupEnd));
                items.push_back(values);
            }
            EXPECT_TRUE(reader.findTag(block, common::TagKind::BlockEnd)) << block;
            return items;
        };
        EXPECT_EQ(readBlock("earnings"), (std::vector<Values>{basicPay, overtime}));
        EXPECT_EQ(readBlock("deductions"), (std::vector<Values>{rent}));
        for (const char* empty : {"benefits", "lumpsums", "refunds"})
            EXPECT_TRUE(readBlock(empty).empty()) << empty;
        EXPECT_TRUE(reader.hasTerminator());
    }
}

TEST_F(OrgsTest, TheFiscalYearBeginsInJuly) {
    struct Case {
        const char* month;
        int fiscalYear;
    };
    const Case cases[] = {{"January", 2025}, {"June", 2025}, {"July", 2026}, {"December", 2026}};
    for (const Case& c : cases) {
        ASSERT_EQ(create(std::string("Starts in ") + c.month, c.month, "2026"), 1);
        EXPECT_EQ(orgs->fiscalYear(), c.fiscalYear) << c.month;
        EXPECT_EQ(storedRow(std::string("Starts in ") + c.month).fiscalYear, c.fiscalYear);
    }
}

TEST_F(OrgsTest, EveryEntryIsChecked) {
    ASSERT_EQ(create("Tanga Sisal"), 1);
    struct Case {
        const char* name;
        const char* year;
        const char* message;
        const char* focus;
    };
    const char* clash =
        "Organisation with this name already exists. Please enter a different name.";
    const Case cases[] = {
        {"", "2026", "Please enter name of organisation.", orgdlg::Name},
        {"   ", "2026", "Please enter name of organisation.", orgdlg::Name},
        {"TANGA SISAL", "2026", clash, orgdlg::Name},
        {"  tanga sisal  ", "2026", clash, orgdlg::Name},
        {"New One", "1899", "Entry for year field is invalid.", orgdlg::Year},
        {"New One", "3001", "Entry for year field is invalid.", orgdlg::Year},
        {"New One", "20x6", "Entry for year field is invalid.", orgdlg::Year},
        {"New One", "", "Entry for year field is invalid.", orgdlg::Year},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "/" + c.year);
        ui.clear();
        FakeDialogView dialog;
        orgs->initNewOrgDlg(dialog);
        dialog.setText(orgdlg::Name, c.name);
        dialog.setText(orgdlg::Year, c.year);
        EXPECT_EQ(orgs->createNewOrg(dialog), 0);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.lastMessage(), c.message);
        EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Information);
        EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");
        EXPECT_EQ(dialog.focus(), c.focus);
    }
    // A blank month is refused without a word.
    ui.clear();
    FakeDialogView noMonth;
    orgs->initNewOrgDlg(noMonth);
    noMonth.setText(orgdlg::Name, "New One");
    noMonth.selectRow(orgdlg::Month, -1);
    EXPECT_EQ(orgs->createNewOrg(noMonth), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(orgs->orgCount(), 1);
    EXPECT_FALSE(fs::exists(data("org02")));

    // The years at either end are accepted; long names are cut.
    EXPECT_EQ(create("First Year", "March", "1900"), 1);
    EXPECT_EQ(create(std::string(70, 'x'), "March", "3000"), 1);
    EXPECT_EQ(orgs->getOpenOrg()->name, std::string(59, 'x'));
}

TEST_F(OrgsTest, TheNewOrganisationDialogStartsAtThisMonth) {
    FakeDialogView dialog;
    orgs->initNewOrgDlg(dialog);
    EXPECT_EQ(dialog.caption(), "New Organisation");
    const std::vector<std::string> months = dialog.itemTexts(orgdlg::Month);
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months.front(), "January");
    EXPECT_EQ(months.back(), "December");
    const common::date today = common::date::today();
    EXPECT_EQ(dialog.selectedRow(orgdlg::Month), today.month - 1);
    EXPECT_EQ(dialog.text(orgdlg::Year), std::to_string(today.year));
}

TEST_F(OrgsTest, TheHundredthOrganisationIsRefused) {
    appendRows(code, folder, 98);
    EXPECT_EQ(orgs->hasMaxOrg(), 0);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(create("The 99th"), 1);
    EXPECT_EQ(orgs->getOpenOrg()->folder, "../org99");
    EXPECT_TRUE(fs::is_directory(data("org99/database")));
    EXPECT_EQ(orgs->hasMaxOrg(), 1);
    EXPECT_EQ(ui.lastMessage(),
              "You already have 99 organisations which is the maximum supported.");
    ui.clear();
    EXPECT_EQ(create("The 100th"), 0);
    EXPECT_EQ(ui.lastMessage(),
              "You already have 99 organisations which is the maximum supported.");
    EXPECT_EQ(orgs->orgCount(), 99);
    EXPECT_FALSE(fs::exists(data("org100")));
    EXPECT_EQ(orgs->getOpenOrg()->name, "The 99th");
}

TEST_F(OrgsTest, AFailedCreationLeavesNothingBehind) {
    ASSERT_EQ(create("Alpha"), 1);
    // Another user holds the whole organisations table: every file gets
    // made, the row cannot be added, and everything goes again.
    database::ORGDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_EQ(other.data()->lockAll(), engine::r4success);
    ui.clear();
    EXPECT_EQ(create("Bravo"), 0);
    EXPECT_EQ(ui.lastMessage(),
              "Can't update ../system/settings/org.dbf because another user is using it.");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Warning);
    EXPECT_FALSE(fs::exists(data("org02")));
    EXPECT_EQ(folder.current(), data("org01"));
    EXPECT_EQ(orgs->getOpenOrg()->name, "Alpha");
    other.data()->unlock();
    other.closeFile();
    EXPECT_EQ(orgs->orgCount(), 1);
    // The status bar named the files that were made and then deleted.
    const auto announced = [&](const std::string& text) {
        return std::find(ui.statusTexts.begin(), ui.statusTexts.end(), text) !=
               ui.statusTexts.end();
    };
    EXPECT_TRUE(announced("Creating database/monpay.dat..."));
    EXPECT_TRUE(announced("Deleting ../org02/database/static.dbf..."));
    EXPECT_EQ(ui.statusTexts.back(), "");

    // Once the table is free the same entry succeeds.
    ASSERT_EQ(create("Bravo"), 1) << ui.lastMessage();
    EXPECT_EQ(orgs->getOpenOrg()->folder, "../org02");
}

TEST_F(OrgsTest, AFolderThatCannotBeMadeStopsTheCreation) {
    std::ofstream(data("org01")) << "not a folder";
    EXPECT_EQ(create("Blocked"), 0);
    EXPECT_EQ(ui.lastMessage(), "Can't open ../org01");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Error);
    EXPECT_EQ(orgs->orgCount(), 0);
    EXPECT_EQ(folder.current(), data("system"));
    EXPECT_EQ(orgs->getOpenOrg()->orgNum, 0);
    EXPECT_TRUE(fs::is_regular_file(data("org01"))); // not ours to remove
}

// Files in the next folder without a row may be the data of a row the table
// lost: they are never cleared by a new organisation.
TEST_F(OrgsTest, AFolderHoldingFilesWithoutARowIsNeverReused) {
    fs::create_directories(data("org01/database"));
    std::ofstream(data("org01/database/static.dbf")) << "somebody's employees";
    EXPECT_EQ(create("Fresh"), 0);
    EXPECT_EQ(ui.lastMessage(),
              "Folder ../org01 already holds files, but no organisation in "
              "../system/settings/org.dbf uses it. Nothing has been changed. If the "
              "organisations file was damaged, restore it from a copy; otherwise move the folder "
              "away and try again.");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Error);
    EXPECT_EQ(orgs->orgCount(), 0);
    EXPECT_EQ(folder.current(), data("system"));
    std::ifstream kept(data("org01/database/static.dbf"));
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "somebody's employees");

    // Empty folders hold nothing: they are cleared and the number is used.
    fs::rename(data("org01"), data("moved-away"));
    fs::create_directories(data("org01/database/empty"));
    ASSERT_EQ(create("Fresh"), 1) << ui.lastMessage();
    EXPECT_FALSE(fs::exists(data("org01/database/empty")));
    database::STATDB personnel(code, folder);
    EXPECT_TRUE(personnel.openFile());
}

TEST_F(OrgsTest, TheListHoldsTheOtherOrganisationsAndOpeningMovesTheWorkingFolder) {
    ASSERT_EQ(create("Charlie"), 1);
    ASSERT_EQ(create("alpha"), 1);
    ASSERT_EQ(create("Bravo"), 1); // open
    FakeDialogView list;
    ASSERT_EQ(orgs->initOrgList(list, "Open Organisation"), 1);
    EXPECT_EQ(list.caption(), "Open Organisation");
    EXPECT_EQ(list.itemTexts(orglistdlg::List), (std::vector<std::string>{"alpha", "Charlie"}));
    EXPECT_EQ(list.itemCode(orglistdlg::List, 0), 2);
    EXPECT_EQ(list.itemCode(orglistdlg::List, 1), 1);

    EXPECT_EQ(orgs->openSelOrg(list), 0); // nothing chosen
    choose(list, "Charlie");
    ASSERT_EQ(orgs->openSelOrg(list, "supervisor"), 1);
    EXPECT_EQ(orgs->getOpenOrg()->name, "Charlie");
    EXPECT_EQ(orgs->getOpenOrg()->orgNum, 1);
    EXPECT_EQ(folder.current(), data("org01"));
    EXPECT_EQ(orgs->caption(), "Kelo Roster - Charlie");
    // Shared tables are reached the same way from the organisation's folder.
    EXPECT_EQ(folder.resolve(database::ORGDB::kPath), data("system/settings/org.dbf"));

    // A name no longer in the table opens nothing.
    FakeDialogView stale;
    stale.addItem(orglistdlg::List, "Gone", 9);
    stale.selectRow(orglistdlg::List, 0);
    EXPECT_EQ(orgs->openSelOrg(stale), 0);
    EXPECT_EQ(orgs->getOpenOrg()->name, "Charlie");
}

TEST_F(OrgsTest, TheCautionBeforeDeletingWarnsAboutTheFiles) {
    FakeDialogView caution;
    orgs->initDelOrgDlg(caution);
    EXPECT_EQ(caution.caption(), "Delete Organisation");
    EXPECT_EQ(caution.text(cautiondlg::Text),
              "Deleting an organisation will cause all its data files to be deleted. You are "
              "strongly advised to back up these files before continuing.");
    EXPECT_EQ(ui.beeps, 1);
}

// Enter on each question keeps the organisation: No and Cancel are the
// defaults, so two presses of Enter can never delete it.
TEST_F(OrgsTest, EnterOnTheDeleteQuestionsKeepsTheOrganisation) {
    ASSERT_EQ(create("Alpha"), 1);
    ASSERT_EQ(create("Bravo"), 1);
    FakeDialogView list;
    ASSERT_EQ(orgs->initOrgList(list, "Delete Organisation"), 1);
    choose(list, "Alpha");
    ui.clear();
    ui.pressEnter = true;
    EXPECT_EQ(orgs->deleteOrg(list), 0);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].defaultAnswer, common::Answer::No);
    EXPECT_EQ(ui.messages[1].text, "Alpha has not been deleted.");
    EXPECT_TRUE(fs::exists(data("org01/database/static.dbf")));
    EXPECT_EQ(orgs->orgCount(), 2);

    // Past the first question by Yes, Enter on the second is Cancel.
    ui.clear();
    ui.answers = {common::Answer::Yes};
    EXPECT_EQ(orgs->deleteOrg(list), 0);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1].defaultAnswer, common::Answer::Cancel);
    EXPECT_EQ(ui.messages[2].text, "Alpha has not been deleted.");
    EXPECT_TRUE(fs::exists(data("org01/database/static.dbf")));
    EXPECT_EQ(orgs->orgCount(), 2);
}

TEST_F(OrgsTest, DeletingAsksTwiceThenRenumbersAndTheOpenOrganisationFollows) {
    ASSERT_EQ(create("Alpha"), 1);
    ASSERT_EQ(create("Bravo"), 1);
    ASSERT_EQ(create("Charlie"), 1); // open, org03
    FakeDialogView list;
    ASSERT_EQ(orgs->initOrgList(list, "Delete Organisation"), 1);
    choose(list, "Bravo");

    ui.clear();
    ui.answers = {common::Answer::No};
    EXPECT_EQ(orgs->deleteOrg(list, "supervisor"), 0);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Are you sure you want to delete Bravo and all its data files?");
    EXPECT_EQ(ui.messages[0].buttons, common::MessageButtons::YesNo);
    EXPECT_EQ(ui.messages[1].text, "Bravo has not been deleted.");

    ui.clear();
    ui.answers = {common::Answer::Yes, common::Answer::Cancel};
    EXPECT_EQ(orgs->deleteOrg(list), 0);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1].text, "Will now delete Bravo and all its data files.");
    EXPECT_EQ(ui.messages[1].buttons, common::MessageButtons::OkCancel);
    EXPECT_EQ(ui.messages[2].text, "Bravo has not been deleted.");
    EXPECT_TRUE(fs::exists(data("org02/database/static.dbf")));

    ui.clear();
    ui.answers = {common::Answer::Yes, common::Answer::Ok};
    ASSERT_EQ(orgs->deleteOrg(list), 1);
    EXPECT_EQ(ui.lastMessage(), "Bravo has been deleted.");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Information);
    EXPECT_FALSE(fs::exists(data("org03")));
    EXPECT_TRUE(fs::exists(data("org02/database/static.dbf"))); // Charlie's files now
    EXPECT_EQ(orgs->orgCount(), 2);
    EXPECT_EQ(storedRow("Charlie").folder, "../org02");
    EXPECT_EQ(storedRow("Charlie").orgNum, 2);
    EXPECT_EQ(storedRow("Alpha").folder, "../org01");
    const common::ORGREC& charlie = *orgs->getOpenOrg();
    EXPECT_EQ(charlie.name, "Charlie");
    EXPECT_EQ(charlie.orgNum, 2);
    EXPECT_EQ(charlie.folder, "../org02");
    EXPECT_EQ(folder.current(), data("org02"));
    // Later saves reach the renumbered row.
    orgs->incrBTrFileID();
    EXPECT_EQ(storedRow("Charlie").bTrFileID, 1);

    ASSERT_EQ(open("Alpha"), 1);
    EXPECT_EQ(folder.current(), data("org01"));
}

TEST_F(OrgsTest, DeletingBeforeTheOpenOrganisationLeavesItWhereItIs) {
    ASSERT_EQ(create("Alpha"), 1);
    ASSERT_EQ(create("Bravo"), 1);
    ASSERT_EQ(create("Charlie"), 1);
    ASSERT_EQ(open("Alpha"), 1);
    FakeDialogView list;
    orgs->initOrgList(list, "Delete Organisation");
    choose(list, "Bravo");
    ASSERT_EQ(orgs->deleteOrg(list), 1);
    EXPECT_EQ(orgs->getOpenOrg()->folder, "../org01");
    EXPECT_EQ(orgs->getOpenOrg()->orgNum, 1);
    EXPECT_EQ(folder.current(), data("org01"));
    EXPECT_EQ(storedRow("Charlie").folder, "../org02");
    EXPECT_TRUE(fs::exists(data("org02/database/static.dbf")));
    EXPECT_FALSE(fs::exists(data("org03")));
}

TEST_F(OrgsTest, TheOpenOrganisationIsNeverDeleted) {
    ASSERT_EQ(create("Alpha"), 1);
    FakeDialogView self;
    self.addItem(orglistdlg::List, "Alpha", 1);
    self.selectRow(orglistdlg::List, 0);
    EXPECT_EQ(orgs->deleteOrg(self), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(fs::exists(data("org01/database/static.dbf")));
    EXPECT_EQ(orgs->orgCount(), 1);
}

TEST_F(OrgsTest, ALockedTableStopsADeletionBeforeAnythingIsLost) {
    ASSERT_EQ(create("Alpha"), 1);
    ASSERT_EQ(create("Bravo"), 1);
    database::ORGDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_EQ(other.data()->lock(2), engine::r4success);
    FakeDialogView list;
    orgs->initOrgList(list, "Delete Organisation");
    choose(list, "Alpha");
    ui.clear();
    EXPECT_EQ(orgs->deleteOrg(list), 0);
    EXPECT_EQ(ui.lastMessage(),
              "Can't update ../system/settings/org.dbf because another user is using it.");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Warning);
    EXPECT_TRUE(fs::exists(data("org01/database/static.dbf")));
    EXPECT_EQ(orgs->orgCount(), 2);
}

TEST_F(OrgsTest, OnlyOrganisationFoldersAreDeleted) {
    ASSERT_EQ(create("Alpha"), 1);
    ASSERT_EQ(create("Bravo"), 1);
    {
        // A damaged row pointing elsewhere.
        database::ORGDB other(code, folder);
        ASSERT_TRUE(other.openFile());
        ASSERT_TRUE(other.findByName("Alpha"));
        other.data()->field("FOLDER")->assign("../system");
        ASSERT_EQ(other.data()->flush(), engine::r4success);
    }
    FakeDialogView list;
    orgs->initOrgList(list, "Delete Organisation");
    choose(list, "Alpha");
    ui.clear();
    EXPECT_EQ(orgs->deleteOrg(list), 0);
    EXPECT_EQ(ui.lastMessage(),
              "Cannot delete files in ../system as it is not a valid organisation directory.");
    EXPECT_TRUE(fs::exists(data("system/settings/org.dbf")));
    EXPECT_EQ(orgs->orgCount(), 2);

    struct Case {
        const char* path;
        bool valid;
    };
    const Case cases[] = {{"../org01", true},    {"..\\ORG07", true},       {"../org", false},
                          {"../org01/x", false}, {"../org01/../..", false}, {"org01", false},
                          {"../system", false},  {"/tmp/org01", false}};
    for (const Case& c : cases)
        EXPECT_EQ(isOrgFolderPath(c.path), c.valid) << c.path;
}

TEST_F(OrgsTest, DataFilesAloneCanBeDeleted) {
    fs::create_directories(data("org05/database"));
    fs::create_directories(data("org05/2026"));
    for (const char* name : {"database/static.dbf", "database/static.cdx", "database/monpay.dat",
                             "database/notes.txt", "2026/ytd.int"})
        std::ofstream(data(std::string("org05/") + name)) << "x";
    EXPECT_TRUE(deleteOrgFiles(ui, folder, "../org05", false));
    EXPECT_FALSE(fs::exists(data("org05/database/static.dbf")));
    EXPECT_FALSE(fs::exists(data("org05/database/monpay.dat")));
    EXPECT_TRUE(fs::exists(data("org05/database/static.cdx")));
    EXPECT_TRUE(fs::exists(data("org05/database/notes.txt")));
    EXPECT_TRUE(fs::exists(data("org05/2026/ytd.int")));
    EXPECT_NE(std::find(ui.statusTexts.begin(), ui.statusTexts.end(),
                        "Deleting ../org05/database/static.dbf..."),
              ui.statusTexts.end());
    EXPECT_TRUE(deleteOrgFiles(ui, folder, "../org05", true));
    EXPECT_FALSE(fs::exists(data("org05")));
    EXPECT_TRUE(deleteOrgFiles(ui, folder, "../org05", true)); // nothing left to delete
}

// ------------------------------------------------- operations without a dialog

TEST_F(OrgsTest, OperationsWithoutADialogKeepTheDialogsRules) {
    ASSERT_EQ(create("Alpha"), 1);
    struct Refusal {
        const char* what;
        ORGS::NewOrg org;
        const char* message;
    };
    const Refusal refusals[] = {
        {"blank name", {"   ", "March", 2026}, "Please enter name of organisation."},
        {"name taken in another case",
         {" ALPHA ", "March", 2026},
         "Organisation with this name already exists. Please enter a different name."},
        {"year too early", {"Bravo", "March", 1899}, "Entry for year field is invalid."},
        {"year too late", {"Bravo", "March", 3001}, "Entry for year field is invalid."},
        {"no such month", {"Bravo", "Marchember", 2026}, ""},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        ui.clear();
        EXPECT_EQ(orgs->createOrg(r.org), 0);
        EXPECT_EQ(ui.lastMessage(), r.message);
        EXPECT_EQ(orgs->orgCount(), 1);
        EXPECT_FALSE(fs::exists(data("org02")));
    }

    ASSERT_EQ(orgs->createOrg({"  Bravo Tea ", "july", 2026}), 1) << ui.lastMessage();
    const common::ORGREC& bravo = *orgs->getOpenOrg();
    EXPECT_EQ(bravo.name, "Bravo Tea");
    EXPECT_EQ(bravo.month, "July");
    EXPECT_EQ(bravo.fiscalYear, 2026);
    EXPECT_EQ(bravo.folder, "../org02");
    EXPECT_TRUE(fs::exists(data("org02/database/static.dbf")));

    ORGS::BasicInfo basic{"Bravo Tea Ltd",    "  2145 ", "Mbeya", "53110",
                          "+255 25 250 3120", "August",  2027};
    ui.clear();
    basic.name = "alpha";
    EXPECT_EQ(orgs->setBasicInfo(basic), 0);
    EXPECT_EQ(ui.lastMessage(),
              "Organisation with this name already exists. Please enter a different name.");
    EXPECT_EQ(storedRow("Bravo Tea").poBox, "");
    basic.name = "Bravo Tea Ltd";
    ASSERT_EQ(orgs->setBasicInfo(basic), 1);
    const common::ORGREC row = storedRow("Bravo Tea Ltd");
    EXPECT_EQ(row.poBox, "2145");
    EXPECT_EQ(row.town, "Mbeya");
    EXPECT_EQ(row.month, "August");
    EXPECT_EQ(row.year, 2027);
    EXPECT_EQ(row.fiscalYear, 2027);
    EXPECT_TRUE(fs::exists(data("org02/2027")));
    EXPECT_FALSE(fs::exists(data("org02/2026")));

    ORGS::PayInfo pay{"104-285-639", "NSSF/MBY/0081324", "MBY-REGION-CODE", "CRDB Bank",
                      "Mbeya",       "0150329874100",    "MHTE1X"};
    ASSERT_EQ(orgs->setPayInfo(pay), 1);
    const common::ORGREC payRow = storedRow("Bravo Tea Ltd");
    EXPECT_EQ(payRow.regionalCode, "MBY-REGIO"); // 9 characters
    EXPECT_EQ(payRow.sfiSenderId, "MHTE1");      // 5 characters
    EXPECT_EQ(payRow.bankName, "CRDB Bank");

    ASSERT_EQ(orgs->setPayOptions(false, true, 100), 1);
    EXPECT_EQ(storedRow("Bravo Tea Ltd").roundNetPay, 1);
    EXPECT_EQ(storedRow("Bravo Tea Ltd").roundingUnit, 100);
    EXPECT_EQ(storedRow("Bravo Tea Ltd").taxEmployerPension, 0);
    ASSERT_EQ(orgs->setPayOptions(true, false, 0), 1);
    EXPECT_EQ(storedRow("Bravo Tea Ltd").roundNetPay, 0);
    EXPECT_EQ(storedRow("Bravo Tea Ltd").roundingUnit, 100); // kept for the next switch
    ui.clear();
    EXPECT_EQ(orgs->setPayOptions(true, true, -5), 0);
    EXPECT_EQ(ui.lastMessage(), "Entry for rounding amount is invalid.");
    EXPECT_EQ(storedRow("Bravo Tea Ltd").paySdl, 0);
}

} // namespace
} // namespace kelo::setup::testing
