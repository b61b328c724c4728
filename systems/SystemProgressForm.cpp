#include "systems/SystemProgressForm.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "model/Asset.h"
#include "model/ChangeStamps.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/Application.h"
#include "platform/CalendarDates.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "platform/Menu.h"
#include "model/UnreadableFiles.h"
#include "systems/System.h"
#include "systems/SystemFileFault.h"
#include "systems/WholeSystemFiles.h"
#include "systems/SystemRunRecord.h"

namespace {

TFormOptions progressOptions() {
  TFormOptions options = dialogOptions("Executing system...", 393, 104, true);
  options.systemMenu = false;
  return options;
}

}  // namespace

TsystemProgressForm::TsystemProgressForm() : TForm(progressOptions()), timer_(250, [this] { TimerTimer(); }) {
  portfolioLabel = &add<TLabel>("");
  portfolioLabel->setBounds(8, 8, 377, 16);
  progressBar = &add<TProgressBar>();
  progressBar->setBounds(8, 28, 377, 18);
  progressBar->setRange(0, 100);
  etaLabel = &add<TLabel>("ETA");
  etaLabel->setBounds(8, 52, 60, 16);
  etaValueLabel = &add<TLabel>("0 : 00 : 00");
  etaValueLabel->setBounds(285, 52, 100, 16);
  stopBitBtn = &add<TButton>("&Stop");
  stopBitBtn->setBounds(8, 72, 120, 25);
  stopBitBtn->onClick = [this] { stopBitBtnClick(); };
  cancelBitBtn = &add<TButton>("Skip &all");
  cancelBitBtn->setBounds(265, 72, 120, 25);
  cancelBitBtn->onClick = [this] { cancelBitBtnClick(); };
  stopBitBtn->setEnabled(false);
  cancelBitBtn->setEnabled(false);
  timer_.setEnabled(false);
}

int TsystemProgressForm::execute(const TSystem* system, IActiveScript* scriptEngine, bool hideAtEnd,
                                 const RECT& centreRect, TPortfolioTable* portfolioTable) {
  progress_.begin(currentDateTime());
  progress_.finish();
  lastRunResult_ = 0;
  lastMacroFailures_ = {};
  lastRunRefusal_.clear();
  portfolioLabel->setText("");
  stopBitBtn->setEnabled(false);
  cancelBitBtn->setEnabled(false);
  TPortfolio* portfolio = portfolioTable != nullptr ? portfolioTable->current() : nullptr;
  if (system == nullptr || portfolio == nullptr) {
    if (hideAtEnd) hideWindow();
    return 0;
  }
  portfolioLabel->setText(ampersandsDoubled(portfolio->Name().empty() ? portfolio->Symbol() : portfolio->Name()));
  stopBitBtn->setEnabled(true);
  cancelBitBtn->setEnabled(true);
  if (centrePending_) {
    setBounds(std::max<int>(0, (centreRect.left + centreRect.right - width()) / 2),
              std::max<int>(0, (centreRect.top + centreRect.bottom - height()) / 2), width(), height());
    centrePending_ = false;
  }
  progress_.begin(currentDateTime());
  timer_.setEnabled(true);
  try {
    lastRunResult_ = system->run(scriptEngine, portfolioTable, [this](long double low, long double high,
                                                                     long double position) {
      return reportProgress(low, high, position);
    }, &lastMacroFailures_, &lastRunRefusal_);
  } catch (const std::exception&) {
    lastRunResult_ = -5;
  }
  progress_.finish();
  stopBitBtn->setEnabled(false);
  cancelBitBtn->setEnabled(false);
  if (hideAtEnd) hideWindow();
  return progress_.StopCode();
}

int TsystemProgressForm::reportProgress(long double low, long double high, long double position) {
  application().processMessages();
  return progress_.report(low, high, position);
}

void TsystemProgressForm::stopBitBtnClick() {
  progress_.stop();
  stopBitBtn->setEnabled(false);
  cancelBitBtn->setEnabled(false);
}

void TsystemProgressForm::cancelBitBtnClick() {
  progress_.skipAll();
  stopBitBtn->setEnabled(false);
  cancelBitBtn->setEnabled(false);
}

void TsystemProgressForm::closeWindow() {
  timer_.setEnabled(false);
  hide();
}

void TsystemProgressForm::refreshDisplay() {
  progressBar->setPosition(static_cast<int>(std::lround(100 * progress_.Ratio())));
  etaValueLabel->setText(TSystemProgress::etaText(progress_.secondsLeft(currentDateTime())));
}

void TsystemProgressForm::TimerTimer() {
  if (progress_.Finished()) {
    closeWindow();
    return;
  }
  if (hidden_ || !progress_.dueToShow(currentDateTime())) return;
  refreshDisplay();
  if (!visible()) {
    centrePending_ = false;
    showModeless();
  }
  bringToFront();
}

void TsystemProgressForm::hideWindow() {
  hidden_ = true;
  closeWindow();
}

void TsystemProgressForm::restoreWindow(bool show) {
  hidden_ = false;
  if (!show) return;
  if (progress_.Finished()) {
    closeWindow();
    return;
  }
  hide();
  TimerTimer();
  timer_.setEnabled(true);
}

int applySystemFile(TsystemProgressForm& progressForm, const std::string& fileName, IActiveScript* scriptEngine,
                    const std::string& macros, TPortfolioTable* portfolioTable, const RECT& centreRect,
                    bool hideAtEnd, double& appliedTime, TWholeSystemFiles* wholeFiles) {
  try {
    const TPortfolio* portfolio = portfolioTable != nullptr ? portfolioTable->current() : nullptr;
    // Without a system file there is nothing to run, nor a file to keep the
    // state in.
    const bool kept = portfolio != nullptr && fileExists(fileName);
    // Nothing to run: the window, and the last run's code, as for no system.
    const auto runNothing = [&] {
      const int result = progressForm.execute(nullptr, scriptEngine, hideAtEnd, centreRect, portfolioTable);
      appliedTime = changeStamp();
      return result;
    };
    TSystem system;
    {
      // Read only: the object is gone before the run, and nothing was written.
      TPortableIniFile ini(fileName);
      // A system that could not be read, or not whole, is not the system
      // its transactions came from: they and its run's record stay as they
      // are, and the user learns why, even where what it reads ran before.
      if (const std::string fault = systemFileFault(ini); !fault.empty()) {
        const std::string name = portfolio ? shortLabel(objectLabel(portfolio->Name(), portfolio->Symbol())) : "";
        const bool heldWhole = wholeFiles != nullptr && portfolio != nullptr &&
                               wholeFiles->wholeRead(portfolio->Serial(), fileName) != nullptr;
        reportLoadFailure(systemNotRunNotice(name, fileName, fault, heldWhole));
        return runNothing();
      }
      if (wholeFiles != nullptr && portfolio != nullptr) wholeFiles->keep(portfolio->Serial(), ini);
      if (kept && lastSystemRunState(fileName) == systemRunState(fileName, macros, *portfolioTable))
        return runNothing();
      system.loadFromIni(ini, {localeSettings().decimalSeparator, localeSettings().listSeparator});
    }
    const int result = progressForm.execute(&system, scriptEngine, hideAtEnd, centreRect, portfolioTable);
    const bool complete = progressForm.lastRunComplete();
    // A run that failed or was cut short is not applied: the main window
    // tries it again. A change stamp, not the clock: stamps run ahead of the
    // clock while a run adds thousands of transactions, and an applied time
    // behind them would ask for the same run again at once.
    if (complete) appliedTime = changeStamp();
    // Nor is it the state its system gives: the record of an earlier run
    // would otherwise match again once the portfolio is back to that state.
    // A system that found nothing to run, or whose run was cut short, has
    // no transactions for a record to vouch for: it gets none of its own,
    // nor a new one each time what it would have read changes.
    const bool ran = complete && progressForm.LastRunResult() != -7;
    if (kept) {
      const std::uint64_t state = ran ? systemRunState(fileName, macros, *portfolioTable) : 0;
      if (state != 0 || lastSystemRunState(fileName) != 0) keepSystemRunState(fileName, state);
    }
    return result;
  } catch (const std::exception&) {
    return -1;
  }
}
