#include "common/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelo::common {

namespace {
std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename itself lives in the folder's entry, which needs its own flush.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::open(const std::string& path) {
    discard();
    path_ = path;
    std::vector<char> name(path.begin(), path.end());
    const std::string suffix = ".XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        return false;
    scratch_.assign(name.data());
    // mkstemp makes the file private; the file it replaces was not.
    ::fchmod(fd_, 0644);
    good_ = true;
    return true;
}

bool AtomicFile::write(std::string_view bytes) {
    if (fd_ < 0 || !good_)
        return false;
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            good_ = false;
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFile::commit() {
    if (fd_ < 0)
        return false;
    bool ok = good_ && ::fsync(fd_) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    if (ok && ::rename(scratch_.c_str(), path_.c_str()) == 0) {
        scratch_.clear();
        syncFolder(folderOf(path_));
        return true;
    }
    discard();
    return false;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!scratch_.empty()) {
        ::unlink(scratch_.c_str());
        scratch_.clear();
    }
    good_ = false;
}

bool replaceFileAtomically(const std::string& path, std::string_view contents) {
    AtomicFile file;
    return file.open(path) && file.write(contents) && file.commit();
}

} // namespace kelo::common
