#include "platform/FolderCasing.h"

#include <windows.h>

#include "platform/LocaleSettings.h"

namespace {

bool isDriveRoot(const std::string& folder) {
  return folder.size() == 3 && folder[1] == ':' && folder[2] == '\\' && IsCharAlphaA(folder[0]);
}

// Only parts that name one entry are looked up; the rest stay as written.
bool isPlainName(const std::string& part) {
  return !part.empty() && part != "." && part != ".." && part.find_first_of("*?/\"<>|:") == std::string::npos;
}

}  // namespace

std::string TFolderCasing::onDisk(const std::string& path) {
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\' || path.find('/') != std::string::npos) return path;
  const size_t nameStart = path.rfind('\\') + 1;
  const std::lock_guard<std::mutex> guard(lock_);
  return folderOnDisk(path.substr(0, nameStart)) + path.substr(nameStart);
}

std::string TFolderCasing::folderOnDisk(const std::string& folder) {
  if (isDriveRoot(folder)) return folder;
  const auto known = folders_.find(folder);
  if (known != folders_.end()) return known->second;
  const size_t partStart = folder.rfind('\\', folder.size() - 2) + 1;
  const std::string part = folder.substr(partStart, folder.size() - 1 - partStart);
  const std::string parent = folderOnDisk(folder.substr(0, partStart));
  if (!isPlainName(part)) return parent + part + '\\';
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((parent + part).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return parent + part + '\\';  // not there yet: asked again later
  FindClose(search);
  // A short (8.3) name finds the long one; such a part stays as written.
  const bool sameName = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && sameText(found.cFileName, part);
  const std::string result = parent + (sameName ? std::string(found.cFileName) : part) + '\\';
  folders_.emplace(folder, result);
  return result;
}

std::string onDiskPath(const std::string& path) {
  static TFolderCasing casing;
  return casing.onDisk(path);
}
