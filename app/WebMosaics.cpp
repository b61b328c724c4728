#include "app/WebMosaics.h"

#include "controls/DownloadListing.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"

namespace {

constexpr int lastFreeNumber = 1000000;

std::string withBackslash(const std::string& folder) { return includeTrailingBackslash(folder); }

const char* const profileSection = "Profile";

void writeNameOf(TPortableIniFile& ini, const std::string& name) { ini.writeString(profileSection, "Name", name); }

}  // namespace

std::vector<TMosaicRow> listMosaicFolders(const std::string& root) {
  std::vector<TMosaicRow> rows;
  if (root.empty()) return rows;
  const std::string folder = withBackslash(root);
  for (const TFoundFile& entry : findFiles(folder + "*")) {
    if (!entry.isFolder) continue;
    const int number = positiveNumberName(entry.name);
    const std::string descriptor = folder + entry.name + "\\0.INI";
    if (number <= 0) continue;
    // A folder under the descriptor's name hides the mosaic: the user is told.
    if (!fileExists(descriptor)) {
      if (pathExists(descriptor)) reportUnreadableFile(descriptor);
      continue;
    }
    const TPortableIniFile ini(descriptor);
    rows.push_back({number, ini.readString(profileSection, "Name", "?")});
  }
  return rows;
}

std::vector<std::string> webPanelFiles(const std::string& folder) {
  std::vector<std::string> files;
  const std::string path = withBackslash(folder);
  for (const TFoundFile& entry : findFiles(path + "*.INI")) {
    if (entry.name.size() <= 4) continue;
    const std::string extension = entry.name.substr(entry.name.size() - 4);
    if (extension != ".INI" && extension != ".ini") continue;
    if (positiveNumberName(entry.name.substr(0, entry.name.size() - 4)) <= 0) continue;
    // A folder under a panel's name hides the panel: the user is told.
    if (entry.isFolder)
      reportUnreadableFile(path + entry.name);
    else
      files.push_back(path + entry.name);
  }
  return files;
}

std::string newMosaicDir(const std::string& root) {
  if (root.empty()) return {};
  const std::string folder = withBackslash(root);
  for (int number = 1; number <= lastFreeNumber; ++number) {
    const std::string path = folder + std::to_string(number);
    if (pathExists(path)) continue;
    return forceFolders(path) ? path : std::string();
  }
  return {};
}

int copyMosaic(const std::string& root, const std::string& sourceFolder) {
  const std::string source = withBackslash(sourceFolder);
  if (!folderExists(source)) return -1;
  const std::string target = newMosaicDir(root);
  if (target.empty()) return -1;
  const int number = positiveNumberName(target.substr(target.find_last_of('\\') + 1));
  if (number < 0) {
    deleteTree(target);
    return -1;
  }
  for (const TFoundFile& entry : findFiles(source + "*")) {
    if (entry.isFolder) continue;
    if (!copyFile(source + entry.name, target + "\\" + entry.name, false)) {
      deleteTree(target);
      return -1;
    }
  }
  return number;
}

std::vector<bool> deleteMosaics(const std::vector<std::string>& folders, std::string& why) {
  // Without its descriptor the folder is listed no more: it goes first.
  std::vector<std::vector<std::string>> mosaics;
  for (const std::string& folder : folders) mosaics.push_back({mosaicDescriptor(folder), withBackslash(folder)});
  return deleteAllWhole(mosaics, why);
}

std::string mosaicDescriptor(const std::string& folder) { return withBackslash(folder) + "0.INI"; }

bool writeMosaicName(const std::string& folder, const std::string& name) {
  return TSettingsBaseline{}.save(mosaicDescriptor(folder), [&name](TPortableIniFile& ini) { writeNameOf(ini, name); });
}

TMosaicDescriptor::TMosaicDescriptor(const std::string& folder) : file_(mosaicDescriptor(folder)) {
  const TPortableIniFile ini(file_);
  name_ = ini.readString(profileSection, "Name", "");
  saved_.take(file_, writer(), ini);
}

TSettingsBaseline::TWriter TMosaicDescriptor::writer() const {
  return [name = name_](TPortableIniFile& ini) { writeNameOf(ini, name); };
}

void TMosaicDescriptor::writeName(TPortableIniFile& ini) const { writeNameOf(ini, name_); }

bool TMosaicDescriptor::save() {
  return fileExists(file_) && saved_.save(file_, writer());
}

bool TMosaicDescriptor::rename(const std::string& name) {
  name_ = name;
  return save();
}
