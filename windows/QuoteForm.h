#pragma once
#include "windows/PortfolioAssetsForm.h"
#include "windows/ToolBarOptions.h"

class TQuoteEditor;
class TResizablePanel;

// The Quotes tab: one line per asset of the current portfolio that has a
// price history (short and null holdings hidden on request), with a layout,
// fields, views and notes of its own, and a tile in which the selected
// asset's prices are edited and committed.
class TquoteForm : public TportfolioAssetsForm {
 public:
  static constexpr int quoteHelpContext = 1300;
  static constexpr int fieldEditorHelpContext = 1310;

  TquoteForm();
  ~TquoteForm() override;

  void loadView() override;
  // Shows or hides the quote editor as quotesBtn says.
  void quotesBtnClick();
  // Rebuilds the editor for the selected asset; uncommitted edits go.
  void showQuotes();
  // The docked charts and graphs only: web panels and notes stay.
  void rebuildAllChartsAndGraphs();

  TToolButton& quotesBtn() const { return *quotesBtn_; }
  TResizablePanel& quoteEditorContainer() const { return *quoteEditorContainer_; }
  TQuoteEditor& quoteEditor() const { return *quoteEditor_; }
  // The asset the editor was last built for; -1 for none.
  int quotesAssetIndex() const { return quotesAssetIndex_; }

 protected:
  void selectionChanged() override;
  void shownPropertyEdited() override { rebuildAllChartsAndGraphs(); }
  void readMoreGUIoptions(const TPortableIniFile& ini, TOptionsPlace place) override;
  void writeMoreGUIoptions(TPortableIniFile& ini, TOptionsPlace place) override;
  bool createsObjects() const override { return false; }
  bool assetListNewer(const TPortfolio& portfolio) const override;
  void viewsRebuilt() override;

 private:
  TToolButton* quotesBtn_ = nullptr;
  TMenuItem* quotesItem_ = nullptr;
  TResizablePanel* quoteEditorContainer_ = nullptr;
  TQuoteEditor* quoteEditor_ = nullptr;
  TToolGroupPlaces toolGroupPlaces_;
  int quotesAssetIndex_ = -1;
  // The editor tile as the options file keeps it, applied once the view
  // has loaded.
  long double tileLeft_ = 0, tileTop_ = 0, tileRight_ = 1, tileBottom_ = 1;
  bool tileMaximized_ = false;
  bool showEditor_ = false;
};
