#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/Allocation.h"
#include "model/CashFlows.h"
#include "model/CustomProperties.h"
#include "model/ProgressReport.h"
#include "model/SettingsBaseline.h"
#include "model/TransactionTable.h"

class TPrices;

// The price format of an asset made without a price file, whose units are
// each worth 1 (a cash account): the one format a file gives without one.
constexpr const char* constantPriceFormat = "yyyymmdd,o,h,l,c, v";

// One holding of a portfolio: its names and currency, its transactions, its
// price history (shared through the price cache; the null series when it has
// none) and its allocation. Its file is Folder + Number + ".INI" and its
// transactions lie in Folder + Number + ".TRN\". Values at a date count the
// transactions dated on or before it.
class TAsset : public TCustomPropertyObject {
 public:
  TAsset();
  ~TAsset() override;
  TAsset(const TAsset&) = delete;
  TAsset& operator=(const TAsset&) = delete;

  void clear();
  // 0; -2 asset file or transaction folder missing; -3 an unreadable file,
  // or a folder under a file's name; -7 a file that holds no record of its
  // kind: an asset file without its sections, a transaction file (see
  // TTransaction::load), a price file without a valid line; -7 also for an
  // asset file cut short (see recordCutShort: without its own section, or
  // without its entry count and its currency), holding a number that does
  // not read, or giving a price format without a price file (other than
  // constantPriceFormat); other codes of the price cache. A file without
  // the count may leave out the allocation, which is then invalid.
  // A failed load leaves the asset cleared.
  // readAhead: where the asset's file and transaction folder were queued.
  int load(const std::string& folder, int32_t number, const TProgressProcedure& progress, void* cookie,
           TFileReadAhead* readAhead = nullptr);
  // Why the last load failed, in words for the user, to follow the asset's
  // file name: its label when its file was read, then ": " and why; empty
  // after a load that succeeded.
  const std::string& loadFailure() const { return loadFailure_; }
  // The asset's file and transaction folder in a portfolio's folder (ending
  // in a backslash).
  static std::string fileNameIn(const std::string& folder, int32_t number);
  static std::string transactionFolderIn(const std::string& folder, int32_t number);
  // The transactions, a modified price series (only when the transactions
  // saved) and the asset file (only when the asset itself changed since it
  // was read or written). -4 when the asset file cannot be written, else the
  // first failure. The portfolio's name tells the user whose asset a
  // notice of the save means.
  int save(const std::string& portfolioName = {}, const TFileStamps& stamps = TFileStamps());
  // Appends the asset's file and its transactions' files.
  void recordFiles(std::vector<std::string>& files) const;
  // The files the last save could not write: the asset file first.
  const std::vector<std::string>& UnsavedFiles() const { return unsavedFiles_; }
  // Makes the asset's file and transaction folder, with one empty first
  // transaction; the asset is not left loaded. -4 when the file or folder
  // exists or cannot be made; unless skipChecks, -2 for a price file in a
  // missing folder and -6 for a format that does not compile.
  int createNew(const std::string& name, const std::string& symbol, bool skipChecks, int32_t firstTransactionNumber,
                int32_t number, const std::string& formatString, const std::string& location,
                const std::string& folder, const std::string& currency);
  // The asset's file and transaction folder as deleteWhole takes them: its
  // file first, for once that is gone, so is the asset, whatever of its
  // transactions another program keeps on the disk. None for a cleared
  // asset, which names no files of its own.
  std::vector<std::string> deletionPaths() const;

  void navAt(bool atOrBefore, long double& value, bool& ok, double date);
  void investmentAt(const std::string& currency, long double& value, bool& ok, double date);
  void principalAt(const std::string& currency, long double& value, bool& ok, double date);
  void feesAt(const std::string& currency, long double& value, bool& ok, double date);
  int investmentFlows(const std::string& currency, TFlowList& flows, bool& ok, double fromDate, double toDate);
  int principalFlows(const std::string& currency, TFlowList& flows, bool& ok, double fromDate, double toDate);
  int feeFlows(const std::string& currency, TFlowList& flows, bool& ok, double fromDate, double toDate);
  void flagAt(std::string& flag, bool& found, double date);

  void firstTransactionDate(double& date, bool& ok);
  void lastTransactionDate(double& date, bool& ok);
  void minTransactionNumber(int32_t& number, bool& ok) const;
  void maxTransactionNumber(int32_t& number, bool& ok) const;
  int transactionCount() const;
  // Without a price history: the first transaction date, and now.
  void firstQuoteDate(double& date, bool& found);
  void lastQuoteDate(double& date, bool& found);
  int mergeDates(std::vector<double>& dates) const;
  int appendTransactionNumbers(std::vector<int32_t>& numbers) const;

  int addTransaction(int32_t number, int32_t soft, double dateTime, long double units, long double value,
                     long double fees, const std::string& flag, const std::string& comment, bool save);
  int deleteTransactionsBetweenDates(int32_t exceptTransaction, bool onlySoft, double fromDate, double toDate,
                                     bool keepFilesForReuse = false);
  int deleteTransactionsByNumber(int32_t lo, int32_t hi, int32_t exceptNumber, bool onlySoft);

  const std::string& getCurrency() const { return currency_; }
  void setCurrency(const std::string& currency);
  void setName(const std::string& name);
  void setSymbol(const std::string& symbol);

  bool getAllocation(double& stocks, double& bonds, double& cash, double& other) const;
  void setPercentStocks(double percent);
  void setPercentBonds(double percent);
  void setPercentCash(double percent);
  void setPercentOther(double percent);

  int priceFormatFields() const;
  bool noPriceHistoryLocation() const;
  bool priceHistoryInForexDir() const;
  int alignPricesToDates(const std::vector<double>& dates, double fromDate, double tolerance);
  int restorePrices();

  double lastChange() const override;

  int32_t Number() const { return number_; }
  const std::string& Name() const { return name_; }
  const std::string& Symbol() const { return symbol_; }
  const std::string& Folder() const { return folder_; }
  const std::string& TransactionFolder() const { return transactionFolder_; }
  const std::string& PriceHistoryLocation() const { return priceHistoryLocation_; }
  const std::string& PriceHistoryFormatString() const { return priceHistoryFormatString_; }
  TTransactionTable& Transactions() { return transactions_; }
  const TTransactionTable& Transactions() const { return transactions_; }
  TPrices& Prices() const { return *prices_; }
  TAllocation& Allocation() { return allocation_; }
  const TAllocation& Allocation() const { return allocation_; }
  double LastChange() const { return lastChange_; }

 private:
  std::string fileName() const;
  void writeTo(TPortableIniFile& ini) const;
  double ownChange() const;
  // Notes the asset file as unsaved; -4.
  int ownFileUnsaved(const std::string& file);
  void releasePrices();
  TForex* tableTo(const std::string& currency, bool& sameCurrency) const;
  template <class Sum>
  void sumIn(const std::string& currency, long double& value, bool& ok, double date, Sum sum);
  template <class Flows>
  int flowsIn(const std::string& currency, bool& ok, Flows addFlows);

  int32_t number_ = -1;
  std::string name_;
  std::string symbol_;
  std::string folder_;
  std::string loadFailure_;
  std::string transactionFolder_;
  std::string priceHistoryLocation_;
  std::string priceHistoryFormatString_;
  std::string currency_;
  TTransactionTable transactions_;
  TPrices* prices_ = nullptr;  // held through the price cache, never null
  TAllocation allocation_;
  double lastChange_ = 0;
  double lastSaved_ = 0;  // when the asset file last matched the asset
  // What the asset file holds as far as the asset knows: a save writes only
  // what changed since, and keeps what another program wrote.
  TSettingsBaseline saved_;
  std::vector<std::string> unsavedFiles_;
};

// Name + " (" + Symbol + ")", or the Symbol alone when the Name is empty: how
// progress reports and lists name an asset or a portfolio.
std::string objectLabel(const std::string& name, const std::string& symbol);
// A text of any length (a damaged name or path) cut to fit a line told to
// the user.
std::string shortLabel(const std::string& text);
