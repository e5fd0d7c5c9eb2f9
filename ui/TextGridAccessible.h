#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QList>
#include <QString>

#include <vector>

class TextGrid;

// What assistive technologies (screen readers through the desktop's accessibility bus) see of a
// TextGrid: a table whose rows are the grid rows below the heading row that have a height, in
// their present order, and whose columns are all the grid's columns. The heading row's cells are
// the column headers and the fixed columns' cells the row headers (they are also cells of their
// own column, so a size column still reads as a column). Rows above the heading row and rows of
// height 0 are not part of the table.
//
// Children: first one column header per column (when there is a heading row), then the cells row
// by row. A cell's name is its text ("36.55"). Its description names its row by the fixed
// columns, each as its heading and its text: "Ø (mm) 80". A screen reader speaks the column's
// header and the name of a cell itself, so the description adds only what it would leave out
// when the focus moves along a row; cells of the fixed columns and grids without them have none.
// Selected cells are the highlighted ones (TextGrid::IsHighlighted).
//
// Interfaces are made only when a client asks for them: the table when the grid is first looked
// at, a cell when it is first reached. Changes are announced only while a client listens
// (QAccessible::isActive()), and only for cells a client has already reached.
class TextGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
  explicit TextGridAccessible(TextGrid* grid);
  ~TextGridAccessible() override;
  TextGridAccessible(const TextGridAccessible&) = delete;
  TextGridAccessible& operator=(const TextGridAccessible&) = delete;

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override;
  int selectedCellCount() const override;
  QList<QAccessibleInterface*> selectedCells() const override;
  QString columnDescription(int column) const override;
  QString rowDescription(int row) const override;
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override;
  int columnCount() const override;
  int rowCount() const override;
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override;
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override;
  // Selects exactly that row, where the grid selects whole rows; false elsewhere.
  bool selectRow(int row) override;
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override {}

  // For the cells: the grid rows that are table rows, top to bottom; the table row of a grid row
  // (-1 if it is none); the interface of a cell, made on first use; the cell's description.
  std::vector<int> TableRows() const;
  int TableRow(int gridRow) const;
  QAccessibleInterface* Cell(int column, int gridRow) const;
  QString CellDescription(int column, int gridRow) const;

  // The grid's notifications, see TextGridAccessibility below.
  void CellChanged(int column, int gridRow);
  void RowMoved(int from, int to);
  void SelectionChanged();
  void FocusCurrentCell();

private:
  TextGrid* Grid() const;
  bool HasHeading() const;
  int HeaderCount() const;
  int ChildIndex(int column, int gridRow) const;
  std::size_t Slot(int column, int gridRow) const;
  QAccessibleInterface* ExistingCell(int column, int gridRow) const;
  void Notify(int column, int gridRow, QAccessible::Event type) const;
  std::vector<bool> Highlights() const;

  // One slot per grid cell, row by row: the registered interface's id, 0 until first asked for.
  mutable std::vector<QAccessible::Id> cells_;
  std::vector<bool> highlighted_; // as last announced
  int currentColumn_;
  int currentRow_;
};

// The grid calls these after its state changed. Each does nothing unless an assistive technology
// listens, so a grid that nobody reads pays one check per change.
namespace TextGridAccessibility {

// Registers the factory that gives every TextGrid a TextGridAccessible; once per process.
void InstallFactory();
// A cell's text changed: its name, and the descriptions that quote it.
void CellChanged(TextGrid& grid, int column, int row);
// Rows moved: the texts of the rows between the two positions changed.
void RowMoved(TextGrid& grid, int from, int to);
// The current cell or the selection changed: selection changes, and with the keyboard focus in
// the grid the new current cell takes the accessible focus.
void SelectionChanged(TextGrid& grid);
// The grid took the keyboard focus: just after Qt has announced the grid itself, its current
// cell, if it is one a user can see, takes the accessible focus.
void FocusEntered(TextGrid& grid);

} // namespace TextGridAccessibility
