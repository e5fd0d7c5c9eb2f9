#include "DuctIcon.h"

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>

#include "Fonts.h"

namespace {

const QColor kIconBlue(0, 0, 255);

} // namespace

QPixmap DuctIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  const int inset = size / 16;
  painter.fillRect(inset, inset, size - 2 * inset, size - 2 * inset, kIconBlue);
  painter.setFont(UiFont(size * 9 / 32, true));
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Duct"));
  return pixmap;
}
