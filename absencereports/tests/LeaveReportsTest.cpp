#include "LeaveFixture.h"
#include "absencereports/LeaveReportRun.h"
#include "database/OptionsDb.h"
#include "testsupport/RecordingCanvas.h"

#include <cmath>
#include <memory>

namespace kelo::absencereports::testing {
namespace {

using Texts = std::vector<std::string>;

Texts linesOf(const std::string& text) {
    Texts lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

Texts golden(const char* name) {
    return linesOf(
        bytesOf((std::filesystem::path(__FILE__).parent_path() / "golden" / name).string()));
}

struct LeaveReportsTest : LeaveFixture {
    LEAVEREPDB store{owner, code, folder};

    void SetUp() override {
        LeaveFixture::SetUp();
        closeMarchThenOctober();
    }

    common::REPORTPARAM param(std::int32_t reportType, int fromMonth = 1, int toMonth = 12) {
        common::REPORTPARAM p;
        p.reportType = reportType;
        p.period = common::date{2025, 0, 10};
        p.fromMonth = fromMonth;
        p.toMonth = toMonth;
        return p;
    }

    static void select(common::REPORTPARAM& p, std::int32_t groupBy, const char* name,
                       const char* title) {
        p.groupBy = groupBy;
        p.groupName = name;
        p.groupTitle = title;
    }

    std::unique_ptr<LEAVEREP> open(const common::REPORTPARAM& p) {
        return openLeaveReport(ui, store, code, folder, p, org);
    }

    void expectExport(const LEAVEREP& report, const char* name) {
        const Texts lines = linesOf(report.exportText().value_or(""));
        const Texts expected = golden(name);
        ASSERT_EQ(lines.size(), expected.size()) << name;
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i], expected[i]) << name << " line " << i + 1;
    }
};

TEST_F(LeaveReportsTest, AbsenceAnalysisByUnitUnderTheSelectedOne) {
    common::REPORTPARAM p = param(common::kReportAbsenceAnalysis);
    select(p, common::kGroupByUnit, "Head Office", "Head Office Unit");
    const auto report = open(p);
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->caption(), "Absence Analysis");
    EXPECT_EQ(report->orientation(), common::Orientation::Landscape);
    expectExport(*report, "absence_analysis_head_office.txt");
    EXPECT_EQ(report->styles()[0], LineStyle::Group);
    EXPECT_EQ(report->styles()[3], LineStyle::Total);
}

TEST_F(LeaveReportsTest, AnnualLeaveAnalysisOfTheYearAndOfItsSecondHalf) {
    const auto year = open(param(common::kReportAnnualLeaveAnalysis));
    ASSERT_TRUE(year) << ui.lastMessage();
    EXPECT_EQ(year->caption(), "Annual Leave Analysis");
    expectExport(*year, "annual_leave_year.txt");
    const auto half = open(param(common::kReportAnnualLeaveAnalysis, 7, 12));
    ASSERT_TRUE(half) << ui.lastMessage();
    expectExport(*half, "annual_leave_second_half.txt");
}

TEST_F(LeaveReportsTest, DetailsOfAStationInDateOrder) {
    common::REPORTPARAM p = param(common::kReportAbsenceLeaveDetails);
    select(p, common::kGroupByStation, "Mbeya", "Mbeya Station");
    const auto report = open(p);
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->orientation(), common::Orientation::Portrait);
    expectExport(*report, "details_mbeya.txt");
}

TEST_F(LeaveReportsTest, LeaveBookedInDateOrderWithTheTotal) {
    const auto report = open(param(common::kReportLeaveBooked));
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->caption(), "Leave Booked Report");
    expectExport(*report, "leave_booked.txt");
    const Texts csv = linesOf(report->exportCsv().value_or(""));
    ASSERT_EQ(csv.size(), 5u);
    EXPECT_EQ(csv[1], "02/06/2025,03/06/2025,E002,\"Banda, Peter\",Study Leave,2");
    EXPECT_EQ(csv[4], ",,,Total,,12.00");
}

// The balance each employee's leave account shows, worked by the leave and
// absence tables themselves, is the balance of the year's analysis.
TEST_F(LeaveReportsTest, TheYearsBalanceIsTheLeaveAccountsBalance) {
    LEAVEANALYSIS report(ui, code, folder, param(common::kReportAnnualLeaveAnalysis));
    ASSERT_TRUE(report.readFile(org)) << ui.lastMessage();
    for (const char* empNum : {"E001", "E002", "E003"}) {
        database::LEAVEREC account;
        account.empNum = empNum;
        ASSERT_TRUE(leave.readAccount(account));
        ASSERT_TRUE(absences.readAccount(account));
        EXPECT_NEAR(report.accountOf(empNum).balance(), account.balance(), 0.005) << empNum;
    }
}

TEST_F(LeaveReportsTest, TheInterimFileIsWrittenOnlyWhenStale) {
    LEAVEBOOKED report(ui, code, folder, param(common::kReportLeaveBooked));
    EXPECT_FALSE(report.requireFile(org));
    std::filesystem::remove(interimFile());
    EXPECT_TRUE(report.requireFile(org));
    ASSERT_TRUE(prepareLeaveReport(ui, store, report, org)) << ui.lastMessage();
    EXPECT_TRUE(std::filesystem::exists(interimFile()));
    EXPECT_FALSE(report.requireFile(org));
    // Another year reads its year file and never the interim one.
    common::REPORTPARAM past = param(common::kReportLeaveBooked);
    past.period.year = 2024;
    LEAVEBOOKED old(ui, code, folder, past);
    EXPECT_FALSE(old.requireFile(org));
    EXPECT_FALSE(old.readFile(org));
    EXPECT_EQ(ui.lastMessage(), "Can't find \"" + folder.resolve("2024/leaverep.dbf") + "\"");
}

TEST_F(LeaveReportsTest, NothingToShowIsTold) {
    common::REPORTPARAM p = param(common::kReportAbsenceAnalysis, 7, 12);
    select(p, common::kGroupByStation, "Dar es Salaam", "Dar es Salaam Station");
    // E001's annual leave of September is the only absence there.
    ASSERT_TRUE(open(p));
    absences.openFile(true);
    std::vector<database::ABSENCEROW> rows;
    ASSERT_TRUE(absences.readRows("E001", false, rows));
    for (const database::ABSENCEROW& row : rows) {
        if (row.fromDate.month == 9) {
            ASSERT_TRUE(absences.deleteRec(row.id));
        }
    }
    absences.closeFile();
    ui.clear();
    EXPECT_FALSE(open(p));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(), "Sorry, report has no records\nand will not be printed.");
}

TEST_F(LeaveReportsTest, TheSortKeyOptionOrdersByName) {
    database::OPTIONSDB options(code, folder);
    ASSERT_TRUE(options.createFile(ui));
    ASSERT_TRUE(options.openFile());
    ASSERT_TRUE(options.setValue(common::kReportAnnualLeaveAnalysis, "Sort Key", 1));
    options.closeFile();
    const auto report = open(param(common::kReportAnnualLeaveAnalysis));
    ASSERT_TRUE(report) << ui.lastMessage();
    Texts names;
    for (const LeaveEmployee& e : report->employees())
        names.push_back(e.lastName);
    EXPECT_EQ(names, (Texts{"Banda", "Kileo", "Mushi", "Salim"}));
}

TEST_F(LeaveReportsTest, ThePagePreviewsHeadingsLinesAndFooter) {
    const auto report = open(param(common::kReportLeaveBooked));
    ASSERT_TRUE(report);
    testsupport::RecordingCanvas canvas;
    common::PRINTERREC preview;
    preview.preview = 1;
    ASSERT_TRUE(report->print(canvas, preview));
    const Texts texts = canvas.textsOnPage(1);
    for (const char* text : {"Kilimo Traders Ltd", "Leave Booked Report - January to December 2025",
                             "Emp. No.", "Banda, Peter", "12.00", "Page 1 of 1"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
}

// December closes, the leave accounts carry their balances into 2026 and the
// absence events go: the year file still gives 2025 as it was.
TEST_F(LeaveReportsTest, APastYearIsReadFromItsYearFileAfterTheYearEnd) {
    org.month = "December";
    ASSERT_TRUE(store.updateFile(ui, org, true));
    org.month = "January";
    org.year = 2026;
    ASSERT_TRUE(leave.updateFile(org, common::UPDATE_YEAR_END));
    ASSERT_TRUE(absences.purgeAbsence());
    ui.clear();
    common::REPORTPARAM past = param(common::kReportAnnualLeaveAnalysis);
    const auto report = open(past);
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_FALSE(std::filesystem::exists(folder.resolve("2026/leaverep.int")));
    expectExport(*report, "annual_leave_year.txt");

    common::REPORTPARAM now = param(common::kReportAnnualLeaveAnalysis);
    now.period.year = 2026;
    const auto next = open(now);
    ASSERT_TRUE(next) << ui.lastMessage();
    ASSERT_EQ(next->rows().size(), 4u);
    // The balances carried, E004 gone before; the bookings of 2025 are no
    // part of 2026.
    const Texts expected[] = {
        {"E001", "Mushi, Anna", "5.00", "0.00", "0.00", "0.00", "0.00", "5.00"},
        {"E002", "Banda, Peter", "11.00", "0.00", "0.00", "0.00", "0.00", "11.00"},
        {"E003", "Kileo, Grace", "0.75", "0.00", "0.00", "0.00", "0.00", "0.75"},
        {"", "Grand Total", "16.75", "0.00", "0.00", "0.00", "0.00", "16.75"}};
    for (std::size_t r = 0; r < 4; ++r)
        EXPECT_EQ(next->rows()[r].cells, expected[r]) << r;
}

TEST_F(LeaveReportsTest, ManyLinesTakeSeveralPages) {
    for (int day = 1; day <= 28; ++day) {
        absence("E001", ymd(2025, 11, day), ymd(2025, 11, day), 0.5f, "Sick Leave");
        absence("E002", ymd(2025, 11, day), ymd(2025, 11, day), 0.5f, "Authorised Absence");
    }
    const auto report = open(param(common::kReportAbsenceLeaveDetails));
    ASSERT_TRUE(report) << ui.lastMessage();
    // 10 + 8 + 7 + 4 entries before, 56 more: 85 lines, 46 to a page.
    EXPECT_EQ(report->rows().size(), 85u);
    EXPECT_EQ(report->pageCount(), 2);
    testsupport::RecordingCanvas canvas;
    common::PRINTERREC printer;
    ASSERT_TRUE(report->print(canvas, printer));
    const Texts second = canvas.textsOnPage(2);
    EXPECT_NE(std::find(second.begin(), second.end(), "Page 2 of 2"), second.end());
    EXPECT_NE(std::find(second.begin(), second.end(), "Emp. No."), second.end());
}

TEST_F(LeaveReportsTest, OnlyTheLeaveCodesMakeAReport) {
    for (const std::int32_t type : {21, 26, 31})
        EXPECT_FALSE(makeLeaveReport(ui, code, folder, param(type))) << type;
    EXPECT_TRUE(makeLeaveReport(ui, code, folder, param(common::kReportLeaveBooked)));
}

} // namespace
} // namespace kelo::absencereports::testing
