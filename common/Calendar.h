#pragma once

#include <string>
#include <string_view>

namespace kelo::common {

// Months are numbered 1 (January) to 12 (December).
const std::string& monthName(int month); // empty for a number out of range
int monthNumber(std::string_view name);  // 0 when the name is no month; case-blind
bool isLeapYear(int year);
int daysInMonth(int month, int year);
// The fiscal year runs July to June and is named by the year it begins in.
int fiscalYearOf(int month, int year);
// First half year: January to June.
bool isFirstHalfYear(int month);

} // namespace kelo::common
