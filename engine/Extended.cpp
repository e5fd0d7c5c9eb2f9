#include "Extended.h"

#include <cfenv>
#include <cmath>
#include <cstdint>

namespace gustrule {

namespace {

#if defined(__x86_64__) || defined(__i386__)
// ln x = ln 2 * log2 x in one x87 instruction (FYL2X), rounded once to extended.
long double LnX87(long double x) {
  long double result;
  __asm__("fldln2\n\tfxch\n\tfyl2x" : "=t"(result) : "0"(x) : "st(1)");
  return result;
}

// 2^f - 1 for |f| <= 1 (F2XM1).
long double Exp2Minus1X87(long double f) {
  long double result;
  __asm__("f2xm1" : "=t"(result) : "0"(f));
  return result;
}
#else
long double LnX87(long double x) {
  return std::log(x);
}
long double Exp2Minus1X87(long double f) {
  return std::exp2(f) - 1.0L;
}
#endif

// log2 e, the extended value nearest to it (what the x87 loads with FLDL2E when rounding to
// nearest).
constexpr long double kLog2E = 1.442695040888963407359924681001892137L;

// A whole extended value within the int range as an int. It goes through double, exactly for
// such values, because the x87 converts to an integer only after switching the rounding mode
// to truncation and back, and those two control-word loads cost more than a whole power.
// RaisePower tells a whole exponent with rint, which leaves exactly the whole values unchanged,
// for the same reason: trunc switches the rounding mode too.
int WholeToInt(long double whole) {
  return static_cast<int>(static_cast<double>(whole));
}

} // namespace

void InitArithmetic() {
#if defined(__x86_64__) || defined(__i386__)
  // x87 control word: all six exceptions masked, 64-bit precision, round to nearest.
  const std::uint16_t controlWord = 0x037F;
  __asm__ volatile("fldcw %0" : : "m"(controlWord));
#endif
  std::fesetround(FE_TONEAREST);
  std::feclearexcept(FE_ALL_EXCEPT);
}

Extended Checked(long double result) {
  if (std::isnan(result)) {
    throw EInvalidOp();
  }
  if (std::isinf(result)) {
    throw EOverflow();
  }
  return Extended(result);
}

Extended operator/(Extended a, Extended b) {
  if (b.Value() == 0) {
    if (a.Value() == 0) {
      throw EInvalidOp();
    }
    throw EZeroDivide();
  }
  return Checked(a.Value() / b.Value());
}

double StoreDouble(long double value) {
  const double stored = static_cast<double>(value);
  if (std::isinf(stored)) {
    throw EOverflow();
  }
  if (std::isnan(stored)) {
    throw EInvalidOp();
  }
  return stored;
}

Real::Real(Extended value) : value_(StoreDouble(value.Value())) {}

Extended Ln(Extended x) {
  if (x.Value() == 0) {
    throw EZeroDivide();
  }
  if (x.Value() < 0) {
    throw EInvalidOp();
  }
  return Checked(LnX87(x.Value()));
}

Extended Exp(Extended x) {
  const long double t = Checked(x.Value() * kLog2E).Value();
  const long double whole = std::rint(t); // ties to even, as the rounding mode says
  const long double rest = t - whole;     // exact: |rest| <= 1/2
  const long double fraction = Exp2Minus1X87(rest) + 1.0L;
  // Binary exponents beyond +-40000 are certainly infinite or zero (the extended range ends near
  // 2^16384, its subnormals near 2^-16445); clamping keeps the int conversion safe.
  constexpr int kBeyondRange = 40000;
  if (whole > kBeyondRange) {
    throw EOverflow();
  }
  const int exponent = whole < -kBeyondRange ? -kBeyondRange : WholeToInt(whole);
  return Checked(std::ldexp(fraction, exponent));
}

Extended RaisePower(Extended base, Extended exponent) {
  const long double b = base.Value();
  const long double e = exponent.Value();
  if (e == 0) {
    return Extended(1);
  }
  if (b == 0 && e > 0) {
    return Extended(0.0L);
  }
  constexpr long double kLargestWholeExponent = 2147483647.0L;
  if (std::rint(e) == e && std::fabs(e) <= kLargestWholeExponent) { // a whole exponent
    auto bits = static_cast<std::uint32_t>(WholeToInt(std::fabs(e)));
    Extended result(1);
    Extended square = base;
    for (;;) {
      if ((bits & 1U) != 0) {
        result = result * square;
      }
      bits >>= 1U;
      if (bits == 0) {
        break;
      }
      square = square * square;
    }
    if (e < 0) {
      result = Extended(1) / result;
    }
    return result;
  }
  return Exp(exponent * Ln(base));
}

} // namespace gustrule
