#include "app/main/TransactionsPages.h"

#include "app/main/PageBuilder.h"
#include "staffrecords/VarFrmControls.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
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

// The rows of a page of pay items: the page's own figures, five item rows
// beside their scroll bar, and the page total. Columns: tick, name,
// amount, "...", scroll bar.
class ItemGrid {
public:
    ItemGrid(PageBuilder& b, const ItemActions& a) : b_(b), a_(a), grid_(new QGridLayout) {
        grid_->setHorizontalSpacing(b.page()->fontMetrics().averageCharWidth());
        grid_->setColumnMinimumWidth(0, 0);
        grid_->setColumnStretch(5, 1);
    }

    // A figure of the page itself, with its tick and "..." when it has them.
    QLineEdit* fixed(const QString& label, const char* amount, const char* check = nullptr,
                     const char* button = nullptr, const std::function<void()>& action = {}) {
        if (check) {
            auto* tick = new QCheckBox(b_.page());
            tick->setObjectName(QString::fromLatin1(check));
            grid_->addWidget(tick, row_, 0);
        }
        QLineEdit* box = amountBox(b_, amount, a_);
        auto* caption = new QLabel(b_.mnemonic(label), b_.page());
        caption->setBuddy(box);
        grid_->addWidget(caption, row_, 1);
        grid_->addWidget(box, row_, 2);
        if (button)
            grid_->addWidget(dots(b_.page(), button, action), row_, 3);
        ++row_;
        return box;
    }

    void items() {
        if (row_ > 0)
            grid_->setRowMinimumHeight(row_++, b_.page()->fontMetrics().height() / 2);
        const int first = row_;
        for (int row = 0; row < vf::kRows; ++row) {
            auto* tick = new QCheckBox(b_.page());
            tick->setObjectName(QString::fromLatin1(vf::kItemActive[row]));
            QObject::connect(tick, &QCheckBox::clicked, b_.page(),
                             [toggle = a_.toggle, row] { toggle(row); });
            auto* name = new QLabel(b_.page());
            name->setObjectName(QString::fromLatin1(vf::kItemName[row]));
            name->setFixedWidth(name->fontMetrics().averageCharWidth() * kNameCharacters);
            name->setBuddy(tick);
            QLineEdit* amount = amountBox(b_, vf::kItemAmount[row], a_);
            QPushButton* button =
                dots(b_.page(), vf::kItemButton[row], [open = a_.parameters, row] { open(row); });
            grid_->addWidget(tick, row_, 0);
            grid_->addWidget(name, row_, 1);
            grid_->addWidget(amount, row_, 2);
            grid_->addWidget(button, row_, 3);
            ++row_;
        }
        auto* scroll = new QScrollBar(Qt::Vertical, b_.page());
        scroll->setObjectName(QString::fromLatin1(vf::kScroll));
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setRange(0, 0);
        scroll->setPageStep(vf::kRows);
        // The form sets the scroll bar with its signals held, so only the
        // clerk's moves come here.
        QObject::connect(scroll, &QScrollBar::valueChanged, b_.page(),
                         [scrolled = a_.scrolled](int value) { scrolled(value); });
        grid_->addWidget(scroll, first, 4, vf::kRows, 1);
    }

    void total(const QString& label, const char* name) {
        QLineEdit* box = shownAmount(b_.page(), name);
        grid_->addWidget(rule(b_.page(), box->minimumWidth()), row_++, 2);
        grid_->addWidget(bold(new QLabel(label, b_.page())), row_, 1);
        grid_->addWidget(box, row_++, 2);
    }

    QGridLayout* release() { return grid_; }

private:
    PageBuilder& b_;
    const ItemActions& a_;
    QGridLayout* grid_;
    int row_ = 0;
};

// A figure of the pages the form only shows.
void shownRow(PageBuilder& b, const QString& label, const char* name, bool total = false) {
    QLineEdit* box = shownAmount(b.page(), name);
    if (total) {
        b.addRow(nullptr, rule(b.page(), box->minimumWidth()));
        b.addRow(bold(new QLabel(label, b.page())), box);
    } else {
        b.addRow(new QLabel(label, b.page()), box);
    }
}

void itemPage(PageBuilder& b, VARPAGE page, const ItemActions& a) {
    ItemGrid grid(b, a);
    switch (page) {
    case staffrecords::EARNINGS_PAGE:
        grid.fixed(QStringLiteral("Basic Pay"), vf::kBasicPay, vf::kBasicPayActive,
                   vf::kBasicPayButton, a.timeWorked);
        grid.fixed(QStringLiteral("Overtime"), vf::kOvertime, vf::kOvertimeActive,
                   vf::kOvertimeButton, a.overtime);
        break;
    case staffrecords::DEDUCTIONS_PAGE:
        grid.fixed(QStringLiteral("Rent"), vf::kRent, vf::kRentActive);
        grid.fixed(QStringLiteral("Overdraft Recovery"), vf::kOverdraft);
        grid.fixed(QStringLiteral("Rounding C/F"), vf::kRoundingCF);
        break;
    case staffrecords::BENEFITS_PAGE:
        grid.fixed(QStringLiteral("Employer Pension"), vf::kEmployerPension);
        grid.fixed(QStringLiteral("Low Interest Loan"), vf::kLoanBenefit);
        break;
    case staffrecords::LUMP_SUMS_PAGE:
        grid.fixed(QStringLiteral("Tax on Lump Sums"), vf::kLumpSumTax);
        break;
    case staffrecords::REFUNDS_PAGE:
        grid.fixed(QStringLiteral("Rounding B/F"), vf::kRoundingBF);
        break;
    default:
        break;
    }
    grid.items();
    grid.total(QStringLiteral("Total"), vf::kTotal);
    b.addWhole(grid.release());
}

void taxablePay(PageBuilder& b) {
    shownRow(b, QStringLiteral("Taxable Earnings"), vf::kTaxableEarnings);
    shownRow(b, QStringLiteral("Non-Cash Benefits"), vf::kNonCashBenefits);
    shownRow(b, QStringLiteral("Housing Benefit"), vf::kHousingBenefit);
    shownRow(b, QStringLiteral("Total"), vf::kTaxableTotal, true);
    shownRow(b, QStringLiteral("Allowable Deductions"), vf::kAllowableDeductions);
    shownRow(b, QStringLiteral("Taxable Pay"), vf::kChargeablePay, true);
}

void statutory(PageBuilder& b) {
    shownRow(b, QStringLiteral("PAYE"), vf::kPaye);
    shownRow(b, QStringLiteral("NSSF"), vf::kNssf);
    shownRow(b, QStringLiteral("Tax on Lump Sums"), vf::kStatLumpSumTax);
    shownRow(b, QStringLiteral("Total"), vf::kStatutoryTotal, true);
}

void summary(PageBuilder& b) {
    shownRow(b, QStringLiteral("Earnings"), vf::kSumEarnings);
    shownRow(b, QStringLiteral("Lump Sums"), vf::kSumLumpSums);
    shownRow(b, QStringLiteral("Refunds"), vf::kSumRefunds);
    shownRow(b, QStringLiteral("Overdraft"), vf::kSumOverdraft);
    shownRow(b, QStringLiteral("Total Pay"), vf::kTotalPay, true);
    b.addRow(nullptr, new QLabel(b.page()));
    shownRow(b, QStringLiteral("Statutory Deductions"), vf::kSumStatutory);
    shownRow(b, QStringLiteral("Other Deductions"), vf::kSumOther);
    shownRow(b, QStringLiteral("Total Deductions"), vf::kTotalDeductions, true);
    b.addRow(nullptr, new QLabel(b.page()));
    b.addRow(bold(new QLabel(QStringLiteral("Net Pay"), b.page())),
             shownAmount(b.page(), vf::kNetPay));
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
            taxablePay(builder);
            break;
        case STATUTORY_PAGE:
            statutory(builder);
            break;
        case SUMMARY_PAGE:
            summary(builder);
            break;
        default:
            itemPage(builder, page, actions);
            break;
        }
    }
    return widget;
}

} // namespace kelo::app
