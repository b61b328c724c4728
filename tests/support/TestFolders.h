#pragma once
#include <windows.h>

#include <string>

#include "platform/FileSystem.h"

// A fresh, empty folder under the Windows temporary folder, deleted with
// all its contents when the object goes. The path ends in a backslash.
class TTemporaryFolder {
 public:
  TTemporaryFolder();
  ~TTemporaryFolder();
  TTemporaryFolder(const TTemporaryFolder&) = delete;
  TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The sample working folder of the repository as a Windows path with a
// trailing backslash (from the test environment; Wine maps "/" to "Z:\").
std::string sampleDataFolder();
// The language file the build puts beside the program, as a Windows path.
std::string deliveredLanguageFile();

std::string readWholeFile(const std::string& fileName);
void writeWholeFile(const std::string& fileName, const std::string& bytes);

// A file or folder opened by another program that shares it with nobody
// (or as share says: a console holds its current folder shared for reading
// and writing, not for deletion), until the object goes or release is
// called.
class THeldFile {
 public:
  explicit THeldFile(const std::string& name, DWORD share = 0)
      : handle(CreateFileA(name.c_str(), GENERIC_READ | (folderExists(name) ? 0 : GENERIC_WRITE), share, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
  ~THeldFile() { release(); }
  THeldFile(const THeldFile&) = delete;
  THeldFile& operator=(const THeldFile&) = delete;
  bool held() const { return handle != INVALID_HANDLE_VALUE; }
  void release() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
  }
  HANDLE handle;
};
