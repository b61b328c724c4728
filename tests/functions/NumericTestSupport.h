#pragma once
#include <gtest/gtest.h>

#include "platform/NumericErrors.h"

// Faults the routines under test raise leave their flags in the units; the
// tests after them in this executable start from clear flags.
class TClearsFaultFlags : public testing::Test {
protected:
  void TearDown() override { clearFloatingPointFaults(); }
};

inline void expectRelative(long double actual, long double expected, long double tolerance, const char* what = "") {
  EXPECT_NEAR(actual / expected, 1.0L, tolerance)
      << what << ": " << static_cast<double>(actual) << " expected " << static_cast<double>(expected);
}
