#include "tests/support/DamagedRecords.h"

#include <random>

namespace {

std::string junkBytes() {
  std::mt19937 bytes(17);
  std::string text(600, '\0');
  for (char& c : text) c = static_cast<char>(bytes() & 0xFF);
  return text;
}

std::string asUtf16(const std::string& text) {
  std::string wide = "\xFF\xFE";
  for (char c : text) wide.append({c, '\0'});
  return wide;
}

std::string sectionsRenamed(std::string text) {
  for (size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 2)) text.insert(at + 1, "Old ");
  return text;
}

}  // namespace

std::vector<TDamagedRecord> damagedRecords(const std::string& cleanText) {
  return {{"emptied", ""},
          {"junk bytes", junkBytes()},
          {"UTF-16", asUtf16(cleanText)},
          {"sections renamed", sectionsRenamed(cleanText)}};
}
