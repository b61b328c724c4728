#include <gtest/gtest.h>

#include "app/RegistrationSwitches.h"

TEST(RegistrationSwitches, AreFoundAfterTheProgramWithEitherSignInAnyCase) {
  EXPECT_TRUE(registrationSwitchGiven("Kestrova.exe /regserver"));
  EXPECT_TRUE(registrationSwitchGiven("\"C:\\Program Files\\Kestrova\\Kestrova.exe\" -UnRegServer"));
  EXPECT_TRUE(registrationSwitchGiven("Kestrova.exe /embedding /REGSERVER"));
  EXPECT_TRUE(registrationSwitchGiven("Kestrova.exe\t/unregserver"));
}

TEST(RegistrationSwitches, AreNotTakenFromOtherWordsOrTheProgramsOwnPath) {
  EXPECT_FALSE(registrationSwitchGiven("Kestrova.exe"));
  EXPECT_FALSE(registrationSwitchGiven("Kestrova.exe regserver"));
  EXPECT_FALSE(registrationSwitchGiven("Kestrova.exe /regserverx"));
  EXPECT_FALSE(registrationSwitchGiven("Kestrova.exe \"/regserver is a word of a quoted argument\""));
  EXPECT_FALSE(registrationSwitchGiven("\"C:\\tools /regserver\\Kestrova.exe\""));
}
