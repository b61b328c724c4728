#include <gtest/gtest.h>

#include "TestWatchdog.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"

// Every test executable starts from the same neutral locale record, whatever
// the machine's regional settings, and with extended precision. No single
// test may run longer than the watchdog's bound.
int main(int argc, char** argv) {
  localeSettings() = defaultLocaleSettings();
  setExtendedPrecision();
  testing::InitGoogleTest(&argc, argv);
  // Taken back from gtest before main returns: its thread must be joined
  // while the process still runs, not among the static destructors.
  TTestWatchdog watchdog(testTimeBound);
  testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
  listeners.Append(&watchdog);
  const int result = RUN_ALL_TESTS();
  listeners.Release(&watchdog);
  return result;
}
