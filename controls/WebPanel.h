#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/ResizablePanel.h"
#include "controls/StoredToolPlaces.h"
#include "controls/WebPanelNavigation.h"
#include "model/SettingsBaseline.h"
#include "platform/Timer.h"

class TBitmap;
class TComboBox;
class TControlBar;
class TLabel;
class TListView;
class TPopupMenu;
class TStatusBar;
class TToolButton;
class TToolTips;

// A browser tile: a tool bar of four movable groups (navigation, default,
// Delete, address), a favourites pane, a status bar, auto-refresh and a
// remembered home page, around a browser control. Hosts load and save its
// settings file and switch the browser off while their tab is not shown.
class TWebPanel : public TResizablePanel, private TWebPanelView {
 public:
  using TBrowserFactory = std::function<std::unique_ptr<TWebBrowser>(HWND parent, TWebBrowserEvents& events)>;

  // The browser control comes from the factory (the system's by default).
  explicit TWebPanel(TControl* parent, TBrowserFactory browserFactory = {});
  ~TWebPanel() override;

  // The narrowest a panel shows its navigation, default and Delete groups
  // whole in the row they share unless the user moves them.
  static int narrowestWidthForGroups();

  void loadTranslations(const std::string&) {}
  // -2 for a missing file (nothing changes), -3 when it cannot be read, else 0.
  // What the file refused from a panel gone before (see saveHolding) shows
  // in its place, as that panel left it.
  int loadSettings(const std::string& fileName);
  // The owner placed the panel after loading it (its file gave no place):
  // that place is no change to save.
  void placedAfterLoading();
  // 0, or -4 when the file could not be written.
  int saveSettings(const std::string& fileName);
  // The same into the file loaded, writing only what changed since it was
  // read or saved. Once it went through, the file holds what the panel
  // shows, and so what was held for it.
  int saveToOwnFile();
  // As saveToOwnFile, for a panel that may go before the close: what its
  // file refuses waits for the close, and for the next panel to load the
  // file.
  int saveHolding();
  const std::string& settingsFile() const { return settingsFile_; }

  void setTimedRefreshPopupMenu(TPopupMenu* menu);
  void setSetupPopupMenu(TPopupMenu* menu);
  void setFavsPopupMenu(TPopupMenu* menu);
  bool toolbarVisible() const;
  void setToolbarVisible(bool visible);
  bool buttonsVisible() const;
  void setButtonsVisible(bool visible);
  bool defaultVisible() const;
  void setDefaultVisible(bool visible);
  bool deleteVisible() const;
  void setDeleteVisible(bool visible);
  bool addressVisible() const;
  void setAddressVisible(bool visible);
  bool statusVisible() const;
  void setStatusVisible(bool visible);
  bool favsVisible() const;
  void setFavsVisible(bool visible);
  bool allowNewWin() const { return navigation_.settings.allowNewWin; }
  void setAllowNewWin(bool allow) { navigation_.settings.allowNewWin = allow; }
  int timedRefreshInterval() const { return navigation_.timedRefreshInterval(); }
  void setTimedRefreshInterval(int milliseconds);
  int keepRecentUrls() const { return navigation_.settings.keepRecentUrls; }
  void setKeepRecentUrls(int count);
  bool canDeleteSelf() const { return canDeleteSelf_; }
  void setCanDeleteSelf(bool can);

  // The Make default and Clear default buttons are enabled exactly while
  // their handler is set.
  void setOnMakeDefaultRequest(std::function<void(TWebPanel&)> handler);
  void setOnClearDefaultRequest(std::function<void(TWebPanel&)> handler);
  std::function<void(TWebPanel&)> onDelSelfRequest;
  // After deleteSelf: the settings file is gone (result 0), and the host
  // frees the panel (through a deferred delete); or it refused (-4), and the
  // panel stays as it was, and refusedDeletion tells the user which file
  // refused and why.
  std::function<void(TWebPanel&, int result)> onDeleted;
  const std::string& refusedDeletion() const { return refusedDeletion_; }

  void back(TControl* focusControl);
  void forward(TControl* focusControl);
  void stop(TControl* focusControl);
  void refresh(TControl* focusControl);
  void openDefault(TControl* focusControl);
  void openSelectedFav(TControl* focusControl);
  bool openFavForSymbol(const std::string& symbol, TControl* focusControl);
  void goAddress(TControl* focusControl);
  void makeHome();
  void makeHomeRequest() { makeHome(); }
  void addFav();
  void deleteFav();
  void moveFavUp();
  void moveFavDown();
  void addFavRequest() { addFav(); }
  void deleteFavRequest() { deleteFav(); }
  void moveFavUpRequest() { moveFavUp(); }
  void moveFavDownRequest() { moveFavDown(); }
  TFav* getSelectedFavItem() const;
  void clearRecentUrls();
  bool browserEnabled() const { return navigation_.browserEnabled(); }
  void browserEnable(bool enable);
  // Frees the panel and its settings file shortly after, from a posted
  // message, never inside the event that asked for it.
  void deleteSelf();
  // The content area (without the drag strip) as it shows now.
  void snapshot(TBitmap& bitmap);

  bool backEnabled() const;
  bool forwardEnabled() const;
  bool stopEnabled() const;
  bool refreshEnabled() const;
  bool homeEnabled() const;
  bool favsEnabled() const;
  bool makeDefaultEnabled() const;
  bool clearDefaultEnabled() const;
  bool makeHomeEnabled() const;
  bool goEnabled() const;
  bool deleteFavEnabled() const;
  bool moveFavUpEnabled() const;
  bool moveFavDownEnabled() const;

  TWebPanelNavigation& navigation() { return navigation_; }
  TComboBox& addressCombo() const { return *addressCombo_; }
  TListView& favListView() const { return *favListView_; }
  TStatusBar& statusBar() const { return *statusBar_; }
  TLabel& noBrowserNotice() const { return *noBrowserNotice_; }
  TControl& browserPane() const { return *browserPane_; }
  TControl& toolbar() const;
  TToolButton& autorefreshButton() const { return *autorefreshBtn_; }
  TToolButton& deleteButton() const { return *deleteBtn_; }
  TToolButton& makeDefaultButton() const;
  TToolButton& clearDefaultButton() const;
  TControl& setupHandle() const;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct TParts;

  // TWebPanelView
  std::unique_ptr<TWebBrowser> createBrowser(TWebBrowserEvents& events) override;
  void showAddress(const std::string& url) override;
  void recentUrlsChanged() override;
  void setBackEnabled(bool enabled) override;
  void setForwardEnabled(bool enabled) override;
  void setStopEnabled(bool enabled) override;
  void setAddFavEnabled(bool enabled) override;
  void showStatusText(const std::string& text) override;
  void showSecure(bool secure) override;
  void setRefreshTimer(bool enabled, int interval) override;
  void selectFav(int index) override;
  bool maximized() const override { return TResizablePanel::maximized(); }
  void giveFocus(HWND window) override;

  void buildToolbar();
  void buildFavourites();
  void fitBrowser();
  void updateSetupHandle();
  void fillFavourites();
  void favSelected();
  void sortFavourites(int column);
  void setBandVisible(int band, bool visible);
  bool bandVisible(int band) const;
  void applyToolbarLayout();
  void placeAddressGroup(int comboWidth);
  void fitAddressToToolbar();
  void deleteSettingsFile();
  void addressKey(WORD key);
  bool inResizableContainer() const;
  // The panel's state into its settings, and those into a settings file.
  void captureSettings();
  void writeSettings(TPortableIniFile& ini);
  TSettingsBaseline::TWriter settingsWriter();
  void keepToolbarWidthAsRead();
  void keepFavouritesPastCountAsRead(const TPortableIniFile& read);

  TBrowserFactory browserFactory_;
  std::function<void(TWebPanel&)> onMakeDefaultRequest_;
  std::function<void(TWebPanel&)> onClearDefaultRequest_;
  TWebPanelNavigation navigation_;
  std::unique_ptr<TParts> parts_;
  TTimer refreshTimer_;
  std::string settingsFile_;
  TSettingsBaseline savedSettings_;
  // The panel shows what its file refused from a panel gone before: no
  // place settled after loading stands for what the file holds.
  bool showsHeldChange_ = false;
  bool canDeleteSelf_ = true;
  bool favSortDescending_ = false;
  int favSortColumn_ = -1;
  int addressHookId_ = 0;
  bool deletePending_ = false;
  std::string refusedDeletion_;

  TPanel* contentPanel_ = nullptr;
  TStatusBar* statusBar_ = nullptr;
  TPanel* favsPane_ = nullptr;
  TListView* favListView_ = nullptr;
  TPanel* browserPane_ = nullptr;
  TLabel* noBrowserNotice_ = nullptr;
  TComboBox* addressCombo_ = nullptr;
  // The address box's width as the user set it or as it was stored: a tool
  // bar too narrow for it narrows the box shown, not the one written.
  int wantedComboWidth_ = 0;
  // The tool bar's width as the file held it when loaded (0: none).
  int toolbarWidthAsRead_ = 0;
  TStoredToolPlaces storedPlaces_;
  TToolButton* autorefreshBtn_ = nullptr;
  TToolButton* deleteBtn_ = nullptr;
  TPopupMenu* timedRefreshPopupMenu_ = nullptr;
  TPopupMenu* setupPopupMenu_ = nullptr;
  std::unique_ptr<TToolTips> hints_;
};
