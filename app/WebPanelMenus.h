#pragma once
#include <string>

#include "platform/Menu.h"

class TWebPanel;
class TmainForm;

// The three menus of every docked web panel (auto-refresh timer, set-up and
// favourites) and the panel requests the main window answers: make or clear
// the default browser view and delete a panel.
class TwebPanelMenus {
 public:
  explicit TwebPanelMenus(TmainForm& owner);

  TPopupMenu webPanelTimerPopupMenu;
  TPopupMenu webPanelSetupPopupMenu;
  TPopupMenu webPanelFavsPopupMenu;

  // The panel of the last opened web-panel menu, or null.
  TWebPanel* webPopupTarget = nullptr;

  void makeWebPanelTemplate(TWebPanel& panel);
  void clearWebPanelTemplate(TWebPanel& panel);
  void onWebPanelDeleteRequest(TWebPanel& panel);
  void addWebPanelToGallery();

 private:
  void findTarget(const TPopupMenu& menu);
  void addTimerItems(TMenuItem& parent, const char* offCaption);
  void checkInterval(TMenuItem& parent);
  void buildSetupMenu();
  void buildFavsMenu();
  void setupPopup();
  void favsPopup();
  // A command that did nothing, and why, in the window's box.
  void tellRefusal(const std::string& what, const std::string& why);

  TmainForm& owner_;
};
