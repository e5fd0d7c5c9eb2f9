#pragma once

#include <functional>

// The whole program: arithmetic environment, high-DPI scaling off and the font resolution at 96 dpi
// whatever the desktop sets, the application object, the decimal separator and the application
// title, the look, the main window with its creation step, the hidden About window, the window
// centred on the screen, then the event loop. Returns the exit status. Of the command line only
// argv[0] is used, for the application title; any other argument, Qt's own options included, is
// ignored.
// `afterFirstPaint`, when given, runs once right after the main window has first been painted
// (the start-up benchmark quits there).
int RunGustrule(int argc, char** argv, const std::function<void()>& afterFirstPaint = {});
