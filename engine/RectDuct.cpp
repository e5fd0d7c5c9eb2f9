#include "RectDuct.h"

#include "DuctFormulas.h"
#include "NumberText.h"

namespace gustrule {

namespace {

// Wall roughness of the duct, m: galvanised sheet, the same value as spiral duct.
constexpr Extended kRectRoughness = 0.0001L;

// The round duct with the same friction loss at the same flow as sides A and B:
// D = 1.265 ((A B)³ / (A + B))^0.2, the usual equal-friction equivalent diameter.
constexpr Extended kEquivalentDiameterFactor = 1.265L;
constexpr Extended kEquivalentDiameterPower = 0.2L;

} // namespace

RectDuctResult ComputeRectDuct(const SharedConstants& constants, double flow, double sideA,
                               double sideB, double length) {
  const Real a = sideA;
  const Real b = sideB;

  const Real diameterMm = kEquivalentDiameterFactor *
                          RaisePower(RaisePower(a * b, 3) / (a + b), kEquivalentDiameterPower);
  const Real flowSi = Real(flow) / 1000;
  const Real diameter = diameterMm / 1000;
  const Real equivalentVelocity = RoundVelocity(flowSi, diameter, constants.PiValue);
  const Real sectionVelocity = flowSi / ((a / 1000) * (b / 1000));
  const RoundDuctFlow air =
      FlowThroughRoundDuct(constants, equivalentVelocity, diameter, length, kRectRoughness);
  const Real sectionPressure = VelocityPressure(sectionVelocity, constants.AirDensity);

  RectDuctResult result;
  result.EquivalentDiameterMm = diameterMm.Value();
  result.EquivalentVelocity = equivalentVelocity.Value();
  result.SectionVelocity = sectionVelocity.Value();
  result.Reynolds = air.Reynolds.Value();
  result.Friction = air.Friction.Value();
  result.EquivalentPressure = air.VelocityPressure.Value();
  result.LossTotal = air.LossTotal.Value();
  result.LossPerMetre = air.LossPerMetre.Value();
  result.SectionPressure = sectionPressure.Value();
  return result;
}

void RectDuctCalc(const SharedConstants& constants, std::string_view flowText,
                  std::string_view sideAText, std::string_view sideBText,
                  std::string_view lengthText, CellSink& grid) {
  const double flow = ReadNumber(flowText, 0);
  const double sideA = ReadNumber(sideAText, 0);
  const double sideB = ReadNumber(sideBText, 0);
  const double length = ReadNumber(lengthText, 0);

  if (flow == 0 || sideA == 0 || sideB == 0 || length == 0) {
    for (int column = 0; column < RectDuctColumns; ++column) {
      grid.SetCell(column, RectDuctValueRow, RectDuctMissingInput);
    }
    return;
  }
  const RectDuctResult r = ComputeRectDuct(constants, flow, sideA, sideB, length);
  grid.SetCell(0, RectDuctValueRow, FormatFixed(r.EquivalentDiameterMm, 0));
  grid.SetCell(1, RectDuctValueRow, FormatFixed(r.SectionVelocity, 2));
  grid.SetCell(2, RectDuctValueRow, FormatFixed(r.LossPerMetre, 1));
  grid.SetCell(3, RectDuctValueRow, FormatFixed(r.LossTotal, 1));
  grid.SetCell(4, RectDuctValueRow, FormatFixed(r.SectionPressure, 1));
}

} // namespace gustrule
