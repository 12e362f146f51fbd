#pragma once

#include <string>
#include <vector>

namespace kelo::app::cli {

class TerminalUi;

// Exit statuses of `kelo`.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1; // the command ran and failed, or was refused
inline constexpr int kUsage = 2;   // the command line itself is wrong

// The command line as typed, split into the options before the command, the
// command and its own arguments.
struct Invocation {
    std::string dataFolder;
    std::string user;
    std::string org;
    bool help = false;
    std::string command;
    std::vector<std::string> arguments;
};

// Splits the arguments after the program's name; false with `error` set for
// an unknown option or one without its value.
bool parseInvocation(const std::vector<std::string>& args, Invocation& invocation,
                     std::string& error);

// The help of the program, or of `command`; empty for an unknown command.
std::string helpText(const std::string& command = {});
bool isCommand(const std::string& command);
// Whether the command draws (a PDF), so that the program needs a GUI
// application.
bool needsGui(const Invocation& invocation);

// Logs in, opens the organisation and runs the command; the exit status.
// `programFolder` holds the shipped statutory tables.
int runInvocation(const Invocation& invocation, const std::string& programFolder, TerminalUi& ui);

} // namespace kelo::app::cli
