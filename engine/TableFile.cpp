#include "engine/TableFile.h"

#include "common/AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kelo::engine {

TableFile::~TableFile() {
    close();
}

TableFile::TableFile(TableFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

TableFile& TableFile::operator=(TableFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool TableFile::open(const std::string& path, bool writable) {
    close();
    fd_ = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    return fd_ >= 0;
}

bool TableFile::create(const std::string& path) {
    close();
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

void TableFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool TableFile::readAt(std::uint64_t offset, void* buffer, std::size_t length) const {
    auto* out = static_cast<char*>(buffer);
    while (length > 0) {
        const ssize_t n = ::pread(fd_, out, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out += n;
        offset += static_cast<std::uint64_t>(n);
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool TableFile::writeAt(std::uint64_t offset, const void* buffer, std::size_t length) const {
    const auto* in = static_cast<const char*>(buffer);
    while (length > 0) {
        const ssize_t n = ::pwrite(fd_, in, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        in += n;
        offset += static_cast<std::uint64_t>(n);
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

std::uint64_t TableFile::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

bool TableFile::truncate(std::uint64_t length) const {
    return ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
}

bool TableFile::sync() const {
    return ::fdatasync(fd_) == 0;
}

namespace {
struct flock makeLock(short type, std::uint64_t offset, std::uint64_t length) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    return fl;
}
} // namespace

TableFile::LockResult TableFile::tryLock(std::uint64_t offset, std::uint64_t length,
                                         LockKind kind) const {
    struct flock fl = makeLock(kind == LockKind::Shared ? F_RDLCK : F_WRLCK, offset, length);
    while (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
        if (errno == EINTR)
            continue;
        // EBADF: an exclusive lock through a read-only descriptor, which is
        // no other user's doing.
        return errno == EAGAIN || errno == EACCES ? LockResult::Busy : LockResult::Refused;
    }
    return LockResult::Held;
}

bool TableFile::lockWait(std::uint64_t offset, std::uint64_t length, LockKind kind) const {
    struct flock fl = makeLock(kind == LockKind::Shared ? F_RDLCK : F_WRLCK, offset, length);
    while (::fcntl(fd_, F_OFD_SETLKW, &fl) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void TableFile::unlock(std::uint64_t offset, std::uint64_t length) const {
    struct flock fl = makeLock(F_UNLCK, offset, length);
    ::fcntl(fd_, F_OFD_SETLK, &fl);
}

bool TableFile::lockedByOther(std::uint64_t offset, std::uint64_t length) const {
    struct flock fl = makeLock(F_WRLCK, offset, length);
    if (::fcntl(fd_, F_OFD_GETLK, &fl) != 0)
        return false;
    return fl.l_type != F_UNLCK;
}

std::string companionPath(const std::string& tablePath, std::string_view extension) {
    const auto dot = tablePath.find_last_of('.');
    const auto slash = tablePath.find_last_of('/');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = hasExtension ? tablePath.substr(0, dot) : tablePath;
    const bool upperCase = hasExtension && tablePath.size() > dot + 1 &&
                           std::isupper(static_cast<unsigned char>(tablePath[dot + 1]));
    std::string suffix(extension);
    for (char& c : suffix)
        c = static_cast<char>(upperCase ? std::toupper(static_cast<unsigned char>(c))
                                        : std::tolower(static_cast<unsigned char>(c)));
    return stem + "." + suffix;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::uint64_t fileLength(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool writeFileAtomically(const std::string& path, const std::string& contents) {
    return common::replaceFileAtomically(path, contents);
}

bool syncFolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool readWholeFile(const std::string& path, std::string& contents) {
    TableFile file;
    if (!file.open(path, false))
        return false;
    const std::uint64_t length = file.size();
    contents.assign(length, '\0');
    return length == 0 || file.readAt(0, contents.data(), contents.size());
}

} // namespace kelo::engine
