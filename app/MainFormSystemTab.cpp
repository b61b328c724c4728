// The main window's side of the System tab: the System window's wiring, its
// part in the trading-system re-runs, and its share of the tab changes.
#include "app/MainForm.h"
#include "app/SharedPopupMenus.h"
#include "controls/AssetPickForm.h"
#include "model/LanguageStrings.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/PageControl.h"
#include "macros/MacroForm.h"
#include "systems/SystemForm.h"
#include "systems/SystemProgress.h"
#include "systems/SystemRunRecord.h"

namespace {

std::string systemFileOf(const TPortfolio& portfolio) {
  std::string folder = portfolio.Folder();
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + "System.INI";
}

}  // namespace

void TmainForm::wireSystemForm() {
  systemForm->setSheetImageList(imageList.handle());
  systemForm->setTextEditorPopupMenu(&popupMenus->notesPopupMenu);
  systemForm->setAssetPickForm(assetPickForm.get());
  systemForm->setPortfolioTable(portfolioTable.get());
  systemForm->clearView();
  systemRuns.systemAppliedTime = [this] { return systemForm->getSystemAppliedTime(); };
  systemRuns.applySystemFile = [this](bool hideAtEnd) {
    const TPortfolio* current = portfolioTable->current();
    if (current == nullptr) return 0;
    const int result = systemForm->applySystemFile(systemFileOf(*current), macroForm->scriptEngine(),
                                                   macroForm->loadedMacros(), portfolioTable.get(), bounds(),
                                                   hideAtEnd);
    // Its soft transactions may be missing or stale: the user must know.
    const std::string name = current->Name().empty() ? current->Symbol() : current->Name();
    if (const std::string refusal = systemForm->lastRunRefusal(); result != -1 && !refusal.empty()) {
      messageBox_.show(handle(),
                       "The trading system of \"" + name + "\" was not run: " + refusal + ".",
                       commonString(4), MB_OK | MB_ICONSTOP);
    } else if (result == -1 || systemRunFailed(systemForm->lastRunResult())) {
      messageBox_.show(handle(),
                       "The trading system of \"" + name + "\" could not be run (code " +
                           std::to_string(result == -1 ? result : systemForm->lastRunResult()) + ").",
                       commonString(4), MB_OK | MB_ICONSTOP);
    } else if (const std::string reason = systemForm->lastRunIncompleteReason(); !reason.empty()) {
      messageBox_.show(handle(),
                       "The soft transactions of \"" + name + "\" are incomplete: " + reason +
                           ". The system runs again at the next occasion, as after a change.",
                       commonString(4), MB_OK | MB_ICONWARNING);
    }
    // A macro that raised an error is a formula error, no failure of the
    // run: told once, on the notice line, not in a box at every visit.
    if (const std::string notice = macroFaultNotice(name, systemForm->lastRunMacroFailures()); !notice.empty())
      systemRunNotices_.push_back(notice);
    return result;
  };
  systemRuns.namesPortfolios = [this](int index) {
    const TPortfolio* portfolio = portfolioTable->items(index);
    return portfolio != nullptr && systemNamesPortfolios(systemFileOf(*portfolio));
  };
  systemRuns.showProgressWindow = [this](bool show) {
    show ? systemForm->restoreProgressWindow(false) : systemForm->hideProgressWindow();
  };
  systemRuns.hideProgressWindow = [this] { systemForm->hideProgressWindow(); };
  systemRuns.restoreProgressWindow = [this](bool show) { systemForm->restoreProgressWindow(show); };
}

TSaveFailures TmainForm::leaveSystemTab() {
  TSaveFailures failed = systemForm->saveView();
  applySelectedPortfolioSystemIfNeeded();
  return failed;
}

void TmainForm::arriveAtSystemTab() {
  if (macroForm->macrosLoadedAt() > systemForm->ScriptStamp()) systemForm->setActiveScript(macroForm->scriptEngine());
  TPortfolio* current = portfolioTable->current();
  if (current == nullptr || current->Serial() != systemForm->PortfolioSerial()) {
    systemForm->loadView();
  } else if (systemForm->getLatestChangeTime() < current->AssetsChange()) {
    systemForm->updateAssetPickers();
  }
}
