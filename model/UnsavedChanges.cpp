#include "model/UnsavedChanges.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

// The settings an owner gave when it went, and what it knew of the file.
struct TKeptSettings {
  // What the save compares with, and what the writer gave over that.
  std::shared_ptr<const TPortableIniFile> before;
  std::shared_ptr<const TPortableIniFile> now;
  // The file as the writer would make it anew.
  std::shared_ptr<const TPortableIniFile> whole;
  std::shared_ptr<TSettingsBaseline> baseline;
};

struct TUnsavedChange {
  std::string fileName;
  std::string what;
  TChangeSaveTo save;
  bool followsRename = false;
  bool fileExisted = false;
  // What the owner that held the change gave, for the next one that reads
  // the file: none where the change is no owner's settings.
  std::shared_ptr<const TKeptSettings> settings;
};

struct TUnsavedChanges {
  std::mutex lock;
  std::vector<TUnsavedChange> changes;
};

TUnsavedChanges& unsavedChanges() {
  static TUnsavedChanges held;
  return held;
}

// The change so named, or the end; under the lock.
std::vector<TUnsavedChange>::iterator heldChange(TUnsavedChanges& held, const std::string& fileName,
                                                 const std::string& what) {
  return std::find_if(held.changes.begin(), held.changes.end(), [&](const TUnsavedChange& change) {
    return change.fileName == fileName && change.what == what;
  });
}

// A retry never makes a file again that was deleted since its change was
// held, nor one still to be made whose folder was deleted: the user removed
// what it belonged to.
bool goneSinceHeld(const TUnsavedChange& change) {
  if (change.fileExisted) return !fileExists(change.fileName);
  const size_t cut = change.fileName.find_last_of('\\');
  return cut != std::string::npos && !folderExists(change.fileName.substr(0, cut + 1));
}

void holdChange(const std::string& fileName, const std::string& what, TChangeSaveTo save, bool followsRename,
                std::shared_ptr<const TKeptSettings> settings = nullptr) {
  const bool existed = fileExists(fileName);
  TUnsavedChanges& held = unsavedChanges();
  const std::lock_guard<std::mutex> guard(held.lock);
  if (!what.empty()) {
    const auto earlier = heldChange(held, fileName, what);
    if (earlier != held.changes.end()) {
      earlier->save = std::move(save);
      earlier->followsRename = followsRename;
      earlier->fileExisted = earlier->fileExisted || existed;
      earlier->settings = std::move(settings);
      return;
    }
  }
  held.changes.push_back({fileName, what, std::move(save), followsRename, existed, std::move(settings)});
}

std::shared_ptr<const TKeptSettings> keptSettings(const std::string& fileName, const TSettingsBaseline& baseline,
                                                  const TSettingsBaseline::TWriter& write) {
  // The writer's owner is gone by the retry: what it gives now is kept as
  // the changes the save it stands for would write, removals and quotes
  // with the rest, and as the file it would make anew.
  auto kept = std::make_shared<TKeptSettings>();
  kept->before = baseline.comparedWith(fileName);
  kept->now = TSettingsBaseline::writtenOver(*kept->before, write);
  kept->whole = TSettingsBaseline::written(fileName, write);
  kept->baseline = std::make_shared<TSettingsBaseline>(baseline);
  return kept;
}

TChangeSave savingKept(const std::string& fileName, std::shared_ptr<const TKeptSettings> kept) {
  return [fileName, kept] {
    return kept->baseline->save(fileName, [&](TPortableIniFile& ini) {
      // Given nothing, the save makes the file: it gets what the writer
      // would have made of it.
      if (ini.contentText().empty())
        ini.writeChanges(TPortableIniFile(fileName, TPortableIniFile::TNewFile{}), *kept->whole);
      else
        ini.writeChanges(*kept->before, *kept->now);
    });
  };
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
  return heldChange(held, fileName, what) != held.changes.end();
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
  return savingKept(fileName, keptSettings(fileName, baseline, write));
}

void holdSettingsChange(const std::string& fileName, const std::string& what, const TSettingsBaseline& baseline,
                        const TSettingsBaseline::TWriter& write) {
  std::shared_ptr<const TKeptSettings> kept = keptSettings(fileName, baseline, write);
  TChangeSave save = savingKept(fileName, kept);
  holdChange(fileName, what, [save = std::move(save)](const std::string&) { return save(); }, false, std::move(kept));
}

bool saveHolding(const std::string& fileName, const std::string& what, TSettingsBaseline& baseline,
                 const TSettingsBaseline::TWriter& write) {
  if (baseline.save(fileName, write)) {
    forgetUnsavedChange(fileName, what);
    return true;
  }
  holdSettingsChange(fileName, what, baseline, write);
  return false;
}

std::optional<THeldSettings> heldSettings(const std::string& fileName, const std::string& what) {
  std::shared_ptr<const TKeptSettings> kept;
  {
    TUnsavedChanges& held = unsavedChanges();
    const std::lock_guard<std::mutex> guard(held.lock);
    const auto found = heldChange(held, fileName, what);
    // A file deleted since takes no retry: what was held for it is no
    // object's any more.
    if (found == held.changes.end() || goneSinceHeld(*found)) return std::nullopt;
    kept = found->settings;
  }
  if (!kept) return std::nullopt;
  THeldSettings held{nullptr, *kept->baseline};
  const TPortableIniFile standing(fileName);
  if (standing.readFailed()) {
    held.shown = std::make_unique<TPortableIniFile>(fileName, TPortableIniFile::TContent{kept->now->contentText()});
  } else {
    held.shown = std::make_unique<TPortableIniFile>(fileName, TPortableIniFile::TContent{standing.contentText()});
    held.shown->writeChanges(*kept->before, *kept->now);
  }
  return held;
}
