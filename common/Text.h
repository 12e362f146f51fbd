#pragma once

#include <string>
#include <string_view>

namespace kelo::common {

// Employee numbers are keys of up to 19 characters.
inline constexpr std::size_t employeeNumberWidth = 19;

// The form a tag on UPPER(EmpNo) is sought with: upper case, blank-padded
// (or cut) to 19 characters.
std::string employeeKey(std::string_view employeeNumber);
std::string toUpper(std::string_view text); // ASCII letters only
// `text` cut to at most `width` bytes without splitting a UTF-8 character:
// columns are measured in bytes.
std::string_view fitText(std::string_view text, std::size_t width);
std::string trimRight(std::string_view text);
std::string trim(std::string_view text);
// Case-blind comparison of ASCII text.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

} // namespace kelo::common
