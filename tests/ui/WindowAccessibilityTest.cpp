// What screen readers get from the real main window (offscreen), through Qt's accessibility
// interfaces: the names and descriptions of the inputs, the grids as tables that follow every
// keystroke, the velocities picture's text, and the About window and failure box.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

#include <memory>

#include "About.h"
#include "ApplicationTitle.h"
#include "Duct.h"
#include "FailureReport.h"
#include "JpegPicture.h"
#include "TextGrid.h"
#include "VelocitiesTable.h"
#include "WindowTestSteps.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QAccessibleInterface* Accessible(QObject* object) {
  return QAccessible::queryAccessibleInterface(object);
}

QStringList LabelNames(QWidget* input) {
  QStringList names;
  for (const auto& [label, relation] : Accessible(input)->relations(QAccessible::Label)) {
    names << label->text(QAccessible::Name);
  }
  return names;
}

// Every name and text below an interface, depth first: what a screen reader's review can read.
QStringList Texts(QAccessibleInterface* interface) {
  QStringList texts = {interface->text(QAccessible::Name)};
  if (QAccessibleTextInterface* text = interface->textInterface()) {
    texts << text->text(0, text->characterCount());
  }
  for (int index = 0; index < interface->childCount(); ++index) {
    texts << Texts(interface->child(index));
  }
  return texts;
}

} // namespace

class WindowAccessibilityTest : public QObject {
  Q_OBJECT

private slots:
  void init() {
    SetFailurePresenter([](const QString&, const QString&) {});
    window_ = std::make_unique<TQuellbornDuct>();
    QVERIFY(ShowAndWait(*window_));
  }
  void cleanup() {
    window_.reset();
    SetFailurePresenter({});
  }

  // Each number box says what it holds and in which unit; the hints describe their boxes, those
  // of the rectangular page the results (the conversions grid is empty at the start).
  void inputsAreNamedByWhatTheyHoldAndTheirUnit_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    const QString results = u"Eqiv Ø (mm) 233, Vel (m/s) 4.09, dP Pa/m 1.0, Total dP (Pa) 1.0, "
                            u"Vel Press (Pa) 10.1"_s;
    QTest::newRow("round flow") << u"EditRoundVolume"_s << u"Air Volume Flow (l/s)"_s
                                << u"Litres per Second"_s;
    QTest::newRow("round length") << u"EditRoundLength"_s << u"Duct Length (m)"_s << u"Meters"_s;
    QTest::newRow("rectangular flow")
        << u"EditRectAirVol"_s << u"Air Volume Flow (l/s)"_s << results;
    QTest::newRow("first side") << u"EditRectSideA"_s << u"Side A (mm)"_s << results;
    QTest::newRow("second side") << u"EditRectSideB"_s << u"Side B (mm)"_s << results;
    QTest::newRow("rectangular length")
        << u"EditRectLength"_s << u"Rect Duct Length (m)"_s << results;
    QTest::newRow("flow to convert") << u"EditVolConv"_s << u"Volume Flow"_s << u""_s;
    QTest::newRow("the duct type's hint is the group's")
        << u"RadioGroupDT"_s << u"Duct Type"_s << u"Flexible fully extended"_s;
    QTest::newRow("choice Spiral keeps its caption") << u"Spiral"_s << u"Spiral"_s << u""_s;
    QTest::newRow("choice Flexible keeps its caption") << u"Flexible"_s << u"Flexible"_s << u""_s;
  }
  void inputsAreNamedByWhatTheyHoldAndTheirUnit() {
    QFETCH(QString, input);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QWidget* widget = Item(*window_, input);
    QVERIFY(widget != nullptr);
    QCOMPARE(Accessible(widget)->text(QAccessible::Name), name);
    QCOMPARE(Accessible(widget)->text(QAccessible::Description), description);
  }

  // Qt on Linux names a combo box by its text; the caption above it is its label.
  void unitChoiceIsLabelledOriginalUnits() {
    QWidget* units = window_->ComboBoxVFUnits;
    QCOMPARE(units->accessibleName(), u"Original Units"_s);
    QVERIFY(LabelNames(units).contains(u"Original Units"_s));
    QCOMPARE(Accessible(window_->ComboBoxVFUnits->lineEdit())->text(QAccessible::Name),
             u"Original Units"_s);
    QVERIFY(LabelNames(window_->EditVolConv).contains(u"Volume Flow"_s));
  }

  void tabsKeepTheirCaptions() {
    QAccessibleInterface* tabs = Accessible(window_->PageControl->tabBar());
    for (int page = 0; page < window_->PageControl->count(); ++page) {
      QCOMPARE(tabs->child(page)->text(QAccessible::Name), window_->PageControl->tabText(page));
    }
  }

  // Assistive technology sets a box's text through its editable-text interface, as a call over
  // the accessibility bus does: the calculation runs once, after the call has returned.
  void assistiveEditRecalculatesOnceAfterTheCall() {
    QStringList reports;
    SetFailurePresenter([&](const QString&, const QString& report) { reports << report; });
    QAccessibleEditableTextInterface* editable =
        Accessible(window_->EditRoundVolume)->editableTextInterface();
    editable->replaceText(0, static_cast<int>(window_->EditRoundVolume->text().size()), u"0"_s);
    QCOMPARE(window_->EditRoundVolume->text(), u"0"_s);
    QVERIFY(reports.isEmpty());
    QTRY_COMPARE(reports, QStringList{u"Floating point division by zero."_s});
    QTest::qWait(20);
    QCOMPARE(reports.size(), 1);
  }

  // Each grid is a table of its value rows under its headings, named after its page.
  void gridsAreTablesOfTheirResults_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("sizeRowHeaders");
    QTest::newRow("round") << u"SGRoundDuct"_s << u"Round Duct"_s << 23 << 13 << true;
    QTest::newRow("rectangular") << u"SGRectDuct"_s << u"Rectangular Duct"_s << 1 << 5 << false;
    QTest::newRow("conversions") << u"SGconversions"_s << u"Conversions"_s << 1 << 4 << false;
  }
  void gridsAreTablesOfTheirResults() {
    QFETCH(QString, grid);
    QFETCH(QString, name);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(bool, sizeRowHeaders);
    auto* cells = window_->findChild<TextGrid*>(grid);
    QAccessibleInterface* table = Accessible(cells);
    QCOMPARE(table->text(QAccessible::Name), name);
    QCOMPARE(table->tableInterface()->rowCount(), rows);
    QCOMPARE(table->tableInterface()->columnCount(), columns);
    for (int column = 0; column < columns; ++column) {
      QCOMPARE(table->child(column)->role(), QAccessible::ColumnHeader);
      QCOMPARE(table->child(column)->text(QAccessible::Name), cells->Cell(column, 1));
    }
    for (int row = 0; row < rows; ++row) {
      QAccessibleTableCellInterface* first =
          table->tableInterface()->cellAt(row, 0)->tableCellInterface();
      QCOMPARE(first->rowHeaderCells().size(), sizeRowHeaders ? 1 : 0);
    }
  }

  // The cells read what the grid shows, before and after a keystroke recalculates it.
  void cellsReadTheGridsTextsAfterEveryKeystroke_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("page");
    QTest::newRow("round flow") << u"EditRoundVolume"_s << u"SGRoundDuct"_s << 0;
    QTest::newRow("round length") << u"EditRoundLength"_s << u"SGRoundDuct"_s << 0;
    QTest::newRow("first side") << u"EditRectSideA"_s << u"SGRectDuct"_s << 1;
    QTest::newRow("flow to convert") << u"EditVolConv"_s << u"SGconversions"_s << 3;
  }
  void cellsReadTheGridsTextsAfterEveryKeystroke() {
    QFETCH(QString, input);
    QFETCH(QString, grid);
    QFETCH(int, page);
    window_->ComboBoxVFUnits->setEditText(u"l/s"_s);
    window_->PageControl->setCurrentIndex(page);
    auto* cells = window_->findChild<TextGrid*>(grid);
    QAccessibleTableInterface* table = Accessible(cells)->tableInterface();
    const auto tableTexts = [&] {
      QStringList texts;
      for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
          texts << table->cellAt(row, column)->text(QAccessible::Name);
        }
      }
      return texts;
    };
    const auto gridTexts = [&] {
      QStringList texts;
      for (int row = 2; row < cells->RowCount(); ++row) {
        for (int column = 0; column < cells->ColumnCount(); ++column) {
          texts << cells->Cell(column, row);
        }
      }
      return texts;
    };
    const QStringList before = tableTexts();
    QCOMPARE(before, gridTexts());
    QTest::keyClick(window_->findChild<QLineEdit*>(input), Qt::Key_7);
    QVERIFY(tableTexts() != before);
    QCOMPARE(tableTexts(), gridTexts());
  }

  void roundTableReadsTheVelocityOfTheSmallestDuct() {
    QAccessibleTableInterface* table = Accessible(window_->SGRoundDuct)->tableInterface();
    QAccessibleInterface* velocity = table->cellAt(0, 1);
    QCOMPARE(velocity->text(QAccessible::Name), u"36.55"_s);
    QCOMPARE(velocity->text(QAccessible::Description), u"Ø (mm) 80"_s);
    QCOMPARE(table->cellAt(0, 0)->tableCellInterface()->rowHeaderCells().first()->text(
                 QAccessible::Name),
             u"80"_s);
    window_->EditRoundVolume->selectAll();
    QTest::keyClicks(window_->EditRoundVolume, u"250"_s);
    QCOMPARE(velocity->text(QAccessible::Name), u"49.74"_s);
  }

  // The picture reads as an image whose description holds every value, table by table and row
  // by row, as the picture shows them.
  void velocitiesPictureDescribesEveryValueInReadingOrder() {
    QAccessibleInterface* picture = Accessible(window_->Image1);
    QCOMPARE(picture->role(), QAccessible::Graphic);
    QCOMPARE(picture->text(QAccessible::Name), u"Recommended and maximum velocities"_s);
    const QString description = picture->text(QAccessible::Description);
    const QStringList lines = description.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2 * (1 + 4));
    QCOMPARE(lines.at(0), u"Recommended Velocities (m/s)."_s);
    QCOMPARE(lines.at(1), u"Main Duct, Rectangular: Residences 3.6, Theaters & Libraries 5, "
                          u"Offices 11.2, Industrial 15.2."_s);
    QCOMPARE(lines.at(4), u"Branch Duct, Round: Residences 3, Theaters & Libraries 3, "
                          u"Offices 10.2, Industrial 15.2."_s);
    QCOMPARE(lines.at(5), u"Maximum Velocities (m/s)."_s);
    QCOMPARE(lines.at(7), u"Main Duct, Round: Residences 6, Theaters & Libraries 10.6, "
                          u"Offices 16.2, Industrial 32."_s);
    // Every value the drawing tool draws, in the order it draws them.
    qsizetype from = 0;
    for (const Velocities::VelocityTable& table : Velocities::Tables) {
      for (const auto& row : table.Values) {
        for (const char* value : row) {
          const qsizetype at =
              description.indexOf(QLatin1Char(' ') + QString::fromUtf8(value), from);
          QVERIFY2(at >= 0, value);
          from = at + 1;
        }
      }
    }
  }

  void aboutWindowReadsItsFourLines() {
    TFormAbout about(window_.get());
    QAccessibleInterface* memo = Accessible(about.MemoAbout);
    QVERIFY(memo->textInterface() != nullptr);
    const QString text = memo->textInterface()->text(0, memo->textInterface()->characterCount());
    QCOMPARE(text.split(QRegularExpression(u"[\n\u2029]"_s)),
             about.MemoAbout->toPlainText().split(QLatin1Char('\n')));
    QCOMPARE(text.split(QRegularExpression(u"[\n\u2029]"_s)).size(), 4);
    QCOMPARE(Accessible(&about)->text(QAccessible::Name), about.windowTitle());
  }

  // The real box, opened by a failing calculation, names its caption and reads its text.
  void failureBoxReadsTheFailure() {
    SetFailurePresenter({});
    SetApplicationTitle(u"Gustrule"_s);
    QStringList read;
    QString caption;
    const ModalWatch watch([&](QWidget* box) {
      caption = Accessible(box)->text(QAccessible::Name);
      read = Texts(Accessible(box));
    });
    window_->PageControl->setCurrentIndex(1);
    window_->EditRectSideA->setCursorPosition(0);
    QTest::keyClick(window_->EditRectSideA, Qt::Key_Minus); // -212 mm: a division by zero
    QVERIFY2(watch.Seen(), "no failure box");
    QCOMPARE(caption, u"Gustrule"_s);
    QVERIFY2(read.contains(u"Floating point division by zero."_s), qPrintable(read.join(u'|')));
  }

private:
  std::unique_ptr<TQuellbornDuct> window_;
};

QTEST_MAIN(WindowAccessibilityTest)
#include "WindowAccessibilityTest.moc"
