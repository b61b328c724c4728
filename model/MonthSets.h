#pragma once
#include <array>
#include <string>

#include "model/SettingsBaseline.h"

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
// The ten user-set sections anew, each header even where the set is empty:
// what the program holds of them in a baseline of the whole file.
void writeUserMonthSets(TPortableIniFile& ini);
// Writes into the ten user-set sections (empty texts write no key, the
// headers stay) what the sets hold differently from the baseline, which
// then becomes the sets, so that a save keeps the names another program
// wrote since; a header the file lacked when the baseline was taken is
// written as well, so that the file holds all ten after every save. True
// when nothing needed writing or the write succeeded.
bool saveMonthSets(const std::string& fileName, TSettingsBaseline& baseline);
