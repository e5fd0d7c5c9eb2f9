// Writes the program's icon as the PNGs installed for desktop menus, from the same drawing the
// window uses for its own icon:
//
//   make-icons packaging/icons            writes gustrule-32.png, gustrule-64.png, gustrule-128.png
//   make-icons --check packaging/icons    exits 1 when those files differ from the drawing
//
// Run it by hand after a change to the icon and commit its output.

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <cstdio>

#include "DuctIcon.h"
#include "Fonts.h"

namespace {

constexpr int kSizes[] = {32, 64, 128};

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
  const bool check = arguments.size() == 3 && arguments.at(1) == QStringLiteral("--check");
  if (check) {
    arguments.removeAt(1);
  }
  if (arguments.size() != 2) {
    std::fputs("usage: make-icons [--check] FOLDER\n", stderr);
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
  for (const int size : kSizes) {
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
