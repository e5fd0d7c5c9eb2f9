#pragma once

#include <array>
#include <string_view>

#include "CellGrid.h"

namespace gustrule {

inline constexpr int ConversionColumns = 4;
inline constexpr int ConversionRows = 3; // row 0 hidden, row 1 headings, row 2 the values
inline constexpr int ConversionValueRow = 2;

// The four flow units: the grid's headings, the unit list's items and the texts a unit is
// compared with, all the same characters.
inline constexpr std::array<std::string_view, ConversionColumns> ConversionUnits = {
    "l/s", "m³/s", "m³/min", "m³/hr"};

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
