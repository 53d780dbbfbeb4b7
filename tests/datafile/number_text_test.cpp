// Numbers in type data files: "%f" and "%ld" as glibc's printf gives them,
// on both builds, and the reader's number grammar, correctly rounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "datafile/number_text.h"
#include "datafile/written_number.h"

namespace {

using td::datafile::AppendFixed6;
using td::datafile::AppendLong;
using td::datafile::kDoubleArithmetic;
using td::datafile::ParseNumber;
using td::datafile::ScanWrittenNumber;

std::string Fixed(double value) {
  std::string out = "x";  // appends: what is there stays
  AppendFixed6(&out, value);
  return out.substr(1);
}

std::string Long(std::int32_t value) {
  std::string out;
  AppendLong(&out, value);
  return out;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(NumberText, ExactStringsOnEveryBuild) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "0.000000"},
      {-0.0, "-0.000000"},
      {2.5, "2.500000"},
      {-1.5, "-1.500000"},
      {12.5, "12.500000"},
      {0.0078125, "0.007812"},  // ties go to the even digit
      {0.0234375, "0.023438"},
      {5e-7, "0.000000"},  // just below the half: the decimal text is not the double
      {2.5e-6, "0.000003"},
      {-1e-7, "-0.000000"},
      {0.1, "0.100000"},
      {1.0 / 3.0, "0.333333"},
      {123456.7890125, "123456.789012"},
      {999999.9999995, "999999.999999"},
      {1.0000005, "1.000001"},
      {2147483648.0, "2147483648.000000"},
      {1e20, "100000000000000000000.000000"},
      {1e22, "10000000000000000000000.000000"},
      {1e23, "99999999999999991611392.000000"},
      {4.9406564584124654e-324, "0.000000"},
      {inf, "inf"},
      {-inf, "-inf"},
  };
  for (const auto& c : cases) EXPECT_EQ(Fixed(c.value), c.text) << c.text;
  const std::string max = Fixed(std::numeric_limits<double>::max());
  EXPECT_EQ(max.size(), 309u + 7u);
  EXPECT_EQ(max.substr(0, 17), "17976931348623157");
  EXPECT_EQ(max.substr(max.size() - 16), "124858368.000000");

  EXPECT_EQ(Long(0), "0");
  EXPECT_EQ(Long(-20), "-20");
  EXPECT_EQ(Long(2147483647), "2147483647");
  EXPECT_EQ(Long(-2147483647 - 1), "-2147483648");
  // Every length of number, on both sides of each power of ten.
  std::int64_t power = 1;
  for (int digits = 1; digits <= 10; ++digits, power *= 10) {
    for (std::int64_t value : {power - 1, power, power + 1}) {
      if (value > 2147483647) continue;
      const std::string text = std::to_string(value);
      EXPECT_EQ(Long(static_cast<std::int32_t>(value)), text);
      EXPECT_EQ(Long(static_cast<std::int32_t>(-value)), value == 0 ? "0" : "-" + text);
      EXPECT_EQ(Fixed(static_cast<double>(value) + 0.25), text + ".250000");
    }
  }
}

TEST(NumberText, TruncationTowardZeroSaturates) {
  using td::datafile::TruncateToLong;
  EXPECT_EQ(TruncateToLong(-2.7), -2);
  EXPECT_EQ(TruncateToLong(2.9999), 2);
  EXPECT_EQ(TruncateToLong(-0.5), 0);
  EXPECT_EQ(TruncateToLong(2147483647.5), 2147483647);
  EXPECT_EQ(TruncateToLong(-2147483648.9), -2147483647 - 1);
  EXPECT_EQ(TruncateToLong(1e300), 2147483647);
  EXPECT_EQ(TruncateToLong(-std::numeric_limits<double>::infinity()), -2147483647 - 1);
  EXPECT_EQ(TruncateToLong(std::numeric_limits<double>::quiet_NaN()), 0);
}

#ifndef _WIN32
// glibc's printf rounds correctly; the formatter must agree with it on every
// value, so that files read the same wherever they were written.
TEST(NumberText, AgreesWithGlibcPrintf) {
  std::mt19937_64 random(20240611);
  char expected[400];
  auto check = [&](double value) {
    std::snprintf(expected, sizeof expected, "%f", value);
    ASSERT_EQ(Fixed(value), expected) << "%.17g" << value;
  };
  for (int i = 0; i < 200000; ++i) {
    // Random bits: every magnitude, subnormals, infinities and NaNs alike.
    std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    check(value);
    // Magnitudes where the sixth decimal matters most.
    const double scaled = std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 80));
    check(random() % 2 ? scaled : -scaled);
    // Exact ties at the sixth decimal: k / 2^n with few bits.
    const double tie =
        static_cast<double>(random() % 100000) / static_cast<double>(1u << (7 + random() % 14));
    check(tie);
    check(-tie);
    // Short decimals as an operator types them.
    check(static_cast<double>(static_cast<std::int64_t>(random() % 2000000001) - 1000000000) / 1000.0);
  }
  // Around the largest value formatted from its binary form (below 10^12)
  // and the smallest that still rounds up to a millionth.
  for (double value : {999999999999.9999, 999999999999.99999, 1e12, 1e12 + 0.5, 4294967296.0000005,
                       std::nextafter(0.5e-6, 1.0), std::nextafter(0.5e-6, 0.0), std::ldexp(1.0, -79),
                       std::ldexp(1.0, -80), std::ldexp(3.0, -21), 0.0000005}) {
    check(value);
    check(-value);
  }
  for (double value : {0.0, -0.0, 0.5e-6, 1.5e-6, 0.0000025, 1e15 + 0.3, 9007199254740993.0,
                       std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                       std::numeric_limits<double>::denorm_min()}) {
    check(value);
    check(-value);
  }
  char expectedLong[32];
  for (int i = 0; i < 100000; ++i) {
    const auto value = static_cast<std::int32_t>(random());
    std::snprintf(expectedLong, sizeof expectedLong, "%ld", static_cast<long>(value));
    ASSERT_EQ(Long(value), expectedLong);
  }
}
#endif

// Numbers as the writer writes them are converted by short ways of their
// own (eight digits at a time, one division); both readers must give the
// very double that the C library's strtod (correctly rounded) gives.
double Reference(const char* text) { return std::strtod(text, nullptr); }

TEST(NumberText, ShortDecimalsReadAsTheGeneralConversionReadsThem) {
  std::mt19937_64 random(99);
  char text[64] = {};  // ScanWrittenNumber reads past the number's end
  for (int i = 0; i < 300000; ++i) {
    const int digits = 1 + static_cast<int>(random() % 17);  // 16 and 17 take the long way
    const int point = static_cast<int>(random() % (digits + 1));
    int at = 0;
    if (random() % 2) text[at++] = '-';
    for (int d = 0; d < digits; ++d) {
      if (d == point && point > 0) text[at++] = '.';
      text[at++] = static_cast<char>('0' + (d == 0 && random() % 4 == 0 ? 0 : random() % 10));
    }
    text[at++] = random() % 2 ? ',' : ';';
    text[at] = '\0';
    const char* end = nullptr;
    const double value = ParseNumber(text, &end);
    ASSERT_TRUE(SameBits(value, Reference(text))) << text;
    ASSERT_EQ(*end, text[at - 1]) << text;
    // The reader's short way takes the writer's usual forms (decimals only
    // where doubles are computed in double precision) and no other.
    const bool decimals = point > 0 && point < digits;
    const bool usual = decimals ? kDoubleArithmetic && point <= 7 && digits - point <= 7 : digits <= 15;
    double written = 0.0;
    const char* const writtenEnd = ScanWrittenNumber(text, &written);
    ASSERT_EQ(writtenEnd != nullptr, usual) << text;
    if (usual) {
      ASSERT_EQ(writtenEnd, text + at - 1) << text;
      ASSERT_TRUE(SameBits(written, value)) << text;
    }
  }
  // What the writer writes for values of three decimals.
  for (int i = 0; i < 100000; ++i) {
    const double value = static_cast<int>(random() % 2000000) / 1000.0 - 1000.0;
    const std::string written = Fixed(value);
    ASSERT_TRUE(SameBits(ParseNumber(written.c_str()), Reference(written.c_str()))) << written;
  }
}

TEST(NumberText, ReaderGrammar) {
  const struct {
    const char* text;
    double value;
    std::size_t used;  // characters that belong to the number
  } cases[] = {
      {"12.5", 12.5, 4},
      {"  \t-20,", -20, 3},
      {"+.5x", 0.5, 3},
      {"5.", 5, 2},
      {"1.5d2", 150, 5},
      {"1.5D-1", 0.15, 6},
      {"2E+3;", 2000, 4},
      {"7e", 7, 1},  // an exponent letter without digits is not
                     // part of it
      {"7e+", 7, 1},
      {"7dx", 7, 1},
      {"1e5e5", 1e5, 3},
      {"0x10", 0, 1},
      {"1,5", 1, 1},
      {"-0", -0.0, 2},
      {"00012.500", 12.5, 9},
  };
  for (const auto& c : cases) {
    const char* end = nullptr;
    const double value = ParseNumber(c.text, &end);
    EXPECT_TRUE(SameBits(value, c.value)) << c.text << " gave " << value;
    EXPECT_EQ(static_cast<std::size_t>(end - c.text), c.used + std::strspn(c.text, " \t")) << c.text;
  }
  // No number: 0.0, and nothing used.
  for (const char* text : {"", "abc", ".", "-", "+-1", " .e5", "inf", "nan",
                           "\xa0"
                           "1"}) {
    const char* end = nullptr;
    EXPECT_TRUE(SameBits(ParseNumber(text, &end), 0.0)) << text;
    EXPECT_EQ(end, text) << text;
  }
}

TEST(NumberText, ReaderRoundsCorrectly) {
  EXPECT_TRUE(SameBits(ParseNumber("0.1"), 0.1));
  EXPECT_TRUE(SameBits(ParseNumber("2.2250738585072011e-308"), 2.2250738585072011e-308));
  EXPECT_TRUE(SameBits(ParseNumber("9007199254740993"), 9007199254740992.0));  // tie: to even
  EXPECT_TRUE(SameBits(ParseNumber("9007199254740995"), 9007199254740996.0));
  // Exactly half an ulp above 1 goes to 1; a digit more goes up.
  EXPECT_TRUE(SameBits(ParseNumber("1.00000000000000011102230246251565404236316680908203125"), 1.0));
  EXPECT_TRUE(SameBits(ParseNumber("1.00000000000000011102230246251565404236316680908203126"),
                       std::nextafter(1.0, 2.0)));
  // Long mantissas, as a hostile file may hold.
  const std::string ones(10000, '1');
  EXPECT_TRUE(SameBits(ParseNumber(("0." + ones).c_str()), 1.0 / 9.0));
  EXPECT_TRUE(SameBits(ParseNumber(("1" + std::string(400, '0') + "e-400").c_str()), 1.0));
  // Beyond the range of a double: infinity or zero, as strtod.
  EXPECT_EQ(ParseNumber("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ParseNumber("-1D99999999999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ParseNumber(("1" + std::string(400, '0')).c_str()), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(SameBits(ParseNumber("1e-400"), 0.0));
  EXPECT_TRUE(SameBits(ParseNumber("-1e-400"), -0.0));
  EXPECT_TRUE(SameBits(ParseNumber("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min()));

  // What "%f" writes reads back to the same text, and to the very value
  // where six decimals hold it exactly (multiples of 1/64).
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    const double value =
        std::ldexp(static_cast<double>(static_cast<std::int64_t>(random() >> 14) - (1LL << 49)),
                   -static_cast<int>(random() % 30));
    const std::string text = Fixed(value);
    EXPECT_EQ(Fixed(ParseNumber(text.c_str())), text);
    const double exact = std::ldexp(std::trunc(std::ldexp(value, 6)), -6);
    EXPECT_TRUE(SameBits(ParseNumber(Fixed(exact).c_str()), exact)) << Fixed(exact);
  }
}

// A whole number in 32-bit limbs, the lowest first: enough arithmetic for
// an exact reference.
using Limbs = std::vector<std::uint32_t>;

void MultiplyBy10(Limbs* n) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : *n) {
    carry += std::uint64_t{limb} * 10;
    limb = static_cast<std::uint32_t>(carry);
    carry >>= 32;
  }
  if (carry) n->push_back(static_cast<std::uint32_t>(carry));
}

// Divides by 10 and gives the remainder.
std::uint32_t DivideBy10(Limbs* n) {
  std::uint64_t rest = 0;
  for (auto limb = n->rbegin(); limb != n->rend(); ++limb) {
    rest = rest << 32 | *limb;
    *limb = static_cast<std::uint32_t>(rest / 10);
    rest %= 10;
  }
  return static_cast<std::uint32_t>(rest);
}

bool Bit(const Limbs& n, int i) {
  const auto limb = static_cast<std::size_t>(i / 32);
  return i >= 0 && limb < n.size() && (n[limb] >> (i % 32) & 1) != 0;
}

// m x 10^e correctly rounded to a double, worked out in whole numbers, the
// last step an exact scaling by a power of two: a reference that holds on
// every build (where doubles are computed in x87 registers, the C library's
// strtod may round twice as well). m from 1 to 2^64 - 1, e from -60 to 60.
double ExactDecimal(std::uint64_t m, int e) {
  Limbs n = {static_cast<std::uint32_t>(m), static_cast<std::uint32_t>(m >> 32)};
  int shift = 0;         // the value is n x 2^-shift, and a little more when dropped
  bool dropped = false;  // a division left a remainder
  if (e < 0) {
    // n x 2^shift first, so that the quotient keeps more than 64 bits (2^4 > 10).
    shift = 64 + 4 * -e;
    n.insert(n.begin(), static_cast<std::size_t>(shift / 32), 0u);
    n.push_back(0);
    for (std::size_t i = n.size() - 1; i > 0; --i)
      n[i] = n[i] << (shift % 32) | static_cast<std::uint32_t>(std::uint64_t{n[i - 1]} >> (32 - shift % 32));
    n[0] <<= shift % 32;
    for (int i = 0; i < -e; ++i) dropped |= DivideBy10(&n) != 0;
  }
  for (int i = 0; i < e; ++i) MultiplyBy10(&n);
  int length = static_cast<int>(n.size()) * 32;
  while (length > 0 && !Bit(n, length - 1)) --length;
  // The 53 bits from the highest, rounded half to even by the bits below.
  const int low = std::max(0, length - 53);
  std::uint64_t top = 0;
  for (int i = length - 1; i >= low; --i) top = top << 1 | (Bit(n, i) ? 1 : 0);
  bool below = dropped;
  for (int i = 0; i < low - 1; ++i) below |= Bit(n, i);
  if (Bit(n, low - 1) && (below || (top & 1) != 0)) ++top;
  return std::ldexp(static_cast<double>(top), low - shift);
}

// Numbers with an exponent, as hand-made files may hold them: the same
// double as the exact reference on every build. Where doubles are computed
// in x87 registers a whole mantissa times a power of ten rounds twice
// unless the product is rounded to double precision at once.
TEST(NumberText, ExponentFormsReadAsTheExactValueRounded) {
  // Numbers whose product rounded first to the x87's 64 bits and then to
  // 53 comes out one step off.
  const struct {
    const char* text;
    std::uint64_t bits;
  } hard[] = {
      {"9357015740028e17", 0x46279ed466fd31b5},    {"98844e22", 0x45898cf27e260c89},
      {"282296346E+17", 0x453759db8edef5bd},       {"-4369199108854386e6", 0xc46d9b5a2e0fcf5f},
      {"7542428.00187114e21", 0x45b85ef34145af87}, {"9732802d21", 0x45bf72c8fda378df},
      {"0.590128900008e26", 0x4548683b96adb21b},   {"3298277855824968e9", 0x4505d38001b6fe43},
      {"77575630D+20", 0x45b910e7dce3c0a7},
  };
  for (const auto& c : hard) {
    double expected = 0.0;
    std::memcpy(&expected, &c.bits, sizeof expected);
    EXPECT_TRUE(SameBits(ParseNumber(c.text), expected)) << c.text;
  }
  // Random numbers with an exponent of every spelling; every other one a
  // whole mantissa of up to 16 digits times 10 to 1 to 22, the products
  // that the quick conversion forms. Where doubles are computed in double
  // precision, strtod gives the reference's double too.
  std::mt19937_64 random(26);
  for (int i = 0; i < 20000; ++i) {
    const bool product = i % 2 == 0;
    const int digits = 1 + static_cast<int>(random() % (product ? 16 : 19));
    const int point = product ? digits : static_cast<int>(random() % (digits + 1));
    std::string text = random() % 4 == 0 ? "-" : "";
    std::uint64_t mantissa = 0;
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      const auto digit = static_cast<int>(random() % 10);
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(digit);
      text += static_cast<char>('0' + digit);
    }
    const int exponent = product ? 1 + static_cast<int>(random() % 22) : static_cast<int>(random() % 61) - 30;
    text += "eEdD"[random() % 4];
    if (exponent >= 0 && random() % 2) text += '+';
    text += std::to_string(exponent);
    const double magnitude = ExactDecimal(mantissa, exponent - (digits - point));
    const double expected = text[0] == '-' ? -magnitude : magnitude;
    ASSERT_TRUE(SameBits(ParseNumber(text.c_str()), expected)) << text;
    if (kDoubleArithmetic) {
      std::string spelt = text;
      for (char& c : spelt) c = c == 'd' || c == 'D' ? 'e' : c;
      ASSERT_TRUE(SameBits(Reference(spelt.c_str()), expected)) << text;
    }
  }
}

}  // namespace
