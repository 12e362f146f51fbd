#pragma once

#include "app/shell/CommandRules.h"
#include "common/OrgRecords.h"

#include <string>
#include <vector>

namespace kelo::app {

// The lines the main window shows where the clerk looks first: the open
// organisation, its month and fiscal year, and the current period of each
// pay frequency. Empty while no organisation is open.
std::vector<std::string> periodOverview(const common::ORGREC& org);

// Why a menu command is grayed for this user and document, in a few words
// for the status bar; empty when it is not grayed.
std::string whyGrayed(int id, const CommandContext& context);

} // namespace kelo::app
