#pragma once

#include <QString>

#include <string_view>

#include "CellGrid.h"
#include "TextGrid.h"

// Lets a calculation write its cells into a window grid: the engine's texts are UTF-8, the
// grid's are QStrings. Throws std::out_of_range for a cell outside the grid, as CellGrid does.
class GridSink final : public gustrule::CellSink {
public:
  explicit GridSink(TextGrid& grid) : grid_(grid) {}

  void SetCell(int column, int row, std::string_view text) override {
    grid_.SetCell(column, row, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  }

private:
  TextGrid& grid_;
};
