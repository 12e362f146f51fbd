#include "app/main/FormDialog.h"

#include "app/main/DialogHost.h"
#include "app/main/HelpViewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kelo::app {

int DialogHost::exec(QDialog& dialog) {
    return dialog.exec();
}

FormDialog::FormDialog(QWidget* parent, const char* objectName, const QString& caption)
    : QDialog(parent),
      view_(this),
      main_(new QVBoxLayout(this)) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

FormDialog::~FormDialog() = default;

QFormLayout* FormDialog::form() {
    if (groupForm_)
        return groupForm_;
    if (!form_) {
        form_ = new QFormLayout;
        main_->addLayout(form_);
    }
    return form_;
}

namespace {
// The letter after a single "&" ("&&" stands for "&" itself), or none.
QChar mnemonicOf(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;
    }
    return {};
}

// Long boxes show most of what they may hold; short ones keep their size.
constexpr int kWidestEdit = 45;
} // namespace

QString FormDialog::withMnemonic(const QString& text) {
    if (const QChar named = mnemonicOf(text); !named.isNull()) {
        usedMnemonics_.append(named);
        return text;
    }
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            ++i; // "&&"
            continue;
        }
        const QChar letter = text[i].toLower();
        if (letter.isLetter() && !usedMnemonics_.contains(letter)) {
            usedMnemonics_.append(letter);
            QString marked = text;
            marked.insert(i, QLatin1Char('&'));
            return marked;
        }
    }
    return text;
}

QLineEdit* FormDialog::newEdit(const char* name, int maxLength) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0) {
        edit->setMaxLength(maxLength);
        if (maxLength > 20)
            edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() *
                                  std::min(maxLength, kWidestEdit));
    }
    return edit;
}

QLineEdit* FormDialog::addEdit(const char* name, const QString& label, int maxLength) {
    QLineEdit* edit = newEdit(name, maxLength);
    if (label.isEmpty()) {
        form()->addRow(edit);
        return edit;
    }
    auto* caption = new QLabel(withMnemonic(label), this);
    caption->setBuddy(edit);
    form()->addRow(caption, edit);
    return edit;
}

QRadioButton* FormDialog::addRadioWithEdit(const char* radioName, const QString& text,
                                           const char* editName, int maxLength,
                                           const QString& unit) {
    auto* radio = new QRadioButton(withMnemonic(text), this);
    radio->setObjectName(QString::fromLatin1(radioName));
    QLineEdit* edit = newEdit(editName, maxLength);
    edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * (maxLength + 4));
    auto* line = new QHBoxLayout;
    line->addWidget(radio);
    line->addWidget(edit);
    if (!unit.isEmpty())
        line->addWidget(new QLabel(unit, this));
    line->addStretch();
    form()->addRow(line);
    return radio;
}

QLineEdit* FormDialog::addPassword(const char* name, const QString& label) {
    QLineEdit* edit = addEdit(name, label);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QComboBox* FormDialog::addList(const char* name, const QString& label) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setMinimumContentsLength(20);
    auto* caption = new QLabel(withMnemonic(label), this);
    caption->setBuddy(combo);
    form()->addRow(caption, combo);
    return combo;
}

QCheckBox* FormDialog::addCheck(const char* name, const QString& text) {
    auto* box = new QCheckBox(withMnemonic(text), this);
    box->setObjectName(QString::fromLatin1(name));
    form()->addRow(box);
    return box;
}

QRadioButton* FormDialog::addRadio(const char* name, const QString& text) {
    auto* radio = new QRadioButton(withMnemonic(text), this);
    radio->setObjectName(QString::fromLatin1(name));
    form()->addRow(radio);
    return radio;
}

QLabel* FormDialog::addStatic(const char* name, const QString& label) {
    auto* value = new QLabel(this);
    value->setObjectName(QString::fromLatin1(name));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (label.isEmpty())
        form()->addRow(value);
    else
        form()->addRow(label, value);
    return value;
}

QLabel* FormDialog::addText(const QString& text) {
    auto* line = new QLabel(text, this);
    line->setWordWrap(true);
    form()->addRow(line);
    return line;
}

QListWidget* FormDialog::addListBox(const char* name) {
    auto* list = new QListWidget(this);
    list->setObjectName(QString::fromLatin1(name));
    form()->addRow(list);
    return list;
}

void FormDialog::beginGroup(const char* name, const QString& title) {
    endGroup();
    auto* group = new QGroupBox(title, this);
    group->setObjectName(QString::fromLatin1(name));
    form()->addRow(group);
    group_ = group;
    groupForm_ = new QFormLayout(group);
}

void FormDialog::endGroup() {
    group_ = nullptr;
    groupForm_ = nullptr;
}

void FormDialog::addButtons(const QString& okText, std::function<bool()> onOk, HelpViewer* help,
                            int helpContext) {
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(okText, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    if (help && helpContext != 0) {
        QPushButton* helpButton = buttons->addButton(QDialogButtonBox::Help);
        helpButton->setObjectName(QStringLiteral("HelpButton"));
        connect(helpButton, &QPushButton::clicked, this,
                [help, helpContext] { help->show(helpContext); });
    }
    connect(ok, &QPushButton::clicked, this, [this, onOk = std::move(onOk)] {
        if (!onOk || onOk())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &FormDialog::reject);
    main_->addWidget(buttons);
}

QPushButton* FormDialog::button(const char* name) const {
    return findChild<QPushButton*>(QString::fromLatin1(name));
}

void FormDialog::reject() {
    if (onCancel_)
        onCancel_();
    QDialog::reject();
}

QPushButton* addColumnButton(QDialog& dialog, QVBoxLayout& column, const char* name,
                             const QString& text) {
    auto* button = new QPushButton(text, &dialog);
    button->setObjectName(QString::fromLatin1(name));
    column.addWidget(button);
    return button;
}

void fitCaption(QDialog& dialog) {
    const int needed = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 140;
    dialog.setMinimumWidth(std::max(dialog.minimumSizeHint().width(), needed));
}

} // namespace kelo::app
