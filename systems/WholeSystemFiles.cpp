#include "systems/WholeSystemFiles.h"

#include "model/PortableIniFile.h"
#include "model/PortfolioTable.h"
#include "platform/FileSystem.h"

void TWholeSystemFiles::keep(int32_t portfolio, const TPortableIniFile& ini) {
  if (pathExists(ini.FileName()))
    files_[portfolio] = {ini.FileName(), ini.contentText()};
  else
    files_.erase(portfolio);
}

std::unique_ptr<TPortableIniFile> TWholeSystemFiles::wholeRead(int32_t portfolio, const std::string& fileName) const {
  const auto found = files_.find(portfolio);
  if (found == files_.end() || found->second.fileName != fileName) return nullptr;
  return std::make_unique<TPortableIniFile>(fileName, TPortableIniFile::TContent{found->second.text});
}

void TWholeSystemFiles::keepOnlyOpen(const TPortfolioTable& table) {
  std::erase_if(files_, [&table](const auto& kept) { return table.withSerial(kept.first) == nullptr; });
}
