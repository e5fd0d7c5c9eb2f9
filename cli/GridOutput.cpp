#include "GridOutput.h"

#include <cstdio>
#include <string>

#include "CommandLine.h"
#include "Failures.h"

namespace gustrule::cli {

void PrintGrid(const CellGrid& grid, GridStyle style) {
  const std::string text = GridText(grid, style);
  std::fwrite(text.data(), 1, text.size(), stdout);
}

int CalculateAndPrint(CellGrid& grid, GridStyle style,
                      const std::function<void(CellGrid&)>& calculate) {
  try {
    calculate(grid);
  } catch (const Exception& failure) {
    PrintGrid(grid, style);
    std::fflush(stdout);
    PrintError(FailureText(failure.Message()));
    return kExitFailure;
  }
  PrintGrid(grid, style);
  return kExitSuccess;
}

void PrintError(std::string_view message) {
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fputc('\n', stderr);
}

} // namespace gustrule::cli
