#include "dataexchange/ImportCommands.h"

#include "staffrecords/tests/StatFrmFixture.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kelo::dataexchange {
namespace {

using common::Answer;
using common::MessageIcon;

constexpr const char* kHeader = "Employee Number,Last Name,Other Names,Unit,Job,Station,"
                                "Pay Frequency,Pay Basis,Salary,Hours per Day,Hours per Month,"
                                "Start Date\r\n";
constexpr const char* kMushi =
    "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,01/03/2025\r\n";
constexpr const char* kBadDate =
    "MH011,Temba,Joseph,Head Office,Clerk,Mbeya,Monthly,Salary,250000,8,195,2025-13-01\r\n";

TEST(RefusalMessage, ListsTheFirstRefusalsAndCountsTheRest) {
    ImportPreview one;
    one.rows = 2;
    one.refusals = {{3, "Start Date", "\"2025-13-01\" is not a date (dd/mm/yyyy)."}};
    EXPECT_EQ(refusalMessage(one),
              "1 problem was found in the file, so nothing has been imported:\n\n"
              "Row 3, Start Date: \"2025-13-01\" is not a date (dd/mm/yyyy).\n\n"
              "Correct the file and import it again.");
    ImportPreview many;
    many.rows = 17;
    for (long row = 2; row <= 18; ++row)
        many.refusals.push_back({row, "", "Bad."});
    const std::string text = refusalMessage(many);
    EXPECT_EQ(text.rfind("17 problems were found in the file", 0), 0u);
    EXPECT_NE(text.find("\nRow 16: Bad.\n... and 2 more.\n\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Row 17:"), std::string::npos);
}

struct ImportCommandsTest : staffrecords::testing::StatFrmFixture {
    void SetUp() override {
        StatFrmFixture::SetUp();
        if (HasFatalFailure())
            return;
        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.openFile());
        ASSERT_TRUE(posts.appendRecord(
            {staffrecords::testing::kHeadOffice, staffrecords::testing::kClerk, {3, 0, 0, 0}}));
        posts.closeFile();
        ui.clear();
    }

    std::string writeCsv(const std::string& bytes) {
        const std::string path = dir.file("new-staff.csv");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(ImportCommandsTest, ImportsAfterTheClerksYes) {
    const std::string path = writeCsv(std::string(kHeader) + kMushi);
    const long before = employeeCount();
    ui.choices.push_back(path);
    ui.answers.push_back(Answer::Yes);
    EXPECT_TRUE(importEmployeesFromFile(ui, code, folder, org));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Import 1 employee from " + path + "?");
    EXPECT_EQ(ui.messages[0].defaultAnswer, Answer::No);
    EXPECT_EQ(ui.messages[1].text, "1 employee was imported.");
    EXPECT_EQ(employeeCount(), before + 1);
    EXPECT_EQ(ui.fileChoices.at(0).filter, "CSV Files (*.csv)");
}

TEST_F(ImportCommandsTest, NoOrARefusedRowOrCancelImportsNothing) {
    const long before = employeeCount();
    // No to the question.
    ui.choices.push_back(writeCsv(std::string(kHeader) + kMushi));
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(importEmployeesFromFile(ui, code, folder, org));
    // A refused row: the whole file stays out, the list says why.
    ui.clear();
    ui.choices.push_back(writeCsv(std::string(kHeader) + kMushi + kBadDate));
    EXPECT_FALSE(importEmployeesFromFile(ui, code, folder, org));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
    EXPECT_NE(
        ui.messages[0].text.find("Row 3, Start Date: \"2025-13-01\" is not a date (dd/mm/yyyy)."),
        std::string::npos)
        << ui.messages[0].text;
    // Cancel at the file and a file that is not there.
    ui.clear();
    ui.choices.push_back(std::nullopt);
    EXPECT_FALSE(importEmployeesFromFile(ui, code, folder, org));
    EXPECT_TRUE(ui.messages.empty());
    ui.choices.push_back(dir.file("missing.csv"));
    EXPECT_FALSE(importEmployeesFromFile(ui, code, folder, org));
    EXPECT_EQ(ui.lastMessage(), "Can't open " + dir.file("missing.csv"));
    EXPECT_EQ(employeeCount(), before);
}

TEST_F(ImportCommandsTest, ExportWritesTheListOrTellsWhyNot) {
    const std::string path = dir.file("staff.csv");
    ui.choices.push_back(path);
    ASSERT_TRUE(exportEmployeesToFile(ui, code, folder)) << ui.lastMessage();
    std::ifstream in(path, std::ios::binary);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first.rfind("\xEF\xBB\xBF"
                          "Employee Number,",
                          0),
              0u)
        << first;
    EXPECT_EQ(ui.fileChoices.at(0).fileName, "employees.csv");
    const std::string missing = dir.file("no-such-folder/staff.csv");
    ui.choices.push_back(missing);
    EXPECT_FALSE(exportEmployeesToFile(ui, code, folder));
    EXPECT_EQ(ui.lastMessage(), "Can't save to " + missing);
}

} // namespace
} // namespace kelo::dataexchange
