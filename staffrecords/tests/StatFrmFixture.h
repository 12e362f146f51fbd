#pragma once

#include "StaffFixture.h"
#include "database/AbsenceDb.h"
#include "database/BanksDb.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/LeaveDb.h"
#include "database/PayGroupDb.h"
#include "database/PostsDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "staffrecords/StatFrm.h"
#include "staffrecords/StatFrmControls.h"
#include "staffrecords/VarDbEx.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/FakeDialogView.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kelo::staffrecords::testing {

// Codes of the fixture's lookup lists.
inline constexpr long kHeadOffice = 1, kFinance = 2;         // units, Finance under Head Office
inline constexpr long kGradeA = 1, kGradeB = 2, kGradeC = 3; // ranks 1, 2, 3
inline constexpr long kManager = 1, kAccountant = 2, kClerk = 3;
inline constexpr long kDarStation = 1, kMbeyaStation = 2;
// From StaffFixture: co-operatives 1 "Walimu SACCOS", 2 "Afya SACCOS";
// pension funds 1 "NSSF Supplementary", 2 "PSSSF".

constexpr common::date ymd(int year, int month, int day) {
    return common::date{year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
}

// An employee master row as stored.
struct Employee {
    common::STATICREC rec;
    database::PERSONNELREC personnel;
};

inline std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Another user: a child process with an engine handle of its own that holds
// a lock on a table until released, so that the test process meets the lock
// as it would meet another workstation's.
class LockHolder {
public:
    LockHolder() = default;
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    ~LockHolder() { release(); }

    // Locks record `recNo` of the table at `path`, or the whole table for 0;
    // true once the child holds the lock.
    bool hold(const std::string& path, long recNo) {
        int ready[2];
        int go[2];
        if (::pipe(ready) != 0)
            return false;
        if (::pipe(go) != 0) {
            ::close(ready[0]);
            ::close(ready[1]);
            return false;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(go[1]);
            engine::Code4 other;
            auto table = engine::Data4::open(other, path);
            const bool locked =
                table && (recNo > 0 ? table->lock(recNo) : table->lockAll()) == engine::r4success;
            const char answer = locked ? '1' : '0';
            if (::write(ready[1], &answer, 1) != 1)
                ::_exit(2);
            char wait = 0;
            while (::read(go[0], &wait, 1) > 0) {
            }
            ::_exit(locked ? 0 : 1);
        }
        ::close(ready[1]);
        ::close(go[0]);
        release_ = go[1];
        char answer = '0';
        const bool told = ::read(ready[0], &answer, 1) == 1;
        ::close(ready[0]);
        if (pid_ < 0 || !told || answer != '1') {
            release();
            return false;
        }
        return true;
    }

    void release() {
        if (release_ >= 0) {
            ::close(release_);
            release_ = -1;
        }
        if (pid_ > 0) {
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
};

// An organisation with everything the employee master form needs: units,
// grades, jobs, posts, stations, pay groups, co-operatives, pension funds,
// banks and branches, the four payrolls, the absence and leave tables, and
// three employees, each with a transactions record, a leave account and an
// absence:
// - MH001 Mwakyusa, manager in Head Office (grade A), monthly, bank transfer;
// - MH002 Banda, accountant in Finance (grade B), monthly, cash, overtime,
//   housed, in a co-operative and a pension fund, supervised by MH001;
// - MH003 Kileo, clerk in Finance (grade C), weekly, cash.
// The posts hold one vacancy: a second accountant in Finance.
struct StatFrmFixture : StaffFixture {
    testsupport::FakeDialogView page;
    testsupport::FakeDialogView dlg;
    std::unique_ptr<STATFRM> form;

    void SetUp() override {
        StaffFixture::SetUp();
        if (HasFatalFailure())
            return;
        org.year = 2025;
        org.formSortKey = common::kSortByEmpNum;
        addLists();
        if (HasFatalFailure())
            return;
        for (const Employee& e : {mwakyusa(), banda(), kileo()}) {
            enrol(e);
            if (HasFatalFailure())
                return;
        }
        ui.clear();
        form = std::make_unique<STATFRM>(ui, code, folder);
    }

    void TearDown() override { form.reset(); }

    static Employee mwakyusa() {
        Employee e;
        common::STATICREC& r = e.rec;
        r.empNum = "MH001";
        r.idNum = "19680314-53101";
        r.lastName = "Mwakyusa";
        r.otherNames = "Emmanuel Joseph";
        r.title = "Mr.";
        r.gender = "Male";
        r.maritalStatus = "Married";
        r.nationality = "Tanzanian";
        r.station = kDarStation;
        r.startDate = ymd(2009, 7, 1);
        r.leaveEntitlement = 28;
        r.office = "Head Office";
        r.mobile = "0754 210 337";
        r.town = "Mbeya";
        r.payFreq = common::MONTHLY;
        r.payMethod = common::kPayByBankTransfer;
        r.bankName = "CRDB Bank";
        r.branchName = "Mbeya";
        r.accountNum = "0152000001";
        r.salary = 3000000;
        r.hoursPerDay = 8;
        r.hoursPerMonth = 195;
        r.payeApplies = 1;
        r.nssfMember = 1;
        e.personnel.birthDate = ymd(1968, 3, 14);
        e.personnel.unit = kHeadOffice;
        e.personnel.job = kManager;
        e.personnel.grade = kGradeA;
        e.personnel.payGroup = 1;
        return e;
    }

    static Employee banda() {
        Employee e;
        common::STATICREC& r = e.rec;
        r.empNum = "MH002";
        r.lastName = "Banda";
        r.otherNames = "Grace Anyelwisye";
        r.title = "Mrs.";
        r.gender = "Female";
        r.station = kMbeyaStation;
        r.startDate = ymd(2015, 6, 1);
        r.leaveEntitlement = 28;
        r.office = "Finance Block";
        r.mobile = "0765 111 222";
        r.payFreq = common::MONTHLY;
        r.payMethod = common::kPayByCash;
        r.salary = 450000;
        r.hoursPerDay = 8;
        r.hoursPerMonth = 195;
        r.overtimeEligible = 1;
        // 450,000 / 195 = 2,307.6923 an hour: x 1.5 = 3,461.54, x 2 = 4,615.38.
        r.normalOvertimeRate = 3461.54;
        r.doubleOvertimeRate = 4615.38;
        r.housed = 1;
        r.housingValue = 300000;
        r.housingExpense = 120000;
        r.rent = 20000;
        r.payeApplies = 1;
        r.useTopTaxRate = 1;
        r.nssfMember = 1;
        r.coop1 = 1;
        r.pensionFund1 = 2;
        e.personnel.birthDate = ymd(1985, 2, 11);
        e.personnel.unit = kFinance;
        e.personnel.job = kAccountant;
        e.personnel.grade = kGradeB;
        e.personnel.payGroup = 2;
        e.personnel.supervisor = "MH001";
        e.personnel.coopMemberNum = {"W-100", ""};
        e.personnel.pensionMemberNum = {"P-200", ""};
        return e;
    }

    static Employee kileo() {
        Employee e;
        common::STATICREC& r = e.rec;
        r.empNum = "MH003";
        r.lastName = "Kileo";
        r.otherNames = "Ali Hassan";
        r.title = "Mr.";
        r.gender = "Male";
        r.station = kMbeyaStation;
        r.startDate = ymd(2020, 1, 6);
        r.leaveEntitlement = 21;
        r.mobile = "0713 400 500";
        r.payFreq = common::WEEKLY;
        r.payMethod = common::kPayByCash;
        r.salary = 60000;
        r.hoursPerDay = 8;
        r.hoursPerMonth = 195;
        r.nssfMember = 1;
        e.personnel.unit = kFinance;
        e.personnel.job = kClerk;
        e.personnel.grade = kGradeC;
        e.personnel.payGroup = 2;
        e.personnel.supervisor = "MH002";
        return e;
    }

    // A table's own append under the next free code, for the lists that have
    // no append of their own.
    template <class Table> struct ListTable : Table {
        using Table::Table;
        long add(std::string_view name) {
            return this->appendWithNextCode([&] { this->field(this->nameColumn()).assign(name); });
        }
    };

    void addLists() {
        database::UNITSDB units(code, folder);
        ASSERT_TRUE(units.createFile(ui));
        ASSERT_TRUE(units.openFile());
        database::UNITREC head{0, "Head Office", 0};
        ASSERT_TRUE(units.appendRecord(head));
        database::UNITREC finance{0, "Finance", head.code};
        ASSERT_TRUE(units.appendRecord(finance));
        ASSERT_EQ(head.code, kHeadOffice);
        ASSERT_EQ(finance.code, kFinance);
        units.closeFile();

        database::GRADESDB grades(code, folder);
        ASSERT_TRUE(grades.createFile(ui));
        ASSERT_TRUE(grades.openFile());
        // Limits by frequency: monthly, weekly, biweekly, irregular.
        addGrade(grades, "Grade A", 1, {2000000, 450000, 900000, 2000000},
                 {5000000, 1200000, 2400000, 5000000});
        addGrade(grades, "Grade B", 2, {300000, 70000, 140000, 300000},
                 {650000, 150000, 300000, 650000});
        addGrade(grades, "Grade C", 3, {150000, 40000, 80000, 150000},
                 {350000, 90000, 180000, 350000});
        grades.closeFile();

        database::JOBSDB jobs(code, folder);
        ASSERT_TRUE(jobs.createFile(ui));
        ASSERT_TRUE(jobs.openFile());
        for (const auto& [title, grade] : std::vector<std::pair<const char*, long>>{
                 {"Manager", kGradeA}, {"Accountant", kGradeB}, {"Clerk", kGradeC}}) {
            database::JOBREC job{0, title, grade, ""};
            ASSERT_TRUE(jobs.appendRecord(job));
        }
        jobs.closeFile();

        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.createFile(ui));
        ASSERT_TRUE(posts.openFile());
        ASSERT_TRUE(posts.appendRecord({kHeadOffice, kManager, {1, 0, 0, 0}}));
        ASSERT_TRUE(posts.appendRecord({kFinance, kAccountant, {2, 0, 0, 0}}));
        ASSERT_TRUE(posts.appendRecord({kFinance, kClerk, {1, 0, 0, 0}}));
        posts.closeFile();

        ListTable<database::STATIONSDB> stations(code, folder);
        ASSERT_TRUE(stations.createFile(ui));
        ASSERT_TRUE(stations.openFile(true));
        ASSERT_EQ(stations.add("Dar es Salaam"), kDarStation);
        ASSERT_EQ(stations.add("Mbeya"), kMbeyaStation);
        stations.closeFile();

        ListTable<database::PAYGROUPDB> payGroups(code, folder);
        ASSERT_TRUE(payGroups.createFile(ui));
        ASSERT_TRUE(payGroups.openFile(true));
        ASSERT_EQ(payGroups.add("Management"), 1);
        ASSERT_EQ(payGroups.add("Office Staff"), 2);
        payGroups.closeFile();

        database::BANKSDB banks(code, folder);
        ASSERT_TRUE(banks.newBankFile(ui));
        ASSERT_TRUE(banks.newBranchFile(ui));
        ASSERT_TRUE(banks.openFiles());
        addRow(*banks.bankData(), {{"NAME", "CRDB Bank"}, {"CODE", "03"}});
        addRow(*banks.bankData(), {{"NAME", "NMB Bank"}, {"CODE", "12"}});
        addRow(*banks.branchData(), {{"BANK", "CRDB Bank"}, {"NAME", "Mbeya"}, {"CODE", "101"}});
        addRow(*banks.branchData(), {{"BANK", "CRDB Bank"}, {"NAME", "Tukuyu"}, {"CODE", "102"}});
        addRow(*banks.branchData(), {{"BANK", "NMB Bank"}, {"NAME", "Mbeya"}, {"CODE", "201"}});
        banks.closeFiles();

        ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).createFile(ui));
        ASSERT_TRUE(database::LEAVEDB(code, folder, ui).createFile(ui));
    }

    void addGrade(database::GRADESDB& grades, const char* name, int rank,
                  std::array<double, common::kPayFreqCount> lowest,
                  std::array<double, common::kPayFreqCount> highest) {
        database::GRADEREC grade;
        grade.name = name;
        grade.rank = rank;
        grade.lowerLimit = lowest;
        grade.upperLimit = highest;
        ASSERT_TRUE(grades.appendRecord(grade));
    }

    static void addRow(engine::Data4& d, std::vector<std::pair<const char*, const char*>> columns) {
        ASSERT_EQ(d.appendStart(), engine::r4success);
        d.blank();
        for (const auto& [column, value] : columns)
            d.field(column)->assign(value);
        ASSERT_EQ(d.append(), engine::r4success);
    }

    // The employee in the personnel file, with his transactions record,
    // leave account and one absence.
    void enrol(const Employee& e) {
        store(e, true);
        if (HasFatalFailure())
            return;
        testsupport::RecordingUi owner;
        VARDBEX transactions(owner, code, folder);
        ASSERT_TRUE(transactions.appendNewRec(ui, e.rec));
        ASSERT_TRUE(database::LEAVEDB(code, folder, ui).addEmployee(e.rec, org.year));
        database::ABSENCEROW sick;
        sick.fromDate = ymd(2025, 2, 3);
        sick.toDate = ymd(2025, 2, 4);
        sick.days = 2;
        sick.reason = "Sick Leave";
        ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).appendRec(e.rec.empNum, sick, false));
    }

    // Writes the row as this process, or appends it.
    void store(const Employee& e, bool newRecord = false) {
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.openFile());
        staff.orderByEmpNum();
        if (!newRecord) {
            ASSERT_TRUE(staff.seekEmpNum(e.rec.empNum));
        }
        ASSERT_TRUE(staff.updateFields(e.rec, e.personnel, newRecord));
        staff.closeFile();
    }

    // Changes the stored row as this process.
    void change(const std::string& empNum, const std::function<void(Employee&)>& edit) {
        std::optional<Employee> e = stored(empNum);
        ASSERT_TRUE(e);
        edit(*e);
        store(*e);
    }

    // Changes the stored row as another user: a process of its own.
    void changeAsOtherUser(const std::string& empNum, const std::function<void(Employee&)>& edit) {
        const int status = testsupport::runInChild([&] {
            engine::Code4 other;
            database::STATDB staff(other, folder);
            if (!staff.openFile())
                return 1;
            staff.orderByEmpNum();
            Employee e;
            if (!staff.seekEmpNum(empNum) || !staff.initRec(e.rec) || !staff.initRec(e.personnel))
                return 2;
            edit(e);
            return staff.updateFields(e.rec, e.personnel, false) ? 0 : 3;
        });
        ASSERT_EQ(status, 0);
    }

    // The row as stored, read with a table of its own.
    std::optional<Employee> stored(const std::string& empNum) {
        database::STATDB staff(code, folder);
        if (!staff.openFile())
            return std::nullopt;
        staff.orderByEmpNum();
        Employee e;
        if (!staff.seekEmpNum(empNum) || !staff.initRec(e.rec) || !staff.initRec(e.personnel))
            return std::nullopt;
        return e;
    }

    long employeeCount() {
        database::STATDB staff(code, folder);
        if (!staff.openFile())
            return -1;
        long count = 0;
        engine::Data4& d = *staff.data();
        for (int rc = d.top(); rc == engine::r4success && !d.eof(); rc = d.skip())
            count += d.deleted() ? 0 : 1;
        return count;
    }

    bool hasTransactions(const std::string& empNum, common::PAYFREQ payFreq) {
        database::VARDB table(code, folder);
        if (!table.openFile(payFreq))
            return false;
        table.orderByEmpNum1();
        return table.seekEmpNum(empNum) && !table.data()->deleted();
    }

    std::size_t absenceRows(const std::string& empNum) {
        std::vector<database::ABSENCEROW> rows;
        EXPECT_TRUE(database::ABSENCEDB(code, folder, ui).readRows(empNum, false, rows));
        return rows.size();
    }

    std::size_t leaveRows(const std::string& empNum) {
        std::vector<database::LEAVEROW> rows;
        EXPECT_TRUE(database::LEAVEDB(code, folder, ui).readRows(empNum, rows));
        return rows.size();
    }

    std::string personnelPath() const { return folder.resolve(database::STATDB::kPath); }

    // The personnel file's bytes, to show that nothing was written.
    std::string personnelBytes() const { return bytesOf(personnelPath()); }

    void openForm(DB db = PERSONNEL_FILE) {
        ASSERT_TRUE(form->checkFiles(db)) << ui.lastMessage();
        ASSERT_TRUE(form->open(db, org)) << ui.lastMessage();
        ASSERT_TRUE(form->hasRecord());
    }

    // As the window closes: the form saves, then lets the page go.
    void closeForm() {
        ASSERT_TRUE(form->close()) << ui.lastMessage();
        form->clearPage();
    }

    // The window's page switch: the page is shown and filled.
    void show(STATPAGE number) {
        page = testsupport::FakeDialogView();
        form->setPage(page, number);
        form->displayPage();
    }

    void moveTo(const std::string& empNum) {
        ASSERT_TRUE(form->findEmpNum(empNum)) << ui.lastMessage();
        ASSERT_EQ(form->getCurrentRec().empNum, empNum);
    }

    // Exactly one message was shown, with this text and the program's
    // caption; the record of messages is cleared.
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

// Choosing in a list the way a user does: the row is selected and, as in a
// drop-down list, its text becomes the control's text. Rows are found by
// their code when the list gives each a code of its own, else by position.
inline void choose(testsupport::FakeDialogView& view, const char* control, long value) {
    int row = -1;
    int matches = 0;
    for (int i = 0; i < view.itemCount(control); ++i) {
        if (view.itemCode(control, i) == value) {
            row = i;
            ++matches;
        }
    }
    if (matches != 1)
        row = value >= 0 && value < view.itemCount(control) ? static_cast<int>(value) : -1;
    ASSERT_GE(row, 0) << control << " has no row for " << value;
    view.selectRow(control, row);
    view.setText(control, view.itemText(control, row));
}

// Leaves a list without a choice: its "none" row (code 0) when it has one.
inline void chooseNone(testsupport::FakeDialogView& view, const char* control) {
    for (int i = 0; i < view.itemCount(control); ++i) {
        if (view.itemCode(control, i) == 0) {
            view.selectRow(control, i);
            view.setText(control, view.itemText(control, i));
            return;
        }
    }
    view.selectRow(control, -1);
    view.setText(control, "");
}

// What a list shows: its selected row, or its text.
inline std::string shown(const testsupport::FakeDialogView& view, const char* control) {
    const int row = view.selectedRow(control);
    return row >= 0 ? view.itemText(control, row) : view.text(control);
}

// The pay basis radio buttons.
inline void payBasis(testsupport::FakeDialogView& view, int basis) {
    view.setChecked(statfrm::kBySalary, basis == common::kPayBasisSalary);
    view.setChecked(statfrm::kByDailyRate, basis == common::kPayBasisDaily);
    view.setChecked(statfrm::kByHourlyRate, basis == common::kPayBasisHourly);
}

// The tree item with this code, searched below `parent`; kRoot when none.
inline common::DialogView::TreeItem
findTreeItem(const testsupport::FakeDialogView& view, const char* control, long code,
             common::DialogView::TreeItem parent = common::DialogView::kRoot) {
    for (auto item : view.treeChildren(control, parent)) {
        if (view.treeItemCode(control, item) == code)
            return item;
        if (auto below = findTreeItem(view, control, code, item))
            return below;
    }
    return common::DialogView::kRoot;
}

inline std::string blank(const std::string& field) {
    return "The " + field + " must not be blank. Please enter a value.";
}

inline std::string invalid(const std::string& field) {
    return "This is not a valid value for the " + field + ".";
}

inline std::string bankBlank(const std::string& field) {
    return "For bank transfer, the \"" + field +
           "\" field must not be blank. Please enter a value for this field.";
}

} // namespace kelo::staffrecords::testing
