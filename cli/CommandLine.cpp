#include "CommandLine.h"

#include <algorithm>
#include <initializer_list>

#include "Texts.h"
#include "Utf8.h"

namespace gustrule::cli {

namespace {

bool IsOneCharacter(std::string_view value) {
  return DecodeSingleCharacter(value).has_value();
}

// The options are built on first use, so that a table of subcommands made before main() (as a
// test's) can copy them.
const Option& HelpOption() {
  static const Option help = {.Name = "--help", .Short = "-h", .Help = "this text"};
  return help;
}

const Option& VersionOption() {
  static const Option version = {.Name = "--version", .Help = "the program's name and version"};
  return version;
}

// Where the help's option descriptions begin.
constexpr std::size_t kHelpColumn = 27;

// The parts one after the other.
std::string Join(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const std::string_view part : parts) {
    joined += part;
  }
  return joined;
}

// "[--decimal-separator C]"
std::string UsageForm(const Option& option) {
  return option.Value.empty() ? Join({"[", option.Name, "]"})
                              : Join({"[", option.Name, " ", option.Value, "]"});
}

// "  -h, --help               this text": the option's names and value, then its help from
// kHelpColumn, continuation lines indented as far.
std::string HelpLines(const Option& option) {
  std::string label = "  ";
  if (!option.Short.empty()) {
    label += Join({option.Short, ", "});
  }
  label += option.Name;
  if (!option.Value.empty()) {
    label += Join({" ", option.Value});
  }
  label.append(label.size() + 2 <= kHelpColumn ? kHelpColumn - label.size() : 2, ' ');
  std::string lines = label;
  for (const char c : option.Help) {
    lines += c;
    if (c == '\n') {
      lines.append(kHelpColumn, ' ');
    }
  }
  return lines + "\n";
}

const Option* FindOption(std::span<const Option* const> options, std::string_view name) {
  const auto found = std::find_if(options.begin(), options.end(),
                                  [&](const Option* option) { return option->Name == name; });
  return found == options.end() ? nullptr : *found;
}

const Subcommand* FindSubcommand(std::span<const Subcommand> subcommands, std::string_view name) {
  const auto found = std::find_if(subcommands.begin(), subcommands.end(),
                                  [&](const Subcommand& s) { return s.Name == name; });
  return found == subcommands.end() ? nullptr : &*found;
}

// The usage lines of one subcommand.
std::string SubcommandUsage(const Subcommand& subcommand) {
  const std::string start = Join({"  ", kProgram, " ", subcommand.Name});
  std::string text;
  for (const std::string& line : subcommand.UsageLines) {
    text += start + " ";
    for (const char c : line) { // a continuation line starts under the first operand
      text += c;
      if (c == '\n') {
        text.append(start.size() + 1, ' ');
      }
    }
    text += "\n";
  }
  if (subcommand.UsageLines.empty()) {
    text += start;
    if (!subcommand.Usage.empty()) {
      text += Join({" ", subcommand.Usage});
    }
    for (const Option& option : subcommand.Options) {
      text += Join({" ", UsageForm(option)});
    }
    text += "\n";
  }
  return text;
}

} // namespace

const Option& TsvOption() {
  static const Option tsv = {.Name = "--tsv",
                             .Help = "cells separated by one tab, one line per row, UTF-8"};
  return tsv;
}

const Option& DecimalSeparatorOption() {
  static const Option separator = {
      .Name = "--decimal-separator",
      .Value = "C",
      .Needs = "a character",
      .Help = "the one character read as the decimal separator (default \".\");\n"
              "results are always written with \".\"",
      .Accepts = IsOneCharacter,
      .Refusal = "takes exactly one character"};
  return separator;
}

int Invocation::UsageError(std::string_view problem) const {
  return cli::UsageError(Io.Err, Name, problem);
}

Request ParseCommandLine(std::span<const std::string_view> args,
                         std::span<const Subcommand> subcommands) {
  Request request;
  std::vector<std::string_view> positional;
  // The subcommand named so far, for the help or the usage error that ends the reading.
  const auto named = [&]() {
    return positional.empty() ? nullptr : FindSubcommand(subcommands, positional.front());
  };
  const auto fail = [&](std::string problem) {
    request.What = Request::Action::UsageError;
    request.Command = named();
    request.Problem = std::move(problem);
    return request;
  };
  // Every option any subcommand takes, so that an option's value can be taken before the
  // subcommand is known; whether it belongs to that subcommand is checked at the end.
  std::vector<const Option*> known;
  for (const Subcommand& subcommand : subcommands) {
    for (const Option& option : subcommand.Options) {
      if (FindOption(known, option.Name) == nullptr) {
        known.push_back(&option);
      }
    }
  }

  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded) {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == HelpOption().Name || arg == HelpOption().Short) {
      request.What = Request::Action::Help;
      request.Command = named();
      return request;
    }
    if (arg == VersionOption().Name) {
      request.What = Request::Action::Version;
      return request;
    }
    if (!arg.starts_with("--")) {
      positional.push_back(arg); // a value, even when it starts with "-"
      continue;
    }
    const std::size_t equals = arg.find('=');
    const Option* option = FindOption(known, arg.substr(0, equals));
    if (option == nullptr || (option->Value.empty() && equals != std::string_view::npos)) {
      return fail(Join({"unknown option ", Quoted(arg)}));
    }
    std::string_view value;
    if (!option->Value.empty()) {
      if (equals != std::string_view::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return fail(Join({option->Name, " needs ", option->Needs}));
      }
      if (option->Accepts != nullptr && !option->Accepts(value)) {
        return fail(Join({option->Name, " ", option->Refusal}));
      }
    }
    request.Options[option->Name] = value;
  }

  if (positional.empty()) {
    return fail("no subcommand given");
  }
  const std::string_view name = positional.front();
  const Subcommand* command = named();
  if (command == nullptr) {
    return fail(Join({"unknown subcommand ", Quoted(name)}));
  }
  const std::size_t operands = positional.size() - 1;
  if (command->CheckArguments != nullptr) {
    if (std::string problem = command->CheckArguments(operands, request.Options);
        !problem.empty()) {
      return fail(std::move(problem));
    }
  } else if (operands != command->Operands) {
    return fail(Join({name, " takes ", std::to_string(command->Operands), " values"}));
  }
  for (const auto& given : request.Options) {
    const bool own = std::any_of(command->Options.begin(), command->Options.end(),
                                 [&](const Option& option) { return option.Name == given.first; });
    if (!own) {
      return fail(Join({given.first, " is not an option of ", name}));
    }
  }
  request.Command = command;
  request.Operands.assign(positional.begin() + 1, positional.end());
  return request;
}

std::string UsageText(std::span<const Subcommand> subcommands) {
  std::string text = "Usage:\n";
  for (const Subcommand& subcommand : subcommands) {
    text += SubcommandUsage(subcommand);
  }
  for (const Option* option : {&HelpOption(), &VersionOption()}) {
    text += Join({"  ", kProgram, " ", option->Name, "\n"});
  }
  return text;
}

std::string HelpText(std::span<const Subcommand> subcommands, std::string_view epilogue) {
  std::string text = UsageText(subcommands);
  text += "\n"
          "Prints the duct calculator's result grids, computed exactly as the window computes "
          "them.\n"
          "\n"
          "Subcommands:\n";
  for (const Subcommand& subcommand : subcommands) {
    text += Join({"  ", subcommand.Name});
    text += subcommand.Usage.empty() ? "\n" : Join({" ", subcommand.Usage, "\n"});
    text += subcommand.Description;
  }
  text += "\n"
          "Each value is a text read exactly as the window reads its edit boxes: blanks, a sign, "
          "digits\n"
          "with one decimal separator, an optional exponent (1e3, 5e-3). A value starting with "
          "\"-\" is\n"
          "a value, not an option (except -h); \"--\" ends the options.\n"
          "\n"
          "Options:\n";
  // Each option once, under the first subcommand that takes it.
  std::vector<const Option*> listed;
  for (const Subcommand& subcommand : subcommands) {
    for (const Option& option : subcommand.Options) {
      if (FindOption(listed, option.Name) == nullptr) {
        listed.push_back(&option);
        text += HelpLines(option);
      }
    }
  }
  text += HelpLines(HelpOption()) + HelpLines(VersionOption());
  text += Join({"\n", epilogue});
  return text;
}

std::string SubcommandHelpText(const Subcommand& subcommand) {
  std::string text = "Usage:\n" + SubcommandUsage(subcommand) + "\n";
  // The description without the indent it has in the program's help.
  std::string_view description = subcommand.Description;
  while (!description.empty()) {
    const std::size_t end = std::min(description.find('\n'), description.size() - 1);
    std::string_view line = description.substr(0, end + 1);
    description.remove_prefix(end + 1);
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    text += line;
  }
  if (!subcommand.Details.empty()) {
    text += Join({"\n", subcommand.Details});
  }
  text += "\nOptions:\n";
  for (const Option& option : subcommand.Options) {
    text += HelpLines(option);
  }
  text += HelpLines(HelpOption());
  return text;
}

int UsageError(TextOut& err, std::string_view subcommand, std::string_view problem) {
  err.Write(Join({kProgram, ": ", problem, "\nTry '", kProgram, " "}));
  err.Write(subcommand.empty() ? "--help" : Join({subcommand, " --help"}));
  err.Write("'.\n");
  return kExitUsage;
}

} // namespace gustrule::cli
