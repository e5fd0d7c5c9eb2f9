#pragma once

// Taking gustrule-cli's command line apart, and its usage and help texts, against a table of
// subcommands: each subcommand is one entry with its operands, its own options and its run.

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gustrule::cli {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1; // an arithmetic failure, or any other that ends a run
constexpr int kExitUsage = 2;
constexpr int kExitNoSize = 3; // size: no duct size meets the limits

// One option: a switch, or an option that takes a value as the next argument or after "=".
struct Option {
  std::string_view Name;    // "--decimal-separator"
  std::string_view Short{}; // "-h"; only --help has one, as values may start with "-"
  std::string_view Value{}; // how the help names its value ("C"), empty for a switch
  std::string_view Needs{}; // what a missing value is called: "--NAME needs a character"
  std::string_view Help{};  // the help text, lines separated by '\n'
  // For an option with a value: whether the value is acceptable, and what the usage error then
  // says after the option's name.
  bool (*Accepts)(std::string_view value) = nullptr;
  std::string_view Refusal{};
};

// The options given, by name, with their last value (empty for a switch).
using OptionValues = std::map<std::string_view, std::string_view, std::less<>>;

// What a subcommand's run gets: the values after its name, and every option given.
struct Invocation {
  std::span<const std::string_view> Operands;
  const OptionValues& Options;

  bool Has(std::string_view option) const { return Options.contains(option); }
};

struct Subcommand {
  std::string_view Name;
  std::size_t Operands;          // how many values it takes
  std::string Usage;             // what follows the name in its usage line and the help's list
  std::string Description;       // the help under it, each line indented by six blanks
  std::vector<Option> Options;   // its own options, beyond those every subcommand takes
  int (*Run)(const Invocation&); // prints the result; returns the exit status
  // For a subcommand whose values depend on its options (one duct, or a schedule file and no
  // values): the check of the number of values and of the options given together, returning
  // the usage problem or the empty text; it takes the place of the count in Operands.
  std::string (*CheckArguments)(std::size_t operands, const OptionValues& options) = nullptr;
  // Its usage lines, what follows the name, each form with its options written out ("\n" inside
  // one continues it on the next line, under its start); when empty, the one line is Usage
  // followed by every option it takes.
  std::vector<std::string> UsageLines{};
};

// The options every subcommand takes.
const Option& TsvOption();
const Option& DecimalSeparatorOption();

// What the command line asks for.
struct Request {
  enum class Action { Run, Help, Version, UsageError };
  Action What = Action::Run;
  const Subcommand* Command = nullptr; // for Run
  std::vector<std::string_view> Operands;
  OptionValues Options;
  std::string Problem; // for UsageError
};

// Reads the arguments (without the program's name) from left to right. Options may stand
// before, between or after the values; "--" ends them. The first of --help (-h), --version or a
// usage error ends the reading. An option of another subcommand is a usage error.
Request ParseCommandLine(std::span<const std::string_view> args,
                         std::span<const Subcommand> subcommands);

std::string UsageText(std::span<const Subcommand> subcommands);
std::string HelpText(std::span<const Subcommand> subcommands);

// Prints "gustrule-cli: PROBLEM" and the usage text to standard error; returns kExitUsage.
int UsageError(std::string_view problem);

// Runs the whole command line against the program's subcommands; returns the exit status.
int RunCommandLine(std::span<const std::string_view> args);

} // namespace gustrule::cli
