#pragma once

#include "Golden.h"
#include "common/TaggedFile.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/tests/ReadableView.h"
#include "taxreports/TaxRepDb.h"
#include "taxreports/TaxReports.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kelo::taxreports::testing {

// One employee's period as the pay engine left it in the period file.
struct Pay {
    const char* empNum;
    const char* name;
    const char* tin;
    double gross, taxable, paye;
};

// Kilimo Traders pays monthly and weekly; two months close.
// January:  MH001 gross 950,000, taxable 855,000, PAYE 120,000.
//           MH002 (no TIN) 450,000, 405,000, 30,000.
//           WK001 week ending 7 January 120,000, 108,000, 0.
// February: MH001 900,000, 810,000, 110,000; MH002 as in January.
//           WK001 weeks ending 7 and 14 February, each 300,000, 270,000,
//           5,000.
// So January to June: MH001 1,850,000 / 1,665,000 / 230,000; MH002
// 900,000 / 810,000 / 60,000; WK001 720,000 / 648,000 / 10,000;
// the employer's PAYE 300,000.
struct TaxFixture : ::testing::Test {
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    testsupport::RecordingUi owner;
    common::ORGREC org;

    const std::vector<Pay> januaryMonthly{
        {"MH001", "Mwakyusa, Asha", "123-456-789", 950000, 855000, 120000},
        {"MH002", "Banda, Joseph", "", 450000, 405000, 30000}};
    const std::vector<Pay> februaryMonthly{
        {"MH001", "Mwakyusa, Asha", "123-456-789", 900000, 810000, 110000},
        {"MH002", "Banda, Joseph", "", 450000, 405000, 30000}};
    const std::vector<Pay> januaryWeek{{"WK001", "Kileo, Neema", "987-654-321", 120000, 108000, 0}};
    const std::vector<Pay> februaryWeek{
        {"WK001", "Kileo, Neema", "987-654-321", 300000, 270000, 5000}};

    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/2025"));
        std::filesystem::create_directories(dir.file("system"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.name = "Kilimo Traders Ltd";
        org.itNum = "100-200-300";
        org.nssfNum = "NSSF-0042";
        org.month = "January";
        org.year = 2025;
        org.fiscalYear = 2024;
        org.weekEndDay = 7;
        org.fortnightEndDay = 14;
        org.irregEndDay = 1;
    }

    // The kept file of the frequency's current period, as the month end
    // leaves it before the stores are updated.
    std::string writePeriodFile(common::PAYFREQ payFreq, const std::vector<Pay>& pays) {
        const std::string path = payrunreports::PERIODDB::periodFilePath(payFreq, org, true);
        payrunreports::ReportItemDefs defs;
        const auto builtIn = [](int id, const char* name) {
            auto d = std::make_shared<payrunreports::ReportItemDef>();
            d->id = id;
            d->name = name;
            d->reportType = name;
            d->function = "Use Built-In Function";
            d->builtIn = 1;
            return std::shared_ptr<const payrunreports::ReportItemDef>(d);
        };
        defs[common::EARNINGS] = {builtIn(1, "Basic Pay"), builtIn(2, "Overtime")};
        defs[common::DEDUCTIONS] = {builtIn(3, "Rent")};
        const payrunreports::PeriodHeader header =
            payrunreports::periodHeader(payrunreports::periodTitle(payFreq, org), payFreq, org);
        common::TaggedWriter w(folder.resolve(path));
        EXPECT_TRUE(payrunreports::writePreamble(w, payrunreports::fileTitle(payFreq, org),
                                                 org.folder, path));
        EXPECT_TRUE(payrunreports::writeHeader(w, header));
        EXPECT_TRUE(payrunreports::writeDefinitions(w, defs));
        w.writeTag(payrunreports::kRecordsBlock, common::TagKind::BlockStart);
        for (const Pay& p : pays) {
            payrunreports::REPORTREC r;
            r.empNum = p.empNum;
            r.name = p.name;
            r.tin = p.tin;
            r.basicPay = p.gross;
            r.grossPay = p.gross;
            r.totalPay = p.gross;
            r.taxablePay = p.gross;
            r.chargeablePay = p.taxable;
            r.paye = p.paye;
            EXPECT_TRUE(payrunreports::writeRecord(w, r));
        }
        w.writeTag(payrunreports::kRecordsBlock, common::TagKind::BlockEnd);
        w.writeEof();
        EXPECT_TRUE(w.close());
        return path;
    }

    void close(common::PAYFREQ payFreq, const std::vector<Pay>& pays) {
        writePeriodFile(payFreq, pays);
        TAXREPDB db(owner, code, folder);
        ASSERT_TRUE(db.checkFiles(ui, org)) << ui.lastMessage();
        ASSERT_TRUE(db.updateFiles(ui, payFreq, org, true)) << ui.lastMessage();
    }

    // January and February close; the organisation stands in March.
    void closeJanuaryAndFebruary() {
        org.month = "January";
        org.weekEndDay = 7;
        close(common::WEEKLY, januaryWeek);
        close(common::MONTHLY, januaryMonthly);
        org.month = "February";
        close(common::WEEKLY, februaryWeek);
        org.weekEndDay = 14;
        close(common::WEEKLY, februaryWeek);
        close(common::MONTHLY, februaryMonthly);
        org.month = "March";
        org.weekEndDay = 7;
    }

    std::string p9Path() const { return folder.resolve(TAXREPDB::filePath(TaxFile::P9, 2025)); }
    std::string p10Path() const { return folder.resolve(TAXREPDB::filePath(TaxFile::P10, 2025)); }

    common::REPORTPARAM param(std::int32_t reportType, int fromMonth, int toMonth) const {
        common::REPORTPARAM p = common::newReportParam(reportType, org);
        p.period.year = 2025;
        p.fromMonth = fromMonth;
        p.toMonth = toMonth;
        return p;
    }
};

} // namespace kelo::taxreports::testing
