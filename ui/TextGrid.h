#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QList>
#include <QPalette>
#include <QString>
#include <QStringList>

#include <vector>

// A read-only grid of text cells, as used for the calculation results.
//
// Layout, in viewport pixels: every row takes its height plus a 1 px grid line below it, every
// column its width plus a 1 px line to its right, so a row of height 0 still takes 1 px (its
// line) and shows nothing. Rows 0, 16, 16 high make a 35 px grid, 39 px with the 2 px sunken
// frame. There is never a vertical scroll bar; the horizontal one appears when the columns do
// not fit and scrolls by whole columns, while the fixed columns stay in place.
//
// The grid is drawn with the palette's Active colours whether or not it is enabled, so a
// disabled grid looks exactly like an enabled one; it just takes no focus and no input.
//
// Screen readers see it as a table of its rows below the heading row (TextGridAccessible.h).
class TextGrid : public QAbstractScrollArea {
  Q_OBJECT

public:
  // Pixels of the line between neighbouring cells and of the sunken frame.
  static constexpr int GridLine = 1;
  static constexpr int FrameWidth = 2;

  // All cells empty, all columns 64 px wide and all rows 16 px high, no fixed column, no row
  // selection, no row moving, no copying.
  TextGrid(int columns, int rows, QWidget* parent = nullptr);

  int ColumnCount() const { return static_cast<int>(columnWidths_.size()); }
  int RowCount() const { return static_cast<int>(rows_.size()); }

  // Sizes in pixels without the grid line; negative sizes count as 0 and columns or rows
  // outside the grid are ignored.
  void SetColumnWidth(int column, int px);
  void SetRowHeight(int row, int px);
  int ColumnWidth(int column) const;
  int RowHeight(int row) const;

  // The first `count` columns stay in place when the grid scrolls sideways and are drawn on the
  // fixed colour (white unless set) with a raised edge. They never show the selection.
  void SetFixedColumns(int count);
  void SetFixedColor(const QColor& color);
  int FixedColumns() const { return fixedColumns_; }

  // On: clicks, drags and Shift select ranges of whole rows. Off: only the current cell is
  // highlighted and Shift does not extend.
  void SetRowSelect(bool on);
  bool RowSelect() const { return rowSelect_; }

  // On: a row can be dragged by its fixed-column cell to another row (see MoveRow). The heading
  // row and the rows above it cannot be dragged, and a drop onto them does nothing.
  void SetRowMoving(bool on);

  // The row that holds the column headings, -1 (the default) for none. Copying puts it first.
  // It and the rows above it are pinned: no row move takes them away or lands among them.
  void SetHeadingRow(int row);
  int HeadingRow() const { return headingRow_; }

  // On: Ctrl+C and a "Copy" context-menu entry put RowsAsTabSeparatedText(HeadingRow()) on the
  // clipboard.
  void SetCopyEnabled(bool on);

  // Writes one text and repaints only that cell, and only if the text changed. Cells are
  // addressed by their present position, so after a row move the writes land wherever the move
  // left the rows. Throws std::out_of_range outside the grid.
  void SetCell(int column, int row, QString text);
  // The cell's text; an empty text outside the grid.
  QString Cell(int column, int row) const;

  // Moves a row's texts and height as a list move: removed at `from`, inserted at `to`, the
  // rows between shift by one. Rows 0..3 "a b c d" with MoveRow(1, 3) become "a c d b"; with
  // MoveRow(3, 1) they become "a d b c". Positions outside the grid, pinned positions (up to the
  // heading row) and from == to do nothing: with heading row 1, MoveRow(3, 1) keeps "a b c d".
  // The selection, the current row and the anchor stay on their rows and move with them: with
  // "b c" selected, MoveRow(3, 2) gives "a b d c" with "b" and "c", rows 1 and 3, selected.
  // Emits RowMoved when rows moved.
  void MoveRow(int from, int to);

  // Clicks, drags and keys select the range of rows between the anchor row and the current row;
  // a row move can split it (MoveRow). It starts on row 0 and the first non-fixed column; keys
  // and clicks never make a row of height 0 current, so a hidden row 0 shows no selection until
  // the user makes one.
  int CurrentRow() const { return currentRow_; }
  int CurrentColumn() const { return currentColumn_; }
  // With row selection, whether the row is selected; otherwise whether it is the current row.
  bool IsRowSelected(int row) const;
  // The selected rows from top to bottom; the first and the last of them, -1 when none is.
  QList<int> SelectedRows() const;
  int SelectionTop() const;
  int SelectionBottom() const;
  // Selects rows top..bottom (in either order, clamped to the grid) and no others; the lower one
  // becomes the current row.
  void SelectRows(int top, int bottom);
  // Whether the cell is drawn as selected: never in a fixed column; with row selection every
  // cell of a selected row, otherwise only the current cell.
  bool IsHighlighted(int column, int row) const;

  // While one lives, the grid may be rewritten by position (SetCell), which can bring its rows
  // back into another order. When it ends, normally or by an exception, the selection, the
  // current row and the anchor are on the rows that hold the texts in `keyColumn` that they held
  // when it began, wherever those texts stand now; each noted text goes to the first row holding
  // it, and a text found nowhere selects nothing. Rows "a c b" with "b" selected, rewritten as
  // "a b c", end with row 1, "b", selected.
  class KeepSelection {
  public:
    KeepSelection(TextGrid& grid, int keyColumn);
    ~KeepSelection();
    KeepSelection(const KeepSelection&) = delete;
    KeepSelection& operator=(const KeepSelection&) = delete;

  private:
    TextGrid& grid_;
    int keyColumn_;
    QStringList selected_;
    QString current_;
    QString anchor_;
  };

  // The heading row, then the selected rows below it from top to bottom, one line per row, cells
  // joined by tabs, each line ending in "\n". Without a row selection, or when no selected row
  // lies below the heading, every row after the heading is copied. A heading row of -1 means no
  // heading line.
  // With rows "", "D\tv", "100\t2.5", "200\t3.1" and row 3 selected, heading 1 gives
  // "D\tv\n200\t3.1\n"; with nothing selected below the heading, "D\tv\n100\t2.5\n200\t3.1\n".
  QString RowsAsTabSeparatedText(int headingRow) const;

  // Hit-testing in viewport coordinates: a point on a grid line belongs to the cell above or to
  // the left of the line, so the topmost line is row 0 even when row 0 has no height. -1 when
  // the point is outside every cell.
  int ColumnAt(int x) const;
  int RowAt(int y) const;
  // The cell's area without its grid lines, in viewport coordinates; a scrolled-away column lies
  // left of the fixed columns. An empty rectangle outside the grid.
  QRect CellRect(int column, int row) const;

  // The size that shows every cell without a scroll bar.
  QSize sizeHint() const override;

signals:
  void RowMoved(int from, int to);
  // SetCell changed the cell's text.
  void CellTextChanged(int column, int row);

protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  struct Row {
    int height;
    std::vector<QString> cells;
    bool selected = false;
  };
  enum class Drag { None, Selecting, MovingRow };

  QPalette ActivePalette() const;
  int FixedWidth() const { return columnLefts_[Index(fixedColumns_)]; }
  int ScrollOffset() const;
  void UpdateRowTops();
  void UpdateColumnLefts();
  void UpdateScrollRange();
  void EnsureColumnVisible(int column);
  void PaintCell(QPainter& painter, const QPalette& palette, const QRect& dirty, int ascent,
                 int column, int row) const;
  bool IsPinned(int row) const { return row <= headingRow_; }
  int StepVisibleRows(int from, int steps) const;
  int PageRows() const;
  void MoveCurrent(int row, int column, bool extend);
  // Selects the rows between the anchor and the current row and no others, and shows it.
  void SelectAnchorToCurrent();
  void CopyToClipboard();

  static std::size_t Index(int i) { return static_cast<std::size_t>(i); }

  std::vector<Row> rows_;
  std::vector<int> columnWidths_;
  // Viewport-independent positions: rowTops_[r] is where row r starts, the last entry the
  // total height including all lines; the same for columnLefts_.
  std::vector<int> rowTops_;
  std::vector<int> columnLefts_;
  int fixedColumns_ = 0;
  QColor fixedColor_ = Qt::white;
  bool rowSelect_ = false;
  bool rowMoving_ = false;
  bool copyEnabled_ = false;
  int headingRow_ = -1;
  int currentRow_ = 0;
  int currentColumn_ = 0;
  int anchorRow_ = 0;
  Drag drag_ = Drag::None;
  int dragFromRow_ = -1;
  int dropRow_ = -1;
};
