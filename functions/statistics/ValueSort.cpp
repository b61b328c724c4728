#include "functions/statistics/ValueSort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Below this many values the comparison sort is as fast as the passes.
constexpr std::size_t smallCount = 256;
constexpr int digitBits = 11;
constexpr int digitCount = 6;  // 6 x 11 bits cover the 64 bits of a double
constexpr std::uint64_t digitMask = (std::uint64_t{1} << digitBits) - 1;
constexpr std::uint64_t signBit = std::uint64_t{1} << 63;

unsigned digitOf(std::uint64_t key, int d) { return static_cast<unsigned>((key >> (d * digitBits)) & digitMask); }

// A double's bits as a key whose unsigned order is the numeric order:
// positive values get the sign bit set, negative ones have every bit inverted.
std::uint64_t keyOf(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits & signBit ? ~bits : bits | signBit;
}

double valueOf(std::uint64_t key) {
  std::uint64_t bits = key & signBit ? key & ~signBit : ~key;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The keys of long arrays of doubles, the arrays the radix sort takes;
// false when a value is no double or is NaN.
bool keysOf(const std::vector<long double>& values, std::vector<std::uint64_t>& keys) {
  const std::size_t n = values.size();
  if (n < smallCount || n > UINT32_MAX) return false;
  keys.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    double value = static_cast<double>(values[i]);
    if (static_cast<long double>(value) != values[i]) return false;
    keys[i] = keyOf(value);
  }
  return true;
}

void radixSort(std::vector<std::uint64_t>& keys) {
  const std::size_t n = keys.size();
  std::vector<std::uint64_t> buffer(n);
  std::array<std::array<std::uint32_t, digitMask + 1>, digitCount> counts{};
  for (std::uint64_t key : keys)
    for (int d = 0; d < digitCount; ++d) ++counts[d][digitOf(key, d)];
  for (int d = 0; d < digitCount; ++d) {
    // A digit shared by every key would only copy the keys.
    if (counts[d][digitOf(keys[0], d)] == n) continue;
    std::uint32_t start = 0;
    for (std::uint32_t& count : counts[d]) {
      std::uint32_t bucketSize = count;
      count = start;
      start += bucketSize;
    }
    for (std::uint64_t key : keys) buffer[counts[d][digitOf(key, d)]++] = key;
    keys.swap(buffer);
  }
}

}  // namespace

void sortValuesAscending(std::vector<long double>& values) {
  std::vector<std::uint64_t> keys;
  if (!keysOf(values, keys)) {
    std::sort(values.begin(), values.end());
    return;
  }
  radixSort(keys);
  for (std::size_t i = 0; i < keys.size(); ++i) values[i] = valueOf(keys[i]);
}

// Where the radix sort would order the values, the keys are selected in
// its order (-0 before +0); only sorting tells where the comparison sort
// leaves which of two equal zeros, so the other arrays are sorted.
TSortedPair sortedPairAt(std::vector<long double>& values, std::size_t k) {
  std::vector<std::uint64_t> keys;
  if (!keysOf(values, keys)) {
    std::sort(values.begin(), values.end());
    return {values[k - 1], values[k]};
  }
  const auto middle = keys.begin() + static_cast<std::ptrdiff_t>(k);
  std::nth_element(keys.begin(), middle, keys.end());
  return {valueOf(*std::max_element(keys.begin(), middle)), valueOf(*middle)};
}
