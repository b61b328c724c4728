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
