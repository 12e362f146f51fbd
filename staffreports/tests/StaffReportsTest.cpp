#include "staffreports/StaffReports.h"

#include "StaffReportsFixture.h"
#include "common/DateText.h"
#include "staffreports/MasterReport.h"
#include "staffreports/PersonnelLists.h"
#include "testsupport/RecordingCanvas.h"

namespace kelo::staffreports::testing {
namespace {

struct StaffReportsTest : StaffReportsFixture {
    common::REPORTPARAM param(std::int32_t reportType) {
        common::REPORTPARAM p = common::newReportParam(reportType, org, {2025, 8, 3});
        return p;
    }

    std::unique_ptr<common::REPORTBASE> prepare(const common::REPORTPARAM& p) {
        return prepareStaffReport(ui, owner, code, folder, p, org);
    }

    template <class Report> std::vector<std::string> numbersOf(const common::REPORTBASE& report) {
        std::vector<std::string> numbers;
        for (const PERSREPREC& rec : dynamic_cast<const Report&>(report).records())
            numbers.push_back(rec.empNum);
        return numbers;
    }
};

using Numbers = std::vector<std::string>;

TEST_F(StaffReportsTest, TheNominalRollExportsItsLinesInEmployeeNumberOrder) {
    const auto report = prepare(param(common::kReportEmployees));
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->caption(), "Employees Roll");
    EXPECT_EQ(report->orientation(), common::Orientation::Landscape);
    EXPECT_EQ(report->pageCount(), 1);
    // The active file was missing and has been written.
    EXPECT_TRUE(std::filesystem::exists(resolved("2025/active.dbf")));
    expectGolden("emplist.txt", *report->exportText());
}

TEST_F(StaffReportsTest, TheRollByNameOrdersLastNamesDifferingInCaseByOtherNames) {
    setOption(common::kReportEmployees, 1);
    const auto report = prepare(param(common::kReportEmployees));
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(numbersOf<EMPLIST>(*report), (Numbers{"E003", "E002", "E004", "E001", "E005"}));
    const auto& list = dynamic_cast<const EMPLIST&>(*report);
    EXPECT_EQ(list.records().front().seqNum, 1);
    EXPECT_EQ(list.records().back().seqNum, 5);
}

TEST_F(StaffReportsTest, AUnitTakesItsOwnEmployeesAndThoseOfEveryUnitBelowIt) {
    struct Case {
        std::int32_t groupBy;
        std::string name;
        Numbers kept;
    };
    const std::vector<Case> cases{
        {common::kGroupByUnit, "Finance", {"E002", "E003", "E004", "E005"}},
        {common::kGroupByUnit, "STORES", {"E003", "E004"}},
        {common::kGroupByUnit, "Head Office", {"E001", "E002", "E003", "E004", "E005"}},
        {common::kGroupByStation, "Mbeya", {"E003", "E004"}},
        {common::kGroupByStation, "mbeya", {}},
        {common::kGroupByPayGroup, "Office Staff", {"E001", "E002", "E003", "E004", "E005"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        common::REPORTPARAM p = param(common::kReportEmployees);
        common::setGroup(p, c.groupBy, c.name);
        ui.clear();
        const auto report = prepare(p);
        if (c.kept.empty()) {
            EXPECT_FALSE(report);
            EXPECT_EQ(ui.lastMessage(), "Sorry, report has no records\nand will not be printed.");
            continue;
        }
        ASSERT_TRUE(report) << ui.lastMessage();
        EXPECT_EQ(numbersOf<EMPLIST>(*report), c.kept);
    }
}

TEST_F(StaffReportsTest, TheLengthOfServiceCountsWholeYearsByMonth) {
    const auto report = prepare(param(common::kReportLengthOfService));
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->caption(), "Length of Service Report");
    expectGolden("servicerep.txt", *report->exportText());
}

TEST_F(StaffReportsTest, YearsAreCompleteFromTheMonthOfTheAnniversary) {
    struct Case {
        common::date from;
        int month, year;
        std::optional<int> years;
    };
    const std::vector<Case> cases{
        // Born on a leap day: a year complete in February, leap year or not.
        {{1972, 29, 2}, 2, 2025, 53},
        {{1972, 29, 2}, 1, 2025, 52},
        {{1972, 29, 2}, 2, 2024, 52},
        {{2000, 29, 2}, 2, 2004, 4},
        {{2000, 1, 3}, 2, 2004, 3},
        {{2024, 28, 2}, 3, 2025, 1},
        {{2024, 28, 2}, 2, 2025, 1},
        {{2024, 28, 2}, 1, 2025, 0},
        {{1988, 0, 0}, 1, 2025, 37},
        {{2025, 1, 3}, 3, 2025, 0},
        {{2025, 1, 4}, 3, 2025, std::nullopt},
        {{2026, 1, 1}, 3, 2025, std::nullopt},
        {{}, 3, 2025, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(common::formatDate(c.from) + " at " + std::to_string(c.month) + "/" +
                     std::to_string(c.year));
        EXPECT_EQ(yearsAt(c.from, c.month, c.year), c.years);
    }
}

TEST_F(StaffReportsTest, TheHierarchyShowsEachSupervisorBeforeHisSubordinatesByName) {
    const auto report = prepare(param(common::kReportHierarchy));
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(report->caption(), "Employee Hierarchy Report");
    const auto& hierarchy = dynamic_cast<const HIERARCHY&>(*report);
    std::vector<int> depths;
    for (const PERSREPREC& rec : hierarchy.records())
        depths.push_back(rec.depth);
    EXPECT_EQ(numbersOf<HIERARCHY>(*report), (Numbers{"E001", "E002", "E003", "E004", "E005"}));
    EXPECT_EQ(depths, (std::vector<int>{0, 1, 2, 2, 1}));
    expectGolden("hierarchy.txt", *report->exportText());
}

TEST_F(StaffReportsTest, ALoopOfSupervisorsIsToldAndBrokenSoEveryoneShowsOnce) {
    change("E001", [](common::STATICREC&, database::PERSONNELREC& p) { p.supervisor = "E005"; });
    const auto report = prepare(param(common::kReportHierarchy));
    ASSERT_TRUE(report);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(), "There is a cyclic reference in the supervisors of Mushi, Anna. "
                                "Please check the Personnel file then try again.");
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Error);
    // Mushi comes before Salim by name, so the loop is broken above her.
    EXPECT_EQ(numbersOf<HIERARCHY>(*report), (Numbers{"E001", "E002", "E003", "E004", "E005"}));
}

PERSREPREC person(std::string empNum, std::string lastName, std::string supervisor) {
    PERSREPREC rec;
    rec.empNum = std::move(empNum);
    rec.lastName = std::move(lastName);
    rec.supervisorNum = std::move(supervisor);
    return rec;
}

TEST(ArrangeHierarchy, ChainsTreesAndLoopsAreArrangedOnce) {
    struct Case {
        const char* what;
        std::vector<PERSREPREC> records;
        Numbers order;
        std::vector<int> depths;
        std::vector<std::string> loops;
    };
    const std::vector<Case> cases{
        {"nobody", {}, {}, {}, {}},
        {"a chain listed bottom up",
         {person("C", "C", "B"), person("B", "B", "A"), person("A", "A", "")},
         {"A", "B", "C"},
         {0, 1, 2},
         {}},
        {"two trees",
         {person("A", "A", ""), person("X", "X", ""), person("B", "B", "X"), person("C", "C", "A")},
         {"A", "C", "X", "B"},
         {0, 1, 0, 1},
         {}},
        {"a supervisor outside the list",
         {person("A", "A", "Z"), person("B", "B", "a")},
         {"A", "B"},
         {0, 1},
         {}},
        {"oneself", {person("A", "A", "A"), person("B", "B", "A")}, {"A", "B"}, {0, 1}, {"A"}},
        {"two naming each other",
         {person("B", "B", "A"), person("A", "A", "B"), person("C", "C", "A")},
         {"B", "A", "C"},
         {0, 1, 2},
         {"B"}},
        {"a loop of three reached from outside it",
         {person("D", "D", "A"), person("A", "A", "B"), person("B", "B", "C"),
          person("C", "C", "A")},
         {"A", "D", "C", "B"},
         {0, 1, 1, 2},
         {"A"}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<SupervisorLoop> loops = arrangeHierarchy(c.records);
        Numbers order;
        std::vector<int> depths;
        int number = 0;
        for (const PERSREPREC& rec : c.records) {
            order.push_back(rec.empNum);
            depths.push_back(rec.depth);
            EXPECT_EQ(rec.seqNum, ++number);
        }
        EXPECT_EQ(order, c.order);
        EXPECT_EQ(depths, c.depths);
        std::vector<std::string> broken;
        for (const SupervisorLoop& loop : loops)
            broken.push_back(loop.lastName);
        EXPECT_EQ(broken, c.loops);
    }
}

TEST_F(StaffReportsTest, AChainOfTenThousandIsArrangedWithoutRecursion) {
    std::vector<PERSREPREC> records;
    for (int i = 0; i < 10000; ++i)
        records.push_back(person("N" + std::to_string(i), "L",
                                 i == 0 ? std::string() : "N" + std::to_string(i - 1)));
    std::reverse(records.begin(), records.end());
    EXPECT_TRUE(arrangeHierarchy(records).empty());
    EXPECT_EQ(records.front().empNum, "N0");
    EXPECT_EQ(records.back().depth, 9999);
}

TEST_F(StaffReportsTest, LeaversReportsReadTheFormerEmployeesFile) {
    // No former employees file yet for the year.
    auto report = prepare(param(common::kReportLeavers));
    EXPECT_FALSE(report);
    EXPECT_EQ(ui.lastMessage(), "Can't find \"" + resolved("2025/leavers.dbf") + "\"");
    terminate("E005", {2025, 14, 3}, "Resignation");
    terminate("E003", {2025, 31, 3}, "End of Contract");
    monthEnd("March");
    org.month = "March";
    ui.clear();
    report = prepare(param(common::kReportLeavers));
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->caption(), "Leavers Roll");
    const std::vector<std::string> lines = linesOf(*report->exportText());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "Leavers Roll for 2025 - All Units\t");
    EXPECT_EQ(lines[3], "\tEmployee Number\tName\tJob Title\tAdministrative Unit\tDate Left\t"
                        "Reason for Leaving\t");
    EXPECT_EQ(lines[4], "1.\tE003\tbanda, Alice\tClerk\tStores\t31 Mar 2025\tEnd of Contract\t");
    EXPECT_EQ(lines[5], "2.\tE005\tSalim, Rehema\tClerk\tFinance\t14 Mar 2025\tResignation\t");

    auto master = prepare(param(common::kReportLeaverMaster));
    ASSERT_TRUE(master) << ui.lastMessage();
    EXPECT_EQ(master->caption(), "Leaver Master Reports");
    EXPECT_EQ(master->orientation(), common::Orientation::Portrait);
    EXPECT_EQ(master->pageCount(), 2);
    EXPECT_FALSE(master->exportText());
}

TEST_F(StaffReportsTest, TheMasterReportGivesEachEmployeeAPage) {
    const auto report = prepare(param(common::kReportEmployeeMaster));
    ASSERT_TRUE(report) << ui.lastMessage();
    EXPECT_EQ(report->caption(), "Employee Master Reports");
    EXPECT_EQ(report->pageCount(), 5);
    testsupport::RecordingCanvas canvas;
    report->drawPage(canvas, 3);
    for (const char* text : {"Kilimo Traders Ltd", "Personal Details", "banda", "Alice",
                             "10 Dec 1990", "Stores.Finance.Head Office", "Support", "Contract",
                             "  Employee No. E002", "  Banda, Peter", "Page 3 of 5"})
        EXPECT_EQ(canvas.findText(text).size(), 1u) << text;
}

TEST(MasterPage, SectionsWordTheStatusAndPayAsTheyApply) {
    PERSREPREC rec;
    rec.lastName = "Salim";
    rec.terminated = 1;
    rec.dateLeft = {2025, 14, 3};
    rec.reasonLeft = "Resignation";
    rec.remarks = "Moved to Arusha";
    rec.payBasis = 1;
    rec.payRate = 25000;
    rec.hoursPerDay = 8;
    rec.hoursPerMonth = 176;
    rec.leaveEntitlement = 28;
    rec.overtimeEligible = 1;
    rec.normalOvertimeRate = 4688;
    rec.doubleOvertimeRate = 6250;
    rec.coopName[1] = "Walimu SACCOS";
    rec.coopMemberNum[1] = "W-17";
    rec.payeApplies = 1;
    rec.useTopTaxRate = 1;
    rec.poBox = "1234";
    rec.town = "Mbeya";
    rec.resAddress = {"Plot 7", "", "Uzunguni", ""};
    using Kind = MasterLine::Kind;
    const auto has = [](const std::vector<MasterLine>& lines, const MasterLine& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    const MasterPage active = masterPage(rec, false);
    const MasterPage leaver = masterPage(rec, true);
    EXPECT_TRUE(has(active.left, {Kind::Field, "Active Until:", "14 Mar 2025"}));
    EXPECT_TRUE(has(active.left, {Kind::Field, "Reason Leaving:", "Resignation"}));
    EXPECT_TRUE(has(leaver.left, {Kind::Field, "Date Left:", "14 Mar 2025"}));
    EXPECT_TRUE(has(leaver.left, {Kind::Field, "Reason Left:", "Resignation"}));
    EXPECT_TRUE(has(leaver.left, {Kind::Field, "Remarks:", "Moved to Arusha"}));
    EXPECT_TRUE(has(leaver.left, {Kind::Field, "Leave Entitlement:", "28.00 days"}));
    EXPECT_FALSE(has(leaver.left, {Kind::Heading, "Reports To:", ""}));
    EXPECT_TRUE(has(leaver.left, {Kind::Field, "Postal Address:", "P.O. Box 1234"}));
    EXPECT_TRUE(has(leaver.left, {Kind::More, "", "Mbeya "}));
    EXPECT_TRUE(has(leaver.left, {Kind::Field, "Residential Addr:", "Plot 7"}));
    EXPECT_TRUE(has(leaver.left, {Kind::More, "", "Uzunguni"}));
    const std::vector<MasterLine>& pay = leaver.right;
    EXPECT_TRUE(has(pay, {Kind::Field, "Payment Basis:", "Daily"}));
    EXPECT_TRUE(has(pay, {Kind::Field, "Daily Rate:", "Tsh 25,000"}));
    EXPECT_TRUE(has(pay, {Kind::Field, "  Per Pay Period:", "176.00"}));
    EXPECT_TRUE(has(pay, {Kind::Field, "Time Worked:", "Assume Standard Hours"}));
    EXPECT_TRUE(has(pay, {Kind::Field, "Normal Rate:", "Tsh 4,688 per hour"}));
    EXPECT_TRUE(has(pay, {Kind::Text, "", "Not Housed by Employer"}));
    EXPECT_TRUE(has(pay, {Kind::Field, "Co-operative:", "Walimu SACCOS"}));
    EXPECT_TRUE(has(pay, {Kind::Field, "Membership No.:", "W-17"}));
    EXPECT_TRUE(has(pay, {Kind::Text, "", "Not a pension fund member"}));
    EXPECT_TRUE(has(pay, {Kind::Text, "", "Use top tax rate"}));
    EXPECT_TRUE(has(pay, {Kind::Text, "", "Do not deduct NSSF"}));
}

TEST_F(StaffReportsTest, ADamagedOrForeignActiveFileStopsTheReportWithItsMessage) {
    ASSERT_TRUE(prepare(param(common::kReportEmployees)));
    const std::string path = resolved("2025/active.dbf");
    const std::string good = bytesOf(path);
    std::string foreign = good;
    const std::string own = "# [../org01/2025/active.dbf]";
    foreign.replace(foreign.find(own), own.size(), "# [../org02/2025/active.dbf]");
    const std::vector<std::pair<std::string, std::string>> cases{
        {good.substr(0, good.size() / 2), "File \"" + path + "\" has invalid terminator."},
        {foreign, "File \"2025/active.dbf\" was written for another organisation (../org02)."},
    };
    for (const auto& [bytes, message] : cases) {
        writeBytes(path, bytes);
        ui.clear();
        // Fresh: nothing is written over the damaged file.
        EXPECT_FALSE(STATICREPDB::needActiveFile(folder, 2025));
        EXPECT_FALSE(prepare(param(common::kReportEmployees)));
        EXPECT_EQ(ui.lastMessage(), message);
        EXPECT_EQ(bytesOf(path), bytes);
    }
}

} // namespace
} // namespace kelo::staffreports::testing
