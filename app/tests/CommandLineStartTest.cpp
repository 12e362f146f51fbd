// The program started from the command line with no screen: help needs no
// display, and a start that fails says why on the error stream and exits
// with a failure status instead of waiting on a box nobody sees.
#include "app/demo/DemoFolder.h"
#include "setup/AppCfg.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace kelo::app {
namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readBytes(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// A copy of the program in its own folder, so that its configuration file
// (kept beside the program) is the test's own.
class CommandLineStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(KELO_PROGRAM, dir.file("kelo-roster"));
        fs::permissions(dir.file("kelo-roster"), fs::perms::owner_all, fs::perm_options::add);
        fs::create_directory_symlink(fs::path(KELO_PROGRAM).parent_path() / "source",
                                     dir.file("source"));
    }

    // Runs the program with `environment` and `arguments`, standard input
    // closed, and a time limit so that a hang fails instead of stalling.
    ProgramRun run(const std::string& environment, const std::string& arguments) {
        const std::string out = dir.file("out.txt");
        const std::string err = dir.file("err.txt");
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + environment +
                                    " timeout 60 " + quoted(dir.file("kelo-roster")) + " " +
                                    arguments + " </dev/null >" + quoted(out) + " 2>" + quoted(err);
        const int raw = std::system(command.c_str());
        ProgramRun result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = readBytes(out);
        result.err = readBytes(err);
        return result;
    }

    std::string demoFolder(const std::string& name) {
        testsupport::RecordingUi builder;
        const std::string folder = dir.file(name);
        EXPECT_TRUE(demo::buildDemoFolder(builder, folder, KELO_SOURCE_FOLDER))
            << builder.lastMessage();
        return folder;
    }

    testsupport::TempDir dir;
};

TEST_F(CommandLineStartTest, HelpAndVersionNeedNoDisplay) {
    for (const char* option : {"--help", "--version"}) {
        SCOPED_TRACE(option);
        const ProgramRun result = run("-u QT_QPA_PLATFORM", option);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_NE(result.out.find(std::string(option) == "--help" ? "--data-folder" : "4.2"),
                  std::string::npos)
            << result.out;
    }
}

TEST_F(CommandLineStartTest, AFailedStartSaysWhyAndExitsWithAFailure) {
    const std::string folder = demoFolder("demo");
    const struct {
        const char* what;
        std::string arguments;
        const char* said;
    } cases[] = {
        {"wrong password",
         "--data-folder " + quoted(folder) + " --user supervisor --password wrong",
         "kelo-roster: Access denied."},
        {"unknown user", "--data-folder " + quoted(folder) + " --user nobody --password x",
         "kelo-roster: User does not exist."},
        {"no data folder there",
         "--data-folder " + quoted(dir.file("missing")) + " --user supervisor --password x",
         "kelo-roster: Can't open folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ProgramRun result = run("QT_QPA_PLATFORM=offscreen", c.arguments);
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    }
}

// A data folder deeper than the 259 characters of older systems opens whole.
TEST_F(CommandLineStartTest, ALongDataFolderPathIsKeptWhole) {
    std::string deep = "long";
    while (deep.size() < 300)
        deep += "/a-folder-with-a-long-name-of-forty-chars";
    fs::create_directories(dir.file(deep));
    const std::string folder = demoFolder(deep + "/demo");
    ASSERT_GT(folder.size(), 300u);
    const ProgramRun result = run("QT_QPA_PLATFORM=offscreen",
                                  "--data-folder " + quoted(folder) +
                                      " --user supervisor --password kelo2026 --quit-when-shown");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Main window shown after"), std::string::npos) << result.out;
}

// A data folder given for one run is not kept for the next unless asked.
TEST_F(CommandLineStartTest, TheDataFolderOfOneRunIsKeptOnlyWhenAsked) {
    const std::string kept = demoFolder("kept");
    const std::string once = demoFolder("once");
    const std::string login = " --user supervisor --password kelo2026 --quit-when-shown";
    const auto savedFolder = [this] {
        testsupport::RecordingUi ui;
        setup::APPCFG config = setup::APPCFG::atPath(dir.file("appcfg.dat"));
        EXPECT_TRUE(config.readFile(ui)) << ui.lastMessage();
        return config.dataFolder();
    };
    const struct {
        const char* what;
        std::string arguments;
        std::string saved;
    } runs[] = {
        {"saved when asked", "--data-folder " + quoted(kept) + " --save-data-folder" + login, kept},
        {"this run only", "--data-folder " + quoted(once) + login, kept},
        {"the saved folder again", login, kept},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.what);
        const ProgramRun result = run("QT_QPA_PLATFORM=offscreen", r.arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(savedFolder(), r.saved);
    }
}

} // namespace
} // namespace kelo::app
