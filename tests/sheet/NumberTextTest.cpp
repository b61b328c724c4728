#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "sheet/NumberText.h"

namespace {

// The C library's reading of a whole text, which cells once went through:
// the reference for every bit of a value, but for the exact halfway texts
// that it misreads.
bool libraryReads(const std::string& text, double& value) {
  char* stop = nullptr;
  const double number = std::strtod(text.c_str(), &stop);
  if (text.empty() || *stop != '\0' || !std::isfinite(number)) return false;
  value = number;
  return true;
}

std::string digitsOf(std::mt19937_64& random, std::size_t count) {
  std::string digits;
  for (std::size_t i = 0; i < count; ++i) digits += static_cast<char>('0' + random() % 10);
  return digits;
}

// A number as a user may type it in the plain form: a sign, from one digit
// to several hundred with or without a point, and an exponent near the
// limits of a double as often as not.
std::string plainNumber(std::mt19937_64& random) {
  static const char* const signs[] = {"", "", "-", "+"};
  static const std::size_t lengths[] = {1, 2, 3, 5, 9, 15, 16, 17, 18, 19, 20, 25, 40, 100, 400, 800};
  static const char* const exponents[] = {"",      "",     "",     "E0",   "E308", "E309", "E-307", "E-308",
                                          "E-323", "E-324", "E-325", "e-400", "E+400", "E+12", "e-7",
                                          "E99999999999", "E-99999999999", "E-2147483648", "E2147483647"};
  std::string text = signs[random() % 4];
  std::string digits = digitsOf(random, lengths[random() % std::size(lengths)]);
  // Leading zeros as often as not: they move the first significant digit.
  if (random() % 2) digits[0] = '0';
  switch (random() % 4) {
    case 0: break;
    case 1: digits.insert(0, "."); break;
    case 2: digits += '.'; break;
    default: digits.insert(random() % digits.size(), "."); break;
  }
  text += digits;
  text += exponents[random() % std::size(exponents)];
  return text;
}

// The exact decimal digits of mantissa * 2^exponent, as "digits E power".
std::string exactDecimal(std::uint64_t mantissa, int exponent) {
  std::vector<int> digits;  // least significant first
  for (; mantissa > 0; mantissa /= 10) digits.push_back(static_cast<int>(mantissa % 10));
  const int factor = exponent > 0 ? 2 : 5;
  for (int step = 0; step < std::abs(exponent); ++step) {
    int carry = 0;
    for (int& digit : digits) {
      const int product = digit * factor + carry;
      digit = product % 10;
      carry = product / 10;
    }
    for (; carry > 0; carry /= 10) digits.push_back(carry % 10);
  }
  std::string text;
  for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) text += static_cast<char>('0' + *digit);
  // mantissa * 2^-n is mantissa * 5^n * 10^-n.
  return exponent < 0 ? text + "E" + std::to_string(exponent) : text;
}

struct TExpected {
  std::string text;
  bool read;
  double value;
};

// The texts exactly halfway between a positive double and the next one up,
// and just above and below that, with the double each must give: the even
// one of the two, the upper one and the lower one. Such texts go the wrong
// way in a reader that rounds carelessly, the C library's among them.
std::vector<TExpected> halfwayTexts(double x) {
  const auto bits = std::bit_cast<std::uint64_t>(x);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const int biased = static_cast<int>(bits >> 52);
  // x = significand * 2^power; the midpoint is (2 significand + 1) * 2^(power - 1).
  const std::uint64_t significand = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
  const int power = (biased == 0 ? 1 : biased) - 1075;
  const std::string midpoint = exactDecimal(2 * significand + 1, power - 1);
  const std::size_t mark = std::min(midpoint.find('E'), midpoint.size());
  const std::string digits = midpoint.substr(0, mark);
  const int decimalPower = mark < midpoint.size() ? std::stoi(midpoint.substr(mark + 1)) : 0;
  const double next = std::nextafter(x, std::numeric_limits<double>::infinity());
  const bool nextFinite = std::isfinite(next);
  std::vector<TExpected> texts = {{midpoint, nextFinite || bits % 2 == 0, bits % 2 == 0 ? x : next},
                                  {digits + "0000001E" + std::to_string(decimalPower - 7), nextFinite, next}};
  if (digits.back() != '0') {
    std::string below = digits;
    --below.back();
    texts.push_back({below + "999999E" + std::to_string(decimalPower - 6), true, x});
  }
  return texts;
}

// Groups the digits before the point in threes with separator, when the
// grouping rule lets them be grouped.
std::string grouped(const std::string& text, const std::string& separator) {
  std::size_t start = text[0] == '-' || text[0] == '+' ? 1 : 0;
  std::size_t end = start;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end - start < 4 || text[start] == '0') return text;
  std::string result = text.substr(0, start);
  for (std::size_t i = start; i < end; ++i) {
    if (i > start && (end - i) % 3 == 0) result += separator;
    result += text[i];
  }
  return result + text.substr(end);
}

std::string spelled(const std::string& text, const std::string& decimal) {
  std::string result;
  for (char c : text) c == '.' ? result += decimal : result += c;
  return result;
}

struct TMismatches {
  std::vector<std::string> texts;
  void check(const std::string& text, bool expectedRead, double expected, const std::string& typed,
             const std::string& decimal, const std::string& thousands) {
    double value = 0;
    const bool read = textToFloat(typed, decimal, thousands, value);
    if (read != expectedRead ||
        (read && std::bit_cast<std::uint64_t>(value) != std::bit_cast<std::uint64_t>(expected))) {
      texts.push_back(typed + " (for " + text + ")");
    }
  }
};

::testing::AssertionResult noMismatch(const TMismatches& mismatches) {
  if (mismatches.texts.empty()) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure() << mismatches.texts.size() << " texts read otherwise, first:";
  for (std::size_t i = 0; i < std::min<std::size_t>(mismatches.texts.size(), 8); ++i) {
    failure << "\n  " << mismatches.texts[i].substr(0, 120);
  }
  return failure;
}

}  // namespace

// Every text reads to the nearest double, the even one at a tie, bit for
// bit, or is refused where it is out of range (a zero below the smallest
// double, nothing above the largest): numbers of any length and exponents at
// and past the limits read as the C library reads them, exact halfway texts
// as exact arithmetic says (the library misreads some among the smallest
// numbers), each also in the German spelling with grouped thousands.
TEST(NumberText, ReadsEveryNumberToTheNearestDoubleBitForBit) {
  std::mt19937_64 random(20261209);
  std::vector<TExpected> texts;
  for (int i = 0; i < 20000; ++i) {
    TExpected number{plainNumber(random), false, 0.0};
    number.read = libraryReads(number.text, number.value);
    texts.push_back(number);
  }
  constexpr double smallest = std::numeric_limits<double>::denorm_min();
  const double limits[] = {smallest, 2 * smallest, 3 * smallest, std::numeric_limits<double>::min() - smallest,
                           std::numeric_limits<double>::min(), std::numeric_limits<double>::max(), 1.0, 0.1,
                           9007199254740992.0};
  std::vector<double> lowerDoubles(std::begin(limits), std::end(limits));
  for (int i = 0; i < 300; ++i) lowerDoubles.push_back(std::bit_cast<double>(random() >> 1));
  for (int i = 0; i < 50; ++i) lowerDoubles.push_back(std::bit_cast<double>(random() >> 13));  // subnormals
  for (double x : lowerDoubles) {
    if (!std::isfinite(x)) continue;
    for (const TExpected& text : halfwayTexts(x)) texts.push_back(text);
  }
  TMismatches mismatches;
  for (const auto& [text, read, value] : texts) {
    mismatches.check(text, read, value, text, ".", ",");
    mismatches.check(text, read, value, " \t" + grouped(spelled(text, ","), ".") + " ", ",", ".");
    if (read) {
      const std::string negative = "-" + text.substr(text[0] == '-' || text[0] == '+' ? 1 : 0);
      mismatches.check(text, true, std::copysign(value, -1.0), negative, ".", "");
    }
  }
  EXPECT_TRUE(noMismatch(mismatches));
}

// Short texts of the characters a number is made of, most of them no
// number: each is refused exactly where the library refuses it.
TEST(NumberText, AcceptsAndRefusesShortTextsAsTheLibraryDoes) {
  static const char alphabet[] = "0123456789.eE+-";
  std::mt19937_64 random(7);
  TMismatches mismatches;
  for (int i = 0; i < 100000; ++i) {
    std::string text;
    for (std::size_t length = 1 + random() % 8; text.size() < length;) text += alphabet[random() % (sizeof alphabet - 1)];
    double expected = 0;
    const bool expectedRead = libraryReads(text, expected);
    mismatches.check(text, expectedRead, expected, text, ".", "");
  }
  EXPECT_TRUE(noMismatch(mismatches));
}
