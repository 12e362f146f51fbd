#include "staffrecords/VarDbEx.h"

#include "StaffFixture.h"
#include "staffrecords/PeriodUpdate.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace kelo::staffrecords {
namespace {

using common::VARIATIONSREC;
using testing::itemDef;

const std::array<const char*, 12> kMonths{"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};

struct VarDbExTest : testing::StaffFixture {
    testsupport::RecordingUi owner;
    std::unique_ptr<VARDBEX> vardb;

    void SetUp() override {
        StaffFixture::SetUp();
        vardb = std::make_unique<VARDBEX>(owner, code, folder);
    }

    // The stored record of the employee, read with the file's definitions.
    std::optional<VARIATIONSREC> stored(const std::string& empNum,
                                        common::PAYFREQ payFreq = common::MONTHLY) {
        common::PayItemDefs defs;
        if (!database::loadPayItemDefs(ui, folder, payFreq, defs))
            return std::nullopt;
        database::VARDB table(code, folder);
        if (!table.openFile(payFreq) || !table.setDefinitions(defs))
            return std::nullopt;
        table.orderByEmpNum1();
        VARIATIONSREC rec;
        if (!table.seekEmpNum(empNum) || !table.initRec(rec))
            return std::nullopt;
        return rec;
    }

    // Changes the stored record as the transactions form would.
    void edit(const std::string& empNum, const std::function<void(VARIATIONSREC&)>& change) {
        common::PayItemDefs defs;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, common::MONTHLY, defs));
        database::VARDB table(code, folder);
        ASSERT_TRUE(table.openFile(common::MONTHLY));
        ASSERT_TRUE(table.setDefinitions(defs));
        table.orderByEmpNum1();
        VARIATIONSREC rec;
        ASSERT_TRUE(table.seekEmpNum(empNum));
        ASSERT_TRUE(table.initRec(rec));
        change(rec);
        ASSERT_TRUE(table.updateFields(rec));
    }

    long count(common::PAYFREQ payFreq = common::MONTHLY) {
        long n = -1;
        EXPECT_TRUE(vardb->getNotProcdCnt(payFreq, n));
        return n;
    }

    // Closes the month: the organisation's month moves on, then every
    // frequency's month (or year) is closed.
    void monthEnd() {
        const auto at = std::find(kMonths.begin(), kMonths.end(), org.month) - kMonths.begin();
        org.month = kMonths[static_cast<std::size_t>((at + 1) % 12)];
        const auto mode =
            org.month == "January" ? common::UPDATE_YEAR_END : common::UPDATE_MONTH_END;
        ASSERT_TRUE(vardb->updateFile(ui, org, mode, common::MONTHLY));
    }
};

TEST_F(VarDbExTest, RecordsFollowThePersonnelFile) {
    const auto e = employee("E001", 900000);
    hire(e);
    ASSERT_TRUE(vardb->appendNewRec(ui, e));
    ASSERT_TRUE(vardb->appendNewRec(ui, e)); // never twice
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(stored("e001")->empNum, "E001");
    EXPECT_EQ(stored("E001")->openingPeriod, 1);

    EXPECT_TRUE(vardb->updateEmpNum({"E001", "E100", common::MONTHLY}));
    EXPECT_FALSE(stored("E001"));
    EXPECT_TRUE(stored("E100"));
    EXPECT_TRUE(vardb->updateEmpNum({"NOBODY", "E200", common::MONTHLY}));

    EXPECT_FALSE(vardb->deleteRec("NOBODY", common::MONTHLY));
    EXPECT_TRUE(vardb->deleteRec("e100", common::MONTHLY));
    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(VarDbExTest, TheCountLeavesOutRemovedRecords) {
    for (const char* n : {"A1", "A2", "A3"}) {
        hire(employee(n, 500000));
        ASSERT_TRUE(vardb->appendNewRec(ui, employee(n, 500000)));
    }
    edit("A2", [](VARIATIONSREC& r) { r.removed = 1; });
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(count(common::WEEKLY), 0);
}

TEST_F(VarDbExTest, ALockedTableIsReported) {
    hire(employee("A1", 500000));
    ASSERT_TRUE(vardb->appendNewRec(ui, employee("A1", 500000)));
    auto other = engine::Data4::open(code, folder.resolve("database/monpay.dbf"));
    ASSERT_TRUE(other);
    long n = 0;
    EXPECT_TRUE(vardb->getNotProcdCnt(common::MONTHLY, n)); // shared readers are welcome
    EXPECT_FALSE(vardb->deleteRec("A1", common::MONTHLY));
    EXPECT_FALSE(vardb->updateEmpNum({"A1", "B1", common::MONTHLY}));
    EXPECT_FALSE(vardb->updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
    other.reset();
    code.setErrorCode(0);
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(stored("A1"));
    EXPECT_EQ(owner.statusTexts.back(), "");
}

TEST_F(VarDbExTest, MissingDefinitionsStopTheUpdate) {
    hire(employee("A1", 500000));
    std::filesystem::remove(folder.resolve("database/monpay.dat"));
    EXPECT_FALSE(vardb->updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
    EXPECT_EQ(ui.lastMessage(), "Unable to open database/monpay.dat");
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Updating database/monpay.dbf...", ""}));
    EXPECT_FALSE(vardb->appendNewRec(ui, employee("A1", 500000)));
    EXPECT_TRUE(vardb->isOpen() == false);
}

TEST_F(VarDbExTest, PeriodUpdateJoinsNewcomersAndLeavesTheSeparated) {
    hire(employee("NEW", 600000));
    auto gone = employee("GONE", 700000);
    hire(gone);
    ASSERT_TRUE(vardb->appendNewRec(ui, gone));
    edit("GONE", [](VARIATIONSREC& r) {
        r.deficit = 5000;
        r.monthGross = 123;
    });
    gone.terminated = gone.separated = 1;
    hire(gone);
    hire(employee("WEEKLY", 100000, common::WEEKLY));

    ASSERT_TRUE(vardb->updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Updating database/monpay.dbf...", ""}));
    ASSERT_TRUE(stored("NEW"));
    EXPECT_EQ(stored("NEW")->openingPeriod, 1); // joins now, rolls from next time
    EXPECT_EQ(stored("GONE")->deficit, 5000);   // kept as last stored
    EXPECT_EQ(stored("GONE")->deficitBF, 0);
    EXPECT_FALSE(stored("WEEKLY"));
    EXPECT_EQ(count(), 2);

    // A month close keeps the separated employee while still in the
    // personnel file, and drops records whose employee left or moved.
    auto moved = employee("MOVED", 300000);
    hire(moved);
    ASSERT_TRUE(vardb->appendNewRec(ui, moved));
    moved.payFreq = common::BIWEEKLY;
    hire(moved);
    hire(employee("FIRED", 300000));
    ASSERT_TRUE(vardb->appendNewRec(ui, employee("FIRED", 300000)));
    fire("FIRED");
    monthEnd();
    EXPECT_TRUE(stored("GONE"));
    EXPECT_EQ(stored("GONE")->monthGross, 123);
    EXPECT_FALSE(stored("MOVED"));
    EXPECT_FALSE(stored("FIRED"));
    EXPECT_EQ(count(), 2);
}

TEST_F(VarDbExTest, RemovedRecordsRollUnchangedButCloseTheirMonth) {
    hire(employee("OFF", 800000));
    ASSERT_TRUE(vardb->appendNewRec(ui, employee("OFF", 800000)));
    edit("OFF", [](VARIATIONSREC& r) {
        r.removed = 1;
        r.deficit = 700;
        r.timeWorked = 2;
        r.monthGross = 800000;
        r.halfYearMonths = {1, 0};
    });
    ASSERT_TRUE(vardb->updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
    auto rec = stored("OFF");
    EXPECT_EQ(rec->deficitBF, 0);
    EXPECT_EQ(rec->timeWorked, 2);
    EXPECT_EQ(rec->monthGross, 800000);
    EXPECT_EQ(rec->openingPeriod, 1);
    monthEnd(); // into April
    rec = stored("OFF");
    EXPECT_EQ(rec->halfYearMonths, (std::array<int, 2>{2, 0}));
    EXPECT_EQ(rec->monthGross, 0);
    EXPECT_EQ(rec->removed, 1);
}

TEST_F(VarDbExTest, DeficitAndRoundingComeForward) {
    auto defs = testing::builtInDefs();
    // A keyed deduction larger than the pay leaves a deficit.
    auto advance = itemDef("Advance", "Advance", "Key in");
    advance->isStatic = 1;
    defs.deductions = {advance};
    define(common::MONTHLY, defs);
    for (const auto& e : {employee("SHORT", 400000), employee("ODD", 400555)}) {
        hire(e);
        ASSERT_TRUE(vardb->appendNewRec(ui, e));
    }
    edit("SHORT", [](VARIATIONSREC& r) {
        r.deductions[0].active = 1;
        r.deductions[0].amount = 450000;
    });
    org.roundNetPay = 1;
    org.roundingUnit = 1000;
    ASSERT_TRUE(vardb->updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
    const auto shortPaid = stored("SHORT");
    EXPECT_EQ(shortPaid->deficitBF, 50000);
    EXPECT_EQ(shortPaid->deficit, 50000);
    EXPECT_EQ(shortPaid->openingPeriod, 0);
    EXPECT_EQ(shortPaid->deductions[0].amount, 450000);
    const auto odd = stored("ODD");
    EXPECT_EQ(odd->roundingCF, 555);
    EXPECT_EQ(odd->roundingBF, 555);
}

TEST_F(VarDbExTest, AChangedMasterRecordDropsEndedMemberships) {
    auto defs = testing::builtInDefs();
    defs.deductions = {itemDef("Walimu Loan", "Co-op Loan Payment", "Key in", 1),
                       itemDef("Walimu Saving", "Co-op Contribution", "Key in", 1),
                       itemDef("Afya Saving", "Co-op Contribution", "Key in", 2)};
    define(common::MONTHLY, defs);
    auto e = employee("A1", 900000);
    e.coop1 = 1;
    e.coop2 = 2;
    hire(e);
    ASSERT_TRUE(vardb->appendNewRec(ui, e));
    edit("A1", [](VARIATIONSREC& r) {
        for (auto& item : r.deductions) {
            item.active = 1;
            item.amount = 10000;
        }
        std::get<common::LoanParams>(r.deductions[0].params).balance = 90000;
        r.lumpSumTax = 4000;
    });
    e.coop1 = 0;
    e.payeApplies = 0;
    ASSERT_TRUE(vardb->updateRecStatic(ui, e));
    const auto rec = stored("A1");
    EXPECT_EQ(rec->deductions[0].active, 0);
    EXPECT_EQ(std::get<common::LoanParams>(rec->deductions[0].params).balance, 0);
    EXPECT_EQ(rec->deductions[1].active, 0);
    EXPECT_EQ(rec->deductions[2].active, 1);
    EXPECT_EQ(rec->lumpSumTax, 0);
    EXPECT_FALSE(vardb->updateRecStatic(ui, employee("NOBODY", 1)));
}

// One employee with an amortised company loan, a savings plan, a pension
// fund and a co-op loan, through twelve months and a year end; the
// figures in golden/scenario.csv come from golden/make_scenario.py.
TEST_F(VarDbExTest, TwelveMonthsOfBalances) {
    auto defs = testing::builtInDefs();
    auto loan = itemDef("Staff Loan", "Company Loan Payment", "Amortise");
    auto savings = itemDef("Savings", "Savings Plan Deposit", "Key in");
    auto pension = itemDef("Pension", "Pension Contribution", "Key in", 1);
    auto coopLoan = itemDef("Coop Loan", "Co-op Loan Payment", "Key in", 1);
    for (const auto& d : {loan, savings, pension, coopLoan})
        d->isStatic = 1;
    defs.deductions = {loan, savings, pension, coopLoan};
    define(common::MONTHLY, defs);
    auto e = employee("S1", 2000000);
    e.coop1 = 1;
    e.pensionFund1 = 1;
    hire(e);
    ASSERT_TRUE(vardb->appendNewRec(ui, e));
    edit("S1", [](VARIATIONSREC& r) {
        for (auto& item : r.deductions)
            item.active = 1;
        r.deductions[0].amount = amortisedInstalment(600000, 12, 12);
        r.deductions[0].params = common::LoanParams{600000, 12, 12, 1, 0};
        r.deductions[1].amount = 50000;
        r.deductions[1].params = common::SavingsParams{0, 6};
        r.deductions[2].amount = 30000;
        r.deductions[2].params = common::PensionParams{45000, 0, 0};
        r.deductions[3].amount = 25000;
        r.deductions[3].params = common::LoanParams{200000, 10, 1, 1, 0};
    });
    org.month = "July";
    std::ostringstream actual;
    actual << "month,loanBalance,loanLeft,loanAmount,loanActive,savingsBalance,"
              "pensionEmployee,pensionEmployer,coopBalance,coopAmount,coopActive,"
              "halfYear0,halfYear1\n";
    for (int period = 0; period < 12; ++period) {
        const std::string month = org.month;
        ASSERT_TRUE(vardb->updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
        monthEnd();
        const auto r = stored("S1");
        ASSERT_TRUE(r);
        const auto& d = r->deductions;
        const auto& l = std::get<common::LoanParams>(d[0].params);
        const auto& p = std::get<common::PensionParams>(d[2].params);
        const auto& c = std::get<common::LoanParams>(d[3].params);
        actual << month << "," << l.balance << "," << l.paymentsLeft << "," << d[0].amount << ","
               << d[0].active << "," << std::get<common::SavingsParams>(d[1].params).balance << ","
               << p.employeeBalance << "," << p.employerBalance << "," << c.balance << ","
               << d[3].amount << "," << d[3].active << "," << r->halfYearMonths[0] << ","
               << r->halfYearMonths[1] << "\n";
    }
    const auto golden = std::filesystem::path(__FILE__).parent_path() / "golden" / "scenario.csv";
    std::ifstream in(golden);
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(actual.str(), expected.str());
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace kelo::staffrecords
