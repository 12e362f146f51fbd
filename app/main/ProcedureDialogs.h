#pragma once

#include "app/main/DialogContext.h"

namespace kelo::app {

namespace helpctx {
inline constexpr int ChangeEmpNum = 790;
} // namespace helpctx

// Change Employee Number (790) over the procedures library's EmpNumChange
// and the program's files: the dialog stays until both numbers pass, then
// hides while the files are renumbered.
void runChangeEmpNum(const DialogContext& context);

} // namespace kelo::app
