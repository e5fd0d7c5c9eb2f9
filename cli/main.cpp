// gustrule-cli: prints the window's result grids from the same engine code, for scripts and for
// checking numbers by hand.
#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "Extended.h"

int main(int argc, char** argv) {
  // Whatever escapes a run (an arithmetic failure is handled inside it) is reported as a
  // failure with its text instead of ending the program through std::terminate.
  try {
    gustrule::InitArithmetic();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return gustrule::cli::RunCommandLine(args);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "gustrule-cli: %s\n", failure.what());
  } catch (...) {
    std::fprintf(stderr, "gustrule-cli: unknown failure\n");
  }
  return gustrule::cli::kExitFailure;
}
