#pragma once

#include <array>
#include <string_view>

#include "CellGrid.h"
#include "Constants.h"
#include "DuctMaterials.h"

namespace gustrule {

// The nominal round duct sizes, mm, in table order (1422, not 1400, is the series' size).
inline constexpr std::array<int, 23> RoundDuctDiameters = {
    80,  100, 125, 150, 160, 200, 250,  300,  315,  355,  400, 450,
    500, 560, 630, 710, 800, 900, 1000, 1120, 1250, 1422, 1500};

inline constexpr int RoundDuctColumns = 13;
inline constexpr int RoundDuctRows = 25; // row 0 hidden, row 1 headings, rows 2..24 the sizes
inline constexpr int RoundDuctFirstValueRow = 2;

inline constexpr std::array<std::string_view, RoundDuctColumns> RoundDuctHeadings = {
    "Ø (mm)",      "Vel (m/s)",   "dP Pa/m",     "Total dP (Pa)", "Vel Press (Pa)",
    "90° R/D=0.5", "90° R/D=1",   "60° R/D=0.5", "60° R/D=1",     "45° R/D=0.5",
    "45° R/D=1",   "30° R/D=0.5", "30° R/D=1"};

// One row of the table; every quantity as it is stored, a double.
struct RoundDuctRow {
  double DiameterMm = 0;
  double Velocity = 0; // m/s
  double Reynolds = 0;
  double Friction = 0;           // Darcy friction factor
  double VelocityPressure = 0;   // Pa
  double LossTotal = 0;          // Pa over the length
  double LossPerMetre = 0;       // Pa/m, derived from the total
  std::array<double, 8> Bends{}; // Pa: 90°, 60°, 45°, 30°, each for R/D = 0.5 then R/D = 1
};

// The arithmetic of one row for a flow in m³/s, a length in m and a wall roughness in m.
// Throws EZeroDivide, EInvalidOp or EOverflow where the arithmetic fails.
// Example: flow 0.1837, length 1, spiral roughness, 80 mm gives Velocity 36.546..., Friction
// 0.02214..., VelocityPressure 804.04...
RoundDuctRow ComputeRoundDuctRow(const SharedConstants& constants, double flow, double length,
                                 double roughness, int diameterMm);

// A volume flow typed in l/s as the table computes with it: the value / 1000, stored as m³/s.
// Example: 183.7 gives 0.1837 (the double nearest to it). Never fails for a finite double.
double CubicMetresPerSecond(double litresPerSecond);

// Writes a computed row as the 13 texts of grid row `gridRow`, columns 0 to 12 in order: the
// diameter with 0 decimals, the velocity with 2, the loss per metre, the total loss, the velocity
// pressure and the eight bend losses with 1; for a material that shows no bend losses (flexible
// duct) the bend columns get the empty text. The one place a row becomes texts, for the table and
// for whatever picks a single row of it.
void WriteRoundDuctRow(const RoundDuctRow& row, const DuctMaterial& material, int gridRow,
                       CellSink& grid);

// Reads the volume flow (l/s) and length (m) texts with the fallback 0.0001, then computes and
// writes rows 2 to 24, columns 0 to 12 in order, with the material's wall roughness; for a
// material that shows no bend losses (flexible duct) the bend columns get the empty text. All
// arithmetic of a row comes before its first write, so a failure leaves earlier rows new and the
// failing row and those after it as they were. Row 1 is never written.
// Example: "183.7", "1", spiral writes row 2 as 80 36.55 222.5 222.5 804.0 578.9 176.9 451.5
// 138.0 347.3 106.1 260.5 79.6. "0" as the flow throws EZeroDivide before any write.
void RoundDuctCalc(const SharedConstants& constants, std::string_view volumeText,
                   std::string_view lengthText, const DuctMaterial& material, CellSink& grid);

} // namespace gustrule
