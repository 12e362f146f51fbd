// The screenshot run's pictures of the import preview.
#include "app/main/AutomationHosts.h"
#include "app/main/HelpViewer.h"
#include "app/main/ImportPreviewDialog.h"
#include "app/main/MainWindow.h"
#include "app/main/Session.h"
#include "dataexchange/ImportCommands.h"
#include "setup/Orgs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>

namespace kelo::app {

namespace {

// Chooses the one file given; messages as in the rest of the run.
class FileUi : public ScreenshotUi {
public:
    FileUi(QWidget* parent, const ScreenshotHost& host, QString file)
        : ScreenshotUi(parent, host),
          file_(std::move(file)) {}

protected:
    std::optional<QString> execFileDialog(QFileDialog&) override { return file_; }

private:
    QString file_;
};

// Pictures the preview as the clerk sees it, then cancels it.
class PreviewPictureHost : public DialogHost {
public:
    PreviewPictureHost(ScreenshotHost& pictures, QString name, HelpViewer& help, bool withHelp)
        : pictures_(pictures),
          name_(std::move(name)),
          help_(help),
          withHelp_(withHelp) {}
    int exec(QDialog& dialog) override {
        if (dialog.objectName() != QLatin1String("ImportPreviewDialog"))
            return pictures_.exec(dialog);
        dialog.show();
        QApplication::processEvents();
        pictures_.save(dialog, name_);
        if (withHelp_) {
            if (auto* help = dialog.findChild<QAbstractButton*>(QStringLiteral("HelpButton")))
                help->click();
            if (QWidget* window = help_.window()) {
                QApplication::processEvents();
                pictures_.save(*window, QStringLiteral("HelpWindow-ImportPreview"));
                window->close();
            }
        }
        dialog.reject();
        return QDialog::Rejected;
    }

private:
    ScreenshotHost& pictures_;
    QString name_;
    HelpViewer& help_;
    bool withHelp_;
};

constexpr const char* kEmployeeHeader =
    "Employee Number,Last Name,Other Names,Unit,Job,Terms,Station,Pay Frequency,Pay Basis,"
    "Daily Rate,Hours per Day,Hours per Month,Time Worked,Start Date\r\n";

constexpr const char* kRefusedEmployees =
    "MH001,Mwakyusa,Emmanuel Joseph,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,8500,8,195,Days Present,01/12/2025\r\n"
    "MH101,Mwansasu,Neema Asha,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,8500,8,195,Days Present,31/11/2025\r\n"
    "MH102,Sanga,Joseph Elia,Kiwira Estate,Tea Plucker,Temporary,Moshi,Weekly,"
    "Daily Rate,8500,8,195,Days Present,01/12/2025\r\n"
    "MH103,,Halima,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,8500,8,195,Days Present,01/12/2025\r\n"
    "MH104,Mwakalobo,Halima Tumaini,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,500,8,195,Days Present,01/12/2025\r\n"
    "MH105,Mbilinyi,Tumaini,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,8500,8,195,Days Present,01/12/2025,extra\r\n";

constexpr const char* kCleanEmployees =
    "MH101,Mwansasu,Neema Asha,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,8500,8,195,Days Present,01/12/2025\r\n"
    "MH102,Sanga,Joseph Elia,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,8500,8,195,Days Present,01/12/2025\r\n"
    "MH103,Mwakalobo,Halima Tumaini,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,8500,8,195,Days Present,01/12/2025\r\n";

constexpr const char* kBalances =
    "Employee Number,Item,Balance,Payments Left,Interest Rate,Taxable Benefit,"
    "Employer Contribution,Employee Balance,Employer Balance\r\n"
    "MH007,Staff Loan,\"1,200,000\",12,10,Yes,,,\r\n"
    "MH009,Staff Savings Scheme,450000,,5,,,,\r\n"
    "MH013,Highland SACCOS,380000,,,,,,\r\n";

using Import = bool (*)(common::Ui&, dataexchange::ImportPreviewHost&, engine::Code4&,
                        const common::WorkingFolder&, const common::ORGREC&);

void picture(MainWindow& window, ScreenshotHost& pictures, const QTemporaryDir& folder,
             const QString& name, const QByteArray& bytes, Import import) {
    const QString path = folder.filePath(name + QStringLiteral(".csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return;
    file.close();
    FileUi ui(&window, pictures, path);
    // The first preview pictured shows its help page too.
    PreviewPictureHost host(pictures, name, window.help(), name.endsWith(QLatin1String("Refused")));
    ImportPreviewDialogs previews(host, window.help(), &window);
    Session& session = window.session();
    import(ui, previews, session.code(), session.folder(), *session.orgs().getOpenOrg());
}

} // namespace

void pictureImportPreviews(MainWindow& window, ScreenshotHost& pictures) {
    const QTemporaryDir folder;
    if (!folder.isValid())
        return;
    const QByteArray header(kEmployeeHeader);
    picture(window, pictures, folder, QStringLiteral("ImportPreview-Refused"),
            header + kRefusedEmployees, dataexchange::importEmployeesFromFile);
    picture(window, pictures, folder, QStringLiteral("ImportPreview-Employees"),
            header + kCleanEmployees, dataexchange::importEmployeesFromFile);
    picture(window, pictures, folder, QStringLiteral("ImportPreview-Balances"),
            QByteArray(kBalances), dataexchange::importBalancesFromFile);
}

} // namespace kelo::app
