#pragma once

#include "common/DialogView.h"
#include "common/OrgRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "setup/BackupDrive.h"

#include <array>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace kelo::setup {

// The Caution dialog shown before a restore.
namespace restoredlg {
inline constexpr const char* Text = "CautionText";
} // namespace restoredlg

// The version every backup file is written with.
inline constexpr const char* kBackupVersion = "4.2.4.3";

// The organisation's tables, in the order a backup holds them, as the
// backup file names them.
inline constexpr std::array<const char*, 17> kBackupTables{
    "database\\static.dbf",   "database\\monpay.dbf", "database\\wkpay.dbf",
    "database\\bwkpay.dbf",   "database\\irrpay.dbf", "database\\absence.dbf",
    "database\\leave.dbf",    "settings\\units.dbf",  "settings\\grades.dbf",
    "settings\\jobs.dbf",     "settings\\posts.dbf",  "settings\\stations.dbf",
    "settings\\paygroup.dbf", "settings\\coops.dbf",  "settings\\pensions.dbf",
    "settings\\options.dbf",  "settings\\paylog.dbf"};
// The pay field definitions copied after the tables; each must be present.
inline constexpr std::array<const char*, 4> kBackupFieldFiles{
    "database\\monpay.dat", "database\\wkpay.dat", "database\\bwkpay.dat", "database\\irrpay.dat"};

// The date and time stamps every disk of one backup carries.
class BackupClock {
public:
    virtual ~BackupClock() = default;
    // Today as "d MMMM yyyy" ("7 March 2025"); nullopt when it cannot be read.
    virtual std::optional<std::string> dateStamp() = 0;
    // Now as "h:mm:ss tt" ("3:07:09 PM"); nullopt when it cannot be read.
    virtual std::optional<std::string> timeStamp() = 0;
};

class SystemClock final : public BackupClock {
public:
    std::optional<std::string> dateStamp() override;
    std::optional<std::string> timeStamp() override;
};

BackupClock& systemClock();
std::string formatDateStamp(const std::tm& when);
std::string formatTimeStamp(const std::tm& when);

// What a backup or a restore works with. The working folder stands at the
// open organisation's folder.
struct BackupPorts {
    common::Ui& ui;
    engine::Code4& code;
    const common::WorkingFolder& folder;
    BackupDrive& drive;
    BackupClock& clock;
};

// Stores the open organisation's restored record; false when it cannot.
using SaveOrgRec = std::function<bool(const common::ORGREC&)>;

// Sets the Caution dialog's caption and text for a restore, and beeps.
void initRestoreDlg(common::DialogView& caution, common::Ui& ui);

// Asks for the backup file (save dialog "Backup"), then backs up. 1 when the
// backup was written completely, 0 otherwise (cancelled included).
int backupOrg(const BackupPorts& ports, const common::ORGREC& org);
// Backs `org`'s tables and files up into `path`, on as many disks as needed.
int backupOrgTo(const BackupPorts& ports, const common::ORGREC& org, const std::string& path);

// Asks for the backup file (open dialog "Restore"), then restores. 1 when
// every disk was restored.
int restoreOrg(const BackupPorts& ports, common::ORGREC& org, const SaveOrgRec& save);
// Restores `org` from the backup at `path`. Every disk is read and checked
// before anything changes (its checksum, or the user's consent for a backup
// without one; the tables' layouts against the program's own; every value
// against its field); then `org` takes the backed-up values (all but orgNum,
// name and folder) and is stored through `save`, the organisation's data
// files are deleted and the backed-up tables and files written.
int restoreOrgFrom(const BackupPorts& ports, common::ORGREC& org, const std::string& path,
                   const SaveOrgRec& save);

// Writes `org` into its row of the organisations table, found by name.
bool saveOrgRec(engine::Code4& code, const common::WorkingFolder& folder,
                const common::ORGREC& org);

} // namespace kelo::setup
