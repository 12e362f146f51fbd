#include "setup/TreeDialogs.h"

#include "database/StaticDb.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::setup {
namespace {

using common::DialogView;
using common::MessageIcon;
using database::POSTREC;
using testsupport::FakeDialogView;
using TreeItem = DialogView::TreeItem;
namespace fs = std::filesystem;

// An organisation with every table the three dialogs use, empty, and the
// shared banks tables.
class TreeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("system/settings"));
        fs::create_directories(dir.file("org01/settings"));
        fs::create_directories(dir.file("org01/database"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        create<database::UNITSDB>();
        create<database::POSTSDB>();
        create<database::JOBSDB>();
        create<database::STATDB>();
        database::BANKSDB banks(code, folder);
        ASSERT_TRUE(banks.newBankFile(ui));
        ASSERT_TRUE(banks.newBranchFile(ui));
        ui.clear();
    }
    template <class Table> void create() {
        Table table(code, folder);
        ASSERT_TRUE(table.createFile(ui));
    }
    // File times may be coarse: make another user's change visible whatever
    // they are.
    void touch(const std::string& path) {
        fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
    }
    void expectOneMessage(const std::string& text, MessageIcon icon) {
        ASSERT_EQ(ui.messages.size(), 1u) << ui.lastMessage();
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].icon, icon);
        EXPECT_EQ(ui.messages[0].caption, "Kelo Roster");
        ui.clear();
    }
    // Every unit as "code name parent", read by a fresh handle.
    std::vector<std::string> storedUnits() {
        database::UNITSDB units(code, folder);
        EXPECT_TRUE(units.openFile());
        units.orderByCode();
        std::vector<std::string> rows;
        for (const auto& u : units.units())
            rows.push_back(std::to_string(u.code) + " " + u.name + " " + std::to_string(u.parent));
        return rows;
    }
    std::vector<POSTREC> storedPosts() {
        database::POSTSDB posts(code, folder);
        EXPECT_TRUE(posts.openFile());
        return posts.allPosts();
    }
    long addJob(const std::string& title) {
        database::JOBSDB jobs(code, folder);
        EXPECT_TRUE(jobs.openFile());
        database::JOBREC rec{0, title, 1, ""};
        EXPECT_TRUE(jobs.appendRecord(rec));
        return rec.code;
    }
    void addEmployee(const char* empNum, long unit, long job, int terms) {
        database::STATDB personnel(code, folder);
        ASSERT_TRUE(personnel.openFile());
        engine::Data4& d = *personnel.data();
        ASSERT_EQ(d.appendStart(), engine::r4success);
        d.blank();
        d.field("EMPNO")->assign(empNum);
        d.field("UNIT")->assignLong(unit);
        d.field("JOB")->assignLong(job);
        d.field("TERMS")->assignLong(terms);
        ASSERT_EQ(d.append(), engine::r4success);
    }
    std::vector<std::string> childTexts(const FakeDialogView& view, const char* tree,
                                        TreeItem parent) const {
        std::vector<std::string> texts;
        for (TreeItem item : view.treeChildren(tree, parent))
            texts.push_back(view.treeItemText(tree, item));
        return texts;
    }
    std::string selectedText(const FakeDialogView& view, const char* tree) const {
        const TreeItem item = view.selectedTreeItem(tree);
        return item == DialogView::kRoot ? "" : view.treeItemText(tree, item);
    }
    TreeItem itemOf(const FakeDialogView& view, const char* tree, TreeItem parent,
                    const std::string& text) const {
        for (TreeItem item : view.treeChildren(tree, parent))
            if (view.treeItemText(tree, item) == text)
                return item;
        return DialogView::kRoot;
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
};

// ---------------------------------------------------------------------------
// Administrative units

class UnitsTest : public TreeFixture {
protected:
    // Head Office (1) above Finance (2) above Payroll (3); Stores (4) at the top.
    void addOffice() {
        ASSERT_EQ(units.addUnit(ui, "Head Office", 0), 1);
        ASSERT_EQ(units.addUnit(ui, "Finance", 1), 2);
        ASSERT_EQ(units.addUnit(ui, "Payroll", 2), 3);
        ASSERT_EQ(units.addUnit(ui, "Stores", 0), 4);
        ASSERT_TRUE(ui.messages.empty()) << ui.lastMessage();
    }
    void open() { ASSERT_TRUE(units.initDlg(ui, tree)); }
    bool addByDialog(const std::string& name, bool oneLevelDown) {
        FakeDialogView prpts;
        if (!units.initNewUnitDlg(ui, tree, prpts))
            return false;
        prpts.setText(unitprptsdlg::Name, name);
        prpts.setChecked(unitprptsdlg::ThisLevel, !oneLevelDown);
        prpts.setChecked(unitprptsdlg::OneLevelDown, oneLevelDown);
        return units.closeNewUnitDlg(ui, prpts, tree);
    }
    void select(long unit) {
        ASSERT_TRUE(database::UNITSDB::selectUnit(tree, unitsdlg::Tree, unit));
    }

    UNITSDLG units{code, folder};
    FakeDialogView tree;
};

TEST_F(UnitsTest, NameRulesRefuseWithTheirMessageAndStoreNothing) {
    addOffice();
    // "Payroll.Finance.Head Office" is 27 characters: a name of 52 would make
    // 80, but names stop at 24, so depth supplies the length.
    const std::string name24(24, 'x');
    ASSERT_EQ(units.addUnit(ui, name24, 3), 5);               // 52 characters
    ASSERT_EQ(units.addUnit(ui, std::string(24, 'y'), 5), 6); // 77 characters
    ui.clear();
    const std::vector<std::string> before = storedUnits();
    const std::string fqn =
        "zz." + std::string(24, 'y') + "." + name24 + ".Payroll.Finance.Head Office";
    struct Case {
        std::string name;
        long parent;
        std::string message;
    } cases[] = {
        {"", 0, "Unit name must not be blank. Please enter a value for this field."},
        {"   ", 1, "Unit name must not be blank. Please enter a value for this field."},
        {"Sales.North", 1, "Unit name cannot contain period character."},
        {".", 0, "Unit name cannot contain period character."},
        {"zz", 6,
         "Fully qualified unit name can't have more than 79 characters. \"" + fqn + "\" has 80."},
        {"finance", 4, "Unit with this name already exists. Please enter a different name."},
        {" STORES ", 0, "Unit with this name already exists. Please enter a different name."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(units.addUnit(ui, c.name, c.parent), 0);
        expectOneMessage(c.message, MessageIcon::Warning);
    }
    EXPECT_EQ(storedUnits(), before);
    // 79 characters are allowed.
    EXPECT_EQ(units.addUnit(ui, "z", 6), 7);
    database::UNITSDB check(code, folder);
    ASSERT_TRUE(check.openFile());
    EXPECT_EQ(check.getUnitPath(7).size(), 79u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(UnitsTest, NewUnitsGoAtThisLevelOrOneLevelDownAndGetQualifiedNames) {
    open();
    FakeDialogView prpts;
    ASSERT_TRUE(units.initNewUnitDlg(ui, tree, prpts));
    EXPECT_EQ(prpts.caption(), "Unit Properties");
    EXPECT_EQ(prpts.control(unitprptsdlg::Name).textLimit, 24);
    // An empty table leaves no choice of level.
    EXPECT_TRUE(prpts.isChecked(unitprptsdlg::ThisLevel));
    EXPECT_FALSE(prpts.isEnabled(unitprptsdlg::ThisLevel));
    EXPECT_FALSE(prpts.isEnabled(unitprptsdlg::OneLevelDown));
    EXPECT_FALSE(tree.isEnabled(unitsdlg::Delete));
    ASSERT_TRUE(addByDialog("C", false));
    EXPECT_TRUE(tree.isEnabled(unitsdlg::Delete));
    EXPECT_TRUE(tree.isEnabled(unitsdlg::Properties));
    ASSERT_TRUE(addByDialog("B", true));
    ASSERT_TRUE(addByDialog("A", true));
    ASSERT_TRUE(addByDialog("Aa", false)); // beside A, under B
    EXPECT_EQ(selectedText(tree, unitsdlg::Tree), "Aa");
    EXPECT_EQ(storedUnits(), (std::vector<std::string>{"1 C 0", "2 B 1", "3 A 2", "4 Aa 2"}));
    EXPECT_EQ(units.getUnitPath(3), "A.B.C");
    EXPECT_EQ(units.getUnitPath(3).size(), 5u);
    const TreeItem c = itemOf(tree, unitsdlg::Tree, DialogView::kRoot, "C");
    const TreeItem b = itemOf(tree, unitsdlg::Tree, c, "B");
    EXPECT_EQ(childTexts(tree, unitsdlg::Tree, b), (std::vector<std::string>{"A", "Aa"}));
    EXPECT_TRUE(tree.control(unitsdlg::Tree).nodes[b].expanded);
    EXPECT_TRUE(ui.messages.empty());
    // With units but none selected the dialog does not open.
    tree.selectTreeItem(unitsdlg::Tree, DialogView::kRoot);
    EXPECT_FALSE(units.initNewUnitDlg(ui, tree, prpts));
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(UnitsTest, RenameLocksTheRowAndChecksEveryUnitBelow) {
    addOffice();
    open();
    select(2);
    FakeDialogView prpts;
    ASSERT_TRUE(units.initPrptsDlg(ui, tree, prpts));
    EXPECT_EQ(prpts.text(unitprptsdlg::Name), "Finance");
    EXPECT_FALSE(prpts.isVisible(unitprptsdlg::InsertAt));
    // Another user cannot take the row meanwhile.
    database::UNITSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoCode(2));
    EXPECT_NE(other.data()->lock(other.data()->recNo()), engine::r4success);
    prpts.setText(unitprptsdlg::Name, "Stores");
    EXPECT_FALSE(units.closePrptsDlg(ui, prpts, tree));
    expectOneMessage("Unit with this name already exists. Please enter a different name.",
                     MessageIcon::Warning);
    EXPECT_NE(other.data()->lock(other.data()->recNo()), engine::r4success); // still held
    prpts.setText(unitprptsdlg::Name, "Accounts");
    ASSERT_TRUE(units.closePrptsDlg(ui, prpts, tree));
    EXPECT_EQ(childTexts(tree, unitsdlg::Tree,
                         itemOf(tree, unitsdlg::Tree, DialogView::kRoot, "Head Office")),
              (std::vector<std::string>{"Accounts"}));
    EXPECT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    // Now the other user holds it.
    EXPECT_FALSE(units.renameUnit(ui, 2, "Finance"));
    expectOneMessage("This unit is currently locked by another user.", MessageIcon::Warning);
    EXPECT_FALSE(units.initPrptsDlg(ui, tree, prpts));
    expectOneMessage("This unit is currently locked by another user.", MessageIcon::Warning);
    other.data()->unlock();
    // Its own name in another case is accepted; the same name changes nothing.
    EXPECT_TRUE(units.renameUnit(ui, 2, "ACCOUNTS"));
    EXPECT_TRUE(units.renameUnit(ui, 2, "ACCOUNTS"));
    // A name making Payroll's qualified name 80 characters long is refused.
    ASSERT_EQ(units.addUnit(ui, std::string(24, 'p'), 3), 5);
    ASSERT_EQ(units.addUnit(ui, std::string(24, 'q'), 5), 6); // 24+1+24+1+7+1+8+1+11 = 78
    EXPECT_FALSE(units.renameUnit(ui, 2, "ACCOUNTSxx"));
    expectOneMessage("Fully qualified unit name can't have more than 79 characters. \"" +
                         std::string(24, 'q') + "." + std::string(24, 'p') +
                         ".Payroll.ACCOUNTSxx.Head Office\" has 80.",
                     MessageIcon::Warning);
    EXPECT_TRUE(units.renameUnit(ui, 2, "ACCOUNTSx"));
    EXPECT_EQ(storedUnits()[1], "2 ACCOUNTSx 1");
}

TEST_F(UnitsTest, DeleteIsRefusedForSubUnitsPostsEmployeesAndOtherUsersLocks) {
    addOffice();
    const long clerk = addJob("Clerk");
    open();
    select(2);
    EXPECT_FALSE(units.deleteUnit(ui, tree));
    expectOneMessage("Unit has sub-units and cannot be deleted.", MessageIcon::Information);
    {
        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.openFile());
        ASSERT_TRUE(posts.appendRecord({3, clerk, {2, 0, 0, 0}}));
    }
    select(3);
    EXPECT_FALSE(units.deleteUnit(ui, tree));
    expectOneMessage("There are 1 posts(s) in this unit. The unit can therefore not be deleted.",
                     MessageIcon::Information);
    addEmployee("E1", 4, clerk, 0);
    EXPECT_FALSE(units.deleteUnit(ui, 4));
    expectOneMessage("The personnel file has 1 employee(s) assigned to this unit. The unit can "
                     "therefore not be deleted.",
                     MessageIcon::Information);
    ASSERT_EQ(units.addUnit(ui, "Audit", 1), 5);
    database::UNITSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoCode(1));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    EXPECT_FALSE(units.deleteUnit(ui, 5));
    expectOneMessage("Cannot delete this unit because another user has locked some\nof the "
                     "records in the Admin Units file. Try again later.",
                     MessageIcon::Warning);
    other.data()->unlock();
    EXPECT_EQ(storedUnits().size(), 5u);
}

TEST_F(UnitsTest, DeleteSelectsThePreviousSiblingTheItemAboveOrTheNext) {
    ASSERT_EQ(units.addUnit(ui, "Head Office", 0), 1);
    ASSERT_EQ(units.addUnit(ui, "Audit", 1), 2);
    ASSERT_EQ(units.addUnit(ui, "Finance", 1), 3);
    ASSERT_EQ(units.addUnit(ui, "Stores", 0), 4);
    open();
    select(3);
    ASSERT_TRUE(units.deleteUnit(ui, tree));
    EXPECT_EQ(selectedText(tree, unitsdlg::Tree), "Audit");
    ASSERT_TRUE(units.deleteUnit(ui, tree));
    EXPECT_EQ(selectedText(tree, unitsdlg::Tree), "Head Office");
    ASSERT_TRUE(units.deleteUnit(ui, tree));
    EXPECT_EQ(selectedText(tree, unitsdlg::Tree), "Stores");
    ASSERT_TRUE(units.deleteUnit(ui, tree));
    EXPECT_FALSE(tree.isEnabled(unitsdlg::Delete));
    EXPECT_FALSE(tree.isEnabled(unitsdlg::Properties));
    EXPECT_TRUE(storedUnits().empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(units.deleteUnit(ui, tree));
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(UnitsTest, TheTimerReloadsAfterAnotherUsersChangeKeepingTheSelection) {
    addOffice();
    open();
    // One top-level unit would be expanded; two are not.
    EXPECT_EQ(childTexts(tree, unitsdlg::Tree, DialogView::kRoot),
              (std::vector<std::string>{"Head Office", "Stores"}));
    select(3);
    EXPECT_FALSE(units.refreshDlg(tree));
    UNITSDLG otherUser(code, folder);
    ASSERT_EQ(otherUser.addUnit(ui, "Audit", 2), 5);
    touch(units.path());
    ASSERT_TRUE(units.refreshDlg(tree));
    EXPECT_EQ(units.getSelUnitCode(tree), 3);
    const TreeItem finance = tree.treeParent(unitsdlg::Tree, tree.selectedTreeItem(unitsdlg::Tree));
    EXPECT_EQ(childTexts(tree, unitsdlg::Tree, finance),
              (std::vector<std::string>{"Audit", "Payroll"}));
    EXPECT_FALSE(units.refreshDlg(tree));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(UnitsTest, RenamesAndAddsUnderAVanishedUnitChangeNothing) {
    addOffice();
    const std::vector<std::string> before = storedUnits();
    EXPECT_FALSE(units.renameUnit(ui, 3, "Pay.roll"));
    expectOneMessage("Unit name cannot contain period character.", MessageIcon::Warning);
    EXPECT_FALSE(units.renameUnit(ui, 3, " "));
    expectOneMessage("Unit name must not be blank. Please enter a value for this field.",
                     MessageIcon::Warning);
    // A unit another user deleted: nothing to rename, nothing to add under.
    EXPECT_FALSE(units.renameUnit(ui, 9, "Audit"));
    EXPECT_EQ(units.addUnit(ui, "Audit", 9), 0);
    EXPECT_EQ(ui.beeps, 2);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(storedUnits(), before);
    // A cancelled properties dialog lets its row go.
    open();
    select(4);
    FakeDialogView prpts;
    ASSERT_TRUE(units.initPrptsDlg(ui, tree, prpts));
    EXPECT_EQ(units.editedUnit(), 4);
    units.cancelPrptsDlg();
    EXPECT_EQ(units.editedUnit(), 0);
    database::UNITSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoCode(4));
    EXPECT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    other.data()->unlock();
    // A selected unit another user deleted gives way to the first on reload.
    UNITSDLG otherUser(code, folder);
    ASSERT_TRUE(otherUser.deleteUnit(ui, 4));
    touch(units.path());
    ASSERT_TRUE(units.refreshDlg(tree));
    EXPECT_EQ(selectedText(tree, unitsdlg::Tree), "Head Office");
    // A single top-level unit is expanded.
    EXPECT_TRUE(tree.control(unitsdlg::Tree).nodes[tree.selectedTreeItem(unitsdlg::Tree)].expanded);
}

TEST_F(UnitsTest, CheckFileNamesAMissingTable) {
    EXPECT_TRUE(units.checkFile(ui));
    fs::remove(folder.resolve(database::STATDB::kPath));
    EXPECT_FALSE(units.checkFile(ui));
    expectOneMessage("Can't open database/static.dbf", MessageIcon::Error);
}

// ---------------------------------------------------------------------------
// Posts

class PostsTest : public TreeFixture {
protected:
    void SetUp() override {
        TreeFixture::SetUp();
        UNITSDLG units(code, folder);
        ASSERT_EQ(units.addUnit(ui, "Head Office", 0), 1);
        ASSERT_EQ(units.addUnit(ui, "Finance", 1), 2);
        clerk = addJob("Clerk");
        driver = addJob("Driver");
        ASSERT_TRUE(ui.messages.empty());
    }
    void openOn(long unit) {
        ASSERT_TRUE(posts.initDlg(ui, view));
        ASSERT_TRUE(database::UNITSDB::selectUnit(view, postsdlg::Tree, unit));
        posts.displayPosts(view);
    }
    void chooseJob(FakeDialogView& edit, long job) {
        for (int i = 0; i < edit.itemCount(editpostsdlg::JobTitle); ++i)
            if (edit.itemCode(editpostsdlg::JobTitle, i) == job)
                edit.selectRow(editpostsdlg::JobTitle, i);
        posts.displayNumPosts(edit);
    }
    void setCounts(FakeDialogView& edit, const char* p, const char* c, const char* t,
                   const char* k) {
        edit.setText(editpostsdlg::Permanent, p);
        edit.setText(editpostsdlg::Contract, c);
        edit.setText(editpostsdlg::Temporary, t);
        edit.setText(editpostsdlg::Casual, k);
    }
    std::vector<int> counts(const FakeDialogView& edit) const {
        return {std::stoi(edit.text(editpostsdlg::Permanent)),
                std::stoi(edit.text(editpostsdlg::Contract)),
                std::stoi(edit.text(editpostsdlg::Temporary)),
                std::stoi(edit.text(editpostsdlg::Casual))};
    }

    POSTSDLG posts{code, folder};
    FakeDialogView view;
    long clerk = 0;
    long driver = 0;
};

TEST_F(PostsTest, EditingAddsChangesAndAtZeroDeletesTheRow) {
    openOn(2);
    EXPECT_EQ(view.caption(), "Posts");
    EXPECT_EQ(view.text(postsdlg::PostsLabel), "Posts in Finance:");
    EXPECT_EQ(view.itemCount(postsdlg::Posts), 0);
    FakeDialogView edit;
    ASSERT_TRUE(posts.initEditDlg(ui, view, edit));
    EXPECT_EQ(edit.caption(), "Edit Posts");
    EXPECT_EQ(edit.text(editpostsdlg::Unit), "Finance");
    EXPECT_EQ(edit.itemTexts(editpostsdlg::JobTitle),
              (std::vector<std::string>{"Clerk", "Driver"}));
    EXPECT_EQ(counts(edit), (std::vector<int>{0, 0, 0, 0}));
    chooseJob(edit, driver);
    setCounts(edit, "2", "1", "x", "3");
    ASSERT_TRUE(posts.closeEditDlg(ui, edit, view));
    EXPECT_EQ(view.itemTexts(postsdlg::Posts), (std::vector<std::string>{"Driver (6)"}));
    EXPECT_EQ(storedPosts(), (std::vector<POSTREC>{{2, driver, {2, 1, 0, 3}}}));
    // The selected job's counts come up, and follow the job choice.
    ASSERT_TRUE(posts.initEditDlg(ui, view, edit));
    EXPECT_EQ(edit.selectedRow(editpostsdlg::JobTitle), 1);
    EXPECT_EQ(counts(edit), (std::vector<int>{2, 1, 0, 3}));
    chooseJob(edit, clerk);
    EXPECT_EQ(counts(edit), (std::vector<int>{0, 0, 0, 0}));
    // Zeros for a job without a row store nothing.
    ASSERT_TRUE(posts.closeEditDlg(ui, edit, view));
    EXPECT_EQ(storedPosts().size(), 1u);
    view.selectRow(postsdlg::Posts, 0);
    ASSERT_TRUE(posts.initEditDlg(ui, view, edit));
    setCounts(edit, "0", "0", "0", "0");
    ASSERT_TRUE(posts.closeEditDlg(ui, edit, view));
    EXPECT_EQ(view.itemCount(postsdlg::Posts), 0);
    EXPECT_TRUE(storedPosts().empty());
    EXPECT_TRUE(ui.messages.empty());
    // Without a unit selected the label and the list are cleared.
    view.selectTreeItem(postsdlg::Tree, DialogView::kRoot);
    posts.displayPosts(view);
    EXPECT_EQ(view.text(postsdlg::PostsLabel), "");
    EXPECT_FALSE(posts.initEditDlg(ui, view, edit));
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(PostsTest, CountsMayNotFallBelowTheCurrentOccupants) {
    addEmployee("E1", 2, clerk, 0);
    addEmployee("E2", 2, clerk, 0);
    addEmployee("E3", 2, clerk, 1);
    addEmployee("E4", 2, clerk, 2);
    addEmployee("E5", 2, clerk, 3);
    addEmployee("E6", 1, clerk, 3); // another unit
    struct Case {
        POSTREC rec;
        std::string message;
    } cases[] = {
        {{2, clerk, {1, 1, 1, 1}}, "Permanent posts cannot be fewer than current occupants (2)"},
        {{2, clerk, {2, 0, 1, 1}}, "Contract posts cannot be fewer than current occupants (1)"},
        {{2, clerk, {2, 1, 0, 1}}, "Temporary posts cannot be fewer than current occupants (1)"},
        {{2, clerk, {2, 1, 1, 0}}, "Casual posts cannot be fewer than current occupants (1)"},
        {{2, clerk, {-1, 1, 1, 1}}, "The value entered for the \"Permanent\" field is invalid."},
        {{2, clerk, {2, 1, 1, 100000}}, "The value entered for the \"Casual\" field is invalid."},
        {{2, 99, {2, 1, 1, 1}}, "The value entered for the \"Job Title\" field is invalid."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_FALSE(posts.setPosts(ui, c.rec));
        expectOneMessage(c.message, MessageIcon::Warning);
    }
    EXPECT_TRUE(storedPosts().empty());
    EXPECT_TRUE(posts.setPosts(ui, {2, clerk, {2, 1, 1, 1}}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PostsTest, OtherUsersLocksLeaveThePostsAsTheyWere) {
    ASSERT_TRUE(posts.setPosts(ui, {2, clerk, {4, 0, 0, 0}}));
    openOn(2);
    database::UNITSDB otherUnits(code, folder);
    ASSERT_TRUE(otherUnits.openFile());
    ASSERT_TRUE(otherUnits.gotoCode(2));
    ASSERT_EQ(otherUnits.data()->lock(otherUnits.data()->recNo()), engine::r4success);
    FakeDialogView edit;
    EXPECT_FALSE(posts.initEditDlg(ui, view, edit));
    expectOneMessage("This unit is currently locked by another user.", MessageIcon::Warning);
    otherUnits.data()->unlock();

    database::POSTSDB otherPosts(code, folder);
    ASSERT_TRUE(otherPosts.openFile());
    ASSERT_TRUE(otherPosts.gotoPost(2, clerk));
    ASSERT_EQ(otherPosts.data()->lock(otherPosts.data()->recNo()), engine::r4success);
    view.selectRow(postsdlg::Posts, 0);
    ASSERT_TRUE(posts.initEditDlg(ui, view, edit));
    // The open dialog holds the unit.
    EXPECT_NE(otherUnits.data()->lock(otherUnits.data()->recNo()), engine::r4success);
    setCounts(edit, "5", "0", "0", "0");
    EXPECT_FALSE(posts.closeEditDlg(ui, edit, view));
    expectOneMessage("This posts record is currently locked by another user.",
                     MessageIcon::Warning);
    setCounts(edit, "0", "0", "0", "0");
    EXPECT_FALSE(posts.closeEditDlg(ui, edit, view));
    expectOneMessage("Cannot update Posts file because another user has locked\nsome of the "
                     "records in the file. Try again later.",
                     MessageIcon::Warning);
    posts.cancelEditDlg();
    EXPECT_EQ(otherUnits.data()->lock(otherUnits.data()->recNo()), engine::r4success);
    otherUnits.data()->unlock();
    otherPosts.data()->unlock();
    EXPECT_EQ(storedPosts(), (std::vector<POSTREC>{{2, clerk, {4, 0, 0, 0}}}));
}

TEST_F(PostsTest, TheTimerShowsAnotherUsersPosts) {
    openOn(2);
    EXPECT_FALSE(posts.refreshDlg(view));
    POSTSDLG otherUser(code, folder);
    ASSERT_TRUE(otherUser.setPosts(ui, {2, driver, {1, 0, 0, 0}}));
    ASSERT_TRUE(otherUser.setPosts(ui, {2, clerk, {0, 2, 0, 0}}));
    touch(posts.path());
    ASSERT_TRUE(posts.refreshDlg(view));
    EXPECT_EQ(posts.units().getSelUnitCode(view, postsdlg::Tree), 2);
    EXPECT_EQ(view.itemTexts(postsdlg::Posts),
              (std::vector<std::string>{"Clerk (2)", "Driver (1)"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PostsTest, CheckFilesWantsUnitsAndJobs) {
    EXPECT_TRUE(posts.checkFiles(ui));
    EXPECT_TRUE(ui.messages.empty());
    fs::remove(folder.resolve(database::JOBSDB::kPath));
    create<database::JOBSDB>();
    ui.clear();
    EXPECT_FALSE(posts.checkFiles(ui));
    expectOneMessage("The Jobs file is empty.", MessageIcon::Error);
}

// ---------------------------------------------------------------------------
// Banks and branches

class BanksTest : public TreeFixture {
protected:
    void addTwo() {
        ASSERT_TRUE(banks.addBank(ui, "NMB Bank", "20"));
        ASSERT_TRUE(banks.addBank(ui, "CRDB Bank", "03"));
        ASSERT_TRUE(banks.addBranch(ui, "NMB Bank", "Tukuyu", "201"));
        ASSERT_TRUE(banks.addBranch(ui, "nmb bank", "Mbeya", "202"));
        ASSERT_TRUE(banks.addBranch(ui, "CRDB Bank", "Mbeya", "202"));
        ASSERT_TRUE(ui.messages.empty()) << ui.lastMessage();
    }
    void open() { ASSERT_TRUE(banks.initDlg(ui, tree)); }
    void select(const std::string& bank, const std::string& branch = {}) {
        TreeItem item = itemOf(tree, banksdlg::Tree, DialogView::kRoot, bank);
        if (!branch.empty())
            item = itemOf(tree, banksdlg::Tree, item, branch);
        ASSERT_NE(item, DialogView::kRoot);
        tree.selectTreeItem(banksdlg::Tree, item);
    }
    // "bank: branch code, ..." as a fresh handle reads them.
    std::vector<std::string> stored() {
        database::BANKSDB fresh(code, folder);
        EXPECT_TRUE(fresh.openFiles());
        std::vector<std::string> rows;
        for (const std::string& bank : fresh.bankNames()) {
            std::string row = bank + ":";
            for (const std::string& branch : fresh.branchNames(bank)) {
                std::string c;
                fresh.getBankCode(bank, branch, c);
                row += " " + branch + " " + c;
            }
            rows.push_back(row);
        }
        return rows;
    }

    BANKSDLG banks{code, folder};
    FakeDialogView tree;
};

TEST_F(BanksTest, BankAndBranchRulesRefuseWithTheirMessages) {
    addTwo();
    const std::vector<std::string> before = stored();
    EXPECT_EQ(before, (std::vector<std::string>{"CRDB Bank: Mbeya 03202",
                                                "NMB Bank: Mbeya 20202 Tukuyu 20201"}));
    struct Case {
        std::string bank, branch, code, message;
    } cases[] = {
        {"  ", "", "01", "Bank name must not be blank. Please enter a value for this field."},
        {"crdb BANK", "", "01",
         "Bank with this name already exists. Please enter a different name."},
        {"Azania", "", " ", "Bank code must not be blank. Please enter a value for this field."},
        {"NMB Bank", "", "01",
         "Branch name must not be blank. Please enter a value for this field."},
        {"NMB Bank", "TUKUYU", "209",
         "Branch with this name already exists. Please enter a different name."},
        {"NMB Bank", "Kyela", "",
         "Branch code must not be blank. Please enter a value for this field."},
        {"NMB Bank", "Kyela", "201",
         "Branch with this code already exists. Please enter a different code."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        if (c.message.rfind("Bank", 0) == 0)
            EXPECT_FALSE(banks.addBank(ui, c.bank, c.code));
        else
            EXPECT_FALSE(banks.addBranch(ui, c.bank, c.branch, c.code));
        expectOneMessage(c.message, MessageIcon::Warning);
    }
    EXPECT_FALSE(banks.addBranch(ui, "Azania", "Kyela", "301"));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(stored(), before);
    // Codes are cut to their columns.
    EXPECT_TRUE(banks.addBank(ui, "Azania", "123"));
    EXPECT_EQ(banks.bankCode("AZANIA"), "12");
}

TEST_F(BanksTest, TheDialogAddsBanksAndBranchesWithTheirPresets) {
    open();
    EXPECT_EQ(tree.caption(), "Banks and Branches");
    EXPECT_FALSE(tree.isEnabled(banksdlg::Delete));
    FakeDialogView prpts;
    EXPECT_FALSE(banks.initNewBranchDlg(ui, tree, prpts));
    EXPECT_EQ(ui.beeps, 1);
    banks.initNewBankDlg(prpts);
    EXPECT_EQ(prpts.caption(), "Bank Properties");
    EXPECT_EQ(prpts.text(bankprptsdlg::Name), "New Bank");
    EXPECT_EQ(prpts.text(bankprptsdlg::Code), "00");
    EXPECT_EQ(prpts.control(bankprptsdlg::Code).textLimit, 2);
    ASSERT_TRUE(banks.closeNewBankDlg(ui, prpts, tree));
    EXPECT_TRUE(tree.isEnabled(banksdlg::Delete));
    prpts.setText(bankprptsdlg::Name, "Azania");
    ASSERT_TRUE(banks.closeNewBankDlg(ui, prpts, tree));
    EXPECT_EQ(childTexts(tree, banksdlg::Tree, DialogView::kRoot),
              (std::vector<std::string>{"Azania", "New Bank"}));
    EXPECT_TRUE(BANKSDLG::isBank(tree));
    ASSERT_TRUE(banks.initNewBranchDlg(ui, tree, prpts));
    EXPECT_EQ(prpts.caption(), "Branch Properties");
    EXPECT_EQ(prpts.text(bankprptsdlg::Name), "New Branch");
    EXPECT_EQ(prpts.text(bankprptsdlg::Code), "000");
    EXPECT_EQ(prpts.control(bankprptsdlg::Code).textLimit, 3);
    ASSERT_TRUE(banks.closeNewBranchDlg(ui, prpts, tree));
    EXPECT_TRUE(BANKSDLG::isBranch(tree));
    // From a selected branch the branch goes to the same bank.
    prpts.setText(bankprptsdlg::Name, "Arusha");
    EXPECT_FALSE(banks.closeNewBranchDlg(ui, prpts, tree));
    expectOneMessage("Branch with this code already exists. Please enter a different code.",
                     MessageIcon::Warning);
    EXPECT_EQ(prpts.focus(), bankprptsdlg::Code);
    prpts.setText(bankprptsdlg::Code, "001");
    ASSERT_TRUE(banks.closeNewBranchDlg(ui, prpts, tree));
    EXPECT_EQ(selectedText(tree, banksdlg::Tree), "Arusha");
    EXPECT_EQ(stored(),
              (std::vector<std::string>{"Azania: Arusha 00001 New Branch 00000", "New Bank:"}));
}

TEST_F(BanksTest, RenamingABankCarriesItsBranchesAlong) {
    addTwo();
    open();
    select("NMB Bank");
    FakeDialogView prpts;
    ASSERT_TRUE(banks.initBankPrptsDlg(ui, tree, prpts));
    EXPECT_EQ(prpts.text(bankprptsdlg::Name), "NMB Bank");
    EXPECT_EQ(prpts.text(bankprptsdlg::Code), "20");
    prpts.setText(bankprptsdlg::Name, "crdb bank");
    EXPECT_FALSE(banks.closeBankPrptsDlg(ui, prpts, tree));
    expectOneMessage("Bank with this name already exists. Please enter a different name.",
                     MessageIcon::Warning);
    prpts.setText(bankprptsdlg::Name, "Bank M");
    prpts.setText(bankprptsdlg::Code, "21");
    ASSERT_TRUE(banks.closeBankPrptsDlg(ui, prpts, tree));
    EXPECT_EQ(childTexts(tree, banksdlg::Tree, DialogView::kRoot),
              (std::vector<std::string>{"Bank M", "CRDB Bank"}));
    EXPECT_EQ(stored(), (std::vector<std::string>{"Bank M: Mbeya 21202 Tukuyu 21201",
                                                  "CRDB Bank: Mbeya 03202"}));
    // Branch properties, excluding the branch itself from the checks.
    EXPECT_TRUE(banks.changeBranch(ui, "Bank M", "Mbeya", "MBEYA", "202"));
    EXPECT_FALSE(banks.changeBranch(ui, "Bank M", "MBEYA", "Mbeya", "201"));
    expectOneMessage("Branch with this code already exists. Please enter a different code.",
                     MessageIcon::Warning);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BanksTest, UnchangedOrCancelledPropertiesOnlyLetTheLockGo) {
    addTwo();
    open();
    database::BANKSDB other(code, folder);
    ASSERT_TRUE(other.openFiles());
    ASSERT_TRUE(other.gotoBank("CRDB Bank"));
    const long bankRow = other.bankData()->recNo();
    FakeDialogView prpts;
    select("CRDB Bank");
    ASSERT_TRUE(banks.initBankPrptsDlg(ui, tree, prpts));
    EXPECT_NE(other.bankData()->lock(bankRow), engine::r4success);
    // Neither field modified: no check, no write, the row let go.
    ASSERT_TRUE(banks.closeBankPrptsDlg(ui, prpts, tree));
    EXPECT_EQ(other.bankData()->lock(bankRow), engine::r4success);
    other.bankData()->unlock();
    select("CRDB Bank", "Mbeya");
    ASSERT_TRUE(banks.initBranchPrptsDlg(ui, tree, prpts));
    EXPECT_EQ(prpts.caption(), "Branch Properties");
    EXPECT_EQ(prpts.text(bankprptsdlg::Name), "Mbeya");
    EXPECT_EQ(prpts.text(bankprptsdlg::Code), "202");
    EXPECT_NE(other.bankData()->lock(bankRow), engine::r4success);
    banks.cancelPrptsDlg();
    EXPECT_EQ(other.bankData()->lock(bankRow), engine::r4success);
    other.bankData()->unlock();
    ASSERT_TRUE(banks.initBranchPrptsDlg(ui, tree, prpts));
    prpts.setText(bankprptsdlg::Name, "Mbeya Town");
    ASSERT_TRUE(banks.closeBranchPrptsDlg(ui, prpts, tree));
    EXPECT_EQ(selectedText(tree, banksdlg::Tree), "Mbeya Town");
    EXPECT_EQ(banks.branchCode("crdb bank", "MBEYA TOWN"), "202");
    EXPECT_TRUE(ui.messages.empty());
    // Properties of a bank need a bank, of a branch a branch.
    EXPECT_FALSE(banks.initBankPrptsDlg(ui, tree, prpts));
    select("CRDB Bank");
    EXPECT_FALSE(banks.initBranchPrptsDlg(ui, tree, prpts));
    EXPECT_EQ(ui.beeps, 2);
}

TEST_F(BanksTest, LocksOfAnotherUserLeaveBanksAndBranchesUnchanged) {
    addTwo();
    open();
    const std::vector<std::string> before = stored();
    database::BANKSDB other(code, folder);
    ASSERT_TRUE(other.openFiles());
    ASSERT_TRUE(other.gotoBank("NMB Bank"));
    ASSERT_EQ(other.bankData()->lock(other.bankData()->recNo()), engine::r4success);
    FakeDialogView prpts;
    select("NMB Bank");
    EXPECT_FALSE(banks.initBankPrptsDlg(ui, tree, prpts));
    expectOneMessage("This bank is currently locked by another user.", MessageIcon::Warning);
    select("NMB Bank", "Mbeya");
    EXPECT_FALSE(banks.initBranchPrptsDlg(ui, tree, prpts));
    expectOneMessage("The parent bank is currently locked by another user.", MessageIcon::Warning);
    select("CRDB Bank");
    ASSERT_TRUE(banks.addBank(ui, "Azania", "35"));
    touch(folder.resolve(database::BANKSDB::kBanksPath));
    tree.selectTreeItem(banksdlg::Tree, DialogView::kRoot);
    ASSERT_TRUE(banks.refreshDlg(tree));
    select("Azania");
    EXPECT_FALSE(banks.deleteItem(ui, tree));
    expectOneMessage("Cannot delete this bank because another user has locked\nsome of the "
                     "records in the Banks file. Try again later.",
                     MessageIcon::Warning);
    other.bankData()->unlock();
    ASSERT_TRUE(other.gotoBranch("CRDB Bank", "Mbeya"));
    ASSERT_EQ(other.branchData()->lock(other.branchData()->recNo()), engine::r4success);
    select("NMB Bank", "Tukuyu");
    EXPECT_FALSE(banks.deleteItem(ui, tree));
    expectOneMessage("Cannot delete this branch because another user has locked some\nof the "
                     "records in the Bank Branches file. Try again later.",
                     MessageIcon::Warning);
    EXPECT_FALSE(banks.changeBank(ui, "NMB Bank", "NMB", "20"));
    expectOneMessage("Cannot change this bank because another user has locked\nsome of the "
                     "records in the Bank Branches file. Try again later.",
                     MessageIcon::Warning);
    other.branchData()->unlock();
    EXPECT_TRUE(banks.deleteBank(ui, "Azania"));
    EXPECT_EQ(stored(), before);
}

TEST_F(BanksTest, DeleteRefusesABankWithBranchesAndMovesTheSelection) {
    addTwo();
    open();
    select("NMB Bank");
    EXPECT_FALSE(banks.deleteItem(ui, tree));
    expectOneMessage("Bank has branches and cannot be deleted.", MessageIcon::Information);
    select("NMB Bank", "Tukuyu");
    ASSERT_TRUE(banks.deleteItem(ui, tree));
    EXPECT_EQ(selectedText(tree, banksdlg::Tree), "Mbeya");
    ASSERT_TRUE(banks.deleteItem(ui, tree));
    EXPECT_EQ(selectedText(tree, banksdlg::Tree), "NMB Bank");
    ASSERT_TRUE(banks.deleteItem(ui, tree));
    EXPECT_EQ(selectedText(tree, banksdlg::Tree), "CRDB Bank");
    EXPECT_EQ(stored(), (std::vector<std::string>{"CRDB Bank: Mbeya 03202"}));
    EXPECT_TRUE(ui.messages.empty());
    tree.selectTreeItem(banksdlg::Tree, DialogView::kRoot);
    EXPECT_FALSE(banks.deleteItem(ui, tree));
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(BanksTest, TheTimerKeepsTheSelectedBranchByName) {
    addTwo();
    open();
    select("NMB Bank", "Tukuyu");
    EXPECT_FALSE(banks.refreshDlg(tree));
    BANKSDLG otherUser(code, folder);
    ASSERT_TRUE(otherUser.addBranch(ui, "NMB Bank", "Kyela", "203"));
    touch(folder.resolve(database::BANKSDB::kBranchesPath));
    ASSERT_TRUE(banks.refreshDlg(tree));
    EXPECT_EQ(selectedText(tree, banksdlg::Tree), "Tukuyu");
    EXPECT_TRUE(BANKSDLG::isBranch(tree));
    const TreeItem nmb = itemOf(tree, banksdlg::Tree, DialogView::kRoot, "NMB Bank");
    EXPECT_EQ(childTexts(tree, banksdlg::Tree, nmb),
              (std::vector<std::string>{"Kyela", "Mbeya", "Tukuyu"}));
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace kelo::setup
