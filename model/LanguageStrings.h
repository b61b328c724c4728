#pragma once
#include <string>

// The shared tables of the language file: the common strings many dialogs
// use, the country names and the currency names. Program-wide; reset to the
// built-in English texts at start.

constexpr int commonStringCount = 18;

// Common strings to their defaults, country and currency lists emptied.
void resetLanguageStrings();

// Common string i takes key i of section "CommonStrings"; missing keys keep
// the text they had.
void loadCommonStrings(const std::string& languageFileName);
// The text; empty for an index outside 0..17.
std::string commonString(int index);

// The entries code=name of section "Countries", in file order.
void loadCountries(const std::string& languageFileName);
// The name for the first two characters of the trimmed code; empty when unknown.
std::string countryName(const std::string& code);

// The entries CODE=name of section "Currencies", in file order.
void loadCurrencies(const std::string& languageFileName);
int currencyCount();
// The name for the normalised code; empty when unknown.
std::string currencyName(const std::string& code);
// The code of the index-th currency; empty when out of range.
std::string currencyCode(int index);
// Whether the text, normalised, is a code the loaded currency list does not
// hold; false for an empty text and while no list is loaded.
bool unlistedCurrency(const std::string& text);

// The system's rule for currency codes: the first three characters of the
// trimmed text, with a to z upper-cased.
std::string normalizeCurrency(const std::string& text);
