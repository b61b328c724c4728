#include "tests/support/TestFolders.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

void removeTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(full + "\\");
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

// A Unix path the test environment names, as Wine sees it.
std::string windowsPathFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  std::string path = value ? value : "";
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

TTemporaryFolder::TTemporaryFolder() {
  static std::atomic<int> counter{0};
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string candidate = std::string(base) + "kestrova-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(counter++) + "\\";
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TTemporaryFolder::~TTemporaryFolder() { removeTree(path_); }

std::string sampleDataFolder() {
  std::string path = windowsPathFromEnvironment("KESTROVA_TEST_DATA");
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

std::string deliveredLanguageFile() { return windowsPathFromEnvironment("KESTROVA_TEST_LANGUAGE"); }

std::string readWholeFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeWholeFile(const std::string& fileName, const std::string& bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out << bytes;
}
