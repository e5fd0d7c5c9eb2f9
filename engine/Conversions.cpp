#include "Conversions.h"

#include "Extended.h"
#include "NumberText.h"

namespace gustrule {

namespace {

// x * Multiplier / Divisor, skipping the steps by 1: they are exact, so skipping them changes
// no result and saves the work.
double Convert(Real x, ConversionStep step) {
  Extended value = x;
  if (step.Multiplier != 1) {
    value = value * step.Multiplier;
  }
  if (step.Divisor != 1) {
    value = value / step.Divisor;
  }
  return Real(value).Value();
}

} // namespace

void Conversions::Calc(std::string_view valueText, std::string_view unitText, CellSink& grid) {
  const Real x = ReadNumber(valueText, 0);
  // A separate comparison with every unit, not a chain; as the texts differ at most one matches.
  for (const ConversionUnit& unit : ConversionTable) {
    if (unitText != unit.Text) {
      continue;
    }
    for (std::size_t column = 0; column < results_.size(); ++column) {
      results_[column] = Convert(x, unit.ToColumn[column]);
    }
  }
  int column = 0;
  for (const double result : results_) {
    grid.SetCell(column++, ConversionValueRow, FormatFixed(result, 2));
  }
}

} // namespace gustrule
