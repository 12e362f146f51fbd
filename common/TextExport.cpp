#include "common/TextExport.h"

#include "common/AtomicFile.h"
#include "common/WorkingFolder.h"

namespace kelo::common {

void TextExport::field(std::string_view value) {
    bytes_ += value;
    bytes_ += '\t';
}

void TextExport::fields(std::initializer_list<std::string_view> values) {
    for (std::string_view value : values)
        field(value);
    endLine();
}

void TextExport::fields(const std::vector<std::string>& values) {
    for (const std::string& value : values)
        field(value);
    endLine();
}

void TextExport::text(std::string_view line) {
    bytes_ += line;
    endLine();
}

FileChoice textExportChoice(const WorkingFolder& folder) {
    FileChoice choice;
    choice.filter = "Text Files (*.txt)";
    choice.defaultExtension = "txt";
    choice.initialFolder = folder.resolve("../exports");
    choice.overwritePrompt = true;
    return choice;
}

bool saveTextExport(Ui& ui, const WorkingFolder& folder, std::string_view bytes) {
    const std::optional<std::string> path = ui.chooseSaveFile(textExportChoice(folder));
    if (!path)
        return false;
    bool written = false;
    {
        const WaitCursor wait(ui);
        written = replaceFileAtomically(*path, bytes);
    }
    if (!written) {
        ui.error("Can't save to " + *path);
        return false;
    }
    return true;
}

} // namespace kelo::common
