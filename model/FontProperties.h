#pragma once
#include <cstdint>
#include <string>

#include "platform/Colors.h"
#include "platform/FontStyle.h"

// A font as the model stores it: what a settings file, a cell format or a
// field definition keeps of a font. Windows code turns it into a real font.

using TFontStyles = unsigned;  // a set of TFontStyle bits

enum class TFontPitch : int { fpDefault = 0, fpVariable = 1, fpFixed = 2 };

// Colours are Windows RGB values or system colours (platform/Colors.h).
constexpr int defaultCharSet = 1;  // DEFAULT_CHARSET
// The largest size in points a stored font may take.
constexpr int largestFontSize = 144;

struct TFontProperties {
  std::string name = "MS Sans Serif";
  TFontStyles style = 0;
  int charSet = defaultCharSet;
  TFontPitch pitch = TFontPitch::fpDefault;
  int32_t color = clWindowText;
  int size = 8;  // points

  bool operator==(const TFontProperties&) const = default;
};
