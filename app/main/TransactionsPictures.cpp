// The screenshot run's pictures of the payroll transactions window.
#include "app/main/AutomationHosts.h"
#include "app/main/FormDialog.h"
#include "app/main/MainWindow.h"
#include "app/main/RecordTabs.h"
#include "app/main/TransactionsWindow.h"
#include "app/shell/Commands.h"
#include "setup/Orgs.h"
#include "staffrecords/VarFrmControls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPushButton>

namespace kelo::app {

namespace {

using staffrecords::ParamDialog;
using staffrecords::VARFRM;

// Says Yes to every question and passes every other message on: the demo
// has nobody off the payroll, so one employee is taken off for the
// picture of Add Employees to Payroll and added back through it.
class YesUi : public common::Ui {
public:
    explicit YesUi(common::Ui& ui) : ui_(ui) {}
    common::Answer message(const std::string& text, common::MessageIcon icon,
                           common::MessageButtons buttons, const std::string& caption,
                           std::optional<common::Answer> defaultAnswer) override {
        if (icon == common::MessageIcon::Question)
            return common::Answer::Yes;
        return ui_.message(text, icon, buttons, caption, defaultAnswer);
    }
    void beep() override { ui_.beep(); }
    void setStatusText(const std::string& text) override { ui_.setStatusText(text); }
    void beginWait() override { ui_.beginWait(); }
    void endWait() override { ui_.endWait(); }
    std::optional<std::string> chooseSaveFile(const common::FileChoice& choice) override {
        return ui_.chooseSaveFile(choice);
    }
    std::optional<std::string> chooseOpenFile(const common::FileChoice& choice) override {
        return ui_.chooseOpenFile(choice);
    }
    std::optional<std::string> chooseFolder(const std::string& title,
                                            const std::string& initialFolder) override {
        return ui_.chooseFolder(title, initialFolder);
    }

private:
    common::Ui& ui_;
};

// Pictures the dialog, then clicks OK.
class PictureThenOkHost : public DialogHost {
public:
    explicit PictureThenOkHost(ScreenshotHost& pictures) : pictures_(pictures) {}
    int exec(QDialog& dialog) override {
        pictures_.save(dialog, dialog.objectName());
        if (auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OkButton")))
            ok->click();
        return dialog.result();
    }

private:
    ScreenshotHost& pictures_;
};

void showEmployee(VARFRM& form, const char* empNum) {
    form.findEmpNum(empNum);
    QApplication::processEvents();
}

// The "..." of a pay item of the page shown.
void openItem(TransactionsWindow& document, common::FIELDSTABLE table, const char* name) {
    VARFRM& form = document.form();
    const auto index = form.findItem(table, name);
    if (!index)
        return;
    form.scrollFields(staffrecords::ScrollCode::Position, static_cast<int>(*index));
    document.itemParameters(static_cast<int>(*index) - form.scrollPosition());
}

void click(QWidget* page, const char* button) {
    if (auto* target =
            page ? page->findChild<QAbstractButton*>(QString::fromLatin1(button)) : nullptr)
        target->click();
}

// Takes the employee off the payroll, pictures him so, and adds him back
// through the dialog.
void pictureAddingBack(MainWindow& window, TransactionsWindow& document, ScreenshotHost& pictures,
                       const char* empNum) {
    Session& session = window.session();
    YesUi yes(session.ui());
    {
        VARFRM remover(yes, session.code(), session.folder());
        if (!remover.open(*session.orgs().getOpenOrg()) || !remover.findEmpNum(empNum) ||
            !remover.deleteRecord())
            return;
        remover.close();
    }
    showEmployee(document.form(), empNum);
    pictures.save(window, QStringLiteral("TransactionsWindow-NullRecord"));
    PictureThenOkHost adding(pictures);
    runAddEmployees({session, adding, window.help(), &document}, document.form());
}

} // namespace

void pictureTransactionsWindow(MainWindow& window, ScreenshotHost& pictures) {
    window.runCommand(cmd::Transactions);
    auto* document = dynamic_cast<TransactionsWindow*>(window.documentWindow());
    if (!document)
        return;
    VARFRM& form = document->form();
    // A housing allowance, a staff loan, a co-operative and a pension fund.
    showEmployee(form, "MH007");
    for (int tab = 0; tab < document->tabs()->count(); ++tab) {
        document->changeTab(tab);
        QApplication::processEvents();
        QString title = document->tabs()->tabText(tab);
        pictures.save(window,
                      QStringLiteral("TransactionsWindow-") + title.remove(QLatin1Char(' ')));
    }
    document->changeTab(1);
    for (const char* item : {"Staff Loan", "Highland SACCOS", "NSSF Supplementary"})
        openItem(*document, common::DEDUCTIONS, item);
    showEmployee(form, "MH002");
    openItem(*document, common::DEDUCTIONS, "Staff Savings Scheme");
    // Paid by the days he works, with overtime.
    showEmployee(form, "MH018");
    document->changeTab(0);
    click(document->page(), staffrecords::varfrm::kBasicPayButton);
    click(document->page(), staffrecords::varfrm::kOvertimeButton);
    // The demo has no item of these kinds: their layout only.
    const DialogContext context{window.session(), pictures, window.help(), document};
    for (ParamDialog which :
         {ParamDialog::HourlyPay, ParamDialog::BankLoan, ParamDialog::CostRecovery})
        if (std::unique_ptr<FormDialog> dialog = parametersLayout(context, which))
            pictures.save(*dialog, dialog->objectName());
    pictureAddingBack(window, *document, pictures, "MH024");
    window.runCommand(cmd::Close);
}

} // namespace kelo::app
