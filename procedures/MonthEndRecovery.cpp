#include "procedures/MonthEndRecovery.h"

#include "procedures/RecoveryPoint.h"

#include <cctype>
#include <filesystem>
#include <vector>

namespace kelo::procedures {

namespace fs = std::filesystem;

namespace recoverytext {

namespace {

// "The month end of March 2025" or "The period end of the weekly payroll in
// March 2025".
std::string closingOf(const common::ORGREC& org, bool periodEnd) {
    const std::string when = org.month + " " + std::to_string(org.year);
    if (!periodEnd)
        return "The month end of " + when;
    std::string payroll(common::payFreqLabel(org.payFreq));
    for (char& c : payroll)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "The period end of the " + payroll + " payroll in " + when;
}

} // namespace

std::string interrupted(const common::ORGREC& org, bool periodEnd) {
    return closingOf(org, periodEnd) + " for " + org.name +
           " was interrupted before it finished. The organisation's files have been put back as "
           "they were before it started, so nothing is half done. Please run the " +
           (periodEnd ? "period end" : "month end") + " again.";
}

std::string notRestored(const common::ORGREC& org, bool periodEnd) {
    return closingOf(org, periodEnd) + " for " + org.name +
           " was interrupted before it finished, and the organisation's files could not be put "
           "back yet (a file may be in use by another user). Do not use this organisation until "
           "the program has been started again and has put them back.";
}

} // namespace recoverytext

bool recoverMonthEnd(common::Ui& ui, const std::string& dataFolder, const std::string& orgPath,
                     const SaveOrgRow& save) {
    const RecoveryPoint point(dataFolder, orgPath);
    std::error_code error;
    // A month end running now, here or on another workstation, is no
    // interrupted one.
    if (!fs::exists(point.path(), error) || point.heldElsewhere())
        return false;
    const auto marker = point.marker();
    if (!marker) {
        point.drop(); // a copy that never finished: nothing had changed
        return false;
    }
    bool restored = false;
    {
        common::WaitCursor wait(ui);
        restored = point.restore(*marker) && save(marker->org);
    }
    if (!restored) {
        ui.error(recoverytext::notRestored(marker->org, marker->periodEnd));
        return false;
    }
    point.drop();
    ui.information(recoverytext::interrupted(marker->org, marker->periodEnd));
    return true;
}

int recoverMonthEnds(common::Ui& ui, const std::string& dataFolder, const SaveOrgRow& save) {
    // Named first: putting one back removes its entry.
    std::vector<std::string> orgPaths;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(dataFolder) / kRecoveryFolder, error), end;
         !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (it->is_directory(kindError)) // not the holds beside them
            orgPaths.push_back((fs::path(dataFolder) / it->path().filename()).string());
    }
    int recovered = 0;
    for (const std::string& orgPath : orgPaths) {
        if (recoverMonthEnd(ui, dataFolder, orgPath, save))
            ++recovered;
    }
    return recovered;
}

} // namespace kelo::procedures
