#pragma once
#include <map>
#include <memory>
#include <string>

#include <windows.h>
#include <commctrl.h>

#include "controls/ChildForm.h"
#include "controls/EditorStatus.h"
#include "controls/FontAttributeSets.h"
#include "platform/Menu.h"
#include "platform/SaveFailures.h"
#include "platform/Timer.h"
#include "macros/ActiveScriptSite.h"
#include "macros/MacroIndex.h"
#include "macros/ScriptEngineDeclarations.h"
#include "macros/ScriptHost.h"

class TColorDialog;
class TComboBox;
class TEdit;
class TEditPanel;
class TFindDialog;
class TFontDialog;
class TListView;
class TPageControl;
class TPanel;
class TPortableIniFile;
class TPortfolioTable;
class TSheetPanel;
class TToolTips;
class TSplitter;
class TStatusBar;
class TTabSheet;

// The Macros tab: the packages of the chosen engine as a check list, the
// source editor with the selected package and the joined active macros,
// and a test sheet calling the macros. It owns the one script engine the
// main window hands to the data windows.
class TmacroForm : public TChildForm, private TScriptSiteEvents {
 public:
  TmacroForm();
  ~TmacroForm() override;

  // Wiring by the main window.
  void setFontDialog(TFontDialog* dialog) { fontDialog_ = dialog; }
  void setColorDialog(TColorDialog* dialog) { colorDialog_ = dialog; }
  void setFindDialog(TFindDialog* dialog) { findDialog_ = dialog; }
  void setReplaceDialog(TFindDialog* dialog) { replaceDialog_ = dialog; }
  void setAxEnginesPath(const std::string& path);
  void setPortfolioTable(TPortfolioTable* table);
  void setSheetImageList(HIMAGELIST images);
  void loadTranslations() {}
  void loadGUIoptions(TPortableIniFile& file);
  void saveGUIoptions(TPortableIniFile& file);
  void listMacros();
  void loadMacros();
  void loadEngineDeclarations(bool onlyIfChanged);
  // Each gives the files that could not be written.
  TSaveFailures saveEngineDeclarations();
  void saveSelectedEngineGUID();
  // Package descriptors, and the open source when it has unsaved edits.
  TSaveFailures saveMacros();
  void updateSheet(int portfolioIndex, int assetIndex);
  void listViewModifyEventsEnable(bool enable);
  // A new engine was chosen, or the directories changed: the packages are
  // saved, listed again and loaded into a new engine.
  void macroEngineComboBoxChange();
  IActiveScript* scriptEngine() const { return host_.scriptEngine(); }
  double macrosLoadedAt() const { return macrosLoadedAt_; }
  // The engine's class id and the joined text it was last given.
  const std::string& loadedMacros() const { return loadedMacros_; }
  void resetEngine() { host_.resetEngine(); }
  TScriptHost& scriptHost() { return host_; }

  // What the user works with; tests drive these.
  TComboBox& macroEngineComboBox() const { return *macroEngineComboBox_; }
  TListView& macroListView() const { return *macroListView_; }
  TEditPanel& macroEditPanel() const { return *macroEditPanel_; }
  TPageControl& macroEditPageControl() const { return *macroEditPageControl_; }
  TStatusBar& macroEditorStatusBar() const { return *macroEditorStatusBar_; }
  TSheetPanel& sheetPanel() const { return *sheetPanel_; }
  TComboBox& cellFormatBox() const { return *cellFormatBox_; }
  TEdit& sheetEdit() const { return *sheetEdit_; }
  TPopupMenu& macroListPopupMenu() { return macroListPopupMenu_; }
  TPopupMenu& editorPopupMenu() { return editorPopupMenu_; }
  TEditorStatus& selectedMacroStatus() { return selectedMacroStatus_; }
  TEditorStatus& activeMacrosStatus() { return activeMacrosStatus_; }
  TMacroIndex& macroIndex() { return macroIndex_; }
  TScriptEngineDeclarations& declarations() { return declarations_; }
  TFontAttributeSets& fontAttributeSets() { return fontAttributeSets_; }
  TTimer& delayTimer() { return delayTimer_; }
  const std::string& selectedMacroFileName() const { return selectedMacroFileName_; }
  TColor editorColor() const { return editorColor_; }
  bool colouringEnabled = true;

  // Menu and list commands (also reached by keys).
  void newMacro();
  void copyMacro();
  void deleteMacros();
  void selectMacro();
  void macroEditPanelExit();
  void editorEnginesAddMenuItemClick();
  void editorEnginesEditMenuItemClick();
  void editorEnginesDeleteMenuItemClick();
  void getFontAttributes(int fontClass);
  void setCell();

 private:
  // TScriptSiteEvents
  void showEngineState(const std::string& text) override;
  void showEngineMessage(const std::string& text) override;
  void markScriptError(int line, int column) override;
  HWND siteWindow() override;
  void enableModeless(bool enable) override;

  void createLayout();
  void buildListPopupMenu();
  void buildEditorPopupMenu();
  void connectHandlers(bool connect);
  const TScriptEngineAttributes* selectedEngine() const;
  std::string selectedEngineClassId() const;
  void registerEngineFonts(const TScriptEngineAttributes& engine, bool withDefault);
  void rebuildList();
  bool saveSelectedSource();
  // Edits of the open source its file refused, or the user kept from a
  // file another program changed, held for the close as they stand (see
  // holdUnsavedChange).
  void holdSelectedSource();
  void engineSelectionChanged();
  // selectMacro without moving the focus.
  void openSelectedPackage();
  void macroListViewChange(int row);
  bool macroListViewEdited(int row, std::string& text);
  void macroListViewKeyDown(WORD& key, TShiftState shift);
  void macroEditPageControlChange();
  void macroEditPanelRender();
  void macroEditPanelKeyDown(WORD& key, TShiftState shift);
  void insertTimeDate();
  void searchAgain();
  void getTextAttributes(const std::string& text, std::vector<uint16_t>& attributeIds);
  void findInList();
  void editorFind(bool replace);
  void editorColorMenuItemClick();
  void updateSheetEditor();
  void sheetPanelKeyPress(char& key);
  void sheetEditKeyDown(WORD& key, TShiftState shift);
  void cellFormatBoxChange();
  bool showsSelectedMacro() const;

  TScriptHost host_{*this};
  TScriptEngineDeclarations declarations_;
  TMacroIndex macroIndex_;
  // The marks of packages listed no more whose files refused them, by
  // descriptor, while their change waits for the close.
  std::map<std::string, bool> heldMarks_;
  TFontAttributeSets fontAttributeSets_;
  TEditorStatus selectedMacroStatus_;
  TEditorStatus activeMacrosStatus_;
  TColor editorColor_;
  std::string selectedMacroFileName_;
  double macrosLoadedAt_ = 0;
  std::string loadedMacros_;
  bool sheetLeftByTyping_ = false;
  bool handlersConnected_ = true;
  TTimer delayTimer_;
  TFontDialog* fontDialog_ = nullptr;
  TColorDialog* colorDialog_ = nullptr;
  TFindDialog* findDialog_ = nullptr;
  TFindDialog* replaceDialog_ = nullptr;
  TPopupMenu macroListPopupMenu_;
  TPopupMenu editorPopupMenu_;
  std::unique_ptr<TToolTips> hints_;

  TPanel* macroListPanel_;
  TPanel* macroEnginePanel_;
  TComboBox* macroEngineComboBox_;
  TListView* macroListView_;
  TSplitter* vSplitter_;
  TPanel* rightPanel_;
  TPanel* macroEditBottomPanel_;
  TPageControl* macroEditPageControl_;
  TTabSheet* selectedMacroTabSheet_;
  TTabSheet* activeMacrosTabSheet_;
  TStatusBar* macroEditorStatusBar_;
  TEditPanel* macroEditPanel_;
  TSplitter* hSplitter_;
  TPanel* testSheetContainerPanel_;
  TPanel* sheetControlPanel_;
  TComboBox* cellFormatBox_;
  TEdit* sheetEdit_;
  TSheetPanel* sheetPanel_;
};
