#pragma once

#include <QString>

// The application title: the program's file name without its directory, cut at its first ".",
// every character after the first in lower case. "SIZER.EXE" gives "Sizer", "My.Tool.exe" gives
// "My", "/usr/bin/gustrule" gives "gustrule". At most 255 characters.
QString DeriveApplicationTitle(const QString& programPath);

// Set once at start-up from the program's file name; the caption of the failure report.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();
