#pragma once

#include "app/shell/CommandRules.h"
#include "common/OrgRecords.h"

#include <string>
#include <vector>

namespace kelo::app {

// The lines the main window shows where the clerk looks first: the open
// organisation, its month and fiscal year, and the current period of each
// pay frequency, the one the clerk works on marked. Empty while no
// organisation is open.
std::vector<std::string> periodOverview(const common::ORGREC& org);

// The status bar's caption while a record window is open: its file and the
// organisation's month, or, for the transactions and pay field definitions,
// the payroll of the organisation's pay frequency and its period. Empty for
// other documents.
std::string documentCaption(DocumentKind document, const common::ORGREC& org);

// Why a menu command is grayed for this user and document, in a few words
// for the status bar; empty when it is not grayed.
std::string whyGrayed(int id, const CommandContext& context);

} // namespace kelo::app
