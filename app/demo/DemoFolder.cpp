#include "app/demo/DemoFolder.h"

#include "app/demo/DemoSteps.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "setup/AppCfg.h"
#include "setup/DataFolderStart.h"
#include "setup/Orgs.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace kelo::demo {

namespace {

namespace fs = std::filesystem;

bool fillDataFolder(detail::CountingUi& ui, const std::string& dataFolder,
                    const std::string& sourceFolder) {
    engine::Code4 code;
    common::WorkingFolder folder(dataFolder);
    if (!setup::openDataFolder(ui, code, folder, sourceFolder) ||
        !detail::addUsers(ui, code, folder) || !detail::addBanks(ui, code, folder))
        return false;

    setup::ORGS orgs(ui, code, folder);
    if (!detail::createOrganisation(ui, orgs) || !detail::setPayrollInfo(ui, orgs) ||
        !detail::makeStatutoryTables(ui, code, folder, orgs, sourceFolder))
        return false;
    const common::ORGREC& org = *orgs.getOpenOrg();

    detail::Lists lists;
    std::vector<common::STATICREC> staff;
    return detail::addLookupLists(ui, code, folder, lists) &&
           detail::addUnitsGradesAndJobs(ui, code, folder, lists) &&
           detail::addPosts(ui, code, folder, lists) &&
           detail::definePayItems(ui, code, folder, org, lists) &&
           detail::hireEmployees(ui, code, folder, org, lists, staff) &&
           detail::keyTransactions(ui, code, folder, org, staff) &&
           detail::keyAbsenceAndLeave(ui, code, folder, org);
}

// Takes away what a failed build made, leaving the folder as it was found.
void removeContents(const std::string& folder, bool removeFolder) {
    std::error_code ignored;
    if (removeFolder) {
        fs::remove_all(folder, ignored);
        return;
    }
    std::vector<fs::path> made;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ignored))
        made.push_back(entry.path());
    for (const fs::path& path : made)
        fs::remove_all(path, ignored);
}

} // namespace

bool buildDemoFolder(common::Ui& ui, const std::string& folder, const std::string& sourceFolder) {
    detail::CountingUi counting(ui);
    if (folder.empty() || folder.front() != '/') {
        counting.error("The demo folder must be given as an absolute path: " + folder);
        return false;
    }
    const std::string dataFolder = common::WorkingFolder::normalise(folder);
    std::error_code error;
    const bool created = !fs::exists(dataFolder, error);
    if (created && !fs::create_directories(dataFolder, error)) {
        counting.error("Can't create folder " + dataFolder);
        return false;
    }
    if (!setup::APPCFG::initDataFolder(counting, dataFolder)) {
        if (created)
            fs::remove_all(dataFolder, error);
        return false;
    }
    if (fillDataFolder(counting, dataFolder, sourceFolder))
        return true;
    removeContents(dataFolder, created);
    return false;
}

} // namespace kelo::demo
