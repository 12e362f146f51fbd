#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingCanvas.h"
#include "testsupport/RecordingUi.h"

#include <gtest/gtest.h>

namespace kelo::testsupport {
namespace {

using common::DialogView;

TEST(FakeDialogView, ListRowsKeepTheSelectionOnTheSameRow) {
    FakeDialogView view;
    view.addItem("List", "Bravo", 2);
    view.addItem("List", "Delta", 4);
    view.selectRow("List", 1);
    view.insertItem("List", 0, "Alpha", 1);
    EXPECT_EQ(view.selectedRow("List"), 2);
    EXPECT_EQ(view.itemCode("List", 2), 4);
    view.removeItem("List", 0);
    EXPECT_EQ(view.selectedRow("List"), 1);
    view.removeItem("List", 1);
    EXPECT_EQ(view.selectedRow("List"), -1);
    EXPECT_EQ(view.itemTexts("List"), std::vector<std::string>{"Bravo"});
    EXPECT_EQ(view.findItem("List", "Bravo"), 0);
    EXPECT_EQ(view.findItem("List", "bravo"), -1);
    view.setTextLimit("Name", 3);
    view.setText("Name", "Kilimanjaro");
    EXPECT_EQ(view.text("Name"), "Kil");
    EXPECT_TRUE(view.isEnabled("Unseen"));
    EXPECT_FALSE(view.hasControl("Unseen"));
}

TEST(FakeDialogView, TreesSortRemoveAndSelect) {
    FakeDialogView view;
    const auto head = view.addTreeItem("Units", DialogView::kRoot, "Head Office", 1);
    const auto zanzibar = view.addTreeItem("Units", head, "zanzibar", 3);
    const auto arusha = view.addTreeItem("Units", head, "Arusha", 2);
    view.addTreeItem("Units", arusha, "Stores", 4);
    view.sortTreeChildren("Units", head);
    EXPECT_EQ(view.treeChildren("Units", head),
              (std::vector<DialogView::TreeItem>{arusha, zanzibar}));
    view.selectTreeItem("Units", arusha);
    view.removeTreeItem("Units", arusha);
    EXPECT_EQ(view.selectedTreeItem("Units"), DialogView::kRoot);
    EXPECT_EQ(view.treeChildren("Units", head), std::vector<DialogView::TreeItem>{zanzibar});
    EXPECT_EQ(view.treeParent("Units", zanzibar), head);
    EXPECT_EQ(view.addTreeItem("Units", 999, "Orphan", 0), DialogView::kRoot);
}

TEST(RecordingCanvas, KeepsTextWithPageAndPosition) {
    RecordingCanvas canvas;
    ASSERT_TRUE(canvas.beginDocument("Payslips"));
    canvas.beginPage();
    canvas.setFont({"Arial", 8, 400, false, false});
    canvas.drawText({20, 30, 100, 10}, "Page 1 of 2", common::align::Right);
    canvas.endPage();
    canvas.beginPage();
    canvas.setFont({"Arial", 10, 700, false, false});
    const double height =
        canvas.drawText({20, 145, 20, 50}, "Grand Total", common::align::WordWrap);
    canvas.endPage();
    canvas.endDocument();
    const auto found = canvas.findText("Grand Total");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].page, 2);
    EXPECT_DOUBLE_EQ(found[0].rect.top, 145);
    EXPECT_EQ(found[0].font.weight, 700);
    EXPECT_GT(height, canvas.metrics().height); // wrapped onto two lines
    EXPECT_EQ(canvas.textsOnPage(1), std::vector<std::string>{"Page 1 of 2"});
    canvas.failDocument = true;
    EXPECT_FALSE(canvas.beginDocument("Again"));
}

TEST(RecordingUi, AnswersFromTheScriptThenDefaults) {
    RecordingUi ui;
    ui.answers.push_back(common::Answer::No);
    EXPECT_FALSE(ui.ask("Do you wish to back up your data?"));
    EXPECT_TRUE(ui.ask("Again?"));
    ui.error("Can't create x");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Error);
    EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");
    {
        common::WaitCursor wait(ui);
        common::StatusText status(ui, "Updating Staff...");
        EXPECT_EQ(ui.waitDepth, 1);
    }
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Updating Staff...", ""}));
    EXPECT_EQ(ui.chooseSaveFile({}), std::nullopt);
}

} // namespace
} // namespace kelo::testsupport
