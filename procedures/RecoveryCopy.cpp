#include "procedures/RecoveryCopy.h"

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace kelo::procedures {

namespace fs = std::filesystem;

namespace {

bool syncPath(const fs::path& path, bool folder) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool copyEntry(const fs::directory_entry& entry, const fs::path& target) {
    std::error_code error;
    if (entry.is_directory(error))
        return fs::create_directory(target, error) || !error;
    fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, error);
    return !error && syncPath(target, false);
}

} // namespace

bool copyTreeDurably(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::remove_all(to, error);
    if (!fs::create_directories(to, error) || error)
        return false;
    for (fs::recursive_directory_iterator it(from, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path target = fs::path(to) / fs::relative(it->path(), from, error);
        if (error || !copyEntry(*it, target))
            return false;
    }
    if (error)
        return false;
    for (fs::recursive_directory_iterator it(to, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_directory(error) && !syncPath(it->path(), true))
            return false;
    }
    return !error && syncPath(to, true) && syncPath(fs::path(to).parent_path(), true);
}

bool syncTree(const std::string& folder) {
    std::error_code error;
    bool ok = true;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        ok = syncPath(it->path(), it->is_directory(error)) && ok;
    return ok && !error && syncPath(folder, true);
}

} // namespace kelo::procedures
