// The Absence and Leave File window on the demo folder, opened from its
// command and worked as a clerk works it.
#include "app/main/LeaveWindow.h"

#include "app/main/MainWindow.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "staffrecords/LeaveFrmControls.h"
#include "staffrecords/StatFrmControls.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace kelo::app {
namespace {

using testing::click;
using testing::type;
namespace lf = staffrecords::leavefrm;
namespace ad = staffrecords::absencedlg;
namespace ld = staffrecords::leavedlg;

class LeaveWindowTest : public testing::DemoWindowFixture {
protected:
    LeaveWindow* open() {
        window->runCommand(cmd::AbsenceLeave);
        return dynamic_cast<LeaveWindow*>(window->documentWindow());
    }

    QStringList menuTitles() const {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions())
            titles << action->text();
        return titles;
    }

    static QString shown(LeaveWindow& document, const char* name) {
        auto* box = document.findChild<QLineEdit*>(QString::fromLatin1(name));
        if (box)
            return box->text();
        auto* label = document.findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<missing>");
    }

    static QStringList headings(LeaveWindow& document) {
        QStringList titles;
        for (int column = 0; column < document.list()->columnCount(); ++column)
            titles << document.list()->headerItem()->text(column);
        return titles;
    }

    // Each row's columns, separated by tabs.
    static QStringList rows(LeaveWindow& document) {
        QStringList all;
        QTreeWidget* list = document.list();
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            QStringList columns;
            for (int column = 0; column < list->columnCount(); ++column)
                columns << list->topLevelItem(row)->text(column);
            all << columns.join(QLatin1Char('\t'));
        }
        return all;
    }

    static void chooseView(LeaveWindow& document, int view) {
        QComboBox* views = document.viewList();
        views->setCurrentIndex(view);
        emit views->activated(view);
    }

    static void choose(QDialog& dialog, const char* name, const QString& item) {
        auto* combo = dialog.findChild<QComboBox*>(QString::fromLatin1(name));
        ASSERT_NE(combo, nullptr) << name;
        const int row = combo->findText(item);
        ASSERT_GE(row, 0) << item.toStdString();
        combo->setCurrentIndex(row);
    }

    // Types into a date box as the clerk does, so that the dialog hears it.
    static void key(QDialog& dialog, const char* name, const QString& text) {
        auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
        ASSERT_NE(edit, nullptr) << name;
        edit->setText(text);
        emit edit->textEdited(text);
    }

    void selectRow(LeaveWindow& document, int row) {
        document.list()->setCurrentItem(document.list()->topLevelItem(row));
    }
};

TEST_F(LeaveWindowTest, F8OpensTheWindowWithItsCaptionRecordMenuAndTheAbsenceView) {
    const QStringList before = menuTitles();
    QAction* f8 = window->findChild<QAction*>(QStringLiteral("keyF8"));
    ASSERT_NE(f8, nullptr);
    f8->trigger();
    auto* document = dynamic_cast<LeaveWindow*>(window->documentWindow());
    ASSERT_NE(document, nullptr) << ui->lastText();
    EXPECT_EQ(document->windowTitle(), QStringLiteral("Absence and Leave File"));
    EXPECT_EQ(document->objectName(), QStringLiteral("Leave Window"));
    EXPECT_EQ(window->statusPart(1)->text(),
              QStringLiteral("Absence and leave file as at November 2026"));
    EXPECT_EQ(window->commandContext().document, DocumentKind::Leave);
    const QStringList titles = menuTitles();
    ASSERT_EQ(titles.size(), before.size() + 1);
    EXPECT_EQ(titles[1], QStringLiteral("Re&cord"));
    EXPECT_EQ(window->menuAction(cmd::Add)->text(), QStringLiteral("&Add Event\tAlt+Ins"));
    EXPECT_EQ(window->menuAction(cmd::Delete)->text(), QStringLiteral("&Delete Event\tAlt+Del"));
    EXPECT_EQ(window->menuAction(cmd::EditEvent)->text(), QStringLiteral("&Edit Event"));
    for (int id : {cmd::GoTo, cmd::FindEmpNum, cmd::FindName})
        EXPECT_TRUE(window->menuAction(id)->isEnabled()) << id;
    EXPECT_EQ(window->menuAction(cmd::Undo), nullptr);
    EXPECT_EQ(window->menuAction(cmd::Terminate), nullptr);
    EXPECT_FALSE(window->toolbarAction(cmd::Undo)->isEnabled());
    EXPECT_TRUE(window->toolbarAction(cmd::Save)->isEnabled());
    for (int id : {cmd::Personnel, cmd::AbsenceLeave, cmd::Earnings, cmd::OpenOrg})
        EXPECT_FALSE(CommandRules::mayRun(id, window->commandContext())) << id;

    // The first employee in number order, with December booked.
    EXPECT_EQ(shown(*document, lf::kEmployee), QStringLiteral("MH001  Mwakyusa, Emmanuel Joseph"));
    EXPECT_EQ(shown(*document, lf::kPosition), QStringLiteral("Record 1 of 40"));
    EXPECT_EQ(shown(*document, lf::kReadOnly), QString());
    EXPECT_EQ(shown(*document, lf::kEntitlement), QStringLiteral("28.00"));
    EXPECT_EQ(shown(*document, lf::kEarned), QStringLiteral("23.33"));
    EXPECT_EQ(shown(*document, lf::kBooked), QStringLiteral("14.00"));
    EXPECT_EQ(shown(*document, lf::kAvailable), QStringLiteral("9.33"));
    EXPECT_EQ(document->viewList()->currentText(), QStringLiteral("Absence"));
    EXPECT_EQ(document->viewList()->count(), 3);
    EXPECT_EQ(headings(*document), (QStringList{QStringLiteral("From"), QStringLiteral("To"),
                                                QStringLiteral("Days"), QStringLiteral("Reason")}));
    EXPECT_TRUE(rows(*document).isEmpty());
    // Nothing chosen: only Add Event.
    EXPECT_TRUE(window->menuAction(cmd::Add)->isEnabled());
    EXPECT_FALSE(window->menuAction(cmd::EditEvent)->isEnabled());
    EXPECT_FALSE(window->menuAction(cmd::Delete)->isEnabled());
    EXPECT_TRUE(document->findChild<QPushButton*>(QStringLiteral("AddEventButton"))->isEnabled());
    EXPECT_FALSE(document->findChild<QPushButton*>(QStringLiteral("EditEventButton"))->isEnabled());

    window->runCommand(cmd::Close);
    EXPECT_EQ(window->documentWindow(), nullptr);
    EXPECT_EQ(menuTitles(), before);
    EXPECT_EQ(window->commandContext().document, DocumentKind::None);
    EXPECT_EQ(window->statusPart(1)->text(), QString());
    EXPECT_TRUE(window->menuAction(cmd::AbsenceLeave)->isEnabled());
    EXPECT_TRUE(window->toolbarAction(cmd::AbsenceLeave)->isEnabled());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(LeaveWindowTest, TheViewListAndThePageKeysSwitchBetweenTheThreeViews) {
    LeaveWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    LeaveWindow& document = *opened;
    window->runCommand(cmd::Next);
    EXPECT_EQ(shown(document, lf::kEmployee), QStringLiteral("MH002  Mwaipopo, Grace Anyelwisye"));
    EXPECT_EQ(rows(document),
              QStringList{QStringLiteral("06/04/2026\t17/04/2026\t10.00\tAnnual Leave")});

    chooseView(document, staffrecords::ANNUAL_LEAVE_VIEW);
    EXPECT_EQ(document.form().getView(), staffrecords::ANNUAL_LEAVE_VIEW);
    EXPECT_EQ(headings(document), (QStringList{QStringLiteral("Date"), QStringLiteral("Event"),
                                               QStringLiteral("Days")}));
    EXPECT_EQ(rows(document), (QStringList{QStringLiteral("01/01/2026\tBalance B/F\t0.00"),
                                           QStringLiteral("30/06/2026\tLeave Sold\t3.00"),
                                           QStringLiteral("31/10/2026\tLeave Earned\t23.33")}));
    // Days stand right, as figures do.
    EXPECT_TRUE(document.list()->topLevelItem(0)->textAlignment(2) & Qt::AlignRight);

    window->runCommand(cmd::PageDown);
    EXPECT_EQ(document.viewList()->currentText(), QStringLiteral("Leave Booked"));
    EXPECT_EQ(headings(document).last(), QStringLiteral("Type"));
    EXPECT_TRUE(rows(document).isEmpty());
    // The view stays as the clerk moves to another employee.
    window->runCommand(cmd::First);
    EXPECT_EQ(rows(document),
              QStringList{QStringLiteral("14/12/2026\t31/12/2026\t14.00\tAnnual Leave")});
    window->runCommand(cmd::PageDown); // the last view: a beep, nothing else
    EXPECT_EQ(document.form().getView(), staffrecords::LEAVE_BOOKED_VIEW);
    window->runCommand(cmd::PageUp);
    window->runCommand(cmd::PageUp);
    EXPECT_EQ(document.viewList()->currentText(), QStringLiteral("Absence"));
    EXPECT_EQ(headings(document).last(), QStringLiteral("Reason"));
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    window->runCommand(cmd::Close);
}

TEST_F(LeaveWindowTest, AClerkAddsAnAbsenceEventAndSeesItInTheList) {
    LeaveWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    LeaveWindow& document = *opened;
    host.then(QStringLiteral("AbsenceEventDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("New Absence Event"));
        EXPECT_TRUE(d.findChild<QCheckBox*>(QString::fromLatin1(ad::kLeaveTaken))->isHidden());
        key(d, ad::kFromDate, QStringLiteral("02/11/2026"));
        key(d, ad::kToDate, QStringLiteral("03/11/2026"));
        type(d, ad::kDuration, QStringLiteral("2"));
        click(d, "OkButton"); // no reason yet: the dialog stays
        EXPECT_EQ(ui->lastText(), "The Reason must not be blank. Please enter a value.");
        choose(d, ad::kReason, QStringLiteral("Sick Leave"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::Add);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(rows(document),
              QStringList{QStringLiteral("02/11/2026\t03/11/2026\t2.00\tSick Leave")});
    ASSERT_EQ(document.list()->selectedItems().size(), 1);
    EXPECT_TRUE(window->menuAction(cmd::EditEvent)->isEnabled());
    EXPECT_EQ(ui->texts.size(), 1u);

    // Stored: the next visit to the employee shows it again.
    window->runCommand(cmd::Next);
    window->runCommand(cmd::Previous);
    EXPECT_EQ(rows(document),
              QStringList{QStringLiteral("02/11/2026\t03/11/2026\t2.00\tSick Leave")});
    window->runCommand(cmd::Close);
}

TEST_F(LeaveWindowTest, CancelOnANewEventStoresNothing) {
    LeaveWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    chooseView(*opened, staffrecords::ANNUAL_LEAVE_VIEW);
    const QStringList before = rows(*opened);
    host.then(QStringLiteral("LeaveEventDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("New Leave Event"));
        auto* event = d.findChild<QComboBox*>(QString::fromLatin1(ld::kEvent));
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(event->count(), 3); // never a new "Balance B/F"
        type(d, ld::kDate, QStringLiteral("30/11/2026"));
        type(d, ld::kDays, QStringLiteral("2"));
        click(d, "CancelButton");
    });
    window->runCommand(cmd::Add);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(rows(*opened), before);
    window->runCommand(cmd::Close);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(LeaveWindowTest, EnterOnAnEventEditsItAndTheStartYearGovernsLeaveTaken) {
    LeaveWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    LeaveWindow& document = *opened;
    chooseView(document, staffrecords::LEAVE_BOOKED_VIEW);
    selectRow(document, 0);
    host.then(QStringLiteral("LeaveBookingDialog"), [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Edit Leave Booking"));
        auto* taken = d.findChild<QCheckBox*>(QString::fromLatin1(ad::kLeaveTaken));
        ASSERT_NE(taken, nullptr);
        EXPECT_TRUE(taken->isEnabled());
        // Next year's leave cannot have been taken yet.
        key(d, ad::kFromDate, QStringLiteral("04/01/2027"));
        EXPECT_FALSE(taken->isEnabled());
        key(d, ad::kFromDate, QStringLiteral("15/12/2026"));
        EXPECT_TRUE(taken->isEnabled());
        type(d, ad::kDuration, QStringLiteral("13"));
        click(d, "OkButton");
    });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(document.list(), &enter);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(rows(document),
              QStringList{QStringLiteral("15/12/2026\t31/12/2026\t13.00\tAnnual Leave")});
    EXPECT_EQ(shown(document, lf::kBooked), QStringLiteral("13.00"));
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    window->runCommand(cmd::Close);
}

TEST_F(LeaveWindowTest, DeleteEventAsksFirstAndLeavesTheOpeningBalance) {
    LeaveWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    LeaveWindow& document = *opened;
    window->runCommand(cmd::Next);
    chooseView(document, staffrecords::ANNUAL_LEAVE_VIEW);
    selectRow(document, 0);
    window->runCommand(cmd::Delete);
    EXPECT_EQ(ui->lastText(), "This event cannot be deleted.");
    selectRow(document, 1);
    ui->answers.push_back(QMessageBox::No);
    window->runCommand(cmd::Delete);
    EXPECT_EQ(ui->lastText(), "Are you sure you want to delete this event?");
    EXPECT_EQ(rows(document).size(), 3);
    ui->answers.push_back(QMessageBox::Yes);
    window->runCommand(cmd::Delete);
    EXPECT_EQ(rows(document), (QStringList{QStringLiteral("01/01/2026\tBalance B/F\t0.00"),
                                           QStringLiteral("31/10/2026\tLeave Earned\t23.33")}));
    EXPECT_EQ(shown(document, lf::kSold), QStringLiteral("0.00"));
    window->runCommand(cmd::Close);
}

TEST_F(LeaveWindowTest, GoToAndFindMoveToTheEmployee) {
    LeaveWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    host.then(QStringLiteral("FindDialog"), [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Find Last Name"));
        type(d, staffrecords::finddlg::kText, QStringLiteral("Mwaipopo"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::FindName);
    EXPECT_EQ(shown(*opened, lf::kEmployee), QStringLiteral("MH002  Mwaipopo, Grace Anyelwisye"));
    host.then(QStringLiteral("GoToDialog"), [](QDialog& d) {
        type(d, staffrecords::finddlg::kText, QStringLiteral("5"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::GoTo);
    EXPECT_EQ(shown(*opened, lf::kPosition), QStringLiteral("Record 5 of 40"));
    EXPECT_TRUE(host.steps.empty());
    window->runCommand(cmd::Close);
}

TEST_F(LeaveWindowTest, TheRefreshRunsWhileOpenAndHoldsStillUnderADialog) {
    LeaveWindow* opened = open();
    ASSERT_NE(opened, nullptr) << ui->lastText();
    auto* timer = opened->findChild<QTimer*>(QStringLiteral("RefreshTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);
    host.then(QStringLiteral("AbsenceEventDialog"), [timer](QDialog& d) {
        EXPECT_FALSE(timer->isActive());
        d.reject();
    });
    window->runCommand(cmd::Add);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(timer->isActive());
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_EQ(shown(*opened, lf::kPosition), QStringLiteral("Record 1 of 40"));
    window->runCommand(cmd::Close);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(LeaveWindowTest, HelpShowsTheWindowsPage) {
    ASSERT_NE(open(), nullptr) << ui->lastText();
    window->runCommand(cmd::HelpContents);
    EXPECT_EQ(window->help().currentPage().toStdString(), "174.html");
    window->runCommand(cmd::Close);
}

} // namespace
} // namespace kelo::app
