#include "app/tests/DemoWindowFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <fstream>
#include <iterator>

namespace kelo::app::testing {
namespace {

constexpr const char* kEmployeeHeader =
    "Employee Number,Last Name,Other Names,Unit,Job,Terms,Station,Pay Frequency,Pay Basis,"
    "Daily Rate,Hours per Day,Hours per Month,Time Worked,Start Date\r\n";
constexpr const char* kNewGuards =
    "MH101,Mwansasu,Neema Asha,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,8500,8,195,Days Present,01/12/2025\r\n"
    "MH102,Sanga,Joseph Elia,Kiwira Estate,Tea Plucker,Temporary,Kiwira Estate,Weekly,"
    "Daily Rate,8500,8,195,Days Present,01/12/2025\r\n";

struct ImportPreviewCommandTest : DemoWindowFixture {
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The employee list as exported now.
    std::string exported() {
        const std::string path = dir.file("now.csv");
        ui->files.push_back(QString::fromStdString(path));
        window->runCommand(cmd::ExportEmployees);
        return read(path);
    }
    void importFile(int command, const std::string& path, std::function<void(QDialog&)> act) {
        ui->files.push_back(QString::fromStdString(path));
        host.then(QStringLiteral("ImportPreviewDialog"), std::move(act));
        window->runCommand(command);
        EXPECT_TRUE(host.steps.empty());
    }
};

QTableWidget* tableOf(QDialog& d) {
    return d.findChild<QTableWidget*>(QStringLiteral("PreviewTable"));
}
QPushButton* buttonOf(QDialog& d, const char* name) {
    return d.findChild<QPushButton*>(QString::fromLatin1(name));
}
std::string cellText(QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = table.item(row, column);
    return item ? item->text().toStdString() : std::string();
}
std::string headings(QTableWidget& table) {
    QStringList names;
    for (int c = 0; c < table.columnCount(); ++c)
        names << table.horizontalHeaderItem(c)->text();
    return names.join(QLatin1Char('|')).toStdString();
}
// Where Tab goes from `widget`.
QWidget* nextTabStop(QDialog& d, QWidget* widget) {
    for (QWidget* next = widget->nextInFocusChain(); next && next != widget;
         next = next->nextInFocusChain())
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(&d))
            return next;
    return nullptr;
}

// The demo's own list read back: every employee is already on file, so
// every row is refused, all of them listed, and nothing is imported.
TEST_F(ImportPreviewCommandTest, ARefusedFileListsEveryRefusalAndImportsNothing) {
    const std::string before = exported();
    const auto lines = static_cast<int>(std::count(before.begin(), before.end(), '\n')) - 1;
    ASSERT_GT(lines, 15);
    const std::string path = write("again.csv", before);
    importFile(cmd::ImportEmployees, path, [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Import Employees"));
        QTableWidget* table = tableOf(d);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(headings(*table), "Row|Column|Problem");
        ASSERT_EQ(table->rowCount(), lines);
        EXPECT_EQ(cellText(*table, 0, 0), "2");
        EXPECT_EQ(cellText(*table, 0, 1), "Employee Number");
        EXPECT_EQ(cellText(*table, 0, 2),
                  "An employee numbered \"MH001\" is already in the personnel file.");
        EXPECT_EQ(cellText(*table, lines - 1, 0), std::to_string(lines + 1));
        const auto* summary = d.findChild<QLabel*>(QStringLiteral("SummaryLabel"));
        ASSERT_NE(summary, nullptr);
        EXPECT_EQ(summary->text().toStdString(),
                  std::to_string(lines) + " rows were read and " + std::to_string(lines) +
                      " were refused, so nothing will be imported. Correct the file and import "
                      "it again.");
        EXPECT_FALSE(buttonOf(d, "ImportButton")->isEnabled());
        EXPECT_TRUE(buttonOf(d, "CancelButton")->isDefault());
        click(d, "CancelButton");
    });
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(exported(), before);
}

TEST_F(ImportPreviewCommandTest, ACleanFileShowsTheEmployeesAndImportsAfterImport) {
    const std::string path = write("guards.csv", std::string(kEmployeeHeader) + kNewGuards);
    importFile(cmd::ImportEmployees, path, [](QDialog& d) {
        QTableWidget* table = tableOf(d);
        ASSERT_NE(table, nullptr);
        if (headings(*table) != "Employee Number|Last Name|Other Names") {
            ADD_FAILURE() << cellText(*table, 0, 2);
            click(d, "CancelButton");
            return;
        }
        ASSERT_EQ(table->rowCount(), 2);
        EXPECT_EQ(cellText(*table, 1, 0), "MH102");
        EXPECT_EQ(cellText(*table, 1, 1), "Sanga");
        EXPECT_EQ(cellText(*table, 1, 2), "Joseph Elia");
        QPushButton* import = buttonOf(d, "ImportButton");
        EXPECT_TRUE(import->isEnabled());
        EXPECT_TRUE(import->isDefault());
        EXPECT_EQ(import->text(), QStringLiteral("&Import"));
        // The table first, then Import, Cancel and Help.
        EXPECT_EQ(nextTabStop(d, table), import);
        EXPECT_EQ(nextTabStop(d, import), buttonOf(d, "CancelButton"));
        EXPECT_EQ(nextTabStop(d, buttonOf(d, "CancelButton")), buttonOf(d, "HelpButton"));
        EXPECT_EQ(nextTabStop(d, buttonOf(d, "HelpButton")), table);
        click(d, "ImportButton");
    });
    EXPECT_EQ(ui->lastText(), "2 employees were imported.");
    const std::string after = exported();
    EXPECT_NE(after.find("\r\nMH101,Mwansasu,Neema Asha,"), std::string::npos);
    EXPECT_NE(after.find("\r\nMH102,Sanga,Joseph Elia,"), std::string::npos);
}

TEST_F(ImportPreviewCommandTest, CancelOrEscapeImportsNothing) {
    const std::string before = exported();
    const std::string path = write("guards.csv", std::string(kEmployeeHeader) + kNewGuards);
    importFile(cmd::ImportEmployees, path, [](QDialog& d) { click(d, "CancelButton"); });
    importFile(cmd::ImportEmployees, path, [](QDialog& d) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&d, &escape);
    });
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(exported(), before);
}

TEST_F(ImportPreviewCommandTest, HelpOpensThePreviewPage) {
    const std::string path = write("guards.csv", std::string(kEmployeeHeader) + kNewGuards);
    importFile(cmd::ImportEmployees, path, [this](QDialog& d) {
        click(d, "HelpButton");
        EXPECT_EQ(window->help().currentPage(), QStringLiteral("importpreview.html"));
        click(d, "CancelButton");
    });
}

TEST_F(ImportPreviewCommandTest, TheBalancesCommandImportsACleanFile) {
    const std::string path =
        write("balances.csv", "Employee Number,Item,Balance,Payments Left,Interest Rate,"
                              "Taxable Benefit,Employer Contribution,Employee Balance,"
                              "Employer Balance\r\n"
                              "MH007,Staff Loan,\"1,200,000\",12,10,Yes,,,\r\n"
                              "MH013,Highland SACCOS,380000,,,,,,\r\n");
    importFile(cmd::ImportBalances, path, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Import Opening Balances"));
        QTableWidget* table = tableOf(d);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(headings(*table), "Employee Number|Item|Balance");
        ASSERT_EQ(table->rowCount(), 2);
        EXPECT_EQ(cellText(*table, 0, 2), "1,200,000.00, 12 payments left");
        EXPECT_EQ(cellText(*table, 1, 1), "Highland SACCOS");
        click(d, "ImportButton");
    });
    EXPECT_EQ(ui->lastText(), "2 opening balances were imported.");
    // Read again, the same balances are no news but still accepted.
    importFile(cmd::ImportBalances, path, [](QDialog& d) {
        EXPECT_TRUE(buttonOf(d, "ImportButton")->isEnabled());
        click(d, "CancelButton");
    });
}

TEST_F(ImportPreviewCommandTest, TheBalancesCommandWantsNoOpenWindowAndTheRight) {
    EXPECT_TRUE(window->menuAction(cmd::ImportBalances)->isEnabled());
    EXPECT_EQ(window->menuAction(cmd::ImportBalances)->text(),
              QStringLiteral("Import Opening Bala&nces..."));
    window->runCommand(cmd::Personnel);
    ASSERT_NE(window->documentWindow(), nullptr);
    EXPECT_FALSE(window->menuAction(cmd::ImportBalances)->isEnabled());
}

} // namespace
} // namespace kelo::app::testing
