// The System window's control bars and the grids' popup menus: groups of
// buttons the user moves about a page's bar and shows or hides, remembered
// in the portfolio's "SystemControls.INI".
#include <algorithm>

#include "controls/SheetPanel.h"
#include "model/PortableIniFile.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "systems/SystemForm.h"

namespace {

constexpr int rowHeight = 30;

// A group dropped between two rows goes to the nearer one.
int snappedTop(int top) { return std::max(0, (top + rowHeight / 2) / rowHeight * rowHeight); }

}  // namespace

TPanel& TsystemForm::addGroup(TSystemPage page, const std::string& section, const std::string& menuCaption,
                              int left, int top, int width) {
  TPageControls& controls = pages_[static_cast<int>(page)];
  TPanel& group = controls.bar->add<TPanel>();
  group.setBounds(left, top, width, rowHeight);
  group.setBevelOuter(TBevelCut::raised);
  controls.groups.push_back({section, menuCaption, &group});
  // Dragged by its frame, between and around its buttons.
  group.onMouseDown = [this, &group](TMouseButton button, TShiftState, int x, int y) {
    if (button != TMouseButton::left) return;
    dragged_ = &group;
    dragStart_ = {x, y};
    SetCapture(group.handle());
  };
  group.onMouseMove = [this, &group](TShiftState, int x, int y) {
    if (dragged_ != &group) return;
    const int barWidth = group.parent() != nullptr ? group.parent()->width() : group.width();
    const int left = std::clamp(group.left() + x - static_cast<int>(dragStart_.x), 0, std::max(0, barWidth - group.width()));
    group.setBounds(left, snappedTop(group.top() + y - static_cast<int>(dragStart_.y)), group.width(), group.height());
  };
  group.onMouseUp = [this, &group](TMouseButton, TShiftState, int, int) {
    if (dragged_ != &group) return;
    dragged_ = nullptr;
    ReleaseCapture();
    arrangeBars();
  };
  return group;
}

void TsystemForm::arrangeBars() {
  for (TPageControls& controls : pages_) {
    int bottom = 0;
    for (const TToolGroup& group : controls.groups) {
      if (group.panel->visible()) bottom = std::max(bottom, group.panel->top() + group.panel->height());
    }
    controls.bar->setBounds(controls.bar->left(), controls.bar->top(), controls.bar->width(),
                            std::max(bottom, rowHeight));
  }
}

void TsystemForm::setBarVisible(TSystemPage page, bool visible) {
  pages_[static_cast<int>(page)].bar->setVisible(visible);
}

void TsystemForm::loadBarLayout(const TPortableIniFile& ini) {
  for (TPageControls& controls : pages_) {
    for (const TToolGroup& group : controls.groups) {
      TPanel& panel = *group.panel;
      panel.setBounds(std::max(0, ini.readInteger(group.section, "Left", panel.left())),
                      snappedTop(ini.readInteger(group.section, "Top", panel.top())), panel.width(), panel.height());
      panel.setVisible(ini.readBool(group.section, "Visible", panel.visible()));
    }
  }
  arrangeBars();
}

void TsystemForm::saveBarLayout(TPortableIniFile& ini) const {
  for (const TPageControls& controls : pages_) {
    for (const TToolGroup& group : controls.groups) {
      ini.writeInteger(group.section, "Left", group.panel->left());
      ini.writeInteger(group.section, "Top", group.panel->top());
      ini.writeBool(group.section, "Visible", group.panel->visible());
    }
  }
}

void TsystemForm::makePopupMenu(TSystemPage page) {
  TPageControls& controls = pages_[static_cast<int>(page)];
  TPopupMenu& menu = controls.popupMenu;
  TMenuItem& toolbar = menu.add("&Toolbar");
  toolbar.add("S&how", [this, page] {
    setBarVisible(page, !pages_[static_cast<int>(page)].bar->visible());
  });
  for (size_t i = 0; i < controls.groups.size(); ++i) {
    toolbar.add(controls.groups[i].menuCaption, [this, page, i] {
      TPanel& group = *pages_[static_cast<int>(page)].groups[i].panel;
      group.setVisible(!group.visible());
      arrangeBars();
    });
  }
  TMenuItem& entries = menu.add(controls.groups.front().menuCaption);
  entries.add("&New", [this, page] { newEntry(page); });
  entries.add("&Copy", [this, page] { copyEntry(page); });
  entries.add("&Delete", [this, page] { deleteEntry(page); });
  TMenuItem& layout = menu.add("&Layout");
  layout.add("&Rowwise", [this, page] { setLayout(page, true); }).radio = true;
  layout.add("&Columnwise", [this, page] { setLayout(page, false); }).radio = true;
  TMenuItem& position = menu.add("&Position");
  position.add("&Up / Left", [this, page] { moveEntry(page, -1); });
  position.add("&Down / Right", [this, page] { moveEntry(page, 1); });
  if (page == TSystemPage::rules) {
    position.add("&Renumber", [this] { pages_[0].extraBtn->onClick(); });
  }
  TMenuItem& changes = menu.add("&Changes");
  changes.add("&Commit", [this, page] { commitChanges(page); });
  changes.add("&Discard", [this, page] { discardChanges(page); });
  if (page == TSystemPage::params) menu.add("&Optimize", [this] { optimize(); });
  menu.onPopup = [this, page] { updatePopupMenu(page); };
}

void TsystemForm::updatePopupMenu(TSystemPage page) {
  updateButtons();
  TPageControls& controls = pages_[static_cast<int>(page)];
  const auto& items = controls.popupMenu.items();
  const auto& toolbar = items[0]->items();
  toolbar[0]->checked = controls.bar->visible();
  for (size_t i = 0; i < controls.groups.size(); ++i) toolbar[i + 1]->checked = controls.groups[i].panel->visible();
  const auto& entries = items[1]->items();
  entries[0]->enabled = controls.newBtn->enabled();
  entries[1]->enabled = controls.copyBtn->enabled();
  entries[2]->enabled = controls.deleteBtn->enabled();
  const auto& layout = items[2]->items();
  layout[0]->checked = editor_.rowWise(page);
  layout[1]->checked = !editor_.rowWise(page);
  layout[0]->enabled = layout[1]->enabled = controls.rowWiseBtn->enabled();
  const auto& position = items[3]->items();
  position[0]->enabled = controls.moveUpBtn->enabled();
  position[1]->enabled = controls.moveDownBtn->enabled();
  if (page == TSystemPage::rules) position[2]->enabled = controls.extraBtn->enabled();
  const auto& changes = items[4]->items();
  changes[0]->enabled = controls.commitBtn->enabled();
  changes[1]->enabled = controls.discardBtn->enabled();
  if (page == TSystemPage::params) items[5]->enabled = controls.extraBtn->enabled();
}
