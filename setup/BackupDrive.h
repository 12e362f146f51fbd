#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelo::setup {

// The drive a backup is written to or read from. Backups may span several
// removable disks, so the writer asks how much room is left and whether the
// user can change the disk; tests play a small removable disk with a double.
class BackupDrive {
public:
    virtual ~BackupDrive() = default;

    // True when the user can put another disk into the drive holding `path`.
    virtual bool isRemovable(const std::string& path) = 0;
    // Free bytes on the drive holding `path`; nullopt when they cannot be
    // read (for example, no disk in the drive).
    virtual std::optional<std::uint64_t> freeSpace(const std::string& path) = 0;
};

// The real drives of this computer.
class SystemDrive final : public BackupDrive {
public:
    bool isRemovable(const std::string& path) override;
    std::optional<std::uint64_t> freeSpace(const std::string& path) override;
};

// One shared instance; it holds no state.
BackupDrive& systemDrive();

} // namespace kelo::setup
