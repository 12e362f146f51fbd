#pragma once

#include <optional>
#include <string>

namespace kelo::common {

// The caption of every message box of the program.
inline constexpr const char* kMessageCaption = "Kelo Roster";

enum class MessageIcon { Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// What a file chooser is opened with.
struct FileChoice {
    std::string title;
    std::string filter;           // "Text Files (*.txt)"
    std::string defaultExtension; // "txt", added when the name has none
    std::string initialFolder;
    std::string fileName;        // proposed name
    bool overwritePrompt = true; // save: ask before replacing a file
};

// The user-facing port of the libraries: message boxes, the status bar's
// first part, the wait cursor, file and folder choosers and the beep. The Qt
// program implements it over real widgets; tests use a recording double.
class Ui {
public:
    virtual ~Ui() = default;

    // `defaultAnswer` names the button that Enter presses; without one it is
    // the first button (Ok, Yes or Retry).
    virtual Answer message(const std::string& text, MessageIcon icon,
                           MessageButtons buttons = MessageButtons::Ok,
                           const std::string& caption = kMessageCaption,
                           std::optional<Answer> defaultAnswer = std::nullopt) = 0;
    virtual void beep() = 0;
    // Progress texts such as "Updating %s..."; an empty text clears the part.
    virtual void setStatusText(const std::string& text) = 0;
    virtual void beginWait() = 0;
    virtual void endWait() = 0;
    // nullopt when the user cancels.
    virtual std::optional<std::string> chooseSaveFile(const FileChoice& choice) = 0;
    virtual std::optional<std::string> chooseOpenFile(const FileChoice& choice) = 0;
    virtual std::optional<std::string> chooseFolder(const std::string& title,
                                                    const std::string& initialFolder) = 0;

    // The three kinds of message the system shows most.
    void error(const std::string& text) { message(text, MessageIcon::Error); }
    void warning(const std::string& text) { message(text, MessageIcon::Warning); }
    void information(const std::string& text) { message(text, MessageIcon::Information); }
    // A Yes/No question; true for Yes. Questions before something that cannot
    // be undone make No the default, so that Enter never destroys.
    bool ask(const std::string& text, Answer defaultAnswer = Answer::Yes) {
        return message(text, MessageIcon::Question, MessageButtons::YesNo, kMessageCaption,
                       defaultAnswer) == Answer::Yes;
    }
};

// Shows the wait cursor for the life of the guard.
class WaitCursor {
public:
    explicit WaitCursor(Ui& ui) : ui_(ui) { ui_.beginWait(); }
    ~WaitCursor() { ui_.endWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Ui& ui_;
};

// Clears the status text when an operation ends, whichever way it ends.
class StatusText {
public:
    StatusText(Ui& ui, const std::string& text) : ui_(ui) { ui_.setStatusText(text); }
    ~StatusText() { ui_.setStatusText({}); }
    StatusText(const StatusText&) = delete;
    StatusText& operator=(const StatusText&) = delete;

private:
    Ui& ui_;
};

} // namespace kelo::common
