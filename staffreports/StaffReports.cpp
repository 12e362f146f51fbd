#include "staffreports/StaffReports.h"

#include "staffreports/MasterReport.h"
#include "staffreports/PersonnelLists.h"
#include "staffreports/PostsRep.h"
#include "staffreports/StaticRepDb.h"

namespace kelo::staffreports {

std::unique_ptr<common::REPORTBASE> makeStaffReport(common::Ui& ui, engine::Code4& code,
                                                    const common::WorkingFolder& folder,
                                                    const common::REPORTPARAM& param) {
    switch (param.reportType) {
    case common::kReportEmployees:
        return std::make_unique<EMPLIST>(ui, code, folder, param);
    case common::kReportLeavers:
        return std::make_unique<LEAVERSLIST>(ui, code, folder, param);
    case common::kReportLengthOfService:
        return std::make_unique<SERVICEREP>(ui, code, folder, param);
    case common::kReportEmployeeMaster:
    case common::kReportLeaverMaster:
        return std::make_unique<MASTERREPORT>(ui, code, folder, param);
    case common::kReportHierarchy:
        return std::make_unique<HIERARCHY>(ui, code, folder, param);
    case common::kReportPosts:
        return std::make_unique<POSTSREP>(ui, code, folder, param);
    default:
        return nullptr;
    }
}

std::unique_ptr<common::REPORTBASE> prepareStaffReport(common::Ui& ui, common::Ui& owner,
                                                       engine::Code4& code,
                                                       const common::WorkingFolder& folder,
                                                       const common::REPORTPARAM& param,
                                                       const common::ORGREC& org) {
    std::unique_ptr<common::REPORTBASE> report = makeStaffReport(ui, code, folder, param);
    if (auto* posts = dynamic_cast<POSTSREP*>(report.get())) {
        if (!posts->readFile(org))
            return nullptr;
        posts->paginate();
        return report;
    }
    auto* staff = dynamic_cast<STATICREP*>(report.get());
    if (!staff)
        return nullptr;
    if (staff->fileDb() == DB_ACTIVE && staff->needActiveFile()) {
        STATICREPDB writer(owner, code, folder);
        if (!writer.checkFiles(ui, DB_ACTIVE, org) || !writer.writeFile(ui, DB_ACTIVE, org))
            return nullptr;
    }
    if (!staff->openFile(staff->fileDb(), org))
        return nullptr;
    staff->sortRecords();
    if (param.reportType == common::kReportHierarchy && !staff->createHierarchy())
        return nullptr;
    staff->paginate();
    return report;
}

} // namespace kelo::staffreports
