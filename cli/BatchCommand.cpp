#include "BatchCommand.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "LineReader.h"

namespace gustrule::cli {

namespace {

// A line longer than this ends the batch: no command line needs it, and it keeps the memory a
// batch takes bounded.
constexpr std::size_t kMaxLine = std::size_t{1} << 20;

// The arguments of one line: the fields between tabs; an empty line has none.
void SplitArguments(std::string_view line, std::vector<std::string_view>& args) {
  args.clear();
  if (line.empty()) {
    return;
  }
  for (;;) {
    const std::size_t tab = line.find('\t');
    args.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) {
      return;
    }
    line.remove_prefix(tab + 1);
  }
}

int RunBatch(const Invocation& run, const CommandLineRunner& runCommandLine) {
  if (run.Io.In < 0) {
    return run.UsageError("batch does not run in a batch");
  }
  TextOut& out = run.Io.Out;
  LineReader lines(run.Io.In, kMaxLine, [&out] { out.Flush(); });
  std::vector<std::string_view> args;
  std::size_t number = 0;
  std::string_view line;
  for (;;) {
    switch (lines.Next(line)) {
    case LineReader::Result::Line:
      break;
    case LineReader::Result::End:
      return kExitSuccess;
    case LineReader::Result::TooLong:
      PrintLine(run.Io.Err, std::string(kProgram) + ": -:" + std::to_string(number + 1) +
                                ": a line longer than " + std::to_string(kMaxLine) + " bytes");
      return kExitFailure;
    case LineReader::Result::Failed:
      PrintLine(run.Io.Err, std::string(kProgram) + ": -: " + std::strerror(lines.Error()));
      return kExitUsage;
    }
    ++number;
    SplitArguments(line, args);
    StringOut err;
    Console io{-1, out, err};
    const int status = runCommandLine(args, io);
    out.Write(err.Text);
    out.Write(BatchStatusLine(status));
    if (out.Failed()) {
      return kExitFailure;
    }
  }
}

} // namespace

std::string BatchStatusLine(int status) {
  return "\x1e status " + std::to_string(status) + "\n";
}

Subcommand BatchSubcommand(CommandLineRunner runCommandLine) {
  return {
      .Name = "batch",
      .Operands = 0,
      .Usage = "",
      .Description =
          "      Runs one command line per line of standard input, its arguments separated by "
          "tabs,\n"
          "      as a process of its own would run it, and writes for each its standard output, "
          "its\n"
          "      standard error and a line of the record separator (0x1E) and \" status N\".\n",
      .Options = {},
      .Run = [runCommandLine = std::move(runCommandLine)](
                 const Invocation& run) { return RunBatch(run, runCommandLine); },
      .Details =
          "  Each input line is one command line: the arguments are the texts between tab\n"
          "  characters, an empty text is an empty argument, nothing is quoted or trimmed (a CR\n"
          "  before the LF belongs to the last argument), and an empty line has no arguments.\n"
          "  The output of each line is exactly what \"gustrule-cli ARGUMENTS\" writes to its\n"
          "  standard output and then to its standard error, followed by the status line, such\n"
          "  as \"\\x1e status 0\". size --schedule and batch itself do not run in a batch (a\n"
          "  usage error). A line longer than 1 MiB ends the batch with status 1; batch exits\n"
          "  with 0 when standard input has ended.\n",
  };
}

} // namespace gustrule::cli
