#include "platform/RandomGenerator.h"

#include <algorithm>
#include <atomic>

namespace {

constexpr std::uint32_t multiplier = 134775813u;
constexpr std::uint64_t stateRange = std::uint64_t{1} << 32;

std::atomic<std::uint32_t> state{0};

std::uint32_t advance() {
  std::uint32_t current = state.load(std::memory_order_relaxed);
  std::uint32_t next = 0;
  do {
    next = current * multiplier + 1u;
  } while (!state.compare_exchange_weak(current, next, std::memory_order_relaxed));
  return next;
}

}  // namespace

void setRandomSeed(std::uint32_t seed) { state.store(seed, std::memory_order_relaxed); }

std::uint32_t randomSeed() { return state.load(std::memory_order_relaxed); }

long double nextRandomFraction() { return static_cast<long double>(advance()) / static_cast<long double>(stateRange); }

std::uint32_t nextRandomBelow(std::uint64_t range) {
  std::uint64_t product = static_cast<std::uint64_t>(advance()) * std::min(range, stateRange);
  return static_cast<std::uint32_t>(product >> 32);
}
