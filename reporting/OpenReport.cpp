#include "reporting/OpenReport.h"

#include "absencereports/LeaveReportRun.h"
#include "annualreturns/AnnualReports.h"
#include "monthlyreturns/MonthRep.h"
#include "payrunreports/PayRunReports.h"
#include "staffreports/StaffReports.h"
#include "taxreports/TaxReports.h"
#include "yeartodate/EmpPaySum.h"
#include "yeartodate/YtdDb.h"

namespace kelo::reporting {

namespace {

bool isStaffReport(std::int32_t code) {
    return (code >= common::kReportEmployees && code <= common::kReportHierarchy) ||
           code == common::kReportPosts;
}

bool isMonthReport(std::int32_t code) {
    return (code >= common::kReportPayeReturn && code <= monthlyreturns::kReportWcfReturn) ||
           code == common::kReportMonthControlAccount || code == common::kReportMonthMusterRoll;
}

bool isLeaveReport(std::int32_t code) {
    return code >= common::kReportAbsenceAnalysis && code <= common::kReportLeaveBooked;
}

} // namespace

std::unique_ptr<common::REPORTBASE> openReport(common::Ui& ui, engine::Code4& code,
                                               const common::WorkingFolder& folder,
                                               const common::REPORTPARAM& param,
                                               const common::ORGREC& org) {
    if (isStaffReport(param.reportType))
        return staffreports::prepareStaffReport(ui, ui, code, folder, param, org);
    if (param.reportType == common::kReportEmployeePaySummary) {
        yeartodate::YTDDB store(ui, code, folder);
        auto report = std::make_unique<yeartodate::EMPPAYSUM>(ui, code, folder, param);
        if (!yeartodate::preparePaySummary(ui, store, *report, org))
            return nullptr;
        return report;
    }
    if (param.reportType == common::kReportYearControlAccount ||
        param.reportType == common::kReportYearMusterRoll) {
        const common::WaitCursor wait(ui);
        auto report = annualreturns::openAnnualReport(ui, code, folder, param, org);
        if (!report)
            return nullptr;
        report->arrange();
        report->layOut();
        return report;
    }
    if (param.reportType >= common::kReportP9 && param.reportType <= common::kReportItx215)
        return taxreports::prepareTaxReturn(ui, ui, code, folder, param, org);
    if (isMonthReport(param.reportType))
        return monthlyreturns::prepareMonthReturn(ui, ui, code, folder, param, org);
    if (isLeaveReport(param.reportType)) {
        absencereports::LEAVEREPDB store(ui, code, folder);
        return absencereports::openLeaveReport(ui, store, code, folder, param, org);
    }
    return payrunreports::openPayRunReport(ui, code, folder, param, org);
}

} // namespace kelo::reporting
