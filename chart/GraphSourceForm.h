#pragma once
#include "chart/SourceEditorForm.h"
#include "platform/Colors.h"

// "Data sources" of a graph: one y = f(x) formula per source with its
// step-line switch and point marker, and the graph's X range formulas.
class TgraphSourceForm : public TSourceEditorForm {
 public:
  explicit TgraphSourceForm(const std::string& dataFolder);
  static constexpr int helpContext = 2310;
  // The marker box draws each kind in this colour, outline and inside.
  static constexpr TColor markerBoxPenColor = clWindowText;

  // True when the user pressed OK; the X formulas are read and returned
  // trimmed.
  bool editSources(TSourceTable& table, TSourceTable* favourites,
                   std::function<void(const std::string&, const std::string&, const std::string&)> apply,
                   std::string& fromX, std::string& toX, std::string& steps);
  void setXFormulas(const std::string& fromX, const std::string& toX, const std::string& steps);
  void getXFormulas(std::string& fromX, std::string& toX, std::string& steps) const;
  TComboBox& pointComboBox() { return *pointComboBox_; }

 protected:
  void showFormulas() override;

 private:
  TCheckBox* stepLineBtn_ = nullptr;
  TComboBox* pointComboBox_ = nullptr;
};
