// Start-up: arithmetic environment, decimal separator and application title, then the main
// window (with its creation step), the hidden About window, and the event loop.
#include <QApplication>
#include <QScreen>

#include "About.h"
#include "Appearance.h"
#include "Duct.h"
#include "Extended.h"
#include "FailureReport.h"

int main(int argc, char* argv[]) {
  gustrule::InitArithmetic();
  // The window is designed in pixels; keep them pixels on high-density screens too.
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  QApplication application(argc, argv);
  ReadDecimalSeparator();
  SetApplicationTitle(DeriveApplicationTitle(QString::fromLocal8Bit(argv[0])));
  ApplyClassicLook();

  TQuellbornDuct QuellbornDuct;
  TFormAbout FormAbout(&QuellbornDuct);
  QuellbornDuct.SetAboutWindow(&FormAbout);

  QuellbornDuct.show();
  // Centre the outer frame on the desktop once the window has one.
  const QRect desktop = QuellbornDuct.screen()->availableGeometry();
  QuellbornDuct.move(QuellbornDuct.pos() + desktop.center() -
                     QuellbornDuct.frameGeometry().center());
  const int status = QApplication::exec();
  return status;
}
