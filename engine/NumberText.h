#pragma once

#include <string>
#include <string_view>

namespace gustrule {

// The decimal separator used when reading numbers (never when writing them). One character for
// the whole process, "." until set; the window sets it from the user's regional settings.
// Throws std::invalid_argument for a value that is not a Unicode scalar value.
void SetDecimalSeparator(char32_t separator);
char32_t DecimalSeparator();

// Reads a whole text (UTF-8) as a number:
//   blanks (code 32 only), at most one sign, a mantissa of digits with at most one decimal
//   separator (at least one digit or the separator), optionally "E"/"e" with an optional sign and
//   digits (taken while the exponent is below 500; none counts as 0), blanks, end of text.
// The value is built in extended arithmetic (number * 10 + digit, each step rounded), scaled by
// powers of ten and rounded to the nearest double.
// Returns the value; throws EConvertError when the text does not read, EOverflow when the value
// is beyond the double range. Below the double range it gives a subnormal or zero.
// Examples with "." as separator: " 7 " -> 7, "-." -> -0, "1e" -> 1, "5e-3" -> 0.005,
// "2e1000" throws EOverflow, "2e10000" and "1,5" throw EConvertError.
double TextToNumber(std::string_view text);

// TextToNumber, with an unreadable text giving `fallback` instead. EOverflow passes through.
// Examples: ReadNumber("183.7", 0) == 183.7, ReadNumber("", 0.0001) == 0.0001,
// ReadNumber("0x10", 3) == 3.
double ReadNumber(std::string_view text, double fallback);

// A double as the text of a grid cell with `decimals` decimals and "." as the decimal point:
//   the 17-decimal rounding of the value (ties to even) is rounded again, half away from zero,
//   to `decimals` decimals; the sign is the sign bit, so -0.0 and -0.001 show a "-".
// From 2^120 on, the scientific form with four significant digits: d.dddE+xxxx.
// Examples: FormatFixed(0.015, 2) == "0.02", FormatFixed(2.5, 0) == "3",
// FormatFixed(-0.001, 2) == "-0.00", FormatFixed(1.5e40, 2) == "1.500E+0040".
std::string FormatFixed(double value, int decimals);
// FormatFixed accepts 0 to this many decimals and throws std::invalid_argument beyond.
constexpr int kMaxDecimals = 30;

} // namespace gustrule
