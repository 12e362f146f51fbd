#include "dataexchange/CsvText.h"

#include <array>
#include <cstdint>

namespace kelo::dataexchange {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Windows-1252's 0x80 to 0x9F; 0 where the code page has no character.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        std::size_t extra = 0;
        std::uint32_t value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            value = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            value = lead & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<std::uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode.
        if ((extra == 2 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
            (extra == 3 && (value < 0x10000 || value > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

std::optional<std::string> fromWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char byte : text) {
        const auto c = static_cast<std::uint8_t>(byte);
        if (c >= 0x80 && c <= 0x9F) {
            const char32_t mapped = kHighControls[c - 0x80];
            if (mapped == 0)
                return std::nullopt;
            appendUtf8(out, mapped);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

bool isControl(char c) {
    const auto u = static_cast<std::uint8_t>(c);
    return (u < 0x20 && c != '\t' && c != '\r' && c != '\n') || u == 0x7F;
}

// The separator of the first line: the one that occurs more often outside
// quotes, a comma when neither does.
char separatorOf(std::string_view text) {
    std::size_t commas = 0, semicolons = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

bool blankRecord(const std::vector<std::string>& fields) {
    return fields.size() == 1 && fields.front().empty();
}

} // namespace

std::optional<std::string> decodeText(std::string_view bytes) {
    if (bytes.starts_with(kBom))
        bytes.remove_prefix(kBom.size());
    std::optional<std::string> text;
    if (isUtf8(bytes))
        text = std::string(bytes);
    else
        text = fromWindows1252(bytes);
    if (!text)
        return std::nullopt;
    for (char c : *text) {
        if (isControl(c))
            return std::nullopt;
    }
    return text;
}

std::optional<CsvTable> readCsv(std::string_view bytes, CsvFault& fault) {
    const std::optional<std::string> text = decodeText(bytes);
    if (!text) {
        fault.message = "The file is not a text file.";
        return std::nullopt;
    }
    CsvTable table;
    table.separator = separatorOf(*text);
    const std::string& t = *text;
    long row = 1;
    CsvRecord record{row, {std::string()}};
    bool quoted = false;
    bool wasQuoted = false;
    const auto endRecord = [&] {
        if (!blankRecord(record.fields))
            table.records.push_back(std::move(record));
        record = CsvRecord{row, {std::string()}};
    };
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (quoted) {
            if (c == '"' && i + 1 < t.size() && t[i + 1] == '"') {
                record.fields.back().push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n' || (c == '\r' && !(i + 1 < t.size() && t[i + 1] == '\n')))
                    ++row;
                record.fields.back().push_back(c);
            }
        } else if (c == '"' && record.fields.back().empty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
        } else if (c == table.separator) {
            record.fields.emplace_back();
            wasQuoted = false;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
                ++i;
            ++row;
            endRecord();
            wasQuoted = false;
        } else {
            record.fields.back().push_back(c);
        }
    }
    if (quoted) {
        fault.message = "A quoted field is not closed at the end of the file.";
        return std::nullopt;
    }
    endRecord();
    if (table.records.empty()) {
        fault.message = "The file is empty.";
        return std::nullopt;
    }
    return table;
}

} // namespace kelo::dataexchange
