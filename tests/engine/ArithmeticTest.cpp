#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "Extended.h"
#include "Failures.h"

namespace gustrule {
namespace {

long double Power(Extended base, Extended exponent) {
  return RaisePower(base, exponent).Value();
}

TEST(RaisePower, FollowsItsRulesInOrder) {
  const struct {
    Extended base, exponent;
    long double expected;
  } cases[] = {
      {0, 0, 1},        {-7.5L, 0, 1},  {0, 0.9L, 0}, {0, 2, 0},       {-2, 3, -8},
      {-2, 2, 4},       {2, -2, 0.25L}, {3, 1, 3},    {10, 20, 1e20L}, {2, 0.5L, std::sqrt(2.0L)},
      {1e-3000L, 2, 0}, // underflow is no failure
  };
  for (const auto& c : cases) {
    const long double result = Power(c.base, c.exponent);
    EXPECT_NEAR(static_cast<double>(result), static_cast<double>(c.expected),
                std::fabs(static_cast<double>(c.expected)) * 1e-18)
        << c.base.Value() << "^" << c.exponent.Value();
  }
  EXPECT_FALSE(std::signbit(Power(-0.0L, 3))) << "zero to a positive power is +0";
}

TEST(RaisePower, CubeIsBaseTimesItsSquare) {
  constexpr Extended base = 1.1L;
  EXPECT_EQ(Power(base, 3), (base * (base * base)).Value());
  EXPECT_EQ(Power(base, 5), (base * ((base * base) * (base * base))).Value());
}

TEST(RaisePower, NonIntegralPowerIsExpOfLogarithm) {
  // 8^(1/3) through e^(ln 8 / 3) lands within a couple of units in the last place of 2.
  EXPECT_NEAR(static_cast<double>(Power(8, 1.0L / 3)), 2.0, 1e-17);
  EXPECT_NEAR(static_cast<double>(Power(196654.0L, 0.9L)), 58120.9234667, 1e-6);
}

struct FailureCase {
  std::string name;
  std::function<void()> run;
  std::string message;
};

TEST(Arithmetic, FailuresCarryTheirMessages) {
  const FailureCase cases[] = {
      {"zero to a negative whole power", [] { RaisePower(0, -2); },
       "Floating point division by zero"},
      {"zero to a negative fraction", [] { RaisePower(0, -0.5L); },
       "Floating point division by zero"},
      {"negative base, fractional power", [] { RaisePower(-8, 0.2L); },
       "Invalid floating point operation"},
      {"ln 0", [] { Ln(0); }, "Floating point division by zero"},
      {"ln -0", [] { Ln(-0.0L); }, "Floating point division by zero"},
      {"ln -1", [] { Ln(-1); }, "Invalid floating point operation"},
      {"1 / 0", [] { (void)(Extended(1) / Extended(0)); }, "Floating point division by zero"},
      {"0 / 0", [] { (void)(Extended(0) / Extended(0)); }, "Invalid floating point operation"},
      {"product beyond extended", [] { (void)(Extended(1e4000L) * Extended(1e4000L)); },
       "Floating point overflow"},
      {"sum beyond extended",
       [] {
         constexpr Extended kLargest = 0x1.fffffffffffffffep16383L;
         (void)(kLargest + kLargest);
       },
       "Floating point overflow"},
      {"power beyond extended", [] { RaisePower(10, 5000); }, "Floating point overflow"},
      {"exp beyond extended", [] { RaisePower(10, 5000.5L); }, "Floating point overflow"},
      {"store beyond double",
       [] {
         Real r = Extended(1e309L);
         (void)r;
       },
       "Floating point overflow"},
  };
  for (const auto& c : cases) {
    try {
      c.run();
      ADD_FAILURE() << c.name << ": no failure";
    } catch (const std::exception& e) { // what a caller knowing only the standard sees
      EXPECT_EQ(std::string(e.what()), c.message) << c.name;
      const auto* failure = dynamic_cast<const Exception*>(&e);
      ASSERT_NE(failure, nullptr) << c.name;
      EXPECT_EQ(failure->Message(), c.message) << c.name;
    }
  }
}

TEST(Arithmetic, StoringRoundsToNearestDoubleAndUnderflowsQuietly) {
  EXPECT_EQ(Real(Extended(1.0L / 3)).Value(), 1.0 / 3);
  EXPECT_EQ(Real(Extended(1e-330L)).Value(), 0.0);
  EXPECT_EQ(Real(Extended(static_cast<long double>(DBL_MAX) * (1 + 0x1p-55L))).Value(), DBL_MAX);
  EXPECT_EQ(Exp(-20000).Value(), 0.0L);
}

TEST(Arithmetic, LogarithmAndExponentialAgreeToExtendedPrecision) {
  const Extended arguments[] = {0.5L, 1.0L, 2.0L, 10.0L, 1e100L, 1e-300L};
  for (const Extended argument : arguments) {
    const long double x = argument.Value();
    EXPECT_NEAR(static_cast<double>(Ln(argument).Value()), std::log(static_cast<double>(x)), 1e-13)
        << x;
    // The round trip loses about |ln x| units in the last place of the logarithm.
    const long double back = Exp(Ln(argument)).Value();
    EXPECT_LE(std::fabs(back - x) / x, 1e-16L) << x;
  }
  EXPECT_EQ(Ln(1).Value(), 0.0L);
  EXPECT_EQ(Exp(0).Value(), 1.0L);
}

#if !GUSTRULE_SOFT_ARITHMETIC
std::uint16_t X87ControlWord() {
  std::uint16_t word = 0;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}

void SetX87ControlWord(std::uint16_t word) {
  __asm__ volatile("fldcw %0" : : "m"(word));
}

long double ThirdComputedNow() {
  volatile long double one = 1.0L;
  volatile long double three = 3.0L;
  return one / three;
}
#endif

TEST(Arithmetic, InitArithmeticRestoresExtendedPrecisionAndNearestRounding) {
#if !GUSTRULE_SOFT_ARITHMETIC
  // Start from what other code may leave behind: 53-bit significands, rounding toward zero.
  constexpr std::uint16_t kDoublePrecisionTowardZero = 0x0E7F;
  SetX87ControlWord(kDoublePrecisionTowardZero);
  ASSERT_EQ(std::fesetround(FE_TOWARDZERO), 0);
  ASSERT_EQ(ThirdComputedNow(), static_cast<long double>(1.0 / 3)) << "53 bits did not take";

  InitArithmetic();
  EXPECT_EQ(X87ControlWord(), 0x037F) << "exceptions masked, 64-bit significands, nearest";
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
  EXPECT_EQ(ThirdComputedNow(), 1.0L / 3); // 64-bit significand, nearest
  EXPECT_NE(static_cast<double>(ThirdComputedNow()), ThirdComputedNow());
#else
  GTEST_SKIP() << "the soft arithmetic uses no x87 control word";
#endif
}

} // namespace
} // namespace gustrule
