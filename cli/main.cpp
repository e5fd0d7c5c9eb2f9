// gustrule-cli: prints the window's result grids from the same engine code, for scripts and for
// checking numbers by hand.
#include <unistd.h>

#include <cstdio>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "Extended.h"
#include "Output.h"
#include "Program.h"

int main(int argc, char** argv) {
  using namespace gustrule::cli;
  gustrule::InitArithmetic();
  FileOut out(stdout);
  FileOut err(stderr, &out);
  Console io{STDIN_FILENO, out, err};
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const int status = RunCommandLine(args, io);
  out.Flush();
  return status;
}
