#include "database/UnitsDb.h"

#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

constexpr const char* kTree = "UnitTree";

class UnitsDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(units.createFile(ui));
        ASSERT_TRUE(units.openFile());
    }
    // Rows with chosen codes, so that loops and missing parents can be made.
    void add(long unitCode, const std::string& name, long parent) {
        engine::Data4& d = *units.data();
        ASSERT_EQ(d.appendStart(), engine::r4success);
        d.blank();
        d.field("CODE")->assignLong(unitCode);
        d.field("NAME")->assign(name);
        d.field("PARENT")->assignLong(parent);
        ASSERT_EQ(d.append(), engine::r4success);
    }
    // Head Office above Finance (with Payroll) and Operations; "audit" is
    // written in lower case to show that names sort without regard to case.
    void addOffice() {
        add(1, "Head Office", 0);
        add(4, "Operations", 1);
        add(2, "Finance", 1);
        add(3, "Payroll", 2);
        add(5, "audit", 1);
    }
    // The texts of an item's children, in tree order.
    std::vector<std::string> childTexts(common::DialogView::TreeItem parent) const {
        std::vector<std::string> texts;
        for (auto item : view.treeChildren(kTree, parent))
            texts.push_back(view.treeItemText(kTree, item));
        return texts;
    }
    common::DialogView::TreeItem child(common::DialogView::TreeItem parent,
                                       std::size_t index) const {
        return view.treeChildren(kTree, parent).at(index);
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    testsupport::FakeDialogView view;
    UNITSDB units{code, folder};
};

TEST_F(UnitsDbTest, SchemaHasCodeNameAndParent) {
    const Schema s = units.schema();
    std::vector<std::string> names;
    for (const auto& f : s.fields)
        names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"CODE", "NAME", "PARENT"}));
    EXPECT_EQ(units.path(), dir.file("org01/settings/units.dbf"));
}

TEST_F(UnitsDbTest, PathsNameTheUnitThenEachAncestor) {
    addOffice();
    add(10, "C", 0);
    add(11, "B", 10);
    add(12, "A", 11);
    struct Case {
        long code;
        const char* path;
    };
    for (const Case& c :
         {Case{1, "Head Office"}, Case{2, "Finance.Head Office"},
          Case{3, "Payroll.Finance.Head Office"}, Case{12, "A.B.C"}, Case{99, ""}, Case{0, ""}})
        EXPECT_EQ(units.getUnitPath(c.code), c.path) << c.code;
    EXPECT_EQ(units.getUnitPath(12).size(), 5u);
}

TEST_F(UnitsDbTest, ChildUnitsLieAtOrBelowTheirAncestor) {
    addOffice();
    struct Case {
        long unit;
        long ancestor;
        bool child;
    };
    const Case cases[] = {
        {3, 3, true},   {3, 2, true},   {3, 1, true}, // itself, parent, grandparent
        {1, 3, false},  {2, 3, false},                // upwards is not below
        {4, 2, false},  {3, 4, false},                // siblings' branches
        {99, 1, false}, {3, 99, false}, {3, 0, false} // unknown units, no unit
    };
    for (const Case& c : cases)
        EXPECT_EQ(units.isChildUnit(c.unit, c.ancestor), c.child) << c.unit << " in " << c.ancestor;
}

TEST_F(UnitsDbTest, LoopsAndMissingParentsEndTheWalk) {
    // X's parent is its own grandchild: X -> Z -> Y -> X.
    add(10, "X", 12);
    add(11, "Y", 10);
    add(12, "Z", 11);
    add(13, "Self", 13);
    add(14, "Orphan", 77);
    EXPECT_EQ(units.getUnitPath(10), "X.Z.Y");
    EXPECT_EQ(units.getUnitPath(11), "Y.X.Z");
    EXPECT_EQ(units.getUnitPath(13), "Self");
    EXPECT_EQ(units.getUnitPath(14), "Orphan");
    EXPECT_TRUE(units.isChildUnit(10, 11));
    EXPECT_TRUE(units.isChildUnit(11, 10));
    EXPECT_FALSE(units.isChildUnit(10, 14));
    EXPECT_FALSE(units.isChildUnit(13, 14));
    EXPECT_FALSE(units.isChildUnit(14, 77));

    // Every unit is still shown once.
    units.displayUnits(view, kTree);
    EXPECT_EQ(view.control(kTree).nodes.size(), 6u); // the five and the invisible root
    EXPECT_EQ(childTexts(common::DialogView::kRoot),
              (std::vector<std::string>{"Orphan", "Self", "X"}));
    EXPECT_EQ(childTexts(child(common::DialogView::kRoot, 2)), (std::vector<std::string>{"Y"}));
}

TEST_F(UnitsDbTest, DeepTreesAreWalkedAndShownWhole) {
    constexpr long depth = 300;
    add(1, "U1", 0);
    for (long c = 2; c <= depth; ++c)
        add(c, "U" + std::to_string(c), c - 1);
    const std::string path = units.getUnitPath(depth);
    EXPECT_EQ(path.substr(0, 10), "U300.U299.");
    EXPECT_EQ(path.substr(path.size() - 6), ".U2.U1");
    EXPECT_TRUE(units.isChildUnit(depth, 1));
    EXPECT_FALSE(units.isChildUnit(1, depth));

    units.displayUnits(view, kTree);
    auto item = common::DialogView::kRoot;
    long levels = 0;
    while (!view.treeChildren(kTree, item).empty()) {
        item = child(item, 0);
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    EXPECT_EQ(view.treeItemCode(kTree, item), depth);
}

TEST_F(UnitsDbTest, DisplaysTheTreeInNameOrder) {
    addOffice();
    units.orderByCode();
    units.displayUnits(view, kTree);
    EXPECT_EQ(childTexts(common::DialogView::kRoot), (std::vector<std::string>{"Head Office"}));
    const auto head = child(common::DialogView::kRoot, 0);
    EXPECT_TRUE(view.control(kTree).nodes[head].expanded) << "a single top unit is expanded";
    EXPECT_EQ(childTexts(head), (std::vector<std::string>{"audit", "Finance", "Operations"}));
    const auto finance = child(head, 1);
    EXPECT_EQ(view.treeItemCode(kTree, finance), 2);
    EXPECT_EQ(childTexts(finance), (std::vector<std::string>{"Payroll"}));
    // The caller's order is kept.
    EXPECT_EQ(units.data()->selected()->name(), "CODE");

    // Two top units: neither is expanded. Refilling replaces the old tree.
    add(6, "Branch Office", 0);
    units.displayUnits(view, kTree);
    EXPECT_EQ(childTexts(common::DialogView::kRoot),
              (std::vector<std::string>{"Branch Office", "Head Office"}));
    for (auto item : view.treeChildren(kTree, common::DialogView::kRoot))
        EXPECT_FALSE(view.control(kTree).nodes[item].expanded);
    EXPECT_EQ(view.control(kTree).nodes.size(), 7u);
}

TEST_F(UnitsDbTest, SelectedUnitByCode) {
    addOffice();
    units.displayUnits(view, kTree);
    EXPECT_EQ(UNITSDB::getSelUnitCode(view, kTree), 0);
    EXPECT_FALSE(units.gotoSelUnit(view, kTree));

    ASSERT_TRUE(UNITSDB::selectUnit(view, kTree, 3));
    EXPECT_EQ(view.treeItemText(kTree, view.selectedTreeItem(kTree)), "Payroll");
    EXPECT_EQ(UNITSDB::getSelUnitCode(view, kTree), 3);
    ASSERT_TRUE(units.gotoSelUnit(view, kTree));
    EXPECT_EQ(units.currentRec(), (UNITREC{3, "Payroll", 2}));
    EXPECT_FALSE(UNITSDB::selectUnit(view, kTree, 42));

    // A unit deleted by another user since the tree was filled.
    ASSERT_TRUE(units.gotoCode(3));
    units.data()->deleteRec();
    units.data()->flush();
    EXPECT_FALSE(units.gotoSelUnit(view, kTree));
}

TEST_F(UnitsDbTest, AppendsLooksUpAndFindsSubUnits) {
    UNITREC top{0, "  Head Office ", 0};
    ASSERT_TRUE(units.appendRecord(top));
    EXPECT_EQ(top.code, 1);
    UNITREC below{0, "Finance", top.code};
    ASSERT_TRUE(units.appendRecord(below));
    EXPECT_EQ(below.code, 2);
    EXPECT_EQ(units.getUnitName(1), "Head Office");
    EXPECT_EQ(units.getUnitCode("FINANCE"), 2);
    EXPECT_EQ(units.getUnitCode("Sales"), 0);
    UNITREC rec;
    ASSERT_TRUE(units.getUnitRec(2, rec));
    EXPECT_EQ(rec, (UNITREC{2, "Finance", 1}));
    EXPECT_FALSE(units.getUnitRec(9, rec));
    EXPECT_EQ(rec, (UNITREC{2, "Finance", 1}));
    EXPECT_TRUE(units.hasSubUnits(1));
    EXPECT_FALSE(units.hasSubUnits(2));
    units.orderByName();
    EXPECT_EQ(units.units(), (std::vector<UNITREC>{{2, "Finance", 1}, {1, "Head Office", 0}}));
}

TEST_F(UnitsDbTest, ClosedOrMissingTableShowsNothing) {
    addOffice();
    units.closeFile();
    units.displayUnits(view, kTree);
    EXPECT_TRUE(view.treeChildren(kTree, common::DialogView::kRoot).empty());
    EXPECT_EQ(units.getUnitPath(1), "");
    EXPECT_FALSE(units.isChildUnit(3, 1));
    UNITREC rec;
    EXPECT_FALSE(units.appendRecord(rec));

    UNITSDB other(code, folder);
    ASSERT_TRUE(other.openFile(true));
    EXPECT_FALSE(units.openFile());
    EXPECT_EQ(code.errorCode(), engine::e4access);
    code.setErrorCode(0);
    other.closeFile();
    std::filesystem::remove(units.path());
    EXPECT_FALSE(units.openFile());
    EXPECT_EQ(code.errorCode(), engine::e4open);
    code.setErrorCode(0);
}

} // namespace
} // namespace kelo::database
