#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelo::engine {

// An open file descriptor with whole-buffer reads and writes and open-file
// byte-range locks. Open-file-description locks are used instead of classic
// process locks so that closing one handle of a table never drops the locks
// another handle of the same process holds, and two handles in one process
// exclude each other just as two processes do.
class TableFile {
public:
    enum class LockKind { Shared, Exclusive };
    // Busy: another handle holds a conflicting lock. Refused: the lock cannot
    // be taken at all, such as an exclusive lock through a read-only descriptor.
    enum class LockResult { Held, Busy, Refused };

    TableFile() = default;
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;
    TableFile(TableFile&& other) noexcept;
    TableFile& operator=(TableFile&& other) noexcept;

    bool open(const std::string& path, bool writable);
    bool create(const std::string& path); // truncates
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    bool readAt(std::uint64_t offset, void* buffer, std::size_t length) const;
    bool writeAt(std::uint64_t offset, const void* buffer, std::size_t length) const;
    std::uint64_t size() const;
    bool truncate(std::uint64_t length) const;
    bool sync() const;

    // Non-blocking.
    LockResult tryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) const;
    bool lock(std::uint64_t offset, std::uint64_t length, LockKind kind) const {
        return tryLock(offset, length, kind) == LockResult::Held;
    }
    // Waits for the lock; only for locks that others hold briefly. A shared
    // lock is the one a read-only descriptor can take.
    bool lockWait(std::uint64_t offset, std::uint64_t length,
                  LockKind kind = LockKind::Exclusive) const;
    void unlock(std::uint64_t offset, std::uint64_t length) const;
    // True when another handle holds a lock that conflicts with an exclusive one.
    bool lockedByOther(std::uint64_t offset, std::uint64_t length) const;

private:
    int fd_ = -1;
};

// Lock offsets lie far beyond any table's data, so locking never blocks I/O.
namespace lockbyte {
inline constexpr std::uint64_t open = 1'000'000'000'000ULL;   // shared by openers, exclusive open
inline constexpr std::uint64_t header = open + 1;             // appends and change counter
inline constexpr std::uint64_t journal = open + 2;            // journal writer
inline constexpr std::uint64_t records = open + 16;           // + record number
inline constexpr std::uint64_t allRecords = 0x1'0000'0000ULL; // span of "lock all"
} // namespace lockbyte

// A companion file of a table: the table's path with another extension
// ("fpt", "cdx"), in upper case when the table's own extension is.
std::string companionPath(const std::string& tablePath, std::string_view extension);

bool fileExists(const std::string& path);
std::uint64_t fileLength(const std::string& path); // 0 when missing
bool removeFile(const std::string& path);
// Writes a complete file beside `path`, flushes it and renames it over, so that
// neither a reader nor a crash ever sees a half-written file.
bool writeFileAtomically(const std::string& path, const std::string& contents);
// Flushes the folder holding `path`, so that a file just created there keeps
// its name after a power cut.
bool syncFolderOf(const std::string& path);
bool readWholeFile(const std::string& path, std::string& contents);

} // namespace kelo::engine
