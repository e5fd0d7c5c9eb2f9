#pragma once

#include <limits>

#include "Failures.h"

namespace gustrule {

// Every expression of a calculation is evaluated with a 64-bit significand: the 80-bit x87
// extended format, which GCC and Clang use for long double on x86. A platform whose long double
// is wider (binary128) still builds; one whose long double is only a double does not.
#if defined(__x86_64__) || defined(__i386__)
static_assert(std::numeric_limits<long double>::digits == 64,
              "the engine needs long double to be the x87 80-bit extended format");
#else
static_assert(std::numeric_limits<long double>::digits >= 64,
              "the engine needs a long double with at least a 64-bit significand");
#endif
static_assert(std::numeric_limits<double>::is_iec559, "doubles must be IEEE 754 binary64");

// Sets the arithmetic environment every calculation relies on: round to nearest (ties to even),
// 64-bit significands, and all floating-point exceptions masked so the hardware never traps;
// failures are detected by the checked operations below instead. Call once at start-up.
void InitArithmetic();

// An extended-precision value inside an expression. Every operation rounds to nearest and is
// checked: a result beyond the extended range raises EOverflow, x / 0 raises EZeroDivide (0 / 0
// raises EInvalidOp). Underflow and inexact results never fail.
//
// Decimal constants of the formulas are written as long double literals (5.74L), so each is the
// extended value nearest to the decimal; a plain double literal does not compile here, which
// keeps a constant from silently being rounded to double first. Values that a calculation stores
// enter expressions as Real.
class Extended {
public:
  constexpr Extended() = default;
  // Implicit on purpose: literals and small integers read as they do in the formulas.
  constexpr Extended(long double value) : value_(value) {} // NOLINT(google-explicit-constructor)
  constexpr Extended(int value) : value_(value) {}         // NOLINT(google-explicit-constructor)
  Extended(double) = delete;

  constexpr long double Value() const { return value_; }

private:
  long double value_ = 0;
};

// Returns a computed value unless it left the extended range (EOverflow) or is not a number
// (EInvalidOp).
Extended Checked(long double result);

inline Extended operator+(Extended a, Extended b) {
  return Checked(a.Value() + b.Value());
}
inline Extended operator-(Extended a, Extended b) {
  return Checked(a.Value() - b.Value());
}
inline Extended operator*(Extended a, Extended b) {
  return Checked(a.Value() * b.Value());
}
Extended operator/(Extended a, Extended b);
inline Extended operator-(Extended a) {
  return Extended(-a.Value());
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
    return Extended(static_cast<long double>(value_));
  }

private:
  double value_ = 0;
};

// Rounds an extended value to double; EOverflow when it lies beyond the double range.
double StoreDouble(long double value);

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
