#pragma once
#include <memory>
#include <string>

#include "model/PortfolioList.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/Menu.h"
#include "platform/Timer.h"

class TButton;
class TListViewXPSafe;
class TPanel;
class TPortableIniFile;

// The dialog in which the user ticks the portfolios to open: one row per
// portfolio folder under <FOLIOS>, ticked when it loads always. At start it
// counts down and closes by itself.
class TfolioPickForm : public TForm {
 public:
  explicit TfolioPickForm(HWND owner = nullptr);
  ~TfolioPickForm() override;

  void listFolios();
  // Shows the dialog modally and answers whether the user accepted. With a
  // count-down of at least one second an untouched dialog closes after it,
  // answering autoCloseResult. While it shows already it only comes forward.
  bool execute(int countDown, bool autoCloseResult);
  // The folders of the rows whose tick equals `ticked`, in the rows' order;
  // empty at the end.
  void getFirstFolioDir(bool ticked, std::string& folder);
  void getNextFolioDir(bool ticked, std::string& folder);
  // The ticks become the portfolios' load-always marks in their "0.INI".
  int saveLoadAlwaysStatus();
  void loadGUIoptions(const TPortableIniFile& ini);
  void saveGUIoptions(TPortableIniFile& ini) const;
  void loadTranslations() {}
  bool findInListView(TListViewXPSafe& list);
  void findFolio();

  TButton* okBtn = nullptr;
  TListViewXPSafe* folioListView = nullptr;
  TPopupMenu folioListPopupMenu;
  TFindDialog findDialog;
  TTimer countDownTimer;
  const TPortfolioList& portfolioList() const { return portfolios_; }
  bool countingDown() const { return countDownTimer.enabled(); }

 private:
  void FormActivate();
  void stopCountDown();
  void accept();
  void countDownTimerTimer();
  void folioListViewColumnClick(int column);
  void findMenuClick();
  void findFolioDir(int fromRow, bool ticked, std::string& folder);

  TPanel* buttonPanel_ = nullptr;
  TPortfolioList portfolios_;
  int countDown_ = 0;
  bool autoCloseResult_ = false;
  bool result_ = false;
  bool countDownStopped_ = false;
  int iterationRow_ = -1;
};
