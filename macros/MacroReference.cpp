#include "macros/MacroReference.h"

#include <windows.h>

#include "controls/DocumentSave.h"
#include "model/DeletionRefusal.h"
#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"

namespace {

const char* const configurationSection = "Configuration";
constexpr size_t maxPathLength = 260;

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                                                static_cast<int>(a.size()), b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

std::string trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> TMacroReference::fileExtensions(const std::string& directory, const std::string& name) {
  std::vector<std::string> extensions;
  for (const TFoundFile& found : findFiles(directory + name + ".*")) {
    if (found.isFolder) continue;
    size_t dot = found.name.rfind('.');
    if (dot == std::string::npos || !sameIgnoringCase(found.name.substr(0, dot), name)) continue;
    extensions.push_back(found.name.substr(dot));
  }
  return extensions;
}

void TMacroReference::setActive(bool value) {
  if (value == active_) return;
  active_ = value;
  modified = true;
}

void TMacroReference::clear() {
  name_.clear();
  directory_.clear();
  engine.clear();
  active_ = false;
  modified = false;
  saved_ = TSettingsBaseline{};
}

int TMacroReference::load(const std::string& directory, const std::string& descriptorFileName,
                          const std::string& engineClassId) {
  clear();
  const std::string path = directory + descriptorFileName;
  if (!fileExists(path)) {
    // A folder under a descriptor's name hides its package: the user is told.
    if (!pathExists(path)) return macroNoDescriptor;
    reportUnreadableFile(path);
    return macroReadFailed;
  }
  try {
    TPortableIniFile file(path);
    if (file.readFailed()) return macroReadFailed;
    // Emptied or cut off, a descriptor may name no engine, and no list
    // shows its package, or lose its mark: told whichever engine is listed.
    checkWholeRecord(file, {{configurationSection, "Engine"}, {configurationSection, "Active"}});
    engine = file.readString(configurationSection, "Engine", "");
    if (engine != engineClassId) return macroInvalidName;
    size_t dot = descriptorFileName.rfind('.');
    name_ = descriptorFileName.substr(0, dot);
    directory_ = directory;
    TNumberReader numbers(file);
    active_ = numbers.readBool(configurationSection, "Active", false);
    // Shown inactive; the mark is written only when the user sets one.
    if (!numbers.unread().empty())
      reportLoadFailure("Macro package " + path + " " + numbers.firstUnread() + "; taken as not active.");
    // Taken as the package shows it: a mark that did not read stays in the
    // file as it is until the user sets one.
    saved_.takeAsShown(path, writer(), file);
    return macroOk;
  } catch (...) {
    return macroReadFailed;
  }
}

void TMacroReference::create(const std::string& directory, const std::string& name, const std::string& engineClassId) {
  clear();
  directory_ = directory;
  name_ = name;
  engine = engineClassId;
  modified = true;
}

int TMacroReference::save() {
  if (name_.empty() || directory_.empty()) return modified ? macroNoPackage : macroOk;
  return saveInto(directory_ + name_ + ".INI");
}

int TMacroReference::saveInto(const std::string& descriptor) {
  try {
    // Only the mark is the user's to change: what another program set
    // since stays, and what it cut out is put back. The descriptor is the
    // package's own, read under the name it had before a rename.
    saved_.movedTo(descriptor);
    // Unchanged, it is still checked for what another program cut.
    if (!modified) return saved_.saveUnchanged(descriptor, writer()) ? macroOk : macroFileFailed;
    if (!saved_.save(descriptor, writer())) return macroFileFailed;
    modified = false;
    return macroOk;
  } catch (...) {
    return macroFileFailed;
  }
}

TSettingsBaseline::TWriter TMacroReference::writer() const {
  return [engine = engine, active = active_](TPortableIniFile& file) {
    file.writeString(configurationSection, "Engine", engine);
    file.writeBool(configurationSection, "Active", active);
  };
}

int TMacroReference::copyFiles(const std::string& newName) {
  std::string target = trimmed(newName);
  if (target == name_) return macroOk;
  std::vector<std::string> extensions = fileExtensions(directory_, name_);
  for (const std::string& extension : extensions)
    if ((directory_ + target + extension).size() > maxPathLength) return macroFileFailed;
  // Copying over another package's files would destroy them, whichever
  // engine it belongs to.
  if (!fileExtensions(directory_, target).empty()) return macroNameUsed;
  int result = macroOk;
  for (const std::string& extension : extensions)
    if (!copyFile(directory_ + name_ + extension, directory_ + target + extension, true)) result = macroFileFailed;
  return result;
}

int TMacroReference::rename(const std::string& newName) {
  std::string target = trimmed(newName);
  if (target.empty() || target == name_) return macroInvalidName;
  std::vector<std::string> extensions = fileExtensions(directory_, name_);
  for (const std::string& extension : extensions)
    if ((directory_ + target + extension).size() > maxPathLength) return macroFileFailed;
  // A change of letter case names the same files where case is ignored.
  if (!sameIgnoringCase(target, name_) && !fileExtensions(directory_, target).empty()) return macroNameUsed;
  // Each file is moved, so that no file is ever copied onto itself.
  for (size_t i = 0; i < extensions.size(); ++i) {
    const std::string& extension = extensions[i];
    if (!MoveFileA((directory_ + name_ + extension).c_str(), (directory_ + target + extension).c_str())) {
      for (size_t back = 0; back < i; ++back)
        MoveFileA((directory_ + target + extensions[back]).c_str(), (directory_ + name_ + extensions[back]).c_str());
      return macroFileFailed;
    }
  }
  // What was held for the old files is the renamed package's: saved under
  // the old names it would make a package of that name again, and never
  // reach these.
  for (const std::string& extension : extensions) {
    moveUnsavedChanges(directory_ + name_ + extension, directory_ + target + extension);
    moveKeptDocument(directory_ + name_ + extension, directory_ + target + extension);
  }
  name_ = target;
  return macroOk;
}

int TMacroReference::deleteFiles(std::string* refusal) {
  // A package goes whole or stays whole: a source without its descriptor is
  // listed by no engine, and a descriptor without its source runs nothing.
  std::vector<std::string> files;
  for (const std::string& extension : fileExtensions(directory_, name_)) files.push_back(directory_ + name_ + extension);
  const std::string why = firstDeletionRefusal(files);
  if (!why.empty()) {
    if (refusal) *refusal = why;
    return macroFileFailed;
  }
  int result = macroOk;
  for (const std::string& extension : fileExtensions(directory_, name_)) {
    if (deleteFile(directory_ + name_ + extension)) {
      modified = true;
      letGoUnsavedChanges(directory_ + name_ + extension);
    } else {
      result = macroFileFailed;
    }
  }
  return result;
}
