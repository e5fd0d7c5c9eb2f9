#pragma once

#include <string>

#include "CellGrid.h"

namespace gustrule::cli {

enum class GridStyle {
  Aligned, // columns padded with blanks to line up in a terminal, two blanks between them
  Tsv,     // cells separated by one tab
  Csv,     // cells separated by commas, quoted where RFC 4180 needs it (CsvLine)
};

// The heading row (row 1) and every row written after it, in row order, one line each ending in
// LF. Aligned and TSV lines show a tab, CR or LF inside a cell as a blank, so that every row stays
// one line and the columns stay apart; aligned lines lose their trailing blanks. CSV keeps each
// cell as it is.
// Example: headings "a", "bb" and the row "1", "2" give "a  bb\n1  2\n" aligned and "a,bb\n1,2\n"
// as CSV.
std::string GridText(const CellGrid& grid, GridStyle style);

} // namespace gustrule::cli
