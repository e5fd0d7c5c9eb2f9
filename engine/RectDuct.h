#pragma once

#include <array>
#include <string_view>

#include "CellGrid.h"
#include "Constants.h"

namespace gustrule {

inline constexpr int RectDuctColumns = 5;
inline constexpr int RectDuctRows = 3; // row 0 hidden, row 1 headings, row 2 the result
inline constexpr int RectDuctValueRow = 2;

inline constexpr std::array<std::string_view, RectDuctColumns> RectDuctHeadings = {
    "Eqiv Ø (mm)", "Vel (m/s)", "dP Pa/m", "Total dP (Pa)", "Vel Press (Pa)"};

// Shown in every value cell while an input is zero or unreadable.
inline constexpr std::string_view RectDuctMissingInput = "?...";

// The quantities of one rectangular duct, each as it is stored.
struct RectDuctResult {
  double EquivalentDiameterMm = 0;
  double EquivalentVelocity = 0; // m/s in the round duct of the equivalent diameter
  double SectionVelocity = 0;    // m/s in the rectangular section itself
  double Reynolds = 0;
  double Friction = 0;
  double EquivalentPressure = 0; // Pa, velocity pressure in the equivalent duct
  double LossTotal = 0;          // Pa over the length
  double LossPerMetre = 0;       // Pa/m
  double SectionPressure = 0;    // Pa, velocity pressure in the section
};

// The arithmetic for a flow in l/s, sides in mm and a length in m, all non-zero.
// Friction comes from the equivalent round duct (D = 1.265 ((A B)³ / (A + B))^0.2); the
// velocity and velocity pressure shown are those of the rectangular section.
// Throws EZeroDivide (A + B = 0), EInvalidOp (a negative quotient or flow under a power) or
// EOverflow. Example: 183.7, 212, 212, 1 gives EquivalentDiameterMm 233.46...,
// SectionVelocity 4.087..., LossPerMetre 1.0...
RectDuctResult ComputeRectDuct(const SharedConstants& constants, double flow, double sideA,
                               double sideB, double length);

// Reads the flow, both sides and the length with the fallback 0. When any of them is zero
// (either sign) writes "?..." into the five cells of row 2; otherwise computes everything, then
// writes row 2, columns 0 to 4. A failure writes nothing. Row 1 is never written.
// Example: "1000", "600", "300", "5" writes 462 5.56 0.8 4.0 18.6.
void RectDuctCalc(const SharedConstants& constants, std::string_view flowText,
                  std::string_view sideAText, std::string_view sideBText,
                  std::string_view lengthText, CellSink& grid);

} // namespace gustrule
