#include "database/NssfDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

// The band calculation of the pay engine, repeated here so that the shipped
// bands are proven against the published worked example.
long payeOnBands(double pay, const unsigned long* limits, const float* rates, int bands) {
    double tax = 0;
    for (int i = bands - 1; i >= 1; --i) {
        if (pay > static_cast<double>(limits[i - 1])) {
            tax += (pay - static_cast<double>(limits[i - 1])) * rates[i] * 0.01;
            pay = static_cast<double>(limits[i - 1]);
        }
    }
    tax += pay * rates[0] * 0.01;
    return static_cast<long>(tax);
}

class StatutoryTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        std::filesystem::create_directories(dir.file("org01"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01"); // an open organisation
    }
    // The year's four tables made from the shipped defaults.
    void makeYear(int year) {
        ASSERT_TRUE(paye.newFile(ui, KELO_SOURCE_FOLDER, year));
        ASSERT_TRUE(nssf.newFile(ui, KELO_SOURCE_FOLDER, year));
        ASSERT_TRUE(params.newFile(ui, KELO_SOURCE_FOLDER, year));
        ASSERT_TRUE(sdl.newFile(ui, KELO_SOURCE_FOLDER, year));
        ui.clear();
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    PAYEDB paye{code, folder};
    NSSFDB nssf{code, folder};
    PAYEPARAMDB params{code, folder};
    SDLDB sdl{code, folder};
};

TEST_F(StatutoryTablesTest, AMissingYearIsReportedAbsentAndReadsGiveNothing) {
    EXPECT_FALSE(params.checkFile(2025));
    EXPECT_FALSE(paye.checkFile(2025));
    EXPECT_FALSE(nssf.checkFile(2025));
    EXPECT_FALSE(sdl.checkFile(2025));

    std::array<unsigned long, 31> limits{};
    std::array<float, 31> rates{};
    EXPECT_EQ(paye.readBrackets(2025, limits, rates, 31), 0);
    NSSFREC nssfRates{1, 2};
    EXPECT_FALSE(nssf.readFile(2025, nssfRates));
    EXPECT_EQ(nssfRates.employeeRate, 0);
    EXPECT_EQ(nssfRates.employerRate, 0);
    SDLREC sdlRate{3};
    EXPECT_FALSE(sdl.readFile(2025, sdlRate));
    EXPECT_EQ(sdlRate.rate, 0);
    PAYEPARAMREC p{1, 2, 3};
    EXPECT_FALSE(params.readParams(2025, p));
    EXPECT_EQ(p.maxPension, 0u);
    EXPECT_FALSE(paye.openFile(2025, false));
    EXPECT_NE(code.errorCode(), 0);
    code.setErrorCode(0);
    NSSFREC open{};
    EXPECT_FALSE(nssf.initRec(open));
    EXPECT_FALSE(nssf.updateRec({5, 5}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("system/2025")));
}

TEST_F(StatutoryTablesTest, NewFileCopiesTheShippedTablesIntoTheYearFolder) {
    ASSERT_TRUE(paye.newFile(ui, KELO_SOURCE_FOLDER, 2025));
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Creating paye.dbf...", ""}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(std::filesystem::exists(dir.file("system/2025/paye.dbf")));
    EXPECT_EQ(paye.relativePath(), "../system/2025/paye.dbf");
    EXPECT_TRUE(paye.checkFile(2025));
    EXPECT_FALSE(paye.checkFile(2024));

    const struct {
        StatutoryTable* table;
        const char* file;
    } others[] = {{&nssf, "nssf.dbf"}, {&params, "payepara.dbf"}, {&sdl, "sdl.dbf"}};
    for (const auto& other : others) {
        SCOPED_TRACE(other.file);
        EXPECT_FALSE(other.table->checkFile(2025));
        EXPECT_TRUE(other.table->newFile(ui, KELO_SOURCE_FOLDER, 2025));
        EXPECT_TRUE(other.table->checkFile(2025));
        EXPECT_TRUE(std::filesystem::exists(dir.file("system/2025/" + std::string(other.file))));
    }
    EXPECT_TRUE(ui.messages.empty());
    // The shipped tables are plain, and the year's copies too without a key.
    ASSERT_TRUE(paye.openFile(2025, false));
    EXPECT_FALSE(paye.data()->isEncrypted());
}

TEST_F(StatutoryTablesTest, TheShippedBandsGiveThePublishedTax) {
    makeYear(2025);
    std::array<unsigned long, 31> limits{};
    std::array<float, 31> rates{};
    const int bands = paye.readBrackets(2025, limits, rates, 31);
    ASSERT_EQ(bands, 5);
    EXPECT_EQ((std::vector<unsigned long>(limits.begin(), limits.begin() + 4)),
              (std::vector<unsigned long>{270000, 520000, 760000, 1000000}));
    EXPECT_EQ((std::vector<float>(rates.begin(), rates.begin() + 5)),
              (std::vector<float>{0, 8, 20, 25, 30}));

    // 900,000 lies in the 25 % band, above 760,000 and not above 1,000,000.
    EXPECT_GT(900000ul, limits[2]);
    EXPECT_LE(900000ul, limits[3]);
    const struct {
        double pay;
        long tax;
    } cases[] = {{0, 0},          {270000, 0},      {270001, 0},       {520000, 20000},
                 {760000, 68000}, {900000, 103000}, {1000000, 128000}, {1500000, 278000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pay);
        EXPECT_EQ(payeOnBands(c.pay, limits.data(), rates.data(), bands), c.tax);
    }
    // No more bands than asked for, nor than the arrays hold.
    std::array<unsigned long, 31> few{};
    EXPECT_EQ(paye.readBrackets(2025, few, rates, 3), 3);
    EXPECT_EQ(few[3], 0u);
    std::array<unsigned long, 2> small{};
    EXPECT_EQ(paye.readBrackets(2025, small, rates, 31), 2);
}

TEST_F(StatutoryTablesTest, TheShippedRatesAndParametersAreRead) {
    makeYear(2025);
    NSSFREC nssfRates;
    ASSERT_TRUE(nssf.readFile(2025, nssfRates));
    EXPECT_EQ(nssfRates.employeeRate, 10.0f);
    EXPECT_EQ(nssfRates.employerRate, 10.0f);
    SDLREC sdlRate;
    ASSERT_TRUE(sdl.readFile(2025, sdlRate));
    EXPECT_EQ(sdlRate.rate, 3.5f);
    PAYEPARAMREC p;
    ASSERT_TRUE(params.readParams(2025, p));
    EXPECT_EQ(p.maxPension, 999999999ul);
    EXPECT_EQ(p.statRateJulDec, 6.0f);
    EXPECT_EQ(p.statRateJanJun, 5.75f);
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(StatutoryTablesTest, TheDialogsReadAndStoreTheOneRecord) {
    makeYear(2025);
    ASSERT_TRUE(params.openFile(2025, true));
    EXPECT_TRUE(params.data()->isExclusive());
    PAYEPARAMREC p;
    ASSERT_TRUE(params.initRec(p));
    EXPECT_EQ(p.maxPension, 999999999ul);
    ASSERT_TRUE(params.updateRec({250000, 7.5f, 7.25f}));
    params.closeFile();
    ASSERT_TRUE(params.readParams(2025, p));
    EXPECT_EQ(p.maxPension, 250000ul);
    EXPECT_EQ(p.statRateJulDec, 7.5f);
    EXPECT_EQ(p.statRateJanJun, 7.25f);

    ASSERT_TRUE(nssf.openFile(2025, true));
    ASSERT_TRUE(nssf.updateRec({5, 15}));
    nssf.closeFile();
    NSSFREC n;
    ASSERT_TRUE(nssf.readFile(2025, n));
    EXPECT_EQ(n.employeeRate, 5.0f);
    EXPECT_EQ(n.employerRate, 15.0f);

    ASSERT_TRUE(sdl.openFile(2025, true));
    ASSERT_TRUE(sdl.updateRec({4.5f}));
    SDLREC s;
    ASSERT_TRUE(sdl.initRec(s));
    EXPECT_EQ(s.rate, 4.5f);
    // Open exclusively, the table is not available to other readers.
    EXPECT_FALSE(sdl.readFile(2025, s));
    sdl.closeFile();
    ASSERT_TRUE(sdl.readFile(2025, s));
    EXPECT_EQ(s.rate, 4.5f);
}

TEST_F(StatutoryTablesTest, ALockedRecordStoresNothing) {
    makeYear(2025);
    NSSFDB other(code, folder);
    ASSERT_TRUE(other.openFile(2025, false));
    ASSERT_EQ(other.data()->lock(1), engine::r4success);
    ASSERT_TRUE(nssf.openFile(2025, false));
    EXPECT_FALSE(nssf.updateRec({1, 1}));
    EXPECT_EQ(code.errorCode(), 0);
    nssf.closeFile(); // nothing is written on close either
    other.closeFile();
    NSSFREC n;
    ASSERT_TRUE(nssf.readFile(2025, n));
    EXPECT_EQ(n.employeeRate, 10.0f);
    EXPECT_EQ(n.employerRate, 10.0f);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StatutoryTablesTest, ANewYearIsMadeFromThePreviousOne) {
    makeYear(2025);
    ASSERT_TRUE(sdl.openFile(2025, true));
    ASSERT_TRUE(sdl.updateRec({4}));
    sdl.closeFile();
    ASSERT_TRUE(sdl.newFile(ui, "../system/2025", 2026));
    ASSERT_TRUE(paye.newFile(ui, "../system/2025/", 2026));
    SDLREC s;
    ASSERT_TRUE(sdl.readFile(2026, s));
    EXPECT_EQ(s.rate, 4.0f);
    std::array<unsigned long, 31> limits{};
    std::array<float, 31> rates{};
    EXPECT_EQ(paye.readBrackets(2026, limits, rates, 31), 5);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StatutoryTablesTest, AnExistingYearKeepsItsFigures) {
    makeYear(2025);
    ASSERT_TRUE(nssf.openFile(2025, true));
    ASSERT_TRUE(nssf.updateRec({8, 12}));
    nssf.closeFile();
    EXPECT_TRUE(nssf.newFile(ui, KELO_SOURCE_FOLDER, 2025));
    EXPECT_TRUE(ui.statusTexts.empty());
    NSSFREC n;
    ASSERT_TRUE(nssf.readFile(2025, n));
    EXPECT_EQ(n.employeeRate, 8.0f);
}

TEST_F(StatutoryTablesTest, AMissingSourceIsToldAndMakesNothing) {
    EXPECT_FALSE(paye.newFile(ui, dir.file("nowhere"), 2025));
    EXPECT_EQ(ui.lastMessage(), "Can't open " + dir.file("nowhere/paye.dbf"));
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Error);
    EXPECT_FALSE(paye.checkFile(2025));
    EXPECT_FALSE(std::filesystem::exists(dir.file("system/2025")));
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(StatutoryTablesTest, ASourceOfAnotherLayoutIsRefused) {
    std::filesystem::create_directories(dir.file("odd"));
    ASSERT_NE(engine::Data4::create(code, dir.file("odd/nssf.dbf"), {{"RATE", 'N', 6, 2}}),
              nullptr);
    EXPECT_FALSE(nssf.newFile(ui, dir.file("odd"), 2025));
    EXPECT_EQ(ui.lastMessage(), "Can't read " + dir.file("odd/nssf.dbf"));
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Creating nssf.dbf...", ""}));
    EXPECT_FALSE(nssf.checkFile(2025));
    EXPECT_FALSE(std::filesystem::exists(dir.file("system/2025/nssf.dbf")));
}

TEST_F(StatutoryTablesTest, AYearTableOfAnotherLayoutCountsAsMissing) {
    std::filesystem::create_directories(dir.file("system/2025"));
    ASSERT_NE(engine::Data4::create(code, dir.file("system/2025/sdl.dbf"), {{"X", 'C', 5, 0}}),
              nullptr);
    EXPECT_FALSE(sdl.checkFile(2025));
    SDLREC s{9};
    EXPECT_FALSE(sdl.readFile(2025, s));
    EXPECT_EQ(s.rate, 0);
    // It is not replaced: the user's file is never overwritten.
    EXPECT_FALSE(sdl.newFile(ui, KELO_SOURCE_FOLDER, 2025));
    EXPECT_EQ(ui.lastMessage(), "Can't create ../system/2025/sdl.dbf");
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(StatutoryTablesTest, AnEmptyTableReadsAsNoFigures) {
    std::filesystem::create_directories(dir.file("system/2025"));
    ASSERT_NE(
        engine::Data4::create(code, dir.file("system/2025/nssf.dbf"), NSSFDB::tableSchema().fields),
        nullptr);
    EXPECT_TRUE(nssf.checkFile(2025));
    NSSFREC n{1, 1};
    EXPECT_FALSE(nssf.readFile(2025, n));
    EXPECT_EQ(n.employeeRate, 0);
    // The dialog's store makes the one record.
    ASSERT_TRUE(nssf.openFile(2025, true));
    EXPECT_FALSE(nssf.initRec(n));
    ASSERT_TRUE(nssf.updateRec({10, 10}));
    nssf.closeFile();
    ASSERT_TRUE(nssf.readFile(2025, n));
    EXPECT_EQ(n.employerRate, 10.0f);
}

} // namespace
} // namespace kelo::database
