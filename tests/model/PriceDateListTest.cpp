#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/PriceDateList.h"

namespace {

bool sameBits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

}  // namespace

TEST(PriceDateList, EveryDateComesBackBitForBitBeforeAndAfterTheFirstThatIsNoWholeDay) {
  const std::vector<double> dates = {45292, -693593, 2958465, 0, 1, -1, 2147483647.0, -2147483648.0,
                                     // No whole days of four bytes: each turns the list into doubles.
                                     45292.5, -0.0, 2147483648.0, -2147483649.0, 1e300,
                                     std::numeric_limits<double>::quiet_NaN(), 45293, 0.25 / 86400};
  for (size_t first = 0; first < dates.size(); ++first) {
    // The dates from `first` on, then those before it.
    TPriceDateList list;
    std::vector<double> expected;
    for (size_t i = 0; i < dates.size(); ++i) {
      expected.push_back(dates[(first + i) % dates.size()]);
      list.push_back(expected.back());
      ASSERT_EQ(list.size(), i + 1);
      for (size_t j = 0; j <= i; ++j) ASSERT_TRUE(sameBits(list[j], expected[j])) << first << " " << i << " " << j;
    }
  }
}

TEST(PriceDateList, StrictlyRising) {
  TPriceDateList list;
  EXPECT_TRUE(list.strictlyRising());
  for (double date : {1.0, 2.0, 2.5, 40000.0}) list.push_back(date);
  EXPECT_TRUE(list.strictlyRising());
  list.push_back(40000);  // a repeated date
  EXPECT_FALSE(list.strictlyRising());
  TPriceDateList falling;
  for (double date : {3.0, 2.0}) falling.push_back(date);
  EXPECT_FALSE(falling.strictlyRising());
  EXPECT_EQ(falling.toVector(), (std::vector<double>{3, 2}));
}
