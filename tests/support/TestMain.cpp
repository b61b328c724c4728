#include <gtest/gtest.h>

#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"

// Every test executable starts from the same neutral locale record, whatever
// the machine's regional settings, and with extended precision.
int main(int argc, char** argv) {
  localeSettings() = defaultLocaleSettings();
  setExtendedPrecision();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
