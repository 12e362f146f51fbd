#include "yeartodate/EmpPaySum.h"

#include "YtdFixture.h"
#include "testsupport/RecordingCanvas.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kelo::yeartodate::testing {
namespace {

namespace fs = std::filesystem;

struct TestPaySummary : EMPPAYSUM {
    using EMPPAYSUM::EMPPAYSUM;
    using REPORTBASE::setReadStamp;
};

struct EmpPaySumTest : YtdFixture {
    void SetUp() override {
        YtdFixture::SetUp();
        if (HasFatalFailure())
            return;
        threeMonths();
        org.month = "April";
        ui.clear();
    }

    common::REPORTPARAM param(std::int32_t groupBy = 0, const std::string& name = {}) const {
        common::REPORTPARAM p = common::newReportParam(common::kReportEmployeePaySummary, org);
        common::setGroup(p, groupBy, name);
        return p;
    }

    // Prepared as the main program does it, read at a fixed time.
    std::unique_ptr<TestPaySummary> summary(const common::REPORTPARAM& p) {
        auto report = std::make_unique<TestPaySummary>(ui, code, folder, p);
        YTDDB store(owner, code, folder);
        if (!preparePaySummary(ui, store, *report, org))
            return nullptr;
        report->setReadStamp(common::ReadStamp::at({2025, 14, 4}, 9, 5));
        return report;
    }

    static std::vector<std::string> empNums(const EMPPAYSUM& report) {
        std::vector<std::string> nums;
        for (const YTDREC& rec : report.records())
            nums.push_back(rec.empNum);
        return nums;
    }

    void setSortKey(int key) {
        database::OPTIONSDB options(code, folder);
        ASSERT_TRUE(options.openFile());
        ASSERT_TRUE(options.setValue(common::kReportEmployeePaySummary, "Sort Key", key));
        options.closeFile();
    }
};

// Read line by line: the figures of the year's file (January to March, see
// the store's test) and April as March; MH003 has no deductions and no
// benefits, MH002 both; MH006 is blank in January.
TEST_F(EmpPaySumTest, TheTextExportShowsEveryEmployeesYear) {
    auto report = summary(param());
    ASSERT_TRUE(report) << messages();
    EXPECT_TRUE(ui.messages.empty()) << messages();
    EXPECT_EQ(report->caption(), "Employee Pay Summary");
    EXPECT_EQ(report->orientation(), common::Orientation::Landscape);
    EXPECT_EQ(report->pageCount(), 4);
    const auto text = report->exportText();
    ASSERT_TRUE(text);
    expectGolden(*text, "paysummary.txt");
}

TEST_F(EmpPaySumTest, TheCurrentYearIsReadFromAFreshInterimFile) {
    const common::REPORTPARAM p = param();
    TestPaySummary report(ui, code, folder, p);
    EXPECT_TRUE(report.requireFile(org));
    YTDDB store(owner, code, folder);
    ASSERT_TRUE(store.writeInterimFile(ui, org));
    EXPECT_FALSE(report.requireFile(org));
    // A transactions table changed afterwards makes it stale.
    fs::last_write_time(folder.resolve("database/wkpay.dbf"),
                        fs::last_write_time(interimFile()) + std::chrono::seconds(2));
    EXPECT_TRUE(report.requireFile(org));
}

TEST_F(EmpPaySumTest, APastYearIsReadFromItsFileAndNeverBuildsAnInterimFile) {
    org.year = 2026;
    org.month = "January";
    common::REPORTPARAM p = param();
    p.period.year = 2025;
    auto report = summary(p);
    ASSERT_TRUE(report) << messages();
    EXPECT_FALSE(fs::exists(interimFile()));
    EXPECT_FALSE(fs::exists(folder.resolve("2026/ytd.int")));
    // March is the last month the year's file holds.
    EXPECT_EQ(report->records()[0].monthFlags, (std::array<int, kMonths>{1, 1, 1}));
}

struct Selection {
    const char* name;
    std::int32_t groupBy;
    const char* groupName;
    std::vector<std::string> empNums;
};

struct EmpPaySumSelectionTest : EmpPaySumTest, ::testing::WithParamInterface<Selection> {};

TEST_P(EmpPaySumSelectionTest, KeepsTheSelectedEmployees) {
    auto report = summary(param(GetParam().groupBy, GetParam().groupName));
    if (GetParam().empNums.empty()) {
        EXPECT_FALSE(report);
        expectOneError("Sorry, there are no reports for selected unit(s).");
        return;
    }
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(empNums(*report), GetParam().empNums);
    EXPECT_EQ(report->pageCount(), static_cast<int>(GetParam().empNums.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Selections, EmpPaySumSelectionTest,
    ::testing::Values(Selection{"All", 0, "", {"MH001", "MH002", "MH003", "MH006"}},
                      Selection{"UnitAtAnyLevel", 1, "head office", {"MH001", "MH002", "MH006"}},
                      Selection{"OwnUnit", 1, "FINANCE", {"MH001"}},
                      Selection{"StationExactly", 2, "Dar es Salaam", {"MH002", "MH006"}},
                      Selection{"StationOfOtherCase", 2, "mbeya", {}},
                      Selection{"NoSuchUnit", 1, "Stores", {}},
                      // Pay groups and the others select nobody out.
                      Selection{"PayGroup", 3, "Management", {"MH001", "MH002", "MH003", "MH006"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(EmpPaySumTest, SortsByNameWhenTheOptionSaysSo) {
    setSortKey(common::kSortByLastName);
    edit("MH003", [](common::VARIATIONSREC&) {});
    auto report = summary(param());
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->sortKey(), 1);
    EXPECT_EQ(empNums(*report), (std::vector<std::string>{"MH002", "MH003", "MH001", "MH006"}));
}

TEST_F(EmpPaySumTest, PagesMoveAlongTheEmployeesAndRefuseOthers) {
    auto report = summary(param());
    ASSERT_TRUE(report) << messages();
    EXPECT_TRUE(report->nextPage());
    EXPECT_EQ(report->currentPage(), 2);
    EXPECT_TRUE(report->lastPage());
    EXPECT_FALSE(report->nextPage());
    EXPECT_TRUE(report->gotoPageNum("3"));
    EXPECT_EQ(report->pageCaption(), "Page 3 of 4");
    for (const char* text : {"0", "5", "x"}) {
        EXPECT_FALSE(report->gotoPageNum(text));
        ASSERT_EQ(ui.messages.size(), 1u) << text;
        EXPECT_EQ(ui.messages[0].text, "Page not found.");
        EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Information);
        ui.clear();
    }
    EXPECT_EQ(report->currentPage(), 3);
}

TEST_F(EmpPaySumTest, APageIsLaidOutOnItsGrid) {
    auto report = summary(param());
    ASSERT_TRUE(report) << messages();
    ASSERT_TRUE(report->gotoPageNum("4"));
    testsupport::RecordingCanvas canvas(297, 210);
    common::PRINTERREC preview;
    preview.preview = 1;
    ASSERT_TRUE(report->print(canvas, preview));
    // The grid 27 mm below the top margin of 10 mm, 259 mm wide.
    bool grid = false;
    for (const auto& e : canvas.elements)
        if (e.kind == testsupport::RecordingCanvas::Kind::Rect && e.rect.left == 10 &&
            e.rect.top == 37 && e.rect.width == 259 && e.rect.height == 145)
            grid = true;
    EXPECT_TRUE(grid);
    const auto jan = canvas.findText("JAN");
    ASSERT_EQ(jan.size(), 1u);
    EXPECT_DOUBLE_EQ(jan[0].rect.left, 33);
    EXPECT_DOUBLE_EQ(jan[0].rect.top, 39);
    EXPECT_EQ(jan[0].font.weight, 700);
    EXPECT_TRUE(canvas.findTextContaining("Name: Nyerere, Asha"));
    EXPECT_TRUE(canvas.findTextContaining("Administrative Unit: Head Office"));
    EXPECT_TRUE(canvas.findTextContaining("Page 4 of 4"));
    EXPECT_TRUE(canvas.findTextContaining("[Mon, 14 Apr 2025  9:05 AM]"));
    // Basic pay from February: nothing in January's column, the year's
    // total in the last.
    const auto basic = canvas.findText("Basic Pay");
    ASSERT_EQ(basic.size(), 1u);
    std::vector<std::string> figures;
    for (const auto& e : canvas.elements)
        if (e.kind == testsupport::RecordingCanvas::Kind::Text && e.rect.top == basic[0].rect.top &&
            e.text != "Basic Pay")
            figures.push_back(e.text);
    EXPECT_EQ(figures, (std::vector<std::string>{"150,000", "150,000", "150,000", "450,000"}));
    EXPECT_TRUE(canvas.findText("Deductions:").empty());
}

TEST_F(EmpPaySumTest, ADamagedFileIsToldAndNotRead) {
    YTDDB store(owner, code, folder);
    ASSERT_TRUE(store.writeInterimFile(ui, org));
    const std::string bytes = bytesOf(interimFile());
    writeBytes(interimFile(), bytes.substr(0, bytes.size() - 4));
    TestPaySummary report(ui, code, folder, param());
    EXPECT_FALSE(report.readFile(org));
    expectOneError("File \"" + interimFile() + "\" has invalid terminator.");
}

} // namespace
} // namespace kelo::yeartodate::testing
