// kelo-demo <folder> [<sourceFolder>]
//
// Builds the demo data folder in <folder>, which must not exist or be empty.
// The statutory source tables are taken from <sourceFolder>, by default the
// "source" folder beside this program.
#include "app/demo/DemoFolder.h"
#include "setup/StatutoryFiles.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace kelo;

// Messages go to the terminal; questions are answered as the build needs,
// and there is nobody to choose files.
class ConsoleUi final : public common::Ui {
public:
    common::Answer message(const std::string& text, common::MessageIcon icon,
                           common::MessageButtons buttons, const std::string&,
                           std::optional<common::Answer>) override {
        std::fprintf(stderr, "kelo-demo: %s%s\n", prefix(icon), text.c_str());
        switch (buttons) {
        case common::MessageButtons::YesNo:
        case common::MessageButtons::YesNoCancel:
            return common::Answer::Yes;
        case common::MessageButtons::RetryCancel:
            return common::Answer::Cancel;
        default:
            return common::Answer::Ok;
        }
    }
    void beep() override {}
    void setStatusText(const std::string&) override {}
    void beginWait() override {}
    void endWait() override {}
    std::optional<std::string> chooseSaveFile(const common::FileChoice&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseOpenFile(const common::FileChoice&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }

private:
    static const char* prefix(common::MessageIcon icon) {
        switch (icon) {
        case common::MessageIcon::Error:
            return "error: ";
        case common::MessageIcon::Warning:
            return "warning: ";
        default:
            return "";
        }
    }
};

std::string programFolder(const char* argv0) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        return self.parent_path().string();
    return fs::absolute(argv0, error).parent_path().string();
}

bool isNonEmptyFolder(const fs::path& folder) {
    std::error_code error;
    if (!fs::exists(folder, error))
        return false;
    return !fs::is_directory(folder, error) || !fs::is_empty(folder, error);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: kelo-demo <folder> [<sourceFolder>]\n");
        return 2;
    }
    std::error_code error;
    const fs::path folder = fs::absolute(argv[1], error).lexically_normal();
    if (error) {
        std::fprintf(stderr, "kelo-demo: %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    if (isNonEmptyFolder(folder)) {
        std::fprintf(stderr,
                     "kelo-demo: %s exists and is not an empty folder; nothing was changed.\n",
                     folder.c_str());
        return 1;
    }
    const std::string source = argc == 3 ? fs::absolute(argv[2], error).lexically_normal().string()
                                         : setup::sourceFolderBeside(programFolder(argv[0]));

    ConsoleUi ui;
    if (!demo::buildDemoFolder(ui, folder.string(), source)) {
        std::fprintf(stderr, "kelo-demo: the demo folder was not built.\n");
        return 1;
    }
    std::printf("Demo data folder ready: %s\n"
                "Organisation: %s, %s %d\n"
                "Users: supervisor, asha and juma, each with the password %s\n",
                folder.c_str(), demo::kDemoOrganisation, demo::kDemoMonth, demo::kDemoYear,
                demo::kDemoPassword);
    return 0;
}
