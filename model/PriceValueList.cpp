#include "model/PriceValueList.h"

#include <cmath>
#include <new>

TPriceValueList TPriceValueList::forComputedValues() {
  TPriceValueList list;
  list.computed_ = true;
  return list;
}

void TPriceValueList::reserve(size_t count) {
  if (computed_) kept_.reserve(count);
  else codes_.reserve(count);
}

bool TPriceValueList::decimalCode(const long double& value, uint32_t& code) {
  // Also false for a NaN.
  if (!(std::fabs(value) <= largestDigits)) return false;
  auto fits = [&](uint32_t places) {
    const long double digits = std::nearbyint(value * powersOfTen[places]);
    if (!(std::fabs(digits) <= largestDigits)) return false;
    const auto whole = static_cast<int32_t>(digits);
    const long double back = extendedQuotient(whole, powersOfTen[places]);
    // Compared bit for bit: -0 equals 0 but would come back as 0.
    if (std::memcmp(&back, &value, sizeof(TPackedValue)) != 0) return false;
    code = static_cast<uint32_t>(whole) << placesBits | places;
    return true;
  };
  if (fits(lastPlaces_)) return true;
  for (uint32_t places = 0; places < keptWhole; ++places) {
    // More places only make the digits longer.
    if (!(std::fabs(value * powersOfTen[places]) <= largestDigits)) break;
    if (places != lastPlaces_ && fits(places)) {
      lastPlaces_ = places;
      return true;
    }
  }
  return false;
}

void TPriceValueList::push_back(const long double& value) {
  if (computed_) {
    kept_.push_back(pack(value));
    return;
  }
  uint32_t code = 0;
  if (!decimalCode(value, code)) {
    // A code has room for that many positions only.
    if (kept_.size() >= keptLimit) throw std::bad_alloc();
    code = static_cast<uint32_t>(kept_.size()) << placesBits | keptWhole;
    kept_.push_back(pack(value));
  }
  codes_.push_back(code);
}
