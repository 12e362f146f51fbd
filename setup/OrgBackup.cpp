#include "setup/Orgs.h"

namespace kelo::setup {

int ORGS::backup(BackupDrive& drive, BackupClock& clock) {
    return backupOrg({ui_, code(), folder_, drive, clock}, open_);
}

int ORGS::restore(BackupDrive& drive, BackupClock& clock) {
    // The restore writes the backed-up values into the open record itself,
    // so storing it is storing the open record.
    return restoreOrg({ui_, code(), folder_, drive, clock}, open_,
                      [this](const common::ORGREC&) { return saveOpenRec(); });
}

} // namespace kelo::setup
