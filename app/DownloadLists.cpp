#include "app/DownloadLists.h"

#include <algorithm>
#include <utility>

#include "app/MainWindowSetup.h"
#include "controls/DownloadItem.h"
#include "controls/DownloadListing.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

constexpr const char* listSection = "List";
// Enough numbers for any real collection; the search ends there rather than
// running on over a folder that refuses every new entry.
constexpr int lastFreeNumber = 999999;

std::string descriptorOf(const std::string& listFolder) { return listFolder + "0.INI"; }

bool isItemFileName(const std::string& name) {
  return name.size() > 4 && sameText(name.substr(name.size() - 4), ".INI") &&
         positiveNumberName(name.substr(0, name.size() - 4)) > 0;
}

std::string withBackslash(const std::string& path) { return includeTrailingBackslash(upperCase(trimmedText(path))); }

// Gives the item's field the value and saves the item; where the save
// fails, the field goes back to what the file holds, so that no later save
// writes it.
template <class T>
bool savedWith(TDownloadItem& item, T& field, T value) {
  T old = std::exchange(field, std::move(value));
  if (item.saveToFile() == 0) return true;
  field = std::move(old);
  return false;
}

}  // namespace

TListDescriptor::TListDescriptor(const std::string& listFolder) : file_(descriptorOf(listFolder)) {
  const TPortableIniFile ini(file_);
  name_ = ini.readString(listSection, "Name", "");
  int checked = 0;
  if (ini.readNumber(listSection, "Checked", checked) == TPortableIniFile::TNumberText::noNumber) {
    // Shown unchecked; the mark is written only when the user sets one.
    reportLoadFailure("Download list " + ini.FileName() + " " +
                      noNumberText("Checked", ini.readString(listSection, "Checked", "")) + "; taken as not checked.");
  }
  checked_ = checked != 0;
  saved_.take(file_, writer(), ini);
}

TSettingsBaseline::TWriter TListDescriptor::writer() const {
  return [name = name_, checked = checked_](TPortableIniFile& ini) {
    ini.writeString(listSection, "Name", name);
    ini.writeBool(listSection, "Checked", checked);
  };
}

bool TListDescriptor::save() {
  // A list gone is not made again.
  return fileExists(file_) && saved_.save(file_, writer());
}

bool TListDescriptor::setChecked(bool checked) {
  checked_ = checked;
  return save();
}

bool TListDescriptor::rename(const std::string& name) {
  name_ = trimmedText(name);
  return save();
}

bool renameDownloadItem(TDownloadItem& item, const std::string& name) {
  // An item read only in part would be saved with defaults for the rest.
  if (item.loadResult() != 0) return false;
  const std::string trimmed = trimmedText(name);
  if (trimmed == item.Name) return true;
  return savedWith(item, item.Name, trimmed);
}

int newDownloadList(const std::string& root, const std::string& name) {
  if (root.empty()) return -1;
  for (int number = 1; number <= lastFreeNumber; ++number) {
    const std::string folder = root + std::to_string(number) + "\\";
    if (pathExists(root + std::to_string(number))) continue;
    if (!forceFolders(folder)) return -1;
    TPortableIniFile ini(descriptorOf(folder));
    ini.writeString(listSection, "Name", name);
    ini.updateFile();
    if (!fileExists(descriptorOf(folder))) {
      deleteTree(folder);
      return -1;
    }
    return number;
  }
  return -1;
}

int copyDownloadList(const std::string& root, const std::string& sourceFolder) {
  if (!folderExists(sourceFolder)) return -1;
  const int number = newDownloadList(root, "");
  if (number < 0) return -1;
  const std::string folder = root + std::to_string(number) + "\\";
  for (const TFoundFile& entry : findFiles(sourceFolder + "*")) {
    if (entry.isFolder) continue;
    if (!copyFile(sourceFolder + entry.name, folder + entry.name, false)) {
      deleteTree(folder);
      return -1;
    }
  }
  return number;
}

int copyDownloadItem(const std::string& itemFile, const std::string& targetFolder) {
  if (!folderExists(targetFolder)) return -1;
  for (int number = 1; number <= lastFreeNumber; ++number) {
    const std::string target = targetFolder + std::to_string(number) + ".INI";
    if (pathExists(target)) continue;
    return copyFile(itemFile, target, false) ? number : -1;
  }
  return -1;
}

bool isProtectedDataPath(const std::string& dataPath) {
  const std::string path = withBackslash(dataPath);
  // Only a full path can be judged; a root ("C:\", "\\SERVER\SHARE\") holds everything.
  if (path.size() < 3 || !(path[1] == ':' || path.starts_with("\\\\"))) return true;
  if (path.size() == 3 && path[1] == ':') return true;
  if (path.starts_with("\\\\") && std::count(path.begin() + 2, path.end(), '\\') <= 2) return true;
  const std::string resolved = withBackslash(fullPathName(path));
  for (const std::string& name : startDirectoryNames()) {
    const std::string named = withBackslash(getDirectory(name));
    if (named.empty()) continue;
    if (named.starts_with(path) || named.starts_with(resolved)) return true;
  }
  return false;
}

TClearResult clearDownloadItem(TDownloadItem& item, std::string& why) {
  why.clear();
  // An item read only in part would be saved with defaults for the rest.
  if (item.loadResult() != 0) return TClearResult::saveFailed;
  const std::string dataPath = trimmedText(item.DataPath);
  if (!dataPath.empty()) {
    // Everything there is asked first: a file another program holds keeps
    // all of it, and the user learns which and why.
    std::vector<std::vector<std::string>> paths;
    if (folderExists(dataPath)) {
      if (isProtectedDataPath(dataPath) || isReparsePoint(dataPath)) return TClearResult::refused;
      const std::string folder = includeTrailingBackslash(dataPath);
      for (const TFoundFile& entry : findFiles(folder + "*"))
        paths.push_back({folder + entry.name + (entry.isFolder ? "\\" : "")});
    } else {
      paths.push_back({dataPath});
    }
    const std::vector<bool> gone = deleteAllWhole(paths, why);
    if (!why.empty()) {
      why = deletionNotice("its data was", std::find(gone.begin(), gone.end(), true) != gone.end(), why);
      return TClearResult::fileKept;
    }
  }
  return savedWith(item, item.LastUpdate, 0.0) ? TClearResult::cleared : TClearResult::saveFailed;
}

std::vector<bool> deleteDownloadLists(const std::vector<std::string>& listFolders, std::string& why) {
  // Nothing goes unless everything can: a list with some of its items gone
  // is no list the user deleted. Without its descriptor the folder is
  // listed no more, whatever another program kept of the rest.
  std::vector<std::vector<std::string>> lists;
  for (const std::string& listFolder : listFolders) {
    const std::string folder = includeTrailingBackslash(listFolder);
    lists.push_back({descriptorOf(folder), folder});
  }
  return deleteAllWhole(lists, why);
}

std::vector<bool> deleteDownloadItems(const std::vector<std::string>& itemFiles, std::string& why) {
  std::vector<std::vector<std::string>> items;
  for (const std::string& itemFile : itemFiles) items.push_back({itemFile});
  return deleteAllWhole(items, why);
}

bool zapItemRemarks(TDownloadItem& item) {
  if (item.loadResult() != 0) return false;
  if (item.Remarks.empty()) return true;
  return savedWith(item, item.Remarks, std::vector<std::string>{});
}

int zapListRemarks(const std::string& listFolder) {
  int failures = 0;
  for (const std::string& file : downloadItemFiles(listFolder)) {
    TDownloadItem item;
    item.loadFromFile(file);
    if (!zapItemRemarks(item)) ++failures;
  }
  return failures;
}

std::vector<std::string> downloadItemFiles(const std::string& listFolder) {
  std::vector<std::string> files;
  for (const TFoundFile& entry : findFiles(listFolder + "*.INI"))
    if (!entry.isFolder && isItemFileName(entry.name)) files.push_back(listFolder + entry.name);
  return files;
}

std::string downloadQueueText(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += upperCase(path) + '\n';
  return text;
}

void sortDownloadRows(std::vector<TPickRow>& rows, int key, int columnCount) {
  const int column = std::abs(key) - 1;
  if (key == 0 || column >= columnCount) return;
  const auto textOf = [column](const TPickRow& row) {
    return column < static_cast<int>(row.texts.size()) ? upperCase(row.texts[column]) : std::string();
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const TPickRow& a, const TPickRow& b) {
    return key > 0 ? textOf(a) < textOf(b) : textOf(b) < textOf(a);
  });
}

int nextSortKey(int currentKey, int column) { return std::abs(currentKey) == column + 1 ? -currentKey : column + 1; }

std::string confirmationText(const std::string& singular, const std::string& plural,
                             const std::vector<std::string>& selectedCaptions) {
  if (selectedCaptions.size() == 1 && !selectedCaptions[0].empty())
    return singular + "\n\n\"" + selectedCaptions[0] + "\"";
  return plural + "?";
}
