#include <gtest/gtest.h>

#include <thread>

#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "tests/support/GermanRegionalSettings.h"

TEST(LocaleSettings, CasingFollowsTheAnsiCodePageBeyondAscii) {
  EXPECT_EQ(upperCase("abc xyz 09"), "ABC XYZ 09");
  EXPECT_EQ(lowerCase("ABC"), "abc");
  // Latin-1 letters case-map in the Western code page Wine runs with.
  EXPECT_EQ(upperCase("\xe9t\xe9"), "\xc9T\xc9");
  EXPECT_TRUE(sameText("Stra\xdf" "e", "STRA\xdf" "E"));
  EXPECT_FALSE(sameText("ab", "abc"));
  EXPECT_LT(compareText("apple", "Banana"), 0);
  EXPECT_EQ(compareText("ABC", "abc"), 0);
}

TEST(LocaleSettings, SystemLocaleFillsEveryFieldWithSomethingUsable) {
  TLocaleSettings saved = localeSettings();
  loadLocaleSettingsFromSystem();
  const TLocaleSettings& loaded = localeSettings();
  EXPECT_NE(loaded.decimalSeparator, 0);
  EXPECT_NE(loaded.decimalSeparator, loaded.thousandSeparator);
  EXPECT_NE(loaded.shortDateFormat.find('d'), std::string::npos);
  EXPECT_NE(loaded.shortDateFormat.find('m'), std::string::npos);
  EXPECT_NE(loaded.longTimeFormat.find('n'), std::string::npos);
  EXPECT_FALSE(loaded.longMonthNames[0].empty());
  localeSettings() = saved;
}

TEST(LocaleSettings, GermanSettingsGiveTheirSeparatorsAndFormats) {
  TLocaleSettings saved = localeSettings();
  {
    TGermanRegionalSettings german;
    loadLocaleSettingsFromSystem();
  }
  const TLocaleSettings loaded = localeSettings();
  localeSettings() = saved;
  EXPECT_EQ(loaded.decimalSeparator, ',');
  EXPECT_EQ(loaded.thousandSeparator, '.');
  EXPECT_EQ(loaded.listSeparator, ';');
  EXPECT_EQ(loaded.dateSeparator, '.');
  EXPECT_EQ(loaded.shortDateFormat, "dd.mm.yyyy");
  EXPECT_EQ(loaded.longTimeFormat, "hh:nn:ss");
  EXPECT_EQ(loaded.shortTimeFormat, "hh:nn");
}

TEST(FloatingPoint, ExtendedPrecisionHoldsOnEveryThreadThatAsksForIt) {
  setExtendedPrecision();
  EXPECT_TRUE(hasExtendedPrecision());
  volatile long double one = 1.0L;
  long double third = one / 3.0L;
  EXPECT_NE(static_cast<double>(third) - third, 0.0L);
  bool onWorker = false;
  std::thread worker([&] {
    setExtendedPrecision();
    onWorker = hasExtendedPrecision();
  });
  worker.join();
  EXPECT_TRUE(onWorker);
}

TEST(FloatingPoint, ExtendedQuotientRoundsTo64BitsOnAThreadThatNeverAskedForThem) {
  setExtendedPrecision();
  volatile long double one = 1.0L;
  const long double third = one / 3.0L;
  long double thirdThere = 0;
  long double plainThere = 0;
  bool stillLower = false;
  std::thread worker([&] {
    unsigned short word = 0;
    asm volatile("fnstcw %0" : "=m"(word));
    word = static_cast<unsigned short>((word & ~0x0300) | 0x0200);  // 53 bits
    asm volatile("fldcw %0" : : "m"(word));
    thirdThere = extendedQuotient(one, 3.0L);
    plainThere = one / 3.0L;
    stillLower = !hasExtendedPrecision();
  });
  worker.join();
  EXPECT_EQ(thirdThere, third);
  EXPECT_NE(plainThere, third);  // the thread does round to 53 bits
  EXPECT_TRUE(stillLower);
}
