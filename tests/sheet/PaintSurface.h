#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// A 32-bit memory bitmap with a device context, for painting sheets without
// a window and reading the pixels back.
class TPaintSurface {
 public:
  TPaintSurface(int width, int height);
  ~TPaintSurface();
  TPaintSurface(const TPaintSurface&) = delete;
  TPaintSurface& operator=(const TPaintSurface&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  RECT rect() const { return RECT{0, 0, width_, height_}; }
  // The pixel as an RGB colour value (as RGB() builds it).
  COLORREF pixel(int x, int y) const;
  // Pixels of the rectangle (right and bottom exclusive) that have the colour.
  int countColor(const RECT& area, COLORREF color) const;
  // Writes the picture as a PNG file; false when the file cannot be written.
  bool savePng(const std::string& fileName) const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// The folder of the running test executable, with a trailing backslash:
// pictures for a reviewer go beside the build's executables.
std::string executableFolder();
