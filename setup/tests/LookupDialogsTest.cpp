#include "setup/LookupDialogs.h"

#include "database/PostsDb.h"
#include "database/StaticDb.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::setup {
namespace {

using common::MessageIcon;
using testsupport::FakeDialogView;
namespace fs = std::filesystem;

// Every table the lists use or consult, empty, in a fresh organisation.
class LookupFixture : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("system"));
        fs::create_directories(dir.file("org01/settings"));
        fs::create_directories(dir.file("org01/database"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        create<database::STATIONSDB>();
        create<database::COOPSDB>();
        create<database::PENSIONSDB>();
        create<database::GRADESDB>();
        create<database::JOBSDB>();
        create<database::POSTSDB>();
        create<database::STATDB>();
        ui.clear();
    }
    template <class Table> void create() {
        Table table(code, folder);
        ASSERT_TRUE(table.createFile(ui));
    }
    // The names a fresh handle reads, in name order.
    template <class Table> std::vector<std::string> stored() {
        Table table(code, folder);
        EXPECT_TRUE(table.openFile());
        table.orderByName();
        std::vector<std::string> names;
        for (const auto& e : table.entries())
            names.push_back(e.name);
        return names;
    }
    std::vector<std::string> listed(const FakeDialogView& list) const {
        std::vector<std::string> names;
        for (int i = 0; i < list.itemCount(lookuplistdlg::List); ++i)
            names.push_back(list.itemText(lookuplistdlg::List, i));
        return names;
    }
    std::string selected(const FakeDialogView& list) const {
        const int row = list.selectedRow(lookuplistdlg::List);
        return row < 0 ? "" : list.itemText(lookuplistdlg::List, row);
    }
    void expectOneMessage(const std::string& text, MessageIcon icon) {
        ASSERT_EQ(ui.messages.size(), 1u) << ui.lastMessage();
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].icon, icon);
        EXPECT_EQ(ui.messages[0].caption, "Kelo Roster");
        ui.clear();
    }
    // Employees of the personnel file with a station, co-operative or fund.
    void addEmployee(const char* empNum, const char* column, long value) {
        database::STATDB personnel(code, folder);
        ASSERT_TRUE(personnel.openFile());
        engine::Data4& d = *personnel.data();
        ASSERT_EQ(d.appendStart(), engine::r4success);
        d.blank();
        d.field("EMPNO")->assign(empNum);
        d.field(column)->assignLong(value);
        ASSERT_EQ(d.append(), engine::r4success);
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
};

// ---------------------------------------------------------------------------
// The three lists of names

template <class Dlg> struct Member;
template <> struct Member<STATIONSDLG> {
    using Table = database::STATIONSDB;
    static constexpr const char* caption = "Stations";
    static constexpr const char* prpts = "Station Properties";
    static constexpr const char* blank =
        "The \"Station Name\" field must not be blank. Please enter a value for this field.";
    static constexpr const char* exists =
        "Station with this name already exists. Please enter a different name.";
    static constexpr const char* rowLocked = "This station is currently locked by another user.";
    static constexpr const char* tableLocked =
        "Cannot delete this station because another user has locked\nsome of the records in the "
        "Stations file. Try again later.";
    static bool remove(STATIONSDLG& d, common::Ui& ui, common::DialogView& list) {
        return d.deleteStation(ui, list);
    }
};
template <> struct Member<COOPSDLG> {
    using Table = database::COOPSDB;
    static constexpr const char* caption = "Co-operatives";
    static constexpr const char* prpts = "Co-operative Properties";
    static constexpr const char* blank =
        "The \"Coop Name\" field must not be blank. Please enter a value for this field.";
    static constexpr const char* exists =
        "Coop with this name already exists. Please enter a different name.";
    static constexpr const char* rowLocked = "This coop is currently locked by another user.";
    static constexpr const char* tableLocked =
        "Cannot delete this coop because another user has locked\nsome of the records in the "
        "Coops file. Try again later.";
    static bool remove(COOPSDLG& d, common::Ui& ui, common::DialogView& list) {
        return d.deleteCoop(ui, list, 0, 0);
    }
};
template <> struct Member<PENSIONSDLG> {
    using Table = database::PENSIONSDB;
    static constexpr const char* caption = "Pension Funds";
    static constexpr const char* prpts = "Pension Fund Properties";
    static constexpr const char* blank =
        "The \"Pension Fund Name\" field must not be blank. Please enter a value for this field.";
    static constexpr const char* exists =
        "Pension fund with this name already exists. Please enter a different name.";
    static constexpr const char* rowLocked =
        "This pension fund is currently locked by another user.";
    static constexpr const char* tableLocked =
        "Cannot delete this pension fund because another user has locked\nsome of the records "
        "in the Pension Funds file. Try again later.";
    static bool remove(PENSIONSDLG& d, common::Ui& ui, common::DialogView& list) {
        return d.deletePension(ui, list, 0, 0);
    }
};

template <class Dlg> class NameListTest : public LookupFixture {
protected:
    using M = Member<Dlg>;
    using Table = typename M::Table;
    void open() { ASSERT_TRUE(dlg.initDlg(ui, list)); }
    bool addByDialog(const std::string& name) {
        FakeDialogView prpts;
        dlg.initNewDlg(prpts);
        prpts.setText(lookupnamedlg::Name, name);
        return dlg.closeNewDlg(ui, prpts, list);
    }
    void addThree() {
        open();
        ASSERT_TRUE(addByDialog("Mwanza"));
        ASSERT_TRUE(addByDialog("arusha"));
        ASSERT_TRUE(addByDialog("Dodoma"));
        ui.clear();
    }

    Dlg dlg{code, folder};
    FakeDialogView list;
};

using NameLists = ::testing::Types<STATIONSDLG, COOPSDLG, PENSIONSDLG>;
TYPED_TEST_SUITE(NameListTest, NameLists);

TYPED_TEST(NameListTest, AnEmptyListHasCaptionAndOnlyAddAndClose) {
    this->open();
    EXPECT_EQ(this->list.caption(), TestFixture::M::caption);
    EXPECT_EQ(this->list.itemCount(lookuplistdlg::List), 0);
    EXPECT_FALSE(this->list.isEnabled(lookuplistdlg::Delete));
    EXPECT_FALSE(this->list.isEnabled(lookuplistdlg::Properties));
    EXPECT_TRUE(this->ui.messages.empty());
}

TYPED_TEST(NameListTest, AddsUnderTheNextCodeInNameOrderAndSelectsTheNewEntry) {
    this->open();
    FakeDialogView prpts;
    this->dlg.initNewDlg(prpts);
    EXPECT_EQ(prpts.caption(), TestFixture::M::prpts);
    EXPECT_EQ(prpts.control(lookupnamedlg::Name).textLimit, 24);
    prpts.setText(lookupnamedlg::Name, "  Mwanza ");
    ASSERT_TRUE(this->dlg.closeNewDlg(this->ui, prpts, this->list));
    // The first entry makes Delete and Properties usable.
    EXPECT_TRUE(this->list.isEnabled(lookuplistdlg::Delete));
    EXPECT_TRUE(this->list.isEnabled(lookuplistdlg::Properties));
    ASSERT_TRUE(this->addByDialog("arusha"));
    EXPECT_EQ(this->selected(this->list), "arusha");
    EXPECT_EQ(this->listed(this->list), (std::vector<std::string>{"arusha", "Mwanza"}));
    EXPECT_EQ(this->list.itemCode(lookuplistdlg::List, 0), 2);
    EXPECT_EQ(this->list.itemCode(lookuplistdlg::List, 1), 1);
    // Without a dialog, as the demo builder and imports add.
    EXPECT_EQ(this->dlg.addEntry(this->ui, {0, "Dodoma"}), 3);
    EXPECT_EQ(this->template stored<typename TestFixture::Table>(),
              (std::vector<std::string>{"arusha", "Dodoma", "Mwanza"}));
    EXPECT_TRUE(this->ui.messages.empty());
}

TYPED_TEST(NameListTest, NamesAreCutToTwentyFourCharacters) {
    EXPECT_EQ(this->dlg.addEntry(this->ui, {0, "Kilimanjaro Region Office North"}), 1);
    EXPECT_EQ(this->template stored<typename TestFixture::Table>(),
              (std::vector<std::string>{"Kilimanjaro Region Offic"}));
    // The cut name is the one compared.
    EXPECT_EQ(this->dlg.addEntry(this->ui, {0, "KILIMANJARO REGION OFFICE South"}), 0);
    this->expectOneMessage(TestFixture::M::exists, MessageIcon::Warning);
}

TYPED_TEST(NameListTest, BlankAndDuplicateNamesAreRefusedAndNothingIsStored) {
    this->addThree();
    for (const auto& [name, message] :
         {std::pair<std::string, std::string>{"   ", TestFixture::M::blank},
          {"", TestFixture::M::blank},
          {"MWANZA", TestFixture::M::exists},
          {" dodoma ", TestFixture::M::exists}}) {
        FakeDialogView prpts;
        this->dlg.initNewDlg(prpts);
        prpts.setText(lookupnamedlg::Name, name);
        EXPECT_FALSE(this->dlg.closeNewDlg(this->ui, prpts, this->list)) << name;
        EXPECT_EQ(prpts.focus(), lookupnamedlg::Name);
        this->expectOneMessage(message, MessageIcon::Warning);
    }
    EXPECT_EQ(this->template stored<typename TestFixture::Table>(),
              (std::vector<std::string>{"arusha", "Dodoma", "Mwanza"}));
}

TYPED_TEST(NameListTest, RenamingKeepsTheCodeAndAcceptsItsOwnNameInAnotherCase) {
    this->addThree();
    this->list.selectRow(lookuplistdlg::List, 0); // arusha, code 2
    FakeDialogView prpts;
    ASSERT_TRUE(this->dlg.initPrptsDlg(this->ui, this->list, prpts));
    EXPECT_EQ(prpts.caption(), TestFixture::M::prpts);
    EXPECT_EQ(prpts.text(lookupnamedlg::Name), "arusha");
    prpts.setText(lookupnamedlg::Name, "Dodoma");
    EXPECT_FALSE(this->dlg.closePrptsDlg(this->ui, prpts, this->list));
    this->expectOneMessage(TestFixture::M::exists, MessageIcon::Warning);
    prpts.setText(lookupnamedlg::Name, "ARUSHA");
    ASSERT_TRUE(this->dlg.closePrptsDlg(this->ui, prpts, this->list));
    EXPECT_TRUE(this->ui.messages.empty());
    EXPECT_EQ(this->selected(this->list), "ARUSHA");
    EXPECT_EQ(this->list.itemCode(lookuplistdlg::List, 0), 2);
    EXPECT_EQ(this->dlg.editedCode(), 0);
    // Without a dialog.
    EXPECT_TRUE(this->dlg.changeEntry(this->ui, {3, "Zanzibar"}));
    EXPECT_EQ(this->template stored<typename TestFixture::Table>(),
              (std::vector<std::string>{"ARUSHA", "Mwanza", "Zanzibar"}));
    EXPECT_FALSE(this->dlg.changeEntry(this->ui, {3, "mwanza"}));
    this->expectOneMessage(TestFixture::M::exists, MessageIcon::Warning);
}

TYPED_TEST(NameListTest, PropertiesOfARowAnotherUserHoldsDoNotOpen) {
    this->addThree();
    typename TestFixture::Table other(this->code, this->folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoName("Dodoma"));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    this->list.selectRow(lookuplistdlg::List, 1);
    FakeDialogView prpts;
    EXPECT_FALSE(this->dlg.initPrptsDlg(this->ui, this->list, prpts));
    this->expectOneMessage(TestFixture::M::rowLocked, MessageIcon::Warning);
    EXPECT_FALSE(this->dlg.changeEntry(this->ui, {3, "Singida"}));
    this->expectOneMessage(TestFixture::M::rowLocked, MessageIcon::Warning);
    other.data()->unlock();
    EXPECT_EQ(this->template stored<typename TestFixture::Table>(),
              (std::vector<std::string>{"arusha", "Dodoma", "Mwanza"}));
}

TYPED_TEST(NameListTest, AnOpenPropertiesDialogHoldsItsRowUntilCancelled) {
    this->addThree();
    this->list.selectRow(lookuplistdlg::List, 2);
    FakeDialogView prpts;
    ASSERT_TRUE(this->dlg.initPrptsDlg(this->ui, this->list, prpts));
    typename TestFixture::Table other(this->code, this->folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoName("Mwanza"));
    EXPECT_NE(other.data()->lock(other.data()->recNo()), engine::r4success);
    // Nor can another user delete from the table under it.
    TypeParam otherDlg(this->code, this->folder);
    FakeDialogView otherList;
    ASSERT_TRUE(otherDlg.initDlg(this->ui, otherList));
    EXPECT_FALSE(TestFixture::M::remove(otherDlg, this->ui, otherList));
    this->expectOneMessage(TestFixture::M::tableLocked, MessageIcon::Warning);
    EXPECT_EQ(this->listed(otherList), (std::vector<std::string>{"arusha", "Dodoma", "Mwanza"}));
    this->dlg.cancelPrptsDlg();
    EXPECT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
}

TYPED_TEST(NameListTest, DeleteSelectsTheEntryAboveAndTheLastLeavesButtonsDisabled) {
    this->addThree();
    this->list.selectRow(lookuplistdlg::List, 2);
    ASSERT_TRUE(TestFixture::M::remove(this->dlg, this->ui, this->list));
    EXPECT_EQ(this->listed(this->list), (std::vector<std::string>{"arusha", "Dodoma"}));
    EXPECT_EQ(this->selected(this->list), "Dodoma");
    this->list.selectRow(lookuplistdlg::List, 0);
    ASSERT_TRUE(TestFixture::M::remove(this->dlg, this->ui, this->list));
    EXPECT_EQ(this->selected(this->list), "Dodoma");
    ASSERT_TRUE(TestFixture::M::remove(this->dlg, this->ui, this->list));
    EXPECT_EQ(this->list.itemCount(lookuplistdlg::List), 0);
    EXPECT_FALSE(this->list.isEnabled(lookuplistdlg::Delete));
    EXPECT_FALSE(this->list.isEnabled(lookuplistdlg::Properties));
    EXPECT_TRUE(this->ui.messages.empty());
    EXPECT_TRUE(this->template stored<typename TestFixture::Table>().empty());
    // The code of a deleted last entry is given again: no row holds it.
    EXPECT_EQ(this->dlg.addEntry(this->ui, {0, "Tanga"}), 1);
}

TYPED_TEST(NameListTest, DeleteIsRefusedWhileAnotherUserHoldsARow) {
    this->addThree();
    typename TestFixture::Table other(this->code, this->folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoName("arusha"));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    this->list.selectRow(lookuplistdlg::List, 1);
    EXPECT_FALSE(TestFixture::M::remove(this->dlg, this->ui, this->list));
    this->expectOneMessage(TestFixture::M::tableLocked, MessageIcon::Warning);
    EXPECT_EQ(this->listed(this->list), (std::vector<std::string>{"arusha", "Dodoma", "Mwanza"}));
    other.data()->unlock();
    EXPECT_EQ(this->template stored<typename TestFixture::Table>().size(), 3u);
}

TYPED_TEST(NameListTest, WithoutASelectionPropertiesAndDeleteOnlyBeep) {
    this->addThree();
    this->list.selectRow(lookuplistdlg::List, -1);
    FakeDialogView prpts;
    EXPECT_FALSE(this->dlg.initPrptsDlg(this->ui, this->list, prpts));
    EXPECT_FALSE(TestFixture::M::remove(this->dlg, this->ui, this->list));
    EXPECT_EQ(this->ui.beeps, 2);
    EXPECT_TRUE(this->ui.messages.empty());
    EXPECT_EQ(this->template stored<typename TestFixture::Table>().size(), 3u);
}

TYPED_TEST(NameListTest, TheTimerRefillsTheListOnlyAfterAnotherUsersChange) {
    this->addThree();
    this->list.selectRow(lookuplistdlg::List, 1); // Dodoma
    EXPECT_FALSE(this->dlg.refreshIfChanged(this->list));
    {
        TypeParam other(this->code, this->folder); // another workstation's list
        EXPECT_EQ(other.addEntry(this->ui, {0, "Bukoba"}), 4);
    }
    // File times may be coarse: make the change visible whatever they are.
    const std::string path = this->folder.resolve(TestFixture::Table::kPath);
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
    EXPECT_TRUE(this->dlg.refreshIfChanged(this->list));
    EXPECT_EQ(this->listed(this->list),
              (std::vector<std::string>{"arusha", "Bukoba", "Dodoma", "Mwanza"}));
    EXPECT_EQ(this->selected(this->list), "Dodoma");
    EXPECT_FALSE(this->dlg.refreshIfChanged(this->list));
    // A vanished selection keeps its place.
    {
        TypeParam other(this->code, this->folder);
        FakeDialogView otherList;
        ASSERT_TRUE(other.initDlg(this->ui, otherList));
        otherList.selectRow(lookuplistdlg::List, 2);
        ASSERT_TRUE(TestFixture::M::remove(other, this->ui, otherList));
        other.closeDlg();
    }
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(4));
    EXPECT_TRUE(this->dlg.refreshIfChanged(this->list));
    EXPECT_EQ(this->selected(this->list), "Mwanza");
    EXPECT_TRUE(this->ui.messages.empty());
}

// ---------------------------------------------------------------------------
// In use

TEST_F(LookupFixture, AStationEmployeesAreAssignedToStays) {
    STATIONSDLG stations(code, folder);
    ASSERT_EQ(stations.addEntry(ui, {0, "Arusha"}), 1);
    addEmployee("E1", "STATION", 1);
    addEmployee("E2", "STATION", 1);
    EXPECT_FALSE(stations.deleteEntry(ui, 1));
    expectOneMessage("The personnel file has 2 employee(s) assigned to this station. The station "
                     "can therefore not be deleted.",
                     MessageIcon::Information);
    EXPECT_EQ(stored<database::STATIONSDB>(), std::vector<std::string>{"Arusha"});
}

TEST_F(LookupFixture, AStationIsKeptWhenThePersonnelFileCannotBeCounted) {
    STATIONSDLG stations(code, folder);
    ASSERT_EQ(stations.addEntry(ui, {0, "Arusha"}), 1);
    fs::remove(folder.resolve(database::STATDB::kPath));
    EXPECT_FALSE(stations.deleteEntry(ui, 1));
    expectOneMessage("Can't open database/static.dbf", MessageIcon::Error);
    EXPECT_EQ(stored<database::STATIONSDB>(), std::vector<std::string>{"Arusha"});
}

TEST_F(LookupFixture, FundsInUseAreTold) {
    struct Case {
        long employees, items;
        const char* coop;
        const char* pension;
    };
    const Case cases[] = {
        {3, 0,
         "The payroll master file has 3 employee(s) belonging to this co-operative. The "
         "co-operative can therefore not be deleted.",
         "The payroll master file has 3 employee(s) belonging to this pension fund. The pension "
         "fund can therefore not be deleted."},
        {1, 4,
         "The payroll master file has 1 employee(s) belonging to this co-operative. The "
         "co-operative can therefore not be deleted.",
         "The payroll master file has 1 employee(s) belonging to this pension fund. The pension "
         "fund can therefore not be deleted."},
        {0, 2,
         "The payroll files have 2 deduction(s) relating to this co-operative. The co-operative "
         "can therefore not be deleted.",
         "The payroll files have 2 deduction(s) relating to this pension fund. The pension fund "
         "can therefore not be deleted."},
    };
    COOPSDLG coops(code, folder);
    PENSIONSDLG pensions(code, folder);
    ASSERT_EQ(coops.addEntry(ui, {0, "SACCO"}), 1);
    ASSERT_EQ(pensions.addEntry(ui, {0, "PSSSF"}), 1);
    for (const Case& c : cases) {
        EXPECT_FALSE(coops.deleteEntry(ui, 1, c.employees, c.items));
        expectOneMessage(c.coop, MessageIcon::Information);
        EXPECT_FALSE(pensions.deleteEntry(ui, 1, c.employees, c.items));
        expectOneMessage(c.pension, MessageIcon::Information);
    }
    FakeDialogView list;
    ASSERT_TRUE(coops.initDlg(ui, list));
    EXPECT_EQ(coops.getSelCoopCode(list), 1);
    EXPECT_TRUE(coops.deleteCoop(ui, list, 0, 0));
    EXPECT_EQ(coops.getSelCoopCode(list), 0);
    EXPECT_EQ(pensions.getSelPensionCode(list), 0);
    EXPECT_EQ(stored<database::PENSIONSDB>(), std::vector<std::string>{"PSSSF"});
}

TEST_F(LookupFixture, CheckFilesNamesTheFileThatIsMissing) {
    STATIONSDLG stations(code, folder);
    EXPECT_TRUE(stations.checkFiles(ui));
    fs::remove(folder.resolve(database::STATDB::kPath));
    EXPECT_FALSE(stations.checkFiles(ui));
    expectOneMessage("Can't open database/static.dbf", MessageIcon::Error);
    GRADESDLG grades(code, folder);
    EXPECT_TRUE(grades.checkFiles(ui));
    JOBSDLG jobs(code, folder);
    EXPECT_FALSE(jobs.checkFiles(ui));
    expectOneMessage("Can't open database/static.dbf", MessageIcon::Error);
}

// ---------------------------------------------------------------------------
// Grades

class GradesTest : public LookupFixture {
protected:
    bool addByDialog(const char* name, const char* rank, const char* lower, const char* upper) {
        FakeDialogView prpts;
        grades.initNewGradeDlg(prpts);
        prpts.setText(gradedlg::Name, name);
        prpts.setText(gradedlg::Rank, rank);
        prpts.setText(gradedlg::LowerLimit, lower);
        prpts.setText(gradedlg::UpperLimit, upper);
        const bool added = grades.closeNewGradeDlg(ui, prpts, list);
        lastPrpts = prpts;
        return added;
    }
    database::GRADEREC storedGrade(long gradeCode) {
        database::GRADESDB table(code, folder);
        EXPECT_TRUE(table.openFile());
        database::GRADEREC rec;
        EXPECT_TRUE(table.getGradeRec(gradeCode, rec));
        return rec;
    }

    GRADESDLG grades{code, folder};
    FakeDialogView list;
    FakeDialogView lastPrpts;
};

TEST_F(GradesTest, ANewGradeStartsAtRankOneWithLimitsOfNought) {
    ASSERT_TRUE(grades.initDlg(ui, list));
    EXPECT_EQ(list.caption(), "Grades");
    FakeDialogView prpts;
    grades.initNewGradeDlg(prpts);
    EXPECT_EQ(prpts.caption(), "Grade Properties");
    EXPECT_EQ(prpts.text(gradedlg::Name), "");
    EXPECT_EQ(prpts.text(gradedlg::Rank), "1");
    EXPECT_EQ(prpts.text(gradedlg::LowerLimit), "0");
    EXPECT_EQ(prpts.text(gradedlg::UpperLimit), "0");
}

TEST_F(GradesTest, RefusalsNameTheirFieldAndStoreNothing) {
    struct Case {
        const char *name, *rank, *lower, *upper, *message, *focus;
    };
    const char* invalidLower = "The value entered for the \"Lower Limit\" field is invalid.";
    const char* invalidUpper = "The value entered for the \"Upper Limit\" field is invalid.";
    const char* rank = "Rank must be greater than 0.";
    const Case cases[] = {
        {" ", "1", "0", "0",
         "The \"Grade Name\" field must not be blank. Please enter a value for this field.",
         gradedlg::Name},
        {"A1", "0", "0", "0", rank, gradedlg::Rank},
        {"A1", "-3", "0", "0", rank, gradedlg::Rank},
        {"A1", "two", "0", "0", rank, gradedlg::Rank},
        {"A1", "", "0", "0", rank, gradedlg::Rank},
        {"A1", "1", "abc", "0", invalidLower, gradedlg::LowerLimit},
        {"A1", "1", "-1", "0", invalidLower, gradedlg::LowerLimit},
        {"A1", "1", "", "0", invalidLower, gradedlg::LowerLimit},
        {"A1", "1", "1000000000000", "1000000000000", invalidLower, gradedlg::LowerLimit},
        {"A1", "1", "0", "12x", invalidUpper, gradedlg::UpperLimit},
        {"A1", "1", "0", "-5", invalidUpper, gradedlg::UpperLimit},
        {"A1", "1", "5000", "4000", "The \"Lower Limit\" must not exceed the \"Upper Limit\".",
         gradedlg::LowerLimit},
    };
    ASSERT_TRUE(grades.initDlg(ui, list));
    for (const Case& c : cases) {
        EXPECT_FALSE(addByDialog(c.name, c.rank, c.lower, c.upper)) << c.message;
        EXPECT_EQ(lastPrpts.focus(), c.focus) << c.message;
        expectOneMessage(c.message, MessageIcon::Warning);
    }
    EXPECT_TRUE(stored<database::GRADESDB>().empty());
    EXPECT_EQ(list.itemCount(lookuplistdlg::List), 0);
}

TEST_F(GradesTest, EqualLimitsAreAcceptedAndOnlyTheMonthlyPairIsEdited) {
    ASSERT_TRUE(grades.initDlg(ui, list));
    ASSERT_TRUE(addByDialog("TGS B", "3", "4000", "4000"));
    ASSERT_TRUE(addByDialog("TGS A", "2", "1,500,000", "2,250,000"));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(listed(list), (std::vector<std::string>{"TGS A", "TGS B"}));
    EXPECT_EQ(selected(list), "TGS A");
    const database::GRADEREC a = storedGrade(2);
    EXPECT_EQ(a.name, "TGS A");
    EXPECT_EQ(a.rank, 2);
    EXPECT_EQ(a.lowerLimit, (std::array<double, 4>{1500000, 0, 0, 0}));
    EXPECT_EQ(a.upperLimit, (std::array<double, 4>{2250000, 0, 0, 0}));
    EXPECT_EQ(storedGrade(1).lowerLimit[0], 4000);
}

TEST_F(GradesTest, PropertiesShowWholeShillingsAndFlagMovedLimits) {
    ASSERT_TRUE(grades.initDlg(ui, list));
    ASSERT_TRUE(addByDialog("TGS A", "2", "1500000", "2250000"));
    FakeDialogView prpts;
    ASSERT_TRUE(grades.initPrptsDlg(ui, list, prpts));
    EXPECT_EQ(prpts.caption(), "Grade Properties");
    EXPECT_EQ(prpts.text(gradedlg::Name), "TGS A");
    EXPECT_EQ(prpts.text(gradedlg::Rank), "2");
    EXPECT_EQ(prpts.text(gradedlg::LowerLimit), "1500000");
    EXPECT_EQ(prpts.text(gradedlg::UpperLimit), "2250000");
    prpts.setText(gradedlg::Name, "TGS Alpha");
    ASSERT_TRUE(grades.closePrptsDlg(ui, prpts, list));
    EXPECT_FALSE(grades.limitsChanged());
    EXPECT_EQ(selected(list), "TGS Alpha");

    ASSERT_TRUE(grades.initPrptsDlg(ui, list, prpts));
    prpts.setText(gradedlg::UpperLimit, "1000");
    EXPECT_FALSE(grades.closePrptsDlg(ui, prpts, list));
    expectOneMessage("The \"Lower Limit\" must not exceed the \"Upper Limit\".",
                     MessageIcon::Warning);
    EXPECT_FALSE(grades.limitsChanged());
    prpts.setText(gradedlg::UpperLimit, "3000000");
    ASSERT_TRUE(grades.closePrptsDlg(ui, prpts, list));
    EXPECT_TRUE(grades.limitsChanged());
    EXPECT_EQ(storedGrade(1).upperLimit[0], 3000000);
    grades.clearLimitsChanged();
    EXPECT_FALSE(grades.limitsChanged());
}

TEST_F(GradesTest, AGradeJobsHaveStaysAndLocksOfOthersAreTold) {
    ASSERT_TRUE(grades.initDlg(ui, list));
    ASSERT_TRUE(addByDialog("TGS A", "1", "0", "0"));
    {
        database::JOBSDB jobs(code, folder);
        ASSERT_TRUE(jobs.openFile());
        for (database::JOBREC j : {database::JOBREC{0, "Clerk", 1, ""}, {0, "Driver", 1, ""}})
            ASSERT_TRUE(jobs.appendRecord(j));
    }
    EXPECT_FALSE(grades.deleteGrade(ui, list));
    expectOneMessage("The jobs file has 2 job(s) belonging to this grade. The grade can "
                     "therefore not be deleted.",
                     MessageIcon::Information);

    database::GRADESDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoCode(1));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    FakeDialogView prpts;
    EXPECT_FALSE(grades.initPrptsDlg(ui, list, prpts));
    expectOneMessage("This grade is currently locked by another user.", MessageIcon::Warning);
    EXPECT_EQ(grades.addEntry(ui, database::GRADEREC{0, "TGS B", 2, {}, {}}), 2);
    EXPECT_FALSE(grades.deleteEntry(ui, 2));
    expectOneMessage("Cannot delete this grade because another user has locked\nsome of the "
                     "records in the Grades file. Try again later.",
                     MessageIcon::Warning);
    other.data()->unlock();
    EXPECT_TRUE(grades.deleteEntry(ui, 2));
    EXPECT_EQ(stored<database::GRADESDB>(), std::vector<std::string>{"TGS A"});
}

// ---------------------------------------------------------------------------
// Jobs

class JobsTest : public LookupFixture {
protected:
    void SetUp() override {
        LookupFixture::SetUp();
        GRADESDLG grades(code, folder);
        ASSERT_EQ(grades.addEntry(ui, database::GRADEREC{0, "TGS B", 2, {}, {}}), 1);
        ASSERT_EQ(grades.addEntry(ui, database::GRADEREC{0, "TGS A", 1, {}, {}}), 2);
        ASSERT_TRUE(jobs.initDlg(ui, list));
    }
    bool addByDialog(const char* title, const char* grade, const char* description) {
        FakeDialogView prpts;
        jobs.initNewJobDlg(prpts);
        prpts.setText(jobdlg::Title, title);
        prpts.selectRow(jobdlg::Grade, prpts.findItem(jobdlg::Grade, grade));
        prpts.setText(jobdlg::Description, description);
        const bool added = jobs.closeNewJobDlg(ui, prpts, list);
        lastPrpts = prpts;
        return added;
    }
    database::JOBREC storedJob(long jobCode) {
        database::JOBSDB table(code, folder);
        EXPECT_TRUE(table.openFile());
        database::JOBREC rec;
        EXPECT_TRUE(table.getJobRec(jobCode, rec));
        return rec;
    }

    JOBSDLG jobs{code, folder};
    FakeDialogView list;
    FakeDialogView lastPrpts;
};

TEST_F(JobsTest, TheNewJobDialogOffersEveryGradeByName) {
    EXPECT_EQ(list.caption(), "Jobs");
    FakeDialogView prpts;
    jobs.initNewJobDlg(prpts);
    EXPECT_EQ(prpts.caption(), "Job Properties");
    ASSERT_EQ(prpts.itemCount(jobdlg::Grade), 2);
    EXPECT_EQ(prpts.itemText(jobdlg::Grade, 0), "TGS A");
    EXPECT_EQ(prpts.itemText(jobdlg::Grade, 1), "TGS B");
    EXPECT_EQ(prpts.selectedRow(jobdlg::Grade), -1);
    EXPECT_EQ(prpts.control(jobdlg::Title).textLimit, 24);
    EXPECT_EQ(prpts.control(jobdlg::Description).textLimit, 199);
}

TEST_F(JobsTest, AJobNeedsATitleOfItsOwnAndAGrade) {
    struct Case {
        const char *title, *grade, *message, *focus;
    };
    ASSERT_TRUE(addByDialog("Payroll Clerk", "TGS B", "Keys the pay run"));
    const Case cases[] = {
        {"", "TGS A",
         "The \"Job Title\" field must not be blank. Please enter a value for this field.",
         jobdlg::Title},
        {"payroll clerk", "TGS A",
         "Job with this title already exists. Please enter a different title.", jobdlg::Title},
        {"Driver", "", "The value entered for the \"Grade\" field is invalid.", jobdlg::Grade},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(addByDialog(c.title, c.grade, "")) << c.message;
        EXPECT_EQ(lastPrpts.focus(), c.focus);
        expectOneMessage(c.message, MessageIcon::Warning);
    }
    EXPECT_EQ(jobs.addEntry(ui, database::JOBREC{0, "Driver", 9, ""}), 0);
    expectOneMessage("The value entered for the \"Grade\" field is invalid.", MessageIcon::Warning);
    EXPECT_EQ(stored<database::JOBSDB>(), std::vector<std::string>{"Payroll Clerk"});
    const database::JOBREC clerk = storedJob(1);
    EXPECT_EQ(clerk.gradeCode, 1);
    EXPECT_EQ(clerk.description, "Keys the pay run");
}

TEST_F(JobsTest, PropertiesShowTheGradeAndFlagAChangedOne) {
    ASSERT_TRUE(addByDialog("Payroll Clerk", "TGS B", "Keys the pay run"));
    FakeDialogView prpts;
    ASSERT_TRUE(jobs.initPrptsDlg(ui, list, prpts));
    EXPECT_EQ(prpts.text(jobdlg::Title), "Payroll Clerk");
    EXPECT_EQ(prpts.itemText(jobdlg::Grade, prpts.selectedRow(jobdlg::Grade)), "TGS B");
    EXPECT_EQ(prpts.text(jobdlg::Description), "Keys the pay run");
    prpts.setText(jobdlg::Description, "Keys and checks the pay run");
    ASSERT_TRUE(jobs.closePrptsDlg(ui, prpts, list));
    EXPECT_FALSE(jobs.gradeChanged());
    ASSERT_TRUE(jobs.initPrptsDlg(ui, list, prpts));
    prpts.selectRow(jobdlg::Grade, prpts.findItem(jobdlg::Grade, "TGS A"));
    ASSERT_TRUE(jobs.closePrptsDlg(ui, prpts, list));
    EXPECT_TRUE(jobs.gradeChanged());
    const database::JOBREC clerk = storedJob(1);
    EXPECT_EQ(clerk.gradeCode, 2);
    EXPECT_EQ(clerk.description, "Keys and checks the pay run");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(JobsTest, AJobPostsAreOfStaysAndLocksOfOthersAreTold) {
    ASSERT_TRUE(addByDialog("Payroll Clerk", "TGS B", ""));
    {
        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.openFile());
        database::POSTREC post;
        post.unit = 1;
        post.job = 1;
        post.count[0] = 2;
        ASSERT_TRUE(posts.appendRecord(post));
    }
    EXPECT_FALSE(jobs.deleteJob(ui, list));
    expectOneMessage(
        "The posts file has 1 post(s) of this type. The job can therefore not be deleted.",
        MessageIcon::Information);
    ASSERT_TRUE(addByDialog("Driver", "TGS A", ""));
    database::JOBSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoCode(2));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    FakeDialogView prpts;
    EXPECT_FALSE(jobs.initPrptsDlg(ui, list, prpts)); // Driver is selected
    expectOneMessage("This job is currently locked by another user.", MessageIcon::Warning);
    EXPECT_FALSE(jobs.deleteJob(ui, list));
    expectOneMessage("Cannot delete this job because another user has locked\nsome of the "
                     "records in the Jobs file. Try again later.",
                     MessageIcon::Warning);
    other.data()->unlock();
    EXPECT_TRUE(jobs.deleteJob(ui, list));
    EXPECT_EQ(stored<database::JOBSDB>(), std::vector<std::string>{"Payroll Clerk"});
}

TEST_F(JobsTest, CheckFilesWantsGradesAndOpenFilesHoldsTheJobsAlone) {
    jobs.closeDlg();
    EXPECT_TRUE(jobs.checkFiles(ui));
    ASSERT_TRUE(jobs.openFiles());
    database::JOBSDB other(code, folder);
    EXPECT_FALSE(other.openFile());
    code.setErrorCode(0);
    database::GRADESDB otherGrades(code, folder);
    EXPECT_TRUE(otherGrades.openFile());
    jobs.closeFiles();
    EXPECT_TRUE(other.openFile());
    other.closeFile();
    otherGrades.closeFile();

    fs::remove(folder.resolve(database::GRADESDB::kPath));
    database::GRADESDB empty(code, folder);
    ASSERT_TRUE(empty.createFile(ui));
    ui.clear();
    EXPECT_FALSE(jobs.checkFiles(ui));
    expectOneMessage("The Job Grades file is empty.", MessageIcon::Error);
}

} // namespace
} // namespace kelo::setup
