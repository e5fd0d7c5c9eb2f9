#pragma once

// Sizing round ducts from limits for the command line: reading the values strictly, finding a
// schedule's columns by their names, and sizing a schedule record by record (ScheduleReader.h)
// into a ScheduleWriter (ScheduleOutput.h).

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Constants.h"
#include "DuctMaterials.h"
#include "RoundDuct.h"
#include "RoundDuctSizing.h"

namespace gustrule::cli {

class ScheduleReader;
class ScheduleWriter;
struct ScheduleRecord;

// Reads the values of a duct to size strictly: where the table takes a fallback for a text that
// does not read, sizing refuses it, naming the value and its text (Quoted). Texts are read with
// the window's reader (TextToNumber) and the process's decimal separator. The first refusal is
// kept.
class StrictReader {
public:
  // The value of `text`; 0 after a refusal ("NAME 'TEXT' is not a number") or when the value lies
  // beyond the double range, which is noted as an overflow.
  double Number(std::string_view name, std::string_view text);
  // As Number, and a value of zero or below is refused: "NAME 'TEXT' is not above zero".
  double Positive(std::string_view name, std::string_view text);
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

// The columns a schedule may have, in the order a record's values are read.
enum class ScheduleColumn : std::size_t {
  Section,
  Flow,
  Length,
  Type,
  MaxVelocity,
  MaxFriction,
};
inline constexpr std::size_t kScheduleColumns = 6;

// Where the known columns are among a header's fields.
struct ScheduleColumns {
  static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
  std::array<std::size_t, kScheduleColumns> Where{};
  std::size_t Fields = 0; // how many fields the header has

  std::size_t operator[](ScheduleColumn column) const {
    return Where[static_cast<std::size_t>(column)];
  }
};

// The name a column is known by ("max_velocity") and its unit ("m/s"; empty for none).
std::string_view ColumnName(ScheduleColumn column);
std::string_view ColumnUnit(ScheduleColumn column);

// Finds the known columns among the header's fields. A name matches with ASCII case, blanks,
// underscores and hyphens ignored, and may be followed by a unit in parentheses, which must be
// the column's (ignoring case and blanks; section and type take any text there). Returns the
// problem that makes the header unusable, or the empty text:
//   "column 'Flow (m3/h)': flow is in l/s"
//   "unknown column 'Lenght': did you mean 'length'?" (a name within two edits of a known one)
//   "columns 'Flow' and 'flow (l/s)' are both flow"
// Other names are not columns of sizing; they are passed through.
// Example: {"Section", "Flow (l/s)", "Max Velocity", "Note"} finds section 0, flow 1,
// max_velocity 2.
std::string FindColumns(const ScheduleRecord& header, ScheduleColumns& columns);

// One section: sized, or with the reason it failed.
struct SizedSection {
  double Flow = 0;   // l/s
  double Length = 0; // m
  const DuctMaterial* Material = nullptr;
  RoundDuctLimits Limits;
  std::optional<RoundDuctRow> Row; // the size chosen; empty when the section failed
  std::string Problem;             // why it failed, e.g. "flow 'x' is not a number"
};

// Sizes the section of one record with SmallestRoundDuct. It fails, with its reason, when its
// record does not read, has more fields than the header, its flow is empty, a value does not
// read, the flow, length or a limit is zero or below, the type is unknown, it has no limit, a
// value lies beyond the double range or the arithmetic fails, or no size meets the limits. A
// record with fewer fields than the header takes the defaults for the missing ones.
SizedSection SizeRecord(const SharedConstants& constants, const ScheduleRecord& record,
                        const ScheduleColumns& columns, const ScheduleDefaults& defaults);

// How sizing a schedule ended.
struct ScheduleOutcome {
  enum class End {
    Done,        // every record was read
    Refused,     // the header makes the schedule unusable: Problem, at Line; nothing was written
    TooLong,     // a record beginning at Line is longer than the reader takes (Problem); reading
                 // stopped there
    ReadFailed,  // reading failed with Error
    WriteFailed, // the writer's output failed; reading stopped
  };
  End How = End::Done;
  std::string Problem;
  std::size_t Line = 0;
  int Error = 0;
  std::size_t Sized = 0;
  std::size_t Failed = 0;
  std::string OutputProblem; // why the writer could not finish (ScheduleWriter::Finish)
};

// Reads the schedule's header, finds its columns, then sizes each record in turn and writes its
// line (the header's line first) through `writer`, calling `failed(line, reason)` for each
// section that fails. The schedule is refused without a header ("no header line"), when the
// header does not read or FindColumns finds a problem, without a flow column ("no flow column in
// the header 'TEXT' with ',' between fields") and when no limit can apply.
ScheduleOutcome SizeSchedule(const SharedConstants& constants, ScheduleReader& reader,
                             const ScheduleDefaults& defaults, ScheduleWriter& writer,
                             const std::function<void(std::size_t, std::string_view)>& failed);

} // namespace gustrule::cli
