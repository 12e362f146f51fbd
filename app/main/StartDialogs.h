#pragma once

#include "app/main/DialogContext.h"

namespace kelo::app {

// The Start dialog: true when the user chose Login and the data folder
// opened; Setup runs Program Setup and comes back; Cancel gives false.
bool runStartDialog(const DialogContext& context);
// Program Setup: select or create the data folder.
void runProgramSetup(const DialogContext& context);
// Login, with Set Password for a user who never had one. False on Cancel.
bool runLogin(const DialogContext& context);
// Set Password for the logged-in user; false when cancelled.
bool runSetPassword(const DialogContext& context);

} // namespace kelo::app
