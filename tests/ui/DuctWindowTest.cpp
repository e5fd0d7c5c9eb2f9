// Types into the real main window (offscreen) and checks what the grids show.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

#include "ApplicationTitle.h"
#include "CellGrid.h"
#include "Constants.h"
#include "Conversions.h"
#include "Duct.h"
#include "FailureReport.h"
#include "GridSink.h"
#include "NumberText.h"
#include "RectDuct.h"
#include "RoundDuct.h"
#include "TextGrid.h"
#include "WindowTestSteps.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList Texts(const gustrule::CellGrid& grid, int row) {
  QStringList cells;
  for (int column = 0; column < grid.Columns(); ++column) {
    cells << QString::fromStdString(grid.Cell(column, row));
  }
  return cells;
}

QStringList Split(const char* cells) {
  return QString::fromUtf8(cells).split(QLatin1Char('|'));
}

} // namespace

class DuctWindowTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();

  void startUpFillsTheFirstTwoGridsOnly();
  void keystrokeRecalculatesOnlyItsOwnGrid_data();
  void keystrokeRecalculatesOnlyItsOwnGrid();
  void lengthLimitsRefuseTypingAndCutPastes_data();
  void lengthLimitsRefuseTypingAndCutPastes();
  void flexibleEmptiesTheBendColumnsAndSpiralRefillsThem();
  void clickingTheSelectedChoiceRunsNothing();
  void unitPickedFromTheListOrTypedConverts();
  void zeroFlowReportsEachKeystrokeAndKeepsTheGrid();
  void rectangularFailureKeepsTheRow();
  void rowMoveThenRecalculationWritesFixedRows();
  void unlimitedTextFieldsTakeLongPastesWhole_data();
  void unlimitedTextFieldsTakeLongPastesWhole();
  void wheelChangesTheUnitOnlyWithFocus_data();
  void wheelChangesTheUnitOnlyWithFocus();
  void focusFromKeyboardSelectsTheWholeText();
  void failureBoxShowsTitleTextAndStopIcon();
  void failureTextAddsAFullStop_data();
  void failureTextAddsAFullStop();
  void applicationTitleFromFileName_data();
  void applicationTitleFromFileName();
  void copyPutsHeadingAndSelectedRowsOnTheClipboard();
  void pickedSizeStaysPickedThroughRowMovesAndRecalculation();
  void calculationsWriteUtf8TextsIntoTheGrids_data();
  void calculationsWriteUtf8TextsIntoTheGrids();
  void closeMenuClosesTheWindow();

private:
  std::unique_ptr<TQuellbornDuct> window_;
  QStringList reports_;
};

void DuctWindowTest::init() {
  reports_.clear();
  SetFailurePresenter([this](const QString&, const QString& text) { reports_ << text; });
  window_ = std::make_unique<TQuellbornDuct>();
  QVERIFY(ShowAndWait(*window_));
}

void DuctWindowTest::cleanup() {
  window_.reset();
  SetFailurePresenter({});
}

void DuctWindowTest::startUpFillsTheFirstTwoGridsOnly() {
  auto& w = *window_;
  QCOMPARE(RowOf(w.SGRoundDuct, 1),
           Split("Ø (mm)|Vel (m/s)|dP Pa/m|Total dP (Pa)|Vel Press (Pa)|90° R/D=0.5|90° R/D=1|"
                 "60° R/D=0.5|60° R/D=1|45° R/D=0.5|45° R/D=1|30° R/D=0.5|30° R/D=1"));
  QCOMPARE(RowOf(w.SGRoundDuct, 2),
           Split("80|36.55|222.5|222.5|804.0|578.9|176.9|451.5|138.0|347.3|106.1|260.5|79.6"));
  QCOMPARE(w.SGRoundDuct->Cell(0, 24), QStringLiteral("1500"));
  QCOMPARE(RowOf(w.SGRectDuct, 1),
           Split("Eqiv Ø (mm)|Vel (m/s)|dP Pa/m|Total dP (Pa)|Vel Press (Pa)"));
  QCOMPARE(RowOf(w.SGRectDuct, 2), Split("233|4.09|1.0|1.0|10.1"));
  QCOMPARE(RowOf(w.SGconversions, 1), Split("l/s|m³/s|m³/min|m³/hr"));
  QCOMPARE(RowOf(w.SGconversions, 2), Split("|||"));
  QCOMPARE(w.ComboBoxVFUnits->currentText(), QStringLiteral("Select Volume Units"));
  QCOMPARE(w.ComboBoxVFUnits->currentIndex(), -1);
  QCOMPARE(w.ComboBoxVFUnits->count(), 4);
  QCOMPARE(w.PageControl->currentIndex(), 0);
  QVERIFY(reports_.isEmpty());
}

void DuctWindowTest::keystrokeRecalculatesOnlyItsOwnGrid_data() {
  QTest::addColumn<QString>("edit");
  QTest::addColumn<int>("page");
  QTest::addColumn<QString>("typed");
  QTest::newRow("volume on the round page") << "EditRoundVolume" << 0 << "250";
  QTest::newRow("length on the round page") << "EditRoundLength" << 0 << "2";
  QTest::newRow("flow on the rectangular page") << "EditRectAirVol" << 1 << "500";
  QTest::newRow("side A") << "EditRectSideA" << 1 << "300";
  QTest::newRow("side B") << "EditRectSideB" << 1 << "150";
  QTest::newRow("rectangular length") << "EditRectLength" << 1 << "7";
  QTest::newRow("conversion value") << "EditVolConv" << 3 << "9";
}

void DuctWindowTest::keystrokeRecalculatesOnlyItsOwnGrid() {
  QFETCH(QString, edit);
  QFETCH(int, page);
  QFETCH(QString, typed);
  auto& w = *window_;
  w.ComboBoxVFUnits->setEditText(QStringLiteral("l/s")); // from code: runs nothing
  const QList<TextGrid*> grids = {w.SGRoundDuct, w.SGRectDuct, w.SGconversions};
  QList<QStringList> before;
  for (TextGrid* grid : grids) {
    before << AllCells(grid);
  }
  w.PageControl->setCurrentIndex(page);
  auto* box = w.findChild<QLineEdit*>(edit);
  QVERIFY2(box != nullptr, "edit boxes carry their names");
  box->setFocus(Qt::MouseFocusReason);
  box->selectAll();
  QTest::keyClicks(box, typed);

  gustrule::SharedConstants constants;
  gustrule::SetSharedConstants(constants);
  const int own = page == 0 ? 0 : page == 1 ? 1 : 2;
  if (own == 0) {
    gustrule::CellGrid expected(13, 25);
    gustrule::RoundDuctCalc(constants, w.EditRoundVolume->text().toStdString(),
                            w.EditRoundLength->text().toStdString(), gustrule::DuctMaterials[0],
                            expected);
    for (int row = 2; row <= 24; ++row) {
      QCOMPARE(RowOf(w.SGRoundDuct, row), Texts(expected, row));
    }
  } else if (own == 1) {
    gustrule::CellGrid expected(5, 3);
    gustrule::RectDuctCalc(
        constants, w.EditRectAirVol->text().toStdString(), w.EditRectSideA->text().toStdString(),
        w.EditRectSideB->text().toStdString(), w.EditRectLength->text().toStdString(), expected);
    QCOMPARE(RowOf(w.SGRectDuct, 2), Texts(expected, 2));
  } else {
    gustrule::CellGrid expected(4, 3);
    gustrule::Conversions conversions;
    conversions.Calc(w.EditVolConv->text().toStdString(), "l/s", expected);
    QCOMPARE(RowOf(w.SGconversions, 2), Texts(expected, 2));
  }
  QVERIFY(AllCells(grids[own]) != before[own]);
  for (int other = 0; other < 3; ++other) {
    if (other != own) {
      QCOMPARE(AllCells(grids[other]), before[other]);
    }
  }
}

void DuctWindowTest::lengthLimitsRefuseTypingAndCutPastes_data() {
  QTest::addColumn<QString>("edit");
  QTest::addColumn<int>("limit");
  QTest::newRow("round volume") << "EditRoundVolume" << 6;
  QTest::newRow("round length") << "EditRoundLength" << 4;
  QTest::newRow("rectangular flow") << "EditRectAirVol" << 6;
  QTest::newRow("side A") << "EditRectSideA" << 6;
  QTest::newRow("side B") << "EditRectSideB" << 6;
  QTest::newRow("rectangular length") << "EditRectLength" << 4;
  QTest::newRow("conversion value has no limit") << "EditVolConv" << -1;
}

void DuctWindowTest::lengthLimitsRefuseTypingAndCutPastes() {
  QFETCH(QString, edit);
  QFETCH(int, limit);
  auto* box = window_->findChild<QLineEdit*>(edit);
  QVERIFY(box != nullptr);
  window_->PageControl->setCurrentWidget(box->parentWidget()->parentWidget()->parentWidget());
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("123456789012"));
  QCOMPARE(box->text().size(), limit < 0 ? 12 : limit);

  QApplication::clipboard()->setText(QStringLiteral("98765432109876"));
  box->selectAll();
  QTest::keySequence(box, QKeySequence::Paste);
  QCOMPARE(box->text(), QStringLiteral("98765432109876").left(limit < 0 ? 14 : limit));
}

void DuctWindowTest::flexibleEmptiesTheBendColumnsAndSpiralRefillsThem() {
  auto& w = *window_;
  QTest::mouseClick(w.RadioGroupDTChoice(1), Qt::LeftButton);
  QCOMPARE(w.RadioGroupDTItemIndex(), 1);
  QCOMPARE(RowOf(w.SGRoundDuct, 2), Split("80|36.55|634.3|634.3|804.0||||||||"));
  QCOMPARE(RowOf(w.SGRoundDuct, 9), Split("300|2.60|0.5|0.5|4.1||||||||"));
  QCOMPARE(w.SGRoundDuct->Cell(5, 1), QStringLiteral("90° R/D=0.5"));
  QTest::mouseClick(w.RadioGroupDTChoice(0), Qt::LeftButton);
  QCOMPARE(RowOf(w.SGRoundDuct, 2),
           Split("80|36.55|222.5|222.5|804.0|578.9|176.9|451.5|138.0|347.3|106.1|260.5|79.6"));
}

void DuctWindowTest::clickingTheSelectedChoiceRunsNothing() {
  auto& w = *window_;
  w.SGRoundDuct->SetCell(1, 2, QStringLiteral("marker"));
  QTest::mouseClick(w.RadioGroupDTChoice(0), Qt::LeftButton);
  QCOMPARE(w.SGRoundDuct->Cell(1, 2), QStringLiteral("marker"));
  QTest::mouseClick(w.RadioGroupDTChoice(1), Qt::LeftButton);
  QCOMPARE(w.SGRoundDuct->Cell(1, 2), QStringLiteral("36.55"));
}

void DuctWindowTest::unitPickedFromTheListOrTypedConverts() {
  auto& w = *window_;
  w.PageControl->setCurrentIndex(3);
  w.ComboBoxVFUnits->setFocus();
  QTest::keyClick(w.ComboBoxVFUnits, Qt::Key_Down); // picks the first item, "l/s"
  QCOMPARE(w.ComboBoxVFUnits->currentText(), QStringLiteral("l/s"));
  QCOMPARE(RowOf(w.SGconversions, 2), Split("183.70|0.18|11.02|661.32"));

  // A typed text recalculates on every keystroke with whatever stands there.
  QLineEdit* field = w.ComboBoxVFUnits->lineEdit();
  field->selectAll();
  QTest::keyClicks(field, QStringLiteral("m3/s"));
  QCOMPARE(w.ComboBoxVFUnits->currentText(), QStringLiteral("m3/s"));
  QCOMPARE(w.ComboBoxVFUnits->count(), 4);
  QCOMPARE(RowOf(w.SGconversions, 2), Split("183.70|0.18|11.02|661.32"));
  w.EditVolConv->selectAll();
  QTest::keyClicks(w.EditVolConv, QStringLiteral("200"));
  QCOMPARE(RowOf(w.SGconversions, 2), Split("183.70|0.18|11.02|661.32"));
  QTest::keyClick(field, Qt::Key_Return); // Enter inserts nothing
  QCOMPARE(w.ComboBoxVFUnits->count(), 4);

  field->selectAll();
  QTest::keyClicks(field, QStringLiteral("m³/hr"));
  QCOMPARE(RowOf(w.SGconversions, 2), Split("55.56|0.06|3.33|200.00"));
}

void DuctWindowTest::zeroFlowReportsEachKeystrokeAndKeepsTheGrid() {
  auto& w = *window_;
  const QStringList before = AllCells(w.SGRoundDuct);
  w.EditRoundVolume->setFocus();
  w.EditRoundVolume->selectAll();
  QTest::keyClick(w.EditRoundVolume, Qt::Key_0);
  QCOMPARE(reports_, QStringList{QStringLiteral("Floating point division by zero.")});
  QCOMPARE(AllCells(w.SGRoundDuct), before);
  QTest::keyClick(w.EditRoundVolume, Qt::Key_Period);
  QCOMPARE(reports_.size(), 2);
  QTest::keyClick(w.EditRoundVolume, Qt::Key_5);
  QCOMPARE(reports_.size(), 2);
  QCOMPARE(w.SGRoundDuct->Cell(1, 2), QStringLiteral("0.10")); // 0.5 l/s through 80 mm
  // A lone minus reads as the fallback; the second keystroke of -5 is invalid.
  w.EditRoundVolume->selectAll();
  QTest::keyClicks(w.EditRoundVolume, QStringLiteral("-"));
  QCOMPARE(reports_.size(), 2);
  QTest::keyClicks(w.EditRoundVolume, QStringLiteral("5"));
  QCOMPARE(reports_.last(), QStringLiteral("Invalid floating point operation."));
  // Each keystroke ran the calculation at once, and nothing runs it again later.
  QTest::qWait(20);
  QCOMPARE(reports_.size(), 3);
}

void DuctWindowTest::rectangularFailureKeepsTheRow() {
  auto& w = *window_;
  w.PageControl->setCurrentIndex(1);
  w.EditRectSideA->setFocus();
  w.EditRectSideA->setCursorPosition(0);
  QTest::keyClick(w.EditRectSideA, Qt::Key_Minus);
  QCOMPARE(reports_, QStringList{QStringLiteral("Floating point division by zero.")});
  QCOMPARE(RowOf(w.SGRectDuct, 2), Split("233|4.09|1.0|1.0|10.1"));
  w.EditRectAirVol->selectAll();
  QTest::keyClick(w.EditRectAirVol, Qt::Key_0);
  QCOMPARE(RowOf(w.SGRectDuct, 2), Split("?...|?...|?...|?...|?..."));
  QCOMPARE(reports_.size(), 1);
}

void DuctWindowTest::rowMoveThenRecalculationWritesFixedRows() {
  auto& w = *window_;
  const QStringList headings = RowOf(w.SGRoundDuct, 1);
  w.SGRoundDuct->MoveRow(1, 10); // the heading row is pinned
  w.SGRoundDuct->MoveRow(20, 1); // and nothing lands above it
  QCOMPARE(RowOf(w.SGRoundDuct, 1), headings);
  w.SGRoundDuct->MoveRow(20, 3);
  QCOMPARE(w.SGRoundDuct->Cell(0, 3), QStringLiteral("1000"));
  QTest::keyClick(w.EditRoundLength, Qt::Key_Backspace);
  QTest::keyClick(w.EditRoundLength, Qt::Key_2);
  gustrule::SharedConstants constants;
  gustrule::SetSharedConstants(constants);
  gustrule::CellGrid expected(13, 25);
  gustrule::RoundDuctCalc(constants, "183.7", "2", gustrule::DuctMaterials[0], expected);
  for (int row = 2; row <= 24; ++row) {
    QCOMPARE(RowOf(w.SGRoundDuct, row), Texts(expected, row));
  }
  QCOMPARE(RowOf(w.SGRoundDuct, 1), headings);
}

void DuctWindowTest::unlimitedTextFieldsTakeLongPastesWhole_data() {
  QTest::addColumn<bool>("unitField"); // else the value box
  QTest::newRow("conversion value") << false;
  QTest::newRow("unit text") << true;
}

void DuctWindowTest::unlimitedTextFieldsTakeLongPastesWhole() {
  QFETCH(bool, unitField);
  auto& w = *window_;
  w.PageControl->setCurrentIndex(3);
  w.ComboBoxVFUnits->setEditText(QStringLiteral("l/s"));
  QLineEdit* field = unitField ? w.ComboBoxVFUnits->lineEdit() : w.EditVolConv;
  // Beyond Qt's default limit of 32,767 characters; cut there, the value would be all blanks.
  const QString pasted = QString(40000, QLatin1Char(' ')) + (unitField ? u"m³/s"_s : u"1.5"_s);
  QApplication::clipboard()->setText(pasted);
  const QStringList before = RowOf(w.SGconversions, 2);
  field->setFocus();
  field->selectAll();
  QTest::keySequence(field, QKeySequence::Paste);
  QCOMPARE(field->text().size(), pasted.size());
  // A unit with blanks matches none, so the results stay as they were.
  QCOMPARE(RowOf(w.SGconversions, 2), unitField ? before : Split("1.50|0.00|0.09|5.40"));
}

void DuctWindowTest::wheelChangesTheUnitOnlyWithFocus_data() {
  QTest::addColumn<bool>("focused");
  QTest::newRow("without focus the wheel passes by") << false;
  QTest::newRow("with focus it picks the next unit") << true;
}

void DuctWindowTest::wheelChangesTheUnitOnlyWithFocus() {
  QFETCH(bool, focused);
  auto& w = *window_;
  w.PageControl->setCurrentIndex(3);
  w.ComboBoxVFUnits->setCurrentIndex(0);
  (focused ? static_cast<QWidget*>(w.ComboBoxVFUnits) : w.EditVolConv)->setFocus();
  const QStringList before = RowOf(w.SGconversions, 2);
  const QPoint at = w.ComboBoxVFUnits->rect().center();
  QWheelEvent wheel(at, w.ComboBoxVFUnits->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w.ComboBoxVFUnits, &wheel);
  QCOMPARE(w.ComboBoxVFUnits->currentText(), focused ? u"m³/s"_s : u"l/s"_s);
  QCOMPARE(RowOf(w.SGconversions, 2),
           focused ? Split("183700.00|183.70|11022.00|661320.00") : before);
}

void DuctWindowTest::focusFromKeyboardSelectsTheWholeText() {
  auto& w = *window_;
  w.EditRoundVolume->setFocus(Qt::TabFocusReason);
  QCOMPARE(w.EditRoundVolume->selectedText(), QStringLiteral("183.7"));
  w.EditRoundLength->setFocus(Qt::OtherFocusReason);
  QCOMPARE(w.EditRoundLength->selectedText(), QStringLiteral("1"));
  w.EditRoundVolume->deselect();
  QTest::mouseClick(w.EditRoundVolume, Qt::LeftButton);
  QVERIFY(w.EditRoundVolume->selectedText().isEmpty());
}

void DuctWindowTest::failureBoxShowsTitleTextAndStopIcon() {
  SetFailurePresenter({}); // the real box
  SetApplicationTitle(QStringLiteral("Gustrule"));
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  bool modal = false;
  const ModalWatch watch([&](QWidget* open) {
    auto* box = qobject_cast<QMessageBox*>(open);
    QVERIFY(box != nullptr);
    caption = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    modal = !window_->isEnabled() || box->windowModality() == Qt::ApplicationModal;
    QTest::keyClick(box, Qt::Key_Return);
  });
  ReportFailure(gustrule::EOverflow());
  QVERIFY2(watch.Seen(), "the failure box did not appear");
  QVERIFY(modal);
  QCOMPARE(caption, QStringLiteral("Gustrule"));
  QCOMPARE(text, QStringLiteral("Floating point overflow."));
  QCOMPARE(icon, QMessageBox::Critical);
  QCOMPARE(buttons, 1);
}

void DuctWindowTest::failureTextAddsAFullStop_data() {
  QTest::addColumn<QString>("message");
  QTest::addColumn<QString>("shown");
  QTest::newRow("ends in a letter") << "Floating point overflow"
                                    << "Floating point overflow.";
  QTest::newRow("ends in a full stop") << "Done."
                                       << "Done.";
  QTest::newRow("ends in an exclamation mark") << "Stop!"
                                               << "Stop!";
  QTest::newRow("ends in a bracket") << "(x)"
                                     << "(x)";
  QTest::newRow("ends in a blank") << "x "
                                   << "x ";
  QTest::newRow("ends in a slash") << "a/"
                                   << "a/.";
  QTest::newRow("empty") << ""
                         << "";
}

void DuctWindowTest::failureTextAddsAFullStop() {
  QFETCH(QString, message);
  QFETCH(QString, shown);
  QCOMPARE(QString::fromStdString(gustrule::FailureText(message.toStdString())), shown);
}

void DuctWindowTest::applicationTitleFromFileName_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("title");
  QTest::newRow("capitals and extension") << "C:/Tools/SIZER.EXE"
                                          << "Sizer";
  QTest::newRow("cut at the first dot") << "My.Tool.exe"
                                        << "My";
  QTest::newRow("Linux program") << "/usr/bin/gustrule"
                                 << "gustrule";
  QTest::newRow("first character kept") << "./gUSTRULE"
                                        << "gustrule";
  QTest::newRow("one character") << "x"
                                 << "x";
}

void DuctWindowTest::applicationTitleFromFileName() {
  QFETCH(QString, path);
  QFETCH(QString, title);
  QCOMPARE(DeriveApplicationTitle(path), title);
}

void DuctWindowTest::calculationsWriteUtf8TextsIntoTheGrids_data() {
  QTest::addColumn<QByteArray>("utf8");
  QTest::addColumn<QString>("text");
  QTest::newRow("diameter sign") << QByteArray("Ø 200") << QStringLiteral("Ø 200");
  QTest::newRow("superscript three") << QByteArray("m³/h") << QStringLiteral("m³/h");
  QTest::newRow("degree sign") << QByteArray("90°") << QStringLiteral("90°");
}

void DuctWindowTest::calculationsWriteUtf8TextsIntoTheGrids() {
  QFETCH(QByteArray, utf8);
  QFETCH(QString, text);
  TextGrid grid(3, 4);
  GridSink sink(grid);
  sink.SetCell(2, 3, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
  QCOMPARE(grid.Cell(2, 3), text);
  QVERIFY_THROWS_EXCEPTION(std::out_of_range, sink.SetCell(3, 0, "x"));
}

void DuctWindowTest::copyPutsHeadingAndSelectedRowsOnTheClipboard() {
  auto& w = *window_;
  w.SGRoundDuct->setFocus();
  w.SGRoundDuct->SelectRows(2, 3);
  QTest::keySequence(w.SGRoundDuct, QKeySequence::Copy);
  const QStringList lines =
      QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  QCOMPARE(lines.size(), 3);
  QVERIFY(lines[0].startsWith(QStringLiteral("Ø (mm)\tVel (m/s)\t")));
  QVERIFY(lines[1].startsWith(QStringLiteral("80\t36.55\t222.5\t")));
  QVERIFY(lines[2].startsWith(QStringLiteral("100\t23.39\t")));
}

void DuctWindowTest::pickedSizeStaysPickedThroughRowMovesAndRecalculation() {
  TextGrid* grid = window_->SGRoundDuct;
  QWidget* cells = grid->viewport();
  const auto centre = [grid](int column, int row) { return grid->CellRect(column, row).center(); };
  const auto copied = [grid] {
    grid->setFocus();
    QTest::keySequence(grid, QKeySequence::Copy);
    return QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
  };
  QTest::mouseClick(cells, Qt::LeftButton, {}, centre(1, 5)); // the 150 mm row
  QTest::mousePress(cells, Qt::LeftButton, {}, centre(0, 5)); // dragged five rows down
  QTest::mouseMove(cells, centre(0, 10));
  QTest::mouseRelease(cells, Qt::LeftButton, {}, centre(0, 10));
  QCOMPARE(grid->SelectedRows(), QList<int>{10});
  QCOMPARE(copied().value(1), RowOf(grid, 10).join(u'\t'));
  QCOMPARE(grid->Cell(0, 10), u"150"_s);

  // The next calculation writes the sizes in their order again; 150 mm stands in row 5.
  window_->EditRoundLength->setFocus();
  QTest::keyClick(window_->EditRoundLength, Qt::Key_2);
  QCOMPARE(grid->SelectedRows(), QList<int>{5});
  const QStringList lines = copied();
  QCOMPARE(lines.size(), 2);
  QCOMPARE(lines[1], RowOf(grid, 5).join(u'\t'));
  QVERIFY(lines[1].startsWith(u"150\t"_s));
}

void DuctWindowTest::closeMenuClosesTheWindow() {
  window_->Close1->trigger();
  QVERIFY(!window_->isVisible());
}

QTEST_MAIN(DuctWindowTest)
#include "DuctWindowTest.moc"
