#pragma once
#include <string>
#include <vector>

#include "controls/FavList.h"

class TPortableIniFile;

// Where one movable group sits in a web panel's tool bar.
struct TToolGroupPlace {
  bool Visible = true;
  int Left = 0;
  int Top = 0;
};

// Everything a web panel keeps in its own settings file: tile bounds, tool
// bar layout, options, favourites, home page and recent addresses. The panel
// copies its state in before saving and applies what loading read; loading
// starts from the panel's current values, so a missing key keeps them.
class TWebPanelSettings {
 public:
  // 0, or -4 when the file could not be replaced (it then keeps its old text).
  int saveSettings(const std::string& fileName) const;
  // -2 when the file does not exist (nothing changes), -3 when it cannot be
  // read, else 0. A file emptied or cut off, or holding a number the panel
  // cannot take (which keeps the panel's own), is named (see
  // UnreadableFiles.h).
  int loadSettings(const std::string& fileName);
  // The same, from the file as the caller just read it.
  int loadSettings(const TPortableIniFile& ini);

  void save(TPortableIniFile& ini) const;
  void load(const TPortableIniFile& ini);

  // Adds an address at the top unless it is among the kept ones already,
  // then trims the list to keepRecentUrls.
  void addRecentUrl(const std::string& url);
  // Removes repeated addresses (the first stays) and trims to keepRecentUrls.
  void trimRecentUrls();
  void setKeepRecentUrls(int count);

  // Fractional tile bounds are kept only by a panel inside a resizable container.
  bool inContainer = false;
  double tileLeft = 0, tileTop = 0, tileRight = 1, tileBottom = 1;
  bool maximized = false;
  bool toolbarVisible = true;
  int toolbarWidth = 0;  // when saved (0: none known); loading reads the width the file was saved at
  TToolGroupPlace buttons{true, 11, 2};
  TToolGroupPlace defaults{true, 185, 2};
  TToolGroupPlace address{true, 11, 28};
  TToolGroupPlace deleteGroup{true, 244, 0};
  int comboWidth = 206;
  bool favsVisible = true;
  int favsWidth = 142;
  int symbolWidth = 50;
  bool statusVisible = true;
  bool allowNewWin = false;
  int timedRefreshInterval = 0;
  TFavList favs;
  int keepRecentUrls = 100;
  std::vector<std::string> recentUrls;  // most recent first
};

// The favourites' sections a panel file holds past their count: no
// favourite of the panel's, and never to be taken for one added under
// their number.
std::vector<std::string> favouriteSectionsPastCount(const TPortableIniFile& ini);

// The address group: Make home, the combo, Go and the resize grip.
struct TAddressGroupLayout {
  int groupWidth;
  int comboWidth;
  int goLeft;
  int gripLeft;
};

// The combo takes the saved width, less what the tool bar lost since it was
// saved (never more than saved), within the group's minimum width.
TAddressGroupLayout addressGroupLayout(int savedComboWidth, int savedToolbarWidth, int toolbarWidth);

// A refresh interval as the panel keeps it: negatives are off, and a short
// non-zero one would reload the page without pause, so it is raised to the
// shortest the menus offer.
int effectiveRefreshInterval(int milliseconds);
