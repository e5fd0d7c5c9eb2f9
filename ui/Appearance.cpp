#include "Appearance.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>

#include "DuctLayout.h"
#include "Fonts.h"

namespace {

// The design's system colours, fixed so the window looks the same on every desktop.
const QColor kButtonFace(212, 208, 200);
const QColor kHighlight(10, 36, 106);
const QColor kToolTipBackground(255, 255, 225);

constexpr int kToolTipWakeUpMs = 500;
constexpr int kWindowFontPixels = 11;

// A classic radio circle, drawn pixel by pixel so that each ring is one whole pixel wide: the
// outer ring dark grey above and left of the diagonal from bottom-left to top-right and white
// below and right of it, the inner ring black and button face, inside the base colour (the
// button face while pressed or disabled), and a dot in the text colour when selected.
void DrawClassicRadio(QPainter* painter, const QStyleOption& option) {
  const QPalette& palette = option.palette;
  const int size = std::min(option.rect.width(), option.rect.height());
  const double centre = size / 2.0;
  const double outerRing = centre - 1.1; // pixel centres farther out than this: outer ring
  const double innerRing = centre - 2.1;
  const double dot = size / 6.0;
  const bool on = (option.state & QStyle::State_On) != 0;
  const bool filledGrey =
      (option.state & QStyle::State_Sunken) || !(option.state & QStyle::State_Enabled);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double distance = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
      const bool upperLeft = x + y < size - 1;
      QPalette::ColorRole role = QPalette::Base;
      if (distance > centre) {
        continue;
      } else if (distance > outerRing) {
        role = upperLeft ? QPalette::Dark : QPalette::Light;
      } else if (distance > innerRing) {
        role = upperLeft ? QPalette::Shadow : QPalette::Button;
      } else if (on && distance < dot) {
        role = QPalette::Text;
      } else if (filledGrey) {
        role = QPalette::Button;
      }
      painter->fillRect(option.rect.left() + x, option.rect.top() + y, 1, 1, palette.color(role));
    }
  }
}

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
    return DuctLayout::ScrollBarExtent;
  }
  return QProxyStyle::pixelMetric(metric, option, widget);
}

void ClassicStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
  if (element == PE_FrameLineEdit && (option->state & State_Sunken)) {
    // The classic sunken edge: dark grey and black above and left, white and light grey below
    // and right. The light grey inner line is the button face.
    QPalette shades = option->palette;
    shades.setColor(QPalette::Midlight, option->palette.color(QPalette::Button));
    qDrawWinPanel(painter, option->rect, shades, true);
    return;
  }
  if (element == PE_IndicatorRadioButton) {
    DrawClassicRadio(painter, *option);
    return;
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ClassicStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
  if (element == CE_ScrollBarAddPage || element == CE_ScrollBarSubPage) {
    // The track is dotted white over the button face, not over the background. Drawing it needs
    // only the area, state and palette.
    QStyleOption track(*option);
    track.palette.setColor(QPalette::Window, option->palette.color(QPalette::Button));
    QProxyStyle::drawControl(element, &track, painter, widget);
    return;
  }
  QProxyStyle::drawControl(element, option, painter, widget);
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
