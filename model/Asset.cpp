#include "model/Asset.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>

#include "model/ChangeStamps.h"
#include "model/Directories.h"
#include "model/Forex.h"
#include "model/LanguageStrings.h"
#include "model/NumberRange.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/PriceCache.h"
#include "model/QuoteFormat.h"
#include "model/RecordCheck.h"
#include "platform/CalendarDates.h"
#include "platform/FileReadAhead.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

const char* const assetSection = "Asset";
// The asset file's own sections, which its entry count counts.
const std::vector<std::string> countedSections = {assetSection, allocationSection, customPropertiesSection};

// The folder part of a path, up to and including its last "\" or ":".
std::string folderOf(const std::string& path) {
  const size_t end = path.find_last_of("\\:");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string priceFailure(int code, const std::string& location, const std::string& format) {
  const std::string file = "its price file \"" + shortLabel(location) + "\"";
  switch (code) {
    case -6: return "its price format \"" + shortLabel(format) + "\" is not valid";
    case -7: return file + " holds no valid line";
    case -2: return file + " is missing";
    default: return file + " cannot be read";
  }
}

// The file is named below the portfolio's folder, which the asset's file
// named before it already gives: the line must fit the foot of a window.
std::string transactionFailure(const std::string& file, const std::string& why, const std::string& portfolioFolder,
                               const std::string& transactionFolder) {
  if (file.empty()) return "its transactions in " + transactionFolder + " cannot be read";
  const std::string name = file.starts_with(portfolioFolder) ? file.substr(portfolioFolder.size()) : file;
  return "its transaction file " + name + " " + why;
}

// What a whole asset file holds for sure. Every save writes its own
// section first, even with every name empty, so a file without it was cut
// at its top, its names, currency and price file gone. Every save with the
// entry count writes the allocation too; a file of the format's own form
// may leave it out (the allocation then invalid), not one section of it
// half. Without the count nothing tells a currency lost from one left
// empty, and the portfolio's figures would be blank, the loss sealed by
// the count the next save writes: a file so is taken as cut.
std::vector<TWrittenKey> writtenAlways(const TPortableIniFile& ini) {
  std::vector<TWrittenKey> written = {{assetSection, ""}};
  const bool counted = carriesEntryCount(ini);
  if (counted || ini.sectionExists(allocationSection))
    for (const char* key : {"Stocks", "Bonds", "Cash", "Other"}) written.push_back({allocationSection, key});
  if (!counted) written.push_back({assetSection, "Currency"});
  return written;
}

}  // namespace

std::string objectLabel(const std::string& name, const std::string& symbol) {
  return name.empty() ? symbol : name + " (" + symbol + ")";
}

std::string shortLabel(const std::string& text) {
  constexpr std::size_t longest = 60;
  return text.size() <= longest ? text : text.substr(0, longest - 3) + "...";
}

TAsset::TAsset() : prices_(pricesTable().nullSeries()) { clear(); }

TAsset::~TAsset() { releasePrices(); }

void TAsset::releasePrices() {
  pricesTable().release(prices_, this);
  prices_ = pricesTable().nullSeries();
}

void TAsset::clear() {
  number_ = -1;
  name_.clear();
  symbol_.clear();
  currency_.clear();
  folder_.clear();
  transactionFolder_.clear();
  priceHistoryLocation_.clear();
  priceHistoryFormatString_.clear();
  transactions_.clear();
  allocation_.clear();
  releasePrices();
  lastChange_ = changeStamp();
  lastSaved_ = 0;
  saved_.forget();
  TCustomPropertyObject::clear();
}

std::string TAsset::fileName() const { return fileNameIn(folder_, number_); }

std::string TAsset::fileNameIn(const std::string& folder, int32_t number) {
  return folder + std::to_string(number) + ".INI";
}

std::string TAsset::transactionFolderIn(const std::string& folder, int32_t number) {
  return folder + std::to_string(number) + ".TRN\\";
}

int TAsset::load(const std::string& folder, int32_t number, const TProgressProcedure& progress, void* cookie,
                 TFileReadAhead* readAhead) {
  clear();
  loadFailure_.clear();
  int result = 0;
  std::string failure = "it cannot be read";
  std::string label;
  try {
    folder_ = includeTrailingBackslash(folder);
    number_ = number;
    const std::string file = fileName();
    const std::optional<std::string> text = readAhead ? readAhead->takeFile(file) : std::nullopt;
    // Taken as missing, the asset would be left out and its portfolio's
    // figures would be wrong without a word.
    if (!text && folderExists(file)) {
      clear();
      loadFailure_ = ": it is a folder, not a file";
      return -3;
    }
    if (!text && !fileExists(file)) {
      clear();
      loadFailure_ = ": its file is missing";
      return -2;
    }
    transactionFolder_ = transactionFolderIn(folder_, number);
    const TPortableIniFile ini =
        text ? TPortableIniFile(file, TPortableIniFile::TReadText{*text}) : TPortableIniFile(file);
    if (ini.readFailed()) {
      clear();
      loadFailure_ = ": its file cannot be read";
      return -3;
    }
    // A file with neither section is no asset, and read as one it would be
    // shown with made-up defaults and written over with them.
    if (!ini.sectionExists(assetSection) && !ini.sectionExists(allocationSection)) {
      clear();
      loadFailure_ = ": its file holds no asset";
      return -7;
    }
    std::string cut = recordCutShort(ini, writtenAlways(ini));
    if (cut.empty()) cut = entriesCutOff(ini, countedSections);
    if (!cut.empty()) {
      result = -7;
      failure = "its file " + cut;
    }
    name_ = ini.readString(assetSection, "Name", "");
    symbol_ = ini.readString(assetSection, "Symbol", "");
    currency_ = normalizeCurrency(ini.readString(assetSection, "Currency", ""));
    priceHistoryLocation_ = expandPath(ini.readString(assetSection, "PriceHistoryLocation", ""));
    priceHistoryFormatString_ = ini.readString(assetSection, "PriceHistoryFormatString", "");
    TNumberReader numbers(ini);
    allocation_.loadFromIni(numbers);
    loadProperties(ini);
    label = objectLabel(name_, symbol_);
    // A number that does not read would be taken as 0, in the portfolio's
    // figures and at the next save in the file.
    if (result == 0 && !numbers.unread().empty()) {
      result = -7;
      failure = "its file " + numbers.firstUnread();
    }
    // Without its price file the asset would be valued at 1 a unit, as one
    // made without prices is: the file lost its location.
    if (result == 0 && priceHistoryLocation_.empty() && !priceHistoryFormatString_.empty() &&
        priceHistoryFormatString_ != constantPriceFormat) {
      result = -7;
      failure = "its file gives a price format but no price file";
    }
    if (result == 0) {
      saved_.takeOfExistingFile(file, [this](TPortableIniFile& written) { writeTo(written); }, ini);
      reportProgress(progress, cookie, progressAssetRead, label);
      result = transactions_.loadDirectory(transactionFolder_, readAhead);
      if (result != 0)
        failure = transactionFailure(transactions_.FailedFile(), transactions_.Failure(), folder_, transactionFolder_);
    }
    if (result == 0) {
      reportProgress(progress, cookie, progressTransactionsRead, label);
      TPrices* acquired = nullptr;
      result = pricesTable().acquire(priceHistoryLocation_, priceHistoryFormatString_, acquired, this);
      if (result != 0) failure = priceFailure(result, priceHistoryLocation_, priceHistoryFormatString_);
      if (result == 0) {
        prices_ = acquired;
        reportProgress(progress, cookie, progressPricesAcquired, label);
        reportProgress(progress, cookie, progressPricesReady, label);
      }
    }
  } catch (const std::exception&) {
    result = -3;
  }
  if (result != 0) {
    clear();
    loadFailure_ = (label.empty() ? "" : " (" + shortLabel(label) + ")") + ": " + failure;
    return result;
  }
  // Just read, the asset equals its file; the stamps taken while reading
  // are no changes.
  lastSaved_ = changeStamp();
  return 0;
}

double TAsset::ownChange() const {
  return std::max({TCustomPropertyObject::lastChange(), lastChange_, allocation_.LastChange()});
}

void TAsset::writeTo(TPortableIniFile& ini) const {
  beginEntryCount(ini, countedSections);
  ini.writeString(assetSection, "Name", name_);
  ini.writeString(assetSection, "Symbol", symbol_);
  ini.writeString(assetSection, "Currency", currency_);
  ini.writeString(assetSection, "PriceHistoryLocation", collapsePath(priceHistoryLocation_));
  ini.writeString(assetSection, "PriceHistoryFormatString", priceHistoryFormatString_);
  allocation_.saveToIni(ini);
  saveProperties(ini);
  endEntryCount(ini, countedSections);
}

void TAsset::recordFiles(std::vector<std::string>& files) const {
  if (folder_.empty()) return;
  files.push_back(fileName());
  transactions_.recordFiles(files);
}

int TAsset::save(const std::string& portfolioName, const TFileStamps& stamps) {
  unsavedFiles_.clear();
  // A cleared asset names no file.
  if (folder_.empty()) return 0;
  // The transactions and prices, each in files of their own, are saved
  // whatever becomes of the asset file: the user is told only of the files
  // that failed, and would lose no more.
  const std::string described = "the asset " + name_ + (portfolioName.empty() ? "" : " of " + portfolioName);
  int result = transactions_.saveAll(described, stamps);
  unsavedFiles_ = transactions_.UnsavedFiles();
  if (result == 0) result = pricesTable().save(prices_);
  // A series the cache could not write, or one left alone after a failed
  // transaction, is not on disk either.
  if (result != 0 && prices_->modified()) unsavedFiles_.push_back(priceHistoryLocation_);
  const std::string file = fileName();
  // A property that cannot be stored keeps the asset file as it was.
  const bool storable = propertiesStorable();
  if (storable) {
    const auto write = [this](TPortableIniFile& ini) { writeTo(ini); };
    saved_.describe(described);
    // Unchanged, the file is still checked for what another program cut.
    TFileStamp found;
    if (ownChange() <= lastSaved_ && !viewPropertiesUnsaved() && stamps.find(file, found) && found.known())
      return saved_.saveUnchanged(file, write, found) ? result : ownFileUnsaved(file);
    // Rewriting a file that could not be read would lose what it holds.
    if (!saved_.save(file, write)) return ownFileUnsaved(file);
    lastSaved_ = changeStamp();
    viewPropertiesSaved();
  }
  return storable ? result : ownFileUnsaved(file);
}

int TAsset::ownFileUnsaved(const std::string& file) {
  unsavedFiles_.insert(unsavedFiles_.begin(), file);
  return -4;
}

int TAsset::createNew(const std::string& name, const std::string& symbol, bool skipChecks,
                      int32_t firstTransactionNumber, int32_t number, const std::string& formatString,
                      const std::string& location, const std::string& folder, const std::string& currency) {
  const std::string base = includeTrailingBackslash(folder);
  const std::string file = base + std::to_string(number) + ".INI";
  if (pathExists(file)) return -4;
  const std::string trimmedLocation = trimmedText(location);
  if (!skipChecks && !folderExists(folderOf(trimmedLocation))) return -2;
  const std::string trimmedFormat = trimmedText(formatString);
  if (!skipChecks && compileQuoteFormat(trimmedFormat, false).isEmpty()) return -6;
  const std::string newTransactionFolder = base + std::to_string(number) + ".TRN\\";
  if (pathExists(newTransactionFolder)) return -4;
  if (!forceFolders(newTransactionFolder)) return -4;

  clear();
  int result = transactions_.add(firstTransactionNumber, 0, currentDateTime(), 0, 0, 0, "", "",
                                 newTransactionFolder, true);
  if (result == 0) {
    number_ = number;
    folder_ = base;
    name_ = trimmedText(name);
    symbol_ = trimmedText(symbol);
    currency_ = normalizeCurrency(currency);
    transactionFolder_ = newTransactionFolder;
    priceHistoryLocation_ = trimmedLocation;
    priceHistoryFormatString_ = trimmedFormat;
    lastChange_ = changeStamp();
    result = save();
  }
  if (result != 0) {
    // Half-made files would block this number and break the next open.
    clear();
    deleteTree(newTransactionFolder);
    if (fileExists(file)) ::deleteFile(file);
  }
  return result;
}

std::vector<std::string> TAsset::deletionPaths() const {
  // A cleared asset's names are empty or relative: never touch anything else.
  if (folder_.empty() || number_ < 0) return {};
  return {fileName(), includeTrailingBackslash(transactionFolder_)};
}

void TAsset::navAt(bool atOrBefore, long double& value, bool& ok, double date) {
  ok = false;
  const long double units = transactions_.unitsAt(date);
  if (units == 0) {
    value = 0;
    ok = true;
    return;
  }
  const double day = std::trunc(date);
  double recordDate = 0;
  TQuoteRecord quote;
  prices_->getRecordAtDate(atOrBefore, recordDate, quote, day);
  if (quote.Error || (quote.Mask & quoteCloseBit) == 0) return;
  if (!atOrBefore && std::trunc(recordDate) != day) return;
  value = units * quote.Close;
  ok = holdsAsNumber(value);
}

// The exchange-rate table from the asset's currency to another, among the
// loaded ones; none when the currencies are the same or none is loaded.
TForex* TAsset::tableTo(const std::string& currency, bool& sameCurrency) const {
  const std::string code = normalizeCurrency(currency);
  sameCurrency = code == currency_;
  return sameCurrency ? nullptr : forexTables().findTable(currency_, code);
}

template <class Sum>
void TAsset::sumIn(const std::string& currency, long double& value, bool& ok, double date, Sum sum) {
  bool sameCurrency = false;
  TForex* table = tableTo(currency, sameCurrency);
  if (!sameCurrency && table == nullptr) {
    value = 0;
    ok = false;
    return;
  }
  (transactions_.*sum)(table, value, ok, date);
}

void TAsset::investmentAt(const std::string& currency, long double& value, bool& ok, double date) {
  sumIn(currency, value, ok, date, &TTransactionTable::investmentAt);
}

void TAsset::principalAt(const std::string& currency, long double& value, bool& ok, double date) {
  sumIn(currency, value, ok, date, &TTransactionTable::principalAt);
}

void TAsset::feesAt(const std::string& currency, long double& value, bool& ok, double date) {
  sumIn(currency, value, ok, date, &TTransactionTable::feesAt);
}

template <class Flows>
int TAsset::flowsIn(const std::string& currency, bool& ok, Flows addFlows) {
  bool sameCurrency = false;
  TForex* table = tableTo(currency, sameCurrency);
  if (!sameCurrency && table == nullptr) {
    ok = false;
    return 0;
  }
  return addFlows(table);
}

int TAsset::investmentFlows(const std::string& currency, TFlowList& flows, bool& ok, double fromDate, double toDate) {
  return flowsIn(currency, ok,
                 [&](TForex* table) { return transactions_.investmentFlows(table, flows, ok, fromDate, toDate); });
}

int TAsset::principalFlows(const std::string& currency, TFlowList& flows, bool& ok, double fromDate, double toDate) {
  return flowsIn(currency, ok,
                 [&](TForex* table) { return transactions_.principalFlows(table, flows, ok, fromDate, toDate); });
}

int TAsset::feeFlows(const std::string& currency, TFlowList& flows, bool& ok, double fromDate, double toDate) {
  return flowsIn(currency, ok,
                 [&](TForex* table) { return transactions_.feeFlows(table, flows, ok, fromDate, toDate); });
}

void TAsset::flagAt(std::string& flag, bool& found, double date) { transactions_.flagAt(flag, found, date); }

void TAsset::firstTransactionDate(double& date, bool& ok) { transactions_.firstDate(date, ok); }

void TAsset::lastTransactionDate(double& date, bool& ok) { transactions_.lastDate(date, ok); }

void TAsset::minTransactionNumber(int32_t& number, bool& ok) const { transactions_.minNumber(number, ok); }

void TAsset::maxTransactionNumber(int32_t& number, bool& ok) const { transactions_.maxNumber(number, ok); }

int TAsset::transactionCount() const { return transactions_.count(); }

void TAsset::firstQuoteDate(double& date, bool& found) {
  if (prices_->isNull()) {
    transactions_.firstDate(date, found);
  } else {
    prices_->firstDate(date, found);
  }
}

void TAsset::lastQuoteDate(double& date, bool& found) {
  if (prices_->isNull()) {
    date = currentDateTime();
    found = true;
  } else {
    prices_->lastDate(date, found);
  }
}

int TAsset::mergeDates(std::vector<double>& dates) const { return prices_->mergeDates(dates); }

int TAsset::appendTransactionNumbers(std::vector<int32_t>& numbers) const {
  return transactions_.appendNumbers(numbers);
}

int TAsset::addTransaction(int32_t number, int32_t soft, double dateTime, long double units, long double value,
                           long double fees, const std::string& flag, const std::string& comment, bool save) {
  if (!folderExists(transactionFolder_)) return -4;
  return transactions_.add(number, soft, dateTime, units, value, fees, flag, comment, transactionFolder_, save);
}

int TAsset::deleteTransactionsBetweenDates(int32_t exceptTransaction, bool onlySoft, double fromDate, double toDate,
                                           bool keepFilesForReuse) {
  return transactions_.deleteBetweenDates(exceptTransaction, onlySoft, fromDate, toDate, keepFilesForReuse);
}

int TAsset::deleteTransactionsByNumber(int32_t lo, int32_t hi, int32_t exceptNumber, bool onlySoft) {
  return transactions_.deleteByNumbers(lo, hi, exceptNumber, onlySoft);
}

void TAsset::setCurrency(const std::string& currency) {
  currency_ = normalizeCurrency(currency);
  lastChange_ = changeStamp();
}

void TAsset::setName(const std::string& name) {
  name_ = name;
  lastChange_ = changeStamp();
}

void TAsset::setSymbol(const std::string& symbol) {
  symbol_ = symbol;
  lastChange_ = changeStamp();
}

bool TAsset::getAllocation(double& stocks, double& bonds, double& cash, double& other) const {
  return allocation_.get(stocks, bonds, cash, other);
}

void TAsset::setPercentStocks(double percent) { allocation_.setStocks(percent); }
void TAsset::setPercentBonds(double percent) { allocation_.setBonds(percent); }
void TAsset::setPercentCash(double percent) { allocation_.setCash(percent); }
void TAsset::setPercentOther(double percent) { allocation_.setOther(percent); }

int TAsset::priceFormatFields() const {
  return quoteFormatFields(compileQuoteFormat(priceHistoryFormatString_, true));
}

bool TAsset::noPriceHistoryLocation() const { return priceHistoryLocation_.empty(); }

bool TAsset::priceHistoryInForexDir() const {
  const std::string forexFolder = getDirectory("<FOREX>");
  if (forexFolder.empty()) return false;
  return upperCase(includeTrailingBackslash(folderOf(priceHistoryLocation_))) == forexFolder;
}

int TAsset::alignPricesToDates(const std::vector<double>& dates, double fromDate, double tolerance) {
  return prices_->alignToDates(dates, fromDate, tolerance);
}

int TAsset::restorePrices() { return prices_->restore(); }

double TAsset::lastChange() const {
  return std::max({TCustomPropertyObject::lastChange(), prices_->lastChange(), lastChange_,
                   transactions_.lastChange(), allocation_.LastChange()});
}
