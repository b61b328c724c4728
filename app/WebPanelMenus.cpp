#include "app/WebPanelMenus.h"

#include "app/MainForm.h"
#include "controls/GalleryForm.h"
#include "controls/WebPanel.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "model/UnreadableFiles.h"
#include "platform/Bitmap.h"
#include "platform/FileSystem.h"
#include "platform/ListView.h"

namespace {

struct TInterval {
  const char* caption;
  int milliseconds;
};
constexpr TInterval intervals[] = {{"5 sec", 5000},    {"10 sec", 10000},  {"15 sec", 15000},  {"30 sec", 30000},
                                   {"1 min", 60000},   {"5 min", 300000},  {"10 min", 600000}, {"15 min", 900000},
                                   {"30 min", 1800000}, {"60 min", 3600000}};

TMenuItem* child(TMenuItem& parent, const char* caption) {
  for (const auto& item : parent.items())
    if (item->caption == caption) return item.get();
  return nullptr;
}

std::string browserTemplateFile() { return getDirectory("<DATA>") + "BrowserTemplate.INI"; }

}  // namespace

TwebPanelMenus::TwebPanelMenus(TmainForm& owner) : owner_(owner) {
  webPanelTimerPopupMenu.onPopup = [this] {
    findTarget(webPanelTimerPopupMenu);
    checkInterval(webPanelTimerPopupMenu);
  };
  addTimerItems(webPanelTimerPopupMenu, "Off");
  buildSetupMenu();
  buildFavsMenu();
}

void TwebPanelMenus::findTarget(const TPopupMenu& menu) {
  webPopupTarget = nullptr;
  for (TControl* control = menu.popupComponent; control != nullptr; control = control->parent()) {
    if (auto* panel = dynamic_cast<TWebPanel*>(control)) {
      webPopupTarget = panel;
      return;
    }
  }
}

void TwebPanelMenus::addTimerItems(TMenuItem& parent, const char* offCaption) {
  const auto setInterval = [this](int milliseconds) {
    return [this, milliseconds] {
      if (webPopupTarget) webPopupTarget->setTimedRefreshInterval(milliseconds);
    };
  };
  TMenuItem& off = parent.add(offCaption, setInterval(0));
  off.radio = true;
  for (const TInterval& interval : intervals) {
    TMenuItem& item = parent.add(interval.caption, setInterval(interval.milliseconds));
    item.tag = interval.milliseconds;
    item.radio = true;
  }
}

void TwebPanelMenus::checkInterval(TMenuItem& parent) {
  if (webPopupTarget == nullptr) return;
  const int current = webPopupTarget->timedRefreshInterval();
  // An interval that is none of the items leaves the marks as they were.
  bool listed = false;
  for (const auto& item : parent.items()) listed = listed || item->tag == current;
  if (!listed) return;
  for (const auto& item : parent.items()) item->checked = item->tag == current;
}

void TwebPanelMenus::buildSetupMenu() {
  TPopupMenu& menu = webPanelSetupPopupMenu;
  menu.onPopup = [this] { setupPopup(); };
  const auto onPanel = [this](auto action) {
    return [this, action] {
      if (webPopupTarget) action(*webPopupTarget);
    };
  };
  menu.add("&Maximized", onPanel([](TWebPanel& panel) {
    panel.toggleMaximized();
    if (panel.canFocus()) panel.setFocus();
  }));
  TMenuItem& toolbar = menu.add("&Toolbar");
  toolbar.add("S&how", onPanel([](TWebPanel& panel) { panel.setToolbarVisible(!panel.toolbarVisible()); }));
  toolbar.add("&Buttons", onPanel([](TWebPanel& panel) { panel.setButtonsVisible(!panel.buttonsVisible()); }));
  toolbar.add("&Address", onPanel([](TWebPanel& panel) { panel.setAddressVisible(!panel.addressVisible()); }));
  toolbar.add("&Gallery", onPanel([](TWebPanel& panel) { panel.setDefaultVisible(!panel.defaultVisible()); }));
  toolbar.add("D&eletion", onPanel([](TWebPanel& panel) { panel.setDeleteVisible(!panel.deleteVisible()); }));
  TMenuItem& buttons = menu.add("&Buttons");
  buttons.add("&Back", onPanel([](TWebPanel& panel) { panel.back(nullptr); }));
  buttons.add("&Forward", onPanel([](TWebPanel& panel) { panel.forward(nullptr); }));
  buttons.add("&Stop", onPanel([](TWebPanel& panel) { panel.stop(nullptr); }));
  buttons.add("&Refresh", onPanel([](TWebPanel& panel) { panel.refresh(nullptr); }));
  buttons.add("&Home", onPanel([](TWebPanel& panel) { panel.openDefault(nullptr); }));
  buttons.add("Fa&vorites", onPanel([](TWebPanel& panel) { panel.setFavsVisible(!panel.favsVisible()); }));
  addTimerItems(buttons.add("&Autorefresh"), "&Off");
  TMenuItem& address = menu.add("&Address");
  address.add("&Make home", onPanel([](TWebPanel& panel) { panel.makeHomeRequest(); }));
  address.add("&Go", onPanel([](TWebPanel& panel) { panel.goAddress(nullptr); }));
  address.add("&Clear all", onPanel([](TWebPanel& panel) { panel.clearRecentUrls(); }));
  TMenuItem& gallery = menu.add("&Gallery");
  gallery.add("&Add", [this] { addWebPanelToGallery(); });
  gallery.add("&Make default", onPanel([this](TWebPanel& panel) { makeWebPanelTemplate(panel); }));
  gallery.add("&Clear default", onPanel([this](TWebPanel& panel) { clearWebPanelTemplate(panel); }));
  menu.add("Fa&vorites", onPanel([](TWebPanel& panel) { panel.setFavsVisible(!panel.favsVisible()); }));
  menu.add("&Status", onPanel([](TWebPanel& panel) { panel.setStatusVisible(!panel.statusVisible()); }));
  menu.add("&New windows", onPanel([](TWebPanel& panel) { panel.setAllowNewWin(!panel.allowNewWin()); }));
  menu.add("D&elete", onPanel([this](TWebPanel& panel) { onWebPanelDeleteRequest(panel); }));
}

void TwebPanelMenus::setupPopup() {
  TPopupMenu& menu = webPanelSetupPopupMenu;
  findTarget(menu);
  for (const auto& item : menu.items()) item->enabled = webPopupTarget != nullptr;
  if (webPopupTarget == nullptr) return;
  const TWebPanel& panel = *webPopupTarget;
  child(menu, "&Maximized")->checked = static_cast<const TResizablePanel&>(panel).maximized();
  TMenuItem& toolbar = *child(menu, "&Toolbar");
  child(toolbar, "S&how")->checked = panel.toolbarVisible();
  child(toolbar, "&Buttons")->checked = panel.buttonsVisible();
  child(toolbar, "&Address")->checked = panel.addressVisible();
  child(toolbar, "&Gallery")->checked = panel.defaultVisible();
  child(toolbar, "D&eletion")->checked = panel.deleteVisible();
  TMenuItem& buttons = *child(menu, "&Buttons");
  child(buttons, "&Back")->enabled = panel.backEnabled();
  child(buttons, "&Forward")->enabled = panel.forwardEnabled();
  child(buttons, "&Stop")->enabled = panel.stopEnabled();
  child(buttons, "&Refresh")->enabled = panel.refreshEnabled();
  child(buttons, "&Home")->enabled = panel.homeEnabled();
  TMenuItem& favourites = *child(buttons, "Fa&vorites");
  favourites.enabled = panel.favsEnabled();
  favourites.checked = panel.favsVisible();
  checkInterval(*child(buttons, "&Autorefresh"));
  TMenuItem& address = *child(menu, "&Address");
  child(address, "&Make home")->enabled = panel.makeHomeEnabled();
  child(address, "&Go")->enabled = panel.goEnabled();
  TMenuItem& gallery = *child(menu, "&Gallery");
  child(gallery, "&Make default")->enabled = panel.makeDefaultEnabled();
  child(gallery, "&Clear default")->enabled = panel.clearDefaultEnabled();
  child(menu, "Fa&vorites")->checked = panel.favsVisible();
  child(menu, "&Status")->checked = panel.statusVisible();
  child(menu, "&New windows")->checked = panel.allowNewWin();
  child(menu, "D&elete")->enabled = panel.canDeleteSelf();
}

void TwebPanelMenus::buildFavsMenu() {
  TPopupMenu& menu = webPanelFavsPopupMenu;
  menu.onPopup = [this] { favsPopup(); };
  const auto onPanel = [this](auto action) {
    return [this, action] {
      if (webPopupTarget) action(*webPopupTarget);
    };
  };
  menu.add("&Go", onPanel([](TWebPanel& panel) { panel.openSelectedFav(nullptr); }));
  menu.add("&Add", onPanel([](TWebPanel& panel) { panel.addFavRequest(); }));
  menu.add("&Symbol", onPanel([](TWebPanel& panel) {
    const int row = panel.favListView().itemIndex();
    if (row >= 0) panel.favListView().editCaption(row);
  }));
  menu.add("Move &up", onPanel([](TWebPanel& panel) { panel.moveFavUpRequest(); }));
  menu.add("Move &down", onPanel([](TWebPanel& panel) { panel.moveFavDownRequest(); }));
  menu.add("D&elete", onPanel([](TWebPanel& panel) { panel.deleteFavRequest(); }));
  menu.add("&Close", onPanel([](TWebPanel& panel) { panel.setFavsVisible(false); }));
}

void TwebPanelMenus::favsPopup() {
  TPopupMenu& menu = webPanelFavsPopupMenu;
  findTarget(menu);
  for (const auto& item : menu.items()) item->enabled = webPopupTarget != nullptr;
  if (webPopupTarget == nullptr) return;
  const TWebPanel& panel = *webPopupTarget;
  const bool selected = panel.deleteFavEnabled();
  child(menu, "&Go")->enabled = selected;
  child(menu, "&Symbol")->enabled = selected;
  child(menu, "Move &up")->enabled = panel.moveFavUpEnabled();
  child(menu, "Move &down")->enabled = panel.moveFavDownEnabled();
  child(menu, "D&elete")->enabled = selected;
  child(menu, "&Close")->enabled = panel.favsVisible();
}

void TwebPanelMenus::addWebPanelToGallery() {
  if (webPopupTarget == nullptr || !owner_.galleryForm) return;
  // A browser its file refuses is not filed: the file would be stale.
  if (webPopupTarget->saveToOwnFile() != 0) {
    tellRefusal("The browser was not added to the gallery: ", saveFailureText(webPopupTarget->settingsFile()));
    return;
  }
  TBitmap picture;
  webPopupTarget->snapshot(picture);
  int kind = 3;
  std::string made;
  owner_.galleryForm->add(kind, galleryTabOf(kind), webPopupTarget->settingsFile(), "", picture, TGalleryTargets{}, made);
}

void TwebPanelMenus::makeWebPanelTemplate(TWebPanel& panel) {
  // The default is the browser as the user sees it, or it stays as it was:
  // a default left as it was would make every new browser from the old one.
  const std::string file = browserTemplateFile();
  std::string refusal;
  if (panel.saveToOwnFile() != 0)
    refusal = saveFailureText(panel.settingsFile());
  else if (!copyFile(panel.settingsFile(), file, false))
    refusal = file + " " + whyNotWritten(file);
  if (!refusal.empty()) tellRefusal("The default browser was not made: ", refusal);
}

void TwebPanelMenus::tellRefusal(const std::string& what, const std::string& why) {
  owner_.messageBox().show(owner_.handle(), what + why + ".", commonString(4), MB_OK | MB_ICONWARNING);
}

void TwebPanelMenus::clearWebPanelTemplate(TWebPanel&) {
  // A default that stays would make every new browser from it without a
  // word.
  std::string refusal;
  if (deleteWhole({browserTemplateFile()}, refusal)) return;
  owner_.messageBox().show(owner_.handle(), deletionNotice("The default browser was", false, refusal, "cleared"),
                           commonString(4), MB_OK | MB_ICONWARNING);
}

void TwebPanelMenus::onWebPanelDeleteRequest(TWebPanel& panel) {
  const int answer = owner_.messageBox().show(owner_.handle(), "Delete browser?", commonString(2),
                                              MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
  if (answer == IDYES) panel.deleteSelf();
}
