#include "app/main/EmployeeDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/HelpViewer.h"
#include "app/ports/QtText.h"
#include "app/shell/Commands.h"
#include "common/PayRecords.h"
#include "staffrecords/StatFrm.h"
#include "staffrecords/StatFrmControls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace kelo::app {

namespace {

using staffrecords::STATFRM;

int exec(const DialogContext& context, FormDialog& dialog) {
    fitCaption(dialog);
    return context.host.exec(dialog);
}

QLineEdit* narrowEdit(FormDialog& dialog, const char* name, const QString& label, int length) {
    QLineEdit* edit = dialog.addEdit(name, label, length);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (length + 4));
    return edit;
}

// A captioned column of the picker dialogs.
QVBoxLayout* captioned(QDialog& dialog, const QString& caption, QWidget* view) {
    auto* column = new QVBoxLayout;
    auto* label = new QLabel(caption, &dialog);
    label->setBuddy(view);
    column->addWidget(label);
    column->addWidget(view, 1);
    return column;
}

QTreeWidget* unitsTree(QDialog& dialog, const char* name) {
    auto* tree = new QTreeWidget(&dialog);
    tree->setObjectName(QString::fromLatin1(name));
    tree->setHeaderHidden(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setUniformRowHeights(true);
    const int scrollBar = tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    tree->setMinimumSize(tree->fontMetrics().averageCharWidth() * 28 + tree->indentation() * 4 +
                             scrollBar,
                         tree->fontMetrics().height() * 16);
    return tree;
}

QListWidget* listBox(QDialog& dialog, const char* name, int characters) {
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QString::fromLatin1(name));
    list->setMinimumWidth(list->fontMetrics().averageCharWidth() * characters);
    return list;
}

// A tree on the left whose choice fills the list on the right; the form
// follows every change of either, but not while it fills them itself.
struct Picker {
    std::function<bool(common::DialogView&)> init;
    std::function<void(common::DialogView&)> update;
    std::function<bool(common::DialogView&)> close;
};

bool runPicker(const DialogContext& context, FormDialog& dialog, QWidget* left, QWidget* right,
               QAbstractItemView* choice, const Picker& picker, int helpContext) {
    auto* row = new QHBoxLayout;
    row->addLayout(captioned(dialog, dialog.property("leftCaption").toString(), left), 1);
    row->addLayout(captioned(dialog, dialog.property("rightCaption").toString(), right), 1);
    dialog.mainLayout()->addLayout(row);
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return picker.close(dialog.view()); }, &context.help,
        helpContext);
    bool filling = true;
    const bool ready = picker.init(dialog.view());
    filling = false;
    if (!ready)
        return false;
    const auto follow = [&] {
        if (!filling) {
            filling = true;
            picker.update(dialog.view());
            filling = false;
        }
    };
    for (auto* view : dialog.findChildren<QAbstractItemView*>())
        QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, &dialog,
                         follow);
    QObject::connect(choice, &QAbstractItemView::doubleClicked, &dialog, [&dialog] {
        if (QPushButton* ok = dialog.button("OkButton"))
            ok->click();
    });
    left->setFocus();
    return exec(context, dialog) == QDialog::Accepted;
}

} // namespace

bool runEmployeeNumber(const DialogContext& context, STATFRM& form, const common::ORGREC& org,
                       int helpContext) {
    FormDialog dialog(context.parent, "EmployeeNumberDialog", QStringLiteral("Employee Number"));
    narrowEdit(dialog, staffrecords::empnumdlg::kEmpNum, QStringLiteral("Employee Number"),
               static_cast<int>(common::StaticWidths::kEmpNumWidth));
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] {
            std::string number;
            return form.getNewEmpNum(dialog.view(), number) && form.appendNewRec(org, number);
        },
        &context.help, helpContext);
    return exec(context, dialog) == QDialog::Accepted;
}

bool runTerminate(const DialogContext& context, STATFRM& form, int helpContext) {
    using namespace staffrecords::terminatedlg;
    FormDialog dialog(context.parent, "TerminateDialog", QStringLiteral("Terminate Employee"));
    narrowEdit(dialog, kDate, QStringLiteral("Termination Date"), 10)
        ->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    dialog.addList(kReason, QStringLiteral("Reason"));
    auto* caption = new QLabel(QStringLiteral("Co&mment"), &dialog);
    auto* comment = new QPlainTextEdit(&dialog);
    comment->setObjectName(QString::fromLatin1(kComment));
    comment->setTabChangesFocus(true);
    comment->setMinimumSize(comment->fontMetrics().averageCharWidth() * 50,
                            comment->fontMetrics().lineSpacing() * 5);
    caption->setBuddy(comment);
    // The stored comment holds this much; more is not taken.
    const int most = static_cast<int>(common::StaticWidths::kTerminationCommentWidth);
    QObject::connect(comment, &QPlainTextEdit::textChanged, &dialog, [comment, most] {
        const QString text = comment->toPlainText();
        if (text.size() <= most)
            return;
        comment->setPlainText(text.left(most));
        comment->moveCursor(QTextCursor::End);
    });
    dialog.mainLayout()->addWidget(caption);
    dialog.mainLayout()->addWidget(comment);
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return form.closeTerminateDlg(dialog.view()); }, &context.help,
        helpContext);
    dialog.setOnCancel([&form] { form.cancelTerminateDlg(); });
    if (!form.initTerminateDlg(dialog.view()))
        return false;
    return exec(context, dialog) == QDialog::Accepted;
}

bool runBirthDate(const DialogContext& context, STATFRM& form, int helpContext) {
    using namespace staffrecords::bdatedlg;
    FormDialog dialog(context.parent, "BirthDateDialog", QStringLiteral("Birth Date"));
    narrowEdit(dialog, kDay, QStringLiteral("Day"), 2);
    narrowEdit(dialog, kMonth, QStringLiteral("Month"), 2);
    narrowEdit(dialog, kYear, QStringLiteral("Year"), 4);
    dialog.addButtons(
        QStringLiteral("OK"), [&] { return form.closeBDateDlg(dialog.view()); }, &context.help,
        helpContext);
    form.initBDateDlg(dialog.view());
    return exec(context, dialog) == QDialog::Accepted;
}

bool runSelectPost(const DialogContext& context, STATFRM& form, int helpContext) {
    using namespace staffrecords::postdlg;
    // The form names the employee in the caption.
    FormDialog dialog(context.parent, "SelectPostDialog", QString());
    dialog.setProperty("leftCaption", QStringLiteral("&Administrative Units:"));
    dialog.setProperty("rightCaption", QStringLiteral("P&osts:"));
    QTreeWidget* units = unitsTree(dialog, kUnits);
    QListWidget* posts = listBox(dialog, kPosts, 36);
    return runPicker(context, dialog, units, posts, posts,
                     {[&form](common::DialogView& view) { return form.initSelPostDlg(view); },
                      [&form](common::DialogView& view) { form.updateSelPostDlg(view); },
                      [&form](common::DialogView& view) { return form.closeSelPostDlg(view); }},
                     helpContext);
}

bool runSupervisor(const DialogContext& context, STATFRM& form, int helpContext) {
    using namespace staffrecords::supervisordlg;
    FormDialog dialog(context.parent, "SupervisorDialog", QStringLiteral("Supervisor"));
    dialog.setProperty("leftCaption", QStringLiteral("&Administrative Units:"));
    dialog.setProperty("rightCaption", QStringLiteral("E&mployees:"));
    QTreeWidget* units = unitsTree(dialog, kUnits);
    auto* employees = new QTreeWidget(&dialog);
    employees->setObjectName(QString::fromLatin1(kEmployees));
    employees->setRootIsDecorated(false);
    employees->setUniformRowHeights(true);
    employees->setHeaderLabels({QStringLiteral("Employee No."), QStringLiteral("Name")});
    const int digit = employees->fontMetrics().averageCharWidth();
    employees->setColumnWidth(0, digit * 18);
    employees->setMinimumWidth(digit * 50);
    return runPicker(context, dialog, units, employees, employees,
                     {[&form](common::DialogView& view) { return form.initSupervisorDlg(view); },
                      [&form](common::DialogView& view) { form.updateSupervisorDlg(view); },
                      [&form](common::DialogView& view) { return form.closeSupervisorDlg(view); }},
                     helpContext);
}

bool runBankBranch(const DialogContext& context, STATFRM& form, int helpContext) {
    using namespace staffrecords::bankdlg;
    FormDialog dialog(context.parent, "BankBranchDialog", QStringLiteral("Bank and Branch"));
    dialog.setProperty("leftCaption", QStringLiteral("&Banks:"));
    dialog.setProperty("rightCaption", QStringLiteral("B&ranches:"));
    QListWidget* banks = listBox(dialog, kBanks, 28);
    QListWidget* branches = listBox(dialog, kBranches, 28);
    for (QListWidget* list : {banks, branches})
        list->setMinimumHeight(list->fontMetrics().height() * 14);
    return runPicker(context, dialog, banks, branches, branches,
                     {[&form](common::DialogView& view) { return form.initSelBankDlg(view); },
                      [&form](common::DialogView& view) { form.updateSelBankDlg(view); },
                      [&form](common::DialogView& view) { return form.closeSelBankDlg(view); }},
                     helpContext);
}

FindBy findByCommand(int id) {
    return id == cmd::GoTo         ? FindBy::RecordNumber
           : id == cmd::FindEmpNum ? FindBy::EmployeeNumber
                                   : FindBy::LastName;
}

bool runFind(const DialogContext& context, const RecordFinder& finder, FindBy by) {
    using namespace staffrecords::finddlg;
    const struct {
        const char* caption;
        const char* prompt;
        int length;
    } faces[] = {{"Go to Record Number", "Enter Record Number", 9},
                 {"Find Employee Number", "Enter Employee Number",
                  static_cast<int>(common::StaticWidths::kEmpNumWidth)},
                 {"Find Last Name", "Enter Last Name",
                  static_cast<int>(common::StaticWidths::kLastNameWidth)}};
    const auto& face = faces[static_cast<int>(by)];
    FormDialog dialog(context.parent, by == FindBy::RecordNumber ? "GoToDialog" : "FindDialog",
                      QString::fromLatin1(face.caption));
    dialog.addStatic(kPrompt, QString())->setText(QString::fromLatin1(face.prompt));
    QLineEdit* text = dialog.addEdit(kText, QString(), face.length);
    text->setMinimumWidth(text->fontMetrics().averageCharWidth() * 30);
    dialog.addButtons(QStringLiteral("OK"), [&] {
        const std::string typed = toStdString(text->text());
        switch (by) {
        case FindBy::RecordNumber: {
            bool number = false;
            const long recNo = text->text().trimmed().toLong(&number);
            return finder.gotoRec(number ? recNo : 0);
        }
        case FindBy::EmployeeNumber:
            return finder.findEmpNum(typed);
        case FindBy::LastName:
            return finder.findName(typed);
        }
        return false;
    });
    text->setFocus();
    return exec(context, dialog) == QDialog::Accepted;
}

} // namespace kelo::app
