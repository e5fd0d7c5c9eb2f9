// Input: eight bytes of a double (non-finite values are skipped) and one byte whose low two bits
// give the decimals, 0 to 3. FormatFixed must produce
//   below 2^120: -?[0-9]+(\.[0-9]{d})? with no leading zeros, reading back within half a unit
//                of the last decimal;
//   from 2^120:  -?[1-9]\.[0-9]{3}E\+[0-9]{4}, describing |value| within 0.1%;
// with the "-" exactly when the sign bit is set.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "Extended.h"
#include "Failures.h"
#include "NumberText.h"

namespace {

[[noreturn]] void Fail() {
  __builtin_trap();
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
int DigitValue(char c) {
  return c - '0';
}

bool IsFixed(std::string_view text, int decimals) {
  std::size_t i = 0;
  const std::size_t integerStart = i;
  while (i < text.size() && IsDigit(text[i])) {
    ++i;
  }
  const std::size_t integerDigits = i - integerStart;
  if (integerDigits == 0 || (integerDigits > 1 && text[integerStart] == '0')) {
    return false;
  }
  if (decimals == 0) {
    return i == text.size();
  }
  if (i == text.size() || text[i] != '.') {
    return false;
  }
  ++i;
  const std::size_t fractionStart = i;
  while (i < text.size() && IsDigit(text[i])) {
    ++i;
  }
  return i == text.size() && i - fractionStart == static_cast<std::size_t>(decimals);
}

// d.dddE+xxxx with a leading digit 1 to 9; on success returns the mantissa and exponent.
bool IsScientific(std::string_view text, long double& mantissa, int& exponent) {
  constexpr std::size_t kLength = 11; // "d.dddE+xxxx"
  if (text.size() != kLength || !IsDigit(text[0]) || text[0] == '0' || text[1] != '.' ||
      text[5] != 'E' || text[6] != '+') {
    return false;
  }
  for (std::size_t i : {2U, 3U, 4U, 7U, 8U, 9U, 10U}) {
    if (!IsDigit(text[i])) {
      return false;
    }
  }
  const int digits = DigitValue(text[0]) * 1000 + DigitValue(text[2]) * 100 +
                     DigitValue(text[3]) * 10 + DigitValue(text[4]);
  mantissa = static_cast<long double>(digits) / 1000;
  exponent = DigitValue(text[7]) * 1000 + DigitValue(text[8]) * 100 + DigitValue(text[9]) * 10 +
             DigitValue(text[10]);
  return true;
}

void CheckFixed(std::string_view text, std::string_view body, double value, int decimals) {
  if (!IsFixed(body, decimals)) {
    Fail();
  }
  double read = 0;
  try {
    read = gustrule::ReadNumber(text, std::numeric_limits<double>::quiet_NaN());
  } catch (...) {
    Fail();
  }
  if (!std::isfinite(read)) {
    Fail();
  }
  // Half a unit of the last decimal, plus what the first rounding may add on top: that one
  // rounds to 17 digits (17 decimals below 10, so an absolute 5e-18 there) and reading back
  // rounds to double once more.
  const long double halfUnit = 0.5L * std::pow(10.0L, -decimals);
  const long double slack = 1e-15L * std::fabs(static_cast<long double>(value)) + 1e-17L;
  const long double error = std::fabs(static_cast<long double>(read) - value);
  if (!(error <= halfUnit + slack)) {
    Fail();
  }
}

void CheckScientific(std::string_view text, double value) {
  long double mantissa = 0;
  int exponent = 0;
  if (!IsScientific(text, mantissa, exponent)) {
    Fail();
  }
  // The fourth decimal of the mantissa is rounded, but when the value scales to 10 or more a
  // fifth digit is cut off instead: the error stays below 0.1% either way.
  const long double magnitude = std::fabs(static_cast<long double>(value));
  const long double shown = mantissa * std::pow(10.0L, static_cast<long double>(exponent));
  if (!(std::fabs(shown - magnitude) <= 1e-3L * magnitude)) {
    Fail();
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  gustrule::InitArithmetic();
  gustrule::SetDecimalSeparator(U'.');
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(double) + 1) {
    return 0;
  }
  double value = 0;
  std::memcpy(&value, data, sizeof value);
  if (!std::isfinite(value)) {
    return 0;
  }
  const int decimals = data[sizeof(double)] & 3;

  std::string text;
  try {
    text = gustrule::FormatFixed(value, decimals);
  } catch (...) {
    Fail();
  }
  std::string_view body = text;
  const bool minus = !body.empty() && body.front() == '-';
  if (minus != std::signbit(value)) {
    Fail();
  }
  if (minus) {
    body.remove_prefix(1);
  }
  if (std::fabs(value) >= std::ldexp(1.0, 120)) {
    CheckScientific(body, value);
  } else {
    CheckFixed(text, body, value, decimals);
  }
  return 0;
}
