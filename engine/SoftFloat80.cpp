#include "SoftFloat80.h"

#include <climits>
#include <cmath>
#include <utility>

#include "SoftFloat80Internal.h"

namespace gustrule::soft {

using internal::DefaultNaN;
using internal::Infinity;
using internal::IsNaNOperand;
using internal::IsZero;
using internal::RoundPack;
using internal::U128;
using internal::Unpack;
using internal::Unpacked;
using internal::Zero;

namespace {

// Whether |a| < |b| for finite non-zero values.
bool MagnitudeBelow(const Unpacked& a, const Unpacked& b) {
  return a.Exponent != b.Exponent ? a.Exponent < b.Exponent : a.Significand < b.Significand;
}

// The sum of two finite non-zero values, rounded once.
Float80 AddFinite(Unpacked a, Unpacked b) {
  if (MagnitudeBelow(a, b)) {
    std::swap(a, b);
  }
  // Both significands sit at bits 125..62, leaving room for a carry above and 62 bits below:
  // a shifted b loses nothing for shifts up to 62, and beyond that its sticky bit lies far below
  // the rounding position, as at most one bit cancels.
  const U128 larger = U128(a.Significand) << 62;
  const U128 smaller = internal::ShiftRightSticky(U128(b.Significand) << 62,
                                                  a.Exponent - b.Exponent);
  const U128 sum = a.Negative == b.Negative ? larger + smaller : larger - smaller;
  if (sum == 0) {
    return Zero(false); // x + (-x) is +0 when rounding to nearest
  }
  const auto high = static_cast<std::uint64_t>(sum >> 64);
  const int leadingZeros =
      high != 0 ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<std::uint64_t>(sum));
  return RoundPack(a.Negative, a.Exponent + 2 - leadingZeros, sum << leadingZeros);
}

Float80 Add(Float80 a, Float80 b) {
  if (IsNaNOperand(a) || IsNaNOperand(b)) {
    return DefaultNaN();
  }
  if (IsInf(a) || IsInf(b)) {
    if (IsInf(a) && IsInf(b) && SignBit(a) != SignBit(b)) {
      return DefaultNaN();
    }
    return IsInf(a) ? a : b;
  }
  if (IsZero(a)) {
    return IsZero(b) ? Zero(SignBit(a) && SignBit(b)) : b;
  }
  if (IsZero(b)) {
    return a;
  }
  return AddFinite(Unpack(a), Unpack(b));
}

} // namespace

Float80 operator+(Float80 a, Float80 b) {
  return Add(a, b);
}

Float80 operator-(Float80 a, Float80 b) {
  return Add(a, -b);
}

Float80 operator*(Float80 a, Float80 b) {
  const bool negative = SignBit(a) != SignBit(b);
  if (IsNaNOperand(a) || IsNaNOperand(b)) {
    return DefaultNaN();
  }
  if (IsInf(a) || IsInf(b)) {
    return IsZero(a) || IsZero(b) ? DefaultNaN() : Infinity(negative);
  }
  if (IsZero(a) || IsZero(b)) {
    return Zero(negative);
  }
  const Unpacked x = Unpack(a);
  const Unpacked y = Unpack(b);
  // The exact product of two significands in [2^63, 2^64) lies in [2^126, 2^128).
  U128 product = U128(x.Significand) * y.Significand;
  const int shift = static_cast<int>(product >> 127 == 0);
  product <<= shift;
  return RoundPack(negative, x.Exponent + y.Exponent + 1 - shift, product);
}

Float80 operator/(Float80 a, Float80 b) {
  const bool negative = SignBit(a) != SignBit(b);
  if (IsNaNOperand(a) || IsNaNOperand(b)) {
    return DefaultNaN();
  }
  if (IsInf(a)) {
    return IsInf(b) ? DefaultNaN() : Infinity(negative);
  }
  if (IsInf(b)) {
    return Zero(negative);
  }
  if (IsZero(b)) {
    return IsZero(a) ? DefaultNaN() : Infinity(negative);
  }
  if (IsZero(a)) {
    return Zero(negative);
  }
  const Unpacked x = Unpack(a);
  const Unpacked y = Unpack(b);
  // 128 quotient bits from two 128-by-64-bit divisions; the first gives bit 63 set when the
  // dividend is placed one bit lower for a larger significand. The remainder makes the sticky bit.
  const bool larger = x.Significand >= y.Significand;
  const U128 dividend = U128(x.Significand) << (larger ? 63 : 64);
  const auto high = static_cast<std::uint64_t>(dividend / y.Significand);
  const U128 remainder = (dividend - U128(high) * y.Significand) << 64;
  const auto low = static_cast<std::uint64_t>(remainder / y.Significand);
  const bool inexact = remainder != U128(low) * y.Significand;
  const U128 quotient = (U128(high) << 64) | low | (inexact ? 1 : 0);
  return RoundPack(negative, x.Exponent - y.Exponent - 1 + (larger ? 1 : 0), quotient);
}

bool operator==(Float80 a, Float80 b) {
  if (IsNaNOperand(a) || IsNaNOperand(b)) {
    return false;
  }
  if (IsZero(a) || IsZero(b)) {
    return IsZero(a) && IsZero(b);
  }
  if (IsInf(a) || IsInf(b)) {
    return SameBits(a, b);
  }
  const Unpacked x = Unpack(a);
  const Unpacked y = Unpack(b);
  return x.Negative == y.Negative && x.Exponent == y.Exponent && x.Significand == y.Significand;
}

bool operator<(Float80 a, Float80 b) {
  if (IsNaNOperand(a) || IsNaNOperand(b) || a == b) {
    return false;
  }
  if (SignBit(a) != SignBit(b)) {
    return SignBit(a); // unequal, so not both zero
  }
  // Same sign: compare magnitudes, zero lowest and infinity highest.
  const auto magnitudeBelow = [](Float80 x, Float80 y) {
    if (IsZero(x) || IsInf(y)) {
      return true;
    }
    if (IsZero(y) || IsInf(x)) {
      return false;
    }
    return MagnitudeBelow(Unpack(x), Unpack(y));
  };
  return SignBit(a) ? magnitudeBelow(b, a) : magnitudeBelow(a, b);
}

double ToDouble(Float80 x) {
  const bool negative = SignBit(x);
  const std::uint64_t sign = negative ? 1ULL << 63 : 0;
  if (IsNaNOperand(x)) {
    return __builtin_nan("");
  }
  if (IsInf(x)) {
    return negative ? -__builtin_inf() : __builtin_inf();
  }
  if (IsZero(x)) {
    return negative ? -0.0 : 0.0;
  }
  const Unpacked u = Unpack(x);
  // A double keeps 53 bits from the leading one, fewer below 2^-1022 (its subnormals).
  constexpr int kMinimumExponent = -1022;
  const int dropped = 11 + (u.Exponent < kMinimumExponent ? kMinimumExponent - u.Exponent : 0);
  if (dropped > 65) {
    return negative ? -0.0 : 0.0; // below half the smallest subnormal double
  }
  const U128 significand = U128(u.Significand);
  auto kept = static_cast<std::uint64_t>(significand >> dropped);
  const U128 rest = significand & ((U128(1) << dropped) - 1);
  const U128 half = U128(1) << (dropped - 1);
  if (rest > half || (rest == half && (kept & 1) != 0)) {
    ++kept;
  }
  if (u.Exponent < kMinimumExponent) {
    // A subnormal double's bits are the kept significand; rounding up to 2^52 gives the
    // smallest normal double's bits.
    return __builtin_bit_cast(double, sign | kept);
  }
  int exponent = u.Exponent;
  if (kept == 1ULL << 53) {
    kept >>= 1;
    ++exponent;
  }
  if (exponent > 1023) {
    return negative ? -__builtin_inf() : __builtin_inf();
  }
  const auto field = static_cast<std::uint64_t>(exponent + 1023);
  return __builtin_bit_cast(double, sign | (field << 52) | (kept & ((1ULL << 52) - 1)));
}

Float80 Rint(Float80 x) {
  if (!IsFinite(x) || IsZero(x)) {
    return IsNaNOperand(x) ? DefaultNaN() : x;
  }
  const Unpacked u = Unpack(x);
  if (u.Exponent >= 63) {
    return x; // no fraction bits
  }
  if (u.Exponent < -1) {
    return Zero(u.Negative); // below one half
  }
  // The whole part and the fraction of Significand * 2^(Exponent - 63).
  const int fractionBits = 63 - u.Exponent; // 1 to 64
  const U128 significand = U128(u.Significand);
  auto whole = static_cast<std::uint64_t>(significand >> fractionBits);
  const U128 fraction = significand & ((U128(1) << fractionBits) - 1);
  const U128 half = U128(1) << (fractionBits - 1);
  if (fraction > half || (fraction == half && (whole & 1) != 0)) {
    ++whole; // at most 2^63
  }
  if (whole == 0) {
    return Zero(u.Negative);
  }
  const int shift = std::countl_zero(whole);
  return Float80::FromBits(
      static_cast<std::uint16_t>((u.Negative ? kSignBit : 0) | (kExponentBias + 63 - shift)),
      whole << shift);
}

std::int64_t Llrint(Float80 x) {
  const Float80 whole = Rint(x);
  if (!IsFinite(whole) || IsNaNOperand(whole)) {
    return INT64_MIN;
  }
  if (IsZero(whole)) {
    return 0;
  }
  const Unpacked u = Unpack(whole);
  if (u.Exponent >= 63) {
    return INT64_MIN; // beyond the int64 range, or exactly -2^63
  }
  const auto magnitude = static_cast<std::int64_t>(u.Significand >> (63 - u.Exponent));
  return u.Negative ? -magnitude : magnitude;
}

int WholeToInt(Float80 whole) {
  return static_cast<int>(Llrint(whole));
}

int Ilogb(Float80 x) {
  if (IsNaNOperand(x)) {
    return FP_ILOGBNAN;
  }
  if (IsInf(x)) {
    return INT_MAX;
  }
  if (IsZero(x)) {
    return FP_ILOGB0;
  }
  return Unpack(x).Exponent;
}

Float80 Ldexp(Float80 x, int n) {
  if (!IsFinite(x) || IsZero(x)) {
    return IsNaNOperand(x) ? DefaultNaN() : x;
  }
  // Beyond +-40000 every result is infinite or zero; clamping keeps the sum within int.
  constexpr int kBeyondRange = 40000;
  const int scale = n > kBeyondRange ? kBeyondRange : (n < -kBeyondRange ? -kBeyondRange : n);
  const Unpacked u = Unpack(x);
  return RoundPack(u.Negative, u.Exponent + scale, U128(u.Significand) << 64);
}

} // namespace gustrule::soft
