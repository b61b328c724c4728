#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/Menu.h"
#include "windows/DataForm.h"

class TAsset;
class TPortfolio;
class TassetPickForm;
class TdownloadPickForm;

// The Assets tab: one line per asset of the current portfolio, null holdings
// hidden on request, and the commands that create assets (with a constant
// price, or one per picked download item) and delete them. Its fields,
// layout, views and notes lie in the portfolio's folder.
class TassetForm : public TdataForm {
 public:
  static constexpr int assetHelpContext = 1200;
  static constexpr int fieldEditorHelpContext = 1210;

  TassetForm();
  ~TassetForm() override;

  void setAssetPickForm(TassetPickForm* picker) { assetPickForm_ = picker; }
  void setDownloadPickForm(TdownloadPickForm* picker) { downloadPickForm_ = picker; }

  void clearView() override;
  void loadView() override;
  // The serial number of the portfolio whose assets are shown; 0 for none.
  int32_t shownPortfolioSerial() const { return shownPortfolioSerial_; }

  // The commands; each answers the model's result code (0 success).
  void addBtnClick();
  int menuItemAssetsNewConstantPriceClick();
  int menuItemAssetsNewVariablePriceClick();
  void delBtnClick();
  int menuItemAssetsDelSelectedClick();
  int menuItemAssetsDelPickClick();
  void showNullsBtnClick();
  void updateAssetPickers();

  TToolButton& addBtn() const { return *addBtn_; }
  TToolButton& delBtn() const { return *delBtn_; }
  TToolButton& showNullsBtn() const { return *showNullsBtn_; }
  TPopupMenu& newAssetPopupMenu() { return newAssetPopupMenu_; }
  TPopupMenu& delAssetPopUpMenu() { return delAssetPopUpMenu_; }

 protected:
  std::unique_ptr<TDataObjects> objectsOf(TPortfolioTable& table) const override;
  std::string windowDirectory() const override;
  std::string objectName(int index) const override;
  std::string objectSymbol(int index) const override;
  std::string objectNotesFile(int index) const override;
  std::string globalNotesFile() const override;
  std::string globalNotesCaption() const override;
  double dateBound(TDateBound bound) override;
  void addCommand() override { addBtnClick(); }
  void deleteCommand() override { delBtnClick(); }
  void readMoreGUIoptions(const TPortableIniFile& ini) override;
  void writeMoreGUIoptions(TPortableIniFile& ini) override;
  void defineMoreNames() override;
  void enableObjectButtons(int selected) override;

 private:
  void buildAssetMenus();
  TPortfolio* portfolio() const;
  TAsset* asset(int index) const;
  // Deletes one asset with its notes and keeps the line arrays in step.
  int delAssetCore(TPortfolio& portfolio, int countBefore, int index);
  void setDefaultTransactionDisplayOrder(TAsset& asset);
  void afterDeletion(int code);
  std::string deleteItemCaption(int index) const;

  TassetPickForm* assetPickForm_ = nullptr;
  TdownloadPickForm* downloadPickForm_ = nullptr;
  TToolButton* showNullsBtn_ = nullptr;
  TPopupMenu newAssetPopupMenu_;
  TPopupMenu delAssetPopUpMenu_;
  TMenuItem* deleteItem_ = nullptr;
  TMenuItem* deleteSelectedItem_ = nullptr;
  TMenuItem* deletePickItem_ = nullptr;
  TMenuItem* variablePriceItem_ = nullptr;
  TMenuItem* nullsItem_ = nullptr;
  int32_t shownPortfolioSerial_ = 0;
};
