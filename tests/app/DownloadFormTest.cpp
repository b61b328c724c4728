#include <gtest/gtest.h>

#include <stdexcept>

#include "app/DownloadForm.h"
#include "app/DownloadLists.h"
#include "controls/DownloadItem.h"
#include "model/PortableIniFile.h"
#include "platform/ComCtrls.h"
#include "model/UnsavedChanges.h"
#include "model/UnreadableFiles.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/ListView.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "platform/StdControls.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ToolButtonPictures.h"
#include "tests/support/WindowTestSupport.h"

namespace {

class TQueueOnly : public TDownloaderServer {
 public:
  explicit TQueueOnly(std::vector<std::string>& queued) : queued_(queued) {}
  int Queue(const std::string& text) override {
    queued_.push_back(text);
    return 0;
  }
  void Edit(const std::string&) override {}
  std::string MakeObject(const std::string&) override { return {}; }
  void NetSetup() override {}
  bool Editing() override { return false; }
  void BringToFront() override {}
  void ReloadDirList() override {}

 private:
  std::vector<std::string>& queued_;
};

TFormOptions hostOptions() {
  TFormOptions options;
  options.caption = "Downloads host";
  options.clientWidth = 900;
  options.clientHeight = 500;
  return options;
}

void makeList(const std::string& root, int number, const std::string& name, bool checked, int items) {
  const std::string folder = root + std::to_string(number) + "\\";
  forceFolders(folder);
  writeWholeFile(folder + "0.INI", "[List]\r\nName=" + name + "\r\nChecked=" + (checked ? "1" : "0") + "\r\n");
  for (int item = 1; item <= items; ++item) {
    TDownloadItem made;
    made.fileName = folder + std::to_string(item) + ".INI";
    made.Name = name + " item " + std::to_string(item);
    made.saveToFile();
  }
}

// A Downloads window on a tab of a shown host window; its questions are
// answered Yes.
struct TDownloadsOnATab {
  TDownloadsOnATab() {
    pages.setAlign(TAlign::client);
    host.showModeless();
    form = &createChildForm<TdownloadForm>(pages, "Downloads", messages);
  }
  TForm host{hostOptions()};
  TPageControl& pages = host.add<TPageControl>();
  TScriptedMessageBox messages{IDYES};
  TdownloadForm* form = nullptr;
};

}  // namespace

TEST(DownloadForm, ShowsTheLastPickedListQueuesCheckedListsAndCommandsActOnThePickedList) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "dlists\\";
  makeList(root, 3, "Shares", true, 2);
  makeList(root, 7, "Bonds", true, 0);
  makeList(root, 9, "Funds", false, 1);
  forceFolders(root + "12");  // no "0.INI": no list

  TDownloadsOnATab tab;
  TdownloadForm& form = *tab.form;
  TPageControl& pages = tab.pages;
  TScriptedMessageBox& messages = tab.messages;
  std::vector<std::string> queued;
  TDownloaderHost downloader;
  downloader.connect = [&](bool) { return std::make_unique<TQueueOnly>(queued); };
  form.setDownloaderHost(downloader);
  form.setListsRoot(root);
  ASSERT_EQ(form.listView().itemCount(), 3);

  form.listView().setFocus();
  EXPECT_EQ(form.updateCheckedLists(), 0);
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0], form.listsRoot() + "3\\\n" + form.listsRoot() + "7\\\n");
  EXPECT_EQ(queued[0].find('\r'), std::string::npos);

  const int shares = form.listView().findData(3);
  form.listView().setItemIndex(shares);
  EXPECT_EQ(form.shownList(), -1);  // shown only after the delay
  ASSERT_TRUE(pumpUntil([&] { return form.shownList() == 3; }, 2000));
  EXPECT_EQ(form.itemView().itemCount(), 2);
  captureWindow(tab.host.handle()).savePng("downloads-window");

  // Items of list 3 selected, then list 9 picked and Delete pressed at once:
  // the command runs on list 9, whose items are not selected.
  form.itemView().setFocus();
  form.itemView().setSelected(0, true);
  form.itemView().setSelected(1, true);
  form.listView().setItemIndex(form.listView().findData(9));
  form.itemView().setFocus();
  form.toolButton("Delete").performClick();
  EXPECT_EQ(form.shownList(), 9);
  EXPECT_EQ(downloadItemFiles(form.listFolder(3)).size(), 2u);

  // A list whose folder cannot go keeps its row.
  form.listView().setFocus();
  form.listView().setItemIndex(form.listView().findData(9));
  const std::string kept = form.listFolder(9) + "1.INI";
  HANDLE held = CreateFileA(kept.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  form.deleteSelectedLists();
  EXPECT_GE(form.listView().findData(9), 0);
  CloseHandle(held);
  form.deleteSelectedLists();
  EXPECT_EQ(form.listView().findData(9), -1);
  EXPECT_FALSE(pathExists(root + "9"));
  // The user is told which file kept it, and why.
  ASSERT_EQ(messages.texts.size(), 3u);
  EXPECT_EQ(messages.texts[0], "Delete list\n\n\"Funds\"");
  EXPECT_EQ(messages.texts[1], "The list was not deleted: " + kept + " is open in another program.");

  const int lists = form.listView().itemCount();
  form.listView().setFocus();
  sendKey(form.listView().handle(), VK_INSERT);
  EXPECT_EQ(form.listView().itemCount(), lists + 1);
  EXPECT_TRUE(fileExists(root + "1\\0.INI"));

  // Found lists are shown at once; searching up with nothing selected looks at row 0 only.
  TFindDialog find;
  form.setFindDialog(&find);
  find.findText = "bond";
  form.listView().clearSelection();
  find.options.down = false;
  EXPECT_FALSE(form.findInListView(form.listView()));
  find.options.down = true;
  EXPECT_TRUE(form.findInListView(form.listView()));
  EXPECT_EQ(form.shownList(), 7);
  form.setFindDialog(nullptr);

  {
    TPortableIniFile ini(folder.path() + "GUIoptions.INI");
    form.itemView().setColumnWidth(1, 123);
    form.saveGUIoptions(ini);
  }
  form.itemView().setColumnWidth(1, 50);
  form.loadGUIoptions(TPortableIniFile(folder.path() + "GUIoptions.INI"));
  EXPECT_EQ(form.itemView().columnWidth(1), 123);

  // Tool-bar groups moved by the user come back in their places.
  std::vector<TBandLayout> moved = form.toolBar().layout();
  std::swap(moved[0], moved[3]);
  moved[4].newRow = true;
  form.toolBar().setLayout(moved);
  {
    TPortableIniFile ini(folder.path() + "GUIoptions.INI");
    form.saveGUIoptions(ini);
  }
  TdownloadForm& other = createChildForm<TdownloadForm>(pages, "Other", messages);
  other.loadGUIoptions(TPortableIniFile(folder.path() + "GUIoptions.INI"));
  const std::vector<TBandLayout> restored = other.toolBar().layout();
  ASSERT_EQ(restored.size(), moved.size());
  for (size_t band = 0; band < moved.size(); ++band) {
    EXPECT_EQ(restored[band].name, moved[band].name);
    EXPECT_EQ(restored[band].newRow, band == 4);
  }
}

TEST(DownloadForm, PopupMenusCopyItemsToAnyListAndItemsDroppedOnAListAreCopiedThere) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "dlists\\";
  makeList(root, 3, "Shares & Co", false, 2);
  makeList(root, 7, "Bonds", false, 0);
  TDownloadsOnATab tab;
  TdownloadForm& form = *tab.form;
  form.setListsRoot(root);
  const auto entry = [](TMenuItem& menu, const std::string& caption) -> TMenuItem& {
    for (const auto& item : menu.items())
      if (item->caption == caption) return *item;
    throw std::runtime_error("no entry " + caption);
  };

  TPopupMenu& lists = form.listPopupMenu();
  lists.onPopup();
  EXPECT_FALSE(entry(lists, "&Update list").enabled);
  EXPECT_TRUE(entry(lists, "&New").enabled);

  TDownloadItem remarked;
  remarked.loadFromFile(root + "3\\2.INI");
  remarked.Remarks = {"1=No quotes"};
  remarked.saveToFile();
  form.listView().setItemIndex(form.listView().findData(3));
  form.selectList();
  TPopupMenu& items = form.itemPopupMenu();
  items.onPopup();
  EXPECT_TRUE(entry(items, "&New").enabled);
  EXPECT_FALSE(entry(items, "Copy &to...").enabled);

  form.itemView().setItemIndex(form.itemView().findData(2));
  items.onPopup();
  EXPECT_TRUE(entry(items, "&Remarks").enabled);
  form.itemView().setItemIndex(form.itemView().findData(1));
  items.onPopup();
  EXPECT_FALSE(entry(items, "&Remarks").enabled);
  TMenuItem& copyTo = entry(items, "Copy &to...");
  EXPECT_TRUE(copyTo.enabled);
  ASSERT_EQ(copyTo.items().size(), 2u);
  EXPECT_EQ(copyTo.items()[0]->caption, "Shares && Co");
  EXPECT_EQ(copyTo.items()[1]->tag, 7);
  captureWindow(tab.host.handle()).savePng("downloads-window-items");
  copyTo.items()[1]->onClick();
  EXPECT_EQ(downloadItemFiles(form.listFolder(7)).size(), 1u);
  EXPECT_EQ(form.itemView().itemCount(), 2);

  // The Copy button's menu lists the same lists, again on each opening.
  form.copyToPopupMenu().onPopup();
  form.copyToPopupMenu().onPopup();
  EXPECT_EQ(form.copyToPopupMenu().items().size(), 2u);

  // Dragged items are copied only when dropped on a list row.
  const HWND itemWindow = form.itemView().handle();
  const auto drag = [&](POINT dropInLists) {
    NMLISTVIEW begin{};
    begin.hdr.hwndFrom = itemWindow;
    begin.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(itemWindow));
    begin.hdr.code = LVN_BEGINDRAG;
    begin.iItem = 0;
    SendMessageA(GetParent(itemWindow), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
    MapWindowPoints(form.listView().handle(), itemWindow, &dropInLists, 1);
    SendMessageA(itemWindow, WM_LBUTTONUP, 0, MAKELPARAM(dropInLists.x, dropInLists.y));
  };
  const RECT bonds = form.listView().itemRect(form.listView().findData(7));
  drag({bonds.left + 5, bonds.bottom + 40});
  EXPECT_EQ(downloadItemFiles(form.listFolder(7)).size(), 1u);
  drag({bonds.left + 5, (bonds.top + bonds.bottom) / 2});
  EXPECT_EQ(downloadItemFiles(form.listFolder(7)).size(), 2u);
}

namespace {

// A Fetchmoor whose new item and Internet set-up calls fail.
class TFailingCalls : public TQueueOnly {
 public:
  explicit TFailingCalls(std::vector<std::string>& queued) : TQueueOnly(queued) {}
  std::string MakeObject(const std::string&) override { throw EDownloaderCall("MakeObject failed"); }
  void NetSetup() override { throw EDownloaderCall("NetSetup failed"); }
};

}  // namespace

TEST(DownloadForm, FailingCallsAreReportedAndTheToolBarActsOnlyOnTheFocusedView) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "dlists\\";
  makeList(root, 3, "Shares", true, 2);
  makeList(root, 7, "Bonds", true, 0);
  TDownloadsOnATab tab;
  TdownloadForm& form = *tab.form;
  TPageControl& pages = tab.pages;
  TScriptedMessageBox& messages = tab.messages;
  std::vector<std::string> queued;
  int hostDisabled = 0;
  TDownloaderHost downloader;
  downloader.connect = [&](bool) { return std::make_unique<TFailingCalls>(queued); };
  downloader.enableWindows = [&](bool enabled) { hostDisabled += enabled ? 0 : 1; };
  form.setDownloaderHost(downloader);
  form.setListsRoot(root);
  form.listView().setFocus();
  form.listView().setItemIndex(form.listView().findData(3));
  ASSERT_TRUE(pumpUntil([&] { return form.shownList() == 3; }, 2000));

  form.itemView().setFocus();
  form.toolButton("New").performClick();
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], "MakeObject failed");
  EXPECT_EQ(hostDisabled, 0);
  EXPECT_TRUE(form.enabled());
  EXPECT_EQ(GetFocus(), form.itemView().handle());
  form.toolButton("NetSetup").performClick();
  ASSERT_EQ(messages.texts.size(), 2u);
  EXPECT_EQ(messages.texts[1], "NetSetup failed");

  // Once the focus has left both views, no button acts on the last of them.
  form.listView().setFocus();
  form.listView().setItemIndex(form.listView().findData(7));
  EXPECT_TRUE(form.toolButton("Delete").enabled());
  pages.setFocus();
  EXPECT_FALSE(form.toolButton("Delete").enabled());
  form.toolButton("Delete").performClick();
  EXPECT_GE(form.listView().findData(7), 0);
}

TEST(DownloadForm, EveryCommandThatNeedsTheMissingDownloaderSaysSoOnce) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "dlists\\";
  makeList(root, 3, "Shares", true, 2);
  TDownloadsOnATab tab;
  TdownloadForm& form = *tab.form;
  TScriptedMessageBox& messages = tab.messages;
  TDownloaderHost downloader;
  downloader.connect = [](bool) -> std::unique_ptr<TDownloaderServer> {
    throw EDownloaderMissing("C:\\Kestrova\\fm.exe");
  };
  form.setDownloaderHost(downloader);
  form.setListsRoot(root);
  form.listView().setFocus();
  form.listView().setItemIndex(form.listView().findData(3));
  ASSERT_TRUE(pumpUntil([&] { return form.shownList() == 3; }, 2000));

  form.toolButton("Update").performClick();  // the checked lists
  form.itemView().setFocus();
  form.itemView().setItemIndex(0);
  for (const char* button : {"Update", "Properties", "New", "NetSetup"}) form.toolButton(button).performClick();
  ASSERT_EQ(messages.texts.size(), 5u);
  for (const std::string& text : messages.texts) {
    EXPECT_NE(text.find("not found"), std::string::npos) << text;
    EXPECT_NE(text.find("C:\\Kestrova\\fm.exe"), std::string::npos) << text;
  }
  EXPECT_TRUE(form.enabled());
}

// A click on a list's name writes nothing, not even into a descriptor that
// could not be read when the lists were listed; a toggle of its check box
// writes the mark alone, and into a descriptor that cannot take it without
// losing what it holds nothing, which the user is told.
TEST(DownloadForm, OnlyAToggleWritesAListsMarkAndNeverIntoADescriptorNotReadWhole) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "dlists\\";
  makeList(root, 1, "Shares", true, 1);
  makeList(root, 2, "Bonds", false, 0);
  forceFolders(root + "3");
  const std::string bonds = "[List]\r\nName=Bonds\r\nChecked=0\r\nSchedule=daily\r\n";
  writeWholeFile(root + "2\\0.INI", bonds);
  const std::string damaged = "[List]\r\nName=Funds\r\nChecked=1\r\n[Downloader\r\nRun=3\r\n";
  writeWholeFile(root + "3\\0.INI", damaged);
  const std::string shares = readWholeFile(root + "1\\0.INI");

  TDownloadsOnATab tab;
  TdownloadForm& form = *tab.form;
  {
    // Held by another program while the lists are listed: shown unchecked.
    THeldFile held(root + "1\\0.INI");
    ASSERT_TRUE(held.held());
    form.setListsRoot(root);
  }
  ASSERT_EQ(form.listView().itemCount(), 3);
  TListView& lists = form.listView();
  lists.setFocus();
  for (const int number : {1, 2, 3}) {
    const RECT row = lists.itemRect(lists.findData(number));
    const int y = (row.top + row.bottom) / 2;
    sendMouse(lists.handle(), WM_LBUTTONDOWN, row.left + 60, y, MK_LBUTTON);
    sendMouse(lists.handle(), WM_LBUTTONUP, row.left + 60, y);
    ASSERT_TRUE(pumpUntil([&] { return form.shownList() == number; }, 2000)) << number;
  }
  EXPECT_EQ(readWholeFile(root + "1\\0.INI"), shares);
  EXPECT_EQ(readWholeFile(root + "2\\0.INI"), bonds);
  EXPECT_EQ(readWholeFile(root + "3\\0.INI"), damaged);
  EXPECT_TRUE(tab.messages.texts.empty());

  // Space toggles the check box of the focused row.
  lists.setItemIndex(lists.findData(2));
  sendKey(lists.handle(), VK_SPACE);
  ASSERT_TRUE(pumpUntil([&] { return lists.checked(lists.findData(2)); }, 2000));
  EXPECT_EQ(readWholeFile(root + "2\\0.INI"), "[List]\r\nName=Bonds\r\nChecked=1\r\nSchedule=daily\r\n");

  const int funds = lists.findData(3);
  const bool fundsChecked = lists.checked(funds);
  lists.setItemIndex(funds);
  sendKey(lists.handle(), VK_SPACE);
  ASSERT_TRUE(pumpUntil([&] { return lists.checked(funds) != fundsChecked; }, 2000));
  EXPECT_EQ(readWholeFile(root + "3\\0.INI"), damaged);
  ASSERT_EQ(tab.messages.texts.size(), 1u);
  EXPECT_NE(tab.messages.texts[0].find("The mark of the list \"Funds\" is not stored"), std::string::npos)
      << tab.messages.texts[0];
  // The row keeps the mark, and the close saves it once the file is
  // repaired; the file is named while it is not.
  const std::vector<std::string> waiting = saveUnsavedChanges();
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_TRUE(sameText(waiting[0], root + "3\\0.INI")) << waiting[0];
  EXPECT_EQ(readWholeFile(root + "3\\0.INI"), damaged);
  writeWholeFile(root + "3\\0.INI", "[List]\r\nName=Funds\r\nChecked=1\r\n");
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(readWholeFile(root + "3\\0.INI"), "[List]\r\nName=Funds\r\nChecked=" +
                                                    std::string(fundsChecked ? "0" : "1") + "\r\n");
}

// An item whose file could not take its new name (read only in part, held)
// went back to its old name without a word.
TEST(DownloadForm, AnItemItsFileWillNotRenameIsToldAndKeepsItsName) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "dlists\\";
  makeList(root, 1, "Shares", false, 2);
  const std::string cut = "[DownloadItem]\r\nName=Shares item 2\r\nDataPath=";
  writeWholeFile(root + "1\\2.INI", cut);
  TDownloadsOnATab tab;
  TdownloadForm& form = *tab.form;
  form.setListsRoot(root);
  form.listView().setItemIndex(form.listView().findData(1));
  ASSERT_TRUE(pumpUntil([&] { return form.shownList() == 1; }, 2000));
  ASSERT_EQ(form.itemView().itemCount(), 2);
  for (const int number : {1, 2}) {
    std::string text = " Renamed ";
    const bool renamed = form.itemView().onEdited(form.itemView().findData(number), text);
    EXPECT_EQ(renamed, number == 1) << number;
  }
  ASSERT_EQ(tab.messages.texts.size(), 1u);
  EXPECT_EQ(tab.messages.texts[0].rfind("The item is not renamed: its file \"", 0), 0u) << tab.messages.texts[0];
  EXPECT_NE(tab.messages.texts[0].find("2.INI\" could not be read whole or written"), std::string::npos)
      << tab.messages.texts[0];
  EXPECT_EQ(readWholeFile(root + "1\\2.INI"), cut);
}

// The shown list's items and the lists' descriptors are held as read: the
// close puts back what another program cut out of one since, naming it,
// and writes nothing into one as this program left it.
TEST(DownloadForm, TheClosePutsBackWhatAnotherProgramCutOutOfAShownItem) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "dlists\\";
  makeList(root, 1, "Shares", false, 2);
  const std::string item = root + "1\\2.INI";
  {
    TDownloadItem made;
    ASSERT_EQ(made.loadFromFile(item), 0);
    made.Currency = "EUR";
    made.Remarks = {"1=watch"};
    ASSERT_EQ(made.saveToFile(), 0);
  }
  const std::string untouched = readWholeFile(root + "1\\1.INI");
  TDownloadsOnATab tab;
  TdownloadForm& form = *tab.form;
  form.setListsRoot(root);
  form.listView().setItemIndex(form.listView().findData(1));
  ASSERT_TRUE(pumpUntil([&] { return form.shownList() == 1; }, 2000));
  const std::string whole = readWholeFile(item);
  writeWholeFile(item, whole.substr(0, whole.find("Currency=")));
  writeWholeFile(root + "1\\0.INI", "[List]\r\n");
  takeSavedWhole();
  EXPECT_TRUE(form.saveHeldFiles().empty());
  EXPECT_EQ(TPortableIniFile(root + "1\\0.INI").readString("List", "Name", ""), "Shares");
  TDownloadItem mended;
  EXPECT_EQ(mended.loadFromFile(item), 0);
  EXPECT_EQ(mended.Currency, "EUR");
  EXPECT_EQ(mended.Remarks, std::vector<std::string>{"1=watch"});
  const std::vector<std::string> told = takeSavedWhole();
  ASSERT_EQ(told.size(), 2u);
  EXPECT_NE(told[0].find("1\\0.INI"), std::string::npos) << told[0];
  EXPECT_NE(told[1].find("the download item Shares item 2"), std::string::npos) << told[1];
  EXPECT_EQ(readWholeFile(root + "1\\1.INI"), untouched);
}

// The tool buttons show pictures, as narrow as the groups' default places
// need: a window whose options file holds no places puts its groups there
// and writes them back as they were. The item rows show the item pictures,
// with and without remarks, and the browser's lock turns gold for a secure
// page.
TEST(DownloadForm, ToolButtonsShowPicturesAndTheGroupsHoldTheirDefaultPlaces) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "dlists\\";
  makeList(root, 3, "Shares", true, 2);
  TDownloadItem remarked;
  ASSERT_EQ(remarked.loadFromFile(root + "3\\2.INI"), 0);
  remarked.Remarks = {"No quotes on 4 Dec"};
  remarked.saveToFile();
  TDownloadsOnATab tab;
  TdownloadForm& form = *tab.form;
  const std::string fileName = folder.path() + "options.INI";
  writeWholeFile(fileName, "");
  form.loadGUIoptions(TPortableIniFile(fileName));
  {
    TPortableIniFile saved(fileName);
    form.saveGUIoptions(saved);
  }
  const TPortableIniFile saved(fileName);
  for (const auto& [group, left] : {std::pair{"Update", 11}, {"Remark", 47}, {"FindAndProps", 106},
                                    {"Deletion", 165}, {"Creation", 224}, {"Setup", 283}}) {
    EXPECT_EQ(saved.readInteger("DownloadSheet", std::string(group) + "ControlsLeft", -1), left) << group;
    EXPECT_EQ(saved.readInteger("DownloadSheet", std::string(group) + "ControlsTop", -1), 2) << group;
  }

  form.setListsRoot(root);
  form.listView().setItemIndex(0);
  ASSERT_TRUE(pumpUntil([&] { return form.shownList() == 3; }, 2000));
  expectPictureButtons(form,
                       {"&Update", "&Remarks", "&Zap remarks", "&Find", "&Properties", "Cl&ear", "&Delete", "&New",
                        "&Copy", "&Month names", "&Internet setup", "Back", "Forward", "Stop", "Refresh", "Home",
                        "Make home", "Go"},
                       "downloads-tool-bars");
  // The rows' pictures: the item's page in blue, the remarked one with a
  // yellow note beside it.
  const TScreenImage items = captureClient(form.itemView().handle());
  const auto countOf = [&items](int top, int bottom, uint32_t colour) {
    int count = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < 24; ++x)
        if (items.pixel(x, y) == colour) ++count;
    return count;
  };
  const RECT first = form.itemView().itemRect(0), second = form.itemView().itemRect(1);
  constexpr uint32_t lineBlue = 0x286EE6, noteYellow = 0xFFF596;
  EXPECT_GE(countOf(first.top, first.bottom, lineBlue), 6);
  EXPECT_EQ(countOf(first.top, first.bottom, noteYellow), 0);
  EXPECT_GE(countOf(second.top, second.bottom, noteYellow), 20);

  TdownloadBrowserPane& pane = form.browserPane();
  EXPECT_EQ(goldKeyPixels(pane.statusBar()), 0);
  pane.browser().secureLockIcon(true);
  EXPECT_GE(goldKeyPixels(pane.statusBar()), 20);
  captureWindow(tab.host.handle()).savePng("downloads-secure-page");
}
