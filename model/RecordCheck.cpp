#include "model/RecordCheck.h"

#include <algorithm>

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "platform/SequentialFile.h"

namespace {

// Enough of the end to pass over the blank lines an editor leaves.
constexpr int64_t tailLength = 64;
constexpr char endOfFileMark = '\x1A';

// No save writes such a key without a value.
bool holdsKey(const TPortableIniFile& ini, const TWrittenKey& written) {
  if (written.key.empty()) return ini.sectionExists(written.section);
  return !ini.readString(written.section, written.key, "").empty();
}

}  // namespace

bool endsInsideLine(const std::string& fileName) {
  TSequentialFile file;
  if (!file.open(fileName) || file.size() <= 0) return false;
  const int64_t length = std::min(file.size(), tailLength);
  if (!file.skipTo(file.size() - length)) return false;
  std::string tail(static_cast<size_t>(length), '\0');
  const int64_t got = file.read(tail.data(), tail.size());
  if (got <= 0) return false;
  tail.resize(static_cast<size_t>(got));
  const size_t last = tail.find_last_not_of(std::string(" \t") + endOfFileMark);
  return last != std::string::npos && tail[last] != '\r' && tail[last] != '\n';
}

std::string recordFault(const TPortableIniFile& ini, const std::vector<TWrittenKey>& writtenAlways) {
  if (ini.readFailed()) return "cannot be read";
  if (ini.readInPart()) return "could not be read whole";
  std::vector<std::string> sections;
  ini.readSections(sections);
  if (sections.empty()) return pathExists(ini.FileName()) ? "is empty" : "";
  if (endsInsideLine(ini.FileName())) return "is cut off inside its last line";
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
