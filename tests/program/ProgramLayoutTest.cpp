#include <cctype>

#include "model/PortableIniFile.h"
#include "tests/program/ProgramDriver.h"
#include "tests/support/LayoutDamage.h"

// Damaged window layouts once kept the main window off the screen or made
// the close hang for good; a damaged start is given the clean start's time,
// which a loaded machine needs.
class DamagedLayoutFiles : public testing::TestWithParam<TLayoutDamage> {};

TEST_P(DamagedLayoutFiles, StartAndCloseAsCleanOnesDo) {
  const TLayoutDamage damage = GetParam();
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  ASSERT_TRUE(startAndClose(work));
  const std::map<std::string, std::string> clean = userFiles(work);
  const std::string options = work + "DATA\\GUIoptions.INI";
  const std::string controls = work + "DATA\\FOLIOS\\FolioControls.INI";
  writeWholeFile(options, damageLayoutText(readWholeFile(options), damage));
  writeWholeFile(controls, damageLayoutText(readWholeFile(controls), damage));
  EXPECT_TRUE(startAndClose(work));
  // Notes shown by a damaged "Show" are made as an empty file, as any
  // shown notes are; what existed must stay as it was.
  const std::map<std::string, std::string> after = userFiles(work);
  std::string changed;
  for (const auto& [name, bytes] : clean) {
    const auto found = after.find(name);
    if (found == after.end() || found->second != bytes) changed += name + " ";
  }
  EXPECT_EQ(changed, "");
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  TPortableIniFile written(options);
  const int left = written.readInteger("MainWindow", "Left", -1), top = written.readInteger("MainWindow", "Top", -1);
  EXPECT_TRUE(left >= area.left && left + written.readInteger("MainWindow", "Width", 0) <= area.right &&
              top >= area.top && top + written.readInteger("MainWindow", "Height", 0) <= area.bottom);
}

// A test of each damage, each bounded on its own.
INSTANTIATE_TEST_SUITE_P(Program, DamagedLayoutFiles,
                         testing::Values(TLayoutDamage::negsize, TLayoutDamage::offscreen, TLayoutDamage::huge,
                                         TLayoutDamage::countMax),
                         [](const testing::TestParamInfo<TLayoutDamage>& damage) {
                           std::string name = layoutDamageName(damage.param);
                           std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
                           return name;
                         });

// Closing the main window while the modal Gallery shows (Alt+F4 aimed at
// it, the task bar) ends the program cleanly, the Gallery with it.
TEST(Program, ACloseWhileTheGalleryShowsEndsTheProgramCleanly) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  TProgram program(work);
  HWND main = mainWindowAfterThePick(program);
  ASSERT_NE(main, nullptr);
  HWND galleryButton = childWindow(main, "KestrovaWindow", "Gallery", true);
  ASSERT_NE(galleryButton, nullptr);
  postClick(galleryButton, 5, 5);
  ASSERT_NE(program.waitForWindow("Gallery", busyMachine()), nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.endedCleanly());
}

// A window file held by another program at start is taken as missing and
// named in one line at the foot of the main window; no dialog waits.
TEST(Program, AWindowFileThatCannotBeReadIsToldInOneLineAndTheStartGoesOn) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string controls = work + "DATA\\FOLIOS\\FolioControls.INI";
  HANDLE held = CreateFileA(controls.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  TProgram program(work);
  HWND main = mainWindowAfterThePick(program);
  ASSERT_NE(main, nullptr);
  HWND bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);  // the main window's own
  ASSERT_NE(bar, nullptr);
  char text[1024] = {};
  // Another process's control answers its text only when asked by message.
  EXPECT_TRUE(pumpUntil(
      [&] {
        return IsWindowVisible(bar) && SendMessageA(bar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)) > 0;
      },
      busyMachine()));
  EXPECT_NE(std::string(text).find("FolioControls.INI"), std::string::npos) << text;
  EXPECT_EQ(program.windows(), std::vector<HWND>{main});
  CloseHandle(held);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.endedCleanly());
}
