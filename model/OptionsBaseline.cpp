#include "model/OptionsBaseline.h"

#include <memory>
#include <vector>

#include "model/UnreadableFiles.h"

namespace {

// The option holds a whole number, and the file a number that is none.
bool standsInForNumber(const std::string& shown, const std::string& held) {
  int whole = 0;
  double real = 0;
  return !held.empty() && held != shown && iniTextToInteger(shown, whole) && !iniTextToInteger(held, whole) &&
         iniTextToFloat(held, real);
}

}  // namespace

void takeOptions(TSettingsBaseline& baseline, const std::string& fileName, const TSettingsBaseline::TWriter& write,
                 const TPortableIniFile& read) {
  baseline.take(fileName, write, read);
  const std::unique_ptr<TPortableIniFile> shown = TSettingsBaseline::written(fileName, write);
  bool replaced = false;
  std::vector<std::string> sections;
  shown->readSections(sections);
  for (const std::string& section : sections) {
    std::vector<std::string> keys;
    shown->readSection(section, keys);
    for (const std::string& key : keys) {
      if (!standsInForNumber(shown->readString(section, key, ""), read.readString(section, key, ""))) continue;
      // Taken as what the file holds, the value shown is no change.
      baseline.takeAsRead(section, key, *shown);
      replaced = true;
    }
  }
  if (replaced) reportPartlyReadFile(fileName);
}
