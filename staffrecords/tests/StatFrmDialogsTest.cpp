#include "StatFrmFixture.h"

#include <gtest/gtest.h>

namespace kelo::staffrecords {
namespace {

namespace sf = statfrm;
using common::Answer;
using testing::bankBlank;
using testing::blank;
using testing::choose;
using testing::Employee;
using testing::findTreeItem;
using testing::invalid;
using testing::shown;
using testing::ymd;
using View = testsupport::FakeDialogView;

const std::string kExists =
    "Record with this employee number already exists. Please enter a different employee number.";
const std::string kNoVacancy = "Cannot add a new employee as there are no vacanct posts.";
const std::string kLockedFile = "Cannot delete this employee because another user has locked\n"
                                "some of the records in this file. Try again later.";

void selectRow(View& view, const char* control, int row) {
    view.selectRow(control, row);
    view.setText(control, row >= 0 ? view.itemText(control, row) : "");
}

struct StatFrmDialogsTest : testing::StatFrmFixture {
    // The post dialog: the unit in the tree, then the job's row.
    void choosePost(long unit, const std::string& jobTitle) {
        dlg = View();
        ASSERT_TRUE(form->initSelPostDlg(dlg)) << ui.lastMessage();
        const auto item = findTreeItem(dlg, postdlg::kUnits, unit);
        ASSERT_NE(item, common::DialogView::kRoot) << "no unit " << unit;
        dlg.selectTreeItem(postdlg::kUnits, item);
        form->updateSelPostDlg(dlg);
        int row = -1;
        for (int i = 0; i < dlg.itemCount(postdlg::kPosts) && row < 0; ++i) {
            if (dlg.itemText(postdlg::kPosts, i).find(jobTitle) != std::string::npos)
                row = i;
        }
        ASSERT_GE(row, 0) << "no post " << jobTitle;
        selectRow(dlg, postdlg::kPosts, row);
        ASSERT_TRUE(form->closeSelPostDlg(dlg)) << ui.lastMessage();
    }

    // The supervisor dialog with the employee's row chosen in his unit.
    void pickSupervisor(long unit, const std::string& empNum, const std::string& rowText) {
        dlg = View();
        ASSERT_TRUE(form->initSupervisorDlg(dlg)) << ui.lastMessage();
        const auto item = findTreeItem(dlg, supervisordlg::kUnits, unit);
        ASSERT_NE(item, common::DialogView::kRoot) << "no unit " << unit;
        dlg.selectTreeItem(supervisordlg::kUnits, item);
        form->updateSupervisorDlg(dlg);
        int row = -1;
        for (int i = 0; i < dlg.itemCount(supervisordlg::kEmployees) && row < 0; ++i) {
            if (dlg.itemText(supervisordlg::kEmployees, i).rfind(empNum + "\t", 0) == 0)
                row = i;
        }
        ASSERT_GE(row, 0) << "no row for " << empNum;
        EXPECT_EQ(dlg.itemText(supervisordlg::kEmployees, row), rowText);
        selectRow(dlg, supervisordlg::kEmployees, row);
    }

    // A new employee in Finance's vacant accountant post, valid on every page.
    static Employee mushi() {
        Employee e;
        common::STATICREC& r = e.rec;
        r.empNum = "MH020";
        r.lastName = "Mushi";
        r.otherNames = "Neema Rose";
        r.station = testing::kMbeyaStation;
        r.startDate = ymd(2025, 3, 3);
        r.leaveEntitlement = 28;
        r.payFreq = common::WEEKLY;
        r.payMethod = common::kPayByBankTransfer;
        r.bankName = "NMB Bank";
        r.branchName = "Mbeya";
        r.accountNum = "5120000777";
        r.salary = 100000; // grade B: 70,000 to 150,000 a week
        r.hoursPerDay = 8;
        r.hoursPerMonth = 176;
        r.payeApplies = 1;
        r.nssfMember = 1;
        r.coop1 = 2;
        e.personnel.unit = testing::kFinance;
        e.personnel.job = testing::kAccountant;
        e.personnel.grade = testing::kGradeB;
        e.personnel.coopMemberNum = {"A-7", ""};
        return e;
    }

    void fillPosts() {
        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.openFile());
        ASSERT_TRUE(posts.gotoPost(testing::kFinance, testing::kAccountant));
        ASSERT_TRUE(posts.updateRecord({testing::kFinance, testing::kAccountant, {1, 0, 0, 0}}));
        posts.closeFile();
    }

    // What the four files hold of the employee.
    struct Holdings {
        bool master = false, transactions = false;
        std::size_t absences = 0, leave = 0;
        friend bool operator==(const Holdings&, const Holdings&) = default;
    };

    Holdings holdings(const std::string& empNum, common::PAYFREQ payFreq) {
        return {stored(empNum).has_value(), hasTransactions(empNum, payFreq), absenceRows(empNum),
                leaveRows(empNum)};
    }
};

std::ostream& operator<<(std::ostream& out, const StatFrmDialogsTest::Holdings& h) {
    return out << "{master " << h.master << ", transactions " << h.transactions << ", absences "
               << h.absences << ", leave " << h.leave << "}";
}

// New employees

TEST_F(StatFrmDialogsTest, AddingNeedsAVacantPost) {
    openForm();
    EXPECT_TRUE(form->isOKToAdd());
    expectNoMessage();
    fillPosts();
    EXPECT_FALSE(form->isOKToAdd());
    expectOneMessage(kNoVacancy);
}

TEST_F(StatFrmDialogsTest, ANewNumberMustBeGivenAndNotInUse) {
    openForm();
    struct Case {
        const char* typed;
        std::optional<std::string> message; // nullopt: taken
        const char* number;
    };
    const std::vector<Case> cases{
        {"", blank("Employee Number"), ""},
        {"   ", blank("Employee Number"), ""},
        {"MH001", kExists, ""},
        {"mh001", kExists, ""},
        {" Mh002 ", kExists, ""},
        {"MH010", std::nullopt, "MH010"},
        {"  MH011  ", std::nullopt, "MH011"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.typed + "\"");
        dlg = View();
        dlg.setText(empnumdlg::kEmpNum, c.typed);
        std::string number;
        const bool taken = form->getNewEmpNum(dlg, number);
        EXPECT_EQ(taken, !c.message);
        if (c.message) {
            expectOneMessage(*c.message);
        } else {
            expectNoMessage();
            EXPECT_EQ(number, c.number);
        }
    }
    EXPECT_EQ(employeeCount(), 3);
}

TEST_F(StatFrmDialogsTest, ANewEmployeeIsStoredWithHisAccountsOnlyWhenSaved) {
    openForm();
    moveTo("MH002");
    ASSERT_TRUE(form->isOKToAdd());
    dlg.setText(empnumdlg::kEmpNum, "MH010");
    std::string number;
    ASSERT_TRUE(form->getNewEmpNum(dlg, number));
    ASSERT_TRUE(form->appendNewRec(org, number)) << ui.lastMessage();
    EXPECT_TRUE(form->isNewRecord());
    EXPECT_TRUE(form->hasRecord());
    EXPECT_EQ(form->getCurrentRec().empNum, "MH010");
    EXPECT_EQ(form->positionText(), "New record");

    show(PERSONAL_DETAILS);
    page.setText(sf::kLastName, "Mushi");
    page.setText(sf::kOtherNames, "Neema Rose");
    ASSERT_TRUE(form->validatePage()) << ui.lastMessage();
    show(EMPLOYMENT_DETAILS);
    choosePost(testing::kFinance, "Accountant");
    EXPECT_EQ(form->getPersonnel().unit, testing::kFinance);
    EXPECT_EQ(form->getPersonnel().job, testing::kAccountant);
    EXPECT_EQ(form->getPersonnel().grade, testing::kGradeB);
    show(EMPLOYMENT_DETAILS);
    EXPECT_EQ(page.text(sf::kJobTitle), "Accountant");
    EXPECT_EQ(page.text(sf::kGrade), "Grade B");
    choose(page, sf::kStation, testing::kMbeyaStation);

    // Nothing stored yet.
    const common::PAYFREQ payFreq = form->getCurrentRec().payFreq;
    EXPECT_EQ(employeeCount(), 3);
    EXPECT_EQ(holdings("MH010", payFreq), Holdings{});
    expectNoMessage();

    ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
    expectNoMessage();
    EXPECT_FALSE(form->isNewRecord());
    EXPECT_EQ(form->positionText(), "Record 4 of 4");
    EXPECT_EQ(employeeCount(), 4);
    const auto e = stored("MH010");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->rec.lastName, "Mushi");
    EXPECT_EQ(e->rec.otherNames, "Neema Rose");
    EXPECT_EQ(e->rec.station, testing::kMbeyaStation);
    EXPECT_EQ(e->personnel.unit, testing::kFinance);
    EXPECT_EQ(e->personnel.job, testing::kAccountant);
    EXPECT_EQ(e->personnel.grade, testing::kGradeB);
    EXPECT_TRUE(hasTransactions("MH010", payFreq));
    EXPECT_GE(leaveRows("MH010"), 1u);
    // The others are as they were.
    EXPECT_EQ(holdings("MH002", common::MONTHLY), (Holdings{true, true, 1, 1}));
}

TEST_F(StatFrmDialogsTest, UndoDropsANewEmployeeAndShowsTheRecordBefore) {
    openForm();
    moveTo("MH002");
    show(PERSONAL_DETAILS);
    const std::string before = personnelBytes();
    ASSERT_TRUE(form->appendNewRec(org, "MH010")) << ui.lastMessage();
    form->displayRecord();
    page.setText(sf::kLastName, "Mushi");
    page.setText(sf::kOtherNames, "Neema Rose");
    form->undoCurrentRec();
    EXPECT_FALSE(form->isNewRecord());
    EXPECT_EQ(form->getCurrentRec().empNum, "MH002");
    EXPECT_EQ(page.text(sf::kEmpNum), "MH002");
    EXPECT_EQ(page.text(sf::kLastName), "Banda");
    EXPECT_EQ(form->positionText(), "Record 2 of 3");
    EXPECT_EQ(personnelBytes(), before);
    EXPECT_EQ(holdings("MH010", common::MONTHLY), Holdings{});
}

TEST_F(StatFrmDialogsTest, AddEmployeeWritesTheMasterTransactionsAndLeaveRecords) {
    const Employee e = mushi();
    ASSERT_TRUE(form->addEmployee(org, e.rec, e.personnel)) << ui.lastMessage();
    expectNoMessage();
    EXPECT_EQ(employeeCount(), 4);
    const auto s = stored("MH020");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->rec.lastName, "Mushi");
    EXPECT_EQ(s->rec.payFreq, common::WEEKLY);
    EXPECT_DOUBLE_EQ(s->rec.salary, 100000);
    EXPECT_EQ(s->rec.bankName, "NMB Bank");
    EXPECT_EQ(s->rec.coop1, 2);
    EXPECT_EQ(s->personnel.job, testing::kAccountant);
    EXPECT_EQ(s->personnel.coopMemberNum[0], "A-7");
    EXPECT_TRUE(hasTransactions("MH020", common::WEEKLY));
    EXPECT_FALSE(hasTransactions("MH020", common::MONTHLY));
    EXPECT_GE(leaveRows("MH020"), 1u);
}

TEST_F(StatFrmDialogsTest, AddEmployeeRefusesABadRecordAndWritesNothing) {
    struct Case {
        const char* name;
        std::function<void(Employee&)> spoil;
        std::string message;
    };
    const std::vector<Case> cases{
        {"blank number", [](Employee& e) { e.rec.empNum = " "; }, blank("Employee Number")},
        {"number in use", [](Employee& e) { e.rec.empNum = "mh002"; }, kExists},
        {"blank last name", [](Employee& e) { e.rec.lastName = ""; }, blank("Last Name")},
        {"blank other names", [](Employee& e) { e.rec.otherNames = ""; }, blank("Other Names")},
        {"no post", [](Employee& e) { e.personnel.unit = e.personnel.job = 0; },
         "This employee is not attached to any post."},
        {"no station", [](Employee& e) { e.rec.station = 0; }, blank("Station")},
        {"transfer without account", [](Employee& e) { e.rec.accountNum = ""; },
         bankBlank("Account Number")},
        {"salary below the weekly grade", [](Employee& e) { e.rec.salary = 69999; },
         "The salary must be at least 70000."},
        {"1000 hours a month", [](Employee& e) { e.rec.hoursPerMonth = 1000; },
         invalid("Hours per Month")},
        {"negative rent", [](Employee& e) { e.rec.rent = -1; }, invalid("Rent to Employer")},
        {"same co-operative twice", [](Employee& e) { e.rec.coop2 = 2; },
         "Employee cannot belong to the same co-operative twice."},
        {"same pension fund twice",
         [](Employee& e) { e.rec.pensionFund1 = e.rec.pensionFund2 = 1; },
         "Employee cannot belong to the same pension fund twice."},
    };
    const std::string before = personnelBytes();
    const Holdings banda = holdings("MH002", common::MONTHLY);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Employee e = mushi();
        c.spoil(e);
        ui.clear();
        EXPECT_FALSE(form->addEmployee(org, e.rec, e.personnel));
        expectOneMessage(c.message);
        EXPECT_EQ(personnelBytes(), before);
        for (common::PAYFREQ f : {common::MONTHLY, common::WEEKLY})
            EXPECT_FALSE(hasTransactions("MH020", f));
        EXPECT_EQ(leaveRows("MH020"), 0u);
        EXPECT_EQ(holdings("MH002", common::MONTHLY), banda);
    }
}

// Termination

TEST_F(StatFrmDialogsTest, ATerminationBeforeTheStartOrWithoutAReasonIsRefused) {
    openForm();
    moveTo("MH002");
    const std::string before = personnelBytes();
    struct Case {
        const char* name;
        const char* date;
        bool reason;
        std::optional<std::string> message; // nullopt: any message
    };
    const std::vector<Case> cases{
        {"day before the start", "31/05/2015", true,
         "Termination date cannot be earlier than start date"},
        {"year before the start", "01/06/2014", true,
         "Termination date cannot be earlier than start date"},
        {"no reason", "31/03/2025", false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dlg = View();
        ASSERT_TRUE(form->initTerminateDlg(dlg)) << ui.lastMessage();
        ASSERT_GT(dlg.itemCount(terminatedlg::kReason), 0);
        dlg.setText(terminatedlg::kDate, c.date);
        selectRow(dlg, terminatedlg::kReason, c.reason ? 0 : -1);
        dlg.setText(terminatedlg::kComment, "Moved to Dodoma");
        ui.clear();
        EXPECT_FALSE(form->closeTerminateDlg(dlg));
        if (c.message) {
            expectOneMessage(*c.message);
        } else {
            EXPECT_EQ(ui.messages.size(), 1u);
            ui.clear();
        }
        form->cancelTerminateDlg();
        EXPECT_EQ(form->getCurrentRec().terminated, 0);
        EXPECT_EQ(form->terminateMenuText(), "&Terminate...");
    }
    EXPECT_EQ(personnelBytes(), before);
}

TEST_F(StatFrmDialogsTest, ATerminationIsStoredAndCanBeUndone) {
    struct Case {
        const char* date;
        common::date stored;
    };
    for (const Case& c :
         {Case{"31/03/2025", ymd(2025, 3, 31)}, Case{"01/06/2015", ymd(2015, 6, 1)}}) {
        SCOPED_TRACE(c.date);
        openForm();
        moveTo("MH002");
        EXPECT_EQ(form->terminateMenuText(), "&Terminate...");
        EXPECT_TRUE(form->mayTerminateOrUndo());
        dlg = View();
        ASSERT_TRUE(form->initTerminateDlg(dlg)) << ui.lastMessage();
        ASSERT_GT(dlg.itemCount(terminatedlg::kReason), 0);
        dlg.setText(terminatedlg::kDate, c.date);
        const int last = dlg.itemCount(terminatedlg::kReason) - 1;
        selectRow(dlg, terminatedlg::kReason, last);
        const std::string reason = dlg.itemText(terminatedlg::kReason, last);
        dlg.setText(terminatedlg::kComment, "Moved to Dodoma");
        ASSERT_TRUE(form->closeTerminateDlg(dlg)) << ui.lastMessage();
        expectNoMessage();
        EXPECT_EQ(form->getCurrentRec().terminated, 1);
        EXPECT_EQ(form->getCurrentRec().terminationDate, c.stored);
        EXPECT_EQ(form->terminateMenuText(), "&Undo Termination");
        ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
        auto e = stored("MH002");
        ASSERT_TRUE(e);
        EXPECT_EQ(e->rec.terminated, 1);
        EXPECT_EQ(e->rec.separated, 0);
        EXPECT_EQ(e->rec.terminationDate, c.stored);
        EXPECT_EQ(e->rec.terminationReason, reason);
        EXPECT_EQ(e->rec.terminationComment, "Moved to Dodoma");

        // No keeps the termination; Yes reverses it.
        ui.answers = {Answer::No};
        EXPECT_FALSE(form->undoTerminate());
        expectOneMessage("Are you sure you want to reverse the termination of this employee?");
        EXPECT_EQ(form->getCurrentRec().terminated, 1);
        ui.answers = {Answer::Yes};
        ASSERT_TRUE(form->undoTerminate());
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages.front().text,
                  "Are you sure you want to reverse the termination of this employee?");
        EXPECT_EQ(ui.messages.front().buttons, common::MessageButtons::YesNo);
        ui.clear();
        ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
        e = stored("MH002");
        ASSERT_TRUE(e);
        EXPECT_EQ(e->rec.terminated, 0);
        EXPECT_EQ(e->rec.terminationDate, common::date{});
        EXPECT_EQ(e->rec.terminationReason, "");
        EXPECT_EQ(e->rec.terminationComment, "");
        EXPECT_EQ(form->terminateMenuText(), "&Terminate...");
        closeForm();
    }
}

TEST_F(StatFrmDialogsTest, ASeparatedEmployeeIsReadOnly) {
    change("MH003", [](Employee& e) {
        e.rec.terminated = 1;
        e.rec.separated = 1;
        e.rec.terminationDate = ymd(2025, 2, 28);
        e.rec.terminationReason = "Resignation";
    });
    openForm();
    moveTo("MH003");
    EXPECT_TRUE(form->isReadOnly());
    EXPECT_FALSE(form->mayTerminateOrUndo());
    show(CONTACT_INFO);
    const std::string before = personnelBytes();
    page.setText(sf::kMobile, "0700 000 000");
    EXPECT_FALSE(form->saveCurrentRec());
    expectOneMessage("This record is read-only and cannot be saved.");
    std::string empNum;
    common::PAYFREQ payFreq = common::MONTHLY;
    EXPECT_FALSE(form->deleteRec(empNum, payFreq));
    expectOneMessage("This record is read-only and cannot be deleted.");
    EXPECT_EQ(personnelBytes(), before);
    EXPECT_EQ(holdings("MH003", common::WEEKLY), (Holdings{true, true, 1, 1}));
}

// Birth date

TEST_F(StatFrmDialogsTest, BirthDatesAreChecked) {
    struct Case {
        const char *year, *month, *day;
        std::optional<std::string> message; // nullopt: taken
        common::date taken;
    };
    const std::string badYear = "Entry for year field is invalid.";
    const std::string badMonth = "Entry for month field is invalid.";
    const std::string badDay = "Entry for day field is invalid.";
    const std::vector<Case> cases{
        {"2024", "2", "29", std::nullopt, ymd(2024, 2, 29)},
        {"2023", "2", "29", badDay, {}},
        {"2000", "2", "29", std::nullopt, ymd(2000, 2, 29)},
        {"1900", "2", "29", badDay, {}},
        {"2023", "4", "31", badDay, {}},
        {"2023", "12", "31", std::nullopt, ymd(2023, 12, 31)},
        {"2023", "4", "30", std::nullopt, ymd(2023, 4, 30)},
        {"1899", "5", "10", badYear, {}},
        {"3001", "5", "10", badYear, {}},
        {"1900", "1", "1", std::nullopt, ymd(1900, 1, 1)},
        {"3000", "12", "31", std::nullopt, ymd(3000, 12, 31)},
        {"1990", "13", "1", badMonth, {}},
        {"", "5", "", "Can't have a month without a year.", {}},
        {"1990", "", "5", "Can't have a day without a month.", {}},
        {"1990", "7", "", std::nullopt, common::date{1990, 0, 7}},
        {"1991", "", "", std::nullopt, common::date{1991, 0, 0}},
    };
    openForm();
    show(PERSONAL_DETAILS);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.day) + "/" + c.month + "/" + c.year);
        const common::date before = form->getPersonnel().birthDate;
        dlg = View();
        form->initBDateDlg(dlg);
        dlg.setText(bdatedlg::kYear, c.year);
        dlg.setText(bdatedlg::kMonth, c.month);
        dlg.setText(bdatedlg::kDay, c.day);
        const bool taken = form->closeBDateDlg(dlg);
        EXPECT_EQ(taken, !c.message);
        if (c.message) {
            expectOneMessage(*c.message);
            EXPECT_EQ(form->getPersonnel().birthDate, before);
        } else {
            expectNoMessage();
            EXPECT_EQ(form->getPersonnel().birthDate, c.taken);
        }
    }
    ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
    const auto e = stored("MH001");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->personnel.birthDate, (common::date{1991, 0, 0}));
}

TEST_F(StatFrmDialogsTest, TheBirthDateDialogShowsTheStoredDate) {
    openForm();
    form->initBDateDlg(dlg);
    // Numbers, with or without a leading zero.
    const auto number = [&](const char* control) {
        const std::string text = common::trim(dlg.text(control));
        return text.empty() ? -1 : std::stoi(text);
    };
    EXPECT_EQ(number(bdatedlg::kDay), 14);
    EXPECT_EQ(number(bdatedlg::kMonth), 3);
    EXPECT_EQ(number(bdatedlg::kYear), 1968);
}

// Supervisor, post and bank

TEST_F(StatFrmDialogsTest, ALessSeniorSupervisorNeedsConfirmation) {
    openForm();
    moveTo("MH002"); // grade B, rank 2
    show(EMPLOYMENT_DETAILS);
    const std::string question =
        "The selected supervisor (rank 3) is not as senior as the current employee (rank 2). Are "
        "you sure you want to continue?";

    pickSupervisor(testing::kFinance, "MH003", "MH003\tKileo, Ali Hassan");
    ui.answers = {Answer::No};
    EXPECT_FALSE(form->closeSupervisorDlg(dlg));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages.front().text, question);
    EXPECT_EQ(ui.messages.front().buttons, common::MessageButtons::YesNo);
    ui.clear();
    EXPECT_EQ(form->getPersonnel().supervisor, "MH001");

    ui.answers = {Answer::Yes};
    ASSERT_TRUE(form->closeSupervisorDlg(dlg));
    expectOneMessage(question);
    EXPECT_EQ(form->getPersonnel().supervisor, "MH003");
    show(EMPLOYMENT_DETAILS);
    EXPECT_EQ(page.text(sf::kSupervisor), "Kileo, Ali Hassan");
    ASSERT_TRUE(form->saveCurrentRec()) << ui.lastMessage();
    auto e = stored("MH002");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->personnel.supervisor, "MH003");

    // A more senior supervisor is taken without a question.
    pickSupervisor(testing::kHeadOffice, "MH001", "MH001\tMwakyusa, Emmanuel Joseph");
    ASSERT_TRUE(form->closeSupervisorDlg(dlg));
    expectNoMessage();
    EXPECT_EQ(form->getPersonnel().supervisor, "MH001");
}

TEST_F(StatFrmDialogsTest, TheJobTitleAndGradeFollowTheChosenPost) {
    openForm();
    moveTo("MH003");
    show(EMPLOYMENT_DETAILS);
    choosePost(testing::kFinance, "Accountant");
    EXPECT_EQ(form->getPersonnel().job, testing::kAccountant);
    EXPECT_EQ(form->getPersonnel().grade, testing::kGradeB);
    show(EMPLOYMENT_DETAILS);
    EXPECT_EQ(page.text(sf::kJobTitle), "Accountant");
    EXPECT_EQ(page.text(sf::kGrade), "Grade B");
}

TEST_F(StatFrmDialogsTest, TheBankDialogSetsBankAndBranch) {
    openForm(PAYROLL_MASTER_FILE);
    moveTo("MH002");
    show(PAYMENT);
    ASSERT_TRUE(form->initSelBankDlg(dlg)) << ui.lastMessage();
    const int bank = dlg.findItem(bankdlg::kBanks, "NMB Bank");
    ASSERT_GE(bank, 0);
    selectRow(dlg, bankdlg::kBanks, bank);
    form->updateSelBankDlg(dlg);
    EXPECT_EQ(dlg.itemTexts(bankdlg::kBranches), (std::vector<std::string>{"Mbeya"}));
    selectRow(dlg, bankdlg::kBranches, 0);
    ASSERT_TRUE(form->closeSelBankDlg(dlg)) << ui.lastMessage();
    EXPECT_EQ(form->getCurrentRec().bankName, "NMB Bank");
    EXPECT_EQ(form->getCurrentRec().branchName, "Mbeya");
    show(PAYMENT);
    EXPECT_EQ(page.text(sf::kBank), "NMB Bank");
    EXPECT_EQ(page.text(sf::kBranch), "Mbeya");
}

// Deleting

TEST_F(StatFrmDialogsTest, DeleteAsksThenRemovesTheEmployeeFromAllFourFiles) {
    openForm();
    moveTo("MH002");
    std::string empNum;
    common::PAYFREQ payFreq = common::IRREGULAR;
    ui.answers = {Answer::No};
    EXPECT_FALSE(form->deleteRec(empNum, payFreq));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages.front().text, "Are you sure you want to delete this record?");
    EXPECT_EQ(ui.messages.front().buttons, common::MessageButtons::YesNo);
    ui.clear();
    EXPECT_EQ(holdings("MH002", common::MONTHLY), (Holdings{true, true, 1, 1}));
    EXPECT_EQ(form->getCurrentRec().empNum, "MH002");

    ui.answers = {Answer::Yes};
    ASSERT_TRUE(form->deleteRec(empNum, payFreq)) << ui.lastMessage();
    expectOneMessage("Are you sure you want to delete this record?");
    EXPECT_EQ(empNum, "MH002");
    EXPECT_EQ(payFreq, common::MONTHLY);
    EXPECT_EQ(holdings("MH002", common::MONTHLY), Holdings{});
    EXPECT_EQ(employeeCount(), 2);
    EXPECT_EQ(holdings("MH001", common::MONTHLY), (Holdings{true, true, 1, 1}));
    EXPECT_EQ(holdings("MH003", common::WEEKLY), (Holdings{true, true, 1, 1}));
    // The record now second in the file is shown.
    EXPECT_EQ(form->getCurrentRec().empNum, "MH003");
    EXPECT_EQ(form->positionText(), "Record 2 of 2");

    ASSERT_TRUE(form->deleteRec(empNum, payFreq)) << ui.lastMessage();
    EXPECT_EQ(empNum, "MH003");
    EXPECT_EQ(payFreq, common::WEEKLY);
    EXPECT_EQ(holdings("MH003", common::WEEKLY), Holdings{});
    EXPECT_EQ(employeeCount(), 1);
}

struct LockedFile {
    const char* name;
    std::string path; // relative to the organisation folder
};

struct StatFrmLockedDeleteTest : StatFrmDialogsTest, ::testing::WithParamInterface<LockedFile> {};

TEST_P(StatFrmLockedDeleteTest, AnotherUsersLockStopsTheDeleteInEveryFile) {
    openForm();
    moveTo("MH002");
    // Another user holds the first row of one of the four files.
    testing::LockHolder other;
    ASSERT_TRUE(other.hold(folder.resolve(GetParam().path), 1));
    const Holdings before = holdings("MH002", common::MONTHLY);
    ASSERT_EQ(before, (Holdings{true, true, 1, 1}));
    ui.clear();

    ui.answers = {Answer::Yes};
    std::string empNum;
    common::PAYFREQ payFreq = common::MONTHLY;
    EXPECT_FALSE(form->deleteRec(empNum, payFreq));
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.lastMessage(), kLockedFile);
    EXPECT_EQ(holdings("MH002", common::MONTHLY), before);
    EXPECT_EQ(employeeCount(), 3);
    EXPECT_EQ(form->getCurrentRec().empNum, "MH002");

    // Once the other user lets go, the delete goes through.
    other.release();
    ui.clear();
    ui.answers = {Answer::Yes};
    ASSERT_TRUE(form->deleteRec(empNum, payFreq)) << ui.lastMessage();
    EXPECT_EQ(holdings("MH002", common::MONTHLY), Holdings{});
}

INSTANTIATE_TEST_SUITE_P(
    FourFiles, StatFrmLockedDeleteTest,
    ::testing::Values(LockedFile{"Personnel", database::STATDB::kPath},
                      LockedFile{"Transactions",
                                 std::string(common::transactionsTablePath(common::MONTHLY))},
                      LockedFile{"Absence", database::ABSENCEDB::kPath},
                      LockedFile{"Leave", database::LEAVEDB::kPath}),
    [](const ::testing::TestParamInfo<LockedFile>& row) { return std::string(row.param.name); });

// Another user's changes

TEST_F(StatFrmDialogsTest, AnotherUsersChangeIsShownWhenNothingIsPending) {
    openForm();
    show(CONTACT_INFO);
    EXPECT_FALSE(form->refreshRecord());
    changeAsOtherUser("MH001", [](Employee& e) { e.rec.mobile = "0784 555 666"; });
    EXPECT_TRUE(form->refreshRecord());
    EXPECT_EQ(page.text(sf::kMobile), "0784 555 666");
    EXPECT_EQ(form->getCurrentRec().mobile, "0784 555 666");
    expectNoMessage();
}

TEST_F(StatFrmDialogsTest, PendingChangesAreKeptAndNotSavedOverAnotherUsersChange) {
    openForm();
    show(CONTACT_INFO);
    page.setText(sf::kOffice, "Block C");
    changeAsOtherUser("MH001", [](Employee& e) { e.rec.mobile = "0784 555 666"; });
    EXPECT_FALSE(form->refreshRecord());
    EXPECT_EQ(page.text(sf::kOffice), "Block C");
    ui.clear();

    EXPECT_FALSE(form->saveCurrentRec());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(common::toUpper(ui.lastMessage()).find("ANOTHER USER"), std::string::npos)
        << ui.lastMessage();
    ui.clear();
    EXPECT_EQ(page.text(sf::kOffice), "Block C");
    auto e = stored("MH001");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->rec.mobile, "0784 555 666");
    EXPECT_EQ(e->rec.office, "Head Office");

    // Undo shows what the other user stored.
    form->undoCurrentRec();
    EXPECT_EQ(page.text(sf::kMobile), "0784 555 666");
    EXPECT_EQ(page.text(sf::kOffice), "Head Office");
}

} // namespace
} // namespace kelo::staffrecords
