#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/ToolGlyphs.h"
#include "platform/Dialogs.h"
#include "platform/Menu.h"
#include "platform/Panel.h"
#include "sheet/Sheet.h"
#include "windows/QuoteEditorRows.h"

class TAsset;
class TControlBar;
class TEdit;
class TPortfolioTable;
class TSheetPanel;
class TSpinButton;
class TToolButton;

// The quote editor tile's content: a tool bar over a grid of one asset's
// quotes, edited there and committed into its price series and file.
class TQuoteEditor : public TPanel {
 public:
  explicit TQuoteEditor(TControl* parent);
  ~TQuoteEditor() override;

  // Rebuilds the grid from the asset's series (nullptr: empty), dropping
  // uncommitted edits; (col, row) becomes the current cell when inside.
  void showQuotes(TPortfolioTable* table, TAsset* asset, int col, int row);

  void quoteNewBtnClick();
  void quoteDelBtnClick();
  void quoteUnavailableBtnClick();
  void quoteSort(bool ascending);
  void quoteDiscardEditsBtnClick();
  void quoteCommitEditsBtnClick();
  void quoteArithmetic(TQuoteEditorRows::TOperation operation);
  // Delete: the selected cells become empty, which a commit refuses.
  void quoteEmptyCells();

  // Called before the series is replaced (the window stops the threads that
  // read it) and after a commit (the window recomputes its views and so
  // restarts them); a refused commit calls neither.
  std::function<void()> onBeforeCommit;
  std::function<void()> onCommitted;
  // Tells the user why a commit was refused or not saved.
  std::function<void(const std::string&)> onMessage;
  // Asks about uncommitted rows and tells refusals without onMessage (a test
  // may put another in).
  TMessageBox* messages = &systemMessageBox();

  // Before the rows would be lost with the program's windows: rows edited
  // and not committed are committed or discarded as the user answers.
  // False when they stay in the editor: the user cancelled, or the commit
  // was refused.
  bool uncommittedRowsSettled();

  // The remembered widths of the eleven possible columns: Date, then the
  // ten values in the record's order. A rebuild shows each column at its
  // width (at least 6 pixels) and every paint takes back what the user sized.
  static constexpr int columnKinds = 11;
  std::array<int, columnKinds> quoteColWidths{85, 85, 85, 85, 85, 85, 0, 0, 0, 0, 0};

  const TQuoteEditorRows& rows() const { return rows_; }
  TSheetPanel& quotesPanel() const { return *quotesPanel_; }
  TEdit& quoteArgEdit() const { return *quoteArgEdit_; }
  TToolButton& quoteCommitEditsBtn() const { return *quoteCommitEditsBtn_; }
  // The grid's and the tool bar's menu: the buttons' commands, the tile's
  // maximised state and the tool bar shown or hidden.
  TPopupMenu& quotesSheetPopupMenu() { return quotesSheetPopupMenu_; }
  // The tool bar and its groups, in the order the window's options keep
  // them: creation, sort, update (discard and commit), field arithmetic.
  TControlBar& quoteEdControlBar() const { return *quoteEdControlBar_; }
  std::array<TPanel*, 4> toolGroups() const;

 private:
  void renderRows();
  // (col, row) becomes the current cell when inside the data area, shown,
  // and the grid repaints.
  void showCurrentCell(int col, int row);
  // renderRows with the current cell and the selection kept, then a repaint.
  void renderKeepingSelection();
  void quotesPanelRender();
  void buildMenu();
  void quotesSheetPopupMenuPopup();
  void getQuoteColWidths();
  int widthEntry(int column) const;
  void quotesPanelCellValueEdited();
  // Tells the user why a commit wrote nothing; blocking cells are listed.
  void refuseCommit(int reason);
  // Tells the user why the price file did not take the commit; where the
  // file changed so that it cannot, offers to read it again.
  void refuseSave(int result);
  void tell(const std::string& text);
  RECT selectedRows() const;

  TToolGlyphs toolGlyphs_;
  TControlBar* quoteEdControlBar_ = nullptr;
  TPanel* quoteCreationControlsPanel_ = nullptr;
  TPanel* quoteSortPanel_ = nullptr;
  TPanel* quoteUpdatePanel_ = nullptr;
  TPanel* quoteFieldControlsPanel_ = nullptr;
  TToolButton* quoteNewBtn_;
  TToolButton* quoteDelBtn_;
  TToolButton* quoteUnavailableBtn_;
  TToolButton* quoteSortDescendingBtn_;
  TToolButton* quoteSortAscendingBtn_;
  TToolButton* quoteAddBtn_;
  TToolButton* quoteSubBtn_;
  TToolButton* quoteMulBtn_;
  TToolButton* quoteDivBtn_;
  TEdit* quoteArgEdit_;
  TSpinButton* quoteArgUpDown_;
  TToolButton* quoteDiscardEditsBtn_;
  TToolButton* quoteCommitEditsBtn_;
  TSheetPanel* quotesPanel_;
  TQuoteEditorRows rows_;
  TPopupMenu quotesSheetPopupMenu_;
  std::vector<std::pair<TMenuItem*, TToolButton*>> buttonItems_;
  TSheet::TCellBlock dateBlock_;
  TSheet::TCellBlock valueBlock_;
  TPortfolioTable* table_ = nullptr;
  TAsset* asset_ = nullptr;
};
