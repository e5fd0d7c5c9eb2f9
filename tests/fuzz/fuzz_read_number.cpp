// Input: one byte choosing the decimal separator (low bit: 0 ".", 1 ","), eight bytes of a
// fallback double (any bits), then the text. ReadNumber may give back the fallback bit for bit
// or a finite double, or throw EOverflow; nothing else. It must agree with TextToNumber: the
// fallback exactly when TextToNumber finds the text unreadable, else the same value or failure,
// and a text that plainly matches the number grammar must be readable.
//
// A value it reads is also compared with the C library's correctly rounded strtold of the same
// number: the engine builds the value digit by digit in extended arithmetic and rounds it to
// double at the end, so it may differ from the exact value by the accumulated extended
// roundings plus half a double ulp, but never by more. An EOverflow must mean the number really
// is near or beyond the largest double.

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "Extended.h"
#include "Failures.h"
#include "NumberText.h"

namespace {

[[noreturn]] void Fail() {
  __builtin_trap();
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The accepted text rewritten in the C library's grammar: blanks dropped, the separator as
// ".", an empty mantissa as "0" and an empty exponent as "0". `mantissaDigits` counts the digits
// the engine folded in one by one.
std::string CText(std::string_view text, char separator, std::size_t& mantissaDigits) {
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  // A zero in front of the mantissa keeps "-.", ".5" and "." readable for strtold.
  std::string out = "0";
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    out = std::string(1, text[i]) + "0";
    ++i;
  }
  mantissaDigits = 0;
  for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
    if (IsDigit(text[i])) {
      out += text[i];
      ++mantissaDigits;
    } else if (text[i] == separator) {
      out += '.';
    } else {
      Fail(); // the engine accepted a character its grammar has no place for
    }
  }
  if (i < text.size()) {
    out += 'e';
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
      out += text[i++];
    }
    out += '0';
    for (; i < text.size(); ++i) {
      if (!IsDigit(text[i])) {
        Fail();
      }
      out += text[i];
    }
  }
  return out;
}

long double Reference(const std::string& text) {
  char* end = nullptr;
  const long double value = std::strtold(text.c_str(), &end);
  if (end != text.c_str() + text.size()) {
    Fail(); // CText produced something outside the grammar: a fault of this harness
  }
  return value;
}

// Relative error the engine may have: two extended roundings per mantissa digit, a few for the
// powers of ten and the scaling, and the final rounding to double.
long double Tolerance(std::size_t mantissaDigits) {
  const long double extendedUnit = std::ldexp(1.0L, -64);
  return static_cast<long double>(2 * mantissaDigits + 16) * extendedUnit + std::ldexp(1.0L, -53);
}

void CheckAgainstReference(std::string_view text, char separator, double result) {
  std::size_t digits = 0;
  const long double reference = Reference(CText(text, separator, digits));
  const long double error = std::fabs(static_cast<long double>(result) - reference);
  const long double smallestSubnormal = std::ldexp(1.0L, -1074);
  if (!(error <= Tolerance(digits) * std::fabs(reference) + smallestSubnormal)) {
    Fail();
  }
}

void CheckOverflowIsReal(std::string_view text, char separator) {
  std::size_t digits = 0;
  const long double reference = Reference(CText(text, separator, digits));
  if (!(std::fabs(reference) >= static_cast<long double>(DBL_MAX) * (1 - Tolerance(digits)))) {
    Fail();
  }
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// What a read ended in; anything other than a number, EOverflow or EConvertError is a fault.
struct Outcome {
  enum class Kind { Number, Overflow, Unreadable };
  Kind kind = Kind::Number;
  double value = 0;
};

template <typename Read> Outcome Run(Read&& read) {
  Outcome outcome;
  try {
    outcome.value = read();
  } catch (const gustrule::EOverflow&) {
    outcome.kind = Outcome::Kind::Overflow;
  } catch (const gustrule::EConvertError&) {
    outcome.kind = Outcome::Kind::Unreadable;
  } catch (...) {
    Fail();
  }
  return outcome;
}

// Texts whose reading nothing can stop: the grammar matches, the exponent is at most 499 (so
// all its digits are taken) and at most 4000 significant mantissa digits (so building the value
// stays far inside the extended range).
bool DefinitelyReadable(std::string_view text, char separator) {
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    ++i;
  }
  std::size_t digits = 0;
  std::size_t significant = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      ++digits;
      if (significant > 0 || text[i] != '0') {
        ++significant;
      }
    } else if (text[i] == separator && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0 && !point) {
    return false;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
      ++i;
    }
    int exponent = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      exponent = exponent * 10 + (text[i] - '0');
      if (exponent > 499) {
        return false;
      }
    }
  }
  return i == text.size() && significant <= 4000;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  gustrule::InitArithmetic();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHeader = 1 + sizeof(double);
  if (size < kHeader) {
    return 0;
  }
  const char separator = (data[0] & 1U) != 0 ? ',' : '.';
  gustrule::SetDecimalSeparator(static_cast<char32_t>(separator));
  double fallback = 0;
  std::memcpy(&fallback, data + 1, sizeof fallback);
  const std::string_view text(reinterpret_cast<const char*>(data + kHeader), size - kHeader);

  const Outcome read = Run([&] { return gustrule::ReadNumber(text, fallback); });
  if (read.kind == Outcome::Kind::Unreadable) {
    Fail(); // ReadNumber must absorb EConvertError
  }
  if (read.kind == Outcome::Kind::Number && !SameBits(read.value, fallback) &&
      !std::isfinite(read.value)) {
    Fail();
  }

  // TextToNumber tells a readable text from an unreadable one; ReadNumber must agree with it.
  const Outcome strict = Run([&] { return gustrule::TextToNumber(text); });
  switch (strict.kind) {
  case Outcome::Kind::Unreadable:
    if (read.kind != Outcome::Kind::Number || !SameBits(read.value, fallback) ||
        DefinitelyReadable(text, separator)) {
      Fail();
    }
    break;
  case Outcome::Kind::Overflow:
    if (read.kind != Outcome::Kind::Overflow) {
      Fail();
    }
    CheckOverflowIsReal(text, separator);
    break;
  case Outcome::Kind::Number:
    if (read.kind != Outcome::Kind::Number || !SameBits(read.value, strict.value) ||
        !std::isfinite(strict.value)) {
      Fail();
    }
    CheckAgainstReference(text, separator, strict.value);
    break;
  }
  return 0;
}
