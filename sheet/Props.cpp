#include "sheet/Props.h"

#include <algorithm>

int TProps::getSize(int i) const {
  if (i < 0 || i >= static_cast<int>(sizes.size())) return defaultSize;
  return sizes[static_cast<std::size_t>(i)];
}

int TProps::setSize(int i, int s) {
  if (i < 0) return s;
  if (i >= static_cast<int>(sizes.size())) sizes.resize(static_cast<std::size_t>(i) + 1, defaultSize);
  sizes[static_cast<std::size_t>(i)] = std::max(minimumSize, s);
  return sizes[static_cast<std::size_t>(i)];
}

void TProps::shiftSizes(int index, int n) {
  int length = static_cast<int>(sizes.size());
  if (n > 0) {
    // Beyond the stored sizes every index already has the default size.
    if (index < 1 || length == 0 || index > length) return;
    sizes.insert(sizes.begin() + index, static_cast<std::size_t>(n), defaultSize);
    return;
  }
  if (n < 0) {
    int target = index + n;
    if (target < 1) return;
    if (index <= length) {
      sizes.erase(sizes.begin() + target, sizes.begin() + index);
    } else {
      // The deleted indexes reach past the stored sizes: the stored ones
      // from target on go, and the length becomes index + n.
      sizes.resize(static_cast<std::size_t>(target), defaultSize);
    }
  }
}

void TProps::swapSizes(int i, int j) {
  int sizeOfI = getSize(i);
  int sizeOfJ = getSize(j);
  setSize(i, sizeOfJ);
  setSize(j, sizeOfI);
}
