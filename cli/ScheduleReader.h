#pragma once

// Reading a schedule of duct sections as a spreadsheet saves it, one record at a time, so that a
// file of any size is read in bounded memory.
//
// The text is UTF-8, with or without a byte order mark, or UTF-16 (little- or big-endian) with
// its byte order mark, which is decoded to UTF-8. A record is one line, ended by LF, CR or CR LF;
// its fields are separated by the separator: the one given, or the one of tab, ";" and "," that
// the header line (the first record) uses: a tab when it holds one, else ";" or "," whichever it
// holds more often (","  when neither or as often). A field that starts with a double quote is
// quoted as in RFC 4180: it runs to the next lone double quote, may hold the separator and line
// ends (the record then spans lines), and a double quote inside it is written twice.
//
// Records that hold only blanks, tabs and the separator (tab, ";" or "," before the header) are
// skipped, and with SkipComments so are lines whose first character is "#", before the header
// too. Lines are counted from 1, each LF, CR or CR LF ending one, also inside quoted fields; a
// record's line is the line where it begins.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gustrule::cli {

// Where the bytes of a schedule come from.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `into`: how many were read, 0 at the end, -1 after a failure
  // (errno tells which).
  virtual std::ptrdiff_t Read(char* into, std::size_t size) = 0;

protected:
  ByteSource() = default;
  ByteSource(const ByteSource&) = default;
  ByteSource& operator=(const ByteSource&) = default;
};

// An open file descriptor, read with read(2).
class FdSource : public ByteSource {
public:
  explicit FdSource(int fd) : fd_(fd) {}
  std::ptrdiff_t Read(char* into, std::size_t size) override;

private:
  int fd_;
};

// A text in memory, handed out in pieces of at most `piece` bytes.
class TextSource : public ByteSource {
public:
  explicit TextSource(std::string_view text, std::size_t piece = 1 << 16)
      : text_(text), piece_(piece) {}
  std::ptrdiff_t Read(char* into, std::size_t size) override;

private:
  std::string_view text_;
  std::size_t piece_;
};

enum class TextEncoding { Utf8, Utf16LittleEndian, Utf16BigEndian };

// One record: its fields' texts (UTF-8 after decoding, without quotes), held one after another.
struct ScheduleRecord {
  std::size_t Line = 0;
  std::string Text;
  std::vector<std::uint32_t> Ends; // where each field ends in Text
  // Why the record does not read: "a quoted field is not closed before the end of the file",
  // "text after the closing quote of field N", "not UTF-8 text" (or "not UTF-16 text"); empty
  // when it reads. Its fields are kept as far as they were read.
  std::string Problem;

  std::size_t Fields() const { return Ends.size(); }
  // Field `i`, from 0; the empty text beyond the last.
  std::string_view Field(std::size_t i) const;
};

struct ReaderOptions {
  char Separator = 0; // 0: found from the header line
  bool SkipComments = false;
};

class ScheduleReader {
public:
  // No record, nor a line skipped as a comment, may take more bytes: a longer one ends the
  // reading (Result::TooLong), which keeps the memory bounded whatever the input.
  static constexpr std::size_t kMaxRecordBytes = std::size_t{1} << 20;

  enum class Result {
    Record,  // the next record; the first is the header
    End,     // no more records
    TooLong, // a record beginning at TooLongLine() exceeds kMaxRecordBytes; nothing more is read
    Failed,  // reading failed: Error() is the errno
  };

  ScheduleReader(ByteSource& source, ReaderOptions options);

  Result Next(ScheduleRecord& record);

  // The separator in use: the one given, or once the header is read, the one found.
  char Separator() const { return separator_; }
  TextEncoding Encoding() const { return encoding_; }
  std::size_t TooLongLine() const { return tooLongLine_; }
  // Whether the record that was too long was inside a quoted field then.
  bool TooLongInQuotes() const { return tooLongInQuotes_; }
  int Error() const { return error_; }

private:
  bool Fill();
  void Decode(std::string_view raw, bool atEnd);
  int Get();
  int Peek();
  Result SkipLine();
  Result ReadRecord(ScheduleRecord& record, bool& blank);
  Result FindSeparator(bool& skip);
  void EndLine(int c, std::string* keep);

  ByteSource& source_;
  bool skipComments_;
  char separator_;
  TextEncoding encoding_ = TextEncoding::Utf8;
  bool started_ = false; // the byte order mark has been looked for
  bool ended_ = false;
  int error_ = 0;
  std::string raw_;     // bytes read and not yet decoded
  std::string text_;    // decoded UTF-8 text
  std::size_t pos_ = 0; // the next byte of text_
  char32_t highSurrogate_ = 0;
  std::size_t line_ = 1;
  std::size_t tooLongLine_ = 0;
  bool tooLongInQuotes_ = false;
};

} // namespace gustrule::cli
