#pragma once

// The text of a schedule of duct sections, as a spreadsheet saves it: a header line naming the
// columns, then one section per line. Fields are separated by tabs when the header holds a tab,
// else by commas; a field that starts with a double quote is quoted as in RFC 4180 (the
// separator, and a quote written twice, are part of it), with either separator.
//
// Lines are what records are: a line ends at LF, a CR before that LF (or at the end of the text)
// is dropped, and a quoted field cannot span lines; a quote left open at the end of its line is
// a problem of that line, and the next line is read afresh. A UTF-8 byte order mark at the start
// is skipped. Lines that are empty or hold only blanks, tabs and the separator, and lines whose
// first character is "#", are skipped, before the header too. Line numbers count every line of
// the text from 1.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gustrule::cli {

// One line after the header that was not skipped.
struct ScheduleLine {
  std::size_t Number = 0;          // in the text, from 1
  std::vector<std::string> Fields; // without quotes; empty when Problem is set
  std::string Problem;             // why the line does not read, e.g. an unclosed quote
};

struct ScheduleText {
  char Separator = ',';
  std::size_t HeaderLine = 0;      // 0 when the text has no header (only skipped lines)
  std::vector<std::string> Header; // the header's fields as they are written
  std::string HeaderProblem;       // why the header line does not read
  std::vector<ScheduleLine> Lines; // in text order
};

// Splits a schedule text into its header and lines. Never throws for any bytes (but
// std::bad_alloc).
// Example: "section,flow\r\nA1,\"1,5\"\r\n# note\r\nB2,80\r\n" gives Separator ',', Header
// {"section", "flow"} on line 1, and lines 2 {"A1", "1,5"} and 4 {"B2", "80"}.
ScheduleText SplitSchedule(std::string_view text);

// The fields of one line (no CR or LF in it) separated by `separator`, into `fields`. Returns
// the problem, or the empty text when the line reads: "a quoted field is not closed on its
// line", or "text after the closing quote of field N" (N from 1).
// Example: `a,"b ""c""",` gives {"a", "b \"c\"", ""}.
std::string SplitFields(std::string_view line, char separator, std::vector<std::string>& fields);

// Whether SplitSchedule skips `line` (without its line end): empty, only blanks, tabs and the
// separator, or a "#" as its first character.
bool IsSkippedLine(std::string_view line, char separator);

// One record as a CSV line (without its line end) that SplitFields reads back as the same fields
// with ',' and that SplitSchedule neither skips nor takes for a comment: a field is quoted when
// it holds a comma, a quote, a CR or an LF, when it starts with "#" or with a byte order mark, or
// when every field is blank or empty (then the first).
// Example: {"A,1", "say \"hi\"", "7"} gives `"A,1","say ""hi""",7`.
std::string CsvLine(const std::vector<std::string>& fields);

} // namespace gustrule::cli
