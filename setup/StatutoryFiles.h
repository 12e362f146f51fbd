#pragma once

#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <string>
#include <string_view>

namespace kelo::setup {

// The folder of shipped statutory tables beside the program.
inline constexpr const char* kSourceFolderName = "source";
std::string sourceFolderBeside(std::string_view programFolder);

// The PAYE, NSSF, PAYE parameters, SDL and WCF tables of `fiscalYear`, made in
// "../system/<fiscalYear>" from the previous fiscal year's tables when that
// year has a PAYE table, else from `sourceFolder` (absolute, or relative to
// the working folder). False, showing nothing, when the year's PAYE table
// already opens; otherwise makes the tables, tells the user to review them
// and returns true. A table that cannot be copied is reported by its own
// message and does not stop the others; the WCF rate falls back to its
// default where the source has none. Used after an organisation is
// created or its basic information saved, and at the month end into July.
bool newStatutoryFiles(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       int fiscalYear, std::string_view sourceFolder);

} // namespace kelo::setup
