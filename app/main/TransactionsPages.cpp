#include "app/main/TransactionsPages.h"

#include "app/main/PageBuilder.h"
#include "staffrecords/VarFrmControls.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kelo::app {

namespace {

namespace vf = staffrecords::varfrm;
using staffrecords::VARPAGE;

// Room for 999,999,999,999.
constexpr int kAmountLength = 15;
// Item names run to 49 characters; longer ones are cut short with "...".
constexpr int kNameCharacters = 34;

QLineEdit* amountBox(PageBuilder& b, const char* name, const ItemActions& a) {
    QLineEdit* box = b.newEdit(name, kAmountLength);
    box->setAlignment(Qt::AlignRight);
    // Only a figure the clerk changed is read and worked out again.
    QObject::connect(box, &QLineEdit::editingFinished, b.page(), [box, keyed = a.keyed] {
        if (box->isModified() && keyed)
            keyed();
    });
    return box;
}

QLineEdit* shownAmount(QWidget* parent, const char* name) {
    QLineEdit* box = shownBox(parent, name, kAmountLength);
    box->setAlignment(Qt::AlignRight);
    return box;
}

QPushButton* dots(QWidget* parent, const char* name, const std::function<void()>& action) {
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 3);
    if (action)
        QObject::connect(button, &QPushButton::clicked, parent, action);
    return button;
}

QFrame* rule(QWidget* parent, int width) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedWidth(width);
    return line;
}

QLabel* bold(QLabel* label) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A page as rows of the same columns: tick, name, amount, "...", so that
// figures stand at the same place on every tab. Each row is a widget of its
// own, so that an item row the form hides takes no room.
class Rows {
public:
    Rows(PageBuilder& b, const ItemActions& a) : b_(b), a_(a), column_(new QVBoxLayout) {
        const QCheckBox probe;
        tickWidth_ = probe.sizeHint().width();
        nameWidth_ = b.page()->fontMetrics().averageCharWidth() * kNameCharacters;
    }

    // A figure of the page itself, with its tick and "..." when it has
    // them; only a figure that may be keyed has an Alt key.
    void fixed(const QString& label, const char* amount, bool keyed, const char* check = nullptr,
               const char* button = nullptr, const std::function<void()>& action = {}) {
        QHBoxLayout* line = row(nullptr);
        if (check) {
            auto* tick = new QCheckBox(b_.page());
            tick->setObjectName(QString::fromLatin1(check));
            tick->setFixedWidth(tickWidth_);
            line->addWidget(tick);
        } else {
            line->addWidget(blank(tickWidth_));
        }
        QLineEdit* box = amountBox(b_, amount, a_);
        QLabel* caption = name(keyed ? b_.mnemonic(label) : label);
        caption->setBuddy(box);
        line->addWidget(caption);
        line->addWidget(box);
        if (button)
            line->addWidget(dots(b_.page(), button, action));
        line->addStretch(1);
    }

    // A figure the form only shows; a total has a rule above it, and the
    // net pay stands out as a total does.
    enum class Kind { Plain, Total, Result };
    void shown(const QString& label, const char* name, Kind kind = Kind::Plain) {
        QLineEdit* box = shownAmount(b_.page(), name);
        if (kind == Kind::Total) {
            QHBoxLayout* over = row(nullptr);
            over->addWidget(blank(tickWidth_));
            over->addWidget(blank(nameWidth_));
            over->addWidget(rule(b_.page(), box->minimumWidth()));
            over->addStretch(1);
        }
        QHBoxLayout* line = row(nullptr);
        line->addWidget(blank(tickWidth_));
        QLabel* caption = this->name(label);
        if (kind != Kind::Plain)
            bold(caption);
        line->addWidget(caption);
        line->addWidget(box);
        line->addStretch(1);
    }

    void gap() { column_->addSpacing(b_.page()->fontMetrics().height() / 2); }

    // Five item rows beside their scroll bar.
    void items() {
        auto* block = new QHBoxLayout;
        auto* rows = new QVBoxLayout;
        for (int row = 0; row < vf::kRows; ++row) {
            QHBoxLayout* line = this->row(QStringLiteral("ItemRow%1").arg(row + 1), rows);
            auto* tick = new QCheckBox(b_.page());
            tick->setObjectName(QString::fromLatin1(vf::kItemActive[row]));
            tick->setFixedWidth(tickWidth_);
            QObject::connect(tick, &QCheckBox::clicked, b_.page(),
                             [toggle = a_.toggle, row] { toggle(row); });
            QLabel* label = name({});
            label->setObjectName(QString::fromLatin1(vf::kItemName[row]));
            label->setBuddy(tick);
            QLineEdit* amount = amountBox(b_, vf::kItemAmount[row], a_);
            QPushButton* button =
                dots(b_.page(), vf::kItemButton[row], [open = a_.parameters, row] { open(row); });
            line->addWidget(tick);
            line->addWidget(label);
            line->addWidget(amount);
            line->addWidget(button);
            // A row without "..." keeps its place.
            QSizePolicy keep = button->sizePolicy();
            keep.setRetainSizeWhenHidden(true);
            button->setSizePolicy(keep);
        }
        block->addLayout(rows);
        auto* scroll = new QScrollBar(Qt::Vertical, b_.page());
        scroll->setObjectName(QString::fromLatin1(vf::kScroll));
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setRange(0, 0);
        scroll->setPageStep(vf::kRows);
        // The form sets the scroll bar with its signals held, so only the
        // clerk's moves come here.
        QObject::connect(scroll, &QScrollBar::valueChanged, b_.page(),
                         [scrolled = a_.scrolled](int value) { scrolled(value); });
        block->addWidget(scroll);
        block->addStretch(1);
        column_->addLayout(block);
    }

    QVBoxLayout* release() { return column_; }

private:
    QHBoxLayout* row(const QString& name, QVBoxLayout* into = nullptr) {
        auto* line = new QWidget(b_.page());
        if (!name.isEmpty())
            line->setObjectName(name);
        auto* layout = new QHBoxLayout(line);
        layout->setContentsMargins(0, 0, 0, 0);
        (into ? into : column_)->addWidget(line);
        return layout;
    }
    QHBoxLayout* row(std::nullptr_t) { return row(QString()); }

    // Room for a column the row has nothing in; a spacer would not get the
    // spacing between columns that a widget gets.
    QWidget* blank(int width) {
        auto* room = new QWidget(b_.page());
        room->setFixedSize(width, 0);
        return room;
    }

    QLabel* name(const QString& text) {
        auto* label = new QLabel(text, b_.page());
        label->setFixedWidth(nameWidth_);
        return label;
    }

    PageBuilder& b_;
    const ItemActions& a_;
    QVBoxLayout* column_;
    int tickWidth_ = 0;
    int nameWidth_ = 0;
};

void itemPage(PageBuilder& b, VARPAGE page, const ItemActions& a) {
    Rows rows(b, a);
    switch (page) {
    case staffrecords::EARNINGS_PAGE:
        rows.fixed(QStringLiteral("Basic Pay"), vf::kBasicPay, false, vf::kBasicPayActive,
                   vf::kBasicPayButton, a.timeWorked);
        rows.fixed(QStringLiteral("Overtime"), vf::kOvertime, false, vf::kOvertimeActive,
                   vf::kOvertimeButton, a.overtime);
        break;
    case staffrecords::DEDUCTIONS_PAGE:
        rows.fixed(QStringLiteral("Rent"), vf::kRent, false, vf::kRentActive);
        rows.fixed(QStringLiteral("Overdraft Recovery"), vf::kOverdraft, true);
        rows.fixed(QStringLiteral("Rounding C/F"), vf::kRoundingCF, false);
        break;
    case staffrecords::BENEFITS_PAGE:
        rows.fixed(QStringLiteral("Employer Pension"), vf::kEmployerPension, false);
        rows.fixed(QStringLiteral("Low Interest Loan"), vf::kLoanBenefit, false);
        break;
    case staffrecords::LUMP_SUMS_PAGE:
        rows.fixed(QStringLiteral("Tax on Lump Sums"), vf::kLumpSumTax, true);
        break;
    case staffrecords::REFUNDS_PAGE:
        rows.fixed(QStringLiteral("Rounding B/F"), vf::kRoundingBF, true);
        break;
    default:
        break;
    }
    rows.gap();
    rows.items();
    rows.shown(QStringLiteral("Total"), vf::kTotal, Rows::Kind::Total);
    b.addWhole(rows.release());
}

void taxablePay(PageBuilder& b, const ItemActions& a) {
    Rows rows(b, a);
    rows.shown(QStringLiteral("Taxable Earnings"), vf::kTaxableEarnings);
    rows.shown(QStringLiteral("Non-Cash Benefits"), vf::kNonCashBenefits);
    rows.shown(QStringLiteral("Housing Benefit"), vf::kHousingBenefit);
    rows.shown(QStringLiteral("Total"), vf::kTaxableTotal, Rows::Kind::Total);
    rows.gap();
    rows.shown(QStringLiteral("Allowable Deductions"), vf::kAllowableDeductions);
    rows.shown(QStringLiteral("Taxable Pay"), vf::kChargeablePay, Rows::Kind::Total);
    b.addWhole(rows.release());
}

void statutory(PageBuilder& b, const ItemActions& a) {
    Rows rows(b, a);
    rows.shown(QStringLiteral("PAYE"), vf::kPaye);
    rows.shown(QStringLiteral("NSSF"), vf::kNssf);
    rows.shown(QStringLiteral("Tax on Lump Sums"), vf::kStatLumpSumTax);
    rows.shown(QStringLiteral("Total"), vf::kStatutoryTotal, Rows::Kind::Total);
    b.addWhole(rows.release());
}

void summary(PageBuilder& b, const ItemActions& a) {
    Rows rows(b, a);
    rows.shown(QStringLiteral("Earnings"), vf::kSumEarnings);
    rows.shown(QStringLiteral("Lump Sums"), vf::kSumLumpSums);
    rows.shown(QStringLiteral("Refunds"), vf::kSumRefunds);
    rows.shown(QStringLiteral("Overdraft"), vf::kSumOverdraft);
    rows.shown(QStringLiteral("Total Pay"), vf::kTotalPay, Rows::Kind::Total);
    rows.gap();
    rows.shown(QStringLiteral("Statutory Deductions"), vf::kSumStatutory);
    rows.shown(QStringLiteral("Other Deductions"), vf::kSumOther);
    rows.shown(QStringLiteral("Total Deductions"), vf::kTotalDeductions, Rows::Kind::Total);
    rows.gap();
    rows.shown(QStringLiteral("Net Pay"), vf::kNetPay, Rows::Kind::Result);
    b.addWhole(rows.release());
}

// A figure the form shows but does not take is read on the window's colour,
// as the shown values of the other record windows are, not greyed out.
void shownLook(QWidget& body) {
    QPalette palette = body.palette();
    palette.setColor(QPalette::Disabled, QPalette::Text,
                     palette.color(QPalette::Active, QPalette::Text));
    palette.setColor(QPalette::Disabled, QPalette::Base,
                     palette.color(QPalette::Active, QPalette::Window));
    body.setPalette(palette);
}

} // namespace

const std::vector<TransactionsTab>& transactionsTabs() {
    using namespace staffrecords;
    static const std::vector<TransactionsTab> tabs{
        {EARNINGS_PAGE, QStringLiteral("Earnings")},
        {DEDUCTIONS_PAGE, QStringLiteral("Deductions")},
        {BENEFITS_PAGE, QStringLiteral("Benefits")},
        {LUMP_SUMS_PAGE, QStringLiteral("Lump Sum Payments")},
        {REFUNDS_PAGE, QStringLiteral("Refunds")},
        {STATUTORY_PAGE, QStringLiteral("Statutory Deductions")},
        {SUMMARY_PAGE, QStringLiteral("Summary")},
        {TAXABLE_PAY_PAGE, QStringLiteral("Taxable Pay")}};
    return tabs;
}

QWidget* buildTransactionsHeader(QWidget* parent) {
    auto* header = new QWidget(parent);
    header->setObjectName(QStringLiteral("RecordHeader"));
    auto* line = new QHBoxLayout(header);
    line->setContentsMargins(0, 0, 0, 0);
    auto* employee = bold(new QLabel(header));
    employee->setObjectName(QString::fromLatin1(vf::kEmployee));
    employee->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line->addWidget(employee);
    line->addSpacing(header->fontMetrics().averageCharWidth() * 2);
    auto* readOnly = new QLabel(header);
    readOnly->setObjectName(QString::fromLatin1(vf::kReadOnly));
    line->addWidget(readOnly);
    line->addStretch(1);
    auto* position = new QLabel(header);
    position->setObjectName(QString::fromLatin1(vf::kPosition));
    position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The window is sized before the first record shows its place.
    position->setMinimumWidth(
        position->fontMetrics().horizontalAdvance(QStringLiteral("Record 00000 of 00000")));
    line->addWidget(position);
    return header;
}

QWidget* buildTransactionsPage(VARPAGE page, const ItemActions& actions, QWidget* parent) {
    using namespace staffrecords;
    auto* widget = new QWidget(parent);
    widget->setObjectName(QStringLiteral("Page%1").arg(static_cast<int>(page)));
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* body = new QWidget(widget);
    body->setObjectName(QString::fromLatin1(vf::kPageBody));
    shownLook(*body);
    layout->addWidget(body);
    {
        PageBuilder builder(body);
        switch (page) {
        case TAXABLE_PAY_PAGE:
            taxablePay(builder, actions);
            break;
        case STATUTORY_PAGE:
            statutory(builder, actions);
            break;
        case SUMMARY_PAGE:
            summary(builder, actions);
            break;
        default:
            itemPage(builder, page, actions);
            break;
        }
    }
    return widget;
}

} // namespace kelo::app
