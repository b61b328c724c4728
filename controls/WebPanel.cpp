#include "controls/WebPanel.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "controls/OleWebBrowser.h"
#include "controls/ResizablePanelContainer.h"
#include "controls/StatusIcon.h"
#include "controls/ToolGlyphs.h"
#include "controls/WidthGrip.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ComCtrls.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/ListView.h"
#include "platform/Menu.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"

namespace {

// Posted to the panel by deleteSelf: the panel goes after the handler that
// asked for it has returned.
constexpr UINT deleteSelfMessage = WM_APP + 23;
constexpr int contentLeft = 10;
constexpr int buttonWidth = 23;
constexpr int buttonHeight = 22;
constexpr int statusIconWidth = 20;
constexpr int favsPaneWidth = 142;
constexpr int addressGroupMinimumWidth = 161;
constexpr int navigationGroupWidth = 161;
constexpr int defaultGroupWidth = 46;
constexpr int bandGripperAllowance = 12;  // the band's gripper before its group
enum TBand { navigationBand, defaultBand, deleteBand, addressBand, bandCount };
// A panel's change left for the close: a later one of the panel replaces it.
constexpr const char* heldChange = "web panel";
const char* const bandNames[bandCount] = {"Buttons", "Default", "Delete", "Address"};

std::string upperCased(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

HWND handleOf(TControl* control) { return control ? control->handle() : nullptr; }

// The combo of recent addresses: a choice from its list is told apart from typing.
class TAddressCombo : public TComboBox {
 public:
  explicit TAddressCombo(TControl* parent) : TComboBox(parent, TComboStyle::dropDown) {}
  std::function<void()> onSelect;

 protected:
  bool commandReceived(WORD code) override {
    if (code == CBN_SELCHANGE && onSelect) {
      // The edit shows the chosen item only after this notification.
      application().postDeferred([this] { onSelect(); });
      return true;
    }
    return TComboBox::commandReceived(code);
  }
};

// The hint is the button's caption too, which names it to screen readers;
// the picture shows in its place.
TToolButton& toolButton(TControl& parent, TToolGlyphs& glyphs, const char* hint, const char* glyph, int left) {
  TToolButton& button = parent.add<TToolButton>(hint);
  button.setBounds(left, 0, buttonWidth, buttonHeight);
  glyphs.apply(button, glyph);
  return button;
}

}  // namespace

// The children the panel reaches only from inside.
struct TWebPanel::TParts {
  TToolGlyphs glyphs;
  TControlBar* toolbar = nullptr;
  TPanel* groups[bandCount] = {};
  TToolButton* backBtn = nullptr;
  TToolButton* forwardBtn = nullptr;
  TToolButton* stopBtn = nullptr;
  TToolButton* refreshBtn = nullptr;
  TToolButton* homeBtn = nullptr;
  TToolButton* favsBtn = nullptr;
  TToolButton* makeDefaultBtn = nullptr;
  TToolButton* clearDefaultBtn = nullptr;
  TToolButton* makeHomeBtn = nullptr;
  TToolButton* goBtn = nullptr;
  TWidthGrip* grip = nullptr;
  TSplitter* favsSplitter = nullptr;
  TToolButton* favGoBtn = nullptr;
  TToolButton* favAddBtn = nullptr;
  TToolButton* favDelBtn = nullptr;
  TToolButton* favUpBtn = nullptr;
  TToolButton* favDownBtn = nullptr;
  TToolButton* favCloseBtn = nullptr;
  TPanel* setupHandle = nullptr;
  TStatusIcon* keyIcon = nullptr;
};

TWebPanel::TWebPanel(TControl* parent, TBrowserFactory browserFactory)
    : TResizablePanel(parent),
      browserFactory_(std::move(browserFactory)),
      navigation_(*this),
      parts_(std::make_unique<TParts>()),
      refreshTimer_(0, [this] { navigation_.refreshTimerTick(); }) {
  if (!browserFactory_)
    browserFactory_ = [](HWND parentWindow, TWebBrowserEvents& events) -> std::unique_ptr<TWebBrowser> {
      return TOleWebBrowser::create(parentWindow, events);
    };
  setBounds(0, 0, 282, 185);
  contentPanel_ = &addPlainPanel(*this);
  contentPanel_->setBounds(contentLeft, 3, 279 - contentLeft, 182 - 3);
  contentPanel_->setAnchors(akLeft | akTop | akRight | akBottom);
  hints_ = std::make_unique<TToolTips>(*this);

  buildToolbar();
  statusBar_ = &contentPanel_->add<TStatusBar>();
  statusBar_->setSize(contentPanel_->width(), 20);
  parts_->keyIcon = &statusBar_->add<TStatusIcon>(parts_->glyphs.images(), parts_->glyphs.indexOf("KEYBMP"),
                                                  parts_->glyphs.indexOf("KEYGRAYBMP"));
  statusBar_->onResize = [this] {
    const int iconLeft = std::max(0, statusBar_->width() - statusIconWidth);
    statusBar_->setPanels({iconLeft, -1});
    parts_->keyIcon->setBounds(iconLeft + 2, 2, statusIconWidth - 2, std::max(0, statusBar_->clientHeight() - 2));
  };
  statusBar_->onResize();
  buildFavourites();
  parts_->favsSplitter = &contentPanel_->add<TSplitter>(TAlign::left);
  parts_->favsSplitter->setSize(3, 100);
  browserPane_ = &contentPanel_->add<TPanel>();
  browserPane_->setBevelInner(TBevelCut::lowered);
  browserPane_->setBevelOuter(TBevelCut::raised);
  browserPane_->setColor(clWindow);
  browserPane_->setAlign(TAlign::client);
  browserPane_->onResize = [this] {
    fitBrowser();
    noBrowserNotice_->setBounds(8, 8, std::max(20, browserPane_->clientWidth() - 16), 80);
  };
  noBrowserNotice_ = &browserPane_->add<TLabel>(
      "no browser\r\nThe system's web browser control could not be created, so this panel cannot show pages.");
  noBrowserNotice_->setBounds(8, 8, 220, 80);
  noBrowserNotice_->hide();

  parts_->setupHandle = &addPlainPanel(*this);
  parts_->setupHandle->setBevelOuter(TBevelCut::raised);
  parts_->setupHandle->setBounds(4, 4, 10, 10);
  parts_->setupHandle->onMouseUp = [this](TMouseButton button, TShiftState, int, int) {
    if (button == TMouseButton::right || !setupPopupMenu_) return;
    RECT at = parts_->setupHandle->bounds();
    MapWindowPoints(handle(), nullptr, reinterpret_cast<POINT*>(&at), 2);
    // The menu is shared by every panel: it acts on the one it opened on.
    setupPopupMenu_->popupComponent = this;
    setupPopupMenu_->popup(handle(), at.left, at.top);
  };
  parts_->setupHandle->hide();
  for (TControl* part : std::initializer_list<TControl*>{&toolbar(), statusBar_, favsPane_, browserPane_,
                                                         parts_->setupHandle})
    part->onMouseDown = [this](TMouseButton, TShiftState, int, int) { bringToFront(); };

  // Enter and Esc in the address edit, which is the combo's child window.
  addressHookId_ = application().addMessageHook([this](MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE)) return false;
    if (message.hwnd != addressCombo_->handle() && GetParent(message.hwnd) != addressCombo_->handle()) return false;
    addressKey(static_cast<WORD>(message.wParam));
    return true;
  });

  navigation_.createBrowser();
  contentPanel_->realign();
  updateSetupHandle();
}

TWebPanel::~TWebPanel() {
  application().removeMessageHook(addressHookId_);
  refreshTimer_.setEnabled(false);
  navigation_.destroyBrowser();
}

void TWebPanel::buildToolbar() {
  TParts& parts = *parts_;
  parts.toolbar = &contentPanel_->add<TControlBar>();
  parts.toolbar->setBounds(0, 0, contentPanel_->width(), 52);
  for (int band = 0; band < bandCount; ++band) {
    parts.groups[band] = &addPlainPanel(*parts.toolbar);
    parts.groups[band]->name = bandNames[band];
  }
  TPanel& navigation = *parts.groups[navigationBand];
  navigation.setSize(navigationGroupWidth, buttonHeight);
  navigation.setConstraints(navigationGroupWidth, buttonHeight);
  parts.backBtn = &toolButton(navigation, parts.glyphs, "Back", "BACKBMP", 0);
  parts.forwardBtn = &toolButton(navigation, parts.glyphs, "Forward", "FORWARDBMP", 23);
  parts.stopBtn = &toolButton(navigation, parts.glyphs, "Stop", "STOPBMP", 46);
  parts.refreshBtn = &toolButton(navigation, parts.glyphs, "Refresh", "REFRESHBMP", 69);
  autorefreshBtn_ = &toolButton(navigation, parts.glyphs, "Autorefresh", "TIMERBMP", 92);
  parts.homeBtn = &toolButton(navigation, parts.glyphs, "Home", "HOMEBMP", 115);
  parts.favsBtn = &toolButton(navigation, parts.glyphs, "Favorites", "FAVSBMP", 138);
  autorefreshBtn_->checkButton = true;
  parts.favsBtn->checkButton = true;
  parts.backBtn->setEnabled(false);
  parts.forwardBtn->setEnabled(false);
  parts.stopBtn->setEnabled(false);
  autorefreshBtn_->setEnabled(false);
  parts.backBtn->onClick = [this] { back(nullptr); };
  parts.forwardBtn->onClick = [this] { forward(nullptr); };
  parts.stopBtn->onClick = [this] { stop(nullptr); };
  parts.refreshBtn->onClick = [this] { refresh(nullptr); };
  parts.homeBtn->onClick = [this] { openDefault(nullptr); };
  parts.favsBtn->onClick = [this] { setFavsVisible(parts_->favsBtn->down()); };
  autorefreshBtn_->onClick = [this] {
    autorefreshBtn_->setDown(navigation_.refreshTimerRunning());
    if (!timedRefreshPopupMenu_) return;
    RECT at = autorefreshBtn_->bounds();
    MapWindowPoints(autorefreshBtn_->parent()->handle(), nullptr, reinterpret_cast<POINT*>(&at), 2);
    timedRefreshPopupMenu_->popupComponent = this;
    timedRefreshPopupMenu_->popup(handle(), at.right, at.top);
  };

  TPanel& defaults = *parts.groups[defaultBand];
  defaults.setSize(defaultGroupWidth, buttonHeight);
  defaults.setConstraints(defaultGroupWidth, buttonHeight);
  parts.makeDefaultBtn = &toolButton(defaults, parts.glyphs, "Make default", "MAKEDEFBMP", 0);
  parts.clearDefaultBtn = &toolButton(defaults, parts.glyphs, "Clear default", "CLEARDEFBMP", 23);
  parts.makeDefaultBtn->setEnabled(false);
  parts.clearDefaultBtn->setEnabled(false);
  parts.makeDefaultBtn->onClick = [this] {
    if (onMakeDefaultRequest_) onMakeDefaultRequest_(*this);
  };
  parts.clearDefaultBtn->onClick = [this] {
    if (onClearDefaultRequest_) onClearDefaultRequest_(*this);
  };

  TPanel& deleteGroup = *parts.groups[deleteBand];
  deleteGroup.setSize(buttonWidth, buttonHeight);
  deleteBtn_ = &toolButton(deleteGroup, parts.glyphs, "Delete", "DELBMP", 0);
  deleteBtn_->onClick = [this] {
    if (onDelSelfRequest) {
      onDelSelfRequest(*this);
      return;
    }
    if (!canDeleteSelf_) return;
    deleteBtn_->setEnabled(false);
    deleteSelf();
  };

  TPanel& address = *parts.groups[addressBand];
  address.setSize(256, buttonHeight);
  address.setConstraints(addressGroupMinimumWidth, buttonHeight);
  parts.makeHomeBtn = &toolButton(address, parts.glyphs, "Make home", "MAKEHOMEBMP", 0);
  parts.makeHomeBtn->onClick = [this] { makeHome(); };
  auto& combo = address.add<TAddressCombo>();
  addressCombo_ = &combo;
  combo.setBounds(27, 0, 206, 21);
  combo.setTabStop(true);
  combo.onSelect = [this] { goAddress(nullptr); };
  parts.goBtn = &toolButton(address, parts.glyphs, "Go", "GOBMP", 237);
  parts.goBtn->setSize(16, buttonHeight);
  parts.goBtn->onClick = [this] { goAddress(nullptr); };
  parts.grip = &address.add<TWidthGrip>(buttonHeight);
  parts.grip->onDrag = [this](int dx) {
    placeAddressGroup(addressCombo_->width() + dx);
    wantedComboWidth_ = addressCombo_->width();
  };
  placeAddressGroup(206);
  wantedComboWidth_ = addressCombo_->width();

  for (TToolButton* button : {parts.backBtn, parts.forwardBtn, parts.stopBtn, parts.refreshBtn, autorefreshBtn_,
                              parts.homeBtn, parts.favsBtn, parts.makeDefaultBtn, parts.clearDefaultBtn, deleteBtn_,
                              parts.makeHomeBtn, parts.goBtn}) {
    button->setHint(button->text());
    hints_->setHint(*button, button->text());
  }
  hints_->setHint(combo, "URL");

  for (int band = 0; band < bandCount; ++band)
    parts.toolbar->addBand(*parts.groups[band], parts.groups[band]->width() + bandGripperAllowance, band == addressBand);
  parts.toolbar->onResize = [this] { fitAddressToToolbar(); };
}

void TWebPanel::buildFavourites() {
  TParts& parts = *parts_;
  favsPane_ = &contentPanel_->add<TPanel>();
  favsPane_->setBevelInner(TBevelCut::lowered);
  favsPane_->setBevelOuter(TBevelCut::raised);
  favsPane_->setAlign(TAlign::left);
  favsPane_->setSize(favsPaneWidth, 100);
  favsPane_->setConstraints(favsPaneWidth, 0);
  TPanel& top = addPlainPanel(*favsPane_);
  top.setAlign(TAlign::top);
  top.setSize(favsPaneWidth - 4, 22);
  parts.favGoBtn = &toolButton(top, parts.glyphs, "Go", "GOBMP", 0);
  parts.favAddBtn = &toolButton(top, parts.glyphs, "Add", "ADDBMP", 23);
  parts.favDelBtn = &toolButton(top, parts.glyphs, "Delete", "DELBMP", 46);
  parts.favUpBtn = &toolButton(top, parts.glyphs, "Move up", "UPBMP", 69);
  parts.favDownBtn = &toolButton(top, parts.glyphs, "Move down", "DOWNBMP", 92);
  parts.favCloseBtn = &toolButton(top, parts.glyphs, "Close", "CLOSEBMP", 115);
  for (TToolButton* button : {parts.favGoBtn, parts.favAddBtn, parts.favDelBtn, parts.favUpBtn, parts.favDownBtn,
                              parts.favCloseBtn}) {
    button->setHint(button->text());
    hints_->setHint(*button, button->text());
  }
  for (TToolButton* button : {parts.favGoBtn, parts.favAddBtn, parts.favDelBtn, parts.favUpBtn, parts.favDownBtn})
    button->setEnabled(false);
  parts.favGoBtn->onClick = [this] { openSelectedFav(nullptr); };
  parts.favAddBtn->onClick = [this] { addFav(); };
  parts.favDelBtn->onClick = [this] { deleteFav(); };
  parts.favUpBtn->onClick = [this] { moveFavUp(); };
  parts.favDownBtn->onClick = [this] { moveFavDown(); };
  parts.favCloseBtn->onClick = [this] { setFavsVisible(false); };

  TListViewOptions options;
  options.editLabels = true;
  options.readOnly = false;
  favListView_ = &favsPane_->add<TListView>(options);
  favListView_->setAlign(TAlign::client);
  favListView_->setTabStop(true);
  favListView_->addColumn("Symbol", 50);
  favListView_->addColumn("URL", 88);
  favListView_->onSelectItem = [this](int, bool) { favSelected(); };
  favListView_->onDoubleClick = [this] { openSelectedFav(nullptr); };
  favListView_->onExit = [this] { favListView_->clearSelection(); };
  favListView_->onColumnClick = [this](int column) { sortFavourites(column); };
  favListView_->onEdited = [this](int row, std::string& text) {
    TFav* favourite = navigation_.settings.favs.get(row);
    if (!favourite) return false;
    favourite->Symbol = trimmedOf(text, " \t");
    text = favourite->Symbol;
    return true;
  };
  favListView_->onKeyDown = [this](WORD& key, TShiftState) {
    if (ListView_GetEditControl(favListView_->handle())) return;
    if (key == VK_INSERT) addFav();
    else if (key == VK_DELETE) deleteFav();
    else if (key == VK_RETURN) openSelectedFav(nullptr);
    else return;
    key = 0;
  };
}

TControl& TWebPanel::toolbar() const { return *parts_->toolbar; }
TToolButton& TWebPanel::makeDefaultButton() const { return *parts_->makeDefaultBtn; }
TToolButton& TWebPanel::clearDefaultButton() const { return *parts_->clearDefaultBtn; }
TControl& TWebPanel::setupHandle() const { return *parts_->setupHandle; }

void TWebPanel::setOnMakeDefaultRequest(std::function<void(TWebPanel&)> handler) {
  onMakeDefaultRequest_ = std::move(handler);
  parts_->makeDefaultBtn->setEnabled(onMakeDefaultRequest_ != nullptr);
}

void TWebPanel::setOnClearDefaultRequest(std::function<void(TWebPanel&)> handler) {
  onClearDefaultRequest_ = std::move(handler);
  parts_->clearDefaultBtn->setEnabled(onClearDefaultRequest_ != nullptr);
}

// ---- browser

std::unique_ptr<TWebBrowser> TWebPanel::createBrowser(TWebBrowserEvents& events) {
  std::unique_ptr<TWebBrowser> browser = browserFactory_ ? browserFactory_(browserPane_->handle(), events) : nullptr;
  noBrowserNotice_->setVisible(!browser);
  if (browser) {
    RECT area = browserPane_->clientRect();
    const int frame = browserPane_->frameWidth();
    InflateRect(&area, -frame, -frame);
    browser->setBounds(area);
  }
  if (parts_->setupHandle && parts_->setupHandle->visible()) parts_->setupHandle->bringToFront();
  return browser;
}

void TWebPanel::fitBrowser() {
  if (TWebBrowser* browser = navigation_.browser()) {
    RECT area = browserPane_->clientRect();
    const int frame = browserPane_->frameWidth();
    InflateRect(&area, -frame, -frame);
    browser->setBounds(area);
  }
}

void TWebPanel::browserEnable(bool enable) {
  navigation_.browserEnable(enable);
  parts_->refreshBtn->setEnabled(navigation_.browserEnabled());
}

// ---- view

void TWebPanel::showAddress(const std::string& address) {
  const std::string url = navigableUrl(address) ? address : std::string();
  addressCombo_->setText(url);
  const int length = static_cast<int>(url.size());
  SendMessageA(addressCombo_->handle(), CB_SETEDITSEL, 0, MAKELPARAM(length, length));
}

void TWebPanel::recentUrlsChanged() {
  const std::string text = addressCombo_->text();
  addressCombo_->clear();
  for (const std::string& url : navigation_.settings.recentUrls)
    if (navigableUrl(url)) addressCombo_->addItem(url);
  addressCombo_->setText(text);
}

void TWebPanel::setBackEnabled(bool enabled) { parts_->backBtn->setEnabled(enabled); }
void TWebPanel::setForwardEnabled(bool enabled) { parts_->forwardBtn->setEnabled(enabled); }
void TWebPanel::setStopEnabled(bool enabled) { parts_->stopBtn->setEnabled(enabled); }
void TWebPanel::setAddFavEnabled(bool enabled) { parts_->favAddBtn->setEnabled(enabled); }
void TWebPanel::showStatusText(const std::string& text) { statusBar_->setPanelText(0, text); }

void TWebPanel::showSecure(bool secure) { parts_->keyIcon->setSecure(secure); }

void TWebPanel::setRefreshTimer(bool enabled, int interval) {
  refreshTimer_.setEnabled(false);
  refreshTimer_.setInterval(static_cast<UINT>(std::max(0, interval)));
  if (enabled && !deletePending_) refreshTimer_.setEnabled(true);
  autorefreshBtn_->setDown(refreshTimer_.enabled());
}

void TWebPanel::selectFav(int index) { favListView_->setItemIndex(index); }

void TWebPanel::giveFocus(HWND window) {
  if (!window || !IsWindow(window) || !IsWindowVisible(window) || !IsWindowEnabled(window)) return;
  if (TControl* control = TControl::fromHandle(window)) control->setFocus();
  else SetFocus(window);
}

// ---- commands

void TWebPanel::back(TControl* focusControl) { navigation_.back(handleOf(focusControl)); }
void TWebPanel::forward(TControl* focusControl) { navigation_.forward(handleOf(focusControl)); }
void TWebPanel::stop(TControl* focusControl) { navigation_.stop(handleOf(focusControl)); }
void TWebPanel::refresh(TControl* focusControl) { navigation_.refresh(handleOf(focusControl)); }
void TWebPanel::openDefault(TControl* focusControl) { navigation_.openDefault(handleOf(focusControl)); }

void TWebPanel::openSelectedFav(TControl* focusControl) {
  if (const TFav* favourite = getSelectedFavItem()) navigation_.openFav(*favourite, handleOf(focusControl));
}

bool TWebPanel::openFavForSymbol(const std::string& symbol, TControl* focusControl) {
  return navigation_.openFavForSymbol(symbol, handleOf(focusControl));
}

void TWebPanel::goAddress(TControl* focusControl) {
  navigation_.goAddress(addressCombo_->text(), handleOf(focusControl));
}

void TWebPanel::makeHome() { navigation_.makeHome(addressCombo_->text()); }

void TWebPanel::addressKey(WORD key) {
  if (key == VK_RETURN) {
    goAddress(nullptr);
  } else {
    showAddress(navigation_.currentAddress());
  }
}

TFav* TWebPanel::getSelectedFavItem() const {
  return navigation_.settings.favs.get(favListView_->selectedCount() > 0 ? favListView_->itemIndex() : -1);
}

void TWebPanel::fillFavourites() {
  favListView_->beginUpdate();
  favListView_->clear();
  const TFavList& favs = navigation_.settings.favs;
  for (int i = 0; i < favs.count(); ++i) {
    const int row = favListView_->addItem(favs.get(i)->Symbol);
    if (navigableUrl(favs.get(i)->URL)) favListView_->setItemText(row, 1, favs.get(i)->URL);
  }
  favListView_->endUpdate();
  favSelected();
}

void TWebPanel::favSelected() {
  const int row = favListView_->selectedCount() > 0 ? favListView_->itemIndex() : -1;
  const int count = favListView_->itemCount();
  parts_->favGoBtn->setEnabled(row >= 0);
  parts_->favDelBtn->setEnabled(row >= 0);
  parts_->favUpBtn->setEnabled(row > 0);
  parts_->favDownBtn->setEnabled(row >= 0 && row + 1 < count);
}

void TWebPanel::addFav() {
  const int selected = favListView_->selectedCount() > 0 ? favListView_->itemIndex() : -1;
  const int added = navigation_.addFav(selected);
  if (added == selected) return;
  fillFavourites();
  favListView_->setItemIndex(added);
}

void TWebPanel::deleteFav() {
  if (favListView_->selectedCount() == 0) return;
  const int next = navigation_.deleteFav(favListView_->itemIndex());
  fillFavourites();
  if (next >= 0) favListView_->setItemIndex(next);
}

void TWebPanel::moveFavUp() {
  if (favListView_->selectedCount() == 0 || ListView_GetEditControl(favListView_->handle())) return;
  const int moved = navigation_.moveFavUp(favListView_->itemIndex());
  fillFavourites();
  favListView_->setItemIndex(moved);
}

void TWebPanel::moveFavDown() {
  if (favListView_->selectedCount() == 0 || ListView_GetEditControl(favListView_->handle())) return;
  const int moved = navigation_.moveFavDown(favListView_->itemIndex());
  fillFavourites();
  favListView_->setItemIndex(moved);
}

void TWebPanel::sortFavourites(int column) {
  favSortDescending_ = column == favSortColumn_ && !favSortDescending_;
  favSortColumn_ = column;
  TFavList& favs = navigation_.settings.favs;
  std::vector<std::unique_ptr<TFav>> entries;
  for (int i = 0; i < favs.count(); ++i) entries.push_back(std::make_unique<TFav>(*favs.get(i)));
  const bool descending = favSortDescending_;
  std::stable_sort(entries.begin(), entries.end(), [column, descending](const auto& a, const auto& b) {
    const std::string x = upperCased(column == 0 ? a->Symbol : a->URL);
    const std::string y = upperCased(column == 0 ? b->Symbol : b->URL);
    return descending ? y < x : x < y;
  });
  for (int i = 0; i < favs.count(); ++i) favs.set(i, std::move(entries[static_cast<size_t>(i)]));
  fillFavourites();
}

void TWebPanel::clearRecentUrls() {
  navigation_.settings.recentUrls.clear();
  addressCombo_->clear();
  addressCombo_->setText("");
}

// ---- parts shown and hidden

bool TWebPanel::bandVisible(int band) const { return parts_->groups[band]->visible(); }

void TWebPanel::setBandVisible(int band, bool visible) {
  parts_->toolbar->setBandVisible(*parts_->groups[band], visible);
  contentPanel_->realign();
  updateSetupHandle();
}

bool TWebPanel::toolbarVisible() const { return parts_->toolbar->visible(); }
void TWebPanel::setToolbarVisible(bool visible) {
  parts_->toolbar->setVisible(visible);
  contentPanel_->realign();
  updateSetupHandle();
}
bool TWebPanel::buttonsVisible() const { return bandVisible(navigationBand); }
void TWebPanel::setButtonsVisible(bool visible) { setBandVisible(navigationBand, visible); }
bool TWebPanel::defaultVisible() const { return bandVisible(defaultBand); }
void TWebPanel::setDefaultVisible(bool visible) { setBandVisible(defaultBand, visible); }
bool TWebPanel::deleteVisible() const { return bandVisible(deleteBand); }
void TWebPanel::setDeleteVisible(bool visible) { setBandVisible(deleteBand, visible); }
bool TWebPanel::addressVisible() const { return bandVisible(addressBand); }
void TWebPanel::setAddressVisible(bool visible) { setBandVisible(addressBand, visible); }
bool TWebPanel::statusVisible() const { return statusBar_->visible(); }
void TWebPanel::setStatusVisible(bool visible) {
  statusBar_->setVisible(visible);
  contentPanel_->realign();
  updateSetupHandle();
}
bool TWebPanel::favsVisible() const { return favsPane_->visible(); }
void TWebPanel::setFavsVisible(bool visible) {
  favsPane_->setVisible(visible);
  parts_->favsSplitter->setVisible(visible);
  parts_->favsBtn->setDown(visible);
  contentPanel_->realign();
  updateSetupHandle();
}

void TWebPanel::updateSetupHandle() {
  const bool shown = (!toolbarVisible() || parts_->toolbar->height() == 0) && !statusVisible();
  parts_->setupHandle->setVisible(shown);
  if (shown) parts_->setupHandle->bringToFront();
}

void TWebPanel::setTimedRefreshPopupMenu(TPopupMenu* menu) {
  timedRefreshPopupMenu_ = menu;
  autorefreshBtn_->setEnabled(menu != nullptr);
}

void TWebPanel::setSetupPopupMenu(TPopupMenu* menu) {
  setupPopupMenu_ = menu;
  parts_->toolbar->setPopupMenu(menu);
}

void TWebPanel::setFavsPopupMenu(TPopupMenu* menu) {
  favsPane_->setPopupMenu(menu);
  favListView_->setPopupMenu(menu);
}

void TWebPanel::setTimedRefreshInterval(int milliseconds) { navigation_.setTimedRefreshInterval(milliseconds); }

void TWebPanel::setKeepRecentUrls(int count) {
  navigation_.settings.setKeepRecentUrls(count);
  recentUrlsChanged();
}

void TWebPanel::setCanDeleteSelf(bool can) {
  canDeleteSelf_ = can;
  deleteBtn_->setEnabled(can || onDelSelfRequest != nullptr);
}

bool TWebPanel::backEnabled() const { return parts_->backBtn->enabled(); }
bool TWebPanel::forwardEnabled() const { return parts_->forwardBtn->enabled(); }
bool TWebPanel::stopEnabled() const { return parts_->stopBtn->enabled(); }
bool TWebPanel::refreshEnabled() const { return parts_->refreshBtn->enabled(); }
bool TWebPanel::homeEnabled() const { return parts_->homeBtn->enabled(); }
bool TWebPanel::favsEnabled() const { return parts_->favsBtn->enabled(); }
bool TWebPanel::makeDefaultEnabled() const { return parts_->makeDefaultBtn->enabled(); }
bool TWebPanel::clearDefaultEnabled() const { return parts_->clearDefaultBtn->enabled(); }
bool TWebPanel::makeHomeEnabled() const { return parts_->makeHomeBtn->enabled(); }
bool TWebPanel::goEnabled() const { return parts_->goBtn->enabled(); }
bool TWebPanel::deleteFavEnabled() const { return parts_->favDelBtn->enabled(); }
bool TWebPanel::moveFavUpEnabled() const { return parts_->favUpBtn->enabled(); }
bool TWebPanel::moveFavDownEnabled() const { return parts_->favDownBtn->enabled(); }

// ---- tool bar layout

int TWebPanel::narrowestWidthForGroups() {
  constexpr int contentRightMargin = 3;
  constexpr int barBorders = 10;  // the bar's edges about its row of bands
  return contentLeft + navigationGroupWidth + defaultGroupWidth + buttonWidth + 3 * bandGripperAllowance +
         barBorders + contentRightMargin;
}

void TWebPanel::placeAddressGroup(int comboWidth) {
  const TAddressGroupLayout layout = addressGroupLayout(comboWidth, 0, 0);
  TPanel& group = *parts_->groups[addressBand];
  group.setSize(layout.groupWidth, buttonHeight);
  addressCombo_->setSize(layout.comboWidth, 21);
  parts_->goBtn->setBounds(layout.goLeft, 0, 16, buttonHeight);
  parts_->grip->setBounds(layout.gripLeft, 0, 2, buttonHeight);
  const HWND bar = parts_->toolbar->handle();
  const int index = static_cast<int>(SendMessageA(bar, RB_IDTOINDEX, addressBand, 0));
  if (index < 0) return;
  REBARBANDINFOA band{};
  band.cbSize = sizeof(band);
  band.fMask = RBBIM_SIZE | RBBIM_CHILDSIZE;
  band.cx = static_cast<UINT>(layout.groupWidth + bandGripperAllowance);
  band.cxMinChild = addressGroupMinimumWidth;
  band.cyMinChild = buttonHeight;
  SendMessageA(bar, RB_SETBANDINFOA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&band));
}

void TWebPanel::fitAddressToToolbar() {
  if (!parts_->grip) return;
  const TPanel& group = *parts_->groups[addressBand];
  const int overrun = group.left() + group.width() - (parts_->toolbar->width() - 2);
  if (overrun > 0 && group.width() > addressGroupMinimumWidth)
    placeAddressGroup(addressCombo_->width() - overrun);
}

void TWebPanel::applyToolbarLayout() {
  TWebPanelSettings& settings = navigation_.settings;
  const TToolGroupPlace* places[bandCount] = {&settings.buttons, &settings.defaults, &settings.deleteGroup,
                                              &settings.address};
  int order[bandCount] = {0, 1, 2, 3};
  std::stable_sort(order, order + bandCount, [&](int a, int b) {
    return places[a]->Top != places[b]->Top ? places[a]->Top < places[b]->Top : places[a]->Left < places[b]->Left;
  });
  std::vector<TBandLayout> layout;
  int rowTop = places[order[0]]->Top;
  for (int i = 0; i < bandCount; ++i) {
    const int band = order[i];
    const bool newRow = i > 0 && places[band]->Top > rowTop + buttonHeight / 2;
    if (newRow) rowTop = places[band]->Top;
    layout.push_back({bandNames[band], parts_->groups[band]->width() + bandGripperAllowance, newRow});
  }
  parts_->toolbar->setLayout(layout);
  for (int band = 0; band < bandCount; ++band) setBandVisible(band, places[band]->Visible);
  storedPlaces_.clear();
  for (int band = 0; band < bandCount; ++band)
    storedPlaces_.keep(*parts_->groups[band], places[band]->Left, places[band]->Top);
}

// ---- settings file

int TWebPanel::loadSettings(const std::string& fileName) {
  settingsFile_ = fileName;
  TWebPanelSettings& settings = navigation_.settings;
  settings.inContainer = inResizableContainer();
  settings.maximized = TResizablePanel::maximized();
  settings.toolbarVisible = toolbarVisible();
  settings.statusVisible = statusVisible();
  settings.favsVisible = favsVisible();
  settings.favsWidth = favsPane_->width();
  settings.symbolWidth = favListView_->columnWidth(0);
  // Read from the file, a change it refused would not show, and the next
  // save, finding nothing changed, would let it go unwritten.
  std::optional<THeldSettings> held = heldSettings(fileName, heldChange);
  showsHeldChange_ = held.has_value();
  int result = 0;
  std::unique_ptr<const TPortableIniFile> read;
  if (held) {
    settings.load(*held->shown);
  } else {
    read = std::make_unique<const TPortableIniFile>(fileName);
    result = settings.loadSettings(*read);
  }
  toolbarWidthAsRead_ = result == 0 && !held ? settings.toolbarWidth : 0;
  if (result == 0) {
    // The container checks the fractions as for every other tile: reversed,
    // empty or not finite ones give the whole container.
    auto* container = dynamic_cast<TResizablePanelContainer*>(parent());
    if (settings.inContainer && container != nullptr) {
      container->setRelativeBounds(this, settings.tileLeft, settings.tileTop, settings.tileRight, settings.tileBottom);
    }
    setMaximized(settings.maximized);
    setToolbarVisible(settings.toolbarVisible);
    wantedComboWidth_ = settings.comboWidth;
    const TAddressGroupLayout address =
        addressGroupLayout(settings.comboWidth, settings.toolbarWidth, parts_->toolbar->width());
    placeAddressGroup(address.comboWidth);
    favsPane_->setSize(std::max(favsPaneWidth, settings.favsWidth), favsPane_->height());
    favListView_->setColumnWidth(0, settings.symbolWidth);
    setFavsVisible(settings.favsVisible);
    setStatusVisible(settings.statusVisible);
    fillFavourites();
    recentUrlsChanged();
    navigation_.setTimedRefreshInterval(settings.timedRefreshInterval);
  }
  applyToolbarLayout();
  if (held) {
    savedSettings_.takeOver(std::move(held->baseline), settingsWriter());
    return result;
  }
  // A file that could not be read leaves the panel with its defaults, which
  // must not replace the file unless the user changes them.
  savedSettings_.takeAsShown(settingsFile_, settingsWriter(), *read);
  keepToolbarWidthAsRead();
  keepFavouritesPastCountAsRead(*read);
  return result;
}

void TWebPanel::placedAfterLoading() {
  if (showsHeldChange_) return;
  savedSettings_.retake();
  keepToolbarWidthAsRead();
  keepFavouritesPastCountAsRead(TPortableIniFile(settingsFile_));
}

void TWebPanel::keepFavouritesPastCountAsRead(const TPortableIniFile& read) {
  // Sections past the count are no favourites: held as the file holds
  // them, the save erases them, and one added under such a number does not
  // take their keys.
  if (read.readFailed()) return;
  for (const std::string& section : favouriteSectionsPastCount(read)) {
    std::vector<std::string> keys;
    read.readSection(section, keys);
    for (const std::string& key : keys) savedSettings_.takeAsRead(section, key, read);
  }
}

void TWebPanel::keepToolbarWidthAsRead() {
  // A width left by a maximised (or wider) window shrinks the address box;
  // it is what the file holds, not what the panel shows, so that a save in
  // a normal window mends it.
  if (toolbarWidthAsRead_ <= parts_->toolbar->width()) return;
  TPortableIniFile asRead(settingsFile_, TPortableIniFile::TNewFile{});
  asRead.writeInteger("ToolBar", "ToolBarWidth", toolbarWidthAsRead_);
  savedSettings_.takeAsRead("ToolBar", "ToolBarWidth", asRead);
}

int TWebPanel::saveSettings(const std::string& fileName) {
  captureSettings();
  return navigation_.settings.saveSettings(fileName);
}

int TWebPanel::saveToOwnFile() {
  if (!savedSettings_.save(settingsFile_, settingsWriter())) return -4;
  forgetUnsavedChange(settingsFile_, heldChange);
  return 0;
}

int TWebPanel::saveHolding() {
  return ::saveHolding(settingsFile_, heldChange, savedSettings_, settingsWriter()) ? 0 : -4;
}

TSettingsBaseline::TWriter TWebPanel::settingsWriter() {
  return [this](TPortableIniFile& ini) { writeSettings(ini); };
}

void TWebPanel::writeSettings(TPortableIniFile& ini) {
  captureSettings();
  navigation_.settings.save(ini);
}

void TWebPanel::captureSettings() {
  TWebPanelSettings& settings = navigation_.settings;
  settings.inContainer = inResizableContainer() && hasFractions();
  if (settings.inContainer) {
    settings.tileLeft = static_cast<double>(fractions().left);
    settings.tileTop = static_cast<double>(fractions().top);
    settings.tileRight = static_cast<double>(fractions().right);
    settings.tileBottom = static_cast<double>(fractions().bottom);
  }
  settings.maximized = TResizablePanel::maximized();
  settings.toolbarVisible = toolbarVisible();
  // Only a normal window's width says what the address box was sized for.
  settings.toolbarWidth = inNormalWindow(handle()) ? parts_->toolbar->width() : 0;
  TToolGroupPlace* places[bandCount] = {&settings.buttons, &settings.defaults, &settings.deleteGroup,
                                        &settings.address};
  for (int band = 0; band < bandCount; ++band) {
    places[band]->Visible = bandVisible(band);
    const POINT place = storedPlaces_.placeToWrite(*parts_->groups[band]);
    places[band]->Left = place.x;
    places[band]->Top = place.y;
  }
  settings.comboWidth = wantedComboWidth_;
  settings.favsVisible = favsVisible();
  settings.favsWidth = favsPane_->width();
  settings.symbolWidth = favListView_->columnWidth(0);
  settings.statusVisible = statusVisible();
}

// Tile fractions belong to a panel of a mosaic: a panel placed anywhere else
// may still have recorded some from its moves.
bool TWebPanel::inResizableContainer() const { return dynamic_cast<TResizablePanelContainer*>(parent()) != nullptr; }

// ---- deleting and pictures

void TWebPanel::deleteSelf() {
  repaint();
  deletePending_ = true;
  refreshTimer_.setEnabled(false);
  PostMessageA(handle(), deleteSelfMessage, 0, 0);
}

void TWebPanel::deleteSettingsFile() {
  // A file that refuses keeps its panel, and what waits for it: the browser
  // would otherwise be back at the next start without that change.
  refusedDeletion_ = firstDeletionRefusal({settingsFile_});
  if (refusedDeletion_.empty() && !settingsFile_.empty() && !deleteFile(settingsFile_) && pathExists(settingsFile_))
    refusedDeletion_ = settingsFile_ + " could not be deleted";
  const int result = refusedDeletion_.empty() ? 0 : -4;
  if (result != 0) refusedDeletion_ = "The browser was not deleted: " + refusedDeletion_ + ".";
  if (result == 0) {
    // What waited for the file goes with it: the next browser made may take
    // its name.
    if (!settingsFile_.empty()) letGoUnsavedChanges(settingsFile_);
  } else {
    deletePending_ = false;
    deleteBtn_->setEnabled(canDeleteSelf_ || onDelSelfRequest != nullptr);
    if (autorefreshBtn_->down()) refreshTimer_.setEnabled(true);
  }
  if (onDeleted) {
    onDeleted(*this, result);
  } else if (result == 0) {
    hide();
  }
}

LRESULT TWebPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == deleteSelfMessage) {
    deleteSettingsFile();
    return 0;
  }
  return TResizablePanel::handleMessage(message, wParam, lParam);
}

void TWebPanel::snapshot(TBitmap& bitmap) {
  const int width = std::max(1, clientWidth() - contentLeft);
  const int height = std::max(1, clientHeight() - 1);
  bitmap.setSize(width, height);
  update();
  const TWindowDC screen(handle());
  BitBlt(bitmap.canvas().handle(), 0, 0, width, height, screen.get(), contentLeft, 0, SRCCOPY);
}
