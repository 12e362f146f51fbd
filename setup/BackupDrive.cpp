#include "setup/BackupDrive.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <system_error>

namespace kelo::setup {

namespace fs = std::filesystem;

namespace {

// The folder that holds `path`, or `path` itself when it is one: the file
// need not exist yet, but its folder must (a drive without a disk has none).
fs::path folderOf(const std::string& path) {
    std::error_code error;
    const fs::path at(path);
    if (fs::is_directory(at, error) || !at.has_parent_path())
        return at.empty() ? fs::path(".") : at;
    return at.parent_path();
}

bool readFlag(const fs::path& file) {
    std::ifstream in(file);
    char flag = '0';
    return in >> flag && flag == '1';
}

} // namespace

bool SystemDrive::isRemovable(const std::string& path) {
    struct stat info {};
    if (::stat(folderOf(path).c_str(), &info) != 0)
        return false;
    // The block device's "removable" flag; a partition keeps it on its disk,
    // one folder up.
    const fs::path device = fs::path("/sys/dev/block") / (std::to_string(major(info.st_dev)) + ":" +
                                                          std::to_string(minor(info.st_dev)));
    std::error_code error;
    const fs::path resolved = fs::canonical(device, error);
    if (error)
        return false;
    if (fs::exists(resolved / "removable", error))
        return readFlag(resolved / "removable");
    return readFlag(resolved.parent_path() / "removable");
}

std::optional<std::uint64_t> SystemDrive::freeSpace(const std::string& path) {
    std::error_code error;
    const fs::space_info space = fs::space(folderOf(path), error);
    if (error || space.available == static_cast<std::uintmax_t>(-1))
        return std::nullopt;
    return static_cast<std::uint64_t>(space.available);
}

BackupDrive& systemDrive() {
    static SystemDrive drive;
    return drive;
}

} // namespace kelo::setup
