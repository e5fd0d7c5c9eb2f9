#pragma once

#include "Constants.h"
#include "Extended.h"

namespace gustrule {

// Darcy friction factor by the explicit formula of Swamee and Jain, written with the natural
// logarithm: f = 1.325 / [ln(5.74 / Re^0.9 + roughness / (3.7 D))]². The one formula serves every
// Reynolds number (no laminar branch). Re = 0 divides 5.74 by zero (EZeroDivide); a negative Re
// has no real power 0.9 (EInvalidOp).
inline Extended FrictionFactor(Real reynolds, Extended roughness, Real diameter) {
  return 1.325L /
         RaisePower(Ln(5.74L / RaisePower(reynolds, 0.9L) + roughness / (3.7L * diameter)), 2);
}

// Mean velocity of `flow` (m³/s) through a round duct of `diameter` (m), with the area taken as
// D² * pi / 4.
inline Extended RoundVelocity(Real flow, Real diameter, Real pi) {
  return flow / (RaisePower(diameter, 2) * pi / 4);
}

// Velocity pressure v² * (ρ / 2), Pa.
inline Extended VelocityPressure(Real velocity, Real density) {
  return RaisePower(velocity, 2) * (0.5L * density);
}

// Air moving at a mean velocity through a round duct, each quantity stored as it is computed.
struct RoundDuctFlow {
  Real Reynolds;
  Real Friction;         // Darcy friction factor
  Real VelocityPressure; // Pa
  Real LossTotal;        // Pa over the length (Darcy-Weisbach)
  Real LossPerMetre;     // Pa/m, derived from the total
};

// Air at `velocity` m/s through `length` m of round duct of `diameter` m with wall `roughness` m.
inline RoundDuctFlow FlowThroughRoundDuct(const SharedConstants& constants, Real velocity,
                                          Real diameter, Real length, Extended roughness) {
  const Real density = constants.AirDensity;
  RoundDuctFlow f;
  f.Reynolds = density * velocity * diameter / Real(constants.AirViscosity);
  f.Friction = FrictionFactor(f.Reynolds, roughness, diameter);
  f.VelocityPressure = VelocityPressure(velocity, density);
  f.LossTotal = length / diameter * f.Friction * f.VelocityPressure;
  f.LossPerMetre = f.LossTotal / length;
  return f;
}

} // namespace gustrule
