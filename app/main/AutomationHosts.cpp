#include "app/main/AutomationHosts.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

namespace kelo::app {

namespace {

// Clicks a button of the dialog; the dialog's result when that ended it.
std::optional<int> click(QDialog& dialog, const char* button) {
    auto* target = dialog.findChild<QAbstractButton*>(QString::fromLatin1(button));
    if (!target)
        return std::nullopt;
    bool finished = false;
    const QMetaObject::Connection watch =
        QObject::connect(&dialog, &QDialog::finished, [&finished] { finished = true; });
    target->click();
    QObject::disconnect(watch);
    return finished ? std::optional<int>(dialog.result()) : std::nullopt;
}

void type(QDialog& dialog, const char* control, const QString& text) {
    if (auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(control)))
        edit->setText(text);
}

} // namespace

std::optional<int> StartUpHost::answer(QDialog& dialog) {
    if (started_)
        return std::nullopt;
    const QString name = dialog.objectName();
    if (name == QLatin1String("StartDialog"))
        return click(dialog, "LoginButton");
    if (name == QLatin1String("LoginDialog")) {
        type(dialog, "UserName", user_);
        type(dialog, "Password", password_);
        return click(dialog, "OkButton");
    }
    if (name == QLatin1String("OrgListDialog"))
        return click(dialog, "OkButton");
    return std::nullopt;
}

int StartUpHost::exec(QDialog& dialog) {
    if (const std::optional<int> result = answer(dialog))
        return *result;
    if (startingHeadless()) {
        dialog.reject();
        return QDialog::Rejected;
    }
    return DialogHost::exec(dialog);
}

namespace {
QMessageBox::StandardButton mostCautious(const QMessageBox& box) {
    const QMessageBox::StandardButtons buttons = box.standardButtons();
    for (QMessageBox::StandardButton cautious : {QMessageBox::Cancel, QMessageBox::No})
        if (buttons.testFlag(cautious))
            return cautious;
    return QMessageBox::Ok;
}
} // namespace

QMessageBox::StandardButton StartUpUi::execMessageBox(QMessageBox& box) {
    if (!host_.startingHeadless())
        return QtUi::execMessageBox(box);
    std::fprintf(stderr, "kelo-roster: %s\n", box.text().toLocal8Bit().constData());
    return mostCautious(box);
}

void ScreenshotHost::save(QWidget& widget, const QString& name) const {
    if (!widget.isVisible())
        widget.adjustSize();
    // A dialog shown twice (the Caution dialog) keeps both pictures.
    const QDir folder(folder_);
    QString file = folder.filePath(name + QStringLiteral(".png"));
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = folder.filePath(QStringLiteral("%1-%2.png").arg(name).arg(n));
    widget.grab().save(file);
}

int ScreenshotHost::exec(QDialog& dialog) {
    save(dialog, dialog.objectName());
    if (dialog.objectName() == QLatin1String("StartDialog"))
        click(dialog, "SetupButton");
    if (const std::optional<int> result = answer(dialog))
        return *result;
    if (dialog.objectName() == QLatin1String("UsersDialog")) {
        click(dialog, "IdentityButton");
        click(dialog, "RightsButton");
    }
    dialog.reject();
    return QDialog::Rejected;
}

QMessageBox::StandardButton ScreenshotUi::execMessageBox(QMessageBox& box) {
    box.setObjectName(QStringLiteral("MessageBox%1").arg(++boxes_));
    host_.save(box, box.objectName());
    return mostCautious(box);
}

std::optional<QString> ScreenshotUi::execFileDialog(QFileDialog&) {
    return std::nullopt;
}

} // namespace kelo::app
