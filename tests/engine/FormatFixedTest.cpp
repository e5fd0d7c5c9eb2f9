#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "NumberText.h"

namespace gustrule {
namespace {

struct FormatCase {
  double value;
  int decimals;
  std::string expected;
};

TEST(FormatFixed, RoundsTwiceFirstToSeventeenDecimalsThenHalfUp) {
  const FormatCase cases[] = {
      {0.015, 2, "0.02"}, // 0.01499999999999999944... is 0.01500000000000000 at 17 decimals
      {0.125, 2, "0.13"}, // an exact binary tie rounds away from zero
      {2.5, 0, "3"},
      {1234567.125, 2, "1234567.13"},
      {0.045, 1, "0.0"}, // 0.04500000000000000: the first dropped digit, 4, rounds down
      {9.996, 2, "10.00"},
      {0.999, 2, "1.00"},
      {0.0005, 3, "0.001"},
      {0, 1, "0.0"},
      {123.456, 0, "123"},
      {183.7, 2, "183.70"},
      {0.05, 2, "0.05"},
      {36.546, 2, "36.55"},
      {5e-324, 2, "0.00"},
      {0.1, 17, "0.10000000000000001"},
      {0.1, 20, "0.10000000000000001000"}, // 17 decimals of the value, then zeros
      {12.5, 0, "13"},                     // s at or above 10 keeps its first digit
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected) << c.value << " with " << c.decimals;
  }
}

TEST(FormatFixed, SignBitAlwaysShows) {
  const FormatCase cases[] = {
      {-0.4, 0, "-0"},        {-0.001, 2, "-0.00"},   {-0.0, 2, "-0.00"},
      {-222.46, 1, "-222.5"}, {-1000, 2, "-1000.00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected) << c.value;
  }
}

TEST(FormatFixed, LargeValuesBelowTwoToTheHundredTwentyStayFixed) {
  EXPECT_EQ(FormatFixed(1e20, 1), "100000000000000000000.0");
  EXPECT_EQ(FormatFixed(1e36, 1), "1000000000000000042000000000000000000.0");
  EXPECT_EQ(FormatFixed(std::ldexp(1.0, 120) * (1 - 0x1p-53), 0),
            "1329227995784915725000000000000000000"); // 19 digits, then zeros
  EXPECT_EQ(FormatFixed(123456789.987654321, 2), "123456789.99");
}

TEST(FormatFixed, ScientificFormFromTwoToTheHundredTwenty) {
  const FormatCase cases[] = {
      {1.5e40, 2, "1.500E+0040"},
      {-1.5e40, 1, "-1.500E+0040"},
      {std::ldexp(1.0, 120), 1, "1.329E+0036"},
      {1.7976931348623157e308, 2, "1.798E+0308"},
      {9.9996e100, 0, "1.000E+0101"}, // the rounding carries into a fifth digit
      {1.2e40, 2, "1.200E+0040"},     // scaled to 12: M has five digits
      {1.23456e50, 2, "1.234E+0050"}, // of five digits the first four show, the fifth drops
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected) << c.value;
  }
}

TEST(FormatFixed, NonFiniteValuesHaveNamesAndDecimalsAreBounded) {
  EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 2), "INF");
  EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity(), 2), "-INF");
  EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 2), "NAN");
  EXPECT_THROW(FormatFixed(1, -1), std::invalid_argument);
  EXPECT_THROW(FormatFixed(1, kMaxDecimals + 1), std::invalid_argument);
}

TEST(FormatFixed, PointIsWrittenWhateverTheReadingSeparator) {
  SetDecimalSeparator(U',');
  EXPECT_EQ(FormatFixed(1.5, 1), "1.5");
  SetDecimalSeparator(U'.');
}

// Every text the formatter writes below 2^120 reads back as the value rounded as shown.
TEST(FormatFixed, ReadsBackAsTheShownRounding) {
  const double values[] = {0.015, 183.7, 804.04, 1e15 + 0.5, 7.25, 2.675, 1e-5};
  for (const double v : values) {
    for (int d = 0; d <= 3; ++d) {
      const double back = ReadNumber(FormatFixed(v, d), -1);
      EXPECT_LE(std::fabs(back - v), 0.5 * std::pow(10.0, -d) * (1 + 1e-12)) << v << " " << d;
    }
  }
}

} // namespace
} // namespace gustrule
