#pragma once

#include "CommandLine.h"

namespace gustrule::cli {

// size: the smallest round duct that meets velocity and friction limits, for one duct given by
// its values or for every section of a schedule file (--schedule).
Subcommand SizeSubcommand();

} // namespace gustrule::cli
