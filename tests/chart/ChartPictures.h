#pragma once
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "tests/support/WindowTestSupport.h"

// Saves a bitmap as a PNG picture under the build folder for review.
inline std::string saveBitmapPicture(const TBitmap& bitmap, const std::string& name) {
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(bitmap.width()) * bitmap.height());
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) pixels.push_back(bitmap.pixel(x, y));
  }
  return TScreenImage(bitmap.width(), bitmap.height(), std::move(pixels)).savePng(name);
}

inline std::vector<uint32_t> bitmapPixels(const TBitmap& bitmap) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) pixels.push_back(bitmap.pixel(x, y));
  }
  return pixels;
}
