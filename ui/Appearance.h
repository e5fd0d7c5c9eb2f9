#pragma once

#include <QProxyStyle>

// The window is designed in pixels at 96 dpi in a classic bevelled look; these pieces keep that
// look the same on every machine: one explicit style and palette, fonts by pixel height, and
// hints that wake after 500 ms.

// The classic bevelled style with the hint delay and scroll bar size of the design.
class ClassicStyle : public QProxyStyle {
  Q_OBJECT
public:
  ClassicStyle();
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override;
};

// Installs the style, the palette and the window font on the application.
void ApplyClassicLook();
