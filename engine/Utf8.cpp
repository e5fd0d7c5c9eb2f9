#include "Utf8.h"

#include <array>
#include <stdexcept>

namespace gustrule {

namespace {

constexpr char32_t kLargestCharacter = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;

bool IsSurrogate(char32_t value) {
  return value >= kFirstSurrogate && value <= kLastSurrogate;
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0U) == 0x80U;
}

char Byte(char32_t bits) {
  return static_cast<char>(static_cast<unsigned char>(bits));
}

} // namespace

std::string EncodeUtf8(char32_t character) {
  if (character < 0x80) {
    return {Byte(character)};
  }
  if (character < 0x800) {
    return {Byte(0xC0 | (character >> 6)), Byte(0x80 | (character & 0x3F))};
  }
  if (character < 0x10000) {
    if (IsSurrogate(character)) {
      throw std::invalid_argument("a surrogate code point is not a character");
    }
    return {Byte(0xE0 | (character >> 12)), Byte(0x80 | ((character >> 6) & 0x3F)),
            Byte(0x80 | (character & 0x3F))};
  }
  if (character <= kLargestCharacter) {
    return {Byte(0xF0 | (character >> 18)), Byte(0x80 | ((character >> 12) & 0x3F)),
            Byte(0x80 | ((character >> 6) & 0x3F)), Byte(0x80 | (character & 0x3F))};
  }
  throw std::invalid_argument("a value beyond U+10FFFF is not a character");
}

std::optional<DecodedCharacter> DecodeFirstCharacter(std::string_view text) {
  if (text.empty()) {
    return std::nullopt;
  }
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    return DecodedCharacter{lead, 1};
  }
  if ((lead & 0xE0U) == 0xC0U) {
    length = 2;
    value = lead & 0x1FU;
  } else if ((lead & 0xF0U) == 0xE0U) {
    length = 3;
    value = lead & 0x0FU;
  } else if ((lead & 0xF8U) == 0xF0U) {
    length = 4;
    value = lead & 0x07U;
  } else {
    return std::nullopt;
  }
  if (text.size() < length) {
    return std::nullopt;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if (!IsContinuation(next)) {
      return std::nullopt;
    }
    value = (value << 6) | (next & 0x3FU);
  }
  // The smallest value each length may carry; anything below is an overlong form.
  constexpr std::array<char32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > kLargestCharacter || IsSurrogate(value)) {
    return std::nullopt;
  }
  return DecodedCharacter{value, length};
}

std::optional<char32_t> DecodeSingleCharacter(std::string_view text) {
  const std::optional<DecodedCharacter> first = DecodeFirstCharacter(text);
  if (!first || first->Length != text.size()) {
    return std::nullopt;
  }
  return first->Value;
}

std::size_t CountCharacters(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    if (!IsContinuation(static_cast<unsigned char>(c))) {
      ++count;
    }
  }
  return count;
}

} // namespace gustrule
