#include "database/NssfDb.h"
#include "database/OptionsDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "paycalc/CalcFields.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace kelo::paycalc {
namespace {

// Which statutory tables a year has.
struct Tables {
    bool params = true, paye = true, nssf = true, sdl = true;
};

// A data folder with the system folder and one organisation, whose
// statutory tables are copied from the shipped source folder.
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

    void makeYear(Tables tables = Tables(), int year = 2025) {
        if (tables.params) {
            ASSERT_TRUE(database::PAYEPARAMDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, year));
        }
        if (tables.paye) {
            ASSERT_TRUE(database::PAYEDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, year));
        }
        if (tables.nssf) {
            ASSERT_TRUE(database::NSSFDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, year));
        }
        if (tables.sdl) {
            ASSERT_TRUE(database::SDLDB(code, folder).newFile(ui, KELO_SOURCE_FOLDER, year));
        }
    }

    // The organisation's "Average" option; nullopt leaves the options table out.
    void setAverage(std::optional<int> value) {
        if (!value)
            return;
        database::OPTIONSDB options(code, folder);
        if (!std::filesystem::exists(folder.resolve(database::OPTIONSDB::kPath))) {
            ASSERT_TRUE(options.createFile(ui));
        }
        ASSERT_TRUE(options.openFile(false));
        ASSERT_TRUE(
            options.setValue(database::kPayrollOptionsId, database::kOptionAverage, *value));
        options.closeFile();
    }

    common::VARIATIONSREC compute(const CALCFIELDS& calc, double salary,
                                  common::VARIATIONSREC rec = {}) {
        common::STATICREC staff;
        staff.salary = salary;
        staff.hoursPerDay = 8;
        staff.hoursPerMonth = 176;
        staff.payeApplies = staff.nssfMember = 1;
        staff.payMethod = common::kPayByBankTransfer;
        CALCFIELDS::copyStatFields(rec, staff);
        calc.computeFields(rec);
        return rec;
    }

    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    engine::Code4 code;
    common::WorkingFolder folder;
    common::ORGREC org;
};

TEST_F(CheckFilesTest, EachOfTheThreeTablesIsNeeded) {
    struct Case {
        const char* name;
        Tables tables;
        int result;
    };
    const Case cases[] = {
        {"all four", {}, 1},
        {"no SDL table", {true, true, true, false}, 1}, // not asked for
        {"no PAYE parameters", {false, true, true, true}, 0},
        {"no PAYE bands", {true, false, true, true}, 0},
        {"no NSSF rates", {true, true, false, true}, 0},
        {"none", {false, false, false, false}, 0},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(dir.file("system/2025"));
        makeYear(c.tables);
        CALCFIELDS calc(code, folder);
        EXPECT_EQ(calc.checkCalcFiles(org), c.result) << c.name;
        code.setErrorCode(0);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CheckFilesTest, OnlyTheFiscalYearsTablesCount) {
    makeYear();
    CALCFIELDS calc(code, folder);
    EXPECT_EQ(calc.checkCalcFiles(org), 1);
    org.fiscalYear = 2026;
    EXPECT_EQ(calc.checkCalcFiles(org), 0);
    org.fiscalYear = 2024;
    EXPECT_EQ(calc.checkCalcFiles(org), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CheckFilesTest, LoadsTheYearsFigures) {
    makeYear();
    setAverage(1);
    CALCFIELDS calc(code, folder);
    calc.initCalcFields(ui, org);
    EXPECT_EQ(code.errorCode(), 0);

    // The shipped bands.
    ASSERT_EQ(calc.topBand, 4);
    const unsigned long limits[] = {270'000, 520'000, 760'000, 1'000'000};
    const float rates[] = {0, 8, 20, 25, 30};
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(calc.bandLimits[k], limits[k]) << k;
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_EQ(calc.bandRates[k], rates[k]) << k;

    const CalcSettings& s = calc.settings();
    EXPECT_EQ(s.nssfRates.employeeRate, 10);
    EXPECT_EQ(s.nssfRates.employerRate, 10);
    EXPECT_EQ(s.payeParams.maxPension, 999'999'999UL);
    EXPECT_EQ(s.payeParams.statRateJulDec, 6.0f);
    EXPECT_EQ(s.payeParams.statRateJanJun, 5.75f);
    EXPECT_EQ(s.sdlRate.rate, 3.5f);
    EXPECT_EQ(s.taxAverage, 1);

    // The organisation's period and options.
    EXPECT_EQ(s.currentMonth, "October");
    EXPECT_EQ(s.taxEmployerPension, 1);
    EXPECT_EQ(s.paySdl, 1);
    EXPECT_EQ(s.roundNetPay, 1);
    EXPECT_EQ(s.roundingUnit, 100);
    EXPECT_EQ(calc.afterJune(), 1);
    EXPECT_EQ(calc.statutoryRate(), 6.0f);
}

TEST_F(CheckFilesTest, HalfYearAndOptionsFollowTheOrganisation) {
    makeYear();
    struct Case {
        const char* month;
        int taxEmployerPension, paySdl, roundNetPay, roundingUnit;
        int afterJune;
        float statutoryRate;
    };
    const Case cases[] = {
        {"February", 0, 0, 0, 0, 0, 5.75f}, {"june", 1, 0, 1, 1'000, 0, 5.75f},
        {"JULY", 0, 1, 0, 50, 1, 6.0f},     {"December", 1, 1, 1, 5, 1, 6.0f},
        {"Nonsense", 1, 1, 1, 5, 1, 6.0f},
    };
    CALCFIELDS calc(code, folder);
    for (const Case& c : cases) {
        org.month = c.month;
        org.taxEmployerPension = c.taxEmployerPension;
        org.paySdl = c.paySdl;
        org.roundNetPay = c.roundNetPay;
        org.roundingUnit = c.roundingUnit;
        calc.initCalcFields(ui, org); // again whenever the period or options change
        SCOPED_TRACE(c.month);
        EXPECT_EQ(calc.settings().currentMonth, c.month);
        EXPECT_EQ(calc.afterJune(), c.afterJune);
        EXPECT_EQ(calc.statutoryRate(), c.statutoryRate);
        EXPECT_EQ(calc.settings().taxEmployerPension, c.taxEmployerPension);
        EXPECT_EQ(calc.settings().paySdl, c.paySdl);
        EXPECT_EQ(calc.settings().roundNetPay, c.roundNetPay);
        EXPECT_EQ(calc.settings().roundingUnit, c.roundingUnit);
    }
}

TEST_F(CheckFilesTest, AverageOptionIsReadFromTheOrganisation) {
    makeYear();
    struct Case {
        const char* name;
        std::optional<int> stored;
        int taxAverage;
    };
    const Case cases[] = {
        {"no options table", std::nullopt, 0},
        {"off", 0, 0},
        {"on", 1, 1},
        {"off again", 0, 0},
    };
    CALCFIELDS calc(code, folder);
    for (const Case& c : cases) {
        setAverage(c.stored);
        ui.clear();
        EXPECT_EQ(calc.initCalcFields(ui, org), c.stored.has_value()) << c.name;
        EXPECT_EQ(ui.messages.size(), c.stored ? 0u : 1u) << c.name;
        EXPECT_EQ(calc.settings().taxAverage, c.taxAverage) << c.name;
        EXPECT_EQ(code.errorCode(), 0) << c.name;
    }
    // The options table is closed again: it opens exclusively.
    database::OPTIONSDB options(code, folder);
    EXPECT_TRUE(options.openFile(true));
    options.closeFile();
}

TEST_F(CheckFilesTest, ShippedTablesGiveTheWorkedExample) {
    // Salary 1,000,000 with NSSF: 100,000 each side; chargeable 900,000;
    // PAYE 103,000; net 797,000; SDL 35,000.
    makeYear();
    setAverage(0);
    CALCFIELDS calc(code, folder);
    calc.initCalcFields(ui, org);
    const common::VARIATIONSREC rec = compute(calc, 1'000'000);
    EXPECT_EQ(rec.nssfEmployee, 100'000);
    EXPECT_EQ(rec.nssfEmployer, 100'000);
    EXPECT_EQ(rec.chargeablePay, 900'000);
    EXPECT_EQ(rec.paye, 103'000);
    EXPECT_EQ(rec.netPay, 797'000);
    EXPECT_EQ(rec.sdl, 35'000);
}

TEST_F(CheckFilesTest, ShippedTablesWithAveraging) {
    // October: (900,000 + 2,100,000) / 4 = 750,000 -> 66,000 x 4 = 264,000
    // less 168,000 paid = 96,000. A company loan at 1 % against the July to
    // December rate of 6 %: 5 % x 1,200,000 / 12 = 5,000 benefit, so the
    // average is 751,250 and its PAYE 66,250; x 4 less 168,000 = 97,000.
    makeYear();
    setAverage(1);
    CALCFIELDS calc(code, folder);
    calc.initCalcFields(ui, org);
    common::VARIATIONSREC rec;
    rec.halfYearMonths[1] = 3;
    rec.halfYearTaxable[1] = 2'100'000;
    rec.halfYearPaye[1] = 168'000;
    EXPECT_EQ(compute(calc, 1'000'000, rec).paye, 96'000);

    auto loan = std::make_shared<common::PayItemDef>();
    loan->itemType = common::kTypeCompanyLoanPayment;
    loan->itemFunction = common::kFuncKeyIn;
    common::PayItem repayment;
    repayment.definition = loan;
    repayment.active = 1;
    repayment.params = common::LoanParams{1'200'000, 1, 12, 0, 1};
    rec.deductions.push_back(repayment);
    rec = compute(calc, 1'000'000, rec);
    EXPECT_EQ(rec.loanBenefit, 5'000);
    EXPECT_EQ(rec.chargeablePay, 905'000);
    EXPECT_EQ(rec.paye, 97'000);
}

TEST_F(CheckFilesTest, MissingTablesGiveZeroFigures) {
    CALCFIELDS calc(code, folder);
    EXPECT_FALSE(calc.initCalcFields(ui, org)); // no options table
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Error);
    EXPECT_NE(ui.lastMessage().find("settings/options.dbf"), std::string::npos) << ui.lastMessage();
    EXPECT_NE(ui.lastMessage().find("Pay cannot be computed without the payroll options."),
              std::string::npos);
    EXPECT_EQ(calc.topBand, -1);
    EXPECT_EQ(calc.settings().nssfRates.employeeRate, 0);
    EXPECT_EQ(calc.settings().nssfRates.employerRate, 0);
    EXPECT_EQ(calc.settings().payeParams.maxPension, 0UL);
    EXPECT_EQ(calc.statutoryRate(), 0);
    EXPECT_EQ(calc.settings().sdlRate.rate, 0);
    EXPECT_EQ(calc.settings().taxAverage, 0);
    EXPECT_EQ(code.errorCode(), 0);

    // Nothing is taxed or levied, and nothing breaks.
    const common::VARIATIONSREC rec = compute(calc, 500'000);
    EXPECT_EQ(rec.paye, 0);
    EXPECT_EQ(rec.nssfEmployee, 0);
    EXPECT_EQ(rec.sdl, 0);
    EXPECT_EQ(rec.netPay, 500'000);
}

TEST_F(CheckFilesTest, AYearWithoutTablesReplacesEarlierFigures) {
    makeYear();
    CALCFIELDS calc(code, folder);
    calc.initCalcFields(ui, org);
    ASSERT_EQ(calc.topBand, 4);
    org.fiscalYear = 2030;
    calc.initCalcFields(ui, org);
    EXPECT_EQ(calc.topBand, -1);
    EXPECT_EQ(calc.bandRates[4], 0);
    EXPECT_EQ(calc.settings().nssfRates.employeeRate, 0);
    EXPECT_EQ(calc.settings().payeParams.statRateJulDec, 0);
    EXPECT_EQ(calc.settings().sdlRate.rate, 0);
    const common::VARIATIONSREC rec = compute(calc, 2'000'000);
    EXPECT_EQ(rec.paye, 0);
    EXPECT_TRUE(std::isfinite(rec.netPay));
}

} // namespace
} // namespace kelo::paycalc
