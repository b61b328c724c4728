#include "platform/Bitmap.h"

#include <cstring>
#include <string>

#include "platform/Canvas.h"
#include "platform/FileSystem.h"

TBitmap::TBitmap() : TBitmap(0, 0) {}

TBitmap::TBitmap(int width, int height) {
  originalBitmap_ = GetCurrentObject(dc_.get(), OBJ_BITMAP);
  setSize(width, height);
}

TBitmap::~TBitmap() {
  canvas_.reset();
  SelectObject(dc_.get(), originalBitmap_);
}

void TBitmap::setSize(int width, int height) {
  canvas_.reset();
  SelectObject(dc_.get(), originalBitmap_);
  bitmap_.reset();
  bits_ = nullptr;
  width_ = width > 0 && height > 0 ? width : 0;
  height_ = width > 0 && height > 0 ? height : 0;
  if (width_ > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap_) {
      bits_ = static_cast<uint32_t*>(bits);
      SelectObject(dc_.get(), bitmap_.get());
    } else {
      width_ = height_ = 0;
    }
  }
  canvas_ = std::make_unique<TCanvas>(dc_.get());
}

uint32_t* TBitmap::scanLine(int y) {
  GdiFlush();
  return bits_ + static_cast<size_t>(y) * width_;
}

const uint32_t* TBitmap::scanLine(int y) const {
  GdiFlush();
  return bits_ + static_cast<size_t>(y) * width_;
}

bool TBitmap::assign(HBITMAP source) {
  TBitmapHandle owned(source);
  BITMAP header{};
  if (!source || !GetObjectA(source, sizeof(header), &header)) {
    setSize(0, 0);
    return false;
  }
  setSize(header.bmWidth, std::abs(header.bmHeight));
  TMemoryDC sourceDC;
  TSelectedObject selected(sourceDC.get(), source);
  BitBlt(dc_.get(), 0, 0, width_, height_, sourceDC.get(), 0, 0, SRCCOPY);
  return !empty();
}

bool TBitmap::loadFromFile(const std::string& fileName) {
  return assign(static_cast<HBITMAP>(
      LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
}

bool TBitmap::loadFromResource(const std::string& name) {
  return assign(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

bool TBitmap::saveToFile(const std::string& fileName) const {
  const int rowBytes = (width_ * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width_;
  info.biHeight = height_;  // bottom-up rows, as every reader expects
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(rowBytes) * height_;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;

  std::string bytes(file.bfSize, '\0');
  std::memcpy(bytes.data(), &file, sizeof(file));
  std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
  for (int y = 0; y < height_; ++y) {
    const uint32_t* row = scanLine(height_ - 1 - y);
    char* out = bytes.data() + file.bfOffBits + static_cast<size_t>(y) * rowBytes;
    for (int x = 0; x < width_; ++x) {
      out[3 * x] = static_cast<char>(row[x] & 0xFF);
      out[3 * x + 1] = static_cast<char>((row[x] >> 8) & 0xFF);
      out[3 * x + 2] = static_cast<char>((row[x] >> 16) & 0xFF);
    }
  }
  return writeFileAtomically(fileName, bytes);
}
