// A whole fiscal year, July 2024 to June 2025, of a small organisation taken
// through the live month end, its stores then read back and compared with
// figures worked by hand below.
#include "absencereports/LeaveRepDb.h"
#include "annualreturns/AnnualDb.h"
#include "common/TaggedFile.h"
#include "database/AbsenceDb.h"
#include "database/GradesDb.h"
#include "database/LeaveDb.h"
#include "database/OrgDb.h"
#include "database/PayFieldsFile.h"
#include "database/StaticDb.h"
#include "database/VarDb.h"
#include "engine/Data4.h"
#include "monthlyreturns/MonthDb.h"
#include "payrunreports/tests/PeriodFixture.h"
#include "procedures/LiveGuard.h"
#include "procedures/LiveStores.h"
#include "procedures/MonthEnd.h"
#include "procedures/PeriodEnd.h"
#include "staffrecords/EmployeeFiles.h"
#include "staffreports/PersRepRec.h"
#include "taxreports/TaxRepDb.h"
#include "testsupport/FakeDialogView.h"
#include "yeartodate/YtdDb.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace kelo::procedures {
namespace {

namespace fs = std::filesystem;
using common::MONTHLY;
using common::WEEKLY;

// The working, from the fixture's tables: PAYE 0 % to 270,000, 8 % to
// 520,000, 20 % to 760,000, 25 % to 1,000,000; NSSF 10 % of gross each
// side, rounded down; NSSF is the only relief (below the 300,000 cap), so
// chargeable pay = gross - 10 %; SDL 4 % of gross, rounded down. Nobody is
// paid in cash, so nothing is rounded off net pay.
//
// Monthly payroll, salaried, the whole month:
//   MH001 1,000,000: NSSF 100,000, SDL 40,000; company loan 1,500,000
//         repaid at 100,000 over 15 payments, no interest, its benefit
//         taxed: the statutory rate (10 % July to December, 12 % January
//         to June) on the month's opening balance / 12, to the shilling.
//         Chargeable 900,000 + benefit; PAYE 20,000 + 20 % x 240,000
//         + 25 % x (140,000 + benefit) = 103,000 + 25 % x benefit, cut to
//         the shilling; net 1,000,000 - PAYE - 100,000 - 100,000.
//           month  balance    benefit                25 %      PAYE
//           Jul    1,500,000  10 % x /12 = 12,500    3,125     106,125
//           Aug    1,400,000  11,666.67 -> 11,667    2,916.75  105,916
//           Sep    1,300,000  10,833.33 -> 10,833    2,708.25  105,708
//           Oct    1,200,000  10,000                 2,500     105,500
//           Nov    1,100,000   9,166.67 ->  9,167    2,291.75  105,291
//           Dec    1,000,000   8,333.33 ->  8,333    2,083.25  105,083
//           Jan      900,000  12 % x /12 =  9,000    2,250     105,250
//           Feb      800,000   8,000                 2,000     105,000
//           Mar      700,000   7,000                 1,750     104,750
//           Apr      600,000   6,000                 1,500     104,500
//           May      500,000   5,000                 1,250     104,250
//           Jun      400,000   4,000                 1,000     104,000
//         July to December: benefit 62,500, PAYE 618,000 + 15,623 =
//         633,623; January to June: benefit 39,000, PAYE 618,000 + 9,750 =
//         627,750. Takes annual leave, 24 days a year.
//   MH002   600,000: NSSF 60,000, chargeable 540,000,
//         PAYE 20,000 + 20 % x 20,000 = 24,000, SDL 24,000; saves 50,000
//         a month; net 600,000 - 24,000 - 60,000 - 50,000 = 466,000.
//   MH003   400,000: NSSF 40,000, chargeable 360,000,
//         PAYE 8 % x 90,000 = 7,200, SDL 16,000, net 352,800; resigns
//         with effect from 30 November 2024: paid July to November.
//   MH004   800,000: NSSF 80,000, chargeable 720,000,
//         PAYE 20,000 + 20 % x 200,000 = 60,000, SDL 32,000, net 660,000;
//         joins on 1 October 2024.
// Weekly payroll, salaried; a week's PAYE is the tax on the month's
// chargeable pay so far by the monthly bands, less what the month's earlier
// weeks took:
//   WK001 100,000 a week: NSSF 10,000, chargeable 90,000, SDL 4,000.
//         Month to date 90,000, 180,000, 270,000: no tax; 360,000: 7,200;
//         450,000: 14,400. PAYE by week 0, 0, 0, 7,200, 7,200.
//         A month of four weeks: 7,200; of five: 14,400.
//   WK002 150,000 a week: NSSF 15,000, chargeable 135,000, SDL 6,000.
//         Month to date 135,000 and 270,000: no tax; 405,000: 10,800;
//         540,000: 20,000 + 4,000 = 24,000; 675,000: 20,000 + 31,000 =
//         51,000. PAYE by week 0, 0, 10,800, 13,200, 27,000.
//         A month of four weeks: 24,000; of five: 51,000.
//   WK003  50,000 a week: NSSF 5,000, chargeable 45,000, never taxed (five
//         weeks make 225,000), SDL 2,000, net 45,000; leaves with effect
//         from Friday 13 June 2025, so June pays him two weeks, not four.
//
// Weeks end on Fridays, 5 July 2024 first; each month's are listed below.
// Five-week months: August and November 2024, January and May 2025; the
// other eight have four. Each half year has 26 weeks, two months of five.

struct MonthPlan {
    const char* month;
    std::int32_t year;
    int days;
    std::vector<int> weekEnds;
};

const std::array<MonthPlan, 12> kYear{{
    {"July", 2024, 31, {5, 12, 19, 26}},
    {"August", 2024, 31, {2, 9, 16, 23, 30}},
    {"September", 2024, 30, {6, 13, 20, 27}},
    {"October", 2024, 31, {4, 11, 18, 25}},
    {"November", 2024, 30, {1, 8, 15, 22, 29}},
    {"December", 2024, 31, {6, 13, 20, 27}},
    {"January", 2025, 31, {3, 10, 17, 24, 31}},
    {"February", 2025, 28, {7, 14, 21, 28}},
    {"March", 2025, 31, {7, 14, 21, 28}},
    {"April", 2025, 30, {4, 11, 18, 25}},
    {"May", 2025, 31, {2, 9, 16, 23, 30}},
    {"June", 2025, 30, {6, 13, 20, 27}},
}};

// An employee's figures over the months of one calendar year's stores.
struct Worked {
    const char* empNum;
    int months; // paid in
    double gross, chargeable, paye, nssf, sdl, net;
};

// July to December 2024 (the 2024 stores).
//   MH001: chargeable 5,400,000 + 62,500; net 6 x 800,000 - 633,623.
//   MH002 x 6; MH003 x 5 (July to November); MH004 x 3
//   (October to December).
//   WK001: 26 weeks x 100,000; PAYE 4 x 7,200 + 2 x 14,400 = 57,600;
//          net 2,600,000 - 260,000 - 57,600 = 2,282,400.
//   WK002: 26 weeks x 150,000; PAYE 4 x 24,000 + 2 x 51,000 = 198,000;
//          net 3,900,000 - 390,000 - 198,000 = 3,312,000.
//   WK003: 26 weeks x 50,000.
const std::vector<Worked> kWorked2024{
    {"MH001", 6, 6000000, 5462500, 633623, 600000, 240000, 4166377},
    {"MH002", 6, 3600000, 3240000, 144000, 360000, 144000, 2796000},
    {"MH003", 5, 2000000, 1800000, 36000, 200000, 80000, 1764000},
    {"MH004", 3, 2400000, 2160000, 180000, 240000, 96000, 1980000},
    {"WK001", 6, 2600000, 2340000, 57600, 260000, 104000, 2282400},
    {"WK002", 6, 3900000, 3510000, 198000, 390000, 156000, 3312000},
    {"WK003", 6, 1300000, 1170000, 0, 130000, 52000, 1170000},
};

// January to June 2025 (the 2025 stores): MH001 chargeable 5,400,000
// + 39,000, net 4,800,000 - 627,750; MH003 has gone; MH004 x 6; the weekly
// payroll has 26 weeks again, two months of five; WK003 is paid 22 weeks
// to May and two in June: 24 x 50,000.
const std::vector<Worked> kWorked2025{
    {"MH001", 6, 6000000, 5439000, 627750, 600000, 240000, 4172250},
    {"MH002", 6, 3600000, 3240000, 144000, 360000, 144000, 2796000},
    {"MH004", 6, 4800000, 4320000, 360000, 480000, 192000, 3960000},
    {"WK001", 6, 2600000, 2340000, 57600, 260000, 104000, 2282400},
    {"WK002", 6, 3900000, 3510000, 198000, 390000, 156000, 3312000},
    {"WK003", 6, 1200000, 1080000, 0, 120000, 48000, 1080000},
};

// One employee's figures in one month's return: the month's periods added.
struct MonthWorked {
    const char* empNum;
    int periods;
    double gross, paye, nssf, sdl;
};

// A four-week month: WK001 400,000, PAYE 7,200; WK002 600,000, PAYE 24,000.
// A five-week month: WK001 500,000, PAYE 14,400; WK002 750,000, PAYE 51,000.
// WK003 is never taxed; June 2025 pays him the weeks to 13 June.
struct MonthCase {
    std::int32_t year;
    int month;
    int periods; // the monthly one and the weeks
    std::vector<MonthWorked> employees;
};

const std::vector<MonthCase> kMonthCases{
    {2024,
     7,
     5,
     {{"MH001", 1, 1000000, 106125, 100000, 40000},
      {"MH002", 1, 600000, 24000, 60000, 24000},
      {"MH003", 1, 400000, 7200, 40000, 16000},
      {"WK001", 4, 400000, 7200, 40000, 16000},
      {"WK002", 4, 600000, 24000, 60000, 24000},
      {"WK003", 4, 200000, 0, 20000, 8000}}},
    {2024,
     8,
     6,
     {{"MH001", 1, 1000000, 105916, 100000, 40000},
      {"MH002", 1, 600000, 24000, 60000, 24000},
      {"MH003", 1, 400000, 7200, 40000, 16000},
      {"WK001", 5, 500000, 14400, 50000, 20000},
      {"WK002", 5, 750000, 51000, 75000, 30000},
      {"WK003", 5, 250000, 0, 25000, 10000}}},
    {2024,
     12,
     5,
     {{"MH001", 1, 1000000, 105083, 100000, 40000},
      {"MH002", 1, 600000, 24000, 60000, 24000},
      {"MH004", 1, 800000, 60000, 80000, 32000},
      {"WK001", 4, 400000, 7200, 40000, 16000},
      {"WK002", 4, 600000, 24000, 60000, 24000},
      {"WK003", 4, 200000, 0, 20000, 8000}}},
    {2025,
     6,
     5,
     {{"MH001", 1, 1000000, 104000, 100000, 40000},
      {"MH002", 1, 600000, 24000, 60000, 24000},
      {"MH004", 1, 800000, 60000, 80000, 32000},
      {"WK001", 4, 400000, 7200, 40000, 16000},
      {"WK002", 4, 600000, 24000, 60000, 24000},
      {"WK003", 2, 100000, 0, 10000, 4000}}},
};

// The user who knows the password.
class AcceptingCaution : public CautionHost {
public:
    bool runCaution(MONENDDLG& form) override {
        testsupport::FakeDialogView view;
        form.initMonEndDlg(view);
        return true;
    }
};

struct Totals {
    int periods = 0;
    double gross = 0, chargeable = 0, paye = 0, nssf = 0, nssfEmployer = 0, sdl = 0, net = 0;
};

void expectTotals(const taxreports::P10TOTALS& actual, const taxreports::P10TOTALS& expected,
                  const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(actual.employees, expected.employees);
    EXPECT_DOUBLE_EQ(actual.grossPay, expected.grossPay);
    EXPECT_DOUBLE_EQ(actual.taxablePay, expected.taxablePay);
    EXPECT_DOUBLE_EQ(actual.paye, expected.paye);
}

double sum(const yeartodate::YtdRow& row) {
    double total = 0;
    for (double amount : row.amounts)
        total += amount;
    return total;
}

struct YearScenarioTest : payrunreports::testing::PeriodFixture {
    void SetUp() override {
        for (const char* sub :
             {"system/settings", "org01/database", "org01/settings", "org01/2024"})
            fs::create_directories(dir.file(sub));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.name = "Kilimo Traders Ltd";
        org.itNum = "100-200-300";
        org.nssfNum = "NSSF-0042";
        org.town = "Mbeya";
        org.month = "July";
        org.year = 2024;
        org.fiscalYear = 2024;
        org.weekEndDay = 5;
        org.fortnightEndDay = 12;
        org.irregEndDay = 1;
        org.payFreq = WEEKLY; // the payroll whose weeks close within the month
        org.paySdl = 1;
        makeTaxTables();
        makeLists();
        makeGrade();
        makePayrolls();
        if (HasFatalFailure())
            return;
        addOrgRow();
        orgs = std::make_unique<setup::ORGS>(ui, code, folder);
        users = std::make_unique<setup::USERS>(code, folder);
        openOrg();
        for (const Employee& e : {loanTaker(), saver(), leaver(), mushi(), temba(), shauri()}) {
            join(e);
            if (HasFatalFailure())
                return;
        }
        // The loan and the savings are keyed once; both items are kept from
        // period to period.
        keyPay(MONTHLY, "MH001", [](common::VARIATIONSREC& rec) {
            common::PayItem& loan = rec.deductions[kLoan];
            loan.active = 1;
            loan.amount = 100000;
            loan.params = common::LoanParams{1500000, 0, 15, 0, 1};
        });
        keyPay(MONTHLY, "MH002", [](common::VARIATIONSREC& rec) {
            common::PayItem& savings = rec.deductions[kSavings];
            savings.active = 1;
            savings.amount = 50000;
            savings.params = common::SavingsParams{0, 0};
        });
        ui.clear();
    }

    static constexpr std::size_t kLoan = 0, kSavings = 1;

    static common::PayItemDefs monthDefs() {
        common::PayItemDefs defs;
        defs.basicPay = builtIn("Basic Pay", "Use Built-In Function");
        defs.overtime = builtIn("Overtime", "Use Built-In Function");
        defs.rent = builtIn("Rent", "Defined in Master File", 1);
        auto savings = def("Staff Savings", "Savings Plan Deposit", "Key in");
        savings->isStatic = 1;
        defs.deductions = {def("Staff Loan", "Company Loan Payment", "Amortise"), savings};
        return defs;
    }

    static common::PayItemDefs weekDefs() {
        common::PayItemDefs defs;
        defs.basicPay = builtIn("Basic Pay", "Use Built-In Function");
        defs.overtime = builtIn("Overtime", "Use Built-In Function");
        defs.rent = builtIn("Rent", "Defined in Master File", 1);
        return defs;
    }

    void makePayrolls() {
        for (common::PAYFREQ payFreq : common::kPayFreqs) {
            const common::PayItemDefs defs = payFreq == MONTHLY ? monthDefs() : weekDefs();
            ASSERT_TRUE(database::writePayFields(folder, org.folder, payFreq,
                                                 database::payFieldsComment(payFreq),
                                                 database::fieldTablesOf(defs)));
            database::VARDB pay(code, folder);
            ASSERT_TRUE(pay.setDefinitions(defs));
            ASSERT_TRUE(pay.createFile(ui, payFreq));
        }
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.createFile(ui));
    }

    void makeGrade() {
        database::GRADESDB grades(code, folder);
        ASSERT_TRUE(grades.createFile(ui));
        ASSERT_TRUE(grades.openFile());
        database::GRADEREC grade;
        grade.name = "TGS B";
        ASSERT_TRUE(grades.appendRecord(grade));
        grades.closeFile();
    }

    void addOrgRow() {
        database::ORGDB table(code, folder);
        ASSERT_TRUE(table.createFile(ui));
        ASSERT_TRUE(table.openFile());
        engine::Data4& data = *table.data();
        data.appendStart();
        data.blank();
        table.storeRec(org);
        ASSERT_EQ(data.append(), engine::r4success);
        table.closeFile();
    }

    void openOrg() {
        testsupport::FakeDialogView list;
        ASSERT_EQ(orgs->initOrgList(list, "Open Organisation"), 1);
        list.selectRow(setup::orglistdlg::List, 0);
        ASSERT_EQ(orgs->openSelOrg(list), 1);
    }

    static Employee employee(const char* empNum, const char* lastName, const char* otherNames,
                             common::PAYFREQ payFreq, double salary, common::date start) {
        Employee e;
        common::STATICREC& r = e.rec;
        r.empNum = empNum;
        r.lastName = lastName;
        r.otherNames = otherNames;
        r.station = payrunreports::testing::kMbeyaStation;
        r.startDate = start;
        r.payFreq = payFreq;
        r.payMethod = common::kPayByCheque;
        r.salary = salary;
        r.hoursPerDay = 8;
        r.hoursPerMonth = payFreq == MONTHLY ? 176 : 40;
        r.payeApplies = 1;
        r.nssfMember = 1;
        e.personnel.unit = payrunreports::testing::kFinance;
        e.personnel.job = payrunreports::testing::kAccountant;
        e.personnel.payGroup = payrunreports::testing::kOfficeStaff;
        e.personnel.tin = std::string("TIN-") + empNum;
        e.personnel.nssfNum = std::string("N-") + empNum;
        return e;
    }

    static Employee loanTaker() {
        Employee e = employee("MH001", "Mwakyusa", "Emmanuel", MONTHLY, 1000000, {2019, 1, 3});
        e.rec.leaveEntitlement = 24;
        return e;
    }
    static Employee saver() {
        return employee("MH002", "Banda", "Grace", MONTHLY, 600000, {2021, 1, 2});
    }
    static Employee leaver() {
        Employee e = employee("MH003", "Kileo", "Ali Hassan", MONTHLY, 400000, {2022, 1, 6});
        e.rec.leaveEntitlement = 12;
        return e;
    }
    static Employee newcomer() {
        Employee e = employee("MH004", "Salim", "Juma", MONTHLY, 800000, {2024, 1, 10});
        e.rec.leaveEntitlement = 18;
        return e;
    }
    static Employee mushi() {
        return employee("WK001", "Mushi", "Anna", WEEKLY, 100000, {2023, 1, 1});
    }
    static Employee shauri() {
        return employee("WK003", "Shauri", "Rehema", WEEKLY, 50000, {2023, 1, 1});
    }
    static Employee temba() {
        return employee("WK002", "Temba", "Hamisi", WEEKLY, 150000, {2023, 1, 1});
    }

    // As the employee form adds him: the master row, then his transactions
    // record and leave account.
    void join(const Employee& e) {
        hire(e);
        ASSERT_TRUE(staffrecords::joinOtherFiles(ui, code, folder, e.rec, orgs->getOpenOrg()->year))
            << e.rec.empNum << messages();
    }

    void keyPay(common::PAYFREQ payFreq, const std::string& empNum,
                const std::function<void(common::VARIATIONSREC&)>& change) {
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

    // The stored transactions record, or one with no number when there is none.
    common::VARIATIONSREC payOf(common::PAYFREQ payFreq, const std::string& empNum) {
        database::VARDB table(code, folder);
        common::PayItemDefs defs;
        common::VARIATIONSREC rec;
        if (!database::loadPayItemDefs(ui, folder, payFreq, defs) || !table.setDefinitions(defs) ||
            !table.openFile(payFreq))
            return rec;
        table.orderByEmpNum1();
        if (!table.seekEmpNum(empNum) || !table.initRec(rec))
            rec = common::VARIATIONSREC{};
        table.closeFile();
        return rec;
    }

    const common::ORGREC& open() const { return *orgs->getOpenOrg(); }

    LivePorts ports() {
        return {ui, code, folder, *orgs, *users, setup::systemDrive(), setup::systemClock()};
    }

    // A week that is not the month's last, closed by the period end of the
    // weekly payroll the clerk works on.
    void closeWeek() {
        LiveMonthEndStores stores(ports());
        LiveMonthEndGuard guard(code, folder);
        PERIODEND periodEnd(ui, stores, guard, caution);
        ASSERT_EQ(periodEnd.periodEnd(), 0) << messages();
    }

    int runMonthEnd() {
        LiveMonthEndStores stores(ports());
        LiveMonthEndGuard guard(code, folder);
        ui.answers.push_back(common::Answer::No); // no backup
        MONTHEND monthEnd(ui, stores, guard, caution, dir.file("source"));
        return monthEnd.monthEnd();
    }

    // What the clerk keys in the month before it closes.
    void keyMonth(const MonthPlan& plan) {
        const std::string month = plan.month;
        database::ABSENCEDB absence(code, folder, ui);
        if (month == "October") {
            join(newcomer());
            // Five days' annual leave, 14 to 18 October.
            database::ABSENCEROW taken{0, {2024, 14, 10}, {2024, 18, 10}, 5, "Annual Leave"};
            ASSERT_TRUE(absence.appendRec("MH001", taken, false));
        } else if (month == "November") {
            Employee e = leaver();
            e.rec.terminated = 1;
            e.rec.terminationDate = {2024, 30, 11};
            e.rec.terminationReason = "Resigned";
            hire(e);
        } else if (month == "February") {
            ASSERT_TRUE(absence.appendRec("MH001", marchLeave, true));
        } else if (month == "March") {
            // The booked days taken.
            ASSERT_TRUE(absence.updateRec(marchLeave, false));
        } else if (month == "June") {
            Employee e = shauri();
            e.rec.terminated = 1;
            e.rec.terminationDate = {2025, 13, 6};
            e.rec.terminationReason = "Resigned";
            hire(e);
        } else if (month == "May") {
            database::ABSENCEROW august{0, {2025, 4, 8}, {2025, 7, 8}, 4, "Annual Leave"};
            ASSERT_TRUE(absence.appendRec("MH001", august, true));
        }
    }

    void runTheYear() {
        for (const MonthPlan& plan : kYear) {
            ASSERT_EQ(open().month, plan.month);
            ASSERT_EQ(open().year, plan.year);
            keyMonth(plan);
            if (HasFatalFailure())
                return;
            std::vector<int> weekEnds{open().weekEndDay};
            while (open().weekEndDay + 7 <= plan.days) {
                closeWeek();
                if (HasFatalFailure())
                    return;
                weekEnds.push_back(open().weekEndDay);
            }
            EXPECT_EQ(weekEnds, plan.weekEnds) << plan.month;
            ui.clear();
            ASSERT_EQ(runMonthEnd(), 0) << plan.month << " " << messages();
        }
    }

    std::unique_ptr<setup::ORGS> orgs;
    std::unique_ptr<setup::USERS> users;
    AcceptingCaution caution;
    // Booked in February for 10 to 12 March, taken in March.
    database::ABSENCEROW marchLeave{0, {2025, 10, 3}, {2025, 12, 3}, 3, "Annual Leave"};
};

TEST_F(YearScenarioTest, AFiscalYearOfMonthEndsMatchesTheWorkedFigures) {
    runTheYear();
    if (HasFatalFailure())
        return;
    const common::ORGREC& now = open();
    EXPECT_EQ(now.month, "July");
    EXPECT_EQ(now.year, 2025);
    EXPECT_EQ(now.fiscalYear, 2025);
    EXPECT_EQ(now.weekEndDay, 4); // 27 June + 7 = 34, less June's 30 days
    for (const char* table : {"paye.dbf", "nssf.dbf", "payepara.dbf", "sdl.dbf"})
        EXPECT_TRUE(fs::exists(folder.resolve(std::string("../system/2025/") + table))) << table;

    // The year-to-date stores, one per calendar year.
    for (const auto& [year, worked] :
         {std::pair{2024, &kWorked2024}, std::pair{2025, &kWorked2025}}) {
        yeartodate::YtdFile ytd;
        ASSERT_TRUE(
            yeartodate::readYtdFile(ui, folder, yeartodate::YTDDB::filePath(year), now, ytd))
            << messages();
        ASSERT_EQ(ytd.records.size(), worked->size()) << year;
        for (std::size_t i = 0; i < worked->size(); ++i) {
            const Worked& w = (*worked)[i];
            const yeartodate::YTDREC& rec = ytd.records[i];
            SCOPED_TRACE(std::to_string(year) + " " + w.empNum);
            EXPECT_EQ(rec.empNum, w.empNum);
            int months = 0;
            for (int flag : rec.monthFlags)
                months += flag;
            EXPECT_EQ(months, w.months);
            EXPECT_DOUBLE_EQ(sum(rec.rows[yeartodate::kBasicPayRow]), w.gross);
            EXPECT_DOUBLE_EQ(sum(rec.rows[yeartodate::kTotalPaymentsRow]), w.gross);
            EXPECT_DOUBLE_EQ(sum(rec.rows[yeartodate::kChargeablePayRow]), w.chargeable);
            EXPECT_DOUBLE_EQ(sum(rec.rows[yeartodate::kPayeRow]), w.paye);
            EXPECT_DOUBLE_EQ(sum(rec.rows[yeartodate::kNssfRow]), w.nssf);
            EXPECT_DOUBLE_EQ(sum(rec.rows[yeartodate::kNetPayRow]), w.net);
        }
    }
    {
        // Month by month: WK002's PAYE of four- and five-week months, the
        // newcomer's first months and the leaver's last, the loan's and the
        // savings' rows.
        yeartodate::YtdFile ytd;
        ASSERT_TRUE(
            yeartodate::readYtdFile(ui, folder, yeartodate::YTDDB::filePath(2024), now, ytd));
        ASSERT_EQ(ytd.records.size(), 7u);
        using Months = std::array<double, 12>;
        EXPECT_EQ(ytd.records[5].rows[yeartodate::kPayeRow].amounts,
                  (Months{0, 0, 0, 0, 0, 0, 24000, 51000, 24000, 24000, 51000, 24000}));
        EXPECT_EQ(ytd.records[3].rows[yeartodate::kBasicPayRow].amounts,
                  (Months{0, 0, 0, 0, 0, 0, 0, 0, 0, 800000, 800000, 800000}));
        EXPECT_EQ(ytd.records[2].rows[yeartodate::kBasicPayRow].amounts,
                  (Months{0, 0, 0, 0, 0, 0, 400000, 400000, 400000, 400000, 400000, 0}));
        // MH001's taxed loan benefit at 10 %, from the table above.
        EXPECT_EQ(ytd.records[0].rows[yeartodate::kTotalBenefitsRow].amounts,
                  (Months{0, 0, 0, 0, 0, 0, 12500, 11667, 10833, 10000, 9167, 8333}));
        EXPECT_EQ(ytd.records[0].rows[yeartodate::kPayeRow].amounts,
                  (Months{0, 0, 0, 0, 0, 0, 106125, 105916, 105708, 105500, 105291, 105083}));
        const auto listRow = [&](std::size_t record, const std::string& name) {
            for (const yeartodate::YtdNamedRow& row : ytd.records[record].lists[common::DEDUCTIONS])
                if (row.name == name)
                    return row.row.amounts;
            ADD_FAILURE() << "no row " << name;
            return Months{};
        };
        EXPECT_EQ(listRow(0, "Staff Loan"),
                  (Months{0, 0, 0, 0, 0, 0, 100000, 100000, 100000, 100000, 100000, 100000}));
        EXPECT_EQ(listRow(1, "Staff Savings"),
                  (Months{0, 0, 0, 0, 0, 0, 50000, 50000, 50000, 50000, 50000, 50000}));
    }

    {
        // From January the statutory rate is 12 %.
        yeartodate::YtdFile ytd;
        ASSERT_TRUE(
            yeartodate::readYtdFile(ui, folder, yeartodate::YTDDB::filePath(2025), now, ytd));
        ASSERT_EQ(ytd.records.size(), 6u);
        using Months = std::array<double, 12>;
        // WK003: five weeks in January and May, four in the others, two in
        // June.
        EXPECT_EQ(ytd.records[5].empNum, "WK003");
        EXPECT_EQ(ytd.records[5].rows[yeartodate::kBasicPayRow].amounts,
                  (Months{250000, 200000, 200000, 200000, 250000, 100000, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(ytd.records[0].rows[yeartodate::kTotalBenefitsRow].amounts,
                  (Months{9000, 8000, 7000, 6000, 5000, 4000, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(ytd.records[0].rows[yeartodate::kPayeRow].amounts,
                  (Months{105250, 105000, 104750, 104500, 104250, 104000, 0, 0, 0, 0, 0, 0}));
    }

    // The monthly returns of a few months, each employee's periods added.
    for (const MonthCase& c : kMonthCases) {
        SCOPED_TRACE(std::to_string(c.year) + "/" + std::to_string(c.month));
        monthlyreturns::MONTHFILE file;
        ASSERT_TRUE(monthlyreturns::readMonthFile(
            ui, folder, monthlyreturns::MONTHDB::monthFilePath(c.year, c.month), now, file))
            << messages();
        EXPECT_EQ(static_cast<int>(file.periods.size()), c.periods);
        std::map<std::string, Totals> totals;
        for (const monthlyreturns::MONTHPERIOD& period : file.periods) {
            EXPECT_DOUBLE_EQ(period.sdlRate, 4);
            for (const monthlyreturns::MONTHEMP& e : period.employees) {
                Totals& t = totals[e.empNum];
                ++t.periods;
                t.gross += e.grossPay;
                t.paye += e.paye;
                t.nssf += e.nssfEmployee;
                t.nssfEmployer += e.nssfEmployer;
                t.sdl += e.sdl;
            }
        }
        ASSERT_EQ(totals.size(), c.employees.size());
        for (const MonthWorked& w : c.employees) {
            const Totals& t = totals[w.empNum];
            EXPECT_EQ(t.periods, w.periods) << w.empNum;
            EXPECT_DOUBLE_EQ(t.gross, w.gross) << w.empNum;
            EXPECT_DOUBLE_EQ(t.paye, w.paye) << w.empNum;
            EXPECT_DOUBLE_EQ(t.nssf, w.nssf) << w.empNum;
            EXPECT_DOUBLE_EQ(t.nssfEmployer, w.nssf) << w.empNum;
            EXPECT_DOUBLE_EQ(t.sdl, w.sdl) << w.empNum;
        }
    }

    // The annual stores and the P9s: every period of the calendar year, six
    // months and 26 weeks, each employee added up.
    annualreturns::ANNUALDB annual(ui, code, folder);
    for (const auto& [year, worked] :
         {std::pair{2024, &kWorked2024}, std::pair{2025, &kWorked2025}}) {
        SCOPED_TRACE(year);
        annualreturns::ANNUALFILE store;
        ASSERT_TRUE(annual.readFile(ui, annualreturns::ANNUALDB::storeFilePath(year), now, store))
            << messages();
        EXPECT_EQ(store.periods.size(), 32u);
        // Each period under the month it closed in: the monthly one and
        // that month's weeks.
        std::map<int, int> byMonth, p9ByMonth;
        for (const annualreturns::ANNUALPERIOD& period : store.periods)
            ++byMonth[period.month];
        const std::map<int, int> expectedMonths =
            year == 2024 ? std::map<int, int>{{7, 5}, {8, 6}, {9, 5}, {10, 5}, {11, 6}, {12, 5}}
                         : std::map<int, int>{{1, 6}, {2, 5}, {3, 5}, {4, 5}, {5, 6}, {6, 5}};
        EXPECT_EQ(byMonth, expectedMonths);
        std::map<std::string, Totals> totals;
        for (const annualreturns::ANNUALPERIOD& period : store.periods) {
            for (const annualreturns::ANNUALEMP& e : period.employees) {
                Totals& t = totals[e.empNum];
                t.gross += e.grossPay;
                t.paye += e.paye;
                t.nssf += e.nssfEmployee;
                t.nssfEmployer += e.nssfEmployer;
                t.sdl += e.sdl;
                t.net += e.netPay;
            }
        }
        ASSERT_EQ(totals.size(), worked->size());
        for (const Worked& w : *worked) {
            const Totals& t = totals[w.empNum];
            EXPECT_DOUBLE_EQ(t.gross, w.gross) << w.empNum;
            EXPECT_DOUBLE_EQ(t.paye, w.paye) << w.empNum;
            EXPECT_DOUBLE_EQ(t.nssf, w.nssf) << w.empNum;
            EXPECT_DOUBLE_EQ(t.nssfEmployer, w.nssf) << w.empNum;
            EXPECT_DOUBLE_EQ(t.sdl, w.sdl) << w.empNum;
            EXPECT_DOUBLE_EQ(t.net, w.net) << w.empNum;
        }

        taxreports::TAXFILE p9;
        ASSERT_TRUE(taxreports::readTaxFile(
            ui, folder, taxreports::TaxFile::P9,
            taxreports::TAXREPDB::filePath(taxreports::TaxFile::P9, year), now, p9))
            << messages();
        EXPECT_EQ(p9.periods.size(), 32u);
        for (const taxreports::TAXPERIOD& period : p9.periods)
            ++p9ByMonth[period.month];
        EXPECT_EQ(p9ByMonth, expectedMonths);
        std::map<std::string, Totals> p9Totals;
        for (const taxreports::TAXPERIOD& period : p9.periods) {
            for (const taxreports::P9EMP& e : period.employees) {
                Totals& t = p9Totals[e.empNum];
                t.gross += e.grossPay;
                t.chargeable += e.taxablePay;
                t.paye += e.paye;
            }
        }
        ASSERT_EQ(p9Totals.size(), worked->size());
        for (const Worked& w : *worked) {
            const Totals& t = p9Totals[w.empNum];
            EXPECT_DOUBLE_EQ(t.gross, w.gross) << w.empNum;
            EXPECT_DOUBLE_EQ(t.chargeable, w.chargeable) << w.empNum;
            EXPECT_DOUBLE_EQ(t.paye, w.paye) << w.empNum;
        }
    }

    // The P10s: a few periods, and the year.
    // 2024: gross 6,000,000 + 3,600,000 + 2,000,000 + 2,400,000 + 2,600,000
    //       + 3,900,000 + 1,300,000 = 21,800,000; chargeable 5,462,500
    //       + 3,240,000 + 1,800,000 + 2,160,000 + 2,340,000 + 3,510,000
    //       + 1,170,000 = 19,682,500;
    //       PAYE 633,623 + 144,000 + 36,000 + 180,000 + 57,600 + 198,000
    //       = 1,249,223.
    // 2025: gross 6,000,000 + 3,600,000 + 4,800,000 + 2,600,000 + 3,900,000
    //       + 1,200,000 = 22,100,000; chargeable 5,439,000 + 3,240,000
    //       + 4,320,000 + 2,340,000 + 3,510,000 + 1,080,000 = 19,929,000; PAYE 627,750 + 144,000
    //       + 360,000 + 57,600 + 198,000 = 1,387,350.
    struct PeriodCase {
        std::int32_t year;
        const char* title;
        common::PAYFREQ payFreq;
        taxreports::P10TOTALS totals;
    };
    const std::vector<PeriodCase> periods{
        // MH001 to MH003: chargeable 912,500 + 540,000 + 360,000, PAYE
        // 106,125 + 24,000 + 7,200.
        {2024, "July 2024", MONTHLY, {3, 2000000, 1812500, 137325}},
        // MH004 joins: 910,000 + 540,000 + 360,000 + 720,000, PAYE 105,500
        // + 24,000 + 7,200 + 60,000.
        {2024, "October 2024", MONTHLY, {4, 2800000, 2530000, 196700}},
        // MH003 gone: 908,333 + 540,000 + 720,000, 105,083 + 24,000 + 60,000.
        {2024, "December 2024", MONTHLY, {3, 2400000, 2168333, 189083}},
        // 904,000 + 540,000 + 720,000, 104,000 + 24,000 + 60,000.
        {2025, "June 2025", MONTHLY, {3, 2400000, 2164000, 188000}},
        // A month's first week: nobody taxed yet.
        {2024, "Week ending 5 July 2024", WEEKLY, {3, 300000, 270000, 0}},
        // Fourth week: 7,200 + 13,200; fifth: 7,200 + 27,000.
        {2024, "Week ending 23 August 2024", WEEKLY, {3, 300000, 270000, 20400}},
        {2024, "Week ending 30 August 2024", WEEKLY, {3, 300000, 270000, 34200}},
        // WK003's last week, then the third and fourth weeks without him:
        // 0 + 10,800, then 7,200 + 13,200.
        {2025, "Week ending 13 June 2025", WEEKLY, {3, 300000, 270000, 0}},
        {2025, "Week ending 20 June 2025", WEEKLY, {2, 250000, 225000, 10800}},
        {2025, "Week ending 27 June 2025", WEEKLY, {2, 250000, 225000, 20400}},
    };
    std::map<std::int32_t, taxreports::TAXFILE> p10;
    for (std::int32_t year : {2024, 2025}) {
        ASSERT_TRUE(taxreports::readTaxFile(
            ui, folder, taxreports::TaxFile::P10,
            taxreports::TAXREPDB::filePath(taxreports::TaxFile::P10, year), now, p10[year]))
            << messages();
        EXPECT_EQ(p10[year].periods.size(), 32u);
    }
    for (const PeriodCase& c : periods) {
        const auto& all = p10[c.year].periods;
        const auto found = std::find_if(all.begin(), all.end(), [&](const auto& p) {
            return p.header.periodTitle == c.title && p.header.payFreq == c.payFreq;
        });
        ASSERT_NE(found, all.end()) << c.title;
        expectTotals(found->totals, c.totals, c.title);
    }
    const std::map<std::int32_t, taxreports::P10TOTALS> years{
        {2024, {0, 21800000, 19682500, 1249223}}, {2025, {0, 22100000, 19929000, 1387350}}};
    for (const auto& [year, expected] : years) {
        taxreports::P10TOTALS total;
        for (const taxreports::TAXPERIOD& period : p10[year].periods) {
            total.grossPay += period.totals.grossPay;
            total.taxablePay += period.totals.taxablePay;
            total.paye += period.totals.paye;
        }
        expectTotals(total, expected, std::to_string(year));
    }

    // The leavers: each in the former employees file of the year he left.
    struct LeaverCase {
        std::int32_t year;
        const char* empNum;
        const char* lastName;
        common::date left;
        double payRate;
    };
    for (const LeaverCase& c : {LeaverCase{2024, "MH003", "Kileo", {2024, 30, 11}, 400000},
                                LeaverCase{2025, "WK003", "Shauri", {2025, 13, 6}, 50000}}) {
        SCOPED_TRACE(c.year);
        common::TaggedReader r(
            folder.resolve(staffreports::personnelFilePath(staffreports::DB_LEAVERS, c.year)));
        int year = 0;
        std::string name;
        ASSERT_TRUE(r.skipFileId() && staffreports::readHeader(r, year, name) &&
                    r.findTag("records", common::TagKind::BlockStart));
        EXPECT_EQ(year, c.year);
        std::vector<staffreports::PERSREPREC> leavers;
        staffreports::PERSREPREC rec;
        bool damaged = false;
        while (staffreports::readRecord(r, rec, damaged))
            leavers.push_back(rec);
        EXPECT_FALSE(damaged);
        ASSERT_EQ(leavers.size(), 1u);
        EXPECT_EQ(leavers[0].empNum, c.empNum);
        EXPECT_EQ(leavers[0].lastName, c.lastName);
        EXPECT_EQ(leavers[0].terminated, 1);
        EXPECT_EQ(leavers[0].dateLeft, c.left);
        EXPECT_EQ(leavers[0].reasonLeft, "Resigned");
        EXPECT_DOUBLE_EQ(leavers[0].payRate, c.payRate);
    }
    // MH003 has gone from the personnel file and the monthly payroll; WK003,
    // who left this month, goes at the next month end.
    {
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.openFile());
        staff.orderByEmpNum();
        EXPECT_FALSE(staff.seekEmpNum("MH003"));
        EXPECT_TRUE(staff.seekEmpNum("MH004"));
        common::STATICREC rec;
        ASSERT_TRUE(staff.seekEmpNum("WK003") && staff.initRec(rec));
        EXPECT_EQ(rec.separated, 1);
        staff.closeFile();
    }
    EXPECT_TRUE(payOf(MONTHLY, "MH003").empNum.empty());

    // The loan after twelve repayments of 100,000: 1,500,000 - 1,200,000 =
    // 300,000, three payments left; the savings 12 x 50,000 = 600,000.
    const common::VARIATIONSREC loanTaker = payOf(MONTHLY, "MH001");
    ASSERT_EQ(loanTaker.empNum, "MH001");
    const auto* loan = std::get_if<common::LoanParams>(&loanTaker.deductions[kLoan].params);
    ASSERT_NE(loan, nullptr);
    EXPECT_DOUBLE_EQ(loan->balance, 300000);
    EXPECT_EQ(loan->paymentsLeft, 3);
    EXPECT_EQ(loanTaker.deductions[kLoan].active, 1);
    EXPECT_DOUBLE_EQ(loanTaker.deductions[kLoan].amount, 100000);
    const common::VARIATIONSREC saver = payOf(MONTHLY, "MH002");
    const auto* savings = std::get_if<common::SavingsParams>(&saver.deductions[kSavings].params);
    ASSERT_NE(savings, nullptr);
    EXPECT_DOUBLE_EQ(savings->balance, 600000);

    // Leave is credited at each month end for the month closed, dated the
    // next month's first day: E x m / 12 - E x (m - 1) / 12 for month m.
    // MH001, 24 days a year: 2 a month. 2024: July to November's 5 x 2 = 10
    //   earned, 5 taken in October; the year end carries 5 into 2025.
    //   2025: December's and January to June's 7 x 2 = 14 earned, the 3
    //   March days taken: 16 due; 4 more booked for August, 12 available.
    // MH004, 18 days a year from 1 October: 1.5 a month. 2024: October's and
    //   November's 3 carried; 2025: 7 x 1.5 = 10.5 earned, 13.5 due.
    // MH003, 12 days a year: 1 a month, July to November (the whole of
    //   November, his last day the 30th): 5. His rows go with him.
    {
        struct AccountCase {
            const char* empNum;
            float broughtForward, earned, taken, booked, balance, available;
        };
        for (const AccountCase& c : {AccountCase{"MH001", 5, 14, 3, 4, 16, 12},
                                     AccountCase{"MH004", 3, 10.5f, 0, 0, 13.5f, 13.5f}}) {
            SCOPED_TRACE(c.empNum);
            database::LEAVEREC account;
            account.empNum = c.empNum;
            ASSERT_TRUE(database::LEAVEDB(code, folder, ui).readAccount(account)) << messages();
            ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).readAccount(account)) << messages();
            EXPECT_FLOAT_EQ(account.balanceBF, c.broughtForward);
            EXPECT_FLOAT_EQ(account.earned, c.earned);
            EXPECT_FLOAT_EQ(account.taken, c.taken);
            EXPECT_FLOAT_EQ(account.booked, c.booked);
            EXPECT_FLOAT_EQ(account.balance(), c.balance);
            EXPECT_FLOAT_EQ(account.available(), c.available);
        }
        std::vector<database::LEAVEROW> rows;
        EXPECT_TRUE(database::LEAVEDB(code, folder, ui).readRows("MH003", rows));
        EXPECT_TRUE(rows.empty());
    }
    // The leave report stores keep each year's entries, the leaver's too.
    absencereports::LEAVEREPDB leaveReports(ui, code, folder);
    struct LeaveCase {
        std::int32_t year;
        const char* empNum;
        double broughtForward, earned, taken;
        bool left;
    };
    const std::vector<LeaveCase> leaveCases{
        {2024, "MH001", 0, 10, 5, false},
        {2024, "MH003", 0, 5, 0, true},
        {2024, "MH004", 0, 3, 0, false},
        // 1 January to 1 June: 6 credits.
        {2025, "MH001", 5, 12, 3, false},
        {2025, "MH004", 3, 9, 0, false},
    };
    std::map<std::int32_t, absencereports::LeaveYear> leaveYears;
    for (std::int32_t year : {2024, 2025}) {
        ASSERT_TRUE(leaveReports.readFile(ui, absencereports::LEAVEREPDB::yearFilePath(year), now,
                                          leaveYears[year]))
            << messages();
    }
    EXPECT_EQ(leaveYears[2024].months, (std::vector<int>{7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(leaveYears[2025].months, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    for (const LeaveCase& c : leaveCases) {
        SCOPED_TRACE(std::to_string(c.year) + " " + c.empNum);
        const absencereports::LeaveYear& store = leaveYears[c.year];
        const absencereports::LeaveEmployee* employee = store.employee(c.empNum);
        ASSERT_NE(employee, nullptr);
        EXPECT_EQ(employee->left, c.left);
        double broughtForward = 0, earned = 0, taken = 0;
        for (const absencereports::LeaveEntry& entry : store.entries) {
            if (entry.empNum != c.empNum)
                continue;
            if (entry.source == absencereports::EntrySource::Absence &&
                entry.reason == "Annual Leave")
                taken += entry.days;
            else if (entry.source == absencereports::EntrySource::LeaveEvent &&
                     entry.kind == database::kLeaveEarned)
                earned += entry.days;
            else if (entry.source == absencereports::EntrySource::LeaveEvent &&
                     entry.kind == database::kBalanceBF)
                broughtForward += entry.days;
        }
        EXPECT_DOUBLE_EQ(broughtForward, c.broughtForward);
        EXPECT_DOUBLE_EQ(earned, c.earned);
        EXPECT_DOUBLE_EQ(taken, c.taken);
    }

    // The leave balance each kept monthly period file shows, as its month
    // closed (that month's credit not yet made).
    // October 2024: MH001 3 x 2 - 5 = 1; MH003 3 x 1 = 3; MH004 nothing yet.
    // June 2025: MH001 5 + 6 x 2 - 3 = 14; MH004 3 + 6 x 1.5 = 12.
    struct BalanceCase {
        const char* path;
        std::map<std::string, float> balances;
    };
    for (const BalanceCase& c :
         {BalanceCase{"2024/mon10.dbf", {{"MH001", 1}, {"MH002", 0}, {"MH003", 3}, {"MH004", 0}}},
          BalanceCase{"2025/mon06.dbf", {{"MH001", 14}, {"MH002", 0}, {"MH004", 12}}}}) {
        SCOPED_TRACE(c.path);
        payrunreports::PERIODDBEX period(ui, code, folder);
        ASSERT_TRUE(period.open(ui, c.path, now)) << messages();
        std::map<std::string, float> balances;
        payrunreports::REPORTREC rec;
        while (period.readRecord(ui, rec))
            balances[rec.empNum] = rec.leaveBalance;
        period.close();
        EXPECT_EQ(balances, c.balances);
    }
}

} // namespace
} // namespace kelo::procedures
