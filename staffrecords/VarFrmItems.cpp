// The pay items of the transactions form: which may be ticked, what ticking
// one does, and the changes a clerk makes, made without a window; and the
// employees taken off the payroll, added back.
#include "common/Money.h"
#include "common/Text.h"
#include "database/DbTable.h"
#include "database/TableSupport.h"
#include "engine/Data4.h"
#include "engine/EngineCodes.h"
#include "engine/Field4.h"
#include "staffrecords/PeriodUpdate.h"
#include "staffrecords/VarFrm.h"
#include "staffrecords/VarFrmControls.h"

#include <algorithm>
#include <variant>
#include <vector>

namespace kelo::staffrecords {

namespace ad = addempdlg;
using common::FIELDSTABLE;
using common::ItemFunction;
using common::ItemType;
using common::PayItem;

namespace {

std::string money(double amount) {
    return common::withThousands(amount, 0);
}

template <class T> void update(bool& changed, T& field, const T& value) {
    if (field != value) {
        field = value;
        changed = true;
    }
}

// What switching the item off may throw away.
double balanceOf(const PayItem& item) {
    if (const auto* pension = std::get_if<common::PensionParams>(&item.params))
        return pension->employeeBalance + pension->employerBalance;
    if (const auto* coop = std::get_if<common::CoopParams>(&item.params))
        return coop->balance;
    if (const auto* loan = std::get_if<common::LoanParams>(&item.params))
        return loan->balance;
    if (const auto* savings = std::get_if<common::SavingsParams>(&item.params))
        return savings->balance;
    if (const auto* recovery = std::get_if<common::CostRecoveryParams>(&item.params))
        return recovery->balance;
    return 0;
}

} // namespace

ParamDialog dialogOf(const common::PayItem& item) {
    return std::visit(
        [](const auto& p) {
            using T = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<T, common::HourlyParams>)
                return ParamDialog::HourlyPay;
            else if constexpr (std::is_same_v<T, common::CoopParams>)
                return ParamDialog::CoopBalance;
            else if constexpr (std::is_same_v<T, common::PensionParams>)
                return ParamDialog::PensionFund;
            else if constexpr (std::is_same_v<T, common::LoanParams>)
                return ParamDialog::Loan;
            else if constexpr (std::is_same_v<T, common::BankLoanParams>)
                return ParamDialog::BankLoan;
            else if constexpr (std::is_same_v<T, common::SavingsParams>)
                return ParamDialog::Savings;
            else if constexpr (std::is_same_v<T, common::CostRecoveryParams>)
                return ParamDialog::CostRecovery;
            else
                return ParamDialog::None;
        },
        item.params);
}

common::PayItem* VARFRM::itemAt(FIELDSTABLE table, std::size_t index) {
    std::vector<PayItem>* items = rec_.items(table);
    return hasRecord_ && items && index < items->size() ? &(*items)[index] : nullptr;
}

common::PayItem* VARFRM::currentItem() {
    return currentIndex_ ? itemAt(currentTable_, *currentIndex_) : nullptr;
}

const common::PayItem* VARFRM::currentItem() const {
    return const_cast<VARFRM*>(this)->currentItem();
}

std::string VARFRM::getFieldType() const {
    const PayItem* item = currentItem();
    return item ? item->definition->itemType : std::string();
}

ParamDialog VARFRM::currentDialog() const {
    const PayItem* item = currentItem();
    return item ? dialogOf(*item) : ParamDialog::None;
}

std::optional<std::string> VARFRM::whyNotApplicable(const PayItem& item) const {
    const common::PayItemDef& def = *item.definition;
    const ItemType type = common::itemTypeOf(def);
    const std::int32_t link = def.link ? def.link->id : 0;
    const auto among = [link](std::int32_t first, std::int32_t second) {
        return link != 0 && (link == first || link == second);
    };
    if (type == ItemType::PensionContribution &&
        !among(employee_.pensionFund1, employee_.pensionFund2))
        return def.itemName +
               " cannot be ticked: the employee is not a member of its pension fund.";
    if (common::isCoopType(def.itemType) && !among(employee_.coop1, employee_.coop2))
        return def.itemName +
               " cannot be ticked: the employee is not a member of its co-operative.";
    if ((type == ItemType::CompanyLoanPayment || type == ItemType::BankLoanPayment ||
         type == ItemType::SavingsPlanDeposit) &&
        payFreq_ != common::MONTHLY)
        return def.itemName + " can only be used on the monthly payroll.";
    return std::nullopt;
}

bool VARFRM::toggleItem(FIELDSTABLE table, std::size_t index) {
    PayItem* item = itemAt(table, index);
    if (!item || isReadOnly()) {
        ui_.beep();
        return false;
    }
    const common::PayItemDef& def = *item->definition;
    if (!item->active) {
        if (const auto why = whyNotApplicable(*item)) {
            ui_.information(*why);
            return false;
        }
    } else if (const double balance = balanceOf(*item); balance > 0) {
        const common::Answer answer = ui_.message(
            "Retain current " + def.itemName + " balance of Tsh " + money(balance) + "?",
            common::MessageIcon::Question, common::MessageButtons::YesNoCancel, def.itemName);
        if (answer == common::Answer::Cancel)
            return false;
        // The next loan or balance starts afresh.
        if (answer == common::Answer::No)
            item->params = common::newPayItem(item->definition, table).params;
    }
    item->active = item->active ? 0 : 1;
    if (item->active)
        switchedOn(*item);
    else
        item->amount = 0;
    changed_ = true;
    recompute();
    return true;
}

void VARFRM::switchedOn(PayItem& item) {
    const common::PayItemDef& def = *item.definition;
    auto* pension = std::get_if<common::PensionParams>(&item.params);
    if (pension && def.link && def.link->employer &&
        !common::isPercentFunction(def.link->employer->function))
        pension->employerContribution = def.link->employer->lowerLimit;
    const auto* loan = std::get_if<common::LoanParams>(&item.params);
    switch (common::itemFunctionOf(def)) {
    case ItemFunction::Amortise:
        if (loan)
            item.amount =
                amortisedInstalment(loan->balance, loan->interestRate, loan->paymentsLeft);
        break;
    case ItemFunction::ReducingBalance:
        if (loan)
            item.amount = common::roundShillings(common::decimalOf(loan->interestRate) *
                                                     loan->balance / 1200 +
                                                 loan->balance / std::max(1, loan->paymentsLeft));
        break;
    default:
        if (common::isKeyIn(def))
            item.amount = def.lowerLimit;
        break;
    }
}
// Without a window.
bool VARFRM::gotoEmployee(const std::string& empNum) {
    if (!isOpen() || !saveCurrentRec())
        return false;
    if (staffRecNo_ == 0 ||
        !common::equalsIgnoreCase(common::trim(employee_.empNum), common::trim(empNum))) {
        const long recNo = staff_.recNum(empNum);
        if (recNo == 0 || staff_.data()->go(recNo) != engine::r4success) {
            ui_.information("Record Not Found");
            return false;
        }
        loadCurrent();
        displayRecord();
    }
    if (!hasRecord_) {
        ui_.information(common::trim(empNum) + " is not on this payroll.");
        return false;
    }
    return true;
}

bool VARFRM::changeEmployee(const std::string& empNum, std::optional<common::FIELDSTABLE> table,
                            const std::function<bool()>& change) {
    if (!gotoEmployee(empNum))
        return false;
    if (isReadOnly()) {
        ui_.information("This record is read-only and cannot be saved.");
        return false;
    }
    bool done = change();
    if (done) {
        recompute();
        if (const Refusal fault = table ? itemsFault(*table) : std::nullopt) {
            ui_.information(fault->message);
            done = false;
        }
    }
    done = done && saveCurrentRec();
    if (!done)
        undoCurrentRec();
    return done;
}

bool VARFRM::changeItem(const std::string& empNum, common::FIELDSTABLE table, std::size_t index,
                        ParamDialog dialog, const std::function<Refusal()>& apply) {
    return changeEmployee(empNum, table, [&] {
        PayItem* item = itemAt(table, index);
        if (!item) {
            ui_.error("The payroll has no such pay item.");
            return false;
        }
        if (!item->active && !toggleItem(table, index))
            return false;
        currentTable_ = table;
        currentIndex_ = index;
        if (currentDialog() != dialog) {
            ui_.error(item->definition->itemName + " does not take these values.");
            return false;
        }
        const Refusal fault = apply();
        if (fault)
            ui_.information(fault->message);
        return !fault;
    });
}

bool VARFRM::keyAmount(const std::string& empNum, common::FIELDSTABLE table, std::size_t index,
                       double amount) {
    return changeEmployee(empNum, table, [&] {
        PayItem* item = itemAt(table, index);
        if (!item) {
            ui_.error("The payroll has no such pay item.");
            return false;
        }
        if (!common::isKeyIn(*item->definition)) {
            ui_.information("The amount of " + item->definition->itemName +
                            " is worked out by its function and cannot be keyed.");
            return false;
        }
        if (!item->active && !toggleItem(table, index))
            return false;
        update(changed_, item->amount, amount);
        return true;
    });
}

bool VARFRM::switchItem(const std::string& empNum, common::FIELDSTABLE table, std::size_t index,
                        bool on) {
    return changeEmployee(empNum, table, [&] {
        PayItem* item = itemAt(table, index);
        if (!item) {
            ui_.error("The payroll has no such pay item.");
            return false;
        }
        return (item->active != 0) == on || toggleItem(table, index);
    });
}

bool VARFRM::setTimeWorked(const std::string& empNum, double timeWorked) {
    return changeEmployee(empNum, std::nullopt, [&] {
        const Refusal fault = applyTimeWorked(timeWorked);
        if (fault)
            ui_.information(fault->message);
        return !fault;
    });
}

bool VARFRM::setOvertimeHours(const std::string& empNum, double normalHours, double doubleHours) {
    return changeEmployee(empNum, std::nullopt, [&] {
        const Refusal fault = applyOvertime(normalHours, doubleHours);
        if (fault)
            ui_.information(fault->message);
        return !fault;
    });
}

bool VARFRM::setHourlyPay(const std::string& empNum, std::size_t index, double hours, double rate) {
    return changeItem(empNum, common::EARNINGS, index, ParamDialog::HourlyPay,
                      [&] { return applyHourlyPay(hours, rate); });
}

bool VARFRM::setCoopBalance(const std::string& empNum, std::size_t index, double balance) {
    return changeItem(empNum, common::DEDUCTIONS, index, ParamDialog::CoopBalance,
                      [&] { return applyCoopBalance(balance); });
}

bool VARFRM::setPensionParams(const std::string& empNum, std::size_t index,
                              const common::PensionParams& params) {
    return changeItem(empNum, common::DEDUCTIONS, index, ParamDialog::PensionFund,
                      [&] { return applyPension(params); });
}

bool VARFRM::setLoan(const std::string& empNum, std::size_t index,
                     const common::LoanParams& params) {
    return changeItem(empNum, common::DEDUCTIONS, index, ParamDialog::Loan,
                      [&] { return applyLoan(params); });
}

bool VARFRM::setBankLoan(const std::string& empNum, std::size_t index,
                         const common::BankLoanParams& params) {
    return changeItem(empNum, common::DEDUCTIONS, index, ParamDialog::BankLoan,
                      [&] { return applyBankLoan(params); });
}

bool VARFRM::setSavings(const std::string& empNum, std::size_t index,
                        const common::SavingsParams& params) {
    return changeItem(empNum, common::DEDUCTIONS, index, ParamDialog::Savings,
                      [&] { return applySavings(params); });
}

bool VARFRM::setRecoveryBalance(const std::string& empNum, std::size_t index, double balance) {
    return changeItem(empNum, common::DEDUCTIONS, index, ParamDialog::CostRecovery,
                      [&] { return applyRecovery(balance); });
}

// Adding back.
bool VARFRM::initAddEmpDlg(common::DialogView& dlg) {
    if (!isOpen())
        return false;
    dlg.setCaption("Add Employees to Payroll");
    dlg.clearItems(ad::kEmployees);
    int rows = 0;
    {
        engine::Data4& table = *data();
        database::TablePlace place(&table);
        table.refresh();
        order(kEmpNumTag);
        const engine::Field4& removed = field(kRemoved);
        const engine::Field4& number = field(kEmpNum);
        engine::Data4& staff = *staff_.data();
        for (int rc = table.top(); rc == engine::r4success && !table.eof(); rc = table.skip()) {
            if (table.deleted() || !removed.getLogical())
                continue;
            // Only employees who could be paid on this payroll come back.
            database::TablePlace staffPlace(&staff);
            common::STATICREC e;
            if (!staff_.seekEmpNum(number.trimmed()) || !staff_.initRec(e) ||
                e.payFreq != payFreq_ || e.separated)
                continue;
            dlg.addItem(ad::kEmployees, e.empNum + "\t" + e.lastName + ", " + e.otherNames,
                        table.recNo());
            ++rows;
        }
    }
    if (rows == 0) {
        ui_.information("No eligible employees were found.");
        return false;
    }
    dlg.setChecked(ad::kAddAll, true);
    dlg.setChecked(ad::kAddSelected, false);
    resetAddEmpDlg(dlg);
    return true;
}

void VARFRM::resetAddEmpDlg(common::DialogView& dlg) {
    dlg.setEnabled(ad::kEmployees, dlg.isChecked(ad::kAddSelected));
}

bool VARFRM::addRecords(common::DialogView& dlg) {
    std::vector<int> chosen;
    if (dlg.isChecked(ad::kAddSelected)) {
        chosen = dlg.selectedRows(ad::kEmployees);
    } else {
        for (int row = 0; row < dlg.itemCount(ad::kEmployees); ++row)
            chosen.push_back(row);
    }
    if (chosen.empty()) {
        ui_.beep();
        return false;
    }
    engine::Data4& table = *data();
    bool ok = true;
    for (int row : chosen) {
        const long recNo = dlg.itemCode(ad::kEmployees, row);
        const std::string text = dlg.itemText(ad::kEmployees, row);
        const std::string empNum = text.substr(0, text.find('\t'));
        int rc = table.go(recNo);
        if (rc == engine::r4success)
            rc = table.lock(recNo);
        if (rc != engine::r4success) {
            const bool other = rc == engine::r4locked || database::isLockedByOther(code());
            code().setErrorCode(0);
            if (other)
                ui_.warning("The payroll record of " + empNum +
                            " is locked by another user. Try again later.");
            else
                ui_.error("Can't update " + relativePath());
            ok = false;
            continue;
        }
        table.go(recNo);
        if (!table.deleted() && field(kRemoved).getLogical()) {
            field(kRemoved).assignLogical(false);
            if (table.write() != engine::r4success || table.flush() != engine::r4success) {
                code().setErrorCode(0);
                ui_.error("Can't update " + relativePath());
                ok = false;
            }
        }
        table.unlock();
    }
    // The employee shown may be one of those added back.
    if (!hasRecord_ && staffRecNo_ != 0) {
        staff_.data()->go(staffRecNo_);
        loadCurrent();
        displayRecord();
    }
    return ok;
}

} // namespace kelo::staffrecords
