#pragma once

#include <QPixmap>

// The program's icon at `size` pixels square: a blue square on white, inset by 1/16 of the size,
// with "Duct" across its middle in white. make-icons draws the installed menu icons with it,
// and the window shows those same pictures.
QPixmap DuctIconPixmap(int size);
