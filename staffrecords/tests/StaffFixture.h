#pragma once

#include "database/CoopsDb.h"
#include "database/OptionsDb.h"
#include "database/PayFieldsFile.h"
#include "database/PensionsDb.h"
#include "database/StaticDb.h"
#include "database/VarDb.h"
#include "engine/Data4.h"
#include "engine/Field4.h"
#include "engine/TableFile.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kelo::staffrecords::testing {

inline std::shared_ptr<common::PayItemDef> itemDef(std::string name, std::string type,
                                                   std::string function, std::int32_t link = 0) {
    auto d = std::make_shared<common::PayItemDef>();
    d->itemName = std::move(name);
    d->itemType = std::move(type);
    d->itemFunction = std::move(function);
    d->taxable = 1;
    d->upperLimit = 1e9;
    if (link)
        d->link = common::PayItemLink{link, std::nullopt};
    return d;
}

inline std::shared_ptr<common::PayItemDef> builtInDef(std::string name, std::string function,
                                                      int isStatic = 0) {
    auto d = itemDef(name, name, std::move(function));
    d->builtIn = 1;
    d->isStatic = isStatic;
    return d;
}

// The built-in items and nothing else.
inline common::PayItemDefs builtInDefs() {
    common::PayItemDefs defs;
    defs.basicPay = builtInDef("Basic Pay", "Use Built-In Function");
    defs.overtime = builtInDef("Overtime", "Use Built-In Function");
    defs.rent = builtInDef("Rent", "Defined in Master File", 1);
    return defs;
}

// An organisation folder (org01 of a data folder) with a personnel file,
// the co-operatives and pension funds lists, and the transactions table
// and definitions file of every frequency, all with the built-in items only.
struct StaffFixture : ::testing::Test {
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    common::ORGREC org;

    void SetUp() override {
        for (const char* sub : {"system/settings", "org01/database", "org01/settings"})
            std::filesystem::create_directories(dir.file(sub));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.month = "March";
        org.fiscalYear = 2025;
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.createFile(ui));
        database::COOPSDB coops(code, folder);
        ASSERT_TRUE(coops.createFile(ui));
        addLookup(coops, {{1, "Walimu SACCOS"}, {2, "Afya SACCOS"}});
        database::PENSIONSDB funds(code, folder);
        ASSERT_TRUE(funds.createFile(ui));
        addLookup(funds, {{1, "NSSF Supplementary"}, {2, "PSSSF"}});
        ASSERT_TRUE(database::OPTIONSDB(code, folder).createFile(ui));
        for (std::size_t f = 0; f < common::kPayFreqCount; ++f)
            define(static_cast<common::PAYFREQ>(f), builtInDefs());
        ui.clear();
    }

    void addLookup(database::LookupTable& table, std::vector<database::LookupEntry> entries) {
        ASSERT_TRUE(table.openFile());
        engine::Data4& d = *table.data();
        for (const auto& e : entries) {
            ASSERT_EQ(d.appendStart(), engine::r4success);
            d.blank();
            d.field("CODE")->assignLong(e.code);
            d.field("NAME")->assign(e.name);
            ASSERT_EQ(d.append(), engine::r4success);
        }
        table.closeFile();
    }

    // Writes the definitions file and creates the empty table for them.
    void define(common::PAYFREQ payFreq, const common::PayItemDefs& defs) {
        ASSERT_TRUE(database::writePayFields(folder, org.folder, payFreq,
                                             database::payFieldsComment(payFreq),
                                             database::fieldTablesOf(defs)));
        const std::string path = folder.resolve(common::transactionsTablePath(payFreq));
        std::filesystem::remove(path);
        std::filesystem::remove(engine::companionPath(path, "cdx"));
        database::VARDB table(code, folder);
        ASSERT_TRUE(table.setDefinitions(defs));
        ASSERT_TRUE(table.createFile(ui, payFreq));
    }

    common::STATICREC employee(std::string empNum, double salary,
                               common::PAYFREQ payFreq = common::MONTHLY) {
        common::STATICREC e;
        e.empNum = std::move(empNum);
        e.lastName = "Mushi";
        e.otherNames = "Neema";
        e.payFreq = payFreq;
        e.salary = salary;
        e.hoursPerDay = 8;
        e.hoursPerMonth = 176;
        e.payeApplies = 1;
        e.nssfMember = 1;
        return e;
    }

    // Adds or replaces the employee in the personnel file.
    void hire(const common::STATICREC& e) {
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.openFile());
        staff.orderByEmpNum();
        const bool found = staff.seekEmpNum(e.empNum);
        ASSERT_TRUE(staff.updateFields(e, !found));
        staff.closeFile();
    }

    void fire(const std::string& empNum) {
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.openFile());
        staff.orderByEmpNum();
        ASSERT_TRUE(staff.seekEmpNum(empNum));
        staff.data()->lockAll();
        staff.data()->deleteRec();
        staff.data()->write();
        staff.data()->pack();
        staff.closeFile();
    }
};

} // namespace kelo::staffrecords::testing
