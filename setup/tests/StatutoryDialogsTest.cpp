// The statutory table dialogs: PAYE bands, income brackets, PAYE parameters,
// NSSF, SDL and WCF rates.
#include "setup/StatutoryDialogs.h"

#include "common/Money.h"
#include "setup/StatutoryFiles.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelo::setup::testing {
namespace {

namespace fs = std::filesystem;
using common::MessageIcon;
using database::INCOMEREC;
using database::PAYEREC;
using testsupport::FakeDialogView;

constexpr int kYear = 2025;

// The shipped bands (data/statutory/paye.csv) as the list shows them.
const std::vector<std::string> kShippedBandRows = {
    "0\t270,000\t0.00", "270,001\t520,000\t8.00", "520,001\t760,000\t20.00",
    "760,001\t1,000,000\t25.00", "1,000,001\t(None)\t30.00"};

const char* const kPayeInsertLocked = "Cannot insert a new row because another user has locked\n"
                                      "some of the records in the PAYE file. Try again later.";
const char* const kPayeDeleteLocked = "Cannot delete this row because another user has locked\n"
                                      "some of the records in the PAYE file. Try again later.";

struct Band {
    unsigned long lower, upper;
    double rate;
};

class StatutoryDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("data/system/settings"));
        folder = common::WorkingFolder(dir.file("data"));
        ASSERT_TRUE(newStatutoryFiles(ui, code, folder, kYear, KELO_SOURCE_FOLDER));
        ASSERT_TRUE(database::INCOMESDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER));
        ui.clear();
    }

    // Replaces the year's bands.
    void makeBands(const std::vector<Band>& bands) {
        const std::string path = folder.statutoryFile(kYear, "paye.dbf");
        fs::remove(path);
        const database::Schema s = database::PAYEDB::tableSchema();
        auto table = engine::Data4::create(code, path, s.fields);
        ASSERT_NE(table, nullptr);
        for (const Band& band : bands) {
            table->appendStart();
            table->blank();
            database::PAYEDB::store(*table,
                                    {band.lower, band.upper, static_cast<float>(band.rate)});
            ASSERT_EQ(table->append(), engine::r4success);
        }
        table->close();
    }
    void makeBrackets(const std::vector<INCOMEREC>& brackets) {
        const std::string path = folder.resolve(database::INCOMESDB::kPath);
        fs::remove(path);
        const database::Schema s = database::INCOMESDB::tableSchema();
        auto table = engine::Data4::create(code, path, s.fields);
        ASSERT_NE(table, nullptr);
        for (const INCOMEREC& bracket : brackets) {
            table->appendStart();
            table->blank();
            database::INCOMESDB::store(*table, bracket);
            ASSERT_EQ(table->append(), engine::r4success);
        }
        table->close();
    }

    // The bands as another user reads them: "lower-upper@rate".
    std::vector<std::string> storedBands() {
        database::PAYEDB other(code, folder);
        std::vector<std::string> out;
        if (other.openFile(kYear, false))
            for (const PAYEREC& b : other.readRows())
                out.push_back(std::to_string(b.lowerLimit) + "-" + std::to_string(b.upperLimit) +
                              "@" + common::fixedText(common::decimalOf(b.rate), 2));
        return out;
    }
    std::vector<std::string> storedBrackets() {
        std::vector<std::string> out;
        for (const INCOMEREC& b : database::INCOMESDB(code, folder).readBrackets())
            out.push_back(std::to_string(b.lowerLimit) + "-" + std::to_string(b.upperLimit));
        return out;
    }

    void expectMessage(const std::string& text, MessageIcon icon) {
        ASSERT_FALSE(ui.messages.empty()) << "expected: " << text;
        EXPECT_EQ(ui.lastMessage(), text);
        EXPECT_EQ(ui.messages.back().icon, icon) << text;
        EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");
    }

    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    engine::Code4 code;
    common::WorkingFolder folder;
    FakeDialogView window;
    FakeDialogView row;
};

const std::vector<std::string> kShippedBands = {"0-270000@0.00", "270001-520000@8.00",
                                                "520001-760000@20.00", "760001-1000000@25.00",
                                                "1000001-1000001@30.00"};

// --- PAYE rates ---

TEST_F(StatutoryDialogsTest, RatesTableShowsTheYearsBandsWithTheLastUpperLimitAsNone) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    EXPECT_EQ(window.caption(), "PAYE Rates for 2025/2026");
    EXPECT_EQ(window.itemTexts(payedlg::List), kShippedBandRows);
    EXPECT_EQ(window.selectedRow(payedlg::List), 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(window.itemCode(payedlg::List, i), i + 1);
    EXPECT_TRUE(window.isEnabled(payedlg::Insert));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(paye.closeFile(window));
    EXPECT_FALSE(paye.isOpen());
}

TEST_F(StatutoryDialogsTest, InsertPlaceIsChecked) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    const struct {
        int selected;
        const char* message;
    } cases[] = {{-1, "Select row after which to insert."},
                 {4, "Cannot insert after the last row."}};
    for (const auto& c : cases) {
        ui.clear();
        window.selectRow(payedlg::List, c.selected);
        EXPECT_FALSE(paye.initNewRateDlg(window, row));
        expectMessage(c.message, MessageIcon::Information);
        EXPECT_FALSE(paye.insertBand(c.selected + 1, {1, 2, 3}));
        expectMessage(c.message, MessageIcon::Information);
    }
    EXPECT_EQ(storedBands(), kShippedBands);
}

TEST_F(StatutoryDialogsTest, InsertProposesTheNextLowerLimitAndPutsTheBandAfterTheSelectedOne) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    window.selectRow(payedlg::List, 0);
    ASSERT_TRUE(paye.initNewRateDlg(window, row));
    EXPECT_EQ(row.caption(), "New PAYE Rate");
    EXPECT_EQ(row.text(payeratedlg::LowerLimit), "270001");
    EXPECT_EQ(row.text(payeratedlg::UpperLimit), "270001");
    EXPECT_EQ(row.text(payeratedlg::TaxRate), "0.00");
    row.setText(payeratedlg::UpperLimit, "300,000");
    row.setText(payeratedlg::TaxRate, "5");
    ASSERT_TRUE(paye.closeNewRateDlg(window, row));
    EXPECT_EQ(window.itemCount(payedlg::List), 6);
    EXPECT_EQ(window.itemText(payedlg::List, 1), "270,001\t300,000\t5.00");
    EXPECT_EQ(window.selectedRow(payedlg::List), 1);
    EXPECT_EQ(storedBands(),
              (std::vector<std::string>{"0-270000@0.00", "270001-300000@5.00", "270001-520000@8.00",
                                        "520001-760000@20.00", "760001-1000000@25.00",
                                        "1000001-1000001@30.00"}));
    EXPECT_TRUE(ui.messages.empty());
    // The chain is now broken after the new band.
    EXPECT_FALSE(paye.closeFile(window));
    expectMessage("Lower limit for row 3 must be one more than upper limit for row 2.",
                  MessageIcon::Information);
    EXPECT_TRUE(paye.isOpen());
}

TEST_F(StatutoryDialogsTest, RowValuesAreCheckedAndRefusalsStoreNothing) {
    const struct {
        const char* lower;
        const char* upper;
        const char* rate;
        const char* message; // nullptr: stored
    } cases[] = {
        {"270001", "270000", "5", "Upper limit cannot be less than lower limit."},
        {"270001", "270001", "5", nullptr},
        {"270001", "300000", "100", nullptr},
        {"270001", "300000", "100.01", "Tax rate must be between 0 and 100."},
        {"270001", "300000", "-0.01", "Tax rate must be between 0 and 100."},
        {"270001", "300000", "abc", "Tax rate must be between 0 and 100."},
        {"x", "300000", "5", "Lower limit must be a whole number of shillings."},
        {"270001", "-5", "5", "Upper limit must be a whole number of shillings."},
        {"270001", "300000.5", "5", "Upper limit must be a whole number of shillings."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lower) + " " + c.upper + " " + c.rate);
        makeBands({{0, 270000, 0}, {270001, 270001, 30}});
        ui.clear();
        PAYEDLG paye(ui, code, folder);
        ASSERT_TRUE(paye.initDlg(window, kYear));
        ASSERT_TRUE(paye.initNewRateDlg(window, row));
        row.setText(payeratedlg::LowerLimit, c.lower);
        row.setText(payeratedlg::UpperLimit, c.upper);
        row.setText(payeratedlg::TaxRate, c.rate);
        const bool stored = paye.closeNewRateDlg(window, row);
        if (c.message) {
            EXPECT_FALSE(stored);
            expectMessage(c.message, MessageIcon::Information);
            EXPECT_EQ(storedBands().size(), 2u);
        } else {
            EXPECT_TRUE(stored);
            EXPECT_TRUE(ui.messages.empty());
            EXPECT_EQ(storedBands().size(), 3u);
        }
    }
}

TEST_F(StatutoryDialogsTest, AnotherUsersLockRefusesInsertAndDeleteAndKeepsTheBands) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    database::PAYEDB other(code, folder);
    ASSERT_TRUE(other.openFile(kYear, false));
    ASSERT_TRUE(other.lockRow(4));

    window.selectRow(payedlg::List, 1);
    ASSERT_TRUE(paye.initNewRateDlg(window, row));
    EXPECT_FALSE(paye.closeNewRateDlg(window, row));
    expectMessage(kPayeInsertLocked, MessageIcon::Warning);
    EXPECT_FALSE(paye.deleteRate(window));
    expectMessage(kPayeDeleteLocked, MessageIcon::Warning);
    EXPECT_EQ(window.itemTexts(payedlg::List), kShippedBandRows);
    other.unlockRows();
    EXPECT_EQ(storedBands(), kShippedBands);
}

TEST_F(StatutoryDialogsTest, EditLocksTheBandAndStoresIt) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    window.selectRow(payedlg::List, -1);
    EXPECT_FALSE(paye.initEditRateDlg(window, row));
    expectMessage("Select row to edit.", MessageIcon::Information);

    window.selectRow(payedlg::List, 1);
    ASSERT_TRUE(paye.initEditRateDlg(window, row));
    EXPECT_EQ(row.caption(), "Edit PAYE Rate");
    EXPECT_EQ(row.text(payeratedlg::LowerLimit), "270001");
    EXPECT_EQ(row.text(payeratedlg::UpperLimit), "520000");
    EXPECT_EQ(row.text(payeratedlg::TaxRate), "8.00");
    EXPECT_TRUE(row.isEnabled(payeratedlg::LowerLimit));
    EXPECT_TRUE(row.isEnabled(payeratedlg::UpperLimit));

    // Another user cannot take the band meanwhile.
    database::PAYEDB other(code, folder);
    ASSERT_TRUE(other.openFile(kYear, false));
    EXPECT_FALSE(other.lockRow(2));

    row.setText(payeratedlg::TaxRate, "9");
    ASSERT_TRUE(paye.closeEditRateDlg(window, row));
    EXPECT_EQ(window.itemText(payedlg::List, 1), "270,001\t520,000\t9.00");
    EXPECT_EQ(window.selectedRow(payedlg::List), 1);
    EXPECT_TRUE(other.lockRow(2));
    other.unlockRows();
    EXPECT_EQ(storedBands()[1], "270001-520000@9.00");
    EXPECT_TRUE(ui.messages.size() == 1u);
}

TEST_F(StatutoryDialogsTest, ABandLockedByAnotherUserCannotBeEdited) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    database::PAYEDB other(code, folder);
    ASSERT_TRUE(other.openFile(kYear, false));
    ASSERT_TRUE(other.lockRow(3));
    window.selectRow(payedlg::List, 2);
    EXPECT_FALSE(paye.initEditRateDlg(window, row));
    expectMessage("This row is currently locked by another user.", MessageIcon::Warning);
    ui.clear();
    EXPECT_FALSE(paye.editBand(3, {520001, 760000, 1}));
    expectMessage("This row is currently locked by another user.", MessageIcon::Warning);
    other.unlockRows();
    EXPECT_EQ(storedBands(), kShippedBands);
}

TEST_F(StatutoryDialogsTest, TheFirstLowerLimitIsFixedAndTheLastBandKeepsNoUpperLimit) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    window.selectRow(payedlg::List, 0);
    ASSERT_TRUE(paye.initEditRateDlg(window, row));
    EXPECT_FALSE(row.isEnabled(payeratedlg::LowerLimit));
    row.setText(payeratedlg::LowerLimit, "5"); // disabled: ignored
    row.setText(payeratedlg::TaxRate, "1");
    ASSERT_TRUE(paye.closeEditRateDlg(window, row));
    EXPECT_EQ(storedBands()[0], "0-270000@1.00");

    window.selectRow(payedlg::List, 4);
    ASSERT_TRUE(paye.initEditRateDlg(window, row));
    EXPECT_EQ(row.text(payeratedlg::UpperLimit), "(None)");
    EXPECT_FALSE(row.isEnabled(payeratedlg::UpperLimit));
    EXPECT_TRUE(row.isEnabled(payeratedlg::LowerLimit));
    row.setText(payeratedlg::UpperLimit, "12");
    row.setText(payeratedlg::TaxRate, "35");
    ASSERT_TRUE(paye.closeEditRateDlg(window, row));
    EXPECT_EQ(window.itemText(payedlg::List, 4), "1,000,001\t(None)\t35.00");
    EXPECT_EQ(storedBands()[4], "1000001-1000001@35.00");
    // The plain operation keeps the same rules.
    EXPECT_TRUE(paye.editBand(1, {7, 270000, 2}));
    EXPECT_TRUE(paye.editBand(5, {1000001, 5, 30}));
    EXPECT_EQ(storedBands()[0], "0-270000@2.00");
    EXPECT_EQ(storedBands()[4], "1000001-1000001@30.00");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StatutoryDialogsTest, AnEditWhoseRowIsNoLongerSelectedBeepsAndStays) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    window.selectRow(payedlg::List, 1);
    ASSERT_TRUE(paye.initEditRateDlg(window, row));
    row.setText(payeratedlg::TaxRate, "9");
    window.selectRow(payedlg::List, -1);
    EXPECT_FALSE(paye.closeEditRateDlg(window, row));
    EXPECT_EQ(ui.beeps, 1);
    paye.cancelEditRateDlg();
    // The cancelled edit let go of the band.
    database::PAYEDB other(code, folder);
    ASSERT_TRUE(other.openFile(kYear, false));
    EXPECT_TRUE(other.lockRow(2));
    other.unlockRows();
    EXPECT_EQ(storedBands(), kShippedBands);
}

TEST_F(StatutoryDialogsTest, DeletePlaceIsCheckedAndTheRowAboveIsSelected) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    const struct {
        int selected;
        const char* message;
    } cases[] = {{-1, "Select row to delete."},
                 {0, "Cannot delete the first row."},
                 {4, "Cannot delete the last row."}};
    for (const auto& c : cases) {
        window.selectRow(payedlg::List, c.selected);
        EXPECT_FALSE(paye.deleteRate(window));
        expectMessage(c.message, MessageIcon::Information);
    }
    EXPECT_EQ(storedBands(), kShippedBands);
    ui.clear();
    window.selectRow(payedlg::List, 2);
    ASSERT_TRUE(paye.deleteRate(window));
    EXPECT_EQ(window.itemCount(payedlg::List), 4);
    EXPECT_EQ(window.selectedRow(payedlg::List), 1);
    EXPECT_EQ(storedBands(),
              (std::vector<std::string>{"0-270000@0.00", "270001-520000@8.00",
                                        "760001-1000000@25.00", "1000001-1000001@30.00"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StatutoryDialogsTest, TwoBandsCanNeitherBeDeletedAndTakeAnInsertOnlyAfterTheFirst) {
    makeBands({{0, 100, 0}, {101, 101, 10}});
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    EXPECT_EQ(window.itemTexts(payedlg::List),
              (std::vector<std::string>{"0\t100\t0.00", "101\t(None)\t10.00"}));
    window.selectRow(payedlg::List, 0);
    EXPECT_FALSE(paye.deleteRate(window));
    expectMessage("Cannot delete the first row.", MessageIcon::Information);
    window.selectRow(payedlg::List, 1);
    EXPECT_FALSE(paye.deleteRate(window));
    expectMessage("Cannot delete the last row.", MessageIcon::Information);
    EXPECT_FALSE(paye.initNewRateDlg(window, row));
    expectMessage("Cannot insert after the last row.", MessageIcon::Information);
    window.selectRow(payedlg::List, 0);
    ui.clear();
    EXPECT_TRUE(paye.initNewRateDlg(window, row));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StatutoryDialogsTest, BandsWithTheSameLimitsFailTheClosingCheck) {
    makeBands({{0, 100, 0}, {100, 200, 10}, {201, 201, 20}});
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    EXPECT_FALSE(paye.closeFile(window));
    expectMessage("Lower limit for row 2 must be one more than upper limit for row 1.",
                  MessageIcon::Information);
    EXPECT_TRUE(paye.isOpen());
    window.selectRow(payedlg::List, 1);
    ASSERT_TRUE(paye.initEditRateDlg(window, row));
    row.setText(payeratedlg::LowerLimit, "101");
    ASSERT_TRUE(paye.closeEditRateDlg(window, row));
    EXPECT_TRUE(paye.closeFile(window));
    EXPECT_FALSE(paye.isOpen());
}

TEST_F(StatutoryDialogsTest, RefreshShowsAnotherUsersChangeAndKeepsTheSelection) {
    PAYEDLG paye(ui, code, folder);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    window.selectRow(payedlg::List, 3);
    paye.refreshDlg(window); // nothing changed
    EXPECT_EQ(window.itemTexts(payedlg::List), kShippedBandRows);
    {
        database::PAYEDB other(code, folder);
        ASSERT_TRUE(other.openFile(kYear, false));
        ASSERT_TRUE(other.updateRow(2, {270001, 520000, 9}));
    }
    // Let the modification time move on even on coarse file systems.
    const fs::path path = folder.statutoryFile(kYear, "paye.dbf");
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
    paye.refreshDlg(window);
    EXPECT_EQ(window.itemText(payedlg::List, 1), "270,001\t520,000\t9.00");
    EXPECT_EQ(window.selectedRow(payedlg::List), 3);
}

TEST_F(StatutoryDialogsTest, AMissingYearOrATableHeldExclusivelyIsTold) {
    PAYEDLG paye(ui, code, folder);
    EXPECT_FALSE(paye.initDlg(window, 2030));
    expectMessage("Can't open ../system/2030/paye.dbf", MessageIcon::Error);

    database::PAYEDB holder(code, folder);
    ASSERT_TRUE(holder.openFile(kYear, true));
    EXPECT_FALSE(paye.initDlg(window, kYear));
    expectMessage("../system/2025/paye.dbf is currently in use by another user.",
                  MessageIcon::Warning);
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(StatutoryDialogsTest, WithoutTheRightTheBandsAreShownButNotChanged) {
    PAYEDLG paye(ui, code, folder);
    paye.setMayModify(false);
    ASSERT_TRUE(paye.initDlg(window, kYear));
    EXPECT_FALSE(window.isEnabled(payedlg::Insert));
    EXPECT_FALSE(window.isEnabled(payedlg::Delete));
    EXPECT_FALSE(window.isEnabled(payedlg::Edit));
    window.selectRow(payedlg::List, 1);
    EXPECT_FALSE(paye.initEditRateDlg(window, row));
    expectMessage("You do not have the right to modify tax tables.", MessageIcon::Information);
    EXPECT_FALSE(paye.deleteBand(2));
    EXPECT_FALSE(paye.insertBand(1, {270001, 300000, 5}));
    EXPECT_EQ(ui.messages.size(), 3u);
    EXPECT_TRUE(paye.closeFile(window));
    EXPECT_EQ(storedBands(), kShippedBands);
}

// --- Income brackets ---

TEST_F(StatutoryDialogsTest, IncomeBracketsAreListedAndInsertedAfterTheSelectedOne) {
    INCOMESDLG incomes(ui, code, folder);
    ASSERT_TRUE(incomes.initDlg(window));
    EXPECT_EQ(window.caption(), "Income Brackets for P10 Report");
    // data/statutory/incomes.csv
    EXPECT_EQ(window.itemTexts(incomesdlg::List),
              (std::vector<std::string>{"0\t270,000", "270,001\t520,000", "520,001\t760,000",
                                        "760,001\t1,000,000", "1,000,001\t2,000,000",
                                        "2,000,001\t5,000,000", "5,000,001\t(None)"}));
    window.selectRow(incomesdlg::List, 0);
    ASSERT_TRUE(incomes.initNewRecDlg(window, row));
    EXPECT_EQ(row.caption(), "New Income Bracket");
    EXPECT_EQ(row.text(incomebracketdlg::LowerLimit), "270000");
    EXPECT_EQ(row.text(incomebracketdlg::UpperLimit), "270000");
    row.setText(incomebracketdlg::UpperLimit, "100");
    EXPECT_FALSE(incomes.closeNewRecDlg(window, row));
    expectMessage("Upper limit cannot be less than lower limit.", MessageIcon::Information);
    row.setText(incomebracketdlg::UpperLimit, "270000");
    ASSERT_TRUE(incomes.closeNewRecDlg(window, row));
    EXPECT_EQ(window.selectedRow(incomesdlg::List), 1);
    EXPECT_EQ(storedBrackets()[1], "270000-270000");
    // Equal limits pass; one more than that does not.
    EXPECT_TRUE(incomes.checkLimits());
    ASSERT_TRUE(incomes.editBracket(3, {270002, 520000}));
    EXPECT_FALSE(incomes.closeFile(window));
    expectMessage("Lower limit for row 3 must be equal to or one more than upper limit for row 2",
                  MessageIcon::Information);
    EXPECT_TRUE(incomes.isOpen());
}

TEST_F(StatutoryDialogsTest, IncomeBracketsSharingALimitPassTheClosingCheck) {
    makeBrackets({{0, 100}, {100, 200}, {201, 201}});
    INCOMESDLG incomes(ui, code, folder);
    ASSERT_TRUE(incomes.initDlg(window));
    window.selectRow(incomesdlg::List, 0);
    ASSERT_TRUE(incomes.initEditRecDlg(window, row));
    EXPECT_EQ(row.caption(), "Edit Income Bracket");
    // Unlike the PAYE bands, the first lower limit may change.
    EXPECT_TRUE(row.isEnabled(incomebracketdlg::LowerLimit));
    incomes.cancelEditRecDlg();
    EXPECT_TRUE(incomes.closeFile(window));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StatutoryDialogsTest, IncomeBracketsLockedByAnotherUserAreTold) {
    INCOMESDLG incomes(ui, code, folder);
    ASSERT_TRUE(incomes.initDlg(window));
    database::INCOMESDB other(code, folder);
    ASSERT_TRUE(other.openFile(false));
    ASSERT_TRUE(other.lockRow(2));
    const std::vector<std::string> before = storedBrackets();

    window.selectRow(incomesdlg::List, 0);
    ASSERT_TRUE(incomes.initNewRecDlg(window, row));
    EXPECT_FALSE(incomes.closeNewRecDlg(window, row));
    expectMessage("Cannot insert a new row because another user has locked some\nof the records "
                  "in the income brackets file. Try again later.",
                  MessageIcon::Warning);
    window.selectRow(incomesdlg::List, 2);
    EXPECT_FALSE(incomes.deleteRec(window));
    expectMessage("Cannot delete this row because another user has locked some\nof the records "
                  "in the income brackets file. Try again later.",
                  MessageIcon::Warning);
    window.selectRow(incomesdlg::List, 1);
    EXPECT_FALSE(incomes.initEditRecDlg(window, row));
    expectMessage("This row is currently locked by another user.", MessageIcon::Warning);
    other.unlockRows();
    EXPECT_EQ(storedBrackets(), before);
}

// --- One-record tables ---

TEST_F(StatutoryDialogsTest, PayeParametersAreShownAndStored) {
    PAYEPARAMDLG params(ui, code, folder);
    ASSERT_TRUE(params.initDlg(window, kYear));
    EXPECT_EQ(window.caption(), "PAYE Parameters for 2025/2026");
    // data/statutory/payepara.csv
    EXPECT_EQ(window.text(payeparamdlg::MaxPension), "999999999");
    EXPECT_EQ(window.text(payeparamdlg::StatRateJulDec), "6.00");
    EXPECT_EQ(window.text(payeparamdlg::StatRateJanJun), "5.75");
    window.setText(payeparamdlg::MaxPension, "1,500,000");
    window.setText(payeparamdlg::StatRateJulDec, "7.25");
    window.setText(payeparamdlg::StatRateJanJun, "100");
    ASSERT_TRUE(params.closeDlg(window));
    EXPECT_FALSE(params.isOpen());
    database::PAYEPARAMREC stored;
    ASSERT_TRUE(database::PAYEPARAMDB(code, folder).readParams(kYear, stored));
    EXPECT_EQ(stored.maxPension, 1500000u);
    EXPECT_DOUBLE_EQ(common::decimalOf(stored.statRateJulDec), 7.25);
    EXPECT_DOUBLE_EQ(common::decimalOf(stored.statRateJanJun), 100);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StatutoryDialogsTest, PayeParametersThatAreNoNumbersAreRefusedNotStoredAsZero) {
    const struct {
        const char* maxPension;
        const char* julDec;
        const char* janJun;
        const char* message;
    } cases[] = {
        {"abc", "6", "5", "Maximum Allowable Pension Fund must be a whole number of shillings."},
        {"-1", "6", "5", "Maximum Allowable Pension Fund must be a whole number of shillings."},
        {"1000", "x", "5", "Statutory Interest Rate (%) must be between 0 and 100."},
        {"1000", "6", "100.01", "Statutory Interest Rate (%) must be between 0 and 100."},
    };
    PAYEPARAMDLG params(ui, code, folder);
    ASSERT_TRUE(params.initDlg(window, kYear));
    for (const auto& c : cases) {
        window.setText(payeparamdlg::MaxPension, c.maxPension);
        window.setText(payeparamdlg::StatRateJulDec, c.julDec);
        window.setText(payeparamdlg::StatRateJanJun, c.janJun);
        EXPECT_FALSE(params.closeDlg(window));
        expectMessage(c.message, MessageIcon::Information);
        EXPECT_TRUE(params.isOpen());
    }
    database::PAYEPARAMREC stored;
    ASSERT_TRUE(database::PAYEPARAMDB(code, folder).readParams(kYear, stored));
    EXPECT_EQ(stored.maxPension, 999999999u);
}

TEST_F(StatutoryDialogsTest, ARecordHeldByAnotherUserIsToldAndTheDialogStays) {
    NSSFDLG nssf(ui, code, folder);
    ASSERT_TRUE(nssf.initDlg(window, kYear));
    EXPECT_EQ(window.caption(), "NSSF Rates for 2025/2026");
    EXPECT_EQ(window.text(nssfdlg::EmployeeRate), "10.00");
    EXPECT_EQ(window.text(nssfdlg::EmployerRate), "10.00");
    database::NSSFDB other(code, folder);
    ASSERT_TRUE(other.openFile(kYear, false));
    ASSERT_EQ(other.data()->lock(1), engine::r4success);

    window.setText(nssfdlg::EmployeeRate, "11");
    EXPECT_FALSE(nssf.closeDlg(window));
    expectMessage("Can't update ../system/2025/nssf.dbf because another user is using it.",
                  MessageIcon::Warning);
    EXPECT_TRUE(nssf.isOpen());
    other.data()->unlock();
    database::NSSFREC stored;
    ASSERT_TRUE(database::NSSFDB(code, folder).readFile(kYear, stored));
    EXPECT_FLOAT_EQ(stored.employeeRate, 10.0f);

    // Once free, the same OK stores.
    ASSERT_TRUE(nssf.closeDlg(window));
    ASSERT_TRUE(database::NSSFDB(code, folder).readFile(kYear, stored));
    EXPECT_FLOAT_EQ(stored.employeeRate, 11.0f);
    EXPECT_FLOAT_EQ(stored.employerRate, 10.0f);
}

TEST_F(StatutoryDialogsTest, RatesOutsideZeroToHundredAreRefused) {
    const struct {
        const char* text;
        bool stored;
    } cases[] = {{"0", true},   {"100", true}, {"100.01", false},
                 {"-1", false}, {"", true},    {"abc", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ui.clear();
        SDLDLG sdl(ui, code, folder);
        ASSERT_TRUE(sdl.initDlg(window, kYear));
        window.setText(sdldlg::Rate, c.text);
        EXPECT_EQ(sdl.closeDlg(window), c.stored);
        if (!c.stored)
            expectMessage("SDL rate must be between 0 and 100.", MessageIcon::Information);
        NSSFDLG nssf(ui, code, folder);
        ASSERT_TRUE(nssf.initDlg(window, kYear));
        window.setText(nssfdlg::EmployerRate, c.text);
        EXPECT_EQ(nssf.closeDlg(window), c.stored);
        if (!c.stored)
            expectMessage("NSSF rates must be between 0 and 100.", MessageIcon::Information);
        else
            EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(StatutoryDialogsTest, SdlRateIsShownAndStored) {
    SDLDLG sdl(ui, code, folder);
    ASSERT_TRUE(sdl.initDlg(window, kYear));
    EXPECT_EQ(window.caption(), "SDL Rate for 2025/2026");
    EXPECT_EQ(window.text(sdldlg::Rate), "3.50"); // data/statutory/sdl.csv
    EXPECT_TRUE(window.isEnabled(sdldlg::Rate));
    window.setText(sdldlg::Rate, "4.5");
    ASSERT_TRUE(sdl.closeDlg(window));
    database::SDLREC stored;
    ASSERT_TRUE(database::SDLDB(code, folder).readFile(kYear, stored));
    EXPECT_DOUBLE_EQ(common::decimalOf(stored.rate), 4.5);
}

TEST_F(StatutoryDialogsTest, WithoutTheRightTheSdlRateOpensReadOnly) {
    SDLDLG sdl(ui, code, folder);
    sdl.setMayModify(false);
    ASSERT_TRUE(sdl.initDlg(window, kYear));
    EXPECT_FALSE(window.isEnabled(sdldlg::Rate));
    window.setText(sdldlg::Rate, "9");
    EXPECT_TRUE(sdl.closeDlg(window));
    EXPECT_TRUE(ui.messages.empty());
    database::SDLREC stored;
    ASSERT_TRUE(database::SDLDB(code, folder).readFile(kYear, stored));
    EXPECT_FLOAT_EQ(stored.rate, 3.5f);
    ASSERT_TRUE(sdl.openRate(kYear));
    EXPECT_FALSE(sdl.storeRate({9}));
    expectMessage("You do not have the right to modify tax tables.", MessageIcon::Information);
}

TEST_F(StatutoryDialogsTest, OneRecordDialogsOfAMissingYearAreTold) {
    PAYEPARAMDLG params(ui, code, folder);
    EXPECT_FALSE(params.initDlg(window, 2030));
    expectMessage("Can't open ../system/2030/payepara.dbf", MessageIcon::Error);
    NSSFDLG nssf(ui, code, folder);
    EXPECT_FALSE(nssf.initDlg(window, 2030));
    expectMessage("Can't open ../system/2030/nssf.dbf", MessageIcon::Error);
    SDLDLG sdl(ui, code, folder);
    EXPECT_FALSE(sdl.initDlg(window, 2030));
    expectMessage("Can't open ../system/2030/sdl.dbf", MessageIcon::Error);
    EXPECT_FALSE(sdl.storeRate({4}));
    expectMessage("Can't open ../system/2030/sdl.dbf", MessageIcon::Error);
}

TEST_F(StatutoryDialogsTest, TheDialogsDoNotShutOtherUsersOutOfTheYearsFigures) {
    NSSFDLG nssf(ui, code, folder);
    ASSERT_TRUE(nssf.initDlg(window, kYear));
    // The pay calculation of another user still reads the rates.
    database::NSSFREC rates;
    ASSERT_TRUE(database::NSSFDB(code, folder).readFile(kYear, rates));
    EXPECT_FLOAT_EQ(rates.employeeRate, 10.0f);
    nssf.cancelDlg();
    EXPECT_FALSE(nssf.isOpen());
}

// --- WCF rate ---

TEST_F(StatutoryDialogsTest, WcfRatesOutsideZeroToHundredAreRefusedAndTheOthersStored) {
    const struct {
        const char* text;
        bool stored;
        float rate; // what the year's table holds afterwards
    } cases[] = {{"0", true, 0.0f},     {"100", true, 100.0f}, {"100.01", false, 0.5f},
                 {"-1", false, 0.5f},   {"", true, 0.0f},      {"abc", false, 0.5f},
                 {"0.75", true, 0.75f}, {"1.5", true, 1.5f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        // Each case starts from the year's default.
        fs::remove(folder.statutoryFile(kYear, "wcf.dbf"));
        ui.clear();
        WCFDLG wcf(ui, code, folder);
        ASSERT_TRUE(wcf.initDlg(window, kYear));
        EXPECT_EQ(window.text(wcfdlg::Rate), "0.50");
        window.setText(wcfdlg::Rate, c.text);
        EXPECT_EQ(wcf.closeDlg(window), c.stored);
        if (c.stored) {
            EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
            EXPECT_FALSE(wcf.isOpen());
        } else {
            expectMessage("WCF rate must be between 0 and 100.", MessageIcon::Information);
            EXPECT_TRUE(wcf.isOpen()); // the dialog stays
            wcf.cancelDlg();
        }
        database::WCFREC stored;
        ASSERT_TRUE(database::WCFDB(code, folder).readFile(kYear, stored));
        EXPECT_FLOAT_EQ(stored.rate, c.rate);
    }
}

TEST_F(StatutoryDialogsTest, WcfRateIsShownInTheYearsCaptionAndStored) {
    WCFDLG wcf(ui, code, folder);
    ASSERT_TRUE(wcf.initDlg(window, kYear));
    EXPECT_EQ(window.caption(), "WCF Rate for 2025/2026");
    EXPECT_EQ(window.text(wcfdlg::Rate), "0.50"); // a new year's default
    EXPECT_TRUE(window.isEnabled(wcfdlg::Rate));
    window.setText(wcfdlg::Rate, "0.6");
    ASSERT_TRUE(wcf.closeDlg(window));
    EXPECT_DOUBLE_EQ(database::WCFDB(code, folder).rateOf(kYear), 0.6);
}

TEST_F(StatutoryDialogsTest, WithoutTheRightTheWcfRateOpensReadOnly) {
    WCFDLG wcf(ui, code, folder);
    wcf.setMayModify(false);
    ASSERT_TRUE(wcf.initDlg(window, kYear));
    EXPECT_FALSE(window.isEnabled(wcfdlg::Rate));
    window.setText(wcfdlg::Rate, "9");
    EXPECT_TRUE(wcf.closeDlg(window));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_DOUBLE_EQ(database::WCFDB(code, folder).rateOf(kYear), 0.5);
    ASSERT_TRUE(wcf.openRate(kYear));
    EXPECT_FALSE(wcf.storeRate({9}));
    expectMessage("You do not have the right to modify tax tables.", MessageIcon::Information);
}

TEST_F(StatutoryDialogsTest, AWcfRateHeldByAnotherUserIsToldAndTheDialogStays) {
    WCFDLG wcf(ui, code, folder);
    ASSERT_TRUE(wcf.initDlg(window, kYear));
    database::WCFDB other(code, folder);
    ASSERT_TRUE(other.openFile(kYear, false));
    ASSERT_EQ(other.data()->lock(1), engine::r4success);
    window.setText(wcfdlg::Rate, "1");
    EXPECT_FALSE(wcf.closeDlg(window));
    expectMessage("Can't update ../system/2025/wcf.dbf because another user is using it.",
                  MessageIcon::Warning);
    other.data()->unlock();
    EXPECT_DOUBLE_EQ(database::WCFDB(code, folder).rateOf(kYear), 0.5);
    ASSERT_TRUE(wcf.closeDlg(window));
    EXPECT_DOUBLE_EQ(database::WCFDB(code, folder).rateOf(kYear), 1.0);
}

// A year folder made before the WCF table: the dialog makes the table from
// the year before, or of the default rate, so that it can be reviewed.
TEST_F(StatutoryDialogsTest, AYearFolderWithoutTheWcfTableGetsOneWhenTheDialogOpens) {
    const struct {
        const char* what;
        float lastYearsRate; // 0: the year before has no WCF table
        const char* shown;
    } cases[] = {{"from the year before", 0.8f, "0.80"}, {"of the default rate", 0.0f, "0.50"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder.resolve("../system/2024"));
        if (c.lastYearsRate > 0) {
            database::WCFDB last(code, folder);
            ASSERT_TRUE(last.newFile(ui, "../nowhere", 2024));
            ASSERT_TRUE(last.openFile(2024, true));
            ASSERT_TRUE(last.updateRec({c.lastYearsRate}));
            last.closeFile();
        }
        fs::remove(folder.statutoryFile(kYear, "wcf.dbf"));
        ui.clear();
        WCFDLG wcf(ui, code, folder);
        ASSERT_TRUE(wcf.initDlg(window, kYear));
        EXPECT_EQ(window.text(wcfdlg::Rate), c.shown);
        EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
        wcf.cancelDlg();
        EXPECT_TRUE(fs::exists(folder.statutoryFile(kYear, "wcf.dbf")));
    }
}

TEST_F(StatutoryDialogsTest, TheWcfRateOfAMissingOrDamagedYearIsTold) {
    WCFDLG wcf(ui, code, folder);
    EXPECT_FALSE(wcf.initDlg(window, 2030)); // no year folder: nothing is made
    expectMessage("Can't open ../system/2030/wcf.dbf", MessageIcon::Error);
    EXPECT_FALSE(fs::exists(folder.resolve("../system/2030")));
    EXPECT_FALSE(wcf.storeRate({4}));
    expectMessage("Can't open ../system/2030/wcf.dbf", MessageIcon::Error);

    // A table of another layout is not replaced.
    const std::string path = folder.statutoryFile(kYear, "wcf.dbf");
    fs::remove(path);
    ASSERT_NE(engine::Data4::create(code, path, {{"X", 'C', 5, 0}}), nullptr);
    code.setErrorCode(0);
    ui.clear();
    EXPECT_FALSE(wcf.initDlg(window, kYear));
    EXPECT_FALSE(ui.messages.empty());
    auto table = database::openSharedTable(code, path, {{{"X", 'C', 5, 0}}, {}});
    EXPECT_NE(table, nullptr);
}

} // namespace
} // namespace kelo::setup::testing
