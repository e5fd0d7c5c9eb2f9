#include "SizeCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "DuctMaterials.h"
#include "Failures.h"
#include "GridOutput.h"
#include "RoundDuct.h"
#include "RoundDuctSizing.h"
#include "ScheduleOutput.h"
#include "ScheduleReader.h"
#include "Sizing.h"
#include "Texts.h"

namespace gustrule::cli {

namespace {

constexpr std::string_view kMaxVelocity = "--max-velocity";
constexpr std::string_view kMaxFriction = "--max-friction";
constexpr std::string_view kSchedule = "--schedule";
constexpr std::string_view kLength = "--length";
constexpr std::string_view kType = "--type";
constexpr std::string_view kCsv = "--csv";
constexpr std::string_view kJson = "--json";
constexpr std::string_view kOutputDelimiter = "--output-delimiter";
constexpr std::string_view kCrlf = "--crlf";
constexpr std::string_view kInputDelimiter = "--input-delimiter";
constexpr std::string_view kSkipComments = "--skip-comments";
constexpr std::string_view kStandardInput = "-";
constexpr std::string_view kTabWord = "tab"; // --input-delimiter tab, for a tab

bool IsMaterialWord(std::string_view word) {
  return FindDuctMaterial(word) != nullptr;
}

bool IsOutputDelimiter(std::string_view text) {
  return text == "," || text == ";";
}

bool IsInputDelimiter(std::string_view text) {
  return text == "," || text == ";" || text == "\t" || text == kTabWord;
}

std::string_view OptionValue(const Invocation& run, std::string_view option) {
  const auto given = run.Options.find(option);
  return given == run.Options.end() ? std::string_view() : given->second;
}

// The limits the options give, read strictly.
RoundDuctLimits LimitOptions(const Invocation& run, StrictReader& reader) {
  RoundDuctLimits limits;
  if (run.Has(kMaxVelocity)) {
    limits.MaxVelocity = reader.Positive(kMaxVelocity, OptionValue(run, kMaxVelocity));
  }
  if (run.Has(kMaxFriction)) {
    limits.MaxLossPerMetre = reader.Positive(kMaxFriction, OptionValue(run, kMaxFriction));
  }
  return limits;
}

// Prints a failure's text and returns kExitFailure.
int Failed(TextOut& err, const Exception& failure) {
  PrintLine(err, FailureText(failure.Message()));
  return kExitFailure;
}

int SizeOneDuct(const Invocation& run) {
  const DuctMaterial* material = FindDuctMaterial(run.Operands[2]);
  if (material == nullptr) {
    return run.UsageError("the duct type is " + MaterialWords(", ", " or "));
  }
  StrictReader reader;
  const double flow = reader.Positive("FLOW", run.Operands[0]);
  const double length = reader.Positive("LENGTH", run.Operands[1]);
  const RoundDuctLimits limits = LimitOptions(run, reader);
  if (!reader.Refusal().empty()) {
    return run.UsageError(reader.Refusal());
  }
  std::optional<RoundDuctRow> row;
  try {
    if (reader.Overflowed()) {
      throw EOverflow();
    }
    row = SmallestRoundDuct(Constants(), flow, length, *material, limits);
  } catch (const Exception& failure) {
    return Failed(run.Io.Err, failure);
  }
  if (!row) {
    PrintLine(run.Io.Err, NoSizeMeetsTheLimits());
    return kExitNoSize;
  }
  CellGrid grid(RoundDuctColumns, RoundDuctFirstValueRow + 1);
  WriteHeadings(grid, RoundDuctHeadings);
  WriteRoundDuctRow(*row, *material, RoundDuctFirstValueRow, grid);
  PrintGrid(grid, TableStyle(run), run.Io.Out);
  return kExitSuccess;
}

ScheduleOutputOptions OutputOptions(const Invocation& run) {
  ScheduleOutputOptions options;
  if (run.Has(TsvOption().Name)) {
    options.Format = ScheduleFormat::Tsv;
  } else if (run.Has(kCsv)) {
    options.Format = ScheduleFormat::Csv;
  } else if (run.Has(kJson)) {
    options.Format = ScheduleFormat::Json;
  }
  if (const std::string_view given = OptionValue(run, kOutputDelimiter); !given.empty()) {
    options.Delimiter = given[0];
  }
  options.Crlf = run.Has(kCrlf);
  return options;
}

ReaderOptions InputOptions(const Invocation& run) {
  ReaderOptions options;
  if (const std::string_view given = OptionValue(run, kInputDelimiter); !given.empty()) {
    options.Separator = given == kTabWord ? '\t' : given[0];
  }
  options.SkipComments = run.Has(kSkipComments);
  return options;
}

// "gustrule-cli: TEXT" on standard error.
void Message(const Invocation& run, std::string_view text) {
  PrintLine(run.Io.Err, std::string(kProgram) + ": " + std::string(text));
}

// An open schedule file, or standard input; closed when it goes.
class ScheduleFile {
public:
  ScheduleFile(std::string_view name, int standardInput)
      : fd_(name == kStandardInput ? standardInput
                                   : ::open(std::string(name).c_str(), O_RDONLY | O_CLOEXEC)),
        owned_(name != kStandardInput), error_(errno) {}
  ScheduleFile(const ScheduleFile&) = delete;
  ScheduleFile& operator=(const ScheduleFile&) = delete;
  ~ScheduleFile() {
    if (owned_ && fd_ >= 0) {
      ::close(fd_);
    }
  }
  int Fd() const { return fd_; }
  int Error() const { return error_; }

private:
  int fd_;
  bool owned_;
  int error_;
};

int SizeScheduleFile(const Invocation& run) {
  if (run.Io.In < 0) {
    return run.UsageError("size --schedule does not run in a batch");
  }
  StrictReader reader;
  ScheduleDefaults defaults;
  defaults.Limits = LimitOptions(run, reader);
  if (run.Has(kLength)) {
    defaults.Length = reader.Positive(kLength, OptionValue(run, kLength));
  }
  if (run.Has(kType)) {
    defaults.Material = FindDuctMaterial(OptionValue(run, kType)); // the parser accepted it
  }
  if (!reader.Refusal().empty()) {
    return run.UsageError(reader.Refusal());
  }
  if (reader.Overflowed()) {
    return Failed(run.Io.Err, EOverflow());
  }

  const std::string_view name = OptionValue(run, kSchedule);
  const std::string shown = Escaped(name);
  errno = 0;
  const ScheduleFile file(name, run.Io.In);
  if (file.Fd() < 0) {
    Message(run, shown + ": " + std::strerror(file.Error()));
    return kExitUsage;
  }
  std::string problem;
  const std::unique_ptr<ScheduleWriter> writer =
      MakeScheduleWriter(OutputOptions(run), run.Io.Out, problem);
  if (!writer) {
    Message(run, problem);
    return kExitFailure;
  }
  FdSource source(file.Fd());
  ScheduleReader records(source, InputOptions(run));
  const auto where = [&shown](std::size_t line) {
    return shown + ":" + std::to_string(line) + ": ";
  };
  const ScheduleOutcome outcome = SizeSchedule(Constants(), records, defaults, *writer,
                                               [&](std::size_t line, std::string_view reason) {
                                                 Message(run, where(line) + std::string(reason));
                                               });
  int status = kExitSuccess;
  switch (outcome.How) {
  case ScheduleOutcome::End::Refused:
    return run.UsageError((outcome.Line > 0 ? where(outcome.Line) : shown + ": ") +
                          outcome.Problem);
  case ScheduleOutcome::End::ReadFailed:
    Message(run, shown + ": " + std::strerror(outcome.Error));
    status = kExitUsage;
    break;
  case ScheduleOutcome::End::TooLong:
    Message(run, where(outcome.Line) + outcome.Problem);
    status = kExitFailure;
    break;
  case ScheduleOutcome::End::WriteFailed: // reported when standard output is closed
    return kExitFailure;
  case ScheduleOutcome::End::Done:
    break;
  }
  if (!outcome.OutputProblem.empty()) {
    Message(run, outcome.OutputProblem);
    status = kExitFailure;
  }
  if (outcome.Failed > 0) {
    Message(run, std::to_string(outcome.Sized) +
                     (outcome.Sized == 1 ? " section sized, " : " sections sized, ") +
                     std::to_string(outcome.Failed) + " failed");
    status = status == kExitSuccess ? kExitFailure : status;
  }
  return status;
}

int RunSize(const Invocation& run) {
  return run.Has(kSchedule) ? SizeScheduleFile(run) : SizeOneDuct(run);
}

std::string CheckSizeArguments(std::size_t operands, const OptionValues& options) {
  const auto has = [&](std::string_view option) { return options.contains(option); };
  if (has(kSchedule)) {
    if (operands != 0) {
      return "size --schedule takes no values";
    }
    if (int{has(TsvOption().Name)} + int{has(kCsv)} + int{has(kJson)} > 1) {
      return "--tsv, --csv and --json exclude each other";
    }
    if (has(kOutputDelimiter) && !has(kCsv)) {
      return std::string(kOutputDelimiter) + " goes only with --csv";
    }
    return {};
  }
  if (operands != 3) {
    return "size takes 3 values";
  }
  for (const std::string_view option :
       {kLength, kType, kCsv, kJson, kOutputDelimiter, kCrlf, kInputDelimiter, kSkipComments}) {
    if (has(option)) {
      return std::string(option) + " goes only with --schedule";
    }
  }
  if (!has(kMaxVelocity) && !has(kMaxFriction)) {
    return "size needs --max-velocity or --max-friction";
  }
  return {};
}

// The help of size beyond its description: the schedule file, its columns and the output.
std::string ScheduleHelp() {
  using enum ScheduleColumn;
  const auto name = [](ScheduleColumn column) { return std::string(ColumnName(column)); };
  const auto unit = [](ScheduleColumn column) { return std::string(ColumnUnit(column)); };
  std::string keys;
  for (std::size_t i = 0; i < kJsonResultKeys.size(); ++i) {
    keys += (i == 0 ? "" : i % 4 == 0 ? ",\n  " : ", ") + std::string(kJsonResultKeys[i]);
  }
  return "  --schedule sizes every section of FILE (- for standard input): a header line, then\n"
         "  one section per record. UTF-8, or UTF-16 with its byte order mark. Records end at\n"
         "  LF, CR or CR LF; fields are separated by tabs, \";\" or \",\", whichever the header\n"
         "  uses (--input-delimiter forces one); a field in double quotes (RFC 4180) may hold\n"
         "  the separator and line ends. Numbers are read with --decimal-separator (\".\").\n"
         "  Records of blanks and separators are skipped, and with --skip-comments lines\n"
         "  starting with #.\n"
         "\n"
         "  Columns, found by name with case, blanks, _ and - ignored, and an optional unit in\n"
         "  parentheses that must be the column's: " +
         name(Section) + ", " + name(Flow) + " (" + unit(Flow) + ", required), " + name(Length) +
         " (" + unit(Length) + "),\n  " + name(Type) + " (" + MaterialWords(", ", " or ") + "), " +
         name(MaxVelocity) + " (" + unit(MaxVelocity) + "), " + name(MaxFriction) + " (" +
         unit(MaxFriction) +
         ").\n"
         "  A name within two edits of one of these, a wrong unit, or a column named twice is a\n"
         "  usage error; other columns are passed through. An empty cell or a missing column\n"
         "  takes the option's value (length 1, " +
         std::string(DuctMaterials[0].Word) +
         " without one). Flow, length and limits\n"
         "  must be above zero.\n"
         "\n"
         "  Output, one line per section in input order: the input's columns as read, the 13\n"
         "  columns of round, and \"status\" (ok, or why the section failed, with empty results).\n"
         "  A failed section's reason also goes to standard error as \"gustrule-cli: FILE:LINE:\n"
         "  reason\", the others go on, and at the end \"N sections sized, M failed\"; status 1.\n"
         "  --csv quotes a cell starting with =, +, - or @ as text. --json writes one object\n"
         "  per line: \"line\", \"input\" (the input's cells by column name), the results\n  " +
         keys +
         " (numbers; null when failed), \"status\".\n"
         "  A file that cannot be read is status 2.\n";
}

} // namespace

Subcommand SizeSubcommand() {
  const std::string materialUsage = MaterialWords("|", "|");
  std::vector<Option> options = {
      {.Name = kMaxVelocity,
       .Value = "V",
       .Needs = "a velocity",
       .Help = "the largest velocity allowed, m/s (above zero)"},
      {.Name = kMaxFriction,
       .Value = "P",
       .Needs = "a friction loss",
       .Help = "the largest friction loss per metre allowed, Pa/m (above zero)"},
      {.Name = kSchedule,
       .Value = "FILE",
       .Needs = "a file name (- for standard input)",
       .Help = "size every section of a schedule file; - reads standard input"},
      {.Name = kLength,
       .Value = "L",
       .Needs = "a length",
       .Help = "with --schedule: the length, m, where a line gives none (1)"},
      {.Name = kType,
       .Value = materialUsage,
       .Needs = "a duct type",
       .Help = "with --schedule: the duct type where a line gives none (" +
               std::string(DuctMaterials[0].Word) + ")",
       .Accepts = IsMaterialWord,
       .Refusal = "is " + MaterialWords(", ", " or ")},
      {.Name = kInputDelimiter,
       .Value = "C",
       .Needs = "a delimiter",
       .Help = "with --schedule: the field separator of FILE, \",\", \";\" or tab\n"
               "(default: the one its header line uses)",
       .Accepts = IsInputDelimiter,
       .Refusal = "is ',', ';' or tab"},
      {.Name = kSkipComments, .Help = "with --schedule: skip lines that start with #"},
      TsvOption(),
      {.Name = kCsv,
       .Help = "with --schedule: comma-separated lines (RFC 4180), UTF-8; a cell\n"
               "that starts with =, +, - or @ is quoted as text"},
      {.Name = kOutputDelimiter,
       .Value = "C",
       .Needs = "a delimiter",
       .Help = "with --csv: \",\" or \";\" between cells; with \";\" the results\n"
               "are written with \",\" as the decimal point",
       .Accepts = IsOutputDelimiter,
       .Refusal = "is ',' or ';'"},
      {.Name = kJson, .Help = "with --schedule: JSON Lines, one object per section"},
      {.Name = kCrlf, .Help = "with --schedule: end each output line with CR LF"},
      DecimalSeparatorOption(),
  };
  return {
      .Name = "size",
      .Operands = 3,
      .Usage = "FLOW LENGTH " + materialUsage + ", or --schedule FILE|-",
      .Description =
          "      The smallest size of the round-duct series whose velocity is at most V m/s and\n"
          "      whose friction loss per metre is at most P Pa/m: the heading row and that size's\n"
          "      row, exactly as round prints it. At least one limit; a limit left out does not\n"
          "      constrain. The values are compared as computed, before rounding for display, so\n"
          "      5.004 m/s does not pass a limit of 5 although it shows as 5.00. Unlike round,\n"
          "      size refuses a value that does not read, and a flow, length or limit of zero or\n"
          "      below, as a usage error. Status 3, with a message and no row, when no size up to\n"
          "      1500 mm meets the limits; after an arithmetic failure only its message is\n"
          "      printed. --schedule sizes every section of a schedule file (size --help).\n",
      .Options = std::move(options),
      .Run = RunSize,
      .CheckArguments = CheckSizeArguments,
      // Each form on a few lines, to stay within 100 columns.
      .UsageLines = {"[--max-velocity V] [--max-friction P] [--tsv] [--decimal-separator C]\n"
                     "[--] FLOW LENGTH " +
                         materialUsage,
                     "--schedule FILE|- [--max-velocity V] [--max-friction P] [--length L]\n"
                     "[--type " +
                         materialUsage +
                         "] [--input-delimiter C] [--skip-comments]\n"
                         "[--tsv|--csv [--output-delimiter C]|--json] [--crlf]\n"
                         "[--decimal-separator C]"},
      .Details = ScheduleHelp(),
  };
}

} // namespace gustrule::cli
