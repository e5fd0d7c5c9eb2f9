#pragma once

#include <ctime>

// CLOCK_MONOTONIC in nanoseconds: the start-up measurement passes it from the parent process to
// the program it starts, so every program of the measurement reads the same clock.
inline long long NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}
