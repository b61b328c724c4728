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

struct TEntryName {
  std::string section;
  std::string key;
};

// The entries the baseline and the writer both hold that the file as it
// stands lacks: another program cut them out since the read.
std::vector<TEntryName> lostEntries(const TPortableIniFile& before, const TPortableIniFile& now,
                                    const TPortableIniFile& file, const TPortableIniFile* held) {
  std::vector<TEntryName> lost;
  std::vector<std::string> sections;
  before.readSections(sections);
  std::vector<std::string> keys;
  for (const std::string& section : sections) {
    keys.clear();
    before.readSection(section, keys);
    for (const std::string& key : keys)
      if (!now.readString(section, key, "").empty() && file.readString(section, key, "").empty() &&
          (held == nullptr || !held->readString(section, key, "").empty()))
        lost.push_back({section, key});
  }
  return lost;
}

// A file that ends inside its last line lost there what the baseline held,
// unless it was so when read (the object then holds what the cut line
// says), or the line cut is one of another program's own.
bool cutSinceRead(const TPortableIniFile& file, const TPortableIniFile& before) {
  const std::optional<TPortableIniFile::TLineCutOff> cut = file.lineCutOff();
  if (!cut) return false;
  if (cut->key.empty()) return true;
  const std::string held = before.readString(cut->section, cut->key, "");
  return !held.empty() && held != cut->value;
}

// The baseline without what the file lost: written over the file, what the
// program holds for those entries goes back in, and nothing else of it.
std::unique_ptr<TPortableIniFile> withoutLost(const TPortableIniFile& before, const std::vector<TEntryName>& lost) {
  auto held = std::make_unique<TPortableIniFile>(before.FileName(), TPortableIniFile::TContent{before.contentText()});
  for (const TEntryName& entry : lost) held->writeString(entry.section, entry.key, "");
  return held;
}

// The file as written, for the writer to give over it what it gives from
// what the file holds: a section the writer erases to write it anew (the
// custom properties) keeps there what another program added to it, as the
// file written does.
class TFileAsWritten final : public TPortableIniFile {
 public:
  explicit TFileAsWritten(const TPortableIniFile& file)
      : TPortableIniFile(file.FileName(), TContent{file.contentText()}) {}
  void eraseSection(const std::string&) override {}
};

// A value the writer gives from what the file holds (an entry count) is
// what it gives over the file as now written, which may hold entries of
// another program's, or ones put back, that the writer's own text lacks.
void followTheFile(TPortableIniFile& file, const TPortableIniFile& now, const TSettingsBaseline::TWriter& write) {
  TFileAsWritten over(file);
  write(over);
  std::vector<std::string> sections;
  now.readSections(sections);
  std::vector<std::string> keys;
  for (const std::string& section : sections) {
    keys.clear();
    now.readSection(section, keys);
    for (const std::string& key : keys) {
      const std::string value = over.readString(section, key, "");
      if (value != now.readString(section, key, "") && value != file.readString(section, key, ""))
        file.writeString(section, key, quotedWhereNeeded(value));
    }
  }
}

// What was lost, in words: the keys, the entry count as such, the first
// few only.
std::string lostText(const std::vector<TEntryName>& lost) {
  constexpr size_t named = 3;
  std::vector<std::string> names;
  for (const TEntryName& entry : lost) {
    std::string name = entry.key == "Entries" ? "its entry count" : entry.key;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
  }
  std::string text;
  const size_t shown = names.size() > named + 1 ? named : names.size();
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0) text += i + 1 == shown && shown == names.size() ? " and " : ", ";
    text += names[i];
  }
  if (shown < names.size()) text += " and " + std::to_string(names.size() - shown) + " more";
  return text;
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
  TFileStamp found;
  return knows(fileName, found) ? baseline() : asItStands(fileName);
}

void TSettingsBaseline::take(const std::string& fileName, const TWriter& write) { takeFrom(fileName, write, nullptr); }

void TSettingsBaseline::takeFrom(const std::string& fileName, const TWriter& write, const TPortableIniFile* read) {
  write_ = write;
  fileName_ = fileName;
  setLeftOver({});
  // A folder under the name is a file that cannot be read, not a missing
  // one: nothing is to be written over it unless the user changes it.
  if (!pathExists(fileName, stamp_)) {
    baseline_.reset();
    return;
  }
  // Taken before the read, a stamp tells a write since then too.
  if (read != nullptr && read->stamp().known()) stamp_ = read->stamp();
  const std::unique_ptr<TPortableIniFile> shown = written(fileName, write);
  baseline_ = compact(*shown);
  if (read != nullptr) setLeftOver(numberedSectionsBeyond(*read, *shown));
  setFileHeld(read != nullptr ? read->contentText() : TPortableIniFile(fileName).contentText());
}

void TSettingsBaseline::takeAsShown(const std::string& fileName, const TWriter& write, const TPortableIniFile& read) {
  takeFrom(fileName, write, &read);
  // Numbered sections are left over only in a file taken with them.
  setLeftOver({});
}

void TSettingsBaseline::takeWhatFileHolds(const std::string& fileName, const TWriter& write,
                                          const TPortableIniFile& read) {
  takeFrom(fileName, write, &read);
  setLeftOver({});
  if (!baseline_) return;
  std::unique_ptr<TPortableIniFile> taken = baseline();
  taken->keepOnlyWhatOtherHolds(read);
  baseline_ = compact(*taken);
  // Kept to what the file holds, the baseline stands for it whole.
  setFileHeld(std::nullopt);
}

void TSettingsBaseline::takeWithNumberedSections(const std::string& fileName, const TWriter& write,
                                                 const TPortableIniFile& read) {
  takeFrom(fileName, write, &read);
}

void TSettingsBaseline::takeOfExistingFile(const std::string& fileName, const TWriter& write,
                                           const TPortableIniFile& read) {
  write_ = write;
  fileName_ = fileName;
  setLeftOver({});
  baseline_ = written(fileName, write)->contentTextWithin(read);
  setFileHeld(std::nullopt);
  stamp_ = read.stamp();
  if (!stamp_.known()) pathExists(fileName, stamp_);
}

void TSettingsBaseline::takeOver(TSettingsBaseline&& other, const TWriter& write) {
  write_ = write;
  fileName_ = std::move(other.fileName_);
  stamp_ = other.stamp_;
  baseline_ = std::move(other.baseline_);
  aside_ = std::move(other.aside_);
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
  // Kept to what the file holds, the baseline stands for it whole.
  setFileHeld(std::nullopt);
  if (!standIns.empty()) reportPartlyReadFile(fileName);
}

void TSettingsBaseline::takeWithTheRest(const std::string& fileName, const TWriter& write,
                                        const TPortableIniFile& read) {
  take(fileName, write, read);
  if (!baseline_ || read.readFailed()) return;
  // The part as taken stands over what the file holds.
  TPortableIniFile whole(fileName, TPortableIniFile::TContent{read.contentText()});
  const std::unique_ptr<TPortableIniFile> part = baseline();
  std::vector<std::string> sections;
  part->readSections(sections);
  std::vector<std::string> keys;
  for (const std::string& section : sections) {
    keys.clear();
    part->readSection(section, keys);
    for (const std::string& key : keys)
      whole.writeString(section, key, quotedWhereNeeded(part->readString(section, key, "")));
  }
  baseline_ = compact(whole);
}

void TSettingsBaseline::retake() {
  if (!baseline_) return;
  // What the owner settled since need not stand in the file.
  if (!fileHeld()) setFileHeld(*baseline_);
  baseline_ = compact(*writtenOverBaseline(fileName_, write_));
}

const std::optional<std::string>& TSettingsBaseline::fileHeld() const {
  static const std::optional<std::string> none;
  return aside_ ? aside_->fileHeld : none;
}

const std::string& TSettingsBaseline::object() const {
  static const std::string none;
  return aside_ ? aside_->object : none;
}

void TSettingsBaseline::setFileHeld(std::optional<std::string> fileHeld) {
  if (fileHeld || this->fileHeld()) setAside(object(), std::move(fileHeld));
}

void TSettingsBaseline::setAside(std::string object, std::optional<std::string> fileHeld) {
  if (object.empty() && !fileHeld && leftOver().empty())
    aside_.reset();
  else
    aside_ = std::make_shared<const TAside>(TAside{std::move(object), std::move(fileHeld), leftOver()});
}

const std::vector<std::string>& TSettingsBaseline::leftOver() const {
  static const std::vector<std::string> none;
  return aside_ ? aside_->leftOver : none;
}

void TSettingsBaseline::setLeftOver(std::vector<std::string> leftOver) {
  if (leftOver.empty() && this->leftOver().empty()) return;
  if (leftOver.empty() && object().empty() && !fileHeld())
    aside_.reset();
  else
    aside_ = std::make_shared<const TAside>(TAside{object(), fileHeld(), std::move(leftOver)});
}

void TSettingsBaseline::takeAsRead(const std::string& section, const std::string& key,
                                   const TPortableIniFile& read) {
  if (!baseline_) return;
  std::unique_ptr<TPortableIniFile> taken = baseline();
  taken->writeString(section, key, read.readString(section, key, ""));
  baseline_ = compact(*taken);
}

bool TSettingsBaseline::save(const std::string& fileName, const TWriter& write) {
  return saveChanges(fileName, write, [](TPortableIniFile& ini) { return ini.updateFile(); });
}

bool TSettingsBaseline::addsNumberedSectionsApart(const TPortableIniFile& before, const TPortableIniFile& now,
                                                  TPortableIniFile& asItStands) {
  std::vector<std::string> sections;
  now.readSections(sections);
  // Written key by key over one that stands there, the two would merge
  // into one: a section left over when the file was read goes whole, and
  // one another program added since is its own, which the save would lose.
  // Every section is asked before any goes: the file's object writes what
  // it changed when it goes, a refused save's too.
  std::vector<std::string> replaced;
  for (const std::string& section : sections) {
    if (!numberedSection(section) || before.sectionExists(section) || !asItStands.sectionExists(section)) continue;
    if (std::find(leftOver().begin(), leftOver().end(), section) != leftOver().end()) {
      replaced.push_back(section);
      continue;
    }
    if (sectionValues(now, section) == sectionValues(asItStands, section)) continue;
    reportRefusedSave(fileName_,
                      "was changed by another program meanwhile, which added a section [" + section +
                          "] as this program did",
                      TRefusal::changedElsewhere);
    return false;
  }
  for (const std::string& section : replaced) asItStands.eraseSection(section);
  return true;
}

bool TSettingsBaseline::saveInPlace(const std::string& fileName, const TWriter& write, bool durable) {
  return saveChanges(fileName, write, [durable](TPortableIniFile& ini) { return ini.updateFileInPlace(durable); });
}

bool TSettingsBaseline::knows(const std::string& fileName, TFileStamp& found) const {
  return baseline_ && fileName_ == fileName && pathExists(fileName, found);
}

bool TSettingsBaseline::leftAsItWas(const std::string& fileName, const TFileStamp& found) const {
  // Without a baseline of the file there is nothing it could have lost.
  return !baseline_ || fileName_ != fileName || !found.known() || found == stamp_;
}

bool TSettingsBaseline::saveUnchanged(const std::string& fileName, const TWriter& write,
                                      const std::optional<TFileStamp>& found) {
  TFileStamp now = found.value_or(TFileStamp{});
  if (!found && baseline_ && fileName_ == fileName) pathExists(fileName, now);
  return leftAsItWas(fileName, now) || save(fileName, write);
}

bool TSettingsBaseline::saveChanges(const std::string& fileName, const TWriter& write, const TUpdate& update) {
  try {
    // Without a baseline of the file what the object holds is written
    // whole, else the file would come back holding only what changed; and
    // over the file as it stands, else it would keep what the object
    // removed (a file damaged, then changed, stays damaged).
    TFileStamp found;
    const bool known = knows(fileName, found);
    const std::unique_ptr<TPortableIniFile> taken = known ? baseline() : asItStands(fileName);
    const TPortableIniFile& before = *taken;
    std::unique_ptr<TPortableIniFile> now = known ? writtenOverBaseline(fileName, write) : writtenOver(before, write);
    // With nothing changed the file is read only where another program
    // wrote it since: what it cut out is put back, and nothing else is
    // written, so a file nobody changed stays as it is, readable or not,
    // writable or not.
    TPortableIniFile changes(fileName, TPortableIniFile::TNewFile{});
    const bool changed = changes.writeChanges(before, *now);
    if (changed || (known && found != stamp_)) {
      if (!commit(fileName, write, before, *now, known, changed, update)) return false;
    } else {
      stamp_ = found;
    }
    if (!known) {
      setLeftOver({});
      // Written over the file as it stood, the file holds every entry.
      setFileHeld(std::nullopt);
    }
    std::vector<std::string> stillLeft = leftOver();
    std::erase_if(stillLeft, [&](const std::string& section) { return now->sectionExists(section); });
    if (stillLeft.size() != leftOver().size()) setLeftOver(std::move(stillLeft));
    fileName_ = fileName;
    baseline_ = compact(*now);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TSettingsBaseline::commit(const std::string& fileName, const TWriter& write, const TPortableIniFile& before,
                               const TPortableIniFile& now, bool known, bool changed, const TUpdate& update) {
  // Entries the object did not change keep what the file holds, and so
  // does every line of it they do not stand on.
  TPortableIniFile ini(fileName);
  std::vector<TEntryName> lost;
  if (known) {
    if (!addsNumberedSectionsApart(before, now, ini)) return false;
    // A line another program's write broke off holds at best the start of
    // what stood there: it goes, and what it held is put back.
    const bool cut = ini.endsInsideLine() && cutSinceRead(ini, before);
    if (cut) ini.dropLineCutOff();
    std::unique_ptr<TPortableIniFile> held;
    if (fileHeld()) held = std::make_unique<TPortableIniFile>(fileName, TPortableIniFile::TContent{*fileHeld()});
    lost = lostEntries(before, now, ini, held.get());
    // Cut at its top, the file lost its first header: what stood below it
    // is its section's again, and put back it stands first once more.
    if (!lost.empty() && ini.writeRefusal().empty()) {
      std::vector<std::string> sections;
      now.readSections(sections);
      if (!sections.empty() && before.sectionExists(sections.front()) && !ini.sectionExists(sections.front())) {
        ini.headWith(sections.front());
        lost = lostEntries(before, now, ini, held.get());
      }
    }
    // What another program changed otherwise stays as it wrote it; and a
    // file that cannot be read now, or holds what a rewrite would lose, is
    // no failure of a save that has nothing of its own to write.
    if (!changed && ((!cut && lost.empty()) || ini.readFailed() || !ini.writeRefusal().empty())) {
      if (lost.empty()) stamp_ = ini.stamp();
      return true;
    }
  }
  if (lost.empty())
    ini.writeChanges(before, now);
  else
    ini.writeChanges(*withoutLost(before, lost), now);
  if (known && ini.holdsMoreEntriesThan(now)) followTheFile(ini, now, write);
  if (!update(ini)) return false;
  stamp_ = ini.stamp();
  // Written over what it held, the file holds what it did and what changed.
  if (known && fileHeld()) setFileHeld(ini.contentText());
  if (!lost.empty())
    reportSavedWhole("Another program had cut " + lostText(lost) + " out of " +
                     (object().empty() ? fileName : object()) + " while this program ran; it put back what it holds.");
  return true;
}
