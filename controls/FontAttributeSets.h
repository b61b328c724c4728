#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TFontProperties;

// One font of the text editor's syntax colouring: the font and colour in
// which the characters of one attribute id are drawn, with the advance
// widths of its characters as the last render measured them.
struct TFontAttributes {
  uint16_t id = 0;
  int32_t colour = 0;  // a Windows RGB value, or a system colour (top bit set)
  std::string fontName = "MS Sans Serif";
  int pitch = 0;  // 0 default, 1 variable, 2 fixed, as settings files keep it
  int size = 8;   // points
  unsigned style = 0;  // TFontStyle bits
  // Sixteen bits a width: large fonts have characters of 256 pixels and more.
  // Element 0 is unused; the widths are stale until the next render measures.
  bool widthsStale = true;
  std::array<uint16_t, 256> widths{};
};

// The attribute ids of the colouring mapped to their fonts, kept in
// ascending order of id.
class TFontAttributeSets {
 public:
  void clear() { records_.clear(); }
  // Adds the record, or replaces the one with the same id.
  bool add(const TFontAttributes& record);
  TFontAttributes* find(uint16_t id);
  const TFontAttributes* find(uint16_t id) const;
  void invalidateWidths();
  static void copyRecord(const TFontAttributes& source, TFontAttributes& destination) { destination = source; }

  size_t count() const { return records_.size(); }
  const TFontAttributes& operator[](size_t index) const { return records_[index]; }

 private:
  std::vector<TFontAttributes> records_;
};

// A font as settings files keep it, as an editor font of id 0, and back.
TFontAttributes fontAttributesOf(const TFontProperties& font);
TFontProperties fontPropertiesOf(const TFontAttributes& record);
