#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "controls/EditorStatus.h"
#include "controls/GalleryForm.h"
#include "controls/PaintBoxEx.h"
#include "controls/SheetPanel.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/Bitmap.h"
#include "platform/DateTimePicker.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "model/Directories.h"
#include "platform/FileSystem.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "platform/Menu.h"
#include "platform/PageControl.h"
#include "platform/StdControls.h"
#include "platform/Timer.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/DateWindow.h"
#include "windows/FolioPickForm.h"
#include "windows/PortfolioForm.h"
#include "controls/ListViewXPSafe.h"
#include "controls/ResizablePanelContainer.h"
#include "chart/SheetGraph.h"

namespace {

// The two sample portfolios (both loaded always) in a Portfolios window on
// a tab, with a name field (the key), a symbol-bound text field and a
// formula that reads "SELECTED".
class PortfolioWindow : public testing::Test {
 protected:
  void SetUp() override {
    setExtendedPrecision();
    TFieldTable fields;
    fields.FileName = sample.folios + "FolioFields.INI";
    const auto add = [&fields](const char* header, std::uint8_t kind, const char* symbol, const char* content) {
      fields.insertField(fields.count());
      TField& field = *fields.items(fields.count() - 1);
      field.setHeader(header);
      field.Kind = kind;
      field.setSymbol(symbol);
      field.Content = content;
      field.Locked = *content != '\0';
    };
    add("Name", 10, "", "");
    add("Strategy", 2, "Strategy", "");
    add("Selected", 1, "", "SELECTED*10");
    ASSERT_EQ(fields.save('.', ','), 0);
    pages.setAlign(TAlign::client);
    main.showModeless();
    form = &createChildForm<TportfolioForm>(pages, "Portfolios");
    form->setPortfolioTable(&table);
    form->setLoadLogMemo(&memo);
    memo.hide();
    form->onSelectionChanged = [this] { ++selectionCalls; };
  }

  TSheet& sheet() { return form->sheetPanel().sheet(); }

  TSampleWorkFolder sample;
  TPortfolioTable table;
  TForm main{mainWindowOptions("Kestrova", 760, 420)};
  TPageControl& pages = main.add<TPageControl>();
  TMemo& memo = main.add<TMemo>();
  TportfolioForm* form = nullptr;
  int selectionCalls = 0;
};

}  // namespace

TEST_F(PortfolioWindow, LoadsFollowsTheSelectionAndKeepsTheObjectAcrossLayouts) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  ASSERT_EQ(table.count(), 2);
  EXPECT_TRUE(form->loadLog().lines().empty());  // cleared once loaded
  // Column-wise by design: "SELECTED" is the cell beyond the two objects,
  // holding the first line's portfolio that the start makes current.
  EXPECT_EQ(sheet().getColCount(), 3);
  EXPECT_EQ(sheet().getCellInteger(4, 1), form->dataSheet().lineToObject(2));

  const int second = form->dataSheet().lineToObject(3);
  ASSERT_GE(second, 0);
  sheet().setCurrentCell(3, 2);
  form->sheetPanel().refresh();
  EXPECT_EQ(table.currentIndex(), second);
  EXPECT_EQ(sheet().getCellInteger(4, 1), second);
  EXPECT_DOUBLE_EQ(sheet().getCellNumber(3, 3), second * 10.0);
  EXPECT_GE(selectionCalls, 1);
  EXPECT_TRUE(form->delBtn().enabled());
  EXPECT_TRUE(form->moveUpBtn().enabled());
  // The menu's position entries follow their buttons: the last line goes
  // up but not down.
  TPopupMenu& menu = form->sheetPopupMenu();
  menu.onPopup();
  EXPECT_TRUE(menu.itemCaptioned("&Position")->itemCaptioned("&Up / Left")->enabled);
  EXPECT_FALSE(menu.itemCaptioned("&Position")->itemCaptioned("&Down / Right")->enabled);
  EXPECT_TRUE(menu.itemCaptioned("&Sort")->itemCaptioned("&Ascending")->enabled);

  // Row-wise the current cell is transposed onto the same portfolio.
  form->rowWiseBtn().performClick();
  EXPECT_TRUE(form->dataSheet().rowWise);
  EXPECT_EQ(sheet().currentRow, 3);
  EXPECT_EQ(form->dataSheet().lineToObject(sheet().currentRow), second);

  // An edit of the bound text field goes into the portfolio without "=".
  sheet().setCurrentCell(2, 3);
  sheet().setCurrentCellString("  =value ");
  form->sheetPanel().onCellValueEdited();
  EXPECT_EQ(table.items(second)->getCustomProperty("Strategy"), "value");

  form->saveView();
  const TPortableIniFile controls(sample.folios + "FolioControls.INI");
  EXPECT_TRUE(controls.readBool("GridDirectionControls", "RowWise", false));
  // The lines stand as the stored orders place them: no order is stored
  // for a look.
  EXPECT_EQ(table.items(second)->getExternalProperty("DisplayOrder"), "");

  // A second window reads the layout back.
  form->clearView();
  form->loadView();
  EXPECT_TRUE(form->rowWiseBtn().down());
  EXPECT_EQ(form->dataSheet().lineToObject(3), second);
}

// A load writes thousands of lines; the memo shows them at a bounded rate,
// never rebuilt at each line, and each time with the latest line at the end.
TEST_F(PortfolioWindow, TheLoadLogShowsAtABoundedRate) {
  memo.setBounds(0, 0, 400, 300);
  memo.show();
  form->portfolioTableLoadNotify(10, "");
  EXPECT_EQ(memo.lines(), (std::vector<std::string>{"Preparing portfolio table..."}));
  // Rebuilt and repainted at every line, these lines took seconds. The memo
  // may change once an interval of the burst's time, however long a busy
  // machine makes it.
  const auto start = std::chrono::steady_clock::now();
  int changes = 0;
  for (int asset = 0; asset < 100; ++asset) {
    const size_t shown = memo.lines().size();
    form->portfolioTableLoadNotify(13, "Gold (AU)");
    if (memo.lines().size() != shown) ++changes;
  }
  const auto burst = std::chrono::steady_clock::now() - start;
  EXPECT_LE(changes, burst / TPortfolioLoadLog::repaintInterval + 1);

  Sleep(static_cast<DWORD>(TPortfolioLoadLog::repaintInterval.count()) + 10);
  form->portfolioTableLoadNotify(20, "Alpha (A)");
  // The memo dropped its older lines with the log's and took the new ones.
  EXPECT_EQ(memo.lines(), form->loadLog().lines());
  EXPECT_EQ(memo.lines().back(), "Unloading portfolio: Alpha (A)");
  Sleep(static_cast<DWORD>(TPortfolioLoadLog::repaintInterval.count()) + 10);
  form->portfolioTableLoadNotify(0, "");
  EXPECT_EQ(memo.lines().back(), "Unloading portfolio: Alpha (A) OK");
}

TEST_F(PortfolioWindow, NewCopyAndDeleteKeepLinesNotesAndSizes) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  sheet().setCurrentCell(2, 1);
  form->sheetPanel().refresh();
  const int first = table.currentIndex();
  ASSERT_GE(first, 0);
  writeWholeFile(includeTrailingBackslash(table.items(first)->Folder()) + "Notes.TXT", "remember\r\n");
  sheet().setColWidth(2, 140);

  ASSERT_EQ(form->copyBtnClick(), 0);
  ASSERT_EQ(table.count(), 3);
  // The copy comes right after the source's line, selected, same width.
  EXPECT_EQ(form->dataSheet().lineToObject(3), 2);
  EXPECT_EQ(table.currentIndex(), 2);
  EXPECT_EQ(sheet().getColWidth(3), 140);
  EXPECT_EQ(readWholeFile(includeTrailingBackslash(table.items(2)->Folder()) + "Notes.TXT"), "remember\r\n");

  form->notesBtn().performClick();
  ASSERT_NE(form->objectNotes(), nullptr);
  EXPECT_EQ(form->shownNotesObject(), 2);

  ASSERT_EQ(form->addBtnClick(), 0);
  ASSERT_EQ(table.count(), 4);
  EXPECT_EQ(form->dataSheet().lineToObject(4), 3);
  EXPECT_EQ(table.items(3)->Name(), "");

  // Deleting the portfolio on the last line leaves the new last line current.
  sheet().setCurrentCell(5, 1);
  form->sheetPanel().refresh();
  const std::string lastFolder = table.current()->Folder();
  ASSERT_EQ(form->menuItemPortfoliosDeleteSelectedClick(), 0);
  EXPECT_EQ(table.count(), 3);
  EXPECT_FALSE(folderExists(lastFolder));
  EXPECT_EQ(sheet().currentCol, 4);
  EXPECT_EQ(form->shownNotesObject(), -1);

  // Leaving the tab saves the view without stamping the model, so coming
  // back with nothing changed recomputes nothing.
  form->abortViewThreads();
  form->saveView();
  EXPECT_LE(table.lastChange(), form->sheetStamp());
}

// Notes typed over a file another program changed: the move to the next
// portfolio asked twice, Cancel let the next portfolio's notes hide the
// text, and the next save of the first portfolio's notes dropped it for good.
TEST_F(PortfolioWindow, NotesKeptFromAChangedFileAreAskedAboutOnceAndShowAgainUntilSaved) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  TScriptedMessageBox messages(IDCANCEL);
  form->messages = &messages;
  const auto select = [&](int line) {
    sheet().setCurrentCell(line, 2);
    form->noteEditPanelExit();  // the click in the grid takes the focus
    form->sheetPanel().refresh();
    const int object = form->dataSheet().lineToObject(line);
    ASSERT_TRUE(pumpUntil([&] { return form->shownNotesObject() == object; }));
  };
  const auto shownText = [&] {
    std::string text;
    form->objectNotes()->getText(false, text);
    return text;
  };
  form->notesBtn().setDown(true);
  form->notesBtnClick();
  select(2);
  form->notePageControl().selectNextPage(true);
  const std::string file = form->objectNotes()->fileName;
  const std::string appended = readWholeFile(file) + "Bought 10 more\r\n";
  ASSERT_TRUE(form->objectNotes()->insertText("Sell in May"));
  writeWholeFile(file, appended);

  select(3);
  ASSERT_EQ(messages.texts.size(), 1u) << "one question for one move";
  EXPECT_EQ(messages.defaultButtons.back(), static_cast<UINT>(MB_DEFBUTTON1)) << "Cancel, which loses nothing";
  select(2);
  EXPECT_EQ(form->objectNotes()->fileName, file);
  EXPECT_EQ(shownText().find("Sell in May"), 0u) << shownText();
  EXPECT_EQ(messages.texts.size(), 1u);

  // Its next save asks again; what the other program wrote stays until the
  // user writes over it.
  ASSERT_TRUE(form->objectNotes()->insertText(" and June"));
  form->noteEditPanelExit();
  EXPECT_EQ(messages.texts.size(), 2u);
  EXPECT_EQ(readWholeFile(file), appended);
  const std::vector<std::string> refused = saveUnsavedChanges();
  ASSERT_EQ(refused, std::vector<std::string>{file});
  EXPECT_EQ(refusedSavesText(refused).find("ANSI"), std::string::npos) << refusedSavesText(refused);
  messages.answer = IDCONTINUE;
  ASSERT_TRUE(form->objectNotes()->insertText("!"));
  form->noteEditPanelExit();
  EXPECT_EQ(readWholeFile(file).find("Sell in May and June!"), 0u) << readWholeFile(file);
  EXPECT_TRUE(saveUnsavedChanges().empty());
}

// The window is disabled while it works, and a disabled window takes no
// focus: the grid must still get it when the command is done, so that the
// user types into the new line and not into the button.
TEST_F(PortfolioWindow, NewAndCopyLeaveTheFocusInTheGrid) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  sheet().setCurrentCell(2, 1);
  form->sheetPanel().refresh();
  for (TToolButton* button : {&form->copyBtn(), &form->addBtn()}) {
    button->setFocus();
    ASSERT_EQ(GetFocus(), button->handle());
    ASSERT_EQ(button == &form->copyBtn() ? form->copyBtnClick() : form->addBtnClick(), 0);
    EXPECT_EQ(GetFocus(), form->sheetPanel().handle());
  }
}

TEST_F(PortfolioWindow, UnloadWhileBusyKeepsCommandsAwayAndClearsTheMark) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  std::vector<bool> busyCalls;
  form->onBusyChanged = [&busyCalls](bool busy) { busyCalls.push_back(busy); };
  TfolioPickForm& picks = form->folioPickForm();
  bool busyInDialog = false;
  int nestedResult = 0;
  TModalDriver driver(picks, {[&] {
                                busyInDialog = form->busy() && !form->enabled();
                                // A command reached through the dialog's message loop is refused.
                                nestedResult = form->addBtnClick();
                                const int row = picks.folioListView->itemText(0) == "Growth Portfolio" ? 0 : 1;
                                picks.folioListView->setChecked(row, false);
                                postKey(picks.folioListView->handle(), VK_RETURN);
                              }});
  ASSERT_EQ(form->loadBtnClick(), 0);
  EXPECT_TRUE(busyInDialog);
  EXPECT_EQ(nestedResult, -7);
  EXPECT_EQ(busyCalls, (std::vector<bool>{true, false}));
  ASSERT_EQ(table.count(), 1);
  EXPECT_EQ(table.items(0)->Name(), "Retirement Account");
  const TPortableIniFile header(sample.folios + "1\\0.INI");
  EXPECT_FALSE(header.readBool("Portfolio", "LoadAlways", true));
  EXPECT_EQ(form->dataSheet().objectLineCount(), 1);
}

// A damaged field file once reset the display order and column widths that
// the intact portfolio files keep.
TEST_F(PortfolioWindow, ADamagedFieldFileLeavesTheStoredOrderAndSizesAlone) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  form->saveView();
  ASSERT_EQ(table.saveAll(), 0);
  std::vector<std::string> headers;
  const auto header = [&](int i) { return readWholeFile(includeTrailingBackslash(table.items(i)->Folder()) + "0.INI"); };
  for (int i = 0; i < table.count(); ++i) headers.push_back(header(i));
  form->clearView();
  writeWholeFile(sample.folios + "FolioFields.INI", "[Fields]\r\nCount=2147483647\r\n");
  form->loadView();
  form->saveView();
  ASSERT_EQ(table.saveAll(), 0);
  for (int i = 0; i < table.count(); ++i)
    EXPECT_EQ(header(i), headers[static_cast<size_t>(i)]) << i;
}

// A damaged field file (another encoding, random bytes, held by another
// program) once left no portfolio current: the title read the program's
// name alone and the other tabs showed nothing, both portfolios open. The
// window starts on the portfolio its first line shows, and a paint of its
// grid, which tells no portfolio, keeps it.
TEST_F(PortfolioWindow, ADamagedFieldFileStillStartsOnThePortfolioOfTheFirstLine) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  ASSERT_NE(table.current(), nullptr);
  const std::string first = table.current()->Folder();
  const std::string fieldFile = sample.folios + "FolioFields.INI";
  const std::string utf16("\xFF\xFE[\0F\0i\0e\0l\0d\0s\0]\0\r\0\n\0", 20);
  for (const std::string& damage : {utf16, std::string("\x93\x0E\xC4\x01zq\x7F\xAA", 8), std::string()}) {
    form->clearView();
    table.clear();
    writeWholeFile(fieldFile, damage.empty() ? "[Fields]\r\nCount=1\r\n" : damage);
    THeldFile held(damage.empty() ? fieldFile : std::string());
    selectionCalls = 0;
    ASSERT_EQ(form->loadPortfolios(), 0);
    ASSERT_NE(table.current(), nullptr) << damage.size();
    EXPECT_EQ(table.current()->Folder(), first);
    EXPECT_GT(selectionCalls, 0) << "the title follows";
    form->sheetPanel().refresh();
    pumpFor(50);
    EXPECT_NE(table.current(), nullptr);
  }
}

namespace {

// Presses Enter on the message box of this thread that shows, as the user
// reading it would; false when none shows. The text is what it said.
bool pressEnterOnMessageBox(std::string& text) {
  HWND box = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&box));
  if (!box) return false;
  char said[512] = {};
  GetDlgItemTextA(box, 0xFFFF, said, sizeof said);
  text = said;
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
  return true;
}

}  // namespace

TEST_F(PortfolioWindow, TextTypedIntoACustomNumberIsRefusedAndTheNumberKept) {
  {
    TFieldTable fields;
    ASSERT_EQ(fields.loadFromFile(sample.folios + "FolioFields.INI", '.', ','), 0);
    fields.insertField(fields.count());
    TField& target = *fields.items(fields.count() - 1);
    target.setHeader("Target return");
    target.Kind = 1;
    target.setSymbol("TargetReturn");
    target.Locked = false;
    ASSERT_EQ(fields.save('.', ','), 0);
  }
  ASSERT_EQ(form->loadPortfolios(), 0);
  const int first = table.indexOfFolder(sample.folios + "1\\");
  ASSERT_GE(first, 0);
  ASSERT_EQ(table.items(first)->getCustomProperty("TargetReturn"), "0.075");
  int line = 2;
  while (form->dataSheet().lineToObject(line) != first) ASSERT_LE(++line, 3);
  TSheetPanel& grid = form->sheetPanel();
  sheet().setCurrentCell(line, 4);  // column-wise: the fourth field's row
  grid.refresh();
  ASSERT_DOUBLE_EQ(sheet().getCellNumber(line, 4), 0.075);
  grid.setFocus();

  // The refusal once only beeped, or stayed silent: the box says why, and
  // the user, pressing Enter on it, is back in the cell with the text.
  grid.messages = &systemMessageBox();
  std::vector<std::string> told;
  TTimer answer(100, [&] {
    std::string text;
    if (pressEnterOnMessageBox(text)) told.push_back(text);
  });
  answer.setEnabled(true);
  for (const std::string typed : {"ab", "1e309"}) {
    told.clear();
    postChar(grid.handle(), typed[0]);
    ASSERT_TRUE(grid.editing());
    for (const char c : typed.substr(1)) postChar(grid.numberEdit().handle(), c);
    postKey(grid.numberEdit().handle(), VK_RETURN);
    ASSERT_TRUE(pumpUntil([&] { return !told.empty(); })) << typed;
    pumpFor(300);  // time for a second box, which must not come
    ASSERT_EQ(told.size(), 1u) << typed;
    EXPECT_NE(told[0].find("\"" + typed + "\" is no number"), std::string::npos) << told[0];
    EXPECT_TRUE(grid.editing()) << "the editor stays with the refused text";
    EXPECT_EQ(grid.numberEdit().text(), typed);
    EXPECT_TRUE(pumpUntil([&] { return GetFocus() == grid.numberEdit().handle(); })) << "the keys stay in the cell";
    sendKey(grid.numberEdit().handle(), VK_ESCAPE);
    EXPECT_FALSE(grid.editing());
    EXPECT_DOUBLE_EQ(sheet().getCellNumber(line, 4), 0.075);
    EXPECT_EQ(table.items(first)->getCustomProperty("TargetReturn"), "0.075");
  }
  answer.setEnabled(false);

  postChar(grid.handle(), '0');
  ASSERT_TRUE(grid.editing());
  for (const char c : std::string(".08")) postChar(grid.numberEdit().handle(), c);
  sendKey(grid.numberEdit().handle(), VK_RETURN);
  EXPECT_FALSE(grid.editing());
  EXPECT_EQ(table.items(first)->getCustomProperty("TargetReturn"), "0.08");
}

// A new view from the sample's templates, which name no place, was told
// of as a damaged file that lost its tile.
TEST_F(PortfolioWindow, ANewChartOrGraphComesUpInFrontOfTheSheetAndTheOtherViews) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  takePartlyReadFiles();
  const HWND container = form->sheetResizablePanel().handle();
  for (int kind : {1, 2}) {
    const std::size_t before = form->sheetGraphs().size();
    form->newViewClick(kind);
    ASSERT_EQ(form->sheetGraphs().size(), before + 1);
    // The topmost child of the container is the view just made, not the
    // sheet's tile nor a view the folder held before.
    EXPECT_EQ(GetWindow(container, GW_CHILD), form->sheetGraphs().back()->handle()) << "kind " << kind;
    EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{}) << "kind " << kind;
  }
}

// A folder under a view file's name hides that view, and a template held
// by another program gives a new view without it: both are named, and the
// template is left as it is.
TEST_F(PortfolioWindow, AViewOrTemplateThatCannotBeReadIsNamed) {
  const std::string hidden = sample.folios + "Charts\\Folio_9.INI";
  ASSERT_TRUE(CreateDirectoryA(hidden.c_str(), nullptr));
  takeUnreadableFiles();
  ASSERT_EQ(form->loadPortfolios(), 0);
  std::vector<std::string> named = takeUnreadableFiles();
  const auto names = [&named](const std::string& file) {
    return std::any_of(named.begin(), named.end(), [&](const std::string& name) { return sameText(name, file); });
  };
  EXPECT_TRUE(names(hidden)) << (named.empty() ? "" : named.back());

  const std::string templateFile = getDirectory("<DATA>") + "ChartTemplate.INI";
  const std::string text = readWholeFile(templateFile);
  {
    THeldFile held(templateFile);
    ASSERT_TRUE(held.held());
    form->newViewClick(1);
    named = takeUnreadableFiles();
    EXPECT_TRUE(names(templateFile)) << (named.empty() ? "" : named.back());
  }
  EXPECT_EQ(readWholeFile(templateFile), text);
}

// The sample's sheet and views fill the tab. A new chart from the template
// (which names no place), a new graph without a template and a chart made
// from the gallery must neither cover the sheet nor vanish behind it at the
// next click in the grid.
TEST_F(PortfolioWindow, ANewViewStaysInSightAfterAClickInTheGrid) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  ASSERT_TRUE(DeleteFileA((sample.data + "GraphTemplate.INI").c_str()));
  TgalleryForm gallery;
  gallery.loadGallery(sample.data + "GALLERY");
  TBitmap picture;
  picture.setSize(40, 30);
  ASSERT_EQ(gallery.galleryIndex().add(1, sample.folios + "Charts\\Folio_0.INI", "Values",
                                       [&picture](const std::string& file) { return picture.saveToFile(file); }),
            0);
  form->setGalleryForm(&gallery);
  TResizablePanelContainer& tiles = form->sheetResizablePanel();
  const HWND grid = form->sheetPanel().paintBox().handle();
  const std::function<void()> makers[] = {
      [&] { form->newViewClick(1); },
      [&] { form->newViewClick(2); },
      [&] {
        TModalDriver driver(gallery, {[&] {
                              gallery.favListView().setItemIndex(0);
                              gallery.makeBtn().performClick();
                            }});
        form->galleryBtnClick();
      }};
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    const std::size_t before = form->sheetGraphs().size();
    makers[way]();
    ASSERT_EQ(form->sheetGraphs().size(), before + 1);
    const TSheetGraph& view = *form->sheetGraphs().back();
    sendMouse(grid, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    sendMouse(grid, WM_LBUTTONUP, 20, 20);
    pumpFor(50);
    const RECT place = view.bounds();
    EXPECT_GT(place.right - place.left, 0);
    for (const TResizablePanel* tile : tiles.panels(true)) {
      if (tile == &view) continue;
      RECT both;
      const RECT other = tile->bounds();
      EXPECT_FALSE(IntersectRect(&both, &place, &other)) << tile->name;
    }
    const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    EXPECT_EQ(ChildWindowFromPointEx(tiles.handle(), middle, CWP_SKIPINVISIBLE), view.handle());
  }
  EXPECT_FALSE(form->sheetContainer().maximized());
}

// The key field's symbol names the portfolio in formulas (as the sample's
// "P"): typing a name once also stored the cell's index under that symbol.
TEST_F(PortfolioWindow, TypingANameStoresTheNameAndNothingUnderTheKeyFieldsSymbol) {
  {
    TFieldTable fields;
    ASSERT_EQ(fields.loadFromFile(sample.folios + "FolioFields.INI", '.', ','), 0);
    fields.items(0)->setSymbol("P");
    fields.Fixed = 0;  // the name may be typed into
    ASSERT_EQ(fields.save('.', ','), 0);
  }
  ASSERT_EQ(form->loadPortfolios(), 0);
  const int first = table.indexOfFolder(sample.folios + "1\\");
  ASSERT_GE(first, 0);
  int line = 2;
  while (form->dataSheet().lineToObject(line) != first) ASSERT_LE(++line, 3);
  TSheetPanel& grid = form->sheetPanel();
  sheet().setCurrentCell(line, 1);  // column-wise: the name field's row
  grid.refresh();
  grid.startEditing("");
  const HWND editor = grid.textEditor().handle();
  SendMessageA(editor, EM_SETSEL, 0, -1);
  for (const char c : std::string("Renamed")) postChar(editor, c);
  sendKey(editor, VK_RETURN);
  EXPECT_FALSE(grid.editing());
  EXPECT_EQ(table.items(first)->Name(), "Renamed");
  EXPECT_EQ(table.items(first)->getCustomProperty("P"), "");
  ASSERT_EQ(form->savePortfolios(), 0);
  const TPortableIniFile stored(sample.folios + "1\\0.INI");
  EXPECT_EQ(stored.readString("Portfolio", "Name", ""), "Renamed");
  EXPECT_EQ(stored.readString("CustomProperties", "P", "(none)"), "(none)");
}

// A slip in the days box ("92", End, "183001") once went through as tens of
// millions of days: the from picker could not show the day, and the from
// date stored disagreed with the pickers and the box after a restart.
TEST_F(PortfolioWindow, ADaysCountReachingBeforeThePickersFirstDayIsRefusedAndBoxPickersAndFileAgree) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  TScriptedMessageBox messages(IDOK);
  form->messages = &messages;
  const double to = form->dataSheet().dates.toId();
  form->setDates(to - 91, to);
  TComboBox& box = form->daysComboBox();
  ASSERT_EQ(box.text(), "92");
  const HWND edit = FindWindowExA(box.handle(), nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  const auto type = [&](const std::string& keys, bool replacing = false) {
    sendMouse(edit, WM_LBUTTONDOWN, 4, 4);
    sendMouse(edit, WM_LBUTTONUP, 4, 4);
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() == edit; }));
    if (replacing)
      SendMessageA(edit, EM_SETSEL, 0, -1);
    else
      postKey(edit, VK_END);
    for (const char key : keys) postChar(edit, key);
    postKey(edit, VK_RETURN);
    pumpFor(100);
  };

  type("183001");
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0].rfind("\"92183001\" is no number this box can keep", 0), 0u) << messages.texts[0];
  EXPECT_EQ(box.text(), "92");
  EXPECT_EQ(form->dataSheet().dates.days(), 92);
  EXPECT_EQ(form->fromDatePicker().dateTime(), to - 91);
  EXPECT_EQ(form->toDatePicker().dateTime(), to);
  ASSERT_TRUE(form->saveView().empty());
  EXPECT_EQ(TPortableIniFile(sample.folios + "FolioControls.INI").readInteger("DateControls", "FromDate", 0), to - 91);

  // A count in range typed the same way is taken, without a word.
  type("0");
  EXPECT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(box.text(), "920");
  EXPECT_EQ(form->fromDatePicker().dateTime(), to - 919);

  // No days, or fewer than none, is the shortest range there is, and the
  // box says so once the typing ends.
  for (const std::string typed : {"0", "-5"}) {
    type(typed, true);
    EXPECT_EQ(box.text(), "2") << typed;
    EXPECT_EQ(form->fromDatePicker().dateTime(), to - 1) << typed;
    EXPECT_EQ(form->toDatePicker().dateTime(), to) << typed;
  }
  EXPECT_EQ(messages.texts.size(), 1u);
}

// A count refused at a close held it: the close goes on once the box was
// answered, with the count the window had.
TEST_F(PortfolioWindow, AtACloseARefusedDaysCountIsGivenUpOnceItsBoxIsAnswered) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  TScriptedMessageBox messages(IDOK);
  form->messages = &messages;
  const double to = form->dataSheet().dates.toId();
  form->setDates(to - 91, to);
  const HWND edit = FindWindowExA(form->daysComboBox().handle(), nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  sendMouse(edit, WM_LBUTTONDOWN, 4, 4);
  sendMouse(edit, WM_LBUTTONUP, 4, 4);
  ASSERT_TRUE(pumpUntil([&] { return GetFocus() == edit; }));
  postKey(edit, VK_END);
  for (const char key : std::string("183001")) postChar(edit, key);
  pumpFor(100);
  EXPECT_TRUE(form->endEdit(TEditEnding::closing));
  EXPECT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(form->daysComboBox().text(), "92");
  EXPECT_EQ(form->fromDatePicker().dateTime(), to - 91);
}

// The date refresh two seconds after an entry wrote the count anew, which
// put the cursor to the start of the box: a user who had selected the count
// right after the entry to replace it typed in front of it instead ("9293").
TEST_F(PortfolioWindow, TheDateRefreshAfterACountKeepsTheSelectionInTheDaysBox) {
  ASSERT_EQ(form->loadPortfolios(), 0);
  const double to = form->dataSheet().dates.toId();
  form->setDates(to - 91, to);
  const TComboBox& box = form->daysComboBox();
  const HWND edit = FindWindowExA(box.handle(), nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  sendMouse(edit, WM_LBUTTONDOWN, 4, 4);
  sendMouse(edit, WM_LBUTTONUP, 4, 4);
  ASSERT_TRUE(pumpUntil([&] { return GetFocus() == edit; }));
  const auto replaceWith = [&](const std::string& keys) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char key : keys) postChar(edit, key);
    postKey(edit, VK_RETURN);
    pumpFor(100);
  };

  replaceWith("93");
  ASSERT_EQ(box.text(), "93");
  SendMessageA(edit, EM_SETSEL, 0, -1);
  pumpFor(2500);
  DWORD start = 1, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 2u);
  for (const char key : std::string("92")) postChar(edit, key);
  postKey(edit, VK_RETURN);
  pumpFor(100);
  EXPECT_EQ(box.text(), "92");
  EXPECT_EQ(form->dataSheet().dates.days(), 92);
  EXPECT_EQ(form->fromDatePicker().dateTime(), to - 91);

  // A count the box shows otherwise than the window keeps it is still
  // written as the window keeps it.
  replaceWith("092");
  EXPECT_EQ(box.text(), "92");
  replaceWith("1");
  EXPECT_EQ(box.text(), "2");
}

// The file once kept the slip after such a load, disagreeing with the
// pickers at every later start.
TEST_F(PortfolioWindow, AFromDateStoredBeforeThePickersFirstDayLoadsAsThatDayAndIsStoredSo) {
  {
    TPortableIniFile controls(sample.folios + "FolioControls.INI");
    controls.writeInteger("DateControls", "FromDate", -92136636);
  }
  ASSERT_EQ(form->loadPortfolios(), 0);
  const TDateWindow& dates = form->dataSheet().dates;
  EXPECT_EQ(dates.fromId(), firstPickerDay);
  EXPECT_EQ(form->fromDatePicker().dateTime(), firstPickerDay);
  EXPECT_EQ(form->toDatePicker().dateTime(), dates.toDate());
  EXPECT_EQ(form->daysComboBox().text(), std::to_string(mostDaysEndingOn(dates.toId())));
  TValueRecord from;
  ASSERT_TRUE(sheet().getCustomId("FROM_DATE", from));
  EXPECT_EQ(from.number, firstPickerDay);
  form->saveView();
  EXPECT_EQ(TPortableIniFile(sample.folios + "FolioControls.INI").readInteger("DateControls", "FromDate", 0),
            firstPickerDay);
}
