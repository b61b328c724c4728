#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/QuoteLineReader.h"
#include "tests/support/TestFolders.h"

namespace {
std::vector<std::string> linesOf(TQuoteLineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.readQuoteLine(line)) lines.emplace_back(line);
  return lines;
}
}  // namespace

TEST(QuoteLineReader, LineEndsBlankLinesAndTheEndOfFileByte) {
  TQuoteLineReader reader;
  reader.assign("\r\n\na\r\nb\rc\n\r\n\r\rd  \n  \ne\x1A" "f\n");
  EXPECT_EQ(linesOf(reader), (std::vector<std::string>{"a", "b", "c", "d  ", "  ", "e"}));
  reader.assign("");
  EXPECT_TRUE(linesOf(reader).empty());
  reader.assign(std::string("x\0y\nz", 5));
  EXPECT_EQ(linesOf(reader), (std::vector<std::string>{std::string("x\0y", 3), "z"}));
}

TEST(QuoteLineReader, AUtf8MarkBeforeTheFirstLineIsNoPartOfIt) {
  TQuoteLineReader reader;
  reader.assign("\xef\xbb\xbf" "2024-01-02;1\r\n2024-01-03;2\r\n");
  EXPECT_EQ(linesOf(reader), (std::vector<std::string>{"2024-01-02;1", "2024-01-03;2"}));
  reader.assign("\xef\xbb\xbf");
  EXPECT_TRUE(linesOf(reader).empty());
  // Only at the start is it a mark.
  reader.assign("a\n\xef\xbb\xbf" "b\n");
  EXPECT_EQ(linesOf(reader), (std::vector<std::string>{"a", "\xef\xbb\xbf" "b"}));
  TTemporaryFolder folder;
  writeWholeFile(folder.path() + "q.csv", "\xef\xbb\xbf" "1\n2");
  ASSERT_EQ(reader.open(folder.path() + "q.csv"), 0);
  EXPECT_EQ(linesOf(reader), (std::vector<std::string>{"1", "2"}));
}

TEST(QuoteLineReader, OpenReportsMissingFiles) {
  TTemporaryFolder folder;
  TQuoteLineReader reader;
  EXPECT_EQ(reader.open(folder.path() + "missing.csv"), -2);
  EXPECT_EQ(reader.open(folder.path() + "no folder\\missing.csv"), -2);
  writeWholeFile(folder.path() + "q.csv", "1\r\n2");
  ASSERT_EQ(reader.open(folder.path() + "q.csv"), 0);
  EXPECT_EQ(linesOf(reader), (std::vector<std::string>{"1", "2"}));
}

TEST(QuoteLineReader, LinesAcrossTheReadPiecesOfALargeFile) {
  TTemporaryFolder folder;
  std::vector<std::string> expected;
  std::string text;
  // Lines of varying length with every kind of line end, so that line ends
  // (CR LF pairs too) fall across the boundaries of the pieces read, then
  // one line longer than a piece and an end-of-file byte.
  for (int i = 0; text.size() < 300000; ++i) {
    expected.push_back(std::string(1 + i % 97, static_cast<char>('a' + i % 26)) + std::to_string(i));
    text += expected.back() + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
  }
  expected.push_back(std::string(200000, 'x'));
  text += expected.back() + "\r\n\x1A" "after the end\r\n";
  writeWholeFile(folder.path() + "big.csv", text);
  TQuoteLineReader reader;
  ASSERT_EQ(reader.open(folder.path() + "big.csv"), 0);
  EXPECT_GT(reader.lineCountEstimate(), expected.size() / 2);
  EXPECT_EQ(linesOf(reader), expected);
  EXPECT_FALSE(reader.failed());
}

TEST(QuoteLineReader, DevicesAreRefusedAndOverlongLinesDropped) {
  TTemporaryFolder folder;
  TQuoteLineReader reader;
  // A ticker named AUX makes a price file name that is a device in every
  // folder: reading it would wait for ever.
  for (const char* name : {"AUX.CSV", "aux", "COM1", "com1.csv", "PRN.CSV", "CON.CSV", "NUL.csv", "LPT1.txt"})
    EXPECT_EQ(reader.open(folder.path() + name), -3) << name;
  EXPECT_EQ(reader.open("\\\\.\\pipe\\kestrova-none"), -3);
  EXPECT_EQ(reader.open(folder.path()), -3);

  // A line past 16 MB is skipped to its end; the lines around it stay.
  std::string text = "first\r\n" + std::string((size_t{1} << 24) + 70000, '9') + "\r\nlast";
  writeWholeFile(folder.path() + "long.csv", text);
  ASSERT_EQ(reader.open(folder.path() + "long.csv"), 0);
  EXPECT_TRUE(linesOf(reader) == (std::vector<std::string>{"first", "last"}));
  EXPECT_FALSE(reader.failed());
}

TEST(QuoteLineReader, TheLineEstimateFollowsLinesWithTextAndStaysBounded) {
  TTemporaryFolder folder;
  TQuoteLineReader reader;
  // Blank lines first: they make no records, so they must not make the
  // loader reserve room for millions.
  std::string blankLines(1 << 20, '\n');
  blankLines += "1.1.2000 5\r\n";
  writeWholeFile(folder.path() + "blank.csv", blankLines);
  ASSERT_EQ(reader.open(folder.path() + "blank.csv"), 0);
  EXPECT_LE(reader.lineCountEstimate(), 1u);
  std::string tiny;
  for (int i = 0; i < 4 << 20; ++i) tiny += "1\n";
  writeWholeFile(folder.path() + "tiny.csv", tiny);
  ASSERT_EQ(reader.open(folder.path() + "tiny.csv"), 0);
  EXPECT_LE(reader.lineCountEstimate(), size_t{1} << 18);
  EXPECT_EQ(linesOf(reader).size(), size_t{4} << 20);
}
