#pragma once

// A monthly payroll of N employees with twelve pay items each, in a data
// folder of its own, for the benchmarks of the reports.

#include "common/OrgRecords.h"
#include "common/WorkingFolder.h"
#include "database/BanksDb.h"
#include "database/CoopsDb.h"
#include "database/JobsDb.h"
#include "database/NssfDb.h"
#include "database/OptionsDb.h"
#include "database/PayFieldsFile.h"
#include "database/PayGroupDb.h"
#include "database/PayLogDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/PensionsDb.h"
#include "database/SdlDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "database/VarDb.h"
#include "engine/Data4.h"
#include "engine/Field4.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kelo::bench {

[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "benchmark: %s\n", what.c_str());
    std::abort();
}

inline std::shared_ptr<common::PayItemDef> def(std::string name, std::string type,
                                               std::string function, std::int32_t link = 0) {
    auto d = std::make_shared<common::PayItemDef>();
    d->itemName = std::move(name);
    d->itemType = std::move(type);
    d->itemFunction = std::move(function);
    d->taxable = 1;
    d->upperLimit = 1e9;
    d->builtIn = d->itemType == d->itemName;
    if (link)
        d->link = common::PayItemLink{link, std::nullopt};
    return d;
}

// Twelve items of the kinds a real payroll carries, one of each kind whose
// figures the file projects.
inline common::PayItemDefs twelveItems() {
    common::PayItemDefs d;
    d.basicPay = def("Basic Pay", "Basic Pay", "Use Built-In Function");
    d.overtime = def("Overtime", "Overtime", "Use Built-In Function");
    d.rent = def("Rent", "Rent", "Defined in Master File");
    auto pension = def("Pension", "Pension Contribution", "Percentage of Basic Pay", 1);
    pension->funcParams.percentage = 5;
    pension->taxable = 0;
    d.earnings = {def("Acting", "Default", "Key in"),
                  def("Casual Hours", "Hourly Pay", "Based on Hours Worked")};
    d.deductions = {def("Staff Loan", "Company Loan Payment", "Amortise"),
                    def("Coop Loan", "Co-op Loan Payment", "Key in", 1),
                    def("Coop Saving", "Co-op Contribution", "Key in", 1),
                    pension,
                    def("Savings", "Savings Plan Deposit", "Key in"),
                    def("Bank Loan", "Bank Loan Payment", "Key in"),
                    def("Uniform", "Cost Recovery", "Key in")};
    d.benefits = {def("Car", "Default", "Key in")};
    d.lumpSums = {def("Bonus", "Default", "Key in")};
    d.refunds = {def("Refund", "Default", "Key in")};
    return d;
}

template <class Table, class Row>
void writeYearTable(engine::Code4& code, const common::WorkingFolder& folder, int year,
                    const std::vector<Row>& rows) {
    Table table(code, folder);
    const std::string path = folder.resolve(table.yearPath(year));
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const database::Schema schema = Table::tableSchema();
    auto data = engine::Data4::create(code, path, schema.fields, schema.tags);
    if (!data)
        fail("cannot create " + path);
    for (const Row& row : rows) {
        data->appendStart();
        data->blank();
        Table::store(*data, row);
        if (data->append() != engine::r4success)
            fail("cannot fill " + path);
    }
    data->close();
}

inline void addNames(testsupport::RecordingUi& ui, database::LookupTable& table,
                     const std::vector<std::string>& names) {
    if (!table.createFile(ui) || !table.openFile())
        fail("cannot create " + table.relativePath());
    engine::Data4& d = *table.data();
    for (std::size_t i = 0; i < names.size(); ++i) {
        d.appendStart();
        d.blank();
        d.field("CODE")->assignLong(static_cast<long>(i + 1));
        d.field(table.nameColumn())->assign(names[i]);
        if (d.append() != engine::r4success)
            fail("cannot fill " + table.relativePath());
    }
    table.closeFile();
}

inline void addRow(engine::Data4& d, std::vector<std::pair<const char*, const char*>> columns) {
    d.appendStart();
    d.blank();
    for (const auto& [column, value] : columns)
        d.field(column)->assign(value);
    if (d.append() != engine::r4success)
        fail("cannot fill the banks");
}

// The bank everyone is paid into: CRDB Bank, its Mbeya branch.
inline void makeBanks(testsupport::RecordingUi& ui, engine::Code4& code,
                      const common::WorkingFolder& folder) {
    database::BANKSDB banks(code, folder);
    if (!banks.newBankFile(ui) || !banks.newBranchFile(ui) || !banks.openFiles())
        fail("cannot create the banks");
    addRow(*banks.bankData(), {{"NAME", "CRDB Bank"}, {"CODE", "03"}});
    addRow(*banks.branchData(), {{"BANK", "CRDB Bank"}, {"NAME", "Mbeya"}, {"CODE", "101"}});
    banks.closeFiles();
}

struct Payroll {
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    common::ORGREC org;

    // Every employee monthly, or one in four in each pay frequency.
    explicit Payroll(long employees, bool everyFrequency = false) {
        for (const char* sub :
             {"system/settings", "org01/database", "org01/settings", "org01/2025"})
            std::filesystem::create_directories(dir.file(sub));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.name = "Bench Ltd";
        org.month = "March";
        org.year = 2025;
        org.fiscalYear = 2024;
        org.paySdl = 1;
        org.bankName = "CRDB Bank";
        org.branchName = "Mbeya";
        org.accountNum = "015-2299-001";
        writeYearTable<database::PAYEDB>(code, folder, org.fiscalYear,
                                         std::vector<database::PAYEREC>{{0, 270000, 0},
                                                                        {270001, 520000, 8},
                                                                        {520001, 760000, 20},
                                                                        {760001, 1000000, 25},
                                                                        {1000001, 1000001, 30}});
        writeYearTable<database::NSSFDB>(code, folder, org.fiscalYear,
                                         std::vector<database::NSSFREC>{{10, 10}});
        writeYearTable<database::PAYEPARAMDB>(
            code, folder, org.fiscalYear, std::vector<database::PAYEPARAMREC>{{300000, 12, 12}});
        writeYearTable<database::SDLDB>(code, folder, org.fiscalYear,
                                        std::vector<database::SDLREC>{{4}});
        database::UNITSDB units(code, folder);
        if (!units.createFile(ui) || !units.openFile())
            fail("cannot create the units");
        database::UNITREC head{0, "Head Office", 0};
        units.appendRecord(head);
        for (const char* name : {"Finance", "Field", "Stores"}) {
            database::UNITREC unit{0, name, head.code};
            units.appendRecord(unit);
        }
        units.closeFile();
        makeBanks(ui, code, folder);
        database::JOBSDB jobs(code, folder);
        addNames(ui, jobs, {"Manager", "Accountant", "Clerk", "Driver"});
        database::STATIONSDB stations(code, folder);
        addNames(ui, stations, {"Dar es Salaam", "Mbeya"});
        database::PAYGROUPDB payGroups(code, folder);
        addNames(ui, payGroups, {"Management", "Office Staff"});
        database::COOPSDB coops(code, folder);
        addNames(ui, coops, {"Walimu SACCOS"});
        database::PENSIONSDB pensions(code, folder);
        addNames(ui, pensions, {"PSSSF"});
        if (!database::OPTIONSDB(code, folder).createFile(ui) ||
            !database::PAYLOGDB(code, folder).createFile(ui))
            fail("cannot create the options and the pay log");

        const common::PayItemDefs defs = twelveItems();
        const std::vector<common::PAYFREQ> frequencies =
            everyFrequency
                ? std::vector<common::PAYFREQ>(common::kPayFreqs.begin(), common::kPayFreqs.end())
                : std::vector<common::PAYFREQ>{common::MONTHLY};
        database::STATDB staff(code, folder);
        if (!staff.createFile(ui) || !staff.openFile(true))
            fail("cannot create the personnel table");
        std::vector<std::unique_ptr<database::VARDB>> pays;
        for (common::PAYFREQ payFreq : frequencies) {
            auto& pay = *pays.emplace_back(std::make_unique<database::VARDB>(code, folder));
            if (!database::writePayFields(folder, org.folder, payFreq, "Payroll file",
                                          database::fieldTablesOf(defs)) ||
                !pay.setDefinitions(defs) || !pay.createFile(ui, payFreq) ||
                !pay.openFile(payFreq, true))
                fail("cannot create the transactions tables");
        }
        for (int n = 0; n < static_cast<int>(employees); ++n) {
            const std::size_t which = static_cast<std::size_t>(n) % frequencies.size();
            database::VARDB& pay = *pays[which];
            common::STATICREC e;
            e.empNum = "E" + std::to_string(100000 + n);
            e.payFreq = frequencies[which];
            e.lastName = "Name" + std::to_string(n % 311);
            e.otherNames = "Other";
            e.salary = 300000 + 1000.0 * static_cast<double>(n % 500);
            e.hoursPerDay = 8;
            e.hoursPerMonth = 176;
            e.payeApplies = e.nssfMember = 1;
            e.station = 1 + n % 2;
            e.coop1 = 1;
            e.payMethod = common::kPayByBankTransfer;
            e.bankName = "CRDB Bank";
            e.branchName = "Mbeya";
            e.accountNum = "0150-" + std::to_string(100000 + n);
            e.pensionFund1 = 1;
            database::PERSONNELREC personnel;
            personnel.unit = 1 + n % 4;
            personnel.job = 1 + n % 4;
            personnel.payGroup = 1 + n % 2;
            if (!staff.updateFields(e, personnel, true))
                fail("cannot add an employee");
            common::VARIATIONSREC rec = common::newVariationsRec(pay.definitions());
            rec.empNum = e.empNum;
            for (auto table : common::kFieldsTables)
                for (common::PayItem& item : *rec.items(table)) {
                    item.active = 1;
                    item.amount = 5000;
                    if (auto* loan = std::get_if<common::LoanParams>(&item.params))
                        *loan = {1e7, 6, 600, 0, 1};
                    if (auto* bank = std::get_if<common::BankLoanParams>(&item.params))
                        bank->paymentsLeft = 600;
                    if (auto* recovery = std::get_if<common::CostRecoveryParams>(&item.params))
                        recovery->balance = 1e7;
                    if (auto* hours = std::get_if<common::HourlyParams>(&item.params))
                        *hours = {4, 1500};
                }
            if (!pay.appendRec(rec))
                fail("cannot add a transactions record");
        }
        staff.closeFile();
        for (auto& pay : pays)
            pay->closeFile();
    }
};

} // namespace kelo::bench
