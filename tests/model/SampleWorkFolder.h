#pragma once
#include <map>
#include <string>

#include "model/Directories.h"
#include "model/Forex.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

// A private copy of the sample working folder, with the named directories
// pointing into it and the currency tables of earlier tests forgotten.
class TSampleWorkFolder {
 public:
  TSampleWorkFolder() {
    copyTree(sampleDataFolder(), root, true);
    setDirectory("<DATA>", data);
    setDirectory("<FOLIOS>", folios);
    setDirectory("<QUOTES>", quotes);
    setDirectory("<FOREX>", forex);
    forexTables().clearTables();
  }
  ~TSampleWorkFolder() { forexTables().clearTables(); }

  TTemporaryFolder temporary;
  std::string root = temporary.path() + "work\\";
  std::string data = root + "DATA\\";
  std::string folios = data + "FOLIOS\\";
  std::string quotes = data + "QUOTES\\";
  std::string forex = data + "FOREX\\";
};

// Every file and folder below a folder: relative path to content, folders
// with a trailing backslash and no content.
inline void collectFolder(const std::string& folder, const std::string& relative,
                          std::map<std::string, std::string>& contents) {
  for (const TFoundFile& entry : findFiles(folder + relative + "*")) {
    if (entry.isFolder) {
      contents[relative + entry.name + "\\"] = "";
      collectFolder(folder, relative + entry.name + "\\", contents);
    } else {
      contents[relative + entry.name] = readWholeFile(folder + relative + entry.name);
    }
  }
}

inline std::map<std::string, std::string> folderContents(const std::string& folder) {
  std::map<std::string, std::string> contents;
  collectFolder(includeTrailingBackslash(folder), "", contents);
  return contents;
}
