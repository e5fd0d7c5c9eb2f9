#pragma once

#include <QString>

class QWidget;

// Gives `box` the hint `text`, shown for `durationMs` wherever the pointer rests over the box or
// over anything inside it that has no hint of its own, and kept while the pointer moves on
// within the box. (Qt by itself hides a hint when the pointer crosses from one child of the box
// into another, and when the pointer then rests it finds the same hint already showing and
// does not show it again.) The text stays the box's tool tip.
void SetBoxHint(QWidget* box, const QString& text, int durationMs);
