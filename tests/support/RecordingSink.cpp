#include "RecordingSink.h"

namespace gustrule {

RecordingSink::RecordingSink(int columns, int rows, std::string_view initial, Record record)
    : grid_(columns, rows), record_(record) {
  if (!initial.empty()) {
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        grid_.SetCell(c, r, initial);
      }
    }
  }
}

void RecordingSink::SetCell(int column, int row, std::string_view text) {
  grid_.SetCell(column, row, text);
  ++writeCount_;
  if (record_ == Record::Writes) {
    writes_.push_back({column, row, std::string(text)});
  }
}

std::vector<std::string> RecordingSink::Row(int row) const {
  std::vector<std::string> cells;
  for (int c = 0; c < grid_.Columns(); ++c) {
    cells.push_back(grid_.Cell(c, row));
  }
  return cells;
}

} // namespace gustrule
