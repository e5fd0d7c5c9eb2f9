#include "LineReader.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace gustrule::cli {

namespace {

constexpr std::size_t kReadSize = 1 << 16;

} // namespace

LineReader::LineReader(int fd, std::size_t maxLine, std::function<void()> beforeWait)
    : fd_(fd), maxLine_(maxLine), beforeWait_(std::move(beforeWait)) {}

LineReader::Result LineReader::Next(std::string_view& line) {
  for (;;) {
    const std::size_t end = buffer_.find('\n', start_ + scanned_);
    if (end != std::string::npos && end - start_ <= maxLine_) {
      line = std::string_view(buffer_).substr(start_, end - start_);
      start_ = end + 1;
      scanned_ = 0;
      return Result::Line;
    }
    if (buffer_.size() - start_ > maxLine_) {
      return Result::TooLong;
    }
    if (ended_) {
      if (start_ == buffer_.size()) {
        return Result::End;
      }
      line = std::string_view(buffer_).substr(start_);
      start_ = buffer_.size();
      return Result::Line;
    }
    buffer_.erase(0, start_);
    start_ = 0;
    scanned_ = buffer_.size();
    if (beforeWait_) {
      beforeWait_();
    }
    const std::size_t had = buffer_.size();
    buffer_.resize(had + kReadSize);
    ssize_t got = 0;
    do {
      got = ::read(fd_, buffer_.data() + had, kReadSize);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
      error_ = errno;
      buffer_.resize(had);
      return Result::Failed;
    }
    buffer_.resize(had + static_cast<std::size_t>(got));
    ended_ = got == 0;
  }
}

} // namespace gustrule::cli
