#include "platform/FolderCasing.h"

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <shared_mutex>

#include "platform/LocaleSettings.h"

namespace {

// Wine's kernel32 answers a Windows path's Unix path through this export;
// Windows has none.
using TWineUnixFileName = char*(__cdecl*)(const wchar_t*);

TWineUnixFileName wineUnixFileName() {
  static const auto function = reinterpret_cast<TWineUnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  return function;
}

std::wstring widened(const std::string& text, UINT codePage) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

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
  {
    const std::shared_lock reading(lock_);
    const auto known = folders_.find(std::string_view(path).substr(0, nameStart));
    if (known != folders_.end()) return known->second + path.substr(nameStart);
  }
  const std::unique_lock adding(lock_);
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

std::wstring TFolderCasing::exactFileName(const std::string& path) {
  const TWineUnixFileName unixFileName = wineUnixFileName();
  const size_t nameStart = path.rfind('\\') + 1;
  if (!unixFileName || nameStart == 0 || !isPlainName(path.substr(nameStart))) return {};
  const std::string folder = path.substr(0, nameStart);
  const std::wstring name = widened(path.substr(nameStart), CP_ACP);
  {
    const std::shared_lock reading(lock_);
    const auto known = unixFolders_.find(folder);
    if (known != unixFolders_.end()) return known->second + name;
  }
  const std::unique_lock adding(lock_);
  auto known = unixFolders_.find(folder);
  if (known == unixFolders_.end()) {
    char* unixPath = unixFileName(widened(folder, CP_ACP).c_str());
    if (!unixPath) return {};
    std::string folderPath = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    if (folderPath.empty() || folderPath[0] != '/') return {};
    if (folderPath.back() != '/') folderPath += '/';
    // Unix names are in the system's UTF-8.
    known = unixFolders_.emplace(folder, L"\\\\?\\unix" + widened(folderPath, CP_UTF8)).first;
  }
  return known->second + name;
}

namespace {
TFolderCasing& programCasing() {
  static TFolderCasing casing;
  return casing;
}
}  // namespace

std::string onDiskPath(const std::string& path) { return programCasing().onDisk(path); }

std::wstring exactFileName(const std::string& path) { return programCasing().exactFileName(path); }
