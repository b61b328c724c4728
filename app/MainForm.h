#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/DownloaderLink.h"
#include "app/IdleEvents.h"
#include "app/MainWindowSetup.h"
#include "controls/ToolGlyphs.h"
#include "model/SettingsBaseline.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "platform/Menu.h"
#include "platform/SaveFailures.h"

class TChildForm;
class TFileStamps;
class THelpServices;
class THookHelpSystem;
class TMemo;
class TStatusBar;
class TPageControl;
class TPanel;
class TPortfolio;
class TPortfolioTable;
class TSourceTable;
class TToolButton;
class TassetPickForm;
class TcurrPickForm;
class TdownloadForm;
class TdownloadPickForm;
class TwebForm;
class TportfolioForm;
class TshutDownForm;
class TgalleryForm;
class TmacroForm;
enum class TDirectoryListRead;
class TtransactionForm;
class TsystemForm;
class TassetForm;
class TquoteForm;
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
  THelpServices* helpServices = nullptr;  // null: no help link
};

// The program's main window: the portfolio table, the shared dialogs and
// menus, and the document windows on the tabs of its page control.
class TmainForm : public TForm {
 public:
  static constexpr int tabCount = 8;
  static constexpr int portfoliosTab = 0;
  static constexpr int assetsTab = 1;
  static constexpr int quotesTab = 2;
  static constexpr int transactionsTab = 3;
  static constexpr int systemTab = 4;
  static constexpr int macrosTab = 5;
  static constexpr int downloadsTab = 6;
  static constexpr int webTab = 7;

  explicit TmainForm(const TMainFormContext& context);
  ~TmainForm() override;

  void FormActivate();
  void updateMainTitleBar();
  void loadTranslations();
  void loadGUIoptions(bool includeMacros);
  // What changed in the program's options since they were read or saved.
  TSaveFailures saveGUIoptions();
  void loadMacroGUIoptions();
  void loadImageList();
  void getInitialPortfolioPicks();
  // The topic of the window on the current tab.
  void helpBtnClick();
  // The application's minimise and restore handlers from the first
  // activation on.
  void AppMinimize();
  void AppRestore();

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
  // One line at the bottom naming files that could not be read; hidden
  // until there is one, and again when clicked, which lists in a box every
  // file and failure it told of since it showed.
  TStatusBar* noticeBar = nullptr;
  // The sheets' pictures, the bitmaps of <BMPS>: no taller than a cell of a
  // row the grids' default font sets (16 pixels less the grid line), or a
  // Boolean cell there would show its "#" row instead.
  TImageList imageList{15, 15};
  TImageList reloadGlyphs{16, 16};
  TToolGlyphs toolGlyphs;
  TFindDialog findDialog{false};
  TFindDialog replaceDialog{true};
  TColorDialog colorDialog;
  TFontDialog fontDialog;
  TsystemForm* systemForm = nullptr;  // on its tab, owned there
  TmacroForm* macroForm = nullptr;  // on its tab, owned there
  TassetForm* assetForm = nullptr;
  TquoteForm* quoteForm = nullptr;
  TtransactionForm* transactionForm = nullptr;
  std::unique_ptr<TsharedPopupMenus> popupMenus;
  std::unique_ptr<THookHelpSystem> helpSystem;

  std::unique_ptr<TPortfolioTable> portfolioTable;
  std::unique_ptr<TcurrPickForm> currPickForm;
  std::unique_ptr<TdownloadPickForm> downloadPickForm;
  std::unique_ptr<TassetPickForm> assetPickForm;
  std::unique_ptr<TgalleryForm> galleryForm;
  std::unique_ptr<TselDirDlg> selDirDlg;
  // Favourite chart and graph sources, kept in <DATA>.
  std::unique_ptr<TSourceTable> chartFavorites;
  std::unique_ptr<TSourceTable> graphFavorites;
  // Reads the favourites again from the files of the current <DATA>.
  void loadFavorites();
  // The document windows of the tabs, in tab order; empty windows until
  // the windows of each tab are built.
  std::array<TChildForm*, tabCount> tabForms{};
  TportfolioForm* portfolioForm = nullptr;
  TdownloadForm* downloadForm = nullptr;
  TwebForm* webForm = nullptr;

  // ---- Tabs, shared dates, idle loop, reload and shut-down ----
  // Leaving the active tab (always allowed) and arriving at the new one.
  bool pageControlChanging();
  void pageControlChange();
  void onApplicationIdle();
  void showFileNotices();
  void noticeBarClick();
  void reloadBtnClick();
  // The synchDatesBtn click of a data window: the shared date range.
  void updateDateRangeTracker(TToolButton& button);
  // Leaves the tab, stops the views and saves everything; with clearViews
  // the data windows are emptied as well. A save that fails is told with
  // Retry and Cancel; false when the user cancels, and then nothing is
  // emptied.
  // recordStamps: the record files', looked up at the start of the close.
  bool closeCore(bool clearViews, const TFileStamps* recordStamps = nullptr);
  // Every window's view is cleared, then the portfolios and the currency
  // tables are freed, so that everything can be loaded from other folders.
  void releasePortfolios();
  // Before the windows are saved, rebuilt or closed: every value still open
  // in a cell editor is taken, and the quote editor's uncommitted rows are
  // committed or discarded as the user answers. False when the user stays
  // with an edit (refused, kept by Cancel, or, unless closing, declined at a
  // question).
  bool openEditsSettled(TEditEnding ending);
  bool datesSynchronised = false;
  double synchFromDate = 0;
  double synchToDate = 0;
  std::unique_ptr<TshutDownForm> shutDownForm;

  // ---- Trading-system re-runs ----
  void applySelectedPortfolioSystemIfNeeded();
  void applyPortfolioSystemsOfPortfoliosChangedSince(double since);
  void applyPortfolioSystemsIfNeeded();
  // The System window's part in the re-runs, wired with that window: when
  // its system was last loaded or applied, a run of the current portfolio's
  // "System.INI" (hiding its progress window at the end or not; the run's
  // result, -9 to skip the remaining portfolios), and showing or hiding its
  // progress window.
  struct TSystemRuns {
    std::function<double()> systemAppliedTime;
    std::function<int(bool hideAtEnd)> applySystemFile;
    // Whether the system of the portfolio at that index names portfolios by
    // their index: a change in another one may change its run.
    std::function<bool(int index)> namesPortfolios;
    std::function<void(bool show)> showProgressWindow;
    // The progress window goes with the minimised program and comes back
    // shown when it is restored.
    std::function<void()> hideProgressWindow;
    std::function<void(bool show)> restoreProgressWindow;
  };
  TSystemRuns systemRuns;
  // The System tab's share of leaving and arriving at tabs.
  TSaveFailures leaveSystemTab();
  void arriveAtSystemTab();

  // True while the first activation runs its loading steps.
  bool activating() const { return activating_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void writeGUIoptions(TPortableIniFile& ini);
  void createComponents();
  void createTabs();
  void wireSystemForm();
  void placeMenuPanel();
  // listRead: how the directory list read, which the set-up window, when
  // it opens for directories missing, is told with, and why when the list
  // takes no writes (directoryListDamage).
  bool startDirsOK(TDirectoryListRead listRead, const std::string& directoryListDamage);
  // Saves the directory list the user answered; a list that cannot take it
  // is told with why, and the close tries it again.
  void saveDirectories();
  // Lets the user change the named directories and reloads everything from
  // the new ones when accepted.
  void setupBtnClick();
  // How the windows reach Fetchmoor: through this program's own window.
  TDownloaderHost downloaderHost();
  void createPortfolioForm();
  void runFirstActivation();
  bool FormCloseQuery();
  // Runs a save again while it names files it could not write and the user
  // chooses to retry; false when the user cancels. While shutting down the
  // user may also go on without those files' changes (true).
  bool savedOrCancelled(const std::function<TSaveFailures()>& save);
  // Tells in a box of the records the close wrote whole (see reportSavedWhole).
  void tellSavedWhole();
  // The notices' lines in one box, as a click on the notice shows them.
  void showNotices(const std::vector<std::string>& lines);
  void FormClose();
  void showShutDownForm();
  // Work that pumps messages and keeps tabs and close away meanwhile.
  void setCommandsBusy(bool busy);
  TSaveFailures leaveTab(int tab);
  // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp anywhere in the
  // window, a grid included, go to the next or previous tab.
  bool tabKey(const MSG& message);
  void arriveAtPortfolios();
  // The arriving tab takes the keys: its grid or list, else the tab row,
  // unless the user is on the tab row already.
  void giveTabTheKeyboard(int tab);
  void runSystemsChangedSince(double since, bool onlyCurrent);
  // Runs the systems of the portfolios other than `except` that name
  // portfolios by their index, each only when its record says so, until
  // the user skips the runs still to come.
  void runSystemsNamingPortfolios(int except);
  // Runs the system of the portfolio at index as the current one's; false
  // when the user skips the runs still to come.
  bool applySystemOfPortfolio(int index);
  // What the runs of one re-run told, for the notice line at its end.
  std::vector<std::string> systemRunNotices_;
  // Everything the notice line told since it showed, whole, each once.
  std::vector<std::string> noticeLines_;
  std::set<std::string> noticeLinesTold_;
  void addNoticeLines(const std::vector<std::string>& lines);

  TMainFormContext context_;
  TMainPaths paths_;
  TSettingsBaseline savedGUIoptions_;
  // The directory list as read at the start: the downloader reads and
  // writes it too.
  TSettingsBaseline savedDirectories_;
  // Whether the options file was read at the start, when it was there.
  std::optional<bool> guiOptionsRead_;
  TMessageBox& messageBox_;
  TKernelHandle dataReloadEvent_;
  TKernelHandle listReloadEvent_;
  TIdleEvents idleEvents_;
  // Until the end of the creation, whose boxes and set-up run message
  // loops, nothing may reach the forms it has still to make.
  bool created_ = false;
  bool activatedWhileCreating_ = false;
  bool activating_ = false;
  bool commandsBusy_ = false;
  // Files the user chose to go on without during this close: a later save
  // of the same file in it does not ask again.
  std::set<std::string> givenUpAtClose_;
  bool closeRequested_ = false;
  int tabKeysHook_ = 0;
};
