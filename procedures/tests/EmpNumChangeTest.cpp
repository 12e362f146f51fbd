#include "procedures/EmpNumChange.h"

#include "common/Text.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace kelo::procedures {
namespace {

using common::Answer;
using common::MessageButtons;
using common::MessageIcon;
namespace dlg = empnumchangedlg;

constexpr const char* kCaution =
    "Caution: It is not advisable to reuse an employee number that belonged to a former employee.";
constexpr const char* kExists = "Record with this employee number already exists. Please enter a "
                                "different new employee number.";

// Answers from a list of employees and writes down every call, with the
// numbers it was given.
class RecordingEmpNumStores : public EmpNumStores {
public:
    bool checkFiles() override {
        calls.push_back("checkFiles");
        return filesOk;
    }
    bool findEmployee(const std::string& empNum, std::optional<EmpNumEmployee>& found) override {
        calls.push_back("find " + empNum);
        found.reset();
        for (const EmpNumEmployee& e : employees) {
            if (common::employeeKey(e.empNum) == common::employeeKey(empNum))
                found = e;
        }
        return readable;
    }
    bool renumberEmployeeFiles(const common::EMPNUMREC& change) override {
        return record("tables", change, tablesOk);
    }
    bool renumberMonthReturns(const common::EMPNUMREC& change, const common::ORGREC& org) override {
        return store("MONTHDB", change, org);
    }
    bool renumberAnnualReturns(const common::EMPNUMREC& change,
                               const common::ORGREC& org) override {
        return store("ANNUALDB", change, org);
    }
    bool renumberTaxReports(const common::EMPNUMREC& change, const common::ORGREC& org) override {
        return store("TAXREPDB", change, org);
    }
    bool renumberYearToDate(const common::EMPNUMREC& change, const common::ORGREC& org) override {
        return store("YTDDB", change, org);
    }
    bool renumberLeaveReports(const common::EMPNUMREC& change, const common::ORGREC& org) override {
        return store("LEAVEREPDB", change, org);
    }
    bool renumberFormerEmployees(const common::EMPNUMREC& change,
                                 const common::ORGREC& org) override {
        return store("STATICREPDB", change, org);
    }

    std::vector<EmpNumEmployee> employees{{"E001", "Mushi", "Neema", common::WEEKLY},
                                          {"E002", "Banda", "Joseph", common::MONTHLY}};
    bool filesOk = true;
    bool readable = true;
    bool tablesOk = true;
    bool storesOk = true;
    std::vector<std::string> calls;
    std::vector<std::string> orgs; // the organisation each store was given

private:
    bool record(const char* name, const common::EMPNUMREC& change, bool result) {
        calls.push_back(std::string(name) + " " + change.oldEmpNum + ">" + change.newEmpNum + " " +
                        std::to_string(change.payFreq));
        return result;
    }
    bool store(const char* name, const common::EMPNUMREC& change, const common::ORGREC& org) {
        orgs.push_back(org.name);
        return record(name, change, storesOk);
    }
};

struct EmpNumChangeTest : ::testing::Test {
    void SetUp() override { org.name = "Kilimo Traders Ltd"; }

    EmpNumChange form() { return EmpNumChange(ui, stores, org); }

    testsupport::RecordingUi ui;
    RecordingEmpNumStores stores;
    testsupport::FakeDialogView view;
    common::ORGREC org;
};

using Calls = std::vector<std::string>;

TEST_F(EmpNumChangeTest, TheDialogOpensEmptyWithItsCaution) {
    EmpNumChange change = form();
    view.setText(dlg::kOldEmpNum, "left over");
    ASSERT_TRUE(change.initEmpNumDlg(view));
    EXPECT_EQ(view.caption(), "Change Employee Number");
    EXPECT_EQ(view.text(dlg::kCaution), kCaution);
    EXPECT_EQ(view.text(dlg::kOldEmpNum), "");
    EXPECT_EQ(view.text(dlg::kNewEmpNum), "");
    EXPECT_EQ(view.control(dlg::kOldEmpNum).textLimit, 19);
    EXPECT_EQ(view.control(dlg::kNewEmpNum).textLimit, 19);
    EXPECT_EQ(view.focus(), dlg::kOldEmpNum);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EmpNumChangeTest, WithoutAPersonnelFileTheDialogCloses) {
    stores.filesOk = false;
    EmpNumChange change = form();
    EXPECT_FALSE(change.initEmpNumDlg(view));
    EXPECT_EQ(stores.calls, Calls{"checkFiles"});
}

struct Refusal {
    const char* name;
    const char* oldEmpNum;
    const char* newEmpNum;
    const char* message;
    const char* focus;
};

class EmpNumRefusalTest : public EmpNumChangeTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(EmpNumRefusalTest, TheDialogStaysWithTheMessageAndNothingChanges) {
    const Refusal& r = GetParam();
    EmpNumChange change = form();
    ASSERT_TRUE(change.initEmpNumDlg(view));
    view.setText(dlg::kOldEmpNum, r.oldEmpNum);
    view.setText(dlg::kNewEmpNum, r.newEmpNum);
    view.setFocus("IDOK");
    common::EMPNUMREC request;
    EXPECT_FALSE(change.closeEmpNumDlg(view, request));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, r.message);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.messages[0].caption, "Kelo Roster");
    EXPECT_EQ(view.focus(), r.focus);
    for (const std::string& call : stores.calls)
        EXPECT_TRUE(call == "checkFiles" || call.starts_with("find ")) << call;

    // The same checks without a dialog.
    ui.clear();
    EXPECT_EQ(changeEmployeeNumber(ui, stores, org, r.oldEmpNum, r.newEmpNum),
              EmpNumStatus::Refused);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, r.message);
    for (const std::string& call : stores.calls)
        EXPECT_TRUE(call == "checkFiles" || call.starts_with("find ")) << call;
}

INSTANTIATE_TEST_SUITE_P(
    Checks, EmpNumRefusalTest,
    ::testing::Values(Refusal{"OldEmpty", "", "E100",
                              "The Old Employee Number must not be blank. Please enter a value.",
                              dlg::kOldEmpNum},
                      Refusal{"OldBlanks", "   ", "E100",
                              "The Old Employee Number must not be blank. Please enter a value.",
                              dlg::kOldEmpNum},
                      Refusal{"BothEmpty", "", "",
                              "The Old Employee Number must not be blank. Please enter a value.",
                              dlg::kOldEmpNum},
                      Refusal{"NewEmpty", "E001", " ",
                              "The New Employee Number must not be blank. Please enter a value.",
                              dlg::kNewEmpNum},
                      Refusal{"OldUnknown", "E999", "E100",
                              "No record with this employee number exists.", dlg::kOldEmpNum},
                      Refusal{"OldUnknownAndSame", "E999", "e999",
                              "No record with this employee number exists.", dlg::kOldEmpNum},
                      Refusal{"Same", "E001", "E001",
                              "Old and new employee numbers must be different.", dlg::kNewEmpNum},
                      Refusal{"SameButCase", " e001", "E001 ",
                              "Old and new employee numbers must be different.", dlg::kNewEmpNum},
                      Refusal{"NewInUse", "E001", "E002", kExists, dlg::kNewEmpNum},
                      Refusal{"NewInUseOtherCase", "E001", " e002 ", kExists, dlg::kNewEmpNum}),
    [](const ::testing::TestParamInfo<Refusal>& row) { return std::string(row.param.name); });

TEST_F(EmpNumChangeTest, AnUnreadablePersonnelFileKeepsTheDialogWithItsOwnMessageOnly) {
    EmpNumChange change = form();
    ASSERT_TRUE(change.initEmpNumDlg(view));
    stores.readable = false;
    view.setText(dlg::kOldEmpNum, "E001");
    view.setText(dlg::kNewEmpNum, "E100");
    common::EMPNUMREC request;
    EXPECT_FALSE(change.closeEmpNumDlg(view, request));
    EXPECT_TRUE(ui.messages.empty()); // the store tells why
    EXPECT_EQ(view.focus(), dlg::kOldEmpNum);
}

TEST_F(EmpNumChangeTest, AcceptedNumbersFillTheRequest) {
    EmpNumChange change = form();
    ASSERT_TRUE(change.initEmpNumDlg(view));
    // Typed in lower case with blanks: the old number is the stored one, the
    // new one is kept as typed but for the blanks.
    view.setText(dlg::kOldEmpNum, " e001 ");
    view.setText(dlg::kNewEmpNum, " mh100 ");
    common::EMPNUMREC request;
    ASSERT_TRUE(change.closeEmpNumDlg(view, request));
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    EXPECT_EQ(request.oldEmpNum, "E001");
    EXPECT_EQ(request.newEmpNum, "mh100");
    EXPECT_EQ(request.payFreq, common::WEEKLY);
    EXPECT_EQ(stores.calls, (Calls{"checkFiles", "find e001", "find mh100"}));
}

TEST_F(EmpNumChangeTest, ANewNumberLongerThanAKeyIsCut) {
    EmpNumChange change = form();
    const std::optional<common::EMPNUMREC> request =
        change.checkNumbers("E002", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->newEmpNum, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(request->payFreq, common::MONTHLY);
}

TEST_F(EmpNumChangeTest, CancelChangesNothing) {
    EmpNumChange change = form();
    ASSERT_TRUE(change.initEmpNumDlg(view));
    view.setText(dlg::kOldEmpNum, "E001");
    change.cancelEmpNumDlg();
    EXPECT_EQ(stores.calls, Calls{"checkFiles"});
    EXPECT_TRUE(ui.messages.empty());
}

// The personnel file and the tables with it first, then every report store
// in its fixed order, each given the open organisation.
const Calls kEveryStore{"tables E001>E100 1",     "MONTHDB E001>E100 1", "ANNUALDB E001>E100 1",
                        "TAXREPDB E001>E100 1",   "YTDDB E001>E100 1",   "LEAVEREPDB E001>E100 1",
                        "STATICREPDB E001>E100 1"};

struct RunCase {
    const char* name;
    bool storesOk; // the report stores' answers do not matter
};

class EmpNumRunTest : public EmpNumChangeTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(EmpNumRunTest, AskedThenEveryFileInOrder) {
    stores.storesOk = GetParam().storesOk;
    EmpNumChange change = form();
    ASSERT_TRUE(change.initEmpNumDlg(view));
    view.setText(dlg::kOldEmpNum, "e001");
    view.setText(dlg::kNewEmpNum, "E100");
    common::EMPNUMREC request;
    ASSERT_TRUE(change.closeEmpNumDlg(view, request));
    stores.calls.clear();

    EXPECT_EQ(change.run(request), EmpNumStatus::Changed);
    EXPECT_EQ(stores.calls, kEveryStore);
    EXPECT_EQ(stores.orgs, std::vector<std::string>(6, "Kilimo Traders Ltd"));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "Are you sure you want to change the employee number for\nMushi, Neema from E001 "
              "to E100?");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(ui.messages[1].text, "The employee number has been changed.");
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Information);
    EXPECT_EQ(ui.messages[1].caption, "Kelo Roster");
    EXPECT_EQ(ui.waitCount, 1);
    EXPECT_EQ(ui.waitDepth, 0);
}

INSTANTIATE_TEST_SUITE_P(Stores, EmpNumRunTest,
                         ::testing::Values(RunCase{"StoresSucceed", true},
                                           RunCase{"StoresFail", false}),
                         [](const ::testing::TestParamInfo<RunCase>& row) {
                             return std::string(row.param.name);
                         });

TEST_F(EmpNumChangeTest, APersonnelFailureTouchesNoOtherStore) {
    stores.tablesOk = false;
    EXPECT_EQ(changeEmployeeNumber(ui, stores, org, "E001", "E100"), EmpNumStatus::NotChanged);
    EXPECT_EQ(stores.calls, (Calls{"find E001", "find E100", "tables E001>E100 1"}));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "The employee number has not been changed.");
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Information);
    EXPECT_EQ(ui.waitDepth, 0);
}

TEST_F(EmpNumChangeTest, NoToTheQuestionChangesNothing) {
    ui.answers = {Answer::No};
    EXPECT_EQ(changeEmployeeNumber(ui, stores, org, "E001", "E100"), EmpNumStatus::NotChanged);
    EXPECT_EQ(stores.calls, (Calls{"find E001", "find E100"}));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "The employee number has not been changed.");
    EXPECT_EQ(ui.waitCount, 0);
}

TEST_F(EmpNumChangeTest, TheWholeChangeWithoutADialog) {
    EXPECT_EQ(changeEmployeeNumber(ui, stores, org, "e001", "E100"), EmpNumStatus::Changed);
    Calls expected{"find e001", "find E100"};
    expected.insert(expected.end(), kEveryStore.begin(), kEveryStore.end());
    EXPECT_EQ(stores.calls, expected);
    EXPECT_EQ(ui.lastMessage(), "The employee number has been changed.");
}

} // namespace
} // namespace kelo::procedures
