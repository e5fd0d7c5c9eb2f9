#pragma once

#include <QFont>

// The window's sans-serif face at a character height in pixels: DejaVu Sans Condensed when
// installed (its widths match the design's labels best), else Liberation Sans, else any sans.
QFont UiFont(int pixelSize, bool bold);
