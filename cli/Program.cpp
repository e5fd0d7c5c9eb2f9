#include "Program.h"

#include <exception>
#include <string>
#include <vector>

#include "BatchCommand.h"
#include "Conversions.h"
#include "DuctMaterials.h"
#include "GridCommands.h"
#include "GridOutput.h"
#include "NumberText.h"
#include "SizeCommand.h"
#include "Utf8.h"

#ifndef GUSTRULE_VERSION
#error "GUSTRULE_VERSION must be defined by the build (the CMake project version)"
#endif

namespace gustrule::cli {

namespace {

// What the program's help ends with: the output, the exit status and examples, which name the
// first material and the units as the engine's tables do.
std::string HelpEpilogue() {
  const std::string material(DuctMaterials[0].Word);
  return "Output: the heading row, then every row the calculation wrote (size: the chosen row), "
         "as an\n"
         "aligned table or TSV; a schedule also as CSV or JSON Lines, one line per section.\n"
         "Exit status: 0 on success; 1 after an arithmetic failure (the rows written before it "
         "are\n"
         "printed, the message goes to standard error), when a section of a schedule failed, "
         "when\n"
         "standard output cannot be written, or for any other failure; 2 for a usage error or a\n"
         "file that cannot be read; 3 when size finds no size that meets the limits.\n"
         "\"gustrule-cli SUBCOMMAND --help\" prints the help of one subcommand.\n"
         "\n"
         "Examples:\n"
         "  gustrule-cli round 183.7 1 " +
         material +
         "\n"
         "  gustrule-cli rect 183.7 212 212 1 --tsv\n"
         "  gustrule-cli convert 1,5 " +
         std::string(ConversionUnits[1]) +
         " --decimal-separator ,\n"
         "  gustrule-cli size 183.7 1 " +
         material +
         " --max-velocity 5 --max-friction 1\n"
         "  gustrule-cli size --schedule ducts.csv --max-velocity 5 --csv\n";
}

int Run(const Request& request, Console& io) {
  switch (request.What) {
  case Request::Action::Help:
    io.Out.Write(request.Command != nullptr ? SubcommandHelpText(*request.Command)
                                            : HelpText(Subcommands(), HelpEpilogue()));
    return kExitSuccess;
  case Request::Action::Version:
    io.Out.Write(std::string(kProgram) + " " + GUSTRULE_VERSION + "\n");
    return kExitSuccess;
  case Request::Action::UsageError:
    return UsageError(io.Err, request.Command != nullptr ? request.Command->Name : "",
                      request.Problem);
  case Request::Action::Run:
    break;
  }
  const auto separator = request.Options.find(DecimalSeparatorOption().Name);
  SetDecimalSeparator(separator != request.Options.end() ? *DecodeSingleCharacter(separator->second)
                                                         : U'.');
  return request.Command->Run({request.Command->Name, request.Operands, request.Options, io});
}

} // namespace

std::span<const Subcommand> Subcommands() {
  static const std::vector<Subcommand> table = {RoundSubcommand(), RectSubcommand(),
                                                ConvertSubcommand(), SizeSubcommand(),
                                                BatchSubcommand(RunCommandLine)};
  return table;
}

int RunCommandLine(std::span<const std::string_view> args, Console& io) {
  try {
    return Run(ParseCommandLine(args, Subcommands()), io);
  } catch (const std::exception& failure) {
    PrintLine(io.Err, std::string(kProgram) + ": " + failure.what());
  } catch (...) {
    PrintLine(io.Err, std::string(kProgram) + ": unknown failure");
  }
  return kExitFailure;
}

} // namespace gustrule::cli
