#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "Program.h"
#include "Texts.h"

namespace gustrule::cli {
namespace {

int Nothing(const Invocation&) {
  return kExitSuccess;
}

// A table with a subcommand that has an option of its own, as the real table may grow one.
const std::vector<Subcommand> kTable = {
    {"round",
     3,
     "FLOW LENGTH TYPE",
     "      The round table.\n",
     {TsvOption(), DecimalSeparatorOption()},
     Nothing},
    {"size",
     1,
     "FLOW",
     "      Sizes a duct.\n",
     {{.Name = "--max-velocity", .Value = "V", .Needs = "a velocity", .Help = "at most V m/s"},
      TsvOption(),
      DecimalSeparatorOption()},
     Nothing,
     nullptr,
     {},
     "  More about sizing.\n"},
};

TEST(CommandLine, SubcommandOptionsAreTakenAnywhereButOnlyForTheirSubcommand) {
  using Action = Request::Action;
  const struct {
    std::vector<std::string_view> args;
    Action action;
    std::string problemOrCommand;
    std::vector<std::string_view> operands{};
    OptionValues options{};
  } cases[] = {
      {{"size", "5", "--max-velocity", "7"}, Action::Run, "size", {"5"}, {{"--max-velocity", "7"}}},
      {{"--max-velocity=7", "size", "5"}, Action::Run, "size", {"5"}, {{"--max-velocity", "7"}}},
      {{"size", "-5", "--tsv"}, Action::Run, "size", {"-5"}, {{"--tsv", ""}}},
      {{"round", "1", "1", "spiral", "--max-velocity", "7"},
       Action::UsageError,
       "--max-velocity is not an option of round"},
      {{"size", "5", "--max-velocity"}, Action::UsageError, "--max-velocity needs a velocity"},
      {{"size"}, Action::UsageError, "size takes 1 values"},
      {{"--bogus", "--help"}, Action::UsageError, "unknown option '--bogus'"},
      {{"--", "-h"}, Action::UsageError, "unknown subcommand '-h'"},
      {{"size", "5", "-h", "--bogus"}, Action::Help, "size"},
      {{"-h", "size"}, Action::Help, ""},
      {{"--version", "--bogus"}, Action::Version, ""},
  };
  for (const auto& c : cases) {
    const std::string line = testing::PrintToString(c.args);
    const Request request = ParseCommandLine(c.args, kTable);
    ASSERT_EQ(request.What, c.action) << line << ": " << request.Problem;
    if (c.action == Action::UsageError) {
      EXPECT_EQ(request.Problem, c.problemOrCommand) << line;
    } else if (c.action == Action::Help) {
      EXPECT_EQ(request.Command != nullptr ? request.Command->Name : "", c.problemOrCommand);
    } else if (c.action == Action::Run) {
      EXPECT_EQ(request.Command->Name, c.problemOrCommand) << line;
      EXPECT_EQ(request.Operands, c.operands) << line;
      EXPECT_EQ(request.Options, c.options) << line;
    }
  }
}

TEST(CommandLine, UsageAndHelpShowASubcommandsOwnOptions) {
  EXPECT_NE(UsageText(kTable).find(
                "  gustrule-cli size FLOW [--max-velocity V] [--tsv] [--decimal-separator C]\n"),
            std::string::npos);
  EXPECT_NE(HelpText(kTable, "").find("  --max-velocity V         at most V m/s\n"),
            std::string::npos);
  const std::string help = SubcommandHelpText(kTable[1]);
  EXPECT_TRUE(help.starts_with("Usage:\n"
                               "  gustrule-cli size FLOW [--max-velocity V] [--tsv] "
                               "[--decimal-separator C]\n"
                               "\n"
                               "Sizes a duct.\n"
                               "\n"
                               "  More about sizing.\n"
                               "\n"
                               "Options:\n"
                               "  --max-velocity V         at most V m/s\n"))
      << help;
}

TEST(CommandLine, AUsageErrorPointsToTheHelpOfItsSubcommand) {
  const struct {
    std::vector<std::string_view> args;
    std::string_view subcommand;
  } cases[] = {
      {{"size", "--bogus"}, "size"},
      {{"size"}, "size"},
      {{"--bogus", "size"}, ""},
      {{"square"}, ""},
  };
  for (const auto& c : cases) {
    const Request request = ParseCommandLine(c.args, kTable);
    ASSERT_EQ(request.What, Request::Action::UsageError);
    EXPECT_EQ(request.Command != nullptr ? request.Command->Name : "", c.subcommand)
        << testing::PrintToString(c.args);
  }
  StringOut err;
  EXPECT_EQ(UsageError(err, "size", "FLOW 'x' is not a number"), kExitUsage);
  EXPECT_EQ(err.Text, "gustrule-cli: FLOW 'x' is not a number\n"
                      "Try 'gustrule-cli size --help'.\n");
}

TEST(RunCommandLine, EveryRunStartsFromTheSameDefaults) {
  const struct {
    std::vector<std::string_view> args;
    int status;
    std::string out, err;
  } runs[] = {
      {{"convert", "1", "m³/s", "--tsv"},
       0,
       "l/s\tm³/s\tm³/min\tm³/hr\n1000.00\t1.00\t60.00\t3600.00\n",
       ""},
      {{"convert", "1,5", "m³/s", "--tsv", "--decimal-separator", ","},
       0,
       "l/s\tm³/s\tm³/min\tm³/hr\n1500.00\t1.50\t90.00\t5400.00\n",
       ""},
      {{"convert", "1,5", "m³/s", "--tsv"}, // "," is no longer the separator
       0,
       "l/s\tm³/s\tm³/min\tm³/hr\n0.00\t0.00\t0.00\t0.00\n",
       ""},
      {{"size", "--schedule", "-", "--max-velocity", "5"},
       2,
       "",
       "gustrule-cli: size --schedule does not run in a batch\nTry 'gustrule-cli size --help'.\n"},
  };
  for (const auto& run : runs) {
    StringOut out;
    StringOut err;
    Console io{-1, out, err};
    EXPECT_EQ(RunCommandLine(run.args, io), run.status) << testing::PrintToString(run.args);
    EXPECT_EQ(out.Text, run.out) << testing::PrintToString(run.args);
    EXPECT_EQ(err.Text, run.err) << testing::PrintToString(run.args);
  }
}

TEST(Quoted, QuotesAtMost40CharactersWithNothingRawForATerminal) {
  const struct {
    std::string text, quoted;
  } cases[] = {
      {"12a", "'12a'"},
      {std::string(40, 'x'), "'" + std::string(40, 'x') + "'"},
      {std::string(41, 'x'), "'" + std::string(40, 'x') + "'..."},
      {"a\tb\\c\r\n", "'a\\tb\\\\c\\r\\n'"},
      {"\x1b[2J\x7f", "'\\x1B[2J\\x7F'"},
      {"\xff\xfe" + std::string(40, 'x'), "'\\xFF\\xFE" + std::string(38, 'x') + "'..."},
      {"\u202e\u0085\u2028", "'\\u{202E}\\u{0085}\\u{2028}'"},
      {"Büro ³", "'Büro ³'"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Quoted(c.text), c.quoted);
  }
}

// A subcommand whose values depend on an option: one value, or none with --file.
std::string OneValueOrAFile(std::size_t operands, const OptionValues& options) {
  return operands == (options.contains("--file") ? 0U : 1U) ? "" : "one value, or --file alone";
}

TEST(CommandLine, ASubcommandsOwnCheckReplacesTheCountAndItsUsageLinesAreItsOwn) {
  const std::vector<Subcommand> table = {{"load",
                                          1,
                                          "VALUE",
                                          "",
                                          {{.Name = "--file", .Value = "F"}},
                                          Nothing,
                                          OneValueOrAFile,
                                          {"VALUE", "--file F [--tsv]\n[--decimal-separator C]"}}};
  const struct {
    std::vector<std::string_view> args;
    std::string problem;
  } cases[] = {
      {{"load", "1"}, ""},
      {{"load", "--file", "x"}, ""},
      {{"load", "1", "--file", "x"}, "one value, or --file alone"},
      {{"load"}, "one value, or --file alone"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseCommandLine(c.args, table).Problem, c.problem) << testing::PrintToString(c.args);
  }
  EXPECT_EQ(UsageText(table), "Usage:\n"
                              "  gustrule-cli load VALUE\n"
                              "  gustrule-cli load --file F [--tsv]\n"
                              "                    [--decimal-separator C]\n"
                              "  gustrule-cli --help\n"
                              "  gustrule-cli --version\n");
}

} // namespace
} // namespace gustrule::cli
