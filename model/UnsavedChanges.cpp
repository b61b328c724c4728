#include "model/UnsavedChanges.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

struct TUnsavedChange {
  std::string fileName;
  std::string what;
  TChangeSaveTo save;
  bool followsRename = false;
  bool fileExisted = false;
};

struct TUnsavedChanges {
  std::mutex lock;
  std::vector<TUnsavedChange> changes;
};

TUnsavedChanges& unsavedChanges() {
  static TUnsavedChanges held;
  return held;
}

// A retry never makes a file again that was deleted since its change was
// held, nor one still to be made whose folder was deleted: the user removed
// what it belonged to.
bool goneSinceHeld(const TUnsavedChange& change) {
  if (change.fileExisted) return !fileExists(change.fileName);
  const size_t cut = change.fileName.find_last_of('\\');
  return cut != std::string::npos && !folderExists(change.fileName.substr(0, cut + 1));
}

void holdChange(const std::string& fileName, const std::string& what, TChangeSaveTo save, bool followsRename) {
  const bool existed = fileExists(fileName);
  TUnsavedChanges& held = unsavedChanges();
  const std::lock_guard<std::mutex> guard(held.lock);
  if (!what.empty()) {
    const auto earlier = std::find_if(held.changes.begin(), held.changes.end(), [&](const TUnsavedChange& change) {
      return change.fileName == fileName && change.what == what;
    });
    if (earlier != held.changes.end()) {
      earlier->save = std::move(save);
      earlier->followsRename = followsRename;
      earlier->fileExisted = earlier->fileExisted || existed;
      return;
    }
  }
  held.changes.push_back({fileName, what, std::move(save), followsRename, existed});
}

}  // namespace

void holdUnsavedChange(const std::string& fileName, const std::string& what, TChangeSave save) {
  holdChange(fileName, what, [save = std::move(save)](const std::string&) { return save(); }, false);
}

void holdUnsavedChange(const std::string& fileName, const std::string& what, TChangeSaveTo save) {
  holdChange(fileName, what, std::move(save), true);
}

void forgetUnsavedChange(const std::string& fileName, const std::string& what) {
  TUnsavedChanges& held = unsavedChanges();
  const std::lock_guard<std::mutex> guard(held.lock);
  std::erase_if(held.changes,
                [&](const TUnsavedChange& change) { return change.fileName == fileName && change.what == what; });
}

bool holdsUnsavedChange(const std::string& fileName, const std::string& what) {
  TUnsavedChanges& held = unsavedChanges();
  const std::lock_guard<std::mutex> guard(held.lock);
  return std::any_of(held.changes.begin(), held.changes.end(), [&](const TUnsavedChange& change) {
    return change.fileName == fileName && change.what == what;
  });
}

std::vector<std::string> saveUnsavedChanges() {
  TUnsavedChanges& held = unsavedChanges();
  std::vector<TUnsavedChange> tried;
  {
    // A save may hold a change of its own: it is not run under the lock.
    const std::lock_guard<std::mutex> guard(held.lock);
    tried.swap(held.changes);
  }
  std::vector<TUnsavedChange> failing;
  std::vector<std::string> names;
  for (TUnsavedChange& change : tried) {
    if (goneSinceHeld(change)) continue;
    // Changes to one file are saved in the order made: once one fails, the
    // later ones wait too, so that none goes over an earlier one.
    const bool waiting = std::find(names.begin(), names.end(), change.fileName) != names.end();
    if (!waiting && change.save(change.fileName)) continue;
    if (!waiting) names.push_back(change.fileName);
    failing.push_back(std::move(change));
  }
  const std::lock_guard<std::mutex> guard(held.lock);
  failing.insert(failing.end(), std::make_move_iterator(held.changes.begin()),
                 std::make_move_iterator(held.changes.end()));
  held.changes = std::move(failing);
  return names;
}

void giveUpUnsavedChanges(const std::vector<std::string>& fileNames) {
  TUnsavedChanges& held = unsavedChanges();
  const std::lock_guard<std::mutex> guard(held.lock);
  std::erase_if(held.changes, [&](const TUnsavedChange& change) {
    return std::find(fileNames.begin(), fileNames.end(), change.fileName) != fileNames.end();
  });
}

void letGoUnsavedChanges(const std::string& path) {
  const bool folder = !path.empty() && path.back() == '\\';
  TUnsavedChanges& held = unsavedChanges();
  const std::lock_guard<std::mutex> guard(held.lock);
  std::erase_if(held.changes, [&](const TUnsavedChange& change) {
    return sameText(folder ? change.fileName.substr(0, path.size()) : change.fileName, path);
  });
}

void moveUnsavedChanges(const std::string& from, const std::string& to) {
  TUnsavedChanges& held = unsavedChanges();
  const std::lock_guard<std::mutex> guard(held.lock);
  std::erase_if(held.changes, [&](TUnsavedChange& change) {
    if (!sameText(change.fileName, from)) return false;
    if (!change.followsRename) return true;
    change.fileName = to;
    return false;
  });
}

TChangeSave keptSettingsSave(const std::string& fileName, const TSettingsBaseline& baseline,
                             const TSettingsBaseline::TWriter& write) {
  // The writer's owner is gone by the retry: what it gives now is kept as
  // the changes the save it stands for would write, removals and quotes
  // with the rest, and as the file it would make anew.
  const std::shared_ptr<const TPortableIniFile> before = baseline.comparedWith(fileName);
  const std::shared_ptr<const TPortableIniFile> now = TSettingsBaseline::writtenOver(*before, write);
  const std::shared_ptr<const TPortableIniFile> whole = TSettingsBaseline::written(fileName, write);
  const auto saved = std::make_shared<TSettingsBaseline>(baseline);
  return [fileName, before, now, whole, saved] {
    return saved->save(fileName, [&](TPortableIniFile& ini) {
      // Given nothing, the save makes the file: it gets what the writer
      // would have made of it.
      if (ini.contentText().empty())
        ini.writeChanges(TPortableIniFile(fileName, TPortableIniFile::TNewFile{}), *whole);
      else
        ini.writeChanges(*before, *now);
    });
  };
}
