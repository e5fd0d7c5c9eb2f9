#include "Subcommands.h"

#include <string>
#include <vector>

#include "CellGrid.h"
#include "Constants.h"
#include "Conversions.h"
#include "DuctMaterials.h"
#include "GridOutput.h"
#include "RectDuct.h"
#include "RoundDuct.h"
#include "SizeCommand.h"

namespace gustrule::cli {

SharedConstants Constants() {
  SharedConstants constants;
  SetSharedConstants(constants);
  return constants;
}

std::string MaterialWords(std::string_view between, std::string_view beforeLast) {
  std::string words;
  for (std::size_t i = 0; i < DuctMaterials.size(); ++i) {
    if (i > 0) {
      words += i + 1 == DuctMaterials.size() ? beforeLast : between;
    }
    words += DuctMaterials[i].Word;
  }
  return words;
}

GridStyle TableStyle(const Invocation& run) {
  return run.Has(TsvOption().Name) ? GridStyle::Tsv : GridStyle::Aligned;
}

namespace {

int RunRound(const Invocation& run) {
  const DuctMaterial* material = FindDuctMaterial(run.Operands[2]);
  if (material == nullptr) {
    return UsageError("the duct type is " + MaterialWords(", ", " or "));
  }
  CellGrid grid(RoundDuctColumns, RoundDuctRows);
  WriteHeadings(grid, RoundDuctHeadings);
  return CalculateAndPrint(grid, TableStyle(run), [&](CellGrid& cells) {
    RoundDuctCalc(Constants(), run.Operands[0], run.Operands[1], *material, cells);
  });
}

int RunRect(const Invocation& run) {
  CellGrid grid(RectDuctColumns, RectDuctRows);
  WriteHeadings(grid, RectDuctHeadings);
  return CalculateAndPrint(grid, TableStyle(run), [&](CellGrid& cells) {
    const auto& values = run.Operands;
    RectDuctCalc(Constants(), values[0], values[1], values[2], values[3], cells);
  });
}

int RunConvert(const Invocation& run) {
  CellGrid grid(ConversionColumns, ConversionRows);
  WriteHeadings(grid, ConversionUnits);
  return CalculateAndPrint(grid, TableStyle(run), [&](CellGrid& cells) {
    Conversions conversions;
    conversions.Calc(run.Operands[0], run.Operands[1], cells);
  });
}

std::vector<Subcommand> MakeSubcommands() {
  std::vector<Subcommand> table;
  table.push_back(
      {"round",
       3,
       "FLOW LENGTH " + MaterialWords("|", "|"),
       "      The round-duct table: for each of 23 duct sizes (80 to 1500 mm) the velocity (m/s),\n"
       "      friction loss per metre and over LENGTH (Pa), velocity pressure (Pa) and, for "
       "spiral\n"
       "      duct, the losses of eight bends (Pa). FLOW is in l/s, LENGTH in m; a text that does\n"
       "      not read as a number counts as 0.0001.\n",
       {},
       RunRound});
  table.push_back(
      {"rect",
       4,
       "FLOW SIDE_A SIDE_B LENGTH",
       "      One rectangular duct: equivalent round diameter (mm), velocity (m/s), friction loss\n"
       "      per metre and over LENGTH (Pa) and velocity pressure (Pa). FLOW in l/s, sides in "
       "mm,\n"
       "      LENGTH in m. A zero or unreadable input gives \"?...\" in every cell.\n",
       {},
       RunRect});
  table.push_back(
      {"convert",
       2,
       "VALUE UNIT",
       "      VALUE converted from UNIT into l/s, m³/s, m³/min and m³/hr. UNIT must be exactly "
       "one\n"
       "      of l/s, m³/s, m³/min, m³/hr (UTF-8); any other text gives 0.00 in every cell.\n",
       {},
       RunConvert});
  table.push_back(SizeSubcommand());
  return table;
}

} // namespace

std::span<const Subcommand> Subcommands() {
  static const std::vector<Subcommand> table = MakeSubcommands();
  return table;
}

} // namespace gustrule::cli
