#include "absencereports/LeaveReportRun.h"

namespace kelo::absencereports {

std::unique_ptr<LEAVEREP> makeLeaveReport(common::Ui& ui, engine::Code4& code,
                                          const common::WorkingFolder& folder,
                                          const common::REPORTPARAM& param) {
    switch (param.reportType) {
    case common::kReportAbsenceAnalysis:
    case common::kReportAnnualLeaveAnalysis:
        return std::make_unique<LEAVEANALYSIS>(ui, code, folder, param);
    case common::kReportAbsenceLeaveDetails:
        return std::make_unique<LEAVEDETAILS>(ui, code, folder, param);
    case common::kReportLeaveBooked:
        return std::make_unique<LEAVEBOOKED>(ui, code, folder, param);
    default:
        return nullptr;
    }
}

bool prepareLeaveReport(common::Ui& ui, LEAVEREPDB& store, LEAVEREP& report,
                        const common::ORGREC& org) {
    common::WaitCursor wait(ui);
    if (report.requireFile(org) && (!store.checkFiles(ui) || !store.writeInterimFile(ui, org)))
        return false;
    if (!report.readFile(org))
        return false;
    report.sort();
    report.layOut();
    return true;
}

std::unique_ptr<LEAVEREP> openLeaveReport(common::Ui& ui, LEAVEREPDB& store, engine::Code4& code,
                                          const common::WorkingFolder& folder,
                                          const common::REPORTPARAM& param,
                                          const common::ORGREC& org) {
    std::unique_ptr<LEAVEREP> report = makeLeaveReport(ui, code, folder, param);
    if (!report || !prepareLeaveReport(ui, store, *report, org))
        return nullptr;
    return report;
}

} // namespace kelo::absencereports
