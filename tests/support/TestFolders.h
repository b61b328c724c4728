#pragma once
#include <string>

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
