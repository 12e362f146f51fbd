#include "StatFrmFixture.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::staffrecords {
namespace {

namespace sf = statfrm;
using testing::bankBlank;
using testing::blank;
using testing::choose;
using testing::chooseNone;
using testing::Employee;
using testing::invalid;
using testing::payBasis;
using testing::shown;
using testing::ymd;
using View = testsupport::FakeDialogView;

using StatFrmTest = testing::StatFrmFixture;

// An amount as a page shows it: thousands separators allowed, blank for 0.
double amountOn(const View& view, const char* control) {
    std::string text = view.text(control);
    text.erase(std::remove(text.begin(), text.end(), ','), text.end());
    return common::trim(text).empty() ? 0 : std::stod(text);
}

void recreateEmpty(database::DbTable& table, common::Ui& ui) {
    const std::string path = table.path();
    std::filesystem::remove(path);
    for (const char* companion : {"cdx", "fpt"})
        std::filesystem::remove(engine::companionPath(path, companion));
    ASSERT_TRUE(table.createFile(ui));
}

// Files

TEST_F(StatFrmTest, BothWindowsFindTheirFiles) {
    EXPECT_TRUE(form->checkFiles(PERSONNEL_FILE));
    EXPECT_TRUE(form->checkFiles(PAYROLL_MASTER_FILE));
    expectNoMessage();
}

TEST_F(StatFrmTest, OnlyThePayrollMasterWindowNeedsEmployees) {
    database::STATDB staff(code, folder);
    recreateEmpty(staff, ui);
    ui.clear();

    EXPECT_TRUE(form->checkFiles(PERSONNEL_FILE));
    expectNoMessage();
    EXPECT_FALSE(form->checkFiles(PAYROLL_MASTER_FILE));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.lastMessage().find("Employee Master"), std::string::npos) << ui.lastMessage();
    EXPECT_NE(ui.lastMessage().find("empty"), std::string::npos) << ui.lastMessage();
    EXPECT_EQ(ui.messages.front().caption, "Kelo Roster");
    ui.clear();

    // The personnel window opens on an empty file, to take the first employee.
    ASSERT_TRUE(form->open(PERSONNEL_FILE, org));
    EXPECT_FALSE(form->hasRecord());
}

TEST_F(StatFrmTest, AMissingOrEmptyTableIsNamed) {
    struct Case {
        const char* name;
        std::function<void()> spoil;
        const char* named; // a part of the message
    };
    const std::vector<Case> cases{
        {"no posts", [&] { std::filesystem::remove(folder.resolve(database::POSTSDB::kPath)); },
         "posts"},
        {"no leave table",
         [&] { std::filesystem::remove(folder.resolve(database::LEAVEDB::kPath)); }, "leave"},
        {"no weekly definitions",
         [&] {
             std::filesystem::remove(
                 folder.resolve(common::payFieldDefinitionsPath(common::WEEKLY)));
         },
         "wkpay"},
        {"no stations",
         [&] {
             database::STATIONSDB stations(code, folder);
             recreateEmpty(stations, ui);
         },
         "Stations"},
        {"no grades",
         [&] {
             database::GRADESDB grades(code, folder);
             recreateEmpty(grades, ui);
         },
         "Job Grades"},
    };
    const std::string root = dir.path();
    const std::string spare = dir.file("spare");
    std::filesystem::copy(dir.file("org01"), spare, std::filesystem::copy_options::recursive);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir.file("org01"));
        std::filesystem::copy(spare, dir.file("org01"), std::filesystem::copy_options::recursive);
        c.spoil();
        ui.clear();
        STATFRM fresh(ui, code, folder);
        EXPECT_FALSE(fresh.checkFiles(PERSONNEL_FILE));
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_NE(ui.lastMessage().find(c.named), std::string::npos) << ui.lastMessage();
        code.setErrorCode(0);
    }
}

// Browsing

TEST_F(StatFrmTest, OpensOnTheFirstEmployeeByNumberAndMoves) {
    openForm();
    show(PERSONAL_DETAILS);
    EXPECT_EQ(form->getCurrentRec().empNum, "MH001");
    EXPECT_EQ(page.text(sf::kEmpNum), "MH001");
    EXPECT_EQ(page.text(sf::kEmployee), "Mwakyusa, Emmanuel Joseph");
    EXPECT_EQ(page.text(sf::kLastName), "Mwakyusa");
    EXPECT_EQ(page.text(sf::kOtherNames), "Emmanuel Joseph");
    EXPECT_EQ(page.text(sf::kIdNum), "19680314-53101");
    EXPECT_EQ(form->positionText(), "Record 1 of 3");

    struct Step {
        const char* name;
        std::function<bool()> move;
        const char* empNum;
        const char* lastName;
        const char* position;
    };
    const std::vector<Step> steps{
        {"next", [&] { return form->nextRecord(); }, "MH002", "Banda", "Record 2 of 3"},
        {"last", [&] { return form->lastRecord(); }, "MH003", "Kileo", "Record 3 of 3"},
        {"previous", [&] { return form->previousRecord(); }, "MH002", "Banda", "Record 2 of 3"},
        {"first", [&] { return form->firstRecord(); }, "MH001", "Mwakyusa", "Record 1 of 3"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        EXPECT_TRUE(s.move());
        EXPECT_EQ(form->getCurrentRec().empNum, s.empNum);
        EXPECT_EQ(page.text(sf::kEmpNum), s.empNum);
        EXPECT_EQ(page.text(sf::kLastName), s.lastName);
        EXPECT_EQ(form->positionText(), s.position);
    }
    // Nothing before the first.
    form->previousRecord();
    EXPECT_EQ(form->getCurrentRec().empNum, "MH001");
    expectNoMessage();
}

TEST_F(StatFrmTest, AnOrganisationSortedByNameBrowsesByLastName) {
    org.formSortKey = common::kSortByLastName;
    openForm();
    EXPECT_EQ(form->getCurrentRec().lastName, "Banda");
    ASSERT_TRUE(form->nextRecord());
    EXPECT_EQ(form->getCurrentRec().lastName, "Kileo");
    ASSERT_TRUE(form->nextRecord());
    EXPECT_EQ(form->getCurrentRec().lastName, "Mwakyusa");
    // The number Go To takes: Mwakyusa was stored first.
    EXPECT_EQ(form->positionText(), "Record 1 of 3");
    ASSERT_TRUE(form->firstRecord());
    EXPECT_EQ(form->getCurrentRec().empNum, "MH002");
}

TEST_F(StatFrmTest, PagesShowTheirFields) {
    openForm();
    moveTo("MH002");
    show(EMPLOYMENT_DETAILS);
    EXPECT_EQ(page.text(sf::kJobTitle), "Accountant");
    EXPECT_EQ(page.text(sf::kGrade), "Grade B");
    EXPECT_EQ(shown(page, sf::kStation), "Mbeya");
    EXPECT_EQ(page.text(sf::kLeaveEntitlement), "28.00");
    EXPECT_EQ(page.text(sf::kSupervisor), "Mwakyusa, Emmanuel Joseph");
    show(CONTACT_INFO);
    EXPECT_EQ(page.text(sf::kOffice), "Finance Block");
    EXPECT_EQ(page.text(sf::kMobile), "0765 111 222");

    closeForm();
    openForm(PAYROLL_MASTER_FILE);
    show(PAYMENT);
    EXPECT_EQ(page.text(sf::kBank), "CRDB Bank");
    EXPECT_EQ(page.text(sf::kBranch), "Mbeya");
    EXPECT_EQ(page.text(sf::kAccountNum), "0152000001");
    moveTo("MH002");
    show(BASIC_PAY);
    EXPECT_TRUE(page.isChecked(sf::kBySalary));
    EXPECT_FALSE(page.isChecked(sf::kByDailyRate));
    EXPECT_DOUBLE_EQ(amountOn(page, sf::kSalary), 450000);
    show(COOPERATIVES);
    EXPECT_EQ(shown(page, sf::kFund[0]), "Walimu SACCOS");
    EXPECT_EQ(page.text(sf::kMemberNum[0]), "W-100");
    show(PENSION_FUNDS);
    EXPECT_EQ(shown(page, sf::kFund[0]), "PSSSF");
    expectNoMessage();
}

TEST_F(StatFrmTest, FindsByNumberNameAndPosition) {
    openForm();
    show(PERSONAL_DETAILS);
    struct Step {
        const char* name;
        std::function<bool()> find;
        bool found;
        const char* empNum; // current afterwards
    };
    const std::vector<Step> steps{
        {"number, other case", [&] { return form->findEmpNum("mh003"); }, true, "MH003"},
        {"unknown number", [&] { return form->findEmpNum("MH009"); }, false, "MH003"},
        {"last name", [&] { return form->findName("Banda"); }, true, "MH002"},
        {"unknown name", [&] { return form->findName("Zulu"); }, false, "MH002"},
        {"position 3", [&] { return form->gotoRec(3); }, true, "MH003"},
        {"position 7", [&] { return form->gotoRec(7); }, false, "MH003"},
        {"position 1", [&] { return form->gotoRec(1); }, true, "MH001"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        ui.clear();
        EXPECT_EQ(s.find(), s.found);
        if (s.found)
            expectNoMessage();
        else
            expectOneMessage("Record not found.");
        EXPECT_EQ(form->getCurrentRec().empNum, s.empNum);
        EXPECT_EQ(page.text(sf::kEmpNum), s.empNum);
    }
}

// Page checks: one row per rule, each through the page's controls.

struct PageCase {
    std::string name;
    const char* empNum;
    STATPAGE page;
    std::function<void(View&)> edit;
    std::optional<std::string> message; // nullopt: accepted
    std::vector<const char*> focus;     // where the focus may go: the field's controls
    std::function<void(Employee&)> prepare = nullptr; // the stored row before the form opens
};

using Edit = std::function<void(View&)>;

PageCase refused(std::string name, const char* empNum, STATPAGE page, Edit edit,
                 std::string message, std::vector<const char*> focus) {
    return {std::move(name), empNum, page, std::move(edit), std::move(message), std::move(focus)};
}

PageCase accepted(std::string name, const char* empNum, STATPAGE page, Edit edit) {
    return {std::move(name), empNum, page, std::move(edit), std::nullopt, {}};
}

PageCase prepared(PageCase c, std::function<void(Employee&)> prepare) {
    c.prepare = std::move(prepare);
    return c;
}

Edit set(const char* control, const char* text) {
    return [=](View& v) { v.setText(control, text); };
}

Edit nothing() {
    return [](View&) {};
}

Edit dailyRate(const char* rate) {
    return [=](View& v) {
        payBasis(v, common::kPayBasisDaily);
        v.setText(sf::kSalary, "0");
        v.setText(sf::kHourlyRate, "0");
        v.setText(sf::kDailyRate, rate);
    };
}

Edit hourlyRate(const char* rate) {
    return [=](View& v) {
        payBasis(v, common::kPayBasisHourly);
        v.setText(sf::kSalary, "0");
        v.setText(sf::kDailyRate, "0");
        v.setText(sf::kHourlyRate, rate);
    };
}

Edit keyedOvertime(const char* normal, const char* doubleRate) {
    return [=](View& v) {
        v.setChecked(sf::kPayOvertime, true);
        v.setChecked(sf::kNormalFromBasic, false);
        v.setChecked(sf::kNormalKeyed, true);
        v.setText(sf::kNormalRate, normal);
        v.setChecked(sf::kDoubleFromBasic, false);
        v.setChecked(sf::kDoubleKeyed, true);
        v.setText(sf::kDoubleRate, doubleRate);
    };
}

Edit housing(const char* value, const char* expense, const char* rent) {
    return [=](View& v) {
        v.setChecked(sf::kHoused, true);
        v.setText(sf::kMarketValue, value);
        v.setText(sf::kHousingExpense, expense);
        v.setText(sf::kRent, rent);
    };
}

Edit funds(long first, long second) {
    return [=](View& v) {
        for (const auto& [slot, code] : {std::pair{0, first}, std::pair{1, second}}) {
            if (code)
                choose(v, sf::kFund[slot], code);
            else
                chooseNone(v, sf::kFund[slot]);
        }
    };
}

Edit payMethod(int method) {
    return [=](View& v) { choose(v, sf::kPayMethod, method); };
}

const std::string kCoopTwice = "Employee cannot belong to the same co-operative twice.";
const std::string kFundTwice = "Employee cannot belong to the same pension fund twice.";

// Grade B pays 300,000 to 650,000 a month; at 8 hours a day and 195 a month
// that is 300,000 / 195 x 8 = 12,307.69 to 650,000 / 195 x 8 = 26,666.67 a
// day and 300,000 / 195 = 1,538.46 to 650,000 / 195 = 3,333.33 an hour.
// Grade C pays 40,000 to 90,000 a week.
const std::vector<PageCase>& pageCases() {
    constexpr STATPAGE P1 = PERSONAL_DETAILS, P2 = EMPLOYMENT_DETAILS, P4 = PAYMENT, P5 = BASIC_PAY,
                       P6 = OVERTIME, P7 = HOUSING, P9 = COOPERATIVES, P10 = PENSION_FUNDS;
    static const std::vector<PageCase> cases{
        // Page 1
        refused("LastNameBlank", "MH001", P1, set(sf::kLastName, ""), blank("Last Name"),
                {sf::kLastName}),
        refused("LastNameOnlySpaces", "MH001", P1, set(sf::kLastName, "   "), blank("Last Name"),
                {sf::kLastName}),
        refused("OtherNamesBlank", "MH001", P1, set(sf::kOtherNames, ""), blank("Other Names"),
                {sf::kOtherNames}),
        accepted("NamesGiven", "MH001", P1, set(sf::kLastName, "Mwakyusa-Mbilinyi")),
        // Page 2
        prepared(refused("NoPost", "MH002", P2, nothing(),
                         "This employee is not attached to any post.",
                         {sf::kPostButton, sf::kJobTitle}),
                 [](Employee& e) { e.personnel.unit = e.personnel.job = e.personnel.grade = 0; }),
        refused("NoStation", "MH002", P2, [](View& v) { chooseNone(v, sf::kStation); },
                blank("Station"), {sf::kStation}),
        accepted("OtherStation", "MH002", P2,
                 [](View& v) { choose(v, sf::kStation, testing::kDarStation); }),
        refused("LeaveAbove366", "MH002", P2, set(sf::kLeaveEntitlement, "366.5"),
                invalid("Leave Entitlement"), {sf::kLeaveEntitlement}),
        refused("LeaveNegative", "MH002", P2, set(sf::kLeaveEntitlement, "-1"),
                invalid("Leave Entitlement"), {sf::kLeaveEntitlement}),
        accepted("Leave366", "MH002", P2, set(sf::kLeaveEntitlement, "366")),
        accepted("Leave0", "MH002", P2, set(sf::kLeaveEntitlement, "0")),
        // Page 4
        refused("TransferWithoutBank", "MH002", P4, payMethod(common::kPayByBankTransfer),
                bankBlank("Bank"), {sf::kBank, sf::kBankButton}),
        prepared(refused("TransferWithoutBranch", "MH002", P4,
                         payMethod(common::kPayByBankTransfer), bankBlank("Branch"),
                         {sf::kBranch, sf::kBankButton}),
                 [](Employee& e) { e.rec.bankName = "NMB Bank"; }),
        refused("TransferWithoutAccount", "MH001", P4, set(sf::kAccountNum, ""),
                bankBlank("Account Number"), {sf::kAccountNum}),
        accepted("TransferComplete", "MH001", P4, nothing()),
        accepted("CashWithoutBank", "MH002", P4, nothing()),
        accepted("ChequeWithoutBank", "MH002", P4, payMethod(common::kPayByCheque)),
        // Page 5: the pay rate within the grade, for the employee's frequency
        refused("SalaryBelowGrade", "MH002", P5, set(sf::kSalary, "299999"),
                "The salary must be at least 300000.", {sf::kSalary}),
        accepted("SalaryAtLowest", "MH002", P5, set(sf::kSalary, "300000")),
        accepted("SalaryAtHighest", "MH002", P5, set(sf::kSalary, "650000")),
        refused("SalaryAboveGrade", "MH002", P5, set(sf::kSalary, "650001"),
                "The salary must not exceed 650000.", {sf::kSalary}),
        refused("WeeklySalaryBelowGrade", "MH003", P5, set(sf::kSalary, "39999"),
                "The salary must be at least 40000.", {sf::kSalary}),
        accepted("WeeklySalaryAtHighest", "MH003", P5, set(sf::kSalary, "90000")),
        refused("WeeklySalaryAboveGrade", "MH003", P5, set(sf::kSalary, "90001"),
                "The salary must not exceed 90000.", {sf::kSalary}),
        refused("DailyRateBelow", "MH002", P5, dailyRate("12307.68"),
                "The daily rate must be at least 12307.69.", {sf::kDailyRate}),
        accepted("DailyRateAtLowest", "MH002", P5, dailyRate("12307.69")),
        accepted("DailyRateAtHighest", "MH002", P5, dailyRate("26666.67")),
        refused("DailyRateAbove", "MH002", P5, dailyRate("26666.68"),
                "The daily rate must not exceed 26666.67.", {sf::kDailyRate}),
        refused("HourlyRateBelow", "MH002", P5, hourlyRate("1538.45"),
                "The hourly rate must be at least 1538.46.", {sf::kHourlyRate}),
        refused("HourlyRateAbove", "MH002", P5, hourlyRate("3333.34"),
                "The hourly rate must not exceed 3333.33.", {sf::kHourlyRate}),
        // Page 5: working hours
        refused("HoursPerDay0", "MH002", P5, set(sf::kHoursPerDay, "0"), invalid("Hours per Day"),
                {sf::kHoursPerDay}),
        refused("HoursPerDay25", "MH002", P5, set(sf::kHoursPerDay, "25"), invalid("Hours per Day"),
                {sf::kHoursPerDay}),
        accepted("HoursPerDay24", "MH002", P5, set(sf::kHoursPerDay, "24")),
        refused("HoursPerMonthBelowADay", "MH002", P5, set(sf::kHoursPerMonth, "7"),
                invalid("Hours per Month"), {sf::kHoursPerMonth}),
        accepted("HoursPerMonthOneDay", "MH002", P5, set(sf::kHoursPerMonth, "8")),
        accepted("HoursPerMonth999", "MH002", P5, set(sf::kHoursPerMonth, "999")),
        refused("HoursPerMonth1000", "MH002", P5, set(sf::kHoursPerMonth, "1000"),
                invalid("Hours per Month"), {sf::kHoursPerMonth}),
        // Page 6
        refused("NormalOvertimeNegative", "MH002", P6, keyedOvertime("-0.01", "6500"),
                invalid("Normal Overtime Rate"), {sf::kNormalRate}),
        refused("DoubleOvertimeNegative", "MH002", P6, keyedOvertime("5000", "-1"),
                invalid("Double Overtime Rate"), {sf::kDoubleRate}),
        accepted("KeyedOvertime", "MH002", P6, keyedOvertime("5000", "6500")),
        // Page 7
        refused("HousingValueNegative", "MH002", P7, housing("-1", "120000", "20000"),
                invalid("Value of Housing"), {sf::kMarketValue}),
        refused("HousingExpenseNegative", "MH002", P7, housing("300000", "-1", "20000"),
                invalid("Employer's Expense"), {sf::kHousingExpense}),
        refused("RentNegative", "MH002", P7, housing("300000", "120000", "-1"),
                invalid("Rent to Employer"), {sf::kRent}),
        accepted("HousingZero", "MH002", P7, housing("0", "0", "0")),
        // Page 9
        refused("SameCoopTwice", "MH002", P9, funds(1, 1), kCoopTwice, {sf::kFund[1]}),
        accepted("TwoCoops", "MH002", P9, funds(2, 1)),
        accepted("NoCoops", "MH002", P9, funds(0, 0)),
        // Page 10
        refused("SameFundTwice", "MH002", P10, funds(2, 2), kFundTwice, {sf::kFund[1]}),
        accepted("TwoFunds", "MH002", P10, funds(2, 1)),
        accepted("NoFunds", "MH002", P10, funds(0, 0)),
    };
    return cases;
}

struct StatFrmPageTest : testing::StatFrmFixture, ::testing::WithParamInterface<PageCase> {};

TEST_P(StatFrmPageTest, RefusesABadValueWithItsMessageAndFocus) {
    const PageCase& c = GetParam();
    if (c.prepare)
        change(c.empNum, c.prepare);
    openForm(c.page <= CONTACT_INFO ? PERSONNEL_FILE : PAYROLL_MASTER_FILE);
    moveTo(c.empNum);
    show(c.page);
    ui.clear();
    const std::string before = personnelBytes();

    c.edit(page);
    const bool valid = form->validatePage();
    if (!c.message) {
        EXPECT_TRUE(valid);
        expectNoMessage();
    } else {
        EXPECT_FALSE(valid);
        expectOneMessage(*c.message);
        EXPECT_NE(std::find_if(c.focus.begin(), c.focus.end(),
                               [&](const char* control) { return page.focus() == control; }),
                  c.focus.end())
            << "focus on \"" << page.focus() << "\"";
    }
    EXPECT_EQ(form->getCurrentRec().empNum, c.empNum);
    EXPECT_EQ(personnelBytes(), before) << "a page check wrote the personnel file";
}

INSTANTIATE_TEST_SUITE_P(EveryRule, StatFrmPageTest, ::testing::ValuesIn(pageCases()),
                         [](const ::testing::TestParamInfo<PageCase>& row) {
                             return row.param.name;
                         });

// Saving

TEST_F(StatFrmTest, SavingStoresTheChangeAndWorksOutTheOvertimeRates) {
    openForm(PAYROLL_MASTER_FILE);
    moveTo("MH002");
    show(BASIC_PAY);
    form->clearPayrollChanged();
    page.setText(sf::kSalary, "500000");
    page.setText(sf::kHoursPerMonth, "176");
    ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
    expectNoMessage();
    EXPECT_TRUE(form->payrollChanged());

    // 500,000 / 176 = 2,840.909 an hour: x 1.5 = 4,261.36, x 2 = 5,681.82.
    const auto e = stored("MH002");
    ASSERT_TRUE(e);
    EXPECT_DOUBLE_EQ(e->rec.salary, 500000);
    EXPECT_FLOAT_EQ(e->rec.hoursPerMonth, 176);
    EXPECT_NEAR(e->rec.normalOvertimeRate, 4261.36, 1e-6);
    EXPECT_NEAR(e->rec.doubleOvertimeRate, 5681.82, 1e-6);
    EXPECT_NEAR(form->getCurrentRec().normalOvertimeRate, 4261.36, 1e-6);
    // The rest of the row stays.
    EXPECT_EQ(e->rec.lastName, "Banda");
    EXPECT_EQ(e->rec.mobile, "0765 111 222");
    EXPECT_EQ(e->personnel, banda().personnel);
}

TEST_F(StatFrmTest, AContactChangeIsStoredButIsNoPayrollChange) {
    openForm();
    moveTo("MH002");
    show(CONTACT_INFO);
    form->clearPayrollChanged();
    page.setText(sf::kMobile, "0713 999 000");
    ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
    expectNoMessage();
    EXPECT_FALSE(form->payrollChanged());
    const auto e = stored("MH002");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->rec.mobile, "0713 999 000");
    EXPECT_DOUBLE_EQ(e->rec.salary, 450000);
}

TEST_F(StatFrmTest, AnUnchangedRecordSavesWithoutWriting) {
    // Another user holds Banda's row: a save that had to write would fail.
    testing::LockHolder other;
    ASSERT_TRUE(other.hold(personnelPath(), 2));
    const std::string before = personnelBytes();
    for (DB db : {PERSONNEL_FILE, PAYROLL_MASTER_FILE}) {
        openForm(db);
        moveTo("MH002");
        const int first = db == PERSONNEL_FILE ? PERSONAL_DETAILS : PAYMENT;
        const int last = db == PERSONNEL_FILE ? CONTACT_INFO : PENSION_FUNDS;
        for (int p = first; p <= last; ++p) {
            SCOPED_TRACE(p);
            show(static_cast<STATPAGE>(p));
            EXPECT_TRUE(form->saveCurrentRec());
            expectNoMessage();
            ui.clear();
        }
        closeForm();
    }
    EXPECT_EQ(personnelBytes(), before);
}

TEST_F(StatFrmTest, ARefusedPageIsNeitherSavedNorLeft) {
    openForm();
    show(PERSONAL_DETAILS);
    const std::string before = personnelBytes();
    page.setText(sf::kLastName, "");
    EXPECT_FALSE(form->saveCurrentRec());
    expectOneMessage(blank("Last Name"));
    EXPECT_FALSE(form->nextRecord());
    expectOneMessage(blank("Last Name"));
    EXPECT_EQ(form->getCurrentRec().empNum, "MH001");
    EXPECT_EQ(personnelBytes(), before);
}

TEST_F(StatFrmTest, MovingOnSavesTheChangeFirst) {
    openForm();
    show(CONTACT_INFO);
    page.setText(sf::kMobile, "0622 000 111");
    ASSERT_TRUE(form->nextRecord()) << ui.lastMessage();
    expectNoMessage();
    EXPECT_EQ(form->getCurrentRec().empNum, "MH002");
    EXPECT_EQ(page.text(sf::kMobile), "0765 111 222");
    const auto e = stored("MH001");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->rec.mobile, "0622 000 111");
}

// Switches that clear the fields they govern

TEST_F(StatFrmTest, ChangingThePayBasisClearsAllThreeRates) {
    struct Case {
        const char* name;
        int basis;
        double salary, daily, hourly; // afterwards
    };
    const std::vector<Case> cases{
        {"to daily rate", common::kPayBasisDaily, 0, 0, 0},
        {"to hourly rate", common::kPayBasisHourly, 0, 0, 0},
        {"salary kept", common::kPayBasisSalary, 450000, 15000, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        change("MH002", [](Employee& e) {
            e.rec.dailyRate = 15000;
            e.rec.hourlyRate = 2000;
        });
        openForm(PAYROLL_MASTER_FILE);
        moveTo("MH002");
        show(BASIC_PAY);
        payBasis(page, c.basis);
        form->resetSalary();
        const common::STATICREC& r = form->getCurrentRec();
        EXPECT_EQ(r.payBasis, c.basis);
        EXPECT_DOUBLE_EQ(r.salary, c.salary);
        EXPECT_DOUBLE_EQ(r.dailyRate, c.daily);
        EXPECT_DOUBLE_EQ(r.hourlyRate, c.hourly);
        if (c.basis != common::kPayBasisSalary) {
            EXPECT_DOUBLE_EQ(amountOn(page, sf::kSalary), 0);
            EXPECT_DOUBLE_EQ(amountOn(page, sf::kDailyRate), 0);
            EXPECT_DOUBLE_EQ(amountOn(page, sf::kHourlyRate), 0);
        }
        form->undoCurrentRec();
        closeForm();
    }
}

// The switches run as the window runs them: the user clicks the check box,
// which changes its state, and the window calls the form.

TEST_F(StatFrmTest, TheOvertimeSwitchOffResetsTheChoices) {
    change("MH002", [](Employee& e) {
        e.personnel.normalOvertimeChoice = database::kNormalOvertimeKeyed;
        e.personnel.doubleOvertimeChoice = database::kDoubleOvertimeKeyed;
        e.rec.normalOvertimeRate = 5000;
        e.rec.doubleOvertimeRate = 6500;
    });
    openForm(PAYROLL_MASTER_FILE);
    moveTo("MH002");
    show(OVERTIME);
    EXPECT_TRUE(page.isChecked(sf::kPayOvertime));
    EXPECT_TRUE(page.isChecked(sf::kNormalKeyed));
    EXPECT_TRUE(page.isChecked(sf::kDoubleKeyed));

    page.setChecked(sf::kPayOvertime, false);
    form->resetOvertime();
    EXPECT_EQ(form->getCurrentRec().overtimeEligible, 0);
    EXPECT_EQ(form->getPersonnel().normalOvertimeChoice, database::kNormalOvertimeFromBasic);
    EXPECT_EQ(form->getPersonnel().doubleOvertimeChoice, database::kDoubleOvertimeFromBasic);
    EXPECT_FALSE(page.isChecked(sf::kPayOvertime));
    EXPECT_TRUE(page.isChecked(sf::kNormalFromBasic));
    EXPECT_FALSE(page.isChecked(sf::kNormalKeyed));
    EXPECT_TRUE(page.isChecked(sf::kDoubleFromBasic));
    EXPECT_FALSE(page.isChecked(sf::kDoubleKeyed));

    page.setChecked(sf::kPayOvertime, true);
    form->resetOvertime();
    EXPECT_EQ(form->getCurrentRec().overtimeEligible, 1);
    EXPECT_TRUE(page.isChecked(sf::kPayOvertime));
    EXPECT_EQ(form->getPersonnel().normalOvertimeChoice, database::kNormalOvertimeFromBasic);
    expectNoMessage();

    // Saved, the rates are worked out from the basic pay rate again:
    // 450,000 / 195 x 1.5 = 3,461.54 and x 2 = 4,615.38.
    ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
    const auto e = stored("MH002");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->personnel.normalOvertimeChoice, database::kNormalOvertimeFromBasic);
    EXPECT_EQ(e->personnel.doubleOvertimeChoice, database::kDoubleOvertimeFromBasic);
    EXPECT_NEAR(e->rec.normalOvertimeRate, 3461.54, 1e-6);
    EXPECT_NEAR(e->rec.doubleOvertimeRate, 4615.38, 1e-6);
}

TEST_F(StatFrmTest, TheHousingSwitchOffClearsTheHousingFigures) {
    openForm(PAYROLL_MASTER_FILE);
    moveTo("MH002");
    show(HOUSING);
    EXPECT_TRUE(page.isChecked(sf::kHoused));
    page.setChecked(sf::kHoused, false);
    form->resetHousing();
    const common::STATICREC& r = form->getCurrentRec();
    EXPECT_EQ(r.housed, 0);
    EXPECT_DOUBLE_EQ(r.housingValue, 0);
    EXPECT_DOUBLE_EQ(r.housingExpense, 0);
    EXPECT_DOUBLE_EQ(r.rent, 0);
    EXPECT_FALSE(page.isChecked(sf::kHoused));
    EXPECT_DOUBLE_EQ(amountOn(page, sf::kMarketValue), 0);
    EXPECT_DOUBLE_EQ(amountOn(page, sf::kRent), 0);

    page.setChecked(sf::kHoused, true);
    form->resetHousing();
    EXPECT_EQ(form->getCurrentRec().housed, 1);
    EXPECT_DOUBLE_EQ(form->getCurrentRec().housingValue, 0);

    ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
    const auto e = stored("MH002");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->rec.housed, 1);
    EXPECT_DOUBLE_EQ(e->rec.housingValue, 0);
    EXPECT_DOUBLE_EQ(e->rec.housingExpense, 0);
    EXPECT_DOUBLE_EQ(e->rec.rent, 0);
}

TEST_F(StatFrmTest, PayeOffClearsTheTopTaxRate) {
    openForm(PAYROLL_MASTER_FILE);
    moveTo("MH002");
    show(STATUTORY_DEDUCTIONS);
    EXPECT_TRUE(page.isChecked(sf::kTopTaxRate));
    // PAYE still on: the top rate stays.
    form->resetPAYE();
    EXPECT_EQ(form->getCurrentRec().useTopTaxRate, 1);

    page.setChecked(sf::kDeductPaye, false);
    form->resetPAYE();
    EXPECT_EQ(form->getCurrentRec().payeApplies, 0);
    EXPECT_EQ(form->getCurrentRec().useTopTaxRate, 0);
    EXPECT_FALSE(page.isChecked(sf::kTopTaxRate));
    ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
    const auto e = stored("MH002");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->rec.payeApplies, 0);
    EXPECT_EQ(e->rec.useTopTaxRate, 0);
}

TEST_F(StatFrmTest, ASlotWithoutAFundHasNoMembershipNumber) {
    openForm(PAYROLL_MASTER_FILE);
    moveTo("MH002");
    show(COOPERATIVES);
    chooseNone(page, sf::kFund[0]);
    form->setCoopMember();
    EXPECT_EQ(form->getCurrentRec().coop1, 0);
    EXPECT_EQ(form->getPersonnel().coopMemberNum[0], "");
    EXPECT_EQ(page.text(sf::kMemberNum[0]), "");
    ASSERT_TRUE(form->validatePage());

    show(PENSION_FUNDS);
    EXPECT_EQ(page.text(sf::kMemberNum[0]), "P-200");
    chooseNone(page, sf::kFund[0]);
    form->setPensionMember();
    EXPECT_EQ(form->getCurrentRec().pensionFund1, 0);
    EXPECT_EQ(form->getPersonnel().pensionMemberNum[0], "");
    EXPECT_EQ(page.text(sf::kMemberNum[0]), "");

    ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
    const auto e = stored("MH002");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->rec.coop1, 0);
    EXPECT_EQ(e->personnel.coopMemberNum[0], "");
    EXPECT_EQ(e->rec.pensionFund1, 0);
    EXPECT_EQ(e->personnel.pensionMemberNum[0], "");
}

} // namespace
} // namespace kelo::staffrecords
