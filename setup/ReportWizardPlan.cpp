// Which pages each report's wizard has, and the lists and files they use.
#include "common/Calendar.h"
#include "setup/ReportWizard.h"

#include <algorithm>
#include <initializer_list>

namespace kelo::setup {

using common::date;
using common::PAYFREQ;
using common::PayItemDefs;
using P = WizardPage;

namespace {

constexpr std::string_view kTypeAdvance = "Advance";

// The field lists, by the report a command opens.
enum class FieldList {
    None,
    Earnings,
    Deductions,
    Benefits,
    LumpSums,
    Refunds,
    CashPayments,
    BankPayments,
    CompanyLoans
};

FieldList fieldListOf(std::int32_t code) {
    switch (code) {
    case common::kReportEarnings:
    case common::kReportBasicPay:
    case common::kReportHourlyPay:
        return FieldList::Earnings;
    case common::kReportDeductions:
    case common::kReportCompanyLoan:
    case common::kReportCoopLoan:
    case common::kReportSavingsPlan:
        return FieldList::Deductions;
    case common::kReportBenefits:
        return FieldList::Benefits;
    case common::kReportLumpSums:
        return FieldList::LumpSums;
    case common::kReportRefunds:
        return FieldList::Refunds;
    case common::kReportCashList:
    case common::kReportCoinage:
    case common::kReportChequeList:
        return FieldList::CashPayments;
    case common::kReportBankTransfer:
    case common::kReportStandardCharteredFile:
    case common::kReportBarclaysFile:
    case common::kReportCitibankFile:
    case common::kReportStanbicFile:
        return FieldList::BankPayments;
    case common::kReportLowInterestBenefit:
        return FieldList::CompanyLoans;
    default:
        return FieldList::None;
    }
}

} // namespace

WizardPlan wizardPlan(std::int32_t code) {
    const std::vector<P> selection{P::Selection};
    const std::vector<P> yearSelection{P::YearRange, P::Selection};
    const std::vector<P> periodSelection{P::PayPeriod, P::Selection};
    const std::vector<P> fieldReport{P::PayPeriod, P::PayField, P::Selection};
    const std::vector<P> fund{P::PayPeriod, P::Fund};
    const std::vector<P> kindThenPeriod{P::ReportKind, P::PayPeriod, P::Selection};
    switch (code) {
    case 11:
        return {"View Employees Roll", selection};
    case 12:
        return {"View Leavers Roll", yearSelection};
    case 13:
        return {"View Length of Service Report", selection};
    case 14:
        return {"View Employee Master Reports", selection};
    case 15:
        return {"View Leaver Master Reports", yearSelection};
    case 16:
        return {"View Employee Hierarchy Report", selection};
    case 21:
        return {"View Posts Report", selection};
    case 22:
        return {"View Absence Analysis", yearSelection};
    case 23:
        return {"View Annual Leave Analysis", yearSelection};
    case 24:
        return {"View Absence and Leave Details", yearSelection};
    case 25:
        return {"View Leave Booked Report", yearSelection};
    case 31:
        return {"View Summary Report", periodSelection};
    case 32:
        return {"View Muster Roll", kindThenPeriod};
    case 204:
        return {"View Muster Roll", periodSelection};
    case 206:
        return {"View Muster Roll", yearSelection};
    case 205:
        return {"View Muster Roll", {P::ReturnMonth}};
    case 33:
        return {"View Payroll Control Account", kindThenPeriod};
    case 201:
        return {"View Payroll Control Account", periodSelection};
    case 203:
        return {"View Payroll Control Account", yearSelection};
    case 202:
        return {"View Payroll Control Account", {P::ReturnMonth}};
    case 34:
        return {"View Payslips", periodSelection};
    case 57:
        return {"View Lump Sums Tax Report", periodSelection};
    case 41:
    case 52:
    case 53:
    case 54:
        return {"View Deductions Report", fieldReport};
    case 42:
    case 37:
    case 51:
        return {"View Earnings Report", fieldReport};
    case 43:
        return {"View Benefits Report", fieldReport};
    case 44:
        return {"View Lump Sums Report", fieldReport};
    case 45:
        return {"View Refunds Report", fieldReport};
    case 55:
        return {"View Co-operative Report", fund};
    case 56:
        return {"View Pension Fund Report", fund};
    case 61:
        return {"View Cash List", fieldReport};
    case 62:
        return {"View Coinage Summary Report", fieldReport};
    case 63:
        return {"View Cheque List", fieldReport};
    case 64:
        return {"View Bank Transfer Report", fieldReport};
    case 71:
        return {"View PAYE Report", {P::ReturnMonth}};
    case 72:
        return {"View NSSF Report", {P::ReturnMonth}};
    case 73:
        return {"View SDL Report", {P::ReturnMonth}};
    case 74:
        return {"View WCF Report", {P::ReturnMonth}};
    case 76:
        return {"View Low Interest Benefit Report", fieldReport};
    case 80:
        return {"View P9 Report", {P::YearRange}};
    case 81:
        return {"View P10 Report", {P::YearRange}};
    case 82:
        return {"View ITX215 Report", {P::YearRange}};
    case 85:
        return {"View Employee Pay Summary", yearSelection};
    case 91:
    case 92:
    case 93:
    case 94:
        return {"Save Bank Transfer File", {P::PayPeriod, P::PayField, P::ProcessDate}};
    default:
        return {};
    }
}

std::string payFieldLabel(std::int32_t code) {
    switch (fieldListOf(code)) {
    case FieldList::Earnings:
        return "Earning";
    case FieldList::Deductions:
    case FieldList::CompanyLoans:
        return "Deduction";
    case FieldList::Benefits:
        return "Benefit";
    case FieldList::LumpSums:
        return "Lump Sum Payment";
    case FieldList::Refunds:
        return "Refund";
    case FieldList::CashPayments:
    case FieldList::BankPayments:
        return "Payment";
    case FieldList::None:
        break;
    }
    return {};
}

std::vector<PayFieldChoice> payFieldChoices(std::int32_t code, const PayItemDefs& defs) {
    std::vector<PayFieldChoice> out;
    auto add = [&out](const std::shared_ptr<const common::PayItemDef>& def) {
        if (def)
            out.push_back({def->itemName, def->itemType});
    };
    auto addAll = [&add](const PayItemDefs::List& list) {
        for (const auto& def : list)
            add(def);
    };
    // Rent is a deduction like any other here.
    auto addDeductionsOf = [&](std::initializer_list<std::string_view> types) {
        auto wanted = [&types](const std::shared_ptr<const common::PayItemDef>& def) {
            return def && std::ranges::find(types, std::string_view(def->itemType)) != types.end();
        };
        if (wanted(defs.rent))
            add(defs.rent);
        for (const auto& def : defs.deductions)
            if (wanted(def))
                add(def);
    };
    switch (fieldListOf(code)) {
    case FieldList::Earnings:
        add(defs.basicPay);
        if (defs.overtime) {
            out.push_back({"Normal Overtime", {}});
            out.push_back({"Double Overtime", {}});
        }
        addAll(defs.earnings);
        break;
    case FieldList::Deductions:
        out.push_back({"Overdraft Recovery", {}});
        out.push_back({"Rounding C/F", {}});
        add(defs.rent);
        addAll(defs.deductions);
        break;
    case FieldList::Benefits:
        out.push_back({"Housing Benefit", {}});
        addAll(defs.benefits);
        break;
    case FieldList::LumpSums:
        addAll(defs.lumpSums);
        break;
    case FieldList::Refunds:
        out.push_back({"Rounding B/F", {}});
        addAll(defs.refunds);
        break;
    case FieldList::CashPayments:
        out.push_back({"Net Pay", {}});
        addDeductionsOf({kTypeAdvance});
        break;
    case FieldList::BankPayments:
        out.push_back({"Net Pay", {}});
        addDeductionsOf({kTypeAdvance, common::kTypeBankLoanPayment});
        break;
    case FieldList::CompanyLoans:
        addDeductionsOf({common::kTypeCompanyLoanPayment});
        break;
    case FieldList::None:
        break;
    }
    return out;
}

std::int32_t payFieldReportCode(std::int32_t code, const PayFieldChoice& field) {
    switch (fieldListOf(code)) {
    case FieldList::Earnings:
        if (field.name == "Basic Pay")
            return common::kReportBasicPay;
        if (field.name == "Normal Overtime" || field.name == "Double Overtime" ||
            field.itemType == common::kTypeHourlyPay)
            return common::kReportHourlyPay;
        return common::kReportEarnings;
    case FieldList::Deductions:
        if (field.itemType == common::kTypeCompanyLoanPayment)
            return common::kReportCompanyLoan;
        if (field.itemType == common::kTypeCoopLoanPayment)
            return common::kReportCoopLoan;
        if (field.itemType == common::kTypeSavingsPlanDeposit)
            return common::kReportSavingsPlan;
        return common::kReportDeductions;
    default:
        return code;
    }
}

bool payFieldChangesReport(std::int32_t code) {
    const FieldList list = fieldListOf(code);
    return list == FieldList::Earnings || list == FieldList::Deductions;
}

std::string yearRangeFile(std::int32_t code, std::int32_t year) {
    const char* name = nullptr;
    switch (code) {
    case 12:
    case 15:
        name = "leavers.dbf";
        break;
    case 22:
    case 23:
    case 24:
    case 25:
        name = "leaverep.dbf";
        break;
    case 80:
    case 82:
        name = "p9.dbf";
        break;
    case 81:
        name = "p10.dbf";
        break;
    case 85:
        name = "ytd.dbf";
        break;
    case 203:
    case 206:
        name = "annualreturns.dbf";
        break;
    default:
        return {};
    }
    return std::to_string(year) + "/" + name;
}

std::string returnMonthFile(std::int32_t year, int month) {
    return std::to_string(year) + "/" + common::monthName(month).substr(0, 3) + "ret.dbf";
}

std::string periodTitle(PAYFREQ payFreq, date period) {
    const std::string monthYear =
        common::monthName(period.month) + " " + std::to_string(period.year);
    const std::string ending = std::to_string(period.day) + " " + monthYear;
    switch (payFreq) {
    case common::WEEKLY:
        return "Week ending " + ending;
    case common::BIWEEKLY:
        return "Fortnight ending " + ending;
    case common::IRREGULAR:
        return "Pay period ending " + ending;
    default:
        return monthYear;
    }
}

} // namespace kelo::setup
