#pragma once
#include <memory>
#include <string>
#include <vector>

#include "controls/ChildForm.h"
#include "windows/TransactionDisplayOrder.h"

class TComboBox;
class TFieldTable;
class TPanel;
class TPortfolio;
class TPortfolioTable;
class TSheetPanel;
class TToolButton;
class TassetPickForm;
class TTransactionSheet;
class TdelTransForm;
class TsumTransForm;

// The transactions of the current portfolio as a sheet of bound cells, one
// line per transaction of the current asset or, with "All in portfolio"
// down, of the whole portfolio, in the user's order.
class TtransactionForm : public TChildForm {
 public:
  static constexpr int transactionHelpContext = 1400;

  TtransactionForm();
  ~TtransactionForm() override;

  void setPortfolioTable(TPortfolioTable* table);
  void setAssetPickForm(TassetPickForm* picker) { assetPickForm_ = picker; }
  void loadTranslations(const std::string& languageFile) { languageFile_ = languageFile; }
  void clearView();
  void loadView();
  void saveView();
  void recomputeSheet();
  void showTransactions(int col, int row);
  void updateAssetPickers();

  void addBtnClick();
  void delSelectedClick();
  void delRangeClick();
  void sumBtnClick();
  void sortClick(bool ascending);
  void moveClick(int step);
  void renumberBtnClick();
  void firstDateBtnClick();
  void wholePortfolioBtnClick();
  // Rebuilds in the other layout, the current cell's column and row exchanged.
  void setRowWise(bool rowWise);
  void fixedBtnClick();

  TSheetPanel& sheetPanel() const { return *sheetPanel_; }
  TToolButton& autoCompleteBtn() const { return *autoCompleteBtn_; }
  TToolButton& wholePortfolioBtn() const { return *wholePortfolioBtn_; }
  TToolButton& rowWiseBtn() const { return *rowWiseBtn_; }
  TToolButton& fixedBtn() const { return *fixedBtn_; }
  bool rowWise() const { return rowWise_; }
  TComboBox& assetComboBox() const { return *assetComboBox_; }
  TdelTransForm& delTransForm();
  TsumTransForm& sumTransForm();
  // The transaction of the current cell's line; -1 when none.
  int32_t selectedTransaction() const;
  int lineCount() const;

 private:
  TPortfolio* portfolio() const;
  int currentLine() const;
  int currentField() const;
  // Makes the line showing the transaction current, keeping the field.
  void showWithCurrent(int32_t number, int field);
  void captureOrder();
  void onSheetRender();
  void onCellValueEdited();
  void assetComboBoxChange();
  std::string guiOptionsFile() const;

  TPanel* controlBar_;
  TToolButton* addBtn_;
  TToolButton* delBtn_;
  TToolButton* sumBtn_;
  TToolButton* sortAscendingBtn_;
  TToolButton* sortDescendingBtn_;
  TToolButton* autoCompleteBtn_;
  TToolButton* firstDateBtn_;
  TToolButton* moveUpBtn_;
  TToolButton* moveDownBtn_;
  TToolButton* renumberBtn_;
  TToolButton* wholePortfolioBtn_;
  TToolButton* rowWiseBtn_;
  TToolButton* colWiseBtn_;
  TToolButton* showCellErrorsBtn_;
  TToolButton* fixedBtn_;
  TassetPickForm* assetPickForm_ = nullptr;
  TComboBox* assetComboBox_;
  TSheetPanel* sheetPanel_;
  std::unique_ptr<TFieldTable> fieldTable_;
  std::unique_ptr<TTransactionSheet> builder_;
  std::unique_ptr<TdelTransForm> delTransForm_;
  std::unique_ptr<TsumTransForm> sumTransForm_;
  TTransactionDisplayOrder order_;
  std::vector<int> comboAssets_;  // asset index of each list entry
  std::vector<std::pair<int, int>> assetOrder_;  // (asset index, display order) in list order
  TPortfolioTable* portfolioTable_ = nullptr;
  std::string folder_;
  std::string languageFile_;
  bool rowWise_ = true;
  bool fixedFieldsOn_ = true;
};
