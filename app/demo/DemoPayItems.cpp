#include "app/demo/DemoSteps.h"
#include "common/Money.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "staffrecords/FieldsFrm.h"
#include "staffrecords/FieldsRules.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelo::demo::detail {

namespace {

using common::PAYFREQ;

struct NewItem {
    PAYFREQ payFreq = common::MONTHLY;
    common::FIELDSTABLE table = common::EARNINGS;
    const char* name = "";
    const char* type = "Default";
    std::string_view function = common::kFuncKeyIn;
    bool isStatic = false;
    bool taxable = true;
    // "Key in": the limits; percentages: applied when upper is above 0.
    double lower = 0, upper = 0;
    double percentage = 0;
    const char* link = nullptr; // the co-operative or pension fund
    std::string_view employerFunction = common::kFuncKeyIn;
    double employerPercentage = 0;
    double employerLower = 0, employerUpper = 0; // applied when upper is above 0
};

const std::vector<NewItem>& demoItems() {
    using common::BENEFITS, common::DEDUCTIONS, common::EARNINGS;
    static const std::vector<NewItem> items{
        {.name = "Housing Allowance", .isStatic = true, .upper = 2000000},
        {.name = "Transport Allowance", .isStatic = true, .upper = 500000},
        {.table = DEDUCTIONS,
         .name = "Staff Loan",
         .type = "Company Loan Payment",
         .function = common::kFuncAmortise},
        {.table = DEDUCTIONS, .name = "Salary Advance", .type = "Advance", .upper = 1000000},
        {.table = DEDUCTIONS,
         .name = "Staff Savings Scheme",
         .type = "Savings Plan Deposit",
         .isStatic = true,
         .upper = 1000000},
        {.table = DEDUCTIONS,
         .name = "Tea Workers SACCOS",
         .type = "Co-op Contribution",
         .isStatic = true,
         .upper = 500000,
         .link = "Mbeya Tea Workers SACCOS"},
        {.table = DEDUCTIONS,
         .name = "Tea Workers SACCOS Loan",
         .type = "Co-op Loan Payment",
         .function = common::kFuncAmortise,
         .link = "Mbeya Tea Workers SACCOS"},
        {.table = DEDUCTIONS,
         .name = "Highland SACCOS",
         .type = "Co-op Contribution",
         .isStatic = true,
         .upper = 500000,
         .link = "Highland Staff SACCOS"},
        {.table = DEDUCTIONS,
         .name = "Rungwe Benevolent Fund",
         .type = "Co-op Benevolent Fund",
         .isStatic = true,
         .upper = 50000,
         .link = "Rungwe Tea Growers Coop"},
        {.table = DEDUCTIONS,
         .name = "PSSSF Contribution",
         .type = "Pension Contribution",
         .function = common::kFuncPercentOfSalary,
         .taxable = false,
         .percentage = 5,
         .link = "PSSSF",
         .employerFunction = common::kFuncPercentOfSalary,
         .employerPercentage = 15},
        {.table = DEDUCTIONS,
         .name = "NSSF Supplementary",
         .type = "Pension Contribution",
         .isStatic = true,
         .taxable = false,
         .upper = 500000,
         .link = "NSSF Supplementary",
         .employerFunction = common::kFuncPercentOfBasicPay,
         .employerPercentage = 5,
         .employerUpper = 200000},
        {.table = DEDUCTIONS,
         .name = "Union Dues",
         .function = common::kFuncPercentOfBasicPay,
         .upper = 20000,
         .percentage = 2},
        {.table = BENEFITS, .name = "Motor Vehicle Benefit", .isStatic = true, .upper = 1000000},
        {.payFreq = common::WEEKLY, .name = "Plucking Bonus", .upper = 200000},
        {.payFreq = common::WEEKLY,
         .table = DEDUCTIONS,
         .name = "Salary Advance",
         .type = "Advance",
         .upper = 100000},
        {.payFreq = common::BIWEEKLY, .name = "Shift Allowance", .isStatic = true, .upper = 200000},
        {.payFreq = common::BIWEEKLY,
         .table = DEDUCTIONS,
         .name = "Salary Advance",
         .type = "Advance",
         .upper = 200000},
        {.payFreq = common::IRREGULAR, .name = "Meal Allowance", .isStatic = true, .upper = 100000},
    };
    return items;
}

// The definition the pay fields window and its parameter dialogs would make
// of `item`: type first (which may change the function and flags), then the
// function and its parameters.
common::PayItemDef definitionOf(const NewItem& item, const Lists& lists) {
    common::PayItemDef def = staffrecords::newItemDef(0, 0);
    def.itemName = item.name;
    staffrecords::changeType(def, item.type);
    def.itemFunction = std::string(item.function);
    def.isStatic = item.isStatic ? 1 : 0;
    def.taxable = item.taxable ? 1 : 0;
    if (common::isPercentFunction(item.function)) {
        def.funcParams.percentage = static_cast<float>(item.percentage);
        def.applyLimits = item.upper > 0 ? 1 : 0;
    }
    if (def.applyLimits || item.function == common::kFuncKeyIn) {
        def.lowerLimit = item.lower;
        def.upperLimit = item.upper;
    }
    if (!item.link)
        return def;
    common::PayItemLink link;
    const bool coop = common::isCoopType(item.type);
    const Codes& codes = coop ? lists.coops : lists.funds;
    const auto found = codes.find(item.link);
    link.id = found == codes.end() ? 0 : static_cast<std::int32_t>(found->second);
    if (!coop) {
        common::EmployerContribution employer;
        employer.function = std::string(item.employerFunction);
        const bool percent = common::isPercentFunction(employer.function);
        if (percent) {
            employer.percentage = static_cast<float>(item.employerPercentage);
            employer.applyLimits = item.employerUpper > 0 ? 1 : 0;
        }
        if (!percent || employer.applyLimits) {
            employer.lowerLimit = item.employerLower;
            employer.upperLimit = item.employerUpper;
        }
        link.employer = employer;
    }
    def.link = link;
    return def;
}

} // namespace

bool definePayItems(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    const common::ORGREC& openOrg, const Lists& lists) {
    staffrecords::FIELDSFRM fields(ui, code, folder);
    if (!fields.checkFiles(ui, openOrg))
        return false;
    for (PAYFREQ payFreq : common::kPayFreqs) {
        common::ORGREC org = openOrg;
        org.payFreq = payFreq;
        for (common::FIELDSTABLE table : common::kFieldsTables) {
            bool opened = false;
            for (const NewItem& item : demoItems()) {
                if (item.payFreq != payFreq || item.table != table)
                    continue;
                if (!opened && !fields.open(ui, table, org))
                    return false;
                opened = true;
                const std::string failure = std::string("Can't add the pay item ") + item.name +
                                            " to the " +
                                            std::string(common::payFreqLabel(payFreq)) + " payroll";
                if (!attempt(ui, failure,
                             [&] { return fields.addItem(ui, definitionOf(item, lists)); }))
                    return false;
            }
        }
    }
    return true;
}

} // namespace kelo::demo::detail
