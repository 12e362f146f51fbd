#include "database/VarDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace kelo::database {
namespace {

using common::PayItem;
using common::PayItemDef;
using common::PayItemDefs;
using common::VARIATIONSREC;

std::shared_ptr<const PayItemDef> def(std::string name, std::string type, std::string function) {
    auto d = std::make_shared<PayItemDef>();
    d->itemName = std::move(name);
    d->itemType = std::move(type);
    d->itemFunction = std::move(function);
    return d;
}

// Items of every parameter kind, and functions that do and do not keep a
// keyed amount.
PayItemDefs everyKind() {
    PayItemDefs d;
    d.basicPay = def("Basic Pay", "Default", "Use Built-In Function");
    d.overtime = def("Overtime", "Default", "Use Built-In Function");
    d.rent = def("Rent", "Default", "Defined in Master File");
    d.earnings = {def("Acting Allowance", "Default", "Key in"),
                  def("Transport", "Default", "Percentage of Salary"),
                  def("Casual Hours", "Hourly Pay", "Based on Hours Worked")};
    d.deductions = {def("Pension", "Pension Contribution", "Key in"),
                    def("Coop Savings", "Co-op Contribution", "Percentage of Basic Pay"),
                    def("Coop Loan", "Co-op Loan Payment", "Amortise"),
                    def("Staff Loan", "Company Loan Payment", "Use Reducing Balance"),
                    def("Bank Loan", "Bank Loan Payment", "Key in"),
                    def("Savings", "Savings Plan Deposit", "Key in"),
                    def("Uniform", "Cost Recovery", "Key in"),
                    def("Benevolent", "Co-op Benevolent Fund", "Key in")};
    d.benefits = {def("Car", "Default", "Key in"), def("Phone", "Default", "Percentage of Salary")};
    d.lumpSums = {def("Bonus", "Default", "Key in")};
    d.refunds = {def("Refund", "Default", "Key in")};
    return d;
}

using Columns = std::vector<std::tuple<std::string, char, unsigned, unsigned>>;

// The item columns of everyKind(), in schema order.
const Columns kEveryKindColumns{
    {"E3Act", 'L', 1, 0}, {"E3Amt", 'B', 8, 2}, {"E4Act", 'L', 1, 0}, {"E5Act", 'L', 1, 0},
    {"E5P1", 'F', 8, 2},  {"E5P2", 'B', 8, 2},  {"D2Act", 'L', 1, 0}, {"D2Amt", 'B', 8, 2},
    {"D2P1", 'B', 8, 2},  {"D2P2", 'B', 8, 2},  {"D2P3", 'B', 8, 2},  {"D3Act", 'L', 1, 0},
    {"D3P1", 'B', 8, 2},  {"D4Act", 'L', 1, 0}, {"D4Amt", 'B', 8, 2}, {"D4P1", 'B', 8, 2},
    {"D4P2", 'F', 8, 2},  {"D4P3", 'I', 4, 0},  {"D4P4", 'L', 1, 0},  {"D4P5", 'L', 1, 0},
    {"D5Act", 'L', 1, 0}, {"D5P1", 'B', 8, 2},  {"D5P2", 'F', 8, 2},  {"D5P3", 'I', 4, 0},
    {"D5P4", 'L', 1, 0},  {"D5P5", 'L', 1, 0},  {"D6Act", 'L', 1, 0}, {"D6Amt", 'B', 8, 2},
    {"D6P1", 'I', 4, 0},  {"D6P2", 'L', 1, 0},  {"D6P3", 'C', 24, 0}, {"D6P4", 'C', 24, 0},
    {"D6P5", 'C', 24, 0}, {"D7Act", 'L', 1, 0}, {"D7Amt", 'B', 8, 2}, {"D7P1", 'B', 8, 2},
    {"D7P2", 'F', 8, 2},  {"D8Act", 'L', 1, 0}, {"D8Amt", 'B', 8, 2}, {"D8P1", 'B', 8, 2},
    {"D8P2", 'I', 4, 0},  {"D8P3", 'L', 1, 0},  {"D9Act", 'L', 1, 0}, {"D9Amt", 'B', 8, 2},
    {"B1Act", 'L', 1, 0}, {"B1Amt", 'B', 8, 2}, {"B2Act", 'L', 1, 0}, {"L1Act", 'L', 1, 0},
    {"L1Amt", 'B', 8, 2}, {"R1Act", 'L', 1, 0}, {"R1Amt", 'B', 8, 2},
};

Columns itemColumnsOf(const std::vector<engine::Field4Info>& fields, std::size_t fixed) {
    Columns columns;
    for (std::size_t i = fixed; i < fields.size(); ++i)
        columns.emplace_back(fields[i].name, fields[i].type, fields[i].length, fields[i].decimals);
    return columns;
}

auto fixedFieldsOf(const VARIATIONSREC& r) {
    return std::tie(
        r.empNum, r.lastName, r.otherNames, r.openingPeriod, r.removed, r.payeApplies,
        r.useTopTaxRate, r.nssfMember, r.housed, r.payFreq, r.payMethod, r.coop1, r.coop2,
        r.pensionFund1, r.pensionFund2, r.payBasis, r.payRate, r.fullPay, r.hoursPerDay,
        r.hoursPerMonth, r.timeBasis, r.timeWorked, r.basicPay, r.overtimeEligible,
        r.normalOvertimeRate, r.normalOvertimeHours, r.doubleOvertimeRate, r.doubleOvertimeHours,
        r.overtimePay, r.rentDeducted, r.rent, r.deficitBF, r.roundingCF, r.housingValue,
        r.housingExpense, r.housingBenefit, r.employerPensionBenefit, r.loanBenefit, r.roundingBF,
        r.lumpSumTax, r.pensionRelief, r.paye, r.nssfEmployee, r.nssfEmployer, r.sdl,
        r.statutoryDeductions, r.taxableEarnings, r.grossPay, r.totalBenefits, r.taxablePay,
        r.pensionDeduction, r.chargeablePay, r.otherDeductions, r.totalLumpSums, r.totalRefunds,
        r.totalPay, r.totalDeductions, r.deficit, r.netPay, r.monthTaxable, r.monthPaye,
        r.monthGross, r.monthBasic, r.halfYearMonths, r.halfYearTaxable, r.halfYearPaye);
}

// Every fixed field set to a value of its own.
void fillFixedFields(VARIATIONSREC& r) {
    r.empNum = "e042";
    r.lastName = "Kimaro";
    r.otherNames = "Baraka Joseph";
    r.openingPeriod = 0;
    r.removed = 1;
    r.payeApplies = 0;
    r.useTopTaxRate = 1;
    r.nssfMember = 0;
    r.housed = 1;
    r.payFreq = common::WEEKLY;
    r.payMethod = common::kPayByCheque;
    r.coop1 = 3;
    r.coop2 = 4;
    r.pensionFund1 = 5;
    r.pensionFund2 = 6;
    r.payBasis = common::kPayBasisHourly;
    r.payRate = 2750.25;
    r.fullPay = 484044;
    r.hoursPerDay = 8.5f;
    r.hoursPerMonth = 176.25f;
    r.timeBasis = common::kTimeHoursPresent;
    r.timeWorked = 160.75f;
    r.basicPay = 442103;
    r.overtimeEligible = 1;
    r.normalOvertimeRate = 4125.38;
    r.normalOvertimeHours = 12.5f;
    r.doubleOvertimeRate = 5500.5;
    r.doubleOvertimeHours = 4.25f;
    r.overtimePay = 74944;
    r.rentDeducted = 1;
    r.rent = 15000;
    r.deficitBF = 1234;
    r.roundingCF = 456;
    r.housingValue = 200000;
    r.housingExpense = 90000;
    r.housingBenefit = 75000;
    r.employerPensionBenefit = 51700;
    r.loanBenefit = 1250;
    r.roundingBF = 789;
    r.lumpSumTax = 30000;
    r.pensionRelief = 48000;
    r.paye = 61234;
    r.nssfEmployee = 51704;
    r.nssfEmployer = 51705;
    r.sdl = 23000;
    r.statutoryDeductions = 142938;
    r.taxableEarnings = 517047;
    r.grossPay = 537047;
    r.totalBenefits = 127950;
    r.taxablePay = 644997;
    r.pensionDeduction = 48000;
    r.chargeablePay = 596997;
    r.otherDeductions = 98765;
    r.totalLumpSums = 100000;
    r.totalRefunds = 20789;
    r.totalPay = 657836;
    r.totalDeductions = 241703;
    r.deficit = 0.5;
    r.netPay = 416133;
    r.monthTaxable = 1111.11;
    r.monthPaye = 222.22;
    r.monthGross = 3333.33;
    r.monthBasic = 4444.44;
    r.halfYearMonths = {5, 2};
    r.halfYearTaxable = {3000000.5, 1200000.25};
    r.halfYearPaye = {300000, 120000};
}

// The item's parameters as text, for comparing whole records.
std::string describe(const common::PayItemParams& params) {
    std::ostringstream out;
    std::visit(
        [&](const auto& p) {
            using T = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<T, common::HourlyParams>)
                out << "hourly " << p.hoursWorked << ' ' << p.hourlyRate;
            else if constexpr (std::is_same_v<T, common::PensionParams>)
                out << "pension " << p.employerContribution << ' ' << p.employeeBalance << ' '
                    << p.employerBalance;
            else if constexpr (std::is_same_v<T, common::CoopParams>)
                out << "coop " << p.balance;
            else if constexpr (std::is_same_v<T, common::LoanParams>)
                out << "loan " << p.balance << ' ' << p.interestRate << ' ' << p.paymentsLeft << ' '
                    << p.newLoan << ' ' << p.taxableBenefit;
            else if constexpr (std::is_same_v<T, common::BankLoanParams>)
                out << "bank loan " << p.paymentsLeft << ' ' << p.newLoan << " [" << p.bankName
                    << "] [" << p.branchName << "] [" << p.loanNumber << ']';
            else if constexpr (std::is_same_v<T, common::SavingsParams>)
                out << "savings " << p.balance << ' ' << p.interestRate;
            else if constexpr (std::is_same_v<T, common::CostRecoveryParams>)
                out << "cost recovery " << p.balance << ' ' << p.paidOff << ' ' << p.newRecovery;
            else
                out << "none";
        },
        params);
    return out.str();
}

std::vector<std::string> itemsOf(const VARIATIONSREC& r) {
    std::vector<std::string> items;
    for (common::FIELDSTABLE t : common::kFieldsTables) {
        for (const PayItem& item : *r.items(t)) {
            std::ostringstream out;
            out << item.definition->itemName << ": active " << item.active << " amount "
                << item.amount << ", " << describe(item.params);
            items.push_back(out.str());
        }
    }
    return items;
}

template <class Params> Params& paramsOf(VARIATIONSREC& r, common::FIELDSTABLE t, std::size_t i) {
    return std::get<Params>((*r.items(t))[i].params);
}

// Every item active, with an amount and every parameter set. Items whose
// function computes the amount keep none.
VARIATIONSREC sampleRecord(const PayItemDefs& defs) {
    VARIATIONSREC r = common::newVariationsRec(defs);
    fillFixedFields(r);
    double amount = 100;
    for (common::FIELDSTABLE t : common::kFieldsTables) {
        for (PayItem& item : *r.items(t)) {
            item.active = 1;
            const auto function = common::itemFunctionOf(*item.definition);
            const bool stored = function == common::ItemFunction::KeyIn ||
                                function == common::ItemFunction::Amortise;
            item.amount = stored ? (amount += 1000.25) : 0;
        }
    }
    using namespace common;
    paramsOf<HourlyParams>(r, EARNINGS, 2) = {12.75f, 3125.5};
    paramsOf<PensionParams>(r, DEDUCTIONS, 0) = {50000, 1200000.5, 1300000.25};
    paramsOf<CoopParams>(r, DEDUCTIONS, 1) = {245000};
    paramsOf<LoanParams>(r, DEDUCTIONS, 2) = {800000, 9.5f, 11, 0, 0};
    paramsOf<LoanParams>(r, DEDUCTIONS, 3) = {1500000.75, 6.25f, 24, 1, 1};
    paramsOf<BankLoanParams>(r, DEDUCTIONS, 4) = {17, 0, "NMB Bank", "Mwanza", "LN/2024/0042"};
    paramsOf<SavingsParams>(r, DEDUCTIONS, 5) = {640000, 4.5f};
    paramsOf<CostRecoveryParams>(r, DEDUCTIONS, 6) = {35000, 2, 1};
    return r;
}

class VarDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system"));
        std::filesystem::create_directories(dir.file("org01/database"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
    }

    // A monthly table with everyKind() items, open shared.
    void openEveryKind() {
        ASSERT_TRUE(table.setDefinitions(everyKind()));
        ASSERT_TRUE(table.createFile(ui, common::MONTHLY));
        ASSERT_TRUE(table.openFile(common::MONTHLY));
    }
    void append(const std::string& empNum, int removed = 0) {
        VARIATIONSREC r = common::newVariationsRec(table.definitions());
        r.empNum = empNum;
        r.removed = removed;
        ASSERT_TRUE(table.appendRec(r));
    }
    std::vector<std::string> walk() {
        std::vector<std::string> numbers;
        for (int rc = table.data()->top(); rc == engine::r4success && !table.data()->eof();
             rc = table.data()->skip()) {
            VARIATIONSREC r;
            EXPECT_TRUE(table.initRec(r));
            numbers.push_back(r.empNum);
        }
        return numbers;
    }
    VARIATIONSREC readBack(std::string_view empNum) {
        VARIATIONSREC r;
        EXPECT_TRUE(table.seekEmpNum(empNum));
        EXPECT_TRUE(table.initRec(r));
        return r;
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    VARDB table{code, folder};
};

TEST(VarDbColumns, ItemColumnsAreNamedByTableLetterAndIdentifier) {
    const PayItemDefs defs = everyKind();
    const PayItemIds ids = positionalItemIds(defs);
    EXPECT_EQ(ids[common::EARNINGS], (std::vector<std::int32_t>{3, 4, 5}));
    EXPECT_EQ(ids[common::DEDUCTIONS], (std::vector<std::int32_t>{2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(ids[common::BENEFITS], (std::vector<std::int32_t>{1, 2}));

    Columns all;
    for (common::FIELDSTABLE t : common::kFieldsTables) {
        const auto& list = *defs.list(t);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const auto columns =
                itemColumnsOf(payItemColumns(t, ids[static_cast<std::size_t>(t)][i], *list[i]), 0);
            all.insert(all.end(), columns.begin(), columns.end());
        }
    }
    EXPECT_EQ(all, kEveryKindColumns);

    // Without built-in items the user items are numbered from 1.
    PayItemDefs bare;
    bare.earnings = {def("A", "Default", "Key in")};
    bare.deductions = {def("B", "Default", "Key in")};
    EXPECT_EQ(positionalItemIds(bare)[common::EARNINGS], (std::vector<std::int32_t>{1}));
    EXPECT_EQ(positionalItemIds(bare)[common::DEDUCTIONS], (std::vector<std::int32_t>{1}));

    // A function text of no known function behaves as "Key in": its amount is kept.
    EXPECT_EQ(itemColumnsOf(payItemColumns(common::REFUNDS, 12, *def("X", "Default", "Odd")), 0),
              (Columns{{"R12Act", 'L', 1, 0}, {"R12Amt", 'B', 8, 2}}));
}

TEST_F(VarDbTest, TheTableHasTheFixedColumnsThenTheItemColumns) {
    openEveryKind();
    const Schema schema = table.schema();
    const std::size_t fixed = schema.fields.size() - kEveryKindColumns.size();
    EXPECT_EQ(itemColumnsOf(schema.fields, fixed), kEveryKindColumns);
    engine::Data4& data = *table.data();
    ASSERT_EQ(data.fieldCount(), static_cast<int>(schema.fields.size()));
    for (std::size_t i = 0; i < schema.fields.size(); ++i) {
        const engine::Field4& f = *data.field(static_cast<int>(i + 1));
        EXPECT_TRUE(common::equalsIgnoreCase(f.name(), schema.fields[i].name)) << f.name();
        EXPECT_EQ(f.type(), schema.fields[i].type) << f.name();
    }
    for (const char* name : {"EMPNO", "REMOVED", "LumpSumTax", "TIMEWORKED", "HYPAYE2"})
        EXPECT_NE(data.field(name), nullptr) << name;
    EXPECT_EQ(data.field("EMPNO")->length(), 19u);
    EXPECT_EQ(data.field("OTHERNAMES")->length(), 31u);
    EXPECT_EQ(data.field("LumpSumTax")->type(), 'B');
    ASSERT_NE(data.tag(VARDB::kEmpNumTag), nullptr);
    EXPECT_EQ(data.tag(VARDB::kEmpNumTag)->info().expression, "UPPER(EMPNO)");
    EXPECT_EQ(data.tag(VARDB::kEmpNumTag)->info().filter, "");
    ASSERT_NE(data.tag(VARDB::kEmpNumTag2), nullptr);
    EXPECT_EQ(data.tag(VARDB::kEmpNumTag2)->info().expression, "UPPER(EMPNO)");
    EXPECT_EQ(data.tag(VARDB::kEmpNumTag2)->info().filter, ".NOT. REMOVED .AND. .NOT. DELETED()");
}

TEST_F(VarDbTest, GivenIdentifiersNameTheColumns) {
    PayItemDefs defs;
    defs.earnings = {def("A", "Default", "Key in"), def("B", "Default", "Percentage of Salary"),
                     def("C", "Hourly Pay", "Based on Hours Worked")};
    PayItemIds ids;
    ids[common::EARNINGS] = {7, 12, 30};
    ASSERT_TRUE(table.setDefinitions(defs, ids));
    const Schema schema = table.schema();
    EXPECT_EQ(itemColumnsOf(schema.fields, schema.fields.size() - 6),
              (Columns{{"E7Act", 'L', 1, 0},
                       {"E7Amt", 'B', 8, 2},
                       {"E12Act", 'L', 1, 0},
                       {"E30Act", 'L', 1, 0},
                       {"E30P1", 'F', 8, 2},
                       {"E30P2", 'B', 8, 2}}));

    const std::vector<std::pair<const char*, std::vector<std::int32_t>>> refused{
        {"too few", {7, 12}},
        {"too many", {7, 12, 30, 31}},
        {"repeated", {7, 7, 30}},
        {"zero", {0, 12, 30}},
        {"negative", {7, -12, 30}}};
    for (const auto& [name, list] : refused) {
        SCOPED_TRACE(name);
        PayItemIds bad;
        bad[common::EARNINGS] = list;
        EXPECT_FALSE(table.setDefinitions(defs, bad));
        EXPECT_EQ(code.errorCode(), engine::e4parm);
        code.setErrorCode(0);
        EXPECT_EQ(table.itemIds()[common::EARNINGS], ids[common::EARNINGS]) << "kept";
    }
}

TEST_F(VarDbTest, EveryFieldAndItemSurvivesTheRoundTrip) {
    openEveryKind();
    const VARIATIONSREC written = sampleRecord(table.definitions());
    ASSERT_TRUE(table.appendRec(written));
    table.closeFile();
    ASSERT_TRUE(table.openFile(common::MONTHLY, true));
    const VARIATIONSREC read = readBack("E042");
    EXPECT_EQ(read.recNo, 1);
    EXPECT_EQ(fixedFieldsOf(read), fixedFieldsOf(written));
    EXPECT_EQ(itemsOf(read), itemsOf(written));
    EXPECT_EQ(read.basicPayDef, table.definitions().basicPay);
    EXPECT_EQ(read.overtimeDef, table.definitions().overtime);
    EXPECT_EQ(read.rentDef, table.definitions().rent);
    for (common::FIELDSTABLE t : common::kFieldsTables) {
        const auto& defs = *table.definitions().list(t);
        ASSERT_EQ(read.items(t)->size(), defs.size());
        for (std::size_t i = 0; i < defs.size(); ++i)
            EXPECT_EQ((*read.items(t))[i].definition, defs[i]) << "definition order";
    }
}

TEST_F(VarDbTest, AnAmountItsFunctionComputesIsNotStored) {
    openEveryKind();
    VARIATIONSREC r = common::newVariationsRec(table.definitions());
    r.empNum = "E1";
    for (common::FIELDSTABLE t : common::kFieldsTables)
        for (PayItem& item : *r.items(t))
            item.amount = 999;
    ASSERT_TRUE(table.appendRec(r));
    const VARIATIONSREC read = readBack("E1");
    EXPECT_EQ(read.earnings[0].amount, 999) << "Key in";
    EXPECT_EQ(read.earnings[1].amount, 0) << "Percentage of Salary";
    EXPECT_EQ(read.earnings[2].amount, 0) << "Based on Hours Worked";
    EXPECT_EQ(read.deductions[2].amount, 999) << "Amortise";
    EXPECT_EQ(read.deductions[3].amount, 0) << "Use Reducing Balance";
    EXPECT_EQ(read.benefits[1].amount, 0) << "Percentage of Salary";
}

TEST_F(VarDbTest, AFreshRecordIsStoredAsBuilt) {
    openEveryKind();
    VARIATIONSREC fresh = common::newVariationsRec(table.definitions());
    fresh.empNum = "E100";
    ASSERT_TRUE(table.appendRec(fresh));
    table.closeFile();
    ASSERT_TRUE(table.openFile(common::MONTHLY));
    const VARIATIONSREC read = readBack("e100");
    EXPECT_EQ(fixedFieldsOf(read), fixedFieldsOf(fresh));
    EXPECT_EQ(itemsOf(read), itemsOf(fresh));
    EXPECT_EQ(read.openingPeriod, 1);
    EXPECT_EQ(read.payeApplies, 1);
    EXPECT_EQ(read.nssfMember, 1);
    EXPECT_EQ(describe(read.deductions[2].params), "loan 0 0 1 1 0");
    EXPECT_EQ(describe(read.deductions[4].params), "bank loan 1 1 [] [] []");
    EXPECT_EQ(describe(read.deductions[6].params), "cost recovery 0 1 1");
}

TEST_F(VarDbTest, AppendedRecordsBecomeCurrentAndUpdatesOverwrite) {
    openEveryKind();
    append("E1");
    append("E2");
    EXPECT_EQ(table.data()->recCount(), 2);
    EXPECT_EQ(table.data()->recNo(), 2);

    VARIATIONSREC r = readBack("e1");
    r.timeWorked = 3.5f;
    r.deductions[2].active = 1;
    r.deductions[2].amount = 75000;
    std::get<common::LoanParams>(r.deductions[2].params).balance = 600000;
    ASSERT_TRUE(table.updateFields(r));
    EXPECT_EQ(table.data()->recCount(), 2);
    table.closeFile();
    ASSERT_TRUE(table.openFile(common::MONTHLY));
    const VARIATIONSREC read = readBack("E1");
    EXPECT_EQ(read.timeWorked, 3.5f);
    EXPECT_EQ(itemsOf(read), itemsOf(r));
}

TEST_F(VarDbTest, TextIsCutToTheColumnWidths) {
    openEveryKind();
    VARIATIONSREC r = common::newVariationsRec(table.definitions());
    r.empNum = std::string(25, 'e');
    r.lastName = std::string(25, 'l');
    r.otherNames = std::string(40, 'o');
    auto& bankLoan = std::get<common::BankLoanParams>(r.deductions[4].params);
    bankLoan.bankName = std::string(30, 'b');
    bankLoan.branchName = std::string(30, 'r');
    bankLoan.loanNumber = std::string(30, 'n');
    ASSERT_TRUE(table.appendRec(r));
    VARIATIONSREC read;
    ASSERT_TRUE(table.initRec(read));
    EXPECT_EQ(read.empNum, std::string(19, 'e'));
    EXPECT_EQ(read.lastName, std::string(19, 'l'));
    EXPECT_EQ(read.otherNames, std::string(31, 'o'));
    EXPECT_EQ(describe(read.deductions[4].params), "bank loan 1 1 [" + std::string(24, 'b') +
                                                       "] [" + std::string(24, 'r') + "] [" +
                                                       std::string(24, 'n') + "]");
}

TEST_F(VarDbTest, TheSecondOrderHoldsOnlyTheEmployeesOnThePayroll) {
    openEveryKind();
    append("e003");
    append("E002", 1);
    append("e001");
    append("E004");
    // A deleted record waiting for the pack.
    ASSERT_TRUE(table.seekEmpNum("E004"));
    table.data()->deleteRec();
    ASSERT_EQ(table.data()->flush(), engine::r4success);

    ASSERT_TRUE(table.orderByEmpNum1());
    EXPECT_EQ(walk(), (std::vector<std::string>{"e001", "E002", "e003", "E004"}));
    ASSERT_TRUE(table.orderByEmpNum2());
    EXPECT_EQ(walk(), (std::vector<std::string>{"e001", "e003"}));

    // A removed employee is still found, and rejoins the order when added back.
    ASSERT_TRUE(table.seekEmpNum("e002"));
    VARIATIONSREC r;
    ASSERT_TRUE(table.initRec(r));
    EXPECT_EQ(r.removed, 1);
    EXPECT_EQ(table.data()->selected(), table.data()->tag(VARDB::kEmpNumTag2));
    r.removed = 0;
    ASSERT_TRUE(table.updateFields(r));
    EXPECT_EQ(walk(), (std::vector<std::string>{"e001", "E002", "e003"}));
    for (const char* key : {"E001", "e001"}) {
        ASSERT_TRUE(table.seekEmpNum(key));
        EXPECT_EQ(table.data()->recNo(), 3);
    }
    EXPECT_FALSE(table.seekEmpNum("E9"));
    EXPECT_TRUE(table.data()->eof());
}

TEST_F(VarDbTest, EachPayFrequencyHasItsTable) {
    ASSERT_TRUE(table.setDefinitions(everyKind()));
    const std::vector<std::pair<common::PAYFREQ, const char*>> cases{
        {common::MONTHLY, "monpay.dbf"},
        {common::WEEKLY, "wkpay.dbf"},
        {common::BIWEEKLY, "bwkpay.dbf"},
        {common::IRREGULAR, "irrpay.dbf"}};
    for (const auto& [payFreq, file] : cases) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(table.createFile(ui, payFreq));
        EXPECT_TRUE(std::filesystem::exists(dir.file(std::string("org01/database/") + file)));
        EXPECT_EQ(ui.statusTexts.at(ui.statusTexts.size() - 2),
                  std::string("Creating ") + file + "...");
    }
    for (const auto& [payFreq, file] : cases) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(table.openFile(payFreq));
        EXPECT_EQ(table.payFreq(), payFreq);
        EXPECT_EQ(table.relativePath(), std::string("database/") + file);
        append(std::string("E-") + file);
    }
    ASSERT_TRUE(table.openFile(common::WEEKLY, true));
    EXPECT_TRUE(table.data()->isExclusive());
    EXPECT_EQ(walk(), (std::vector<std::string>{"E-wkpay.dbf"}));
}

TEST_F(VarDbTest, AMissingTableOrAnUnknownFrequencyIsRefused) {
    ASSERT_TRUE(table.setDefinitions(everyKind()));
    EXPECT_FALSE(table.openFile(common::BIWEEKLY));
    EXPECT_EQ(code.errorCode(), engine::e4open);
    code.setErrorCode(0);
    EXPECT_FALSE(table.openFile(static_cast<common::PAYFREQ>(4)));
    EXPECT_EQ(code.errorCode(), engine::e4parm);
    code.setErrorCode(0);
    EXPECT_FALSE(table.createFile(ui, static_cast<common::PAYFREQ>(-1)));
    EXPECT_EQ(ui.lastMessage(), "Can't create the transactions table of pay frequency -1");
    EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");

    VARIATIONSREC r = common::newVariationsRec(table.definitions());
    EXPECT_FALSE(table.initRec(r));
    EXPECT_FALSE(table.appendRec(r));
    EXPECT_EQ(code.errorCode(), engine::e4parm);
    code.setErrorCode(0);
    EXPECT_FALSE(table.updateFields(r));
    EXPECT_EQ(code.errorCode(), engine::e4parm);
    code.setErrorCode(0);

    folder.moveTo("../org02");
    EXPECT_FALSE(table.createFile(ui, common::MONTHLY));
    EXPECT_EQ(ui.lastMessage(), "Can't create database/monpay.dbf");
}

TEST_F(VarDbTest, DefinitionsTheTableHasNoColumnsForAreRefused) {
    openEveryKind();
    append("E1");
    PayItemDefs more = everyKind();
    more.refunds.push_back(def("Fare", "Default", "Key in"));
    EXPECT_FALSE(table.setDefinitions(more));
    EXPECT_EQ(code.errorCode(), engine::e4field);
    code.setErrorCode(0);
    EXPECT_EQ(table.definitions().refunds.size(), 1u) << "the previous definitions stay";
    EXPECT_EQ(readBack("E1").empNum, "E1");

    table.closeFile();
    ASSERT_TRUE(table.setDefinitions(more));
    EXPECT_FALSE(table.openFile(common::MONTHLY));
    EXPECT_EQ(code.errorCode(), engine::e4field);
    code.setErrorCode(0);
}

TEST_F(VarDbTest, ColumnsOfADeletedItemAreSkippedByName) {
    openEveryKind();
    VARIATIONSREC r = sampleRecord(table.definitions());
    ASSERT_TRUE(table.appendRec(r));
    table.closeFile();

    // The casual hours earning (E5) now stands first: its columns are found
    // by name although they stand elsewhere.
    PayItemDefs fewer = everyKind();
    fewer.earnings.erase(fewer.earnings.begin(), fewer.earnings.begin() + 2);
    PayItemIds ids = positionalItemIds(everyKind());
    ids[common::EARNINGS] = {5};
    ASSERT_TRUE(table.setDefinitions(fewer, ids));
    ASSERT_TRUE(table.openFile(common::MONTHLY));
    VARIATIONSREC read = readBack("E042");
    ASSERT_EQ(read.earnings.size(), 1u);
    EXPECT_EQ(describe(read.earnings[0].params), "hourly 12.75 3125.5");
    read.earnings[0].active = 0;
    ASSERT_TRUE(table.updateFields(read));
    EXPECT_EQ(readBack("E042").earnings[0].active, 0);
}

TEST_F(VarDbTest, ARecordOfOtherDefinitionsIsNotWritten) {
    openEveryKind();
    append("E1");
    VARIATIONSREC r = readBack("E1");
    r.lastName = "Changed";
    r.refunds.clear();
    EXPECT_FALSE(table.updateFields(r));
    EXPECT_EQ(code.errorCode(), engine::e4parm);
    EXPECT_FALSE(table.appendRec(r));
    code.setErrorCode(0);
    EXPECT_EQ(table.data()->recCount(), 1);
    EXPECT_EQ(readBack("E1").lastName, "");
}

TEST_F(VarDbTest, ALockedRecordIsLeftAsItWas) {
    openEveryKind();
    append("E1");
    auto other = engine::Data4::open(code, table.path());
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->lock(1), engine::r4success);

    VARIATIONSREC r = readBack("E1");
    r.lastName = "Changed";
    r.earnings[0].amount = 5000;
    EXPECT_FALSE(table.updateFields(r));
    EXPECT_EQ(code.errorCode(), engine::e4lock);
    EXPECT_NE(code.errorText().find("locked by another user"), std::string::npos);
    code.setErrorCode(0);
    VARIATIONSREC current;
    ASSERT_TRUE(table.initRec(current));
    EXPECT_EQ(current.lastName, "") << "the current row is read again";
    ASSERT_EQ(other->go(1), engine::r4success);
    EXPECT_EQ(other->field("LASTNAME")->trimmed(), "");

    other->unlock();
    ASSERT_TRUE(table.updateFields(r)) << "the caller's record was kept";
    ASSERT_EQ(other->go(1), engine::r4success);
    EXPECT_EQ(other->field("LASTNAME")->trimmed(), "Changed");
    EXPECT_EQ(other->field("E3Amt")->getDouble(), 5000);

    ASSERT_EQ(other->lockAll(), engine::r4success);
    VARIATIONSREC fresh = common::newVariationsRec(table.definitions());
    fresh.empNum = "E2";
    EXPECT_FALSE(table.appendRec(fresh));
    EXPECT_EQ(table.data()->recCount(), 1);
    EXPECT_TRUE(table.data()->eof());
    other->unlock();
    code.setErrorCode(0);
    ASSERT_TRUE(table.appendRec(fresh));
    EXPECT_EQ(table.data()->recCount(), 2);
}

} // namespace
} // namespace kelo::database
