#pragma once

#include <string>
#include <string_view>

namespace kelo::common {

// A file written beside its final name and renamed over it only when every
// byte is on the disk, so that a kill or a power cut leaves either the old
// file or the new one, never an empty or half-written one. The scratch name is
// unique, so several programs replacing one file at once never write into each
// other's scratch file; the last rename wins whole.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile(); // an uncommitted scratch file is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the scratch file for `path`; false when the folder refuses it.
    bool open(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    bool write(std::string_view bytes);
    // Flushes the scratch file to the disk and renames it over the final
    // name; false (and the old file untouched) when any step failed.
    bool commit();
    // Drops the scratch file; the old file stays.
    void discard();

private:
    int fd_ = -1;
    bool good_ = false;
    std::string path_;
    std::string scratch_;
};

// The whole of `contents` as the new `path`, through an AtomicFile.
bool replaceFileAtomically(const std::string& path, std::string_view contents);

} // namespace kelo::common
