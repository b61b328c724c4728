#include "model/DeletionRefusal.h"

#include <windows.h>

#include "platform/FileSystem.h"
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

// Why deleting the file would fail, without deleting it: empty when it can
// go, or is gone already.
std::string fileDeletionRefusal(const std::string& fileName) {
  if (fileName.empty()) return {};
  const std::string onDisk = onDiskPath(fileName);
  const DWORD attributes = GetFileAttributesA(onDisk.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  if (attributes & FILE_ATTRIBUTE_READONLY) return "is read-only";
  // Opened for deletion while letting every other program share it: only a
  // program that holds the file without letting it be deleted refuses this.
  const TDeletionProbe probe(onDisk);
  if (probe.opened() || probe.error() == ERROR_FILE_NOT_FOUND || probe.error() == ERROR_PATH_NOT_FOUND) return {};
  return probe.error() == ERROR_SHARING_VIOLATION || probe.error() == ERROR_LOCK_VIOLATION
             ? "is open in another program"
             : "cannot be deleted";
}

}  // namespace

std::string firstDeletionRefusal(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const bool folder = !path.empty() && path.back() == '\\';
    if (!folder) {
      const std::string why = fileDeletionRefusal(path);
      if (!why.empty()) return path + " " + why;
      continue;
    }
    if (isReparsePoint(path)) continue;
    std::vector<std::string> inside;
    for (const TFoundFile& entry : findFiles(path + "*"))
      inside.push_back(path + entry.name + (entry.isFolder && !entry.isReparsePoint ? "\\" : ""));
    const std::string refusal = firstDeletionRefusal(inside);
    if (!refusal.empty()) return refusal;
  }
  return {};
}
