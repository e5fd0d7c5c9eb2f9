#include "GridText.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "Utf8.h"

namespace gustrule::cli {

namespace {

// Columns a text takes in a terminal: one per code point (the grids hold no wide characters).
std::size_t DisplayWidth(std::string_view text) {
  return CountCharacters(text);
}

// A cell as one line's part: a tab, CR or LF becomes a blank.
std::string OnOneLine(std::string_view cell) {
  std::string text(cell);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
}

} // namespace

std::string GridText(const CellGrid& grid, GridStyle style) {
  std::vector<int> rows;
  for (int row = 1; row < grid.Rows(); ++row) {
    if (row == 1 || grid.RowWritten(row)) {
      rows.push_back(row);
    }
  }
  const auto columns = static_cast<std::size_t>(grid.Columns());
  std::vector<std::size_t> widths(columns, 0);
  if (style == GridStyle::Aligned) {
    for (const int row : rows) {
      for (std::size_t column = 0; column < columns; ++column) {
        widths[column] =
            std::max(widths[column], DisplayWidth(grid.Cell(static_cast<int>(column), row)));
      }
    }
  }
  std::string out;
  std::vector<std::string> cells(columns);
  for (const int row : rows) {
    for (std::size_t column = 0; column < columns; ++column) {
      const std::string& cell = grid.Cell(static_cast<int>(column), row);
      cells[column] = OnOneLine(cell);
    }
    std::string line;
    for (std::size_t column = 0; column < columns; ++column) {
      if (column > 0) {
        line += style == GridStyle::Tsv ? "\t" : "  ";
      }
      line += cells[column];
      if (style == GridStyle::Aligned) {
        line.append(widths[column] - DisplayWidth(cells[column]), ' ');
      }
    }
    if (style == GridStyle::Aligned) {
      line.erase(line.find_last_not_of(' ') + 1);
    }
    out += line;
    out += '\n';
  }
  return out;
}

} // namespace gustrule::cli
