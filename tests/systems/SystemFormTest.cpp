#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "controls/SheetPanel.h"
#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/DateTimePicker.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "sheet/Sheet.h"
#include "platform/LocaleSettings.h"
#include "systems/SystemFileFault.h"
#include "systems/SystemForm.h"
#include "windows/DateWindow.h"
#include "tests/support/GermanRegionalSettings.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/systems/SystemPortfolio.h"

namespace {

class SystemWindow : public testing::Test, public SystemPortfolio {
 protected:
  void SetUp() override {
    TSystem system;
    addRule(system, "AAA", "X>FROM_DATE").setComment("buys daily");
    addRule(system, "BBB", "1");
    system.Symbols().addSymbol(-1, -1, 0);
    system.Symbols().symbol(0)->setSymbol("S");
    system.Symbols().symbol(0)->setDefinition("X*2");
    system.setToDate(march(9));
    system.setFromDate(march(2));
    TPortableIniFile ini(portfolio->Folder() + "System.INI");
    system.saveToIni(ini, {'.', ';'});
  }
};

}  // namespace

TEST_F(SystemWindow, ShowsEditsAndSavesThePortfoliosSystem) {
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  for (const auto& [page, fields] : {std::pair{TSystemPage::rules, 10}, {TSystemPage::symbols, 3}, {TSystemPage::params, 7}}) {
    const int width = form.grid(TSystemPage::rules).width();
    ASSERT_GT(width, 900);
    EXPECT_EQ(form.grid(page).defaultColWidth(), width / fields);
  }
  ASSERT_TRUE(form.visible());
  TSheet& rules = form.grid(TSystemPage::rules).sheet();
  EXPECT_EQ(rules.getCellText(1, 4, false), "Condition");
  EXPECT_EQ(rules.getCell(2, 4)->getEditText(), "X>FROM_DATE");
  EXPECT_EQ(form.fromDateTimePicker->dateTime(), march(2));
  EXPECT_EQ(form.daysComboBox->text(), "8");
  EXPECT_FALSE(form.controls(TSystemPage::rules).commitBtn->enabled());
  pumpFor(200);
  captureClient(form.handle()).savePng("system-window-rules");

  // Insert adds a parameter; Ctrl+Delete deletes the selected one at once.
  TSheetPanel& params = form.grid(TSystemPage::params);
  WORD key = VK_INSERT;
  params.onSheetKeyDown(key, 0);
  EXPECT_EQ(form.Editor().entryCount(TSystemPage::params), 1);
  EXPECT_EQ(params.sheet().currentCol, 2);
  key = VK_DELETE;
  params.onSheetKeyDown(key, ssCtrl);
  EXPECT_EQ(form.Editor().entryCount(TSystemPage::params), 0);

  // Editing only the dates enables the commit of the Rules page.
  form.fromDateTimePicker->setDateTime(march(4));
  form.fromDateTimePicker->onChange();
  EXPECT_EQ(form.daysComboBox->text(), "6");
  EXPECT_TRUE(form.controls(TSystemPage::rules).commitBtn->enabled());
  form.controls(TSystemPage::rules).discardBtn->performClick();
  EXPECT_EQ(form.fromDateTimePicker->dateTime(), march(2));
  EXPECT_FALSE(form.controls(TSystemPage::rules).commitBtn->enabled());

  form.controls(TSystemPage::rules).rowWiseBtn->performClick();
  EXPECT_TRUE(form.Editor().rowWise(TSystemPage::rules));
  EXPECT_EQ(rules.getCell(4, 2)->getEditText(), "X>FROM_DATE");

  rules.setColWidth(2, 150);  // the Condition field, row-wise
  EXPECT_EQ(form.getSystemAppliedTime(), 0);  // edited since loaded: to be applied again
  form.controls(TSystemPage::symbols).copyBtn->setEnabled(true);
  form.grid(TSystemPage::symbols).sheet().currentCol = 2;
  form.grid(TSystemPage::symbols).sheet().currentRow = 2;
  form.copyEntry(TSystemPage::symbols);
  // A group hidden through the popup menu and one dragged to a second row
  // come back so from the controls file, the bar grown to hold them.
  form.pageControl->setActivePageIndex(2);
  TsystemForm::TPageControls& paramBar = form.controls(TSystemPage::params);
  paramBar.popupMenu.onPopup();
  EXPECT_TRUE(paramBar.popupMenu.items()[0]->items()[5]->checked);
  paramBar.popupMenu.items()[0]->items()[5]->onClick();
  TPanel& order = *paramBar.groups[2].panel;
  order.onMouseDown(TMouseButton::left, 0, 5, 5);
  order.onMouseMove(0, 5 - order.left() + 40, 5 + 33);
  order.onMouseUp(TMouseButton::left, 0, 0, 0);
  EXPECT_EQ(order.top(), 30);
  EXPECT_EQ(paramBar.bar->height(), 60);
  form.saveView();
  const TPortableIniFile controlsFile(portfolio->Folder() + "SystemControls.INI");
  EXPECT_FALSE(controlsFile.readBool("ParamOptimizeControls", "Visible", true));
  EXPECT_EQ(controlsFile.readInteger("ParamOrderControls", "Left", 0), 40);
  TPortableIniFile ini(portfolio->Folder() + "System.INI");
  EXPECT_EQ(ini.readInteger("Symbol", "Count", 0), 2);
  EXPECT_EQ(ini.readFloat("Range", "FromDate", 0), march(2) + 0.5);
  EXPECT_EQ(ini.readInteger("RuleFieldWidths", "2", 0), 150);
  EXPECT_EQ(ini.readInteger("RuleFieldWidths", "3", -1), -1);

  TsystemForm reloaded;
  reloaded.setPortfolioTable(&table);
  reloaded.Editor().setRowWise(TSystemPage::rules, true);
  reloaded.loadView();
  EXPECT_EQ(reloaded.grid(TSystemPage::rules).sheet().getColWidth(2), 150);
  EXPECT_FALSE(reloaded.controls(TSystemPage::params).groups[4].panel->visible());
  EXPECT_EQ(reloaded.controls(TSystemPage::params).groups[2].panel->top(), 30);
}

TEST_F(SystemWindow, SwitchingTheLayoutKeepsTheCurrentEntryAndField) {
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  for (int i = 0; i < 3; ++i) form.newEntry(TSystemPage::params);
  TSheet& params = form.grid(TSystemPage::params).sheet();
  ASSERT_FALSE(form.Editor().rowWise(TSystemPage::params));
  // The Value of the second parameter, column-wise.
  params.currentCol = 3;
  params.currentRow = 2;
  form.controls(TSystemPage::params).rowWiseBtn->performClick();
  EXPECT_EQ(params.currentCol, 2);
  EXPECT_EQ(params.currentRow, 3);
  EXPECT_EQ(form.Editor().entryAt(TSystemPage::params, params.currentCol, params.currentRow), 1);
  EXPECT_EQ(form.Editor().fieldAt(TSystemPage::params, params.currentCol, params.currentRow), 1);
  // The Low of the third, row-wise, and back.
  params.currentCol = 3;
  params.currentRow = 4;
  form.controls(TSystemPage::params).colWiseBtn->performClick();
  EXPECT_EQ(form.Editor().entryAt(TSystemPage::params, params.currentCol, params.currentRow), 2);
  EXPECT_EQ(form.Editor().fieldAt(TSystemPage::params, params.currentCol, params.currentRow), 2);
}

namespace {

// A click of the left button in the middle of a control, as the mouse gives it.
void clickMiddle(const TControl& control) {
  RECT box{};
  GetClientRect(control.handle(), &box);
  sendMouse(control.handle(), WM_LBUTTONDOWN, box.right / 2, box.bottom / 2, MK_LBUTTON);
  sendMouse(control.handle(), WM_LBUTTONUP, box.right / 2, box.bottom / 2);
  pumpFor(50);
}

}  // namespace

// Switched back and forth, scrolled or not, the grid shows the fields'
// first line and its current cell.
TEST_F(SystemWindow, AfterALayoutSwitchOrARebuildTheFirstFieldAndTheCurrentCellShow) {
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  form.showModeless();
  form.pageControl->setActivePageIndex(static_cast<int>(TSystemPage::params));
  for (int i = 0; i < 3; ++i) form.newEntry(TSystemPage::params);
  TSheetPanel& grid = form.grid(TSystemPage::params);
  TSheet& params = grid.sheet();
  pumpFor(100);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    clickMiddle(*form.controls(TSystemPage::params).rowWiseBtn);
    ASSERT_TRUE(form.Editor().rowWise(TSystemPage::params));
    EXPECT_EQ(params.leftCol, 1);  // "Symbol"
    EXPECT_EQ(params.topRow, 2);
    clickMiddle(*form.controls(TSystemPage::params).colWiseBtn);
    ASSERT_FALSE(form.Editor().rowWise(TSystemPage::params));
    EXPECT_EQ(params.leftCol, 2);
    EXPECT_EQ(params.topRow, 1);  // "Symbol"
  }
  // The same in the Rules grid, whose "Nr" and "Asset" stay fixed.
  form.pageControl->setActivePageIndex(static_cast<int>(TSystemPage::rules));
  TSheet& rules = form.grid(TSystemPage::rules).sheet();
  clickMiddle(*form.controls(TSystemPage::rules).rowWiseBtn);
  EXPECT_EQ(rules.leftCol, 3);
  EXPECT_EQ(rules.topRow, 2);
  clickMiddle(*form.controls(TSystemPage::rules).colWiseBtn);
  EXPECT_EQ(rules.leftCol, 2);
  EXPECT_EQ(rules.topRow, 3);

  // Many parameters, the last one made current: the rebuild scrolls to it.
  form.pageControl->setActivePageIndex(static_cast<int>(TSystemPage::params));
  for (int i = 0; i < 40; ++i) form.newEntry(TSystemPage::params);
  const int last = params.currentCol;
  EXPECT_EQ(last, 2 + 42);
  EXPECT_TRUE(pumpUntil([&] { return params.leftCol <= last && params.rightCol >= last; }))
      << params.leftCol << ".." << params.rightCol;
}

// The buttons' captions are words or arrows: each has a hint, and the
// mouse resting on an arrow shows what it does.
TEST_F(SystemWindow, EveryButtonHasItsHintAndTheArrowsShowTheirsWhenTheMouseRests) {
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  form.showModeless();
  for (TSystemPage page : {TSystemPage::rules, TSystemPage::symbols, TSystemPage::params}) {
    const TsystemForm::TPageControls& controls = form.controls(page);
    for (const TButton* button : {controls.newBtn, controls.deleteBtn, controls.copyBtn, controls.moveDownBtn,
                                  controls.moveUpBtn, controls.rowWiseBtn, controls.colWiseBtn, controls.discardBtn,
                                  controls.commitBtn, controls.extraBtn}) {
      EXPECT_EQ(registeredToolTip(button->handle()), button->text());
    }
  }
  // Shown where the mouse rests: on the system's picker and the box's edit.
  EXPECT_EQ(registeredToolTip(form.fromDateTimePicker->picker().handle()), "From date");
  EXPECT_EQ(registeredToolTip(FindWindowExA(form.daysComboBox->handle(), nullptr, "Edit", nullptr)), "Days in range");
  EXPECT_EQ(registeredToolTip(form.toDateTimePicker->picker().handle()), "To date");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"First date", "First date"},   {"First common date", "First common date"},
      {"<<", "One frame back"},       {"<", "One day back"},
      {">", "One day forward"},       {">>", "One frame forward"},
      {"Last common date", "Last common date"}, {"Last date", "Last date"}};
  std::vector<const TButton*> dateButtons;
  for (const TControl* child : form.fromDateTimePicker->parent()->children()) {
    if (const auto* button = dynamic_cast<const TButton*>(child)) dateButtons.push_back(button);
  }
  ASSERT_EQ(dateButtons.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(dateButtons[i]->text(), expected[i].first);
    EXPECT_EQ(registeredToolTip(dateButtons[i]->handle()), expected[i].second);
  }

  const TButton& frameBack = *dateButtons[2];
  RECT place{};
  GetWindowRect(frameBack.handle(), &place);
  POINT cursor{};
  GetCursorPos(&cursor);
  SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
  PostMessageA(frameBack.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  HWND tip = nullptr;
  const bool shown = pumpUntil([&] {
    tip = FindWindowA(TOOLTIPS_CLASSA, nullptr);
    for (HWND at = tip; at != nullptr; at = FindWindowExA(nullptr, at, TOOLTIPS_CLASSA, nullptr)) {
      if (IsWindowVisible(at)) {
        tip = at;
        return true;
      }
    }
    return false;
  }, 3000);
  SetCursorPos(cursor.x, cursor.y);
  ASSERT_TRUE(shown);
  char text[64] = {};
  GetWindowTextA(tip, text, sizeof text);
  EXPECT_STREQ(text, "One frame back");
}

// A condition whose operator lacks its operand would fail every run: it is
// taken only when the user keeps it. Comments are no formulas.
TEST_F(SystemWindow, AnIncompleteFormulaIsTakenOnlyWhenTheUserKeepsIt) {
  TsystemForm form;
  TScriptedMessageBox messages(IDNO);
  form.messages = &messages;
  form.setPortfolioTable(&table);
  form.loadView();
  TSheetPanel& grid = form.grid(TSystemPage::rules);
  TSheet& rules = grid.sheet();
  const TSystemRule& rule = *form.Editor().Edited().Rules().rule(0);
  // Typed over the stored text in the cell's editor, then Enter.
  const auto type = [&](int row, const std::string& text) {
    rules.setCurrentCell(2, row);
    grid.startEditing("");
    const HWND editor = grid.textEditor().handle();
    SendMessageA(editor, EM_SETSEL, 0, -1);
    for (const char c : text) postChar(editor, c);
    sendKey(editor, VK_RETURN);
  };
  type(4, "=X>FROM_DATE+");
  EXPECT_EQ(rule.Condition(), "X>FROM_DATE");
  EXPECT_EQ(rules.getCell(2, 4)->getEditText(), "X>FROM_DATE");
  ASSERT_TRUE(grid.editing()) << "the editor stays on the typed text";
  EXPECT_EQ(grid.textEditor().text(), "=X>FROM_DATE+");
  sendKey(grid.textEditor().handle(), VK_ESCAPE);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_NE(messages.texts[0].find("#OP?"), std::string::npos) << messages.texts[0];
  type(10, "holds 1+");
  EXPECT_EQ(rule.Comment(), "holds 1+");
  messages.answer = IDYES;
  type(4, "X>");
  EXPECT_EQ(rule.Condition(), "X>");
  EXPECT_EQ(messages.texts.size(), 2u);
}

// A parameter keeps a number: "0.5" typed under German settings, where "."
// groups thousands, is refused with the number cells' message instead of
// becoming a formula in error whose 0 the parameter took.
TEST_F(SystemWindow, AParameterTypedWithAMisplacedSeparatorIsRefused) {
  TSystem system;
  addRule(system, "AAA", "1");
  system.Params().addParameter(-1, -1, 0);
  TSystemParameter& lot = *system.Params().parameter(0);
  lot.setSymbol("LOT");
  lot.setHigh(10);
  lot.setValue(5);
  {
    TPortableIniFile ini(portfolio->Folder() + "System.INI");
    system.saveToIni(ini, {'.', ';'});
  }
  const TLocaleSettings saved = localeSettings();
  {
    TGermanRegionalSettings german;
    loadLocaleSettingsFromSystem();
  }
  // The grid tells through the messages to the end, when the form hides it.
  TScriptedMessageBox messages(IDOK);
  TsystemForm form;
  localeSettings() = saved;
  TSheetPanel& grid = form.grid(TSystemPage::params);
  grid.messages = &messages;
  form.setPortfolioTable(&table);
  form.loadView();
  const TSystemParameter& shown = *form.Editor().Edited().Params().parameter(0);
  const auto type = [&](int row, const std::string& text) {
    grid.sheet().setCurrentCell(2, row);
    grid.startEditing("");
    const HWND editor = grid.numberEdit().handle();
    SendMessageA(editor, EM_SETSEL, 0, -1);
    for (const char c : text) postChar(editor, c);
    sendKey(editor, VK_RETURN);
  };
  ASSERT_EQ(form.Editor().fieldAt(TSystemPage::params, 2, 2), 1);  // Value
  type(2, "0.5");
  EXPECT_TRUE(grid.editing());
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0],
            "\"0.5\" is no number this cell can keep. Type a number, or press Esc to leave the cell as it was.");
  EXPECT_EQ(shown.Value(), 5);
  sendKey(grid.numberEdit().handle(), VK_ESCAPE);
  type(4, "1.000");  // High
  EXPECT_EQ(shown.High(), 1000);
  type(2, "2,5");
  EXPECT_EQ(shown.Value(), 2.5);
  type(5, "1.5");  // Steps
  EXPECT_EQ(messages.texts.size(), 2u);
  EXPECT_FALSE(form.Editor().numberAt(TSystemPage::params, 2, 1)) << "the symbol is a text";
}

// A window too narrow for the stored tool bars once moved their groups in
// the controls file too.
TEST_F(SystemWindow, ANarrowWindowMovesTheGroupsShownNotTheOnesStored) {
  {
    TsystemForm wide;
    wide.setBounds(0, 0, 1200, 500);
    wide.setPortfolioTable(&table);
    wide.loadView();
    TPanel& order = *wide.controls(TSystemPage::rules).groups[2].panel;
    order.setBounds(700, order.top(), order.width(), order.height());
    wide.saveView();
  }
  const std::string controls = portfolio->Folder() + "SystemControls.INI";
  const std::string stored = readWholeFile(controls);
  TsystemForm narrow;
  narrow.setBounds(0, 0, 563, 300);
  narrow.setPortfolioTable(&table);
  narrow.loadView();
  narrow.saveView();
  const TPortableIniFile before(controls + ".before", TPortableIniFile::TReadText{stored});
  const TPortableIniFile after(controls);
  std::vector<std::string> sections;
  before.readSections(sections);
  for (const std::string& section : sections) {
    if (!section.ends_with("Controls")) continue;
    for (const char* key : {"Left", "Top"})
      EXPECT_EQ(after.readInteger(section, key, -1), before.readInteger(section, key, -2)) << section << " " << key;
  }
}

// The window shows every formula of System.INI with the user's separators
// and writes it back as it was: only the separators change, never a digit
// the user typed.
TEST_F(SystemWindow, FormulasKeepEveryDigitUnderEnglishAndGermanSettings) {
  TSystem system;
  TSystemRule& rule = addRule(system, "AAA", "X>1.5E3/1500");
  rule.setUnits("0.10+0");
  rule.setPrincipal("X*12345678901234567890/12345678901234567890");
  rule.setFees("1.0");
  system.Symbols().addSymbol(-1, -1, 0);
  system.Symbols().symbol(0)->setSymbol("S");
  system.Symbols().symbol(0)->setDefinition("ROUND(X;2)*0.12345678901234567890");
  const std::string fileName = portfolio->Folder() + "System.INI";
  {
    TPortableIniFile ini(fileName);
    system.saveToIni(ini, {'.', ';'});
  }
  const std::string written = readWholeFile(fileName);
  const TLocaleSettings saved = localeSettings();
  for (const bool german : {false, true}) {
    SCOPED_TRACE(german ? "German settings" : "English settings");
    if (german) {
      TGermanRegionalSettings settings;
      loadLocaleSettingsFromSystem();
    }
    const auto shown = [&](const std::string& text) {
      std::string result = text;
      for (char& c : result) c = c == '.' ? localeSettings().decimalSeparator : c == ';' ? localeSettings().listSeparator : c;
      return result;
    };
    {
      TsystemForm form;
      form.setPortfolioTable(&table);
      form.loadView();
      const TSheet& rules = form.grid(TSystemPage::rules).sheet();
      EXPECT_EQ(rules.getCell(2, 4)->getEditText(), shown("X>1.5E3/1500"));
      EXPECT_EQ(rules.getCell(2, 5)->getEditText(), shown("0.10+0"));
      EXPECT_EQ(rules.getCell(2, 6)->getEditText(), shown("X*12345678901234567890/12345678901234567890"));
      EXPECT_EQ(rules.getCell(2, 7)->getEditText(), shown("1.0"));
      EXPECT_EQ(form.Editor().Edited().Symbols().symbol(0)->Definition(), shown("ROUND(X;2)*0.12345678901234567890"));
      form.saveView();
    }
    localeSettings() = saved;
    const std::string rewritten = readWholeFile(fileName);
    for (const char* formula : {"X>1.5E3/1500", "0.10+0", "X*12345678901234567890/12345678901234567890", "\"1.0\"",
                                "ROUND(X;2)*0.12345678901234567890"}) {
      EXPECT_NE(written.find(formula), std::string::npos) << written;
      EXPECT_NE(rewritten.find(formula), std::string::npos) << rewritten;
    }
  }
}

// The days box once took any count: one reaching before the first day the
// pickers show left the pickers on another day than the box and the system.
TEST_F(SystemWindow, ADaysCountReachingBeforeThePickersFirstDayIsRefusedAndAStoredOneLoadsClipped) {
  {
    TScriptedMessageBox messages(IDOK);
    TsystemForm form;
    form.messages = &messages;
    form.setBounds(0, 0, 1000, 500);
    form.setPortfolioTable(&table);
    form.loadView();
    ASSERT_EQ(form.daysComboBox->text(), "8");
    const HWND edit = FindWindowExA(form.daysComboBox->handle(), nullptr, "Edit", nullptr);
    const auto type = [&](const std::string& keys) {
      sendMouse(edit, WM_LBUTTONDOWN, 4, 4);
      sendMouse(edit, WM_LBUTTONUP, 4, 4);
      ASSERT_TRUE(pumpUntil([&] { return GetFocus() == edit; }));
      postKey(edit, VK_END);
      for (const char key : keys) postChar(edit, key);
      postKey(edit, VK_RETURN);
      pumpFor(100);
    };
    type("183001");
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0].rfind("\"8183001\" is no number this box can keep", 0), 0u) << messages.texts[0];
    EXPECT_EQ(form.daysComboBox->text(), "8");
    EXPECT_EQ(form.fromDateTimePicker->dateTime(), march(2));
    EXPECT_EQ(form.Editor().Edited().FromDate(), march(2) + 0.5);
    EXPECT_FALSE(form.controls(TSystemPage::rules).commitBtn->enabled());
    type("0");
    EXPECT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(form.daysComboBox->text(), "80");
    EXPECT_EQ(form.fromDateTimePicker->dateTime(), march(9) - 79);
  }
  {
    TPortableIniFile ini(portfolio->Folder() + "System.INI");
    ini.writeFloat("Range", "FromDate", -92136636.5);
    ini.writeFloat("Range", "ToDate", march(9) + 0.5);
  }
  TsystemForm reloaded;
  reloaded.setPortfolioTable(&table);
  reloaded.loadView();
  EXPECT_EQ(reloaded.fromDateTimePicker->dateTime(), firstPickerDay);
  EXPECT_EQ(reloaded.toDateTimePicker->dateTime(), march(9));
  EXPECT_EQ(reloaded.daysComboBox->text(), std::to_string(mostDaysEndingOn(march(9))));
  EXPECT_FALSE(reloaded.controls(TSystemPage::rules).commitBtn->enabled());
  // Kept at the midday of the first day, which lies before day 0: once
  // stored half a day late, it came back as the next day.
  EXPECT_EQ(reloaded.Editor().Edited().FromDate(), firstPickerDay - 0.5);
  reloaded.saveView();
  TsystemForm again;
  again.setPortfolioTable(&table);
  again.loadView();
  EXPECT_EQ(again.fromDateTimePicker->dateTime(), firstPickerDay);
  EXPECT_EQ(again.daysComboBox->text(), reloaded.daysComboBox->text());
}

// A count refused at a close held it: the close goes on once the box was
// answered, with the count the window had.
TEST_F(SystemWindow, AtACloseARefusedDaysCountIsGivenUpOnceItsBoxIsAnswered) {
  TScriptedMessageBox messages(IDOK);
  TsystemForm form;
  form.messages = &messages;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  ASSERT_EQ(form.daysComboBox->text(), "8");
  const HWND edit = FindWindowExA(form.daysComboBox->handle(), nullptr, "Edit", nullptr);
  sendMouse(edit, WM_LBUTTONDOWN, 4, 4);
  sendMouse(edit, WM_LBUTTONUP, 4, 4);
  ASSERT_TRUE(pumpUntil([&] { return GetFocus() == edit; }));
  postKey(edit, VK_END);
  for (const char key : std::string("183001")) postChar(edit, key);
  pumpFor(100);
  EXPECT_TRUE(form.endEdit(TEditEnding::closing));
  EXPECT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(form.daysComboBox->text(), "8");
  EXPECT_EQ(form.fromDateTimePicker->dateTime(), march(2));
}

// The empty system shown for a portfolio without one is no system of the
// user's: saving the view writes no file for it until the user makes one,
// while tool bars the user moved are kept whatever the system.
TEST_F(SystemWindow, APortfolioWithoutASystemGetsNoneByBeingLookedAt) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  const std::string controlsFile = portfolio->Folder() + "SystemControls.INI";
  ASSERT_EQ(std::remove(systemFile.c_str()), 0);
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  form.saveView();
  form.loadView();
  form.saveView();
  EXPECT_FALSE(fileExists(systemFile));
  EXPECT_FALSE(fileExists(controlsFile));

  form.loadView();
  TPanel& order = *form.controls(TSystemPage::rules).groups[2].panel;
  order.setBounds(700, order.top(), order.width(), order.height());
  form.saveView();
  EXPECT_FALSE(fileExists(systemFile));
  EXPECT_EQ(TPortableIniFile(controlsFile).readInteger("RuleOrderControls", "Left", 0), 700);

  form.loadView();
  form.newEntry(TSystemPage::symbols);
  form.saveView();
  EXPECT_EQ(TPortableIniFile(systemFile).readInteger("Symbol", "Count", 0), 1);
}

// A file saved before files had an entry count leaves out the fees left
// empty: it reads whole, and once the user changes the system it gets the
// count with every entry counted, not a count of entries it never held.
TEST_F(SystemWindow, ASystemFileWithoutTheEntryCountGetsItWithEveryEntryOnceTheUserChangesIt) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  std::string text = readWholeFile(systemFile);
  for (const std::string line : {"Entries=", "Fees="}) {
    const size_t start = text.rfind(line);
    ASSERT_NE(start, std::string::npos) << line;
    text.erase(start, text.find("\r\n", start) + 2 - start);
  }
  writeWholeFile(systemFile, text);
  takeLoadFailures();
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  EXPECT_TRUE(takeLoadFailures().empty());
  form.newEntry(TSystemPage::params);
  EXPECT_TRUE(form.saveView().empty());
  const TPortableIniFile written(systemFile);
  EXPECT_EQ(systemFileFault(written), "");
  EXPECT_TRUE(carriesEntryCount(written));
}

// A look at a portfolio's system once made the tool bar layout file its
// folder did not hold.
TEST_F(SystemWindow, ALookAtASystemMakesNoToolBarLayoutFile) {
  const std::string controlsFile = portfolio->Folder() + "SystemControls.INI";
  ASSERT_FALSE(fileExists(controlsFile));
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  EXPECT_TRUE(form.saveView().empty());
  form.loadView();
  form.saveView();
  EXPECT_FALSE(fileExists(controlsFile));
}

// What the window shows of a system file cut off stands for what the file
// no longer holds: looked at and left, the file stays as it is; once the
// user changes the system, it is written whole.
TEST_F(SystemWindow, ASystemFileCutOffIsToldAndWrittenOnlyWholeOnceTheUserChangesIt) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  std::string text = readWholeFile(systemFile);
  text = text.substr(0, text.find("[Symbol1]"));
  writeWholeFile(systemFile, text);
  takeLoadFailures();
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  const std::vector<std::string> told = takeLoadFailures();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], "Trading system of \"Systems (SYS)\" not run: its file " + systemFile +
                         " holds 0 of the 1 symbols its count names. Mend the file, or put back what it lost, and it "
                         "runs again; the System window shows only what the file still holds.");
  EXPECT_TRUE(form.saveView().empty());
  form.loadView();
  EXPECT_TRUE(form.saveView().empty());
  EXPECT_EQ(readWholeFile(systemFile), text);

  form.loadView();
  form.newEntry(TSystemPage::params);
  EXPECT_TRUE(form.saveView().empty());
  const TPortableIniFile written(systemFile);
  EXPECT_EQ(written.readInteger("Symbol", "Count", -1), 0);
  EXPECT_EQ(written.readInteger("Param", "Count", -1), 1);
  EXPECT_EQ(written.readInteger("Param1", "Steps", -1), 2);
  EXPECT_EQ(written.readInteger("Rule", "Count", -1), 2);
  takeLoadFailures();
  form.loadView();
  EXPECT_TRUE(takeLoadFailures().empty());
}

// A system file another program cut after the program read it whole (a
// run at the start) is not what the window shows and writes: the system
// as read is, and leaving the window puts it back.
TEST_F(SystemWindow, ASystemFileCutSinceItWasReadWholeIsShownAndWrittenAsRead) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  const std::string whole = readWholeFile(systemFile);
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  ASSERT_EQ(form.applySystemFile(systemFile, nullptr, "", &table, RECT{0, 0, 1000, 500}, true), 0);
  const size_t softTransactions = transactions(true).size();
  ASSERT_GT(softTransactions, 0u);
  writeWholeFile(systemFile, whole.substr(0, whole.find("Units=", whole.find("[Rule2]"))));
  takeLoadFailures();
  form.loadView();
  const std::vector<std::string> told = takeLoadFailures();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("The System window shows the system as it was read whole, and leaving the window writes "
                         "it back."),
            std::string::npos)
      << told[0];
  EXPECT_EQ(form.Editor().entryCount(TSystemPage::symbols), 1);
  ASSERT_EQ(form.Editor().entryCount(TSystemPage::rules), 2);
  EXPECT_EQ(form.Editor().Edited().Rules().rule(1)->Units(), "1");

  form.Editor().Edited().Rules().rule(0)->setComment("buys every day");
  EXPECT_TRUE(form.saveView().empty());
  const TPortableIniFile written(systemFile);
  EXPECT_EQ(systemFileFault(written), "");
  TSystem system;
  system.loadFromIni(written, {'.', ';'});
  EXPECT_EQ(system.Rules().rule(0)->Comment(), "buys every day");
  EXPECT_EQ(system.Rules().rule(1)->Fees(), "0");
  EXPECT_EQ(system.Symbols().count(), 1);
  ASSERT_EQ(form.applySystemFile(systemFile, nullptr, "", &table, RECT{0, 0, 1000, 500}, true), 0);
  EXPECT_EQ(transactions(true).size(), softTransactions);
}

// What the program read whole of a system, and what the window shows of
// it, belong to the portfolio that read it, not to its folder: the
// portfolio in the folder after it, whose file another program emptied, is
// shown, run and kept as its file is.
TEST_F(SystemWindow, ASystemReadWholeGoesWithItsPortfolio) {
  struct TRow {
    const char* what;
    std::function<void(const std::string& folder)> replace;
  };
  const auto reopen = [this](const std::string& folder) {
    ASSERT_EQ(table.open(folder, false, {}, nullptr, true, false), 0);
  };
  const TRow rows[] = {
      {"deleted, and a new portfolio made in its folder",
       [this](const std::string& folder) {
         ASSERT_EQ(table.deletePortfolio(table.indexOfFolder(folder)), 0);
         std::string made;
         ASSERT_EQ(table.newPortfolio("Next", "NXT", made, sample.folios, "EUR"), 0);
         ASSERT_TRUE(sameText(made, folder)) << made;
       }},
      {"closed, and opened again",
       [&](const std::string& folder) {
         ASSERT_EQ(table.close(folder, false, {}, nullptr), 0);
         reopen(folder);
       }},
      {"released at a directory change, and opened again",
       [&](const std::string& folder) {
         table.clear();
         reopen(folder);
       }},
  };
  const std::string folder = portfolio->Folder();
  const std::string systemFile = folder + "System.INI";
  const std::string whole = readWholeFile(systemFile);
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.what);
    writeWholeFile(systemFile, whole);
    table.setCurrentIndex(table.indexOfFolder(folder));
    TsystemForm form;
    form.setBounds(0, 0, 1000, 500);
    form.setPortfolioTable(&table);
    ASSERT_EQ(form.applySystemFile(systemFile, nullptr, "", &table, RECT{0, 0, 1000, 500}, true), 0);
    form.loadView();
    form.newEntry(TSystemPage::params);
    row.replace(folder);
    table.setCurrentIndex(table.indexOfFolder(folder));
    writeWholeFile(systemFile, "");
    // The close saves a view left with its edits: the folder is not its
    // portfolio's any more.
    EXPECT_TRUE(form.saveView().empty());
    EXPECT_EQ(readWholeFile(systemFile), "");
    // The run and the window each tell why the system does not run.
    const auto toldAsItIs = [] {
      const std::vector<std::string> told = takeLoadFailures();
      const std::string notice = told.size() == 1 ? told[0] : std::to_string(told.size()) + " notices";
      EXPECT_NE(notice.find("the System window shows only what the file still holds"), std::string::npos) << notice;
    };
    takeLoadFailures();
    form.applySystemFile(systemFile, nullptr, "", &table, RECT{0, 0, 1000, 500}, true);
    toldAsItIs();
    form.loadView();
    toldAsItIs();
    EXPECT_EQ(form.Editor().entryCount(TSystemPage::rules), 0);
    EXPECT_TRUE(form.saveView().empty());
    EXPECT_EQ(readWholeFile(systemFile), "");
  }
}

// Sections past a table's count are no entries: an entry added under such
// a number does not take their keys, and the save erases them.
TEST_F(SystemWindow, SectionsPastTheCountsGiveNothingToAnEntryAddedUnderTheirNumberAndGo) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  writeWholeFile(systemFile, readWholeFile(systemFile) +
                                 "[Rule3]\r\nComment=an old rule\r\n[Symbol2]\r\nSymbol=OLD\r\n"
                                 "[Param1]\r\nComment=an old parameter\r\n");
  takeLoadFailures();
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  EXPECT_TRUE(takeLoadFailures().empty());
  ASSERT_EQ(form.Editor().addRules(1, {"AAA"}, -1, -1), 2);
  form.newEntry(TSystemPage::params);
  EXPECT_TRUE(form.saveView().empty());
  const TPortableIniFile written(systemFile);
  EXPECT_EQ(written.readString("Rule3", "AssetSymbol", ""), "AAA");
  EXPECT_EQ(written.readString("Rule3", "Comment", ""), "");
  EXPECT_EQ(written.readString("Param1", "Comment", ""), "");
  EXPECT_FALSE(written.sectionExists("Symbol2"));
}

// A system file that refuses the save is told at once, with why, and so
// is it in the close's question. Another portfolio shown and this one
// again, the change shows as the user left it, and only a save that wrote
// it lets it go.
TEST_F(SystemWindow, ASystemFileRefusingTheSaveIsToldWithWhy) {
  const std::string systemFile = portfolio->Folder() + "System.INI";
  TsystemForm form;
  form.setBounds(0, 0, 1000, 500);
  form.setPortfolioTable(&table);
  form.loadView();
  form.newEntry(TSystemPage::params);
  takeLoadFailures();
  ASSERT_TRUE(SetFileAttributesA(systemFile.c_str(), FILE_ATTRIBUTE_READONLY));
  const TSaveFailures failed = form.saveView();
  EXPECT_EQ(failed, TSaveFailures{systemFile});
  EXPECT_EQ(refusedSaveText(systemFile), systemFile + " is read-only");
  // The close's box advises what mends a read-only file, not a damaged one's mend.
  EXPECT_EQ(refusedSavesText({systemFile}), "\r\r" + systemFile +
                                                " is read-only.\rMake such a file writable, or close the program "
                                                "that holds it, and Try Again.");
  EXPECT_EQ(takeLoadFailures(),
            std::vector<std::string>{"The trading system of \"Systems (SYS)\" was not saved: " + systemFile +
                                     " is read-only."});
  std::string other;
  ASSERT_EQ(table.newPortfolio("Other", "OTH", other, sample.folios, "EUR"), 0);
  table.setCurrentIndex(table.indexOfFolder(other));
  form.loadView();
  table.setCurrentIndex(table.indexOfFolder(portfolio->Folder()));
  form.loadView();
  EXPECT_EQ(form.Editor().entryCount(TSystemPage::params), 1);
  EXPECT_EQ(form.saveView(), TSaveFailures{systemFile});
  SetFileAttributesA(systemFile.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(form.saveView().empty());
  EXPECT_EQ(TPortableIniFile(systemFile).readInteger("Param", "Count", -1), 1);
  EXPECT_TRUE(saveUnsavedChanges().empty());
}
