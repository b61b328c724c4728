#include "controls/DownloadItem.h"

#include <algorithm>
#include <limits>

#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "model/UnreadableFiles.h"
#include "platform/GuidText.h"

namespace {

const char* const itemSection = "DownloadItem";
const char* const remarksSection = "Remarks";
const char* const localFileProtocol = "file:///";
// The remarks are the item's as much as its fields: a file cut off among
// them holds fewer entries than its count names.
const std::vector<std::string> countedSections = {itemSection, remarksSection};

// A missing or empty key is the null GUID; anything else must be the braced form.
bool readGuid(const TPortableIniFile& ini, const char* key, GUID& guid) {
  const std::string text = ini.readString(itemSection, key, "");
  if (text.empty()) {
    guid = GUID{};
    return true;
  }
  return tryTextToGuid(text, guid);
}

}  // namespace

std::string remarkValue(const std::string& line) {
  const size_t equals = line.find('=');
  return equals == std::string::npos ? line : line.substr(equals + 1);
}

namespace {

// The number a remark line is stored under; lines whose name is no number
// come after every numbered one.
long long remarkKey(const std::string& line) {
  const std::string name = line.substr(0, line.find('='));
  if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos)
    return std::numeric_limits<long long>::max();
  return std::stoll(name);
}

// The remark values by their key, 1 before 2, whatever order the lines came in.
std::vector<std::string> remarksInKeyOrder(const std::vector<std::string>& lines) {
  std::vector<const std::string*> ordered;
  for (const std::string& line : lines) ordered.push_back(&line);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const std::string* a, const std::string* b) { return remarkKey(*a) < remarkKey(*b); });
  std::vector<std::string> values;
  for (const std::string* line : ordered) values.push_back(remarkValue(*line));
  return values;
}

}  // namespace

void TDownloadItem::clear() { *this = TDownloadItem{}; }

int TDownloadItem::loadFromFile(const std::string& name) {
  clear();
  const TPortableIniFile ini(name);
  loadResult_ = readFields(ini);
  if (!readWhole_) {
    // What the item holds now is what the file holds as far as it knows:
    // a file not read whole gets only what changed since.
    asLoaded_.takeAsShown(fileName, writer(), ini);
    return loadResult_;
  }
  // Read whole, the file stands for what it holds: where it holds another
  // form than the downloader's (a path spelled out, remarks numbered with a
  // gap), the next save writes that form.
  asLoaded_.takeWhatFileHolds(fileName, writer(), ini);
  std::vector<std::string> keys;
  ini.readSection(remarksSection, keys);
  // A remark under a name the save does not write goes with it.
  for (const std::string& key : keys) {
    const long long number = remarkKey(key);
    if (number > static_cast<long long>(Remarks.size()) || std::to_string(number) != key)
      asLoaded_.takeAsRead(remarksSection, key, ini);
  }
  return loadResult_;
}

TSettingsBaseline::TWriter TDownloadItem::writer() const {
  return [this](TPortableIniFile& ini) { writeFields(ini); };
}

void TDownloadItem::describeFile() {
  asLoaded_.describe("the download item " + (Name.empty() ? fileName : Name));
}

int TDownloadItem::readFields(const TPortableIniFile& ini) {
  fileName = ini.FileName();
  readWhole_ = !ini.readFailed() && !ini.readInPart();
  if (ini.readFailed()) return -3;
  // Emptied, or cut off inside a line, an item shows nothing or the start
  // of a value (a data path cut short names another folder): named, and
  // treated as one with lines reading passed over.
  const bool wholeRecord =
      checkWholeRecord(ini, {{itemSection, ""}, {itemSection, "Currency", true}}, countedSections);
  if (!wholeRecord) readWhole_ = false;

  // The order of reading decides which fields a malformed GUID leaves filled.
  auto text = [&ini](const char* key) { return ini.readString(itemSection, key, ""); };
  Name = text("Name");
  Symbol = text("Symbol");
  Currency = text("Currency");
  InFormat = text("InFormat");
  OutFormat = text("OutFormat");
  Protocol = text("Protocol");
  URL = Protocol == localFileProtocol ? expandPath(text("URL")) : text("URL");
  DataPath = expandPath(text("DataPath"));
  URLscript = expandPath(text("URLscript"));
  ParseScript = expandPath(text("ParseScript"));
  UserID = text("UserID");
  Password = text("Password");
  URLmethod = text("URLmethod");
  URLarg1 = text("URLarg1");
  URLarg2 = text("URLarg2");
  URLarg3 = text("URLarg3");
  URLarg4 = text("URLarg4");
  ParseMethod = text("ParseMethod");
  TNumberReader numbers(ini);
  LastUpdate = numbers.readFloat(itemSection, "LastUpdate", 0);
  ActiveURL = numbers.readBool(itemSection, "ActiveURL", false);
  ActiveParsing = numbers.readBool(itemSection, "ActiveParsing", false);
  UseInFormat = numbers.readBool(itemSection, "UseInFormat", false);
  // The downloader reads the file too: what it holds is not replaced by a
  // value nobody gave, and the user learns why the item shows it so.
  if (!numbers.unread().empty()) {
    readWhole_ = false;
    reportLoadFailure("Download item " + fileName + " " + numbers.firstUnread() + "; left as it is.");
  }
  if (!readGuid(ini, "UrlEngine", UrlEngine) || !readGuid(ini, "ParseEngine", ParseEngine)) {
    // The fields after it are not read: the item shows less than the file holds.
    readWhole_ = false;
    reportPartlyReadFile(fileName);
    return -6;
  }
  ini.readSectionValues(remarksSection, Remarks);
  return ini.readWhole() && wholeRecord ? 0 : -7;
}

int TDownloadItem::saveToFile() {
  if (fileName.empty()) return -4;
  // Against what the item read: what another program changed since keeps
  // its value unless the user changed it too, what it cut out is put back;
  // a file not read whole gets only what changed, and one that cannot be
  // read nothing. What is written is in the form the downloader reads (the
  // remarks numbered afresh, paths in placeholder form).
  describeFile();
  return asLoaded_.save(fileName, writer()) ? 0 : -4;
}

int TDownloadItem::saveUnchanged(const std::optional<TFileStamp>& listed) {
  if (fileName.empty() || (listed && asLoaded_.leftAsItWas(fileName, *listed))) return 0;
  describeFile();
  return asLoaded_.saveUnchanged(fileName, writer(), listed) ? 0 : -4;
}

void TDownloadItem::writeFields(TPortableIniFile& ini) const {
  auto write = [&ini](const char* key, const std::string& value) { ini.writeString(itemSection, key, value); };
  // First in its section and counting itself, also in an item from before
  // that gains it or holds it below other keys: a cut that leaves the count
  // leaves what it counts. A count standing first already is not moved, so
  // an item nobody changed is not rewritten.
  beginEntryCount(ini, countedSections);
  write("Name", Name);
  write("Symbol", Symbol);
  // Written even when empty, as "": an item with a count but without it
  // lost it.
  write("Currency", Currency.empty() ? "\"\"" : Currency);
  write("DataPath", collapsePath(DataPath));
  write("InFormat", InFormat);
  write("OutFormat", OutFormat);
  write("Protocol", Protocol);
  write("URL", Protocol == localFileProtocol ? collapsePath(URL) : URL);
  write("UserID", UserID);
  write("Password", Password);
  write("URLscript", collapsePath(URLscript));
  write("URLmethod", URLmethod);
  write("URLarg1", URLarg1);
  write("URLarg2", URLarg2);
  write("URLarg3", URLarg3);
  write("URLarg4", URLarg4);
  write("ParseScript", collapsePath(ParseScript));
  write("ParseMethod", ParseMethod);
  ini.writeFloat(itemSection, "LastUpdate", LastUpdate);
  ini.writeBool(itemSection, "ActiveURL", ActiveURL);
  ini.writeBool(itemSection, "ActiveParsing", ActiveParsing);
  ini.writeBool(itemSection, "UseInFormat", UseInFormat);
  write("UrlEngine", guidToText(UrlEngine));
  write("ParseEngine", guidToText(ParseEngine));

  // Numbered afresh in key order: a gap among the names ("1", "2", "5")
  // would otherwise drop every remark after it.
  ini.eraseSection(remarksSection);
  const std::vector<std::string> values = remarksInKeyOrder(Remarks);
  for (size_t i = 0; i < values.size(); ++i) ini.writeString(remarksSection, std::to_string(i + 1), values[i]);
  endEntryCount(ini, countedSections);
}

void TDownloadItem::remarksText(std::string& text) const {
  text.clear();
  for (const std::string& value : remarksInKeyOrder(Remarks)) text += value + '\n';
}
