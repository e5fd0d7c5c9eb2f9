#pragma once

// Texts the command line builds from the engine's tables, so that a new material or unit needs
// no text edited by hand.

#include <string>
#include <string_view>

namespace gustrule::cli {

// The material words: MaterialWords("|", "|") gives "spiral|flexible" for a usage line,
// MaterialWords(", ", " or ") gives "spiral or flexible".
std::string MaterialWords(std::string_view between, std::string_view beforeLast);

// The flow unit texts, as MaterialWords: UnitWords(", ", " or ") gives
// "l/s, m³/s, m³/min or m³/hr".
std::string UnitWords(std::string_view between, std::string_view beforeLast);

} // namespace gustrule::cli
