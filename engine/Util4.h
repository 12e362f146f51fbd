#pragma once

#include <string>
#include <string_view>

namespace kelo::engine {

// The small text conversions callers of the engine use around field values.

// Leading blanks skipped, stops at the first non-digit; 0 when there is none.
long atol4(std::string_view text);
// The number at the start of `text` (leading blanks and a sign allowed), read
// the same whatever the process's locale; 0 when there is none.
double atof4(std::string_view text);
// Right-justified in `width` characters, blank-filled; a negative width fills
// with zeros instead. Too wide a value gives asterisks, as a numeric field does.
std::string ltoa4(long value, int width);
// Fixed-point text rounded half away from zero, right-justified in `width`.
std::string dtoa4(double value, int width, int decimals);
// Upper-cases ASCII letters.
void upper4(std::string& text);
// At most `capacity - 1` characters, as a copy into a terminated buffer keeps.
std::string boundedCopy(std::string_view text, std::size_t capacity);

} // namespace kelo::engine
