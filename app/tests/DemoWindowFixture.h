#pragma once

#include "app/demo/DemoFolder.h"
#include "app/main/MainWindow.h"
#include "app/tests/ScriptedHosts.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <QDialog>
#include <QMessageBox>

#include <gtest/gtest.h>
#include <memory>

namespace kelo::app::testing {

// The program on a fresh demo folder, logged in through the start-up
// dialogs as `make run` opens it; tests script the dialogs that follow.
class DemoWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::RecordingUi builder;
        ASSERT_TRUE(demo::buildDemoFolder(builder, dir.file("demo"), KELO_SOURCE_FOLDER))
            << builder.lastMessage();
        start(QStringLiteral("supervisor"));
    }

    // A new main window, logged in as `user` (a demo user).
    void start(const QString& user) {
        window.reset();
        ProgramPaths paths;
        paths.programFolder = dir.path();
        paths.configFile = dir.file("appcfg.dat");
        paths.sourceFolder = KELO_SOURCE_FOLDER;
#ifdef KELO_HELP_FOLDER
        paths.helpFolder = KELO_HELP_FOLDER;
#endif
        window = std::make_unique<MainWindow>(paths, host, [this](QWidget* parent) {
            auto scripted = std::make_unique<ScriptedUi>(parent);
            ui = scripted.get();
            return scripted;
        });
        setup::APPCFG& config = window->session().appConfig();
        ASSERT_TRUE(config.readFile(*ui));
        config.setDataFolder(dir.file("demo"));
        ASSERT_TRUE(config.saveFile(*ui));
        host.then(QStringLiteral("StartDialog"), [](QDialog& d) { click(d, "LoginButton"); });
        host.then(QStringLiteral("LoginDialog"), [user](QDialog& d) {
            type(d, "UserName", user);
            type(d, "Password", QString::fromLatin1(demo::kDemoPassword));
            click(d, "OkButton");
        });
        host.then(QStringLiteral("OrgListDialog"), [](QDialog& d) { click(d, "OkButton"); });
        ASSERT_TRUE(window->startUp()) << ui->lastText();
        ui->texts.clear();
    }

    // Ends the run without the backup question's backup.
    void closeWindow() {
        ui->answers.push_back(QMessageBox::No);
        window->close();
    }

    Session& session() {
        return window->session();
    }

    testsupport::TempDir dir;
    ScriptedHost host;
    ScriptedUi* ui = nullptr;
    std::unique_ptr<MainWindow> window;
};

} // namespace kelo::app::testing
