#pragma once

// Writing a sized schedule, one line per section as it is sized: the input's columns as they
// were read, the 13 cells of the round table's row for the size chosen, and the section's
// status ("ok", or the reason it failed). Nothing but the aligned table's column widths is held
// in memory.

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "Output.h"
#include "RoundDuct.h"

namespace gustrule::cli {

enum class ScheduleFormat {
  Aligned, // columns padded with blanks to the widest cell, two blanks between them
  Tsv,     // cells separated by one tab
  Csv,     // RFC 4180, cells separated by the delimiter
  Json,    // JSON Lines: one object per section
};

struct ScheduleOutputOptions {
  ScheduleFormat Format = ScheduleFormat::Aligned;
  // For CSV: "," or ";"; with ";" the result numbers take "," as their decimal point.
  char Delimiter = ',';
  bool Crlf = false; // lines end in CR LF instead of LF
};

// The 13 result cells of a section, as the round table writes them; all empty when it failed.
using ResultCells = std::array<std::string, RoundDuctColumns>;

// The names of the result values in a JSON object, in the order of the round table's columns.
extern const std::array<std::string_view, RoundDuctColumns> kJsonResultKeys;

class ScheduleWriter {
public:
  virtual ~ScheduleWriter() = default;
  // The heading line: the input's column names, then the 13 headings of the round table and
  // "status". The JSON writer writes no heading line; it takes the names as keys.
  virtual void Header(std::span<const std::string> names) = 0;
  // One section's line: `input` holds a cell per name of the heading, well-formed UTF-8.
  virtual void Row(std::size_t line, std::span<const std::string> input, const ResultCells& results,
                   std::string_view status) = 0;
  // Writes what was held back (the aligned table); returns why it could not, or the empty text.
  virtual std::string Finish() { return {}; }
  // Whether the output has failed, so that nothing more need be made.
  virtual bool Failed() const = 0;

protected:
  ScheduleWriter() = default;
  ScheduleWriter(const ScheduleWriter&) = default;
  ScheduleWriter& operator=(const ScheduleWriter&) = default;
};

// A writer of `options.Format` into `out`. The aligned one spools its lines to a temporary file
// (in $TMPDIR, else /tmp), removed at once, and writes the padded table in Finish; when that file
// cannot be made it returns nullptr with the reason in `problem`.
//
// Lines as each format writes them, for the section "=A1" of a schedule "section,flow" sized at
// 250 mm:
//   TSV:  =A1<TAB>183.7<TAB>250<TAB>3.74<TAB>...<TAB>0.8<TAB>ok
//   CSV:  "'=A1",183.7,250,3.74,...,0.8,ok       (with ";": "'=A1";183.7;250;3,74;...;0,8;ok)
//   JSON: {"line":2,"input":{"section":"=A1","flow":"183.7"},"diameter_mm":250,...,"status":"ok"}
// In aligned and TSV lines a tab, CR or LF inside a cell is shown as a blank. A CSV cell is
// quoted when it holds the delimiter, a double quote, a CR or LF, or starts with "#" or a byte
// order mark, and a cell that starts with "=", "+", "-", "@", a tab or a CR gets an apostrophe
// before it inside the quotes, so that no spreadsheet takes it for a formula.
std::unique_ptr<ScheduleWriter> MakeScheduleWriter(const ScheduleOutputOptions& options,
                                                   TextOut& out, std::string& problem);

} // namespace gustrule::cli
