#include "setup/Orgs.h"

namespace kelo::setup {

int ORGS::backup(BackupDrive& drive, BackupClock& clock) {
    return backupOrg({ui_, code(), folder_, drive, clock}, open_);
}

int ORGS::restore(BackupDrive& drive, BackupClock& clock) {
    // The row is written from the open record, so the restored values go
    // into it first; a row that cannot be written leaves the record as it was.
    return restoreOrg({ui_, code(), folder_, drive, clock}, open_,
                      [this](const common::ORGREC& restored) {
                          const common::ORGREC previous = open_;
                          open_ = restored;
                          if (saveOpenRec())
                              return true;
                          open_ = previous;
                          return false;
                      });
}

} // namespace kelo::setup
