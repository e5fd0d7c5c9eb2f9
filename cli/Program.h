#pragma once

#include <span>
#include <string_view>

#include "CommandLine.h"
#include "Output.h"

namespace gustrule::cli {

// round, rect, convert, size and batch, in the order the usage and the help list them.
std::span<const Subcommand> Subcommands();

// Runs one command line (the arguments without the program's name) against the subcommands,
// reading and writing through `io`; returns the exit status. Every run starts from the same
// defaults (the decimal separator is "." unless --decimal-separator is given). A failure that
// escapes a subcommand (an arithmetic failure is handled inside it) is written to io.Err as
// "gustrule-cli: TEXT" with status 1.
// Example: {"convert", "1", "m³/s", "--tsv"} writes "l/s\tm³/s\tm³/min\tm³/hr\n1000.00\t1.00\t
// 60.00\t3600.00\n" and returns 0.
int RunCommandLine(std::span<const std::string_view> args, Console& io);

} // namespace gustrule::cli
