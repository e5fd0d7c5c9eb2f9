#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "CellGrid.h"

namespace gustrule {

// A grid that also records every write in order: its cell and its text. A write outside the
// grid throws std::out_of_range, as CellGrid does.
class RecordingSink : public CellSink {
public:
  struct Write {
    int column;
    int row;
    std::string text;
  };
  // CountOnly keeps the texts and the number of writes but no log, for benchmarks, where a log
  // would grow with every run and be measured too.
  enum class Record { Writes, CountOnly };

  // Every cell starts as `initial`; filling them is not recorded.
  RecordingSink(int columns, int rows, std::string_view initial = "",
                Record record = Record::Writes);

  void SetCell(int column, int row, std::string_view text) override;

  const CellGrid& Grid() const { return grid_; }
  const std::string& Cell(int column, int row) const { return grid_.Cell(column, row); }
  std::vector<std::string> Row(int row) const;
  const std::vector<Write>& Writes() const { return writes_; } // empty with CountOnly
  std::size_t WriteCount() const { return writeCount_; }

private:
  CellGrid grid_;
  Record record_;
  std::vector<Write> writes_;
  std::size_t writeCount_ = 0;
};

} // namespace gustrule
