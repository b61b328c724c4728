#include "windows/DataForm.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "chart/SheetGraph.h"
#include "controls/CurrPickForm.h"
#include "controls/DocumentSave.h"
#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/FieldEditForm.h"
#include "controls/ResizablePanel.h"
#include "controls/ResizablePanelContainer.h"
#include "controls/SheetPanel.h"
#include "controls/WebPanel.h"
#include "model/ChangeStamps.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "platform/Application.h"
#include "platform/CalendarDates.h"
#include "platform/DateTimePicker.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/ImageList.h"
#include "platform/StdControls.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"

TdataForm::TBusyScope::TBusyScope(TdataForm& form) : form_(form) {
  application().busy();
  if (form_.busyDepth_++ == 0) {
    form_.setEnabled(false);
    if (form_.onBusyChanged) form_.onBusyChanged(true);
  }
}

TdataForm::TBusyScope::~TBusyScope() {
  if (--form_.busyDepth_ == 0) {
    form_.setEnabled(true);
    if (form_.onBusyChanged) form_.onBusyChanged(false);
    if (form_.focusGridWhenDone_) {
      form_.focusGridWhenDone_ = false;
      std::optional<TApplication::TFocusInPlace> inPlace;
      if (form_.focusGridInPlace_) inPlace.emplace();
      form_.focusGrid();
    }
  }
  application().available();
}

TdataForm::TdataForm(const TDataFormFiles& files, const std::string& objectsCaption, int windowHelpContext,
                     int setupHelpContext)
    : files_(files),
      setupHelpContext_(setupHelpContext),
      fieldTable_(std::make_unique<TFieldTable>()),
      dateChangeTimer_(2000),
      showExtrasDelayTimer_(500),
      notesColor_(clWindow) {
  helpContext = windowHelpContext;
  TFontAttributes noteFont;
  noteFont.colour = static_cast<int32_t>(clWindowText);
  noteFonts_.add(noteFont);
  createControls();
  dataSheet_ = std::make_unique<TDataSheet>(sheetPanel_->sheet(), *fieldTable_, currentDateTime());
  dataSheet_->rowWise = false;
  dataSheet_->fixedOn = true;
  buildMenus(objectsCaption);
  dateChangeTimer_.onTimer = [this] { dateChangeTimerTimer(); };
  showExtrasDelayTimer_.onTimer = [this] { showExtrasDelayTimerTimer(); };
  showDates();
}

TdataForm::~TdataForm() {
  dateChangeTimer_.setEnabled(false);
  showExtrasDelayTimer_.setEnabled(false);
  sheetPanel_->onRender = nullptr;
  sheetPanel_->onCellValueEdited = nullptr;
  sheetPanel_->numberRequired = nullptr;
  noteEditPanel_->setEditorStatus(nullptr);
  freeAllViews();
}
void TdataForm::setSheetImageList(const TImageList* images) {
  imageList_ = images;
  sheetPanel_->setImageList(images ? images->handle() : nullptr);
  for (const auto& graph : graphs_) graph->setImageList(images);
}

void TdataForm::setExternalPopupMenus(TPopupMenu* chartMenu, TPopupMenu* notesMenu, TPopupMenu* favsMenu,
                                      TPopupMenu* setupMenu, TPopupMenu* timedRefreshMenu) {
  chartPopupMenu_ = chartMenu;
  notesPopupMenu_ = notesMenu;
  favsPopupMenu_ = favsMenu;
  setupPopupMenu_ = setupMenu;
  timedRefreshPopupMenu_ = timedRefreshMenu;
  noteEditPanel_->setPopupMenu(notesMenu);
  for (const auto& graph : graphs_) graph->setPopupMenu(chartMenu);
}

void TdataForm::setExternalEvents(std::function<void(TWebPanel&)> makeDefault,
                                  std::function<void(TWebPanel&)> clearDefault,
                                  std::function<void(TWebPanel&)> deleteRequest) {
  makeDefaultRequest_ = std::move(makeDefault);
  clearDefaultRequest_ = std::move(clearDefault);
  deleteRequest_ = std::move(deleteRequest);
}

void TdataForm::setCurrPickForm(TcurrPickForm* picker) {
  currPickForm_ = picker;
  sheetPanel_->currencyPicker = picker;
}

void TdataForm::setPortfolioTable(TPortfolioTable* table) {
  portfolioTable_ = table;
  objects_ = table ? objectsOf(*table) : nullptr;
  dataSheet_->setObjects(objects_.get());
  sheetPanel_->sheet().portfolioTable = table;
}

char TdataForm::decimalSeparator() const {
  const std::string separator = sheetPanel_->getDecimalSeparator();
  return separator.empty() ? '.' : separator[0];
}

char TdataForm::listSeparator() const {
  const std::string separator = sheetPanel_->getListSeparator();
  return separator.empty() ? ';' : separator[0];
}

void TdataForm::focusGrid() {
  // A busy window is disabled and takes no focus: the grid gets it when
  // the work is done.
  if (busy()) {
    focusGridWhenDone_ = true;
    focusGridInPlace_ = application().focusingInPlace();
    return;
  }
  if (sheetPanel_->canFocus()) sheetPanel_->setFocus();
}

// ---- View ----

void TdataForm::clearView() {
  windowDirectory_.clear();
  abortViewThreads();
  dateChangeTimer_.setEnabled(false);
  showExtrasDelayTimer_.setEnabled(false);
  hide();
  dataSheet_->rowHeights.clear();
  dataSheet_->colWidths.clear();
  dataSheet_->displayOrder.clear();
  fieldTable_->clear();
  freeAllViews();
  // The notes belong to the view's folder: kept open, edits would go into
  // the files of a portfolio or folder no longer shown.
  closeNotes();
  TSheet& sheet = sheetPanel_->sheet();
  sheet.leftCol = 1;
  sheet.topRow = 1;
  sheetStamp_ = 0;
}

void TdataForm::freeAllViews() {
  // Last child first, as they were stacked.
  while (!browsers_.empty()) browsers_.pop_back();
  while (!graphs_.empty()) graphs_.pop_back();
  graphViews_.clear();
  webViews_.clear();
}

void TdataForm::loadView() {
  clearView();
  bindView();
  sheetPanel_->setSheetVisible(false);
  show();
  sheetResizablePanel_->show();
  windowDirectory_ = windowDirectory();
  if (windowDirectory_.empty()) return;
  const std::string fieldFile = windowDirectory_ + files_.fieldFile;
  fieldFileDamaged_ =
      fieldTable_->loadFromFile(fieldFile, decimalSeparator(), listSeparator()) != 0 && fileExists(fieldFile);
  const TSheet& sheet = sheetPanel_->sheet();
  fieldTable_->takeGridSizes(sheet.getDefaultRowHeight(), sheet.getDefaultColWidth());
  loadGUIoptions(windowDirectory_ + files_.controlsFile);
  showDates();
  getObjectGUIproperties();
  showObjects(-1, -1);
  loadAllViews();
  if (placeLostTiles()) optionsApplied();
  bringMaximizedToFront();
}

TSaveFailures TdataForm::saveView() {
  TSaveFailures failed;
  // A view whose objects are gone was saved when its tab was left: what it
  // holds belongs to no open portfolio, and its folder may be another's now.
  if (windowDirectory_.empty() || windowDirectory() != windowDirectory_) return failed;
  setObjectGUIproperties();
  if (noteEditPanel_->editorStatus()) notesColor_ = noteEditPanel_->bgColor();
  // Both notes: the one not shown keeps the edits made before its tab was
  // left. A text the user kept unsaved ends the asking.
  for (TEditorStatus* notes : {globalNotes_.get(), objectNotes_.get()}) {
    if (notes == nullptr || !notes->modified || notes->fileName.empty()) continue;
    const TDocumentSave saved = saveNotes(*notes);
    if (saved != TDocumentSave::saved) failed.push_back(notes->fileName);
    if (saved == TDocumentSave::keptUnsaved) break;
  }
  const std::string controlsFile = windowDirectory_ + files_.controlsFile;
  if (!saveGUIoptions(controlsFile)) failed.push_back(controlsFile);
  if (fieldTable_->save(decimalSeparator(), listSeparator()) != 0) failed.push_back(fieldTable_->FileName);
  addSaveFailures(failed, saveAuxiliaryViews());
  return failed;
}

void TdataForm::getObjectGUIproperties() { dataSheet_->readObjectProperties(); }

void TdataForm::setObjectGUIproperties() {
  // The display order and sizes stored in intact portfolio and asset files
  // must not give way to those of a grid made without its fields, nor of
  // one no view was loaded into.
  if (fieldFileDamaged_ || windowDirectory_.empty()) return;
  if (fieldTable_->count() == 0 && dataSheet_->objectLineCount() == 0) return;
  dataSheet_->writeObjectProperties();
}

void TdataForm::detachGrid() {
  sheetPanel_->onRender = nullptr;
  sheetPanel_->onCellValueEdited = nullptr;
  sheetPanel_->setSheetVisible(false);
  update();
  dataSheet_->rowWise = rowWiseBtn_->down();
  dataSheet_->fixedOn = fixedBtn_->down();
  defineMoreNames();
}

void TdataForm::attachGrid() {
  TSheet& sheet = sheetPanel_->sheet();
  sheetPanel_->setInnerSizable((dataSheet_->rowWise ? sheet.getFixedCols() : sheet.getFixedRows()) < 1);
  sheetPanel_->onRender = [this] { onSheetRender(); };
  sheetPanel_->onCellValueEdited = [this] { onCellValueEdited(); };
  sheetPanel_->setSheetVisible(dataSheet_->shownFieldCount() >= 1);
  sheetPanel_->refresh();
}

void TdataForm::showObjects(int col, int row) {
  THourglass hourglass;
  sheetStamp_ = changeStamp();
  TSheet& sheet = sheetPanel_->sheet();
  const int left = sheet.leftCol;
  const int top = sheet.topRow;
  detachGrid();
  dataSheet_->build(col, row);
  sheet.leftCol = left;
  sheet.topRow = top;
  attachGrid();
}

void TdataForm::selectFirstLine() {
  // A grid that cannot tell its objects (its field file damaged) still
  // starts on the first: one window's field file hides nothing else.
  if (!dataSheet_->namesObjects()) {
    if (objects_ && dataSheet_->makeFirstObjectCurrent()) {
      setAuxiliaryViewsPortfolio();
      selectionChanged();
    }
    return;
  }
  TSheet& sheet = sheetPanel_->sheet();
  const int fixed = dataSheet_->rowWise ? sheet.getFixedCols() : sheet.getFixedRows();
  const int field = std::min(fixed + 1, dataSheet_->shownFieldCount());
  if (dataSheet_->objectLineCount() < 1 || field < 1) return;
  if (dataSheet_->rowWise)
    sheet.setCurrentCell(field, 2);
  else
    sheet.setCurrentCell(2, field);
  sheetPanel_->refresh();
}

void TdataForm::addDisplayRecord(int rowHeight, int colWidth) {
  THourglass hourglass;
  sheetStamp_ = changeStamp();
  detachGrid();
  dataSheet_->addDisplayRecord(rowHeight, colWidth);
  attachGrid();
}

void TdataForm::recomputeSheet() {
  THourglass hourglass;
  dataSheet_->defineDates();
  defineMoreNames();
  TSheet& sheet = sheetPanel_->sheet();
  sheet.markAllDirty();
  sheet.recalculateAll(false);
  sheetPanel_->refresh();
  sheetStamp_ = changeStamp();
}

int TdataForm::selectedObjectIndex() const { return objects_ ? dataSheet_->selectedObjectIndex() : -1; }

std::string TdataForm::objectCaption(int index) const {
  const std::string name = objectName(index);
  return ampersandsDoubled(name.empty() ? objectSymbol(index) : name);
}

void TdataForm::openFavouriteOfSelection(TWebPanel& panel) {
  const int selected = objects_ ? objects_->currentIndex() : -1;
  const std::string symbol = selected >= 0 ? objectSymbol(selected) : "";
  if (symbol.empty() || !panel.openFavForSymbol(symbol, sheetPanel_)) panel.openDefault(sheetPanel_);
}

void TdataForm::rebuildAllAuxiliaryViews() {
  for (const auto& graph : graphs_) graph->rebuild();
  for (const auto& browser : browsers_) openFavouriteOfSelection(*browser);
  const int selected = objects_ ? objects_->currentIndex() : -1;
  objectNoteSheet_->setCaption(selected >= 0 ? objectCaption(selected) : "");
}

void TdataForm::setAuxiliaryViewsPortfolio() {
  for (const auto& graph : graphs_) graph->refreshSelection();
  for (const auto& browser : browsers_) openFavouriteOfSelection(*browser);
  const int selected = objects_ ? objects_->currentIndex() : -1;
  objectNoteSheet_->setCaption(selected >= 0 ? objectCaption(selected) : "");
}

void TdataForm::handleSheetChartAndGraphRequests() {
  for (const auto& graph : graphs_) graph->invalidateCompute(true);
}

void TdataForm::webBrowsersEnable(bool enable) {
  for (const auto& browser : browsers_) browser->browserEnable(enable);
}

void TdataForm::abortViewThreads() {
  for (const auto& graph : graphs_) graph->invalidateCompute(false);
  for (const auto& browser : browsers_) browser->stop(nullptr);
}

void TdataForm::setActiveScript(IActiveScript* engine) {
  THourglass hourglass;
  scriptEngine_ = engine;
  sheetPanel_->sheet().setScriptEngine(engine, false);
  for (const auto& graph : graphs_) graph->setActiveScript(engine);
  scriptStamp_ = changeStamp();
}

void TdataForm::bringMaximizedToFront() {
  const std::vector<TResizablePanel*> tiles = sheetResizablePanel_->panels(false);
  for (auto tile = tiles.rbegin(); tile != tiles.rend(); ++tile)
    if ((*tile)->maximized()) {
      (*tile)->bringToFront();
      return;
    }
}

// ---- Selection and edits ----

void TdataForm::enableObjectButtons(int selected) {
  const bool any = selected >= 0;
  if (copyBtn_) copyBtn_->setEnabled(any);
  if (makeTemplateBtn_) makeTemplateBtn_->setEnabled(any);
  if (delBtn_) delBtn_->setEnabled(any);
  const int line = dataSheet_->currentLine();
  moveUpBtn_->setEnabled(any && line >= 3);
  moveDownBtn_->setEnabled(any && line < dataSheet_->lastLine());
  const bool several = any && objects_->count() > 1;
  sortAscendingBtn_->setEnabled(several);
  sortDescendingBtn_->setEnabled(several);
}

void TdataForm::onSheetRender() {
  int now = -1;
  if (objects_) {
    if (addBtn_) addBtn_->setEnabled(true);
    if (dataSheet_->followSelection()) {
      sheetPanel_->refresh();
      setAuxiliaryViewsPortfolio();
      selectionChanged();
    }
    now = objects_->currentIndex();
    // The buttons act on the line selected, which a grid that names no
    // object has none of, whatever object is current.
    enableObjectButtons(dataSheet_->selectedObjectIndex());
  } else {
    if (addBtn_) addBtn_->setEnabled(false);
    enableObjectButtons(-1);
    selectionChanged();
  }
  if (notesBtn_->down() && (now < 0 || now != shownNotesObject_)) showExtrasDelayTimer_.restart();
}

void TdataForm::showExtrasDelayTimerTimer() {
  showExtrasDelayTimer_.setEnabled(false);
  if (!notesBtn_->down() || !objects_) return;
  if (objects_->currentIndex() != shownNotesObject_) showNotes(false);
}

void TdataForm::onCellValueEdited() {
  if (!objects_ || !dataSheet_->cellEdited()) return;
  shownPropertyEdited();
  selectionChanged();
}

void TdataForm::onSheetKeyDown(WORD& key, TShiftState shift) {
  if (!createsObjects()) return;
  if (key == VK_INSERT) {
    key = 0;
    addCommand();
  } else if (key == VK_DELETE && (shift & ssCtrl)) {
    key = 0;
    deleteCommand();
  }
}

// ---- Layout, sorting and order ----

void TdataForm::setRowWise(bool rowWise) {
  const bool wasRowWise = dataSheet_->rowWise;
  rowWiseBtn_->setDown(rowWise);
  colWiseBtn_->setDown(!rowWise);
  if (rowWise == wasRowWise) return;
  const TSheet& sheet = sheetPanel_->sheet();
  const int col = sheet.hasCurrentCell() ? sheet.currentCol : -1;
  const int row = sheet.hasCurrentCell() ? sheet.currentRow : -1;
  // The layout being left keeps its sizes for the way back.
  dataSheet_->getCellSizes(wasRowWise);
  dataSheet_->getDisplayOrder();
  showObjects(row, col);
}

void TdataForm::showCellErrorsBtnClick() { sheetPanel_->setShowCellErrors(showCellErrorsBtn_->down()); }

void TdataForm::fixedBtnClick() {
  TSheet& sheet = sheetPanel_->sheet();
  const int fixed = fixedBtn_->down() ? std::min(dataSheet_->shownFieldCount(), fieldTable_->shownFixedCount()) : 0;
  dataSheet_->fixedOn = fixedBtn_->down();
  if (dataSheet_->rowWise)
    sheet.setFixedCols(fixed);
  else
    sheet.setFixedRows(fixed);
  sheetPanel_->setInnerSizable(fixed < 1);
  sheetPanel_->refresh();
}

void TdataForm::sortClick(bool ascending) {
  THourglass hourglass;
  if (dataSheet_->sort(ascending)) sheetPanel_->refresh();
}

void TdataForm::moveClick(int step) {
  if (dataSheet_->moveCurrentLine(step)) sheetPanel_->refresh();
}

void TdataForm::setupBtnClick() {
  THourglass hourglass;
  dataSheet_->getCellSizes(dataSheet_->rowWise);
  TfieldEditForm editor;
  editor.setSheetImageList(imageList_ ? imageList_->handle() : nullptr);
  editor.setCurrPickForm(currPickForm_);
  editor.setTextEditorPopupMenu(notesPopupMenu_);
  editor.loadTranslations(languageFile_);
  // The editor's help is the window's own set-up topic.
  editor.helpContext = setupHelpContext_;
  const std::string guiOptions = getDirectory("<DATA>") + "GUIoptions.INI";
  editor.loadGUIoptions(guiOptions);
  application().available();
  const bool accepted = editor.execute(*fieldTable_, [this] { sheetSetupApply(); });
  application().busy();
  if (accepted && !fieldTable_->FileName.empty()) fieldTable_->save(decimalSeparator(), listSeparator());
  editor.saveGUIoptions(guiOptions);
  if (accepted) {
    const TSheet& sheet = sheetPanel_->sheet();
    dataSheet_->setCellSizes(dataSheet_->rowWise);
    showObjects(sheet.currentCol, sheet.currentRow);
  }
}

void TdataForm::sheetSetupApply() {
  THourglass hourglass;
  if (!fieldTable_->FileName.empty()) fieldTable_->save(decimalSeparator(), listSeparator());
  dataSheet_->setCellSizes(dataSheet_->rowWise);
  const TSheet& sheet = sheetPanel_->sheet();
  showObjects(sheet.currentCol, sheet.currentRow);
}

// ---- Dates ----

void TdataForm::showDates() {
  const TDateWindow& dates = dataSheet_->dates;
  // Text the user is typing stays until the entry ends. A count the box
  // already shows is not written again: writing puts the cursor back to the
  // start and drops the selection, and the date refresh comes seconds after
  // an entry, when the user may be selecting in the box to type anew.
  const std::string days = std::to_string(dates.days());
  if (!daysTyping_.typing() && daysComboBox_->text() != days) {
    const auto keep = daysComboBox_->onChange;
    daysComboBox_->onChange = nullptr;
    daysComboBox_->setText(days);
    daysComboBox_->onChange = keep;
  }
  fromDatePicker_->setDateTime(dates.fromDate());
  toDatePicker_->setDateTime(dates.toDate());
}

void TdataForm::setSheetFromDate() {
  dataSheet_->dates.setFrom(dataSheet_->dates.fromDate());
  dataSheet_->defineDates();
  showDates();
}

void TdataForm::setSheetToDate() {
  dataSheet_->dates.setTo(dataSheet_->dates.toDate());
  dataSheet_->defineDates();
  showDates();
}

void TdataForm::setDates(double fromDate, double toDate) {
  dataSheet_->dates.setFrom(fromDate);
  dataSheet_->dates.setTo(toDate);
  showDates();
}

void TdataForm::fromDateChanged() {
  if (!daysEntryEnded()) return;
  dataSheet_->dates.setFrom(fromDatePicker_->dateTime());
  showDates();
  dateChangeTimer_.restart();
}

void TdataForm::toDateChanged() {
  if (!daysEntryEnded()) return;
  dataSheet_->dates.setTo(toDatePicker_->dateTime());
  showDates();
  dateChangeTimer_.restart();
}

void TdataForm::daysChanged() {
  TDateWindow& dates = dataSheet_->dates;
  int days = 0;
  if (daysTyping_.count(daysComboBox_->text(), dates.days(), dates.toDate(), days)) dates.setDays(days);
  fromDatePicker_->setDateTime(dates.fromDate());
  dateChangeTimer_.restart();
}

bool TdataForm::daysEntryEnded() {
  if (!daysTyping_.typing()) return true;
  const std::string refusal = daysTyping_.end(daysComboBox_->text(), dataSheet_->dates.toDate());
  if (!refusal.empty()) messages->show(handle(), refusal, commonString(4), MB_OK | MB_ICONWARNING);
  // The box shows the count the window took, a typed 1 as 2 as well.
  showDates();
  return refusal.empty();
}

bool TdataForm::endEdit(TEditEnding ending) {
  if (!daysTyping_.typing()) return true;
  if (ending == TEditEnding::take) return daysEntryEnded();
  // A close goes on once the user has read why a count was refused: the
  // count typed is given up.
  if (ending == TEditEnding::closing && daysEntryEnded()) return true;
  daysTyping_.drop();
  showDates();
  return true;
}

void TdataForm::scrollTimeWindow(int days) {
  if (!daysEntryEnded()) return;
  dataSheet_->dates.scroll(days);
  showDates();
  dateChangeTimer_.restart();
}

void TdataForm::scrollFrame(int direction) {
  if (!daysEntryEnded()) return;
  if (!dataSheet_->dates.scrollFrame(daysComboBox_->text(), direction)) return;
  showDates();
  dateChangeTimer_.restart();
}

void TdataForm::dateBoundClick(TDateBound bound) {
  if (!portfolioTable_ || !daysEntryEnded()) return;
  const double date = dateBound(bound);
  if (std::isnan(date)) return;
  if (bound == TDateBound::first || bound == TDateBound::firstCommon)
    dataSheet_->dates.setFrom(truncDay(date));
  else
    dataSheet_->dates.setTo(roundDay(date));
  showDates();
  dateChangeTimer_.restart();
}

void TdataForm::dateChangeTimerTimer() {
  dateChangeTimer_.setEnabled(false);
  update();
  setSheetToDate();
  setSheetFromDate();
  recomputeSheet();
  setSheetChartAndGraphDateRange();
}

void TdataForm::setSheetChartAndGraphDateRange() {
  const TDateWindow& dates = dataSheet_->dates;
  for (const auto& graph : graphs_) graph->setDateRange(dates.fromId(), dates.toId(), true);
}
