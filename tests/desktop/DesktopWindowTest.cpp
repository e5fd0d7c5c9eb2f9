// The main window on a real X server with a window manager, driven by real X input (xdotool's
// pointer moves, clicks and wheel turns): what the offscreen tests cannot see. Runs under
// tools/desktop-session.sh --wm on Qt's xcb platform.
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
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
// A hint wakes 500 ms after the pointer comes to rest and lasts 2500 ms. Qt's timers may fire a
// little early; a loaded machine delivers the events late.
constexpr int kSoonestHintMs = 400;
constexpr int kHintMs = 2500;
constexpr int kHintSlackMs = 400;
constexpr int kHintGoneBeforeMs = 4000;
constexpr int kStepMs = 400; // the pointer moves on this often
constexpr int kPollMs = 20;

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

// Where the hint window stands on the screen; a null point while none shows.
QPoint HintPlace() {
  for (const QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == u"qtooltip_label"_s && top->isVisible()) {
      return top->pos();
    }
  }
  return {};
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

  void hintShowsOncePerVisitForTwoAndAHalfSeconds_data();
  void hintShowsOncePerVisitForTwoAndAHalfSeconds();
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
  const auto& w = *window_;
  QTRY_VERIFY_WITH_TIMEOUT(w.Panel1->underMouse() && !w.RadioGroupDT->underMouse() &&
                               !w.GroupBox1->underMouse() && !w.GroupBox2->underMouse(),
                           kDeadlineMs);
}

void DesktopWindowTest::hintShowsOncePerVisitForTwoAndAHalfSeconds_data() {
  QTest::addColumn<QStringList>("path"); // items of one box; "" is the box beside its items
  QTest::addColumn<QString>("hint");
  QTest::newRow("duct type") << QStringList{u"Spiral"_s, u"Flexible"_s, u""_s}
                             << "Flexible fully extended";
  QTest::newRow("flow") << QStringList{u"EditRoundVolume"_s, u"LabelRoundLPS"_s, u""_s}
                        << "Litres per Second";
}

void DesktopWindowTest::hintShowsOncePerVisitForTwoAndAHalfSeconds() {
  QFETCH(QStringList, path);
  QFETCH(QString, hint);
  QWidget* area = Item(*window_, path.front())->parentWidget();
  const auto visit = [&](const QString& item) {
    if (item.isEmpty()) { // right of every item, inside the box's frame
      Xdotool(MoveTo(area, {area->width() - 5, area->height() / 2}));
      QTRY_VERIFY_WITH_TIMEOUT(area->underMouse(), kDeadlineMs);
    } else {
      PointAt(Item(*window_, item));
    }
  };
  QElapsedTimer clock;
  visit(path.front());
  clock.start();
  QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), kDeadlineMs);
  QVERIFY2(clock.elapsed() >= kSoonestHintMs, qPrintable(QString::number(clock.elapsed())));
  QCOMPARE(QToolTip::text(), hint);
  const QPoint place = HintPlace();
  clock.restart();

  // Moving on within the box neither moves the hint nor keeps it; nor does it bring it back.
  qint64 goneAfter = -1;
  for (qsizetype step = 1; clock.elapsed() < kHintGoneBeforeMs; ++step) {
    visit(path[step % path.size()]);
    QDeadlineTimer next(kStepMs);
    while (!next.hasExpired()) {
      if (!QToolTip::isVisible()) {
        goneAfter = goneAfter < 0 ? clock.elapsed() : goneAfter;
      } else {
        QVERIFY2(goneAfter < 0, "the hint showed again within the same visit");
        QCOMPARE(HintPlace(), place);
      }
      QTest::qWait(kPollMs);
    }
  }
  QVERIFY2(goneAfter >= kHintMs - kHintSlackMs && goneAfter <= kHintMs + kHintSlackMs,
           qPrintable(u"gone after %1 ms"_s.arg(goneAfter)));

  // Back onto the box after leaving it, the hint shows again.
  PointAtPanel();
  visit(path.front());
  QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), kDeadlineMs);
  QCOMPARE(QToolTip::text(), hint);
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
