#include <gtest/gtest.h>

#include <set>
#include <string>

#include "sheet/ColumnLetters.h"
#include "sheet/FunctionNames.h"

TEST(FunctionNames, LookupIgnoresCase) {
  EXPECT_EQ(FunctionIdOf("sum"), 48);
  EXPECT_EQ(FunctionIdOf("Sum"), 48);
  EXPECT_EQ(FunctionIdOf("SUM"), 48);
  EXPECT_EQ(FunctionIdOf("FOO"), -1);
  EXPECT_EQ(FunctionIdOf(""), -1);
  EXPECT_EQ(FunctionIdOf("SUMX"), -1);
  EXPECT_EQ(FunctionIdOf("PORTFOLIO_CONVERTED_CURRENCY_PARTS"), -1);
  EXPECT_EQ(FunctionIdOf(std::string(1000, 'A')), -1);
}

TEST(FunctionNames, FamiliesStartAndEndAtTheirIds) {
  const std::pair<const char*, int> anchors[] = {
      {"ABS", 1},          {"IF", 22},         {"MOD", 27},           {"TRUNC", 53},       {"ADDRESS", 54},
      {"VLOOKUP", 69},     {"CROSSES", 70},    {"TRANSPOSE", 91},     {"MAKE_LOPASS", 92}, {"MEMDOM", 113},
      {"ACD", 114},        {"ZZI", 162},       {"PORTFOLIO_NAME", 163}, {"PORTFOLIO_FLAGS", 182},
      {"ASSET_NAME", 183}, {"ASSET_ASK_SIZE", 211}, {"TRANSACTION_PORTFOLIO", 212}, {"CURRENCY_CONVERT", 214},
      {"ACCRINT", 215},    {"YIELD", 258},     {"AVEDEV", 259},       {"ZTEST", 337},      {"DATE", 338},
      {"YEARFRAC", 356},   {"CHAR", 357},      {"T", 375},            {"VALUE", 378},
  };
  for (const auto& [name, id] : anchors) EXPECT_EQ(FunctionIdOf(name), id) << name;
}

TEST(FunctionNames, EveryIdHasOneDistinctName) {
  std::set<std::string> names;
  for (int id = 1; id <= builtInFunctionCount; ++id) {
    std::string name(builtInFunctionName(id));
    ASSERT_FALSE(name.empty()) << id;
    EXPECT_EQ(FunctionIdOf(name), id) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 378u);
  EXPECT_TRUE(builtInFunctionName(0).empty());
  EXPECT_TRUE(builtInFunctionName(379).empty());
}

TEST(ColumnLetters, BijectiveBase26) {
  const std::pair<int, const char*> columns[] = {{1, "A"},    {26, "Z"},    {27, "AA"},     {28, "AB"},
                                                 {52, "AZ"},  {702, "ZZ"},  {703, "AAA"},   {16384, "XFD"},
                                                 {0, ""},     {-5, ""},     {2147483647, "FXSHRXW"}};
  for (const auto& [column, letters] : columns) EXPECT_EQ(columnLetters(column), letters) << column;
}
