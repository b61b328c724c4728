#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Encodes 0x00RRGGBB pixels (rows top to bottom) as a PNG file image: 8-bit
// RGB, zlib stream of stored (uncompressed) deflate blocks.
std::string encodePng(int width, int height, const std::vector<uint32_t>& pixels);
