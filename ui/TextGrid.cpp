#include "TextGrid.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <qdrawutil.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "TextGridAccessible.h"

namespace {

constexpr int kTextInset = 2;      // px from the cell's left and top edges to its text
constexpr int kDropLine = 2;       // px of the line that shows where a dragged row will land
constexpr int kDefaultWidth = 64;  // px
constexpr int kDefaultHeight = 16; // px

} // namespace

TextGrid::TextGrid(int columns, int rows, QWidget* parent)
    : QAbstractScrollArea(parent),
      rows_(Index(std::max(rows, 0)),
            Row{kDefaultHeight, std::vector<QString>(Index(std::max(columns, 0)))}),
      columnWidths_(Index(std::max(columns, 0)), kDefaultWidth) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setLineWidth(FrameWidth); // drawn as a classic two-line bevel
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
  // paintEvent covers every viewport pixel itself, so the disabled palette is never used.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  horizontalScrollBar()->setSingleStep(1);
  UpdateRowTops();
  UpdateColumnLefts();
  TextGridAccessibility::InstallFactory();
}

void TextGrid::SetColumnWidth(int column, int px) {
  if (column < 0 || column >= ColumnCount()) {
    return;
  }
  columnWidths_[Index(column)] = std::max(px, 0);
  UpdateColumnLefts();
}

void TextGrid::SetRowHeight(int row, int px) {
  if (row < 0 || row >= RowCount()) {
    return;
  }
  rows_[Index(row)].height = std::max(px, 0);
  UpdateRowTops();
}

int TextGrid::ColumnWidth(int column) const {
  return column >= 0 && column < ColumnCount() ? columnWidths_[Index(column)] : 0;
}

int TextGrid::RowHeight(int row) const {
  return row >= 0 && row < RowCount() ? rows_[Index(row)].height : 0;
}

void TextGrid::SetFixedColumns(int count) {
  fixedColumns_ = std::clamp(count, 0, ColumnCount());
  currentColumn_ = std::min(std::max(currentColumn_, fixedColumns_), ColumnCount() - 1);
  UpdateColumnLefts();
}

void TextGrid::SetFixedColor(const QColor& color) {
  fixedColor_ = color;
  viewport()->update();
}

void TextGrid::SetRowSelect(bool on) {
  rowSelect_ = on;
  anchorRow_ = currentRow_;
  SelectAnchorToCurrent();
}

void TextGrid::SetRowMoving(bool on) {
  rowMoving_ = on;
}

void TextGrid::SetCopyEnabled(bool on) {
  copyEnabled_ = on;
}

void TextGrid::SetHeadingRow(int row) {
  headingRow_ = row;
}

void TextGrid::SetCell(int column, int row, QString text) {
  if (column < 0 || column >= ColumnCount() || row < 0 || row >= RowCount()) {
    throw std::out_of_range("cell outside the grid");
  }
  QString& cell = rows_[Index(row)].cells[Index(column)];
  if (cell == text) {
    return;
  }
  cell = std::move(text);
  const QRect area = CellRect(column, row);
  if (!area.isEmpty() && (column < fixedColumns_ || area.left() >= FixedWidth())) {
    viewport()->update(area);
  }
  TextGridAccessibility::CellChanged(*this, column, row);
  emit CellTextChanged(column, row);
}

QString TextGrid::Cell(int column, int row) const {
  if (column < 0 || column >= ColumnCount() || row < 0 || row >= RowCount()) {
    return {};
  }
  return rows_[Index(row)].cells[Index(column)];
}

void TextGrid::MoveRow(int from, int to) {
  if (from < 0 || to < 0 || from >= RowCount() || to >= RowCount() || from == to ||
      IsPinned(from) || IsPinned(to)) {
    return;
  }
  const auto first = rows_.begin();
  if (from < to) {
    std::rotate(first + from, first + from + 1, first + to + 1);
  } else {
    std::rotate(first + to, first + from, first + from + 1);
  }
  // The selected flags travel with their rows; the current and anchor positions follow theirs.
  const auto moved = [from, to](int row) {
    if (row == from) {
      return to;
    }
    if (from < to && row > from && row <= to) {
      return row - 1;
    }
    if (to < from && row >= to && row < from) {
      return row + 1;
    }
    return row;
  };
  currentRow_ = moved(currentRow_);
  anchorRow_ = moved(anchorRow_);
  UpdateRowTops();
  TextGridAccessibility::RowMoved(*this, from, to);
  TextGridAccessibility::SelectionChanged(*this);
  emit RowMoved(from, to);
}

bool TextGrid::IsRowSelected(int row) const {
  if (row < 0 || row >= RowCount()) {
    return false;
  }
  return rowSelect_ ? rows_[Index(row)].selected : row == currentRow_;
}

QList<int> TextGrid::SelectedRows() const {
  QList<int> selected;
  for (int row = 0; row < RowCount(); ++row) {
    if (IsRowSelected(row)) {
      selected.append(row);
    }
  }
  return selected;
}

int TextGrid::SelectionTop() const {
  const QList<int> selected = SelectedRows();
  return selected.isEmpty() ? -1 : selected.front();
}

int TextGrid::SelectionBottom() const {
  const QList<int> selected = SelectedRows();
  return selected.isEmpty() ? -1 : selected.back();
}

void TextGrid::SelectRows(int top, int bottom) {
  if (RowCount() == 0) {
    return;
  }
  anchorRow_ = std::clamp(std::min(top, bottom), 0, RowCount() - 1);
  currentRow_ = std::clamp(std::max(top, bottom), 0, RowCount() - 1);
  SelectAnchorToCurrent();
}

TextGrid::KeepSelection::KeepSelection(TextGrid& grid, int keyColumn)
    : grid_(grid), keyColumn_(keyColumn), current_(grid.Cell(keyColumn, grid.currentRow_)),
      anchor_(grid.Cell(keyColumn, grid.anchorRow_)) {
  for (const int row : grid.SelectedRows()) {
    selected_.append(grid.Cell(keyColumn, row));
  }
}

TextGrid::KeepSelection::~KeepSelection() {
  QStringList unplaced = selected_;
  bool currentPlaced = false;
  bool anchorPlaced = false;
  for (int row = 0; row < grid_.RowCount(); ++row) {
    const QString key = grid_.Cell(keyColumn_, row);
    grid_.rows_[Index(row)].selected = unplaced.removeOne(key);
    if (!currentPlaced && key == current_) {
      grid_.currentRow_ = row;
      currentPlaced = true;
    }
    if (!anchorPlaced && key == anchor_) {
      grid_.anchorRow_ = row;
      anchorPlaced = true;
    }
  }
  grid_.viewport()->update();
  TextGridAccessibility::SelectionChanged(grid_);
}

QString TextGrid::RowsAsTabSeparatedText(int headingRow) const {
  QString text;
  const auto appendRow = [&](int row) {
    const std::vector<QString>& cells = rows_[Index(row)].cells;
    for (std::size_t column = 0; column < cells.size(); ++column) {
      if (column > 0) {
        text += QLatin1Char('\t');
      }
      text += cells[column];
    }
    text += QLatin1Char('\n');
  };
  if (headingRow >= 0 && headingRow < RowCount()) {
    appendRow(headingRow);
  }
  const int firstBelow = std::max(headingRow + 1, 0);
  const QList<int> selected = SelectedRows();
  const bool anyBelow = rowSelect_ && !selected.isEmpty() && selected.back() >= firstBelow;
  for (int row = firstBelow; row < RowCount(); ++row) {
    if (!anyBelow || IsRowSelected(row)) {
      appendRow(row);
    }
  }
  return text;
}

int TextGrid::ColumnAt(int x) const {
  if (x < 0) {
    return -1;
  }
  const int content = x < FixedWidth() ? x : x + ScrollOffset();
  const auto next = std::upper_bound(columnLefts_.begin(), columnLefts_.end(), content);
  const int column = static_cast<int>(next - columnLefts_.begin()) - 1;
  return column < ColumnCount() ? column : -1;
}

int TextGrid::RowAt(int y) const {
  if (y < 0) {
    return -1;
  }
  const auto next = std::upper_bound(rowTops_.begin(), rowTops_.end(), y);
  const int row = static_cast<int>(next - rowTops_.begin()) - 1;
  return row < RowCount() ? row : -1;
}

QRect TextGrid::CellRect(int column, int row) const {
  if (column < 0 || column >= ColumnCount() || row < 0 || row >= RowCount()) {
    return {};
  }
  const int left = columnLefts_[Index(column)] - (column < fixedColumns_ ? 0 : ScrollOffset());
  return {left, rowTops_[Index(row)], columnWidths_[Index(column)], rows_[Index(row)].height};
}

QSize TextGrid::sizeHint() const {
  return {2 * frameWidth() + columnLefts_.back(), 2 * frameWidth() + rowTops_.back()};
}

bool TextGrid::event(QEvent* event) {
  switch (event->type()) {
  case QEvent::Paint: {
    // The frame, in the same colours whether enabled or not.
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), ActivePalette(), true);
    return true;
  }
  case QEvent::ShortcutOverride:
    // Ctrl+C belongs to the grid while it has focus, even if the window has a Copy shortcut.
    if (copyEnabled_ && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
      event->accept();
      return true;
    }
    break;
  case QEvent::FocusIn: {
    const bool handled = QAbstractScrollArea::event(event);
    TextGridAccessibility::FocusEntered(*this);
    return handled;
  }
  case QEvent::Hide:
  case QEvent::EnabledChange:
    // The release that would end a row drag never arrives; drop the drag and its feedback.
    if (drag_ != Drag::None) {
      drag_ = Drag::None;
      viewport()->update();
    }
    break;
  default:
    break;
  }
  return QAbstractScrollArea::event(event);
}

void TextGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QPalette palette = ActivePalette();
  const QRect dirty = event->rect();
  painter.fillRect(dirty, palette.color(QPalette::Window));
  const QRect grid(0, 0, columnLefts_.back() - ScrollOffset(), rowTops_.back());
  painter.fillRect(grid & dirty, palette.color(QPalette::Mid));
  painter.setFont(font());
  const int ascent = painter.fontMetrics().ascent();

  // Scrolling goes by whole columns, so no scrolled column reaches into the fixed ones.
  const int firstScrolled = fixedColumns_ + horizontalScrollBar()->value();
  for (int row = 0; row < RowCount(); ++row) {
    if (rows_[Index(row)].height == 0 || rowTops_[Index(row)] > dirty.bottom() ||
        rowTops_[Index(row + 1)] <= dirty.top()) {
      continue;
    }
    for (int column = 0; column < fixedColumns_; ++column) {
      PaintCell(painter, palette, dirty, ascent, column, row);
    }
    for (int column = firstScrolled; column < ColumnCount(); ++column) {
      PaintCell(painter, palette, dirty, ascent, column, row);
    }
  }

  if (drag_ == Drag::MovingRow && dropRow_ >= 0 && dropRow_ != dragFromRow_) {
    // Moving down puts the row below the target row, moving up above it.
    const int edge = rowTops_[Index(dropRow_ > dragFromRow_ ? dropRow_ + 1 : dropRow_)];
    painter.fillRect(QRect(0, edge - kDropLine / 2, grid.width(), kDropLine),
                     palette.color(QPalette::WindowText));
  }
}

void TextGrid::PaintCell(QPainter& painter, const QPalette& palette, const QRect& dirty, int ascent,
                         int column, int row) const {
  const QRect area = CellRect(column, row);
  if (!area.intersects(dirty)) {
    return;
  }
  QPalette::ColorRole textRole = QPalette::Text;
  QColor background = palette.color(QPalette::Base);
  if (column < fixedColumns_) {
    background = fixedColor_;
    textRole = QPalette::WindowText;
  } else if (IsHighlighted(column, row)) {
    background = palette.color(QPalette::Highlight);
    textRole = QPalette::HighlightedText;
  }
  painter.fillRect(area, background);
  const QString& text = rows_[Index(row)].cells[Index(column)];
  if (!text.isEmpty()) {
    // One line from the cell's top left, cut at the cell's edges. Drawing at the baseline puts
    // every glyph where laying the text out in a rectangle would, and skips that layout.
    painter.setPen(palette.color(textRole));
    painter.setClipRect(area);
    painter.drawText(QPoint(area.left() + kTextInset, area.top() + kTextInset + ascent), text);
    painter.setClipping(false);
  }
  if (column < fixedColumns_) {
    // After the text, so that a long text does not cover the right edge.
    qDrawShadePanel(&painter, area, palette, false, 1);
  }
}

bool TextGrid::IsHighlighted(int column, int row) const {
  if (column < fixedColumns_) {
    return false;
  }
  if (rowSelect_) {
    return IsRowSelected(row);
  }
  return row == currentRow_ && column == currentColumn_;
}

void TextGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

void TextGrid::scrollContentsBy(int, int) {
  viewport()->update();
}

void TextGrid::keyPressEvent(QKeyEvent* event) {
  if (copyEnabled_ && event->matches(QKeySequence::Copy)) {
    CopyToClipboard();
    return;
  }
  // Ctrl, Alt and Meta combinations belong to the parents: Ctrl+Tab switches their pages.
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier) {
    event->ignore();
    return;
  }
  const bool extend = modifiers == Qt::ShiftModifier;
  switch (event->key()) {
  case Qt::Key_Up:
    MoveCurrent(StepVisibleRows(currentRow_, -1), currentColumn_, extend);
    break;
  case Qt::Key_Down:
    MoveCurrent(StepVisibleRows(currentRow_, 1), currentColumn_, extend);
    break;
  case Qt::Key_PageUp:
    MoveCurrent(StepVisibleRows(currentRow_, -PageRows()), currentColumn_, extend);
    break;
  case Qt::Key_PageDown:
    MoveCurrent(StepVisibleRows(currentRow_, PageRows()), currentColumn_, extend);
    break;
  case Qt::Key_Home:
    MoveCurrent(StepVisibleRows(currentRow_, -RowCount()), currentColumn_, extend);
    break;
  case Qt::Key_End:
    MoveCurrent(StepVisibleRows(currentRow_, RowCount()), currentColumn_, extend);
    break;
  case Qt::Key_Left:
    MoveCurrent(currentRow_, std::max(currentColumn_ - 1, fixedColumns_), extend);
    EnsureColumnVisible(currentColumn_);
    break;
  case Qt::Key_Right:
    MoveCurrent(currentRow_, std::min(currentColumn_ + 1, ColumnCount() - 1), extend);
    EnsureColumnVisible(currentColumn_);
    break;
  default:
    event->ignore();
    return;
  }
  event->accept();
}

void TextGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  const QPoint at = event->position().toPoint();
  const int column = ColumnAt(at.x());
  const int row = RowAt(at.y());
  if (column < 0 || row < 0 || RowHeight(row) == 0) {
    return;
  }
  if (column < fixedColumns_) {
    if (rowMoving_ && !IsPinned(row)) {
      drag_ = Drag::MovingRow;
      dragFromRow_ = row;
      dropRow_ = row;
    }
    return;
  }
  MoveCurrent(row, column, event->modifiers().testFlag(Qt::ShiftModifier));
  drag_ = Drag::Selecting;
}

void TextGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

void TextGrid::mouseMoveEvent(QMouseEvent* event) {
  const int y = event->position().toPoint().y();
  int row = RowAt(y);
  if (drag_ == Drag::Selecting) {
    // Above or below the grid the selection runs to its first or last visible row.
    if (row < 0) {
      row = StepVisibleRows(currentRow_, y < 0 ? -RowCount() : RowCount());
    }
    if (RowHeight(row) > 0) {
      MoveCurrent(row, currentColumn_, true);
    }
  } else if (drag_ == Drag::MovingRow) {
    const int drop = RowHeight(row) > 0 && !IsPinned(row) ? row : -1;
    if (drop != dropRow_) {
      dropRow_ = drop;
      viewport()->update();
    }
  }
}

void TextGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    return;
  }
  if (drag_ == Drag::MovingRow) {
    const int from = dragFromRow_;
    const int to = dropRow_;
    drag_ = Drag::None;
    viewport()->update();
    MoveRow(from, to);
  }
  drag_ = Drag::None;
}

void TextGrid::contextMenuEvent(QContextMenuEvent* event) {
  if (!copyEnabled_) {
    event->ignore();
    return;
  }
  if (event->reason() == QContextMenuEvent::Mouse) {
    // As in a spreadsheet, a right click on a row outside the selection first selects that row,
    // so the menu acts on what was clicked.
    const int row = RowAt(event->pos().y());
    const int column = ColumnAt(event->pos().x());
    if (row >= 0 && RowHeight(row) > 0 && column >= 0 && !IsRowSelected(row)) {
      MoveCurrent(row, column < fixedColumns_ ? currentColumn_ : column, false);
    }
  }
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const QAction* copy = menu->addAction(tr("Copy"));
  connect(copy, &QAction::triggered, this, &TextGrid::CopyToClipboard);
  menu->popup(event->globalPos());
}

QPalette TextGrid::ActivePalette() const {
  QPalette active = palette();
  active.setCurrentColorGroup(QPalette::Active);
  return active;
}

int TextGrid::ScrollOffset() const {
  const int firstScrolled = fixedColumns_ + horizontalScrollBar()->value();
  return columnLefts_[Index(firstScrolled)] - FixedWidth();
}

void TextGrid::UpdateRowTops() {
  rowTops_.assign(1, 0);
  for (const Row& row : rows_) {
    rowTops_.push_back(rowTops_.back() + row.height + GridLine);
  }
  updateGeometry();
  viewport()->update();
}

void TextGrid::UpdateColumnLefts() {
  columnLefts_.assign(1, 0);
  for (const int width : columnWidths_) {
    columnLefts_.push_back(columnLefts_.back() + width + GridLine);
  }
  UpdateScrollRange();
  updateGeometry();
  viewport()->update();
}

void TextGrid::UpdateScrollRange() {
  // The range counts columns: the scroll bar's value is how many non-fixed columns are scrolled
  // out on the left. The last position is the first one that shows the last column whole.
  const int room = viewport()->width() - FixedWidth();
  int firstScrolled = fixedColumns_;
  int visible = 0;
  while (firstScrolled < ColumnCount() - 1 &&
         columnLefts_.back() - columnLefts_[Index(firstScrolled)] > room) {
    ++firstScrolled;
  }
  while (fixedColumns_ + visible < ColumnCount() &&
         columnLefts_[Index(fixedColumns_ + visible + 1)] - FixedWidth() <= room) {
    ++visible;
  }
  QScrollBar* bar = horizontalScrollBar();
  bar->setRange(0, std::max(firstScrolled - fixedColumns_, 0));
  bar->setPageStep(std::max(visible, 1));
}

void TextGrid::EnsureColumnVisible(int column) {
  if (column < fixedColumns_ || column >= ColumnCount()) {
    return;
  }
  const int room = viewport()->width() - FixedWidth();
  int firstScrolled = std::min(fixedColumns_ + horizontalScrollBar()->value(), column);
  while (firstScrolled < column &&
         columnLefts_[Index(column + 1)] - columnLefts_[Index(firstScrolled)] > room) {
    ++firstScrolled;
  }
  horizontalScrollBar()->setValue(firstScrolled - fixedColumns_);
}

int TextGrid::StepVisibleRows(int from, int steps) const {
  const int direction = steps < 0 ? -1 : 1;
  int remaining = std::abs(steps);
  int reached = from;
  for (int row = from + direction; row >= 0 && row < RowCount() && remaining > 0;
       row += direction) {
    if (RowHeight(row) > 0) {
      reached = row;
      --remaining;
    }
  }
  return reached;
}

int TextGrid::PageRows() const {
  int whole = 0;
  for (int row = 0; row < RowCount(); ++row) {
    if (RowHeight(row) > 0 && rowTops_[Index(row)] + RowHeight(row) <= viewport()->height()) {
      ++whole;
    }
  }
  return std::max(whole - 1, 1);
}

void TextGrid::MoveCurrent(int row, int column, bool extend) {
  currentRow_ = row;
  currentColumn_ = column;
  if (!extend || !rowSelect_) {
    anchorRow_ = row;
  }
  SelectAnchorToCurrent();
}

void TextGrid::SelectAnchorToCurrent() {
  const int top = std::min(anchorRow_, currentRow_);
  const int bottom = std::max(anchorRow_, currentRow_);
  for (int row = 0; row < RowCount(); ++row) {
    rows_[Index(row)].selected = row >= top && row <= bottom;
  }
  viewport()->update();
  TextGridAccessibility::SelectionChanged(*this);
}

void TextGrid::CopyToClipboard() {
  QGuiApplication::clipboard()->setText(RowsAsTabSeparatedText(headingRow_));
}
