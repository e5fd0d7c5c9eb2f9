#include "Schedule.h"

#include <algorithm>

namespace gustrule::cli {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kQuote = '"';

bool IsBlankOrEmpty(std::string_view field) {
  return field.find_first_not_of(" \t") == std::string_view::npos;
}

bool NeedsQuotes(std::string_view field) {
  return field.find_first_of(",\"\r\n") != std::string_view::npos || field.starts_with('#') ||
         field.starts_with(kByteOrderMark);
}

} // namespace

std::string SplitFields(std::string_view line, char separator, std::vector<std::string>& fields) {
  fields.clear();
  std::size_t pos = 0;
  for (;;) {
    std::string field;
    if (pos < line.size() && line[pos] == kQuote) {
      ++pos;
      for (;;) {
        const std::size_t quote = line.find(kQuote, pos);
        if (quote == std::string_view::npos) {
          fields.clear();
          return "a quoted field is not closed on its line";
        }
        field.append(line.substr(pos, quote - pos));
        pos = quote + 1;
        if (pos < line.size() && line[pos] == kQuote) { // a quote written twice
          field += kQuote;
          ++pos;
        } else {
          break;
        }
      }
      if (pos < line.size() && line[pos] != separator) {
        const std::size_t number = fields.size() + 1;
        fields.clear();
        return "text after the closing quote of field " + std::to_string(number);
      }
    } else {
      const std::size_t end = std::min(line.find(separator, pos), line.size());
      field.assign(line.substr(pos, end - pos));
      pos = end;
    }
    fields.push_back(std::move(field));
    if (pos >= line.size()) {
      return {};
    }
    ++pos; // the separator; one after the last field means an empty field follows
  }
}

bool IsSkippedLine(std::string_view line, char separator) {
  return line.starts_with('#') || std::all_of(line.begin(), line.end(), [separator](char c) {
           return c == ' ' || c == '\t' || c == separator;
         });
}

ScheduleText SplitSchedule(std::string_view text) {
  ScheduleText schedule;
  if (text.starts_with(kByteOrderMark)) {
    text.remove_prefix(kByteOrderMark.size());
  }
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++number;
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    if (schedule.HeaderLine == 0) {
      // Until the header is found, a tab anywhere is what decides; ',' is skipped like a blank.
      const char separator = line.find('\t') != std::string_view::npos ? '\t' : ',';
      if (IsSkippedLine(line, separator)) {
        continue;
      }
      schedule.Separator = separator;
      schedule.HeaderLine = number;
      schedule.HeaderProblem = SplitFields(line, separator, schedule.Header);
      continue;
    }
    if (IsSkippedLine(line, schedule.Separator)) {
      continue;
    }
    ScheduleLine& record = schedule.Lines.emplace_back();
    record.Number = number;
    record.Problem = SplitFields(line, schedule.Separator, record.Fields);
  }
  return schedule;
}

std::string CsvLine(const std::vector<std::string>& fields) {
  const bool allBlank = std::all_of(fields.begin(), fields.end(),
                                    [](const std::string& field) { return IsBlankOrEmpty(field); });
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string& field = fields[i];
    if (i > 0) {
      line += ',';
    }
    if (!NeedsQuotes(field) && !(allBlank && i == 0)) {
      line += field;
      continue;
    }
    line += kQuote;
    for (const char c : field) {
      if (c == kQuote) {
        line += kQuote;
      }
      line += c;
    }
    line += kQuote;
  }
  return line;
}

} // namespace gustrule::cli
