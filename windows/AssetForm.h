#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/Menu.h"
#include "windows/PortfolioAssetsForm.h"

class TAsset;
class TPortfolio;
class TassetPickForm;
class TdownloadPickForm;

// The Assets tab: one line per asset of the current portfolio, null holdings
// hidden on request, and the commands that create assets (with a constant
// price, or one per picked download item) and delete them. Its fields,
// layout, views and notes lie in the portfolio's folder.
class TassetForm : public TportfolioAssetsForm {
 public:
  static constexpr int assetHelpContext = 1200;
  static constexpr int fieldEditorHelpContext = 1210;

  TassetForm();
  ~TassetForm() override;

  void setAssetPickForm(TassetPickForm* picker) { assetPickForm_ = picker; }
  void setDownloadPickForm(TdownloadPickForm* picker) { downloadPickForm_ = picker; }

  // The commands; each answers the model's result code (0 success).
  void addBtnClick();
  int menuItemAssetsNewConstantPriceClick();
  int menuItemAssetsNewVariablePriceClick();
  void delBtnClick();
  int menuItemAssetsDelSelectedClick();
  int menuItemAssetsDelPickClick();
  void updateAssetPickers();

  TToolButton& addBtn() const { return *addBtn_; }
  TToolButton& delBtn() const { return *delBtn_; }
  TPopupMenu& newAssetPopupMenu() { return newAssetPopupMenu_; }
  TPopupMenu& delAssetPopUpMenu() { return delAssetPopUpMenu_; }

 protected:
  void addCommand() override { addBtnClick(); }
  void deleteCommand() override { delBtnClick(); }
  void enableObjectButtons(int selected) override;

 private:
  void buildAssetMenus();
  // Deletes the assets of the indexes (ascending) with their notes as one
  // deletion, tells a refusal, and keeps the line arrays in step.
  int delAssetsCore(TPortfolio& portfolio, const std::vector<int>& indexes);
  void setDefaultTransactionDisplayOrder(TAsset& asset);
  // Null holdings shown when the filter would hide the newest asset.
  void showNewAsset();
  void afterDeletion(int code);
  std::string deleteItemCaption(int index) const;

  TassetPickForm* assetPickForm_ = nullptr;
  TdownloadPickForm* downloadPickForm_ = nullptr;
  TPopupMenu newAssetPopupMenu_;
  TPopupMenu delAssetPopUpMenu_;
  TMenuItem* deleteItem_ = nullptr;
  TMenuItem* deleteSelectedItem_ = nullptr;
  TMenuItem* deletePickItem_ = nullptr;
  TMenuItem* variablePriceItem_ = nullptr;
};
