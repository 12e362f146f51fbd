#include "database/NssfDb.h"
#include "database/OptionsDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "paycalc/CalcFields.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::paycalc {
namespace {

class CheckFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.fiscalYear = 2025;
        org.month = "October";
        org.taxEmployerPension = 1;
        org.paySdl = 1;
        org.roundNetPay = 1;
        org.roundingUnit = 100;
    }

    void makeYear(bool withNssf = true) {
        database::PAYEPARAMDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, 2025);
        database::PAYEDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, 2025);
        if (withNssf)
            database::NSSFDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, 2025);
        database::SDLDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, 2025);
    }

    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    engine::Code4 code;
    common::WorkingFolder folder;
    common::ORGREC org;
};

TEST_F(CheckFilesTest, MissingStatutoryTablesAreReported) {
    CALCFIELDS calc(code, folder);
    EXPECT_EQ(calc.checkCalcFiles(org), 0);
    makeYear(false);
    EXPECT_EQ(calc.checkCalcFiles(org), 0);
    database::NSSFDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, 2025);
    EXPECT_EQ(calc.checkCalcFiles(org), 1);
    org.fiscalYear = 2026;
    EXPECT_EQ(calc.checkCalcFiles(org), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CheckFilesTest, LoadsTheYearsFiguresAndOptions) {
    makeYear();
    database::OPTIONSDB options(code, folder);
    ASSERT_TRUE(options.createFile(ui));
    ASSERT_TRUE(options.openFile(false));
    ASSERT_TRUE(options.setValue(database::kPayrollOptionsId, database::kOptionAverage, 1));
    options.closeFile();

    CALCFIELDS calc(code, folder);
    calc.initCalcFields(org);
    EXPECT_EQ(calc.topBand, 4);
    EXPECT_EQ(calc.PAYE(900'000, false), 103'000);
    EXPECT_EQ(calc.settings().nssfRates.employeeRate, 10);
    EXPECT_EQ(calc.settings().nssfRates.employerRate, 10);
    EXPECT_EQ(calc.settings().sdlRate.rate, 3.5f);
    EXPECT_EQ(calc.settings().taxAverage, 1);
    EXPECT_EQ(calc.settings().roundingUnit, 100);
    EXPECT_EQ(calc.afterJune(), 1);
    EXPECT_EQ(calc.statutoryRate(), calc.settings().payeParams.statRateJulDec);
    EXPECT_EQ(code.errorCode(), 0);

    org.month = "February";
    calc.initCalcFields(org);
    EXPECT_EQ(calc.afterJune(), 0);
    EXPECT_EQ(calc.statutoryRate(), calc.settings().payeParams.statRateJanJun);
}

TEST_F(CheckFilesTest, WithoutAnyTableNothingIsTaxedAndNothingBreaks) {
    CALCFIELDS calc(code, folder);
    calc.initCalcFields(org);
    common::STATICREC staff;
    staff.salary = 500'000;
    staff.payeApplies = staff.nssfMember = 1;
    common::VARIATIONSREC rec;
    CALCFIELDS::copyStatFields(rec, staff);
    calc.computeFields(rec);
    EXPECT_EQ(rec.paye, 0);
    EXPECT_EQ(rec.nssfEmployee, 0);
    EXPECT_EQ(rec.netPay, 500'000);
}

} // namespace
} // namespace kelo::paycalc
