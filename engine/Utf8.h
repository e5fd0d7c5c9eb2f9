#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gustrule {

// The engine's texts are UTF-8; these are its only encoding and decoding steps.

// The UTF-8 bytes of one Unicode scalar value, 1 to 4 of them. Throws std::invalid_argument
// for a surrogate (U+D800 to U+DFFF) or a value beyond U+10FFFF.
// Example: EncodeUtf8(U'\u00B3') == "\xC2\xB3".
std::string EncodeUtf8(char32_t character);

// The character a UTF-8 text starts with, and how many bytes it takes.
struct DecodedCharacter {
  char32_t Value;
  std::size_t Length; // 1 to 4
};

// The well-formed character at the start of a UTF-8 text; nothing when the text is empty or does
// not start with one (a stray or missing continuation byte, an overlong form, a surrogate or a
// value beyond U+10FFFF).
// Examples: "\xC2\xB3x" gives U'\u00B3' in 2 bytes, "\xC2x" and "\xC0\xAC" give nothing.
std::optional<DecodedCharacter> DecodeFirstCharacter(std::string_view text);

// The one character a UTF-8 text consists of; nothing when the text is empty, holds more than
// one character, or is not well-formed (a stray or missing continuation byte, an overlong form,
// a surrogate or a value beyond U+10FFFF).
// Examples: "," gives U',', "\xC2\xB3" gives U'\u00B3', "ab" and "\xC0\xAC" give nothing.
std::optional<char32_t> DecodeSingleCharacter(std::string_view text);

// How many characters a well-formed UTF-8 text holds: the bytes that are not continuation bytes.
std::size_t CountCharacters(std::string_view text);

} // namespace gustrule
