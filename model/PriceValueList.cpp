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

bool TPriceValueList::decimalCode(const long double& value, uint8_t& places, uint32_t& code) const {
  // Infinities and NaNs never get to a comparison that would flag them;
  // -0 equals 0 but would come back as +0.
  if (!std::isfinite(value) || std::fabs(value) > largestDigits || (value == 0 && std::signbit(value))) return false;
  auto fits = [&](uint32_t tried) {
    const long double scaled = value * powersOfTen[tried];
    if (!(std::fabs(scaled) <= largestDigits)) return false;
    const int32_t whole = nearestInt32(scaled);
    // Compared as numbers, not through memory: reading an 80-bit store back
    // in smaller pieces would stall. Equal finite values other than zeros
    // have the same bits.
    if (extendedQuotient(whole, powersOfTen[tried]) != value) return false;
    code = static_cast<uint32_t>(whole) << placesBits | tried;
    return true;
  };
  if (fits(places)) return true;
  for (uint32_t tried = 0; tried < keptWhole; ++tried) {
    // More places only make the digits longer.
    if (!(std::fabs(value * powersOfTen[tried]) <= largestDigits)) break;
    if (tried != places && fits(tried)) {
      places = static_cast<uint8_t>(tried);
      return true;
    }
  }
  return false;
}

void TPriceValueList::push_back(const long double& value, unsigned field) {
  if (computed_) {
    kept_.push_back(pack(value));
    return;
  }
  uint32_t code = 0;
  if (!decimalCode(value, placesOfField_[field % hintedFields], code)) {
    // A code has room for that many positions only.
    if (kept_.size() >= keptLimit) throw std::bad_alloc();
    code = static_cast<uint32_t>(kept_.size()) << placesBits | keptWhole;
    kept_.push_back(pack(value));
  }
  codes_.push_back(code);
}
