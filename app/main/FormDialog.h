#pragma once

#include "app/ports/WidgetDialogView.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kelo::app {

class HelpViewer;

// A dialog built in code whose controls carry the names the setup logic
// addresses them by. Fields go into a form, optionally inside group boxes;
// the button row runs the dialog's OK logic and closes only when it agrees.
class FormDialog : public QDialog {
public:
    FormDialog(QWidget* parent, const char* objectName, const QString& caption);
    ~FormDialog() override;

    common::DialogView& view() { return view_; }

    // Labels, boxes and buttons get the first free letter of their text as
    // their Alt key, unless the text names one with "&".
    QLineEdit* addEdit(const char* name, const QString& label, int maxLength = 0);
    // A choice followed on its line by the box it enables and the box's
    // unit ("Purge after [  ] years").
    QRadioButton* addRadioWithEdit(const char* radioName, const QString& text, const char* editName,
                                   int maxLength, const QString& unit = {});
    QLineEdit* addPassword(const char* name, const QString& label);
    QComboBox* addList(const char* name, const QString& label);
    QCheckBox* addCheck(const char* name, const QString& text);
    QRadioButton* addRadio(const char* name, const QString& text);
    QLabel* addStatic(const char* name, const QString& label);
    QLabel* addText(const QString& text); // a plain line of text across the form
    QListWidget* addListBox(const char* name);
    // Opens a group box; the fields that follow go into it until endGroup.
    void beginGroup(const char* name, const QString& title);
    void endGroup();

    // The OK button's text, its logic, and the help context of a Help
    // button (0: none).
    void addButtons(const QString& okText, std::function<bool()> onOk, HelpViewer* help = nullptr,
                    int helpContext = 0);
    // Cancel runs this before the dialog closes.
    void setOnCancel(std::function<void()> onCancel) { onCancel_ = std::move(onCancel); }
    QPushButton* button(const char* name) const;
    QVBoxLayout* mainLayout() const { return main_; }

    void reject() override;

private:
    QFormLayout* form();
    QString withMnemonic(const QString& text);
    QLineEdit* newEdit(const char* name, int maxLength);

    WidgetDialogView view_;
    QVBoxLayout* main_;
    QFormLayout* form_ = nullptr;
    QGroupBox* group_ = nullptr;
    QFormLayout* groupForm_ = nullptr;
    std::function<void()> onCancel_;
    QString usedMnemonics_;
};

// A push button named `name` at the end of a column of buttons beside a list.
QPushButton* addColumnButton(QDialog& dialog, QVBoxLayout& column, const char* name,
                             const QString& text);
// Widens a short dialog so that the title bar, which also holds the window's
// icon and buttons, shows the whole caption the setup class gave it.
void fitCaption(QDialog& dialog);

} // namespace kelo::app
