#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "Failures.h"
#include "NumberText.h"

namespace gustrule {
namespace {

constexpr double kFallback = -12345.5; // a value no test text reads as

// Restores "." after tests that change the process-wide separator.
class ReadNumberTest : public ::testing::Test {
protected:
  void TearDown() override { SetDecimalSeparator(U'.'); }
};

std::uint64_t Bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

struct ReadCase {
  std::string text;
  double expected; // compared bit for bit, so -0.0 differs from 0.0
};

TEST_F(ReadNumberTest, ReadsTheGrammarWithPointAsSeparator) {
  const double negativeZero = -0.0;
  const ReadCase cases[] = {
      {"183.7", 183.7},
      {" 7 ", 7},
      {"+5", 5},
      {"5.", 5},
      {".5", 0.5},
      {"-.5", -0.5},
      {".", 0},
      {"  .  ", 0},
      {"+.", 0},
      {"-.", negativeZero},
      {"-0", negativeZero},
      {"1e", 1},
      {"2E+", 2},
      {"3e-", 3},
      {"5e-3", 0.005},
      {"1E3", 1000},
      {"1e-400", 0},
      {"1e-320", 1e-320}, // subnormal double, no failure
      {"0.1", 0.1},       // correctly rounded through extended
      {"123456789012345678901234567890", 123456789012345678901234567890.0},
      {"1e0000000000000000000000003", 1000}, // leading exponent zeros do not count
      {"0e4999", 0},
      {"4.9406564584124654e-324", 4.9406564584124654e-324},
      {"1.7976931348623157e308", 1.7976931348623157e308},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Bits(ReadNumber(c.text, kFallback)), Bits(c.expected)) << "text: [" << c.text << "]";
  }
}

TEST_F(ReadNumberTest, UnreadableTextsGiveTheFallback) {
  const std::string cases[] = {
      "",
      "   ",
      "+",
      "-",
      "e5",
      "1,5",
      "1.2.3",
      "- 5",
      "5 5",
      "0x10",
      "1e5x",
      "\t1",
      "1\t",
      "2e10000",
      "1.2e4932",
      "1e+-3",
      "++1",
      "1e3.5",
      "١",
      "1 e3",
      "inf",
      "nan",
      "1.7976931348623157e308e",
  };
  for (const auto& text : cases) {
    EXPECT_EQ(Bits(ReadNumber(text, kFallback)), Bits(kFallback)) << "text: [" << text << "]";
  }
}

TEST_F(ReadNumberTest, ValuesBeyondTheDoubleRangeOverflowInsteadOfFallingBack) {
  for (const std::string text : {"2e1000", "1.8e308", "-1.8e308", "1e4931"}) {
    EXPECT_THROW(ReadNumber(text, kFallback), EOverflow) << text;
  }
}

TEST_F(ReadNumberTest, AnExponentStopsTakingDigitsAtFiveHundred) {
  EXPECT_THROW(ReadNumber("1e499", 0), EOverflow);       // taken whole, beyond double
  EXPECT_EQ(ReadNumber("1e5000", kFallback), kFallback); // 500 reached, a 0 left over
  EXPECT_EQ(ReadNumber("1e-5000", kFallback), kFallback);
  EXPECT_EQ(ReadNumber("1e-499", kFallback), 0);
  EXPECT_EQ(ReadNumber("1e-4999", kFallback), 0); // 499 is below 500, so the 9 is taken
}

TEST_F(ReadNumberTest, VeryLongTextsReadOrFallBackWithoutFailing) {
  const std::string zeros(6000, '0');
  EXPECT_EQ(ReadNumber("0." + zeros + "1", kFallback), 0);             // scale below 10^-5120
  EXPECT_EQ(ReadNumber("1" + zeros, kFallback), kFallback);            // beyond the extended range
  EXPECT_EQ(ReadNumber("1" + zeros + "e-5990", kFallback), kFallback); // overflowed on the way
  EXPECT_EQ(ReadNumber(zeros + "2.5", kFallback), 2.5);
}

TEST_F(ReadNumberTest, CommaSeparatorReplacesThePoint) {
  SetDecimalSeparator(U',');
  EXPECT_EQ(ReadNumber("183,7", kFallback), 183.7);
  EXPECT_EQ(ReadNumber("183.7", kFallback), kFallback);
  EXPECT_EQ(ReadNumber(",", kFallback), 0);
  EXPECT_EQ(ReadNumber("-,5e1", kFallback), -5);
}

TEST_F(ReadNumberTest, NonAsciiSeparatorIsMatchedWhole) {
  SetDecimalSeparator(U'\u066B'); // Arabic decimal separator, two bytes in UTF-8
  EXPECT_EQ(ReadNumber("1\u066B5", kFallback), 1.5);
  EXPECT_EQ(ReadNumber("1\xD9", kFallback), kFallback); // a cut-off separator
  EXPECT_EQ(ReadNumber("1.5", kFallback), kFallback);
  EXPECT_EQ(DecimalSeparator(), U'\u066B');
}

TEST_F(ReadNumberTest, InvalidSeparatorIsRefused) {
  EXPECT_THROW(SetDecimalSeparator(0xD800), std::invalid_argument);
  EXPECT_THROW(SetDecimalSeparator(0x110000), std::invalid_argument);
  EXPECT_EQ(DecimalSeparator(), U'.');
}

TEST_F(ReadNumberTest, TextToNumberRaisesConvertErrorWithTheText) {
  try {
    TextToNumber("abc");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
  }
}

// The digit-by-digit building rounds at every step; for up to 19 digits it equals one division.
TEST_F(ReadNumberTest, ShortTextsEqualTheirIntegerDividedOnce) {
  const struct {
    std::string text;
    long double digits;
    long double divisor;
  } cases[] = {{"183.7", 1837.0L, 10.0L},
               {"0.0001", 1.0L, 10000.0L},
               {"9999999999.999999999", 9999999999999999999.0L, 1e9L},
               {"3.141593", 3141593.0L, 1e6L}};
  for (const auto& c : cases) {
    EXPECT_EQ(ReadNumber(c.text, kFallback), static_cast<double>(c.digits / c.divisor)) << c.text;
  }
}

} // namespace
} // namespace gustrule
