#pragma once
#include <windows.h>

#include <string>

#include "platform/ComCtrls.h"
#include "platform/Form.h"
#include "platform/StdControls.h"
#include "platform/Timer.h"
#include "sheet/MacroCallout.h"
#include "systems/SystemProgress.h"

class TPortfolioTable;
class TSystem;
class TWholeSystemFiles;
struct IActiveScript;

// Runs one trading system and, when the run lasts longer than three
// seconds, shows the portfolio, the progress, the time left, "&Stop" and
// "Skip &all". The System window owns one; the main window reaches it
// when it re-applies the systems of its portfolios.
class TsystemProgressForm : public TForm {
 public:
  TsystemProgressForm();

  // The stop code: 0, -8 (Stop) or -9 (Skip all). The run's own result is
  // left in LastRunResult.
  int execute(const TSystem* system, IActiveScript* scriptEngine, bool hideAtEnd, const RECT& centreRect,
              TPortfolioTable* portfolioTable);
  int reportProgress(long double low, long double high, long double position);
  void hideWindow();
  void restoreWindow(bool show);
  int LastRunResult() const { return lastRunResult_; }
  // Why the last run's transactions are incomplete; empty when they are not.
  std::string incompleteReason() const { return incompleteRunReason(lastRunResult_, lastMacroFailures_); }
  // The macro calls of the last run that gave no value; none when nothing ran.
  const TMacroCallFailures& LastMacroFailures() const { return lastMacroFailures_; }
  // The file that kept the last run from starting, and why; empty when none did.
  const std::string& LastRunRefusal() const { return lastRunRefusal_; }
  // Whether the last run gave the transactions its system gives.
  bool lastRunComplete() const { return !systemRunFailed(lastRunResult_) && incompleteReason().empty(); }
  const TSystemProgress& Progress() const { return progress_; }

  TLabel* portfolioLabel;
  TProgressBar* progressBar;
  TLabel* etaLabel;
  TLabel* etaValueLabel;
  TButton* stopBitBtn;
  TButton* cancelBitBtn;

 private:
  void stopBitBtnClick();
  void cancelBitBtnClick();
  void TimerTimer();
  void closeWindow();
  void refreshDisplay();

  TTimer timer_;
  TSystemProgress progress_;
  bool centrePending_ = true;
  bool hidden_ = false;
  int lastRunResult_ = 0;
  TMacroCallFailures lastMacroFailures_;
  std::string lastRunRefusal_;
};

// Loads the system file into a fresh system and runs it on the table's
// current portfolio through the progress window: 0, -8, -9, or -1 for an
// exception. appliedTime is stamped unless the run failed or was cut short
// (incompleteReason), so that it runs again. macros are the texts the script
// engine was given; when they, the system and the portfolio are as they were
// after the last run that went to its end, nothing runs. wholeFiles, when
// given, keeps the file for the portfolio when it reads whole.
int applySystemFile(TsystemProgressForm& progressForm, const std::string& fileName, IActiveScript* scriptEngine,
                    const std::string& macros, TPortfolioTable* portfolioTable, const RECT& centreRect,
                    bool hideAtEnd, double& appliedTime, TWholeSystemFiles* wholeFiles = nullptr);
