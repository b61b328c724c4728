#include "PngWriter.h"

#include <array>

namespace {

uint32_t crc32(const std::string& bytes, size_t from) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); ++i) c = table[(c ^ static_cast<uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void putBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void putChunk(std::string& out, const char* type, const std::string& data) {
  putBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.append(type, 4);
  out += data;
  putBigEndian(out, crc32(out, start));
}

}  // namespace

std::string encodePng(int width, int height, const std::vector<uint32_t>& pixels) {
  // Raw scan lines, each led by filter type 0.
  std::string raw;
  raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');
    for (int x = 0; x < width; ++x) {
      const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
      raw.push_back(static_cast<char>((pixel >> 16) & 0xFF));
      raw.push_back(static_cast<char>((pixel >> 8) & 0xFF));
      raw.push_back(static_cast<char>(pixel & 0xFF));
    }
  }
  std::string zlib = {'\x78', '\x01'};
  const size_t maxBlock = 65535;
  size_t offset = 0;
  do {
    const size_t length = std::min(maxBlock, raw.size() - offset);
    const bool last = offset + length == raw.size();
    zlib.push_back(last ? '\x01' : '\x00');
    zlib.push_back(static_cast<char>(length & 0xFF));
    zlib.push_back(static_cast<char>(length >> 8));
    zlib.push_back(static_cast<char>(~length & 0xFF));
    zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
    zlib.append(raw, offset, length);
    offset += length;
  } while (offset < raw.size());
  uint32_t a = 1, b = 0;  // Adler-32 of the uncompressed data
  for (char c : raw) {
    a = (a + static_cast<uint8_t>(c)) % 65521;
    b = (b + a) % 65521;
  }
  putBigEndian(zlib, (b << 16) | a);

  std::string header;
  putBigEndian(header, static_cast<uint32_t>(width));
  putBigEndian(header, static_cast<uint32_t>(height));
  header += std::string{'\x08', '\x02', '\x00', '\x00', '\x00'};  // 8 bits, RGB, deflate, filter 0, no interlace

  std::string png = "\x89PNG\r\n\x1a\n";
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlib);
  putChunk(png, "IEND", {});
  return png;
}
