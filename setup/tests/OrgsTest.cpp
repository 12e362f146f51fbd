#include "setup/Orgs.h"

#include "common/TaggedFile.h"
#include "database/PayeDb.h"
#include "database/UsersDb.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kelo::setup {
namespace {

namespace fs = std::filesystem;
using testsupport::FakeDialogView;

class OrgsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("data/system/settings"));
        folder = common::WorkingFolder(dir.file("data"));
        ASSERT_TRUE(database::ORGDB(code, folder).createFile(ui));
        orgs = std::make_unique<ORGS>(ui, code, folder);
        ui.clear();
    }

    int create(const std::string& name, const char* month = "March", const char* year = "2026") {
        FakeDialogView dialog;
        orgs->initNewOrgDlg(dialog);
        dialog.setText(orgdlg::Name, name);
        dialog.selectRow(orgdlg::Month, dialog.findItem(orgdlg::Month, month));
        dialog.setText(orgdlg::Year, year);
        return orgs->createNewOrg(dialog);
    }

    int open(const std::string& name) {
        FakeDialogView list;
        orgs->initOrgList(list, "Open Organisation");
        list.selectRow(orglistdlg::List, list.findItem(orglistdlg::List, name));
        return orgs->openSelOrg(list);
    }

    std::string data(const std::string& path) const { return dir.file("data/" + path); }

    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    engine::Code4 code;
    common::WorkingFolder folder;
    std::unique_ptr<ORGS> orgs;
};

TEST_F(OrgsTest, NoOrganisationIsOpenAtFirst) {
    EXPECT_EQ(orgs->getOpenOrg()->name, "");
    EXPECT_EQ(orgs->getOpenOrg()->orgNum, 0);
    EXPECT_EQ(orgs->orgCount(), 0);
    FakeDialogView list;
    EXPECT_EQ(orgs->initOrgList(list, "Open Organisation"), 0);
    EXPECT_EQ(ui.lastMessage(), "No other organisations were found.");
}

TEST_F(OrgsTest, CreatingMakesTheFolderTreeTablesAndDefinitionsAndOpensIt) {
    ASSERT_EQ(create("Kilimanjaro Coffee", "June", "2026"), 1) << ui.lastMessage();
    const common::ORGREC& org = *orgs->getOpenOrg();
    EXPECT_EQ(org.orgNum, 1);
    EXPECT_EQ(org.folder, "../org01");
    EXPECT_EQ(org.fiscalYear, 2025); // June belongs to the year that began last July
    EXPECT_EQ(org.weekEndDay, 1);
    EXPECT_EQ(org.monthEditable, 1);
    EXPECT_EQ(org.roundingUnit, 10);
    EXPECT_EQ(orgs->caption(), "Kelo Roster - Kilimanjaro Coffee");
    EXPECT_EQ(folder.current(), data("org01"));
    for (const char* path :
         {"org01/database/static.dbf", "org01/database/monpay.dbf", "org01/database/irrpay.dbf",
          "org01/database/absence.dbf", "org01/settings/options.dbf", "org01/settings/paylog.dbf",
          "org01/graphics", "org01/2026"})
        EXPECT_TRUE(fs::exists(data(path))) << path;
    for (const char* path : {"database/monpay.dat", "database/wkpay.dat", "database/bwkpay.dat",
                             "database/irrpay.dat"})
        EXPECT_TRUE(common::checkFileId(ui, folder.resolve(path), path)) << ui.lastMessage();
    common::TaggedReader reader(folder.resolve("database/monpay.dat"));
    ASSERT_TRUE(reader.skipFileId());
    ASSERT_TRUE(reader.findTag("earnings", common::TagKind::BlockStart));
    ASSERT_TRUE(reader.findTag("item", common::TagKind::GroupStart));
    std::vector<std::string> values(11);
    for (std::string& v : values)
        ASSERT_TRUE(reader.readValue(v));
    EXPECT_EQ(values,
              (std::vector<std::string>{"1", "1", "Basic Pay", "Basic Pay", "Use Built-In Function",
                                        "0", "0", "200000", "0", "1", "1"}));

    ASSERT_EQ(create("Second", "July", "2026"), 1);
    EXPECT_EQ(orgs->getOpenOrg()->fiscalYear, 2026);
    EXPECT_EQ(orgs->getOpenOrg()->folder, "../org02");
    EXPECT_EQ(folder.current(), data("org02"));
}

TEST_F(OrgsTest, NameAndYearValidation) {
    ASSERT_EQ(create("Tanga Sisal"), 1);
    struct Case {
        const char* name;
        const char* year;
        const char* message;
    };
    const Case cases[] = {
        {"   ", "2026", "Please enter name of organisation."},
        {"TANGA SISAL", "2026",
         "Organisation with this name already exists. Please enter a different name."},
        {"New One", "1899", "Entry for year field is invalid."},
        {"New One", "20x6", "Entry for year field is invalid."},
    };
    for (const Case& c : cases) {
        ui.clear();
        EXPECT_EQ(create(c.name, "March", c.year), 0) << c.name;
        EXPECT_EQ(ui.lastMessage(), c.message) << c.name;
    }
    EXPECT_EQ(orgs->orgCount(), 1);
}

TEST_F(OrgsTest, TheHundredthOrganisationIsRefused) {
    database::ORGDB table(code, folder);
    ASSERT_TRUE(table.openFile());
    for (int i = 1; i <= 98; ++i) {
        table.data()->appendStart();
        table.data()->blank();
        table.storeRec(common::newOrgRec(i));
        table.data()->field("NAME")->assign("Org " + std::to_string(i));
        ASSERT_EQ(table.data()->append(), engine::r4success);
    }
    table.closeFile();
    EXPECT_EQ(orgs->hasMaxOrg(), 0);
    ASSERT_EQ(create("The 99th"), 1);
    EXPECT_EQ(orgs->getOpenOrg()->folder, "../org99");
    EXPECT_EQ(orgs->hasMaxOrg(), 1);
    EXPECT_EQ(ui.lastMessage(),
              "You already have 99 organisations which is the maximum supported.");
}

TEST_F(OrgsTest, PeriodEndsAndMonthEnds) {
    ASSERT_EQ(create("Periods", "January", "2026"), 1);
    struct Case {
        common::PAYFREQ freq;
        int start, atMonthEnd, after;
    };
    // January has 31 days.
    const Case cases[] = {
        {common::WEEKLY, 28, 1, 4},   {common::WEEKLY, 31, 1, 7},    {common::WEEKLY, 3, 1, 7},
        {common::WEEKLY, 3, 0, 10},   {common::BIWEEKLY, 28, 1, 11}, {common::BIWEEKLY, 14, 0, 28},
        {common::IRREGULAR, 3, 0, 4}, {common::IRREGULAR, 3, 1, 1},
    };
    for (const Case& c : cases) {
        common::ORGREC& org = const_cast<common::ORGREC&>(*orgs->getOpenOrg());
        org.weekEndDay = org.fortnightEndDay = org.irregEndDay = c.start;
        orgs->incrPeriodEndDay(c.freq, c.atMonthEnd);
        const int after = c.freq == common::WEEKLY     ? org.weekEndDay
                          : c.freq == common::BIWEEKLY ? org.fortnightEndDay
                                                       : org.irregEndDay;
        EXPECT_EQ(after, c.after) << c.freq << " from " << c.start;
        EXPECT_EQ(org.monthEditable, 0);
    }
    // The row holds what memory holds.
    database::ORGDB table(code, folder);
    ASSERT_TRUE(table.openFile());
    ASSERT_TRUE(table.findByName("Periods"));
    common::ORGREC stored;
    table.loadRec(stored);
    EXPECT_EQ(stored.irregEndDay, 1);
    EXPECT_EQ(stored.weekEndEditable, 0);
    EXPECT_EQ(stored.fortnightEndEditable, 0);
}

TEST_F(OrgsTest, MonthsAdvanceIntoNewYearsAndFiscalYears) {
    ASSERT_EQ(create("Months", "November", "2026"), 1);
    const common::ORGREC& org = *orgs->getOpenOrg();
    EXPECT_EQ(org.fiscalYear, 2026);
    orgs->incrMonth();
    orgs->incrMonth();
    EXPECT_EQ(org.month, "January");
    EXPECT_EQ(org.year, 2027);
    EXPECT_TRUE(fs::is_directory(data("org01/2027")));
    EXPECT_EQ(org.fiscalYear, 2026);
    for (int i = 0; i < 6; ++i)
        orgs->incrMonth();
    EXPECT_EQ(org.month, "July");
    EXPECT_EQ(org.fiscalYear, 2027);
    orgs->incrBTrFileID();
    EXPECT_EQ(org.bTrFileID, 1);
}

TEST_F(OrgsTest, CautionTexts) {
    ASSERT_EQ(create("Texts", "December", "2026"), 1);
    common::ORGREC& org = const_cast<common::ORGREC&>(*orgs->getOpenOrg());
    FakeDialogView caution;
    orgs->initMonEndDlg(caution);
    EXPECT_EQ(caution.caption(), "Month End Procedure");
    EXPECT_EQ(caution.text(cautiontext::Text),
              "Running the month end procedure will close data entry for December 2026.  "
              "Subsequent payroll and personnel entries will appear in January 2027.");
    org.payFreq = common::WEEKLY;
    org.weekEndDay = 5;
    orgs->initPeriodEndDlg(caution);
    EXPECT_EQ(caution.caption(), "Period End Procedure");
    EXPECT_EQ(caution.text(cautiontext::Text),
              "Running the period end procedure will close the payroll  for the week ending 5 "
              "December 2026.");
    EXPECT_EQ(ui.beeps, 2);
}

TEST_F(OrgsTest, BasicInfoRenamesTheYearFolderAndClampsEndDays) {
    ASSERT_EQ(create("Basic", "January", "2009"), 1);
    common::ORGREC& org = const_cast<common::ORGREC&>(*orgs->getOpenOrg());
    org.weekEndDay = 31;
    FakeDialogView dialog;
    orgs->displayBasicInfo(dialog);
    EXPECT_TRUE(dialog.isEnabled(orgdlg::Year));
    EXPECT_EQ(dialog.text(orgdlg::Folder), data("org01"));
    dialog.setText(orgdlg::Year, "2010");
    dialog.selectRow(orgdlg::Month, dialog.findItem(orgdlg::Month, "February"));
    dialog.setText(orgdlg::Town, "  Moshi  ");
    dialog.setText(orgdlg::Name, "Basic Renamed");
    ASSERT_EQ(orgs->saveBasicInfo(dialog), 1) << ui.lastMessage();
    EXPECT_FALSE(fs::exists(data("org01/2009")));
    EXPECT_TRUE(fs::is_directory(data("org01/2010")));
    EXPECT_EQ(org.weekEndDay, 28);
    EXPECT_EQ(org.fiscalYear, 2009);
    EXPECT_EQ(org.town, "Moshi");
    database::ORGDB table(code, folder);
    ASSERT_TRUE(table.openFile());
    EXPECT_TRUE(table.findByName("Basic Renamed"));

    orgs->incrMonth(); // the month is no longer editable
    orgs->displayBasicInfo(dialog);
    EXPECT_FALSE(dialog.isEnabled(orgdlg::Year));
}

TEST_F(OrgsTest, DeletingRenumbersTheFoldersThatFollow) {
    ASSERT_EQ(create("Alpha"), 1);
    ASSERT_EQ(create("Bravo"), 1);
    ASSERT_EQ(create("Charlie"), 1); // open
    FakeDialogView list;
    ASSERT_EQ(orgs->initOrgList(list, "Delete Organisation"), 1);
    list.selectRow(orglistdlg::List, list.findItem(orglistdlg::List, "Bravo"));
    ui.answers = {common::Answer::No};
    EXPECT_EQ(orgs->deleteOrg(list), 0);
    EXPECT_EQ(ui.lastMessage(), "Bravo has not been deleted.");
    ui.answers = {common::Answer::Yes, common::Answer::Cancel};
    EXPECT_EQ(orgs->deleteOrg(list), 0);
    EXPECT_TRUE(fs::exists(data("org02")));
    ui.answers = {common::Answer::Yes, common::Answer::Ok};
    ASSERT_EQ(orgs->deleteOrg(list), 1);
    EXPECT_EQ(ui.lastMessage(), "Bravo has been deleted.");
    EXPECT_FALSE(fs::exists(data("org03")));
    EXPECT_TRUE(fs::exists(data("org02/database/static.dbf"))); // Charlie's files
    EXPECT_EQ(orgs->getOpenOrg()->name, "Charlie");
    EXPECT_EQ(orgs->getOpenOrg()->orgNum, 2);
    EXPECT_EQ(orgs->getOpenOrg()->folder, "../org02");
    EXPECT_EQ(folder.current(), data("org02"));
    EXPECT_EQ(orgs->orgCount(), 2);
    ASSERT_EQ(open("Alpha"), 1);
    EXPECT_EQ(folder.current(), data("org01"));

    // The open organisation is never deleted.
    FakeDialogView self;
    self.addItem(orglistdlg::List, "Alpha", 1);
    self.selectRow(orglistdlg::List, 0);
    EXPECT_EQ(orgs->deleteOrg(self), 0);
    EXPECT_TRUE(fs::exists(data("org01")));
}

TEST_F(OrgsTest, OptionsDialogsCheckTheirEntries) {
    ASSERT_EQ(create("Options"), 1);
    FakeDialogView pay;
    orgs->displayPayOptions(pay);
    EXPECT_TRUE(pay.isChecked(payoptionsdlg::PayExact));
    EXPECT_FALSE(pay.isEnabled(payoptionsdlg::RoundingUnit));
    pay.setChecked(payoptionsdlg::PayExact, false);
    pay.setChecked(payoptionsdlg::RoundDown, true);
    orgs->resetRounding(pay);
    EXPECT_EQ(pay.text(payoptionsdlg::RoundingUnit), "10");
    for (const char* bad : {"0", "-5", "ten", ""}) {
        pay.setText(payoptionsdlg::RoundingUnit, bad);
        EXPECT_EQ(orgs->savePayOptions(pay), 0) << bad;
        EXPECT_EQ(ui.lastMessage(), "Entry for rounding amount is invalid.");
    }
    pay.setText(payoptionsdlg::RoundingUnit, "1000");
    pay.setChecked(payoptionsdlg::PaySdl, false);
    ASSERT_EQ(orgs->savePayOptions(pay), 1);
    EXPECT_EQ(orgs->getOpenOrg()->roundNetPay, 1);
    EXPECT_EQ(orgs->getOpenOrg()->roundingUnit, 1000);
    EXPECT_EQ(orgs->getOpenOrg()->paySdl, 0);

    FakeDialogView general;
    orgs->initGenOptnDlg(general);
    general.setChecked(genoptionsdlg::RetainReports, false);
    general.setChecked(genoptionsdlg::PurgeReports, true);
    orgs->resetGenOptnDlg(general);
    general.setText(genoptionsdlg::PurgeAge, "1");
    EXPECT_EQ(orgs->closeGenOptnDlg(general), 0);
    EXPECT_EQ(ui.lastMessage(), "Entry for age at which to purge reports is invalid.");
    general.setText(genoptionsdlg::PurgeAge, "3");
    general.setChecked(genoptionsdlg::SortByLastName, true);
    ASSERT_EQ(orgs->closeGenOptnDlg(general), 1);
    EXPECT_EQ(orgs->getOpenOrg()->purgeAge, 3);
    EXPECT_EQ(orgs->getOpenOrg()->formSortKey, 1);
}

TEST_F(OrgsTest, ALockedRowKeepsTheTableAsItWas) {
    ASSERT_EQ(create("Locked"), 1);
    database::ORGDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_EQ(other.data()->lock(1), engine::r4success);
    ui.clear();
    orgs->incrBTrFileID();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(orgs->getOpenOrg()->bTrFileID, 1); // memory keeps the new value
    other.data()->unlock();
    other.data()->go(1);
    common::ORGREC stored;
    other.loadRec(stored);
    EXPECT_EQ(stored.bTrFileID, 0);
}

TEST_F(OrgsTest, OnlyYearFoldersOldEnoughArePurged) {
    ASSERT_EQ(create("Purge", "March", "2026"), 1);
    for (const char* name : {"2020", "2023", "2024", "02020", "2020a"}) {
        fs::create_directories(data(std::string("org01/") + name));
        std::ofstream(data(std::string("org01/") + name + "/ytd.dbf")) << "x";
    }
    orgs->delRepFiles(); // purge age 2: years before 2024
    EXPECT_FALSE(fs::exists(data("org01/2020")));
    EXPECT_FALSE(fs::exists(data("org01/2023")));
    EXPECT_TRUE(fs::exists(data("org01/2024/ytd.dbf")));
    EXPECT_TRUE(fs::exists(data("org01/02020/ytd.dbf")));
    EXPECT_TRUE(fs::exists(data("org01/2020a/ytd.dbf")));
    EXPECT_TRUE(fs::exists(data("org01/database/static.dbf")));
}

TEST_F(OrgsTest, NewStatutoryFilesFromSourceThenFromThePreviousYear) {
    ASSERT_EQ(create("Statutory", "March", "2026"), 1); // fiscal year 2025
    ASSERT_EQ(orgs->newStatutoryFiles(KELO_SOURCE_FOLDER), 1);
    EXPECT_EQ(ui.lastMessage(), "New PAYE, NSSF and SDL files for the year 2025/2026 have just "
                                "been created. Please review them and update if necessary.");
    EXPECT_EQ(orgs->newStatutoryFiles(KELO_SOURCE_FOLDER), 0);
    for (int i = 0; i < 4; ++i)
        orgs->incrMonth(); // into July: fiscal year 2026
    ASSERT_EQ(orgs->newStatutoryFiles("/no/such/source"), 1);
    database::PAYEDB paye(code, folder);
    EXPECT_TRUE(paye.checkFile(2026));
}

} // namespace
} // namespace kelo::setup
