#pragma once

#include <QIcon>
#include <QPixmap>

// The program's icon at `size` pixels square: a blue square on white, inset by 1/16 of the size,
// with "Duct" across its middle in white. The window and the installed menu icons both come
// from this drawing.
QPixmap DuctIconPixmap(int size);
QIcon DuctIcon();
