#pragma once
#include <cstdint>
#include <vector>

class TAsset;
class TPortfolio;

// The user's order of the Transactions window's lines: per entry of the
// portfolio's transaction-number list, the line position in the single-asset
// view (asset order) and in the whole-portfolio view (portfolio order); -1
// when unknown. Lines start at 2, below the header line.
class TTransactionDisplayOrder {
 public:
  struct TOrderPair {
    int assetOrder = -1;
    int portfolioOrder = -1;
  };

  // From each transaction's "DisplayOrder" (both members); without one its
  // Number + 1, never below 2.
  void loadFromTransactions(const TPortfolio& portfolio);
  // Writes each known portfolio order back as "DisplayOrder".
  void storeInTransactions(const TPortfolio& portfolio) const;
  void clear() { pairs_.clear(); }

  // The number-list positions of the view's lines in display order: every
  // entry of the list (whole portfolio), or the asset's transactions. Lines
  // of unknown order come after all others, in list order.
  std::vector<int> linePositions(const TPortfolio& portfolio, bool wholePortfolio, const TAsset* asset) const;
  // Takes the order of the lines shown (their number-list positions, line 2
  // first). In the single-asset view the portfolio orders the asset's
  // transactions hold are dealt out again in the new asset order, so the
  // asset's order carries into the whole-portfolio view while the other
  // assets' lines keep their places.
  void capture(const std::vector<int>& shownPositions, bool wholePortfolio, int listLength);
  // Places a transaction just added (at newPosition of the number list)
  // directly after the insertion line, on which the transaction at
  // anchorPosition is shown (-1: no transaction there).
  void placeAdded(int newPosition, int anchorPosition, int insertionLine, bool wholePortfolio, int listLength);
  // After transactions went and the list was rebuilt: each survivor keeps
  // its portfolio order in both members. oldNumbers is the list before.
  void keepAfterDeletion(const std::vector<int32_t>& oldNumbers, const std::vector<int32_t>& newNumbers);
  // After a merge added merged transactions: survivors keep orders up to the
  // anchor and move up by the merged count above it; merged ones take
  // anchor + 1, anchor + 2, ... in list order. Answers how many kept their
  // order within the view (in view: the positions that belong to it).
  int placeMerged(int anchor, int mergedCount, const std::vector<int32_t>& oldNumbers,
                  const std::vector<int32_t>& newNumbers, const std::vector<bool>& inView);

  // After the number list was rebuilt in another order: the entry at old
  // position i moves to newPositions[i] (-1: gone).
  void movePositions(const std::vector<int>& newPositions, int listLength);

  int largestPortfolioOrder() const;
  // How many entries in view are placed before the anchor.
  int countBefore(int anchor, const std::vector<bool>& inView) const;
  const TOrderPair& pair(int position) const { return pairs_[position]; }
  int size() const { return static_cast<int>(pairs_.size()); }

 private:
  void grow(int listLength);

  std::vector<TOrderPair> pairs_;
};
