#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "model/FontProperties.h"

class TPortableIniFile;

// The font and fill that a field definition gives its cells. Disabled, the
// cells use the sheet's default font and fill.
class TFontAndFillProps {
 public:
  TFontAndFillProps() { setDefaults(); }
  virtual ~TFontAndFillProps() = default;

  void setDefaults();
  // Every field from source; nullptr gives the defaults.
  void assign(const TFontAndFillProps* source);
  // The keys "FontAndFill", then (only when that reads true) "FontName",
  // "FontStyle", "CharSet", "FontPitch", "FillColor", "FontColor" and
  // "FontSize", each with the prefix put before it. Missing keys keep the
  // present values.
  void loadFromIni(const TPortableIniFile& ini, const std::string& section, const std::string& prefix);
  // The same keys; the seven font keys only while enabled. Returns 0.
  int saveToIni(TPortableIniFile& ini, const std::string& section, const std::string& prefix) const;

  void applyToFont(TFontProperties& font) const;
  // Takes the font's six properties and enables the format.
  void assignFont(const TFontProperties& font);
  void setFillColor(std::int32_t color);

  bool Enabled;
  std::uint8_t CharSet;
  TFontStyles FontStyle;
  std::uint8_t FontPitch;
  std::int32_t FillColor;
  std::int32_t FontColor;
  std::int32_t FontSize;  // points
  std::string FontName;
};

// A font and fill used instead of the plain one while the cell's value lies
// above (or below) the threshold.
class TConditionalFontAndFillProps : public TFontAndFillProps {
 public:
  TConditionalFontAndFillProps() { setConditionDefaults(); }

  void setConditionDefaults();
  TConditionalFontAndFillProps& setDefaults();
  // Threshold and flag, then the font and fill; nullptr gives the defaults.
  void assign(const TConditionalFontAndFillProps* source);
  // The font keys with the prefix "Conditional", then "Threshold" and
  // "IfAboveThreshold" (both only while enabled).
  void loadFromIni(const TPortableIniFile& ini, const std::string& section);
  int saveToIni(TPortableIniFile& ini, const std::string& section) const;
  void setCondition(bool ifAboveThreshold, double threshold);

  double Threshold;
  bool IfAboveThreshold;
};

// Alignment bits of a field definition (the cell alignment bits): top and
// bottom together centre vertically, left and right together horizontally.
enum : std::uint8_t {
  fieldAlignTop = 1,
  fieldAlignBottom = 2,
  fieldAlignLeft = 4,
  fieldAlignRight = 8,
};

// What a field definition says about the cells it makes: kind, content,
// number display, alignment, lock and the two formats.
class TCellProps {
 public:
  TCellProps();
  virtual ~TCellProps();
  TCellProps(const TCellProps&) = delete;
  TCellProps& operator=(const TCellProps&) = delete;

  void setDefaults();
  // Every field and both formats from source; nullptr gives the defaults.
  // Returns 0.
  int assign(const TCellProps* source);
  // "T", "B", "L", "R" for the bits set, in that order.
  std::string alignmentToStr() const;
  // Each bit is set when its capital letter occurs anywhere in the text.
  void strToAlignment(const std::string& text);

  // Cell defaults, then the section's keys (-7 and the defaults when the
  // section is missing). Content is stored with "." and ";" in the file and
  // held with the given separators.
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, char listSeparator,
                  char decimalSeparator);
  int saveToIni(TPortableIniFile& ini, const std::string& section, char listSeparator,
                char decimalSeparator) const;

  bool Locked;
  bool FixedDecimals;
  std::string Content;  // formula or value text, with the separators in use
  std::string Trail;    // shown after a number's value
  std::uint8_t Kind;    // cell type code 1..27
  std::uint8_t MaxDecimals;
  std::uint8_t Alignment;
  std::unique_ptr<TFontAndFillProps> Format;
  std::unique_ptr<TConditionalFontAndFillProps> ConditionalFormat;
};
