#pragma once

// What the soft extended arithmetic's basic operations and its logarithm and exponential share:
// taking a value apart and rounding an exact wider result once.

#include <bit>
#include <cstdint>

#include "SoftFloat80.h"

namespace gustrule::soft::internal {

__extension__ using U128 = unsigned __int128;

constexpr int kFieldLimit = kExponentMask; // biased exponent of infinities and NaN

constexpr Float80 Infinity(bool negative) {
  return Float80::FromBits(static_cast<std::uint16_t>((negative ? kSignBit : 0) | kExponentMask),
                           kIntegerBit);
}
// The x87 unit's default NaN ("real indefinite").
constexpr Float80 DefaultNaN() {
  return Float80::FromBits(kSignBit | kExponentMask, 0xC000000000000000ULL);
}
constexpr Float80 Zero(bool negative) {
  return Float80::FromBits(negative ? kSignBit : 0, 0);
}

// A finite non-zero value as Significand * 2^(Exponent - 63) with bit 63 of Significand set;
// subnormals are normalised, so Exponent may lie below -16382.
struct Unpacked {
  bool Negative = false;
  int Exponent = 0;
  std::uint64_t Significand = 0;
};

// Only for finite non-zero x whose encoding is valid.
constexpr Unpacked Unpack(Float80 x) {
  const int field = x.SignExponent & kExponentMask;
  const int shift = std::countl_zero(x.Significand);
  return {SignBit(x), (field == 0 ? 1 : field) - kExponentBias - shift, x.Significand << shift};
}

// Whether x is zero (either sign), and whether it is an encoding the x87 unit refuses as an
// operand (an unnormal: integer bit clear with a non-zero exponent), which acts as a NaN.
constexpr bool IsZero(Float80 x) {
  return (x.SignExponent & kExponentMask) == 0 && x.Significand == 0;
}
constexpr bool IsNaNOperand(Float80 x) {
  const int field = x.SignExponent & kExponentMask;
  return IsNaN(x) || (field != 0 && (x.Significand & kIntegerBit) == 0);
}

// Shifts right by `shift` (0 <= shift), keeping in the lowest bit whether any 1 was shifted out.
constexpr U128 ShiftRightSticky(U128 value, int shift) {
  if (shift == 0) {
    return value;
  }
  if (shift >= 128) {
    return value != 0 ? 1 : 0;
  }
  const U128 lost = value & ((U128(1) << shift) - 1);
  return (value >> shift) | (lost != 0 ? 1 : 0);
}

// Rounds Significand * 2^(Exponent - 127) to the nearest extended value, ties to even, where
// bit 127 of Significand is set and its lowest bit is set when the exact value has further 1 bits
// below it. Beyond the range gives an infinity, below it a subnormal or zero.
constexpr Float80 RoundPack(bool negative, int exponent, U128 significand) {
  const auto sign = static_cast<std::uint16_t>(negative ? kSignBit : 0);
  int field = exponent + kExponentBias;
  if (field >= kFieldLimit) {
    return Infinity(negative);
  }
  if (field <= 0) {
    // A subnormal keeps the bits from 2^-16445 on: shift them into the lower word's place.
    significand = ShiftRightSticky(significand, 1 - field);
    field = 0;
  }
  auto kept = static_cast<std::uint64_t>(significand >> 64);
  const auto rest = static_cast<std::uint64_t>(significand);
  constexpr std::uint64_t kHalf = 1ULL << 63;
  if (rest > kHalf || (rest == kHalf && (kept & 1) != 0)) {
    ++kept;
    if (kept == 0) { // carried out of 64 bits
      kept = kIntegerBit;
      if (++field >= kFieldLimit) {
        return Infinity(negative);
      }
    } else if (field == 0 && kept == kIntegerBit) {
      field = 1; // the largest subnormal rounded up to the smallest normal value
    }
  }
  return Float80::FromBits(static_cast<std::uint16_t>(sign | field), kept);
}

} // namespace gustrule::soft::internal
