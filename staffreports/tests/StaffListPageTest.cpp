#include "StaffReportsFixture.h"
#include "staffreports/PersonnelLists.h"
#include "staffreports/StaffReports.h"
#include "testsupport/RecordingCanvas.h"

#include <algorithm>

namespace kelo::staffreports::testing {
namespace {

using testsupport::RecordingCanvas;

struct StaffListPageTest : StaffReportsFixture {
    std::unique_ptr<common::REPORTBASE> prepare(std::int32_t reportType) {
        const common::REPORTPARAM p = common::newReportParam(reportType, org, {2025, 8, 3});
        return prepareStaffReport(ui, owner, code, folder, p, org);
    }

    // x of every vertical rule drawn, left to right.
    static std::vector<double> verticalRules(const RecordingCanvas& canvas) {
        std::vector<double> xs;
        for (const auto& e : canvas.elements)
            if (e.kind == RecordingCanvas::Kind::Line && e.rect.width == 0)
                xs.push_back(e.rect.left);
        std::sort(xs.begin(), xs.end());
        return xs;
    }
};

TEST_F(StaffListPageTest, TheRollIsRuledAndPlacedAsItsColumnsAre) {
    const auto report = prepare(common::kReportEmployees);
    ASSERT_TRUE(report) << ui.lastMessage();
    RecordingCanvas canvas(297, 210);
    report->drawPage(canvas, 1);
    // Left margin 20 mm; rules 40.5, 62.5, 42.5 and 42.5 mm apart.
    const std::vector<double> rules = verticalRules(canvas);
    ASSERT_EQ(rules.size(), 4u);
    EXPECT_DOUBLE_EQ(rules[0], 60.5);
    EXPECT_DOUBLE_EQ(rules[1], 123);
    EXPECT_DOUBLE_EQ(rules[2], 165.5);
    EXPECT_DOUBLE_EQ(rules[3], 208);
    // The frame from 18 to 160 mm below the 16 mm top margin.
    const auto frame =
        std::find_if(canvas.elements.begin(), canvas.elements.end(),
                     [](const auto& e) { return e.kind == RecordingCanvas::Kind::Rect; });
    ASSERT_NE(frame, canvas.elements.end());
    EXPECT_DOUBLE_EQ(frame->rect.top, 34);
    EXPECT_DOUBLE_EQ(frame->rect.height, 142);
    EXPECT_DOUBLE_EQ(frame->rect.width, 230.5);

    const auto title = canvas.findText("Kilimo Traders Ltd");
    ASSERT_EQ(title.size(), 1u);
    EXPECT_DOUBLE_EQ(title[0].rect.top, 16);
    EXPECT_EQ(title[0].font.pointSize, 14);
    EXPECT_EQ(title[0].font.weight, 700);
    const auto subtitle = canvas.findText("Employees Roll as at March 2025 - All Units");
    ASSERT_EQ(subtitle.size(), 1u);
    EXPECT_DOUBLE_EQ(subtitle[0].rect.top, 24);
    const auto heading = canvas.findText("Employee\nNumber");
    ASSERT_EQ(heading.size(), 1u);
    EXPECT_DOUBLE_EQ(heading[0].rect.left, 30);
    EXPECT_DOUBLE_EQ(heading[0].rect.top, 35);
    // The third line: number from 2 mm, name from 10 + 28.5 + 4 mm.
    const auto number = canvas.findText("3.");
    ASSERT_EQ(number.size(), 1u);
    EXPECT_DOUBLE_EQ(number[0].rect.left, 22);
    EXPECT_DOUBLE_EQ(number[0].rect.top, 16 + 29.5 + 10);
    const auto name = canvas.findText("banda, Alice");
    ASSERT_EQ(name.size(), 1u);
    EXPECT_DOUBLE_EQ(name[0].rect.left, 62.5);
    EXPECT_EQ(canvas.findText("Page 1 of 1").size(), 1u);
}

TEST_F(StaffListPageTest, HierarchyNamesAreIndentedFourMillimetresALevel) {
    const auto report = prepare(common::kReportHierarchy);
    ASSERT_TRUE(report) << ui.lastMessage();
    RecordingCanvas canvas(297, 210);
    report->drawPage(canvas, 1);
    const std::pair<const char*, double> names[] = {
        {"Mushi, Anna", 22}, {"Banda, Peter", 26}, {"Kileo, John", 30}};
    for (const auto& [text, left] : names) {
        const auto found = canvas.findText(text);
        ASSERT_EQ(found.size(), 1u) << text;
        EXPECT_DOUBLE_EQ(found[0].rect.left, left) << text;
    }
    EXPECT_TRUE(canvas.findText("1.").empty());
    EXPECT_EQ(verticalRules(canvas).size(), 3u);
}

TEST_F(StaffListPageTest, TwentySevenEmployeesTakeTwoPagesOfTwentySix) {
    std::vector<Employee> more;
    for (int i = 0; i < 22; ++i)
        more.push_back({"F" + std::to_string(100 + i),
                        "Extra",
                        std::to_string(i),
                        kFinance,
                        kClerk,
                        kDar,
                        {},
                        {2020, 1, 1},
                        "",
                        0});
    add(more);
    const auto report = prepare(common::kReportLengthOfService);
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->pageCount(), 2);
    EXPECT_EQ(report->pages()[0].rowCount, 26u);
    EXPECT_EQ(report->pages()[1].rowCount, 1u);
    RecordingCanvas canvas(297, 210);
    report->drawPage(canvas, 2);
    EXPECT_EQ(canvas.findText("27.").size(), 1u);
    EXPECT_EQ(canvas.findText("Page 2 of 2").size(), 1u);
}

} // namespace
} // namespace kelo::staffreports::testing
