#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/ProgressReport.h"
#include "platform/FileStamps.h"

class TPortfolio;

// The program's root object: the open portfolios with the current one, the
// sorted union of their price dates, and the operations that open, close,
// create, duplicate and delete portfolio folders. Sheet formulas address
// portfolios by their index here.
class TPortfolioTable {
 public:
  TPortfolioTable();
  ~TPortfolioTable();
  TPortfolioTable(const TPortfolioTable&) = delete;
  TPortfolioTable& operator=(const TPortfolioTable&) = delete;

  void clear();
  int indexOfFolder(const std::string& folder) const;
  // 0 when open already; otherwise the portfolio's load result, and it is
  // added only on 0.
  int open(const std::string& folder, bool onlyIfLoadAlways, const TProgressProcedure& progress, void* cookie,
           bool withAssets, bool setLoadAlways);
  // Clears the table and opens every portfolio folder under the root; -2
  // for a missing root. The result is the first failure, leaving aside the
  // portfolios skipped because they are not marked to load always.
  int openAll(const std::string& root, bool onlyIfLoadAlways, const TProgressProcedure& progress, void* cookie,
              bool withAssets, bool setLoadAlways);
  // Saves the portfolio and takes it out of the table. When the save fails
  // it stays open with all its changes, and the failure is returned.
  int close(const std::string& folder, bool clearLoadAlways, const TProgressProcedure& progress, void* cookie);
  // Saves every portfolio, also after one failed; the files that could not
  // be written are appended to unsavedFiles when given.
  int saveAll(std::vector<std::string>* unsavedFiles = nullptr);
  // As saveAll, with the record files' stamps looked up before.
  int saveAll(const TFileStamps& stamps, std::vector<std::string>* unsavedFiles = nullptr);
  // The files of every portfolio's records: its header, its assets' files
  // and their transactions' files.
  std::vector<std::string> recordFiles() const;
  // Creates the first free numbered folder under the root and opens it.
  int newPortfolio(const std::string& name, const std::string& symbol, std::string& folder, const std::string& root,
                   const std::string& currency);
  // Saves the portfolio, copies its folder to the first free numbered one
  // under the root and opens the copy.
  int duplicatePortfolio(int index, const std::string& root);
  // Deletes the portfolio's folder and takes it out of the table, or, when a
  // file or folder of it would refuse, deletes nothing and keeps it: -4, and
  // refusal (when given) names it and why. Taken out, it may still have left
  // some on disk (another program took them after they were asked): refusal
  // then tells what is left.
  int deletePortfolio(int index, std::string* refusal = nullptr);

  int rebuildDates();
  int reloadPrices();
  int loadForexTables(const TProgressProcedure& progress, void* cookie);
  int reloadForexTables(const TProgressProcedure& progress, void* cookie);

  int count() const { return static_cast<int>(portfolios_.size()); }
  TPortfolio* items(int index) const;
  int currentIndex() const;
  void setCurrentIndex(int index);
  TPortfolio* current() const;
  // The open portfolio of that serial number; nullptr once it is closed.
  TPortfolio* withSerial(int32_t serial) const;

  double lastChange() const;
  int lastDate(double& date, bool& found) const;
  void firstTradeDate(double& date, bool& found);
  void latestFirstTradeDate(double& date, bool& found);
  void earliestLastQuoteDate(double& date, bool& found);
  // Through the program-wide currency tables, an earlier rate accepted.
  void convertCurrency(const std::string& fromCurrency, const std::string& toCurrency, bool& ok, double& rateDate,
                       double date, long double& result, long double amount) const;

  const std::vector<double>& Dates() const { return dates_; }
  double LastChange() const { return lastChange_; }
  double CurrentChange() const { return currentChange_; }

 private:
  using TPortfolioDate = void (TPortfolio::*)(double&, bool&);

  int openFolder(const std::string& folder, bool onlyIfLoadAlways, const TProgressProcedure& progress, void* cookie,
                 bool withAssets, bool setLoadAlways, bool* skippedAsNotLoadAlways);
  void pickDate(TPortfolioDate portfolioDate, bool later, double& date, bool& found);

  std::vector<std::unique_ptr<TPortfolio>> portfolios_;
  int currentIndex_ = -1;
  double lastChange_ = 0;
  double currentChange_ = 0;
  int32_t serialCounter_ = 0;
  std::vector<double> dates_;
};
