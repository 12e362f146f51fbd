#include "database/StaticDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace kelo::database {
namespace {

using common::STATICREC;

auto fieldsOf(const STATICREC& r) {
    return std::tie(r.empNum, r.idNum, r.lastName, r.otherNames, r.title, r.gender, r.maritalStatus,
                    r.nationality, r.station, r.startDate, r.leaveEntitlement, r.office,
                    r.officePhone, r.email, r.homePhone, r.mobile, r.poBox, r.town, r.postCode,
                    r.residentialAddress, r.terminated, r.terminationDate, r.terminationReason,
                    r.terminationComment, r.separated, r.payFreq, r.payMethod, r.bankName,
                    r.branchName, r.accountNum, r.payBasis, r.salary, r.hourlyRate, r.dailyRate,
                    r.hoursPerDay, r.hoursPerMonth, r.timeBasis, r.overtimeEligible,
                    r.normalOvertimeRate, r.doubleOvertimeRate, r.housed, r.housingValue,
                    r.housingExpense, r.rent, r.payeApplies, r.useTopTaxRate, r.nssfMember, r.coop1,
                    r.coop2, r.pensionFund1, r.pensionFund2);
}

// Every field set, and to a value other than its default.
STATICREC sampleEmployee() {
    STATICREC r;
    r.empNum = "e001";
    r.idNum = "ID-7788";
    r.lastName = "Mwakyusa";
    r.otherNames = "Neema Grace";
    r.title = "Ms";
    r.gender = "Female";
    r.maritalStatus = "Married";
    r.nationality = "Tanzanian";
    r.station = 4;
    r.startDate = {2019, 15, 3};
    r.leaveEntitlement = 28.5f;
    r.office = "Block B";
    r.officePhone = "+255 22 211 0000";
    r.email = "neema@example.co.tz";
    r.homePhone = "022 266 1234";
    r.mobile = "0754 123 456";
    r.poBox = "9120";
    r.town = "Dar es Salaam";
    r.postCode = "11101";
    r.residentialAddress = {"Plot 12", "Mikocheni B", "Kinondoni", "Dar es Salaam"};
    r.terminated = 1;
    r.terminationDate = {2024, 30, 6};
    r.terminationReason = "Resignation";
    r.terminationComment = "Moved to Arusha";
    r.separated = 1;
    r.payFreq = common::BIWEEKLY;
    r.payMethod = common::kPayByBankTransfer;
    r.bankName = "CRDB Bank";
    r.branchName = "Azikiwe";
    r.accountNum = "0150 1234 5678";
    r.payBasis = common::kPayBasisDaily;
    r.salary = 850000.5;
    r.hourlyRate = 5312.25;
    r.dailyRate = 42500.75;
    r.hoursPerDay = 8;
    r.hoursPerMonth = 173.33f;
    r.timeBasis = common::kTimeDaysAbsent;
    r.overtimeEligible = 1;
    r.normalOvertimeRate = 7968.38;
    r.doubleOvertimeRate = 10625.5;
    r.housed = 1;
    r.housingValue = 300000;
    r.housingExpense = 120000;
    r.rent = 25000;
    r.payeApplies = 1;
    r.useTopTaxRate = 1;
    r.nssfMember = 1;
    r.coop1 = 2;
    r.coop2 = 5;
    r.pensionFund1 = 1;
    r.pensionFund2 = 3;
    return r;
}

PERSONNELREC samplePersonnel() {
    PERSONNELREC p;
    p.birthDate = {1985, 0, 7}; // month and year only
    p.unit = 3;
    p.job = 7;
    p.grade = 2;
    p.terms = 1;
    p.payGroup = 6;
    p.supervisor = "E000";
    p.tin = "101-202-303";
    p.nssfNum = "NS-998877";
    p.coopMemberNum = {"C-11", "C-22"};
    p.pensionMemberNum = {"P-33", "P-44"};
    p.normalOvertimeChoice = kNormalOvertimeKeyed;
    p.doubleOvertimeChoice = kDoubleOvertimeKeyed;
    p.newLeaver = 1;
    return p;
}

STATICREC employee(const std::string& empNum, const std::string& lastName) {
    STATICREC r;
    r.empNum = empNum;
    r.lastName = lastName;
    r.otherNames = "A";
    return r;
}

class StaticDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system"));
        std::filesystem::create_directories(dir.file("org01/database"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(table.createFile(ui));
        ASSERT_TRUE(table.openFile());
    }

    void add(const STATICREC& rec, const PERSONNELREC& personnel = {}) {
        ASSERT_TRUE(table.updateFields(rec, personnel, true));
    }
    // The employee numbers in the selected order.
    std::vector<std::string> walk() {
        std::vector<std::string> numbers;
        for (int rc = table.data()->top(); rc == engine::r4success && !table.data()->eof();
             rc = table.data()->skip()) {
            STATICREC rec;
            EXPECT_TRUE(table.initRec(rec));
            numbers.push_back(rec.empNum);
        }
        return numbers;
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    STATDB table{code, folder};
};

TEST_F(StaticDbTest, CreatesThePersonnelTableWithItsTags) {
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Creating static.dbf...", ""}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("org01/database/static.dbf")));
    engine::Data4& data = *table.data();
    EXPECT_EQ(data.fieldCount(), static_cast<int>(table.schema().fields.size()));
    ASSERT_NE(data.tag(STATDB::kEmpNumTag), nullptr);
    EXPECT_EQ(data.tag(STATDB::kEmpNumTag)->info().expression, "UPPER(EMPNO)");
    ASSERT_NE(data.tag(STATDB::kNameTag), nullptr);
    EXPECT_EQ(data.tag(STATDB::kNameTag)->info().expression, "UPPER(LASTNAME+OTHERNAMES)");
    // Column kinds the rest of the program reads through the engine.
    const std::vector<std::tuple<const char*, char, unsigned>> expected{
        {"EMPNO", 'C', 19},    {"LASTNAME", 'C', 19},   {"OTHERNAMES", 'C', 29},
        {"STATION", 'I', 4},   {"STARTDATE", 'D', 8},   {"TERMCOMMNT", 'C', 199},
        {"SEPARATED", 'L', 1}, {"SALARY", 'B', 8},      {"HRSPERMON", 'F', 8},
        {"BIRTHDATE", 'C', 8}, {"SUPERVISOR", 'C', 19}, {"NEWLEAVER", 'L', 1}};
    for (const auto& [name, type, length] : expected) {
        SCOPED_TRACE(name);
        const engine::Field4* f = data.field(name);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->type(), type);
        EXPECT_EQ(f->length(), length);
    }
}

TEST_F(StaticDbTest, EveryFieldSurvivesTheRoundTrip) {
    const STATICREC written = sampleEmployee();
    const PERSONNELREC personnel = samplePersonnel();
    add(written, personnel);
    table.closeFile();
    ASSERT_TRUE(table.openFile());
    ASSERT_EQ(table.data()->top(), engine::r4success);
    STATICREC read;
    PERSONNELREC readPersonnel;
    ASSERT_TRUE(table.initRec(read));
    ASSERT_TRUE(table.initRec(readPersonnel));
    EXPECT_EQ(fieldsOf(read), fieldsOf(written));
    EXPECT_EQ(readPersonnel, personnel);
    LEAVEREC leave;
    ASSERT_TRUE(table.initRec(leave));
    EXPECT_EQ(leave.empNum, written.empNum);
    EXPECT_EQ(leave.lastName, written.lastName);
    EXPECT_EQ(leave.otherNames, written.otherNames);
    EXPECT_EQ(leave.leaveEntitlement, written.leaveEntitlement);
    EXPECT_EQ(leave.balance(), 0);
}

TEST_F(StaticDbTest, TextIsCutToTheColumnWidths) {
    using Text = std::function<std::string&(STATICREC&)>;
    const std::vector<std::tuple<const char*, Text, std::size_t>> cases{
        {"empNum", [](STATICREC & r) -> auto& {return r.empNum;
}
, 19
} // namespace
, {"idNum", [](STATICREC& r) -> auto& {return r.idNum;
} // namespace kelo::database
, 14
}
, {"lastName", [](STATICREC& r) -> auto& {return r.lastName;
}
, 19
}
, {"otherNames", [](STATICREC& r) -> auto& {return r.otherNames;
}
, 29
}
, {"title", [](STATICREC& r) -> auto& {return r.title;
}
, 4
}
, {"gender", [](STATICREC& r) -> auto& {return r.gender;
}
, 6
}
, {"maritalStatus", [](STATICREC& r) -> auto& {return r.maritalStatus;
}
, 8
}
, {"nationality", [](STATICREC& r) -> auto& {return r.nationality;
}
, 19
}
, {"office", [](STATICREC& r) -> auto& {return r.office;
}
, 19
}
, {"officePhone", [](STATICREC& r) -> auto& {return r.officePhone;
}
, 19
}
, {"email", [](STATICREC& r) -> auto& {return r.email;
}
, 39
}
, {"homePhone", [](STATICREC& r) -> auto& {return r.homePhone;
}
, 19
}
, {"mobile", [](STATICREC& r) -> auto& {return r.mobile;
}
, 19
}
, {"poBox", [](STATICREC& r) -> auto& {return r.poBox;
}
, 9
}
, {"town", [](STATICREC& r) -> auto& {return r.town;
}
, 19
}
, {"postCode", [](STATICREC& r) -> auto& {return r.postCode;
}
, 9
}
, {"residentialAddress[0]", [](STATICREC& r) -> auto& {return r.residentialAddress[0];
}
, 24
}
, {"residentialAddress[3]", [](STATICREC& r) -> auto& {return r.residentialAddress[3];
}
, 24
}
, {"terminationReason", [](STATICREC& r) -> auto& {return r.terminationReason;
}
, 24
}
, {"terminationComment", [](STATICREC& r) -> auto& {return r.terminationComment;
}
, 199
}
, {"bankName", [](STATICREC& r) -> auto& {return r.bankName;
}
, 24
}
, {"branchName", [](STATICREC& r) -> auto& {return r.branchName;
}
, 24
}
, {"accountNum", [](STATICREC& r) -> auto& {return r.accountNum;
}
, 24
}
,
}
;
STATICREC tooLong;
for (const auto& [name, member, width] : cases)
    member(tooLong) = std::string(width, 'x') + "yyyyy";
add(tooLong);
STATICREC read;
ASSERT_TRUE(table.initRec(read));
for (const auto& [name, member, width] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(member(read), std::string(width, 'x'));
}

PERSONNELREC personnel;
personnel.supervisor = std::string(25, 's');
personnel.tin = std::string(20, 't');
personnel.coopMemberNum[1] = std::string(20, 'c');
add(employee("E2", "B"), personnel);
PERSONNELREC readPersonnel;
ASSERT_TRUE(table.initRec(readPersonnel));
EXPECT_EQ(readPersonnel.supervisor, std::string(19, 's'));
EXPECT_EQ(readPersonnel.tin, std::string(14, 't'));
EXPECT_EQ(readPersonnel.coopMemberNum[1], std::string(14, 'c'));
}

TEST_F(StaticDbTest, ACutNeverSplitsACharacter) {
    STATICREC rec = employee("E1", "A");
    rec.title = "Bw\xC3\xA9\xC3\xA9"; // "Bwéé": 6 bytes into 4
    add(rec);
    STATICREC read;
    ASSERT_TRUE(table.initRec(read));
    EXPECT_EQ(read.title, "Bw\xC3\xA9");
}

TEST_F(StaticDbTest, NewRecordsAppendAndExistingOnesAreOverwritten) {
    add(employee("E001", "Juma"), samplePersonnel());
    ASSERT_TRUE(table.updateFields(employee("E002", "Kibwana"), true));
    EXPECT_EQ(table.data()->recCount(), 2);
    EXPECT_EQ(table.data()->recNo(), 2);
    PERSONNELREC fresh;
    ASSERT_TRUE(table.initRec(fresh));
    EXPECT_EQ(fresh, PERSONNELREC{});
    EXPECT_EQ(fresh.normalOvertimeChoice, kNormalOvertimeFromBasic);
    EXPECT_EQ(fresh.doubleOvertimeChoice, kDoubleOvertimeFromBasic);

    ASSERT_TRUE(table.seekEmpNum("e001"));
    STATICREC changed = employee("E001", "Juma");
    changed.salary = 450000;
    ASSERT_TRUE(table.updateFields(changed, false));
    EXPECT_EQ(table.data()->recCount(), 2);
    table.closeFile();
    ASSERT_TRUE(table.openFile());
    ASSERT_TRUE(table.seekEmpNum("E001"));
    STATICREC read;
    PERSONNELREC personnel;
    ASSERT_TRUE(table.initRec(read));
    ASSERT_TRUE(table.initRec(personnel));
    EXPECT_EQ(read.salary, 450000);
    EXPECT_EQ(personnel, samplePersonnel()) << "kept when only STATICREC is written";

    PERSONNELREC other = samplePersonnel();
    other.unit = 9;
    ASSERT_TRUE(table.updateFields(read, other, false));
    ASSERT_TRUE(table.initRec(personnel));
    EXPECT_EQ(personnel.unit, 9);
}

struct OvertimeCase {
    const char* name;
    int payBasis;
    double salary, dailyRate, hourlyRate;
    float hoursPerDay, hoursPerMonth;
    std::int32_t normalChoice, doubleChoice;
    double expectedNormal, expectedDouble;
};

TEST(StaticDbComputeFields, OvertimeRatesFromTheBasicPayRate) {
    constexpr double kept = -1; // the stored rate stays
    const OvertimeCase cases[] = {
        {"salary per hour of the month", common::kPayBasisSalary, 600000, 0, 0, 8, 200, 0, 2, 4500,
         6000},
        {"salary, rounded to the cent", common::kPayBasisSalary, 500000, 0, 0, 8, 173.33f, 0, 2,
         4327.01, 5769.34},
        {"daily rate per hour of the day", common::kPayBasisDaily, 0, 24000, 0, 8, 176, 0, 2, 4500,
         6000},
        {"hourly rate", common::kPayBasisHourly, 0, 0, 2500.5, 8, 176, 0, 2, 3750.75, 5001},
        {"normal rate keyed", common::kPayBasisHourly, 0, 0, 2000, 8, 176, 1, 2, kept, 4000},
        {"double rate keyed", common::kPayBasisHourly, 0, 0, 2000, 8, 176, 0, 3, 3000, kept},
        {"both keyed", common::kPayBasisSalary, 600000, 0, 0, 8, 200, 1, 3, kept, kept},
        {"no hours in the month", common::kPayBasisSalary, 600000, 0, 0, 8, 0, 0, 2, 0, 0},
        {"no hours in the day", common::kPayBasisDaily, 0, 24000, 0, 0, 176, 0, 2, 0, 0},
        {"pay basis out of range", 5, 600000, 0, 0, 8, 200, 0, 2, kept, kept},
    };
    for (const OvertimeCase& c : cases) {
        SCOPED_TRACE(c.name);
        STATICREC rec;
        rec.payBasis = c.payBasis;
        rec.salary = c.salary;
        rec.dailyRate = c.dailyRate;
        rec.hourlyRate = c.hourlyRate;
        rec.hoursPerDay = c.hoursPerDay;
        rec.hoursPerMonth = c.hoursPerMonth;
        rec.normalOvertimeRate = 1111;
        rec.doubleOvertimeRate = 2222;
        PERSONNELREC personnel;
        personnel.normalOvertimeChoice = c.normalChoice;
        personnel.doubleOvertimeChoice = c.doubleChoice;
        STATDB::computeFields(rec, personnel);
        EXPECT_DOUBLE_EQ(rec.normalOvertimeRate,
                         c.expectedNormal == kept ? 1111 : c.expectedNormal);
        EXPECT_DOUBLE_EQ(rec.doubleOvertimeRate,
                         c.expectedDouble == kept ? 2222 : c.expectedDouble);
    }
}

TEST_F(StaticDbTest, MemberCountsByKind) {
    const auto member = [](const char* empNum, std::int32_t station, std::int32_t coop1,
                           std::int32_t coop2, std::int32_t fund1, std::int32_t fund2) {
        STATICREC r = employee(empNum, "X");
        r.station = station;
        r.coop1 = coop1;
        r.coop2 = coop2;
        r.pensionFund1 = fund1;
        r.pensionFund2 = fund2;
        return r;
    };
    const auto post = [](std::int32_t unit, std::int32_t job, std::int32_t payGroup) {
        PERSONNELREC p;
        p.unit = unit;
        p.job = job;
        p.payGroup = payGroup;
        return p;
    };
    add(member("E1", 1, 4, 0, 2, 0), post(10, 20, 30));
    add(member("E2", 1, 0, 4, 2, 3), post(10, 21, 30));
    STATICREC terminated = member("E3", 2, 5, 4, 0, 3);
    terminated.terminated = terminated.separated = 1; // still names its codes
    add(terminated, post(11, 20, 31));

    const std::vector<std::tuple<int, long, long>> cases{
        {STATDB::ByUnit, 10, 2},       {STATDB::ByUnit, 11, 1},       {STATDB::ByUnit, 99, 0},
        {STATDB::ByJob, 20, 2},        {STATDB::ByJob, 21, 1},        {STATDB::ByStation, 1, 2},
        {STATDB::ByStation, 2, 1},     {STATDB::ByPayGroup, 30, 2},   {STATDB::ByPayGroup, 31, 1},
        {STATDB::ByCoop, 4, 3},        {STATDB::ByCoop, 5, 1},        {STATDB::ByPensionFund, 2, 2},
        {STATDB::ByPensionFund, 3, 2}, {STATDB::ByPensionFund, 1, 0},
    };
    for (const auto& [kind, memberCode, expected] : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << kind << " code " << memberCode);
        EXPECT_EQ(table.getMemberCnt(kind, memberCode), expected);
    }
    EXPECT_EQ(table.getMemberCnt(0, 1), std::nullopt);
    EXPECT_EQ(table.getMemberCnt(7, 1), std::nullopt);
}

TEST_F(StaticDbTest, CountsLeaveAnOpenTableWhereItWasAndOpenAClosedOne) {
    add(employee("E1", "Zulu"));
    add(employee("E2", "Abdallah"));
    add(employee("E3", "Mbwana"));
    ASSERT_TRUE(table.orderByName());
    ASSERT_TRUE(table.seekEmpNum("E3"));
    EXPECT_EQ(table.getMemberCnt(STATDB::ByStation, 0), 3);
    EXPECT_TRUE(table.getPostsCnt(0, 0).has_value());
    EXPECT_EQ(table.data()->recNo(), 3);
    EXPECT_EQ(table.data()->selected(), table.data()->tag(STATDB::kNameTag));
    EXPECT_EQ(table.recNum("e2"), 2);
    EXPECT_EQ(table.data()->recNo(), 3);
    EXPECT_EQ(table.recNum("E9"), 0);
    EXPECT_EQ(table.data()->recNo(), 3);

    table.closeFile();
    EXPECT_EQ(table.getMemberCnt(STATDB::ByStation, 0), 3);
    EXPECT_FALSE(table.isOpen());
    EXPECT_EQ(table.recNum("E1"), 0) << "a closed table is not sought";
}

TEST_F(StaticDbTest, PostOccupantsByTerms) {
    const auto occupant = [](const char* empNum, std::int32_t unit, std::int32_t job,
                             std::int32_t terms, bool separated) {
        STATICREC r = employee(empNum, "X");
        r.terminated = r.separated = separated ? 1 : 0;
        PERSONNELREC p;
        p.unit = unit;
        p.job = job;
        p.terms = terms;
        return std::pair{r, p};
    };
    for (const auto& [rec, personnel] : {
             occupant("E1", 3, 7, 0, false), occupant("E2", 3, 7, 0, false),
             occupant("E3", 3, 7, 1, false), occupant("E4", 3, 7, 3, false),
             occupant("E5", 3, 7, 0, true), // has left: the post is free
             occupant("E6", 3, 8, 2, false), occupant("E7", 4, 7, 2, false),
             occupant("E8", 3, 7, 9, false), // terms out of range
         })
        add(rec, personnel);
    EXPECT_EQ(table.getPostsCnt(3, 7), (STATDB::PostCounts{2, 1, 0, 1}));
    EXPECT_EQ(table.getPostsCnt(3, 8), (STATDB::PostCounts{0, 0, 1, 0}));
    EXPECT_EQ(table.getPostsCnt(5, 5), (STATDB::PostCounts{0, 0, 0, 0}));

    // A terminated employee still holds the post until the termination goes
    // through the payroll.
    ASSERT_TRUE(table.seekEmpNum("E4"));
    STATICREC leaving;
    ASSERT_TRUE(table.initRec(leaving));
    leaving.terminated = 1;
    ASSERT_TRUE(table.updateFields(leaving, false));
    EXPECT_EQ(table.getPostsCnt(3, 7), (STATDB::PostCounts{2, 1, 0, 1}));
}

TEST_F(StaticDbTest, OrdersAndSeeksIgnoreTheCaseOfEmployeeNumbers) {
    add(employee("e002", "Zulu"));
    add(employee("E001", "mbwana"));
    add(employee("e003", "abdallah"));
    add(employee("E010", "Juma"));
    ASSERT_TRUE(table.orderByEmpNum());
    EXPECT_EQ(walk(), (std::vector<std::string>{"E001", "e002", "e003", "E010"}));
    ASSERT_TRUE(table.orderByName());
    EXPECT_EQ(walk(), (std::vector<std::string>{"e003", "E010", "E001", "e002"}));
    ASSERT_TRUE(table.orderFile(common::kSortByEmpNum));
    EXPECT_EQ(table.data()->selected(), table.data()->tag(STATDB::kEmpNumTag));
    ASSERT_TRUE(table.orderFile(common::kSortByLastName));
    EXPECT_EQ(table.data()->selected(), table.data()->tag(STATDB::kNameTag));
    EXPECT_FALSE(table.orderFile(2));

    for (const char* key : {"e001", "E001", "E001  "}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(table.seekEmpNum(key));
        EXPECT_EQ(table.data()->recNo(), 2);
        EXPECT_EQ(table.recNum(key), 2);
        EXPECT_EQ(table.data()->selected(), table.data()->tag(STATDB::kNameTag))
            << "the order stays as selected";
    }
    EXPECT_FALSE(table.seekEmpNum("E00"));
    EXPECT_TRUE(table.data()->eof());
    EXPECT_FALSE(table.seekEmpNum(std::string(19, 'E') + "001"));
    EXPECT_EQ(table.recNum("E999"), 0);
}

TEST_F(StaticDbTest, AMissingTableIsReportedAndNothingIsCreated) {
    table.closeFile();
    std::filesystem::remove(dir.file("org01/database/static.dbf"));
    EXPECT_FALSE(table.openFile());
    EXPECT_EQ(code.errorCode(), engine::e4open);
    code.setErrorCode(0);
    EXPECT_EQ(table.getMemberCnt(STATDB::ByStation, 1), std::nullopt);
    EXPECT_EQ(table.getPostsCnt(1, 1), std::nullopt);
    EXPECT_EQ(code.errorCode(), 0);
    STATICREC rec;
    EXPECT_FALSE(table.initRec(rec));
    EXPECT_FALSE(table.updateFields(employee("E1", "A"), true));
    EXPECT_EQ(code.errorCode(), engine::e4parm);
    EXPECT_FALSE(std::filesystem::exists(dir.file("org01/database/static.dbf")));

    folder.moveTo("../org02");
    EXPECT_FALSE(table.createFile(ui));
    EXPECT_EQ(ui.lastMessage(), "Can't create database/static.dbf");
    EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");
}

TEST_F(StaticDbTest, ALockedRecordIsLeftAsItWas) {
    add(employee("E1", "Juma"), samplePersonnel());
    auto other = engine::Data4::open(code, table.path());
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->lock(1), engine::r4success);

    STATICREC changed = employee("E1", "Changed");
    EXPECT_FALSE(table.updateFields(changed, samplePersonnel(), false));
    EXPECT_EQ(code.errorCode(), engine::e4lock);
    EXPECT_NE(code.errorText().find("locked by another user"), std::string::npos);
    code.setErrorCode(0);
    STATICREC read;
    ASSERT_TRUE(table.initRec(read));
    EXPECT_EQ(read.lastName, "Juma") << "the current row is read again";
    ASSERT_EQ(other->go(1), engine::r4success);
    EXPECT_EQ(other->field("LASTNAME")->trimmed(), "Juma");

    // Nothing is left pending that a later move or close could write.
    ASSERT_EQ(table.data()->top(), engine::r4success);
    other->unlock();
    ASSERT_TRUE(table.updateFields(changed, false));
    ASSERT_EQ(other->go(1), engine::r4success);
    EXPECT_EQ(other->field("LASTNAME")->trimmed(), "Changed");

    // A table locked whole refuses a new row.
    ASSERT_EQ(other->lockAll(), engine::r4success);
    EXPECT_FALSE(table.updateFields(employee("E2", "New"), true));
    EXPECT_EQ(table.data()->recCount(), 1);
    EXPECT_TRUE(table.data()->eof());
    other->unlock();
    code.setErrorCode(0);
    ASSERT_TRUE(table.updateFields(employee("E2", "New"), true));
    EXPECT_EQ(table.data()->recCount(), 2);
}

TEST_F(StaticDbTest, ATableOfAnotherLayoutIsRefused) {
    table.closeFile();
    std::filesystem::remove(dir.file("org01/database/static.dbf"));
    ASSERT_NE(engine::Data4::create(code, table.path(), {{"EMPNO", 'C', 19, 0}}), nullptr);
    EXPECT_FALSE(table.openFile());
    EXPECT_EQ(code.errorCode(), engine::e4field);
}

} // namespace
} // namespace kelo::database
