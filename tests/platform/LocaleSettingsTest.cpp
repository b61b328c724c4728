#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "tests/support/GermanRegionalSettings.h"
#include "tests/support/RegionalSettings.h"

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

namespace {

TLocaleSettings loadedUnder(const std::vector<std::pair<LCTYPE, std::wstring>>& regional) {
  const TLocaleSettings saved = localeSettings();
  {
    TRegionalSettings settings(regional);
    loadLocaleSettingsFromSystem();
  }
  const TLocaleSettings loaded = localeSettings();
  localeSettings() = saved;
  return loaded;
}

}  // namespace

// The Western code page lacks the French narrow no-break space: it must not
// become the "?" that stands for it, but the no-break space the code page has.
// The Swiss quotation mark and the Norwegian no-break space exist there.
TEST(LocaleSettings, ThousandSeparatorsTheCodePageLacksFallBackToTheNoBreakSpace) {
  const TLocaleSettings french = loadedUnder(frenchRegionalSettings());
  EXPECT_EQ(french.thousandSeparator, '\xA0');
  EXPECT_EQ(french.decimalSeparator, ',');
  EXPECT_EQ(french.listSeparator, ';');
  EXPECT_EQ(french.shortDateFormat, "dd/mm/yyyy");
  const TLocaleSettings swiss = loadedUnder(swissGermanRegionalSettings());
  EXPECT_EQ(swiss.thousandSeparator, '\x92');
  EXPECT_EQ(swiss.decimalSeparator, '.');
  const TLocaleSettings norwegian = loadedUnder(norwegianRegionalSettings());
  EXPECT_EQ(norwegian.thousandSeparator, '\xA0');
  EXPECT_EQ(norwegian.decimalSeparator, ',');
}

// The user's own settings are the ones to come back, every one of them:
// setting the date separator also rewrites the short date format, which
// must not be taken for the user's.
TEST(LocaleSettings, GermanSettingsLeaveTheUsersOwnBehind) {
  const LCTYPE types[] = {LOCALE_SDECIMAL, LOCALE_STHOUSAND,   LOCALE_SLIST,       LOCALE_SDATE,
                          LOCALE_SSHORTDATE, LOCALE_STIMEFORMAT, LOCALE_STIME,      LOCALE_SLONGDATE};
  auto read = [&] {
    std::vector<std::string> values;
    for (LCTYPE type : types) {
      char value[256] = {};
      GetLocaleInfoA(LOCALE_USER_DEFAULT, type, value, sizeof value);
      values.emplace_back(value);
    }
    return values;
  };
  // Settings unlike the German ones in every field the helper sets.
  const std::vector<std::pair<LCTYPE, const char*>> own = {
      {LOCALE_SSHORTDATE, "M/d/yyyy"}, {LOCALE_SDECIMAL, "."}, {LOCALE_STHOUSAND, ","},
      {LOCALE_SLIST, ","},             {LOCALE_STIMEFORMAT, "h:mm:ss tt"}};
  const std::vector<std::string> before = read();
  for (const auto& [type, value] : own) SetLocaleInfoA(LOCALE_USER_DEFAULT, type, value);
  const std::vector<std::string> users = read();
  { TGermanRegionalSettings german; }
  const std::vector<std::string> after = read();
  // Back to what the machine had before this test.
  for (std::size_t i = 0; i < std::size(types); ++i) {
    SetLocaleInfoA(LOCALE_USER_DEFAULT, types[i], before[i].c_str());
  }
  EXPECT_EQ(users[4], "M/d/yyyy");
  EXPECT_EQ(after, users);
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
