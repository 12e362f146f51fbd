#pragma once

#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <string_view>

namespace kelo::setup {

// The start of a session on the data folder the working folder stands in
// (its "system" folder): checks the data configuration and its version,
// keys a new folder, switches the engine's table encryption on with the
// folder's key, sets the engine's lock retries and, for a new folder,
// creates the shared tables (users, organisations, banks, branches, income
// brackets from `sourceFolder`) and marks the folder initialised. False at
// the first step that fails; each step shows its own message.
bool openDataFolder(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    std::string_view sourceFolder);

// How long the engine keeps trying a lock another user holds.
inline constexpr int kLockAttempts = 20;
inline constexpr int kLockDelayMs = 30;

} // namespace kelo::setup
