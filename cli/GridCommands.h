#pragma once

#include "CommandLine.h"

namespace gustrule::cli {

// The window's three calculations, each printing its grid: the round-duct table, one
// rectangular duct and a volume flow in the four units.
Subcommand RoundSubcommand();
Subcommand RectSubcommand();
Subcommand ConvertSubcommand();

} // namespace gustrule::cli
