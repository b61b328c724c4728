#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/SheetPanel.h"
#include "model/Asset.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/UnsavedChanges.h"
#include "model/PortfolioTable.h"
#include "model/TransactionTable.h"
#include "model/Transaction.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "controls/DownloadPickForm.h"
#include "controls/ListViewXPSafe.h"
#include "controls/ResizablePanel.h"
#include "controls/ResizablePanelContainer.h"
#include "controls/WebPanel.h"
#include "chart/SheetGraph.h"
#include "chart/SheetGraphSettings.h"
#include "model/Directories.h"
#include "model/UnreadableFiles.h"
#include "platform/StdControls.h"
#include "windows/AssetForm.h"

namespace {

// The first sample portfolio (five assets, the last a cash account without
// prices) in an Assets window on a tab, shown row-wise with the sample's
// field file.
class AssetWindow : public testing::Test {
 protected:
  void SetUp() override {
    setExtendedPrecision();
    ASSERT_EQ(table.open(sample.folios + "1\\", false, {}, nullptr, true, false), 0);
    table.setCurrentIndex(0);
    portfolio = table.current();
    pages.setAlign(TAlign::client);
    main.showModeless();
    form = &createChildForm<TassetForm>(pages, "Assets");
    form->setPortfolioTable(&table);
    form->loadView();
    if (!form->rowWiseBtn().down()) form->setRowWise(true);
  }

  TSheet& sheet() { return form->sheetPanel().sheet(); }
  int lines() { return form->dataSheet().objectLineCount(); }

  TSampleWorkFolder sample;
  TPortfolioTable table;
  TPortfolio* portfolio = nullptr;
  TForm main{mainWindowOptions("Kestrova", 760, 420)};
  TPageControl& pages = main.add<TPageControl>();
  TassetForm* form = nullptr;
};

}  // namespace

TEST_F(AssetWindow, NewConstantPriceAssetFollowsTheCurrentLineAndIsHiddenAsANullHolding) {
  ASSERT_EQ(lines(), 5);
  EXPECT_EQ(form->shownPortfolioSerial(), portfolio->Serial());
  sheet().setCurrentCell(2, 3);
  form->sheetPanel().refresh();
  ASSERT_EQ(form->menuItemAssetsNewConstantPriceClick(), 0);
  ASSERT_EQ(portfolio->assetCount(), 6);
  EXPECT_EQ(lines(), 6);
  EXPECT_EQ(sheet().currentRow, 4);
  EXPECT_EQ(form->dataSheet().lineToObject(4), 5);
  TAsset& made = *portfolio->assets(5);
  EXPECT_TRUE(made.noPriceHistoryLocation());
  const TTransaction& first = *made.Transactions().items(0);
  EXPECT_EQ(first.getExternalProperty("DisplayOrder"), "1073741822");

  // Its holding is 0 units: the null filter leaves it out.
  form->showNullsBtn().setDown(false);
  form->showNullsBtnClick();
  EXPECT_EQ(lines(), 5);
  form->showNullsBtn().setDown(true);
  form->showNullsBtnClick();
  EXPECT_EQ(lines(), 6);
  pumpFor(100);
  captureWindow(main.handle()).savePng("assets-window");
}

TEST_F(AssetWindow, DeletingTheLastLineTakesTheAssetsNotesAndMovesTheCurrentCellUp) {
  const int32_t number = portfolio->assets(4)->Number();
  const std::string folder = includeTrailingBackslash(portfolio->Folder());
  for (const char* prefix : {"Asset_", "Quote_"}) {
    TPortableIniFile notes(folder + prefix + std::to_string(number) + ".TXT");
    notes.writeString("x", "y", "z");
  }
  const int last = lines() + 1;
  const int index = form->dataSheet().lineToObject(last);
  ASSERT_GE(index, 0);
  sheet().setCurrentCell(2, last);
  form->sheetPanel().refresh();
  const int32_t going = portfolio->assets(index)->Number();
  ASSERT_EQ(form->menuItemAssetsDelSelectedClick(), 0);
  EXPECT_EQ(portfolio->assetCount(), 4);
  EXPECT_EQ(lines(), 4);
  EXPECT_EQ(sheet().currentRow, last - 1);
  if (going == number) {
    for (const char* prefix : {"Asset_", "Quote_"})
      EXPECT_FALSE(fileExists(folder + prefix + std::to_string(number) + ".TXT"));
  }
}

// Notes its file refused, of an asset then deleted, wait for no close: the
// editor still holding them wrote them back as the next line was shown,
// and the next asset given that number opened with them.
TEST_F(AssetWindow, NotesOfADeletedAssetAreNotWrittenAgainByTheEditor) {
  const int last = lines() + 1;
  const int index = form->dataSheet().lineToObject(last);
  ASSERT_GE(index, 0);
  sheet().setCurrentCell(2, last);
  form->sheetPanel().refresh();
  form->notesBtn().setDown(true);
  form->notesBtnClick();
  form->notePageControl().selectNextPage(true);
  ASSERT_EQ(form->noteEditPanel().editorStatus(), form->objectNotes());
  const std::string notes = form->objectNotes()->fileName;
  ASSERT_TRUE(fileExists(notes));
  SetFileAttributesA(notes.c_str(), FILE_ATTRIBUTE_READONLY);
  form->objectNotes()->insertText("sell in May");
  form->noteEditPanelExit();
  SetFileAttributesA(notes.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(form->menuItemAssetsDelSelectedClick(), 0);
  pumpUntil([&] { return form->shownNotesObject() >= 0; });
  EXPECT_FALSE(fileExists(notes));
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_FALSE(fileExists(notes));
}

TEST_F(AssetWindow, VariablePriceCreationStopsAtAFailingFirstItemAndSkipsAFailingLaterOne) {
  const std::string lists = sample.data + "DLISTS\\";
  setDirectory("<DLISTS>", lists);
  forceFolders(lists + "1");
  writeWholeFile(lists + "1\\0.INI", "[List]\r\nName=Stocks\r\n");
  const std::string good = "[DownloadItem]\r\nName=Good\r\nSymbol=NWE2\r\nCurrency=EUR\r\nDataPath=" +
                           sample.quotes + "NWE.CSV\r\nOutFormat=YYYY-MM-DD,O,H,L,C,V\r\n";
  const std::string bad = "[DownloadItem]\r\nName=Bad\r\nDataPath=" + sample.root +
                          "NOWHERE\\X.CSV\r\nOutFormat=YYYY-MM-DD,C\r\n";
  TdownloadPickForm picker;
  form->setDownloadPickForm(&picker);
  const int before = portfolio->assetCount();
  const auto pickAll = [&](const std::string& firstItem, const std::string& secondItem) {
    writeWholeFile(lists + "1\\1.INI", firstItem);
    writeWholeFile(lists + "1\\2.INI", secondItem);
    picker.listLists();
    TModalDriver driver(picker, {[&] {
      picker.listListView.setItemIndex(0);
      ASSERT_TRUE(pumpUntil([&] { return picker.objectListView.itemCount() == 2; }));
      for (int row = 0; row < 2; ++row) picker.objectListView.setSelected(row, true);
      picker.okBtn.performClick();
    }});
    const int code = form->menuItemAssetsNewVariablePriceClick();
    EXPECT_FALSE(driver.timedOut());
    return code;
  };
  EXPECT_NE(pickAll(bad, good), 0);
  EXPECT_EQ(portfolio->assetCount(), before) << "a failing first item creates nothing";
  EXPECT_NE(pickAll(good, bad), 0);
  EXPECT_EQ(portfolio->assetCount(), before + 1);
}

TEST_F(AssetWindow, NotesFollowTheShownPortfolioAcrossASwitch) {
  ASSERT_EQ(table.open(sample.folios + "2\\", false, {}, nullptr, true, false), 0);
  form->notesBtn().setDown(true);
  form->notesBtnClick();
  const std::string first = includeTrailingBackslash(table.items(0)->Folder());
  const std::string second = includeTrailingBackslash(table.items(1)->Folder());
  ASSERT_NE(form->globalNotes(), nullptr);
  EXPECT_EQ(form->globalNotes()->fileName, first + "AssetNotes.TXT");
  form->saveView();

  table.setCurrentIndex(1);
  form->tabEntered(nullptr, 0, false, 0, 0);
  ASSERT_TRUE(form->notesBtn().down());
  ASSERT_NE(form->globalNotes(), nullptr);
  EXPECT_EQ(form->globalNotes()->fileName, second + "AssetNotes.TXT");
  EXPECT_EQ(form->globalNoteSheet().caption(), "Retirement Account");
  EXPECT_EQ(form->noteEditPanel().editorStatus(), form->globalNotes());
  form->globalNotes()->insertText("second's notes");
  form->saveView();
  EXPECT_EQ(readWholeFile(second + "AssetNotes.TXT"), "second's notes\r\n");
  EXPECT_EQ(readWholeFile(first + "AssetNotes.TXT"), "");
}

// Notes typed while their file was read-only were lost without a word when
// the window went on to another portfolio: they wait for the close.
TEST_F(AssetWindow, NotesTheirFileRefusedWaitForTheCloseAcrossASwitch) {
  ASSERT_EQ(table.open(sample.folios + "2\\", false, {}, nullptr, true, false), 0);
  form->notesBtn().setDown(true);
  form->notesBtnClick();
  const std::string first = includeTrailingBackslash(table.items(0)->Folder()) + "AssetNotes.TXT";
  ASSERT_NE(form->globalNotes(), nullptr);
  const std::string before = readWholeFile(first);
  SetFileAttributesA(first.c_str(), FILE_ATTRIBUTE_READONLY);
  form->globalNotes()->insertText("first's notes");
  form->noteEditPanelExit();
  table.setCurrentIndex(1);
  form->tabEntered(nullptr, 0, false, 0, 0);
  ASSERT_NE(form->globalNotes(), nullptr);
  EXPECT_NE(form->globalNotes()->fileName, first);
  EXPECT_EQ(readWholeFile(first), before);
  const std::vector<std::string> waiting = saveUnsavedChanges();
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_TRUE(sameText(waiting[0], first)) << waiting[0];
  SetFileAttributesA(first.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(readWholeFile(first), "first's notes\r\n");
}

// A change of a view, the layout or the fields its read-only file refused
// when the tab was left was lost without a word once another portfolio was
// shown: read from the file again, the window showed what the change never
// reached, and the close asked nothing. It waits for the close, shows again
// with its portfolio, and only a save that wrote it lets it go.
TEST_F(AssetWindow, WhatItsFilesRefusedShowsAgainWithItsPortfolioUntilASaveWritesIt) {
  const auto graphOf = [](TassetForm& form, const std::string& file) {
    const auto& views = form.sheetGraphs();
    const auto found =
        std::find_if(views.begin(), views.end(), [&](auto* view) { return sameText(view->fileName(), file); });
    return found == views.end() ? nullptr : *found;
  };
  const auto browserOf = [](TassetForm& form, const std::string& file) {
    const auto& views = form.webPanels();
    const auto found =
        std::find_if(views.begin(), views.end(), [&](auto* view) { return sameText(view->settingsFile(), file); });
    return found == views.end() ? nullptr : *found;
  };
  struct TRow {
    const char* what;
    int kind;  // the view made, 0 for a file of the window's own
    const char* windowFile;
    std::function<void(TassetForm& form, const std::string& file)> change;
    std::function<bool(TassetForm& form, const std::string& file)> shown;
    std::function<bool(const TPortableIniFile& file)> written;
  };
  const TRow rows[] = {
      {"a chart made logarithmic", 1, "",
       [&](TassetForm& form, const std::string& file) { graphOf(form, file)->setLogarithmic(true); },
       [&](TassetForm& form, const std::string& file) {
         return graphOf(form, file) && graphOf(form, file)->pendingSettings().logarithmic;
       },
       [](const TPortableIniFile& file) { return file.readBool("Graph", "Logarithmic", false); }},
      {"a graph's steps", 2, "",
       [&](TassetForm& form, const std::string& file) { graphOf(form, file)->setStepsFormula("12"); },
       [&](TassetForm& form, const std::string& file) {
         return graphOf(form, file) && graphOf(form, file)->pendingSettings().stepsFormula == "12";
       },
       [](const TPortableIniFile& file) { return file.readString("Steps", "Formula", "") == "12"; }},
      {"a browser's status bar hidden", 3, "",
       [&](TassetForm& form, const std::string& file) { browserOf(form, file)->setStatusVisible(false); },
       [&](TassetForm& form, const std::string& file) {
         return browserOf(form, file) && !browserOf(form, file)->statusVisible();
       },
       [](const TPortableIniFile& file) { return !file.readBool("Status", "Visible", true); }},
      {"the grid laid out columnwise", 0, "AssetControls.INI",
       [](TassetForm& form, const std::string&) { form.setRowWise(false); },
       [](TassetForm& form, const std::string&) { return form.colWiseBtn().down(); },
       [](const TPortableIniFile& file) { return !file.readBool("GridDirectionControls", "RowWise", true); }},
      {"a field widened", 0, "AssetFields.INI",
       [](TassetForm& form, const std::string&) { form.fieldTable().items(1)->RowWiseWidth = 123; },
       [](TassetForm& form, const std::string&) { return form.fieldTable().items(1)->RowWiseWidth == 123; },
       [](const TPortableIniFile& file) { return file.readInteger("1", "RowWiseWidth", 0) == 123; }},
  };
  ASSERT_EQ(table.open(sample.folios + "2\\", false, {}, nullptr, true, false), 0);
  const auto show = [&](int index) {
    form->saveView();
    table.setCurrentIndex(index);
    form->tabEntered(nullptr, 0, false, 0, 0);
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.what);
    std::string file = includeTrailingBackslash(portfolio->Folder()) + row.windowFile;
    if (row.kind != 0) {
      form->newViewClick(row.kind);
      file = row.kind == 3 ? form->webPanels().back()->settingsFile() : form->sheetGraphs().back()->fileName();
    }
    ASSERT_TRUE(form->saveView().empty());
    ASSERT_FALSE(row.written(TPortableIniFile(file)));
    row.change(*form, file);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(form->saveView(), TSaveFailures{file});
    show(1);
    show(0);
    EXPECT_TRUE(row.shown(*form, file));
    EXPECT_EQ(form->saveView(), TSaveFailures{file});
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(form->saveView().empty());
    EXPECT_TRUE(row.written(TPortableIniFile(file)));
    EXPECT_TRUE(saveUnsavedChanges().empty());
  }
}

namespace {

// Each asset's line sizes and order in the Assets window.
std::vector<std::string> assetViewProperties(const TPortfolio& shown) {
  std::vector<std::string> properties;
  for (int i = 0; i < shown.assetCount(); ++i) {
    const TAsset& asset = *shown.assets(i);
    properties.push_back(asset.getExternalProperty("DisplayOrder") + " " + asset.getExternalProperty("RowHeight") +
                         " " + asset.getExternalProperty("ColWidth"));
  }
  return properties;
}

}  // namespace

// Asset indexes are an index into one portfolio's list: the widths and
// order of one portfolio's lines written into the portfolio current at the
// save gave another's assets widths and places they never had.
TEST_F(AssetWindow, WidthsAndOrderGoOnlyIntoThePortfolioTheViewWasLoadedFrom) {
  ASSERT_EQ(table.open(sample.folios + "2\\", false, {}, nullptr, true, false), 0);
  TPortfolio& other = *table.items(1);
  const std::vector<std::string> untouched = assetViewProperties(*portfolio);
  table.setCurrentIndex(1);
  form->tabEntered(nullptr, 0, false, 0, 0);
  ASSERT_EQ(form->shownPortfolioSerial(), other.Serial());
  ASSERT_GE(lines(), 2);
  const int second = form->dataSheet().lineToObject(3);
  sheet().setCurrentCell(2, 3);
  form->moveClick(-1);
  sheet().setRowHeight(2, 40);

  // Another portfolio clicked on the Portfolios tab, then the close.
  table.setCurrentIndex(0);
  EXPECT_TRUE(form->saveView().empty());
  EXPECT_EQ(assetViewProperties(*portfolio), untouched);
  for (int i = 0; i < portfolio->assetCount(); ++i)
    EXPECT_FALSE(portfolio->assets(i)->viewPropertiesUnsaved()) << i;
  EXPECT_EQ(other.assets(second)->getExternalProperty("DisplayOrder"), "2");
  EXPECT_EQ(other.assets(second)->getExternalProperty("RowHeight"), "40");

  // A view whose portfolio was closed meanwhile writes nowhere, not even
  // into the folder it came from.
  const std::string controls = includeTrailingBackslash(other.Folder()) + "AssetControls.INI";
  ASSERT_EQ(table.close(other.Folder(), false, {}, nullptr), 0);
  ASSERT_TRUE(deleteFile(controls));
  EXPECT_TRUE(form->saveView().empty());
  EXPECT_FALSE(fileExists(controls));
  EXPECT_EQ(assetViewProperties(*portfolio), untouched);
}

// With null holdings hidden, a new asset (no units yet) was made without a
// line: every click wrote an asset the user never saw.
TEST_F(AssetWindow, ANewAssetIsShownWhileNullHoldingsAreHidden) {
  form->showNullsBtn().setDown(false);
  form->showNullsBtnClick();
  const int shownBefore = lines();
  sheet().setCurrentCell(2, 3);
  form->sheetPanel().refresh();
  ASSERT_EQ(form->menuItemAssetsNewConstantPriceClick(), 0);
  EXPECT_TRUE(form->showNullsBtn().down());
  EXPECT_EQ(lines(), portfolio->assetCount());
  EXPECT_GT(lines(), shownBefore);
  EXPECT_EQ(form->dataSheet().selectedObjectIndex(), portfolio->assetCount() - 1);
}

// The field file held by another program while the window loads, let go
// before the close: a field added meanwhile joins the file's own. While it
// is held the close names the file as not saved; the field was once
// dropped without a word.
TEST_F(AssetWindow, AFieldAddedAfterTheFieldFileCouldNotBeReadJoinsItOnceItCan) {
  const std::string fields = includeTrailingBackslash(portfolio->Folder()) + "AssetFields.INI";
  const std::string text = readWholeFile(fields);
  const int count = TPortableIniFile(fields).readInteger("Fields", "Count", 0);
  ASSERT_GT(count, 0);
  {
    THeldFile held(fields);
    ASSERT_TRUE(held.held());
    form->loadView();
    EXPECT_EQ(form->fieldTable().count(), 0);
    form->fieldTable().insertField(0);
    form->fieldTable().items(0)->setHeader("Added");
    const TSaveFailures failed = form->saveView();
    EXPECT_TRUE(std::any_of(failed.begin(), failed.end(),
                            [&](const std::string& name) { return upperCase(name) == upperCase(fields); }));
  }
  EXPECT_EQ(readWholeFile(fields), text);
  EXPECT_TRUE(form->saveView().empty());
  const TPortableIniFile saved(fields);
  EXPECT_EQ(saved.readInteger("Fields", "Count", 0), count + 1);
  EXPECT_EQ(saved.readString(std::to_string(count), "Header", ""), "Added");
}

// A look at a portfolio wrote the line order into every asset file and the
// grid's default sizes into the field file: a read-only portfolio asked
// about them at every close.
TEST_F(AssetWindow, ALookStoresNoLineOrderAndNoDefaultSize) {
  const std::string fields = includeTrailingBackslash(portfolio->Folder()) + "AssetFields.INI";
  const std::string text = readWholeFile(fields);
  ASSERT_EQ(text.find("DefaultRowWiseWidth"), std::string::npos);
  SetFileAttributesA(fields.c_str(), FILE_ATTRIBUTE_READONLY);
  form->loadView();
  form->setRowWise(false);
  const TSaveFailures failed = form->saveView();
  SetFileAttributesA(fields.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(failed.empty());
  EXPECT_EQ(readWholeFile(fields), text);
  for (int i = 0; i < portfolio->assetCount(); ++i) {
    EXPECT_FALSE(portfolio->assets(i)->viewPropertiesUnsaved()) << i;
    EXPECT_EQ(portfolio->assets(i)->getExternalProperty("DisplayOrder"), "") << i;
  }
}

// Every save writes the grid's tile whole: a file without a side of it is
// named, the grid comes where it covers no view, and the user's next change
// writes the tile as shown, not only the line of the change.
TEST_F(AssetWindow, AControlsFileWithoutASideOfTheGridsTileIsToldOfAndWrittenWholeAtAChange) {
  const std::string controls = includeTrailingBackslash(portfolio->Folder()) + "AssetControls.INI";
  std::string text = readWholeFile(controls);
  const size_t bottom = text.find("Bottom=");
  ASSERT_NE(bottom, std::string::npos);
  text.erase(bottom, text.find("\r\n", bottom) + 2 - bottom);
  writeWholeFile(controls, text);
  takePartlyReadFiles();
  form->loadView();
  const std::vector<std::string> told = takePartlyReadFiles();
  EXPECT_TRUE(std::any_of(told.begin(), told.end(), [&](const std::string& name) { return name == controls; }));
  int views = 0;
  for (const TControl* view : form->sheetResizablePanel().children()) {
    if (view == &form->sheetContainer() || !view->visible()) continue;
    ++views;
    const RECT place = view->bounds();
    const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    EXPECT_EQ(ChildWindowFromPointEx(form->sheetResizablePanel().handle(), middle, CWP_SKIPINVISIBLE), view->handle());
  }
  EXPECT_EQ(views, 1);  // the sample's chart
  EXPECT_TRUE(form->saveView().empty());
  EXPECT_EQ(readWholeFile(controls), text);

  form->setRowWise(false);
  EXPECT_TRUE(form->saveView().empty());
  const TPortableIniFile saved(controls);
  for (const char* side : {"Left", "Top", "Right", "Bottom"}) EXPECT_NE(saved.readString("Grid", side, ""), "") << side;

  // A file that never held the notes' tile (the sample's) got only the
  // sides that moved when the notes were first tiled, and was named at
  // every later start.
  form->loadView();
  form->notesBtn().setDown(true);
  form->notesBtnClick();
  form->sheetResizablePanel().tileHorizontal();
  EXPECT_TRUE(form->saveView().empty());
  const TPortableIniFile tiled(controls);
  for (const char* side : {"Left", "Top", "Right", "Bottom"}) EXPECT_NE(tiled.readString("Notes", side, ""), "") << side;
  takePartlyReadFiles();
  form->loadView();
  EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{});
}

// A field file damaged (a header that lost its bracket, a size gone) was
// rewritten at the close from what could be read, the field after the
// damage lost for good, without a word; a missing one left the window
// blank without a word and was written without fields.
TEST_F(AssetWindow, ADamagedOrMissingFieldFileIsToldOfAndLeftAsItStands) {
  const std::string fields = includeTrailingBackslash(portfolio->Folder()) + "AssetFields.INI";
  std::string text = readWholeFile(fields);
  const size_t header = text.find("\r\n[3]\r\n");
  const size_t size = text.find("ColWiseFixedWidth=100\r\n");
  ASSERT_NE(header, std::string::npos);
  ASSERT_NE(size, std::string::npos);
  text.erase(header + 2, 1);
  text.erase(size < header ? size : size - 1, std::string("ColWiseFixedWidth=100\r\n").size());
  writeWholeFile(fields, text);
  takePartlyReadFiles();
  form->loadView();
  const std::vector<std::string> told = takePartlyReadFiles();
  EXPECT_TRUE(std::any_of(told.begin(), told.end(), [&](const std::string& name) { return name == fields; }));
  EXPECT_TRUE(form->saveView().empty());
  EXPECT_EQ(readWholeFile(fields), text);

  ASSERT_TRUE(deleteFile(fields));
  takeLoadFailures();
  form->loadView();
  EXPECT_EQ(form->fieldTable().count(), 0);
  const std::vector<std::string> failures = takeLoadFailures();
  EXPECT_TRUE(std::any_of(failures.begin(), failures.end(),
                          [&](const std::string& line) { return line.find(fields) != std::string::npos; }));
  EXPECT_TRUE(form->saveView().empty());
  EXPECT_FALSE(fileExists(fields));
}
