#pragma once
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "controls/ChildForm.h"
#include "controls/ToolGlyphs.h"
#include "model/FileStandIn.h"
#include "model/SettingsBaseline.h"
#include "platform/Menu.h"
#include "platform/SaveFailures.h"
#include "systems/SystemEditor.h"
#include "systems/WholeSystemFiles.h"
#include "windows/DateWindow.h"

class TButton;
class TComboBox;
class TDateTimePicker;
class TMessageBox;
class TPageControl;
class TPanel;
class TPopupMenu;
class TPortableIniFile;
class TPortfolioTable;
class TSheetPanel;
struct TMacroCallFailures;
class TToolTips;
class TassetPickForm;
class ToptimizeForm;
class TsystemProgressForm;
struct IActiveScript;

// The "System" tab: the current portfolio's trading system in three grids
// ("Rules", "Symbols", "Parameters"), edited in memory and written to the
// portfolio's "System.INI" by saveView. It owns the run-progress window
// through which the main window re-applies systems.
class TsystemForm : public TChildForm {
 public:
  TsystemForm();
  ~TsystemForm() override;
  // A count typed into the days box that the box refuses is told (or,
  // with giveUp, dropped).
  bool endEdit(TEditEnding ending) override;

  void setPortfolioTable(TPortfolioTable* table);
  void setAssetPickForm(TassetPickForm* form) { assetPickForm_ = form; }
  // The images of the grids' Boolean cells.
  void setSheetImageList(HIMAGELIST images);
  void setTextEditorPopupMenu(TPopupMenu* menu) { textEditorPopupMenu_ = menu; }
  void loadTranslations(const std::string& languageFile) { languageFile_ = languageFile; }
  void setActiveScript(IActiveScript* engine);
  // Lists the current portfolio's assets for the shared picker, in the
  // order of their "DisplayOrder" property.
  void updateAssetPickers();
  void clearView();
  void loadView();
  // The files that could not be written.
  TSaveFailures saveView();
  // The last save of the view shown failed: its edits are not on disk yet.
  bool unsaved() const { return unsaved_; }
  double getLatestChangeTime() const;
  double getSystemAppliedTime();
  // The code the last run itself gave (not its stop code).
  int lastRunResult() const;
  // Why the last run's soft transactions are incomplete (a stop, a macro
  // stopped); empty when they are not.
  std::string lastRunIncompleteReason() const;
  const TMacroCallFailures& lastRunMacroFailures() const;
  // The file that kept the last run from starting, and why; empty when none did.
  std::string lastRunRefusal() const;
  // macros: the texts the engine was given (see TmacroForm::loadedMacros).
  int applySystemFile(const std::string& fileName, IActiveScript* scriptEngine, const std::string& macros,
                      TPortfolioTable* portfolioTable, const RECT& centreRect, bool hideAtEnd);
  void hideProgressWindow();
  void restoreProgressWindow(bool show);

  const std::string& Folder() const { return folder_; }
  int PortfolioSerial() const { return portfolioSerial_; }
  // When the grids' sheets last received the script engine.
  double ScriptStamp() const { return scriptTime_; }
  // The grid of the page on top gets the keyboard.
  void focusCurrentGrid();
  TSystemEditor& Editor() { return editor_; }
  // The message box that questions typed formulas (tests put their own in).
  TMessageBox* messages;
  TSheetPanel& grid(TSystemPage page) { return *pages_[static_cast<int>(page)].grid; }
  TPageControl* pageControl;
  TDateTimePicker* fromDateTimePicker;
  TComboBox* daysComboBox;
  TDateTimePicker* toDateTimePicker;

  // A group of buttons on a page's control bar, moved by the user and kept
  // with its place and visibility in a section of "SystemControls.INI".
  struct TToolGroup {
    std::string section;
    std::string menuCaption;
    TPanel* panel = nullptr;
  };
  // The buttons of one page's control bar.
  struct TPageControls {
    TSheetPanel* grid = nullptr;
    TPanel* bar = nullptr;
    std::vector<TToolGroup> groups;
    TPopupMenu popupMenu;
    TButton* newBtn = nullptr;
    TButton* deleteBtn = nullptr;
    TButton* copyBtn = nullptr;
    TButton* moveDownBtn = nullptr;
    TButton* moveUpBtn = nullptr;
    TButton* rowWiseBtn = nullptr;
    TButton* colWiseBtn = nullptr;
    TButton* discardBtn = nullptr;
    TButton* commitBtn = nullptr;
    TButton* extraBtn = nullptr;  // Renumber, Edit as text or Optimize
    double rebuilt = 0;
    // Sizes of the fixed row (row-wise) or column (column-wise) and of each
    // field's column or row; -1 keeps the grid's default.
    int fixedWidth = -1;
    int fixedHeight = -1;
    std::vector<int> fieldWidths;
    std::vector<int> fieldHeights;
  };
  TPageControls& controls(TSystemPage page) { return pages_[static_cast<int>(page)]; }

  // The page actions, as their buttons run them.
  void newEntry(TSystemPage page);
  void copyEntry(TSystemPage page);
  void deleteEntry(TSystemPage page);
  void moveEntry(TSystemPage page, int by);
  void switchLayout(TSystemPage page);
  void setLayout(TSystemPage page, bool rowWise);
  // The groups' places and visibility, and the bars fitted around them.
  void loadBarLayout(const TPortableIniFile& ini);
  void saveBarLayout(TPortableIniFile& ini) const;
  void arrangeBars();
  void setBarVisible(TSystemPage page, bool visible);
  // Brings a grid's popup menu in line with its page's buttons.
  void updatePopupMenu(TSystemPage page);
  void commitChanges(TSystemPage page);
  void discardChanges(TSystemPage page);
  void editSymbolsAsText();
  void optimize();
  // Rebuilds a grid with the entry made current (-1: no current cell).
  void showPage(TSystemPage page, int entry);

 private:
  // What the window keeps in its two files.
  void writeControls(TPortableIniFile& ini);
  void writeSystem(TPortableIniFile& ini);
  TPanel& makePage(TSystemPage page, const std::string& caption);
  void makeDateControls(TPanel& group);
  TPanel& addGroup(TSystemPage page, const std::string& section, const std::string& menuCaption, int left, int top,
                   int width);
  void makePopupMenu(TSystemPage page);
  void onSheetRender(TSystemPage page);
  void onCellValueEdited(TSystemPage page);
  void onSheetKeyDown(TSystemPage page, WORD& key, TShiftState shift);
  int selectedEntry(TSystemPage page);
  std::vector<std::string> pickAssets(bool& cancelled);
  void showDates();
  void fromDateChanged();
  void toDateChanged();
  void daysChanged();
  // Return in the days box, or the box left: false when its count is refused.
  bool daysEntryEnded();
  void updateButtons();
  void applySizes(TSystemPage page);
  void takeSizes(TSystemPage page);
  void readSizes(const TPortableIniFile& ini);
  void writeSizes(TPortableIniFile& ini) const;

  TSystemEditor editor_;
  TToolGlyphs toolGlyphs_;
  std::unique_ptr<TToolTips> hints_;
  bool unsaved_ = false;
  std::array<TPageControls, 3> pages_;
  std::unique_ptr<TsystemProgressForm> progressForm_;
  std::unique_ptr<ToptimizeForm> optimizeForm_;
  TPortfolioTable* portfolioTable_ = nullptr;
  TassetPickForm* assetPickForm_ = nullptr;
  TPopupMenu* textEditorPopupMenu_ = nullptr;
  IActiveScript* scriptEngine_ = nullptr;
  std::string folder_;
  TSettingsBaseline savedSystem_;
  TSettingsBaseline savedControls_;
  // What the two files would hold, taken when the loaded portfolio had no
  // file of that name: the defaults that stood in for it. While the window
  // still gives them, the user made nothing there to save.
  TFileStandIn systemStandIn_;
  TFileStandIn controlsStandIn_;
  // What the window gave when the system file was not read whole,
  // contradicts itself or was saved without the entry count: once it gives
  // something else, the user changed the system, which is written whole.
  std::unique_ptr<TPortableIniFile> damagedSystem_;
  // The portfolios' system files as last read whole, by the runs or here.
  TWholeSystemFiles wholeSystems_;
  std::string languageFile_;
  std::vector<std::pair<int, int>> assetOrder_;  // index, DisplayOrder
  int portfolioSerial_ = 0;
  std::string portfolioLabel_;  // as notices name the portfolio shown
  double scriptTime_ = 0;
  double appliedTime_ = 0;
  // Serial numbers of the portfolios whose last run failed or was cut
  // short: while there is one, no system counts as applied.
  std::set<int> unappliedPortfolios_;
  bool showingDates_ = false;
  TDaysTyping daysTyping_;
  TPanel* dragged_ = nullptr;  // the tool group being moved
  POINT dragStart_{};
};
