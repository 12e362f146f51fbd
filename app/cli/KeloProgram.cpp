#include "app/cli/KeloProgram.h"

#include "app/cli/OrgChoiceView.h"
#include "app/cli/ReportChoices.h"
#include "app/cli/TerminalUi.h"
#include "app/main/ReportCommands.h"
#include "app/main/ReportPrinting.h"
#include "app/main/Session.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "common/ReportBase.h"
#include "dataexchange/BalanceImport.h"
#include "dataexchange/EmployeeImport.h"
#include "dataexchange/ImportCommands.h"
#include "engine/Data4.h"
#include "engine/EngineCodes.h"
#include "payrunreports/BankTransfer.h"
#include "procedures/LiveGuard.h"
#include "procedures/LiveStores.h"
#include "procedures/MonthEnd.h"
#include "procedures/PasswordCaution.h"
#include "procedures/PeriodEnd.h"
#include "reporting/OpenReport.h"
#include "setup/Backup.h"
#include "setup/Orgs.h"
#include "setup/ReportWizard.h"
#include "setup/Users.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <termios.h>
#include <unistd.h>

namespace kelo::app::cli {

namespace {

struct CommandHelp {
    const char* name;
    const char* usage;
    const char* text;
};

constexpr CommandHelp kCommands[] = {
    {"report", "report CODE --pdf|--txt|--csv FILE [CHOICES]",
     "Writes the report or return of the code CODE as a PDF, text or CSV file."},
    {"export-employees", "export-employees FILE",
     "Writes the employee list to the CSV file FILE, whole or not at all."},
    {"import-employees", "import-employees FILE",
     "Adds the employees of the CSV file FILE. Every row is checked first; when any\n"
     "is refused, each refusal is listed and nothing is imported."},
    {"import-balances", "import-balances FILE",
     "Sets the opening balances of loans, savings plans, pension funds, co-operatives\n"
     "and cost recoveries, and the year-to-date amounts of the months already paid,\n"
     "from the CSV file FILE. Every row is checked first; when any is refused, each\n"
     "refusal is listed and nothing is imported."},
    {"month-end", "month-end",
     "Runs the month end of the organisation with the password given at the start\n"
     "as the answer to its caution, and without the backup it offers. Fails when\n"
     "the month end is cancelled or any of its steps fails."},
    {"period-end", "period-end [--frequency weekly|biweekly|irregular]",
     "Runs the period end of the weekly, biweekly or irregular payroll the\n"
     "organisation works on, or of the one --frequency names, which then becomes the\n"
     "payroll worked on, with the password given at the start as the answer to its\n"
     "caution. Fails when the period end is refused or cancelled or any of its\n"
     "steps fails."},
    {"backup", "backup FILE",
     "Backs the organisation's tables and pay field definitions up into FILE."},
    {"restore", "restore FILE",
     "Replaces the organisation's tables and pay field definitions with the backup\n"
     "in FILE, once the whole backup has been checked."},
    {"bank-file", "bank-file BANK --process-date YYYY-MM-DD FILE",
     "Writes the bank transfer file of the current pay period to FILE for BANK, one\n"
     "of scb, barclays, citi and stanbic, to be processed on the date given (today\n"
     "or later). The organisation's bank transfer file number moves on by one."},
    {"check", "check",
     "Opens every table of the organisation and reads each of its records; lists\n"
     "each damaged table on the error stream and fails when there is one."},
};

const CommandHelp* findCommand(const std::string& name) {
    const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const CommandHelp& c) { return name == c.name; });
    return found == std::end(kCommands) ? nullptr : found;
}

std::optional<long> numberOf(const std::string& text) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [last, fault] = std::from_chars(text.data(), end, value);
    if (fault != std::errc() || last != end || text.empty())
        return std::nullopt;
    return value;
}

enum class Format { Pdf, Text, Csv };

// What the backup and the restore say when they succeed.
constexpr const char* kBackupDone = "Backup successful.";
constexpr const char* kRestoreDone = "Restore successful.";
constexpr const char* kBankFileDone = "Bank transfer file saved";

// A command with its arguments checked, before anyone logs in.
struct Command {
    std::string name;
    int commandId = 0;
    std::int32_t reportCode = 0;
    Format format = Format::Pdf;
    std::string file;
    ReportChoices choices;
    std::array<long, 3> processDate{};      // year, month, day
    std::optional<common::PAYFREQ> payFreq; // period-end --frequency
};

constexpr std::pair<const char*, std::int32_t> kBanks[] = {
    {"scb", common::kReportStandardCharteredFile},
    {"barclays", common::kReportBarclaysFile},
    {"citi", common::kReportCitibankFile},
    {"stanbic", common::kReportStanbicFile},
};

// The Report menu command that opens the report of `code`.
std::optional<int> reportCommandOf(std::int32_t code) {
    for (int id = 1000; id < 2000; ++id)
        if (reportCodeOf(id) == code)
            return id;
    return std::nullopt;
}

bool parseReport(const std::vector<std::string>& args, Command& command, std::string& error) {
    std::optional<long> code;
    bool formatGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const ChoiceParse choice = parseReportChoice(args, i, command.choices, error);
        if (choice == ChoiceParse::Wrong)
            return false;
        if (choice == ChoiceParse::Taken)
            continue;
        const bool takesValue = arg == "--pdf" || arg == "--txt" || arg == "--csv";
        if (takesValue && i + 1 >= args.size()) {
            error = "Option " + arg + " needs a value.";
            return false;
        }
        if (arg == "--pdf" || arg == "--txt" || arg == "--csv") {
            if (formatGiven) {
                error = "Give only one of --pdf, --txt and --csv.";
                return false;
            }
            formatGiven = true;
            command.format = arg == "--pdf"   ? Format::Pdf
                             : arg == "--txt" ? Format::Text
                                              : Format::Csv;
            command.file = args[++i];
        } else if (!code && arg.rfind("--", 0) != 0) {
            code = numberOf(arg);
            if (!code) {
                error = "The report code " + arg + " is not a number.";
                return false;
            }
        } else {
            error = "Unknown argument " + arg + " for report.";
            return false;
        }
    }
    if (!code || !formatGiven) {
        error = std::string("Usage: kelo ") + findCommand("report")->usage;
        return false;
    }
    command.reportCode = static_cast<std::int32_t>(*code);
    const std::optional<int> id = reportCommandOf(command.reportCode);
    if (!id) {
        error = "No report has the code " + std::to_string(*code) + ".";
        return false;
    }
    command.commandId = *id;
    return true;
}

bool parseBankFile(const std::vector<std::string>& args, Command& command, std::string& error) {
    std::vector<std::string> plain;
    std::optional<std::string> date;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--process-date" && i + 1 < args.size())
            date = args[++i];
        else if (args[i].rfind("--", 0) == 0)
            plain.push_back({}); // wrong either way
        else
            plain.push_back(args[i]);
    }
    if (plain.size() != 2 || plain[0].empty() || plain[1].empty() || !date) {
        error = std::string("Usage: kelo ") + findCommand("bank-file")->usage;
        return false;
    }
    const auto bank = std::find_if(std::begin(kBanks), std::end(kBanks),
                                   [&](const auto& b) { return plain[0] == b.first; });
    if (bank == std::end(kBanks)) {
        error = "The bank " + plain[0] + " is not one of scb, barclays, citi and stanbic.";
        return false;
    }
    const std::string& value = *date;
    const bool shaped = value.size() == 10 && value[4] == '-' && value[7] == '-';
    const auto year = shaped ? numberOf(value.substr(0, 4)) : std::nullopt;
    const auto month = year ? numberOf(value.substr(5, 2)) : std::nullopt;
    const auto day = month ? numberOf(value.substr(8)) : std::nullopt;
    if (!day || *month < 1 || *month > 12 || *day < 1 || *day > 31) {
        error = "The process date " + value + " is not a date written YYYY-MM-DD.";
        return false;
    }
    command.reportCode = bank->second;
    command.processDate = {*year, *month, *day};
    command.file = plain[1];
    command.commandId = cmd::BankTransferFile;
    return true;
}

bool parsePeriodEnd(const std::vector<std::string>& args, Command& command, std::string& error) {
    command.commandId = cmd::PeriodEnd;
    if (args.empty())
        return true;
    if (args.size() != 2 || args[0] != "--frequency") {
        error = std::string("Usage: kelo ") + findCommand("period-end")->usage;
        return false;
    }
    constexpr std::pair<const char*, common::PAYFREQ> kNames[] = {
        {"weekly", common::WEEKLY},
        {"biweekly", common::BIWEEKLY},
        {"irregular", common::IRREGULAR},
    };
    for (const auto& [name, payFreq] : kNames)
        if (args[1] == name)
            command.payFreq = payFreq;
    if (!command.payFreq)
        error = "The pay frequency " + args[1] + " is not one of weekly, biweekly and irregular.";
    return command.payFreq.has_value();
}

bool parseCommand(const Invocation& invocation, Command& command, std::string& error) {
    command.name = invocation.command;
    const std::vector<std::string>& args = invocation.arguments;
    if (command.name == "report")
        return parseReport(args, command, error);
    if (command.name == "bank-file")
        return parseBankFile(args, command, error);
    if (command.name == "period-end")
        return parsePeriodEnd(args, command, error);
    if (command.name == "check" || command.name == "month-end") {
        if (!args.empty()) {
            error = "Usage: kelo " + command.name;
            return false;
        }
        command.commandId = command.name == "month-end" ? cmd::MonthEnd : 0;
        return true;
    }
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
        error = std::string("Usage: kelo ") + findCommand(command.name)->usage;
        return false;
    }
    command.file = args[0];
    // The backup asks its drive for the free space of the file's folder.
    if (command.name == "backup" || command.name == "restore") {
        std::error_code ignored;
        command.file = std::filesystem::absolute(args[0], ignored).string();
    }
    // The balances are the payroll records' own, under their right.
    command.commandId = command.name == "import-employees"  ? cmd::ImportEmployees
                        : command.name == "import-balances" ? cmd::Transactions
                        : command.name == "backup"          ? cmd::Backup
                        : command.name == "restore"         ? cmd::Restore
                                                            : cmd::ExportEmployees;
    return true;
}

// The password from KELO_PASSWORD, else typed at the terminal without echo.
std::optional<std::string> readPassword() {
    if (const char* fromEnvironment = std::getenv("KELO_PASSWORD"))
        return std::string(fromEnvironment);
    if (!isatty(STDIN_FILENO))
        return std::nullopt;
    std::fputs("Password: ", stderr);
    std::fflush(stderr);
    termios saved{};
    const bool quiet = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    std::string password;
    const bool read = static_cast<bool>(std::getline(std::cin, password));
    if (quiet)
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputs("\n", stderr);
    if (!read)
        return std::nullopt;
    return password;
}

// One line on the error stream unless the libraries have already said why.
int fail(TerminalUi& ui, const std::string& text) {
    if (!ui.hasSaid())
        ui.say(text);
    return kFailure;
}

std::optional<std::string> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int runReport(const Command& command, Session& session, TerminalUi& ui) {
    const common::ORGREC org = *session.orgs().getOpenOrg();
    setup::ReportWizard wizard(ui, session.code(), session.folder(), org, command.reportCode);
    if (const int status = makeReportChoices(wizard, command.choices, ui); status != kSuccess)
        return status;
    const std::unique_ptr<common::REPORTBASE> report =
        reporting::openReport(ui, session.code(), session.folder(), wizard.param(), org);
    if (!report)
        return fail(ui, "The report could not be made.");
    ui.setChosenFile(command.file);
    switch (command.format) {
    case Format::Pdf:
        if (!savePdfParts(*report, ui, {{command.file, 1, report->pageCount()}}))
            return fail(ui, "Can't save to " + command.file);
        return kSuccess;
    case Format::Text:
        if (!report->exportText())
            return fail(ui, "This report has no text export.");
        if (!report->saveAsTxt(session.folder()))
            return fail(ui, "Can't save to " + command.file);
        return kSuccess;
    case Format::Csv:
        if (!report->exportCsv())
            return fail(ui, "This report has no CSV export.");
        if (!report->saveAsCsv(session.folder()))
            return fail(ui, "Can't save to " + command.file);
        return kSuccess;
    }
    return kFailure;
}

// Every refused row on the error stream and nothing imported, or the rows
// imported counted.
template <class Import>
int importRows(Import& import, const std::string& bytes, const common::ORGREC& org, TerminalUi& ui,
               const char* one, const char* many) {
    const dataexchange::ImportPreview& preview = import.read(bytes);
    if (!preview.accepted() || !import.commit(ui, org)) {
        for (const dataexchange::ImportRefusal& refusal : import.preview().refusals)
            ui.say(dataexchange::refusalLine(refusal));
        ui.say("Nothing has been imported.");
        return kFailure;
    }
    const std::size_t count = import.preview().rows;
    std::cout << (count == 1 ? std::string("1 ") + one + " was"
                             : std::to_string(count) + " " + many + " were")
              << " imported.\n";
    return kSuccess;
}

int runImport(const Command& command, Session& session, TerminalUi& ui) {
    const std::optional<std::string> bytes = bytesOf(command.file);
    if (!bytes)
        return fail(ui, "Can't open " + command.file);
    const common::ORGREC org = *session.orgs().getOpenOrg();
    if (command.name == "import-balances") {
        dataexchange::BalanceImport import(session.code(), session.folder(), org);
        return importRows(import, *bytes, org, ui, "opening balance", "opening balances");
    }
    dataexchange::EmployeeImport import(session.code(), session.folder());
    return importRows(import, *bytes, org, ui, "employee", "employees");
}

// Why the table at `path` cannot be read whole, with its path; none when it
// can.
std::optional<std::string> damageOf(engine::Code4& code, const std::string& path) {
    code.setErrorCode(0);
    const std::unique_ptr<engine::Data4> table = engine::Data4::open(code, path);
    int rc = table ? table->top() : code.errorCode();
    while (table && rc == engine::r4success && !table->eof())
        rc = table->skip();
    if (rc >= 0 && code.errorCode() >= 0)
        return std::nullopt;
    return code.errorText().empty() ? path + ": error " + std::to_string(rc) : code.errorText();
}

// The tables of the organisation's own folders; the year folders hold the
// report stores, files of other kinds. Reading only, so no right is needed.
int runCheck(Session& session, TerminalUi& ui) {
    namespace fs = std::filesystem;
    const fs::path org = session.folder().current();
    std::vector<fs::path> tables;
    for (const char* folder : {"database", "settings"}) {
        std::error_code failure;
        for (const fs::directory_entry& entry : fs::directory_iterator(org / folder, failure))
            if (entry.path().extension() == ".dbf")
                tables.push_back(entry.path());
        if (failure)
            return fail(ui, "Can't open folder " + (org / folder).string());
    }
    std::sort(tables.begin(), tables.end());
    std::size_t damaged = 0;
    for (const fs::path& table : tables) {
        if (const std::optional<std::string> why = damageOf(session.code(), table.string())) {
            ui.say(*why);
            ++damaged;
        }
    }
    session.code().setErrorCode(0);
    if (damaged > 0) {
        ui.say(std::to_string(damaged) + " of " + std::to_string(tables.size()) +
               " tables are damaged.");
        return kFailure;
    }
    std::cout << tables.size() << " tables checked; none is damaged.\n";
    return kSuccess;
}

int runMonthEnd(Session& session, const std::string& password, TerminalUi& ui) {
    ui.answerQuietly(procedures::monthendtext::BackupQuestion, common::Answer::No);
    ui.answerQuietly(procedures::monthendtext::Completed, common::Answer::Ok);
    procedures::LiveMonthEndStores stores({ui, session.code(), session.folder(), session.orgs(),
                                           session.users(), setup::systemDrive(),
                                           setup::systemClock()});
    procedures::LiveMonthEndGuard guard(session.code(), session.folder());
    procedures::PasswordCaution caution(password);
    procedures::MONTHEND monthEnd(ui, stores, guard, caution, session.paths().sourceFolder);
    const int errors = monthEnd.monthEnd();
    if (errors > 0)
        return fail(ui, procedures::monthendtext::completedWithErrors(errors));
    if (errors < 0)
        return fail(ui, procedures::monthendtext::Cancelled);
    return kSuccess;
}

int runPeriodEnd(const Command& command, Session& session, const std::string& password,
                 TerminalUi& ui) {
    if (command.payFreq && session.orgs().setPayFreq(*command.payFreq) != 1)
        return fail(ui, "Can't keep the payroll to work on.");
    ui.answerQuietly(procedures::periodendtext::Completed, common::Answer::Ok);
    procedures::LiveMonthEndStores stores({ui, session.code(), session.folder(), session.orgs(),
                                           session.users(), setup::systemDrive(),
                                           setup::systemClock()});
    procedures::LiveMonthEndGuard guard(session.code(), session.folder());
    procedures::PasswordCaution caution(password);
    procedures::PERIODEND periodEnd(ui, stores, guard, caution);
    const int errors = periodEnd.periodEnd();
    if (errors > 0)
        return fail(ui, procedures::periodendtext::completedWithErrors(errors));
    if (errors < 0)
        return fail(ui, procedures::periodendtext::Cancelled);
    return kSuccess;
}

int runBackup(const Command& command, Session& session, TerminalUi& ui) {
    ui.answerQuietly(kBackupDone, common::Answer::Ok);
    ui.setChosenFile(command.file);
    if (session.orgs().backup(setup::systemDrive(), setup::systemClock()) != 1)
        return fail(ui, "Can't save to " + command.file);
    return kSuccess;
}

// The wizard's choices for the current pay period, with the bank and the
// process date given.
int runBankFile(const Command& command, Session& session, TerminalUi& ui) {
    setup::ORGS& orgs = session.orgs();
    setup::ReportWizard wizard(ui, session.code(), session.folder(), *orgs.getOpenOrg(),
                               command.reportCode);
    // The wizard proposes its first pay field, the net pay.
    const std::vector<setup::WizardPage> pages = wizard.plan().pages;
    if (std::find(pages.begin(), pages.end(), setup::WizardPage::PayField) != pages.end() &&
        (!wizard.loadFieldChoices() || wizard.fieldChoices().empty() ||
         !wizard.applyPayField(wizard.fieldChoices().front().name)))
        return fail(ui, "The pay fields cannot be read.");
    const auto [year, month, day] = command.processDate;
    if (!wizard.applyTransferBank(command.reportCode) ||
        !wizard.applyProcessDate(year, static_cast<int>(month), day))
        return fail(ui, "The process date is refused.");
    ui.answerQuietly(kBankFileDone, common::Answer::Ok);
    ui.setChosenFile(command.file);
    if (!payrunreports::saveBankTransferFile(ui, session.code(), session.folder(), wizard.param(),
                                             *orgs.getOpenOrg(), [&orgs] { orgs.incrBTrFileID(); }))
        return fail(ui, "Can't save to " + command.file);
    return kSuccess;
}

// Running the command is the consent the Caution dialog asks for.
int runRestore(const Command& command, Session& session, TerminalUi& ui) {
    ui.answerQuietly(kRestoreDone, common::Answer::Ok);
    ui.setChosenFile(command.file);
    if (session.orgs().restore(setup::systemDrive(), setup::systemClock()) != 1)
        return fail(ui, "Can't restore from " + command.file);
    return kSuccess;
}

int runCommand(const Command& command, Session& session, const std::string& password,
               TerminalUi& ui) {
    if (command.name == "check")
        return runCheck(session, ui);
    CommandContext context;
    context.user = *session.users().getUser();
    if (!CommandRules::mayRun(command.commandId, context))
        return fail(ui, "User " + context.user.userName + " may not run " + command.name +
                            (command.name == "report" ? " " + std::to_string(command.reportCode)
                                                      : std::string()) +
                            ".");
    if (command.name == "report")
        return runReport(command, session, ui);
    if (command.name == "import-employees" || command.name == "import-balances")
        return runImport(command, session, ui);
    if (command.name == "month-end")
        return runMonthEnd(session, password, ui);
    if (command.name == "period-end")
        return runPeriodEnd(command, session, password, ui);
    if (command.name == "backup")
        return runBackup(command, session, ui);
    if (command.name == "bank-file")
        return runBankFile(command, session, ui);
    if (command.name == "restore")
        return runRestore(command, session, ui);
    ui.setChosenFile(command.file);
    if (!dataexchange::exportEmployeesToFile(ui, session.code(), session.folder()))
        return fail(ui, "Can't save to " + command.file);
    return kSuccess;
}

// Opens the data folder, logs the user in and opens the organisation as the
// program's start does, then runs the command.
int runSession(const Invocation& invocation, const Command& command, long orgNum,
               const std::string& password, const std::string& programFolder, TerminalUi& ui) {
    Session session(ui, ProgramPaths::beside(programFolder));
    std::error_code ignored;
    session.appConfig().setDataFolder(
        std::filesystem::absolute(invocation.dataFolder, ignored).string());
    if (!session.appConfig().openDataDir(ui, session.folder()) || !session.openDataFolder())
        return fail(ui, "Can't open the data folder " + invocation.dataFolder);
    session.createModules();
    setup::USERS& users = session.users();
    bool passwordSet = true;
    if (!users.logIn(ui, invocation.user, password, passwordSet))
        return fail(ui, "Access denied.");
    if (!passwordSet) {
        users.logout();
        return fail(ui, "User " + invocation.user +
                            " has no password yet; log in to Kelo Roster once to choose one.");
    }
    setup::ORGS& orgs = session.orgs();
    if (!orgs.checkTable())
        return fail(ui, "The organisations table cannot be read.");
    procedures::recoverMonthEnds(ui, session.code(), session.folder());
    OrgChoiceView choice(orgNum);
    orgs.initOrgList(choice, {});
    if (choice.selectedRow({}) < 0 || orgs.openSelOrg(choice) != 1)
        return fail(ui, "There is no organisation " + std::to_string(orgNum) + ".");
    ui.clearSaid();
    const int status = runCommand(command, session, password, ui);
    users.logout();
    return status;
}

// The codes of the Report menu's reports, each with its wizard's title.
std::string reportCodesHelp() {
    std::vector<std::int32_t> codes;
    for (int id = 1000; id < 2000; ++id)
        if (const std::optional<std::int32_t> code = reportCodeOf(id))
            codes.push_back(*code);
    std::sort(codes.begin(), codes.end());
    std::string text = "Report codes:\n";
    for (std::int32_t code : codes) {
        std::string title = setup::wizardPlan(code).title;
        if (title.rfind("View ", 0) == 0)
            title.erase(0, 5);
        const std::string number = std::to_string(code);
        text += "  " + number + std::string(number.size() < 5 ? 5 - number.size() : 1, ' ') +
                title + "\n";
    }
    return text;
}

} // namespace

bool parseInvocation(const std::vector<std::string>& args, Invocation& invocation,
                     std::string& error) {
    std::size_t i = 0;
    for (; i < args.size() && invocation.command.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            invocation.help = true;
            continue;
        }
        std::string* value = arg == "--data-folder" ? &invocation.dataFolder
                             : arg == "--user"      ? &invocation.user
                             : arg == "--org"       ? &invocation.org
                                                    : nullptr;
        if (value) {
            if (i + 1 >= args.size()) {
                error = "Option " + arg + " needs a value.";
                return false;
            }
            *value = args[++i];
        } else if (arg.rfind("-", 0) == 0) {
            error = "Unknown option " + arg + ".";
            return false;
        } else {
            invocation.command = arg;
        }
    }
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h")
            invocation.help = true;
        else
            invocation.arguments.push_back(args[i]);
    }
    if (!invocation.command.empty() && !isCommand(invocation.command)) {
        error = "Unknown command " + invocation.command + "; kelo --help lists the commands.";
        return false;
    }
    return true;
}

bool isCommand(const std::string& command) {
    return findCommand(command) != nullptr;
}

std::string helpText(const std::string& command) {
    if (!command.empty()) {
        const CommandHelp* found = findCommand(command);
        if (!found)
            return {};
        std::string text = std::string("Usage: kelo --data-folder FOLDER --org N --user NAME ") +
                           found->usage + "\n\n" + found->text + "\n";
        if (command == "report")
            text += std::string("\n") + kReportChoicesHelp + "\n" + reportCodesHelp();
        return text;
    }
    std::string text = "Usage: kelo --data-folder FOLDER --org N --user NAME COMMAND [ARGUMENTS]\n"
                       "\n"
                       "Kelo Roster without its windows: runs one command on organisation N of\n"
                       "the data folder and exits with status 0 on success. The password comes\n"
                       "from the environment variable KELO_PASSWORD, else from a prompt.\n"
                       "\n"
                       "Commands:\n";
    for (const CommandHelp& c : kCommands)
        text += std::string("  ") + c.usage + "\n";
    text += "\nkelo COMMAND --help describes a command.\n";
    return text;
}

bool needsGui(const Invocation& invocation) {
    return invocation.command == "report" &&
           std::find(invocation.arguments.begin(), invocation.arguments.end(), "--pdf") !=
               invocation.arguments.end();
}

int runInvocation(const Invocation& invocation, const std::string& programFolder, TerminalUi& ui) {
    if (invocation.help) {
        std::cout << helpText(invocation.command);
        return kSuccess;
    }
    if (invocation.command.empty()) {
        ui.say("No command given; kelo --help lists the commands.");
        return kUsage;
    }
    Command command;
    std::string error;
    if (!parseCommand(invocation, command, error)) {
        ui.say(error);
        return kUsage;
    }
    const char* missing = invocation.dataFolder.empty() ? "--data-folder"
                          : invocation.org.empty()      ? "--org"
                          : invocation.user.empty()     ? "--user"
                                                        : nullptr;
    if (missing) {
        ui.say(std::string("Option ") + missing + " is missing.");
        return kUsage;
    }
    const std::optional<long> orgNum = numberOf(invocation.org);
    if (!orgNum || *orgNum < 1) {
        ui.say("The organisation " + invocation.org + " is not a number.");
        return kUsage;
    }
    const std::optional<std::string> password = readPassword();
    if (!password) {
        ui.say("No password: set KELO_PASSWORD or run kelo at a terminal.");
        return kFailure;
    }
    return runSession(invocation, command, *orgNum, *password, programFolder, ui);
}

} // namespace kelo::app::cli
