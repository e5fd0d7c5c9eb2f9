#pragma once

#include <QProxyStyle>

// The window is designed in pixels at 96 dpi in a classic bevelled look; these pieces keep that
// look the same on every machine: one explicit style and palette, fonts by pixel height, and
// hints that wake after 500 ms.

// The classic bevelled style with the hint delay and scroll bar size of the design. Sunken edit
// boxes and radio circles get their light grey inner line and scroll bars their dotted grey
// track on any background: the base style takes these from the background colour, which on the
// white panels would make them white.
class ClassicStyle : public QProxyStyle {
  Q_OBJECT
public:
  ClassicStyle();
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
};

// Installs the style, the palette and the window font on the application.
void ApplyClassicLook();
