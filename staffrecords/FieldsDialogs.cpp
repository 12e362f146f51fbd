// The parameter dialogs of the pay fields window: each shows the parameters
// of the item being edited and, when its values pass, stores them in it.
#include "common/Money.h"
#include "staffrecords/FieldsFrm.h"
#include "staffrecords/FieldsFrmControls.h"
#include "staffrecords/FieldsRules.h"

#include <optional>
#include <string_view>

namespace kelo::staffrecords {

namespace ld = limitsdlg;
namespace hd = hourlyratedlg;
namespace fd = fundsdlg;

namespace {

void showLimits(common::DialogView& dlg, int applyLimits, double lower, double upper) {
    dlg.setChecked(ld::kApplyLimits, applyLimits != 0);
    dlg.setText(ld::kLowerLimit, common::fixedText(lower, 0));
    dlg.setText(ld::kUpperLimit, common::fixedText(upper, 0));
}

// A required, non-negative value of the dialog; shows the message and puts
// the focus on the control when there is none.
std::optional<double> amountOf(common::Ui& ui, common::DialogView& dlg, std::string_view control,
                               std::string_view fieldName) {
    std::string message;
    const auto value = requiredAmount(dlg.text(control), fieldName, message);
    if (!value) {
        ui.warning(message);
        dlg.setFocus(control);
    }
    return value;
}

struct Limits {
    double lower = 0, upper = 0;
};

std::optional<Limits> limitsOf(common::Ui& ui, common::DialogView& dlg) {
    const auto lower = amountOf(ui, dlg, ld::kLowerLimit, "lower limit");
    if (!lower)
        return std::nullopt;
    const auto upper = amountOf(ui, dlg, ld::kUpperLimit, "upper limit");
    if (!upper)
        return std::nullopt;
    if (const auto fault = limitsFault(*lower, *upper)) {
        ui.warning(*fault);
        dlg.setFocus(ld::kLowerLimit);
        return std::nullopt;
    }
    return Limits{*lower, *upper};
}

// The names of a lookup list, coded by their codes, with `code`'s row chosen.
void showNames(common::DialogView& dlg, const std::vector<database::LookupEntry>& entries,
               long code) {
    dlg.clearItems(fd::kName);
    int chosen = -1;
    for (const database::LookupEntry& entry : entries) {
        const int row = dlg.addItem(fd::kName, entry.name, entry.code);
        if (entry.code == code)
            chosen = row;
    }
    dlg.selectRow(fd::kName, chosen);
}

std::string selectedText(const common::DialogView& dlg, std::string_view control) {
    const int row = dlg.selectedRow(control);
    return row < 0 ? std::string() : dlg.itemText(control, row);
}

} // namespace

void FIELDSFRM::initPercentDlg(common::DialogView& dlg) const {
    dlg.setCaption("Percentage");
    dlg.setText(ld::kPercentage, common::fixedText(item_.funcParams.percentage, 2));
    showLimits(dlg, item_.applyLimits, item_.lowerLimit, item_.upperLimit);
    resetLimits(dlg);
}

bool FIELDSFRM::getPercent(common::Ui& ui, common::DialogView& dlg) {
    const auto percentage = amountOf(ui, dlg, ld::kPercentage, "percentage");
    if (!percentage)
        return false;
    const bool apply = dlg.isChecked(ld::kApplyLimits);
    std::optional<Limits> limits = Limits{item_.lowerLimit, item_.upperLimit};
    if (apply && !(limits = limitsOf(ui, dlg)))
        return false;
    item_.funcParams.percentage = static_cast<float>(*percentage);
    item_.applyLimits = apply ? 1 : 0;
    item_.lowerLimit = limits->lower;
    item_.upperLimit = limits->upper;
    return true;
}

void FIELDSFRM::displayLimits(common::DialogView& dlg) const {
    dlg.setCaption("Limits");
    showLimits(dlg, item_.applyLimits, item_.lowerLimit, item_.upperLimit);
}

void FIELDSFRM::resetLimits(common::DialogView& dlg) {
    const bool apply = dlg.isChecked(ld::kApplyLimits);
    dlg.setEnabled(ld::kLowerLimit, apply);
    dlg.setEnabled(ld::kUpperLimit, apply);
}

bool FIELDSFRM::getLimits(common::Ui& ui, common::DialogView& dlg) {
    const auto limits = limitsOf(ui, dlg);
    if (!limits)
        return false;
    item_.lowerLimit = limits->lower;
    item_.upperLimit = limits->upper;
    return true;
}

void FIELDSFRM::displayHourlyRate(common::DialogView& dlg) const {
    dlg.setCaption("Hourly Rate");
    const bool fromBasic = item_.funcParams.rateKind == common::kBasicPayRateKind;
    dlg.setChecked(hd::kBasicPayRate, fromBasic);
    dlg.setChecked(hd::kKeyInRate, !fromBasic);
    dlg.setText(hd::kFactor, common::fixedText(item_.funcParams.factor, 2));
    resetHourlyRate(dlg);
}

void FIELDSFRM::resetHourlyRate(common::DialogView& dlg) {
    dlg.setEnabled(hd::kFactor, dlg.isChecked(hd::kBasicPayRate));
}

bool FIELDSFRM::getHourlyRate(common::Ui& ui, common::DialogView& dlg) {
    if (!dlg.isChecked(hd::kBasicPayRate)) {
        item_.funcParams.rateKind = 1;
        return true;
    }
    const auto factor = amountOf(ui, dlg, hd::kFactor, "factor");
    if (!factor)
        return false;
    item_.funcParams.rateKind = common::kBasicPayRateKind;
    item_.funcParams.factor = static_cast<float>(*factor);
    return true;
}

void FIELDSFRM::displayCoop(common::DialogView& dlg) const {
    dlg.setCaption("Select Name");
    showNames(dlg, coops_, item_.link ? item_.link->id : 0);
}

bool FIELDSFRM::getCoop(common::Ui& ui, common::DialogView& dlg) {
    const int row = dlg.selectedRow(fd::kName);
    if (row < 0) {
        ui.beep();
        return false;
    }
    common::PayItemLink link;
    link.id = static_cast<std::int32_t>(dlg.itemCode(fd::kName, row));
    item_.link = link;
    return true;
}

void FIELDSFRM::displayPFParams(common::DialogView& dlg) const {
    dlg.setCaption("Pension Fund Parameters");
    showNames(dlg, funds_, item_.link ? item_.link->id : 0);
    const common::EmployerContribution employer =
        item_.link && item_.link->employer ? *item_.link->employer : common::EmployerContribution{};
    dlg.clearItems(fd::kEmployerFunction);
    for (const std::string& function : employerFunctions())
        dlg.addItem(fd::kEmployerFunction, function);
    const int row = dlg.findItem(fd::kEmployerFunction, employer.function);
    dlg.selectRow(fd::kEmployerFunction, row < 0 ? 0 : row);
    dlg.setText(ld::kPercentage, common::fixedText(employer.percentage, 2));
    showLimits(dlg, employer.applyLimits, employer.lowerLimit, employer.upperLimit);
    resetEPFFunction(dlg);
}

void FIELDSFRM::resetEPFFunction(common::DialogView& dlg) {
    const bool percent = common::isPercentFunction(selectedText(dlg, fd::kEmployerFunction));
    dlg.setEnabled(ld::kPercentage, percent);
    dlg.setEnabled(ld::kApplyLimits, percent);
    // A keyed contribution starts at the lower limit and stays within both.
    const bool limits = !percent || dlg.isChecked(ld::kApplyLimits);
    dlg.setEnabled(ld::kLowerLimit, limits);
    dlg.setEnabled(ld::kUpperLimit, limits);
}

bool FIELDSFRM::getPFParams(common::Ui& ui, common::DialogView& dlg) {
    const int row = dlg.selectedRow(fd::kName);
    if (row < 0) {
        ui.warning(blankMessage("pension fund name"));
        dlg.setFocus(fd::kName);
        return false;
    }
    common::EmployerContribution employer;
    employer.function = selectedText(dlg, fd::kEmployerFunction);
    if (employer.function.empty())
        employer.function = common::kFuncKeyIn;
    const bool percent = common::isPercentFunction(employer.function);
    if (percent) {
        const auto percentage = amountOf(ui, dlg, ld::kPercentage, "percentage");
        if (!percentage)
            return false;
        employer.percentage = static_cast<float>(*percentage);
        employer.applyLimits = dlg.isChecked(ld::kApplyLimits) ? 1 : 0;
    }
    if (!percent || employer.applyLimits) {
        const auto limits = limitsOf(ui, dlg);
        if (!limits)
            return false;
        employer.lowerLimit = limits->lower;
        employer.upperLimit = limits->upper;
    }
    common::PayItemLink link;
    link.id = static_cast<std::int32_t>(dlg.itemCode(fd::kName, row));
    link.employer = employer;
    item_.link = link;
    return true;
}

} // namespace kelo::staffrecords
