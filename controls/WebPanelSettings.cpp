#include "controls/WebPanelSettings.h"

#include <algorithm>

#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"

namespace {

constexpr int comboLeft = 27;       // after the 23-pixel Make home button and a gap
constexpr int goGap = 4;            // between the combo and Go
constexpr int goWidth = 16;
constexpr int gripGap = 1;
constexpr int gripWidth = 2;
constexpr int addressGroupMinimumWidth = 161;
constexpr int shortestRefreshInterval = 5000;

void saveGroup(TPortableIniFile& ini, const std::string& section, const TToolGroupPlace& group) {
  ini.writeBool(section, "Visible", group.Visible);
  ini.writeInteger(section, "Left", group.Left);
  ini.writeInteger(section, "Top", group.Top);
}

void loadGroup(const TPortableIniFile& ini, const std::string& section, TToolGroupPlace& group) {
  group.Visible = ini.readBool(section, "Visible", group.Visible);
  group.Left = ini.readInteger(section, "Left", group.Left);
  group.Top = ini.readInteger(section, "Top", group.Top);
}

}  // namespace

int TWebPanelSettings::saveSettings(const std::string& fileName) const {
  TPortableIniFile ini(fileName);
  save(ini);
  return ini.updateFile() ? 0 : -4;
}

int TWebPanelSettings::loadSettings(const std::string& fileName) {
  // A folder under the name is a file that cannot be read, and named so.
  if (!pathExists(fileName)) return -2;
  TPortableIniFile ini(fileName);
  if (ini.readFailed()) return -3;
  load(ini);
  return 0;
}

void TWebPanelSettings::save(TPortableIniFile& ini) const {
  if (inContainer) {
    ini.writeFloat("Tile", "Left", tileLeft);
    ini.writeFloat("Tile", "Top", tileTop);
    ini.writeFloat("Tile", "Right", tileRight);
    ini.writeFloat("Tile", "Bottom", tileBottom);
  }
  ini.writeBool("Tile", "Maximized", maximized);
  ini.writeBool("ToolBar", "Visible", toolbarVisible);
  ini.writeInteger("ToolBar", "ToolBarWidth", toolbarWidth);
  saveGroup(ini, "Buttons", buttons);
  saveGroup(ini, "Default", defaults);
  saveGroup(ini, "Address", address);
  ini.writeInteger("Address", "ComboWidth", comboWidth);
  saveGroup(ini, "Delete", deleteGroup);
  ini.writeBool("Favs", "Visible", favsVisible);
  ini.writeInteger("Favs", "Width", favsWidth);
  ini.writeInteger("Favs", "SymbolWidth", symbolWidth);
  ini.writeBool("Status", "Visible", statusVisible);
  ini.writeBool("NewWin", "Allow", allowNewWin);
  ini.writeInteger("Autorefresh", "Interval", timedRefreshInterval);
  favs.save(ini, "Fav");
  ini.writeInteger("URLs", "Keep", keepRecentUrls);
  ini.eraseSection("RecentURLs");
  for (size_t i = 0; i < recentUrls.size(); ++i)
    ini.writeString("RecentURLs", std::to_string(i), quotedWhereNeeded(recentUrls[i]));
}

void TWebPanelSettings::load(const TPortableIniFile& ini) {
  if (inContainer) {
    tileLeft = ini.readFloat("Tile", "Left", 0);
    tileTop = ini.readFloat("Tile", "Top", 0);
    tileRight = ini.readFloat("Tile", "Right", 1);
    tileBottom = ini.readFloat("Tile", "Bottom", 1);
  }
  maximized = ini.readBool("Tile", "Maximized", maximized);
  toolbarVisible = ini.readBool("ToolBar", "Visible", toolbarVisible);
  loadGroup(ini, "Buttons", buttons);
  loadGroup(ini, "Default", defaults);
  loadGroup(ini, "Address", address);
  comboWidth = ini.readInteger("Address", "ComboWidth", comboWidth);
  toolbarWidth = ini.readInteger("ToolBar", "ToolBarWidth", 0);
  loadGroup(ini, "Delete", deleteGroup);
  favsVisible = ini.readBool("Favs", "Visible", favsVisible);
  favsWidth = ini.readInteger("Favs", "Width", favsWidth);
  symbolWidth = ini.readInteger("Favs", "SymbolWidth", symbolWidth);
  statusVisible = ini.readBool("Status", "Visible", statusVisible);
  allowNewWin = ini.readBool("NewWin", "Allow", allowNewWin);
  favs.load(ini, "Fav");
  setKeepRecentUrls(ini.readInteger("URLs", "Keep", keepRecentUrls));
  std::vector<std::string> keys;
  ini.readSection("RecentURLs", keys);
  for (const std::string& key : keys) {
    std::string url = ini.readString("RecentURLs", key, "");
    if (!url.empty()) recentUrls.push_back(std::move(url));
  }
  trimRecentUrls();
  timedRefreshInterval = effectiveRefreshInterval(ini.readInteger("Autorefresh", "Interval", timedRefreshInterval));
}

void TWebPanelSettings::addRecentUrl(const std::string& url) {
  const size_t searched = std::min(recentUrls.size(), static_cast<size_t>(keepRecentUrls));
  if (std::find(recentUrls.begin(), recentUrls.begin() + static_cast<std::ptrdiff_t>(searched), url) ==
      recentUrls.begin() + static_cast<std::ptrdiff_t>(searched))
    recentUrls.insert(recentUrls.begin(), url);
  trimRecentUrls();
}

void TWebPanelSettings::trimRecentUrls() {
  std::vector<std::string> kept;
  for (std::string& url : recentUrls) {
    if (kept.size() >= static_cast<size_t>(keepRecentUrls)) break;
    if (std::find(kept.begin(), kept.end(), url) == kept.end()) kept.push_back(std::move(url));
  }
  recentUrls = std::move(kept);
}

void TWebPanelSettings::setKeepRecentUrls(int count) {
  keepRecentUrls = std::max(0, count);
  trimRecentUrls();
}

TAddressGroupLayout addressGroupLayout(int savedComboWidth, int savedToolbarWidth, int toolbarWidth) {
  const int lost = std::max(0, savedToolbarWidth - toolbarWidth);
  const int wanted = std::max(0, savedComboWidth - lost);
  const int fixedParts = comboLeft + goGap + goWidth + gripGap + gripWidth;
  TAddressGroupLayout layout{};
  layout.groupWidth = std::max(addressGroupMinimumWidth, fixedParts + wanted);
  layout.comboWidth = layout.groupWidth - fixedParts;
  layout.goLeft = comboLeft + layout.comboWidth + goGap;
  layout.gripLeft = layout.goLeft + goWidth + gripGap;
  return layout;
}

int effectiveRefreshInterval(int milliseconds) {
  if (milliseconds <= 0) return 0;
  return std::max(shortestRefreshInterval, milliseconds);
}
