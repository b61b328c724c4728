#include "windows/QuoteEditor.h"

#include <algorithm>
#include <cmath>

#include "controls/PickRows.h"
#include "controls/ResizablePanel.h"
#include "controls/SheetPanel.h"
#include "controls/SpinButton.h"
#include "controls/ThresholdText.h"
#include "model/Asset.h"
#include "model/LanguageStrings.h"
#include "model/PriceCache.h"
#include "model/PortfolioTable.h"
#include "platform/Colors.h"
#include "platform/ExtControls.h"
#include "platform/StdControls.h"
#include "sheet/Cell.h"
#include "sheet/NumberText.h"
#include "sheet/ValueCells.h"

namespace {

constexpr int headerRow = 1;
constexpr int firstRow = 2;
constexpr std::uint8_t numberKind = 1;
constexpr std::uint8_t stringKind = 2;
constexpr std::uint8_t dateKind = 3;
constexpr std::uint8_t unavailableState = errNA;
constexpr std::uint8_t invalidState = errValue;
// Cells that keep a commit from writing: empty or not a number.
constexpr TColor blockingColor = clYellow;
// A refusal lists this many blocking cells at most.
constexpr size_t listedBlockingCells = 8;
constexpr int dateHeader = 7;
constexpr int firstFieldHeader = 8;
constexpr int minimumColumnWidth = 6;

}  // namespace

TQuoteEditor::TQuoteEditor(TControl* parent) : TPanel(parent) {
  setBevelOuter(TBevelCut::none);
  quoteEdControlBar_ = &add<TControlBar>();
  quoteEdControlBar_->name = "quoteEdControlBar";
  quoteEdControlBar_->setBounds(0, 0, 500, 26);
  TPanel* group = nullptr;
  int left = 0;
  const auto startGroup = [&](TPanel*& member, const char* name) {
    member = &quoteEdControlBar_->add<TPanel>();
    member->setBevelOuter(TBevelCut::none);
    member->name = name;
    group = member;
    left = 0;
  };
  // The hint is the button's caption too, which names it to screen readers;
  // the picture shows in its place.
  auto button = [&](const char* glyph, const char* hint, int width, std::function<void()> action) {
    TToolButton& made = group->add<TToolButton>(hint);
    made.setHint(hint);
    toolGlyphs_.apply(made, glyph);
    made.setBounds(left, 0, width, 22);
    made.setEnabled(false);
    made.onClick = std::move(action);
    left += width;
    group->setSize(left, 22);
    return &made;
  };
  startGroup(quoteCreationControlsPanel_, "quoteCreationControlsPanel");
  quoteNewBtn_ = button("NEWBMP", "New", 36, [this] { quoteNewBtnClick(); });
  quoteDelBtn_ = button("DELBMP", "Delete", 30, [this] { quoteDelBtnClick(); });
  quoteUnavailableBtn_ = button("UNAVAILABLEBMP", "Clear", 30, [this] { quoteUnavailableBtnClick(); });
  startGroup(quoteSortPanel_, "quoteSortPanel");
  quoteSortDescendingBtn_ = button("SORTDESCBMP", "Sort descending", 30, [this] { quoteSort(false); });
  quoteSortAscendingBtn_ = button("SORTASCBMP", "Sort ascending", 30, [this] { quoteSort(true); });
  startGroup(quoteFieldControlsPanel_, "quoteFieldControlsPanel");
  quoteAddBtn_ = button("ADDOPBMP", "Add", 22, [this] { quoteArithmetic(TQuoteEditorRows::addOperation); });
  quoteSubBtn_ = button("SUBOPBMP", "Subtract", 22, [this] { quoteArithmetic(TQuoteEditorRows::subtractOperation); });
  quoteMulBtn_ = button("MULOPBMP", "Multiply", 22, [this] { quoteArithmetic(TQuoteEditorRows::multiplyOperation); });
  quoteDivBtn_ = button("DIVOPBMP", "Divide", 22, [this] { quoteArithmetic(TQuoteEditorRows::divideOperation); });
  quoteArgEdit_ = &group->add<TEdit>();
  quoteArgEdit_->setBounds(left + 2, 0, 70, 21);
  quoteArgEdit_->setText("0");
  quoteArgEdit_->onExit = [this] {
    double x = 0;
    if (!localTextToFloat(quoteArgEdit_->text(), x)) x = 0;
    quoteArgEdit_->setText(thresholdFloatToString(x));
  };
  quoteArgUpDown_ = &group->add<TSpinButton>();
  quoteArgUpDown_->setBounds(left + 72, 0, 16, 21);
  // The spin button repeats on its own schedule, floored and ended when
  // the button is released, capture is lost or the window goes.
  quoteArgUpDown_->onSpin = [this](int direction) {
    double x = 0;
    if (!localTextToFloat(quoteArgEdit_->text(), x)) x = 0;
    quoteArgEdit_->setText(thresholdFloatToString(x + direction));
    const int end = static_cast<int>(quoteArgEdit_->text().size());
    quoteArgEdit_->setSelection(end, end);
  };
  group->setSize(left + 90, 22);
  startGroup(quoteUpdatePanel_, "quoteUpdatePanel");
  quoteDiscardEditsBtn_ = button("DISCARDBMP", "Discard changes", 50, [this] { quoteDiscardEditsBtnClick(); });
  quoteCommitEditsBtn_ = button("COMMITBMP", "Commit changes", 50, [this] { quoteCommitEditsBtnClick(); });
  for (TPanel* each : toolGroups()) quoteEdControlBar_->addBand(*each, TControlBar::bandWidthFor(*each));

  quotesPanel_ = &add<TSheetPanel>();
  quotesPanel_->setAlign(TAlign::client);
  quotesPanel_->setMultiSelect(true);
  quotesPanel_->setColsSizable(true);
  quotesPanel_->setRowsSizable(false);
  quotesPanel_->setInnerSizable(false);
  quotesPanel_->setShowGridLines(true);
  quotesPanel_->setShowCellErrors(false);
  quotesPanel_->setDefaultMaxDecimals(6);
  quotesPanel_->setDefaultFixedDecimals(false);
  quotesPanel_->setDefaultColWidth(85);
  quotesPanel_->setShowColCoords(false);
  quotesPanel_->setShowRowCoords(false);
  quotesPanel_->setDefaultRowHeight(-1);
  quotesPanel_->setSheetVisible(false);
  quotesPanel_->onSheetKeyDown = [this](WORD& key, TShiftState shift) {
    if (key == VK_INSERT) {
      key = 0;
      quoteNewBtnClick();
    } else if (key == VK_DELETE && (shift & ssCtrl)) {
      key = 0;
      quoteDelBtnClick();
    } else if (key == VK_DELETE) {
      // The grid's own Delete would write 0 into a number or date cell.
      key = 0;
      quoteEmptyCells();
    }
  };
  buildMenu();
}

std::array<TPanel*, 4> TQuoteEditor::toolGroups() const {
  return {quoteCreationControlsPanel_, quoteSortPanel_, quoteUpdatePanel_, quoteFieldControlsPanel_};
}

void TQuoteEditor::buildMenu() {
  quotesSheetPopupMenu_.add("&Maximized", [this] {
    // The editor fills its tile: the tile is what maximises.
    if (auto* tile = dynamic_cast<TResizablePanel*>(parent())) {
      if (tile->canFocus()) tile->setFocus();
      tile->toggleMaximized();
    }
  });
  TMenuItem& toolbar = quotesSheetPopupMenu_.add("&Toolbar");
  toolbar.add("S&how", [this] {
    quoteEdControlBar_->setVisible(!quoteEdControlBar_->visible());
    realign();
  });
  const char* const groupCaptions[] = {"&Quotes", "&Sort", "&Changes", "C&ompute"};
  for (int i = 0; i < 4; ++i)
    toolbar.add(groupCaptions[i], [this, i] {
      TPanel& shown = *toolGroups()[static_cast<size_t>(i)];
      quoteEdControlBar_->setBandVisible(shown, !shown.visible());
    });
  const auto group = [this](const char* caption, std::initializer_list<std::pair<const char*, TToolButton*>> items) {
    TMenuItem& menu = quotesSheetPopupMenu_.add(caption);
    for (const auto& [itemCaption, button] : items)
      buttonItems_.emplace_back(&menu.add(itemCaption, [button = button] { button->performClick(); }), button);
  };
  group("&Quotes", {{"&New", quoteNewBtn_}, {"&Delete", quoteDelBtn_}, {"&Clear", quoteUnavailableBtn_}});
  group("&Sort", {{"&Ascending", quoteSortAscendingBtn_}, {"&Descending", quoteSortDescendingBtn_}});
  group("&Changes", {{"&Discard", quoteDiscardEditsBtn_}, {"&Commit", quoteCommitEditsBtn_}});
  group("C&ompute",
        {{"&Add", quoteAddBtn_}, {"&Subtract", quoteSubBtn_}, {"&Multiply", quoteMulBtn_}, {"&Divide", quoteDivBtn_}});
  quotesSheetPopupMenu_.onPopup = [this] { quotesSheetPopupMenuPopup(); };
  quotesPanel_->setPopupMenu(&quotesSheetPopupMenu_);
  quoteEdControlBar_->setPopupMenu(&quotesSheetPopupMenu_);
}

void TQuoteEditor::quotesSheetPopupMenuPopup() {
  const auto* tile = dynamic_cast<const TResizablePanel*>(parent());
  quotesSheetPopupMenu_.items()[0]->checked = tile && tile->maximized();
  const auto& toolbar = quotesSheetPopupMenu_.items()[1]->items();
  toolbar[0]->checked = quoteEdControlBar_->visible();
  for (size_t i = 0; i < 4; ++i) toolbar[i + 1]->checked = toolGroups()[i]->visible();
  for (auto& [item, button] : buttonItems_) item->enabled = button->enabled();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

TQuoteEditor::~TQuoteEditor() {
  // The cells live in the blocks: they go first.
  quotesPanel_->sheet().clearCells();
}

void TQuoteEditor::showQuotes(TPortfolioTable* table, TAsset* asset, int col, int row) {
  table_ = table;
  asset_ = asset;
  if (asset)
    rows_.load(asset->Prices(), static_cast<uint16_t>(asset->priceFormatFields()));
  else
    rows_.clear();
  renderRows();
  showCurrentCell(col, row);
}

void TQuoteEditor::showCurrentCell(int col, int row) {
  TSheet& sheet = quotesPanel_->sheet();
  const bool inside = col >= 1 && col <= rows_.columnCount() && row >= firstRow && row < firstRow + rows_.rowCount();
  sheet.setCurrentCell(inside ? col : -1, inside ? row : -1);
  sheet.scrollToCurrentCell();
  quotesPanel_->refresh();
  quotesPanelRender();
}

void TQuoteEditor::renderRows() {
  TSheet& sheet = quotesPanel_->sheet();
  quotesPanel_->onRender = nullptr;
  quotesPanel_->onCellValueEdited = nullptr;
  const int left = sheet.leftCol;
  const int top = sheet.topRow;
  quotesPanel_->setSheetVisible(false);
  sheet.clearCells();
  dateBlock_ = {};
  valueBlock_ = {};
  sheet.setFixedRows(0);
  if (asset_) {
    const int columns = rows_.columnCount();
    const int records = rows_.rowCount();
    sheet.setColCount(columns);
    sheet.setRowCount(records + 1);
    for (int column = 1; column <= columns; ++column) {
      sheet.setCurrentCell(column, headerRow);
      const int header = column == 1 ? dateHeader : firstFieldHeader + rows_.fieldOfColumn(column - 1);
      sheet.setCurrentCellContent(stringKind, commonString(header), 0);
      sheet.setColWidth(column, std::max(minimumColumnWidth, quoteColWidths[widthEntry(column)]));
    }
    sheet.setFixedRows(1);
    if (records > 0) {
      // Two allocations for the whole grid, however long the series.
      if (columns > 1) sheet.createCellRange(numberKind, alignRight, valueBlock_, RECT{2, firstRow, columns, records + 1});
      sheet.createCellRange(dateKind, 0, dateBlock_, RECT{1, firstRow, 1, records + 1});
      for (int row = 0; row < records; ++row)
        for (int column = 0; column < columns; ++column) {
          auto* cell = static_cast<TCellDouble*>(sheet.getCell(column + 1, row + firstRow));
          const TQuoteEditorRows::TCell& value = rows_.cell(column, row);
          const bool blocking = rows_.blocksCommit(column, row);
          if (value.state == TQuoteEditorRows::cellValid)
            cell->setValue(static_cast<double>(value.value));
          else
            cell->setState(value.state == TQuoteEditorRows::cellInvalid ? invalidState : unavailableState);
          if (value.changed || blocking) {
            sheet.setSelection(column + 1, row + firstRow, column + 1, row + firstRow);
            sheet.setSelectionFillColor(blocking ? blockingColor : clRed);
          }
        }
    }
    quotesPanel_->setMaxVisibleRow(records + 1);
    sheet.leftCol = left;
    sheet.topRow = top;
    quotesPanel_->setSheetVisible(true);
  } else {
    sheet.setRowCount(1);
  }
  quotesPanel_->onRender = [this] { quotesPanelRender(); };
  quotesPanel_->onCellValueEdited = [this] { quotesPanelCellValueEdited(); };
}

int TQuoteEditor::widthEntry(int column) const { return column == 1 ? 0 : 1 + rows_.fieldOfColumn(column - 1); }

void TQuoteEditor::getQuoteColWidths() {
  if (!asset_) return;
  for (int column = 1; column <= rows_.columnCount(); ++column)
    quoteColWidths[widthEntry(column)] = quotesPanel_->getColWidth(column);
}

void TQuoteEditor::quotesPanelRender() {
  const TSheet& sheet = quotesPanel_->sheet();
  const bool withAsset = asset_ != nullptr;
  const int row = sheet.currentRow;
  const bool current = withAsset && sheet.currentCol >= 1 && row >= 1 && row <= rows_.rowCount() + 1;
  const bool inData = current && row > 1;
  quoteNewBtn_->setEnabled(withAsset);
  quoteSortAscendingBtn_->setEnabled(current);
  quoteSortDescendingBtn_->setEnabled(current);
  for (TToolButton* button : {quoteDelBtn_, quoteUnavailableBtn_, quoteAddBtn_, quoteSubBtn_, quoteMulBtn_, quoteDivBtn_})
    button->setEnabled(inData);
  quoteDiscardEditsBtn_->setEnabled(withAsset && rows_.modified());
  quoteCommitEditsBtn_->setEnabled(withAsset && rows_.modified());
  getQuoteColWidths();
}

void TQuoteEditor::quotesPanelCellValueEdited() {
  TSheet& sheet = quotesPanel_->sheet();
  const int col = sheet.currentCol;
  const int row = sheet.currentRow;
  if (col < 1 || row < firstRow || row >= firstRow + rows_.rowCount()) return;
  const double number = sheet.cellHasValue(col, row) ? sheet.getCellNumber(col, row) : 0;
  const bool valid = sheet.cellHasValue(col, row) && std::isfinite(number);
  // A text that gave no number is kept as invalid: ignoring it would commit
  // the old value the grid no longer shows.
  if (valid)
    rows_.setValue(col - 1, row - firstRow, number);
  else
    rows_.setInvalid(col - 1, row - firstRow);
  sheet.setSelection(col, row, col, row);
  sheet.setSelectionFillColor(valid ? clRed : blockingColor);
  quotesPanelRender();
}

void TQuoteEditor::quoteEmptyCells() {
  const RECT area = selectedRows();
  if (rows_.emptyCells(area.left, area.top, area.right, area.bottom)) renderKeepingSelection();
}

void TQuoteEditor::renderKeepingSelection() {
  TSheet& sheet = quotesPanel_->sheet();
  const RECT selection = sheet.selection;
  const int col = sheet.currentCol;
  const int row = sheet.currentRow;
  renderRows();
  sheet.setCurrentCell(col, row);
  sheet.setSelection(selection.left, selection.top, selection.right, selection.bottom);
  quotesPanel_->refresh();
  quotesPanelRender();
}

RECT TQuoteEditor::selectedRows() const {
  const TSheet& sheet = quotesPanel_->sheet();
  RECT selection = sheet.selection;
  if (selection.left < 1 || selection.top < 1)
    selection = RECT{sheet.currentCol, sheet.currentRow, sheet.currentCol, sheet.currentRow};
  // To the rows class's coordinates: columns and rows from 0 below the header.
  return RECT{selection.left - 1, selection.top - firstRow, selection.right - 1, selection.bottom - firstRow};
}

void TQuoteEditor::quoteNewBtnClick() {
  if (!asset_) return;
  TSheet& sheet = quotesPanel_->sheet();
  int row = sheet.currentRow;
  if (row < firstRow || row >= firstRow + rows_.rowCount()) row = std::max(firstRow, std::min(sheet.topRow, firstRow + rows_.rowCount()));
  rows_.insertUnavailableRow(row - firstRow);
  renderRows();
  sheet.setCurrentCell(1, row);
  quotesPanel_->refresh();
  quotesPanelRender();
}

void TQuoteEditor::quoteDelBtnClick() {
  TSheet& sheet = quotesPanel_->sheet();
  const int col = std::max(1, sheet.currentCol);
  const int row = std::max(firstRow, sheet.currentRow);
  const int bottom = std::max(row, static_cast<int>(sheet.selection.bottom));
  if (!rows_.deleteRows(row - firstRow, bottom - firstRow)) return;
  renderRows();
  sheet.setCurrentCell(col, std::min(row, rows_.rowCount() + 1));
  quotesPanel_->refresh();
  quotesPanelRender();
}

void TQuoteEditor::quoteUnavailableBtnClick() {
  const RECT area = selectedRows();
  if (!rows_.markUnavailable(area.left, area.top, area.right, area.bottom)) return;
  const TSheet& sheet = quotesPanel_->sheet();
  const int col = sheet.currentCol;
  const int row = sheet.currentRow;
  renderRows();
  quotesPanel_->sheet().setCurrentCell(col, row);
  quotesPanel_->refresh();
  quotesPanelRender();
}

void TQuoteEditor::quoteSort(bool ascending) {
  TSheet& sheet = quotesPanel_->sheet();
  const int key = sheet.currentCol - 1;
  const RECT area = selectedRows();
  const bool block = area.top < area.bottom;
  if (!rows_.sortRows(block ? area.top : 0, block ? area.bottom : rows_.rowCount() - 1, key, ascending)) return;
  const int row = sheet.currentRow;
  renderRows();
  sheet.setCurrentCell(key + 1, row);
  quotesPanel_->refresh();
}

void TQuoteEditor::quoteArithmetic(TQuoteEditorRows::TOperation operation) {
  double a = 0;
  if (!localTextToFloat(quoteArgEdit_->text(), a)) return;
  const RECT area = selectedRows();
  if (rows_.applyArithmetic(operation, a, area.left, area.top, area.right, area.bottom)) renderKeepingSelection();
}

void TQuoteEditor::quoteDiscardEditsBtnClick() { showQuotes(table_, asset_, -1, -1); }

void TQuoteEditor::quoteCommitEditsBtnClick() {
  if (!table_ || !asset_) return;
  // Refused before the views are stopped: they go on as they were.
  const int check = rows_.commitCheck();
  if (check != TQuoteEditorRows::commitDone) {
    refuseCommit(check);
    return;
  }
  const TSheet& sheet = quotesPanel_->sheet();
  const int col = sheet.currentCol;
  const int row = sheet.currentRow;
  // The cursor stays on its day, wherever the rows dropped by the commit
  // and the sort put it.
  const bool onDay = row >= firstRow && row < firstRow + rows_.rowCount() &&
                     rows_.cell(0, row - firstRow).state == TQuoteEditorRows::cellValid;
  const long double day = onDay ? rows_.cell(0, row - firstRow).value : 0;
  if (onBeforeCommit) onBeforeCommit();
  const int result = rows_.commitAndSave(*asset_);
  if (result == 0) {
    if (asset_->priceHistoryInForexDir()) table_->reloadForexTables({}, nullptr);
    table_->rebuildDates();
    rows_.loadKeepingSort(asset_->Prices(), static_cast<uint16_t>(asset_->priceFormatFields()));
    renderRows();
    const int dayRow = onDay ? rows_.rowOfDate(day) : -1;
    showCurrentCell(col, dayRow >= 0 ? dayRow + firstRow : row);
  } else {
    refuseSave(result);
  }
  // Also after a failed save: the views stopped above must compute again.
  if (onCommitted) onCommitted();
}

void TQuoteEditor::refuseSave(int result) {
  const std::string file = "\"" + asset_->PriceHistoryLocation() + "\"";
  if (result != -8) {
    tell("The quotes were not committed: the price file " + file +
         " could not be read or written; another program may be using it.\r\n\r\nThe changes stay in the "
         "editor: commit them again later.");
    return;
  }
  const int answer = messages->show(
      handle(),
      "The quotes were not committed: the price file " + file +
          " changed since its quotes were read, and its lines no longer read in the format \"" +
          asset_->PriceHistoryFormatString() + "\" (or the file is gone), so the changes cannot be written into it." +
          "\r\n\r\nRead the file again? Yes drops the changes and shows what the file holds now; No keeps them "
          "in the editor.",
      commonString(2), MB_YESNO | MB_ICONWARNING);
  if (answer != IDYES) return;
  if (pricesTable().reload(&asset_->Prices()) != 0)
    tell("The price file " + file + " could not be read again; the quotes shown are those read before.");
  table_->rebuildDates();
  showQuotes(table_, asset_, -1, -1);
}

void TQuoteEditor::tell(const std::string& text) {
  if (onMessage)
    onMessage(text);
  else
    messages->show(handle(), text, commonString(4), MB_OK | MB_ICONWARNING);
}

void TQuoteEditor::refuseCommit(int reason) {
  std::string text = "Nothing to commit: a price history needs at least one row with a valid date.";
  if (reason == TQuoteEditorRows::commitBlocked) {
    const std::vector<TQuoteEditorRows::TCellPlace> blocking = rows_.blockingCells();
    TSheet& sheet = quotesPanel_->sheet();
    text = "The quotes were not committed: these cells hold no value.\r\n";
    bool undated = false;
    bool valueMissing = false;
    for (size_t i = 0; i < std::min(blocking.size(), listedBlockingCells); ++i) {
      const auto [column, row] = blocking[i];
      const bool dated = rows_.cell(0, row).state == TQuoteEditorRows::cellValid;
      const std::string line = dated ? sheet.getCellText(1, row + firstRow, true) : "line " + std::to_string(row + 1);
      const TQuoteEditorRows::TCellState state = rows_.cell(column, row).state;
      const char* reason = state == TQuoteEditorRows::cellEmpty     ? "empty"
                           : state == TQuoteEditorRows::cellInvalid ? "not a number"
                                                                    : "none, but the line has values";
      (state == TQuoteEditorRows::cellUnavailable ? undated : valueMissing) = true;
      text += "\r\n" + line + ", " + sheet.getCellText(column + 1, headerRow, true) + ": " + reason;
    }
    if (blocking.size() > listedBlockingCells)
      text += "\r\nand " + std::to_string(blocking.size() - listedBlockingCells) + " more";
    text += "\r\n";
    // A date cannot be marked unavailable: an undated line is told its own way.
    if (valueMissing) text += "\r\nType a value into each, or mark it unavailable with N/A.";
    if (undated) text += "\r\nA line with values needs a date; delete the line to drop it.";
    // The first of them becomes current, so that the user starts there.
    sheet.setCurrentCell(blocking[0].column + 1, blocking[0].row + firstRow);
    quotesPanel_->refresh();
  }
  tell(text);
}

bool TQuoteEditor::uncommittedRowsSettled() {
  // A value still in the grid's editor is one of the rows.
  if (!quotesPanel_->endEdit(TEditEnding::take)) return false;
  if (!asset_ || !rows_.modified()) return true;
  const std::string name = assetCaption(*asset_);
  const int answer =
      messages->show(handle(),
                     "The quotes of \"" + name +
                         "\" have changes that are not committed.\r\n\r\nCommit them? No discards them, Cancel "
                         "keeps them in the editor.",
                     commonString(2), MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDYES) {
    quoteCommitEditsBtnClick();
    return !rows_.modified();
  }
  if (answer != IDNO) return false;
  quoteDiscardEditsBtnClick();
  return true;
}
