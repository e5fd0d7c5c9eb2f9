#include "Conversions.h"

#include "Extended.h"
#include "NumberText.h"

namespace gustrule {

void Conversions::Calc(std::string_view valueText, std::string_view unitText, CellSink& grid) {
  const Real x = ReadNumber(valueText, 0);
  auto& r = results_;
  // Four separate comparisons, as the texts differ at most one matches. Where a multiplication
  // and a division stand together the multiplication comes first.
  if (unitText == ConversionUnits[0]) { // l/s
    r[0] = x.Value();
    r[1] = Real(x / 1000).Value();
    r[2] = Real(x * 60 / 1000).Value();
    r[3] = Real(x * 3600 / 1000).Value();
  }
  if (unitText == ConversionUnits[1]) { // m³/s
    r[0] = Real(x * 1000).Value();
    r[1] = x.Value();
    r[2] = Real(x * 60).Value();
    r[3] = Real(x * 3600).Value();
  }
  if (unitText == ConversionUnits[2]) { // m³/min
    r[0] = Real(x * 1000 / 60).Value();
    r[1] = Real(x / 60).Value();
    r[2] = x.Value();
    r[3] = Real(x * 60).Value();
  }
  if (unitText == ConversionUnits[3]) { // m³/hr
    r[0] = Real(x * 1000 / 3600).Value();
    r[1] = Real(x / 3600).Value();
    r[2] = Real(x / 60).Value();
    r[3] = x.Value();
  }
  for (int column = 0; column < ConversionColumns; ++column) {
    grid.SetCell(column, ConversionValueRow, FormatFixed(r[static_cast<std::size_t>(column)], 2));
  }
}

} // namespace gustrule
