#include "common/Calendar.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "common/Text.h"

#include <ctime>
#include <utility>

namespace kelo::common {

bool isValidPayFreq(std::int32_t value) {
    return value >= MONTHLY && value <= IRREGULAR;
}

namespace {

struct PayFreqNames {
    std::string_view label, table, definitions;
};

constexpr std::array<PayFreqNames, kPayFreqCount> kPayFreqNames{{
    {"Monthly", "database/monpay.dbf", "database/monpay.dat"},
    {"Weekly", "database/wkpay.dbf", "database/wkpay.dat"},
    {"Biweekly", "database/bwkpay.dbf", "database/bwkpay.dat"},
    {"Irregular", "database/irrpay.dbf", "database/irrpay.dat"},
}};

PayFreqNames payFreqNames(PAYFREQ payFreq) {
    return isValidPayFreq(payFreq) ? kPayFreqNames[static_cast<std::size_t>(payFreq)]
                                   : PayFreqNames{};
}

} // namespace

std::string_view payFreqLabel(PAYFREQ payFreq) {
    return payFreqNames(payFreq).label;
}
std::string_view transactionsTablePath(PAYFREQ payFreq) {
    return payFreqNames(payFreq).table;
}
std::string_view payFieldDefinitionsPath(PAYFREQ payFreq) {
    return payFreqNames(payFreq).definitions;
}

std::string orgFolder(std::int32_t orgNum) {
    std::string digits = std::to_string(orgNum);
    if (digits.size() < 2)
        digits.insert(0, 2 - digits.size(), '0');
    return "../org" + digits;
}

ORGREC newOrgRec(std::int32_t orgNum) {
    ORGREC org;
    org.orgNum = orgNum;
    org.folder = orgFolder(orgNum);
    org.weekEndDay = 1;
    org.fortnightEndDay = 1;
    org.irregEndDay = 1;
    org.monthEditable = 1;
    org.weekEndEditable = 1;
    org.fortnightEndEditable = 1;
    org.purgeAge = 2;
    org.taxEmployerPension = 1;
    org.paySdl = 1;
    org.roundingUnit = 10;
    return org;
}

date date::today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return date{local.tm_year + 1900, static_cast<std::uint8_t>(local.tm_mday),
                static_cast<std::uint8_t>(local.tm_mon + 1)};
}

REPORTPARAM newReportParam(std::int32_t reportType, const ORGREC& org) {
    return newReportParam(reportType, org, date::today());
}

REPORTPARAM newReportParam(std::int32_t reportType, const ORGREC& org, date today) {
    REPORTPARAM param;
    param.reportType = reportType;
    param.payFreq = org.payFreq;
    param.period = date{org.year, 0, static_cast<std::uint8_t>(monthNumber(org.month))};
    param.processDate = today;
    return param;
}

std::string groupTitle(std::int32_t groupBy, std::string_view groupName) {
    const std::string name(groupName);
    switch (groupBy) {
    case kGroupByUnit:
        return name + " Unit";
    case kGroupByStation:
        return name + " Station";
    case kGroupByPayGroup:
        return name + " Pay Group";
    case kGroupByBank:
        return name;
    case kGroupByCoop:
        return name + " Co-operative";
    case kGroupByPensionFund:
        return name + " Pension Fund";
    default:
        return std::string(kAllUnitsTitle);
    }
}

void setGroup(REPORTPARAM& param, std::int32_t groupBy, std::string_view groupName) {
    if (groupBy <= kGroupByNone || groupBy > kGroupByPensionFund) {
        param.groupBy = kGroupByNone;
        param.groupName.clear();
        param.groupTitle = kAllUnitsTitle;
        return;
    }
    param.groupBy = groupBy;
    param.groupName = fitText(groupName, ReportWidths::kGroupNameWidth);
    param.groupTitle =
        fitText(groupTitle(groupBy, param.groupName), ReportWidths::kGroupTitleWidth);
}

ItemType itemTypeOf(std::string_view itemType) {
    static constexpr std::pair<std::string_view, ItemType> kTypes[] = {
        {kTypeHourlyPay, ItemType::HourlyPay},
        {kTypePensionContribution, ItemType::PensionContribution},
        {kTypeCoopContribution, ItemType::CoopContribution},
        {kTypeCoopLoanPayment, ItemType::CoopLoanPayment},
        {kTypeCoopBenevolentFund, ItemType::CoopBenevolentFund},
        {kTypeCompanyLoanPayment, ItemType::CompanyLoanPayment},
        {kTypeBankLoanPayment, ItemType::BankLoanPayment},
        {kTypeSavingsPlanDeposit, ItemType::SavingsPlanDeposit},
        {kTypeCostRecovery, ItemType::CostRecovery},
    };
    for (const auto& [text, type] : kTypes)
        if (text == itemType)
            return type;
    return ItemType::Ordinary;
}

ItemFunction itemFunctionOf(std::string_view itemFunction) {
    static constexpr std::pair<std::string_view, ItemFunction> kFunctions[] = {
        {kFuncPercentOfSalary, ItemFunction::PercentOfSalary},
        {kFuncPercentOfBasicPay, ItemFunction::PercentOfBasicPay},
        {kFuncPercentOfGrossPay, ItemFunction::PercentOfGrossPay},
        {kFuncBasedOnHours, ItemFunction::BasedOnHours},
        {kFuncReducingBalance, ItemFunction::ReducingBalance},
        {kFuncAmortise, ItemFunction::Amortise},
    };
    for (const auto& [text, function] : kFunctions)
        if (text == itemFunction)
            return function;
    return ItemFunction::KeyIn;
}

ItemType itemTypeOf(const PayItemDef& def) {
    return itemTypeOf(def.itemType);
}
ItemFunction itemFunctionOf(const PayItemDef& def) {
    return itemFunctionOf(def.itemFunction);
}
bool isKeyIn(const PayItemDef& def) {
    return itemFunctionOf(def) == ItemFunction::KeyIn;
}

namespace {

template <class Lists> auto listOf(Lists& lists, FIELDSTABLE table) -> decltype(&lists.earnings) {
    switch (table) {
    case EARNINGS:
        return &lists.earnings;
    case DEDUCTIONS:
        return &lists.deductions;
    case BENEFITS:
        return &lists.benefits;
    case LUMPSUMS:
        return &lists.lumpSums;
    case REFUNDS:
        return &lists.refunds;
    }
    return nullptr;
}

PayItemParams newLoan() {
    LoanParams loan;
    loan.paymentsLeft = 1;
    loan.newLoan = 1;
    return loan;
}

PayItemParams newParams(const PayItemDef& def, std::optional<FIELDSTABLE> table) {
    const ItemType type = itemTypeOf(def);
    const ItemFunction function = itemFunctionOf(def);
    if (!table || *table == DEDUCTIONS) {
        switch (type) {
        case ItemType::CompanyLoanPayment:
        case ItemType::CoopLoanPayment:
            return newLoan();
        case ItemType::BankLoanPayment: {
            BankLoanParams bankLoan;
            bankLoan.paymentsLeft = 1;
            bankLoan.newLoan = 1;
            return bankLoan;
        }
        case ItemType::CostRecovery: {
            CostRecoveryParams costRecovery;
            costRecovery.paidOff = 1;
            costRecovery.newRecovery = 1;
            return costRecovery;
        }
        case ItemType::PensionContribution:
            return PensionParams{};
        case ItemType::CoopContribution:
            return CoopParams{};
        case ItemType::SavingsPlanDeposit:
            return SavingsParams{};
        default:
            break;
        }
        if (function == ItemFunction::ReducingBalance || function == ItemFunction::Amortise)
            return newLoan();
    }
    if ((!table || *table == EARNINGS) &&
        (type == ItemType::HourlyPay || function == ItemFunction::BasedOnHours))
        return HourlyParams{};
    return std::monostate{};
}

} // namespace

PayItemDefs::List* PayItemDefs::list(FIELDSTABLE table) {
    return listOf(*this, table);
}
const PayItemDefs::List* PayItemDefs::list(FIELDSTABLE table) const {
    return listOf(*this, table);
}

std::vector<PayItem>* VARIATIONSREC::items(FIELDSTABLE table) {
    return listOf(*this, table);
}
const std::vector<PayItem>* VARIATIONSREC::items(FIELDSTABLE table) const {
    return listOf(*this, table);
}

bool isCoopType(std::string_view itemType) {
    return itemType == kTypeCoopContribution || itemType == kTypeCoopLoanPayment ||
           itemType == kTypeCoopBenevolentFund;
}

bool isPercentFunction(std::string_view itemFunction) {
    return itemFunction == kFuncPercentOfSalary || itemFunction == kFuncPercentOfBasicPay ||
           itemFunction == kFuncPercentOfGrossPay;
}

PayItem newPayItem(std::shared_ptr<const PayItemDef> definition, std::optional<FIELDSTABLE> table) {
    PayItem item;
    if (definition)
        item.params = newParams(*definition, table);
    item.definition = std::move(definition);
    return item;
}

VARIATIONSREC newVariationsRec(const PayItemDefs& defs) {
    VARIATIONSREC rec;
    rec.openingPeriod = 1;
    rec.payeApplies = 1;
    rec.nssfMember = 1;
    rec.basicPayDef = defs.basicPay;
    rec.overtimeDef = defs.overtime;
    rec.rentDef = defs.rent;
    for (FIELDSTABLE table : kFieldsTables) {
        const PayItemDefs::List& source = *defs.list(table);
        std::vector<PayItem>& target = *rec.items(table);
        target.reserve(source.size());
        for (const auto& def : source)
            target.push_back(newPayItem(def, table));
    }
    return rec;
}

void setPayRate(VARIATIONSREC& rec, const STATICREC& employee) {
    switch (employee.payBasis) {
    case kPayBasisSalary:
        rec.payRate = employee.salary;
        break;
    case kPayBasisDaily:
        rec.payRate = employee.dailyRate;
        break;
    case kPayBasisHourly:
        rec.payRate = employee.hourlyRate;
        break;
    default:
        break;
    }
}

namespace {

std::optional<std::string> sameSlotCheck(std::int32_t first, std::int32_t second,
                                         std::string_view message) {
    if (first != 0 && first == second)
        return std::string(message);
    return std::nullopt;
}

} // namespace

std::optional<std::string> checkCoopSlots(std::int32_t coop1, std::int32_t coop2) {
    return sameSlotCheck(coop1, coop2, kCoopTwiceMessage);
}

std::optional<std::string> checkPensionFundSlots(std::int32_t fund1, std::int32_t fund2) {
    return sameSlotCheck(fund1, fund2, kPensionFundTwiceMessage);
}

} // namespace kelo::common
