#pragma once
#include <map>
#include <memory>
#include <string>

class TPortableIniFile;

// The system files as the program last read them whole, by file name: what
// stands for a system whose file another program cut since, so that the
// System window shows and writes the system the program ran, not what is
// left of it.
class TWholeSystemFiles {
 public:
  // After a read that found a whole system: kept while the file exists; a
  // file gone is a system deleted, which nothing brings back.
  void keep(const TPortableIniFile& ini);
  // What the file held when last read whole; nullptr when it never was.
  std::unique_ptr<TPortableIniFile> wholeRead(const std::string& fileName) const;

 private:
  std::map<std::string, std::string> texts_;
};
