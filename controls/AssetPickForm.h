#pragma once
#include <memory>
#include <utility>
#include <vector>

#include "platform/Form.h"
#include "platform/Menu.h"

class TButton;
class TFindDialog;
class TListViewXPSafe;
class TPanel;
class TPortableIniFile;
class TPortfolio;

// The multi-select asset picker of the document windows: assets of the
// current portfolio in the windows' display order.
class TassetPickForm : public TForm {
 public:
  // The owner is the window the dialog stays above (the main window).
  explicit TassetPickForm(HWND owner = nullptr);
  ~TassetPickForm() override;

  // One row per pair (asset index, display order) whose asset exists, in
  // the pairs' order; none without a portfolio.
  void listAssets(const TPortfolio* portfolio, const std::vector<std::pair<int, int>>& order);
  bool execute();
  // The asset indexes of the selected rows, forwards from the first or
  // backwards from the last; -1 past the end.
  int getFirstAssetIndex();
  int getNextAssetIndex();
  int getLastAssetIndex();
  int getPrevAssetIndex();
  int selectedCount() const;
  void loadTranslations() {}
  void loadGUIoptions(const TPortableIniFile& ini);
  void saveGUIoptions(TPortableIniFile& ini) const;
  void busy();
  void available();

  TPanel& assetListPanel;
  TListViewXPSafe& assetListView;
  TButton& okBtn;
  TPopupMenu assetListPopupMenu;
  TMenuItem& findMenuItem;
  std::unique_ptr<TFindDialog> findDialog;

 private:
  int assetIndexAt(int row);
  void acceptIfSelected(bool closeOtherwise);
  void findMenuItemClick();
  void findDialogFind();
  void FormKeyDown(WORD& key, TShiftState shift);

  int iterationRow_ = -1;
  bool accepted_ = false;
};
