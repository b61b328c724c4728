#pragma once
#include <activscp.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "chart/SheetViewOwner.h"
#include "controls/ChildForm.h"
#include "controls/FontAttributeSets.h"
#include "controls/ToolGlyphs.h"
#include "model/FileStandIn.h"
#include "model/SettingsBaseline.h"
#include "platform/Dialogs.h"
#include "platform/Menu.h"
#include "platform/SaveFailures.h"
#include "platform/Timer.h"
#include "windows/DataObjects.h"
#include "windows/DataSheet.h"

class TComboBox;
class TControl;
class TDateTimePicker;
class TEditPanel;
class TEditorStatus;
class TFieldTable;
class TImageList;
class TPortableIniFile;
class TPortfolioTable;
class TPriceGraph;
class TResizablePanel;
class TResizablePanelContainer;
class TSheetGraph;
class TSheetPanel;
class TTabSheet;
class TToolButton;
class TWebPanel;
enum class TDocumentSave;
class TgalleryForm;
class TcurrPickForm;

// The files of a data window inside its window directory.
struct TDataFormFiles {
  std::string fieldFile;     // "FolioFields.INI"
  std::string controlsFile;  // "FolioControls.INI"
  std::string viewPrefix;    // "Folio_": view files are prefix + N + ".INI"
};

// The window shared by the Portfolios, Assets and Quotes tabs: a tool bar
// with the date window, the views and the arrange panels over a container of
// tiles holding the sheet (its own tool bar above the grid), the notes and
// the docked charts, graphs and browsers. The sheet's logic is TDataSheet;
// this class keeps the controls, files, timers and views around it.
//
// A subclass gives:
//   - the constructor arguments: its files, menu caption and help contexts;
//   - objectsOf(): its objects as they hang from the portfolio table;
//   - bindView(): which objects the view about to load holds;
//   - windowDirectory(): where its files lie ("" when no view can load);
//   - objectName/objectSymbol/objectNotesFile: what the views and notes show
//     for one of its objects; globalNotesFile/globalNotesCaption: the notes
//     on the first tab;
//   - dateBound(): the first/last date buttons over its objects;
//   - its creation buttons in creationControlsPanel, and addCommand /
//     deleteCommand for Insert and Ctrl+Delete on the grid;
//   - readMoreGUIoptions/writeMoreGUIoptions for keys of its own, each at
//     its place in the file's order;
//   - createsObjects() false for a window without creation buttons: its
//     file keeps no place for them and Insert and Ctrl+Delete pass on to
//     the grid;
//   - defineMoreNames() for named values beyond "FROM_DATE" and "TO_DATE";
//   - selectionChanged() when the main window wants to hear of a new
//     current object (the Portfolios window only).
// Everything that changes or frees model data first calls abortViewThreads,
// since the views' compute threads read that data.
class TdataForm : public TChildForm, public TSheetViewOwner {
 public:
  // objectsCaption names the creation panel in the tool bar menu.
  TdataForm(const TDataFormFiles& files, const std::string& objectsCaption, int helpContext, int setupHelpContext);
  ~TdataForm() override;

  // ---- Set-up by the main window ----
  void setSheetImageList(const TImageList* images);
  void setExternalPopupMenus(TPopupMenu* chartMenu, TPopupMenu* notesMenu, TPopupMenu* favsMenu,
                             TPopupMenu* setupMenu, TPopupMenu* timedRefreshMenu);
  void setExternalEvents(std::function<void(TWebPanel&)> makeDefault, std::function<void(TWebPanel&)> clearDefault,
                         std::function<void(TWebPanel&)> deleteRequest);
  void setCurrPickForm(TcurrPickForm* picker);
  void setGalleryForm(TgalleryForm* gallery) { galleryForm_ = gallery; }
  void setPortfolioTable(TPortfolioTable* table);
  void loadTranslations(const std::string& languageFile) { languageFile_ = languageFile; }
  // The main window's date-range tracker, called with synchDatesBtn.
  std::function<void(TToolButton&)> onSynchDatesClick;
  // Busy while a long command runs and pumps messages: the main window
  // keeps its tabs and close away meanwhile.
  std::function<void(bool busy)> onBusyChanged;
  TMessageBox* messages = &systemMessageBox();

  // ---- Operations of the main window ----
  virtual void clearView();
  virtual void loadView();
  // The files of the view that could not be written.
  TSaveFailures saveView();
  void bringMaximizedToFront();
  void recomputeSheet();
  void rebuildAllAuxiliaryViews();
  void setAuxiliaryViewsPortfolio();
  void handleSheetChartAndGraphRequests();
  void webBrowsersEnable(bool enable);
  void abortViewThreads();
  void setActiveScript(IActiveScript* engine);
  void dateChangeTimerTimer();
  // Shows another date range; the sheet takes it at its next
  // recomputation or dateChangeTimerTimer.
  void setDates(double fromDate, double toDate);
  void setSheetChartAndGraphDateRange();
  // Frees a docked view (after the view's own Delete).
  void freeAuxiliaryView(TControl& view);
  // TSheetViewOwner: a chart or graph the chart menu deletes.
  std::unique_ptr<TSheetGraph> releaseSheetView(TSheetGraph& view) override;

  double sheetStamp() const { return sheetStamp_; }
  double scriptStamp() const { return scriptStamp_; }
  bool busy() const { return busyDepth_ > 0; }
  const std::string& windowDir() const { return windowDirectory_; }

  // ---- Commands (buttons and menus) ----
  void showObjects(int col, int row);
  void setRowWise(bool rowWise);
  void sortClick(bool ascending);
  void moveClick(int step);
  void fixedBtnClick();
  void showCellErrorsBtnClick();
  void setupBtnClick();
  void notesBtnClick();
  void newViewClick(int kind);  // 1 chart, 2 graph, 3 browser
  void galleryBtnClick();
  void fromDateChanged();
  void toDateChanged();
  void daysChanged();
  // Return in the days box, or the box left: the box shows the window's
  // count; a count reaching before the first day the pickers show is
  // refused with the reason, the window keeping the count it had before
  // the typing. False when refused.
  bool daysEntryEnded();
  // A refused count in the days box is told (or, with giveUp, dropped).
  bool endEdit(TEditEnding ending) override;
  void scrollTimeWindow(int days);
  void scrollFrame(int direction);
  enum class TDateBound { first, firstCommon, last, lastCommon };
  void dateBoundClick(TDateBound bound);

  // ---- Parts, for the main window and tests ----
  TSheetPanel& sheetPanel() const { return *sheetPanel_; }
  // The grid takes the keyboard, once the window's work is done if it is busy.
  void focusGrid();
  TDataSheet& dataSheet() { return *dataSheet_; }
  const TDataSheet& dataSheet() const { return *dataSheet_; }
  TFieldTable& fieldTable() { return *fieldTable_; }
  // Null while no portfolio table is set.
  TDataObjects* objects() const { return objects_.get(); }
  TResizablePanelContainer& sheetResizablePanel() const { return *sheetResizablePanel_; }
  TResizablePanel& sheetContainer() const { return *sheetContainer_; }
  TResizablePanel& noteEditorContainer() const { return *noteEditorContainer_; }
  TEditPanel& noteEditPanel() const { return *noteEditPanel_; }
  TPageControl& notePageControl() const { return *notePageControl_; }
  TTabSheet& globalNoteSheet() const { return *globalNoteSheet_; }
  TTabSheet& objectNoteSheet() const { return *objectNoteSheet_; }
  TDateTimePicker& fromDatePicker() const { return *fromDatePicker_; }
  TDateTimePicker& toDatePicker() const { return *toDatePicker_; }
  TComboBox& daysComboBox() const { return *daysComboBox_; }
  TToolButton& synchDatesBtn() const { return *synchDatesBtn_; }
  TToolButton& notesBtn() const { return *notesBtn_; }
  TToolButton& rowWiseBtn() const { return *rowWiseBtn_; }
  TToolButton& colWiseBtn() const { return *colWiseBtn_; }
  TToolButton& fixedBtn() const { return *fixedBtn_; }
  TToolButton& sortAscendingBtn() const { return *sortAscendingBtn_; }
  TToolButton& sortDescendingBtn() const { return *sortDescendingBtn_; }
  TToolButton& moveUpBtn() const { return *moveUpBtn_; }
  TToolButton& moveDownBtn() const { return *moveDownBtn_; }
  TPanel& controlBar() const { return *controlBar_; }
  TPanel& sheetControlBar() const { return *sheetControlBar_; }
  TPanel& creationControlsPanel() const { return *creationControlsPanel_; }
  TPopupMenu& sheetPopupMenu() { return sheetPopupMenu_; }
  TPopupMenu& formPopupMenu() { return formPopupMenu_; }
  TTimer& dateChangeTimer() { return dateChangeTimer_; }
  TTimer& showExtrasDelayTimer() { return showExtrasDelayTimer_; }
  const std::vector<TSheetGraph*>& sheetGraphs() const { return graphViews_; }
  const std::vector<TWebPanel*>& webPanels() const { return webViews_; }
  int shownNotesObject() const { return shownNotesObject_; }
  TEditorStatus* globalNotes() const { return globalNotes_.get(); }
  TEditorStatus* objectNotes() const { return objectNotes_.get(); }
  TColor notesColor() const { return notesColor_; }

  TSheetGraph* loadSheetChart(const std::string& fileName);
  TSheetGraph* loadSheetGraph(const std::string& fileName);
  TWebPanel* loadWebPanel(const std::string& fileName);
  void showNotes(bool reloadGlobal);
  void noteEditPanelExit();
  TSaveFailures saveAuxiliaryViews();
  // Writes the per-object line sizes and order into the objects.
  void setObjectGUIproperties();
  void getObjectGUIproperties();
  int selectedObjectIndex() const;

 protected:
  // ---- What a subclass gives ----
  virtual std::unique_ptr<TDataObjects> objectsOf(TPortfolioTable& table) const = 0;
  // A view about to load takes the objects it shows from the model: from
  // here until the next clearView the window reads and writes only them.
  virtual void bindView() {}
  // "" when the view's objects are gone (a portfolio closed meanwhile).
  virtual std::string windowDirectory() const = 0;
  virtual std::string objectName(int index) const = 0;
  virtual std::string objectSymbol(int index) const = 0;
  virtual std::string objectNotesFile(int index) const = 0;
  virtual std::string globalNotesFile() const = 0;
  virtual std::string globalNotesCaption() const = 0;
  // The date for a first/last button; NaN when there is none.
  virtual double dateBound(TDateBound bound) = 0;
  virtual void addCommand() {}
  virtual void deleteCommand() {}
  virtual void selectionChanged() {}
  // After the user edited a shown property of an object: the views follow.
  virtual void shownPropertyEdited() { rebuildAllAuxiliaryViews(); }
  // Where a window's own keys stand among the shared ones: after the date
  // controls, inside "SetupControls" before "FixedOn", and before "Notes".
  enum class TOptionsPlace { dates, setup, beforeNotes };
  virtual void readMoreGUIoptions(const TPortableIniFile&, TOptionsPlace) {}
  virtual void writeMoreGUIoptions(TPortableIniFile&, TOptionsPlace) {}
  virtual bool createsObjects() const { return true; }
  virtual void defineMoreNames() {}
  // After every paint: the object buttons follow the selection.
  virtual void enableObjectButtons(int selected);

  // Runs work with the window's commands off and the hourglass shown; the
  // main window hears of it through onBusyChanged.
  class TBusyScope {
   public:
    explicit TBusyScope(TdataForm& form);
    ~TBusyScope();
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

   private:
    TdataForm& form_;
  };

  // Places the object just appended to the list after the current line,
  // with those sizes, and makes it current.
  void addDisplayRecord(int rowHeight, int colWidth);
  // Makes the first object line current (its first field past the fixed
  // ones); nothing without object lines. A grid that names no object makes
  // the object current that its first line would show.
  void selectFirstLine();
  // The object notes show nobody until the next selection.
  void forgetShownNotes() { shownNotesObject_ = -1; }
  // A button at the end of the creation panel, showing the named picture;
  // the hint names it.
  TToolButton& addCreationButton(const char* glyph, const char* hint, int width, std::function<void()> onClick);
  // A button of the window's own at the end of the set-up panel, or of the
  // views panel.
  TToolButton& addSetupButton(const char* glyph, const char* hint, int width, std::function<void()> onClick);
  TToolButton& addViewsButton(const char* glyph, const char* hint, int width, std::function<void()> onClick);
  TPortfolioTable* portfolioTable() const { return portfolioTable_; }
  char decimalSeparator() const;
  char listSeparator() const;
  void loadGUIoptions(const std::string& fileName);
  bool saveGUIoptions(const std::string& fileName);
  void writeGUIoptions(TPortableIniFile& ini);
  // What a window applies of its options after the view loaded is no
  // change to save.
  void optionsApplied();
  // Called by readMoreGUIoptions for a stored value it could not take as it
  // stood: the close then stores what the window shows instead.
  void optionCorrectedWhileLoading(const std::string& section, const std::string& key);
  // True, and the file is named, when the section holds some sides of the
  // tile's place but not all (every save writes all four): the tile is
  // then placed by placeLostTiles once the views are loaded.
  bool tileLost(const TPortableIniFile& ini, const char* section, TResizablePanel& tile);
  // Places such tiles where the views leave them in sight; true when any.
  bool placeLostTiles();

  TToolButton* addBtn_ = nullptr;
  TToolButton* copyBtn_ = nullptr;
  TToolButton* delBtn_ = nullptr;
  TToolButton* makeTemplateBtn_ = nullptr;
  TPopupMenu* notesPopupMenu_ = nullptr;
  std::string languageFile_;

 private:
  void createControls();
  void createDateControls();
  void createViewControls();
  void createSheetTile();
  void createNotesTile();
  void buildMenus(const std::string& objectsCaption);
  void sheetPopupMenuPopup();
  void arrangePanels(TControl& bar);
  void detachGrid();
  void attachGrid();
  void onSheetRender();
  void onCellValueEdited();
  void onSheetKeyDown(WORD& key, TShiftState shift);
  void setSheetFromDate();
  void setSheetToDate();
  void showDates();
  void showExtrasDelayTimerTimer();
  void notePageControlChange();
  // Saves the open notes document and frees both; the button stays as it is.
  void closeNotes();
  // Saves the notes document shown, or one of them; what its file refuses,
  // or the user keeps from a file another program changed, waits for the
  // close (see holdUnsavedChange).
  void saveShownNotes();
  TDocumentSave saveNotes(TEditorStatus& notes);
  void sheetSetupApply();
  void loadAllViews();
  void loadViews(const std::string& folder, int kind);
  // One view file of the kind (1 chart, 2 graph, 3 web panel).
  TResizablePanel* loadView(const std::string& fileName, int kind);
  void showNewView(TResizablePanel* view);
  void placeView(TControl& view);
  TSheetGraph* loadGraphView(const std::string& fileName, bool chart);
  void broadCastChartMouseMove(TPriceGraph* sender, double x);
  void getGridFieldValue(const std::string& symbol, std::string& value, bool& found) const;
  std::string objectCaption(int index) const;
  void openFavouriteOfSelection(TWebPanel& panel);
  void freeAllViews();
  void readPanelPlace(const TPortableIniFile& ini, const std::string& section, TControl& panel, bool withVisible);
  void readTile(const TPortableIniFile& ini, const char* section, TResizablePanel& tile);
  void writePanelPlace(TPortableIniFile& ini, const std::string& section, const TControl& panel, bool withVisible);

  TDataFormFiles files_;
  int setupHelpContext_;
  std::unique_ptr<TDataObjects> objects_;
  std::unique_ptr<TFieldTable> fieldTable_;
  // The field file exists but could not be read: the grid is laid out
  // without it, so its line order and sizes are no layout to keep.
  bool fieldFileDamaged_ = false;
  TSettingsBaseline savedGUIoptions_;
  // The layout shown is what the file refused when the view was shown
  // before: no layout settled after loading stands for what the file holds.
  bool showsHeldLayout_ = false;
  TFileStandIn optionsStandIn_;
  std::vector<std::pair<std::string, std::string>> optionsCorrectedWhileLoading_;
  // The tiles whose sections lost a side, and what the layout was when
  // loaded: a change of the user's writes them whole.
  std::vector<std::pair<std::string, TResizablePanel*>> lostTiles_;
  std::unique_ptr<TPortableIniFile> layoutAsLoaded_;
  std::unique_ptr<TDataSheet> dataSheet_;
  TPortfolioTable* portfolioTable_ = nullptr;
  Microsoft::WRL::ComPtr<IActiveScript> scriptEngine_;
  const TImageList* imageList_ = nullptr;
  TgalleryForm* galleryForm_ = nullptr;
  TcurrPickForm* currPickForm_ = nullptr;
  TPopupMenu* chartPopupMenu_ = nullptr;
  TPopupMenu* favsPopupMenu_ = nullptr;
  TPopupMenu* setupPopupMenu_ = nullptr;
  TPopupMenu* timedRefreshPopupMenu_ = nullptr;
  std::function<void(TWebPanel&)> makeDefaultRequest_, clearDefaultRequest_, deleteRequest_;
  std::string windowDirectory_;
  double sheetStamp_ = 0;
  double scriptStamp_ = 0;
  int busyDepth_ = 0;
  bool focusGridWhenDone_ = false;
  bool focusGridInPlace_ = false;

  TToolGlyphs toolGlyphs_;
  TPanel* controlBar_ = nullptr;
  TPanel* dateControlsPanel_ = nullptr;
  TPanel* objectsControlPanel_ = nullptr;
  TPanel* objectsArrangePanel_ = nullptr;
  TToolButton* synchDatesBtn_ = nullptr;
  TDateTimePicker* fromDatePicker_ = nullptr;
  TDateTimePicker* toDatePicker_ = nullptr;
  TComboBox* daysComboBox_ = nullptr;
  TDaysTyping daysTyping_;
  TToolButton* notesBtn_ = nullptr;
  TResizablePanelContainer* sheetResizablePanel_ = nullptr;
  TResizablePanel* sheetContainer_ = nullptr;
  TPanel* sheetControlBar_ = nullptr;
  TPanel* creationControlsPanel_ = nullptr;
  TPanel* gridDirectionPanel_ = nullptr;
  TPanel* sortPanel_ = nullptr;
  TPanel* orderPanel_ = nullptr;
  TPanel* sheetSetupPanel_ = nullptr;
  TToolButton* rowWiseBtn_ = nullptr;
  TToolButton* colWiseBtn_ = nullptr;
  TToolButton* showCellErrorsBtn_ = nullptr;
  TToolButton* sortAscendingBtn_ = nullptr;
  TToolButton* sortDescendingBtn_ = nullptr;
  TToolButton* moveUpBtn_ = nullptr;
  TToolButton* moveDownBtn_ = nullptr;
  TToolButton* fixedBtn_ = nullptr;
  TSheetPanel* sheetPanel_ = nullptr;
  TResizablePanel* noteEditorContainer_ = nullptr;
  TPageControl* notePageControl_ = nullptr;
  TTabSheet* globalNoteSheet_ = nullptr;
  TTabSheet* objectNoteSheet_ = nullptr;
  TEditPanel* noteEditPanel_ = nullptr;
  int creationLeft_ = 2;

  TPopupMenu sheetPopupMenu_;
  TPopupMenu formPopupMenu_;
  TMenuItem* maximizedItem_ = nullptr;
  TMenuItem* rowWiseItem_ = nullptr;
  TMenuItem* colWiseItem_ = nullptr;
  TMenuItem* showErrorsItem_ = nullptr;
  TMenuItem* fixedItem_ = nullptr;
  // Menu entries that do what a tool button does, enabled as it is.
  std::vector<std::pair<TMenuItem*, const TToolButton*>> buttonItems_;
  std::vector<std::pair<TMenuItem*, TControl*>> toolbarItems_;
  TMenuItem* synchronizeItem_ = nullptr;
  TMenuItem* notesItem_ = nullptr;

  TTimer dateChangeTimer_;
  TTimer showExtrasDelayTimer_;

  // The docked views in the order they were loaded.
  std::vector<std::unique_ptr<TSheetGraph>> graphs_;
  std::vector<std::unique_ptr<TWebPanel>> browsers_;
  std::vector<TSheetGraph*> graphViews_;
  std::vector<TWebPanel*> webViews_;

  std::unique_ptr<TEditorStatus> globalNotes_;
  std::unique_ptr<TEditorStatus> objectNotes_;
  TColor notesColor_;
  TFontAttributeSets noteFonts_;
  int shownNotesObject_ = -1;
};
