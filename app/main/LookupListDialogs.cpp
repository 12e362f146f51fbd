#include "app/main/LookupListDialogs.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/HelpViewer.h"
#include "app/main/Session.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "database/DbTable.h"
#include "database/PayFieldsFile.h"
#include "database/StaticDb.h"
#include "setup/LookupControls.h"
#include "setup/LookupDialogs.h"
#include "setup/Orgs.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

namespace kelo::app {

namespace {

using common::DialogView;
using setup::LookupList;

// What one list adds to the shared list dialog: its names, its properties
// fields and the setup calls behind its buttons.
struct ListFace {
    const char* dialogName;
    const char* propertiesName;
    int helpContext;
    LookupList& logic;
    std::function<void(FormDialog&)> buildProperties;
    std::function<void(DialogView& prpts)> initNew;
    std::function<bool(DialogView& prpts, DialogView& list)> closeNew;
    std::function<bool(DialogView& list, DialogView& prpts)> initProperties;
    std::function<bool(DialogView& prpts, DialogView& list)> closeProperties;
    std::function<void(DialogView& list)> deleteSelected;
};

void runProperties(const DialogContext& context, FormDialog& list, const ListFace& face,
                   bool adding) {
    FormDialog dialog(&list, face.propertiesName, QString());
    face.buildProperties(dialog);
    dialog.addButtons(
        QStringLiteral("OK"),
        [&] {
            return adding ? face.closeNew(dialog.view(), list.view())
                          : face.closeProperties(dialog.view(), list.view());
        },
        &context.help, face.helpContext);
    bool ready = true;
    if (adding) {
        face.initNew(dialog.view());
    } else {
        // The row stays locked while the dialog is open.
        dialog.setOnCancel([&face] { face.logic.cancelPrptsDlg(); });
        ready = face.initProperties(list.view(), dialog.view());
    }
    if (ready) {
        fitCaption(dialog);
        context.host.exec(dialog);
    }
    list.view().setFocus(setup::lookuplistdlg::List);
}

void runList(const DialogContext& context, const ListFace& face) {
    using namespace setup::lookuplistdlg;
    Session& session = context.session;
    FormDialog dialog(context.parent, face.dialogName, QString());
    auto* row = new QHBoxLayout;
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QString::fromLatin1(List));
    // Room for the longest name (24 characters) and a dozen entries.
    list->setMinimumSize(list->fontMetrics().averageCharWidth() * 32,
                         list->fontMetrics().height() * 14);
    row->addWidget(list, 1);
    auto* column = new QVBoxLayout;
    QPushButton* add = addColumnButton(dialog, *column, Add, QStringLiteral("&Add..."));
    QPushButton* remove = addColumnButton(dialog, *column, Delete, QStringLiteral("&Delete"));
    QPushButton* properties =
        addColumnButton(dialog, *column, Properties, QStringLiteral("&Properties..."));
    properties->setDefault(true);
    column->addStretch();
    QPushButton* close = addColumnButton(dialog, *column, Close, QStringLiteral("&Close"));
    QPushButton* help = addColumnButton(dialog, *column, "HelpButton", QStringLiteral("&Help"));
    row->addLayout(column);
    dialog.mainLayout()->addLayout(row);

    const DialogContext inner{session, context.host, context.help, &dialog};
    QObject::connect(add, &QPushButton::clicked, &dialog,
                     [&] { runProperties(inner, dialog, face, true); });
    QObject::connect(properties, &QPushButton::clicked, &dialog,
                     [&] { runProperties(inner, dialog, face, false); });
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, [properties] {
        if (properties->isEnabled())
            properties->click();
    });
    QObject::connect(remove, &QPushButton::clicked, &dialog, [&] {
        face.deleteSelected(dialog.view());
        dialog.view().setFocus(List);
    });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(help, &QPushButton::clicked, &dialog,
                     [&] { context.help.show(face.helpContext); });

    if (!face.logic.initDlg(session.ui(), dialog.view()))
        return;
    fitCaption(dialog);
    // Other users' changes show while the dialog is open.
    auto* timer = new QTimer(&dialog);
    timer->setObjectName(QStringLiteral("RefreshTimer"));
    timer->setInterval(RefreshInterval);
    QObject::connect(timer, &QTimer::timeout, &dialog,
                     [&] { face.logic.refreshIfChanged(dialog.view()); });
    timer->start();
    list->setFocus();
    context.host.exec(dialog);
    timer->stop();
    face.logic.closeDlg();
}

void addNameField(FormDialog& dialog) {
    dialog.addEdit(setup::lookupnamedlg::Name, QStringLiteral("Name"),
                   static_cast<int>(database::LookupTable::kNameWidth));
}

// Whole shillings line up on their last digit; a box only as wide as its
// longest value keeps the digits near their label.
QLineEdit* addNumber(FormDialog& dialog, const char* name, const QString& label, int digits) {
    QLineEdit* edit = dialog.addEdit(name, label, digits);
    edit->setAlignment(Qt::AlignRight);
    const int width = edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 2) +
                      edit->textMargins().left() + edit->textMargins().right() + 12;
    edit->setFixedWidth(width);
    return edit;
}

// A description of several lines in a one-line column: Enter reaches the
// dialog's OK button, pasted line breaks become spaces, and typing stops at
// what the column holds.
class DescriptionEdit : public QPlainTextEdit {
public:
    DescriptionEdit(QWidget* parent, int limit) : QPlainTextEdit(parent), limit_(limit) {
        setTabChangesFocus(true);
        connect(this, &QPlainTextEdit::textChanged, this, &DescriptionEdit::keepWithinLimit);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->ignore();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
    void insertFromMimeData(const QMimeData* source) override {
        QString text = source->text();
        text.replace(QLatin1Char('\r'), QString()).replace(QLatin1Char('\n'), QLatin1Char(' '));
        insertPlainText(text);
    }

private:
    void keepWithinLimit() {
        const QString text = toPlainText();
        if (text.size() <= limit_)
            return;
        const QSignalBlocker quiet(this);
        setPlainText(text.left(limit_));
        moveCursor(QTextCursor::End);
    }

    int limit_;
};

std::optional<long> employeesNaming(Session& session, int kind, long code) {
    database::STATDB personnel(session.code(), session.folder());
    const std::optional<long> count = personnel.getMemberCnt(kind, code);
    if (!count) {
        session.ui().error(database::openFailureText(session.code(), database::STATDB::kPath));
        session.code().setErrorCode(0);
    }
    return count;
}

// The pay items of every frequency's definitions that belong to the entry;
// a frequency without a definitions file has none.
std::optional<long> itemsNaming(Session& session, long code,
                                const std::function<bool(const common::PayItemDef&)>& belongs) {
    long count = 0;
    for (common::PAYFREQ payFreq : common::kPayFreqs) {
        std::error_code ec;
        if (!std::filesystem::exists(
                session.folder().resolve(common::payFieldDefinitionsPath(payFreq)), ec))
            continue;
        database::PayFieldTables tables;
        if (!database::readPayFields(session.ui(), session.folder(), payFreq, tables))
            return std::nullopt;
        for (const auto& table : tables)
            count += std::count_if(table.begin(), table.end(), [&](const common::PayItemDef& def) {
                return def.link && def.link->id == code && belongs(def);
            });
    }
    return count;
}

// Co-operatives and pension funds are deleted with the counts of their uses.
template <class Delete>
void deleteFund(Session& session, long code, int kind,
                const std::function<bool(const common::PayItemDef&)>& belongs,
                const Delete& remove) {
    if (code == 0) {
        remove(0, 0); // tells that nothing is selected
        return;
    }
    const std::optional<long> employees = employeesNaming(session, kind, code);
    if (!employees)
        return;
    const std::optional<long> items = itemsNaming(session, code, belongs);
    if (!items)
        return;
    remove(*employees, *items);
}

bool isPensionContribution(const common::PayItemDef& def) {
    return common::itemTypeOf(def) == common::ItemType::PensionContribution;
}

bool isCoopItem(const common::PayItemDef& def) {
    return common::isCoopType(def.itemType);
}

} // namespace

void runStations(const DialogContext& context) {
    Session& session = context.session;
    setup::STATIONSDLG logic(session.code(), session.folder());
    if (!logic.checkFiles(session.ui()))
        return;
    common::Ui& ui = session.ui();
    runList(context,
            {"StationsDialog", "StationPropertiesDialog", helpctx::Stations, logic, addNameField,
             [&](DialogView& p) { logic.initNewStationDlg(p); },
             [&](DialogView& p, DialogView& l) { return logic.closeNewStationDlg(ui, p, l); },
             [&](DialogView& l, DialogView& p) { return logic.initPrptsDlg(ui, l, p); },
             [&](DialogView& p, DialogView& l) { return logic.closePrptsDlg(ui, p, l); },
             [&](DialogView& l) { logic.deleteStation(ui, l); }});
}

void runCoops(const DialogContext& context) {
    Session& session = context.session;
    setup::COOPSDLG logic(session.code(), session.folder());
    if (!logic.checkFiles(session.ui()))
        return;
    common::Ui& ui = session.ui();
    runList(context, {"CoopsDialog", "CoopPropertiesDialog", helpctx::Coops, logic, addNameField,
                      [&](DialogView& p) { logic.initNewCoopDlg(p); },
                      [&](DialogView& p, DialogView& l) { return logic.closeNewCoopDlg(ui, p, l); },
                      [&](DialogView& l, DialogView& p) { return logic.initPrptsDlg(ui, l, p); },
                      [&](DialogView& p, DialogView& l) { return logic.closePrptsDlg(ui, p, l); },
                      [&](DialogView& l) {
                          deleteFund(session, logic.getSelCoopCode(l), database::STATDB::ByCoop,
                                     isCoopItem, [&](long employees, long items) {
                                         logic.deleteCoop(ui, l, employees, items);
                                     });
                      }});
}

void runPensionFunds(const DialogContext& context) {
    Session& session = context.session;
    setup::PENSIONSDLG logic(session.code(), session.folder());
    if (!logic.checkFiles(session.ui()))
        return;
    common::Ui& ui = session.ui();
    runList(context,
            {"PensionFundsDialog", "PensionFundPropertiesDialog", helpctx::PensionFunds, logic,
             addNameField, [&](DialogView& p) { logic.initNewPensionDlg(p); },
             [&](DialogView& p, DialogView& l) { return logic.closeNewPensionDlg(ui, p, l); },
             [&](DialogView& l, DialogView& p) { return logic.initPrptsDlg(ui, l, p); },
             [&](DialogView& p, DialogView& l) { return logic.closePrptsDlg(ui, p, l); },
             [&](DialogView& l) {
                 deleteFund(session, logic.getSelPensionCode(l), database::STATDB::ByPensionFund,
                            isPensionContribution, [&](long employees, long items) {
                                logic.deletePension(ui, l, employees, items);
                            });
             }});
}

// Employees' grades and pay rates must follow a changed job grade or salary
// range; the personnel store tells the user what it did or why it could not.
void updatePersonnel(Session& session) {
    database::STATDB personnel(session.code(), session.folder());
    personnel.updateFile(session.ui(), *session.orgs().getOpenOrg(), common::UPDATE_ON_CLOSE,
                         database::STATDB::kAllPayFreqs);
}

void runGrades(const DialogContext& context) {
    Session& session = context.session;
    setup::GRADESDLG logic(session.code(), session.folder());
    if (!logic.checkFiles(session.ui()))
        return;
    common::Ui& ui = session.ui();
    const auto build = [](FormDialog& d) {
        using namespace setup::gradedlg;
        d.addEdit(Name, QStringLiteral("Name"),
                  static_cast<int>(database::LookupTable::kNameWidth));
        addNumber(d, Rank, QStringLiteral("Rank"), 5);
        d.beginGroup(SalaryRange, QStringLiteral("Salary Range"));
        addNumber(d, LowerLimit, QStringLiteral("Lower Limit"), 15);
        addNumber(d, UpperLimit, QStringLiteral("Upper Limit"), 15);
        d.endGroup();
    };
    runList(context,
            {"GradesDialog", "GradePropertiesDialog", helpctx::Grades, logic, build,
             [&](DialogView& p) { logic.initNewGradeDlg(p); },
             [&](DialogView& p, DialogView& l) { return logic.closeNewGradeDlg(ui, p, l); },
             [&](DialogView& l, DialogView& p) { return logic.initPrptsDlg(ui, l, p); },
             [&](DialogView& p, DialogView& l) { return logic.closePrptsDlg(ui, p, l); },
             [&](DialogView& l) { logic.deleteGrade(ui, l); }});
    if (logic.limitsChanged()) {
        updatePersonnel(session);
        logic.clearLimitsChanged();
    }
}

void runJobs(const DialogContext& context) {
    Session& session = context.session;
    setup::JOBSDLG logic(session.code(), session.folder());
    if (!logic.checkFiles(session.ui()))
        return;
    common::Ui& ui = session.ui();
    const auto build = [](FormDialog& d) {
        using namespace setup::jobdlg;
        d.addEdit(Title, QStringLiteral("Title"),
                  static_cast<int>(database::LookupTable::kNameWidth));
        d.addList(Grade, QStringLiteral("Grade"));
        auto* description =
            new DescriptionEdit(&d, static_cast<int>(database::JOBSDB::kDescriptionWidth));
        description->setObjectName(QString::fromLatin1(Description));
        // Room for the whole description without scrolling, and no more.
        const QFontMetrics metrics = description->fontMetrics();
        description->setMinimumWidth(metrics.averageCharWidth() * 45);
        description->setFixedHeight(metrics.lineSpacing() * 5 + description->frameWidth() * 2 +
                                    static_cast<int>(description->document()->documentMargin()) *
                                        2);
        auto* label = new QLabel(QStringLiteral("&Description"), &d);
        label->setBuddy(description);
        d.mainLayout()->addWidget(label);
        d.mainLayout()->addWidget(description);
    };
    runList(context, {"JobsDialog", "JobPropertiesDialog", helpctx::Jobs, logic, build,
                      [&](DialogView& p) { logic.initNewJobDlg(p); },
                      [&](DialogView& p, DialogView& l) { return logic.closeNewJobDlg(ui, p, l); },
                      [&](DialogView& l, DialogView& p) { return logic.initPrptsDlg(ui, l, p); },
                      [&](DialogView& p, DialogView& l) { return logic.closePrptsDlg(ui, p, l); },
                      [&](DialogView& l) { logic.deleteJob(ui, l); }});
    if (logic.gradeChanged()) {
        updatePersonnel(session);
        logic.clearGradeChanged();
    }
}

} // namespace kelo::app
