#include "staffreports/PostsRep.h"

#include "StaffReportsFixture.h"
#include "staffreports/StaffReports.h"
#include "testsupport/RecordingCanvas.h"

namespace kelo::staffreports::testing {
namespace {

using Cells = std::vector<std::string>;

// Posts: Finance 2 permanent and 1 temporary accountant, 1 permanent clerk;
// Head Office 1 permanent director; Stores 2 permanent, 1 contract and 3
// casual clerks. Holders: E002 accountant (permanent) and E005 clerk
// (permanent) in Finance, E001 director, E003 (contract) and E004
// (permanent) clerks in Stores.
struct PostsRepTest : StaffReportsFixture {
    void SetUp() override {
        StaffReportsFixture::SetUp();
        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.createFile(ui));
        ASSERT_TRUE(posts.openFile());
        for (const database::POSTREC& rec :
             std::vector<database::POSTREC>{{kStores, kClerk, {2, 1, 0, 3}},
                                            {kFinance, kClerk, {1, 0, 0, 0}},
                                            {kHeadOffice, kDirector, {1, 0, 0, 0}},
                                            {kFinance, kAccountant, {2, 0, 1, 0}}})
            ASSERT_TRUE(posts.appendRecord(rec));
        posts.closeFile();
        ui.clear();
    }

    std::unique_ptr<POSTSREP> read(bool vacancies, std::string unit = {}) {
        common::REPORTPARAM p = common::newReportParam(common::kReportPosts, org, {2025, 8, 3});
        p.choice = vacancies;
        if (!unit.empty())
            common::setGroup(p, common::kGroupByUnit, unit);
        auto report = std::make_unique<POSTSREP>(ui, code, folder, p);
        if (!report->readFile(org))
            return nullptr;
        report->paginate();
        return report;
    }

    static std::vector<Cells> cellsOf(const POSTSREP& report) {
        std::vector<Cells> rows;
        for (const common::ReportRow& row : report.rows())
            rows.push_back(row.cells);
        return rows;
    }
};

TEST_F(PostsRepTest, PostsAreListedByUnitNameThenJobTitle) {
    const auto report = read(false);
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->caption(), "Jobs Report");
    EXPECT_EQ(report->title(), "Posts in All Units");
    EXPECT_EQ(cellsOf(*report),
              (std::vector<Cells>{
                  {"1.", "Accountant", "Finance", "Professional", "2", "0", "1", "0", "3"},
                  {"2.", "Clerk", "Finance", "Support", "1", "0", "0", "0", "1"},
                  {"3.", "Director", "Head Office", "Senior Management", "1", "0", "0", "0", "1"},
                  {"4.", "Clerk", "Stores", "Support", "2", "1", "0", "3", "6"}}));
    EXPECT_EQ(report->totalsThrough(1), (std::vector<double>{0, 0, 0, 0, 6, 1, 1, 3, 11}));
}

TEST_F(PostsRepTest, VacanciesArePostsLessHoldersAndFilledJobsAreLeftOut) {
    const auto report = read(true);
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->title(), "Vacancies in All Units");
    EXPECT_EQ(cellsOf(*report),
              (std::vector<Cells>{
                  {"1.", "Accountant", "Finance", "Professional", "1", "0", "1", "0", "2"},
                  {"2.", "Clerk", "Stores", "Support", "1", "0", "0", "3", "4"}}));
    testsupport::RecordingCanvas canvas(297, 210);
    report->drawPage(canvas, 1);
    const auto total = canvas.findText("Grand Total");
    ASSERT_EQ(total.size(), 1u);
    EXPECT_EQ(canvas.findText("6").size(), 1u);
}

TEST_F(PostsRepTest, ALeaverWhoseTerminationWentThroughHoldsNoPost) {
    terminate("E002", {2025, 14, 3}, "Resignation");
    monthEnd("March");
    const auto report = read(true, "Finance");
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->title(), "Vacancies in Finance Unit");
    EXPECT_EQ(cellsOf(*report),
              (std::vector<Cells>{
                  {"1.", "Accountant", "Finance", "Professional", "2", "0", "1", "0", "3"},
                  {"2.", "Clerk", "Stores", "Support", "1", "0", "0", "3", "4"}}));
}

TEST_F(PostsRepTest, AUnitTakesItsPostsAndThoseBelowIt) {
    const auto report = read(false, "stores");
    ASSERT_TRUE(report) << ui.lastMessage();
    ASSERT_EQ(report->rows().size(), 1u);
    EXPECT_EQ(report->rows()[0].cells[2], "Stores");
}

TEST_F(PostsRepTest, MoreHoldersThanPostsLeaveNoVacancy) {
    EXPECT_EQ(vacancies({1, 1, {1, 2, 0, 0}}, {3, 1, 0, 0}), (std::array<long, 4>{0, 1, 0, 0}));
    EXPECT_EQ(vacancies({1, 1, {4, 2, 1, 5}}, {1, 2, 0, 4}), (std::array<long, 4>{3, 0, 1, 1}));
}

TEST_F(PostsRepTest, NoVacancyLeftMeansNoReport) {
    const auto report = read(true, "Head Office");
    ASSERT_TRUE(report);
    const auto none = read(true, "Nowhere");
    EXPECT_FALSE(none);
    EXPECT_EQ(ui.lastMessage(), "Sorry, report has no records\nand will not be printed.");
}

TEST_F(PostsRepTest, TwentySixPostsTakeTwoPagesWithTheTotalCarriedForward) {
    database::POSTSDB posts(code, folder);
    ASSERT_TRUE(posts.openFile());
    for (long job = 4; job < 26; ++job)
        ASSERT_TRUE(posts.appendRecord({kStores, job, {1, 0, 0, 0}}));
    posts.closeFile();
    const auto report = read(false);
    ASSERT_TRUE(report) << ui.lastMessage();
    ASSERT_EQ(report->rows().size(), 26u);
    EXPECT_EQ(report->pageCount(), 2);
    testsupport::RecordingCanvas first(297, 210);
    report->drawPage(first, 1);
    EXPECT_EQ(first.findText("Total C/F").size(), 1u);
    EXPECT_TRUE(first.findText("Grand Total").empty());
    // The 22 jobs without a title come first in Stores, so the first page
    // holds Finance's 2 + 1, Head Office's 1 and 22 permanent posts, and 1
    // temporary: 26 permanent, 27 in all.
    EXPECT_EQ(first.findText("26").size(), 1u);
    EXPECT_EQ(first.findText("27").size(), 1u);
    testsupport::RecordingCanvas second(297, 210);
    report->drawPage(second, 2);
    EXPECT_EQ(second.findText("Grand Total").size(), 1u);
    EXPECT_EQ(second.findText("Page 2 of 2").size(), 1u);
    // Stores' clerks add 2 permanent, 1 contract and 3 casual posts.
    EXPECT_EQ(second.findText("28").size(), 1u);
    EXPECT_EQ(second.findText("33").size(), 1u);
}

} // namespace
} // namespace kelo::staffreports::testing
