#include "common/CsvExport.h"

#include "common/AtomicFile.h"
#include "common/Money.h"
#include "common/TextExport.h"
#include "common/WorkingFolder.h"

#include <cmath>
#include <cstdio>

namespace kelo::common {

namespace {

bool needsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

} // namespace

CsvExport::CsvExport() : bytes_("\xEF\xBB\xBF") {}

void CsvExport::row(const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            bytes_ += ',';
        const std::string& field = fields[i];
        if (!needsQuotes(field)) {
            bytes_ += field;
            continue;
        }
        bytes_ += '"';
        for (char c : field) {
            if (c == '"')
                bytes_ += '"';
            bytes_ += c;
        }
        bytes_ += '"';
    }
    bytes_ += "\r\n";
}

std::string plainAmount(double amount) {
    const double cents = roundCents(amount);
    char text[64];
    const bool whole = std::fabs(cents - std::round(cents)) < 0.005;
    std::snprintf(text, sizeof text, whole ? "%.0f" : "%.2f", whole ? std::round(cents) : cents);
    // "-0" is no amount a clerk wants to see.
    return std::string(text) == "-0" ? "0" : text;
}

std::string oneLineHeading(std::string_view heading) {
    std::string line;
    for (char c : heading) {
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ')
                line += ' ';
        } else {
            line += c;
        }
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

FileChoice csvExportChoice(const WorkingFolder& folder) {
    FileChoice choice = textExportChoice(folder);
    choice.title = "Save as CSV";
    choice.filter = "CSV Files (*.csv)";
    choice.defaultExtension = "csv";
    return choice;
}

bool saveCsvExport(Ui& ui, const WorkingFolder& folder, std::string_view bytes) {
    const std::optional<std::string> path = ui.chooseSaveFile(csvExportChoice(folder));
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
