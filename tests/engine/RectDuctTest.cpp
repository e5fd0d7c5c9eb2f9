#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Failures.h"
#include "RecordingSink.h"
#include "RectDuct.h"
#include "StandardConstants.h"

namespace gustrule {
namespace {

using Row = std::vector<std::string>;

struct Inputs {
  std::string flow, sideA, sideB, length;
};

RecordingSink RunRect(const Inputs& in, const std::string& initial = "") {
  RecordingSink grid(RectDuctColumns, RectDuctRows, initial);
  RectDuctCalc(Standard(), in.flow, in.sideA, in.sideB, in.length, grid);
  return grid;
}

TEST(RectDuctCalc, ReproducesTheReferenceRows) {
  const struct {
    Inputs in;
    Row expected;
  } cases[] = {
      {{"183.7", "212", "212", "1"}, {"233", "4.09", "1.0", "1.0", "10.1"}},
      {{"183.7", "212", "212", "10"}, {"233", "4.09", "1.0", "10.1", "10.1"}},
      {{"1000", "600", "300", "5"}, {"462", "5.56", "0.8", "4.0", "18.6"}},
      {{"1000", "300", "600", "5"}, {"462", "5.56", "0.8", "4.0", "18.6"}},
      {{"100", "300", "150", "-2"}, {"231", "2.22", "0.4", "-0.7", "3.0"}},
      {{"183.7", "-300", "100", "1"}, {"213", "-6.12", "1.6", "1.6", "22.6"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunRect(c.in).Row(RectDuctValueRow), c.expected)
        << c.in.flow << " " << c.in.sideA << " " << c.in.sideB << " " << c.in.length;
  }
}

TEST(RectDuctCalc, UnroundedValuesShowTheSectionVelocityNotTheEquivalentOne) {
  const RectDuctResult r = ComputeRectDuct(Standard(), 183.7, 212, 212, 1);
  EXPECT_NEAR(r.EquivalentDiameterMm, 233.46, 0.01);
  EXPECT_NEAR(r.EquivalentVelocity, 4.29, 0.01);
  EXPECT_NEAR(r.SectionVelocity, 4.087, 0.001);
  EXPECT_NEAR(r.Reynolds, 67386, 1);
  EXPECT_NEAR(r.Friction, 0.0213, 0.0001);
}

TEST(RectDuctCalc, AnyZeroOrUnreadableInputGivesTheMarkerRow) {
  const Row markers(5, "?...");
  const Inputs cases[] = {
      {"0", "212", "212", "1"},    {"183.7", "0.0", "212", "1"}, {"183.7", "212", "-0", "1"},
      {"183.7", "212", "212", ""}, {"abc", "212", "212", "1"},   {"183.7", "212", "212", "."},
  };
  for (const auto& in : cases) {
    const RecordingSink grid = RunRect(in, "old");
    EXPECT_EQ(grid.Row(RectDuctValueRow), markers)
        << in.flow << " " << in.sideA << " " << in.sideB << " " << in.length;
    EXPECT_EQ(grid.Row(1), Row(5, "old")) << "the heading row is never written";
  }
}

TEST(RectDuctCalc, FailuresLeaveTheRowAsItWas) {
  const struct {
    Inputs in;
    std::string message;
  } cases[] = {
      {{"183.7", "-212", "212", "1"}, "Floating point division by zero"},
      {{"183.7", "-212", "-212", "1"}, "Invalid floating point operation"},
      {{"183.7", "-100", "300", "1"}, "Invalid floating point operation"},
      {{"-183.7", "212", "212", "1"}, "Invalid floating point operation"},
      {{"1e309", "212", "212", "1"}, "Floating point overflow"},
      {{"183.7", "1e300", "1e300", "1"}, "Floating point division by zero"}, // v_e underflows to 0
      {{"1e300", "212", "212", "1"}, "Floating point overflow"},
  };
  for (const auto& c : cases) {
    RecordingSink grid(RectDuctColumns, RectDuctRows, "old");
    try {
      RectDuctCalc(Standard(), c.in.flow, c.in.sideA, c.in.sideB, c.in.length, grid);
      ADD_FAILURE() << c.in.flow << " " << c.in.sideA << ": no failure";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message) << c.in.flow << " " << c.in.sideA << " " << c.in.sideB;
    }
    EXPECT_TRUE(grid.Writes().empty());
  }
}

TEST(RectDuctCalc, WritesColumnsZeroToFourOfRowTwo) {
  const RecordingSink grid = RunRect({"183.7", "212", "212", "1"});
  ASSERT_EQ(grid.Writes().size(), 5U);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(grid.Writes()[static_cast<std::size_t>(i)].column, i);
    EXPECT_EQ(grid.Writes()[static_cast<std::size_t>(i)].row, RectDuctValueRow);
  }
}

} // namespace
} // namespace gustrule
