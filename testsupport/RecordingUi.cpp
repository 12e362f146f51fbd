#include "testsupport/RecordingUi.h"

namespace kelo::testsupport {

using common::Answer;
using common::MessageButtons;

common::Answer RecordingUi::message(const std::string& text, common::MessageIcon icon,
                                    common::MessageButtons buttons, const std::string& caption,
                                    std::optional<common::Answer> defaultAnswer) {
    messages.push_back({text, icon, buttons, caption, defaultAnswer});
    if (!answers.empty()) {
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (pressEnter && defaultAnswer)
        return *defaultAnswer;
    if (pressEnter && buttons == MessageButtons::RetryCancel)
        return Answer::Retry;
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? Answer::Yes
                                                                                      : Answer::Ok;
}

namespace {
std::optional<std::string> nextChoice(std::deque<std::optional<std::string>>& choices) {
    if (choices.empty())
        return std::nullopt;
    auto choice = choices.front();
    choices.pop_front();
    return choice;
}
} // namespace

std::optional<std::string> RecordingUi::chooseSaveFile(const common::FileChoice& choice) {
    fileChoices.push_back(choice);
    return nextChoice(choices);
}

std::optional<std::string> RecordingUi::chooseOpenFile(const common::FileChoice& choice) {
    fileChoices.push_back(choice);
    return nextChoice(choices);
}

std::optional<std::string> RecordingUi::chooseFolder(const std::string& title,
                                                     const std::string& initialFolder) {
    fileChoices.push_back({title, {}, {}, initialFolder, {}, false});
    return nextChoice(choices);
}

void RecordingUi::clear() {
    messages.clear();
    statusTexts.clear();
    fileChoices.clear();
    beeps = 0;
    waitCount = 0;
}

} // namespace kelo::testsupport
