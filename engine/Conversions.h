#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "CellGrid.h"

namespace gustrule {

inline constexpr int ConversionColumns = 4;
inline constexpr int ConversionRows = 3; // row 0 hidden, row 1 headings, row 2 the values
inline constexpr int ConversionValueRow = 2;

// How a value in one unit becomes the value in another: x * Multiplier / Divisor, evaluated in
// that order in extended arithmetic and stored as a double. A 1 leaves the value as it is (the
// operation is exact), so x, x * a, x / b and x * a / b all take this one form.
struct ConversionStep {
  int Multiplier;
  int Divisor;
};

// One flow unit: its text, and the step into each column's unit, in column order.
struct ConversionUnit {
  std::string_view Text;
  std::array<ConversionStep, ConversionColumns> ToColumn;
};

// 1 m³/s = 1000 l/s = 60 m³/min = 3600 m³/hr. A new unit is one more row here (and one more
// step in every row).
inline constexpr std::array<ConversionUnit, ConversionColumns> ConversionTable = {{
    {"l/s", {{{1, 1}, {1, 1000}, {60, 1000}, {3600, 1000}}}},
    {"m³/s", {{{1000, 1}, {1, 1}, {60, 1}, {3600, 1}}}},
    {"m³/min", {{{1000, 60}, {1, 60}, {1, 1}, {60, 1}}}},
    {"m³/hr", {{{1000, 3600}, {1, 3600}, {1, 60}, {1, 1}}}},
}};

// The four flow units: the grid's headings, the unit list's items and the texts a unit is
// compared with, all the same characters.
inline constexpr std::array<std::string_view, ConversionColumns> ConversionUnits = [] {
  std::array<std::string_view, ConversionColumns> texts{};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    texts[i] = ConversionTable[i].Text;
  }
  return texts;
}();

// Converts one volume flow into the four units. The results persist between runs: a unit text
// that matches none of the four leaves them as the last matching run set them (zero at first).
class Conversions {
public:
  // Reads the value (fallback 0); when `unitText` equals one of the four units exactly (same
  // length, same characters, nothing trimmed) sets all four results from it, in column order;
  // then writes the four results into row 2 with 2 decimals. Throws EOverflow when a result
  // leaves the double range: no cell is written, results set before it in this run stay.
  // Example: "183.7", "l/s" writes 183.70 0.18 11.02 661.32; then "200", "m3/s" writes the same.
  void Calc(std::string_view valueText, std::string_view unitText, CellSink& grid);

  const std::array<double, ConversionColumns>& Results() const { return results_; }

private:
  std::array<double, ConversionColumns> results_{};
};

} // namespace gustrule
