#include <gtest/gtest.h>

#include <string>

#include "model/QuoteFileEdits.h"
#include "model/QuoteFormat.h"
#include "platform/CalendarDates.h"

namespace {

const TQuoteFormat closeFormat = compileQuoteFormat("YYYY-MM-DD;C", false);

int32_t dayOf(int year, int month, int d) {
  double date = 0;
  encodeDate(year, month, d, date);
  return static_cast<int32_t>(date);
}

TQuoteRecord closeOn(int year, int month, int d, long double close) {
  TQuoteRecord quote;
  quote.Year = static_cast<uint16_t>(year);
  quote.Month = static_cast<uint16_t>(month);
  quote.Day = static_cast<uint16_t>(d);
  quote.Close = close;
  quote.Mask = quoteDateBits | quoteCloseBit;
  return quote;
}

std::string applied(const std::string& text, const TQuoteDayEdits& edits, int expected = 0) {
  std::string result = "unchanged";
  EXPECT_EQ(applyQuoteDayEdits(text, closeFormat, edits, result), expected);
  return result;
}

}  // namespace

TEST(QuoteFileEdits, EditedDaysChangeInPlaceAndEveryOtherLineStaysByteForByte) {
  // A header, values spelt as the downloader spells them, a repeated day,
  // and what follows the end-of-file byte.
  const std::string text =
      "Date;Close\r\n2024-01-02;36.250\r\n2024-01-03;37\r\n2024-01-03;37.5\r\n2024-01-05;38\r\n"
      "2024-01-08;39.10\r\n\x1A trailing";
  TQuoteDayEdits edits;
  edits[dayOf(2024, 1, 3)] = closeOn(2024, 1, 3, 40);    // changed: both of its lines give way
  edits[dayOf(2024, 1, 5)] = std::nullopt;               // deleted
  edits[dayOf(2024, 1, 4)] = closeOn(2024, 1, 4, 41);    // new, between two days held
  edits[dayOf(2024, 1, 1)] = closeOn(2024, 1, 1, 35);    // new, before every day, after the header
  edits[dayOf(2024, 1, 9)] = closeOn(2024, 1, 9, 42.5);  // new, after the last day
  edits[dayOf(2024, 1, 6)] = std::nullopt;               // deleted, but not held: nothing
  EXPECT_EQ(applied(text, edits),
            "Date;Close\r\n2024-01-01;35\r\n2024-01-02;36.250\r\n2024-01-03;40\r\n2024-01-04;41\r\n"
            "2024-01-08;39.10\r\n2024-01-09;42.5\r\n\x1A trailing");
  EXPECT_EQ(applied(text, {}), text);
}

TEST(QuoteFileEdits, NewDaysFollowTheOrderAndLineEndsOfTheText) {
  TQuoteDayEdits edits;
  edits[dayOf(2024, 1, 4)] = closeOn(2024, 1, 4, 4);
  edits[dayOf(2024, 1, 9)] = closeOn(2024, 1, 9, 9);
  // Newest first, as some downloaders write.
  EXPECT_EQ(applied("2024-01-08;8\n2024-01-05;5\n2024-01-02;2\n", edits),
            "2024-01-09;9\n2024-01-08;8\n2024-01-05;5\n2024-01-04;4\n2024-01-02;2\n");
  // A last line without its line end gets one before the new day.
  EXPECT_EQ(applied("2024-01-02;2\r2024-01-03;3", edits), "2024-01-02;2\r2024-01-03;3\r2024-01-04;4\r2024-01-09;9\r");
  // A day replaced on the last line keeps that line's missing end.
  TQuoteDayEdits last;
  last[dayOf(2024, 1, 3)] = closeOn(2024, 1, 3, 30);
  EXPECT_EQ(applied("2024-01-02;2\r\n2024-01-03;3", last), "2024-01-02;2\r\n2024-01-03;30");
  // An empty file takes the new days with line feeds.
  EXPECT_EQ(applied("", edits), "2024-01-04;4\n2024-01-09;9\n");
}

TEST(QuoteFileEdits, ATextNoLongerInTheFormatTakesNothing) {
  TQuoteDayEdits edits;
  edits[dayOf(2024, 1, 4)] = closeOn(2024, 1, 4, 4);
  // Rewritten by another program with commas: no line reads any more.
  EXPECT_EQ(applied("Date,Close\r\n2024/01/02,2\r\n2024/01/03,3\r\n", edits, -8), "unchanged");
  // Blank lines alone are no text in another format.
  EXPECT_EQ(applied("\r\n\r\n", edits), "\r\n\r\n2024-01-04;4\r\n");
}

TEST(QuoteFileEdits, AUtf8MarkStaysInFrontAndItsFirstDayIsADay) {
  const std::string mark = "\xef\xbb\xbf";
  TQuoteDayEdits first;
  first[dayOf(2024, 1, 2)] = closeOn(2024, 1, 2, 20);
  EXPECT_EQ(applied(mark + "2024-01-02;2\r\n2024-01-03;3\r\n", first), mark + "2024-01-02;20\r\n2024-01-03;3\r\n");
  TQuoteDayEdits before;
  before[dayOf(2024, 1, 1)] = closeOn(2024, 1, 1, 1);
  EXPECT_EQ(applied(mark + "2024-01-02;2\r\n", before), mark + "2024-01-01;1\r\n2024-01-02;2\r\n");
  EXPECT_EQ(applied(mark, before), mark + "2024-01-01;1\n");
}
