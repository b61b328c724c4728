#include "platform/FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/FolderCasing.h"
#include "platform/SequentialFile.h"

namespace {

constexpr DWORD invalidAttributes = INVALID_FILE_ATTRIBUTES;
// ReadFile and WriteFile take 32-bit counts; stay well below that.
constexpr size_t ioChunk = 1u << 24;

class TFileHandle {
 public:
  explicit TFileHandle(HANDLE handle) : handle_(handle) {}
  ~TFileHandle() { close(); }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool close() {
    if (!valid()) return true;
    bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// What the handle's file holds now; unknown when it cannot be told.
TFileStamp stampOf(HANDLE file) {
  LARGE_INTEGER size{};
  FILETIME written{};
  if (!GetFileSizeEx(file, &size) || !GetFileTime(file, nullptr, nullptr, &written)) return {};
  return {size.QuadPart, (static_cast<int64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime};
}

TFileStamp stampOf(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, const FILETIME& written) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {};
  return {(static_cast<int64_t>(sizeHigh) << 32) | sizeLow,
          (static_cast<int64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime};
}

class TFindHandle {
 public:
  explicit TFindHandle(HANDLE handle) : handle_(handle) {}
  ~TFindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  TFindHandle(const TFindHandle&) = delete;
  TFindHandle& operator=(const TFindHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

DWORD attributesOf(const std::string& path) { return GetFileAttributesA(onDiskPath(path).c_str()); }

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min(bytes.size(), ioChunk));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written != chunk) return false;
    bytes.remove_prefix(chunk);
  }
  return true;
}

// A name beside the target that no other writer uses: the target's own name
// keeps a leftover after a power cut recognisable.
std::string temporaryNameFor(const std::string& fileName) {
  static std::atomic<unsigned> counter{0};
  char suffix[40];
  std::snprintf(suffix, sizeof suffix, ".~%lx-%x.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                counter++);
  return fileName + suffix;
}

// A creation or rename that failed because the name is taken. A folder of
// that name answers "access denied", as does a folder that may not be
// written to: only the first is a taken name.
bool nameTakenError(DWORD error, const std::string& fileName) {
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
         (error == ERROR_ACCESS_DENIED && pathExists(fileName));
}

// Opens a file for writing alone through its exact name first; whatever
// that fails on (a folder changed since its Unix name was found, a name
// taken) the usual path answers, and its error is the one left.
HANDLE openForWriting(const std::string& fileName, DWORD disposition) {
  const std::wstring exactName = exactFileName(fileName);
  if (!exactName.empty()) {
    HANDLE opened =
        CreateFileW(exactName.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened != INVALID_HANDLE_VALUE) return opened;
  }
  return CreateFileA(onDiskPath(fileName).c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

std::string withoutTrailingBackslashes(std::string path) {
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && path[path.size() - 2] != ':')
    path.pop_back();
  return path;
}

}  // namespace

bool readFileBytes(const std::string& fileName, std::string& bytes, std::size_t maxSize) {
  bytes.clear();
  TSequentialFile file;
  if (!file.open(fileName)) return false;
  const auto size = static_cast<std::uint64_t>(std::max<int64_t>(file.size(), 0));
  if (size > maxSize) return false;
  // One byte more than the size, so that the end is seen without a regrowth
  // unless the file grew meanwhile.
  bytes.resize(std::max<size_t>(static_cast<size_t>(size) + 1, 4096));
  size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() * 2);
    const int64_t got = file.read(bytes.data() + filled, std::min(bytes.size() - filled, ioChunk));
    if (got <= 0) {
      bytes.resize(filled);
      return got == 0;
    }
    filled += static_cast<size_t>(got);
  }
}

bool namesDevice(const std::string& path) {
  if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0) return true;
  const size_t cut = path.find_last_of("\\/:");
  std::string name = path.substr(cut == std::string::npos ? 0 : cut + 1);
  // Windows ignores the extension and trailing blanks of a device name.
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL" || name == "CONIN$" || name == "CONOUT$")
    return true;
  return name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("LPT", 0) == 0) && name[3] >= '0' &&
         name[3] <= '9';
}

bool writeFileAtomically(const std::string& fileName, std::string_view bytes, TFileStamp* written) {
  // A device is no file to replace, and its temporary name would be the
  // device again.
  if (namesDevice(fileName)) return false;
  // Windows refuses to replace a read-only file, Wine does not: refuse it
  // here so a file the user protected stays protected everywhere.
  DWORD existing = attributesOf(fileName);
  if (existing != invalidAttributes && (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;
  std::string temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = temporaryNameFor(fileName);
    created = CreateFileA(onDiskPath(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  TFileHandle file(created);
  if (!file.valid()) return false;
  bool complete = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
  // The move keeps the size and time of what was written.
  if (complete && written != nullptr) *written = stampOf(file.get());
  complete = file.close() && complete;
  if (complete &&
      MoveFileExA(onDiskPath(temporary).c_str(), onDiskPath(fileName).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(onDiskPath(temporary).c_str());
  return false;
}

TNewFileResult createNewFile(const std::string& fileName, std::string_view bytes, bool durable, TFileStamp* written) {
  if (namesDevice(fileName)) return TNewFileResult::failed;
  TFileHandle file(openForWriting(fileName, CREATE_NEW));
  if (!file.valid())
    return nameTakenError(GetLastError(), fileName) ? TNewFileResult::nameTaken : TNewFileResult::failed;
  bool complete = writeAll(file.get(), bytes) && (!durable || FlushFileBuffers(file.get()));
  if (complete && written != nullptr) *written = stampOf(file.get());
  complete = file.close() && complete;
  if (complete) return TNewFileResult::created;
  DeleteFileA(onDiskPath(fileName).c_str());
  return TNewFileResult::failed;
}

bool overwriteFile(const std::string& fileName, std::string_view bytes, bool durable, TFileStamp* written) {
  if (namesDevice(fileName)) return false;
  TFileHandle file(openForWriting(fileName, OPEN_EXISTING));
  if (!file.valid()) return false;
  LARGE_INTEGER oldSize{};
  if (!GetFileSizeEx(file.get(), &oldSize) || !writeAll(file.get(), bytes)) return false;
  // Cut only when the old text was longer: the size is read where the
  // handle is, the cut is one more call to the Wine server.
  if (oldSize.QuadPart > static_cast<LONGLONG>(bytes.size()) && !SetEndOfFile(file.get())) return false;
  if (durable && !FlushFileBuffers(file.get())) return false;
  if (written != nullptr) *written = stampOf(file.get());
  return file.close();
}

std::vector<TFoundFile> findFiles(const std::string& pattern) {
  std::vector<TFoundFile> entries;
  WIN32_FIND_DATAA found;
  TFindHandle search(FindFirstFileA(onDiskPath(pattern).c_str(), &found));
  if (search.get() == INVALID_HANDLE_VALUE) return entries;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    entries.push_back({std::move(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                       stampOf(found.dwFileAttributes, found.nFileSizeHigh, found.nFileSizeLow,
                               found.ftLastWriteTime)});
  } while (FindNextFileA(search.get(), &found));
  return entries;
}

bool fileExists(const std::string& fileName) {
  DWORD attributes = attributesOf(fileName);
  return attributes != invalidAttributes && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::string& folder) {
  DWORD attributes = attributesOf(folder);
  return attributes != invalidAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool pathExists(const std::string& path) { return attributesOf(path) != invalidAttributes; }

bool pathExists(const std::string& path, TFileStamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  stamp = {};
  if (!GetFileAttributesExA(onDiskPath(path).c_str(), GetFileExInfoStandard, &data)) return false;
  stamp = stampOf(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
  return true;
}

bool isReparsePoint(const std::string& path) {
  DWORD attributes = attributesOf(withoutTrailingBackslashes(path));
  return attributes != invalidAttributes && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool deleteFile(const std::string& fileName) { return DeleteFileA(onDiskPath(fileName).c_str()) != 0; }

bool removeFolder(const std::string& folder) {
  return RemoveDirectoryA(onDiskPath(withoutTrailingBackslashes(folder)).c_str()) != 0;
}

bool createFolder(const std::string& folder) { return CreateDirectoryA(onDiskPath(folder).c_str(), nullptr) != 0; }

bool forceFolders(const std::string& folder) {
  std::string path = withoutTrailingBackslashes(folder);
  if (path.empty()) return false;
  if (folderExists(path)) return true;
  size_t cut = path.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0) {
    std::string parent = path.substr(0, cut);
    // A drive ("C:") or UNC share root cannot be created; it either exists or
    // the folder below it fails to appear.
    if (parent.back() != ':' && parent != "\\" && !forceFolders(parent)) return false;
  }
  CreateDirectoryA(onDiskPath(path).c_str(), nullptr);
  return folderExists(path);
}

bool copyFile(const std::string& source, const std::string& target, bool failIfExists) {
  return CopyFileA(onDiskPath(source).c_str(), onDiskPath(target).c_str(), failIfExists ? TRUE : FALSE) != 0;
}

int64_t fileAge(const std::string& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(onDiskPath(fileName).c_str(), GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

std::string fullPathName(const std::string& path) {
  if (path.empty()) return "";
  DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return "";
  std::string full(needed, '\0');
  DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return "";
  full.resize(length);
  return full;
}
