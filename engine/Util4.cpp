#include "engine/Util4.h"

#include "engine/Field4.h"

#include <cctype>
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
