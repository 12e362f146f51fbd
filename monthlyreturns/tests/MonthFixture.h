#pragma once

#include "common/Calendar.h"
#include "common/TaggedFile.h"
#include "database/PayLogDb.h"
#include "database/SdlDb.h"
#include "database/StaticDb.h"
#include "engine/Data4.h"
#include "monthlyreturns/MonthDb.h"
#include "monthlyreturns/MonthRep.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/tests/GoldenFile.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kelo::monthlyreturns::testing {

using payrunreports::testing::bytesOf;
using payrunreports::testing::writeBytes;

// Compares with the golden file under tests/golden.
inline void expectGoldenFile(const std::string& actual, const std::string& name) {
    payrunreports::testing::expectGoldenIn(std::filesystem::path(__FILE__).parent_path() / "golden",
                                           actual, name);
}

// One employee's period as the pay engine left it in the period file.
struct Pay {
    const char* empNum;
    const char* name;
    const char* tin;
    const char* idNum;
    const char* nssfNum;
    const char* station;
    double basic, gross, nssf, pension, chargeable, paye, sdl;
};

// Kilimo Traders Ltd closes February and March 2025 (fiscal year 2024,
// NSSF 10 % each side, SDL 4 %), paying monthly and weekly staff. The
// figures were worked by hand: NSSF is 10 % of gross pay rounded down,
// the pension relief is the employee's NSSF, PAYE the bands (8 % from
// 270,000, 20 % from 520,000, 25 % from 760,000) on the rest, truncated,
// SDL 4 % of gross pay rounded down.
//
// February: monthly
//   M001 Mwakyusa 1,000,000 + 100,000: NSSF 110,000, taxable 990,000,
//        PAYE 20,000 + 48,000 + 57,500 = 125,500, SDL 44,000
//   M002 Banda (no TIN, no ID) 400,000: NSSF 40,000, taxable 360,000,
//        PAYE 7,200, SDL 16,000
// weekly, weeks ending 21 and 28 February
//   W001 Kileo (not an NSSF member) 150,000 each week: SDL 6,000
//   W002 Njau (a member without a number) 100,000 + 25,000: NSSF 12,500,
//        SDL 5,000; then 100,000 + 37,503: NSSF 13,750 (13,750.30), SDL
//        5,500 (5,500.12)
// March: monthly M001 as in February, M002 400,000 + 50,000: NSSF 45,000,
//   taxable 405,000, PAYE 10,800, SDL 18,000; M003 Salim 300,000: NSSF
//   30,000, taxable 270,000, PAYE 0, SDL 12,000; weekly W001 for the week
//   ending 28 March.
struct MonthFixture : ::testing::Test {
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    testsupport::RecordingUi owner;
    common::ORGREC org;

    static constexpr Pay kMwakyusa{"M001",        "Mwakyusa, Emmanuel John",
                                   "123-456-789", "19680314-53101-00001-22",
                                   "N-1001",      "Mbeya",
                                   1000000,       1100000,
                                   110000,        110000,
                                   990000,        125500,
                                   44000};
    static constexpr Pay kBanda{"M002",          "Banda, Grace", "",     "",    "N-2002",
                                "Dar es Salaam", 400000,         400000, 40000, 40000,
                                360000,          7200,           16000};
    static constexpr Pay kKileo{"W001",
                                "Kileo, Ali",
                                "555-666-777",
                                "19900101-11111-00001-11",
                                "",
                                "Mbeya",
                                150000,
                                150000,
                                0,
                                0,
                                150000,
                                0,
                                6000};
    static constexpr Pay kNjau1{"W002",
                                "Njau, Rehema Anna",
                                "222-333-444",
                                "19950505-22222-00002-33",
                                "",
                                "Dar es Salaam",
                                100000,
                                125000,
                                12500,
                                12500,
                                112500,
                                0,
                                5000};
    static constexpr Pay kNjau2{"W002",
                                "Njau, Rehema Anna",
                                "222-333-444",
                                "19950505-22222-00002-33",
                                "",
                                "Dar es Salaam",
                                100000,
                                137503,
                                13750,
                                13750,
                                123753,
                                0,
                                5500};
    static constexpr Pay kBandaMarch{"M002",          "Banda, Grace", "",     "",    "N-2002",
                                     "Dar es Salaam", 400000,         450000, 45000, 45000,
                                     405000,          10800,          18000};
    static constexpr Pay kSalim{"M003",   "Salim, Juma", "777-888-999", "19800202-33333-00003-44",
                                "N-3003", "Mbeya",       300000,        300000,
                                30000,    30000,         270000,        0,
                                12000};

    void SetUp() override {
        for (const char* sub : {"system/settings", "system/2024", "org01/database",
                                "org01/settings", "org01/2025", "org02"})
            std::filesystem::create_directories(dir.file(sub));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.name = "Kilimo Traders Ltd";
        org.itNum = "100-200-300";
        org.nssfNum = "NSSF-0042";
        org.poBox = "1234";
        org.postCode = "53101";
        org.town = "Mbeya";
        org.telephone = "025 250 0000";
        org.month = "February";
        org.year = 2025;
        org.fiscalYear = 2024;
        org.payFreq = common::MONTHLY;
        org.paySdl = 1;
        writeSdlRate(4);
        hireStaff();
        ASSERT_TRUE(database::PAYLOGDB(code, folder).createFile(ui));
        closeFebruary();
        if (HasFatalFailure())
            return;
        closeMarch();
        ui.clear();
    }

    void writeSdlRate(float rate) {
        database::SDLDB table(code, folder);
        const database::Schema schema = database::SDLDB::tableSchema();
        auto data = engine::Data4::create(code, folder.resolve(table.yearPath(org.fiscalYear)),
                                          schema.fields, schema.tags);
        ASSERT_TRUE(data);
        ASSERT_EQ(data->appendStart(), engine::r4success);
        data->blank();
        database::SDLDB::store(*data, database::SDLREC{rate});
        ASSERT_EQ(data->append(), engine::r4success);
        data->close();
    }

    // The personnel file, for the genders the WCF return lists.
    void hireStaff() {
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.createFile(ui));
        ASSERT_TRUE(staff.openFile());
        struct Person {
            const char* empNum;
            const char* gender;
        };
        for (const Person& p :
             {Person{"M001", "Male"}, Person{"M002", "Female"}, Person{"M003", "Male"},
              Person{"W001", "Male"}, Person{"W002", "Female"}}) {
            common::STATICREC e;
            e.empNum = p.empNum;
            e.lastName = p.empNum;
            e.gender = p.gender;
            ASSERT_TRUE(staff.updateFields(e, database::PERSONNELREC{}, true));
        }
        staff.closeFile();
    }

    static std::string birthDateOf(const std::string& empNum) {
        if (empNum == "M001")
            return "14 Mar 1968";
        if (empNum == "M002")
            return "Feb 1985";
        return empNum == "W001" ? "1990" : "";
    }

    static payrunreports::REPORTREC record(const Pay& p) {
        payrunreports::REPORTREC r;
        r.empNum = p.empNum;
        r.name = p.name;
        r.tin = p.tin;
        r.idNum = p.idNum;
        r.nssfNum = p.nssfNum;
        r.stationName = p.station;
        r.jobTitle = p.empNum[0] == 'M' ? "Accounts Clerk" : "Machine Operator";
        r.birthDate = birthDateOf(p.empNum);
        r.basicPay = p.basic;
        r.grossPay = p.gross;
        r.nssfEmployee = r.nssfEmployer = p.nssf;
        r.pensionDeduction = r.pensionRelief = p.pension;
        r.taxablePay = p.gross;
        r.chargeablePay = p.chargeable;
        r.paye = p.paye;
        r.sdl = p.sdl;
        r.statutoryDeductions = p.paye + p.nssf;
        r.totalDeductions = p.paye + p.nssf;
        r.totalPay = p.gross;
        r.netPay = p.gross - p.paye - p.nssf;
        r.itemsOf(common::EARNINGS) = {
            payrunreports::ReportItem{definitions()[common::EARNINGS][2], p.gross - p.basic, {}}};
        return r;
    }

    static std::shared_ptr<const payrunreports::ReportItemDef>
    def(std::int32_t id, const char* name, const char* type, const char* function, int builtIn) {
        auto d = std::make_shared<payrunreports::ReportItemDef>();
        d->id = id;
        d->name = name;
        d->reportType = type;
        d->function = function;
        d->builtIn = builtIn;
        return d;
    }

    // Basic pay, overtime and rent, and one allowance keyed per employee.
    static payrunreports::ReportItemDefs definitions() {
        static const payrunreports::ReportItemDefs defs = [] {
            payrunreports::ReportItemDefs d;
            const char* builtIn = "Use Built-In Function";
            d[common::EARNINGS] = {def(1, "Basic Pay", "Basic Pay", builtIn, 1),
                                   def(2, "Overtime", "Overtime", builtIn, 1),
                                   def(4, "Transport Allowance", "Default", "Key in", 0)};
            d[common::DEDUCTIONS] = {def(3, "Rent", "Rent", "Defined in Master File", 1)};
            return d;
        }();
        return defs;
    }

    // The period file of the frequency's current period as the month end
    // keeps it, and the pay log's row for it.
    void writePeriod(common::PAYFREQ payFreq, const std::vector<Pay>& pays) {
        const std::string path = database::PAYLOGDB::getCurPeriodFile(payFreq, org);
        common::TaggedWriter w;
        ASSERT_TRUE(w.open(folder.resolve(path), common::TaggedWriter::Mode::Replace));
        payrunreports::PeriodHeader h;
        h.periodTitle = payrunreports::periodTitle(payFreq, org);
        h.payFreq = payFreq;
        h.orgName = org.name;
        h.itNum = org.itNum;
        h.nssfNum = org.nssfNum;
        h.poBox = org.poBox;
        h.postCode = org.postCode;
        h.town = org.town;
        h.telephone = org.telephone;
        ASSERT_TRUE(payrunreports::writePreamble(w, payrunreports::fileTitle(payFreq, org),
                                                 org.folder, path));
        ASSERT_TRUE(payrunreports::writeHeader(w, h));
        ASSERT_TRUE(payrunreports::writeDefinitions(w, definitions()));
        ASSERT_TRUE(w.writeTag(payrunreports::kRecordsBlock, common::TagKind::BlockStart));
        for (const Pay& p : pays)
            ASSERT_TRUE(payrunreports::writeRecord(w, record(p)));
        ASSERT_TRUE(w.writeTag(payrunreports::kRecordsBlock, common::TagKind::BlockEnd));
        ASSERT_TRUE(w.writeEof() && w.close());
        ASSERT_TRUE(database::PAYLOGDB(code, folder).updatePayLog(ui, payFreq, org));
    }

    // What the month end does for one frequency's period.
    void closePeriod(common::PAYFREQ payFreq, const std::vector<Pay>& pays) {
        writePeriod(payFreq, pays);
        MONTHDB store(owner, code, folder);
        ASSERT_TRUE(store.checkFiles(ui, org)) << messages();
        ASSERT_TRUE(store.updateFile(ui, payFreq, org, true)) << messages();
    }

    void closeFebruary() {
        org.month = "February";
        org.weekEndDay = 21;
        closePeriod(common::WEEKLY, {kKileo, kNjau1});
        org.weekEndDay = 28;
        closePeriod(common::WEEKLY, {kKileo, kNjau2});
        closePeriod(common::MONTHLY, {kMwakyusa, kBanda});
    }

    void closeMarch() {
        org.month = "March";
        org.weekEndDay = 28;
        closePeriod(common::MONTHLY, {kMwakyusa, kBandaMarch, kSalim});
        closePeriod(common::WEEKLY, {kKileo});
        org.month = "April";
        org.weekEndDay = 4;
    }

    common::REPORTPARAM param(std::int32_t reportCode, int month) const {
        common::REPORTPARAM p = common::newReportParam(reportCode, org);
        p.period.year = 2025;
        p.period.month = static_cast<std::uint8_t>(month);
        return p;
    }

    // A return read and laid out, its time of reading fixed.
    std::unique_ptr<MONTHREP> open(std::int32_t reportCode, int month) {
        auto report = prepareMonthReturn(ui, owner, code, folder, param(reportCode, month), org);
        if (report) {
            report->setReadStamp(common::ReadStamp::at({2025, 3, 4}, 9, 5));
            report->layOut();
        }
        return report;
    }

    std::string messages() const {
        std::string all;
        for (const auto& m : ui.messages)
            all += "[" + m.text + "] ";
        return all;
    }
};

} // namespace kelo::monthlyreturns::testing
