#pragma once
#include <string>
#include <vector>

#include <windows.h>

class TPortableIniFile;

// The size, place and column widths of a pick dialog as its section of the
// window layout file keeps them.
struct TPickDialogLayout {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int listWidth = 0;              // the download dialog's panel of lists
  std::vector<int> columnWidths;  // in column order
};

// Which keys a dialog's section holds, in the order they are written after
// the position ("Left", "Top") and the size ("Height", "Width").
struct TPickDialogLayoutKeys {
  const char* section;
  bool withPosition;
  bool withListWidth;  // "ListWidth"
  std::vector<const char*> columnKeys;
};

const TPickDialogLayoutKeys& currencyPickLayoutKeys();
const TPickDialogLayoutKeys& downloadPickLayoutKeys();
const TPickDialogLayoutKeys& assetPickLayoutKeys();

// A missing or non-numeric key keeps the value the layout holds, so the
// caller fills it with the current layout first.
void readPickDialogLayout(const TPortableIniFile& ini, const TPickDialogLayoutKeys& keys, TPickDialogLayout& layout);
void writePickDialogLayout(TPortableIniFile& ini, const TPickDialogLayoutKeys& keys, const TPickDialogLayout& layout);

// Keeps a layout usable: at least the minimum size, at most the work area,
// and moved so that the whole window lies on the work area.
void fitPickDialogLayout(TPickDialogLayout& layout, const RECT& workArea, int minWidth, int minHeight);
