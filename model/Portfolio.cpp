#include "model/Portfolio.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "model/ChangeStamps.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/Forex.h"
#include "model/LanguageStrings.h"
#include "model/NumberRange.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "model/RecordCheck.h"
#include "model/Prices.h"
#include "platform/FileReadAhead.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

const char* const headerFile = "0.INI";
const char* const portfolioSection = "Portfolio";
// The header's own sections, which its entry count counts.
const std::vector<std::string> countedSections = {portfolioSection, customPropertiesSection};
const char* const viewFolders[] = {"Browsers\\", "Charts\\", "Graphs\\"};
// A portfolio is refused whole rather than opened short of what its files
// hold: the user learns how to have it back.
const std::string mendAndOpenAgain = " Mend the file, or put back a copy of it, and open the portfolio again.";
constexpr int32_t largestAssetNumber = INT32_MAX;

// The number k of an asset file name "k.INI", k > 0 written as k is
// written; 0 for any other name. "01.INI" is no asset: loading it as asset
// 1 would load that asset twice or fail on a missing "1.INI".
int32_t assetNumberOf(const std::string& name) {
  const std::string extension = ".INI";
  if (name.size() <= extension.size() || !sameText(name.substr(name.size() - extension.size()), extension)) return 0;
  const std::string stem = name.substr(0, name.size() - extension.size());
  int number = 0;
  if (!iniTextToInteger(stem, number) || number <= 0 || std::to_string(number) != stem) return 0;
  return number;
}

}  // namespace

void sortAppendedDates(std::vector<double>& dates, size_t sortedCount) {
  const auto middle = dates.begin() + static_cast<std::ptrdiff_t>(std::min(sortedCount, dates.size()));
  std::sort(middle, dates.end());
  std::inplace_merge(dates.begin(), middle, dates.end());
}

TPortfolio::TPortfolio(int32_t& serialCounter) : serial_(++serialCounter) { clear(); }

TPortfolio::~TPortfolio() { clear(); }

void TPortfolio::clear() {
  setCurrentAssetIndex(-1);
  loadAlways_ = true;
  name_.clear();
  symbol_.clear();
  folder_.clear();
  currency_.clear();
  while (!assets_.empty()) assets_.pop_back();
  dates_.clear();
  transactionNumbers_.clear();
  TCustomPropertyObject::clear();
  savedHeader_.forget();
  lastChange_ = headerChange_ = changeStamp();
  currentAssetChange_ = assetsChange_ = lastChange_;
}

int TPortfolio::load(const std::string& folder, bool onlyIfLoadAlways, const TProgressProcedure& progress,
                     void* cookie, bool withAssets, bool setLoadAlways, bool* skippedAsNotLoadAlways) {
  if (skippedAsNotLoadAlways != nullptr) *skippedAsNotLoadAlways = false;
  clear();
  int result = 0;
  try {
    folder_ = includeTrailingBackslash(folder);
    const std::string header = folder_ + headerFile;
    if (folderExists(header)) {
      clear();
      reportLoadFailure("Portfolio not opened: its file " + header + " is a folder, not a file." + mendAndOpenAgain);
      return -3;
    }
    if (!fileExists(header)) {
      clear();
      return -2;
    }
    {
      TPortableIniFile ini(header);
      if (ini.readFailed()) {
        clear();
        return -3;
      }
      // A header without its section (emptied, damaged, in another
      // encoding) is no portfolio: opened, it would show made-up defaults,
      // and the close would write them over what the file holds. One cut
      // short would show defaults for what it lost.
      if (!ini.sectionExists(portfolioSection)) {
        clear();
        reportLoadFailure("Portfolio not opened: its file " + header + " holds no portfolio." + mendAndOpenAgain);
        return -3;
      }
      // The user knows a portfolio by its name, not by its folder's number.
      const std::string label = objectLabel(ini.readString(portfolioSection, "Name", ""),
                                            ini.readString(portfolioSection, "Symbol", ""));
      const std::string named = "Portfolio " + (label.empty() ? "" : shortLabel(label) + " ");
      // Without the entry count nothing tells a currency lost from one left
      // empty: opened, the portfolio's figures would be blank, and the next
      // save would write a count that seals the loss.
      std::vector<TWrittenKey> written = {{portfolioSection, "LoadAlways"}};
      if (!carriesEntryCount(ini)) written.push_back({portfolioSection, "Currency"});
      std::string cut = recordCutShort(ini, written);
      if (cut.empty()) cut = entriesCutOff(ini, countedSections);
      if (!cut.empty()) {
        clear();
        reportLoadFailure(named + "not opened: its file " + header + " " + cut + "." + mendAndOpenAgain);
        return -3;
      }
      // A mark that does not read is taken as not set, for the start and
      // the picks alike, and stays in the file until the user sets one
      // (opening the portfolio by a pick sets it below).
      TNumberReader numbers(ini);
      loadAlways_ = numbers.readBool(portfolioSection, "LoadAlways", false);
      if (!numbers.unread().empty() && !setLoadAlways) {
        reportLoadFailure(named + "not marked to open at the start: its file " + header + " " +
                          numbers.firstUnread() + ".");
      }
      if (onlyIfLoadAlways && !loadAlways_) {
        if (skippedAsNotLoadAlways != nullptr) *skippedAsNotLoadAlways = true;
        clear();
        return -7;
      }
      name_ = ini.readString(portfolioSection, "Name", "");
      symbol_ = ini.readString(portfolioSection, "Symbol", "");
      currency_ = normalizeCurrency(ini.readString(portfolioSection, "Currency", ""));
      loadProperties(ini);
      const TSettingsBaseline::TWriter write = [this](TPortableIniFile& written) { writeHeader(written); };
      savedHeader_.takeOfExistingFile(header, write, ini);
      if (setLoadAlways && !loadAlways_) {
        loadAlways_ = true;
        // Only the mark for the next start; the next save writes it again.
        savedHeader_.save(header, write);
      }
    }
    // Just read, the header equals its file.
    headerSaved_ = changeStamp();
    savedLoadAlways_ = loadAlways_;
    reportProgress(progress, cookie, progressPortfolioRead, objectLabel(name_, symbol_));
    if (withAssets) {
      std::vector<int32_t> numbers;
      for (const TFoundFile& entry : findFiles(folder_ + "*.INI")) {
        // A folder under an asset file's name fails the load as such: left
        // out, the asset would be missing from every figure without a word.
        const int32_t number = assetNumberOf(entry.name);
        if (number != 0) numbers.push_back(number);
      }
      // The assets' files are read ahead in the order they are loaded.
      TFileReadAhead readAhead(static_cast<int>(std::min<std::size_t>(numbers.size(), 4)));
      for (const int32_t number : numbers) {
        readAhead.queueFile(TAsset::fileNameIn(folder_, number));
        readAhead.queueFolder(TAsset::transactionFolderIn(folder_, number), "*.INI");
      }
      for (const int32_t number : numbers) {
        result = loadAsset(number, progress, cookie, &readAhead);
        if (result == 0) continue;
        // The whole portfolio stays closed: the user learns which asset
        // keeps it so, and why.
        const std::string asset = TAsset::fileNameIn(folder_, number) + assetFailure_;
        reportProgress(progress, cookie, progressAssetFailed, asset);
        reportLoadFailure("Portfolio " + shortLabel(objectLabel(name_, symbol_)) + " not opened: asset " + asset +
                          "." + mendAndOpenAgain);
        break;
      }
    }
  } catch (const std::exception&) {
    result = -3;
  }
  if (result != 0) clear();
  return result;
}

void TPortfolio::recordFiles(std::vector<std::string>& files) const {
  if (!folder_.empty()) files.push_back(folder_ + headerFile);
  for (const auto& asset : assets_) asset->recordFiles(files);
}

int TPortfolio::save(const TFileStamps& stamps) {
  int result = 0;
  unsavedFiles_.clear();
  if (folder_.empty()) {
    result = -4;
  } else {
    try {
      result = saveHeader(stamps);
    } catch (const std::exception&) {
      result = -4;
    }
    if (result != 0) unsavedFiles_.push_back(folder_ + headerFile);
  }
  // The assets are saved even when the header could not be: their data is
  // what the user would lose.
  for (const auto& asset : assets_) {
    const int saved = asset->save(name_, stamps);
    unsavedFiles_.insert(unsavedFiles_.end(), asset->UnsavedFiles().begin(), asset->UnsavedFiles().end());
    if (result == 0) result = saved;
  }
  return result;
}

int TPortfolio::saveHeader(const TFileStamps& stamps) {
  const std::string header = folder_ + headerFile;
  const bool changed = std::max(TCustomPropertyObject::lastChange(), headerChange_) > headerSaved_ ||
                       loadAlways_ != savedLoadAlways_ || viewPropertiesUnsaved();
  const auto write = [this](TPortableIniFile& ini) { writeHeader(ini); };
  savedHeader_.describe("the portfolio " + name_);
  // Unchanged, the header is read only where another program wrote it:
  // what it cut is put back, what else it wrote stays, and a read-only
  // header is no failure.
  TFileStamp found;
  if (!changed && stamps.find(header, found) && found.known())
    return savedHeader_.saveUnchanged(header, write, found) ? 0 : -4;
  // A property that cannot be stored keeps the header as it was, and so
  // does one that cannot be read.
  if (!propertiesStorable() || !savedHeader_.save(header, write)) return -4;
  headerSaved_ = changeStamp();
  savedLoadAlways_ = loadAlways_;
  viewPropertiesSaved();
  return 0;
}

void TPortfolio::writeHeader(TPortableIniFile& ini) const {
  beginEntryCount(ini, countedSections);
  ini.writeString(portfolioSection, "Name", name_);
  ini.writeString(portfolioSection, "Symbol", symbol_);
  ini.writeString(portfolioSection, "Currency", currency_);
  ini.writeBool(portfolioSection, "LoadAlways", loadAlways_);
  saveProperties(ini);
  endEntryCount(ini, countedSections);
}

int TPortfolio::saveLoadAlways() {
  if (folder_.empty()) return -4;
  // A mark the user left as it was is not written: another program may
  // have set it since.
  if (loadAlways_ == savedLoadAlways_) return 0;
  // Only a header that still holds its portfolio takes the mark; into any
  // other it would be the only key left.
  const TPortableIniFile header(folder_ + headerFile);
  if (header.readFailed() || !header.sectionExists(portfolioSection)) return -4;
  // Written as every save of the header is: a header another program cut
  // since gets back what the portfolio holds, not the mark alone.
  return saveHeader();
}

int TPortfolio::createNew(const std::string& name, const std::string& symbol, const std::string& folder,
                          const std::string& currency) {
  const std::string newFolder = includeTrailingBackslash(trimmedText(folder));
  if (newFolder.empty() || pathExists(newFolder)) return -4;
  bool made = forceFolders(newFolder);
  for (const char* view : viewFolders) made = made && createFolder(newFolder + view);
  if (!made) {
    deleteTree(newFolder);
    return -4;
  }
  clear();
  folder_ = newFolder;
  name_ = trimmedText(name);
  symbol_ = trimmedText(symbol);
  currency_ = normalizeCurrency(currency);
  const int result = save();
  if (result != 0) {
    clear();
    // A folder without its header is no portfolio; leave nothing behind.
    deleteTree(newFolder);
  }
  return result;
}

bool TPortfolio::deleteFiles(std::string& why) {
  // A cleared portfolio has no folder: never let an empty name reach the
  // tree deletion.
  if (folder_.empty()) {
    why = "the portfolio has no folder";
    return false;
  }
  // The header first: a folder without it opens as no portfolio.
  const std::string folder = includeTrailingBackslash(folder_);
  return deleteWhole({folder + headerFile, folder}, why);
}

int TPortfolio::loadAsset(int32_t number, const TProgressProcedure& progress, void* cookie,
                          TFileReadAhead* readAhead) {
  const size_t numbersBefore = transactionNumbers_.size();
  const size_t datesBefore = dates_.size();
  assetFailure_ = ": it cannot be read";
  try {
    auto asset = std::make_unique<TAsset>();
    int result = asset->load(folder_, number, progress, cookie, readAhead);
    if (result != 0) {
      assetFailure_ = asset->loadFailure();
      return result;
    }
    assetFailure_ = " (" + shortLabel(objectLabel(asset->Name(), asset->Symbol())) +
                    "): its transactions' numbers or dates cannot be added";
    result = asset->appendTransactionNumbers(transactionNumbers_);
    if (result != 0) {
      transactionNumbers_.resize(numbersBefore);
      return result;
    }
    result = asset->mergeDates(dates_);
    if (result != 0) {
      // Neither list keeps anything of an asset that is not added.
      dates_.resize(datesBefore);
      transactionNumbers_.resize(numbersBefore);
      return result;
    }
    sortAppendedDates(dates_, datesBefore);
    assets_.push_back(std::move(asset));
    assetsChange_ = changeStamp();
    return 0;
  } catch (const std::exception&) {
    transactionNumbers_.resize(std::min(numbersBefore, transactionNumbers_.size()));
    dates_.resize(std::min(datesBefore, dates_.size()));
    return -5;
  }
}

// The first N from 1 for which neither the asset file N.INI nor a
// transaction folder N.TRN exists: a folder left over from an asset whose
// file is gone would make the new asset fail at every attempt.
std::string TPortfolio::freeAssetStem() const {
  for (int64_t number = 1; number <= largestAssetNumber; ++number) {
    const std::string stem = std::to_string(number);
    if (!pathExists(folder_ + stem + ".INI") && !pathExists(folder_ + stem + ".TRN")) return stem;
  }
  return {};
}

int TPortfolio::newAsset(const std::string& name, const std::string& symbol, bool skipChecks,
                         const std::string& formatString, const std::string& location, const std::string& currency) {
  try {
    if (!folderExists(folder_)) return -4;
    const std::string stem = freeAssetStem();
    if (stem.empty()) return -4;
    const int32_t firstNumber = nextTransactionNumber();
    if (firstNumber < 0) return -4;
    const auto number = static_cast<int32_t>(std::stol(stem));
    TAsset maker;
    int result = maker.createNew(name, symbol, skipChecks, firstNumber, number, formatString, location, folder_,
                                 currency);
    if (result != 0) return result;
    result = loadAsset(number, {}, nullptr);
    if (result != 0) {
      // An asset that cannot be loaded now (a price file without a valid
      // line) would make the whole portfolio fail to open next time: the
      // files just made go again.
      ::deleteFile(folder_ + stem + ".INI");
      deleteTree(folder_ + stem + ".TRN\\");
      return result;
    }
    return loadForexTables({}, nullptr);
  } catch (const std::exception&) {
    return -5;
  }
}

int TPortfolio::deleteAssets(const std::vector<int>& indexes, const std::vector<std::vector<std::string>>& alongWith,
                             std::string* refusal) {
  // An asset goes whole or stays: notes left behind would open with the
  // next asset given its number. One whose file went is gone even when
  // another program kept some of the rest: written back at the close, it
  // would come back without its transactions.
  std::vector<std::vector<std::string>> paths;
  for (size_t i = 0; i < indexes.size(); ++i) {
    const TAsset* asset = assets(indexes[i]);
    if (asset == nullptr) return -7;
    paths.push_back(asset->deletionPaths());
    if (paths.back().empty()) {
      if (refusal) *refusal = "the asset has no file";
      return -4;
    }
    if (i < alongWith.size()) paths.back().insert(paths.back().end(), alongWith[i].begin(), alongWith[i].end());
  }
  std::string why;
  const std::vector<bool> gone = deleteAllWhole(paths, why);
  if (refusal) *refusal = why;
  std::vector<int> going;
  for (size_t i = 0; i < indexes.size(); ++i)
    if (gone[i]) going.push_back(indexes[i]);
  if (going.empty()) return -4;
  // From the last index down, so that the indexes still to go stay valid.
  std::sort(going.rbegin(), going.rend());
  for (const int index : going) assets_.erase(assets_.begin() + index);
  lastChange_ = changeStamp();
  assetsChange_ = lastChange_;
  int result = rebuildDates();
  const int numbersResult = rebuildTransactionNumbers();
  if (result == 0) result = numbersResult;
  return going.size() < indexes.size() ? -4 : result;
}

TAsset* TPortfolio::assets(int index) const {
  if (index < 0 || index >= assetCount()) return nullptr;
  return assets_[static_cast<size_t>(index)].get();
}

int TPortfolio::currentAssetIndex() const {
  return currentAssetIndex_ >= 0 && currentAssetIndex_ < assetCount() ? currentAssetIndex_ : -1;
}

TAsset* TPortfolio::currentAsset() const { return assets(currentAssetIndex()); }

void TPortfolio::setCurrentAssetIndex(int index) {
  if (index == currentAssetIndex_) return;
  currentAssetIndex_ = index;
  currentAssetChange_ = changeStamp();
}

void TPortfolio::setCurrency(const std::string& currency) {
  currency_ = normalizeCurrency(currency);
  lastChange_ = headerChange_ = changeStamp();
}

void TPortfolio::setName(const std::string& name) {
  name_ = name;
  lastChange_ = headerChange_ = changeStamp();
}

void TPortfolio::setSymbol(const std::string& symbol) {
  symbol_ = symbol;
  lastChange_ = headerChange_ = changeStamp();
}

void TPortfolio::setLoadAlways(bool loadAlways) { loadAlways_ = loadAlways; }

int TPortfolio::loadForexTables(const TProgressProcedure& progress, void* cookie) {
  int result = 0;
  for (const auto& asset : assets_) {
    if (asset->getCurrency() == currency_) continue;
    double loadTime = -1;
    const int index = forexTables().getTable(asset->getCurrency(), currency_, progress, cookie, loadTime);
    // A table just made is a change of what the values depend on; one found
    // in the cache is not.
    if (loadTime != -1) lastChange_ = changeStamp();
    if (index < 0 && result == 0) result = index;
  }
  return result;
}

int TPortfolio::rebuildDates() {
  dates_.clear();
  try {
    for (const auto& asset : assets_) {
      const size_t before = dates_.size();
      const int result = asset->mergeDates(dates_);
      if (result != 0) {
        dates_.clear();
        return result;
      }
      sortAppendedDates(dates_, before);
    }
  } catch (const std::exception&) {
    dates_.clear();
    return -5;
  }
  return 0;
}

int TPortfolio::mergeDatesInto(std::vector<double>& dates) const {
  try {
    const auto known = dates.end() - dates.begin();
    for (double date : dates_) {
      if (!std::binary_search(dates.begin(), dates.begin() + known, date)) dates.push_back(date);
    }
  } catch (const std::exception&) {
    return -5;
  }
  return 0;
}

void TPortfolio::firstQuoteDate(double& date, bool& found) const {
  found = !dates_.empty();
  if (found) date = dates_.front();
}

int TPortfolio::lastQuoteDate(double& date, bool& found) const {
  found = !dates_.empty();
  if (!found) return -1;
  date = dates_.back();
  return static_cast<int>(dates_.size()) - 1;
}

// The first asset's date seeds the result; a further asset replaces it when
// strictly later (later) or earlier; an asset without a date ends the scan
// with found false.
void TPortfolio::pickDate(TAssetDate assetDate, bool later, double& date, bool& found) {
  found = !assets_.empty();
  for (size_t i = 0; i < assets_.size(); ++i) {
    double candidate = 0;
    bool ok = false;
    (assets_[i].get()->*assetDate)(candidate, ok);
    if (!ok) {
      found = false;
      return;
    }
    if (i == 0 || (later ? candidate > date : candidate < date)) date = candidate;
  }
}

void TPortfolio::firstTradeDate(double& date, bool& found) {
  pickDate(&TAsset::firstTransactionDate, false, date, found);
}

void TPortfolio::lastTradeDate(double& date, bool& found) {
  pickDate(&TAsset::lastTransactionDate, true, date, found);
}

void TPortfolio::latestFirstTradeDate(double& date, bool& found) {
  pickDate(&TAsset::firstTransactionDate, true, date, found);
}

void TPortfolio::earliestLastQuoteDate(double& date, bool& found) {
  pickDate(&TAsset::lastQuoteDate, false, date, found);
}

void TPortfolio::latestFirstQuoteDate(double& date, bool& found) {
  pickDate(&TAsset::firstQuoteDate, true, date, found);
}

int32_t TPortfolio::nextTransactionNumber() const {
  int32_t largest = 0;
  for (const auto& asset : assets_) {
    int32_t number = 0;
    bool ok = false;
    asset->maxTransactionNumber(number, ok);
    if (ok) largest = std::max(largest, number);
  }
  // max + 1 would wrap to the smallest integer and hand out numbers in use.
  if (largest == INT32_MAX) return -4;
  return largest + 1;
}

TTransaction* TPortfolio::transactionByIndex(int index) const {
  if (index < 0 || index >= transactionCount()) return nullptr;
  return findTransaction(transactionNumbers_[static_cast<size_t>(index)]);
}

TTransaction* TPortfolio::findTransaction(int32_t number) const {
  for (const auto& asset : assets_) {
    if (TTransaction* found = asset->Transactions().findNumber(number)) return found;
  }
  return nullptr;
}

TAsset* TPortfolio::findTransactionAsset(int32_t number) const {
  for (const auto& asset : assets_) {
    if (asset->Transactions().findNumber(number) != nullptr) return asset.get();
  }
  return nullptr;
}

int TPortfolio::indexOfTransactionNumber(int32_t number) const {
  const auto found = std::find(transactionNumbers_.begin(), transactionNumbers_.end(), number);
  return found == transactionNumbers_.end() ? -1 : static_cast<int>(found - transactionNumbers_.begin());
}

void TPortfolio::minTransactionNumber(int32_t& number, bool& found) const {
  found = !transactionNumbers_.empty();
  if (found) number = *std::min_element(transactionNumbers_.begin(), transactionNumbers_.end());
}

void TPortfolio::maxTransactionNumber(int32_t& number, bool& found) const {
  found = !transactionNumbers_.empty();
  if (found) number = *std::max_element(transactionNumbers_.begin(), transactionNumbers_.end());
}

int TPortfolio::addTransaction(int assetIndex, int32_t soft, double dateTime, long double units, long double value,
                               long double fees, const std::string& flag, const std::string& comment, bool save) {
  TAsset* asset = assets(assetIndex);
  if (asset == nullptr) return -7;
  try {
    const int32_t number = nextTransactionNumber();
    if (number < 0) return -4;
    const int result = asset->addTransaction(number, soft, dateTime, units, value, fees, flag, comment, save);
    if (result == 0) transactionNumbers_.push_back(number);
    return result;
  } catch (const std::exception&) {
    return -5;
  }
}

int TPortfolio::deleteTransaction(int32_t number, std::string* refusal) {
  TAsset* asset = findTransactionAsset(number);
  if (asset == nullptr) return -7;
  const std::string file = asset->Transactions().findNumber(number)->FileName();
  std::string why = firstDeletionRefusal({file});
  const int result = why.empty() ? asset->Transactions().deleteNumber(number) : -4;
  if (result == -4 && why.empty()) why = file + " could not be deleted";
  if (refusal) *refusal = why;
  if (result == 0) {
    const int index = indexOfTransactionNumber(number);
    if (index >= 0) transactionNumbers_.erase(transactionNumbers_.begin() + index);
  }
  return result;
}

int TPortfolio::deleteTransactionsBetweenDates(int32_t exceptTransaction, bool onlySoft, double fromDate,
                                               double toDate, bool keepFilesForReuse, std::string* refusal) {
  // A range goes whole or not at all: a file refusing halfway would leave
  // what went before it deleted.
  const auto filesInRange = [&] {
    std::vector<std::string> files;
    for (const auto& asset : assets_)
      asset->Transactions().appendFilesBetweenDates(files, exceptTransaction, onlySoft, fromDate, toDate);
    return files;
  };
  const std::string why = firstDeletionRefusal(filesInRange());
  if (refusal) *refusal = why;
  if (!why.empty()) return -4;
  int result = 0;
  for (const auto& asset : assets_) {
    const int deleted =
        asset->deleteTransactionsBetweenDates(exceptTransaction, onlySoft, fromDate, toDate, keepFilesForReuse);
    if (result == 0) result = deleted;
  }
  if (result == -4 && refusal) {
    // Taken by another program since it was asked: what stays is what
    // refused.
    const std::vector<std::string> files = filesInRange();
    *refusal = firstDeletionRefusal(files);
    if (refusal->empty() && !files.empty()) *refusal = files.front() + " could not be deleted";
  }
  const int rebuilt = rebuildTransactionNumbers();
  return result != 0 ? result : rebuilt;
}

bool TPortfolio::discardSpareTransactionFiles() {
  bool deleted = true;
  for (const auto& asset : assets_) deleted = asset->Transactions().discardSpareFiles() && deleted;
  return deleted;
}

// A portfolio without assets has no numbers: an empty list is its answer,
// not a failure.
int TPortfolio::rebuildTransactionNumbers() {
  transactionNumbers_.clear();
  try {
    for (const auto& asset : assets_) {
      const int result = asset->appendTransactionNumbers(transactionNumbers_);
      if (result != 0) {
        transactionNumbers_.clear();
        return result;
      }
    }
  } catch (const std::exception&) {
    transactionNumbers_.clear();
    return -5;
  }
  return 0;
}

void TPortfolio::assetNavAt(int assetIndex, bool acceptEarlier, bool& ok, double& rateAge, long double& value,
                            long double& nativeValue, double date) {
  ok = false;
  TAsset* asset = assets(assetIndex);
  if (asset == nullptr) return;
  asset->navAt(acceptEarlier, nativeValue, ok, date);
  if (!ok) return;
  rateAge = 0;
  if (nativeValue == 0 || asset->getCurrency() == currency_) {
    value = nativeValue;
    return;
  }
  double rateDate = date;
  ok = forexTables().convert(asset->getCurrency(), currency_, nativeValue, date, true, value, rateDate) &&
       holdsAsNumber(value);
  rateAge = std::fabs(date - rateDate);
}

void TPortfolio::navAt(bool acceptEarlier, long double& value, bool& ok, double& maxRateAge, double date) {
  value = 0;
  maxRateAge = 0;
  ok = true;
  for (int i = 0; i < assetCount(); ++i) {
    long double assetValue = 0;
    long double nativeValue = 0;
    double rateAge = 0;
    assetNavAt(i, acceptEarlier, ok, rateAge, assetValue, nativeValue, date);
    if (!ok) return;
    value += assetValue;
    maxRateAge = std::max(maxRateAge, rateAge);
  }
  ok = holdsAsNumber(value);
}

void TPortfolio::assetSumAt(int assetIndex, TAssetSum sum, long double& value, bool& ok, double date) {
  TAsset* asset = assets(assetIndex);
  if (asset == nullptr) {
    ok = false;
    return;
  }
  (asset->*sum)(currency_, value, ok, date);
}

void TPortfolio::sumAt(TAssetSum sum, long double& value, bool& ok, double date) {
  value = 0;
  ok = true;
  for (int i = 0; i < assetCount(); ++i) {
    long double assetValue = 0;
    assetSumAt(i, sum, assetValue, ok, date);
    if (!ok) return;
    value += assetValue;
  }
  ok = holdsAsNumber(value);
}

void TPortfolio::assetInvestmentAt(int assetIndex, long double& value, bool& ok, double date) {
  assetSumAt(assetIndex, &TAsset::investmentAt, value, ok, date);
}

void TPortfolio::assetPrincipalAt(int assetIndex, long double& value, bool& ok, double date) {
  assetSumAt(assetIndex, &TAsset::principalAt, value, ok, date);
}

void TPortfolio::assetFeesAt(int assetIndex, long double& value, bool& ok, double date) {
  assetSumAt(assetIndex, &TAsset::feesAt, value, ok, date);
}

void TPortfolio::investmentAt(long double& value, bool& ok, double date) {
  sumAt(&TAsset::investmentAt, value, ok, date);
}

void TPortfolio::principalAt(long double& value, bool& ok, double date) {
  sumAt(&TAsset::principalAt, value, ok, date);
}

void TPortfolio::feesAt(long double& value, bool& ok, double date) { sumAt(&TAsset::feesAt, value, ok, date); }

void TPortfolio::flowsIn(TAssetFlows addFlows, TFlowList& flows, bool& ok, double fromDate, double toDate) {
  ok = true;
  for (const auto& asset : assets_) {
    (asset.get()->*addFlows)(currency_, flows, ok, fromDate, toDate);
    if (!ok) return;
  }
}

void TPortfolio::investmentFlows(TFlowList& flows, bool& ok, double fromDate, double toDate) {
  flowsIn(&TAsset::investmentFlows, flows, ok, fromDate, toDate);
}

void TPortfolio::principalFlows(TFlowList& flows, bool& ok, double fromDate, double toDate) {
  flowsIn(&TAsset::principalFlows, flows, ok, fromDate, toDate);
}

void TPortfolio::feeFlows(TFlowList& flows, bool& ok, double fromDate, double toDate) {
  flowsIn(&TAsset::feeFlows, flows, ok, fromDate, toDate);
}

void TPortfolio::allocationAt(bool acceptEarlier, double& stocks, double& bonds, double& cash, double& other,
                              bool& ok, double& maxRateAge, double date) {
  ok = false;
  if (assets_.empty()) return;
  long double total = 0;
  navAt(acceptEarlier, total, ok, maxRateAge, date);
  if (!ok || total == 0) {
    ok = false;
    return;
  }
  long double sums[4] = {0, 0, 0, 0};
  for (int i = 0; i < assetCount(); ++i) {
    long double value = 0;
    long double nativeValue = 0;
    double rateAge = 0;
    assetNavAt(i, acceptEarlier, ok, rateAge, value, nativeValue, date);
    if (!ok) return;
    if (value == 0) continue;
    double percents[4];
    if (!assets_[static_cast<size_t>(i)]->getAllocation(percents[0], percents[1], percents[2], percents[3])) {
      ok = false;
      return;
    }
    for (int k = 0; k < 4; ++k) sums[k] += value * percents[k];
  }
  stocks = static_cast<double>(sums[0] / total);
  bonds = static_cast<double>(sums[1] / total);
  cash = static_cast<double>(sums[2] / total);
  other = static_cast<double>(sums[3] / total);
  ok = true;
}

void TPortfolio::currencyPartAt(const std::string& currency, bool acceptEarlier, bool& ok, long double& value,
                                double date) {
  const std::string code = normalizeCurrency(currency);
  value = 0;
  ok = true;
  for (const auto& asset : assets_) {
    if (asset->getCurrency() != code) continue;
    long double assetValue = 0;
    asset->navAt(acceptEarlier, assetValue, ok, date);
    if (!ok) return;
    value += assetValue;
  }
  ok = holdsAsNumber(value);
}

void TPortfolio::convertedCurrencyPartAt(const std::string& currency, bool acceptEarlier, bool& ok,
                                         long double& value, long double& nativeValue, double& maxRateAge,
                                         double date) {
  const std::string code = normalizeCurrency(currency);
  value = 0;
  nativeValue = 0;
  maxRateAge = 0;
  ok = true;
  for (int i = 0; i < assetCount(); ++i) {
    if (assets_[static_cast<size_t>(i)]->getCurrency() != code) continue;
    long double assetValue = 0;
    long double assetNative = 0;
    double rateAge = 0;
    assetNavAt(i, acceptEarlier, ok, rateAge, assetValue, assetNative, date);
    if (!ok) return;
    value += assetValue;
    nativeValue += assetNative;
    maxRateAge = std::max(maxRateAge, rateAge);
  }
  ok = holdsAsNumber(value) && holdsAsNumber(nativeValue);
}

int TPortfolio::alignPricesToDates(const std::vector<double>& dates, double fromDate, double tolerance) {
  int result = 0;
  for (const auto& asset : assets_) {
    const int aligned = asset->alignPricesToDates(dates, fromDate, tolerance);
    if (result == 0) result = aligned;
  }
  return result;
}

// Only series that hold an aligned copy are restored: a series shared by two
// assets is restored once, and a series with nothing to align was never
// replaced, so neither is reported as a failure.
int TPortfolio::restoreAlignedPrices() {
  int result = 0;
  for (const auto& asset : assets_) {
    if (asset->Prices().savedCount() == 0) continue;
    const int restored = asset->restorePrices();
    if (result == 0) result = restored;
  }
  return result;
}

double TPortfolio::lastChange() const {
  double latest = std::max(TCustomPropertyObject::lastChange(), lastChange_);
  for (const auto& asset : assets_) latest = std::max(latest, asset->lastChange());
  return latest;
}
