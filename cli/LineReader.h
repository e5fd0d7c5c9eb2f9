#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace gustrule::cli {

// Reads a file descriptor line by line, each line at most a given length, holding no more than
// one line and one read's worth of bytes. Reads take what is there (read(2)), so a line is
// handed on as soon as it has arrived, and `beforeWait` runs before each read that may wait:
// output that answers the lines so far can be flushed there.
class LineReader {
public:
  enum class Result {
    Line,    // `line` is the next line, without its LF
    End,     // no more lines
    TooLong, // the next line is longer than the limit; nothing more is read
    Failed,  // a read failed; Error() tells why
  };

  LineReader(int fd, std::size_t maxLine, std::function<void()> beforeWait = {});

  // The next line; it stays valid until the next call. A last line without LF is a line; an
  // empty input has none.
  // Example: "a\n\nb" gives "a", "", "b", then End.
  Result Next(std::string_view& line);
  // The errno of the failed read.
  int Error() const { return error_; }

private:
  int fd_;
  std::size_t maxLine_;
  std::function<void()> beforeWait_;
  std::string buffer_;
  std::size_t start_ = 0;   // where the unread bytes begin
  std::size_t scanned_ = 0; // the bytes from start_ known to hold no LF
  bool ended_ = false;
  int error_ = 0;
};

} // namespace gustrule::cli
