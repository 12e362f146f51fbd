#pragma once

#include "app/main/DialogHost.h"
#include "app/ports/QtUi.h"

#include <QString>

class QDialog;
class QWidget;

namespace kelo::app {

// Answers the start-up dialogs from the command line (Start: Login; Login:
// the given name and password; Open Organisation: the first one) and runs
// every other dialog normally, as it does every dialog once the start-up is
// over. A dialog that refuses its answer is left to the person at the
// screen; with no screen (`headless`) it is cancelled, so that the start
// ends instead of waiting for nobody.
class StartUpHost : public DialogHost {
public:
    StartUpHost(QString user, QString password, bool headless = false)
        : user_(std::move(user)),
          password_(std::move(password)),
          headless_(headless) {}
    int exec(QDialog& dialog) override;
    // From now on the user answers every dialog.
    void startUpDone() { started_ = true; }
    bool startingHeadless() const { return headless_ && !started_; }

protected:
    // Applies the answer; the dialog's result when it ended, or nullopt.
    std::optional<int> answer(QDialog& dialog);

private:
    QString user_;
    QString password_;
    bool headless_ = false;
    bool started_ = false;
};

// While a start-up from the command line has no screen, messages go to the
// standard error stream and are answered with their most cautious button.
class StartUpUi : public QtUi {
public:
    StartUpUi(QWidget* parent, const StartUpHost& host) : QtUi(parent), host_(host) {}

protected:
    QMessageBox::StandardButton execMessageBox(QMessageBox& box) override;

private:
    const StartUpHost& host_;
};

// Saves a picture of every dialog and message box shown, as
// "<folder>/<object name>.png", then closes it as Cancel would. The
// start-up dialogs are answered as by StartUpHost after their picture.
class ScreenshotHost : public StartUpHost {
public:
    ScreenshotHost(QString folder, QString user, QString password)
        : StartUpHost(std::move(user), std::move(password)),
          folder_(std::move(folder)) {}
    int exec(QDialog& dialog) override;
    void save(QWidget& widget, const QString& name) const;

private:
    QString folder_;
};

// Message boxes answered with their most cautious button, after a picture.
class ScreenshotUi : public QtUi {
public:
    ScreenshotUi(QWidget* parent, const ScreenshotHost& host) : QtUi(parent), host_(host) {}

protected:
    QMessageBox::StandardButton execMessageBox(QMessageBox& box) override;
    std::optional<QString> execFileDialog(QFileDialog& dialog) override;

private:
    const ScreenshotHost& host_;
    int boxes_ = 0;
};

} // namespace kelo::app
