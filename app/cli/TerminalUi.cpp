#include "app/cli/TerminalUi.h"

#include <cstdio>

namespace kelo::app::cli {

namespace {

// A message box breaks its text into lines; on the error stream a message
// is one line, its breaks become blanks.
std::string oneLine(const std::string& text) {
    std::string out;
    bool gap = false;
    for (char c : text) {
        const bool blank = c == '\n' || c == '\r' || c == ' ' || c == '\t';
        if (blank) {
            gap = !out.empty();
            continue;
        }
        if (gap)
            out += ' ';
        gap = false;
        out += c;
    }
    return out;
}

} // namespace

void TerminalUi::say(const std::string& text) {
    std::fprintf(stderr, "kelo: %s\n", oneLine(text).c_str());
    std::fflush(stderr);
    said_ = true;
}

common::Answer TerminalUi::message(const std::string& text, common::MessageIcon /*icon*/,
                                   common::MessageButtons buttons, const std::string& /*caption*/,
                                   std::optional<common::Answer> defaultAnswer) {
    if (const auto quiet = quiet_.find(text); quiet != quiet_.end())
        return quiet->second;
    say(text);
    if (defaultAnswer)
        return *defaultAnswer;
    switch (buttons) {
    case common::MessageButtons::Ok:
        return common::Answer::Ok;
    case common::MessageButtons::YesNo:
        return common::Answer::No;
    case common::MessageButtons::OkCancel:
    case common::MessageButtons::YesNoCancel:
    case common::MessageButtons::RetryCancel:
        return common::Answer::Cancel;
    }
    return common::Answer::Cancel;
}

std::optional<std::string> TerminalUi::chooseSaveFile(const common::FileChoice& /*choice*/) {
    return chosen_;
}

std::optional<std::string> TerminalUi::chooseOpenFile(const common::FileChoice& /*choice*/) {
    return chosen_;
}

std::optional<std::string> TerminalUi::chooseFolder(const std::string& /*title*/,
                                                    const std::string& /*initialFolder*/) {
    return std::nullopt;
}

} // namespace kelo::app::cli
