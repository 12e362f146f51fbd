#include "app/main/PayFieldsWindow.h"

#include "app/main/HelpViewer.h"
#include "app/main/PageBuilder.h"
#include "app/main/PayFieldDialogs.h"
#include "app/main/Session.h"
#include "app/ports/QtText.h"
#include "app/shell/Commands.h"
#include "staffrecords/FieldsFrmControls.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kelo::app {

namespace {

namespace ff = staffrecords::fieldsfrm;

// Room for the longest type and function ("Percentage of Basic Pay").
constexpr int kChoiceCharacters = 24;

QString titleOf(common::FIELDSTABLE table) {
    switch (table) {
    case common::DEDUCTIONS:
        return QStringLiteral("Deductions");
    case common::BENEFITS:
        return QStringLiteral("Benefits");
    case common::LUMPSUMS:
        return QStringLiteral("Lump Sum Payments");
    case common::REFUNDS:
        return QStringLiteral("Refunds");
    default:
        return QStringLiteral("Earnings");
    }
}

// A type or function list and, after it, the button of its parameters,
// wide enough for every text the form gives it.
QPushButton* choiceWithButton(PageBuilder& builder, const char* listName, const QString& label,
                              const char* buttonName) {
    QWidget* page = builder.page();
    auto* line = new QHBoxLayout;
    line->addWidget(builder.newList(listName, kChoiceCharacters));
    auto* button = new QPushButton(page);
    button->setObjectName(QString::fromLatin1(buttonName));
    button->setAutoDefault(false);
    int widest = 0;
    for (const char* text :
         {"Co-operative...", "Pension Fund...", "Percentage...", "Limits...", "Hourly Rate..."})
        widest =
            std::max(widest, button->fontMetrics().horizontalAdvance(QString::fromLatin1(text)));
    button->setMinimumWidth(widest + button->fontMetrics().averageCharWidth() * 4);
    line->addWidget(button);
    line->addStretch(1);
    builder.addRow(label, line);
    return button;
}

} // namespace

PayFieldsWindow::PayFieldsWindow(const DialogContext& context, common::FIELDSTABLE table)
    : DocumentWindow(context),
      view_(this),
      table_(table) {
    setObjectName(QStringLiteral("Fields Window"));
    setWindowTitle(titleOf(table));
    auto* layout = new QVBoxLayout(this);

    auto* position = new QLabel(this);
    position->setObjectName(QString::fromLatin1(ff::kPosition));
    position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    position->setMinimumWidth(
        position->fontMetrics().horizontalAdvance(QStringLiteral("Field 000 of 000")));
    layout->addWidget(position, 0, Qt::AlignRight);

    page_ = new QWidget(this);
    page_->setObjectName(QStringLiteral("FieldPage"));
    QPushButton* typeButton = nullptr;
    QPushButton* functionButton = nullptr;
    {
        PageBuilder builder(page_);
        // The window's own popup is "Field".
        builder.reserve(QStringLiteral("e"));
        builder.edit(ff::kName, QStringLiteral("Field Name"),
                     static_cast<int>(common::PayItemWidths::kItemNameWidth));
        typeButton = choiceWithButton(builder, ff::kType, QStringLiteral("Type"), ff::kTypeButton);
        functionButton = choiceWithButton(builder, ff::kFunction, QStringLiteral("Function"),
                                          ff::kFunctionButton);
        builder.check(ff::kStatic, QStringLiteral("Static"), {});
        builder.check(ff::kTaxable, QStringLiteral("Taxable"), {});
    }
    layout->addWidget(page_);
    layout->addStretch(1);

    // The form's own buttons: the record commands with the mouse.
    auto* buttons = new QHBoxLayout;
    const struct {
        const char* name;
        const char* text;
        int id;
    } commands[] = {{ff::kFirst, "First", cmd::First},
                    {ff::kPrevious, "Previous", cmd::Previous},
                    {ff::kNext, "Next", cmd::Next},
                    {ff::kLast, "Last", cmd::Last},
                    {nullptr, nullptr, 0},
                    {ff::kAdd, "Add", cmd::Add},
                    {ff::kDelete, "Delete", cmd::Delete},
                    {ff::kSave, "Save", cmd::Save}};
    for (const auto& command : commands) {
        if (!command.name) {
            buttons->addSpacing(fontMetrics().averageCharWidth() * 3);
            buttons->addStretch(1);
            continue;
        }
        auto* button = new QPushButton(QString::fromLatin1(command.text), this);
        button->setObjectName(QString::fromLatin1(command.name));
        // Enter presses the button the clerk moved to.
        button->setAutoDefault(true);
        // The status-bar help, and the key that does the same.
        const CommandTexts& texts = commandTexts(command.id);
        const std::size_t tab = texts.menuText.find('\t');
        QString tip = toQString(texts.helpText);
        if (tab != std::string::npos)
            tip += QStringLiteral(" (%1)").arg(toQString(texts.menuText.substr(tab + 1)));
        button->setToolTip(tip);
        const int id = command.id;
        connect(button, &QPushButton::clicked, this, [this, id] { runCommand(id); });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    form_ = std::make_unique<staffrecords::FIELDSFRM>(
        context_.session.ui(), view_, context_.session.code(), context_.session.folder());
    auto* type = findChild<QComboBox*>(QString::fromLatin1(ff::kType));
    auto* function = findChild<QComboBox*>(QString::fromLatin1(ff::kFunction));
    connect(type, &QComboBox::activated, this, [this] { form_->resetType(); });
    connect(function, &QComboBox::activated, this, [this] { form_->resetFunction(); });
    connect(typeButton, &QPushButton::clicked, this, &PayFieldsWindow::typeParameters);
    connect(functionButton, &QPushButton::clicked, this, &PayFieldsWindow::functionParameters);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && isAncestorOf(now))
            lastField_ = now;
    });
}

PayFieldsWindow::~PayFieldsWindow() = default;

int PayFieldsWindow::helpContext() const {
    return helpctx::PayFields;
}

bool PayFieldsWindow::checkFiles(const common::ORGREC& org) {
    return form_->checkFiles(context_.session.ui(), org);
}

bool PayFieldsWindow::open(const common::ORGREC& org) {
    org_ = org;
    return form_->open(context_.session.ui(), table_, org_);
}

void PayFieldsWindow::focusFirstField() {
    if (QWidget* first = firstField(*page_))
        first->setFocus(Qt::OtherFocusReason);
    else if (auto* add = findChild<QPushButton*>(QString::fromLatin1(ff::kAdd)))
        add->setFocus(Qt::OtherFocusReason);
}

void PayFieldsWindow::restoreFocus() {
    if (lastField_ && lastField_->isEnabled() && lastField_->isVisible())
        lastField_->setFocus(Qt::OtherFocusReason);
    else
        focusFirstField();
}

void PayFieldsWindow::typeParameters() {
    paused([this] { return runTypeParameters(context_, *form_); });
}

void PayFieldsWindow::functionParameters() {
    paused([this] { return runFunctionParameters(context_, *form_); });
}

bool PayFieldsWindow::runCommand(int id) {
    common::Ui& ui = context_.session.ui();
    staffrecords::FIELDSFRM& form = *form_;
    switch (id) {
    case cmd::Save:
        form.save(ui, org_);
        break;
    case cmd::Add:
        form.addRecord(ui, org_);
        break;
    case cmd::Delete:
        form.deleteRecord(ui, org_);
        break;
    case cmd::Next:
        form.nextRecord(ui, org_);
        break;
    case cmd::Previous:
        form.previousRecord(ui, org_);
        break;
    case cmd::Last:
        form.lastRecord(ui, org_);
        break;
    case cmd::First:
        form.firstRecord(ui, org_);
        break;
    case cmd::HelpContents:
        context_.help.show(helpContext());
        break;
    default:
        return false;
    }
    return true;
}

bool PayFieldsWindow::closeForm() {
    return form_->close(context_.session.ui(), org_);
}

} // namespace kelo::app
