#pragma once

#include <functional>
#include <string_view>

#include "CellGrid.h"
#include "GridText.h"

namespace gustrule::cli {

// Prints the heading row and every row the calculation wrote, in row order (GridText).
void PrintGrid(const CellGrid& grid, GridStyle style);

// Runs a calculation into `grid` (its headings already written) and prints the grid. After an
// arithmetic failure the rows written before it are printed and the failure text goes to
// standard error: kExitFailure. Otherwise kExitSuccess.
int CalculateAndPrint(CellGrid& grid, GridStyle style,
                      const std::function<void(CellGrid&)>& calculate);

// Writes `message` and a line end to standard error.
void PrintError(std::string_view message);

} // namespace gustrule::cli
