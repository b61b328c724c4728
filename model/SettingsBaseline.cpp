#include "model/SettingsBaseline.h"

#include <algorithm>
#include <vector>

#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"

namespace {

bool readsAsWholeNumber(const std::string& text) {
  int whole = 0;
  return iniTextToInteger(text, whole);
}

bool readsAsNumber(const std::string& text) {
  double real = 0;
  return iniTextToFloat(text, real) || readsAsWholeNumber(text);
}

struct TStandIn {
  std::string section;
  std::string key;
  std::string number;
};

bool sameNumber(const std::string& one, const std::string& other) {
  double a = 0;
  double b = 0;
  return iniTextToFloat(one, a) && iniTextToFloat(other, b) && a == b;
}

// Where the object shows a number and the file holds text that reads as
// none, or a whole number and the file one that is none
// ("Width=9223372036854775808", "1E300", "12.5"), the object's number only
// stands in for that text; where the file spells the same number otherwise
// ("0.25" for the long form the program writes), the object's spelling is
// no change either.
std::vector<TStandIn> standInsForNumbers(const TPortableIniFile& shown, const TPortableIniFile& read,
                                         std::vector<TStandIn>& sameNumbers) {
  std::vector<TStandIn> standIns;
  std::vector<std::string> sections;
  shown.readSections(sections);
  for (const std::string& section : sections) {
    std::vector<std::string> keys;
    shown.readSection(section, keys);
    for (const std::string& key : keys) {
      std::string number = shown.readString(section, key, "");
      const std::string held = read.readString(section, key, "");
      if (!held.empty() && ((readsAsNumber(number) && !readsAsNumber(held)) ||
                            (readsAsWholeNumber(number) && !readsAsWholeNumber(held))))
        standIns.push_back({section, key, std::move(number)});
      else if (held != number && sameNumber(held, number))
        sameNumbers.push_back({section, key, std::move(number)});
    }
  }
  return standIns;
}

bool numberedSection(const std::string& name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> sectionValues(const TPortableIniFile& ini, const std::string& section) {
  std::vector<std::string> values;
  ini.readSectionValues(section, values);
  std::sort(values.begin(), values.end());
  return values;
}

// The numbered sections (fields, a chart's sources) the file holds that the
// object does not: left over beyond a count, or another program's.
std::vector<std::string> numberedSectionsBeyond(const TPortableIniFile& file, const TPortableIniFile& shown) {
  std::vector<std::string> sections;
  file.readSections(sections);
  std::erase_if(sections, [&](const std::string& section) {
    return !numberedSection(section) || shown.sectionExists(section);
  });
  return sections;
}

// The first entry the baseline and the writer both hold that the file as
// it stands lacks, as a notice names it ("Fees in section Transaction");
// empty when the file lost none the object still holds.
std::string firstLostEntry(const TPortableIniFile& before, const TPortableIniFile& now,
                           const TPortableIniFile& file) {
  std::vector<std::string> sections;
  before.readSections(sections);
  for (const std::string& section : sections) {
    std::vector<std::string> keys;
    before.readSection(section, keys);
    for (const std::string& key : keys)
      if (!now.readString(section, key, "").empty() && file.readString(section, key, "").empty())
        return key + " in section " + section;
  }
  return "";
}

// Writes a record's changes into its file as it stands, or the whole record
// into a file that lost entries the baseline held; gives the first of those.
std::string writeRecordChanges(TPortableIniFile& file, const TPortableIniFile& before, const TPortableIniFile& now,
                               bool known) {
  const std::string lost = known ? firstLostEntry(before, now, file) : "";
  file.writeChanges(before, now);
  if (!lost.empty()) file.writeChanges(TPortableIniFile(file.FileName(), TPortableIniFile::TNewFile{}), now);
  return lost;
}

void reportRecordWrittenWhole(const std::string& fileName, const std::string& lost) {
  reportSavedWhole(fileName + " had lost " + lost + " since it was read; saved whole from what the program holds.");
}

}  // namespace

std::string TSettingsBaseline::compact(const TPortableIniFile& ini) { return ini.contentText(); }

std::unique_ptr<TPortableIniFile> TSettingsBaseline::baseline() const {
  if (!baseline_) return nullptr;
  return std::make_unique<TPortableIniFile>(fileName_, TPortableIniFile::TContent{*baseline_});
}

std::unique_ptr<TPortableIniFile> TSettingsBaseline::written(const std::string& fileName, const TWriter& write) {
  auto ini = std::make_unique<TPortableIniFile>(fileName, TPortableIniFile::TNewFile{});
  write(*ini);
  return ini;
}

std::unique_ptr<TPortableIniFile> TSettingsBaseline::writtenOverBaseline(const std::string& fileName,
                                                                         const TWriter& write) const {
  auto ini = std::make_unique<TPortableIniFile>(fileName, TPortableIniFile::TContent{*baseline_});
  write(*ini);
  return ini;
}

std::unique_ptr<TPortableIniFile> TSettingsBaseline::writtenOver(const TPortableIniFile& settings,
                                                                 const TWriter& write) {
  auto ini = std::make_unique<TPortableIniFile>(settings.FileName(),
                                                TPortableIniFile::TContent{settings.contentText()});
  write(*ini);
  return ini;
}

std::unique_ptr<TPortableIniFile> TSettingsBaseline::asItStands(const std::string& fileName) {
  const TPortableIniFile file(fileName);
  return std::make_unique<TPortableIniFile>(fileName, TPortableIniFile::TContent{file.contentText()});
}

std::unique_ptr<TPortableIniFile> TSettingsBaseline::comparedWith(const std::string& fileName) const {
  return knows(fileName) ? baseline() : asItStands(fileName);
}

void TSettingsBaseline::take(const std::string& fileName, const TWriter& write) { takeFrom(fileName, write, nullptr); }

void TSettingsBaseline::takeFrom(const std::string& fileName, const TWriter& write, const TPortableIniFile* read) {
  write_ = write;
  fileName_ = fileName;
  leftOver_.clear();
  // A folder under the name is a file that cannot be read, not a missing
  // one: nothing is to be written over it unless the user changes it.
  if (!pathExists(fileName)) {
    baseline_.reset();
    return;
  }
  const std::unique_ptr<TPortableIniFile> shown = written(fileName, write);
  baseline_ = compact(*shown);
  if (read != nullptr) leftOver_ = numberedSectionsBeyond(*read, *shown);
}

void TSettingsBaseline::takeWithNumberedSections(const std::string& fileName, const TWriter& write,
                                                 const TPortableIniFile& read) {
  takeFrom(fileName, write, &read);
}

void TSettingsBaseline::takeOfExistingFile(const std::string& fileName, const TWriter& write,
                                           const TPortableIniFile& read) {
  write_ = write;
  fileName_ = fileName;
  leftOver_.clear();
  const std::unique_ptr<TPortableIniFile> taken = written(fileName, write);
  std::vector<std::string> sections;
  taken->readSections(sections);
  for (const std::string& section : sections) {
    std::vector<std::string> keys;
    taken->readSection(section, keys);
    for (const std::string& key : keys)
      if (read.readString(section, key, "").empty()) taken->writeString(section, key, "");
  }
  baseline_ = compact(*taken);
}

void TSettingsBaseline::takeOver(TSettingsBaseline&& other, const TWriter& write) {
  write_ = write;
  fileName_ = std::move(other.fileName_);
  leftOver_ = std::move(other.leftOver_);
  baseline_ = std::move(other.baseline_);
}

void TSettingsBaseline::take(const std::string& fileName, const TWriter& write, const TPortableIniFile& read) {
  takeFrom(fileName, write, &read);
  // What stood in for a file not read whole is no change of the user's:
  // saved, it would replace what reading passed over.
  if (!baseline_ || read.readFailed() || read.readInPart()) return;
  std::unique_ptr<TPortableIniFile> taken = baseline();
  std::vector<TStandIn> sameNumbers;
  const std::vector<TStandIn> standIns = standInsForNumbers(*taken, read, sameNumbers);
  taken->keepOnlyWhatOtherHolds(read);
  // Taken as what the file holds, the file keeps its text until the user
  // gives a value.
  for (const TStandIn& standIn : standIns) taken->writeString(standIn.section, standIn.key, standIn.number);
  for (const TStandIn& same : sameNumbers) taken->writeString(same.section, same.key, same.number);
  baseline_ = compact(*taken);
  if (!standIns.empty()) reportPartlyReadFile(fileName);
}

void TSettingsBaseline::retake() {
  if (baseline_) baseline_ = compact(*writtenOverBaseline(fileName_, write_));
}

void TSettingsBaseline::takeAsRead(const std::string& section, const std::string& key,
                                   const TPortableIniFile& read) {
  if (!baseline_) return;
  std::unique_ptr<TPortableIniFile> taken = baseline();
  taken->writeString(section, key, read.readString(section, key, ""));
  baseline_ = compact(*taken);
}

bool TSettingsBaseline::save(const std::string& fileName, const TWriter& write) {
  return saveChanges(fileName, write, [&](const TPortableIniFile& before, const TPortableIniFile& now, bool known) {
    // Entries the object did not change keep what the file holds, and so
    // does every line of it they do not stand on.
    TPortableIniFile ini(fileName);
    if (known && !addsNumberedSectionsApart(before, now, ini)) return false;
    ini.writeChanges(before, now);
    return ini.updateFile();
  });
}

bool TSettingsBaseline::addsNumberedSectionsApart(const TPortableIniFile& before, const TPortableIniFile& now,
                                                  TPortableIniFile& asItStands) {
  std::vector<std::string> sections;
  now.readSections(sections);
  for (const std::string& section : sections) {
    if (!numberedSection(section) || before.sectionExists(section) || !asItStands.sectionExists(section)) continue;
    // Written key by key over one that stands there, the two would merge
    // into one: a section left over when the file was read goes whole...
    if (std::find(leftOver_.begin(), leftOver_.end(), section) != leftOver_.end()) {
      asItStands.eraseSection(section);
      continue;
    }
    // ... one another program added since is its own, and the save would
    // lose it.
    if (sectionValues(now, section) == sectionValues(asItStands, section)) continue;
    reportRefusedSave(fileName_,
                      "was changed by another program meanwhile, which added a section [" + section +
                          "] as this program did",
                      TRefusal::changedElsewhere);
    return false;
  }
  return true;
}

bool TSettingsBaseline::saveRecord(const std::string& fileName, const TWriter& write) {
  return saveChanges(fileName, write, [&](const TPortableIniFile& before, const TPortableIniFile& now, bool known) {
    TPortableIniFile ini(fileName);
    const std::string lost = writeRecordChanges(ini, before, now, known);
    if (!ini.updateFile()) return false;
    if (!lost.empty()) reportRecordWrittenWhole(fileName, lost);
    return true;
  });
}

bool TSettingsBaseline::saveInPlace(const std::string& fileName, const TWriter& write, bool durable) {
  return saveChanges(fileName, write, [&](const TPortableIniFile& before, const TPortableIniFile& now, bool known) {
    TPortableIniFile ini(fileName);
    const std::string lost = writeRecordChanges(ini, before, now, known);
    if (!ini.updateFileInPlace(durable)) return false;
    if (!lost.empty()) reportRecordWrittenWhole(fileName, lost);
    return true;
  });
}

bool TSettingsBaseline::knows(const std::string& fileName) const {
  return baseline_ && fileName_ == fileName && pathExists(fileName);
}

bool TSettingsBaseline::saveChanges(const std::string& fileName, const TWriter& write, const TCommit& commit) {
  try {
    // Without a baseline of the file what the object holds is written
    // whole, else the file would come back holding only what changed; and
    // over the file as it stands, else it would keep what the object
    // removed (a file damaged, then changed, stays damaged).
    const bool known = knows(fileName);
    const std::unique_ptr<TPortableIniFile> taken = known ? baseline() : asItStands(fileName);
    const TPortableIniFile& before = *taken;
    std::unique_ptr<TPortableIniFile> now = known ? writtenOverBaseline(fileName, write) : writtenOver(before, write);
    // With nothing changed the file is not even read: it stays as it is,
    // readable or not, writable or not.
    TPortableIniFile changes(fileName, TPortableIniFile::TNewFile{});
    if (changes.writeChanges(before, *now) && !commit(before, *now, known)) return false;
    if (!known) leftOver_.clear();
    std::erase_if(leftOver_, [&](const std::string& section) { return now->sectionExists(section); });
    fileName_ = fileName;
    baseline_ = compact(*now);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
