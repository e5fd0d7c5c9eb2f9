#pragma once

#include <QString>

class QWidget;

// Gives `box` the hint `text`, shown wherever the pointer comes to rest over the box or over
// anything inside it that has no hint of its own, for `durationMs` from the moment it appears.
// It shows once per visit: moving on within the box (from one item onto another, or onto the
// hint itself) neither moves it nor lengthens its time, and once gone it shows again only after
// the pointer has left the box and come back to rest on it. The text stays the box's tool tip.
void SetBoxHint(QWidget* box, const QString& text, int durationMs);
