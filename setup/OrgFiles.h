#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <string_view>

namespace kelo::setup {

// "../org" and one folder name, in any case, with either slash: the only
// folders the organisation commands delete or rename.
bool isOrgFolderPath(std::string_view path);
// The same, telling the user "Cannot delete files in %s as it is not a valid
// organisation directory." when it is not.
bool checkOrgFolder(common::Ui& ui, std::string_view path);

// Deletes the files of an organisation folder given relative to the working
// folder ("../org03"): with `removeTree` every file of each subfolder, the
// subfolders and the folder itself; otherwise only the data files ("*.d??")
// of the subfolders. Each file is announced in the status bar ("Deleting
// %s..."). A path that is not an organisation folder is refused
// (checkOrgFolder). False when refused or when the tree could not all be
// removed; a missing folder counts as deleted.
bool deleteOrgFiles(common::Ui& ui, const common::WorkingFolder& folder, std::string_view orgPath,
                    bool removeTree);

// The folder (relative to the working folder) holds at least one file
// somewhere in its tree: an organisation's data, which only that
// organisation's own row may have removed.
bool orgFolderHoldsFiles(const common::WorkingFolder& folder, std::string_view orgPath);

// Every table and pay field definitions file a new organisation starts with,
// in its folder (the working folder, named `orgFolder` in the files), whose
// subfolders exist. Stops at the first failure, which the table's own
// creation has told the user.
bool createOrgTables(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     std::string_view orgFolder);

// The pay items a new organisation starts with in every frequency: the
// built-in "Basic Pay" and "Overtime" earnings and the "Rent" deduction.
common::PayItemDefs defaultPayItemDefs();

// Writes the frequency's definitions file (database/monpay.dat ...) of a new
// organisation whose folder is the working folder and is named `orgFolder`
// in the file's comment. Announced with "Creating %s..."; "Can't create %s"
// and false when it cannot be written.
bool writeDefaultPayFields(common::Ui& ui, const common::WorkingFolder& folder,
                           std::string_view orgFolder, common::PAYFREQ payFreq);

} // namespace kelo::setup
