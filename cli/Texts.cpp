#include "Texts.h"

#include "Conversions.h"
#include "DuctMaterials.h"

namespace gustrule::cli {

namespace {

// The words of a table, `between` each two and `beforeLast` before the last.
template <typename Table, typename WordOf>
std::string Words(const Table& table, WordOf word, std::string_view between,
                  std::string_view beforeLast) {
  std::string words;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (i > 0) {
      words += i + 1 == table.size() ? beforeLast : between;
    }
    words += word(table[i]);
  }
  return words;
}

} // namespace

std::string MaterialWords(std::string_view between, std::string_view beforeLast) {
  return Words(
      DuctMaterials, [](const DuctMaterial& material) { return material.Word; }, between,
      beforeLast);
}

std::string UnitWords(std::string_view between, std::string_view beforeLast) {
  return Words(
      ConversionUnits, [](std::string_view unit) { return unit; }, between, beforeLast);
}

} // namespace gustrule::cli
