#include "controls/WebPanelSettings.h"

#include <algorithm>

#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"

namespace {

constexpr int comboLeft = 27;       // after the 23-pixel Make home button and a gap
constexpr int goGap = 4;            // between the combo and Go
constexpr int goWidth = 16;
constexpr int gripGap = 1;
constexpr int gripWidth = 2;
constexpr int addressGroupMinimumWidth = 161;
constexpr int shortestRefreshInterval = 5000;
const char* const favouritesPrefix = "Fav";

// The number of a favourite's section as a save names it (no sign, no
// leading zero); 0 for the default's and for any other section.
long long favouriteNumber(const std::string& section) {
  const std::string prefix = favouritesPrefix;
  if (section.size() <= prefix.size() || section.compare(0, prefix.size(), prefix) != 0) return 0;
  // More digits than a long long holds are no number any save writes.
  constexpr size_t mostDigits = 18;
  const std::string digits = section.substr(prefix.size());
  if (digits.size() > mostDigits || digits[0] == '0' || !std::all_of(digits.begin(), digits.end(), [](char c) {
        return c >= '0' && c <= '9';
      }))
    return 0;
  return std::stoll(digits);
}

void saveGroup(TPortableIniFile& ini, const std::string& section, const TToolGroupPlace& group) {
  ini.writeBool(section, "Visible", group.Visible);
  ini.writeInteger(section, "Left", group.Left);
  ini.writeInteger(section, "Top", group.Top);
}

// A window's size and place travel in 16 bits (WM_SIZE, WM_MOVE): a size
// or place beyond is damage, not a choice.
constexpr int largestPixels = 32767;

// The numbers of a panel file. One that is no number, or a size or place
// no window can take, keeps what the panel had, and the file is told of as
// read in part: it stays as it stands until the user changes that setting.
class TPanelNumbers {
 public:
  explicit TPanelNumbers(const TPortableIniFile& ini) : numbers_(ini) {}
  bool flag(const std::string& section, const std::string& key, bool current) {
    return numbers_.readBool(section, key, current);
  }
  int number(const std::string& section, const std::string& key, int current) {
    return numbers_.readInteger(section, key, current);
  }
  double fraction(const std::string& section, const std::string& key, double current) {
    return numbers_.readFloat(section, key, current);
  }
  int pixels(const std::string& section, const std::string& key, int current) {
    const int value = numbers_.readInteger(section, key, current);
    if (value >= 0 && value <= largestPixels) return value;
    outOfRange_ = true;
    return current;
  }
  bool damaged() const { return outOfRange_ || !numbers_.unread().empty(); }

 private:
  TNumberReader numbers_;
  bool outOfRange_ = false;
};

void loadGroup(TPanelNumbers& numbers, const std::string& section, TToolGroupPlace& group) {
  group.Visible = numbers.flag(section, "Visible", group.Visible);
  group.Left = numbers.pixels(section, "Left", group.Left);
  group.Top = numbers.pixels(section, "Top", group.Top);
}

}  // namespace

int TWebPanelSettings::saveSettings(const std::string& fileName) const {
  TPortableIniFile ini(fileName);
  save(ini);
  return ini.updateFile() ? 0 : -4;
}

int TWebPanelSettings::loadSettings(const std::string& fileName) { return loadSettings(TPortableIniFile(fileName)); }

int TWebPanelSettings::loadSettings(const TPortableIniFile& ini) {
  // A folder under the name is a file that cannot be read, and named so.
  if (!pathExists(ini.FileName())) return -2;
  if (ini.readFailed()) return -3;
  // Emptied or cut off, a file shows the panel's defaults for what it
  // lost: told of, as the save writes only what the user changes.
  checkWholeRecord(ini, {{"URLs", "Keep"}});
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
  // None known (a maximised window's): the file keeps the width it holds.
  if (toolbarWidth > 0) ini.writeInteger("ToolBar", "ToolBarWidth", toolbarWidth);
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
  favs.save(ini, favouritesPrefix);
  ini.writeInteger("URLs", "Keep", keepRecentUrls);
  ini.eraseSection("RecentURLs");
  for (size_t i = 0; i < recentUrls.size(); ++i)
    ini.writeString("RecentURLs", std::to_string(i), quotedWhereNeeded(recentUrls[i]));
}

void TWebPanelSettings::load(const TPortableIniFile& ini) {
  TPanelNumbers numbers(ini);
  bool tileLost = false;
  if (inContainer) {
    // Every save of a panel in a mosaic writes its tile: a side missing
    // was lost, and its default stands in for it.
    for (const char* side : {"Left", "Top", "Right", "Bottom"})
      if (ini.readString("Tile", side, "").empty()) tileLost = true;
    tileLeft = numbers.fraction("Tile", "Left", 0);
    tileTop = numbers.fraction("Tile", "Top", 0);
    tileRight = numbers.fraction("Tile", "Right", 1);
    tileBottom = numbers.fraction("Tile", "Bottom", 1);
  }
  maximized = numbers.flag("Tile", "Maximized", maximized);
  toolbarVisible = numbers.flag("ToolBar", "Visible", toolbarVisible);
  loadGroup(numbers, "Buttons", buttons);
  loadGroup(numbers, "Default", defaults);
  loadGroup(numbers, "Address", address);
  comboWidth = numbers.pixels("Address", "ComboWidth", comboWidth);
  toolbarWidth = numbers.pixels("ToolBar", "ToolBarWidth", 0);
  loadGroup(numbers, "Delete", deleteGroup);
  favsVisible = numbers.flag("Favs", "Visible", favsVisible);
  favsWidth = numbers.pixels("Favs", "Width", favsWidth);
  symbolWidth = numbers.pixels("Favs", "SymbolWidth", symbolWidth);
  statusVisible = numbers.flag("Status", "Visible", statusVisible);
  allowNewWin = numbers.flag("NewWin", "Allow", allowNewWin);
  favs.load(ini, favouritesPrefix);
  setKeepRecentUrls(numbers.number("URLs", "Keep", keepRecentUrls));
  std::vector<std::string> keys;
  ini.readSection("RecentURLs", keys);
  for (const std::string& key : keys) {
    std::string url = ini.readString("RecentURLs", key, "");
    if (!url.empty()) recentUrls.push_back(std::move(url));
  }
  trimRecentUrls();
  timedRefreshInterval = effectiveRefreshInterval(numbers.number("Autorefresh", "Interval", timedRefreshInterval));
  if (numbers.damaged() || tileLost) reportPartlyReadFile(ini.FileName());
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

std::vector<std::string> favouriteSectionsPastCount(const TPortableIniFile& ini) {
  const int count = ini.readInteger(favouritesPrefix, "Count", 0);
  std::vector<std::string> sections;
  ini.readSections(sections);
  std::erase_if(sections, [count](const std::string& section) { return favouriteNumber(section) <= count; });
  return sections;
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
