#pragma once
#include <memory>

#include "controls/DownloadPickState.h"
#include "platform/Form.h"
#include "platform/Timer.h"

class TButton;
class TDownloadItem;
class TFindDialog;
class TImageList;
class TListView;
class TListViewXPSafe;
class TPanel;
class TSplitter;
class TPortableIniFile;

// The download-item picker of the Assets window: the download lists under
// <DLISTS> on the left, the items of the chosen list on the right.
class TdownloadPickForm : public TForm {
 public:
  // The owner is the window the dialog stays above (the main window).
  explicit TdownloadPickForm(HWND owner = nullptr);
  ~TdownloadPickForm() override;

  void setFindDialog(TFindDialog* dialog) { findDialog_ = dialog; }
  // Shows the dialog modally; true when the user accepted items.
  bool execute();
  void listLists();
  // Load the first, then each further, selected item into the item; false
  // when there is none (the item is then left as it was).
  bool getFirstDownloadItem(TDownloadItem& item);
  bool getNextDownloadItem(TDownloadItem& item);
  void loadTranslations() {}
  void loadGUIoptions(const TPortableIniFile& ini);
  void saveGUIoptions(TPortableIniFile& ini) const;
  void busy();
  void available();

  TPanel& mainPanel;
  TPanel& listListPanel;
  TListViewXPSafe& listListView;
  TSplitter& vSplitter;
  TPanel& objectListPanel;
  TListViewXPSafe& objectListView;
  TButton& okBtn;
  TTimer delayTimer;

 private:
  void listListViewSelectItem(int row, bool selected);
  void delayTimerTimer();
  void loadChosenList();
  void showItems();
  void updateOkBtn();
  void acceptIfPossible(bool closeOtherwise);
  void openFindDialog(TListView& list);
  void findDialogFind();
  void columnClick(TListView& list, int column);
  bool loadItemAt(int row, TDownloadItem& item);
  void FormKeyDown(WORD& key, TShiftState shift);

  std::unique_ptr<TImageList> imageList_;
  TDownloadPickState state_;
  TFindDialog* findDialog_ = nullptr;
  TListView* findList_ = nullptr;  // the list the find dialog searches
  int iterationRow_ = -1;
  bool accepted_ = false;
};
