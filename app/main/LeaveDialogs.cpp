#include "app/main/LeaveDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/shell/Commands.h"
#include "staffrecords/LeaveFrm.h"
#include "staffrecords/LeaveFrmControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace kelo::app {

namespace {

using staffrecords::LEAVEFRM;
using Step = bool (LEAVEFRM::*)(common::DialogView&);

// The form's calls of one dialog variant; `cancel` throws away the event a
// new dialog prepared.
struct Variant {
    const char* objectName;
    Step init;
    Step close;
    void (LEAVEFRM::*cancel)() = nullptr;
};

QLineEdit* narrow(FormDialog& dialog, const char* name, const QString& label, int length) {
    QLineEdit* edit = dialog.addEdit(name, label, length);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (length + 3));
    return edit;
}

QLineEdit* dateEdit(FormDialog& dialog, const char* name, const QString& label) {
    QLineEdit* edit = narrow(dialog, name, label, 10);
    edit->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    return edit;
}

QLineEdit* daysEdit(FormDialog& dialog, const char* name, const QString& label) {
    QLineEdit* edit = narrow(dialog, name, label, 7);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

bool run(const DialogContext& context, LEAVEFRM& form, FormDialog& dialog, const Variant& variant) {
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return (form.*variant.close)(dialog.view()); }, &context.help,
        helpctx::Leave);
    if (variant.cancel)
        dialog.setOnCancel([&form, cancel = variant.cancel] { (form.*cancel)(); });
    if (!(form.*variant.init)(dialog.view()))
        return false;
    fitCaption(dialog);
    return context.host.exec(dialog) == QDialog::Accepted;
}

// An absence event or a leave booking: one layout.
bool runAbsence(const DialogContext& context, LEAVEFRM& form, const Variant& variant) {
    namespace ad = staffrecords::absencedlg;
    // The form gives the caption.
    FormDialog dialog(context.parent, variant.objectName, QString());
    QLineEdit* from = dateEdit(dialog, ad::kFromDate, QStringLiteral("From:"));
    dateEdit(dialog, ad::kToDate, QStringLiteral("To:"));
    daysEdit(dialog, ad::kDuration, QStringLiteral("Duration (days):"));
    dialog.addList(ad::kReason, QStringLiteral("Reason:"));
    dialog.addCheck(ad::kLeaveTaken, QStringLiteral("Leave has been taken"));
    // Whether the booking may be marked taken follows the year it starts in.
    QObject::connect(from, &QLineEdit::textEdited, &dialog,
                     [&form, &dialog] { form.resetLeaveTaken(dialog.view()); });
    return run(context, form, dialog, variant);
}

bool runLeaveEvent(const DialogContext& context, LEAVEFRM& form, const Variant& variant) {
    namespace ld = staffrecords::leavedlg;
    FormDialog dialog(context.parent, variant.objectName, QString());
    dateEdit(dialog, ld::kDate, QStringLiteral("Date:"));
    dialog.addList(ld::kEvent, QStringLiteral("Event:"));
    daysEdit(dialog, ld::kDays, QStringLiteral("Days:"));
    return run(context, form, dialog, variant);
}

} // namespace

bool runEventDialog(const DialogContext& context, LEAVEFRM& form, bool edit) {
    switch (form.getView()) {
    case staffrecords::ANNUAL_LEAVE_VIEW:
        return runLeaveEvent(context, form,
                             edit
                                 ? Variant{"LeaveEventDialog", &LEAVEFRM::initEditLeaveDlg,
                                           &LEAVEFRM::closeEditLeaveDlg}
                                 : Variant{"LeaveEventDialog", &LEAVEFRM::initNewLeaveDlg,
                                           &LEAVEFRM::closeNewLeaveDlg, &LEAVEFRM::deleteNewLeave});
    case staffrecords::LEAVE_BOOKED_VIEW:
        return runAbsence(context, form,
                          edit ? Variant{"LeaveBookingDialog", &LEAVEFRM::initEditBookingDlg,
                                         &LEAVEFRM::closeEditBookingDlg}
                               : Variant{"LeaveBookingDialog", &LEAVEFRM::initNewBookingDlg,
                                         &LEAVEFRM::closeNewBookingDlg,
                                         &LEAVEFRM::deleteNewBooking});
    default:
        return runAbsence(context, form,
                          edit ? Variant{"AbsenceEventDialog", &LEAVEFRM::initEditAbsenceDlg,
                                         &LEAVEFRM::closeEditAbsenceDlg}
                               : Variant{"AbsenceEventDialog", &LEAVEFRM::initNewAbsenceDlg,
                                         &LEAVEFRM::closeNewAbsenceDlg,
                                         &LEAVEFRM::deleteNewAbsence});
    }
}

} // namespace kelo::app
