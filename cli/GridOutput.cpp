#include "GridOutput.h"

#include <string>

#include "Failures.h"

namespace gustrule::cli {

SharedConstants Constants() {
  SharedConstants constants;
  SetSharedConstants(constants);
  return constants;
}

GridStyle TableStyle(const Invocation& run) {
  return run.Has(TsvOption().Name) ? GridStyle::Tsv : GridStyle::Aligned;
}

void PrintGrid(const CellGrid& grid, GridStyle style, TextOut& out) {
  out.Write(GridText(grid, style));
}

int CalculateAndPrint(CellGrid& grid, GridStyle style, Console& io,
                      const std::function<void(CellGrid&)>& calculate) {
  try {
    calculate(grid);
  } catch (const Exception& failure) {
    PrintGrid(grid, style, io.Out);
    PrintLine(io.Err, FailureText(failure.Message()));
    return kExitFailure;
  }
  PrintGrid(grid, style, io.Out);
  return kExitSuccess;
}

} // namespace gustrule::cli
