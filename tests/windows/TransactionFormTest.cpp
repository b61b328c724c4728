#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "controls/PickRows.h"
#include "controls/SheetPanel.h"
#include "model/Asset.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Transaction.h"
#include "model/TransactionTable.h"
#include "platform/DateTimePicker.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/Panel.h"
#include "platform/FileSystem.h"
#include "platform/FloatingPoint.h"
#include "platform/PageControl.h"
#include "platform/StdControls.h"
#include "platform/Timer.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "tests/model/SampleWorkFolder.h"
#include "platform/SaveFailures.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/DelTransForm.h"
#include "windows/SumTransForm.h"
#include "windows/TransactionForm.h"

namespace {

// The first sample portfolio with a field file of the five bound fields,
// the number fixed, shown in a Transactions window on a tab.
class TransactionWindow : public testing::Test {
 protected:
  void SetUp() override {
    setExtendedPrecision();
    const std::string folder = sample.folios + "1\\";
    TFieldTable fields;
    fields.FileName = folder + "TransactionFields.INI";
    const char* headers[] = {"Number", "Date", "Units", "Value", "Fees"};
    const int kinds[] = {20, 21, 23, 24, 25};
    for (int i = 0; i < 5; ++i) {
      fields.insertField(i);
      fields.items(i)->Kind = static_cast<std::uint8_t>(kinds[i]);
      fields.items(i)->setHeader(headers[i]);
    }
    fields.Fixed = 1;  // the number, as in the sample
    ASSERT_EQ(fields.save('.', ','), 0);
    ASSERT_EQ(table.open(folder, false, {}, nullptr, true, false), 0);
    table.setCurrentIndex(0);
    portfolio = table.current();
    portfolio->setCurrentAssetIndex(0);
    pages.setAlign(TAlign::client);
    main.showModeless();
    form = &createChildForm<TtransactionForm>(pages, "Transactions");
    form->setPortfolioTable(&table);
    form->loadView();
  }

  // Lets the user type into the given fields and shows the window again.
  void unlockFields(std::initializer_list<int> unlocked) {
    TFieldTable fields;
    ASSERT_EQ(fields.loadFromFile(sample.folios + "1\\TransactionFields.INI", '.', ','), 0);
    for (int field : unlocked) fields.items(field)->Locked = false;
    ASSERT_EQ(fields.save('.', ','), 0);
    form->loadView();
  }

  TSampleWorkFolder sample;
  TPortfolioTable table;
  TPortfolio* portfolio = nullptr;
  TForm main{mainWindowOptions("Kestrova", 760, 360)};
  TPageControl& pages = main.add<TPageControl>();
  TtransactionForm* form = nullptr;
};

std::vector<int32_t> shownNumbers(TtransactionForm& form) {
  std::vector<int32_t> numbers;
  TSheet& sheet = form.sheetPanel().sheet();
  for (int line = 2; line < 2 + form.lineCount(); ++line) numbers.push_back(sheet.getCellInteger(1, line));
  return numbers;
}

}  // namespace

TEST_F(TransactionWindow, ShowsAnAssetOrTheWholePortfolioAddsAfterTheLastLineAndRenumbers) {
  EXPECT_EQ(form->lineCount(), portfolio->assets(0)->transactionCount());
  EXPECT_EQ(form->assetComboBox().itemIndex(), 0);
  form->wholePortfolioBtn().setDown(true);
  form->wholePortfolioBtnClick();
  const int all = static_cast<int>(portfolio->TransactionNumbers().size());
  ASSERT_EQ(form->lineCount(), all);
  std::vector<int32_t> sorted = portfolio->TransactionNumbers();
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(shownNumbers(*form), sorted);

  // The new line is shown with a cell the user can type into, in the
  // grid that has the focus.
  SetFocus(main.handle());
  form->addBtnClick();  // nothing selected: after the last line
  TSheet& grid = form->sheetPanel().sheet();
  EXPECT_EQ(GetFocus(), form->sheetPanel().handle());
  EXPECT_EQ(grid.currentCol, 2);
  EXPECT_TRUE(pumpUntil([&] { return grid.currentRow >= grid.topRow && grid.currentRow <= grid.bottomRow; }))
      << grid.currentRow << " outside " << grid.topRow << ".." << grid.bottomRow;
  ASSERT_EQ(form->lineCount(), all + 1);
  EXPECT_EQ(shownNumbers(*form).back(), sorted.back() + 1);
  EXPECT_EQ(form->selectedTransaction(), sorted.back() + 1);

  form->moveClick(-1);  // the new line moves up one
  EXPECT_EQ(shownNumbers(*form)[all - 1], sorted.back() + 1);
  form->renumberBtnClick();
  std::vector<int32_t> expected(all + 1);
  for (int i = 0; i <= all; ++i) expected[i] = i + 1;
  EXPECT_EQ(shownNumbers(*form), expected);
  pumpFor(100);
  captureWindow(main.handle()).savePng("transactions-window");

  // Column-wise, each transaction is a column.
  form->setRowWise(false);
  TSheet& sheet = form->sheetPanel().sheet();
  EXPECT_EQ(sheet.getCellText(1, 2, false), "Date");
  EXPECT_EQ(sheet.getCellInteger(3, 1), 2);

  // The order and the controls are kept with the portfolio.
  form->saveView();
  form->loadView();
  EXPECT_TRUE(form->wholePortfolioBtn().down());
  EXPECT_FALSE(form->rowWise());
  form->setRowWise(true);
  EXPECT_EQ(shownNumbers(*form), expected);
}

TEST_F(TransactionWindow, DeletesANumberRangeAndMergesEachAssetThroughTheDialogs) {
  form->wholePortfolioBtn().setDown(true);
  form->wholePortfolioBtnClick();
  const int all = form->lineCount();
  TModalDriver pickRange(form->delTransForm(), {[&] {
                           form->delTransForm().startTransNrEdit().setText("3");
                           form->delTransForm().endTransNrEdit().setText("5");
                           form->delTransForm().okBtn().performClick();
                         }});
  form->delRangeClick();
  EXPECT_FALSE(pickRange.timedOut());
  ASSERT_EQ(form->lineCount(), all - 3);
  const std::vector<int32_t> left = shownNumbers(*form);
  EXPECT_EQ(std::count_if(left.begin(), left.end(), [](int32_t n) { return n >= 3 && n <= 5; }), 0);

  // Nothing selected: every day of every asset merges into one line each.
  form->sheetPanel().sheet().setCurrentCell(-1, -1);
  bool deleting = false;
  TModalDriver mergeAll(form->sumTransForm(), {[&] {
                          deleting = form->sumTransForm().delCheckBox().checked();
                          form->sumTransForm().okBtn().performClick();
                        }});
  form->sumBtnClick();
  EXPECT_FALSE(mergeAll.timedOut());
  EXPECT_TRUE(deleting);
  EXPECT_EQ(form->lineCount(), portfolio->assetCount());
  EXPECT_EQ(static_cast<int>(portfolio->TransactionNumbers().size()), portfolio->assetCount());
}

// A transaction, a range or a merge one file of which refuses to go stays
// whole, a new transaction whose folder refuses it is not shown, and the
// window tells which file and why.
TEST_F(TransactionWindow, AnAdditionDeletionOrMergeAFileRefusesIsToldAndChangesNothing) {
  TScriptedMessageBox messages(IDOK);
  form->messages = &messages;
  TAsset& asset = *portfolio->assets(0);
  const TTransaction& refusing = *asset.Transactions().items(1);
  const int32_t number = refusing.Number();
  const std::string why = refusing.FileName() + " is read-only.";
  int32_t lowest = 0;
  int32_t highest = 0;
  bool found = false;
  asset.minTransactionNumber(lowest, found);
  asset.maxTransactionNumber(highest, found);
  const std::vector<int32_t> shown = shownNumbers(*form);
  SetFileAttributesA(refusing.FileName().c_str(), FILE_ATTRIBUTE_READONLY);
  const int line = 2 + static_cast<int>(std::find(shown.begin(), shown.end(), number) - shown.begin());
  form->sheetPanel().sheet().setCurrentCell(2, line);
  ASSERT_EQ(form->selectedTransaction(), number);
  form->delSelectedClick();

  form->sheetPanel().sheet().setCurrentCell(-1, -1);
  TModalDriver pickAll(form->delTransForm(), {[&] {
                         form->delTransForm().startTransNrEdit().setText(std::to_string(lowest));
                         form->delTransForm().endTransNrEdit().setText(std::to_string(highest));
                         form->delTransForm().okBtn().performClick();
                       }});
  form->delRangeClick();
  EXPECT_FALSE(pickAll.timedOut());
  TModalDriver mergeAll(form->sumTransForm(), {[&] { form->sumTransForm().okBtn().performClick(); }});
  form->sumBtnClick();
  EXPECT_FALSE(mergeAll.timedOut());
  SetFileAttributesA(refusing.FileName().c_str(), FILE_ATTRIBUTE_NORMAL);
  // Another program took the asset's folder away.
  std::string folder = asset.TransactionFolder();
  folder.pop_back();
  ASSERT_TRUE(MoveFileA(folder.c_str(), (folder + "-moved").c_str()));
  form->addBtnClick();
  ASSERT_TRUE(MoveFileA((folder + "-moved").c_str(), folder.c_str()));
  EXPECT_EQ(shownNumbers(*form), shown);
  EXPECT_EQ(messages.texts,
            (std::vector<std::string>{"The transaction " + std::to_string(number) + " was not deleted: " + why,
                                      "The transactions " + std::to_string(lowest) + " to " + std::to_string(highest) +
                                          " were not deleted: " + why,
                                      "The transactions were not merged: " + why,
                                      "The new transaction of " + shortLabel(objectLabel(asset.Name(), asset.Symbol())) +
                                          " was not written: " + folder + " is missing."}));
}

TEST_F(TransactionWindow, ARangeDeleteAndAMergeLeaveTheCursorWhereTheRangeWas) {
  form->wholePortfolioBtn().setDown(true);
  form->wholePortfolioBtnClick();
  ASSERT_GE(form->lineCount(), 5);
  TSheet& sheet = form->sheetPanel().sheet();
  const std::vector<int32_t> shown = shownNumbers(*form);
  sheet.setCurrentCell(3, 4);
  TModalDriver pickSelected(form->delTransForm(), {[&] { form->delTransForm().okBtn().performClick(); }});
  form->delRangeClick();
  EXPECT_FALSE(pickSelected.timedOut());
  EXPECT_EQ(shownNumbers(*form).size(), shown.size() - 1);
  // The transaction below the deleted one has moved up into its line.
  EXPECT_EQ(sheet.currentRow, 4);
  EXPECT_EQ(sheet.currentCol, 3);
  EXPECT_EQ(form->selectedTransaction(), shown[3]);

  // Every asset merges into one line; the cursor goes to the first of them.
  sheet.setCurrentCell(-1, -1);
  TModalDriver mergeAll(form->sumTransForm(), {[&] { form->sumTransForm().okBtn().performClick(); }});
  form->sumBtnClick();
  EXPECT_FALSE(mergeAll.timedOut());
  ASSERT_GT(portfolio->assetCount(), 1);
  ASSERT_EQ(form->lineCount(), portfolio->assetCount());
  EXPECT_EQ(sheet.currentRow, 2);
}

TEST_F(TransactionWindow, AMergeOfADayWithoutTransactionsKeepsTheCurrentCell) {
  ASSERT_GE(form->lineCount(), 3);
  const int lines = form->lineCount();
  const TTransactionTable& transactions = portfolio->assets(0)->Transactions();
  std::set<double> days;
  for (int i = 0; i < transactions.count(); ++i) days.insert(std::trunc(transactions.items(i)->DateTime()));
  double gap = *days.begin() + 1;
  while (days.count(gap)) ++gap;
  ASSERT_LT(gap, *days.rbegin());
  TSheet& sheet = form->sheetPanel().sheet();
  sheet.setCurrentCell(3, 3);
  const int32_t selected = form->selectedTransaction();
  TModalDriver mergeNothing(form->sumTransForm(), {[&] {
                              for (TDateTimePicker* picker : {&form->sumTransForm().endDateTimePicker(),
                                                              &form->sumTransForm().startDateTimePicker()}) {
                                picker->setDateTime(gap);
                                picker->onChange();
                              }
                              form->sumTransForm().okBtn().performClick();
                            }});
  form->sumBtnClick();
  EXPECT_FALSE(mergeNothing.timedOut());
  EXPECT_EQ(form->lineCount(), lines);
  EXPECT_EQ(sheet.currentRow, 3);
  EXPECT_EQ(sheet.currentCol, 3);
  EXPECT_EQ(form->selectedTransaction(), selected);
}

TEST_F(TransactionWindow, LineSizesAndTheControlBarAreKeptWithoutCountingAsChanges) {
  TSheet& sheet = form->sheetPanel().sheet();
  const int32_t second = sheet.getCellInteger(1, 3);
  TTransaction* transaction = portfolio->findTransaction(second);
  ASSERT_NE(transaction, nullptr);
  const double changedBefore = transaction->lastChange();
  sheet.setRowHeight(3, 41);
  // The selection panel is hidden through the sheet menu's tool bar items.
  TMenuItem* selectionItem = nullptr;
  for (const auto& group : form->sheetPopupMenu().items())
    if (group->caption == "T&oolbar") selectionItem = group->items()[6].get();
  ASSERT_NE(selectionItem, nullptr);
  selectionItem->onClick();
  EXPECT_FALSE(form->selectionPanel().visible());

  // A moved line keeps its height: sizes follow their transactions.
  sheet.setCurrentCell(2, 3);
  form->moveClick(-1);
  EXPECT_EQ(sheet.getRowHeight(2), 41);
  form->saveView();
  EXPECT_EQ(transaction->getExternalProperty("RowHeight"), "41");
  EXPECT_EQ(transaction->lastChange(), changedBefore);
  EXPECT_TRUE(transaction->viewPropertiesUnsaved());
  // A line shown at the height it has without one stores none: a look
  // alone once wrote every transaction file of the asset.
  const TTransaction* looked = portfolio->findTransaction(sheet.getCellInteger(1, 3));
  ASSERT_NE(looked, nullptr);
  EXPECT_EQ(looked->getExternalProperty("RowHeight"), "");

  // A list widened in a wider window shrinks with the window.
  {
    TPortableIniFile ini(portfolio->Folder() + "TransactionControls.INI");
    ini.writeInteger("Sheet", "Width", form->width() + 40);
    ini.writeInteger("SelectionControls", "ComboWidth", 200);
  }
  form->loadView();
  EXPECT_FALSE(form->selectionPanel().visible());
  EXPECT_EQ(form->assetComboBox().width(), 160);
  EXPECT_EQ(sheet.getCellInteger(1, 2), second);
  EXPECT_EQ(sheet.getRowHeight(2), 41);

  // The delete button offers the selected transaction by its number.
  sheet.setCurrentCell(2, 2);
  form->sheetPopupMenu().onPopup();
  const TMenuItem& del = *form->sheetPopupMenu().items()[0]->items()[1];
  EXPECT_EQ(del.items()[0]->caption, "Delete transaction #" + std::to_string(second));
  EXPECT_TRUE(del.items()[0]->enabled);
}

// The asset list shrinks by what the window lost since the width was
// kept: a width kept from a maximised window left it a stub for good.
TEST_F(TransactionWindow, TheSheetWidthIsKeptFromANormalWindowOnlyAndMendedThere) {
  const std::string fileName = portfolio->Folder() + "TransactionControls.INI";
  const int normalWidth = form->width();
  {
    TPortableIniFile ini(fileName);
    ini.writeInteger("Sheet", "Width", normalWidth + 290);
    ini.writeInteger("SelectionControls", "ComboWidth", 150);
  }
  form->loadView();
  EXPECT_TRUE(form->saveView().empty());
  EXPECT_EQ(TPortableIniFile(fileName).readInteger("Sheet", "Width", 0), normalWidth);
  form->loadView();
  EXPECT_EQ(form->assetComboBox().width(), 150);

  ShowWindow(main.handle(), SW_MAXIMIZE);
  ASSERT_TRUE(pumpUntil([&] { return form->width() > normalWidth; }));
  EXPECT_TRUE(form->saveView().empty());
  EXPECT_EQ(TPortableIniFile(fileName).readInteger("Sheet", "Width", 0), normalWidth);
  ShowWindow(main.handle(), SW_RESTORE);
  ASSERT_TRUE(pumpUntil([&] { return form->width() == normalWidth; }));
}

TEST_F(TransactionWindow, APickedDateBefore1900IsRefusedWithAMessageAndLeavesDateAndTime) {
  ASSERT_NO_FATAL_FAILURE(unlockFields({1}));
  ASSERT_GE(form->lineCount(), 1);
  TSheetPanel& grid = form->sheetPanel();
  TScriptedMessageBox messages(IDOK);
  grid.messages = &messages;
  TSheet& sheet = grid.sheet();
  const int32_t number = sheet.getCellInteger(1, 2);
  TTransaction* trade = portfolio->findTransaction(number);
  ASSERT_NE(trade, nullptr);
  const double before = trade->DateTime();
  sheet.setCurrentCell(2, 2);
  grid.refresh();
  grid.setFocus();
  ASSERT_EQ(sheet.currentCellType(), 21);
  postChar(grid.handle(), ' ');
  ASSERT_TRUE(grid.editing());
  grid.datePicker().setDateTime(-10);  // 20 December 1899
  sendKey(grid.datePicker().picker().handle(), VK_RETURN);
  EXPECT_FALSE(grid.editing());
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_NE(messages.texts[0].find("30 December 1899"), std::string::npos);
  EXPECT_EQ(trade->DateTime(), before);

  postChar(grid.handle(), ' ');
  ASSERT_TRUE(grid.editing());
  grid.datePicker().setDateTime(45646);
  sendKey(grid.datePicker().picker().handle(), VK_RETURN);
  EXPECT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(trade->DateTime(), 45646 + (before - std::trunc(before)));
}

// With the system's message box the keys come back to the refused cell:
// Enter opens its picker again, and nothing typed reaches another cell.
TEST_F(TransactionWindow, AfterARefusedDateTheKeysStayInItsCell) {
  {
    TFieldTable fields;
    ASSERT_EQ(fields.loadFromFile(sample.folios + "1\\TransactionFields.INI", '.', ','), 0);
    fields.items(1)->Locked = false;
    fields.insertField(2);
    fields.items(2)->Kind = 22;  // the time, right of the date
    fields.items(2)->setHeader("Time");
    fields.items(1)->Locked = false;
    fields.items(2)->Locked = false;
    ASSERT_EQ(fields.save('.', ','), 0);
  }
  form->loadView();
  TSheetPanel& grid = form->sheetPanel();
  grid.messages = &systemMessageBox();
  TSheet& sheet = grid.sheet();
  TTransaction* trade = portfolio->findTransaction(sheet.getCellInteger(1, 2));
  ASSERT_NE(trade, nullptr);
  const double before = trade->DateTime();
  sheet.setCurrentCell(2, 2);
  grid.refresh();
  grid.setFocus();
  int boxes = 0;
  // The user reads the box and presses Enter on it.
  TTimer answer(100, [&] {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
          char name[16] = {};
          GetClassNameA(window, name, sizeof name);
          if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
          ++*reinterpret_cast<int*>(found);
          PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&boxes));
  });
  answer.setEnabled(true);
  postKey(grid.handle(), VK_RETURN);
  ASSERT_TRUE(grid.editing());
  grid.datePicker().setDateTime(-10);  // 20 December 1899
  postKey(GetFocus(), VK_RETURN);
  ASSERT_TRUE(pumpUntil([&] { return boxes > 0 && !grid.editing(); }));
  pumpFor(300);  // time for a second box, which must not come
  answer.setEnabled(false);
  EXPECT_EQ(boxes, 1);
  EXPECT_TRUE(pumpUntil([&] { return GetFocus() == grid.handle(); })) << "the keys came back to the grid";
  EXPECT_EQ(sheet.currentCol, 2);
  EXPECT_EQ(sheet.currentRow, 2);

  postKey(GetFocus(), VK_RETURN);
  ASSERT_TRUE(grid.editing());
  EXPECT_EQ(sheet.currentCol, 2);
  EXPECT_EQ(grid.datePicker().kind(), TDateTimeKind::date);
  for (const char key : {'1', '2'}) postKey(GetFocus(), key);
  postKey(GetFocus(), VK_ESCAPE);
  EXPECT_FALSE(grid.editing());
  EXPECT_EQ(trade->DateTime(), before);
}

TEST_F(TransactionWindow, TextTypedIntoACustomNumberIsRefusedAndTheNumberKept) {
  {
    TFieldTable fields;
    ASSERT_EQ(fields.loadFromFile(sample.folios + "1\\\\TransactionFields.INI", '.', ','), 0);
    fields.insertField(fields.count());
    TField& price = *fields.items(fields.count() - 1);
    price.setHeader("Limit");
    price.Kind = 1;
    price.setSymbol("Limit");
    price.Locked = false;
    ASSERT_EQ(fields.save('.', ','), 0);
  }
  form->loadView();
  ASSERT_GE(form->lineCount(), 1);
  TSheetPanel& grid = form->sheetPanel();
  TSheet& sheet = grid.sheet();
  TScriptedMessageBox messages(IDOK);
  grid.messages = &messages;
  TTransaction* trade = portfolio->findTransaction(sheet.getCellInteger(1, 2));
  ASSERT_NE(trade, nullptr);
  sheet.setCurrentCell(6, 2);
  grid.refresh();
  grid.setFocus();
  postChar(grid.handle(), '7');
  ASSERT_TRUE(grid.editing());
  sendKey(grid.numberEdit().handle(), VK_RETURN);
  EXPECT_EQ(trade->getCustomProperty("Limit"), "7");

  postChar(grid.handle(), 'x');
  ASSERT_TRUE(grid.editing());
  sendKey(grid.numberEdit().handle(), VK_RETURN);
  EXPECT_TRUE(grid.editing());
  EXPECT_EQ(messages.texts.size(), 1u) << "the refusal says why";
  sendKey(grid.numberEdit().handle(), VK_ESCAPE);
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(6, 2), 7);
  EXPECT_EQ(trade->getCustomProperty("Limit"), "7");
}

// Units, value and fees given a text that is no number, or a number beyond
// what a double holds, kept their editor open without a word.
TEST_F(TransactionWindow, UnitsValueOrFeesNoNumberHoldsAreRefusedWithAMessageAndTheTextKept) {
  ASSERT_NO_FATAL_FAILURE(unlockFields({2, 3, 4}));
  TSheetPanel& grid = form->sheetPanel();
  TScriptedMessageBox messages(IDOK);
  grid.messages = &messages;
  TSheet& sheet = grid.sheet();
  TTransaction* trade = portfolio->findTransaction(sheet.getCellInteger(1, 2));
  ASSERT_NE(trade, nullptr);
  const long double units = trade->Units(), value = trade->Value(), fees = trade->Fees();
  for (int col = 3; col <= 5; ++col) {
    for (const std::string typed : {"abc", "1e309", "-1e400"}) {
      messages.texts.clear();
      sheet.setCurrentCell(col, 2);
      grid.refresh();
      grid.setFocus();
      postChar(grid.handle(), typed[0]);
      ASSERT_TRUE(grid.editing()) << col << " " << typed;
      for (const char c : typed.substr(1)) postChar(grid.numberEdit().handle(), c);
      postKey(grid.numberEdit().handle(), VK_RETURN);
      EXPECT_TRUE(grid.editing()) << col << " " << typed;
      EXPECT_EQ(grid.numberEdit().text(), typed);
      ASSERT_EQ(messages.texts.size(), 1u) << col << " " << typed;
      EXPECT_NE(messages.texts[0].find("\"" + typed + "\" is no number"), std::string::npos) << messages.texts[0];
      EXPECT_EQ(GetFocus(), grid.numberEdit().handle());
      postKey(grid.numberEdit().handle(), VK_ESCAPE);
      EXPECT_FALSE(grid.editing());
    }
  }
  EXPECT_EQ(trade->Units(), units);
  EXPECT_EQ(trade->Value(), value);
  EXPECT_EQ(trade->Fees(), fees);
}

namespace {

// Each asset's transactions in the order their stored "DisplayOrder" gives
// (without one, the number + 1), as a fresh start shows them.
std::vector<std::vector<int32_t>> storedOrders(const std::string& folder) {
  TPortfolioTable reopened;
  EXPECT_EQ(reopened.open(folder, false, {}, nullptr, true, false), 0);
  std::vector<std::vector<int32_t>> orders;
  const TPortfolio& portfolio = *reopened.items(0);
  for (int a = 0; a < portfolio.assetCount(); ++a) {
    std::vector<std::pair<int, int32_t>> keyed;
    const TTransactionTable& transactions = portfolio.assets(a)->Transactions();
    for (int i = 0; i < transactions.count(); ++i) {
      const TTransaction& t = *transactions.items(i);
      const std::string stored = t.getExternalProperty("DisplayOrder");
      keyed.emplace_back(stored.empty() ? t.Number() + 1 : std::stoi(stored), t.Number());
    }
    std::sort(keyed.begin(), keyed.end());
    orders.emplace_back();
    for (const auto& [key, number] : keyed) orders.back().push_back(number);
  }
  return orders;
}

}  // namespace

TEST_F(TransactionWindow, AddsDeletesAndMergesInOneAssetLeaveEveryOtherAssetsOrderAsItWas) {
  std::vector<std::vector<int32_t>> untouched;
  for (int a = 1; a < portfolio->assetCount(); ++a) {
    std::vector<int32_t> numbers;
    const TTransactionTable& transactions = portfolio->assets(a)->Transactions();
    for (int i = 0; i < transactions.count(); ++i) numbers.push_back(transactions.items(i)->Number());
    std::sort(numbers.begin(), numbers.end());
    untouched.push_back(numbers);
  }
  // The portfolio's values were shown before: every table is in date order.
  for (int a = 0; a < portfolio->assetCount(); ++a) {
    double first = 0;
    bool found = false;
    portfolio->assets(a)->firstTransactionDate(first, found);
  }
  TSheet& sheet = form->sheetPanel().sheet();
  // Two new lines, each dated by hand.
  for (const double date : {45100.5, 45050.5}) {
    sheet.setCurrentCell(2, 2 + form->lineCount() - 1);
    form->addBtnClick();
    const int32_t added = form->selectedTransaction();
    ASSERT_GT(added, 0);
    ASSERT_TRUE(sheet.setTransactionDate(added, date));
    form->recomputeSheet();
  }
  // Away to another tab and back. Leaving it runs the portfolio's trading
  // system, which clears its soft transactions (there are none) and so
  // lists the portfolio's numbers afresh, each asset's in date order.
  form->saveView();
  ASSERT_EQ(portfolio->deleteTransactionsBetweenDates(-1, true, 0, 1, false), 0);
  form->tabEntered(nullptr, 0);
  // A line added and deleted again.
  form->addBtnClick();
  form->delSelectedClick();
  // The lines up to the current one merged beside their sources.
  sheet.setCurrentCell(2, 4);
  TModalDriver mergeBeside(form->sumTransForm(), {[&] {
                             form->sumTransForm().delCheckBox().setChecked(false);
                             form->sumTransForm().okBtn().performClick();
                           }});
  form->sumBtnClick();
  ASSERT_FALSE(mergeBeside.timedOut());
  // The merged line deleted by range.
  const int32_t merged = form->selectedTransaction();
  ASSERT_EQ(merged, portfolio->nextTransactionNumber() - 1);
  TModalDriver deleteMerged(form->delTransForm(), {[&] { form->delTransForm().okBtn().performClick(); }});
  form->delRangeClick();
  ASSERT_FALSE(deleteMerged.timedOut());
  ASSERT_EQ(portfolio->findTransaction(merged), nullptr);
  // Closing the program.
  form->saveView();
  ASSERT_EQ(table.saveAll(), 0);

  const auto orders = storedOrders(portfolio->Folder());
  for (int a = 1; a < portfolio->assetCount(); ++a)
    EXPECT_EQ(orders[a], untouched[a - 1]) << portfolio->assets(a)->Name();
}

TEST_F(TransactionWindow, UnitsWhoseCompletedValueNoNumberHoldsAreRefusedWithAMessage) {
  ASSERT_NO_FATAL_FAILURE(unlockFields({1, 2}));
  TSheetPanel& grid = form->sheetPanel();
  TScriptedMessageBox messages(IDOK);
  grid.messages = &messages;
  TSheet& sheet = grid.sheet();
  TTransaction* trade = portfolio->findTransaction(sheet.getCellInteger(1, 2));
  ASSERT_NE(trade, nullptr);
  ASSERT_TRUE(form->autoCompleteBtn().down());
  const long double units = trade->Units();
  const long double value = trade->Value();
  const auto type = [&](const std::string& text) {
    sheet.setCurrentCell(3, 2);
    grid.refresh();
    grid.setFocus();
    // The first key opens the editor, which takes the rest.
    postChar(grid.handle(), text[0]);
    pumpFor(50);
    ASSERT_TRUE(grid.editing());
    for (const char c : text.substr(1)) postChar(grid.numberEdit().handle(), c);
    pumpFor(50);
    ASSERT_EQ(grid.numberEdit().text(), text);
    sendKey(grid.numberEdit().handle(), VK_RETURN);
  };
  for (const char* huge : {"1e308", "5e307"}) {
    type(huge);
    ASSERT_EQ(messages.texts.size(), 1u) << huge;
    EXPECT_NE(messages.texts[0].find("too large"), std::string::npos);
    messages.texts.clear();
    EXPECT_EQ(trade->Units(), units) << huge;
    EXPECT_EQ(trade->Value(), value) << huge;
    // The typed text waits in its editor for a correction, as every refused
    // text does; Esc gives it up.
    EXPECT_TRUE(grid.editing()) << huge;
    EXPECT_EQ(grid.numberEdit().text(), huge);
    sendKey(grid.numberEdit().handle(), VK_ESCAPE);
    EXPECT_FALSE(grid.editing());
  }
  // A number that prices within range is taken and completed.
  type("3");
  EXPECT_FALSE(grid.editing());
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(trade->Units(), 3);
  EXPECT_NE(trade->Value(), value);

  // Units a file holds, priced by a picked date, are refused the same way.
  ASSERT_TRUE(trade->setUnits(1e308));
  const double dated = trade->DateTime();
  sheet.setCurrentCell(2, 2);
  grid.refresh();
  grid.setFocus();
  postChar(grid.handle(), ' ');
  ASSERT_TRUE(grid.editing());
  grid.datePicker().setDateTime(std::trunc(dated) + 1);
  sendKey(grid.datePicker().picker().handle(), VK_RETURN);
  EXPECT_FALSE(grid.editing());
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_NE(messages.texts[0].find("too large"), std::string::npos);
  EXPECT_EQ(trade->DateTime(), dated);
}

namespace {

// Each transaction's view properties by its number.
std::map<int32_t, std::string> viewProperties(const TPortfolio& shown) {
  std::map<int32_t, std::string> properties;
  for (const int32_t number : shown.TransactionNumbers()) {
    const TTransaction* transaction = shown.findTransaction(number);
    properties[number] = transaction->getExternalProperty("DisplayOrder") + " " +
                         transaction->getExternalProperty("RowHeight") + " " +
                         transaction->getExternalProperty("ColWidth");
  }
  return properties;
}

}  // namespace

// Transaction numbers are unique only inside a portfolio: the order taken
// from one portfolio's lines written into another by number scrambled it.
TEST_F(TransactionWindow, TheOrderGoesOnlyIntoThePortfolioTheViewWasLoadedFrom) {
  ASSERT_EQ(table.open(sample.folios + "2\\", false, {}, nullptr, true, false), 0);
  TPortfolio& other = *table.items(1);
  const auto untouched = viewProperties(other);
  TSheet& grid = form->sheetPanel().sheet();
  grid.setCurrentCell(2, 2);
  const int32_t moved = form->selectedTransaction();
  form->moveClick(1);

  // The user clicks another portfolio on the Portfolios tab, then closes.
  table.setCurrentIndex(1);
  EXPECT_TRUE(form->saveView().empty());
  EXPECT_EQ(viewProperties(other), untouched);
  for (const int32_t number : other.TransactionNumbers())
    EXPECT_FALSE(other.findTransaction(number)->viewPropertiesUnsaved()) << number;
  table.setCurrentIndex(0);
  portfolio->setCurrentAssetIndex(0);
  form->loadView();
  ASSERT_GE(form->lineCount(), 2);
  EXPECT_EQ(shownNumbers(*form)[1], moved) << "the shown portfolio keeps the order";

  // A view whose portfolio was closed meanwhile writes nowhere.
  const std::string controls = sample.folios + "1\\TransactionControls.INI";
  table.setCurrentIndex(1);
  ASSERT_EQ(table.close(sample.folios + "1\\", false, {}, nullptr), 0);
  ASSERT_TRUE(deleteFile(controls) || !fileExists(controls));
  EXPECT_TRUE(form->saveView().empty());
  EXPECT_FALSE(fileExists(controls));
  EXPECT_EQ(viewProperties(other), untouched);
}

// A new portfolio's only asset, nameless and not yet chosen: New once added
// lines to it that its grid did not show.
TEST_F(TransactionWindow, NewShowsTheLineItAddsAndANamelessAssetIsListedAsSuch) {
  std::string folder;
  ASSERT_EQ(table.newPortfolio("", "", folder, sample.folios, "EUR"), 0);
  ASSERT_TRUE(copyFile(sample.folios + "1\\TransactionFields.INI", includeTrailingBackslash(folder) +
                       "TransactionFields.INI", true));
  table.setCurrentIndex(table.indexOfFolder(folder));
  TPortfolio& fresh = *table.current();
  ASSERT_EQ(fresh.newAsset("", "", true, constantPriceFormat, "", "EUR"), 0);
  ASSERT_EQ(fresh.currentAssetIndex(), -1);
  form->loadView();
  ASSERT_EQ(form->assetComboBox().count(), 1);
  EXPECT_EQ(form->assetComboBox().item(0), "(no name)");
  EXPECT_EQ(assetPickRows(&fresh, {{0, -1}}).at(0).texts.at(0), "(no name)") << "the picker's name column";
  ASSERT_EQ(form->lineCount(), 0);

  const TAsset& asset = *fresh.assets(0);
  for (int click = 1; click <= 2; ++click) {
    form->addBtnClick();
    EXPECT_EQ(fresh.currentAssetIndex(), 0);
    EXPECT_EQ(form->assetComboBox().itemIndex(), 0);
    EXPECT_EQ(form->lineCount(), asset.transactionCount()) << "every line of the asset is shown";
    EXPECT_EQ(form->selectedTransaction(), fresh.TransactionNumbers().back()) << "the new line is the current one";
  }

  // A grid that shows no field takes no new line either.
  TFieldTable fields;
  ASSERT_EQ(fields.loadFromFile(includeTrailingBackslash(folder) + "TransactionFields.INI", '.', ','), 0);
  for (int i = 0; i < fields.count(); ++i) fields.items(i)->Disabled = true;
  ASSERT_EQ(fields.save('.', ','), 0);
  form->loadView();
  const size_t before = fresh.TransactionNumbers().size();
  form->addBtnClick();
  EXPECT_EQ(fresh.TransactionNumbers().size(), before);
}

// A look at the window, even one showing no line before an asset was
// picked, wrote the order of every transaction into its file and the
// grid's default sizes into the field file: a read-only portfolio asked
// about them at every close.
TEST_F(TransactionWindow, ALookStoresNoLineOrderAndNoDefaultSize) {
  // Nor one size for another that no size reads from.
  TTransaction& odd = *portfolio->findTransaction(portfolio->TransactionNumbers().front());
  for (const char* key : {"RowHeight", "ColWidth"}) odd.setExternalProperty(key, "1E300", "", "", false);
  const std::string fields = includeTrailingBackslash(portfolio->Folder()) + "TransactionFields.INI";
  const std::string text = readWholeFile(fields);
  SetFileAttributesA(fields.c_str(), FILE_ATTRIBUTE_READONLY);
  portfolio->setCurrentAssetIndex(-1);
  form->loadView();
  EXPECT_EQ(form->lineCount(), 0);
  TSaveFailures failed = form->saveView();
  portfolio->setCurrentAssetIndex(1);
  form->loadView();
  ASSERT_GT(form->lineCount(), 0);
  addSaveFailures(failed, form->saveView());
  // Nor the tool bar layout file the folder did not hold, until the user
  // changes what it keeps.
  const std::string controls = includeTrailingBackslash(portfolio->Folder()) + "TransactionControls.INI";
  EXPECT_FALSE(fileExists(controls));
  form->wholePortfolioBtn().setDown(true);
  form->wholePortfolioBtnClick();
  addSaveFailures(failed, form->saveView());
  EXPECT_TRUE(TPortableIniFile(controls).readBool("SelectionControls", "WholePortfolio", false));
  EXPECT_TRUE(TPortableIniFile(controls).readBool("SheetControls", "Visible", false)) << "written whole";
  SetFileAttributesA(fields.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(failed.empty());
  EXPECT_EQ(readWholeFile(fields), text);
  for (const int32_t number : portfolio->TransactionNumbers()) {
    const TTransaction* transaction = portfolio->findTransaction(number);
    EXPECT_FALSE(transaction->viewPropertiesUnsaved()) << number;
    EXPECT_EQ(transaction->getExternalProperty("DisplayOrder"), "") << number;
  }
  for (const char* key : {"RowHeight", "ColWidth"}) EXPECT_EQ(odd.getExternalProperty(key), "1E300") << key;
}
