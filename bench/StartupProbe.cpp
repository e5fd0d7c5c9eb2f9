// The real program's start-up, ended right after the main window's first paint. Prints the
// microseconds from the moment given as the first argument (CLOCK_MONOTONIC nanoseconds, taken
// by the parent just before it started this process) to that paint.
#include <QApplication>

#include <cstdio>
#include <string>

#include "NowNs.h"
#include "Startup.h"

int main(int argc, char* argv[]) {
  const long long started = argc > 1 ? std::stoll(argv[1]) : NowNs();
  int qtArgc = 1;
  return RunGustrule(qtArgc, argv, [started] {
    std::printf("%lld\n", (NowNs() - started) / 1000);
    QApplication::quit();
  });
}
