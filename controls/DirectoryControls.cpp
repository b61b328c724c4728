#include "controls/DirectoryControls.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/FileSystem.h"

namespace {

std::string withoutTrailingBackslash(std::string path) {
  // A root keeps its backslash: "C:" alone means the drive's current folder.
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  if (path.size() == 2 && path[1] == ':') path += '\\';
  return path;
}

std::vector<std::string> splitMasks(const std::string& masks) {
  std::vector<std::string> result;
  size_t start = 0;
  while (start <= masks.size()) {
    const size_t end = masks.find(';', start);
    const std::string mask = masks.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!mask.empty()) result.push_back(mask);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return result;
}

}  // namespace

std::string withTrailingBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + '\\';
}

TDriveComboBox::TDriveComboBox(TControl* parent) : TComboBox(parent, TComboStyle::dropDownList) {
  char drives[512] = {};
  const DWORD length = GetLogicalDriveStringsA(sizeof(drives) - 1, drives);
  for (const char* drive = drives; drive < drives + length && *drive; drive += strlen(drive) + 1)
    addItem(std::string(drive, 2));
}

void TDriveComboBox::setDrive(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return;
  const std::string wanted{static_cast<char>(toupper(static_cast<unsigned char>(path[0]))), ':'};
  for (int index = 0; index < count(); ++index) {
    if (item(index) == wanted) setItemIndex(index);
  }
}

std::string TDriveComboBox::drive() const { return itemIndex() >= 0 ? item(itemIndex()) : std::string(); }

TDirectoryListBox::TDirectoryListBox(TControl* parent) : TListBox(parent) {}

void TDirectoryListBox::setDirectory(const std::string& folder) {
  const std::string full = withoutTrailingBackslash(fullPathName(folder));
  if (full.empty() || !folderExists(full)) return;
  directory_ = full;
  rowFolders_.clear();
  beginUpdate();
  clear();
  // The parents from the root down, then the sub-folders, each indented by
  // its depth.
  std::vector<std::string> parts;
  size_t start = 0;
  while (start < full.size()) {
    const size_t end = full.find('\\', start);
    parts.push_back(full.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::string path;
  int depth = 0;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    path = path.empty() ? part + "\\" : withTrailingBackslash(path) + part;
    addItem(std::string(static_cast<size_t>(depth) * 2, ' ') + (depth == 0 ? path : part));
    rowFolders_.push_back(path);
    ++depth;
  }
  const int currentRow = count() - 1;
  std::vector<std::string> subFolders;
  for (const TFoundFile& found : findFiles(withTrailingBackslash(full) + "*")) {
    if (found.isFolder) subFolders.push_back(found.name);
  }
  std::sort(subFolders.begin(), subFolders.end(), [](const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
  });
  for (const std::string& sub : subFolders) {
    addItem(std::string(static_cast<size_t>(depth) * 2, ' ') + sub);
    rowFolders_.push_back(withTrailingBackslash(full) + sub);
  }
  endUpdate();
  setItemIndex(currentRow);
  if (onDirectoryChange) onDirectoryChange();
}

void TDirectoryListBox::openRow(int row) {
  if (row >= 0 && row < static_cast<int>(rowFolders_.size())) setDirectory(rowFolders_[static_cast<size_t>(row)]);
}

void TDirectoryListBox::doubleClick() {
  TListBox::doubleClick();
  openRow(itemIndex());
}

void TDirectoryListBox::keyDown(WORD& key, TShiftState shift) {
  TListBox::keyDown(key, shift);
  if (key == VK_RETURN) {
    openRow(itemIndex());
    key = 0;
  }
}

TFileListBox::TFileListBox(TControl* parent) : TListBox(parent) {}

void TFileListBox::setDirectory(const std::string& folder) {
  directory_ = folder;
  refill();
}

void TFileListBox::setMask(const std::string& mask) {
  mask_ = mask.empty() ? "*.*" : mask;
  refill();
}

void TFileListBox::refill() {
  beginUpdate();
  clear();
  std::vector<std::string> names;
  if (!directory_.empty()) {
    for (const std::string& mask : splitMasks(mask_)) {
      for (const TFoundFile& found : findFiles(withTrailingBackslash(directory_) + mask)) {
        if (!found.isFolder && std::find(names.begin(), names.end(), found.name) == names.end())
          names.push_back(found.name);
      }
    }
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
  for (const std::string& name : names) addItem(name);
  endUpdate();
}

TFilterComboBox::TFilterComboBox(TControl* parent) : TComboBox(parent, TComboStyle::dropDownList) {}

void TFilterComboBox::setFilter(const std::string& filter) {
  clear();
  masks_.clear();
  size_t start = 0;
  while (start < filter.size()) {
    const size_t bar = filter.find('|', start);
    const std::string description = filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    std::string mask = "*.*";
    start = bar == std::string::npos ? filter.size() : bar + 1;
    if (bar != std::string::npos) {
      const size_t next = filter.find('|', start);
      mask = filter.substr(start, next == std::string::npos ? std::string::npos : next - start);
      start = next == std::string::npos ? filter.size() : next + 1;
    }
    addItem(description);
    masks_.push_back(mask);
  }
  if (count() > 0) setItemIndex(0);
}

std::string TFilterComboBox::mask() const {
  const int index = itemIndex();
  return index >= 0 && index < static_cast<int>(masks_.size()) ? masks_[static_cast<size_t>(index)] : "*.*";
}
