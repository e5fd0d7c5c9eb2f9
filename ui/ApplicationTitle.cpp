#include "ApplicationTitle.h"

#include <QFileInfo>

namespace {

// Titles longer than this are cut.
constexpr qsizetype kMaxTitleLength = 255;

QString& Title() {
  static QString title;
  return title;
}

} // namespace

QString DeriveApplicationTitle(const QString& programPath) {
  QString name = QFileInfo(programPath).fileName();
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot >= 0) {
    name.truncate(dot);
  }
  if (name.size() > 1) {
    name = name.left(1) + name.mid(1).toLower();
  }
  name.truncate(kMaxTitleLength);
  return name;
}

void SetApplicationTitle(const QString& title) {
  Title() = title;
}

QString ApplicationTitle() {
  return Title();
}
