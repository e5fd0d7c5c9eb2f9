#include "Extended.h"

#include <cfenv>
#include <cmath>
#include <cstdint>

namespace gustrule {

namespace {

// log2 e, the extended value nearest to it (what the x87 loads with FLDL2E when rounding to
// nearest).
constexpr Extended kLog2E = 1.442695040888963407359924681001892137L;

} // namespace

void InitArithmetic() {
#if !GUSTRULE_SOFT_ARITHMETIC
  x87::SetControlWord();
#endif
  std::fesetround(FE_TONEAREST);
  std::feclearexcept(FE_ALL_EXCEPT);
}

Extended Checked(Float80 result) {
  if (arithmetic::IsNaN(result)) {
    throw EInvalidOp();
  }
  if (arithmetic::IsInf(result)) {
    throw EOverflow();
  }
  return Extended::Exactly(result);
}

Extended operator/(Extended a, Extended b) {
  if (b.Raw() == 0) {
    if (a.Raw() == 0) {
      throw EInvalidOp();
    }
    throw EZeroDivide();
  }
  return Checked(a.Raw() / b.Raw());
}

double StoreDouble(Float80 value) {
  const double stored = arithmetic::ToDouble(value);
  if (std::isinf(stored)) {
    throw EOverflow();
  }
  if (std::isnan(stored)) {
    throw EInvalidOp();
  }
  return stored;
}

Real::Real(Extended value) : value_(StoreDouble(value.Raw())) {}

Extended Ln(Extended x) {
  if (x.Raw() == 0) {
    throw EZeroDivide();
  }
  if (x.Raw() < 0) {
    throw EInvalidOp();
  }
  return Checked(arithmetic::Ln(x.Raw()));
}

Extended Exp(Extended x) {
  const Float80 t = Checked(x.Raw() * kLog2E.Raw()).Raw();
  const Float80 whole = arithmetic::Rint(t); // ties to even
  const Float80 rest = t - whole;            // exact: |rest| <= 1/2
  const Float80 fraction = arithmetic::Exp2Minus1(rest) + 1;
  // Binary exponents beyond +-40000 are certainly infinite or zero (the extended range ends near
  // 2^16384, its subnormals near 2^-16445); clamping keeps the int conversion safe.
  constexpr int kBeyondRange = 40000;
  if (whole > kBeyondRange) {
    throw EOverflow();
  }
  const int exponent = whole < -kBeyondRange ? -kBeyondRange : arithmetic::WholeToInt(whole);
  return Checked(arithmetic::Ldexp(fraction, exponent));
}

Extended RaisePower(Extended base, Extended exponent) {
  const Float80 e = exponent.Raw();
  if (e == 0) {
    return Extended(1);
  }
  if (base.Raw() == 0 && e > 0) {
    return Extended(0);
  }
  // RaisePower tells a whole exponent with rint, which leaves exactly the whole values unchanged,
  // because trunc would switch the x87 rounding mode (see WholeToInt).
  constexpr Extended kLargestWholeExponent = 2147483647.0L;
  if (arithmetic::Rint(e) == e && arithmetic::Fabs(e) <= kLargestWholeExponent.Raw()) {
    auto bits = static_cast<std::uint32_t>(arithmetic::WholeToInt(arithmetic::Fabs(e)));
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
