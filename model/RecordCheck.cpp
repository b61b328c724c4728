#include "model/RecordCheck.h"

#include <algorithm>

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

// No save writes such a key without a value.
bool holdsKey(const TPortableIniFile& ini, const TWrittenKey& written) {
  if (written.key.empty()) return ini.sectionExists(written.section);
  if (!written.evenEmpty) return !ini.readString(written.section, written.key, "").empty();
  std::vector<std::string> keys;
  ini.readSection(written.section, keys);
  return std::any_of(keys.begin(), keys.end(),
                     [&written](const std::string& key) { return sameText(key, written.key); });
}

const char* const entriesKey = "Entries";

int entriesHeld(const TPortableIniFile& ini, const std::vector<std::string>& counted) {
  int held = 0;
  std::vector<std::string> keys;
  for (const std::string& section : counted) {
    keys.clear();
    ini.readSection(section, keys);
    held += static_cast<int>(keys.size());
  }
  return held;
}

}  // namespace

bool carriesEntryCount(const TPortableIniFile& ini) {
  std::vector<std::string> sections;
  ini.readSections(sections);
  return !sections.empty() && !ini.readString(sections.front(), entriesKey, "").empty();
}

std::string recordFault(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways,
                        const std::vector<std::string>& counted) {
  if (ini.readFailed()) return "cannot be read";
  if (ini.readInPart()) return "could not be read whole";
  std::vector<std::string> sections;
  ini.readSections(sections);
  if (sections.empty()) return pathExists(ini.FileName()) ? "is empty" : "";
  if (std::string cut = recordCutShort(ini, writtenAlways); !cut.empty() || counted.empty()) return cut;
  return entriesCutOff(ini, counted);
}

std::string recordCutShort(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways) {
  if (ini.endsInsideLine()) return "is cut off inside its last line";
  if (!ini.writeRefusal().empty()) return ini.writeRefusal();
  const bool counted = carriesEntryCount(ini);
  for (const TWrittenKey& written : writtenAlways) {
    if (holdsKey(ini, written) || (written.evenEmpty && !counted)) continue;
    if (written.key.empty() || !ini.sectionExists(written.section)) return "lacks its section " + written.section;
    return "lacks " + written.key + " in section " + written.section;
  }
  return "";
}

bool checkWholeRecord(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways,
                      const std::vector<std::string>& counted) {
  if (recordFault(ini, writtenAlways, counted).empty()) return true;
  if (!ini.readFailed()) reportPartlyReadFile(ini.FileName());
  return false;
}

void beginEntryCount(TPortableIniFile& ini, const std::vector<std::string>& counted) {
  // First in its section, also in a file that held none or held it below
  // other entries, so that a cut that leaves it leaves what it counts; the
  // number follows once everything is written.
  ini.writeFirst(counted.front(), entriesKey, "0");
}

void endEntryCount(TPortableIniFile& ini, const std::vector<std::string>& counted) {
  ini.writeInteger(counted.front(), entriesKey, entriesHeld(ini, counted));
}

std::string entriesCutOff(const TPortableIniFile& ini, const std::vector<std::string>& counted) {
  const std::string& section = counted.front();
  const std::string text = ini.readString(section, entriesKey, "");
  if (text.empty()) return "";
  int count = 0;
  if (!iniTextToInteger(text, count))
    return std::string("holds no number for ") + entriesKey + " in section " + section;
  const int held = entriesHeld(ini, counted);
  if (held >= count) return "";
  return "holds " + std::to_string(held) + " of the " + std::to_string(count) + " entries its count names";
}
