#include "Program.h"

#include <exception>
#include <string>
#include <vector>

#include "BatchCommand.h"
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

int Run(const Request& request, Console& io) {
  switch (request.What) {
  case Request::Action::Help:
    io.Out.Write(request.Command != nullptr ? SubcommandHelpText(*request.Command)
                                            : HelpText(Subcommands()));
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
