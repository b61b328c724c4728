#include "windows/ToolBarOptions.h"

#include <algorithm>
#include <map>
#include <string>

#include "controls/ToolGroupLayout.h"
#include "model/PortableIniFile.h"
#include "platform/ExtControls.h"
#include "platform/Panel.h"

namespace {

constexpr int toolRowHeight = 26;
constexpr int toolGripperWidth = 12;
// The etched line the bar draws between two bands of a row.
constexpr int toolBandBorder = 2;
// No bar is wider than this; a place beyond it is damage.
constexpr int largestToolLeft = 4096;

}  // namespace

void TToolGroupPlaces::read(const TPortableIniFile& ini, TControlBar& bar, const std::vector<TToolGroupSection>& groups) {
  std::vector<TToolGroupPlace> places;
  std::vector<bool> visible;
  std::map<std::string, int> ownWidths;
  for (const TToolGroupSection& group : groups) {
    TPanel& panel = *group.panel;
    const int rowsBelow = static_cast<int>(groups.size()) * toolRowHeight;
    places.push_back({panel.name, std::clamp(ini.readInteger(group.section, "Left", panel.left()), 0, largestToolLeft),
                      std::clamp(ini.readInteger(group.section, "Top", panel.top()), 0, rowsBelow)});
    visible.push_back(ini.readBool(group.section, "Visible", panel.visible()));
    ownWidths[panel.name] = panel.width();
  }
  bar.setLayout(bandLayoutFor(places, ownWidths, toolRowHeight, toolGripperWidth, toolBandBorder));
  for (size_t i = 0; i < groups.size(); ++i) bar.setBandVisible(*groups[i].panel, visible[i]);
  stored_.clear();
  for (size_t i = 0; i < groups.size(); ++i) stored_.keep(*groups[i].panel, places[i].left, places[i].top);
}

void TToolGroupPlaces::write(TPortableIniFile& ini, const std::vector<TToolGroupSection>& groups) const {
  for (const TToolGroupSection& group : groups) {
    const POINT place = stored_.placeToWrite(*group.panel);
    ini.writeInteger(group.section, "Left", place.x);
    ini.writeInteger(group.section, "Top", place.y);
    ini.writeBool(group.section, "Visible", group.panel->visible());
  }
}
