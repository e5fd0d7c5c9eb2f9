#include "Appearance.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

#include "Fonts.h"

namespace {

// The design's system colours, fixed so the window looks the same on every desktop.
const QColor kButtonFace(212, 208, 200);
const QColor kHighlight(10, 36, 106);
const QColor kToolTipBackground(255, 255, 225);

constexpr int kToolTipWakeUpMs = 500;
constexpr int kScrollBarExtent = 17;
constexpr int kWindowFontPixels = 11;

} // namespace

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
