#include "staffrecords/FieldsFrm.h"

#include "StaffFixture.h"
#include "staffrecords/FieldsFrmControls.h"
#include "staffrecords/FieldsRules.h"
#include "staffrecords/VarDbEx.h"
#include "testsupport/FakeDialogView.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace kelo::staffrecords {
namespace {

namespace ff = fieldsfrm;
using common::Answer;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct FieldsFrmTest : testing::StaffFixture {
    testsupport::FakeDialogView form;
    testsupport::FakeDialogView dlg;
    std::unique_ptr<FIELDSFRM> fields;

    void SetUp() override {
        StaffFixture::SetUp();
        fields = std::make_unique<FIELDSFRM>(ui, form, code, folder);
    }

    void openTable(common::FIELDSTABLE table) {
        ASSERT_TRUE(fields->checkFiles(ui, org));
        ASSERT_TRUE(fields->open(ui, table, org));
    }

    void choose(const char* control, const std::string& text) {
        const int row = form.findItem(control, text);
        ASSERT_GE(row, 0) << text;
        form.selectRow(control, row);
    }

    // Adds and saves an item of the open table.
    bool addItem(const std::string& name, const std::string& type = "Default", long link = 0) {
        if (!fields->addRecord(ui, org))
            return false;
        form.setText(ff::kName, name);
        choose(ff::kType, type);
        fields->resetType();
        if (link) {
            fields->displayCoop(dlg);
            dlg.selectRow(
                fundsdlg::kName,
                dlg.findItem(fundsdlg::kName, link == 1 ? "Walimu SACCOS" : "Afya SACCOS"));
            if (!fields->getCoop(ui, dlg))
                return false;
        }
        return fields->save(ui, org);
    }

    database::PayFieldTables onFile() {
        database::PayFieldTables t;
        EXPECT_TRUE(database::readPayFields(ui, folder, common::MONTHLY, t));
        return t;
    }

    // The monthly transactions record of `empNum` under the definitions on
    // file; `change`, when given, is applied and stored first.
    common::VARIATIONSREC record(const std::string& empNum,
                                 const std::function<void(common::VARIATIONSREC&)>& change = {}) {
        testsupport::RecordingUi quiet;
        common::PayItemDefs defs;
        EXPECT_TRUE(database::loadPayItemDefs(quiet, folder, common::MONTHLY, defs));
        database::VARDB vardb(code, folder);
        common::VARIATIONSREC rec;
        EXPECT_TRUE(vardb.setDefinitions(defs));
        EXPECT_TRUE(vardb.openFile(common::MONTHLY, true));
        vardb.orderByEmpNum1();
        EXPECT_TRUE(vardb.seekEmpNum(empNum));
        EXPECT_TRUE(vardb.initRec(rec));
        if (change) {
            change(rec);
            EXPECT_TRUE(vardb.updateFields(rec));
        }
        vardb.closeFile();
        return rec;
    }

    // Employee A1 on the monthly payroll, with a transactions record.
    void hireA1() {
        const auto e = employee("A1", 500000);
        hire(e);
        testsupport::RecordingUi owner;
        VARDBEX vardb(owner, code, folder);
        ASSERT_TRUE(vardb.appendNewRec(ui, e));
    }
};

// What the pay fields form asks before values start again.
const char* const kRestartQuestion =
    "Changing the type or function of this field changes what its payroll values mean. "
    "Each employee's amounts and balances for this item will start again from zero. "
    "The item will be switched off for every employee. Do you want to continue?";

TEST_F(FieldsFrmTest, ShowsTheBuiltInItemsAsFixed) {
    openTable(common::EARNINGS);
    EXPECT_EQ(form.text(ff::kPosition), "Field 1 of 2");
    EXPECT_EQ(form.text(ff::kName), "Basic Pay");
    EXPECT_FALSE(form.isEnabled(ff::kType));
    EXPECT_FALSE(form.isEnabled(ff::kFunction));
    EXPECT_FALSE(form.isEnabled(ff::kDelete));
    EXPECT_FALSE(form.isVisible(ff::kFunctionButton));
    EXPECT_FALSE(form.isEnabled(ff::kPrevious));
    ASSERT_TRUE(fields->nextRecord(ui, org));
    EXPECT_EQ(form.text(ff::kPosition), "Field 2 of 2");
    EXPECT_EQ(form.text(ff::kName), "Overtime");
    EXPECT_FALSE(form.isEnabled(ff::kNext));

    // Deleting a built-in item only beeps.
    EXPECT_FALSE(fields->deleteRecord(ui, org));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(fields->tables()[common::EARNINGS].size(), 2u);
}

TEST_F(FieldsFrmTest, AddingAnItemWritesTheFileAndGivesTheTableItsColumns) {
    auto e = employee("A1", 500000);
    hire(e);
    testsupport::RecordingUi owner;
    VARDBEX vardb(owner, code, folder);
    ASSERT_TRUE(vardb.appendNewRec(ui, e));

    openTable(common::EARNINGS);
    ASSERT_TRUE(fields->addRecord(ui, org));
    EXPECT_EQ(form.text(ff::kPosition), "Field 3 of 3");
    EXPECT_EQ(form.focus(), ff::kName);
    EXPECT_EQ(fields->getType(), "Default");
    EXPECT_EQ(fields->getFunction(), "Key in");
    EXPECT_TRUE(form.isChecked(ff::kTaxable));
    EXPECT_EQ(form.text(ff::kFunctionButton), "Limits...");

    // A blank name is refused and the item stays.
    EXPECT_FALSE(fields->save(ui, org));
    EXPECT_EQ(ui.lastMessage(), "The field name must not be blank. Please enter a value.");
    EXPECT_TRUE(fields->isNewItem());
    form.setText(ff::kName, "basic pay");
    EXPECT_FALSE(fields->save(ui, org));
    EXPECT_EQ(ui.lastMessage(),
              "Field with this name already exists. Please enter a different name.");

    form.setText(ff::kName, "Acting Allowance");
    ui.statusTexts.clear();
    ASSERT_TRUE(fields->save(ui, org));
    EXPECT_EQ(ui.statusTexts.front(), "Updating database/monpay.dbf...");
    const auto t = onFile();
    ASSERT_EQ(t[common::EARNINGS].size(), 3u);
    EXPECT_EQ(t[common::EARNINGS][2].itemName, "Acting Allowance");
    EXPECT_EQ(t[common::EARNINGS][2].id, 3);
    EXPECT_NE(bytesOf(folder.resolve("database/monpay.dat")).find("# Monthly payroll file"),
              std::string::npos);
    auto table = engine::Data4::open(code, folder.resolve("database/monpay.dbf"));
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->field("E3Act"));
    EXPECT_TRUE(table->field("E3Amt"));
    EXPECT_EQ(table->recCount(), 1);
    table.reset();
    // The record is read and rolled with the new item.
    ASSERT_TRUE(vardb.updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
}

TEST_F(FieldsFrmTest, TypesAndFunctionsOffered) {
    EXPECT_EQ(typesOffered(common::DEDUCTIONS, common::MONTHLY).size(), 10u);
    for (common::PAYFREQ f : {common::WEEKLY, common::BIWEEKLY, common::IRREGULAR})
        EXPECT_EQ(typesOffered(common::DEDUCTIONS, f),
                  (std::vector<std::string>{"Default", "Advance", "Cost Recovery"}));
    EXPECT_EQ(typesOffered(common::EARNINGS, common::WEEKLY),
              (std::vector<std::string>{"Default", "Hourly Pay"}));
    EXPECT_EQ(typesOffered(common::REFUNDS, common::MONTHLY),
              (std::vector<std::string>{"Default"}));
    EXPECT_EQ(functionsOffered(common::DEDUCTIONS, "Co-op Loan Payment").front(), "Amortise");
    EXPECT_EQ(functionsOffered(common::DEDUCTIONS, "Advance").size(), 4u);
    EXPECT_EQ(functionsOffered(common::EARNINGS, "Hourly Pay"),
              (std::vector<std::string>{"Based on Hours Worked"}));
    EXPECT_EQ(functionsOffered(common::BENEFITS, "Default"),
              (std::vector<std::string>{"Key in", "Percentage of Salary"}));

    // Hourly pay brings its function and leaves it again.
    openTable(common::EARNINGS);
    ASSERT_TRUE(fields->addRecord(ui, org));
    form.setChecked(ff::kStatic, true);
    choose(ff::kType, "Hourly Pay");
    fields->resetType();
    EXPECT_EQ(fields->getFunction(), "Based on Hours Worked");
    EXPECT_EQ(fields->item().funcParams.rateKind, common::kBasicPayRateKind);
    EXPECT_FALSE(form.isChecked(ff::kStatic));
    EXPECT_EQ(form.text(ff::kFunctionButton), "Hourly Rate...");
    choose(ff::kType, "Default");
    fields->resetType();
    EXPECT_EQ(fields->getFunction(), "Key in");

    // A weekly deductions form offers no loan, co-op, pension or savings type.
    org.payFreq = common::WEEKLY;
    openTable(common::DEDUCTIONS);
    ASSERT_TRUE(fields->addRecord(ui, org));
    EXPECT_EQ(form.itemCount(ff::kType), 3);
    EXPECT_EQ(form.findItem(ff::kType, "Company Loan Payment"), -1);
}

TEST_F(FieldsFrmTest, SixItemsPerCoopAndOnePensionItemPerFund) {
    openTable(common::DEDUCTIONS);
    for (int i = 1; i <= 6; ++i)
        ASSERT_TRUE(addItem("Walimu " + std::to_string(i), "Co-op Contribution", 1)) << i;
    ASSERT_TRUE(addItem("Afya 1", "Co-op Benevolent Fund", 2));
    EXPECT_FALSE(addItem("Walimu 7", "Co-op Loan Payment", 1));
    EXPECT_EQ(ui.lastMessage(), "Can't have more than 6 co-op deductions for a single co-op.");
    EXPECT_EQ(onFile()[common::DEDUCTIONS].size(), 8u);

    // The refused item is still in the form; drop it.
    ui.answers.push_back(Answer::Yes);
    ASSERT_TRUE(fields->deleteRecord(ui, org));
    EXPECT_FALSE(fields->isNewItem());

    // A co-operative item needs its co-operative.
    EXPECT_FALSE(addItem("No coop", "Co-op Contribution"));
    EXPECT_EQ(ui.lastMessage(), "The co-ooerative name must not be blank. Please enter a value.");
    ui.answers.push_back(Answer::Yes);
    ASSERT_TRUE(fields->deleteRecord(ui, org));

    auto pensionFor = [&](const std::string& name, const char* fund) {
        if (!fields->addRecord(ui, org))
            return false;
        form.setText(ff::kName, name);
        choose(ff::kType, "Pension Contribution");
        fields->resetType();
        EXPECT_EQ(form.text(ff::kTaxable), "Pre-tax deduction");
        EXPECT_EQ(form.text(ff::kTypeButton), "Pension Fund...");
        fields->displayPFParams(dlg);
        dlg.selectRow(fundsdlg::kName, dlg.findItem(fundsdlg::kName, fund));
        dlg.selectRow(fundsdlg::kEmployerFunction,
                      dlg.findItem(fundsdlg::kEmployerFunction, "Percentage of Salary"));
        FIELDSFRM::resetEPFFunction(dlg);
        dlg.setText(limitsdlg::kPercentage, "10");
        dlg.setChecked(limitsdlg::kApplyLimits, false);
        if (!fields->getPFParams(ui, dlg))
            return false;
        return fields->save(ui, org);
    };
    ASSERT_TRUE(pensionFor("PSSSF", "PSSSF"));
    EXPECT_FALSE(pensionFor("PSSSF again", "PSSSF"));
    EXPECT_EQ(ui.lastMessage(),
              "Can't have more than 1 pension fund contribution for a single pension fund.");
    const auto t = onFile();
    const common::PayItemDef& pension = t[common::DEDUCTIONS].back();
    EXPECT_EQ(pension.link->id, 2);
    EXPECT_EQ(pension.link->employer->function, "Percentage of Salary");
    EXPECT_EQ(pension.link->employer->percentage, 10.0f);
    // New items start taxable: for a pension contribution that is no relief,
    // shown as "Pre-tax deduction" not ticked.
    EXPECT_EQ(pension.taxable, 1);
    EXPECT_FALSE(form.isChecked(ff::kTaxable));
}

TEST_F(FieldsFrmTest, PreTaxDeductionTickedMeansThePensionGetsRelief) {
    openTable(common::DEDUCTIONS);
    ASSERT_TRUE(fields->addRecord(ui, org));
    form.setText(ff::kName, "PSSSF");
    choose(ff::kType, "Pension Contribution");
    fields->resetType();
    form.setChecked(ff::kTaxable, true);
    // A change of function keeps the tick.
    choose(ff::kFunction, "Percentage of Salary");
    fields->resetFunction();
    EXPECT_TRUE(form.isChecked(ff::kTaxable));
    fields->displayPFParams(dlg);
    dlg.selectRow(fundsdlg::kName, dlg.findItem(fundsdlg::kName, "PSSSF"));
    dlg.selectRow(fundsdlg::kEmployerFunction,
                  dlg.findItem(fundsdlg::kEmployerFunction, "Percentage of Salary"));
    FIELDSFRM::resetEPFFunction(dlg);
    dlg.setText(limitsdlg::kPercentage, "10");
    dlg.setChecked(limitsdlg::kApplyLimits, false);
    ASSERT_TRUE(fields->getPFParams(ui, dlg));
    ASSERT_TRUE(fields->save(ui, org)) << ui.lastMessage();
    EXPECT_EQ(onFile()[common::DEDUCTIONS].back().taxable, 0);
    ASSERT_TRUE(fields->firstRecord(ui, org));
    ASSERT_TRUE(fields->lastRecord(ui, org));
    EXPECT_TRUE(form.isChecked(ff::kTaxable));
}

TEST_F(FieldsFrmTest, DeletingRebuildsTheTableAndRenumbers) {
    openTable(common::DEDUCTIONS);
    ASSERT_TRUE(addItem("Advance"));
    ASSERT_TRUE(addItem("Union"));
    ASSERT_TRUE(addItem("Welfare"));
    ASSERT_TRUE(fields->firstRecord(ui, org));
    ASSERT_TRUE(fields->nextRecord(ui, org));
    EXPECT_EQ(form.text(ff::kName), "Advance");

    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(fields->deleteRecord(ui, org));
    EXPECT_EQ(ui.lastMessage(), "Are you sure you want to delete this field?");
    EXPECT_EQ(ui.messages.back().defaultAnswer, Answer::No);
    ui.answers.push_back(Answer::Yes);
    ASSERT_TRUE(fields->deleteRecord(ui, org));
    const auto t = onFile();
    ASSERT_EQ(t[common::DEDUCTIONS].size(), 3u);
    EXPECT_EQ(t[common::DEDUCTIONS][1].itemName, "Union");
    EXPECT_EQ(t[common::DEDUCTIONS][1].position, 2);
    EXPECT_EQ(t[common::DEDUCTIONS][1].id, 3); // identifiers stay
    auto table = engine::Data4::open(code, folder.resolve("database/monpay.dbf"));
    ASSERT_TRUE(table);
    EXPECT_FALSE(table->field("D2Act"));
    EXPECT_TRUE(table->field("D3Act"));
    EXPECT_TRUE(table->field("D4Act"));
    table.reset();

    // A new item takes the highest identifier plus one.
    ASSERT_TRUE(addItem("Sports"));
    EXPECT_EQ(onFile()[common::DEDUCTIONS].back().id, 5);
}

// Identifiers name the transactions columns and the year-to-date figures,
// so deleting the last item must not free its identifier for the next one.
TEST_F(FieldsFrmTest, DeletingTheLastItemDoesNotFreeItsIdentifier) {
    openTable(common::DEDUCTIONS);
    ASSERT_TRUE(addItem("Advance")); // 2, after "Rent"
    ASSERT_TRUE(addItem("Union"));   // 3
    ui.answers.push_back(Answer::Yes);
    ASSERT_TRUE(fields->deleteRecord(ui, org));
    auto t = onFile();
    ASSERT_EQ(t[common::DEDUCTIONS].size(), 2u);
    EXPECT_EQ(t.highestIds[common::DEDUCTIONS], 3);

    // Also after the form is opened again on the file.
    fields = std::make_unique<FIELDSFRM>(ui, form, code, folder);
    openTable(common::DEDUCTIONS);
    ASSERT_TRUE(fields->addRecord(ui, org));
    EXPECT_EQ(fields->item().id, 4);
    ui.answers.push_back(Answer::Yes);
    ASSERT_TRUE(fields->deleteRecord(ui, org)); // never saved: gives nothing
    ASSERT_TRUE(addItem("Sports"));
    t = onFile();
    EXPECT_EQ(t[common::DEDUCTIONS].back().id, 4);
    EXPECT_EQ(t.highestIds[common::DEDUCTIONS], 4);
    auto table = engine::Data4::open(code, folder.resolve("database/monpay.dbf"));
    ASSERT_TRUE(table);
    EXPECT_FALSE(table->field("D3Act"));
    EXPECT_TRUE(table->field("D4Act"));
    table.reset();

    // Items given without the window count on from the same identifier.
    ui.answers.push_back(Answer::Yes);
    ASSERT_TRUE(fields->deleteRecord(ui, org));
    FIELDSFRM windowless(ui, code, folder);
    ASSERT_TRUE(windowless.open(ui, common::DEDUCTIONS, org));
    common::PayItemDef welfare = newItemDef(0, 0);
    welfare.itemName = "Welfare";
    ASSERT_TRUE(windowless.addItem(ui, welfare));
    EXPECT_EQ(onFile()[common::DEDUCTIONS].back().id, 5);
}

TEST(FieldsRules, WhichChangesGiveTheValuesANewMeaning) {
    const auto def = [](std::string_view type, std::string_view function) {
        common::PayItemDef d = newItemDef(2, 2);
        d.itemName = "Item";
        d.itemType = type;
        d.itemFunction = function;
        return d;
    };
    common::PayItemDef renamed = def("Co-op Contribution", "Key in");
    renamed.itemName = "Other";
    renamed.taxable = 0;
    renamed.isStatic = 1;
    renamed.upperLimit = 5000;
    common::PayItemDef rent = def("Rent", "Defined in Master File");
    rent.builtIn = 1;
    const struct {
        common::PayItemDef saved, changed;
        bool newMeaning;
    } cases[] = {
        {def("Co-op Contribution", "Key in"), renamed, false},
        {def("Co-op Contribution", "Key in"), def("Cost Recovery", "Key in"), true},
        {def("Co-op Contribution", "Key in"), def("Co-op Benevolent Fund", "Key in"), true},
        {def("Default", "Key in"), def("Advance", "Key in"), true},
        {def("Default", "Key in"), def("Hourly Pay", "Based on Hours Worked"), true},
        {def("Company Loan Payment", "Amortise"), def("Co-op Loan Payment", "Amortise"), true},
        {def("Co-op Contribution", "Key in"), def("Co-op Contribution", "Percentage of Salary"),
         false},
        {def("Savings Plan Deposit", "Percentage of Salary"),
         def("Savings Plan Deposit", "Percentage of Gross Pay"), false},
        {def("Company Loan Payment", "Key in"), def("Company Loan Payment", "Amortise"), true},
        {def("Co-op Loan Payment", "Percentage of Gross Pay"),
         def("Co-op Loan Payment", "Use Reducing Balance"), true},
        {def("Company Loan Payment", "Amortise"),
         def("Company Loan Payment", "Use Reducing Balance"), false},
        {def("Company Loan Payment", "Use Reducing Balance"), def("Company Loan Payment", "Key in"),
         false},
        {rent, rent, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(valuesChangeMeaning(c.saved, c.changed), c.newMeaning)
            << c.saved.itemType << " / " << c.saved.itemFunction << " -> " << c.changed.itemType
            << " / " << c.changed.itemFunction;
}

// A co-operative contribution's balance must not become a cost recovery's,
// which the period update would then deduct from pay; renaming and a new
// function keep the values.
TEST_F(FieldsFrmTest, ANewTypeStartsTheEmployeesValuesAgain) {
    openTable(common::DEDUCTIONS);
    ASSERT_TRUE(addItem("Walimu Savings", "Co-op Contribution", 1)); // D2
    ASSERT_TRUE(addItem("Union"));                                   // D3
    hireA1();
    record("A1", [](common::VARIATIONSREC& rec) {
        rec.deductions[0].active = 1;
        rec.deductions[0].amount = 5000;
        std::get<common::CoopParams>(rec.deductions[0].params).balance = 35000;
        rec.deductions[1].active = 1;
        rec.deductions[1].amount = 2500;
    });
    const auto coopValues = [&](const common::VARIATIONSREC& rec, int active, double amount,
                                double balance) {
        EXPECT_EQ(rec.deductions[0].active, active);
        EXPECT_EQ(rec.deductions[0].amount, amount);
        EXPECT_EQ(std::get<common::CoopParams>(rec.deductions[0].params).balance, balance);
    };
    ASSERT_TRUE(fields->firstRecord(ui, org));
    ASSERT_TRUE(fields->nextRecord(ui, org));
    ASSERT_EQ(form.text(ff::kName), "Walimu Savings");

    // A new name and flags keep the values and ask nothing.
    form.setText(ff::kName, "Walimu Shares");
    form.setChecked(ff::kTaxable, false);
    ui.clear();
    ASSERT_TRUE(fields->save(ui, org));
    EXPECT_TRUE(ui.messages.empty());
    coopValues(record("A1"), 1, 5000, 35000);

    // So does a percentage instead of a keyed amount: the amount column goes,
    // the balance stays.
    choose(ff::kFunction, "Percentage of Salary");
    fields->resetFunction();
    ASSERT_TRUE(fields->save(ui, org));
    EXPECT_TRUE(ui.messages.empty());
    coopValues(record("A1"), 1, 0, 35000);
    choose(ff::kFunction, "Key in");
    fields->resetFunction();
    ASSERT_TRUE(fields->save(ui, org));
    EXPECT_TRUE(ui.messages.empty());
    record("A1", [](common::VARIATIONSREC& rec) { rec.deductions[0].amount = 5000; });

    // A new type asks first; No keeps everything, the item stays in the form.
    const std::string fileBefore = bytesOf(folder.resolve("database/monpay.dat"));
    choose(ff::kType, "Cost Recovery");
    fields->resetType();
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(fields->save(ui, org));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(), kRestartQuestion);
    EXPECT_EQ(ui.messages.back().defaultAnswer, Answer::No);
    EXPECT_EQ(fields->getType(), "Cost Recovery");
    EXPECT_EQ(bytesOf(folder.resolve("database/monpay.dat")), fileBefore);
    coopValues(record("A1"), 1, 5000, 35000);

    // Yes: every employee's values of the item are a new cost recovery's.
    ui.answers.push_back(Answer::Yes);
    ASSERT_TRUE(fields->save(ui, org));
    EXPECT_EQ(ui.lastMessage(), kRestartQuestion);
    const auto t = onFile();
    EXPECT_EQ(t[common::DEDUCTIONS][1].itemType, "Cost Recovery");
    EXPECT_EQ(t[common::DEDUCTIONS][1].id, 2);
    const common::VARIATIONSREC rec = record("A1");
    EXPECT_EQ(rec.deductions[0].active, 0);
    EXPECT_EQ(rec.deductions[0].amount, 0);
    const auto& recovery = std::get<common::CostRecoveryParams>(rec.deductions[0].params);
    EXPECT_EQ(recovery.balance, 0);
    EXPECT_EQ(recovery.paidOff, 1);
    EXPECT_EQ(recovery.newRecovery, 1);
    // The other item keeps its values.
    EXPECT_EQ(rec.deductions[1].active, 1);
    EXPECT_EQ(rec.deductions[1].amount, 2500);
}

// Only "Amortise" and "Use Reducing Balance" count a loan's payments down; a
// loan keyed until now has no true count for them to go on.
TEST_F(FieldsFrmTest, ALoanStartsAgainWhenItsPaymentsStartToBeCounted) {
    openTable(common::DEDUCTIONS);
    ASSERT_TRUE(addItem("Staff Loan", "Company Loan Payment")); // D2, "Key in"
    hireA1();
    const auto keyLoan = [&](double balance, std::int32_t paymentsLeft) {
        record("A1", [&](common::VARIATIONSREC& rec) {
            rec.deductions[0].active = 1;
            rec.deductions[0].amount = 10000;
            auto& loan = std::get<common::LoanParams>(rec.deductions[0].params);
            loan.balance = balance;
            loan.interestRate = 12;
            loan.paymentsLeft = paymentsLeft;
            loan.newLoan = 0;
        });
    };
    const auto loanOf = [&] {
        return std::get<common::LoanParams>(record("A1").deductions[0].params);
    };
    keyLoan(120000, 1);
    ASSERT_TRUE(fields->lastRecord(ui, org));
    const auto change = [&](const char* function) {
        choose(ff::kFunction, function);
        fields->resetFunction();
        ui.clear();
        ui.answers.push_back(Answer::Yes);
        return fields->save(ui, org);
    };

    ASSERT_TRUE(change("Amortise"));
    EXPECT_EQ(ui.lastMessage(), kRestartQuestion);
    common::LoanParams loan = loanOf();
    EXPECT_EQ(record("A1").deductions[0].active, 0);
    EXPECT_EQ(record("A1").deductions[0].amount, 0);
    EXPECT_EQ(loan.balance, 0);
    EXPECT_EQ(loan.interestRate, 0);
    EXPECT_EQ(loan.paymentsLeft, 1);
    EXPECT_EQ(loan.newLoan, 1);

    // Between the two counting functions, and back to a keyed amount, the
    // loan carries on.
    keyLoan(90000, 9);
    for (const char* function : {"Use Reducing Balance", "Key in"}) {
        SCOPED_TRACE(function);
        ASSERT_TRUE(change(function));
        EXPECT_TRUE(ui.messages.empty());
        loan = loanOf();
        EXPECT_EQ(record("A1").deductions[0].active, 1);
        EXPECT_EQ(loan.balance, 90000);
        EXPECT_EQ(loan.interestRate, 12);
        EXPECT_EQ(loan.paymentsLeft, 9);
        EXPECT_EQ(loan.newLoan, 0);
    }
}

// Values that start again cannot be rebuilt back, so a change that fails
// at either step leaves the definitions and the employees' values as they
// were.
TEST_F(FieldsFrmTest, AFailedChangeOfMeaningKeepsTheValues) {
    openTable(common::DEDUCTIONS);
    ASSERT_TRUE(addItem("Walimu Savings", "Co-op Contribution", 1)); // D2
    hireA1();
    record("A1", [](common::VARIATIONSREC& rec) {
        rec.deductions[0].active = 1;
        std::get<common::CoopParams>(rec.deductions[0].params).balance = 35000;
    });
    const std::string dat = folder.resolve("database/monpay.dat");
    const std::string fileBefore = bytesOf(dat);
    ASSERT_TRUE(fields->lastRecord(ui, org));
    choose(ff::kType, "Cost Recovery");
    fields->resetType();

    // The table cannot be rebuilt: the file is put back.
    std::filesystem::create_directories(folder.resolve("database/variat.dbf/blocked"));
    ui.answers.push_back(Answer::Yes);
    EXPECT_FALSE(fields->save(ui, org));
    EXPECT_EQ(ui.lastMessage(), "Unable to create database/variat.dbf");
    EXPECT_EQ(bytesOf(dat), fileBefore);
    std::filesystem::remove_all(folder.resolve("database/variat.dbf"));
    EXPECT_EQ(std::get<common::CoopParams>(record("A1").deductions[0].params).balance, 35000);

    // The file cannot be written: the table is not touched.
    std::filesystem::rename(dat, dat + ".kept");
    std::filesystem::create_directories(dat + "/blocked");
    ui.clear();
    ui.answers.push_back(Answer::Yes);
    EXPECT_FALSE(fields->save(ui, org));
    EXPECT_EQ(ui.lastMessage(), "Can't write to database/monpay.dat");
    std::filesystem::remove_all(dat);
    std::filesystem::rename(dat + ".kept", dat);
    EXPECT_EQ(std::get<common::CoopParams>(record("A1").deductions[0].params).balance, 35000);
    EXPECT_EQ(fields->tables()[common::DEDUCTIONS][1].itemType, "Co-op Contribution");
}

TEST_F(FieldsFrmTest, AFailedRebuildChangesNothing) {
    openTable(common::BENEFITS);
    EXPECT_EQ(form.text(ff::kPosition), "Field 0 of 0");
    ASSERT_TRUE(addItem("Car"));
    const std::string file = bytesOf(folder.resolve("database/monpay.dat"));
    const std::string table = bytesOf(folder.resolve("database/monpay.dbf"));
    std::filesystem::create_directories(folder.resolve("database/variat.dbf/blocked"));
    EXPECT_FALSE(addItem("Phone"));
    EXPECT_EQ(ui.lastMessage(), "Unable to create database/variat.dbf");
    EXPECT_TRUE(fields->isNewItem());
    EXPECT_EQ(bytesOf(folder.resolve("database/monpay.dat")), file);
    EXPECT_EQ(bytesOf(folder.resolve("database/monpay.dbf")), table);

    // Retyping an item whose columns change needs the rebuild too.
    std::filesystem::remove_all(folder.resolve("database/variat.dbf"));
    ASSERT_TRUE(fields->save(ui, org));
    ASSERT_TRUE(fields->firstRecord(ui, org));
    choose(ff::kFunction, "Percentage of Salary");
    fields->resetFunction();
    EXPECT_EQ(form.text(ff::kFunctionButton), "Percentage...");
    std::filesystem::create_directories(folder.resolve("database/variat.dbf/blocked"));
    EXPECT_FALSE(fields->save(ui, org));
    EXPECT_EQ(onFile()[common::BENEFITS][0].itemFunction, "Key in");
}

TEST_F(FieldsFrmTest, ParameterDialogsCheckTheirValues) {
    openTable(common::EARNINGS);
    ASSERT_TRUE(fields->addRecord(ui, org));
    form.setText(ff::kName, "Transport");
    choose(ff::kFunction, "Percentage of Salary");
    fields->resetFunction();

    struct Case {
        const char* percentage;
        bool apply;
        const char* lower;
        const char* upper;
        const char* message; // nullptr: accepted
    } cases[] = {
        {"", false, "", "", "The percentage must not be blank. Please enter a value."},
        {"-1", false, "", "", "This is not a valid value for the percentage."},
        {"abc", false, "", "", "This is not a valid value for the percentage."},
        {"12.5", true, "", "5", "The lower limit must not be blank. Please enter a value."},
        {"12.5", true, "10", "x", "This is not a valid value for the upper limit."},
        {"12.5", true, "10", "5", "The lower limit must not exceed the upper limit."},
        {"12.5", false, "", "", nullptr},
        {"12.5", true, "10,000", "150,000", nullptr},
    };
    for (const Case& c : cases) {
        fields->initPercentDlg(dlg);
        dlg.setText(limitsdlg::kPercentage, c.percentage);
        dlg.setChecked(limitsdlg::kApplyLimits, c.apply);
        FIELDSFRM::resetLimits(dlg);
        EXPECT_EQ(dlg.isEnabled(limitsdlg::kLowerLimit), c.apply);
        dlg.setText(limitsdlg::kLowerLimit, c.lower);
        dlg.setText(limitsdlg::kUpperLimit, c.upper);
        ui.clear();
        EXPECT_EQ(fields->getPercent(ui, dlg), c.message == nullptr) << c.percentage;
        EXPECT_EQ(ui.lastMessage(), c.message ? c.message : "") << c.percentage;
    }
    EXPECT_EQ(fields->item().funcParams.percentage, 12.5f);
    EXPECT_EQ(fields->item().lowerLimit, 10000);
    EXPECT_EQ(fields->item().upperLimit, 150000);

    // Hourly rate: a factor of the basic pay rate, or keyed per employee.
    fields->displayHourlyRate(dlg);
    dlg.setChecked(hourlyratedlg::kBasicPayRate, true);
    dlg.setChecked(hourlyratedlg::kKeyInRate, false);
    FIELDSFRM::resetHourlyRate(dlg);
    EXPECT_TRUE(dlg.isEnabled(hourlyratedlg::kFactor));
    dlg.setText(hourlyratedlg::kFactor, "");
    EXPECT_FALSE(fields->getHourlyRate(ui, dlg));
    EXPECT_EQ(ui.lastMessage(), "The factor must not be blank. Please enter a value.");
    dlg.setText(hourlyratedlg::kFactor, "1.5");
    EXPECT_TRUE(fields->getHourlyRate(ui, dlg));
    EXPECT_EQ(fields->item().funcParams.factor, 1.5f);
    dlg.setChecked(hourlyratedlg::kBasicPayRate, false);
    dlg.setChecked(hourlyratedlg::kKeyInRate, true);
    EXPECT_TRUE(fields->getHourlyRate(ui, dlg));
    EXPECT_EQ(fields->item().funcParams.rateKind, 1);

    ASSERT_TRUE(fields->save(ui, org));
    const auto saved = onFile()[common::EARNINGS][2];
    EXPECT_EQ(saved.applyLimits, 1);
    EXPECT_EQ(saved.funcParams.percentage, 12.5f);
    EXPECT_EQ(saved.upperLimit, 150000);
}

TEST_F(FieldsFrmTest, MissingListsOrDefinitionsAreReported) {
    std::filesystem::remove(folder.resolve("settings/coops.dbf"));
    EXPECT_FALSE(fields->checkFiles(ui, org));
    EXPECT_EQ(ui.lastMessage(), "Unable to open settings/coops.dbf");
    ui.clear();
    EXPECT_FALSE(fields->open(ui, common::EARNINGS, org));
    EXPECT_EQ(ui.lastMessage(), "Unable to open settings/coops.dbf");

    database::COOPSDB coops(code, folder);
    ASSERT_TRUE(coops.createFile(ui));
    std::filesystem::remove(folder.resolve("database/wkpay.dat"));
    org.payFreq = common::WEEKLY;
    ui.clear();
    EXPECT_FALSE(fields->open(ui, common::EARNINGS, org));
    EXPECT_EQ(ui.lastMessage(), "Unable to open database/wkpay.dat");
}

// Items given whole, without the window: the checks of the form and its
// parameter dialogs, the same messages, and nothing stored when refused.
TEST_F(FieldsFrmTest, ItemsAddedWithoutAWindowPassTheSameChecks) {
    FIELDSFRM windowless(ui, code, folder);
    ASSERT_TRUE(windowless.checkFiles(ui, org));
    ASSERT_TRUE(windowless.open(ui, common::DEDUCTIONS, org));
    const auto item = [](const char* name, std::string_view type) {
        common::PayItemDef def = newItemDef(0, 0);
        def.itemName = name;
        changeType(def, type);
        return def;
    };
    common::PayItemDef negative = item("Union", "Default");
    negative.itemFunction = common::kFuncPercentOfBasicPay;
    negative.funcParams.percentage = -2;
    common::PayItemDef limits = item("Welfare", "Default");
    limits.lowerLimit = 5000;
    limits.upperLimit = 1000;
    common::PayItemDef noFund = item("Pension", common::kTypePensionContribution);
    common::PayItemDef unknownCoop = item("SACCOS", "Co-op Contribution");
    unknownCoop.link = common::PayItemLink{};
    unknownCoop.link->id = 9;
    const struct {
        const char* what;
        common::PayItemDef def;
        std::string message;
    } refusals[] = {
        {"negative percentage", negative, invalidMessage("percentage")},
        {"limits the wrong way round", limits, "The lower limit must not exceed the upper limit."},
        {"pension without its fund", noFund, blankMessage("pension fund name")},
        {"co-operative that does not exist", unknownCoop, blankMessage("co-ooerative name")},
        {"blank name", item("  ", "Default"), blankMessage("field name")},
        {"the built-in deduction's name", item("rent", "Default"),
         "Field with this name already exists. Please enter a different name."},
    };
    const std::string before = bytesOf(folder.resolve("database/monpay.dat"));
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.what);
        ui.clear();
        EXPECT_FALSE(windowless.addItem(ui, r.def));
        EXPECT_EQ(ui.lastMessage(), r.message);
        EXPECT_EQ(bytesOf(folder.resolve("database/monpay.dat")), before);
    }

    common::PayItemDef coop = item(" Walimu Savings ", "Co-op Contribution");
    coop.link = common::PayItemLink{};
    coop.link->id = 1;
    coop.upperLimit = 20000;
    ASSERT_TRUE(windowless.addItem(ui, coop)) << ui.lastMessage();
    const auto t = onFile();
    ASSERT_EQ(t[common::DEDUCTIONS].size(), 2u);
    const common::PayItemDef& stored = t[common::DEDUCTIONS][1];
    EXPECT_EQ(stored.itemName, "Walimu Savings");
    EXPECT_EQ(stored.position, 2);
    EXPECT_EQ(stored.id, 2);
    ASSERT_TRUE(stored.link.has_value());
    EXPECT_EQ(stored.link->id, 1);
    EXPECT_EQ(stored.upperLimit, 20000);
}

} // namespace
} // namespace kelo::staffrecords
