#include "SizeCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "DuctMaterials.h"
#include "Failures.h"
#include "GridOutput.h"
#include "RoundDuct.h"
#include "RoundDuctSizing.h"
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
constexpr std::string_view kStandardInput = "-";

bool IsMaterialWord(std::string_view word) {
  return FindDuctMaterial(word) != nullptr;
}

// The limits the options give, read strictly.
RoundDuctLimits LimitOptions(const Invocation& run, StrictReader& reader) {
  RoundDuctLimits limits;
  if (const auto given = run.Options.find(kMaxVelocity); given != run.Options.end()) {
    limits.MaxVelocity = reader.Limit(kMaxVelocity, given->second);
  }
  if (const auto given = run.Options.find(kMaxFriction); given != run.Options.end()) {
    limits.MaxLossPerMetre = reader.Limit(kMaxFriction, given->second);
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
  const double flow = reader.Number("FLOW", run.Operands[0]);
  const double length = reader.Number("LENGTH", run.Operands[1]);
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

// The whole of a file, or of standard input `in` for "-"; nothing when it cannot be read, with
// the reason in `problem`.
std::optional<std::string> ReadWhole(std::string_view name, int in, std::string& problem) {
  const std::string path(name);
  const int fd = name == kStandardInput ? in : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    problem = std::strerror(errno);
    return std::nullopt;
  }
  std::string text;
  char buffer[1 << 16];
  ssize_t got = 0;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
    text.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
  }
  const int error = errno;
  if (fd != in) {
    ::close(fd);
  }
  if (got < 0) {
    problem = std::strerror(error);
    return std::nullopt;
  }
  return text;
}

int SizeSchedule(const Invocation& run) {
  if (run.Io.In < 0) {
    return run.UsageError("size --schedule does not run in a batch");
  }
  StrictReader reader;
  ScheduleDefaults defaults;
  defaults.Limits = LimitOptions(run, reader);
  if (const auto given = run.Options.find(kLength); given != run.Options.end()) {
    defaults.Length = reader.Number(kLength, given->second);
  }
  if (const auto given = run.Options.find(kType); given != run.Options.end()) {
    defaults.Material = FindDuctMaterial(given->second); // the parser accepted it
  }
  if (!reader.Refusal().empty()) {
    return run.UsageError(reader.Refusal());
  }
  if (reader.Overflowed()) {
    return Failed(run.Io.Err, EOverflow());
  }

  const std::string_view name = run.Options.at(kSchedule);
  // Appended piece by piece: GCC 12 warns (-Wrestrict) about "'" + std::string(...) in Release.
  std::string shownName = "standard input";
  if (name != kStandardInput) {
    shownName.assign(1, '\'').append(name).push_back('\'');
  }
  std::string problem;
  const std::optional<std::string> text = ReadWhole(name, run.Io.In, problem);
  if (!text) {
    return run.UsageError("cannot read " + shownName + ": " + problem);
  }
  const SizedSchedule sized = cli::SizeSchedule(Constants(), *text, defaults);
  if (!sized.Problem.empty()) {
    return run.UsageError(shownName + ": " + sized.Problem);
  }

  const GridStyle style = run.Has(kCsv) ? GridStyle::Csv : TableStyle(run);
  PrintGrid(ScheduleTable(sized), style, run.Io.Out);
  int status = kExitSuccess;
  for (const SizedSection& section : sized.Sections) {
    if (!section.Problem.empty()) {
      PrintLine(run.Io.Err, section.Problem);
      status = kExitFailure;
    }
  }
  return status;
}

int RunSize(const Invocation& run) {
  return run.Has(kSchedule) ? SizeSchedule(run) : SizeOneDuct(run);
}

std::string CheckSizeArguments(std::size_t operands, const OptionValues& options) {
  const auto has = [&](std::string_view option) { return options.contains(option); };
  if (has(kSchedule)) {
    if (operands != 0) {
      return "size --schedule takes no values";
    }
    if (has(kCsv) && has(TsvOption().Name)) {
      return "--tsv and --csv exclude each other";
    }
    return {};
  }
  if (operands != 3) {
    return "size takes 3 values";
  }
  for (const std::string_view option : {kLength, kType, kCsv}) {
    if (has(option)) {
      return std::string(option) + " goes only with --schedule";
    }
  }
  if (!has(kMaxVelocity) && !has(kMaxFriction)) {
    return "size needs --max-velocity or --max-friction";
  }
  return {};
}

} // namespace

Subcommand SizeSubcommand() {
  static const std::string materialUsage = MaterialWords("|", "|");
  static const std::string materialRefusal = "is " + MaterialWords(", ", " or ");
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
       .Help = "with --schedule: the duct type where a line gives none (spiral)",
       .Accepts = IsMaterialWord,
       .Refusal = materialRefusal},
      {.Name = kCsv,
       .Help = "with --schedule: comma-separated lines, quoted as RFC 4180 says, UTF-8"},
      TsvOption(),
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
          "      size refuses a value that does not read (and a limit of zero or below) as a\n"
          "      usage error. Status 3, with a message and no row, when no size up to 1500 mm\n"
          "      meets the limits; after an arithmetic failure only its message is printed.\n"
          "      --schedule sizes every section of FILE, UTF-8 text: a header line, then one\n"
          "      section per line. Columns are separated by tabs when the header holds a tab,\n"
          "      else by commas; a field that starts with a double quote is quoted as in\n"
          "      RFC 4180 (so with --decimal-separator , a CSV needs \"1,5\" in quotes). Columns,\n"
          "      named in any case and order: section, flow (l/s, required), length (m), type\n"
          "      (spiral or flexible, any case), max_velocity, max_friction; other names are\n"
          "      ignored, a name given twice is a usage error. A missing column or an empty\n"
          "      cell takes the option's value (length 1, spiral without one). Lines that are\n"
          "      empty, hold only blanks and separators, or start with # are skipped; a byte\n"
          "      order mark and CR LF line ends are accepted. A quoted field cannot span lines.\n"
          "      A line with fewer fields than the header takes the options for the rest; one\n"
          "      with more fails. Output: \"Section\" and the 13 headings, then one line per\n"
          "      section in input order, its 13 cells empty when it failed, the reason on\n"
          "      standard error as \"line N: reason\"; the other sections go on. Status 1 when\n"
          "      any section failed.\n",
      .Options = std::move(options),
      .Run = RunSize,
      .CheckArguments = CheckSizeArguments,
      // Each form on two lines, to stay within 100 columns.
      .UsageLines = {"[--max-velocity V] [--max-friction P] [--tsv] [--decimal-separator C]\n"
                     "[--] FLOW LENGTH " +
                         materialUsage,
                     "--schedule FILE|- [--max-velocity V] [--max-friction P] [--length L]\n"
                     "[--type " +
                         materialUsage + "] [--tsv|--csv] [--decimal-separator C]"},
  };
}

} // namespace gustrule::cli
