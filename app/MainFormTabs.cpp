#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "app/DownloadForm.h"
#include "app/MainForm.h"
#include "app/TabArrival.h"
#include "app/WebForm.h"
#include "controls/DownloadPickForm.h"
#include "controls/ListViewXPSafe.h"
#include "controls/ShutDownForm.h"
#include "controls/SheetPanel.h"
#include "model/Portfolio.h"
#include "model/Forex.h"
#include "model/PortfolioTable.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/FileStamps.h"
#include "platform/DateTimePicker.h"
#include "platform/ListView.h"
#include "platform/ExtControls.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "sheet/Sheet.h"
#include "macros/MacroForm.h"
#include "systems/SystemForm.h"
#include "windows/AssetForm.h"
#include "windows/QuoteEditor.h"
#include "windows/QuoteForm.h"
#include "windows/TransactionForm.h"
#include "windows/PortfolioForm.h"

namespace {

// The data windows' shared dates differ from a window's own.
bool datesDiffer(TdataForm& form, double from, double to) {
  const TDateWindow& dates = form.dataSheet().dates;
  return dates.fromDate() != from || dates.toDate() != to;
}

// The Portfolios, Assets and Quotes windows, whichever are on their tabs.
std::vector<TdataForm*> dataFormsOf(const std::array<TChildForm*, TmainForm::tabCount>& tabForms) {
  std::vector<TdataForm*> forms;
  for (TChildForm* form : tabForms)
    if (auto* dataForm = dynamic_cast<TdataForm*>(form)) forms.push_back(dataForm);
  return forms;
}

void focusIfPossible(TControl& control) {
  if (control.canFocus()) control.setFocus();
}

// Keys typed now reach a window of the form that the user sees.
bool focusShownIn(const TControl& form) {
  const HWND focus = GetFocus();
  return focus && IsWindowVisible(focus) && form.holdsFocus();
}

}  // namespace

// ---- Tabs ----

bool TmainForm::pageControlChanging() {
  if (commandsBusy_) return false;
  // A save that fails here keeps its edit in the window: the close tries it
  // again and tells.
  leaveTab(pageControl->activePageIndex());
  return true;
}

TSaveFailures TmainForm::leaveTab(int tab) {
  THourglass hourglass;
  TSaveFailures failed;
  try {
    switch (tab) {
      case portfoliosTab:
      case assetsTab:
      case quotesTab:
        if (auto* form = dynamic_cast<TdataForm*>(tabForms[tab])) {
          form->webBrowsersEnable(false);
          form->abortViewThreads();
          updateDateRangeTracker(form->synchDatesBtn());
          failed = form->saveView();
        }
        if (tab == assetsTab) applySelectedPortfolioSystemIfNeeded();
        if (tab == quotesTab) applyPortfolioSystemsIfNeeded();
        break;
      case transactionsTab:
        failed = transactionForm->saveView();
        applySelectedPortfolioSystemIfNeeded();
        break;
      case systemTab:
        failed = leaveSystemTab();
        break;
      case macrosTab:
        failed = macroForm->saveMacros();
        addSaveFailures(failed, macroForm->saveEngineDeclarations());
        applyPortfolioSystemsIfNeeded();
        break;
      case downloadsTab:
        downloadForm->webBrowserEnable(false);
        downloadPickForm->listLists();
        break;
      case webTab:
        failed = webForm->tabLeft();
        break;
      default:
        break;
    }
  } catch (const std::exception&) {
    // A failed save must not keep the user on the tab.
  }
  return failed;
}

void TmainForm::pageControlChange() {
  THourglass hourglass;
  const int tab = pageControl->activePageIndex();
  if (tab >= 0 && tab < tabCount && tabForms[tab] != nullptr) pageControl->helpContext = tabForms[tab]->helpContext;
  try {
    switch (tab) {
      case portfoliosTab:
        arriveAtPortfolios();
        break;
      case transactionsTab:
        transactionForm->tabEntered(macroForm->scriptEngine(), macroForm->macrosLoadedAt());
        break;
      case systemTab:
        arriveAtSystemTab();
        break;
      case assetsTab:
        assetForm->tabEntered(macroForm->scriptEngine(), macroForm->macrosLoadedAt(), datesSynchronised,
                              synchFromDate, synchToDate);
        break;
      case quotesTab:
        quoteForm->tabEntered(macroForm->scriptEngine(), macroForm->macrosLoadedAt(), datesSynchronised,
                              synchFromDate, synchToDate);
        break;
      case macrosTab:
        macroForm->loadEngineDeclarations(true);
        macroForm->updateSheet(portfolioTable->currentIndex(),
                               portfolioTable->current() ? portfolioTable->current()->currentAssetIndex() : -1);
        break;
      case downloadsTab:
        downloadForm->webBrowserEnable(true);
        break;
      case webTab:
        webForm->webBrowsersEnable(true);
        webForm->bringMaximizedToFront();
        break;
      default:
        break;
    }
  } catch (const std::exception&) {
    // The tab shows what it has; the cursor comes back either way.
  }
  giveTabTheKeyboard(tab);
}

void TmainForm::giveTabTheKeyboard(int tab) {
  // On the tab row the arrow keys go on choosing tabs.
  if (tab < 0 || tab >= tabCount || pageControl->focused()) return;
  // The keys go back where the user left them, and no tile comes in front
  // of another on the way.
  const TApplication::TFocusInPlace inPlace;
  if (TControl* last = pageControl->page(tab)->lastFocused()) {
    if (!last->focused()) last->setFocus();
    return;
  }
  switch (tab) {
    case portfoliosTab:
    case assetsTab:
    case quotesTab:
      if (auto* form = dynamic_cast<TdataForm*>(tabForms[tab])) form->focusGrid();
      break;
    case transactionsTab:
      focusIfPossible(transactionForm->sheetPanel());
      break;
    case systemTab:
      systemForm->focusCurrentGrid();
      break;
    case macrosTab:
      focusIfPossible(macroForm->macroListView());
      break;
    case downloadsTab:
      focusIfPossible(downloadForm->listView());
      break;
    case webTab:
      focusIfPossible(webForm->mosaicListView());
      break;
    default:
      break;
  }
  // A tab with nothing to type into leaves the keys with the tab row.
  if ((!tabForms[tab] || !focusShownIn(*tabForms[tab])) && pageControl->canFocus()) pageControl->setFocus();
}

void TmainForm::arriveAtPortfolios() {
  TportfolioForm& form = *portfolioForm;
  TDataTabStamps stamps;
  stamps.macrosLoadedAt = macroForm->macrosLoadedAt();
  stamps.scriptStamp = form.scriptStamp();
  stamps.dataChanged = portfolioTable->lastChange();
  stamps.currentChanged = portfolioTable->CurrentChange();
  stamps.sheetStamp = form.sheetStamp();
  stamps.datesMoved = datesSynchronised && datesDiffer(form, synchFromDate, synchToDate);
  const TDataTabArrival arrival = portfoliosTabArrival(stamps);
  if (stamps.datesMoved) {
    form.setDates(synchFromDate, synchToDate);
    if (arrival.applyDatesNow) form.dateChangeTimerTimer();
  }
  if (arrival.setScript) form.setActiveScript(macroForm->scriptEngine());
  if (arrival.recompute) {
    // The recomputation reads the window's dates, so the views follow them.
    form.recomputeSheet();
    if (stamps.datesMoved) form.setSheetChartAndGraphDateRange();
    form.rebuildAllAuxiliaryViews();
  } else if (arrival.followCurrent) {
    form.setAuxiliaryViewsPortfolio();
  } else {
    form.handleSheetChartAndGraphRequests();
  }
  form.webBrowsersEnable(true);
  form.bringMaximizedToFront();
}

void TmainForm::updateDateRangeTracker(TToolButton& button) {
  const std::vector<TdataForm*> dataForms = dataFormsOf(tabForms);
  const auto owner = std::find_if(dataForms.begin(), dataForms.end(),
                                  [&button](const TdataForm* form) { return &form->synchDatesBtn() == &button; });
  if (owner == dataForms.end()) return;
  if (button.down()) {
    synchFromDate = (*owner)->dataSheet().dates.fromDate();
    synchToDate = (*owner)->dataSheet().dates.toDate();
    datesSynchronised = true;
    return;
  }
  datesSynchronised = std::any_of(dataForms.begin(), dataForms.end(), [&button](const TdataForm* form) {
    return &form->synchDatesBtn() != &button && form->synchDatesBtn().down();
  });
}

// ---- Busy work, idle loop and reload ----

void TmainForm::setCommandsBusy(bool busy) {
  commandsBusy_ = busy;
  menuPanel->setEnabled(!busy);
  if (!busy && closeRequested_) application().postDeferred([this] { close(); });
}

void TmainForm::onApplicationIdle() {
  idleEvents_.poll();
  showFileNotices();
}

void TmainForm::showFileNotices() {
  std::vector<std::string> failures = takeLoadFailures();
  for (std::string& line : takeSavedWhole()) failures.push_back(std::move(line));
  const std::vector<std::string> names = takeUnreadableFiles();
  const std::vector<std::string> partlyRead = takePartlyReadFiles();
  const std::vector<std::string> damaged = takeDamagedFiles();
  if (failures.empty() && names.empty() && partlyRead.empty() && damaged.empty()) return;
  addNoticeLines(fileNoticeLines(failures, names, partlyRead, damaged));
  noticeBar->setPanelText(0, fileNotice(failures, names, partlyRead, damaged));
  noticeBar->show();
}

void TmainForm::addNoticeLines(const std::vector<std::string>& lines) {
  // The list is what a click shows whole: none is left out, however many.
  for (const std::string& line : lines)
    if (noticeLinesTold_.insert(line).second) noticeLines_.push_back(line);
}

void TmainForm::noticeBarClick() {
  noticeBar->hide();
  std::vector<std::string> lines;
  lines.swap(noticeLines_);
  noticeLinesTold_.clear();
  showNotices(lines);
}

void TmainForm::showNotices(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\r") + line;
  messageBox_.show(handle(), text, "Notices", MB_OK | MB_ICONINFORMATION);
}

void TmainForm::reloadBtnClick() {
  // The tab shown is rebuilt from what the reload reads.
  if (commandsBusy_ || !openEditsSettled(TEditEnding::take)) return;
  THourglass hourglass;
  ResetEvent(dataReloadEvent_.get());
  // The views' threads read the price series and currency tables that
  // are about to be read again.
  for (TdataForm* form : dataFormsOf(tabForms)) form->abortViewThreads();
  int result = portfolioTable->reloadPrices();
  const int forex = portfolioTable->reloadForexTables({}, nullptr);
  if (result == 0) result = forex;
  applyPortfolioSystemsIfNeeded();
  pageControlChange();
  reloadBtn->setEnabled(result != 0);
}

bool TmainForm::tabKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  const WPARAM key = message.wParam;
  if (key != VK_TAB && key != VK_NEXT && key != VK_PRIOR) return false;
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
  // Dialogs are windows of their own and keep their keys.
  if (GetAncestor(message.hwnd, GA_ROOT) != handle() || !IsWindowEnabled(handle())) return false;
  const bool backwards = key == VK_PRIOR || (key == VK_TAB && GetKeyState(VK_SHIFT) < 0);
  pageControl->selectNextPage(!backwards);
  return true;
}

// ---- Trading-system re-runs ----

void TmainForm::applySelectedPortfolioSystemIfNeeded() {
  if (shuttingDown || !systemRuns.applySystemFile) return;
  runSystemsChangedSince(0, true);
}

void TmainForm::applyPortfolioSystemsOfPortfoliosChangedSince(double since) {
  if (shuttingDown || !systemRuns.applySystemFile) return;
  runSystemsChangedSince(since, false);
}

void TmainForm::applyPortfolioSystemsIfNeeded() {
  if (shuttingDown || !systemRuns.applySystemFile || !systemRuns.systemAppliedTime) return;
  applyPortfolioSystemsOfPortfoliosChangedSince(systemRuns.systemAppliedTime());
}

void TmainForm::runSystemsChangedSince(double since, bool onlyCurrent) {
  // Nothing to run: the progress window would show for nothing.
  if (onlyCurrent && portfolioTable->current() == nullptr) return;
  setEnabled(false);
  THourglass hourglass;
  systemRunNotices_.clear();
  if (systemRuns.showProgressWindow) systemRuns.showProgressWindow(true);
  try {
    const double macros = macroForm->macrosLoadedAt();
    const auto namesPortfolios = [this](int i) { return systemRuns.namesPortfolios && systemRuns.namesPortfolios(i); };
    if (onlyCurrent) {
      TPortfolio* current = portfolioTable->current();
      const double applied = systemRuns.systemAppliedTime ? systemRuns.systemAppliedTime() : 0;
      if (current && applied < std::max(macros, current->lastChange()) && systemRuns.applySystemFile(true) != -9)
        runSystemsNamingPortfolios(portfolioTable->currentIndex());
    } else {
      // The systems that read other portfolios after the others, so that
      // they read those portfolios' new soft transactions.
      bool skipped = false;
      for (int i = 0; i < portfolioTable->count() && !skipped; ++i) {
        if (std::max(macros, portfolioTable->items(i)->lastChange()) <= since || namesPortfolios(i)) continue;
        skipped = !applySystemOfPortfolio(i);
      }
      if (!skipped && std::max(macros, portfolioTable->lastChange()) > since) runSystemsNamingPortfolios(-1);
    }
  } catch (const std::exception&) {
    // The window comes back whatever the run did.
  }
  if (systemRuns.showProgressWindow) systemRuns.showProgressWindow(false);
  setEnabled(true);
  if (!systemRunNotices_.empty()) {
    std::string notice;
    for (const std::string& text : systemRunNotices_) notice += (notice.empty() ? "" : " ") + text;
    addNoticeLines(systemRunNotices_);
    noticeBar->setPanelText(0, notice);
    noticeBar->show();
  }
}

void TmainForm::runSystemsNamingPortfolios(int except) {
  if (!systemRuns.namesPortfolios) return;
  for (int i = 0; i < portfolioTable->count(); ++i)
    if (i != except && systemRuns.namesPortfolios(i) && !applySystemOfPortfolio(i)) return;
}

bool TmainForm::applySystemOfPortfolio(int index) {
  const int remembered = portfolioTable->currentIndex();
  portfolioTable->setCurrentIndex(index);
  const bool goOn = systemRuns.applySystemFile(false) != -9;
  portfolioTable->setCurrentIndex(remembered);
  return goOn;
}

// ---- Shut-down ----

void TmainForm::showShutDownForm() {
  shutDownForm = std::make_unique<TshutDownForm>();
  shutDownForm->setCaption("Shutting down");
  shutDownForm->msgLabel->setText("Shutting down - please wait...");
  const int frame = shutDownForm->width() - shutDownForm->clientWidth();
  const int width = frame + shutDownForm->msgLabel->left() + shutDownForm->msgLabel->width() + shutDownForm->image->left();
  const RECT main = bounds();
  const int left = std::max(0L, main.left + (main.right - main.left - width) / 2);
  const int top = std::max(0L, main.top + (main.bottom - main.top - shutDownForm->height()) / 2);
  shutDownForm->setBounds(left, top, width, shutDownForm->height());
  shutDownForm->showModeless();
  shutDownForm->repaint();
}

bool TmainForm::closeCore(bool clearViews, const TFileStamps* recordStamps) {
  if (findDialog.visible()) findDialog.close();
  if (replaceDialog.visible()) replaceDialog.close();
  const int tab = pageControl->activePageIndex();
  if (!savedOrCancelled([this, tab] { return leaveTab(tab); })) return false;
  // Tabs left earlier saved then; what failed there is still in the window
  // and is tried again here.
  if (tab != systemTab && systemForm->unsaved() && !savedOrCancelled([this] { return systemForm->saveView(); }))
    return false;
  if (tab != webTab && !savedOrCancelled([this] {
        TSaveFailures failed = webForm->saveWebPanels();
        addSaveFailures(failed, webForm->saveNotes());
        return failed;
      }))
    return false;
  const std::vector<TdataForm*> dataForms = dataFormsOf(tabForms);
  for (TdataForm* form : dataForms) form->abortViewThreads();
  if (datesSynchronised) portfolioForm->setDates(synchFromDate, synchToDate);
  for (TdataForm* form : dataForms)
    if (!savedOrCancelled([form] { return form->saveView(); })) return false;
  // The transactions' line sizes and order go into them before they are saved.
  if (!savedOrCancelled([this] { return transactionForm->saveView(); })) return false;
  if (!savedOrCancelled([this, &recordStamps] {
        TSaveFailures failed;
        // Tried again, the files are looked up afresh: the user may have
        // mended one meanwhile.
        if (portfolioForm->savePortfolios(&failed, std::exchange(recordStamps, nullptr)) == 0)
          return TSaveFailures{};
        return failed.empty() ? TSaveFailures{"the portfolios"} : failed;
      }))
    return false;
  if (!savedOrCancelled([this] { return macroForm->saveEngineDeclarations(); })) return false;
  if (!savedOrCancelled([this] { return downloadForm->saveHeldFiles(); })) return false;
  if (!savedOrCancelled([this] { return saveGUIoptions(); })) return false;
  // Changes a window saved as they were made and that failed then; the
  // directory set-up leaves them for the close, where the user may also go
  // on without them.
  if (shuttingDown && !savedOrCancelled([] { return saveUnsavedChanges(); })) return false;
  // Only once everything is on disk: a cancel keeps the views with their
  // edits.
  if (clearViews) {
    for (TdataForm* form : dataForms) form->clearView();
    downloadForm->killWebBrowser();
    webForm->unloadWebPanels();
  }
  macroForm->listViewModifyEventsEnable(false);
  webForm->listViewModifyEventsEnable(false);
  return true;
}

bool TmainForm::openEditsSettled(TEditEnding ending) {
  return endEditsInside(ending) && quoteForm->quoteEditor().uncommittedRowsSettled();
}

void TmainForm::releasePortfolios() {
  // The windows let go of their views first: a view kept would go on
  // saving into the old folders, and its threads read the portfolios.
  for (TdataForm* form : dataFormsOf(tabForms)) form->clearView();
  transactionForm->clearView();
  systemForm->clearView();
  portfolioTable->clear();
  forexTables().clearTables();
}
