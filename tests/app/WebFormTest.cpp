#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/WebForm.h"
#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/ListViewXPSafe.h"
#include "controls/ResizablePanelContainer.h"
#include "controls/WebPanelSettings.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ToolButtonPictures.h"
#include "tests/support/WindowTestSupport.h"

namespace {

TFormOptions hostOptions() {
  TFormOptions options;
  options.caption = "Web host";
  options.clientWidth = 800;
  options.clientHeight = 500;
  return options;
}

void makeMosaic(const std::string& root, const std::string& folderName, const std::string& name) {
  forceFolders(root + folderName);
  writeWholeFile(root + folderName + "\\0.INI", "[Profile]\r\nName=" + name + "\r\n");
}

// The Web tab on a page control with no browser engine behind its panels.
struct TWebTab {
  explicit TWebTab(const std::string& root) {
    pages.setAlign(TAlign::client);
    host.showModeless();
    form = &createChildForm<TwebForm>(pages, "Web", messages,
                                      [](HWND, TWebBrowserEvents&) -> std::unique_ptr<TWebBrowser> { return nullptr; });
    form->setMosaicsRoot(root);
  }
  int rowOf(const std::string& caption) const {
    for (int row = 0; row < form->mosaicListView().itemCount(); ++row)
      if (form->mosaicListView().itemText(row) == caption) return row;
    return -1;
  }
  void pick(const std::string& caption) { form->mosaicListView().setItemIndex(rowOf(caption)); }

  TForm host{hostOptions()};
  TPageControl& pages = host.add<TPageControl>();
  TScriptedMessageBox messages{IDYES};
  TwebForm* form = nullptr;
};

}  // namespace

TEST(WebForm, ListsNumberedMosaicsLoadsNumberedPanelsAndNumbersNewMosaicsOn) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "webs\\";
  makeMosaic(root, "3", "Shares");
  makeMosaic(root, "12", "Bonds");
  makeMosaic(root, "x", "Not a number");
  makeMosaic(root, "0", "Zero");
  forceFolders(root + "7");  // no "0.INI"
  for (const char* panel : {"1.INI", "abc.INI", "2.INI"}) writeWholeFile(root + "3\\" + panel, "");

  TWebTab tab(root);
  ASSERT_EQ(tab.form->mosaicListView().itemCount(), 2);
  ASSERT_GE(tab.rowOf("Shares"), 0);
  ASSERT_GE(tab.rowOf("Bonds"), 0);
  // A list wider than the window leaves a tile filling the mosaic its
  // navigation and Delete groups whole, and is kept as wide as it was.
  TPortableIniFile ini(folder.path() + "layout.INI");
  ini.writeInteger("ProfileSheet", "ListWidth", 5000);
  tab.form->loadGUIoptions(ini);

  tab.pick("Shares");
  ASSERT_TRUE(pumpUntil([&] { return tab.form->shownMosaic() == 3; }));
  EXPECT_EQ(tab.form->webPanels().size(), 2u);
  for (const auto& tile : tab.form->webPanels())
    for (const TToolButton* button : {&tile->autorefreshButton(), &tile->deleteButton()}) {
      const TControl& group = *button->parent();
      EXPECT_GE(group.width(), button->left() + button->width()) << button->hint();
      EXPECT_LE(group.left() + group.width(), tile->toolbar().width()) << button->hint();
    }
  ini.writeInteger("ProfileSheet", "ListWidth", 185);
  tab.form->saveGUIoptions(ini);
  EXPECT_EQ(ini.readInteger("ProfileSheet", "ListWidth", 0), 5000);
  EXPECT_TRUE(tab.form->newBrowserBtn().enabled());
  EXPECT_TRUE(fileExists(root + "3\\Notes.TXT"));

  forceFolders(root + "1");
  forceFolders(root + "2");  // taken, though not mosaics
  tab.form->newMosaic();
  EXPECT_EQ(TPortableIniFile(root + "4\\0.INI").readString("Profile", "Name", ""), "New mosaic");
  EXPECT_EQ(tab.form->mosaicListView().findData(4), 2);
  EXPECT_EQ(tab.form->shownMosaic(), 3);  // the selection stays
}

TEST(WebForm, NotesGoBackToTheirMosaicAndADeletedMosaicIsNotWrittenBack) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "webs\\";
  makeMosaic(root, "1", "Shares");
  makeMosaic(root, "2", "Bonds");
  writeWholeFile(root + "2\\1.INI", "");
  const std::string tile = readWholeFile(root + "1\\0.INI");
  TWebTab tab(root);

  tab.pick("Shares");
  ASSERT_TRUE(pumpUntil([&] { return tab.form->shownMosaic() == 1; }));
  ASSERT_NE(tab.form->notesDocument(), nullptr);
  tab.form->noteEditPanel().insertText("buy low");
  tab.pick("Bonds");
  tab.form->selectMosaic();
  EXPECT_EQ(readWholeFile(root + "1\\Notes.TXT"), "buy low\r\n");
  // The notes tile nobody moved keeps its record as it was.
  EXPECT_EQ(readWholeFile(root + "1\\0.INI"), tile);
  ASSERT_EQ(tab.form->webPanels().size(), 1u);

  // Deleting right after a pick deletes the picked mosaic, not the one
  // still shown, and the shown one keeps its files.
  tab.pick("Shares");
  tab.form->noteEditPanel().insertText("sell high");
  tab.form->deleteSelectedMosaics();
  ASSERT_EQ(tab.messages.texts.size(), 1u);
  EXPECT_EQ(tab.messages.texts[0], "Delete mosaic\n\n\"Shares\"");
  EXPECT_FALSE(folderExists(root + "1"));
  EXPECT_TRUE(fileExists(root + "2\\1.INI"));
  EXPECT_EQ(tab.form->mosaicListView().itemCount(), 1);
  EXPECT_TRUE(tab.form->webPanels().empty());

  tab.pick("Bonds");
  tab.form->selectMosaic();
  EXPECT_FALSE(pathExists(root + "1"));

  tab.messages.answer = IDNO;
  tab.form->deleteSelectedMosaics();
  EXPECT_TRUE(folderExists(root + "2"));
  EXPECT_EQ(tab.form->mosaicListView().itemCount(), 1);
}

// A mosaic whose descriptor, panel file or notes cannot be read (a folder
// under the name, held by another program) is named, and the notes are
// left as they are.
TEST(WebForm, AMosaicFileThatCannotBeReadIsNamedAndLeftAsItIs) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "webs\\";
  makeMosaic(root, "1", "Shares");
  forceFolders(root + "1\\2.INI");
  forceFolders(root + "1\\Notes.TXT");
  makeMosaic(root, "2", "Bonds");
  writeWholeFile(root + "2\\Notes.TXT", "hold\r\n");
  forceFolders(root + "5\\0.INI");
  // The tab keeps its root upper-cased.
  const auto among = [](const std::vector<std::string>& names, const std::string& file) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) { return sameText(name, file); });
  };
  const auto named = [&among](const std::string& file) { return among(takeUnreadableFiles(), file); };
  takeUnreadableFiles();
  TWebTab tab(root);
  EXPECT_EQ(tab.form->mosaicListView().itemCount(), 2);
  EXPECT_TRUE(named(root + "5\\0.INI"));

  tab.pick("Shares");
  ASSERT_TRUE(pumpUntil([&] { return tab.form->shownMosaic() == 1; }));
  const std::vector<std::string> names = takeUnreadableFiles();
  for (const char* file : {"1\\2.INI", "1\\Notes.TXT"})
    EXPECT_TRUE(among(names, root + file)) << file;
  EXPECT_TRUE(tab.form->webPanels().empty());

  {
    THeldFile held(root + "2\\Notes.TXT");
    tab.pick("Bonds");
    ASSERT_TRUE(pumpUntil([&] { return tab.form->shownMosaic() == 2; }));
    EXPECT_TRUE(named(root + "2\\Notes.TXT"));
    tab.pick("Shares");
    ASSERT_TRUE(pumpUntil([&] { return tab.form->shownMosaic() == 1; }));
  }
  EXPECT_EQ(readWholeFile(root + "2\\Notes.TXT"), "hold\r\n");
  EXPECT_TRUE(folderExists(root + "1\\Notes.TXT"));
}

// Notes that fill the mosaic leave a new browser no free place: the two
// share the tab, and a click in the notes hides nothing.
TEST(WebForm, ANewBrowserStaysInSightBesideNotesThatFillTheMosaic) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "webs\\";
  makeMosaic(root, "1", "Shares");
  writeWholeFile(root + "1\\0.INI",
                 "[Profile]\r\nName=Shares\r\n[Notes]\r\nShow=1\r\nLeft=0\r\nTop=0\r\nRight=1\r\nBottom=1\r\n");
  TWebTab tab(root);
  tab.pick("Shares");
  ASSERT_TRUE(pumpUntil([&] { return tab.form->shownMosaic() == 1; }));
  ASSERT_TRUE(tab.form->noteEditorContainer().visible());
  tab.form->newBrowser();
  ASSERT_EQ(tab.form->webPanels().size(), 1u);
  const TWebPanel& browser = *tab.form->webPanels().back();
  const HWND notes = tab.form->noteEditPanel().handle();
  sendMouse(notes, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
  sendMouse(notes, WM_LBUTTONUP, 10, 10);
  pumpFor(50);
  RECT both;
  const RECT place = browser.bounds();
  const RECT notesPlace = tab.form->noteEditorContainer().bounds();
  EXPECT_FALSE(IntersectRect(&both, &place, &notesPlace));
  const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
  EXPECT_EQ(ChildWindowFromPointEx(tab.form->sheetResizablePanel().handle(), middle, CWP_SKIPINVISIBLE),
            browser.handle());
}

// The tool bar's buttons show pictures (grey while disabled) with their
// names and hints.
TEST(WebForm, ToolButtonsShowPictures) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "webs\\";
  makeMosaic(root, "1", "Watch list");
  TWebTab tab(root);
  tab.pick("Watch list");
  expectPictureButtons(*tab.form, {"Notes", "New browser", "Gallery", "Cascade", "Tile horizontal", "Tile vertical"},
                       "web-window-tool-bar");
}

// A mosaic's new name, or notes typed before another mosaic was picked,
// that their read-only files refused were lost without a word once the
// notes went: they wait for the close, which saves them once it can.
TEST(WebForm, ANameOrNotesTheirFilesRefusedWaitForTheClose) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "webs\\";
  makeMosaic(root, "1", "Shares");
  makeMosaic(root, "2", "Bonds");
  writeWholeFile(root + "1\\Notes.TXT", "");
  TWebTab tab(root);
  tab.pick("Shares");
  ASSERT_TRUE(pumpUntil([&] { return tab.form->shownMosaic() == 1; }));
  const auto readOnly = [&](bool on) {
    for (const char* file : {"1\\Notes.TXT", "1\\0.INI"})
      SetFileAttributesA((root + file).c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
  };
  readOnly(true);
  tab.form->noteEditPanel().insertText("buy low");
  std::string name = "Equities";
  ASSERT_TRUE(tab.form->mosaicListView().onEdited(tab.rowOf("Shares"), name));
  tab.pick("Bonds");
  tab.form->selectMosaic();
  EXPECT_EQ(readWholeFile(root + "1\\Notes.TXT"), "");
  const std::vector<std::string> waiting = saveUnsavedChanges();
  ASSERT_EQ(waiting.size(), 2u);
  EXPECT_TRUE(sameText(waiting[0], root + "1\\0.INI")) << waiting[0];
  EXPECT_TRUE(sameText(waiting[1], root + "1\\Notes.TXT")) << waiting[1];
  readOnly(false);
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(readWholeFile(root + "1\\Notes.TXT"), "buy low\r\n");
  EXPECT_EQ(TPortableIniFile(root + "1\\0.INI").readString("Profile", "Name", ""), "Equities");
}

// The mosaics' names are held as read: leaving the tab or the close puts
// back what another program cut out of a descriptor since, and tells it.
TEST(WebForm, TheClosePutsBackAMosaicNameAnotherProgramCut) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "webs\\";
  makeMosaic(root, "1", "Shares");
  TWebTab tab(root);
  writeWholeFile(root + "1\\0.INI", "[Profile]\r\n");
  takeSavedWhole();
  EXPECT_TRUE(tab.form->saveWebPanels().empty());
  EXPECT_EQ(TPortableIniFile(root + "1\\0.INI").readString("Profile", "Name", ""), "Shares");
  const std::vector<std::string> told = takeSavedWhole();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("1\\0.INI"), std::string::npos) << told[0];
}

// A browser whose file refused its change and was then deleted leaves no
// change behind for the next browser, which takes the file's name.
TEST(WebForm, ADeletedBrowserTakesWhatItsFileRefusedWithIt) {
  TTemporaryFolder folder;
  const std::string root = folder.path() + "webs\\";
  makeMosaic(root, "1", "Shares");
  makeMosaic(root, "2", "Bonds");
  const std::string panelFile = root + "1\\1.INI";
  writeWholeFile(panelFile, "");
  TWebTab tab(root);
  tab.pick("Shares");
  ASSERT_TRUE(pumpUntil([&] { return tab.form->shownMosaic() == 1; }));
  ASSERT_EQ(tab.form->webPanels().size(), 1u);
  tab.form->webPanels()[0]->setKeepRecentUrls(3);
  SetFileAttributesA(panelFile.c_str(), FILE_ATTRIBUTE_READONLY);
  tab.pick("Bonds");
  tab.form->selectMosaic();
  SetFileAttributesA(panelFile.c_str(), FILE_ATTRIBUTE_NORMAL);
  tab.pick("Shares");
  tab.form->selectMosaic();
  ASSERT_EQ(tab.form->webPanels().size(), 1u);
  tab.form->webPanels()[0]->deleteSelf();
  ASSERT_TRUE(pumpUntil([&] { return tab.form->webPanels().empty(); }));
  ASSERT_FALSE(pathExists(panelFile));
  tab.form->newBrowser();
  ASSERT_EQ(tab.form->webPanels().size(), 1u);
  ASSERT_TRUE(sameText(tab.form->webPanels()[0]->settingsFile(), panelFile));
  tab.form->webPanels()[0]->setKeepRecentUrls(7);
  ASSERT_EQ(tab.form->webPanels()[0]->saveToOwnFile(), 0);
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(TPortableIniFile(panelFile).readString("URLs", "Keep", ""), "7");
}

// A change of a mosaic's tile its read-only file refused waits for the
// close; picked again, the mosaic shows it, and only a save that wrote it
// lets it go: read from the file, the tile showed what the change never
// reached, and the next save, finding nothing changed, let it go unwritten.
TEST(WebForm, WhatAFileRefusedShowsAgainWithItsMosaicUntilASaveWritesIt) {
  struct TRow {
    const char* what;
    const char* file;
    std::function<void(TwebForm&)> change;
    std::function<bool(TwebForm&)> shown;
    std::function<bool(const std::string& file)> written;
  };
  const TRow rows[] = {
      {"a browser's favourite deleted", "1.INI",
       [](TwebForm& form) {
         TWebPanel& panel = *form.webPanels().at(0);
         panel.favListView().setItemIndex(0);
         panel.deleteFav();
       },
       [](TwebForm& form) { return form.webPanels().at(0)->favListView().itemCount() == 1; },
       [](const std::string& file) { return TPortableIniFile(file).readInteger("Fav", "Count", 0) == 1; }},
      {"the notes typed", "Notes.TXT", [](TwebForm& form) { form.noteEditPanel().insertText("buy low"); },
       [](TwebForm& form) {
         std::string text;
         form.notesDocument()->getText(false, text);
         return text == "buy low\r\n";
       },
       [](const std::string& file) { return readWholeFile(file) == "buy low\r\n"; }},
      {"the notes tile hidden", "0.INI", [](TwebForm& form) { form.setNotesShown(false); },
       [](TwebForm& form) { return !form.noteEditorContainer().visible(); },
       [](const std::string& file) { return !TPortableIniFile(file).readBool("Notes", "Show", true); }},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.what);
    TTemporaryFolder folder;
    const std::string root = folder.path() + "webs\\";
    makeMosaic(root, "1", "Shares");
    makeMosaic(root, "2", "Bonds");
    writeWholeFile(root + "1\\Notes.TXT", "");
    TWebPanelSettings settings;
    settings.favs.insert(0, "http://quotes.example/acme", "ACME", 0, 0);
    settings.favs.insert(1, "http://quotes.example/bolt", "BOLT", 0, 0);
    ASSERT_EQ(settings.saveSettings(root + "1\\1.INI"), 0);
    const std::string file = root + "1\\" + row.file;
    TWebTab tab(root);
    tab.pick("Shares");
    ASSERT_TRUE(pumpUntil([&] { return tab.form->shownMosaic() == 1; }));
    ASSERT_EQ(tab.form->webPanels().size(), 1u);
    row.change(*tab.form);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    tab.pick("Bonds");
    tab.form->selectMosaic();
    tab.pick("Shares");
    tab.form->selectMosaic();
    EXPECT_TRUE(row.shown(*tab.form));
    const TSaveFailures refused = tab.form->tabLeft();
    EXPECT_TRUE(refused.size() == 1 && sameText(refused[0], file)) << refused.size() << " refused";
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(tab.form->tabLeft().empty());
    EXPECT_TRUE(row.written(file));
    EXPECT_TRUE(saveUnsavedChanges().empty());
  }
}
