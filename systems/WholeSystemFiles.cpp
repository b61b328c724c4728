#include "systems/WholeSystemFiles.h"

#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"

void TWholeSystemFiles::keep(const TPortableIniFile& ini) {
  if (pathExists(ini.FileName()))
    texts_[ini.FileName()] = ini.contentText();
  else
    texts_.erase(ini.FileName());
}

std::unique_ptr<TPortableIniFile> TWholeSystemFiles::wholeRead(const std::string& fileName) const {
  const auto found = texts_.find(fileName);
  if (found == texts_.end()) return nullptr;
  return std::make_unique<TPortableIniFile>(fileName, TPortableIniFile::TContent{found->second});
}
