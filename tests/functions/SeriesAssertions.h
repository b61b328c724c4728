#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

// Element-wise comparison of a computed series with reference values: each
// difference within tolerance, relative to the reference where it exceeds 1.
inline void expectSeriesNear(const std::vector<long double>& actual, const std::vector<long double>& expected,
                             long double tolerance) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    const long double scale = std::max(1.0L, std::fabs(expected[i]));
    EXPECT_LE(std::fabs(actual[i] - expected[i]), tolerance * scale)
        << "element " << i << ": " << static_cast<double>(actual[i]) << " vs " << static_cast<double>(expected[i]);
  }
}
