#include "procedures/RecoveryPoint.h"

#include "common/AtomicFile.h"
#include "procedures/RecoveryCopy.h"
#include "procedures/RecoveryMarker.h"

#include <algorithm>
#include <filesystem>

namespace kelo::procedures {

namespace fs = std::filesystem;

RecoveryPoint::RecoveryPoint(const std::string& dataFolder, const std::string& orgPath)
    : orgPath_(fs::path(orgPath).lexically_normal().string()) {
    if (!orgPath_.empty() && orgPath_.back() == '/')
        orgPath_.pop_back();
    path_ = (fs::path(dataFolder) / kRecoveryFolder / fs::path(orgPath_).filename()).string();
}

std::string RecoveryPoint::markerPath() const {
    return path_ + "/marker.txt";
}

std::string RecoveryPoint::filesPath() const {
    return path_ + "/files";
}

bool RecoveryPoint::make(const Marker& marker) {
    std::error_code error;
    fs::remove_all(path_, error);
    fs::create_directories(path_, error);
    const bool made = !error && copyTreeDurably(orgPath_, filesPath()) &&
                      common::replaceFileAtomically(markerPath(), writeMarker(marker));
    if (!made)
        fs::remove_all(path_, error);
    return made;
}

std::optional<RecoveryPoint::Marker> RecoveryPoint::marker() const {
    return readMarker(markerPath());
}

bool RecoveryPoint::restore(const Marker& marker) const {
    const std::string restoring = orgPath_ + ".restoring";
    std::error_code error;
    fs::remove_all(restoring, error);
    if (!copyTreeDurably(filesPath(), restoring))
        return false;
    fs::remove_all(orgPath_, error);
    if (error)
        return false;
    fs::rename(restoring, orgPath_, error);
    if (error)
        return false;
    removeNewStatutoryFiles(marker);
    return true;
}

void RecoveryPoint::removeNewStatutoryFiles(const Marker& marker) {
    std::error_code error;
    if (marker.newStatutoryFolder.empty())
        return;
    if (!marker.statutoryFolderExisted) {
        fs::remove_all(marker.newStatutoryFolder, error);
        return;
    }
    std::vector<fs::path> made;
    for (fs::directory_iterator it(marker.newStatutoryFolder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (std::find(marker.statutoryFiles.begin(), marker.statutoryFiles.end(), name) ==
            marker.statutoryFiles.end())
            made.push_back(it->path());
    }
    for (const fs::path& file : made)
        fs::remove_all(file, error);
}

std::string RecoveryPoint::lockPath() const {
    return path_ + ".lock";
}

bool RecoveryPoint::hold() {
    std::error_code error;
    fs::create_directories(fs::path(path_).parent_path(), error);
    if (!lock_.open(lockPath(), true) && !lock_.create(lockPath()))
        return false;
    if (lock_.lock(0, 1, engine::TableFile::LockKind::Exclusive))
        return true;
    lock_.close();
    return false;
}

void RecoveryPoint::release() {
    lock_.close();
}

bool RecoveryPoint::heldElsewhere() const {
    engine::TableFile probe;
    if (!probe.open(lockPath(), true))
        return false;
    return probe.tryLock(0, 1, engine::TableFile::LockKind::Exclusive) ==
           engine::TableFile::LockResult::Busy;
}

void RecoveryPoint::drop() const {
    std::error_code error;
    fs::remove(markerPath(), error);
    fs::remove_all(path_, error);
}

} // namespace kelo::procedures
