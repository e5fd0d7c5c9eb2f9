#pragma once

// Texts the command line builds: words from the engine's tables, so that a new material or unit
// needs no text edited by hand, and the safe forms of texts read from files and arguments.

#include <cstddef>
#include <string>
#include <string_view>

namespace gustrule::cli {

// The material words: MaterialWords("|", "|") gives "spiral|flexible" for a usage line,
// MaterialWords(", ", " or ") gives "spiral or flexible".
std::string MaterialWords(std::string_view between, std::string_view beforeLast);

// The flow unit texts, as MaterialWords: UnitWords(", ", " or ") gives
// "l/s, m³/s, m³/min or m³/hr".
std::string UnitWords(std::string_view between, std::string_view beforeLast);

// How many characters of a text a message quotes at most.
inline constexpr std::size_t kQuotedCharacters = 40;

// A text as a message shows it, so that nothing from a file reaches a terminal raw: a backslash
// becomes "\\", a tab, CR and LF "\t", "\r" and "\n", any other control character "\xHH" (below
// U+0080) or "\u{HHHH}" (C1 controls, the line and paragraph separators, the bidirectional
// controls), and a byte that is not part of well-formed UTF-8 "\xHH".
// Example: Escaped("a\tb\xff") == "a\\tb\\xFF".
std::string Escaped(std::string_view text);

// A text quoted in a message: its first kQuotedCharacters characters (an invalid byte counts as
// one), escaped, between apostrophes, and "..." after them when it was cut.
// Examples: Quoted("12a") == "'12a'"; a text of 50 "x" gives 40 of them quoted, then "...".
std::string Quoted(std::string_view text);

// Whether a text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// The text with each byte that is not part of a well-formed UTF-8 character replaced by U+FFFD,
// appended to `out`.
// Example: "B\xfcro" appends "B\xEF\xBF\xBDro".
void AppendValidUtf8(std::string_view text, std::string& out);

} // namespace gustrule::cli
