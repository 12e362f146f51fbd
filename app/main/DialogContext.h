#pragma once

class QWidget;

namespace kelo::app {

class DialogHost;
class HelpViewer;
class Session;

// What every dialog of the main program is run with.
struct DialogContext {
    Session& session;
    DialogHost& host;
    HelpViewer& help;
    QWidget* parent = nullptr;
};

} // namespace kelo::app
