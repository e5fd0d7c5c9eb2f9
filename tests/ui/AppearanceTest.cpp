// The main window's look and keyboard behaviour: sizes, fonts, positions, menu, hints, tab order
// and page switching.
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QtTest>

#include <memory>

#include "Appearance.h"
#include "Duct.h"
#include "DuctIcon.h"
#include "FailureReport.h"
#include "TextGrid.h"
#include "WindowTestSteps.h"

class AppearanceTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void windowHasFixedClientSizeAndNoMaximise();
  void tabCaptionsAndStartPage();
  void fontsFollowTheDesign_data();
  void fontsFollowTheDesign();
  void itemsStandWhereDesigned_data();
  void itemsStandWhereDesigned();
  void everyControlLiesInsideItsVisibleParent();
  void onlyTheRoundGridScrollsSideways();
  void menuHasTwoMenusOfOneItemEach();
  void sunkenEditBoxesShowTheirLightGreyInnerEdge_data();
  void sunkenEditBoxesShowTheirLightGreyInnerEdge();
  void radioCirclesAndScrollTrackShowTheButtonFace_data();
  void radioCirclesAndScrollTrackShowTheButtonFace();
  void hintsShowOverTheirBoxOnly_data();
  void hintsShowOverTheirBoxOnly();
  void hintsWakeAfterHalfASecondAndStayTwoAndAHalf();
  void tabVisitsEachPageInOrder_data();
  void tabVisitsEachPageInOrder();
  void tabIntoTheRadioGroupLandsOnTheSelectedChoice();
  void ctrlTabWrapsAroundFromAnywhere_data();
  void ctrlTabWrapsAroundFromAnywhere();
  void pageSwitchMovesFocusIntoTheNewPage();

private:
  QWidget* Focused() const { return QApplication::focusWidget(); }
  QString FocusName() const;
  std::unique_ptr<TQuellbornDuct> window_;
};

void AppearanceTest::initTestCase() {
  ApplyClassicLook();
}

void AppearanceTest::init() {
  SetFailurePresenter([](const QString&, const QString&) {});
  window_ = std::make_unique<TQuellbornDuct>();
  QVERIFY(ShowAndWait(*window_, Shown::Active));
}

void AppearanceTest::cleanup() {
  QToolTip::hideText();
  window_.reset();
  SetFailurePresenter({});
}

QString AppearanceTest::FocusName() const {
  QWidget* focused = Focused();
  if (focused == nullptr) {
    return QStringLiteral("(none)");
  }
  if (focused == window_->PageControl->tabBar()) {
    return QStringLiteral("tabs");
  }
  if (focused == window_->RadioGroupDTChoice(0)) {
    return QStringLiteral("Spiral");
  }
  if (focused == window_->RadioGroupDTChoice(1)) {
    return QStringLiteral("Flexible");
  }
  // The combo box's text field stands for the combo box.
  if (focused->parentWidget() == window_->ComboBoxVFUnits) {
    return window_->ComboBoxVFUnits->objectName();
  }
  return focused->objectName();
}

void AppearanceTest::windowHasFixedClientSizeAndNoMaximise() {
  auto& w = *window_;
  QCOMPARE(w.windowTitle(), QStringLiteral("Quellborn Gustrule"));
  QCOMPARE(w.centralWidget()->size(), QSize(606, 526));
  QCOMPARE(w.size(), QSize(606, 526 + w.menuBar()->height()));
  QCOMPARE(w.minimumSize(), w.maximumSize());
  QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
  QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
  // The icon pictures compiled in are the drawing, at each size.
  for (const int size : {32, 64, 128}) {
    const QImage shown = w.windowIcon().pixmap(size, size).toImage();
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32),
             DuctIconPixmap(size).toImage().convertToFormat(QImage::Format_RGB32));
  }
  QCOMPARE(w.PageControl->geometry(), QRect(-1, 0, 610, 529));
  QVERIFY(!w.menuBar()->isNativeMenuBar());
}

void AppearanceTest::tabCaptionsAndStartPage() {
  const QStringList captions = {
      QStringLiteral(" Round Duct "), QStringLiteral(" Rectangular Duct "),
      QStringLiteral(" Recommended Velocities "), QStringLiteral(" Conversions ")};
  QCOMPARE(window_->PageControl->count(), 4);
  for (int i = 0; i < 4; ++i) {
    QCOMPARE(window_->PageControl->tabText(i), captions[i]);
  }
  QCOMPARE(window_->PageControl->currentIndex(), 0);
  QCOMPARE(FocusName(), QStringLiteral("tabs"));
}

void AppearanceTest::fontsFollowTheDesign_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<int>("pixels");
  QTest::addColumn<bool>("bold");
  QTest::newRow("tabs") << "PageControl" << 11 << true;
  QTest::newRow("round page, its own") << "TabSheetRound" << 11 << false;
  QTest::newRow("rectangular page, from the page control") << "TabSheetRectangular" << 11 << true;
  QTest::newRow("duct type") << "RadioGroupDT" << 13 << true;
  QTest::newRow("edit box, from its group box") << "EditRoundVolume" << 13 << true;
  QTest::newRow("unit label") << "LabelRoundLPS" << 11 << true;
  QTest::newRow("round grid") << "SGRoundDuct" << 11 << true;
  QTest::newRow("conversion value, its own") << "EditVolConv" << 11 << true;
  QTest::newRow("unit list") << "ComboBoxVFUnits" << 11 << true;
  QTest::newRow("conversions box") << "GroupBox6" << 13 << true;
}

void AppearanceTest::fontsFollowTheDesign() {
  QFETCH(QString, item);
  QFETCH(int, pixels);
  QFETCH(bool, bold);
  auto* widget = window_->findChild<QWidget*>(item);
  QVERIFY2(widget != nullptr, qPrintable(item));
  const QFontInfo info(widget->font());
  QCOMPARE(info.pixelSize(), pixels);
  QCOMPARE(info.bold(), bold);
  // A missing font package shows here first.
  QCOMPARE(info.family(), QStringLiteral("DejaVu Sans Condensed"));
}

void AppearanceTest::itemsStandWhereDesigned_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<QRect>("geometry"); // an empty size means "sized to its caption"
  QTest::newRow("round panel") << "Panel1" << QRect(0, 0, 601, 497);
  QTest::newRow("duct type") << "RadioGroupDT" << QRect(8, 0, 136, 57);
  QTest::newRow("flow box") << "GroupBox1" << QRect(232, 0, 136, 57);
  QTest::newRow("length box") << "GroupBox2" << QRect(456, 0, 136, 57);
  QTest::newRow("round volume") << "EditRoundVolume" << QRect(16, 24, 60, 24);
  QTest::newRow("round l/s label at top 30") << "LabelRoundLPS" << QRect(80, 30, 0, 0);
  QTest::newRow("round grid") << "SGRoundDuct" << QRect(8, 64, 585, 430);
  QTest::newRow("rectangular l/s label at top 32") << "LabelRectLPS" << QRect(80, 32, 0, 0);
  QTest::newRow("sides box") << "GroupBox4" << QRect(168, 0, 256, 57);
  QTest::newRow("side B") << "EditRectSideB" << QRect(152, 24, 60, 24);
  QTest::newRow("side B label") << "LabelRectDuctSideB" << QRect(219, 32, 0, 0);
  QTest::newRow("rectangular length label at left 87")
      << "LabelRectDuctLength" << QRect(87, 32, 0, 0);
  QTest::newRow("rectangular grid") << "SGRectDuct" << QRect(8, 80, 585, 39);
  QTest::newRow("picture") << "Image1" << QRect(0, 0, 600, 500);
  QTest::newRow("conversions grid") << "SGconversions" << QRect(8, 106, 585, 39);
  QTest::newRow("conversions box") << "GroupBox6" << QRect(8, 0, 585, 89);
  QTest::newRow("value label") << "Label1" << QRect(40, 28, 0, 0);
  QTest::newRow("units label") << "Label2" << QRect(200, 28, 0, 0);
  QTest::newRow("conversion value") << "EditVolConv" << QRect(16, 48, 121, 21);
  QTest::newRow("unit list") << "ComboBoxVFUnits" << QRect(168, 48, 145, 21);
}

void AppearanceTest::itemsStandWhereDesigned() {
  QFETCH(QString, item);
  QFETCH(QRect, geometry);
  auto* widget = window_->findChild<QWidget*>(item);
  QVERIFY2(widget != nullptr, qPrintable(item));
  if (geometry.size().isEmpty()) {
    QCOMPARE(widget->pos(), geometry.topLeft());
    QCOMPARE(widget->size(), widget->sizeHint());
  } else {
    QCOMPARE(widget->geometry(), geometry);
  }
}

void AppearanceTest::everyControlLiesInsideItsVisibleParent() {
  auto& w = *window_;
  QWidget* client = w.centralWidget();
  const auto describe = [](const QWidget* control, QRect shown) {
    QString text;
    QDebug(&text) << control->metaObject()->className() << control->objectName() << "at" << shown
                  << "in" << control->parentWidget()->objectName()
                  << control->parentWidget()->rect();
    return text;
  };
  for (int page = 0; page < w.PageControl->count(); ++page) {
    w.PageControl->setCurrentIndex(page);
    QWidget* sheet = w.PageControl->widget(page);
    for (QWidget* control : sheet->findChildren<QWidget*>()) {
      if (!control->isVisibleTo(sheet)) {
        continue;
      }
      // Inside its parent, and inside what the window shows of the page.
      const QRect shown(control->mapTo(client, QPoint(0, 0)), control->size());
      QVERIFY2(control->parentWidget()->rect().contains(control->geometry()) &&
                   client->rect().contains(shown),
               qPrintable(describe(control, control->geometry())));
    }
  }
  // The tabs: inside the page control, which the design lets reach 1 px past the window's left
  // edge, and ending before its right edge.
  QTabBar* tabs = w.PageControl->tabBar();
  for (int tab = 0; tab < tabs->count(); ++tab) {
    const QRect shown(tabs->mapTo(w.PageControl, tabs->tabRect(tab).topLeft()),
                      tabs->tabRect(tab).size());
    QVERIFY2(w.PageControl->rect().contains(shown) &&
                 w.PageControl->mapTo(client, shown.topRight()).x() < client->width(),
             qPrintable(describe(tabs, shown)));
  }
}

void AppearanceTest::onlyTheRoundGridScrollsSideways() {
  auto& w = *window_;
  QVERIFY(w.SGRoundDuct->horizontalScrollBar()->isVisible());
  QVERIFY(!w.SGRoundDuct->verticalScrollBar()->isVisible());
  w.PageControl->setCurrentIndex(1);
  QVERIFY(!w.SGRectDuct->horizontalScrollBar()->isVisible());
  w.PageControl->setCurrentIndex(3);
  QVERIFY(!w.SGconversions->horizontalScrollBar()->isVisible());
}

void AppearanceTest::menuHasTwoMenusOfOneItemEach() {
  const QList<QAction*> menus = window_->menuBar()->actions();
  QCOMPARE(menus.size(), 2);
  const QStringList titles = {QStringLiteral("File"), QStringLiteral("Quellborn Ltd")};
  const QStringList items = {QStringLiteral("Close"), QStringLiteral("About")};
  for (int i = 0; i < 2; ++i) {
    QCOMPARE(menus[i]->text(), titles[i]);
    const QList<QAction*> actions = menus[i]->menu()->actions();
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions[0]->text(), items[i]);
    QVERIFY(actions[0]->shortcut().isEmpty());
    QVERIFY(actions[0]->icon().isNull());
    QVERIFY(!actions[0]->isCheckable());
    QVERIFY(!actions[0]->isSeparator());
  }
}

void AppearanceTest::sunkenEditBoxesShowTheirLightGreyInnerEdge_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<int>("page");
  QTest::newRow("flow on the white round panel") << "EditRoundVolume" << 0;
  QTest::newRow("side on the white rectangular panel") << "EditRectSideA" << 1;
  QTest::newRow("value on the white conversions panel") << "EditVolConv" << 3;
}

void AppearanceTest::sunkenEditBoxesShowTheirLightGreyInnerEdge() {
  QFETCH(QString, item);
  QFETCH(int, page);
  window_->PageControl->setCurrentIndex(page);
  auto* edit = window_->findChild<QWidget*>(item);
  QVERIFY(edit != nullptr);
  const QImage shot = edit->grab().toImage();
  const QColor buttonFace = edit->palette().color(QPalette::Button);
  // Outside in, below and right: white, then the button face, then the white box.
  const int w = shot.width();
  const int h = shot.height();
  for (int x = 2; x <= w - 2; ++x) {
    QCOMPARE(shot.pixelColor(x, h - 2), buttonFace);
    QCOMPARE(shot.pixelColor(x, h - 1), QColor(Qt::white));
  }
  for (int y = 2; y <= h - 2; ++y) {
    QCOMPARE(shot.pixelColor(w - 2, y), buttonFace);
  }
}

void AppearanceTest::radioCirclesAndScrollTrackShowTheButtonFace_data() {
  QTest::addColumn<int>("choice"); // -1: the round grid's scroll bar
  QTest::newRow("Spiral circle") << 0;
  QTest::newRow("Flexible circle") << 1;
  QTest::newRow("scroll bar track") << -1;
}

void AppearanceTest::radioCirclesAndScrollTrackShowTheButtonFace() {
  QFETCH(int, choice);
  auto& w = *window_;
  QWidget* item = choice >= 0 ? static_cast<QWidget*>(w.RadioGroupDTChoice(choice))
                              : w.SGRoundDuct->horizontalScrollBar();
  const QImage shot = item->grab().toImage();
  // The circle's inner lower-right arc, or the dotted track right of the slider: on the white
  // panel both would otherwise be white.
  QRect area = choice >= 0 ? QRect(0, 0, 16, shot.height())
                           : QRect(shot.width() * 3 / 4, 2, shot.width() / 4 - 20, 10);
  const QColor buttonFace = item->palette().color(QPalette::Button);
  int shown = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      shown += shot.pixelColor(x, y) == buttonFace ? 1 : 0;
    }
  }
  QVERIFY2(shown >= (choice >= 0 ? 4 : area.width() * area.height() / 3),
           qPrintable(QString::number(shown)));
}

void AppearanceTest::hintsShowOverTheirBoxOnly_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<int>("page");
  QTest::addColumn<QString>("hint");
  QTest::newRow("flow box") << "GroupBox1" << 0 << "Litres per Second";
  QTest::newRow("volume edit inside it") << "EditRoundVolume" << 0 << "Litres per Second";
  QTest::newRow("l/s label inside it") << "LabelRoundLPS" << 0 << "Litres per Second";
  QTest::newRow("length edit") << "EditRoundLength" << 0 << "Meters";
  QTest::newRow("duct type box") << "RadioGroupDT" << 0 << "Flexible fully extended";
  QTest::newRow("grid shows none") << "SGRoundDuct" << 0 << "";
  QTest::newRow("round panel shows none") << "Panel1" << 0 << "";
  QTest::newRow("same caption on the next page shows none") << "EditRectAirVol" << 1 << "";
  QTest::newRow("conversions show none") << "EditVolConv" << 3 << "";
}

void AppearanceTest::hintsShowOverTheirBoxOnly() {
  QFETCH(QString, item);
  QFETCH(int, page);
  QFETCH(QString, hint);
  window_->PageControl->setCurrentIndex(page);
  auto* widget = window_->findChild<QWidget*>(item);
  QVERIFY(widget != nullptr);
  QToolTip::hideText();
  QTRY_VERIFY(!QToolTip::isVisible());
  const QPoint inside(3, widget->height() / 2);
  QHelpEvent event(QEvent::ToolTip, inside, widget->mapToGlobal(inside));
  QApplication::sendEvent(widget, &event);
  if (hint.isEmpty()) {
    QVERIFY(!QToolTip::isVisible());
  } else {
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), hint);
  }
}

void AppearanceTest::hintsWakeAfterHalfASecondAndStayTwoAndAHalf() {
  QCOMPARE(window_->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
  for (const char* box : {"GroupBox1", "GroupBox2", "RadioGroupDT"}) {
    QCOMPARE(window_->findChild<QWidget*>(QLatin1String(box))->toolTipDuration(), 2500);
  }
}

void AppearanceTest::tabVisitsEachPageInOrder_data() {
  QTest::addColumn<int>("page");
  QTest::addColumn<QStringList>("order");
  QTest::newRow("round") << 0
                         << QStringList{QStringLiteral("SGRoundDuct"),
                                        QStringLiteral("EditRoundVolume"),
                                        QStringLiteral("EditRoundLength"), QStringLiteral("Spiral"),
                                        QStringLiteral("tabs")};
  QTest::newRow("rectangular, disabled grid skipped")
      << 1
      << QStringList{QStringLiteral("EditRectAirVol"), QStringLiteral("EditRectSideA"),
                     QStringLiteral("EditRectSideB"), QStringLiteral("EditRectLength"),
                     QStringLiteral("tabs")};
  QTest::newRow("velocities has nothing") << 2 << QStringList{QStringLiteral("tabs")};
  QTest::newRow("conversions, disabled grid skipped")
      << 3
      << QStringList{QStringLiteral("EditVolConv"), QStringLiteral("ComboBoxVFUnits"),
                     QStringLiteral("tabs")};
}

void AppearanceTest::tabVisitsEachPageInOrder() {
  QFETCH(int, page);
  QFETCH(QStringList, order);
  window_->PageControl->setCurrentIndex(page);
  window_->PageControl->tabBar()->setFocus(Qt::TabFocusReason);
  QStringList visited;
  for (qsizetype i = 0; i < order.size(); ++i) {
    QTest::keyClick(Focused(), Qt::Key_Tab);
    visited << FocusName();
  }
  QCOMPARE(visited, order);
  QStringList back;
  for (qsizetype i = 0; i < order.size(); ++i) {
    QTest::keyClick(Focused(), Qt::Key_Backtab, Qt::ShiftModifier);
    back << FocusName();
  }
  QStringList reversed(order.rbegin() + 1, order.rend());
  reversed << QStringLiteral("tabs");
  QCOMPARE(back, reversed);
}

void AppearanceTest::tabIntoTheRadioGroupLandsOnTheSelectedChoice() {
  QTest::mouseClick(window_->RadioGroupDTChoice(1), Qt::LeftButton);
  window_->EditRoundLength->setFocus(Qt::TabFocusReason);
  QTest::keyClick(Focused(), Qt::Key_Tab);
  QCOMPARE(FocusName(), QStringLiteral("Flexible"));
}

void AppearanceTest::ctrlTabWrapsAroundFromAnywhere_data() {
  QTest::addColumn<QString>("start");
  QTest::newRow("tabs") << "";
  QTest::newRow("round grid") << "SGRoundDuct";
  QTest::newRow("edit box") << "EditRoundVolume";
  QTest::newRow("radio choice") << "Spiral";
}

void AppearanceTest::ctrlTabWrapsAroundFromAnywhere() {
  QFETCH(QString, start);
  auto& w = *window_;
  QWidget* first = start.isEmpty() ? w.PageControl->tabBar() : Item(w, start);
  first->setFocus(Qt::TabFocusReason);
  QList<int> pages;
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(Focused(), Qt::Key_Tab, Qt::ControlModifier);
    pages << w.PageControl->currentIndex();
  }
  QCOMPARE(pages, (QList<int>{1, 2, 3, 0, 1}));
  pages.clear();
  for (int i = 0; i < 3; ++i) {
    QTest::keyClick(Focused(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    pages << w.PageControl->currentIndex();
  }
  QCOMPARE(pages, (QList<int>{0, 3, 2}));
}

void AppearanceTest::pageSwitchMovesFocusIntoTheNewPage() {
  auto& w = *window_;
  w.EditRoundLength->setFocus(Qt::MouseFocusReason);
  QStringList landed;
  for (int i = 0; i < 4; ++i) {
    QTest::keyClick(Focused(), Qt::Key_Tab, Qt::ControlModifier);
    landed << FocusName();
  }
  QCOMPARE(landed, (QStringList{QStringLiteral("EditRectAirVol"),
                                QStringLiteral("TabSheetRecDuctVelocities"),
                                QStringLiteral("EditVolConv"), QStringLiteral("SGRoundDuct")}));
  w.PageControl->setCurrentIndex(1);
  QCOMPARE(w.EditRectAirVol->selectedText(), QStringLiteral("183.7")); // selected, as by Tab

  // Focus on the tabs stays there.
  w.PageControl->tabBar()->setFocus(Qt::TabFocusReason);
  QTest::keyClick(Focused(), Qt::Key_Tab, Qt::ControlModifier);
  QCOMPARE(FocusName(), QStringLiteral("tabs"));
}

QTEST_MAIN(AppearanceTest)
#include "AppearanceTest.moc"
