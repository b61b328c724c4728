#pragma once
#include <windows.h>

#include <string>
#include <vector>

class TImageList;
class TPortableIniFile;
class TPortfolio;

// What the main window decides without a window: its file names, the
// defaults of the named directories, its bounds from the layout file, its
// title and the numbered sheet pictures.

struct TMainPaths {
  std::string languageFileName;   // beside the executable, ".LNG"
  std::string axEnginesFileName;  // beside the executable, ".AXE"
  std::string dirListFileName;    // current directory + executable name, ".INI"
  std::string helpFileName;       // beside the executable, ".CHM"
  // These follow <DATA>, so they are made again whenever the directories change.
  std::string guiOptionsFileName;
  std::string chartFavsFileName;
  std::string graphFavsFileName;
};

// The executable's own paths; the <DATA> paths are left empty.
TMainPaths executablePaths(const std::string& executablePath, const std::string& currentDirectory);
// The paths inside <DATA>, from the directory table as it is now.
void refreshDataPaths(TMainPaths& paths);

// Gives each of the placeholders that must not be empty its default, <DATA>
// first so the others are made inside the final <DATA>.
void applyDirectoryDefaults(const std::string& currentDirectory);

// The placeholders every start needs as existing folders, in the order the
// directory set-up tests and shows them.
const std::vector<std::string>& startDirectoryNames();

// Small enough for any screen, large enough for the menu and the tabs.
constexpr SIZE mainWindowMinimumSize{400, 300};

// The window's bounds from section "MainWindow": on a first run it keeps its
// place and shrinks to at most 1024 x 768; later it takes the stored size and
// place (centred on the work area when they are missing), fitted to the work
// area.
RECT mainWindowBounds(const TPortableIniFile& ini, const RECT& current, const RECT& workArea);
// Writes the normal-state bounds (only when the window is in its normal
// state) and clears the first-run mark.
void saveMainWindowBounds(TPortableIniFile& ini, bool normalState, const RECT& bounds);
// Whether the window was maximised when the layout was last saved; the
// stored bounds stay those it is restored to.
bool mainWindowMaximized(const TPortableIniFile& ini);
void saveMainWindowMaximized(TPortableIniFile& ini, bool maximized);

// "Kestrova: " and the portfolio's name (its symbol when the name is empty);
// "Kestrova" alone without a portfolio or when both are empty.
std::string mainTitle(const TPortfolio* current);

// Empties the list, then adds "0.BMP", "1.BMP", ... of the folder while the
// next file exists, reads as a bitmap and fits the list, so an image's index
// is the number of its file. Answers the number of images added.
int loadNumberedBitmaps(TImageList& images, const std::string& folder);

// The reload button's two glyphs, a circular arrow: green while new quotes
// wait (index 0), grey otherwise (index 1).
constexpr int reloadGlyphEnabled = 0;
constexpr int reloadGlyphDisabled = 1;
void makeReloadGlyphs(TImageList& images);
