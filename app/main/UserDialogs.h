#pragma once

#include "app/main/DialogContext.h"

namespace kelo::app {

// The users dialogs over USERS: the list with Add, Delete, Identity and
// Rights, and Change Password. Each returns true when it ended with OK.
void runUsers(const DialogContext& context);
bool runChangePassword(const DialogContext& context);
void runAbout(const DialogContext& context);

} // namespace kelo::app
