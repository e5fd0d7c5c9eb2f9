#include "NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>

#include "Extended.h"
#include "Utf8.h"

namespace gustrule {

namespace {

// Any power of ten 10^n with n below 5120 is at most three rounded factors, one from each table:
// 10^(n mod 32), then 10^(32 * ((n div 32) mod 16)), then 10^(512 * (n div 512)).
constexpr unsigned kFineSteps = 32;                           // 10^0 to 10^31, one apart
constexpr unsigned kMiddleSteps = 16;                         // 10^0 to 10^480, 32 apart
constexpr unsigned kCoarseStride = kFineSteps * kMiddleSteps; // 512
constexpr unsigned kCoarseSteps = 10;                         // 10^0 to 10^4608, 512 apart

// Powers of ten as the extended values nearest to them (those up to 1e27 are exact).
constexpr std::array<Extended, kFineSteps> kPowersOfTen = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L,
    1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L,
    1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L};
constexpr std::array<Extended, kMiddleSteps> kPowersOfTen32 = {
    1e0L,   1e32L,  1e64L,  1e96L,  1e128L, 1e160L, 1e192L, 1e224L,
    1e256L, 1e288L, 1e320L, 1e352L, 1e384L, 1e416L, 1e448L, 1e480L};
constexpr std::array<Extended, kCoarseSteps> kPowersOfTen512 = {
    1e0L, 1e512L, 1e1024L, 1e1536L, 1e2048L, 1e2560L, 1e3072L, 1e3584L, 1e4096L, 1e4608L};

// Scales below 10^-5120 give zero; positive scales never reach 10^5120 (the exponent stops
// growing at 500 and has at most one more digit).
constexpr int kScaleLimit = static_cast<int>(kCoarseStride * kCoarseSteps);
// An exponent stops taking digits once it has reached this value.
constexpr int kExponentDigitLimit = 500;

// Multiplies (n > 0) or divides (n < 0) by 10^|n| as up to three rounded steps, one per table
// above; |n| must be below kScaleLimit.
// The steps are unchecked: a value beyond the extended range becomes an infinity.
Float80 ScaleByPowerOfTen(Float80 value, int n) {
  const bool divide = n < 0;
  const auto magnitude = static_cast<unsigned>(divide ? -n : n);
  const auto apply = [&](Extended factor) {
    value = divide ? value / factor.Raw() : value * factor.Raw();
  };
  apply(kPowersOfTen[magnitude % kFineSteps]);
  if (const unsigned middle = (magnitude / kFineSteps) % kMiddleSteps; middle != 0) {
    apply(kPowersOfTen32[middle]);
  }
  if (const unsigned coarse = magnitude / kCoarseStride; coarse != 0) {
    apply(kPowersOfTen512[coarse]);
  }
  return value;
}

struct Separator {
  char bytes[4] = {'.', 0, 0, 0};
  std::size_t length = 1;
  char32_t character = U'.';
};

Separator& CurrentSeparator() {
  static Separator separator;
  return separator;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

class Reader {
public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void Advance() { ++pos_; }
  bool Take(char c) {
    if (!AtEnd() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool TakeSeparator(const Separator& separator) {
    const std::string_view bytes(separator.bytes, separator.length);
    if (text_.substr(pos_, bytes.size()) == bytes) {
      pos_ += bytes.size();
      return true;
    }
    return false;
  }
  void SkipBlanks() {
    while (Take(' ')) {
    }
  }

private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

} // namespace

void SetDecimalSeparator(char32_t separator) {
  const std::string bytes = EncodeUtf8(separator);
  Separator encoded;
  bytes.copy(encoded.bytes, sizeof encoded.bytes);
  encoded.length = bytes.size();
  encoded.character = separator;
  CurrentSeparator() = encoded;
}

char32_t DecimalSeparator() {
  return CurrentSeparator().character;
}

namespace {

// The value of a text, or nothing when it does not read; EOverflow beyond the double range.
std::optional<double> ParseNumber(std::string_view text) {
  const Separator& separator = CurrentSeparator();
  Reader in(text);
  in.SkipBlanks();
  bool negative = false;
  if (in.Take('-')) {
    negative = true;
  } else {
    in.Take('+');
  }

  // Unchecked steps: a value beyond the extended range becomes an infinity and stays one.
  Float80 number = 0;
  long long fractionDigits = 0;
  bool haveMantissa = false;
  while (IsDigit(in.Peek())) {
    number = number * 10;
    number = number + (in.Peek() - '0');
    haveMantissa = true;
    in.Advance();
  }
  if (in.TakeSeparator(separator)) {
    haveMantissa = true;
    while (IsDigit(in.Peek())) {
      number = number * 10;
      number = number + (in.Peek() - '0');
      ++fractionDigits;
      in.Advance();
    }
  }
  if (!haveMantissa) {
    return std::nullopt;
  }
  const bool mantissaOverflowed = !arithmetic::IsFinite(number);

  long long exponent = 0;
  if (in.Take('E') || in.Take('e')) {
    bool negativeExponent = false;
    if (in.Take('-')) {
      negativeExponent = true;
    } else {
      in.Take('+');
    }
    while (exponent < kExponentDigitLimit && IsDigit(in.Peek())) {
      exponent = exponent * 10 + (in.Peek() - '0');
      in.Advance();
    }
    if (negativeExponent) {
      exponent = -exponent;
    }
  }
  in.SkipBlanks();
  if (!in.AtEnd()) {
    return std::nullopt;
  }

  const long long scale = exponent - fractionDigits;
  if (scale <= -kScaleLimit) {
    number = 0;
  } else if (scale != 0) {
    number = ScaleByPowerOfTen(number, static_cast<int>(scale));
  }
  if (negative) {
    number = -number;
  }
  if (mantissaOverflowed || !arithmetic::IsFinite(number)) {
    return std::nullopt; // a step went beyond the extended range
  }
  return StoreDouble(number);
}

} // namespace

double TextToNumber(std::string_view text) {
  if (const std::optional<double> value = ParseNumber(text)) {
    return *value;
  }
  throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

// Unreadable texts are common while typing (an emptied box); they take the fallback without
// the cost of raising and catching EConvertError.
double ReadNumber(std::string_view text, double fallback) {
  return ParseNumber(text).value_or(fallback);
}

namespace {

// The first rounding of FormatFixed keeps this many decimals of the value scaled below 16.
constexpr int kFirstRoundingDecimals = 17;
// The scientific form shows this many significant digits and this many exponent digits.
constexpr int kScientificDigits = 4;
constexpr int kScientificExponentDigits = 4;
// Values from 2^120 on leave the 12-character field in fixed form and are written scientific.
constexpr Extended kScientificFrom = 0x1p120L;
// For a binary exponent b of the extended range, b * 19728 / 65536 is floor(b * log10 2) or one
// less (19728 / 65536 lies just below log10 2); scaling repeats until nothing is left.
constexpr int kLog10Of2Times65536 = 19728;

// 10^0 to 10^19, the largest power of ten an unsigned 64-bit integer holds.
constexpr std::array<std::uint64_t, 20> kIntegerPowersOfTen = {1ULL,
                                                               10ULL,
                                                               100ULL,
                                                               1000ULL,
                                                               10000ULL,
                                                               100000ULL,
                                                               1000000ULL,
                                                               10000000ULL,
                                                               100000000ULL,
                                                               1000000000ULL,
                                                               10000000000ULL,
                                                               100000000000ULL,
                                                               1000000000000ULL,
                                                               10000000000000ULL,
                                                               100000000000000ULL,
                                                               1000000000000000ULL,
                                                               10000000000000000ULL,
                                                               100000000000000000ULL,
                                                               1000000000000000000ULL,
                                                               10000000000000000000ULL};
constexpr int kLargestPowerOfTenDigits = static_cast<int>(kIntegerPowersOfTen.size()) - 1;

// A finite magnitude v after the first rounding: v is close to Digits * 10^(Exponent10 - 17).
struct FirstRounding {
  // The scaled value s = v / 10^Exponent10 at 17 decimals, ties to even, as an integer: below
  // 10^18 when v is below 10, else 18 digits (1 <= s < 10) or 19 digits (10 <= s < 16).
  std::uint64_t Digits;
  int Exponent10; // 0 when v is below 10
};

FirstRounding RoundToSeventeenDecimals(Float80 v) {
  // Decimal scaling: s = v / 10^exponent10 with 1 <= s < 16, or s = v when v is below 10.
  int exponent10 = 0;
  Float80 s = v;
  if (v >= 10) {
    for (;;) {
      const int k = arithmetic::Ilogb(s) * kLog10Of2Times65536 / 65536; // about floor(b * log10 2)
      if (k == 0) {
        break;
      }
      exponent10 += k;
      s = ScaleByPowerOfTen(s, -k);
    }
  }
  const Float80 scaled = s * kPowersOfTen[kFirstRoundingDecimals].Raw();
  return {static_cast<std::uint64_t>(arithmetic::Llrint(scaled)), exponent10}; // below 2^63
}

// Writes the decimal digits of n so that they end just before `end`; returns where they begin.
char* WriteDigits(std::uint64_t n, char* end) {
  do {
    *--end = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n != 0);
  return end;
}

// Appends d.dddE+xxxx: the first four digits, rounded half up, and the exponent. When s is 10 or
// more the rounding leaves five digits, the exponent grows by one and the fifth is cut off.
void AppendScientific(std::string& text, FirstRounding first) {
  constexpr std::uint64_t kStep =
      kIntegerPowersOfTen[kFirstRoundingDecimals + 1 - kScientificDigits];
  char buffer[24];
  char* const end = buffer + sizeof buffer;
  char* const mantissa = WriteDigits((first.Digits + kStep / 2) / kStep, end);
  const int shownExponent = first.Exponent10 + (end - mantissa > kScientificDigits ? 1 : 0);
  // The exponent's digits go in front of the mantissa's, one place apart.
  char* exponent = WriteDigits(static_cast<std::uint64_t>(shownExponent), mantissa - 1);
  while (mantissa - 1 - exponent < kScientificExponentDigits) {
    *--exponent = '0';
  }
  text += mantissa[0];
  text += '.';
  text.append(mantissa + 1, static_cast<std::size_t>(kScientificDigits - 1));
  text += "E+";
  text.append(exponent, static_cast<std::size_t>(mantissa - 1 - exponent));
}

// Appends the fixed form: the first rounding's digits rounded again, half away from zero, to
// `decimals` decimals.
void AppendFixed(std::string& text, FirstRounding first, int decimals) {
  // The rounding drops this many of the digits, or, when it is negative, appends as many zeros.
  const int dropped = kFirstRoundingDecimals - first.Exponent10 - decimals;
  std::uint64_t kept = 0;
  std::size_t appendedZeros = 0;
  if (dropped > kLargestPowerOfTenDigits) {
    kept = 0;
  } else if (dropped > 0) {
    const std::uint64_t step = kIntegerPowersOfTen[static_cast<std::size_t>(dropped)];
    kept = (first.Digits + step / 2) / step;
  } else {
    kept = first.Digits;
    appendedZeros = kept == 0 ? 0 : static_cast<std::size_t>(-dropped);
  }
  char buffer[24];
  char* const end = buffer + sizeof buffer;
  const char* digits = WriteDigits(kept, end);
  const auto written = static_cast<std::size_t>(end - digits);
  const std::size_t digitCount = written + appendedZeros;
  const auto fraction = static_cast<std::size_t>(decimals);
  // The part before the point is "0" when the kept digits are no more than the decimals.
  const std::size_t leadingZeros = digitCount <= fraction ? fraction + 1 - digitCount : 0;
  text.reserve(text.size() + leadingZeros + digitCount + 1);
  text.append(leadingZeros, '0');
  text.append(digits, written);
  text.append(appendedZeros, '0');
  if (decimals > 0) {
    text.insert(text.size() - fraction, 1, '.');
  }
}

} // namespace

std::string FormatFixed(double value, int decimals) {
  if (decimals < 0 || decimals > kMaxDecimals) {
    throw std::invalid_argument("FormatFixed: decimals out of range");
  }
  const bool negative = std::signbit(value);
  if (std::isnan(value)) {
    return "NAN";
  }
  if (std::isinf(value)) {
    return negative ? "-INF" : "INF";
  }
  const Float80 v = arithmetic::Fabs(arithmetic::FromDouble(value));
  const FirstRounding first = RoundToSeventeenDecimals(v);
  std::string text;
  if (negative) {
    text += '-';
  }
  if (v >= kScientificFrom.Raw()) {
    AppendScientific(text, first);
  } else {
    AppendFixed(text, first, decimals);
  }
  return text;
}

} // namespace gustrule
