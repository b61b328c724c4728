#include "model/Directories.h"

#include <algorithm>
#include <vector>

#include "model/PortableIniFile.h"
#include "model/QuickSort.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

const std::string fileUrlPrefix = "file:///";

struct TNamedDirectory {
  std::string name;
  std::string path;
};

std::vector<TNamedDirectory>& directoryTable() {
  static std::vector<TNamedDirectory> table;
  return table;
}

void sortDirectoryTable() {
  std::vector<TNamedDirectory>& table = directoryTable();
  quickSortBy(table.data(), table.size(),
              [](const TNamedDirectory& entry) { return -static_cast<int64_t>(entry.path.size()); });
}

std::string trimmed(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

std::string replaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string result;
  size_t start = 0;
  for (size_t found; (found = text.find(from, start)) != std::string::npos; start = found + from.size()) {
    result.append(text, start, found - start);
    result += to;
  }
  result.append(text, start, std::string::npos);
  return result;
}

bool hasFileUrlPrefix(const std::string& url) {
  return url.size() >= fileUrlPrefix.size() && lowerCase(url.substr(0, fileUrlPrefix.size())) == fileUrlPrefix;
}

std::string withoutTrailingBackslashes(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// Deleting a tree by an empty or relative name would hit the current
// directory, which holds the directory list; a drive or share root is never
// what a caller means.
bool safeToDelete(const std::string& folder) {
  bool onDrive = folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
  bool onShare = folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\';
  if (!onDrive && !onShare) return false;
  std::string full = withoutTrailingBackslashes(fullPathName(folder));
  if (full.size() <= 2) return false;
  if (onDrive) return true;
  // Only a folder below a share root (\\server\share) holds two more backslashes.
  return std::count(full.begin() + 2, full.end(), '\\') >= 2;
}

// True when one folder (with trailing backslash) is the other or lies inside it.
bool nested(const std::string& a, const std::string& b) {
  std::string fullA = upperCase(includeTrailingBackslash(fullPathName(a)));
  std::string fullB = upperCase(includeTrailingBackslash(fullPathName(b)));
  return fullA.compare(0, fullB.size(), fullB) == 0 || fullB.compare(0, fullA.size(), fullA) == 0;
}

bool copyContents(const std::string& source, const std::string& destination) {
  for (const TFoundFile& entry : findFiles(source + "*")) {
    std::string from = source + entry.name;
    std::string to = destination + entry.name;
    if (entry.isFolder) {
      if (!createFolder(to) || !copyContents(from + "\\", to + "\\")) return false;
    } else if (!copyFile(from, to, true)) {
      return false;
    }
  }
  return true;
}

// The section anew with the table's entries.
TSettingsBaseline::TWriter directoryTableWriter(const std::string& section) {
  return [section](TPortableIniFile& ini) {
    ini.eraseSection(section);
    for (const TNamedDirectory& entry : directoryTable()) ini.writeString(section, entry.name, entry.path);
  };
}

}  // namespace

TDirectoryListRead loadDirectoryTable(const std::string& fileName, const std::string& section, std::string* damage,
                                      TSettingsBaseline* saved) {
  std::vector<std::string> entries;
  const TPortableIniFile ini(fileName);
  ini.readSectionValues(section, entries);
  std::vector<TNamedDirectory>& table = directoryTable();
  table.clear();
  for (const std::string& entry : entries) {
    size_t equals = entry.find('=');
    table.push_back({upperCase(entry.substr(0, equals)), includeTrailingBackslash(upperCase(entry.substr(equals + 1)))});
  }
  sortDirectoryTable();
  if (saved != nullptr) saved->takeAsShown(fileName, directoryTableWriter(section), ini);
  if (ini.readFailed()) return TDirectoryListRead::failed;
  if (damage != nullptr) *damage = ini.writeRefusal();
  return ini.readInPart() ? TDirectoryListRead::inPart : TDirectoryListRead::whole;
}

bool saveDirectoryTable(const std::string& fileName, const std::string& section, TSettingsBaseline& baseline) {
  return baseline.save(fileName, directoryTableWriter(section));
}

void setDirectory(const std::string& name, const std::string& path) {
  std::string upperName = upperCase(name);
  std::string upperPath = includeTrailingBackslash(upperCase(trimmed(path)));
  std::vector<TNamedDirectory>& table = directoryTable();
  bool found = false;
  for (TNamedDirectory& entry : table) {
    if (entry.name == upperName) {
      entry.path = upperPath;
      found = true;
    }
  }
  if (!found) table.push_back({upperName, upperPath});
  sortDirectoryTable();
}

std::string getDirectory(const std::string& name) {
  std::string upperName = upperCase(name);
  for (const TNamedDirectory& entry : directoryTable())
    if (entry.name == upperName) return entry.path;
  return "";
}

std::string collapsePath(const std::string& text) {
  std::string result = upperCase(trimmed(text));
  // A directory without a path (one with no default, never set) would
  // otherwise put its name between every two characters.
  for (const TNamedDirectory& entry : directoryTable())
    if (!entry.path.empty()) result = replaceAll(result, entry.path, entry.name);
  return result;
}

std::string expandPath(const std::string& text) {
  std::string result = upperCase(trimmed(text));
  for (const TNamedDirectory& entry : directoryTable())
    if (!entry.name.empty()) result = replaceAll(result, entry.name, entry.path);
  return result;
}

std::string collapseFileURL(const std::string& url) {
  std::string text = trimmed(url);
  if (!hasFileUrlPrefix(text)) return text;
  std::string path = text.substr(fileUrlPrefix.size());
  for (char& c : path)
    if (c == '/') c = '\\';
  if (folderExists(path)) path = includeTrailingBackslash(path);
  return fileUrlPrefix + collapsePath(path);
}

std::string navigationTarget(const std::string& url) { return navigableUrl(url) ? expandFileURL(url) : std::string(); }

std::string expandFileURL(const std::string& url) {
  std::string text = trimmed(url);
  if (!hasFileUrlPrefix(text)) return text;
  return fileUrlPrefix + expandPath(text.substr(fileUrlPrefix.size()));
}

std::string includeTrailingBackslash(const std::string& text) {
  if (text.empty() || text.back() == '\\' || text.back() == ':') return text;
  return text + '\\';
}

bool deleteDirContents(const std::string& folder) {
  if (!safeToDelete(folder) || isReparsePoint(folder)) return false;
  std::string path = includeTrailingBackslash(folder);
  for (const TFoundFile& entry : findFiles(path + "*")) {
    std::string full = path + entry.name;
    bool deleted;
    if (entry.isFolder && entry.isReparsePoint)
      deleted = removeFolder(full);
    else if (entry.isFolder)
      deleted = deleteTree(full);
    else
      deleted = deleteFile(full);
    if (!deleted) return false;
  }
  letGoUnsavedChanges(path);
  return true;
}

bool deleteTree(const std::string& folder) {
  if (!safeToDelete(folder)) return false;
  // A junction goes as a link; what it points to stays.
  if (isReparsePoint(folder)) return removeFolder(folder);
  return deleteDirContents(includeTrailingBackslash(folder)) && removeFolder(folder);
}

bool copyTree(const std::string& source, const std::string& destination, bool replaceExisting) {
  std::string from = includeTrailingBackslash(source);
  std::string to = includeTrailingBackslash(destination);
  // Copying into itself would never end; replacing a folder around the
  // source would delete the source; merging into an existing destination and
  // then cleaning up after a failure would delete the files it held before.
  if (!folderExists(from) || nested(from, to)) return false;
  if (pathExists(to) && (!replaceExisting || !deleteTree(to))) return false;
  if (forceFolders(to) && copyContents(from, to)) return true;
  deleteTree(to);
  return false;
}

std::string uniqueFileName(const std::string& folder, const std::string& prefix, const std::string& extension,
                           int32_t firstN, int32_t lastN) {
  if (!folderExists(folder)) return "";
  std::string stem = includeTrailingBackslash(folder) + trimmed(prefix);
  std::string suffix = trimmed(extension);
  if (!suffix.empty() && suffix.front() != '.') suffix.insert(suffix.begin(), '.');
  // 64-bit so that a range ending at the largest 32-bit number ends.
  for (int64_t n = firstN; n <= lastN; ++n) {
    std::string candidate = stem + std::to_string(n) + suffix;
    if (!pathExists(candidate)) return candidate;
  }
  return "";
}
