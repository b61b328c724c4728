#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// The falling glyphs of the splash window: three columns of glyph indexes
// (0, 1, 2) that the timer moves down at different speeds. Kept apart from
// the window so the stepping can be checked without one.
class TSplashMatrix {
 public:
  static constexpr int columnCount = 3;

  // Sizes the columns once: later activations of the window keep them.
  void sizeOnce(int paintBoxHeight, int glyphHeight);
  int rowCount() const { return rowCount_; }
  // The glyphs of column 1, 2 or 3, top row first.
  const std::vector<uint8_t>& column(int number) const { return columns_[number - 1]; }
  int phase() const { return phase_; }

  // One timer tick: steps the columns of the current phase (column 2 every
  // tick, column 3 on two ticks of three, column 1 on one) and answers them
  // in the order stepped. randomGlyph answers 0 or 1 for each new top entry.
  std::vector<int> tick(const std::function<int()>& randomGlyph);

 private:
  void stepColumn(int number, const std::function<int()>& randomGlyph);

  int rowCount_ = 0;
  int phase_ = 0;
  std::array<std::vector<uint8_t>, columnCount> columns_;
};
