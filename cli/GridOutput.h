#pragma once

#include <functional>

#include "CellGrid.h"

namespace gustrule::cli {

// Prints the heading row and every row the calculation wrote, in row order: as an aligned table,
// or with `tsv` one line per row with the cells separated by tabs.
void PrintGrid(const CellGrid& grid, bool tsv);

// Runs a calculation into `grid` (its headings already written) and prints the grid. After an
// arithmetic failure the rows written before it are printed and the failure text goes to
// standard error: kExitFailure. Otherwise kExitSuccess.
int CalculateAndPrint(CellGrid& grid, bool tsv, const std::function<void(CellGrid&)>& calculate);

} // namespace gustrule::cli
