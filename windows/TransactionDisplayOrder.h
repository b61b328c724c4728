#pragma once
#include <cstdint>
#include <vector>

class TAsset;
class TPortfolio;

// The user's order of the Transactions window's lines: per entry of the
// portfolio's transaction-number list, the line position in the single-asset
// view (asset order) and in the whole-portfolio view (portfolio order); -1
// when unknown. Lines start at 2, below the header line.
// The pairs belong to transactions, not to places in the list: the list is
// rebuilt in each asset's storage order by operations outside the window
// (a trading system's run, an asset's deletion), and every operation here
// first moves the pairs to the places their transactions now hold.
class TTransactionDisplayOrder {
 public:
  struct TOrderPair {
    int assetOrder = -1;
    int portfolioOrder = -1;
  };

  // From each transaction's "DisplayOrder" (both members); without one its
  // Number + 1, never below 2.
  void loadFromTransactions(const TPortfolio& portfolio);
  // Writes each known portfolio order back as "DisplayOrder", but for one
  // a transaction without a readable order takes at loading anyway.
  void storeInTransactions(const TPortfolio& portfolio) const;
  void clear() {
    pairs_.clear();
    numbers_.clear();
  }
  // Moves the pairs to the places their transactions hold in the number
  // list; a transaction new to the order is unknown (-1).
  void follow(const std::vector<int32_t>& numbers);

  // The number-list positions of the view's lines in display order: every
  // entry of the list (whole portfolio), or the asset's transactions. Lines
  // of unknown order come after all others, in list order.
  std::vector<int> linePositions(const TPortfolio& portfolio, bool wholePortfolio, const TAsset* asset) const;
  // Takes the order of the lines shown (their positions in numbers, the
  // portfolio's list, line 2 first). In the single-asset view the portfolio orders the asset's
  // transactions hold are dealt out again in the new asset order, so the
  // asset's order carries into the whole-portfolio view while the other
  // assets' lines keep their places.
  void capture(const std::vector<int>& shownPositions, bool wholePortfolio, const std::vector<int32_t>& numbers);
  // Places a transaction just added (at newPosition of numbers, the list
  // after the addition) directly after the insertion line, on which the
  // transaction at anchorPosition is shown (-1: no transaction there).
  void placeAdded(int newPosition, int anchorPosition, int insertionLine, bool wholePortfolio,
                  const std::vector<int32_t>& numbers);
  // After transactions went and the list was rebuilt: each survivor keeps
  // its portfolio order in both members. oldNumbers is the list before.
  void keepAfterDeletion(const std::vector<int32_t>& oldNumbers, const std::vector<int32_t>& newNumbers);
  // After a merge added merged transactions: survivors keep orders up to the
  // anchor and move up by the merged count above it; merged ones take
  // anchor + 1, anchor + 2, ... in list order. Answers how many kept their
  // order within the view (in view: the positions that belong to it).
  int placeMerged(int anchor, int mergedCount, const std::vector<int32_t>& oldNumbers,
                  const std::vector<int32_t>& newNumbers, const std::vector<bool>& inView);

  // After the transactions were renumbered and the list rebuilt as
  // numbers: the entry at old position i moves to newPositions[i] (-1: gone).
  void movePositions(const std::vector<int>& newPositions, const std::vector<int32_t>& numbers);

  int largestPortfolioOrder() const;
  // How many entries in view are placed before the anchor; inView runs
  // over the list the order follows.
  int countBefore(int anchor, const std::vector<bool>& inView) const;
  // The pair at a position of the list the order follows.
  const TOrderPair& pair(int position) const { return pairs_[position]; }
  int size() const { return static_cast<int>(pairs_.size()); }

 private:
  // The pairs at the places the transactions hold in numbers.
  std::vector<TOrderPair> pairsFor(const std::vector<int32_t>& numbers) const;

  std::vector<TOrderPair> pairs_;
  std::vector<int32_t> numbers_;  // the list pairs_ runs along
};
