#pragma once

#include "common/Ui.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::common {

class WorkingFolder;

// The text a report exports: lines ending in CR LF, each field followed by a
// tab, so that a spreadsheet opens the columns where the page has them. Text
// stays UTF-8 as the program holds it.
class TextExport {
public:
    // Each field followed by a tab.
    void fields(std::initializer_list<std::string_view> values);
    void fields(const std::vector<std::string>& values);
    // A line written as it stands, for lines whose tabs the report places.
    void text(std::string_view line);
    void emptyLine() { text({}); }

    const std::string& bytes() const { return bytes_; }

private:
    void field(std::string_view value);
    void endLine() { bytes_ += "\r\n"; }

    std::string bytes_;
};

// The save dialog every text export opens: text files, "txt" added to a name
// without an extension, starting in the data folder's exports folder
// (beside the organisation's folder), asking before a file is replaced.
FileChoice textExportChoice(const WorkingFolder& folder);

// Lets the user choose the file and writes `bytes` to it under the wait
// cursor. False when the user cancels (no message) or when the file cannot
// be written ("Can't save to %s").
bool saveTextExport(Ui& ui, const WorkingFolder& folder, std::string_view bytes);

} // namespace kelo::common
