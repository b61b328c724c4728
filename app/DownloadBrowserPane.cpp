#include "app/DownloadBrowserPane.h"

#include <algorithm>

#include "controls/OleWebBrowser.h"
#include "controls/StatusIcon.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/ExtControls.h"
#include "platform/StdControls.h"

namespace {

constexpr const char* optionsSection = "DownloadSheet";
constexpr const char* homeSection = "DownloadSheetWebHome";
constexpr const char* historySection = "DownloadSheetURLs";
constexpr int buttonWidth = 23;
constexpr int buttonHeight = 22;
constexpr int barHeight = 26;
constexpr int lockWidth = 20;
constexpr int comboLeft = 27;
constexpr int goWidth = 23;
constexpr int gripWidth = 3;
constexpr int addressDropDownLines = 20;
constexpr int designComboWidth = 352;

// The address box: a pick from its list is told apart from typing, and is
// reported once the box shows the picked text.
class TAddressBox : public TComboBox {
 public:
  explicit TAddressBox(TControl* parent) : TComboBox(parent, TComboStyle::dropDown) {}
  ~TAddressBox() override { *alive_ = false; }
  std::function<void()> onPick;

 protected:
  bool commandReceived(WORD code) override {
    if (code == CBN_SELCHANGE) {
      std::weak_ptr<bool> alive = alive_;
      application().postDeferred([this, alive] {
        if (alive.lock() && onPick) onPick();
      });
      return true;
    }
    return TComboBox::commandReceived(code);
  }

 private:
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The hint is the button's caption too, which names it to screen readers;
// the picture shows in its place.
TToolButton& toolButton(TControl& parent, TToolGlyphs& glyphs, const char* hint, const char* glyph, int left) {
  TToolButton& button = parent.add<TToolButton>(hint);
  button.setBounds(left, 0, buttonWidth, buttonHeight);
  button.setHint(hint);
  glyphs.apply(button, glyph);
  return button;
}

}  // namespace

// The narrow grip right of the Go button: dragging it sizes the address box.
class TAddressGripBar : public TControl {
 public:
  explicit TAddressGripBar(TControl* parent) : TControl(parent) {
    TWindowParams params;
    params.bounds = {0, 0, gripWidth, buttonHeight};
    createWindow(params);
    setCursor(IDC_SIZEWE);
  }
  std::function<void(int dx)> onDrag;

 protected:
  void mouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    TControl::mouseDown(button, shift, x, y);
    dragging_ = button == TMouseButton::left;
    grabX_ = x;
  }
  void mouseMove(TShiftState shift, int x, int y) override {
    TControl::mouseMove(shift, x, y);
    if (dragging_ && onDrag && x != grabX_) onDrag(x - grabX_);
  }
  void mouseUp(TMouseButton button, TShiftState shift, int x, int y) override {
    TControl::mouseUp(button, shift, x, y);
    dragging_ = false;
  }

 private:
  bool dragging_ = false;
  int grabX_ = 0;
};

TdownloadBrowserPane::TdownloadBrowserPane(TControl* parent, TBrowserFactory browserFactory)
    : TPanel(parent),
      browserFactory_(std::move(browserFactory)),
      browser_(*this),
      focusTimer_(focusTimerMilliseconds, [this] {
        if (onFocusTimer) onFocusTimer();
      }) {
  if (!browserFactory_)
    browserFactory_ = [](HWND parentWindow, TWebBrowserEvents& events) -> std::unique_ptr<TWebBrowser> {
      return TOleWebBrowser::create(parentWindow, events);
    };
  setBevelOuter(TBevelCut::none);
  setBounds(0, 0, 600, 300);
  buildBars();
  buildMenu();
  setPopupMenu(&popupMenu_);
  // Enter and Esc in the address box's edit, which is the combo's own child.
  addressHookId_ = application().addMessageHook([this](MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE)) return false;
    if (message.hwnd != addressCombo_->handle() && GetParent(message.hwnd) != addressCombo_->handle()) return false;
    return browser_.addressKey(static_cast<WORD>(message.wParam));
  });
  // Made hidden with the home page pending: the first entering opens it.
  browser_.makeWebBrowser();
}

TdownloadBrowserPane::~TdownloadBrowserPane() {
  application().removeMessageHook(addressHookId_);
  focusTimer_.setEnabled(false);
  browser_.killWebBrowser();
}

void TdownloadBrowserPane::buildBars() {
  statusBar_ = &add<TStatusBar>();
  statusBar_->setAlign(TAlign::bottom);
  statusBar_->setSize(width(), 20);
  statusBar_->setPanels({std::max(0, width() - lockWidth), lockWidth});
  statusBar_->onResize = [this] { fitStatusBar(); };
  // Dragging along the status bar sizes the address box too.
  statusBar_->onMouseDown = [this](TMouseButton, TShiftState, int x, int) { statusDragX_ = x; };
  statusBar_->onMouseMove = [this](TShiftState shift, int x, int) {
    if (shift & ssLeft) resizeAddress(x - statusDragX_);
    statusDragX_ = x;
  };
  lock_ = &statusBar_->add<TStatusIcon>(glyphs_.images(), glyphs_.indexOf("LOCKBMP"), glyphs_.indexOf("UNLOCKBMP"));

  navBar_ = &add<TPanel>();
  navBar_->setAlign(TAlign::top);
  navBar_->setSize(width(), barHeight);
  navBar_->onResize = [this] { fitAddressToBar(); };

  navGroup_ = &addPlainPanel(*navBar_);
  navGroup_->setBounds(11, 2, 5 * buttonWidth, buttonHeight);
  backBtn_ = &toolButton(*navGroup_, glyphs_, "Back", "BACKBMP", 0);
  backBtn_->onClick = [this] { browser_.back(); };
  forwardBtn_ = &toolButton(*navGroup_, glyphs_, "Forward", "FORWARDBMP", buttonWidth);
  forwardBtn_->onClick = [this] { browser_.forward(); };
  stopBtn_ = &toolButton(*navGroup_, glyphs_, "Stop", "STOPBMP", 2 * buttonWidth);
  stopBtn_->onClick = [this] { browser_.stop(); };
  refreshBtn_ = &toolButton(*navGroup_, glyphs_, "Refresh", "REFRESHBMP", 3 * buttonWidth);
  refreshBtn_->onClick = [this] { browser_.refresh(); };
  homeBtn_ = &toolButton(*navGroup_, glyphs_, "Home", "HOMEBMP", 4 * buttonWidth);
  homeBtn_->onClick = [this] { browser_.home(); };
  for (TToolButton* button : {backBtn_, forwardBtn_, stopBtn_}) button->setEnabled(false);

  urlGroup_ = &addPlainPanel(*navBar_);
  urlGroup_->setBounds(139, 2, 400, buttonHeight);
  makeHomeBtn_ = &toolButton(*urlGroup_, glyphs_, "Make home", "MAKEHOMEBMP", 0);
  makeHomeBtn_->onClick = [this] { browser_.makeHome(); };
  auto& box = urlGroup_->add<TAddressBox>();
  addressCombo_ = &box;
  box.dropDownHeight = addressDropDownLines * 16;
  box.setTabStop(true);
  box.onPick = [this] {
    if (!settingAddress_) browser_.addressChanged();
  };
  box.onEnter = [this] { browser_.addressEntered(); };
  goBtn_ = &toolButton(*urlGroup_, glyphs_, "Go", "GOBMP", 0);
  goBtn_->onClick = [this] { browser_.go(); };
  grip_ = &urlGroup_->add<TAddressGripBar>();
  grip_->onDrag = [this](int dx) { resizeAddress(dx); };
  placeAddressGroup(designComboWidth);
  wantedComboWidth_ = addressCombo_->width();

  browserPanel_ = &add<TPanel>();
  browserPanel_->setBevelOuter(TBevelCut::lowered);
  browserPanel_->setColor(clWindow);
  browserPanel_->setAlign(TAlign::client);
  browserPanel_->onResize = [this] { fitBrowser(); };
  browserPanel_->setPopupMenu(&popupMenu_);
}

void TdownloadBrowserPane::buildMenu() {
  TMenuItem& buttons = popupMenu_.add("&Buttons");
  buttons.add("&Back", [this] { browser_.back(); });
  buttons.add("&Forward", [this] { browser_.forward(); });
  buttons.add("&Stop", [this] { browser_.stop(); });
  buttons.add("&Refresh", [this] { browser_.refresh(); });
  buttons.add("&Home", [this] { browser_.home(); });
  TMenuItem& address = popupMenu_.add("&Address");
  address.add("&Make home", [this] { browser_.makeHome(); });
  address.add("&Go", [this] { browser_.go(); });
  address.add("&Clear all", [this] { browser_.clearAll(); });
  popupMenu_.add("&New windows", [this] { browser_.toggleNewWindows(); });
  popupMenu_.onPopup = [this] { menuPopup(); };
}

void TdownloadBrowserPane::menuPopup() {
  TMenuItem& buttons = *popupMenu_.itemCaptioned("&Buttons");
  const std::pair<const char*, TToolButton*> items[] = {
      {"&Back", backBtn_}, {"&Forward", forwardBtn_}, {"&Stop", stopBtn_}, {"&Refresh", refreshBtn_}, {"&Home", homeBtn_}};
  for (const auto& [caption, button] : items) buttons.itemCaptioned(caption)->enabled = button->enabled();
  popupMenu_.itemCaptioned("&New windows")->checked = browser_.allowNewBrowserWin;
}

void TdownloadBrowserPane::placeAddressGroup(int comboWidth) {
  const int fixed = comboLeft + 4 + goWidth + 1 + gripWidth;
  const int groupWidth = std::max(addressGroupMinimumWidth, comboWidth + fixed);
  const int boxWidth = groupWidth - fixed;
  urlGroup_->setSize(groupWidth, buttonHeight);
  addressCombo_->setBounds(comboLeft, 0, boxWidth, 21);
  goBtn_->setBounds(comboLeft + boxWidth + 4, 0, goWidth, buttonHeight);
  grip_->setBounds(comboLeft + boxWidth + 4 + goWidth + 1, 0, gripWidth, buttonHeight);
}

void TdownloadBrowserPane::resizeAddress(int dx) {
  const int groupWidth = urlGroup_->width() + dx;
  if (dx == 0 || groupWidth < addressGroupMinimumWidth) return;
  placeAddressGroup(addressCombo_->width() + dx);
  wantedComboWidth_ = addressCombo_->width();
}

void TdownloadBrowserPane::fitAddressToBar() {
  if (!grip_) return;  // still being built
  const int overhang = urlGroup_->left() + urlGroup_->width() + 2 - navBar_->clientWidth();
  if (overhang <= 0) return;
  const int fixed = comboLeft + 4 + goWidth + 1 + gripWidth;
  placeAddressGroup(std::max(addressGroupMinimumWidth - fixed, addressCombo_->width() - overhang));
}

void TdownloadBrowserPane::fitBrowser() {
  if (!browser_.browser()) return;
  RECT inner = browserPanel_->clientRect();
  InflateRect(&inner, -2, -2);
  browser_.browser()->setBounds(inner);
}

void TdownloadBrowserPane::fitStatusBar() {
  if (!lock_) return;
  statusBar_->setPanels({std::max(0, statusBar_->clientWidth() - lockWidth), lockWidth});
  lock_->setBounds(std::max(0, statusBar_->clientWidth() - lockWidth), 2, lockWidth, statusBar_->clientHeight() - 2);
}

void TdownloadBrowserPane::resized() {
  TPanel::resized();
  fitAddressToBar();
}

void TdownloadBrowserPane::loadGUIoptions(const TPortableIniFile& ini, int windowWidth) {
  for (auto [prefix, group] : {std::pair{"NavControls", navGroup_}, {"UrlControls", urlGroup_}})
    group->setBounds(ini.readInteger(optionsSection, std::string(prefix) + "Left", group->left()),
                     ini.readInteger(optionsSection, std::string(prefix) + "Top", group->top()), group->width(),
                     group->height());
  // A window narrower than when the options were written takes the
  // difference off the address box.
  const int savedWidth = ini.readInteger(optionsSection, "Width", 0);
  // The design width, not the current one: an early layout in a window not
  // yet at its size may have narrowed the box.
  const int comboWidth = ini.readInteger(optionsSection, "UrlComboWidth", designComboWidth);
  placeAddressGroup(comboWidth + std::min(0, windowWidth - savedWidth));
  wantedComboWidth_ = comboWidth;
  browser_.allowNewBrowserWin = ini.readBool(optionsSection, "AllowNewBrowserWin", browser_.allowNewBrowserWin);
  browser_.keepUrls = ini.readInteger(optionsSection, "KeepURLs", browser_.keepUrls);
  browser_.homePage.load(ini, homeSection);
  std::vector<std::string> keys;
  ini.readSection(historySection, keys);
  browser_.addressHistory.clear();
  for (const std::string& key : keys) {
    const std::string value = ini.readString(historySection, key, "");
    if (!value.empty()) browser_.addressHistory.push_back(value);
  }
  addressHistoryChanged();
  fitAddressToBar();
}

void TdownloadBrowserPane::saveGUIoptions(TPortableIniFile& ini, bool normalState) const {
  if (normalState) {
    for (auto [prefix, group] : {std::pair{"NavControls", navGroup_}, {"UrlControls", urlGroup_}}) {
      ini.writeInteger(optionsSection, std::string(prefix) + "Left", group->left());
      ini.writeInteger(optionsSection, std::string(prefix) + "Top", group->top());
    }
    const int fixed = comboLeft + 4 + goWidth + 1 + gripWidth;
    ini.writeInteger(optionsSection, "UrlControlsWidth", std::max(addressGroupMinimumWidth, wantedComboWidth_ + fixed));
    ini.writeInteger(optionsSection, "UrlComboWidth", wantedComboWidth_);
  }
  ini.writeBool(optionsSection, "AllowNewBrowserWin", browser_.allowNewBrowserWin);
  browser_.homePage.save(ini, homeSection);
  ini.writeInteger(optionsSection, "KeepURLs", browser_.keepUrls);
  ini.eraseSection(historySection);
  for (size_t i = 0; i < browser_.addressHistory.size(); ++i)
    ini.writeString(historySection, std::to_string(i), quotedWhereNeeded(browser_.addressHistory[i]));
}

std::unique_ptr<TWebBrowser> TdownloadBrowserPane::createBrowser(TWebBrowserEvents& events) {
  std::unique_ptr<TWebBrowser> made = browserFactory_(browserPanel_->handle(), events);
  if (made) fitBrowser();
  return made;
}

std::string TdownloadBrowserPane::addressText() const { return addressCombo_->text(); }

void TdownloadBrowserPane::setAddressText(const std::string& address) {
  const std::string text = navigableUrl(address) ? address : std::string();
  settingAddress_ = true;
  addressCombo_->setText(text);
  // The caret goes to the end, where typing goes on.
  const LPARAM end = static_cast<LPARAM>(text.size());
  SendMessageA(addressCombo_->handle(), CB_SETEDITSEL, 0, MAKELPARAM(end, end));
  settingAddress_ = false;
}

void TdownloadBrowserPane::addressHistoryChanged() {
  settingAddress_ = true;
  const std::string text = addressCombo_->text();
  addressCombo_->clear();
  for (const std::string& entry : browser_.addressHistory)
    if (navigableUrl(entry)) addressCombo_->addItem(entry);
  addressCombo_->setText(text);
  settingAddress_ = false;
}

int TdownloadBrowserPane::addressItemIndex() const { return addressCombo_->itemIndex(); }
void TdownloadBrowserPane::setBackEnabled(bool enabled) { backBtn_->setEnabled(enabled); }
void TdownloadBrowserPane::setForwardEnabled(bool enabled) { forwardBtn_->setEnabled(enabled); }
void TdownloadBrowserPane::setStopEnabled(bool enabled) { stopBtn_->setEnabled(enabled); }
void TdownloadBrowserPane::showStatusText(const std::string& text) { statusBar_->setPanelText(0, text); }
void TdownloadBrowserPane::showSecure(bool secure) { lock_->setSecure(secure); }

void TdownloadBrowserPane::setFocusTimer(bool enabled) { focusTimer_.setEnabled(enabled); }
