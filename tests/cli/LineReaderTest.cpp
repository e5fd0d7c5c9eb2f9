#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "LineReader.h"

namespace gustrule::cli {
namespace {

// The lines of `text` as a LineReader with a limit of 4 bytes reads them from a file, then how
// the reading ended.
std::vector<std::string> ReadLines(std::string_view text) {
  char path[] = "/tmp/line-reader-test-XXXXXX";
  const int fd = ::mkstemp(path);
  ::unlink(path);
  EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::lseek(fd, 0, SEEK_SET);
  int waits = 0;
  LineReader reader(fd, 4, [&waits] { ++waits; });
  std::vector<std::string> lines;
  std::string_view line;
  for (;;) {
    const LineReader::Result result = reader.Next(line);
    if (result != LineReader::Result::Line) {
      lines.emplace_back(result == LineReader::Result::End ? "end" : "too long");
      break;
    }
    lines.emplace_back(line);
  }
  ::close(fd);
  EXPECT_GE(waits, 1);
  return lines;
}

TEST(LineReader, HandsOnEachLineAndStopsAtOneTooLong) {
  using Texts = std::vector<std::string>;
  EXPECT_EQ(ReadLines("a\n\nb"), (Texts{"a", "", "b", "end"}));
  EXPECT_EQ(ReadLines("abcd\nab\n"), (Texts{"abcd", "ab", "end"}));
  EXPECT_EQ(ReadLines(""), (Texts{"end"}));
  EXPECT_EQ(ReadLines("ab\nabcde\nx\n"), (Texts{"ab", "too long"}));
  EXPECT_EQ(ReadLines("abcde"), (Texts{"too long"}));
}

TEST(LineReader, AFailedReadIsTold) {
  const int fd = ::open("/", O_RDONLY | O_DIRECTORY);
  LineReader reader(fd, 4);
  std::string_view line;
  EXPECT_EQ(reader.Next(line), LineReader::Result::Failed);
  EXPECT_EQ(reader.Error(), EISDIR);
  ::close(fd);
}

} // namespace
} // namespace gustrule::cli
