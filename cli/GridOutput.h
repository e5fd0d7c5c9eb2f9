#pragma once

#include <functional>
#include <string_view>

#include "CellGrid.h"
#include "CommandLine.h"
#include "Constants.h"
#include "GridText.h"
#include "Output.h"

namespace gustrule::cli {

// The shared constants as the command line sets them before a calculation.
SharedConstants Constants();

// Tab-separated with --tsv, else aligned.
GridStyle TableStyle(const Invocation& run);

// Prints the heading row and every row the calculation wrote, in row order (GridText).
void PrintGrid(const CellGrid& grid, GridStyle style, TextOut& out);

// Runs a calculation into `grid` (its headings already written) and prints the grid to io.Out.
// After an arithmetic failure the rows written before it are printed and the failure text goes
// to io.Err: kExitFailure. Otherwise kExitSuccess.
int CalculateAndPrint(CellGrid& grid, GridStyle style, Console& io,
                      const std::function<void(CellGrid&)>& calculate);

} // namespace gustrule::cli
