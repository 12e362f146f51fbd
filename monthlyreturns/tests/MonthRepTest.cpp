#include "MonthFixture.h"
#include "database/WcfDb.h"
#include "monthlyreturns/MonthControl.h"
#include "monthlyreturns/MonthMuster.h"
#include "testsupport/RecordingCanvas.h"

#include <cstdio>

namespace kelo::monthlyreturns::testing {
namespace {

using testsupport::RecordingCanvas;

struct MonthRepTest : MonthFixture {};

// Every element of the page as a line: kind, rectangle, then the text with
// its font or the line.
std::string listing(const RecordingCanvas& canvas) {
    using Kind = RecordingCanvas::Kind;
    std::string out;
    char buffer[512];
    for (const auto& e : canvas.elements) {
        std::snprintf(buffer, sizeof buffer, "%-4s %7.2f %7.2f %7.2f %7.2f",
                      e.kind == Kind::Text ? "text" : "line", e.rect.left, e.rect.top, e.rect.width,
                      e.rect.height);
        out += buffer;
        if (e.kind == Kind::Text) {
            std::snprintf(buffer, sizeof buffer, "  %s %.0f %d flags %d  \"", e.font.face.c_str(),
                          e.font.pointSize, e.font.weight, e.flags);
            out += buffer + e.text + "\"";
        }
        out += "\n";
    }
    return out;
}

struct Golden {
    std::int32_t code;
    int month;
    const char* text;
    const char* csv;
};

TEST_F(MonthRepTest, TextAndCsvExports) {
    for (const Golden& g : std::vector<Golden>{
             {common::kReportPayeReturn, 2, "paye-feb.txt", "paye-feb.csv"},
             {common::kReportNssfReturn, 2, "nssf-feb.txt", "nssf-feb.csv"},
             {common::kReportSdlReturn, 2, "sdl-feb.txt", "sdl-feb.csv"},
             {common::kReportPayeReturn, 3, "paye-mar.txt", "paye-mar.csv"},
             {common::kReportNssfReturn, 3, "nssf-mar.txt", "nssf-mar.csv"},
             {common::kReportSdlReturn, 3, "sdl-mar.txt", "sdl-mar.csv"},
             {kReportWcfReturn, 2, "wcf-feb.txt", "wcf-feb.csv"},
             {common::kReportMonthControlAccount, 2, "control-feb.txt", "control-feb.csv"},
             {common::kReportMonthMusterRoll, 2, "muster-feb.txt", "muster-feb.csv"}}) {
        SCOPED_TRACE(g.text);
        const auto report = open(g.code, g.month);
        ASSERT_TRUE(report) << messages();
        const std::optional<std::string> text = report->exportText();
        ASSERT_TRUE(text);
        expectGoldenFile(*text, g.text);
        const std::optional<std::string> csv = report->exportCsv();
        ASSERT_TRUE(csv);
        expectGoldenFile(*csv, g.csv);
    }
}

TEST_F(MonthRepTest, CaptionsAndPaper) {
    struct Case {
        std::int32_t code;
        const char* caption;
        common::Orientation orientation;
    };
    for (const Case& c : std::vector<Case>{
             {common::kReportPayeReturn, "PAYE Monthly Return", common::Orientation::Landscape},
             {common::kReportNssfReturn, "NSSF Monthly Contribution Schedule",
              common::Orientation::Landscape},
             {common::kReportSdlReturn, "SDL Monthly Return", common::Orientation::Portrait},
             {kReportWcfReturn, "WCF Monthly Return", common::Orientation::Landscape},
             {common::kReportMonthControlAccount, "Payroll Control Account",
              common::Orientation::Portrait},
             {common::kReportMonthMusterRoll, "Payroll Muster Roll",
              common::Orientation::Landscape}}) {
        const auto report = open(c.code, 2);
        ASSERT_TRUE(report) << messages();
        EXPECT_EQ(report->caption(), c.caption);
        EXPECT_EQ(report->orientation(), c.orientation) << c.caption;
    }
    EXPECT_FALSE(newMonthReturn(ui, code, folder, param(common::kReportPayslips, 2)));
}

TEST_F(MonthRepTest, TheNumbersMissingAreMarkedAndListed) {
    const auto paye = open(common::kReportPayeReturn, 2);
    ASSERT_TRUE(paye) << messages();
    EXPECT_EQ(paye->missingNumbers(),
              (std::vector<std::string>{
                  "Numbers missing from the employees' records, to be filled in before filing:",
                  "M002  Banda, Grace: T.I.N., national ID number",
                  "W002  Njau, Rehema Anna: NSSF number"}));
    // Kileo is no NSSF member: his empty number is no fault.
    const common::ReportRow& kileo = paye->rows().at(1);
    EXPECT_EQ(kileo.cells.at(1), "Kileo, Ali");
    EXPECT_EQ(kileo.cells.at(4), "");
    const auto nssf = open(common::kReportNssfReturn, 2);
    ASSERT_TRUE(nssf) << messages();
    EXPECT_EQ(nssf->missingNumbers().size(), 2u);
    EXPECT_EQ(nssf->rows().size(), 3u);
    const auto sdl = open(common::kReportSdlReturn, 2);
    ASSERT_TRUE(sdl) << messages();
    EXPECT_TRUE(sdl->missingNumbers().empty());
}

// 0.5 % of February's gross emoluments of 2,062,503 is 10,312.515.
TEST_F(MonthRepTest, TheWcfLevyIsTheRateOfTheMonthsGrossRoundedDown) {
    const auto report = open(kReportWcfReturn, 2);
    ASSERT_TRUE(report) << messages();
    const auto& wcf = dynamic_cast<const WCFREP&>(*report);
    EXPECT_EQ(wcf.grossEmoluments(), 2062503);
    EXPECT_EQ(wcf.rate(), 0.5);
    EXPECT_EQ(wcf.levy(), 10312);
    EXPECT_EQ(report->rows().at(0).cells.at(2), "Female");
}

TEST_F(MonthRepTest, TheWcfRateComesFromTheYearsTableWhenThereIsOne) {
    database::WCFDB table(code, folder);
    EXPECT_EQ(table.rateOf(2024), 0.5); // the year's folder has no WCF table yet
    // The year's table edited as the WCF Rate dialog stores it.
    ASSERT_TRUE(table.newFile(ui, "../system/2023", 2024));
    ASSERT_TRUE(table.openFile(2024, true));
    ASSERT_TRUE(table.updateRec({1.25f}));
    table.closeFile();
    EXPECT_EQ(table.rateOf(2024), 1.25);
    EXPECT_EQ(table.rateOf(2023), 0.5);
    // A period closed now carries the year's rate.
    org.month = "May";
    closePeriod(common::MONTHLY, {kSalim});
    org.month = "June";
    const auto report = open(kReportWcfReturn, 5);
    ASSERT_TRUE(report) << messages();
    const auto& wcf = dynamic_cast<const WCFREP&>(*report);
    EXPECT_EQ(wcf.rate(), 1.25);
    EXPECT_EQ(wcf.levy(), 3750); // 1.25 % of 300,000
}

// February's pay, by hand: basic 1,900,000 and allowances 162,503 make
// 2,062,503, which goes to PAYE 132,700, NSSF 176,250 and net pay
// 1,753,553.
TEST_F(MonthRepTest, TheMonthsControlAccountSumsEveryPeriodFile) {
    const auto report = open(common::kReportMonthControlAccount, 2);
    ASSERT_TRUE(report) << messages();
    const auto& total = dynamic_cast<const MONTHCONTROLACREP&>(*report).total();
    EXPECT_EQ(total.basicPay, 1900000);
    ASSERT_EQ(total.itemsOf(common::EARNINGS).size(), 1u);
    EXPECT_EQ(total.itemsOf(common::EARNINGS)[0].amount, 162503);
    EXPECT_EQ(total.totalPay, 2062503);
    EXPECT_EQ(total.paye, 132700);
    EXPECT_EQ(total.nssfEmployee, 176250);
    EXPECT_EQ(total.netPay, 1753553);
    EXPECT_EQ(total.totalDeductions + total.netPay, total.totalPay);
}

TEST_F(MonthRepTest, AControlAccountWhosePeriodFileIsGoneSaysWhich) {
    std::filesystem::remove(folder.resolve("2025/wk0221.dbf"));
    EXPECT_FALSE(open(common::kReportMonthControlAccount, 2));
    ASSERT_EQ(ui.messages.size(), 1u) << messages();
    EXPECT_EQ(ui.messages[0].text, "Can't find \"" + folder.resolve("2025/wk0221.dbf") + "\"");
}

TEST(MergeMusterColumnsTest, NewHeadingsStandAfterTheOnesTheyFollow) {
    using payrunreports::MusterColumn;
    const auto headings = [](const std::vector<MusterColumn>& columns) {
        std::string out;
        for (const MusterColumn& c : columns)
            out += c.heading + (c.always ? "*" : "") + " ";
        return out;
    };
    std::vector<MusterColumn> month;
    mergeMusterColumns(month, {{"Basic Pay", true}, {"Transport"}, {"Gross Pay", true}});
    mergeMusterColumns(month, {{"Basic Pay", true},
                               {"Shift Bonus"},
                               {"Gross Pay", true},
                               {"Canteen"},
                               {"Net Pay", true}});
    mergeMusterColumns(month, {{"Transport", true}, {"Housing"}});
    EXPECT_EQ(headings(month),
              "Basic Pay* Shift Bonus Transport* Housing Gross Pay* Canteen Net Pay* ");
}

// Njau's two weeks of February added up: 100,000 basic and 25,000 then
// 37,503 allowance; Kileo's 150,000 twice.
TEST_F(MonthRepTest, TheMonthsMusterRollAddsEachEmployeesPeriodsUp) {
    const auto report = open(common::kReportMonthMusterRoll, 2);
    ASSERT_TRUE(report) << messages();
    const auto& roll = dynamic_cast<const MONTHMUSTERROLL&>(*report);
    ASSERT_EQ(roll.lines().size(), 4u);
    const auto amount = [&](std::size_t line, const std::string& heading) {
        const auto& columns = roll.musterColumns();
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (columns[c].heading == heading)
                return roll.lines()[line].amounts[c];
        ADD_FAILURE() << heading;
        return -1.0;
    };
    EXPECT_EQ(roll.lines()[1].empNum, "W001");
    EXPECT_EQ(amount(1, "Basic Pay"), 300000);
    EXPECT_EQ(roll.lines()[3].empNum, "W002");
    EXPECT_EQ(amount(3, "Basic Pay"), 200000);
    EXPECT_EQ(amount(3, "Transport Allowance"), 62503);
    EXPECT_EQ(amount(3, "NSSF"), 26250);
    EXPECT_EQ(amount(3, "Net Pay"), 236253);
}

TEST_F(MonthRepTest, ThePayeReturnPage) {
    const auto report = open(common::kReportPayeReturn, 2);
    ASSERT_TRUE(report) << messages();
    ASSERT_EQ(report->pageCount(), 1);
    RecordingCanvas canvas(297, 210);
    common::PRINTERREC printer;
    printer.preview = 1;
    EXPECT_TRUE(report->print(canvas, printer));
    expectGoldenFile(listing(canvas), "paye-feb-page.txt");
}

TEST_F(MonthRepTest, ManyEmployeesCarryTheirTotalsOver) {
    org.month = "May";
    std::vector<Pay> pays;
    std::vector<std::string> numbers(40);
    for (int i = 0; i < 40; ++i) {
        numbers[static_cast<std::size_t>(i)] = (i < 10 ? "E00" : "E0") + std::to_string(i);
        pays.push_back(kSalim);
        pays.back().empNum = numbers[static_cast<std::size_t>(i)].c_str();
    }
    closePeriod(common::MONTHLY, pays);
    org.month = "June";
    const auto report = open(common::kReportPayeReturn, 5);
    ASSERT_TRUE(report) << messages();
    // 18 rows to a page.
    EXPECT_EQ(report->pageCount(), 3);
    EXPECT_EQ(report->totalsThrough(1).at(5), 18 * 300000.0);
    EXPECT_EQ(report->totalsThrough(3).at(5), 40 * 300000.0);
    RecordingCanvas canvas(297, 210);
    common::PRINTERREC printer;
    printer.pageRange = 0;
    EXPECT_TRUE(report->print(canvas, printer));
    EXPECT_EQ(canvas.findText("Total C/F").size(), 2u);
    EXPECT_EQ(canvas.findText("Grand Total").size(), 1u);
}

} // namespace
} // namespace kelo::monthlyreturns::testing
