#pragma once

#include "common/Ui.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QFileDialog;
class QStatusBar;
class QWidget;

namespace kelo::app {

// The Ui port over Qt widgets. Message boxes and choosers are modal to the
// parent window; status texts go wherever the main window routes them.
class QtUi : public common::Ui {
public:
    using StatusSink = std::function<void(const QString&)>;

    explicit QtUi(QWidget* parent = nullptr, QStatusBar* statusBar = nullptr);
    ~QtUi() override;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    // A new sink is shown the text in progress, so routing may change mid-operation.
    void setStatusSink(StatusSink sink);
    // Shows status texts as the bar's temporary message.
    void setStatusBar(QStatusBar* bar);
    const QString& statusText() const { return statusText_; }
    int waitDepth() const { return waitDepth_; }

    common::Answer message(const std::string& text, common::MessageIcon icon,
                           common::MessageButtons buttons = common::MessageButtons::Ok,
                           const std::string& caption = common::kMessageCaption,
                           std::optional<common::Answer> defaultAnswer = std::nullopt) override;
    void beep() override;
    void setStatusText(const std::string& text) override;
    void beginWait() override;
    void endWait() override;
    std::optional<std::string> chooseSaveFile(const common::FileChoice& choice) override;
    std::optional<std::string> chooseOpenFile(const common::FileChoice& choice) override;
    std::optional<std::string> chooseFolder(const std::string& title,
                                            const std::string& initialFolder) override;

protected:
    // Hooks around the modal loops, so tests can answer without a person.
    virtual QMessageBox::StandardButton execMessageBox(QMessageBox& box);
    // The path chosen, or nullopt when the user cancels.
    virtual std::optional<QString> execFileDialog(QFileDialog& dialog);

private:
    std::optional<std::string> chooseFile(const common::FileChoice& choice, bool save);

    QPointer<QWidget> parent_;
    StatusSink statusSink_;
    QString statusText_;
    int waitDepth_ = 0;
};

} // namespace kelo::app
