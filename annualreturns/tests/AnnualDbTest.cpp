#include "AnnualFixture.h"
#include "testsupport/ChildProcess.h"

#include <filesystem>

namespace kelo::annualreturns::testing {
namespace {

using AnnualDbTest = AnnualFixture;

TEST_F(AnnualDbTest, TwoMonthsOfTwoFrequenciesMakeTheGoldenStore) {
    closeJanuaryAndFebruary();
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    expectGolden(readableView(bytesOf(storePath())), "annualreturns_store.txt");
}

TEST_F(AnnualDbTest, StoreReadsBackPeriodByPeriod) {
    closeJanuaryAndFebruary();
    ANNUALDB db(owner, code, folder);
    ANNUALFILE file;
    ASSERT_TRUE(db.readFile(ui, ANNUALDB::storeFilePath(2025), org, file));
    EXPECT_EQ(file.year, 2025);
    struct Expected {
        int month;
        common::PAYFREQ payFreq;
        const char* title;
        std::size_t employees;
    };
    const Expected expected[] = {{1, common::MONTHLY, "January 2025", 2},
                                 {1, common::WEEKLY, "Week ending 7 January 2025", 1},
                                 {2, common::MONTHLY, "February 2025", 2},
                                 {2, common::WEEKLY, "Week ending 7 February 2025", 1}};
    ASSERT_EQ(file.periods.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].title);
        EXPECT_EQ(file.periods[i].month, expected[i].month);
        EXPECT_EQ(file.periods[i].header.payFreq, expected[i].payFreq);
        EXPECT_EQ(file.periods[i].header.periodTitle, expected[i].title);
        EXPECT_EQ(file.periods[i].employees.size(), expected[i].employees);
    }
    const ANNUALEMP& mwakyusa = file.periods[2].employees[0];
    EXPECT_EQ(mwakyusa.empNum, "MH001");
    EXPECT_EQ(mwakyusa.totalPay, 1100000);
    EXPECT_EQ(mwakyusa.lumpSumTax, 40000);
    EXPECT_EQ(mwakyusa.items[common::LUMPSUMS], std::vector<double>{200000});
    EXPECT_EQ(file.periods[3].employees[0].items[common::DEDUCTIONS],
              (std::vector<double>{0, 5000}));
}

TEST_F(AnnualDbTest, ASecondUpdateOfThePeriodChangesNothing) {
    closeMonth("January", januaryMonthly, januaryWeekly);
    const std::string before = bytesOf(storePath());
    ANNUALDB db(owner, code, folder);
    EXPECT_TRUE(db.updateFile(ui, common::MONTHLY, org, true));
    EXPECT_TRUE(db.updateFile(ui, common::WEEKLY, org, true));
    EXPECT_EQ(bytesOf(storePath()), before);
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
}

TEST_F(AnnualDbTest, APeriodWithoutEmployeesAddsNothing) {
    org.month = "January";
    writePeriodFile(common::IRREGULAR, {});
    ANNUALDB db(owner, code, folder);
    EXPECT_TRUE(db.updateFile(ui, common::IRREGULAR, org, true));
    EXPECT_FALSE(std::filesystem::exists(storePath()));
}

TEST_F(AnnualDbTest, UpdateShowsItsProgressAndClearsIt) {
    org.month = "January";
    writePeriodFile(common::MONTHLY, januaryMonthly);
    ANNUALDB db(owner, code, folder);
    ASSERT_TRUE(db.updateFile(ui, common::MONTHLY, org, true));
    ASSERT_GE(owner.statusTexts.size(), 2u);
    EXPECT_EQ(owner.statusTexts.front(), "Updating 2025/annualreturns.dbf...");
    EXPECT_EQ(owner.statusTexts.back(), "");
}

struct BadStore {
    const char* name;
    std::function<std::string(const std::string&)> damage;
    // The file is named as the message shows it: by its full path or as
    // the organisation folder knows it.
    std::function<std::string(const std::string& fullPath)> message;
};

TEST_F(AnnualDbTest, ACutOrForeignStoreIsRefusedByNameAndKept) {
    const BadStore cases[] = {
        {"cut short", [](const std::string& b) { return b.substr(0, b.size() / 2); },
         [](const std::string& path) { return "File \"" + path + "\" has invalid terminator."; }},
        {"of another organisation",
         [](const std::string& b) {
             std::string other = b;
             other.replace(other.find("[../org01/"), 10, "[../org02/");
             return other;
         },
         [](const std::string&) {
             return "File \"2025/annualreturns.dbf\" was written for another organisation "
                    "(../org02).";
         }},
        {"not a tagged file", [](const std::string&) { return std::string("rubbish\n"); },
         [](const std::string& path) { return "Format of " + path + " is unknown."; }},
    };
    closeMonth("January", januaryMonthly, januaryWeekly);
    const std::string whole = bytesOf(storePath());
    org.month = "February";
    writePeriodFile(common::MONTHLY, februaryMonthly);
    for (const BadStore& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bad = c.damage(whole);
        writeBytes(storePath(), bad);
        ui.clear();
        ANNUALDB db(owner, code, folder);
        EXPECT_FALSE(db.checkFiles(ui, org));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, c.message(storePath()));
        EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Error);
        EXPECT_EQ(ui.messages[0].caption, "Kelo Roster");
        ui.clear();
        EXPECT_FALSE(db.updateFile(ui, common::MONTHLY, org, true));
        EXPECT_EQ(ui.lastMessage(), c.message(storePath()));
        EXPECT_EQ(bytesOf(storePath()), bad);
    }
}

TEST_F(AnnualDbTest, AFailedWriteLeavesTheOldStoreWhole) {
    closeMonth("January", januaryMonthly, januaryWeekly);
    const std::string before = bytesOf(storePath());
    org.month = "February";
    writePeriodFile(common::MONTHLY, februaryMonthly);
    const int status = testsupport::runWithFileSizeLimit(before.size() + 10, [&] {
        ANNUALDB db(owner, code, folder);
        return db.updateFile(ui, common::MONTHLY, org, true) ? 0 : 1;
    });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(bytesOf(storePath()), before);
}

TEST_F(AnnualDbTest, AMissingPeriodFileIsToldAndNothingWritten) {
    org.month = "March";
    ANNUALDB db(owner, code, folder);
    EXPECT_FALSE(db.updateFile(ui, common::MONTHLY, org, true));
    EXPECT_EQ(ui.lastMessage(), "Can't find \"" + folder.resolve("2025/mon03.dbf") + "\"");
    EXPECT_FALSE(std::filesystem::exists(storePath()));
}

TEST_F(AnnualDbTest, UpdateEmpNumRenumbersEveryPeriodAndDropsTheInterimFile) {
    closeJanuaryAndFebruary();
    ANNUALDB db(owner, code, folder);
    ASSERT_TRUE(db.writeInterimFile(ui, org));
    ASSERT_TRUE(std::filesystem::exists(folder.resolve(ANNUALDB::interimFilePath(2025))));
    ASSERT_TRUE(db.updateEmpNum(ui, {"mh002", "MH020", common::MONTHLY}, org));
    EXPECT_FALSE(std::filesystem::exists(folder.resolve(ANNUALDB::interimFilePath(2025))));
    ANNUALFILE file;
    ASSERT_TRUE(db.readFile(ui, ANNUALDB::storeFilePath(2025), org, file));
    for (std::size_t p : {0u, 2u}) {
        EXPECT_EQ(file.periods[p].employees[0].empNum, "MH001");
        EXPECT_EQ(file.periods[p].employees[1].empNum, "MH020");
        EXPECT_EQ(file.periods[p].employees[1].name, "Banda, Joseph");
    }
    EXPECT_EQ(file.periods[1].employees[0].empNum, "WK001");
}

TEST_F(AnnualDbTest, InterimFileHoldsTheStoreAndIsNeededOnlyForTheOpenMonth) {
    closeJanuaryAndFebruary();
    org.month = "March";
    const common::REPORTPARAM wholeYear = param(common::kReportYearMusterRoll, 1, 12);
    const common::REPORTPARAM closedMonths = param(common::kReportYearMusterRoll, 1, 2);
    EXPECT_EQ(ANNUALDB::reportFilePath(wholeYear, org), "2025/annualreturns.int");
    EXPECT_EQ(ANNUALDB::reportFilePath(closedMonths, org), "2025/annualreturns.dbf");
    EXPECT_TRUE(ANNUALDB::requireFile(folder, wholeYear, org));
    EXPECT_FALSE(ANNUALDB::requireFile(folder, closedMonths, org));

    ANNUALDB db(owner, code, folder);
    ASSERT_TRUE(db.writeInterimFile(ui, org));
    EXPECT_FALSE(ANNUALDB::requireFile(folder, wholeYear, org));
    ANNUALFILE interim;
    ASSERT_TRUE(db.readFile(ui, ANNUALDB::interimFilePath(2025), org, interim));
    EXPECT_EQ(interim.periods.size(), 4u);

    db.delInterimFile(org);
    EXPECT_FALSE(std::filesystem::exists(folder.resolve(ANNUALDB::interimFilePath(2025))));
    EXPECT_TRUE(ANNUALDB::requireFile(folder, wholeYear, org));
}

} // namespace
} // namespace kelo::annualreturns::testing
