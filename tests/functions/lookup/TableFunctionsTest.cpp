#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "functions/lookup/TableFunctions.h"
#include "tests/functions/FormulaResultText.h"

namespace {

// These functions have no counterpart in other spreadsheets: the expected
// tables are worked out by hand in the comments, or by a plain second
// computation.

TEST(TableFormulas, ExtremaFindsPeaksTroughsAndFlatPoints) {
  TSheet sheet;
  // 1 < 3 > 2: peak; 3 > 2 = 2: flat; 2 = 2 < 5: flat; the ends only with
  // ends on: 1 < 3 trough, 5 > 2 peak.
  const std::string table = "{{10,1},{20,3},{30,2},{40,2},{50,5}}";
  EXPECT_EQ("{20,1,3;30,0,2;40,0,2}", resultText(sheet, "=EXTREMA(" + table + ",2)"));
  EXPECT_EQ("{10,-1,1;20,1,3;30,0,2;40,0,2;50,1,5}", resultText(sheet, "=EXTREMA(" + table + ",2,1)"));
  EXPECT_EQ("{20,1,3;30,0,2;40,0,2}", resultText(sheet, "=EXTREMA(" + table + ",2,0)"));
  // A rising column has nothing; two rows have ends only.
  EXPECT_EQ("#VALUE!", resultText(sheet, "=EXTREMA(" + table + ",1)"));
  EXPECT_EQ("{1,-1,1;2,1,2}", resultText(sheet, "=EXTREMA({{1},{2}},1,1)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=EXTREMA({{1},{2}},1)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=EXTREMA({{1}},1,1)"));
  // A row counts only with numbers on both sides.
  EXPECT_EQ("{4,-1,1}", resultText(sheet, "=EXTREMA({{1,5},{2,\"x\"},{3,3},{4,1},{5,2}},2)"));
  EXPECT_EQ("{2,1,9}", resultText(sheet, "=EXTREMA({{1,\"1\"},{2,\"9\"},{3,\"4\"}},2)"));  // texts that read as numbers
  EXPECT_EQ("#VALUE!", resultText(sheet, "=EXTREMA(" + table + ",3)"));
}

TEST(TableFormulas, CrossesALevel) {
  TSheet sheet;
  // Signs against 2: -, +, +, -.
  EXPECT_EQ("{20,1;40,-1}", resultText(sheet, "=CROSSES({{10,1},{20,3},{30,3},{40,0}},2,2)"));
  // A value on the level neither crosses nor clears the last sign: -, 0,
  // +, 0, -.
  EXPECT_EQ("{3,1;5,-1}", resultText(sheet, "=CROSSES({{1,1},{2,2},{3,3},{4,2},{5,1}},2,2)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=CROSSES({{1,1},{2,2},{3,3}},2,0)"));  // never below
  EXPECT_EQ("#VALUE!", resultText(sheet, "=CROSSES({{1,1},{2,3}},3,2)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=CROSSES({{1,1},{2,3}},2,\"x\")"));
  // Empty places cannot be compared and are passed over.
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 1, "1");
  enter(sheet, 1, 2, "2");
  enter(sheet, 1, 3, "3");
  enter(sheet, 2, 3, "3");
  EXPECT_EQ("{3,1}", resultText(sheet, "=CROSSES(A1:B3,2,2)"));
}

TEST(TableFormulas, CrossesAnotherTablesColumn) {
  TSheet sheet;
  const std::string first = "{{1,5},{2,7},{3,9},{4,6},{5,4},{6,8}}";
  // Paired values 6 (key 0 below), 6, 8 (equal key), 8 (key 3 below),
  // 5 (equal), 5 (table2 used up): signs -, +, +, -, -, +.
  EXPECT_EQ("{2,1;4,-1;6,1}", resultText(sheet, "=CROSSES(" + first + ",2,{{0,6},{3,8},{5,5}},2)"));
  // Keys 1 and 2 come before every key of table2 and are skipped.
  EXPECT_EQ("{4,-1;6,1}", resultText(sheet, "=CROSSES(" + first + ",2,{{3,8},{5,5}},2)"));
  // A one-row table2 still gives at most one crossing per row of table1:
  // signs -, +, +, 0, -, +.
  EXPECT_EQ("{2,1;5,-1;6,1}", resultText(sheet, "=CROSSES(" + first + ",2,{{0,6}},2)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=CROSSES(" + first + ",2,{{9,6}},2)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=CROSSES(" + first + ",2,{{0,6}},3)"));
}

TEST(TableFormulas, SyncJoinsOnKeys) {
  TSheet sheet;
  const std::string first = "{{1,\"a\"},{2,\"b\"},{3,\"c\"}}";
  const std::string second = "{{2,20},{3,30},{4,40}}";
  EXPECT_EQ("{1,a,;2,b,20;3,c,30;4,,40}", resultText(sheet, "=SYNC(" + first + "," + second + ")"));
  EXPECT_EQ("{2,b,20;3,c,30}", resultText(sheet, "=SYNC(" + first + "," + second + ",0)"));
  // No common key: no rows, and no error.
  EXPECT_EQ("{}", resultText(sheet, "=SYNC({{1,1}},{{2,2}},0)"));
  // Duplicates pair in order; texts ignore case; the number 1 equals the
  // text 1.
  EXPECT_EQ("{7,a,x;7,b,y;7,c,}", resultText(sheet, "=SYNC({{7,\"a\"},{7,\"b\"},{7,\"c\"}},{{7,\"x\"},{7,\"y\"}})"));
  EXPECT_EQ("{Abc,1,2}", resultText(sheet, "=SYNC({{\"Abc\",1}},{{\"aBC\",2}},0)"));
  EXPECT_EQ("{1,1,2}", resultText(sheet, "=SYNC({{1,1}},{{\"1\",2}},0)"));
  EXPECT_EQ("{1;2}", resultText(sheet, "=SYNC({{1}},{{2}})"));  // key columns only
  EXPECT_EQ("#VALUE!", resultText(sheet, "=SYNC({{1}},5)"));
}

// The text a key is written into a cell as, "" for none.
std::string randomKey(std::mt19937& random) {
  static const char* const keys[] = {"1", "2", "2.5", "1.0", "3", "a", "A", "b", "x", "0.5", ""};
  return keys[random() % (sizeof keys / sizeof keys[0])];
}

// Fills rows x 2 cells from (col, 1): a key (numbers in number cells, the
// rest in string cells) and the row number.
void fillRandomTable(TSheet& sheet, int col, int rows, std::mt19937& random) {
  for (int r = 1; r <= rows; ++r) {
    const std::string key = randomKey(random);
    double number = 0.0;
    if (!key.empty()) enter(sheet, col, r, key, sheet.tryStrToFloat(key, number) && random() % 3 != 0 ? 1 : 2);
    enter(sheet, col + 1, r, std::to_string(col * 100 + r));
  }
}

// SYNC's pairing done the plain way: every row of table2 searches table1
// from the top for the first free row with an equal key.
std::string pairedByScan(TSheet& sheet, const TArray& first, const TArray& second, bool keepAll) {
  const int rows1 = first.dimensions()[0];
  const int rows2 = second.dimensions()[0];
  std::vector<int> partner(static_cast<std::size_t>(rows1), -1);
  std::vector<int> unmatched;
  for (int j = 0; j < rows2; ++j) {
    int found = -1;
    for (int i = 0; i < rows1 && found < 0; ++i) {
      if (partner[static_cast<std::size_t>(i)] >= 0) continue;
      TValueRecord a = first.at(i, 0);
      TValueRecord b = second.at(j, 0);
      int order = 1;
      if (sheet.compareValues(a, b, order, resultColumn, resultRow, false, false) && order == 0) found = i;
    }
    if (found >= 0) {
      partner[static_cast<std::size_t>(found)] = j;
    } else {
      unmatched.push_back(j);
    }
  }
  std::vector<std::string> lines;
  for (int i = 0; i < rows1; ++i) {
    const int j = partner[static_cast<std::size_t>(i)];
    if (j < 0 && !keepAll) continue;
    lines.push_back(valueText(sheet, first.at(i, 0)) + "," + valueText(sheet, first.at(i, 1)) + "," +
                    (j >= 0 ? valueText(sheet, second.at(j, 1)) : ""));
  }
  if (keepAll) {
    for (int j : unmatched)
      lines.push_back(valueText(sheet, second.at(j, 0)) + ",," + valueText(sheet, second.at(j, 1)));
  }
  std::string text = "{";
  for (std::size_t k = 0; k < lines.size(); ++k) text += (k > 0 ? ";" : "") + lines[k];
  return text + "}";
}

TEST(TableFormulas, SyncPairsLikeAScanFromTheTop) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 20; ++round) {
    TSheet sheet;
    fillRandomTable(sheet, 1, 25, random);
    fillRandomTable(sheet, 4, 25, random);
    TArray first, second;
    sheet.rangeToArray(1, 1, 2, 25, first);
    sheet.rangeToArray(4, 1, 5, 25, second);
    EXPECT_EQ(pairedByScan(sheet, first, second, true), resultText(sheet, "=SYNC(A1:B25,D1:E25)")) << round;
    EXPECT_EQ(pairedByScan(sheet, first, second, false), resultText(sheet, "=SYNC(A1:B25,D1:E25,0)")) << round;
  }
}

TEST(TableFormulas, MsortOrdersNumbersTextsAndEmptyKeys) {
  TSheet sheet;
  enter(sheet, 1, 1, "3");
  enter(sheet, 1, 2, "b", 2);
  enter(sheet, 1, 3, "1");
  enter(sheet, 1, 4, "A", 2);
  for (int row = 1; row <= 5; ++row) enter(sheet, 2, row, std::to_string(row));
  // Texts by character codes, so capitals first (deliberately unlike other
  // spreadsheets, which ignore case); an empty key stays last both ways.
  EXPECT_EQ("{1,3;3,1;A,4;b,2;,5}", resultText(sheet, "=MSORT(A1:B5)"));
  EXPECT_EQ("{b,2;A,4;3,1;1,3;,5}", resultText(sheet, "=MSORT(A1:B5,0)"));
  EXPECT_EQ("{1,2,3;a,b,c}", resultText(sheet, "=MSORT({{3,1,2},{\"c\",\"a\",\"b\"}},1,0)"));
  EXPECT_EQ("{3,2,1;c,b,a}", resultText(sheet, "=MSORT({{3,1,2},{\"c\",\"a\",\"b\"}},0,0)"));
  // Equal texts keep their order.
  EXPECT_EQ("{a,2;a,4;b,1;b,3}", resultText(sheet, "=MSORT({{\"b\",1},{\"a\",2},{\"b\",3},{\"a\",4}})"));
  EXPECT_EQ("{3,1,2}", resultText(sheet, "=MSORT({3,1,2})"));  // one row: nothing to sort
  EXPECT_EQ("#VALUE!", resultText(sheet, "=MSORT(5)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=MSORT({3,1},\"x\")"));
  // A cell's array result is sorted as a copy, not in place.
  enter(sheet, 4, 1, "={{3},{1},{2}}");
  EXPECT_EQ("{1;2;3}", resultText(sheet, "=MSORT(ARRAY(D1))"));
  EXPECT_EQ("{3;1;2}", resultText(sheet, "=ARRAY(D1)"));
}

TEST(TableFormulas, MopAppliesAnOperatorElementByElement) {
  TSheet sheet;
  EXPECT_EQ("{11,22;33,44}", resultText(sheet, "=MOP(\"+\",{{1,2},{3,4}},{{10,20},{30,40}})"));
  EXPECT_EQ("{2,-5}", resultText(sheet, "=MOP(\"-\",{5,-2},{3,3})"));
  EXPECT_EQ("{-4,1}", resultText(sheet, "=MOP(\"-\",{4,-1})"));  // one array: the sign
  EXPECT_EQ("{ac,bd}", resultText(sheet, "=MOP(\"&\",{\"a\",\"b\"},{\"c\",\"d\"})"));
  EXPECT_EQ("{0,1}", resultText(sheet, "=MOP(\">\",{1,5},{3,3})"));
  EXPECT_EQ("{1,2}", resultText(sheet, "=MOP(\"MOD\",{7,8},{3,3})"));
  EXPECT_EQ("{1,}", resultText(sheet, "=MOP(\"/\",{3,1},{3,0})"));  // a failed element stays empty
  // A function name with its "(" and nothing after it calls the function.
  EXPECT_EQ("{2,}", resultText(sheet, "=MOP(\"SQRT(\",{4,-1})"));
  EXPECT_EQ("{2,3}", resultText(sheet, "=MOP(\"LEN(\",{\"ab\",\"abc\"})"));
  EXPECT_EQ("{65,}", resultText(sheet, "=MOP(\"CODE(\",{\"A\",\"\"})"));
  EXPECT_EQ("{y,n}", resultText(sheet, "=MOP(\"IF(\",{1,0},{\"y\",\"y\"},{\"n\",\"n\"})"));
  EXPECT_EQ("{,}", resultText(sheet, "=MOP(\"NOSUCHMACRO(\",{1,2})"));
  enter(sheet, 1, 1, "2");
  enter(sheet, 2, 1, "3");
  EXPECT_EQ("{4,6}", resultText(sheet, "=MOP(\"*\",A1:B1,{2,2})"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=MOP(\"+\",{1,2},{1,2,3})"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=MOP(\"+\",{1,2},{{1},{2}})"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=MOP(\"abc\",{1,2})"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=MOP(\"(\",{1,2})"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=MOP(\"+\",{1,2},5)"));
}

// The results of a mix of lookup and table formulas over a table made
// from the seed, each evaluated many times.
std::vector<std::string> mixedResults(unsigned seed) {
  std::mt19937 random(seed);
  TSheet sheet;
  fillRandomTable(sheet, 1, 40, random);
  fillRandomTable(sheet, 4, 40, random);
  const char* const formulas[] = {"=ROWS(SYNC(A1:B40,D1:E40))", "=INDEX(MSORT(A1:B40),1,2)", "=MATCH(\"?\",A1:A40,0)",
                                  "=VLOOKUP(2,D1:E40,2,0)", "=INDEX(MOP(\"+\",B1:B40,E1:E40),40,1)"};
  std::vector<std::string> results;
  for (int round = 0; round < 100; ++round) {
    for (const char* formula : formulas) {
      const std::uint8_t code = sheet.parseAndEvaluate(formula, resultColumn, resultRow, false);
      results.push_back(code != 0 ? cellStateText(code) : valueText(sheet, sheet.resultValue));
    }
  }
  return results;
}

// These functions also run on the compute threads of sheet graphs, each
// on a sheet of its own and nothing locked: two sheets evaluated at once
// must give what each gives alone.
TEST(TableFormulas, TwoSheetsEvaluatedAtOnce) {
  const std::vector<std::string> first = mixedResults(1);
  const std::vector<std::string> second = mixedResults(2);
  std::vector<std::string> firstAtOnce, secondAtOnce;
  std::thread other([&secondAtOnce] { secondAtOnce = mixedResults(2); });
  firstAtOnce = mixedResults(1);
  other.join();
  EXPECT_EQ(first, firstAtOnce);
  EXPECT_EQ(second, secondAtOnce);
}

}  // namespace
