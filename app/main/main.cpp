// Kelo Roster: the desktop program.
#include "app/main/AutomationHosts.h"
#include "app/main/EmployeeWindow.h"
#include "app/main/ImportPreviewDialog.h"
#include "app/main/LeaveWindow.h"
#include "app/main/LookupListDialogs.h"
#include "app/main/MainWindow.h"
#include "app/main/PayFieldsWindow.h"
#include "app/main/ReportOptionsDialogs.h"
#include "app/main/ReportPreview.h"
#include "app/main/ReportWizardDialog.h"
#include "app/main/StartDialogs.h"
#include "app/main/StatutoryTableDialogs.h"
#include "app/main/TransactionsWindow.h"
#include "app/main/TreeDialogs.h"
#include "app/ports/QtText.h"
#include "app/shell/Commands.h"
#include "setup/Orgs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QListWidget>
#include <QTextStream>

#include <memory>

using namespace kelo::app;

namespace {

struct Options {
    QString dataFolder;
    QString user;
    QString password;
    QString screenshots;
    bool quitWhenShown = false;
    bool saveDataFolder = false;
};

// Help and version are printed before any window system is asked for, so
// that they work without a display.
bool asksOnlyForText(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QLatin1String arg(argv[i]);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h") ||
            arg == QLatin1String("--help-all") || arg == QLatin1String("-?") ||
            arg == QLatin1String("--version") || arg == QLatin1String("-v"))
            return true;
    }
    return false;
}

void nameTheProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("Kelo Roster"));
    QCoreApplication::setApplicationVersion(QStringLiteral("4.2"));
}

bool hasNoScreen() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

Options parse(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Payroll and personnel records"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataFolder(
        QStringLiteral("data-folder"),
        QStringLiteral("Use <folder> as the data folder for this run."), QStringLiteral("folder"));
    const QCommandLineOption saveDataFolder(
        QStringLiteral("save-data-folder"),
        QStringLiteral("Keep the folder of --data-folder as the data folder of later runs."));
    const QCommandLineOption user(QStringLiteral("user"),
                                  QStringLiteral("Log in as <name> without the Start dialog."),
                                  QStringLiteral("name"));
    const QCommandLineOption password(QStringLiteral("password"),
                                      QStringLiteral("The password for --user."),
                                      QStringLiteral("password"));
    const QCommandLineOption quit(QStringLiteral("quit-when-shown"),
                                  QStringLiteral("Exit once the main window is shown, printing "
                                                 "the start-up time."));
    const QCommandLineOption screenshots(
        QStringLiteral("screenshots"),
        QStringLiteral("Save pictures of the main window and every dialog into <folder>."),
        QStringLiteral("folder"));
    parser.addOptions({dataFolder, saveDataFolder, user, password, quit, screenshots});
    parser.process(app);
    return {parser.value(dataFolder),  parser.value(user), parser.value(password),
            parser.value(screenshots), parser.isSet(quit), parser.isSet(saveDataFolder)};
}

// Pictures a list dialog with its row dialog for a new row and for the
// selected row; every other dialog as the screenshot host does.
class RowPictureHost : public DialogHost {
public:
    explicit RowPictureHost(ScreenshotHost& pictures) : pictures_(pictures) {}
    int exec(QDialog& dialog) override {
        const QString name = dialog.objectName();
        if (name != QLatin1String("RatesTableDialog") &&
            name != QLatin1String("IncomeBracketsDialog") &&
            dialog.findChild<QWidget*>(QStringLiteral("LookupList")) == nullptr)
            return pictures_.exec(dialog);
        pictures_.save(dialog, name);
        for (const char* button : {"Insert", "Edit", "AddButton", "PropertiesButton"})
            if (auto* target = dialog.findChild<QAbstractButton*>(QString::fromLatin1(button)))
                target->click();
        dialog.reject();
        return QDialog::Rejected;
    }

private:
    ScreenshotHost& pictures_;
};

// Pictures Report Options with the option dialogs of a sorted report, the
// payslips, the control account, the muster roll and the cash list, each
// chosen as the user does; every other dialog as the screenshot host does.
class ReportOptionsPictureHost : public DialogHost {
public:
    explicit ReportOptionsPictureHost(ScreenshotHost& pictures) : pictures_(pictures) {}
    int exec(QDialog& dialog) override {
        if (dialog.objectName() != QLatin1String("ReportOptionsDialog"))
            return pictures_.exec(dialog);
        pictures_.save(dialog, dialog.objectName());
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("ReportList"));
        auto* options = dialog.findChild<QAbstractButton*>(QStringLiteral("Options"));
        for (const char* report :
             {"Cheque List", "Payslips", "Control Account", "Muster Roll", "Cash List"}) {
            const QList<QListWidgetItem*> found =
                list ? list->findItems(QString::fromLatin1(report), Qt::MatchExactly)
                     : QList<QListWidgetItem*>{};
            if (found.isEmpty() || !options)
                continue;
            list->setCurrentItem(found.front());
            options->click();
        }
        dialog.reject();
        return QDialog::Rejected;
    }

private:
    ScreenshotHost& pictures_;
};

// Commands whose dialogs the screenshot run pictures.
void pictureDialogs(MainWindow& window, ScreenshotHost& host) {
    window.resize(1024, 680);
    window.show();
    QApplication::processEvents();
    host.save(window, QStringLiteral("MainWindow"));
    runSetPassword({window.session(), host, window.help(), &window});
    for (int id : {cmd::OpenOrg, cmd::NewOrg, cmd::DeleteOrg, cmd::BasicInfo, cmd::PayrollInfo,
                   cmd::PayrollOptions, cmd::GeneralOptions, cmd::ChangePassword, cmd::Users,
                   cmd::NssfRates, cmd::PayeParameters, cmd::SdlRates, cmd::WcfRate, cmd::Restore,
                   cmd::PayFrequency, cmd::About})
        window.runCommand(id);
    window.runCommand(cmd::ChangeEmpNum);
    // The period end's Caution, on the weekly payroll for a moment; the
    // picture cancels it, so nothing is closed.
    kelo::setup::ORGS& orgs = window.session().orgs();
    const kelo::common::PAYFREQ worked = orgs.getOpenOrg()->payFreq;
    if (orgs.setPayFreq(kelo::common::WEEKLY) == 1) {
        window.runCommand(cmd::PeriodEnd);
        orgs.setPayFreq(worked);
    }
    ReportOptionsPictureHost reports(host);
    runReportOptions({window.session(), reports, window.help(), &window});
    RowPictureHost rows(host);
    const DialogContext withRows{window.session(), rows, window.help(), &window};
    runPayeRates(withRows);
    runIncomeBrackets(withRows);
    for (auto* run : {runGrades, runJobs, runStations, runCoops, runPensionFunds})
        run(withRows);
    pictureTreeDialogs({window.session(), host, window.help(), &window}, host);
    pictureEmployeeWindows(window, host);
    pictureTransactionsWindow(window, host);
    pictureLeaveWindow(window, host);
    picturePayFieldsWindows(window, host);
    pictureReportWizard(window, host);
    pictureReportPreview(window, host);
    pictureImportPreviews(window, host);
    window.help().show(165);
    if (QWidget* help = window.help().window())
        host.save(*help, QStringLiteral("HelpWindow"));
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer clock;
    clock.start();
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication text(argc, argv);
        nameTheProgram();
        parse(text); // prints and exits
        return 0;
    }
    QApplication app(argc, argv);
    nameTheProgram();
    const Options options = parse(app);

    ProgramPaths paths = ProgramPaths::beside(QCoreApplication::applicationDirPath().toStdString());
    std::unique_ptr<DialogHost> host;
    StartUpHost* startUpHost = nullptr;
    std::unique_ptr<ScreenshotHost> screenshots;
    MainWindow::UiFactory makeUi;
    if (!options.screenshots.isEmpty()) {
        QDir().mkpath(options.screenshots);
        screenshots =
            std::make_unique<ScreenshotHost>(options.screenshots, options.user, options.password);
        startUpHost = screenshots.get();
        makeUi = [&screenshots](QWidget* parent) -> std::unique_ptr<QtUi> {
            return std::make_unique<ScreenshotUi>(parent, *screenshots);
        };
    } else if (!options.user.isEmpty()) {
        auto automatic =
            std::make_unique<StartUpHost>(options.user, options.password, hasNoScreen());
        startUpHost = automatic.get();
        makeUi = [startUpHost](QWidget* parent) -> std::unique_ptr<QtUi> {
            return std::make_unique<StartUpUi>(parent, *startUpHost);
        };
        host = std::move(automatic);
    } else {
        host = std::make_unique<DialogHost>();
    }
    DialogHost& dialogs = screenshots ? *screenshots : *host;

    MainWindow window(std::move(paths), dialogs, makeUi);
    if (!options.dataFolder.isEmpty()) {
        kelo::setup::APPCFG& config = window.session().appConfig();
        const std::string folder = QDir(options.dataFolder).absolutePath().toStdString();
        if (options.saveDataFolder) {
            config.readFile(window.ui());
            config.setDataFolder(folder);
            if (!config.saveFile(window.ui()))
                return 1;
        }
        config.useForThisRun(folder);
    }
    if (screenshots == nullptr)
        window.showMaximized();
    if (!window.startUp())
        return 1;
    if (startUpHost)
        startUpHost->startUpDone();
    if (screenshots) {
        pictureDialogs(window, *screenshots);
        return 0;
    }
    if (options.quitWhenShown) {
        QApplication::processEvents();
        QTextStream(stdout) << "Main window shown after " << clock.elapsed() << " ms\n";
        return 0;
    }
    return QApplication::exec();
}
