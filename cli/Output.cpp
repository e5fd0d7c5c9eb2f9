#include "Output.h"

#include <cerrno>

namespace gustrule::cli {

void FileOut::Write(std::string_view text) {
  if (error_ != 0 || text.empty()) {
    return;
  }
  if (flushFirst_ != nullptr) {
    flushFirst_->Flush();
  }
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    error_ = errno != 0 ? errno : EIO;
  }
}

void FileOut::Flush() {
  errno = 0;
  if (std::fflush(file_) != 0 && error_ == 0) {
    error_ = errno != 0 ? errno : EIO;
  }
}

void PrintLine(TextOut& out, std::string_view text) {
  out.Write(text);
  out.Write("\n");
}

} // namespace gustrule::cli
