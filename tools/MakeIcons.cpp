// Writes the program's icon as the PNGs installed for desktop menus and those of the web page,
// from the same drawing the window uses for its own icon:
//
//   make-icons packaging/icons            writes gustrule-32.png, gustrule-64.png, gustrule-128.png
//   make-icons web/icons 192 512          writes gustrule-192.png and gustrule-512.png
//   make-icons --check packaging/icons    exits 1 when those files differ from the drawing
//
// Run it by hand after a change to the icon and commit its output.

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

#include "DuctIcon.h"
#include "Fonts.h"

namespace {

// The desktop menu's sizes, written when no size is named.
constexpr int kMenuSizes[] = {32, 64, 128};
// No icon is drawn larger than this.
constexpr int kLargestSize = 1024;

QString IconPath(const QString& folder, int size) {
  return QStringLiteral("%1/gustrule-%2.png").arg(folder).arg(size);
}

} // namespace

int main(int argc, char* argv[]) {
  // Drawing into a pixmap needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  QGuiApplication app(argc, argv);

  QStringList arguments = QGuiApplication::arguments();
  const bool check = arguments.size() >= 3 && arguments.at(1) == QStringLiteral("--check");
  if (check) {
    arguments.removeAt(1);
  }
  std::vector<int> sizes(std::begin(kMenuSizes), std::end(kMenuSizes));
  if (arguments.size() > 2) {
    sizes.clear();
    for (qsizetype i = 2; i < arguments.size(); ++i) {
      bool number = false;
      const int size = arguments.at(i).toInt(&number);
      sizes.push_back(number && size >= 16 && size <= kLargestSize ? size : 0);
    }
  }
  if (arguments.size() < 2 || std::find(sizes.begin(), sizes.end(), 0) != sizes.end()) {
    std::fputs("usage: make-icons [--check] FOLDER [SIZE...]   (sizes 16 to 1024 px; default "
               "32 64 128)\n",
               stderr);
    return 2;
  }
  const QString folder = arguments.at(1);

  // With another face the word would be drawn differently from the installed program's icon.
  const QString family = QFontInfo(UiFont(16, true)).family();
  if (family != QStringLiteral("DejaVu Sans Condensed")) {
    std::fprintf(stderr, "make-icons: DejaVu Sans Condensed is not installed (got %s)\n",
                 qPrintable(family));
    return 1;
  }

  int differing = 0;
  for (const int size : sizes) {
    const QString path = IconPath(folder, size);
    const QImage drawn = DuctIconPixmap(size).toImage().convertToFormat(QImage::Format_RGB32);
    if (check) {
      const QImage stored = QImage(path).convertToFormat(QImage::Format_RGB32);
      if (stored != drawn) {
        std::fprintf(stderr, "make-icons: %s differs from the icon the program draws\n",
                     qPrintable(path));
        ++differing;
      }
    } else if (!drawn.save(path, "PNG")) {
      std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return differing == 0 ? 0 : 1;
}
