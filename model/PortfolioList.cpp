#include "model/PortfolioList.h"

#include "model/Directories.h"
#include "model/Portfolio.h"
#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

std::vector<std::string> portfolioFolders(const std::string& root) {
  const std::string path = includeTrailingBackslash(root);
  std::vector<std::string> folders;
  for (const TFoundFile& entry : findFiles(path + "*.*")) {
    int number = 0;
    // A name that is not a number counts as 0.
    if (entry.isFolder && iniTextToInteger(entry.name, number) && number > 0) folders.push_back(path + entry.name);
  }
  return folders;
}

TPortfolioList::TPortfolioList() = default;

TPortfolioList::~TPortfolioList() { clear(); }

void TPortfolioList::clear() {
  while (!portfolios_.empty()) portfolios_.pop_back();
  serialCounter_ = 0;
}

int TPortfolioList::indexOfFolder(const std::string& folder) const {
  const std::string wanted = includeTrailingBackslash(folder);
  for (size_t i = 0; i < portfolios_.size(); ++i) {
    if (sameText(portfolios_[i]->Folder(), wanted)) return static_cast<int>(i);
  }
  return -1;
}

int TPortfolioList::add(const std::string& folder) {
  if (indexOfFolder(folder) >= 0) return 0;
  try {
    auto portfolio = std::make_unique<TPortfolio>(serialCounter_);
    const int result = portfolio->load(folder, false, {}, nullptr, false, false);
    if (result == 0) portfolios_.push_back(std::move(portfolio));
    return result;
  } catch (const std::exception&) {
    return -5;
  }
}

int TPortfolioList::scan(const std::string& root) {
  if (!folderExists(root)) return -2;
  int result = 0;
  for (const std::string& folder : portfolioFolders(root)) {
    const int added = add(folder);
    if (result == 0) result = added;
  }
  return result;
}

int TPortfolioList::saveLoadAlways() {
  int result = 0;
  for (const auto& portfolio : portfolios_) {
    const int saved = portfolio->saveLoadAlways();
    if (result == 0) result = saved;
  }
  return result;
}

TPortfolio* TPortfolioList::items(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return portfolios_[static_cast<size_t>(index)].get();
}
