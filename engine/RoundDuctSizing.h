#pragma once

#include <optional>

#include "Constants.h"
#include "DuctMaterials.h"
#include "RoundDuct.h"

namespace gustrule {

// Upper limits for sizing a round duct; a limit left empty does not constrain.
struct RoundDuctLimits {
  std::optional<double> MaxVelocity;     // m/s
  std::optional<double> MaxLossPerMetre; // Pa/m
};

// Whether a computed row keeps within the limits: its stored velocity and its stored loss per
// metre (the doubles, not the texts shown) are each at most their limit. A value exactly at its
// limit passes; 5.004 m/s does not pass a limit of 5 m/s although it shows as "5.00".
bool MeetsLimits(const RoundDuctRow& row, const RoundDuctLimits& limits);

// The smallest size of the round-duct series that meets the limits, for a volume flow in l/s
// and a length in m, by the equal-friction method: the rows are computed exactly as the table
// computes them, in series order from 80 mm, and the first row that meets the limits is the
// answer; no row after it is computed. Nothing when no size up to 1500 mm meets them.
// Throws EZeroDivide, EInvalidOp or EOverflow when the arithmetic of a row before the answer (or
// of the answer) fails, as the table would: a zero flow divides by zero at 80 mm.
// The caller decides what limits make sense; a limit of zero or below is met by no row.
// Examples, spiral duct, length 1 m:
//   183.7 l/s, velocity at most 5 m/s                  -> 250 mm (3.74 m/s, 0.7 Pa/m)
//   183.7 l/s, loss at most 1 Pa/m                     -> 250 mm
//   183.7 l/s, loss at most 0.5 Pa/m                   -> 300 mm (2.60 m/s, 0.3 Pa/m)
//   500 l/s, velocity at most 5 and loss at most 1     -> 400 mm (3.98 m/s, 0.5 Pa/m)
//   183.7 l/s, velocity at most 0.05 m/s               -> nothing
std::optional<RoundDuctRow> SmallestRoundDuct(const SharedConstants& constants,
                                              double litresPerSecond, double length,
                                              const DuctMaterial& material,
                                              const RoundDuctLimits& limits);

} // namespace gustrule
