#pragma once

#include <string>
#include <string_view>

namespace kelo::common {

// Every rounding of a shilling amount goes through these helpers. Amounts are
// doubles; each helper first takes the value's shortest decimal form (15
// significant digits), so that a result such as 35,999.999999999996 that
// stands for 36,000 is treated as 36,000 and never floored to 35,999.

// Nearest whole shilling, halves away from zero.
double roundShillings(double amount);
// Nearest cent, halves away from zero.
double roundCents(double amount);
// Whole shillings towards minus infinity (NSSF, SDL).
double floorShillings(double amount);
// Whole shillings towards zero (PAYE from the bands).
double truncateShillings(double amount);
// The decimal value of `amount` as 15 significant digits: removes the binary
// noise of earlier arithmetic.
double decimalValue(double amount);
// A float (rates, percentages, hours) as the decimal it was keyed as: 3.6f is
// 3.6, not 3.5999999046.
double decimalOf(float value);

// `rate` percent of `amount`; a result whose exact decimal value is whole is
// that whole number: 3.6 % of 1,000,000 is exactly 36,000.
double percentOf(double amount, double rate);
// A yearly interest rate in percent applied for one month.
double monthlyRate(double yearlyPercent);

// printf's "%.*f": `decimals` places, correctly rounded, but always with a
// decimal point whatever the process's locale, so that files written on one
// machine read back on another.
std::string fixedText(double value, int decimals);
// "1,234,567" or "-1,234.50": groups of three digits, rounded to `decimals`.
std::string withThousands(double amount, int decimals = 0);
// Reads a keyed number, ignoring thousands separators and blanks; false when
// the text is not a number (an empty text reads as 0).
bool parseAmount(std::string_view text, double& amount);

} // namespace kelo::common
