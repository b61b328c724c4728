#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/EditPanel.h"
#include "controls/GalleryForm.h"
#include "model/PortableIniFile.h"
#include "platform/Bitmap.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/ListView.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

class GalleryForm : public testing::Test {
 protected:
  GalleryForm() {
    writeWholeFile(view, "[Chart]\r\nSeries=2\r\n");
    forceFolders(targets.chartTargetDir);
    picture.setSize(120, 80);
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 120; ++x) picture.scanLine(y)[x] = x < 60 ? 0x3060C0 : 0xE0A020;
    form.loadGallery(folder.path() + "GALLERY");
  }

  TTemporaryFolder folder;
  std::string view = folder.path() + "VIEW.INI";
  TGalleryTargets targets{folder.path() + "VIEWS", "", "", "Chart", "Graph", "Web"};
  TBitmap picture;
  TgalleryForm form;
};

}  // namespace

TEST_F(GalleryForm, AddedItemShowsItsPictureAndKeepsNotesClosedWithEsc) {
  int kind = 1;
  std::string result = "stale";
  bool centred = false;
  bool makeEnabled = false;
  TModalDriver driver(form, {[&] {
                        ASSERT_EQ(form.favListView().itemCount(), 1);
                        EXPECT_EQ(form.favListView().itemText(0), "Acme chart");
                        ASSERT_TRUE(form.image().visible());
                        // Smaller than its panel: shown at its own size, centred.
                        const RECT at = form.image().bounds();
                        const int frame = form.imagePanel().frameWidth();
                        const int width = form.imagePanel().clientWidth() - 2 * frame;
                        centred = at.right - at.left == 120 && at.left == std::max(frame, (width - 120) / 2);
                        makeEnabled = form.makeBtn().enabled();
                        form.noteEditPanel().insertText("Breakout above the 200-day line");
                        pumpFor(100);
                        captureWindow(form.handle()).savePng("gallery-item-with-notes");
                        postKey(form.favListView().handle(), VK_ESCAPE);
                      }});
  EXPECT_EQ(form.add(kind, 14, view, "Acme chart", picture, targets, result), 0);
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(kind, 0);
  EXPECT_EQ(result, "");
  EXPECT_TRUE(centred);
  EXPECT_TRUE(makeEnabled);
  EXPECT_EQ(readWholeFile(form.galleryIndex().itemFile(1, 0, ".TXT")), "Breakout above the 200-day line\r\n");
}

TEST_F(GalleryForm, MaskChoosesTheTabsAndMakeCopiesTheItemForTheCaller) {
  ASSERT_EQ(form.galleryIndex().add(1, view, "One", [this](const std::string& file) { return picture.saveToFile(file); }), 0);
  int kind = 1;
  std::string result;
  int tabs = 0;
  int shownKind = 0;
  TModalDriver graphsOnly(form, {[&] {
    tabs = form.pageControl().pageCount();
    shownKind = form.activeKind();
    form.close();
  }});
  form.open(kind, 4, targets, result);
  EXPECT_EQ(tabs, 1);
  EXPECT_EQ(shownKind, 2);

  kind = 1;
  bool makeEnabled = false;
  TModalDriver make(form, {[&] {
    form.favListView().setItemIndex(0);
    makeEnabled = form.makeBtn().enabled();
    form.makeBtn().performClick();
  }});
  EXPECT_EQ(form.open(kind, 14, targets, result), 1);
  EXPECT_TRUE(makeEnabled);
  EXPECT_EQ(result, targets.chartTargetDir + "\\Chart1.INI");
  EXPECT_EQ(readWholeFile(result), readWholeFile(view));
}

TEST_F(GalleryForm, NotesAreKeptWhenAnotherTabIsChosen) {
  ASSERT_EQ(form.galleryIndex().add(1, view, "One", [this](const std::string& file) { return picture.saveToFile(file); }), 0);
  int kind = 1;
  std::string result;
  int rowsAfter = -1;
  TModalDriver driver(form, {[&] {
    form.favListView().setItemIndex(0);
    form.noteEditPanel().insertText("Typed");
    const HWND tabs = form.pageControl().handle();
    TabCtrl_SetCurSel(tabs, 1);
    NMHDR change{tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(GetParent(tabs), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    rowsAfter = form.favListView().itemCount();
    form.close();
  }});
  form.open(kind, 14, targets, result);
  EXPECT_EQ(form.activeKind(), 2);
  EXPECT_EQ(rowsAfter, 0);
  EXPECT_EQ(readWholeFile(form.galleryIndex().itemFile(1, 0, ".TXT")), "Typed\r\n");
}

// The gallery opens modal: stored at -32768,-32768 it could be neither seen
// nor closed.
TEST_F(GalleryForm, DamagedStoredBoundsKeepItWholeOnTheWorkArea) {
  const std::string options = folder.path() + "GUIoptions.INI";
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  for (const char* values : {"Left=-32768\r\nTop=-32768\r\nWidth=500\r\nHeight=380\r\n",
                             "Left=30000\r\nTop=30000\r\nWidth=-1000\r\nHeight=-1000\r\n",
                             "Left=2147483647\r\nTop=2147483647\r\nWidth=2147483647\r\nHeight=2147483647\r\n"
                             "FavsWidth=2147483647\r\nNotesHeight=2147483647\r\n"}) {
    writeWholeFile(options, std::string("[Gallery]\r\n") + values);
    form.loadGUIoptions(TPortableIniFile(options));
    const RECT at = form.bounds();
    EXPECT_GE(at.left, area.left) << values;
    EXPECT_GE(at.top, area.top) << values;
    EXPECT_LE(at.right, area.right) << values;
    EXPECT_LE(at.bottom, area.bottom) << values;
    EXPECT_GE(at.right - at.left, 300) << values;
    EXPECT_GE(at.bottom - at.top, 200) << values;
  }
}
