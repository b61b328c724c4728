#include <gtest/gtest.h>

#include "model/LanguageStrings.h"
#include "tests/support/TestFolders.h"

namespace {
class LanguageStrings : public testing::Test {
 protected:
  void SetUp() override { resetLanguageStrings(); }
  void TearDown() override { resetLanguageStrings(); }
  TTemporaryFolder folder;
};
}  // namespace

TEST_F(LanguageStrings, CommonStringsKeepTheirTextWhereTheFileIsSilent) {
  writeWholeFile(folder.path() + "none.LNG", "[Other]\r\n4=Fehler\r\n");
  loadCommonStrings(folder.path() + "none.LNG");
  EXPECT_EQ(commonString(0), "&OK");
  EXPECT_EQ(commonString(4), "Error");
  EXPECT_EQ(commonString(17), "Ask Size");
  EXPECT_EQ(commonString(18), "");
  EXPECT_EQ(commonString(-1), "");

  writeWholeFile(folder.path() + "de.LNG", "[CommonStrings]\r\n4=Fehler\r\n");
  loadCommonStrings(folder.path() + "de.LNG");
  EXPECT_EQ(commonString(4), "Fehler");
  EXPECT_EQ(commonString(3), "Delete");
  // A second file without key 4 keeps the translated text.
  loadCommonStrings(folder.path() + "none.LNG");
  EXPECT_EQ(commonString(4), "Fehler");
  loadCommonStrings(folder.path() + "missing.LNG");
  EXPECT_EQ(commonString(4), "Fehler");
}

TEST_F(LanguageStrings, CountriesAndCurrencies) {
  EXPECT_EQ(currencyCount(), 0);
  EXPECT_EQ(currencyName("USD"), "");
  EXPECT_EQ(currencyCode(0), "");
  writeWholeFile(folder.path() + "en.LNG",
                 "[Countries]\r\nch=Switzerland\r\nde=Germany\r\n[Currencies]\r\nUSD=US Dollar\r\nEUR=Euro\r\nCHF=Swiss Franc\r\n");
  loadCountries(folder.path() + "en.LNG");
  loadCurrencies(folder.path() + "en.LNG");
  loadCurrencies(folder.path() + "en.LNG");  // no duplicates
  EXPECT_EQ(currencyCount(), 3);
  EXPECT_EQ(currencyCode(1), "EUR");
  EXPECT_EQ(currencyCode(3), "");
  EXPECT_EQ(currencyName("usd"), "US Dollar");
  EXPECT_EQ(currencyName("  chf franc"), "Swiss Franc");
  EXPECT_EQ(currencyName("GBP"), "");
  EXPECT_EQ(countryName("CH-ZH"), "Switzerland");
  EXPECT_EQ(countryName(" De "), "Germany");
  EXPECT_EQ(countryName("fr"), "");
}

TEST_F(LanguageStrings, NormalizeCurrency) {
  EXPECT_EQ(normalizeCurrency("  usd \t"), "USD");
  EXPECT_EQ(normalizeCurrency("Euro"), "EUR");
  EXPECT_EQ(normalizeCurrency("eur"), "EUR");
  EXPECT_EQ(normalizeCurrency("x"), "X");
  EXPECT_EQ(normalizeCurrency(""), "");
  EXPECT_EQ(normalizeCurrency("\xe9ur"), "\xe9UR");  // only a to z change
}
