#pragma once
#include <windows.h>

#include <utility>

// Owners of GDI handles. Every pen, brush, font, bitmap, region and device
// context the windows create lives in one of these, so no drawing path can
// leak a handle when it returns early or throws.

template <class Handle>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(Handle handle) : handle_(handle) {}
  ~TGdiObject() { reset(); }
  TGdiObject(TGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset(Handle handle = nullptr) {
    if (handle_) DeleteObject(handle_);
    handle_ = handle;
  }
  Handle release() { return std::exchange(handle_, nullptr); }

 private:
  Handle handle_ = nullptr;
};

using TPenHandle = TGdiObject<HPEN>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TFontHandle = TGdiObject<HFONT>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TRegionHandle = TGdiObject<HRGN>;

// A memory device context compatible with the screen (or a given DC).
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~TMemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// The DC of a window (or of the whole screen for a null window) from GetDC.
class TWindowDC {
 public:
  explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~TWindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint/EndPaint of one WM_PAINT.
class TPaintDC {
 public:
  explicit TPaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~TPaintDC() { EndPaint(window_, &paint_); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC get() const { return dc_; }
  const RECT& updateRect() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back on leaving.
class TSelectedObject {
 public:
  TSelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~TSelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
  }
  TSelectedObject(const TSelectedObject&) = delete;
  TSelectedObject& operator=(const TSelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Saves a DC's whole state (clipping, mode, selected objects) and restores it.
class TSavedDCState {
 public:
  explicit TSavedDCState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~TSavedDCState() {
    if (saved_) RestoreDC(dc_, saved_);
  }
  TSavedDCState(const TSavedDCState&) = delete;
  TSavedDCState& operator=(const TSavedDCState&) = delete;

 private:
  HDC dc_;
  int saved_;
};
