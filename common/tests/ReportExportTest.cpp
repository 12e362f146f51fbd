#include "common/ReportBase.h"
#include "common/WorkingFolder.h"
#include "common/tests/SampleReport.h"
#include "testsupport/RecordingCanvas.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace kelo::common {
namespace {

using namespace reporttest;
using testsupport::RecordingCanvas;
using testsupport::RecordingUi;
using testsupport::TempDir;

// Text export

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const std::filesystem::path kGolden =
    std::filesystem::path(__FILE__).parent_path() / "golden" / "report_sample.txt";

TEST(ReportBaseExport, TextExportMatchesTheGoldenFile) {
    RecordingUi ui;
    SampleReport report(ui, 25);
    report.layOut();
    const std::optional<std::string> actual = report.exportText();
    ASSERT_TRUE(actual);
    const char* update = std::getenv("KELO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1")
        writeBytes(kGolden.string(), *actual);
    const std::string expected = readBytes(kGolden.string());
    if (*actual != expected) {
        writeBytes("report_sample.txt.actual", *actual);
        ADD_FAILURE() << "differs from " << kGolden << "; the output is in "
                      << std::filesystem::absolute("report_sample.txt.actual")
                      << " (KELO_UPDATE_GOLDEN=1 accepts it)";
    }

    // The golden file itself, line by line: every line ends in CR LF and
    // every field is followed by a tab.
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < expected.size()) {
        const std::size_t end = expected.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "a last line without CR LF";
        lines.push_back(expected.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 30u); // two titles, a blank, headings, 25 rows, total
    EXPECT_EQ(lines[0], "Sample Organisation\t");
    EXPECT_EQ(lines[1], "Sample Report - March 2025 : All Units\t");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "\tEmployee Number\tName\tAmount\t");
    EXPECT_EQ(lines[4], "1.\tE001\tEmployee 1\t1,000\t");
    EXPECT_EQ(lines[6], "3.\tE003\tMwangi, Zo\xC3\xAB\t3,000\t");
    EXPECT_EQ(lines[28], "25.\tE025\tEmployee 25\t25,000\t");
    EXPECT_EQ(lines[29], "\t\tTotal\t325,000\t");
    for (const std::string& line : lines)
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
}

TEST(ReportBaseExport, HiddenColumnsTakeNoRoomAndAreNotExported) {
    RecordingUi ui;
    SampleReport report(ui, 2);
    report.hideColumn(1);
    report.layOut();
    EXPECT_EQ(*report.exportText(), "Sample Organisation\t\r\n"
                                    "Sample Report - March 2025 : All Units\t\r\n"
                                    "\r\n"
                                    "\tName\tAmount\t\r\n"
                                    "1.\tEmployee 1\t1,000\t\r\n"
                                    "2.\tEmployee 2\t2,000\t\r\n"
                                    "\tTotal\t3,000\t\r\n");
    const RecordingCanvas canvas = printAll(report);
    EXPECT_EQ(pageOf(canvas, "E001"), 0);
    EXPECT_EQ(pageOf(canvas, "Employee\nNumber"), 0);
    // The name moves to 1.5 + 8 + 3 mm inside the margin, the amount 40 + 3 further.
    EXPECT_DOUBLE_EQ(canvas.findText("Employee 1").front().rect.left, 15 + 12.5);
    EXPECT_DOUBLE_EQ(canvas.findText("1,000").front().rect.left, 15 + 55.5);
}

TEST(ReportBaseExport, SaveAsTextWritesTheChosenFile) {
    TempDir dir;
    const WorkingFolder folder(dir.path());
    RecordingUi ui;
    SampleReport report(ui, 25);
    report.layOut();
    ui.choices.push_back(dir.file("march.txt"));
    EXPECT_TRUE(report.saveAsTxt(folder));
    ASSERT_EQ(ui.fileChoices.size(), 1u);
    const FileChoice& choice = ui.fileChoices[0];
    EXPECT_EQ(choice.filter, "Text Files (*.txt)");
    EXPECT_EQ(choice.defaultExtension, "txt");
    EXPECT_EQ(choice.initialFolder, dir.path() + "/exports");
    EXPECT_TRUE(choice.overwritePrompt);
    EXPECT_EQ(readBytes(dir.file("march.txt")), readBytes(kGolden.string()));
    EXPECT_EQ(ui.waitCount, 1);
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ReportBaseExport, CancelOrAnUnwritableFile) {
    TempDir dir;
    const WorkingFolder folder(dir.path());
    {
        RecordingUi ui;
        SampleReport report(ui, 3);
        report.layOut();
        ui.choices.push_back(std::nullopt);
        EXPECT_FALSE(report.saveAsTxt(folder));
        EXPECT_TRUE(ui.messages.empty());
    }
    {
        RecordingUi ui;
        SampleReport report(ui, 3);
        report.layOut();
        const std::string path = dir.file("missing/march.txt");
        ui.choices.push_back(path);
        EXPECT_FALSE(report.saveAsTxt(folder));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Can't save to " + path);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(ui.waitDepth, 0);
    }
    {
        // A report without a text export opens no dialog.
        RecordingUi ui;
        PlainReport report(ui);
        report.layOut();
        EXPECT_FALSE(report.exportText());
        EXPECT_FALSE(report.saveAsTxt(folder));
        EXPECT_TRUE(ui.fileChoices.empty());
        EXPECT_TRUE(ui.messages.empty());
    }
}

// Geometry helpers

TEST(ReportGeometry, PaperOrientationAndDeviceUnits) {
    const PageGeometry summary = PageGeometry::landscape(10, 15, 265, 190, 3);
    EXPECT_EQ(summary.orientation(), Orientation::Landscape);
    EXPECT_EQ(static_cast<int>(summary.orientation()), 2);
    EXPECT_EQ(summary.paperWidth, 297);
    EXPECT_EQ(summary.paperHeight, 210);
    EXPECT_EQ(summary.right(), 280);
    EXPECT_EQ(summary.y(175), 185);
    const PageGeometry payslip = PageGeometry::portrait(13, 15, 175, 255, 30);
    EXPECT_EQ(payslip.orientation(), Orientation::Portrait);
    EXPECT_EQ(static_cast<int>(payslip.orientation()), 1);
    EXPECT_EQ(payslip.bottom(), 268);

    RecordingCanvas canvas(210, 297, 600);
    const DeviceScale scale = DeviceScale::of(canvas);
    // 600 pixels to the inch of 25.4 mm.
    EXPECT_NEAR(scale.toPixelsX(25.4), 600, 1e-9);
    EXPECT_NEAR(scale.toPixelsY(210), 210 * 600 / 25.4, 1e-9);
    EXPECT_NEAR(scale.toMmX(600), 25.4, 1e-9);

    // 10 points: 1 em = 10 × 25.4 / 72 mm; text 1 em high plus 0.2 em leading.
    const double em10 = 10 * 25.4 / 72;
    EXPECT_NEAR(lineHeight(canvas, Font{"Times New Roman", 10}, 2.0), 2 * 1.2 * em10, 1e-9);
    EXPECT_NEAR(lineHeight(canvas), 1.2 * em10, 1e-9);
}

// Report parameters

TEST(ReportParamDefaults, EveryFieldStartsAsTheMainProgramSetsIt) {
    ORGREC org = newOrgRec(3);
    org.month = "November";
    org.year = 2024;
    org.payFreq = BIWEEKLY;
    const REPORTPARAM p = newReportParam(kReportPayrollSummary, org, date{2024, 28, 11});

    struct Case {
        const char* field;
        std::string actual;
        std::string expected;
    };
    const auto text = [](auto value) { return std::to_string(value); };
    const auto dateText = [](const date& d) {
        return std::to_string(d.year) + "/" + std::to_string(d.month) + "/" + std::to_string(d.day);
    };
    const Case cases[] = {
        {"reportType", text(p.reportType), "31"},
        {"payFreq", text(static_cast<int>(p.payFreq)), text(static_cast<int>(BIWEEKLY))},
        {"choice", text(p.choice), "0"},
        {"isCurrentPeriod", text(p.isCurrentPeriod), "1"},
        {"groupBy", text(p.groupBy), "0"},
        {"period", dateText(p.period), "2024/11/0"},
        {"processDate", dateText(p.processDate), "2024/11/28"},
        {"fromMonth", text(p.fromMonth), "1"},
        {"toMonth", text(p.toMonth), "12"},
        {"groupName", p.groupName, ""},
        {"groupTitle", p.groupTitle, "All Units"},
        {"fieldName", p.fieldName, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.field;
}

TEST(ReportParamDefaults, SelectionKeepsNameAndTitleTogether) {
    struct Case {
        std::int32_t groupBy;
        const char* name;
        std::int32_t storedBy;
        const char* storedName;
        const char* title;
    };
    const Case cases[] = {
        {kGroupByNone, "Finance", 0, "", "All Units"},
        {kGroupByUnit, "Finance", 1, "Finance", "Finance Unit"},
        {kGroupByStation, "Mombasa", 2, "Mombasa", "Mombasa Station"},
        {kGroupByPayGroup, "Casuals", 3, "Casuals", "Casuals Pay Group"},
        {kGroupByBank, "Barclays", 4, "Barclays", "Barclays"},
        {kGroupByCoop, "Harambee", 5, "Harambee", "Harambee Co-operative"},
        {kGroupByPensionFund, "Staff", 6, "Staff", "Staff Pension Fund"},
        {7, "Finance", 0, "", "All Units"},
        {-1, "Finance", 0, "", "All Units"},
        // 29 characters: the name keeps 24.
        {kGroupByUnit, "Research and Development Unit", 1, "Research and Development",
         "Research and Development Unit"},
    };
    for (const Case& c : cases) {
        REPORTPARAM p;
        setGroup(p, kGroupByUnit, "Previous");
        setGroup(p, c.groupBy, c.name);
        EXPECT_EQ(p.groupBy, c.storedBy) << c.name;
        EXPECT_EQ(p.groupName, c.storedName) << c.groupBy;
        EXPECT_EQ(p.groupTitle, c.title) << c.groupBy;
    }
}

} // namespace
} // namespace kelo::common
