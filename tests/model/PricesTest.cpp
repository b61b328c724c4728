#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "model/History.h"
#include "model/Prices.h"
#include "model/UnreadableFiles.h"
#include "platform/CalendarDates.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

namespace {

double day(int year, int month, int d) {
  double date = 0;
  encodeDate(year, month, d, date);
  return date;
}

TQuoteRecord closeQuote(long double close) {
  TQuoteRecord quote;
  quote.Close = close;
  quote.Mask = quoteCloseBit;
  return quote;
}

long double closeAt(TPrices& prices, int sortedPosition) {
  double date = 0;
  TQuoteRecord quote;
  prices.getRecordBySortedIndex(sortedPosition, date, quote);
  return quote.Close;
}

std::vector<double> datesInOrder(TPrices& prices) {
  std::vector<double> dates;
  for (int i = 0; i < prices.count(); ++i) {
    double date = 0;
    TQuoteRecord quote;
    prices.getRecordBySortedIndex(i, date, quote);
    dates.push_back(date);
  }
  return dates;
}

// A series of Close values on consecutive days from 1 March 2024.
void fillDaily(TPrices& prices, const std::vector<long double>& closes) {
  for (size_t i = 0; i < closes.size(); ++i) {
    prices.addRecord(closeQuote(closes[i]), false, 0, day(2024, 3, 1) + static_cast<double>(i));
  }
}

const TQuoteFormat csvFormat = compileQuoteFormat("YYYY-MM-DD;O;H;L;C;V", false);
const TQuoteFormat closeFormat = compileQuoteFormat("YYYY-MM-DD;C", false);

}  // namespace

TEST(Prices, LoadSkipsWhatDoesNotParseAndKeepsRepeatedDates) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "q.csv";
  const std::string text =
      "Date;Open;High;Low;Close;Volume\r\n"
      "\r\n"
      "2024-01-03;1;2;0.5;1.5;100\n"
      "2024-01-01;1;1;1;1.25;\r"
      "2024-01-02;9;9;9;9;9\r\n"
      "2024-01-02;8;8;8;8;8\r\n"
      "2024-02-30;1;1;1;1;1\n"            // no such day
      "2024-01-0\n"                       // truncated
      "2024000000-01-04;1;1;1;1;1\n"      // ten-digit year
      "\x01\xff\xfe garbage \x7f\n"
      "2024-01-05;1;1;1;;\n"              // no Close: kept all the same
      "2024-01-04;4;4;4;4;4";
  writeWholeFile(file, text);
  TPrices prices;
  ASSERT_EQ(prices.loadFromFile(file, csvFormat), 0);
  EXPECT_FALSE(prices.modified());
  EXPECT_EQ(datesInOrder(prices), (std::vector<double>{day(2024, 1, 1), day(2024, 1, 2), day(2024, 1, 2),
                                                       day(2024, 1, 3), day(2024, 1, 4), day(2024, 1, 5)}));
  TQuoteRecord quote;
  prices.getRecord(0, quote);  // physical order is file order
  EXPECT_EQ(quote.Close, 1.5L);
  EXPECT_EQ(quote.Mask, quoteDateBits | quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit | quoteVolumeBit);
  EXPECT_EQ(quote.Year * 10000 + quote.Month * 100 + quote.Day, 20240103);
  prices.getRecord(1, quote);
  EXPECT_EQ(quote.Mask & quoteVolumeBit, 0);  // absent on that line
  prices.getRecord(4, quote);
  EXPECT_EQ(quote.Mask & quoteValueBits, quoteOpenBit | quoteHighBit | quoteLowBit);
  prices.getRecord(6, quote);
  EXPECT_EQ(quote.Error, 1);
  EXPECT_EQ(readWholeFile(file), text);  // loading never writes
}

TEST(Prices, RecordsKeepTheirOwnValuesWhenTheFieldsOfALaterLineDiffer) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "q.csv";
  std::string text;
  auto lineOf = [](int i, bool full) {
    const std::string date = "2001-01-01;";
    const std::string n = std::to_string(i);
    return full ? date + n + ".1;" + n + ".2;" + n + ".3;" + n + ".4;" + n + "\n" : date + ";;;" + n + ".4;\n";
  };
  for (int i = 0; i < 300; ++i) text += lineOf(i, true);
  text += lineOf(300, false);
  for (int i = 301; i < 310; ++i) text += lineOf(i, true);
  writeWholeFile(file, text);
  TPrices prices;
  ASSERT_EQ(prices.loadFromFile(file, csvFormat), 0);
  ASSERT_EQ(prices.count(), 310);
  const uint16_t all = quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit | quoteVolumeBit;
  for (int i : {0, 1, 150, 299, 300, 301, 309}) {
    TQuoteRecord quote;
    prices.getRecord(i, quote);
    EXPECT_EQ(quote.Mask & quoteValueBits, i == 300 ? quoteCloseBit : all) << i;
    EXPECT_EQ(quote.Close, i + 0.4L) << i;
    if (i != 300) {
      EXPECT_EQ(quote.Open, i + 0.1L) << i;
      EXPECT_EQ(quote.Volume, i) << i;
    }
  }
  // A record added with other fields than the loaded ones.
  ASSERT_TRUE(prices.addRecord(closeQuote(7), false, 0, day(2001, 1, 2)));
  TQuoteRecord quote;
  prices.getRecord(310, quote);
  EXPECT_EQ(quote.Mask & quoteValueBits, quoteCloseBit);
  EXPECT_EQ(quote.Close, 7);
  prices.getRecord(309, quote);
  EXPECT_EQ(quote.Volume, 309);
}

TEST(Prices, LoadFailures) {
  TTemporaryFolder folder;
  TPrices prices;
  fillDaily(prices, {1, 2});
  EXPECT_EQ(prices.loadFromFile(folder.path() + "missing.csv", csvFormat), -2);
  EXPECT_EQ(prices.count(), 0);
  writeWholeFile(folder.path() + "bad.csv", "header\nnothing;here\n\n");
  EXPECT_EQ(prices.loadFromFile(folder.path() + "bad.csv", csvFormat), -7);
  EXPECT_EQ(prices.count(), 0);
  writeWholeFile(folder.path() + "good.csv", "2024-01-01;1;1;1;1;1\n");
  EXPECT_EQ(prices.loadFromFile(folder.path() + "good.csv", TQuoteFormat{}), -6);
  writeWholeFile(folder.path() + "binary.csv", std::string("\0\x1A\0\n2024-01-01;1;1;1;1;1\n", 26));
  EXPECT_EQ(prices.loadFromFile(folder.path() + "binary.csv", csvFormat), -7);  // 0x1A ends the file
}

// A file cut inside its last value read "1.0" for "1.0537" without a word,
// a price file and a currency table alike; a last line with its end, or
// an end-of-file byte after one, is whole. An end-of-file byte before
// more lines ends the reading there, as it did, and was told as a cut.
TEST(Prices, AFileCutOffInsideItsLastLineIsNamedAtItsLoad) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "EURtoUSD.CSV";
  const TQuoteFormat rateFormat = compileQuoteFormat("yyyymmdd,c", false);
  const std::string cut = " may be cut off inside its last line, which has no line end.";
  const struct {
    const char* text;
    std::string told;
  } cases[] = {
      {"20240101,1.0412\r\n20240102,1.0", cut},
      {"20240101,1.0412\r\n20240102,1.0\x1A", cut},
      {"20240101,1.0412\r\n20240102,1.0537\r\n", ""},
      {"20240101,1.0412\r\n20240102,1.0537\r\n\x1A", ""},
      {"20240101,1.0412\r\n20240102,1.0537\n  ", ""},
      {"20240101,1.0412\r\n20240102,1.0537\r\n\x1A\r\n \x1A\n", ""},
      {"20240101,1.0412\r\n\r\n20240102,1.0537\r\n\x1A" "20240103,1.0601\r\n\r20240104,1.06\n",
       " holds an end-of-file mark in its middle, at line 4; the 2 lines after it were not read."},
      {"20240101,1.0412\n\r20240102,1.05\x1A" "37\r\n",
       " holds an end-of-file mark in its middle, at line 3; the line after it was not read."},
  };
  for (const auto& each : cases) {
    writeWholeFile(file, each.text);
    takeLoadFailures();
    const std::vector<std::string> told =
        each.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{file + each.told};
    TPrices prices;
    ASSERT_EQ(prices.loadFromFile(file, rateFormat), 0) << each.text;
    EXPECT_EQ(takeLoadFailures(), told) << "prices " << each.text;
    THistory table;
    ASSERT_EQ(table.load(file, rateFormat), 0) << each.text;
    EXPECT_EQ(takeLoadFailures(), told) << "table " << each.text;
  }
}

TEST(Prices, LoadingGivesTheIndexThatAddingOneByOneGives) {
  TTemporaryFolder folder;
  std::mt19937 random(7);
  for (int trial = 0; trial < 40; ++trial) {
    const int size = 1 + static_cast<int>(random() % 300);
    const int spread = 1 + static_cast<int>(random() % 40);  // few distinct dates: many repeats
    std::string text;
    TPrices added;
    for (int i = 0; i < size; ++i) {
      const int d = 1 + static_cast<int>(random() % spread) % 28;
      const int m = 1 + static_cast<int>(random() % spread) / 28 % 12;
      TQuoteRecord quote = closeQuote(i);
      quote.Year = 2024;
      quote.Month = static_cast<uint16_t>(m);
      quote.Day = static_cast<uint16_t>(d);
      quote.Mask |= quoteDateBits;
      added.addQuote(quote, false, 0);
      text += "2024-" + std::to_string(100 + m).substr(1) + "-" + std::to_string(100 + d).substr(1) + ";" +
              std::to_string(i) + "\n";
    }
    writeWholeFile(folder.path() + "q.csv", text);
    TPrices loaded;
    ASSERT_EQ(loaded.loadFromFile(folder.path() + "q.csv", closeFormat), 0);
    ASSERT_EQ(loaded.count(), size);
    for (int i = 0; i < size; ++i) ASSERT_EQ(closeAt(loaded, i), closeAt(added, i)) << "trial " << trial;
  }
}

TEST(Prices, RecordsAddedToAFileInDateOrderTakeThePlacesAddingOneByOneGives) {
  TTemporaryFolder folder;
  std::mt19937 random(8);
  for (int trial = 0; trial < 40; ++trial) {
    const int lines = 1 + static_cast<int>(random() % 60);
    std::string text;
    TPrices added;
    for (int i = 0; i < lines; ++i) {
      // Every other day, so that added records can fall between them.
      const double date = day(2024, 1, 1) + 2 * i;
      added.addRecord(closeQuote(i), false, 0, date);
      int year = 0, month = 0, d = 0;
      decodeDate(date, year, month, d);
      char line[32];
      std::snprintf(line, sizeof line, "%04d-%02d-%02d;%d\n", year, month, d, i);
      text += line;
    }
    writeWholeFile(folder.path() + "q.csv", text);
    TPrices loaded;
    ASSERT_EQ(loaded.loadFromFile(folder.path() + "q.csv", closeFormat), 0);
    // Before all, between, on a date held, after all; a time of day too.
    const int additions = static_cast<int>(random() % 6);
    for (int a = 0; a < additions; ++a) {
      const double date = day(2024, 1, 1) - 3 + static_cast<double>(random() % (2 * lines + 6)) +
                          (random() % 4 == 0 ? 0.25 : 0.0);
      const bool skipIfDateExists = random() % 2 == 0;
      const long double close = 1000 + a;
      ASSERT_EQ(loaded.addRecord(closeQuote(close), skipIfDateExists, 0, date),
                added.addRecord(closeQuote(close), skipIfDateExists, 0, date));
    }
    ASSERT_EQ(loaded.count(), added.count());
    EXPECT_EQ(datesInOrder(loaded), datesInOrder(added)) << "trial " << trial;
    for (int i = 0; i < added.count(); ++i) ASSERT_EQ(closeAt(loaded, i), closeAt(added, i)) << "trial " << trial;
    ASSERT_EQ(loaded.saveToFile(folder.path() + "loaded.csv", closeFormat, false, true), 0);
    ASSERT_EQ(added.saveToFile(folder.path() + "added.csv", closeFormat, false, true), 0);
    EXPECT_EQ(readWholeFile(folder.path() + "loaded.csv"), readWholeFile(folder.path() + "added.csv"));
  }
}

TEST(Prices, LoadedValuesAreThoseTheParserReadsBitForBit) {
  // Fields of few and of many digits, signs, large volumes, fields left
  // empty now and then: records of differing fields, values held in four
  // bytes and kept whole side by side.
  std::mt19937 random(9);
  auto number = [&] {
    std::string digits = std::to_string(random() % 1000000000u);
    const size_t places = random() % 12;
    if (places >= digits.size()) digits.insert(0, places - digits.size() + 1, '0');
    if (places > 0) digits.insert(digits.size() - places, ".");
    return (random() % 6 == 0 ? "-" : "") + digits + (random() % 8 == 0 ? "123456789" : "");
  };
  std::vector<std::string> lines;
  std::string text;
  for (int i = 0; i < 3000; ++i) {
    int year = 0, month = 0, d = 0;
    decodeDate(day(2000, 1, 1) + i, year, month, d);
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, d);
    std::string line = date;
    for (int field = 0; field < 5; ++field) line += ";" + (random() % 10 == 0 ? std::string() : number());
    lines.push_back(line);
    text += line + "\n";
  }
  TTemporaryFolder folder;
  writeWholeFile(folder.path() + "q.csv", text);
  TPrices prices;
  ASSERT_EQ(prices.loadFromFile(folder.path() + "q.csv", csvFormat), 0);
  ASSERT_EQ(prices.count(), static_cast<int>(lines.size()));
  for (int i = 0; i < prices.count(); ++i) {
    TQuoteRecord expected;
    parseQuoteLine(lines[static_cast<size_t>(i)], csvFormat, expected);
    TQuoteRecord quote;
    prices.getRecord(i, quote);
    ASSERT_EQ(quote.Mask, expected.Mask) << lines[static_cast<size_t>(i)];
    for (int v = 0; v < quoteValueCount; ++v) {
      if (!(quote.Mask & quoteValueBit(v))) continue;
      ASSERT_EQ(std::memcmp(&(quote.*quoteValueFields[v]), &(expected.*quoteValueFields[v]), 10), 0)
          << lines[static_cast<size_t>(i)] << " field " << v;
    }
  }
}

TEST(Prices, AddRecordKeepsDateOrder) {
  TPrices prices;
  EXPECT_FALSE(prices.addRecord([] { auto q = closeQuote(1); q.Error = 1; return q; }(), false, 0, 10));
  for (double date : {50.0, 10.0, 30.0, 70.0, 30.0, 5.0}) EXPECT_TRUE(prices.addRecord(closeQuote(date), false, 0, date));
  EXPECT_EQ(datesInOrder(prices), (std::vector<double>{5, 10, 30, 30, 50, 70}));
  EXPECT_TRUE(prices.modified());
  EXPECT_FALSE(prices.addRecord(closeQuote(1), true, 0, 30));
  EXPECT_FALSE(prices.addRecord(closeQuote(1), true, 0.5, 30.25));
  EXPECT_TRUE(prices.addRecord(closeQuote(1), true, 0.1, 30.25));
  TQuoteRecord incomplete = closeQuote(1);
  incomplete.Mask |= quoteYearBit | quoteMonthBit;
  EXPECT_FALSE(prices.addQuote(incomplete, false, 0));
}

TEST(Prices, FindDateWithTolerance) {
  TPrices prices;
  int pos = 99;
  EXPECT_EQ(prices.findDate(pos, 10, 0), -1);
  EXPECT_EQ(pos, -1);
  for (double date : {10.0, 20.0, 30.0, 40.0}) prices.addRecord(closeQuote(date), false, 0, date);
  EXPECT_EQ(prices.findDate(pos, 30, 0), 2);
  // A record within the tolerance matches on either side of the date,
  // also where the bisection ends on the other neighbour.
  const double second = 1.0 / 86400;
  EXPECT_EQ(prices.findDate(pos, 30 + second, second), 2);
  EXPECT_EQ(pos, 3);  // the last probe
  EXPECT_EQ(prices.findDate(pos, 20 - second / 2, second), 1);
  EXPECT_EQ(prices.findDate(pos, 10 - second / 2, second), 0);
  EXPECT_EQ(prices.findDate(pos, 40 + second / 2, second), 3);
  EXPECT_EQ(prices.findDate(pos, 30.5, second), -1);
  EXPECT_TRUE(pos == 2 || pos == 3);
  EXPECT_EQ(prices.findDate(pos, 34, 6), 2);  // the nearer of two
  EXPECT_EQ(prices.findDate(pos, 36, 6), 3);
  EXPECT_EQ(prices.findDate(pos, 5, 1), -1);
  EXPECT_EQ(pos, 0);
  EXPECT_EQ(prices.findDate(pos, 45, 1), -1);
  EXPECT_EQ(pos, 3);
}

TEST(Prices, RecordAtDate) {
  TPrices prices;
  fillDaily(prices, {1, 2, 3});  // 1..3 March
  prices.addRecord(closeQuote(5), false, 0, day(2024, 3, 5));
  double recordDate = 0;
  TQuoteRecord quote;
  prices.getRecordAtDate(true, recordDate, quote, day(2024, 3, 4));
  EXPECT_EQ(quote.Error, 0);
  EXPECT_EQ(quote.Close, 3);
  EXPECT_EQ(recordDate, day(2024, 3, 3));
  prices.getRecordAtDate(true, recordDate, quote, day(2024, 4, 1));
  EXPECT_EQ(quote.Close, 5);
  prices.getRecordAtDate(true, recordDate, quote, day(2024, 2, 1));
  EXPECT_EQ(quote.Error, 1);
  prices.getRecordAtDate(false, recordDate, quote, day(2024, 3, 4));
  EXPECT_EQ(quote.Error, 1);
  prices.getRecordAtDate(false, recordDate, quote, day(2024, 3, 2));
  EXPECT_EQ(quote.Close, 2);
  EXPECT_EQ(quote.Day, 2);
}

TEST(Prices, SaveWritesFirstOfRepeatedDatesWithLineFeeds) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "q.csv";
  writeWholeFile(file, "Header\r\n2024-01-02;2\r\n2024-01-01;1.1234567\r\n2024-01-02;3\r\n");
  TPrices prices;
  ASSERT_EQ(prices.loadFromFile(file, closeFormat), 0);
  const TQuoteFormat& format = closeFormat;
  ASSERT_EQ(prices.saveToFile(file, format, false, false), 0);
  EXPECT_EQ(readWholeFile(file), "2024-01-02;2\n2024-01-01;1.123457\n2024-01-02;3\n");
  ASSERT_EQ(prices.saveToFile(file, format, true, true), 0);
  EXPECT_EQ(readWholeFile(file), "2024-01-01;1.123457\n2024-01-02;" + std::string(closeAt(prices, 1) == 2 ? "2" : "3") + "\n");
  EXPECT_EQ(prices.saveToFile(file, TQuoteFormat{}, true, true), -6);
}

TEST(Prices, FailedSaveKeepsTheFileAndTheModifiedFlag) {
  TTemporaryFolder folder;
  TPrices prices;
  fillDaily(prices, {1});
  const TQuoteFormat format = compileQuoteFormat("YYYY-MM-DD;C", false);
  EXPECT_EQ(prices.saveToFile(folder.path() + "no such folder\\q.csv", format, true, true), -4);
  EXPECT_TRUE(prices.modified());
  ASSERT_EQ(prices.saveToFile(folder.path() + "q.csv", format, true, true), 0);
  EXPECT_FALSE(prices.modified());
  EXPECT_EQ(readWholeFile(folder.path() + "q.csv"), "2024-03-01;1\n");
}

TEST(Prices, FieldMinimumsAndMaximums) {
  TPrices prices;
  TQuoteRecord quote;
  prices.fieldMinimums(quote, 100, 0);
  EXPECT_EQ(quote.Mask, 0);
  fillDaily(prices, {5, 3, 8, 1});  // 1..4 March
  TQuoteRecord withHigh = closeQuote(4);
  withHigh.High = 9;
  withHigh.Mask |= quoteHighBit;
  prices.addRecord(withHigh, false, 0, day(2024, 3, 3));

  prices.fieldMinimums(quote, day(2024, 3, 3), day(2024, 3, 2));
  EXPECT_EQ(quote.Close, 3);
  EXPECT_EQ(quote.High, 9);
  EXPECT_EQ(quote.Mask & quoteValueBits, quoteCloseBit | quoteHighBit);
  prices.fieldMaximums(quote, day(2024, 3, 31), day(2024, 1, 1));
  EXPECT_EQ(quote.Close, 8);
  // A fromDate between records starts at the next one.
  prices.fieldMaximums(quote, day(2024, 3, 31), day(2024, 3, 1) + 0.5);
  EXPECT_EQ(quote.Close, 8);
  prices.fieldMaximums(quote, day(2024, 3, 2), day(2024, 3, 1) + 0.5);
  EXPECT_EQ(quote.Close, 3);
  // A start after the last record seeds the result with the last record.
  prices.fieldMinimums(quote, day(2025, 1, 1), day(2024, 12, 1));
  EXPECT_EQ(quote.Error, 0);
  EXPECT_EQ(quote.Close, 1);
  EXPECT_EQ(quote.Mask & quoteValueBits, quoteCloseBit);
}

TEST(Prices, AlignToDatesChainsStepReturnsAndRestores) {
  TPrices prices;
  fillDaily(prices, {100, 110, 99, 108.9L});
  const double first = day(2024, 3, 1);
  EXPECT_EQ(prices.restore(), -7);
  // fromDate after the last date: unchanged.
  ASSERT_EQ(prices.alignToDates({first + 3, first + 2, first + 1}, first + 10, 0), 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(closeAt(prices, i), (std::vector<long double>{100, 110, 99, 108.9L}[i]));

  // Reversed dates: the steps come latest first, the dates stay in place.
  ASSERT_EQ(prices.alignToDates({first + 3, first + 2 + 0.5 / 86400, first + 1}, first - 1, 1.0 / 86400), 0);
  EXPECT_EQ(datesInOrder(prices), (std::vector<double>{first, first + 1, first + 2, first + 3}));
  EXPECT_EQ(prices.savedCount(), 4);
  EXPECT_NEAR(static_cast<double>(closeAt(prices, 1)), 110, 1e-12);   // step +10 % (108.9 / 99)
  EXPECT_NEAR(static_cast<double>(closeAt(prices, 2)), 99, 1e-12);    // step -10 % (99 / 110)
  EXPECT_NEAR(static_cast<double>(closeAt(prices, 3)), 108.9, 1e-12);  // step +10 % (110 / 100)
  EXPECT_EQ(prices.saveToFile("unused.csv", csvFormat, true, true), -1);

  ASSERT_EQ(prices.restore(), 0);
  EXPECT_EQ(prices.savedCount(), 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(closeAt(prices, i), (std::vector<long double>{100, 110, 99, 108.9L}[i]));
}

TEST(Prices, AlignToDatesStoresZeroForAFailedStepAndKeepsModified) {
  TTemporaryFolder folder;
  writeWholeFile(folder.path() + "q.csv", "2024-03-01;1\n2024-03-02;0\n2024-03-03;5\n");
  TPrices prices;
  ASSERT_EQ(prices.loadFromFile(folder.path() + "q.csv", closeFormat), 0);
  const double first = day(2024, 3, 1);
  ASSERT_EQ(prices.alignToDates({first + 2, first + 1}, first - 1, 0), 0);
  EXPECT_EQ(closeAt(prices, 1), 0);  // 1 × 5 / 0
  EXPECT_EQ(closeAt(prices, 2), 0);
  // Aligning twice starts from the records as loaded; restore leaves the
  // series as unmodified as it was loaded. The record after fromDate keeps
  // its value.
  ASSERT_EQ(prices.alignToDates({first + 2, first + 1}, first, 0), 0);
  EXPECT_EQ(closeAt(prices, 1), 0);
  EXPECT_EQ(closeAt(prices, 2), 0);  // 0 × 5 / 0
  ASSERT_EQ(prices.restore(), 0);
  EXPECT_FALSE(prices.modified());
  EXPECT_EQ(closeAt(prices, 2), 5);
}

TEST(Prices, MergeDates) {
  TPrices prices;
  for (double date : {30.0, 10.0, 30.0, 20.0}) prices.addRecord(closeQuote(1), false, 0, date);
  std::vector<double> dates{10, 15};
  EXPECT_EQ(prices.mergeDates(dates), 0);
  EXPECT_EQ(dates, (std::vector<double>{10, 15, 30, 30, 20}));  // physical order, repeats kept
}

TEST(Prices, NullSeries) {
  auto prices = TPrices::createNullSeries();
  EXPECT_TRUE(prices->isNull());
  int pos = -1;
  EXPECT_EQ(prices->findDate(pos, 12345, 0), 0);
  EXPECT_EQ(pos, 0);
  double recordDate = 0;
  TQuoteRecord quote;
  prices->getRecordAtDate(true, recordDate, quote, day(2024, 5, 6));
  EXPECT_EQ(recordDate, day(2024, 5, 6));
  EXPECT_EQ(quote.Error, 0);
  EXPECT_EQ(quote.Close, 1);
  EXPECT_EQ(quote.Ask, 1);
  EXPECT_EQ(quote.Volume, 0);
  EXPECT_EQ(quote.AskSize, 0);
  EXPECT_EQ(quote.Mask, quoteValueBits | quoteDateBits);
  EXPECT_EQ(quote.Year * 10000 + quote.Month * 100 + quote.Day, 20240506);
  prices->fieldMaximums(quote, 1, 0);
  EXPECT_EQ(quote.Mask, quoteValueBits);
  // Shared by every asset without prices, it takes no records.
  EXPECT_FALSE(prices->addRecord(closeQuote(1), false, 0, 10));
  EXPECT_EQ(prices->count(), 0);
  EXPECT_EQ(prices->alignToDates({1, 2}, 0, 0), 0);
  EXPECT_EQ(prices->restore(), 0);
}

TEST(Prices, SavingChangesWritesTheChangedDaysIntoTheFileAsItStands) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "q.csv";
  writeWholeFile(file, "Date;Close\r\n2024-01-02;2.50\r\n2024-01-03;3\r\n2024-01-04;4\r\n");
  TPrices prices;
  ASSERT_EQ(prices.loadFromFile(file, closeFormat), 0);
  // Replaced as the quote editor does: the 3rd changed, the 4th gone, the
  // 5th new, the 2nd as it was.
  prices.clear(true);
  prices.addRecord(closeQuote(2.5), true, 0.5, day(2024, 1, 2));
  prices.addRecord(closeQuote(30), true, 0.5, day(2024, 1, 3));
  prices.addRecord(closeQuote(5), true, 0.5, day(2024, 1, 5) + 0.25);
  // Meanwhile the downloader appends a day and corrects one.
  writeWholeFile(file, "Date;Close\r\n2024-01-02;2.75\r\n2024-01-03;3\r\n2024-01-04;4\r\n2024-01-08;8\r\n");
  ASSERT_EQ(prices.saveChangesToFile(file, closeFormat), 0);
  EXPECT_EQ(readWholeFile(file), "Date;Close\r\n2024-01-02;2.75\r\n2024-01-03;30\r\n2024-01-05;5\r\n2024-01-08;8\r\n");
  EXPECT_FALSE(prices.modified());
  EXPECT_EQ(prices.count(), 3) << "the series keeps its records; a reload takes the others";
  EXPECT_EQ(prices.saveChangesToFile(file, closeFormat), 0);

  // Later changes are measured from what was written.
  prices.addRecord(closeQuote(6), true, 0.5, day(2024, 1, 6));
  ASSERT_EQ(prices.saveChangesToFile(file, closeFormat), 0);
  EXPECT_EQ(readWholeFile(file),
            "Date;Close\r\n2024-01-02;2.75\r\n2024-01-03;30\r\n2024-01-05;5\r\n2024-01-06;6\r\n2024-01-08;8\r\n");

  // A series made in memory writes a file not there yet whole.
  TPrices made;
  fillDaily(made, {1, 2});
  ASSERT_EQ(made.saveChangesToFile(folder.path() + "new.csv", closeFormat), 0);
  EXPECT_EQ(readWholeFile(folder.path() + "new.csv"), "2024-03-01;1\n2024-03-02;2\n");
}

TEST(Prices, AFileSavedWithAUtf8MarkKeepsItsFirstQuoteAndItsMark) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "q.csv";
  writeWholeFile(file, "\xef\xbb\xbf" "2024-01-02;2\r\n2024-01-03;3\r\n");
  TPrices prices;
  ASSERT_EQ(prices.loadFromFile(file, closeFormat), 0);
  ASSERT_EQ(prices.count(), 2);
  EXPECT_EQ(datesInOrder(prices).front(), day(2024, 1, 2));
  EXPECT_EQ(closeAt(prices, 0), 2);
  prices.clear(true);
  prices.addRecord(closeQuote(20), true, 0.5, day(2024, 1, 2));
  prices.addRecord(closeQuote(3), true, 0.5, day(2024, 1, 3));
  ASSERT_EQ(prices.saveChangesToFile(file, closeFormat), 0);
  EXPECT_EQ(readWholeFile(file), "\xef\xbb\xbf" "2024-01-02;20\r\n2024-01-03;3\r\n");
}

TEST(Prices, ChangesAFileCannotTakeAreRefusedAndCanBeDiscarded) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "q.csv";
  writeWholeFile(file, "2024-01-02;2\n2024-01-03;3\n");
  TPrices prices;
  ASSERT_EQ(prices.loadFromFile(file, closeFormat), 0);
  prices.addRecord(closeQuote(4), true, 0.5, day(2024, 1, 4));
  const double stamp = prices.lastChange();

  const std::string otherFormat = "Date,Close\n02.01.2024,2\n03.01.2024,3\n";
  writeWholeFile(file, otherFormat);
  EXPECT_EQ(prices.saveChangesToFile(file, closeFormat), -8);
  EXPECT_EQ(readWholeFile(file), otherFormat);
  EXPECT_TRUE(prices.modified());
  {
    THeldFile held(file);
    ASSERT_TRUE(held.held());
    EXPECT_EQ(prices.saveChangesToFile(file, closeFormat), -3);
  }
  deleteFile(file);
  EXPECT_EQ(prices.saveChangesToFile(file, closeFormat), -8) << "a file gone is no place for the changes alone";
  EXPECT_FALSE(fileExists(file));

  prices.discardChanges();
  EXPECT_FALSE(prices.modified());
  EXPECT_GT(prices.lastChange(), stamp);
  EXPECT_EQ(datesInOrder(prices), (std::vector<double>{day(2024, 1, 2), day(2024, 1, 3)}));
  EXPECT_EQ(prices.saveChangesToFile(file, closeFormat), 0);
  EXPECT_FALSE(fileExists(file)) << "nothing left to write";
}
