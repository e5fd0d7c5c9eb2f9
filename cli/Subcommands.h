#pragma once

#include <span>

#include "CommandLine.h"

namespace gustrule::cli {

// round, rect and convert, in the order the usage and the help list them.
std::span<const Subcommand> Subcommands();

} // namespace gustrule::cli
