#pragma once

#include <limits>
#include <string_view>

#include "Failures.h"

// The build chooses the arithmetic (CMake option GUSTRULE_ARITHMETIC): the x87 unit itself, or
// the same 80-bit extended format computed in software, which runs on every processor.
#if GUSTRULE_SOFT_ARITHMETIC
#include "SoftFloat80.h"
#else
#include "X87.h"
#endif

namespace gustrule {

// Every expression of a calculation is evaluated with a 64-bit significand: the 80-bit x87
// extended format, on the x87 unit or in software. Both round every operation to nearest, ties
// to even, so their sums, differences, products, quotients and conversions agree bit for bit;
// ln and 2^f - 1 may differ in the last binary digit.
#if GUSTRULE_SOFT_ARITHMETIC
namespace arithmetic = soft;
static_assert(sizeof(soft::Float80::Significand) * 8 == 64 &&
                  sizeof(soft::Float80::SignExponent) * 8 == 16,
              "the soft arithmetic keeps a 64-bit significand and a 16-bit sign and exponent");
inline constexpr std::string_view kArithmeticName = "soft";
#else
namespace arithmetic = x87;
static_assert(std::numeric_limits<x87::Float80>::digits == 64,
              "the x87 arithmetic evaluates in the 80-bit extended format");
inline constexpr std::string_view kArithmeticName = "x87";
#endif
static_assert(std::numeric_limits<double>::is_iec559, "doubles must be IEEE 754 binary64");

// An extended value as the arithmetic holds it: long double on the x87 unit, soft::Float80 in
// software.
using Float80 = arithmetic::Float80;

// Sets the arithmetic environment every calculation relies on: round to nearest (ties to even),
// and on the x87 unit 64-bit significands and all floating-point exceptions masked so the
// hardware never traps; failures are detected by the checked operations below instead. Call
// once at start-up.
void InitArithmetic();

// An extended-precision value inside an expression. Every operation rounds to nearest and is
// checked: a result beyond the extended range raises EOverflow, x / 0 raises EZeroDivide (0 / 0
// raises EInvalidOp). Underflow and inexact results never fail.
//
// Decimal constants of the formulas are written as long double literals (5.74L), and each is
// turned into the extended value nearest to the decimal while compiling; a plain double literal
// does not compile here, which keeps a constant from silently being rounded to double first.
// Values that a calculation stores enter expressions as Real.
class Extended {
public:
  constexpr Extended() = default;
  // Implicit on purpose: literals and small integers read as they do in the formulas. Only a
  // literal or a constant converts: a long double computed at run time has no place here.
  consteval Extended(long double literal) // NOLINT(google-explicit-constructor)
      : value_(arithmetic::FromLiteral(literal)) {}
  constexpr Extended(int value) : value_(value) {} // NOLINT(google-explicit-constructor)
  Extended(double) = delete;

  // The value held as it is, unchecked.
  static constexpr Extended Exactly(Float80 value) {
    Extended x;
    x.value_ = value;
    return x;
  }

  constexpr Float80 Raw() const { return value_; }
  // As a long double, exactly (a long double holds every extended value).
  constexpr long double Value() const { return arithmetic::ToLongDouble(value_); }

private:
  Float80 value_ = 0;
};

// Returns a computed value unless it left the extended range (EOverflow) or is not a number
// (EInvalidOp).
Extended Checked(Float80 result);

inline Extended operator+(Extended a, Extended b) {
  return Checked(a.Raw() + b.Raw());
}
inline Extended operator-(Extended a, Extended b) {
  return Checked(a.Raw() - b.Raw());
}
inline Extended operator*(Extended a, Extended b) {
  return Checked(a.Raw() * b.Raw());
}
Extended operator/(Extended a, Extended b);
inline Extended operator-(Extended a) {
  return Extended::Exactly(-a.Raw());
}

// A value as a calculation stores it: an IEEE double. Storing an extended value rounds it to
// the nearest double (ties to even); a value beyond the double range raises EOverflow, one below
// it becomes a subnormal or zero without failing.
class Real {
public:
  constexpr Real() = default;
  // Implicit on purpose: a double stores as it is, and a formula's value stores checked.
  constexpr Real(double value) : value_(value) {} // NOLINT(google-explicit-constructor)
  Real(Extended value);                           // NOLINT(google-explicit-constructor)
  Real(long double) = delete;                     // store through Extended, never silently

  constexpr double Value() const { return value_; }
  // Implicit on purpose: a stored value enters every expression exactly.
  constexpr operator Extended() const { // NOLINT(google-explicit-constructor)
    return Extended::Exactly(arithmetic::FromDouble(value_));
  }

private:
  double value_ = 0;
};

// Rounds an extended value to double; EOverflow when it lies beyond the double range.
double StoreDouble(Float80 value);

// Base raised to Exponent, tried in this order:
//  1. Exponent = 0 gives 1 (also for Base = 0).
//  2. Base = 0 (either sign) and Exponent > 0 gives +0.
//  3. A whole Exponent with |Exponent| <= 2147483647 multiplies by repeated squaring, each product
//     rounded to extended; a negative Exponent then takes 1 / result (EZeroDivide for Base = 0).
//  4. Otherwise e^(Exponent * ln Base): EInvalidOp for a negative Base, EZeroDivide for Base = 0.
// Examples: RaisePower(-2, 3) = -8, RaisePower(0, 0.9L) = 0, RaisePower(-8, 0.2L) throws
// EInvalidOp, RaisePower(0, -2) throws EZeroDivide.
Extended RaisePower(Extended base, Extended exponent);

// Natural logarithm, as ln 2 * log2 x. Ln(0) throws EZeroDivide, Ln(-1) throws EInvalidOp.
Extended Ln(Extended x);

// e^x as 2^t with t = x * log2 e, split into the nearest integer i and the rest f: 2^f * 2^i.
// EOverflow when the result is beyond the extended range; a tiny result becomes subnormal or 0.
Extended Exp(Extended x);

} // namespace gustrule
