#pragma once
#include <memory>
#include <string>

#include "platform/Form.h"
#include "systems/Optimizer.h"

class TButton;
class TCheckBox;
class TComboBox;
class TDateTimePicker;
class TEdit;
class TLabel;
class TPortableIniFile;
class TPortfolioTable;
class TProgressBar;
class TSheetPanel;
class TSystem;
struct IActiveScript;

// The "Optimize" dialog: the objective, the test window, shuffled runs and
// the log around the grid search of TOptimizer, with the Max, Min and Last
// results; OK writes the chosen column into the system's parameters.
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

  TComboBox* objectiveComboBox;
  TDateTimePicker* fromDateTimePicker;
  TDateTimePicker* toDateTimePicker;
  TCheckBox* shuffleCheckBox;
  TEdit* runsEdit;
  TComboBox* aggregationComboBox;
  TSheetPanel* resultSheetPanel;
  TButton* executeBitBtn;
  TButton* stopBitBtn;
  TButton* okBtn;
  TButton* minimizeBtn;
  TProgressBar* progressBar;
  TLabel* etaValueLabel;
  TCheckBox* logCheckBox;
  TEdit* logEdit;

 private:
  void setRunning(bool running);
  void updateOk();
  void showProgress(long double fraction);
  // The objective at the top of the recent list, kept to its length.
  void rememberObjective();

  TOptimizer optimizer_;
  std::unique_ptr<TSystem> workingCopy_;
  TPortfolioTable* portfolioTable_ = nullptr;
  IActiveScript* scriptEngine_ = nullptr;
  double runStart_ = 0;
  bool accepted_ = false;
  int keepRecentObjectives_ = 100;
};
