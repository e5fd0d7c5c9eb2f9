#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "TextGrid.h"
#include "WindowTestSteps.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Like the result grids: a fixed column 30 px wide, two 60 px columns, row 0 hidden and the
// other rows 16 px high. Column 0 holds "r<row>", column 1 "c<row>".
std::unique_ptr<TextGrid> MakeGrid(int rows = 6) {
  auto grid = std::make_unique<TextGrid>(3, rows);
  grid->SetFixedColumns(1);
  grid->SetColumnWidth(0, 30);
  grid->SetColumnWidth(1, 60);
  grid->SetColumnWidth(2, 60);
  grid->SetRowHeight(0, 0);
  grid->SetRowSelect(true);
  for (int row = 0; row < rows; ++row) {
    grid->SetCell(0, row, QStringLiteral("r%1").arg(row));
    grid->SetCell(1, row, QStringLiteral("c%1").arg(row));
  }
  grid->resize(grid->sizeHint());
  return grid;
}

QStringList Column(const TextGrid& grid, int column) {
  QStringList texts;
  for (int row = 0; row < grid.RowCount(); ++row) {
    texts << grid.Cell(column, row);
  }
  return texts;
}

void SendMouse(TextGrid& grid, QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, grid.viewport()->mapToGlobal(at), button, held, modifiers);
  QApplication::sendEvent(grid.viewport(), &event);
}

QPoint Centre(const TextGrid& grid, int column, int row) {
  return grid.CellRect(column, row).center();
}

// The smallest rectangle holding every pixel of `area` that differs from `background`.
QRect Ink(const QImage& image, const QRect& area, QColor background) {
  QRect ink;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) != background) {
        ink |= QRect(x, y, 1, 1);
      }
    }
  }
  return ink;
}

} // namespace

class TextGridTest : public QObject {
  Q_OBJECT

private slots:
  void heightIsOneLinePlusEachRowWithItsLine() {
    QCOMPARE(MakeGrid(3)->sizeHint(), QSize(4 + 31 + 61 + 61, 4 + 1 + 2 * 17));
    // Twenty-five rows with a scroll bar: the bar sits inside the frame, below the rows.
    const auto grid = MakeGrid(25);
    grid->resize(120, 430);
    QVERIFY(ShowAndWait(*grid));
    QVERIFY(grid->horizontalScrollBar()->isVisible());
    QCOMPARE(grid->frameWidth(), 2);
    QCOMPARE(grid->viewport()->height(), 430 - 4 - grid->horizontalScrollBar()->height());
    QCOMPARE(grid->sizeHint().height(), 4 + 1 + 24 * 17);
  }

  void textSitsTwoPixelsIntoItsCell_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QPoint>("cellTopLeft"); // in widget pixels, frame included
    QTest::newRow("row 1 under the hidden row 0") << 1 << 1 << QPoint(2 + 31, 2 + 1);
    QTest::newRow("row 2, last column") << 2 << 2 << QPoint(2 + 31 + 61, 2 + 1 + 17);
    QTest::newRow("fixed column") << 0 << 2 << QPoint(2, 2 + 1 + 17);
  }
  void textSitsTwoPixelsIntoItsCell() {
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QPoint, cellTopLeft);
    const auto grid = MakeGrid(3);
    grid->SetCell(column, row, QStringLiteral("W"));
    const QImage shot = grid->grab().toImage();

    QImage reference(60, 16, QImage::Format_ARGB32_Premultiplied);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    painter.setFont(grid->font());
    painter.setPen(Qt::black);
    painter.drawText(reference.rect(), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("W"));
    painter.end();
    const QRect glyph = Ink(reference, reference.rect(), Qt::white);

    // Inside the fixed column's 1 px edge; the text starts further in anyway.
    const QRect inside(cellTopLeft + QPoint(1, 1), QSize(grid->ColumnWidth(column) - 2, 14));
    const QRect ink = Ink(shot, inside, shot.pixelColor(inside.topLeft()));
    QCOMPARE(ink.topLeft(), cellTopLeft + QPoint(2, 2) + glyph.topLeft());
  }

  void longTextIsClippedToItsCell() {
    const auto grid = MakeGrid(3);
    grid->resize(grid->sizeHint() + QSize(100, 0));
    grid->SetCell(2, 1, QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
    const QImage shot = grid->grab().toImage();
    const QRect beyondTheLastLine(2 + 31 + 61 + 61, 2, 100, 35);
    const QColor outside = grid->palette().color(QPalette::Active, QPalette::Window);
    QCOMPARE(Ink(shot, beyondTheLastLine, outside), QRect());
  }

  void hitTestingMapsLinesToTheCellBefore_data() {
    QTest::addColumn<QPoint>("at"); // viewport pixels
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::newRow("top line is the hidden row 0") << QPoint(40, 0) << 1 << 0;
    QTest::newRow("first pixel of row 1") << QPoint(40, 1) << 1 << 1;
    QTest::newRow("line under row 1") << QPoint(40, 17) << 1 << 1;
    QTest::newRow("first pixel of row 2") << QPoint(40, 18) << 1 << 2;
    QTest::newRow("line right of the fixed column") << QPoint(30, 5) << 0 << 1;
    QTest::newRow("below the last line") << QPoint(40, 35) << 1 << -1;
    QTest::newRow("right of the last line") << QPoint(153, 5) << -1 << 1;
  }
  void hitTestingMapsLinesToTheCellBefore() {
    QFETCH(QPoint, at);
    QFETCH(int, column);
    QFETCH(int, row);
    const auto grid = MakeGrid(3);
    QCOMPARE(grid->ColumnAt(at.x()), column);
    QCOMPARE(grid->RowAt(at.y()), row);
  }

  void scrollingSidewaysKeepsTheFixedColumn() {
    const auto grid = MakeGrid();
    grid->resize(4 + 31 + 61 + 20, grid->height());
    QVERIFY(ShowAndWait(*grid));
    QTest::keyClick(grid.get(), Qt::Key_Right);
    QCOMPARE(grid->CurrentColumn(), 2);
    QCOMPARE(grid->horizontalScrollBar()->value(), 1);
    QCOMPARE(grid->CellRect(0, 1).left(), 0);
    QCOMPARE(grid->CellRect(2, 1).left(), 31);
    QCOMPARE(grid->ColumnAt(10), 0);
    QCOMPARE(grid->ColumnAt(40), 2);
  }

  void writesOutsideTheGridThrow() {
    const auto grid = MakeGrid();
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid->SetCell(3, 0, QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid->SetCell(0, -1, QStringLiteral("x")));
  }

  void mouseSelectsRanges_data() {
    QTest::addColumn<int>("pressRow");
    QTest::addColumn<int>("releaseRow"); // -1: below the grid
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::newRow("click selects its row") << 3 << 3 << Qt::KeyboardModifiers() << 3 << 3;
    QTest::newRow("drag up extends") << 4 << 1 << Qt::KeyboardModifiers() << 1 << 4;
    QTest::newRow("drag below the grid stops at the last row")
        << 2 << -1 << Qt::KeyboardModifiers() << 2 << 5;
    QTest::newRow("shift-click extends from the anchor")
        << 2 << 2 << Qt::KeyboardModifiers(Qt::ShiftModifier) << 2 << 4;
  }
  void mouseSelectsRanges() {
    QFETCH(int, pressRow);
    QFETCH(int, releaseRow);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, top);
    QFETCH(int, bottom);
    const auto grid = MakeGrid();
    grid->SelectRows(4, 4);
    const QPoint release = releaseRow < 0 ? QPoint(40, 500) : Centre(*grid, 2, releaseRow);
    SendMouse(*grid, QEvent::MouseButtonPress, Centre(*grid, 1, pressRow), modifiers);
    SendMouse(*grid, QEvent::MouseMove, release, modifiers);
    SendMouse(*grid, QEvent::MouseButtonRelease, release, modifiers);
    QCOMPARE(grid->SelectionTop(), top);
    QCOMPARE(grid->SelectionBottom(), bottom);
  }

  void keysMoveAndExtend_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    const int down = Qt::Key_Down;
    const int shiftDown = (Qt::ShiftModifier | Qt::Key_Down).toCombined();
    QTest::newRow("down from row 0 reaches row 1") << QList<int>{down} << 1 << 1 << 1;
    QTest::newRow("up never returns to the hidden row")
        << QList<int>{down, int(Qt::Key_Up)} << 1 << 1 << 1;
    QTest::newRow("shift extends") << QList<int>{down, down, shiftDown, shiftDown} << 4 << 2 << 4;
    QTest::newRow("a plain move collapses the range")
        << QList<int>{down, shiftDown, down} << 3 << 3 << 3;
    QTest::newRow("end, then shift+home")
        << QList<int>{int(Qt::Key_End), (Qt::ShiftModifier | Qt::Key_Home).toCombined()} << 1 << 1
        << 5;
  }
  void keysMoveAndExtend() {
    QFETCH(QList<int>, keys);
    QFETCH(int, current);
    QFETCH(int, top);
    QFETCH(int, bottom);
    const auto grid = MakeGrid();
    for (const int key : keys) {
      const QKeyCombination combination = QKeyCombination::fromCombined(key);
      QTest::keyClick(grid.get(), combination.key(), combination.keyboardModifiers());
    }
    QCOMPARE(grid->CurrentRow(), current);
    QCOMPARE(grid->SelectionTop(), top);
    QCOMPARE(grid->SelectionBottom(), bottom);
  }

  void moveRowIsAListMove_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("order");
    QTest::addColumn<int>("hiddenRow");
    QTest::newRow("down") << 1 << 3 << u"r0 r2 r3 r1 r4 r5"_s << 0;
    QTest::newRow("up") << 4 << 1 << u"r0 r4 r1 r2 r3 r5"_s << 0;
    QTest::newRow("the hidden row takes its height along") << 0 << 3 << u"r1 r2 r3 r0 r4 r5"_s << 3;
    QTest::newRow("outside the grid") << 2 << 6 << u"r0 r1 r2 r3 r4 r5"_s << 0;
  }
  void moveRowIsAListMove() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, order);
    QFETCH(int, hiddenRow);
    const auto grid = MakeGrid();
    grid->MoveRow(from, to);
    QCOMPARE(Column(*grid, 0).join(u' '), order);
    QCOMPARE(Column(*grid, 1).join(u' '), QString(order).replace(u'r', u'c'));
    QCOMPARE(grid->RowHeight(hiddenRow), 0);
  }

  void selectionStaysOnItsRowsThroughMovesAndRewrites_data() {
    QTest::addColumn<int>("top"); // selected before the move
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("shiftDown"); // then Shift+Down, extending from the anchor
    QTest::addColumn<QString>("picked"); // the selected rows afterwards, top to bottom
    QTest::newRow("a selected row moves with its selection") << 2 << 2 << 2 << 6 << false << "r2";
    QTest::newRow("a row dragged into the range stays out")
        << 2 << 4 << 6 << 3 << false << "r2 r3 r4";
    QTest::newRow("a row dragged across the range") << 3 << 4 << 1 << 6 << false << "r3 r4";
    QTest::newRow("a selected row dragged out of it") << 2 << 4 << 3 << 7 << false << "r2 r4 r3";
    QTest::newRow("Shift extends from the moved anchor") << 2 << 2 << 2 << 5 << true << "r2 r6";
  }
  void selectionStaysOnItsRowsThroughMovesAndRewrites() {
    QFETCH(int, top);
    QFETCH(int, bottom);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, shiftDown);
    QFETCH(QString, picked);
    const auto grid = MakeGrid(8);
    grid->SelectRows(top, bottom);
    grid->MoveRow(from, to);
    if (shiftDown) {
      QTest::keyClick(grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    }
    const auto labels = [&grid] {
      QStringList texts;
      for (const QString& line :
           grid->RowsAsTabSeparatedText(-1).split(u'\n', Qt::SkipEmptyParts)) {
        texts << line.section(u'\t', 0, 0);
      }
      return texts.join(u' ');
    };
    QCOMPARE(labels(), picked);

    // Rewritten by position in the first order, the rows keep their selection.
    {
      const TextGrid::KeepSelection keep(*grid, 0);
      for (int row = 0; row < grid->RowCount(); ++row) {
        grid->SetCell(0, row, QStringLiteral("r%1").arg(row));
        grid->SetCell(1, row, QStringLiteral("c%1").arg(row));
      }
    }
    QList<int> rows;
    for (const QString& label : picked.split(u' ')) {
      rows << label.mid(1).toInt();
    }
    std::sort(rows.begin(), rows.end());
    QCOMPARE(grid->SelectedRows(), rows);
  }

  void draggingTheFixedCellMovesTheRow() {
    const auto grid = MakeGrid();
    grid->SetRowMoving(true);
    grid->SelectRows(5, 5);
    QSignalSpy moved(grid.get(), &TextGrid::RowMoved);
    SendMouse(*grid, QEvent::MouseButtonPress, Centre(*grid, 0, 2));
    SendMouse(*grid, QEvent::MouseMove, Centre(*grid, 0, 4));

    // Moving down drops below row 4: a line over the grid line under it.
    const QImage shot = grid->grab().toImage();
    const QColor line = shot.pixelColor(QPoint(2 + 45, 2 + grid->CellRect(1, 4).bottom() + 1));
    QCOMPARE(line, grid->palette().color(QPalette::Active, QPalette::WindowText));

    SendMouse(*grid, QEvent::MouseButtonRelease, Centre(*grid, 0, 4));
    QCOMPARE(Column(*grid, 0).join(u' '), u"r0 r1 r3 r4 r2 r5"_s);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.first(), QVariantList({2, 4}));
    QCOMPARE(grid->SelectionTop(), 5);
    // Writes go by position: row 4 is now the moved row.
    grid->SetCell(1, 4, QStringLiteral("new"));
    QCOMPARE(Column(*grid, 1).join(u' '), u"c0 c1 c3 c4 new c5"_s);
  }

  void headingRowAndRowsAboveArePinned_data() {
    QTest::addColumn<bool>("byMouse"); // a drag by the fixed cell, else MoveRow
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("order");
    QTest::newRow("the heading cannot be dragged") << true << 1 << 4 << u"r0 r1 r2 r3 r4 r5"_s;
    QTest::newRow("no drop onto the heading") << true << 4 << 1 << u"r0 r1 r2 r3 r4 r5"_s;
    QTest::newRow("rows below it still move") << true << 4 << 2 << u"r0 r1 r4 r2 r3 r5"_s;
    QTest::newRow("no move takes the heading") << false << 1 << 3 << u"r0 r1 r2 r3 r4 r5"_s;
    QTest::newRow("no move lands above it") << false << 3 << 0 << u"r0 r1 r2 r3 r4 r5"_s;
    QTest::newRow("moves below it are list moves") << false << 5 << 2 << u"r0 r1 r5 r2 r3 r4"_s;
  }
  void headingRowAndRowsAboveArePinned() {
    QFETCH(bool, byMouse);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, order);
    const auto grid = MakeGrid();
    grid->SetRowMoving(true);
    grid->SetHeadingRow(1);
    QSignalSpy moved(grid.get(), &TextGrid::RowMoved);
    if (byMouse) {
      SendMouse(*grid, QEvent::MouseButtonPress, Centre(*grid, 0, from));
      SendMouse(*grid, QEvent::MouseMove, Centre(*grid, 0, to));
      SendMouse(*grid, QEvent::MouseButtonRelease, Centre(*grid, 0, to));
    } else {
      grid->MoveRow(from, to);
    }
    QCOMPARE(Column(*grid, 0).join(u' '), order);
    QCOMPARE(moved.count(), order == u"r0 r1 r2 r3 r4 r5"_s ? 0 : 1);
    QCOMPARE(grid->RowHeight(0), 0);
  }

  void rightClickOutsideTheSelectionSelectsTheRow_data() {
    QTest::addColumn<QPoint>("at"); // viewport pixels
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    // Row r (from 1) spans y = 17 r - 16 to 17 r - 1.
    QTest::newRow("a row outside the selection") << QPoint(40, 17 * 5 - 8) << 5 << 5;
    QTest::newRow("its fixed cell") << QPoint(10, 17 * 4 - 8) << 4 << 4;
    QTest::newRow("a selected row keeps the selection") << QPoint(40, 17 * 3 - 8) << 2 << 3;
    QTest::newRow("below the rows") << QPoint(40, 200) << 2 << 3;
    QTest::newRow("the hidden row 0") << QPoint(40, 0) << 2 << 3;
  }
  void rightClickOutsideTheSelectionSelectsTheRow() {
    QFETCH(QPoint, at);
    QFETCH(int, top);
    QFETCH(int, bottom);
    const auto grid = MakeGrid();
    grid->resize(grid->width(), 240);
    grid->SetCopyEnabled(true);
    grid->SetHeadingRow(1);
    grid->SelectRows(2, 3);
    QVERIFY(ShowAndWait(*grid, Shown::Active));
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    menu->actions().constFirst()->trigger();
    menu->close();
    QCOMPARE(grid->SelectionTop(), top);
    QCOMPARE(grid->SelectionBottom(), bottom);
    QString copied = u"r1\tc1\t\n"_s;
    for (int row = std::max(top, 2); row <= bottom; ++row) {
      copied += u"r%1\tc%1\t\n"_s.arg(row);
    }
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
  }

  void fixedColumnIsNeverHighlighted() {
    const auto grid = MakeGrid();
    grid->SetFixedColor(QColor(255, 255, 200));
    grid->SelectRows(1, 5);
    const QImage shot = grid->grab().toImage();
    // Widget pixels a little inside the cells' bottom right corners, away from edges and text.
    const QPoint frame(2, 2);
    const QPoint inFixed = frame + grid->CellRect(0, 3).bottomRight() - QPoint(3, 3);
    const QPoint inSelected = frame + grid->CellRect(2, 3).bottomRight() - QPoint(3, 3);
    QCOMPARE(shot.pixelColor(inFixed), QColor(255, 255, 200));
    QCOMPARE(shot.pixelColor(inSelected),
             grid->palette().color(QPalette::Active, QPalette::Highlight));
  }

  void disabledGridLooksEnabledButTakesNoInput() {
    const auto enabled = MakeGrid();
    const auto disabled = MakeGrid();
    enabled->SelectRows(2, 3);
    disabled->SelectRows(2, 3);
    disabled->setEnabled(false);
    QCOMPARE(disabled->grab().toImage(), enabled->grab().toImage());

    QVERIFY(ShowAndWait(*disabled));
    SendMouse(*disabled, QEvent::MouseButtonPress, Centre(*disabled, 1, 5));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(disabled.get(), &down);
    QCOMPARE(disabled->SelectionTop(), 2);
    QCOMPARE(disabled->CurrentRow(), 3);
    QVERIFY(!disabled->hasFocus());
  }

  void tabKeysReachFocusChainAndPages() {
    QTabWidget tabs;
    auto* page = new QWidget;
    auto* grid = new TextGrid(2, 3, page);
    auto* after = new QLineEdit(page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(grid);
    layout->addWidget(after);
    tabs.addTab(page, QStringLiteral("one"));
    tabs.addTab(new QLineEdit, QStringLiteral("two"));
    QVERIFY(ShowAndWait(tabs, Shown::Active));

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(grid->hasFocus());
    QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs.currentIndex(), 1);
    tabs.setCurrentIndex(0);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs.currentIndex(), 1);
    tabs.setCurrentIndex(0);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab);
    QVERIFY(after->hasFocus());
  }

  void copiedTextFollowsTheSelection_data() {
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing selected: every row after the heading")
        << 0 << 0 << u"r1\tc1\t\nr2\tc2\t\nr3\tc3\t\nr4\tc4\t\nr5\tc5\t\n"_s;
    QTest::newRow("heading, then the selected rows")
        << 3 << 4 << u"r1\tc1\t\nr3\tc3\t\nr4\tc4\t\n"_s;
    QTest::newRow("a selected heading is not repeated") << 1 << 2 << u"r1\tc1\t\nr2\tc2\t\n"_s;
  }
  void copiedTextFollowsTheSelection() {
    QFETCH(int, top);
    QFETCH(int, bottom);
    QFETCH(QString, text);
    const auto grid = MakeGrid();
    grid->SelectRows(top, bottom);
    QCOMPARE(grid->RowsAsTabSeparatedText(1), text);
  }

  void copyReachesTheClipboardOnlyWhenOn_data() {
    QTest::addColumn<bool>("on");
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("Ctrl+C when on") << true << false;
    QTest::newRow("context menu when on") << true << true;
    QTest::newRow("no context menu when off") << false << true;
  }
  void copyReachesTheClipboardOnlyWhenOn() {
    QFETCH(bool, on);
    QFETCH(bool, byMenu);
    const auto grid = MakeGrid();
    grid->SetCopyEnabled(on);
    grid->SetHeadingRow(1);
    grid->SelectRows(2, 2);
    // The window's own Ctrl+C must not take the key from the grid.
    auto* windowCopy = new QAction(grid.get());
    windowCopy->setShortcut(QKeySequence::Copy);
    grid->addAction(windowCopy);
    QVERIFY(ShowAndWait(*grid, Shown::Active));
    QGuiApplication::clipboard()->setText(u"before"_s);
    if (byMenu) {
      const QPoint at(40, 20);
      QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
      QApplication::sendEvent(grid->viewport(), &event);
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QCOMPARE(menu != nullptr, on);
      if (menu) {
        menu->actions().constFirst()->trigger();
        menu->close();
      }
    } else {
      QTest::keySequence(grid.get(), QKeySequence::Copy);
    }
    QCOMPARE(QGuiApplication::clipboard()->text(), on ? u"r1\tc1\t\nr2\tc2\t\n"_s : u"before"_s);
  }
};

QTEST_MAIN(TextGridTest)
#include "TextGridTest.moc"
