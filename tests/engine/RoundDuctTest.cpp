#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "DuctMaterials.h"
#include "Failures.h"
#include "RecordingSink.h"
#include "RoundDuct.h"
#include "StandardConstants.h"

namespace gustrule {
namespace {

using Row = std::vector<std::string>;

constexpr const DuctMaterial& kSpiral = DuctMaterials[0];
constexpr const DuctMaterial& kFlexible = DuctMaterials[1];

RecordingSink RunRound(const std::string& volume, const std::string& length,
                       const DuctMaterial& material) {
  RecordingSink grid(RoundDuctColumns, RoundDuctRows);
  RoundDuctCalc(Standard(), volume, length, material, grid);
  return grid;
}

struct TableCase {
  std::string name, volume, length;
  const DuctMaterial& material;
  int row;
  Row expected;
};

TEST(RoundDuctCalc, ReproducesTheReferenceRows) {
  const Row emptyBends(8, "");
  auto flexible = [&](Row first) {
    first.insert(first.end(), emptyBends.begin(), emptyBends.end());
    return first;
  };
  const TableCase cases[] = {
      {"80 mm at start",
       "183.7",
       "1",
       kSpiral,
       2,
       {"80", "36.55", "222.5", "222.5", "804.0", "578.9", "176.9", "451.5", "138.0", "347.3",
        "106.1", "260.5", "79.6"}},
      {"250 mm keeps the small bend factors",
       "183.7",
       "1",
       kSpiral,
       8,
       {"250", "3.74", "0.7", "0.7", "8.4", "6.1", "1.9", "4.7", "1.4", "3.6", "1.1", "2.7",
        "0.8"}},
      {"300 mm is the first with the large factors",
       "183.7",
       "1",
       kSpiral,
       9,
       {"300", "2.60", "0.3", "0.3", "4.1", "3.9", "1.5", "3.0", "1.2", "2.3", "0.9", "1.8",
        "0.7"}},
      {"1500 mm",
       "183.7",
       "1",
       kSpiral,
       24,
       {"1500", "0.10", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0",
        "0.0"}},
      {"flexible 80 mm", "183.7", "1", kFlexible, 2,
       flexible({"80", "36.55", "634.3", "634.3", "804.0"})},
      {"flexible 300 mm", "183.7", "1", kFlexible, 9,
       flexible({"300", "2.60", "0.5", "0.5", "4.1"})},
      {"two metres double the total",
       "183.7",
       "2",
       kSpiral,
       2,
       {"80", "36.55", "222.5", "445.0", "804.0", "578.9", "176.9", "451.5", "138.0", "347.3",
        "106.1", "260.5", "79.6"}},
      {"negative length gives a negative total",
       "183.7",
       "-1",
       kSpiral,
       2,
       {"80", "36.55", "222.5", "-222.5", "804.0", "578.9", "176.9", "451.5", "138.0", "347.3",
        "106.1", "260.5", "79.6"}},
      {"unreadable length: total 0.0, same per metre",
       "183.7",
       "m",
       kSpiral,
       2,
       {"80", "36.55", "222.5", "0.0", "804.0", "578.9", "176.9", "451.5", "138.0", "347.3",
        "106.1", "260.5", "79.6"}},
      {"empty volume: all zero",
       "",
       "1",
       kSpiral,
       2,
       {"80", "0.00", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0"}},
      {"1422 not 1400", "183.7", "1", kFlexible, 23,
       flexible({"1422", "0.12", "0.0", "0.0", "0.0"})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunRound(c.volume, c.length, c.material).Row(c.row), c.expected) << c.name;
  }
}

TEST(RoundDuctCalc, UnroundedValuesOfTheFirstRow) {
  const double flow = 183.7 / 1000;
  const RoundDuctRow spiral = ComputeRoundDuctRow(Standard(), flow, 1, RoughnessSpiral, 80);
  EXPECT_NEAR(spiral.Velocity, 36.546, 0.001);
  EXPECT_NEAR(spiral.Reynolds, 196654, 1);
  EXPECT_NEAR(spiral.Friction, 0.02214, 0.00001);
  EXPECT_NEAR(spiral.VelocityPressure, 804.04, 0.01);
  const RoundDuctRow flexible = ComputeRoundDuctRow(Standard(), flow, 1, RoughnessFlexible, 80);
  EXPECT_NEAR(flexible.Friction, 0.06311, 0.00001);
  EXPECT_EQ(flexible.Velocity, spiral.Velocity);
}

TEST(RoundDuctCalc, WritesEveryValueCellInOrderAndNeverTheHeadings) {
  const RecordingSink grid = RunRound("183.7", "1", kSpiral);
  ASSERT_EQ(grid.Writes().size(), 23U * 13U);
  std::size_t i = 0;
  for (int row = 2; row <= 24; ++row) {
    for (int column = 0; column < 13; ++column, ++i) {
      EXPECT_EQ(grid.Writes()[i].row, row);
      EXPECT_EQ(grid.Writes()[i].column, column);
    }
    EXPECT_EQ(grid.Cell(0, row),
              std::to_string(RoundDuctDiameters[static_cast<std::size_t>(row - 2)]));
  }
}

TEST(RoundDuctCalc, FailuresStopBeforeAnyWriteAndKeepTheOldTexts) {
  const struct {
    std::string name, volume, length, message;
  } cases[] = {
      {"zero flow", "0", "1", "Floating point division by zero"},
      {"flow 0.", "0.", "1", "Floating point division by zero"},
      {"lone separator flow", ".", "1", "Floating point division by zero"},
      {"negative zero flow", "-0", "1", "Floating point division by zero"},
      {"negative flow", "-5", "1", "Invalid floating point operation"},
      {"zero length", "183.7", "0", "Invalid floating point operation"},
      {"flow beyond double", "1e309", "1", "Floating point overflow"},
      {"length beyond double", "183.7", "2e1000", "Floating point overflow"},
      {"flow whose pressure overflows", "1e300", "1", "Floating point overflow"},
  };
  for (const auto& c : cases) {
    RecordingSink grid(RoundDuctColumns, RoundDuctRows, "old");
    try {
      RoundDuctCalc(Standard(), c.volume, c.length, kSpiral, grid);
      ADD_FAILURE() << c.name << ": no failure";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
    }
    EXPECT_TRUE(grid.Writes().empty()) << c.name;
  }
}

TEST(RoundDuctCalc, LoneMinusIsUnreadableSoOnlyTheSecondKeystrokeOfMinusFiveFails) {
  EXPECT_NO_THROW(RunRound("-", "1", kSpiral));
  EXPECT_THROW(RunRound("-5", "1", kSpiral), EInvalidOp);
}

TEST(RoundDuctCalc, ConstantsNotYetSetFailLikeAnyDivisionByZero) {
  RecordingSink grid(RoundDuctColumns, RoundDuctRows);
  EXPECT_THROW(RoundDuctCalc(SharedConstants{}, "183.7", "1", kSpiral, grid), EZeroDivide);
}

TEST(DuctMaterials, EveryWordFindsItsOwnEntryAndNothingElseIsFound) {
  for (const DuctMaterial& material : DuctMaterials) {
    EXPECT_EQ(FindDuctMaterial(material.Word), &material) << material.Word;
  }
  for (const std::string_view word : {"", "Spiral", " spiral", "spiral ", "flex", "oval"}) {
    EXPECT_EQ(FindDuctMaterial(word), nullptr) << "[" << word << "]";
  }
}

} // namespace
} // namespace gustrule
