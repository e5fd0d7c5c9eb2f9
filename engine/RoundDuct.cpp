#include "RoundDuct.h"

#include "DuctFormulas.h"
#include "NumberText.h"

namespace gustrule {

namespace {

// An unreadable flow or length is taken as this small value, so the table still shows.
constexpr double kRoundFallback = 0.0001;
// Ducts above this size have the larger bend loss coefficients.
constexpr int kLargeBendFromAbove = 250;

} // namespace

RoundDuctRow ComputeRoundDuctRow(const SharedConstants& constants, double flow, double length,
                                 double roughness, int diameterMm) {
  const Real diameter = Extended(diameterMm) / 1000;
  const Real velocity = RoundVelocity(flow, diameter, constants.PiValue);
  const RoundDuctFlow air =
      FlowThroughRoundDuct(constants, velocity, diameter, length, Real(roughness));
  const Real pressure = air.VelocityPressure;

  const bool large = diameterMm > kLargeBendFromAbove;
  const Real bend90a = (large ? 0.96L : 0.72L) * pressure;
  const Real bend90b = (large ? 0.37L : 0.22L) * pressure;

  RoundDuctRow row;
  row.DiameterMm = diameterMm;
  row.Velocity = velocity.Value();
  row.Reynolds = air.Reynolds.Value();
  row.Friction = air.Friction.Value();
  row.VelocityPressure = pressure.Value();
  row.LossTotal = air.LossTotal.Value();
  row.LossPerMetre = air.LossPerMetre.Value();
  row.Bends = {bend90a.Value(),
               bend90b.Value(),
               Real(0.78L * bend90a).Value(),
               Real(0.78L * bend90b).Value(),
               Real(0.6L * bend90a).Value(),
               Real(0.6L * bend90b).Value(),
               Real(0.45L * bend90a).Value(),
               Real(0.45L * bend90b).Value()};
  return row;
}

void RoundDuctCalc(const SharedConstants& constants, std::string_view volumeText,
                   std::string_view lengthText, const DuctMaterial& material, CellSink& grid) {
  const Real flow = Real(ReadNumber(volumeText, kRoundFallback)) / 1000; // l/s to m³/s
  const double length = ReadNumber(lengthText, kRoundFallback);

  int rowIndex = RoundDuctFirstValueRow;
  for (const int diameterMm : RoundDuctDiameters) {
    const RoundDuctRow row =
        ComputeRoundDuctRow(constants, flow.Value(), length, material.Roughness, diameterMm);
    grid.SetCell(0, rowIndex, FormatFixed(row.DiameterMm, 0));
    grid.SetCell(1, rowIndex, FormatFixed(row.Velocity, 2));
    grid.SetCell(2, rowIndex, FormatFixed(row.LossPerMetre, 1));
    grid.SetCell(3, rowIndex, FormatFixed(row.LossTotal, 1));
    grid.SetCell(4, rowIndex, FormatFixed(row.VelocityPressure, 1));
    int column = 5;
    for (const double bend : row.Bends) {
      grid.SetCell(column++, rowIndex, material.ShowsBendLosses ? FormatFixed(bend, 1) : "");
    }
    ++rowIndex;
  }
}

} // namespace gustrule
