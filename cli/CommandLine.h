#pragma once

// Taking gustrule-cli's command line apart, and its usage and help texts, against a table of
// subcommands: each subcommand is one entry with its operands, its options and its run.

#include <cstddef>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Output.h"

namespace gustrule::cli {

inline constexpr std::string_view kProgram = "gustrule-cli";

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1; // an arithmetic failure, or any other that ends a run
constexpr int kExitUsage = 2;
constexpr int kExitNoSize = 3; // size: no duct size meets the limits

// One option: a switch, or an option that takes a value as the next argument or after "=".
struct Option {
  std::string_view Name;    // "--decimal-separator"
  std::string_view Short{}; // "-h"; only --help has one, as values may start with "-"
  std::string Value{};      // how the help names its value ("C"), empty for a switch
  std::string_view Needs{}; // what a missing value is called: "--NAME needs a character"
  std::string Help{};       // the help text, lines separated by '\n'
  // For an option with a value: whether the value is acceptable, and what the usage error then
  // says after the option's name.
  bool (*Accepts)(std::string_view value) = nullptr;
  std::string Refusal{};
};

// The options given, by name, with their last value (empty for a switch).
using OptionValues = std::map<std::string_view, std::string_view, std::less<>>;

// What a subcommand's run gets: its name, the values after it, every option given, and where it
// reads and writes.
struct Invocation {
  std::string_view Name;
  std::span<const std::string_view> Operands;
  const OptionValues& Options;
  Console& Io;

  bool Has(std::string_view option) const { return Options.contains(option); }
  // Prints the usage error (UsageError) to Io.Err; returns kExitUsage.
  int UsageError(std::string_view problem) const;
};

struct Subcommand {
  std::string_view Name;
  std::size_t Operands;        // how many values it takes
  std::string Usage;           // what follows the name in the help's list of subcommands
  std::string Description;     // the help under it, each line indented by six blanks
  std::vector<Option> Options; // every option it takes, in the order its usage shows them
  std::function<int(const Invocation&)> Run; // prints the result; returns the exit status
  // For a subcommand whose values depend on its options (one duct, or a schedule file and no
  // values): the check of the number of values and of the options given together, returning
  // the usage problem or the empty text; it takes the place of the count in Operands.
  std::string (*CheckArguments)(std::size_t operands, const OptionValues& options) = nullptr;
  // Its usage lines, what follows the name, each form with its options written out ("\n" inside
  // one continues it on the next line, under its start); when empty, the one line is Usage
  // followed by every option it takes.
  std::vector<std::string> UsageLines{};
  // More help that only "gustrule-cli NAME --help" prints, after the description; each line
  // indented by two blanks.
  std::string Details{};
};

// The options most subcommands take.
const Option& TsvOption();
const Option& DecimalSeparatorOption();

// What the command line asks for.
struct Request {
  enum class Action { Run, Help, Version, UsageError };
  Action What = Action::Run;
  // For Run the subcommand; for Help and UsageError the subcommand named before (nullptr when
  // none was), whose help is shown or pointed to.
  const Subcommand* Command = nullptr;
  std::vector<std::string_view> Operands;
  OptionValues Options;
  std::string Problem; // for UsageError
};

// Reads the arguments (without the program's name) from left to right. Options may stand
// before, between or after the values; "--" ends them. The first of --help (-h), --version or a
// usage error ends the reading. An option the subcommand does not take is a usage error.
Request ParseCommandLine(std::span<const std::string_view> args,
                         std::span<const Subcommand> subcommands);

// "Usage:" and every subcommand's usage lines, then those of --help and --version.
std::string UsageText(std::span<const Subcommand> subcommands);
// The program's help: the usage, each subcommand with its description, every option, then
// `epilogue` after an empty line.
std::string HelpText(std::span<const Subcommand> subcommands, std::string_view epilogue);
// One subcommand's help: its usage lines, description, details and options.
std::string SubcommandHelpText(const Subcommand& subcommand);

// Writes a usage error to `err`: "gustrule-cli: PROBLEM" and a line that points to the help of
// `subcommand` ("Try 'gustrule-cli size --help'.", or "Try 'gustrule-cli --help'." when it is
// empty). Returns kExitUsage.
int UsageError(TextOut& err, std::string_view subcommand, std::string_view problem);

} // namespace gustrule::cli
