#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/LocaleSettings.h"
#include "sheet/NumberText.h"
#include "sheet/Sheet.h"
#include "sheet/ValueCells.h"
#include "tests/support/RegionalSettings.h"

namespace {

struct TRegionalCase {
  const char* name;
  std::vector<std::pair<LCTYPE, std::wstring>> settings;
  std::string shown;  // 66089.83 as the sheet shows it
  std::string typed;  // 1234.5 as the user types it
};

}  // namespace

// A grouped number shows a separator the screen can draw, and a number typed
// the way these users type it (a plain space where their separator is a
// no-break one) is a number, not a text.
TEST(RegionalNumbers, GroupedNumbersShowAndReadUnderFrenchSwissAndNorwegianSettings) {
  const std::vector<TRegionalCase> cases = {
      {"French", frenchRegionalSettings(), "66\xA0" "089,83", "1 234,5"},
      {"Swiss German", swissGermanRegionalSettings(), "66\x92" "089.83", "1\x92" "234.5"},
      {"Norwegian", norwegianRegionalSettings(), "66\xA0" "089,83", "1 234,5"},
  };
  const TLocaleSettings saved = localeSettings();
  for (const TRegionalCase& regional : cases) {
    {
      TRegionalSettings settings(regional.settings);
      loadLocaleSettingsFromSystem();
    }
    const char decimal = localeSettings().decimalSeparator;
    TSheet sheet;
    sheet.setCellContent(1, 1, 0, std::string("66089") + decimal + "83", 1);
    sheet.setCellContent(1, 2, 0, regional.typed, 1);
    sheet.setCellContent(1, 3, 0, regional.typed, 255);
    TSheet formulas;
    formulas.setCellContent(1, 1, 0, "=VALUE(\"" + regional.typed + "\")*2", 1);
    localeSettings() = saved;

    SCOPED_TRACE(regional.name);
    EXPECT_EQ(sheet.getCellText(1, 1, true), regional.shown);
    const auto* typed = dynamic_cast<const TCellDouble*>(sheet.getCell(1, 2));
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->value, 1234.5);
    EXPECT_NE(dynamic_cast<const TCellDouble*>(sheet.getCell(1, 3)), nullptr) << "a cell of no kind reads a number";
    EXPECT_EQ(formulas.getCellText(1, 1, false), std::string("2469"));
  }
}

TEST(RegionalNumbers, PlainSpacesStandForANoBreakSpaceOnly) {
  double value = 0;
  EXPECT_TRUE(textToFloat(" 1 234 567,5 ", ",", "\xA0", value));
  EXPECT_EQ(value, 1234567.5);
  EXPECT_TRUE(textToFloat("1\xA0" "234,5", ",", "\xA0", value));
  EXPECT_EQ(value, 1234.5);
  EXPECT_FALSE(textToFloat("1 234,5", ",", ".", value)) << "a space is no German separator";
  EXPECT_FALSE(textToFloat("1 - 2", ",", "\xA0", value));
}

namespace {

struct TGroupingCase {
  const char* name;
  std::string decimal, thousands;
  std::vector<std::pair<std::string, double>> numbers;  // read as these
  std::vector<std::string> slips;                       // no numbers at all
};

}  // namespace

// A thousands separator counts only where it groups three digits before the
// decimal separator: anywhere else dropping it gave a number many times off
// ("0.125" as 125 under German settings, "1,5" as 15 under English ones).
TEST(RegionalNumbers, AThousandsSeparatorCountsOnlyBetweenGroupsOfThreeDigits) {
  const std::vector<TGroupingCase> cases = {
      {"English", ".", ",",
       {{"1,234.5", 1234.5}, {"-1,234,567", -1234567}, {"999,999", 999999}, {"1234567.25", 1234567.25},
        {"1,234e2", 123400}, {".5", 0.5}, {"0.125", 0.125}},
       {"1,5", "1,2,3", "0,125", "1234,567", "12,34", "1,2345", ",123", "1,234,", "1,,234", "1.234,5",
        "1,234.5,6", "1.5e1,000", "+,123"}},
      {"German", ",", ".",
       {{"1.234,5", 1234.5}, {"1.234.567", 1234567}, {"0,125", 0.125}, {"1,5", 1.5}, {"-12.345,75", -12345.75}},
       {"0.125", "1.5", "1.234.5", "1234.567", "1.23,4", "1,234.5"}},
      {"French", ",", "\xA0",
       {{"1 234,5", 1234.5}, {"1\xA0" "234\xA0" "567", 1234567}, {"0,125", 0.125}},
       {"0 125", "1 5", "1 23,5", "1  234", "1 234 5"}},
      {"Swiss German", ".", "\x92",
       {{"1\x92" "234.5", 1234.5}, {"12\x92" "345\x92" "678", 12345678}},
       {"1\x92" "5", "0\x92" "125", "1\x92" "234\x92" "5.0"}},
  };
  for (const TGroupingCase& regional : cases) {
    SCOPED_TRACE(regional.name);
    for (const auto& [text, expected] : regional.numbers) {
      double value = 0;
      EXPECT_TRUE(textToFloat(text, regional.decimal, regional.thousands, value)) << text;
      EXPECT_EQ(value, expected) << text;
    }
    for (const std::string& text : regional.slips) {
      double value = 7;
      EXPECT_FALSE(textToFloat(text, regional.decimal, regional.thousands, value)) << text;
      EXPECT_EQ(value, 7) << text;
    }
  }
}

// The one rule serves typed cells, cells of no kind, text operands and VALUE
// alike, as the open spreadsheets treat a misplaced separator.
TEST(RegionalNumbers, CellsTextOperandsAndValueReadAMisplacedSeparatorAsNoNumber) {
  const TLocaleSettings saved = localeSettings();
  {
    TRegionalSettings german({{LOCALE_SDECIMAL, L","}, {LOCALE_STHOUSAND, L"."}, {LOCALE_SLIST, L";"}});
    loadLocaleSettingsFromSystem();
  }
  TSheet sheet;
  sheet.setCellContent(1, 1, 0, "0.125", 1);
  sheet.setCellContent(1, 2, 0, "1.5", 255);
  sheet.setCellContent(1, 3, 0, "1.234,5", 1);
  sheet.setCellContent(2, 1, 0, "=VALUE(\"0.125\")", 1);
  sheet.setCellContent(2, 2, 0, "=\"1.5\"+0", 1);
  sheet.setCellContent(2, 3, 0, "=VALUE(\"1.234,5\")+\"2.000\"", 1);
  double value = 0;
  const bool localRead = localTextToFloat("0.125", value);
  localeSettings() = saved;

  EXPECT_FALSE(localRead) << "a number box outside a sheet reads as the cells do";
  EXPECT_FALSE(sheet.cellHasValue(1, 1)) << "no number 125";
  EXPECT_EQ(dynamic_cast<const TCellDouble*>(sheet.getCell(1, 2)), nullptr) << "a text, not the number 15";
  EXPECT_EQ(sheet.getCellNumber(1, 3), 1234.5);
  EXPECT_FALSE(sheet.cellHasValue(2, 1));
  EXPECT_FALSE(sheet.cellHasValue(2, 2));
  EXPECT_EQ(sheet.getCellNumber(2, 3), 3234.5);
}
