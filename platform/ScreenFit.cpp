#include "platform/ScreenFit.h"

#include <algorithm>
#include <cstdint>

RECT screenWorkArea() {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

RECT fitOnWorkArea(int left, int top, int width, int height, const RECT& workArea, SIZE minimum) {
  // Counted in 64 bits: a stored place of 2147483647 plus its width must not
  // wrap round.
  const auto fit = [](std::int64_t start, std::int64_t size, std::int64_t areaFirst, std::int64_t areaLast,
                      std::int64_t smallest, LONG& fittedFirst, LONG& fittedLast) {
    const std::int64_t area = std::max<std::int64_t>(0, areaLast - areaFirst);
    const std::int64_t fittedSize = std::clamp(size, std::min(smallest, area), area);
    const std::int64_t fittedStart = std::clamp(start, areaFirst, areaLast - fittedSize);
    fittedFirst = static_cast<LONG>(fittedStart);
    fittedLast = static_cast<LONG>(fittedStart + fittedSize);
  };
  RECT fitted{};
  fit(left, width, workArea.left, workArea.right, minimum.cx, fitted.left, fitted.right);
  fit(top, height, workArea.top, workArea.bottom, minimum.cy, fitted.top, fitted.bottom);
  return fitted;
}
