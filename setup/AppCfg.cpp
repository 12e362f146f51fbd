#include "setup/AppCfg.h"

#include "common/TaggedFile.h"
#include "setup/DataCfg.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace kelo::setup {

namespace fs = std::filesystem;

namespace {
std::string userConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg)
        return std::string(xdg) + "/kelo-roster";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/kelo-roster";
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}
} // namespace

APPCFG::APPCFG(const std::string& programFolder) {
    if (::access(programFolder.c_str(), W_OK) == 0) {
        filePath_ = programFolder + "/" + kFileName;
        return;
    }
    const std::string folder = userConfigFolder();
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    filePath_ = folder + "/" + kFileName;
}

APPCFG APPCFG::atPath(const std::string& configPath) {
    APPCFG config;
    config.filePath_ = configPath;
    return config;
}

bool APPCFG::readFile(common::Ui& ui) {
    std::error_code error;
    if (!fs::exists(filePath_, error) && !createFile(ui))
        return false;
    if (!common::checkFileId(ui, filePath_))
        return false;
    common::TaggedReader reader(filePath_);
    std::string folder;
    if (!reader.skipFileId() || !reader.findTag("item", common::TagKind::GroupStart) ||
        !reader.readValue(folder)) {
        ui.error("Format of " + filePath_ + " is unknown.");
        return false;
    }
    reader.findTag("", common::TagKind::GroupEnd);
    setDataFolder(runFolder_.empty() ? folder : runFolder_);
    return true;
}

void APPCFG::useForThisRun(const std::string& folder) {
    runFolder_ = folder;
    setDataFolder(folder);
}

bool APPCFG::saveFile(common::Ui& ui) {
    common::TaggedWriter writer;
    bool ok = writer.open(filePath_, common::TaggedWriter::Mode::Replace) &&
              writer.writeComment("Application configuration file") &&
              writer.writeComment(std::string("[") + kFileName + "]") && writer.writeComment("") &&
              writer.writeTag("fileid", common::TagKind::GroupStart) &&
              writer.writeValue(common::fileKind::ApplicationConfiguration) &&
              writer.writeValue(kFileName) && writer.writeValue("4.0") &&
              writer.writeTag("", common::TagKind::GroupEnd) &&
              writer.writeTag("item", common::TagKind::GroupStart) &&
              writer.writeValue(dataFolder_) && writer.writeTag("", common::TagKind::GroupEnd) &&
              writer.writeEof();
    ok = writer.close() && ok;
    if (!ok)
        ui.error(std::string("Can't save to ") + kFileName);
    return ok;
}

bool APPCFG::createFile(common::Ui& ui) {
    dataFolder_.clear();
    return saveFile(ui);
}

void APPCFG::showDataDir(common::Ui& ui, common::DialogView& dialog) {
    readFile(ui);
    dialog.setText(programsetup::DataFolderLabel, dataFolder_.empty() ? "[None]" : dataFolder_);
}

bool APPCFG::selectDataDir(common::Ui& ui, common::DialogView& dialog) {
    const auto chosen =
        ui.chooseFolder("Select folder containing Kelo Roster data files:", dataFolder_);
    if (!chosen || chosen->empty() || (*chosen)[0] != '/')
        return false;
    runFolder_.clear();
    setDataFolder(common::WorkingFolder::normalise(*chosen));
    if (!saveFile(ui))
        return false;
    dialog.setText(programsetup::DataFolderLabel, dataFolder_);
    return true;
}

bool APPCFG::initDataFolder(common::Ui& ui, const std::string& folder) {
    std::error_code error;
    if (!isFolder(folder) || ::access(folder.c_str(), R_OK | W_OK | X_OK) != 0) {
        ui.error("Can't open folder " + folder);
        return false;
    }
    if (fs::directory_iterator(folder, error) != fs::directory_iterator()) {
        ui.error("Folder " + folder + " is not empty");
        return false;
    }
    for (const char* sub : {"system/settings", "exports", "backup"}) {
        if (!fs::create_directories(fs::path(folder) / sub, error) || error) {
            ui.error("Can't open folder " + folder);
            return false;
        }
    }
    const common::WorkingFolder working(folder);
    DATACFG config(working);
    return config.createFile(ui);
}

bool APPCFG::createDataDir(common::Ui& ui, common::DialogView& dialog) {
    const auto chosen =
        ui.chooseFolder("Select empty folder to save Kelo Roster data files to:", dataFolder_);
    if (!chosen || chosen->empty() || (*chosen)[0] != '/')
        return false;
    const std::string folder = common::WorkingFolder::normalise(*chosen);
    if (!initDataFolder(ui, folder))
        return false;
    runFolder_.clear();
    setDataFolder(folder);
    if (!saveFile(ui))
        return false;
    dialog.setText(programsetup::DataFolderLabel, dataFolder_);
    return true;
}

bool APPCFG::openDataDir(common::Ui& ui, common::WorkingFolder& folder) const {
    if (dataFolder_.empty()) {
        ui.error("Please specify the data folder");
        return false;
    }
    const std::string data = common::WorkingFolder::normalise(dataFolder_);
    if (!isFolder(data)) {
        ui.error("Can't open folder " + dataFolder_);
        return false;
    }
    if (!isFolder(data + "/system")) {
        ui.error("Can't open folder " + common::WorkingFolder::normalise(data + "/system"));
        return false;
    }
    folder = common::WorkingFolder(data);
    return true;
}

} // namespace kelo::setup
