#include "model/TransactionTable.h"

#include <algorithm>
#include <climits>
#include <new>

#include "model/ChangeStamps.h"
#include "model/Directories.h"
#include "model/Forex.h"
#include "model/NumberRange.h"
#include "model/PortableIniFile.h"
#include "model/QuickSort.h"
#include "platform/FileReadAhead.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

const std::string transactionExtension = ".INI";

// Whether deleteBetweenDates takes the transaction.
bool betweenDates(const TTransaction& t, int32_t exceptNumber, bool onlySoft, double fromDate, double toDate) {
  return t.Number() != exceptNumber && fromDate <= t.DateTime() && t.DateTime() <= toDate &&
         (!onlySoft || t.Soft() != 0);
}

// The mark of the spare files an earlier version's run made of the files of
// deleted transactions ("~N.INI"): not an integer, so no load takes them for
// transactions.
const char spareMark = '~';
constexpr int64_t lastFileNumber = INT32_MAX;

// The number N of a file name "N.INI" whose N reads as an integer of 0 or
// more, or -1. With exactForm, N must also be written as the number is
// written ("7", not "07"), as the names new transactions get.
int64_t fileNumberOf(const std::string& name, bool exactForm) {
  if (name.size() <= transactionExtension.size()) return -1;
  const size_t stemLength = name.size() - transactionExtension.size();
  if (!sameText(name.substr(stemLength), transactionExtension)) return -1;
  int number = 0;
  const std::string stem = name.substr(0, stemLength);
  if (!iniTextToInteger(stem, number) || number < 0) return -1;
  if (exactForm && std::to_string(number) != stem) return -1;
  return number;
}

std::string nameWithoutFolder(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) { return path.substr(0, path.size() - nameWithoutFolder(path).size()); }

bool deletedOrGone(const std::string& fileName) { return deleteFile(fileName) || !pathExists(fileName); }

}  // namespace

TTransactionTable::TTransactionTable() { clear(); }

TTransactionTable::~TTransactionTable() = default;

void TTransactionTable::clear() {
  items_.clear();
  sorted_ = false;
  lastChange_ = changeStamp();
  listChange_ = lastChange_;
  transactionChanged(wholeChange);
  numberedFolder_.clear();
  usedFileNumbers_.clear();
  lowestUntriedFileNumber_ = 1;
  spareFiles_.clear();
  discardedFiles_.clear();
  recycled_.clear();
}

void TTransactionTable::transactionChanged(TChange change) {
  if (change == dateChange || change == wholeChange) sorted_ = false;
  runningSumsValid_ = false;
  if (change != amountChange && change != dateChange) numberIndexValid_ = false;
}

void TTransactionTable::append(std::unique_ptr<TTransaction> transaction) {
  transaction->owner_ = this;
  TTransaction* added = transaction.get();
  const bool indexValid = numberIndexValid_;
  items_.push_back(std::move(transaction));
  transactionChanged(wholeChange);
  listChange_ = changeStamp();
  // The newest transaction is the last in storage order: it joins a valid
  // index without a rebuild, as the first of its number only.
  if (indexValid) {
    numberIndex_.emplace(added->Number(), added);
    smallestNumber_ = std::min(smallestNumber_, added->Number());
    largestNumber_ = std::max(largestNumber_, added->Number());
    numberIndexValid_ = true;
  }
}

int TTransactionTable::loadDirectory(const std::string& folder, TFileReadAhead* readAhead) {
  clear();
  failedFile_.clear();
  failure_.clear();
  const std::string path = includeTrailingBackslash(folder);
  if (!folderExists(path)) return -2;
  std::optional<std::vector<TFoundFile>> listed;
  if (readAhead) listed = readAhead->takeListing(path);
  const std::vector<TFoundFile> entries = listed ? std::move(*listed) : findFiles(path + "*.INI");
  items_.reserve(entries.size());
  for (const TFoundFile& entry : entries) {
    // Not only files: a folder named like a transaction file still takes
    // its name from the free ones.
    const int64_t number = fileNumberOf(entry.name, true);
    if (number >= 0) usedFileNumbers_.insert(number);
    if (!entry.isFolder && entry.name[0] == spareMark && fileNumberOf(entry.name.substr(1), true) >= 0)
      discardedFiles_.push_back(path + entry.name);
    // A folder under a transaction file's name is met as what it is, not
    // passed over as if the transaction were not there.
    if (fileNumberOf(entry.name, false) < 0) continue;
    const std::string fileName = path + entry.name;
    const int result = addFromFile(fileName, readAhead ? readAhead->takeFile(fileName) : std::nullopt, entry.stamp);
    if (result != 0) {
      clear();
      failedFile_ = fileName;
      return result;
    }
  }
  numberedFolder_ = path;
  return 0;
}

int TTransactionTable::addFromFile(const std::string& fileName, const std::optional<std::string>& text,
                                   const TFileStamp& stamp) {
  auto transaction = std::make_unique<TTransaction>();
  const int result = transaction->load(fileName, text, stamp);
  if (result == 0)
    append(std::move(transaction));
  else
    failure_ = transaction->loadFailure();
  return result;
}

int TTransactionTable::saveAll(const std::string& owner, const TFileStamps& stamps) {
  int result = 0;
  unsavedFiles_.clear();
  for (const auto& transaction : items_) {
    const int saved = transaction->save(owner, stamps);
    if (saved != 0) unsavedFiles_.push_back(transaction->FileName());
    if (result == 0) result = saved;
  }
  return result;
}

void TTransactionTable::recordFiles(std::vector<std::string>& files) const {
  // Asked at the start of the close, while the views' threads may still
  // sort the table.
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  for (const auto& transaction : items_)
    if (!transaction->FileName().empty()) files.push_back(transaction->FileName());
}

void TTransactionTable::trackFileNumbers(const std::string& folder) {
  if (sameText(folder, numberedFolder_)) return;
  // Spares are known by their numbers in the folder they are in.
  for (const auto& spare : spareFiles_) discardedFiles_.push_back(spare.second.fileName);
  spareFiles_.clear();
  numberedFolder_ = folder;
  usedFileNumbers_.clear();
  lowestUntriedFileNumber_ = 1;
  for (const TFoundFile& entry : findFiles(folder + "*" + transactionExtension)) {
    const int64_t number = fileNumberOf(entry.name, true);
    if (number >= 0) usedFileNumbers_.insert(number);
  }
}

// The first N from 1 up that the folder's listing and the names made since
// leave free; the file's creation tells whether it is still free.
std::string TTransactionTable::untriedFileName(const std::string& folder) {
  trackFileNumbers(folder);
  auto used = usedFileNumbers_.lower_bound(lowestUntriedFileNumber_);
  for (int64_t number = lowestUntriedFileNumber_; number <= lastFileNumber; ++number) {
    lowestUntriedFileNumber_ = number;
    if (used != usedFileNumbers_.end() && *used == number) {
      ++used;
      continue;
    }
    return folder + std::to_string(number) + transactionExtension;
  }
  lowestUntriedFileNumber_ = lastFileNumber + 1;
  return {};
}

int64_t TTransactionTable::numberInNumberedFolder(const std::string& fileName) const {
  return sameText(folderOf(fileName), numberedFolder_) ? fileNumberOf(nameWithoutFolder(fileName), true) : -1;
}

void TTransactionTable::forgetFileNumber(const std::string& fileName) {
  const int64_t number = numberInNumberedFolder(fileName);
  if (number < 0) return;
  usedFileNumbers_.erase(number);
  if (number > 0) lowestUntriedFileNumber_ = std::min(lowestUntriedFileNumber_, number);
}

void TTransactionTable::recycle(std::unique_ptr<TTransaction> transaction) {
  transaction->owner_ = nullptr;
  transaction->clear();
  transaction->loadFailure_.clear();
  transaction->viewPropertiesSaved();
  recycled_.push_back(std::move(transaction));
}

std::unique_ptr<TTransaction> TTransactionTable::newTransaction() {
  if (recycled_.empty()) return std::make_unique<TTransaction>();
  std::unique_ptr<TTransaction> transaction = std::move(recycled_.back());
  recycled_.pop_back();
  return transaction;
}

int TTransactionTable::add(int32_t number, int32_t soft, double dateTime, long double units, long double value,
                           long double fees, const std::string& flag, const std::string& comment,
                           const std::string& folder, bool save) {
  std::unique_ptr<TTransaction> transaction = newTransaction();
  transaction->setCustomProperty(transactionCommentProperty, comment);
  if (!save) {
    if (transaction->setAll(number, soft, dateTime, units, value, fees, "", flag) != 0) return -4;
    append(std::move(transaction));
    return 0;
  }
  // The asset has just made sure of its folder: a look of our own would
  // cost a path look-up for every one of a system run's thousands of
  // transactions, and a folder gone since makes the file's creation fail.
  const std::string path = includeTrailingBackslash(folder);
  if (transaction->setAll(number, soft, dateTime, units, value, fees, "", flag) != 0) return -4;
  // Soft transactions are made again by every run of their system: only
  // the user's own are flushed to the disk one by one.
  const bool durable = soft == 0;
  // Something else may have taken a name since the folder was listed: the
  // creation refuses it, and the next number is tried.
  for (;;) {
    const std::string fileName = untriedFileName(path);
    if (fileName.empty()) return -4;
    const TNewFileResult created = createTransactionFile(*transaction, fileName, durable);
    if (created == TNewFileResult::failed) return -4;
    usedFileNumbers_.insert(fileNumberOf(nameWithoutFolder(fileName), true));
    if (created == TNewFileResult::created) break;
  }
  append(std::move(transaction));
  return 0;
}

// Over the spare of the number when there is one; a spare that cannot be
// written over is deleted, and a file of its own is made instead.
TNewFileResult TTransactionTable::createTransactionFile(TTransaction& transaction, const std::string& fileName,
                                                        bool durable) {
  const auto spare = spareFiles_.find(numberInNumberedFolder(fileName));
  if (spare != spareFiles_.end()) {
    TTransactionFileLeft left = std::move(spare->second);
    spareFiles_.erase(spare);
    const TNewFileResult written = transaction.writeOver(left, durable);
    if (written == TNewFileResult::created) return written;
    // Held by another program, say: the end of the run tries once more and
    // tells when it stays.
    if (!deletedOrGone(left.fileName)) discardedFiles_.push_back(left.fileName);
  }
  return transaction.createFile(fileName, durable);
}

bool TTransactionTable::keepAsSpare(TTransaction& transaction) {
  const int64_t number = numberInNumberedFolder(transaction.FileName());
  if (number < 0) return false;
  spareFiles_[number] = transaction.leaveFile();
  return true;
}

bool TTransactionTable::deleteTransactionFile(TTransaction& transaction, bool keepFileForReuse) {
  const std::string fileName = transaction.FileName();
  if (!(keepFileForReuse && keepAsSpare(transaction)) && !transaction.deleteFile()) return false;
  if (!fileName.empty()) forgetFileNumber(fileName);
  return true;
}

int TTransactionTable::deleteNumber(int32_t number) {
  auto found = std::find_if(items_.begin(), items_.end(), [&](const auto& t) { return t->Number() == number; });
  if (found == items_.end()) return -7;
  if (!deleteTransactionFile(**found, false)) return -4;
  items_.erase(found);
  transactionChanged(numberChange);
  lastChange_ = changeStamp();
  listChange_ = lastChange_;
  return 0;
}

template <class Condition>
int TTransactionTable::deleteWhere(Condition condition, bool keepFilesForReuse) {
  int result = 0;
  bool deleted = false;
  // Each file goes first; a transaction whose file stays, stays too.
  auto kept = items_.begin();
  for (auto transaction = items_.begin(); transaction != items_.end(); ++transaction) {
    if (condition(**transaction)) {
      if (deleteTransactionFile(**transaction, keepFilesForReuse)) {
        deleted = true;
        if (keepFilesForReuse) recycle(std::move(*transaction));
        continue;
      }
      result = -4;
    }
    if (kept != transaction) *kept = std::move(*transaction);
    ++kept;
  }
  items_.erase(kept, items_.end());
  if (deleted) {
    transactionChanged(numberChange);
    lastChange_ = changeStamp();
    listChange_ = lastChange_;
  }
  return result;
}

int TTransactionTable::deleteBetweenDates(int32_t exceptNumber, bool onlySoft, double fromDate, double toDate,
                                          bool keepFilesForReuse) {
  return deleteWhere(
      [&](const TTransaction& t) { return betweenDates(t, exceptNumber, onlySoft, fromDate, toDate); },
      keepFilesForReuse);
}

void TTransactionTable::appendFilesBetweenDates(std::vector<std::string>& files, int32_t exceptNumber, bool onlySoft,
                                                double fromDate, double toDate) const {
  for (const auto& transaction : items_)
    if (!transaction->FileName().empty() && betweenDates(*transaction, exceptNumber, onlySoft, fromDate, toDate))
      files.push_back(transaction->FileName());
}

int TTransactionTable::deleteByNumbers(int32_t lo, int32_t hi, int32_t exceptNumber, bool onlySoft) {
  return deleteWhere(
      [&](const TTransaction& t) {
        return t.Number() != exceptNumber && lo <= t.Number() && t.Number() <= hi && (!onlySoft || t.Soft() != 0);
      },
      false);
}

bool TTransactionTable::discardSpareFiles() {
  bool deleted = true;
  for (const auto& spare : spareFiles_) deleted = deletedOrGone(spare.second.fileName) && deleted;
  spareFiles_.clear();
  for (const std::string& file : discardedFiles_) deleted = deletedOrGone(file) && deleted;
  discardedFiles_.clear();
  recycled_.clear();
  return deleted;
}

int TTransactionTable::countBetweenDates(double fromDate, double toDate) const {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [&](const auto& t) {
    return fromDate <= t->DateTime() && t->DateTime() <= toDate;
  }));
}

int TTransactionTable::countBetweenNumbers(int32_t lo, int32_t hi) const {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [&](const auto& t) {
    return lo <= t->Number() && t->Number() <= hi;
  }));
}

void TTransactionTable::ensureNumberIndex() const {
  if (numberIndexValid_) return;
  numberIndex_.clear();
  smallestNumber_ = INT32_MAX;
  largestNumber_ = INT32_MIN;
  for (const auto& transaction : items_) {
    const int32_t number = transaction->Number();
    numberIndex_.emplace(number, transaction.get());
    smallestNumber_ = std::min(smallestNumber_, number);
    largestNumber_ = std::max(largestNumber_, number);
  }
  numberIndexValid_ = true;
}

TTransaction* TTransactionTable::findNumber(int32_t number) {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  ensureNumberIndex();
  auto found = numberIndex_.find(number);
  return found == numberIndex_.end() ? nullptr : found->second;
}

TTransaction* TTransactionTable::items(int index) const {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  if (index < 0 || index >= count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

int TTransactionTable::appendNumbers(std::vector<int32_t>& numbers) const {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  for (const auto& transaction : items_) numbers.push_back(transaction->Number());
  return 0;
}

void TTransactionTable::ensureSorted() {
  if (sorted_) return;
  quickSortBy(items_.data(), items_.size(), [](const std::unique_ptr<TTransaction>& t) { return t->DateTime(); });
  sorted_ = true;
  runningSumsValid_ = false;
  numberIndexValid_ = false;
}

void TTransactionTable::firstDate(double& date, bool& ok) {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  ok = !items_.empty();
  if (!ok) return;
  ensureSorted();
  date = items_.front()->DateTime();
}

void TTransactionTable::lastDate(double& date, bool& ok) {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  ok = !items_.empty();
  if (!ok) return;
  ensureSorted();
  date = items_.back()->DateTime();
}

void TTransactionTable::minNumber(int32_t& number, bool& ok) const {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  ok = !items_.empty();
  if (!ok) return;
  ensureNumberIndex();
  number = smallestNumber_;
}

void TTransactionTable::maxNumber(int32_t& number, bool& ok) const {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  ok = !items_.empty();
  if (!ok) return;
  ensureNumberIndex();
  number = largestNumber_;
}

long double TTransactionTable::amountOf(const TTransaction& transaction, TAmount kind) const {
  switch (kind) {
    case unitsAmount: return transaction.Units();
    case investmentAmount: return transaction.Value() + transaction.Fees();
    case principalAmount: return transaction.Value();
    default: return transaction.Fees();
  }
}

void TTransactionTable::ensureRunningSums() {
  ensureSorted();
  if (runningSumsValid_) return;
  sortedDates_.resize(items_.size());
  for (size_t i = 0; i < items_.size(); ++i) sortedDates_[i] = items_[i]->DateTime();
  for (int kind = 0; kind < amountKinds; ++kind) {
    std::vector<long double>& sums = runningSums_[kind];
    sums.resize(items_.size() + 1);
    sums[0] = 0;
    for (size_t i = 0; i < items_.size(); ++i) sums[i + 1] = sums[i] + amountOf(*items_[i], TAmount(kind));
  }
  runningSumsValid_ = true;
}

// The number of transactions dated on or before the date: a walk in date
// order stops at the first one dated after it.
size_t TTransactionTable::countUpTo(double date) {
  ensureRunningSums();
  return static_cast<size_t>(std::upper_bound(sortedDates_.begin(), sortedDates_.end(), date) - sortedDates_.begin());
}

size_t TTransactionTable::countBefore(double date) {
  ensureRunningSums();
  return static_cast<size_t>(std::lower_bound(sortedDates_.begin(), sortedDates_.end(), date) - sortedDates_.begin());
}

long double TTransactionTable::unitsAt(double date) {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  return runningSums_[unitsAmount][countUpTo(date)];
}

void TTransactionTable::sumUpTo(TForex* table, TAmount kind, long double& value, bool& ok, double date) {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  value = 0;
  ok = true;
  const size_t end = countUpTo(date);
  if (table == nullptr) {
    value = runningSums_[kind][end];
    ok = holdsAsNumber(value);
    return;
  }
  for (size_t i = 0; i < end; ++i) {
    long double converted = 0;
    double rateDate = 0;
    if (!table->rateAt(converted, true, rateDate, items_[i]->DateTime(), amountOf(*items_[i], kind))) {
      ok = false;
      return;
    }
    value += converted;
  }
  ok = holdsAsNumber(value);
}

void TTransactionTable::investmentAt(TForex* table, long double& value, bool& ok, double date) {
  sumUpTo(table, investmentAmount, value, ok, date);
}

void TTransactionTable::principalAt(TForex* table, long double& value, bool& ok, double date) {
  sumUpTo(table, principalAmount, value, ok, date);
}

void TTransactionTable::feesAt(TForex* table, long double& value, bool& ok, double date) {
  sumUpTo(table, feesAmount, value, ok, date);
}

int TTransactionTable::addFlows(TForex* table, TAmount kind, TFlowList& flows, bool& ok, double fromDate,
                                double toDate) {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  ok = true;
  try {
    const size_t begin = countBefore(fromDate);
    const size_t end = countUpTo(toDate);
    std::vector<TDatedAmount> amounts;
    if (begin < end) amounts.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) {
      long double amount = amountOf(*items_[i], kind);
      double rateDate = 0;
      if ((table != nullptr && !table->rateAt(amount, true, rateDate, items_[i]->DateTime(), amount)) ||
          !holdsAsNumber(amount)) {
        ok = false;
        break;
      }
      amounts.push_back({items_[i]->DateTime(), amount});
    }
    // What was gathered before a failed conversion still counts.
    cashFlowAddInOrder(flows, amounts);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  return 0;
}

int TTransactionTable::investmentFlows(TForex* table, TFlowList& flows, bool& ok, double fromDate, double toDate) {
  return addFlows(table, investmentAmount, flows, ok, fromDate, toDate);
}

int TTransactionTable::principalFlows(TForex* table, TFlowList& flows, bool& ok, double fromDate, double toDate) {
  return addFlows(table, principalAmount, flows, ok, fromDate, toDate);
}

int TTransactionTable::feeFlows(TForex* table, TFlowList& flows, bool& ok, double fromDate, double toDate) {
  return addFlows(table, feesAmount, flows, ok, fromDate, toDate);
}

// Every transaction of the range counts, also one whose units equal those of
// the one before it: two equal purchases are two changes of the holding.
int TTransactionTable::unitsFlows(TFlowList& flows, bool& ok, double fromDate, double toDate) {
  return addFlows(nullptr, unitsAmount, flows, ok, fromDate, toDate);
}

void TTransactionTable::flagAt(std::string& flag, bool& found, double date) {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  const size_t upTo = countUpTo(date);
  found = upTo > 0;
  if (found) flag = items_[upTo - 1]->Flag();
}

double TTransactionTable::lastChange() const {
  const std::lock_guard<std::mutex> guard(lazyOrderLock_);
  double latest = lastChange_;
  for (const auto& transaction : items_) latest = std::max(latest, transaction->lastChange());
  return latest;
}
