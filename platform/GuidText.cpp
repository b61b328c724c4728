#include "platform/GuidText.h"

#include <cstdio>

std::string guidToText(const GUID& guid) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value of count hexadecimal digits from position; false at any other character.
bool readHex(const std::string& text, size_t position, int count, unsigned long& value) {
  value = 0;
  for (int i = 0; i < count; ++i) {
    const int digit = hexDigit(text[position + i]);
    if (digit < 0) return false;
    value = value * 16 + static_cast<unsigned long>(digit);
  }
  return true;
}

}  // namespace

bool tryTextToGuid(const std::string& text, GUID& guid) {
  if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
      text[19] != '-' || text[24] != '-')
    return false;
  GUID result{};
  unsigned long value = 0;
  if (!readHex(text, 1, 8, value)) return false;
  result.Data1 = value;
  if (!readHex(text, 10, 4, value)) return false;
  result.Data2 = static_cast<unsigned short>(value);
  if (!readHex(text, 15, 4, value)) return false;
  result.Data3 = static_cast<unsigned short>(value);
  static constexpr size_t bytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!readHex(text, bytePositions[i], 2, value)) return false;
    result.Data4[i] = static_cast<unsigned char>(value);
  }
  guid = result;
  return true;
}
