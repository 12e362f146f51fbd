// Basic Organisation Info, Payroll Info, Payroll Options and General Options.
#include "OrgsFixture.h"
#include "database/BanksDb.h"
#include "setup/OptionsDlg.h"

#include <fstream>

namespace kelo::setup::testing {
namespace {

class OrgDialogsTest : public OrgsFixture {
protected:
    // The shared banks and branches tables with a few rows.
    void makeBanks() {
        database::BANKSDB banks(code, folder);
        ASSERT_TRUE(banks.newBankFile(ui));
        ASSERT_TRUE(banks.newBranchFile(ui));
        ASSERT_TRUE(banks.openFiles());
        const auto add = [](engine::Data4& table,
                            std::initializer_list<std::pair<const char*, const char*>> values) {
            ASSERT_EQ(table.appendStart(), engine::r4success);
            table.blank();
            for (const auto& [column, value] : values)
                table.field(column)->assign(value);
            ASSERT_EQ(table.append(), engine::r4success);
        };
        add(*banks.bankData(), {{"NAME", "NMB"}, {"CODE", "12"}});
        add(*banks.bankData(), {{"NAME", "CRDB Bank"}, {"CODE", "03"}});
        add(*banks.branchData(), {{"BANK", "NMB"}, {"NAME", "Azikiwe"}, {"CODE", "001"}});
        add(*banks.branchData(), {{"BANK", "CRDB Bank"}, {"NAME", "Samora"}, {"CODE", "002"}});
        add(*banks.branchData(), {{"BANK", "CRDB Bank"}, {"NAME", "Mwanza"}, {"CODE", "110"}});
        banks.closeFiles();
        ui.clear();
    }
};

TEST_F(OrgDialogsTest, BasicInfoShowsTheRecordAndLocksThePeriodOnceClosed) {
    ASSERT_EQ(create("Basic", "May", "2026"), 1);
    common::ORGREC& org = openOrg();
    org.poBox = "1234";
    org.town = "Arusha";
    org.postCode = "23101";
    org.telephone = "027 250 0000";
    FakeDialogView dialog;
    orgs->displayBasicInfo(dialog);
    EXPECT_EQ(dialog.text(orgdlg::Name), "Basic");
    EXPECT_EQ(dialog.text(orgdlg::Folder), data("org01"));
    EXPECT_EQ(dialog.text(orgdlg::PoBox), "1234");
    EXPECT_EQ(dialog.text(orgdlg::Town), "Arusha");
    EXPECT_EQ(dialog.text(orgdlg::PostCode), "23101");
    EXPECT_EQ(dialog.text(orgdlg::Telephone), "027 250 0000");
    EXPECT_EQ(dialog.itemCount(orgdlg::Month), 12);
    EXPECT_EQ(dialog.itemText(orgdlg::Month, dialog.selectedRow(orgdlg::Month)), "May");
    EXPECT_EQ(dialog.text(orgdlg::Year), "2026");
    EXPECT_TRUE(dialog.isEnabled(orgdlg::Month));
    EXPECT_TRUE(dialog.isEnabled(orgdlg::Year));

    orgs->incrPeriodEndDay(common::WEEKLY, 0);
    FakeDialogView closed;
    orgs->displayBasicInfo(closed);
    EXPECT_FALSE(closed.isEnabled(orgdlg::Month));
    EXPECT_FALSE(closed.isEnabled(orgdlg::Year));
    // Whatever the disabled fields hold, the period stays.
    closed.setText(orgdlg::Year, "2030");
    closed.selectRow(orgdlg::Month, 0);
    ASSERT_EQ(orgs->saveBasicInfo(closed), 1);
    EXPECT_EQ(org.month, "May");
    EXPECT_EQ(org.year, 2026);
    EXPECT_TRUE(fs::is_directory(data("org01/2026")));
    EXPECT_FALSE(fs::exists(data("org01/2030")));
}

TEST_F(OrgDialogsTest, ChangingTheYearRenamesItsFolderAndEndDaysFitTheNewMonth) {
    ASSERT_EQ(create("Basic", "January", "2009"), 1);
    common::ORGREC& org = openOrg();
    org.weekEndDay = 31;
    org.fortnightEndDay = 29;
    org.irregEndDay = 30;
    std::ofstream(data("org01/2009/ytd.dbf")) << "x";
    FakeDialogView dialog;
    orgs->displayBasicInfo(dialog);
    dialog.setText(orgdlg::Year, "2010");
    dialog.selectRow(orgdlg::Month, dialog.findItem(orgdlg::Month, "February"));
    ASSERT_EQ(orgs->saveBasicInfo(dialog), 1) << ui.lastMessage();
    EXPECT_FALSE(fs::exists(data("org01/2009")));
    EXPECT_TRUE(fs::exists(data("org01/2010/ytd.dbf")));
    EXPECT_EQ(org.month, "February");
    EXPECT_EQ(org.year, 2010);
    EXPECT_EQ(org.fiscalYear, 2009);
    EXPECT_EQ(org.weekEndDay, 28);
    EXPECT_EQ(org.fortnightEndDay, 28);
    EXPECT_EQ(org.irregEndDay, 28);
    const common::ORGREC stored = storedRow("Basic");
    EXPECT_EQ(stored.year, 2010);
    EXPECT_EQ(stored.month, "February");
    EXPECT_EQ(stored.weekEndDay, 28);
    EXPECT_EQ(stored.fiscalYear, 2009);

    // Into the second half of the year the fiscal year is the calendar year.
    dialog.selectRow(orgdlg::Month, dialog.findItem(orgdlg::Month, "August"));
    ASSERT_EQ(orgs->saveBasicInfo(dialog), 1);
    EXPECT_EQ(org.fiscalYear, 2010);
    EXPECT_EQ(org.weekEndDay, 28); // nothing to lower in a 31-day month
}

TEST_F(OrgDialogsTest, BasicInfoSavesTheAddressAndANewNameUnderTheOldRow) {
    ASSERT_EQ(create("Other"), 1);
    ASSERT_EQ(create("Basic"), 1);
    FakeDialogView dialog;
    orgs->displayBasicInfo(dialog);
    dialog.setText(orgdlg::Name, "  Basic Renamed  ");
    dialog.setText(orgdlg::PoBox, " 123456789012 ");
    dialog.setText(orgdlg::Town, "  Moshi  ");
    dialog.setText(orgdlg::PostCode, "25101");
    dialog.setText(orgdlg::Telephone, std::string(25, '7'));
    ASSERT_EQ(orgs->saveBasicInfo(dialog), 1);
    EXPECT_EQ(orgs->caption(), "Kelo Roster - Basic Renamed");
    const common::ORGREC stored = storedRow("Basic Renamed");
    EXPECT_EQ(stored.orgNum, 2);
    EXPECT_EQ(stored.poBox, "123456789");
    EXPECT_EQ(stored.town, "Moshi");
    EXPECT_EQ(stored.postCode, "25101");
    EXPECT_EQ(stored.telephone, std::string(19, '7'));
    EXPECT_EQ(storedRow("Basic").orgNum, 0); // no row of the old name is left
    EXPECT_EQ(orgs->orgCount(), 2);

    // Its own name in another case is no clash; another organisation's is.
    dialog.setText(orgdlg::Name, "BASIC RENAMED");
    EXPECT_EQ(orgs->saveBasicInfo(dialog), 1);
    EXPECT_EQ(storedRow("Basic Renamed").name, "BASIC RENAMED");
    ui.clear();
    dialog.setText(orgdlg::Name, "other");
    EXPECT_EQ(orgs->saveBasicInfo(dialog), 0);
    EXPECT_EQ(ui.lastMessage(),
              "Organisation with this name already exists. Please enter a different name.");
    EXPECT_EQ(dialog.focus(), orgdlg::Name);
    dialog.setText(orgdlg::Name, "Fine");
    dialog.setText(orgdlg::Year, "0");
    EXPECT_EQ(orgs->saveBasicInfo(dialog), 0);
    EXPECT_EQ(ui.lastMessage(), "Entry for year field is invalid.");
    EXPECT_EQ(orgs->getOpenOrg()->name, "BASIC RENAMED");
}

TEST_F(OrgDialogsTest, PayrollInfoListsBanksAndTheChosenBanksBranches) {
    makeBanks();
    ASSERT_EQ(create("Payroll"), 1);
    common::ORGREC& org = openOrg();
    org.bankName = "crdb bank"; // names compare without regard to case
    org.branchName = "Mwanza";
    org.accountNum = "0150-123";
    org.sfiSenderId = "KRS";
    org.itNum = "100-200-300";
    FakeDialogView dialog;
    orgs->displayPayInfo(dialog);
    EXPECT_EQ(dialog.text(payinfodlg::ItNum), "100-200-300");
    EXPECT_EQ(dialog.itemTexts(payinfodlg::Bank),
              (std::vector<std::string>{"", "CRDB Bank", "NMB"}));
    EXPECT_EQ(dialog.selectedRow(payinfodlg::Bank), 1);
    EXPECT_EQ(dialog.itemTexts(payinfodlg::Branch),
              (std::vector<std::string>{"", "Mwanza", "Samora"}));
    EXPECT_EQ(dialog.selectedRow(payinfodlg::Branch), 1);
    EXPECT_EQ(dialog.text(payinfodlg::AccountNum), "0150-123");
    EXPECT_EQ(dialog.text(payinfodlg::SfiSenderId), "KRS");

    dialog.selectRow(payinfodlg::Bank, dialog.findItem(payinfodlg::Bank, "NMB"));
    orgs->resetBranches(dialog);
    EXPECT_EQ(dialog.itemTexts(payinfodlg::Branch), (std::vector<std::string>{"", "Azikiwe"}));
    EXPECT_EQ(dialog.selectedRow(payinfodlg::Branch), 0);
    EXPECT_EQ(dialog.text(payinfodlg::AccountNum), "");

    dialog.selectRow(payinfodlg::Branch, 1);
    dialog.setText(payinfodlg::ItNum, "  " + std::string(25, '1') + "  ");
    dialog.setText(payinfodlg::NssfNum, " NSSF-9 ");
    dialog.setText(payinfodlg::RegionalCode, "12345678901");
    dialog.setText(payinfodlg::AccountNum, " 2011-77 ");
    dialog.setText(payinfodlg::SfiSenderId, "KELOROSTER");
    ASSERT_EQ(orgs->savePayInfo(dialog), 1);
    const common::ORGREC stored = storedRow("Payroll");
    EXPECT_EQ(stored.itNum, std::string(19, '1'));
    EXPECT_EQ(stored.nssfNum, "NSSF-9");
    EXPECT_EQ(stored.regionalCode, "123456789");
    EXPECT_EQ(stored.bankName, "NMB");
    EXPECT_EQ(stored.branchName, "Azikiwe");
    EXPECT_EQ(stored.accountNum, "2011-77");
    EXPECT_EQ(stored.sfiSenderId, "KELOR");
    EXPECT_EQ(orgs->getOpenOrg()->bankName, "NMB");

    // Saving closed the banks tables: they open exclusively again.
    database::BANKSDB banks(code, folder);
    EXPECT_TRUE(banks.openFiles(true));
    banks.closeFiles();
    orgs->displayPayInfo(dialog);
    EXPECT_FALSE(banks.openFiles(true));
    code.setErrorCode(0);
    orgs->closeBankFiles();
    EXPECT_TRUE(banks.openFiles(true));
}

TEST_F(OrgDialogsTest, PayrollInfoWithoutBanksOffersTheEmptyEntryOnly) {
    ASSERT_EQ(create("No Banks"), 1);
    FakeDialogView dialog;
    orgs->displayPayInfo(dialog);
    EXPECT_EQ(dialog.itemTexts(payinfodlg::Bank), (std::vector<std::string>{""}));
    EXPECT_EQ(dialog.itemTexts(payinfodlg::Branch), (std::vector<std::string>{""}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(code.errorCode(), 0);
    orgs->closeBankFiles();
}

TEST_F(OrgDialogsTest, PayrollOptionsCheckTheRoundingUnit) {
    ASSERT_EQ(create("Options"), 1);
    FakeDialogView pay;
    orgs->displayPayOptions(pay);
    EXPECT_TRUE(pay.isChecked(payoptionsdlg::TaxEmployerPension));
    EXPECT_TRUE(pay.isChecked(payoptionsdlg::PaySdl));
    EXPECT_TRUE(pay.isChecked(payoptionsdlg::PayExact));
    EXPECT_FALSE(pay.isChecked(payoptionsdlg::RoundDown));
    EXPECT_FALSE(pay.isEnabled(payoptionsdlg::RoundingUnit));
    pay.setChecked(payoptionsdlg::PayExact, false);
    pay.setChecked(payoptionsdlg::RoundDown, true);
    orgs->resetRounding(pay);
    EXPECT_TRUE(pay.isEnabled(payoptionsdlg::RoundingUnit));
    EXPECT_EQ(pay.text(payoptionsdlg::RoundingUnit), "10");
    for (const char* bad : {"0", "-5", "ten", "", "10.5", "99999999999"}) {
        ui.clear();
        pay.setText(payoptionsdlg::RoundingUnit, bad);
        EXPECT_EQ(orgs->savePayOptions(pay), 0) << bad;
        EXPECT_EQ(ui.lastMessage(), "Entry for rounding amount is invalid.") << bad;
        EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Information);
        EXPECT_EQ(pay.focus(), payoptionsdlg::RoundingUnit);
    }
    EXPECT_EQ(orgs->getOpenOrg()->roundNetPay, 0);
    pay.setText(payoptionsdlg::RoundingUnit, " 1000 ");
    pay.setChecked(payoptionsdlg::PaySdl, false);
    ASSERT_EQ(orgs->savePayOptions(pay), 1);
    common::ORGREC stored = storedRow("Options");
    EXPECT_EQ(stored.roundNetPay, 1);
    EXPECT_EQ(stored.roundingUnit, 1000);
    EXPECT_EQ(stored.paySdl, 0);
    EXPECT_EQ(stored.taxEmployerPension, 1);

    FakeDialogView again;
    orgs->displayPayOptions(again);
    EXPECT_TRUE(again.isChecked(payoptionsdlg::RoundDown));
    EXPECT_EQ(again.text(payoptionsdlg::RoundingUnit), "1000");
    // Exact pay keeps the unit for later and ignores the field.
    again.setChecked(payoptionsdlg::RoundDown, false);
    again.setChecked(payoptionsdlg::PayExact, true);
    orgs->resetRounding(again);
    EXPECT_EQ(again.text(payoptionsdlg::RoundingUnit), "");
    EXPECT_FALSE(again.isEnabled(payoptionsdlg::RoundingUnit));
    ASSERT_EQ(orgs->savePayOptions(again), 1);
    stored = storedRow("Options");
    EXPECT_EQ(stored.roundNetPay, 0);
    EXPECT_EQ(stored.roundingUnit, 1000);
}

TEST_F(OrgDialogsTest, TheTaxAverageBoxKeepsThePayrollsOwnOption) {
    ASSERT_EQ(create("Average"), 1);
    OPTIONSDLG options(code, folder);
    FakeDialogView pay;
    options.displayPayOptions(pay);
    EXPECT_TRUE(pay.isEnabled(payoptionsdlg::TaxAverage));
    EXPECT_FALSE(pay.isChecked(payoptionsdlg::TaxAverage));
    pay.setChecked(payoptionsdlg::TaxAverage, true);
    ASSERT_TRUE(options.getPayOptions(ui, pay));

    FakeDialogView again;
    options.displayPayOptions(again);
    EXPECT_TRUE(again.isChecked(payoptionsdlg::TaxAverage));
    ASSERT_TRUE(options.openFile());
    EXPECT_EQ(options.getValue(database::kPayrollOptionsId, database::kOptionAverage), 1);
    options.closeFile();

    // Held by another user: the box cannot be used and nothing is stored.
    engine::Code4 otherUser;
    database::OPTIONSDB other(otherUser, folder);
    ASSERT_TRUE(other.openFile(true));
    FakeDialogView held;
    options.displayPayOptions(held);
    EXPECT_FALSE(held.isEnabled(payoptionsdlg::TaxAverage));
    EXPECT_TRUE(options.getPayOptions(ui, held));
    EXPECT_EQ(other.getValue(database::kPayrollOptionsId, database::kOptionAverage), 1);

    // Taken by another user between display and OK: told, and nothing stored.
    other.closeFile();
    FakeDialogView late;
    options.displayPayOptions(late);
    ASSERT_TRUE(late.isEnabled(payoptionsdlg::TaxAverage));
    late.setChecked(payoptionsdlg::TaxAverage, false);
    ASSERT_TRUE(other.openFile(true));
    ui.clear();
    EXPECT_FALSE(options.getPayOptions(ui, late));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Warning);
    EXPECT_EQ(ui.lastMessage(),
              "Can't update settings/options.dbf because another user is using it.");
    EXPECT_EQ(other.getValue(database::kPayrollOptionsId, database::kOptionAverage), 1);
}

TEST_F(OrgDialogsTest, GeneralOptionsCheckThePurgeAge) {
    ASSERT_EQ(create("General"), 1);
    FakeDialogView general;
    orgs->initGenOptnDlg(general);
    EXPECT_TRUE(general.isChecked(genoptionsdlg::SortByNumber));
    EXPECT_FALSE(general.isChecked(genoptionsdlg::SortByLastName));
    EXPECT_TRUE(general.isChecked(genoptionsdlg::RetainReports));
    EXPECT_FALSE(general.isEnabled(genoptionsdlg::PurgeAge));
    general.setChecked(genoptionsdlg::RetainReports, false);
    general.setChecked(genoptionsdlg::PurgeReports, true);
    orgs->resetGenOptnDlg(general);
    EXPECT_TRUE(general.isEnabled(genoptionsdlg::PurgeAge));
    EXPECT_EQ(general.text(genoptionsdlg::PurgeAge), "2");
    for (const char* bad : {"1", "0", "-3", "two", ""}) {
        ui.clear();
        general.setText(genoptionsdlg::PurgeAge, bad);
        EXPECT_EQ(orgs->closeGenOptnDlg(general), 0) << bad;
        EXPECT_EQ(ui.lastMessage(), "Entry for age at which to purge reports is invalid.");
        EXPECT_EQ(general.focus(), genoptionsdlg::PurgeAge);
    }
    general.setText(genoptionsdlg::PurgeAge, "3");
    general.setChecked(genoptionsdlg::SortByNumber, false);
    general.setChecked(genoptionsdlg::SortByLastName, true);
    ASSERT_EQ(orgs->closeGenOptnDlg(general), 1);
    const common::ORGREC stored = storedRow("General");
    EXPECT_EQ(stored.purgeReports, 1);
    EXPECT_EQ(stored.purgeAge, 3);
    EXPECT_EQ(stored.formSortKey, common::kSortByLastName);

    FakeDialogView again;
    orgs->initGenOptnDlg(again);
    EXPECT_TRUE(again.isChecked(genoptionsdlg::SortByLastName));
    EXPECT_TRUE(again.isChecked(genoptionsdlg::PurgeReports));
    EXPECT_EQ(again.text(genoptionsdlg::PurgeAge), "3");
}

TEST_F(OrgDialogsTest, PayFrequencyStoresThePayrollChosenAndShowsItNextTime) {
    ASSERT_EQ(create("Frequency"), 1);
    ui.clear();
    struct Choice {
        const char* radio;
        common::PAYFREQ payFreq;
    };
    const Choice choices[] = {
        {payfreqdlg::Weekly, common::WEEKLY},
        {payfreqdlg::Biweekly, common::BIWEEKLY},
        {payfreqdlg::Irregular, common::IRREGULAR},
        {payfreqdlg::Monthly, common::MONTHLY},
    };
    FakeDialogView first;
    orgs->initPayFreqDlg(first);
    EXPECT_TRUE(first.isChecked(payfreqdlg::Monthly));
    for (const Choice& c : choices) {
        SCOPED_TRACE(c.radio);
        FakeDialogView dialog;
        orgs->initPayFreqDlg(dialog);
        for (const Choice& other : choices)
            dialog.setChecked(other.radio, other.radio == c.radio);
        ASSERT_EQ(orgs->closePayFreqDlg(dialog), 1);
        EXPECT_EQ(storedRow("Frequency").payFreq, c.payFreq);
        EXPECT_EQ(orgs->getOpenOrg()->payFreq, c.payFreq);
        FakeDialogView again;
        orgs->initPayFreqDlg(again);
        for (const Choice& other : choices)
            EXPECT_EQ(again.isChecked(other.radio), other.radio == c.radio) << other.radio;
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
}

TEST_F(OrgDialogsTest, APayFrequencyOutOfRangeIsRefusedAndNothingWritten) {
    ASSERT_EQ(create("Frequency"), 1);
    ASSERT_EQ(orgs->setPayFreq(common::BIWEEKLY), 1);
    const auto tableBytes = [this] {
        std::ifstream in(data("system/settings/org.dbf"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = tableBytes();
    ASSERT_FALSE(before.empty());
    for (const std::int32_t bad : {-1, 4, 99}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(orgs->setPayFreq(static_cast<common::PAYFREQ>(bad)), 0);
        EXPECT_EQ(orgs->getOpenOrg()->payFreq, common::BIWEEKLY);
        EXPECT_EQ(storedRow("Frequency").payFreq, common::BIWEEKLY);
        EXPECT_EQ(tableBytes(), before);
    }
    FakeDialogView none; // no radio checked
    EXPECT_EQ(orgs->closePayFreqDlg(none), 0);
    EXPECT_EQ(tableBytes(), before);
}

TEST_F(OrgDialogsTest, NothingIsSavedWhileNoOrganisationIsOpen) {
    FakeDialogView dialog;
    dialog.setText(orgdlg::Name, "Nobody");
    dialog.setText(orgdlg::Year, "2026");
    EXPECT_EQ(orgs->saveBasicInfo(dialog), 0);
    EXPECT_EQ(orgs->getOpenOrg()->name, "");
    EXPECT_EQ(orgs->orgCount(), 0);
}

} // namespace
} // namespace kelo::setup::testing
