#include "controls/GalleryIndex.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/SettingsBaseline.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"

const char* const TGalleryIndex::defaultCaption = "New";

namespace {

const char* const kindFolders[TGalleryIndex::kindCount] = {"Charts\\", "Graphs\\", "Browsers\\"};
const char* const indexFileName = "0.INI";
const char* const namesSection = "Names";

std::string upperCased(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string storableCaption(const std::string& caption) {
  return caption.empty() ? TGalleryIndex::defaultCaption : caption;
}

// A change of the index left for the close: a later one replaces it.
const char* const indexChange = "gallery index";

// What the program holds of a kind's index: its entries in order.
TSettingsBaseline::TWriter namesWriter(std::vector<TGalleryEntry> list) {
  return [list = std::move(list)](TPortableIniFile& ini) {
    ini.eraseSection(namesSection);
    for (const TGalleryEntry& entry : list)
      ini.writeString(namesSection, entry.baseName, quotedWhereNeeded(storableCaption(entry.caption)));
  };
}

// The order is the user's too, which a save of what changed does not
// carry: the index is written again in the entries' order, those another
// program added after them, each with what the file holds.
bool keepOrder(TPortableIniFile& ini, const std::vector<TGalleryEntry>& list) {
  std::vector<std::string> keys;
  ini.readSection(namesSection, keys);
  std::vector<std::string> ordered;
  for (const TGalleryEntry& entry : list)
    if (std::find(keys.begin(), keys.end(), entry.baseName) != keys.end()) ordered.push_back(entry.baseName);
  for (const std::string& key : keys)
    if (std::find(ordered.begin(), ordered.end(), key) == ordered.end()) ordered.push_back(key);
  if (ordered == keys) return true;
  std::vector<std::pair<std::string, std::string>> values;
  for (const std::string& key : ordered) values.emplace_back(key, ini.readString(namesSection, key, ""));
  ini.eraseSection(namesSection);
  for (const auto& [key, value] : values) ini.writeString(namesSection, key, quotedWhereNeeded(value));
  return ini.updateFile();
}

// Writes a kind's index in entry order, against what the program read of
// it: 0, or -4 when it cannot be written.
int writeIndex(const std::string& folder, const std::vector<TGalleryEntry>& list, TSettingsBaseline& saved) {
  forceFolders(folder);
  const std::string indexFile = folder + indexFileName;
  if (!saved.save(indexFile, namesWriter(list))) return -4;
  std::vector<std::string> sections;
  {
    TPortableIniFile ini(indexFile);
    if (!keepOrder(ini, list)) return -4;
    ini.readSections(sections);
  }
  if (!sections.empty()) return 0;
  // An index left with nothing in it goes, as before the first item: an
  // empty file could not be told from a save that failed halfway.
  return deleteFile(indexFile) || !fileExists(indexFile) ? 0 : -4;
}

}  // namespace

bool TGalleryIndex::validBaseName(const std::string& baseName) {
  // Up to nine digits: a positive number that fits an integer and can be
  // nothing but a plain file name inside the folder.
  if (baseName.empty() || baseName.size() > 9) return false;
  if (!std::all_of(baseName.begin(), baseName.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  return baseName.find_first_not_of('0') != std::string::npos;
}

void TGalleryIndex::loadGallery(const std::string& galleryFolder) {
  unloadGallery();
  const std::string root = includeTrailingBackslash(galleryFolder);
  for (int kind = 1; kind <= kindCount; ++kind) {
    folders_[kind - 1] = root + kindFolders[kind - 1];
    loadIndex(kind);
  }
}

void TGalleryIndex::loadIndex(int kind) {
  const TPortableIniFile ini(folder(kind) + indexFileName);
  std::vector<std::string> keys;
  ini.readSection(namesSection, keys);
  std::vector<TGalleryEntry>& list = entries(kind);
  list.reserve(keys.size());
  for (const std::string& key : keys) {
    if (!validBaseName(key)) continue;
    // A key twice would let deleting one entry take the other's files.
    if (std::any_of(list.begin(), list.end(), [&](const TGalleryEntry& e) { return e.baseName == key; })) continue;
    list.push_back({key, ini.readString(namesSection, key, "")});
  }
  saved(kind).take(ini.FileName(), namesWriter(list), ini);
}

void TGalleryIndex::unloadGallery() {
  for (auto& list : entries_) list.clear();
  for (TSettingsBaseline& baseline : saved_) baseline = TSettingsBaseline{};
}

int TGalleryIndex::saveIndex(int kind) {
  if (!validKind(kind)) return -7;
  return writeIndex(folder(kind), entries(kind), saved(kind));
}

void TGalleryIndex::saveChange(int kind) {
  const std::string indexFile = folder(kind) + indexFileName;
  if (saveIndex(kind) == 0) {
    forgetUnsavedChange(indexFile, indexChange);
    return;
  }
  // The index refused the user's change: it waits for the close as the
  // index stands now, whatever the gallery shows by then.
  holdUnsavedChange(indexFile, indexChange,
                    [folder = folder(kind), list = entries(kind), baseline = saved(kind)]() mutable {
                      return writeIndex(folder, list, baseline) == 0;
                    });
}

bool TGalleryIndex::validIndex(int kind, int index) const {
  return validKind(kind) && index >= 0 && index < static_cast<int>(entries(kind).size());
}

std::string TGalleryIndex::itemFile(int kind, int index, const std::string& extension) const {
  if (!validIndex(kind, index)) return "";
  return folder(kind) + entries(kind)[static_cast<size_t>(index)].baseName + extension;
}

int TGalleryIndex::add(int kind, const std::string& sourceFile, const std::string& caption,
                       const std::function<bool(const std::string& pictureFile)>& savePicture) {
  if (!validKind(kind)) return -1;
  forceFolders(folder(kind));
  const std::string settingsFile = uniqueFileName(folder(kind), "", ".INI", 1, 999999999);
  if (settingsFile.empty()) return -1;
  const std::string stem = settingsFile.substr(0, settingsFile.size() - 4);
  const std::string pictureFile = stem + ".BMP";
  if (!copyFile(sourceFile, settingsFile, false)) {
    deleteFile(settingsFile);
    return -1;
  }
  if (!savePicture || !savePicture(pictureFile)) {
    deleteFile(settingsFile);
    deleteFile(pictureFile);
    return -1;
  }
  std::vector<TGalleryEntry>& list = entries(kind);
  list.push_back({stem.substr(folder(kind).size()), storableCaption(caption)});
  if (saveIndex(kind) != 0) {
    list.pop_back();
    deleteFile(settingsFile);
    deleteFile(pictureFile);
    return -1;
  }
  return static_cast<int>(list.size()) - 1;
}

bool TGalleryIndex::remove(int kind, int index, std::string* refusal) {
  if (!validIndex(kind, index)) return false;
  const std::string stem = itemFile(kind, index, "");
  // The settings file first: without it the entry is no view.
  std::vector<std::string> files;
  for (const char* extension : {".INI", ".TXT", ".BMP"}) files.push_back(stem + extension);
  // An index that refuses would keep listing the entry once its files
  // are gone: it is asked with them.
  const std::string indexFile = folder(kind) + indexFileName;
  std::vector<std::string> asked = files;
  asked.push_back(indexFile);
  std::string why = firstDeletionRefusal(asked);
  std::vector<TGalleryEntry>& list = entries(kind);
  const TGalleryEntry removed = list[static_cast<size_t>(index)];
  if (why.empty()) {
    list.erase(list.begin() + index);
    if (saveIndex(kind) == 0) {
      forgetUnsavedChange(indexFile, indexChange);
    } else {
      list.insert(list.begin() + index, removed);
      why = saveFailureText(indexFile);
    }
  }
  if (!why.empty()) {
    if (refusal) *refusal = why;
    return false;
  }
  // Unlisted, the entry is gone even should a file stay behind.
  deleteWhole(files, why);
  if (refusal) *refusal = why;
  return true;
}

bool TGalleryIndex::swap(int kind, int first, int second) {
  if (!validIndex(kind, first) || !validIndex(kind, second)) return false;
  std::swap(entries(kind)[static_cast<size_t>(first)], entries(kind)[static_cast<size_t>(second)]);
  saveChange(kind);
  return true;
}

bool TGalleryIndex::rename(int kind, int index, const std::string& caption) {
  if (!validIndex(kind, index)) return false;
  entries(kind)[static_cast<size_t>(index)].caption = storableCaption(trimmedOf(caption, " \t"));
  saveChange(kind);
  return true;
}

void TGalleryIndex::sortByCaption(int kind, bool descending) {
  if (!validKind(kind)) return;
  std::vector<TGalleryEntry>& list = entries(kind);
  std::stable_sort(list.begin(), list.end(), [descending](const TGalleryEntry& a, const TGalleryEntry& b) {
    const std::string x = upperCased(a.caption);
    const std::string y = upperCased(b.caption);
    return descending ? y < x : x < y;
  });
  saveChange(kind);
}

std::string TGalleryIndex::make(int kind, int index, const std::string& targetFolder,
                                const std::string& prefix) const {
  if (!validIndex(kind, index) || trimmedOf(targetFolder, " \t").empty()) return "";
  const std::string target = uniqueFileName(targetFolder, prefix, ".INI", 1, INT_MAX);
  if (target.empty() || !copyFile(itemFile(kind, index, ".INI"), target, false)) return "";
  return target;
}

bool TGalleryIndex::ensureNotes(int kind, int index) const {
  const std::string notes = itemFile(kind, index, ".TXT");
  if (notes.empty()) return false;
  return fileExists(notes) || writeFileAtomically(notes, "");
}

TPicturePlace fitPicture(int pictureWidth, int pictureHeight, int clientWidth, int clientHeight, int frameWidth) {
  const int border = 2 * frameWidth;
  const double availableHeight = std::max(1, clientHeight - border);
  const double availableWidth = std::max(1, clientWidth - border);
  const double ratio = std::max({1.0, pictureHeight / availableHeight, pictureWidth / availableWidth});
  TPicturePlace place{};
  place.height = static_cast<int>(std::lround(pictureHeight / ratio));
  place.width = static_cast<int>(std::lround(pictureWidth / ratio));
  place.left = std::max(frameWidth, (static_cast<int>(availableWidth) - place.width) / 2);
  place.top = std::max(frameWidth, (static_cast<int>(availableHeight) - place.height) / 2);
  return place;
}
