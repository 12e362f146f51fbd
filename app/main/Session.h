#pragma once

#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "setup/AppCfg.h"

#include <memory>
#include <string>

namespace kelo::database {
class PAYLOGDB;
class STATDB;
class ABSENCEDB;
class LEAVEDB;
} // namespace kelo::database
namespace kelo::setup {
class USERS;
class ORGS;
class OPTIONSDLG;
} // namespace kelo::setup
namespace kelo::staffrecords {
class VARDBEX;
} // namespace kelo::staffrecords

namespace kelo::app {

// Where the program finds what ships beside it and keeps its configuration.
struct ProgramPaths {
    std::string programFolder;
    std::string configFile;   // appcfg.dat; empty for the default beside the program
    std::string sourceFolder; // shipped statutory tables
    std::string helpFolder;   // help pages
    static ProgramPaths beside(const std::string& programFolder);
};

// The process-wide state of the program: the engine handle, the data
// folder, and one object of each module for the life of a session.
class Session {
public:
    Session(common::Ui& ui, ProgramPaths paths);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    common::Ui& ui() { return ui_; }
    const ProgramPaths& paths() const { return paths_; }
    engine::Code4& code() { return code_; }
    common::WorkingFolder& folder() { return folder_; }
    setup::APPCFG& appConfig() { return appConfig_; }

    // Opens the chosen data folder: version, key, encryption and, for a new
    // folder, its shared tables.
    bool openDataFolder();
    // The module objects, made after the data folder is open, in the order
    // they depend on each other, and destroyed in that order too.
    void createModules();
    void destroyModules();
    bool hasModules() const { return users_ != nullptr; }

    setup::USERS& users() { return *users_; }
    setup::ORGS& orgs() { return *orgs_; }
    setup::OPTIONSDLG& options() { return *options_; }
    staffrecords::VARDBEX& transactions() { return *transactions_; }

private:
    common::Ui& ui_;
    ProgramPaths paths_;
    engine::Code4 code_;
    common::WorkingFolder folder_;
    setup::APPCFG appConfig_;

    std::unique_ptr<setup::USERS> users_;
    std::unique_ptr<setup::ORGS> orgs_;
    std::unique_ptr<setup::OPTIONSDLG> options_;
    std::unique_ptr<database::PAYLOGDB> payLog_;
    std::unique_ptr<database::STATDB> personnel_;
    std::unique_ptr<staffrecords::VARDBEX> transactions_;
    std::unique_ptr<database::ABSENCEDB> absence_;
    std::unique_ptr<database::LEAVEDB> leave_;
};

} // namespace kelo::app
