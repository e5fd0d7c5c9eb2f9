// Input: two bytes of switches, then the bytes of a schedule file:
//   byte 0, bit 0  "," as the decimal separator      bit 4  a length of 2.5 where a line has none
//           bit 1  --max-velocity 5                  bit 5  --skip-comments
//           bit 2  --max-friction 1                  bits 6-7: the separator: found, ",", ";",
//           bit 3  flexible where a line has no type           tab
//   byte 1  the size of the pieces the file is read in, 1 to 256 bytes
//
// Sizing a schedule must never throw, and:
// - reading it in pieces of any size gives the same records as reading it whole;
// - every section is written once, in order of its line, sized or with a reason, and the count
//   of sized and failed sections adds up; nothing is written when the schedule is refused;
// - a sized section's row meets its limits and the size before it in the series does not;
// - every cell written is well-formed UTF-8, and no reason carries a control character;
// - the CSV lines read back as the cells written (a cell that could run as a formula with the
//   apostrophe before it).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Constants.h"
#include "Extended.h"
#include "NumberText.h"
#include "Output.h"
#include "RoundDuct.h"
#include "RoundDuctSizing.h"
#include "ScheduleOutput.h"
#include "ScheduleReader.h"
#include "Sizing.h"
#include "Texts.h"

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

SharedConstants& Constants() {
  static SharedConstants constants;
  return constants;
}

// Every line as the writer was given it, with the CSV text of the same lines beside.
class RecordingWriter : public ScheduleWriter {
public:
  struct Line {
    std::size_t Number;
    std::vector<std::string> Cells; // input, results, status
  };

  RecordingWriter() { csv_ = MakeScheduleWriter({.Format = ScheduleFormat::Csv}, Csv, problem_); }
  void Header(std::span<const std::string> names) override {
    Lines.push_back({0, {names.begin(), names.end()}});
    Lines.back().Cells.insert(Lines.back().Cells.end(), RoundDuctHeadings.begin(),
                              RoundDuctHeadings.end());
    Lines.back().Cells.emplace_back("status");
    csv_->Header(names);
  }
  void Row(std::size_t line, std::span<const std::string> input, const ResultCells& results,
           std::string_view status) override {
    Lines.push_back({line, {input.begin(), input.end()}});
    Lines.back().Cells.insert(Lines.back().Cells.end(), results.begin(), results.end());
    Lines.back().Cells.emplace_back(status);
    csv_->Row(line, input, results, status);
  }
  bool Failed() const override { return false; }

  std::vector<Line> Lines;
  StringOut Csv;

private:
  std::string problem_;
  std::unique_ptr<ScheduleWriter> csv_;
};

// The records of a text read in pieces of `piece` bytes, as "line|problem|fields..." texts.
std::vector<std::string> Records(std::string_view text, std::size_t piece,
                                 const ReaderOptions& options) {
  TextSource source(text, piece);
  ScheduleReader reader(source, options);
  std::vector<std::string> records;
  ScheduleRecord record;
  ScheduleReader::Result result;
  while ((result = reader.Next(record)) == ScheduleReader::Result::Record) {
    records.push_back(std::to_string(record.Line) + "|" + record.Problem + "|" + record.Text);
    for (const std::uint32_t end : record.Ends) {
      records.back() += "|" + std::to_string(end);
    }
  }
  records.push_back(result == ScheduleReader::Result::TooLong ? "too long" : "end");
  return records;
}

// Each record after the header sized on its own, as SizeSchedule should have sized it.
std::vector<SizedSection> SizeEachRecord(std::string_view text, const ReaderOptions& options,
                                         const ScheduleDefaults& defaults) {
  TextSource source(text);
  ScheduleReader reader(source, options);
  ScheduleRecord record;
  ScheduleColumns columns;
  std::vector<SizedSection> sections;
  if (reader.Next(record) != ScheduleReader::Result::Record ||
      !FindColumns(record, columns).empty()) {
    return sections;
  }
  while (reader.Next(record) == ScheduleReader::Result::Record) {
    sections.push_back(SizeRecord(Constants(), record, columns, defaults));
  }
  return sections;
}

void CheckSection(const RecordingWriter::Line& row, const SizedSection& section) {
  const std::string& status = row.Cells.back();
  for (const std::string& cell : row.Cells) {
    Check(IsUtf8(cell));
  }
  for (const char c : status) {
    Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
  }
  if (!section.Row) {
    Check(!section.Problem.empty() && status == section.Problem);
    return;
  }
  Check(status == "ok" && section.Problem.empty() && section.Material != nullptr);
  Check(section.Flow > 0 && section.Length > 0);
  Check(MeetsLimits(*section.Row, section.Limits));
  const auto diameter = static_cast<int>(section.Row->DiameterMm);
  Check(row.Cells[row.Cells.size() - 1 - RoundDuctColumns] == std::to_string(diameter));
  for (std::size_t i = 1; i < RoundDuctDiameters.size(); ++i) {
    if (RoundDuctDiameters[i] == diameter) {
      const RoundDuctRow before =
          ComputeRoundDuctRow(Constants(), CubicMetresPerSecond(section.Flow), section.Length,
                              section.Material->Roughness, RoundDuctDiameters[i - 1]);
      Check(!MeetsLimits(before, section.Limits));
    }
  }
}

void CheckCsv(const RecordingWriter& writer) {
  TextSource source(writer.Csv.Text);
  ScheduleReader reader(source, {.Separator = ','});
  ScheduleRecord record;
  for (const RecordingWriter::Line& row : writer.Lines) {
    Check(reader.Next(record) == ScheduleReader::Result::Record);
    Check(record.Problem.empty() && record.Fields() == row.Cells.size());
    for (std::size_t i = 0; i < row.Cells.size(); ++i) {
      const std::string& cell = row.Cells[i];
      const bool formula =
          !cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos;
      Check(record.Field(i) == (formula ? "'" + cell : cell));
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  InitArithmetic();
  SetSharedConstants(Constants());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  const std::uint8_t switches = data[0];
  const std::size_t piece = 1 + data[1];
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
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
  ReaderOptions options;
  options.SkipComments = (switches & 32U) != 0;
  options.Separator = std::string_view("\0,;\t", 4)[switches >> 6U];

  Check(Records(text, piece, options) == Records(text, 1 << 16, options));

  TextSource source(text, piece);
  ScheduleReader reader(source, options);
  RecordingWriter writer;
  ScheduleOutcome outcome;
  std::vector<std::size_t> failedLines;
  try {
    outcome =
        SizeSchedule(Constants(), reader, defaults, writer,
                     [&](std::size_t line, std::string_view) { failedLines.push_back(line); });
  } catch (...) {
    Fail();
  }
  if (outcome.How == ScheduleOutcome::End::Refused) {
    Check(writer.Lines.empty() && !outcome.Problem.empty());
    return 0;
  }
  Check(!writer.Lines.empty() && writer.Lines.size() == 1 + outcome.Sized + outcome.Failed);
  const std::vector<SizedSection> sections = SizeEachRecord(text, options, defaults);
  Check(sections.size() + 1 == writer.Lines.size());
  std::size_t lastLine = 0;
  std::size_t failed = 0;
  for (std::size_t i = 1; i < writer.Lines.size(); ++i) {
    const RecordingWriter::Line& row = writer.Lines[i];
    Check(row.Number > lastLine && row.Cells.size() == writer.Lines[0].Cells.size());
    lastLine = row.Number;
    if (row.Cells.back() != "ok") {
      Check(failed < failedLines.size() && failedLines[failed++] == row.Number);
    }
    CheckSection(row, sections[i - 1]);
  }
  Check(failed == failedLines.size());
  CheckCsv(writer);
  return 0;
}
