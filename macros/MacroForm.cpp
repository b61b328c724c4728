#include "macros/MacroForm.h"

#include <algorithm>
#include <memory>

#include "controls/DocumentSave.h"
#include "controls/EditPanel.h"
#include "controls/SheetPanel.h"
#include "model/ChangeStamps.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/ExtControls.h"
#include "platform/ListView.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"
#include "sheet/Sheet.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"
#include "platform/GuidText.h"

namespace {

constexpr int delayMilliseconds = 200;
// Changes left for the close: a later one of the same file replaces them.
constexpr const char* sourceChange = "macro source";
constexpr const char* markChange = "macro mark";

const char* const cellTypeNames[] = {
    "Empty",          "Float",           "String",          "Date",           "Time",
    "Integer",        "Boolean",         "Currency",        "Color",          "Image",
    "Portfolio name", "Portfolio symbol", "Portfolio currency", "Asset name", "Asset symbol",
    "Asset currency", "Asset stocks %",  "Asset bonds %",   "Asset cash %",   "Asset other %",
    "Transaction number", "Transaction date", "Transaction time", "Transaction units", "Transaction value",
    "Transaction fees", "Transaction flag"};

}  // namespace

TmacroForm::TmacroForm() : TChildForm(), delayTimer_(delayMilliseconds) {
  setText("Macros");
  helpContext = 1600;
  delayTimer_.onTimer = [this] { selectMacro(); };
  for (const TFontAttributes& font : defaultEngineAttributes().fonts) fontAttributeSets_.add(font);
  editorColor_ = clWindow;
  selectedMacroStatus_.backgroundColour = editorColor_;
  activeMacrosStatus_.backgroundColour = editorColor_;
  activeMacrosStatus_.readOnly = true;
  createLayout();
  buildListPopupMenu();
  buildEditorPopupMenu();
  macroEditPanel_->setFontAttributeSets(&fontAttributeSets_);
  macroEditPanel_->setOnGetTextAttributes(
      [this](const std::string& text, std::vector<uint16_t>& ids) { getTextAttributes(text, ids); });
  macroEditPanel_->setEditorStatus(&selectedMacroStatus_);
  connectHandlers(true);
  selectMacro();
}

TmacroForm::~TmacroForm() {
  delayTimer_.setEnabled(false);
  // The child controls go after this object's members (the base destroys
  // them), and losing the focus or a last paint would still call back here.
  connectHandlers(false);
  macroListView_->onColumnClick = nullptr;
  macroListView_->onKeyDown = nullptr;
  macroListView_->setPopupMenu(nullptr);
  macroEditPageControl_->onChange = nullptr;
  macroEditPanel_->onExit = nullptr;
  macroEditPanel_->onRender = nullptr;
  macroEditPanel_->onKeyDown = nullptr;
  macroEditPanel_->onKeyUp = nullptr;
  macroEditPanel_->setPopupMenu(nullptr);
  macroEditPanel_->setOnGetTextAttributes({});
  macroEditPanel_->setFontAttributeSets(nullptr);
  sheetPanel_->onCellValueEdited = nullptr;
  sheetPanel_->onRender = nullptr;
  sheetPanel_->onSheetKeyPress = nullptr;
  sheetPanel_->onSheetKeyDown = nullptr;
  sheetEdit_->onKeyDown = nullptr;
  sheetEdit_->onDoubleClick = nullptr;
  sheetEdit_->onEnter = nullptr;
  cellFormatBox_->onChange = nullptr;
  for (TFindDialog* dialog : {findDialog_, replaceDialog_})
    if (dialog != nullptr) {
      dialog->onFind = nullptr;
      dialog->onReplace = nullptr;
      dialog->onClose = nullptr;
    }
  macroEditPanel_->setEditorStatus(nullptr);
  host_.resetEngine();
}

void TmacroForm::createLayout() {
  macroListPanel_ = &add<TPanel>();
  macroListPanel_->setAlign(TAlign::left);
  macroListPanel_->setBevelOuter(TBevelCut::none);
  macroListPanel_->setBounds(0, 0, 180, clientHeight());
  macroEnginePanel_ = &macroListPanel_->add<TPanel>();
  macroEnginePanel_->setAlign(TAlign::top);
  macroEnginePanel_->setBevelOuter(TBevelCut::none);
  macroEnginePanel_->setBounds(0, 0, 180, 26);
  macroEngineComboBox_ = &macroEnginePanel_->add<TComboBox>(TComboStyle::dropDownList);
  macroEngineComboBox_->setBounds(2, 2, 176, 21);
  macroEngineComboBox_->setAnchors(akLeft | akTop | akRight);
  macroEngineComboBox_->setTabStop(true);
  TListViewOptions listOptions;
  listOptions.checkBoxes = true;
  listOptions.multiSelect = true;
  listOptions.editLabels = true;
  listOptions.readOnly = false;
  macroListView_ = &macroListPanel_->add<TListView>(listOptions);
  macroListView_->setAlign(TAlign::client);
  macroListView_->addColumn("Package", 150);
  macroListView_->setTabStop(true);
  macroListView_->setPopupMenu(&macroListPopupMenu_);
  macroListView_->onColumnClick = [this](int column) {
    macroListView_->toggleSortKey(column);
    macroListView_->sortByColumn(0, macroListView_->tag < 0, true);
  };
  macroListView_->onKeyDown = [this](WORD& key, TShiftState shift) { macroListViewKeyDown(key, shift); };

  vSplitter_ = &add<TSplitter>(TAlign::left);
  vSplitter_->setBounds(180, 0, 4, clientHeight());
  rightPanel_ = &add<TPanel>();
  rightPanel_->setAlign(TAlign::client);
  rightPanel_->setBevelOuter(TBevelCut::none);

  macroEditBottomPanel_ = &rightPanel_->add<TPanel>();
  macroEditBottomPanel_->setAlign(TAlign::top);
  macroEditBottomPanel_->setBevelOuter(TBevelCut::none);
  macroEditBottomPanel_->setBounds(0, 0, rightPanel_->clientWidth(), 300);
  macroEditPageControl_ = &macroEditBottomPanel_->add<TPageControl>();
  macroEditPageControl_->setAlign(TAlign::top);
  macroEditPageControl_->setBounds(0, 0, macroEditBottomPanel_->clientWidth(), 24);
  selectedMacroTabSheet_ = &macroEditPageControl_->own(std::make_unique<TTabSheet>(macroEditPageControl_, "Selected package"));
  activeMacrosTabSheet_ = &macroEditPageControl_->own(std::make_unique<TTabSheet>(macroEditPageControl_, "Active macros"));
  macroEditorStatusBar_ = &macroEditBottomPanel_->add<TStatusBar>();
  macroEditorStatusBar_->setAlign(TAlign::bottom);
  macroEditorStatusBar_->setPanels({80, 80, 100, -1});
  macroEditorStatusBar_->setPanelText(0, "1: 1");
  macroEditorStatusBar_->setPanelText(1, "Insert");
  macroEditorStatusBar_->setPanelText(2, "Connected");
  macroEditorStatusBar_->setPanelText(3, "");
  macroEditPanel_ = &macroEditBottomPanel_->add<TEditPanel>();
  macroEditPanel_->setAlign(TAlign::client);
  macroEditPanel_->setTabStop(true);
  macroEditPanel_->setPopupMenu(&editorPopupMenu_);

  hSplitter_ = &rightPanel_->add<TSplitter>(TAlign::top);
  hSplitter_->setBounds(0, 300, rightPanel_->clientWidth(), 4);
  testSheetContainerPanel_ = &rightPanel_->add<TPanel>();
  testSheetContainerPanel_->setAlign(TAlign::client);
  testSheetContainerPanel_->setBevelOuter(TBevelCut::none);
  sheetControlPanel_ = &testSheetContainerPanel_->add<TPanel>();
  sheetControlPanel_->setAlign(TAlign::top);
  sheetControlPanel_->setBevelOuter(TBevelCut::none);
  sheetControlPanel_->setBounds(0, 0, testSheetContainerPanel_->clientWidth(), 26);
  cellFormatBox_ = &sheetControlPanel_->add<TComboBox>(TComboStyle::dropDownList);
  cellFormatBox_->setBounds(2, 2, 130, 21);
  cellFormatBox_->setTabStop(true);
  for (const char* name : cellTypeNames) cellFormatBox_->addItem(name);
  hints_ = std::make_unique<TToolTips>(*this);
  hints_->setHint(*cellFormatBox_, "Cell type");
  sheetEdit_ = &sheetControlPanel_->add<TEdit>();
  sheetEdit_->setBounds(136, 2, sheetControlPanel_->clientWidth() - 138, 21);
  sheetEdit_->setAnchors(akLeft | akTop | akRight);
  sheetEdit_->setTabStop(true);
  sheetPanel_ = &testSheetContainerPanel_->add<TSheetPanel>();
  sheetPanel_->setAlign(TAlign::client);
  sheetPanel_->setTabStop(true);
  sheetPanel_->setShowColCoords(true);
  sheetPanel_->setShowRowCoords(true);
  sheetPanel_->setColsSizable(true);
  sheetPanel_->setRowsSizable(true);
  sheetPanel_->setShowGridLines(true);
  sheetPanel_->setShowCellErrors(true);
  sheetPanel_->setDefaultMaxDecimals(2);
  sheetPanel_->setDefaultFixedDecimals(false);
  sheetPanel_->setMultiSelect(true);
  sheetPanel_->setDefaultColWidth(85);
  sheetPanel_->setDefaultRowHeight(16);
  sheetPanel_->setFixedCols(0);
  sheetPanel_->setFixedRows(0);
  sheetPanel_->setTrueImageIndex(1);
  sheetPanel_->setFalseImageIndex(0);
  TFontProperties sheetFont;
  sheetFont.name = "MS Sans Serif";
  sheetFont.size = 8;
  sheetPanel_->setDefaultFont(sheetFont);
  sheetPanel_->setDefaultRowHeight(-1);  // follows the font
  sheetPanel_->onCellValueEdited = [this] { updateSheetEditor(); };
  sheetPanel_->onRender = [this] { updateSheetEditor(); };
  sheetPanel_->onSheetKeyPress = [this](char& key) { sheetPanelKeyPress(key); };
  sheetPanel_->onSheetKeyDown = [this](WORD& key, TShiftState shift) {
    if (key == VK_DELETE && (shift & ssCtrl)) {
      sheetPanel_->sheet().setSelectionType(0);
      sheetPanel_->invalidate();
      key = 0;
    }
  };
  sheetEdit_->onKeyDown = [this](WORD& key, TShiftState shift) { sheetEditKeyDown(key, shift); };
  sheetEdit_->onDoubleClick = [this] { setCell(); };
  sheetEdit_->onEnter = [this] {
    if (sheetPanel_->multiSelect()) {
      sheetPanel_->setMultiSelect(false);
      sheetPanel_->setMultiSelect(true);
    }
  };
  cellFormatBox_->onChange = [this] { cellFormatBoxChange(); };

  macroEditPageControl_->onChange = [this] { macroEditPageControlChange(); };
  macroEditPanel_->onExit = [this] { macroEditPanelExit(); };
  macroEditPanel_->onRender = [this](TEditPanel&) { macroEditPanelRender(); };
  macroEditPanel_->onKeyUp = [this](WORD& key, TShiftState) {
    if (key == VK_INSERT && macroEditPanel_->editorStatus() != nullptr)
      macroEditorStatusBar_->setPanelText(1, macroEditPanel_->editorStatus()->insertMode ? "Insert" : "Overwrite");
  };
}

void TmacroForm::connectHandlers(bool connect) {
  handlersConnected_ = connect;
  if (!connect) {
    delayTimer_.setEnabled(false);
    macroEngineComboBox_->onChange = nullptr;
    macroListView_->onItemChecked = nullptr;
    macroListView_->onSelectItem = nullptr;
    macroListView_->onEdited = nullptr;
    return;
  }
  macroEngineComboBox_->onChange = [this] { macroEngineComboBoxChange(); };
  macroListView_->onItemChecked = [this](int row) { macroListViewChange(row); };
  macroListView_->onSelectItem = [this](int, bool) { delayTimer_.restart(); };
  macroListView_->onEdited = [this](int row, std::string& text) { return macroListViewEdited(row, text); };
}

void TmacroForm::listViewModifyEventsEnable(bool enable) { connectHandlers(enable); }

// ---- engines

const TScriptEngineAttributes* TmacroForm::selectedEngine() const {
  int index = macroEngineComboBox_->itemIndex();
  if (index < 0 || index >= static_cast<int>(declarations_.engines.size())) return nullptr;
  return &declarations_.engines[index];
}

std::string TmacroForm::selectedEngineClassId() const {
  const TScriptEngineAttributes* engine = selectedEngine();
  return engine != nullptr ? guidToText(engine->classId) : std::string();
}

void TmacroForm::registerEngineFonts(const TScriptEngineAttributes& engine, bool withDefault) {
  for (int i = withDefault ? fcDefault : fcKeyword; i < fontClassCount; ++i) fontAttributeSets_.add(engine.fonts[i]);
  fontAttributeSets_.invalidateWidths();
  macroEditPanel_->setFontAttributeSets(&fontAttributeSets_);
}

void TmacroForm::setAxEnginesPath(const std::string& path) {
  declarations_.setPath(path);
  loadEngineDeclarations(false);
}

void TmacroForm::loadEngineDeclarations(bool onlyIfChanged) {
  if (!declarations_.load(onlyIfChanged)) return;
  bool connected = handlersConnected_;
  macroEngineComboBox_->onChange = nullptr;
  macroEngineComboBox_->clear();
  for (const TScriptEngineAttributes& engine : declarations_.engines) macroEngineComboBox_->addItem(engine.description);
  int selected = declarations_.selectedIndex();
  macroEngineComboBox_->setItemIndex(selected);
  if (selected >= 0) registerEngineFonts(declarations_.engines[selected], false);
  if (connected) macroEngineComboBox_->onChange = [this] { macroEngineComboBoxChange(); };
}

TSaveFailures TmacroForm::saveEngineDeclarations() {
  if (declarations_.save(macroEngineComboBox_->itemIndex())) return {};
  return {declarations_.path()};
}

void TmacroForm::saveSelectedEngineGUID() { declarations_.saveSelectedEngineGUID(macroEngineComboBox_->itemIndex()); }

void TmacroForm::macroEngineComboBoxChange() { engineSelectionChanged(); }

void TmacroForm::engineSelectionChanged() {
  saveMacros();
  // The packages are listed anew for the engine chosen: marks their files
  // refused wait for the close.
  for (int i = 0; i < macroIndex_.count(); ++i) {
    const TMacroReference& package = *macroIndex_.item(i);
    if (!package.modified) continue;
    const std::string descriptor = macroIndex_.directory() + package.name() + ".INI";
    holdUnsavedChange(descriptor, markChange, [kept = package](const std::string& held) mutable {
      return kept.saveInto(held) == macroOk;
    });
    heldMarks_[descriptor] = package.Active();
  }
  listMacros();
  // The open package belongs to the engine left: the editor must not keep
  // showing it, nor write what is typed into it.
  openSelectedPackage();
  saveSelectedEngineGUID();
  loadMacros();
}

// ---- packages

void TmacroForm::listMacros() {
  if (selectedEngine() != nullptr)
    macroIndex_.load(includeTrailingBackslash(getDirectory("<MACROS>")), selectedEngineClassId());
  else
    macroIndex_.clear();
  // A mark its file refused shows again with its package: read from the
  // file, it would not, and the next save, finding nothing changed, would
  // let it go unwritten. One saved, given up or let go since is the file's.
  for (int i = 0; i < macroIndex_.count(); ++i) {
    TMacroReference& package = *macroIndex_.item(i);
    const std::string descriptor = macroIndex_.directory() + package.name() + ".INI";
    const auto held = heldMarks_.find(descriptor);
    if (held == heldMarks_.end()) continue;
    if (holdsUnsavedChange(descriptor, markChange)) package.setActive(held->second);
    heldMarks_.erase(held);
  }
  rebuildList();
}

void TmacroForm::rebuildList() {
  auto checkedHandler = std::move(macroListView_->onItemChecked);
  macroListView_->onItemChecked = nullptr;
  macroListView_->beginUpdate();
  macroListView_->clear();
  for (int i = 0; i < macroIndex_.count(); ++i) {
    int row = macroListView_->addItem(macroIndex_.item(i)->name(), i);
    macroListView_->setChecked(row, macroIndex_.item(i)->Active());
  }
  macroListView_->endUpdate();
  macroListView_->onItemChecked = std::move(checkedHandler);
}

TSaveFailures TmacroForm::saveMacros() {
  TSaveFailures failed;
  for (int i = 0; i < macroIndex_.count(); ++i) {
    TMacroReference& package = *macroIndex_.item(i);
    const std::string descriptor = macroIndex_.directory() + package.name() + ".INI";
    // Only a mark written lets go what was held for the file.
    const bool changed = package.modified;
    if (package.save() == macroFileFailed)
      failed.push_back(descriptor);
    else if (changed)
      forgetUnsavedChange(descriptor, markChange);
  }
  if (selectedMacroStatus_.modified && !selectedMacroStatus_.fileName.empty() && !saveSelectedSource())
    failed.push_back(selectedMacroStatus_.fileName);
  return failed;
}

bool TmacroForm::saveSelectedSource() {
  // Edits of the open source are kept whatever shows in the editor, before
  // anything clears it.
  if (!selectedMacroStatus_.modified || selectedMacroStatus_.fileName.empty()) return false;
  const std::string file = selectedMacroStatus_.fileName;
  if (saveDocumentAsking(selectedMacroStatus_, false, systemMessageBox(), handle()) == TDocumentSave::saved) {
    forgetUnsavedChange(file, sourceChange);
    return true;
  }
  return false;
}

void TmacroForm::holdSelectedSource() {
  if (!selectedMacroStatus_.modified || selectedMacroStatus_.fileName.empty()) return;
  holdDocument(selectedMacroStatus_, sourceChange);
}

void TmacroForm::macroListViewChange(int row) {
  TMacroReference* package = macroIndex_.item(static_cast<int>(macroListView_->itemData(row)));
  if (package == nullptr || macroListView_->checked(row) == package->Active()) return;
  package->setActive(macroListView_->checked(row));
  loadMacros();
}

bool TmacroForm::macroListViewEdited(int row, std::string& text) {
  macroEditPanelExit();
  int index = static_cast<int>(macroListView_->itemData(row));
  TMacroReference* package = macroIndex_.item(index);
  if (package == nullptr) return false;
  std::string oldName = package->name();
  if (macroIndex_.rename(index, text) != macroOk) return false;
  text = package->name();
  // The list selects with a delay: the open document may still be another
  // package's, whose text must not land in the renamed one's file.
  std::string openPrefix = macroIndex_.directory() + oldName + ".";
  if (selectedMacroStatus_.fileName.size() > openPrefix.size() &&
      selectedMacroStatus_.fileName.compare(0, openPrefix.size(), openPrefix) == 0 &&
      selectedMacroStatus_.fileName.find('.', openPrefix.size()) == std::string::npos) {
    std::string extension = selectedMacroStatus_.fileName.substr(openPrefix.size() - 1);
    selectedMacroStatus_.fileName = macroIndex_.directory() + package->name() + extension;
    if (selectedMacroStatus_.modified) selectedMacroStatus_.saveToFile(selectedMacroStatus_.fileName, false);
    selectedMacroFileName_ = package->name() + extension;
    selectedMacroTabSheet_->setCaption(selectedMacroFileName_);
  }
  return true;
}

void TmacroForm::macroListViewKeyDown(WORD& key, TShiftState shift) {
  if (shift & (ssCtrl | ssAlt | ssShift)) return;
  if (key == VK_INSERT) {
    key = 0;
    newMacro();
  } else if (key == VK_DELETE) {
    key = 0;
    deleteMacros();
  }
}

void TmacroForm::newMacro() {
  TMacroReference* package = macroIndex_.add("New");
  if (package == nullptr) return;
  package->save();
  int row = macroListView_->addItem(package->name(), macroIndex_.count() - 1);
  macroListView_->setChecked(row, package->Active());
  macroListView_->setItemIndex(row);
}

void TmacroForm::copyMacro() {
  int row = macroListView_->itemIndex();
  if (row < 0) return;
  TMacroReference* package = macroIndex_.copy(static_cast<int>(macroListView_->itemData(row)), "copy");
  if (package == nullptr) return;
  package->setActive(false);
  int added = macroListView_->addItem(package->name(), macroIndex_.count() - 1);
  macroListView_->setChecked(added, false);
}

void TmacroForm::deleteMacros() {
  int count = macroListView_->selectedCount();
  if (count == 0) return;
  std::string question = "Delete package";
  int first = macroListView_->nextSelected(-1);
  question += count == 1 ? "\n\n\"" + macroListView_->itemText(first) + "\"" : "?";
  if (systemMessageBox().show(handle(), question, "Confirm", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return;
  saveMacros();
  // The list is then rebuilt from the index, whose order it shows.
  std::vector<int> indexes;
  std::vector<std::pair<std::string, bool>> going;  // name, and whether active
  for (int row = macroListView_->nextSelected(-1); row >= 0; row = macroListView_->nextSelected(row)) {
    const int index = static_cast<int>(macroListView_->itemData(row));
    const TMacroReference* package = macroIndex_.item(index);
    if (package == nullptr) continue;
    indexes.push_back(index);
    going.emplace_back(package->name(), package->Active());
  }
  std::string refusal;
  macroIndex_.remove(indexes, &refusal);
  bool anyDeleted = false;
  bool activeDeleted = false;
  for (const auto& [name, active] : going) {
    if (macroIndex_.indexOf(name) >= 0) continue;
    anyDeleted = true;
    activeDeleted = activeDeleted || active;
  }
  const std::string named = going.size() == 1 ? "The package " + going.front().first + " was" : "The packages were";
  if (!refusal.empty())
    systemMessageBox().show(handle(), deletionNotice(named, anyDeleted, refusal), "Warning", MB_OK | MB_ICONWARNING);
  rebuildList();
  selectedMacroStatus_.clear();
  selectMacro();
  if (activeDeleted) loadMacros();
}

void TmacroForm::selectMacro() {
  openSelectedPackage();
  if (macroListView_->canFocus()) macroListView_->setFocus();
}

void TmacroForm::openSelectedPackage() {
  delayTimer_.setEnabled(false);
  THourglass hourglass;
  macroIndex_.saveAll();
  bool sourceSaved = saveSelectedSource();
  // The editor goes on to another package: edits its file refused wait for
  // the close, and show again, as the user left them, when their package
  // does.
  if (!sourceSaved) {
    holdSelectedSource();
    keepDocument(std::make_unique<TEditorStatus>(std::move(selectedMacroStatus_)));
  }
  selectedMacroFileName_.clear();
  selectedMacroTabSheet_->setCaption("Selected package");
  int row = macroListView_->itemIndex();
  const TScriptEngineAttributes* engine = selectedEngine();
  TMacroReference* package =
      row >= 0 && macroListView_->selected(row) ? macroIndex_.item(static_cast<int>(macroListView_->itemData(row))) : nullptr;
  selectedMacroStatus_.readOnly = false;
  if (package != nullptr && engine != nullptr) {
    selectedMacroStatus_.clear();
    std::vector<std::string> extensions = fileFilterExtensions(engine->fileFilter);
    std::string opened;
    for (const std::string& extension : extensions) {
      std::string path = macroIndex_.directory() + package->name() + extension;
      if (!pathExists(path)) continue;
      opened = extension;
      if (std::unique_ptr<TEditorStatus> kept = takeKeptDocument(path, sourceChange)) {
        selectedMacroStatus_ = std::move(*kept);
        break;
      }
      if (fileExists(path) && selectedMacroStatus_.loadFromFile(path)) break;
      // The empty text shown for a source that could not be read must not
      // be typed into and saved over it: shown read-only, with no file to
      // save to, and named.
      reportUnreadableFile(path);
      selectedMacroStatus_.readOnly = true;
      break;
    }
    if (opened.empty() && !extensions.empty()) {
      opened = extensions.front();
      selectedMacroStatus_.fileName = macroIndex_.directory() + package->name() + opened;
    }
    selectedMacroFileName_ = package->name() + opened;
    selectedMacroTabSheet_->setCaption(selectedMacroFileName_);
    macroEditPageControl_->setActivePage(selectedMacroTabSheet_);
  } else {
    selectedMacroStatus_.clear();
    macroEditPageControl_->setActivePage(activeMacrosTabSheet_);
  }
  selectedMacroStatus_.backgroundColour = editorColor_;
  macroEditPageControlChange();
  if (sourceSaved) loadMacros();
}

// ---- host

void TmacroForm::loadMacros() {
  THourglass hourglass;
  // From the model's stamp source, so that windows comparing it with their
  // own stamps never miss a load in the same millisecond.
  macrosLoadedAt_ = changeStamp();
  host_.resetEngine();
  loadedMacros_.clear();
  registerEngineFonts(defaultEngineAttributes(), true);
  const TScriptEngineAttributes* engine = selectedEngine();
  std::string errorText;
  if (engine == nullptr) {
    errorText = "Invalid script engine selection!";
  } else {
    registerEngineFonts(*engine, true);
    std::vector<std::string> convertedFiles;
    std::vector<TMacroSource> sources;
    std::string joined = TScriptHost::joinActiveMacros(macroIndex_, *engine, &convertedFiles, &sources);
    loadedMacros_ = guidToText(engine->classId) + "\n" + joined;
    host_.initEngine(engine);
    // The engine parses on its own thread while the joined text is shown.
    host_.startParsingSources(sources);
    activeMacrosStatus_.readOnly = false;
    activeMacrosStatus_.clear();
    activeMacrosStatus_.insertText(joined);
    activeMacrosStatus_.setCaret({1, 1});
    activeMacrosStatus_.modified = false;
    activeMacrosStatus_.readOnly = true;
    activeMacrosStatus_.backgroundColour = editorColor_;
    host_.parsedSources(errorText);
    if (macroEditPanel_->editorStatus() == &activeMacrosStatus_) macroEditPageControlChange();
    // Positions in the joined text hold only for 8-bit text: say which
    // sources were not, so that a marked line can be understood.
    if (!convertedFiles.empty()) {
      std::string note = "Converted to 8-bit text:";
      for (const std::string& name : convertedFiles) note += " " + name;
      errorText = errorText.empty() ? note : errorText + " (" + note + ")";
    }
    sheetPanel_->sheet().setScriptEngine(host_.scriptEngine(), true);
    sheetPanel_->invalidate();
  }
  if (!errorText.empty()) macroEditorStatusBar_->setPanelText(3, errorText);
}

void TmacroForm::showEngineState(const std::string& text) { macroEditorStatusBar_->setPanelText(2, text); }

void TmacroForm::showEngineMessage(const std::string& text) { macroEditorStatusBar_->setPanelText(3, text); }

void TmacroForm::markScriptError(int line, int column) {
  std::string text;
  activeMacrosStatus_.getLine(line, text);
  TTextRect whole{1, line, static_cast<int>(text.size()) + 1, line};
  activeMacrosStatus_.setCaret({column, line});
  if (macroEditPanel_->editorStatus() == &activeMacrosStatus_)
    macroEditPanel_->setSelection(whole);
  else
    activeMacrosStatus_.setSelection(whole);
}

HWND TmacroForm::siteWindow() { return GetAncestor(handle(), GA_ROOT); }

void TmacroForm::enableModeless(bool enable) { EnableWindow(GetAncestor(handle(), GA_ROOT), enable); }
