#include "app/main/PayFieldDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/Session.h"
#include "app/shell/Commands.h"
#include "common/PayRecords.h"
#include "staffrecords/FieldsFrm.h"
#include "staffrecords/FieldsFrmControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

namespace kelo::app {

namespace {

using staffrecords::FIELDSFRM;
namespace ld = staffrecords::limitsdlg;
namespace hd = staffrecords::hourlyratedlg;
namespace fd = staffrecords::fundsdlg;

// Room for 999,999,999,999 and a percentage's decimals.
constexpr int kAmountLength = 15;
constexpr int kPercentLength = 7;

QLineEdit* amountEdit(FormDialog& dialog, const char* name, const QString& label, int length) {
    QLineEdit* edit = dialog.addEdit(name, label, length);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (length + 3));
    return edit;
}

void addLimits(FormDialog& dialog) {
    amountEdit(dialog, ld::kLowerLimit, QStringLiteral("Lower Limit"), kAmountLength);
    amountEdit(dialog, ld::kUpperLimit, QStringLiteral("Upper Limit"), kAmountLength);
}

// Shows the dialog after `show` filled it; OK stores through `get`.
bool run(const DialogContext& context, FormDialog& dialog,
         const std::function<void(common::DialogView&)>& show,
         const std::function<bool(common::Ui&, common::DialogView&)>& get) {
    common::Ui& ui = context.session.ui();
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return get(ui, dialog.view()); }, &context.help,
        helpctx::PayFields);
    show(dialog.view());
    fitCaption(dialog);
    return context.host.exec(dialog) == QDialog::Accepted;
}

bool runPercentage(const DialogContext& context, FIELDSFRM& form) {
    FormDialog dialog(context.parent, "PercentageDialog", QString());
    amountEdit(dialog, ld::kPercentage, QStringLiteral("Percentage"), kPercentLength);
    QCheckBox* apply = dialog.addCheck(ld::kApplyLimits, QStringLiteral("Apply Limits"));
    addLimits(dialog);
    QObject::connect(apply, &QCheckBox::toggled, &dialog,
                     [&dialog] { FIELDSFRM::resetLimits(dialog.view()); });
    return run(
        context, dialog, [&form](common::DialogView& view) { form.initPercentDlg(view); },
        [&form](common::Ui& ui, common::DialogView& view) { return form.getPercent(ui, view); });
}

bool runLimits(const DialogContext& context, FIELDSFRM& form) {
    FormDialog dialog(context.parent, "LimitsDialog", QString());
    addLimits(dialog);
    // A keyed amount always keeps within its limits; the form still shows
    // the flag the percentage dialog shares.
    dialog.addCheck(ld::kApplyLimits, QStringLiteral("Apply Limits"))->hide();
    return run(
        context, dialog, [&form](common::DialogView& view) { form.displayLimits(view); },
        [&form](common::Ui& ui, common::DialogView& view) { return form.getLimits(ui, view); });
}

bool runHourlyRate(const DialogContext& context, FIELDSFRM& form) {
    FormDialog dialog(context.parent, "HourlyRateDialog", QString());
    QRadioButton* basic = dialog.addRadioWithEdit(
        hd::kBasicPayRate, QStringLiteral("Basic Pay Rate x"), hd::kFactor, kPercentLength);
    dialog.findChild<QLineEdit*>(QString::fromLatin1(hd::kFactor))->setAlignment(Qt::AlignRight);
    dialog.addRadio(hd::kKeyInRate, QStringLiteral("Key in rate for each employee "));
    QObject::connect(basic, &QRadioButton::toggled, &dialog,
                     [&dialog] { FIELDSFRM::resetHourlyRate(dialog.view()); });
    return run(
        context, dialog, [&form](common::DialogView& view) { form.displayHourlyRate(view); },
        [&form](common::Ui& ui, common::DialogView& view) { return form.getHourlyRate(ui, view); });
}

bool runSelectCoop(const DialogContext& context, FIELDSFRM& form) {
    FormDialog dialog(context.parent, "SelectNameDialog", QString());
    QLabel* caption = dialog.addText(QStringLiteral("&Co-operative:"));
    QListWidget* names = dialog.addListBox(fd::kName);
    caption->setBuddy(names);
    names->setMinimumSize(names->fontMetrics().averageCharWidth() * 40,
                          names->fontMetrics().height() * 10);
    QObject::connect(names, &QListWidget::itemDoubleClicked, &dialog, [&dialog] {
        if (QPushButton* ok = dialog.button("OkButton"))
            ok->click();
    });
    names->setFocus();
    return run(
        context, dialog, [&form](common::DialogView& view) { form.displayCoop(view); },
        [&form](common::Ui& ui, common::DialogView& view) { return form.getCoop(ui, view); });
}

bool runPensionFund(const DialogContext& context, FIELDSFRM& form) {
    FormDialog dialog(context.parent, "PensionFundDialog", QString());
    dialog.addList(fd::kName, QStringLiteral("Name"))->setMinimumContentsLength(30);
    dialog.beginGroup("EmployerContribution", QStringLiteral("Employer's Contribution"));
    QComboBox* function = dialog.addList(fd::kEmployerFunction, QStringLiteral("Function"));
    amountEdit(dialog, ld::kPercentage, QStringLiteral("Percentage"), kPercentLength);
    QCheckBox* apply = dialog.addCheck(ld::kApplyLimits, QStringLiteral("Apply Limits"));
    addLimits(dialog);
    dialog.endGroup();
    const auto follow = [&dialog] { FIELDSFRM::resetEPFFunction(dialog.view()); };
    QObject::connect(function, &QComboBox::activated, &dialog, follow);
    QObject::connect(apply, &QCheckBox::toggled, &dialog, follow);
    return run(
        context, dialog, [&form](common::DialogView& view) { form.displayPFParams(view); },
        [&form](common::Ui& ui, common::DialogView& view) { return form.getPFParams(ui, view); });
}

} // namespace

bool runTypeParameters(const DialogContext& context, FIELDSFRM& form) {
    const std::string type = form.getType();
    if (common::isCoopType(type))
        return runSelectCoop(context, form);
    if (type == common::kTypePensionContribution)
        return runPensionFund(context, form);
    return false;
}

bool runFunctionParameters(const DialogContext& context, FIELDSFRM& form) {
    const std::string function = form.getFunction();
    if (common::isPercentFunction(function))
        return runPercentage(context, form);
    if (function == common::kFuncKeyIn)
        return runLimits(context, form);
    if (function == common::kFuncBasedOnHours)
        return runHourlyRate(context, form);
    return false;
}

} // namespace kelo::app
