#pragma once

#include "common/ReportRecords.h"

#include <string>
#include <string_view>

namespace kelo::common {

// Dates as the forms show and take them: "dd/mm/yyyy". A blank date (year
// 0) is an empty text. A birth date may lack its day, or day and month:
// "mm/yyyy", "yyyy".
std::string formatDate(const date& d);

// Reads "d/m/yyyy" (also with "-" or "." between the parts); an empty text
// gives the blank date. False for anything else, or a day the month does
// not have, or a year outside 1900 to 3000.
bool parseDate(std::string_view text, date& out);

} // namespace kelo::common
