#pragma once

#include "common/DialogView.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"

#include <string>

namespace kelo::setup {

// Control names of the Program Setup dialog.
namespace programsetup {
inline constexpr const char* DataFolderLabel = "DataFolderLabel";
inline constexpr const char* SelectButton = "SelectButton";
inline constexpr const char* CreateButton = "CreateButton";
} // namespace programsetup

// The program's own configuration, "appcfg.dat": which data folder to use.
// The file lives beside the program when that folder is writable, otherwise
// in the user's configuration folder ($XDG_CONFIG_HOME/kelo-roster).
class APPCFG {
public:
    static constexpr const char* kFileName = "appcfg.dat";

    // `programFolder` is the folder of the running program.
    explicit APPCFG(const std::string& programFolder);
    // For tests: the configuration file at an exact path.
    static APPCFG atPath(const std::string& configPath);

    // A missing file is first created empty, so that a first start leads to
    // the Program Setup dialog instead of ending with no way in.
    bool readFile(common::Ui& ui);
    bool saveFile(common::Ui& ui);
    bool createFile(common::Ui& ui);

    void showDataDir(common::Ui& ui, common::DialogView& dialog);
    bool selectDataDir(common::Ui& ui, common::DialogView& dialog);
    bool createDataDir(common::Ui& ui, common::DialogView& dialog);
    // Makes the data folder's "system" folder the working folder.
    bool openDataDir(common::Ui& ui, common::WorkingFolder& folder) const;

    const std::string& dataFolder() const { return dataFolder_; }
    // Kept whole: a cut path would name another folder.
    void setDataFolder(const std::string& folder) { dataFolder_ = folder; }
    // The data folder of this run only: reading the file keeps it, and the
    // saved choice stays as it is until the user chooses another folder.
    void useForThisRun(const std::string& folder);
    const std::string& filePath() const { return filePath_; }

    // The folder initialisation behind createDataDir, for a chosen folder.
    static bool initDataFolder(common::Ui& ui, const std::string& folder);

private:
    APPCFG() = default;
    std::string dataFolder_;
    std::string runFolder_; // empty unless this run was given its own
    std::string filePath_;
};

} // namespace kelo::setup
