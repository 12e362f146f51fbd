#include "payrunreports/PeriodBuild.h"

#include "common/Money.h"
#include "payrunreports/PeriodFormat.h"

#include <algorithm>

namespace kelo::payrunreports {

using common::decimalOf;
using common::roundShillings;

PeriodLookups::PeriodLookups(engine::Code4& code, const common::WorkingFolder& folder)
    : jobs_(code, folder),
      units_(code, folder),
      stations_(code, folder),
      payGroups_(code, folder),
      coops_(code, folder),
      pensions_(code, folder) {}

bool PeriodLookups::open(std::string& failed) {
    for (database::LookupTable* table : std::initializer_list<database::LookupTable*>{
             &units_, &jobs_, &stations_, &payGroups_, &coops_, &pensions_}) {
        if (!table->openFile()) {
            failed = table->relativePath();
            close();
            return false;
        }
    }
    return true;
}

void PeriodLookups::close() {
    for (database::LookupTable* table : std::initializer_list<database::LookupTable*>{
             &units_, &jobs_, &stations_, &payGroups_, &coops_, &pensions_})
        table->closeFile();
    for (auto* names :
         {&jobNames_, &unitPaths_, &stationNames_, &payGroupNames_, &coopNames_, &pensionNames_})
        names->clear();
}

template <class Table, class Get>
std::string PeriodLookups::cached(std::map<long, std::string>& names, long code, Table& table,
                                  Get get) {
    if (code == 0)
        return {};
    const auto found = names.find(code);
    if (found != names.end())
        return found->second;
    return names.emplace(code, (table.*get)(code)).first->second;
}

std::string PeriodLookups::jobTitle(long code) {
    return cached(jobNames_, code, jobs_, &database::JOBSDB::getJobTitle);
}
std::string PeriodLookups::unitPath(long code) {
    return cached(unitPaths_, code, units_, &database::UNITSDB::getUnitPath);
}
std::string PeriodLookups::stationName(long code) {
    return cached(stationNames_, code, stations_, &database::STATIONSDB::getStationName);
}
std::string PeriodLookups::payGroupName(long code) {
    return cached(payGroupNames_, code, payGroups_, &database::PAYGROUPDB::getPayGrpName);
}
std::string PeriodLookups::coopName(long code) {
    return cached(coopNames_, code, coops_, &database::COOPSDB::getCoopName);
}
std::string PeriodLookups::pensionName(long code) {
    return cached(pensionNames_, code, pensions_, &database::PENSIONSDB::getPensionName);
}

ReportItemDefs reportDefsOf(const database::PayFieldTables& tables, PeriodLookups& lookups) {
    ReportItemDefs defs;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        for (const common::PayItemDef& source : tables[t]) {
            auto def = std::make_shared<ReportItemDef>();
            def->id = source.id;
            def->name = source.itemName;
            def->reportType = reportTypeOf(source.itemType);
            const long link = source.link ? source.link->id : 0;
            if (source.itemType == common::kTypePensionContribution)
                def->groupName = lookups.pensionName(link);
            else if (namesGroup(def->reportType))
                def->groupName = lookups.coopName(link);
            def->function = source.itemFunction;
            def->percentage = source.funcParams.percentage;
            def->rateKind = source.funcParams.rateKind;
            def->factor = source.funcParams.factor;
            def->defaultAmount = source.lowerLimit;
            def->upperLimit = source.upperLimit;
            def->isStatic = source.isStatic;
            def->taxable = source.taxable;
            def->builtIn = source.builtIn;
            defs[t].push_back(std::move(def));
        }
    }
    return defs;
}

namespace {

template <class Params> Params paramsOf(const common::PayItem& item) {
    const auto* params = std::get_if<Params>(&item.params);
    return params ? *params : Params{};
}

LoanFigures loanFigures(const common::PayItem& item, bool companyLoan, float statutoryRate) {
    const common::LoanParams loan = paramsOf<common::LoanParams>(item);
    const double rate = decimalOf(loan.interestRate);
    LoanFigures f;
    f.openingBalance = loan.balance;
    f.interest = roundShillings(loan.balance * rate / 1200);
    f.interestPaid = std::min(f.interest, item.amount);
    f.principalPaid = item.amount - f.interestPaid;
    f.closingBalance = common::decimalValue(loan.balance + f.interest - item.amount);
    f.interestRate = rate;
    f.paymentsLeft = loan.paymentsLeft;
    if (item.active && item.definition) {
        const common::ItemFunction function = common::itemFunctionOf(*item.definition);
        if (function == common::ItemFunction::Amortise ||
            function == common::ItemFunction::ReducingBalance)
            --f.paymentsLeft;
    }
    f.statutoryRate = decimalOf(statutoryRate);
    if (companyLoan && loan.taxableBenefit) {
        // As the pay engine works the benefit into taxable pay.
        const double gap = common::decimalValue(f.statutoryRate - rate);
        f.lowInterestBenefit = roundShillings(std::max(0.0, gap * loan.balance / 1200));
    }
    return f;
}

BankLoanFigures bankLoanFigures(const common::PayItem& item) {
    const common::BankLoanParams loan = paramsOf<common::BankLoanParams>(item);
    BankLoanFigures f{loan.paymentsLeft, loan.bankName, loan.branchName, loan.loanNumber};
    if (item.active) {
        --f.paymentsLeft;
        // A loan paid off starts again as a new loan of one payment.
        if (f.paymentsLeft <= 0)
            f.paymentsLeft = 1;
    }
    return f;
}

CostRecoveryFigures costRecoveryFigures(const common::PayItem& item) {
    const common::CostRecoveryParams recovery = paramsOf<common::CostRecoveryParams>(item);
    CostRecoveryFigures f{recovery.balance, recovery.paidOff};
    if (item.active) {
        f.balance = common::decimalValue(f.balance - item.amount);
        if (f.balance <= 0) {
            f.balance = 0;
            f.paidOff = 1;
        }
    }
    return f;
}

} // namespace

ReportItem reportItemOf(common::FIELDSTABLE table, const common::PayItem& item,
                        std::shared_ptr<const ReportItemDef> definition, float statutoryRate) {
    ReportItem out;
    // The amount of the period, deducted or paid whatever the projection
    // makes of the item for the next period.
    out.amount = item.amount;
    out.figures = figuresFor(table, definition->reportType);
    if (auto* hourly = std::get_if<HourlyFigures>(&out.figures)) {
        const auto params = paramsOf<common::HourlyParams>(item);
        *hourly = {params.hoursWorked, params.hourlyRate};
    } else if (auto* coop = std::get_if<CoopFigures>(&out.figures)) {
        coop->closingBalance = paramsOf<common::CoopParams>(item).balance + item.amount;
    } else if (auto* pension = std::get_if<PensionFigures>(&out.figures)) {
        const auto params = paramsOf<common::PensionParams>(item);
        *pension = {params.employerContribution, params.employeeBalance + item.amount,
                    params.employerBalance + params.employerContribution};
    } else if (auto* loan = std::get_if<LoanFigures>(&out.figures)) {
        *loan = loanFigures(item, definition->reportType == kCompanyLoanReport, statutoryRate);
    } else if (auto* bank = std::get_if<BankLoanFigures>(&out.figures)) {
        *bank = bankLoanFigures(item);
    } else if (auto* savings = std::get_if<SavingsFigures>(&out.figures)) {
        const auto params = paramsOf<common::SavingsParams>(item);
        const double rate = decimalOf(params.interestRate);
        savings->openingBalance = params.balance;
        savings->interest = roundShillings(params.balance * rate / 1200);
        savings->closingBalance = params.balance + savings->interest + item.amount;
        savings->interestRate = rate;
    } else if (auto* recovery = std::get_if<CostRecoveryFigures>(&out.figures)) {
        *recovery = costRecoveryFigures(item);
    }
    out.definition = std::move(definition);
    return out;
}

REPORTREC reportRecordOf(const common::VARIATIONSREC& v, const common::STATICREC& s,
                         const database::PERSONNELREC& p, const ReportItemDefs& defs,
                         float statutoryRate, PeriodLookups& lookups) {
    REPORTREC r;
    r.empNum = s.empNum;
    r.name = s.lastName + ", " + s.otherNames;
    r.idNum = s.idNum;
    r.birthDate = birthDateText(p.birthDate);
    r.jobTitle = lookups.jobTitle(p.job);
    r.unitPath = lookups.unitPath(p.unit);
    r.stationName = lookups.stationName(s.station);
    r.tin = p.tin;
    r.nssfNum = p.nssfNum;
    r.payMethod = s.payMethod;
    r.payGroupName = lookups.payGroupName(p.payGroup);
    r.bankName = s.bankName;
    r.branchName = s.branchName;
    r.accountNum = s.accountNum;
    r.coopName = {lookups.coopName(s.coop1), lookups.coopName(s.coop2)};
    r.coopMemberNum = p.coopMemberNum;
    r.pensionFundName = {lookups.pensionName(s.pensionFund1), lookups.pensionName(s.pensionFund2)};
    r.pensionMemberNum = p.pensionMemberNum;
    r.payBasis = s.payBasis;
    r.payRate = s.payBasis == common::kPayBasisSalary   ? s.salary
                : s.payBasis == common::kPayBasisDaily  ? s.dailyRate
                : s.payBasis == common::kPayBasisHourly ? s.hourlyRate
                                                        : 0;
    r.hoursPerDay = s.hoursPerDay;
    r.hoursPerMonth = s.hoursPerMonth;
    r.timeBasis = s.timeBasis;
    r.timeWorked = v.timeWorked;
    r.basicPay = v.basicPay;
    r.normalOvertimeRate = s.normalOvertimeRate;
    r.doubleOvertimeRate = s.doubleOvertimeRate;
    r.normalOvertimeHours = v.normalOvertimeHours;
    r.doubleOvertimeHours = v.doubleOvertimeHours;
    r.overtimePay = v.overtimePay;
    r.rent = s.rent;
    r.deficitBF = v.deficitBF;
    r.roundingCF = v.roundingCF;
    r.lumpSumTax = v.lumpSumTax;
    r.employerPensionBenefit = v.employerPensionBenefit;
    r.loanBenefit = v.loanBenefit;
    r.roundingBF = v.roundingBF;
    r.pensionRelief = v.pensionRelief;
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        const auto& tableDefs = defs[static_cast<std::size_t>(table)];
        const std::size_t first = builtInCount(table);
        const std::vector<common::PayItem>& items = *v.items(table);
        for (std::size_t i = 0; i < items.size() && first + i < tableDefs.size(); ++i)
            r.itemsOf(table).push_back(
                reportItemOf(table, items[i], tableDefs[first + i], statutoryRate));
    }
    r.paye = v.paye;
    r.nssfEmployee = v.nssfEmployee;
    r.nssfEmployer = v.nssfEmployer;
    r.sdl = v.sdl;
    r.statutoryDeductions = v.statutoryDeductions;
    r.grossPay = v.grossPay;
    r.totalBenefits = v.totalBenefits;
    r.taxablePay = v.taxablePay;
    r.housingBenefit = v.housingBenefit;
    r.pensionDeduction = v.pensionDeduction;
    r.chargeablePay = v.chargeablePay;
    r.deductionsLessLumpSumTax = common::decimalValue(v.totalDeductions - v.lumpSumTax);
    r.totalLumpSums = v.totalLumpSums;
    r.lumpSumsLessTax = common::decimalValue(v.totalLumpSums - v.lumpSumTax);
    r.totalRefunds = v.totalRefunds;
    r.totalPay = v.totalPay;
    r.totalDeductions = v.totalDeductions;
    r.deficit = v.deficit;
    r.netPay = v.netPay;
    return r;
}

} // namespace kelo::payrunreports
