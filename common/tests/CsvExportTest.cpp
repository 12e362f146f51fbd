#include "common/CsvExport.h"

#include "common/ReportBase.h"
#include "common/WorkingFolder.h"
#include "common/tests/SampleReport.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace kelo::common {
namespace {

using namespace reporttest;
using testsupport::RecordingUi;
using testsupport::TempDir;

const std::string kBom = "\xEF\xBB\xBF";

TEST(CsvExport, PlainAmounts) {
    struct Case {
        double amount;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {1234567, "1234567"},
        {2500.5, "2500.50"},
        {-45, "-45"},
        {0.1 + 0.2, "0.30"},
        {-0.001, "0"},
        {999.995, "1000"},
        {12.34, "12.34"},
        {36000, "36000"},
        {1e9, "1000000000"},
        {-1234.56, "-1234.56"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plainAmount(c.amount), c.text) << c.amount;
}

TEST(CsvExport, FieldsAreQuotedOnlyWhenTheyMustBe) {
    CsvExport out;
    out.row({"plain", "Mwangi, Zoë", "6\" ruler", "two\nlines", ""});
    out.row({});
    EXPECT_EQ(out.bytes(), kBom + "plain,\"Mwangi, Zoë\",\"6\"\" ruler\",\"two\nlines\",\r\n\r\n");
}

TEST(CsvExport, HeadingsOnOneLine) {
    EXPECT_EQ(oneLineHeading("Employee\nNumber"), "Employee Number");
    EXPECT_EQ(oneLineHeading("\nInterest"), "Interest");
    EXPECT_EQ(oneLineHeading("Payment:\nPrincipal"), "Payment: Principal");
    EXPECT_EQ(oneLineHeading("Net Pay"), "Net Pay");
}

// The sample's rows: "1." to "3.", "E001" to "E003", names, 1,000 x i.
TEST(CsvExport, AReportsVisibleColumnsWithPlainFigures) {
    RecordingUi ui;
    SampleReport report(ui, 3);
    report.layOut();
    EXPECT_EQ(report.exportCsv(), kBom + ",Employee Number,Name,Amount\r\n"
                                         "1.,E001,Employee 1,1000\r\n"
                                         "2.,E002,Employee 2,2000\r\n"
                                         "3.,E003,\"Mwangi, Zoë\",3000\r\n");
    report.hideColumn(1);
    EXPECT_EQ(report.exportCsv(), kBom + ",Name,Amount\r\n"
                                         "1.,Employee 1,1000\r\n"
                                         "2.,Employee 2,2000\r\n"
                                         "3.,\"Mwangi, Zoë\",3000\r\n");
    PlainReport plain(ui);
    plain.layOut();
    EXPECT_FALSE(plain.exportCsv());
}

TEST(CsvExport, SavingAsksForACsvFileAndReportsAFailure) {
    TempDir dir;
    const WorkingFolder folder(dir.path());
    RecordingUi ui;
    SampleReport report(ui, 2);
    report.layOut();
    ui.choices.push_back(dir.file("march.csv"));
    EXPECT_TRUE(report.saveAsCsv(folder));
    ASSERT_EQ(ui.fileChoices.size(), 1u);
    EXPECT_EQ(ui.fileChoices[0].filter, "CSV Files (*.csv)");
    EXPECT_EQ(ui.fileChoices[0].defaultExtension, "csv");
    EXPECT_EQ(ui.fileChoices[0].initialFolder, dir.path() + "/exports");
    EXPECT_TRUE(ui.fileChoices[0].overwritePrompt);
    std::ifstream in(dir.file("march.csv"), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bytes, *report.exportCsv());
    EXPECT_TRUE(ui.messages.empty());

    ui.choices.push_back(std::nullopt);
    EXPECT_FALSE(report.saveAsCsv(folder));
    EXPECT_TRUE(ui.messages.empty());

    const std::string path = dir.file("missing/march.csv");
    ui.choices.push_back(path);
    EXPECT_FALSE(report.saveAsCsv(folder));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Can't save to " + path);
    EXPECT_EQ(ui.waitDepth, 0);
}

} // namespace
} // namespace kelo::common
