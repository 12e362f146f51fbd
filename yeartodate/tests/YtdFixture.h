#pragma once

#include "database/TransactionsRebuild.h"
#include "payrunreports/tests/GoldenFile.h"
#include "payrunreports/tests/PeriodFixture.h"
#include "yeartodate/YtdDb.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace kelo::yeartodate::testing {

using payrunreports::testing::bytesOf;
using payrunreports::testing::readableView;
using payrunreports::testing::writeBytes;

// Compares with the golden file under tests/golden.
inline void expectGolden(const std::string& actual, const std::string& name) {
    payrunreports::testing::expectGoldenIn(std::filesystem::path(__FILE__).parent_path() / "golden",
                                           actual, name);
}

// The worked monthly payroll of the period reports beside a weekly one:
// - MH006 Nyerere Asha, paid weekly from February: 150,000 a period with a
//   shift allowance of 12,000, neither PAYE nor NSSF; Dar es Salaam,
//   accountant in Head Office.
// The fortnightly and irregular payrolls are defined but empty. The year
// starts in January 2025.
struct YtdFixture : payrunreports::testing::PeriodFixture {
    void SetUp() override {
        PeriodFixture::SetUp();
        if (HasFatalFailure())
            return;
        for (common::PAYFREQ payFreq : {common::WEEKLY, common::BIWEEKLY, common::IRREGULAR})
            makeFrequency(payFreq, payFreq == common::WEEKLY ? weeklyDefs() : builtInsOnly());
        org.month = "January";
        ui.clear();
    }

    static common::PayItemDefs builtInsOnly() {
        common::PayItemDefs defs;
        defs.basicPay = builtIn("Basic Pay", "Use Built-In Function");
        defs.overtime = builtIn("Overtime", "Use Built-In Function");
        defs.rent = builtIn("Rent", "Defined in Master File", 1);
        return defs;
    }

    static common::PayItemDefs weeklyDefs() {
        common::PayItemDefs defs = builtInsOnly();
        defs.earnings = {def("Shift Allowance", "Default", "Key in")};
        return defs;
    }

    void makeFrequency(common::PAYFREQ payFreq, const common::PayItemDefs& defs) {
        ASSERT_TRUE(database::writePayFields(folder, org.folder, payFreq,
                                             database::payFieldsComment(payFreq),
                                             database::fieldTablesOf(defs)));
        database::VARDB pay(code, folder);
        ASSERT_TRUE(pay.setDefinitions(defs));
        ASSERT_TRUE(pay.createFile(ui, payFreq));
    }

    static Employee nyerere() {
        Employee e;
        common::STATICREC& r = e.rec;
        r.empNum = "MH006";
        r.lastName = "Nyerere";
        r.otherNames = "Asha";
        r.station = payrunreports::testing::kDarStation;
        r.payFreq = common::WEEKLY;
        r.salary = 150000;
        r.hoursPerDay = 8;
        r.hoursPerMonth = 40;
        e.personnel.unit = payrunreports::testing::kHeadOffice;
        e.personnel.job = payrunreports::testing::kAccountant;
        return e;
    }

    void hireNyerere() {
        hire(nyerere());
        common::PayItemDefs defs;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, common::WEEKLY, defs));
        database::VARDB pay(code, folder);
        ASSERT_TRUE(pay.setDefinitions(defs) && pay.openFile(common::WEEKLY));
        common::VARIATIONSREC rec = common::newVariationsRec(pay.definitions());
        rec.empNum = "MH006";
        rec.earnings[0].active = 1;
        rec.earnings[0].amount = 12000;
        ASSERT_TRUE(pay.appendRec(rec));
        pay.closeFile();
    }

    // A monthly earning defined in March: the table gets its columns.
    void addNightAllowance() {
        common::PayItemDefs defs = monthlyDefs();
        defs.earnings.push_back(def("Night Allowance", "Default", "Key in"));
        ASSERT_TRUE(database::writePayFields(folder, org.folder, common::MONTHLY,
                                             database::payFieldsComment(common::MONTHLY),
                                             database::fieldTablesOf(defs)));
        common::PayItemDefs loaded;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, common::MONTHLY, loaded));
        ASSERT_TRUE(database::rebuildTransactions(ui, code, folder, common::MONTHLY, loaded))
            << messages();
    }

    // Both payrolls' current month added to the year's file.
    void monthEnd(const char* month) {
        org.month = month;
        YTDDB db(owner, code, folder);
        ASSERT_TRUE(db.updateFile(ui, common::MONTHLY, org, true)) << messages();
        ASSERT_TRUE(db.updateFile(ui, common::WEEKLY, org, true)) << messages();
        ASSERT_TRUE(ui.messages.empty()) << messages();
    }

    // January: the monthly payroll as worked. February: MH001 works no
    // overtime and MH006 joins. March: the overtime is back and MH001 is
    // paid a night allowance of 7,000 on a new item.
    void threeMonths() {
        monthEnd("January");
        if (HasFatalFailure())
            return;
        edit("MH001", [](common::VARIATIONSREC& rec) { rec.normalOvertimeHours = 0; });
        hireNyerere();
        monthEnd("February");
        if (HasFatalFailure())
            return;
        addNightAllowance();
        edit("MH001", [](common::VARIATIONSREC& rec) {
            rec.normalOvertimeHours = 10;
            rec.earnings[2].active = 1;
            rec.earnings[2].amount = 7000;
        });
        monthEnd("March");
    }

    std::string yearFile() const { return folder.resolve("2025/ytd.dbf"); }
    std::string interimFile() const { return folder.resolve("2025/ytd.int"); }
};

} // namespace kelo::yeartodate::testing
