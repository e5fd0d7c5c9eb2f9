#pragma once

#include <array>
#include <string_view>

#include "Constants.h"

namespace gustrule {

// One kind of round duct the table is computed for. A new material is one more entry below: the
// round-duct calculation, the window's duct type choice and the command line all take it from
// there.
struct DuctMaterial {
  std::string_view Word;    // how the command line names it
  std::string_view Caption; // the text of its choice in the window
  double Roughness;         // absolute roughness of the duct wall, m
  bool ShowsBendLosses;     // whether the bend columns get values (otherwise the empty text)
};

// In the order the window lists them; the first is the one chosen at start.
inline constexpr std::array<DuctMaterial, 2> DuctMaterials = {{
    {"spiral", "Spiral", RoughnessSpiral, true},
    {"flexible", "Flexible", RoughnessFlexible, false},
}};

// The material whose Word equals `word`, or nullptr.
const DuctMaterial* FindDuctMaterial(std::string_view word);

} // namespace gustrule
