#pragma once

#include <functional>
#include <span>
#include <string_view>

#include "CommandLine.h"
#include "Output.h"

namespace gustrule::cli {

// How a command line is run: its arguments (without the program's name) and where it writes;
// returns its exit status.
using CommandLineRunner = std::function<int(std::span<const std::string_view> args, Console& io)>;

// What ends each command's output in a batch: a line of its own, starting with the ASCII record
// separator (0x1E), which no command writes: " status N".
// Example: BatchStatusLine(3) == "\x1e status 3\n".
std::string BatchStatusLine(int status);

// batch: runs one command line per line of standard input through `runCommandLine`, the
// arguments separated by tabs, and writes each one's standard output, its standard error and
// its BatchStatusLine to standard output, in order.
Subcommand BatchSubcommand(CommandLineRunner runCommandLine);

} // namespace gustrule::cli
