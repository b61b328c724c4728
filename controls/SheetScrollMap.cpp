#include "controls/SheetScrollMap.h"

#include <algorithm>

#include "sheet/Sheet.h"

namespace {

// The lines the bar's scale covers: at least what is shown or used.
int scrollSpan(const TScrollAxis& axis) {
  return std::max(1, std::max(axis.last, std::min(axis.count, axis.used)) - axis.fixed);
}

}  // namespace

TScrollAxis verticalScrollAxis(const TSheet& sheet) {
  return TScrollAxis{sheet.topRow, sheet.bottomRow, sheet.getRowCount(), static_cast<int>(sheet.getUsedExtent().y),
                     sheet.getFixedRows()};
}

TScrollAxis horizontalScrollAxis(const TSheet& sheet) {
  return TScrollAxis{sheet.leftCol, sheet.rightCol, sheet.getColCount(), static_cast<int>(sheet.getUsedExtent().x),
                     sheet.getFixedCols()};
}

// Whole-number arithmetic: the exact quotient truncated, so that the inverse
// below finds the line again without rounding slips.
TScrollThumb scrollThumb(const TScrollAxis& axis, int maxPosition) {
  const long long span = scrollSpan(axis);
  const long long shown = axis.last - axis.first + 1;
  TScrollThumb thumb;
  thumb.pageSize = static_cast<int>(std::clamp<long long>(shown * maxPosition / span, 1, maxPosition));
  thumb.position = static_cast<int>((axis.first - axis.fixed - 1LL) * maxPosition / span) + 1;
  return thumb;
}

int scrollLineAt(const TScrollAxis& axis, int position, int maxPosition) {
  // The inverse of scrollThumb with the same span: position p stands for the
  // lines whose offset o satisfies trunc(o / span * max) = p - 1.
  const long long span = scrollSpan(axis);
  const long long steps = std::max(0, position - 1);
  const long long offset = (steps * span + maxPosition - 1) / maxPosition;
  return static_cast<int>(std::min<long long>(axis.fixed + 1 + offset, std::max(axis.count, axis.fixed + 1)));
}
