#pragma once
#include <windows.h>

#include <cstdint>

// A colour as the windows store it: an RGB value (0x00BBGGRR), or a system
// colour given as 0x80000000 plus the GetSysColor index, which follows the
// user's scheme and is resolved only when drawing.
using TColor = int32_t;

constexpr TColor systemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clGreen = 0x008000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clNone = 0x1FFFFFFF;  // nothing drawn
constexpr TColor clDefault = 0x20000000;  // the control's own default

constexpr TColor clBtnFace = systemColor(COLOR_BTNFACE);
constexpr TColor clBtnText = systemColor(COLOR_BTNTEXT);
constexpr TColor clBtnShadow = systemColor(COLOR_BTNSHADOW);
constexpr TColor clBtnHighlight = systemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor clWindow = systemColor(COLOR_WINDOW);
constexpr TColor clWindowText = systemColor(COLOR_WINDOWTEXT);
constexpr TColor clHighlight = systemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = systemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clGrayText = systemColor(COLOR_GRAYTEXT);
constexpr TColor clInfoBk = systemColor(COLOR_INFOBK);
constexpr TColor clInfoText = systemColor(COLOR_INFOTEXT);
constexpr TColor cl3DDkShadow = systemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = systemColor(COLOR_3DLIGHT);

inline bool isSystemColor(TColor color) { return (static_cast<uint32_t>(color) & 0xFF000000u) == 0x80000000u; }

// An RGB value, a system colour Windows knows, clNone or clDefault: what a
// stored colour may be, anything else being damage.
inline bool isValidColor(TColor color) {
  return (color >= 0 && color <= 0xFFFFFF) || color == clNone || color == clDefault ||
         (isSystemColor(color) && (static_cast<uint32_t>(color) & 0x00FFFFFFu) <= COLOR_MENUBAR);
}

// The RGB value to draw with.
COLORREF colorToRGB(TColor color);
