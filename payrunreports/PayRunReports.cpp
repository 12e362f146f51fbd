#include "payrunreports/PayRunReports.h"

#include "payrunreports/AmountReports.h"
#include "payrunreports/BankRep.h"
#include "payrunreports/CashList.h"
#include "payrunreports/ChequeList.h"
#include "payrunreports/CoinageRep.h"
#include "payrunreports/ControlAccount.h"
#include "payrunreports/FundReports.h"
#include "payrunreports/LoanReports.h"
#include "payrunreports/MusterRoll.h"
#include "payrunreports/Payslips.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"
#include "payrunreports/ReportOption.h"
#include "payrunreports/Summary.h"

namespace kelo::payrunreports {

namespace {

template <class Report>
std::unique_ptr<PERIODREP> make(common::Ui& ui, engine::Code4& code,
                                const common::WorkingFolder& folder,
                                const common::REPORTPARAM& param) {
    return std::make_unique<Report>(ui, code, folder, param);
}

} // namespace

std::unique_ptr<PERIODREP> newPayRunReport(common::Ui& ui, engine::Code4& code,
                                           const common::WorkingFolder& folder,
                                           const common::REPORTPARAM& param) {
    switch (param.reportType) {
    case common::kReportPayrollSummary:
        return make<SUMMARYREP>(ui, code, folder, param);
    case common::kReportPayslips:
        return make<PAYSLIPSREP>(ui, code, folder, param);
    case common::kReportBasicPay:
        return make<BASICPAYREP>(ui, code, folder, param);
    case common::kReportDeductions:
    case common::kReportEarnings:
    case common::kReportBenefits:
    case common::kReportLumpSums:
    case common::kReportRefunds:
        return make<AMOUNTREP>(ui, code, folder, param);
    case common::kReportHourlyPay:
        return make<HOURLYPAYREP>(ui, code, folder, param);
    case common::kReportCompanyLoan:
    case common::kReportCoopLoan:
        return make<LOANREP>(ui, code, folder, param);
    case common::kReportSavingsPlan:
        return make<SAVINGSREP>(ui, code, folder, param);
    case common::kReportCoop:
        return make<COOPREP>(ui, code, folder, param);
    case common::kReportPensionFund:
        return make<PENSIONREP>(ui, code, folder, param);
    case common::kReportLumpSumTax:
        return make<LUMPSUMTAXREP>(ui, code, folder, param);
    case common::kReportCashList:
        return std::make_unique<CASHLIST>(ui, code, folder, param, paidDenominations(code, folder));
    case common::kReportCoinage:
        return std::make_unique<COINAGEREP>(ui, code, folder, param,
                                            paidDenominations(code, folder));
    case common::kReportChequeList:
        return make<CHEQUELIST>(ui, code, folder, param);
    case common::kReportBankTransfer:
        return make<BANKREP>(ui, code, folder, param);
    case common::kReportLowInterestBenefit:
        return make<LOWINTRREP>(ui, code, folder, param);
    case common::kReportPeriodControlAccount:
        return make<CONTROLACREP>(ui, code, folder, param);
    case common::kReportPeriodMusterRoll:
        return make<MUSTERROLL>(ui, code, folder, param);
    default:
        return nullptr;
    }
}

std::unique_ptr<PERIODREP> openPayRunReport(common::Ui& ui, engine::Code4& code,
                                            const common::WorkingFolder& folder,
                                            const common::REPORTPARAM& param,
                                            const common::ORGREC& org) {
    std::unique_ptr<PERIODREP> report = newPayRunReport(ui, code, folder, param);
    if (!report)
        return nullptr;
    const common::WaitCursor wait(ui);
    PERIODDB writer(ui, code, folder);
    PERIODDBEX reader(ui, code, folder);
    if (!preparePeriodFile(ui, writer, reader, param, org) || !report->readFile(org))
        return nullptr;
    report->arrange();
    report->layOut();
    return report;
}

} // namespace kelo::payrunreports
