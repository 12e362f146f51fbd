#pragma once

#include "common/Ui.h"

#include <map>
#include <optional>
#include <string>

namespace kelo::app::cli {

// The Ui port of the command line: every message is one line on the error
// stream, questions take their safe answer (the default, else No or
// Cancel), and a file chooser answers with the file named on the command
// line.
class TerminalUi final : public common::Ui {
public:
    common::Answer message(const std::string& text, common::MessageIcon icon,
                           common::MessageButtons buttons, const std::string& caption,
                           std::optional<common::Answer> defaultAnswer) override;
    void beep() override {}
    void setStatusText(const std::string&) override {}
    void beginWait() override {}
    void endWait() override {}
    std::optional<std::string> chooseSaveFile(const common::FileChoice& choice) override;
    std::optional<std::string> chooseOpenFile(const common::FileChoice& choice) override;
    std::optional<std::string> chooseFolder(const std::string& title,
                                            const std::string& initialFolder) override;

    // The file the next chooser answers with; none cancels it.
    void setChosenFile(std::optional<std::string> file) { chosen_ = std::move(file); }
    // The message `text` from now on is answered with `answer` and not shown:
    // a question the command has answered already, or a success that the exit
    // status tells.
    void answerQuietly(const std::string& text, common::Answer answer) { quiet_[text] = answer; }
    // Whether a message went to the error stream since the last clear.
    bool hasSaid() const { return said_; }
    void clearSaid() { said_ = false; }
    // Writes `text` on the error stream as one line, its line breaks as blanks.
    void say(const std::string& text);

private:
    std::optional<std::string> chosen_;
    std::map<std::string, common::Answer> quiet_;
    bool said_ = false;
};

} // namespace kelo::app::cli
