#include "model/PortfolioTable.h"

#include <algorithm>
#include <utility>

#include "model/ChangeStamps.h"
#include "model/Directories.h"
#include "model/Forex.h"
#include "model/Portfolio.h"
#include "model/PortfolioList.h"
#include "model/PriceCache.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

TPortfolioTable::TPortfolioTable() { clear(); }

TPortfolioTable::~TPortfolioTable() {
  while (!portfolios_.empty()) portfolios_.pop_back();
}

void TPortfolioTable::clear() {
  dates_.clear();
  while (!portfolios_.empty()) portfolios_.pop_back();
  // The serial numbers go on counting: windows know the portfolio they show
  // by its serial alone, so a reopened table must not give an old one again.
  setCurrentIndex(-1);
  lastChange_ = changeStamp();
  currentChange_ = lastChange_;
}

int TPortfolioTable::indexOfFolder(const std::string& folder) const {
  const std::string wanted = includeTrailingBackslash(folder);
  for (size_t i = 0; i < portfolios_.size(); ++i) {
    if (sameText(portfolios_[i]->Folder(), wanted)) return static_cast<int>(i);
  }
  return -1;
}

int TPortfolioTable::open(const std::string& folder, bool onlyIfLoadAlways, const TProgressProcedure& progress,
                          void* cookie, bool withAssets, bool setLoadAlways) {
  return openFolder(folder, onlyIfLoadAlways, progress, cookie, withAssets, setLoadAlways, nullptr);
}

int TPortfolioTable::openFolder(const std::string& folder, bool onlyIfLoadAlways, const TProgressProcedure& progress,
                                void* cookie, bool withAssets, bool setLoadAlways, bool* skippedAsNotLoadAlways) {
  if (skippedAsNotLoadAlways != nullptr) *skippedAsNotLoadAlways = false;
  if (indexOfFolder(folder) >= 0) return 0;
  try {
    auto portfolio = std::make_unique<TPortfolio>(serialCounter_);
    int result = portfolio->load(folder, onlyIfLoadAlways, progress, cookie, withAssets, setLoadAlways,
                                 skippedAsNotLoadAlways);
    if (result != 0) return result;
    if (withAssets) {
      result = portfolio->rebuildDates();
      const size_t before = dates_.size();
      if (result == 0) result = portfolio->mergeDatesInto(dates_);
      if (result != 0) {
        dates_.clear();
        lastChange_ = changeStamp();
        return result;
      }
      sortAppendedDates(dates_, before);
    }
    portfolios_.push_back(std::move(portfolio));
    reportProgress(progress, cookie, progressPortfolioOpened,
                   objectLabel(portfolios_.back()->Name(), portfolios_.back()->Symbol()));
    return 0;
  } catch (const std::exception&) {
    return -5;
  }
}

int TPortfolioTable::openAll(const std::string& root, bool onlyIfLoadAlways, const TProgressProcedure& progress,
                             void* cookie, bool withAssets, bool setLoadAlways) {
  reportProgress(progress, cookie, progressOpeningAll, "");
  clear();
  reportProgress(progress, cookie, progressReady, "");
  if (!folderExists(root)) {
    reportProgress(progress, cookie, progressRootMissing, root);
    return -2;
  }
  int result = 0;
  for (const std::string& folder : portfolioFolders(root)) {
    bool skipped = false;
    const int opened = openFolder(folder, onlyIfLoadAlways, progress, cookie, withAssets, setLoadAlways, &skipped);
    // Only a portfolio left closed because it is not marked to load always
    // is no error; a -7 of one of its assets (a price file without a valid
    // line) is.
    if (result == 0 && !skipped) result = opened;
  }
  return result;
}

int TPortfolioTable::close(const std::string& folder, bool clearLoadAlways, const TProgressProcedure& progress,
                           void* cookie) {
  const int index = indexOfFolder(folder);
  if (index < 0) return 0;
  TPortfolio& portfolio = *portfolios_[static_cast<size_t>(index)];
  const std::string label = objectLabel(portfolio.Name(), portfolio.Symbol());
  reportProgress(progress, cookie, progressPortfolioClosing, label);
  const bool loadAlways = portfolio.LoadAlways();
  if (clearLoadAlways) portfolio.setLoadAlways(false);
  const int result = portfolio.save();
  if (result != 0) {
    // Freeing it now would lose what could not be written.
    portfolio.setLoadAlways(loadAlways);
    reportProgress(progress, cookie, progressReady, label);
    return result;
  }
  lastChange_ = changeStamp();
  if (index < currentIndex_) {
    --currentIndex_;
    currentChange_ = lastChange_;
  } else if (index == currentIndex_) {
    currentIndex_ = -1;
    currentChange_ = lastChange_;
  }
  portfolios_.erase(portfolios_.begin() + index);
  reportProgress(progress, cookie, progressReady, label);
  return 0;
}

std::vector<std::string> TPortfolioTable::recordFiles() const {
  std::vector<std::string> files;
  for (const auto& portfolio : portfolios_) portfolio->recordFiles(files);
  return files;
}

int TPortfolioTable::saveAll(std::vector<std::string>* unsavedFiles) {
  // Most files are held unchanged, and each is only looked up for what
  // another program did to it: the look-ups go first, side by side.
  return saveAll(TFileStamps(recordFiles()), unsavedFiles);
}

int TPortfolioTable::saveAll(const TFileStamps& stamps, std::vector<std::string>* unsavedFiles) {
  int result = 0;
  for (const auto& portfolio : portfolios_) {
    const int saved = portfolio->save(stamps);
    if (unsavedFiles != nullptr)
      unsavedFiles->insert(unsavedFiles->end(), portfolio->UnsavedFiles().begin(), portfolio->UnsavedFiles().end());
    if (result == 0) result = saved;
  }
  return result;
}

int TPortfolioTable::newPortfolio(const std::string& name, const std::string& symbol, std::string& folder,
                                  const std::string& root, const std::string& currency) {
  try {
    folder = uniqueFileName(root, "", "", 1, INT32_MAX);
    if (folder.empty()) return -4;
    folder = includeTrailingBackslash(folder);
    // The maker is gone before the folder is opened; it takes no serial
    // number of the table's.
    int32_t makerSerials = 0;
    int result = TPortfolio(makerSerials).createNew(name, symbol, folder, currency);
    if (result != 0) return result;
    return open(folder, false, {}, nullptr, true, false);
  } catch (const std::exception&) {
    return -5;
  }
}

int TPortfolioTable::duplicatePortfolio(int index, const std::string& root) {
  TPortfolio* portfolio = items(index);
  if (portfolio == nullptr) return -7;
  try {
    const std::string folder = uniqueFileName(root, "", "", 1, INT32_MAX);
    if (folder.empty()) return -4;
    if (portfolio->save() != 0) return -4;
    if (!copyTree(portfolio->Folder(), folder, true)) return -4;
    return open(folder, false, {}, nullptr, true, false);
  } catch (const std::exception&) {
    return -5;
  }
}

int TPortfolioTable::deletePortfolio(int index, std::string* refusal) {
  TPortfolio* portfolio = items(index);
  if (portfolio == nullptr) return -7;
  // A portfolio goes whole or stays whole: a folder with some of its files
  // gone no longer opens, and one whose header stayed comes back at the next
  // start. One whose header went is gone, whatever another program kept of
  // the rest: saved at the close, it would come back without it.
  std::string why;
  const bool gone = portfolio->deleteFiles(why);
  if (refusal) *refusal = why;
  if (!gone) return -4;
  lastChange_ = changeStamp();
  portfolios_.erase(portfolios_.begin() + index);
  return rebuildDates();
}

int TPortfolioTable::rebuildDates() {
  dates_.clear();
  for (const auto& portfolio : portfolios_) {
    int result = portfolio->rebuildDates();
    const size_t before = dates_.size();
    if (result == 0) result = portfolio->mergeDatesInto(dates_);
    if (result != 0) {
      dates_.clear();
      return result;
    }
    sortAppendedDates(dates_, before);
  }
  return 0;
}

int TPortfolioTable::reloadPrices() {
  const int reloaded = pricesTable().reloadAll();
  const int rebuilt = rebuildDates();
  return reloaded != 0 ? reloaded : rebuilt;
}

int TPortfolioTable::loadForexTables(const TProgressProcedure& progress, void* cookie) {
  int result = 0;
  for (const auto& portfolio : portfolios_) {
    const int loaded = portfolio->loadForexTables(progress, cookie);
    if (result == 0) result = loaded;
  }
  return result;
}

int TPortfolioTable::reloadForexTables(const TProgressProcedure& progress, void* cookie) {
  forexTables().clearTables();
  return loadForexTables(progress, cookie);
}

TPortfolio* TPortfolioTable::items(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return portfolios_[static_cast<size_t>(index)].get();
}

int TPortfolioTable::currentIndex() const { return currentIndex_ >= 0 && currentIndex_ < count() ? currentIndex_ : -1; }

void TPortfolioTable::setCurrentIndex(int index) {
  if (index == currentIndex_) return;
  currentChange_ = changeStamp();
  currentIndex_ = index;
  if (TPortfolio* portfolio = items(index)) portfolio->setCurrentAssetIndex(-1);
}

TPortfolio* TPortfolioTable::current() const { return items(currentIndex()); }

TPortfolio* TPortfolioTable::withSerial(int32_t serial) const {
  for (const auto& portfolio : portfolios_)
    if (portfolio->Serial() == serial) return portfolio.get();
  return nullptr;
}

double TPortfolioTable::lastChange() const {
  double latest = lastChange_;
  for (const auto& portfolio : portfolios_) latest = std::max(latest, portfolio->lastChange());
  return latest;
}

int TPortfolioTable::lastDate(double& date, bool& found) const {
  found = !dates_.empty();
  if (!found) return -1;
  date = dates_.back();
  return static_cast<int>(dates_.size()) - 1;
}

void TPortfolioTable::pickDate(TPortfolioDate portfolioDate, bool later, double& date, bool& found) {
  found = !portfolios_.empty();
  for (size_t i = 0; i < portfolios_.size(); ++i) {
    double candidate = 0;
    bool ok = false;
    (portfolios_[i].get()->*portfolioDate)(candidate, ok);
    if (!ok) {
      found = false;
      return;
    }
    if (i == 0 || (later ? candidate > date : candidate < date)) date = candidate;
  }
}

void TPortfolioTable::firstTradeDate(double& date, bool& found) {
  pickDate(&TPortfolio::firstTradeDate, false, date, found);
}

void TPortfolioTable::latestFirstTradeDate(double& date, bool& found) {
  pickDate(&TPortfolio::firstTradeDate, true, date, found);
}

void TPortfolioTable::earliestLastQuoteDate(double& date, bool& found) {
  pickDate(&TPortfolio::earliestLastQuoteDate, false, date, found);
}

void TPortfolioTable::convertCurrency(const std::string& fromCurrency, const std::string& toCurrency, bool& ok,
                                      double& rateDate, double date, long double& result, long double amount) const {
  ok = forexTables().convert(fromCurrency, toCurrency, amount, date, true, result, rateDate);
}
