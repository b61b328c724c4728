#pragma once
#include <cstdint>
#include <vector>

// The rows (or the columns) of a sheet: how many there are, how many leading
// ones are fixed headers, and their pixel sizes. Index 0 is the header row
// or column. Only sizes set explicitly are stored; every other index has the
// default size.
class TProps {
 public:
  // The highest index with an explicit size, -1 when there is none.
  int lastSized() const { return static_cast<int>(sizes.size()) - 1; }
  // The explicit size of index i, else the default (also for negative i).
  int getSize(int i) const;
  // Stores max(6, s) at index i, growing the explicit sizes with default
  // sizes up to i; a negative i is ignored. Returns the size stored.
  int setSize(int i, int s);
  // Follows an insertion (n > 0: n indexes before index) or a deletion
  // (n < 0: the |n| indexes before index) of rows or columns. The header
  // (index 0) never moves.
  void shiftSizes(int index, int n);
  // Exchanges the sizes of i and j through setSize.
  void swapSizes(int i, int j);
  void clearSizes() { sizes.clear(); }

  bool showCoords = true;  // the header (row numbers or column letters) is shown
  bool sizable = true;     // the user may resize with the mouse
  std::int32_t fixedCount = 0;
  std::int32_t count = 2147483647;
  std::int32_t defaultSize = 16;
  std::vector<std::int32_t> sizes;

  // No size is ever stored below this many pixels.
  static constexpr int minimumSize = 6;
};

class TColProps : public TProps {
 public:
  bool numericColCoords = false;  // column headers show numbers instead of letters
};
