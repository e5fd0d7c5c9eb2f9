#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

namespace gustrule::soft {

// The x87 unit's 80-bit extended format computed in portable C++: a sign bit, a 15-bit exponent
// biased by 16383 and a 64-bit significand whose integer bit is explicit, with subnormals, the
// infinities and NaN. Every operation rounds its exact result once to nearest, ties to even, as
// the x87 unit does with 64-bit precision and all exceptions masked: a result beyond the range
// becomes an infinity, a tiny one a subnormal or zero, an invalid operation (0/0, inf - inf,
// 0 * inf) a NaN. Nothing here raises; the checked layer (Extended) turns infinities and NaN
// into failures.
struct Float80 {
  std::uint64_t Significand = 0;   // bit 63 is the integer bit
  std::uint16_t SignExponent = 0;  // bit 15 the sign, bits 0-14 the biased exponent

  constexpr Float80() = default;
  // A whole number, exactly: Float80(10), Float80(-3). Implicit so that formulas read as written.
  constexpr Float80(int value); // NOLINT(google-explicit-constructor)

  // The value with exactly these fields: FromBits(0x3FFF, 0x8000000000000000) is 1.
  static constexpr Float80 FromBits(std::uint16_t signExponent, std::uint64_t significand) {
    Float80 x;
    x.SignExponent = signExponent;
    x.Significand = significand;
    return x;
  }
};

constexpr int kExponentBias = 16383;
constexpr std::uint16_t kExponentMask = 0x7FFF;
constexpr std::uint16_t kSignBit = 0x8000;
constexpr std::uint64_t kIntegerBit = 1ULL << 63;

constexpr Float80::Float80(int value) {
  if (value == 0) {
    return;
  }
  const std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const int shift = std::countl_zero(magnitude);
  Significand = magnitude << shift;
  SignExponent = static_cast<std::uint16_t>((value < 0 ? kSignBit : 0) | (kExponentBias + 63 - shift));
}

// Whether two values have the same encoding (unlike ==, which holds for +0 and -0 and never for
// NaN).
constexpr bool SameBits(Float80 a, Float80 b) {
  return a.Significand == b.Significand && a.SignExponent == b.SignExponent;
}

constexpr bool SignBit(Float80 x) {
  return (x.SignExponent & kSignBit) != 0;
}
constexpr bool IsNaN(Float80 x) {
  return (x.SignExponent & kExponentMask) == kExponentMask && x.Significand != kIntegerBit;
}
constexpr bool IsInf(Float80 x) {
  return (x.SignExponent & kExponentMask) == kExponentMask && x.Significand == kIntegerBit;
}
constexpr bool IsFinite(Float80 x) {
  return (x.SignExponent & kExponentMask) != kExponentMask;
}
constexpr Float80 operator-(Float80 x) {
  return Float80::FromBits(static_cast<std::uint16_t>(x.SignExponent ^ kSignBit), x.Significand);
}
constexpr Float80 Fabs(Float80 x) {
  return Float80::FromBits(static_cast<std::uint16_t>(x.SignExponent & kExponentMask),
                           x.Significand);
}

Float80 operator+(Float80 a, Float80 b);
Float80 operator-(Float80 a, Float80 b);
Float80 operator*(Float80 a, Float80 b);
Float80 operator/(Float80 a, Float80 b);

// IEEE comparisons: NaN is unordered (every comparison but != is false), -0 equals +0.
bool operator==(Float80 a, Float80 b);
bool operator<(Float80 a, Float80 b);
inline bool operator!=(Float80 a, Float80 b) {
  return !(a == b);
}
inline bool operator>(Float80 a, Float80 b) {
  return b < a;
}
inline bool operator<=(Float80 a, Float80 b) {
  return a < b || a == b;
}
inline bool operator>=(Float80 a, Float80 b) {
  return b <= a;
}

// A double, exactly: every double is an extended value.
constexpr Float80 FromDouble(double value) {
  const auto bits = __builtin_bit_cast(std::uint64_t, value);
  const auto sign = static_cast<std::uint16_t>((bits >> 63) != 0 ? kSignBit : 0);
  const auto field = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((1ULL << 52) - 1);
  if (field == 0x7FF) {
    return Float80::FromBits(sign | kExponentMask, kIntegerBit | (fraction << 11));
  }
  if (field == 0) {
    if (fraction == 0) {
      return Float80::FromBits(sign, 0);
    }
    const int shift = std::countl_zero(fraction);
    return Float80::FromBits(
        static_cast<std::uint16_t>(sign | (kExponentBias - 1022 - (shift - 11))),
        fraction << shift);
  }
  return Float80::FromBits(static_cast<std::uint16_t>(sign | (field - 1023 + kExponentBias)),
                           kIntegerBit | (fraction << 11));
}

// The nearest double, ties to even; beyond the double range an infinity, below it a subnormal
// double or zero. ToDouble(FromBits(0x3FFF, 0x8000000000000400)) is 1 (a tie, to even).
double ToDouble(Float80 x);

// Whole-number functions. Rint rounds to the nearest whole value, ties to even (Rint(2.5) is 2,
// Rint(-0.5) is -0). Llrint is Rint as an integer; beyond the int64 range (and for NaN) it gives
// the smallest int64, as the x87 unit does. Ilogb is the binary exponent of a finite non-zero
// value (Ilogb(10) is 3; subnormals included).
Float80 Rint(Float80 x);
std::int64_t Llrint(Float80 x);
int Ilogb(Float80 x);

// x * 2^n, rounded once (only a subnormal or out-of-range result rounds).
Float80 Ldexp(Float80 x, int n);

// ln x as (ln 2) * log2 x, where ln 2 is its nearest extended value, the product rounded once:
// the x87 unit's FYL2X after FLDLN2. Ln(1) is +0, Ln(0) is -inf, Ln(negative) is NaN,
// Ln(+inf) is +inf.
Float80 Ln(Float80 x);

// 2^f - 1 for -1 <= f <= 1, rounded once (the x87 unit's F2XM1): Exp2Minus1(-1) is -0.5,
// Exp2Minus1(-0) is -0; NaN outside [-1, 1].
Float80 Exp2Minus1(Float80 f);

// The extended value nearest to `value` and whether `value` lay exactly halfway between two
// extended values (only possible where long double is wider than the extended format).
struct Rounded {
  Float80 Value;
  bool WasHalfway = false;
};

namespace detail {

// 2^n by repeated squaring, exactly; |n| at most 16383.
constexpr long double PowerOfTwo(int n) {
  long double result = 1;
  long double square = n < 0 ? 0.5L : 2.0L;
  for (int k = n < 0 ? -n : n;;) {
    if ((k & 1) != 0) {
      result *= square;
    }
    k >>= 1;
    if (k == 0) {
      return result;
    }
    square *= square;
  }
}

} // namespace detail

// A long double as its nearest extended value: exact where long double is the extended format
// itself (x86), rounded to nearest, ties to even, where it is wider (binary128 on arm64 and
// WebAssembly). Usable at compile time.
constexpr Rounded RoundLongDouble(long double value) {
  static_assert(std::numeric_limits<long double>::digits >= 64 &&
                    std::numeric_limits<long double>::max_exponent >= 16384,
                "long double must hold every extended value");
  const bool negative = __builtin_copysignl(1.0L, value) < 0;
  const auto sign = static_cast<std::uint16_t>(negative ? kSignBit : 0);
  if (value != value) {
    return {Float80::FromBits(kSignBit | kExponentMask, 0xC000000000000000ULL)};
  }
  long double magnitude = negative ? -value : value;
  if (magnitude == 0) {
    return {Float80::FromBits(sign, 0)};
  }
  if (magnitude > std::numeric_limits<long double>::max()) {
    return {Float80::FromBits(sign | kExponentMask, kIntegerBit)};
  }
  // Scale exactly into [1, 2) by powers of two, in steps of 2^±2^k.
  int exponent = 0;
  for (int step = 8192; step >= 1; step /= 2) {
    if (magnitude >= detail::PowerOfTwo(step)) {
      magnitude *= detail::PowerOfTwo(-step);
      exponent += step;
    }
  }
  // A value below 2^-16383 (as long double subnormals go) needs the largest step twice.
  for (int step = 8192; step >= 1; step /= 2) {
    while (magnitude < detail::PowerOfTwo(1 - step)) {
      magnitude *= detail::PowerOfTwo(step);
      exponent -= step;
    }
  }
  // The significand keeps 63 bits after the point, fewer for a subnormal result.
  const int minimumExponent = 1 - kExponentBias;
  const int fractionBits = exponent >= minimumExponent ? 63 : 63 - (minimumExponent - exponent);
  if (fractionBits < -1) {
    return {Float80::FromBits(sign, 0)}; // below half the smallest subnormal
  }
  const long double scaled = magnitude * detail::PowerOfTwo(fractionBits);
  auto significand = static_cast<std::uint64_t>(scaled);
  const long double rest = scaled - static_cast<long double>(significand);
  const bool halfway = rest == 0.5L;
  if (rest > 0.5L || (halfway && (significand & 1) != 0)) {
    ++significand;
  }
  int field = exponent >= minimumExponent ? exponent + kExponentBias : 0;
  if (significand == 0 && fractionBits == 63) { // carried out of 64 bits
    significand = kIntegerBit;
    ++field;
  } else if (field == 0 && significand >= kIntegerBit) {
    field = 1; // a subnormal that rounded up to the smallest normal value
  }
  if (field >= kExponentMask) {
    return {Float80::FromBits(sign | kExponentMask, kIntegerBit), halfway};
  }
  return {Float80::FromBits(static_cast<std::uint16_t>(sign | field), significand), halfway};
}

namespace detail {
// Not usable at compile time: calling it makes a literal that needs it a compile error.
inline void LiteralLiesHalfwayBetweenTwoExtendedValues() {}
} // namespace detail

// A formula's decimal literal (5.74L) as the extended value nearest to the decimal, at compile
// time. Where long double is the extended format the compiler has read it so. Where it is wider,
// the compiler has rounded the decimal to long double first; rounding that once more gives the
// value nearest to the decimal unless it fell exactly halfway between two extended values (every
// such halfway point is a long double, so the decimal and its long double lie on the same side
// of each of them otherwise). That case does not compile.
consteval Float80 FromLiteral(long double literal) {
  const Rounded rounded = RoundLongDouble(literal);
  if (rounded.WasHalfway) {
    detail::LiteralLiesHalfwayBetweenTwoExtendedValues();
  }
  return rounded.Value;
}

// A whole value within the int range as an int.
int WholeToInt(Float80 whole);

// The extended value as a long double, exactly (long double holds every extended value).
constexpr long double ToLongDouble(Float80 x) {
  const long double sign = SignBit(x) ? -1.0L : 1.0L;
  const int field = x.SignExponent & kExponentMask;
  if (field == kExponentMask) {
    return x.Significand == kIntegerBit ? sign * std::numeric_limits<long double>::infinity()
                                        : std::numeric_limits<long double>::quiet_NaN();
  }
  // The significand is exact in long double; scaling by powers of two stays exact down to the
  // result, whose bits are the significand's.
  long double result = static_cast<long double>(x.Significand);
  int exponent = (field == 0 ? 1 : field) - kExponentBias - 63;
  for (int step = 8192; step >= 1; step /= 2) {
    while (exponent >= step) {
      result *= detail::PowerOfTwo(step);
      exponent -= step;
    }
    while (exponent <= -step) {
      result *= detail::PowerOfTwo(-step);
      exponent += step;
    }
  }
  return sign * result;
}

namespace detail {

// For the tests: Ln and Exp2Minus1 first approximate their result with 128-bit significands
// and round it when the approximation's error bound leaves one rounding possible; otherwise
// they approximate again with 256-bit significands. These give the approximation at the named
// width (2 or 4 words of 64 bits) as parts whose exact sum it is, largest first, and the bound:
// the approximation is within |approximation| * 2^-ErrorBits of the exact value.
struct Approximation {
  std::vector<Float80> Parts;
  int ErrorBits = 0;
};
Approximation LnApproximation(Float80 x, int words);
Approximation Exp2Minus1Approximation(Float80 f, int words);

// How many results needed the 256-bit approximation since the program started.
std::uint64_t WideFallbacks();

} // namespace detail

} // namespace gustrule::soft
