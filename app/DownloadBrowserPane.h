#pragma once
#include <functional>
#include <memory>
#include <string>

#include "app/DownloadBrowser.h"
#include "controls/ToolGlyphs.h"
#include "platform/Menu.h"
#include "platform/Panel.h"
#include "platform/Timer.h"

class TComboBox;
class TPortableIniFile;
class TStatusBar;
class TToolButton;
class TStatusIcon;
class TAddressGripBar;

// The browser area of the Downloads tab: a bar with the navigation and
// address groups, the browser control and a status bar with the lock.
class TdownloadBrowserPane : public TPanel, private TDownloadBrowserView {
 public:
  using TBrowserFactory = std::function<std::unique_ptr<TWebBrowser>(HWND parent, TWebBrowserEvents& events)>;
  static constexpr int focusTimerMilliseconds = 200;
  static constexpr int addressGroupMinimumWidth = 115;

  // The browser control comes from the factory (the system's by default).
  explicit TdownloadBrowserPane(TControl* parent, TBrowserFactory browserFactory = {});
  ~TdownloadBrowserPane() override;

  void webBrowserEnable(bool enable) { browser_.webBrowserEnable(enable); }
  void killWebBrowser() { browser_.killWebBrowser(); }
  void makeWebBrowser() { browser_.makeWebBrowser(); }
  TDownloadBrowser& browser() { return browser_; }

  // The browser's keys of section "DownloadSheet" with the home page and the
  // address history; windowWidth is the window's width now.
  void loadGUIoptions(const TPortableIniFile& ini, int windowWidth);
  // The group positions only while the window state is normal.
  void saveGUIoptions(TPortableIniFile& ini, bool normalState) const;

  // Runs every 200 ms while the browser is on (the tool bar's refresh).
  std::function<void()> onFocusTimer;

  TComboBox& addressCombo() const { return *addressCombo_; }
  TPanel& navigationGroup() const { return *navGroup_; }
  TPanel& addressGroup() const { return *urlGroup_; }
  TPanel& browserPanel() const { return *browserPanel_; }
  TStatusBar& statusBar() const { return *statusBar_; }
  TToolButton& stopButton() const { return *stopBtn_; }
  TPopupMenu& popupMenu() { return popupMenu_; }
  // Widens or narrows the address box, keeping the group at its minimum.
  void resizeAddress(int dx);

 protected:
  void resized() override;

 private:
  // TDownloadBrowserView
  std::unique_ptr<TWebBrowser> createBrowser(TWebBrowserEvents& events) override;
  std::string addressText() const override;
  void setAddressText(const std::string& text) override;
  void addressHistoryChanged() override;
  int addressItemIndex() const override;
  void setBackEnabled(bool enabled) override;
  void setForwardEnabled(bool enabled) override;
  void setStopEnabled(bool enabled) override;
  void showStatusText(const std::string& text) override;
  void showSecure(bool secure) override;
  void setFocusTimer(bool enabled) override;

  void buildBars();
  void buildMenu();
  void menuPopup();
  void placeAddressGroup(int comboWidth);
  void fitAddressToBar();
  void fitBrowser();
  void fitStatusBar();

  TBrowserFactory browserFactory_;
  TDownloadBrowser browser_;
  TTimer focusTimer_;
  TPopupMenu popupMenu_;
  bool settingAddress_ = false;
  int addressHookId_ = 0;
  int statusDragX_ = 0;
  TToolGlyphs glyphs_;

  TPanel* navBar_ = nullptr;
  TPanel* navGroup_ = nullptr;
  TPanel* urlGroup_ = nullptr;
  TToolButton* backBtn_ = nullptr;
  TToolButton* forwardBtn_ = nullptr;
  TToolButton* stopBtn_ = nullptr;
  TToolButton* refreshBtn_ = nullptr;
  TToolButton* homeBtn_ = nullptr;
  TToolButton* makeHomeBtn_ = nullptr;
  TComboBox* addressCombo_ = nullptr;
  // The address box's width as the user set it or as it was stored: a
  // window too narrow for it narrows the box shown, not the one written.
  int wantedComboWidth_ = 0;
  TToolButton* goBtn_ = nullptr;
  TAddressGripBar* grip_ = nullptr;
  TPanel* browserPanel_ = nullptr;
  TStatusBar* statusBar_ = nullptr;
  TStatusIcon* lock_ = nullptr;
};
