#include "dataexchange/CsvText.h"

#include "dataexchange/ImportPreview.h"

#include <gtest/gtest.h>

namespace kelo::dataexchange {
namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::optional<std::string> text;
};

TEST(CsvText, DecodesUtf8AndWindows1252) {
    const std::vector<DecodeCase> cases{
        {"plain ASCII", "Mushi,Neema", "Mushi,Neema"},
        {"UTF-8 without mark", "Jos\xC3\xA9", "Jos\xC3\xA9"},
        {"UTF-8 with mark", "\xEF\xBB\xBFJos\xC3\xA9", "Jos\xC3\xA9"},
        // é, ü and the euro sign as Windows-1252 bytes.
        {"Windows-1252", "Jos\xE9 M\xFCller \x80", "Jos\xC3\xA9 M\xC3\xBCller \xE2\x82\xAC"},
        {"tab, CR and LF kept", "a\tb\r\nc", "a\tb\r\nc"},
        {"NUL", std::string("a\0b", 3), std::nullopt},
        {"control character",
         "a\x01"
         "b",
         std::nullopt},
        {"byte Windows-1252 lacks", "a\x81", std::nullopt},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(decodeText(c.bytes), c.text) << c.name;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    char separator;
    std::vector<CsvRecord> records;
};

TEST(CsvText, SplitsRecordsAndFields) {
    const std::vector<ReadCase> cases{
        {"comma, CR LF", "A,B\r\n1,2\r\n", ',', {{1, {"A", "B"}}, {2, {"1", "2"}}}},
        {"semicolon, LF", "A;B\n1,5;2\n", ';', {{1, {"A", "B"}}, {2, {"1,5", "2"}}}},
        {"no line end at the end", "A,B\n1,2", ',', {{1, {"A", "B"}}, {2, {"1", "2"}}}},
        {"quotes, doubled quote, separator inside",
         "A,B\n\"x, y\",\"say \"\"hi\"\"\"\n",
         ',',
         {{1, {"A", "B"}}, {2, {"x, y", "say \"hi\""}}}},
        {"line break inside quotes keeps the first row",
         "A,B\n\"one\ntwo\",3\n4,5\n",
         ',',
         {{1, {"A", "B"}}, {2, {"one\ntwo", "3"}}, {4, {"4", "5"}}}},
        {"blank lines skipped, rows still counted", "A\n\n1\n", ',', {{1, {"A"}}, {3, {"1"}}}},
        {"empty fields", "A,B,C\n,,\n", ',', {{1, {"A", "B", "C"}}, {2, {"", "", ""}}}},
    };
    for (const ReadCase& c : cases) {
        CsvFault fault;
        const auto table = readCsv(c.bytes, fault);
        ASSERT_TRUE(table) << c.name << ": " << fault.message;
        EXPECT_EQ(table->separator, c.separator) << c.name;
        EXPECT_EQ(table->records, c.records) << c.name;
    }
}

TEST(CsvText, RefusesWhatIsNoCsv) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "The file is empty."},
        {"\r\n\r\n", "The file is empty."},
        {"\xEF\xBB\xBF", "The file is empty."},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "The file is not a text file."},
        {"A,B\n\"open,1\n", "A quoted field is not closed at the end of the file."},
    };
    for (const auto& [bytes, message] : cases) {
        CsvFault fault;
        EXPECT_FALSE(readCsv(bytes, fault)) << message;
        EXPECT_EQ(fault.message, message);
    }
}

TEST(ImportPreview, RefusalLines) {
    const std::vector<std::pair<ImportRefusal, std::string>> cases{
        {{3, "Start Date", "\"2025-13-01\" is not a date (dd/mm/yyyy)."},
         "Row 3, Start Date: \"2025-13-01\" is not a date (dd/mm/yyyy)."},
        {{2, "", "This row has more fields than the header row."},
         "Row 2: This row has more fields than the header row."},
        {{0, "", "The file is empty."}, "The file is empty."},
    };
    for (const auto& [refusal, line] : cases)
        EXPECT_EQ(refusalLine(refusal), line);
}

} // namespace
} // namespace kelo::dataexchange
