#include "GridCommands.h"

#include <string>

#include "CellGrid.h"
#include "Conversions.h"
#include "DuctMaterials.h"
#include "GridOutput.h"
#include "RectDuct.h"
#include "RoundDuct.h"
#include "Texts.h"

namespace gustrule::cli {

namespace {

std::vector<Option> GridOptions() {
  return {TsvOption(), DecimalSeparatorOption()};
}

int RunRound(const Invocation& run) {
  const DuctMaterial* material = FindDuctMaterial(run.Operands[2]);
  if (material == nullptr) {
    return run.UsageError("the duct type is " + MaterialWords(", ", " or "));
  }
  CellGrid grid(RoundDuctColumns, RoundDuctRows);
  WriteHeadings(grid, RoundDuctHeadings);
  return CalculateAndPrint(grid, TableStyle(run), run.Io, [&](CellGrid& cells) {
    RoundDuctCalc(Constants(), run.Operands[0], run.Operands[1], *material, cells);
  });
}

int RunRect(const Invocation& run) {
  CellGrid grid(RectDuctColumns, RectDuctRows);
  WriteHeadings(grid, RectDuctHeadings);
  return CalculateAndPrint(grid, TableStyle(run), run.Io, [&](CellGrid& cells) {
    const auto& values = run.Operands;
    RectDuctCalc(Constants(), values[0], values[1], values[2], values[3], cells);
  });
}

int RunConvert(const Invocation& run) {
  CellGrid grid(ConversionColumns, ConversionRows);
  WriteHeadings(grid, ConversionUnits);
  return CalculateAndPrint(grid, TableStyle(run), run.Io, [&](CellGrid& cells) {
    Conversions conversions;
    conversions.Calc(run.Operands[0], run.Operands[1], cells);
  });
}

} // namespace

Subcommand RoundSubcommand() {
  std::string withBends;
  for (const DuctMaterial& material : DuctMaterials) {
    if (material.ShowsBendLosses) {
      withBends += std::string(withBends.empty() ? "" : " and ") + std::string(material.Word);
    }
  }
  return {
      .Name = "round",
      .Operands = 3,
      .Usage = "FLOW LENGTH " + MaterialWords("|", "|"),
      .Description =
          "      The round-duct table: for each of 23 duct sizes (80 to 1500 mm) the velocity "
          "(m/s),\n"
          "      friction loss per metre and over LENGTH (Pa), velocity pressure (Pa) and, for " +
          withBends +
          "\n"
          "      duct, the losses of eight bends (Pa). FLOW is in " +
          std::string(ConversionUnits[0]) +
          ", LENGTH in m; a text that does\n"
          "      not read as a number counts as 0.0001.\n",
      .Options = GridOptions(),
      .Run = RunRound,
  };
}

Subcommand RectSubcommand() {
  return {
      .Name = "rect",
      .Operands = 4,
      .Usage = "FLOW SIDE_A SIDE_B LENGTH",
      .Description =
          "      One rectangular duct: equivalent round diameter (mm), velocity (m/s), friction "
          "loss\n"
          "      per metre and over LENGTH (Pa) and velocity pressure (Pa). FLOW in " +
          std::string(ConversionUnits[0]) +
          ", sides in "
          "mm,\n"
          "      LENGTH in m. A zero or unreadable input gives \"?...\" in every cell.\n",
      .Options = GridOptions(),
      .Run = RunRect,
  };
}

Subcommand ConvertSubcommand() {
  return {
      .Name = "convert",
      .Operands = 2,
      .Usage = "VALUE UNIT",
      .Description = "      VALUE converted from UNIT into " + UnitWords(", ", " and ") +
                     ". UNIT must be exactly one\n      of " + UnitWords(", ", ", ") +
                     " (UTF-8); any other text gives 0.00 in every cell.\n",
      .Options = GridOptions(),
      .Run = RunConvert,
  };
}

} // namespace gustrule::cli
