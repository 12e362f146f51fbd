#pragma once

#include "common/OrgRecords.h"
#include "common/TaggedFile.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"

#include <string>

namespace kelo::payrunreports {

// What becomes of a file whose path comment names no folder: the returns
// stores refuse it, the other stores take it as their own.
enum class UnnamedFolder { Refused, Accepted };

// What every report store asks of a file before reading or adding to it:
// the identity check, then the organisation its path comment names, so that
// a file copied from another organisation's folder is neither read nor
// written over. On success `reader` holds the file open at its start. False
// after a message naming the file.
bool checkStoreFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                    const common::ORGREC& org, common::TaggedReader& reader,
                    UnnamedFolder unnamed = UnnamedFolder::Refused);

} // namespace kelo::payrunreports
