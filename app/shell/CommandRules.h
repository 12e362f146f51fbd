#pragma once

#include "app/shell/Commands.h"
#include "common/OrgRecords.h"

namespace kelo::app {

// How a menu item or toolbar button shows.
struct CommandState {
    bool present = true; // false: removed from the menu, or a hidden button
    bool enabled = true;
};

// What the logged-in user may do, and what the open document allows.
struct CommandContext {
    common::USERREC user;
    DocumentKind document = DocumentKind::None;
    int reportCode = 0; // the open report, when document is Report
};

// The rights rules of the menu and the toolbar.
class CommandRules {
public:
    // Commands whose windows and procedures this build has; the others stay
    // in the menus, grayed.
    static bool isAvailable(int id);
    // False when a clear right of the user grays the command.
    static bool rightsAllow(int id, const common::USERREC& user);
    static CommandState menuItem(int id, const CommandContext& context);
    static CommandState toolbarButton(int id, const CommandContext& context);
    // Whether a command may run now: present, enabled and in the user's menu.
    static bool mayRun(int id, const CommandContext& context);
};

} // namespace kelo::app
