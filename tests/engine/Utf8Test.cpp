#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "Utf8.h"

namespace gustrule {
namespace {

TEST(Utf8, EveryLengthBoundaryEncodesAndDecodesBack) {
  const struct {
    char32_t character;
    std::size_t bytes;
  } cases[] = {{0x00, 1},   {0x7F, 1},   {0x80, 2},   {0xB3, 2},    {0x7FF, 2},   {0x800, 3},
               {0xD7FF, 3}, {0xE000, 3}, {0xFFFF, 3}, {0x10000, 4}, {0x10FFFF, 4}};
  for (const auto& c : cases) {
    const std::string encoded = EncodeUtf8(c.character);
    EXPECT_EQ(encoded.size(), c.bytes) << std::hex << static_cast<unsigned>(c.character);
    EXPECT_EQ(DecodeSingleCharacter(encoded), c.character)
        << std::hex << static_cast<unsigned>(c.character);
    EXPECT_EQ(CountCharacters(encoded), 1U) << std::hex << static_cast<unsigned>(c.character);
  }
  EXPECT_EQ(EncodeUtf8(U'\u00B3'), "\xC2\xB3");
}

TEST(Utf8, NonCharactersAreRefused) {
  for (const char32_t value : {0xD800U, 0xDFFFU, 0x110000U, 0xFFFFFFFFU}) {
    EXPECT_THROW(EncodeUtf8(value), std::invalid_argument)
        << std::hex << static_cast<unsigned>(value);
  }
  const std::string notOneCharacter[] = {"",
                                         "ab",
                                         "\x80",
                                         "\xC2",
                                         "\xC2\x41",
                                         "\xC0\xAC",
                                         "\xE0\x80\xAC",
                                         "\xED\xA0\x80",
                                         "\xF4\x90\x80\x80",
                                         "\xF8\x88\x80\x80\x80",
                                         "\xC2\xB3\xC2\xB3"};
  for (const std::string& text : notOneCharacter) {
    EXPECT_EQ(DecodeSingleCharacter(text), std::nullopt) << testing::PrintToString(text);
  }
}

TEST(Utf8, TheFirstCharacterIsDecodedWhateverFollows) {
  const struct {
    std::string text;
    char32_t value;
    std::size_t length; // 0: nothing decodes
  } cases[] = {{"ab", U'a', 1},
               {"\xC2\xB3\xC2", 0xB3, 2},
               {"\xF4\x8F\xBF\xBFz", 0x10FFFF, 4},
               {"", 0, 0},
               {"\xC2x", 0, 0},
               {"\xC0\xAC", 0, 0},
               {"\xED\xA0\x80", 0, 0},
               {"\xE2\x82", 0, 0},
               {"\x80"
                "a",
                0, 0}};
  for (const auto& c : cases) {
    const auto first = DecodeFirstCharacter(c.text);
    ASSERT_EQ(first.has_value(), c.length > 0) << testing::PrintToString(c.text);
    if (first) {
      EXPECT_EQ(first->Value, c.value);
      EXPECT_EQ(first->Length, c.length);
    }
  }
}

TEST(Utf8, CharactersAreCountedNotBytes) {
  EXPECT_EQ(CountCharacters("m³/min"), 6U);
  EXPECT_EQ(CountCharacters("Eqiv Ø (mm)"), 11U);
  EXPECT_EQ(CountCharacters(""), 0U);
}

} // namespace
} // namespace gustrule
