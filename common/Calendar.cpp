#include "common/Calendar.h"

#include <array>
#include <cctype>

namespace kelo::common {

namespace {
const std::array<std::string, 12> kMonths = {"January",   "February", "March",    "April",
                                             "May",       "June",     "July",     "August",
                                             "September", "October",  "November", "December"};
} // namespace

const std::string& monthName(int month) {
    static const std::string none;
    return month >= 1 && month <= 12 ? kMonths[static_cast<std::size_t>(month - 1)] : none;
}

int monthNumber(std::string_view name) {
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        const std::string& month = kMonths[i];
        if (month.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t j = 0; j < name.size() && same; ++j)
            same = std::tolower(static_cast<unsigned char>(name[j])) ==
                   std::tolower(static_cast<unsigned char>(month[j]));
        if (same)
            return static_cast<int>(i + 1);
    }
    return 0;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int month, int year) {
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[static_cast<std::size_t>(month - 1)];
}

int fiscalYearOf(int month, int year) {
    return month >= 7 ? year : year - 1;
}

bool isFirstHalfYear(int month) {
    return month >= 1 && month <= 6;
}

} // namespace kelo::common
