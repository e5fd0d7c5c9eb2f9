#pragma once

#include <string>
#include <vector>

#include "CellGrid.h"
#include "Constants.h"

namespace gustrule {

// A grid that also records the order of every write.
class RecordingSink : public CellSink {
public:
  struct Write {
    int column;
    int row;
    std::string text;
  };

  RecordingSink(int columns, int rows, const std::string& initial = "") : grid_(columns, rows) {
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        grid_.SetCell(c, r, initial);
      }
    }
  }

  void SetCell(int column, int row, std::string_view text) override {
    grid_.SetCell(column, row, text);
    writes_.push_back({column, row, std::string(text)});
  }

  const std::string& Cell(int column, int row) const { return grid_.Cell(column, row); }
  std::vector<std::string> Row(int row) const {
    std::vector<std::string> cells;
    for (int c = 0; c < grid_.Columns(); ++c) {
      cells.push_back(grid_.Cell(c, row));
    }
    return cells;
  }
  const std::vector<Write>& Writes() const { return writes_; }

private:
  CellGrid grid_;
  std::vector<Write> writes_;
};

// The constants as the creation step sets them.
inline SharedConstants Standard() {
  SharedConstants constants;
  SetSharedConstants(constants);
  return constants;
}

} // namespace gustrule
