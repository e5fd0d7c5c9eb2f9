#pragma once

#include "Extended.h"

namespace gustrule {

// Darcy friction factor by the explicit formula of Swamee and Jain, written with the natural
// logarithm: f = 1.325 / [ln(5.74 / Re^0.9 + roughness / (3.7 D))]². The one formula serves every
// Reynolds number (no laminar branch). Re = 0 divides 5.74 by zero (EZeroDivide); a negative Re
// has no real power 0.9 (EInvalidOp).
inline Extended FrictionFactor(Real reynolds, Extended roughness, Real diameter) {
  return 1.325L / RaisePower(Ln(5.74L / RaisePower(reynolds, 0.9L) + roughness / (3.7L * diameter)), 2);
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

} // namespace gustrule
