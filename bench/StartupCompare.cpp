// Starts the program and a bare Qt window alternately, many times, and reports the median time
// from process start to first paint and the median peak memory of each, side by side.
// Usage: startup_compare PROGRAM BARE_PROGRAM [RUNS] [PLATFORM]
// PLATFORM is the Qt platform both run on: offscreen (the default) or xcb, which needs DISPLAY.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "NowNs.h"

namespace {

struct Sample {
  double firstPaintMs;
  double peakMb;
};

bool RunOnce(const char* program, const char* platform, Sample* sample) {
  int out[2];
  if (pipe(out) != 0) {
    return false;
  }
  const std::string started = std::to_string(NowNs());
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDERR_FILENO);
    close(out[0]);
    close(out[1]);
    setenv("QT_QPA_PLATFORM", platform, 1);
    execl(program, program, started.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string text;
  char buffer[64];
  ssize_t got = 0;
  while ((got = read(out[0], buffer, sizeof buffer)) > 0) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  close(out[0]);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      text.empty()) {
    return false;
  }
  sample->firstPaintMs = std::stod(text) / 1000.0;
  sample->peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_compare PROGRAM BARE_PROGRAM [RUNS] [PLATFORM]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::atoi(argv[3]) : 30;
  const std::string platform = argc > 4 ? argv[4] : "offscreen";
  // On a real X server the floor is lower relative to the work, so the targets are tighter.
  const bool x11 = platform == "xcb";
  const double ratioTarget = x11 ? 1.1 : 1.3;
  const double memoryTarget = x11 ? 5 : 15;
  std::vector<double> paint[2];
  std::vector<double> memory[2];
  for (int i = 0; i < runs; ++i) {
    for (int which = 0; which < 2; ++which) {
      Sample sample{};
      if (!RunOnce(argv[1 + which], platform.c_str(), &sample)) {
        std::fprintf(stderr, "startup_compare: %s failed\n", argv[1 + which]);
        return 1;
      }
      paint[which].push_back(sample.firstPaintMs);
      memory[which].push_back(sample.peakMb);
    }
  }
  const double paintProgram = Median(paint[0]);
  const double paintBare = Median(paint[1]);
  const double memoryProgram = Median(memory[0]);
  const double memoryBare = Median(memory[1]);
  std::printf("| start-up to first paint, %s | %.1f ms | bare Qt window %.1f ms, ratio %.2f "
              "(target %.1f) |\n",
              platform.c_str(), paintProgram, paintBare, paintProgram / paintBare, ratioTarget);
  std::printf(
      "| peak memory, %s | %.1f MB | bare Qt window %.1f MB, %+.1f MB (target +%.0f MB) |\n",
      platform.c_str(), memoryProgram, memoryBare, memoryProgram - memoryBare, memoryTarget);
  return 0;
}
