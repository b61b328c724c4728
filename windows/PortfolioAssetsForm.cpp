#include "windows/PortfolioAssetsForm.h"

#include <limits>

#include "controls/SheetPanel.h"
#include "model/Asset.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/Application.h"
#include "platform/DateTimePicker.h"
#include "platform/ExtControls.h"
#include "sheet/Sheet.h"
#include "sheet/ValueRecord.h"
#include "windows/AssetObjects.h"

namespace {

constexpr double noDate = std::numeric_limits<double>::quiet_NaN();
constexpr const char* noPortfolioText = "No portfolio selected";

}  // namespace

TportfolioAssetsForm::TportfolioAssetsForm(const TAssetFiles& files, TAssetLineWindow lineWindow, int helpContext,
                                           int setupHelpContext)
    : TdataForm(files.window, files.objectsCaption, helpContext, setupHelpContext), files_(files), lineWindow_(lineWindow) {
  showNullsBtn_ = &addSetupButton("NULLBMP", "Null assets", 32, [this] { showNullsBtnClick(); });
  showNullsBtn_->checkButton = true;
  showNullsBtn_->setDown(true);
  if (TMenuItem* customize = sheetPopupMenu().itemCaptioned("&Customize"))
    nullsItem_ = &customize->add("&Null assets", [this] {
      showNullsBtn_->setDown(!showNullsBtn_->down());
      showNullsBtnClick();
    });
  const auto framePopup = sheetPopupMenu().onPopup;
  sheetPopupMenu().onPopup = [this, framePopup] {
    if (framePopup) framePopup();
    if (nullsItem_) nullsItem_->checked = showNullsBtn_->down();
  };
}

std::unique_ptr<TDataObjects> TportfolioAssetsForm::objectsOf(TPortfolioTable&) const {
  return std::make_unique<TAssetObjects>(
      [this] { return portfolio(); },
      [this](TAsset& shown) {
        return assetHasLine(shown, lineWindow_, showNullsBtn_->down(), dataSheet().dates.toDate());
      },
      lineWindow_ == TAssetLineWindow::quotes);
}

TPortfolio* TportfolioAssetsForm::currentPortfolio() const {
  return portfolioTable() ? portfolioTable()->current() : nullptr;
}

TPortfolio* TportfolioAssetsForm::portfolio() const {
  return portfolioTable() && shownPortfolioSerial_ != 0 ? portfolioTable()->withSerial(shownPortfolioSerial_) : nullptr;
}

void TportfolioAssetsForm::bindView() {
  const TPortfolio* current = currentPortfolio();
  shownPortfolioSerial_ = current ? current->Serial() : 0;
}

TAsset* TportfolioAssetsForm::asset(int index) const {
  const TPortfolio* shown = portfolio();
  return shown ? shown->assets(index) : nullptr;
}

std::string TportfolioAssetsForm::windowDirectory() const {
  const TPortfolio* shown = portfolio();
  return shown ? includeTrailingBackslash(shown->Folder()) : "";
}

std::string TportfolioAssetsForm::objectName(int index) const {
  const TAsset* shown = asset(index);
  return shown ? shown->Name() : "";
}

std::string TportfolioAssetsForm::objectSymbol(int index) const {
  const TAsset* shown = asset(index);
  return shown ? shown->Symbol() : "";
}

std::string TportfolioAssetsForm::objectNotesFile(int index) const {
  const TAsset* shown = asset(index);
  return shown ? windowDir() + files_.assetPrefix + std::to_string(shown->Number()) + ".TXT" : "";
}

std::string TportfolioAssetsForm::globalNotesFile() const { return windowDir() + files_.notesFile; }

std::string TportfolioAssetsForm::globalNotesCaption() const {
  const TPortfolio* shown = portfolio();
  if (!shown) return "";
  return ampersandsDoubled(shown->Name().empty() ? shown->Symbol() : shown->Name());
}

double TportfolioAssetsForm::dateBound(TDateBound bound) {
  TPortfolio* shown = portfolio();
  if (!shown) return noDate;
  double date = 0;
  bool found = false;
  switch (bound) {
    case TDateBound::first: shown->firstTradeDate(date, found); break;
    case TDateBound::firstCommon: shown->latestFirstTradeDate(date, found); break;
    case TDateBound::last: shown->lastQuoteDate(date, found); break;
    case TDateBound::lastCommon: shown->earliestLastQuoteDate(date, found); break;
  }
  return found ? date : noDate;
}

void TportfolioAssetsForm::readMoreGUIoptions(const TPortableIniFile& ini, TOptionsPlace place) {
  if (place == TOptionsPlace::setup) showNullsBtn_->setDown(ini.readBool("SetupControls", "Nulls", showNullsBtn_->down()));
}

void TportfolioAssetsForm::writeMoreGUIoptions(TPortableIniFile& ini, TOptionsPlace place) {
  if (place == TOptionsPlace::setup) ini.writeBool("SetupControls", "Nulls", showNullsBtn_->down());
}

void TportfolioAssetsForm::defineMoreNames() {
  TValueRecord value;
  value.kind = valueInteger;
  value.integer = portfolioTable() ? portfolioTable()->currentIndex() : -1;
  sheetPanel().sheet().setCustomId("PORTFOLIO", value);
}

void TportfolioAssetsForm::clearView() {
  TdataForm::clearView();
  if (parent()) parent()->setText(noPortfolioText);
  sheetPanel().setSheetVisible(false);
  shownPortfolioSerial_ = 0;
}

void TportfolioAssetsForm::loadView() {
  if (!currentPortfolio()) {
    clearView();
    return;
  }
  TdataForm::loadView();
}

void TportfolioAssetsForm::showNullsBtnClick() {
  THourglass hourglass;
  dataSheet().getCellSizes(dataSheet().rowWise);
  dataSheet().getDisplayOrder();
  TSheet& sheet = sheetPanel().sheet();
  sheet.leftCol = sheet.getFixedCols() + 1;
  sheet.topRow = sheet.getFixedRows() + 1;
  showObjects(-1, -1);
}

void TportfolioAssetsForm::tabEntered(IActiveScript* engine, double macrosLoadedAt, bool datesSynchronised,
                                      double fromDate, double toDate) {
  TPortfolio* current = currentPortfolio();
  const bool other = !current || current->Serial() != shownPortfolioSerial_;
  if (other) clearView();
  const bool changed = other || current->lastChange() > sheetStamp();
  const bool scriptNewer = macrosLoadedAt > scriptStamp();
  const TDateWindow& dates = dataSheet().dates;
  const bool datesMoved = datesSynchronised && (dates.fromDate() != fromDate || dates.toDate() != toDate);
  if (datesMoved) {
    setDates(fromDate, toDate);
    if (!changed && !scriptNewer) dateChangeTimerTimer();
  }
  if (scriptNewer) setActiveScript(engine);
  if (other) {
    loadView();
    return;
  }
  if (assetListNewer(*current)) {
    showObjects(-1, -1);
    rebuildAllAuxiliaryViews();
    viewsRebuilt();
  } else if (changed || scriptNewer) {
    recomputeSheet();
    rebuildAllAuxiliaryViews();
    viewsRebuilt();
  } else {
    handleSheetChartAndGraphRequests();
  }
  webBrowsersEnable(true);
  bringMaximizedToFront();
}
