#pragma once

namespace gustrule {

// The physical constants the duct calculations share. They start at zero and are set once by
// the creation step of whoever runs the calculations (the window, the command line), before the
// first calculation; SetSharedConstants does that.
struct SharedConstants {
  double AirDensity = 0;   // kg/m³
  double AirViscosity = 0; // dynamic viscosity, Pa·s
  double PiValue = 0;      // pi to six decimals, as the duct tables were made with it
};

// Air at about 20 °C and sea level; pi deliberately to six decimals only.
inline void SetSharedConstants(SharedConstants& constants) {
  constants.AirDensity = 1.204;
  constants.AirViscosity = 0.0000179;
  constants.PiValue = 3.141593;
}

// Absolute roughness of the duct wall, m.
constexpr double RoughnessSpiral = 0.0001;
constexpr double RoughnessFlexible = 0.003; // flexible duct, fully extended

} // namespace gustrule
