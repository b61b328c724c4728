#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/ChildForm.h"
#include "controls/ToolGlyphs.h"
#include "model/FileStandIn.h"
#include "model/SettingsBaseline.h"
#include "platform/Dialogs.h"
#include "platform/Menu.h"
#include "platform/SaveFailures.h"
#include "windows/ToolBarOptions.h"
#include "windows/TransactionDisplayOrder.h"

struct IActiveScript;
class TComboBox;
class TControlBar;
class TCurrencyPicker;
class TFieldTable;
class TPanel;
class TWidthGrip;
class TPortfolio;
class TPortfolioTable;
class TSheetPanel;
class TToolButton;
class TassetPickForm;
class TTransactionSheet;
class TdelTransForm;
class TsumTransForm;

// The transactions of the current portfolio as a sheet of bound cells, one
// line per transaction of the current asset or, with "All in portfolio"
// down, of the whole portfolio, in the user's order.
class TtransactionForm : public TChildForm {
 public:
  static constexpr int transactionHelpContext = 1400;

  TtransactionForm();
  ~TtransactionForm() override;

  static constexpr int setupHelpContext = 1410;

  void setPortfolioTable(TPortfolioTable* table);
  void setAssetPickForm(TassetPickForm* picker) { assetPickForm_ = picker; }
  void setCurrPickForm(TCurrencyPicker* picker);
  void setSheetImageList(HIMAGELIST images);
  // The field editor's text menu is the main window's notes menu.
  void setExternalPopupMenus(TPopupMenu* textEditorMenu) { textEditorPopupMenu_ = textEditorMenu; }
  void loadTranslations(const std::string& languageFile) { languageFile_ = languageFile; }
  // Hands the engine to the sheet without recalculating.
  void setActiveScript(IActiveScript* engine);
  void clearView();
  void loadView();
  // The files of the view that could not be written.
  TSaveFailures saveView();
  void recomputeSheet();
  void showTransactions(int col, int row);
  void updateAssetPickers();
  // Entering the tab catches up only as far as the stamps say: another
  // portfolio loads the view, a changed asset or portfolio rebuilds it, a
  // newer script engine is handed in and recomputes. Leaving it saves.
  void tabEntered(IActiveScript* engine, double macrosLoadedAt);

  void addBtnClick();
  void delSelectedClick();
  void delRangeClick();
  void sumBtnClick();
  void sortClick(bool ascending);
  void moveClick(int step);
  void renumberBtnClick();
  void firstDateBtnClick();
  void wholePortfolioBtnClick();
  // Rebuilds in the other layout, the current cell's column and row exchanged.
  void setRowWise(bool rowWise);
  void fixedBtnClick();
  // The field editor over the window's fields; the sheet follows an Apply
  // and an OK.
  void sheetSetupBtnClick();

  // When the sheet was last built or recomputed, and when it last got the
  // script engine; the main window compares them with the model's stamps.
  double sheetStamp() const { return sheetStamp_; }
  double scriptStamp() const { return scriptStamp_; }
  // The serial number of the portfolio whose view is loaded and the Number
  // of the asset last shown; 0 when none.
  int32_t shownPortfolioSerial() const { return shownPortfolioSerial_; }
  int32_t shownAssetNumber() const { return shownAssetNumber_; }

  TSheetPanel& sheetPanel() const { return *sheetPanel_; }
  TToolButton& autoCompleteBtn() const { return *autoCompleteBtn_; }
  TToolButton& wholePortfolioBtn() const { return *wholePortfolioBtn_; }
  TToolButton& rowWiseBtn() const { return *rowWiseBtn_; }
  TToolButton& fixedBtn() const { return *fixedBtn_; }
  bool rowWise() const { return rowWise_; }
  TComboBox& assetComboBox() const { return *assetComboBox_; }
  TControlBar& controlBar() const { return *controlBar_; }
  TPanel& selectionPanel() const { return *selectionPanel_; }
  TToolButton& delBtn() const { return *delBtn_; }
  TPopupMenu& sheetPopupMenu() { return sheetPopupMenu_; }
  TPopupMenu& delPopupMenu() { return delPopupMenu_; }
  // The field editor a set-up opens (tests drive it while it is shown).
  std::function<void(class TfieldEditForm&)> onSetupShown;
  TdelTransForm& delTransForm();
  TsumTransForm& sumTransForm();
  // Where a deletion or merge that did not go whole is told.
  TMessageBox* messages = &systemMessageBox();
  // The transaction of the current cell's line; -1 when none.
  int32_t selectedTransaction() const;
  int lineCount() const;

 private:
  // The portfolio whose view the window holds (nullptr once it is closed),
  // and the table's current one, which the next view loaded will hold.
  TPortfolio* portfolio() const;
  TPortfolio* currentPortfolio() const;
  int currentLine() const;
  int currentField() const;
  // Makes the line showing the transaction current, keeping the field
  // unless it is a fixed one, and scrolls to it.
  void showWithCurrent(int32_t number, int field);
  // The same for a line; nothing without lines.
  void showWithCurrentLine(int line, int field);
  // The portfolio order of the selected transaction, or the largest one
  // when none is selected; numbers is the list the order was captured on.
  int rangeAnchor(const std::vector<int32_t>& numbers, int32_t selected) const;
  // Which entries of the number list the sheet shows.
  std::vector<bool> shownEntries(const TPortfolio& shown, bool whole, const TAsset* asset) const;
  // The assets a range or merge takes: every one of the whole portfolio, or
  // the one shown.
  static std::vector<TAsset*> rangeAssets(const TPortfolio& shown, bool whole, TAsset* asset);
  void tell(const std::string& notice);
  void captureOrder();
  void onSheetRender();
  void onCellValueEdited();
  // Why the number about to be written into the current cell's property
  // is refused: an auto-completion from it would give an amount the
  // transaction cannot hold. Empty when it may be written.
  std::string autoCompleteRefusal(double number) const;
  void assetComboBoxChange();
  void selectAssetEntry(int entry);
  std::string guiOptionsFile() const;
  // The transaction numbers of the lines, line 2 first.
  std::vector<int32_t> lineNumbers() const;
  void captureSizes();
  void applySizes();
  void delBtnClick();

  // Control bar, its options and the asset list's grip
  // (TransactionFormControls.cpp).
  void buildControlBar();
  std::vector<TToolGroupSection> toolGroups() const;
  void readControls(const std::string& fileName);
  bool writeControls(const std::string& fileName);
  void writeControlKeys(TPortableIniFile& ini);
  void sizeAssetList(int comboWidth);
  void fitSelectionPanel();
  // Pop-up menus (TransactionFormMenus.cpp).
  void buildMenus();
  void sheetPopupMenuPopup();
  void popupAtButton(TPopupMenu& menu, TToolButton& button);

  TToolGlyphs toolGlyphs_;
  TControlBar* controlBar_ = nullptr;
  TPanel* creationPanel_ = nullptr;
  TPanel* gridDirectionPanel_ = nullptr;
  TPanel* sortPanel_ = nullptr;
  TPanel* autoPanel_ = nullptr;
  TPanel* orderPanel_ = nullptr;
  TPanel* setupPanel_ = nullptr;
  TPanel* selectionPanel_ = nullptr;
  TWidthGrip* grip_ = nullptr;
  TToolButton* sheetSetupBtn_ = nullptr;
  TToolButton* addBtn_ = nullptr;
  TToolButton* delBtn_ = nullptr;
  TToolButton* sumBtn_ = nullptr;
  TToolButton* sortAscendingBtn_ = nullptr;
  TToolButton* sortDescendingBtn_ = nullptr;
  TToolButton* autoCompleteBtn_ = nullptr;
  TToolButton* firstDateBtn_ = nullptr;
  TToolButton* moveUpBtn_ = nullptr;
  TToolButton* moveDownBtn_ = nullptr;
  TToolButton* renumberBtn_ = nullptr;
  TToolButton* wholePortfolioBtn_ = nullptr;
  TToolButton* rowWiseBtn_ = nullptr;
  TToolButton* colWiseBtn_ = nullptr;
  TToolButton* showCellErrorsBtn_ = nullptr;
  TToolButton* fixedBtn_ = nullptr;
  TassetPickForm* assetPickForm_ = nullptr;
  TPopupMenu* textEditorPopupMenu_ = nullptr;
  TComboBox* assetComboBox_ = nullptr;
  // The asset list's width as the user set it or as it was stored: a window
  // too narrow for it narrows the list shown, not the one written.
  int wantedComboWidth_ = 0;
  TToolGroupPlaces toolGroupPlaces_;
  TSettingsBaseline savedControls_;
  TFileStandIn controlsStandIn_;
  TSheetPanel* sheetPanel_ = nullptr;
  TPopupMenu sheetPopupMenu_;
  TPopupMenu delPopupMenu_;
  TMenuItem* selectionMenu_ = nullptr;
  std::unique_ptr<TFieldTable> fieldTable_;
  std::unique_ptr<TTransactionSheet> builder_;
  std::unique_ptr<TdelTransForm> delTransForm_;
  std::unique_ptr<TsumTransForm> sumTransForm_;
  TTransactionDisplayOrder order_;
  std::vector<int> comboAssets_;  // asset index of each list entry
  std::vector<std::pair<int, int>> assetOrder_;  // (asset index, display order) in list order
  TPortfolioTable* portfolioTable_ = nullptr;
  std::string folder_;
  std::string languageFile_;
  bool rowWise_ = true;
  bool fixedFieldsOn_ = true;
  double sheetStamp_ = 0;
  double scriptStamp_ = 0;
  int32_t shownPortfolioSerial_ = 0;
  int32_t shownAssetNumber_ = 0;
};
