#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A menu or a label shows "&" as itself only when it is doubled; user texts
// (names of lists, portfolios, assets) go through this before they become
// captions.
std::string ampersandsDoubled(const std::string& text);

// A menu item: a caption ("-" for a separator), its state, its handler and
// its sub-items. The system menu is built from the items each time it is
// shown, so items can be changed freely in between.
class TCanvas;

class TMenuItem {
 public:
  explicit TMenuItem(std::string caption = {}, std::function<void()> onClick = {})
      : caption(std::move(caption)), onClick(std::move(onClick)) {}

  TMenuItem& add(std::string caption, std::function<void()> onClick = {});
  TMenuItem& addSeparator() { return add("-"); }
  void clear() { items_.clear(); }
  const std::vector<std::unique_ptr<TMenuItem>>& items() const { return items_; }
  // The first sub-item with this caption, or null.
  TMenuItem* itemCaptioned(const std::string& caption) const;

  std::string caption;
  std::function<void()> onClick;
  bool enabled = true;
  bool checked = false;
  bool radio = false;  // checked shown as a dot
  bool visible = true;
  bool isDefault = false;  // shown in bold
  int tag = 0;
  // An item its owner draws: on the item's rectangle, its background
  // already filled (in the highlight colour when selected) and the canvas's
  // font colour set to match.
  std::function<void(TCanvas&, const RECT&, bool selected)> onDraw;

 private:
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

// The owner-draw messages a menu's owner window receives for items with
// onDraw; false for anything else.
bool measureMenuItem(MEASUREITEMSTRUCT& measure);
bool drawMenuItem(const DRAWITEMSTRUCT& draw);

// Builds system menus from items and finds an item again by its command id.
class TMenuBuilder {
 public:
  HMENU build(const TMenuItem& root, bool popup);
  TMenuItem* itemFor(UINT commandId) const;

 private:
  void append(HMENU menu, const TMenuItem& item);
  std::vector<const TMenuItem*> commands_;  // index + 1 = command id
};

class TControl;

class TPopupMenu : public TMenuItem {
 public:
  std::function<void()> onPopup;
  // The control whose commands a menu shared by several controls carries out.
  TControl* popupComponent = nullptr;
  // Shows the menu at a screen point and runs the chosen item's handler
  // after the menu has closed. Opened from the keyboard (the menu key,
  // Shift+F10, a button's Alt key), its first item is highlighted, so that
  // Enter chooses at once.
  void popup(HWND owner, int screenX, int screenY);
};

// The menu bar of a form. The form hands its WM_COMMAND menu ids here.
class TMainMenu : public TMenuItem {
 public:
  ~TMainMenu();
  void attach(HWND form);
  void rebuild();  // after items changed
  bool command(UINT commandId);

 private:
  HWND form_ = nullptr;
  HMENU menu_ = nullptr;
  TMenuBuilder builder_;
};
