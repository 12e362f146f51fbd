#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::dataexchange {

// One record of a CSV file and the row a spreadsheet shows it on: the header
// is row 1. A quoted field may span lines; the record keeps its first row.
struct CsvRecord {
    long row = 0;
    std::vector<std::string> fields;

    friend bool operator==(const CsvRecord&, const CsvRecord&) = default;
};

// A CSV file as read: UTF-8 text, its separator and its records.
struct CsvTable {
    char separator = ',';
    std::vector<CsvRecord> records;
};

// Why a file could not be read as CSV text, in the clerk's words.
struct CsvFault {
    std::string message;
};

// Text as the program keeps it (UTF-8): UTF-8 with or without its byte order
// mark is kept, any other text is taken as Windows-1252 and converted. Text
// holding a NUL or other control characters than tab, CR and LF is no text.
std::optional<std::string> decodeText(std::string_view bytes);

// Reads the file: decodes it, takes ';' as separator when the first line
// holds more of them than commas outside quotes, and splits records on CR
// LF, LF or CR. Blank lines are skipped. Fails on an empty file, binary
// junk, or a quote left open.
std::optional<CsvTable> readCsv(std::string_view bytes, CsvFault& fault);

} // namespace kelo::dataexchange
