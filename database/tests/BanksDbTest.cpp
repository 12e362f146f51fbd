#include "database/BanksDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

class BanksDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        // The tables are shared: an open organisation reaches them too.
        folder.moveTo("../org01");
    }
    void createFilled() {
        ASSERT_TRUE(banks.newBankFile(ui));
        ASSERT_TRUE(banks.newBranchFile(ui));
        ASSERT_TRUE(banks.openFiles());
        addBank("NMB", "12");
        addBank("CRDB Bank", "03");
        addBank("Exim", "7");
        addBranch("NMB", "Azikiwe", "001");
        addBranch("CRDB Bank", "Samora", "002");
        addBranch("CRDB Bank", "Azikiwe", "001");
        addBranch("crdb bank", "Mwanza", "110");
        addBranch("Exim", "Main", "9");
    }
    void addBank(const std::string& name, const std::string& bankCode) {
        engine::Data4& d = *banks.bankData();
        ASSERT_EQ(d.appendStart(), engine::r4success);
        d.blank();
        d.field("NAME")->assign(name);
        d.field("CODE")->assign(bankCode);
        ASSERT_EQ(d.append(), engine::r4success);
    }
    void addBranch(const std::string& bank, const std::string& name,
                   const std::string& branchCode) {
        engine::Data4& d = *banks.branchData();
        ASSERT_EQ(d.appendStart(), engine::r4success);
        d.blank();
        d.field("BANK")->assign(bank);
        d.field("NAME")->assign(name);
        d.field("CODE")->assign(branchCode);
        ASSERT_EQ(d.append(), engine::r4success);
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    BANKSDB banks{code, folder};
};

TEST_F(BanksDbTest, TablesAreCreatedInTheSystemFolder) {
    EXPECT_FALSE(banks.checkFiles());
    ASSERT_TRUE(banks.newBankFile(ui));
    EXPECT_FALSE(banks.checkFiles());
    ASSERT_TRUE(banks.newBranchFile(ui));
    EXPECT_TRUE(banks.checkFiles());
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Creating banks.dbf...", "",
                                                        "Creating branches.dbf...", ""}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("system/settings/banks.dbf")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("system/settings/branches.dbf")));
    EXPECT_EQ(code.errorCode(), 0);

    ASSERT_TRUE(banks.openFiles());
    EXPECT_TRUE(banks.isOpen());
    // Opened in name order, banks and branches alike.
    EXPECT_EQ(banks.bankData()->selected()->name(), "NAME");
    EXPECT_EQ(banks.branchData()->selected()->name(), "BANK");
    banks.bankData()->select(nullptr);
    EXPECT_TRUE(banks.orderByName());
    EXPECT_EQ(banks.bankData()->selected()->name(), "NAME");
    const auto width = [](engine::Data4* d, const char* column) {
        return d->field(column)->length();
    };
    EXPECT_EQ(width(banks.bankData(), "NAME"), 24u);
    EXPECT_EQ(width(banks.bankData(), "CODE"), 2u);
    EXPECT_EQ(width(banks.branchData(), "BANK"), 24u);
    EXPECT_EQ(width(banks.branchData(), "NAME"), 24u);
    EXPECT_EQ(width(banks.branchData(), "CODE"), 3u);
    banks.closeFiles();
    EXPECT_FALSE(banks.isOpen());
    EXPECT_FALSE(banks.orderByName());

    // An existing table is never replaced.
    EXPECT_FALSE(banks.newBankFile(ui));
    EXPECT_EQ(ui.lastMessage(), "Can't create ../system/settings/banks.dbf");
}

TEST_F(BanksDbTest, BankCodeIsTheBankCodeThenTheBranchCode) {
    createFilled();
    struct Case {
        const char* bank;
        const char* branch;
        bool known;
        const char* code;
    };
    const Case cases[] = {
        {"NMB", "Azikiwe", true, "12001"},
        {"CRDB Bank", "Azikiwe", true, "03001"}, // same branch name and code in two banks
        {"CRDB BANK", "samora", true, "03002"},  // names compare without case
        {"CRDB Bank", "Mwanza", true, "03110"},  // stored with its bank in other case
        {"Exim", "Main", true, "7 9  "},         // short codes keep their places
        {"NMB", "Samora", false, ""},            // a branch of another bank
        {"NMB", "Azik", false, ""},              // a prefix is not a name
        {"Stanbic", "Main", false, ""},
        {"", "", false, ""},
    };
    for (const Case& c : cases) {
        std::string bankCode = "stale";
        EXPECT_EQ(banks.getBankCode(c.bank, c.branch, bankCode), c.known) << c.bank << c.branch;
        EXPECT_EQ(bankCode, c.code) << c.bank << "/" << c.branch;
    }
}

TEST_F(BanksDbTest, NamesInOrderAndLookUpsKeepThePlace) {
    createFilled();
    EXPECT_EQ(banks.bankNames(), (std::vector<std::string>{"CRDB Bank", "Exim", "NMB"}));
    EXPECT_EQ(banks.branchNames("CRDB Bank"),
              (std::vector<std::string>{"Azikiwe", "Mwanza", "Samora"}));
    EXPECT_EQ(banks.branchNames("nmb"), (std::vector<std::string>{"Azikiwe"}));
    EXPECT_TRUE(banks.branchNames("Stanbic").empty());

    ASSERT_TRUE(banks.gotoBank("exim"));
    ASSERT_TRUE(banks.gotoBranch("CRDB Bank", "Mwanza"));
    std::string bankCode;
    EXPECT_TRUE(banks.getBankCode("NMB", "Azikiwe", bankCode));
    EXPECT_EQ(banks.bankData()->field("NAME")->trimmed(), "Exim");
    EXPECT_EQ(banks.branchData()->field("NAME")->trimmed(), "Mwanza");
    EXPECT_EQ(banks.branchData()->skip(), engine::r4success);
    EXPECT_EQ(banks.branchData()->field("NAME")->trimmed(), "Samora");

    EXPECT_FALSE(banks.gotoBank("Stanbic"));
    EXPECT_TRUE(banks.bankData()->eof());
    EXPECT_FALSE(banks.gotoBranch("NMB", "Mwanza"));
    EXPECT_TRUE(banks.branchData()->eof());
}

TEST_F(BanksDbTest, OpeningFailsWholeWhenATableIsMissingOrLocked) {
    ASSERT_TRUE(banks.newBankFile(ui));
    EXPECT_FALSE(banks.openFiles());
    EXPECT_EQ(code.errorCode(), engine::e4open);
    code.setErrorCode(0);
    EXPECT_EQ(banks.bankData(), nullptr);
    EXPECT_EQ(banks.branchData(), nullptr);
    std::string bankCode = "stale";
    EXPECT_FALSE(banks.getBankCode("NMB", "Azikiwe", bankCode));
    EXPECT_EQ(bankCode, "");
    EXPECT_TRUE(banks.bankNames().empty());

    ASSERT_TRUE(banks.newBranchFile(ui));
    BANKSDB holder(code, folder);
    ASSERT_TRUE(holder.openFiles(true));
    EXPECT_FALSE(banks.openFiles());
    EXPECT_EQ(code.errorCode(), engine::e4access);
    code.setErrorCode(0);
    EXPECT_FALSE(banks.isOpen());
    holder.closeFiles();
    EXPECT_TRUE(banks.openFiles());
}

} // namespace
} // namespace kelo::database
