#include "BankFileFixture.h"

#include <filesystem>

namespace kelo::payrunreports::testing {
namespace {

namespace fs = std::filesystem;

TEST(BankFileClasses, FollowTheReportCode) {
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    common::REPORTPARAM param;
    param.reportType = common::kReportStandardCharteredFile;
    EXPECT_TRUE(dynamic_cast<SCBCSV*>(newBankFile(ui, code, folder, param).get()));
    param.reportType = common::kReportBarclaysFile;
    EXPECT_TRUE(dynamic_cast<BARCLAYS*>(newBankFile(ui, code, folder, param).get()));
    param.reportType = common::kReportCitibankFile;
    EXPECT_TRUE(dynamic_cast<CITIDIR*>(newBankFile(ui, code, folder, param).get()));
    param.reportType = common::kReportStanbicFile;
    EXPECT_TRUE(dynamic_cast<STANBIC*>(newBankFile(ui, code, folder, param).get()));
    param.reportType = common::kReportBankTransfer;
    EXPECT_FALSE(newBankFile(ui, code, folder, param));
}

// The period file is stale: the three employees came after it was written.
struct BankTransferRun : BankFileFixture {
    int fileNumbers = 0;
    std::vector<std::string> calls;

    bool run(std::int32_t reportType, const std::string& fieldName = "Net Pay") {
        return saveBankTransferFile(ui, code, folder, bankParam(reportType, fieldName), org, [&] {
            ++fileNumbers;
            calls.push_back("number " + std::to_string(ui.fileChoices.size()));
        });
    }
};

TEST_F(BankTransferRun, WritesTheStalePeriodFileAgainOrdersByNameAndSaves) {
    const std::string path = exportPath("stanbic.csv");
    ui.choices.push_back(path);
    EXPECT_TRUE(run(common::kReportStanbicFile)) << messages();
    expectGoldenFile(bytesOf(path), "bank_stanbic.csv");
    EXPECT_EQ(fileNumbers, 1);
    EXPECT_EQ(ui.lastMessage(), "Bank transfer file saved");
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_GE(ui.waitCount, 1);
}

TEST_F(BankTransferRun, TheFileNumberMovesBeforeTheSaveWhateverTheSaveDoes) {
    EXPECT_FALSE(run(common::kReportCitibankFile));
    EXPECT_EQ(calls, std::vector<std::string>{"number 0"});
    EXPECT_EQ(ui.fileChoices.size(), 1u);

    org.accountNum.clear();
    EXPECT_FALSE(run(common::kReportBarclaysFile));
    EXPECT_EQ(fileNumbers, 2);
    EXPECT_EQ(ui.lastMessage(),
              "Invalid account number for Kilimo Traders Ltd. Bank transfer file not saved.");
}

TEST_F(BankTransferRun, APeriodWithoutPaymentsLeavesTheNumberAlone) {
    EXPECT_FALSE(run(common::kReportStandardCharteredFile, "Staff Savings"));
    expectOneError("Sorry, bank transfer file has no records\nand will not be saved.");
    EXPECT_EQ(fileNumbers, 0);
    EXPECT_TRUE(ui.fileChoices.empty());
    EXPECT_EQ(ui.waitDepth, 0);
}

TEST_F(BankTransferRun, APeriodFileThatCannotBeWrittenIsNotRead) {
    fs::remove(folder.resolve("database/static.dbf"));
    EXPECT_FALSE(run(common::kReportStanbicFile));
    // Only the writer's own message: the stale file is not read.
    EXPECT_EQ(ui.messages.size(), 1u) << messages();
    EXPECT_EQ(fileNumbers, 0);
    EXPECT_TRUE(ui.fileChoices.empty());
}

} // namespace
} // namespace kelo::payrunreports::testing
