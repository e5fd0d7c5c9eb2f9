#include "Startup.h"

#include <QApplication>
#include <QTimer>

#include "About.h"
#include "Appearance.h"
#include "ApplicationTitle.h"
#include "DecimalSeparator.h"
#include "Duct.h"
#include "Extended.h"
#include "WindowPlacement.h"

namespace {

// Calls a function once, just after the watched window's first paint has been delivered.
class FirstPaintWatch : public QObject {
public:
  FirstPaintWatch(QWidget* window, std::function<void()> then)
      : QObject(window), then_(std::move(then)) {
    window->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, then_);
    }
    return false;
  }

private:
  std::function<void()> then_;
};

} // namespace

int RunGustrule(int argc, char** argv, const std::function<void()>& afterFirstPaint) {
  gustrule::InitArithmetic();
  // The window is designed in pixels at 96 dpi; keep them pixels on high-density screens too.
  // Qt would scale on its own by the screen's density, and the style scales its metrics (radio
  // circles, tab margins) by the font resolution that the desktop's Xft.dpi or QT_FONT_DPI set.
  // The user's own QT_SCALE_FACTOR or QT_SCREEN_SCALE_FACTORS still enlarge the whole window.
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  qputenv("QT_FONT_DPI", "96");
  // The program takes no arguments, and Qt's own (-style, -reverse, -geometry, -qwindowtitle
  // and the rest) must not change the window: the application object sees only the name.
  static char fallbackName[] = "gustrule";
  char* name = argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName;
  int nameOnlyCount = 1;
  char* nameOnly[] = {name, nullptr};
  QApplication application(nameOnlyCount, nameOnly);
  QGuiApplication::setDesktopFileName(QStringLiteral("gustrule")); // matches the menu entry
  ReadDecimalSeparator();
  SetApplicationTitle(DeriveApplicationTitle(QString::fromLocal8Bit(name)));
  ApplyClassicLook();

  TQuellbornDuct QuellbornDuct;
  TFormAbout FormAbout(&QuellbornDuct);
  QuellbornDuct.SetAboutWindow(&FormAbout);
  if (afterFirstPaint) {
    new FirstPaintWatch(&QuellbornDuct, afterFirstPaint);
  }

  CentreOnScreen(&QuellbornDuct);
  QuellbornDuct.show();
  return QApplication::exec();
}
