// The main window on a real X server with a window manager, driven by real X input (xdotool's
// pointer moves, clicks and wheel turns): what the offscreen tests cannot see. Runs under
// tools/desktop-session.sh --wm on Qt's xcb platform.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolTip>
#include <QWindow>
#include <QtTest>

#include <memory>

#include "Appearance.h"
#include "Duct.h"
#include "FailureReport.h"
#include "TextGrid.h"
#include "WindowTestSteps.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Generous deadlines for a loaded machine; a condition met earlier ends the wait at once.
constexpr int kDeadlineMs = 20000;
// A hint left alone hides 300 ms after the pointer crosses into another item; this is well past
// that and well before the hint's own 2.5 s run out.
constexpr int kWellAfterCrossingMs = 1000;

// Runs xdotool, which sends its input through the X server like a real mouse.
void Xdotool(const QStringList& arguments) {
  QProcess xdotool;
  xdotool.start(u"xdotool"_s, arguments);
  QVERIFY2(xdotool.waitForFinished(kDeadlineMs), "xdotool did not finish");
  QVERIFY2(xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0,
           qPrintable(u"xdotool "_s + arguments.join(u' ') + u": "_s +
                      QString::fromLocal8Bit(xdotool.readAllStandardError())));
}

QStringList MoveTo(const QWidget* widget, QPoint local) {
  const QPoint at = widget->mapToGlobal(local);
  return {u"mousemove"_s, QString::number(at.x()), QString::number(at.y())};
}

QStringList MoveTo(const QWidget* widget) {
  return MoveTo(widget, widget->rect().center());
}

QStringList MoveToCell(const TextGrid* grid, int column, int row) {
  return MoveTo(grid->viewport(), grid->CellRect(column, row).center());
}

} // namespace

class DesktopWindowTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void hintStaysWhileThePointerMovesWithinItsBox_data();
  void hintStaysWhileThePointerMovesWithinItsBox();
  void hintGoesWhenThePointerLeavesItsBox();
  void headingRowStaysFirstWhileSizeRowsMove_data();
  void headingRowStaysFirstWhileSizeRowsMove();
  void rightClickSelectsTheRowUnderThePointer();
  void wheelOverTheUnitListActsOnlyWithFocus_data();
  void wheelOverTheUnitListActsOnlyWithFocus();

private:
  // Moves the pointer onto `widget` and waits until Qt has seen it enter.
  void PointAt(QWidget* widget);
  // A spot on the round page's white panel outside every box: no hint there.
  void PointAtPanel();
  std::unique_ptr<TQuellbornDuct> window_;
};

void DesktopWindowTest::initTestCase() {
  QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
  ApplyClassicLook();
}

void DesktopWindowTest::init() {
  SetFailurePresenter([](const QString&, const QString&) {});
  window_ = std::make_unique<TQuellbornDuct>();
  QVERIFY(ShowAndWait(*window_, Shown::Active));
  // Once framed, the window manager leaves the window where it is; only then do the global
  // positions that the pointer is sent to hold.
  QTRY_VERIFY_WITH_TIMEOUT(!window_->windowHandle()->frameMargins().isNull(), kDeadlineMs);
  PointAtPanel();
}

void DesktopWindowTest::cleanup() {
  if (QWidget* popup = QApplication::activePopupWidget()) {
    popup->close();
  }
  QToolTip::hideText();
  window_.reset();
  SetFailurePresenter({});
}

void DesktopWindowTest::PointAt(QWidget* widget) {
  Xdotool(MoveTo(widget));
  QTRY_VERIFY_WITH_TIMEOUT(widget->underMouse(), kDeadlineMs);
}

void DesktopWindowTest::PointAtPanel() {
  Xdotool(MoveTo(window_->Panel1, {190, 30}));
  QTRY_VERIFY_WITH_TIMEOUT(window_->Panel1->underMouse() && !window_->RadioGroupDT->underMouse(),
                           kDeadlineMs);
}

void DesktopWindowTest::hintStaysWhileThePointerMovesWithinItsBox_data() {
  QTest::addColumn<QString>("from");
  QTest::addColumn<QString>("to");
  QTest::addColumn<QString>("hint");
  QTest::newRow("Spiral onto Flexible") << "Spiral"
                                        << "Flexible"
                                        << "Flexible fully extended";
  QTest::newRow("flow box onto its l/s label") << "EditRoundVolume"
                                               << "LabelRoundLPS"
                                               << "Litres per Second";
  QTest::newRow("length box onto its m label") << "EditRoundLength"
                                               << "LabelRoundDuctLength"
                                               << "Meters";
  QTest::newRow("l/s label back onto the flow box") << "LabelRoundLPS"
                                                    << "EditRoundVolume"
                                                    << "Litres per Second";
}

void DesktopWindowTest::hintStaysWhileThePointerMovesWithinItsBox() {
  QFETCH(QString, from);
  QFETCH(QString, to);
  QFETCH(QString, hint);
  QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), kDeadlineMs);
  PointAt(Item(*window_, from));
  QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), kDeadlineMs);
  QCOMPARE(QToolTip::text(), hint);
  PointAt(Item(*window_, to));
  QTest::qWait(kWellAfterCrossingMs);
  QVERIFY2(QToolTip::isVisible(), "the hint went away within its own box");
  QCOMPARE(QToolTip::text(), hint);
}

void DesktopWindowTest::hintGoesWhenThePointerLeavesItsBox() {
  PointAt(window_->RadioGroupDTChoice(1));
  QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), kDeadlineMs);
  PointAtPanel();
  QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), kDeadlineMs);
}

void DesktopWindowTest::headingRowStaysFirstWhileSizeRowsMove_data() {
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::addColumn<QString>("landed"); // the diameter in row `to` afterwards
  QTest::newRow("the heading row cannot be dragged down") << 1 << 10 << "315";
  QTest::newRow("a size row cannot be dropped onto the heading") << 10 << 1 << "Ø (mm)";
  QTest::newRow("size rows still move among themselves") << 10 << 3 << "315";
}

void DesktopWindowTest::headingRowStaysFirstWhileSizeRowsMove() {
  QFETCH(int, from);
  QFETCH(int, to);
  QFETCH(QString, landed);
  TextGrid* grid = window_->SGRoundDuct;
  const QStringList headings = RowOf(grid, 1);
  QVERIFY(grid->Cell(0, 1) == u"Ø (mm)"_s);
  Xdotool(MoveToCell(grid, 0, from)
          << u"mousedown"_s << u"1"_s << MoveToCell(grid, 0, (from + to) / 2)
          << MoveToCell(grid, 0, to) << u"mouseup"_s << u"1"_s);
  // Clicking a cell afterwards selects its row; once that shows, the drag has been handled too.
  Xdotool(MoveToCell(grid, 2, 20) << u"click"_s << u"1"_s);
  QTRY_COMPARE_WITH_TIMEOUT(grid->SelectionTop(), 20, kDeadlineMs);
  QCOMPARE(grid->Cell(0, to), landed);
  QCOMPARE(RowOf(grid, 1), headings);

  // A recalculation writes the size rows by position and leaves the headings alone.
  window_->EditRoundLength->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(window_->EditRoundLength, u"2"_s);
  QCOMPARE(RowOf(grid, 1), headings);
}

void DesktopWindowTest::rightClickSelectsTheRowUnderThePointer() {
  TextGrid* grid = window_->SGRoundDuct;
  grid->SelectRows(3, 4);
  Xdotool(MoveToCell(grid, 1, 7) << u"click"_s << u"3"_s);
  QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr,
                           kDeadlineMs);
  QCOMPARE(grid->SelectionTop(), 7);
  QCOMPARE(grid->SelectionBottom(), 7);
  Xdotool({u"key"_s, u"Escape"_s});
  QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget() == nullptr, kDeadlineMs);
}

void DesktopWindowTest::wheelOverTheUnitListActsOnlyWithFocus_data() {
  QTest::addColumn<bool>("focused");
  QTest::addColumn<QString>("unit");
  QTest::newRow("passing over it changes nothing") << false << "l/s";
  QTest::newRow("with the focus it picks the next unit") << true << "m³/s";
}

void DesktopWindowTest::wheelOverTheUnitListActsOnlyWithFocus() {
  QFETCH(bool, focused);
  QFETCH(QString, unit);
  auto& w = *window_;
  w.PageControl->setCurrentIndex(3);
  w.ComboBoxVFUnits->setCurrentIndex(0);
  (focused ? static_cast<QWidget*>(w.ComboBoxVFUnits) : w.EditVolConv)->setFocus();
  PointAt(w.ComboBoxVFUnits);
  Xdotool({u"click"_s, u"5"_s}); // one notch of the wheel, towards the user
  // The pointer's arrival on the label comes after the wheel turn, so the turn has been handled.
  PointAt(w.Label2);
  QTRY_COMPARE_WITH_TIMEOUT(w.ComboBoxVFUnits->currentText(), unit, kDeadlineMs);
  QCOMPARE(w.ComboBoxVFUnits->hasFocus(), focused);
}

QTEST_MAIN(DesktopWindowTest)
#include "DesktopWindowTest.moc"
