#pragma once

#include <QRect>

#include <array>
#include <cstddef>

#include "Conversions.h"
#include "DuctMaterials.h"
#include "RectDuct.h"
#include "RoundDuct.h"

// The parts of the main window's fixed layout (pixels, designed at 96 dpi) that show a table of
// the engine one entry at a time, and the checks that they show every entry. A table that grows
// past its place stops the build with a message naming the table and the layout, rather than
// building a window whose last choice or column is cut off out of sight. The checks take the
// table itself, so a test can try them on a table with one row more.
namespace DuctLayout {

// The duct type box holds one choice per duct material, one below the other, above its frame.
inline constexpr QRect DuctTypeBox(8, 0, 136, 57);
inline constexpr QRect FirstDuctTypeChoice(8, 17, 120, 18);
inline constexpr int GroupBoxBottomEdge = 2;

// A result grid: its place on its panel and its columns' widths. Its rows are 16 px high, row 0
// none; the grid draws a line after every row and column and a frame around them (TextGrid.h,
// whose numbers Duct.cpp checks these against).
struct Grid {
  QRect geometry;
  int columnWidth;
  int fixedColumnWidth; // the first column, which stays in place; 0: no fixed column
  bool scrollsSideways; // a scroll bar below the rows; else the last column is cut at the edge
};
inline constexpr int GridRowHeight = 16;
inline constexpr int GridLine = 1;
inline constexpr int GridFrame = 2;
inline constexpr int ScrollBarExtent = 17;
inline constexpr Grid RoundGrid{{8, 64, 585, 430}, 84, 72, true};
inline constexpr Grid RectGrid{{8, 80, 585, 39}, 117, 0, false};
inline constexpr Grid ConversionsGrid{{8, 106, 585, 39}, 146, 0, false};

// Whether the grid shows `rows` rows whole (no grid scrolls up and down): 4 + 1 + 24 x 17 + 17
// makes the round grid's 430 px.
constexpr bool ShowsRows(const Grid& grid, std::size_t rows) {
  const int lines = rows == 0 ? 0 : 1 + static_cast<int>(rows - 1) * (GridRowHeight + GridLine);
  return 2 * GridFrame + lines + (grid.scrollsSideways ? ScrollBarExtent : 0) <=
         grid.geometry.height();
}

// Whether a grid that does not scroll sideways shows at least half of each of `columns` columns.
constexpr bool ShowsColumns(const Grid& grid, std::size_t columns) {
  const int lastLeft = static_cast<int>(columns - 1) * (grid.columnWidth + GridLine);
  return grid.scrollsSideways ||
         lastLeft + grid.columnWidth / 2 <= grid.geometry.width() - 2 * GridFrame;
}

// The checks: each takes a table and stops the build, by its static assertion, when the layout
// has no room for every row of it; otherwise it returns true. The duct type box holds two
// choices, so HoldsDuctMaterials of a table of three materials does not compile.
template <typename Material, std::size_t Count>
constexpr bool HoldsDuctMaterials(const std::array<Material, Count>&) {
  static_assert(FirstDuctTypeChoice.top() +
                        static_cast<int>(Count) * FirstDuctTypeChoice.height() <=
                    DuctTypeBox.height() - GroupBoxBottomEdge,
                "DuctMaterials: the duct type box (RadioGroupDT, 57 px high) has no room for one "
                "more choice");
  return true;
}

template <typename Size, std::size_t Count>
constexpr bool HoldsRoundDuctSizes(const std::array<Size, Count>&) {
  // Row 0 and the heading row come before the sizes.
  static_assert(ShowsRows(RoundGrid, gustrule::RoundDuctFirstValueRow + Count),
                "RoundDuctDiameters: the round duct grid (SGRoundDuct, 430 px high) has no room "
                "for one more row");
  return true;
}

template <typename Heading, std::size_t Count>
constexpr bool HoldsRectDuctColumns(const std::array<Heading, Count>&) {
  static_assert(ShowsColumns(RectGrid, Count),
                "RectDuctHeadings: the rectangular duct grid (SGRectDuct, 585 px wide) has no "
                "room for one more column");
  return true;
}

template <typename Unit, std::size_t Count>
constexpr bool HoldsConversionUnits(const std::array<Unit, Count>&) {
  static_assert(ShowsColumns(ConversionsGrid, Count),
                "ConversionTable: the conversions grid (SGconversions, 585 px wide) has no room "
                "for one more unit's column");
  return true;
}

static_assert(HoldsDuctMaterials(gustrule::DuctMaterials));
static_assert(HoldsRoundDuctSizes(gustrule::RoundDuctDiameters));
static_assert(HoldsRectDuctColumns(gustrule::RectDuctHeadings));
static_assert(HoldsConversionUnits(gustrule::ConversionTable));

} // namespace DuctLayout
