#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "DuctMaterials.h"
#include "Failures.h"
#include "RecordingSink.h"
#include "RoundDuct.h"
#include "RoundDuctSizing.h"
#include "StandardConstants.h"

namespace gustrule {
namespace {

constexpr const DuctMaterial& kSpiral = DuctMaterials[0];
constexpr const DuctMaterial& kFlexible = DuctMaterials[1];
constexpr std::optional<double> kNone;

std::optional<double> Size(double flow, double length, const DuctMaterial& material,
                           std::optional<double> velocity, std::optional<double> loss) {
  const auto row = SmallestRoundDuct(Standard(), flow, length, material, {velocity, loss});
  return row ? std::optional(row->DiameterMm) : std::nullopt;
}

TEST(SmallestRoundDuct, PicksTheFirstSizeInSeriesOrderThatMeetsEveryGivenLimit) {
  const struct {
    std::string name;
    double flow, length;
    const DuctMaterial& material;
    std::optional<double> velocity, loss, diameter;
  } cases[] = {
      {"velocity alone: 200 mm has 5.85 m/s", 183.7, 1, kSpiral, 5, kNone, 250},
      {"friction alone: 200 mm has 2.2 Pa/m", 183.7, 1, kSpiral, kNone, 1, 250},
      {"friction decides: 250 mm has 0.7 Pa/m", 183.7, 1, kSpiral, 5, 0.5, 300},
      {"velocity decides: 355 mm has 5.05 m/s", 500, 1, kSpiral, 5, 1, 400},
      {"flexible duct loses more per metre", 183.7, 1, kFlexible, kNone, 1, 300},
      {"the length changes only the total", 183.7, 40, kSpiral, kNone, 1, 250},
      {"a loose limit takes the smallest size", 183.7, 1, kSpiral, 100, kNone, 80},
      {"1422 mm comes before 1500 mm", 2000, 1, kSpiral, 1.26, kNone, 1422},
      {"nothing up to 1500 mm", 183.7, 1, kSpiral, 0.05, kNone, kNone},
      {"a limit of zero is met by no size", 183.7, 1, kSpiral, kNone, 0, kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Size(c.flow, c.length, c.material, c.velocity, c.loss), c.diameter) << c.name;
  }
}

// A stored value used as its own limit passes; the next double below it does not, and the size
// after it is taken (every value falls as the diameter grows).
TEST(SmallestRoundDuct, AValueExactlyAtItsLimitPassesAndTheNextDoubleBelowDoesNot) {
  const double flow = 183.7;
  for (const int diameter : {80, 250, 630, 1422}) {
    const RoundDuctRow row =
        ComputeRoundDuctRow(Standard(), CubicMetresPerSecond(flow), 1, kSpiral.Roughness, diameter);
    const double below = -std::numeric_limits<double>::infinity();
    EXPECT_EQ(Size(flow, 1, kSpiral, row.Velocity, kNone), diameter) << diameter;
    EXPECT_GT(Size(flow, 1, kSpiral, std::nextafter(row.Velocity, below), kNone), diameter)
        << diameter;
    EXPECT_EQ(Size(flow, 1, kSpiral, kNone, row.LossPerMetre), diameter) << diameter;
    EXPECT_GT(Size(flow, 1, kSpiral, kNone, std::nextafter(row.LossPerMetre, below)), diameter)
        << diameter;
  }
}

// "5.00" on the screen is 5.0039... m/s, which does not pass a 5 m/s limit.
TEST(SmallestRoundDuct, ComparesTheStoredValueNotItsText) {
  RecordingSink table(RoundDuctColumns, RoundDuctRows);
  RoundDuctCalc(Standard(), "245.63", "1", kSpiral, table);
  ASSERT_EQ(table.Cell(1, 8), "5.00"); // 250 mm
  EXPECT_EQ(Size(245.63, 1, kSpiral, 5, kNone), 300);
}

TEST(SmallestRoundDuct, TheChosenRowWritesTheTextsOfItsRowInTheTable) {
  for (const DuctMaterial* material : {&kSpiral, &kFlexible}) {
    RecordingSink table(RoundDuctColumns, RoundDuctRows);
    RoundDuctCalc(Standard(), "183.7", "2.5", *material, table);
    const auto row = SmallestRoundDuct(Standard(), 183.7, 2.5, *material, {5, kNone});
    ASSERT_TRUE(row.has_value());
    RecordingSink chosen(RoundDuctColumns, RoundDuctRows);
    WriteRoundDuctRow(*row, *material, 2, chosen);
    EXPECT_EQ(chosen.Row(2), table.Row(8)) << material->Word; // 250 mm
  }
}

TEST(SmallestRoundDuct, ArithmeticFailuresAreTheTables) {
  const struct {
    std::string name;
    double flow, length;
    std::string message;
  } cases[] = {
      {"zero flow", 0, 1, "Floating point division by zero"},
      {"negative flow", -5, 1, "Invalid floating point operation"},
      {"zero length", 183.7, 0, "Invalid floating point operation"},
      {"a flow whose pressure overflows", 1e300, 1, "Floating point overflow"},
  };
  for (const auto& c : cases) {
    try {
      Size(c.flow, c.length, kSpiral, 5, 1);
      ADD_FAILURE() << c.name << ": no failure";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
    }
  }
}

} // namespace
} // namespace gustrule
