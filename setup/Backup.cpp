#include "setup/Backup.h"

#include "common/Calendar.h"
#include "database/OrgDb.h"

namespace kelo::setup {

namespace {

constexpr const char* kFilter = "Backup Files (*.bkf)";
constexpr const char* kExtension = "bkf";

std::optional<std::tm> localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm when{};
    if (now == static_cast<std::time_t>(-1) || !::localtime_r(&now, &when))
        return std::nullopt;
    return when;
}

common::FileChoice backupChoice(const BackupPorts& ports, const char* title) {
    common::FileChoice choice;
    choice.title = title;
    choice.filter = kFilter;
    choice.defaultExtension = kExtension;
    choice.initialFolder = ports.folder.resolve("../backup");
    choice.overwritePrompt = true;
    return choice;
}

} // namespace

std::string formatDateStamp(const std::tm& when) {
    return std::to_string(when.tm_mday) + " " + common::monthName(when.tm_mon + 1) + " " +
           std::to_string(when.tm_year + 1900);
}

std::string formatTimeStamp(const std::tm& when) {
    const int hour = when.tm_hour % 12 == 0 ? 12 : when.tm_hour % 12;
    const auto twoDigits = [](int value) {
        return std::string(value < 10 ? "0" : "") + std::to_string(value);
    };
    return std::to_string(hour) + ":" + twoDigits(when.tm_min) + ":" + twoDigits(when.tm_sec) +
           (when.tm_hour < 12 ? " AM" : " PM");
}

std::optional<std::string> SystemClock::dateStamp() {
    const auto when = localNow();
    if (!when)
        return std::nullopt;
    return formatDateStamp(*when);
}

std::optional<std::string> SystemClock::timeStamp() {
    const auto when = localNow();
    if (!when)
        return std::nullopt;
    return formatTimeStamp(*when);
}

BackupClock& systemClock() {
    static SystemClock clock;
    return clock;
}

void initRestoreDlg(common::DialogView& caution, common::Ui& ui) {
    caution.setCaption("Restore");
    caution.setText(restoredlg::Text,
                    "Restoring from backup will delete all data files for this organisation, "
                    "replacing them with those in the backup file. You are encouraged to back up "
                    "these files before continuing.");
    ui.beep();
}

int backupOrg(const BackupPorts& ports, const common::ORGREC& org) {
    const auto path = ports.ui.chooseSaveFile(backupChoice(ports, "Backup"));
    if (!path)
        return 0;
    return backupOrgTo(ports, org, *path);
}

int restoreOrg(const BackupPorts& ports, common::ORGREC& org, const SaveOrgRec& save) {
    const auto path = ports.ui.chooseOpenFile(backupChoice(ports, "Restore"));
    if (!path)
        return 0;
    return restoreOrgFrom(ports, org, *path, save);
}

bool saveOrgRec(engine::Code4& code, const common::WorkingFolder& folder,
                const common::ORGREC& org) {
    database::ORGDB table(code, folder);
    bool saved = false;
    if (table.openFile() && table.findByName(org.name)) {
        engine::Data4& data = *table.data();
        if (data.lock(data.recNo()) == engine::r4success) {
            table.storeRec(org);
            saved = data.flush() == engine::r4success;
            data.unlock();
        }
    }
    table.closeFile();
    code.setErrorCode(0);
    return saved;
}

} // namespace kelo::setup
