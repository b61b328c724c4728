#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "app/DownloaderLink.h"
#include "app/MainWindowSetup.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "platform/Menu.h"

class TChildForm;
class TMemo;
class TPageControl;
class TPanel;
class TPortfolioTable;
class TSourceTable;
class TToolButton;
class TassetPickForm;
class TcurrPickForm;
class TdownloadForm;
class TdownloadPickForm;
class TwebForm;
class TfolioPickForm;
class TgalleryForm;
class TmacroForm;
class TtransactionForm;
class TselDirDlg;
class TsharedPopupMenus;

// A kernel handle closed with its owner.
struct TKernelHandleClose {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using TKernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, TKernelHandleClose>;

// Where the main window finds its files and whom it asks: the program hands
// in its own, tests their own.
struct TMainFormContext {
  std::string executablePath;
  std::string currentDirectory;
  TMessageBox* messageBox = nullptr;  // null: the system's
};

// The program's main window: the portfolio table, the shared dialogs and
// menus, and the document windows on the tabs of its page control.
class TmainForm : public TForm {
 public:
  static constexpr int tabCount = 8;
  static constexpr int transactionsTab = 3;
  static constexpr int macrosTab = 5;
  static constexpr int downloadsTab = 6;
  static constexpr int webTab = 7;
  static constexpr int helpContext = 1000;

  explicit TmainForm(const TMainFormContext& context);
  ~TmainForm() override;

  void FormActivate();
  void updateMainTitleBar();
  void loadTranslations();
  void loadGUIoptions(bool includeMacros);
  void saveGUIoptions();
  void loadMacroGUIoptions();
  void loadImageList();
  void getInitialPortfolioPicks();

  bool firstActivation = true;
  bool closeOnActivate = false;
  bool shuttingDown = false;
  const TMainPaths& paths() const { return paths_; }
  TMessageBox& messageBox() const { return messageBox_; }

  TPageControl* pageControl = nullptr;
  TPanel* menuPanel = nullptr;
  TToolButton* reloadBtn = nullptr;
  TToolButton* setupBtn = nullptr;
  TToolButton* helpBtn = nullptr;
  TMemo* loadLogMemo = nullptr;
  TImageList imageList{16, 16};
  TFindDialog findDialog{false};
  TFindDialog replaceDialog{true};
  TColorDialog colorDialog;
  TFontDialog fontDialog;
  TmacroForm* macroForm = nullptr;  // on its tab, owned there
  TtransactionForm* transactionForm = nullptr;
  std::unique_ptr<TsharedPopupMenus> popupMenus;

  std::unique_ptr<TPortfolioTable> portfolioTable;
  std::unique_ptr<TcurrPickForm> currPickForm;
  std::unique_ptr<TdownloadPickForm> downloadPickForm;
  std::unique_ptr<TassetPickForm> assetPickForm;
  std::unique_ptr<TgalleryForm> galleryForm;
  std::unique_ptr<TselDirDlg> selDirDlg;
  std::unique_ptr<TfolioPickForm> folioPickForm;
  // Favourite chart and graph sources, kept in <DATA>.
  std::unique_ptr<TSourceTable> chartFavorites;
  std::unique_ptr<TSourceTable> graphFavorites;
  // Reads the favourites again from the files of the current <DATA>.
  void loadFavorites();
  // The document windows of the tabs, in tab order; empty windows until
  // the windows of each tab are built.
  std::array<TChildForm*, tabCount> tabForms{};
  TdownloadForm* downloadForm = nullptr;
  TwebForm* webForm = nullptr;

  // True while the first activation runs its loading steps.
  bool activating() const { return activating_; }

 private:
  void FormCreate();
  void createComponents();
  void createTabs();
  void placeMenuPanel();
  bool startDirsOK();
  // Lets the user change the named directories and reloads everything from
  // the new ones when accepted.
  void setupBtnClick();
  // How the windows reach Fetchmoor: through this program's own window.
  TDownloaderHost downloaderHost();
  void loadPortfolios();
  void runFirstActivation();
  bool FormCloseQuery();
  void FormClose();
  void logLoadProgress(int code, const std::string& text);

  TMainFormContext context_;
  TMainPaths paths_;
  TMessageBox& messageBox_;
  TKernelHandle dataReloadEvent_;
  TKernelHandle listReloadEvent_;
  bool activating_ = false;
  bool closeRequested_ = false;
};
