#include "model/RecordCheck.h"

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"

namespace {

// No save writes such a key without a value.
bool holdsKey(const TPortableIniFile& ini, const TWrittenKey& written) {
  if (written.key.empty()) return ini.sectionExists(written.section);
  return !ini.readString(written.section, written.key, "").empty();
}

}  // namespace

std::string recordFault(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways) {
  if (ini.readFailed()) return "cannot be read";
  if (ini.readInPart()) return "could not be read whole";
  std::vector<std::string> sections;
  ini.readSections(sections);
  if (sections.empty()) return pathExists(ini.FileName()) ? "is empty" : "";
  return recordCutShort(ini, writtenAlways);
}

std::string recordCutShort(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways) {
  if (ini.endsInsideLine()) return "is cut off inside its last line";
  for (const TWrittenKey& written : writtenAlways) {
    if (holdsKey(ini, written)) continue;
    if (written.key.empty() || !ini.sectionExists(written.section)) return "lacks its section " + written.section;
    return "lacks " + written.key + " in section " + written.section;
  }
  return "";
}

bool checkWholeRecord(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways) {
  if (recordFault(ini, writtenAlways).empty()) return true;
  if (!ini.readFailed()) reportPartlyReadFile(ini.FileName());
  return false;
}
