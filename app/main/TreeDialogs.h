#pragma once

#include "app/main/DialogContext.h"

namespace kelo::app {

class ScreenshotHost;

// Help contexts of the tree dialogs, numbered as their dialog resources;
// each page also covers the dialogs opened from its window.
namespace helpctx {
inline constexpr int Posts = 763;
inline constexpr int Units = 765;
inline constexpr int Banks = 783;
} // namespace helpctx

// The tree dialogs over the setup library's UNITSDLG, POSTSDLG and
// BANKSDLG, each made for one command and gone with it: the tree with its
// buttons, re-read on a timer while it is open, and the dialogs its buttons
// open. A table that does not open is told by the setup class and no dialog
// shows.
void runUnits(const DialogContext& context);
void runPosts(const DialogContext& context);
void runBanks(const DialogContext& context);

// The screenshot run: each tree dialog and every dialog it opens, on the
// entries that show them best.
void pictureTreeDialogs(const DialogContext& context, ScreenshotHost& pictures);

} // namespace kelo::app
