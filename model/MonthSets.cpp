#include "model/MonthSets.h"

#include "model/PortableIniFile.h"

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

void writeUserMonthSets(TPortableIniFile& ini) {
  for (int userSet = 0; userSet < userMonthSetCount; ++userSet) {
    std::string section = sectionOfUserSet(userSet);
    const TMonthSet& set = monthSets()[userSet + 1];
    ini.eraseSection(section);
    ini.writeString(section, "Description", cut(set.description));
    for (int month = 1; month <= 12; ++month) ini.writeString(section, std::to_string(month), cut(set.names[month - 1]));
  }
}

bool saveMonthSets(const std::string& fileName, TSettingsBaseline& baseline) {
  return baseline.save(fileName, writeUserMonthSets);
}
