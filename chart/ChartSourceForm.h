#pragma once
#include "chart/SourceEditorForm.h"

// "Data sources" of a price chart: open, high, low, close and volume
// formulas with their step-line and OHLC switches.
class TchartSourceForm : public TSourceEditorForm {
 public:
  explicit TchartSourceForm(const std::string& dataFolder);
  static constexpr int helpContext = 2210;

  // True when the user pressed OK.
  bool editSources(TSourceTable& table, TSourceTable* favourites, std::function<void(TchartSourceForm*)> apply);

 protected:
  void showFormulas() override;
  void storeFormula(TEdit& edit) override;

 private:
  TEdit* openEdit_ = nullptr;
  TEdit* highEdit_ = nullptr;
  TEdit* lowEdit_ = nullptr;
  TEdit* profileEdit_ = nullptr;
  TCheckBox* stepLineBtns_[4] = {};
  TCheckBox* ohlcBtns_[4] = {};
};
