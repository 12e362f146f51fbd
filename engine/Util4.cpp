#include "engine/Util4.h"

#include "engine/Field4.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kelo::engine {

namespace {
std::string justify(std::string text, std::size_t width, char fill) {
    if (text.size() > width)
        return std::string(width, '*');
    if (fill == '0' && !text.empty() && text[0] == '-')
        return "-" + std::string(width - text.size(), '0') + text.substr(1);
    return std::string(width - text.size(), fill) + text;
}
} // namespace

long atol4(std::string_view text) {
    const std::string copy(text);
    return std::strtol(copy.c_str(), nullptr, 10);
}

double atof4(std::string_view text) {
    std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return 0;
    bool negative = false;
    if (text[start] == '+' || text[start] == '-') {
        negative = text[start] == '-';
        ++start;
    }
    // from_chars takes a sign of its own; a second one is no number.
    if (start < text.size() && (text[start] == '+' || text[start] == '-'))
        return 0;
    double value = 0;
    const char* first = text.data() + start;
    const auto result =
        std::from_chars(first, text.data() + text.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0;
    return negative ? -value : value;
}

std::string ltoa4(long value, int width) {
    const bool zeros = width < 0;
    const auto size = static_cast<std::size_t>(zeros ? -width : width);
    return justify(std::to_string(value), size, zeros ? '0' : ' ');
}

std::string dtoa4(double value, int width, int decimals) {
    const unsigned places = decimals < 0 ? 0u : static_cast<unsigned>(decimals);
    return justify(formatFixed(value, places), static_cast<std::size_t>(width < 0 ? 0 : width),
                   ' ');
}

void upper4(std::string& text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string boundedCopy(std::string_view text, std::size_t capacity) {
    if (capacity == 0)
        return {};
    return std::string(text.substr(0, capacity - 1));
}

} // namespace kelo::engine
