#pragma once

#include <string>

#include "CellGrid.h"

namespace gustrule::cli {

enum class GridStyle {
  Aligned, // columns padded with blanks to line up in a terminal, two blanks between them
  Tsv,     // cells separated by one tab
};

// The heading row (row 1) and every row written after it, in row order, one line each ending in
// LF. A tab, CR or LF inside a cell shows as a blank, so that every row stays one line and the
// columns stay apart; aligned lines lose their trailing blanks.
// Example: headings "a", "bb" and the row "1", "2" give "a  bb\n1  2\n" aligned and
// "a\tbb\n1\t2\n" as TSV.
std::string GridText(const CellGrid& grid, GridStyle style);

} // namespace gustrule::cli
