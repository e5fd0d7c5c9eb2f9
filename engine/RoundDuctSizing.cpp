#include "RoundDuctSizing.h"

namespace gustrule {

namespace {

bool Within(double value, const std::optional<double>& limit) {
  return !limit || value <= *limit;
}

} // namespace

bool MeetsLimits(const RoundDuctRow& row, const RoundDuctLimits& limits) {
  return Within(row.Velocity, limits.MaxVelocity) &&
         Within(row.LossPerMetre, limits.MaxLossPerMetre);
}

std::optional<RoundDuctRow> SmallestRoundDuct(const SharedConstants& constants,
                                              double litresPerSecond, double length,
                                              const DuctMaterial& material,
                                              const RoundDuctLimits& limits) {
  const double flow = CubicMetresPerSecond(litresPerSecond);
  for (const int diameterMm : RoundDuctDiameters) {
    const RoundDuctRow row =
        ComputeRoundDuctRow(constants, flow, length, material.Roughness, diameterMm);
    if (MeetsLimits(row, limits)) {
      return row;
    }
  }
  return std::nullopt;
}

} // namespace gustrule
