#pragma once

#include "common/TaggedFile.h"
#include "database/BanksDb.h"
#include "database/CoopsDb.h"
#include "database/PayFieldsFile.h"
#include "database/PayGroupDb.h"
#include "database/PayLogDb.h"
#include "database/PensionsDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "setup/ReportWizard.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::setup::wizardtest {

namespace fs = std::filesystem;
using common::PayItemDef;

inline PayItemDef payItem(std::string name, std::string type, int builtIn = 0) {
    PayItemDef d;
    d.itemName = std::move(name);
    d.itemType = std::move(type);
    d.itemFunction = "Key in";
    d.builtIn = builtIn;
    return d;
}

// The small definitions every pay field list is worked out from by hand.
inline database::PayFieldTables fixtureFields() {
    database::PayFieldTables t;
    t[common::EARNINGS] = {payItem("Basic Pay", "Basic Pay", 1), payItem("Overtime", "Overtime", 1),
                           payItem("Night Allowance", "Default"),
                           payItem("Casual Hours", "Hourly Pay")};
    t[common::DEDUCTIONS] = {payItem("Rent", "Rent", 1),
                             payItem("Salary Advance", "Advance"),
                             payItem("Car Loan", "Company Loan Payment"),
                             payItem("SACCO Loan", "Co-op Loan Payment"),
                             payItem("Savings Scheme", "Savings Plan Deposit"),
                             payItem("CRDB Loan", "Bank Loan Payment"),
                             payItem("Union Dues", "Default"),
                             payItem("Staff Advance", "Advance")};
    t[common::BENEFITS] = {payItem("Car Benefit", "Default")};
    t[common::LUMPSUMS] = {payItem("Leave Allowance", "Default"), payItem("Gratuity", "Default")};
    t[common::REFUNDS] = {payItem("Tax Refund", "Default")};
    for (auto& list : t) {
        std::int32_t position = 0;
        for (PayItemDef& d : list) {
            d.position = ++position;
            d.id = position;
        }
    }
    return t;
}

// An organisation in March 2024, paid monthly, with its lookup lists, a
// pay log of closed periods and the definitions above.
//
// Pay log: monthly February 2024 (file present), January 2024 (file
// missing), November 2023 (file written for another place); weekly, the
// week ending 1 March 2024 (file present).
class WizardFixture : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("system/settings"));
        for (const char* sub : {"org01/settings", "org01/database", "org01/2023", "org01/2024"})
            fs::create_directories(dir.file(sub));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.month = "March";
        org.year = 2024;
        org.fiscalYear = 2023;
        org.payFreq = common::MONTHLY;
        org.weekEndDay = 8;
        org.fortnightEndDay = 15;
        org.irregEndDay = 2;

        addNames<database::STATIONSDB>({"Mwanza", "Arusha"});
        addNames<database::PAYGROUPDB>({"Weekly Casuals"});
        addNames<database::COOPSDB>({"Teachers SACCO"});
        addNames<database::PENSIONSDB>({"PPF", "NSSF Supplementary"});
        addUnits();
        addBanks({"NBC", "CRDB"});

        database::PAYLOGDB log(code, folder);
        ASSERT_TRUE(log.createFile(ui));
        logPeriod(common::MONTHLY, "February", 2024, 0);
        logPeriod(common::MONTHLY, "January", 2024, 0);
        logPeriod(common::MONTHLY, "November", 2023, 0);
        logPeriod(common::WEEKLY, "March", 2024, 1);
        writeTagged("2024/mon02.dbf", common::fileKind::PeriodReports);
        writeTagged("2023/mon11.dbf", common::fileKind::PeriodReports, "2023/mon10.dbf");
        writeTagged("2024/wk0301.dbf", common::fileKind::PeriodReports);

        ASSERT_TRUE(database::writePayFields(folder, org.folder, common::MONTHLY,
                                             "Monthly payroll file", fixtureFields()));
        ui.clear();
    }

    template <class Table> void addNames(std::initializer_list<const char*> names) {
        Table table(code, folder);
        ASSERT_TRUE(table.createFile(ui));
        ASSERT_TRUE(table.openFile());
        long next = 0;
        for (const char* name : names) {
            engine::Data4& d = *table.data();
            ASSERT_EQ(d.appendStart(), engine::r4success);
            d.blank();
            d.field("CODE")->assignLong(++next);
            d.field("NAME")->assign(name);
            ASSERT_EQ(d.append(), engine::r4success);
        }
    }
    // Head Office (1) with Finance (2) under it; Stores (3) at the top.
    void addUnits() {
        database::UNITSDB units(code, folder);
        ASSERT_TRUE(units.createFile(ui));
        ASSERT_TRUE(units.openFile());
        for (database::UNITREC rec :
             {database::UNITREC{0, "Head Office", 0}, database::UNITREC{0, "Finance", 1},
              database::UNITREC{0, "Stores", 0}})
            ASSERT_TRUE(units.appendRecord(rec));
    }
    void addBanks(std::initializer_list<const char*> names) {
        database::BANKSDB banks(code, folder);
        ASSERT_TRUE(banks.newBankFile(ui));
        ASSERT_TRUE(banks.newBranchFile(ui));
        ASSERT_TRUE(banks.openFiles());
        int next = 0;
        for (const char* name : names) {
            engine::Data4& d = *banks.bankData();
            ASSERT_EQ(d.appendStart(), engine::r4success);
            d.blank();
            d.field("NAME")->assign(name);
            d.field("CODE")->assign(std::to_string(++next));
            ASSERT_EQ(d.append(), engine::r4success);
        }
    }
    void logPeriod(common::PAYFREQ payFreq, const char* month, int year, int weekEndDay) {
        common::ORGREC closed = org;
        closed.month = month;
        closed.year = year;
        closed.weekEndDay = weekEndDay;
        database::PAYLOGDB log(code, folder);
        ASSERT_TRUE(log.updatePayLog(ui, payFreq, closed));
    }
    // A tagged file with nothing but its identity and end, written for
    // `writtenAs` (its own path unless given).
    void writeTagged(const std::string& path, const char* kind, std::string writtenAs = {}) {
        common::TaggedWriter w(folder.resolve(path));
        ASSERT_TRUE(w.writePreamble(kind, writtenAs.empty() ? path : writtenAs,
                                    common::expectedVersion(kind)));
        ASSERT_TRUE(w.writeEof());
        ASSERT_TRUE(w.close());
    }

    // 10 March 2024.
    static constexpr common::date kToday{2024, 10, 3};

    ReportWizard wizard(std::int32_t reportCode) {
        return ReportWizard(ui, code, folder, org, reportCode, kToday);
    }
    // The one message shown since the last clear, with the system's caption.
    void expectMessage(const std::string& text, common::MessageIcon icon) {
        ASSERT_EQ(ui.messages.size(), 1u) << ui.lastMessage();
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].icon, icon);
        EXPECT_EQ(ui.messages[0].caption, "Kelo Roster");
        ui.clear();
    }
    std::vector<std::string> treeTexts(const testsupport::FakeDialogView& view, const char* control,
                                       common::DialogView::TreeItem parent) const {
        std::vector<std::string> out;
        for (auto item : view.treeChildren(control, parent))
            out.push_back(view.treeItemText(control, item));
        return out;
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    common::ORGREC org;
    testsupport::RecordingUi ui;
};

} // namespace kelo::setup::wizardtest
