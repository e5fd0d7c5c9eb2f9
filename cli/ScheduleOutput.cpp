#include "ScheduleOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "LineReader.h"
#include "Utf8.h"

namespace gustrule::cli {

const std::array<std::string_view, RoundDuctColumns> kJsonResultKeys = {
    "diameter_mm",          "velocity_m_s",      "friction_pa_m",   "total_friction_pa",
    "velocity_pressure_pa", "bend_90_rd_0_5_pa", "bend_90_rd_1_pa", "bend_60_rd_0_5_pa",
    "bend_60_rd_1_pa",      "bend_45_rd_0_5_pa", "bend_45_rd_1_pa", "bend_30_rd_0_5_pa",
    "bend_30_rd_1_pa"};

namespace {

constexpr std::string_view kStatusHeading = "status";
constexpr char kQuote = '"';

std::string_view LineEnd(bool crlf) {
  return crlf ? "\r\n" : "\n";
}

// A cell as one line's part: a tab, CR or LF becomes a blank.
void AppendOnOneLine(std::string_view cell, std::string& line) {
  for (std::size_t end = 0; !cell.empty(); cell.remove_prefix(end + 1)) {
    end = std::min(cell.find_first_of("\t\r\n"), cell.size());
    line.append(cell.substr(0, end));
    if (end == cell.size()) {
      break;
    }
    line += ' ';
  }
}

// Calls `each(cell, isResult)` for every cell of a line in order: the input cells, the 13
// results (or headings), the status.
template <typename Each>
void ForEachCell(std::span<const std::string> input, std::span<const std::string_view> results,
                 std::string_view status, Each each) {
  for (const std::string& cell : input) {
    each(std::string_view(cell), false);
  }
  for (const std::string_view cell : results) {
    each(cell, true);
  }
  each(status, false);
}

std::array<std::string_view, RoundDuctColumns> Views(const ResultCells& cells) {
  std::array<std::string_view, RoundDuctColumns> views;
  std::copy(cells.begin(), cells.end(), views.begin());
  return views;
}

class TsvWriter : public ScheduleWriter {
public:
  TsvWriter(TextOut& out, bool crlf) : out_(out), crlf_(crlf) {}
  void Header(std::span<const std::string> names) override {
    WriteLine(names, RoundDuctHeadings, kStatusHeading);
  }
  void Row(std::size_t /*line*/, std::span<const std::string> input, const ResultCells& results,
           std::string_view status) override {
    WriteLine(input, Views(results), status);
  }
  bool Failed() const override { return out_.Failed(); }

private:
  void WriteLine(std::span<const std::string> input, std::span<const std::string_view> results,
                 std::string_view status) {
    line_.clear();
    ForEachCell(input, results, status, [this](std::string_view cell, bool) {
      line_ += '\t';
      AppendOnOneLine(cell, line_);
    });
    line_.erase(0, 1); // the tab before the first cell
    line_ += LineEnd(crlf_);
    out_.Write(line_);
  }

  TextOut& out_;
  bool crlf_;
  std::string line_;
};

class CsvWriter : public ScheduleWriter {
public:
  CsvWriter(TextOut& out, char delimiter, bool crlf)
      : out_(out), delimiter_(delimiter), crlf_(crlf) {}
  void Header(std::span<const std::string> names) override {
    WriteLine(names, RoundDuctHeadings, kStatusHeading, false);
  }
  void Row(std::size_t /*line*/, std::span<const std::string> input, const ResultCells& results,
           std::string_view status) override {
    WriteLine(input, Views(results), status, true);
  }
  bool Failed() const override { return out_.Failed(); }

private:
  void WriteLine(std::span<const std::string> input, std::span<const std::string_view> results,
                 std::string_view status, bool numbers) {
    line_.clear();
    bool first = true;
    ForEachCell(input, results, status, [&](std::string_view cell, bool isResult) {
      if (!first) {
        line_ += delimiter_;
      }
      first = false;
      if (isResult && numbers && delimiter_ == ';') {
        std::string comma(cell);
        std::replace(comma.begin(), comma.end(), '.', ',');
        AppendCell(comma);
      } else {
        AppendCell(cell);
      }
    });
    line_ += LineEnd(crlf_);
    out_.Write(line_);
  }

  void AppendCell(std::string_view cell) {
    const bool formula =
        !cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos;
    const std::array<char, 4> special = {delimiter_, kQuote, '\r', '\n'};
    const bool quoted = formula ||
                        cell.find_first_of(std::string_view(special.data(), special.size())) !=
                            std::string_view::npos ||
                        cell.starts_with('#') || cell.starts_with("\xEF\xBB\xBF");
    if (!quoted) {
      line_ += cell;
      return;
    }
    line_ += kQuote;
    if (formula) {
      line_ += '\'';
    }
    for (const char c : cell) {
      if (c == kQuote) {
        line_ += kQuote;
      }
      line_ += c;
    }
    line_ += kQuote;
  }

  TextOut& out_;
  char delimiter_;
  bool crlf_;
  std::string line_;
};

// Whether a cell's text is a number as JSON writes one:
// -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool IsJsonNumber(std::string_view text) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      ++i;
    }
    return i - start;
  };
  if (i < text.size() && text[i] == '-') {
    ++i;
  }
  const std::size_t start = i;
  const std::size_t integer = digits();
  if (integer == 0 || (integer > 1 && text[start] == '0')) {
    return false;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (digits() == 0) {
      return false;
    }
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      ++i;
    }
    if (digits() == 0) {
      return false;
    }
  }
  return i == text.size();
}

void AppendJsonString(std::string_view text, std::string& out) {
  out += kQuote;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == kQuote || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20) {
      static constexpr std::string_view kDigits = "0123456789abcdef";
      out += "\\u00";
      out += kDigits[byte >> 4U];
      out += kDigits[byte & 0xFU];
    } else {
      out += c;
    }
  }
  out += kQuote;
}

class JsonWriter : public ScheduleWriter {
public:
  JsonWriter(TextOut& out, bool crlf) : out_(out), crlf_(crlf) {}
  // The keys of the input cells: each name as written; an empty name, or one that came before,
  // becomes "column N" (N from 1).
  void Header(std::span<const std::string> names) override {
    keys_.clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
      const bool taken =
          names[i].empty() || std::find(keys_.begin(), keys_.end(), names[i]) != keys_.end();
      keys_.push_back(taken ? "column " + std::to_string(i + 1) : names[i]);
    }
  }
  void Row(std::size_t line, std::span<const std::string> input, const ResultCells& results,
           std::string_view status) override {
    line_ = "{\"line\":" + std::to_string(line) + ",\"input\":{";
    for (std::size_t i = 0; i < input.size(); ++i) {
      if (i > 0) {
        line_ += ',';
      }
      AppendJsonString(keys_[i], line_);
      line_ += ':';
      AppendJsonString(input[i], line_);
    }
    line_ += '}';
    for (std::size_t i = 0; i < results.size(); ++i) {
      line_ += ",\"";
      line_ += kJsonResultKeys[i];
      line_ += "\":";
      const std::string& cell = results[i];
      if (cell.empty()) {
        line_ += "null";
      } else if (IsJsonNumber(cell)) {
        line_ += cell;
      } else {
        AppendJsonString(cell, line_);
      }
    }
    line_ += ",\"status\":";
    AppendJsonString(status, line_);
    line_ += '}';
    line_ += LineEnd(crlf_);
    out_.Write(line_);
  }
  bool Failed() const override { return out_.Failed(); }

private:
  TextOut& out_;
  bool crlf_;
  std::vector<std::string> keys_;
  std::string line_;
};

// Closes a descriptor when it goes.
struct Descriptor {
  explicit Descriptor(int fd) : Fd(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (Fd >= 0) {
      ::close(Fd);
    }
  }
  int Fd;
};

// The aligned table needs every cell's width before its first line: the lines go to a
// temporary file as tab-separated cells (no cell holds a tab), and Finish reads them back,
// padded.
class AlignedWriter : public ScheduleWriter {
public:
  AlignedWriter(TextOut& out, bool crlf, int spool)
      : out_(out), crlf_(crlf), spool_(spool), spoolOut_(spool) {}
  void Header(std::span<const std::string> names) override {
    Spool(names, RoundDuctHeadings, kStatusHeading);
  }
  void Row(std::size_t /*line*/, std::span<const std::string> input, const ResultCells& results,
           std::string_view status) override {
    Spool(input, Views(results), status);
  }
  bool Failed() const override { return out_.Failed() || spoolOut_.Failed(); }
  std::string Finish() override;

private:
  // Writes the bytes of the spool file; a failed write is kept.
  class SpoolOut : public TextOut {
  public:
    explicit SpoolOut(int fd) : fd_(fd) {}
    void Write(std::string_view text) override {
      while (error_ == 0 && !text.empty()) {
        const ssize_t wrote = ::write(fd_, text.data(), text.size());
        if (wrote < 0 && errno != EINTR) {
          error_ = errno;
        } else if (wrote > 0) {
          text.remove_prefix(static_cast<std::size_t>(wrote));
        }
      }
    }
    bool Failed() const override { return error_ != 0; }
    int Error() const { return error_; }

  private:
    int fd_;
    int error_ = 0;
  };

  void Spool(std::span<const std::string> input, std::span<const std::string_view> results,
             std::string_view status) {
    line_.clear();
    std::size_t column = 0;
    ForEachCell(input, results, status, [&](std::string_view cell, bool) {
      if (column > 0) {
        line_ += '\t';
      }
      const std::size_t start = line_.size();
      AppendOnOneLine(cell, line_);
      if (widths_.size() <= column) {
        widths_.resize(column + 1, 0);
      }
      widths_[column] = std::max(widths_[column], CountCharacters(line_.substr(start)));
      ++column;
    });
    line_ += '\n';
    // Written in pieces of about a buffer's size, not one system call per line.
    buffer_ += line_;
    if (buffer_.size() >= kSpoolBuffer) {
      spoolOut_.Write(buffer_);
      buffer_.clear();
    }
  }

  static constexpr std::size_t kSpoolBuffer = std::size_t{1} << 16;

  TextOut& out_;
  bool crlf_;
  Descriptor spool_;
  SpoolOut spoolOut_;
  std::vector<std::size_t> widths_;
  std::string line_;
  std::string buffer_;
};

std::string AlignedWriter::Finish() {
  spoolOut_.Write(buffer_);
  buffer_.clear();
  if (spoolOut_.Failed()) {
    return std::string("temporary file: ") + std::strerror(spoolOut_.Error());
  }
  if (::lseek(spool_.Fd, 0, SEEK_SET) < 0) {
    return std::string("temporary file: ") + std::strerror(errno);
  }
  // A spooled line is at most a record and the results.
  LineReader lines(spool_.Fd, std::size_t{1} << 24);
  std::string_view line;
  LineReader::Result read = LineReader::Result::End;
  while (!out_.Failed() && (read = lines.Next(line)) == LineReader::Result::Line) {
    std::string padded;
    std::size_t column = 0;
    while (true) {
      const std::size_t tab = line.find('\t');
      const std::string_view cell = line.substr(0, tab);
      if (column > 0) {
        padded += "  ";
      }
      padded += cell;
      if (column < widths_.size()) {
        padded.append(widths_[column] - CountCharacters(cell), ' ');
      }
      ++column;
      if (tab == std::string_view::npos) {
        break;
      }
      line.remove_prefix(tab + 1);
    }
    padded.erase(padded.find_last_not_of(' ') + 1);
    padded += LineEnd(crlf_);
    out_.Write(padded);
  }
  if (read == LineReader::Result::Failed) {
    return std::string("temporary file: ") + std::strerror(lines.Error());
  }
  return {};
}

// A temporary file, already removed from its folder; -1 with errno when it cannot be made.
int TemporaryFile() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder != nullptr && *folder != '\0' ? folder : "/tmp";
  path += "/gustrule-cli-XXXXXX";
  const int fd = ::mkostemp(path.data(), O_CLOEXEC);
  if (fd >= 0) {
    ::unlink(path.c_str());
  }
  return fd;
}

} // namespace

std::unique_ptr<ScheduleWriter> MakeScheduleWriter(const ScheduleOutputOptions& options,
                                                   TextOut& out, std::string& problem) {
  switch (options.Format) {
  case ScheduleFormat::Tsv:
    return std::make_unique<TsvWriter>(out, options.Crlf);
  case ScheduleFormat::Csv:
    return std::make_unique<CsvWriter>(out, options.Delimiter, options.Crlf);
  case ScheduleFormat::Json:
    return std::make_unique<JsonWriter>(out, options.Crlf);
  case ScheduleFormat::Aligned:
    break;
  }
  const int spool = TemporaryFile();
  if (spool < 0) {
    problem = std::string("cannot make a temporary file: ") + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<AlignedWriter>(out, options.Crlf, spool);
}

} // namespace gustrule::cli
