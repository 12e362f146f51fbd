#include "ReportFixture.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using testsupport::RecordingCanvas;
using Nums = std::vector<std::string>;

// Both columns' left edges: the left margin, and 72.5 + 30 mm to its right.
constexpr double kLeftColumn = 15;
constexpr double kRightColumn = 117.5;

struct PayslipsTest : ReportFixture {
    // The option values every combination starts from.
    void setOptions(int separator, int duplicate, int employerPension, int pensionBalance,
                    int loanBreakdown, int leaveBalance, int footer, int sortKey) {
        setOption(database::kOptionSeparator, separator);
        setOption(database::kOptionDuplicate, duplicate);
        setOption(database::kOptionEmployerPension, employerPension);
        setOption(database::kOptionPensionBalance, pensionBalance);
        setOption(database::kOptionLoanBreakdown, loanBreakdown);
        setOption(database::kOptionLeaveBalance, leaveBalance);
        setOption(database::kOptionFooter, footer);
        setOption(database::kOptionSortKey, sortKey);
    }

    // MH001 has 10.5 days brought forward and MH002 1.5 earned.
    void fillLeaveBalances() {
        database::LEAVEDB leave(code, folder, ui);
        database::LEAVEROW brought{0, common::date{2025, 1, 3}, database::kBalanceBF, 10.5f};
        database::LEAVEROW earned{0, common::date{2025, 1, 3}, database::kLeaveEarned, 1.5f};
        ASSERT_TRUE(leave.appendRec("MH001", brought));
        ASSERT_TRUE(leave.appendRec("MH002", earned));
        writePeriodFile();
        PERIODDBEX reader(owner, code, folder);
        ASSERT_TRUE(reader.saveLeaveDays(ui, common::MONTHLY, org, false)) << messages();
    }

    // A logo 200 by 50 pixels: the header of a bitmap is all that is read.
    void makeLogo() {
        std::filesystem::create_directories(folder.resolve("graphics"));
        std::string bmp(54, '\0');
        bmp[0] = 'B';
        bmp[1] = 'M';
        bmp[18] = static_cast<char>(200);
        bmp[22] = 50;
        writeBytes(folder.resolve("graphics/logo.bmp"), bmp);
    }

    static RecordingCanvas printAll(TestPayslips& report) {
        RecordingCanvas canvas;
        EXPECT_TRUE(report.print(canvas, common::PRINTERREC{}));
        return canvas;
    }

    // Page and column of each payslip drawn, in drawing order.
    static std::vector<std::string> placements(const RecordingCanvas& canvas) {
        std::vector<std::string> out;
        for (const auto& e : canvas.elements) {
            if (e.kind == RecordingCanvas::Kind::Text && e.text.rfind("Employee No. ", 0) == 0)
                out.push_back(std::to_string(e.page) +
                              (e.rect.left == kLeftColumn ? " L " : " R ") + e.text.substr(13));
        }
        return out;
    }
};

// The export of the worked payroll with the options a new organisation has.
// MH001 Mwakyusa, salaried for the whole month: basic pay on one line; ten
// hours of normal overtime at 7,500 = 75,000; transport 100,000; gross
// 1,175,000. Deductions: PAYE 147,050, NSSF 117,500, the staff loan of
// 100,000 split into 94,000 principal and 6,000 interest, Walimu 20,000,
// PSSSF 50,000, CRDB 30,000, savings 10,000, uniform 15,000 = 489,550. Lump
// sum 200,000 less 20,000 tax = 180,000; refund 5,000. Net 1,175,000 -
// 489,550 + 180,000 + 5,000 = 870,450. PAYE: 1,175,000 + 6,000 low interest
// benefit + 50,000 motor vehicle = 1,231,000, less 167,500 pension and NSSF
// relief = 1,063,500 taxable. Balances: Walimu 200,000, PSSSF employee
// 450,000, loan 1,106,000, savings 110,500; no leave balance (0).
// MH002 Banda, daily rate 20,000 less 2 days absent of 176 / 8 = 22: 400,000;
// casual hours 12.5 at 2,500.50 (shown 2,501) = 31,256; gross 431,256.
// Deductions PAYE 13,450 + NSSF 43,125 + rent 10,000 + overdraft recovery
// 5,000 + rounding 81 = 71,656; rounding brought forward 400; net 360,000.
// PAYE: 431,256 + housing 50,000 = 481,256 less 43,125 = 438,131.
// MH003 Kileo, 150.5 hours at 1,250.75 (shown 1,251) = 188,238, all net.
TEST_F(PayslipsTest, TheExportWithTheDefaultOptions) {
    const auto report = payslips();
    ASSERT_TRUE(report) << messages();
    const PayslipOptions& o = report->options();
    EXPECT_TRUE(o.separator && o.pensionBalance && o.loanBreakdown && o.leaveBalance);
    EXPECT_FALSE(o.duplicate || o.employerPension);
    EXPECT_EQ(o.footer, 2);
    EXPECT_EQ(report->caption(), "Payslips");
    expectGoldenFile(*report->exportText(), "payslips_default.txt");
}

// Every option set, sorted by name: the employer's contribution of 50,000 is
// shown and the PSSSF balance is 450,000 + 450,000 = 900,000; leave days
// 10.50 and 1.50.
TEST_F(PayslipsTest, TheExportWithEveryOption) {
    setOptions(1, 1, 1, 1, 1, 1, 3, 1);
    fillLeaveBalances();
    const auto report = payslips();
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(empNums(*report), (Nums{"MH002", "MH003", "MH001"}));
    expectGoldenFile(*report->exportText(), "payslips_every_option.txt");
}

// No option: the loan is one line, no pension line, no leave days even
// when there is a balance.
TEST_F(PayslipsTest, TheExportWithNoOption) {
    setOptions(0, 0, 0, 0, 0, 0, 0, 0);
    fillLeaveBalances();
    const auto report = payslips();
    ASSERT_TRUE(report) << messages();
    expectGoldenFile(*report->exportText(), "payslips_no_option.txt");
}

// The first page laid out: both payslips with the logo, the separator, the
// "Received by:" block and the footer; a change of layout shows here.
TEST_F(PayslipsTest, TheFirstPageLaidOut) {
    makeLogo();
    const auto report = payslips();
    ASSERT_TRUE(report && report->hasLogo());
    EXPECT_DOUBLE_EQ(report->logoWidth(), 40);
    EXPECT_DOUBLE_EQ(report->logoHeight(), 10);
    RecordingCanvas canvas;
    canvas.beginPage();
    report->drawPage(canvas, 1);
    expectGoldenFile(canvasListing(canvas), "payslips_page1.txt");

    // Spot checks of the listing: the logo centred in the left column, the
    // dotted line in the middle of the gap from the top margin to the
    // bottom of the printable area, the footer 255 mm below the margin.
    const auto image =
        std::find_if(canvas.elements.begin(), canvas.elements.end(),
                     [](const auto& e) { return e.kind == RecordingCanvas::Kind::Image; });
    ASSERT_NE(image, canvas.elements.end());
    EXPECT_DOUBLE_EQ(image->rect.left, 15 + (72.5 - 40) / 2);
    EXPECT_DOUBLE_EQ(image->rect.top, 13);
    const auto& separator = canvas.elements.front();
    EXPECT_EQ(separator.kind, RecordingCanvas::Kind::Line);
    EXPECT_EQ(separator.pen.style, common::PenStyle::Dot);
    EXPECT_DOUBLE_EQ(separator.rect.left, 102.5);
    EXPECT_DOUBLE_EQ(separator.rect.top, 13);
    EXPECT_DOUBLE_EQ(separator.rect.height, 255);
    EXPECT_DOUBLE_EQ(canvas.findText("Page 1 of 2").front().rect.top, 268);
    // The organisation's name is 23 mm down on both sides: 13 + 10 of logo.
    const auto names = canvas.findText("Kilimo Traders Ltd");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_DOUBLE_EQ(names[0].rect.top, 23);
    EXPECT_DOUBLE_EQ(names[1].rect.left, kRightColumn);
}

TEST_F(PayslipsTest, WithoutALogoFileTheLogoIsLeftOut) {
    const auto report = payslips();
    EXPECT_FALSE(report->hasLogo());
    RecordingCanvas canvas = printAll(*report);
    for (const auto& e : canvas.elements)
        EXPECT_NE(e.kind, RecordingCanvas::Kind::Image);
    EXPECT_DOUBLE_EQ(canvas.findText("Kilimo Traders Ltd").front().rect.top, 13);
}

TEST_F(PayslipsTest, TwoToAPageOddNumbersOnTheLeft) {
    struct Case {
        std::int32_t groupBy;
        const char* group;
        int duplicate;
        int pages;
        Nums placed;
    };
    const Case cases[] = {
        {common::kGroupByUnit, "Finance", 0, 1, {"1 L MH001"}},                  // one employee
        {common::kGroupByUnit, "Head Office", 0, 1, {"1 L MH001", "1 R MH002"}}, // exactly a page
        {0, "", 0, 2, {"1 L MH001", "1 R MH002", "2 L MH003"}},                  // an odd count
        {common::kGroupByUnit, "Finance", 1, 1, {"1 L MH001", "1 R MH001"}},
        {0,
         "",
         1,
         3,
         {"1 L MH001", "1 R MH001", "2 L MH002", "2 R MH002", "3 L MH003", "3 R MH003"}},
    };
    for (const Case& c : cases) {
        setOption(database::kOptionDuplicate, c.duplicate);
        const auto report = payslips(selection(c.groupBy, c.group));
        ASSERT_TRUE(report) << c.group << messages();
        EXPECT_EQ(report->pageCount(), c.pages) << c.group << " " << c.duplicate;
        EXPECT_EQ(placements(printAll(*report)), c.placed) << c.group << " " << c.duplicate;
    }
}

TEST_F(PayslipsTest, TenEmployeesMakeFivePagesOrTenInDuplicate) {
    for (int n = 6; n <= 12; ++n)
        addEmployee("MH0" + std::to_string(n + 10), "Staff", std::to_string(n));
    writePeriodFile();
    auto report = payslips();
    ASSERT_EQ(report->records().size(), 10u);
    EXPECT_EQ(report->pageCount(), 5);
    const Nums placed = placements(printAll(*report));
    EXPECT_EQ(placed[8], "5 L MH021");
    EXPECT_EQ(placed[9], "5 R MH022");
    setOption(database::kOptionDuplicate, 1);
    report = payslips();
    EXPECT_EQ(report->pageCount(), 10);
    EXPECT_EQ(report->pageCaption(), "Page 1 of 10");
}

TEST_F(PayslipsTest, TheFooterOptionChoosesTheBlocks) {
    struct Case {
        int footer;
        int duplicate;
        int checked, received; // how many copies of each block page 1 has
        double receivedTop;    // where "Received by:" starts after the last line
    };
    // Each block title is 1.2 lines of 10 points high, each field 2 lines:
    // "Checked by:" takes 1.2 x 4.2333 + 4 x 8.4667 = 38.947 mm.
    const double em = 10 * 25.4 / 72;
    const double checkedBlock = 1.44 * em + 4 * 2.4 * em;
    const Case cases[] = {
        {0, 0, 0, 0, 0},                    //
        {1, 0, 2, 0, 0},                    //
        {2, 0, 0, 2, 8},                    // the only block: 8 mm down
        {3, 0, 2, 2, 8 + checkedBlock + 4}, // after the first: 4 mm
        {3, 1, 1, 1, 8 + checkedBlock + 4}, // in the left copy only
    };
    for (const Case& c : cases) {
        setOption(database::kOptionFooter, c.footer);
        setOption(database::kOptionDuplicate, c.duplicate);
        const auto report = payslips();
        const RecordingCanvas canvas = printAll(*report);
        std::vector<RecordingCanvas::Element> checked, received;
        for (const auto& e : canvas.findText("Checked by:"))
            if (e.page == 1)
                checked.push_back(e);
        for (const auto& e : canvas.findText("Received by:"))
            if (e.page == 1)
                received.push_back(e);
        EXPECT_EQ(checked.size(), static_cast<std::size_t>(c.checked)) << c.footer;
        ASSERT_EQ(received.size(), static_cast<std::size_t>(c.received)) << c.footer;
        if (!checked.empty()) {
            EXPECT_EQ(checked[0].rect.left, kLeftColumn) << c.footer;
        }
        if (c.received == 0)
            continue;
        EXPECT_EQ(received[0].rect.left, kLeftColumn);
        // MH001 is pressed to fit (see below); MH003's short payslip shows
        // the spacing as it is, below its last line "Net Pay".
        const int page = canvas.findText("Employee No. MH003").front().page;
        const auto onPage = [&](const std::string& text) {
            for (const auto& e : canvas.findText(text))
                if (e.page == page && e.rect.left == kLeftColumn)
                    return e;
            ADD_FAILURE() << text << " not on page " << page;
            return RecordingCanvas::Element{};
        };
        EXPECT_NEAR(onPage("Received by:").rect.top,
                    onPage("Net Pay").rect.bottom() + c.receivedTop, 1e-9)
            << c.footer;
        EXPECT_TRUE(canvas.findText("ID NUMBER:" + std::string(90, '.')).size() > 0);
    }
}

TEST_F(PayslipsTest, WithoutTheSeparatorNoLineIsDrawnBetweenThePayslips) {
    setOption(database::kOptionSeparator, 0);
    const RecordingCanvas canvas = printAll(*payslips());
    for (const auto& e : canvas.elements)
        EXPECT_FALSE(e.kind == RecordingCanvas::Kind::Line && e.pen.style == common::PenStyle::Dot);
}

// The longest payslip of the worked payroll, with the logo, every line the
// options add and both signature blocks, would run past the footer line at
// 268 mm; it is pressed together to end above it, in the same order.
TEST_F(PayslipsTest, ALongPayslipIsPressedAboveTheFooterLine) {
    makeLogo();
    fillLeaveBalances();
    setOptions(1, 0, 1, 1, 1, 1, 3, 0);
    const auto report = payslips();
    const RecordingCanvas canvas = printAll(*report);
    double lowest = 0;
    for (const auto& e : canvas.elements)
        if (e.page == 1 && e.kind == RecordingCanvas::Kind::Text && e.rect.left == kLeftColumn &&
            e.text.rfind("Page ", 0) != 0 && e.text.front() != '[')
            lowest = std::max(lowest, e.rect.bottom());
    EXPECT_LE(lowest, 268.0 + 1e-9);
    const auto checked = canvas.findText("Checked by:");
    const auto received = canvas.findText("Received by:");
    ASSERT_FALSE(checked.empty());
    ASSERT_FALSE(received.empty());
    EXPECT_LT(canvas.findText("Staff Savings Balance").front().rect.bottom(),
              checked.front().rect.top);
    EXPECT_LT(checked.front().rect.top, received.front().rect.top);
    // The signature lines were pressed from two lines of 10 points, but
    // keep room to write on: at least one and a half.
    const double em = 10 * 25.4 / 72;
    std::vector<double> heights;
    for (const auto& e : canvas.findText("DATE:" + std::string(90, '.')))
        if (e.page == 1 && e.rect.left == kLeftColumn)
            heights.push_back(e.rect.height);
    ASSERT_EQ(heights.size(), 2u);
    for (double height : heights) {
        EXPECT_LT(height, 2 * em - 0.1);
        EXPECT_GE(height, 1.5 * em - 1e-9);
    }
}

// Each employee's own file: one payslip to a page, named by his number;
// the usual pages come back with layOut().
TEST_F(PayslipsTest, EachEmployeeOnPagesOfHisOwn) {
    for (int duplicate : {0, 1}) {
        setOption(database::kOptionDuplicate, duplicate);
        const auto report = payslips();
        const std::vector<common::PagePart> parts = report->layOutPerEmployee();
        const std::vector<common::PagePart> expected = {
            {"MH001", 1, 1}, {"MH002", 2, 2}, {"MH003", 3, 3}};
        EXPECT_EQ(parts, expected) << duplicate;
        EXPECT_EQ(report->pageCount(), 3);
        const Nums placed = placements(printAll(*report));
        const Nums alone = {"1 L MH001", "2 L MH002", "3 L MH003"};
        const Nums twice = {"1 L MH001", "1 R MH001", "2 L MH002",
                            "2 R MH002", "3 L MH003", "3 R MH003"};
        EXPECT_EQ(placed, duplicate ? twice : alone);
        report->layOut();
        EXPECT_EQ(report->pageCount(), duplicate ? 3 : 2);
    }
}

} // namespace
} // namespace kelo::payrunreports::testing
