// ln and 2^f - 1 of the soft extended arithmetic, each rounded once to nearest.
//
// Both are first approximated with 128-bit significands: a table step takes the argument close
// to a point whose value is known, and a short series does the rest. The approximation comes
// with an error bound; when the whole interval it allows rounds to one extended value, that is
// the correctly rounded result. Otherwise (about once in 2^43 arguments) the same steps run again
// with 256-bit significands. Their interval fails to decide only for a result within 2^-236 of
// halfway between two extended values; no such argument is known, and counting suggests none
// exists (about 2^79 arguments, each about 2^-64 likely to come within 2^-128 of halfway), so
// that approximation is then rounded as it is.
//
// The tables and series coefficients are computed at compile time by the same arithmetic, from
// ln 2 = 2 atanh(1/3), ln c = 2 atanh((c - 1) / (c + 1)) and the series of e^y - 1.

#include <array>
#include <atomic>
#include <cstddef>
#include <optional>

#include "SoftFloat80.h"
#include "SoftFloat80Internal.h"

namespace gustrule::soft {

using internal::U128;

namespace {

// A real number Words * 2^(Exponent - 64 N) with N 64-bit words, least significant first, and
// the top bit of the top word set unless the value is zero. Every operation truncates its exact
// result to N words, an error below one unit of the last word.
template <int N>
struct Wide {
  std::array<std::uint64_t, static_cast<std::size_t>(N)> Words{};
  int Exponent = 0;
  bool Negative = false;

  constexpr bool IsZero() const { return Words[N - 1] == 0; }
};

template <std::size_t M>
constexpr std::array<std::uint64_t, M> ShiftLeft(const std::array<std::uint64_t, M>& words,
                                                 int shift) {
  std::array<std::uint64_t, M> result{};
  const int wordShift = shift / 64;
  const int bitShift = shift % 64;
  for (int i = static_cast<int>(M) - 1; i >= wordShift; --i) {
    std::uint64_t word = words[static_cast<std::size_t>(i - wordShift)] << bitShift;
    if (bitShift != 0 && i - wordShift >= 1) {
      word |= words[static_cast<std::size_t>(i - wordShift - 1)] >> (64 - bitShift);
    }
    result[static_cast<std::size_t>(i)] = word;
  }
  return result;
}

template <std::size_t M>
constexpr std::array<std::uint64_t, M> ShiftRight(const std::array<std::uint64_t, M>& words,
                                                  int shift) {
  std::array<std::uint64_t, M> result{};
  const int wordShift = shift / 64;
  const int bitShift = shift % 64;
  for (int i = 0; i + wordShift < static_cast<int>(M); ++i) {
    std::uint64_t word = words[static_cast<std::size_t>(i + wordShift)] >> bitShift;
    if (bitShift != 0 && i + wordShift + 1 < static_cast<int>(M)) {
      word |= words[static_cast<std::size_t>(i + wordShift + 1)] << (64 - bitShift);
    }
    result[static_cast<std::size_t>(i)] = word;
  }
  return result;
}

// How many leading zero bits an M-word number has (64 M for zero).
template <std::size_t M>
constexpr int LeadingZeros(const std::array<std::uint64_t, M>& words) {
  int zeros = 0;
  for (int i = static_cast<int>(M) - 1; i >= 0; --i) {
    const std::uint64_t word = words[static_cast<std::size_t>(i)];
    if (word != 0) {
      return zeros + std::countl_zero(word);
    }
    zeros += 64;
  }
  return zeros;
}

// The M-word number Words * 2^scale, truncated to N words.
template <int N, std::size_t M>
constexpr Wide<N> Pack(const std::array<std::uint64_t, M>& words, int scale, bool negative) {
  const int zeros = LeadingZeros(words);
  Wide<N> result;
  if (zeros == static_cast<int>(64 * M)) {
    return result;
  }
  const std::array<std::uint64_t, M> shifted = ShiftLeft(words, zeros);
  for (int i = 0; i < N; ++i) {
    const int source = static_cast<int>(M) - N + i;
    result.Words[static_cast<std::size_t>(i)] =
        source >= 0 ? shifted[static_cast<std::size_t>(source)] : 0;
  }
  result.Exponent = static_cast<int>(64 * M) + scale - zeros;
  result.Negative = negative;
  return result;
}

template <int N>
constexpr Wide<N> Negated(Wide<N> x) {
  x.Negative = !x.Negative;
  return x;
}

template <int N>
constexpr Wide<N> FromInteger(std::int64_t value) {
  const std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return Pack<N>(std::array<std::uint64_t, 1>{magnitude}, 0, value < 0);
}

// A finite extended value, exactly.
template <int N>
constexpr Wide<N> FromFloat80(Float80 x) {
  if (internal::IsZero(x)) {
    return {};
  }
  const internal::Unpacked u = internal::Unpack(x);
  return Pack<N>(std::array<std::uint64_t, 1>{u.Significand}, u.Exponent - 63, u.Negative);
}

template <int N>
constexpr Wide<N> operator*(const Wide<N>& a, const Wide<N>& b) {
  std::array<std::uint64_t, static_cast<std::size_t>(2 * N)> product{};
  for (int i = 0; i < N; ++i) {
    std::uint64_t carry = 0;
    for (int j = 0; j < N; ++j) {
      const auto k = static_cast<std::size_t>(i + j);
      const U128 t = U128(a.Words[static_cast<std::size_t>(i)]) *
                         b.Words[static_cast<std::size_t>(j)] +
                     product[k] + carry;
      product[k] = static_cast<std::uint64_t>(t);
      carry = static_cast<std::uint64_t>(t >> 64);
    }
    product[static_cast<std::size_t>(i + N)] = carry;
  }
  return Pack<N>(product, a.Exponent + b.Exponent - 128 * N, a.Negative != b.Negative);
}

template <std::size_t M>
constexpr bool WordsBelow(const std::array<std::uint64_t, M>& a,
                          const std::array<std::uint64_t, M>& b) {
  for (int i = static_cast<int>(M) - 1; i >= 0; --i) {
    const auto k = static_cast<std::size_t>(i);
    if (a[k] != b[k]) {
      return a[k] < b[k];
    }
  }
  return false;
}

template <int N>
constexpr Wide<N> operator+(const Wide<N>& a, const Wide<N>& b) {
  if (a.IsZero()) {
    return b;
  }
  if (b.IsZero()) {
    return a;
  }
  const bool aLarger =
      a.Exponent != b.Exponent ? a.Exponent > b.Exponent : !WordsBelow(a.Words, b.Words);
  const Wide<N>& larger = aLarger ? a : b;
  const Wide<N>& smaller = aLarger ? b : a;
  // N + 2 words: a guard word below the significands and a carry word above them.
  constexpr auto kWords = static_cast<std::size_t>(N + 2);
  std::array<std::uint64_t, kWords> x{};
  std::array<std::uint64_t, kWords> y{};
  for (std::size_t i = 0; i < static_cast<std::size_t>(N); ++i) {
    x[i + 1] = larger.Words[i];
    y[i + 1] = smaller.Words[i];
  }
  const int shift = larger.Exponent - smaller.Exponent;
  if (shift >= static_cast<int>(64 * kWords)) {
    return larger;
  }
  y = ShiftRight(y, shift);
  if (larger.Negative == smaller.Negative) {
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < kWords; ++i) {
      const U128 t = U128(x[i]) + y[i] + carry;
      x[i] = static_cast<std::uint64_t>(t);
      carry = static_cast<std::uint64_t>(t >> 64);
    }
  } else {
    std::uint64_t borrow = 0;
    for (std::size_t i = 0; i < kWords; ++i) {
      const U128 t = U128(x[i]) - y[i] - borrow;
      x[i] = static_cast<std::uint64_t>(t);
      borrow = static_cast<std::uint64_t>(t >> 64) != 0 ? 1 : 0;
    }
  }
  return Pack<N>(x, larger.Exponent - 64 * N - 64, larger.Negative);
}

template <int N>
constexpr Wide<N> operator-(const Wide<N>& a, const Wide<N>& b) {
  return a + Negated(b);
}

// The same operations for two words, where nearly every call is, on one 128-bit significand:
// the general ones above spend most of their time moving words about.
constexpr U128 Significand(const Wide<2>& x) {
  return (U128(x.Words[1]) << 64) | x.Words[0];
}
constexpr Wide<2> WithSignificand(U128 significand, int exponent, bool negative) {
  return {{static_cast<std::uint64_t>(significand), static_cast<std::uint64_t>(significand >> 64)},
          exponent,
          negative};
}

// The product's top 128 bits from three of the four word products; what is left out is below
// three units of the last place.
template <>
constexpr Wide<2> operator*(const Wide<2>& a, const Wide<2>& b) {
  if (a.IsZero() || b.IsZero()) {
    return {};
  }
  const U128 high = U128(a.Words[1]) * b.Words[1];
  const U128 middle = (U128(a.Words[1]) * b.Words[0] >> 64) + (U128(a.Words[0]) * b.Words[1] >> 64);
  U128 product = high + middle; // below 2^128
  int exponent = a.Exponent + b.Exponent;
  if (product >> 127 == 0) {
    product <<= 1;
    --exponent;
  }
  return WithSignificand(product, exponent, a.Negative != b.Negative);
}

// The smaller operand is shifted right with the 64 bits it loses kept as a guard word, so a
// difference that cancels leading bits still has them to shift in.
template <>
constexpr Wide<2> operator+(const Wide<2>& a, const Wide<2>& b) {
  if (a.IsZero()) {
    return b;
  }
  if (b.IsZero()) {
    return a;
  }
  const U128 aSignificand = Significand(a);
  const U128 bSignificand = Significand(b);
  const bool aLarger =
      a.Exponent != b.Exponent ? a.Exponent > b.Exponent : aSignificand >= bSignificand;
  const Wide<2>& larger = aLarger ? a : b;
  const U128 x = aLarger ? aSignificand : bSignificand;
  const U128 y = aLarger ? bSignificand : aSignificand;
  const int shift = larger.Exponent - (aLarger ? b : a).Exponent;
  if (shift >= 192) {
    return larger;
  }
  U128 shifted = 0;
  std::uint64_t guard = 0;
  if (shift == 0) {
    shifted = y;
  } else if (shift < 64) {
    shifted = y >> shift;
    guard = static_cast<std::uint64_t>(y) << (64 - shift);
  } else {
    shifted = shift < 128 ? y >> shift : 0;
    guard = static_cast<std::uint64_t>(y >> (shift - 64));
  }
  int exponent = larger.Exponent;
  if (larger.Negative == (aLarger ? b : a).Negative) {
    U128 sum = x + shifted;
    if (sum < x) { // carried out of 128 bits
      sum = (sum >> 1) | (U128(1) << 127);
      ++exponent;
    }
    return WithSignificand(sum, exponent, larger.Negative);
  }
  // (x, 0) - (shifted, guard) as 192 bits, then shifted left until the top bit is set.
  U128 high = x - shifted - (guard != 0 ? 1 : 0);
  std::uint64_t low = 0 - guard;
  if (high == 0 && low == 0) {
    return {};
  }
  while (high >> 64 == 0) { // at most three words' worth
    high = (high << 64) | low;
    low = 0;
    exponent -= 64;
  }
  const int zeros = std::countl_zero(static_cast<std::uint64_t>(high >> 64));
  if (zeros != 0) {
    high = (high << zeros) | (low >> (64 - zeros));
    exponent -= zeros;
  }
  return WithSignificand(high, exponent, larger.Negative);
}

// a / d for a small whole d > 0.
template <int N>
constexpr Wide<N> DividedBy(const Wide<N>& a, std::uint64_t d) {
  // floor(Words * 2^64 / d), one word longer than a, so no bit of the quotient is lost.
  std::array<std::uint64_t, static_cast<std::size_t>(N + 1)> quotient{};
  U128 remainder = 0;
  for (int i = N - 1; i >= 0; --i) {
    const U128 current = (remainder << 64) | a.Words[static_cast<std::size_t>(i)];
    quotient[static_cast<std::size_t>(i + 1)] = static_cast<std::uint64_t>(current / d);
    remainder = current % d;
  }
  quotient[0] = static_cast<std::uint64_t>((remainder << 64) / d);
  return Pack<N>(quotient, a.Exponent - 64 * N - 64, a.Negative);
}

// 1 / b by Newton's iteration y + y (1 - b y), which doubles the correct bits each time, from
// the quotient by b's top word.
template <int N>
constexpr Wide<N> Reciprocal(const Wide<N>& b) {
  Wide<N> y = DividedBy(FromInteger<N>(1), b.Words[static_cast<std::size_t>(N - 1)]);
  y.Exponent += 64 - b.Exponent;
  y.Negative = b.Negative;
  const Wide<N> one = FromInteger<N>(1);
  for (int bits = 62; bits < 64 * N + 8; bits *= 2) {
    y = y + y * (one - b * y);
  }
  return y;
}

// Whether a series term is too small to change a sum at N words.
template <int N>
constexpr bool Negligible(const Wide<N>& term, const Wide<N>& sum) {
  return term.IsZero() || term.Exponent < sum.Exponent - 64 * N - 8;
}

// atanh s = s + s^3/3 + s^5/5 + ..., for |s| <= 1/3.
template <int N>
constexpr Wide<N> Atanh(const Wide<N>& s) {
  const Wide<N> square = s * s;
  Wide<N> power = s;
  Wide<N> sum = s;
  for (std::uint64_t k = 3;; k += 2) {
    power = power * square;
    const Wide<N> term = DividedBy(power, k);
    if (Negligible(term, sum)) {
      return sum;
    }
    sum = sum + term;
  }
}

// e^y - 1 = y + y^2/2! + y^3/3! + ..., for |y| <= 1.
template <int N>
constexpr Wide<N> ExpMinus1Series(const Wide<N>& y) {
  Wide<N> term = y;
  Wide<N> sum = y;
  for (std::uint64_t k = 2;; ++k) {
    term = DividedBy(term * y, k);
    if (Negligible(term, sum)) {
      return sum;
    }
    sum = sum + term;
  }
}

// The value rounded to the nearest extended value (its words beyond 128 bits only decide ties).
template <std::size_t M>
constexpr Float80 RoundWords(const std::array<std::uint64_t, M>& words, int scale, bool negative) {
  const int zeros = LeadingZeros(words);
  if (zeros == static_cast<int>(64 * M)) {
    return internal::Zero(negative);
  }
  const std::array<std::uint64_t, M> shifted = ShiftLeft(words, zeros);
  U128 top = (U128(shifted[M - 1]) << 64) | (M >= 2 ? shifted[M - 2] : 0);
  for (std::size_t i = 0; i + 2 < M; ++i) {
    top |= U128(shifted[i] != 0 ? 1 : 0);
  }
  return internal::RoundPack(negative, static_cast<int>(64 * M) - 1 + scale - zeros, top);
}

template <int N>
constexpr Float80 RoundNearest(const Wide<N>& x) {
  return RoundWords(x.Words, x.Exponent - 64 * N, x.Negative);
}

// The rounding of the exact value when an approximation within |x| * 2^-errorBits of it decides
// it: both ends of that interval round to the same extended value.
template <int N>
constexpr std::optional<Float80> RoundIfDecided(const Wide<N>& x, int errorBits) {
  constexpr auto kWords = static_cast<std::size_t>(N + 1); // one more word for a carry
  std::array<std::uint64_t, kWords> low{};
  for (std::size_t i = 0; i < static_cast<std::size_t>(N); ++i) {
    low[i] = x.Words[i];
  }
  const std::array<std::uint64_t, kWords> error = ShiftRight(low, errorBits);
  std::array<std::uint64_t, kWords> high = low;
  std::uint64_t carry = 0;
  std::uint64_t borrow = 0;
  for (std::size_t i = 0; i < kWords; ++i) {
    const U128 sum = U128(high[i]) + error[i] + carry;
    high[i] = static_cast<std::uint64_t>(sum);
    carry = static_cast<std::uint64_t>(sum >> 64);
    const U128 difference = U128(low[i]) - error[i] - borrow;
    low[i] = static_cast<std::uint64_t>(difference);
    borrow = static_cast<std::uint64_t>(difference >> 64) != 0 ? 1 : 0;
  }
  const int scale = x.Exponent - 64 * N;
  const Float80 down = RoundWords(low, scale, x.Negative);
  const Float80 up = RoundWords(high, scale, x.Negative);
  if (SameBits(down, up)) {
    return down;
  }
  return std::nullopt;
}

// The approximation of ln at N words comes within 2^-(64 N - kSlackBits) of the exact value,
// relative: a few units of the last word from each of the roughly 40 truncating steps, and up to
// 2^8 times more where the reduced argument's part of the result is up to 2^8 times smaller than
// the result. The same holds for 2^f - 1. The tests measure the actual errors against MPFR.
constexpr int kSlackBits = 20;

template <int N>
constexpr int ErrorBits() {
  return 64 * N - kSlackBits;
}

// The logarithm steps: m in [0.75, 1.5) is c (1 + z) with c = 1 + i/128 the nearest table point,
// i from -32 to 64, and |z| <= 1/192.
constexpr int kLnStepsBelowOne = 32;
constexpr int kLnStepsAboveOne = 64;
constexpr int kLnSteps = kLnStepsBelowOne + 1 + kLnStepsAboveOne;
constexpr int kStepsPerOne = 128;
// ln(1 + z) = z (1 - z/2 + z^2/3 - ...) with this many terms in the bracket: the first term left
// out is below 2^-(64 N + 2) relative for |z| <= 1/192.
template <int N>
constexpr int kLnTerms = N == 2 ? 16 : 33;
// 2^f - 1: f = i/128 + g with |g| <= 1/256 and y = g ln 2; e^y - 1 = y (1 + y/2! + y^2/3! + ...)
// with this many terms in the bracket.
constexpr int kExp2Steps = 2 * kStepsPerOne + 1;
template <int N>
constexpr int kExpTerms = N == 2 ? 12 : 22;

template <int N>
struct Tables {
  Wide<N> Ln2;
  Float80 ExtendedLn2;                           // ln 2 rounded to extended
  Wide<N> LnScale;                               // ExtendedLn2 / ln 2: a result is ln x times this
  std::array<Wide<N>, kLnSteps> StepReciprocal;  // 1 / c
  std::array<Wide<N>, kLnSteps> StepLn;          // ln c * LnScale
  std::array<Wide<N>, kLnTerms<N>> LnSeries;     // (-1)^k / (k + 1)
  std::array<Wide<N>, kExp2Steps> Exp2Step;      // 2^(i/128) - 1, i from -128 to 128
  std::array<Wide<N>, kExp2Steps> Exp2StepPlus1; // 2^(i/128)
  std::array<Wide<N>, kExpTerms<N>> ExpSeries;   // 1 / (k + 1)!
};

// Each table value is computed with one word more and truncated, so it is within one unit of
// its last word.
template <int N>
constexpr Wide<N> Narrow(const Wide<N + 1>& x) {
  return Pack<N>(x.Words, x.Exponent - 64 * (N + 1), x.Negative);
}

template <int N>
Tables<N> MakeTables() {
  using W = Wide<N + 1>;
  Tables<N> t;
  const W ln2 = Atanh(DividedBy(FromInteger<N + 1>(1), 3)) * FromInteger<N + 1>(2);
  t.Ln2 = Narrow<N>(ln2);
  t.ExtendedLn2 = RoundNearest(ln2);
  const W lnScale = FromFloat80<N + 1>(t.ExtendedLn2) * Reciprocal(ln2);
  t.LnScale = Narrow<N>(lnScale);
  for (int i = -kLnStepsBelowOne; i <= kLnStepsAboveOne; ++i) {
    const auto k = static_cast<std::size_t>(i + kLnStepsBelowOne);
    t.StepReciprocal[k] = Narrow<N>(DividedBy(FromInteger<N + 1>(kStepsPerOne),
                                              static_cast<std::uint64_t>(kStepsPerOne + i)));
    // ln c = 2 atanh(i / (256 + i)) for c = (128 + i) / 128.
    const W s = DividedBy(FromInteger<N + 1>(i), static_cast<std::uint64_t>(2 * kStepsPerOne + i));
    t.StepLn[k] = Narrow<N>(Atanh(s) * FromInteger<N + 1>(2) * lnScale);
  }
  for (int k = 0; k < kLnTerms<N>; ++k) {
    t.LnSeries[static_cast<std::size_t>(k)] =
        DividedBy(FromInteger<N>(k % 2 == 0 ? 1 : -1), static_cast<std::uint64_t>(k + 1));
  }
  // 2^(±1/128) - 1 from the series, then each further step as a product: 2^((i+1)/128) is
  // 2^(i/128) 2^(1/128). The 128 products lose fewer than 8 of the extra word's 64 bits.
  const W one = FromInteger<N + 1>(1);
  for (const int direction : {1, -1}) {
    const W firstStep = ExpMinus1Series(DividedBy(ln2 * FromInteger<N + 1>(direction), kStepsPerOne));
    const W firstPower = firstStep + one;
    W power = one;
    for (int i = 0; i <= kStepsPerOne; ++i) {
      const auto k = static_cast<std::size_t>(kStepsPerOne + direction * i);
      const W step = i == 0 ? W{} : (i == 1 ? firstStep : power - one);
      t.Exp2Step[k] = Narrow<N>(step);
      t.Exp2StepPlus1[k] = Narrow<N>(power);
      power = i == 0 ? firstPower : power * firstPower;
    }
  }
  W factorial = FromInteger<N + 1>(1);
  for (int k = 0; k < kExpTerms<N>; ++k) {
    factorial = DividedBy(factorial, static_cast<std::uint64_t>(k + 1));
    t.ExpSeries[static_cast<std::size_t>(k)] = Narrow<N>(factorial);
  }
  return t;
}

// The tables at N words, computed on first use.
template <int N>
const Tables<N>& TablesAt() {
  static const Tables<N> tables = MakeTables<N>();
  return tables;
}

// ln x * LnScale for a finite x > 0 that is not a power of two.
template <int N>
Wide<N> LnApproximate(Float80 x) {
  const Tables<N>& t = TablesAt<N>();
  const internal::Unpacked u = internal::Unpack(x);
  // x = m 2^e with m in [0.75, 1.5); i is the nearest table point, (m - 1) * 128 rounded.
  constexpr std::uint64_t kOneAndAHalf = 0xC000000000000000ULL;
  const bool below = u.Significand >= kOneAndAHalf;
  const int e = u.Exponent + (below ? 1 : 0);
  const int i =
      below ? -static_cast<int>((0 - u.Significand + (1ULL << 56)) >> 57)
            : static_cast<int>((u.Significand - kIntegerBit + (1ULL << 55)) >> 56);
  Wide<N> m = FromFloat80<N>(x);
  m.Exponent -= e;
  const auto k = static_cast<std::size_t>(i + kLnStepsBelowOne);
  const Wide<N> z = i == 0 ? m - FromInteger<N>(1) : m * t.StepReciprocal[k] - FromInteger<N>(1);
  Wide<N> series = t.LnSeries[kLnTerms<N> - 1];
  for (int j = kLnTerms<N> - 2; j >= 0; --j) {
    series = t.LnSeries[static_cast<std::size_t>(j)] + z * series;
  }
  Wide<N> result = z * series * t.LnScale;
  if (i != 0) {
    result = t.StepLn[k] + result;
  }
  if (e != 0) {
    // e ln 2 at the extended ln 2 is exact in 128 bits.
    const U128 product = U128(static_cast<std::uint64_t>(e < 0 ? -e : e)) *
                         t.ExtendedLn2.Significand;
    const Wide<N> whole = Pack<N>(std::array<std::uint64_t, 2>{static_cast<std::uint64_t>(product),
                                                                static_cast<std::uint64_t>(product >> 64)},
                                  -64, e < 0);
    result = whole + result;
  }
  return result;
}

// 2^f - 1 for a finite f with 0 < |f| < 1.
template <int N>
Wide<N> Exp2Minus1Approximate(Float80 f) {
  const Tables<N>& t = TablesAt<N>();
  const internal::Unpacked u = internal::Unpack(f);
  // i = f * 128 rounded, from f = Significand * 2^(Exponent - 63); 0 when |f| < 2^-8.
  int i = 0;
  if (u.Exponent >= -8) {
    const int shift = 56 - u.Exponent; // 56 to 64
    const auto magnitude = static_cast<int>((U128(u.Significand) + (U128(1) << (shift - 1))) >> shift);
    i = u.Negative ? -magnitude : magnitude;
  }
  Wide<N> g = FromFloat80<N>(f);
  if (i != 0) {
    Wide<N> step = FromInteger<N>(i);
    step.Exponent -= 7; // i / 128
    g = g - step;       // exact: f and i/128 span fewer than 64 N bits
  }
  const Wide<N> y = g * t.Ln2;
  Wide<N> series = t.ExpSeries[kExpTerms<N> - 1];
  for (int j = kExpTerms<N> - 2; j >= 0; --j) {
    series = t.ExpSeries[static_cast<std::size_t>(j)] + y * series;
  }
  const Wide<N> expMinus1 = y * series;
  if (i == 0) {
    return expMinus1;
  }
  const auto k = static_cast<std::size_t>(i + kStepsPerOne);
  // 2^f - 1 = (2^(i/128) - 1) + 2^(i/128) (e^y - 1).
  return t.Exp2Step[k] + t.Exp2StepPlus1[k] * expMinus1;
}

std::atomic<std::uint64_t> wideFallbacks{0};

// The approximation at 128 bits rounded when that decides, else at 256 bits.
template <typename Approximate2, typename Approximate4>
Float80 RoundApproximation(Approximate2 approximate2, Approximate4 approximate4) {
  if (const std::optional<Float80> result = RoundIfDecided(approximate2(), ErrorBits<2>())) {
    return *result;
  }
  wideFallbacks.fetch_add(1, std::memory_order_relaxed);
  const Wide<4> wide = approximate4();
  return RoundIfDecided(wide, ErrorBits<4>()).value_or(RoundNearest(wide));
}

template <int N>
std::vector<Float80> Parts(Wide<N> x) {
  std::vector<Float80> parts;
  for (int i = 0; i < N && !x.IsZero(); ++i) {
    const Float80 part = RoundNearest(x);
    parts.push_back(part);
    x = x - FromFloat80<N>(part);
  }
  return parts;
}

} // namespace

Float80 Ln(Float80 x) {
  if (internal::IsNaNOperand(x) || (SignBit(x) && !internal::IsZero(x))) {
    return internal::DefaultNaN();
  }
  if (internal::IsZero(x)) {
    return internal::Infinity(true);
  }
  if (IsInf(x)) {
    return x;
  }
  const internal::Unpacked u = internal::Unpack(x);
  if (u.Significand == kIntegerBit) {
    // x = 2^e: e times the extended ln 2, exact in 128 bits, rounded once.
    if (u.Exponent == 0) {
      return internal::Zero(false);
    }
    const U128 product = U128(static_cast<std::uint64_t>(u.Exponent < 0 ? -u.Exponent : u.Exponent)) *
                         TablesAt<2>().ExtendedLn2.Significand;
    // product * 2^-64, as the extended ln 2 is its significand * 2^-64.
    return RoundWords(std::array<std::uint64_t, 2>{static_cast<std::uint64_t>(product),
                                                   static_cast<std::uint64_t>(product >> 64)},
                      -64, u.Exponent < 0);
  }
  return RoundApproximation([x] { return LnApproximate<2>(x); },
                            [x] { return LnApproximate<4>(x); });
}

Float80 Exp2Minus1(Float80 f) {
  if (internal::IsNaNOperand(f) || IsInf(f) || Fabs(f) > Float80(1)) {
    return internal::DefaultNaN();
  }
  if (internal::IsZero(f)) {
    return f;
  }
  if (Fabs(f) == Float80(1)) {
    constexpr Float80 kMinusOneHalf = Float80::FromBits(kSignBit | (kExponentBias - 1), kIntegerBit);
    return SignBit(f) ? kMinusOneHalf : Float80(1);
  }
  return RoundApproximation([f] { return Exp2Minus1Approximate<2>(f); },
                            [f] { return Exp2Minus1Approximate<4>(f); });
}

namespace detail {

Approximation LnApproximation(Float80 x, int words) {
  return words == 2 ? Approximation{Parts(LnApproximate<2>(x)), ErrorBits<2>()}
                    : Approximation{Parts(LnApproximate<4>(x)), ErrorBits<4>()};
}

Approximation Exp2Minus1Approximation(Float80 f, int words) {
  return words == 2 ? Approximation{Parts(Exp2Minus1Approximate<2>(f)), ErrorBits<2>()}
                    : Approximation{Parts(Exp2Minus1Approximate<4>(f)), ErrorBits<4>()};
}

std::uint64_t WideFallbacks() {
  return wideFallbacks.load(std::memory_order_relaxed);
}

} // namespace detail

} // namespace gustrule::soft
