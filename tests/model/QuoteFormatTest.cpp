#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "model/MonthSets.h"
#include "model/QuoteFormat.h"
#include "platform/LocaleSettings.h"
#include "tests/support/ThreadTime.h"

namespace {

TQuoteRecord parse(std::string_view formatString, std::string_view line) {
  const TQuoteFormat format = compileQuoteFormat(formatString, true);
  EXPECT_FALSE(format.isEmpty()) << formatString;
  TQuoteRecord quote;
  parseQuoteLine(line, format, quote);
  return quote;
}

std::string write(std::string_view formatString, const TQuoteRecord& quote) {
  std::string line = "stale";
  formatQuoteLine(quote, compileQuoteFormat(formatString, true), line);
  return line;
}

TQuoteRecord dated(int year, int month, int day) {
  TQuoteRecord quote;
  quote.Year = static_cast<uint16_t>(year);
  quote.Month = static_cast<uint16_t>(month);
  quote.Day = static_cast<uint16_t>(day);
  quote.Mask = quoteDateBits;
  return quote;
}

}  // namespace

TEST(QuoteFormat, FieldsNeedALiteralOrAFixedWidthFieldBeforeThem) {
  EXPECT_TRUE(isValidQuoteFormat("yyyymmdd,c"));
  EXPECT_TRUE(isValidQuoteFormat("DDMMYY C"));
  EXPECT_TRUE(isValidQuoteFormat("D/M/Y;C;H;L;O;V;I;B;A;P;Q"));
  EXPECT_FALSE(isValidQuoteFormat("DMY C"));      // D is variable and M follows directly
  EXPECT_FALSE(isValidQuoteFormat("CDMY"));       // so is Close
  EXPECT_FALSE(isValidQuoteFormat("MMMDDYYYY C"));  // month names are variable too
  EXPECT_FALSE(isValidQuoteFormat("D/M/Y;C;C"));  // a field counts once
  EXPECT_FALSE(isValidQuoteFormat("DD/MM/YY/YYYY;C"));  // all year kinds are one field
  EXPECT_FALSE(isValidQuoteFormat("DDD/M/Y;C"));
  EXPECT_FALSE(isValidQuoteFormat("D/MMMM/Y;C"));
  EXPECT_FALSE(isValidQuoteFormat("D/M/YYYYY;C"));
}

TEST(QuoteFormat, CompletenessAndInvalidItems) {
  EXPECT_FALSE(isValidQuoteFormat("D/M/Y;O"));  // no Close
  EXPECT_FALSE(isValidQuoteFormat(""));
  EXPECT_FALSE(compileQuoteFormat("D/M/Y;O", true).isEmpty());
  // An invalid item empties the format even when incomplete ones are allowed.
  EXPECT_TRUE(compileQuoteFormat("D/M/Y;O;S", true).isEmpty());
  EXPECT_TRUE(compileQuoteFormat("D/M/Y;O\\", true).isEmpty());
  EXPECT_TRUE(compileQuoteFormat("DD/MM/2YY;C", true).isEmpty());
  EXPECT_TRUE(compileQuoteFormat("DD/MM/20Y;C", true).isEmpty());
  EXPECT_TRUE(compileQuoteFormat("DD/MM/20YY5;C", true).isEmpty());
  // "#" ends the format; what follows is not read.
  EXPECT_TRUE(isValidQuoteFormat("DD.MM.YYYY;C#;C;C"));
  EXPECT_FALSE(isValidQuoteFormat("DD.MM.#YYYY;C"));
}

TEST(QuoteFormat, FieldsOfAFormat) {
  EXPECT_EQ(quoteFormatFields(compileQuoteFormat("yyyymmdd,c", false)), quoteDateBits | quoteCloseBit);
  EXPECT_EQ(quoteFormatFields(compileQuoteFormat("MMM3 D;H;L;A;Q", true)),
            quoteMonthBit | quoteDayBit | quoteHighBit | quoteLowBit | quoteAskBit | quoteAskSizeBit);
  EXPECT_EQ(quoteFormatFields(compileQuoteFormat("19YY", true)), quoteYearBit);
  EXPECT_EQ(quoteFormatFields(TQuoteFormat{}), 0);
}

TEST(QuoteFormat, ReadsTheCurrencyTableLineAndWritesItBack) {
  const TQuoteRecord quote = parse("yyyymmdd,c", "20240105,1.0825");
  EXPECT_EQ(quote.Error, 0);
  EXPECT_EQ(quote.Mask, quoteDateBits | quoteCloseBit);
  EXPECT_EQ(quote.Year, 2024);
  EXPECT_EQ(quote.Month, 1);
  EXPECT_EQ(quote.Day, 5);
  EXPECT_EQ(quote.Close, std::strtold("1.0825", nullptr));
  EXPECT_EQ(write("yyyymmdd,c", quote), "20240105,1.0825");
}

TEST(QuoteFormat, DecimalSeparatorOfValueSlots) {
  EXPECT_EQ(parse("DD.MM.YYYY;C", "05.01.2024;12,5").Close, 12);
  EXPECT_EQ(parse("DD.MM.YYYY;S,C", "05.01.2024;12,5").Close, 12.5L);
  // The separator holds for every value slot after it, until the next S.
  const TQuoteRecord quote = parse("DD.MM.YYYY;S,O;C;S.H", "05.01.2024;1,5;2,25;3.75");
  EXPECT_EQ(quote.Open, 1.5L);
  EXPECT_EQ(quote.Close, 2.25L);
  EXPECT_EQ(quote.High, 3.75L);
}

TEST(QuoteFormat, TwoDigitYears) {
  EXPECT_EQ(parse("YY;C", "95;1").Year, 95);
  EXPECT_EQ(parse("19YY;C", "95;1").Year, 1995);
  EXPECT_EQ(parse("20YY50;C", "51;1").Year, 1951);
  EXPECT_EQ(parse("20YY50;C", "50;1").Year, 2050);
  EXPECT_EQ(parse("YYY;C", "024;1").Year, 24);
  EXPECT_EQ(parse("Y;C", "2024;1").Year, 2024);
  EXPECT_EQ(write("YY", dated(1995, 1, 1)), "95");
  EXPECT_EQ(write("20YY50", dated(2005, 1, 1)), "05");
  EXPECT_EQ(write("YYY", dated(2024, 1, 1)), "024");
  EXPECT_EQ(write("YYYY", dated(95, 1, 1)), "0095");
}

TEST(QuoteFormat, DateFieldRanges) {
  EXPECT_EQ(parse("DD/MM/YYYY", "31/12/2024").Error, 0);
  for (const char* line : {"00/12/2024", "32/12/2024", "40/12/2024", "3/12/2024", "01/00/2024", "01/13/2024",
                           "01/20/2024", "01/1/2024", "01/12/202", "01/12/20x4"}) {
    EXPECT_EQ(parse("DD/MM/YYYY", line).Error, 1) << line;
  }
  EXPECT_EQ(parse("D/M/Y", "0031/012/02024").Day, 31);
  EXPECT_EQ(parse("D/M/Y", "0/1/2024").Error, 1);
  EXPECT_EQ(parse("D/M/Y", "32/1/2024").Error, 1);
  EXPECT_EQ(parse("D/M/Y", "1/13/2024").Error, 1);
  EXPECT_EQ(parse("D/M/Y", "1/1/0").Error, 1);
  EXPECT_EQ(parse("D/M/Y", "1/1/10000").Error, 1);
  EXPECT_EQ(parse("D/M/Y", "1/1/2024000001").Error, 1);  // ten digits would overflow a naive reader
  EXPECT_EQ(parse("D/M/Y", "1//2024").Error, 1);
  EXPECT_EQ(parse("D/M/Y", std::string(1000, '9') + "/1/2024").Error, 1);
}

TEST(QuoteFormat, MaskRecordsTheDatePartsReadBeforeAnError) {
  const TQuoteRecord quote = parse("DD/MM/YYYY;C", "05/13/2024;1");
  EXPECT_EQ(quote.Error, 1);
  EXPECT_EQ(quote.Mask, quoteDayBit);
}

TEST(QuoteFormat, MonthNamesOfTheBuiltInSet) {
  TQuoteRecord quote = parse("DD-MMM-YYYY;C", "05-jAN-2024;1");
  EXPECT_EQ(quote.Error, 0);
  EXPECT_EQ(quote.Month, 1);
  EXPECT_EQ(parse("DD-MMM-YYYY;C", "05-Jax-2024;1").Error, 1);
  EXPECT_EQ(write("DD-MMM-YYYY", dated(2024, 12, 5)), "05-Dec-2024");
}

TEST(QuoteFormat, MonthNamesOfUserSets) {
  resetMonthSets();
  TMonthSet& german = monthSets()[3];  // user set 2
  german.names = {"Jan", "Feb", "M\xe4r", "Apr", "Mai", "Jun", "June", "Aug", "Sep", "Okt", "Nov", ""};
  // With "Jun" before "June" the first match wins and the rest is left over.
  TQuoteRecord quote = parse("DD MMM2 YYYY", "05 JUNE 2024");
  EXPECT_EQ(quote.Error, 1);  // "e" does not match the space
  quote = parse("DD MMM2*YYYY", "05 june 2024");
  EXPECT_EQ(quote.Month, 6);
  EXPECT_EQ(parse("DD MMM2 YYYY", "05 MAI 2024").Month, 5);
  EXPECT_EQ(parse("DD MMM2 YYYY", "05 M\xe4r 2024").Month, 3);
  EXPECT_EQ(parse("DD MMM2 YYYY", "05 May 2024").Error, 1);
  // An empty name never matches and writes nothing.
  EXPECT_EQ(parse("DD MMM2 YYYY", "05  2024").Error, 1);
  EXPECT_EQ(write("DD MMM2 YYYY", dated(2024, 12, 5)), "05  2024");
  EXPECT_EQ(write("DD MMM2 YYYY", dated(2024, 5, 5)), "05 Mai 2024");
  // An empty user set reads nothing.
  EXPECT_EQ(parse("DD MMM9 YYYY", "05 Jan 2024").Error, 1);
  resetMonthSets();
}

TEST(QuoteFormat, SpacesStarsAndWildcardsInLiterals) {
  EXPECT_EQ(parse("D/M/Y C", "5/1/2024   12").Close, 12);
  EXPECT_EQ(parse("D/M/Y   C", "5/1/2024 12").Close, 12);
  EXPECT_EQ(parse("D/M/Y C", "5/1/202412").Error, 1);
  EXPECT_EQ(parse("D/M/Y*,C", "5/1/2024 x y; z,12").Close, 12);
  EXPECT_EQ(parse("D/M/Y**,C", "5/1/2024 x,13").Close, 13);
  // A star closing the literal drops the rest; a missing stop drops it too.
  TQuoteRecord quote = parse("D/M/Y;C*", "5/1/2024;12 trailing text");
  EXPECT_EQ(quote.Error, 0);
  quote = parse("D/M/Y*,C", "5/1/2024;12");
  EXPECT_EQ(quote.Error, 0);
  EXPECT_EQ(quote.Mask, quoteDateBits);
  EXPECT_EQ(parse("D/M/Y??C", "5/1/2024ab7").Close, 7);
  EXPECT_EQ(parse("D/M/Y??C", "5/1/2024a").Error, 1);
  EXPECT_EQ(parse("D/M/YTC", "5/1/2024\t7").Close, 7);
  EXPECT_EQ(parse("D/M/YTC", "5/1/2024 7").Error, 1);
  EXPECT_EQ(parse("D/M/Y*TC", "5/1/2024 abc\t8").Close, 8);
  EXPECT_EQ(parse("D/M/Y\\T\\1C", "5/1/2024T18").Close, 8);
  EXPECT_EQ(parse("D/M/Y\\T\\1C", "5/1/2024X18").Error, 1);
  // Literals match case-sensitively.
  EXPECT_EQ(parse("D/M/Yx;C", "5/1/2024X;1").Error, 1);
}

TEST(QuoteFormat, LinesEndingEarly) {
  TQuoteRecord quote = parse("D/M/Y;C;H", "5/1/2024;12;");
  EXPECT_EQ(quote.Error, 0);
  EXPECT_EQ(quote.Mask, quoteDateBits | quoteCloseBit);
  EXPECT_EQ(parse("D/M/Y C H", "5/1/2024 12").Error, 1);
  EXPECT_EQ(parse("D/M/Y;C;H", "5/1/2024;12").Error, 1);
  // A line that ends inside an escaped part of a literal is not an error.
  quote = parse("D/M/Y;C\\;H", "5/1/2024;12");
  EXPECT_EQ(quote.Error, 0);
  EXPECT_EQ(quote.Mask, quoteDateBits | quoteCloseBit);
  EXPECT_EQ(parse("D/M/Y", "").Error, 1);
}

TEST(QuoteFormat, NumbersAndAbsentValues) {
  const char* const format = "D/M/Y;O;H;L;C;V";
  TQuoteRecord quote = parse(format, "5/1/2024;-.5;+3;;-;.");
  EXPECT_EQ(quote.Error, 0);
  EXPECT_EQ(quote.Open, -0.5L);
  EXPECT_EQ(quote.High, 3);
  EXPECT_EQ(quote.Mask, quoteDateBits | quoteOpenBit | quoteHighBit);
  // A number stops at a second separator or an exponent; the rest must
  // then match the next literal.
  EXPECT_EQ(parse("D/M/Y;C", "5/1/2024;1.2.3").Close, 1.2L);
  EXPECT_EQ(parse("D/M/Y;C;H", "5/1/2024;1.2.3;4").Error, 1);
  EXPECT_EQ(parse("D/M/Y;C;H", "5/1/2024;1e5;4").Error, 1);
  // Conversion is correctly rounded, also beyond 19 significant digits.
  for (const char* text : {"0.1", "1234567.125", "0.000000000000000000000000001", "98765432109876543210.5",
                           "0.1000000000000000000000001", "00000000000000000000000000012.5"}) {
    EXPECT_EQ(parse(format, std::string("5/1/2024;") + text).Open, std::strtold(text, nullptr)) << text;
  }
  EXPECT_EQ(parse(format, "5/1/2024;" + std::string(2000, '7')).Mask & quoteOpenBit, quoteOpenBit);
}

TEST(QuoteFormat, LongNumbersReadInTimeLinearInTheirLength) {
  // Digits past what an extended value holds change nothing but whether the
  // value lies just above the kept digits, which must still round right: a
  // tie broken by a far digit, and leading zeros that move the point.
  const std::string tie = "1.00000000000000000005421010862427522170037264004349708557128906250";
  for (const std::string& text : {tie + std::string(3000, '0') + "1", tie + std::string(3000, '0'),
                                  "0." + std::string(5000, '0') + "123" + std::string(3000, '9'),
                                  "-" + std::string(4000, '0') + "7" + std::string(3000, '3') + ".5"}) {
    EXPECT_EQ(parse("D/M/Y;C", "5/1/2024;" + text).Close, std::strtold(text.c_str(), nullptr)) << text.size();
  }
  // 800,000 digits took 23 s when the whole text went to the C library.
  const auto started = threadProcessorTime();
  const TQuoteRecord quote = parse("D/M/Y;C", "5/1/2024;2." + std::string(800000, '5'));
  EXPECT_LT((threadProcessorTime() - started).count(), 1.0);
  EXPECT_EQ(quote.Close, 2.5555555555555555555555555555555555555555L);
}

TEST(QuoteFormat, WritingLines) {
  TQuoteRecord quote = dated(2024, 1, 5);
  quote.Close = 1234567.125L;
  quote.High = 2;
  quote.Mask |= quoteCloseBit;  // High stays absent
  EXPECT_EQ(write("DD.MM.YYYY;S,C;H", quote), "05.01.2024;1234567,125;");
  quote.Close = 12;
  EXPECT_EQ(write("DD.MM.YYYY;S,C", quote), "05.01.2024;12");
  EXPECT_EQ(write("D/M/YTC", quote), "5/1/2024\t12");
  EXPECT_EQ(write("D/M/Y\\T\\\\C", quote), "5/1/2024T\\12");
  quote.Mask &= static_cast<uint16_t>(~quoteMonthBit);
  EXPECT_EQ(write("D/M/Y;C", quote), "");
  EXPECT_EQ(write("D;C", quote), "5;12");
}

TEST(QuoteFormat, FormatQuoteValue) {
  EXPECT_EQ(formatQuoteValue(6, 2.5L), "2.5");
  EXPECT_EQ(formatQuoteValue(6, 3), "3");
  EXPECT_EQ(formatQuoteValue(6, 100), "100");
  EXPECT_EQ(formatQuoteValue(6, -0.0000004L), "0");
  EXPECT_EQ(formatQuoteValue(6, 0.1234567L), "0.123457");
  EXPECT_EQ(formatQuoteValue(2, -1.005L), "-1");  // 1.005 is stored just below
  EXPECT_EQ(formatQuoteValue(0, 7.5L), "8");
  EXPECT_EQ(formatQuoteValue(6, 123456789012345678.0L), "123456789012345678");
  EXPECT_EQ(formatQuoteValue(6, 1e20L), "100000000000000000000");

  localeSettings().decimalSeparator = ',';
  EXPECT_EQ(formatQuoteValue(6, 2.5L), "2,5");
  TQuoteRecord quote = dated(2024, 1, 5);
  quote.Close = 2.5L;
  quote.Mask |= quoteCloseBit;
  EXPECT_EQ(write("D/M/Y;C", quote), "5/1/2024;2.5");
  localeSettings() = defaultLocaleSettings();
}

TEST(QuoteFormat, EveryValueWrittenReadsBackAndNoNumberIsWrittenAsNone) {
  TQuoteRecord quote = dated(2024, 1, 5);
  quote.Mask |= quoteCloseBit | quoteHighBit | quoteLowBit;
  for (const long double large : {1e20L, 1e308L, -5e307L * 4, 1e4000L}) {
    quote.Close = large;
    const std::string line = write("D/M/Y;C;H", quote);
    EXPECT_EQ(line.find('E'), std::string::npos) << line.substr(0, 40);
    const TQuoteRecord back = parse("D/M/Y;C;H", line);
    EXPECT_EQ(back.Error, 0);
    EXPECT_NE(back.Mask & quoteCloseBit, 0);
    EXPECT_EQ(back.Close, large);
  }
  quote.Close = HUGE_VALL;
  quote.High = std::nanl("");
  quote.Low = 3;
  const std::string line = write("D/M/Y;C;H;L", quote);
  EXPECT_EQ(line, "5/1/2024;;;3");
  const TQuoteRecord back = parse("D/M/Y;C;H;L", line);
  EXPECT_EQ(back.Error, 0);
  EXPECT_EQ(back.Mask & (quoteCloseBit | quoteHighBit), 0);
  EXPECT_EQ(back.Low, 3);
  // Digits beyond every extended value read as no value rather than infinity.
  EXPECT_EQ(parse("D/M/Y;C", "5/1/2024;1" + std::string(5000, '0')).Mask & quoteCloseBit, 0);
}

TEST(QuoteFormat, RandomLinesReadToTheLastBit) {
  // Values of every shape, from one digit to runs longer than an extended
  // value holds, each compared bit for bit with the C library's correctly
  // rounded reading of the same text.
  std::mt19937 random(20240105);
  auto digitRun = [&](int length) {
    std::string run;
    for (int i = 0; i < length; ++i) run += static_cast<char>('0' + random() % 10);
    return run;
  };
  auto runLength = [&] {
    const int shape = static_cast<int>(random() % 10);
    if (shape < 6) return static_cast<int>(random() % 5);
    return shape < 9 ? static_cast<int>(random() % 20) : 20 + static_cast<int>(random() % 30);
  };
  for (const char separator : {'.', ','}) {
    const std::string formatString = std::string("S") + separator + "D/M/Y;O;H;L;C;V";
    const TQuoteFormat format = compileQuoteFormat(formatString, false);
    ASSERT_FALSE(format.isEmpty());
    for (int lineNumber = 0; lineNumber < 5000; ++lineNumber) {
      std::string line = std::to_string(1 + random() % 28) + "/" + std::to_string(1 + random() % 12) + "/" +
                         std::to_string(1900 + random() % 200);
      long double expected[quoteValueCount] = {};
      uint16_t expectedMask = quoteDateBits;
      for (int v = 0; v < 5; ++v) {
        const std::string sign = random() % 4 == 0 ? (random() % 2 ? "-" : "+") : "";
        const std::string integer = digitRun(runLength());
        const bool hasFraction = random() % 3 != 0;
        const std::string fraction = hasFraction ? digitRun(runLength()) : std::string();
        line += ';';
        line += sign;
        line += integer;
        if (hasFraction) line += separator;
        line += fraction;
        if (integer.empty() && fraction.empty()) continue;
        std::string text = sign;
        text += integer;
        text += '.';
        text += fraction;
        expected[v] = std::strtold(text.c_str(), nullptr);
        expectedMask |= quoteValueBit(v);
      }
      TQuoteRecord quote;
      parseQuoteLine(line, format, quote);
      ASSERT_EQ(quote.Error, 0) << line;
      ASSERT_EQ(quote.Mask, expectedMask) << line;
      for (int v = 0; v < 5; ++v) {
        if (!(expectedMask & quoteValueBit(v))) continue;
        const long double got = quote.*quoteValueFields[v];
        // Sign, exponent and the 64-bit significand: the ten bytes in use.
        ASSERT_EQ(std::memcmp(&got, &expected[v], 10), 0) << line << " value " << v;
      }
    }
  }
}
