#include "common/Money.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kelo::common {

double decimalValue(double amount) {
    if (!std::isfinite(amount) || amount == 0)
        return amount;
    // A whole number, or one a unit or two of the last binary place away from
    // it, has that whole number as its 15-digit form.
    const double whole = std::round(amount);
    if (std::fabs(amount - whole) <= 4e-16 * std::fabs(amount) && std::fabs(whole) < 1e15)
        return whole;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, amount, std::chars_format::general, 15);
    double value = amount;
    std::from_chars(buffer, result.ptr, value);
    return value;
}

namespace {
// decimalValue moves an amount by less than a part in 10^14; only an amount
// that close to the point where a rounding changes (a whole number, or a half
// for rounding to nearest) can round differently after it. Anything farther
// takes the quick way, with the same result.
bool nearStep(double amount, double step) {
    const double distance = std::fabs(amount - step);
    return distance <= 1e-12 * std::max(1.0, std::fabs(amount));
}
} // namespace

double decimalOf(float value) {
    if (!std::isfinite(value) || value == 0)
        return value;
    // Most rates and hours have at most two decimals: the nearest float of
    // that decimal is the value itself.
    if (std::fabs(value) < 1e5f) {
        const double hundredths = std::round(static_cast<double>(value) * 100);
        if (static_cast<float>(hundredths / 100) == value)
            return hundredths / 100;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    double decimal = value;
    std::from_chars(buffer, result.ptr, decimal);
    return decimal;
}

double roundShillings(double amount) {
    // std::round rounds halves away from zero, unlike printf's halves-to-even.
    if (std::isfinite(amount) && !nearStep(amount, std::floor(amount) + 0.5))
        return std::round(amount);
    return std::round(decimalValue(amount));
}

double roundCents(double amount) {
    return decimalValue(std::round(decimalValue(decimalValue(amount) * 100)) / 100);
}

double floorShillings(double amount) {
    return std::floor(decimalValue(amount));
}

double truncateShillings(double amount) {
    return std::trunc(decimalValue(amount));
}

double percentOf(double amount, double rate) {
    // The product and quotient are off by a unit or two of the last binary
    // place at most: a result that close to a whole number is that number.
    const double result = amount * rate / 100;
    const double whole = std::round(result);
    return std::fabs(result - whole) <= 1e-15 * std::fabs(result) ? whole : result;
}

double monthlyRate(double yearlyPercent) {
    return decimalValue(yearlyPercent / 1200);
}

std::string fixedText(double value, int decimals) {
    std::string text(32, '\0');
    for (;;) {
        const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                          std::chars_format::fixed, std::max(decimals, 0));
        if (result.ec == std::errc()) {
            text.resize(static_cast<std::size_t>(result.ptr - text.data()));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

std::string withThousands(double amount, int decimals) {
    if (decimals < 0)
        decimals = 0;
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(decimalValue(decimalValue(amount) * scale)) / scale;
    std::string digits = fixedText(std::fabs(rounded), decimals);
    const auto dot = digits.find('.');
    std::string whole = digits.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : digits.substr(dot);
    for (auto i = static_cast<long>(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(static_cast<std::size_t>(i), 1, ',');
    const bool negative = rounded < 0;
    return (negative ? "-" : "") + whole + fraction;
}

bool parseAmount(std::string_view text, double& amount) {
    std::string cleaned;
    for (char c : text) {
        if (c != ',' && c != ' ')
            cleaned.push_back(c);
    }
    if (cleaned.empty()) {
        amount = 0;
        return true;
    }
    // from_chars reads the same whatever locale the program runs in.
    const bool negative = cleaned[0] == '-';
    const std::size_t start = cleaned[0] == '-' || cleaned[0] == '+' ? 1 : 0;
    if (start < cleaned.size() && (cleaned[start] == '-' || cleaned[start] == '+'))
        return false;
    double value = 0;
    const char* end = cleaned.data() + cleaned.size();
    const auto result =
        std::from_chars(cleaned.data() + start, end, value, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return false;
    amount = negative ? -value : value;
    return true;
}

} // namespace kelo::common
