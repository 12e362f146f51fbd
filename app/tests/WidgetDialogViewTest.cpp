#include "app/ports/WidgetDialogView.h"

#include "testsupport/FakeDialogView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace kelo::app {
namespace {

using common::DialogView;
using testsupport::FakeDialogView;

// One control of every kind the view knows, named as a dialog's controls are.
class Form {
public:
    Form() {
        root.setObjectName("EmployeeDialog");
        auto* layout = new QVBoxLayout(&root);
        add<QLineEdit>("Name");
        add<QLabel>("Caption");
        add<QPushButton>("Save");
        add<QCheckBox>("Active");
        add<QPlainTextEdit>("Notes");
        add<QTextEdit>("Memo");
        add<QComboBox>("Town")->setEditable(true);
        add<QComboBox>("Bank")->addItems({"NMB", "CRDB"});
        add<QComboBox>("Branch");
        add<QSpinBox>("Days")->setRange(0, 31);
        auto* rate = add<QDoubleSpinBox>("Rate");
        rate->setDecimals(2);
        rate->setRange(0, 100);
        add<QListWidget>("Staff");
        add<QListWidget>("Chosen")->setSelectionMode(QAbstractItemView::ExtendedSelection);
        auto* payslips = add<QTreeWidget>("Payslips");
        payslips->setColumnCount(3);
        payslips->setRootIsDecorated(false);
        payslips->setSelectionMode(QAbstractItemView::ExtendedSelection);
        add<QTreeWidget>("Units");

        frequency = add<QGroupBox>("Frequency");
        auto* inner = new QVBoxLayout(frequency);
        for (const char* name : {"Monthly", "Weekly"}) {
            auto* radio = new QRadioButton(frequency);
            radio->setObjectName(name);
            inner->addWidget(radio);
        }
        auto* overtime = add<QGroupBox>("Overtime");
        overtime->setCheckable(true);
        overtime->setChecked(false);
        for (QWidget* child : root.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            layout->addWidget(child);
    }

    template <class T> T* add(const char* name) {
        auto* widget = new T(&root);
        widget->setObjectName(name);
        return widget;
    }

    QWidget root;
    QGroupBox* frequency = nullptr;
};

class WidgetDialogViewTest : public ::testing::Test {
protected:
    Form form;
    WidgetDialogView view{&form.root};
    FakeDialogView fake;
};

struct TextCase {
    const char* control;
    const char* written;
    const char* read;
};

class TextRoundTrip : public WidgetDialogViewTest,
                      public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextRoundTrip, ReadsBackWhatWasWritten) {
    const TextCase& c = GetParam();
    view.setText(c.control, c.written);
    EXPECT_EQ(view.text(c.control), c.read) << c.control;
}

INSTANTIATE_TEST_SUITE_P(
    EveryTextControl, TextRoundTrip,
    ::testing::Values(TextCase{"Name", "Mwajuma Ally", "Mwajuma Ally"},
                      TextCase{"Name", "Zoë – Ñandú", "Zoë – Ñandú"},
                      TextCase{"Caption", "Basic pay", "Basic pay"},
                      TextCase{"Save", "&Save", "&Save"}, TextCase{"Active", "Active", "Active"},
                      TextCase{"Monthly", "Monthly", "Monthly"},
                      TextCase{"Notes", "line 1\nline 2", "line 1\nline 2"},
                      TextCase{"Memo", "<b>not bold</b>", "<b>not bold</b>"},
                      TextCase{"Town", "Arusha", "Arusha"}, TextCase{"Bank", "CRDB", "CRDB"},
                      TextCase{"Bank", "Unknown Bank", ""}, TextCase{"Days", "21", "21"},
                      TextCase{"Days", "not a number", "0"}, TextCase{"Rate", "12.5", "12.50"},
                      TextCase{"Frequency", "Pay frequency", "Pay frequency"},
                      TextCase{"EmployeeDialog", "ignored", ""}));

TEST_F(WidgetDialogViewTest, TextLimitCutsAndZeroLifts) {
    view.setTextLimit("Name", 3);
    view.setText("Name", "Kilimanjaro");
    fake.setTextLimit("Name", 3);
    fake.setText("Name", "Kilimanjaro");
    EXPECT_EQ(view.text("Name"), fake.text("Name"));
    view.setTextLimit("Name", 0);
    view.setText("Name", std::string(40000, 'x'));
    EXPECT_EQ(view.text("Name").size(), 40000u);

    view.setTextLimit("Town", 4);
    view.setText("Town", "Dodoma");
    EXPECT_EQ(view.text("Town"), "Dodo");
}

TEST_F(WidgetDialogViewTest, CheckBoxesRadiosAndCheckableGroups) {
    EXPECT_FALSE(view.isChecked("Active"));
    view.setChecked("Active", true);
    EXPECT_TRUE(view.isChecked("Active"));
    view.setChecked("Active", false);
    EXPECT_FALSE(view.isChecked("Active"));

    view.setChecked("Monthly", true);
    view.setChecked("Weekly", true);
    EXPECT_FALSE(view.isChecked("Monthly"));
    EXPECT_TRUE(view.isChecked("Weekly"));
    // A form may clear a whole set of exclusive radio buttons.
    view.setChecked("Weekly", false);
    EXPECT_FALSE(view.isChecked("Weekly"));
    EXPECT_FALSE(view.isChecked("Monthly"));
    view.setChecked("Monthly", true);
    EXPECT_FALSE(view.isChecked("Weekly")); // still exclusive afterwards

    EXPECT_FALSE(view.isChecked("Overtime"));
    view.setChecked("Overtime", true);
    EXPECT_TRUE(view.isChecked("Overtime"));
    EXPECT_FALSE(view.isChecked("Frequency")); // not checkable
    EXPECT_FALSE(view.isChecked("Name"));
}

TEST_F(WidgetDialogViewTest, EnabledAndVisibleAreTheControlsOwnState) {
    for (const char* name : {"Name", "Bank", "Staff", "Units", "Monthly"}) {
        EXPECT_TRUE(view.isEnabled(name)) << name;
        EXPECT_TRUE(view.isVisible(name)) << name;
        view.setEnabled(name, false);
        view.setVisible(name, false);
        EXPECT_FALSE(view.isEnabled(name)) << name;
        EXPECT_FALSE(view.isVisible(name)) << name;
        view.setEnabled(name, true);
        view.setVisible(name, true);
        EXPECT_TRUE(view.isEnabled(name)) << name;
        EXPECT_TRUE(view.isVisible(name)) << name;
    }
    view.setEnabled("Frequency", false);
    EXPECT_TRUE(view.isEnabled("Weekly"));
    EXPECT_FALSE(form.root.findChild<QWidget*>("Weekly")->isEnabled());

    form.root.show();
    view.setVisible("Frequency", false);
    EXPECT_TRUE(view.isVisible("Weekly"));
    EXPECT_FALSE(view.isVisible("Frequency"));
    EXPECT_TRUE(view.isVisible("Name"));
}

TEST_F(WidgetDialogViewTest, CaptionAndFocus) {
    view.setCaption("Employee Details – Zoë");
    EXPECT_EQ(view.caption(), "Employee Details – Zoë");
    EXPECT_EQ(form.root.windowTitle(), QString::fromUtf8("Employee Details – Zoë"));

    for (bool shown : {false, true}) {
        if (shown) {
            form.root.show();
            form.root.activateWindow();
        }
        for (const char* name : {"Name", "Town", "Rate", "Staff"}) {
            view.setFocus(name);
            EXPECT_EQ(view.focus(), name) << name << (shown ? " shown" : " hidden");
        }
    }
    view.setFocus("Nowhere");
    EXPECT_EQ(view.focus(), "Staff");
}

// The list operations run on the fake and on each list widget kind; both
// must agree after every step.
using ListScript = std::function<void(DialogView&, const char*)>;

void expectSameRows(const FakeDialogView& fake, const WidgetDialogView& view, const char* name,
                    const std::string& step, bool singleChoice) {
    ASSERT_EQ(view.itemCount(name), fake.itemCount("List")) << step;
    for (int row = 0; row < fake.itemCount("List"); ++row) {
        EXPECT_EQ(view.itemText(name, row), fake.itemText("List", row)) << step << " row " << row;
        EXPECT_EQ(view.itemCode(name, row), fake.itemCode("List", row)) << step << " row " << row;
    }
    if (singleChoice)
        EXPECT_EQ(view.selectedRow(name), fake.selectedRow("List")) << step;
    else
        EXPECT_EQ(view.selectedRows(name), fake.selectedRows("List")) << step;
}

class ListKinds : public WidgetDialogViewTest, public ::testing::WithParamInterface<const char*> {
protected:
    void step(const std::string& what, const ListScript& op) {
        op(fake, "List");
        op(view, GetParam());
        expectSameRows(fake, view, GetParam(), what, singleChoice);
    }
    // The fake keeps the single selected row and the chosen rows apart.
    bool singleChoice = true;
};

TEST_P(ListKinds, BehaveLikeTheFake) {
    const char* name = GetParam();
    view.clearItems(name);
    step("add", [](DialogView& v, const char* n) {
        EXPECT_EQ(v.addItem(n, "Bravo", 2), 0);
        EXPECT_EQ(v.addItem(n, "Delta", 4), 1);
    });
    step("select", [](DialogView& v, const char* n) { v.selectRow(n, 1); });
    step("insert before the selection",
         [](DialogView& v, const char* n) { v.insertItem(n, 0, "Alpha", 1); });
    step("insert past the end",
         [](DialogView& v, const char* n) { v.insertItem(n, 99, "Echo", 5); });
    step("insert before the start",
         [](DialogView& v, const char* n) { v.insertItem(n, -4, "Able", 0); });
    step("remove before the selection", [](DialogView& v, const char* n) { v.removeItem(n, 0); });
    step("remove after the selection", [](DialogView& v, const char* n) { v.removeItem(n, 3); });
    step("remove out of range", [](DialogView& v, const char* n) {
        v.removeItem(n, 7);
        v.removeItem(n, -1);
    });
    step("remove the selection", [](DialogView& v, const char* n) { v.removeItem(n, 2); });
    step("rename", [](DialogView& v, const char* n) {
        v.setItemText(n, 1, "Bravissimo");
        v.setItemText(n, 9, "Nowhere");
    });
    step("select out of range", [](DialogView& v, const char* n) { v.selectRow(n, 5); });
    step("select then clear", [](DialogView& v, const char* n) {
        v.selectRow(n, 0);
        v.selectRow(n, -1);
    });
    step("select again", [](DialogView& v, const char* n) { v.selectRow(n, 0); });
    EXPECT_EQ(view.findItem(name, "Bravissimo"), 1);
    EXPECT_EQ(view.findItem(name, "bravissimo"), -1);
    EXPECT_EQ(view.findItem(name, "Brav"), -1);
    EXPECT_EQ(view.itemText(name, 5), "");
    EXPECT_EQ(view.itemCode(name, -1), 0);
    step("clear", [](DialogView& v, const char* n) { v.clearItems(n); });
    step("refill", [](DialogView& v, const char* n) { v.addItem(n, "Foxtrot", 6); });
}

TEST_P(ListKinds, CodesSpanLong) {
    const char* name = GetParam();
    view.clearItems(name);
    view.addItem(name, "Big", 9'000'000'000L);
    view.addItem(name, "Negative", -42);
    EXPECT_EQ(view.itemCode(name, 0), 9'000'000'000L);
    EXPECT_EQ(view.itemCode(name, 1), -42);
}

INSTANTIATE_TEST_SUITE_P(ComboListAndListView, ListKinds,
                         ::testing::Values("Branch", "Staff", "Payslips"));

TEST_F(WidgetDialogViewTest, ComboTextFollowsTheSelectedRow) {
    view.addItem("Branch", "Arusha", 1);
    view.addItem("Branch", "Moshi", 2);
    EXPECT_EQ(view.text("Branch"), "");
    view.selectRow("Branch", 1);
    EXPECT_EQ(view.text("Branch"), "Moshi");
    EXPECT_EQ(view.selectedRows("Branch"), std::vector<int>{1});
    view.setText("Branch", "Arusha");
    EXPECT_EQ(view.selectedRow("Branch"), 0);
    view.setRowSelected("Branch", 0, false);
    EXPECT_EQ(view.selectedRow("Branch"), -1);
}

class MultiKinds : public ListKinds {};

TEST_P(MultiKinds, SeveralRowsFollowTheirRows) {
    singleChoice = false;
    step("fill", [](DialogView& v, const char* n) {
        for (const char* text : {"A", "B", "C", "D"})
            v.addItem(n, text, 0);
    });
    step("choose", [](DialogView& v, const char* n) {
        v.setRowSelected(n, 0, true);
        v.setRowSelected(n, 2, true);
        v.setRowSelected(n, 3, true);
        v.setRowSelected(n, 9, true);
    });
    step("unchoose", [](DialogView& v, const char* n) { v.setRowSelected(n, 0, false); });
    step("remove unchosen", [](DialogView& v, const char* n) { v.removeItem(n, 1); });
    step("remove chosen", [](DialogView& v, const char* n) { v.removeItem(n, 1); });
    step("insert", [](DialogView& v, const char* n) { v.insertItem(n, 0, "Z", 0); });
}

INSTANTIATE_TEST_SUITE_P(ListAndListView, MultiKinds, ::testing::Values("Chosen", "Payslips"));

TEST_F(WidgetDialogViewTest, ListViewRowsSplitIntoColumns) {
    const std::string row = "1001\tAsha Said\t450,000.00";
    view.addItem("Payslips", row, 1001);
    view.addItem("Payslips", "1002\t\t", 1002);
    view.addItem("Payslips", "1003\tMore\tcolumns\tthan shown", 1003);
    EXPECT_EQ(view.itemText("Payslips", 0), row);
    EXPECT_EQ(view.itemText("Payslips", 1), "1002\t\t");
    EXPECT_EQ(view.itemText("Payslips", 2), "1003\tMore\tcolumns\tthan shown");
    auto* tree = form.root.findChild<QTreeWidget*>("Payslips");
    EXPECT_EQ(tree->topLevelItem(0)->text(1), "Asha Said");
    EXPECT_EQ(tree->topLevelItem(0)->text(2), "450,000.00");
    view.setItemText("Payslips", 0, "1001\tAsha S.");
    EXPECT_EQ(view.itemText("Payslips", 0), "1001\tAsha S.");
    EXPECT_EQ(tree->topLevelItem(0)->text(2), "");
    EXPECT_EQ(view.findItem("Payslips", "1002\t\t"), 1);
    EXPECT_EQ(view.findItem("Payslips", "1002"), -1);

    // A row put in by other code reads as all its columns.
    new QTreeWidgetItem(tree, QStringList{"1004", "Juma", "9.00"});
    EXPECT_EQ(view.itemText("Payslips", 3), "1004\tJuma\t9.00");
    view.setItemText("Payslips", 3, "1004");
    EXPECT_EQ(view.itemText("Payslips", 3), "1004");
    EXPECT_EQ(tree->topLevelItem(3)->text(1), "");
}

TEST_F(WidgetDialogViewTest, AListViewsHeaderTakesItsHeadingsAndTheColumnsFollow) {
    auto* tree = form.root.findChild<QTreeWidget*>("Payslips");
    tree->header()->setObjectName("PayslipColumns");
    view.setText("PayslipColumns", "Number\tName\tNet Pay\tBank");
    EXPECT_EQ(tree->columnCount(), 4);
    EXPECT_EQ(tree->headerItem()->text(3), "Bank");
    EXPECT_EQ(view.text("PayslipColumns"), "Number\tName\tNet Pay\tBank");
    // Fewer headings take the columns away.
    view.setText("PayslipColumns", "Date\tDays");
    EXPECT_EQ(tree->columnCount(), 2);
    EXPECT_EQ(view.text("PayslipColumns"), "Date\tDays");
    view.addItem("Payslips", "01/01/2026\t3.00", 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(1), "3.00");
}

// The fake's tree script, run on both.
TEST_F(WidgetDialogViewTest, TreesBehaveLikeTheFake) {
    for (DialogView* v : std::initializer_list<DialogView*>{&fake, &view}) {
        const auto head = v->addTreeItem("Units", DialogView::kRoot, "Head Office", 1);
        const auto zanzibar = v->addTreeItem("Units", head, "zanzibar", 3);
        const auto arusha = v->addTreeItem("Units", head, "Arusha", 2);
        const auto stores = v->addTreeItem("Units", arusha, "Stores", 4);
        const auto branch = v->addTreeItem("Units", DialogView::kRoot, "branch", 5);
        v->addTreeItem("Units", DialogView::kRoot, "Annex", 6);
        v->addTreeItem("Units", branch, "Depot", 7);
        v->expandTreeItem("Units", arusha);
        v->expandTreeItem("Units", branch);
        v->selectTreeItem("Units", stores);
        v->sortTreeChildren("Units", head);
        v->sortTreeChildren("Units", DialogView::kRoot);
        v->setTreeItemText("Units", zanzibar, "Zanzibar");
        EXPECT_EQ(v->addTreeItem("Units", 999, "Orphan", 0), DialogView::kRoot);
    }
    std::function<void(DialogView::TreeItem)> same = [&](DialogView::TreeItem parent) {
        ASSERT_EQ(view.treeChildren("Units", parent), fake.treeChildren("Units", parent));
        for (auto child : fake.treeChildren("Units", parent)) {
            EXPECT_EQ(view.treeItemText("Units", child), fake.treeItemText("Units", child));
            EXPECT_EQ(view.treeItemCode("Units", child), fake.treeItemCode("Units", child));
            EXPECT_EQ(view.treeParent("Units", child), fake.treeParent("Units", child));
            same(child);
        }
    };
    same(DialogView::kRoot);
    EXPECT_EQ(view.selectedTreeItem("Units"), fake.selectedTreeItem("Units"));

    // Handles are 1 head, 2 zanzibar, 3 arusha, 4 stores, 5 branch, 6 annex, 7 depot.
    EXPECT_EQ(view.treeChildren("Units", 1), (std::vector<DialogView::TreeItem>{3, 2}));
    EXPECT_EQ(view.treeChildren("Units", DialogView::kRoot),
              (std::vector<DialogView::TreeItem>{6, 5, 1}));
    const auto* tree = form.root.findChild<QTreeWidget*>("Units");
    EXPECT_TRUE(tree->topLevelItem(2)->child(0)->isExpanded()); // survives the sort
    EXPECT_TRUE(tree->topLevelItem(1)->isExpanded());           // off the selection's path
    EXPECT_EQ(view.selectedTreeItem("Units"), 4);               // so does the selection

    for (DialogView* v : std::initializer_list<DialogView*>{&fake, &view})
        v->removeTreeItem("Units", 3);
    same(DialogView::kRoot);
    EXPECT_EQ(view.selectedTreeItem("Units"), DialogView::kRoot);
    EXPECT_EQ(view.treeItemText("Units", 4), "");

    for (DialogView* v : std::initializer_list<DialogView*>{&fake, &view}) {
        v->selectTreeItem("Units", 2);
        v->removeTreeItem("Units", 5);
        v->removeTreeItem("Units", DialogView::kRoot);
        v->removeTreeItem("Units", 77);
        v->selectTreeItem("Units", 77);
    }
    same(DialogView::kRoot);
    EXPECT_EQ(view.selectedTreeItem("Units"), 2);
    // Qt would hand the selection of a removed item to its neighbour.
    for (DialogView* v : std::initializer_list<DialogView*>{&fake, &view}) {
        v->selectTreeItem("Units", 6);
        v->removeTreeItem("Units", 6);
    }
    EXPECT_EQ(fake.selectedTreeItem("Units"), DialogView::kRoot);
    EXPECT_EQ(view.selectedTreeItem("Units"), DialogView::kRoot);
    view.selectTreeItem("Units", 2);
    view.selectTreeItem("Units", DialogView::kRoot);
    EXPECT_EQ(view.selectedTreeItem("Units"), DialogView::kRoot);

    view.clearTree("Units");
    EXPECT_TRUE(view.treeChildren("Units", DialogView::kRoot).empty());
    EXPECT_GT(view.addTreeItem("Units", DialogView::kRoot, "Fresh", 0), 7);
}

TEST_F(WidgetDialogViewTest, ItemsPutInByOthersGetHandles) {
    auto* tree = form.root.findChild<QTreeWidget*>("Units");
    auto* top = new QTreeWidgetItem(tree, QStringList{"Designed"});
    new QTreeWidgetItem(top, QStringList{"Child"});
    const auto children = view.treeChildren("Units", DialogView::kRoot);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(view.treeItemText("Units", children[0]), "Designed");
    const auto grandchildren = view.treeChildren("Units", children[0]);
    ASSERT_EQ(grandchildren.size(), 1u);
    EXPECT_EQ(view.treeParent("Units", grandchildren[0]), children[0]);
    EXPECT_NE(grandchildren[0], children[0]);
}

// Every call on a name that matches nothing, or on a control of the wrong kind.
TEST_F(WidgetDialogViewTest, UnknownControlsReadEmptyAndIgnoreWrites) {
    for (const char* name : {"Nope", "Name", "Caption"}) {
        const bool missing = std::string(name) == "Nope";
        view.setText("Nope", "x");
        view.setTextLimit(name, 3);
        view.setChecked("Nope", true);
        view.setEnabled("Nope", false);
        view.setVisible("Nope", false);
        view.setFocus("Nope");
        view.clearItems(name);
        EXPECT_EQ(view.addItem(name, "x", 1), -1);
        view.insertItem(name, 0, "x", 1);
        view.removeItem(name, 0);
        view.setItemText(name, 0, "x");
        view.selectRow(name, 0);
        view.setRowSelected(name, 0, true);
        view.clearTree(name);
        EXPECT_EQ(view.addTreeItem(name, DialogView::kRoot, "x", 1), DialogView::kRoot);
        view.removeTreeItem(name, 1);
        view.setTreeItemText(name, 1, "x");
        view.selectTreeItem(name, 1);
        view.expandTreeItem(name, 1);
        view.sortTreeChildren(name, DialogView::kRoot);

        if (missing) {
            EXPECT_EQ(view.text(name), "");
            EXPECT_FALSE(view.isChecked(name));
            EXPECT_FALSE(view.isEnabled(name));
            EXPECT_FALSE(view.isVisible(name));
        }
        EXPECT_EQ(view.itemCount(name), 0);
        EXPECT_EQ(view.itemText(name, 0), "");
        EXPECT_EQ(view.itemCode(name, 0), 0);
        EXPECT_EQ(view.findItem(name, "x"), -1);
        EXPECT_EQ(view.selectedRow(name), -1);
        EXPECT_TRUE(view.selectedRows(name).empty());
        EXPECT_EQ(view.treeItemText(name, 1), "");
        EXPECT_EQ(view.treeItemCode(name, 1), 0);
        EXPECT_EQ(view.treeParent(name, 1), DialogView::kRoot);
        EXPECT_TRUE(view.treeChildren(name, DialogView::kRoot).empty());
        EXPECT_EQ(view.selectedTreeItem(name), DialogView::kRoot);
    }
    EXPECT_EQ(view.text("Caption"), "");
    EXPECT_EQ(view.focus(), "");
}

QtMessageHandler previousHandler = nullptr;
int missingWarnings = 0;

void countMissing(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.contains("Ghost"))
        ++missingWarnings;
    else
        previousHandler(type, context, text);
}

TEST_F(WidgetDialogViewTest, WarnsOncePerMissingName) {
    missingWarnings = 0;
    previousHandler = qInstallMessageHandler(countMissing);
    view.text("Ghost");
    view.setText("Ghost", "boo");
    view.itemCount("Ghost");
    qInstallMessageHandler(previousHandler);
    EXPECT_EQ(missingWarnings, 1);
}

TEST(WidgetDialogViewGone, ARootDestroyedFirstIsHarmless) {
    auto form = std::make_unique<Form>();
    WidgetDialogView view(&form->root);
    view.addItem("Staff", "Asha", 1);
    form.reset();
    EXPECT_EQ(view.itemCount("Staff"), 0);
    EXPECT_EQ(view.caption(), "");
    view.setCaption("Nobody");
    view.setText("Name", "x");
    EXPECT_EQ(view.focus(), "");
    EXPECT_EQ(view.root(), nullptr);
}

} // namespace
} // namespace kelo::app
