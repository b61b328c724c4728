#include "windows/AssetForm.h"

#include <algorithm>

#include "controls/AssetPickForm.h"
#include "controls/DownloadItem.h"
#include "controls/DownloadPickForm.h"
#include "controls/SheetPanel.h"
#include "model/Asset.h"
#include "model/DeletionRefusal.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Transaction.h"
#include "model/LanguageStrings.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/Panel.h"
#include "sheet/NumberText.h"
#include "sheet/Sheet.h"

namespace {

constexpr const char* deleteAssetText = "Delete asset";
// New transactions sort after every line the user has placed.
constexpr int32_t lastDisplayOrder = 1073741823;

void popupAtTopRight(TPopupMenu& menu, TControl& button, HWND owner) {
  RECT at = button.bounds();
  MapWindowPoints(button.parent()->handle(), nullptr, reinterpret_cast<POINT*>(&at), 2);
  menu.popup(owner, at.right, at.top);
}

// A model call that throws counts as a failure while rebuilding.
template <class Call>
int guarded(Call call) {
  try {
    return call();
  } catch (...) {
    return -5;
  }
}

}  // namespace

TassetForm::TassetForm()
    : TportfolioAssetsForm({{"AssetFields.INI", "AssetControls.INI", "Asset_"}, "&Assets", "AssetNotes.TXT", "Asset_"},
                           TAssetLineWindow::assets, assetHelpContext, fieldEditorHelpContext) {
  addBtn_ = &addCreationButton("NEWBMP", "New asset", 36, [this] { addBtnClick(); });
  delBtn_ = &addCreationButton("DELBMP", "Delete asset", 32, [this] { delBtnClick(); });
  addBtn_->setEnabled(false);
  delBtn_->setEnabled(false);
  buildAssetMenus();
}

TassetForm::~TassetForm() = default;

void TassetForm::buildAssetMenus() {
  TPopupMenu& sheetMenu = sheetPopupMenu();
  TMenuItem& assets = sheetMenu.add("&Assets");
  TMenuItem& add = assets.add("&New");
  add.add("&Constant price", [this] { menuItemAssetsNewConstantPriceClick(); });
  add.add("&Variable price...", [this] { menuItemAssetsNewVariablePriceClick(); });
  deleteItem_ = &assets.add("&Delete");
  deleteSelectedItem_ = &deleteItem_->add("&Selected", [this] { menuItemAssetsDelSelectedClick(); });
  deletePickItem_ = &deleteItem_->add("&Pick...", [this] { menuItemAssetsDelPickClick(); });
  const auto framePopup = sheetMenu.onPopup;
  sheetMenu.onPopup = [this, framePopup] {
    if (framePopup) framePopup();
    const TPortfolio* shown = portfolio();
    const bool any = shown && shown->assetCount() > 0;
    deleteItem_->enabled = any;
    if (any) {
      const int selected = selectedObjectIndex();
      deleteSelectedItem_->caption = selected >= 0 ? deleteItemCaption(selected) : deleteAssetText;
      deleteSelectedItem_->enabled = selected >= 0;
      deletePickItem_->enabled = shown->assetCount() >= 2;
    }
  };

  newAssetPopupMenu_.add("&Constant price", [this] { menuItemAssetsNewConstantPriceClick(); });
  variablePriceItem_ = &newAssetPopupMenu_.add("&Variable price...", [this] { menuItemAssetsNewVariablePriceClick(); });
  delAssetPopUpMenu_.add("&Delete selected asset", [this] { menuItemAssetsDelSelectedClick(); });
  delAssetPopUpMenu_.add("&Pick...", [this] { menuItemAssetsDelPickClick(); });
}

void TassetForm::enableObjectButtons(int selected) {
  TdataForm::enableObjectButtons(selected);
  const TPortfolio* shown = portfolio();
  addBtn_->setEnabled(shown != nullptr);
  delBtn_->setEnabled(shown && shown->assetCount() >= 1);
}

// ---- Creation ----

void TassetForm::addBtnClick() {
  if (!portfolio()) return;
  variablePriceItem_->enabled = downloadPickForm_ != nullptr;
  popupAtTopRight(newAssetPopupMenu_, *addBtn_, handle());
}

void TassetForm::setDefaultTransactionDisplayOrder(TAsset& shown) {
  const TTransactionTable& transactions = shown.Transactions();
  const int count = transactions.count();
  for (int i = 0; i < count; ++i)
    if (TTransaction* transaction = transactions.items(i))
      transaction->setViewProperty("DisplayOrder", std::to_string(lastDisplayOrder - count + i));
}

void TassetForm::showNewAsset() {
  // A new asset holds no units yet: with null holdings hidden it would be
  // made without a line, unseen, at every click. The filter gives way as
  // if the user had switched it, so that what New made is shown.
  const TPortfolio* shown = portfolio();
  if (!shown || showNullsBtn().down() || !objects() || objects()->hasLine(shown->assetCount() - 1)) return;
  showNullsBtn().setDown(true);
}

int TassetForm::menuItemAssetsNewConstantPriceClick() {
  TPortfolio* shown = portfolio();
  if (!shown) return -7;
  THourglass hourglass;
  abortViewThreads();
  // In the portfolio's own currency: an asset without one has no currency
  // table to its portfolio, and its value could never be converted.
  const int code =
      guarded([&] { return shown->newAsset("", "", true, constantPriceFormat, "", shown->getCurrency()); });
  const TSheet& sheet = sheetPanel().sheet();
  if (code == 0) {
    showNewAsset();
    addDisplayRecord(sheet.getDefaultRowHeight(), sheet.getDefaultColWidth());
    setDefaultTransactionDisplayOrder(*shown->assets(shown->assetCount() - 1));
  } else {
    showObjects(-1, -1);
  }
  rebuildAllAuxiliaryViews();
  focusGrid();
  return code;
}

int TassetForm::menuItemAssetsNewVariablePriceClick() {
  TPortfolio* shown = portfolio();
  if (!downloadPickForm_ || !shown) return -7;
  if (!downloadPickForm_->execute()) return 0;
  THourglass hourglass;
  abortViewThreads();
  int code = 0;
  TDownloadItem item;
  const TSheet& sheet = sheetPanel().sheet();
  // One asset per item. A first item that fails ends it all; a later one
  // is skipped and those made stay, the last item's code counting.
  bool first = true;
  for (bool more = downloadPickForm_->getFirstDownloadItem(item); more;
       more = downloadPickForm_->getNextDownloadItem(item), first = false) {
    code = guarded([&] {
      return shown->newAsset(item.Name, item.Symbol, false, item.OutFormat, item.DataPath, item.Currency);
    });
    if (code != 0 && first) break;
    if (code != 0) continue;
    showNewAsset();
    addDisplayRecord(sheet.getDefaultRowHeight(), sheet.getDefaultColWidth());
    TAsset& made = *shown->assets(shown->assetCount() - 1);
    made.setViewProperty("QuoteDisplayOrder", std::to_string(shown->assetCount() + 1));
    setDefaultTransactionDisplayOrder(made);
  }
  portfolioTable()->rebuildDates();
  rebuildAllAuxiliaryViews();
  if (code != 0) showObjects(-1, -1);
  focusGrid();
  return code;
}

// ---- Deletion ----

std::string TassetForm::deleteItemCaption(int index) const {
  const std::string name = objectName(index).empty() ? objectSymbol(index) : objectName(index);
  return name.empty() ? deleteAssetText : name;
}

void TassetForm::delBtnClick() {
  const TPortfolio* shown = portfolio();
  if (!shown || shown->assetCount() < 1) return;
  noteEditPanelExit();
  const int selected = selectedObjectIndex();
  if (selected < 0) {
    if (shown->assetCount() > 1) menuItemAssetsDelPickClick();
    return;
  }
  const std::string name = objectName(selected).empty() ? objectSymbol(selected) : objectName(selected);
  delAssetPopUpMenu_.items()[0]->caption =
      name.empty() ? deleteAssetText : std::string(deleteAssetText) + " \"" + ampersandsDoubled(name) + "\"";
  popupAtTopRight(delAssetPopUpMenu_, *delBtn_, handle());
}

int TassetForm::delAssetsCore(TPortfolio& shown, const std::vector<int>& indexes) {
  const int countBefore = shown.assetCount();
  std::string label;
  std::vector<int32_t> numbers;
  // Each asset's notes of this window and of the Quotes window go with it:
  // the next asset may be given the same number.
  std::vector<std::vector<std::string>> notesFiles;
  for (const int index : indexes) {
    const TAsset* going = shown.assets(index);
    if (going == nullptr) return -7;
    label = shortLabel(objectLabel(going->Name(), going->Symbol()));
    numbers.push_back(going->Number());
    notesFiles.emplace_back();
    for (const char* prefix : {"Asset_", "Quote_"})
      notesFiles.back().push_back(windowDir() + prefix + std::to_string(going->Number()) + ".TXT");
  }
  const std::string named = numbers.size() == 1 ? "The asset " + label + " was" : std::string("The assets were");
  std::string refusal;
  const int code = guarded([&] { return shown.deleteAssets(indexes, notesFiles, &refusal); });
  portfolioTable()->rebuildDates();
  const auto stays = [&](int32_t number) {
    for (int i = 0; i < shown.assetCount(); ++i)
      if (shown.assets(i)->Number() == number) return true;
    return false;
  };
  // The lines of those that went, from the last up, as the model took them out.
  int count = countBefore;
  for (size_t i = indexes.size(); i-- > 0;) {
    if (stays(numbers[i])) continue;
    dataSheet().removeDisplayRecord(indexes[i], count);
    --count;
  }
  const bool gone = count < countBefore;
  if (!refusal.empty())
    messages->show(handle(), deletionNotice(named, gone, refusal), commonString(4), MB_OK | MB_ICONWARNING);
  if (!gone) return code != 0 ? code : -4;
  forgetShownNotes();
  return code;
}

void TassetForm::afterDeletion(int code) {
  TSheet& sheet = sheetPanel().sheet();
  if (code != 0) {
    showObjects(-1, -1);
    rebuildAllAuxiliaryViews();
    return;
  }
  const bool rowWise = dataSheet().rowWise;
  int col = sheet.currentCol;
  int row = sheet.currentRow;
  int& line = rowWise ? row : col;
  // A deleted last line leaves the current cell one line up.
  if (line == (rowWise ? sheet.getRowCount() : sheet.getColCount())) --line;
  showObjects(col, row);
  if (!sheet.hasCurrentCell() && line >= 2 && dataSheet().lastLine() >= 2) {
    line = std::min(line, dataSheet().lastLine());
    sheet.setCurrentCell(col, row);
    sheetPanel().refresh();
  }
  rebuildAllAuxiliaryViews();
}

int TassetForm::menuItemAssetsDelSelectedClick() {
  TPortfolio* shown = portfolio();
  if (!shown || shown->assetCount() < 1) return -7;
  const int index = shown->assetCount() == 1 ? 0 : selectedObjectIndex();
  THourglass hourglass;
  abortViewThreads();
  dataSheet().getCellSizes(dataSheet().rowWise);
  dataSheet().getDisplayOrder();
  const int code = delAssetsCore(*shown, {index});
  afterDeletion(code);
  return code;
}

int TassetForm::menuItemAssetsDelPickClick() {
  TPortfolio* shown = portfolio();
  if (!shown || shown->assetCount() < 1) return -7;
  std::vector<int> indexes;
  if (shown->assetCount() == 1) {
    indexes.push_back(0);
  } else {
    updateAssetPickers();
    if (!assetPickForm_ || !assetPickForm_->execute() || assetPickForm_->selectedCount() <= 0) return 0;
    for (int index = assetPickForm_->getFirstAssetIndex(); index >= 0; index = assetPickForm_->getNextAssetIndex())
      indexes.push_back(index);
    std::sort(indexes.begin(), indexes.end());
  }
  THourglass hourglass;
  abortViewThreads();
  dataSheet().getCellSizes(dataSheet().rowWise);
  dataSheet().getDisplayOrder();
  const int code = delAssetsCore(*shown, indexes);
  afterDeletion(code);
  return code;
}

void TassetForm::updateAssetPickers() {
  if (!assetPickForm_) return;
  const TPortfolio* shown = portfolio();
  std::vector<std::pair<int, int>> order;
  for (int i = 0; shown && i < shown->assetCount(); ++i) {
    int32_t key = -1;
    if (!textToIntStrict(shown->assets(i)->getExternalProperty("DisplayOrder"), key)) key = -1;
    order.emplace_back(i, key);
  }
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
  assetPickForm_->listAssets(shown, order);
}
