#include "platform/Colors.h"

COLORREF colorToRGB(TColor color) {
  if (isSystemColor(color)) return GetSysColor(static_cast<int>(static_cast<uint32_t>(color) & 0xFF));
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}
