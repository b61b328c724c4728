#include "app/SplashMatrix.h"

void TSplashMatrix::sizeOnce(int paintBoxHeight, int glyphHeight) {
  if (rowCount_ >= 1 || glyphHeight <= 0) return;
  rowCount_ = paintBoxHeight / glyphHeight;
  for (auto& column : columns_) column.assign(static_cast<size_t>(rowCount_ > 0 ? rowCount_ : 0), 2);
}

std::vector<int> TSplashMatrix::tick(const std::function<int()>& randomGlyph) {
  static const std::vector<int> columnsByPhase[3] = {{2}, {2, 3}, {1, 2, 3}};
  const std::vector<int>& stepped = columnsByPhase[phase_];
  for (int number : stepped) stepColumn(number, randomGlyph);
  phase_ = (phase_ + 1) % 3;
  return stepped;
}

void TSplashMatrix::stepColumn(int number, const std::function<int()>& randomGlyph) {
  std::vector<uint8_t>& column = columns_[number - 1];
  if (column.empty()) return;
  for (size_t row = column.size() - 1; row >= 1; --row) column[row] = column[row - 1];
  column[0] = static_cast<uint8_t>(randomGlyph() == 0 ? 0 : 1);
}
