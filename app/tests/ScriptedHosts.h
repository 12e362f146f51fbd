#pragma once

#include "app/main/DialogHost.h"
#include "app/ports/QtUi.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelo::app::testing {

// Answers each modal dialog with the next steps scripted for it by object
// name; a dialog with no step left is cancelled and reported as a failure.
class ScriptedHost : public DialogHost {
public:
    struct Step {
        QString dialog;
        std::function<void(QDialog&)> act;
    };
    void then(const QString& dialog, std::function<void(QDialog&)> act) {
        steps.push_back({dialog, std::move(act)});
    }
    int exec(QDialog& dialog) override {
        shown.push_back(dialog.objectName().toStdString());
        bool finished = false;
        const QMetaObject::Connection watch =
            QObject::connect(&dialog, &QDialog::finished, [&finished] { finished = true; });
        while (!finished && !steps.empty() && steps.front().dialog == dialog.objectName()) {
            Step step = std::move(steps.front());
            steps.pop_front();
            step.act(dialog);
        }
        QObject::disconnect(watch);
        if (finished)
            return dialog.result();
        ADD_FAILURE() << "no scripted answer for " << dialog.objectName().toStdString();
        dialog.reject();
        return QDialog::Rejected;
    }

    std::deque<Step> steps;
    std::vector<std::string> shown;
};

// Message boxes answered from a queue (OK when it is empty) and recorded;
// file and folder choosers answered from their own queue (cancel when empty).
class ScriptedUi : public QtUi {
public:
    using QtUi::QtUi;
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> files;
    std::vector<std::string> texts;
    std::vector<std::string> captions;
    std::string lastText() const { return texts.empty() ? std::string() : texts.back(); }

protected:
    QMessageBox::StandardButton execMessageBox(QMessageBox& box) override {
        texts.push_back(box.text().toStdString());
        captions.push_back(box.windowTitle().toStdString());
        if (answers.empty())
            return QMessageBox::Ok;
        const QMessageBox::StandardButton answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<QString> execFileDialog(QFileDialog&) override {
        if (files.empty())
            return std::nullopt;
        QString file = files.front();
        files.pop_front();
        return file;
    }
};

inline void type(QDialog& dialog, const char* control, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(control));
    ASSERT_NE(edit, nullptr) << control;
    edit->setText(text);
}

inline void click(QDialog& dialog, const char* button) {
    auto* target = dialog.findChild<QAbstractButton*>(QString::fromLatin1(button));
    ASSERT_NE(target, nullptr) << button;
    target->click();
}

inline void check(QDialog& dialog, const char* box, bool checked) {
    auto* target = dialog.findChild<QCheckBox*>(QString::fromLatin1(box));
    ASSERT_NE(target, nullptr) << box;
    target->setChecked(checked);
}

} // namespace kelo::app::testing
