#include "app/demo/DemoSteps.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "staffrecords/VarFrm.h"

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace kelo::demo::detail {

namespace {

using common::PAYFREQ;

// What is keyed for an employee's item in the first month; an item named
// here is switched on. Amortised loans get their instalment from the loan.
struct Keyed {
    const char* empNum = "";
    const char* item = "";
    double amount = 0;
    common::PayItemParams params{};
};

using common::CoopParams, common::LoanParams, common::PensionParams, common::SavingsParams;

// clang-format off
const std::vector<Keyed>& demoKeyed() {
    static const std::vector<Keyed> keyed{
        {"MH002", "Housing Allowance", 600000}, {"MH006", "Housing Allowance", 400000},
        {"MH007", "Housing Allowance", 250000}, {"MH008", "Housing Allowance", 200000},
        {"MH012", "Housing Allowance", 200000},
        {"MH009", "Transport Allowance", 80000}, {"MH010", "Transport Allowance", 100000},
        {"MH011", "Transport Allowance", 100000}, {"MH013", "Transport Allowance", 60000},
        {"MH001", "Motor Vehicle Benefit", 250000}, {"MH002", "Motor Vehicle Benefit", 150000},
        // New loans are keyed as principal and number of payments.
        {"MH003", "Staff Loan", 0, LoanParams{.balance = 3000000, .interestRate = 10, .paymentsLeft = 24, .newLoan = 1, .taxableBenefit = 1}},
        {"MH007", "Staff Loan", 0, LoanParams{.balance = 1200000, .interestRate = 8, .paymentsLeft = 12, .newLoan = 1}},
        {"MH014", "Staff Loan", 0, LoanParams{.balance = 650000, .interestRate = 8, .paymentsLeft = 9}},
        {"MH016", "Staff Loan", 0, LoanParams{.balance = 300000, .paymentsLeft = 6}},
        {"MH020", "Salary Advance", 50000}, {"MH022", "Salary Advance", 40000},
        {"MH002", "Staff Savings Scheme", 100000, SavingsParams{.balance = 1250000, .interestRate = 6}},
        {"MH008", "Staff Savings Scheme", 50000, SavingsParams{.balance = 300000, .interestRate = 6}},
        {"MH012", "Staff Savings Scheme", 60000, SavingsParams{.balance = 480000, .interestRate = 6}},
        {"MH019", "Staff Savings Scheme", 30000, SavingsParams{.balance = 150000, .interestRate = 6}},
        {"MH023", "Staff Savings Scheme", 20000, SavingsParams{.balance = 90000, .interestRate = 6}},
        {"MH013", "Tea Workers SACCOS", 30000, CoopParams{.balance = 540000}},
        {"MH015", "Tea Workers SACCOS", 25000, CoopParams{.balance = 375000}},
        {"MH017", "Tea Workers SACCOS", 25000, CoopParams{.balance = 425000}},
        {"MH021", "Tea Workers SACCOS", 20000, CoopParams{.balance = 160000}},
        {"MH023", "Tea Workers SACCOS", 20000, CoopParams{.balance = 360000}},
        {"MH024", "Tea Workers SACCOS", 20000, CoopParams{.balance = 300000}},
        {"MH013", "Tea Workers SACCOS Loan", 0, LoanParams{.balance = 1500000, .interestRate = 12, .paymentsLeft = 18, .newLoan = 1}},
        {"MH017", "Tea Workers SACCOS Loan", 0, LoanParams{.balance = 800000, .interestRate = 12, .paymentsLeft = 10}},
        {"MH007", "Highland SACCOS", 50000, CoopParams{.balance = 600000}},
        {"MH009", "Highland SACCOS", 40000, CoopParams{.balance = 880000}},
        {"MH013", "Highland SACCOS", 20000, CoopParams{.balance = 240000}},
        {"MH014", "Highland SACCOS", 30000, CoopParams{.balance = 270000}},
        {"MH016", "Highland SACCOS", 25000, CoopParams{.balance = 525000}},
        {"MH010", "Rungwe Benevolent Fund", 5000}, {"MH023", "Rungwe Benevolent Fund", 5000},
        {"MH001", "PSSSF Contribution", 0, PensionParams{.employeeBalance = 9750000, .employerBalance = 29250000}},
        {"MH002", "PSSSF Contribution", 0, PensionParams{.employeeBalance = 4800000, .employerBalance = 14400000}},
        {"MH003", "PSSSF Contribution", 0, PensionParams{.employeeBalance = 3840000, .employerBalance = 11520000}},
        {"MH004", "PSSSF Contribution", 0, PensionParams{.employeeBalance = 2250000, .employerBalance = 6750000}},
        {"MH005", "PSSSF Contribution", 0, PensionParams{.employeeBalance = 4420000, .employerBalance = 13260000}},
        {"MH006", "PSSSF Contribution", 0, PensionParams{.employeeBalance = 1950000, .employerBalance = 5850000}},
        {"MH007", "NSSF Supplementary", 50000, PensionParams{.employeeBalance = 1500000, .employerBalance = 990000}},
        {"MH009", "NSSF Supplementary", 40000, PensionParams{.employeeBalance = 840000, .employerBalance = 546000}},
        {"MH012", "NSSF Supplementary", 30000, PensionParams{.employeeBalance = 360000, .employerBalance = 375000}},
        {"MH015", "Union Dues"}, {"MH016", "Union Dues"}, {"MH017", "Union Dues"},
        {"MH018", "Union Dues"}, {"MH019", "Union Dues"}, {"MH020", "Union Dues"},
        {"MH021", "Union Dues"}, {"MH022", "Union Dues"}, {"MH023", "Union Dues"},
        {"MH024", "Union Dues"},
        {"MH025", "Plucking Bonus", 12000}, {"MH027", "Plucking Bonus", 9500},
        {"MH029", "Plucking Bonus", 15000}, {"MH031", "Plucking Bonus", 8000},
        {"MH026", "Salary Advance", 10000}, {"MH028", "Salary Advance", 15000},
        {"MH033", "Shift Allowance", 20000}, {"MH034", "Shift Allowance", 20000},
        {"MH037", "Shift Allowance", 25000}, {"MH035", "Salary Advance", 30000},
        {"MH038", "Meal Allowance", 15000}, {"MH039", "Meal Allowance", 15000},
        {"MH040", "Meal Allowance", 15000},
    };
    return keyed;
}
// clang-format on

// Days or hours by the time basis, then normal and double overtime hours.
struct Attendance {
    const char* empNum;
    float timeWorked, normalOvertime, doubleOvertime;
};

const std::vector<Attendance> kAttendance{
    {"MH016", 0, 12, 0}, {"MH017", 0, 8, 0},  {"MH018", 1, 10, 4}, {"MH019", 0, 6, 0},
    {"MH020", 0, 16, 8}, {"MH021", 0, 12, 0}, {"MH025", 6, 0, 0},  {"MH026", 6, 0, 0},
    {"MH027", 5, 0, 0},  {"MH028", 6, 0, 0},  {"MH029", 6, 0, 0},  {"MH030", 6, 0, 0},
    {"MH031", 44, 0, 0}, {"MH032", 6, 0, 0},  {"MH033", 0, 6, 0},  {"MH034", 4, 0, 0},
    {"MH035", 0, 4, 0},  {"MH036", 1, 0, 0},  {"MH037", 0, 8, 2},  {"MH038", 12, 0, 0},
    {"MH039", 10, 0, 0}, {"MH040", 14, 0, 0},
};

// The item's table and position on the frequency's payroll.
std::optional<std::pair<common::FIELDSTABLE, std::size_t>>
findItem(const staffrecords::VARFRM& form, std::string_view name) {
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        if (const auto index = form.findItem(table, name))
            return std::pair{table, *index};
    }
    return std::nullopt;
}

// The parameters first, as a clerk opens the item's "..." dialog, then a
// keyed amount; an item with neither is ticked and its function gives the
// amount.
bool keyItem(CountingUi& ui, staffrecords::VARFRM& form, const Keyed& entry) {
    const auto found = findItem(form, entry.item);
    if (!found) {
        ui.error(std::string("The payroll of ") + entry.empNum + " has no pay item " + entry.item);
        return false;
    }
    const auto [table, index] = *found;
    const std::string empNum = entry.empNum;
    const bool paramsSet = std::visit(
        [&](const auto& params) {
            using P = std::decay_t<decltype(params)>;
            if constexpr (std::is_same_v<P, CoopParams>)
                return form.setCoopBalance(empNum, index, params.balance);
            else if constexpr (std::is_same_v<P, LoanParams>)
                return form.setLoan(empNum, index, params);
            else if constexpr (std::is_same_v<P, SavingsParams>)
                return form.setSavings(empNum, index, params);
            else if constexpr (std::is_same_v<P, PensionParams>)
                return form.setPensionParams(empNum, index, params);
            else
                return true;
        },
        entry.params);
    if (!paramsSet)
        return false;
    if (entry.amount != 0)
        return form.keyAmount(empNum, table, index, entry.amount);
    return form.switchItem(empNum, table, index, true);
}

bool keyAttendance(staffrecords::VARFRM& form, const Attendance& entry) {
    if (entry.timeWorked != 0 && !form.setTimeWorked(entry.empNum, entry.timeWorked))
        return false;
    return (entry.normalOvertime == 0 && entry.doubleOvertime == 0) ||
           form.setOvertimeHours(entry.empNum, entry.normalOvertime, entry.doubleOvertime);
}

bool paidOn(const std::vector<common::STATICREC>& staff, std::string_view empNum, PAYFREQ payFreq) {
    for (const common::STATICREC& employee : staff) {
        if (employee.empNum == empNum)
            return employee.payFreq == payFreq;
    }
    return false;
}

} // namespace

// Keys the month's figures through the transactions form's own operations,
// one payroll at a time, as a clerk would.
bool keyTransactions(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     const common::ORGREC& org, const std::vector<common::STATICREC>& staff) {
    for (PAYFREQ payFreq : common::kPayFreqs) {
        common::ORGREC payroll = org;
        payroll.payFreq = payFreq;
        staffrecords::VARFRM form(ui, code, folder);
        if (!attempt(ui, "Can't open the " + std::string(common::transactionsTablePath(payFreq)),
                     [&] { return form.checkFiles(payroll) && form.open(payroll); })) {
            code.setErrorCode(0);
            return false;
        }
        for (const Attendance& entry : kAttendance) {
            if (paidOn(staff, entry.empNum, payFreq) &&
                !attempt(ui, std::string("Can't key the time of ") + entry.empNum,
                         [&] { return keyAttendance(form, entry); }))
                return false;
        }
        for (const Keyed& entry : demoKeyed()) {
            if (paidOn(staff, entry.empNum, payFreq) &&
                !attempt(ui, std::string("Can't key ") + entry.item + " for " + entry.empNum,
                         [&] { return keyItem(ui, form, entry); }))
                return false;
        }
        if (!form.close())
            return false;
    }
    return true;
}

} // namespace kelo::demo::detail
