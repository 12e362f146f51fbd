#include "app/main/EmployeePages.h"

#include "app/main/PageBuilder.h"
#include "common/PayRecords.h"
#include "database/StaticDb.h"
#include "staffrecords/StatFrmControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

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

void personal(PageBuilder& b, const PageActions& a) {
    b.edit(c::kLastName, QStringLiteral("Last Name"), width(StaticWidths::kLastNameWidth));
    b.edit(c::kOtherNames, QStringLiteral("Other Names"), width(StaticWidths::kOtherNamesWidth));
    b.list(c::kTitle, QStringLiteral("Title"), 6);
    b.list(c::kGender, QStringLiteral("Gender"), 8);
    b.list(c::kMaritalStatus, QStringLiteral("Marital Status"), 10);
    b.shown(c::kBirthDate, QStringLiteral("Birth Date"), kDateLength + 8, c::kBirthDateButton,
            a.birthDate);
    b.list(c::kNationality, QStringLiteral("Nationality"), width(StaticWidths::kNationalityWidth));
    b.edit(c::kIdNum, QStringLiteral("ID No."), width(StaticWidths::kIdNumWidth));
}

void employment(PageBuilder& b, const PageActions& a) {
    b.edit(c::kStartDate, QStringLiteral("Start Date"), kDateLength)
        ->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    b.shown(c::kJobTitle, QStringLiteral("Job Title"), 30, c::kPostButton, a.post);
    b.shown(c::kGrade, QStringLiteral("Grade"), 30);
    b.list(c::kTerms, QStringLiteral("Terms"), 12);
    b.shown(c::kUnit, QStringLiteral("Admin. Unit"), 30);
    b.list(c::kStation, QStringLiteral("Station"), 26);
    b.list(c::kPayGroup, QStringLiteral("Pay Group"), 26);
    b.amount(c::kLeaveEntitlement, QStringLiteral("Leave Entitlement"), kHoursLength);
    b.shown(c::kSupervisor, QStringLiteral("Supervisor:"), 30, c::kSupervisorButton, a.supervisor);
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
        b.addRow(nullptr, b.newEdit(c::kAddress[i], line));
}

void payment(PageBuilder& b, const PageActions& a) {
    b.list(c::kPayFreq, QStringLiteral("Pay Frequency"), 12);
    b.list(c::kPayMethod, QStringLiteral("Payment Mode"), 14);
    b.shown(c::kBank, QStringLiteral("Bank"), width(StaticWidths::kBankNameWidth), c::kBankButton,
            a.bank);
    b.shown(c::kBranch, QStringLiteral("Branch"), width(StaticWidths::kBranchNameWidth));
    b.edit(c::kAccountNum, QStringLiteral("Account No."), width(StaticWidths::kAccountNumWidth));
}

void basicPay(PageBuilder& b, const PageActions& a) {
    const struct {
        const char* radio;
        const char* edit;
        const char* label;
    } rates[] = {{c::kBySalary, c::kSalary, "Salary"},
                 {c::kByDailyRate, c::kDailyRate, "Daily Rate"},
                 {c::kByHourlyRate, c::kHourlyRate, "Hourly Rate"}};
    for (const auto& rate : rates) {
        QRadioButton* radio = b.radio(rate.radio, QString::fromLatin1(rate.label), b.page());
        QObject::connect(radio, &QRadioButton::clicked, b.page(), a.resetSalary);
        QLineEdit* edit = b.newEdit(rate.edit, kAmountLength);
        edit->setAlignment(Qt::AlignRight);
        b.addRow(radio, edit);
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
void overtimeChoice(PageBuilder& b, const PageActions& a, const char* title, const char* fromBasic,
                    const QString& fromBasicText, const char* keyed, const char* rate) {
    auto* group = new QGroupBox(title, b.page());
    auto* grid = new QGridLayout(group);
    QRadioButton* worked = b.radio(fromBasic, fromBasicText, group);
    QRadioButton* typed = b.radio(keyed, QStringLiteral("Enter Rate:"), group);
    // The form opens the rate box of a keyed rate when it reads the choice.
    for (QRadioButton* choice : {worked, typed})
        QObject::connect(choice, &QRadioButton::clicked, b.page(), a.resetOvertime);
    grid->addWidget(worked, 0, 0, 1, 2);
    grid->addWidget(typed, 1, 0);
    QLineEdit* edit = b.newEdit(rate, kAmountLength, group);
    edit->setAlignment(Qt::AlignRight);
    grid->addWidget(edit, 1, 1);
    grid->setColumnStretch(2, 1);
    b.addWhole(group);
}

void overtime(PageBuilder& b, const PageActions& a) {
    b.check(c::kPayOvertime, QStringLiteral("Pay Overtime"), a.resetOvertime);
    overtimeChoice(b, a, "Normal Overtime Rate:", c::kNormalFromBasic,
                   QStringLiteral("Basic Pay Rate x 1.5"), c::kNormalKeyed, c::kNormalRate);
    overtimeChoice(b, a, "Double Overtime Rate:", c::kDoubleFromBasic,
                   QStringLiteral("Basic Pay Rate x 2"), c::kDoubleKeyed, c::kDoubleRate);
}

void housing(PageBuilder& b, const PageActions& a) {
    b.check(c::kHoused, QStringLiteral("Housed by Employer"), a.resetHousing);
    b.amount(c::kMarketValue, QStringLiteral("Market Value"), kAmountLength);
    b.amount(c::kHousingExpense, QStringLiteral("Employer's Expense"), kAmountLength);
    b.amount(c::kRent, QStringLiteral("Rent to Employer"), kAmountLength);
}

void statutory(PageBuilder& b, const PageActions& a) {
    b.check(c::kDeductPaye, QStringLiteral("Deduct PAYE"), a.resetPaye);
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
    b.addWhole(grid);
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
        PageBuilder builder(widget);
        switch (page) {
        case PERSONAL_DETAILS:
            personal(builder, actions);
            break;
        case EMPLOYMENT_DETAILS:
            employment(builder, actions);
            break;
        case CONTACT_INFO:
            contact(builder);
            break;
        case PAYMENT:
            payment(builder, actions);
            break;
        case BASIC_PAY:
            basicPay(builder, actions);
            break;
        case OVERTIME:
            overtime(builder, actions);
            break;
        case HOUSING:
            housing(builder, actions);
            break;
        case STATUTORY_DEDUCTIONS:
            statutory(builder, actions);
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

} // namespace kelo::app
