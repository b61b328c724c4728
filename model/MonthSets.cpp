#include "model/MonthSets.h"

#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"

namespace {

const TMonthSet builtInMonthSet = {
    "US Jan-Dec", {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}};

std::string sectionOfUserSet(int userSet) { return "MonthNames" + std::to_string(userSet); }

std::string cut(const std::string& text) { return text.substr(0, monthTextLength); }

TMonthSets freshMonthSets() {
  TMonthSets sets{};
  sets[0] = builtInMonthSet;
  return sets;
}

// Which of the ten user-set sections a writer writes.
using TUserSections = std::array<bool, userMonthSetCount>;

// The user-set sections anew: those named, each even when empty, as its
// header stays and marks the set as defined.
void writeMonthSets(TPortableIniFile& ini, const TUserSections& written) {
  for (int userSet = 0; userSet < userMonthSetCount; ++userSet) {
    if (!written[userSet]) continue;
    std::string section = sectionOfUserSet(userSet);
    const TMonthSet& set = monthSets()[userSet + 1];
    ini.eraseSection(section);
    ini.writeString(section, "Description", cut(set.description));
    for (int month = 1; month <= 12; ++month) ini.writeString(section, std::to_string(month), cut(set.names[month - 1]));
  }
}

// The user-set sections the file holds now. A file not read whole tells
// nothing of them and is taken to hold all ten; one read whole that lacks a
// header gets it from the next save, even when no set changed.
TUserSections sectionsHeld(const TPortableIniFile& ini) {
  TUserSections held;
  held.fill(true);
  if (!fileExists(ini.FileName()) || !ini.readWhole()) return held;
  for (int userSet = 0; userSet < userMonthSetCount; ++userSet)
    held[userSet] = ini.sectionExists(sectionOfUserSet(userSet));
  return held;
}

}  // namespace

TMonthSets& monthSets() {
  static TMonthSets sets = freshMonthSets();
  return sets;
}

void resetMonthSets() { monthSets() = freshMonthSets(); }

void loadMonthSets(const std::string& fileName) {
  resetMonthSets();
  TPortableIniFile ini(fileName);
  for (int userSet = 0; userSet < userMonthSetCount; ++userSet) {
    std::string section = sectionOfUserSet(userSet);
    if (!ini.sectionExists(section)) continue;
    TMonthSet& set = monthSets()[userSet + 1];
    set.description = cut(ini.readString(section, "Description", ""));
    for (int month = 1; month <= 12; ++month)
      set.names[month - 1] = cut(ini.readString(section, std::to_string(month), ""));
  }
}

TSettingsBaseline monthSetsBaseline(const std::string& fileName) {
  TSettingsBaseline baseline;
  const TPortableIniFile read(fileName);
  const TUserSections held = sectionsHeld(read);
  baseline.takeAsShown(fileName, [held](TPortableIniFile& ini) { writeMonthSets(ini, held); }, read);
  return baseline;
}

void writeUserMonthSets(TPortableIniFile& ini) {
  TUserSections all;
  all.fill(true);
  writeMonthSets(ini, all);
}

bool saveMonthSets(const std::string& fileName, TSettingsBaseline& baseline) {
  return baseline.save(fileName, writeUserMonthSets);
}
