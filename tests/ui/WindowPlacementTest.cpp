// Where the main window's outer frame goes on the screen (the arithmetic), and that a window
// without a frame is centred before it is first shown.
#include <QScreen>
#include <QtTest>

#include "WindowPlacement.h"

class WindowPlacementTest : public QObject {
  Q_OBJECT

private slots:
  void frameIsCentredOrKeptAtTheTopLeft_data() {
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("fits: centred")
        << QSize(608, 570) << QRect(0, 0, 1280, 1024) << QPoint(336, 227);
    QTest::newRow("an odd pixel left over goes right and below")
        << QSize(607, 565) << QRect(0, 0, 1280, 1024) << QPoint(336, 229);
    QTest::newRow("exactly as large") << QSize(800, 600) << QRect(0, 0, 800, 600) << QPoint(0, 0);
    QTest::newRow("area below a top panel, on a second screen")
        << QSize(100, 100) << QRect(1280, 24, 1280, 1000) << QPoint(1870, 474);
    QTest::newRow("taller than the area: title bar at its top")
        << QSize(1216, 1110) << QRect(0, 0, 1280, 1024) << QPoint(32, 0);
    QTest::newRow("wider than the area: left edge at its left")
        << QSize(700, 300) << QRect(10, 20, 640, 480) << QPoint(10, 110);
    QTest::newRow("larger both ways") << QSize(700, 600) << QRect(0, 30, 640, 450) << QPoint(0, 30);
  }
  void frameIsCentredOrKeptAtTheTopLeft() {
    QFETCH(QSize, frame);
    QFETCH(QRect, available);
    QFETCH(QPoint, topLeft);
    QCOMPARE(CentredFramePosition(frame, available), topLeft);
  }

  void windowWithoutAFrameIsCentredBeforeItShows() {
    QWidget window;
    window.setFixedSize(300, 200);
    CentreOnScreen(&window);
    const QRect available = window.screen()->availableGeometry();
    QCOMPARE(window.pos(), CentredFramePosition(QSize(300, 200), available));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.frameGeometry().topLeft(), CentredFramePosition(QSize(300, 200), available));
  }
};

QTEST_MAIN(WindowPlacementTest)
#include "WindowPlacementTest.moc"
