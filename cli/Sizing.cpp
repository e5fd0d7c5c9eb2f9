#include "Sizing.h"

#include <algorithm>
#include <array>

#include "Failures.h"
#include "NumberText.h"
#include "Schedule.h"

namespace gustrule::cli {

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// The columns a schedule may have, in the order a line's values are read.
enum Column : std::size_t { kSection, kFlow, kLength, kType, kMaxVelocity, kMaxFriction, kColumns };
constexpr std::array<std::string_view, kColumns> kColumnNames = {
    "section", "flow", "length", "type", "max_velocity", "max_friction"};
constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

// Where each known column is in the header, or kAbsent; the problem when one is named twice.
std::string FindColumns(const std::vector<std::string>& header,
                        std::array<std::size_t, kColumns>& where) {
  where.fill(kAbsent);
  for (std::size_t field = 0; field < header.size(); ++field) {
    const std::string_view name = TrimBlanks(header[field]);
    for (std::size_t column = 0; column < kColumns; ++column) {
      if (!EqualsIgnoringCase(name, kColumnNames[column])) {
        continue;
      }
      if (where[column] != kAbsent) {
        return "the column '" + std::string(kColumnNames[column]) + "' is named twice";
      }
      where[column] = field;
    }
  }
  return {};
}

std::string LineProblem(std::size_t line, std::string_view reason) {
  return "line " + std::to_string(line) + ": " + std::string(reason);
}

// Sizes one line of the schedule into `section`, or sets its Problem.
void SizeLine(const SharedConstants& constants, const ScheduleLine& line,
              const std::array<std::size_t, kColumns>& where, std::size_t headerFields,
              const ScheduleDefaults& defaults, SizedSection& section) {
  section.Line = line.Number;
  const auto cell = [&](Column column) -> std::string_view {
    const std::size_t field = where[column];
    return field < line.Fields.size() ? std::string_view(line.Fields[field]) : std::string_view();
  };
  section.Section = cell(kSection);
  if (!line.Problem.empty()) {
    section.Problem = LineProblem(line.Number, line.Problem);
    return;
  }
  if (line.Fields.size() > headerFields) {
    section.Problem =
        LineProblem(line.Number, std::to_string(line.Fields.size()) + " fields, the header has " +
                                     std::to_string(headerFields));
    return;
  }

  StrictReader reader;
  if (cell(kFlow).empty()) {
    reader.Refuse("the flow is empty");
  }
  section.Flow = reader.Number(kColumnNames[kFlow], cell(kFlow));
  section.Length =
      cell(kLength).empty() ? defaults.Length : reader.Number(kColumnNames[kLength], cell(kLength));
  section.Material = defaults.Material;
  if (!cell(kType).empty()) {
    section.Material = FindDuctMaterialLoosely(cell(kType));
    if (section.Material == nullptr) {
      reader.Refuse("type '" + std::string(cell(kType)) + "' is not spiral or flexible");
    }
  }
  const auto limit = [&](Column column, const std::optional<double>& fallback) {
    return cell(column).empty() ? fallback
                                : std::optional(reader.Limit(kColumnNames[column], cell(column)));
  };
  section.Limits.MaxVelocity = limit(kMaxVelocity, defaults.Limits.MaxVelocity);
  section.Limits.MaxLossPerMetre = limit(kMaxFriction, defaults.Limits.MaxLossPerMetre);
  if (!section.Limits.MaxVelocity && !section.Limits.MaxLossPerMetre) {
    reader.Refuse("no max_velocity or max_friction is given");
  }
  if (!reader.Refusal().empty()) {
    section.Problem = LineProblem(line.Number, reader.Refusal());
    return;
  }
  try {
    if (reader.Overflowed()) {
      throw EOverflow();
    }
    section.Row = SmallestRoundDuct(constants, section.Flow, section.Length, *section.Material,
                                    section.Limits);
    if (!section.Row) {
      section.Problem = LineProblem(line.Number, NoSizeMeetsTheLimits());
    }
  } catch (const Exception& failure) {
    section.Problem = LineProblem(line.Number, FailureText(failure.Message()));
  }
}

// Writes a row's cells one column to the right, after the section text.
class AfterSectionColumn : public CellSink {
public:
  explicit AfterSectionColumn(CellSink& grid) : grid_(grid) {}
  void SetCell(int column, int row, std::string_view text) override {
    grid_.SetCell(column + 1, row, text);
  }

private:
  CellSink& grid_;
};

} // namespace

std::optional<double> StrictReader::Read(std::string_view name, std::string_view text) {
  try {
    return TextToNumber(text);
  } catch (const EConvertError&) {
    Refuse(std::string(name) + " '" + std::string(text) + "' is not a number");
  } catch (const EOverflow&) {
    overflowed_ = true;
  }
  return std::nullopt;
}

double StrictReader::Number(std::string_view name, std::string_view text) {
  return Read(name, text).value_or(0);
}

double StrictReader::Limit(std::string_view name, std::string_view text) {
  const std::optional<double> value = Read(name, text);
  if (value && !(*value > 0)) {
    Refuse(std::string(name) + " '" + std::string(text) + "' is not above zero");
  }
  return value.value_or(0);
}

void StrictReader::Refuse(std::string refusal) {
  if (refusal_.empty()) {
    refusal_ = std::move(refusal);
  }
}

const DuctMaterial* FindDuctMaterialLoosely(std::string_view text) {
  std::string word(TrimBlanks(text));
  std::transform(word.begin(), word.end(), word.begin(), LowerAscii); // the words are lower case
  return FindDuctMaterial(word);
}

std::string NoSizeMeetsTheLimits() {
  return "No duct size up to " + std::to_string(RoundDuctDiameters.back()) +
         " mm meets the limits.";
}

SizedSchedule SizeSchedule(const SharedConstants& constants, std::string_view text,
                           const ScheduleDefaults& defaults) {
  SizedSchedule sized;
  const ScheduleText schedule = SplitSchedule(text);
  if (schedule.HeaderLine == 0) {
    sized.Problem = "no header line";
    return sized;
  }
  if (!schedule.HeaderProblem.empty()) {
    sized.Problem = LineProblem(schedule.HeaderLine, schedule.HeaderProblem);
    return sized;
  }
  std::array<std::size_t, kColumns> where{};
  sized.Problem = FindColumns(schedule.Header, where);
  if (sized.Problem.empty() && where[kFlow] == kAbsent) {
    sized.Problem = "no 'flow' column";
  }
  if (sized.Problem.empty() && where[kMaxVelocity] == kAbsent && where[kMaxFriction] == kAbsent &&
      !defaults.Limits.MaxVelocity && !defaults.Limits.MaxLossPerMetre) {
    sized.Problem = "no limit: no max_velocity or max_friction column, and neither "
                    "--max-velocity nor --max-friction";
  }
  if (!sized.Problem.empty()) {
    return sized;
  }
  sized.Sections.resize(schedule.Lines.size());
  for (std::size_t i = 0; i < schedule.Lines.size(); ++i) {
    SizeLine(constants, schedule.Lines[i], where, schedule.Header.size(), defaults,
             sized.Sections[i]);
  }
  return sized;
}

CellGrid ScheduleTable(const SizedSchedule& schedule) {
  CellGrid grid(RoundDuctColumns + 1,
                RoundDuctFirstValueRow + static_cast<int>(schedule.Sections.size()));
  grid.SetCell(0, 1, "Section");
  AfterSectionColumn cells(grid);
  WriteHeadings(cells, RoundDuctHeadings);
  int row = RoundDuctFirstValueRow;
  for (const SizedSection& section : schedule.Sections) {
    grid.SetCell(0, row, section.Section);
    if (section.Row) {
      WriteRoundDuctRow(*section.Row, *section.Material, row, cells);
    }
    ++row;
  }
  return grid;
}

} // namespace gustrule::cli
