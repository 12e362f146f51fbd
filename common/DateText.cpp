#include "common/DateText.h"

#include "common/Calendar.h"
#include "common/Text.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace kelo::common {

namespace {

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 3000;

bool readNumber(std::string_view text, int& value) {
    if (text.empty() || text.size() > 4)
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> parts(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '/' || text[i] == '-' || text[i] == '.') {
            out.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

} // namespace

std::string formatDate(const date& d) {
    if (d.year == 0)
        return {};
    char text[16];
    if (d.month == 0)
        std::snprintf(text, sizeof text, "%04d", d.year);
    else if (d.day == 0)
        std::snprintf(text, sizeof text, "%02d/%04d", d.month, d.year);
    else
        std::snprintf(text, sizeof text, "%02d/%02d/%04d", d.day, d.month, d.year);
    return text;
}

bool parseDate(std::string_view text, date& out) {
    const std::string trimmed = trim(text);
    if (trimmed.empty()) {
        out = date{};
        return true;
    }
    const auto fields = parts(trimmed);
    int day = 0, month = 0, year = 0;
    if (fields.size() != 3 || !readNumber(fields[0], day) || !readNumber(fields[1], month) ||
        !readNumber(fields[2], year))
        return false;
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(month, year))
        return false;
    out = date{year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
    return true;
}

} // namespace kelo::common
