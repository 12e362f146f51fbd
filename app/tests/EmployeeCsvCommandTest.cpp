#include "app/tests/DemoWindowFixture.h"

#include <QMessageBox>
#include <QTableWidget>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelo::app::testing {
namespace {

using EmployeeCsvCommandTest = DemoWindowFixture;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The demo's employees exported, then the same file imported again: every
// number is already on file, so the preview lists the refusals and nothing
// is added.
TEST_F(EmployeeCsvCommandTest, ExportThenImportTheSameListIsRefused) {
    const std::string path = dir.file("demo-staff.csv");
    ui->files.push_back(QString::fromStdString(path));
    window->runCommand(cmd::ExportEmployees);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    const std::string exported = bytesOf(path);
    ASSERT_FALSE(exported.empty());
    EXPECT_NE(exported.find("MH001,"), std::string::npos);

    ui->files.push_back(QString::fromStdString(path));
    host.then(QStringLiteral("ImportPreviewDialog"), [](QDialog& d) {
        auto* table = d.findChild<QTableWidget*>(QStringLiteral("PreviewTable"));
        ASSERT_NE(table, nullptr);
        ASSERT_GT(table->rowCount(), 0);
        EXPECT_EQ(table->item(0, 2)->text(),
                  QStringLiteral("An employee numbered \"MH001\" is already in the personnel "
                                 "file."));
        click(d, "CancelButton");
    });
    window->runCommand(cmd::ImportEmployees);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(bytesOf(path), exported);
}

TEST_F(EmployeeCsvCommandTest, TheCommandsWantNoOpenWindowAndTheRightToEditEmployees) {
    EXPECT_TRUE(window->menuAction(cmd::ImportEmployees)->isEnabled());
    EXPECT_TRUE(window->menuAction(cmd::ExportEmployees)->isEnabled());
    window->runCommand(cmd::Personnel);
    ASSERT_NE(window->documentWindow(), nullptr);
    EXPECT_FALSE(window->menuAction(cmd::ImportEmployees)->isEnabled());
    EXPECT_FALSE(window->menuAction(cmd::ExportEmployees)->isEnabled());
}

} // namespace
} // namespace kelo::app::testing
