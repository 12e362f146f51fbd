// The pages of the payroll transactions form: what each shows, what may be
// keyed on it, its checks, and the item rows with their check boxes.
#include "common/Money.h"
#include "staffrecords/PeriodUpdate.h"
#include "staffrecords/StaffRules.h"
#include "staffrecords/VarFrm.h"
#include "staffrecords/VarFrmControls.h"

#include <algorithm>
#include <variant>

namespace kelo::staffrecords {

namespace vf = varfrm;
using common::DialogView;
using common::FIELDSTABLE;
using common::ItemFunction;
using common::ItemType;
using common::PayItem;

namespace {

std::string money(double amount) {
    return common::withThousands(amount, 0);
}

std::optional<FIELDSTABLE> tableOfPage(VARPAGE page) {
    switch (page) {
    case EARNINGS_PAGE:
        return common::EARNINGS;
    case DEDUCTIONS_PAGE:
        return common::DEDUCTIONS;
    case BENEFITS_PAGE:
        return common::BENEFITS;
    case LUMP_SUMS_PAGE:
        return common::LUMPSUMS;
    case REFUNDS_PAGE:
        return common::REFUNDS;
    default:
        return std::nullopt;
    }
}

} // namespace

void VARFRM::setPage(DialogView& page, VARPAGE number) {
    page_ = &page;
    pageNumber_ = number;
    scroll_ = 0;
    shown_ = false;
}

void VARFRM::clearPage() {
    page_ = &noPage_;
    shown_ = false;
}

void VARFRM::displayRecord() {
    displayPage(true);
}

void VARFRM::displayPage(bool rebuild) {
    if (page_ == &noPage_)
        return;
    DialogView& page = *page_;
    page.setText(vf::kPosition, positionText());
    page.setText(vf::kEmployee, employeeText());
    page.setText(vf::kReadOnly, isReadOnly() ? "Read-Only" : "");
    page.setVisible(vf::kPageBody, hasRecord_);
    shown_ = hasRecord_;
    if (!hasRecord_)
        return;
    if (rebuild)
        scroll_ = 0;
    recompute();
    switch (pageNumber_) {
    case EARNINGS_PAGE:
        return displayEarnings();
    case DEDUCTIONS_PAGE:
        return displayDeductions();
    case BENEFITS_PAGE:
        return displayBenefits();
    case LUMP_SUMS_PAGE:
        return displayLumpSums();
    case REFUNDS_PAGE:
        return displayRefunds();
    case TAXABLE_PAY_PAGE:
        return displayTaxablePay();
    case STATUTORY_PAGE:
        return displayStatutory();
    case SUMMARY_PAGE:
        return displaySummary();
    }
}

void VARFRM::displayItems(FIELDSTABLE table, double total) {
    DialogView& page = *page_;
    const std::vector<PayItem>& items = *rec_.items(table);
    const int count = static_cast<int>(items.size());
    scroll_ = std::clamp(scroll_, 0, std::max(0, count - vf::kRows));
    page.setVisible(vf::kScroll, count > vf::kRows);
    page.setText(vf::kScroll, std::to_string(scroll_));
    const bool readOnly = isReadOnly();
    for (int row = 0; row < vf::kRows; ++row) {
        const int index = scroll_ + row;
        const bool there = index < count;
        for (const char* control : {vf::kItemName[row], vf::kItemActive[row], vf::kItemAmount[row]})
            page.setVisible(control, there);
        if (!there) {
            page.setVisible(vf::kItemButton[row], false);
            continue;
        }
        const PayItem& item = items[static_cast<std::size_t>(index)];
        const common::PayItemDef& def = *item.definition;
        page.setText(vf::kItemName[row], def.itemName);
        page.setChecked(vf::kItemActive[row], item.active != 0);
        // An item that no longer applies may still be switched off.
        page.setEnabled(vf::kItemActive[row],
                        !readOnly && (item.active || !whyNotApplicable(item)));
        page.setText(vf::kItemAmount[row], money(item.amount));
        page.setEnabled(vf::kItemAmount[row], !readOnly && item.active && common::isKeyIn(def));
        page.setVisible(vf::kItemButton[row], dialogOf(item) != ParamDialog::None);
        page.setEnabled(vf::kItemButton[row], !readOnly && item.active);
    }
    page.setText(vf::kTotal, money(total));
}

void VARFRM::displayEarnings() {
    DialogView& page = *page_;
    const bool readOnly = isReadOnly();
    page.setChecked(vf::kBasicPayActive, true);
    page.setEnabled(vf::kBasicPayActive, false);
    page.setText(vf::kBasicPay, money(rec_.basicPay));
    page.setEnabled(vf::kBasicPay, false);
    page.setEnabled(vf::kBasicPayButton, !readOnly && rec_.timeBasis != common::kTimeFullPeriod);
    page.setChecked(vf::kOvertimeActive, rec_.overtimeEligible != 0);
    page.setEnabled(vf::kOvertimeActive, false);
    page.setText(vf::kOvertime, money(rec_.overtimePay));
    page.setEnabled(vf::kOvertime, false);
    page.setEnabled(vf::kOvertimeButton, !readOnly && rec_.overtimeEligible != 0);
    displayItems(common::EARNINGS, rec_.grossPay);
}

void VARFRM::displayDeductions() {
    DialogView& page = *page_;
    page.setChecked(vf::kRentActive, rec_.rentDeducted != 0);
    page.setEnabled(vf::kRentActive, false);
    page.setText(vf::kRent, money(rec_.rent));
    page.setEnabled(vf::kRent, false);
    // Keyed only until the record's first period update brings them forward.
    page.setText(vf::kOverdraft, money(rec_.deficitBF));
    page.setEnabled(vf::kOverdraft, !isReadOnly() && rec_.openingPeriod != 0);
    page.setText(vf::kRoundingCF, money(rec_.roundingCF));
    page.setEnabled(vf::kRoundingCF, false);
    displayItems(common::DEDUCTIONS, rec_.otherDeductions);
}

void VARFRM::displayBenefits() {
    DialogView& page = *page_;
    page.setText(vf::kEmployerPension, money(rec_.employerPensionBenefit));
    page.setEnabled(vf::kEmployerPension, false);
    page.setText(vf::kLoanBenefit, money(rec_.loanBenefit));
    page.setEnabled(vf::kLoanBenefit, false);
    displayItems(common::BENEFITS, rec_.totalBenefits);
}

void VARFRM::displayLumpSums() {
    page_->setText(vf::kLumpSumTax, money(rec_.lumpSumTax));
    page_->setEnabled(vf::kLumpSumTax, !isReadOnly() && rec_.payeApplies != 0);
    displayItems(common::LUMPSUMS, rec_.totalLumpSums);
}

void VARFRM::displayRefunds() {
    page_->setText(vf::kRoundingBF, money(rec_.roundingBF));
    page_->setEnabled(vf::kRoundingBF, !isReadOnly() && rec_.openingPeriod != 0);
    displayItems(common::REFUNDS, rec_.totalRefunds);
}

void VARFRM::displayTaxablePay() {
    DialogView& page = *page_;
    page.setText(vf::kTaxableEarnings, money(rec_.taxableEarnings));
    page.setText(vf::kNonCashBenefits, money(rec_.totalBenefits));
    page.setText(vf::kHousingBenefit, money(rec_.housingBenefit));
    page.setText(vf::kTaxableTotal, money(rec_.taxablePay));
    page.setText(vf::kAllowableDeductions, money(rec_.pensionDeduction));
    page.setText(vf::kChargeablePay, money(rec_.chargeablePay));
}

void VARFRM::displayStatutory() {
    DialogView& page = *page_;
    page.setText(vf::kPaye, money(rec_.paye));
    page.setText(vf::kNssf, money(rec_.nssfEmployee));
    page.setText(vf::kStatLumpSumTax, money(rec_.lumpSumTax));
    page.setText(vf::kStatutoryTotal, money(rec_.statutoryDeductions));
}

void VARFRM::displaySummary() {
    DialogView& page = *page_;
    page.setText(vf::kSumEarnings, money(rec_.grossPay));
    page.setText(vf::kSumLumpSums, money(rec_.totalLumpSums));
    page.setText(vf::kSumRefunds, money(rec_.totalRefunds));
    page.setText(vf::kSumOverdraft, money(rec_.deficit));
    page.setText(vf::kTotalPay, money(rec_.totalPay));
    page.setText(vf::kSumStatutory, money(rec_.statutoryDeductions));
    page.setText(vf::kSumOther, money(rec_.otherDeductions));
    page.setText(vf::kTotalDeductions, money(rec_.totalDeductions));
    page.setText(vf::kNetPay, money(rec_.netPay));
}

void VARFRM::readAmount(const char* control, double& value) {
    const std::string text = page_->text(control);
    // A figure left as shown keeps its cents.
    if (text == money(value))
        return;
    double keyed = 0;
    if (!common::parseAmount(text, keyed))
        keyed = 0;
    if (keyed != value) {
        value = keyed;
        changed_ = true;
    }
}

void VARFRM::readPage() {
    if (!hasRecord_ || isReadOnly() || !shown_ || page_ == &noPage_)
        return;
    switch (pageNumber_) {
    case DEDUCTIONS_PAGE:
        if (rec_.openingPeriod)
            readAmount(vf::kOverdraft, rec_.deficitBF);
        break;
    case LUMP_SUMS_PAGE:
        if (rec_.payeApplies)
            readAmount(vf::kLumpSumTax, rec_.lumpSumTax);
        break;
    case REFUNDS_PAGE:
        if (rec_.openingPeriod)
            readAmount(vf::kRoundingBF, rec_.roundingBF);
        break;
    default:
        break;
    }
    const auto table = tableOfPage(pageNumber_);
    if (!table)
        return;
    std::vector<PayItem>& items = *rec_.items(*table);
    for (int row = 0; row < vf::kRows; ++row) {
        const auto index = static_cast<std::size_t>(scroll_ + row);
        if (index >= items.size())
            break;
        PayItem& item = items[index];
        if (item.active && common::isKeyIn(*item.definition))
            readAmount(vf::kItemAmount[row], item.amount);
    }
}

void VARFRM::amountChanged() {
    readPage();
    displayPage(false);
}

bool VARFRM::validatePage() {
    if (!hasRecord_ || isReadOnly())
        return true;
    readPage();
    recompute();
    const Refusal fault = pageFault(pageNumber_);
    return !fault || refuse(*fault);
}

VARFRM::Refusal VARFRM::pageFault(VARPAGE page) const {
    if (page == DEDUCTIONS_PAGE && rec_.deficitBF < 0)
        return Fault{"Overdraft recovery cannot be negative", vf::kOverdraft, std::nullopt};
    // The tax cannot be keyed without PAYE; the store clears it then.
    if (page == LUMP_SUMS_PAGE && rec_.payeApplies) {
        if (const StaffFault fault = checkLumpSumTax(rec_.lumpSumTax, rec_.totalLumpSums, true))
            return Fault{fault->message, vf::kLumpSumTax, std::nullopt};
    }
    const auto table = tableOfPage(page);
    return table ? itemsFault(*table) : std::nullopt;
}

VARFRM::Refusal VARFRM::itemsFault(FIELDSTABLE table) const {
    const std::vector<PayItem>& items = *rec_.items(table);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PayItem& item = items[i];
        if (!item.active || !common::isKeyIn(*item.definition))
            continue;
        const common::PayItemDef& def = *item.definition;
        const auto fault = [&](std::string message) {
            return Fault{std::move(message), nullptr, i};
        };
        if (item.amount < def.lowerLimit)
            return fault(def.itemName + " below set lower limit, " +
                         common::fixedText(def.lowerLimit, 0) + ".");
        if (item.amount > def.upperLimit)
            return fault(def.itemName + " above set upper limit, " +
                         common::fixedText(def.upperLimit, 0) + ".");
        const ItemType type = common::itemTypeOf(def);
        std::optional<double> payable;
        const auto* loan = std::get_if<common::LoanParams>(&item.params);
        if (loan && (type == ItemType::CompanyLoanPayment || type == ItemType::CoopLoanPayment))
            payable = withMonthsInterest(loan->balance, loan->interestRate);
        const auto* recovery = std::get_if<common::CostRecoveryParams>(&item.params);
        if (recovery && type == ItemType::CostRecovery)
            payable = recovery->balance;
        if (payable && item.amount > *payable)
            return fault(def.itemName + ": Payment cannot exceed amount payable, " +
                         common::fixedText(*payable, 2) + ".");
    }
    return std::nullopt;
}

bool VARFRM::refuse(const Fault& fault) {
    ui_.beep();
    ui_.information(fault.message);
    if (fault.item) {
        const int index = static_cast<int>(*fault.item);
        if (index < scroll_ || index >= scroll_ + vf::kRows) {
            scroll_ = index;
            displayPage(false);
        }
        page_->setFocus(vf::kItemAmount[index - scroll_]);
    } else if (fault.control) {
        page_->setFocus(fault.control);
    }
    return false;
}

void VARFRM::scrollFields(ScrollCode code, int position) {
    const auto table = tableOfPage(pageNumber_);
    if (!hasRecord_ || !table)
        return;
    readPage();
    const int last = std::max(0, static_cast<int>(rec_.items(*table)->size()) - vf::kRows);
    switch (code) {
    case ScrollCode::LineUp:
        --scroll_;
        break;
    case ScrollCode::LineDown:
        ++scroll_;
        break;
    case ScrollCode::PageUp:
        scroll_ -= vf::kRows;
        break;
    case ScrollCode::PageDown:
        scroll_ += vf::kRows;
        break;
    case ScrollCode::Top:
        scroll_ = 0;
        break;
    case ScrollCode::Bottom:
        scroll_ = last;
        break;
    case ScrollCode::Position:
        scroll_ = position;
        break;
    }
    scroll_ = std::clamp(scroll_, 0, last);
    displayPage(false);
}

bool VARFRM::setCurrentField(int row) {
    const auto table = tableOfPage(pageNumber_);
    if (!table || row < 0 || row >= vf::kRows ||
        !itemAt(*table, static_cast<std::size_t>(scroll_ + row)))
        return false;
    currentTable_ = *table;
    currentIndex_ = static_cast<std::size_t>(scroll_ + row);
    return true;
}

bool VARFRM::resetField(int row) {
    const auto table = tableOfPage(pageNumber_);
    if (!hasRecord_ || !table || row < 0 || row >= vf::kRows)
        return false;
    readPage();
    const auto index = static_cast<std::size_t>(scroll_ + row);
    if (!itemAt(*table, index))
        return false;
    const bool done = toggleItem(*table, index);
    displayPage(false);
    return done;
}

} // namespace kelo::staffrecords
