#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "systems/Optimizer.h"
#include "windows/DateWindow.h"

class TButton;
class TCheckBox;
class TComboBox;
class TDateTimePicker;
class TEdit;
class TGroupBox;
class TLabel;
class TPortableIniFile;
class TPortfolio;
class TPortfolioTable;
class TProgressBar;
class TRadioButton;
class TSheetPanel;
class TSystem;
class TToolGlyphs;
class TUpDown;
struct IActiveScript;

// The "Optimize" dialog: the objective, the test window, shuffled runs and
// the log around the grid search of TOptimizer, with the Max, Min and Last
// results; OK writes the chosen column into the system's parameters.
class TToolTips;

class ToptimizeForm : public TForm {
 public:
  ToptimizeForm();
  ~ToptimizeForm() override;

  // True when the user accepted a result and a parameter received its value.
  bool execute(TPortfolioTable* portfolioTable, TSystem* system, IActiveScript* scriptEngine);

  void executeBitBtnClick();
  // Rebuilds the result table from Max, Min and Last.
  void showResults();
  // Execute's conditions, from the controls.
  void updateExecute();
  const TOptimizer& Optimizer() const { return optimizer_; }
  // Section "OptimizeSystem" and the recent objectives of the System
  // window's controls file.
  void loadGUIoptions(const TPortableIniFile& ini);
  void saveGUIoptions(TPortableIniFile& ini);
  void loadTranslations() {}
  // The log file picked through the browse button, in its portable form.
  void logBrowseBitBtnClick();
  // The dialog that picks the log file; the system's unless replaced.
  TFileDialog* fileDialog = &ownFileDialog_;
  TMessageBox* messages = &systemMessageBox();
  const TDateWindow& Dates() const { return dates_; }

  TComboBox* objectiveComboBox;
  TGroupBox* testGroupBox;
  TDateTimePicker* fromDateTimePicker;
  TDateTimePicker* toDateTimePicker;
  TComboBox* daysComboBox;
  TButton* firstDateBtn;
  TButton* firstCommonDateBtn;
  TButton* lastCommonDateBtn;
  TButton* lastDateBtn;
  TButton* frameBackBtn;
  TButton* oneDayBackBtn;
  TButton* oneDayForwardBtn;
  TButton* frameForwardBtn;
  TUpDown* runsUpDown;
  TButton* logBrowseBitBtn;
  TButton* helpBtn;
  TCheckBox* shuffleCheckBox;
  TEdit* runsEdit;
  // Median, mean, largest and smallest of the shuffled runs' objectives.
  std::array<TRadioButton*, 4> aggregationButtons{};
  TSheetPanel* resultSheetPanel;
  TButton* executeBitBtn;
  TButton* stopBitBtn;
  TButton* okBtn;
  TButton* minimizeBtn;
  TProgressBar* progressBar;
  TLabel* etaLabel;
  TLabel* etaValueLabel;
  TCheckBox* logCheckBox;
  TEdit* logEdit;

 private:
  void makeDateControls(int top);
  // The pickers and the days box from the date window.
  void showDates();
  void fromDateChanged();
  void toDateChanged();
  void daysChanged();
  // Return in the days box, or the box left: false when its count is refused.
  bool daysEntryEnded();
  // A date of the current portfolio (first trade, latest first trade,
  // earliest last quote, last quote) into one end of the window.
  void takePortfolioDate(const std::function<void(TPortfolio&, double&, bool&)>& date, bool from);
  void setRunning(bool running);
  int aggregationKind() const;  // 1 median, 2 mean, 3 max, 4 min
  void setAggregationKind(int kind);
  void updateOk();
  void showProgress(long double fraction);
  // The objective at the top of the recent list, kept to its length.
  void rememberObjective();

  TOptimizer optimizer_;
  std::unique_ptr<TToolGlyphs> toolGlyphs_;
  std::unique_ptr<TToolTips> hints_;
  std::unique_ptr<TSystem> workingCopy_;
  TPortfolioTable* portfolioTable_ = nullptr;
  IActiveScript* scriptEngine_ = nullptr;
  double runStart_ = 0;
  bool accepted_ = false;
  int keepRecentObjectives_ = 100;
  TDateWindow dates_;
  bool showingDates_ = false;
  TDaysTyping daysTyping_;
  bool datesLoaded_ = false;
  std::string runsOnEntry_ = "1";  // Escape in the runs box brings it back
  TFileDialog ownFileDialog_;
};
