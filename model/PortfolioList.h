#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPortfolio;

// The portfolio folders directly under a root folder: every subfolder whose
// name reads as an integer above 0, as root + name, in listing order.
std::vector<std::string> portfolioFolders(const std::string& root);

// The headers of the portfolios under a root folder (each read from its
// "0.INI" only), for the dialog that picks the portfolios to open.
class TPortfolioList {
 public:
  TPortfolioList();
  ~TPortfolioList();
  TPortfolioList(const TPortfolioList&) = delete;
  TPortfolioList& operator=(const TPortfolioList&) = delete;

  void clear();
  // The index of the portfolio in that folder (case and a missing trailing
  // backslash ignored), or -1.
  int indexOfFolder(const std::string& folder) const;
  // 0 when listed already; otherwise the header's load result, and the
  // portfolio is listed only on 0.
  int add(const std::string& folder);
  // -2 for a missing root; else every portfolio folder is added and the
  // first failure is returned.
  int scan(const std::string& root);
  int saveLoadAlways();
  int count() const { return static_cast<int>(portfolios_.size()); }
  TPortfolio* items(int index) const;

 private:
  std::vector<std::unique_ptr<TPortfolio>> portfolios_;
  int32_t serialCounter_ = 0;
};
