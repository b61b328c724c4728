#include "controls/SheetPanel.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/ExtControls.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "windows/TransactionForm.h"

namespace {

constexpr const char* deleteTransactionText = "Delete transaction";

std::string deleteCaption(int32_t number) {
  return number >= 0 ? std::string(deleteTransactionText) + " #" + std::to_string(number) : deleteTransactionText;
}

// An item that runs what its button does, enabled and ticked as it.
TMenuItem& buttonItem(TMenuItem& menu, const char* caption, TToolButton& button) {
  return menu.add(caption, [&button] { button.performClick(); });
}

}  // namespace

void TtransactionForm::buildMenus() {
  // Each item's state is taken from its button or panel when the menu
  // opens; the pairs are kept here for that.
  TMenuItem& transactions = sheetPopupMenu_.add("&Transactions");
  buttonItem(transactions, "&New", *addBtn_);
  TMenuItem& del = transactions.add("&Delete");
  del.add(deleteTransactionText, [this] { delSelectedClick(); });
  del.add("&Pick...", [this] { delRangeClick(); });
  buttonItem(transactions, "&Merge", *sumBtn_);
  TMenuItem& layout = sheetPopupMenu_.add("&Layout");
  buttonItem(layout, "&Rowwise", *rowWiseBtn_).radio = true;
  buttonItem(layout, "&Columnwise", *colWiseBtn_).radio = true;
  buttonItem(layout, "&Show errors", *showCellErrorsBtn_);
  TMenuItem& sort = sheetPopupMenu_.add("&Sort");
  buttonItem(sort, "&Ascending", *sortAscendingBtn_);
  buttonItem(sort, "&Descending", *sortDescendingBtn_);
  TMenuItem& automatic = sheetPopupMenu_.add("A&uto");
  buttonItem(automatic, "&Complete", *autoCompleteBtn_);
  buttonItem(automatic, "&First quote", *firstDateBtn_);
  TMenuItem& position = sheetPopupMenu_.add("&Position");
  buttonItem(position, "&Up / Left", *moveUpBtn_);
  buttonItem(position, "&Down / Right", *moveDownBtn_);
  buttonItem(position, "&Renumber", *renumberBtn_);
  selectionMenu_ = &sheetPopupMenu_.add("S&election");
  TMenuItem& customize = sheetPopupMenu_.add("&Customize");
  buttonItem(customize, "&Fixed fields", *fixedBtn_);
  buttonItem(customize, "&Setup", *sheetSetupBtn_);
  TMenuItem& toolbar = sheetPopupMenu_.add("T&oolbar");
  toolbar.add("S&how", [this] {
    controlBar_->setVisible(!controlBar_->visible());
    realign();
  });
  const std::pair<const char*, TPanel*> panels[] = {
      {"&Transactions", creationPanel_}, {"&Layout", gridDirectionPanel_}, {"&Sort", sortPanel_},
      {"&Auto", autoPanel_},             {"&Position", orderPanel_},       {"S&election", selectionPanel_},
      {"&Customize", setupPanel_}};
  for (const auto& [caption, panel] : panels)
    toolbar.add(caption, [this, panel = panel] {
      controlBar_->setBandVisible(*panel, !panel->visible());
      fitSelectionPanel();
    });
  sheetPopupMenu_.onPopup = [this] { sheetPopupMenuPopup(); };
  sheetPanel_->setPopupMenu(&sheetPopupMenu_);
  controlBar_->setPopupMenu(&sheetPopupMenu_);

  delPopupMenu_.add(deleteTransactionText, [this] { delSelectedClick(); });
  delPopupMenu_.add("Pick...", [this] { delRangeClick(); });
}

void TtransactionForm::sheetPopupMenuPopup() {
  const auto& groups = sheetPopupMenu_.items();
  // Items follow their buttons: the order of buildMenus.
  TToolButton* const buttons[][3] = {
      {addBtn_, nullptr, sumBtn_},
      {rowWiseBtn_, colWiseBtn_, showCellErrorsBtn_},
      {sortAscendingBtn_, sortDescendingBtn_, nullptr},
      {autoCompleteBtn_, firstDateBtn_, nullptr},
      {moveUpBtn_, moveDownBtn_, renumberBtn_},
  };
  for (int group = 0; group < 5; ++group) {
    const auto& items = groups[group]->items();
    for (size_t i = 0; i < items.size() && i < 3; ++i) {
      TToolButton* button = buttons[group][i];
      if (!button) continue;
      items[i]->enabled = button->enabled();
      items[i]->checked = button->checkButton && button->down();
    }
  }
  const int32_t selected = selectedTransaction();
  TMenuItem& del = *groups[0]->items()[1];
  del.enabled = delBtn_->enabled();
  del.items()[0]->caption = deleteCaption(selected);
  del.items()[0]->enabled = selected >= 0;
  del.items()[1]->enabled = delBtn_->enabled();

  TMenuItem& customize = *groups[6];
  customize.items()[0]->checked = fixedBtn_->down();
  customize.items()[0]->enabled = fixedBtn_->enabled();
  customize.items()[1]->enabled = sheetSetupBtn_->enabled();

  selectionMenu_->clear();
  TMenuItem& whole = selectionMenu_->add("&Whole portfolio", [this] { wholePortfolioBtn_->performClick(); });
  whole.checked = wholePortfolioBtn_->down();
  whole.enabled = wholePortfolioBtn_->enabled();
  if (assetComboBox_->count() > 0) {
    selectionMenu_->addSeparator();
    for (int entry = 0; entry < assetComboBox_->count(); ++entry) {
      TMenuItem& item = selectionMenu_->add(ampersandsDoubled(assetComboBox_->item(entry)), [this, entry] { selectAssetEntry(entry); });
      item.radio = true;
      item.checked = entry == assetComboBox_->itemIndex();
      item.enabled = assetComboBox_->enabled();
    }
  }

  const auto& toolbar = groups[7]->items();
  toolbar[0]->checked = controlBar_->visible();
  TPanel* const panels[] = {creationPanel_, gridDirectionPanel_, sortPanel_, autoPanel_,
                            orderPanel_,    selectionPanel_,     setupPanel_};
  for (size_t i = 0; i < 7; ++i) toolbar[i + 1]->checked = panels[i]->visible();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void TtransactionForm::popupAtButton(TPopupMenu& menu, TToolButton& button) {
  RECT at = button.bounds();
  MapWindowPoints(button.parent()->handle(), nullptr, reinterpret_cast<POINT*>(&at), 2);
  menu.popup(handle(), at.right, at.top);
}

void TtransactionForm::delBtnClick() {
  const int32_t selected = selectedTransaction();
  if (lineCount() >= 1 && selected >= 0) {
    delPopupMenu_.items()[0]->caption = deleteCaption(selected);
    popupAtButton(delPopupMenu_, *delBtn_);
  } else if (selected < 0 && lineCount() > 1) {
    delRangeClick();
  }
}
