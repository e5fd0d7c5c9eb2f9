// The tables the window's fixed layout shows, each with one row more, put to the layout's checks
// (ui/DuctLayout.h). Built with ONE_MORE_<TABLE> defined, the check of that table must stop the
// build; built with none defined, the longer tables are made but not checked, and the file
// compiles, so that a failure of the other builds can only come from the check.
#include <algorithm>
#include <array>
#include <cstddef>

#include "DuctLayout.h"

namespace {

template <typename Row, std::size_t Count>
constexpr std::array<Row, Count + 1> OneMore(const std::array<Row, Count>& table, const Row& row) {
  std::array<Row, Count + 1> longer{};
  std::copy(table.begin(), table.end(), longer.begin());
  longer.back() = row;
  return longer;
}

[[maybe_unused]] constexpr auto kMaterials =
    OneMore(gustrule::DuctMaterials, {"galvanised", "Galvanised", 0.00015, true});
[[maybe_unused]] constexpr auto kSizes = OneMore(gustrule::RoundDuctDiameters, 1600);
[[maybe_unused]] constexpr auto kRectHeadings =
    OneMore(gustrule::RectDuctHeadings, std::string_view("Re"));
// l/min: 1/60 l/s, 1/60000 m³/s, 1/1000 m³/min, 60/1000 m³/hr.
[[maybe_unused]] constexpr auto kUnits =
    OneMore(gustrule::ConversionTable, {"l/min", {{{1, 60}, {1, 60000}, {1, 1000}, {60, 1000}}}});

} // namespace

#if defined(ONE_MORE_MATERIAL)
static_assert(DuctLayout::HoldsDuctMaterials(kMaterials));
#elif defined(ONE_MORE_SIZE)
static_assert(DuctLayout::HoldsRoundDuctSizes(kSizes));
#elif defined(ONE_MORE_RECT_COLUMN)
static_assert(DuctLayout::HoldsRectDuctColumns(kRectHeadings));
#elif defined(ONE_MORE_UNIT)
static_assert(DuctLayout::HoldsConversionUnits(kUnits));
#endif
