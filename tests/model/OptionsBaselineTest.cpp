#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/OptionsBaseline.h"
#include "model/PortableIniFile.h"
#include "model/SettingsBaseline.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

namespace {

// A dialog's place, read as a window reads it: a whole number that does
// not read gives way to the default, one that reads is kept on the screen.
struct TPlace {
  int left = 100;
  int width = 400;
  double split = 0.5;
  void read(const TPortableIniFile& ini) {
    left = std::min(ini.readInteger("Dialog", "Left", left), 1000);
    width = ini.readInteger("Dialog", "Width", width);
    split = ini.readFloat("Dialog", "Split", split);
  }
  void write(TPortableIniFile& ini) const {
    ini.writeInteger("Dialog", "Left", left);
    ini.writeInteger("Dialog", "Width", width);
    ini.writeFloat("Dialog", "Split", split);
  }
};

// Reads the file as a window does and takes it as the baseline; the files
// named meanwhile.
std::vector<std::string> takenAndNamed(const std::string& file, TPlace& place, TSettingsBaseline& baseline) {
  takePartlyReadFiles();
  const TPortableIniFile read(file);
  place.read(read);
  takeOptions(baseline, file, [&place](TPortableIniFile& ini) { place.write(ini); }, read);
  return takePartlyReadFiles();
}

}  // namespace

// A whole number beyond what the option holds was once replaced at the
// next save by the default that stood in for it, without a word; one the
// window corrected (a place moved back onto the screen) is saved corrected.
TEST(OptionsBaseline, AWholeNumberBeyondItsRangeStaysAsSpelledAndTheFileIsNamed) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "options.INI";
  for (const char* width : {"9223372036854775808", "1E300", "412.5"}) {
    const std::string text =
        std::string("[Dialog]\r\nLeft=5000\r\nWidth=") + width + "\r\nSplit=" + floatToIniText(0.25) + "\r\n";
    writeWholeFile(file, text);
    TPlace place;
    TSettingsBaseline baseline;
    const auto write = [&place](TPortableIniFile& ini) { place.write(ini); };
    EXPECT_EQ(takenAndNamed(file, place, baseline), std::vector<std::string>{file}) << width;
    ASSERT_TRUE(baseline.save(file, write));
    const TPortableIniFile saved(file);
    EXPECT_EQ(saved.readString("Dialog", "Width", ""), width);
    EXPECT_EQ(saved.readInteger("Dialog", "Left", 0), 1000) << "corrected on loading";
    place.width = 380;
    ASSERT_TRUE(baseline.save(file, write));
    EXPECT_EQ(TPortableIniFile(file).readInteger("Dialog", "Width", 0), 380) << "changed by the user";
  }
}

// Numbers that read as the option's own are nothing to name.
TEST(OptionsBaseline, AFileWhoseNumbersReadIsNotNamed) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "options.INI";
  writeWholeFile(file, "[Dialog]\r\nLeft=20\r\nWidth=300\r\nSplit=" + floatToIniText(0.25) + "\r\n");
  TPlace place;
  TSettingsBaseline baseline;
  EXPECT_EQ(takenAndNamed(file, place, baseline), std::vector<std::string>{});
  const auto write = [&place](TPortableIniFile& ini) { place.write(ini); };
  const int64_t age = fileAge(file);
  ASSERT_TRUE(baseline.save(file, write));
  EXPECT_EQ(fileAge(file), age);
}
