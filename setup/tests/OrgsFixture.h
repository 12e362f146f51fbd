#pragma once

#include "setup/Orgs.h"
#include "testsupport/FakeDialogView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kelo::setup::testing {

namespace fs = std::filesystem;
using testsupport::FakeDialogView;

// A data folder with its organisations table and an ORGS working on it, as
// the program has it after login; nothing is open yet.
class OrgsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("data/system/settings"));
        folder = common::WorkingFolder(dir.file("data"));
        ASSERT_TRUE(database::ORGDB(code, folder).createFile(ui));
        orgs = std::make_unique<ORGS>(ui, code, folder);
        ui.clear();
    }

    // The New Organisation dialog as the user fills it, then OK.
    int create(const std::string& name, const char* month = "March", const char* year = "2026") {
        FakeDialogView dialog;
        orgs->initNewOrgDlg(dialog);
        dialog.setText(orgdlg::Name, name);
        dialog.selectRow(orgdlg::Month, dialog.findItem(orgdlg::Month, month));
        dialog.setText(orgdlg::Year, year);
        return orgs->createNewOrg(dialog, "supervisor");
    }

    // Selects `name` in a list dialog prepared by initOrgList.
    static void choose(FakeDialogView& list, const std::string& name) {
        list.selectRow(orglistdlg::List, list.findItem(orglistdlg::List, name));
    }

    int open(const std::string& name) {
        FakeDialogView list;
        orgs->initOrgList(list, "Open Organisation");
        choose(list, name);
        return orgs->openSelOrg(list, "supervisor");
    }

    // The open record, for tests that set up a period state directly.
    common::ORGREC& openOrg() { return const_cast<common::ORGREC&>(*orgs->getOpenOrg()); }

    // The row as another handle reads it.
    common::ORGREC storedRow(const std::string& name) {
        database::ORGDB table(code, folder);
        common::ORGREC row;
        if (table.openFile() && table.findByName(name))
            table.loadRec(row);
        return row;
    }

    std::string data(const std::string& path) const { return dir.file("data/" + path); }

    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    engine::Code4 code;
    common::WorkingFolder folder;
    std::unique_ptr<ORGS> orgs;
};

} // namespace kelo::setup::testing
