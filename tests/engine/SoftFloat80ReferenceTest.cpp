// The soft extended arithmetic against GNU MPFR, the reference for correctly rounded results:
// precision 64 with the extended exponent range and its subnormals (mpfr_subnormalize), on
// random arguments drawn to reach the hard cases. On x86 every operation is also compared with
// the x87 unit itself, which must agree bit for bit except in ln and 2^f - 1.
//
// GUSTRULE_REFERENCE_COUNT sets how many arguments each operation gets (1000000 by default).

#include <stdint.h> // before mpfr.h, for mpfr_get_uj and mpfr_set_uj_2exp

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <random>
#include <string>

#include "SoftFloat80.h"
#if defined(__x86_64__) || defined(__i386__)
#include "X87.h"
#define GUSTRULE_HAVE_X87 1
#endif

namespace gustrule::soft {
namespace {

constexpr mpfr_prec_t kPrecision = 64;
constexpr int kBias = kExponentBias;

int Count() {
  const char* text = std::getenv("GUSTRULE_REFERENCE_COUNT");
  return text != nullptr ? std::atoi(text) : 1000000;
}

std::string Hex(Float80 x) {
  char text[32];
  std::snprintf(text, sizeof text, "%04X:%016llX", x.SignExponent,
                static_cast<unsigned long long>(x.Significand));
  return text;
}

// An MPFR number of the given precision, freed at the end of its scope.
class Number {
public:
  explicit Number(mpfr_prec_t precision = kPrecision) { mpfr_init2(value_, precision); }
  Number(const Number&) = delete;
  Number& operator=(const Number&) = delete;
  ~Number() { mpfr_clear(value_); }
  mpfr_ptr get() { return value_; }

private:
  mpfr_t value_;
};

void Set(mpfr_ptr out, Float80 x) {
  const int field = x.SignExponent & kExponentMask;
  if (field == kExponentMask) {
    if (IsNaN(x)) {
      mpfr_set_nan(out);
    } else {
      mpfr_set_inf(out, SignBit(x) ? -1 : 1);
    }
    return;
  }
  mpfr_set_uj_2exp(out, x.Significand, (field == 0 ? 1 : field) - kBias - 63, MPFR_RNDN);
  if (SignBit(x)) {
    mpfr_neg(out, out, MPFR_RNDN);
  }
}

// An MPFR result that subnormalize has left on the extended grid, as its extended value.
Float80 Get(mpfr_ptr r) {
  const auto sign = static_cast<std::uint16_t>(mpfr_signbit(r) ? kSignBit : 0);
  if (mpfr_nan_p(r)) {
    return Float80::FromBits(kSignBit | kExponentMask, 0xC000000000000000ULL);
  }
  if (mpfr_inf_p(r)) {
    return Float80::FromBits(sign | kExponentMask, kIntegerBit);
  }
  if (mpfr_zero_p(r)) {
    return Float80::FromBits(sign, 0);
  }
  const long leading = mpfr_get_exp(r) - 1; // r = m 2^(leading + 1) with m in [0.5, 1)
  Number scaled;
  mpfr_mul_2si(scaled.get(), r, 63 - leading, MPFR_RNDN);
  mpfr_abs(scaled.get(), scaled.get(), MPFR_RNDN);
  std::uint64_t significand = mpfr_get_uj(scaled.get(), MPFR_RNDN);
  if (leading >= 1 - kBias) {
    return Float80::FromBits(static_cast<std::uint16_t>(sign | (leading + kBias)), significand);
  }
  significand >>= (1 - kBias) - leading; // a subnormal: exact after subnormalize
  return Float80::FromBits(sign, significand);
}

// Rounds an MPFR result of precision 64 to the extended format's range and subnormals.
Float80 Finish(mpfr_ptr r, int ternary) {
  ternary = mpfr_check_range(r, ternary, MPFR_RNDN);
  mpfr_subnormalize(r, ternary, MPFR_RNDN);
  return Get(r);
}

// Random arguments: each draw picks one of the kinds of value where rounding is hard.
class Arguments {
public:
  explicit Arguments(std::uint64_t seed) : random_(seed) {}

  std::uint64_t Bits() { return random_(); }
  int Below(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }

  // Any valid encoding: zeros, subnormals, normals across the whole range, infinities, NaN.
  Float80 Any() {
    const auto sign = static_cast<std::uint16_t>(Below(2) != 0 ? kSignBit : 0);
    switch (Below(8)) {
    case 0: // subnormal or zero
      return Float80::FromBits(sign, Bits() >> Below(64) >> 1);
    case 1: // near the top or the bottom of the range
      return Normal(sign, Below(2) != 0 ? Below(64) + 1 : kExponentMask - 1 - Below(64));
    case 2: // few significant bits, so sums and products fall on ties
      return Float80::FromBits(static_cast<std::uint16_t>(sign | (kBias - 40 + Below(80))),
                               kIntegerBit | (Bits() << (1 + Below(63)) >> 1 & ~(Bits() >> 1)));
    case 3:
      if (Below(16) == 0) {
        return Float80::FromBits(sign | kExponentMask, Below(2) != 0 ? kIntegerBit : ~0ULL);
      }
      [[fallthrough]];
    default: // ordinary magnitudes
      return Normal(sign, kBias - 200 + Below(400));
    }
  }

  // A second operand close to the first in exponent, or half a unit of it in the last place,
  // so that sums cancel and ties arise.
  Float80 Near(Float80 a) {
    const int field = a.SignExponent & kExponentMask;
    const auto sign = static_cast<std::uint16_t>(Below(2) != 0 ? kSignBit : 0);
    if (field == 0 || field >= kExponentMask - 70) {
      return Any();
    }
    if (Below(2) == 0) {
      return Normal(sign, field - 4 + Below(8) < 1 ? 1 : field - 4 + Below(8));
    }
    const int tieField = field - 64 - Below(3);
    return tieField < 1 ? Any()
                        : Float80::FromBits(static_cast<std::uint16_t>(sign | tieField),
                                            kIntegerBit | (Below(2) != 0 ? 0 : Bits() >> 1));
  }

  Float80 Normal(std::uint16_t sign, int field) {
    return Float80::FromBits(static_cast<std::uint16_t>(sign | field), kIntegerBit | Bits());
  }

private:
  std::mt19937_64 random_;
};

#if GUSTRULE_HAVE_X87
long double ToX87(Float80 x) {
  long double value = 0;
  std::memcpy(&value, &x, 10); // little-endian: significand, then sign and exponent
  return value;
}
Float80 FromX87(long double value) {
  Float80 x;
  std::memcpy(static_cast<void*>(&x), &value, 10);
  return x;
}
#define GUSTRULE_X87(...) __VA_ARGS__
#else
#define GUSTRULE_X87(...) nullptr
#endif

// A result of any compared kind as bits, every NaN alike.
struct Bits {
  std::uint64_t High = 0;
  std::uint64_t Low = 0;
  bool operator==(const Bits&) const = default;
};
constexpr Bits kNaN = {~0ULL, ~0ULL};
Bits Of(Float80 x) {
  return IsNaN(x) ? kNaN : Bits{x.SignExponent, x.Significand};
}
Bits Of(double d) {
  return d != d ? kNaN : Bits{1, __builtin_bit_cast(std::uint64_t, d)};
}
Bits Of(std::int64_t n) {
  return {2, static_cast<std::uint64_t>(n)};
}
std::ostream& operator<<(std::ostream& out, Bits b) {
  char text[40];
  std::snprintf(text, sizeof text, "%llX:%016llX", static_cast<unsigned long long>(b.High),
                static_cast<unsigned long long>(b.Low));
  return out << text;
}

// MPFR numbers for one operation's operands and result.
struct Scratch {
  Number X, Y, R;
};

// An operation on one or two operands; the second also gives ldexp's power of two.
struct Operation {
  const char* Name;
  Bits (*Soft)(Float80 a, Float80 b);
  Bits (*Mpfr)(Scratch& s, Float80 a, Float80 b);
  Bits (*X87)(Float80 a, Float80 b);
};

template <typename Function>
Bits MpfrBinary(Scratch& s, Float80 a, Float80 b, Function f) {
  Set(s.X.get(), a);
  Set(s.Y.get(), b);
  return Of(Finish(s.R.get(), f(s.R.get(), s.X.get(), s.Y.get(), MPFR_RNDN)));
}

// ldexp's power of two: mostly one that takes a into the subnormals, where ldexp rounds.
int PowerOfTwo(Float80 a, Float80 b) {
  if (b.Significand % 4 == 0) {
    return static_cast<int>(b.Significand % 70001) - 35000;
  }
  const int exponent = (a.SignExponent & kExponentMask) - kBias;
  return 1 - kBias - exponent - static_cast<int>(b.Significand % 70);
}

// |a| < 2^62, where llrint is defined.
bool FitsInt64(Float80 a) {
  return (a.SignExponent & kExponentMask) < kBias + 62;
}

const Operation kOperations[] = {
    {"+", [](Float80 a, Float80 b) { return Of(a + b); },
     [](Scratch& s, Float80 a, Float80 b) { return MpfrBinary(s, a, b, mpfr_add); },
     GUSTRULE_X87([](Float80 a, Float80 b) { return Of(FromX87(ToX87(a) + ToX87(b))); })},
    {"-", [](Float80 a, Float80 b) { return Of(a - b); },
     [](Scratch& s, Float80 a, Float80 b) { return MpfrBinary(s, a, b, mpfr_sub); },
     GUSTRULE_X87([](Float80 a, Float80 b) { return Of(FromX87(ToX87(a) - ToX87(b))); })},
    {"*", [](Float80 a, Float80 b) { return Of(a * b); },
     [](Scratch& s, Float80 a, Float80 b) { return MpfrBinary(s, a, b, mpfr_mul); },
     GUSTRULE_X87([](Float80 a, Float80 b) { return Of(FromX87(ToX87(a) * ToX87(b))); })},
    {"/", [](Float80 a, Float80 b) { return Of(a / b); },
     [](Scratch& s, Float80 a, Float80 b) { return MpfrBinary(s, a, b, mpfr_div); },
     GUSTRULE_X87([](Float80 a, Float80 b) { return Of(FromX87(ToX87(a) / ToX87(b))); })},
    {"<", [](Float80 a, Float80 b) { return Of(std::int64_t{a < b}); },
     [](Scratch& s, Float80 a, Float80 b) {
       Set(s.X.get(), a);
       Set(s.Y.get(), b);
       return Of(std::int64_t{mpfr_less_p(s.X.get(), s.Y.get()) != 0});
     },
     GUSTRULE_X87([](Float80 a, Float80 b) { return Of(std::int64_t{ToX87(a) < ToX87(b)}); })},
    {"==", [](Float80 a, Float80 b) { return Of(std::int64_t{a == b}); },
     [](Scratch& s, Float80 a, Float80 b) {
       Set(s.X.get(), a);
       Set(s.Y.get(), b);
       return Of(std::int64_t{mpfr_equal_p(s.X.get(), s.Y.get()) != 0});
     },
     GUSTRULE_X87([](Float80 a, Float80 b) { return Of(std::int64_t{ToX87(a) == ToX87(b)}); })},
    {"to double", [](Float80 a, Float80) { return Of(ToDouble(a)); },
     [](Scratch& s, Float80 a, Float80) {
       Set(s.X.get(), a);
       return Of(mpfr_get_d(s.X.get(), MPFR_RNDN));
     },
     GUSTRULE_X87([](Float80 a, Float80) { return Of(static_cast<double>(ToX87(a))); })},
    {"from double", [](Float80, Float80 b) { return Of(FromDouble(std::bit_cast<double>(b.Significand))); },
     [](Scratch& s, Float80, Float80 b) {
       mpfr_set_d(s.R.get(), std::bit_cast<double>(b.Significand), MPFR_RNDN);
       return Of(Get(s.R.get()));
     },
     GUSTRULE_X87([](Float80, Float80 b) {
       return Of(FromX87(static_cast<long double>(std::bit_cast<double>(b.Significand))));
     })},
    {"rint", [](Float80 a, Float80) { return Of(Rint(a)); },
     [](Scratch& s, Float80 a, Float80) {
       Set(s.X.get(), a);
       return Of(Finish(s.R.get(), mpfr_rint(s.R.get(), s.X.get(), MPFR_RNDN)));
     },
     GUSTRULE_X87([](Float80 a, Float80) { return Of(FromX87(rintl(ToX87(a)))); })},
    {"llrint", [](Float80 a, Float80) { return FitsInt64(a) ? Of(Llrint(a)) : Bits{}; },
     [](Scratch& s, Float80 a, Float80) {
       if (!FitsInt64(a)) {
         return Bits{};
       }
       Set(s.X.get(), a);
       mpfr_rint(s.R.get(), s.X.get(), MPFR_RNDN);
       return Of(static_cast<std::int64_t>(mpfr_get_sj(s.R.get(), MPFR_RNDN)));
     },
     GUSTRULE_X87([](Float80 a, Float80) {
       return FitsInt64(a) ? Of(static_cast<std::int64_t>(llrintl(ToX87(a)))) : Bits{};
     })},
    {"ilogb", [](Float80 a, Float80) { return Of(std::int64_t{Ilogb(a)}); },
     [](Scratch& s, Float80 a, Float80) {
       Set(s.X.get(), a);
       if (!mpfr_regular_p(s.X.get())) {
         return Of(std::int64_t{Ilogb(a)}); // the C library's codes for 0, inf and NaN
       }
       return Of(static_cast<std::int64_t>(mpfr_get_exp(s.X.get()) - 1));
     },
     GUSTRULE_X87([](Float80 a, Float80) { return Of(std::int64_t{ilogbl(ToX87(a))}); })},
    {"ldexp", [](Float80 a, Float80 b) { return Of(Ldexp(a, PowerOfTwo(a, b))); },
     [](Scratch& s, Float80 a, Float80 b) {
       Set(s.X.get(), a);
       return Of(Finish(s.R.get(), mpfr_mul_2si(s.R.get(), s.X.get(), PowerOfTwo(a, b), MPFR_RNDN)));
     },
     GUSTRULE_X87([](Float80 a, Float80 b) { return Of(FromX87(ldexpl(ToX87(a), PowerOfTwo(a, b)))); })},
};

class Reference : public ::testing::Test {
protected:
  void SetUp() override {
    mpfr_set_emin(-16444); // the smallest subnormal is 2^-16445 = 0.5 * 2^-16444
    mpfr_set_emax(16384);
#if GUSTRULE_HAVE_X87
    x87::SetControlWord();
#endif
  }
  void TearDown() override {
    mpfr_set_emin(mpfr_get_emin_min());
    mpfr_set_emax(mpfr_get_emax_max());
  }
};

TEST_F(Reference, BasicOperationsRoundAsMpfrAndTheX87Unit) {
  Arguments arguments(1);
  Scratch scratch;
  const int count = Count();
  for (const Operation& op : kOperations) {
    int failures = 0;
    for (int i = 0; i < count && failures < 10; ++i) {
      const Float80 a = arguments.Any();
      const Float80 b = arguments.Below(2) != 0 ? arguments.Near(a) : arguments.Any();
      const Bits got = op.Soft(a, b);
      const Bits expected = op.Mpfr(scratch, a, b);
      const Bits x87 = op.X87 != nullptr ? op.X87(a, b) : got;
      if (!(got == expected && got == x87)) {
        ++failures;
        ADD_FAILURE() << op.Name << " of " << Hex(a) << ", " << Hex(b) << ": " << got << ", MPFR "
                      << expected << ", x87 " << x87;
      }
    }
  }
}

// Arguments of ln: any positive value, and values near 1, near the reduction's table points
// (1 + i/128, and the ends 0.75 and 1.5 of the reduced range) and powers of two.
Float80 LnArgument(Arguments& arguments) {
  const Float80 any = Fabs(arguments.Any());
  switch (arguments.Below(6)) {
  case 0: {
    const auto offset = static_cast<std::int64_t>(arguments.Bits() >> arguments.Below(64) >> 1);
    return Float80(1) + Ldexp(Float80(arguments.Below(2) != 0 ? 1 : -1), -64 - arguments.Below(64)) *
                            Float80(static_cast<int>(offset % 100000));
  }
  case 1: {
    const Float80 point = Float80(96 + arguments.Below(97)) / Float80(128);
    return Ldexp(point + Ldexp(FromDouble(static_cast<double>(arguments.Below(2001) - 1000)),
                              -63 - arguments.Below(40)),
                 arguments.Below(400) - 200);
  }
  case 2:
    return Ldexp(Float80(1), arguments.Below(32000) - 16000 - arguments.Below(445));
  default:
    return IsNaN(any) || IsInf(any) || any == 0 ? Float80(3) : any;
  }
}

// Arguments of 2^f - 1 in [-1, 1]: any, near the table points i/128, tiny and subnormal ones.
Float80 Exp2Argument(Arguments& arguments) {
  const auto sign = static_cast<std::uint16_t>(arguments.Below(2) != 0 ? kSignBit : 0);
  switch (arguments.Below(5)) {
  case 0: { // towards 0 from a table point, so that it stays within [-1, 1]
    const Float80 point = Float80(arguments.Below(257) - 128) / Float80(128);
    const Float80 offset =
        Ldexp(FromDouble(static_cast<double>(arguments.Below(1000) + 1)), -64 - arguments.Below(40));
    return SignBit(point) ? point + offset : point - offset;
  }
  case 1:
    return Float80::FromBits(sign, (arguments.Bits() >> arguments.Below(64) >> 1) | 1);
  case 2:
    return arguments.Normal(sign, 1 + arguments.Below(kBias - 1));
  default:
    return arguments.Normal(sign, kBias - 1 - arguments.Below(12));
  }
}

// (extended ln 2) * log2 x with log2 x to `precision` bits, rounded to out's precision.
int MpfrLnTimesLog2(mpfr_ptr out, Float80 x, mpfr_prec_t precision) {
  Number argument, log2(precision), ln2;
  Set(argument.get(), x);
  mpfr_log2(log2.get(), argument.get(), MPFR_RNDN);
  mpfr_const_log2(ln2.get(), MPFR_RNDN); // precision 64: the extended ln 2
  return mpfr_mul(out, log2.get(), ln2.get(), MPFR_RNDN);
}

struct Transcendental {
  const char* Name;
  Float80 (*Soft)(Float80);
  Float80 (*Argument)(Arguments&);
  // The result rounded to out's precision (its inner steps, if any, carried to `precision`
  // bits), and the ternary value that tells how it was rounded.
  int (*Mpfr)(mpfr_ptr out, Float80 x, mpfr_prec_t precision);
  long double (*X87)(long double);
  detail::Approximation (*Approximate)(Float80 x, int words);
};

const Transcendental kTranscendentals[] = {
    {"ln", Ln, LnArgument, MpfrLnTimesLog2, GUSTRULE_X87(x87::Ln), detail::LnApproximation},
    {"2^f-1", Exp2Minus1, Exp2Argument,
     [](mpfr_ptr out, Float80 x, mpfr_prec_t) {
       Number argument;
       Set(argument.get(), x);
       return mpfr_exp2m1(out, argument.get(), MPFR_RNDN);
     },
     GUSTRULE_X87(x87::Exp2Minus1), detail::Exp2Minus1Approximation},
};

// ln and 2^f - 1 are correctly rounded. MPFR's 2^f - 1 is; its ln reference computes log2 x with
// 192 bits, so the product rounds to 64 bits correctly unless it lies within about 2^-190 of
// halfway, far closer than any argument comes. The x87 unit's results differ from them in at most
// the last bit; how often is printed.
TEST_F(Reference, LnAndExp2Minus1AreCorrectlyRounded) {
  Arguments arguments(3);
  const int count = Count();
  for (const Transcendental& op : kTranscendentals) {
    int failures = 0;
    int x87Differences = 0;
    const std::uint64_t fallbacksBefore = detail::WideFallbacks();
    for (int i = 0; i < count && failures < 10; ++i) {
      const Float80 x = op.Argument(arguments);
      const Float80 got = op.Soft(x);
      Number rounded;
      const Float80 expected = Finish(rounded.get(), op.Mpfr(rounded.get(), x, 192));
      if (!SameBits(got, expected)) {
        ++failures;
        ADD_FAILURE() << op.Name << "(" << Hex(x) << "): " << Hex(got) << ", MPFR "
                      << Hex(expected);
      }
#if GUSTRULE_HAVE_X87
      const Float80 x87 = FromX87(op.X87(ToX87(x)));
      if (!SameBits(got, x87)) {
        ++x87Differences;
        const long double gap = std::fabs(ToX87(got) - ToX87(x87));
        const long double lastBit = std::max(std::fabs(ToX87(got)) * 0x1p-63L, 0x1p-16445L);
        EXPECT_LE(gap, lastBit) << op.Name << "(" << Hex(x) << ")";
      }
#endif
    }
    std::printf("%s: %d arguments, %d results differ from the x87 unit's in the last bit, %llu "
                "needed 256 bits\n",
                op.Name, count, x87Differences,
                static_cast<unsigned long long>(detail::WideFallbacks() - fallbacksBefore));
  }
}

// The error bound that decides between the 128-bit result and the 256-bit one holds: the
// approximations lie within |approximation| * 2^-ErrorBits of the exact value (measured at 512
// bits). The largest error found is printed.
TEST_F(Reference, ApproximationsStayWithinTheirErrorBounds) {
  Arguments arguments(4);
  const int count = Count() / 20;
  for (const Transcendental& op : kTranscendentals) {
    for (const int words : {2, 4}) {
      double worstBits = 1e9;
      for (int i = 0; i < count; ++i) {
        const Float80 x = op.Argument(arguments);
        const detail::Approximation approximation = op.Approximate(x, words);
        if (approximation.Parts.empty()) {
          continue; // an exact zero
        }
        Number sum(512), part, exact(576), error(512);
        mpfr_set_zero(sum.get(), 1);
        for (const Float80 p : approximation.Parts) {
          Set(part.get(), p);
          mpfr_add(sum.get(), sum.get(), part.get(), MPFR_RNDN);
        }
        op.Mpfr(exact.get(), x, 512);
        mpfr_sub(error.get(), sum.get(), exact.get(), MPFR_RNDN);
        if (mpfr_zero_p(error.get())) {
          continue;
        }
        mpfr_div(error.get(), error.get(), sum.get(), MPFR_RNDN);
        const double bits = -std::log2(std::fabs(mpfr_get_d(error.get(), MPFR_RNDN)));
        worstBits = std::min(worstBits, bits);
        EXPECT_GE(bits, approximation.ErrorBits) << op.Name << "(" << Hex(x) << ") at " << words;
      }
      std::printf("%s at %d words: error at most 2^-%.1f relative (bound 2^-%d)\n", op.Name,
                  words, worstBits, op.Approximate(Float80(1) / Float80(3), words).ErrorBits);
    }
  }
}

} // namespace
} // namespace gustrule::soft
