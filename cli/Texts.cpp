#include "Texts.h"

#include <algorithm>
#include <optional>

#include "Conversions.h"
#include "DuctMaterials.h"
#include "Utf8.h"

namespace gustrule::cli {

namespace {

// The words of a table, `between` each two and `beforeLast` before the last.
template <typename Table, typename WordOf>
std::string Words(const Table& table, WordOf word, std::string_view between,
                  std::string_view beforeLast) {
  std::string words;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (i > 0) {
      words += i + 1 == table.size() ? beforeLast : between;
    }
    words += word(table[i]);
  }
  return words;
}

// Characters that change how a terminal shows what follows, beyond the C0 and C1 controls.
bool IsFormatControl(char32_t c) {
  return c == 0x2028 || c == 0x2029 || (c >= 0x200E && c <= 0x200F) ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string Hex(char32_t value, int digits) {
  static constexpr std::string_view kDigits = "0123456789ABCDEF";
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) {
    text[static_cast<std::size_t>(i)] = kDigits[value & 0xFU];
  }
  return text;
}

// Appends the escaped form of the character (or invalid byte) at the start of `text`; returns
// how many bytes it took.
std::size_t AppendEscaped(std::string_view text, std::string& out) {
  const std::optional<DecodedCharacter> first = DecodeFirstCharacter(text);
  if (!first) {
    out += "\\x" + Hex(static_cast<unsigned char>(text[0]), 2);
    return 1;
  }
  const char32_t c = first->Value;
  if (c == '\\') {
    out += "\\\\";
  } else if (c == '\t') {
    out += "\\t";
  } else if (c == '\n') {
    out += "\\n";
  } else if (c == '\r') {
    out += "\\r";
  } else if (c < 0x20 || c == 0x7F) {
    out += "\\x" + Hex(c, 2);
  } else if ((c >= 0x80 && c < 0xA0) || IsFormatControl(c)) {
    out += "\\u{" + Hex(c, 4) + "}";
  } else {
    out.append(text.substr(0, first->Length));
  }
  return first->Length;
}

// How many bytes at the start of a text are ASCII.
std::size_t AsciiLength(std::string_view text) {
  return static_cast<std::size_t>(
      std::find_if(text.begin(), text.end(),
                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) -
      text.begin());
}

} // namespace

std::string MaterialWords(std::string_view between, std::string_view beforeLast) {
  return Words(
      DuctMaterials, [](const DuctMaterial& material) { return material.Word; }, between,
      beforeLast);
}

std::string UnitWords(std::string_view between, std::string_view beforeLast) {
  return Words(
      ConversionUnits, [](std::string_view unit) { return unit; }, between, beforeLast);
}

std::string Escaped(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    text.remove_prefix(AppendEscaped(text, out));
  }
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (std::size_t count = 0; !text.empty() && count < kQuotedCharacters; ++count) {
    text.remove_prefix(AppendEscaped(text, out));
  }
  out += text.empty() ? "'" : "'...";
  return out;
}

bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    text.remove_prefix(AsciiLength(text));
    if (text.empty()) {
      break;
    }
    const std::optional<DecodedCharacter> first = DecodeFirstCharacter(text);
    if (!first) {
      return false;
    }
    text.remove_prefix(first->Length);
  }
  return true;
}

void AppendValidUtf8(std::string_view text, std::string& out) {
  while (!text.empty()) {
    const std::size_t ascii = AsciiLength(text);
    out.append(text.substr(0, ascii));
    text.remove_prefix(ascii);
    if (text.empty()) {
      break;
    }
    const std::optional<DecodedCharacter> first = DecodeFirstCharacter(text);
    const std::size_t length = first ? first->Length : 1;
    out.append(first ? text.substr(0, length) : std::string_view("\xEF\xBF\xBD"));
    text.remove_prefix(length);
  }
}

} // namespace gustrule::cli
