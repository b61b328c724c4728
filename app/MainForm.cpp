#include "app/MainForm.h"

#include <commctrl.h>

#include "app/DirSelForm.h"
#include "app/DownloadForm.h"
#include "app/DownloaderLink.h"
#include "app/HelpLink.h"
#include "app/MainFormAssetTabs.h"
#include "windows/AssetForm.h"
#include "windows/QuoteForm.h"
#include "windows/TransactionForm.h"
#include "app/SharedPopupMenus.h"
#include "app/SplashForm.h"
#include "app/WebForm.h"
#include "chart/Source.h"
#include "chart/SourceTable.h"
#include "controls/AssetPickForm.h"
#include "controls/ChildForm.h"
#include "controls/CurrPickForm.h"
#include "controls/DocumentSave.h"
#include "controls/DownloadPickForm.h"
#include "controls/GalleryForm.h"
#include "controls/SelDirDlg.h"
#include "controls/SheetPanel.h"
#include "model/Directories.h"
#include "model/Forex.h"
#include "model/LanguageStrings.h"
#include "model/MonthSets.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "platform/ScreenFit.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "macros/MacroForm.h"
#include "controls/ShutDownForm.h"
#include "systems/SystemForm.h"
#include "windows/FolioPickForm.h"
#include "windows/PortfolioForm.h"

namespace {

const char* const tabCaptions[TmainForm::tabCount] = {"Portfolios", "Assets", "Quotes",    "Transactions",
                                                      "System",     "Macros", "Downloads", "Web"};

TFormOptions mainOptions() {
  TFormOptions options;
  options.caption = "Kestrova";
  return options;
}

const char* const directoriesSection = "Directories";

// The files a failed save names: the first few and how many more, so that
// the question fits on the screen however many files a change touched (a
// trade inserted moves the line of every transaction after it).
std::string failedFileNames(const TSaveFailures& failed) {
  constexpr size_t listed = 5;
  std::string names;
  for (size_t i = 0; i < failed.size() && i < listed; ++i) names += (i == 0 ? "" : ", ") + failed[i];
  if (failed.size() > listed) names += " and " + std::to_string(failed.size() - listed) + " more";
  return names;
}

// Why the directories could not all be taken from a list that is there.
std::string directoryListFailure(TDirectoryListRead read) {
  return read == TDirectoryListRead::inPart ? "Could not read all of the directory list: \r\r"
                                            : "Could not read the directory list: \r\r";
}

// Why a file could not be read whole or written, after its name in a box.
std::string reasonText(const std::string& why) { return why.empty() ? std::string() : "\r\rIt " + why + "."; }

}  // namespace

TmainForm::TmainForm(const TMainFormContext& context)
    : TForm(mainOptions()),
      context_(context),
      messageBox_(context.messageBox != nullptr ? *context.messageBox : systemMessageBox()) {
  name = "mainForm";
  createComponents();
  tabKeysHook_ = application().addMessageHook([this](MSG& message) { return tabKey(message); });
  // The loading runs from the message loop, not inside the activation
  // message, since it pumps messages and shows a modal dialog.
  onActivate = [this] {
    // A box or the directory set-up of the creation hands the activation
    // back when it closes, and the loop of the next one would run the
    // loading before the forms it works on exist: it waits for the end of
    // the creation.
    if (!created_) {
      activatedWhileCreating_ = true;
      return;
    }
    if (firstActivation || closeOnActivate) application().postDeferred([this] { FormActivate(); });
  };
  onCloseQuery = [this] { return FormCloseQuery(); };
  onClose = [this] { FormClose(); };
  FormCreate();
  created_ = true;
  // The window may already be the active one, and showing it then
  // activates it no more.
  if (activatedWhileCreating_) onActivate();
}

TmainForm::~TmainForm() {
  application().removeMessageHook(tabKeysHook_);
  application().onIdle = nullptr;
  application().idleWaitHandles = nullptr;
  application().onMinimize = nullptr;
  application().onRestore = nullptr;
  // The views' threads and cells go before the portfolio table they read.
  if (portfolioForm != nullptr) portfolioForm->clearView();
  // The tabs go after the shared dialogs (the base destroys its children
  // last): the Macros window must not reach for them then.
  if (macroForm != nullptr) {
    macroForm->setFontDialog(nullptr);
    macroForm->setColorDialog(nullptr);
    macroForm->setFindDialog(nullptr);
    macroForm->setReplaceDialog(nullptr);
  }
  // The program-wide currency tables were read for this window's
  // portfolios; they go with it.
  forexTables().clearTables();
  // The windows go in one call, before the controls that own them: one by
  // one, each would first be hidden, its parent told and its tips taken
  // off, hundreds of them at the close.
  DestroyWindow(handle());
}

void TmainForm::createComponents() {
  pageControl = &add<TPageControl>();
  pageControl->name = "pageControl";
  pageControl->setAlign(TAlign::client);

  menuPanel = &add<TPanel>();
  menuPanel->name = "menuPanel";
  menuPanel->setBevelOuter(TBevelCut::none);
  menuPanel->setSize(78, 20);
  menuPanel->setAnchors(akTop | akRight);
  const auto speedButton = [this](const char* caption, const char* hint, int left) {
    TToolButton& button = menuPanel->add<TToolButton>(caption);
    button.setBounds(left, 0, 26, 20);
    button.setHint(hint);
    return &button;
  };
  // The caption names the button to screen readers; the glyphs show instead.
  reloadBtn = speedButton("Reload", "Reload quotes", 0);
  makeReloadGlyphs(reloadGlyphs);
  reloadBtn->setImages(&reloadGlyphs, reloadGlyphEnabled);
  reloadBtn->setDisabledImageIndex(reloadGlyphDisabled);
  reloadBtn->setEnabled(false);
  reloadBtn->onClick = [this] { reloadBtnClick(); };
  setupBtn = speedButton("Directory setup", "Directory setup", 26);
  toolGlyphs.apply(*setupBtn, "DIRSETUPBMP");
  setupBtn->onClick = [this] { setupBtnClick(); };
  helpBtn = speedButton("Help", "Help", 52);
  toolGlyphs.apply(*helpBtn, "HELPBMP");
  helpBtn->onClick = [this] { helpBtnClick(); };

  loadLogMemo = &add<TMemo>();
  loadLogMemo->name = "loadLogMemo";
  loadLogMemo->setAlign(TAlign::client);
  loadLogMemo->setReadOnly(true);
  loadLogMemo->setWordWrap(false);
  loadLogMemo->setCursor(IDC_WAIT);
  loadLogMemo->setColor(clBtnFace);
  loadLogMemo->hide();

  noticeBar = &add<TStatusBar>();
  noticeBar->name = "noticeBar";
  noticeBar->setPanels({-1});
  noticeBar->onMouseUp = [this](TMouseButton, TShiftState, int, int) { noticeBarClick(); };
  noticeBar->hide();

  findDialog.options.down = true;
  findDialog.hideWholeWord = true;
  popupMenus = std::make_unique<TsharedPopupMenus>(*this);
}

void TmainForm::FormCreate() {
  firstActivation = true;
  closeOnActivate = false;
  shuttingDown = false;
  const RECT area = screenWorkArea();
  setBounds(area);
  THourglass hourglass;
  paths_ = executablePaths(context_.executablePath, context_.currentDirectory);
  if (context_.helpServices != nullptr) {
    helpSystem = std::make_unique<THookHelpSystem>(paths_.helpFileName, "", THelpMode::htmlHelp,
                                                   *context_.helpServices, messageBox_, handle());
  }
  helpContext = 1000;
  pageControl->helpContext = 1000;
  setCaption("Kestrova");
  application().setTitle("Kestrova");

  if (!fileExists(paths_.dirListFileName)) {
    closeOnActivate = true;
    // A folder under the list's name is no missing list.
    messageBox_.show(handle(),
                     (pathExists(paths_.dirListFileName) ? directoryListFailure(TDirectoryListRead::failed)
                                                         : "Missing directory list: \r\r") +
                         paths_.dirListFileName,
                     commonString(4), MB_OK | MB_ICONSTOP);
    return;
  }
  std::string listDamage;
  const TDirectoryListRead listRead =
      loadDirectoryTable(paths_.dirListFileName, directoriesSection, &listDamage, &savedDirectories_);
  applyDirectoryDefaults(context_.currentDirectory);
  refreshDataPaths(paths_);
  selDirDlg = std::make_unique<TselDirDlg>(messageBox_);
  if (!startDirsOK(listRead, listDamage)) {
    closeOnActivate = true;
    return;
  }

  portfolioTable = std::make_unique<TPortfolioTable>();
  currPickForm = std::make_unique<TcurrPickForm>(handle());
  downloadPickForm = std::make_unique<TdownloadPickForm>(handle());
  downloadPickForm->setFindDialog(&findDialog);
  assetPickForm = std::make_unique<TassetPickForm>(handle());
  galleryForm = std::make_unique<TgalleryForm>(handle());
  galleryForm->setNotesPopupMenu(&popupMenus->notesPopupMenu);
  createTabs();
  chartFavorites = std::make_unique<TSourceTable>(&TChartSource::create);
  graphFavorites = std::make_unique<TSourceTable>(&TSource::create);
  loadFavorites();

  pageControl->setActivePageIndex(0);
  pageControl->onChanging = [this] { return pageControlChanging(); };
  pageControl->onChange = [this] { pageControlChange(); };
  dataReloadEvent_.reset(CreateEventA(nullptr, TRUE, FALSE, "Kestrova Data Reload"));
  listReloadEvent_.reset(CreateEventA(nullptr, TRUE, FALSE, "Kestrova List Reload"));
  idleEvents_.dataReload = dataReloadEvent_.get();
  idleEvents_.listReload = listReloadEvent_.get();
  idleEvents_.onDataReady = [this] { reloadBtn->setEnabled(true); };
  idleEvents_.onListReload = [this] { downloadForm->reloadObjectsInSelectedList(); };
  application().onIdle = [this] { onApplicationIdle(); };
  application().idleWaitHandles = [this] { return idleEvents_.waitHandles(); };
}

void TmainForm::createTabs() {
  for (int tab = 0; tab < tabCount; ++tab) {
    if (tab == portfoliosTab) {
      createPortfolioForm();
    } else if (tab == downloadsTab) {
      downloadForm = &createChildForm<TdownloadForm>(*pageControl, tabCaptions[tab], messageBox_);
      downloadForm->setDownloaderHost(downloaderHost());
      downloadForm->setFindDialog(&findDialog);
      tabForms[tab] = downloadForm;
    } else if (tab == webTab) {
      webForm = &createChildForm<TwebForm>(*pageControl, tabCaptions[tab], messageBox_);
      tabForms[tab] = webForm;
    } else if (tab == assetsTab) {
      assetForm = &createAssetsTab(*this, tabCaptions[tab]);
      tabForms[tab] = assetForm;
    } else if (tab == quotesTab) {
      quoteForm = &createQuotesTab(*this, tabCaptions[tab]);
      tabForms[tab] = quoteForm;
    } else if (tab == transactionsTab) {
      transactionForm = &createTransactionsTab(*this, tabCaptions[tab]);
      tabForms[tab] = transactionForm;
    } else if (tab == systemTab) {
      systemForm = &createChildForm<TsystemForm>(*pageControl, tabCaptions[tab]);
      tabForms[tab] = systemForm;
    } else if (tab == macrosTab) {
      macroForm = &createChildForm<TmacroForm>(*pageControl, tabCaptions[tab]);
      tabForms[tab] = macroForm;
    } else {
      tabForms[tab] = &createChildForm<TChildForm>(*pageControl, tabCaptions[tab]);
    }
  }
  wireSystemForm();
  macroForm->setFontDialog(&fontDialog);
  macroForm->setColorDialog(&colorDialog);
  macroForm->setFindDialog(&findDialog);
  macroForm->setReplaceDialog(&replaceDialog);
  macroForm->setAxEnginesPath(paths_.axEnginesFileName);
  macroForm->setPortfolioTable(portfolioTable.get());
  webForm->setFindDialog(&findDialog);
  webForm->setGalleryForm(galleryForm.get());
  TwebPanelMenus& webMenus = popupMenus->webPanelMenus;
  webForm->setExternalPopupMenus(&webMenus.webPanelTimerPopupMenu, &webMenus.webPanelSetupPopupMenu,
                                 &webMenus.webPanelFavsPopupMenu, &popupMenus->notesPopupMenu);
  webForm->setExternalEvents({[&webMenus](TWebPanel& panel) { webMenus.makeWebPanelTemplate(panel); },
                              [&webMenus](TWebPanel& panel) { webMenus.clearWebPanelTemplate(panel); },
                              [&webMenus](TWebPanel& panel) { webMenus.onWebPanelDeleteRequest(panel); }});
  macroForm->setSheetImageList(imageList.handle());
  placeMenuPanel();
}

void TmainForm::createPortfolioForm() {
  portfolioForm = &createChildForm<TportfolioForm>(*pageControl, tabCaptions[portfoliosTab]);
  tabForms[portfoliosTab] = portfolioForm;
  portfolioForm->setSheetImageList(&imageList);
  TwebPanelMenus& webMenus = popupMenus->webPanelMenus;
  portfolioForm->setExternalPopupMenus(&popupMenus->sheetChartAndGraphPopupMenu, &popupMenus->notesPopupMenu,
                                       &webMenus.webPanelFavsPopupMenu, &webMenus.webPanelSetupPopupMenu,
                                       &webMenus.webPanelTimerPopupMenu);
  portfolioForm->setExternalEvents([&webMenus](TWebPanel& panel) { webMenus.makeWebPanelTemplate(panel); },
                                   [&webMenus](TWebPanel& panel) { webMenus.clearWebPanelTemplate(panel); },
                                   [&webMenus](TWebPanel& panel) { webMenus.onWebPanelDeleteRequest(panel); });
  portfolioForm->setCurrPickForm(currPickForm.get());
  portfolioForm->setGalleryForm(galleryForm.get());
  portfolioForm->setPortfolioTable(portfolioTable.get());
  portfolioForm->setLoadLogMemo(loadLogMemo);
  portfolioForm->setOnPortfoliosLoaded([this] { applyPortfolioSystemsIfNeeded(); });
  portfolioForm->setOnAdditionalPortfoliosLoaded(
      [this](double since) { applyPortfolioSystemsOfPortfoliosChangedSince(since); });
  portfolioForm->onSynchDatesClick = [this](TToolButton& button) { updateDateRangeTracker(button); };
  portfolioForm->onSelectionChanged = [this] { updateMainTitleBar(); };
  portfolioForm->onBusyChanged = [this](bool busy) { setCommandsBusy(busy); };
  portfolioForm->sheetPanel().setSheetVisible(false);
  portfolioForm->clearView();
}

TDownloaderHost TmainForm::downloaderHost() {
  TDownloaderHost host;
  host.connect = [this](bool onlyIfRunning) { return connectDownloader(onlyIfRunning, handle()); };
  host.processMessages = [] { application().processMessages(); };
  host.applicationActive = [] {
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    return process == GetCurrentProcessId();
  };
  host.bringApplicationToFront = [this] { SetForegroundWindow(handle()); };
  host.enableWindows = [this](bool enabled) { setEnabled(enabled); };
  return host;
}

void TmainForm::loadFavorites() {
  // A missing file leaves a table empty.
  const TLocaleSettings& locale = localeSettings();
  chartFavorites->loadFromFile(paths_.chartFavsFileName, locale.decimalSeparator, locale.listSeparator);
  graphFavorites->loadFromFile(paths_.graphFavsFileName, locale.decimalSeparator, locale.listSeparator);
}

void TmainForm::placeMenuPanel() {
  menuPanel->setBounds(clientWidth() - menuPanel->width() - 2, 0, menuPanel->width(), menuPanel->height());
  menuPanel->bringToFront();
  // The buttons sit right of the tabs: the window never gets so narrow that
  // they cover one.
  RECT lastTab{};
  if (pageControl->pageCount() > 0 && TabCtrl_GetItemRect(pageControl->handle(), pageControl->pageCount() - 1, &lastTab))
    setConstraints(lastTab.right + menuPanel->width() + 6 + width() - clientWidth(), minHeight());
}

bool TmainForm::startDirsOK(TDirectoryListRead listRead, const std::string& directoryListDamage) {
  TdirSelForm dirSelForm(handle());
  dirSelForm.setSelDirDlg(selDirDlg.get());
  dirSelForm.loadTranslations(paths_.languageFileName);
  if (dirSelForm.allDirsOK()) return true;
  // Directories missing because the list did not read are no directories
  // the user moved: the window that asks for them says so first.
  if (listRead != TDirectoryListRead::whole) {
    messageBox_.show(handle(),
                     directoryListFailure(listRead) + paths_.dirListFileName + reasonText(directoryListDamage),
                     commonString(4), MB_OK | MB_ICONSTOP);
  }
  if (!dirSelForm.execute(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)})) return false;
  saveDirectories();
  refreshDataPaths(paths_);
  return true;
}

void TmainForm::saveDirectories() {
  const std::string& list = paths_.dirListFileName;
  const auto save = [this] {
    return saveDirectoryTable(paths_.dirListFileName, directoriesSection, savedDirectories_);
  };
  if (save()) return;
  // The directories answered are used all the same; the list takes them
  // at the close once it can, so that the next start need not ask again.
  const std::string refused = refusedSaveText(list);
  messageBox_.show(handle(),
                   "Failed to save the directory list: \r\r" + list +
                       (refused.empty() ? std::string() : reasonText(refused.substr(list.size() + 1))),
                   commonString(4), MB_OK | MB_ICONSTOP);
  holdUnsavedChange(list, "", save);
}

void TmainForm::setupBtnClick() {
  // The windows are saved and then loaded again from the folders chosen.
  if (activating_ || !openEditsSettled(TEditEnding::take)) return;
  application().busy();
  // Everything is saved first: a cancelled set-up goes on with the old
  // directories, and an accepted one reloads from the new ones. A save the
  // user gives up on keeps the old directories too.
  if (!closeCore(false)) {
    application().available();
    pageControlChange();
    macroForm->listViewModifyEventsEnable(true);
    webForm->listViewModifyEventsEnable(true);
    return;
  }
  application().processMessages();
  TdirSelForm dirSelForm(handle());
  dirSelForm.setSelDirDlg(selDirDlg.get());
  dirSelForm.loadTranslations(paths_.languageFileName);
  application().available();
  if (dirSelForm.execute(bounds())) {
    THourglass hourglass;
    saveDirectories();
    // The files kept in <DATA> move with it.
    refreshDataPaths(paths_);
    releasePortfolios();
    loadFavorites();
    updateMainTitleBar();
    macroForm->macroEngineComboBoxChange();
    // The open package belongs to the old folder: edits must not go there.
    macroForm->selectMacro();
    firstActivation = true;
    FormActivate();
    // Fetchmoor reads the same directory list; a running one is told.
    try {
      TDownloaderLink(downloaderHost()).reloadDirList();
    } catch (const EDownloaderCall& error) {
      messageBox_.show(handle(), error.what(), commonString(4), MB_OK | MB_ICONSTOP);
    }
  }
  pageControlChange();
  macroForm->listViewModifyEventsEnable(true);
  webForm->listViewModifyEventsEnable(true);
}

void TmainForm::FormActivate() {
  if (closeOnActivate) {
    onCloseQuery = nullptr;
    onClose = nullptr;
    close();
    application().terminate();
    return;
  }
  if (!firstActivation) return;
  firstActivation = false;
  runFirstActivation();
}

void TmainForm::runFirstActivation() {
  // Messages are pumped between the steps so the splash animates and the
  // window paints; the tabs and buttons stay off until the end so that no
  // click re-enters the loading, and a close waits for it.
  activating_ = true;
  pageControl->setEnabled(false);
  menuPanel->setEnabled(false);
  const auto pump = [] { application().processMessages(); };
  if (splashForm) splashForm->matrixTimer.setEnabled(true);
  application().onMinimize = [this] { AppMinimize(); };
  application().onRestore = [this] { AppRestore(); };
  application().busy();
  loadCommonStrings(paths_.languageFileName);
  pump();
  loadTranslations();
  pump();
  loadGUIoptions(false);
  pump();
  loadImageList();
  pump();
  macroForm->listMacros();
  macroForm->loadMacros();
  pump();
  loadCountries(paths_.languageFileName);
  pump();
  loadCurrencies(paths_.languageFileName);
  pump();
  loadMonthSets(paths_.guiOptionsFileName);
  pump();
  currPickForm->initList();
  pump();
  galleryForm->loadGallery();
  pump();
  update();
  portfolioForm->setActiveScript(macroForm->scriptEngine());
  downloadForm->setMonthsFile(paths_.guiOptionsFileName, savedGUIoptions_);
  downloadForm->setListsRoot(getDirectory("<DLISTS>"));
  downloadPickForm->listLists();
  webForm->setMosaicsRoot(getDirectory("<WEBS>"));
  pump();
  splashForm.reset();
  getInitialPortfolioPicks();
  portfolioForm->loadPortfolios();
  loadMacroGUIoptions();
  pageControl->helpContext = tabForms[0]->helpContext;
  application().available();
  pageControl->setEnabled(true);
  menuPanel->setEnabled(true);
  activating_ = false;
  // The tab row was disabled when the pick dialog handed the activation
  // back, so nothing took the keys then.
  giveTabTheKeyboard(pageControl->activePageIndex());
  if (closeRequested_) application().postDeferred([this] { close(); });
}

void TmainForm::loadTranslations() {
  currPickForm->loadTranslations(paths_.languageFileName);
  selDirDlg->loadTranslations(paths_.languageFileName);
  downloadPickForm->loadTranslations();
  assetPickForm->loadTranslations();
  galleryForm->loadTranslations(paths_.languageFileName);
  portfolioForm->loadTranslations(paths_.languageFileName);
  downloadForm->loadTranslations(paths_.languageFileName);
  webForm->loadTranslations(paths_.languageFileName);
  systemForm->loadTranslations(paths_.languageFileName);
}

void TmainForm::loadGUIoptions(bool includeMacros) {
  TPortableIniFile ini(paths_.guiOptionsFileName);
  // A folder under the name is a file that cannot be read, not a missing
  // one: nothing is written over it unless the user changes what it holds.
  guiOptionsRead_ = pathExists(paths_.guiOptionsFileName) ? !ini.readFailed() : std::optional<bool>();
  setBounds(mainWindowBounds(ini, bounds(), screenWorkArea()));
  if (mainWindowMaximized(ini)) ShowWindow(handle(), SW_MAXIMIZE);
  placeMenuPanel();
  if (includeMacros) macroForm->loadGUIoptions(ini);
  downloadPickForm->loadGUIoptions(ini);
  downloadForm->loadGUIoptions(ini);
  webForm->loadGUIoptions(ini);
  currPickForm->loadGUIoptions(ini);
  assetPickForm->loadGUIoptions(ini);
  galleryForm->loadGUIoptions(ini);
}

TSaveFailures TmainForm::saveGUIoptions() {
  if (savedGUIoptions_.save(paths_.guiOptionsFileName, [this](TPortableIniFile& ini) { writeGUIoptions(ini); }))
    return {};
  return {paths_.guiOptionsFileName};
}

void TmainForm::writeGUIoptions(TPortableIniFile& ini) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(handle(), &placement);
  saveMainWindowBounds(ini, placement.showCmd == SW_SHOWNORMAL, bounds());
  saveMainWindowMaximized(ini, placement.showCmd == SW_SHOWMAXIMIZED);
  downloadPickForm->saveGUIoptions(ini);
  downloadForm->saveGUIoptions(ini);
  webForm->saveGUIoptions(ini);
  currPickForm->saveGUIoptions(ini);
  assetPickForm->saveGUIoptions(ini);
  galleryForm->saveGUIoptions(ini);
  macroForm->saveGUIoptions(ini);
}

void TmainForm::loadMacroGUIoptions() {
  TPortableIniFile ini(paths_.guiOptionsFileName);
  macroForm->loadGUIoptions(ini);
  // The last of the options read at the start: a file that could not be
  // read leaves every window as it was, which must not replace the file
  // unless the user changes it; what was read and corrected is saved.
  // The month names read from the file are part of what the program
  // holds of it: their save checks the whole file.
  const auto write = [this](TPortableIniFile& file) {
    writeGUIoptions(file);
    writeUserMonthSets(file);
  };
  if (!guiOptionsRead_)
    savedGUIoptions_.forget();
  else if (*guiOptionsRead_)
    savedGUIoptions_.take(paths_.guiOptionsFileName, write, ini);
  else
    savedGUIoptions_.takeAsShown(paths_.guiOptionsFileName, write, ini);
  savedGUIoptions_.describe("the layout of the program's windows");
}

void TmainForm::loadImageList() { loadNumberedBitmaps(imageList, getDirectory("<BMPS>")); }

void TmainForm::getInitialPortfolioPicks() {
  THourglass hourglass;
  const std::string fileName = getDirectory("<FOLIOS>") + "FolioControls.INI";
  TfolioPickForm& picks = portfolioForm->folioPickForm();
  const auto write = [&picks](TPortableIniFile& ini) { picks.saveGUIoptions(ini); };
  TSettingsBaseline saved;
  {
    const TPortableIniFile ini(fileName);
    picks.loadGUIoptions(ini);
    // Options that could not be read are not written back as defaults.
    // The file holds the portfolio window's controls too: the save of the
    // dialog's part checks all of it.
    saved.takeWithTheRest(fileName, write, ini);
  }
  picks.listFolios();
  application().available();
  const bool accepted = picks.execute(10, false);
  application().busy();
  if (accepted) picks.saveLoadAlwaysStatus();
  saved.save(fileName, write);
}

void TmainForm::helpBtnClick() { application().helpContext(pageControl->helpContext); }

void TmainForm::updateMainTitleBar() {
  setCaption(mainTitle(portfolioTable ? portfolioTable->current() : nullptr));
}

bool TmainForm::FormCloseQuery() {
  // A close during the creation, the loading or a long command waits until
  // it has ended: the shut-down would save and free what is still being
  // made or worked on.
  if (!created_ || activating_ || commandsBusy_) {
    closeRequested_ = true;
    return false;
  }
  if (!openEditsSettled(TEditEnding::closing)) return false;
  // Everything is saved while the window and everything in it are still
  // there: a save that fails is told, and Cancel keeps the program and the
  // edit.
  application().busy();
  // The record files are looked up while the close shows its notice and
  // saves the macros: most are held unchanged, and each is only checked for
  // what another program did to it.
  const TFileStamps recordStamps(portfolioForm->recordFiles());
  showShutDownForm();
  shuttingDown = true;
  givenUpAtClose_.clear();
  shutDownForm->repaint();
  if (savedOrCancelled([this] { return macroForm->saveMacros(); }) && closeCore(true, &recordStamps)) {
    tellSavedWhole();
    return true;
  }
  shuttingDown = false;
  shutDownForm.reset();
  application().available();
  // The tab left for the saves is entered again.
  pageControlChange();
  return false;
}

void TmainForm::tellSavedWhole() {
  // The foot that tells of them during the run is gone with the close.
  const std::vector<std::string> lines = takeSavedWhole();
  if (lines.empty()) return;
  application().available();
  showNotices(lines);
  application().busy();
}

bool TmainForm::savedOrCancelled(const std::function<TSaveFailures()>& save) {
  // Only a text kept unsaved while these saves ask stops them, and every
  // text kept before is asked about again.
  takeDocumentKeptUnsaved();
  askAgainAboutKeptTexts();
  for (TSaveFailures failed = save();; failed = save()) {
    // The user was asked already, and chose to go back to the program.
    if (takeDocumentKeptUnsaved()) return false;
    // The tab left for the close and every data window are saved in turn,
    // so one file can fail twice.
    if (shuttingDown) std::erase_if(failed, [this](const std::string& name) { return givenUpAtClose_.contains(name); });
    if (failed.empty()) return true;
    // What is lost is what the files named did not take, nothing more: the
    // other saves ran, and a window may have had something to write where
    // the user changed nothing.
    std::string text = "Failed to save " + failedFileNames(failed) + "." + refusedSavesText(failed);
    UINT buttons = MB_RETRYCANCEL;
    if (shuttingDown) {
      // A file that stays unwritable must not keep the program from ending:
      // the user may give up what it did not take and keep everything else.
      const bool one = failed.size() == 1;
      text += std::string("\r\rTry Again: save again.\rContinue: end the program and leave ") +
              (one ? "the file as it is; what was not written into it" : "the files as they are; what was not written into them") +
              " is lost.\rCancel: go back to the program.";
      buttons = MB_CANCELTRYCONTINUE;
    }
    application().available();
    const int answer = messageBox_.show(handle(), text, commonString(4), buttons | MB_ICONSTOP);
    application().busy();
    if (answer == IDCONTINUE) {
      givenUpAtClose_.insert(failed.begin(), failed.end());
      giveUpUnsavedChanges(failed);
      return true;
    }
    if (answer != IDRETRY && answer != IDTRYAGAIN) return false;
  }
}

void TmainForm::FormClose() { application().terminate(); }
