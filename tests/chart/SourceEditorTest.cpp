#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>
#include <set>
#include <typeinfo>

#include "chart/ChartSourceForm.h"
#include "chart/GraphSourceForm.h"
#include "chart/SourceEditModel.h"
#include "chart/SliderForm.h"
#include "controls/SheetPanel.h"
#include "model/UnreadableFiles.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/FileSystem.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "platform/StdControls.h"
#include "sheet/Sheet.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

void fillSample(TSourceTable& table, int count) {
  for (int i = 0; i < count; ++i) {
    table.insertSource(i);
    table.getSource(i)->Caption = std::string(1, static_cast<char>('A' + i));
  }
}

}  // namespace

TEST(SourceEditModel, CellTextsAreCleanedAndWidthsKeptPositive) {
  EXPECT_EQ(TSourceEditModel::cleanText("  ==  X=1  "), "  X=1");
  EXPECT_EQ(TSourceEditModel::cleanText("=SUM(A1)"), "SUM(A1)");
  TTemporaryFolder folder;
  TSourceEditModel model(TSource::create, folder.path(), "GraphSourceTemplate");
  TSourceTable table(TSource::create);
  fillSample(table, 2);
  model.begin(table, nullptr);
  EXPECT_EQ(model.storeSourceCell(9, 2, "0"), "1");
  EXPECT_EQ(model.storeSourceCell(9, 3, "-4"), "1");
  EXPECT_EQ(model.working().getSource(1)->LineWidth, 1);
  EXPECT_EQ(model.storeSourceCell(2, 2, " = = Title "), " = Title");
  EXPECT_EQ(model.storeSourceCell(5, 2, "1"), "1");
  EXPECT_TRUE(model.working().getSource(0)->Index);
  EXPECT_EQ(table.getSource(0)->Caption, "A");  // nothing reaches the caller before apply
}

TEST(SourceEditModel, SourceOperationsTemplatesAndSymbolText) {
  TTemporaryFolder folder;
  TSourceEditModel model(TSource::create, folder.path(), "GraphSourceTemplate");
  TSourceTable table(TSource::create);
  fillSample(table, 3);
  table.getSource(0)->Undeletable = true;
  model.begin(table, nullptr);
  model.current = 2;
  EXPECT_EQ(model.deleteSource(), 1);  // the last row went: the current row moves up
  model.current = 0;
  EXPECT_EQ(model.deleteSource(), -1);
  EXPECT_EQ(model.working().count(), 2);

  // A template gives new sources its formulas, symbols and parameters.
  model.working().getSource(1)->Close = "X*2,5";
  model.working().getSource(1)->insertSymbol(0, "k", "1", "");
  model.current = 1;
  model.decimalSeparator = ',';
  model.listSeparator = ';';
  std::string why;
  ASSERT_TRUE(model.makeTemplate(why));
  model.current = -1;
  EXPECT_EQ(model.newSource(), 2);
  EXPECT_EQ(model.working().getSource(2)->Close, "X*2,5");
  EXPECT_EQ(model.working().getSource(2)->symbolCount(), 1);
  ASSERT_TRUE(model.clearTemplate(why));
  EXPECT_EQ(model.newSource(), 3);
  EXPECT_TRUE(model.working().getSource(3)->Close.empty());

  model.current = 1;
  model.symbolsFromText("a\t1+1\tfirst\r\nb\r\n\r\n");
  ASSERT_EQ(model.currentSource()->symbolCount(), 2);
  EXPECT_EQ(model.currentSource()->symbol(1)->Symbol, "b");
  EXPECT_EQ(model.symbolsAsText(), "a\t1+1\tfirst\nb\t\t\n");
  model.symbolsFromText("");
  EXPECT_EQ(model.currentSource()->symbolCount(), 0);
}

// A source template that is there but gives no source, or not all of it
// (held by another program, a folder under its name, without its section,
// a number that does not read), is named when a new source is made, and
// making sources from it leaves it as it is.
TEST(SourceEditModel, ATemplateNotReadWholeIsNamedAndLeftAsItIs) {
  TTemporaryFolder folder;
  TSourceEditModel model(TSource::create, folder.path(), "GraphSourceTemplate");
  TSourceTable table(TSource::create);
  model.begin(table, nullptr);
  const std::string file = folder.path() + "GraphSourceTemplate.INI";
  takeUnreadableFiles();
  takePartlyReadFiles();
  for (const std::string damaged : {"[GraphSource]\r\nClose=X\r\n", "[GraphSourceTemplate]\r\nColor=green\r\n"}) {
    writeWholeFile(file, damaged);
    EXPECT_GE(model.newSource(), 0);
    EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{file}) << damaged;
    EXPECT_EQ(readWholeFile(file), damaged);
  }
  {
    THeldFile held(file);
    EXPECT_GE(model.newSource(), 0);
    EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{file});
  }
  ASSERT_TRUE(DeleteFileA(file.c_str()));
  ASSERT_TRUE(CreateDirectoryA(file.c_str(), nullptr));
  EXPECT_GE(model.newSource(), 0);
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{file});
  EXPECT_TRUE(takePartlyReadFiles().empty());
}

TEST(SourceEditModel, FavouritesAreEditedInPlace) {
  TTemporaryFolder folder;
  TSourceEditModel model(TChartSource::create, folder.path(), "ChartSourceTemplate");
  TSourceTable favourites(TChartSource::create);
  fillSample(favourites, 0);
  for (const char* caption : {"delta", "Alpha", "charlie"}) {
    favourites.insertSource(favourites.count());
    favourites.getSource(favourites.count() - 1)->Caption = caption;
  }
  TSourceTable table(TChartSource::create);
  fillSample(table, 1);
  model.begin(table, &favourites);
  model.sortFavourites(true);
  EXPECT_EQ(favourites.getSource(0)->Caption, "Alpha");
  EXPECT_EQ(favourites.getSource(2)->Caption, "delta");
  EXPECT_EQ(model.useFavourite(2), 1);
  EXPECT_EQ(model.working().getSource(1)->Caption, "delta");
  EXPECT_EQ(model.addFavourite(-1), 3);
  model.renameFavourite(3, "  renamed  ");
  EXPECT_EQ(favourites.getSource(3)->Caption, "renamed");
  EXPECT_TRUE(model.favouritesChanged);
}

TEST(SourceEditor, ApplyThenCloseKeepsWhatApplyLeftAndRowHeightsAreStored) {
  TTemporaryFolder folder;
  TSourceTable table(TChartSource::create);
  fillSample(table, 2);
  TSourceTable favourites(TChartSource::create);
  fillSample(favourites, 3);
  TchartSourceForm form(folder.path());
  int applied = 0;
  form.beginEditing(table, &favourites, [&] { ++applied; });
  form.showFavourites(true);
  form.show();
  form.model().working().getSource(0)->Caption = "changed";
  form.applyBtnClick();
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(table.getSource(0)->Caption, "changed");
  form.model().working().getSource(0)->Caption = "dropped";
  form.sourcesSheet().sheet().setRowHeight(3, 30);
  EXPECT_FALSE(form.finishEditing());
  EXPECT_EQ(table.getSource(0)->Caption, "changed");
  EXPECT_EQ(form.model().working().getSource(1)->EditorRowHeight, 30);
}

// A default that refuses to be made anew or cleared stays as it was, and
// the editor tells which file refused and why.
TEST(SourceEditor, ADefaultThatRefusesToBeMadeOrClearedIsTold) {
  TTemporaryFolder folder;
  TSourceTable table(TChartSource::create);
  fillSample(table, 1);
  TchartSourceForm form(folder.path());
  TScriptedMessageBox messages(IDOK);
  form.messages = &messages;
  form.beginEditing(table, nullptr, [] {});
  form.model().current = 0;
  std::string why;
  ASSERT_TRUE(form.model().makeTemplate(why));
  const std::string file = form.model().templateFileName();
  const std::string made = readWholeFile(file);
  form.model().working().getSource(0)->Close = "X*2";
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  form.makeTemplateBtnClick();
  form.clearTemplateBtnClick();
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(messages.texts, (std::vector<std::string>{"The default was not made: " + file + " is read-only.",
                                                      "The default was not cleared: " + file + " is read-only."}));
  EXPECT_EQ(readWholeFile(file), made);
}

TEST(SourceEditor, BothEditorsWithTheirFavourites) {
  TTemporaryFolder folder;
  TSourceTable favourites(TChartSource::create);
  for (const char* caption : {"Close line", "Candles", "Moving average 50", "Bollinger band"}) {
    favourites.insertSource(favourites.count());
    favourites.getSource(favourites.count() - 1)->Caption = caption;
  }
  {
    TSourceTable table(TChartSource::create);
  fillSample(table, 3);
    auto* source = static_cast<TChartSource*>(table.getSource(0));
    source->Identifier = "PX";
    source->Close = "QUOTE(SELF; X; 6)";
    source->Open = "QUOTE(SELF; X; 3)";
    source->ohlcClose = true;
    source->insertSymbol(0, "avg", "AVERAGE(K2:K20)", "");
    table.getSource(1)->Enabled = false;
    TchartSourceForm form(folder.path());
    form.beginEditing(table, &favourites, [] {});
    form.showFavourites(true);
    form.show();
    EXPECT_TRUE(pumpUntil([&] { return form.favouritesList().itemCount() == 4; })) << form.favouritesList().itemCount();
    captureWindow(form.handle()).savePng("SourceEditor-chart-with-favourites");
    form.finishEditing();
  }
  TSourceTable graphFavourites(TSource::create);
  graphFavourites.assign(&favourites);
  TSourceTable table(TSource::create);
  fillSample(table, 2);
  table.getSource(0)->Close = "SIN(X)*P";
  table.getSource(0)->insertParameter(0, "P", "Amplitude", "", 2, 0, 5, 11, false);
  TgraphSourceForm form(folder.path());
  form.setXFormulas("0", "2*PI", "101");
  form.beginEditing(table, &graphFavourites, nullptr);
  form.showFavourites(true);
  form.show();
  form.pages().setActivePageIndex(0);
  pumpFor(300);
  captureWindow(form.handle()).savePng("SourceEditor-graph-with-favourites");
  std::string fromX, toX, steps;
  form.getXFormulas(fromX, toX, steps);
  EXPECT_EQ(toX, "2*PI");
}

namespace {

// Answers the colour dialog with a fixed colour.
class TFixedColorDialog : public TColorDialog {
 public:
  bool execute(HWND, TColor& color) override {
    color = static_cast<TColor>(255);
    return true;
  }
};

}  // namespace

namespace {

// The pixels of one colour inside an item of a dropped list, the item's
// edges (where a focus frame goes) left out.
struct TInk {
  int count = 0;
  RECT bounds{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

TInk inkIn(const TScreenImage& list, const RECT& item, uint32_t colour) {
  TInk ink;
  for (int y = item.top + 2; y < item.bottom - 2; ++y)
    for (int x = item.left + 2; x < item.right - 2; ++x) {
      if (list.pixel(x, y) != colour) continue;
      ++ink.count;
      ink.bounds = {std::min<LONG>(ink.bounds.left, x), std::min<LONG>(ink.bounds.top, y),
                    std::max<LONG>(ink.bounds.right, x), std::max<LONG>(ink.bounds.bottom, y)};
    }
  return ink;
}

// Drops the box's list and returns it as shown, with each item's place in it.
TScreenImage droppedList(TComboBox& box, std::vector<RECT>& items) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(box.handle(), &info);
  box.setItemIndex(-1);
  SendMessageA(box.handle(), CB_SHOWDROPDOWN, TRUE, 0);
  pumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; });
  items.clear();
  for (int index = 0; index < box.count(); ++index) {
    RECT item{};
    SendMessageA(info.hwndList, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    items.push_back(item);
  }
  return captureClient(info.hwndList);
}

void expectCentred(const TInk& ink, const RECT& item, const std::string& what) {
  // Twice the centres, to compare without rounding.
  EXPECT_NEAR(ink.bounds.left + ink.bounds.right, item.left + item.right - 1, 2) << what;
  EXPECT_NEAR(ink.bounds.top + ink.bounds.bottom, item.top + item.bottom - 1, 2) << what;
}

}  // namespace

// The marker box shows the ten point kinds as the graph draws them, each in
// the middle of its item (kind 0 draws nothing); the image box shows each
// image of the sheets' image list in the middle of its item.
TEST(SourceEditor, TheMarkerAndImageBoxesDrawWhatTheyOffer) {
  TTemporaryFolder folder;
  TSourceTable table(TSource::create);
  fillSample(table, 1);
  TImageList images(16, 16);
  const TColor imageColours[] = {clRed, static_cast<TColor>(0x00FF00), clBlue};
  const TColor mask = static_cast<TColor>(0xFF00FF);
  TBitmap strip(48, 16);
  strip.canvas().fillRect({0, 0, 48, 16}, mask);
  for (int i = 0; i < 3; ++i) strip.canvas().fillRect({16 * i + 4, 4, 16 * i + 12, 12}, imageColours[i]);
  images.add(strip, mask);
  TgraphSourceForm form(folder.path());
  form.setSheetImageList(&images);
  form.beginEditing(table, nullptr, nullptr);
  form.show();
  pumpFor(200);

  std::vector<RECT> items;
  TComboBox& markers = form.pointComboBox();
  ASSERT_EQ(markers.count(), 10);
  const TScreenImage markerList = droppedList(markers, items);
  captureWindow(form.handle()).savePng("SourceEditor-marker-box");
  markerList.savePng("SourceEditor-marker-list");
  SendMessageA(markers.handle(), CB_SHOWDROPDOWN, FALSE, 0);
  const uint32_t pen = rgbOf(TgraphSourceForm::markerBoxPenColor);
  EXPECT_EQ(inkIn(markerList, items[0], pen).count, 0);
  int previousCount = -1;
  bool allAlike = true;
  for (int kind = 1; kind <= 9; ++kind) {
    const TInk ink = inkIn(markerList, items[kind], pen);
    ASSERT_GT(ink.count, 0) << "kind " << kind;
    expectCentred(ink, items[kind], "kind " + std::to_string(kind));
    // Size 1: no kind reaches more than four pixels from the middle.
    EXPECT_LE(ink.bounds.right - ink.bounds.left, 6) << "kind " << kind;
    if (previousCount >= 0 && ink.count != previousCount) allAlike = false;
    previousCount = ink.count;
  }
  EXPECT_FALSE(allAlike);  // the kinds differ, not one mark ten times

  TComboBox& imageBox = form.imageComboBox();
  ASSERT_EQ(imageBox.count(), 3);
  const TScreenImage imageList = droppedList(imageBox, items);
  imageList.savePng("SourceEditor-image-list");
  SendMessageA(imageBox.handle(), CB_SHOWDROPDOWN, FALSE, 0);
  for (int i = 0; i < 3; ++i) {
    ASSERT_GE(items[i].bottom - items[i].top, 16);
    const TInk ink = inkIn(imageList, items[i], rgbOf(imageColours[i]));
    EXPECT_EQ(ink.count, 64) << "image " << i;
    expectCentred(ink, items[i], "image " + std::to_string(i));
    EXPECT_EQ(inkIn(imageList, items[i], rgbOf(imageColours[(i + 1) % 3])).count, 0) << "image " << i;
  }
  form.finishEditing();
}

TEST(SourceEditor, ColourCodeGoesToTheTextFormulaAtTheCaret) {
  TTemporaryFolder folder;
  TSourceTable table(TSource::create);
  fillSample(table, 1);
  table.getSource(0)->Text = "{\"a\"; X; 0; 0; }";
  TgraphSourceForm form(folder.path());
  form.colorDialog = std::make_unique<TFixedColorDialog>();
  form.beginEditing(table, nullptr, nullptr);
  form.show();
  form.colorBtnClick();
  EXPECT_EQ(form.model().working().getSource(0)->Text.find("255"), 0u);
}

// A symbol definition whose operator lacks its operand would fail in every
// plot: it is taken only when the user keeps it.
TEST(SourceEditor, AnIncompleteSymbolDefinitionIsTakenOnlyWhenTheUserKeepsIt) {
  TTemporaryFolder folder;
  TSourceTable table(TChartSource::create);
  fillSample(table, 1);
  table.getSource(0)->insertSymbol(0, "avg", "AVERAGE(K2:K20)", "");
  TchartSourceForm form(folder.path());
  TScriptedMessageBox messages(IDNO);
  form.messages = &messages;
  form.beginEditing(table, nullptr, nullptr);
  form.show();
  TSheet& symbols = form.symbolsSheet().sheet();
  TSheetPanel& grid = form.symbolsSheet();
  // Typed over the stored text in the cell's editor, then Enter.
  const auto type = [&](const std::string& text) {
    symbols.setCurrentCell(TSourceEditModel::symbolDefinitionColumn, 2);
    grid.startEditing("");
    const HWND editor = grid.textEditor().handle();
    SendMessageA(editor, EM_SETSEL, 0, -1);
    for (const char c : text) postChar(editor, c);
    sendKey(editor, VK_RETURN);
    return form.model().working().getSource(0)->symbol(0)->Definition;
  };
  EXPECT_EQ(type("AVERAGE(K2:K20)/"), "AVERAGE(K2:K20)");
  EXPECT_EQ(symbols.getCellText(TSourceEditModel::symbolDefinitionColumn, 2, false), "AVERAGE(K2:K20)");
  ASSERT_TRUE(grid.editing()) << "the editor stays on the typed text";
  EXPECT_EQ(grid.textEditor().text(), "AVERAGE(K2:K20)/");
  sendKey(grid.textEditor().handle(), VK_ESCAPE);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_NE(messages.texts[0].find("#OP?"), std::string::npos) << messages.texts[0];
  EXPECT_EQ(type("AVERAGE(K2:K20)/2"), "AVERAGE(K2:K20)/2");
  messages.answer = IDYES;
  EXPECT_EQ(type("1-"), "1-");
  EXPECT_EQ(messages.texts.size(), 2u);
  form.finishEditing();
}

// A parameter's numbers and a line width keep a number: a text that is no
// number ("0.5" where "." groups thousands) is refused with the number cells'
// message; it became a formula in error whose 0 was stored without a word.
TEST(SourceEditor, ANumberTypedWithAMisplacedSeparatorIsRefused) {
  TTemporaryFolder folder;
  TSourceTable table(TSource::create);
  fillSample(table, 1);
  table.getSource(0)->insertParameter(0, "P", "Amplitude", "", 2, 0, 5000, 11, false);
  const TLocaleSettings saved = localeSettings();
  localeSettings().decimalSeparator = ',';
  localeSettings().thousandSeparator = '.';
  TgraphSourceForm form(folder.path());
  localeSettings() = saved;
  TScriptedMessageBox messages(IDOK);
  form.parametersSheet().messages = &messages;
  form.sourcesSheet().messages = &messages;
  form.beginEditing(table, nullptr, nullptr);
  form.show();
  const auto type = [&](TSheetPanel& grid, int column, const std::string& text) {
    grid.sheet().setCurrentCell(column, 2);
    grid.startEditing("");
    const HWND editor = grid.numberEdit().handle();
    SendMessageA(editor, EM_SETSEL, 0, -1);
    for (const char c : text) postChar(editor, c);
    sendKey(editor, VK_RETURN);
    const bool refused = grid.editing();
    if (refused) sendKey(editor, VK_ESCAPE);
    return refused;
  };
  const TSourceParameter& parameter = *form.model().working().getSource(0)->parameter(0);
  form.pages().setActivePageIndex(2);
  EXPECT_TRUE(type(form.parametersSheet(), 3, "0.5"));
  EXPECT_EQ(parameter.Value, 2);
  EXPECT_FALSE(type(form.parametersSheet(), 3, "2,5"));
  EXPECT_EQ(parameter.Value, 2.5L);
  EXPECT_FALSE(type(form.parametersSheet(), 5, "1.000"));
  EXPECT_EQ(parameter.High, 1000);
  form.pages().setActivePageIndex(0);
  EXPECT_TRUE(type(form.sourcesSheet(), 9, "1.5"));
  EXPECT_EQ(form.model().working().getSource(0)->LineWidth, 1);
  ASSERT_EQ(messages.texts.size(), 2u);
  EXPECT_EQ(messages.texts[0],
            "\"0.5\" is no number this cell can keep. Type a number, or press Esc to leave the cell as it was.");
  form.finishEditing();
}

TEST(SourceEditModel, ToolsFollowTheCurrentSourceRowAndFavourite) {
  TTemporaryFolder folder;
  TSourceTable table(TSource::create);
  fillSample(table, 3);
  table.getSource(2)->Undeletable = true;
  table.getSource(1)->insertSymbol(0, "a", "1", "");
  table.getSource(1)->insertSymbol(1, "b", "2", "");
  TSourceTable favourites(TSource::create);
  fillSample(favourites, 2);
  favourites.getSource(1)->Undeletable = true;
  TSourceEditModel model(TSource::create, folder.path(), "GraphSourceTemplate");
  model.begin(table, &favourites);

  model.current = -1;
  EXPECT_FALSE(model.sourceToolState().current);
  EXPECT_FALSE(model.entryToolState(false, 0).add);
  EXPECT_FALSE(model.favouriteToolState(0).add);
  EXPECT_TRUE(model.favouriteToolState(0).use);

  model.current = 0;
  TSourceToolState first = model.sourceToolState();
  EXPECT_TRUE(first.current && first.deletable && first.down);
  EXPECT_FALSE(first.up);
  model.current = 2;
  TSourceToolState last = model.sourceToolState();
  EXPECT_TRUE(last.up);
  EXPECT_FALSE(last.down || last.deletable);

  model.current = 1;
  const TEntryToolState top = model.entryToolState(false, 0);
  EXPECT_TRUE(top.add && top.copy && top.remove && top.down);
  EXPECT_FALSE(top.up);
  const TEntryToolState bottom = model.entryToolState(false, 1);
  EXPECT_TRUE(bottom.up);
  EXPECT_FALSE(bottom.down);
  const TEntryToolState none = model.entryToolState(true, 0);  // no parameters
  EXPECT_TRUE(none.add);
  EXPECT_FALSE(none.copy || none.remove || none.up || none.down);

  const TFavouriteToolState undeletable = model.favouriteToolState(1);
  EXPECT_TRUE(undeletable.add && undeletable.use && undeletable.up);
  EXPECT_FALSE(undeletable.remove || undeletable.down);
  EXPECT_FALSE(model.favouriteToolState(-1).use);
}

namespace {

HWND childButton(HWND parent, const std::string& caption) {
  struct TSearch {
    std::string caption;
    HWND found = nullptr;
  } search{caption};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        auto* wanted = reinterpret_cast<TSearch*>(data);
        char text[32] = {};
        GetWindowTextA(window, text, sizeof text);
        if (wanted->caption != text) return TRUE;
        wanted->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

TEST(SourceEditor, WithoutASourceThePagesAndFieldsRestAndOutputComesForward) {
  TTemporaryFolder folder;
  TSourceTable table(TSource::create);
  fillSample(table, 1);
  TSourceTable favourites(TSource::create);
  fillSample(favourites, 2);
  TgraphSourceForm form(folder.path());
  form.beginEditing(table, &favourites, nullptr);
  form.showFavourites(true);
  form.show();
  EXPECT_TRUE(form.symbolsSheet().enabled());
  form.pages().setActivePageIndex(2);
  form.delBtnClick();
  EXPECT_EQ(form.model().working().count(), 0);
  EXPECT_FALSE(form.symbolsSheet().enabled());
  EXPECT_FALSE(form.parametersSheet().enabled());
  EXPECT_EQ(form.pages().activePageIndex(), 0);
  form.addBtnClick();
  EXPECT_TRUE(form.parametersSheet().enabled());

  // The favourites pane closes from its own button.
  const HWND close = childButton(GetParent(form.favouritesList().handle()), "Close");
  ASSERT_NE(close, nullptr);
  SendMessageA(close, BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowVisible(GetParent(form.favouritesList().handle())));
  form.finishEditing();
}

namespace {

// The windows of the editor, on its current page and around the pages,
// that take the focus.
std::vector<HWND> focusableWindows(HWND form) {
  std::vector<HWND> shown;
  EnumChildWindows(
      form,
      [](HWND window, LPARAM data) -> BOOL {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&shown));
  std::vector<HWND> focusable;
  for (HWND window : shown) {
    SetFocus(window);
    if (GetFocus() == window) focusable.push_back(window);
  }
  return focusable;
}

// The system class of a window and, for the program's own, its control type.
std::string kindOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  const TControl* control = TControl::fromHandle(window);
  return control != nullptr ? std::string(name) + " " + typeid(*control).name() : std::string(name);
}

// Runs an editor as the main window does and, on each page, presses Esc
// with the focus in each kind of window that takes it: every press closes
// the editor unaccepted.
void escapeClosesFromEveryWindow(TSourceEditorForm& form, const std::function<bool()>& edit) {
  std::vector<std::pair<int, size_t>> places;
  {
    TModalDriver survey(form, {[&] {
      std::set<std::string> seen;
      for (int page = 0; page < form.pages().pageCount(); ++page) {
        form.pages().setActivePageIndex(page);
        pumpFor(30);
        const std::vector<HWND> windows = focusableWindows(form.handle());
        for (size_t i = 0; i < windows.size(); ++i) {
          // Each page's grid has keys of its own.
          const std::string kind = kindOf(windows[i]);
          const bool grid = kind.find("TSheetPanel") != std::string::npos || kind.find("TPaintBox") != std::string::npos;
          if (seen.insert(grid ? kind + std::to_string(page) : kind).second) places.emplace_back(page, i);
        }
      }
      form.close();
    }});
    edit();
  }
  ASSERT_GT(places.size(), 10u);
  std::set<std::string> kinds;
  for (const auto& [page, index] : places) {
    std::string kind;
    TModalDriver driver(form, {[&, page = page, index = index] {
                          form.pages().setActivePageIndex(page);
                          pumpFor(30);
                          const std::vector<HWND> windows = focusableWindows(form.handle());
                          ASSERT_LT(index, windows.size());
                          SetFocus(windows[index]);
                          kind = kindOf(GetFocus());
                          postKey(GetFocus(), VK_ESCAPE);
                        }},
                        1500);
    EXPECT_FALSE(edit());
    EXPECT_FALSE(driver.timedOut()) << "page " << page << ", " << kind;
    kinds.insert(kind);
  }
  // Grids, formula fields, boxes, buttons, the favourites and the tabs.
  EXPECT_GE(kinds.size(), 5u);
}

}  // namespace

TEST(SourceEditor, EscapeClosesBothEditorsWhereverTheFocusIs) {
  TTemporaryFolder folder;
  TSourceTable favourites(TChartSource::create);
  fillSample(favourites, 2);
  {
    TSourceTable table(TChartSource::create);
    fillSample(table, 2);
    TchartSourceForm form(folder.path());
    form.showFavourites(true);
    escapeClosesFromEveryWindow(form, [&] { return form.editSources(table, &favourites, [](TchartSourceForm*) {}); });
  }
  TSourceTable graphFavourites(TSource::create);
  fillSample(graphFavourites, 2);
  TSourceTable table(TSource::create);
  fillSample(table, 2);
  TgraphSourceForm form(folder.path());
  form.showFavourites(true);
  std::string fromX = "0", toX = "1", steps = "11";
  escapeClosesFromEveryWindow(form, [&] {
    return form.editSources(table, &graphFavourites, nullptr, fromX, toX, steps);
  });
}

// Esc first ends what is edited in place: a cell, a favourite's caption,
// an open list. Only the next Esc closes the editor.
TEST(SourceEditor, EscapeEndsAnEditInPlaceBeforeItClosesTheEditor) {
  TTemporaryFolder folder;
  TSourceTable favourites(TChartSource::create);
  fillSample(favourites, 2);
  TSourceTable table(TChartSource::create);
  fillSample(table, 2);
  TchartSourceForm form(folder.path());
  form.showFavourites(true);
  bool stayed[3] = {};
  auto escape = [] { postKey(GetFocus(), VK_ESCAPE); };
  TModalDriver driver(
      form,
      {[&] {
         form.sourcesSheet().setFocus();
         postChar(GetFocus(), 'x');
         ASSERT_TRUE(form.sourcesSheet().editing());
         escape();
         stayed[0] = !form.sourcesSheet().editing() && form.modal();
       },
       [&] {
         form.favouritesList().editCaption(0);
         pumpFor(30);
         const HWND caption = ListView_GetEditControl(form.favouritesList().handle());
         ASSERT_NE(caption, nullptr);
         ASSERT_EQ(GetFocus(), caption);
         escape();
         stayed[1] = ListView_GetEditControl(form.favouritesList().handle()) == nullptr && form.modal();
       },
       [&] {
         std::vector<HWND> windows = focusableWindows(form.handle());
         auto box = std::find_if(windows.begin(), windows.end(),
                                 [](HWND window) { return kindOf(window).rfind("ComboBox", 0) == 0; });
         ASSERT_NE(box, windows.end());
         SetFocus(*box);
         SendMessageA(*box, CB_SHOWDROPDOWN, TRUE, 0);
         ASSERT_TRUE(SendMessageA(*box, CB_GETDROPPEDSTATE, 0, 0));
         escape();
         stayed[2] = !SendMessageA(*box, CB_GETDROPPEDSTATE, 0, 0) && form.modal();
       },
       escape},
      3000);
  EXPECT_FALSE(form.editSources(table, &favourites, nullptr));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_TRUE(stayed[0]);
  EXPECT_TRUE(stayed[1]);
  EXPECT_TRUE(stayed[2]);
}

// A size the file spells so that it reads as none was written over with
// the window's own after a mere load and close: it stays until the user
// changes it.
TEST(SourceEditor, ASizeThatDoesNotReadStaysUntilTheWindowIsSized) {
  TTemporaryFolder folder;
  const std::string options = folder.path() + "GUIoptions.INI";
  const std::string text = "[ChartSourceEditor]\r\nWidth=9223372036854775808\r\n"
                           "[SliderForm]\r\nWidth=412.5\r\n";
  writeWholeFile(options, text);
  TchartSourceForm editor(folder.path());
  editor.loadGUIoptions(options);
  editor.saveGUIoptions(options);
  TSliderForm sliders;
  sliders.loadGUIoptions(options);
  sliders.saveGUIoptions(options);
  const TPortableIniFile saved(options);
  EXPECT_EQ(saved.readString("ChartSourceEditor", "Width", ""), "9223372036854775808");
  EXPECT_EQ(saved.readString("SliderForm", "Width", ""), "412.5");
  sliders.setSize(300, sliders.height());
  sliders.saveGUIoptions(options);
  EXPECT_EQ(TPortableIniFile(options).readInteger("SliderForm", "Width", 0), 300);
}
