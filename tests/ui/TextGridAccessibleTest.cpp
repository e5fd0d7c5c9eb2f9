// What screen readers see of a TextGrid, through Qt's accessibility interfaces. The structure is
// checked on any platform; the change events only where an assistive technology listens
// (QAccessible::isActive(), which needs the accessibility bus), see tests/ui/CMakeLists.txt.
#include <QAccessible>
#include <QScrollBar>
#include <QtTest>

#include <memory>
#include <utility>
#include <vector>

#include "TextGrid.h"
#include "WindowTestSteps.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Like the round duct grid: row 0 hidden, headings in row 1, a fixed size column, value rows
// below. Column 0 holds "r<row>", column 1 "v<row>", column 2 stays empty.
std::unique_ptr<TextGrid> MakeGrid(int rows = 6) {
  auto grid = std::make_unique<TextGrid>(3, rows);
  grid->SetFixedColumns(1);
  grid->SetRowHeight(0, 0);
  grid->SetRowSelect(true);
  grid->SetHeadingRow(1);
  grid->SetCell(0, 1, QStringLiteral("Size"));
  grid->SetCell(1, 1, QStringLiteral("Vel"));
  grid->SetCell(2, 1, QStringLiteral("Loss"));
  for (int row = 2; row < rows; ++row) {
    grid->SetCell(0, row, QStringLiteral("r%1").arg(row));
    grid->SetCell(1, row, QStringLiteral("v%1").arg(row));
  }
  grid->resize(grid->sizeHint());
  return grid;
}

QAccessibleInterface* Table(TextGrid& grid) {
  return QAccessible::queryAccessibleInterface(&grid);
}

QString Name(const QAccessibleInterface* cell) {
  return cell == nullptr ? QStringLiteral("(none)") : cell->text(QAccessible::Name);
}

QStringList Names(const QList<QAccessibleInterface*>& cells) {
  QStringList names;
  for (const QAccessibleInterface* cell : cells) {
    names << Name(cell);
  }
  return names;
}

// The texts of one column as the table reads them, top to bottom.
QStringList TableColumn(QAccessibleInterface* table, int column) {
  QStringList texts;
  for (int row = 0; row < table->tableInterface()->rowCount(); ++row) {
    texts << Name(table->tableInterface()->cellAt(row, column));
  }
  return texts;
}

// The accessibility events sent while it lives, as "<event> <name>" of their interface.
class EventLog {
public:
  EventLog() { previous_ = QAccessible::installUpdateHandler(&Record); }
  ~EventLog() {
    QAccessible::installUpdateHandler(previous_);
    Events().clear();
  }
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  static QStringList& Events() {
    static QStringList events;
    return events;
  }

private:
  static void Record(QAccessibleEvent* event) {
    static const QHash<QAccessible::Event, QString> kinds = {
        {QAccessible::NameChanged, QStringLiteral("name")},
        {QAccessible::DescriptionChanged, QStringLiteral("description")},
        {QAccessible::Focus, QStringLiteral("focus")},
        {QAccessible::SelectionAdd, QStringLiteral("selected")},
        {QAccessible::SelectionRemove, QStringLiteral("unselected")},
    };
    if (kinds.contains(event->type())) {
      Events() << kinds.value(event->type()) + QLatin1Char(' ') +
                      Name(event->accessibleInterface());
    }
  }

  QAccessible::UpdateHandler previous_ = nullptr;
};

// Whether an assistive technology listens, as the change events need. The bus test sets
// GUSTRULE_EXPECT_LISTENER, so that a bridge that failed to start fails there instead of skipping.
bool Listener() {
  return QAccessible::isActive() || qEnvironmentVariableIsSet("GUSTRULE_EXPECT_LISTENER");
}
#define SKIP_WITHOUT_LISTENER()                                                                    \
  do {                                                                                             \
    if (!Listener()) {                                                                             \
      QSKIP("no assistive technology listens here; runs in text_grid_accessible_bus_test");        \
    }                                                                                              \
    QVERIFY2(QAccessible::isActive(), "the accessibility bridge did not start");                   \
  } while (false)

} // namespace

class TextGridAccessibleTest : public QObject {
  Q_OBJECT

private slots:
  void valueRowsFormATableUnderColumnAndRowHeaders() {
    auto grid = MakeGrid();
    QAccessibleInterface* table = Table(*grid);
    QVERIFY(table != nullptr);
    QCOMPARE(table->role(), QAccessible::Table);
    QAccessibleTableInterface* cells = table->tableInterface();
    QVERIFY(cells != nullptr);
    QCOMPARE(cells->rowCount(), 4);
    QCOMPARE(cells->columnCount(), 3);
    QCOMPARE(TableColumn(table, 0), QStringList({u"r2"_s, u"r3"_s, u"r4"_s, u"r5"_s}));
    QCOMPARE(TableColumn(table, 1), QStringList({u"v2"_s, u"v3"_s, u"v4"_s, u"v5"_s}));

    QAccessibleInterface* value = cells->cellAt(1, 1);
    QCOMPARE(value->role(), QAccessible::Cell);
    QCOMPARE(Names(value->tableCellInterface()->columnHeaderCells()), QStringList({u"Vel"_s}));
    QCOMPARE(Names(value->tableCellInterface()->rowHeaderCells()), QStringList({u"r3"_s}));
    QCOMPARE(value->tableCellInterface()->rowIndex(), 1);
    QCOMPARE(value->tableCellInterface()->columnIndex(), 1);
    QCOMPARE(value->tableCellInterface()->table(), table);
    // The size cell is a row header and still the first cell of its row.
    QAccessibleInterface* size = cells->cellAt(1, 0);
    QCOMPARE(size->role(), QAccessible::RowHeader);
    QCOMPARE(Names(size->tableCellInterface()->rowHeaderCells()), QStringList({u"r3"_s}));
    QCOMPARE(cells->columnDescription(2), QStringLiteral("Loss"));
    QCOMPARE(cells->rowDescription(3), QStringLiteral("r5"));
    QCOMPARE(cells->cellAt(4, 0), nullptr);
  }

  void everyChildKnowsItsPlace() {
    auto grid = MakeGrid();
    QAccessibleInterface* table = Table(*grid);
    QCOMPARE(table->childCount(), 3 + 4 * 3); // the column headers first, then the cells
    QStringList names;
    for (int index = 0; index < table->childCount(); ++index) {
      QAccessibleInterface* child = table->child(index);
      QVERIFY(child != nullptr);
      QCOMPARE(table->indexOfChild(child), index);
      QCOMPARE(child->parent(), table);
      QCOMPARE(table->child(index), child); // the same interface every time
      names << Name(child);
    }
    QCOMPARE(names.mid(0, 6),
             QStringList({u"Size"_s, u"Vel"_s, u"Loss"_s, u"r2"_s, u"v2"_s, u""_s}));
    QCOMPARE(table->child(0)->role(), QAccessible::ColumnHeader);
    QCOMPARE(table->child(0)->tableCellInterface(), nullptr);
    QCOMPARE(table->child(table->childCount()), nullptr);
    QCOMPARE(table->indexOfChild(table), -1);
  }

  // Which grid rows are table rows, top to bottom, by the texts of column 1.
  void tableRowsAreTheRowsBelowTheHeadingThatHaveAHeight_data() {
    QTest::addColumn<int>("headingRow");
    QTest::addColumn<int>("hiddenRow");
    QTest::addColumn<QStringList>("column");
    QTest::addColumn<int>("children");
    QTest::newRow("headings in row 1, row 0 hidden")
        << 1 << 0 << QStringList({u"v2"_s, u"v3"_s, u"v4"_s, u"v5"_s}) << 3 + 12;
    QTest::newRow("no heading row: every row with a height")
        << -1 << 0 << QStringList({u"Vel"_s, u"v2"_s, u"v3"_s, u"v4"_s, u"v5"_s}) << 15;
    QTest::newRow("a hidden value row is left out")
        << 1 << 3 << QStringList({u"v2"_s, u"v4"_s, u"v5"_s}) << 3 + 9;
  }
  void tableRowsAreTheRowsBelowTheHeadingThatHaveAHeight() {
    QFETCH(int, headingRow);
    QFETCH(int, hiddenRow);
    QFETCH(QStringList, column);
    QFETCH(int, children);
    auto grid = MakeGrid();
    grid->SetHeadingRow(headingRow);
    grid->SetRowHeight(hiddenRow, 0);
    QAccessibleInterface* table = Table(*grid);
    QCOMPARE(TableColumn(table, 1), column);
    QCOMPARE(table->childCount(), children);
  }

  // A cell's name is its text; its description names its row, which a screen reader moving
  // along the row would not say.
  void descriptionNamesTheRowByTheFixedColumns_data() {
    QTest::addColumn<int>("headingRow");
    QTest::addColumn<int>("fixedColumns");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("value cell") << 1 << 1 << 1 << u"v2"_s << u"Size r2"_s;
    QTest::newRow("size cell: the row's own header") << 1 << 1 << 0 << u"r2"_s << u""_s;
    QTest::newRow("empty cell") << 1 << 1 << 2 << u""_s << u"Size r2"_s;
    QTest::newRow("no fixed column") << 1 << 0 << 1 << u"v2"_s << u""_s;
    QTest::newRow("no heading row: the size alone") << -1 << 1 << 1 << u"v1"_s << u"r1"_s;
  }
  void descriptionNamesTheRowByTheFixedColumns() {
    QFETCH(int, headingRow);
    QFETCH(int, fixedColumns);
    QFETCH(int, column);
    QFETCH(QString, name);
    QFETCH(QString, description);
    auto grid = MakeGrid();
    grid->SetHeadingRow(headingRow);
    grid->SetFixedColumns(fixedColumns);
    grid->SetCell(0, 1, headingRow == 1 ? QStringLiteral("Size") : QStringLiteral("r1"));
    grid->SetCell(1, 1, headingRow == 1 ? QStringLiteral("Vel") : QStringLiteral("v1"));
    QAccessibleInterface* cell = Table(*grid)->tableInterface()->cellAt(0, column);
    QCOMPARE(cell->text(QAccessible::Name), name);
    QCOMPARE(cell->text(QAccessible::Description), description);
  }

  void tableFollowsMovedRows() {
    auto grid = MakeGrid();
    QAccessibleInterface* table = Table(*grid);
    QAccessibleInterface* first = table->tableInterface()->cellAt(0, 1);
    grid->MoveRow(2, 4);
    QCOMPARE(TableColumn(table, 0), QStringList({u"r3"_s, u"r4"_s, u"r2"_s, u"r5"_s}));
    QCOMPARE(first->text(QAccessible::Description), QStringLiteral("Size r3"));
    // The heading row stays where it is: moving it changes nothing.
    grid->MoveRow(1, 3);
    QCOMPARE(Name(table->child(1)), QStringLiteral("Vel"));
    QCOMPARE(TableColumn(table, 1), QStringList({u"v3"_s, u"v4"_s, u"v2"_s, u"v5"_s}));
  }

  // The selection is what is drawn highlighted: whole rows, never the fixed column.
  void selectedRowsAndCellsAreTheHighlightedOnes() {
    auto grid = MakeGrid();
    QAccessibleTableInterface* table = Table(*grid)->tableInterface();
    QCOMPARE(table->selectedRowCount(), 0); // row 0, hidden, is current at the start
    QCOMPARE(table->selectedCellCount(), 0);
    grid->SelectRows(3, 4);
    QCOMPARE(table->selectedRows(), QList<int>({1, 2}));
    QVERIFY(table->isRowSelected(2));
    QVERIFY(!table->isRowSelected(0));
    QCOMPARE(Names(table->selectedCells()), QStringList({u"v3"_s, u""_s, u"v4"_s, u""_s}));
    QCOMPARE(table->selectedCellCount(), 4);
    QVERIFY(table->cellAt(1, 1)->state().selected);
    QVERIFY(table->cellAt(1, 1)->tableCellInterface()->isSelected());
    QVERIFY(!table->cellAt(1, 0)->state().selected);
    QVERIFY(!table->cellAt(0, 1)->state().selected);

    QVERIFY(table->selectRow(3));
    QCOMPARE(grid->SelectionTop(), 5);
    QCOMPARE(grid->SelectionBottom(), 5);
    QVERIFY(!table->selectRow(4));
    QVERIFY(!table->unselectRow(3));
    QVERIFY(!table->selectColumn(1));
  }

  void withoutRowSelectionOnlyTheCurrentCellIsSelected() {
    auto grid = MakeGrid();
    grid->SetRowSelect(false);
    QAccessibleTableInterface* table = Table(*grid)->tableInterface();
    grid->SelectRows(2, 4);
    QCOMPARE(table->selectedRowCount(), 0);
    QCOMPARE(Names(table->selectedCells()), QStringList({u"v4"_s}));
    QVERIFY(!table->selectRow(0));
  }

  void cellsLieWhereTheyAreDrawn() {
    auto grid = MakeGrid();
    QVERIFY(ShowAndWait(*grid));
    QAccessibleInterface* table = Table(*grid);
    const QRect drawn = grid->CellRect(1, 3);
    QAccessibleInterface* cell = table->tableInterface()->cellAt(1, 1);
    QCOMPARE(cell->rect(), QRect(grid->viewport()->mapToGlobal(drawn.topLeft()), drawn.size()));
    const QPoint centre = grid->viewport()->mapToGlobal(drawn.center());
    QCOMPARE(table->childAt(centre.x(), centre.y()), cell);
    QVERIFY(!cell->state().offscreen);
    const QPoint heading = grid->viewport()->mapToGlobal(grid->CellRect(1, 1).center());
    QCOMPARE(Name(table->childAt(heading.x(), heading.y())), QStringLiteral("Vel"));
    // The hidden row 0 (its grid line) is no child; neither is a point outside the grid.
    const QPoint hidden = grid->viewport()->mapToGlobal(QPoint(heading.x(), 0));
    QCOMPARE(table->childAt(hidden.x(), hidden.y()), nullptr);
    const QPoint outside = grid->mapToGlobal(QPoint(-5, -5));
    QCOMPARE(table->childAt(outside.x(), outside.y()), nullptr);
  }

  void columnsScrolledAwayAreOffscreen() {
    auto grid = MakeGrid();
    // Room for the fixed column and one more: the third starts where the viewport ends.
    grid->resize(grid->CellRect(2, 0).left() + 2 * grid->frameWidth(),
                 grid->sizeHint().height() + 20);
    QVERIFY(ShowAndWait(*grid));
    QAccessibleTableInterface* table = Table(*grid)->tableInterface();
    QVERIFY(!table->cellAt(0, 1)->state().offscreen);
    QVERIFY(table->cellAt(0, 2)->state().offscreen);
    grid->horizontalScrollBar()->setValue(1);
    QVERIFY(table->cellAt(0, 1)->state().offscreen);
    QVERIFY(!table->cellAt(0, 2)->state().offscreen);
    QVERIFY(!table->cellAt(0, 0)->state().offscreen); // the fixed column stays
  }

  void focusedCellIsTheCurrentOneWhileTheGridHasFocus() {
    auto grid = MakeGrid();
    QVERIFY(ShowWithFocus(*grid));
    QAccessibleInterface* table = Table(*grid);
    QCOMPARE(table->focusChild(), nullptr); // the hidden row 0 is current at the start
    grid->SelectRows(3, 3);
    QCOMPARE(Name(table->focusChild()), u"v3"_s);
    QVERIFY(table->focusChild()->state().focused);
    QVERIFY(!table->tableInterface()->cellAt(0, 1)->state().focused);
    grid->clearFocus();
    QCOMPARE(table->focusChild(), nullptr);
    QVERIFY(!table->tableInterface()->cellAt(1, 1)->state().focused);
  }

  // Only cells a client has already read are told that they changed; they read afresh anyway.
  void changedTextsAreAnnouncedForCellsAlreadyRead() {
    SKIP_WITHOUT_LISTENER();
    auto grid = MakeGrid();
    QAccessibleTableInterface* table = Table(*grid)->tableInterface();
    table->cellAt(0, 1);
    table->cellAt(1, 1);
    EventLog log;
    grid->SetCell(1, 2, QStringLiteral("w2"));
    grid->SetCell(1, 2, QStringLiteral("w2")); // no change, no event
    grid->SetCell(1, 5, QStringLiteral("w5")); // never read
    QCOMPARE(EventLog::Events(), QStringList({u"name w2"_s}));
    EventLog::Events().clear();
    // A changed row header, or its heading, changes the descriptions of the cells that quote it.
    grid->SetCell(0, 3, QStringLiteral("s3"));
    QCOMPARE(EventLog::Events(), QStringList({u"description v3"_s}));
    EventLog::Events().clear();
    grid->SetCell(0, 1, QStringLiteral("D"));
    QCOMPARE(EventLog::Events(), QStringList({u"description w2"_s, u"description v3"_s}));
    EventLog::Events().clear();
    grid->MoveRow(3, 2);
    QCOMPARE(EventLog::Events(),
             QStringList({u"name v3"_s, u"description v3"_s, u"name w2"_s, u"description w2"_s}));
  }

  void keyboardMovesTheFocusToTheNewCurrentCell() {
    SKIP_WITHOUT_LISTENER();
    auto grid = MakeGrid();
    QVERIFY(ShowWithFocus(*grid));
    Table(*grid); // a client looks at the grid
    QCoreApplication::processEvents();
    EventLog log;
    QTest::keyClick(grid.get(), Qt::Key_Down); // onto the heading row
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QCOMPARE(EventLog::Events(), QStringList({u"focus Vel"_s, u"unselected Vel"_s, u"focus v2"_s}));
    QAccessibleInterface* focused = Table(*grid)->focusChild();
    QCOMPARE(focused->text(QAccessible::Description), QStringLiteral("Size r2"));
    EventLog::Events().clear();
    QTest::keyClick(grid.get(), Qt::Key_Up); // onto the headings, then nowhere further
    QTest::keyClick(grid.get(), Qt::Key_Up);
    QCOMPARE(EventLog::Events(),
             QStringList({u"selected Vel"_s, u"unselected v2"_s, u"focus Vel"_s}));
  }

  void focusComingBackAnnouncesTheCurrentCellAfterTheGrid() {
    SKIP_WITHOUT_LISTENER();
    auto grid = MakeGrid();
    QVERIFY(ShowAndWait(*grid));
    grid->SelectRows(4, 4);
    Table(*grid);
    EventLog log;
    grid->activateWindow();
    grid->setFocus();
    QTRY_VERIFY(EventLog::Events().contains(QStringLiteral("focus v4")));
    QCOMPARE(EventLog::Events().last(), QStringLiteral("focus v4"));
  }
};

QTEST_MAIN(TextGridAccessibleTest)
#include "TextGridAccessibleTest.moc"
