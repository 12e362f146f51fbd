// The Organisation menu's lookup lists on the demo folder: stations,
// co-operatives, pension funds, grades and jobs with their properties
// dialogs, scripted by object name.
#include "app/demo/DemoFolder.h"
#include "app/main/LookupListDialogs.h"
#include "app/main/MainWindow.h"
#include "app/shell/CommandRules.h"
#include "app/shell/Commands.h"
#include "app/tests/DemoWindowFixture.h"
#include "app/tests/ScriptedHosts.h"
#include "common/PayRecords.h"
#include "database/CoopsDb.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/PayFieldsFile.h"
#include "database/PensionsDb.h"
#include "database/PostsDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "engine/EngineCodes.h"
#include "setup/LookupDialogs.h"
#include "setup/Orgs.h"
#include "setup/Users.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::app {
namespace {

namespace fs = std::filesystem;
using testing::click;
using testing::ScriptedHost;
using testing::ScriptedUi;
using testing::type;

const QStringList kDemoStations{"Isangati Estate", "Kiwira Estate", "Mbeya Head Office",
                                "Tukuyu Factory"};
const std::vector<int> kListCommands{cmd::Grades, cmd::Jobs, cmd::Stations, cmd::Coops,
                                     cmd::PensionFunds};

QListWidget* listOf(QDialog& dialog) {
    return dialog.findChild<QListWidget*>(QStringLiteral("LookupList"));
}

QStringList rowsOf(QDialog& dialog) {
    QStringList rows;
    if (QListWidget* list = listOf(dialog))
        for (int row = 0; row < list->count(); ++row)
            rows << list->item(row)->text();
    return rows;
}

QString selectedOf(QDialog& dialog) {
    QListWidget* list = listOf(dialog);
    const QList<QListWidgetItem*> selected =
        list ? list->selectedItems() : QList<QListWidgetItem*>();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

void selectName(QDialog& dialog, const QString& name) {
    QListWidget* list = listOf(dialog);
    ASSERT_NE(list, nullptr);
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << name.toStdString();
    list->setCurrentItem(found.front());
}

QString textOf(QDialog& dialog, const char* control) {
    auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(control));
    return edit ? edit->text() : QStringLiteral("<missing>");
}

bool enabled(QDialog& dialog, const char* control) {
    auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(control));
    return widget && widget->isEnabled();
}

QString focusOf(QDialog& dialog) {
    QWidget* focus = dialog.focusWidget();
    return focus ? focus->objectName() : QString();
}

void chooseGrade(QDialog& dialog, const QString& grade) {
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("Grade"));
    ASSERT_NE(combo, nullptr);
    const int row = combo->findText(grade);
    ASSERT_GE(row, 0) << grade.toStdString();
    combo->setCurrentIndex(row);
}

class LookupListWindowTest : public testing::DemoWindowFixture {
protected:
    template <class Table> QStringList stored() {
        Table table(session().code(), session().folder());
        QStringList names;
        if (!table.openFile(false))
            return names;
        table.orderByName();
        for (const database::LookupEntry& e : table.entries())
            names << QString::fromStdString(e.name);
        return names;
    }

    long employeesNaming(int kind, const std::string& name) {
        long code = 0;
        if (kind == database::STATDB::ByStation) {
            database::STATIONSDB table(session().code(), session().folder());
            table.openFile(false);
            table.gotoName(name);
            code = table.data()->field(database::LookupTable::kCode)->getLong();
        } else {
            database::COOPSDB table(session().code(), session().folder());
            table.openFile(false);
            code = table.getCoopCode(name);
        }
        database::STATDB personnel(session().code(), session().folder());
        return personnel.getMemberCnt(kind, code).value_or(-1);
    }
};

TEST_F(LookupListWindowTest, TheListCommandsAreOn) {
    for (int id : kListCommands) {
        ASSERT_NE(window->menuAction(id), nullptr) << id;
        EXPECT_TRUE(window->menuAction(id)->isEnabled()) << id;
        EXPECT_TRUE(CommandRules::isAvailable(id)) << id;
    }
}

TEST_F(LookupListWindowTest, AStationIsAddedRenamedAndDeleted) {
    host.then("StationsDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Stations"));
        EXPECT_EQ(rowsOf(d), kDemoStations);
        EXPECT_EQ(selectedOf(d), QStringLiteral("Isangati Estate"));
        auto* timer = d.findChild<QTimer*>(QStringLiteral("RefreshTimer"));
        ASSERT_NE(timer, nullptr);
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), 5000);
        auto* properties = d.findChild<QPushButton*>(QStringLiteral("PropertiesButton"));
        ASSERT_NE(properties, nullptr);
        EXPECT_TRUE(properties->isDefault());
        EXPECT_TRUE(enabled(d, "DeleteButton"));
        EXPECT_TRUE(enabled(d, "PropertiesButton"));
        click(d, "AddButton");
    });
    host.then("StationPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Station Properties"));
        EXPECT_EQ(textOf(d, "Name"), QString());
        type(d, "Name", QStringLiteral("  Mbalizi Depot  "));
        click(d, "OkButton");
    });
    host.then("StationsDialog", [](QDialog& d) {
        EXPECT_EQ(rowsOf(d).size(), 5);
        EXPECT_EQ(selectedOf(d), QStringLiteral("Mbalizi Depot"));
        click(d, "PropertiesButton");
    });
    host.then("StationPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Name"), QStringLiteral("Mbalizi Depot"));
        type(d, "Name", QStringLiteral("Mbalizi Store"));
        click(d, "OkButton");
    });
    host.then("StationsDialog", [this](QDialog& d) {
        EXPECT_EQ(selectedOf(d), QStringLiteral("Mbalizi Store"));
        EXPECT_TRUE(stored<database::STATIONSDB>().contains(QStringLiteral("Mbalizi Store")));
        click(d, "DeleteButton");
        EXPECT_EQ(rowsOf(d), kDemoStations);
        // The entry above the deleted one.
        EXPECT_EQ(selectedOf(d), QStringLiteral("Kiwira Estate"));
        click(d, "CloseButton");
    });
    window->runCommand(cmd::Stations);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(stored<database::STATIONSDB>(), kDemoStations);
}

TEST_F(LookupListWindowTest, StationRefusalsKeepTheDialogOpenWithTheirMessages) {
    const long kiwira = employeesNaming(database::STATDB::ByStation, "Kiwira Estate");
    ASSERT_GT(kiwira, 0);
    host.then("StationsDialog", [](QDialog& d) { click(d, "AddButton"); });
    host.then("StationPropertiesDialog", [this](QDialog& d) {
        type(d, "Name", QStringLiteral("   "));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(), "The \"Station Name\" field must not be blank. Please enter a "
                                  "value for this field.");
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        type(d, "Name", QStringLiteral("KIWIRA estate"));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(),
                  "Station with this name already exists. Please enter a different name.");
        EXPECT_EQ(focusOf(d), QStringLiteral("Name"));
        click(d, "CancelButton");
    });
    host.then("StationsDialog", [this, kiwira](QDialog& d) {
        EXPECT_EQ(rowsOf(d), kDemoStations);
        selectName(d, QStringLiteral("Kiwira Estate"));
        click(d, "DeleteButton");
        EXPECT_EQ(ui->lastText(), "The personnel file has " + std::to_string(kiwira) +
                                      " employee(s) assigned to this station. The station can "
                                      "therefore not be deleted.");
        EXPECT_EQ(rowsOf(d), kDemoStations);
        // Its own name in another case is no duplicate.
        click(d, "PropertiesButton");
    });
    host.then("StationPropertiesDialog", [](QDialog& d) {
        type(d, "Name", QStringLiteral("Kiwira ESTATE"));
        click(d, "OkButton");
    });
    host.then("StationsDialog", [](QDialog& d) {
        EXPECT_EQ(selectedOf(d), QStringLiteral("Kiwira ESTATE"));
        click(d, "CloseButton");
    });
    window->runCommand(cmd::Stations);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts.size(), 3u);
}

TEST_F(LookupListWindowTest, AStationAnotherUserEditsIsRefusedAndTheirAdditionShows) {
    host.then("StationsDialog", [this](QDialog& d) {
        database::STATIONSDB other(session().code(), session().folder());
        ASSERT_TRUE(other.openFile(false));
        ASSERT_TRUE(other.gotoName("Kiwira Estate"));
        ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
        selectName(d, QStringLiteral("Kiwira Estate"));
        click(d, "PropertiesButton");
        EXPECT_EQ(ui->lastText(), "This station is currently locked by another user.");
        other.data()->unlock();
        other.closeFile();

        setup::STATIONSDLG otherList(session().code(), session().folder());
        ASSERT_NE(otherList.addEntry(*ui, {0, "Ilomba Depot"}), 0);
        // Let the modification time move on even on coarse file systems.
        const fs::path path = session().folder().resolve(database::STATIONSDB::kPath);
        fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
        auto* timer = d.findChild<QTimer*>(QStringLiteral("RefreshTimer"));
        ASSERT_NE(timer, nullptr);
        QMetaObject::invokeMethod(timer, "timeout");
        EXPECT_TRUE(rowsOf(d).contains(QStringLiteral("Ilomba Depot")));
        EXPECT_EQ(selectedOf(d), QStringLiteral("Kiwira Estate"));
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "764.html");
        click(d, "CloseButton");
    });
    window->runCommand(cmd::Stations);
    EXPECT_TRUE(host.steps.empty());
}

TEST_F(LookupListWindowTest, ADoubleClickOrEnterOnARowOpensItsProperties) {
    host.then("StationsDialog", [](QDialog& d) {
        QListWidget* list = listOf(d);
        emit list->itemDoubleClicked(list->item(2));
    });
    host.then("StationPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Name"), QStringLiteral("Isangati Estate"));
        click(d, "CancelButton");
    });
    host.then("StationsDialog", [](QDialog& d) {
        selectName(d, QStringLiteral("Tukuyu Factory"));
        d.show(); // the default button takes Enter only when shown
        listOf(d)->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(listOf(d), &enter);
    });
    host.then("StationPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Name"), QStringLiteral("Tukuyu Factory"));
        click(d, "CancelButton");
    });
    host.then("StationsDialog", [](QDialog& d) {
        // A cancelled properties dialog let its lock go.
        selectName(d, QStringLiteral("Tukuyu Factory"));
        click(d, "PropertiesButton");
    });
    host.then("StationPropertiesDialog", [](QDialog& d) { click(d, "CancelButton"); });
    host.then("StationsDialog", [](QDialog& d) { d.reject(); }); // Escape
    window->runCommand(cmd::Stations);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(LookupListWindowTest, CooperativesInUseByEmployeesOrDeductionsStay) {
    const long highland = employeesNaming(database::STATDB::ByCoop, "Highland Staff SACCOS");
    ASSERT_GT(highland, 0);
    host.then("CoopsDialog", [this, highland](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Co-operatives"));
        selectName(d, QStringLiteral("Highland Staff SACCOS"));
        click(d, "DeleteButton");
        EXPECT_EQ(ui->lastText(), "The payroll master file has " + std::to_string(highland) +
                                      " employee(s) belonging to this co-operative. The "
                                      "co-operative can therefore not be deleted.");
        click(d, "AddButton");
    });
    host.then("CoopPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Co-operative Properties"));
        type(d, "Name", QStringLiteral("Kyela Rice SACCOS"));
        click(d, "OkButton");
    });
    host.then("CoopsDialog", [this](QDialog& d) {
        EXPECT_EQ(selectedOf(d), QStringLiteral("Kyela Rice SACCOS"));
        // A deduction of the weekly payroll pays into the new co-operative.
        database::COOPSDB coops(session().code(), session().folder());
        ASSERT_TRUE(coops.openFile(false));
        const long code = coops.getCoopCode("Kyela Rice SACCOS");
        coops.closeFile();
        database::PayFieldTables tables;
        ASSERT_TRUE(database::readPayFields(*ui, session().folder(), common::WEEKLY, tables));
        common::PayItemDef item;
        item.itemName = "Kyela Rice Contribution";
        item.itemType = std::string(common::kTypeCoopContribution);
        item.itemFunction = std::string(common::kFuncKeyIn);
        item.link = common::PayItemLink{static_cast<std::int32_t>(code), std::nullopt};
        tables[common::DEDUCTIONS].push_back(item);
        ASSERT_TRUE(database::writePayFields(session().folder(),
                                             session().orgs().getOpenOrg()->folder, common::WEEKLY,
                                             database::payFieldsComment(common::WEEKLY), tables));
        click(d, "DeleteButton");
        EXPECT_EQ(ui->lastText(), "The payroll files have 1 deduction(s) relating to this "
                                  "co-operative. The co-operative can therefore not be deleted.");
        EXPECT_EQ(selectedOf(d), QStringLiteral("Kyela Rice SACCOS"));
        click(d, "CloseButton");
    });
    window->runCommand(cmd::Coops);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts.size(), 2u);
    EXPECT_TRUE(stored<database::COOPSDB>().contains(QStringLiteral("Kyela Rice SACCOS")));
}

TEST_F(LookupListWindowTest, APensionFundIsAddedRenamedAndDeletedAndOneInUseStays) {
    host.then("PensionFundsDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Pension Funds"));
        EXPECT_EQ(rowsOf(d), (QStringList{"NSSF Supplementary", "PSSSF"}));
        selectName(d, QStringLiteral("PSSSF"));
        click(d, "DeleteButton");
        EXPECT_TRUE(ui->lastText().starts_with("The payroll master file has "));
        EXPECT_TRUE(ui->lastText().ends_with(" employee(s) belonging to this pension fund. The "
                                             "pension fund can therefore not be deleted."))
            << ui->lastText();
        click(d, "AddButton");
    });
    host.then("PensionFundPropertiesDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Pension Fund Properties"));
        type(d, "Name", QStringLiteral("pssSF"));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(),
                  "Pension fund with this name already exists. Please enter a different name.");
        type(d, "Name", QStringLiteral("GEPF"));
        click(d, "OkButton");
    });
    host.then("PensionFundsDialog", [](QDialog& d) {
        EXPECT_EQ(rowsOf(d), (QStringList{"GEPF", "NSSF Supplementary", "PSSSF"}));
        click(d, "PropertiesButton");
    });
    host.then("PensionFundPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Name"), QStringLiteral("GEPF"));
        type(d, "Name", QStringLiteral("LAPF"));
        click(d, "OkButton");
    });
    host.then("PensionFundsDialog", [](QDialog& d) {
        EXPECT_EQ(selectedOf(d), QStringLiteral("LAPF"));
        click(d, "DeleteButton");
        EXPECT_EQ(rowsOf(d), (QStringList{"NSSF Supplementary", "PSSSF"}));
        click(d, "CloseButton");
    });
    window->runCommand(cmd::PensionFunds);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(stored<database::PENSIONSDB>(), (QStringList{"NSSF Supplementary", "PSSSF"}));
}

TEST_F(LookupListWindowTest, AGradeIsAddedWithItsRangeEditedAndDeleted) {
    host.then("GradesDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Grades"));
        EXPECT_EQ(rowsOf(d).size(), 6);
        selectName(d, QStringLiteral("Grade A - Management"));
        click(d, "DeleteButton");
        EXPECT_EQ(ui->lastText(), "The jobs file has 2 job(s) belonging to this grade. The grade "
                                  "can therefore not be deleted.");
        click(d, "AddButton");
    });
    host.then("GradePropertiesDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Grade Properties"));
        EXPECT_EQ(textOf(d, "Rank"), QStringLiteral("1"));
        EXPECT_EQ(textOf(d, "LowerLimit"), QStringLiteral("0"));
        EXPECT_EQ(textOf(d, "UpperLimit"), QStringLiteral("0"));
        auto* range = d.findChild<QGroupBox*>(QStringLiteral("SalaryRange"));
        ASSERT_NE(range, nullptr);
        EXPECT_EQ(range->title(), QStringLiteral("Salary Range"));
        type(d, "Name", QStringLiteral("Grade G - Trainees"));
        type(d, "Rank", QStringLiteral("0"));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(), "Rank must be greater than 0.");
        EXPECT_EQ(focusOf(d), QStringLiteral("Rank"));
        type(d, "Rank", QStringLiteral("7"));
        type(d, "LowerLimit", QStringLiteral("5000"));
        type(d, "UpperLimit", QStringLiteral("4000"));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(), "The \"Lower Limit\" must not exceed the \"Upper Limit\".");
        EXPECT_EQ(focusOf(d), QStringLiteral("LowerLimit"));
        EXPECT_EQ(d.result(), QDialog::Rejected); // still open
        type(d, "UpperLimit", QStringLiteral("5000"));
        click(d, "OkButton");
    });
    host.then("GradesDialog", [](QDialog& d) {
        EXPECT_EQ(selectedOf(d), QStringLiteral("Grade G - Trainees"));
        click(d, "PropertiesButton");
    });
    host.then("GradePropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Rank"), QStringLiteral("7"));
        EXPECT_EQ(textOf(d, "LowerLimit"), QStringLiteral("5000"));
        EXPECT_EQ(textOf(d, "UpperLimit"), QStringLiteral("5000"));
        type(d, "UpperLimit", QStringLiteral("120000"));
        click(d, "OkButton");
    });
    host.then("GradesDialog", [this](QDialog& d) {
        database::GRADESDB grades(session().code(), session().folder());
        ASSERT_TRUE(grades.openFile(false));
        database::GRADEREC rec;
        ASSERT_TRUE(grades.getGradeRec(grades.getGradeCode("Grade G - Trainees"), rec));
        EXPECT_EQ(rec.rank, 7);
        EXPECT_EQ(rec.lowerLimit[common::MONTHLY], 5000);
        EXPECT_EQ(rec.upperLimit[common::MONTHLY], 120000);
        grades.closeFile();
        click(d, "DeleteButton");
        EXPECT_EQ(rowsOf(d).size(), 6);
        click(d, "CloseButton");
    });
    window->runCommand(cmd::Grades);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts.size(), 3u);
}

TEST_F(LookupListWindowTest, AJobNeedsAGradeAndIsAddedEditedAndDeleted) {
    long accountantPosts = 0;
    {
        database::JOBSDB jobs(session().code(), session().folder());
        ASSERT_TRUE(jobs.openFile(false));
        ASSERT_TRUE(jobs.gotoName("Accountant"));
        const long code = jobs.data()->field(database::LookupTable::kCode)->getLong();
        jobs.closeFile();
        database::POSTSDB posts(session().code(), session().folder());
        ASSERT_TRUE(posts.openFile(false));
        accountantPosts = posts.getMemberCnt(database::POSTSDB::ByJob, code);
    }
    ASSERT_GT(accountantPosts, 0);
    host.then("JobsDialog", [this, accountantPosts](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Jobs"));
        EXPECT_EQ(rowsOf(d).front(), QStringLiteral("Accountant"));
        click(d, "DeleteButton");
        EXPECT_EQ(ui->lastText(), "The posts file has " + std::to_string(accountantPosts) +
                                      " post(s) of this type. The job can therefore not be "
                                      "deleted.");
        click(d, "AddButton");
    });
    host.then("JobPropertiesDialog", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Job Properties"));
        auto* grade = d.findChild<QComboBox*>(QStringLiteral("Grade"));
        ASSERT_NE(grade, nullptr);
        EXPECT_EQ(grade->count(), 6);
        EXPECT_EQ(grade->currentIndex(), -1);
        type(d, "Title", QStringLiteral("Tea Taster"));
        auto* description = d.findChild<QPlainTextEdit*>(QStringLiteral("Description"));
        ASSERT_NE(description, nullptr);
        description->setPlainText(QStringLiteral("Tastes the made tea before it is sold."));
        click(d, "OkButton");
        EXPECT_EQ(ui->lastText(), "The value entered for the \"Grade\" field is invalid.");
        EXPECT_EQ(focusOf(d), QStringLiteral("Grade"));
        chooseGrade(d, QStringLiteral("Grade C - Officers"));
        click(d, "OkButton");
    });
    host.then("JobsDialog", [](QDialog& d) {
        EXPECT_EQ(selectedOf(d), QStringLiteral("Tea Taster"));
        click(d, "PropertiesButton");
    });
    host.then("JobPropertiesDialog", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "Title"), QStringLiteral("Tea Taster"));
        auto* grade = d.findChild<QComboBox*>(QStringLiteral("Grade"));
        EXPECT_EQ(grade->currentText(), QStringLiteral("Grade C - Officers"));
        auto* description = d.findChild<QPlainTextEdit*>(QStringLiteral("Description"));
        EXPECT_EQ(description->toPlainText(),
                  QStringLiteral("Tastes the made tea before it is sold."));
        // The column holds 199 characters; typing stops there.
        description->setPlainText(QString(250, QLatin1Char('x')));
        EXPECT_EQ(description->toPlainText().size(), 199);
        chooseGrade(d, QStringLiteral("Grade B - Senior Staff"));
        click(d, "OkButton");
    });
    host.then("JobsDialog", [this](QDialog& d) {
        database::JOBSDB jobs(session().code(), session().folder());
        ASSERT_TRUE(jobs.openFile(false));
        ASSERT_TRUE(jobs.gotoName("Tea Taster"));
        const database::JOBREC rec = jobs.currentRec();
        EXPECT_EQ(rec.description, std::string(199, 'x'));
        jobs.closeFile();
        selectName(d, QStringLiteral("Tea Taster"));
        click(d, "DeleteButton");
        EXPECT_FALSE(rowsOf(d).contains(QStringLiteral("Tea Taster")));
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage().toStdString(), "762.html");
        click(d, "CloseButton");
    });
    window->runCommand(cmd::Jobs);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->texts.size(), 2u);
    EXPECT_FALSE(stored<database::JOBSDB>().contains(QStringLiteral("Tea Taster")));
}

struct Employee {
    common::STATICREC master;
    database::PERSONNELREC personnel;
};

std::vector<Employee> employeesOf(Session& session) {
    database::STATDB table(session.code(), session.folder());
    std::vector<Employee> all;
    if (!table.openFile(false))
        return all;
    for (int rc = table.data()->top(); rc == engine::r4success && !table.data()->eof();
         rc = table.data()->skip()) {
        Employee e;
        table.initRec(e.master);
        table.initRec(e.personnel);
        all.push_back(e);
    }
    return all;
}

TEST_F(LookupListWindowTest, ClosingGradesAfterARangeChangeBringsSalariesWithinIt) {
    const std::string gradeName = "Grade A - Management";
    long grade = 0;
    {
        database::GRADESDB grades(session().code(), session().folder());
        ASSERT_TRUE(grades.openFile(false));
        grade = grades.getGradeCode(gradeName);
    }
    const auto inGrade = [grade](const Employee& e) {
        return e.personnel.grade == grade && e.master.payFreq == common::MONTHLY &&
               !e.master.separated;
    };
    double top = 0;
    for (const Employee& e : employeesOf(session()))
        if (inGrade(e)) {
            ASSERT_EQ(e.master.payBasis, common::kPayBasisSalary) << e.master.empNum;
            top = std::max(top, e.master.salary);
        }
    ASSERT_GT(top, 1000);
    const double upper = top - 1000;
    long above = 0;
    for (const Employee& e : employeesOf(session()))
        if (inGrade(e) && e.master.salary > upper)
            ++above;

    host.then("GradesDialog", [gradeName](QDialog& d) {
        selectName(d, QString::fromStdString(gradeName));
        click(d, "PropertiesButton");
    });
    host.then("GradePropertiesDialog", [upper](QDialog& d) {
        type(d, "LowerLimit", QStringLiteral("0"));
        type(d, "UpperLimit", QString::number(upper, 'f', 0));
        click(d, "OkButton");
    });
    host.then("GradesDialog", [this](QDialog& d) {
        // Nothing changes until the list closes.
        EXPECT_TRUE(ui->texts.empty());
        click(d, "CloseButton");
    });
    window->runCommand(cmd::Grades);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(ui->lastText(), "The pay rates of " + std::to_string(above) +
                                  " employee(s) were brought within the salary ranges of their "
                                  "grades.");
    long atCeiling = 0;
    for (const Employee& e : employeesOf(session()))
        if (inGrade(e)) {
            EXPECT_LE(e.master.salary, upper) << e.master.empNum;
            atCeiling += e.master.salary == upper ? 1 : 0;
        }
    EXPECT_GE(atCeiling, above);
}

TEST_F(LookupListWindowTest, ClosingJobsAfterAGradeChangeGivesItsEmployeesTheNewGrade) {
    const std::vector<Employee> before = employeesOf(session());
    auto first = std::find_if(before.begin(), before.end(), [](const Employee& e) {
        return !e.master.separated && e.personnel.job != 0;
    });
    ASSERT_NE(first, before.end());
    const long job = first->personnel.job;
    std::string title;
    std::string newGrade = "Grade B - Senior Staff";
    long newGradeCode = 0;
    {
        database::JOBSDB jobs(session().code(), session().folder());
        ASSERT_TRUE(jobs.openFile(false));
        title = jobs.getJobTitle(job);
        database::GRADESDB grades(session().code(), session().folder());
        ASSERT_TRUE(grades.openFile(false));
        if (grades.getGradeCode(newGrade) == first->personnel.grade)
            newGrade = "Grade C - Officers";
        newGradeCode = grades.getGradeCode(newGrade);
    }
    ASSERT_NE(newGradeCode, 0);
    host.then("JobsDialog", [title](QDialog& d) {
        selectName(d, QString::fromStdString(title));
        click(d, "PropertiesButton");
    });
    host.then("JobPropertiesDialog", [newGrade](QDialog& d) {
        chooseGrade(d, QString::fromStdString(newGrade));
        click(d, "OkButton");
    });
    host.then("JobsDialog", [](QDialog& d) { click(d, "CloseButton"); });
    window->runCommand(cmd::Jobs);
    EXPECT_TRUE(host.steps.empty());
    long moved = 0;
    for (const Employee& e : employeesOf(session()))
        if (e.personnel.job == job && !e.master.separated) {
            EXPECT_EQ(e.personnel.grade, newGradeCode) << e.master.empNum;
            ++moved;
        }
    EXPECT_GT(moved, 0);
}

TEST_F(LookupListWindowTest, WithoutTheRightToSetUpTheOrganisationTheListsAreGrayed) {
    setup::USERS& users = session().users();
    ASSERT_TRUE(users.addUser(*ui, {"baraka", demo::kDemoPassword, "Mwakalinga", "Baraka"}));
    common::USERREC rights;
    rights.menuType = common::kFullMenu;
    rights.editEmpFiles = 1;
    rights.modifyFields = 1;
    ASSERT_TRUE(users.setRights(*ui, "baraka", rights));
    closeWindow();
    start(QStringLiteral("baraka"));

    const std::size_t shown = host.shown.size();
    for (int id : kListCommands) {
        ASSERT_NE(window->menuAction(id), nullptr) << id;
        EXPECT_FALSE(window->menuAction(id)->isEnabled()) << id;
        window->runCommand(id); // no dialog may open
    }
    EXPECT_EQ(host.shown.size(), shown);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST(LookupListHelp, EveryListsHelpContextHasItsPage) {
    for (int context :
         {helpctx::Grades, helpctx::Jobs, helpctx::Stations, helpctx::Coops, helpctx::PensionFunds})
        EXPECT_TRUE(fs::exists(fs::path(KELO_HELP_FOLDER) / (std::to_string(context) + ".html")))
            << context;
}

} // namespace
} // namespace kelo::app
