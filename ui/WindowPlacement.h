#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where the outer frame of a window goes so that it stands centred on `available` (the screen
// area not taken by panels): the frame's top-left corner. In a direction where the frame is
// larger than the area it starts at the area's left or top edge instead, so the title bar and its
// buttons stay on screen and reachable and only the far side reaches past the area.
// A 608 x 570 frame on 0,0 1280 x 1024 goes to 336,227; a 1216 x 1110 frame on the same area
// goes to 32,0; a 100 x 100 frame on 1280,0 1280 x 1000 goes to 1870,450.
QPoint CentredFramePosition(QSize frame, const QRect& available);

// Centres a top-level window, outer frame included, on the available area of its screen. Call it
// just before the window is first shown: it places the window at once with the frame known then
// (none yet, before the window manager has framed it), so showing and painting never wait, and
// places it once more as soon as the window manager's frame becomes known. A frame that is
// known is never placed off the top or left edge.
void CentreOnScreen(QWidget* window);
