#include "model/DeletionRefusal.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include "model/Directories.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"
#include "platform/FileThreads.h"
#include "platform/FolderCasing.h"

namespace {

class TDeletionProbe {
 public:
  explicit TDeletionProbe(const std::string& onDisk)
      : handle_(CreateFileA(onDisk.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)),
        error_(GetLastError()) {}
  ~TDeletionProbe() {
    if (opened()) CloseHandle(handle_);
  }
  TDeletionProbe(const TDeletionProbe&) = delete;
  TDeletionProbe& operator=(const TDeletionProbe&) = delete;
  bool opened() const { return handle_ != INVALID_HANDLE_VALUE; }
  DWORD error() const { return error_; }

 private:
  HANDLE handle_;
  DWORD error_;
};

bool namesFolder(const std::string& path) { return !path.empty() && path.back() == '\\'; }

// A folder as the user reads it: without its trailing backslash.
std::string shownPath(const std::string& path) { return namesFolder(path) ? path.substr(0, path.size() - 1) : path; }

// Why deleting the file or removing the folder would fail, without deleting
// it: empty when it can go, or is gone already.
std::string pathDeletionRefusal(const std::string& path) {
  if (path.empty()) return {};
  const std::string onDisk = onDiskPath(path);
  const DWORD attributes = GetFileAttributesA(onDisk.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  if (attributes & FILE_ATTRIBUTE_READONLY) return "is read-only";
  // Opened for deletion while letting every other program share it: only a
  // program that holds the file or folder without letting it be deleted
  // refuses this.
  const TDeletionProbe probe(onDisk);
  if (probe.opened() || probe.error() == ERROR_FILE_NOT_FOUND || probe.error() == ERROR_PATH_NOT_FOUND) return {};
  return probe.error() == ERROR_SHARING_VIOLATION || probe.error() == ERROR_LOCK_VIOLATION
             ? "is open in another program"
             : "cannot be deleted";
}

// Deletes the file, or the folder with everything in it; true when it is
// gone, also when it was gone already.
bool deletePath(const std::string& path) {
  if (path.empty() || !pathExists(path)) return true;
  if (namesFolder(path)) return deleteTree(path) || !pathExists(path);
  return deleteFile(path) || !pathExists(path);
}

// Why the path stays after its deletion failed: what the check finds now,
// else that it could not be deleted.
std::string whyItStays(const std::string& path) {
  const std::string why = firstDeletionRefusal({path});
  return why.empty() ? shownPath(path) + " could not be deleted" : why;
}

// What is left of a path after the object went, and why it stays.
std::string leftOnDisk(const std::string& path) {
  const std::string shown = shownPath(path);
  std::string why = whyItStays(path);
  // The path itself refused: "it is open ...", else the file inside that did.
  if (why.starts_with(shown + " ")) why = "it" + why.substr(shown.size());
  return shown + " is left on disk: " + why;
}

// Deletes an object's paths once they were asked, as deleteWhole tells.
bool deleteAsked(const std::vector<std::string>& paths, std::string& why) {
  if (!paths.empty() && !deletePath(paths.front())) {
    why = whyItStays(paths.front());
    return false;
  }
  for (size_t i = 1; i < paths.size(); ++i) {
    if (deletePath(paths[i])) continue;
    why += (why.empty() ? "" : "; ") + leftOnDisk(paths[i]);
  }
  // What waited for the files would bring them back, or land in whatever
  // takes their names next; a file left on disk is no object's any more.
  for (const std::string& path : paths)
    if (!path.empty()) letGoUnsavedChanges(path);
  return true;
}

// Why the path, or for a folder anything in it, would refuse its deletion;
// empty when all of it can go.
std::string refusalOf(const std::string& path) {
  if (namesFolder(path)) {
    if (isReparsePoint(path)) return {};
    std::vector<std::string> inside;
    for (const TFoundFile& entry : findFiles(path + "*"))
      inside.push_back(path + entry.name + (entry.isFolder && !entry.isReparsePoint ? "\\" : ""));
    if (std::string refusal = firstDeletionRefusal(inside); !refusal.empty()) return refusal;
  }
  const std::string why = pathDeletionRefusal(shownPath(path));
  return why.empty() ? why : shownPath(path) + " " + why;
}

}  // namespace

std::string firstDeletionRefusal(const std::vector<std::string>& paths) {
  // Under Wine each ask opens and closes the file through the server; a
  // system run asks thousands of soft transactions' files.
  const std::size_t threads = threadsForFiles(paths.size());
  if (threads <= 1) {
    for (const std::string& path : paths)
      if (std::string why = refusalOf(path); !why.empty()) return why;
    return {};
  }
  std::vector<std::string> refusals(paths.size());
  // Each thread asks its paths in order and stops past the first refusal
  // any thread found: every path before the final one was asked.
  std::atomic<std::size_t> firstRefused = paths.size();
  {
    std::vector<std::jthread> asking;
    for (std::size_t first = 0; first < threads; ++first)
      asking.emplace_back([&, first] {
        for (std::size_t i = first; i < paths.size() && i < firstRefused; i += threads) {
          refusals[i] = refusalOf(paths[i]);
          if (refusals[i].empty()) continue;
          std::size_t earliest = firstRefused;
          while (i < earliest && !firstRefused.compare_exchange_weak(earliest, i)) {
          }
        }
      });
  }
  return firstRefused < paths.size() ? refusals[firstRefused] : std::string();
}

bool deleteWhole(const std::vector<std::string>& paths, std::string& why) { return deleteAllWhole({paths}, why)[0]; }

std::vector<bool> deleteAllWhole(const std::vector<std::vector<std::string>>& objects, std::string& why) {
  std::vector<std::string> every;
  for (const std::vector<std::string>& paths : objects) every.insert(every.end(), paths.begin(), paths.end());
  why = firstDeletionRefusal(every);
  std::vector<bool> gone(objects.size(), false);
  if (!why.empty()) return gone;
  for (size_t i = 0; i < objects.size(); ++i) {
    std::string left;
    gone[i] = deleteAsked(objects[i], left);
    if (!left.empty()) why += (why.empty() ? "" : "; ") + left;
  }
  return gone;
}

std::string deletionNotice(const std::string& namedWas, bool went, const std::string& why, const std::string& done) {
  if (why.empty()) return {};
  return namedWas + (went ? " " + done + ", but " : " not " + done + ": ") + why + ".";
}
