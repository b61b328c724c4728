#include <gtest/gtest.h>

#include <algorithm>

#include "app/DirSelForm.h"
#include "app/MainWindowSetup.h"
#include "model/Directories.h"
#include "platform/Colors.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "platform/StdControls.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

// Every named directory an existing folder of its own, except those given.
void nameDirectories(const TTemporaryFolder& folder, const std::vector<std::string>& missing) {
  writeWholeFile(folder.path() + "empty.INI", "[Directories]\r\n");
  loadDirectoryTable(folder.path() + "empty.INI", "Directories");
  for (const std::string& name : startDirectoryNames()) {
    const std::string path = folder.path() + name.substr(1, name.size() - 2);
    if (std::find(missing.begin(), missing.end(), name) == missing.end()) CreateDirectoryA(path.c_str(), nullptr);
    setDirectory(name, path);
  }
}

int rowOf(const std::string& name) {
  const auto& names = startDirectoryNames();
  return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
}

bool isRed(const TdirSelForm& form, int row) { return form.dirLabel(row).font().color() == clRed; }

}  // namespace

TEST(DirSelForm, AMissingDirectoryIsRedAndActiveAndOnlyACompleteSetIsAccepted) {
  TTemporaryFolder folder;
  nameDirectories(folder, {"<WEBS>"});
  const int webs = rowOf("<WEBS>");
  TdirSelForm form;
  EXPECT_FALSE(form.allDirsOK());
  EXPECT_TRUE(isRed(form, webs));
  EXPECT_FALSE(isRed(form, rowOf("<DATA>")));
  EXPECT_FALSE(form.okBtn().enabled());

  bool activeWasWebs = false;
  bool emptiedWithoutSelectionDialog = false;
  bool okAfterFix = false;
  const std::string replacement = folder.path() + "NEWWEBS";
  CreateDirectoryA(replacement.c_str(), nullptr);
  TModalDriver driver(form, {[&] {
                               activeWasWebs = form.activeControl() == &form.dirEdit(webs);
                               captureWindow(form.handle()).savePng("directory-setup-dialog");
                               form.browseButton(webs).performClick();
                               emptiedWithoutSelectionDialog = form.dirEdit(webs).text().empty();
                               form.dirEdit(webs).setText(replacement);
                               okAfterFix = form.okBtn().enabled() && !isRed(form, webs);
                               form.okBtn().performClick();
                             }});
  ASSERT_TRUE(form.execute(RECT{0, 0, 1280, 1024}));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_TRUE(activeWasWebs);
  EXPECT_TRUE(emptiedWithoutSelectionDialog);
  EXPECT_TRUE(okAfterFix);
  EXPECT_EQ(getDirectory("<WEBS>"), includeTrailingBackslash(upperCase(replacement)));
}

TEST(DirSelForm, TwoMissingAreBothRedTheFirstActiveAndEscapeChangesNothing) {
  TTemporaryFolder folder;
  nameDirectories(folder, {"<TEMP>", "<FOLIOS>"});
  const std::string tempBefore = getDirectory("<TEMP>");
  TdirSelForm form;
  EXPECT_TRUE(isRed(form, rowOf("<TEMP>")));
  EXPECT_TRUE(isRed(form, rowOf("<FOLIOS>")));
  bool activeWasFolios = false;
  TModalDriver driver(form, {[&] {
    activeWasFolios = form.activeControl() == &form.dirEdit(rowOf("<FOLIOS>"));
    form.dirEdit(rowOf("<TEMP>")).setText(folder.path());
    postKey(form.dirEdit(0).handle(), VK_ESCAPE);
  }});
  EXPECT_FALSE(form.execute(RECT{-400, -300, 100, 100}));
  EXPECT_TRUE(activeWasFolios);
  EXPECT_EQ(form.left(), 0);
  EXPECT_EQ(getDirectory("<TEMP>"), tempBefore);
}
