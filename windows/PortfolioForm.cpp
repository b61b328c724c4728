#include "windows/PortfolioForm.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>
#include <limits>

#include "controls/SheetPanel.h"
#include "model/Asset.h"
#include "model/ChangeStamps.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/StdControls.h"
#include "sheet/Sheet.h"
#include "windows/FolioPickForm.h"
#include "windows/PortfolioObjects.h"
#include "windows/PortfolioTemplate.h"

namespace {

constexpr double noDate = std::numeric_limits<double>::quiet_NaN();

std::string foliosDirectory() { return getDirectory("<FOLIOS>"); }

}  // namespace

TportfolioForm::TportfolioForm()
    : TdataForm({"FolioFields.INI", "FolioControls.INI", "Folio_"}, "&Portfolios", portfolioHelpContext,
                fieldEditorHelpContext),
      folioPickForm_(std::make_unique<TfolioPickForm>()) {
  loadBtn_ = &addCreationButton("LOADBMP", "Load / Unload", 38, [this] { loadBtnClick(); });
  addBtn_ = &addCreationButton("NEWBMP", "New", 36, [this] { addBtnClick(); });
  copyBtn_ = &addCreationButton("COPYBMP", "Copy", 38, [this] { copyBtnClick(); });
  makeTemplateBtn_ = &addCreationButton("TEMPLATEBMP", "Make template", 38, [this] { makeTemplateBtnClick(); });
  delBtn_ = &addCreationButton("DELBMP", "Delete", 32, [this] { delBtnClick(); });
  copyBtn_->setEnabled(false);
  makeTemplateBtn_->setEnabled(false);
  delBtn_->setEnabled(false);
  buildPortfolioMenus();
}

TportfolioForm::~TportfolioForm() = default;

void TportfolioForm::buildPortfolioMenus() {
  TMenuItem& portfolios = sheetPopupMenu().add("&Portfolios");
  portfolios.add("&Load / Unload", [this] { loadBtnClick(); });
  portfolios.add("&New", [this] { addBtnClick(); });
  copyItem_ = &portfolios.add("&Copy", [this] { copyBtnClick(); });
  makeTemplateItem_ = &portfolios.add("&Make template", [this] { makeTemplateBtnClick(); });
  deleteItem_ = &portfolios.add("&Delete");
  deleteSelectedItem_ = &deleteItem_->add("&Selected portfolio", [this] { menuItemPortfoliosDeleteSelectedClick(); });
  const auto framePopup = sheetPopupMenu().onPopup;
  sheetPopupMenu().onPopup = [this, framePopup] {
    if (framePopup) framePopup();
    const int selected = selectedObjectIndex();
    copyItem_->enabled = copyBtn_->enabled();
    makeTemplateItem_->enabled = makeTemplateBtn_->enabled();
    deleteItem_->enabled = selected >= 0;
    if (selected >= 0) {
      const std::string name = objectName(selected);
      deleteSelectedItem_->caption = !name.empty() ? name : !objectSymbol(selected).empty() ? objectSymbol(selected)
                                                                                             : "Delete portfolio";
    }
  };
  delFolioPopUpMenu_.add("&Delete selected portfolio", [this] { menuItemPortfoliosDeleteSelectedClick(); });
}

std::unique_ptr<TDataObjects> TportfolioForm::objectsOf(TPortfolioTable& table) const {
  return std::make_unique<TPortfolioObjects>(table);
}

std::string TportfolioForm::windowDirectory() const { return foliosDirectory(); }

std::string TportfolioForm::objectName(int index) const {
  const TPortfolio* portfolio = portfolioTable() ? portfolioTable()->items(index) : nullptr;
  return portfolio ? portfolio->Name() : "";
}

std::string TportfolioForm::objectSymbol(int index) const {
  const TPortfolio* portfolio = portfolioTable() ? portfolioTable()->items(index) : nullptr;
  return portfolio ? portfolio->Symbol() : "";
}

std::string TportfolioForm::objectNotesFile(int index) const {
  const TPortfolio* portfolio = portfolioTable() ? portfolioTable()->items(index) : nullptr;
  return portfolio ? includeTrailingBackslash(portfolio->Folder()) + "Notes.TXT" : "";
}

std::string TportfolioForm::globalNotesFile() const { return windowDir() + "Notes.TXT"; }

double TportfolioForm::dateBound(TDateBound bound) {
  double date = 0;
  bool found = false;
  TPortfolioTable& table = *portfolioTable();
  switch (bound) {
    case TDateBound::first: table.firstTradeDate(date, found); break;
    case TDateBound::firstCommon: table.latestFirstTradeDate(date, found); break;
    case TDateBound::last: table.lastDate(date, found); break;
    case TDateBound::lastCommon: table.earliestLastQuoteDate(date, found); break;
  }
  return found ? date : noDate;
}

void TportfolioForm::selectionChanged() {
  if (onSelectionChanged) onSelectionChanged();
}

void TportfolioForm::readMoreGUIoptions(const TPortableIniFile& ini, TOptionsPlace place) {
  if (place != TOptionsPlace::dates) return;
  folioPickForm_->loadGUIoptions(ini);
  TDateWindow& dates = dataSheet().dates;
  const int stored = ini.readInteger("DateControls", "FromDate", static_cast<int>(truncDay(dates.fromDate())));
  dates.setFrom(stored);
  // A window reaching before the first day the pickers show loads clipped,
  // and the file is not left disagreeing with the pickers.
  if (static_cast<int>(truncDay(dates.fromDate())) != stored) optionCorrectedWhileLoading("DateControls", "FromDate");
}

void TportfolioForm::writeMoreGUIoptions(TPortableIniFile& ini, TOptionsPlace place) {
  if (place != TOptionsPlace::dates) return;
  ini.writeInteger("DateControls", "FromDate", static_cast<int>(truncDay(dataSheet().dates.fromDate())));
  folioPickForm_->saveGUIoptions(ini);
}

// ---- Load log ----

TProgressProcedure TportfolioForm::progress() {
  return [this](void*, int code, const std::string& text) { portfolioTableLoadNotify(code, text); };
}

void TportfolioForm::portfolioTableLoadNotify(int code, const std::string& text) {
  if (!loadLogMemo_) return;
  // The log keeps what fits twice into the memo, dropping the older half.
  const int lineHeight = std::max(1, std::abs(loadLogMemo_->font().height()));
  loadLog_.setLineCapacity(2 * loadLogMemo_->clientHeight() / lineHeight);
  if (!loadLog_.notify(code, text) || !loadLogMemo_->visible()) return;
  if (!loadLog_.repaintDue(std::chrono::steady_clock::now())) return;
  const TPortfolioLoadLog::TUpdate change = loadLog_.takeUpdate();
  const HWND memo = loadLogMemo_->handle();
  if (change.droppedLines > 0) {
    LRESULT droppedEnd = SendMessageA(memo, EM_LINEINDEX, static_cast<WPARAM>(change.droppedLines), 0);
    if (droppedEnd < 0) droppedEnd = GetWindowTextLengthA(memo);
    SendMessageA(memo, EM_SETSEL, 0, droppedEnd);
    SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
  }
  const int end = GetWindowTextLengthA(memo);
  SendMessageA(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(change.appended.c_str()));
  SendMessageA(memo, EM_SCROLLCARET, 0, 0);
  loadLogMemo_->update();
  application().processMessages();
}

void TportfolioForm::showLog() {
  loadLog_.clear();
  if (!loadLogMemo_) return;
  loadLogMemo_->setLines({});
  loadLogMemo_->show();
  loadLogMemo_->bringToFront();
}

void TportfolioForm::hideLog() {
  loadLog_.clear();
  if (!loadLogMemo_) return;
  loadLogMemo_->hide();
  loadLogMemo_->setLines({});
}

// ---- Start and shut-down ----

int TportfolioForm::loadPortfolios() {
  clearView();
  TPortfolioTable* table = portfolioTable();
  if (!table) return -7;
  TBusyScope busy(*this);
  showLog();
  int result = table->openAll(foliosDirectory(), true, progress(), this, true, false);
  const int forex = table->loadForexTables(progress(), this);
  if (result == 0) result = forex;
  hideLog();
  if (onPortfoliosLoaded_) onPortfoliosLoaded_();
  double last = 0;
  bool found = false;
  table->lastDate(last, found);
  if (found) dataSheet().dates.setTo(roundDay(last));
  loadView();
  // The program starts on a portfolio, so the title and the other tabs show
  // one without a click first.
  selectFirstLine();
  return result;
}

int TportfolioForm::savePortfolios(std::vector<std::string>* unsavedFiles, const TFileStamps* stamps) {
  TPortfolioTable* table = portfolioTable();
  if (!table) return -7;
  setObjectGUIproperties();
  noteEditPanelExit();
  return stamps ? table->saveAll(*stamps, unsavedFiles) : table->saveAll(unsavedFiles);
}

std::vector<std::string> TportfolioForm::recordFiles() {
  TPortfolioTable* table = portfolioTable();
  return table ? table->recordFiles() : std::vector<std::string>{};
}

// ---- Commands ----

int TportfolioForm::loadBtnClick() {
  TPortfolioTable* table = portfolioTable();
  if (!table || busy()) return -7;
  TBusyScope busy(*this);
  noteEditPanelExit();
  int result = table->saveAll();
  folioPickForm_->listFolios();
  application().processMessages();
  application().available();
  const bool accepted = folioPickForm_->execute(0, false);
  application().busy();
  if (!accepted) return result;
  showLog();
  update();
  setObjectGUIproperties();
  // The views read the portfolios that are about to close.
  abortViewThreads();
  const double since = changeStamp();
  const auto keep = [&result](int code) {
    if (result == 0) result = code;
  };
  std::string folder;
  for (folioPickForm_->getFirstFolioDir(false, folder); !folder.empty(); folioPickForm_->getNextFolioDir(false, folder))
    keep(table->close(folder, true, progress(), this));
  for (folioPickForm_->getFirstFolioDir(true, folder); !folder.empty(); folioPickForm_->getNextFolioDir(true, folder))
    keep(table->open(folder, false, progress(), this, true, true));
  keep(table->loadForexTables(progress(), this));
  if (onAdditionalPortfoliosLoaded_) onAdditionalPortfoliosLoaded_(since);
  hideLog();
  getObjectGUIproperties();
  forgetShownNotes();
  showObjects(-1, -1);
  selectionChanged();
  rebuildAllAuxiliaryViews();
  return result;
}

int TportfolioForm::addBtnClick() {
  TPortfolioTable* table = portfolioTable();
  if (!table || windowDir().empty() || busy()) return -7;
  TBusyScope busy(*this);
  abortViewThreads();
  // The template is copied beside the new folder and moved in, so that a
  // failure never deletes the folder of a portfolio left open.
  const int result = addPortfolioFromTemplate(*table, foliosDirectory());
  if (result == 0)
    addDisplayRecord(sheetPanel().sheet().getDefaultRowHeight(), sheetPanel().sheet().getDefaultColWidth());
  else
    showObjects(-1, -1);
  rebuildAllAuxiliaryViews();
  focusGrid();
  return result;
}

int TportfolioForm::copyBtnClick() {
  TPortfolioTable* table = portfolioTable();
  const int selected = selectedObjectIndex();
  if (!table || windowDir().empty() || selected < 0 || busy()) return -7;
  TBusyScope busy(*this);
  abortViewThreads();
  noteEditPanelExit();
  // The copy takes the source's sizes as shown now, not as last saved.
  TDataSheet& lines = dataSheet();
  lines.getCellSizes(lines.rowWise);
  const auto sizeOf = [selected](const std::vector<int>& sizes, int fallback) {
    return selected < static_cast<int>(sizes.size()) ? sizes[selected] : fallback;
  };
  const int rowHeight = sizeOf(lines.rowHeights, sheetPanel().sheet().getDefaultRowHeight());
  const int colWidth = sizeOf(lines.colWidths, sheetPanel().sheet().getDefaultColWidth());
  const int result = table->duplicatePortfolio(selected, foliosDirectory());
  if (result == 0)
    addDisplayRecord(rowHeight, colWidth);
  else
    showObjects(-1, -1);
  rebuildAllAuxiliaryViews();
  focusGrid();
  return result;
}

int TportfolioForm::makeTemplateBtnClick() {
  TPortfolioTable* table = portfolioTable();
  const int selected = selectedObjectIndex();
  if (!table || windowDir().empty() || selected < 0 || busy()) return -7;
  THourglass hourglass;
  return makeTemplate(includeTrailingBackslash(table->items(selected)->Folder()), foliosDirectory());
}

std::string TportfolioForm::deleteCaption(int index) const {
  std::string label = objectName(index);
  if (label.empty()) label = objectSymbol(index);
  if (label.empty()) return "Delete portfolio";
  return "Delete portfolio \"" + ampersandsDoubled(label) + "\"";
}

void TportfolioForm::delBtnClick() {
  const int selected = selectedObjectIndex();
  if (selected < 0 || busy()) return;
  delFolioPopUpMenu_.items().front()->caption = deleteCaption(selected);
  RECT button = delBtn_->bounds();
  POINT corner{button.right, button.top};
  ClientToScreen(delBtn_->parent()->handle(), &corner);
  delFolioPopUpMenu_.popup(handle(), corner.x, corner.y);
}

int TportfolioForm::menuItemPortfoliosDeleteSelectedClick() {
  TPortfolioTable* table = portfolioTable();
  const int index = selectedObjectIndex();
  if (!table || index < 0 || index >= table->count() || busy()) return -7;
  TBusyScope busy(*this);
  abortViewThreads();
  noteEditPanelExit();
  TDataSheet& lines = dataSheet();
  lines.getCellSizes(lines.rowWise);
  lines.getDisplayOrder();
  const TSheet& sheet = sheetPanel().sheet();
  int col = sheet.currentCol;
  int row = sheet.currentRow;
  const int countBefore = table->count();
  const std::string label = objectLabel(objectName(index), objectSymbol(index));
  std::string refusal;
  const int result = table->deletePortfolio(index, &refusal);
  const bool gone = table->count() < countBefore;
  if (gone) {
    lines.removeDisplayRecord(index, countBefore);
    if (lines.rowWise && row == sheet.getRowCount()) --row;
    if (!lines.rowWise && col == sheet.getColCount()) --col;
  }
  forgetShownNotes();
  showObjects(col, row);
  rebuildAllAuxiliaryViews();
  if (!refusal.empty())
    messages->show(handle(), deletionNotice("The portfolio " + shortLabel(label) + " was", gone, refusal),
                   commonString(4), MB_OK | MB_ICONWARNING);
  return result;
}
