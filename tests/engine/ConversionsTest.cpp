#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "Conversions.h"
#include "Failures.h"
#include "NumberText.h"
#include "RecordingSink.h"

namespace gustrule {
namespace {

using Row = std::vector<std::string>;

Row Convert(Conversions& conversions, const std::string& value, const std::string& unit) {
  RecordingSink grid(ConversionColumns, ConversionRows);
  conversions.Calc(value, unit, grid);
  EXPECT_EQ(grid.Writes().size(), 4U) << "every run writes all four cells";
  return grid.Row(ConversionValueRow);
}

TEST(Conversions, ReproducesTheReferenceRows) {
  const struct {
    std::string unit, value;
    Row expected;
  } cases[] = {
      {"l/s", "183.7", {"183.70", "0.18", "11.02", "661.32"}},
      {"m³/s", "1", {"1000.00", "1.00", "60.00", "3600.00"}},
      {"m³/min", "1", {"16.67", "0.02", "1.00", "60.00"}},
      {"m³/hr", "250", {"69.44", "0.07", "4.17", "250.00"}},
      {"m³/s", "-1", {"-1000.00", "-1.00", "-60.00", "-3600.00"}},
      {"m³/hr", "", {"0.00", "0.00", "0.00", "0.00"}},
  };
  for (const auto& c : cases) {
    Conversions conversions;
    EXPECT_EQ(Convert(conversions, c.value, c.unit), c.expected) << c.unit << " " << c.value;
  }
}

TEST(Conversions, UnmatchedUnitsKeepTheLastMatchingResults) {
  Conversions conversions;
  EXPECT_EQ(Convert(conversions, "183.7", "Select Volume Units"), Row(4, "0.00"));
  const Row litres = {"183.70", "0.18", "11.02", "661.32"};
  EXPECT_EQ(Convert(conversions, "183.7", "l/s"), litres);
  for (const std::string unit : {"m3/s", " l/s", "L/S", "l/s ", "m³/S", "", "m³"}) {
    EXPECT_EQ(Convert(conversions, "200", unit), litres) << "[" << unit << "]";
  }
  EXPECT_EQ(Convert(conversions, "200", "l/s")[0], "200.00");
}

TEST(Conversions, OverflowWritesNothingButKeepsResultsSetBeforeIt) {
  Conversions conversions;
  Convert(conversions, "1", "m³/s");
  RecordingSink grid(ConversionColumns, ConversionRows, "old");
  try {
    conversions.Calc("1e306", "m³/s", grid); // x * 1000 leaves the double range first
    FAIL() << "no overflow";
  } catch (const EOverflow& e) {
    EXPECT_EQ(e.Message(), "Floating point overflow");
  }
  EXPECT_TRUE(grid.Writes().empty());
  EXPECT_EQ(conversions.Results()[0], 1000.0) << "the failing result is not stored";

  EXPECT_THROW(conversions.Calc("1e308", "l/s", grid), EOverflow); // x * 3600 / 1000, last
  EXPECT_TRUE(grid.Writes().empty());
  EXPECT_EQ(conversions.Results()[0], 1e308) << "results before the failing one keep new values";
  EXPECT_EQ(conversions.Results()[2], 6e306);
  EXPECT_EQ(conversions.Results()[3], 3600.0);
}

// Each result is its formula evaluated left to right in extended arithmetic and rounded once to
// double, bit for bit, over many values where the order of the operations shows.
TEST(Conversions, EveryResultIsItsFormulaInExtendedArithmeticBitForBit) {
  using Formula = long double (*)(long double);
  const Formula formulas[ConversionColumns][ConversionColumns] = {
      {[](long double x) { return x; }, [](long double x) { return x / 1000; },
       [](long double x) { return x * 60 / 1000; }, [](long double x) { return x * 3600 / 1000; }},
      {[](long double x) { return x * 1000; }, [](long double x) { return x; },
       [](long double x) { return x * 60; }, [](long double x) { return x * 3600; }},
      {[](long double x) { return x * 1000 / 60; }, [](long double x) { return x / 60; },
       [](long double x) { return x; }, [](long double x) { return x * 60; }},
      {[](long double x) { return x * 1000 / 3600; }, [](long double x) { return x / 3600; },
       [](long double x) { return x / 60; }, [](long double x) { return x; }},
  };
  std::vector<std::string> texts = {
      "0", "-0", "0.1", "183.7", "5e-324", "1e-310", "7.7e300",
      // Values whose double changes with the order: x / 1000 * 3600, x / 60 * 1000, and
      // x * (1000 / 60) would each give another result for two of them.
      "117938179693560e7", "195865873663699e-14", "36575313654975e12", "187496785144473e14",
      "313818032630362e-10", "179721995735600e-17"};
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<std::uint64_t> digits(1, 999999999999999);
  std::uniform_int_distribution<int> exponent(-40, 40);
  for (int i = 0; i < 500; ++i) {
    texts.push_back(std::to_string(digits(random)) + "e" + std::to_string(exponent(random)));
  }
  for (std::size_t unit = 0; unit < ConversionUnits.size(); ++unit) {
    for (const std::string& text : texts) {
      const double x = ReadNumber(text, 0);
      Conversions conversions;
      RecordingSink grid(ConversionColumns, ConversionRows);
      conversions.Calc(text, ConversionUnits[unit], grid);
      for (std::size_t column = 0; column < ConversionUnits.size(); ++column) {
        const auto expected = static_cast<double>(formulas[unit][column](x));
        ASSERT_EQ(std::bit_cast<std::uint64_t>(conversions.Results()[column]),
                  std::bit_cast<std::uint64_t>(expected))
            << text << " " << ConversionUnits[unit] << " to " << ConversionUnits[column];
      }
    }
  }
}

} // namespace
} // namespace gustrule
