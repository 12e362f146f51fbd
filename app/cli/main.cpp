// kelo: Kelo Roster's commands without its windows.
#include "app/cli/KeloProgram.h"
#include "app/cli/TerminalUi.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace kelo::app::cli;

namespace {

// Qt's own notes (a runtime folder it defaults) would add lines to the one
// line a failure gets; only its fatal errors are shown.
void keepQtQuiet(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "kelo: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    TerminalUi ui;
    Invocation invocation;
    std::string error;
    if (!parseInvocation(args, invocation, error)) {
        ui.say(error);
        return kUsage;
    }
    qInstallMessageHandler(keepQtQuiet);
    // A PDF is drawn by Qt's painter, which needs a GUI application; no
    // display is needed when none is named.
    std::unique_ptr<QCoreApplication> app;
    if (needsGui(invocation)) {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr)
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("kelo"));
    return runInvocation(invocation, QCoreApplication::applicationDirPath().toStdString(), ui);
}
