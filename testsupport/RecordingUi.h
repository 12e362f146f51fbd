#pragma once

#include "common/Ui.h"

#include <deque>
#include <string>
#include <vector>

namespace kelo::testsupport {

// A Ui that remembers everything shown and answers from a script.
class RecordingUi : public common::Ui {
public:
    struct Message {
        std::string text;
        common::MessageIcon icon;
        common::MessageButtons buttons;
        std::string caption;
        std::optional<common::Answer> defaultAnswer;
    };

    common::Answer message(const std::string& text, common::MessageIcon icon,
                           common::MessageButtons buttons, const std::string& caption,
                           std::optional<common::Answer> defaultAnswer) override;
    void beep() override { ++beeps; }
    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void beginWait() override {
        ++waitDepth;
        ++waitCount;
    }
    void endWait() override { --waitDepth; }
    std::optional<std::string> chooseSaveFile(const common::FileChoice& choice) override;
    std::optional<std::string> chooseOpenFile(const common::FileChoice& choice) override;
    std::optional<std::string> chooseFolder(const std::string& title,
                                            const std::string& initialFolder) override;

    // The script: answers are taken in order; with none left a message gets
    // Ok (or Yes for Yes/No questions) and a chooser is cancelled. With
    // `pressEnter` set, a message with no scripted answer gets its default
    // button, as a user pressing Enter would.
    std::deque<common::Answer> answers;
    std::deque<std::optional<std::string>> choices;
    bool pressEnter = false;

    std::vector<Message> messages;
    std::vector<std::string> statusTexts;
    std::vector<common::FileChoice> fileChoices;
    int beeps = 0;
    int waitDepth = 0;
    int waitCount = 0;

    // The text of the last message, or "" when none was shown.
    std::string lastMessage() const { return messages.empty() ? "" : messages.back().text; }
    void clear();
};

} // namespace kelo::testsupport
