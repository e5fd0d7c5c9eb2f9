// The soft extended arithmetic at its edges, with the exact bits expected (as MPFR and the x87
// unit give them): ties to even, subnormals, the largest finite values, overflow, exact powers.
// It runs on every platform, so it also shows that a build elsewhere rounds as on x86.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>

#include "SoftFloat80.h"

namespace gustrule::soft {
namespace {

constexpr Float80 F(std::uint16_t signExponent, std::uint64_t significand) {
  return Float80::FromBits(signExponent, significand);
}

constexpr Float80 kOne = F(0x3FFF, 0x8000000000000000);
constexpr Float80 kTwo = F(0x4000, 0x8000000000000000);
constexpr Float80 kHalf = F(0x3FFE, 0x8000000000000000);
constexpr Float80 kLargest = F(0x7FFE, 0xFFFFFFFFFFFFFFFF);
constexpr Float80 kSmallestNormal = F(0x0001, 0x8000000000000000);
constexpr Float80 kLargestSubnormal = F(0x0000, 0x7FFFFFFFFFFFFFFF);
constexpr Float80 kSmallestSubnormal = F(0x0000, 0x0000000000000001);
constexpr Float80 kInfinity = F(0x7FFF, 0x8000000000000000);
constexpr Float80 kNaN = F(0xFFFF, 0xC000000000000000);
constexpr Float80 kZero = F(0x0000, 0);
constexpr Float80 kMinusZero = F(0x8000, 0);

std::string Hex(Float80 x) {
  char text[32];
  std::snprintf(text, sizeof text, "%04X:%016llX", x.SignExponent,
                static_cast<unsigned long long>(x.Significand));
  return text;
}

struct Case {
  const char* Name;
  std::function<Float80()> Compute;
  Float80 Expected;
};

template <std::size_t N> void ExpectBits(const Case (&cases)[N]) {
  for (const Case& c : cases) {
    const Float80 got = c.Compute();
    EXPECT_TRUE(SameBits(got, c.Expected) || (IsNaN(got) && IsNaN(c.Expected)))
        << c.Name << ": " << Hex(got) << ", expected " << Hex(c.Expected);
  }
}

TEST(SoftFloat80, BasicOperationsRoundTiesToEvenAndKeepTheRange) {
  const Case cases[] = {
      {"1 + 2^-64 ties down to even", [] { return kOne + F(0x3FBF, 1ULL << 63); }, kOne},
      {"(1 + 2^-63) + 2^-64 ties up to even",
       [] { return F(0x3FFF, 0x8000000000000001) + F(0x3FBF, 1ULL << 63); },
       F(0x3FFF, 0x8000000000000002)},
      {"1 - 2^-65 ties up across the exponent", [] { return kOne - F(0x3FBE, 1ULL << 63); }, kOne},
      {"largest + half its last place overflows", [] { return kLargest + F(0x7FBE, 1ULL << 63); },
       kInfinity},
      {"largest + a quarter of its last place stays",
       [] { return kLargest + F(0x7FBD, 1ULL << 63); }, kLargest},
      {"largest subnormal + smallest is the smallest normal",
       [] { return kLargestSubnormal + kSmallestSubnormal; }, kSmallestNormal},
      {"smallest normal - smallest subnormal", [] { return kSmallestNormal - kSmallestSubnormal; },
       kLargestSubnormal},
      {"x - x is +0", [] { return Float80(3) - Float80(3); }, kZero},
      {"-0 + -0 is -0", [] { return kMinusZero + kMinusZero; }, kMinusZero},
      {"inf - inf is NaN", [] { return kInfinity - kInfinity; }, kNaN},
      {"(1 + 2^-63)^2 rounds its 2^-126",
       [] {
         const Float80 x = F(0x3FFF, 0x8000000000000001);
         return x * x;
       },
       F(0x3FFF, 0x8000000000000002)},
      {"smallest normal / 2 is exact", [] { return kSmallestNormal * kHalf; },
       F(0x0000, 0x4000000000000000)},
      {"smallest subnormal / 2 ties to 0", [] { return kSmallestSubnormal * kHalf; }, kZero},
      {"smallest subnormal * 1.5 ties to 2",
       [] { return kSmallestSubnormal * F(0x3FFF, 0xC000000000000000); }, F(0x0000, 2)},
      {"2^16383 * 2 overflows", [] { return F(0x7FFE, 1ULL << 63) * kTwo; }, kInfinity},
      {"0 * inf is NaN", [] { return kZero * kInfinity; }, kNaN},
      {"1 / 3", [] { return kOne / Float80(3); }, F(0x3FFD, 0xAAAAAAAAAAAAAAAB)},
      {"-1 / 0 is -inf", [] { return -kOne / kZero; }, -kInfinity},
      {"0 / 0 is NaN", [] { return kZero / kZero; }, kNaN},
      {"smallest normal / 2^64 ties to 0", [] { return kSmallestNormal / F(0x403F, 1ULL << 63); },
       kZero},
      {"largest / (1 - 2^-64) overflows", [] { return kLargest / F(0x3FFE, 0xFFFFFFFFFFFFFFFF); },
       kInfinity},
  };
  ExpectBits(cases);
}

TEST(SoftFloat80, WholeNumbersAndScalingRoundTiesToEven) {
  const Case cases[] = {
      {"rint 2.5", [] { return Rint(F(0x4000, 0xA000000000000000)); }, kTwo},
      {"rint 3.5", [] { return Rint(F(0x4000, 0xE000000000000000)); }, Float80(4)},
      {"rint -0.5 keeps the sign", [] { return Rint(-kHalf); }, kMinusZero},
      {"rint just above 0.5", [] { return Rint(F(0x3FFE, 0x8000000000000001)); }, kOne},
      {"rint 2^63 - 0.5 ties up to 2^63", [] { return Rint(F(0x403D, 0xFFFFFFFFFFFFFFFF)); },
       F(0x403E, 1ULL << 63)},
      {"ldexp to the smallest subnormal", [] { return Ldexp(kOne, -16445); }, kSmallestSubnormal},
      {"ldexp to half of it ties to 0", [] { return Ldexp(kOne, -16446); }, kZero},
      {"ldexp of 3 to 1.5 units ties to 2", [] { return Ldexp(Float80(3), -16446); }, F(0x0000, 2)},
      {"ldexp beyond the range", [] { return Ldexp(kOne, 16384); }, kInfinity},
      {"ldexp of the smallest subnormal back to 1", [] { return Ldexp(kSmallestSubnormal, 16445); },
       kOne},
      {"from the smallest subnormal double", [] { return FromDouble(0x1p-1074); },
       F(0x3BCD, 1ULL << 63)},
  };
  ExpectBits(cases);
  EXPECT_EQ(Llrint(F(0xC000, 0xA000000000000000)), -2) << "-2.5 ties to -2";
  EXPECT_EQ(Llrint(F(0x403E, 1ULL << 63)), INT64_MIN) << "2^63 is beyond int64";
  EXPECT_EQ(Ilogb(kSmallestSubnormal), -16445);
  EXPECT_EQ(Ilogb(Float80(10)), 3);
}

TEST(SoftFloat80, ToDoubleRoundsTiesToEvenIntoTheSubnormals) {
  const struct {
    const char* Name;
    Float80 Value;
    double Expected;
  } cases[] = {
      {"1 + 2^-53 ties down", F(0x3FFF, 0x8000000000000400), 1.0},
      {"1 + 3 * 2^-53 ties up", F(0x3FFF, 0x8000000000000C00), 1.0 + 0x1p-51},
      {"largest double + half its last place", F(0x43FE, 0xFFFFFFFFFFFFFC00),
       std::numeric_limits<double>::infinity()},
      {"2^-1075 ties to 0", F(0x3BCC, 1ULL << 63), 0.0},
      {"0.75 * 2^-1074 rounds up", F(0x3BCC, 0xC000000000000000), 0x1p-1074},
      {"just below 2^-1022 rounds up to it", F(0x3C00, 0xFFFFFFFFFFFFFFFF), 0x1p-1022},
      {"-0 stays -0", kMinusZero, -0.0},
  };
  for (const auto& c : cases) {
    const double got = ToDouble(c.Value);
    EXPECT_EQ(__builtin_bit_cast(std::uint64_t, got), __builtin_bit_cast(std::uint64_t, c.Expected))
        << c.Name << ": " << got;
  }
}

// ln x is the extended ln 2 times log2 x, rounded once; the powers of two are exact products.
TEST(SoftFloat80, LnAndExp2Minus1AtTheirEdges) {
  constexpr Float80 kLn2 = F(0x3FFE, 0xB17217F7D1CF79AC); // ln 2 rounded, as FLDLN2 loads it
  const Case cases[] = {
      {"ln 1", [] { return Ln(kOne); }, kZero},
      {"ln 2", [] { return Ln(kTwo); }, kLn2},
      {"ln 4", [] { return Ln(Float80(4)); }, F(0x3FFF, 0xB17217F7D1CF79AC)},
      {"ln 1/2", [] { return Ln(kHalf); }, -kLn2},
      {"ln 3", [] { return Ln(Float80(3)); }, F(0x3FFF, 0x8C9F53D5681854BB)},
      {"ln 10", [] { return Ln(Float80(10)); }, F(0x4000, 0x935D8DDDAAA8AC17)},
      {"ln of the smallest subnormal", [] { return Ln(kSmallestSubnormal); },
       F(0xC00C, 0xB21B38B6AA03736C)},
      {"ln 2^16383", [] { return Ln(F(0x7FFE, 1ULL << 63)); }, F(0x400C, 0xB16F522F71F0326E)},
      {"ln 0", [] { return Ln(kZero); }, -kInfinity},
      {"ln -1", [] { return Ln(-kOne); }, kNaN},
      {"ln inf", [] { return Ln(kInfinity); }, kInfinity},
      {"2^0.5 - 1", [] { return Exp2Minus1(kHalf); }, F(0x3FFD, 0xD413CCCFE7799211)},
      {"2^-0.5 - 1", [] { return Exp2Minus1(-kHalf); }, F(0xBFFD, 0x95F619980C4336F7)},
      {"2^0.25 - 1", [] { return Exp2Minus1(F(0x3FFD, 1ULL << 63)); },
       F(0x3FFC, 0xC1BF828C6DC54B7A)},
      {"2^1 - 1", [] { return Exp2Minus1(kOne); }, kOne},
      {"2^-1 - 1", [] { return Exp2Minus1(-kOne); }, -kHalf},
      {"2^-0 - 1 keeps the sign", [] { return Exp2Minus1(kMinusZero); }, kMinusZero},
      {"2^f - 1 of the smallest subnormal", [] { return Exp2Minus1(kSmallestSubnormal); },
       kSmallestSubnormal},
      {"2^f - 1 of 5 subnormal units", [] { return Exp2Minus1(F(0x0000, 5)); }, F(0x0000, 3)},
      {"2^f - 1 beyond 1", [] { return Exp2Minus1(F(0x3FFF, 0x8000000000000001)); }, kNaN},
  };
  ExpectBits(cases);
}

// The formulas' decimal literals become the extended values nearest to the decimals (bits from
// MPFR reading the decimal), also where long double is binary128 and rounds them first.
TEST(SoftFloat80, LiteralsAreTheExtendedValuesNearestTheirDecimals) {
  const struct {
    const char* Decimal;
    Float80 Value;
    Float80 Expected;
  } cases[] = {
      {"5.74", FromLiteral(5.74L), F(0x4001, 0xB7AE147AE147AE14)},
      {"1.325", FromLiteral(1.325L), F(0x3FFF, 0xA99999999999999A)},
      {"0.9", FromLiteral(0.9L), F(0x3FFE, 0xE666666666666666)},
      {"3.7", FromLiteral(3.7L), F(0x4000, 0xECCCCCCCCCCCCCCD)},
      {"0.0001", FromLiteral(0.0001L), F(0x3FF1, 0xD1B71758E219652C)},
      {"1.265", FromLiteral(1.265L), F(0x3FFF, 0xA1EB851EB851EB85)},
      {"log2 e", FromLiteral(1.442695040888963407359924681001892137L),
       F(0x3FFF, 0xB8AA3B295C17F0BC)},
      {"1e28", FromLiteral(1e28L), F(0x405C, 0x813F3978F8940984)},
      {"1e480", FromLiteral(1e480L), F(0x4639, 0xB83ED8DC0795A262)},
      {"1e4608", FromLiteral(1e4608L), F(0x7BCA, 0xAE3511626ED559F0)},
      {"1e-4000", FromLiteral(1e-4000L), F(0x0C17, 0x9C3D73864F3805C0)},
      {"2^-16445", FromLiteral(0x1p-16445L), kSmallestSubnormal},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(SameBits(c.Value, c.Expected)) << c.Decimal << ": " << Hex(c.Value);
    EXPECT_EQ(ToLongDouble(c.Value), static_cast<long double>(ToLongDouble(c.Expected)));
  }
  if constexpr (std::numeric_limits<long double>::digits > 64) {
    // 1 + 2^-64 lies halfway between 1 and the next extended value: as a literal it would not
    // compile; as a run-time value it rounds to even.
    const Rounded halfway = RoundLongDouble(1.0L + 0x1p-64L);
    EXPECT_TRUE(halfway.WasHalfway);
    EXPECT_TRUE(SameBits(halfway.Value, kOne));
  }
}

} // namespace
} // namespace gustrule::soft
