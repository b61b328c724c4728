// The window's controls: tool bars with their panels and buttons, the sheet
// and notes tiles, and the menus.
#include <algorithm>

#include "controls/EditPanel.h"
#include "controls/ResizablePanel.h"
#include "controls/ResizablePanelContainer.h"
#include "controls/SheetPanel.h"
#include "platform/DateTimePicker.h"
#include "platform/ExtControls.h"
#include "platform/StdControls.h"
#include "windows/DataForm.h"

namespace {

constexpr int buttonHeight = 22;
constexpr int barHeight = 28;
const char* const dayCounts[] = {"7",   "14",  "21",  "28",  "30",  "60",  "90",  "120", "150", "180",  "210",
                                 "240", "270", "300", "330", "360", "365", "730", "1095", "1460", "1825", "3650"};

TPanel& toolPanel(TControl& parent, const char* name) {
  TPanel& panel = parent.add<TPanel>();
  panel.name = name;
  panel.setBevelOuter(TBevelCut::none);
  panel.setSize(10, buttonHeight + 2);
  return panel;
}

// A button appended at the panel's right end, which grows to hold it. The
// hint is its caption too, which names it to screen readers; the picture
// shows in its place.
TToolButton& toolButton(TPanel& panel, TToolGlyphs& glyphs, const char* glyph, const char* hint, int width,
                        std::function<void()> onClick) {
  int left = 0;
  for (const TControl* child : panel.children()) left = std::max(left, child->left() + child->width());
  TToolButton& button = panel.add<TToolButton>(hint);
  button.setHint(hint);
  glyphs.apply(button, glyph);
  button.setBounds(left, 1, width, buttonHeight);
  button.onClick = std::move(onClick);
  panel.setSize(left + width + 2, panel.height());
  return button;
}

}  // namespace

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
  synchDatesBtn_ = &toolButton(panel, toolGlyphs_, "SYNCHDATESBMP", "Synchronize dates", 22, [this] {
    if (onSynchDatesClick) onSynchDatesClick(*synchDatesBtn_);
  });
  synchDatesBtn_->checkButton = true;
  toolButton(panel, toolGlyphs_, "FIRSTDATEBMP", "First date", 22, [this] { dateBoundClick(TDateBound::first); });
  toolButton(panel, toolGlyphs_, "FIRSTCOMMONBMP", "First common date", 26,
             [this] { dateBoundClick(TDateBound::firstCommon); });
  toolButton(panel, toolGlyphs_, "FRAMEBACKBMP", "One frame back", 22, [this] { scrollFrame(-1); });
  toolButton(panel, toolGlyphs_, "DAYBACKBMP", "One day back", 20, [this] { scrollTimeWindow(-1); });
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
  daysComboBox_->onExit = [this] { daysEntryEnded(); };
  daysComboBox_->onKeyDown = [this](WORD& key, TShiftState) {
    if (key != VK_RETURN) return;
    key = 0;
    daysEntryEnded();
  };
  panel.setSize(comboLeft + 60, panel.height());
  toDatePicker_ = addPicker(92);
  toDatePicker_->onChange = [this] { toDateChanged(); };
  toolButton(panel, toolGlyphs_, "DAYFORWARDBMP", "One day forward", 20, [this] { scrollTimeWindow(1); });
  toolButton(panel, toolGlyphs_, "FRAMEFORWARDBMP", "One frame forward", 22, [this] { scrollFrame(1); });
  toolButton(panel, toolGlyphs_, "LASTCOMMONBMP", "Last common date", 26,
             [this] { dateBoundClick(TDateBound::lastCommon); });
  toolButton(panel, toolGlyphs_, "LASTDATEBMP", "Last date", 22, [this] { dateBoundClick(TDateBound::last); });
}

void TdataForm::createViewControls() {
  objectsControlPanel_ = &toolPanel(*controlBar_, "objectsControlPanel");
  notesBtn_ = &toolButton(*objectsControlPanel_, toolGlyphs_, "NOTESBMP", "Notes", 40, [this] { notesBtnClick(); });
  notesBtn_->checkButton = true;
  toolButton(*objectsControlPanel_, toolGlyphs_, "NEWCHARTBMP", "New chart", 40, [this] { newViewClick(1); });
  toolButton(*objectsControlPanel_, toolGlyphs_, "NEWGRAPHBMP", "New graph", 42, [this] { newViewClick(2); });
  toolButton(*objectsControlPanel_, toolGlyphs_, "NEWBROWSERBMP", "New browser", 34, [this] { newViewClick(3); });
  toolButton(*objectsControlPanel_, toolGlyphs_, "GALLERYBMP", "Gallery", 46, [this] { galleryBtnClick(); });

  objectsArrangePanel_ = &toolPanel(*controlBar_, "objectsArrangePanel");
  toolButton(*objectsArrangePanel_, toolGlyphs_, "CASCADEBMP", "Cascade", 36,
             [this] { sheetResizablePanel_->cascade(); });
  toolButton(*objectsArrangePanel_, toolGlyphs_, "TILEHORZBMP", "Tile horizontally", 38,
             [this] { sheetResizablePanel_->tileHorizontal(); });
  toolButton(*objectsArrangePanel_, toolGlyphs_, "TILEVERTBMP", "Tile vertically", 38,
             [this] { sheetResizablePanel_->tileVertical(); });
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
  rowWiseBtn_ =
      &toolButton(*gridDirectionPanel_, toolGlyphs_, "ROWWISEBMP", "Rowwise", 36, [this] { setRowWise(true); });
  rowWiseBtn_->checkButton = true;
  rowWiseBtn_->group = 1;
  colWiseBtn_ =
      &toolButton(*gridDirectionPanel_, toolGlyphs_, "COLWISEBMP", "Columnwise", 34, [this] { setRowWise(false); });
  colWiseBtn_->checkButton = true;
  colWiseBtn_->group = 1;
  colWiseBtn_->setDown(true);
  showCellErrorsBtn_ = &toolButton(*gridDirectionPanel_, toolGlyphs_, "SHOWERRORSBMP", "Show errors", 28,
                                   [this] { showCellErrorsBtnClick(); });
  showCellErrorsBtn_->checkButton = true;
  sortPanel_ = &toolPanel(*sheetControlBar_, "sortPanel");
  sortAscendingBtn_ =
      &toolButton(*sortPanel_, toolGlyphs_, "SORTASCBMP", "Sort ascending", 34, [this] { sortClick(true); });
  sortDescendingBtn_ =
      &toolButton(*sortPanel_, toolGlyphs_, "SORTDESCBMP", "Sort descending", 34, [this] { sortClick(false); });
  orderPanel_ = &toolPanel(*sheetControlBar_, "orderPanel");
  moveUpBtn_ = &toolButton(*orderPanel_, toolGlyphs_, "UPBMP", "Up / Left", 30, [this] { moveClick(-1); });
  moveDownBtn_ = &toolButton(*orderPanel_, toolGlyphs_, "DOWNBMP", "Down / Right", 40, [this] { moveClick(1); });
  sheetSetupPanel_ = &toolPanel(*sheetControlBar_, "sheetSetupPanel");
  fixedBtn_ = &toolButton(*sheetSetupPanel_, toolGlyphs_, "FIXEDBMP", "Fixed fields", 28, [this] { fixedBtnClick(); });
  fixedBtn_->checkButton = true;
  fixedBtn_->setDown(true);
  toolButton(*sheetSetupPanel_, toolGlyphs_, "SETUPBMP", "Setup", 40, [this] { setupBtnClick(); });
  arrangePanels(*sheetControlBar_);

  sheetPanel_ = &sheetContainer_->add<TSheetPanel>();
  sheetPanel_->name = "sheetPanel";
  // A number kept as a custom property takes numbers only: a text would
  // become an error there and delete the property at the next save.
  sheetPanel_->numberRequired = [this] { return dataSheet_ && dataSheet_->currentCellHoldsCustomProperty(); };
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
  buttonItems_.emplace_back(&sort.add("&Ascending", [this] { sortClick(true); }), sortAscendingBtn_);
  buttonItems_.emplace_back(&sort.add("&Descending", [this] { sortClick(false); }), sortDescendingBtn_);
  TMenuItem& position = sheetPopupMenu_.add("&Position");
  buttonItems_.emplace_back(&position.add("&Up / Left", [this] { moveClick(-1); }), moveUpBtn_);
  buttonItems_.emplace_back(&position.add("&Down / Right", [this] { moveClick(1); }), moveDownBtn_);
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
  for (auto& [item, button] : buttonItems_) item->enabled = button->enabled();
}

TToolButton& TdataForm::addCreationButton(const char* glyph, const char* hint, int width,
                                          std::function<void()> onClick) {
  TToolButton& button = toolButton(*creationControlsPanel_, toolGlyphs_, glyph, hint, width, std::move(onClick));
  arrangePanels(*sheetControlBar_);
  return button;
}

TToolButton& TdataForm::addSetupButton(const char* glyph, const char* hint, int width,
                                       std::function<void()> onClick) {
  TToolButton& button = toolButton(*sheetSetupPanel_, toolGlyphs_, glyph, hint, width, std::move(onClick));
  arrangePanels(*sheetControlBar_);
  return button;
}

TToolButton& TdataForm::addViewsButton(const char* glyph, const char* hint, int width,
                                       std::function<void()> onClick) {
  TToolButton& button = toolButton(*objectsControlPanel_, toolGlyphs_, glyph, hint, width, std::move(onClick));
  arrangePanels(*controlBar_);
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
