#pragma once

// Where a run of gustrule-cli reads and writes: the process's standard streams, or texts in
// memory (one line of a batch, a test). Subcommands write only through these, never to stdout or
// stderr themselves, so that a batch can run many commands in one process and every write can be
// checked.

#include <cstdio>
#include <string>
#include <string_view>

namespace gustrule::cli {

// A destination of text. A failed write is remembered, not thrown: the caller stops producing
// when Failed() and the program reports the failure once, at its end.
class TextOut {
public:
  virtual ~TextOut() = default;
  virtual void Write(std::string_view text) = 0;
  // Whether a write has failed; nothing written after that reaches the destination.
  virtual bool Failed() const { return false; }
  // Passes on what is buffered, before the program waits for input or ends.
  virtual void Flush() {}

protected:
  TextOut() = default;
  TextOut(const TextOut&) = default;
  TextOut& operator=(const TextOut&) = default;
};

// Writes to a C stream. The first failure's errno is kept (Error()); later writes are dropped.
// Standard error is made with standard output as `flushFirst`, so that where both go to one
// file, a message follows the lines written before it.
class FileOut : public TextOut {
public:
  explicit FileOut(std::FILE* file, TextOut* flushFirst = nullptr)
      : file_(file), flushFirst_(flushFirst) {}
  void Write(std::string_view text) override;
  bool Failed() const override { return error_ != 0; }
  void Flush() override;
  // The errno of the first failed write or flush, or 0.
  int Error() const { return error_; }

private:
  std::FILE* file_;
  TextOut* flushFirst_;
  int error_ = 0;
};

// Collects the text in memory.
class StringOut : public TextOut {
public:
  void Write(std::string_view text) override { Text.append(text); }
  std::string Text;
};

// Writes `text` and a line end.
void PrintLine(TextOut& out, std::string_view text);

// What one run of a command line reads from and writes to.
struct Console {
  int In; // the file descriptor of standard input; -1 when the run has none of its own (a line
          // of a batch)
  TextOut& Out;
  TextOut& Err;
};

} // namespace gustrule::cli
