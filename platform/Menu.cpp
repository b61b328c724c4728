#include "platform/Menu.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/GdiObjects.h"

TMenuItem& TMenuItem::add(std::string caption, std::function<void()> onClick) {
  items_.push_back(std::make_unique<TMenuItem>(std::move(caption), std::move(onClick)));
  return *items_.back();
}

TMenuItem* TMenuItem::itemCaptioned(const std::string& caption) const {
  for (const auto& item : items_)
    if (item->caption == caption) return item.get();
  return nullptr;
}

std::string ampersandsDoubled(const std::string& text) {
  std::string result;
  for (char c : text) {
    result += c;
    if (c == '&') result += '&';
  }
  return result;
}

HMENU TMenuBuilder::build(const TMenuItem& root, bool popup) {
  commands_.clear();
  HMENU menu = popup ? CreatePopupMenu() : CreateMenu();
  for (const auto& item : root.items()) append(menu, *item);
  return menu;
}

void TMenuBuilder::append(HMENU menu, const TMenuItem& item) {
  if (!item.visible) return;
  if (item.caption == "-") {
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED) | (item.checked ? MF_CHECKED : MF_UNCHECKED);
  if (!item.items().empty()) {
    HMENU sub = CreatePopupMenu();
    for (const auto& child : item.items()) append(sub, *child);
    AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), item.caption.c_str());
    return;
  }
  commands_.push_back(&item);
  const UINT id = static_cast<UINT>(commands_.size());
  AppendMenuA(menu, flags, id, item.caption.c_str());
  if (item.radio || item.isDefault || item.onDraw) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA;
    GetMenuItemInfoA(menu, id, FALSE, &info);
    if (item.radio) info.fType |= MFT_RADIOCHECK;
    if (item.isDefault) info.fState |= MFS_DEFAULT;
    if (item.onDraw) {
      info.fType |= MFT_OWNERDRAW;
      info.dwItemData = reinterpret_cast<ULONG_PTR>(&item);
    }
    SetMenuItemInfoA(menu, id, FALSE, &info);
  }
}

namespace {

HFONT menuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return CreateFontIndirectA(&metrics.lfMenuFont);
}

}  // namespace

bool measureMenuItem(MEASUREITEMSTRUCT& measure) {
  if (measure.CtlType != ODT_MENU || measure.itemData == 0) return false;
  const auto& item = *reinterpret_cast<const TMenuItem*>(measure.itemData);
  TWindowDC screen(nullptr);
  TFontHandle font(menuFont());
  TSelectedObject selected(screen.get(), font.get());
  SIZE text{};
  GetTextExtentPoint32A(screen.get(), item.caption.c_str(), static_cast<int>(item.caption.size()), &text);
  const int height = std::max<int>(GetSystemMetrics(SM_CYMENU), text.cy + 4);
  measure.itemHeight = static_cast<UINT>(height);
  // Room for a square as high as the item before the caption.
  measure.itemWidth = static_cast<UINT>(text.cx + height + 12);
  return true;
}

bool drawMenuItem(const DRAWITEMSTRUCT& draw) {
  if (draw.CtlType != ODT_MENU || draw.itemData == 0) return false;
  const auto& item = *reinterpret_cast<const TMenuItem*>(draw.itemData);
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  TCanvas canvas(draw.hDC);
  canvas.fillRect(draw.rcItem, selected ? clHighlight : systemColor(COLOR_MENU));
  TFontHandle font(menuFont());
  TSelectedObject selectedFont(draw.hDC, font.get());
  SetBkMode(draw.hDC, TRANSPARENT);
  SetTextColor(draw.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  if (item.onDraw) item.onDraw(canvas, draw.rcItem, selected);
  return true;
}

TMenuItem* TMenuBuilder::itemFor(UINT commandId) const {
  if (commandId == 0 || commandId > commands_.size()) return nullptr;
  return const_cast<TMenuItem*>(commands_[commandId - 1]);
}

void TPopupMenu::popup(HWND owner, int screenX, int screenY) {
  if (onPopup) onPopup();
  TMenuBuilder builder;
  HMENU menu = builder.build(*this, true);
  // The menu's own loop takes this key first, as if the user pressed it.
  if (application().handlingKey()) PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 1);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenX, screenY, 0, owner, nullptr));
  DestroyMenu(menu);
  if (TMenuItem* item = builder.itemFor(chosen); item && item->onClick) item->onClick();
}

TMainMenu::~TMainMenu() {
  if (form_ && IsWindow(form_) && GetMenu(form_) == menu_) SetMenu(form_, nullptr);
  if (menu_) DestroyMenu(menu_);
}

void TMainMenu::attach(HWND form) {
  form_ = form;
  rebuild();
}

void TMainMenu::rebuild() {
  HMENU old = menu_;
  menu_ = builder_.build(*this, false);
  if (form_) {
    SetMenu(form_, menu_);
    DrawMenuBar(form_);
  }
  if (old) DestroyMenu(old);
}

bool TMainMenu::command(UINT commandId) {
  TMenuItem* item = builder_.itemFor(commandId);
  if (!item) return false;
  if (item->onClick) item->onClick();
  return true;
}
