#include "windows/DataForm.h"

#include <algorithm>
#include <cmath>

#include "chart/SheetGraph.h"
#include "controls/CurrPickForm.h"
#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/FieldEditForm.h"
#include "controls/GalleryForm.h"
#include "controls/ResizablePanel.h"
#include "controls/ResizablePanelContainer.h"
#include "controls/SheetPanel.h"
#include "controls/WebPanel.h"
#include "model/ChangeStamps.h"
#include "model/Directories.h"
#include "model/FontProperties.h"
#include "model/PortableIniFile.h"
#include "model/PortfolioTable.h"
#include "platform/Application.h"
#include "platform/CalendarDates.h"
#include "platform/DateTimePicker.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/ImageList.h"
#include "platform/StdControls.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"

namespace {

constexpr int buttonHeight = 22;
constexpr int barHeight = 28;
const char* const viewFolders[] = {"", "Charts\\", "Graphs\\", "Browsers\\"};
const char* const viewTemplates[] = {"", "ChartTemplate.INI", "GraphTemplate.INI", "BrowserTemplate.INI"};
const char* const dayCounts[] = {"7",   "14",  "21",  "28",  "30",  "60",  "90",  "120", "150", "180",  "210",
                                 "240", "270", "300", "330", "360", "365", "730", "1095", "1460", "1825", "3650"};

TPanel& toolPanel(TControl& parent, const char* name) {
  TPanel& panel = parent.add<TPanel>();
  panel.name = name;
  panel.setBevelOuter(TBevelCut::none);
  panel.setSize(10, buttonHeight + 2);
  return panel;
}

// A button appended at the panel's right end, which grows to hold it.
TToolButton& toolButton(TPanel& panel, const char* caption, const char* hint, int width,
                        std::function<void()> onClick) {
  int left = 0;
  for (const TControl* child : panel.children()) left = std::max(left, child->left() + child->width());
  TToolButton& button = panel.add<TToolButton>(caption);
  button.hint = hint;
  button.setBounds(left, 1, width, buttonHeight);
  button.onClick = std::move(onClick);
  panel.setSize(left + width + 2, panel.height());
  return button;
}

std::string doubledAmpersands(const std::string& text) {
  std::string result;
  for (char c : text) {
    result += c;
    if (c == '&') result += '&';
  }
  return result;
}

}  // namespace

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
  noteEditPanel_->setEditorStatus(nullptr);
  freeAllViews();
}

// ---- Controls ----

void TdataForm::createControls() {
  controlBar_ = &add<TPanel>();
  controlBar_->name = "controlBar";
  controlBar_->setAlign(TAlign::top);
  controlBar_->setBevelOuter(TBevelCut::none);
  controlBar_->setSize(600, barHeight);
  createDateControls();
  createViewControls();
  arrangePanels(*controlBar_);

  sheetResizablePanel_ = &add<TResizablePanelContainer>();
  sheetResizablePanel_->name = "sheetResizablePanel";
  sheetResizablePanel_->setAlign(TAlign::client);
  sheetResizablePanel_->onResize = [this] {
    sheetResizablePanel_->defaultPanelWidth = std::max(1, sheetResizablePanel_->clientWidth() / 2);
    sheetResizablePanel_->defaultPanelHeight = std::max(1, sheetResizablePanel_->clientHeight() / 2);
  };
  createSheetTile();
  createNotesTile();
  sheetResizablePanel_->hide();
}

void TdataForm::createDateControls() {
  dateControlsPanel_ = &toolPanel(*controlBar_, "dateControlsPanel");
  TPanel& panel = *dateControlsPanel_;
  synchDatesBtn_ = &toolButton(panel, "=", "Synchronize dates", 22, [this] {
    if (onSynchDatesClick) onSynchDatesClick(*synchDatesBtn_);
  });
  synchDatesBtn_->checkButton = true;
  toolButton(panel, "|<", "First date", 22, [this] { dateBoundClick(TDateBound::first); });
  toolButton(panel, "|<=", "First common date", 26, [this] { dateBoundClick(TDateBound::firstCommon); });
  toolButton(panel, "<<", "One frame back", 22, [this] { scrollFrame(-1); });
  toolButton(panel, "<", "One day back", 20, [this] { scrollTimeWindow(-1); });
  const auto addPicker = [&panel](int width) {
    int left = panel.width();
    TDateTimePicker& picker = panel.add<TDateTimePicker>();
    picker.setBounds(left + 2, 1, width, buttonHeight);
    panel.setSize(left + width + 4, panel.height());
    return &picker;
  };
  fromDatePicker_ = addPicker(92);
  fromDatePicker_->onChange = [this] { fromDateChanged(); };
  const int comboLeft = panel.width();
  daysComboBox_ = &panel.add<TComboBox>(TComboStyle::dropDown);
  daysComboBox_->setBounds(comboLeft, 1, 58, 22 * 16);
  for (const char* days : dayCounts) daysComboBox_->addItem(days);
  daysComboBox_->onChange = [this] { daysChanged(); };
  panel.setSize(comboLeft + 60, panel.height());
  toDatePicker_ = addPicker(92);
  toDatePicker_->onChange = [this] { toDateChanged(); };
  toolButton(panel, ">", "One day forward", 20, [this] { scrollTimeWindow(1); });
  toolButton(panel, ">>", "One frame forward", 22, [this] { scrollFrame(1); });
  toolButton(panel, "=>|", "Last common date", 26, [this] { dateBoundClick(TDateBound::lastCommon); });
  toolButton(panel, ">|", "Last date", 22, [this] { dateBoundClick(TDateBound::last); });
}

void TdataForm::createViewControls() {
  objectsControlPanel_ = &toolPanel(*controlBar_, "objectsControlPanel");
  notesBtn_ = &toolButton(*objectsControlPanel_, "Notes", "Notes", 40, [this] { notesBtnClick(); });
  notesBtn_->checkButton = true;
  toolButton(*objectsControlPanel_, "Chart", "New chart", 40, [this] { newViewClick(1); });
  toolButton(*objectsControlPanel_, "Graph", "New graph", 42, [this] { newViewClick(2); });
  toolButton(*objectsControlPanel_, "Web", "New browser", 34, [this] { newViewClick(3); });
  toolButton(*objectsControlPanel_, "Gallery", "Gallery", 46, [this] { galleryBtnClick(); });

  objectsArrangePanel_ = &toolPanel(*controlBar_, "objectsArrangePanel");
  toolButton(*objectsArrangePanel_, "Casc", "Cascade", 36, [this] { sheetResizablePanel_->cascade(); });
  toolButton(*objectsArrangePanel_, "TileH", "Tile horizontally", 38,
             [this] { sheetResizablePanel_->tileHorizontal(); });
  toolButton(*objectsArrangePanel_, "TileV", "Tile vertically", 38, [this] { sheetResizablePanel_->tileVertical(); });
}

void TdataForm::createSheetTile() {
  sheetContainer_ = &sheetResizablePanel_->add<TResizablePanel>();
  sheetContainer_->name = "sheetContainer";
  sheetContainer_->setConstraints(62, 55);
  sheetContainer_->setBounds(0, 0, 400, 300);
  sheetControlBar_ = &sheetContainer_->add<TPanel>();
  sheetControlBar_->name = "sheetControlBar";
  sheetControlBar_->setAlign(TAlign::top);
  sheetControlBar_->setBevelOuter(TBevelCut::none);
  sheetControlBar_->setSize(400, barHeight);

  creationControlsPanel_ = &toolPanel(*sheetControlBar_, "creationControlsPanel");
  gridDirectionPanel_ = &toolPanel(*sheetControlBar_, "gridDirectionPanel");
  rowWiseBtn_ = &toolButton(*gridDirectionPanel_, "Rows", "Rowwise", 36, [this] { setRowWise(true); });
  rowWiseBtn_->checkButton = true;
  rowWiseBtn_->group = 1;
  colWiseBtn_ = &toolButton(*gridDirectionPanel_, "Cols", "Columnwise", 34, [this] { setRowWise(false); });
  colWiseBtn_->checkButton = true;
  colWiseBtn_->group = 1;
  colWiseBtn_->setDown(true);
  showCellErrorsBtn_ = &toolButton(*gridDirectionPanel_, "Err", "Show errors", 28, [this] { showCellErrorsBtnClick(); });
  showCellErrorsBtn_->checkButton = true;
  sortPanel_ = &toolPanel(*sheetControlBar_, "sortPanel");
  sortAscendingBtn_ = &toolButton(*sortPanel_, "A-Z", "Sort ascending", 34, [this] { sortClick(true); });
  sortDescendingBtn_ = &toolButton(*sortPanel_, "Z-A", "Sort descending", 34, [this] { sortClick(false); });
  orderPanel_ = &toolPanel(*sheetControlBar_, "orderPanel");
  moveUpBtn_ = &toolButton(*orderPanel_, "Up", "Up / Left", 30, [this] { moveClick(-1); });
  moveDownBtn_ = &toolButton(*orderPanel_, "Down", "Down / Right", 40, [this] { moveClick(1); });
  sheetSetupPanel_ = &toolPanel(*sheetControlBar_, "sheetSetupPanel");
  fixedBtn_ = &toolButton(*sheetSetupPanel_, "Fix", "Fixed fields", 28, [this] { fixedBtnClick(); });
  fixedBtn_->checkButton = true;
  fixedBtn_->setDown(true);
  toolButton(*sheetSetupPanel_, "Setup", "Setup", 40, [this] { setupBtnClick(); });
  arrangePanels(*sheetControlBar_);

  sheetPanel_ = &sheetContainer_->add<TSheetPanel>();
  sheetPanel_->name = "sheetPanel";
  sheetPanel_->setAlign(TAlign::client);
  sheetPanel_->setShowColCoords(false);
  sheetPanel_->setShowRowCoords(false);
  sheetPanel_->setColsSizable(true);
  sheetPanel_->setRowsSizable(true);
  sheetPanel_->setInnerSizable(true);
  sheetPanel_->setMultiSelect(false);
  sheetPanel_->setDefaultColWidth(85);
  sheetPanel_->setDefaultMaxDecimals(2);
  sheetPanel_->setDefaultFixedDecimals(false);
  sheetPanel_->setTrueImageIndex(1);
  sheetPanel_->setFalseImageIndex(0);
  sheetPanel_->setBackgroundColor(clWindow);
  sheetPanel_->setDefaultFillColor(clWindow);
  sheetPanel_->setGridColor(clBtnFace);
  sheetPanel_->setExpandVectorResults(false);
  sheetPanel_->setDefaultRowHeight(-1);
  sheetPanel_->onSheetKeyDown = [this](WORD& key, TShiftState shift) { onSheetKeyDown(key, shift); };
  sheetPanel_->setPopupMenu(&sheetPopupMenu_);
  // A press anywhere on the sheet tile brings it in front of the views.
  const auto front = [this](TMouseButton, TShiftState, int, int) { sheetContainer_->bringToFront(); };
  sheetPanel_->onMouseDown = front;
  sheetControlBar_->onMouseDown = front;
}

void TdataForm::createNotesTile() {
  noteEditorContainer_ = &sheetResizablePanel_->add<TResizablePanel>();
  noteEditorContainer_->name = "noteEditorContainer";
  noteEditorContainer_->setBounds(0, 0, 300, 200);
  notePageControl_ = &noteEditorContainer_->add<TPageControl>();
  notePageControl_->name = "notePageControl";
  notePageControl_->setAlign(TAlign::top);
  notePageControl_->setSize(300, 24);
  globalNoteSheet_ = &notePageControl_->own(std::make_unique<TTabSheet>(notePageControl_, "Notes"));
  objectNoteSheet_ = &notePageControl_->own(std::make_unique<TTabSheet>(notePageControl_, ""));
  notePageControl_->onChange = [this] { notePageControlChange(); };
  noteEditPanel_ = &noteEditorContainer_->add<TEditPanel>();
  noteEditPanel_->name = "noteEditPanel";
  noteEditPanel_->setAlign(TAlign::client);
  noteEditPanel_->setFontAttributeSets(&noteFonts_);
  noteEditPanel_->onExit = [this] { noteEditPanelExit(); };
  noteEditPanel_->onEnter = [this] {
    if (notesPopupMenu_) notesPopupMenu_->popupComponent = noteEditPanel_;
  };
  noteEditPanel_->onMouseDown = [this](TMouseButton, TShiftState, int, int) { noteEditorContainer_->bringToFront(); };
  noteEditorContainer_->hide();
}

void TdataForm::buildMenus(const std::string& objectsCaption) {
  maximizedItem_ = &sheetPopupMenu_.add("&Maximized", [this] {
    if (sheetContainer_->canFocus()) sheetContainer_->setFocus();
    sheetContainer_->toggleMaximized();
  });
  TMenuItem& toolbar = sheetPopupMenu_.add("&Toolbar");
  const auto toggle = [this](TMenuItem& parent, const std::string& caption, TControl* panel) {
    TMenuItem& item = parent.add(caption, [this, panel] {
      panel->setVisible(!panel->visible());
      if (panel->parent() == controlBar_ || panel->parent() == sheetControlBar_) arrangePanels(*panel->parent());
    });
    toolbarItems_.emplace_back(&item, panel);
  };
  toggle(toolbar, "S&how", sheetControlBar_);
  toggle(toolbar, objectsCaption, creationControlsPanel_);
  toggle(toolbar, "&Layout", gridDirectionPanel_);
  toggle(toolbar, "&Sort", sortPanel_);
  toggle(toolbar, "&Position", orderPanel_);
  toggle(toolbar, "&Customize", sheetSetupPanel_);
  TMenuItem& layout = sheetPopupMenu_.add("&Layout");
  rowWiseItem_ = &layout.add("&Rowwise", [this] {
    if (!rowWiseBtn_->down()) setRowWise(true);
  });
  rowWiseItem_->radio = true;
  colWiseItem_ = &layout.add("&Columnwise", [this] {
    if (!colWiseBtn_->down()) setRowWise(false);
  });
  colWiseItem_->radio = true;
  showErrorsItem_ = &layout.add("&Show errors", [this] {
    showCellErrorsBtn_->setDown(!showCellErrorsBtn_->down());
    showCellErrorsBtnClick();
  });
  TMenuItem& sort = sheetPopupMenu_.add("&Sort");
  sort.add("&Ascending", [this] { sortClick(true); });
  sort.add("&Descending", [this] { sortClick(false); });
  TMenuItem& position = sheetPopupMenu_.add("&Position");
  position.add("&Up / Left", [this] { moveClick(-1); });
  position.add("&Down / Right", [this] { moveClick(1); });
  TMenuItem& customize = sheetPopupMenu_.add("&Customize");
  fixedItem_ = &customize.add("&Fixed fields", [this] {
    fixedBtn_->setDown(!fixedBtn_->down());
    fixedBtnClick();
  });
  customize.add("&Setup", [this] { setupBtnClick(); });
  sheetPopupMenu_.onPopup = [this] { sheetPopupMenuPopup(); };

  TMenuItem& formToolbar = formPopupMenu_.add("Toolbar");
  toggle(formToolbar, "&Objects", objectsControlPanel_);
  toggle(formToolbar, "&Arrange", objectsArrangePanel_);
  TMenuItem& dates = formPopupMenu_.add("&Dates");
  synchronizeItem_ = &dates.add("&Synchronize", [this] { synchDatesBtn_->setDown(!synchDatesBtn_->down()); });
  dates.add("&First", [this] { dateBoundClick(TDateBound::first); });
  dates.add("First &common", [this] { dateBoundClick(TDateBound::firstCommon); });
  dates.add("&Last", [this] { dateBoundClick(TDateBound::last); });
  dates.add("La&st common", [this] { dateBoundClick(TDateBound::lastCommon); });
  dates.add("&Back one frame", [this] { scrollFrame(-1); });
  dates.add("Back one &day", [this] { scrollTimeWindow(-1); });
  dates.add("&Forward one frame", [this] { scrollFrame(1); });
  dates.add("Forward one d&ay", [this] { scrollTimeWindow(1); });
  TMenuItem& views = formPopupMenu_.add("&Objects");
  notesItem_ = &views.add("&Notes", [this] {
    notesBtn_->setDown(!notesBtn_->down());
    notesBtnClick();
  });
  views.add("&Chart", [this] { newViewClick(1); });
  views.add("&Graph", [this] { newViewClick(2); });
  views.add("&Browser", [this] { newViewClick(3); });
  views.add("G&allery", [this] { galleryBtnClick(); });
  TMenuItem& arrange = formPopupMenu_.add("&Arrange");
  arrange.add("&Cascade", [this] { sheetResizablePanel_->cascade(); });
  arrange.add("Tile &horizontally", [this] { sheetResizablePanel_->tileHorizontal(); });
  arrange.add("Tile &vertically", [this] { sheetResizablePanel_->tileVertical(); });
  formPopupMenu_.onPopup = [this] {
    for (auto& [item, panel] : toolbarItems_) item->checked = panel->visible();
    synchronizeItem_->checked = synchDatesBtn_->down();
    notesItem_->checked = notesBtn_->down();
  };
  controlBar_->setPopupMenu(&formPopupMenu_);
}

void TdataForm::sheetPopupMenuPopup() {
  maximizedItem_->checked = sheetContainer_->maximized();
  for (auto& [item, panel] : toolbarItems_) item->checked = panel->visible();
  rowWiseItem_->checked = rowWiseBtn_->down();
  colWiseItem_->checked = colWiseBtn_->down();
  showErrorsItem_->checked = showCellErrorsBtn_->down();
  fixedItem_->checked = fixedBtn_->down();
}

TToolButton& TdataForm::addCreationButton(const char* caption, const char* hint, int width,
                                          std::function<void()> onClick) {
  TToolButton& button = toolButton(*creationControlsPanel_, caption, hint, width, std::move(onClick));
  arrangePanels(*sheetControlBar_);
  return button;
}

// Visible panels of a tool bar side by side, in the order their places say
// (top first, then left), so that stored places survive added buttons.
void TdataForm::arrangePanels(TControl& bar) {
  std::vector<TControl*> panels;
  for (TControl* child : bar.children())
    if (dynamic_cast<TPanel*>(child) && child->visible()) panels.push_back(child);
  std::stable_sort(panels.begin(), panels.end(), [](const TControl* a, const TControl* b) {
    return a->top() != b->top() ? a->top() < b->top() : a->left() < b->left();
  });
  int left = 2;
  for (TControl* panel : panels) {
    panel->setBounds(left, 2, panel->width(), panel->height());
    left += panel->width() + 6;
  }
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
  sheetPanel_->setSheetVisible(false);
  show();
  sheetResizablePanel_->show();
  windowDirectory_ = windowDirectory();
  if (windowDirectory_.empty()) return;
  fieldTable_->loadFromFile(windowDirectory_ + files_.fieldFile, decimalSeparator(), listSeparator());
  // Sizes below 1 come from files written before they were kept.
  if (fieldTable_->RowWiseFixedHeight < 1) fieldTable_->RowWiseFixedHeight = sheetPanel_->sheet().getDefaultRowHeight();
  if (fieldTable_->ColWiseFixedWidth < 1) fieldTable_->ColWiseFixedWidth = sheetPanel_->sheet().getDefaultColWidth();
  if (fieldTable_->DefaultRowWiseWidth < 1) fieldTable_->DefaultRowWiseWidth = sheetPanel_->sheet().getDefaultColWidth();
  if (fieldTable_->DefaultColWiseHeight < 1)
    fieldTable_->DefaultColWiseHeight = sheetPanel_->sheet().getDefaultRowHeight();
  // Fields without sizes of their own take the table's defaults.
  for (const auto& field : fieldTable_->Fields) {
    if (field->RowWiseWidth < 1) field->RowWiseWidth = fieldTable_->DefaultRowWiseWidth;
    if (field->ColWiseHeight < 1) field->ColWiseHeight = fieldTable_->DefaultColWiseHeight;
  }
  loadGUIoptions(windowDirectory_ + files_.controlsFile);
  showDates();
  getObjectGUIproperties();
  showObjects(-1, -1);
  for (int kind = 1; kind <= 3; ++kind) loadViews(windowDirectory_ + viewFolders[kind], kind);
  bringMaximizedToFront();
}

void TdataForm::saveView() {
  if (windowDirectory_.empty()) return;
  setObjectGUIproperties();
  noteEditPanelExit();
  saveGUIoptions(windowDirectory_ + files_.controlsFile);
  if (!fieldTable_->FileName.empty()) fieldTable_->save(decimalSeparator(), listSeparator());
  saveAuxiliaryViews();
}

void TdataForm::getObjectGUIproperties() { dataSheet_->readObjectProperties(); }

void TdataForm::setObjectGUIproperties() {
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
  return doubledAmpersands(name.empty() ? objectSymbol(index) : name);
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
    enableObjectButtons(now);
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
  rebuildAllAuxiliaryViews();
  selectionChanged();
}

void TdataForm::onSheetKeyDown(WORD& key, TShiftState shift) {
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
  const auto keep = daysComboBox_->onChange;
  daysComboBox_->onChange = nullptr;
  daysComboBox_->setText(std::to_string(dates.days()));
  daysComboBox_->onChange = keep;
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
  dataSheet_->dates.setFrom(fromDatePicker_->dateTime());
  showDates();
  dateChangeTimer_.restart();
}

void TdataForm::toDateChanged() {
  dataSheet_->dates.setTo(toDatePicker_->dateTime());
  showDates();
  dateChangeTimer_.restart();
}

void TdataForm::daysChanged() {
  dataSheet_->dates.setDaysText(daysComboBox_->text());
  fromDatePicker_->setDateTime(dataSheet_->dates.fromDate());
  dateChangeTimer_.restart();
}

void TdataForm::scrollTimeWindow(int days) {
  dataSheet_->dates.scroll(days);
  showDates();
  dateChangeTimer_.restart();
}

void TdataForm::scrollFrame(int direction) {
  if (!dataSheet_->dates.scrollFrame(daysComboBox_->text(), direction)) return;
  showDates();
  dateChangeTimer_.restart();
}

void TdataForm::dateBoundClick(TDateBound bound) {
  if (!portfolioTable_) return;
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

// ---- Docked views ----

void TdataForm::placeView(TControl& view) {
  view.setBounds(sheetResizablePanel_->clientWidth(), 0, sheetResizablePanel_->defaultPanelWidth,
                 sheetResizablePanel_->defaultPanelHeight);
}

void TdataForm::loadViews(const std::string& folder, int kind) {
  for (const TFoundFile& file : findFiles(folder + files_.viewPrefix + "*.INI")) {
    if (file.isFolder) continue;
    const std::string name = folder + file.name;
    if (kind == 1)
      loadSheetChart(name);
    else if (kind == 2)
      loadSheetGraph(name);
    else
      loadWebPanel(name);
  }
}

TSheetGraph* TdataForm::loadSheetChart(const std::string& fileName) { return loadGraphView(fileName, true); }

TSheetGraph* TdataForm::loadSheetGraph(const std::string& fileName) { return loadGraphView(fileName, false); }

TSheetGraph* TdataForm::loadGraphView(const std::string& fileName, bool chart) {
  std::unique_ptr<TSheetGraph> graph = chart ? std::make_unique<TSheetChart>(sheetResizablePanel_)
                                             : std::make_unique<TSheetGraph>(sheetResizablePanel_);
  placeView(*graph);
  graph->setPopupMenu(chartPopupMenu_);
  graph->loadFromFile(fileName, decimalSeparator(), listSeparator());
  const TDateWindow& dates = dataSheet_->dates;
  graph->setActiveScript(scriptEngine_.Get());
  graph->setDateRange(dates.fromId(), dates.toId(), false);
  graph->setPortfolioTable(portfolioTable_, false);
  graph->setImageList(imageList_);
  graph->setFieldValueGetter(
      [this](const std::string& symbol, std::string& value, bool& found) { getGridFieldValue(symbol, value, found); },
      false);
  graph->rebuild();
  if (graph->left() >= sheetResizablePanel_->clientWidth()) graph->setBounds(0, 0, graph->width(), graph->height());
  if (chart) graph->onCrossHairMoved = [this](TPriceGraph* sender, double x) { broadCastChartMouseMove(sender, x); };
  TSheetGraph* result = graph.get();
  graphs_.push_back(std::move(graph));
  graphViews_.push_back(result);
  return result;
}

TWebPanel* TdataForm::loadWebPanel(const std::string& fileName) {
  auto panel = std::make_unique<TWebPanel>(sheetResizablePanel_);
  placeView(*panel);
  panel->setTimedRefreshPopupMenu(timedRefreshPopupMenu_);
  panel->setSetupPopupMenu(setupPopupMenu_);
  panel->setFavsPopupMenu(favsPopupMenu_);
  panel->onMakeDefaultRequest = makeDefaultRequest_;
  panel->onClearDefaultRequest = clearDefaultRequest_;
  panel->onDelSelfRequest = deleteRequest_;
  panel->onDeleted = [this](TWebPanel& deleted, int) { freeAuxiliaryView(deleted); };
  panel->loadTranslations(languageFile_);
  panel->loadSettings(fileName);
  openFavouriteOfSelection(*panel);
  if (panel->left() >= sheetResizablePanel_->clientWidth()) panel->setBounds(0, 0, panel->width(), panel->height());
  TWebPanel* result = panel.get();
  browsers_.push_back(std::move(panel));
  webViews_.push_back(result);
  return result;
}

void TdataForm::freeAuxiliaryView(TControl& view) {
  for (auto graph = graphs_.begin(); graph != graphs_.end(); ++graph)
    if (graph->get() == &view) {
      (*graph)->invalidateCompute(false);
      std::erase(graphViews_, graph->get());
      application().deferDelete(std::move(*graph));
      graphs_.erase(graph);
      return;
    }
  for (auto browser = browsers_.begin(); browser != browsers_.end(); ++browser)
    if (browser->get() == &view) {
      std::erase(webViews_, browser->get());
      application().deferDelete(std::move(*browser));
      browsers_.erase(browser);
      return;
    }
}

void TdataForm::newViewClick(int kind) {
  if (windowDirectory_.empty() || kind < 1 || kind > 3) return;
  const std::string folder = windowDirectory_ + viewFolders[kind];
  createFolder(folder);
  const std::string name = uniqueFileName(folder, files_.viewPrefix, ".INI", 0, INT32_MAX);
  if (name.empty()) return;
  // A missing template copies nothing: the view starts from its defaults.
  copyFile(getDirectory("<DATA>") + viewTemplates[kind], name, false);
  if (kind == 1)
    loadSheetChart(name);
  else if (kind == 2)
    loadSheetGraph(name);
  else
    loadWebPanel(name);
}

void TdataForm::galleryBtnClick() {
  if (!galleryForm_ || windowDirectory_.empty()) return;
  TGalleryTargets targets;
  targets.chartTargetDir = windowDirectory_ + viewFolders[1];
  targets.graphTargetDir = windowDirectory_ + viewFolders[2];
  targets.browserTargetDir = windowDirectory_ + viewFolders[3];
  targets.chartPrefix = targets.graphPrefix = targets.browserPrefix = files_.viewPrefix;
  for (int kind = 1; kind <= 3; ++kind) createFolder(windowDirectory_ + viewFolders[kind]);
  int kind = 1;
  std::string made;
  galleryForm_->open(kind, 0x0E, targets, made);
  if (made.empty()) return;
  if (kind == 1)
    loadSheetChart(made);
  else if (kind == 2)
    loadSheetGraph(made);
  else if (kind == 3)
    loadWebPanel(made);
}

void TdataForm::broadCastChartMouseMove(TPriceGraph* sender, double x) {
  for (const auto& graph : graphs_)
    if (dynamic_cast<TSheetChart*>(graph.get())) graph->moveCrossHairToX(sender, x);
}

void TdataForm::getGridFieldValue(const std::string& symbol, std::string& value, bool& found) const {
  dataSheet_->getFieldValue(symbol, value, found);
}

void TdataForm::saveAuxiliaryViews() {
  for (const auto& graph : graphs_) graph->saveToFile(decimalSeparator(), listSeparator());
  for (const auto& browser : browsers_) browser->saveToOwnFile();
}

// ---- Notes ----

void TdataForm::notesBtnClick() {
  if (notesBtn_->down()) {
    globalNotes_ = std::make_unique<TEditorStatus>();
    objectNotes_ = std::make_unique<TEditorStatus>();
    globalNotes_->backgroundColour = notesColor_;
    objectNotes_->backgroundColour = notesColor_;
    showNotes(true);
    noteEditorContainer_->show();
    noteEditorContainer_->bringToFront();
  } else {
    noteEditorContainer_->hide();
    if (noteEditPanel_->editorStatus()) {
      noteEditPanel_->save(false);
      notesColor_ = noteEditPanel_->bgColor();
    }
    noteEditPanel_->setEditorStatus(nullptr);
    globalNotes_.reset();
    objectNotes_.reset();
    shownNotesObject_ = -1;
  }
}

void TdataForm::showNotes(bool reloadGlobal) {
  if (!globalNotes_ || !objectNotes_) return;
  if (noteEditPanel_->editorStatus()) noteEditPanel_->save(false);
  // A missing notes file is made empty at once, so that the editor saves
  // into a file that exists.
  const auto open = [](TEditorStatus& document, const std::string& file) {
    if (!fileExists(file)) {
      document.clear();
      document.saveToFile(file, true);
    } else {
      document.loadFromFile(file);
    }
  };
  if (reloadGlobal) {
    open(*globalNotes_, globalNotesFile());
    globalNoteSheet_->setCaption(globalNotesCaption());
  }
  const int current = objects_ ? objects_->currentIndex() : -1;
  if (current >= 0) {
    open(*objectNotes_, objectNotesFile(current));
    objectNoteSheet_->setCaption(objectCaption(current));
    shownNotesObject_ = current;
  } else {
    objectNotes_->clear();
    objectNoteSheet_->setCaption("");
    shownNotesObject_ = -1;
    // The object's tab has nothing to show: the global notes come forward.
    notePageControl_->setActivePage(globalNoteSheet_);
  }
  globalNotes_->backgroundColour = notesColor_;
  objectNotes_->backgroundColour = notesColor_;
  const bool globalShown = notePageControl_->activePage() != objectNoteSheet_;
  noteEditPanel_->setEditorStatus(globalShown ? globalNotes_.get() : objectNotes_.get());
}

void TdataForm::notePageControlChange() {
  if (!globalNotes_ || !objectNotes_) return;
  if (noteEditPanel_->editorStatus()) notesColor_ = noteEditPanel_->bgColor();
  if (notePageControl_->activePage() == objectNoteSheet_ && shownNotesObject_ < 0) {
    notePageControl_->setActivePage(globalNoteSheet_);
  }
  const bool globalShown = notePageControl_->activePage() != objectNoteSheet_;
  TEditorStatus* document = globalShown ? globalNotes_.get() : objectNotes_.get();
  document->backgroundColour = notesColor_;
  noteEditPanel_->setEditorStatus(document);
  if (noteEditPanel_->canFocus()) noteEditPanel_->setFocus();
}

void TdataForm::noteEditPanelExit() {
  if (!noteEditPanel_->editorStatus()) return;
  notesColor_ = noteEditPanel_->bgColor();
  noteEditPanel_->save(false);
}

// ---- GUI options ----

void TdataForm::readPanelPlace(const TPortableIniFile& ini, const std::string& section, TControl& panel,
                               bool withVisible) {
  panel.setBounds(ini.readInteger(section, "Left", panel.left()), ini.readInteger(section, "Top", panel.top()),
                  panel.width(), panel.height());
  if (withVisible) panel.setVisible(ini.readBool(section, "Visible", panel.visible()));
}

void TdataForm::writePanelPlace(TPortableIniFile& ini, const std::string& section, const TControl& panel,
                                bool withVisible) {
  ini.writeInteger(section, "Left", panel.left());
  ini.writeInteger(section, "Top", panel.top());
  if (withVisible) ini.writeBool(section, "Visible", panel.visible());
}

void TdataForm::loadGUIoptions(const std::string& fileName) {
  const TPortableIniFile ini(fileName);
  try {
    readPanelPlace(ini, "DateControls", *dateControlsPanel_, false);
    synchDatesBtn_->setDown(ini.readBool("DateControls", "Synchronize", synchDatesBtn_->down()));
    readMoreGUIoptions(ini);
    readPanelPlace(ini, "ViewsControls", *objectsControlPanel_, true);
    readPanelPlace(ini, "ViewsArrange", *objectsArrangePanel_, true);
    sheetResizablePanel_->setRelativeBounds(
        sheetContainer_, ini.readFloat("Grid", "Left", 0), ini.readFloat("Grid", "Top", 0),
        ini.readFloat("Grid", "Right", 1), ini.readFloat("Grid", "Bottom", 1));
    sheetContainer_->setMaximized(ini.readBool("Grid", "Maximized", sheetContainer_->maximized()));
    readPanelPlace(ini, "CreationControls", *creationControlsPanel_, true);
    readPanelPlace(ini, "GridDirectionControls", *gridDirectionPanel_, true);
    const bool rowWise = ini.readBool("GridDirectionControls", "RowWise", rowWiseBtn_->down());
    rowWiseBtn_->setDown(rowWise);
    colWiseBtn_->setDown(!rowWise);
    dataSheet_->rowWise = rowWise;
    showCellErrorsBtn_->setDown(ini.readBool("GridErrors", "Show", showCellErrorsBtn_->down()));
    sheetPanel_->setShowCellErrors(showCellErrorsBtn_->down());
    readPanelPlace(ini, "SortControls", *sortPanel_, true);
    readPanelPlace(ini, "OrderControls", *orderPanel_, true);
    readPanelPlace(ini, "SetupControls", *sheetSetupPanel_, true);
    fixedBtn_->setDown(ini.readBool("SetupControls", "FixedOn", fixedBtn_->down()));
    sheetControlBar_->setVisible(ini.readBool("SheetControls", "Visible", sheetControlBar_->visible()));
    sheetResizablePanel_->setRelativeBounds(
        noteEditorContainer_, ini.readFloat("Notes", "Left", 0), ini.readFloat("Notes", "Top", 0),
        ini.readFloat("Notes", "Right", 1), ini.readFloat("Notes", "Bottom", 1));
    noteEditorContainer_->setMaximized(ini.readBool("Notes", "Maximized", noteEditorContainer_->maximized()));
    notesColor_ = static_cast<TColor>(ini.readInteger("Notes", "Color", static_cast<int>(notesColor_)));
    TFontAttributes* record = noteFonts_.find(0);
    TFontProperties font = fontPropertiesOf(*record);
    ini.readFont("Notes", "Font", font);
    TFontAttributes read = fontAttributesOf(font);
    read.id = 0;
    noteFonts_.add(read);
    const bool showNotesTile = ini.readBool("Notes", "Show", notesBtn_->down());
    if (showNotesTile != notesBtn_->down()) {
      notesBtn_->setDown(showNotesTile);
      notesBtnClick();
    }
  } catch (const std::exception&) {
    // The keys not read keep the controls as they are.
  }
  arrangePanels(*controlBar_);
  arrangePanels(*sheetControlBar_);
}

void TdataForm::saveGUIoptions(const std::string& fileName) {
  TPortableIniFile ini(fileName);
  writePanelPlace(ini, "DateControls", *dateControlsPanel_, false);
  ini.writeBool("DateControls", "Synchronize", synchDatesBtn_->down());
  writeMoreGUIoptions(ini);
  writePanelPlace(ini, "ViewsControls", *objectsControlPanel_, true);
  writePanelPlace(ini, "ViewsArrange", *objectsArrangePanel_, true);
  const auto writeTile = [&](const char* section, TResizablePanel& tile) {
    long double left = 0, top = 0, right = 1, bottom = 1;
    sheetResizablePanel_->getRelativeBounds(&tile, left, top, right, bottom);
    ini.writeFloat(section, "Left", static_cast<double>(left));
    ini.writeFloat(section, "Top", static_cast<double>(top));
    ini.writeFloat(section, "Right", static_cast<double>(right));
    ini.writeFloat(section, "Bottom", static_cast<double>(bottom));
    ini.writeBool(section, "Maximized", tile.maximized());
  };
  writeTile("Grid", *sheetContainer_);
  writePanelPlace(ini, "CreationControls", *creationControlsPanel_, true);
  writePanelPlace(ini, "GridDirectionControls", *gridDirectionPanel_, true);
  ini.writeBool("GridDirectionControls", "RowWise", rowWiseBtn_->down());
  ini.writeBool("GridErrors", "Show", showCellErrorsBtn_->down());
  writePanelPlace(ini, "SortControls", *sortPanel_, true);
  writePanelPlace(ini, "OrderControls", *orderPanel_, true);
  writePanelPlace(ini, "SetupControls", *sheetSetupPanel_, true);
  ini.writeBool("SetupControls", "FixedOn", fixedBtn_->down());
  ini.writeBool("SheetControls", "Visible", sheetControlBar_->visible());
  writeTile("Notes", *noteEditorContainer_);
  if (noteEditPanel_->editorStatus()) notesColor_ = noteEditPanel_->bgColor();
  ini.writeInteger("Notes", "Color", static_cast<int>(notesColor_));
  ini.writeFont("Notes", "Font", fontPropertiesOf(*noteFonts_.find(0)));
  ini.writeBool("Notes", "Show", notesBtn_->down());
  ini.updateFile();
}
