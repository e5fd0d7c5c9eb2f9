#include "Sizing.h"

#include <algorithm>
#include <vector>

#include "Conversions.h"
#include "Failures.h"
#include "NumberText.h"
#include "ScheduleOutput.h"
#include "ScheduleReader.h"
#include "Texts.h"

namespace gustrule::cli {

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A name or unit as it is compared: ASCII lower case, without blanks, and for a name also without
// underscores and hyphens.
std::string Normalised(std::string_view text, std::string_view dropped) {
  std::string normal;
  for (const char c : text) {
    if (dropped.find(c) == std::string_view::npos) {
      normal += LowerAscii(c);
    }
  }
  return normal;
}

struct KnownColumn {
  std::string_view Name; // as the help names it
  std::string_view Unit; // empty: none, and any text in parentheses is allowed
};

constexpr std::array<KnownColumn, kScheduleColumns> kKnownColumns = {{
    {"section", ""},
    {"flow", ConversionUnits[0]},
    {"length", "m"},
    {"type", ""},
    {"max_velocity", "m/s"},
    {"max_friction", "Pa/m"},
}};

constexpr std::string_view kNameDropped = " \t_-";
constexpr std::string_view kUnitDropped = " \t";

// How far a misspelt name may be from a known one to be taken for it.
constexpr std::size_t kMaxEdits = 2;

// The number of single-character insertions, deletions, substitutions and swaps of neighbours
// that turn `a` into `b` (optimal string alignment distance); kMaxEdits + 1 for any larger
// distance that the lengths alone show, so that a long text costs no large table.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  if (std::max(a.size(), b.size()) - std::min(a.size(), b.size()) > kMaxEdits) {
    return kMaxEdits + 1;
  }
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) {
    d[i][0] = i;
  }
  for (std::size_t j = 0; j <= b.size(); ++j) {
    d[0][j] = j;
  }
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t substitution = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + substitution});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// The problem with one header field, or the empty text; sets `known` to its column, if any.
std::string MatchColumn(std::string_view field, std::optional<std::size_t>& known) {
  known.reset();
  std::string_view name = TrimBlanks(field);
  std::optional<std::string_view> unit;
  if (const std::size_t open = name.rfind('(');
      open != std::string_view::npos && name.ends_with(')')) {
    unit = name.substr(open + 1, name.size() - open - 2);
    name = name.substr(0, open);
  }
  const std::string normal = Normalised(name, kNameDropped);
  std::size_t nearest = 0;
  std::size_t distance = kMaxEdits + 1;
  for (std::size_t column = 0; column < kScheduleColumns; ++column) {
    const std::string knownNormal = Normalised(kKnownColumns[column].Name, kNameDropped);
    if (normal == knownNormal) {
      known = column;
      const std::string_view wanted = kKnownColumns[column].Unit;
      if (unit && !wanted.empty() &&
          Normalised(*unit, kUnitDropped) != Normalised(wanted, kUnitDropped)) {
        return "column " + Quoted(field) + ": " + std::string(kKnownColumns[column].Name) +
               " is in " + std::string(wanted);
      }
      return {};
    }
    if (const std::size_t edits = EditDistance(normal, knownNormal); edits < distance) {
      distance = edits;
      nearest = column;
    }
  }
  if (distance <= kMaxEdits && !normal.empty()) {
    return "unknown column " + Quoted(field) + ": did you mean '" +
           std::string(kKnownColumns[nearest].Name) + "'?";
  }
  return {};
}

// "','", "';'" or "tab", as a message names a separator.
std::string SeparatorName(char separator) {
  return separator == '\t' ? "tab" : std::string{'\'', separator, '\''};
}

// The header's fields joined by the separator, as a message shows the header.
std::string HeaderText(const ScheduleRecord& header, char separator) {
  std::string text;
  for (std::size_t i = 0; i < header.Fields(); ++i) {
    if (i > 0) {
      text += separator;
    }
    text.append(header.Field(i));
  }
  return text;
}

// One record's result cells: the 13 cells that the round table writes for the chosen row.
class ResultSink : public CellSink {
public:
  explicit ResultSink(ResultCells& cells) : cells_(cells) {}
  void SetCell(int column, int /*row*/, std::string_view text) override {
    cells_.at(static_cast<std::size_t>(column)).assign(text);
  }

private:
  ResultCells& cells_;
};

// The first `count` fields of a record, as well-formed UTF-8, into `cells`.
void InputCells(const ScheduleRecord& record, std::size_t count, std::vector<std::string>& cells) {
  cells.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    cells[i].clear();
    AppendValidUtf8(record.Field(i), cells[i]);
  }
}

} // namespace

std::optional<double> StrictReader::Read(std::string_view name, std::string_view text) {
  try {
    return TextToNumber(text);
  } catch (const EConvertError&) {
    Refuse(std::string(name) + " " + Quoted(text) + " is not a number");
  } catch (const EOverflow&) {
    overflowed_ = true;
  }
  return std::nullopt;
}

double StrictReader::Number(std::string_view name, std::string_view text) {
  return Read(name, text).value_or(0);
}

double StrictReader::Positive(std::string_view name, std::string_view text) {
  const std::optional<double> value = Read(name, text);
  if (value && !(*value > 0)) {
    Refuse(std::string(name) + " " + Quoted(text) + " is not above zero");
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

std::string_view ColumnName(ScheduleColumn column) {
  return kKnownColumns[static_cast<std::size_t>(column)].Name;
}

std::string_view ColumnUnit(ScheduleColumn column) {
  return kKnownColumns[static_cast<std::size_t>(column)].Unit;
}

std::string FindColumns(const ScheduleRecord& header, ScheduleColumns& columns) {
  columns.Where.fill(ScheduleColumns::kAbsent);
  columns.Fields = header.Fields();
  for (std::size_t field = 0; field < header.Fields(); ++field) {
    std::optional<std::size_t> known;
    if (std::string problem = MatchColumn(header.Field(field), known); !problem.empty()) {
      return problem;
    }
    if (!known) {
      continue;
    }
    if (const std::size_t before = columns.Where[*known]; before != ScheduleColumns::kAbsent) {
      return "columns " + Quoted(header.Field(before)) + " and " + Quoted(header.Field(field)) +
             " are both " + std::string(kKnownColumns[*known].Name);
    }
    columns.Where[*known] = field;
  }
  return {};
}

SizedSection SizeRecord(const SharedConstants& constants, const ScheduleRecord& record,
                        const ScheduleColumns& columns, const ScheduleDefaults& defaults) {
  SizedSection section;
  if (!record.Problem.empty()) {
    section.Problem = record.Problem;
    return section;
  }
  if (record.Fields() > columns.Fields) {
    section.Problem = std::to_string(record.Fields()) + " fields, the header has " +
                      std::to_string(columns.Fields);
    return section;
  }
  const auto cell = [&](ScheduleColumn column) { return record.Field(columns[column]); };
  const auto name = [](ScheduleColumn column) { return ColumnName(column); };

  StrictReader reader;
  using enum ScheduleColumn;
  if (cell(Flow).empty()) {
    reader.Refuse("the flow is empty");
  }
  section.Flow = reader.Positive(name(Flow), cell(Flow));
  section.Length =
      cell(Length).empty() ? defaults.Length : reader.Positive(name(Length), cell(Length));
  section.Material = defaults.Material;
  if (!cell(Type).empty()) {
    section.Material = FindDuctMaterialLoosely(cell(Type));
    if (section.Material == nullptr) {
      reader.Refuse("type " + Quoted(cell(Type)) + " is not " + MaterialWords(", ", " or "));
    }
  }
  const auto limit = [&](ScheduleColumn column, const std::optional<double>& fallback) {
    return cell(column).empty() ? fallback
                                : std::optional(reader.Positive(name(column), cell(column)));
  };
  section.Limits.MaxVelocity = limit(MaxVelocity, defaults.Limits.MaxVelocity);
  section.Limits.MaxLossPerMetre = limit(MaxFriction, defaults.Limits.MaxLossPerMetre);
  if (!section.Limits.MaxVelocity && !section.Limits.MaxLossPerMetre) {
    reader.Refuse("no " + std::string(name(MaxVelocity)) + " or " + std::string(name(MaxFriction)) +
                  " is given");
  }
  if (!reader.Refusal().empty()) {
    section.Problem = reader.Refusal();
    return section;
  }
  try {
    if (reader.Overflowed()) {
      throw EOverflow();
    }
    section.Row = SmallestRoundDuct(constants, section.Flow, section.Length, *section.Material,
                                    section.Limits);
    if (!section.Row) {
      section.Problem = NoSizeMeetsTheLimits();
    }
  } catch (const Exception& failure) {
    section.Problem = FailureText(failure.Message());
  }
  return section;
}

ScheduleOutcome SizeSchedule(const SharedConstants& constants, ScheduleReader& reader,
                             const ScheduleDefaults& defaults, ScheduleWriter& writer,
                             const std::function<void(std::size_t, std::string_view)>& failed) {
  using enum ScheduleOutcome::End;
  ScheduleOutcome outcome;
  const auto refuse = [&outcome](std::size_t line, std::string problem) {
    outcome.How = Refused;
    outcome.Line = line;
    outcome.Problem = std::move(problem);
    return outcome;
  };
  ScheduleRecord header;
  switch (reader.Next(header)) {
  case ScheduleReader::Result::Record:
    break;
  case ScheduleReader::Result::End:
    return refuse(0, "no header line");
  case ScheduleReader::Result::TooLong:
    return refuse(reader.TooLongLine(), "the header line is longer than " +
                                            std::to_string(ScheduleReader::kMaxRecordBytes) +
                                            " bytes");
  case ScheduleReader::Result::Failed:
    outcome.How = ReadFailed;
    outcome.Error = reader.Error();
    return outcome;
  }
  if (!header.Problem.empty()) {
    return refuse(header.Line, "the header line does not read: " + header.Problem);
  }
  ScheduleColumns columns;
  if (std::string problem = FindColumns(header, columns); !problem.empty()) {
    return refuse(header.Line, std::move(problem));
  }
  using enum ScheduleColumn;
  if (columns[Flow] == ScheduleColumns::kAbsent) {
    return refuse(header.Line, "no " + std::string(ColumnName(Flow)) + " column in the header " +
                                   Quoted(HeaderText(header, reader.Separator())) + " with " +
                                   SeparatorName(reader.Separator()) + " between fields");
  }
  if (columns[MaxVelocity] == ScheduleColumns::kAbsent &&
      columns[MaxFriction] == ScheduleColumns::kAbsent && !defaults.Limits.MaxVelocity &&
      !defaults.Limits.MaxLossPerMetre) {
    return refuse(header.Line, "no limit: no max_velocity or max_friction column, and neither "
                               "--max-velocity nor --max-friction");
  }

  std::vector<std::string> input;
  InputCells(header, columns.Fields, input);
  writer.Header(input);
  ScheduleRecord record;
  ResultCells results;
  while (outcome.How == Done) {
    if (writer.Failed()) {
      outcome.How = WriteFailed;
      break;
    }
    const ScheduleReader::Result read = reader.Next(record);
    if (read == ScheduleReader::Result::End) {
      break;
    }
    if (read == ScheduleReader::Result::TooLong) {
      outcome.How = TooLong;
      outcome.Line = reader.TooLongLine();
      outcome.Problem =
          "a record longer than " + std::to_string(ScheduleReader::kMaxRecordBytes) + " bytes";
      if (reader.TooLongInQuotes()) {
        outcome.Problem += " (is a double quote left open?)";
      }
      break;
    }
    if (read == ScheduleReader::Result::Failed) {
      outcome.How = ReadFailed;
      outcome.Error = reader.Error();
      break;
    }
    const SizedSection section = SizeRecord(constants, record, columns, defaults);
    InputCells(record, columns.Fields, input);
    for (std::string& cell : results) {
      cell.clear();
    }
    if (section.Row) {
      ResultSink sink(results);
      WriteRoundDuctRow(*section.Row, *section.Material, RoundDuctFirstValueRow, sink);
      ++outcome.Sized;
    } else {
      ++outcome.Failed;
    }
    writer.Row(record.Line, input, results, section.Row ? "ok" : section.Problem);
    if (!section.Row) {
      failed(record.Line, section.Problem);
    }
  }
  outcome.OutputProblem = writer.Finish();
  return outcome;
}

} // namespace gustrule::cli
