#include "app/demo/DemoFolder.h"

#include "common/PayRecords.h"
#include "database/AbsenceDb.h"
#include "database/GradesDb.h"
#include "database/LeaveDb.h"
#include "database/OrgDb.h"
#include "database/PayFieldsFile.h"
#include "database/StaticDb.h"
#include "database/UsersDb.h"
#include "database/VarDb.h"
#include "engine/Code4.h"
#include "engine/Data4.h"
#include "paycalc/CalcFields.h"
#include "setup/DataFolderStart.h"
#include "setup/Users.h"
#include "staffrecords/PeriodUpdate.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace kelo::demo {
namespace {

namespace fs = std::filesystem;
using common::MessageIcon;
using testsupport::FakeDialogView;

struct Employee {
    common::STATICREC master;
    database::PERSONNELREC personnel;
};

// One demo folder for the whole suite: building it is the slow part.
class DemoFolderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<testsupport::TempDir>();
        buildUi_ = std::make_unique<testsupport::RecordingUi>();
        built_ = buildDemoFolder(*buildUi_, data(), KELO_SOURCE_FOLDER);
    }
    static void TearDownTestSuite() {
        buildUi_.reset();
        dir_.reset();
    }

    void SetUp() override {
        ASSERT_TRUE(built_) << buildUi_->lastMessage();
        folder = common::WorkingFolder(data());
        ASSERT_TRUE(setup::openDataFolder(ui, code, folder, KELO_SOURCE_FOLDER))
            << ui.lastMessage();
    }

    static std::string data() { return dir_->file("demo"); }

    void openOrganisation() { folder.moveTo(common::orgFolder(1)); }

    std::vector<Employee> employees() {
        openOrganisation();
        std::vector<Employee> all;
        database::STATDB staff(code, folder);
        EXPECT_TRUE(staff.openFile());
        if (!staff.isOpen())
            return all;
        staff.orderByEmpNum();
        engine::Data4& table = *staff.data();
        for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
            Employee e;
            staff.initRec(e.master);
            staff.initRec(e.personnel);
            all.push_back(e);
        }
        return all;
    }

    bool loginAs(setup::USERS& users, const std::string& name, const std::string& password) {
        FakeDialogView login;
        users.initLoginDlg(login);
        login.setText(setup::logindlg::UserName, name);
        login.setText(setup::logindlg::Password, password);
        bool passwordSet = false;
        return users.checkLogin(ui, login, passwordSet) && passwordSet;
    }

    static inline std::unique_ptr<testsupport::TempDir> dir_;
    static inline std::unique_ptr<testsupport::RecordingUi> buildUi_;
    static inline bool built_ = false;

    testsupport::RecordingUi ui;
    engine::Code4 code;
    common::WorkingFolder folder;
};

TEST_F(DemoFolderTest, IsBuiltWithoutAnErrorOrWarning) {
    for (const auto& message : buildUi_->messages) {
        EXPECT_NE(message.icon, MessageIcon::Error) << message.text;
        EXPECT_NE(message.icon, MessageIcon::Warning) << message.text;
    }
    // The new fiscal year's tables are announced, as in the program.
    ASSERT_EQ(buildUi_->messages.size(), 1u);
    EXPECT_NE(buildUi_->messages[0].text.find("2026/2027"), std::string::npos);
}

TEST_F(DemoFolderTest, HoldsOneOrganisationInNovember2026) {
    database::ORGDB orgs(code, folder);
    ASSERT_TRUE(orgs.openFile());
    EXPECT_EQ(orgs.orgCount(), 1);
    ASSERT_TRUE(orgs.findByName(kDemoOrganisation));
    common::ORGREC org;
    orgs.loadRec(org);
    EXPECT_EQ(org.month, kDemoMonth);
    EXPECT_EQ(org.year, kDemoYear);
    EXPECT_EQ(org.fiscalYear, 2026);
    EXPECT_EQ(org.town, "Mbeya");
    EXPECT_EQ(org.bankName, "CRDB Bank");
    EXPECT_EQ(org.branchName, "Mbeya");
    EXPECT_FALSE(org.itNum.empty());
    EXPECT_FALSE(org.nssfNum.empty());
    EXPECT_EQ(org.paySdl, 1);
    EXPECT_TRUE(database::isValid(code, folder, folder.statutoryFile(2026, "paye.dbf")));
}

TEST_F(DemoFolderTest, SupervisorLogsInWithTheDemoPasswordOnly) {
    setup::USERS users(code, folder);
    EXPECT_TRUE(loginAs(users, "supervisor", kDemoPassword));
    EXPECT_FALSE(loginAs(users, "supervisor", "kelo2025"));
    EXPECT_EQ(ui.lastMessage(), "Access denied.");
    EXPECT_FALSE(loginAs(users, "supervisor", ""));
}

TEST_F(DemoFolderTest, AshaAndJumaHaveTheirMenusAndRights) {
    setup::USERS users(code, folder);
    ASSERT_TRUE(loginAs(users, "asha", kDemoPassword));
    const common::USERREC& asha = *users.getUser();
    EXPECT_EQ(asha.lastName, "Mwinyi");
    EXPECT_EQ(asha.otherNames, "Asha");
    EXPECT_EQ(asha.menuType, common::kPersonnelMenu);
    EXPECT_EQ(asha.editEmpFiles, 1);
    EXPECT_EQ(asha.setupOrg, 1);
    EXPECT_EQ(asha.closePeriod, 0);

    ASSERT_TRUE(loginAs(users, "juma", kDemoPassword));
    const common::USERREC& juma = *users.getUser();
    EXPECT_EQ(juma.lastName, "Said");
    EXPECT_EQ(juma.menuType, common::kPayrollMenu);
    EXPECT_EQ(juma.editEmpFiles, 1);
    EXPECT_EQ(juma.modifyFields, 1);
    EXPECT_EQ(juma.closePeriod, 1);
    EXPECT_EQ(juma.modifyTaxTables, 1);
    EXPECT_EQ(juma.setupOrg, 0);
}

TEST_F(DemoFolderTest, FortyEmployeesOnEveryPayFrequency) {
    const std::vector<Employee> all = employees();
    EXPECT_EQ(all.size(), 40u);
    std::map<common::PAYFREQ, int> perFrequency;
    int paidByBank = 0;
    for (const Employee& e : all) {
        ++perFrequency[e.master.payFreq];
        paidByBank += e.master.payMethod == common::kPayByBankTransfer ? 1 : 0;
    }
    EXPECT_EQ(perFrequency[common::MONTHLY], 24);
    EXPECT_EQ(perFrequency[common::WEEKLY], 8);
    EXPECT_EQ(perFrequency[common::BIWEEKLY], 5);
    EXPECT_EQ(perFrequency[common::IRREGULAR], 3);
    EXPECT_GT(paidByBank, 20);
    EXPECT_LT(paidByBank, 40);
}

// What the master form would ask of each of them before saving.
TEST_F(DemoFolderTest, EveryEmployeePassesTheMasterFormChecks) {
    const std::vector<Employee> all = employees();
    database::GRADESDB grades(code, folder);
    ASSERT_TRUE(grades.openFile());
    for (const Employee& e : all) {
        SCOPED_TRACE(e.master.empNum);
        const common::STATICREC& m = e.master;
        EXPECT_FALSE(m.lastName.empty());
        EXPECT_FALSE(m.otherNames.empty());
        EXPECT_NE(m.station, 0);
        EXPECT_NE(e.personnel.unit, 0);
        EXPECT_NE(e.personnel.job, 0);
        if (m.payMethod == common::kPayByBankTransfer) {
            EXPECT_FALSE(m.bankName.empty());
            EXPECT_FALSE(m.branchName.empty());
            EXPECT_FALSE(m.accountNum.empty());
        }
        database::GRADEREC grade;
        ASSERT_TRUE(grades.getGradeRec(e.personnel.grade, grade));
        double monthly = m.salary;
        if (m.payBasis == common::kPayBasisDaily)
            monthly = m.dailyRate * m.hoursPerMonth / m.hoursPerDay;
        else if (m.payBasis == common::kPayBasisHourly)
            monthly = m.hourlyRate * m.hoursPerMonth;
        const auto f = static_cast<std::size_t>(m.payFreq);
        EXPECT_GE(monthly, grade.lowerLimit[f]);
        EXPECT_LE(monthly, grade.upperLimit[f]);
        if (m.overtimeEligible) {
            EXPECT_GT(m.normalOvertimeRate, 0);
        }
        EXPECT_FALSE(common::checkCoopSlots(m.coop1, m.coop2));
    }
}

TEST_F(DemoFolderTest, EveryEmployeeHasATransactionsRecordWithNetPay) {
    const std::vector<Employee> all = employees();
    for (common::PAYFREQ payFreq : common::kPayFreqs) {
        SCOPED_TRACE(std::string(common::payFreqLabel(payFreq)));
        common::PayItemDefs defs;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, payFreq, defs));
        database::VARDB table(code, folder);
        ASSERT_TRUE(table.setDefinitions(defs));
        ASSERT_TRUE(table.openFile(payFreq));
        table.orderByEmpNum1();
        long expected = 0;
        for (const Employee& e : all) {
            if (e.master.payFreq != payFreq)
                continue;
            ++expected;
            common::VARIATIONSREC rec;
            ASSERT_TRUE(table.seekEmpNum(e.master.empNum)) << e.master.empNum;
            ASSERT_TRUE(table.initRec(rec));
            EXPECT_EQ(rec.lastName, e.master.lastName);
            EXPECT_GT(rec.grossPay, 0) << e.master.empNum;
            EXPECT_GT(rec.netPay, 0) << e.master.empNum;
        }
        EXPECT_EQ(table.data()->recCount(), expected);
    }
}

TEST_F(DemoFolderTest, MonthlyPayItemsCarryTheKeyedLoansAndFunds) {
    openOrganisation();
    database::PayFieldTables tables;
    ASSERT_TRUE(database::readPayFields(ui, folder, common::MONTHLY, tables));
    std::vector<std::string> deductions;
    for (const common::PayItemDef& def : tables[common::DEDUCTIONS])
        deductions.push_back(def.itemName);
    for (const char* name : {"Staff Loan", "Salary Advance", "Staff Savings Scheme",
                             "Tea Workers SACCOS", "PSSSF Contribution", "NSSF Supplementary"})
        EXPECT_NE(std::find(deductions.begin(), deductions.end(), name), deductions.end()) << name;
    EXPECT_EQ(tables[common::EARNINGS].at(2).itemName, "Housing Allowance");

    common::PayItemDefs defs;
    ASSERT_TRUE(database::payItemDefsOf(tables, defs));
    database::VARDB table(code, folder);
    ASSERT_TRUE(table.setDefinitions(defs));
    ASSERT_TRUE(table.openFile(common::MONTHLY));
    common::VARIATIONSREC rec;
    ASSERT_TRUE(table.seekEmpNum("MH003"));
    ASSERT_TRUE(table.initRec(rec));
    const auto loan = std::find_if(rec.deductions.begin(), rec.deductions.end(), [](auto& item) {
        return item.definition->itemName == "Staff Loan";
    });
    ASSERT_NE(loan, rec.deductions.end());
    EXPECT_EQ(loan->active, 1);
    const auto& params = std::get<common::LoanParams>(loan->params);
    EXPECT_EQ(params.balance, 3000000);
    EXPECT_EQ(params.paymentsLeft, 24);
    EXPECT_EQ(loan->amount, staffrecords::amortisedInstalment(3000000, 10, 24));
    const auto pension = std::find_if(rec.deductions.begin(), rec.deductions.end(), [](auto& item) {
        return item.definition->itemName == "PSSSF Contribution";
    });
    ASSERT_NE(pension, rec.deductions.end());
    EXPECT_EQ(pension->active, 1);
    EXPECT_EQ(std::get<common::PensionParams>(pension->params).employeeBalance, 3840000);

    // The pay engine takes the record as it stands.
    database::ORGDB orgs(code, folder);
    common::ORGREC org;
    ASSERT_TRUE(orgs.openFile() && orgs.findByName(kDemoOrganisation));
    orgs.loadRec(org);
    paycalc::CALCFIELDS calc(code, folder);
    ASSERT_EQ(calc.checkCalcFiles(org), 1);
    ASSERT_TRUE(calc.initCalcFields(*buildUi_, org));
    calc.computeFields(rec);
    EXPECT_EQ(pension->amount, 160000); // 5 % of 3,200,000
    EXPECT_EQ(std::get<common::PensionParams>(pension->params).employerContribution, 480000);
    EXPECT_GT(rec.netPay, 0);
}

std::string listing(const std::string& folder) {
    std::ostringstream out;
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        if (entry.is_regular_file())
            bytes << in.rdbuf();
        entries.push_back(entry.path().string() + "=" + bytes.str());
    }
    std::sort(entries.begin(), entries.end());
    for (const std::string& e : entries)
        out << e << '\n';
    return out.str();
}

TEST(DemoFolderRefusal, ANonEmptyFolderIsRefusedAndLeftAsItWas) {
    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    fs::create_directories(dir.file("data/mine"));
    std::ofstream(dir.file("data/notes.txt")) << "keep me\n";
    const std::string before = listing(dir.file("data"));
    EXPECT_FALSE(buildDemoFolder(ui, dir.file("data"), KELO_SOURCE_FOLDER));
    EXPECT_EQ(ui.lastMessage(), "Folder " + dir.file("data") + " is not empty");
    EXPECT_EQ(listing(dir.file("data")), before);
}

TEST(DemoFolderRefusal, AFailedBuildLeavesNothingBehind) {
    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    EXPECT_FALSE(buildDemoFolder(ui, dir.file("demo"), dir.file("no-such-source")));
    EXPECT_FALSE(ui.messages.empty());
    EXPECT_FALSE(fs::exists(dir.file("demo")));

    fs::create_directories(dir.file("empty"));
    EXPECT_FALSE(buildDemoFolder(ui, dir.file("empty"), dir.file("no-such-source")));
    EXPECT_TRUE(fs::is_directory(dir.file("empty")));
    EXPECT_TRUE(fs::is_empty(dir.file("empty")));
}

TEST(DemoFolderRefusal, ARelativeFolderIsRefused) {
    testsupport::RecordingUi ui;
    EXPECT_FALSE(buildDemoFolder(ui, "demo", KELO_SOURCE_FOLDER));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(fs::exists("demo"));
}

} // namespace
} // namespace kelo::demo

namespace kelo::demo {
namespace {

TEST_F(DemoFolderTest, AbsencesBookingsAndLeaveEventsAreKeyed) {
    openOrganisation();
    database::ABSENCEDB absences(code, folder, ui);
    database::LEAVEDB leave(code, folder, ui);
    std::vector<database::ABSENCEROW> rows;
    ASSERT_TRUE(absences.readRows("MH002", false, rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].reason, "Annual Leave");
    EXPECT_EQ(rows[0].days, 10);
    ASSERT_TRUE(absences.readRows("MH001", true, rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].fromDate, (common::date{2026, 14, 12}));
    // Balance B/F of 1 January, leave earned to October, leave sold.
    std::vector<database::LEAVEROW> events;
    ASSERT_TRUE(leave.readRows("MH002", events));
    ASSERT_EQ(events.size(), 3u);
    database::LEAVEREC account;
    account.empNum = "MH002";
    ASSERT_TRUE(leave.readAccount(account));
    ASSERT_TRUE(absences.readAccount(account));
    // 23.33 earned - 3 sold - 10 taken.
    EXPECT_NEAR(account.balance(), 10.33, 0.001);
    EXPECT_EQ(ui.messages.size(), 0u);
}

} // namespace
} // namespace kelo::demo
