#include "CellGrid.h"

#include <stdexcept>

namespace gustrule {

CellGrid::CellGrid(int columns, int rows)
    : columns_(columns), rows_(rows),
      cells_(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows)),
      rowsWritten_(static_cast<std::size_t>(rows)) {}

std::size_t CellGrid::Index(int column, int row) const {
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) {
    throw std::out_of_range("cell outside the grid");
  }
  return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
         static_cast<std::size_t>(column);
}

void CellGrid::SetCell(int column, int row, std::string_view text) {
  cells_[Index(column, row)] = text;
  rowsWritten_[static_cast<std::size_t>(row)] = true;
}

const std::string& CellGrid::Cell(int column, int row) const {
  return cells_[Index(column, row)];
}

bool CellGrid::RowWritten(int row) const {
  if (row < 0 || row >= rows_) {
    throw std::out_of_range("row outside the grid");
  }
  return rowsWritten_[static_cast<std::size_t>(row)];
}

} // namespace gustrule
