#pragma once

#include "common/Ui.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelo::common {

class WorkingFolder;

// Comma-separated text for spreadsheets: UTF-8 with a byte order mark (so
// that spreadsheet programs do not take it for a code page), fields quoted
// when they hold a comma, a quote or a line break, lines ending in CR LF.
class CsvExport {
public:
    CsvExport();
    void row(const std::vector<std::string>& fields);
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// An amount as a spreadsheet reads it: no thousands separators, cents only
// when there are any ("1234567", "2500.50", "-45").
std::string plainAmount(double amount);

// A heading as one line: its line breaks become blanks.
std::string oneLineHeading(std::string_view heading);

// The save dialog of a CSV export: starting in the exports folder, "csv"
// added to a name without an extension, asking before a file is replaced.
FileChoice csvExportChoice(const WorkingFolder& folder);

// Lets the user choose the file and writes `bytes` to it whole or not at
// all. False when the user cancels (no message) or when the file cannot be
// written ("Can't save to %s").
bool saveCsvExport(Ui& ui, const WorkingFolder& folder, std::string_view bytes);

} // namespace kelo::common
