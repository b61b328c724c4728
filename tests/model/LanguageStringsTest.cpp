#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"
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

namespace {
// Every currency code the sample's portfolios, assets and currency tables
// use, upper-cased.
std::set<std::string> sampleCurrencies() {
  const std::string folios = sampleDataFolder() + "DATA\\FOLIOS\\";
  std::set<std::string> codes;
  const auto add = [&](const std::string& file, const char* section) {
    const std::string code = TPortableIniFile(file).readString(section, "Currency", "");
    if (!code.empty()) codes.insert(normalizeCurrency(code));
  };
  for (const TFoundFile& folder : findFiles(folios + "*")) {
    if (!folder.isFolder) continue;
    for (const TFoundFile& file : findFiles(folios + folder.name + "\\*.INI")) {
      add(folios + folder.name + "\\" + file.name, file.name == "0.INI" ? "Portfolio" : "Asset");
    }
  }
  for (const TFoundFile& table : findFiles(sampleDataFolder() + "DATA\\FOREX\\*")) {
    // A table is named FROMtoTO with its extension.
    codes.insert(normalizeCurrency(table.name.substr(0, 3)));
    codes.insert(normalizeCurrency(table.name.substr(5, 3)));
  }
  return codes;
}
}  // namespace

TEST_F(LanguageStrings, TheDeliveredFileHoldsWhatEveryReaderNeeds) {
  const std::string file = deliveredLanguageFile();
  ASSERT_TRUE(fileExists(file)) << file;
  const TPortableIniFile language(file);

  // Every common string is there, with the program's own text.
  for (int i = 0; i < commonStringCount; ++i) {
    EXPECT_EQ(language.readString("CommonStrings", std::to_string(i), "(missing)"), commonString(i)) << i;
  }

  loadCountries(file);
  loadCurrencies(file);
  EXPECT_EQ(countryName("ch"), "Switzerland");
  EXPECT_EQ(countryName("GB"), "United Kingdom");
  // The file is in the ANSI code page the program reads.
  EXPECT_EQ(countryName("ci"), "C\xf4te d'Ivoire");
  std::vector<std::string> countries;
  language.readSection("Countries", countries);
  EXPECT_GE(countries.size(), 249u);

  ASSERT_GE(currencyCount(), 150);
  std::set<std::string> listed;
  for (int i = 0; i < currencyCount(); ++i) {
    const std::string code = currencyCode(i);
    EXPECT_EQ(code, normalizeCurrency(code)) << code;
    EXPECT_EQ(code.size(), 3u) << code;
    EXPECT_FALSE(currencyName(code).empty()) << code;
    EXPECT_TRUE(listed.insert(code).second) << code << " twice";
  }
  for (const std::string& code : sampleCurrencies()) EXPECT_TRUE(listed.count(code)) << code;
  EXPECT_GE(sampleCurrencies().size(), 3u);
  // A currency's first two letters name its country, the Euro's the Union.
  EXPECT_EQ(countryName("CHF"), "Switzerland");
  EXPECT_EQ(countryName("EUR"), "European Union");
  EXPECT_EQ(currencyName("eur"), "Euro");

  // The dialogs' sections, keyed as the dialogs read them.
  EXPECT_EQ(language.readString("CurrencyPick", "Caption", ""), "Currency");
  for (const char* column : {"Symbol", "Name", "Country"})
    EXPECT_EQ(language.readString("CurrencyPickColumns", column, ""), column);
  EXPECT_EQ(language.readString("DirsSetup", "Caption", ""), "Directories");
  EXPECT_EQ(language.readString("MonthsSetup", "Caption", ""), "Month names");
  EXPECT_EQ(language.readString("DirsBrowse", "DirDoesnExistCreate", ""), "Directory doesn't exist. Create?");
  EXPECT_EQ(language.readString("DirsBrowse", "FailedToCreateDir", ""), "Failed to create directory!");
  std::vector<std::string> downloads;
  language.readSection("Downloads", downloads);
  EXPECT_EQ(downloads.size(), 9u);
}

TEST_F(LanguageStrings, OnlyACodeTheLoadedListLacksIsUnlisted) {
  // Without a list nothing tells a currency from another code.
  EXPECT_FALSE(unlistedCurrency("P"));
  writeWholeFile(folder.path() + "en.LNG", "[Currencies]\r\nUSD=US Dollar\r\n");
  loadCurrencies(folder.path() + "en.LNG");
  EXPECT_TRUE(unlistedCurrency("P"));
  EXPECT_TRUE(unlistedCurrency("Euro"));
  EXPECT_FALSE(unlistedCurrency(" usd dollar"));
  EXPECT_FALSE(unlistedCurrency("  "));
}
