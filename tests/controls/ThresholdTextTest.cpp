#include <gtest/gtest.h>

#include "controls/ThresholdText.h"
#include "platform/LocaleSettings.h"
#include "sheet/NumberText.h"

namespace {

TEST(ThresholdText, FixedFormTrimmedExponentFormWhole) {
  EXPECT_EQ(thresholdFloatToString(12.5), "12.5");
  EXPECT_EQ(thresholdFloatToString(3), "3");
  EXPECT_EQ(thresholdFloatToString(-0.1), "-0.1");
  EXPECT_EQ(thresholdFloatToString(0), "0");
  EXPECT_EQ(thresholdFloatToString(123456789.123456789), "123456789.123457");
  EXPECT_EQ(thresholdFloatToString(1E17), "100000000000000000");
  // The switch to exponent form: from 1E18 up, and where fifteen decimals show nothing.
  EXPECT_EQ(thresholdFloatToString(1E18), "1E18");
  EXPECT_EQ(thresholdFloatToString(1E25), "1E25");
  EXPECT_EQ(thresholdFloatToString(-2.5E30), "-2.5E30");
  EXPECT_EQ(thresholdFloatToString(1.5E-20), "1.5E-20");
  EXPECT_EQ(thresholdFloatToString(1E-15), "0.000000000000001");
}

TEST(ThresholdText, ReadsTheUsersSeparatorAndRefusesOtherText) {
  const TLocaleSettings saved = localeSettings();
  localeSettings().decimalSeparator = ',';
  localeSettings().thousandSeparator = '.';
  EXPECT_EQ(thresholdFloatToString(12.5), "12,5");
  double value = 0;
  EXPECT_TRUE(localTextToFloat(" 12,5 ", value));
  EXPECT_EQ(value, 12.5);
  EXPECT_TRUE(localTextToFloat("1,5E-20", value));
  EXPECT_EQ(value, 1.5E-20);
  value = 7;
  EXPECT_FALSE(localTextToFloat("abc", value));
  EXPECT_FALSE(localTextToFloat("", value));
  EXPECT_FALSE(localTextToFloat("12.5", value));
  EXPECT_FALSE(localTextToFloat("0.125", value));
  EXPECT_FALSE(localTextToFloat("1E", value));
  EXPECT_FALSE(localTextToFloat("1E999", value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(localTextToFloat("1.234,5", value));
  EXPECT_EQ(value, 1234.5);
  localeSettings() = saved;
}

}  // namespace
