#pragma once

#include "dataexchange/ImportPreview.h"

#include <string>
#include <vector>

namespace kelo::dataexchange {

// What an accepted file would bring in, one line per row under its
// headings, so that the clerk sees what the import will do.
struct ImportListing {
    std::string caption; // the command's name, "Import Employees"
    std::string file;    // the file read
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;
};

// The window that shows a preview before anything is written: how many rows
// were read and refused, every refusal, or else the listing. The program
// shows a dialog; tests script the answer.
class ImportPreviewHost {
public:
    virtual ~ImportPreviewHost() = default;
    // True when the clerk chose to import. A preview that is not accepted is
    // only shown; the import goes no further whatever this answers.
    virtual bool confirmImport(const ImportPreview& preview, const ImportListing& listing) = 0;
};

} // namespace kelo::dataexchange
