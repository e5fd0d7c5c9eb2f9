#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"

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
  EXPECT_NE(HelpText(kTable).find("  --max-velocity V         at most V m/s\n"), std::string::npos);
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
