#pragma once

// The extended arithmetic on the x87 unit of an x86 processor, where GCC's and Clang's long double
// is the 80-bit extended format: the same functions as the soft arithmetic (SoftFloat80.h) over
// long double, mostly the C library's, with ln and 2^f - 1 as the unit's own instructions.

#if !defined(__x86_64__) && !defined(__i386__)
#error "the x87 arithmetic exists on x86 processors only"
#endif

#include <cmath>
#include <cstdint>
#include <limits>

namespace gustrule::x87 {

using Float80 = long double;
static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "the x87 arithmetic needs long double to be the 80-bit extended format");

// A formula's decimal literal: the compiler has already read it as its nearest extended value.
consteval long double FromLiteral(long double literal) {
  return literal;
}
constexpr long double FromDouble(double value) {
  return value;
}
inline double ToDouble(long double value) {
  return static_cast<double>(value);
}
constexpr long double ToLongDouble(long double value) {
  return value;
}

inline bool IsNaN(long double x) {
  return std::isnan(x);
}
inline bool IsInf(long double x) {
  return std::isinf(x);
}
inline bool IsFinite(long double x) {
  return std::isfinite(x);
}
inline long double Fabs(long double x) {
  return std::fabs(x);
}
inline long double Rint(long double x) {
  return std::rint(x); // ties to even, as the rounding mode says
}
inline long long Llrint(long double x) {
  return std::llrint(x);
}
inline int Ilogb(long double x) {
  return std::ilogb(x);
}
inline long double Ldexp(long double x, int n) {
  return std::ldexp(x, n);
}

// A whole value within the int range as an int. It goes through double, exactly for such
// values, because the x87 converts to an integer only after switching the rounding mode to
// truncation and back, and those two control-word loads cost more than a whole power.
inline int WholeToInt(long double whole) {
  return static_cast<int>(static_cast<double>(whole));
}

// ln x = ln 2 * log2 x in one instruction (FYL2X after FLDLN2), rounded once to extended.
inline long double Ln(long double x) {
  long double result;
  __asm__("fldln2\n\tfxch\n\tfyl2x" : "=t"(result) : "0"(x) : "st(1)");
  return result;
}

// 2^f - 1 for |f| <= 1 (F2XM1).
inline long double Exp2Minus1(long double f) {
  long double result;
  __asm__("f2xm1" : "=t"(result) : "0"(f));
  return result;
}

// x87 control word: all six exceptions masked, 64-bit precision, round to nearest.
inline void SetControlWord() {
  const std::uint16_t controlWord = 0x037F;
  __asm__ volatile("fldcw %0" : : "m"(controlWord));
}

} // namespace gustrule::x87
