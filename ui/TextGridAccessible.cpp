#include "TextGridAccessible.h"

#include <QPointer>
#include <QScrollBar>
#include <QStringList>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <mutex>

#include "TextGrid.h"

namespace {

// One cell of the table, a column header or a row header. It holds no text of its own: every
// answer is read from the grid at the moment it is asked, so it is never stale.
class TextGridCellAccessible final : public QAccessibleInterface,
                                     public QAccessibleTableCellInterface {
public:
  TextGridCellAccessible(TextGrid* grid, int column, int gridRow)
      : grid_(grid), alive_(grid), column_(column), gridRow_(gridRow) {}

  bool IsColumnHeader() const { return gridRow_ == grid_->HeadingRow(); }
  const TextGrid* Grid() const { return grid_; }
  int GridColumn() const { return column_; }
  int GridRow() const { return gridRow_; }

  bool isValid() const override { return !alive_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return grid_->window()->windowHandle(); }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(grid_);
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }

  QString text(QAccessible::Text type) const override {
    switch (type) {
    case QAccessible::Name:
      return grid_->Cell(column_, gridRow_);
    case QAccessible::Description:
      return IsColumnHeader() ? QString() : Table()->CellDescription(column_, gridRow_);
    default:
      return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {} // the grid is read-only

  QRect rect() const override {
    const QRect area = grid_->CellRect(column_, gridRow_);
    return {grid_->viewport()->mapToGlobal(area.topLeft()), area.size()};
  }

  QAccessible::Role role() const override {
    if (IsColumnHeader()) {
      return QAccessible::ColumnHeader;
    }
    return column_ < grid_->FixedColumns() ? QAccessible::RowHeader : QAccessible::Cell;
  }

  QAccessible::State state() const override {
    QAccessible::State state;
    state.readOnly = true;
    state.disabled = !grid_->isEnabled();
    state.invisible = !grid_->isVisible();
    state.offscreen = !IsShown();
    const bool choosable = grid_->isEnabled() && grid_->focusPolicy() != Qt::NoFocus &&
                           column_ >= grid_->FixedColumns();
    state.focusable = choosable;
    state.selectable = choosable;
    state.focused =
        grid_->hasFocus() && grid_->CurrentRow() == gridRow_ && grid_->CurrentColumn() == column_;
    state.selected = grid_->IsHighlighted(column_, gridRow_);
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    // Column headers are not cells of the table, as in Qt's own tables.
    if (type == QAccessible::TableCellInterface && !IsColumnHeader()) {
      return static_cast<QAccessibleTableCellInterface*>(this);
    }
    return nullptr;
  }

  bool isSelected() const override { return grid_->IsHighlighted(column_, gridRow_); }
  QList<QAccessibleInterface*> columnHeaderCells() const override {
    const int heading = grid_->HeadingRow();
    if (heading < 0 || heading >= grid_->RowCount()) {
      return {};
    }
    return {Table()->Cell(column_, heading)};
  }
  // Every cell of the row names the fixed columns, theirs included, so that a client asking the
  // first cell of a row for its header finds the size column.
  QList<QAccessibleInterface*> rowHeaderCells() const override {
    QList<QAccessibleInterface*> headers;
    for (int column = 0; column < grid_->FixedColumns(); ++column) {
      headers.append(Table()->Cell(column, gridRow_));
    }
    return headers;
  }
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return Table()->TableRow(gridRow_); }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

private:
  TextGridAccessible* Table() const {
    return static_cast<TextGridAccessible*>(QAccessible::queryAccessibleInterface(grid_));
  }
  // Not scrolled out of view sideways, not a row without height, and inside the viewport.
  bool IsShown() const {
    const QRect area = grid_->CellRect(column_, gridRow_);
    const bool scrolledAway =
        column_ >= grid_->FixedColumns() &&
        column_ < grid_->FixedColumns() + grid_->horizontalScrollBar()->value();
    return !scrolledAway && !area.isEmpty() && grid_->viewport()->rect().intersects(area);
  }

  // The table deletes its cells when the grid goes, so grid_ is valid whenever a client can
  // reach the cell; alive_ is the check Qt makes before asking.
  TextGrid* grid_;
  QPointer<TextGrid> alive_;
  int column_;
  int gridRow_;
};

QAccessibleInterface* TextGridFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(TextGrid::staticMetaObject.className())) {
    if (auto* grid = qobject_cast<TextGrid*>(object)) {
      return new TextGridAccessible(grid);
    }
  }
  return nullptr;
}

void Send(QAccessibleInterface* interface, QAccessible::Event type) {
  QAccessibleEvent event(interface, type);
  QAccessible::updateAccessibility(&event);
}

// The grid's interface while a client listens; nullptr otherwise.
TextGridAccessible* Listening(TextGrid& grid) {
  if (!QAccessible::isActive()) {
    return nullptr;
  }
  return dynamic_cast<TextGridAccessible*>(QAccessible::queryAccessibleInterface(&grid));
}

} // namespace

TextGridAccessible::TextGridAccessible(TextGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Table),
      cells_(static_cast<std::size_t>(grid->RowCount()) *
                 static_cast<std::size_t>(grid->ColumnCount()),
             0),
      highlighted_(Highlights()), currentColumn_(grid->CurrentColumn()),
      currentRow_(grid->CurrentRow()) {}

TextGridAccessible::~TextGridAccessible() {
  for (const QAccessible::Id id : cells_) {
    if (id != 0) {
      QAccessible::deleteAccessibleInterface(id);
    }
  }
}

TextGrid* TextGridAccessible::Grid() const {
  return static_cast<TextGrid*>(widget());
}

bool TextGridAccessible::HasHeading() const {
  return Grid()->HeadingRow() >= 0 && Grid()->HeadingRow() < Grid()->RowCount();
}

int TextGridAccessible::HeaderCount() const {
  return HasHeading() ? Grid()->ColumnCount() : 0;
}

std::vector<int> TextGridAccessible::TableRows() const {
  std::vector<int> rows;
  for (int row = std::max(Grid()->HeadingRow() + 1, 0); row < Grid()->RowCount(); ++row) {
    if (Grid()->RowHeight(row) > 0) {
      rows.push_back(row);
    }
  }
  return rows;
}

int TextGridAccessible::TableRow(int gridRow) const {
  const std::vector<int> rows = TableRows();
  const auto found = std::find(rows.begin(), rows.end(), gridRow);
  return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

std::size_t TextGridAccessible::Slot(int column, int gridRow) const {
  return static_cast<std::size_t>(gridRow) * static_cast<std::size_t>(Grid()->ColumnCount()) +
         static_cast<std::size_t>(column);
}

QAccessibleInterface* TextGridAccessible::Cell(int column, int gridRow) const {
  if (column < 0 || column >= Grid()->ColumnCount() || gridRow < 0 ||
      gridRow >= Grid()->RowCount()) {
    return nullptr;
  }
  QAccessible::Id& id = cells_[Slot(column, gridRow)];
  if (id == 0) {
    id = QAccessible::registerAccessibleInterface(
        new TextGridCellAccessible(Grid(), column, gridRow));
  }
  return QAccessible::accessibleInterface(id);
}

QAccessibleInterface* TextGridAccessible::ExistingCell(int column, int gridRow) const {
  const QAccessible::Id id = cells_[Slot(column, gridRow)];
  return id == 0 ? nullptr : QAccessible::accessibleInterface(id);
}

int TextGridAccessible::ChildIndex(int column, int gridRow) const {
  if (column < 0 || column >= Grid()->ColumnCount()) {
    return -1;
  }
  if (HasHeading() && gridRow == Grid()->HeadingRow()) {
    return column;
  }
  const int row = TableRow(gridRow);
  return row < 0 ? -1 : HeaderCount() + row * Grid()->ColumnCount() + column;
}

QString TextGridAccessible::CellDescription(int column, int gridRow) const {
  if (column < Grid()->FixedColumns()) {
    return {};
  }
  QStringList labels;
  for (int fixed = 0; fixed < Grid()->FixedColumns(); ++fixed) {
    const QString heading = HasHeading() ? Grid()->Cell(fixed, Grid()->HeadingRow()) : QString();
    const QString text = Grid()->Cell(fixed, gridRow);
    labels.append(heading.isEmpty() || text.isEmpty() ? heading + text
                                                      : heading + QLatin1Char(' ') + text);
  }
  labels.removeAll(QString());
  return labels.join(QStringLiteral(", "));
}

int TextGridAccessible::childCount() const {
  return HeaderCount() + static_cast<int>(TableRows().size()) * Grid()->ColumnCount();
}

QAccessibleInterface* TextGridAccessible::child(int index) const {
  const int columns = Grid()->ColumnCount();
  if (index < 0 || columns == 0) {
    return nullptr;
  }
  if (index < HeaderCount()) {
    return Cell(index, Grid()->HeadingRow());
  }
  const int cell = index - HeaderCount();
  const std::vector<int> rows = TableRows();
  const auto row = static_cast<std::size_t>(cell / columns);
  return row < rows.size() ? Cell(cell % columns, rows[row]) : nullptr;
}

int TextGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* cell = dynamic_cast<const TextGridCellAccessible*>(child);
  if (cell == nullptr || cell->Grid() != Grid()) {
    return -1;
  }
  return ChildIndex(cell->GridColumn(), cell->GridRow());
}

QAccessibleInterface* TextGridAccessible::childAt(int x, int y) const {
  const QPoint at = Grid()->viewport()->mapFromGlobal(QPoint(x, y));
  if (!Grid()->viewport()->rect().contains(at)) {
    return nullptr;
  }
  const int column = Grid()->ColumnAt(at.x());
  const int row = Grid()->RowAt(at.y());
  return ChildIndex(column, row) < 0 ? nullptr : Cell(column, row);
}

QAccessibleInterface* TextGridAccessible::focusChild() const {
  if (!Grid()->hasFocus() || ChildIndex(Grid()->CurrentColumn(), Grid()->CurrentRow()) < 0) {
    return nullptr;
  }
  return Cell(Grid()->CurrentColumn(), Grid()->CurrentRow());
}

void* TextGridAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableInterface) {
    return static_cast<QAccessibleTableInterface*>(this);
  }
  return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* TextGridAccessible::cellAt(int row, int column) const {
  const std::vector<int> rows = TableRows();
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
    return nullptr;
  }
  return Cell(column, rows[static_cast<std::size_t>(row)]);
}

QList<QAccessibleInterface*> TextGridAccessible::selectedCells() const {
  QList<QAccessibleInterface*> cells;
  for (const int row : TableRows()) {
    for (int column = 0; column < Grid()->ColumnCount(); ++column) {
      if (Grid()->IsHighlighted(column, row)) {
        cells.append(Cell(column, row));
      }
    }
  }
  return cells;
}

int TextGridAccessible::selectedCellCount() const {
  int count = 0;
  for (const int row : TableRows()) {
    for (int column = 0; column < Grid()->ColumnCount(); ++column) {
      count += Grid()->IsHighlighted(column, row) ? 1 : 0;
    }
  }
  return count;
}

QString TextGridAccessible::columnDescription(int column) const {
  return HasHeading() ? Grid()->Cell(column, Grid()->HeadingRow()) : QString();
}

QString TextGridAccessible::rowDescription(int row) const {
  const std::vector<int> rows = TableRows();
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
    return {};
  }
  QStringList headers;
  for (int fixed = 0; fixed < Grid()->FixedColumns(); ++fixed) {
    headers.append(Grid()->Cell(fixed, rows[static_cast<std::size_t>(row)]));
  }
  return headers.join(QStringLiteral(", "));
}

int TextGridAccessible::columnCount() const {
  return Grid()->ColumnCount();
}

int TextGridAccessible::rowCount() const {
  return static_cast<int>(TableRows().size());
}

QList<int> TextGridAccessible::selectedRows() const {
  QList<int> selected;
  if (!Grid()->RowSelect()) {
    return selected;
  }
  const std::vector<int> rows = TableRows();
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (Grid()->IsRowSelected(rows[row])) {
      selected.append(static_cast<int>(row));
    }
  }
  return selected;
}

int TextGridAccessible::selectedRowCount() const {
  return static_cast<int>(selectedRows().size());
}

bool TextGridAccessible::isRowSelected(int row) const {
  return selectedRows().contains(row);
}

bool TextGridAccessible::selectRow(int row) {
  const std::vector<int> rows = TableRows();
  if (!Grid()->RowSelect() || row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
    return false;
  }
  const int gridRow = rows[static_cast<std::size_t>(row)];
  Grid()->SelectRows(gridRow, gridRow);
  return true;
}

void TextGridAccessible::Notify(int column, int gridRow, QAccessible::Event type) const {
  if (QAccessibleInterface* cell = ExistingCell(column, gridRow)) {
    Send(cell, type);
  }
}

void TextGridAccessible::CellChanged(int column, int gridRow) {
  Notify(column, gridRow, QAccessible::NameChanged);
  if (column >= Grid()->FixedColumns()) {
    return; // no description quotes it
  }
  // The cells after the fixed columns quote them: those of the row, or for a heading every row.
  const bool heading = HasHeading() && gridRow == Grid()->HeadingRow();
  for (const int row : heading ? TableRows() : std::vector<int>{gridRow}) {
    for (int other = Grid()->FixedColumns(); other < Grid()->ColumnCount(); ++other) {
      Notify(other, row, QAccessible::DescriptionChanged);
    }
  }
}

void TextGridAccessible::RowMoved(int from, int to) {
  // Only the rows between the two positions hold new texts; the heading row never moves.
  for (int row = std::min(from, to); row <= std::max(from, to); ++row) {
    for (int column = 0; column < Grid()->ColumnCount(); ++column) {
      Notify(column, row, QAccessible::NameChanged);
      if (column >= Grid()->FixedColumns()) {
        Notify(column, row, QAccessible::DescriptionChanged);
      }
    }
  }
}

std::vector<bool> TextGridAccessible::Highlights() const {
  std::vector<bool> highlights;
  highlights.reserve(static_cast<std::size_t>(Grid()->RowCount()) *
                     static_cast<std::size_t>(Grid()->ColumnCount()));
  for (int row = 0; row < Grid()->RowCount(); ++row) {
    for (int column = 0; column < Grid()->ColumnCount(); ++column) {
      highlights.push_back(Grid()->IsHighlighted(column, row));
    }
  }
  return highlights;
}

void TextGridAccessible::SelectionChanged() {
  const std::vector<bool> now = Highlights();
  for (int row = 0; row < Grid()->RowCount(); ++row) {
    for (int column = 0; column < Grid()->ColumnCount(); ++column) {
      const std::size_t slot = Slot(column, row);
      if (now[slot] != highlighted_[slot]) {
        Notify(column, row, now[slot] ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
      }
    }
  }
  highlighted_ = now;

  const bool moved =
      Grid()->CurrentColumn() != currentColumn_ || Grid()->CurrentRow() != currentRow_;
  currentColumn_ = Grid()->CurrentColumn();
  currentRow_ = Grid()->CurrentRow();
  if (moved && Grid()->hasFocus()) {
    FocusCurrentCell();
  }
}

void TextGridAccessible::FocusCurrentCell() {
  const int index = ChildIndex(Grid()->CurrentColumn(), Grid()->CurrentRow());
  if (index < 0) {
    return; // a row nobody can see, as at the start
  }
  QAccessibleEvent event(Grid(), QAccessible::Focus);
  event.setChild(index);
  QAccessible::updateAccessibility(&event);
}

namespace TextGridAccessibility {

void InstallFactory() {
  static std::once_flag installed;
  std::call_once(installed, [] { QAccessible::installFactory(TextGridFactory); });
}

void CellChanged(TextGrid& grid, int column, int row) {
  if (TextGridAccessible* table = Listening(grid)) {
    table->CellChanged(column, row);
  }
}

void RowMoved(TextGrid& grid, int from, int to) {
  if (TextGridAccessible* table = Listening(grid)) {
    table->RowMoved(from, to);
  }
}

void SelectionChanged(TextGrid& grid) {
  if (TextGridAccessible* table = Listening(grid)) {
    table->SelectionChanged();
  }
}

void FocusEntered(TextGrid& grid) {
  if (Listening(grid) == nullptr) {
    return;
  }
  // Qt gives the grid itself the accessible focus once the focus-in event is handled; the
  // current cell takes it over just after that.
  QMetaObject::invokeMethod(
      &grid,
      [&grid] {
        TextGridAccessible* table = Listening(grid);
        if (table != nullptr && grid.hasFocus()) {
          table->FocusCurrentCell();
        }
      },
      Qt::QueuedConnection);
}

} // namespace TextGridAccessibility
