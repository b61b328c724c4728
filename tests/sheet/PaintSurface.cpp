#include "tests/sheet/PaintSurface.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

// PNG chunks carry a CRC-32 of their type and data.
std::uint32_t crc32(const std::string& bytes, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= static_cast<unsigned char>(bytes[i]);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void putChunk(std::string& out, const char* type, const std::string& data) {
  putBigEndian(out, static_cast<std::uint32_t>(data.size()));
  std::size_t start = out.size();
  out += type;
  out += data;
  putBigEndian(out, crc32(out, start));
}

// A zlib stream of stored (uncompressed) blocks: simple, and any viewer
// reads it.
std::string storedZlib(const std::string& raw) {
  constexpr std::size_t largestBlock = 65535;
  std::string out("\x78\x01", 2);
  std::size_t offset = 0;
  do {
    std::size_t length = std::min(largestBlock, raw.size() - offset);
    bool last = offset + length == raw.size();
    out += static_cast<char>(last ? 1 : 0);
    out += static_cast<char>(length & 0xFF);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(~length & 0xFF);
    out += static_cast<char>((~length >> 8) & 0xFF);
    out.append(raw, offset, length);
    offset += length;
  } while (offset < raw.size());
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  putBigEndian(out, (b << 16) | a);
  return out;
}

}  // namespace

TPaintSurface::TPaintSurface(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<std::uint32_t*>(bits);
  previous_ = SelectObject(dc_, bitmap_);
}

TPaintSurface::~TPaintSurface() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

COLORREF TPaintSurface::pixel(int x, int y) const {
  GdiFlush();
  std::uint32_t bgr = bits_[static_cast<std::size_t>(y) * width_ + x];
  return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

int TPaintSurface::countColor(const RECT& area, COLORREF color) const {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += pixel(x, y) == color ? 1 : 0;
  }
  return count;
}

bool TPaintSurface::savePng(const std::string& fileName) const {
  std::string raw;
  raw.reserve(static_cast<std::size_t>(height_) * (width_ * 3 + 1));
  for (int y = 0; y < height_; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < width_; ++x) {
      COLORREF color = pixel(x, y);
      raw += static_cast<char>(GetRValue(color));
      raw += static_cast<char>(GetGValue(color));
      raw += static_cast<char>(GetBValue(color));
    }
  }
  std::string header;
  putBigEndian(header, static_cast<std::uint32_t>(width_));
  putBigEndian(header, static_cast<std::uint32_t>(height_));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
  std::string png("\x89PNG\r\n\x1a\n", 8);
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", storedZlib(raw));
  putChunk(png, "IEND", "");
  std::ofstream file(fileName, std::ios::binary);
  file.write(png.data(), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(file);
}

std::string executableFolder() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}
