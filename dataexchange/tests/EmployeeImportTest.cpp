#include "dataexchange/EmployeeImport.h"

#include "staffrecords/tests/StatFrmFixture.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/resource.h>

namespace kelo::dataexchange {

void PrintTo(const ImportRefusal& r, std::ostream* out) {
    *out << "{" << r.row << ", \"" << r.column << "\", \"" << r.message << "\"}";
}

namespace {

using staffrecords::testing::bytesOf;
using staffrecords::testing::Employee;
using staffrecords::testing::kAccountant;
using staffrecords::testing::kClerk;
using staffrecords::testing::kFinance;
using staffrecords::testing::kHeadOffice;
using staffrecords::testing::LockHolder;

constexpr const char* kHeader = "Employee Number,Last Name,Other Names,Unit,Job,Station,"
                                "Pay Frequency,Pay Basis,Salary,Hours per Day,Hours per Month,"
                                "Start Date\r\n";
// Clerks in Head Office: grade C, 150,000 to 350,000 a month.
constexpr const char* kMushi =
    "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,01/03/2025\r\n";
constexpr const char* kTemba =
    "MH011,Temba,Joseph,Head Office,Clerk,Dar es Salaam,Monthly,Salary,250000,8,195,"
    "03/03/2025\r\n";

std::string goldenPath(const char* name) {
    return std::string(KELO_DATAEXCHANGE_GOLDEN) + "/" + name;
}

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

struct EmployeeImportTest : staffrecords::testing::StatFrmFixture {
    void SetUp() override {
        StatFrmFixture::SetUp();
        if (HasFatalFailure())
            return;
        addPosts();
    }

    // Room for three clerks and two accountants in Head Office.
    void addPosts() {
        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.openFile());
        ASSERT_TRUE(posts.appendRecord({kHeadOffice, kClerk, {3, 0, 0, 0}}));
        ASSERT_TRUE(posts.appendRecord({kHeadOffice, kAccountant, {2, 0, 0, 0}}));
        posts.closeFile();
    }

    // A second organisation, org02, with org01's lists and posts (the banks
    // are the data folder's) and no employees; the fixture's folder moves
    // to it.
    void moveToNewOrganisation() {
        std::filesystem::create_directories(dir.file("org02/database"));
        std::filesystem::copy(dir.file("org01/settings"), dir.file("org02/settings"),
                              std::filesystem::copy_options::recursive);
        folder.moveTo("../org02");
        org.folder = "../org02";
        ASSERT_TRUE(database::STATDB(code, folder).createFile(ui));
        ASSERT_TRUE(database::ABSENCEDB(code, folder, ui).createFile(ui));
        ASSERT_TRUE(database::LEAVEDB(code, folder, ui).createFile(ui));
        for (std::size_t f = 0; f < common::kPayFreqCount; ++f)
            define(static_cast<common::PAYFREQ>(f), staffrecords::testing::builtInDefs());
        ui.clear();
    }

    std::string exported() {
        std::string failure;
        const auto bytes = exportEmployees(code, folder, failure);
        EXPECT_TRUE(bytes) << failure;
        return bytes.value_or("");
    }

    // Every table the import writes, to show that nothing was written.
    std::string tableBytes() {
        std::string all;
        for (const std::string& path :
             {std::string(database::STATDB::kPath), std::string(database::LEAVEDB::kPath),
              std::string(common::transactionsTablePath(common::MONTHLY))})
            all += bytesOf(folder.resolve(path)) + "|";
        return all;
    }

    std::vector<Employee> everyone() {
        std::vector<Employee> all;
        database::STATDB staff(code, folder);
        EXPECT_TRUE(staff.openFile());
        staff.orderByEmpNum();
        engine::Data4& d = *staff.data();
        for (int rc = d.top(); rc == engine::r4success && !d.eof(); rc = d.skip()) {
            Employee e;
            if (!d.deleted() && staff.initRec(e.rec) && staff.initRec(e.personnel))
                all.push_back(e);
        }
        return all;
    }
};

TEST_F(EmployeeImportTest, ExportMatchesTheGoldenFileLineByLine) {
    const std::vector<std::string> lines = linesOf(exported());
    std::ifstream golden(goldenPath("employees.csv"), std::ios::binary);
    ASSERT_TRUE(golden);
    std::stringstream s;
    s << golden.rdbuf();
    const std::vector<std::string> expected = linesOf(s.str());
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST_F(EmployeeImportTest, ImportsNewEmployeesAsKeyed) {
    EmployeeImport import(code, folder);
    const ImportPreview& preview = import.read(std::string(kHeader) + kMushi + kTemba);
    ASSERT_TRUE(preview.accepted())
        << (preview.refusals.empty() ? "" : preview.refusals[0].message);
    EXPECT_EQ(preview.rows, 2u);
    ASSERT_TRUE(import.commit(ui, org)) << ui.lastMessage();
    expectNoMessage();

    const auto mushi = stored("MH010");
    ASSERT_TRUE(mushi);
    EXPECT_EQ(mushi->rec.lastName, "Mushi");
    EXPECT_EQ(mushi->rec.otherNames, "Neema");
    EXPECT_EQ(mushi->rec.station, staffrecords::testing::kMbeyaStation);
    EXPECT_EQ(mushi->rec.startDate, staffrecords::testing::ymd(2025, 3, 1));
    EXPECT_EQ(mushi->rec.salary, 200000);
    EXPECT_EQ(mushi->personnel.unit, kHeadOffice);
    EXPECT_EQ(mushi->personnel.job, kClerk);
    // The grade comes with the job.
    EXPECT_EQ(mushi->personnel.grade, staffrecords::testing::kGradeC);
    // 200,000 / 195 = 1,025.641 an hour: x 1.5 = 1,538.46, x 2 = 2,051.28.
    EXPECT_DOUBLE_EQ(mushi->rec.normalOvertimeRate, 1538.46);
    EXPECT_DOUBLE_EQ(mushi->rec.doubleOvertimeRate, 2051.28);
    EXPECT_EQ(employeeCount(), 5);
    for (const char* number : {"MH010", "MH011"}) {
        EXPECT_TRUE(hasTransactions(number, common::MONTHLY)) << number;
        EXPECT_EQ(leaveRows(number), 1u) << number;
    }
}

TEST_F(EmployeeImportTest, FiveHundredEmployeesReadBackFieldByField) {
    {
        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.openFile());
        ASSERT_TRUE(
            posts.appendRecord({kFinance, staffrecords::testing::kManager, {500, 0, 0, 0}}));
        posts.closeFile();
    }
    std::string bytes = "Employee Number,Last Name,Other Names,Unit,Job,Station,Pay Frequency,"
                        "Pay Basis,Salary,Hours per Day,Hours per Month,Start Date,Mobile,"
                        "Payment Mode,Bank,Branch,Account Number,TIN\r\n";
    for (int i = 0; i < 500; ++i) {
        const std::string n = std::to_string(1000 + i);
        bytes += "E" + n + ",Surname" + n + ",Given " + n +
                 ",Finance,Manager,Dar es Salaam,Monthly,Salary," + std::to_string(2000000 + i) +
                 ",8,195," + std::to_string(1 + i % 28) + "/" + std::to_string(1 + i % 12) +
                 "/2024,0754 " + n + ",Bank Transfer,NMB Bank,Mbeya,ACC" + n + ",TIN-" + n + "\r\n";
    }
    EmployeeImport import(code, folder);
    ASSERT_TRUE(import.read(bytes).accepted());
    ASSERT_TRUE(import.commit(ui, org)) << ui.lastMessage();
    EXPECT_EQ(employeeCount(), 503);
    for (int i = 0; i < 500; ++i) {
        const std::string n = std::to_string(1000 + i);
        const auto e = stored("E" + n);
        ASSERT_TRUE(e) << n;
        EXPECT_EQ(e->rec.lastName, "Surname" + n);
        EXPECT_EQ(e->rec.otherNames, "Given " + n);
        EXPECT_EQ(e->personnel.unit, kFinance);
        EXPECT_EQ(e->personnel.job, staffrecords::testing::kManager);
        EXPECT_EQ(e->rec.station, staffrecords::testing::kDarStation);
        EXPECT_EQ(e->rec.salary, 2000000 + i);
        EXPECT_EQ(e->rec.startDate, staffrecords::testing::ymd(2024, 1 + i % 12, 1 + i % 28));
        EXPECT_EQ(e->rec.mobile, "0754 " + n);
        EXPECT_EQ(e->rec.payMethod, common::kPayByBankTransfer);
        EXPECT_EQ(e->rec.bankName, "NMB Bank");
        EXPECT_EQ(e->rec.branchName, "Mbeya");
        EXPECT_EQ(e->rec.accountNum, "ACC" + n);
        EXPECT_EQ(e->personnel.tin, "TIN-" + n);
    }
    EXPECT_TRUE(hasTransactions("E1499", common::MONTHLY));
    EXPECT_EQ(leaveRows("E1499"), 1u);
}

TEST_F(EmployeeImportTest, ReadsEveryEncodingAndSeparator) {
    const std::string header = kHeader;
    const std::string row =
        "MH010,M\xC3\xBCller,Jos\xC3\xA9,Head Office,Clerk,Mbeya,Monthly,Salary,"
        "200000,8,195,01/03/2025\r\n";
    const auto semicolons = [](std::string text) {
        for (char& c : text)
            c = c == ',' ? ';' : c;
        return text;
    };
    const std::vector<std::pair<const char*, std::string>> files{
        {"UTF-8", header + row},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + header + row},
        {"Windows-1252",
         header + "MH010,M\xFCller,Jos\xE9,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,"
                  "01/03/2025\r\n"},
        {"semicolons", semicolons(header + row)},
        {"LF only", "Employee Number,Last Name,Other Names,Unit,Job,Station,Pay Frequency,Pay "
                    "Basis,Salary,Hours per Day,Hours per Month,Start Date\nMH010,M\xC3\xBCller,"
                    "Jos\xC3\xA9,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,01/03/2025"},
        {"headers in other case and order, quoted",
         "\"other names\",LAST NAME,employee number,Station,Unit,Job,Pay Frequency,Pay Basis,"
         "Salary,Hours Per Day,Hours Per Month,Start Date\r\n\"Jos\xC3\xA9\",M\xC3\xBCller,MH010,"
         "mbeya,head office,clerk,monthly,salary,\"200,000\",8,195,1/3/2025\r\n"},
    };
    for (const auto& [name, bytes] : files) {
        EmployeeImport import(code, folder);
        const ImportPreview& preview = import.read(bytes);
        ASSERT_TRUE(preview.accepted())
            << name << ": " << (preview.refusals.empty() ? "" : preview.refusals[0].message);
        ASSERT_EQ(import.employees().size(), 1u);
        const common::STATICREC& rec = import.employees()[0].rec;
        EXPECT_EQ(rec.lastName, "M\xC3\xBCller") << name;
        EXPECT_EQ(rec.otherNames, "Jos\xC3\xA9") << name;
        EXPECT_EQ(rec.station, staffrecords::testing::kMbeyaStation) << name;
        EXPECT_EQ(rec.salary, 200000) << name;
        EXPECT_EQ(rec.startDate, staffrecords::testing::ymd(2025, 3, 1)) << name;
    }
}

struct RefusalCase {
    const char* name;
    std::string bytes;
    std::vector<ImportRefusal> refusals;
};

TEST_F(EmployeeImportTest, RefusesEachFaultAndWritesNothing) {
    const std::string h = kHeader;
    const std::string junk("\x7F"
                           "ELF\x02\x01\x01\0\0\0\0\0",
                           12);
    const std::vector<RefusalCase> cases{
        {"empty file", "", {{0, "", "The file is empty."}}},
        {"binary junk", junk, {{0, "", "The file is not a text file."}}},
        {"header only", h, {{0, "", "The file holds no employees."}}},
        {"unknown station",
         h + "MH010,Mushi,Neema,Head Office,Clerk,Moshi,Monthly,Salary,200000,8,195,01/03/2025\r\n",
         {{2, "Station", "There is no station named \"Moshi\"."}}},
        {"bad date",
         h + "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,31/02/2025\r\n",
         {{2, "Start Date", "\"31/02/2025\" is not a date (dd/mm/yyyy)."}}},
        {"bad number",
         h + "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,20O000,8,195,01/03/2025\r\n",
         {{2, "Salary", "\"20O000\" is not a number."}}},
        {"missing required column",
         "Employee Number,Last Name,Other Names,Unit,Job,Pay Frequency,Pay Basis\r\n"
         "MH010,Mushi,Neema,Head Office,Clerk,Monthly,Salary\r\n",
         {{1, "Station", "The column \"Station\" is missing."}}},
        {"unknown column",
         "Employee Number,Last Name,Other Names,Unit,Job,Station,Pay Frequency,Pay Basis,Shoe "
         "Size\r\nMH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,42\r\n",
         {{1, "Shoe Size", "\"Shoe Size\" is not a column of this list."}}},
        {"column twice",
         "Employee Number,Last Name,Other Names,Unit,Job,Station,Pay Frequency,Pay Basis,"
         "Salary,salary\r\n",
         {{1, "salary", "The column \"salary\" appears twice."}}},
        {"duplicate within the file",
         h + kMushi + kTemba +
             "mh010,Mushi,Anna,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,01/03/2025\r\n",
         {{4, "Employee Number", "The employee number \"mh010\" is also on row 2."}}},
        {"duplicate against the personnel file",
         h + "MH002,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,"
             "01/03/2025\r\n",
         {{2, "Employee Number",
           "An employee numbered \"MH002\" is already in the personnel file."}}},
        {"a rule of the employee form",
         h + "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,100000,8,195,01/03/2025\r\n",
         {{2, "Salary", "The salary must be at least 150000."}}},
        {"a blank the employee form refuses",
         h + "MH010,,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,01/03/2025\r\n",
         {{2, "Last Name", staffrecords::testing::blank("Last Name")}}},
        {"a text longer than its field",
         h + "MH010,Mwakyusamwakalingaaa,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,"
             "01/03/2025\r\n",
         {{2, "Last Name",
           "\"Mwakyusamwakalingaaa\" is longer than the 19 characters the field holds."}}},
        {"no post",
         h + "MH010,Mushi,Neema,,,Mbeya,Monthly,Salary,200000,8,195,01/03/2025\r\n",
         {{2, "Unit", "This employee is not attached to any post."}}},
        {"a name not in a fixed list",
         h + "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Fortnightly,Salary,200000,8,195,"
             "01/03/2025\r\n",
         {{2, "Pay Frequency",
           "\"Fortnightly\" is not one of: Monthly, Weekly, Biweekly, Irregular."}}},
        {"one bad row in the middle",
         h + kMushi +
             "MH012,Kweka,Ali,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,2025-13-01\r\n" +
             kTemba,
         {{3, "Start Date", "\"2025-13-01\" is not a date (dd/mm/yyyy)."}}},
        {"a row wider than the header",
         h + "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,01/03/2025,"
             "x\r\n",
         {{2, "", "This row has more fields than the header row."}}},
        {"an unknown supervisor",
         "Employee Number,Last Name,Other Names,Unit,Job,Station,Pay Frequency,Pay Basis,Salary,"
         "Hours per Day,Hours per Month,Supervisor\r\n"
         "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,MH999\r\n",
         {{2, "Supervisor", "There is no employee numbered \"MH999\"."}}},
        {"a grade that is not the job's",
         "Employee Number,Last Name,Other Names,Unit,Job,Grade,Station,Pay Frequency,Pay Basis,"
         "Salary,Hours per Day,Hours per Month\r\n"
         "MH010,Mushi,Neema,Head Office,Clerk,Grade A,Mbeya,Monthly,Salary,200000,8,195\r\n",
         {{2, "Grade", "The job \"Clerk\" is of the grade \"Grade C\"."}}},
    };
    const std::string before = tableBytes();
    for (const RefusalCase& c : cases) {
        EmployeeImport import(code, folder);
        const ImportPreview& preview = import.read(c.bytes);
        EXPECT_EQ(preview.refusals, c.refusals)
            << c.name << ": "
            << (preview.refusals.empty() ? std::string("none") : preview.refusals[0].message);
        EXPECT_FALSE(preview.accepted()) << c.name;
        EXPECT_FALSE(import.commit(ui, org)) << c.name;
    }
    expectNoMessage();
    EXPECT_EQ(tableBytes(), before);
    EXPECT_EQ(employeeCount(), 3);
}

TEST_F(EmployeeImportTest, SupervisorMayBeLaterInTheFile) {
    const std::string bytes =
        "Employee Number,Last Name,Other Names,Unit,Job,Station,Pay Frequency,Pay Basis,Salary,"
        "Hours per Day,Hours per Month,Supervisor\r\n"
        "MH010,Mushi,Neema,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,MH011\r\n"
        "MH011,Temba,Joseph,Head Office,Clerk,Mbeya,Monthly,Salary,200000,8,195,MH001\r\n";
    EmployeeImport import(code, folder);
    EXPECT_TRUE(import.read(bytes).accepted());
}

TEST_F(EmployeeImportTest, AnotherUsersLockStopsTheWholeImport) {
    for (const char* path : {database::STATDB::kPath, database::LEAVEDB::kPath,
                             common::transactionsTablePath(common::MONTHLY).data()}) {
        EmployeeImport import(code, folder);
        ASSERT_TRUE(import.read(std::string(kHeader) + kMushi + kTemba).accepted());
        const std::string before = tableBytes();
        LockHolder other;
        ASSERT_TRUE(other.hold(folder.resolve(path), 0)) << path;
        EXPECT_FALSE(import.commit(ui, org)) << path;
        expectOneMessage(kImportLockedText);
        other.release();
        EXPECT_EQ(tableBytes(), before) << path;
        EXPECT_EQ(employeeCount(), 3) << path;
    }
}

struct VacancyCase {
    const char* name;
    std::vector<std::string> rows; // from row 2 on
    ImportRefusal refusal;
};

TEST_F(EmployeeImportTest, ARowThatWouldOverfillAPostIsRefusedAndNothingIsImported) {
    // Free places: one accountant in Finance (two posts, MH002 holds one),
    // three clerks and two accountants in Head Office; six in all.
    const auto row = [](const std::string& number, const char* unit, const char* job) {
        const std::string salary = std::string(job) == "Clerk" ? "200000" : "400000";
        return number + ",Mushi,Neema," + unit + "," + job + ",Mbeya,Monthly,Salary," + salary +
               ",8,195,01/03/2025\r\n";
    };
    const std::vector<VacancyCase> cases{
        {"the second of two rows for Finance's one free accountant's post",
         {row("MH010", "Finance", "Accountant"), row("MH011", "Finance", "Accountant"),
          row("MH012", "Head Office", "Clerk")},
         {3, "Unit", "There is no vacant position in this post."}},
        {"a fourth clerk for Head Office's three clerks' posts",
         {row("MH010", "Head Office", "Clerk"), row("MH011", "Head Office", "Accountant"),
          row("MH012", "Head Office", "Clerk"), row("MH013", "Head Office", "Clerk"),
          row("MH014", "Head Office", "Clerk"), row("MH015", "Head Office", "Accountant")},
         {6, "Unit", "There is no vacant position in this post."}},
        {"a seventh row when the six free places are taken",
         {row("MH010", "Finance", "Accountant"), row("MH011", "Head Office", "Clerk"),
          row("MH012", "Head Office", "Clerk"), row("MH013", "Head Office", "Clerk"),
          row("MH014", "Head Office", "Accountant"), row("MH015", "Head Office", "Accountant"),
          row("MH016", "Head Office", "Clerk")},
         {8, "Unit", "Cannot add a new employee as there are no vacanct posts."}},
    };
    const std::string before = tableBytes();
    for (const VacancyCase& c : cases) {
        std::string bytes = kHeader;
        for (const std::string& r : c.rows)
            bytes += r;
        EmployeeImport import(code, folder);
        const ImportPreview& preview = import.read(bytes);
        EXPECT_EQ(preview.refusals, std::vector<ImportRefusal>{c.refusal}) << c.name;
        EXPECT_EQ(refusalLine(c.refusal),
                  "Row " + std::to_string(c.refusal.row) + ", Unit: " + c.refusal.message);
        EXPECT_FALSE(import.commit(ui, org)) << c.name;
        EXPECT_EQ(tableBytes(), before) << c.name;
        EXPECT_EQ(employeeCount(), 3) << c.name;
        EXPECT_FALSE(stored("MH010")) << c.name;
    }
    expectNoMessage();
}

TEST_F(EmployeeImportTest, APostFilledByAnotherUserAfterThePreviewStopsTheWholeImport) {
    const std::string bytes =
        std::string(kHeader) + kMushi +
        "MH011,Temba,Joseph,Finance,Accountant,Mbeya,Monthly,Salary,400000,8,195,01/03/2025\r\n";
    EmployeeImport import(code, folder);
    ASSERT_TRUE(import.read(bytes).accepted());
    // Finance's one free accountant's post goes to someone else meanwhile.
    {
        staffrecords::STATFRM other(ui, code, folder);
        common::STATICREC rec = employee("MH020", 400000);
        rec.station = staffrecords::testing::kMbeyaStation;
        rec.hoursPerMonth = 195;
        database::PERSONNELREC post;
        post.unit = kFinance;
        post.job = kAccountant;
        ASSERT_TRUE(other.addEmployee(org, rec, post)) << ui.lastMessage();
        other.closeFile();
    }
    const std::string before = tableBytes();
    EXPECT_FALSE(import.commit(ui, org));
    expectNoMessage();
    EXPECT_EQ(import.preview().refusals,
              (std::vector<ImportRefusal>{{3, "", "There is no vacant position in this post."}}));
    EXPECT_EQ(tableBytes(), before);
    EXPECT_EQ(employeeCount(), 4);
    EXPECT_FALSE(stored("MH010"));
    EXPECT_FALSE(hasTransactions("MH010", common::MONTHLY));
    EXPECT_EQ(leaveRows("MH010"), 0u);
}

// A soft limit on the size of the files this process writes: a write past
// it fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

struct FailureCase {
    const char* name;
    // Sets up the failure; what it returns undoes it.
    std::function<std::function<void()>(EmployeeImportTest&)> arrange;
    std::string message;
};

TEST_F(EmployeeImportTest, AFailurePartWayThroughLeavesEveryFileAsItWas) {
    {
        database::POSTSDB posts(code, folder);
        ASSERT_TRUE(posts.openFile());
        ASSERT_TRUE(
            posts.appendRecord({kFinance, staffrecords::testing::kManager, {500, 0, 0, 0}}));
        posts.closeFile();
    }
    // 499 monthly managers, then one weekly: the master rows go first, then
    // the transactions records payroll by payroll, then the leave accounts.
    std::string bytes = kHeader;
    for (int i = 0; i < 500; ++i) {
        const std::string n = std::to_string(1000 + i);
        bytes += "E" + n + ",Surname" + n + ",Given " + n + ",Finance,Manager,Mbeya," +
                 (i == 499 ? "Weekly,Salary,500000" : "Monthly,Salary,2000000") +
                 ",8,195,01/03/2025\r\n";
    }
    const std::string weeklyDefinitions =
        folder.resolve(common::payFieldDefinitionsPath(common::WEEKLY));
    const std::vector<FailureCase> cases{
        {"the disk full half way through the master rows",
         [](EmployeeImportTest& t) -> std::function<void()> {
             // Room for 250 more rows of the personnel file, the largest.
             const std::string path = t.folder.resolve(database::STATDB::kPath);
             const std::string header = bytesOf(path).substr(0, 12);
             const auto recordLength = static_cast<unsigned char>(header[10]) +
                                       256u * static_cast<unsigned char>(header[11]);
             auto limit = std::make_shared<FileSizeLimit>(std::filesystem::file_size(path) +
                                                          250u * recordLength);
             return [limit]() mutable { limit.reset(); };
         },
         "Can't update database/static.dbf"},
        {"the weekly payroll's definitions gone after the monthly records were added",
         [weeklyDefinitions](EmployeeImportTest&) -> std::function<void()> {
             const std::string kept = weeklyDefinitions + ".kept";
             std::filesystem::rename(weeklyDefinitions, kept);
             return [weeklyDefinitions, kept] { std::filesystem::rename(kept, weeklyDefinitions); };
         },
         "Unable to open " + std::string(common::payFieldDefinitionsPath(common::WEEKLY))},
        {"the leave file held by another user",
         [](EmployeeImportTest& t) -> std::function<void()> {
             auto other = std::make_shared<LockHolder>();
             EXPECT_TRUE(other->hold(t.folder.resolve(database::LEAVEDB::kPath), 1));
             return [other] { other->release(); };
         },
         kImportLockedText},
    };
    for (const FailureCase& c : cases) {
        EmployeeImport import(code, folder);
        ASSERT_TRUE(import.read(bytes).accepted()) << c.name;
        const std::string before = tableBytes();
        const std::string weeklyBefore =
            bytesOf(folder.resolve(common::transactionsTablePath(common::WEEKLY)));
        ui.clear();
        const std::function<void()> undo = c.arrange(*this);
        const bool imported = import.commit(ui, org);
        undo();
        EXPECT_FALSE(imported) << c.name;
        expectOneMessage(c.message);
        EXPECT_EQ(tableBytes(), before) << c.name;
        EXPECT_EQ(bytesOf(folder.resolve(common::transactionsTablePath(common::WEEKLY))),
                  weeklyBefore)
            << c.name;
        EXPECT_EQ(employeeCount(), 3) << c.name;
        EXPECT_FALSE(stored("E1000")) << c.name;
        EXPECT_EQ(leaveRows("E1000"), 0u) << c.name;
    }
    // Once nothing is in the way, the same file goes in whole.
    ui.clear();
    EmployeeImport import(code, folder);
    ASSERT_TRUE(import.read(bytes).accepted());
    ASSERT_TRUE(import.commit(ui, org)) << ui.lastMessage();
    EXPECT_EQ(employeeCount(), 503);
    EXPECT_TRUE(hasTransactions("E1000", common::MONTHLY));
    EXPECT_TRUE(hasTransactions("E1499", common::WEEKLY));
    EXPECT_EQ(leaveRows("E1499"), 1u);
}

TEST_F(EmployeeImportTest, TheBatchStoresWhatAddingOneByOneStores) {
    // Leave rows a former employee left under MH011: both ways remove them.
    {
        database::LEAVEDB leave(code, folder, ui);
        database::LEAVEROW left;
        left.date = staffrecords::testing::ymd(2025, 1, 1);
        left.kind = database::kBalanceBF;
        left.days = 4;
        ASSERT_TRUE(leave.appendRec("MH011", left));
    }
    const std::string rows =
        std::string(kMushi) + kTemba +
        "MH012,Kweka,Ali,Head Office,Accountant,Mbeya,Weekly,Salary,100000,8,45,01/03/2025\r\n";
    std::filesystem::copy(dir.file("org01"), dir.file("org02"),
                          std::filesystem::copy_options::recursive);

    EmployeeImport import(code, folder);
    ASSERT_TRUE(import.read(kHeader + rows).accepted());
    ASSERT_TRUE(import.commit(ui, org)) << ui.lastMessage();
    const std::vector<std::string> paths{
        database::STATDB::kPath, database::LEAVEDB::kPath,
        std::string(common::transactionsTablePath(common::MONTHLY)),
        std::string(common::transactionsTablePath(common::WEEKLY))};
    std::vector<std::string> batch;
    for (const std::string& path : paths)
        batch.push_back(bytesOf(folder.resolve(path)));
    const std::vector<EmployeeRow> employees = import.employees();

    folder.moveTo("../org02");
    org.folder = "../org02";
    staffrecords::STATFRM keyed(ui, code, folder);
    for (const EmployeeRow& row : employees)
        ASSERT_TRUE(keyed.addEmployee(org, row.rec, row.personnel)) << ui.lastMessage();
    keyed.closeFile();
    expectNoMessage();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string one = bytesOf(folder.resolve(paths[i]));
        // The header's date and change counter aside, the same bytes: the
        // same rows in the same order.
        ASSERT_GT(one.size(), 32u) << paths[i];
        EXPECT_EQ(batch[i].size(), one.size()) << paths[i];
        EXPECT_TRUE(batch[i].substr(32) == one.substr(32)) << paths[i];
    }
    // MH011's old row (identifier 4) is gone; the openings are numbered on
    // from the highest left: 5, 6 and 7.
    std::vector<database::LEAVEROW> leave;
    ASSERT_TRUE(database::LEAVEDB(code, folder, ui).readRows("MH011", leave));
    ASSERT_EQ(leave.size(), 1u);
    EXPECT_EQ(leave[0].id, 6);
    EXPECT_EQ(leave[0].kind, database::kBalanceBF);
    EXPECT_EQ(leave[0].days, 0);
}

TEST_F(EmployeeImportTest, RoundTripIntoANewOrganisationGivesTheSameRecords) {
    // Employees as the form stores them: through the import itself, with
    // every column filled somewhere.
    const std::string all = exported();
    const std::string header = all.substr(3, all.find("\r\n") - 3);
    const std::string bytes =
        header + "\r\n" +
        "MH010,Mushi,Neema Anna,Ms.,Female,Single,Tanzanian,19900101-1,03/1990,Head Office,"
        "Clerk,Grade C,Contract,Mbeya,Office Staff,MH001,01/03/2025,21.50,Block B,022 211,"
        "neema@example.tz,,0754 100 200,12,Mbeya,53100,House 4,Uyole,,,Monthly,"
        "Bank Transfer,CRDB Bank,Tukuyu,0152001,Salary,200000.50,0,0,8,195,Days Absent,Yes,"
        "1600,,Yes,50000,20000,5000,Yes,No,Yes,123-456-789,200100,Walimu SACCOS,W-1,Afya SACCOS,"
        "A-2,PSSSF,P-3,,\r\n"
        "MH011,\"Temba, Jr\",Joseph,Mr.,Male,Married,Kenyan,,1985,Head Office,Accountant,,"
        "Permanent,Dar es Salaam,Management,,15/01/2024,28.00,,,,,,,,,,,,,Weekly,Cash,,,,Daily "
        "Rate,0,16000,0,8,45,Days Present,No,,,No,0,0,0,No,No,No,,,,,,,,,,\r\n";
    EmployeeImport first(code, folder);
    const ImportPreview& preview = first.read(bytes);
    ASSERT_TRUE(preview.accepted())
        << (preview.refusals.empty()
                ? ""
                : preview.refusals[0].column + ": " + preview.refusals[0].message);
    ASSERT_TRUE(first.commit(ui, org)) << ui.lastMessage();
    const std::vector<Employee> before = everyone();
    const std::string once = exported();

    moveToNewOrganisation();
    ASSERT_FALSE(HasFatalFailure());
    EmployeeImport second(code, folder);
    ASSERT_TRUE(second.read(once).accepted());
    ASSERT_TRUE(second.commit(ui, org)) << ui.lastMessage();
    EXPECT_EQ(exported(), once);
    std::vector<Employee> after = everyone();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        // The fixture wrote MH001's and MH003's rows straight into the
        // table, without the overtime rates the form works out from the
        // basic pay; the import works them out.
        if (after[i].rec.empNum == "MH001" || after[i].rec.empNum == "MH003") {
            EXPECT_EQ(before[i].rec.normalOvertimeRate, 0) << after[i].rec.empNum;
            after[i].rec.normalOvertimeRate = after[i].rec.doubleOvertimeRate = 0;
        }
        EXPECT_EQ(after[i].rec, before[i].rec) << after[i].rec.empNum;
        EXPECT_EQ(after[i].personnel, before[i].personnel) << after[i].rec.empNum;
    }
}

} // namespace
} // namespace kelo::dataexchange
