#include <gtest/gtest.h>

#include "controls/SheetPanel.h"
#include "model/PortableIniFile.h"
#include "platform/DateTimePicker.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "sheet/Sheet.h"
#include "systems/SystemForm.h"
#include "tests/support/ScriptedMessageBox.h"
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
  EXPECT_EQ(ini.readInteger("RuleFieldWidths", "3", 0), -1);

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
  const auto type = [&](int row, const std::string& text) {
    rules.currentCol = 2;
    rules.currentRow = row;
    rules.setCellContent(2, row, 0, text, 2);
    grid.onCellValueEdited();
  };
  type(4, "=X>FROM_DATE+");
  EXPECT_EQ(rule.Condition(), "X>FROM_DATE");
  EXPECT_EQ(rules.getCell(2, 4)->getEditText(), "X>FROM_DATE");
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_NE(messages.texts[0].find("#OP?"), std::string::npos) << messages.texts[0];
  type(10, "holds 1+");
  EXPECT_EQ(rule.Comment(), "holds 1+");
  messages.answer = IDYES;
  type(4, "X>");
  EXPECT_EQ(rule.Condition(), "X>");
  EXPECT_EQ(messages.texts.size(), 2u);
}
