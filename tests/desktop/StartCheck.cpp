// The program's real start-up (RunGustrule) on a real X server, checked from inside once the
// window has been painted:
// - the command line changes nothing: Qt's own options passed to this program (-reverse,
//   -style, -stylesheet, -geometry, -qwindowtitle, ...) must leave the window of a plain start;
// - the number boxes start in the user's decimal separator and the first tables are the
//   designed ones;
// - the outer frame ends centred on the screen's available area, within a pixel (a scaled pixel
//   where Qt scales), as the X server and the window manager report it, and is never seen off
//   the area's top or left edge.
// The environment says what to expect: GUSTRULE_EXPECTED_SEPARATOR the locale's separator ("."
// when unset); GUSTRULE_EXPECT_FRAME=1 that a window manager frames the window, so the check
// waits for the frame; GUSTRULE_EXPECTED_RATIO the device pixels per window pixel (1 when unset),
// which only the user's own scale factors change. Exit status 0 when everything holds; otherwise
// each fault is printed and the status is 1.
#include <QApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Appearance.h"
#include "Duct.h"
#include "Startup.h"
#include "TextGrid.h"
#include "WindowTestSteps.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kDeadlineMs = 30000; // for the window manager's frame and the final placement
constexpr int kPollMs = 100;
constexpr int kToolMs = 10000;

// What a "." locale shows at start for 183.7 l/s, 1 m, spiral duct, 212 x 212 mm.
const QString kFirstRoundRow =
    u"80|36.55|222.5|222.5|804.0|578.9|176.9|451.5|138.0|347.3|106.1|260.5|79.6"_s;
const QString kRectangularRow = u"233|4.09|1.0|1.0|10.1"_s;

int faults = 0;

void Expect(bool holds, const QString& what) {
  if (!holds) {
    ++faults;
    std::fprintf(stderr, "FAIL: %s\n", qPrintable(what));
  }
}

// The whole numbers a tool prints after `label` (after "=" for xprop, ":" for xwininfo).
QList<int> Numbers(const QString& program, const QStringList& arguments, const QString& label) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(kToolMs);
  const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
  const QRegularExpression line(QRegularExpression::escape(label) + u"[:=]([-\\d, ]+)"_s);
  QList<int> numbers;
  for (const QString& number : line.match(output).captured(1).split(u',', Qt::SkipEmptyParts)) {
    numbers << number.trimmed().toInt();
  }
  return numbers;
}

// Where the X server has the window's outer frame and the available area, in device pixels.
struct XPlacement {
  QRect frame;
  QRect area;
  bool framed = false;
  QString Describe() const {
    QString text;
    QDebug(&text).nospace() << "frame " << frame << " on area " << area;
    return text;
  }
};

XPlacement ReadXPlacement(WId window) {
  const QStringList id = {u"-id"_s, QString::number(window)};
  const auto info = [&id](const QString& label) {
    const QList<int> value = Numbers(u"xwininfo"_s, id, label);
    return value.isEmpty() ? 0 : value.front();
  };
  XPlacement placement;
  placement.frame = QRect(info(u"Absolute upper-left X"_s), info(u"Absolute upper-left Y"_s),
                          info(u"Width"_s), info(u"Height"_s));
  // Left, right, top, bottom; not set without a window manager.
  const QList<int> extents = Numbers(u"xprop"_s, id + QStringList{u"_NET_FRAME_EXTENTS"_s},
                                     u"_NET_FRAME_EXTENTS(CARDINAL) "_s);
  if (extents.size() == 4) {
    placement.framed = true;
    placement.frame.adjust(-extents[0], -extents[2], extents[1], extents[3]);
  }
  // X, y, width, height for each desktop; without a window manager, the whole screen.
  const QList<int> workArea =
      Numbers(u"xprop"_s, {u"-root"_s, u"_NET_WORKAREA"_s}, u"_NET_WORKAREA(CARDINAL) "_s);
  placement.area = workArea.size() >= 4
                       ? QRect(workArea[0], workArea[1], workArea[2], workArea[3])
                       : QRect(0, 0, Numbers(u"xwininfo"_s, {u"-root"_s}, u"Width"_s).value(0),
                               Numbers(u"xwininfo"_s, {u"-root"_s}, u"Height"_s).value(0));
  return placement;
}

// Empty when the frame is placed right along one axis: centred within `tolerance` when it fits,
// at the area's start (within `tolerance`) when it does not.
QString AxisFault(const QString& axis, int start, int length, int areaStart, int areaLength,
                  int tolerance) {
  if (start < areaStart) {
    return axis + u" starts before the area"_s;
  }
  if (length <= areaLength) {
    if (start + length > areaStart + areaLength) {
      return axis + u" ends past the area"_s;
    }
    if (std::abs(2 * (start - areaStart) + length - areaLength) > 2 * tolerance) {
      return axis + u" is not centred"_s;
    }
  } else if (start > areaStart + tolerance) {
    return axis + u" is larger than the area but not at its start"_s;
  }
  return {};
}

QString PlacementFault(const XPlacement& placement, int tolerance) {
  const QRect& f = placement.frame;
  const QRect& a = placement.area;
  const QString x = AxisFault(u"x"_s, f.x(), f.width(), a.x(), a.width(), tolerance);
  return x.isEmpty() ? AxisFault(u"y"_s, f.y(), f.height(), a.y(), a.height(), tolerance) : x;
}

void CheckTheWindow(TQuellbornDuct& window, const QString& separator, double ratio) {
  Expect(QCoreApplication::arguments().size() == 1,
         u"the application object saw arguments: "_s + QCoreApplication::arguments().join(u' '));
  Expect(QGuiApplication::layoutDirection() == Qt::LeftToRight &&
             window.layoutDirection() == Qt::LeftToRight,
         u"the layout runs right to left"_s);
  Expect(window.windowTitle() == u"Quellborn Gustrule"_s &&
             window.windowHandle()->title() == u"Quellborn Gustrule"_s,
         u"the title is \""_s + window.windowHandle()->title() + u'"');
  Expect(qobject_cast<ClassicStyle*>(QApplication::style()) != nullptr,
         u"the style is "_s + QApplication::style()->name());
  Expect(qApp->styleSheet().isEmpty(), u"a style sheet is set: "_s + qApp->styleSheet());
  Expect(window.centralWidget()->size() == QSize(606, 526) && window.width() == 606,
         u"the window is %1x%2"_s.arg(window.width()).arg(window.height()));
  Expect(window.devicePixelRatio() == ratio,
         u"%1 device pixels per window pixel"_s.arg(window.devicePixelRatio()));

  const QString flow = u"183"_s + separator + u"7"_s;
  for (const QLineEdit* edit :
       {window.EditRoundVolume, window.EditRectAirVol, window.EditVolConv}) {
    Expect(edit->text() == flow, edit->objectName() + u" starts with "_s + edit->text());
  }
  const QString round = RowOf(window.SGRoundDuct, 2).join(u'|');
  const QString rectangular = RowOf(window.SGRectDuct, 2).join(u'|');
  Expect(round == kFirstRoundRow, u"the first round row is "_s + round);
  Expect(rectangular == kRectangularRow, u"the rectangular row is "_s + rectangular);
}

// Polls the X server until the window stands where it should, or the deadline passes.
void WaitForThePlacement(TQuellbornDuct& window, bool expectFrame) {
  const int tolerance = std::max(1, static_cast<int>(std::ceil(window.devicePixelRatio())));
  auto* poll = new QTimer(&window);
  QElapsedTimer waited;
  waited.start();
  bool seenOff = false;
  QObject::connect(poll, &QTimer::timeout, &window,
                   [&window, poll, waited, expectFrame, tolerance, seenOff]() mutable {
                     const XPlacement placement = ReadXPlacement(window.winId());
                     const QRect& f = placement.frame;
                     if (!seenOff && (f.x() < placement.area.x() || f.y() < placement.area.y())) {
                       seenOff = true;
                       Expect(false, u"seen off the area: "_s + placement.Describe());
                     }
                     const QString fault = PlacementFault(placement, tolerance);
                     const bool ready = placement.framed || !expectFrame;
                     if (ready && fault.isEmpty()) {
                       std::printf("placed: %s\n", qPrintable(placement.Describe()));
                       poll->stop();
                       QApplication::exit(0);
                     } else if (waited.hasExpired(kDeadlineMs)) {
                       Expect(false, (ready ? fault : u"no frame came"_s) + u": "_s +
                                         placement.Describe());
                       poll->stop();
                       QApplication::exit(1);
                     }
                   });
  poll->start(kPollMs);
}

} // namespace

int main(int argc, char* argv[]) {
  const bool expectFrame = qEnvironmentVariable("GUSTRULE_EXPECT_FRAME") == u"1"_s;
  const QString separator = qEnvironmentVariable("GUSTRULE_EXPECTED_SEPARATOR", u"."_s);
  const double ratio = qEnvironmentVariable("GUSTRULE_EXPECTED_RATIO", u"1"_s).toDouble();
  const int status = RunGustrule(argc, argv, [expectFrame, &separator, ratio] {
    TQuellbornDuct* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* duct = qobject_cast<TQuellbornDuct*>(top)) {
        window = duct;
      }
    }
    Expect(window != nullptr, u"no main window"_s);
    if (window == nullptr) {
      QApplication::exit(1);
      return;
    }
    CheckTheWindow(*window, separator, ratio);
    WaitForThePlacement(*window, expectFrame);
  });
  return status == 0 && faults == 0 ? 0 : 1;
}
