#pragma once

#include "ReadableView.h"
#include "common/TaggedFile.h"
#include "database/AbsenceDb.h"
#include "database/CoopsDb.h"
#include "database/JobsDb.h"
#include "database/LeaveDb.h"
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
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"
#include "payrunreports/tests/LookupNames.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace kelo::payrunreports::testing {

// Codes of the lookup lists.
inline constexpr long kHeadOffice = 1, kFinance = 2; // Finance under Head Office
inline constexpr long kManager = 1, kAccountant = 2;
inline constexpr long kDarStation = 1, kMbeyaStation = 2;
inline constexpr long kManagement = 1, kOfficeStaff = 2;
inline constexpr long kWalimu = 1, kAfya = 2;         // co-operatives
inline constexpr long kSupplementary = 1, kPsssf = 2; // pension funds

// Where the items stand in the employees' lists.
namespace earning {
inline constexpr std::size_t kTransport = 0, kCasualHours = 1;
}
namespace deduction {
inline constexpr std::size_t kStaffLoan = 0, kWalimu = 1, kPsssf = 2, kCrdbLoan = 3, kSavings = 4,
                             kUniform = 5;
}

// An organisation in March 2025 (fiscal year 2024) paying monthly, with
// every table the period file is made from, and this payroll:
// - MH001 Mwakyusa: salary 1,000,000, ten hours of overtime at 7,500, a
//   transport allowance, a loan, a co-operative, a pension fund, a bank
//   loan, savings and a cost recovery paid off this month, a benefit, a lump
//   sum with its tax and a refund; paid by bank.
// - MH002 Banda: 20,000 a day less two days absent, casual hours, housed
//   with rent, an overdraft and a rounding brought forward; paid in cash,
//   net pay rounded to 1,000.
// - MH003 Kileo: 1,250.75 an hour for 150.5 hours, no PAYE nor NSSF; paid
//   by cheque.
// - MH004 Salim: removed from the payroll.
// - MH005: a transactions record without a master row.
// Tax: 0 % to 270,000, 8 % to 520,000, 20 % to 760,000, 25 % to 1,000,000,
// 30 % above; NSSF 10 % each side; pension relief up to 300,000;
// statutory interest 12 % (January to June); SDL 4 %.
struct PeriodFixture : ::testing::Test {
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    testsupport::RecordingUi owner;
    common::ORGREC org;

    void SetUp() override {
        for (const char* sub :
             {"system/settings", "org01/database", "org01/settings", "org01/2025"})
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
        org.month = "March";
        org.year = 2025;
        org.fiscalYear = 2024;
        org.weekEndDay = 7;
        org.fortnightEndDay = 14;
        org.irregEndDay = 2;
        org.payFreq = common::MONTHLY;
        org.paySdl = 1;
        org.roundNetPay = 1;
        org.roundingUnit = 1000;
        makeTaxTables();
        makeLists();
        makePayroll();
        ui.clear();
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

    void makeTaxTables() {
        writeYearTable<database::PAYEDB>(std::vector<database::PAYEREC>{{0, 270000, 0},
                                                                        {270001, 520000, 8},
                                                                        {520001, 760000, 20},
                                                                        {760001, 1000000, 25},
                                                                        {1000001, 1000001, 30}});
        writeYearTable<database::NSSFDB>(std::vector<database::NSSFREC>{{10, 10}});
        // July to December 10 %, January to June 12 %.
        writeYearTable<database::PAYEPARAMDB>(
            std::vector<database::PAYEPARAMREC>{{300000, 10, 12}});
        writeYearTable<database::SDLDB>(std::vector<database::SDLREC>{{4}});
    }

    void makeLists() {
        database::UNITSDB units(code, folder);
        ASSERT_TRUE(units.createFile(ui));
        ASSERT_TRUE(units.openFile());
        database::UNITREC head{0, "Head Office", 0};
        ASSERT_TRUE(units.appendRecord(head));
        database::UNITREC finance{0, "Finance", head.code};
        ASSERT_TRUE(units.appendRecord(finance));
        units.closeFile();
        database::JOBSDB jobs(code, folder);
        addNames(ui, jobs, {"Manager", "Accountant"});
        database::STATIONSDB stations(code, folder);
        addNames(ui, stations, {"Dar es Salaam", "Mbeya"});
        database::PAYGROUPDB payGroups(code, folder);
        addNames(ui, payGroups, {"Management", "Office Staff"});
        database::COOPSDB coops(code, folder);
        addNames(ui, coops, {"Walimu SACCOS", "Afya SACCOS"});
        database::PENSIONSDB pensions(code, folder);
        addNames(ui, pensions, {"NSSF Supplementary", "PSSSF"});
        ASSERT_TRUE(database::OPTIONSDB(code, folder).createFile(ui));
        ASSERT_TRUE(database::PAYLOGDB(code, folder).createFile(ui));
        ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).createFile(ui));
        ASSERT_TRUE(database::LEAVEDB(code, folder, ui).createFile(ui));
    }

    static std::shared_ptr<common::PayItemDef> def(std::string name, std::string type,
                                                   std::string function, long link = 0) {
        auto d = std::make_shared<common::PayItemDef>();
        d->itemName = std::move(name);
        d->itemType = std::move(type);
        d->itemFunction = std::move(function);
        d->taxable = 1;
        d->upperLimit = 1e9;
        if (link)
            d->link = common::PayItemLink{static_cast<std::int32_t>(link), std::nullopt};
        return d;
    }

    static std::shared_ptr<common::PayItemDef> builtIn(std::string name, std::string function,
                                                       int isStatic = 0) {
        auto d = def(name, name, std::move(function));
        d->builtIn = 1;
        d->isStatic = isStatic;
        return d;
    }

    static common::PayItemDefs monthlyDefs() {
        common::PayItemDefs defs;
        defs.basicPay = builtIn("Basic Pay", "Use Built-In Function");
        defs.overtime = builtIn("Overtime", "Use Built-In Function");
        defs.rent = builtIn("Rent", "Defined in Master File", 1);
        auto transport = def("Transport Allowance", "Default", "Key in");
        transport->lowerLimit = 20000;
        transport->upperLimit = 500000;
        auto hours = def("Casual Hours", "Hourly Pay", "Based on Hours Worked");
        hours->funcParams.rateKind = 1;
        defs.earnings = {transport, hours};
        auto psssf = def("PSSSF", "Pension Contribution", "Percentage of Basic Pay");
        psssf->funcParams.percentage = 5;
        psssf->taxable = 0;
        psssf->link =
            common::PayItemLink{static_cast<std::int32_t>(kPsssf),
                                common::EmployerContribution{"Key in", 1, 10000, 100000, 0}};
        defs.deductions = {def("Staff Loan", "Company Loan Payment", "Amortise"),
                           def("Walimu SACCOS", "Co-op Contribution", "Key in", kWalimu),
                           psssf,
                           def("CRDB Loan", "Bank Loan Payment", "Key in"),
                           def("Staff Savings", "Savings Plan Deposit", "Key in"),
                           def("Uniform", "Cost Recovery", "Key in")};
        defs.benefits = {def("Motor Vehicle Benefit", "Default", "Key in")};
        defs.lumpSums = {def("Leave Bonus", "Default", "Key in")};
        defs.refunds = {def("Tax Refund", "Default", "Key in")};
        return defs;
    }

    struct Employee {
        common::STATICREC rec;
        database::PERSONNELREC personnel;
    };

    static Employee mwakyusa() {
        Employee e;
        common::STATICREC& r = e.rec;
        r.empNum = "MH001";
        r.idNum = "19680314-53101";
        r.lastName = "Mwakyusa";
        r.otherNames = "Emmanuel";
        r.station = kMbeyaStation;
        r.payMethod = common::kPayByBankTransfer;
        r.bankName = "CRDB Bank";
        r.branchName = "Mbeya";
        r.accountNum = "0152000001";
        r.salary = 1000000;
        r.hoursPerDay = 8;
        r.hoursPerMonth = 200;
        r.overtimeEligible = 1;
        r.normalOvertimeRate = 7500;
        r.doubleOvertimeRate = 10000;
        r.payeApplies = 1;
        r.nssfMember = 1;
        r.coop1 = kWalimu;
        r.pensionFund1 = kPsssf;
        e.personnel.birthDate = common::date{1968, 14, 3};
        e.personnel.unit = kFinance;
        e.personnel.job = kManager;
        e.personnel.payGroup = kManagement;
        e.personnel.tin = "123-456-789";
        e.personnel.nssfNum = "N-1001";
        e.personnel.coopMemberNum = {"W-100", ""};
        e.personnel.pensionMemberNum = {"P-200", ""};
        return e;
    }

    static Employee banda() {
        Employee e;
        common::STATICREC& r = e.rec;
        r.empNum = "MH002";
        r.lastName = "Banda";
        r.otherNames = "Grace";
        r.station = kDarStation;
        r.payMethod = common::kPayByCash;
        r.payBasis = common::kPayBasisDaily;
        r.dailyRate = 20000;
        r.hoursPerDay = 8;
        r.hoursPerMonth = 176;
        r.timeBasis = common::kTimeDaysAbsent;
        r.housed = 1;
        r.housingValue = 60000;
        r.housingExpense = 30000;
        r.rent = 10000;
        r.payeApplies = 1;
        r.nssfMember = 1;
        r.coop2 = kAfya;
        e.personnel.birthDate = common::date{1985, 0, 2};
        e.personnel.unit = kHeadOffice;
        e.personnel.job = kAccountant;
        e.personnel.payGroup = kOfficeStaff;
        e.personnel.nssfNum = "N-2002";
        e.personnel.coopMemberNum = {"", "A-9"};
        return e;
    }

    static Employee kileo() {
        Employee e;
        common::STATICREC& r = e.rec;
        r.empNum = "MH003";
        r.lastName = "Kileo";
        r.otherNames = "Ali Hassan";
        r.payMethod = common::kPayByCheque;
        r.payBasis = common::kPayBasisHourly;
        r.hourlyRate = 1250.75;
        r.hoursPerDay = 8;
        r.hoursPerMonth = 160;
        r.timeBasis = common::kTimeHoursPresent;
        e.personnel.birthDate = common::date{1990, 0, 0};
        return e;
    }

    static Employee salim() {
        Employee e;
        e.rec.empNum = "MH004";
        e.rec.lastName = "Salim";
        e.rec.otherNames = "Juma";
        e.rec.salary = 300000;
        return e;
    }

    void hire(const Employee& e) {
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.openFile());
        staff.orderByEmpNum();
        const bool found = staff.seekEmpNum(e.rec.empNum);
        ASSERT_TRUE(staff.updateFields(e.rec, e.personnel, !found));
        staff.closeFile();
    }

    // The transactions records as keyed for the period.
    std::vector<common::VARIATIONSREC> transactions(const common::PayItemDefs& defs) {
        using namespace common;
        std::vector<VARIATIONSREC> recs;
        VARIATIONSREC m = newVariationsRec(defs);
        m.empNum = "MH001";
        m.normalOvertimeHours = 10;
        m.earnings[earning::kTransport].active = 1;
        m.earnings[earning::kTransport].amount = 100000;
        PayItem& loan = m.deductions[deduction::kStaffLoan];
        loan.active = 1;
        loan.amount = 100000;
        loan.params = LoanParams{1200000, 6, 12, 0, 1};
        PayItem& walimu = m.deductions[deduction::kWalimu];
        walimu.active = 1;
        walimu.amount = 20000;
        walimu.params = CoopParams{180000};
        PayItem& psssf = m.deductions[deduction::kPsssf];
        psssf.active = 1;
        psssf.params = PensionParams{50000, 400000, 400000};
        PayItem& bank = m.deductions[deduction::kCrdbLoan];
        bank.active = 1;
        bank.amount = 30000;
        bank.params = BankLoanParams{5, 0, "CRDB Bank", "Mbeya", "LN-77"};
        PayItem& savings = m.deductions[deduction::kSavings];
        savings.active = 1;
        savings.amount = 10000;
        savings.params = SavingsParams{100000, 6};
        PayItem& uniform = m.deductions[deduction::kUniform];
        uniform.active = 1;
        uniform.amount = 15000;
        uniform.params = CostRecoveryParams{15000, 0, 0};
        m.benefits[0].active = 1;
        m.benefits[0].amount = 50000;
        m.lumpSums[0].active = 1;
        m.lumpSums[0].amount = 200000;
        m.lumpSumTax = 20000;
        m.refunds[0].active = 1;
        m.refunds[0].amount = 5000;
        recs.push_back(m);

        VARIATIONSREC b = newVariationsRec(defs);
        b.empNum = "MH002";
        b.timeWorked = 2;
        b.deficitBF = 5000;
        b.roundingBF = 400;
        PayItem& casual = b.earnings[earning::kCasualHours];
        casual.active = 1;
        casual.params = HourlyParams{12.5f, 2500.5};
        recs.push_back(b);

        VARIATIONSREC k = newVariationsRec(defs);
        k.empNum = "MH003";
        k.timeWorked = 150.5f;
        recs.push_back(k);

        VARIATIONSREC s = newVariationsRec(defs);
        s.empNum = "MH004";
        s.removed = 1;
        recs.push_back(s);

        VARIATIONSREC orphan = newVariationsRec(defs);
        orphan.empNum = "MH005";
        recs.push_back(orphan);
        return recs;
    }

    void makePayroll() {
        const common::PayItemDefs defs = monthlyDefs();
        ASSERT_TRUE(database::writePayFields(folder, org.folder, common::MONTHLY,
                                             database::payFieldsComment(common::MONTHLY),
                                             database::fieldTablesOf(defs)));
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.createFile(ui));
        for (const Employee& e : {mwakyusa(), banda(), kileo(), salim()}) {
            hire(e);
            if (HasFatalFailure())
                return;
        }
        database::VARDB pay(code, folder);
        ASSERT_TRUE(pay.setDefinitions(defs));
        ASSERT_TRUE(pay.createFile(ui, common::MONTHLY));
        ASSERT_TRUE(pay.openFile(common::MONTHLY));
        // Out of order, so that the file's order is seen to be the key's.
        auto recs = transactions(pay.definitions());
        std::swap(recs[0], recs[2]);
        for (const common::VARIATIONSREC& rec : recs)
            ASSERT_TRUE(pay.appendRec(rec)) << rec.empNum;
        pay.closeFile();
    }

    // Changes the stored transactions record.
    void edit(const std::string& empNum,
              const std::function<void(common::VARIATIONSREC&)>& change) {
        database::VARDB table(code, folder);
        common::PayItemDefs defs;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, common::MONTHLY, defs));
        ASSERT_TRUE(table.setDefinitions(defs) && table.openFile(common::MONTHLY));
        table.orderByEmpNum1();
        common::VARIATIONSREC rec;
        ASSERT_TRUE(table.seekEmpNum(empNum) && table.initRec(rec)) << empNum;
        change(rec);
        ASSERT_TRUE(table.updateFields(rec));
        table.closeFile();
    }

    std::string workingFile() const { return folder.resolve("2025/monperiod.int"); }

    std::string messages() const {
        std::string all;
        for (const auto& m : ui.messages)
            all += "[" + m.text + "] ";
        return all;
    }

    void expectOneError(const std::string& text) {
        ASSERT_EQ(ui.messages.size(), 1u) << messages();
        EXPECT_EQ(ui.messages.front().text, text);
        EXPECT_EQ(ui.messages.front().icon, common::MessageIcon::Error);
        EXPECT_EQ(ui.messages.front().caption, "Kelo Roster");
        ui.clear();
    }

    common::REPORTPARAM currentParam() const {
        common::REPORTPARAM param = common::newReportParam(common::kReportPayslips, org);
        return param;
    }
};

} // namespace kelo::payrunreports::testing
