#pragma once

// PLACEHOLDER until the engine branch lands.
#include <array>
#include <string_view>

#include "Constants.h"

namespace gustrule {

struct DuctMaterial {
  std::string_view Word;
  std::string_view Caption;
  double Roughness;
  bool ShowsBendLosses;
};

inline constexpr std::array<DuctMaterial, 2> DuctMaterials = {{
    {"spiral", "Spiral", RoughnessSpiral, true},
    {"flexible", "Flexible", RoughnessFlexible, false},
}};

} // namespace gustrule
