#include "macros/MacroIndex.h"

#include <windows.h>

#include <algorithm>

#include "model/DeletionRefusal.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

bool hasDescriptorExtension(const std::string& name) {
  return name.size() > 4 && sameText(name.substr(name.size() - 4), ".INI");
}

}  // namespace

int TMacroIndex::load(const std::string& directory, const std::string& engineClassId) {
  clear();
  directory_ = directory;
  engine_ = engineClassId;
  try {
    for (const TFoundFile& found : findFiles(directory + "*.INI")) {
      // A folder under a descriptor's name is named by the load; the pattern
      // also finds folders through their short names ("Notes.INIX").
      if (found.isFolder && !hasDescriptorExtension(found.name)) continue;
      auto package = std::make_unique<TMacroReference>();
      if (package->load(directory, found.name, engineClassId) == macroOk) packages_.push_back(std::move(package));
    }
  } catch (...) {
    return macroListFailed;
  }
  return macroOk;
}

int TMacroIndex::saveAll() {
  int result = macroOk;
  for (auto& package : packages_) {
    int saved = package->save();
    if (result == macroOk) result = saved;
  }
  return result;
}

TMacroReference* TMacroIndex::item(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return packages_[index].get();
}

int TMacroIndex::indexOf(const std::string& name) const {
  for (int i = 0; i < count(); ++i) {
    const std::string& own = packages_[i]->name();
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, own.data(), static_cast<int>(own.size()), name.data(),
                       static_cast<int>(name.size())) == CSTR_EQUAL)
      return i;
  }
  return -1;
}

TMacroReference* TMacroIndex::add(const std::string& name) {
  if (indexOf(name) >= 0) return nullptr;
  // Files of that name may belong to another engine's package.
  if (!TMacroReference::fileExtensions(directory_, name).empty()) return nullptr;
  try {
    auto package = std::make_unique<TMacroReference>();
    package->create(directory_, name, engine_);
    packages_.push_back(std::move(package));
    return packages_.back().get();
  } catch (...) {
    return nullptr;
  }
}

TMacroReference* TMacroIndex::copy(int index, const std::string& suffix) {
  TMacroReference* source = item(index);
  if (source == nullptr) return nullptr;
  std::string newName = source->name() + "_" + suffix;
  if (indexOf(newName) >= 0 || source->copyFiles(newName) != macroOk) return nullptr;
  try {
    auto package = std::make_unique<TMacroReference>();
    if (package->load(directory_, newName + ".INI", engine_) != macroOk) return nullptr;
    packages_.push_back(std::move(package));
    return packages_.back().get();
  } catch (...) {
    return nullptr;
  }
}

int TMacroIndex::rename(int index, const std::string& newName) {
  TMacroReference* package = item(index);
  if (package == nullptr) return macroNoPackage;
  std::string target = trimmed(newName);
  if (target.empty()) return macroInvalidName;
  for (unsigned char c : target)
    if (c < 32 || std::string("\"./:<>\\|").find(static_cast<char>(c)) != std::string::npos) return macroInvalidName;
  int found = indexOf(target);
  if (found >= 0 && found != index) return macroNameUsed;
  return package->rename(target);
}

int TMacroIndex::remove(std::vector<int> indexes, std::string* refusal) {
  std::vector<std::string> files;
  for (const int index : indexes) {
    const TMacroReference* package = item(index);
    if (package == nullptr) return macroNoPackage;
    for (const std::string& extension : TMacroReference::fileExtensions(package->directory(), package->name()))
      files.push_back(package->directory() + package->name() + extension);
  }
  // The packages the user deleted at once go together or stay together.
  const std::string why = firstDeletionRefusal(files);
  if (!why.empty()) {
    if (refusal) *refusal = why;
    return macroFileFailed;
  }
  // From the last index down, so that the indexes still to go stay valid.
  std::sort(indexes.rbegin(), indexes.rend());
  int result = macroOk;
  for (const int index : indexes) {
    const int deleted = packages_[index]->deleteFiles(refusal);
    if (deleted == macroOk)
      packages_.erase(packages_.begin() + index);
    else if (result == macroOk)
      result = deleted;
  }
  return result;
}
