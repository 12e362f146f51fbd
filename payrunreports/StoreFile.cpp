#include "payrunreports/StoreFile.h"

#include "payrunreports/PeriodFormat.h"

namespace kelo::payrunreports {

bool checkStoreFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                    const common::ORGREC& org, common::TaggedReader& reader,
                    UnnamedFolder unnamed) {
    const std::string resolved = folder.resolve(path);
    if (!common::checkFileId(ui, resolved, path))
        return false;
    if (!reader.open(resolved)) {
        ui.error("Unable to open " + path);
        return false;
    }
    const std::string writtenFor = writtenForFolder(reader.bytes(), path);
    const bool foreign = writtenFor.empty()
                             ? unnamed == UnnamedFolder::Refused
                             : !common::WorkingFolder::samePath(
                                   writtenFor, common::WorkingFolder::normalise(org.folder));
    if (foreign) {
        ui.error("File \"" + path + "\" was written for another organisation" +
                 (writtenFor.empty() ? std::string(".") : " (" + writtenFor + ")."));
        reader.close();
        return false;
    }
    return true;
}

} // namespace kelo::payrunreports
