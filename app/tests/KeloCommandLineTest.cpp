// kelo run as a process on a demo data folder: each command's success and
// its failures, each failure one line on the error stream.
#include "app/demo/DemoFolder.h"
#include "common/OrgRecords.h"
#include "common/WorkingFolder.h"
#include "database/PayeParamDb.h"
#include "database/StaticDb.h"
#include "database/TableUse.h"
#include "engine/Code4.h"
#include "setup/Backup.h"
#include "setup/DataFolderStart.h"
#include "setup/Orgs.h"
#include "setup/Users.h"
#include "staffrecords/FieldsFrm.h"
#include "staffrecords/FieldsRules.h"
#include "staffrecords/VarFrm.h"
#include "staffrecords/VarFrmControls.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace kelo::app {
namespace {

struct KeloRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Line `number` (0 the first) without its line end, CR LF or LF.
std::string lineOf(const std::string& bytes, int number) {
    std::istringstream in(bytes);
    std::string line;
    for (int i = 0; i <= number && std::getline(in, line); ++i) {
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

constexpr const char* kBom = "\xEF\xBB\xBF";

// One demo folder for all the tests: building it is the slow part, and the
// commands that write leave the folder as the tests after them expect.
class KeloCommandLineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new testsupport::TempDir;
        testsupport::RecordingUi builder;
        ASSERT_TRUE(demo::buildDemoFolder(builder, dir->file("demo"), KELO_SOURCE_FOLDER))
            << builder.lastMessage();
        addUsers(builder);
        std::filesystem::copy(dir->file("demo"), dir->file("pristine"),
                              std::filesystem::copy_options::recursive);
    }

    // Beside the demo users: "viewer", payroll menu and no right, and
    // "newcomer", who has never chosen a password.
    static void addUsers(testsupport::RecordingUi& ui) {
        engine::Code4 code;
        common::WorkingFolder folder(dir->file("demo"));
        ASSERT_TRUE(setup::openDataFolder(ui, code, folder, KELO_SOURCE_FOLDER));
        setup::USERS users(code, folder);
        bool passwordSet = true;
        ASSERT_TRUE(users.logIn(ui, "supervisor", demo::kDemoPassword, passwordSet));
        common::USERREC rights;
        rights.menuType = common::kPayrollMenu;
        ASSERT_TRUE(users.addUser(ui, {"viewer", demo::kDemoPassword, "Viewer", "Vera"}));
        ASSERT_TRUE(users.setRights(ui, "viewer", rights));
        ASSERT_TRUE(users.addUser(ui, {"newcomer", "", "Newcomer", "Neema"}));
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }

    // kelo with no display, standard input closed and a time limit, so that
    // a hang or a prompt fails instead of stalling.
    static KeloRun run(const std::string& environment, const std::string& arguments) {
        const std::string out = dir->file("out.txt");
        const std::string err = dir->file("err.txt");
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                    environment + " timeout 120 " + quoted(KELO_CLI) + " " +
                                    arguments + " </dev/null >" + quoted(out) + " 2>" + quoted(err);
        const int raw = std::system(command.c_str());
        KeloRun result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = readBytes(out);
        result.err = readBytes(err);
        return result;
    }

    // A copy of the demo as built, whatever the tests before have written.
    static std::string freshCopy(const std::string& name) {
        const std::string copy = dir->file(name);
        std::filesystem::copy(dir->file("pristine"), copy,
                              std::filesystem::copy_options::recursive);
        return copy;
    }

    // A command of `user` on the demo organisation.
    static KeloRun as(const std::string& user, const std::string& command) {
        return run("KELO_PASSWORD=" + std::string(demo::kDemoPassword),
                   "--data-folder " + quoted(dir->file("demo")) + " --org 1 --user " + user + " " +
                       command);
    }

    static std::string file(const std::string& name) { return quoted(dir->file(name)); }

    static testsupport::TempDir* dir;
};

testsupport::TempDir* KeloCommandLineTest::dir = nullptr;

void expectOneLine(const KeloRun& result, int status, const std::string& line) {
    EXPECT_EQ(result.status, status) << result.err;
    EXPECT_EQ(result.err, line + "\n");
}

TEST_F(KeloCommandLineTest, HelpForTheProgramAndEachCommand) {
    const struct {
        const char* arguments;
        const char* shown;
    } cases[] = {
        {"--help", "  export-employees FILE\n"},
        {"report --help", "report CODE --pdf|--txt|--csv FILE [CHOICES]\n\nWrites"},
        {"report --help",
         "  --field NAME              the pay field as the wizard's list names it\n"},
        {"report --help", "\nReport codes:\n  11   Employees Roll\n  12   Leavers Roll\n"},
        {"export-employees --help", "export-employees FILE\n\nWrites the employee list"},
        {"--help import-employees", "import-employees FILE\n\nAdds the employees"},
        {"check --help", "check\n\nOpens every table of the organisation"},
        {"month-end --help", "month-end\n\nRuns the month end of the organisation"},
        {"period-end --help", "period-end [--frequency weekly|biweekly|irregular]\n\nRuns the "
                              "period end of the weekly, biweekly"},
        {"backup --help", "backup FILE\n\nBacks the organisation's tables"},
        {"restore --help", "restore FILE\n\nReplaces the organisation's tables"},
        {"bank-file --help",
         "bank-file BANK --process-date YYYY-MM-DD FILE\n\nWrites the bank transfer file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const KeloRun result = run("", c.arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_NE(result.out.find(c.shown), std::string::npos) << result.out;
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(KeloCommandLineTest, AFailureIsOneLineAndAFailureStatus) {
    const std::string folder = "--data-folder " + quoted(dir->file("demo"));
    const std::string password = "KELO_PASSWORD=" + std::string(demo::kDemoPassword);
    const std::string missing = "--data-folder " + quoted(dir->file("missing"));
    const struct {
        const char* what;
        std::string environment;
        std::string arguments;
        int status;
        std::string line;
    } cases[] = {
        {"no command", password, folder + " --org 1 --user supervisor", 2,
         "kelo: No command given; kelo --help lists the commands."},
        {"unknown command", password, folder + " --org 1 --user supervisor frob", 2,
         "kelo: Unknown command frob; kelo --help lists the commands."},
        {"unknown option", password, "--colour export-employees x", 2,
         "kelo: Unknown option --colour."},
        {"no organisation", password, folder + " --user supervisor export-employees x", 2,
         "kelo: Option --org is missing."},
        {"organisation not a number", password,
         folder + " --org one --user supervisor export-employees x", 2,
         "kelo: The organisation one is not a number."},
        {"no such report", password, folder + " --org 1 --user supervisor report 999 --txt x", 2,
         "kelo: No report has the code 999."},
        {"report without a file", password, folder + " --org 1 --user supervisor report 11", 2,
         "kelo: Usage: kelo report CODE --pdf|--txt|--csv FILE [CHOICES]"},
        {"period not a month", password,
         folder + " --org 1 --user supervisor report 11 --txt x --period 2026-13", 2,
         "kelo: The period 2026-13 is not written YYYY-MM or YYYY-MM-DD."},
        {"no data folder there", password,
         missing + " --org 1 --user supervisor export-employees x", 1,
         "kelo: Can't open folder " + dir->file("missing")},
        {"wrong password", "KELO_PASSWORD=wrong",
         folder + " --org 1 --user supervisor export-employees x", 1, "kelo: Access denied."},
        {"unknown user", password, folder + " --org 1 --user nobody export-employees x", 1,
         "kelo: User does not exist."},
        {"unknown organisation", password, folder + " --org 7 --user supervisor export-employees x",
         1, "kelo: There is no organisation 7."},
        {"no password and no terminal", "-u KELO_PASSWORD",
         folder + " --org 1 --user supervisor export-employees x", 1,
         "kelo: No password: set KELO_PASSWORD or run kelo at a terminal."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expectOneLine(run(c.environment, c.arguments), c.status, c.line);
    }
}

TEST_F(KeloCommandLineTest, ReportsAsTextCsvAndPdf) {
    KeloRun result = as("supervisor", "report 11 --txt " + file("roll.txt"));
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string text = readBytes(dir->file("roll.txt"));
    EXPECT_EQ(lineOf(text, 0), "Mbeya Highland Tea Estates Ltd\t");
    EXPECT_EQ(lineOf(text, 1), "Employees Roll as at November 2026 - All Units\t");

    result = as("supervisor", "report 11 --csv " + file("roll.csv"));
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string csv = readBytes(dir->file("roll.csv"));
    EXPECT_EQ(lineOf(csv, 0),
              std::string(kBom) + ",Employee Number,Name,Job Title,Administrative Unit,Station");
    EXPECT_EQ(lineOf(csv, 1),
              "1.,MH001,\"Mwakyusa, Emmanuel Joseph\",General Manager,Head Office,Mbeya Head "
              "Office");

    // The control account opens on the pay period, as its wizard does.
    result = as("supervisor", "report 33 --txt " + file("control.txt"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(lineOf(readBytes(dir->file("control.txt")), 1), "Payroll Control Account\t");

    result = as("supervisor", "report 34 --pdf " + file("payslips.pdf"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(readBytes(dir->file("payslips.pdf")).substr(0, 5), "%PDF-");
}

TEST_F(KeloCommandLineTest, AReportFailsWithTheLibrarysReason) {
    expectOneLine(as("supervisor", "report 41 --period 2026-10 --csv " + file("old.csv")), 1,
                  "kelo: The pay log keeps no report file for October 2026.");
    // A message of two lines in its box is one line here.
    expectOneLine(as("supervisor", "report 41 --txt " + file("empty.txt")), 1,
                  "kelo: Sorry, report has no records and will not be printed.");
    expectOneLine(as("supervisor", "report 21 --txt " + file("cheques.txt")), 1,
                  "kelo: This report has no text export.");
    expectOneLine(as("supervisor", "report 11 --txt " + file("no/such/folder/roll.txt")), 1,
                  "kelo: Can't save to " + dir->file("no/such/folder/roll.txt"));
}

TEST_F(KeloCommandLineTest, RightsApplyAsInTheProgram) {
    const struct {
        const char* user;
        std::string command;
        int status;
        const char* line;
    } cases[] = {
        {"asha", "report 34 --pdf " + file("asha.pdf"), 1,
         "kelo: User asha may not run report 34.\n"},
        {"asha", "report 11 --txt " + file("asha.txt"), 0, ""},
        {"asha", "export-employees " + file("asha.csv"), 0, ""},
        {"juma", "report 34 --txt " + file("juma.txt"), 0, ""},
        {"viewer", "report 34 --txt " + file("viewer.txt"), 0, ""},
        {"viewer", "export-employees " + file("viewer.csv"), 1,
         "kelo: User viewer may not run export-employees.\n"},
        {"viewer", "import-employees " + file("viewer.csv"), 1,
         "kelo: User viewer may not run import-employees.\n"},
        {"asha", "bank-file scb --process-date 2999-01-15 " + file("asha.bank"), 1,
         "kelo: User asha may not run bank-file.\n"},
        {"viewer", "month-end", 1, "kelo: User viewer may not run month-end.\n"},
        {"viewer", "period-end", 1, "kelo: User viewer may not run period-end.\n"},
        // Every user holds the data alone, so any user may back up.
        {"viewer", "backup " + file("viewer.kbk"), 0, ""},
        {"viewer", "restore " + file("viewer.kbk"), 1, "kelo: User viewer may not run restore.\n"},
        {"newcomer", "check", 1,
         "kelo: User newcomer has no password yet; log in to Kelo Roster once to choose one.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.user) + " " + c.command);
        const KeloRun result = as(c.user, c.command);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_EQ(result.err, c.line);
    }
}

TEST_F(KeloCommandLineTest, ExportAndImportEmployees) {
    KeloRun result = as("supervisor", "export-employees " + file("staff.csv"));
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string staff = readBytes(dir->file("staff.csv"));
    EXPECT_EQ(lineOf(staff, 0).rfind(std::string(kBom) + "Employee Number,Last Name,Other", 0), 0u);
    ASSERT_EQ(lineOf(staff, 1).substr(0, 15), "MH001,Mwakyusa,");

    // Every employee is there already: each row is refused, nothing added.
    result = as("supervisor", "import-employees " + file("staff.csv"));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("kelo: Row 2, Employee Number: "), std::string::npos) << result.err;
    EXPECT_EQ(result.err.substr(result.err.size() - 33), "kelo: Nothing has been imported.\n");

    // An accounts clerk again under a new number is added: his post has a
    // place left.
    const std::string header = lineOf(staff, 0);
    std::string row = lineOf(staff, 13);
    ASSERT_EQ(row.substr(0, 15), "MH013,Ngonyani,");
    row.replace(0, 5, "MH900");
    writeBytes(dir->file("one.csv"), header + "\n" + row + "\n");
    result = as("supervisor", "import-employees " + file("one.csv"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "1 employee was imported.\n");
    result = as("supervisor", "export-employees " + file("again.csv"));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(readBytes(dir->file("again.csv")).find("\nMH900,Ngonyani,"), std::string::npos);

    expectOneLine(as("supervisor", "import-employees " + file("absent.csv")), 1,
                  "kelo: Can't open " + dir->file("absent.csv"));
    expectOneLine(as("supervisor", "export-employees " + file("no/folder/x.csv")), 1,
                  "kelo: Can't save to " + dir->file("no/folder/x.csv"));
}

// Without KELO_PASSWORD the password is asked at the terminal: `script`
// gives kelo one, the password typed ahead.
TEST_F(KeloCommandLineTest, ThePasswordIsAskedAtATerminal) {
    if (!std::filesystem::exists("/usr/bin/script"))
        GTEST_SKIP() << "no script(1) to give kelo a terminal";
    const struct {
        const char* typed;
        int status;
        const char* said;
    } cases[] = {
        {"kelo2026", 0, "17 tables checked; none is damaged."},
        {"wrong", 1, "kelo: Access denied."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::string kelo = "env -u KELO_PASSWORD " + std::string(KELO_CLI) +
                                 " --data-folder " + quoted(dir->file("demo")) +
                                 " --org 1 --user supervisor check";
        const std::string out = dir->file("terminal.txt");
        const std::string command = "printf '%s\\n' " + quoted(c.typed) +
                                    " | timeout 120 script -qec " + quoted(kelo) + " /dev/null >" +
                                    quoted(out) + " 2>&1";
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status);
        const std::string shown = readBytes(out);
        EXPECT_NE(shown.find("Password: "), std::string::npos) << shown;
        EXPECT_NE(shown.find(c.said), std::string::npos) << shown;
    }
}

// A copy of the demo folder with two tables damaged: one cut short, one
// overwritten with a few words.
TEST_F(KeloCommandLineTest, CheckFindsEachDamagedTable) {
    namespace fs = std::filesystem;
    KeloRun result = as("asha", "check");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "17 tables checked; none is damaged.\n");
    EXPECT_EQ(result.err, "");

    const std::string damaged = dir->file("damaged");
    fs::copy(dir->file("demo"), damaged, fs::copy_options::recursive);
    const std::string coops = damaged + "/org01/settings/coops.dbf";
    fs::resize_file(coops, fs::file_size(coops) - 40);
    writeBytes(damaged + "/org01/settings/grades.dbf", "not a table at all");
    result = run("KELO_PASSWORD=" + std::string(demo::kDemoPassword),
                 "--data-folder " + quoted(damaged) + " --org 1 --user supervisor check");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "kelo: " + coops + ": table file is shorter than its header claims\n" +
                              "kelo: " + damaged +
                              "/org01/settings/grades.dbf: file too short for a table header\n" +
                              "kelo: 2 of 17 tables are damaged.\n");
    expectOneLine(as("supervisor", "check now"), 2, "kelo: Usage: kelo check");
}

// The organisation of the folder, opened as the program opens it.
void openOrg(const std::string& folderPath,
             const std::function<void(engine::Code4&, common::WorkingFolder&, setup::ORGS&)>& use) {
    testsupport::RecordingUi ui;
    engine::Code4 code;
    common::WorkingFolder folder(folderPath);
    ASSERT_TRUE(setup::openDataFolder(ui, code, folder, KELO_SOURCE_FOLDER));
    setup::ORGS orgs(ui, code, folder);
    testsupport::FakeDialogView list;
    ASSERT_EQ(orgs.initOrgList(list, "Open Organisation"), 1);
    list.selectRow(setup::orglistdlg::List, 0);
    ASSERT_EQ(orgs.openSelOrg(list), 1);
    use(code, folder, orgs);
}

// Weekly and biweekly periods of the demo's November end on day `endDay`.
void endPeriodsOn(const std::string& folderPath, std::int32_t endDay) {
    openOrg(folderPath,
            [endDay](engine::Code4& code, common::WorkingFolder& folder, setup::ORGS& orgs) {
                common::ORGREC row = *orgs.getOpenOrg();
                row.weekEndDay = endDay;
                row.fortnightEndDay = endDay;
                ASSERT_TRUE(setup::saveOrgRec(code, folder, row));
            });
}

std::int32_t bankFileNumber(const std::string& folderPath) {
    std::int32_t number = -1;
    openOrg(folderPath, [&number](engine::Code4&, common::WorkingFolder&, setup::ORGS& orgs) {
        number = orgs.getOpenOrg()->bTrFileID;
    });
    return number;
}

// On copies of the demo folder, so that the other tests keep their month.
TEST_F(KeloCommandLineTest, MonthEnd) {
    const std::string password = "KELO_PASSWORD=" + std::string(demo::kDemoPassword);
    const std::string early = dir->file("early");
    std::filesystem::copy(dir->file("demo"), early, std::filesystem::copy_options::recursive);
    KeloRun result =
        run(password, "--data-folder " + quoted(early) + " --org 1 --user supervisor month-end");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kelo: Too early to close month for weekly employees.\n"
                          "kelo: Month end procedure cancelled.\n");

    const std::string copy = dir->file("closed");
    std::filesystem::copy(dir->file("demo"), copy, std::filesystem::copy_options::recursive);
    endPeriodsOn(copy, 28);
    const std::string start = "--data-folder " + quoted(copy) + " --org 1 --user supervisor ";
    result = run(password, start + "month-end");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
    result = run(password, start + "report 11 --txt " + quoted(copy + "/roll.txt"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(lineOf(readBytes(copy + "/roll.txt"), 1),
              "Employees Roll as at December 2026 - All Units\t");
    expectOneLine(run(password, start + "month-end now"), 2, "kelo: Usage: kelo month-end");
}

// The demo's monthly payroll is refused; with the clerk on the weekly
// payroll, its week ending 1 November closes and the next ends on the 8th.
TEST_F(KeloCommandLineTest, PeriodEnd) {
    const std::string password = "KELO_PASSWORD=" + std::string(demo::kDemoPassword);
    const std::string copy = freshCopy("period");
    const std::string start = "--data-folder " + quoted(copy) + " --org 1 --user supervisor ";
    KeloRun result = run(password, start + "period-end");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kelo: The period end is for weekly, biweekly and irregular payrolls; "
                          "the monthly payroll is closed by the month end.\n"
                          "kelo: Period end procedure cancelled.\n");

    openOrg(copy, [](engine::Code4& code, common::WorkingFolder& folder, setup::ORGS& orgs) {
        common::ORGREC row = *orgs.getOpenOrg();
        ASSERT_EQ(row.weekEndDay, 1);
        row.payFreq = common::WEEKLY;
        ASSERT_TRUE(setup::saveOrgRec(code, folder, row));
    });
    result = run(password, start + "period-end");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
    openOrg(copy, [](engine::Code4&, common::WorkingFolder&, setup::ORGS& orgs) {
        EXPECT_EQ(orgs.getOpenOrg()->weekEndDay, 8);
        EXPECT_EQ(orgs.getOpenOrg()->fortnightEndDay, 1);
        EXPECT_EQ(orgs.getOpenOrg()->month, "November");
    });
    expectOneLine(run(password, start + "period-end now"), 2,
                  "kelo: Usage: kelo period-end [--frequency weekly|biweekly|irregular]");
    expectOneLine(run(password, start + "period-end --frequency fortnightly"), 2,
                  "kelo: The pay frequency fortnightly is not one of weekly, biweekly and "
                  "irregular.");

    // Named on the command line, the biweekly payroll is closed and becomes
    // the one worked on.
    result = run(password, start + "period-end --frequency biweekly");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    openOrg(copy, [](engine::Code4&, common::WorkingFolder&, setup::ORGS& orgs) {
        EXPECT_EQ(orgs.getOpenOrg()->payFreq, common::BIWEEKLY);
        EXPECT_EQ(orgs.getOpenOrg()->fortnightEndDay, 15);
        EXPECT_EQ(orgs.getOpenOrg()->weekEndDay, 8);
    });
}

// The demo backed up in November, a copy moved on to December and put back.
TEST_F(KeloCommandLineTest, BackupAndRestore) {
    const std::string backup = dir->file("november.kbk");
    KeloRun result = as("supervisor", "backup " + quoted(backup));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string bytes = readBytes(backup);
    EXPECT_EQ(lineOf(bytes, 0), "# Backup file for Mbeya Highland Tea Estates Ltd");
    EXPECT_EQ(lineOf(bytes, 1), "# [" + backup + "]");

    const std::string password = "KELO_PASSWORD=" + std::string(demo::kDemoPassword);
    const std::string copy = dir->file("restored");
    std::filesystem::copy(dir->file("demo"), copy, std::filesystem::copy_options::recursive);
    endPeriodsOn(copy, 28);
    const std::string start = "--data-folder " + quoted(copy) + " --org 1 --user supervisor ";
    ASSERT_EQ(run(password, start + "month-end").status, 0);
    result = run(password, start + "restore " + quoted(backup));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    ASSERT_EQ(run(password, start + "report 11 --txt " + quoted(copy + "/roll.txt")).status, 0);
    EXPECT_EQ(lineOf(readBytes(copy + "/roll.txt"), 1),
              "Employees Roll as at November 2026 - All Units\t");

    expectOneLine(as("supervisor", "backup " + file("no/folder/x.kbk")), 1,
                  "kelo: Unable to determine free space in target drive.");
    // The restore's own reason, then its verdict.
    writeBytes(dir->file("junk.kbk"), "junk\n");
    result = as("supervisor", "restore " + file("junk.kbk"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kelo: Format of " + dir->file("junk.kbk") +
                              " is unknown.\nkelo: Restore unsuccessful: Can't find last backup "
                              "disk.\n");
    expectOneLine(as("supervisor", "backup"), 2, "kelo: Usage: kelo backup FILE");
}

// The demo pays two employees by bank in November: MH015 542,000.00 to
// account 51200090515 and MH009 973,400.00 to 51200070709, both bank 05.
TEST_F(KeloCommandLineTest, BankTransferFiles) {
    const std::int32_t before = bankFileNumber(dir->file("demo"));
    KeloRun result =
        as("supervisor", "bank-file stanbic --process-date 2999-01-15 " + file("stanbic.csv"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string stanbic = readBytes(dir->file("stanbic.csv"));
    EXPECT_EQ(lineOf(stanbic, 0), "Reference,Name,Bank Code,Branch Code,Account Number,Amount");
    EXPECT_EQ(lineOf(stanbic, 1), "MH015,Chaula Lucas Amosi,05,502,0051200090515,54200000");
    EXPECT_EQ(lineOf(stanbic, 2), "MH009,Haonga Ramadhani Juma,05,501,0051200070709,97340000");
    EXPECT_EQ(bankFileNumber(dir->file("demo")), before + 1);

    result = as("supervisor", "bank-file scb --process-date 2999-01-15 " + file("scb.csv"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(lineOf(readBytes(dir->file("scb.csv")), 0), "H,P");

    const struct {
        std::string arguments;
        int status;
        std::string line;
    } failures[] = {
        {"bank-file citi --process-date 2999-01-15 " + file("citi.txt"), 1,
         "kelo: Invalid account number for Mbeya Highland Tea Estates Ltd. Bank transfer file not "
         "saved."},
        {"bank-file scb --process-date 2020-01-15 " + file("old.csv"), 1,
         "kelo: Process date can be no earlier than today."},
        {"bank-file hsbc --process-date 2999-01-15 " + file("x.csv"), 2,
         "kelo: The bank hsbc is not one of scb, barclays, citi and stanbic."},
        {"bank-file scb --process-date 2999-13-15 " + file("x.csv"), 2,
         "kelo: The process date 2999-13-15 is not a date written YYYY-MM-DD."},
        {"bank-file scb " + file("x.csv"), 2,
         "kelo: Usage: kelo bank-file BANK --process-date YYYY-MM-DD FILE"},
    };
    for (const auto& c : failures) {
        SCOPED_TRACE(c.arguments);
        expectOneLine(as("supervisor", c.arguments), c.status, c.line);
    }
}

// A choice the report's wizard lacks or would not offer: one line, and the
// status of a wrong command line or of a refusal.
TEST_F(KeloCommandLineTest, AReportChoiceTheWizardWouldNotOffer) {
    const struct {
        std::string arguments;
        int status;
        const char* line;
    } cases[] = {
        {"11 --txt x --field 'Net Pay'", 2, "--field does not apply to report 11."},
        {"34 --txt x --kind month", 2, "--kind does not apply to report 34."},
        {"32 --csv x --kind year --period 2026-11", 2,
         "--period does not apply to report 32 of the kind year."},
        {"12 --txt x --months 1-6", 2,
         "--months does not apply to report 12, which takes the whole year."},
        {"80 --csv x --months 3-6", 2, "The months of report 80 begin in January or July."},
        {"80 --csv x --months 1-9", 2, "The months of report 80 end in June or December."},
        {"34 --txt x --frequency fortnightly", 2,
         "The pay frequency fortnightly is not one of Monthly, Weekly, Biweekly or Irregular."},
        {"34 --txt x --period 2026-11-07", 2,
         "A monthly pay period has no day; give --period YYYY-MM."},
        {"71 --csv x --period 2026-11-07", 2,
         "The month of report 71 has no day; give --period YYYY-MM."},
        {"34 --txt x --kind week", 2, "The kind week is not one of period, month and year."},
        {"34 --txt x --station a --unit b", 2,
         "Give only one of --unit, --station, --pay-group, --bank, --coop and --pension-fund."},
        {"34 --txt x --year 2026 --year 2025", 2, "Give --year only once."},
        {"34 --txt x --field", 2, "Option --field needs a value."},
        {"80 --csv x --year 26", 2, "The year 26 is not written YYYY."},
        {"76 --csv x --field 'Net Pay'", 1,
         "The pay field Net Pay is not offered for report 76; it offers Staff Loan."},
        {"44 --csv x", 1, "The wizard of report 44 offers no pay field."},
        {"56 --csv x", 2,
         "Choose the pension fund of report 56 with --fund: NSSF Supplementary or PSSSF."},
        {"55 --csv x --fund PSSSF", 1,
         "The co-operative PSSSF is not offered for report 55; it offers Highland Staff SACCOS, "
         "Mbeya Tea Workers SACCOS or Rungwe Tea Growers Coop."},
        {"34 --txt x --station Moshi", 1,
         "There is no station Moshi; the list holds Isangati Estate, Kiwira Estate, Mbeya Head "
         "Office or Tukuyu Factory."},
        // The wizard's own refusals.
        {"80 --csv x --year 1899", 1, "Entry for year is invalid."},
        {"34 --txt x --frequency weekly --period 2026-10-31", 1,
         "The pay log keeps no report file for Week ending 31 October 2026."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        expectOneLine(as("supervisor", "report " + c.arguments), c.status,
                      std::string("kelo: ") + c.line);
    }
}

// The fields of a CSV line, their quotes taken off.
std::vector<std::string> csvFields(std::string line) {
    if (line.rfind(kBom, 0) == 0)
        line.erase(0, 3);
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else if (c != '\r')
            fields.back() += c;
    }
    return fields;
}

// The sum of the column `column` over the rows of a report's CSV.
double columnSum(const std::string& csv, const std::string& column) {
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> header = csvFields(line);
    const auto at = std::find(header.begin(), header.end(), column);
    if (at == header.end())
        return -1;
    const auto index = static_cast<std::size_t>(at - header.begin());
    double sum = 0;
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = csvFields(line);
        if (index < fields.size() && !fields[index].empty())
            sum += std::stod(fields[index]);
    }
    return sum;
}

// The employee leaves on `when`, his termination not yet through the
// payroll, as the Terminate dialog leaves him.
void terminate(const std::string& folderPath, const std::string& empNum, common::date when) {
    openOrg(folderPath, [&](engine::Code4& code, common::WorkingFolder& folder, setup::ORGS&) {
        database::STATDB staff(code, folder);
        database::TableUse use(staff, nullptr);
        ASSERT_TRUE(use);
        ASSERT_TRUE(staff.seekEmpNum(empNum));
        common::STATICREC rec;
        ASSERT_TRUE(staff.initRec(rec));
        rec.terminated = 1;
        rec.terminationDate = when;
        rec.terminationReason = "Resignation";
        ASSERT_TRUE(staff.updateFields(rec, false));
    });
}

// The statutory interest rate of the low interest loan benefit in 2026.
void setStatutoryRate(const std::string& folderPath, float rate) {
    openOrg(folderPath, [rate](engine::Code4& code, common::WorkingFolder& folder, setup::ORGS&) {
        database::PAYEPARAMDB paye(code, folder);
        ASSERT_TRUE(paye.openFile(2026, false));
        database::PAYEPARAMREC params;
        ASSERT_TRUE(paye.initRec(params));
        params.statRateJulDec = rate;
        EXPECT_TRUE(paye.updateRec(params));
        paye.closeFile();
    });
}

// A lump sum on the monthly payroll keyed for the employee in November, and
// its tax on the transactions form's lump sums page.
void payLumpSum(const std::string& folderPath, const std::string& empNum, const char* name,
                double amount, const char* tax) {
    openOrg(folderPath, [&](engine::Code4& code, common::WorkingFolder& folder, setup::ORGS& orgs) {
        testsupport::RecordingUi ui;
        const common::ORGREC org = *orgs.getOpenOrg();
        staffrecords::FIELDSFRM fields(ui, code, folder);
        ASSERT_TRUE(fields.checkFiles(ui, org)) << ui.lastMessage();
        ASSERT_TRUE(fields.open(ui, common::LUMPSUMS, org)) << ui.lastMessage();
        common::PayItemDef def = staffrecords::newItemDef(0, 0);
        def.itemName = name;
        def.upperLimit = 10000000;
        ASSERT_TRUE(fields.addItem(ui, def)) << ui.lastMessage();
        staffrecords::VARFRM form(ui, code, folder);
        ASSERT_TRUE(form.checkFiles(org) && form.open(org)) << ui.lastMessage();
        const auto index = form.findItem(common::LUMPSUMS, name);
        ASSERT_TRUE(index.has_value());
        EXPECT_TRUE(form.keyAmount(empNum, common::LUMPSUMS, *index, amount)) << ui.lastMessage();
        ASSERT_TRUE(form.findEmpNum(empNum));
        testsupport::FakeDialogView page;
        form.setPage(page, staffrecords::LUMP_SUMS_PAGE);
        form.displayPage();
        page.setText(staffrecords::varfrm::kLumpSumTax, tax);
        form.readPage();
        EXPECT_TRUE(form.validatePage()) << ui.lastMessage();
        EXPECT_TRUE(form.saveCurrentRec()) << ui.lastMessage();
        form.clearPage();
        EXPECT_TRUE(form.close());
    });
}

// Every report and return of the Report menu on one copy of the demo, moved
// on to December with MH010 leaving on 20 November, the statutory interest
// rate at 16% and a long service award of 500,000 to MH005 taxed 150,000:
// the pay-run reports and returns of November from the files the month end
// kept, the yearly ones of 2026.
TEST_F(KeloCommandLineTest, EveryReportAndReturn) {
    namespace fs = std::filesystem;
    const std::string copy = freshCopy("reports");
    endPeriodsOn(copy, 28);
    terminate(copy, "MH010", {2026, 20, 11});
    setStatutoryRate(copy, 16);
    payLumpSum(copy, "MH005", "Long Service Award", 500000, "150000");
    const std::string password = "KELO_PASSWORD=" + std::string(demo::kDemoPassword);
    const std::string start = "--data-folder " + quoted(copy) + " --org 1 --user supervisor ";
    KeloRun result = run(password, start + "month-end");
    ASSERT_EQ(result.status, 0) << result.err;
    fs::create_directory(copy + "/out");

    const struct {
        const char* file;
        const char* choices;
    } cases[] = {
        {"11.txt", "11"},
        {"11-psssf.csv", "11 --pension-fund PSSSF"},
        {"12.txt", "12 --year 2026"},
        {"13.csv", "13 --station 'Kiwira Estate'"},
        {"14.pdf", "14 --unit Factory"},
        {"15.pdf", "15 --year 2026"},
        {"16.txt", "16"},
        {"21.csv", "21"},
        {"22.csv", "22 --year 2026"},
        {"23.csv", "23 --year 2026"},
        {"24.csv", "24 --year 2026 --pay-group Management"},
        {"25.csv", "25 --year 2026"},
        {"31.csv", "31 --period 2026-11 --unit Estates"},
        {"32-period.csv", "32 --kind period --period 2026-11"},
        {"32-month.csv", "32 --kind month --period 2026-11"},
        {"32-year.csv", "32 --kind year --year 2026"},
        {"33-period.txt", "33 --kind period --period 2026-11"},
        {"33-month.txt", "33 --kind month --period 2026-11"},
        {"33-year.txt", "33 --kind year --year 2026"},
        {"34.txt", "34 --period 2026-11 --station 'Mbeya Head Office'"},
        {"34-weekly.txt", "34 --frequency weekly --period 2026-11-28"},
        {"41-coop.csv", "41 --period 2026-11 --field 'Tea Workers SACCOS'"},
        {"41-loan.csv", "41 --period 2026-11 --field 'Staff Loan'"},
        {"41-coop-loan.csv", "41 --period 2026-11 --field 'Tea Workers SACCOS Loan'"},
        {"41-savings.csv", "41 --period 2026-11 --field 'Staff Savings Scheme'"},
        {"42-housing.csv", "42 --period 2026-11 --field 'Housing Allowance'"},
        {"42-basic.csv", "42 --period 2026-11 --field 'Basic Pay'"},
        {"42-overtime.csv", "42 --period 2026-11 --field 'normal overtime'"},
        {"43.csv", "43 --period 2026-11 --field 'Motor Vehicle Benefit'"},
        {"44.csv", "44 --period 2026-11 --field 'Long Service Award'"},
        {"45.csv", "45 --field 'Rounding B/F'"},
        {"55.csv", "55 --period 2026-11 --fund 'Mbeya Tea Workers SACCOS'"},
        {"56.csv", "56 --period 2026-11 --fund PSSSF"},
        {"57.csv", "57 --period 2026-11"},
        {"61.csv", "61 --period 2026-11 --field 'Net Pay'"},
        {"62.csv", "62 --period 2026-11"},
        {"63.csv", "63 --period 2026-11 --field 'Salary Advance'"},
        {"64.csv", "64 --period 2026-11 --bank 'NMB Bank'"},
        {"71.csv", "71 --period 2026-11"},
        {"72.csv", "72 --period 2026-11"},
        {"73.csv", "73 --period 2026-11"},
        {"74.csv", "74 --period 2026-11"},
        {"76.csv", "76 --period 2026-11 --field 'Staff Loan'"},
        {"80.csv", "80 --year 2026 --months 7-12"},
        {"81.csv", "81 --year 2026"},
        {"82.csv", "82 --year 2026 --months 1-12"},
        {"85.txt", "85 --year 2026 --coop 'Highland Staff SACCOS'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choices);
        const std::string path = copy + "/out/" + c.file;
        const std::string format = fs::path(c.file).extension().string().substr(1);
        result = run(password, start + "report " + c.choices + " --" + format + " " + quoted(path));
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(fs::exists(path) && fs::file_size(path) > 0);
    }

    // Figures of the demo's November: the Tea Workers SACCOS contributions
    // 30,000 + 25,000 + 25,000 + 20,000 + 20,000 + 20,000; the housing
    // allowances 600,000 + 400,000 + 250,000 + 200,000 + 200,000; MH003's
    // loan of 3,000,000 at 10% below the statutory 16%: 3,000,000 x 6 / 1200.
    const std::string out = copy + "/out/";
    EXPECT_EQ(columnSum(readBytes(out + "41-coop.csv"), "Amount Deducted"), 140000);
    EXPECT_EQ(columnSum(readBytes(out + "42-housing.csv"), "Amount"), 1650000);
    EXPECT_EQ(columnSum(readBytes(out + "44.csv"), "Amount"), 500000);
    EXPECT_NE(readBytes(out + "57.csv").find(",150000"), std::string::npos)
        << readBytes(out + "57.csv");
    const std::string benefit = readBytes(out + "76.csv");
    EXPECT_NE(benefit.find("MH003"), std::string::npos) << benefit;
    EXPECT_NE(benefit.find(",15000"), std::string::npos) << benefit;
    // The two paid into NMB Bank accounts that the bank file test knows.
    const std::string nmb = readBytes(out + "64.csv");
    EXPECT_NE(nmb.find("\"Chaula, Lucas Amosi\",19800814-53115,NMB Bank,Tukuyu,51200090515,542000"),
              std::string::npos)
        << nmb;
    EXPECT_NE(
        nmb.find("\"Haonga, Ramadhani Juma\",19880423-53109,NMB Bank,Mbeya,51200070709,973400"),
        std::string::npos)
        << nmb;
    EXPECT_EQ(nmb.find("CRDB Bank"), std::string::npos) << nmb;
    // The leaver on the leavers roll of 2026.
    EXPECT_NE(readBytes(out + "12.txt").find("MH010"), std::string::npos);
}

// A month end whose annual returns store cannot take the period: the other
// stores move on, and the failure is the status with the store's reason
// and the count of errors.
TEST_F(KeloCommandLineTest, AMonthEndWithErrorsFails) {
    const std::string copy = freshCopy("errors");
    endPeriodsOn(copy, 28);
    const std::string store = copy + "/org01/2026/annualreturns.dbf";
    writeBytes(store, "not a store file\n");
    const KeloRun result =
        run("KELO_PASSWORD=" + std::string(demo::kDemoPassword),
            "--data-folder " + quoted(copy) + " --org 1 --user supervisor month-end");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    // The store refuses the period of each of the four pay frequencies.
    std::string reasons;
    for (int i = 0; i < 4; ++i)
        reasons += "kelo: Format of " + store + " is unknown.\n";
    EXPECT_EQ(result.err, reasons + "kelo: Month end procedure completed with 4 errors.\n");
    // The month has moved on all the same.
    const KeloRun roll =
        run("KELO_PASSWORD=" + std::string(demo::kDemoPassword),
            "--data-folder " + quoted(copy) + " --org 1 --user supervisor report 11 --txt " +
                quoted(copy + "/roll.txt"));
    EXPECT_EQ(roll.status, 0) << roll.err;
    EXPECT_EQ(lineOf(readBytes(copy + "/roll.txt"), 1),
              "Employees Roll as at December 2026 - All Units\t");
}

// The README's sample of employees, in the export's layout, goes into a copy
// of the demo whole: five new employees with posts still vacant.
TEST_F(KeloCommandLineTest, TheSampleEmployeesImport) {
    namespace fs = std::filesystem;
    const fs::path sample =
        fs::path(__FILE__).parent_path().parent_path().parent_path() / "data/samples/employees.csv";
    const std::string copy = freshCopy("sample");
    const std::string password = "KELO_PASSWORD=" + std::string(demo::kDemoPassword);
    const std::string start = "--data-folder " + quoted(copy) + " --org 1 --user supervisor ";
    KeloRun result = run(password, start + "import-employees " + quoted(sample.string()));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "5 employees were imported.\n");

    // Exported again, each comes out as the sample has him.
    result = run(password, start + "export-employees " + quoted(copy + "/staff.csv"));
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string staff = readBytes(copy + "/staff.csv");
    const std::string rows = readBytes(sample.string());
    EXPECT_EQ(lineOf(staff, 0), std::string(kBom) + lineOf(rows, 0));
    for (int row = 1; row <= 5; ++row) {
        SCOPED_TRACE(row);
        EXPECT_NE(staff.find(lineOf(rows, row) + "\r\n"), std::string::npos) << lineOf(rows, row);
    }
}

// The sample opening balances go into a copy of the demo, after a file with
// refused rows has changed nothing; the months imported show on the pay
// summary.
TEST_F(KeloCommandLineTest, ImportBalances) {
    namespace fs = std::filesystem;
    const fs::path sample =
        fs::path(__FILE__).parent_path().parent_path().parent_path() / "data/samples/balances.csv";
    const std::string copy = dir->file("balances");
    fs::copy(dir->file("demo"), copy, fs::copy_options::recursive);
    const std::string password = "KELO_PASSWORD=" + std::string(demo::kDemoPassword);
    const std::string start = "--data-folder " + quoted(copy) + " --org 1 --user ";

    const std::string header = lineOf(readBytes(sample.string()), 0) + "\r\n";
    writeBytes(dir->file("refused.csv"), header + "MH009,Staff Loan,\"450,000\",10,8,No,,,,,,,,\r\n"
                                                  "MH999,Staff Loan,1000,1,0,,,,,,,,,\r\n"
                                                  "MH020,Basic Pay,,,,,,,,,,,November,280000\r\n");
    KeloRun result = run(password, start + "supervisor import-balances " + file("refused.csv"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "kelo: Row 3, Employee Number: There is no employee numbered \"MH999\".\n"
                          "kelo: Row 4, Month: November 2026 has not been paid yet: the current "
                          "pay period is November 2026.\n"
                          "kelo: Nothing has been imported.\n");
    EXPECT_EQ(result.out, "");
    expectOneLine(run(password, start + "viewer import-balances " + quoted(sample.string())), 1,
                  "kelo: User viewer may not run import-balances.");
    expectOneLine(run(password, start + "supervisor import-balances"), 2,
                  "kelo: Usage: kelo import-balances FILE");

    result = run(password, start + "supervisor import-balances " + quoted(sample.string()));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "28 opening balances were imported.\n");

    // Kayombo's July to October, January to June left blank.
    result = run(password, start + "supervisor report 85 --txt " + quoted(copy + "/summary.txt"));
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string summary = readBytes(copy + "/summary.txt");
    const std::size_t page = summary.find("Employee Number: MH020\t");
    ASSERT_NE(page, std::string::npos);
    const std::size_t basic = summary.find("\nBasic Pay\t", page);
    const std::size_t nssf = summary.find("\nNSSF\t", page);
    ASSERT_NE(basic, std::string::npos);
    ASSERT_NE(nssf, std::string::npos);
    EXPECT_EQ(summary.substr(basic + 1, 48),
              "Basic Pay\t\t\t\t\t\t\t280,000\t280,000\t280,000\t280,000\t");
    EXPECT_EQ(summary.substr(nssf + 1, 39), "NSSF\t\t\t\t\t\t\t28,000\t28,000\t28,000\t28,000\t");

    // And on his P9: gross and taxable pay of each month, no PAYE.
    result = run(password, start + "supervisor report 80 --year 2026 --months 7-12 --csv " +
                               quoted(copy + "/p9.csv"));
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string p9 = readBytes(copy + "/p9.csv");
    for (const char* month : {"July", "August", "September", "October"}) {
        SCOPED_TRACE(month);
        EXPECT_NE(p9.find("\r\nMH020,\"Kayombo, Anthony Romanus\",112-756-260," +
                          std::string(month) + ",280000,252000,0\r\n"),
                  std::string::npos)
            << p9;
    }
}

} // namespace
} // namespace kelo::app
