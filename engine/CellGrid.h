#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gustrule {

// Where a calculation writes its results: one text per cell, addressed by column and row
// (both from 0). The window's grids, the command-line table and the tests all implement it, so
// every one of them sees the same texts in the same order of writes.
class CellSink {
public:
  virtual ~CellSink() = default;
  virtual void SetCell(int column, int row, std::string_view text) = 0;

protected:
  CellSink() = default;
  CellSink(const CellSink&) = default;
  CellSink& operator=(const CellSink&) = default;
};

// A plain grid of texts, all empty at first, that also knows which rows have been written (the
// command line prints those). Cells and rows outside the grid throw std::out_of_range.
class CellGrid : public CellSink {
public:
  CellGrid(int columns, int rows);

  void SetCell(int column, int row, std::string_view text) override;
  const std::string& Cell(int column, int row) const;
  // Whether any cell of `row` has been set since the grid was made.
  bool RowWritten(int row) const;
  int Columns() const { return columns_; }
  int Rows() const { return rows_; }

private:
  std::size_t Index(int column, int row) const;

  int columns_;
  int rows_;
  std::vector<std::string> cells_;
  std::vector<bool> rowsWritten_;
};

// Writes `headings` into row 1, column 0 first.
template <typename Headings> void WriteHeadings(CellSink& sink, const Headings& headings) {
  int column = 0;
  for (std::string_view heading : headings) {
    sink.SetCell(column++, 1, heading);
  }
}

} // namespace gustrule
