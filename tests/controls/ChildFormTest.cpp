#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ChildForm.h"
#include "controls/ListViewXPSafe.h"
#include "controls/SelDirDlg.h"
#include "controls/ShutDownForm.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

class TQuotesForm : public TChildForm {};

}  // namespace

TEST(ChildForms, EachWindowGetsANumberedTabAndFillsIt) {
  TForm main(mainWindowOptions("Main", 500, 300));
  auto& pages = main.add<TPageControl>();
  pages.setAlign(TAlign::client);
  main.showModeless();
  const int before = formSheetCount();
  TQuotesForm& first = createChildForm<TQuotesForm>(pages, "Quotes");
  TQuotesForm& second = createChildForm<TQuotesForm>(pages, "");
  ASSERT_EQ(pages.pageCount(), 2);
  auto* sheet1 = dynamic_cast<TFormSheet*>(pages.page(0));
  auto* sheet2 = dynamic_cast<TFormSheet*>(pages.page(1));
  ASSERT_TRUE(sheet1 && sheet2);
  EXPECT_EQ(sheet1->name, "Sheet" + std::to_string(before + 1));
  EXPECT_EQ(sheet1->Panel->name, "SheetPanel" + std::to_string(before + 1));
  EXPECT_EQ(sheet2->name, "Sheet" + std::to_string(before + 2));
  EXPECT_EQ(sheet1->caption(), "Quotes");
  EXPECT_EQ(sheet1->Form, &first);
  EXPECT_EQ(pages.activePage(), sheet2);
  EXPECT_TRUE(second.visible());
  EXPECT_FALSE(sheet1->visible());
  // The child window fills its host panel, which fills the tab.
  EXPECT_EQ(second.width(), sheet2->clientWidth());
  EXPECT_EQ(second.height(), sheet2->clientHeight());
  EXPECT_GT(second.width(), 400);
  EXPECT_TRUE(GetWindowLongA(second.handle(), GWL_STYLE) & WS_CHILD);

  // A window on a tab out of sight takes the size it will show at: it
  // reads and keeps its layout by that size before the user sees it.
  main.setSize(800, 600);
  EXPECT_EQ(first.width(), second.width());
  EXPECT_EQ(first.height(), second.height());
  EXPECT_GT(first.width(), 700);
}

TEST(ChildForms, ColumnsAskingForNoImageShowNoImageSpace) {
  TForm main(mainWindowOptions("Main", 500, 300));
  auto& plain = main.add<TListView>();
  auto& safe = main.add<TListViewXPSafe>();
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE;
  column.pszText = const_cast<char*>("Name");
  column.cx = 80;
  column.iImage = -1;
  auto headerFormat = [](TListView& list) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    SendMessageA(ListView_GetHeader(list.handle()), HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.fmt;
  };
  SendMessageA(plain.handle(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE;
  SendMessageA(safe.handle(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  EXPECT_TRUE(headerFormat(plain) & HDF_IMAGE);
  EXPECT_FALSE(headerFormat(safe) & HDF_IMAGE);
}

class DirectoryDialog : public testing::Test {
 protected:
  DirectoryDialog() : dialog(messages) {}
  TTemporaryFolder folder;
  TScriptedMessageBox messages;
  TselDirDlg dialog;

  TSelectDirectoryRequest request(const std::string& initialDir) {
    TSelectDirectoryRequest r;
    r.anchorRect = {0, 0, 200, 100};
    r.initialDir = initialDir;
    r.filter = "All files (*.*)|*.*";
    r.caption = "Data folder";
    return r;
  }
};

TEST_F(DirectoryDialog, OpeningOnAMissingFolderCreatesItAndOkTakesIt) {
  const std::string missing = folder.path() + "new\\deeper";
  std::string chosen;
  HWND focused = nullptr;
  TModalDriver driver(dialog, {[&] {
                                 focused = focusInside(dialog.handle());
                                 captureWindow(dialog.handle()).savePng("directory-dialog");
                               },
                               [&] { dialog.okBtn->performClick(); }});
  EXPECT_TRUE(dialog.execute(request(missing), chosen));
  // The keys start in the first of the lists, above the edit and OK.
  EXPECT_TRUE(focused == dialog.driveComboBox->handle() || IsChild(dialog.driveComboBox->handle(), focused));
  EXPECT_TRUE(folderExists(missing));
  EXPECT_EQ(chosen, missing + "\\");
  EXPECT_TRUE(messages.texts.empty());
  // Centred on the anchor, but never off the screen's left or top edge.
  EXPECT_EQ(dialog.left(), 0);
  EXPECT_EQ(dialog.top(), 0);
}

TEST_F(DirectoryDialog, AClickInTheEditOnlyMovesEnterCreatesAndOkAsksFirst) {
  const std::string typed = folder.path() + "typed";
  std::string chosen;
  bool createdByClick = true;
  TModalDriver driver(dialog, {[&] {
                                 dialog.edit->setText(typed);
                                 sendMouse(dialog.edit->handle(), WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
                                 sendMouse(dialog.edit->handle(), WM_LBUTTONUP, 2, 2);
                                 createdByClick = folderExists(typed);
                               },
                               [&] { dialog.okBtn->performClick(); }});  // answered No
  EXPECT_FALSE(dialog.execute(request(folder.path()), chosen));
  EXPECT_FALSE(createdByClick);
  EXPECT_FALSE(folderExists(typed));
  EXPECT_EQ(messages.texts, std::vector<std::string>{"Directory doesn't exist. Create?"});
  EXPECT_EQ(chosen, folder.path());

  messages.answer = IDYES;
  TModalDriver yes(dialog, {[&] { dialog.edit->setText(typed); }, [&] { dialog.okBtn->performClick(); }});
  EXPECT_TRUE(dialog.execute(request(folder.path()), chosen));
  EXPECT_TRUE(folderExists(typed));
  EXPECT_EQ(chosen, typed + "\\");

  const std::string entered = folder.path() + "entered";
  TModalDriver enter(dialog, {[&] {
                                dialog.edit->setText(entered);
                                dialog.edit->setFocus();
                                postKey(dialog.edit->handle(), VK_RETURN);
                              },
                              [&] { postKey(dialog.edit->handle(), VK_ESCAPE); }});
  EXPECT_FALSE(dialog.execute(request(folder.path()), chosen));
  EXPECT_TRUE(folderExists(entered));
}

TEST_F(DirectoryDialog, AnEmptyPathGivesAnEmptyResult) {
  std::string chosen = "x";
  TModalDriver driver(dialog, {[&] { dialog.edit->setText(""); }, [&] { dialog.okBtn->performClick(); }});
  EXPECT_TRUE(dialog.execute(request(folder.path()), chosen));
  EXPECT_EQ(chosen, "");
  TModalDriver cancel(dialog, {[&] { postKey(dialog.edit->handle(), VK_ESCAPE); }});
  EXPECT_FALSE(dialog.execute(request(""), chosen));
  EXPECT_EQ(chosen, "");
}

TEST(ShutDownNotice, ShowsItsPictureAndMessage) {
  TshutDownForm notice;
  notice.showModeless();
  EXPECT_EQ(notice.clientWidth(), 264);
  EXPECT_EQ(notice.clientHeight(), 42);
  EXPECT_EQ(notice.msgLabel->text(), "Shutting down - please wait...");
  const TScreenImage image = captureWindow(notice.handle());
  image.savePng("shut-down-notice");
  EXPECT_EQ(image.width(), notice.width());
}
