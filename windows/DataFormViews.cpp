// The docked charts, graphs and browsers of a data window, and its notes.
#include "chart/SheetGraph.h"
#include "controls/DocumentSave.h"
#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/GalleryForm.h"
#include "controls/ResizablePanel.h"
#include "controls/ResizablePanelContainer.h"
#include "controls/SheetPanel.h"
#include "controls/WebPanel.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "windows/DataForm.h"

namespace {

// Notes left for the close: a later save of the same file replaces them.
constexpr const char* notesChange = "notes";

const char* const viewFolders[] = {"", "Charts\\", "Graphs\\", "Browsers\\"};
const char* const viewTemplates[] = {"", "ChartTemplate.INI", "GraphTemplate.INI", "BrowserTemplate.INI"};

// A view in a window always finds its tile in its file, and one without is
// taken as damaged. A template names no place, so the copy made from it
// takes the whole tile until the view is placed and saved.
void giveTheWholeTile(const std::string& fileName) {
  TPortableIniFile ini(fileName);
  if (ini.readFailed()) return;
  bool added = false;
  for (const auto& [side, value] : {std::pair{"Left", 0.0}, {"Top", 0.0}, {"Right", 1.0}, {"Bottom", 1.0}})
    if (ini.readString("Tile", side, "").empty()) {
      ini.writeFloat("Tile", side, value);
      added = true;
    }
  if (added) ini.updateFile();
}

}  // namespace

void TdataForm::placeView(TControl& view) {
  view.setBounds(sheetResizablePanel_->clientWidth(), 0, sheetResizablePanel_->defaultPanelWidth,
                 sheetResizablePanel_->defaultPanelHeight);
}

void TdataForm::loadAllViews() {
  for (int kind = 1; kind <= 3; ++kind) loadViews(windowDirectory_ + viewFolders[kind], kind);
}

void TdataForm::loadViews(const std::string& folder, int kind) {
  for (const TFoundFile& file : findFiles(folder + files_.viewPrefix + "*.INI")) {
    // A folder under a view's name hides the view: the user is told.
    if (file.isFolder)
      reportUnreadableFile(folder + file.name);
    else
      loadView(folder + file.name, kind);
  }
}

TResizablePanel* TdataForm::loadView(const std::string& fileName, int kind) {
  if (kind == 1) return loadSheetChart(fileName);
  if (kind == 2) return loadSheetGraph(fileName);
  return loadWebPanel(fileName);
}

// A view the user has just asked for comes up where the sheet and the other
// views leave it in sight, whatever place its file or template gives it:
// the next click in the grid brings the sheet's tile forward.
void TdataForm::showNewView(TResizablePanel* view) {
  if (view) sheetResizablePanel_->placeNewPanel(*view);
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
  graph->placedAfterLoading();
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
  panel->setOnMakeDefaultRequest(makeDefaultRequest_);
  panel->setOnClearDefaultRequest(clearDefaultRequest_);
  panel->onDelSelfRequest = deleteRequest_;
  panel->onDeleted = [this](TWebPanel& deleted, int result) {
    if (result == 0)
      freeAuxiliaryView(deleted);
    else
      messages->show(handle(), deleted.refusedDeletion(), commonString(4), MB_OK | MB_ICONWARNING);
  };
  panel->loadTranslations(languageFile_);
  panel->loadSettings(fileName);
  openFavouriteOfSelection(*panel);
  if (panel->left() >= sheetResizablePanel_->clientWidth()) panel->setBounds(0, 0, panel->width(), panel->height());
  panel->placedAfterLoading();
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

std::unique_ptr<TSheetGraph> TdataForm::releaseSheetView(TSheetGraph& view) {
  for (auto graph = graphs_.begin(); graph != graphs_.end(); ++graph)
    if (graph->get() == &view) {
      view.invalidateCompute(false);
      std::erase(graphViews_, &view);
      std::unique_ptr<TSheetGraph> released = std::move(*graph);
      graphs_.erase(graph);
      return released;
    }
  return nullptr;
}

void TdataForm::newViewClick(int kind) {
  if (windowDirectory_.empty() || kind < 1 || kind > 3) return;
  const std::string folder = windowDirectory_ + viewFolders[kind];
  createFolder(folder);
  const std::string name = uniqueFileName(folder, files_.viewPrefix, ".INI", 0, INT32_MAX);
  if (name.empty()) return;
  // A missing template copies nothing: the view starts from its defaults.
  // So does one that is there but cannot be copied (held by another
  // program, a folder under its name), which the user is told of.
  const std::string templateFile = getDirectory("<DATA>") + viewTemplates[kind];
  if (copyFile(templateFile, name, false))
    giveTheWholeTile(name);
  else if (pathExists(templateFile))
    reportUnreadableFile(templateFile);
  showNewView(loadView(name, kind));
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
  if (made.empty() || kind < 1 || kind > 3) return;
  showNewView(loadView(made, kind));
}

void TdataForm::broadCastChartMouseMove(TPriceGraph* sender, double x) {
  for (const auto& graph : graphs_)
    if (dynamic_cast<TSheetChart*>(graph.get())) graph->moveCrossHairToX(sender, x);
}

void TdataForm::getGridFieldValue(const std::string& symbol, std::string& value, bool& found) const {
  dataSheet_->getFieldValue(symbol, value, found);
}

TSaveFailures TdataForm::saveAuxiliaryViews() {
  // The views go when another portfolio is shown: what their files refuse
  // waits for the close, and shows again with the views.
  TSaveFailures failed;
  for (const auto& graph : graphs_)
    if (graph->saveHolding(decimalSeparator(), listSeparator()) != 0) failed.push_back(graph->fileName());
  for (const auto& browser : browsers_)
    if (browser->saveHolding() != 0) failed.push_back(browser->settingsFile());
  return failed;
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
    closeNotes();
  }
}

void TdataForm::saveShownNotes() {
  TEditorStatus* document = noteEditPanel_->editorStatus();
  if (document == nullptr || !document->modified || document->fileName.empty()) return;
  // An object's notes outlive its deletion in the editor until the next
  // object is shown: what they held was saved or held before, and written
  // now it would make the deleted object's file again.
  if (document == objectNotes_.get() && shownNotesObject_ < 0) return;
  saveNotes(*document);
}

TDocumentSave TdataForm::saveNotes(TEditorStatus& notes) {
  const std::string file = notes.fileName;
  const TDocumentSave saved = saveDocumentAsking(notes, false, *messages, handle());
  if (saved == TDocumentSave::saved) {
    forgetUnsavedChange(file, notesChange);
    return saved;
  }
  // The document may be read anew for the next object or closed: what its
  // file refused, or what the user kept unsaved, waits for the close as it
  // stands.
  holdDocument(notes, notesChange);
  return saved;
}

void TdataForm::closeNotes() {
  if (noteEditPanel_->editorStatus()) {
    saveShownNotes();
    notesColor_ = noteEditPanel_->bgColor();
  }
  noteEditPanel_->setEditorStatus(nullptr);
  keepDocument(std::move(globalNotes_));
  keepDocument(std::move(objectNotes_));
  shownNotesObject_ = -1;
}

void TdataForm::showNotes(bool reloadGlobal) {
  if (!globalNotes_ || !objectNotes_) return;
  if (noteEditPanel_->editorStatus()) saveShownNotes();
  // The documents shown may go or be put aside below, while the focus may
  // still move out of the editor.
  noteEditPanel_->setEditorStatus(nullptr);
  // A text its file did not take is kept, and shows again as the user left
  // it when its notes do: a read of the file would hide it, and the next
  // save drop it. A missing notes file is made empty at once, so that the
  // editor saves into a file that exists.
  const auto open = [](std::unique_ptr<TEditorStatus>& document, const std::string& file) {
    keepDocument(std::move(document));
    document = takeKeptDocument(file, notesChange);
    if (document) return;
    document = std::make_unique<TEditorStatus>();
    if (!fileExists(file))
      document->saveToFile(file, true);
    else
      document->loadFromFile(file);
  };
  if (reloadGlobal) {
    open(globalNotes_, globalNotesFile());
    globalNoteSheet_->setCaption(globalNotesCaption());
  }
  const int current = objects_ ? objects_->currentIndex() : -1;
  if (current >= 0) {
    open(objectNotes_, objectNotesFile(current));
    objectNoteSheet_->setCaption(objectCaption(current));
    shownNotesObject_ = current;
  } else {
    keepDocument(std::move(objectNotes_));
    objectNotes_ = std::make_unique<TEditorStatus>();
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
  saveShownNotes();
}
