// gustrule-cli: prints the window's result grids from the same engine code, for scripts and for
// checking numbers by hand.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CellGrid.h"
#include "Constants.h"
#include "Conversions.h"
#include "DuctMaterials.h"
#include "Extended.h"
#include "Failures.h"
#include "NumberText.h"
#include "RectDuct.h"
#include "RoundDuct.h"
#include "Utf8.h"

namespace {

using namespace gustrule;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "Usage:\n"
    "  gustrule-cli round FLOW LENGTH spiral|flexible [--tsv] [--decimal-separator C]\n"
    "  gustrule-cli rect FLOW SIDE_A SIDE_B LENGTH [--tsv] [--decimal-separator C]\n"
    "  gustrule-cli convert VALUE UNIT [--tsv] [--decimal-separator C]\n"
    "  gustrule-cli --help\n";

constexpr std::string_view kHelp =
    "Prints the duct calculator's result grids, computed exactly as the window computes them.\n"
    "\n"
    "Subcommands:\n"
    "  round FLOW LENGTH spiral|flexible\n"
    "      The round-duct table: for each of 23 duct sizes (80 to 1500 mm) the velocity (m/s),\n"
    "      friction loss per metre and over LENGTH (Pa), velocity pressure (Pa) and, for spiral\n"
    "      duct, the losses of eight bends (Pa). FLOW is in l/s, LENGTH in m; a text that does\n"
    "      not read as a number counts as 0.0001.\n"
    "  rect FLOW SIDE_A SIDE_B LENGTH\n"
    "      One rectangular duct: equivalent round diameter (mm), velocity (m/s), friction loss\n"
    "      per metre and over LENGTH (Pa) and velocity pressure (Pa). FLOW in l/s, sides in mm,\n"
    "      LENGTH in m. A zero or unreadable input gives \"?...\" in every cell.\n"
    "  convert VALUE UNIT\n"
    "      VALUE converted from UNIT into l/s, m³/s, m³/min and m³/hr. UNIT must be exactly one\n"
    "      of l/s, m³/s, m³/min, m³/hr (UTF-8); any other text gives 0.00 in every cell.\n"
    "\n"
    "Each value is a text read exactly as the window reads its edit boxes: blanks, a sign, digits\n"
    "with one decimal separator, an optional exponent (1e3, 5e-3). A value starting with \"-\" is\n"
    "a value, not an option; \"--\" ends the options.\n"
    "\n"
    "Options:\n"
    "  --tsv                    cells separated by one tab, one line per row, UTF-8\n"
    "  --decimal-separator C    the one character read as the decimal separator (default \".\");\n"
    "                           results are always written with \".\"\n"
    "  --help                   this text\n"
    "\n"
    "Output: the heading row, then every row the calculation wrote, as an aligned table (or TSV).\n"
    "Exit status: 0 on success; 1 after an arithmetic failure (the rows written before it are\n"
    "printed, the message goes to standard error); 2 for a usage error.\n"
    "\n"
    "Examples:\n"
    "  gustrule-cli round 183.7 1 spiral\n"
    "  gustrule-cli rect 183.7 212 212 1 --tsv\n"
    "  gustrule-cli convert 1,5 m³/s --decimal-separator ,\n";

struct Options {
  bool tsv = false;
  std::optional<char32_t> separator;
  std::vector<std::string_view> positional;
};

int UsageError(std::string_view problem) {
  std::fprintf(stderr, "gustrule-cli: %.*s\n%.*s", static_cast<int>(problem.size()), problem.data(),
               static_cast<int>(kUsage.size()), kUsage.data());
  return kExitUsage;
}

// Columns a text takes in a terminal: one per code point (the grids hold no wide characters).
std::size_t DisplayWidth(std::string_view text) {
  return CountCharacters(text);
}

// The heading row and every row the calculation wrote, in row order.
void PrintGrid(const CellGrid& grid, bool tsv) {
  std::vector<int> rows;
  for (int row = 1; row < grid.Rows(); ++row) {
    if (row == 1 || grid.RowWritten(row)) {
      rows.push_back(row);
    }
  }
  std::vector<std::size_t> widths(static_cast<std::size_t>(grid.Columns()), 0);
  for (const int row : rows) {
    for (int column = 0; column < grid.Columns(); ++column) {
      auto& width = widths[static_cast<std::size_t>(column)];
      width = std::max(width, DisplayWidth(grid.Cell(column, row)));
    }
  }
  std::string out;
  for (const int row : rows) {
    std::string line;
    for (int column = 0; column < grid.Columns(); ++column) {
      const std::string& cell = grid.Cell(column, row);
      if (tsv) {
        if (column > 0) {
          line += '\t';
        }
        line += cell;
      } else {
        if (column > 0) {
          line += "  ";
        }
        line += cell;
        line.append(widths[static_cast<std::size_t>(column)] - DisplayWidth(cell), ' ');
      }
    }
    if (!tsv) {
      while (!line.empty() && line.back() == ' ') {
        line.pop_back();
      }
    }
    out += line;
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
}

int Run(const Options& options) {
  const auto& args = options.positional;
  const std::string_view command = args[0];
  SharedConstants constants;
  SetSharedConstants(constants);

  int columns = 0;
  int rows = 0;
  std::size_t operands = 0;
  if (command == "round") {
    columns = RoundDuctColumns;
    rows = RoundDuctRows;
    operands = 3;
  } else if (command == "rect") {
    columns = RectDuctColumns;
    rows = RectDuctRows;
    operands = 4;
  } else if (command == "convert") {
    columns = ConversionColumns;
    rows = ConversionRows;
    operands = 2;
  } else {
    return UsageError("unknown subcommand '" + std::string(command) + "'");
  }
  if (args.size() != operands + 1) {
    return UsageError(std::string(command) + " takes " + std::to_string(operands) + " values");
  }
  const DuctMaterial* material = nullptr;
  if (command == "round") {
    material = FindDuctMaterial(args[3]);
    if (material == nullptr) {
      return UsageError("the duct type is spiral or flexible");
    }
  }

  CellGrid grid(columns, rows);
  try {
    if (command == "round") {
      WriteHeadings(grid, RoundDuctHeadings);
      RoundDuctCalc(constants, args[1], args[2], *material, grid);
    } else if (command == "rect") {
      WriteHeadings(grid, RectDuctHeadings);
      RectDuctCalc(constants, args[1], args[2], args[3], args[4], grid);
    } else {
      WriteHeadings(grid, ConversionUnits);
      Conversions conversions;
      conversions.Calc(args[1], args[2], grid);
    }
  } catch (const Exception& failure) {
    PrintGrid(grid, options.tsv);
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", FailureText(failure.Message()).c_str());
    return kExitFailure;
  }
  PrintGrid(grid, options.tsv);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  gustrule::InitArithmetic();
  Options options;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded) {
      options.positional.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help") {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      std::fputc('\n', stdout);
      std::fwrite(kHelp.data(), 1, kHelp.size(), stdout);
      return 0;
    } else if (arg == "--tsv") {
      options.tsv = true;
    } else if (arg == "--decimal-separator" || arg.starts_with("--decimal-separator=")) {
      std::string_view value;
      if (arg == "--decimal-separator") {
        if (i + 1 >= argc) {
          return UsageError("--decimal-separator needs a character");
        }
        value = argv[++i];
      } else {
        value = arg.substr(arg.find('=') + 1);
      }
      options.separator = DecodeSingleCharacter(value);
      if (!options.separator) {
        return UsageError("--decimal-separator takes exactly one character");
      }
    } else if (arg.starts_with("--")) {
      return UsageError("unknown option '" + std::string(arg) + "'");
    } else {
      options.positional.push_back(arg);
    }
  }
  if (options.positional.empty()) {
    return UsageError("no subcommand given");
  }
  if (options.separator) {
    gustrule::SetDecimalSeparator(*options.separator);
  }
  return Run(options);
}
