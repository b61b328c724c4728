#include "windows/TransactionForm.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "controls/AssetPickForm.h"
#include "controls/FieldEditForm.h"
#include "controls/PickRows.h"
#include "controls/SheetPanel.h"
#include "model/Asset.h"
#include "model/ChangeStamps.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Prices.h"
#include "model/QuoteRecord.h"
#include "model/Transaction.h"
#include "platform/Application.h"
#include "platform/CalendarDates.h"
#include "platform/DateTime.h"
#include "platform/ExtControls.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "sheet/FieldTable.h"
#include "sheet/NumberText.h"
#include "sheet/Sheet.h"
#include "windows/DelTransForm.h"
#include "windows/SumTransForm.h"
#include "windows/TransactionEditing.h"
#include "windows/TransactionRanges.h"
#include "windows/TransactionSheet.h"
#include "windows/TransactionSizes.h"

namespace {

constexpr int firstLine = 2;
constexpr const char* noPortfolioText = "No portfolio selected";
constexpr const char* controlsFile = "TransactionControls.INI";
constexpr const char* fieldsFile = "TransactionFields.INI";

char firstOr(const std::string& text, char fallback) { return text.empty() ? fallback : text[0]; }

std::string cleanedText(std::string text) {
  const size_t start = text.find_first_not_of(' ');
  text.erase(0, start == std::string::npos ? text.size() : start);
  text.erase(0, std::min(text.find_first_not_of('='), text.size()));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

TtransactionForm::TtransactionForm() {
  helpContext = transactionHelpContext;
  buildControlBar();
  addBtn_->onClick = [this] { addBtnClick(); };
  delBtn_->onClick = [this] { delBtnClick(); };
  sumBtn_->onClick = [this] { sumBtnClick(); };
  sortAscendingBtn_->onClick = [this] { sortClick(true); };
  sortDescendingBtn_->onClick = [this] { sortClick(false); };
  firstDateBtn_->onClick = [this] { firstDateBtnClick(); };
  moveUpBtn_->onClick = [this] { moveClick(-1); };
  moveDownBtn_->onClick = [this] { moveClick(1); };
  renumberBtn_->onClick = [this] { renumberBtnClick(); };
  rowWiseBtn_->onClick = [this] { setRowWise(true); };
  colWiseBtn_->onClick = [this] { setRowWise(false); };
  showCellErrorsBtn_->onClick = [this] { sheetPanel_->setShowCellErrors(showCellErrorsBtn_->down()); };
  fixedBtn_->onClick = [this] { fixedBtnClick(); };
  sheetSetupBtn_->onClick = [this] { sheetSetupBtnClick(); };
  wholePortfolioBtn_->onClick = [this] { wholePortfolioBtnClick(); };
  assetComboBox_->onChange = [this] { assetComboBoxChange(); };

  sheetPanel_ = &add<TSheetPanel>();
  sheetPanel_->name = "sheetPanel";
  sheetPanel_->setAlign(TAlign::client);
  sheetPanel_->setDefaultRowHeight(-1);
  // The header line is the sheet's own first line.
  sheetPanel_->setShowRowCoords(false);
  sheetPanel_->setShowColCoords(false);
  // A soft transaction's flag shows the image list's true and false pictures.
  sheetPanel_->setTrueImageIndex(1);
  sheetPanel_->setFalseImageIndex(0);
  sheetPanel_->onSheetKeyDown = [this](WORD& key, TShiftState shift) {
    if (key == VK_INSERT) {
      key = 0;
      addBtnClick();
    } else if (key == VK_DELETE && (shift & ssCtrl)) {
      key = 0;
      delBtn_->performClick();
    }
  };
  // A number kept as a custom property takes numbers only, as the bound
  // numbers do.
  sheetPanel_->numberRequired = [this] {
    const TField* field = selectedTransaction() >= 0 ? fieldTable_->fieldAtPosition(currentField()) : nullptr;
    return field && field->holdsCustomProperty();
  };
  sheetPanel_->refuseBoundNumber = [this](double number) { return autoCompleteRefusal(number); };
  fieldTable_ = std::make_unique<TFieldTable>();
  builder_ = std::make_unique<TTransactionSheet>(sheetPanel_->sheet(), *fieldTable_);
  buildMenus();
}

TtransactionForm::~TtransactionForm() = default;

TdelTransForm& TtransactionForm::delTransForm() {
  if (!delTransForm_) delTransForm_ = std::make_unique<TdelTransForm>();
  return *delTransForm_;
}

TsumTransForm& TtransactionForm::sumTransForm() {
  if (!sumTransForm_) sumTransForm_ = std::make_unique<TsumTransForm>();
  return *sumTransForm_;
}

void TtransactionForm::setPortfolioTable(TPortfolioTable* table) {
  portfolioTable_ = table;
  sheetPanel_->sheet().portfolioTable = table;
}

void TtransactionForm::setCurrPickForm(TCurrencyPicker* picker) { sheetPanel_->currencyPicker = picker; }

void TtransactionForm::setSheetImageList(HIMAGELIST images) { sheetPanel_->setImageList(images); }

void TtransactionForm::setActiveScript(IActiveScript* engine) {
  sheetPanel_->sheet().setScriptEngine(engine, false);
  scriptStamp_ = changeStamp();
}

TPortfolio* TtransactionForm::portfolio() const {
  return portfolioTable_ && shownPortfolioSerial_ != 0 ? portfolioTable_->withSerial(shownPortfolioSerial_) : nullptr;
}

TPortfolio* TtransactionForm::currentPortfolio() const {
  return portfolioTable_ ? portfolioTable_->current() : nullptr;
}

std::string TtransactionForm::guiOptionsFile() const { return getDirectory("<DATA>") + "GUIoptions.INI"; }

void TtransactionForm::clearView() {
  folder_.clear();
  order_.clear();
  fieldTable_->clear();
  sheetPanel_->onRender = nullptr;
  sheetPanel_->onCellValueEdited = nullptr;
  sheetPanel_->sheet().clearCells();
  sheetPanel_->sheet().leftCol = 1;
  sheetPanel_->sheet().topRow = 1;
  if (parent()) parent()->setText(noPortfolioText);
  setVisible(false);
  sheetStamp_ = 0;
  scriptStamp_ = 0;
  shownPortfolioSerial_ = 0;
  shownAssetNumber_ = 0;
}

void TtransactionForm::loadView() {
  clearView();
  sheetPanel_->setSheetVisible(false);
  TPortfolio* shown = currentPortfolio();
  if (!shown) return;
  // From here until the next clearView the window reads and writes only
  // this portfolio: its order and sizes are indexed by its number list.
  shownPortfolioSerial_ = shown->Serial();
  updateAssetPickers();
  setVisible(true);
  folder_ = includeTrailingBackslash(shown->Folder());
  const TSheet& sheet = sheetPanel_->sheet();
  fieldTable_->loadFromFile(folder_ + fieldsFile, firstOr(sheet.decimalSeparator, '.'),
                            firstOr(sheet.listSeparator, ';'));
  fieldTable_->takeGridSizes(sheet.getDefaultRowHeight(), sheet.getDefaultColWidth());
  readControls(folder_ + controlsFile);
  order_.loadFromTransactions(*shown);
  showTransactions(-1, -1);
}

TSaveFailures TtransactionForm::saveView() {
  TSaveFailures failed;
  TPortfolio* shown = portfolio();
  if (folder_.empty() || !shown) return failed;
  captureOrder();
  order_.storeInTransactions(*shown);
  captureSizes();
  if (!writeControls(folder_ + controlsFile)) failed.push_back(folder_ + controlsFile);
  const TSheet& sheet = sheetPanel_->sheet();
  if (fieldTable_->save(firstOr(sheet.decimalSeparator, '.'), firstOr(sheet.listSeparator, ';')) != 0)
    failed.push_back(fieldTable_->FileName);
  return failed;
}

void TtransactionForm::tabEntered(IActiveScript* engine, double macrosLoadedAt) {
  TPortfolio* current = currentPortfolio();
  const bool scriptNewer = macrosLoadedAt > scriptStamp_;
  if (!current || current->Serial() != shownPortfolioSerial_) {
    clearView();
    if (scriptNewer) setActiveScript(engine);
    loadView();
  } else {
    const bool listNewer = current->AssetsChange() > sheetStamp_;
    const bool dataNewer = current->lastChange() > sheetStamp_;
    const TAsset* asset = current->currentAsset();
    if (scriptNewer) setActiveScript(engine);
    const bool assetMoved = asset ? asset->Number() != shownAssetNumber_ || asset->lastChange() > sheetStamp_
                                  : shownAssetNumber_ != 0;
    const bool whole = wholePortfolioBtn_->down();
    if ((!asset && shownAssetNumber_ != 0) || (!whole && assetMoved) || (whole && dataNewer)) {
      updateAssetPickers();
      order_.loadFromTransactions(*current);
      showTransactions(-1, -1);
    } else {
      if (listNewer || assetMoved) updateAssetPickers();
      if (scriptNewer) recomputeSheet();
    }
  }
}

void TtransactionForm::recomputeSheet() {
  TSheet& sheet = sheetPanel_->sheet();
  sheet.markAllDirty();
  sheet.recalculateAll(false);
  sheetPanel_->refresh();
  sheetStamp_ = changeStamp();
}

void TtransactionForm::updateAssetPickers() {
  assetComboBox_->clear();
  comboAssets_.clear();
  assetOrder_.clear();
  TPortfolio* shown = portfolio();
  if (!shown) return;
  std::vector<std::pair<int, int>> entries;
  for (int i = 0; i < shown->assetCount(); ++i) {
    int32_t order = -1;
    if (!textToIntStrict(shown->assets(i)->getExternalProperty("DisplayOrder"), order)) order = -1;
    entries.emplace_back(order, i);
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  assetOrder_.clear();
  for (const auto& [order, index] : entries) assetOrder_.emplace_back(index, order);
  if (assetPickForm_) assetPickForm_->listAssets(shown, assetOrder_);
  for (const auto& [order, index] : entries) {
    const TAsset* asset = shown->assets(index);
    assetComboBox_->addItem(assetCaption(*asset));
    comboAssets_.push_back(index);
    if (index == shown->currentAssetIndex()) assetComboBox_->setItemIndex(static_cast<int>(comboAssets_.size()) - 1);
  }
}

void TtransactionForm::assetComboBoxChange() {
  TPortfolio* shown = portfolio();
  if (!shown) return;
  const int entry = assetComboBox_->itemIndex();
  const int index = entry >= 0 && entry < static_cast<int>(comboAssets_.size()) ? comboAssets_[entry] : -1;
  shown->setCurrentAssetIndex(shown->assets(index) ? index : -1);
  if (index < 0 || !shown->assets(index)) assetComboBox_->setItemIndex(-1);
  if (!wholePortfolioBtn_->down()) wholePortfolioBtnClick();
}

void TtransactionForm::selectAssetEntry(int entry) {
  assetComboBox_->setItemIndex(entry);
  assetComboBoxChange();
}

void TtransactionForm::showTransactions(int col, int row) {
  TSheet& sheet = sheetPanel_->sheet();
  sheetPanel_->onRender = nullptr;
  sheetPanel_->onCellValueEdited = nullptr;
  sheetPanel_->setSheetVisible(false);
  const int left = sheet.leftCol;
  const int top = sheet.topRow;
  TPortfolio* shown = portfolio();
  const bool whole = wholePortfolioBtn_->down();
  sheetStamp_ = changeStamp();
  const int fields = builder_->build(shown, shown ? shown->currentAsset() : nullptr, whole, rowWise_, order_,
                                     fixedFieldsOn_);
  shownAssetNumber_ = shown && shown->currentAsset() ? shown->currentAsset()->Number() : 0;
  applySizes();
  const int lines = lineCount();
  const bool inData = col >= 1 && row >= 1 && (rowWise_ ? row <= lines + 1 && col <= sheet.getColCount()
                                                        : col <= lines + 1 && row <= sheet.getRowCount());
  if (inData)
    sheet.setCurrentCell(col, row);
  else
    sheet.setCurrentCell(-1, -1);
  sheet.leftCol = left;
  sheet.topRow = top;
  sheetPanel_->onRender = [this] { onSheetRender(); };
  sheetPanel_->onCellValueEdited = [this] { onCellValueEdited(); };
  sheetPanel_->setSheetVisible(fields > 0);
  sheetPanel_->refresh();
  onSheetRender();
}

int TtransactionForm::lineCount() const { return static_cast<int>(builder_->linePositions().size()); }

int TtransactionForm::currentLine() const {
  const TSheet& sheet = sheetPanel_->sheet();
  return rowWise_ ? sheet.currentRow : sheet.currentCol;
}

int TtransactionForm::currentField() const {
  const TSheet& sheet = sheetPanel_->sheet();
  return rowWise_ ? sheet.currentCol : sheet.currentRow;
}

int32_t TtransactionForm::selectedTransaction() const {
  return currentLine() >= firstLine ? builder_->transactionOnLine(currentLine()) : -1;
}

void TtransactionForm::showWithCurrent(int32_t number, int field) {
  for (int line = firstLine; line < firstLine + lineCount(); ++line)
    if (builder_->transactionOnLine(line) == number) {
      showWithCurrentLine(line, field);
      return;
    }
}

void TtransactionForm::showWithCurrentLine(int line, int field) {
  if (lineCount() == 0 || line < firstLine) return;
  TSheet& sheet = sheetPanel_->sheet();
  // A fixed field shows no current cell and takes no typing: the line's
  // first field past them stands in for it.
  field = std::max(field, (rowWise_ ? sheet.getFixedCols() : sheet.getFixedRows()) + 1);
  sheet.setCurrentCell(rowWise_ ? field : line, rowWise_ ? line : field);
  sheet.scrollToCurrentCell();
  sheetPanel_->refresh();
}

std::vector<int32_t> TtransactionForm::lineNumbers() const {
  std::vector<int32_t> numbers;
  numbers.reserve(static_cast<size_t>(lineCount()));
  for (int line = firstLine; line < firstLine + lineCount(); ++line) numbers.push_back(builder_->transactionOnLine(line));
  return numbers;
}

void TtransactionForm::captureSizes() {
  if (TPortfolio* shown = portfolio())
    captureTransactionSizes(sheetPanel_->sheet(), *fieldTable_, *shown, lineNumbers(), rowWise_);
}

void TtransactionForm::applySizes() {
  applyTransactionSizes(sheetPanel_->sheet(), *fieldTable_, portfolio(), lineNumbers(), rowWise_);
}

void TtransactionForm::captureOrder() {
  TPortfolio* shown = portfolio();
  if (!shown) return;
  const std::vector<int32_t>& numbers = shown->TransactionNumbers();
  std::unordered_map<int32_t, int> positions;
  for (size_t i = 0; i < numbers.size(); ++i) positions.emplace(numbers[i], static_cast<int>(i));
  std::vector<int> lines;
  for (int line = firstLine; line < firstLine + lineCount(); ++line) {
    const auto found = positions.find(builder_->transactionOnLine(line));
    if (found != positions.end()) lines.push_back(found->second);
  }
  order_.capture(lines, wholePortfolioBtn_->down(), numbers);
}

void TtransactionForm::onSheetRender() {
  TPortfolio* shown = portfolio();
  const bool any = shown && !shown->TransactionNumbers().empty();
  const bool selected = any && selectedTransaction() >= 0;
  const int lines = lineCount();
  addBtn_->setEnabled(shown != nullptr);
  firstDateBtn_->setEnabled(selected);
  delBtn_->setEnabled(shown && lines >= 1);
  sumBtn_->setEnabled(shown && lines >= 2);
  sortAscendingBtn_->setEnabled(selected && lines + 1 > 2);
  sortDescendingBtn_->setEnabled(selected && lines + 1 > 2);
  moveUpBtn_->setEnabled(selected && currentLine() > firstLine);
  moveDownBtn_->setEnabled(selected && currentLine() < firstLine + lines - 1);
  renumberBtn_->setEnabled(any);
  assetComboBox_->setEnabled(shown != nullptr);
}

void TtransactionForm::addBtnClick() {
  TPortfolio* shown = portfolio();
  // A grid that shows no field would show no new line either.
  if (!shown || shown->assetCount() == 0 || !sheetPanel_->sheetVisible()) return;
  // The only asset takes the new line even when it is not the one shown:
  // its lines are shown first, as when it is chosen in the list, so that
  // the new line is seen.
  if (shown->assetCount() == 1 && !wholePortfolioBtn_->down() && shown->currentAssetIndex() != 0) {
    const auto entry = std::find(comboAssets_.begin(), comboAssets_.end(), 0);
    if (entry == comboAssets_.end()) return;
    selectAssetEntry(static_cast<int>(entry - comboAssets_.begin()));
  }
  // The target assets: the only one, the current one, or those ticked in
  // the picker (one new line each) in the whole-portfolio view.
  std::vector<int> targets;
  if (shown->assetCount() == 1) {
    targets.push_back(0);
  } else if (!wholePortfolioBtn_->down()) {
    targets.push_back(shown->currentAssetIndex());
  } else if (assetPickForm_) {
    assetPickForm_->listAssets(shown, assetOrder_);
    if (!assetPickForm_->execute()) return;
    for (int index = assetPickForm_->getFirstAssetIndex(); index >= 0; index = assetPickForm_->getNextAssetIndex())
      targets.push_back(index);
  } else {
    targets.push_back(shown->currentAssetIndex());
  }
  int insertionLine = selectedTransaction() >= 0 ? currentLine() : firstLine + lineCount() - 1;
  const int field = currentField();
  int32_t added = -1;
  for (const int assetIndex : targets) {
    if (!shown->assets(assetIndex)) break;
    const int32_t anchor = builder_->transactionOnLine(insertionLine);
    captureSizes();
    captureOrder();
    if (shown->addTransaction(assetIndex, 0, currentDateTime(), 1, 0, 0, "", "", true) != 0) {
      showTransactions(-1, -1);
      const TAsset& asset = *shown->assets(assetIndex);
      tell("The new transaction of " + shortLabel(objectLabel(asset.Name(), asset.Symbol())) +
           " was not written: " + whyNoNewTransaction(*shown, asset) + ".");
      break;
    }
    const std::vector<int32_t>& numbers = shown->TransactionNumbers();
    const int newPosition = static_cast<int>(numbers.size()) - 1;
    const auto anchorAt = std::find(numbers.begin(), numbers.end(), anchor);
    order_.placeAdded(newPosition, anchorAt == numbers.end() ? -1 : static_cast<int>(anchorAt - numbers.begin()),
                      insertionLine, wholePortfolioBtn_->down(), numbers);
    added = numbers[newPosition];
    showTransactions(-1, -1);
    ++insertionLine;
  }
  if (added >= 0) showWithCurrent(added, field);
  sheetPanel_->setFocus();
}

void TtransactionForm::setRowWise(bool rowWise) {
  rowWiseBtn_->setDown(rowWise);
  colWiseBtn_->setDown(!rowWise);
  if (rowWise == rowWise_) return;
  const TSheet& sheet = sheetPanel_->sheet();
  const int col = sheet.currentCol;
  const int row = sheet.currentRow;
  captureSizes();
  captureOrder();
  rowWise_ = rowWise;
  showTransactions(row, col);
}

void TtransactionForm::fixedBtnClick() {
  fixedFieldsOn_ = fixedBtn_->down();
  captureSizes();
  const TSheet& sheet = sheetPanel_->sheet();
  showTransactions(sheet.currentCol, sheet.currentRow);
}

void TtransactionForm::sheetSetupBtnClick() {
  THourglass hourglass;
  captureSizes();
  captureOrder();
  TfieldEditForm editor;
  editor.helpContext = setupHelpContext;
  editor.setSheetImageList(sheetPanel_->imageList());
  editor.setCurrPickForm(sheetPanel_->currencyPicker);
  editor.setTextEditorPopupMenu(textEditorPopupMenu_);
  editor.loadTranslations(languageFile_);
  editor.loadGUIoptions(guiOptionsFile());
  const TSheet& sheet = sheetPanel_->sheet();
  const char decimal = firstOr(sheet.decimalSeparator, '.');
  const char list = firstOr(sheet.listSeparator, ';');
  const auto rebuild = [this] {
    const TSheet& current = sheetPanel_->sheet();
    showTransactions(current.currentCol, current.currentRow);
  };
  if (onSetupShown) onSetupShown(editor);
  const bool accepted = editor.execute(*fieldTable_, [&] {
    fieldTable_->save(decimal, list);
    rebuild();
  });
  editor.saveGUIoptions(guiOptionsFile());
  if (!accepted) return;
  fieldTable_->save(decimal, list);
  rebuild();
}

void TtransactionForm::delSelectedClick() {
  TPortfolio* shown = portfolio();
  const int32_t number = selectedTransaction();
  if (!shown || number < 0) return;
  const int col = sheetPanel_->sheet().currentCol;
  const int row = sheetPanel_->sheet().currentRow;
  captureSizes();
  captureOrder();
  const std::vector<int32_t> before = shown->TransactionNumbers();
  std::string refusal;
  if (shown->deleteTransaction(number, &refusal) == 0) order_.keepAfterDeletion(before, shown->TransactionNumbers());
  const int lastLine = firstLine + lineCount() - 2;
  showTransactions(rowWise_ ? col : std::min(col, lastLine), rowWise_ ? std::min(row, lastLine) : row);
  tell(deletionNotice("The transaction " + std::to_string(number) + " was", false, refusal));
}

std::vector<TAsset*> TtransactionForm::rangeAssets(const TPortfolio& shown, bool whole, TAsset* asset) {
  if (!whole) return {asset};
  std::vector<TAsset*> assets;
  for (int i = 0; i < shown.assetCount(); ++i) assets.push_back(shown.assets(i));
  return assets;
}

void TtransactionForm::tell(const std::string& notice) {
  if (!notice.empty()) messages->show(handle(), notice, commonString(4), MB_OK | MB_ICONWARNING);
}

void TtransactionForm::delRangeClick() {
  TPortfolio* shown = portfolio();
  if (!shown) return;
  const bool whole = wholePortfolioBtn_->down();
  TAsset* asset = shown->currentAsset();
  if (!whole && (!asset || asset->transactionCount() < 1)) return;
  captureSizes();
  captureOrder();
  int32_t lowest = 0;
  int32_t highest = 0;
  bool found = false;
  bool foundHighest = false;
  if (whole) {
    shown->minTransactionNumber(lowest, found);
    shown->maxTransactionNumber(highest, foundHighest);
  } else {
    asset->minTransactionNumber(lowest, found);
    asset->maxTransactionNumber(highest, foundHighest);
  }
  if (!found || !foundHighest) return;
  const int32_t selected = selectedTransaction();
  int32_t first = selected >= 0 ? selected : lowest;
  int32_t last = selected >= 0 ? selected : highest;
  TdelTransForm& dialog = delTransForm();
  dialog.loadGUIoptions(guiOptionsFile());
  const bool accepted = dialog.execute(lowest, highest, first, last);
  dialog.saveGUIoptions(guiOptionsFile());
  if (!accepted) return;
  const std::vector<int32_t> before = shown->TransactionNumbers();
  const int anchor = rangeAnchor(before, selected);
  std::string refusal;
  deleteTransactionRange(*shown, rangeAssets(*shown, whole, asset), first, last, refusal);
  const bool went = shown->TransactionNumbers().size() < before.size();
  order_.keepAfterDeletion(before, shown->TransactionNumbers());
  // The line where the range began: what stood after it moves up into it.
  const int line = firstLine + order_.countBefore(anchor, shownEntries(*shown, whole, asset));
  const int field = currentField();
  showTransactions(-1, -1);
  showWithCurrentLine(std::min(line, firstLine + lineCount() - 1), field);
  const std::string range = first == last
                                ? "transaction " + std::to_string(first) + " was"
                                : "transactions " + std::to_string(first) + " to " + std::to_string(last) + " were";
  tell(deletionNotice("The " + range, went, refusal));
}

void TtransactionForm::sumBtnClick() {
  TPortfolio* shown = portfolio();
  if (!shown) return;
  const bool whole = wholePortfolioBtn_->down();
  TAsset* asset = shown->currentAsset();
  if (!whole && (!asset || asset->transactionCount() < 2)) return;
  captureSizes();
  captureOrder();
  const std::vector<int32_t> before = shown->TransactionNumbers();
  const int32_t selected = selectedTransaction();
  const int anchor = rangeAnchor(before, selected);
  const TSheet& sheet = sheetPanel_->sheet();
  const int keptCol = selected >= 0 ? sheet.currentCol : -1;
  const int keptRow = selected >= 0 ? sheet.currentRow : -1;
  double lowest = 0;
  double highest = 0;
  bool found = false;
  bool foundHighest = false;
  if (whole) {
    shown->firstTradeDate(lowest, found);
    shown->lastTradeDate(highest, foundHighest);
  } else {
    asset->firstTransactionDate(lowest, found);
    asset->lastTransactionDate(highest, foundHighest);
  }
  if (!found || !foundHighest) return;
  double start = lowest;
  double end = selected >= 0 ? shown->findTransaction(selected)->DateTime() : highest;
  double destination = end;
  bool deleteSource = true;
  TsumTransForm& dialog = sumTransForm();
  dialog.loadGUIoptions(guiOptionsFile());
  const bool accepted = dialog.execute(start, end, deleteSource, destination, lowest, highest);
  dialog.saveGUIoptions(guiOptionsFile());
  if (!accepted) return;
  int merged = 0;
  std::string refusal;
  {
    // Merging a whole portfolio rewrites many transaction files.
    THourglass hourglass;
    mergeTransactions(*shown, rangeAssets(*shown, whole, asset), deleteSource, merged, destination, start, end,
                      refusal);
  }
  int kept = 0;
  if (merged > 0)
    kept = order_.placeMerged(anchor, merged, before, shown->TransactionNumbers(), shownEntries(*shown, whole, asset));
  else
    order_.keepAfterDeletion(before, shown->TransactionNumbers());
  const int field = currentField();
  showTransactions(keptCol, keptRow);
  if (merged > 0)
    showWithCurrentLine(firstLine + kept, field);
  else if (selected < 0)
    showWithCurrentLine(firstLine + lineCount() - 1, field);
  tell(deletionNotice("The transactions were", merged > 0, refusal, "merged"));
}

int TtransactionForm::rangeAnchor(const std::vector<int32_t>& numbers, int32_t selected) const {
  const auto selectedAt = std::find(numbers.begin(), numbers.end(), selected);
  return selectedAt != numbers.end() && selectedAt - numbers.begin() < order_.size()
             ? order_.pair(static_cast<int>(selectedAt - numbers.begin())).portfolioOrder
             : order_.largestPortfolioOrder();
}

std::vector<bool> TtransactionForm::shownEntries(const TPortfolio& shown, bool whole, const TAsset* asset) const {
  const std::vector<int32_t>& numbers = shown.TransactionNumbers();
  std::vector<bool> inView(numbers.size(), true);
  if (!whole)
    for (size_t i = 0; i < numbers.size(); ++i) inView[i] = shown.findTransactionAsset(numbers[i]) == asset;
  return inView;
}

void TtransactionForm::sortClick(bool ascending) {
  const int32_t selected = selectedTransaction();
  if (selected < 0 || lineCount() < 2) return;
  TSheet& sheet = sheetPanel_->sheet();
  const int field = currentField();
  const int lastLine = firstLine + lineCount() - 1;
  const int lastOther = rowWise_ ? sheet.getColCount() : sheet.getRowCount();
  captureSizes();
  if (!sheet.sortRange(ascending, rowWise_, firstLine, lastLine, field, 1, lastOther)) return;
  captureOrder();
  showTransactions(-1, -1);
  showWithCurrent(selected, field);
}

void TtransactionForm::moveClick(int step) {
  const int32_t selected = selectedTransaction();
  const int line = currentLine();
  const int target = line + step;
  if (selected < 0 || target < firstLine || target >= firstLine + lineCount()) return;
  TSheet& sheet = sheetPanel_->sheet();
  const int field = currentField();
  if (!(rowWise_ ? sheet.exchangeRows(line, target) : sheet.exchangeColumns(line, target))) return;
  captureSizes();
  captureOrder();
  showTransactions(-1, -1);
  showWithCurrent(selected, field);
}

void TtransactionForm::renumberBtnClick() {
  TPortfolio* shown = portfolio();
  if (!shown || shown->TransactionNumbers().empty()) return;
  std::vector<int32_t> lineNumbers;
  for (int line = firstLine; line < firstLine + lineCount(); ++line) {
    const int32_t number = builder_->transactionOnLine(line);
    if (shown->findTransaction(number)) lineNumbers.push_back(number);
  }
  // Planned whole first: a renumbering that cannot finish changes nothing.
  const auto plan = planRenumbering(lineNumbers, shown->TransactionNumbers());
  if (!plan) return;
  captureSizes();
  captureOrder();
  std::vector<TTransaction*> transactions;
  for (const int32_t number : lineNumbers) transactions.push_back(shown->findTransaction(number));
  // The number list is rebuilt in storage order: the order entries follow
  // their transactions to their new places.
  std::vector<TTransaction*> byPosition;
  for (const int32_t number : shown->TransactionNumbers()) byPosition.push_back(shown->findTransaction(number));
  // Through numbers no transaction holds, so that no two meet on the way.
  for (size_t i = 0; i < transactions.size(); ++i) transactions[i]->setNumber(-static_cast<int32_t>(i) - 2);
  for (size_t i = 0; i < transactions.size(); ++i) transactions[i]->setNumber((*plan)[i]);
  shown->rebuildTransactionNumbers();
  const std::vector<int32_t>& renumbered = shown->TransactionNumbers();
  std::unordered_map<int32_t, int> newPositions;
  for (size_t i = 0; i < renumbered.size(); ++i) newPositions.emplace(renumbered[i], static_cast<int>(i));
  std::vector<int> moves;
  for (const TTransaction* transaction : byPosition) {
    const auto found = transaction ? newPositions.find(transaction->Number()) : newPositions.end();
    moves.push_back(found == newPositions.end() ? -1 : found->second);
  }
  order_.movePositions(moves, renumbered);
  const TSheet& sheet = sheetPanel_->sheet();
  showTransactions(sheet.currentCol, sheet.currentRow);
}

void TtransactionForm::firstDateBtnClick() {
  TPortfolio* shown = portfolio();
  const int32_t selected = selectedTransaction();
  if (!shown || selected < 0) return;
  TAsset* asset = shown->findTransactionAsset(selected);
  TTransaction* transaction = shown->findTransaction(selected);
  if (!asset || !transaction || asset->Prices().isNull() || asset->Prices().count() == 0) return;
  double date = 0;
  TQuoteRecord quote;
  asset->Prices().ensureSorted();
  asset->Prices().getRecordBySortedIndex(0, date, quote);
  if (quote.Error || !(quote.Mask & quoteCloseBit) || !transactionCanHoldAmount(quote.Close)) return;
  transaction->setDateTime(date);
  transaction->setUnits(1);
  transaction->setValue(quote.Close);
  transaction->setFees(0);
  recomputeSheet();
}

void TtransactionForm::wholePortfolioBtnClick() {
  captureSizes();
  const int32_t selected = selectedTransaction();
  const int field = currentField();
  showTransactions(-1, -1);
  if (selected >= 0) showWithCurrent(selected, field);
}

void TtransactionForm::onCellValueEdited() {
  TPortfolio* shown = portfolio();
  const int32_t selected = selectedTransaction();
  if (!shown || selected < 0) return;
  const TField* field = fieldTable_->fieldAtPosition(currentField());
  TTransaction* transaction = shown->findTransaction(selected);
  if (!field || !transaction) return;
  TSheet& sheet = sheetPanel_->sheet();
  const bool priced = field->Kind >= transactionDateKind && field->Kind <= transactionValueKind;
  if (autoCompleteBtn_->down() && priced) {
    TAsset* asset = shown->findTransactionAsset(selected);
    long double close = 0;
    if (!asset || !latestCloseAtOrBefore(asset->Prices(), transaction->DateTime(), close)) return;
    TTradeAmounts amounts{transaction->Units(), transaction->Value(), transaction->Fees()};
    if (!autoCompleteAmounts(field->Kind, close, amounts) || !transactionCanHoldAmounts(amounts)) return;
    transaction->setUnits(amounts.units);
    transaction->setValue(amounts.value);
    transaction->setFees(amounts.fees);
    recomputeSheet();
    return;
  }
  if (!field->holdsCustomProperty()) return;
  std::string text = sheet.getCurrentCellText(false);
  if (field->Kind == 1 || field->Kind == 3 || field->Kind == 4) {
    if (sheet.decimalSeparator.size() == 1) std::replace(text.begin(), text.end(), sheet.decimalSeparator[0], '.');
  } else {
    // A custom text never becomes a formula.
    text = cleanedText(text);
    sheet.setCurrentCellString(text);
  }
  transaction->setCustomProperty(field->Symbol, text);
}

std::string TtransactionForm::autoCompleteRefusal(double number) const {
  TPortfolio* shown = portfolio();
  const int32_t selected = selectedTransaction();
  if (!autoCompleteBtn_->down() || !shown || selected < 0) return std::string();
  const TField* field = fieldTable_->fieldAtPosition(currentField());
  const TTransaction* transaction = shown->findTransaction(selected);
  TAsset* asset = shown->findTransactionAsset(selected);
  if (!field || !transaction || !asset) return std::string();
  double dateTime = transaction->DateTime();
  const double day = std::trunc(dateTime);
  TTradeAmounts amounts{transaction->Units(), transaction->Value(), transaction->Fees()};
  switch (field->Kind) {
    case transactionDateKind: dateTime = combineDateAndTime(number, std::fabs(dateTime - day)); break;
    case transactionTimeKind: dateTime = combineDateAndTime(day, number); break;
    case transactionUnitsKind: amounts.units = number; break;
    case transactionValueKind: amounts.value = number; break;
    default: return std::string();
  }
  long double close = 0;
  if (!latestCloseAtOrBefore(asset->Prices(), dateTime, close) || !autoCompleteAmounts(field->Kind, close, amounts) ||
      transactionCanHoldAmounts(amounts)) {
    return std::string();
  }
  const bool typed = field->Kind == transactionUnitsKind || field->Kind == transactionValueKind;
  // A typed number stays in its editor for the user to correct.
  return std::string("The value, units times the price, would be too large to keep. ") +
         (typed ? "Type a smaller number, or press Esc to leave the transaction as it was."
                : "The transaction stays as it was.");
}
