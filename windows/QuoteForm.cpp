#include "windows/QuoteForm.h"

#include <array>

#include "controls/ResizablePanel.h"
#include "controls/ResizablePanelContainer.h"
#include "controls/SheetPanel.h"
#include "chart/SheetGraph.h"
#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/Application.h"
#include "platform/ExtControls.h"
#include "windows/QuoteEditor.h"
#include "windows/ToolBarOptions.h"

namespace {

const char* const widthKeys[] = {"DateWidth",         "OpenWidth", "HighWidth", "LowWidth",
                                 "CloseWidth",        "VolumeWidth", "OpenInterestWidth", "BidWidth",
                                 "AskWidth",          "BidSizeWidth", "AskSizeWidth"};

}  // namespace

TquoteForm::TquoteForm()
    : TportfolioAssetsForm({{"QuoteFields.INI", "QuoteControls.INI", "Quote_"}, "", "QuoteNotes.TXT", "Quote_"},
                           TAssetLineWindow::quotes, quoteHelpContext, fieldEditorHelpContext) {
  quotesBtn_ = &addViewsButton("QUOTESBMP", "Edit quotes", 44, [this] { quotesBtnClick(); });
  quotesBtn_->checkButton = true;
  if (TMenuItem* objects = formPopupMenu().itemCaptioned("&Objects")) {
    quotesItem_ = &objects->add("&Quotes", [this] {
      quotesBtn_->setDown(!quotesBtn_->down());
      quotesBtnClick();
    });
    const auto framePopup = formPopupMenu().onPopup;
    formPopupMenu().onPopup = [this, framePopup] {
      if (framePopup) framePopup();
      quotesItem_->checked = quotesBtn_->down();
    };
  }
  // The Quotes window neither creates nor deletes assets.
  if (TMenuItem* toolbar = sheetPopupMenu().itemCaptioned("&Toolbar"))
    if (TMenuItem* objects = toolbar->itemCaptioned("")) objects->visible = false;
  creationControlsPanel().hide();

  quoteEditorContainer_ = &sheetResizablePanel().add<TResizablePanel>();
  quoteEditorContainer_->name = "quoteEditorContainer";
  quoteEditorContainer_->setBounds(0, 0, 400, 300);
  quoteEditor_ = &quoteEditorContainer_->add<TQuoteEditor>();
  quoteEditor_->name = "quoteEditorPanel";
  quoteEditor_->setAlign(TAlign::client);
  quoteEditorContainer_->hide();
  // The docked views read the series a commit replaces.
  quoteEditor_->onBeforeCommit = [this] { abortViewThreads(); };
  quoteEditor_->onCommitted = [this] {
    recomputeSheet();
    rebuildAllChartsAndGraphs();
  };
}

TquoteForm::~TquoteForm() = default;

void TquoteForm::loadView() {
  TportfolioAssetsForm::loadView();
  quotesAssetIndex_ = -1;
  if (windowDir().empty()) {
    quoteEditor_->showQuotes(nullptr, nullptr, -1, -1);
    return;
  }
  sheetResizablePanel().setRelativeBounds(quoteEditorContainer_, tileLeft_, tileTop_, tileRight_, tileBottom_);
  quoteEditorContainer_->setMaximized(tileMaximized_);
  quotesBtn_->setDown(showEditor_);
  quotesBtnClick();
  placeLostTiles();
  optionsApplied();
}

void TquoteForm::quotesBtnClick() {
  if (!quotesBtn_->down()) {
    quoteEditorContainer_->hide();
    return;
  }
  TSheet& sheet = quoteEditor_->quotesPanel().sheet();
  sheet.leftCol = 1;
  sheet.topRow = 1;
  showQuotes();
  quoteEditorContainer_->show();
  quoteEditor_->repaint();
  quoteEditorContainer_->bringToFront();
}

void TquoteForm::showQuotes() {
  TPortfolio* shown = portfolio();
  const int selected = shown ? selectedObjectIndex() : -1;
  quoteEditor_->showQuotes(portfolioTable(), selected >= 0 ? asset(selected) : nullptr, -1, -1);
  quotesAssetIndex_ = shown ? shown->currentAssetIndex() : -1;
}

void TquoteForm::rebuildAllChartsAndGraphs() {
  for (TSheetGraph* graph : sheetGraphs()) graph->rebuild();
}

void TquoteForm::selectionChanged() {
  // Only another asset rebuilds the editor: an edit in the sheet keeps the
  // editor's uncommitted rows.
  const TPortfolio* shown = portfolio();
  const int now = shown ? shown->currentAssetIndex() : -1;
  if (quotesBtn_->down() && now != quotesAssetIndex_) showQuotes();
}

void TquoteForm::viewsRebuilt() {
  if (quotesBtn_->down()) showQuotes();
}

bool TquoteForm::assetListNewer(const TPortfolio& shown) const { return shown.AssetsChange() > sheetStamp(); }

void TquoteForm::readMoreGUIoptions(const TPortableIniFile& ini, TOptionsPlace place) {
  TportfolioAssetsForm::readMoreGUIoptions(ini, place);
  if (place != TOptionsPlace::beforeNotes) return;
  const bool lost = tileLost(ini, "QuoteGrid", *quoteEditorContainer_);
  tileLeft_ = lost ? 0 : ini.readFloat("QuoteGrid", "Left", 0);
  tileTop_ = lost ? 0 : ini.readFloat("QuoteGrid", "Top", 0);
  tileRight_ = lost ? 1 : ini.readFloat("QuoteGrid", "Right", 1);
  tileBottom_ = lost ? 1 : ini.readFloat("QuoteGrid", "Bottom", 1);
  tileMaximized_ = ini.readBool("QuoteGrid", "Maximized", quoteEditorContainer_->maximized());
  for (int i = 0; i < TQuoteEditor::columnKinds; ++i)
    quoteEditor_->quoteColWidths[i] = ini.readInteger("QuoteGrid", widthKeys[i], quoteEditor_->quoteColWidths[i]);
  const std::array<TPanel*, 4> groups = quoteEditor_->toolGroups();
  toolGroupPlaces_.read(ini, quoteEditor_->quoteEdControlBar(),
                        {{"QuoteCreationControls", groups[0]}, {"QuoteSortControls", groups[1]},
                         {"QuoteUpdateControls", groups[2]}, {"QuoteFieldControls", groups[3]}});
  quoteEditor_->quoteEdControlBar().setVisible(
      ini.readBool("QuoteControls", "Visible", quoteEditor_->quoteEdControlBar().visible()));
  quoteEditor_->realign();
  showEditor_ = ini.readBool("QuoteGrid", "Show", quotesBtn_->down());
}

void TquoteForm::writeMoreGUIoptions(TPortableIniFile& ini, TOptionsPlace place) {
  TportfolioAssetsForm::writeMoreGUIoptions(ini, place);
  if (place != TOptionsPlace::beforeNotes) return;
  long double left = 0, top = 0, right = 1, bottom = 1;
  sheetResizablePanel().getRelativeBounds(quoteEditorContainer_, left, top, right, bottom);
  ini.writeFloat("QuoteGrid", "Left", static_cast<double>(left));
  ini.writeFloat("QuoteGrid", "Top", static_cast<double>(top));
  ini.writeFloat("QuoteGrid", "Right", static_cast<double>(right));
  ini.writeFloat("QuoteGrid", "Bottom", static_cast<double>(bottom));
  ini.writeBool("QuoteGrid", "Maximized", quoteEditorContainer_->maximized());
  for (int i = 0; i < TQuoteEditor::columnKinds; ++i)
    ini.writeInteger("QuoteGrid", widthKeys[i], quoteEditor_->quoteColWidths[i]);
  const std::array<TPanel*, 4> groups = quoteEditor_->toolGroups();
  toolGroupPlaces_.write(ini, {{"QuoteCreationControls", groups[0]}, {"QuoteSortControls", groups[1]},
                               {"QuoteUpdateControls", groups[2]}, {"QuoteFieldControls", groups[3]}});
  ini.writeBool("QuoteControls", "Visible", quoteEditor_->quoteEdControlBar().visible());
  ini.writeBool("QuoteGrid", "Show", quotesBtn_->down());
}
