#pragma once

#include <array>

// The reference table of the Recommended Velocities page: recommended and maximum air velocities
// in ducts, in m/s, written exactly as the picture shows them. The drawing tool draws the picture
// from these tables, and the window and the web page read the same tables out to screen readers,
// so the picture and its text cannot disagree. Plain C++ without Qt, for the web page's build.
namespace Velocities {

// Columns: residences, theaters & libraries, offices, industrial.
struct VelocityTable {
  const char* Title;
  std::array<std::array<const char*, 4>, 4> Values; // rows in the order of ValueRow below
};

constexpr std::array<VelocityTable, 2> Tables = {{
    {"Recommended Velocities (m/s)",
     {{
         {"3.6", "5", "11.2", "15.2"},  // main duct, rectangular
         {"4.6", "6", "12.2", "20.2"},  // main duct, round
         {"2.6", "2.6", "8.2", "12.8"}, // branch duct, rectangular
         {"3", "3", "10.2", "15.2"},    // branch duct, round
     }}},
    {"Maximum Velocities (m/s)",
     {{
         {"4", "9", "12.8", "17.8"},
         {"6", "10.6", "16.2", "32"},
         {"3.6", "4", "10.2", "15.2"},
         {"5", "5", "12.6", "20.2"},
     }}},
}};

// "\n" marks where the picture breaks a heading onto a second line.
constexpr std::array<const char*, 4> Headings = {"Residences", "Theaters &\nLibraries", "Offices",
                                                 "Industrial"};

// The six rows under the headings; a group row has no values and no ValueRow.
struct RowLabel {
  const char* Text;
  int ValueRow;
};
constexpr int GroupRow = -1;
constexpr std::array<RowLabel, 6> Rows = {{
    {"Main Duct", GroupRow},
    {"Rectangular", 0},
    {"Round", 1},
    {"Branch Duct", GroupRow},
    {"Rectangular", 2},
    {"Round", 3},
}};

} // namespace Velocities
