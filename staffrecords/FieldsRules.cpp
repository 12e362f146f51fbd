#include "staffrecords/FieldsRules.h"

#include "common/Money.h"
#include "common/Text.h"

namespace kelo::staffrecords {

namespace {

constexpr const char* kTypeDefault = "Default";
constexpr const char* kTypeAdvance = "Advance";

std::string text(std::string_view value) {
    return std::string(value);
}

std::int32_t linkOf(const common::PayItemDef& def) {
    return def.link ? def.link->id : 0;
}

} // namespace

std::vector<std::string> typesOffered(common::FIELDSTABLE table, common::PAYFREQ payFreq) {
    switch (table) {
    case common::EARNINGS:
        return {kTypeDefault, text(common::kTypeHourlyPay)};
    case common::DEDUCTIONS:
        if (payFreq != common::MONTHLY)
            return {kTypeDefault, kTypeAdvance, text(common::kTypeCostRecovery)};
        return {kTypeDefault,
                kTypeAdvance,
                text(common::kTypeCoopContribution),
                text(common::kTypeCoopLoanPayment),
                text(common::kTypeCoopBenevolentFund),
                text(common::kTypePensionContribution),
                text(common::kTypeCompanyLoanPayment),
                text(common::kTypeBankLoanPayment),
                text(common::kTypeSavingsPlanDeposit),
                text(common::kTypeCostRecovery)};
    default:
        return {kTypeDefault};
    }
}

std::vector<std::string> functionsOffered(common::FIELDSTABLE table, std::string_view itemType) {
    const std::vector<std::string> percentages{text(common::kFuncPercentOfSalary),
                                               text(common::kFuncPercentOfBasicPay)};
    switch (table) {
    case common::EARNINGS:
        if (itemType == common::kTypeHourlyPay)
            return {text(common::kFuncBasedOnHours)};
        return {text(common::kFuncKeyIn), percentages[0], percentages[1]};
    case common::DEDUCTIONS: {
        std::vector<std::string> functions;
        if (itemType == common::kTypeCompanyLoanPayment || itemType == common::kTypeCoopLoanPayment)
            functions = {text(common::kFuncAmortise), text(common::kFuncReducingBalance)};
        functions.insert(functions.end(), {text(common::kFuncKeyIn), percentages[0], percentages[1],
                                           text(common::kFuncPercentOfGrossPay)});
        return functions;
    }
    default:
        return {text(common::kFuncKeyIn), percentages[0]};
    }
}

std::vector<std::string> employerFunctions() {
    return {text(common::kFuncKeyIn), text(common::kFuncPercentOfSalary),
            text(common::kFuncPercentOfBasicPay), text(common::kFuncPercentOfGrossPay)};
}

common::PayItemDef newItemDef(std::int32_t position, std::int32_t id) {
    common::PayItemDef def;
    def.itemType = kTypeDefault;
    def.itemFunction = common::kFuncKeyIn;
    def.taxable = 1;
    def.position = position;
    def.id = id;
    return def;
}

void changeType(common::PayItemDef& def, std::string_view itemType) {
    const bool wasHourly = def.itemType == common::kTypeHourlyPay;
    const bool wasLinked =
        common::isCoopType(def.itemType) || def.itemType == common::kTypePensionContribution;
    const bool staysInGroup = (common::isCoopType(def.itemType) && common::isCoopType(itemType)) ||
                              def.itemType == itemType;
    def.itemType = itemType;
    if (itemType == common::kTypeHourlyPay) {
        def.itemFunction = common::kFuncBasedOnHours;
        def.funcParams.rateKind = common::kBasicPayRateKind;
        def.funcParams.factor = 0;
        def.isStatic = 0;
    } else if (wasHourly && def.itemFunction == common::kFuncBasedOnHours) {
        def.itemFunction = common::kFuncKeyIn;
    }
    if (wasLinked && !staysInGroup)
        def.link.reset();
}

namespace {
bool countsPaymentsDown(std::string_view itemFunction) {
    return itemFunction == common::kFuncAmortise || itemFunction == common::kFuncReducingBalance;
}
} // namespace

bool valuesChangeMeaning(const common::PayItemDef& saved, const common::PayItemDef& changed) {
    if (saved.builtIn)
        return false;
    if (saved.itemType != changed.itemType)
        return true;
    return !countsPaymentsDown(saved.itemFunction) && countsPaymentsDown(changed.itemFunction);
}

std::string blankMessage(std::string_view fieldName) {
    return "The " + text(fieldName) + " must not be blank." + " " + "Please enter a value.";
}

std::string invalidMessage(std::string_view fieldName) {
    return "This is not a valid value for the " + text(fieldName) + ".";
}

std::optional<std::string> validateItem(const std::vector<common::PayItemDef>& items,
                                        std::size_t index, const common::PayItemDef& def) {
    const std::string name = common::trim(def.itemName);
    if (name.empty())
        return blankMessage("field name");
    const std::int32_t link = linkOf(def);
    const bool isPension = def.itemType == common::kTypePensionContribution;
    const bool isCoop = common::isCoopType(def.itemType);
    int sameFund = 1; // the item being edited counts
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i == index)
            continue;
        const common::PayItemDef& other = items[i];
        if (common::equalsIgnoreCase(common::trim(other.itemName), name))
            return std::string("Field with this name already exists.") + " " +
                   "Please enter a different name.";
        if (link != 0 && linkOf(other) == link &&
            ((isPension && other.itemType == common::kTypePensionContribution) ||
             (isCoop && common::isCoopType(other.itemType))))
            ++sameFund;
    }
    if (isPension && sameFund > 1)
        return "Can't have more than " + std::to_string(1) + " " +
               "pension fund contribution for a single pension fund.";
    if (isCoop && sameFund > 6)
        return "Can't have more than " + std::to_string(6) + " " +
               "co-op deductions for a single co-op.";
    if (isCoop && link == 0)
        return blankMessage("co-ooerative name");
    if (isPension && link == 0)
        return blankMessage("pension fund name");
    return std::nullopt;
}

std::optional<double> requiredAmount(std::string_view value, std::string_view fieldName,
                                     std::string& message) {
    if (common::trim(value).empty()) {
        message = blankMessage(fieldName);
        return std::nullopt;
    }
    double amount = 0;
    if (!common::parseAmount(value, amount) || amount < 0) {
        message = invalidMessage(fieldName);
        return std::nullopt;
    }
    return amount;
}

std::optional<std::string> limitsFault(double lower, double upper) {
    if (lower > upper)
        return std::string("The lower limit must not exceed the upper limit.");
    return std::nullopt;
}

namespace {
std::optional<std::string> limitsFaultOf(double lower, double upper) {
    if (lower < 0)
        return invalidMessage("lower limit");
    if (upper < 0)
        return invalidMessage("upper limit");
    return limitsFault(lower, upper);
}
} // namespace

std::optional<std::string> parameterFault(const common::PayItemDef& def) {
    const bool percent = common::isPercentFunction(def.itemFunction);
    if (percent && def.funcParams.percentage < 0)
        return invalidMessage("percentage");
    if (def.itemFunction == common::kFuncBasedOnHours && def.funcParams.factor < 0)
        return invalidMessage("factor");
    if ((percent && def.applyLimits) || def.itemFunction == common::kFuncKeyIn) {
        if (auto fault = limitsFaultOf(def.lowerLimit, def.upperLimit))
            return fault;
    }
    if (def.itemType != common::kTypePensionContribution)
        return std::nullopt;
    if (!def.link)
        return blankMessage("pension fund name");
    if (!def.link->employer)
        return std::nullopt;
    const common::EmployerContribution& employer = *def.link->employer;
    const bool employerPercent = common::isPercentFunction(employer.function);
    if (employerPercent && employer.percentage < 0)
        return invalidMessage("percentage");
    if (!employerPercent || employer.applyLimits)
        return limitsFaultOf(employer.lowerLimit, employer.upperLimit);
    return std::nullopt;
}

} // namespace kelo::staffrecords
