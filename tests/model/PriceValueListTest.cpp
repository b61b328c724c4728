#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "model/PriceValueList.h"
#include "model/QuoteFormat.h"
#include "platform/FloatingPoint.h"

namespace {

// The value the quote parser reads from a number's text.
long double parsed(const std::string& text) {
  static const TQuoteFormat format = compileQuoteFormat("YYYY-MM-DD;C", false);
  TQuoteRecord quote;
  parseQuoteLine("2024-01-02;" + text, format, quote);
  EXPECT_TRUE(quote.Mask & quoteCloseBit) << text;
  return quote.Close;
}

bool sameBits(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

// Numbers as price files hold them: a sign now and then, up to 12 digits
// with up to 16 of them after the point, so that some fit four bytes and
// some do not.
std::vector<std::string> priceTexts(unsigned seed, int count) {
  std::mt19937 random(seed);
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) {
    const int length = 1 + static_cast<int>(random() % 12);
    std::string digits;
    for (int d = 0; d < length; ++d) digits += static_cast<char>('0' + random() % 10);
    const int places = static_cast<int>(random() % 17);
    if (places >= length) digits.insert(0, static_cast<size_t>(places - length + 1), '0');
    if (places > 0) digits.insert(digits.size() - static_cast<size_t>(places), ".");
    texts.push_back((random() % 5 == 0 ? "-" : "") + digits);
  }
  return texts;
}

const std::vector<std::string> edgeTexts = {
    "0", "-0", "0.000", "-0.00", "1", "-1", ".5", "5.", "0.1", "0.01",
    // Around the largest digits four bytes hold, with and without places.
    "134217727", "-134217727", "134217728", "-134217728", "13421.7727", "1342.17728", "2147483647", "4294967296",
    // Volumes of a heavily traded stock, of an index.
    "98765432", "3456789000", "123456789012345678",
    // Many places: up to 14 fit, more do not.
    "0.00000000000001", "0.000000000000011", "0.000000000000001", "1.00000000000001", "0.00000001234",
    // More digits than the parser converts exactly.
    "1.2345678901234567890123", "123456789012345678901234567890", "0.1000000000000000000000000001"};

void setPrecisionControl(unsigned short bits) {
  unsigned short word = 0;
  asm volatile("fnstcw %0" : "=m"(word));
  word = static_cast<unsigned short>((word & ~0x0300) | bits);
  asm volatile("fldcw %0" : : "m"(word));
}
constexpr unsigned short precision53 = 0x0200;

}  // namespace

TEST(PriceValueList, DecimalsReadFromTextComeBackAsTheParserReadThem) {
  setExtendedPrecision();
  std::vector<std::string> texts = edgeTexts;
  for (const std::string& text : priceTexts(11, 20000)) texts.push_back(text);
  TPriceValueList list;
  std::vector<long double> values;
  for (const std::string& text : texts) {
    values.push_back(parsed(text));
    list.push_back(values.back());
  }
  ASSERT_EQ(list.size(), texts.size());
  for (size_t i = 0; i < texts.size(); ++i) ASSERT_TRUE(sameBits(list[i], values[i])) << texts[i];
}

TEST(PriceValueList, ComputedAndSpecialValuesComeBackBitForBit) {
  setExtendedPrecision();
  using limits = std::numeric_limits<long double>;
  volatile long double one = 1;
  const std::vector<long double> values = {
      one / 3, -one / 7, 100 * one / 3, 0.1L * 3, -0.0L, limits::infinity(), -limits::infinity(), limits::quiet_NaN(),
      limits::denorm_min(), limits::min(), limits::max(), -limits::max(), limits::epsilon(), 1e-300L, 1e300L,
      // Decimals with places between others that have none.
      7, 12.25L, 0.5L, 42, 1e-14L};
  TPriceValueList decimals;
  TPriceValueList computed = TPriceValueList::forComputedValues();
  for (const long double& value : values) {
    decimals.push_back(value);
    computed.push_back(value);
  }
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_TRUE(sameBits(decimals[i], values[i])) << i;
    EXPECT_TRUE(sameBits(computed[i], values[i])) << i;
  }
}

TEST(PriceValueList, ValuesComeBackAsStoredOnAThreadWithoutExtendedPrecision) {
  setExtendedPrecision();
  const std::vector<std::string> texts = priceTexts(12, 2000);
  TPriceValueList list;
  std::vector<long double> values;
  for (const std::string& text : texts) {
    values.push_back(parsed(text));
    list.push_back(values.back());
  }
  // A thread that never asked for extended precision (as one made by
  // CreateThread on 64-bit Windows) rounds divisions to 53 bits; it reads
  // what was stored all the same, and what it stores comes back on others.
  size_t differing = 0;
  TPriceValueList storedThere;
  std::vector<long double> valuesThere;
  std::thread worker([&] {
    setPrecisionControl(precision53);
    for (size_t i = 0; i < texts.size(); ++i) differing += sameBits(list[i], values[i]) ? 0 : 1;
    for (const std::string& text : texts) {
      valuesThere.push_back(parsed(text));
      storedThere.push_back(valuesThere.back());
    }
  });
  worker.join();
  EXPECT_EQ(differing, 0u);
  for (size_t i = 0; i < texts.size(); ++i) ASSERT_TRUE(sameBits(storedThere[i], valuesThere[i])) << texts[i];
}
