#pragma once
#include <cstdint>
#include <memory>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/CashFlows.h"
#include "model/Transaction.h"

class TFileReadAhead;
class TForex;

// The transactions of one asset, in load and addition order until a
// question by date sorts them by DateTime; the answers the sheets, the asset
// valuation and the trading systems need: holdings, sums and flows at a
// date, the flag in force, and bulk deletion. Date ranges include both ends.
// Amounts are summed in the asset's currency, or converted with the rate of
// the given exchange-rate table at each transaction's date.
class TTransactionTable {
 public:
  TTransactionTable();
  ~TTransactionTable();
  TTransactionTable(const TTransactionTable&) = delete;
  TTransactionTable& operator=(const TTransactionTable&) = delete;

  void clear();
  // Loads every file N.INI (N an integer of 0 or more) of the folder; -2 for
  // a missing folder; the first failing file empties the table and its
  // result is returned.
  // readAhead: where the folder was queued (TFileReadAhead::queueFolder).
  int loadDirectory(const std::string& folder, TFileReadAhead* readAhead = nullptr);
  // The file that failed the last loadDirectory; empty when none did.
  const std::string& FailedFile() const { return failedFile_; }
  // Why it failed, in words to follow its name (see TTransaction::loadFailure).
  const std::string& Failure() const { return failure_; }
  int addFromFile(const std::string& fileName, const std::optional<std::string>& text = std::nullopt,
                  const TFileStamp& stamp = {});
  // owner: the asset they belong to, as a notice of a save names it.
  int saveAll(const std::string& owner = {}, const TFileStamps& stamps = TFileStamps());
  // Appends the file of each transaction that has one.
  void recordFiles(std::vector<std::string>& files) const;
  // The files the last saveAll could not write, in the order tried.
  const std::vector<std::string>& UnsavedFiles() const { return unsavedFiles_; }
  // With save, the transaction is written to the first free numbered file of
  // the folder and read back from it; -4 when no name is free. Without, it
  // is held in memory only. -4, adding nothing, for an amount a transaction
  // cannot hold.
  int add(int32_t number, int32_t soft, double dateTime, long double units, long double value, long double fees,
          const std::string& flag, const std::string& comment, const std::string& folder, bool save);

  // -7 when no transaction has the number; -4 when its file cannot be deleted.
  int deleteNumber(int32_t number);
  // Files that cannot be deleted keep their transactions and make the result -4.
  // With keepFilesForReuse, a file in the folder new transactions go to
  // stays on the disk as a spare while its number is free, and a new
  // transaction given that number is written over it in place: a trading
  // system deletes and makes again thousands of soft transactions at every
  // run. Whoever keeps files for reuse deletes what is left of them
  // (discardSpareFiles) when the additions are done. Until then a load of
  // the folder would still read the spares' old transactions, as it does
  // after that when one cannot be deleted: false then.
  int deleteBetweenDates(int32_t exceptNumber, bool onlySoft, double fromDate, double toDate,
                         bool keepFilesForReuse = false);
  // The files of the transactions deleteBetweenDates would take, appended:
  // to be asked before any goes.
  void appendFilesBetweenDates(std::vector<std::string>& files, int32_t exceptNumber, bool onlySoft, double fromDate,
                               double toDate) const;
  int deleteByNumbers(int32_t lo, int32_t hi, int32_t exceptNumber, bool onlySoft);
  bool discardSpareFiles();
  int countBetweenDates(double fromDate, double toDate) const;
  int countBetweenNumbers(int32_t lo, int32_t hi) const;

  TTransaction* findNumber(int32_t number);
  TTransaction* items(int index) const;
  int count() const { return static_cast<int>(items_.size()); }
  int appendNumbers(std::vector<int32_t>& numbers) const;

  void firstDate(double& date, bool& ok);
  void lastDate(double& date, bool& ok);
  void minNumber(int32_t& number, bool& ok) const;
  void maxNumber(int32_t& number, bool& ok) const;

  long double unitsAt(double date);
  void investmentAt(TForex* table, long double& value, bool& ok, double date);
  void principalAt(TForex* table, long double& value, bool& ok, double date);
  void feesAt(TForex* table, long double& value, bool& ok, double date);
  int investmentFlows(TForex* table, TFlowList& flows, bool& ok, double fromDate, double toDate);
  int principalFlows(TForex* table, TFlowList& flows, bool& ok, double fromDate, double toDate);
  int feeFlows(TForex* table, TFlowList& flows, bool& ok, double fromDate, double toDate);
  int unitsFlows(TFlowList& flows, bool& ok, double fromDate, double toDate);
  void flagAt(std::string& flag, bool& found, double date);

  double lastChange() const;
  double LastChange() const { return lastChange_; }
  double ListChange() const { return listChange_; }
  bool Sorted() const { return sorted_; }

 private:
  friend class TTransaction;

  enum TAmount { unitsAmount, investmentAmount, principalAmount, feesAmount, amountKinds };
  enum TChange { dateChange, amountChange, numberChange, wholeChange };

  // Called by an owned transaction whose date, amounts or number changed,
  // and by the table itself when transactions come or go.
  void transactionChanged(TChange change);
  void ensureNumberIndex() const;
  void append(std::unique_ptr<TTransaction> transaction);
  void ensureSorted();
  void ensureRunningSums();
  size_t countUpTo(double date);
  size_t countBefore(double date);
  long double amountOf(const TTransaction& transaction, TAmount kind) const;
  void sumUpTo(TForex* table, TAmount kind, long double& value, bool& ok, double date);
  int addFlows(TForex* table, TAmount kind, TFlowList& flows, bool& ok, double fromDate, double toDate);
  template <class Condition>
  int deleteWhere(Condition condition, bool keepFilesForReuse);
  bool deleteTransactionFile(TTransaction& transaction, bool keepFileForReuse);
  bool keepAsSpare(TTransaction& transaction);
  // Keeps a transaction deleted for reuse, cleared, for the next one added.
  void recycle(std::unique_ptr<TTransaction> transaction);
  // A recycled transaction, else a new one.
  std::unique_ptr<TTransaction> newTransaction();
  TNewFileResult createTransactionFile(TTransaction& transaction, const std::string& fileName, bool durable);
  std::string untriedFileName(const std::string& folder);
  void trackFileNumbers(const std::string& folder);
  // The N of a file "N.INI" of the folder new transactions go to, or -1.
  int64_t numberInNumberedFolder(const std::string& fileName) const;
  void forgetFileNumber(const std::string& fileName);

  std::vector<std::unique_ptr<TTransaction>> items_;
  // The date order and the look-up aids below are made by the first query
  // that needs them, on whichever thread asks: sheet formulas read the
  // tables from the compute threads of sheet graphs while the windows read
  // them too. Every query, and every reader of the storage order that such
  // a sort rearranges, holds this lock; changes are made while no
  // computation runs.
  mutable std::mutex lazyOrderLock_;
  double lastChange_ = 0;
  double listChange_ = 0;
  bool sorted_ = false;

  // Date-ordered look-up aids, rebuilt on demand after any change: the
  // dates, and for each kind of amount the sum of the first i transactions,
  // added in the same order as a walk from the first transaction would.
  bool runningSumsValid_ = false;
  std::vector<double> sortedDates_;
  std::vector<long double> runningSums_[amountKinds];
  // The first transaction of each number in storage order, and the
  // smallest and largest number.
  mutable bool numberIndexValid_ = false;
  mutable std::unordered_map<int32_t, TTransaction*> numberIndex_;
  mutable int32_t smallestNumber_ = 0;
  mutable int32_t largestNumber_ = 0;

  // The numbered file names in use in the folder new transactions are
  // written to, so that finding the first free one does not probe the disk
  // from 1 at every addition.
  std::string numberedFolder_;
  std::set<int64_t> usedFileNumbers_;
  int64_t lowestUntriedFileNumber_ = 1;
  // Files of that folder whose transactions are gone, by their numbers, which
  // are free: a new transaction given one is written over its file.
  std::map<int64_t, TTransactionFileLeft> spareFiles_;
  // Files to delete once the additions are done: spares of a folder left
  // for another, and "~N.INI" spares that an earlier version's run left.
  std::vector<std::string> discardedFiles_;
  // The transactions deleted while files are kept for reuse, cleared, for
  // the ones a run makes next: given back to the heap and taken again by
  // the thousand, blocks of their size made Wine's heap search long lists.
  std::vector<std::unique_ptr<TTransaction>> recycled_;
  std::string failedFile_;
  std::string failure_;
  std::vector<std::string> unsavedFiles_;
};
