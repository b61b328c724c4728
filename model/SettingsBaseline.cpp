#include "model/SettingsBaseline.h"

#include <vector>

#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"

namespace {

bool readsAsNumber(const std::string& text) {
  double real = 0;
  int whole = 0;
  return iniTextToFloat(text, real) || iniTextToInteger(text, whole);
}

struct TStandIn {
  std::string section;
  std::string key;
  std::string number;
};

// Where the object shows a number and the file holds text that reads as
// none, the object's number only stands in for that text.
std::vector<TStandIn> standInsForNumbers(const TPortableIniFile& shown, const TPortableIniFile& read) {
  std::vector<TStandIn> standIns;
  std::vector<std::string> sections;
  shown.readSections(sections);
  for (const std::string& section : sections) {
    std::vector<std::string> keys;
    shown.readSection(section, keys);
    for (const std::string& key : keys) {
      std::string number = shown.readString(section, key, "");
      const std::string held = read.readString(section, key, "");
      if (!held.empty() && readsAsNumber(number) && !readsAsNumber(held))
        standIns.push_back({section, key, std::move(number)});
    }
  }
  return standIns;
}

}  // namespace

std::unique_ptr<TPortableIniFile> TSettingsBaseline::written(const std::string& fileName, const TWriter& write) {
  auto ini = std::make_unique<TPortableIniFile>(fileName, TPortableIniFile::TNewFile{});
  write(*ini);
  return ini;
}

void TSettingsBaseline::take(const std::string& fileName, const TWriter& write) {
  write_ = write;
  // A folder under the name is a file that cannot be read, not a missing
  // one: nothing is to be written over it unless the user changes it.
  if (pathExists(fileName))
    baseline_ = written(fileName, write);
  else
    baseline_.reset();
}

void TSettingsBaseline::takeOfExistingFile(const std::string& fileName, const TWriter& write) {
  write_ = write;
  baseline_ = written(fileName, write);
}

void TSettingsBaseline::takeOver(TSettingsBaseline&& other, const TWriter& write) {
  write_ = write;
  baseline_ = std::move(other.baseline_);
}

void TSettingsBaseline::take(const std::string& fileName, const TWriter& write, const TPortableIniFile& read) {
  take(fileName, write);
  // What stood in for a file not read whole is no change of the user's:
  // saved, it would replace what reading passed over.
  if (!baseline_ || read.readFailed() || read.readInPart()) return;
  const std::vector<TStandIn> standIns = standInsForNumbers(*baseline_, read);
  baseline_->keepOnlyWhatOtherHolds(read);
  // Taken as what the file holds, the file keeps its text until the user
  // gives a value.
  for (const TStandIn& standIn : standIns) baseline_->writeString(standIn.section, standIn.key, standIn.number);
  if (!standIns.empty()) reportPartlyReadFile(fileName);
}

void TSettingsBaseline::retake() {
  if (baseline_) baseline_ = written(baseline_->FileName(), write_);
}

void TSettingsBaseline::takeAsRead(const std::string& section, const std::string& key,
                                   const TPortableIniFile& read) {
  if (baseline_) baseline_->writeString(section, key, read.readString(section, key, ""));
}

bool TSettingsBaseline::save(const std::string& fileName, const TWriter& write) {
  return saveChanges(fileName, write, [&](const TPortableIniFile& before, const TPortableIniFile& now) {
    // Entries the object did not change keep what the file holds.
    TPortableIniFile ini(fileName);
    // Rewriting a file that could not be read would lose what it holds.
    if (ini.readFailed()) return false;
    ini.writeChanges(before, now);
    return ini.updateFile();
  });
}

bool TSettingsBaseline::saveInPlace(const std::string& fileName, const TWriter& write, bool durable) {
  return saveChanges(fileName, write, [&](const TPortableIniFile& before, const TPortableIniFile& now) {
    const TPortableIniFile asItStands(fileName);
    if (asItStands.readFailed()) return false;
    TPortableIniFile ini(fileName, TPortableIniFile::TNewFile{});
    ini.writeChanges(TPortableIniFile(fileName, TPortableIniFile::TNewFile{}), asItStands);
    ini.writeChanges(before, now);
    return ini.createFile(durable, true) == TNewFileResult::created;
  });
}

bool TSettingsBaseline::saveChanges(const std::string& fileName, const TWriter& write, const TCommit& commit) {
  try {
    std::unique_ptr<TPortableIniFile> now = written(fileName, write);
    const TPortableIniFile nothing(fileName, TPortableIniFile::TNewFile{});
    // A baseline of another file says nothing about this one, nor one of a
    // file deleted or moved away since: what the object holds is written
    // whole, else the file would come back holding only what changed.
    const bool known = baseline_ && baseline_->FileName() == fileName && pathExists(fileName);
    const TPortableIniFile& before = known ? *baseline_ : nothing;
    // With nothing changed the file is not even read: it stays as it is,
    // readable or not, writable or not.
    TPortableIniFile changes(fileName, TPortableIniFile::TNewFile{});
    if (changes.writeChanges(before, *now) && !commit(before, *now)) return false;
    baseline_ = std::move(now);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
