#pragma once

#include <span>
#include <string>
#include <string_view>

#include "CommandLine.h"
#include "Constants.h"
#include "GridText.h"

namespace gustrule::cli {

// round, rect, convert and size, in the order the usage and the help list them.
std::span<const Subcommand> Subcommands();

// The shared constants as the command line sets them before a calculation.
SharedConstants Constants();

// The material words: MaterialWords("|", "|") gives "spiral|flexible" for the usage,
// MaterialWords(", ", " or ") gives "spiral or flexible".
std::string MaterialWords(std::string_view between, std::string_view beforeLast);

// Tab-separated with --tsv, else aligned.
GridStyle TableStyle(const Invocation& run);

} // namespace gustrule::cli
