#include "Conversions.h"

#include "Extended.h"
#include "NumberText.h"

namespace gustrule {

void Conversions::Calc(std::string_view valueText, std::string_view unitText, CellSink& grid) {
  const Real x = ReadNumber(valueText, 0);
  // A separate comparison with every unit, not a chain; as the texts differ at most one matches.
  for (const ConversionUnit& unit : ConversionTable) {
    if (unitText != unit.Text) {
      continue;
    }
    for (std::size_t column = 0; column < results_.size(); ++column) {
      const ConversionStep& step = unit.ToColumn[column];
      results_[column] = Real(x * step.Multiplier / step.Divisor).Value();
    }
  }
  int column = 0;
  for (const double result : results_) {
    grid.SetCell(column++, ConversionValueRow, FormatFixed(result, 2));
  }
}

} // namespace gustrule
