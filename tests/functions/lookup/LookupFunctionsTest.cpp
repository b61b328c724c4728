#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "functions/lookup/LookupFunctions.h"
#include "tests/functions/FormulaResultText.h"

namespace {

constexpr std::uint8_t numberCell = 1;
constexpr std::uint8_t stringCell = 2;

// Fills the sheet from the top left cell given, one text per cell; texts
// that are not numbers go into string cells, "" leaves the place empty.
void fill(TSheet& sheet, int col, int row, const std::vector<std::vector<std::string>>& rows) {
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const std::string& text = rows[r][c];
      if (text.empty()) continue;
      double number = 0.0;
      const bool isNumber = sheet.tryStrToFloat(text, number);
      enter(sheet, col + static_cast<int>(c), row + static_cast<int>(r), text, isNumber ? numberCell : stringCell);
    }
  }
}

struct TCase {
  const char* formula;
  const char* expected;
};

void expectAll(TSheet& sheet, const std::vector<TCase>& cases) {
  for (const TCase& c : cases) EXPECT_EQ(c.expected, resultText(sheet, c.formula)) << c.formula;
}

// The viscosity table of the VLOOKUP documentation of a widely used
// spreadsheet (density, viscosity, temperature), sorted by density; the
// results there are the ones expected here.
TEST(LookupFormulas, VlookupAgreesWithTheDocumentedTable) {
  TSheet sheet;
  fill(sheet, 1, 1,
       {{"0.457", "3.55", "500"},
        {"0.525", "3.25", "400"},
        {"0.606", "2.93", "300"},
        {"0.675", "2.75", "250"},
        {"0.746", "2.57", "200"},
        {"0.835", "2.38", "150"},
        {"0.946", "2.17", "100"},
        {"1.09", "1.95", "50"},
        {"1.29", "1.71", "0"}});
  expectAll(sheet, {{"=VLOOKUP(1,A1:C9,2)", "2.17"},
                    {"=VLOOKUP(1,A1:C9,3,TRUE)", "100"},
                    {"=VLOOKUP(0.7,A1:C9,3,FALSE)", "#N/A"},
                    {"=VLOOKUP(0.1,A1:C9,2,TRUE)", "#N/A"},
                    {"=VLOOKUP(2,A1:C9,2,TRUE)", "1.71"},
                    {"=VLOOKUP(0.746,A1:C9,3,0)", "200"},
                    {"=VLOOKUP(1,A1:C9,4)", "#REF!"},
                    {"=VLOOKUP(1,A1:C9,0)", "#VALUE!"},
                    {"=VLOOKUP(1,A1:C9)", "0.946"},
                    {"=VLOOKUP(1,5,1)", "#VALUE!"}});
}

// The parts table of the HLOOKUP documentation of the same spreadsheet.
TEST(LookupFormulas, HlookupAgreesWithTheDocumentedTable) {
  TSheet sheet;
  fill(sheet, 1, 1, {{"Axles", "Bearings", "Bolts"}, {"4", "4", "9"}, {"5", "7", "10"}, {"6", "8", "11"}});
  expectAll(sheet, {{"=HLOOKUP(\"Axles\",A1:C4,2,TRUE)", "4"},
                    {"=HLOOKUP(\"Bearings\",A1:C4,3,FALSE)", "7"},
                    {"=HLOOKUP(\"B\",A1:C4,3,TRUE)", "5"},
                    {"=HLOOKUP(\"Bolts\",A1:C4,4)", "11"},
                    {"=HLOOKUP(3,{{1,2,3},{\"a\",\"b\",\"c\"},{\"d\",\"e\",\"f\"}},2,TRUE)", "c"},
                    {"=HLOOKUP(\"bolts\",A1:C4,5)", "#REF!"}});
}

// Deliberate differences from other spreadsheets: the table need not be
// sorted (the first equal key, else the largest smaller one over the whole
// column), texts match without wildcards, and an empty lookup value is an
// error rather than a miss.
TEST(LookupFormulas, TableSearchesNeedNoSortedTable) {
  TSheet sheet;
  fill(sheet, 1, 1, {{"30", "thirty"}, {"10", "ten"}, {"20", "twenty"}, {"ABC", "letters"}, {"apple", "fruit"}});
  expectAll(sheet, {{"=VLOOKUP(25,A1:B3,2)", "twenty"},
                    {"=VLOOKUP(25,A1:B3,2,0)", "#N/A"},
                    {"=VLOOKUP(5,A1:B3,2)", "#N/A"},
                    {"=VLOOKUP(\"abc\",A1:B5,2,0)", "letters"},
                    {"=VLOOKUP(\"a*\",A1:B5,2,0)", "#N/A"},
                    {"=VLOOKUP(Z99,A1:B5,2)", "#VALUE!"},
                    {"=VLOOKUP(20,A1:B5,1)", "20"}});
  // The first of equal keys wins, later ones are not looked at.
  fill(sheet, 4, 1, {{"7", "first"}, {"7", "second"}});
  EXPECT_EQ("first", resultText(sheet, "=VLOOKUP(7,D1:E2,2)"));
  // An empty result cell stays empty, not 0.
  fill(sheet, 7, 1, {{"1", ""}});
  EXPECT_EQ("", resultText(sheet, "=VLOOKUP(1,G1:H1,2)"));
}

// Number keys of integer and number cells meet each other as numbers and a
// text key as texts, in every mode; an empty key is passed over.
TEST(LookupFormulas, NumberSearchesThroughKeysOfEveryKind) {
  constexpr std::uint8_t integerCell = 5;
  TSheet sheet;
  enter(sheet, 1, 1, "9", integerCell);
  enter(sheet, 1, 2, "4.5", numberCell);
  enter(sheet, 1, 3, "75", stringCell);
  enter(sheet, 1, 5, "3", integerCell);
  enter(sheet, 1, 6, "7", numberCell);
  enter(sheet, 1, 7, "8", integerCell);
  const char* const results[] = {"r1", "r2", "r3", "r4", "r5", "r6", "r7"};
  for (int row = 1; row <= 7; ++row) enter(sheet, 2, row, results[row - 1], stringCell);
  expectAll(sheet, {{"=VLOOKUP(7,A1:B7,2,0)", "r6"},
                    {"=VLOOKUP(8,A1:B7,2)", "r7"},
                    {"=VLOOKUP(75,A1:B7,2,0)", "r3"},
                    {"=VLOOKUP(7.5,A1:B7,2)", "r6"},
                    {"=VLOOKUP(4,A1:B7,2)", "r5"},
                    {"=VLOOKUP(100,A1:B7,2)", "r1"},
                    {"=MATCH(8.5,A1:A7,-1)", "1"},
                    {"=MATCH(5,A1:A7,-1)", "6"}});
}

// MATCH on the fruit table of the MATCH documentation (25, 38, 40, 41).
TEST(LookupFormulas, MatchPositionsAndTypes) {
  TSheet sheet;
  fill(sheet, 1, 1, {{"Bananas", "25"}, {"Oranges", "38"}, {"Apples", "40"}, {"Pears", "41"}});
  expectAll(sheet, {{"=MATCH(39,B1:B4,1)", "2"},
                    {"=MATCH(41,B1:B4,0)", "4"},
                    {"=MATCH(39,B1:B4)", "2"},
                    {"=MATCH(24,B1:B4)", "#N/A"},
                    {"=MATCH(\"oranges\",A1:A4,0)", "2"},
                    {"=MATCH(\"?pple*\",A1:B4,0)", "5"},  // row-major over both columns
                    {"=MATCH(\"*s\",A1:A4,0)", "1"},
                    {"=MATCH(\"p*s\",A1:A4,0)", "4"},
                    {"=MATCH(\"x*\",A1:A4,0)", "#N/A"},
                    {"=MATCH(\"?pple*\",A1:A4,1)", "#N/A"},  // wildcards only with type 0
                    {"=MATCH(5,{1,7,5,5},1)", "3"},
                    {"=MATCH(6,{1,7,5,5},1)", "3"},
                    {"=MATCH(6,{1,7,5,5},0)", "#N/A"},
                    {"=MATCH(5,{1,7,5,5},2)", "#VALUE!"}});
  // Deliberately unlike other spreadsheets, -1 needs no descending order:
  // the smallest greater element (the first of equals) is found anyway.
  expectAll(sheet, {{"=MATCH(6,{1,7,5,5},-1)", "2"},
                    {"=MATCH(39,B1:B4,-1)", "3"},
                    {"=MATCH(6,{9,8,7,8,7},-1)", "3"},
                    {"=MATCH(3,{4,9,4},1)", "#N/A"}});
  // The kinds meet as the sheet compares them: the number 40 equals the text 40.
  EXPECT_EQ("3", resultText(sheet, "=MATCH(\"40\",B1:B4,0)"));
}

// LOOKUP in its vector form (the colour table of its documentation) and its
// array form.
TEST(LookupFormulas, LookupVectorAndArrayForms) {
  TSheet sheet;
  fill(sheet, 1, 1, {{"4.14", "red"}, {"4.19", "orange"}, {"5.17", "yellow"}, {"5.77", "green"}, {"6.39", "blue"}});
  expectAll(sheet, {{"=LOOKUP(4.19,A1:A5,B1:B5)", "orange"},
                    {"=LOOKUP(5.75,A1:A5,B1:B5)", "yellow"},
                    {"=LOOKUP(7.66,A1:A5,B1:B5)", "blue"},
                    {"=LOOKUP(0,A1:A5,B1:B5)", "#N/A"},
                    {"=LOOKUP(5,A1:A5,B1:B4)", "#VALUE!"},
                    {"=LOOKUP(5,A1:A4,{1,2,3,4,5})", "2"},  // positions counted over all elements
                    {"=LOOKUP(\"C\",{{\"a\",\"b\",\"c\",\"d\"},{1,2,3,4}})", "3"},
                    {"=LOOKUP(\"bump\",{{\"a\",1},{\"b\",2},{\"c\",3}})", "2"},
                    {"=LOOKUP(5.2,A1:B5)", "yellow"}});
}

TEST(LookupFormulas, IndexFormsAndBounds) {
  TSheet sheet;
  fill(sheet, 1, 1, {{"Apples", "Lemons"}, {"Bananas", "Pears"}});
  expectAll(sheet, {{"=INDEX(A1:B2,2,2)", "Pears"},
                    {"=INDEX(A1:B2,2,1)", "Bananas"},
                    {"=INDEX({{1,2},{3,4}},0,2)", "{2;4}"},
                    {"=INDEX({{1,2},{3,4}},2,2)", "4"},
                    {"=INDEX({{1,2,3,4},{5,6,7,8},{9,10,11,12}},2)", "{5,6,7,8}"},
                    {"=INDEX({{1,2,3,4},{5,6,7,8},{9,10,11,12}},0,3)", "{3;7;11}"},
                    {"=INDEX({{1,2,3,4},{5,6,7,8},{9,10,11,12}},4)", "#REF!"},
                    {"=INDEX({{1,2,3,4},{5,6,7,8},{9,10,11,12}},1,5)", "#REF!"},
                    {"=INDEX({{1,2},{3,4}},-1,1)", "#REF!"},
                    {"=INDEX({{1,2},{3,4}})", "{1,2;3,4}"},
                    {"=INDEX({{1,2},{3,4}},Z99,2)", "{2;4}"},  // an empty row stands for 0
                    {"=INDEX({{1,2},{3,4}},Z99)", "#VALUE!"}});
  // Deliberately, a single index always names a row, also in a one-row array.
  EXPECT_EQ("#REF!", resultText(sheet, "=INDEX({1,2,3},2)"));
}

TEST(LookupFormulas, SubarrayBlocks) {
  TSheet sheet;
  const char* square = "{{1,2,3,4,5},{6,7,8,9,10},{11,12,13,14,15},{16,17,18,19,20},{21,22,23,24,25}}";
  auto sub = [&](const std::string& bounds) {
    return resultText(sheet, "=SUBARRAY(" + std::string(square) + "," + bounds + ")");
  };
  EXPECT_EQ("{8,9,10;13,14,15;18,19,20;23,24,25}", sub("2,0,3,0"));
  EXPECT_EQ("{7}", sub("2,2,2,2"));
  EXPECT_EQ("#REF!", sub("0,1,1,1"));
  EXPECT_EQ("#REF!", sub("1,-1,1,1"));
  EXPECT_EQ("#REF!", sub("3,2,1,1"));
  EXPECT_EQ("#REF!", sub("1,6,1,1"));
  fill(sheet, 1, 1, {{"1", "2"}, {"3", "4"}});
  EXPECT_EQ("{3,4}", resultText(sheet, "=SUBARRAY(A1:B2,2,0,1,0)"));
}

TEST(LookupFormulas, ChooseHandsOnTheValueAsItIs) {
  TSheet sheet;
  fill(sheet, 1, 1, {{"1", "10"}, {"2", "20"}, {"3", "30"}, {"4", "40"}});
  expectAll(sheet, {{"=CHOOSE(2,\"1st\",\"2nd\",\"3rd\",\"Finished\")", "2nd"},
                    {"=CHOOSE(4,\"1st\",\"2nd\",\"3rd\",\"Finished\")", "Finished"},
                    {"=CHOOSE(2.9,\"a\",\"b\",\"c\")", "b"},
                    {"=CHOOSE(0,\"a\",\"b\")", "#VALUE!"},
                    {"=CHOOSE(3,\"a\",\"b\")", "#VALUE!"},
                    {"=CHOOSE(2,1,{{1,2},{3,4}})", "{1,2;3,4}"},
                    {"=ROWS(CHOOSE(2,A1,B1:B4))", "4"},
                    {"=ROW(CHOOSE(1,B3,A1))", "3"},
                    {"=CHOOSE(2,A1,B1:B2)", "{10;20}"}});
}

TEST(LookupFormulas, RowsColumnsRowAndColumn) {
  TSheet sheet;
  expectAll(sheet, {{"=ROWS(C1:E4)", "4"},
                    {"=COLUMNS(C1:E4)", "3"},
                    {"=ROWS({{1,2,3},{4,5,6}})", "2"},
                    {"=COLUMNS({{1,2,3},{4,5,6}})", "3"},
                    {"=ROWS(7)", "1"},
                    {"=ROWS(C3)", "1"},
                    {"=COLUMNS(7)", "#VALUE!"},  // deliberately: a value has no columns
                    {"=COLUMNS(C3)", "#VALUE!"},
                    {"=ROWS(A1:A100000000)", "100000000"},  // counted, not read
                    {"=ROW(C10)", "10"},
                    {"=COLUMN(D10)", "4"},
                    {"=ROW()", std::to_string(resultRow).c_str()},
                    {"=COLUMN()", std::to_string(resultColumn).c_str()},
                    {"=ROW(B3:D5)", "{3;4;5}"},
                    {"=COLUMN(B3:D5)", "{2,3,4}"},
                    {"=ROW($B$7:$B$7)", "7"},
                    {"=ROW(7)", "#VALUE!"}});
}

// Sizes taken from references are counted in 64 bits and limited, so that
// no formula can ask for more memory than the sheet allows or wrap round.
TEST(LookupFormulas, HugeReferencesAreRefused) {
  TSheet sheet;
  EXPECT_EQ("#VALUE!", resultText(sheet, "=ROW(A1:A20000000)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=COLUMN(A1:ZZZZZZ1)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=OFFSET(A1,0,0,5000,5000)", false));
  // Sixteen million value records would take most of a gigabyte.
  EXPECT_EQ("#VALUE!", resultText(sheet, "=OFFSET(A1,0,0,1,16777216)", false));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=OFFSET(A1,0,0,1,16777216)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=OFFSET(A1:B2,0,0,2147483647,2147483647)", false));
  EXPECT_EQ("#REF!", resultText(sheet, "=OFFSET(A1,2147483647,0)", false));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=VLOOKUP(1,A1:B10000000,2)"));
  EXPECT_EQ("#VALUE!", resultText(sheet, "=MATCH(1,A1:A20000000)"));
}

TEST(LookupFormulas, OffsetGivesAReference) {
  TSheet sheet;
  auto reference = [&](const std::string& formula) { return resultText(sheet, formula, false); };
  EXPECT_EQ("ref:C2:D3", reference("=OFFSET(A1:B2,1,2)"));
  EXPECT_EQ("ref:$B$2", reference("=OFFSET($A$1,1,1)"));
  EXPECT_EQ("ref:A3:A5", reference("=OFFSET(A1,2,0,3)"));
  EXPECT_EQ("ref:$B3:D$4", reference("=OFFSET($A1:C$2,2,1)"));
  EXPECT_EQ("ref:B6", reference("=OFFSET(D3,3,-2,1,1)"));
  EXPECT_EQ("ref:B6:D8", reference("=OFFSET(D3:F5,3,-2,3,3)"));
  EXPECT_EQ("ref:B6:C8", reference("=OFFSET(D3:F5,3,-2,3,2)"));
  EXPECT_EQ("ref:D3:F5", reference("=OFFSET(D3:F5,0,0,0,0)"));  // 0 keeps the size
  EXPECT_EQ("ref:D3:F5", reference("=OFFSET(D3:F5,0,0,\"x\")"));
  EXPECT_EQ("ref:#REF!:C2", reference("=OFFSET(D3:F5,-3,-3,3,3)"));
  EXPECT_EQ("ref:C5", reference("=OFFSET(OFFSET(A1,1,1),3,1)"));
  EXPECT_EQ("#VALUE!", reference("=OFFSET(A1,1,1,-1)"));
  EXPECT_EQ("#VALUE!", reference("=OFFSET(A1,1,1,1,-1)"));
  EXPECT_EQ("#VALUE!", reference("=OFFSET(\"A1\",1,1)"));
  EXPECT_EQ("#VALUE!", reference("=OFFSET(A1,\"x\",1)"));
  // A reference moved off the sheet can be read by nothing.
  EXPECT_EQ("#REF!", reference("=OFFSET(OFFSET(A1,-1,0),1,0)"));
  EXPECT_EQ("#REF!", reference("=ROWS(OFFSET(A1:B2,-1,0))"));
  EXPECT_EQ("#REF!", reference("=ROW(OFFSET(A1,0,-1))"));

  // Read where it is used: as a range by a function, as values at the end.
  fill(sheet, 1, 1, {{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "9"}});
  EXPECT_EQ("{5,6;8,9}", resultText(sheet, "=OFFSET(A1:B2,1,1)"));
  EXPECT_EQ("8", resultText(sheet, "=OFFSET(A1,2,1)"));
  EXPECT_EQ("6", resultText(sheet, "=VLOOKUP(4,OFFSET(A1,1,0,2,3),3)"));
  EXPECT_EQ("45", resultText(sheet, "=SUM(OFFSET(A1,0,0,3,3))"));
  // Off the sheet in a branch not taken, it does no harm.
  EXPECT_EQ("0", resultText(sheet, "=IF(0,OFFSET(A1,-1,0),0)"));
}

TEST(LookupFormulas, IndirectFollowsBothCells) {
  TSheet sheet;
  fill(sheet, 1, 1, {{"B2", ""}, {"", "1.25"}});
  enter(sheet, 3, 1, "=INDIRECT(A1)");
  EXPECT_EQ("1.25", shown(sheet, 3, 1));
  enter(sheet, 2, 2, "2.5");
  EXPECT_EQ("2.5", shown(sheet, 3, 1));
  fill(sheet, 1, 1, {{"B3"}});
  enter(sheet, 2, 3, "7");
  EXPECT_EQ("7", shown(sheet, 3, 1));
  enter(sheet, 2, 3, "8");
  EXPECT_EQ("8", shown(sheet, 3, 1));

  fill(sheet, 5, 1, {{"hello", "A1:B2", "$B$3"}});
  expectAll(sheet, {{"=INDIRECT(\"B2\")", "#VALUE!"},  // deliberately: the text must stand in a cell
                    {"=INDIRECT(E1)", "#REF!"},
                    {"=INDIRECT(F1)", "#REF!"},
                    {"=INDIRECT(G1)", "8"},
                    {"=INDIRECT(A1:B2)", "#REF!"},
                    {"=INDIRECT(Z99)", "#REF!"}});
}

TEST(LookupFormulas, ArraySharesACellsArrayResult) {
  TSheet sheet;
  enter(sheet, 1, 1, "={{1,2},{3,4}}");
  enter(sheet, 1, 2, "5");
  enter(sheet, 2, 1, "=INDEX(ARRAY(A1),2,1)");
  EXPECT_EQ("3", shown(sheet, 2, 1));
  EXPECT_EQ("{1,2;3,4}", resultText(sheet, "=ARRAY(A1)"));
  EXPECT_EQ("#N/A", resultText(sheet, "=ARRAY(A2)"));
  EXPECT_EQ("#N/A", resultText(sheet, "=ARRAY(Z99)"));
  EXPECT_EQ("#REF!", resultText(sheet, "=ARRAY(A1:A2)"));
  EXPECT_EQ("#REF!", resultText(sheet, "=ARRAY(\"A1\")"));
  // The array is shared, so reading it must not change it.
  EXPECT_EQ("3", resultText(sheet, "=MATCH(\"3\",ARRAY(A1),0)"));
  EXPECT_EQ("{1,2;3,4}", resultText(sheet, "=ARRAY(A1)"));
  // A new result of the cell is seen by the cells reading it.
  enter(sheet, 1, 1, "={{6,7},{8,9}}");
  EXPECT_EQ("8", shown(sheet, 2, 1));
}

TEST(LookupFormulas, AvailableTellsWhetherAReferenceHoldsAValue) {
  TSheet sheet;
  fill(sheet, 1, 1, {{"1", "text"}});
  enter(sheet, 3, 1, "=1/0");
  expectAll(sheet, {{"=AVAILABLE(A1)", "1"},
                    {"=AVAILABLE(B1)", "1"},
                    {"=AVAILABLE(C1)", "0"},  // a cell in error
                    {"=AVAILABLE(D1)", "0"},
                    {"=AVAILABLE(A1:D1)", "1"},
                    {"=AVAILABLE(unknownName)", "1"},
                    {"=AVAILABLE(5)", "1"},
                    {"=AVAILABLE({1,2})", "1"}});
}

}  // namespace
