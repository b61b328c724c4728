#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Asset.h"
#include "model/CashFlows.h"
#include "model/CustomProperties.h"
#include "model/ProgressReport.h"
#include "model/SettingsBaseline.h"

class TTransaction;

// One portfolio: a folder holding its header "0.INI", one file N.INI and one
// transaction folder N.TRN\ per asset, and the folders of the windows' saved
// views. It owns its assets, keeps the sorted union of their price dates and
// the numbers of all their transactions, and values them in its currency.
class TPortfolio : public TCustomPropertyObject {
 public:
  // The owner's counter gives the portfolio its serial number.
  explicit TPortfolio(int32_t& serialCounter);
  ~TPortfolio() override;
  TPortfolio(const TPortfolio&) = delete;
  TPortfolio& operator=(const TPortfolio&) = delete;

  void clear();
  // 0; -2 no header; -3 unreadable header, a folder under its name, one
  // that holds no portfolio (no section "Portfolio") or one cut short (see
  // recordCutShort; without its entry count and its currency too; all
  // three told as a load failure); a LoadAlways that is
  // no number is told and taken as not set; -7 with
  // onlyIfLoadAlways when the header is not marked to load always
  // (skippedAsNotLoadAlways then tells this case from the -7 of an asset);
  // the first failing asset's code. A failed load leaves the portfolio
  // cleared.
  int load(const std::string& folder, bool onlyIfLoadAlways, const TProgressProcedure& progress, void* cookie,
           bool withAssets, bool setLoadAlways, bool* skippedAsNotLoadAlways = nullptr);
  // The header, then every asset (all of them, even after a failure); the
  // header's failure (-4), else the first asset's.
  int save(const TFileStamps& stamps = TFileStamps());
  // Appends the header's file and every asset's record files.
  void recordFiles(std::vector<std::string>& files) const;
  // The files the last save could not write, in the order tried.
  const std::vector<std::string>& UnsavedFiles() const { return unsavedFiles_; }
  // Saves a changed "LoadAlways" mark as the header's save does (what
  // another program cut out of the header since is put back); -4, leaving
  // it as it is, when the header cannot be read or written or holds no
  // portfolio any more.
  int saveLoadAlways();
  int createNew(const std::string& name, const std::string& symbol, const std::string& folder,
                const std::string& currency);
  // Deletes the portfolio's folder with everything in it whole or not at all
  // (see deleteWhole): true once its header is gone, why telling what
  // refused or what is left.
  bool deleteFiles(std::string& why);

  // readAhead: where the asset's files were queued.
  int loadAsset(int32_t number, const TProgressProcedure& progress, void* cookie,
                TFileReadAhead* readAhead = nullptr);
  int newAsset(const std::string& name, const std::string& symbol, bool skipChecks, const std::string& formatString,
               const std::string& location, const std::string& currency);
  // Deletes the asset's file and transactions, and the files given that
  // belong to it alone (its notes), and takes it out; or, when one of them
  // would refuse, deletes nothing and keeps it: -4, and refusal (when given)
  // names the file or folder and why. Taken out, it may still have left
  // some on disk (another program took them after they were asked):
  // refusal then tells what is left.
  int deleteAsset(int index, const std::vector<std::string>& alongWith = {}, std::string* refusal = nullptr) {
    return deleteAssets({index}, {alongWith}, refusal);
  }
  // The same for several assets the user gave as one deletion (distinct
  // indexes, alongWith[i] the files of indexes[i]): when one file or folder
  // of any would refuse, none goes. -7 when an index names no asset, and
  // nothing goes then either.
  int deleteAssets(const std::vector<int>& indexes, const std::vector<std::vector<std::string>>& alongWith,
                   std::string* refusal = nullptr);
  int assetCount() const { return static_cast<int>(assets_.size()); }
  TAsset* assets(int index) const;
  int currentAssetIndex() const;
  TAsset* currentAsset() const;
  void setCurrentAssetIndex(int index);

  const std::string& getCurrency() const { return currency_; }
  void setCurrency(const std::string& currency);
  void setName(const std::string& name);
  void setSymbol(const std::string& symbol);
  int loadForexTables(const TProgressProcedure& progress, void* cookie);

  int rebuildDates();
  int mergeDatesInto(std::vector<double>& dates) const;
  void firstQuoteDate(double& date, bool& found) const;
  int lastQuoteDate(double& date, bool& found) const;
  void firstTradeDate(double& date, bool& found);
  void lastTradeDate(double& date, bool& found);
  void latestFirstTradeDate(double& date, bool& found);
  void earliestLastQuoteDate(double& date, bool& found);
  void latestFirstQuoteDate(double& date, bool& found);

  // 1 + the largest transaction number of all assets (1 when there is none
  // or all are below 1); -4 when the largest is already the largest integer.
  int32_t nextTransactionNumber() const;
  int transactionCount() const { return static_cast<int>(transactionNumbers_.size()); }
  TTransaction* transactionByIndex(int index) const;
  TTransaction* findTransaction(int32_t number) const;
  TAsset* findTransactionAsset(int32_t number) const;
  int indexOfTransactionNumber(int32_t number) const;
  void minTransactionNumber(int32_t& number, bool& found) const;
  void maxTransactionNumber(int32_t& number, bool& found) const;
  int addTransaction(int assetIndex, int32_t soft, double dateTime, long double units, long double value,
                     long double fees, const std::string& flag, const std::string& comment, bool save);
  // -7 when no transaction has the number; -4, deleting nothing, when its
  // file refuses, and refusal (when given) names it and why.
  int deleteTransaction(int32_t number, std::string* refusal = nullptr);
  // keepFilesForReuse: see TTransactionTable::deleteBetweenDates; the spares
  // left are discarded by discardSpareTransactionFiles, false when one stays.
  // The files of every asset are asked first: -4, deleting nothing, when
  // one refuses, and refusal (when given) names it and why.
  int deleteTransactionsBetweenDates(int32_t exceptTransaction, bool onlySoft, double fromDate, double toDate,
                                     bool keepFilesForReuse = false, std::string* refusal = nullptr);
  bool discardSpareTransactionFiles();
  int rebuildTransactionNumbers();

  // Values in the portfolio's currency; the rate age is the distance in days
  // between the date and the date of the exchange rate used.
  void assetNavAt(int assetIndex, bool acceptEarlier, bool& ok, double& rateAge, long double& value,
                  long double& nativeValue, double date);
  void navAt(bool acceptEarlier, long double& value, bool& ok, double& maxRateAge, double date);
  void assetInvestmentAt(int assetIndex, long double& value, bool& ok, double date);
  void assetPrincipalAt(int assetIndex, long double& value, bool& ok, double date);
  void assetFeesAt(int assetIndex, long double& value, bool& ok, double date);
  void investmentAt(long double& value, bool& ok, double date);
  void principalAt(long double& value, bool& ok, double date);
  void feesAt(long double& value, bool& ok, double date);
  void investmentFlows(TFlowList& flows, bool& ok, double fromDate, double toDate);
  void principalFlows(TFlowList& flows, bool& ok, double fromDate, double toDate);
  void feeFlows(TFlowList& flows, bool& ok, double fromDate, double toDate);
  // The shares of the four classes, weighted by each asset's value; not ok
  // without assets, at a total of 0, or for a held asset without a valid
  // allocation.
  void allocationAt(bool acceptEarlier, double& stocks, double& bonds, double& cash, double& other, bool& ok,
                    double& maxRateAge, double date);
  // The value of the assets held in a currency, in that currency; 0 and ok
  // when none is held in it.
  void currencyPartAt(const std::string& currency, bool acceptEarlier, bool& ok, long double& value, double date);
  void convertedCurrencyPartAt(const std::string& currency, bool acceptEarlier, bool& ok, long double& value,
                               long double& nativeValue, double& maxRateAge, double date);

  int alignPricesToDates(const std::vector<double>& dates, double fromDate, double tolerance);
  int restoreAlignedPrices();

  double lastChange() const override;

  int32_t Serial() const { return serial_; }
  bool LoadAlways() const { return loadAlways_; }
  void setLoadAlways(bool loadAlways);
  const std::string& Name() const { return name_; }
  const std::string& Symbol() const { return symbol_; }
  const std::string& Folder() const { return folder_; }
  const std::vector<double>& Dates() const { return dates_; }
  const std::vector<int32_t>& TransactionNumbers() const { return transactionNumbers_; }
  double LastChange() const { return lastChange_; }
  double CurrentAssetChange() const { return currentAssetChange_; }
  double AssetsChange() const { return assetsChange_; }

 private:
  using TAssetSum = void (TAsset::*)(const std::string&, long double&, bool&, double);
  using TAssetFlows = int (TAsset::*)(const std::string&, TFlowList&, bool&, double, double);
  using TAssetDate = void (TAsset::*)(double&, bool&);

  void assetSumAt(int assetIndex, TAssetSum sum, long double& value, bool& ok, double date);
  void sumAt(TAssetSum sum, long double& value, bool& ok, double date);
  void flowsIn(TAssetFlows addFlows, TFlowList& flows, bool& ok, double fromDate, double toDate);
  void pickDate(TAssetDate assetDate, bool later, double& date, bool& found);
  std::string freeAssetStem() const;
  int saveHeader(const TFileStamps& stamps = TFileStamps());
  void writeHeader(TPortableIniFile& ini) const;

  int32_t serial_;
  int currentAssetIndex_ = -1;
  double lastChange_ = 0;
  double currentAssetChange_ = 0;
  double assetsChange_ = 0;
  // The header's own: the other stamps also move for what it does not hold
  // (exchange rates loaded, assets added).
  double headerChange_ = 0;
  double headerSaved_ = 0;  // when the header file last matched the portfolio
  bool loadAlways_ = true;
  bool savedLoadAlways_ = true;
  // What the header holds as far as the portfolio knows: a save writes only
  // what changed since, and keeps what another program wrote.
  TSettingsBaseline savedHeader_;
  std::string name_;
  std::string symbol_;
  std::string folder_;
  // Why the last loadAsset failed, after the asset's label when known.
  std::string assetFailure_;
  std::string currency_;
  std::vector<std::unique_ptr<TAsset>> assets_;
  std::vector<double> dates_;
  std::vector<int32_t> transactionNumbers_;
  std::vector<std::string> unsavedFiles_;
};

// Merges the dates appended to a sorted list since it held sortedCount
// entries into their places, as sorting the whole list would.
void sortAppendedDates(std::vector<double>& dates, size_t sortedCount);
