#pragma once

#include "StatFrmFixture.h"
#include "database/BanksDb.h"
#include "database/NssfDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "staffrecords/VarDbEx.h"
#include "staffrecords/VarFrm.h"
#include "staffrecords/VarFrmControls.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/FakeDialogView.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kelo::staffrecords::testing {

// Where each item stands in its table of the monthly payroll.
namespace earning {
inline constexpr std::size_t kTransport = 0, kCasualHours = 1, kActing = 2;
}
namespace deduction {
inline constexpr std::size_t kUnionDues = 0, kStaffLoan = 1, kSaccosLoan = 2, kWalimu = 3,
                             kAfya = 4, kPsssf = 5, kNssfSupplementary = 6, kCrdbLoan = 7,
                             kSavings = 8, kUniform = 9, kWelfareLoan = 10;
}
inline constexpr std::size_t kMotorVehicle = 0, kLeaveBonus = 0, kTaxRefund = 0;
// The weekly payroll's deductions.
namespace weekly {
inline constexpr std::size_t kStaffLoan = 0, kBankLoan = 1, kSavings = 2, kAdvance = 3;
}

// An organisation paying monthly, with the tax tables of its fiscal year
// (2025), the banks, and two payrolls:
// - monthly: earnings "Transport Allowance" (keyed, 20,000 to 500,000),
//   "Casual Hours" (hourly, rate keyed), "Acting Allowance" (10 % of
//   salary); eleven deductions of every kind; one benefit, lump sum and
//   refund, all keyed;
// - weekly: a bonus, and a company loan, bank loan, savings plan and
//   advance among the deductions.
// Employees, by number:
// - MH001 Mwakyusa: monthly, salary 1,000,000 for 200 hours, overtime at
//   7,500 and 10,000 an hour, bank transfer, in co-operative 1 (Walimu
//   SACCOS) and pension fund 2 (PSSSF);
// - MH002 Banda: monthly, 450,000, time keyed as days absent, cash;
// - MH003 Kileo: weekly;
// - MH004 Salim: monthly, removed from the payroll;
// - MH005 Okello: monthly, terminated and separated (read-only).
struct VarFrmFixture : StaffFixture {
    testsupport::FakeDialogView page;
    testsupport::FakeDialogView dlg;
    std::unique_ptr<VARFRM> form;

    void SetUp() override {
        StaffFixture::SetUp();
        if (HasFatalFailure())
            return;
        org.year = 2025;
        org.payFreq = common::MONTHLY;
        org.formSortKey = common::kSortByEmpNum;
        org.taxEmployerPension = 1;
        org.paySdl = 1;
        makeTaxTables();
        makeBanks();
        define(common::MONTHLY, monthlyDefs());
        define(common::WEEKLY, weeklyDefs());
        if (HasFatalFailure())
            return;
        for (const common::STATICREC& e : staff()) {
            enrol(e);
            if (HasFatalFailure())
                return;
        }
        edit("MH004", [](common::VARIATIONSREC& rec) { rec.removed = 1; });
        ui.clear();
        form = std::make_unique<VARFRM>(ui, code, folder);
    }

    void TearDown() override { form.reset(); }

    // PAYE bands: 0 % to 270,000; 8 % to 520,000; 20 % to 760,000; 25 % to
    // 1,000,000; 30 % above. NSSF 10 % from each side; pension relief up to
    // 300,000; statutory interest 12 %; SDL 4 %.
    void makeTaxTables() {
        writeYearTable<database::PAYEDB>(std::vector<database::PAYEREC>{{0, 270000, 0},
                                                                        {270001, 520000, 8},
                                                                        {520001, 760000, 20},
                                                                        {760001, 1000000, 25},
                                                                        {1000001, 1000001, 30}});
        writeYearTable<database::NSSFDB>(std::vector<database::NSSFREC>{{10, 10}});
        writeYearTable<database::PAYEPARAMDB>(
            std::vector<database::PAYEPARAMREC>{{300000, 12, 12}});
        writeYearTable<database::SDLDB>(std::vector<database::SDLREC>{{4}});
    }

    template <class Table, class Row> void writeYearTable(const std::vector<Row>& rows) {
        Table table(code, folder);
        const std::string path = folder.resolve(table.yearPath(org.fiscalYear));
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const database::Schema schema = Table::tableSchema();
        auto data = engine::Data4::create(code, path, schema.fields, schema.tags);
        ASSERT_TRUE(data) << path;
        for (const Row& row : rows) {
            ASSERT_EQ(data->appendStart(), engine::r4success);
            data->blank();
            Table::store(*data, row);
            ASSERT_EQ(data->append(), engine::r4success);
        }
        data->close();
    }

    void makeBanks() {
        database::BANKSDB banks(code, folder);
        ASSERT_TRUE(banks.newBankFile(ui));
        ASSERT_TRUE(banks.newBranchFile(ui));
        ASSERT_TRUE(banks.openFiles());
        StatFrmFixture::addRow(*banks.bankData(), {{"NAME", "CRDB Bank"}, {"CODE", "03"}});
        StatFrmFixture::addRow(*banks.bankData(), {{"NAME", "NMB Bank"}, {"CODE", "12"}});
        StatFrmFixture::addRow(*banks.branchData(),
                               {{"BANK", "CRDB Bank"}, {"NAME", "Mbeya"}, {"CODE", "101"}});
        StatFrmFixture::addRow(*banks.branchData(),
                               {{"BANK", "CRDB Bank"}, {"NAME", "Tukuyu"}, {"CODE", "102"}});
        StatFrmFixture::addRow(*banks.branchData(),
                               {{"BANK", "NMB Bank"}, {"NAME", "Mbeya"}, {"CODE", "201"}});
        banks.closeFiles();
    }

    static std::shared_ptr<common::PayItemDef> keyed(std::string name, double lower = 0,
                                                     double upper = 1e9) {
        auto d = itemDef(std::move(name), "Default", "Key in");
        d->lowerLimit = lower;
        d->upperLimit = upper;
        return d;
    }

    static common::PayItemDefs monthlyDefs() {
        common::PayItemDefs defs = builtInDefs();
        auto hourly = itemDef("Casual Hours", "Hourly Pay", "Based on Hours Worked");
        hourly->funcParams.rateKind = 1;
        auto acting = itemDef("Acting Allowance", "Default", "Percentage of Salary");
        acting->funcParams.percentage = 10;
        defs.earnings = {keyed("Transport Allowance", 20000, 500000), hourly, acting};
        auto psssf = itemDef("PSSSF", "Pension Contribution", "Percentage of Basic Pay");
        psssf->funcParams.percentage = 5;
        psssf->taxable = 0;
        psssf->link =
            common::PayItemLink{2, common::EmployerContribution{"Key in", 1, 10000, 100000, 0}};
        auto supplementary = itemDef("NSSF Supplementary", "Pension Contribution", "Key in");
        supplementary->taxable = 0;
        supplementary->link = common::PayItemLink{
            1, common::EmployerContribution{"Percentage of Basic Pay", 0, 0, 0, 5}};
        defs.deductions = {
            keyed("Union Dues", 1000, 50000),
            itemDef("Staff Loan", "Company Loan Payment", "Amortise"),
            itemDef("SACCOS Loan", "Co-op Loan Payment", "Key in", 1),
            itemDef("Walimu SACCOS", "Co-op Contribution", "Key in", 1),
            itemDef("Afya SACCOS", "Co-op Contribution", "Key in", 2),
            psssf,
            supplementary,
            itemDef("CRDB Loan", "Bank Loan Payment", "Key in"),
            itemDef("Staff Savings", "Savings Plan Deposit", "Key in"),
            itemDef("Uniform", "Cost Recovery", "Key in"),
            itemDef("Welfare Loan", "Default", "Use Reducing Balance"),
        };
        defs.benefits = {keyed("Motor Vehicle Benefit")};
        defs.lumpSums = {keyed("Leave Bonus")};
        defs.refunds = {keyed("Tax Refund")};
        return defs;
    }

    static common::PayItemDefs weeklyDefs() {
        common::PayItemDefs defs = builtInDefs();
        defs.earnings = {keyed("Plucking Bonus")};
        defs.deductions = {itemDef("Staff Loan", "Company Loan Payment", "Amortise"),
                           itemDef("CRDB Loan", "Bank Loan Payment", "Key in"),
                           itemDef("Staff Savings", "Savings Plan Deposit", "Key in"),
                           keyed("Salary Advance")};
        return defs;
    }

    common::STATICREC person(std::string empNum, std::string lastName, std::string otherNames,
                             double salary, common::PAYFREQ payFreq = common::MONTHLY) {
        common::STATICREC e = employee(std::move(empNum), salary, payFreq);
        e.lastName = std::move(lastName);
        e.otherNames = std::move(otherNames);
        e.hoursPerMonth = 200;
        return e;
    }

    std::vector<common::STATICREC> staff() {
        common::STATICREC mwakyusa = person("MH001", "Mwakyusa", "Emmanuel", 1000000);
        mwakyusa.overtimeEligible = 1;
        mwakyusa.normalOvertimeRate = 7500;
        mwakyusa.doubleOvertimeRate = 10000;
        mwakyusa.payMethod = common::kPayByBankTransfer;
        mwakyusa.bankName = "CRDB Bank";
        mwakyusa.branchName = "Mbeya";
        mwakyusa.accountNum = "0152000001";
        mwakyusa.coop1 = 1;
        mwakyusa.pensionFund1 = 2;
        common::STATICREC banda = person("MH002", "Banda", "Grace", 450000);
        banda.timeBasis = common::kTimeDaysAbsent;
        common::STATICREC okello = person("MH005", "Okello", "Peter", 500000);
        okello.terminated = 1;
        okello.separated = 1;
        return {mwakyusa, banda, person("MH003", "Kileo", "Ali", 60000, common::WEEKLY),
                person("MH004", "Salim", "Juma", 300000), okello};
    }

    void enrol(const common::STATICREC& e) {
        hire(e);
        if (HasFatalFailure())
            return;
        testsupport::RecordingUi owner;
        VARDBEX transactions(owner, code, folder);
        ASSERT_TRUE(transactions.appendNewRec(ui, e));
    }

    // The values keyed for Mwakyusa's worked example.
    static void workedExample(common::VARIATIONSREC& rec) {
        rec.normalOvertimeHours = 10;
        rec.earnings[earning::kTransport].active = 1;
        rec.earnings[earning::kTransport].amount = 100000;
        rec.deductions[deduction::kUnionDues].active = 1;
        rec.deductions[deduction::kUnionDues].amount = 10000;
        common::PayItem& loan = rec.deductions[deduction::kStaffLoan];
        loan.active = 1;
        loan.amount = 100000;
        loan.params = common::LoanParams{1200000, 0, 12, 1, 1};
        rec.benefits[kMotorVehicle].active = 1;
        rec.benefits[kMotorVehicle].amount = 50000;
        rec.lumpSums[kLeaveBonus].active = 1;
        rec.lumpSums[kLeaveBonus].amount = 200000;
        rec.lumpSumTax = 20000;
        rec.refunds[kTaxRefund].active = 1;
        rec.refunds[kTaxRefund].amount = 5000;
    }

    // The record as stored, read with a table of its own.
    common::VARIATIONSREC stored(const std::string& empNum,
                                 common::PAYFREQ payFreq = common::MONTHLY) {
        common::VARIATIONSREC rec;
        database::VARDB table(code, folder);
        common::PayItemDefs defs;
        EXPECT_TRUE(database::loadPayItemDefs(ui, folder, payFreq, defs));
        EXPECT_TRUE(table.setDefinitions(defs) && table.openFile(payFreq));
        table.orderByEmpNum1();
        EXPECT_TRUE(table.seekEmpNum(empNum) && table.initRec(rec)) << empNum;
        return rec;
    }

    // Changes the stored record as this process.
    void edit(const std::string& empNum, const std::function<void(common::VARIATIONSREC&)>& change,
              common::PAYFREQ payFreq = common::MONTHLY) {
        database::VARDB table(code, folder);
        common::PayItemDefs defs;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, payFreq, defs));
        ASSERT_TRUE(table.setDefinitions(defs) && table.openFile(payFreq));
        table.orderByEmpNum1();
        common::VARIATIONSREC rec;
        ASSERT_TRUE(table.seekEmpNum(empNum) && table.initRec(rec)) << empNum;
        change(rec);
        ASSERT_TRUE(table.updateFields(rec));
        table.closeFile();
    }

    // Changes the stored record as another user: a process of its own.
    void editAsOtherUser(const std::string& empNum,
                         const std::function<void(common::VARIATIONSREC&)>& change) {
        const int status = testsupport::runInChild([&] {
            engine::Code4 other;
            testsupport::RecordingUi quiet;
            database::VARDB table(other, folder);
            common::PayItemDefs defs;
            if (!database::loadPayItemDefs(quiet, folder, common::MONTHLY, defs) ||
                !table.setDefinitions(defs) || !table.openFile(common::MONTHLY))
                return 1;
            table.orderByEmpNum1();
            common::VARIATIONSREC rec;
            if (!table.seekEmpNum(empNum) || !table.initRec(rec))
                return 2;
            change(rec);
            return table.updateFields(rec) ? 0 : 3;
        });
        ASSERT_EQ(status, 0);
    }

    std::string transactionsPath(common::PAYFREQ payFreq = common::MONTHLY) const {
        return folder.resolve(common::transactionsTablePath(payFreq));
    }

    // The record number of the employee's transactions row.
    long rowOf(const std::string& empNum) { return static_cast<long>(stored(empNum).recNo); }

    void openForm() {
        ASSERT_TRUE(form->checkFiles(org)) << ui.lastMessage();
        ASSERT_TRUE(form->open(org)) << ui.lastMessage();
        ui.clear();
    }

    // The window's page switch: the page is shown and filled.
    void show(VARPAGE number) {
        page = testsupport::FakeDialogView();
        form->setPage(page, number);
        form->displayPage();
    }

    void moveTo(const std::string& empNum) {
        ASSERT_TRUE(form->findEmpNum(empNum)) << ui.lastMessage();
        ASSERT_EQ(form->getEmployee().empNum, empNum);
    }

    // The visible row showing the item, or -1.
    int rowNamed(const std::string& name) const {
        for (int row = 0; row < varfrm::kRows; ++row) {
            if (page.isVisible(varfrm::kItemName[row]) && page.text(varfrm::kItemName[row]) == name)
                return row;
        }
        return -1;
    }

    void expectOneMessage(const std::string& text) {
        std::string all;
        for (const auto& m : ui.messages)
            all += "[" + m.text + "] ";
        EXPECT_EQ(ui.messages.size(), 1u) << all;
        if (!ui.messages.empty()) {
            EXPECT_EQ(ui.messages.front().text, text);
            EXPECT_EQ(ui.messages.front().caption, "Kelo Roster");
        }
        ui.clear();
    }

    void expectNoMessage() {
        std::string all;
        for (const auto& m : ui.messages)
            all += "[" + m.text + "] ";
        EXPECT_TRUE(ui.messages.empty()) << all;
    }
};

} // namespace kelo::staffrecords::testing
