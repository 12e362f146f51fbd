#include "app/main/Session.h"

#include "database/AbsenceDb.h"
#include "database/LeaveDb.h"
#include "database/PayLogDb.h"
#include "database/StaticDb.h"
#include "setup/DataFolderStart.h"
#include "setup/OptionsDlg.h"
#include "setup/Orgs.h"
#include "setup/StatutoryFiles.h"
#include "setup/Users.h"
#include "staffrecords/VarDbEx.h"

namespace kelo::app {

namespace {

setup::APPCFG configAt(const ProgramPaths& paths) {
    return paths.configFile.empty() ? setup::APPCFG(paths.programFolder)
                                    : setup::APPCFG::atPath(paths.configFile);
}

} // namespace

ProgramPaths ProgramPaths::beside(const std::string& programFolder) {
    ProgramPaths paths;
    paths.programFolder = programFolder;
    paths.sourceFolder = setup::sourceFolderBeside(programFolder);
    paths.helpFolder = programFolder + "/help";
    return paths;
}

Session::Session(common::Ui& ui, ProgramPaths paths)
    : ui_(ui),
      paths_(std::move(paths)),
      appConfig_(configAt(paths_)) {}

Session::~Session() {
    destroyModules();
}

bool Session::openDataFolder() {
    return setup::openDataFolder(ui_, code_, folder_, paths_.sourceFolder);
}

void Session::createModules() {
    users_ = std::make_unique<setup::USERS>(code_, folder_);
    orgs_ = std::make_unique<setup::ORGS>(ui_, code_, folder_);
    options_ = std::make_unique<setup::OPTIONSDLG>(code_, folder_);
    payLog_ = std::make_unique<database::PAYLOGDB>(code_, folder_);
    personnel_ = std::make_unique<database::STATDB>(code_, folder_);
    transactions_ = std::make_unique<staffrecords::VARDBEX>(ui_, code_, folder_);
    absence_ = std::make_unique<database::ABSENCEDB>(code_, folder_, ui_);
    leave_ = std::make_unique<database::LEAVEDB>(code_, folder_, ui_);
}

void Session::destroyModules() {
    users_.reset();
    orgs_.reset();
    options_.reset();
    payLog_.reset();
    personnel_.reset();
    transactions_.reset();
    absence_.reset();
    leave_.reset();
    code_.closeAll();
}

} // namespace kelo::app
