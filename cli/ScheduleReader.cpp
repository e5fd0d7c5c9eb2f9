#include "ScheduleReader.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "Texts.h"
#include "Utf8.h"

namespace gustrule::cli {

namespace {

constexpr std::size_t kReadSize = std::size_t{1} << 16;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
// A byte that never occurs in UTF-8: it stands for a UTF-16 unit that does not decode, so that
// its record fails as text that is not well-formed.
constexpr char kUndecodable = '\xFF';
constexpr char kQuote = '"';

bool IsLineEnd(int c) {
  return c == '\r' || c == '\n';
}

} // namespace

std::ptrdiff_t FdSource::Read(char* into, std::size_t size) {
  ssize_t got = 0;
  do {
    got = ::read(fd_, into, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

std::ptrdiff_t TextSource::Read(char* into, std::size_t size) {
  const std::size_t count = std::min({size, piece_, text_.size()});
  std::memcpy(into, text_.data(), count);
  text_.remove_prefix(count);
  return static_cast<std::ptrdiff_t>(count);
}

std::string_view ScheduleRecord::Field(std::size_t i) const {
  if (i >= Ends.size()) {
    return {};
  }
  const std::size_t start = i == 0 ? 0 : Ends[i - 1];
  return std::string_view(Text).substr(start, Ends[i] - start);
}

ScheduleReader::ScheduleReader(ByteSource& source, ReaderOptions options)
    : source_(source), skipComments_(options.SkipComments), separator_(options.Separator) {}

// Reads and decodes more of the source; returns whether the text grew.
bool ScheduleReader::Fill() {
  while (!ended_) {
    const std::size_t had = raw_.size();
    raw_.resize(had + kReadSize);
    const std::ptrdiff_t got = source_.Read(raw_.data() + had, kReadSize);
    if (got < 0) {
      error_ = errno != 0 ? errno : EIO;
      raw_.resize(had);
      ended_ = true;
      return false;
    }
    raw_.resize(had + static_cast<std::size_t>(got));
    ended_ = got == 0;
    if (!started_) {
      if (raw_.size() < kUtf8Mark.size() && !ended_) {
        continue; // too little to tell whether a byte order mark begins it
      }
      started_ = true;
      if (raw_.starts_with(kUtf8Mark)) {
        raw_.erase(0, kUtf8Mark.size());
      } else if (raw_.starts_with(kUtf16LittleEndianMark)) {
        encoding_ = TextEncoding::Utf16LittleEndian;
        raw_.erase(0, kUtf16LittleEndianMark.size());
      } else if (raw_.starts_with(kUtf16BigEndianMark)) {
        encoding_ = TextEncoding::Utf16BigEndian;
        raw_.erase(0, kUtf16BigEndianMark.size());
      }
    }
    const std::size_t before = text_.size();
    Decode(raw_, ended_);
    if (text_.size() > before) {
      return true;
    }
  }
  return false;
}

// Moves what `raw` holds into text_ as UTF-8; a UTF-16 unit cut at the end of a read waits for
// the next, unless the input has ended.
void ScheduleReader::Decode(std::string_view raw, bool atEnd) {
  if (encoding_ == TextEncoding::Utf8) {
    text_.append(raw);
    raw_.clear();
    return;
  }
  const bool little = encoding_ == TextEncoding::Utf16LittleEndian;
  std::size_t i = 0;
  for (; i + 1 < raw.size(); i += 2) {
    const char32_t first = static_cast<unsigned char>(raw[i]);
    const char32_t second = static_cast<unsigned char>(raw[i + 1]);
    const char32_t unit = little ? first | (second << 8U) : (first << 8U) | second;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (highSurrogate_ != 0) {
      const char32_t high = highSurrogate_;
      highSurrogate_ = 0;
      if (low) {
        text_ += EncodeUtf8(0x10000 + ((high - 0xD800) << 10U) + (unit - 0xDC00));
        continue;
      }
      text_ += kUndecodable;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      highSurrogate_ = unit;
    } else if (low) {
      text_ += kUndecodable;
    } else if (unit < 0x80) {
      text_ += static_cast<char>(unit);
    } else {
      text_ += EncodeUtf8(unit);
    }
  }
  raw_.erase(0, i);
  if (atEnd && (!raw_.empty() || highSurrogate_ != 0)) {
    text_ += kUndecodable;
    raw_.clear();
    highSurrogate_ = 0;
  }
}

int ScheduleReader::Get() {
  if (pos_ == text_.size() && !Fill()) {
    return -1;
  }
  return static_cast<unsigned char>(text_[pos_++]);
}

int ScheduleReader::Peek() {
  if (pos_ == text_.size() && !Fill()) {
    return -1;
  }
  return static_cast<unsigned char>(text_[pos_]);
}

// After a CR or LF `c` has been taken: takes the LF of a CR LF too (appending it to `keep`
// unless that is null) and counts the line.
void ScheduleReader::EndLine(int c, std::string* keep) {
  if (c == '\r' && Peek() == '\n') {
    ++pos_;
    if (keep != nullptr) {
      *keep += '\n';
    }
  }
  ++line_;
}

// Takes the rest of a line without reading it as fields (a comment, or a line of blanks).
ScheduleReader::Result ScheduleReader::SkipLine() {
  const std::size_t begins = line_;
  for (std::size_t taken = 0;; ++taken) {
    if (taken > kMaxRecordBytes) {
      tooLongLine_ = begins;
      return Result::TooLong;
    }
    const int c = Get();
    if (c < 0) {
      return Result::Record;
    }
    if (IsLineEnd(c)) {
      EndLine(c, nullptr);
      return Result::Record;
    }
  }
}

// Looks ahead over the header line, without taking it, and chooses the separator from the tabs,
// ";" and "," outside double quotes; `skip` when the line holds nothing but blanks and those.
ScheduleReader::Result ScheduleReader::FindSeparator(bool& skip) {
  std::size_t tabs = 0;
  std::size_t semicolons = 0;
  std::size_t commas = 0;
  bool quoted = false;
  skip = true;
  for (std::size_t i = pos_;; ++i) {
    if (i == text_.size() && !Fill()) {
      break;
    }
    if (i - pos_ > kMaxRecordBytes) {
      tooLongLine_ = line_;
      return Result::TooLong;
    }
    const char c = text_[i];
    if (c == kQuote) {
      quoted = !quoted;
      skip = false;
    } else if (quoted) {
      continue;
    } else if (IsLineEnd(c)) {
      break;
    } else if (c == '\t') {
      ++tabs;
    } else if (c == ';') {
      ++semicolons;
    } else if (c == ',') {
      ++commas;
    } else if (c != ' ') {
      skip = false;
    }
  }
  if (!skip) {
    separator_ = tabs > 0 ? '\t' : semicolons > commas ? ';' : ',';
  }
  return Result::Record;
}

ScheduleReader::Result ScheduleReader::ReadRecord(ScheduleRecord& record, bool& blank) {
  const std::array<char, 3> stopBytes = {separator_, '\r', '\n'};
  const std::string_view stops(stopBytes.data(), stopBytes.size()); // where a plain field ends
  record.Line = line_;
  record.Text.clear();
  record.Ends.clear();
  record.Problem.clear();
  blank = true;
  enum class State { FieldStart, Plain, Quoted, Closed } state = State::FieldStart;
  const auto endField = [&record] {
    record.Ends.push_back(static_cast<std::uint32_t>(record.Text.size()));
  };
  for (std::size_t taken = 1;; ++taken) {
    const int c = Get();
    if (taken > kMaxRecordBytes) {
      tooLongLine_ = record.Line;
      tooLongInQuotes_ = state == State::Quoted;
      return Result::TooLong;
    }
    if (c < 0) {
      if (state == State::Quoted) {
        record.Problem = "a quoted field is not closed before the end of the file";
      }
      endField();
      return Result::Record;
    }
    if (state == State::Quoted) {
      if (c == kQuote && Peek() == kQuote) { // a quote written twice
        ++pos_;
        ++taken;
        record.Text += kQuote;
      } else if (c == kQuote) {
        state = State::Closed;
      } else if (IsLineEnd(c)) {
        record.Text += static_cast<char>(c);
        EndLine(c, &record.Text);
      } else { // the rest of the quoted text up to a quote or line end, at once
        const std::size_t end = std::min(text_.find_first_of("\"\r\n", pos_), text_.size());
        record.Text += static_cast<char>(c);
        record.Text.append(text_, pos_, end - pos_);
        taken += end - pos_;
        pos_ = end;
      }
      continue;
    }
    if (state == State::FieldStart && c == kQuote) {
      state = State::Quoted;
      blank = false;
      continue;
    }
    if (c == separator_) {
      endField();
      state = State::FieldStart;
      continue;
    }
    if (IsLineEnd(c)) {
      EndLine(c, nullptr);
      endField();
      return Result::Record;
    }
    if (state == State::Closed && record.Problem.empty()) {
      record.Problem =
          "text after the closing quote of field " + std::to_string(record.Fields() + 1);
    }
    // The rest of the plain text up to a separator or line end, at once.
    const std::size_t end = std::min(text_.find_first_of(stops, pos_), text_.size());
    const std::string_view run = std::string_view(text_).substr(pos_ - 1, end - pos_ + 1);
    if (blank && run.find_first_not_of(" \t") != std::string_view::npos) {
      blank = false;
    }
    record.Text.append(run);
    taken += end - pos_;
    pos_ = end;
    state = State::Plain;
  }
}

ScheduleReader::Result ScheduleReader::Next(ScheduleRecord& record) {
  // What has been read goes, so that the text never holds much more than a record.
  if (pos_ > kReadSize) {
    text_.erase(0, pos_);
    pos_ = 0;
  }
  for (;;) {
    if (Peek() < 0) {
      return error_ != 0 ? Result::Failed : Result::End;
    }
    bool skip = skipComments_ && Peek() == '#';
    if (!skip && separator_ == 0) {
      if (const Result found = FindSeparator(skip); found != Result::Record) {
        return found;
      }
    }
    Result result = Result::Record;
    if (skip) {
      result = SkipLine();
    } else {
      result = ReadRecord(record, skip);
    }
    if (error_ != 0) {
      return Result::Failed;
    }
    if (result != Result::Record) {
      return result;
    }
    if (skip) {
      continue;
    }
    if (record.Problem.empty() && !IsUtf8(record.Text)) {
      record.Problem = encoding_ == TextEncoding::Utf8 ? "not UTF-8 text" : "not UTF-16 text";
    }
    return Result::Record;
  }
}

} // namespace gustrule::cli
