#include "RoundDuct.h"

#include "DuctFormulas.h"
#include "NumberText.h"

namespace gustrule {

namespace {

// An unreadable flow or length is taken as this small value, so the table still shows.
constexpr double kRoundFallback = 0.0001;
// Ducts above this size have the larger bend loss coefficients.
constexpr int kLargeBendFromAbove = 250;

// Loss coefficients of a 90° bend (share of the velocity pressure), for a centre-line radius of
// half the diameter (R/D = 0.5) and of one diameter (R/D = 1), as the duct tables give them.
struct Bend90Coefficients {
  Extended HalfDiameterRadius;
  Extended DiameterRadius;
};
constexpr Bend90Coefficients kLargeDuctBend90 = {0.96L, 0.37L}; // above 250 mm
constexpr Bend90Coefficients kSmallDuctBend90 = {0.72L, 0.22L}; // 250 mm and below

// The loss of a shallower bend as a share of the 90° bend of the same radius.
constexpr Extended kBend60Share = 0.78L;
constexpr Extended kBend45Share = 0.6L;
constexpr Extended kBend30Share = 0.45L;

} // namespace

RoundDuctRow ComputeRoundDuctRow(const SharedConstants& constants, double flow, double length,
                                 double roughness, int diameterMm) {
  const Real diameter = Extended(diameterMm) / 1000;
  const Real velocity = RoundVelocity(flow, diameter, constants.PiValue);
  const RoundDuctFlow air =
      FlowThroughRoundDuct(constants, velocity, diameter, length, Real(roughness));
  const Real pressure = air.VelocityPressure;

  const Bend90Coefficients& bend90 =
      diameterMm > kLargeBendFromAbove ? kLargeDuctBend90 : kSmallDuctBend90;
  const Real bend90Half = bend90.HalfDiameterRadius * pressure; // R/D = 0.5
  const Real bend90Whole = bend90.DiameterRadius * pressure;    // R/D = 1

  RoundDuctRow row;
  row.DiameterMm = diameterMm;
  row.Velocity = velocity.Value();
  row.Reynolds = air.Reynolds.Value();
  row.Friction = air.Friction.Value();
  row.VelocityPressure = pressure.Value();
  row.LossTotal = air.LossTotal.Value();
  row.LossPerMetre = air.LossPerMetre.Value();
  row.Bends = {bend90Half.Value(),
               bend90Whole.Value(),
               Real(kBend60Share * bend90Half).Value(),
               Real(kBend60Share * bend90Whole).Value(),
               Real(kBend45Share * bend90Half).Value(),
               Real(kBend45Share * bend90Whole).Value(),
               Real(kBend30Share * bend90Half).Value(),
               Real(kBend30Share * bend90Whole).Value()};
  return row;
}

double CubicMetresPerSecond(double litresPerSecond) {
  return Real(Real(litresPerSecond) / 1000).Value();
}

void WriteRoundDuctRow(const RoundDuctRow& row, const DuctMaterial& material, int gridRow,
                       CellSink& grid) {
  grid.SetCell(0, gridRow, FormatFixed(row.DiameterMm, 0));
  grid.SetCell(1, gridRow, FormatFixed(row.Velocity, 2));
  grid.SetCell(2, gridRow, FormatFixed(row.LossPerMetre, 1));
  grid.SetCell(3, gridRow, FormatFixed(row.LossTotal, 1));
  grid.SetCell(4, gridRow, FormatFixed(row.VelocityPressure, 1));
  int column = 5;
  for (const double bend : row.Bends) {
    grid.SetCell(column++, gridRow, material.ShowsBendLosses ? FormatFixed(bend, 1) : "");
  }
}

void RoundDuctCalc(const SharedConstants& constants, std::string_view volumeText,
                   std::string_view lengthText, const DuctMaterial& material, CellSink& grid) {
  const double flow = CubicMetresPerSecond(ReadNumber(volumeText, kRoundFallback));
  const double length = ReadNumber(lengthText, kRoundFallback);

  int gridRow = RoundDuctFirstValueRow;
  for (const int diameterMm : RoundDuctDiameters) {
    WriteRoundDuctRow(ComputeRoundDuctRow(constants, flow, length, material.Roughness, diameterMm),
                      material, gridRow++, grid);
  }
}

} // namespace gustrule
