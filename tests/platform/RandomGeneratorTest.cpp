#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "platform/RandomGenerator.h"

TEST(RandomGenerator, DrawsFromSeveralThreadsLoseNoStep) {
  constexpr int threads = 4;
  constexpr int drawsEach = 20000;
  setRandomSeed(12345);
  std::uint32_t expected = 12345;
  for (int i = 0; i < threads * drawsEach; ++i) expected = expected * 134775813u + 1u;
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([] {
      for (int i = 0; i < drawsEach; ++i) nextRandomBelow(10);
    });
  }
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(randomSeed(), expected);
}
