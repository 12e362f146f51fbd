#pragma once

#include "common/OrgRecords.h"
#include "engine/TableFile.h"

#include <optional>
#include <string>
#include <vector>

namespace kelo::procedures {

// A copy of an organisation's folder, with its record, taken on the same
// disk before the month end changes anything, and the marker that the
// month end is under way. The copy lives in the data folder's "monthend"
// folder ("monthend/org03/files"); the marker beside it is written last,
// whole, after every copied byte is on the disk, so a marker always means a
// complete copy. A folder without a marker is a copy that never finished
// and means nothing.
class RecoveryPoint {
public:
    // `orgPath` is the organisation's folder, absolute.
    RecoveryPoint(const std::string& dataFolder, const std::string& orgPath);

    const std::string& path() const { return path_; }
    // The folder a month end into July may make ("../system/2026"), with
    // whether it existed before.
    struct Marker {
        common::ORGREC org;
        std::string newStatutoryFolder; // absolute; empty unless the month is June
        bool statutoryFolderExisted = true;
        std::vector<std::string> statutoryFiles; // the names it held then
        bool periodEnd = false;                  // else a month end
    };

    // Copies the folder and writes the marker; false (and nothing left
    // behind) when the copy or the marker cannot be made.
    bool make(const Marker& marker);
    // The marker of a month end under way; nullopt when there is none.
    std::optional<Marker> marker() const;
    // Puts the copied folder back in place of the organisation's folder, and
    // removes the statutory folder, or the files in it, the month end made. The marker stays until
    // drop(), so an interrupted restore is made again.
    bool restore(const Marker& marker) const;
    // The marker first, then the copy.
    void drop() const;

    // Held for as long as the month end that made the recovery point runs,
    // so that another workstation opening the organisation meanwhile leaves
    // it alone; a killed program holds nothing. False when another program
    // holds it.
    bool hold();
    void release();
    bool heldElsewhere() const;

private:
    std::string markerPath() const;
    std::string filesPath() const;
    std::string lockPath() const;
    static void removeNewStatutoryFiles(const Marker& marker);

    std::string orgPath_;
    std::string path_;
    engine::TableFile lock_;
};

// The data folder's folder of recovery points.
inline constexpr const char* kRecoveryFolder = "monthend";

} // namespace kelo::procedures
