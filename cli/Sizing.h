#pragma once

// Sizing round ducts from limits for the command line: reading the values strictly, one duct at
// a time or a whole schedule (Schedule.h), and the table of a sized schedule.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CellGrid.h"
#include "Constants.h"
#include "DuctMaterials.h"
#include "RoundDuct.h"
#include "RoundDuctSizing.h"

namespace gustrule::cli {

// Reads the values of a duct to size strictly: where the table takes a fallback for a text that
// does not read, sizing refuses it, naming the value and its text. Texts are read with the
// window's reader (TextToNumber) and the process's decimal separator. The first refusal is kept.
class StrictReader {
public:
  // The value of `text`; 0 after a refusal ("NAME 'TEXT' is not a number") or when the value lies
  // beyond the double range, which is noted as an overflow.
  double Number(std::string_view name, std::string_view text);
  // As Number, and a value of zero or below is refused: "NAME 'TEXT' is not above zero".
  double Limit(std::string_view name, std::string_view text);
  // Records a refusal of the caller's own, unless one was made before.
  void Refuse(std::string refusal);

  // The first refusal, such as "FLOW '12a' is not a number"; empty when there was none.
  const std::string& Refusal() const { return refusal_; }
  // Whether a text read as a value beyond the double range (the reader's EOverflow).
  bool Overflowed() const { return overflowed_; }

private:
  std::optional<double> Read(std::string_view name, std::string_view text);

  std::string refusal_;
  bool overflowed_ = false;
};

// The material whose word is `text` ignoring ASCII case and blanks around it, or nullptr.
const DuctMaterial* FindDuctMaterialLoosely(std::string_view text);

// "No duct size up to 1500 mm meets the limits.", the largest size taken from the series.
std::string NoSizeMeetsTheLimits();

// What a schedule line takes where its column is missing or its cell is empty: the command
// line's options, else a length of 1 m, spiral duct and no limit.
struct ScheduleDefaults {
  RoundDuctLimits Limits;
  double Length = 1;
  const DuctMaterial* Material = &DuctMaterials[0];
};

// One section of a schedule: sized, or with the reason it failed.
struct SizedSection {
  std::size_t Line = 0; // where it is in the schedule text, from 1
  std::string Section;  // the text of its section column, empty without one
  // The values it was sized with, and the size chosen; when Row is empty, the section failed.
  double Flow = 0;   // l/s
  double Length = 0; // m
  const DuctMaterial* Material = nullptr;
  RoundDuctLimits Limits;
  std::optional<RoundDuctRow> Row;
  std::string Problem; // "line N: reason" when it failed, e.g. "line 3: flow 'x' is not a number"
};

struct SizedSchedule {
  // What makes the schedule unusable as a whole (no header line, no flow column, a column named
  // twice, no limit anywhere); there are no sections then.
  std::string Problem;
  std::vector<SizedSection> Sections; // one per line that is not skipped, in text order
};

// Sizes every section of a schedule text (Schedule.h gives its form) with SmallestRoundDuct. The
// columns are found by name, in any ASCII case and with blanks around ignored: section, flow,
// length, type, max_velocity, max_friction; other names are ignored. A section fails, with its
// reason, when its line does not read or has more fields than the header, its flow is empty or
// unreadable, another value is unreadable, a limit is zero or below, it has no limit, a value
// lies beyond the double range or the arithmetic fails ("Floating point division by zero."), or
// no size meets the limits (NoSizeMeetsTheLimits()); the other sections go on. A line with fewer
// fields than the header takes the defaults for the missing ones.
// Example: "section,flow\nA,183.7\nB,x\n" with a velocity limit of 5 gives A sized at 250 mm and
// B failed with "line 3: flow 'x' is not a number".
SizedSchedule SizeSchedule(const SharedConstants& constants, std::string_view text,
                           const ScheduleDefaults& defaults);

// The table of a sized schedule: row 1 the heading "Section" and the 13 headings of the round
// table, then from row 2 one row per section: its section text and the 13 cells of the chosen
// size exactly as the round table writes them, or the section text alone when it failed.
CellGrid ScheduleTable(const SizedSchedule& schedule);

} // namespace gustrule::cli
