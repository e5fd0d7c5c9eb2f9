// gustrule-cli: prints the window's result grids from the same engine code, for scripts and for
// checking numbers by hand.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "Extended.h"
#include "Output.h"
#include "Program.h"

namespace {

// Opens /dev/null for reading on each of the descriptors 0, 1 and 2 that is closed, so that no
// file the program opens takes its place: reading it gives end of file, writing to it fails
// (and is reported) instead of going into that file.
void KeepStandardDescriptorsTaken() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      ::open("/dev/null", O_RDONLY); // the lowest free descriptor: this one
    }
  }
}

} // namespace

int main(int argc, char** argv) {
  using namespace gustrule::cli;
  // Writing into a pipe whose reader has gone ends the program at once, without a message, as
  // other filters do, even when the parent ignored the signal.
  std::signal(SIGPIPE, SIG_DFL);
  KeepStandardDescriptorsTaken();
  gustrule::InitArithmetic();
  FileOut out(stdout);
  FileOut err(stderr, &out);
  Console io{STDIN_FILENO, out, err};
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const int status = RunCommandLine(args, io);
  out.Flush();
  int error = out.Error();
  errno = 0;
  if (std::fclose(stdout) != 0 && error == 0) {
    error = errno != 0 ? errno : EIO;
  }
  if (error != 0) {
    std::fprintf(stderr, "%s: write error: %s\n", kProgram.data(), std::strerror(error));
    return kExitFailure;
  }
  return status;
}
