#include "platform/SequentialFile.h"

#include <windows.h>

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/FolderCasing.h"

namespace {
constexpr size_t maxReadPerCall = 1 << 30;
}  // namespace

TSequentialFile::~TSequentialFile() { close(); }

bool TSequentialFile::open(const std::string& fileName) {
  close();
  // Opening a serial port or the console may wait for ever: such names are
  // refused before anything is opened.
  if (namesDevice(fileName)) return false;
  HANDLE handle = CreateFileA(onDiskPath(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return false;
  }
  handle_ = handle;
  LARGE_INTEGER size;
  size_ = GetFileSizeEx(handle, &size) ? size.QuadPart : 0;
  return true;
}

TFileStamp TSequentialFile::stamp() const {
  FILETIME written{};
  if (handle_ == nullptr || !GetFileTime(handle_, nullptr, nullptr, &written)) return {};
  return {size_, (static_cast<int64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime};
}

void TSequentialFile::close() {
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = nullptr;
  size_ = 0;
}

int64_t TSequentialFile::read(char* buffer, size_t capacity) {
  if (handle_ == nullptr) return -1;
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, static_cast<DWORD>(std::min(capacity, maxReadPerCall)), &got, nullptr)) return -1;
  return got;
}
