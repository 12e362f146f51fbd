#include "app/ports/QtUi.h"

#include "app/ports/QtText.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QStatusBar>

namespace kelo::app {

using common::Answer;
using common::MessageButtons;
using common::MessageIcon;
using Button = QMessageBox::StandardButton;

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Button defaultButton(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes;
    case MessageButtons::RetryCancel:
        return QMessageBox::Retry;
    default:
        return QMessageBox::Ok;
    }
}

// The button of an answer; one the box does not show falls back to the first.
Button buttonOf(Answer answer, MessageButtons buttons) {
    Button button = QMessageBox::Ok;
    switch (answer) {
    case Answer::Ok:
        button = QMessageBox::Ok;
        break;
    case Answer::Cancel:
        button = QMessageBox::Cancel;
        break;
    case Answer::Yes:
        button = QMessageBox::Yes;
        break;
    case Answer::No:
        button = QMessageBox::No;
        break;
    case Answer::Retry:
        button = QMessageBox::Retry;
        break;
    }
    return boxButtons(buttons).testFlag(button) ? button : defaultButton(buttons);
}

// What closing the box without a button means: the most cautious answer.
Button escapeButton(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::YesNo:
        return QMessageBox::No;
    default:
        return QMessageBox::Cancel;
    }
}

Answer answerOf(Button pressed, MessageButtons buttons) {
    if (!boxButtons(buttons).testFlag(pressed))
        pressed = escapeButton(buttons);
    switch (pressed) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        return Answer::Ok;
    }
}

bool haveGuiApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

// The path with the default extension when the name has none. An open
// chooser only adds it when that names a file and the bare name does not.
QString withExtension(const QString& path, const QString& extension, bool save) {
    if (extension.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    const QString extended = path + '.' + extension;
    if (save)
        return extended;
    return !QFileInfo::exists(path) && QFileInfo::exists(extended) ? extended : path;
}

} // namespace

QtUi::QtUi(QWidget* parent, QStatusBar* statusBar) : parent_(parent) {
    if (statusBar)
        setStatusBar(statusBar);
}

QtUi::~QtUi() {
    if (waitDepth_ > 0 && haveGuiApplication())
        QApplication::restoreOverrideCursor();
}

void QtUi::setStatusSink(StatusSink sink) {
    statusSink_ = std::move(sink);
    if (statusSink_ && !statusText_.isEmpty())
        statusSink_(statusText_);
}

void QtUi::setStatusBar(QStatusBar* bar) {
    if (!bar) {
        setStatusSink({});
        return;
    }
    setStatusSink([guarded = QPointer<QStatusBar>(bar)](const QString& text) {
        if (!guarded)
            return;
        if (text.isEmpty())
            guarded->clearMessage();
        else
            guarded->showMessage(text);
    });
}

Answer QtUi::message(const std::string& text, MessageIcon icon, MessageButtons buttons,
                     const std::string& caption, std::optional<Answer> defaultAnswer) {
    QMessageBox box(boxIcon(icon), toQString(caption), toQString(text), boxButtons(buttons),
                    parent_.data());
    // Texts such as "<none>" must show as typed.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultAnswer ? buttonOf(*defaultAnswer, buttons)
                                       : defaultButton(buttons));
    box.setEscapeButton(escapeButton(buttons));
    return answerOf(execMessageBox(box), buttons);
}

QMessageBox::StandardButton QtUi::execMessageBox(QMessageBox& box) {
    return static_cast<Button>(box.exec());
}

void QtUi::beep() {
    if (haveGuiApplication())
        QApplication::beep();
}

void QtUi::setStatusText(const std::string& text) {
    statusText_ = toQString(text);
    if (statusSink_)
        statusSink_(statusText_);
}

// Qt stacks override cursors; one per outermost wait keeps unbalanced calls harmless.
void QtUi::beginWait() {
    if (waitDepth_++ == 0 && haveGuiApplication())
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUi::endWait() {
    if (waitDepth_ == 0)
        return;
    if (--waitDepth_ == 0 && haveGuiApplication())
        QApplication::restoreOverrideCursor();
}

std::optional<QString> QtUi::execFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return files.first();
}

std::optional<std::string> QtUi::chooseSaveFile(const common::FileChoice& choice) {
    return chooseFile(choice, true);
}

std::optional<std::string> QtUi::chooseOpenFile(const common::FileChoice& choice) {
    return chooseFile(choice, false);
}

std::optional<std::string> QtUi::chooseFile(const common::FileChoice& choice, bool save) {
    QFileDialog dialog(parent_.data(), toQString(choice.title), toQString(choice.initialFolder));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!choice.filter.empty())
        dialog.setNameFilter(toQString(choice.filter));
    QString extension = toQString(choice.defaultExtension);
    if (extension.startsWith('.'))
        extension.remove(0, 1);
    dialog.setDefaultSuffix(extension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !choice.overwritePrompt);
    if (!choice.fileName.empty())
        dialog.selectFile(toQString(choice.fileName));

    while (true) {
        const std::optional<QString> chosen = execFileDialog(dialog);
        if (!chosen || chosen->isEmpty())
            return std::nullopt;
        const QString path = withExtension(*chosen, extension, save);
        // The dialog asked about the name it returned, not the one extended here.
        const bool ask =
            save && choice.overwritePrompt && path != *chosen && QFileInfo::exists(path);
        if (ask && message(toStdString(QFileInfo(path).fileName()) +
                               " already exists.\nDo you want to replace it?",
                           MessageIcon::Warning, MessageButtons::YesNo) != Answer::Yes) {
            dialog.selectFile(path);
            continue;
        }
        return toStdString(path);
    }
}

std::optional<std::string> QtUi::chooseFolder(const std::string& title,
                                              const std::string& initialFolder) {
    QFileDialog dialog(parent_.data(), toQString(title), toQString(initialFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    const std::optional<QString> chosen = execFileDialog(dialog);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return toStdString(*chosen);
}

} // namespace kelo::app
