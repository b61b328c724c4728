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
