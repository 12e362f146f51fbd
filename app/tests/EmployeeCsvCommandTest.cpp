#include "app/tests/DemoWindowFixture.h"

#include <QMessageBox>

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
// number is already on file, so the list of refusals comes and nothing is
// added.
TEST_F(EmployeeCsvCommandTest, ExportThenImportTheSameListIsRefused) {
    const std::string path = dir.file("demo-staff.csv");
    ui->files.push_back(QString::fromStdString(path));
    window->runCommand(cmd::ExportEmployees);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    const std::string exported = bytesOf(path);
    ASSERT_FALSE(exported.empty());
    EXPECT_NE(exported.find("MH001,"), std::string::npos);

    ui->files.push_back(QString::fromStdString(path));
    window->runCommand(cmd::ImportEmployees);
    ASSERT_EQ(ui->texts.size(), 1u);
    EXPECT_NE(ui->lastText().find("nothing has been imported"), std::string::npos)
        << ui->lastText();
    EXPECT_NE(ui->lastText().find("An employee numbered \"MH001\" is already in the personnel "
                                  "file."),
              std::string::npos)
        << ui->lastText();
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
