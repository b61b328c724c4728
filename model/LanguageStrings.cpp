#include "model/LanguageStrings.h"

#include <string_view>
#include <utility>
#include <vector>

#include "model/PortableIniFile.h"
#include "platform/LocaleSettings.h"

namespace {

constexpr const char* defaultCommonStrings[commonStringCount] = {
    "&OK",  "&Help", "Confirm", "Delete", "Error",  "Out of memory", "Can't save", "Date", "Open",
    "High", "Low",   "Close",   "Volume", "Open Interest", "Bid", "Ask", "Bid Size", "Ask Size"};

struct TNamedCode {
  std::string code;
  std::string name;
};

struct TLanguageTables {
  std::string commonStrings[commonStringCount];
  std::vector<TNamedCode> countries;
  std::vector<TNamedCode> currencies;

  TLanguageTables() { resetCommonStrings(); }
  void resetCommonStrings() {
    for (int i = 0; i < commonStringCount; ++i) commonStrings[i] = defaultCommonStrings[i];
  }
};

TLanguageTables& tables() {
  static TLanguageTables instance;
  return instance;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::vector<TNamedCode> readNamedCodes(const std::string& languageFileName, const std::string& section) {
  TPortableIniFile file(languageFileName);
  std::vector<std::string> entries;
  file.readSectionValues(section, entries);
  std::vector<TNamedCode> namedCodes;
  namedCodes.reserve(entries.size());
  for (const std::string& entry : entries) {
    const size_t equals = entry.find('=');
    namedCodes.push_back({entry.substr(0, equals), equals == std::string::npos ? "" : entry.substr(equals + 1)});
  }
  return namedCodes;
}

std::string nameOf(const std::vector<TNamedCode>& namedCodes, const std::string& code) {
  for (const TNamedCode& entry : namedCodes) {
    if (sameText(entry.code, code)) return entry.name;
  }
  return {};
}

}  // namespace

void resetLanguageStrings() {
  tables().resetCommonStrings();
  tables().countries.clear();
  tables().currencies.clear();
}

void loadCommonStrings(const std::string& languageFileName) {
  TPortableIniFile file(languageFileName);
  for (int i = 0; i < commonStringCount; ++i) {
    tables().commonStrings[i] = file.readString("CommonStrings", std::to_string(i), tables().commonStrings[i]);
  }
}

std::string commonString(int index) {
  if (index < 0 || index >= commonStringCount) return {};
  return tables().commonStrings[index];
}

void loadCountries(const std::string& languageFileName) {
  tables().countries = readNamedCodes(languageFileName, "Countries");
}

std::string countryName(const std::string& code) {
  std::string key(trimmed(code).substr(0, 2));
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return nameOf(tables().countries, key);
}

void loadCurrencies(const std::string& languageFileName) {
  tables().currencies = readNamedCodes(languageFileName, "Currencies");
}

int currencyCount() { return static_cast<int>(tables().currencies.size()); }

std::string currencyName(const std::string& code) { return nameOf(tables().currencies, normalizeCurrency(code)); }

std::string currencyCode(int index) {
  if (index < 0 || index >= currencyCount()) return {};
  return tables().currencies[index].code;
}

bool unlistedCurrency(const std::string& text) {
  // Entries without a name are not read, so a code without one is not on the list.
  return currencyCount() > 0 && !normalizeCurrency(text).empty() && currencyName(text).empty();
}

std::string normalizeCurrency(const std::string& text) {
  std::string code(trimmed(text).substr(0, 3));
  for (char& c : code) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return code;
}
