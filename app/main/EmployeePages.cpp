#include "app/main/EmployeePages.h"

#include "common/PayRecords.h"
#include "database/StaticDb.h"
#include "staffrecords/StatFrmControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kelo::app {

namespace {

using common::StaticWidths;
using database::PersonnelWidths;
namespace c = staffrecords::statfrm;

constexpr int width(std::size_t characters) {
    return static_cast<int>(characters);
}

// Amounts, rates and hours: room for 999,999,999.99.
constexpr int kAmountLength = 14;
constexpr int kHoursLength = 6;
constexpr int kDateLength = 10; // dd/mm/yyyy

// Room for a character of a number or a code, which run wider than the
// average letter.
int charWidth(const QWidget& widget) {
    return std::max(widget.fontMetrics().averageCharWidth(),
                    widget.fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

// A value the form shows and the clerk does not type: on the window's
// colour, and out of the way of Tab and Enter.
QLineEdit* shownBox(QWidget* parent, const char* name, int characters) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
    box->setFixedWidth(charWidth(*box) * (characters + 2));
    return box;
}

// Enter moves to the next field of the page, as Tab does, and from the
// last field back to the first, so that a clerk keys a page without the
// mouse.
class EnterMovesOn : public QObject {
public:
    explicit EnterMovesOn(QWidget* page) : QObject(page), page_(page) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(widget, &tab);
        QWidget* now = QApplication::focusWidget();
        if (now == widget || !now || !page_->isAncestorOf(now))
            if (QWidget* first = firstField(*page_))
                first->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    QWidget* page_;
};

// Lays out one page in up to two columns of labelled rows. Labels get an
// Alt key from the letters the menu bar leaves free.
class PageBuilder {
public:
    PageBuilder(QWidget* page, const PageActions& actions)
        : page_(page),
          actions_(actions),
          columns_(new QHBoxLayout(page)),
          enter_(new EnterMovesOn(page)) {
        nextColumn();
    }

    ~PageBuilder() {
        columns_->addStretch(1);
        for (QWidget* child : page_->findChildren<QWidget*>())
            if (child->focusPolicy() & Qt::TabFocus)
                child->installEventFilter(enter_);
    }

    void nextColumn() {
        // A set spacing would pass to the rows of the forms inside.
        if (form_)
            columns_->addSpacing(page_->fontMetrics().averageCharWidth() * 4);
        auto* column = new QVBoxLayout;
        form_ = new QFormLayout;
        form_->setLabelAlignment(Qt::AlignLeft);
        form_->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
        column->addLayout(form_);
        column->addStretch(1);
        columns_->addLayout(column);
    }

    QLineEdit* edit(const char* name, const QString& label, int maxLength) {
        QLineEdit* box = newEdit(name, maxLength);
        addRow(label, box);
        return box;
    }

    QLineEdit* amount(const char* name, const QString& label, int maxLength = kAmountLength) {
        QLineEdit* box = edit(name, label, maxLength);
        box->setAlignment(Qt::AlignRight);
        return box;
    }

    QComboBox* list(const char* name, const QString& label, int characters) {
        QComboBox* combo = newList(name, characters);
        addRow(label, combo);
        return combo;
    }

    // Room for a character of a number or a code, which run wider than the
    // average letter.
    int charWidth(const QWidget& widget) {
        return std::max(widget.fontMetrics().averageCharWidth(),
                        widget.fontMetrics().horizontalAdvance(QLatin1Char('0')));
    }

    // A value the form shows but the clerk does not type, with the "..."
    // button that changes it when there is one.
    QLineEdit* shown(const char* name, const QString& label, int characters,
                     const char* buttonName = nullptr, const std::function<void()>& action = {}) {
        QLineEdit* box = newShown(name, characters);
        if (!buttonName) {
            addRow(label, box);
            return box;
        }
        auto* line = new QHBoxLayout;
        line->addWidget(box);
        line->addWidget(dots(buttonName, action));
        addRow(label, line);
        return box;
    }

    QCheckBox* check(const char* name, const QString& text, const std::function<void()>& action) {
        auto* box = new QCheckBox(mnemonic(text), page_);
        box->setObjectName(QString::fromLatin1(name));
        if (action)
            QObject::connect(box, &QCheckBox::clicked, page_, action);
        form_->addRow(box);
        return box;
    }

    QRadioButton* radio(const char* name, const QString& text, QWidget* parent) {
        auto* button = new QRadioButton(mnemonic(text), parent);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    }

    QLineEdit* newEdit(const char* name, int maxLength, QWidget* parent = nullptr) {
        auto* box = new QLineEdit(parent ? parent : page_);
        box->setObjectName(QString::fromLatin1(name));
        box->setMaxLength(maxLength);
        box->setFixedWidth(charWidth(*box) * (std::min(maxLength, 40) + 2));
        return box;
    }

    QComboBox* newList(const char* name, int characters, QWidget* parent = nullptr) {
        auto* combo = new QComboBox(parent ? parent : page_);
        combo->setObjectName(QString::fromLatin1(name));
        combo->setMinimumContentsLength(characters);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        return combo;
    }

    QLineEdit* newShown(const char* name, int characters) {
        return shownBox(page_, name, characters);
    }

    QPushButton* dots(const char* name, const std::function<void()>& action) {
        auto* button = new QPushButton(QStringLiteral("..."), page_);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 3);
        if (action)
            QObject::connect(button, &QPushButton::clicked, page_, action);
        return button;
    }

    void addRow(const QString& label, QWidget* field) {
        auto* caption = new QLabel(mnemonic(label), page_);
        caption->setBuddy(field);
        form_->addRow(caption, field);
    }
    void addRow(const QString& label, QLayout* fields) {
        auto* caption = new QLabel(mnemonic(label), page_);
        if (QLayoutItem* first = fields->itemAt(0); first && first->widget())
            caption->setBuddy(first->widget());
        form_->addRow(caption, fields);
    }
    void addHeading(const QString& text) { form_->addRow(new QLabel(text, page_)); }
    void addWhole(QWidget* widget) { form_->addRow(widget); }
    QFormLayout& form() { return *form_; }
    QWidget* page() const { return page_; }
    const PageActions& actions() const { return actions_; }

    // The first letter of `text` that no label of the page and no menu of
    // the menu bar has taken.
    QString mnemonic(const QString& text) {
        for (int i = 0; i < text.size(); ++i) {
            const QChar letter = text[i].toLower();
            if (letter.isLetter() && !used_.contains(letter)) {
                used_.append(letter);
                QString marked = text;
                marked.insert(i, QLatin1Char('&'));
                return marked;
            }
        }
        return text;
    }

private:
    QWidget* page_;
    const PageActions& actions_;
    QHBoxLayout* columns_;
    QFormLayout* form_ = nullptr;
    EnterMovesOn* enter_;
    // File, Record, Report, Organisation, System, Procedure, Help.
    QString used_ = QStringLiteral("fcrosph");
};

void personal(PageBuilder& b) {
    b.edit(c::kLastName, QStringLiteral("Last Name"), width(StaticWidths::kLastNameWidth));
    b.edit(c::kOtherNames, QStringLiteral("Other Names"), width(StaticWidths::kOtherNamesWidth));
    b.list(c::kTitle, QStringLiteral("Title"), 6);
    b.list(c::kGender, QStringLiteral("Gender"), 8);
    b.list(c::kMaritalStatus, QStringLiteral("Marital Status"), 10);
    b.shown(c::kBirthDate, QStringLiteral("Birth Date"), kDateLength + 8, c::kBirthDateButton,
            b.actions().birthDate);
    b.list(c::kNationality, QStringLiteral("Nationality"), width(StaticWidths::kNationalityWidth));
    b.edit(c::kIdNum, QStringLiteral("ID No."), width(StaticWidths::kIdNumWidth));
}

void employment(PageBuilder& b) {
    b.edit(c::kStartDate, QStringLiteral("Start Date"), kDateLength)
        ->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    b.shown(c::kJobTitle, QStringLiteral("Job Title"), 30, c::kPostButton, b.actions().post);
    b.shown(c::kGrade, QStringLiteral("Grade"), 30);
    b.list(c::kTerms, QStringLiteral("Terms"), 12);
    b.shown(c::kUnit, QStringLiteral("Admin. Unit"), 30);
    b.list(c::kStation, QStringLiteral("Station"), 26);
    b.list(c::kPayGroup, QStringLiteral("Pay Group"), 26);
    b.amount(c::kLeaveEntitlement, QStringLiteral("Leave Entitlement"), kHoursLength);
    b.shown(c::kSupervisor, QStringLiteral("Supervisor:"), 30, c::kSupervisorButton,
            b.actions().supervisor);
    b.shown(c::kStatus, QStringLiteral("Status:"), 30);
}

void contact(PageBuilder& b) {
    b.edit(c::kOffice, QStringLiteral("Office"), width(StaticWidths::kOfficeWidth));
    b.edit(c::kOfficePhone, QStringLiteral("Office Telephone"),
           width(StaticWidths::kOfficePhoneWidth));
    b.edit(c::kEmail, QStringLiteral("E-mail"), width(StaticWidths::kEmailWidth));
    b.edit(c::kHomePhone, QStringLiteral("Home Telephone"), width(StaticWidths::kHomePhoneWidth));
    b.edit(c::kMobile, QStringLiteral("Mobile"), width(StaticWidths::kMobileWidth));
    b.nextColumn();
    b.edit(c::kPoBox, QStringLiteral("P.O. Box"), width(StaticWidths::kPoBoxWidth));
    b.edit(c::kTown, QStringLiteral("Town"), width(StaticWidths::kTownWidth));
    b.edit(c::kPostCode, QStringLiteral("Post Code"), width(StaticWidths::kPostCodeWidth));
    const int line = width(StaticWidths::kResidentialAddressWidth);
    b.edit(c::kAddress[0], QStringLiteral("Residential Address:"), line);
    for (int i = 1; i < 4; ++i)
        b.form().addRow(QString(), b.newEdit(c::kAddress[i], line));
}

void payment(PageBuilder& b) {
    b.list(c::kPayFreq, QStringLiteral("Pay Frequency"), 12);
    b.list(c::kPayMethod, QStringLiteral("Payment Mode"), 14);
    b.shown(c::kBank, QStringLiteral("Bank"), width(StaticWidths::kBankNameWidth), c::kBankButton,
            b.actions().bank);
    b.shown(c::kBranch, QStringLiteral("Branch"), width(StaticWidths::kBranchNameWidth));
    b.edit(c::kAccountNum, QStringLiteral("Account No."), width(StaticWidths::kAccountNumWidth));
}

void basicPay(PageBuilder& b) {
    const struct {
        const char* radio;
        const char* edit;
        const char* label;
    } rates[] = {{c::kBySalary, c::kSalary, "Salary"},
                 {c::kByDailyRate, c::kDailyRate, "Daily Rate"},
                 {c::kByHourlyRate, c::kHourlyRate, "Hourly Rate"}};
    for (const auto& rate : rates) {
        QRadioButton* radio = b.radio(rate.radio, QString::fromLatin1(rate.label), b.page());
        QObject::connect(radio, &QRadioButton::clicked, b.page(), b.actions().resetSalary);
        QLineEdit* edit = b.newEdit(rate.edit, kAmountLength);
        edit->setAlignment(Qt::AlignRight);
        b.form().addRow(radio, edit);
    }
    auto* range = new QLabel(b.page());
    range->setObjectName(QString::fromLatin1(c::kSalaryRange));
    b.addWhole(range);
    b.addHeading(QStringLiteral("Standard Working Hours:"));
    b.amount(c::kHoursPerMonth, QStringLiteral("Month"), kHoursLength);
    b.amount(c::kHoursPerDay, QStringLiteral("Day"), kHoursLength);
    b.list(c::kTimeBasis, QStringLiteral("Time Worked:"), 20);
}

// A rate worked out from the basic pay rate, or keyed.
void overtimeChoice(PageBuilder& b, const char* title, const char* fromBasic,
                    const QString& fromBasicText, const char* keyed, const char* rate) {
    auto* group = new QGroupBox(title, b.page());
    auto* grid = new QGridLayout(group);
    QRadioButton* worked = b.radio(fromBasic, fromBasicText, group);
    QRadioButton* typed = b.radio(keyed, QStringLiteral("Enter Rate:"), group);
    // The form opens the rate box of a keyed rate when it reads the choice.
    for (QRadioButton* choice : {worked, typed})
        QObject::connect(choice, &QRadioButton::clicked, b.page(), b.actions().resetOvertime);
    grid->addWidget(worked, 0, 0, 1, 2);
    grid->addWidget(typed, 1, 0);
    QLineEdit* edit = b.newEdit(rate, kAmountLength, group);
    edit->setAlignment(Qt::AlignRight);
    grid->addWidget(edit, 1, 1);
    grid->setColumnStretch(2, 1);
    b.addWhole(group);
}

void overtime(PageBuilder& b) {
    b.check(c::kPayOvertime, QStringLiteral("Pay Overtime"), b.actions().resetOvertime);
    overtimeChoice(b, "Normal Overtime Rate:", c::kNormalFromBasic,
                   QStringLiteral("Basic Pay Rate x 1.5"), c::kNormalKeyed, c::kNormalRate);
    overtimeChoice(b, "Double Overtime Rate:", c::kDoubleFromBasic,
                   QStringLiteral("Basic Pay Rate x 2"), c::kDoubleKeyed, c::kDoubleRate);
}

void housing(PageBuilder& b) {
    b.check(c::kHoused, QStringLiteral("Housed by Employer"), b.actions().resetHousing);
    b.amount(c::kMarketValue, QStringLiteral("Market Value"));
    b.amount(c::kHousingExpense, QStringLiteral("Employer's Expense"));
    b.amount(c::kRent, QStringLiteral("Rent to Employer"));
}

void statutory(PageBuilder& b) {
    b.check(c::kDeductPaye, QStringLiteral("Deduct PAYE"), b.actions().resetPaye);
    b.check(c::kTopTaxRate, QStringLiteral("Use Top Tax Rate"), {});
    b.check(c::kDeductNssf, QStringLiteral("Deduct NSSF"), {});
    b.edit(c::kTin, QStringLiteral("TIN"), width(PersonnelWidths::kTinWidth));
    b.edit(c::kNssfNum, QStringLiteral("NSSF No."), width(PersonnelWidths::kNssfNumWidth));
}

// Two slots, each a name from the list and a membership number.
void funds(PageBuilder& b, const std::function<void()>& chosen) {
    auto* grid = new QGridLayout;
    auto* name = new QLabel(b.mnemonic(QStringLiteral("Name")), b.page());
    auto* number = new QLabel(b.mnemonic(QStringLiteral("Membership No.")), b.page());
    grid->addWidget(name, 0, 1);
    grid->addWidget(number, 0, 2);
    for (int slot = 0; slot < 2; ++slot) {
        grid->addWidget(new QLabel(QStringLiteral("#%1").arg(slot + 1), b.page()), slot + 1, 0);
        QComboBox* fund = b.newList(c::kFund[slot], 26);
        QObject::connect(fund, &QComboBox::activated, b.page(), chosen);
        grid->addWidget(fund, slot + 1, 1);
        QLineEdit* member = b.newEdit(c::kMemberNum[slot], width(PersonnelWidths::kMemberNumWidth));
        grid->addWidget(member, slot + 1, 2);
        if (slot == 0) {
            name->setBuddy(fund);
            number->setBuddy(member);
        }
    }
    grid->setColumnStretch(3, 1);
    b.form().addRow(grid);
}

} // namespace

const std::vector<PageTab>& personnelTabs() {
    using namespace staffrecords;
    static const std::vector<PageTab> tabs{{PERSONAL_DETAILS, QStringLiteral("Personal")},
                                           {EMPLOYMENT_DETAILS, QStringLiteral("Employment")},
                                           {CONTACT_INFO, QStringLiteral("Contact")}};
    return tabs;
}

const std::vector<PageTab>& payrollMasterTabs() {
    using namespace staffrecords;
    static const std::vector<PageTab> tabs{
        {PAYMENT, QStringLiteral("Payment")},
        {BASIC_PAY, QStringLiteral("Basic Pay")},
        {OVERTIME, QStringLiteral("Overtime")},
        {HOUSING, QStringLiteral("Housing")},
        {STATUTORY_DEDUCTIONS, QStringLiteral("Statutory Deductions")},
        {COOPERATIVES, QStringLiteral("Co-operatives")},
        {PENSION_FUNDS, QStringLiteral("Pension Funds")}};
    return tabs;
}

QWidget* buildRecordHeader(QWidget* parent) {
    auto* header = new QWidget(parent);
    header->setObjectName(QStringLiteral("RecordHeader"));
    auto* line = new QHBoxLayout(header);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(new QLabel(QStringLiteral("Employee No."), header));
    line->addWidget(shownBox(header, c::kEmpNum, width(StaticWidths::kEmpNumWidth)));
    line->addSpacing(header->fontMetrics().averageCharWidth() * 2);
    line->addWidget(shownBox(header, c::kEmployee, 36));
    line->addStretch(1);
    auto* position = new QLabel(header);
    position->setObjectName(QStringLiteral("RecordPosition"));
    position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The window is sized before the first record shows its place.
    position->setMinimumWidth(
        position->fontMetrics().horizontalAdvance(QStringLiteral("Record 00000 of 00000")));
    line->addWidget(position);
    return header;
}

QWidget* buildPage(staffrecords::STATPAGE page, const PageActions& actions, QWidget* parent) {
    using namespace staffrecords;
    auto* widget = new QWidget(parent);
    widget->setObjectName(QStringLiteral("Page%1").arg(static_cast<int>(page)));
    {
        PageBuilder builder(widget, actions);
        switch (page) {
        case PERSONAL_DETAILS:
            personal(builder);
            break;
        case EMPLOYMENT_DETAILS:
            employment(builder);
            break;
        case CONTACT_INFO:
            contact(builder);
            break;
        case PAYMENT:
            payment(builder);
            break;
        case BASIC_PAY:
            basicPay(builder);
            break;
        case OVERTIME:
            overtime(builder);
            break;
        case HOUSING:
            housing(builder);
            break;
        case STATUTORY_DEDUCTIONS:
            statutory(builder);
            break;
        case COOPERATIVES:
            funds(builder, actions.coopMember);
            break;
        case PENSION_FUNDS:
            funds(builder, actions.pensionMember);
            break;
        }
    }
    return widget;
}

QWidget* firstField(QWidget& page) {
    for (QWidget* widget = page.nextInFocusChain(); widget && widget != &page;
         widget = widget->nextInFocusChain()) {
        if (page.isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->isEnabled() && widget->isVisibleTo(&page) && !widget->focusProxy())
            return widget;
    }
    return nullptr;
}

} // namespace kelo::app
