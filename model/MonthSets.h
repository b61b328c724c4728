#pragma once
#include <array>
#include <string>

class TPortableIniFile;

// Month-name sets: how quote files of different sources spell months. Set 0
// is the built-in English one ("Jan" .. "Dec"); sets 1 to 10 are the user's,
// stored as user sets 0 to 9 in the sections "MonthNames0" .. "MonthNames9"
// of the window layout file. Every text holds at most 20 characters.

constexpr int monthSetCount = 11;
constexpr int userMonthSetCount = 10;
constexpr size_t monthTextLength = 20;

struct TMonthSet {
  std::string description;
  std::array<std::string, 12> names;  // months 1 to 12
};
using TMonthSets = std::array<TMonthSet, monthSetCount>;

// The program-wide sets, as reset at start.
TMonthSets& monthSets();

// Set 0 built in, the user sets emptied.
void resetMonthSets();
// Resets, then reads the user sets whose sections exist; texts are cut to 20 characters.
void loadMonthSets(const std::string& fileName);
// Writes the ten user-set sections anew (empty texts write no key): the
// writer of the sets' settings baseline (see TSettingsBaseline), so that a
// save keeps the names another program wrote since.
void writeMonthSets(TPortableIniFile& ini);
