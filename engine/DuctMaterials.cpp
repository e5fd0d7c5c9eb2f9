#include "DuctMaterials.h"

namespace gustrule {

const DuctMaterial* FindDuctMaterial(std::string_view word) {
  for (const DuctMaterial& material : DuctMaterials) {
    if (material.Word == word) {
      return &material;
    }
  }
  return nullptr;
}

} // namespace gustrule
