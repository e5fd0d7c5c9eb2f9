#include "GridOutput.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "Failures.h"
#include "Utf8.h"

namespace gustrule::cli {

namespace {

// Columns a text takes in a terminal: one per code point (the grids hold no wide characters).
std::size_t DisplayWidth(std::string_view text) {
  return CountCharacters(text);
}

} // namespace

void PrintGrid(const CellGrid& grid, bool tsv) {
  std::vector<int> rows;
  for (int row = 1; row < grid.Rows(); ++row) {
    if (row == 1 || grid.RowWritten(row)) {
      rows.push_back(row);
    }
  }
  std::vector<std::size_t> widths(static_cast<std::size_t>(grid.Columns()), 0);
  for (const int row : rows) {
    for (int column = 0; column < grid.Columns(); ++column) {
      auto& width = widths[static_cast<std::size_t>(column)];
      width = std::max(width, DisplayWidth(grid.Cell(column, row)));
    }
  }
  std::string out;
  for (const int row : rows) {
    std::string line;
    for (int column = 0; column < grid.Columns(); ++column) {
      const std::string& cell = grid.Cell(column, row);
      if (tsv) {
        if (column > 0) {
          line += '\t';
        }
        line += cell;
      } else {
        if (column > 0) {
          line += "  ";
        }
        line += cell;
        line.append(widths[static_cast<std::size_t>(column)] - DisplayWidth(cell), ' ');
      }
    }
    if (!tsv) {
      while (!line.empty() && line.back() == ' ') {
        line.pop_back();
      }
    }
    out += line;
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
}

int CalculateAndPrint(CellGrid& grid, bool tsv, const std::function<void(CellGrid&)>& calculate) {
  try {
    calculate(grid);
  } catch (const Exception& failure) {
    PrintGrid(grid, tsv);
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", FailureText(failure.Message()).c_str());
    return kExitFailure;
  }
  PrintGrid(grid, tsv);
  return kExitSuccess;
}

} // namespace gustrule::cli
