#pragma once

#include <QFont>
#include <QIcon>
#include <QProxyStyle>

// The window is designed in pixels at 96 dpi in a classic bevelled look; these pieces keep that
// look the same on every machine: one explicit style and palette, fonts by pixel height, and
// hints that wake after 500 ms.

// The window's sans-serif face at a character height in pixels: DejaVu Sans Condensed when
// installed (its widths match the design's labels best), else Liberation Sans, else any sans.
QFont UiFont(int pixelSize, bool bold);

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

// The program's icon at `size` pixels square: a blue square on white, inset by 1/16 of the size,
// with "Duct" across its middle in white.
QPixmap DuctIconPixmap(int size);
QIcon DuctIcon();
