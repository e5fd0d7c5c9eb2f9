#include "Appearance.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>

namespace {

// The design's system colours, fixed so the window looks the same on every desktop.
const QColor kButtonFace(212, 208, 200);
const QColor kHighlight(10, 36, 106);
const QColor kToolTipBackground(255, 255, 225);
const QColor kIconBlue(0, 0, 255);

constexpr int kToolTipWakeUpMs = 500;
constexpr int kScrollBarExtent = 17;
constexpr int kWindowFontPixels = 11;

} // namespace

QFont UiFont(int pixelSize, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

ClassicStyle::ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

int ClassicStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
  if (hint == SH_ToolTip_WakeUpDelay) {
    return kToolTipWakeUpMs;
  }
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int ClassicStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
  if (metric == PM_ScrollBarExtent) {
    return kScrollBarExtent;
  }
  return QProxyStyle::pixelMetric(metric, option, widget);
}

void ApplyClassicLook() {
  QApplication::setStyle(new ClassicStyle); // the application takes ownership
  QPalette palette(kButtonFace);            // derives the 3-D shades from the button face
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  palette.setColor(QPalette::WindowText, Qt::black);
  palette.setColor(QPalette::ButtonText, Qt::black);
  palette.setColor(QPalette::Highlight, kHighlight);
  palette.setColor(QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::ToolTipBase, kToolTipBackground);
  palette.setColor(QPalette::ToolTipText, Qt::black);
  QApplication::setPalette(palette);
  QApplication::setFont(UiFont(kWindowFontPixels, false));
}

QPixmap DuctIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  const int inset = size / 16;
  painter.fillRect(inset, inset, size - 2 * inset, size - 2 * inset, kIconBlue);
  QFont font = UiFont(size * 9 / 32, true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Duct"));
  return pixmap;
}

QIcon DuctIcon() {
  QIcon icon;
  for (const int size : {32, 64, 128}) {
    icon.addPixmap(DuctIconPixmap(size));
  }
  return icon;
}
