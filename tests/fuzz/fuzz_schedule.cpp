// Input: one byte of switches, then the text of a schedule:
//   bit 0  "," as the decimal separator          bit 3  flexible duct where a line gives no type
//   bit 1  --max-velocity 5                      bit 4  a length of 2.5 where a line gives none
//   bit 2  --max-friction 1
//
// Sizing a schedule must never throw, and:
// - the sections are exactly the lines after the header that are neither blank nor comments,
//   by an independent count of the text's lines, and there are none when the schedule as a whole
//   is refused;
// - each section is sized or has a reason "line N: ..." with its own line number, not both;
// - a sized section's row meets its limits and the size before it in the series does not;
// - the table has a line per section plus the heading, in every style, and its CSV text reads
//   back as the table's cells;
// - every line that reads, written back with CsvLine, reads back as the same fields.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CellGrid.h"
#include "Constants.h"
#include "Extended.h"
#include "GridText.h"
#include "NumberText.h"
#include "RoundDuct.h"
#include "RoundDuctSizing.h"
#include "Schedule.h"
#include "Sizing.h"

namespace {

using namespace gustrule;
using namespace gustrule::cli;

[[noreturn]] void Fail() {
  __builtin_trap();
}

void Check(bool condition) {
  if (!condition) {
    Fail();
  }
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) {
      break;
    }
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The numbers of the lines that must become sections, counted without the schedule reader.
std::vector<std::size_t> ExpectedSectionLines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  }
  std::vector<std::size_t> numbers;
  char separator = 0; // until the header is found
  std::size_t number = 0;
  for (std::string_view line : Lines(text)) {
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    const char skipAlso = separator != 0 ? separator : line.find('\t') != line.npos ? '\t' : ',';
    bool skipped = !line.empty() && line[0] == '#';
    if (!skipped) {
      skipped = true;
      for (const char c : line) {
        skipped = skipped && (c == ' ' || c == '\t' || c == skipAlso);
      }
    }
    if (skipped) {
      continue;
    }
    if (separator == 0) {
      separator = skipAlso;
    } else {
      numbers.push_back(number);
    }
  }
  return numbers;
}

void CheckSection(const SharedConstants& constants, const SizedSection& section) {
  const std::string prefix = "line " + std::to_string(section.Line) + ": ";
  if (!section.Row) {
    Check(section.Problem.size() > prefix.size() && section.Problem.starts_with(prefix));
    return;
  }
  Check(section.Problem.empty() && section.Material != nullptr);
  Check(section.Limits.MaxVelocity || section.Limits.MaxLossPerMetre);
  Check(MeetsLimits(*section.Row, section.Limits));
  const auto diameter = static_cast<int>(section.Row->DiameterMm);
  for (std::size_t i = 1; i < RoundDuctDiameters.size(); ++i) {
    if (RoundDuctDiameters[i] == diameter) {
      const RoundDuctRow before =
          ComputeRoundDuctRow(constants, CubicMetresPerSecond(section.Flow), section.Length,
                              section.Material->Roughness, RoundDuctDiameters[i - 1]);
      Check(!MeetsLimits(before, section.Limits));
    }
  }
}

void CheckTable(const SizedSchedule& sized) {
  const CellGrid table = ScheduleTable(sized);
  const std::size_t lines = sized.Sections.size() + 1;
  for (const GridStyle style : {GridStyle::Aligned, GridStyle::Tsv}) {
    const std::string text = GridText(table, style);
    Check(Lines(text).size() == lines && text.ends_with('\n'));
  }
  const std::string csv = GridText(table, GridStyle::Csv);
  const std::vector<std::string_view> csvLines = Lines(csv);
  Check(csvLines.size() == lines);
  std::vector<std::string> fields;
  for (std::size_t i = 0; i < lines; ++i) {
    Check(SplitFields(csvLines[i], ',', fields).empty());
    Check(fields.size() == static_cast<std::size_t>(table.Columns()));
    for (std::size_t column = 0; column < fields.size(); ++column) {
      Check(fields[column] == table.Cell(static_cast<int>(column), static_cast<int>(i) + 1));
    }
  }
}

void CheckCsvRoundTrip(std::string_view text) {
  std::vector<std::string> back;
  for (const ScheduleLine& line : SplitSchedule(text).Lines) {
    if (line.Problem.empty()) {
      const std::string written = CsvLine(line.Fields);
      Check(!IsSkippedLine(written, ','));
      Check(SplitFields(written, ',', back).empty() && back == line.Fields);
    }
  }
}

SharedConstants& Constants() {
  static SharedConstants constants;
  return constants;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  InitArithmetic();
  SetSharedConstants(Constants());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  const std::uint8_t switches = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  SetDecimalSeparator((switches & 1U) != 0 ? U',' : U'.');
  ScheduleDefaults defaults;
  if ((switches & 2U) != 0) {
    defaults.Limits.MaxVelocity = 5;
  }
  if ((switches & 4U) != 0) {
    defaults.Limits.MaxLossPerMetre = 1;
  }
  defaults.Material = &DuctMaterials[(switches & 8U) != 0 ? 1 : 0];
  defaults.Length = (switches & 16U) != 0 ? 2.5 : 1;

  SizedSchedule sized;
  try {
    sized = SizeSchedule(Constants(), text, defaults);
  } catch (...) {
    Fail();
  }
  if (!sized.Problem.empty()) {
    Check(sized.Sections.empty());
  } else {
    std::vector<std::size_t> numbers;
    for (const SizedSection& section : sized.Sections) {
      numbers.push_back(section.Line);
      CheckSection(Constants(), section);
    }
    Check(numbers == ExpectedSectionLines(text));
  }
  CheckTable(sized);
  CheckCsvRoundTrip(text);
  return 0;
}
