#include "BankFileFixture.h"

#include <filesystem>

namespace kelo::payrunreports::testing {
namespace {

namespace fs = std::filesystem;
using common::kReportBarclaysFile;
using common::kReportCitibankFile;
using common::kReportStanbicFile;
using common::kReportStandardCharteredFile;
using common::MessageIcon;

constexpr const char* kOtienoSkipped = "Invalid bank code for Otieno, Mary; record skipped";
constexpr const char* kAllySkipped = "Invalid account number for Ally, Said; record skipped";
constexpr const char* kSaved = "Bank transfer file saved";

struct BankFiles : BankFileFixture {
    void SetUp() override {
        BankFileFixture::SetUp();
        if (HasFatalFailure())
            return;
        writePeriodFile();
    }

    std::unique_ptr<BANKFILE> read(std::int32_t type, const std::string& field = "Net Pay") {
        auto file = readBankFile(type, field);
        if (auto* barclays = dynamic_cast<BARCLAYS*>(file.get()))
            barclays->setClock([] { return BARCLAYS::ClockTime{{2025, 27, 3}, 14, 5, 9}; });
        return file;
    }
};

struct Layout {
    std::int32_t type;
    const char* golden;
    const char* title;
    const char* filter;
    const char* extension;
    std::vector<std::string> messages;
};

TEST_F(BankFiles, EachLayoutOfTheWorkedPayroll) {
    const std::vector<Layout> layouts = {
        {kReportStandardCharteredFile,
         "bank_standard_chartered.txt",
         "Save Standard Chartered File",
         "Text Files (*.txt)",
         "txt",
         {kOtienoSkipped, kSaved}},
        {kReportBarclaysFile,
         "bank_barclays.csv",
         "Save Barclays Bank File",
         "Text Files (*.txt)",
         "csv",
         {kAllySkipped, kOtienoSkipped, kSaved}},
        {kReportCitibankFile,
         "bank_citidirect.txt",
         "Save Citidirect File",
         "Text Files (*.txt)",
         "txt",
         {kOtienoSkipped, kSaved}},
        {kReportStanbicFile,
         "bank_stanbic.csv",
         "Save Stanbic Bank File",
         "CSV Files (*.csv)",
         "csv",
         {kAllySkipped, kOtienoSkipped, kSaved}},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.golden);
        auto file = read(layout.type);
        ASSERT_TRUE(file) << messages();
        bool saved = false;
        const std::string bytes = saveAs(*file, layout.golden, saved);
        EXPECT_TRUE(saved);
        expectGoldenFile(bytes, layout.golden);
        EXPECT_EQ(messageTexts(), layout.messages);
        ASSERT_EQ(ui.fileChoices.size(), 1u);
        const common::FileChoice& choice = ui.fileChoices.front();
        EXPECT_EQ(choice.title, layout.title);
        EXPECT_EQ(choice.filter, layout.filter);
        EXPECT_EQ(choice.defaultExtension, layout.extension);
        EXPECT_EQ(choice.initialFolder, dir.file("exports"));
        EXPECT_TRUE(choice.overwritePrompt);
        ui.clear();
    }
}

TEST_F(BankFiles, SkippedEmployeesAreWarnedOfAndTheSaveIsReported) {
    auto file = read(kReportStanbicFile);
    ASSERT_TRUE(file);
    bool saved = false;
    saveAs(*file, "stanbic.csv", saved);
    ASSERT_EQ(ui.messages.size(), 3u);
    for (const auto& m : ui.messages)
        EXPECT_EQ(m.caption, "Kelo Roster");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Warning);
    EXPECT_EQ(ui.messages[2].icon, MessageIcon::Information);
}

TEST_F(BankFiles, ABankLoanPaymentGoesToTheLoanNotTheSalaryAccount) {
    edit("MH001", [](common::VARIATIONSREC& rec) {
        auto& loan = std::get<common::BankLoanParams>(rec.deductions[deduction::kCrdbLoan].params);
        loan.bankName = "NMB Bank";
    });
    writePeriodFile();
    auto file = read(kReportStanbicFile, "CRDB Loan");
    ASSERT_TRUE(file) << messages();
    bool saved = false;
    EXPECT_EQ(saveAs(*file, "loan.csv", saved),
              "Reference,Name,Bank Code,Branch Code,Account Number,Amount\r\n"
              "MH001,Mwakyusa Emmanuel,12,201,0000000000077,3000000\r\n");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{kSaved});
}

struct OrgCase {
    std::int32_t type;
    const char* bankName;
    const char* branchName;
    const char* accountNum;
    const char* refusal; // none: the file is saved
};

TEST_F(BankFiles, TheOrganisationsBankDataIsCheckedWhereTheLayoutNeedsIt) {
    const std::string badAccount =
        "Invalid account number for Kilimo Traders Ltd. Bank transfer file not saved.";
    const std::string badBank =
        "Invalid bank code for Kilimo Traders Ltd. Bank transfer file not saved.";
    // Only the first 25 characters count, so no account reaches 34 digits.
    const std::string digits40(40, '7');
    const std::vector<OrgCase> cases = {
        {kReportStandardCharteredFile, "CRDB Bank", "Tukuyu", "", badAccount.c_str()},
        {kReportStandardCharteredFile, "CRDB Bank", "Tukuyu", "A/C no.", badAccount.c_str()},
        {kReportStandardCharteredFile, "CRDB Bank", "Tukuyu", digits40.c_str(), nullptr},
        {kReportStandardCharteredFile, "Equity Bank", "Tukuyu", "1", badBank.c_str()},
        {kReportStandardCharteredFile, "NMB Bank", "Tukuyu", "1", badBank.c_str()},
        {kReportBarclaysFile, "CRDB Bank", "Tukuyu", "1234567890-123", nullptr},
        {kReportBarclaysFile, "CRDB Bank", "Tukuyu", "12345678901234", badAccount.c_str()},
        {kReportBarclaysFile, "CRDB Bank", "Arusha", "1", badBank.c_str()},
        {kReportCitibankFile, "CRDB Bank", "Tukuyu", "01234567890", badAccount.c_str()},
        {kReportCitibankFile, "Equity Bank", "", "0123456789", nullptr},
        {kReportStanbicFile, "", "", "", nullptr},
    };
    int n = 0;
    for (const OrgCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.bankName + " " + c.accountNum);
        org.bankName = c.bankName;
        org.branchName = c.branchName;
        org.accountNum = c.accountNum;
        auto file = read(c.type);
        ASSERT_TRUE(file);
        const std::string name = "org" + std::to_string(++n) + ".txt";
        bool saved = false;
        const std::string bytes = saveAs(*file, name, saved);
        if (c.refusal) {
            EXPECT_FALSE(saved);
            EXPECT_FALSE(fs::exists(exportPath(name)));
            EXPECT_TRUE(ui.fileChoices.empty());
            ASSERT_EQ(ui.messages.size(), 1u) << messages();
            EXPECT_EQ(ui.messages[0].text, c.refusal);
            EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
            EXPECT_EQ(ui.messages[0].caption, "Kelo Roster");
            ui.choices.clear();
        } else {
            EXPECT_TRUE(saved) << messages();
            EXPECT_FALSE(bytes.empty());
            EXPECT_EQ(ui.lastMessage(), kSaved);
        }
        ui.clear();
    }
}

TEST_F(BankFiles, CancellingTheDialogSavesNothingSilently) {
    auto file = read(kReportStandardCharteredFile);
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->save(org));
    EXPECT_EQ(ui.fileChoices.size(), 1u);
    EXPECT_TRUE(ui.messages.empty()) << messages();
}

TEST_F(BankFiles, AFileThatCannotBeCreatedIsTold) {
    auto file = read(kReportCitibankFile);
    ASSERT_TRUE(file);
    const std::string path = dir.file("nowhere/citi.txt");
    ui.choices.push_back(path);
    EXPECT_FALSE(file->save(org));
    expectOneError("Can't save to " + path);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(BankFiles, AFailedSaveLeavesTheOldFileOfThatNameAsItWas) {
    auto file = read(kReportBarclaysFile);
    ASSERT_TRUE(file);
    // The folder takes this name but not the longer scratch name beside it.
    const std::string path = exportPath(std::string(250, 'b') + ".txt");
    writeBytes(path, "old file\r\n");
    ui.choices.push_back(path);
    EXPECT_FALSE(file->save(org));
    expectOneError("Can't save to " + path);
    EXPECT_EQ(bytesOf(path), "old file\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("exports")), fs::directory_iterator()),
              1);
}

TEST_F(BankFiles, ASaveReplacesAnOldFileOfThatName) {
    auto file = read(kReportStanbicFile);
    ASSERT_TRUE(file);
    writeBytes(exportPath("stanbic.csv"), "old file\r\n");
    bool saved = false;
    const std::string bytes = saveAs(*file, "stanbic.csv", saved);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(bytes.starts_with("Reference,Name,"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("exports")), fs::directory_iterator()),
              1);
}

} // namespace
} // namespace kelo::payrunreports::testing
