#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "controls/EditPanel.h"
#include "controls/SheetPanel.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/Menu.h"
#include "platform/FileSystem.h"
#include "platform/ListView.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "sheet/Sheet.h"
#include "macros/MacroForm.h"
#include "macros/ScriptStopPrompt.h"
#include "platform/GuidText.h"
#include "tests/support/FakeColouringEngine.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestScriptEngine.h"
#include "tests/support/WindowTestSupport.h"

namespace {

const std::string jscriptId = "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}";

void package(const std::string& folder, const std::string& name, bool active, const std::string& source) {
  writeWholeFile(folder + name + ".INI",
                 "[Configuration]\r\nEngine=" + jscriptId + "\r\nActive=" + (active ? "1" : "0") + "\r\n");
  if (!source.empty()) writeWholeFile(folder + name + ".js", source);
}

class MacroFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    initializeComForTests();
    setDirectory("<MACROS>", folder.path());
    axe = folder.path() + "Kestrova.AXE";
    writeWholeFile(axe, "[Defaults]\r\nMacroEngine=" + jscriptId + "\r\n[Engines]\r\n0000=" + jscriptId + "\r\n[" +
                            jscriptId + "]\r\nDescription=JScript\r\nFileFilter=*.js\r\n");
    pages = &main.add<TPageControl>();
    pages->setAlign(TAlign::client);
    main.showModeless();
  }

  TmacroForm& open() {
    TmacroForm& form = createChildForm<TmacroForm>(*pages, "Macros");
    form.setAxEnginesPath(axe);
    form.listMacros();
    form.loadMacros();
    return form;
  }

  int rowOf(TmacroForm& form, const std::string& name) {
    for (int row = 0; row < form.macroListView().itemCount(); ++row)
      if (form.macroListView().itemText(row) == name) return row;
    return -1;
  }

  std::string cell(TmacroForm& form, const std::string& formula) {
    TSheet& sheet = form.sheetPanel().sheet();
    sheet.setCellContent(1, 1, 0, formula, 1);
    sheet.recalculateAll(false);
    return sheet.getCellText(1, 1, true);
  }

  TTemporaryFolder folder;
  std::string axe;
  TForm main{mainWindowOptions("Main", 900, 640)};
  TPageControl* pages = nullptr;
};

}  // namespace

TEST_F(MacroFormTest, ActivePackagesServeTheTestSheetAndErrorsAreMarked) {
  package(folder.path(), "A", true, "function twice(x){return 2*x;}");
  package(folder.path(), "B", true, "function inc(x){return x+1;}");
  package(folder.path(), "C", false, "function off(){return 1;}");
  TmacroForm& form = open();
  ASSERT_EQ(1, form.macroEngineComboBox().count());
  EXPECT_EQ(0, form.macroEngineComboBox().itemIndex());
  ASSERT_EQ(3, form.macroListView().itemCount());
  EXPECT_TRUE(form.macroListView().checked(rowOf(form, "A")));
  EXPECT_FALSE(form.macroListView().checked(rowOf(form, "C")));
  EXPECT_EQ("42", cell(form, "=twice(inc(20))"));
  EXPECT_EQ(3, form.activeMacrosStatus().lineCount());
  EXPECT_TRUE(form.activeMacrosStatus().readOnly);
  EXPECT_EQ("Cell type", registeredToolTip(form.cellFormatBox().handle()));

  // Ticking C brings its function in.
  form.macroListView().setChecked(rowOf(form, "C"), true);
  ASSERT_TRUE(pumpUntil([&] { return cell(form, "=off()") == "1"; }));

  writeWholeFile(folder.path() + "B.js", "function (broken{");
  form.loadMacros();
  // A's line, the empty line, then B's first line.
  EXPECT_EQ(3, form.activeMacrosStatus().getCaret().y);
  EXPECT_FALSE(form.macroEditorStatusBar().panelText(3).empty());
  EXPECT_EQ("#N/A", cell(form, "=inc(1)"));
}

TEST_F(MacroFormTest, EditsOfTheSelectedSourceSurviveSwitchingAndRenaming) {
  package(folder.path(), "A", true, "function one(){return 1;}");
  package(folder.path(), "B", false, "");
  TmacroForm& form = open();
  form.macroListView().setItemIndex(rowOf(form, "A"));
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == "A.js"; }));
  EXPECT_EQ(&form.selectedMacroStatus(), form.macroEditPanel().editorStatus());
  form.selectedMacroStatus().setCaret({1, 1});
  form.macroEditPanel().insertText("function two(){return 2;}\r\n");

  // Looking at the joined text, then picking another package, keeps the edit.
  form.macroEditPageControl().setActivePageIndex(1);
  form.macroListView().setItemIndex(rowOf(form, "B"));
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == "B.js"; }));
  EXPECT_EQ("function two(){return 2;}\r\nfunction one(){return 1;}\r\n", readWholeFile(folder.path() + "A.js"));
  EXPECT_EQ("2", cell(form, "=two()"));
  // B has no source yet: an empty document of the first pattern's name,
  // written only when typed into.
  EXPECT_FALSE(fileExists(folder.path() + "B.js"));

  form.macroEditPanel().insertText("function three(){return 3;}");
  // An in-place rename saves the pending edit first; the file under the new
  // name carries it.
  std::string newName = " Beta ";
  ASSERT_TRUE(form.macroListView().onEdited(rowOf(form, "B"), newName));
  EXPECT_EQ("Beta", newName);
  EXPECT_EQ("Beta.js", form.selectedMacroFileName());
  EXPECT_EQ("function three(){return 3;}\r\n", readWholeFile(folder.path() + "Beta.js"));
  EXPECT_FALSE(fileExists(folder.path() + "B.js"));
  std::string taken = "A";
  EXPECT_FALSE(form.macroListView().onEdited(rowOf(form, "Beta"), taken));

  captureClient(form.handle()).savePng("MacrosWindow");
}

// A source typed into while its file was read-only was lost without a word
// as soon as another package was picked: it waits for the close as typed.
TEST_F(MacroFormTest, EditsTheSourceFileRefusedWaitForTheCloseWhenAnotherPackageIsPicked) {
  package(folder.path(), "A", true, "function one(){return 1;}");
  package(folder.path(), "B", false, "");
  const std::string source = folder.path() + "A.js";
  TmacroForm& form = open();
  form.macroListView().setItemIndex(rowOf(form, "A"));
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == "A.js"; }));
  SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
  form.selectedMacroStatus().setCaret({1, 1});
  form.macroEditPanel().insertText("function two(){return 2;}\r\n");
  form.macroListView().setItemIndex(rowOf(form, "B"));
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == "B.js"; }));
  EXPECT_EQ(readWholeFile(source), "function one(){return 1;}");
  const std::vector<std::string> waiting = saveUnsavedChanges();
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_TRUE(sameText(waiting[0], source)) << waiting[0];
  SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(readWholeFile(source), "function two(){return 2;}\r\nfunction one(){return 1;}\r\n");
}

TEST_F(MacroFormTest, TheTestSheetEditsAndKeepsFormulasNotTheirValues) {
  TmacroForm& form = open();
  TSheet& sheet = form.sheetPanel().sheet();
  sheet.setCellContent(1, 1, 0, "20", 1);
  sheet.setCellContent(2, 1, 0, "=A1*2", 1);
  sheet.setCellContent(3, 1, 0, "=A1/0", 1);
  sheet.recalculateAll(false);
  sheet.currentCol = 2;
  sheet.currentRow = 1;
  form.sheetPanel().refresh();
  ASSERT_TRUE(pumpUntil([&] { return form.sheetEdit().text() == "=A1*2"; }));
  form.sheetEdit().setText("=A1*");
  WORD key = VK_ESCAPE;
  form.sheetEdit().onKeyDown(key, 0);
  EXPECT_EQ(form.sheetEdit().text(), "=A1*2");

  const std::string layout = folder.path() + "Layout.INI";
  {
    TPortableIniFile file(layout);
    form.saveGUIoptions(file);
  }
  const TPortableIniFile file(layout);
  EXPECT_EQ(file.readString("MacroSheetCells", "2:1", ""), "1:=A1*2");
  EXPECT_EQ(file.readString("MacroSheetCells", "3:1", ""), "1:=A1/0");
}

TEST_F(MacroFormTest, AnEngineWithADebugInterfaceColoursTheSource) {
  TFakeColouringEngineClass engineClass;
  ASSERT_TRUE(engineClass.registered());
  const std::string fakeId = guidToText(fakeColouringEngineId);
  writeWholeFile(axe, "[Defaults]\r\nMacroEngine=" + fakeId + "\r\n[Engines]\r\n0000=" + fakeId + "\r\n[" + fakeId +
                          "]\r\nDescription=Fake\r\nFileFilter=*.xs\r\nKeywordColor=255\r\n");
  const std::string source = "function f(){return 12;} // note";
  writeWholeFile(folder.path() + "Colour.INI", "[Configuration]\r\nEngine=" + fakeId + "\r\nActive=1\r\n");
  writeWholeFile(folder.path() + "Colour.xs", source);
  TmacroForm& form = createChildForm<TmacroForm>(*pages, "Macros");
  form.scriptHost().makeEngineObject = [&](const CLSID&, IActiveScript** engine) {
    return engineClass.CreateInstance(nullptr, IID_IActiveScript, reinterpret_cast<void**>(engine));
  };
  form.setAxEnginesPath(axe);
  form.listMacros();
  form.loadMacros();
  form.macroListView().setItemIndex(0);
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == "Colour.xs"; }));
  form.macroEditPanel().update();
  const std::vector<uint16_t>& ids = form.macroEditPanel().attributeIds();
  ASSERT_GE(ids.size(), source.size());
  EXPECT_EQ(SOURCETEXT_ATTR_KEYWORD, ids[0]);
  EXPECT_EQ(SOURCETEXT_ATTR_KEYWORD, ids[7]);
  EXPECT_EQ(0, ids[8]);
  EXPECT_EQ(SOURCETEXT_ATTR_NUMBER, ids[source.find("12")]);
  EXPECT_EQ(SOURCETEXT_ATTR_COMMENT, ids[source.find("//") + 3]);
  ASSERT_NE(nullptr, form.fontAttributeSets().find(SOURCETEXT_ATTR_KEYWORD));
  EXPECT_EQ(255, form.fontAttributeSets().find(SOURCETEXT_ATTR_KEYWORD)->colour);
  EXPECT_EQ(8421504, form.fontAttributeSets().find(SOURCETEXT_ATTR_NONSOURCE)->colour);  // NotSource replaced Default

  captureClient(form.handle()).savePng("MacrosWindowColoured");

  // Without colouring the editor draws its own font.
  form.colouringEnabled = false;
  form.macroEditPanel().insertText(" ");
  form.macroEditPanel().update();
  EXPECT_EQ(0, form.macroEditPanel().attributeIds()[1]);
}

TEST_F(MacroFormTest, SortedByNameTheListStillFindsAndOpensThePackagesItShows) {
  for (const char* name : {"gamma", "Alpha", "beta"}) package(folder.path(), name, false, "");
  TmacroForm& form = open();
  TListView& list = form.macroListView();
  const auto shown = [&] {
    std::vector<std::string> names;
    for (int row = 0; row < list.itemCount(); ++row) names.push_back(list.itemText(row));
    return names;
  };
  list.onColumnClick(0);
  EXPECT_EQ(shown(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  list.onColumnClick(0);
  EXPECT_EQ(shown(), (std::vector<std::string>{"gamma", "beta", "Alpha"}));

  TFindDialog finder;
  form.setFindDialog(&finder);
  list.setItemIndex(0);
  TMenuItem* find = nullptr;
  for (const auto& item : form.macroListPopupMenu().items())
    if (item->caption == "&Find") find = item.get();
  ASSERT_NE(find, nullptr);
  find->onClick();
  ASSERT_TRUE(finder.onFind);
  // Without match case the upper-cased text is looked for in the caption as
  // it is and upper-cased; with it, only as typed.
  finder.findText = "ALP";
  finder.onFind();
  EXPECT_EQ(list.itemIndex(), 2);
  EXPECT_EQ(form.selectedMacroFileName(), "Alpha.js");
  finder.options.down = false;
  finder.options.matchCase = true;
  finder.findText = "Bet";
  finder.onFind();
  EXPECT_EQ(list.itemIndex(), 2);
  finder.findText = "bet";
  finder.onFind();
  EXPECT_EQ(list.itemIndex(), 1);
  finder.close();
  EXPECT_FALSE(finder.onFind);
  form.setFindDialog(nullptr);
  // The rows carry their packages, whatever order they show in.
  EXPECT_EQ(form.macroIndex().item(static_cast<int>(list.itemData(1)))->name(), "beta");
}

namespace {

std::pair<LONG, LONG> topLeftOf(HWND window) {
  RECT bounds{};
  GetWindowRect(window, &bounds);
  return {bounds.left, bounds.top};
}

}  // namespace

// The find and replace dialogs opened where the system puts a new dialog,
// far from the editor; only a second Ctrl+F while one was open moved it.
TEST_F(MacroFormTest, TheFindAndReplaceDialogsOpenAtTheEditorOrTheListAtTheirFirstOpening) {
  package(folder.path(), "Alpha", false, "one\r\ntwo\r\n");
  package(folder.path(), "Beta", false, "");
  TmacroForm& form = open();
  SetWindowPos(main.handle(), nullptr, 180, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  form.macroListView().setItemIndex(rowOf(form, "Beta"));
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == "Beta.js"; }));
  HWND editor = form.macroEditPanel().handle();
  TFindDialog finder;
  TFindDialog replacer(true);
  form.setFindDialog(&finder);
  form.setReplaceDialog(&replacer);
  for (auto [dialog, key] : {std::pair{&finder, 'F'}, std::pair{&replacer, 'R'}}) {
    {
      TKeyState held{VK_CONTROL};
      sendKey(editor, key);
    }
    ASSERT_TRUE(pumpUntil([&] { return dialog->visible(); })) << key;
    EXPECT_EQ(topLeftOf(dialog->handle()), topLeftOf(editor)) << key;
    dialog->close();
  }

  // The list's Find: below the selected package, or, with none selected, at
  // the list's top-left corner.
  TListView& list = form.macroListView();
  const int row = rowOf(form, "Alpha");
  RECT item = list.itemRect(row);
  MapWindowPoints(list.handle(), nullptr, reinterpret_cast<POINT*>(&item), 2);
  POINT corner{0, 0};
  ClientToScreen(list.handle(), &corner);
  for (const auto& [selected, at] : {std::pair{row, std::pair(item.left, item.bottom)},
                                     std::pair{-1, std::pair(corner.x, corner.y)}}) {
    list.clearSelection();
    if (selected >= 0) list.setItemIndex(selected);
    ASSERT_EQ(list.itemIndex(), selected);
    for (const auto& entry : form.macroListPopupMenu().items())
      if (entry->caption == "&Find") entry->onClick();
    ASSERT_TRUE(pumpUntil([&] { return finder.visible(); }));
    EXPECT_EQ(topLeftOf(finder.handle()), at) << selected;
    finder.close();
  }
  form.setFindDialog(nullptr);
  form.setReplaceDialog(nullptr);
}

TEST_F(MacroFormTest, TheEditorShortCutsDoWhatTheirMenuEntriesDo) {
  package(folder.path(), "Keys", true, "one\r\ntwo\r\n");
  TmacroForm& form = open();
  form.macroListView().setItemIndex(rowOf(form, "Keys"));
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == "Keys.js"; }));
  HWND editor = form.macroEditPanel().handle();
  TEditorStatus& document = form.selectedMacroStatus();
  const auto text = [&] {
    std::string all;
    document.getText(false, all);
    return all;
  };
  const auto ctrl = [&](int key) {
    TKeyState held{VK_CONTROL};
    sendKey(editor, key);
  };
  ctrl('A');
  ctrl('C');
  ctrl('X');
  EXPECT_EQ("\r\n", text());  // one empty line
  ctrl('Z');
  EXPECT_EQ("one\r\ntwo\r\n", text());
  {
    TKeyState held{VK_CONTROL, VK_SHIFT};
    sendKey(editor, 'Z');
  }
  EXPECT_EQ("\r\n", text());
  ctrl('V');
  EXPECT_EQ("one\r\ntwo\r\n", text());
  TFindDialog finder;
  form.setFindDialog(&finder);
  finder.findText = "wo";
  finder.options.down = true;
  document.setCaret({1, 1});
  sendKey(editor, VK_F3);
  EXPECT_EQ(4, document.getCaret().x);  // after the occurrence
  EXPECT_EQ(2, document.getCaret().y);
  form.setFindDialog(nullptr);
  document.setCaret({1, 1});
  ctrl('Y');
  EXPECT_EQ("two\r\n", text());
  document.setSelection({1, 1, 3, 1});
  ctrl(VK_DELETE);
  EXPECT_EQ("o\r\n", text());


  // The joined text is read-only: the same keys change nothing there.
  form.macroEditPageControl().setActivePageIndex(1);
  form.macroEditPageControl().onChange();
  ASSERT_EQ(&form.activeMacrosStatus(), form.macroEditPanel().editorStatus());
  std::string joined, after;
  form.activeMacrosStatus().getText(false, joined);
  ctrl('A');
  ctrl('X');
  ctrl('Y');
  form.activeMacrosStatus().getText(false, after);
  EXPECT_EQ(joined, after);
}

// The joined text cannot be edited, so Tab and Shift+Tab leave it for the
// package list, the editor's neighbours and the test sheet; in the selected
// package's source Tab stays a character.
TEST_F(MacroFormTest, TabAndShiftTabMoveOnFromTheReadOnlyActiveMacros) {
  package(folder.path(), "Keys", true, "one\r\n");
  TmacroForm& form = open();
  form.macroListView().setItemIndex(rowOf(form, "Keys"));
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == "Keys.js"; }));
  HWND editor = form.macroEditPanel().handle();
  form.macroEditPageControl().setActivePageIndex(1);
  form.macroEditPageControl().onChange();
  ASSERT_EQ(&form.activeMacrosStatus(), form.macroEditPanel().editorStatus());
  for (const bool backwards : {false, true}) {
    SetFocus(editor);
    ASSERT_EQ(GetFocus(), editor);
    {
      std::optional<TKeyState> shift;
      if (backwards) shift.emplace(std::initializer_list<int>{VK_SHIFT});
      postKey(editor, VK_TAB);
    }
    EXPECT_NE(GetFocus(), editor) << (backwards ? "Shift+Tab" : "Tab");
    EXPECT_TRUE(IsChild(form.handle(), GetFocus()));
  }

  form.macroEditPageControl().setActivePageIndex(0);
  form.macroEditPageControl().onChange();
  ASSERT_EQ(&form.selectedMacroStatus(), form.macroEditPanel().editorStatus());
  SetFocus(editor);
  form.selectedMacroStatus().setCaret({1, 1});
  postKey(editor, VK_TAB);
  EXPECT_EQ(GetFocus(), editor);
  std::string text;
  form.selectedMacroStatus().getText(false, text);
  EXPECT_EQ(0u, text.find("\tone")) << text;
}

// The test sheet calling a VBScript function that never ends: after the
// delay the stop window shows, naming the function and its package; Stop
// ends the call, the cell shows the script error, the status bar says what
// happened, and the other functions go on working. Reloading the macros
// (Reset, ticking a package) does not run the stopped function again; the
// user entering its cell anew does.
TEST_F(MacroFormTest, AnEndlessMacroInTheTestSheetIsStoppedFromItsWindow) {
  const std::string vbscriptId = "{B54F3741-5B07-11CF-A4B0-00AA004A55E8}";
  writeWholeFile(axe, "[Defaults]\r\nMacroEngine=" + vbscriptId + "\r\n[Engines]\r\n0000=" + vbscriptId + "\r\n[" +
                          vbscriptId + "]\r\nDescription=VBScript\r\nFileFilter=*.vbs\r\n");
  writeWholeFile(folder.path() + "Spin.INI", "[Configuration]\r\nEngine=" + vbscriptId + "\r\nActive=1\r\n");
  writeWholeFile(folder.path() + "Spin.vbs", "Function spin(x)\r\n  Do\r\n  Loop\r\nEnd Function\r\n");
  writeWholeFile(folder.path() + "Other.INI", "[Configuration]\r\nEngine=" + vbscriptId + "\r\nActive=0\r\n");
  writeWholeFile(folder.path() + "Other.vbs", "Function twice(x)\r\n  twice = 2 * x\r\nEnd Function\r\n");
  TmacroForm& form = createChildForm<TmacroForm>(*pages, "Macros");
  form.scriptHost().setStopPromptDelay(300);
  form.setAxEnginesPath(axe);
  form.listMacros();
  form.loadMacros();

  std::atomic<bool> finished{false};
  std::atomic<int> stops{0};
  std::string promptText;
  std::thread user([&] {
    while (!finished) {
      if (HWND prompt = FindWindowA(TScriptStopPrompt::windowClassName, nullptr); prompt && IsWindowEnabled(
              FindWindowExA(prompt, nullptr, "BUTTON", "Stop"))) {
        if (stops == 0) {
          std::this_thread::sleep_for(std::chrono::milliseconds(200));
          captureWindow(prompt).savePng("MacroStopWindow");
          char text[200] = {};
          GetWindowTextA(FindWindowExA(prompt, nullptr, "STATIC", nullptr), text, sizeof text);
          promptText = text;
        }
        SendMessageA(FindWindowExA(prompt, nullptr, "BUTTON", "Stop"), BM_CLICK, 0, 0);
        ++stops;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  TSheet& sheet = form.sheetPanel().sheet();
  sheet.setCellContent(1, 2, 0, "=len(\"abc\")", 1);
  EXPECT_EQ("#SCRIPT!", cell(form, "=spin(1)"));
  EXPECT_EQ(1, stops.load());
  EXPECT_NE(std::string::npos, promptText.find("spin of Spin.vbs")) << promptText;
  EXPECT_EQ(0u, form.macroEditorStatusBar().panelText(3).find("Macro function spin of Spin.vbs stopped"))
      << form.macroEditorStatusBar().panelText(3);

  // Reset makes a fresh engine from the same packages; the stopped function
  // is not run again, and ticking another package brings that one in.
  form.loadMacros();
  EXPECT_NE(nullptr, form.scriptEngine());
  EXPECT_EQ("#SCRIPT!", sheet.getCellText(1, 1, true));
  form.macroListView().setChecked(rowOf(form, "Other"), true);
  ASSERT_TRUE(pumpUntil([&] { return cell(form, "=twice(21)") == "42"; }));
  sheet.setCellContent(1, 1, 0, "=spin(1)", 1);
  sheet.setCellContent(2, 1, 0, "=twice(2)", 1);
  sheet.recalculateAll(false);
  EXPECT_EQ("#SCRIPT!", sheet.getCellText(1, 1, true));
  EXPECT_EQ("4", sheet.getCellText(2, 1, true));
  EXPECT_EQ(1, stops.load());

  // Entered again by the user, it runs and is stopped once more.
  sheet.currentCol = 1;
  sheet.currentRow = 1;
  form.sheetPanel().refresh();
  ASSERT_TRUE(pumpUntil([&] { return form.sheetEdit().text() == "=spin(1)"; }));
  SetFocus(form.sheetEdit().handle());
  postKey(form.sheetEdit().handle(), VK_RETURN);
  ASSERT_TRUE(pumpUntil([&] { return stops.load() == 2; }));
  EXPECT_EQ("#SCRIPT!", sheet.getCellText(1, 1, true));
  EXPECT_EQ("4", cell(form, "=twice(2)"));
  finished = true;
  user.join();
}

// Choosing another engine lists its packages; the editor must not go on
// showing (and writing) a package of the engine left.
TEST_F(MacroFormTest, ChoosingAnotherEngineLeavesNoPackageOfTheOldOneInTheEditor) {
  const std::string vbscriptId = "{B54F3741-5B07-11CF-A4B0-00AA004A55E8}";
  writeWholeFile(axe, "[Defaults]\r\nMacroEngine=" + jscriptId + "\r\n[Engines]\r\n0000=" + jscriptId + "\r\n0001=" +
                          vbscriptId + "\r\n[" + jscriptId + "]\r\nDescription=JScript\r\nFileFilter=*.js\r\n[" +
                          vbscriptId + "]\r\nDescription=VBScript\r\nFileFilter=*.vbs\r\n");
  package(folder.path(), "Finance", true, "function one(){return 1;}");
  writeWholeFile(folder.path() + "Basic.INI", "[Configuration]\r\nEngine=" + vbscriptId + "\r\nActive=1\r\n");
  writeWholeFile(folder.path() + "Basic.vbs", "Function two()\r\n  two = 2\r\nEnd Function\r\n");
  TmacroForm& form = open();
  form.macroListView().setItemIndex(rowOf(form, "Finance"));
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == "Finance.js"; }));

  HWND combo = form.macroEngineComboBox().handle();
  SetFocus(combo);
  sendKey(combo, VK_DOWN);
  ASSERT_EQ(1, form.macroEngineComboBox().itemIndex());
  ASSERT_EQ(1, form.macroListView().itemCount());
  EXPECT_EQ("Basic", form.macroListView().itemText(0));
  EXPECT_EQ("", form.selectedMacroFileName());
  EXPECT_NE(&form.selectedMacroStatus(), form.macroEditPanel().editorStatus());

  HWND editor = form.macroEditPanel().handle();
  SetFocus(editor);
  postChar(editor, 'x');
  form.macroEditPanelExit();
  EXPECT_EQ("function one(){return 1;}", readWholeFile(folder.path() + "Finance.js"));
  EXPECT_EQ("2", cell(form, "=two()"));
}

// A package's mark its read-only descriptor refused was lost when another
// engine was chosen, which lists its own packages: it waits for the close.
// Its engine chosen again, the package shows the mark as the user left it:
// read from the file, it showed the mark the change never reached, and the
// next save, finding nothing changed, let the change go unwritten.
TEST_F(MacroFormTest, AMarkItsDescriptorRefusedWaitsForTheCloseWhenAnotherEngineIsChosen) {
  const std::string vbscriptId = "{B54F3741-5B07-11CF-A4B0-00AA004A55E8}";
  writeWholeFile(axe, "[Defaults]\r\nMacroEngine=" + jscriptId + "\r\n[Engines]\r\n0000=" + jscriptId + "\r\n0001=" +
                          vbscriptId + "\r\n[" + jscriptId + "]\r\nDescription=JScript\r\nFileFilter=*.js\r\n[" +
                          vbscriptId + "]\r\nDescription=VBScript\r\nFileFilter=*.vbs\r\n");
  package(folder.path(), "Finance", true, "function one(){return 1;}");
  const std::string descriptor = folder.path() + "Finance.INI";
  TmacroForm& form = open();
  SetFileAttributesA(descriptor.c_str(), FILE_ATTRIBUTE_READONLY);
  form.macroListView().setChecked(rowOf(form, "Finance"), false);
  pumpFor(100);
  HWND combo = form.macroEngineComboBox().handle();
  SetFocus(combo);
  sendKey(combo, VK_DOWN);
  ASSERT_EQ(1, form.macroEngineComboBox().itemIndex());
  EXPECT_TRUE(TPortableIniFile(descriptor).readBool("Configuration", "Active", false));
  SetFocus(combo);
  sendKey(combo, VK_UP);
  ASSERT_EQ(0, form.macroEngineComboBox().itemIndex());
  EXPECT_FALSE(form.macroListView().checked(rowOf(form, "Finance")));
  const TSaveFailures refused = form.saveMacros();
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_TRUE(sameText(refused[0], descriptor)) << refused[0];
  const std::vector<std::string> waiting = saveUnsavedChanges();
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_TRUE(sameText(waiting[0], descriptor)) << waiting[0];
  SetFileAttributesA(descriptor.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_FALSE(TPortableIniFile(descriptor).readBool("Configuration", "Active", true));
}

// A source held by another program, or a folder under its name, is no empty
// source: its macros are left out and it is named, and what the editor
// shows in its place cannot be typed in nor saved over it.
TEST_F(MacroFormTest, ASourceThatCannotBeReadIsNamedAndNeverWrittenOver) {
  package(folder.path(), "A", true, "function one(){return 1;}");
  package(folder.path(), "B", true, "function two(){return 2;}");
  package(folder.path(), "C", true, "");
  forceFolders(folder.path() + "C.js");
  takeUnreadableFiles();
  std::optional<THeldFile> held(folder.path() + "A.js");
  ASSERT_TRUE(held->held());
  TmacroForm& form = open();
  EXPECT_EQ("2", cell(form, "=two()"));
  std::vector<std::string> named = takeUnreadableFiles();
  const std::string macros = getDirectory("<MACROS>");
  EXPECT_EQ(named, (std::vector<std::string>{macros + "A.js", macros + "C.js"}));

  for (const char* name : {"A", "C"}) {
    form.macroListView().setItemIndex(rowOf(form, name));
    ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroFileName() == std::string(name) + ".js"; }));
    EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{macros + name + ".js"});
    EXPECT_TRUE(form.selectedMacroStatus().readOnly);
    form.selectedMacroStatus().setCaret({1, 1});
    form.macroEditPanel().insertText("function lost(){}");
    EXPECT_TRUE(form.saveMacros().empty());
  }
  held.reset();
  EXPECT_EQ(readWholeFile(folder.path() + "A.js"), "function one(){return 1;}");
  EXPECT_TRUE(folderExists(folder.path() + "C.js"));

  // Readable again, it opens for editing.
  form.macroListView().setItemIndex(rowOf(form, "A"));
  ASSERT_TRUE(pumpUntil([&] { return form.selectedMacroStatus().lineCount() == 1 &&
                                     !form.selectedMacroStatus().readOnly; }));
  form.loadMacros();
  EXPECT_EQ("1", cell(form, "=one()"));
}
