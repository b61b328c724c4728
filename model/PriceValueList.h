#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/FloatingPoint.h"

// The values of a price series in one list, most of them decimals of a few
// digits read from text. Such a value is held in four bytes as its digits
// and a power of ten, and comes back from the division the quote parser
// does, (long double)digits / 10^places: correctly rounded to 64 bits, so
// bit for bit the value stored, on any thread. Whatever else comes (a value
// of many digits, a computed one, -0, an infinity) is kept whole, in the ten
// bytes of an extended value, as every value of a list for computed values is.
class TPriceValueList {
 public:
  TPriceValueList() = default;
  // A list that keeps every value whole: computed values are seldom decimals
  // of few digits, and trying would cost more than it saves.
  static TPriceValueList forComputedValues();

  size_t size() const { return computed_ ? kept_.size() : codes_.size(); }
  void reserve(size_t count);
  // The field tells values of one kind apart (a record's Open from its
  // Volume): those of one field mostly have as many places, tried first.
  void push_back(const long double& value, unsigned field = 0);

  long double operator[](size_t position) const {
    if (computed_) return unpack(kept_[position]);
    const uint32_t code = codes_[position];
    const uint32_t places = code & placesMask;
    if (places == keptWhole) return unpack(kept_[code >> placesBits]);
    return extendedQuotient(static_cast<int32_t>(code) >> placesBits, powersOfTen[places]);
  }

 private:
  // An extended value without the six padding bytes of its 16-byte slot.
  struct TPackedValue {
    unsigned char bytes[10];
  };
  // Takes the value where it is stored: an 80-bit store followed by a
  // smaller load of the same bytes would stall the pipeline.
  static TPackedValue pack(const long double& value) {
    TPackedValue packed;
    std::memcpy(packed.bytes, &value, sizeof packed.bytes);
    return packed;
  }
  static long double unpack(const TPackedValue& packed) {
    long double value = 0;
    std::memcpy(&value, packed.bytes, sizeof packed.bytes);
    return value;
  }

  // A code holds the signed digits in its upper 28 bits and the number of
  // decimal places in its lower four; the places value keptWhole marks a
  // value kept whole, the upper bits then giving its position in kept_.
  static constexpr int placesBits = 4;
  static constexpr uint32_t placesMask = (1u << placesBits) - 1;
  static constexpr uint32_t keptWhole = placesMask;
  static constexpr int32_t largestDigits = (1 << (32 - placesBits - 1)) - 1;
  static constexpr size_t keptLimit = size_t{1} << (32 - placesBits);
  static constexpr long double powersOfTen[keptWhole] = {1e0L, 1e1L, 1e2L,  1e3L,  1e4L,  1e5L,  1e6L, 1e7L,
                                                         1e8L, 1e9L, 1e10L, 1e11L, 1e12L, 1e13L, 1e14L};

  // The code of a value that the division gives back exactly, trying the
  // places given first and setting them to those that fit; false when there
  // is none.
  bool decimalCode(const long double& value, uint8_t& places, uint32_t& code) const;

  bool computed_ = false;
  static constexpr unsigned hintedFields = 16;
  std::array<uint8_t, hintedFields> placesOfField_{};  // those of each field's last decimal
  std::vector<uint32_t> codes_;
  std::vector<TPackedValue> kept_;
};
