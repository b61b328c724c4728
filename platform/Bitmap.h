#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/GdiObjects.h"

class TCanvas;

// A 32-bit top-down DIB section with its own memory DC and canvas. Pixels
// are 0x00RRGGBB words reachable directly for fast image work.
class TBitmap {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }
  // A new size clears the picture to black.
  void setSize(int width, int height);

  TCanvas& canvas() const { return *canvas_; }
  HBITMAP handle() const { return bitmap_.get(); }
  uint32_t pixel(int x, int y) const { return scanLine(y)[x] & 0x00FFFFFF; }
  uint32_t* scanLine(int y);
  const uint32_t* scanLine(int y) const;

  // Reads a BMP file of any depth Windows reads; false (and an empty
  // bitmap) when the file is missing or not a bitmap.
  bool loadFromFile(const std::string& fileName);
  // A bitmap resource of the executable (built in through windres).
  bool loadFromResource(const std::string& name);
  // Writes a 24-bit BMP through a temporary file; false when the write fails.
  bool saveToFile(const std::string& fileName) const;

 private:
  bool assign(HBITMAP source);

  int width_ = 0;
  int height_ = 0;
  uint32_t* bits_ = nullptr;
  TMemoryDC dc_;
  TBitmapHandle bitmap_;
  HGDIOBJ originalBitmap_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
};
