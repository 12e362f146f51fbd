#include "common/Text.h"

#include <cctype>

namespace kelo::common {

std::string toUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string_view fitText(std::string_view text, std::size_t width) {
    if (text.size() <= width)
        return text;
    std::size_t cut = width;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

std::string employeeKey(std::string_view employeeNumber) {
    std::string key = toUpper(employeeNumber.substr(0, employeeNumberWidth));
    key.resize(employeeNumberWidth, ' ');
    return key;
}

std::string trimRight(std::string_view text) {
    const auto end = text.find_last_not_of(" \t\r\n");
    return std::string(end == std::string_view::npos ? std::string_view()
                                                     : text.substr(0, end + 1));
}

std::string trim(std::string_view text) {
    const auto start = text.find_first_not_of(" \t\r\n");
    return start == std::string_view::npos ? std::string() : trimRight(text.substr(start));
}

namespace {
// ASCII only, whatever the locale: field names and codes are ASCII, and a
// byte of a UTF-8 sequence is never a letter on its own. The library's
// tolower goes through the locale for every byte, which the table columns'
// lookups by name felt.
constexpr unsigned char asciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}
} // namespace

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(static_cast<unsigned char>(a[i])) !=
            asciiLower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace kelo::common
