#include "engine/Field4.h"

#include "engine/Data4.h"
#include "engine/DbfHeader.h"
#include "engine/Util4.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace kelo::engine {

namespace {
// Keyed numbers may carry thousands separators.
std::string parseable(std::string_view text) {
    std::string copy;
    copy.reserve(text.size());
    for (char c : text) {
        if (c != ',')
            copy.push_back(c);
    }
    return copy;
}

double textToDouble(std::string_view text) {
    return atof4(parseable(text));
}

long textToLong(std::string_view text) {
    const std::string copy = parseable(text);
    return std::strtol(copy.c_str(), nullptr, 10);
}

// Truncates toward zero; values beyond long (and NaN) would be undefined behaviour.
long truncateToLong(double value) {
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (std::isnan(value))
        return 0;
    if (value >= limit)
        return std::numeric_limits<long>::max();
    if (value <= -limit)
        return std::numeric_limits<long>::min();
    return static_cast<long>(value);
}

double readDouble(const char* p) {
    double value = 0;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Rounds the decimal digits of `digits` (no sign, at most one '.') at
// `decimals` places, halves away from zero. Builds the result in place: this
// runs for every numeric field of every record written.
std::string roundDecimalText(std::string_view digits, unsigned decimals) {
    const auto dot = digits.find('.');
    const std::string_view whole = digits.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : digits.substr(dot + 1);
    const bool roundUp = fraction.size() > decimals && fraction[decimals] >= '5';
    std::string all;
    all.reserve(whole.size() + decimals + 3);
    all.append(whole);
    all.append(fraction.substr(0, decimals));
    all.append(decimals - std::min<std::size_t>(fraction.size(), decimals), '0');
    if (roundUp) {
        int i = static_cast<int>(all.size()) - 1;
        for (; i >= 0; --i) {
            if (all[static_cast<std::size_t>(i)] == '9') {
                all[static_cast<std::size_t>(i)] = '0';
            } else {
                ++all[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0)
            all.insert(all.begin(), '1');
    }
    std::size_t wholeLength = all.size() - decimals;
    if (wholeLength == 0) {
        all.insert(all.begin(), '0');
        wholeLength = 1;
    }
    if (decimals > 0)
        all.insert(wholeLength, 1, '.');
    return all;
}
// A minus sign unless the rounded text is zero.
std::string withSign(double value, std::string rounded) {
    if (value < 0 && rounded.find_first_not_of("0.") != std::string::npos)
        rounded.insert(rounded.begin(), '-');
    return rounded;
}

__extension__ typedef unsigned __int128 Wide;

constexpr std::array<std::uint64_t, 20> powersOfTen = [] {
    std::array<std::uint64_t, 20> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * 10;
    return p;
}();

// The value %.15g prints for `magnitude`, as `digits` / 10^`scale`, computed
// exactly in integers. False where %.15g would use an exponent, on an exact
// tie (left to printf's own rule) and outside [1e-4, 1e15).
bool fifteenDigits(double magnitude, std::uint64_t& digits, int& scale) {
    if (!(magnitude >= 1e-4 && magnitude < 1e15))
        return false;
    int exponent = 0;
    const auto mantissa =
        static_cast<std::uint64_t>(std::ldexp(std::frexp(magnitude, &exponent), 53));
    const int shift = 53 - exponent; // magnitude == mantissa / 2^shift exactly
    if (shift < 1 || shift > 75)
        return false;
    static constexpr double bounds[] = {1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,  1e5, 1e6,
                                        1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    int tens = -4; // floor(log10(magnitude)); checked exactly below
    while (tens < 14 && magnitude >= bounds[tens + 4])
        ++tens;
    scale = 14 - tens;
    const Wide product = static_cast<Wide>(mantissa) * powersOfTen[static_cast<std::size_t>(scale)];
    if (product < static_cast<Wide>(powersOfTen[14]) << shift ||
        product >= static_cast<Wide>(powersOfTen[15]) << shift)
        return false;
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    const Wide rest = product & ((static_cast<Wide>(1) << shift) - 1);
    if (rest == half)
        return false;
    digits = static_cast<std::uint64_t>(product >> shift) + (rest > half ? 1 : 0);
    return !(tens == 14 && digits == powersOfTen[15]); // would print 1e+15
}

// formatFixed for values fifteenDigits() handles: the same decimal rounding
// as roundDecimalText, on integers.
std::string roundFifteenDigits(double value, std::uint64_t digits, int scale, unsigned decimals) {
    const auto places = static_cast<int>(decimals);
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0;
    if (places >= scale) {
        whole = digits / powersOfTen[static_cast<std::size_t>(scale)];
        fraction = digits % powersOfTen[static_cast<std::size_t>(scale)] *
                   powersOfTen[static_cast<std::size_t>(places - scale)];
    } else {
        const auto dropped = static_cast<std::size_t>(scale - places);
        std::uint64_t kept = digits / powersOfTen[dropped];
        if (digits / powersOfTen[dropped - 1] % 10 >= 5)
            ++kept;
        whole = kept / powersOfTen[decimals];
        fraction = kept % powersOfTen[decimals];
    }
    char buffer[48];
    char* end = buffer;
    if (value < 0 && (whole != 0 || fraction != 0))
        *end++ = '-';
    end = std::to_chars(end, buffer + sizeof buffer, whole).ptr;
    if (decimals > 0) {
        *end++ = '.';
        char* digitsEnd = end + decimals;
        for (char* p = digitsEnd; p != end; fraction /= 10)
            *--p = static_cast<char>('0' + fraction % 10);
        end = digitsEnd;
    }
    return std::string(buffer, end);
}
} // namespace

std::string formatFixed(double value, unsigned decimals) {
    if (!std::isfinite(value))
        return {};
    const double magnitude = std::fabs(value);
    // Most field values take the integer path; it gives the same text as the
    // printing below, which runs for the rest.
    std::uint64_t digits = 0;
    int scale = 0;
    if (decimals <= 18 && fifteenDigits(magnitude, digits, scale))
        return roundFifteenDigits(value, digits, scale, decimals);
    // to_chars prints exactly as printf's %.15g and %.*f, without its locale
    // and multi-precision cost; the buffer holds any double in fixed notation.
    char buffer[400];
    auto printed =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::general, 15);
    std::string_view text(buffer, static_cast<std::size_t>(printed.ptr - buffer));
    if (text.find('e') != std::string_view::npos) {
        printed = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed,
                                static_cast<int>(std::min(decimals + 3, 30u)));
        text = std::string_view(buffer, static_cast<std::size_t>(printed.ptr - buffer));
    }
    return withSign(value, roundDecimalText(text, decimals));
}

Field4::Field4(Data4& table, const FieldDesc& desc, int position)
    : table_(&table),
      desc_(desc),
      position_(position) {}

char* Field4::bytes() {
    return table_->record_.data() + desc_.offset;
}

const char* Field4::bytes() const {
    return table_->record_.data() + desc_.offset;
}

std::string_view Field4::raw() const {
    return {bytes(), desc_.length};
}

const char* Field4::ptr() const {
    return bytes();
}

std::string Field4::str() const {
    switch (desc_.type) {
    case 'I':
        return std::to_string(static_cast<std::int32_t>(readLE32(bytes())));
    case 'B':
        return formatFixed(readDouble(bytes()), desc_.decimals);
    case 'M':
    case 'X':
        return table_->memoText(*this);
    case 'Y':
    case 'T':
        return getDateTime();
    default:
        return std::string(raw());
    }
}

std::string Field4::trimmed() const {
    std::string text = str();
    if (desc_.type == 'X')
        return text;
    const auto end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

long Field4::getLong() const {
    switch (desc_.type) {
    case 'I':
        return static_cast<std::int32_t>(readLE32(bytes()));
    case 'B':
    case 'Y':
        return truncateToLong(getDouble());
    case 'L':
        return getLogical() ? 1 : 0;
    case 'M':
    case 'X':
        return textToLong(str());
    default:
        return textToLong(raw());
    }
}

int Field4::getInt() const {
    return static_cast<int>(getLong());
}

double Field4::getDouble() const {
    switch (desc_.type) {
    case 'I':
        return static_cast<std::int32_t>(readLE32(bytes()));
    case 'B':
        return readDouble(bytes());
    case 'Y': {
        std::int64_t units = 0;
        std::memcpy(&units, bytes(), sizeof units);
        return static_cast<double>(units) / 10000.0;
    }
    case 'L':
        return getLogical() ? 1 : 0;
    case 'M':
    case 'X':
        return textToDouble(str());
    default:
        return textToDouble(raw());
    }
}

double Field4::getCurrency() const {
    return getDouble();
}

std::string Field4::getDateTime() const {
    if (desc_.type == 'Y')
        return formatFixed(getDouble(), 4);
    if (desc_.type != 'T')
        return std::string(raw());
    const std::int32_t julian = static_cast<std::int32_t>(readLE32(bytes()));
    const std::int32_t millis = static_cast<std::int32_t>(readLE32(bytes() + 4));
    if (julian == 0)
        return std::string(16, ' ');
    // Julian day number to civil date.
    long a = julian + 32044;
    const long b = (4 * a + 3) / 146097;
    const long c = a - 146097 * b / 4;
    const long d = (4 * c + 3) / 1461;
    const long e = c - 1461 * d / 4;
    const long m = (5 * e + 2) / 153;
    const long day = e - (153 * m + 2) / 5 + 1;
    const long month = m + 3 - 12 * (m / 10);
    const long year = 100 * b + d - 4800 + m / 10;
    const long seconds = millis / 1000;
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04ld%02ld%02ld%02ld:%02ld:%02ld", year, month, day,
                  seconds / 3600, seconds / 60 % 60, seconds % 60);
    return buffer;
}

bool Field4::getLogical() const {
    const char c = bytes()[0];
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

void Field4::storeText(std::string_view text) {
    char* out = bytes();
    const std::size_t n = std::min<std::size_t>(text.size(), desc_.length);
    std::memcpy(out, text.data(), n);
    std::memset(out + n, ' ', desc_.length - n);
    table_->changed_ = true;
}

void Field4::assign(std::string_view text) {
    switch (desc_.type) {
    case 'N':
    case 'F':
    case 'B':
        assignDouble(textToDouble(text));
        return;
    case 'I':
        assignLong(textToLong(text));
        return;
    case 'L': {
        const char c = text.empty() ? 'F' : text[0];
        assignLogical(c == 'T' || c == 't' || c == 'Y' || c == 'y');
        return;
    }
    case 'M':
    case 'X':
        memoAssign(text);
        return;
    default:
        storeText(text);
    }
}

void Field4::assignLong(long value) {
    switch (desc_.type) {
    case 'I':
        writeLE32(bytes(), static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
        table_->changed_ = true;
        return;
    case 'N':
    case 'F':
    case 'B':
        assignDouble(static_cast<double>(value));
        return;
    case 'L':
        assignLogical(value != 0);
        return;
    default:
        assign(std::to_string(value));
    }
}

void Field4::assignDouble(double value) {
    switch (desc_.type) {
    case 'B':
        std::memcpy(bytes(), &value, sizeof value);
        table_->changed_ = true;
        return;
    case 'I':
        assignLong(static_cast<long>(std::llround(value)));
        return;
    case 'N':
    case 'F': {
        std::string text = formatFixed(value, desc_.decimals);
        if (text.size() > desc_.length)
            text.assign(desc_.length, '*'); // the xBase mark of a value too wide
        char* out = bytes();
        std::memset(out, ' ', desc_.length - text.size());
        std::memcpy(out + desc_.length - text.size(), text.data(), text.size());
        table_->changed_ = true;
        return;
    }
    case 'L':
        assignLogical(value != 0);
        return;
    default:
        assign(formatFixed(value, desc_.decimals));
    }
}

void Field4::assignLogical(bool value) {
    if (desc_.type == 'L') {
        bytes()[0] = value ? 'T' : 'F';
        table_->changed_ = true;
        return;
    }
    assignLong(value ? 1 : 0);
}

void Field4::assignField(const Field4& from) {
    if (from.type() == type() && from.length() == length() && from.decimals() == decimals() &&
        !isMemo()) {
        std::memcpy(bytes(), from.bytes(), desc_.length);
        table_->changed_ = true;
        return;
    }
    switch (from.type()) {
    case 'I':
    case 'B':
    case 'N':
    case 'F':
    case 'Y':
        if (type() != 'C' && type() != 'M' && type() != 'X') {
            assignDouble(from.getDouble());
            return;
        }
        break;
    default:
        break;
    }
    assign(from.trimmed());
}

void Field4::assignNotNull() {
    table_->changed_ = true;
}

void Field4::memoAssign(const char* data, std::size_t length) {
    if (!isMemo()) {
        assign(std::string_view(data, length));
        return;
    }
    table_->setMemo(*this, std::string(data, length));
}

std::size_t Field4::memoLen() const {
    return isMemo() ? str().size() : desc_.length;
}

} // namespace kelo::engine
