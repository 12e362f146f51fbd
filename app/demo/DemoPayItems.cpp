#include "app/demo/DemoSteps.h"
#include "common/Money.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "staffrecords/FieldsFrm.h"
#include "staffrecords/FieldsFrmControls.h"
#include "testsupport/FakeDialogView.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelo::demo::detail {

namespace {

namespace ff = staffrecords::fieldsfrm;
namespace ld = staffrecords::limitsdlg;
namespace fd = staffrecords::fundsdlg;
using common::PAYFREQ;
using testsupport::FakeDialogView;

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

// Fills the item's parameter dialogs the way the user would.
bool setItemParameters(CountingUi& ui, staffrecords::FIELDSFRM& fields, const NewItem& item) {
    FakeDialogView dlg;
    const auto amount = [](double value) { return common::fixedText(value, 0); };
    if (common::isPercentFunction(item.function)) {
        fields.initPercentDlg(dlg);
        dlg.setText(ld::kPercentage, common::fixedText(item.percentage, 2));
        dlg.setChecked(ld::kApplyLimits, item.upper > 0);
        staffrecords::FIELDSFRM::resetLimits(dlg);
        dlg.setText(ld::kLowerLimit, amount(item.lower));
        dlg.setText(ld::kUpperLimit, amount(item.upper));
        if (!fields.getPercent(ui, dlg))
            return false;
    } else if (item.function == common::kFuncKeyIn) {
        fields.displayLimits(dlg);
        dlg.setText(ld::kLowerLimit, amount(item.lower));
        dlg.setText(ld::kUpperLimit, amount(item.upper));
        if (!fields.getLimits(ui, dlg))
            return false;
    }
    if (!item.link)
        return true;
    FakeDialogView fund;
    if (common::isCoopType(item.type)) {
        fields.displayCoop(fund);
        return choose(fund, fd::kName, item.link) && fields.getCoop(ui, fund);
    }
    fields.displayPFParams(fund);
    if (!choose(fund, fd::kName, item.link) ||
        !choose(fund, fd::kEmployerFunction, item.employerFunction))
        return false;
    staffrecords::FIELDSFRM::resetEPFFunction(fund);
    fund.setText(ld::kPercentage, common::fixedText(item.employerPercentage, 2));
    fund.setChecked(ld::kApplyLimits, item.employerUpper > 0);
    staffrecords::FIELDSFRM::resetEPFFunction(fund);
    fund.setText(ld::kLowerLimit, amount(item.employerLower));
    fund.setText(ld::kUpperLimit, amount(item.employerUpper));
    return fields.getPFParams(ui, fund);
}

// The pay fields window: Add, name, type, function, parameters, Save.
bool addPayItem(CountingUi& ui, staffrecords::FIELDSFRM& fields, FakeDialogView& form,
                const common::ORGREC& org, const NewItem& item) {
    if (!fields.addRecord(ui, org))
        return false;
    form.setText(ff::kName, item.name);
    if (!choose(form, ff::kType, item.type))
        return false;
    fields.resetType();
    if (!choose(form, ff::kFunction, item.function))
        return false;
    fields.resetFunction();
    form.setChecked(ff::kStatic, item.isStatic);
    form.setChecked(ff::kTaxable, item.taxable);
    return setItemParameters(ui, fields, item) && fields.save(ui, org);
}

} // namespace

bool definePayItems(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    const common::ORGREC& openOrg) {
    FakeDialogView form;
    staffrecords::FIELDSFRM fields(ui, form, code, folder);
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
                if (!attempt(ui, failure, [&] { return addPayItem(ui, fields, form, org, item); }))
                    return false;
            }
        }
    }
    return true;
}

} // namespace kelo::demo::detail
