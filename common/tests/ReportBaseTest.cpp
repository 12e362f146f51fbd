#include "common/ReportBase.h"

#include "common/tests/SampleReport.h"
#include "testsupport/RecordingCanvas.h"
#include "testsupport/RecordingUi.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelo::common {
namespace {

using namespace reporttest;
using testsupport::RecordingCanvas;
using testsupport::RecordingUi;

// Pagination

TEST(ReportBasePages, RowsFallOnPagesOfTen) {
    struct Case {
        int rows;
        int pages;
        std::vector<std::size_t> rowsOnPage;
    };
    const Case cases[] = {
        {0, 1, {0}},          // an empty report still has its one page
        {1, 1, {1}},          //
        {10, 1, {10}},        // exactly one full page
        {11, 2, {10, 1}},     // one row over
        {25, 3, {10, 10, 5}}, //
    };
    for (const Case& c : cases) {
        RecordingUi ui;
        SampleReport report(ui, c.rows);
        report.layOut();
        EXPECT_EQ(report.pageCount(), c.pages) << c.rows;
        ASSERT_EQ(report.pages().size(), c.rowsOnPage.size()) << c.rows;
        std::size_t first = 0;
        for (std::size_t p = 0; p < c.rowsOnPage.size(); ++p) {
            EXPECT_EQ(report.pages()[p].number, static_cast<int>(p + 1)) << c.rows;
            EXPECT_EQ(report.pages()[p].firstRow, first) << c.rows << " page " << p + 1;
            EXPECT_EQ(report.pages()[p].rowCount, c.rowsOnPage[p]) << c.rows << " page " << p + 1;
            first += c.rowsOnPage[p];
        }
        EXPECT_EQ(report.currentPage(), 1);
    }
}

TEST(ReportBasePages, BeforeLayoutThereIsOnePageOfOneRow) {
    RecordingUi ui;
    PlainReport report(ui);
    EXPECT_EQ(report.pageCount(), 1);
    EXPECT_EQ(report.currentPage(), 1);
    EXPECT_EQ(report.rowsPerPage(), 1);
    EXPECT_EQ(report.orientation(), Orientation::Portrait);
    EXPECT_EQ(report.pageCaption(), "Page 1 of 1");
}

TEST(ReportBasePages, EachRowIsDrawnOnItsPageAtItsPlace) {
    RecordingUi ui;
    SampleReport report(ui, 25);
    report.layOut();
    const RecordingCanvas canvas = printAll(report);
    EXPECT_EQ(canvas.pagesStarted, 3);

    struct Case {
        const char* text;
        int page;
        double left, top;
    };
    // Rows start 38 mm down, 5 mm apart; the name column starts 15 + 35.5 mm
    // from the paper's edge, the amounts (right-aligned, 25 mm wide) at 93.5 mm.
    const Case cases[] = {
        {"Employee 1", 1, 50.5, 38},
        {"Mwangi, Zoë", 1, 50.5, 48},
        {"Employee 10", 1, 50.5, 83},
        {"Employee 11", 2, 50.5, 38},
        {"E020", 2, 27.5, 83},
        {"21.", 3, 16.5, 38},
        {"Employee 25", 3, 50.5, 58},
        {"25,000", 3, 93.5, 58},
        {"Sample Organisation", 1, 15, 10},
    };
    for (const Case& c : cases) {
        const auto found = canvas.findText(c.text);
        ASSERT_GE(found.size(), 1u) << c.text;
        EXPECT_EQ(found.front().page, c.page) << c.text;
        EXPECT_DOUBLE_EQ(found.front().rect.left, c.left) << c.text;
        EXPECT_DOUBLE_EQ(found.front().rect.top, c.top) << c.text;
    }
    EXPECT_EQ(canvas.findText("Sample Report - March 2025 : All Units").front().rect.top, 18);
    EXPECT_EQ(canvas.findText("Employee\nNumber").front().rect.top, 28);
    EXPECT_EQ(canvas.findText("25,000").front().flags & align::Right, align::Right);
    EXPECT_EQ(canvas.findText("Employee\nNumber").size(), 3u); // headings on every page
}

TEST(ReportBasePages, PagesCarryRunningTotalsAndTheLastTheGrandTotal) {
    struct Case {
        int rows;
        int page;
        const char* label;
        const char* total;
    };
    // Sums of 1,000 × 1..n: n = 10 gives 55,000; 11 gives 66,000; 20 gives
    // 210,000; 25 gives 325,000.
    const Case cases[] = {
        {0, 1, "Grand Total", "0"},        {10, 1, "Grand Total", "55,000"},
        {11, 1, "Total C/F", "55,000"},    {11, 2, "Grand Total", "66,000"},
        {25, 1, "Total C/F", "55,000"},    {25, 2, "Total C/F", "210,000"},
        {25, 3, "Grand Total", "325,000"},
    };
    for (const Case& c : cases) {
        RecordingUi ui;
        SampleReport report(ui, c.rows);
        report.layOut();
        const RecordingCanvas canvas = printAll(report);
        const auto texts = canvas.textsOnPage(c.page);
        EXPECT_NE(std::find(texts.begin(), texts.end(), c.label), texts.end())
            << c.rows << " page " << c.page;
        const auto totals = canvas.findText(c.total);
        const bool onPage = std::any_of(totals.begin(), totals.end(), [&](const auto& e) {
            return e.page == c.page && e.rect.top == 90;
        });
        EXPECT_TRUE(onPage) << c.rows << " page " << c.page << " " << c.total;
    }
}

TEST(ReportBasePages, AnEmptyReportPrintsItsHeadingAndFooterOnly) {
    RecordingUi ui;
    SampleReport report(ui, 0);
    report.layOut();
    const RecordingCanvas canvas = printAll(report);
    EXPECT_EQ(canvas.pagesStarted, 1);
    EXPECT_EQ(pageOf(canvas, "Page 1 of 1"), 1);
    EXPECT_EQ(pageOf(canvas, "1."), 0);
    EXPECT_EQ(pageOf(canvas, "Sample Organisation"), 1);
}

// Footer

TEST(ReportBaseFooter, PageNumberAndReadTimeStandOnTheFooterLine) {
    RecordingUi ui;
    SampleReport report(ui, 25);
    report.layOut();
    const RecordingCanvas canvas = printAll(report);

    struct Case {
        const char* text;
        int page;
        int alignment;
    };
    const Case cases[] = {
        {"Page 1 of 3", 1, align::Right},
        {"Page 2 of 3", 2, align::Right},
        {"Page 3 of 3", 3, align::Right},
    };
    for (const Case& c : cases) {
        const auto found = canvas.findText(c.text);
        ASSERT_EQ(found.size(), 1u) << c.text;
        const auto& e = found.front();
        EXPECT_EQ(e.page, c.page) << c.text;
        EXPECT_DOUBLE_EQ(e.rect.left, 15) << c.text;
        EXPECT_DOUBLE_EQ(e.rect.top, 260) << c.text;
        EXPECT_DOUBLE_EQ(e.rect.width, 180) << c.text;
        EXPECT_NEAR(e.rect.height, kFooterHeight, 1e-9) << c.text;
        EXPECT_EQ(e.flags, c.alignment | align::SingleLine) << c.text;
        EXPECT_EQ(e.font.face, "Arial");
        EXPECT_EQ(e.font.pointSize, 8);
        EXPECT_EQ(e.font.weight, 400);
    }
    const auto stamps = canvas.findText("[Fri, 14 Mar 2025  9:05 AM]");
    ASSERT_EQ(stamps.size(), 3u);
    for (int page = 1; page <= 3; ++page) {
        const auto& e = stamps[static_cast<std::size_t>(page - 1)];
        EXPECT_EQ(e.page, page);
        EXPECT_DOUBLE_EQ(e.rect.left, 15);
        EXPECT_DOUBLE_EQ(e.rect.top, 260);
        EXPECT_EQ(e.flags, align::Left | align::SingleLine);
    }
}

TEST(ReportBaseFooter, ReadStampTexts) {
    struct Case {
        date day;
        int hour, minute;
        const char* dateText;
        const char* timeText;
    };
    // 1 January 2025 was a Wednesday; 14 March is 72 days later (a Friday),
    // 31 December 364 days later (a Wednesday). 1 January 2024 was a
    // Monday; 29 February is 59 days later (a Thursday).
    const Case cases[] = {
        {{2025, 14, 3}, 9, 5, "Fri, 14 Mar 2025", "9:05 AM"},
        {{2025, 31, 12}, 23, 59, "Wed, 31 Dec 2025", "11:59 PM"},
        {{2024, 29, 2}, 0, 0, "Thu, 29 Feb 2024", "12:00 AM"},
        {{2000, 1, 1}, 12, 30, "Sat, 1 Jan 2000", "12:30 PM"},
        {{2025, 1, 7}, 13, 0, "Tue, 1 Jul 2025", "1:00 PM"},
    };
    for (const Case& c : cases) {
        const ReadStamp stamp = ReadStamp::at(c.day, c.hour, c.minute);
        EXPECT_EQ(stamp.dateText, c.dateText);
        EXPECT_EQ(stamp.timeText, c.timeText);
    }
    EXPECT_EQ(readStampText(ReadStamp::at({2025, 14, 3}, 9, 5)), "[Fri, 14 Mar 2025  9:05 AM]");
    EXPECT_EQ(pageOfText(2, 3), "Page 2 of 3");
    EXPECT_FALSE(ReadStamp::now().dateText.empty());
}

// Paging in the preview

TEST(ReportBaseNavigation, MovesStopAtTheEnds) {
    RecordingUi ui;
    SampleReport report(ui, 25);
    report.layOut();
    EXPECT_FALSE(report.previousPage());
    EXPECT_FALSE(report.firstPage());
    EXPECT_TRUE(report.nextPage());
    EXPECT_EQ(report.pageCaption(), "Page 2 of 3");
    EXPECT_TRUE(report.lastPage());
    EXPECT_EQ(report.currentPage(), 3);
    EXPECT_FALSE(report.nextPage());
    EXPECT_FALSE(report.lastPage());
    EXPECT_TRUE(report.previousPage());
    EXPECT_TRUE(report.firstPage());
    EXPECT_EQ(report.currentPage(), 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ReportBaseNavigation, GoToPageNumber) {
    struct Case {
        const char* text;
        bool found;
        int page; // current page afterwards; it starts on 2
    };
    const Case cases[] = {
        {"3", true, 3},  {" 1", true, 1},  {"2x", true, 2},   {"0", false, 2},
        {"4", false, 2}, {"-1", false, 2}, {"abc", false, 2}, {"", false, 2},
    };
    for (const Case& c : cases) {
        RecordingUi ui;
        SampleReport report(ui, 25);
        report.layOut();
        report.nextPage();
        EXPECT_EQ(report.gotoPageNum(c.text), c.found) << c.text;
        EXPECT_EQ(report.currentPage(), c.page) << c.text;
        if (c.found) {
            EXPECT_TRUE(ui.messages.empty()) << c.text;
        } else {
            ASSERT_EQ(ui.messages.size(), 1u) << c.text;
            EXPECT_EQ(ui.messages[0].text, "Page not found.");
            EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
            EXPECT_EQ(ui.messages[0].caption, "Kelo Roster");
        }
    }
}

// The print protocol

TEST(ReportBasePrint, PreviewDrawsTheCurrentPageOnceWithThePaperEdge) {
    RecordingUi ui;
    SampleReport report(ui, 25);
    report.layOut();
    report.nextPage();
    RecordingCanvas canvas;
    PRINTERREC printer;
    printer.preview = 1;
    printer.copies = 4; // a preview ignores copies and range
    EXPECT_TRUE(report.print(canvas, printer));
    EXPECT_EQ(canvas.documentTitles, std::vector<std::string>{"Sample Report"});
    EXPECT_EQ(canvas.pagesStarted, 1);
    EXPECT_EQ(canvas.pagesEnded, 1);
    EXPECT_EQ(canvas.documentsEnded, 1);
    EXPECT_EQ(pageOf(canvas, "Page 2 of 3"), 1);
    EXPECT_EQ(pageOf(canvas, "Employee 11"), 1);

    std::vector<RecordingCanvas::Element> edges;
    for (const auto& e : canvas.elements) {
        if (e.kind == RecordingCanvas::Kind::Line && e.pen.color == Color{211, 211, 211})
            edges.push_back(e);
    }
    ASSERT_EQ(edges.size(), 2u);
    // Down the right edge of the A4 paper, then along its bottom.
    EXPECT_EQ(edges[0].rect.left, 210);
    EXPECT_EQ(edges[0].rect.top, 0);
    EXPECT_EQ(edges[0].rect.width, 0);
    EXPECT_EQ(edges[0].rect.height, 297);
    EXPECT_EQ(edges[1].rect.left, 0);
    EXPECT_EQ(edges[1].rect.top, 297);
    EXPECT_EQ(edges[1].rect.width, 210);
    EXPECT_EQ(edges[1].rect.height, 0);
    EXPECT_EQ(edges[0].pen.style, PenStyle::Solid);
}

TEST(ReportBasePrint, PagesAndCopiesPrinted) {
    struct Case {
        std::int32_t range;
        std::uint32_t from, to;
        std::int32_t copies;
        int current;
        std::vector<std::string> pages; // the footer of each device page in order
    };
    const Case cases[] = {
        {kPrintAllPages, 1, 1, 1, 1, {"Page 1 of 3", "Page 2 of 3", "Page 3 of 3"}},
        {kPrintAllPages,
         1,
         1,
         3,
         1,
         {"Page 1 of 3", "Page 2 of 3", "Page 3 of 3", "Page 1 of 3", "Page 2 of 3", "Page 3 of 3",
          "Page 1 of 3", "Page 2 of 3", "Page 3 of 3"}},
        {kPrintCurrentPage, 1, 1, 2, 3, {"Page 3 of 3", "Page 3 of 3"}},
        {kPrintPageSpan, 2, 3, 1, 1, {"Page 2 of 3", "Page 3 of 3"}},
        {kPrintPageSpan, 2, 2, 2, 1, {"Page 2 of 3", "Page 2 of 3"}},
        {kPrintPageSpan, 5, 6, 1, 1, {}}, // past the last page: an empty document
        {kPrintAllPages, 1, 1, 0, 1, {}},
    };
    for (const Case& c : cases) {
        RecordingUi ui;
        SampleReport report(ui, 25);
        report.layOut();
        report.gotoPageNum(std::to_string(c.current));
        RecordingCanvas canvas;
        PRINTERREC printer;
        printer.pageRange = c.range;
        printer.fromPage = c.from;
        printer.toPage = c.to;
        printer.copies = c.copies;
        EXPECT_TRUE(report.print(canvas, printer));
        EXPECT_EQ(canvas.documentTitles.size(), 1u);
        EXPECT_EQ(canvas.documentsEnded, 1);
        EXPECT_EQ(canvas.pagesStarted, static_cast<int>(c.pages.size()));
        EXPECT_EQ(canvas.pagesEnded, static_cast<int>(c.pages.size()));
        std::vector<std::string> footers;
        for (const auto& e : canvas.elements) {
            if (e.kind == RecordingCanvas::Kind::Text && e.text.rfind("Page ", 0) == 0)
                footers.push_back(e.text);
        }
        EXPECT_EQ(footers, c.pages) << c.range << " " << c.from << "-" << c.to << " x" << c.copies;
        for (const auto& e : canvas.elements)
            EXPECT_NE(e.pen.color, (Color{211, 211, 211})) << "no paper edge on paper";
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST(ReportBasePrint, AnUnusableDeviceAbortsWithTheMessage) {
    RecordingUi ui;
    SampleReport report(ui, 25);
    report.layOut();
    RecordingCanvas canvas;
    canvas.failDocument = true;
    EXPECT_FALSE(report.print(canvas, PRINTERREC{}));
    EXPECT_EQ(canvas.pagesStarted, 0);
    EXPECT_EQ(canvas.documentsEnded, 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Printer Error! Printing aborted.");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[0].caption, "Kelo Roster");
}

} // namespace
} // namespace kelo::common
